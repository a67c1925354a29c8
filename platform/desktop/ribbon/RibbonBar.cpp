#include "platform/desktop/ribbon/RibbonBar.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/desktop/ribbon/RibbonIcons.h"

namespace vorra::desktop {

namespace {
const char* const kIdProperty = "ribbonId";
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

RibbonBar::ActionHandler invokeOn(host::AddinConnection& connection) {
    return [&connection](const std::string& onAction) { connection.invoke(onAction); };
}

QString ribbonToolTip(const RibbonButton& button) {
    QString tip = qs(button.screentip);
    if (!button.supertip.empty()) tip += u'\n' + qs(button.supertip);
    return tip;
}

RibbonBar::RibbonBar(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("ribbon"));
    setDocumentMode(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void RibbonBar::addHostTab(const std::string& idMso, const QString& label, QWidget* page) {
    page->setProperty(kIdProperty, qs(idMso));
    addTab(page, label);
}

void RibbonBar::addCustomTabs(const RibbonDefinition& definition, ActionHandler onAction) {
    onAction_ = std::move(onAction);
    for (const RibbonTab& tab : definition.tabs) {
        QWidget* page = makeTabPage(tab);
        int before = -1;
        if (!tab.insertBeforeMso.empty())
            for (int i = 0; i < count(); ++i)
                if (widget(i)->property(kIdProperty).toString() == qs(tab.insertBeforeMso)) before = i;
        int index = insertTab(before, page, qs(tab.label));
        if (before >= 0 && currentIndex() != index) setCurrentIndex(index);
    }
}

std::vector<std::string> RibbonBar::tabIds() const {
    std::vector<std::string> ids;
    for (int i = 0; i < count(); ++i) ids.push_back(widget(i)->property(kIdProperty).toString().toStdString());
    return ids;
}

QToolButton* RibbonBar::button(const std::string& id) const {
    return findChild<QToolButton*>(qs(id));
}

QWidget* RibbonBar::tabPage(const std::string& id) const {
    for (int i = 0; i < count(); ++i)
        if (widget(i)->property(kIdProperty).toString() == qs(id)) return widget(i);
    return nullptr;
}

QWidget* RibbonBar::makeTabPage(const RibbonTab& tab) {
    auto* page = new QWidget;
    page->setProperty(kIdProperty, qs(tab.id));
    auto* row = new QHBoxLayout(page);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);
    for (const RibbonGroup& group : tab.groups) {
        row->addWidget(makeGroup(group));
        auto* line = new QFrame(page);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        row->addWidget(line);
    }
    row->addStretch(1);
    return page;
}

QWidget* RibbonBar::makeGroup(const RibbonGroup& group) {
    auto* box = new QWidget;
    box->setObjectName(qs(group.id));
    box->setProperty(kIdProperty, qs(group.id));
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (const RibbonButton& b : group.buttons) buttons->addWidget(makeButton(b));
    column->addLayout(buttons);
    auto* label = new QLabel(qs(group.label), box);
    label->setObjectName(QStringLiteral("groupLabel"));
    label->setAlignment(Qt::AlignHCenter);
    column->addWidget(label);
    return box;
}

QToolButton* RibbonBar::makeButton(const RibbonButton& b) {
    auto* button = new QToolButton;
    button->setObjectName(qs(b.id));
    button->setText(qs(b.label));
    button->setToolTip(ribbonToolTip(b));
    button->setIcon(ribbonIcon(b.imageMso));
    button->setAutoRaise(true);
    if (b.size == "large") {
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(32, 32));
        button->setMinimumWidth(56);
    } else {
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setIconSize(QSize(16, 16));
    }
    const std::string action = b.onAction;
    QObject::connect(button, &QToolButton::clicked, this, [this, action] {
        if (onAction_ && !action.empty()) onAction_(action);
    });
    return button;
}

}  // namespace vorra::desktop
