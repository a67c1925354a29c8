// The sample template printed from its files: saved here as .xls and as .xlsx and
// opened again, every bill prints the same words within 0.1 mm of each other; the same
// file re-saved by LibreOffice prints within 0.5 mm of ours.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include <unistd.h>

#include "PdfWords.h"
#include "platform/engine/files/WorkbookFiles.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/print/CellGeometry.h"
#include "platform/print/QtPrinter.h"
#include "tests/platform/engine/WorkbookFileFixtures.h"
#include "tools/sampletemplate/SampleTemplate.h"

namespace vorra::print {
namespace {

namespace fs = std::filesystem;
using namespace vorra::engine;
using testing::pdfWords;
using testing::PdfWord;

constexpr const char* kBills[] = {"转账支票", "现金支票", "进账单", "业务委托书", "现金缴款单"};

class TemplateFilesPrint : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = fs::temp_directory_path() / ("vorra-files-print-" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "libreoffice");
        EngineApplication app("16.0");
        auto book = std::dynamic_pointer_cast<EngineWorkbook>(app.addWorkbook());
        tools::buildSampleTemplate(*book);
        tools::writeSampleBill(*book, tools::SampleBill{});
        saveWorkbook(book->model(), (dir_ / "template.xls").string());
        saveWorkbook(book->model(), (dir_ / "template.xlsx").string());
        engine::testing::runFixtureScript("libreoffice xlsx " + (dir_ / "libreoffice").string() + " " +
                                          (dir_ / "template.xlsx").string());
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }

    // Opens the file as the host does (its formulas calculated here) and prints a sheet.
    static std::vector<PdfWord> print(const std::string& file, const std::string& sheet) {
        EngineApplication app("16.0");
        auto book = std::dynamic_pointer_cast<EngineWorkbook>(app.openWorkbook((dir_ / file).string()));
        QtPrinter printer{PrintFolder(dir_ / "pdf")};
        printer.printSheet(book->model(), book->model().sheetIndex(sheet), 1, true);
        return pdfWords(printer.lastFile());
    }

    // The same words on the same pages, each within `tolerance` points.
    static void expectAlike(const std::vector<PdfWord>& ours, const std::vector<PdfWord>& other, double tolerance) {
        ASSERT_EQ(ours.size(), other.size());
        ASSERT_GE(ours.size(), 10u);
        for (size_t i = 0; i < ours.size(); ++i) {
            SCOPED_TRACE(ours[i].text);
            EXPECT_EQ(ours[i].text, other[i].text);
            EXPECT_EQ(ours[i].page, other[i].page);
            EXPECT_NEAR(ours[i].xMin, other[i].xMin, tolerance);
            EXPECT_NEAR(ours[i].xMax, other[i].xMax, tolerance);
            EXPECT_NEAR(ours[i].yMin, other[i].yMin, tolerance);
            EXPECT_NEAR(ours[i].yMax, other[i].yMax, tolerance);
        }
    }

    static fs::path dir_;
};

fs::path TemplateFilesPrint::dir_;

TEST_F(TemplateFilesPrint, SavedAsXlsAndAsXlsxEveryBillPrintsTheSameWithinATenthOfAMillimetre) {
    for (const char* sheet : kBills) {
        SCOPED_TRACE(sheet);
        expectAlike(print("template.xlsx", sheet), print("template.xls", sheet), 0.1 * kPointsPerMm);
    }
}

TEST_F(TemplateFilesPrint, ResavedByLibreOfficeEveryBillPrintsWithinHalfAMillimetreOfOurs) {
    for (const char* sheet : kBills) {
        SCOPED_TRACE(sheet);
        expectAlike(print("template.xlsx", sheet), print("libreoffice/template.xlsx", sheet), 0.5 * kPointsPerMm);
    }
}

}  // namespace
}  // namespace vorra::print
