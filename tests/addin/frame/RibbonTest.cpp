#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>
#include <vector>

#include "addin/resources/RibbonDefinition.h"

namespace {

struct ExpectedButton {
    const char* id;
    const char* label;
    const char* onAction;
    const char* imageMso;
    const char* screentip;  // as a markup reader shows it
};

const std::vector<ExpectedButton> kMainGroup{
    {"Vorra1", "添加模板", "VorraMB", "CreateReportFromWizard", "【下载、添加套打模板】"},
    {"Vorra2", "填写票据", "TianxiePJ", "ReviewAcceptChange", "【填写票据】"},
    {"Vorra3", "打印票据", "DayinPJ", "FileInternetFax", "【打印票据】"},
    {"Vorra4", "批量打印", "PiliangDy", "PrintAreaMenu", "【批量打印】"},
    {"Vorra5", "打印记录", "DayinJL", "PageSetupPageDialog", "【打印记录】"},
    {"Vorra6", "修改日期", "XiugaiRQ", "SlideShowRehearseTimings", "【修改系统日期、网络自动校  时】"},
    {"Vorra7", "纸张大小", "ZZDX", "PageOrientationPortrait", "【“页面设置”：纸张大小、方向设  置】"},
    {"Vorra8", "页边距", "YBJ", "ZoomFitToWindow", "【“页面设置”:页边距】"},
};

const std::vector<ExpectedButton> kAboutGroup{
    {"Vorra_A", "网站", "Web", "BlogHomePage", "【网站】"},
    {"Vorra_B", "常见问题", "WenTi", "WorkflowPending", "【Excel支票Quorvan使用中的常见问题】"},
    {"Vorra_C", "使用教程", "help", "ContentsAndIndex", "【Excel支票Quorvan的使用教程】"},
    {"Vorra_PX", "出纳培训", "Peixun", "MeetingsWorkspace", "【出纳业务知识培训】"},
    {"Vorra_XZ", "视频下载", "Xiazai", "MoveToFolder", "【Excel视频教程下载】"},
    {"Vorra_D", "关于", "About", "HappyFace", "【关于】"},
};

void expectButtons(const pugi::xml_node& group, const std::vector<ExpectedButton>& expected) {
    std::vector<pugi::xml_node> buttons;
    for (auto b : group.children()) {
        ASSERT_STREQ(b.name(), "button");
        buttons.push_back(b);
    }
    ASSERT_EQ(buttons.size(), expected.size());
    for (size_t i = 0; i < buttons.size(); ++i) {
        const auto& b = buttons[i];
        const auto& e = expected[i];
        EXPECT_STREQ(b.attribute("id").value(), e.id);
        EXPECT_STREQ(b.attribute("label").value(), e.label) << e.id;
        EXPECT_STREQ(b.attribute("onAction").value(), e.onAction) << e.id;
        EXPECT_STREQ(b.attribute("imageMso").value(), e.imageMso) << e.id;
        EXPECT_STREQ(b.attribute("size").value(), "large") << e.id;
        EXPECT_STREQ(b.attribute("screentip").value(), e.screentip) << e.id;
        size_t attributes = 0;
        for (auto a = b.first_attribute(); a; a = a.next_attribute()) ++attributes;
        EXPECT_EQ(attributes, 6u) << "no other attributes or callbacks on " << e.id;
    }
}

}  // namespace

TEST(RibbonDefinition, HasTheTabGroupsAndButtonsAttributeByAttribute) {
    pugi::xml_document doc;
    // parse_wnorm_attribute: a markup reader turns line breaks inside an attribute
    // into blanks, which is what the host shows as hover text.
    auto text = vorra::ribbonDefinition();
    ASSERT_TRUE(doc.load_buffer(text.data(), text.size(),
                                pugi::parse_default | pugi::parse_wconv_attribute));
    auto root = doc.document_element();
    EXPECT_STREQ(root.name(), "customUI");
    EXPECT_STREQ(root.attribute("xmlns").value(),
                 "http://schemas.microsoft.com/office/2006/01/customui");
    auto tab = root.child("ribbon").child("tabs").child("tab");
    EXPECT_STREQ(tab.attribute("id").value(), "customTab");
    EXPECT_STREQ(tab.attribute("label").value(), "【支票Quorvan】");
    EXPECT_STREQ(tab.attribute("insertBeforeMso").value(), "TabHome");
    auto first = tab.child("group");
    auto second = first.next_sibling("group");
    EXPECT_STREQ(first.attribute("id").value(), "Vorra");
    EXPECT_STREQ(first.attribute("label").value(), "【Excel支票Quorvan V5.1】");
    EXPECT_STREQ(second.attribute("id").value(), "Vorra_About");
    EXPECT_STRNE(second.attribute("label").value(), "");
    EXPECT_FALSE(second.next_sibling("group"));
    expectButtons(first, kMainGroup);
    expectButtons(second, kAboutGroup);
}

TEST(RibbonDefinition, StoresTwoLineBreaksBeforeTheLastCharacterOfTwoScreentips) {
    std::string text(vorra::ribbonDefinition());
    EXPECT_NE(text.find("网络自动校\n\n时】"), std::string::npos);
    EXPECT_NE(text.find("方向设\n\n置】"), std::string::npos);
    EXPECT_NE(text.find("“页面设置”：纸张"), std::string::npos) << "full-width colon";
    EXPECT_NE(text.find("“页面设置”:页边距"), std::string::npos) << "ASCII colon";
}
