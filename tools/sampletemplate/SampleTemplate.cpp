#include "tools/sampletemplate/SampleTemplate.h"

#include <iterator>

#include "tools/sampletemplate/BillForms.h"
#include "tools/sampletemplate/SampleTemplateTexts.h"

namespace vorra::tools {

using host::Array2D;
using host::Value;
using host::Workbook;
using host::Worksheet;

namespace {

constexpr int kFirstBookRow = 8;
constexpr int kBatchListRows = 2000;
constexpr int kBatchFirstListRow = 8;

Value text(const std::string& s) { return Value::text(s); }

std::shared_ptr<Worksheet> appendSheet(Workbook& wb, const char* name) {
    auto sheets = wb.worksheets();
    auto sheet = wb.addSheet(sheets.back().get());
    sheet->setName(name);
    return sheet;
}

void writeRow(Worksheet& sheet, const std::string& firstCell, const std::vector<std::string>& values) {
    Array2D row(1, int(values.size()));
    for (size_t i = 0; i < values.size(); ++i) row.at(1, int(i) + 1) = text(values[i]);
    sheet.range(firstCell).resize(1, int(values.size())).setValue(row);
}

template <size_t N>
std::vector<std::string> list(const char* const (&items)[N]) {
    return {std::begin(items), std::end(items)};
}

// The fill-in rows 1 to 6, the unit and purpose books from row 7, the input cells
// unlocked and the sheet protected.
void buildUnitsSheet(Worksheet& s) {
    s.range("C1").setValue(text(texts::kLabelTitle));
    s.range("F2").setValue(text(texts::kLabelDate));
    s.range("F3").setValue(text(texts::kLabelNote));
    s.range("J3").setValue(text(texts::kLabelAmount));
    s.range("C4").setValue(text(texts::kLabelPayee));
    s.range("C5").setValue(text(texts::kLabelPayer));
    s.range("J5").setValue(text(texts::kLabelPurpose));
    s.range("F6").setValue(text(texts::kLabelBillNumber));
    s.range("K6").setValue(text(texts::kLabelPassword));
    writeRow(s, "C7", list(texts::kBookHeadings));

    // Account numbers, bill numbers and passwords keep their digits as typed. Column F
    // is text in the book rows only: F4 and F5 are the current bill's accounts, which
    // quick fill fills with look-up formulas, and a formula in a text cell would stay
    // its text. The add-in writes the accounts there as texts.
    s.range("F:F").setNumberFormat("@");
    s.range("F1:F7").setNumberFormat("General");
    s.range("G6").setNumberFormat("@");
    s.range("L6").setNumberFormat("@");
    s.range("K3").setNumberFormat("0.00");
    s.range("G2").setNumberFormat("yyyy\"年\"m\"月\"d\"日\"");
    // The bills carry the computer's date unless the cashier types another one.
    s.range("G2").setValue(text("=TODAY()"));

    const auto& units = sampleUnits();
    Array2D book(int(units.size()), 7);
    for (size_t i = 0; i < units.size(); ++i) {
        int r = int(i) + 1;
        const SampleUnit& u = units[i];
        book.at(r, 1) = Value::number(r);
        book.at(r, 2) = text(u.shortName);
        book.at(r, 3) = text(u.name);
        book.at(r, 4) = text(u.account);
        book.at(r, 5) = text(u.bank);
        book.at(r, 6) = text(u.province);
        book.at(r, 7) = text(u.county);
    }
    s.cells(kFirstBookRow, 3).resize(book.rows(), book.columns()).setValue(book);

    const auto& purposes = samplePurposes();
    Array2D purposeBook(int(purposes.size()), 2);
    for (size_t i = 0; i < purposes.size(); ++i) {
        purposeBook.at(int(i) + 1, 1) = text(purposes[i].code);
        purposeBook.at(int(i) + 1, 2) = text(purposes[i].text);
    }
    s.cells(kFirstBookRow, 10).resize(purposeBook.rows(), 2).setValue(purposeBook);

    for (const char* input : {"G2", "G3", "K3", "D4:I4", "D5:I5", "K5", "G6", "L6"})
        s.range(input).setLocked(false);
}

void buildBasicsSheet(Worksheet& s) {
    s.range("A1").setValue(text(texts::kBasicsTitle));
    s.range("A2").setValue(text(texts::kBasicsNote));
}

// The spare forms carry only their title until a template gives them a layout.
void buildSpareForm(Worksheet& s) { s.range("A1").setValue(text(s.name())); }

void buildRecordsSheet(Worksheet& s) {
    s.range("A:O").setNumberFormat("@");
    s.range("A1").setValue(text(texts::kRecordsTitle));
    writeRow(s, "A2", list(texts::kRecordHeadings));
}

void buildBatchSheet(Worksheet& s) {
    s.range("C:C").setNumberFormat("@");  // payee account
    s.range("K:K").setNumberFormat("@");  // payer account
    s.range("C2").setValue(text(texts::kBatchCurrentLabel));
    s.range("D2").setValue(Value::number(1));
    writeRow(s, "A7", list(texts::kBatchHeadings));
    Array2D numbers(kBatchListRows, 1);
    for (int k = 1; k <= kBatchListRows; ++k) numbers.at(k, 1) = Value::number(k);
    s.cells(kBatchFirstListRow, 1).resize(kBatchListRows, 1).setValue(numbers);
}

}  // namespace

const std::vector<SampleUnit>& sampleUnits() {
    static const std::vector<SampleUnit> units{
        {"SZHDJXYXGS", "苏州恒达机械有限公司", "6222021102003456789", "中国银行苏州分行", "江苏", "苏州"},
        {"NJCJJCGS", "南京长江建材公司", "0062210012345678901", "中国工商银行南京分行", "江苏", "南京"},
        {"WXHGDZC", "无锡华光电子厂", "6217001480001234567", "中国建设银行无锡分行", "江苏", "无锡"},
        {"HZXHCYGS", "杭州西湖茶叶公司", "0000358101040012345", "中国农业银行杭州分行", "浙江", "杭州"},
        {"SHDFMYGS", "上海东方贸易公司", "6228480402564890018", "交通银行上海分行", "上海", "上海"},
        {"CZTNFZC", "常州天宁纺织厂", "3202010001234567890", "江苏银行常州分行", "江苏", "常州"},
        {"KSMZDQGS", "昆山明珠电器公司", "0010512345678901234", "中国银行昆山支行", "江苏", "昆山"},
        {"ZGYHSZFH", "中国银行苏州分行", "6013821900012345678", "中国银行苏州分行", "江苏", "苏州"},
        {"WJSCJCKGS", "吴江丝绸进出口公司", "6222601310001234567", "中国工商银行吴江支行", "江苏", "吴江"},
        {"NTHAJZGS", "南通海安建筑公司", "0512340056789012345", "中国农业银行海安支行", "江苏", "海安"},
        {"YZYHWLGS", "扬州运河物流公司", "6225880212345678901", "中国建设银行扬州分行", "江苏", "扬州"},
        {"ZJGGWGS", "张家港港务公司", "3220001234567890123", "中国银行张家港支行", "江苏", "张家港"},
    };
    return units;
}

const std::vector<SamplePurpose>& samplePurposes() {
    static const std::vector<SamplePurpose> purposes{
        {"HK", "货款"},    {"GZ", "工资"},   {"CLF", "差旅费"}, {"BGF", "办公费"},
        {"ZJ", "租金"},    {"SDF", "水电费"}, {"FWF", "服务费"},
    };
    return purposes;
}

void buildSampleTemplate(Workbook& workbook) {
    auto units = workbook.worksheets().front();
    units->setName(texts::kSheetUnits);
    buildUnitsSheet(*units);
    buildBasicsSheet(*appendSheet(workbook, texts::kSheetBasics));
    // The bill sheets, in the order of their forms, print what their formulas compute
    // from the fill-in cells, laid out on the paper of their form (BillForms.cpp).
    for (const BillForm& form : billForms()) layOutBillSheet(*appendSheet(workbook, form.sheet.c_str()), form);
    for (const char* spare : {texts::kSheetSpare6, texts::kSheetSpare7, texts::kSheetSpare8,
                              texts::kSheetSpare9, texts::kSheetSpare10})
        buildSpareForm(*appendSheet(workbook, spare));
    buildRecordsSheet(*appendSheet(workbook, texts::kSheetRecords));
    buildBatchSheet(*appendSheet(workbook, texts::kSheetBatch));

    const std::string book = std::string(texts::kSheetUnits) + "!";
    workbook.addName(texts::kNamePayeeInfo, "=" + book + "$E$8:$I$50007");
    workbook.addName(texts::kNamePayerInfo, "=" + book + "$D$8:$I$50007");
    workbook.addName(texts::kNamePayeeNames, "=" + book + "$E$8:$E$50007");

    units->protect(texts::kPassword);
    units->activate();
}

void writeSampleBill(Workbook& workbook, const SampleBill& bill) {
    const auto& units = sampleUnits();
    auto sheet = workbook.sheet(texts::kSheetUnits);
    // Behind the host's text prefix, as the add-in writes them: the account keeps its
    // digits in a cell of any number format.
    auto unitRow = [&](int index) {
        const SampleUnit& u = units.at(size_t(index));
        std::vector<std::string> fields{u.shortName, u.name, u.account, u.bank, u.province, u.county};
        for (auto& field : fields) field = "'" + field;
        return fields;
    };
    sheet->unprotect(texts::kPassword);
    writeRow(*sheet, "D4", unitRow(bill.payee));
    writeRow(*sheet, "D5", unitRow(bill.payer));
    sheet->range("K3").setValue(text(bill.amount));
    sheet->range("K5").setValue(text(bill.purpose));
    sheet->range("G6").setValue(text(bill.billNumber));
    sheet->range("L6").setValue(text(bill.password));
    sheet->range("G2").setValue(text(bill.date));
    sheet->protect(texts::kPassword);
}

}  // namespace vorra::tools
