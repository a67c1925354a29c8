#include <gtest/gtest.h>

#include <string>

#include "addin/frame/Commands.h"
#include "addin/frame/Connect.h"
#include "addin/frame/My_Tool.h"
#include "addin/frame/Public_XlApp.h"

using namespace vorra;

TEST(CommandTable, ListsTheFifteenCommandsInInterfaceOrder) {
    std::vector<std::string> names;
    for (const auto& c : commandTable()) names.emplace_back(c.name);
    EXPECT_EQ(names, (std::vector<std::string>{"VorraMB", "TianxiePJ", "DayinPJ", "KuaijieTX",
                                               "PiliangDY", "DayinJL", "XiugaiRQ", "ZZDX", "YBJ",
                                               "Web", "WenTi", "help", "Peixun", "Xiazai",
                                               "About"}));
}

TEST(CommandTable, ConnectExposesGetRibbonXmlThenTheCallbacks) {
    Connect connect;
    auto names = connect.methodNames();
    ASSERT_EQ(names.size(), 16u);
    EXPECT_EQ(names.front(), "GetRibbonXML");
    EXPECT_EQ(names[5], "PiliangDY");
    EXPECT_EQ(names.back(), "About");
}

TEST(CommandTable, ConnectFindsMethodsIgnoringCaseOnly) {
    Connect connect;
    EXPECT_TRUE(connect.invoke("PiliangDy"));  // the ribbon's spelling
    EXPECT_TRUE(connect.invoke("piliangdy"));
    EXPECT_TRUE(connect.invoke("KUAIJIETX"));
    EXPECT_FALSE(connect.invoke("PiliangD"));
    EXPECT_FALSE(connect.invoke("Piliang DY"));
}

TEST(CommandBarTable, HasFourteenButtonsWithLowerCaseAbout) {
    const auto& table = barButtonTable();
    ASSERT_EQ(table.size(), 14u);
    EXPECT_STREQ(table[0].caption, "添加模板");
    EXPECT_STREQ(table[0].tooltip, "下载、添加套打模板");
    EXPECT_EQ(table[0].faceId, 591);
    EXPECT_STREQ(table[6].tooltip, "“页面设置”：纸张大小、方向设置");
    EXPECT_STREQ(table[13].parameter, "about");
    EXPECT_EQ(table[13].faceId, 59);
    EXPECT_STREQ(table[9].tooltip, "【Excel支票Quorvan使用中的常见问题】");
}

TEST(AboutMessage, HasItsLayoutOfBlanksCarriageReturnsAndLineFeeds) {
    std::string text = aboutText();
    // Lines before the picture are separated by carriage returns, the four lines of
    // the picture by line feeds.
    std::vector<std::string> lines;
    std::string current;
    std::vector<char> separators;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            separators.push_back(c);
            current.clear();
        } else {
            current += c;
        }
    }
    lines.push_back(current);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0].rfind(std::string(10, ' '), 0), 0u);
    EXPECT_NE(lines[0][10], ' ');
    EXPECT_EQ(lines[1].find_first_not_of(' '), std::string::npos);
    EXPECT_FALSE(lines[1].empty());
    EXPECT_EQ(lines[2], std::string(9, ' ') + "专业代做银行票据套打模板");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5].rfind(std::string(7, ' ') + "网站：", 0), 0u);
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7].rfind(std::string(7, ' ') + "邮箱：", 0), 0u);
    EXPECT_EQ(lines[8], "");
    EXPECT_EQ(lines[9], "    ");
    for (size_t i = 0; i < separators.size(); ++i)
        EXPECT_EQ(separators[i], i < 10 ? '\r' : '\n') << "separator " << i;
}

TEST(AddinFolder, EndsInExactlyOneSeparator) {
    EXPECT_EQ(folderOf("/opt/vorra/libvorra.so"), "/opt/vorra/");
    EXPECT_EQ(folderOf("/libvorra.so"), "/");
    EXPECT_EQ(launchMarkerPath(folderOf("/libvorra.so")), "/setting.ini");
    std::string own = addinFolder();
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own.back(), '/');
    EXPECT_NE(own.substr(0, own.size() - 1).back(), '/');
}

TEST(HostVersion, ReadsTheLeadingNumberOfTheVersionText) {
    EXPECT_EQ(leadingNumber("11.0"), 11);
    EXPECT_EQ(leadingNumber("12.0"), 12);
    EXPECT_EQ(leadingNumber("16.0"), 16);
    EXPECT_EQ(leadingNumber(" 14.0 build"), 14);
    EXPECT_EQ(leadingNumber("version 12"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
}
