#include "platform/desktop/toolkit/QtToolkit.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>

#include "platform/desktop/toolkit/ChineseTexts.h"
#include "platform/desktop/toolkit/FormWindow.h"
#include "platform/desktop/toolkit/HostFileFilter.h"
#include "platform/desktop/toolkit/ToolkitTexts.h"

namespace vorra::desktop {

using namespace vorra::dialogs;

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QString titleOf(const std::optional<std::string>& title) {
    return title ? qs(*title) : QString::fromUtf8(texts::kHostCaption);
}

// The add-in separates lines with carriage returns, line feeds or both.
QString plainLines(const std::string& text) {
    QString s = qs(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    return s;
}

QMessageBox::Icon qtIcon(MsgBoxIcon icon) {
    switch (icon) {
        case MsgBoxIcon::Critical: return QMessageBox::Critical;
        case MsgBoxIcon::Question: return QMessageBox::Question;
        case MsgBoxIcon::Exclamation: return QMessageBox::Warning;
        case MsgBoxIcon::Information: return QMessageBox::Information;
        case MsgBoxIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(MsgBoxButtons buttons) {
    switch (buttons) {
        case MsgBoxButtons::OKOnly: return QMessageBox::Ok;
        case MsgBoxButtons::OKCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case MsgBoxButtons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        case MsgBoxButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MsgBoxButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case MsgBoxButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

MsgBoxResult hostResult(int button, MsgBoxButtons buttons) {
    switch (button) {
        case QMessageBox::Ok: return MsgBoxResult::OK;
        case QMessageBox::Cancel: return MsgBoxResult::Cancel;
        case QMessageBox::Abort: return MsgBoxResult::Abort;
        case QMessageBox::Retry: return MsgBoxResult::Retry;
        case QMessageBox::Ignore: return MsgBoxResult::Ignore;
        case QMessageBox::Yes: return MsgBoxResult::Yes;
        case QMessageBox::No: return MsgBoxResult::No;
        default: break;
    }
    return dialogs::closingAnswer(buttons);
}

}  // namespace

QUrl urlForTarget(const std::string& target) {
    QString t = qs(target).trimmed();
    if (t.contains(QStringLiteral("://")) || t.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive))
        return QUrl(t);
    if (QDir::isAbsolutePath(t) || QFileInfo::exists(t)) return QUrl::fromLocalFile(QFileInfo(t).absoluteFilePath());
    return QUrl::fromUserInput(t);
}

QtToolkit::QtToolkit(QWidget* owner) : owner_(owner) {}

QtToolkit::~QtToolkit() {
    for (auto& [form, window] : windows_) {
        if (!window) continue;
        window->detach();
        delete window.data();
    }
}

// ---- Asking the user ------------------------------------------------------------------------

MsgBoxResult QtToolkit::messageBox(const MessageBoxRequest& request) {
    QMessageBox box(owner_);
    box.setWindowTitle(titleOf(request.title));
    box.setTextFormat(Qt::PlainText);
    box.setText(plainLines(request.prompt));
    box.setIcon(qtIcon(request.icon));
    box.setStandardButtons(qtButtons(request.buttons));
    setChineseButtons(box);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return hostResult(box.exec(), request.buttons);
}

std::string QtToolkit::inputBox(const InputBoxRequest& request) {
    QInputDialog dialog(owner_);
    dialog.setWindowTitle(titleOf(request.title));
    dialog.setLabelText(plainLines(request.prompt));
    dialog.setTextValue(qs(request.defaultText));
    setChineseButtons(dialog);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.textValue().toStdString();
}

std::vector<std::string> QtToolkit::openFileDialog(const OpenFileRequest& request) {
    DialogFilters filters = convertHostFilter(request.filter, request.filterIndex);
    QFileDialog dialog(owner_, request.title.empty() ? QString::fromUtf8(texts::kOpenTitle) : qs(request.title));
    dialog.setNameFilters(filters.filters);
    dialog.selectNameFilter(filters.selected);
    dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    std::vector<std::string> paths;
    if (dialog.exec() != QDialog::Accepted) return paths;
    for (const QString& f : dialog.selectedFiles()) paths.push_back(f.toStdString());
    return paths;
}

bool QtToolkit::builtinDialog(int dialogId, const std::string& queuedKeys) {
    return builtinDialog_ ? builtinDialog_(dialogId, queuedKeys) : false;
}

// ---- Window services ------------------------------------------------------------------------

FormWindow* QtToolkit::existingWindow(const Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.data();
}

FormWindow* QtToolkit::window(const Form& form) {
    if (FormWindow* w = existingWindow(form)) return w;
    if (!form.loaded()) return nullptr;
    auto* w = new FormWindow(const_cast<Form&>(form));
    windows_[&form] = w;
    return w;
}

void QtToolkit::setTopmost(Form& form) {
    if (FormWindow* w = window(form)) w->makeTopmost();
}

PixelSize QtToolkit::clientSizePixels(const Form& form) const {
    FormWindow* w = const_cast<QtToolkit*>(this)->window(form);
    if (!w) return {};
    return {w->width(), w->height()};
}

void QtToolkit::setWindowRegion(Form& form, const RoundRegion& region) {
    if (FormWindow* w = window(form)) w->applyRegion(region);
}

void QtToolkit::dragByBody(Form& form) {
    if (FormWindow* w = existingWindow(form)) w->beginDrag();
}

bool QtToolkit::shellOpen(const std::string& target, const std::string& verb) {
    if (!verb.empty() && !sameName(verb, "Open")) return false;
    if (target.empty()) return false;
    return QDesktopServices::openUrl(urlForTarget(target));
}

bool QtToolkit::startProgram(const std::string& commandLine) {
    QStringList parts = QProcess::splitCommand(qs(commandLine));
    if (parts.isEmpty()) return false;
    // A program of the add-in's original system (a name ending in ".exe", such as its
    // file manager given a folder) has no counterpart here: the rest of the command line
    // opens with the desktop's default program instead.
    if (parts.front().endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive)) {
        QString cmd = qs(commandLine).trimmed();
        qsizetype blank = cmd.indexOf(u' ');
        if (blank < 0) return false;
        return QDesktopServices::openUrl(urlForTarget(cmd.mid(blank + 1).trimmed().toStdString()));
    }
    QString program = parts.takeFirst();
    return QProcess::startDetached(program, parts);
}

std::string QtToolkit::desktopFolder() const {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    while (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
    return folder.toStdString();
}

dialogs::ClockSetting QtToolkit::setSystemClock(std::int64_t secondsSinceEpoch) {
    dialogs::ClockSetting result = clock_.set(secondsSinceEpoch);
    if (result == dialogs::ClockSetting::NotPermitted)
        std::fprintf(stderr, "vorra-desktop: the clock was not set: %s\n", clock_.lastRefusal().c_str());
    return result;
}

// ---- The view of forms ----------------------------------------------------------------------

void QtToolkit::formUnloaded(Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end()) return;
    QPointer<FormWindow> w = it->second;
    windows_.erase(it);
    if (!w) return;
    w->detach();
    w->hideFromCode();
    // The unload may come from one of the window's own widgets: delete it once that
    // widget's event has finished.
    w->deleteLater();
}

void QtToolkit::showForm(Form& form, ShowMode mode) {
    FormWindow* w = window(form);
    if (!w) return;
    w->refreshForm();
    w->placeOver(owner_);
    if (mode == ShowMode::Modal)
        w->showModal();
    else
        w->showModeless();
}

void QtToolkit::hideForm(Form& form) {
    if (FormWindow* w = existingWindow(form)) w->hideFromCode();
}

void QtToolkit::formChanged(Form& form) {
    if (FormWindow* w = existingWindow(form)) w->refreshForm();
}

void QtToolkit::controlChanged(Control& control) {
    if (FormWindow* w = existingWindow(control.form())) w->refreshControl(control);
}

void QtToolkit::focusChanged(Control& control) {
    if (FormWindow* w = existingWindow(control.form())) w->focusControl(control);
}

}  // namespace vorra::desktop
