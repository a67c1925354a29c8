// The sample template's bills printed to PDF: each field's text lands on the paper in
// the box the form gives it, as read back with pdftotext's bounding boxes.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include <unistd.h>

#include "PdfWords.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/print/CellGeometry.h"
#include "platform/engine/print/PaperSizes.h"
#include "platform/print/QtPrinter.h"
#include "tools/sampletemplate/BillForms.h"
#include "tools/sampletemplate/SampleTemplate.h"

namespace vorra::print {
namespace {

namespace fs = std::filesystem;
using namespace vorra::engine;
using testing::pdfPageCount;
using testing::pdfPageSize;
using testing::pdfWords;
using testing::PdfWord;

constexpr double kHalfMm = 0.5 * kPointsPerMm;

double mm(double millimetres) { return millimetres * kPointsPerMm; }

std::string listed(const std::vector<PdfWord>& words) {
    std::string out;
    for (const PdfWord& w : words)
        out += "\n  \"" + w.text + "\" " + std::to_string(w.xMin) + "," + std::to_string(w.yMin) + " – " +
               std::to_string(w.xMax) + "," + std::to_string(w.yMax);
    return out;
}

class SampleTemplatePrint : public ::testing::Test {
protected:
    SampleTemplatePrint() : app("16.0") {
        book = std::dynamic_pointer_cast<EngineWorkbook>(app.addWorkbook());
        tools::buildSampleTemplate(*book);
        tools::writeSampleBill(*book, tools::SampleBill{});
        dir = fs::temp_directory_path() /
              ("vorra-template-print-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
    }
    ~SampleTemplatePrint() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    // Prints a bill sheet the way PrintOut does and reads the words back.
    std::vector<PdfWord> print(const std::string& sheet) {
        QtPrinter printer{PrintFolder(dir)};
        printer.printSheet(book->model(), book->model().sheetIndex(sheet), 1, true);
        pdf = printer.lastFile();
        return pdfWords(pdf);
    }
    // The printed text of a field and where the form wants it.
    struct Placed {
        const tools::BillField* field = nullptr;
        std::string text;
    };
    Placed placed(const std::string& sheet, const std::string& label) {
        const tools::BillForm* form = tools::billForm(sheet);
        for (const tools::BillField& f : form->fields) {
            if (f.label != label) continue;
            auto cell = *tools::billFieldCell(sheet, label);
            return {&f, book->sheet(sheet)->cells(cell.row, cell.column).text()};
        }
        ADD_FAILURE() << sheet << " has no field " << label;
        return {};
    }

    EngineApplication app;
    std::shared_ptr<EngineWorkbook> book;
    fs::path dir;
    fs::path pdf;
};

// The word printing a field's text whose centre lies in the field's box (a digit
// recurs in the boxes beside).
const PdfWord* wordIn(const std::vector<PdfWord>& words, const std::string& text, const tools::BoxMm& box) {
    for (const PdfWord& w : words) {
        const double x = (w.xMin + w.xMax) / 2, y = (w.yMin + w.yMax) / 2;
        if (w.text == text && x > mm(box.left) && x < mm(box.right) && y > mm(box.top) && y < mm(box.bottom))
            return &w;
    }
    return nullptr;
}

// The form's fields are centred down their box, and left-aligned from the box's
// left edge (past the cell's text inset) or centred across it.
void expectInBox(const PdfWord& w, const tools::BillField& f) {
    const double middle = mm(f.box.top + f.box.bottom) / 2;
    EXPECT_NEAR((w.yMin + w.yMax) / 2, middle, kHalfMm) << f.label;
    if (f.hAlign == HAlign::Center)
        EXPECT_NEAR((w.xMin + w.xMax) / 2, mm(f.box.left + f.box.right) / 2, kHalfMm) << f.label;
    else
        EXPECT_NEAR(w.xMin, mm(f.box.left) + kTextInsetXPt, kHalfMm) << f.label;
    EXPECT_LE(w.xMax, mm(f.box.right) + kHalfMm) << f.label << " runs past its box";
}

TEST_F(SampleTemplatePrint, TransferChequeFieldsLandOnTheFormWithinHalfAMillimetre) {
    const std::vector<PdfWord> words = print("转账支票");
    const PrintLayout layout = layoutSheet(book->model(), book->model().sheetIndex("转账支票"));
    EXPECT_EQ(pdfPageCount(pdf), 1);
    auto [width, height] = pdfPageSize(pdf);
    EXPECT_NEAR(width, mm(240), 0.5);
    EXPECT_NEAR(height, mm(80), 0.5);

    // The three the bank reads first, with their texts spelled out.
    const std::vector<std::pair<std::string, std::string>> checked{
        {"人民币(大写)", "壹万贰仟叁佰肆拾伍元陆角柒分"},
        {"收款人", "苏州恒达机械有限公司"},
        {"年", "贰零贰陆"},
        {"月", "壹拾贰"},
        {"日", "零柒"},
    };
    for (const auto& [label, text] : checked) {
        Placed p = placed("转账支票", label);
        ASSERT_TRUE(p.field);
        EXPECT_EQ(p.text, text);
        const PdfWord* w = wordIn(words, text, p.field->box);
        ASSERT_NE(w, nullptr) << label << " \"" << text << "\" not printed near its box:" << listed(words);
        expectInBox(*w, *p.field);

        // And where the print layout put it.
        const CellRef cell = *tools::billFieldCell("转账支票", label);
        const TextRun* run = nullptr;
        for (const TextRun& r : layout.pages.at(0).runs)
            if (r.cell == cell) run = &r;
        ASSERT_NE(run, nullptr) << label;
        EXPECT_NEAR((w->yMin + w->yMax) / 2, run->box.y + run->box.height / 2, kHalfMm) << label;
        if (run->hAlign == HAlign::Center)
            EXPECT_NEAR((w->xMin + w->xMax) / 2, run->box.x + run->box.width / 2, kHalfMm) << label;
        else
            EXPECT_NEAR(w->xMin, run->box.x + run->insetX, kHalfMm) << label;
    }
}

TEST_F(SampleTemplatePrint, EveryPrintedFieldOfTheBillFormsIsInItsBox) {
    for (const char* sheet : {"转账支票", "现金支票", "进账单", "业务委托书", "现金缴款单"}) {
        SCOPED_TRACE(sheet);
        const std::vector<PdfWord> words = print(sheet);
        auto [width, height] = pdfPageSize(pdf);
        const auto paper = *paperByName(tools::billForm(sheet)->paper);
        EXPECT_NEAR(width, mm(paper.widthMm), 0.5);
        EXPECT_NEAR(height, mm(paper.heightMm), 0.5);
        int printed = 0;
        for (const tools::BillField& f : tools::billForm(sheet)->fields) {
            const std::string text = placed(sheet, f.label).text;
            if (text.empty()) continue;  // a digit box left of the ¥
            ++printed;
            const PdfWord* w = wordIn(words, text, f.box);
            ASSERT_NE(w, nullptr) << f.label << " \"" << text << "\"" << listed(words);
            expectInBox(*w, f);
        }
        EXPECT_GE(printed, 10);
        EXPECT_EQ(int(words.size()), printed) << "something else printed:" << listed(words);
    }
}

TEST_F(SampleTemplatePrint, ALongPayeeShrinksInsideItsBox) {
    auto units = book->sheet("常用单位账号");
    units->unprotect("470518");
    const std::string longName = "苏州恒达精密机械制造与进出口贸易有限责任公司第一分公司";
    units->range("E4").setValue(host::Value::text(longName));
    units->protect("470518");
    const std::vector<PdfWord> words = print("转账支票");
    Placed p = placed("转账支票", "收款人");
    const PdfWord* w = wordIn(words, longName, p.field->box);
    ASSERT_NE(w, nullptr) << listed(words);
    EXPECT_GE(w->xMin, mm(p.field->box.left) - kHalfMm);
    EXPECT_LE(w->xMax, mm(p.field->box.right) + kHalfMm);
}

}  // namespace
}  // namespace vorra::print
