// The sample template's bill sheets: what their formulas print from a written bill,
// and where their paper layout puts each field.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include <unistd.h>

#include "platform/engine/files/WorkbookFiles.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/print/CellGeometry.h"
#include "platform/engine/print/PaperSizes.h"
#include "platform/engine/print/PrintLayout.h"
#include "tools/sampletemplate/BillForms.h"
#include "tools/sampletemplate/SampleTemplate.h"

using namespace vorra;
using namespace vorra::host;

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kBillSheets{"现金支票", "转账支票", "进账单", "业务委托书", "现金缴款单"};
const std::vector<std::string> kPlaces{"亿", "千万", "百万", "十万", "万", "千", "百", "十", "元", "角", "分"};

class BillSheets : public ::testing::Test {
protected:
    BillSheets() : app("16.0") {
        book = std::dynamic_pointer_cast<engine::EngineWorkbook>(app.addWorkbook());
        tools::buildSampleTemplate(*book);
    }
    void write(const tools::SampleBill& bill) { tools::writeSampleBill(*book, bill); }
    void writeAmount(const std::string& amount) {
        tools::SampleBill bill;
        bill.amount = amount;
        write(bill);
    }
    void writeDate(const std::string& date) {
        tools::SampleBill bill;
        bill.date = date;
        write(bill);
    }
    // What a field of a bill sheet shows.
    std::string field(const std::string& sheet, const std::string& label) {
        auto cell = tools::billFieldCell(sheet, label);
        if (!cell) {
            ADD_FAILURE() << sheet << " has no field " << label;
            return {};
        }
        return book->sheet(sheet)->cells(cell->row, cell->column).text();
    }
    std::vector<std::string> digitBoxes(const std::string& sheet) {
        std::vector<std::string> boxes;
        for (const std::string& place : kPlaces) boxes.push_back(field(sheet, place));
        return boxes;
    }

    engine::EngineApplication app;
    std::shared_ptr<engine::EngineWorkbook> book;
};

TEST_F(BillSheets, AmountInCapitalsOnEveryForm) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"1234.50", "壹仟贰佰叁拾肆元伍角整"},
        {"100", "壹佰元整"},
        {"0.05", "伍分"},
        {"12345.67", "壹万贰仟叁佰肆拾伍元陆角柒分"},
        {"1234.05", "壹仟贰佰叁拾肆元零伍分"},
        {"100010000", "壹亿零壹万元整"},
        {"10", "壹拾元整"},
        {"999999999.99", "玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分"},
    };
    for (const auto& [amount, capitals] : cases) {
        writeAmount(amount);
        for (const std::string& sheet : kBillSheets) EXPECT_EQ(field(sheet, "人民币(大写)"), capitals) << sheet << " " << amount;
    }
}

TEST_F(BillSheets, AmountInFiguresOnTheStubAndInTheDigitBoxes) {
    writeAmount("12345.67");
    EXPECT_EQ(field("转账支票", "存根金额"), "¥12,345.67");
    EXPECT_EQ(digitBoxes("转账支票"),
              (std::vector<std::string>{"", "", "", "¥", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(digitBoxes("进账单"), digitBoxes("转账支票"));

    writeAmount("0.05");  // 元 and 角 still take their 0
    EXPECT_EQ(digitBoxes("现金支票"),
              (std::vector<std::string>{"", "", "", "", "", "", "", "¥", "0", "0", "5"}));
    EXPECT_EQ(field("现金支票", "存根金额"), "¥0.05");

    writeAmount("999999999.99");  // every box, the ¥ has no box left
    EXPECT_EQ(digitBoxes("转账支票"),
              (std::vector<std::string>{"9", "9", "9", "9", "9", "9", "9", "9", "9", "9", "9"}));
    writeAmount("1000000000");  // past the boxes: blank, not a cut-off amount
    EXPECT_EQ(digitBoxes("转账支票"), std::vector<std::string>(11, ""));
    writeAmount("1200.004");  // rounded to whole 分 like the capitals
    EXPECT_EQ(digitBoxes("业务委托书"),
              (std::vector<std::string>{"", "", "", "", "¥", "1", "2", "0", "0", "0", "0"}));
    EXPECT_EQ(field("业务委托书", "人民币(大写)"), "壹仟贰佰元整");
}

TEST_F(BillSheets, ChequeDateInCapitalsByTheBankRule) {
    struct Case {
        const char* date;
        const char* year;
        const char* month;
        const char* day;
    };
    for (const Case& c : {Case{"2026-12-07", "贰零贰陆", "壹拾贰", "零柒"}, Case{"2026-10-20", "贰零贰陆", "零壹拾", "零贰拾"},
                          Case{"2027-01-15", "贰零贰柒", "零壹", "壹拾伍"}, Case{"2030-02-30", "", "", ""},
                          Case{"2031-03-31", "贰零叁壹", "叁", "叁拾壹"}, Case{"2028-11-10", "贰零贰捌", "壹拾壹", "零壹拾"}}) {
        writeDate(c.date);
        for (const char* sheet : {"转账支票", "现金支票"}) {
            if (std::string(c.date) == "2030-02-30") {
                // Not a date: it stays text, and the date fields stay blank.
                EXPECT_EQ(field(sheet, "年"), "") << sheet;
                continue;
            }
            EXPECT_EQ(field(sheet, "年"), c.year) << sheet << " " << c.date;
            EXPECT_EQ(field(sheet, "月"), c.month) << sheet << " " << c.date;
            EXPECT_EQ(field(sheet, "日"), c.day) << sheet << " " << c.date;
        }
    }
    writeDate("2026-12-07");
    auto cheque = book->sheet("转账支票");
    const int helperRow = cheque->usedArea().bottom;
    EXPECT_EQ(cheque->cells(helperRow, 2).text(), "贰零贰陆年壹拾贰月零柒日");
    EXPECT_EQ(cheque->cells(helperRow, 1).text(), "出票日期(大写)");
    EXPECT_EQ(field("转账支票", "存根出票日期"), "2026年12月07日");
    EXPECT_EQ(field("进账单", "年"), "2026");
    EXPECT_EQ(field("进账单", "月"), "12");
    EXPECT_EQ(field("现金缴款单", "日"), "07");
}

TEST_F(BillSheets, PartiesPurposeNumberAndPasswordComeFromTheFillInCells) {
    tools::SampleBill bill;
    bill.payee = 0;
    bill.payer = 1;  // its account starts with 00
    write(bill);
    const auto& payee = tools::sampleUnits()[0];
    const auto& payer = tools::sampleUnits()[1];
    for (const char* cheque : {"转账支票", "现金支票"}) {
        EXPECT_EQ(field(cheque, "收款人"), payee.name);
        EXPECT_EQ(field(cheque, "存根收款人"), payee.name);
        EXPECT_EQ(field(cheque, "付款行名称"), payer.bank);
        EXPECT_EQ(field(cheque, "出票人账号"), payer.account);
        EXPECT_EQ(field(cheque, "用途"), "货款");
        EXPECT_EQ(field(cheque, "存根用途"), "货款");
        EXPECT_EQ(field(cheque, "密码"), "1234567890123456");
    }
    EXPECT_EQ(field("进账单", "出票人全称"), payer.name);
    EXPECT_EQ(field("进账单", "出票人账号"), "0062210012345678901");
    EXPECT_EQ(field("进账单", "出票人开户银行"), payer.bank);
    EXPECT_EQ(field("进账单", "收款人全称"), payee.name);
    EXPECT_EQ(field("进账单", "收款人账号"), payee.account);
    EXPECT_EQ(field("进账单", "收款人开户银行"), payee.bank);
    EXPECT_EQ(field("进账单", "票据号码"), "00012345");
    EXPECT_EQ(field("业务委托书", "委托人全称"), payer.name);
    EXPECT_EQ(field("业务委托书", "省"), payee.province);
    EXPECT_EQ(field("业务委托书", "市/县"), payee.county);
    EXPECT_EQ(field("业务委托书", "密码"), "1234567890123456");
    EXPECT_EQ(field("现金缴款单", "缴款人"), payer.name);
    EXPECT_EQ(field("现金缴款单", "款项来源"), "货款");
    EXPECT_EQ(field("现金缴款单", "收款人全称"), payee.name);

    bill.payee = 4;  // another payee: every form follows
    write(bill);
    EXPECT_EQ(field("转账支票", "收款人"), tools::sampleUnits()[4].name);
    EXPECT_EQ(field("进账单", "收款人账号"), tools::sampleUnits()[4].account);
}

TEST_F(BillSheets, BlankOrHostileFillInCellsPrintBlanksNotErrors) {
    auto printedTexts = [&] {
        std::vector<std::string> shown;
        for (const std::string& sheet : kBillSheets)
            for (const tools::BillField& f : tools::billForm(sheet)->fields) shown.push_back(field(sheet, f.label));
        return shown;
    };
    // The template dates its bills with the computer's date; an empty bill has none.
    EXPECT_NE(field("转账支票", "年"), "");
    auto fillIn = book->sheet("常用单位账号");
    fillIn->unprotect("470518");
    fillIn->range("G2").clearContents();
    fillIn->protect("470518");
    for (const std::string& text : printedTexts()) EXPECT_EQ(text, "") << "an empty bill prints " << text;

    tools::SampleBill bill;
    bill.amount = "十二元";
    bill.date = "明天";
    write(bill);
    for (const std::string& sheet : kBillSheets) {
        EXPECT_EQ(field(sheet, "人民币(大写)"), "") << sheet;
        EXPECT_EQ(digitBoxes(sheet), std::vector<std::string>(11, "")) << sheet;
        EXPECT_EQ(field(sheet, "年"), "") << sheet;
    }
    bill.amount = "-5";
    bill.date = "-1";
    write(bill);
    EXPECT_EQ(digitBoxes("转账支票"), std::vector<std::string>(11, ""));
    EXPECT_EQ(field("转账支票", "年"), "");
    for (const std::string& text : printedTexts()) EXPECT_EQ(text.find('#'), std::string::npos) << text;
}

// ---- paper layout ----

double mmToPt(double mm) { return mm * engine::kPointsPerMm; }

TEST_F(BillSheets, EachFieldPrintsInItsBoxOnTheFormsPaper) {
    write(tools::SampleBill{});
    const double halfPixel = 0.5 * engine::kPointsPerPixel + 1e-9;
    for (const std::string& name : kBillSheets) {
        SCOPED_TRACE(name);
        const tools::BillForm& form = *tools::billForm(name);
        const engine::WorkbookModel& model = book->model();
        const engine::Sheet& sheet = *model.sheets[model.sheetIndex(name)];
        EXPECT_EQ(sheet.pageSetup.paperSize, 0);
        EXPECT_FALSE(sheet.pageSetup.printGridLines);
        ASSERT_TRUE(sheet.printArea);
        const engine::PrintLayout layout = engine::layoutSheet(sheet, model.styles);
        ASSERT_EQ(layout.pages.size(), 1u) << "the form takes more than one page";
        const auto paper = engine::paperByName(form.paper);
        ASSERT_TRUE(paper);
        EXPECT_NEAR(layout.paperWidth, mmToPt(paper->widthMm), 1e-6);
        EXPECT_NEAR(layout.paperHeight, mmToPt(paper->heightMm), 1e-6);
        EXPECT_LE(layout.paperWidth, mmToPt(250));  // as fed: long side across
        for (const tools::BillField& f : form.fields) {
            auto cell = tools::billFieldCell(name, f.label);
            ASSERT_TRUE(cell) << f.label;
            const engine::TextRun* run = nullptr;
            for (const engine::TextRun& r : layout.pages[0].runs)
                if (r.cell == *cell) run = &r;
            if (!run) {
                EXPECT_TRUE(sheet.cells.find(*cell) && sheet.cells.find(*cell)->value.asText().empty()) << f.label;
                continue;  // a blank digit box
            }
            EXPECT_NEAR(run->box.x, mmToPt(f.box.left), halfPixel) << f.label;
            EXPECT_NEAR(run->box.right(), mmToPt(f.box.right), halfPixel) << f.label;
            EXPECT_NEAR(run->box.y, mmToPt(f.box.top), halfPixel) << f.label;
            EXPECT_NEAR(run->box.bottom(), mmToPt(f.box.bottom), halfPixel) << f.label;
            EXPECT_DOUBLE_EQ(run->fontSize, f.fontSize) << f.label;
        }
        // Only the fields print: the helper of the date lies outside the print area.
        for (const engine::TextRun& r : layout.pages[0].runs) {
            bool isField = false;
            for (const tools::BillField& f : form.fields) isField |= tools::billFieldCell(name, f.label) == r.cell;
            EXPECT_TRUE(isField) << "stray text " << r.text;
        }
    }
}

TEST(BillForms, FieldBoxesDoNotOverlapAndLabelsAreUnique) {
    for (const tools::BillForm& form : tools::billForms()) {
        const tools::FormGrid grid = tools::formGrid(form, 8);
        for (size_t i = 0; i < form.fields.size(); ++i) {
            for (size_t j = i + 1; j < form.fields.size(); ++j) {
                EXPECT_NE(form.fields[i].label, form.fields[j].label) << form.sheet;
                const Area& a = grid.fieldAreas[i];
                const Area& b = grid.fieldAreas[j];
                const bool apart = a.right < b.left || b.right < a.left || a.bottom < b.top || b.bottom < a.top;
                EXPECT_TRUE(apart) << form.sheet << ": " << form.fields[i].label << " and " << form.fields[j].label;
            }
        }
        EXPECT_GT(grid.dateHelper.row, grid.printArea.bottom);
    }
}

// ---- through a workbook file ----

TEST_F(BillSheets, FormulasAndLayoutSurviveAWorkbookFile) {
    const fs::path file = fs::temp_directory_path() / ("vorra-bills-" + std::to_string(::getpid()) + ".xlsx");
    engine::saveWorkbook(book->model(), file.string());
    auto loaded = engine::loadWorkbook(file.string());
    for (const std::string& name : kBillSheets) {
        SCOPED_TRACE(name);
        const engine::Sheet& before = *book->model().sheets[book->model().sheetIndex(name)];
        const engine::Sheet& after = *loaded->sheets[loaded->sheetIndex(name)];
        EXPECT_EQ(after.pageSetup, before.pageSetup);
        EXPECT_EQ(after.printArea, before.printArea);
        EXPECT_EQ(after.merges, before.merges);
        for (const tools::BillField& f : tools::billForm(name)->fields) {
            auto cell = *tools::billFieldCell(name, f.label);
            ASSERT_TRUE(after.cells.find(cell)) << f.label;
            EXPECT_EQ(after.cells.find(cell)->formula, before.cells.find(cell)->formula) << f.label;
        }
        // The same geometry, fonts and alignment: the same boxes on the paper.
        const auto layoutBefore = engine::layoutSheet(before, book->model().styles);
        const auto layoutAfter = engine::layoutSheet(after, loaded->styles);
        ASSERT_EQ(layoutAfter.pages.size(), 1u);
        ASSERT_EQ(layoutAfter.pages[0].runs.size(), layoutBefore.pages[0].runs.size());
        for (size_t i = 0; i < layoutBefore.pages[0].runs.size(); ++i) {
            const auto& a = layoutBefore.pages[0].runs[i];
            const auto& b = layoutAfter.pages[0].runs[i];
            EXPECT_EQ(b.box, a.box) << a.text;
            EXPECT_EQ(b.fontSize, a.fontSize) << a.text;
            EXPECT_EQ(b.hAlign, a.hAlign) << a.text;
        }
    }

    // Opened again, the bill sheets calculate a new bill.
    auto reopened = app.openWorkbook(file.string());
    tools::SampleBill bill;
    bill.amount = "1234.5";
    bill.date = "2026-10-20";
    tools::writeSampleBill(*reopened, bill);
    auto cheque = reopened->sheet("转账支票");
    auto at = [&](const char* label) {
        auto c = *tools::billFieldCell("转账支票", label);
        return cheque->cells(c.row, c.column).text();
    };
    EXPECT_EQ(at("人民币(大写)"), "壹仟贰佰叁拾肆元伍角整");
    EXPECT_EQ(at("月"), "零壹拾");
    EXPECT_EQ(at("日"), "零贰拾");
    fs::remove(file);
}

}  // namespace
