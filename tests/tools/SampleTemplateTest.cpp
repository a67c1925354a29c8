#include <gtest/gtest.h>

#include "platform/engine/host/EngineHost.h"
#include "tools/sampletemplate/SampleTemplate.h"

using namespace vorra;
using namespace vorra::host;

namespace {

class SampleTemplate : public ::testing::Test {
protected:
    SampleTemplate() : app("16.0") {
        book = app.addWorkbook();
        tools::buildSampleTemplate(*book);
        units = book->sheet("常用单位账号");
    }
    Value at(Worksheet& s, const char* ref) { return s.range(ref).scalar(); }

    engine::EngineApplication app;
    std::shared_ptr<Workbook> book;
    std::shared_ptr<Worksheet> units;
};

}  // namespace

TEST_F(SampleTemplate, SheetsInTabOrderAndTheFillInSheetActive) {
    std::vector<std::string> names;
    for (auto& s : book->worksheets()) {
        names.push_back(s->name());
        EXPECT_EQ(s->visible(), Visibility::Visible);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"常用单位账号", "基本信息", "现金支票", "转账支票",
                                               "进账单", "业务委托书", "现金缴款单", "第六表",
                                               "第七表", "第八表", "第九表", "第十表", "打印记录",
                                               "批量打印"}));
    EXPECT_EQ(app.activeSheet(), units);
}

TEST_F(SampleTemplate, UnitBookHeadingsAndEntries) {
    Variant headings = units->range("C7:K7").value();
    std::vector<std::string> texts;
    for (int c = 1; c <= 9; ++c) texts.push_back(headings.array().at(1, c).asText());
    EXPECT_EQ(texts, (std::vector<std::string>{"序号", "简称", "户名", "账号", "开户行", "省", "县",
                                               "用途序号", "用途"}));
    int last = units->range("E65536").end(Direction::Up).row();
    EXPECT_GE(last, 8 + 9);
    bool leadingZero = false;
    for (int r = 8; r <= last; ++r) {
        Value account = units->cells(r, 6).scalar();
        ASSERT_TRUE(account.isText()) << r;  // column F is text, the digits survive
        EXPECT_EQ(account.asText().size(), 19u) << r;
        leadingZero |= account.asText()[0] == '0';
        EXPECT_EQ(units->cells(r, 3).scalar(), Value::number(r - 7));
        std::string shortName = units->cells(r, 4).scalar().asText();
        EXPECT_FALSE(shortName.empty());
        for (char c : shortName) EXPECT_TRUE(c >= 'A' && c <= 'Z') << shortName;
    }
    EXPECT_TRUE(leadingZero);
    FindOptions o;
    o.what = "中国银行苏州分行";
    o.lookAt = LookAt::Whole;
    EXPECT_TRUE(units->range("E8:E50007").find(o));
    EXPECT_EQ(at(*units, "J8"), Value::text("HK"));
    EXPECT_EQ(at(*units, "K8"), Value::text("货款"));
    EXPECT_GE(units->range("K65536").end(Direction::Up).row(), 10);
}

TEST_F(SampleTemplate, ProtectedWithOnlyTheFillInCellsUnlocked) {
    EXPECT_TRUE(units->isProtected());
    for (const char* open : {"D4", "I4", "D5", "I5", "K3", "K5", "G6", "L6", "G2", "G3"})
        EXPECT_FALSE(units->range(open).locked()) << open;
    for (const char* closed : {"C4", "J4", "K4", "D6", "E8", "K8", "C7", "A1", "M6", "G7"})
        EXPECT_TRUE(units->range(closed).locked()) << closed;
    EXPECT_THROW(units->range("E8").setValue(Value::text("x")), HostError);
    EXPECT_NO_THROW(units->range("E4").setValue(Value::text("南京长江建材公司")));
    EXPECT_THROW(units->unprotect("470519"), HostError);
    units->unprotect("470518");
    EXPECT_FALSE(units->isProtected());
}

TEST_F(SampleTemplate, NamedRangesOverTheUnitBook) {
    auto names = book->names();
    std::map<std::string, std::string> byName(names.begin(), names.end());
    EXPECT_EQ(byName["收款人信息"], "常用单位账号!$E$8:$I$50007");
    EXPECT_EQ(byName["付款人信息"], "常用单位账号!$D$8:$I$50007");
    EXPECT_EQ(byName["收款人户名"], "常用单位账号!$E$8:$E$50007");
    Range payee = book->sheet("现金支票")->range("收款人信息");
    EXPECT_EQ(payee.worksheet().name(), "常用单位账号");
    EXPECT_EQ(payee.columnCount(), 5);
}

TEST_F(SampleTemplate, RecordAndBatchSheets) {
    auto records = book->sheet("打印记录");
    EXPECT_EQ(at(*records, "A2"), Value::text("序号"));
    EXPECT_EQ(at(*records, "O2"), Value::text("支付密码"));
    EXPECT_EQ(records->range("O3").numberFormat(), "@");
    EXPECT_TRUE(at(*records, "A3").isEmpty());
    records->range("A3:B3").setValue(Value::text("1"));  // records stay text
    EXPECT_EQ(at(*records, "A3"), Value::text("1"));
    EXPECT_FALSE(records->isProtected());

    auto batch = book->sheet("批量打印");
    EXPECT_EQ(at(*batch, "D2"), Value::number(1));
    EXPECT_EQ(at(*batch, "B7"), Value::text("收款人户名"));
    EXPECT_EQ(at(*batch, "I7"), Value::text("票据名称"));
    EXPECT_EQ(at(*batch, "N7"), Value::text("县"));
    EXPECT_TRUE(at(*batch, "B8").isEmpty());
    for (int c = 1; c <= 14; ++c) EXPECT_TRUE(batch->cells(5, c).scalar().isEmpty());
}

TEST_F(SampleTemplate, BillSheetsReferToTheFillInCells) {
    auto cheque = book->sheet("转账支票");
    FindOptions o;
    o.what = "=常用单位账号!$K$3";
    o.lookIn = LookIn::Formulas;
    o.lookAt = LookAt::Whole;
    EXPECT_TRUE(cheque->range("A1:B40").find(o));
}

TEST_F(SampleTemplate, ASampleBillFillsTheFillInCellsAndReprotects) {
    tools::writeSampleBill(*book, tools::SampleBill{});
    const auto& payee = tools::sampleUnits()[0];
    EXPECT_EQ(at(*units, "E4"), Value::text(payee.name));
    EXPECT_EQ(at(*units, "F4"), Value::text(payee.account));
    EXPECT_EQ(at(*units, "K3"), Value::number(12345.67));
    EXPECT_EQ(at(*units, "G6"), Value::text("00012345"));
    EXPECT_EQ(at(*units, "L6"), Value::text("1234567890123456"));
    EXPECT_EQ(at(*units, "G2"), Value::number(46363));
    EXPECT_TRUE(units->isProtected());
}
