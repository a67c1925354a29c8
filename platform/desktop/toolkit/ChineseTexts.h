#pragma once
// Chinese on every standard window of Qt: its own translations of the standard buttons
// and dialogs (the file dialog's labels, the context menus of text boxes), loaded once at
// start-up, and the standard buttons of our message and input boxes named in Chinese
// whether or not the translations are installed.

#include <QDialogButtonBox>

class QCoreApplication;
class QInputDialog;
class QMessageBox;

namespace vorra::desktop {

// Loads Qt's Chinese translations from Qt's translations folder (or `folder` when
// given) into the application. False when none were found: the standard buttons of the
// toolkit's own boxes are Chinese all the same, other windows of Qt stay in English.
bool installChineseTranslations(QCoreApplication& app, const QString& folder = {});

// The Chinese text of a standard button; empty for a button we do not name.
QString chineseButtonText(QDialogButtonBox::StandardButton button);
void setChineseButtons(QMessageBox& box);
void setChineseButtons(QInputDialog& dialog);

}  // namespace vorra::desktop
