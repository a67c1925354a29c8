#pragma once
// The ribbon of the desktop window: the host's own tabs and the tabs of the add-in's
// markup, each standing before the host tab it names. A tab shows its groups side by
// side; a group its buttons (large ones with the label under a 32-pixel icon) and its
// label underneath. Hovering a button shows its screentip; clicking it hands the
// button's onAction name to the action handler.

#include <QTabWidget>
#include <functional>
#include <string>
#include <vector>

#include "addin/frame/host/AddinInterface.h"
#include "platform/desktop/ribbon/RibbonMarkup.h"

class QToolButton;

namespace vorra::desktop {

class RibbonBar : public QTabWidget {
public:
    using ActionHandler = std::function<void(const std::string& onAction)>;

    explicit RibbonBar(QWidget* parent = nullptr);

    // A tab of the host itself, known by its built-in id ("TabHome").
    void addHostTab(const std::string& idMso, const QString& label, QWidget* page);
    // The add-in's tabs, each inserted before the host tab its insertBeforeMso names
    // (at the end when there is no such tab).
    void addCustomTabs(const RibbonDefinition& definition, ActionHandler onAction);

    // The ids of the tabs in the order shown.
    std::vector<std::string> tabIds() const;
    // A button of the add-in's tabs by its id, or nullptr.
    QToolButton* button(const std::string& id) const;
    // The tab page of that id, or nullptr.
    QWidget* tabPage(const std::string& id) const;

private:
    QWidget* makeTabPage(const RibbonTab& tab);
    QWidget* makeGroup(const RibbonGroup& group);
    QToolButton* makeButton(const RibbonButton& button);

    ActionHandler onAction_;
};

// Ribbon clicks as calls of the add-in's public methods by the onAction name (the
// connection looks names up with case ignored).
RibbonBar::ActionHandler invokeOn(host::AddinConnection& connection);

// The tooltip of a button: its screentip, and its supertip on a line below when there is one.
QString ribbonToolTip(const RibbonButton& button);

}  // namespace vorra::desktop
