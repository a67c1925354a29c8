#pragma once
// Help → 加载项: the add-ins of this run, each with the name and description its entry
// carries and when the host loads it.

#include <QDialog>
#include <optional>

#include "platform/loader/AddinLibrary.h"

class QLabel;
class QTreeWidget;

namespace vorra::desktop {

class AddinsDialog : public QDialog {
public:
    // `library`: the loaded add-in, or none when the desktop runs without one.
    AddinsDialog(const loader::AddinLibrary* library, QWidget* parent);

    QTreeWidget* list() const { return list_; }
    QLabel* description() const { return description_; }

private:
    QTreeWidget* list_;
    QLabel* description_;
};

}  // namespace vorra::desktop
