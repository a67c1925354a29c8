#include <gtest/gtest.h>

#include "addin/frame/host/HostError.h"
#include "platform/engine/data/SheetQuery.h"

using namespace vorra::engine;
using vorra::host::HostError;
using vorra::host::Value;

namespace {

// A batch list as another workbook holds it: headings in the first used row.
WorkbookModel batchSource() {
    WorkbookModel wb;
    auto sheet = std::make_unique<Sheet>();
    sheet->name = "批量打印";
    const char* headings[] = {"序号", "收款人户名", "收款人账号", "金额"};
    for (int c = 0; c < 4; ++c) sheet->cells.at({3, c + 2}).value = Value::text(headings[c]);
    auto row = [&](int r, const char* seq, const char* name, const char* account, double amount) {
        sheet->cells.at({r, 2}).value = Value::text(seq);
        if (name) sheet->cells.at({r, 3}).value = Value::text(name);
        sheet->cells.at({r, 4}).value = Value::text(account);
        sheet->cells.at({r, 5}).value = Value::number(amount);
    };
    row(4, "1", "苏州甲公司", "0012345678901234567", 100);
    row(5, "2", nullptr, "0012345678901234568", 200);  // no payee: left out
    row(6, "3", "", "0012345678901234569", 300);         // empty text: left out
    row(7, "4", "上海乙公司", "6222021234567890123", 1234.5);
    wb.sheets.push_back(std::move(sheet));
    return wb;
}

}  // namespace

TEST(SheetQuery, SelectsRowsWithANonEmptyColumnInSourceOrder) {
    auto rs = runSheetQuery(parseSheetQuery("select * from [批量打印$] Where 收款人户名 <> '' "),
                            batchSource());
    EXPECT_EQ(rs.fields, (std::vector<std::string>{"序号", "收款人户名", "收款人账号", "金额"}));
    ASSERT_EQ(rs.rows.size(), 2u);
    EXPECT_EQ(rs.rows[0][1].asText(), "苏州甲公司");
    EXPECT_EQ(rs.rows[0][2].asText(), "0012345678901234567");  // texts stay texts
    EXPECT_EQ(rs.rows[1][3].asNumber(), 1234.5);
}

TEST(SheetQuery, ChoosesColumnsAndCombinesConditions) {
    auto rs = runSheetQuery(
        parseSheetQuery("SELECT 金额, [收款人户名] FROM [批量打印$] WHERE 金额 > 150 AND 金额 < 2000 OR 序号 = '1';"),
        batchSource());
    ASSERT_EQ(rs.rows.size(), 4u);
    EXPECT_EQ(rs.fields, (std::vector<std::string>{"金额", "收款人户名"}));
    EXPECT_EQ(rs.rows[0][0].asNumber(), 100);  // by 序号 = '1'
    EXPECT_EQ(rs.rows[1][0].asNumber(), 200);
}

TEST(SheetQuery, RefusesOtherQueryFormsWithAClearMessage) {
    for (const char* bad : {"delete from [批量打印$]", "select * from 批量打印",
                            "select * from [批量打印$] where 收款人户名 <> ", "select * from [批量打印$] where 收款人户名 like 'a%'",
                            "select * from [批量打印$] where 收款人户名 <> 'x", "select from [a$]",
                            "select * from [批量打印$] order by 金额", ""}) {
        try {
            parseSheetQuery(bad);
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const HostError& e) {
            EXPECT_NE(std::string(e.what()).find("Query not understood"), std::string::npos) << bad;
        }
    }
}

TEST(SheetQuery, NamesAMissingSheetOrColumn) {
    auto wb = batchSource();
    EXPECT_THROW(runSheetQuery(parseSheetQuery("select * from [其他$]"), wb), HostError);
    wb.sheets[0]->cells.at({3, 3}).value = Value::text("户名");
    try {
        runSheetQuery(parseSheetQuery("select * from [批量打印$] Where 收款人户名 <> ''"), wb);
        ADD_FAILURE();
    } catch (const HostError& e) {
        EXPECT_NE(std::string(e.what()).find("收款人户名"), std::string::npos);
    }
}

TEST(SheetQuery, ReadsTheDataSourceOfAConnectionString) {
    EXPECT_EQ(dataSourceOf("Provider=Microsoft.Jet.OLEDB.4.0;Extended Properties=Excel 8.0;Data Source=/home/a/b.c.xls"),
              "/home/a/b.c.xls");
    EXPECT_EQ(dataSourceOf("data source=x.xlsx;Mode=Read"), "x.xlsx");
    EXPECT_EQ(dataSourceOf("Data Source=\"/a;b/\"\"c\"\".xls\";Mode=Read"), "/a;b/\"c\".xls");
    EXPECT_EQ(dataSourceOf("Data Source='/a;b.xls'"), "/a;b.xls");
    EXPECT_THROW(dataSourceOf("Provider=x;"), HostError);
    EXPECT_THROW(dataSourceOf("Data Source=\"/a;b.xls"), HostError);
}

TEST(SheetQuery, RefusesAResultTooLargeToCopy) {
    // A list of 300 records and one stray cell in the last column: every record would
    // be as wide as the sheet.
    WorkbookModel wb;
    auto sheet = std::make_unique<Sheet>();
    sheet->name = "批量打印";
    sheet->cells.at({1, 1}).value = Value::text("收款人户名");
    sheet->cells.at({1, 16384}).value = Value::text("备注");
    for (int r = 2; r <= 301; ++r) sheet->cells.at({r, 1}).value = Value::text("单位" + std::to_string(r));
    wb.sheets.push_back(std::move(sheet));
    auto query = parseSheetQuery("select * from [批量打印$] Where 收款人户名 <> '' ");
    EXPECT_THROW(runSheetQuery(query, wb), HostError);
    EXPECT_EQ(runSheetQuery(parseSheetQuery("select 收款人户名 from [批量打印$]"), wb).rows.size(), 300u);
}
