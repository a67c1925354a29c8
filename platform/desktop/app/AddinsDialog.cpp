#include "platform/desktop/app/AddinsDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "addin/frame/host/AddinInterface.h"
#include "platform/desktop/app/DesktopTexts.h"

namespace vorra::desktop {

namespace {
QString u8(const std::string& s) { return QString::fromStdString(s); }
QString u8(const char* s) { return QString::fromUtf8(s); }
}  // namespace

AddinsDialog::AddinsDialog(const loader::AddinLibrary* library, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AddinsDialog"));
    setWindowTitle(u8(texts::kAddinsTitle));
    auto* column = new QVBoxLayout(this);
    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({u8(texts::kAddinsName), u8(texts::kAddinsLoad), u8(texts::kAddinsLocation)});
    description_ = new QLabel(this);
    description_->setWordWrap(true);
    column->addWidget(list_, 1);
    column->addWidget(description_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    column->addWidget(buttons);

    if (library) {
        const auto& entry = library->entry();
        QString name = entry ? u8(entry->friendlyName) : QFileInfo(u8(library->path())).fileName();
        QString load = u8(entry && entry->loadBehavior == host::kLoadAtStartup ? texts::kAddinsAtStartup
                                                                               : texts::kAddinsOnDemand);
        auto* item = new QTreeWidgetItem(list_, {name, load, u8(library->path())});
        item->setToolTip(0, entry ? u8(entry->description) : QString());
        description_->setText(u8(texts::kAddinsDescription) + (entry ? u8(entry->description) : QString()));
        list_->setCurrentItem(item);
    } else {
        description_->setText(u8(texts::kAddinsNone));
    }
    resize(560, 240);
}

}  // namespace vorra::desktop
