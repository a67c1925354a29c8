#pragma once
// Paper sizes the print layout knows: the file format's paper codes and the sizes of
// the pre-printed bank forms the templates are laid out for, in one table.

#include <optional>
#include <span>
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

}  // namespace vorra::engine
