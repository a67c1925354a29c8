#pragma once
// The host's page setup dialog (built-in dialog 7) as a Qt window over the engine's
// dialog state: paper size and orientation on its first page, margins and centring on
// its second. It opens on the page the queued keys leave the dialog on ("{RIGHT}":
// margins). OK writes the page setup to the sheet after the engine's checks; a refused
// setup keeps the window open with the engine's message. The margins page also says
// which printer offsets are in force (set elsewhere: they are not margins).

#include <QDialog>
#include <string_view>

#include "platform/engine/model/Model.h"
#include "platform/engine/print/PageSetupDialog.h"

class QComboBox;
class QDoubleSpinBox;
class QRadioButton;
class QCheckBox;
class QLabel;
class QTabWidget;

namespace vorra::desktop {

class PageSetupWindow : public QDialog {
public:
    PageSetupWindow(engine::PageSetupDialog& dialog, engine::Sheet& sheet, QWidget* parent = nullptr);

    QTabWidget* pages() const { return pages_; }
    QComboBox* paperBox() const { return paper_; }
    QRadioButton* landscapeButton() const { return landscape_; }
    QDoubleSpinBox* marginBox(int side) const { return margins_[side]; }  // 0 top, 1 bottom, 2 left, 3 right
    // The printer's offsets in force, as a line of text on the margins page.
    void setOffsetsNote(const QString& note);
    QLabel* offsetsNote() const { return offsetsNote_; }

    void accept() override;
    void reject() override;

private:
    engine::PageSetupDialog& dialog_;
    engine::Sheet& sheet_;
    QTabWidget* pages_;
    QComboBox* paper_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
    QDoubleSpinBox* margins_[4];
    QCheckBox* centreH_;
    QCheckBox* centreV_;
    QLabel* offsetsNote_;
};

// Shows the page setup dialog for the sheet, modal, with the keys queued for it.
// Whether the user confirmed it. `beforeExec` lets a caller (a test, a screenshot)
// act on the open window.
bool runPageSetupDialog(engine::Sheet& sheet, std::string_view queuedKeys, QWidget* parent,
                        const std::function<void(PageSetupWindow&)>& beforeExec = {});

}  // namespace vorra::desktop
