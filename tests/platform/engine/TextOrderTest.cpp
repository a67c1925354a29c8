// The host's Chinese text order and the pinyin-initial look-up that relies on it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "FormulaFixture.h"
#include "platform/engine/formula/TextOrder.h"

using namespace vorra::engine;
using namespace vorra::engine::testing;
using vorra::engine::formula::TextOrder;

namespace {

const char* const kKeys[] = {"吖", "八", "嚓", "咑", "鵽", "发", "猤", "铪", "夻", "咔", "垃", "嘸",
                             "旀", "噢", "妑", "七", "囕", "仨", "他", "屲", "夕", "丫", "帀"};
const char kLetters[] = "ABCDEFGHJKLMNOPQRSTWXYZ";

// The look-up table exactly as the pinyin-initials function asks the host for it.
const char* const kTableFormula =
    "{\"吖\",\"A\";\"八\",\"B\";\"嚓\",\"C\";\"咑\",\"D\";\"鵽\",\"E\";\"发\",\"F\";\"猤\",\"G\";"
    "\"铪\",\"H\";\"夻\",\"J\";\"咔\",\"K\";\"垃\",\"L\";\"嘸\",\"M\";\"旀\",\"N\";\"噢\",\"O\";"
    "\"妑\",\"P\";\"七\",\"Q\";\"囕\",\"R\";\"仨\",\"S\";\"他\",\"T\";\"屲\",\"W\";\"夕\",\"X\";"
    "\"丫\",\"Y\";\"帀\",\"Z\"}";

// Splits UTF-8 text into characters.
std::vector<std::string> characters(const std::string& s) {
    std::vector<std::string> out;
    for (size_t i = 0; i < s.size();) {
        size_t n = 1;
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0xF0) n = 4;
        else if (c >= 0xE0) n = 3;
        else if (c >= 0xC0) n = 2;
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

class PinyinInitials : public FormulaBook {
protected:
    PinyinInitials() { table = engine->evaluate(kTableFormula, 0).array(); }

    // What the pinyin-initials look-up does per character: approximate VLOOKUP in
    // the table, failures skipped.
    std::string initials(const std::string& text) {
        std::string out;
        for (const auto& ch : characters(text)) {
            if (ch == " ") continue;
            Value v = engine->vlookup(txt(ch), table, 2, std::nullopt);
            if (v.isText()) out += v.asText();
        }
        return out;
    }

    vorra::host::Array2D table;
};

}  // namespace

TEST(TextOrder, TheKeysStandStrictlyIncreasing) {
    const TextOrder& order = TextOrder::chinese();
    for (size_t i = 0; i + 1 < std::size(kKeys); ++i)
        EXPECT_LT(order.compare(kKeys[i], kKeys[i + 1]), 0) << kKeys[i] << " " << kKeys[i + 1];
}

TEST(TextOrder, PunctuationDigitsAndLatinComeBeforeHan) {
    const TextOrder& order = TextOrder::chinese();
    EXPECT_LT(order.compare(",", "1"), 0);
    EXPECT_LT(order.compare("1", "A"), 0);
    EXPECT_LT(order.compare("Z", "吖"), 0);
    EXPECT_LT(order.compare("ABC公司", "吖"), 0);
    EXPECT_EQ(order.compare("abc", "ABC"), 0);  // case ignored
    EXPECT_LT(order.compare("李", "张"), 0);     // pinyin: li before zhang
    EXPECT_LT(order.compare("张三", "张四"), 0);  // san before si
    EXPECT_TRUE(TextOrder::equalIgnoringCase("Straße", "STRAßE"));
    EXPECT_FALSE(TextOrder::equalIgnoringCase("ab", "abc"));
    EXPECT_EQ(order.compare("\xff\xfe", "\xff\xfe"), 0);  // malformed text stays defined
}

TEST(TextOrder, EachKeyStartsItsLetter) {
    // The last characters before each key belong to the letter before.
    const TextOrder& order = TextOrder::chinese();
    const char* lastOfPrevious[] = {"簿", "错", "堕", "贰", "咐", "过", "祸", "骏", "阔", "络", "穆",
                                    "诺", "沤", "瀑", "群", "弱", "所", "唾", "误", "迅", "孕"};
    for (size_t i = 0; i < std::size(lastOfPrevious); ++i)
        EXPECT_LT(order.compare(lastOfPrevious[i], kKeys[i + 2]), 0) << lastOfPrevious[i];
    EXPECT_LT(order.compare("吖", "啊"), 0);
    EXPECT_LT(order.compare("嘸", "妈"), 0);
    EXPECT_LT(order.compare("鵽", "俄"), 0);
    EXPECT_LT(order.compare("多", "鵽"), 0);
}

TEST_F(PinyinInitials, NamesGetTheirInitialsAndLatinIsSkipped) {
    EXPECT_EQ(initials("张三"), "ZS");
    EXPECT_EQ(initials(" 张 三 "), "ZS");
    EXPECT_EQ(initials("ABC公司"), "GS");
    EXPECT_EQ(initials("中国农业"), "ZGNY");
    EXPECT_EQ(initials("北京分公司"), "BJFGS");
    EXPECT_EQ(initials("鼯"), "W");  // a level-2 character
    EXPECT_EQ(engine->vlookup(txt("A"), table, 2, std::nullopt), err(vorra::host::ErrorValue::NA));
    for (size_t i = 0; i < std::size(kKeys); ++i) EXPECT_EQ(initials(kKeys[i]), std::string(1, kLetters[i]));
}

// The table under tests/…/data lists the 3,755 GB2312 level-1 characters with the
// first letters of their readings (derived from a pinyin dictionary, see the
// script beside it).
TEST_F(PinyinInitials, AtLeast99PercentOfLevelOneCharactersGetTheInitialOfAReading) {
    std::ifstream in(std::string(VORRA_SOURCE_DIR) + "/tests/platform/engine/data/gb2312_level1_initials.txt");
    ASSERT_TRUE(in) << "reading table missing";
    std::string line;
    int total = 0, right = 0;
    std::string wrong;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        auto space = line.find(' ');
        std::string ch = line.substr(0, space), letters = line.substr(space + 1);
        std::string got = initials(ch);
        ++total;
        if (got.size() == 1 && letters.find(char(got[0] + 32)) != std::string::npos) ++right;
        else wrong += ch + "→" + got + " ";
    }
    EXPECT_EQ(total, 3755);
    EXPECT_GE(right * 100, total * 99) << right << "/" << total << ": " << wrong;
}
