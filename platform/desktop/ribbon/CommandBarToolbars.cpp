#include "platform/desktop/ribbon/CommandBarToolbars.h"

#include <QMainWindow>
#include <QToolBar>
#include <QToolButton>
#include <memory>

#include "platform/desktop/ribbon/RibbonIcons.h"

namespace vorra::desktop {

namespace {
// The host's bar positions: 0 left, 1 top, 2 right, 3 bottom; floating bars dock at the top.
Qt::ToolBarArea toolBarArea(int position) {
    switch (position) {
        case 0: return Qt::LeftToolBarArea;
        case 2: return Qt::RightToolBarArea;
        case 3: return Qt::BottomToolBarArea;
        default: return Qt::TopToolBarArea;
    }
}
}  // namespace

std::vector<QToolBar*> showCommandBars(host::CommandBars& bars, QMainWindow& window) {
    std::vector<QToolBar*> toolbars;
    for (const auto& bar : bars.bars()) {
        if (!bar->visible) continue;
        auto* toolbar = new QToolBar(QString::fromStdString(bar->name()), &window);
        toolbar->setObjectName(QString::fromStdString(bar->name()));
        toolbar->setMovable(!(bar->protection & host::bar::kNoMove));
        toolbar->setIconSize(QSize(24, 24));
        for (const auto& control : bar->controls()) {
            if (control->beginGroup && !toolbar->actions().isEmpty()) toolbar->addSeparator();
            QAction* action = toolbar->addAction(faceIcon(control->faceId),
                                                 QString::fromStdString(control->caption));
            action->setToolTip(QString::fromStdString(control->tooltip));
            std::weak_ptr<host::CommandBarButton> target = control;
            QObject::connect(action, &QAction::triggered, toolbar, [target] {
                if (auto button = target.lock()) button->click();
            });
            if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(action))) {
                button->setObjectName(QString::fromStdString(control->parameter));
                button->setToolButtonStyle(control->style == host::bar::kStyleIconAndCaptionBelow
                                               ? Qt::ToolButtonTextUnderIcon
                                               : Qt::ToolButtonTextBesideIcon);
            }
        }
        window.addToolBar(toolBarArea(bar->position), toolbar);
        toolbars.push_back(toolbar);
    }
    return toolbars;
}

}  // namespace vorra::desktop
