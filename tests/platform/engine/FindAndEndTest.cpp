#include "EngineFixture.h"
#include "platform/engine/host/TextMatch.h"

using namespace vorra;
using namespace vorra::host;
using vorra::engine::testing::EngineTest;

namespace {

class FindAndEnd : public EngineTest {
protected:
    FindAndEnd() {
        put("E7", text("户名"));
        put("E8", text("中国银行苏州分行"));
        put("E9", text("苏州工业园区建设公司"));
        put("E20", text("中国银行南京分行"));
        put("F8", text("6222021234567890123"));
    }
    std::optional<int> findRow(const std::string& what, FindOptions o = {}) {
        o.what = what;
        auto r = sheet->range("E8:E50007").find(o);
        return r ? std::optional<int>(r->row()) : std::nullopt;
    }
};

}  // namespace

TEST_F(FindAndEnd, AMatchInTheFirstCellComesLastAndFindNextWraps) {
    Range books = sheet->range("E8:E50007");
    FindOptions o;
    o.what = "中国银行";
    o.lookIn = LookIn::Values;
    o.lookAt = LookAt::Part;
    auto first = books.find(o);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->address(), "$E$20");
    auto second = books.findNext(*first);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->address(), "$E$8");
    auto third = books.findNext(*second);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->address(), "$E$20");  // back at the first address: the caller stops
}

TEST_F(FindAndEnd, NothingWhenAbsentOrNoSearchYet) {
    EXPECT_FALSE(sheet->range("A1:B2").findNext(sheet->range("A1")));
    EXPECT_FALSE(findRow("农业银行"));
    EXPECT_FALSE(findRow(""));
    EXPECT_FALSE(findRow("户名"));  // E7 lies outside the range
}

TEST_F(FindAndEnd, PartWholeAndCase) {
    put("E30", text("Bank of Suzhou"));
    FindOptions whole;
    whole.lookAt = LookAt::Whole;
    EXPECT_FALSE(findRow("中国银行", whole));
    EXPECT_EQ(findRow("中国银行南京分行", whole), 20);
    EXPECT_EQ(findRow("bank OF", {}), 30);
    FindOptions exactCase;
    exactCase.matchCase = true;
    EXPECT_FALSE(findRow("bank OF", exactCase));
    EXPECT_EQ(findRow("Bank of", exactCase), 30);
    put("E31", text("ＡＢＣ全角"));
    EXPECT_EQ(findRow("ａｂｃ"), 31);
    put("E32", text("ÄRZTE"));
    EXPECT_EQ(findRow("ärzte"), 32);
}

TEST_F(FindAndEnd, WildcardsInWhatAsTheHostReadsThem) {
    put("E40", text("价格*折扣"));
    FindOptions whole;
    whole.lookAt = LookAt::Whole;
    EXPECT_EQ(findRow("中国*南京?行", whole), 20);
    EXPECT_EQ(findRow("苏州*公司", whole), 9);
    EXPECT_EQ(findRow("价格~*折扣", whole), 40);
    EXPECT_FALSE(findRow("价格~*", whole));
    EXPECT_EQ(findRow("南?分"), 20);
}

TEST_F(FindAndEnd, BackwardsFromTheFirstCellStartsAtTheEnd) {
    put("M3", text("转账支票"));
    put("M4", text("现金支票"));
    put("M5", text("转账支票"));
    FindOptions o;
    o.what = "转账支票";
    o.lookAt = LookAt::Whole;
    o.direction = SearchDirection::Previous;
    auto last = sheet->columns(13).find(o);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->row(), 5);
    o.after = CellRef{5, 13};
    EXPECT_EQ(sheet->columns(13).find(o)->row(), 3);
}

TEST_F(FindAndEnd, SearchOrderByRowsOrByColumns) {
    put("B1", text("x"));
    put("A2", text("x"));
    Range block = sheet->range("A1:B2");
    FindOptions o;
    o.what = "x";
    EXPECT_EQ(block.find(o)->address(), "$B$1");
    o.order = SearchOrder::ByColumns;
    EXPECT_EQ(block.find(o)->address(), "$A$2");
    o.after = CellRef{5, 5};
    EXPECT_THROW(block.find(o), HostError);
}

TEST_F(FindAndEnd, LookInValuesSeesDisplayedTextAndFormulasTheFormula) {
    put("E50", number(6222021234.0));  // General shows all ten digits
    put("E51", text("=E50"));
    FindOptions values;
    values.lookIn = LookIn::Values;
    EXPECT_EQ(findRow("62220212", values), 50);
    EXPECT_FALSE(findRow("=E5", values));
    FindOptions formulas;
    formulas.lookIn = LookIn::Formulas;
    EXPECT_EQ(findRow("=E5", formulas), 51);
}

TEST_F(FindAndEnd, EndUpPassesGapsAndStopsAtRowOne) {
    put("E15", text("x"));
    EXPECT_EQ(sheet->range("E65536").end(Direction::Up).row(), 20);
    EXPECT_EQ(sheet->range("E20").end(Direction::Up).row(), 15);   // empty above: next filled
    EXPECT_EQ(sheet->range("E15").end(Direction::Up).row(), 9);
    EXPECT_EQ(sheet->range("E9").end(Direction::Up).row(), 7);     // end of the block E7:E9
    EXPECT_EQ(sheet->range("E7").end(Direction::Up).row(), 1);
    EXPECT_EQ(sheet->range("E1").end(Direction::Up).row(), 1);
    EXPECT_EQ(sheet->range("Z65536").end(Direction::Up).row(), 1);
    EXPECT_EQ(sheet->range("E12").end(Direction::Up).row(), 9);    // from an empty cell
}

TEST_F(FindAndEnd, EndInTheOtherDirections) {
    EXPECT_EQ(sheet->range("E7").end(Direction::Down).row(), 9);
    EXPECT_EQ(sheet->range("E9").end(Direction::Down).row(), 20);
    EXPECT_EQ(sheet->range("E20").end(Direction::Down).row(), kMaxRows);
    put("G8", text("y"));
    EXPECT_EQ(sheet->range("A8").end(Direction::ToRight).column(), 5);
    EXPECT_EQ(sheet->range("E8").end(Direction::ToRight).column(), 7);  // block E8:G8
    put("I8", text("z"));
    EXPECT_EQ(sheet->range("G8").end(Direction::ToRight).column(), 9);
    sheet->range("I8").clearContents();
    EXPECT_EQ(sheet->range("G8").end(Direction::ToRight).column(), kMaxColumns);
    EXPECT_EQ(sheet->range("G8").end(Direction::ToLeft).column(), 5);
    EXPECT_EQ(sheet->range("E8").end(Direction::ToLeft).column(), 1);
    // A cell that only carries a format counts as empty.
    sheet->range("E21:E30").setNumberFormat("@");
    EXPECT_EQ(sheet->range("E30").end(Direction::Up).row(), 20);
}

TEST(TextMatcher, HostileTextsAndPatternsDoNotBreakMatching) {
    using vorra::engine::TextMatcher;
    TextMatcher star(std::string(40, '*') + "b", true, false);
    EXPECT_FALSE(star.matches(std::string(5000, 'a')));
    EXPECT_TRUE(star.matches(std::string(5000, 'a') + "B"));
    TextMatcher tilde("~", false, false);  // a lone tilde stands for itself
    EXPECT_TRUE(tilde.matches("a~b"));
    TextMatcher broken("\xE4\xB8", false, false);  // a cut-off character
    EXPECT_TRUE(broken.matches("x\xE4\xB8"));
    EXPECT_FALSE(broken.matches("\xFF\xFE"));
    TextMatcher question("?", true, false);
    EXPECT_TRUE(question.matches("字"));  // one character, not one byte
    EXPECT_FALSE(question.matches("字字"));
}
