#include "EngineFixture.h"

using namespace vorra;
using namespace vorra::host;
using vorra::engine::testing::EngineTest;

namespace {

std::vector<std::string> sheetNames(Workbook& wb) {
    std::vector<std::string> out;
    for (auto& s : wb.worksheets()) out.push_back(s->name());
    return out;
}

using Sheets = EngineTest;
using Workbooks = EngineTest;

}  // namespace

TEST_F(Sheets, AddedSheetsAreNamedAndPlacedAsTheHostDoes) {
    sheet->setName("常用单位账号");
    auto second = book->addSheet(sheet.get());
    EXPECT_EQ(second->name(), "Sheet2");
    EXPECT_EQ(app.activeSheet(), second);
    auto third = book->addSheet(nullptr);  // before the active sheet
    EXPECT_EQ(sheetNames(*book), (std::vector<std::string>{"常用单位账号", "Sheet3", "Sheet2"}));
    EXPECT_EQ(app.activeSheet(), third);
}

TEST_F(Sheets, CopiesOfATakenNameAreNumbered) {
    sheet->setName("现金支票");
    sheet->copyAfter(*sheet);
    EXPECT_EQ(app.activeSheet()->name(), "现金支票 (2)");
    app.activeSheet()->copyAfter(*app.activeSheet());
    EXPECT_EQ(sheetNames(*book),
              (std::vector<std::string>{"现金支票", "现金支票 (2)", "现金支票 (3)"}));
    sheet->copyBefore(*sheet);
    EXPECT_EQ(sheetNames(*book).front(), "现金支票 (4)");
    EXPECT_EQ(engine::nameForCopy(std::string(31, 'a'), [&](const std::string& n) {
                  return n == std::string(31, 'a');
              }),
              std::string(27, 'a') + " (2)");
}

TEST_F(Sheets, CopyIntoAnotherWorkbookCarriesValuesAndStyles) {
    sheet->setName("转账支票");
    sheet->range("F:F").setNumberFormat("@");
    sheet->range("F8").setFontColorIndex(3);
    put("F8", text("0001234"));
    auto other = app.addWorkbook();
    auto target = other->worksheets().front();
    target->setName("转账支票");
    target->range("A1").setNumberFormat("0.00");  // styles of the target differ
    sheet->copyBefore(*target);
    EXPECT_EQ(app.activeWorkbook(), other);
    auto copy = other->sheet("转账支票 (2)");
    EXPECT_EQ(app.activeSheet(), copy);
    EXPECT_EQ(copy->range("F8").scalar(), text("0001234"));
    EXPECT_EQ(copy->range("F8").numberFormat(), "@");
    EXPECT_EQ(copy->range("F8").fontColorIndex(), 3);
    EXPECT_EQ(copy->range("F100").numberFormat(), "@");
    EXPECT_EQ(target->range("A1").numberFormat(), "0.00");
    EXPECT_EQ(sheetNames(*book), (std::vector<std::string>{"转账支票"}));
}

TEST_F(Sheets, CopyToANewWorkbookActivatesIt) {
    sheet->setName("打印记录");
    put("A3", text("1"));
    sheet->copyToNewWorkbook();
    ASSERT_EQ(app.workbooks().size(), 2u);
    auto copy = app.activeWorkbook();
    EXPECT_NE(copy, book);
    EXPECT_EQ(sheetNames(*copy), (std::vector<std::string>{"打印记录"}));
    EXPECT_EQ(copy->sheet("打印记录")->range("A3").scalar(), number(1));
}

TEST_F(Sheets, NamesAreValidatedAndUniqueIgnoringCase) {
    auto second = book->addSheet(sheet.get());
    for (const char* bad : {"", "a:b", "a/b", "[x]", "'quoted", "1234567890123456789012345678901X"})
        EXPECT_THROW(second->setName(bad), HostError) << bad;
    EXPECT_THROW(second->setName("SHEET1"), HostError);
    second->setName("一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一");  // 31 characters
    EXPECT_EQ(book->sheet("sheet1"), sheet);  // look-up ignores case too
}

TEST_F(Sheets, DeleteHideAndActivateKeepAVisibleSheet) {
    EXPECT_THROW(sheet->deleteSheet(), HostError);
    EXPECT_THROW(sheet->setVisible(Visibility::Hidden), HostError);
    auto second = book->addSheet(sheet.get());
    second->setVisible(Visibility::Hidden);
    EXPECT_EQ(second->visible(), Visibility::Hidden);
    EXPECT_EQ(app.activeSheet(), sheet);  // hiding the active sheet moves on
    EXPECT_THROW(second->activate(), HostError);
    EXPECT_THROW(sheet->deleteSheet(), HostError);  // the other one is hidden
    second->setVisible(Visibility::Visible);
    second->activate();
    second->deleteSheet();
    EXPECT_EQ(book->worksheets().size(), 1u);
    EXPECT_THROW(second->name(), HostError);  // a deleted sheet answers with an error
    EXPECT_THROW(second->range("A1"), HostError);
    EXPECT_EQ(app.activeSheet(), sheet);
}

TEST_F(Sheets, NamedRangesResolveFollowRenamesAndBreakOnDelete) {
    sheet->setName("常用单位账号");
    book->addName("收款人信息", "=常用单位账号!$E$8:$I$50007");
    auto other = book->addSheet(sheet.get());
    Range r = other->range("收款人信息");
    EXPECT_EQ(r.worksheet().name(), "常用单位账号");
    EXPECT_EQ(r.address(), "$E$8:$I$50007");
    sheet->setName("单位 账号");
    EXPECT_EQ(book->names().front().second, "'单位 账号'!$E$8:$I$50007");
    EXPECT_EQ(other->range("收款人信息").address(), "$E$8:$I$50007");
    EXPECT_EQ(other->range("'单位 账号'!K4").worksheet().name(), "单位 账号");
    EXPECT_THROW(book->addName("A1", "=Sheet2!$A$1"), HostError);
    EXPECT_THROW(book->addName("two words", "=Sheet2!$A$1"), HostError);
    sheet->deleteSheet();
    EXPECT_EQ(book->names().front().second, "#REF!$E$8:$I$50007");
    EXPECT_THROW(other->range("收款人信息"), HostError);
}

TEST_F(Workbooks, AddOpenCloseAndSaveAs) {
    EXPECT_EQ(book->name(), "Book1");
    auto second = app.addWorkbook();
    EXPECT_EQ(second->name(), "Book2");
    EXPECT_EQ(app.activeWorkbook(), second);
    EXPECT_THROW(second->saveAs("/nonexistent-folder/out.xlsx"), HostError);
    EXPECT_EQ(second->name(), "Book2");  // a failed save keeps the name
    EXPECT_THROW(second->save(), HostError);  // never saved: needs a file name first
    EXPECT_THROW(app.openWorkbook("/nonexistent/模板.xlsx"), HostError);
    second->close(false);
    EXPECT_EQ(app.workbooks().size(), 1u);
    EXPECT_EQ(app.activeWorkbook(), book);
    EXPECT_THROW(second->worksheets(), HostError);
    book->close(false);
    EXPECT_EQ(app.activeWorkbook(), nullptr);
    EXPECT_THROW(app.activeSheet(), HostError);
    EXPECT_THROW(app.sheets("Sheet1"), HostError);
}

TEST_F(Workbooks, ChangeLinkRewritesTheLinkSource) {
    auto& model = static_cast<engine::EngineWorkbook&>(*book).model();
    model.externalLinks.push_back({"C:\\模板\\旧.xls", nullptr});
    book->changeLink("C:\\模板\\旧.xls", "/home/user/新.xlsx");
    ASSERT_EQ(book->linkSources().size(), 1u);
    EXPECT_EQ(book->linkSources()[0].source, "/home/user/新.xlsx");
    EXPECT_THROW(book->changeLink("nothing", "x"), HostError);
}

TEST_F(Workbooks, WorksheetFunctionsGoThroughTheFormulaEngine) {
    put("E8", text("甲"));
    put("E9", text("乙"));
    put("F9", text("账号乙"));
    EXPECT_EQ(app.countIf(sheet->range("E8:E20"), text("乙")), 1);
    EXPECT_EQ(app.vlookup(text("乙"), sheet->range("E8:F9").value(), 2, false), text("账号乙"));
    EXPECT_THROW(app.vlookup(text("丙"), sheet->range("E8:F9").value(), 2, false), HostError);
    EXPECT_THROW(app.vlookup(text("乙"), sheet->range("E8:F9").value(), 3, false), HostError);
}

TEST_F(Sheets, CopiesTakeTheirNamesAlong) {
    sheet->setName("常用单位账号");
    book->addName("收款人信息", "=常用单位账号!$E$8:$I$50007");
    book->addName("跨表", "=常用单位账号!$A$1+Sheet9!$A$1");
    // Into another workbook: the name that refers to the sheet alone goes along.
    auto other = app.addWorkbook();
    sheet->copyBefore(*other->worksheets().front());
    auto names = other->names();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], (std::pair<std::string, std::string>{"收款人信息", "常用单位账号!$E$8:$I$50007"}));
    // Within the workbook: the copy gets its own name pointing at itself.
    sheet->copyAfter(*sheet);
    auto copy = book->sheet("常用单位账号 (2)");
    EXPECT_EQ(copy->range("收款人信息").worksheet().name(), "常用单位账号 (2)");
    EXPECT_EQ(sheet->range("收款人信息").worksheet().name(), "常用单位账号");
    EXPECT_EQ(book->names().size(), 2u);  // the workbook's own names are unchanged
}

TEST_F(Sheets, CopyIntoAnotherWorkbookCarriesTheLinksItsFormulasName) {
    auto& source = static_cast<engine::EngineWorkbook&>(*book).model();
    source.externalLinks = {{"C:\\模板\\甲.xls", nullptr}, {"C:\\模板\\乙.xls", nullptr}, {"未用.xls", nullptr}};
    auto& cells = source.sheets[0]->cells;
    cells.at({1, 1}).formula = "[2]Sheet1!A1+'[1]My Sheet'!B2";
    cells.at({1, 2}).formula = "IF(A1=\"[1]\",Table1[Amount],[1]Sheet1!C3)";
    auto other = app.addWorkbook();
    auto& target = static_cast<engine::EngineWorkbook&>(*other).model();
    target.externalLinks = {{"C:\\模板\\甲.xls", nullptr}};  // the target links to 甲 already
    sheet->copyBefore(*other->worksheets().front());
    ASSERT_EQ(target.externalLinks.size(), 2u);  // 乙 joins; the unused link stays behind
    EXPECT_EQ(target.externalLinks[1].target, "C:\\模板\\乙.xls");
    const auto& copied = target.sheets[0]->cells;
    EXPECT_EQ(copied.find({1, 1})->formula, "[2]Sheet1!A1+'[1]My Sheet'!B2");
    EXPECT_EQ(copied.find({1, 2})->formula, "IF(A1=\"[1]\",Table1[Amount],[1]Sheet1!C3)");

    target.externalLinks = {{"D:\\其它.xls", nullptr}};
    sheet->copyBefore(*other->worksheets().front());  // both links are new to the target now
    EXPECT_EQ(target.externalLinks.size(), 3u);
    EXPECT_EQ(target.sheets[0]->cells.find({1, 1})->formula, "[2]Sheet1!A1+'[3]My Sheet'!B2");  // in the order met
}

TEST_F(Sheets, FormulasSeeTheSheetsAndNamesAnAddOrCopyBrings) {
    sheet->setName("单位");
    put("A1", number(5));
    book->addName("金额", "=单位!$A$1");
    put("B1", text("=金额*2"));
    put("C1", text("=Sheet2!A1+1"));
    EXPECT_EQ(cell("C1"), Value::error(ErrorValue::Ref));
    book->addSheet(sheet.get());  // "Sheet2" now exists
    EXPECT_EQ(cell("C1"), number(1));

    auto other = app.addWorkbook();
    sheet->copyBefore(*other->worksheets().front());
    EXPECT_EQ(other->sheet("单位")->range("B1").scalar(), number(10));

    sheet->copyAfter(*sheet);
    auto copy = book->sheet("单位 (2)");
    EXPECT_EQ(copy->range("B1").scalar(), number(10));
    copy->range("A1").setValue(number(7));
    EXPECT_EQ(copy->range("B1").scalar(), number(14));  // the copy's own name
    EXPECT_EQ(cell("B1"), number(10));

    sheet->copyToNewWorkbook();
    EXPECT_EQ(app.activeWorkbook()->sheet("单位")->range("B1").scalar(), number(10));
}
