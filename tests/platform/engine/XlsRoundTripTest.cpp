// Workbooks saved as .xls here and opened again: formulas (turned into the format's
// tokens and back), names, formats, layout and page setup come back as the model held
// them, and a second save writes the same bytes.

#include <gtest/gtest.h>

#include "platform/engine/files/WorkbookFiles.h"
#include "tests/platform/engine/WorkbookFileFixtures.h"

namespace vorra::engine {
namespace {

using testing::ScratchFolder;
using testing::readBytes;
using testing::sampleTemplate;

// What the format cannot hold: the modern protection hash (only the 16-bit one
// exists), and an RGB colour that the palette has is that palette entry.
std::unique_ptr<WorkbookModel> asTheFormatHoldsIt(std::unique_ptr<WorkbookModel> wb) {
    for (Font& f : wb->styles.fonts)
        if (f.colorRgb == "FFFF0000") f.colorRgb.clear(), f.colorIndex = 3;
    for (auto& sheet : wb->sheets) {
        SheetProtection& p = sheet->protection;
        p.algorithmName = p.hashValue = p.saltValue = "";
        p.spinCount = 0;
    }
    return wb;
}

TEST(XlsRoundTrip, SampleTemplateComesBackAfterSaveOpenSave) {
    ScratchFolder dir;
    auto original = sampleTemplate();
    saveWorkbook(*original, dir.file("a.xls"));
    auto first = loadWorkbook(dir.file("a.xls"));
    testing::expectSameWorkbook(*asTheFormatHoldsIt(sampleTemplate()), *first);
    saveWorkbook(*first, dir.file("b.xls"));
    auto second = loadWorkbook(dir.file("b.xls"));
    testing::expectSameWorkbook(*first, *second);
    saveWorkbook(*second, dir.file("c.xls"));
    EXPECT_EQ(readBytes(dir.file("b.xls")), readBytes(dir.file("c.xls")));
}

// Formula texts through the format's tokens and back: each comes back as written, or
// as the given text where the tokens cannot tell the difference.
TEST(XlsRoundTrip, FormulasComeBackThroughTheirTokens) {
    struct Case {
        const char* text;
        const char* back = nullptr;
    };
    const Case cases[] = {
        {"1+2*3"},
        {"(1+2)*3"},
        {"((A1))"},
        {"2^3^2"},
        {"2^(3^2)"},
        {"-A1^2"},
        {"-(A1^2)"},
        {"-A1%"},
        {"50%*B2"},
        {"A1&\"元\"&\"说\"\"明\""},
        {"A1<>B1"},
        {"A1<=1.5E+300"},
        {"0.1+123456789+65536+-0.5"},
        {"TRUE<>FALSE"},
        {"#N/A"},
        {"IF(ISERROR(#DIV/0!),#VALUE!,#REF!)"},
        {"$A$1+A$1+$A1+A1"},
        {"SUM($B:$B,3:3,C:D,$2:$5)"},
        {"SUM(A1:B2)+SUM($C$3:D$4)"},
        {"常用单位账号!E4&'基本 信息'!$A$1"},
        {"SUM(转账支票!A1:B3)"},
        {"缺少的表!A1", "#REF!"},
        {"VLOOKUP($E$4,收款人信息,2,FALSE)"},
        {"本表&转账支票!本表"},
        {"未定义的名字+1"},
        {"IF(A1>1,\"y\")"},
        {"IF(A1>1,\"y\",IF(A2,B1,B2))"},
        {"CHOOSE(2,A1,A2,\"三\")"},
        {"SUM(A1)+SUM(A1,B1)+SUM()"},
        {"ROUND(A1/3,2)+LEFT(A1)+LEFT(A1,2)"},
        {"IF(,,)"},
        {"INDEX(A1:C3,2,):INDEX(A1:C3,3,3)"},
        {"SUM(A1:INDEX(B:B,9))"},
        {"SUM({1,2;3,4})+SUM({\"a\",TRUE,#N/A,-1.5})"},
        {"SUMPRODUCT((A1:A3>1)*B1:B3)"},
        {"IFERROR(1/A1,0)+IFNA(A1,0)+COUNTIFS(A1:A9,\">1\",B1:B9,\"<3\")"},
        {"EDATE(A1,1)+EOMONTH(A1,0)+WEEKNUM(A1)+MROUND(A1,5)+QUOTIENT(7,2)"},
        {"ISEVEN(A1)+ISODD(A1)+XOR(A1,B1)+DAYS(A2,A1)+SUMIFS(C:C,A:A,1)"},
        {"RMB(A1,2)&NUMBERSTRING(A1,2)&TEXT(TODAY(),\"yyyy年m月d日\")"},
        {"MYFUNCTION(1,2)"},
        {"_xlfn.LATER(1)", "LATER(1)"},
        {"NOW()-OFFSET(A1,1,1)+INDIRECT(\"A\"&ROW())"},
    };
    WorkbookModel wb = std::move(*sampleTemplate());
    Sheet& sheet = *wb.sheets[0];
    int row = 100;
    for (const Case& c : cases) sheet.cells.at({row++, 1}).formula = c.text;
    ScratchFolder dir;
    saveWorkbook(wb, dir.file("f.xls"));
    auto back = loadWorkbook(dir.file("f.xls"));
    row = 100;
    for (const Case& c : cases) {
        const Cell* cell = back->sheets[0]->cells.find({row++, 1});
        ASSERT_NE(cell, nullptr) << c.text;
        EXPECT_EQ(cell->formula, c.back ? c.back : c.text);
    }
}

// References into other workbooks keep their workbook (by its place among the
// external links) and their sheet; the links keep their files.
TEST(XlsRoundTrip, ExternalReferencesKeepTheirWorkbookAndSheet) {
    WorkbookModel wb;
    wb.sheets.push_back(std::make_unique<Sheet>());
    wb.sheets[0]->name = "表一";
    wb.externalLinks = {{"C:\\票据\\模板.xls", nullptr}, {"单位.xlsx", nullptr}};
    const char* formulas[] = {"[1]转账支票!B2&[2]Sheet1!$A$1", "SUM('[2]My sheet'!A1:B3)+[1]转账支票!C3"};
    for (int i = 0; i < 2; ++i) wb.sheets[0]->cells.at({i + 1, 1}).formula = formulas[i];
    ScratchFolder dir;
    saveWorkbook(wb, dir.file("links.xls"));
    auto back = loadWorkbook(dir.file("links.xls"));
    ASSERT_EQ(back->externalLinks.size(), 2u);
    EXPECT_EQ(back->externalLinks[0].target, "C:\\票据\\模板.xls");
    EXPECT_EQ(back->externalLinks[1].target, "单位.xlsx");
    for (int i = 0; i < 2; ++i) EXPECT_EQ(back->sheets[0]->cells.find({i + 1, 1})->formula, formulas[i]);
}

// Formulas that the format cannot hold are refused with the cell that holds them,
// before the file is written.
TEST(XlsRoundTrip, FormulasTheFormatCannotHoldAreRefusedNamingTheCell) {
    const std::pair<const char*, const char*> cases[] = {
        {"SUM(A1:A70000)", "beyond row 65536 or column IV"},
        {"XFD1+1", "beyond row 65536 or column IV"},
        {"SUM(1", "missing ')'"},
        {"[3]Sheet1!A1", "not one of its external links"},
        {"ROUND(1)", "ROUND with 1 arguments"},
    };
    ScratchFolder dir;
    for (const auto& [text, reason] : cases) {
        WorkbookModel wb;
        wb.sheets.push_back(std::make_unique<Sheet>());
        wb.sheets[0]->name = "表一";
        wb.sheets[0]->cells.at({2, 3}).formula = text;
        std::string path = dir.file("r.xls");
        testing::expectRefusal([&] { saveWorkbook(wb, path); }, {path, "Cell 表一!C2", reason});
        EXPECT_FALSE(std::filesystem::exists(path)) << text;
    }
}

}  // namespace
}  // namespace vorra::engine
