#include "platform/desktop/toolkit/ChineseTexts.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include "platform/desktop/toolkit/ToolkitTexts.h"

namespace vorra::desktop {

bool installChineseTranslations(QCoreApplication& app, const QString& folder) {
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    bool any = false;
    // qtbase holds the standard buttons and dialogs; the translators live as long as
    // the application.
    for (const char* catalogue : {"qtbase", "qt"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(chinese, QString::fromLatin1(catalogue), QStringLiteral("_"), from)) {
            QCoreApplication::installTranslator(translator);
            any = true;
        } else {
            delete translator;
        }
    }
    return any;
}

QString chineseButtonText(QDialogButtonBox::StandardButton button) {
    using B = QDialogButtonBox;
    const char* text = nullptr;
    switch (button) {
        case B::Ok: text = texts::kButtonOk; break;
        case B::Cancel: text = texts::kButtonCancel; break;
        case B::Yes: text = texts::kButtonYes; break;
        case B::No: text = texts::kButtonNo; break;
        case B::Abort: text = texts::kButtonAbort; break;
        case B::Retry: text = texts::kButtonRetry; break;
        case B::Ignore: text = texts::kButtonIgnore; break;
        default: break;
    }
    return text ? QString::fromUtf8(text) : QString();
}

void setChineseButtons(QMessageBox& box) {
    for (QAbstractButton* b : box.buttons()) {
        auto standard = static_cast<QDialogButtonBox::StandardButton>(box.standardButton(b));
        if (QString text = chineseButtonText(standard); !text.isEmpty()) b->setText(text);
    }
}

void setChineseButtons(QInputDialog& dialog) {
    dialog.setOkButtonText(chineseButtonText(QDialogButtonBox::Ok));
    dialog.setCancelButtonText(chineseButtonText(QDialogButtonBox::Cancel));
}

}  // namespace vorra::desktop
