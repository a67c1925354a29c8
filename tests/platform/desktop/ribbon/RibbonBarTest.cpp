// The ribbon built from the add-in's markup: the tab before the host's Home tab, its
// two groups and fourteen buttons in order, the screentips as an XML reader gives them,
// and each click reaching the add-in by the button's onAction name.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <sstream>

#include "platform/desktop/ribbon/RibbonBar.h"
#include "platform/desktop/ribbon/RibbonIcons.h"
#include "platform/desktop/ribbon/RibbonMarkup.h"

namespace vorra::desktop {
namespace {

std::string addinMarkup() {
    std::ifstream in(VORRA_RIBBON_MARKUP, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct ExpectedButton {
    const char* id;
    const char* label;
    const char* onAction;
    const char* screentip;
};

// The add-in's buttons as the cashier sees them, written out again.
const ExpectedButton kButtons[] = {
    {"Vorra1", "添加模板", "VorraMB", "【下载、添加套打模板】"},
    {"Vorra2", "填写票据", "TianxiePJ", "【填写票据】"},
    {"Vorra3", "打印票据", "DayinPJ", "【打印票据】"},
    {"Vorra4", "批量打印", "PiliangDy", "【批量打印】"},
    {"Vorra5", "打印记录", "DayinJL", "【打印记录】"},
    {"Vorra6", "修改日期", "XiugaiRQ", "【修改系统日期、网络自动校  时】"},
    {"Vorra7", "纸张大小", "ZZDX", "【“页面设置”：纸张大小、方向设  置】"},
    {"Vorra8", "页边距", "YBJ", "【“页面设置”:页边距】"},
    {"Vorra_A", "网站", "Web", "【网站】"},
    {"Vorra_B", "常见问题", "WenTi", "【Excel支票Quorvan使用中的常见问题】"},
    {"Vorra_C", "使用教程", "help", "【Excel支票Quorvan的使用教程】"},
    {"Vorra_PX", "出纳培训", "Peixun", "【出纳业务知识培训】"},
    {"Vorra_XZ", "视频下载", "Xiazai", "【Excel视频教程下载】"},
    {"Vorra_D", "关于", "About", "【关于】"},
};

// Records the names the ribbon invokes, as a connection would receive them.
class RecordingConnection : public host::AddinConnection {
public:
    void OnConnection(host::Application*, int) override {}
    void OnDisconnection(int) override {}
    void OnAddInsUpdate() override {}
    void OnStartupComplete() override {}
    void OnBeginShutdown() override {}
    std::string GetCustomUI(const std::string&) override { return {}; }
    bool invoke(const std::string& method) override {
        invoked.push_back(method);
        return true;
    }
    std::vector<std::string> methodNames() const override { return {}; }
    std::vector<std::string> invoked;
};

class RibbonBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureIconTheme();
        ribbon.addHostTab("TabHome", QStringLiteral("开始"), new QWidget);
        ribbon.addHostTab("TabInsert", QStringLiteral("插入"), new QWidget);
        ribbon.addCustomTabs(parseRibbonMarkup(addinMarkup()), invokeOn(connection));
    }
    RecordingConnection connection;
    RibbonBar ribbon;
};

TEST(RibbonMarkup, TheAddinMarkupReadsAsOneTabOfTwoGroupsAndFourteenButtons) {
    RibbonDefinition d = parseRibbonMarkup(addinMarkup());
    ASSERT_EQ(d.tabs.size(), 1u);
    const RibbonTab& tab = d.tabs[0];
    EXPECT_EQ(tab.id, "customTab");
    EXPECT_EQ(tab.label, "【支票Quorvan】");
    EXPECT_EQ(tab.insertBeforeMso, "TabHome");
    ASSERT_EQ(tab.groups.size(), 2u);
    EXPECT_EQ(tab.groups[0].id, "Vorra");
    EXPECT_EQ(tab.groups[0].label, "【Excel支票Quorvan V5.1】");
    EXPECT_EQ(tab.groups[1].id, "Vorra_About");
    EXPECT_FALSE(tab.groups[1].label.empty());
    ASSERT_EQ(tab.groups[0].buttons.size(), 8u);
    ASSERT_EQ(tab.groups[1].buttons.size(), 6u);
    size_t i = 0;
    for (const auto& group : tab.groups)
        for (const auto& b : group.buttons) {
            const ExpectedButton& e = kButtons[i++];
            EXPECT_EQ(b.id, e.id);
            EXPECT_EQ(b.label, e.label);
            EXPECT_EQ(b.onAction, e.onAction);
            EXPECT_EQ(b.screentip, e.screentip) << b.id;
            EXPECT_EQ(b.size, "large");
            EXPECT_FALSE(themeIconName(b.imageMso).empty()) << b.imageMso;
        }
}

TEST(RibbonMarkup, EmptyTextGivesNoTabsAndBrokenMarkupIsRefused) {
    EXPECT_TRUE(parseRibbonMarkup("").tabs.empty());
    EXPECT_THROW(parseRibbonMarkup("<customUI><ribbon>"), RibbonMarkupError);
    EXPECT_THROW(parseRibbonMarkup("<menu/>"), RibbonMarkupError);
    // A line break inside an attribute is a blank, also with a carriage return.
    RibbonDefinition d = parseRibbonMarkup(
        "<customUI><ribbon><tabs><tab id='t' label='a\r\nb'/></tabs></ribbon></customUI>");
    ASSERT_EQ(d.tabs.size(), 1u);
    EXPECT_EQ(d.tabs[0].label, "a b");
}

TEST_F(RibbonBarTest, TheAddinTabStandsBeforeTheHomeTab) {
    EXPECT_EQ(ribbon.tabIds(), (std::vector<std::string>{"customTab", "TabHome", "TabInsert"}));
    EXPECT_EQ(ribbon.tabText(0), QStringLiteral("【支票Quorvan】"));
    EXPECT_EQ(ribbon.currentIndex(), 0);
}

TEST_F(RibbonBarTest, GroupsShowTheirLabelsAndLargeButtonsWithLabelsIconsAndScreentips) {
    QWidget* page = ribbon.tabPage("customTab");
    ASSERT_NE(page, nullptr);
    auto labels = page->findChildren<QLabel*>(QStringLiteral("groupLabel"));
    ASSERT_EQ(labels.size(), 2);
    EXPECT_EQ(labels[0]->text(), QStringLiteral("【Excel支票Quorvan V5.1】"));
    auto buttons = page->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 14);
    for (size_t i = 0; i < 14; ++i) {
        QToolButton* b = buttons[static_cast<int>(i)];
        EXPECT_EQ(b->objectName().toStdString(), kButtons[i].id);
        EXPECT_EQ(b->text().toStdString(), kButtons[i].label);
        EXPECT_EQ(b->toolTip().toStdString(), kButtons[i].screentip);
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_FALSE(b->icon().isNull()) << kButtons[i].id;
    }
    // Buttons stand left to right in the order of the markup.
    EXPECT_LT(buttons[0]->mapTo(page, QPoint()).x(), buttons[13]->mapTo(page, QPoint()).x() + 1);
}

TEST_F(RibbonBarTest, EachClickInvokesTheButtonsOnActionName) {
    ribbon.show();
    std::vector<std::string> expected;
    for (const auto& e : kButtons) {
        QTest::mouseClick(ribbon.button(e.id), Qt::LeftButton);
        expected.push_back(e.onAction);
    }
    EXPECT_EQ(connection.invoked, expected);
}

}  // namespace
}  // namespace vorra::desktop
