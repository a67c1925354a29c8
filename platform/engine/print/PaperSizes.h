#pragma once
// Paper sizes the print layout knows: the file format's paper codes and the sizes of
// the pre-printed bank forms the templates are laid out for, in one table.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/engine/model/Model.h"

namespace vorra::engine {

struct PaperSize {
    int code;               // the file format's paper code; 0 for a form without one
    std::string_view name;  // "A4", "转账支票" ...
    double widthMm;         // portrait: the shorter side first for the standard papers
    double heightMm;
};

// Every known paper, standard codes first, then the bank forms (code 0).
std::span<const PaperSize> paperSizes();

// The paper of a file format code; nothing for 0 (custom) or an unknown code.
std::optional<PaperSize> paperByCode(int code);

// A paper of the table by its name ("A4", "转账支票").
std::optional<PaperSize> paperByName(std::string_view name);

// Sets the page setup to the paper: its code, or custom millimetres for a bank form.
void applyPaper(PageSetup& setup, const PaperSize& paper);

// Where the paper a sheet prints on comes from.
enum class PaperChoice {
    Code,      // a paper code of the table
    Custom,    // the custom size the page setup states
    BillForm,  // no paper stated: the paper of the bank form the sheet is named after
    Default,   // no paper stated and no form of that name: A4
};

struct ResolvedPaper {
    PaperChoice choice;
    std::string_view name;  // "A4", "转账支票"; empty for a custom size
    double widthMm;         // portrait, as the table gives it
    double heightMm;
};

// The paper of a page setup. A missing or zero paper code without measures (files of
// other programs write paperSize="0", or none) falls back to the paper of the bill
// form whose name the sheet's name contains, else to A4. Nothing for a code the table
// lacks or for a custom size with only one measure; the print layout says why.
std::optional<ResolvedPaper> resolvePaper(const PageSetup& setup, std::string_view sheetName);

// What the page setup dialog shows about the paper, for instance
// "转账支票（240 × 80 毫米）：文件未给出纸张，按票据的纸张".
std::string describePaper(const PageSetup& setup, std::string_view sheetName);

}  // namespace vorra::engine
