#include "addin/templates/VorraMB_frm.h"

#include <filesystem>

#include "addin/frame/MakerLinks.h"
#include "addin/frame/Public_XlApp.h"
#include "addin/frame/Shell.h"
#include "addin/templates/TemplateFiles.h"
#include "addin/templates/TemplateTexts.h"

namespace vorra {

using dialogs::MsgBoxIcon;
using host::errorOf;
using host::resume;

namespace {

// The window's height in twips: "导入模板", below the import box, ends at 8040 + 625,
// and a margin follows.
constexpr double kImportFormHeight = 8820;

struct NotImported {
    std::string name;
    std::string reason;
};

// Appends the text unless an entry equal to it is there; whether it was added.
bool addUnlessPresent(dialogs::ListBox& list, const std::string& text) {
    for (const std::string& item : list.items())
        if (item == text) return false;
    list.addItem(text);
    return true;
}

std::string fileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// "以下文件没有导入：" and one line per file with its reason.
std::string notImportedText(const std::vector<NotImported>& failures) {
    std::string text = texts::kMsgNotImported;
    for (const NotImported& f : failures) text += "\n" + texts::notImportedLine(f.name, f.reason);
    return text;
}

std::string withNotImported(const std::string& message, const std::vector<NotImported>& failures) {
    return failures.empty() ? message : message + "\n" + notImportedText(failures);
}

// The file dialog of both imports opens on the desktop: the current folder is changed
// to it first.
std::vector<std::string> chooseTemplateWorkbooks() {
    resume([] { std::filesystem::current_path(XlApp->toolkit().desktopFolder() + "/"); });
    std::vector<std::string> chosen;
    resume([&] {
        chosen = XlApp->getOpenFilename(texts::kImportFilter, 0, texts::kImportDialogTitle, true);
    });
    if (chosen.empty())
        showMessage(texts::kMsgNothingChosen, MsgBoxIcon::Critical, texts::kTitleImport);
    return chosen;
}

void tellImported(int count, const std::vector<NotImported>& failures) {
    showMessage(withNotImported(texts::msgImported(count), failures),
                failures.empty() ? MsgBoxIcon::None : MsgBoxIcon::Exclamation, texts::kTitleImport);
}

// Sheet names are compared as the host compares them: ASCII letters without regard to
// case.
bool sameSheetName(std::string_view a, std::string_view b) { return dialogs::sameName(a, b); }

// Whether a workbook is the file at that path (the same file, however the path is
// written); a workbook never saved has no file.
bool isWorkbookFile(host::Workbook& book, const std::string& path) {
    std::string fullName;
    if (!resume([&] { fullName = book.fullName(); }) || fullName.empty()) return false;
    std::error_code ec;
    if (std::filesystem::equivalent(fullName, path, ec)) return true;
    return fullName == path;
}

// The open workbook that is the file at that path, or nullptr.
std::shared_ptr<host::Workbook> openWorkbookOf(const std::string& path) {
    std::vector<std::shared_ptr<host::Workbook>> books;
    resume([&] { books = XlApp->workbooks(); });
    for (const auto& book : books)
        if (book && isWorkbookFile(*book, path)) return book;
    return nullptr;
}

// Copies the sheets of one workbook, in order, before the marker sheet of the target.
// A workbook the user already has open is copied as it stands, unsaved edits and all,
// and stays open; one opened for the copy is closed again without saving. The reason
// when not every sheet arrived.
std::optional<std::string> copySheetsBefore(const std::string& path, host::Worksheet& marker) {
    std::shared_ptr<host::Workbook> source = openWorkbookOf(path);
    const bool openedHere = !source;
    if (openedHere) {
        if (auto failure = errorOf([&] { source = XlApp->openWorkbook(path); }); failure || !source)
            return std::string(texts::kReasonNotOpened);
    }
    bool allCopied = true;
    std::vector<std::shared_ptr<host::Worksheet>> sheets;
    allCopied = resume([&] { sheets = source->worksheets(); });
    for (const auto& sheet : sheets)
        if (!resume([&] { sheet->copyBefore(marker); })) allCopied = false;
    if (openedHere) resume([&] { source->close(false); });
    if (!allCopied) return std::string(texts::kReasonSheetsNotCopied);
    return std::nullopt;
}

}  // namespace

VorraMB_frm::VorraMB_frm() : Form("VorraMB_frm", dialogs::FormKind::WindowForm) {
    setCaption(texts::kImportCaption);
    // Tall enough for every box: the template list, the import box and "导入模板"
    // (whose bottom is at 8545) show below the four buttons.
    setWidth(6930);
    setHeight(kImportFormHeight);
    Frame2.setCaption(texts::kFrame2);
    Frame2.move(128, 120, 6675, 2610);
    Command5.setCaption(texts::kCommand5);
    Command5.move(400, 400, 2265, 625);
    Command1.setCaption(texts::kCommand1);
    Command1.move(4000, 400, 2265, 625);
    Command4.setCaption(texts::kCommand4);
    Command4.move(400, 1300, 2265, 625);
    Command2.setCaption(texts::kCommand2);
    Command2.setTipText(texts::kCommand2Tip);
    Command2.move(4000, 1300, 2265, 625);
    Label2.setCaption(texts::kLabel2);
    Label2.move(705, 2200, 5520, 375);
    Frame1.setCaption(texts::kFrame1);
    Frame1.setTipText(texts::kFrame1Tip);
    Frame1.move(177, 3100, 5600, 2368);
    List1.move(96, 720, 5400, 1530);
    Label3.setCaption(texts::kLabel3);
    Label3.move(96, 360, 5400, 300);
    Frame3.setCaption(texts::kFrame3);
    Frame3.move(177, 5600, 5600, 2368);
    List2.move(96, 728, 5400, 1500);
    Label1.setCaption(texts::kLabel1Import);
    Label1.move(96, 360, 4900, 300);
    Image1.setTipText(texts::kImage1Tip);
    Image1.move(5160, 300, 300, 300);
    Command3.setCaption(texts::kCommand3);
    Command3.move(2640, 8040, 1560, 625);

    onInitialize = [this] { Form_Load(); };
    onDragDrop = [this](const std::vector<std::string>& files) { Form_OLEDragDrop(files); };
    List1.onClick = [this] { List1_Click(); };
    List1.onDragDrop = [this](const std::vector<std::string>& files) { List1_OLEDragDrop(files); };
    List2.onDragDrop = [this](const std::vector<std::string>& files) { List2_OLEDragDrop(files); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
    Image1.onClick = [this] { Image1_Click(); };
}

void VorraMB_frm::Form_Load() {
    resume([&] { toolkit().setTopmost(*this); });
    setAcceptsDrops(true);
    List1.setAcceptsDrops(true);
    List2.setAcceptsDrops(true);
    resume([&] {
        for (const std::string& name : ordinaryFiles(templateFolder(addinFolder()))) List1.addItem(name);
    });
}

// Each dropped file is copied into the template folder and listed; a file that was
// refused or could not be copied is named in one message at the end.
void VorraMB_frm::Form_OLEDragDrop(const std::vector<std::string>& files) {
    std::string folder = templateFolder(addinFolder());
    std::vector<NotImported> failures;
    for (const std::string& path : files) {
        auto name = importableName(path);
        if (auto refused = refusalOf(path)) {
            failures.push_back({name ? *name : path, *refused});
            continue;
        }
        addUnlessPresent(List2, path);
        if (auto reason = copyIntoFolder(path, folder)) {
            failures.push_back({*name, *reason});
            continue;
        }
        addUnlessPresent(List1, *name);
    }
    if (!failures.empty())
        showMessage(notImportedText(failures), MsgBoxIcon::Exclamation, texts::kTitleImport);
}

void VorraMB_frm::List1_Click() {
    std::string path = templateFolder(addinFolder()) + List1.text();
    resume([&] { XlApp->openWorkbook(path); });
    unload();
}

void VorraMB_frm::Command1_Click() {
    unload();
    openWithShell(links::kTemplateDownloads);
}

// Shows the add-in folder in the system's file manager.
void VorraMB_frm::Command2_Click() {
    unload();
    openWithShell(addinFolder());
}

// Imports template workbooks by file dialog: each chosen file is copied into the
// template folder; the message counts the files copied and names the others.
void VorraMB_frm::Command3_Click() {
    unload();
    // Found before the file dialog changes the current folder.
    std::string folder = templateFolder(addinFolder());
    std::vector<std::string> chosen = chooseTemplateWorkbooks();
    if (chosen.empty()) return;
    int copied = 0;
    std::vector<NotImported> failures;
    for (const std::string& path : chosen) {
        if (auto reason = copyIntoFolder(path, folder)) failures.push_back({fileNameOf(path), *reason});
        else ++copied;
    }
    tellImported(copied, failures);
}

// Copies the sheets of the chosen workbooks, in the order chosen, to the end of the
// active workbook through the marker sheet, repairs the link to the master template,
// and keeps the last chosen workbook as a template. No workbook the user has open is
// closed: the target itself is refused by name, and another open workbook gives its
// sheets as they stand and stays open.
void VorraMB_frm::Command4_Click() {
    unload();
    // Found before the file dialog changes the current folder.
    std::string folder = templateFolder(addinFolder());
    std::shared_ptr<host::Workbook> target;
    resume([&] { target = XlApp->activeWorkbook(); });
    if (!target) {
        showMessage(texts::kMsgNoTargetWorkbook, MsgBoxIcon::Critical, texts::kTitleImport);
        return;
    }
    std::vector<std::string> chosen = chooseTemplateWorkbooks();
    if (chosen.empty()) return;

    bool hasMarker = false;
    resume([&] {
        for (const auto& sheet : target->worksheets())
            if (sameSheetName(sheet->name(), texts::kMarkerSheet)) hasMarker = true;
    });
    if (hasMarker) return;
    std::shared_ptr<host::Worksheet> marker;
    auto added = errorOf([&] {
        auto sheets = target->worksheets();
        marker = target->addSheet(sheets.empty() ? nullptr : sheets.back().get());
        marker->setName(texts::kMarkerSheet);
    });
    if (added || !marker) {
        // A sheet that was added but could not be named goes again.
        if (marker) resume([&] { marker->deleteSheet(); });
        std::string name;
        resume([&] { name = target->name(); });
        showMessage(texts::msgMarkerNotAdded(name), MsgBoxIcon::Critical, texts::kTitleImport);
        return;
    }

    int copied = 0;
    std::vector<NotImported> failures;
    bool lastRefused = false;
    for (const std::string& path : chosen) {
        std::optional<std::string> reason = refusalOf(path);
        if (!reason && isWorkbookFile(*target, path)) reason = texts::kReasonIsTargetWorkbook;
        lastRefused = reason.has_value();
        if (!reason) reason = copySheetsBefore(path, *marker);
        if (reason) failures.push_back({fileNameOf(path), *reason});
        else ++copied;
    }
    resume([&] { marker->deleteSheet(); });
    resume([&] {
        for (const auto& link : target->linkSources())
            if (sameLinkSource(link.source, kAuthoringLinkSource)) target->changeLink(link.source, kLinkTarget);
    });
    // The last workbook is kept before the message, so that the message can say when
    // it could not be; one refused above is not kept either.
    if (!lastRefused)
        if (auto reason = copyIntoFolder(chosen.back(), folder))
            failures.push_back({fileNameOf(chosen.back()), *reason});
    tellImported(copied, failures);
}

void VorraMB_frm::Command5_Click() {
    unload();
    openWithShell(links::kTemplateTutorial);
}

void VorraMB_frm::Image1_Click() { Frame3.setTop(5280); }

}  // namespace vorra
