#include "addin/batch/Money_Class.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <regex>
#include <string>

#include "addin/batch/No1_Class.h"
#include "addin/bill/TianxiePJ_frm.h"
#include "addin/frame/FillInCells.h"
#include "addin/frame/TemplateLayout.h"
#include "addin/frame/Public_XlApp.h"

namespace vorra {

using host::resume;
using host::Value;

namespace {

std::shared_ptr<host::Worksheet> batchSheet() { return XlApp->sheets(layout::kSheetBatch); }

std::string rowRange(const char* from, const char* to, int row) {
    return std::string(from) + std::to_string(row) + ":" + to + std::to_string(row);
}

// Copies list row r (A to N) to the current record in one assignment.
void copyToCurrent(int row) {
    auto sheet = batchSheet();
    auto values = sheet->range(rowRange("A", "N", row)).value();
    sheet->range(rowRange("A", "N", layout::kBatchCurrentRow)).setValue(values);
}

Value currentNumberCell() { return batchSheet()->range(layout::kBatchCurrentNumberCell).scalar(); }
void setCurrentNumber(int n) {
    batchSheet()->range(layout::kBatchCurrentNumberCell).setValue(Value::number(n));
}

// A number typed as text: blanks around it, an optional sign, digits with one decimal
// point, an optional exponent. Anything else ("nan", "0x1A", "") is a type mismatch.
double decimalText(const std::string& text) {
    static const std::regex kDecimal(R"(\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*)");
    if (!std::regex_match(text, kDecimal))
        throw host::HostError(host::error::kTypeMismatch, "D2 is not a number");
    return std::strtod(text.c_str(), nullptr);
}

// The record number in D2 as a 16-bit signed integer, the way the host converts a
// cell value: numbers round, numeric texts are read, anything else is an error.
int currentNumber() {
    Value v = currentNumberCell();
    double d = 0;
    if (v.isNumber()) {
        d = v.asNumber();
    } else if (v.isText()) {
        d = decimalText(v.asText());
    } else if (v.isEmpty()) {
        d = 0;
    } else {
        throw host::HostError(host::error::kTypeMismatch, "D2 is not a number");
    }
    d = std::nearbyint(d);
    if (!(d >= -32768 && d <= 32767)) throw host::HostError(host::error::kOverflow, "Overflow");
    return static_cast<int>(d);
}

// The number of the current record when D2 holds one: a number of 1 or more. Empty,
// not a number or below 1, D2 names no record, and the operations that step from it
// change nothing (record 0 would load the headings of row 7 as a bill).
std::optional<int> currentRecord() {
    std::optional<int> n;
    resume([&] {
        if (currentNumberCell().isBlankText()) return;
        if (int k = currentNumber(); k >= 1) n = k;
    });
    return n;
}

// A block of empty texts, written in one assignment.
host::Array2D emptyTexts(int rows, int columns) {
    host::Array2D block(rows, columns);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns; ++c) block.at(r, c) = Value::text("");
    return block;
}

bool currentAmountEmpty() { return batchSheet()->range("H5").scalar().isBlankText(); }

std::shared_ptr<TianxiePJ_frm> fillInForm() {
    return dialogs::FormInstance<TianxiePJ_frm>::get(XlApp->toolkit());
}

}  // namespace

void Money_Class::fn001() {
    resume([] { batchSheet()->range("B8:N2007").setValue(emptyTexts(2000, 13)); });
    resume([] { batchSheet()->range("B5:N5").setValue(emptyTexts(1, 13)); });
    resume([] { setCurrentNumber(1); });
}

void Money_Class::fn002() {
    resume([] { batchSheet()->range("B8:N2007").setValue(emptyTexts(2000, 13)); });
    No1_Class importer;
    // An import that copied records starts the new list at its first bill, as "从1启动"
    // does: the current record is never one of the list that was replaced.
    if (importer.fn2() > 0) fn003();
    importer.tellLeftOut();
}

void Money_Class::fn003() {
    resume([] { copyToCurrent(layout::kBatchFirstRow); });
    resume([] { setCurrentNumber(1); });
}

void Money_Class::fn004() {
    resume([] { XlApp->setScreenUpdating(false); });
    // Plain values into the fill-in sheet, texts kept as texts (the accounts keep their
    // digits), with its protection lifted and put back as every writer does.
    resume([] {
        writeFillInCells([](host::Worksheet& fillIn) {
            auto batch = batchSheet();
            resume([&] { fillIn.range("E4:I4").setValue(keptTexts(batch->range("B5:F5").value())); });
            resume([&] { fillIn.range("E5:I5").setValue(keptTexts(batch->range("J5:N5").value())); });
            resume([&] { fillIn.range("K5").setValue(keptText(batch->range("G5").scalar())); });
            resume([&] { fillIn.range("K3").setValue(batch->range("H5").scalar()); });
        });
    });
    resume([] { fillInForm()->show(); });
    resume([] { fillInForm()->ComboBox4.setValue(batchSheet()->range("I5").scalar().toText()); });
    resume([] { XlApp->setScreenUpdating(true); });
}

void Money_Class::fn005() {
    bool empty = true;
    resume([&] { empty = currentAmountEmpty(); });
    if (empty) return;
    auto n = currentRecord();
    if (!n) return;
    // The list moves on only when the bill was printed: a refused bill (a sheet name
    // that names no sheet, no name at all, the fill-in sheet of a form just opened)
    // stays current, so that no bill of the list is skipped.
    bool printed = false;
    resume([&] { printed = fillInForm()->CommandButton1_Click(); });
    if (printed && *n < std::numeric_limits<std::int16_t>::max()) {
        resume([&] { copyToCurrent(*n + layout::kBatchFirstRow); });
        resume([&] { setCurrentNumber(*n + 1); });
    }
    resume([] { batchSheet()->activate(); });
}

void Money_Class::fn006() {
    bool atFirst = true;
    resume([&] { atFirst = currentNumberCell().toText() == "1"; });
    if (atFirst) return;
    auto current = currentRecord();
    if (!current || *current <= 1) return;
    const int n = *current - 1;
    resume([&] { setCurrentNumber(n); });
    resume([&] { copyToCurrent(n + layout::kBatchFirstRow - 1); });
    resume([&] { setCurrentNumber(n); });
}

void Money_Class::fn007() {
    bool empty = true;
    resume([&] { empty = currentAmountEmpty(); });
    if (empty) return;
    auto current = currentRecord();
    if (!current || *current >= std::numeric_limits<std::int16_t>::max()) return;
    const int n = *current + 1;
    resume([&] { setCurrentNumber(n); });
    resume([&] { copyToCurrent(n + layout::kBatchFirstRow - 1); });
    resume([&] { setCurrentNumber(n); });
}

void Money_Class::fn008() {
    auto n = currentRecord();
    if (!n) return;
    resume([&] { copyToCurrent(*n + layout::kBatchFirstRow - 1); });
}

}  // namespace vorra
