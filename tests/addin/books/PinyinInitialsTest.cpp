#include <gtest/gtest.h>

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
