// The host's command bars as toolbars, for hosts without a ribbon.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "platform/desktop/ribbon/CommandBarToolbars.h"

namespace vorra::desktop {
namespace {

TEST(CommandBarToolbars, VisibleBarsBecomeToolbarsWhoseButtonsClickTheModel) {
    host::CommandBars bars;
    host::CommandBar& bar = bars.add("【Excel支票Quorvan】：");
    bar.visible = true;
    bar.position = host::bar::kPositionTop;
    bar.protection = host::bar::kNoMove;
    std::vector<std::string> clicked;
    for (const char* parameter : {"VorraMB", "TianxiePJ", "about"}) {
        auto b = bar.addControl(host::bar::kControlButton, 0, true);
        b->caption = parameter == std::string("about") ? "关于" : parameter;
        b->tooltip = std::string("提示") + parameter;
        b->parameter = parameter;
        b->beginGroup = true;
        b->style = host::bar::kStyleIconAndCaptionBelow;
        b->faceId = 59;
        b->subscribeClick([&](host::CommandBarButton& button, bool&) { clicked.push_back(button.parameter); });
    }
    bars.add("hidden");

    QMainWindow window;
    auto toolbars = showCommandBars(bars, window);
    ASSERT_EQ(toolbars.size(), 1u);
    QToolBar* toolbar = toolbars[0];
    EXPECT_EQ(toolbar->windowTitle(), QStringLiteral("【Excel支票Quorvan】："));
    EXPECT_FALSE(toolbar->isMovable());
    EXPECT_EQ(window.toolBarArea(toolbar), Qt::TopToolBarArea);
    // Separators stand between the groups, not before the first button.
    auto actions = toolbar->actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_FALSE(actions[0]->isSeparator());
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[4]->text(), QStringLiteral("关于"));
    EXPECT_EQ(actions[4]->toolTip(), QStringLiteral("提示about"));

    window.show();
    auto* about = toolbar->findChild<QToolButton*>(QStringLiteral("about"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QTest::mouseClick(about, Qt::LeftButton);
    actions[0]->trigger();
    EXPECT_EQ(clicked, (std::vector<std::string>{"about", "VorraMB"}));
}

}  // namespace
}  // namespace vorra::desktop
