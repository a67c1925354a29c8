#include <gtest/gtest.h>

#include "BookFixture.h"
#include "addin/books/PinyinInitials.h"

using vorra::GetHzjp;

TEST(GetHzjp, GivesLowerCaseInitialsByCodePageRange) {
    EXPECT_EQ(GetHzjp("张三"), "zs");
    EXPECT_EQ(GetHzjp("工商银行"), "gsyx");  // 行 lies in the x range of the code page
    EXPECT_EQ(GetHzjp("中国银行苏州分行"), "zgyxszfx");
    EXPECT_EQ(GetHzjp("学"), "x");
    EXPECT_EQ(GetHzjp("啊澳芭"), "aab");  // first and last of a, first of b
    EXPECT_EQ(GetHzjp("匝座"), "zz");
}

TEST(GetHzjp, CopiesAsciiAndFoldsFullWidthForms) {
    EXPECT_EQ(GetHzjp("ABC公司"), "abcgs");
    EXPECT_EQ(GetHzjp("Ａ１，"), "a1,");
    EXPECT_EQ(GetHzjp("北京 分行"), "bj fx");
    EXPECT_EQ(GetHzjp(""), "");
}

TEST(GetHzjp, GivesNothingForSymbolsAndAQuestionMarkOutsideTheCodePage) {
    EXPECT_EQ(GetHzjp("、"), "");
    EXPECT_EQ(GetHzjp("。"), "");
    EXPECT_EQ(GetHzjp("한"), "?");
    EXPECT_EQ(GetHzjp("€"), "");  // a single-byte code above 0x7F
}

TEST(GetHzjp, LevelTwoCharactersUpToTheEndOfTheZRangeGiveZ) {
    EXPECT_EQ(GetHzjp("鼯"), "z");  // 0xF7F9, the last code of the z range
}

TEST(Utf8Characters, SplitsMultibyteTextAndKeepsBrokenBytesApart) {
    auto chars = vorra::utf8Characters("a张\xE5\x8C");
    ASSERT_EQ(chars.size(), 4u);
    EXPECT_EQ(chars[1], "张");
}

// ---- Initials through the host's key-table look-up, on the embedded engine. ----------

namespace vorra::testing {
namespace {

// The look-up needs the engine's array constants and its Chinese text order.
class HostLookup : public BookFixture {};

TEST_F(HostLookup, GivesUpperCaseInitialsInChineseTextOrder) {
    EXPECT_EQ(GetHzjpLookup("张三"), "ZS");
    EXPECT_EQ(GetHzjpLookup("工商"), "GS");
    EXPECT_EQ(GetHzjpLookup("北京苏州"), "BJSZ");
}

TEST_F(HostLookup, SkipsWhatSortsBeforeTheFirstKeyAndTheBlanks) {
    EXPECT_EQ(GetHzjpLookup("ABC公司"), "GS");
    EXPECT_EQ(GetHzjpLookup(" 张 三 "), "ZS");
    EXPECT_EQ(GetHzjpLookup("123"), "");
    EXPECT_EQ(GetHzjpLookup("   "), "");
    EXPECT_EQ(GetHzjpLookup(""), "");
}

TEST_F(HostLookup, OneLookupForManyTextsGivesWhatEachCallGives) {
    HostInitialsLookup lookup(app);
    for (const char* text : {"张三", "三张", "张三丰", "ABC公司"})
        EXPECT_EQ(lookup.initials(text), GetHzjpLookup(text)) << text;
}

}  // namespace
}  // namespace vorra::testing
