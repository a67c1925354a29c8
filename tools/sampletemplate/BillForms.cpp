#include "tools/sampletemplate/BillForms.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/engine/host/EngineHost.h"
#include "platform/engine/print/CellGeometry.h"
#include "platform/engine/print/PaperSizes.h"
#include "tools/sampletemplate/BankFormulas.h"
#include "tools/sampletemplate/SampleTemplateTexts.h"

namespace vorra::tools {

using engine::HAlign;
using engine::VAlign;
using host::Area;
using host::CellRef;

namespace {

// ---- formula texts over the fill-in cells ----------------------------------------

std::string fillIn(const char* cell) {  // "E4" → 常用单位账号!$E$4
    std::string ref = std::string(texts::kSheetUnits) + "!$";
    for (const char* p = cell; *p; ++p) {
        if (*p >= '0' && *p <= '9' && (p == cell || !(p[-1] >= '0' && p[-1] <= '9'))) ref += '$';
        ref += *p;
    }
    return ref;
}

// A text of the fill-in sheet; an empty cell prints nothing, not 0.
std::string textOf(const char* cell) { return "IFERROR(" + fillIn(cell) + "&\"\",\"\")"; }

// Nothing unless the cell holds a number, and nothing for whatever the formula cannot
// take (a negative date, an amount past the forms' boxes): a bill prints blanks rather
// than an error value.
std::string whenNumber(const std::string& ref, const std::string& formula) {
    return "IFERROR(IF(ISNUMBER(" + ref + ")," + formula + ",\"\"),\"\")";
}

const std::string kAmount = fillIn("K3");
const std::string kDate = fillIn("G2");

// Only a day of the host's calendar (1900-01-01 to 9999-12-31) makes a date to print.
std::string whenDate(const std::string& formula) {
    return whenNumber(kDate, "IF(AND(" + kDate + ">=1," + kDate + "<2958466)," + formula + ",\"\")");
}

std::string amountInCapitals() {
    return whenNumber(kAmount, amountInCapitalsFormula(kAmount));
}
std::string amountInFigures() {
    return whenNumber(kAmount, "\"¥\"&TEXT(" + kAmount + ",\"#,##0.00\")");
}
std::string plainDate() {
    return whenDate("TEXT(" + kDate + ",\"yyyy\")&\"年\"&TEXT(" + kDate + ",\"mm\")&\"月\"&TEXT(" +
                                 kDate + ",\"dd\")&\"日\"");
}
std::string datePart(const char* format) { return whenDate("TEXT(" + kDate + ",\"" + format + "\")"); }

// The parts of the date in capitals ("贰零贰陆年壹拾贰月零柒日") that go before the
// pre-printed 年, 月 and 日.
std::string capitalYear() { return "IFERROR(LEFT(@DATE@,FIND(\"年\",@DATE@)-1),\"\")"; }
std::string capitalMonth() {
    return "IFERROR(MID(@DATE@,FIND(\"年\",@DATE@)+1,FIND(\"月\",@DATE@)-FIND(\"年\",@DATE@)-1),\"\")";
}
std::string capitalDay() {
    return "IFERROR(MID(@DATE@,FIND(\"月\",@DATE@)+1,FIND(\"日\",@DATE@)-FIND(\"月\",@DATE@)-1),\"\")";
}

// ---- the forms ------------------------------------------------------------------------
//
// Nominal geometry, in millimetres on the paper as fed (long side across). The paper
// sizes come from the paper table (platform/engine/print/PaperSizes.cpp). No published
// field-position drawing of the forms was at hand; the boxes follow the common layout
// of the forms (the cheque: stub 68 mm wide on the left, body 172 mm; the two-party
// slips: payer on the left half, payee on the right, the amount row below them with
// eleven 5 mm digit boxes 亿 to 分 at its right end). Measure a delivered form and
// move a box here when it differs: everything else follows.

void addDigitBoxes(std::vector<BillField>& fields, double left, double top, double bottom) {
    for (int place = 10; place >= 0; --place) {
        const double x = left + (10 - place) * 5.0;
        fields.push_back({texts::kAmountPlaces[10 - place], {x, x + 5.0, top, bottom},
                          amountDigitFormula(kAmount, place), HAlign::Center, VAlign::Center, 11});
    }
}

BillForm cheque(const char* sheet) {
    BillForm f{sheet, sheet, 2.54, {}, true};
    auto& d = f.fields;
    // Stub.
    d.push_back({texts::kFieldStubDate, {12, 66, 43.5, 48.5}, plainDate(), HAlign::Left, VAlign::Center, 10});
    d.push_back({texts::kFieldStubPayee, {12, 66, 49.5, 54.5}, textOf("E4"), HAlign::Left, VAlign::Center, 10});
    d.push_back({texts::kFieldStubAmount, {12, 66, 55.5, 60.5}, amountInFigures(), HAlign::Left, VAlign::Center, 10});
    d.push_back({texts::kFieldStubPurpose, {12, 66, 61.5, 66.5}, textOf("K5"), HAlign::Left, VAlign::Center, 10});
    // Body: 出票日期(大写) ____年____月____日, 付款行名称.
    d.push_back({texts::kFieldYear, {103, 121, 13, 18}, capitalYear(), HAlign::Center, VAlign::Center, 11});
    d.push_back({texts::kFieldMonth, {124, 138, 13, 18}, capitalMonth(), HAlign::Center, VAlign::Center, 11});
    d.push_back({texts::kFieldDay, {141, 155, 13, 18}, capitalDay(), HAlign::Center, VAlign::Center, 11});
    d.push_back({texts::kFieldPayingBank, {188, 237, 13, 18}, textOf("G5"), HAlign::Left, VAlign::Center, 10});
    // 收款人, 出票人账号.
    d.push_back({texts::kFieldPayee, {87, 165, 19.5, 24.5}, textOf("E4"), HAlign::Left, VAlign::Center, 11});
    d.push_back({texts::kFieldDrawerAccount, {188, 237, 19.5, 24.5}, textOf("F5"), HAlign::Left, VAlign::Center, 10});
    // 人民币(大写) and the digit boxes.
    d.push_back({texts::kFieldAmountInWords, {92, 178, 27, 36}, amountInCapitals(), HAlign::Left, VAlign::Center, 12});
    addDigitBoxes(d, 180.5, 30, 36);
    // 用途, 密码.
    d.push_back({texts::kFieldPurpose, {84, 128, 38.5, 43.5}, textOf("K5"), HAlign::Left, VAlign::Center, 11});
    d.push_back({texts::kFieldPassword, {180, 236, 38.5, 43.5}, textOf("L6"), HAlign::Left, VAlign::Center, 11});
    return f;
}

// The plain date of the slips: digits before the pre-printed 年, 月, 日.
void addSlipDate(std::vector<BillField>& d, double left) {
    d.push_back({texts::kFieldYear, {left, left + 14, 12, 17}, datePart("yyyy"), HAlign::Center, VAlign::Center, 11});
    d.push_back({texts::kFieldMonth, {left + 18, left + 26, 12, 17}, datePart("mm"), HAlign::Center, VAlign::Center, 11});
    d.push_back({texts::kFieldDay, {left + 30, left + 38, 12, 17}, datePart("dd"), HAlign::Center, VAlign::Center, 11});
}

// One party's 全称, 账号, 开户银行 in three rows of a slip.
void addParty(std::vector<BillField>& d, const char* const (&labels)[3], char row, double left, double right) {
    const std::string r(1, row);
    d.push_back({labels[0], {left, right, 19, 25.5}, textOf(("E" + r).c_str()), HAlign::Left, VAlign::Center, 10.5});
    d.push_back({labels[1], {left, right, 25.5, 32}, textOf(("F" + r).c_str()), HAlign::Left, VAlign::Center, 10.5});
    d.push_back({labels[2], {left, right, 32, 38.5}, textOf(("G" + r).c_str()), HAlign::Left, VAlign::Center, 10.5});
}

BillForm depositSlip() {
    BillForm f{texts::kSheetDepositSlip, texts::kSheetDepositSlip, 2.54, {}, false};
    auto& d = f.fields;
    addSlipDate(d, 86);
    addParty(d, texts::kFieldsDrawer, '5', 34, 104);
    addParty(d, texts::kFieldsPayee, '4', 128, 206);
    d.push_back({texts::kFieldAmountInWords, {40, 142, 39, 48.5}, amountInCapitals(), HAlign::Left, VAlign::Center, 12});
    addDigitBoxes(d, 148, 42, 48.5);
    d.push_back({texts::kFieldBillNumber, {124, 160, 49.5, 55.5}, textOf("G6"), HAlign::Left, VAlign::Center, 10.5});
    return f;
}

BillForm entrustment() {
    BillForm f{texts::kSheetEntrustment, texts::kSheetDepositSlip, 2.54, {}, false};
    auto& d = f.fields;
    addSlipDate(d, 70);
    addParty(d, texts::kFieldsEntruster, '5', 30, 100);
    addParty(d, texts::kFieldsPayee, '4', 124, 206);
    d.push_back({texts::kFieldProvince, {128, 146, 38.5, 44}, textOf("H4"), HAlign::Center, VAlign::Center, 10.5});
    d.push_back({texts::kFieldCounty, {156, 180, 38.5, 44}, textOf("I4"), HAlign::Center, VAlign::Center, 10.5});
    d.push_back({texts::kFieldAmountInWords, {40, 142, 45, 54}, amountInCapitals(), HAlign::Left, VAlign::Center, 12});
    addDigitBoxes(d, 148, 48, 54);
    d.push_back({texts::kFieldPurpose, {30, 100, 55, 61}, textOf("K5"), HAlign::Left, VAlign::Center, 10.5});
    d.push_back({texts::kFieldPassword, {124, 206, 55, 61}, textOf("L6"), HAlign::Left, VAlign::Center, 10.5});
    return f;
}

BillForm cashDeposit() {
    BillForm f{texts::kSheetCashDeposit, texts::kSheetDepositSlip, 2.54, {}, false};
    auto& d = f.fields;
    addSlipDate(d, 86);
    addParty(d, texts::kFieldsPayee, '4', 40, 130);
    d.push_back({texts::kFieldDepositor, {150, 206, 19, 25.5}, textOf("E5"), HAlign::Left, VAlign::Center, 10.5});
    d.push_back({texts::kFieldSource, {150, 206, 25.5, 32}, textOf("K5"), HAlign::Left, VAlign::Center, 10.5});
    d.push_back({texts::kFieldAmountInWords, {40, 142, 39, 48.5}, amountInCapitals(), HAlign::Left, VAlign::Center, 12});
    addDigitBoxes(d, 148, 42, 48.5);
    return f;
}

// ---- grid -------------------------------------------------------------------------------

constexpr double kPxPerMm = 96.0 / 25.4;
constexpr double kPtPerMm = 72.0 / 25.4;
constexpr double kRowStepPt = 0.75;

// Characters that give exactly `px` pixels under the column-width rule.
double charsForPixels(int px, int maxDigitWidth) {
    double chars = px >= maxDigitWidth + 5 ? double(px - 5) / maxDigitWidth : double(px) / (maxDigitWidth + 5);
    if (engine::columnWidthPx(chars, maxDigitWidth) != px)
        throw std::logic_error("no column width gives " + std::to_string(px) + " px");
    return chars;
}

// Sorted, distinct grid lines from the margin, and the index of a line by its value.
struct Lines {
    std::vector<long> at;
    int index(long v) const { return int(std::lower_bound(at.begin(), at.end(), v) - at.begin()); }
};

Lines linesOf(std::vector<long> values) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return {values};
}

}  // namespace

std::string amountDigitFormula(const std::string& amountCell, int place) {
    const std::string cents = "ROUND(" + amountCell + "*100,0)";
    const std::string digits = "TEXT(" + cents + ",\"000\")";  // at least 元, 角 and 分
    const std::string count = "LEN(" + digits + ")";
    const std::string p = std::to_string(place);
    // Digits from the highest one down; "¥" in the box before it; nothing for an
    // amount that is not positive or does not fit the boxes.
    return "IFERROR(IF(OR(NOT(ISNUMBER(" + amountCell + "))," + cents + "<=0," + cents +
           ">=100000000000),\"\",IF(" + p + "<" + count + ",MID(" + digits + "," + count + "-" + p +
           ",1),IF(" + p + "=" + count + ",\"¥\",\"\"))),\"\")";
}

const std::vector<BillForm>& billForms() {
    static const std::vector<BillForm> forms{cheque(texts::kSheetCashCheque), cheque(texts::kSheetTransferCheque),
                                             depositSlip(), entrustment(), cashDeposit()};
    return forms;
}

const BillForm* billForm(const std::string& sheet) {
    for (const BillForm& f : billForms())
        if (f.sheet == sheet) return &f;
    return nullptr;
}

FormGrid formGrid(const BillForm& form, int maxDigitWidth) {
    auto px = [&](double mm) { return std::lround((mm - form.marginMm) * kPxPerMm); };
    auto steps = [&](double mm) { return std::lround((mm - form.marginMm) * kPtPerMm / kRowStepPt); };
    std::vector<long> xs{0}, ys{0};
    for (const BillField& f : form.fields) {
        xs.push_back(px(f.box.left)), xs.push_back(px(f.box.right));
        ys.push_back(steps(f.box.top)), ys.push_back(steps(f.box.bottom));
    }
    const Lines columns = linesOf(xs), rows = linesOf(ys);

    FormGrid g;
    for (size_t i = 1; i < columns.at.size(); ++i)
        g.columnChars.push_back(charsForPixels(int(columns.at[i] - columns.at[i - 1]), maxDigitWidth));
    for (size_t i = 1; i < rows.at.size(); ++i) g.rowPoints.push_back(double(rows.at[i] - rows.at[i - 1]) * kRowStepPt);
    for (const BillField& f : form.fields) {
        // Line k is the left edge of column k + 1.
        g.fieldAreas.push_back(Area{rows.index(steps(f.box.top)) + 1, columns.index(px(f.box.left)) + 1,
                                    rows.index(steps(f.box.bottom)), columns.index(px(f.box.right))});
    }
    g.printArea = Area{1, 1, int(g.rowPoints.size()), int(g.columnChars.size())};
    g.dateHelper = CellRef{g.printArea.bottom + 2, 1};
    return g;
}

std::optional<CellRef> billFieldCell(const std::string& sheet, const std::string& label, int maxDigitWidth) {
    const BillForm* form = billForm(sheet);
    if (!form) return std::nullopt;
    const FormGrid grid = formGrid(*form, maxDigitWidth);
    for (size_t i = 0; i < form->fields.size(); ++i)
        if (form->fields[i].label == label) return CellRef{grid.fieldAreas[i].top, grid.fieldAreas[i].left};
    return std::nullopt;
}

void layOutBillSheet(host::Worksheet& sheet, const BillForm& form) {
    auto* engineSheet = dynamic_cast<engine::EngineWorksheet*>(&sheet);
    engine::StyleSheet* styles = engineSheet ? &engineSheet->book().model().styles : nullptr;
    const int digitWidth = styles ? engine::maxDigitWidthPx(styles->fonts.front()) : 8;
    const FormGrid grid = formGrid(form, digitWidth);

    const std::string helper = "$B$" + std::to_string(grid.dateHelper.row);
    for (size_t i = 0; i < form.fields.size(); ++i) {
        std::string formula = form.fields[i].formula;
        for (size_t at; (at = formula.find("@DATE@")) != std::string::npos;) formula.replace(at, 6, helper);
        const Area& a = grid.fieldAreas[i];
        sheet.cells(a.top, a.left).setFormula("=" + formula);
    }
    if (form.dateInCapitals) {
        sheet.cells(grid.dateHelper.row, 1).setValue(host::Value::text(texts::kHelperDateInCapitals));
        sheet.cells(grid.dateHelper.row, 2)
            .setFormula("=" + whenDate(chequeDateFormula(kDate)));
    }
    if (!engineSheet) return;  // another host keeps its own paper layout

    engine::Sheet& s = engineSheet->model();
    const auto paper = engine::paperByName(form.paper);
    if (!paper) throw std::logic_error("no paper " + form.paper);
    engine::applyPaper(s.pageSetup, *paper);
    s.pageSetup.orientation = engine::Orientation::Portrait;  // the table gives the paper as fed
    const double marginIn = form.marginMm / 25.4;
    s.pageSetup.marginLeft = s.pageSetup.marginRight = s.pageSetup.marginTop = s.pageSetup.marginBottom = marginIn;
    s.pageSetup.marginHeader = s.pageSetup.marginFooter = 0;
    s.pageSetup.scale = 100;
    s.pageSetup.fitToPage = false;
    s.pageSetup.printGridLines = false;
    s.printArea = grid.printArea;
    for (size_t i = 0; i < grid.columnChars.size(); ++i) s.columns[int(i) + 1].width = grid.columnChars[i];
    for (size_t i = 0; i < grid.rowPoints.size(); ++i) s.rows[int(i) + 1].height = grid.rowPoints[i];
    for (size_t i = 0; i < form.fields.size(); ++i) {
        const BillField& f = form.fields[i];
        const Area& a = grid.fieldAreas[i];
        if (a.bottom > a.top || a.right > a.left) s.merges.push_back(a);
        engine::Font font = styles->fonts.front();
        font.size = f.fontSize;
        engine::CellFormat format;
        format.fontId = styles->internFont(font);
        format.hAlign = f.hAlign;
        format.vAlign = f.vAlign;
        format.shrinkToFit = true;  // a long name shrinks rather than crossing the next field
        s.cells.at({a.top, a.left}).style = styles->internFormat(format);
    }
}

}  // namespace vorra::tools
