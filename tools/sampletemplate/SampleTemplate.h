#pragma once
// The sample template workbook that demos and tests work on, built through the host
// interface only: the fill-in sheet with its unit and purpose books, the bill sheets,
// the print record and batch sheets, and the named ranges over the unit book.

#include <string>
#include <vector>

#include "addin/frame/host/Host.h"

namespace vorra::tools {

struct SampleUnit {
    std::string shortName;  // pinyin initials of the name, upper case
    std::string name;
    std::string account;    // nineteen digits, kept as text
    std::string bank;
    std::string province;
    std::string county;
};

struct SamplePurpose {
    std::string code;
    std::string text;
};

const std::vector<SampleUnit>& sampleUnits();
const std::vector<SamplePurpose>& samplePurposes();

// Fills the workbook (a new one: its first sheet becomes the fill-in sheet) with the
// template's sheets and names, and leaves the fill-in sheet protected and active.
void buildSampleTemplate(host::Workbook& workbook);

// One bill as the fill-in forms would enter it.
struct SampleBill {
    int payee = 0;  // index into sampleUnits()
    int payer = 1;
    std::string amount = "12345.67";
    std::string purpose = "货款";
    std::string billNumber = "00012345";
    std::string password = "1234567890123456";
    std::string date = "2026-12-07";
};

// Writes the bill into the fill-in cells of 常用单位账号 the way the add-in does:
// unprotect, write, protect again.
void writeSampleBill(host::Workbook& workbook, const SampleBill& bill);

}  // namespace vorra::tools
