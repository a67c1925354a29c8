// Importing the list from another workbook: the file dialog, the extension rule, the
// rows and columns copied, and sources that are not what they claim to be.
#include "addin/batch/No1_Class.h"
#include "tests/addin/batch/BatchFixture.h"

using namespace vorra;
using namespace vorra::testing;
using host::Value;

namespace {

// The five bills of fixtures/batch_sources.py, B to N, as the list shows them.
const std::vector<std::string> kPayees{"苏州恒达机械有限公司", "无锡华光电子厂", "杭州西湖茶叶公司",
                                       "上海东方贸易公司", "常州天宁纺织厂"};

class BatchImport : public BatchTest {
protected:
    SourceFiles sources;

    void import(const std::string& path) {
        openDialog();
        answerFile({path});
        click("CommandButton2");
    }
    std::vector<std::string> columnOfList(char column, int rows) {
        std::vector<std::string> texts;
        for (int r = 8; r < 8 + rows; ++r) texts.push_back(host.text("批量打印", column + std::to_string(r)));
        return texts;
    }
    // Rows 1 to 7, column A, the columns right of N and the rows below the list of
    // 批量打印: what an import without records leaves alone.
    std::vector<host::Variant> batchFrame() {
        std::vector<host::Variant> parts;
        for (const char* area : {"A1:Z7", "A8:A2007", "O8:Z2100", "A2008:N2100"})
            parts.push_back(batch()->read(host::parseArea(area)));
        return parts;
    }
};

TEST_F(BatchImport, ACancelledImportLeavesTheListEmptyAndTheCurrentRecordAlone) {
    putList(20);
    openDialog();
    click("CommandButton3");
    click("CommandButton7");
    click("CommandButton7");
    auto current = row(5);
    auto columnA = batch()->read(host::parseArea("A8:A2007"));

    answerFile({});
    click("CommandButton2");

    EXPECT_TRUE(listEmpty());
    EXPECT_EQ(row(5), current);
    EXPECT_EQ(d2(), "3");
    EXPECT_EQ(batch()->read(host::parseArea("A8:A2007")), columnA);
    EXPECT_FALSE(dialogLoaded());
    EXPECT_EQ(host.toolkit.lines(headless::Record::Kind::FileDialog),
              std::vector<std::string>{"file-dialog \"选定文件\" filter \"EXCEl Files (*.xls), *.xls*\" -> cancel"});
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(BatchImport, CopiesTheSelectedRowsWithEveryColumnFromA8InBothFormats) {
    for (const char* name : {"清单.xlsx", "清单.xls"}) {
        SCOPED_TRACE(name);
        putList(30);
        import(sources.make("bills", name));

        // The row without payee is left out; the headings are not copied.
        EXPECT_EQ(columnOfList('A', 5), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
        EXPECT_EQ(columnOfList('B', 5), kPayees);
        EXPECT_EQ(row(10), (std::vector<std::string>{"3", "杭州西湖茶叶公司", "0000358101040012345",
                                                     "中国农业银行杭州分行", "浙江", "杭州", "差旅费", "35.75",
                                                     "现金支票", "南京长江建材公司", "0062210012345678901",
                                                     "中国工商银行南京分行", "江苏", "南京"}));
        EXPECT_EQ(host.cell("批量打印", "H8"), Value::number(1200.5)) << "values keep their kind";
        EXPECT_EQ(host.cell("批量打印", "C10"), Value::text("0000358101040012345"));
        EXPECT_EQ(record(13), std::vector<std::string>(13, "")) << "the old list is cleared";
        EXPECT_EQ(host.text("批量打印", "A13"), "6") << "column A below the import stays";
        EXPECT_EQ(row(5), row(8)) << "the new list's first bill is current";
        EXPECT_EQ(d2(), "1");
        EXPECT_TRUE(host.messages().empty());
    }
}

TEST_F(BatchImport, TheListCanBeSteppedAndClearedAfterAnImport) {
    import(sources.make("bills", "清单.xlsx"));
    openDialog();
    click("CommandButton3");
    click("CommandButton7");
    EXPECT_EQ(host.text("批量打印", "B5"), kPayees[1]);
    click("CommandButton1");
    EXPECT_TRUE(listEmpty());
    EXPECT_EQ(columnOfList('A', 5), (std::vector<std::string>{"1", "2", "3", "4", "5"}))
        << "clear leaves the imported column A";
}

TEST_F(BatchImport, TheTextAfterTheLastDotMustBeExactlyXlsOrXlsx) {
    import(sources.make("bills", "a.b.xls"));
    EXPECT_EQ(columnOfList('B', 5), kPayees) << "a.b.xls";

    for (const char* refused : {"x.XLS", "x.xlsm", "x.Xlsx", "x.xls.bak"}) {
        SCOPED_TRACE(refused);
        import(sources.make("bills", refused));
        EXPECT_TRUE(listEmpty());
        EXPECT_EQ(host.text("批量打印", "A8"), "1");
    }
    EXPECT_TRUE(host.messages().empty());
}

// A path with ";" is one path: the connection string quotes it.
TEST_F(BatchImport, APathWithASemicolonOrAQuoteImportsLikeAnyOther) {
    for (const char* name : {"清单;二月.xlsx", "x;.xls", "含\"引号\";.xlsx"}) {
        SCOPED_TRACE(name);
        putList(3);
        import(sources.make("bills", name));
        EXPECT_EQ(columnOfList('B', 5), kPayees);
    }
    EXPECT_EQ(importConnectionString("/a/b.xls"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Extended Properties=Excel 8.0;Data Source=/a/b.xls");
    EXPECT_EQ(importConnectionString("/a;\"b\".xls"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Extended Properties=Excel 8.0;Data Source=\"/a;\"\"b\"\".xls\"");
}

TEST_F(BatchImport, OfFiveThousandRecordsTheFirstTwoThousandFillTheListAndTheRestAreCounted) {
    host.put("批量打印", "B2008", Value::text("below the list"));
    auto others = stateOf(*host.book);
    others.erase("批量打印");
    expectMessage(host.toolkit,
                  "所选工作表共有 5000 条记录，批量打印表最多容纳 2000 条：已导入前 2000 条，其余 3000 条没有导入。",
                  dialogs::MsgBoxIcon::Information, "系统提示：");
    import(sources.make("rows", "5000.xlsx", 5000));

    EXPECT_EQ(host.text("批量打印", "B8"), "收款单位1");
    EXPECT_EQ(host.text("批量打印", "B2007"), "收款单位2000");
    EXPECT_EQ(host.text("批量打印", "A2007"), "2000");
    EXPECT_EQ(host.text("批量打印", "B2008"), "below the list") << "nothing is written past row 2007";
    EXPECT_TRUE(host.text("批量打印", "A2008").empty());
    EXPECT_EQ(d2(), "1");
    EXPECT_EQ(host.text("批量打印", "B5"), "收款单位1");
    auto after = stateOf(*host.book);
    after.erase("批量打印");
    EXPECT_EQ(after, others);
}

// Sources that cannot give a list: the list stays cleared, nothing else changes, no
// message is shown.
TEST_F(BatchImport, SourcesThatGiveNoListChangeNothingButTheClearedList) {
    sources.make("bills", "good.xlsx");
    std::string bills = sources.read("good.xlsx");
    std::filesystem::create_directory(sources.path("目录.xlsx"));
    std::vector<std::string> paths{
        sources.make("no-batch-sheet", "其他表.xlsx"),
        sources.make("no-batch-sheet", "其他表.xls"),
        sources.make("no-payee-column", "无户名.xlsx"),
        sources.make("no-payee-column", "无户名.xls"),
        sources.write("文本.xls", "序号,收款人户名\n1,苏州恒达机械有限公司\n"),
        sources.write("空.xlsx", ""),
        sources.write("截断.xlsx", bills.substr(0, bills.size() / 2)),
        sources.write("截断尾部.xlsx", bills.substr(0, bills.size() - 30)),
        sources.write("截断.xls", sources.read("其他表.xls").substr(0, 1500)),
        sources.path("不存在.xlsx"),
        sources.path("目录.xlsx"),
    };
    putList(10);
    openDialog();
    click("CommandButton3");
    host.user.close(*dialogs::FormInstance<PiliangDY_frm>::existing());
    auto before = stateOf(*host.book);
    auto frame = batchFrame();
    auto current = row(5);

    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        putList(10);
        import(path);
        EXPECT_TRUE(listEmpty());
        EXPECT_EQ(row(5), current);
        EXPECT_EQ(batchFrame(), frame);
        auto after = stateOf(*host.book);
        after.erase("批量打印");
        auto expected = before;
        expected.erase("批量打印");
        EXPECT_EQ(after, expected);
    }
    EXPECT_TRUE(host.messages().empty());
}

}  // namespace
