// The pipeline's stages on their own: lexer, value rules, wildcard matching and the
// dependency tracker.
#include <gtest/gtest.h>

#include "FormulaFixture.h"
#include "platform/engine/formula/Criteria.h"
#include "platform/engine/formula/DependencyTracker.h"
#include "platform/engine/formula/Lexer.h"
#include "platform/engine/formula/ValueRules.h"

using namespace vorra::engine;
using namespace vorra::engine::formula;
using vorra::engine::testing::err;
using vorra::engine::testing::num;
using vorra::engine::testing::txt;

TEST(Lexer, SplitsFormulaTextIntoTokensWithPositions) {
    auto t = tokenize("'单位''账号'!E4 >= \"a\"\"b\" & #n/a");
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[0].kind, TokenKind::Reference);  // the qualified reference is one token
    EXPECT_EQ(t[0].ref.sheet, "单位'账号");
    EXPECT_EQ(t[0].ref.area(), Area::cell(4, 5));
    EXPECT_EQ(t[0].position, 0u);
    EXPECT_EQ(t[0].length, 19u);  // bytes: the quoted name takes 16, then "!" and "E4"
    EXPECT_EQ(t[1].text, ">=");
    EXPECT_TRUE(t[1].spaceBefore);
    EXPECT_EQ(t[2].kind, TokenKind::Text);
    EXPECT_EQ(t[2].text, "a\"b");
    EXPECT_EQ(t[3].text, "&");
    EXPECT_EQ(t[4].kind, TokenKind::Error);
    EXPECT_EQ(t[4].text, "#N/A");
    EXPECT_EQ(t[5].kind, TokenKind::End);
}

TEST(Lexer, ReferencesNamesAndFunctionsAreToldApart) {
    auto t = tokenize("SUM(A:A,$1:$3)+LOG10(x)+A1:INDEX(B:B,2)+TAXES2020+[1]Sheet1!A1+Sheet2!Rate");
    auto kinds = [&] {
        std::vector<TokenKind> k;
        for (const auto& token : t) k.push_back(token.kind);
        return k;
    }();
    using K = TokenKind;
    EXPECT_EQ(kinds, (std::vector<K>{K::Word, K::Open, K::Reference, K::Comma, K::Reference, K::Close, K::Operator,
                                     K::Word, K::Open, K::Word, K::Close, K::Operator, K::Reference, K::Colon,
                                     K::Word, K::Open, K::Reference, K::Comma, K::Number, K::Close, K::Operator,
                                     K::Word, K::Operator, K::Reference, K::Operator, K::Word, K::End}));
    EXPECT_EQ(t[2].ref.form, vorra::host::RefForm::Columns);
    EXPECT_TRUE(t[4].ref.first.rowAbsolute);
    EXPECT_EQ(t[23].ref.book, "1");
    EXPECT_EQ(t[25].ref.sheet, "Sheet2");  // a name qualified by its sheet
    EXPECT_THROW(tokenize("A1:A1048577"), FormulaSyntaxError);  // an area past the sheet's end
}

TEST(Lexer, NumbersWithExponentsAndMalformedNumbers) {
    auto t = tokenize("1.5e-3+2E+2+3e");
    EXPECT_DOUBLE_EQ(t[0].number, 0.0015);
    EXPECT_DOUBLE_EQ(t[2].number, 200);
    EXPECT_DOUBLE_EQ(t[4].number, 3);       // "3" then the word "e"
    EXPECT_EQ(t[5].kind, TokenKind::Word);
    EXPECT_THROW(tokenize("1.2.3"), FormulaSyntaxError);
    EXPECT_THROW(tokenize("'sheet"), FormulaSyntaxError);
    EXPECT_THROW(tokenize("a`b"), FormulaSyntaxError);
}

namespace {
// An evaluation context on an empty workbook, calculated on 2026-12-07.
struct Context {
    WorkbookModel model;
    EvalContext ctx{model, TextOrder::chinese(), 46363, Position{}};
};
}  // namespace

TEST(ValueRules, NumbersTypedAsText) {
    Context c;
    auto parseNumberText = [&](std::string_view s) { return formula::parseNumberText(s, c.ctx); };
    EXPECT_EQ(parseNumberText(" 12 "), 12);
    EXPECT_EQ(parseNumberText("-1,234.5"), -1234.5);
    EXPECT_EQ(parseNumberText("1e3"), 1000);
    EXPECT_EQ(parseNumberText("25%"), 0.25);
    EXPECT_EQ(parseNumberText("2026/12/7"), 46363);
    EXPECT_EQ(parseNumberText("2026-12-07 12:00"), 46363.5);
    EXPECT_EQ(parseNumberText("6:30"), 0.2708333333333333);
    EXPECT_FALSE(parseNumberText(""));
    EXPECT_FALSE(parseNumberText("-"));
    EXPECT_FALSE(parseNumberText(",5"));
    EXPECT_FALSE(parseNumberText("1,"));
    EXPECT_FALSE(parseNumberText("2026-02-30"));  // no such day
    EXPECT_FALSE(parseNumberText("12:60"));
    EXPECT_FALSE(parseNumberText("0x10"));
    EXPECT_FALSE(parseNumberText("1e999"));
    EXPECT_FALSE(parseNumberText(std::string(1000, '1')));
}

TEST(ValueRules, ConversionsAndLookupOrder) {
    const TextOrder& order = TextOrder::chinese();
    Context c;
    EXPECT_EQ(toNumber(Value(), c.ctx), num(0));
    EXPECT_EQ(toNumber(txt("x"), c.ctx), err(vorra::host::ErrorValue::Value));
    EXPECT_EQ(toText(Value::boolean(false)), "FALSE");
    EXPECT_EQ(toText(num(1e20)), "1E+20");
    EXPECT_EQ(toBoolean(txt("true")), Value::boolean(true));
    EXPECT_EQ(toBoolean(txt("yes")), err(vorra::host::ErrorValue::Value));
    EXPECT_LT(compareForLookup(num(1e9), txt("0"), order), 0);
    EXPECT_LT(compareForLookup(txt("zzz"), Value::boolean(false), order), 0);
    EXPECT_EQ(compareForLookup(txt("Abc"), txt("aBC"), order), 0);
    EXPECT_TRUE(equalForLookup(txt("ABC"), txt("abc")));
    EXPECT_FALSE(equalForLookup(num(1), txt("1")));
}

TEST(Wildcards, MatchRunsSingleCharactersAndEscapes) {
    EXPECT_TRUE(wildcardMatch("*银行*", "中国工商银行北京分行"));
    EXPECT_TRUE(wildcardMatch("中?工商*", "中国工商银行"));  // ? is one character, not one byte
    EXPECT_FALSE(wildcardMatch("中?工商", "中国国工商"));
    EXPECT_TRUE(wildcardMatch("*a*b*c", "xxaxxbxxc"));
    EXPECT_FALSE(wildcardMatch("*a*b*c", "xxaxxcxxb"));
    EXPECT_TRUE(wildcardMatch("A~*", "a*"));
    EXPECT_FALSE(wildcardMatch("A~*", "ab"));
    EXPECT_TRUE(wildcardMatch("~~", "~"));
    EXPECT_TRUE(wildcardMatch("a~", "a~"));  // a trailing ~ is itself
    EXPECT_TRUE(wildcardMatch("", ""));
    EXPECT_FALSE(wildcardMatch("", "a"));
    EXPECT_TRUE(wildcardMatch("***", ""));
    // Long patterns against long texts stay fast (no exponential backtracking).
    std::string text(5000, 'a'), pattern;
    for (int i = 0; i < 100; ++i) pattern += "*a";
    EXPECT_FALSE(wildcardMatch(pattern + "b", text));
}

TEST(Wildcards, OneCompiledPatternServesManyTextsInTurn) {
    WildcardPattern p("ACCT~*?-*");
    const std::pair<const char*, bool> texts[] = {
        {"acct*1-", true}, {"Acct*12-", false}, {"ACCT*9-银行", true}, {"acct?1-", false}, {"acct*1-x", true}};
    for (int round = 0; round < 2; ++round)
        for (const auto& [text, expected] : texts) {
            EXPECT_EQ(p.matches(text), expected) << text;
            EXPECT_EQ(wildcardMatch("ACCT~*?-*", text), expected) << text;
        }
}

TEST(DependencyTracker, OrdersDirtyCellsAfterThePrecedentsTheyRead) {
    DependencyTracker t;
    CellKey a1 = cellKey(0, 1, 1), b1 = cellKey(0, 1, 2), c1 = cellKey(0, 1, 3), d9 = cellKey(1, 9, 4);
    t.set(c1, {{0, Area::cell(1, 2)}}, false);          // C1 reads B1
    t.set(b1, {{0, Area::cell(1, 1)}}, false);          // B1 reads A1
    t.set(d9, {{0, Area{1, 1, 100, 1}}}, false);        // D9 on the 2nd sheet reads A1:A100
    auto plan = t.planAfterChange({{0, Area::cell(1, 1)}});
    ASSERT_EQ(plan.order.size(), 3u);
    auto pos = [&](CellKey k) { return std::find(plan.order.begin(), plan.order.end(), k) - plan.order.begin(); };
    EXPECT_LT(pos(b1), pos(c1));
    EXPECT_TRUE(plan.circular.empty());
    EXPECT_EQ(t.planAfterChange({{0, Area::cell(5, 5)}}).order.size(), 0u);
    EXPECT_EQ(t.planAfterChange({{1, Area::cell(1, 1)}}).order.size(), 0u);  // another sheet
    t.remove(b1);
    plan = t.planAfterChange({{0, Area::cell(1, 1)}});
    EXPECT_EQ(plan.order, std::vector<CellKey>{d9});
    (void)a1;
}

TEST(DependencyTracker, ReportsCyclesAndKeepsVolatileCellsDirty) {
    DependencyTracker t;
    CellKey a1 = cellKey(0, 1, 1), a2 = cellKey(0, 2, 1), a3 = cellKey(0, 3, 1), z = cellKey(0, 50, 26);
    t.set(a1, {{0, Area::cell(2, 1)}}, false);
    t.set(a2, {{0, Area::cell(1, 1)}}, false);
    t.set(a3, {{0, Area::cell(2, 1)}}, false);  // reads the cycle, is not on it
    t.set(z, {}, true);
    auto plan = t.planAll();
    EXPECT_EQ(plan.order.size(), 4u);
    EXPECT_EQ(plan.circular, (std::unordered_set<CellKey>{a1, a2}));
    plan = t.planAfterChange({{0, Area::cell(99, 99)}});
    EXPECT_EQ(plan.order, std::vector<CellKey>{z});
    // Wide, tall and whole-column areas are found as well.
    t.set(cellKey(0, 1, 30), {{0, Area{1, 1, 1, 200}}}, false);
    t.set(cellKey(0, 2, 30), {{0, Area{1, 5, vorra::host::kMaxRows, 5}}}, false);
    t.set(cellKey(0, 3, 30), {{0, Area{2000, 7, 9000, 7}}}, false);
    EXPECT_EQ(t.planAfterChange({{0, Area::cell(1, 150)}}).order.size(), 2u);      // + volatile
    EXPECT_EQ(t.planAfterChange({{0, Area::cell(1000000, 5)}}).order.size(), 2u);
    EXPECT_EQ(t.planAfterChange({{0, Area::cell(8500, 7)}}).order.size(), 2u);
    EXPECT_EQ(t.planAfterChange({{0, Area::cell(9500, 7)}}).order.size(), 1u);
    EXPECT_EQ(t.planAfterChange({{0, Area{1, 1, vorra::host::kMaxRows, vorra::host::kMaxColumns}}}).order.size(), 7u);
}

TEST(DependencyTracker, KeysInAnAreaAreFoundAlikeInVectorsAndMapsNarrowOrWide) {
    std::vector<CellKey> keys = {cellKey(0, 5, 300), cellKey(1, 1, 1),   cellKey(1, 2, 1),
                                 cellKey(1, 9, 2),   cellKey(1, 3, 257), cellKey(1, 4, 400),
                                 cellKey(2, 2, 1)};
    std::sort(keys.begin(), keys.end());
    std::map<CellKey, int> byKey;
    for (CellKey k : keys) byKey[k] = 0;
    auto found = [&](const auto& container, int sheet, Area a) {
        std::vector<CellKey> out;
        forEachKeyIn(container, RangeRef{sheet, a}, [&](CellKey k) { out.push_back(k); });
        EXPECT_EQ(out, [&] {
            std::vector<CellKey> fromMap;
            forEachKeyIn(byKey, RangeRef{sheet, a}, [&](CellKey k) { fromMap.push_back(k); });
            return fromMap;
        }());
        return out;
    };
    // Narrow: one search per column; rows outside and other sheets stay out.
    EXPECT_EQ(found(keys, 1, Area{2, 1, 9, 2}), (std::vector<CellKey>{cellKey(1, 2, 1), cellKey(1, 9, 2)}));
    // Just over the column limit: the sheet-wide pass gives the same answer.
    EXPECT_EQ(found(keys, 1, Area{1, 1, 3, 1 + kColumnScanLimit}),
              (std::vector<CellKey>{cellKey(1, 1, 1), cellKey(1, 2, 1), cellKey(1, 3, 257)}));
    EXPECT_EQ(found(keys, 1, Area{1, 1, 3, kColumnScanLimit}),
              (std::vector<CellKey>{cellKey(1, 1, 1), cellKey(1, 2, 1)}));
    EXPECT_TRUE(found(keys, 3, Area{1, 1, vorra::host::kMaxRows, vorra::host::kMaxColumns}).empty());
}
