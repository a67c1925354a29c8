#pragma once
// The host the add-in's tests run on: the embedded engine with the headless toolkit as
// its forms library, a printer that records each job (and can be told to fail), and a
// workbook built from the sample template. XlApp points at it while it lives.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "addin/frame/Public_XlApp.h"
#include "addin/frame/host/Host.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/host/HostServices.h"
#include "platform/engine/print/Printer.h"
#include "platform/headless/toolkit/HeadlessToolkit.h"
#include "platform/headless/toolkit/UserActions.h"

namespace vorra::testing {

class RecordingPrinter final : public engine::Printer {
public:
    std::vector<std::string> printed;  // sheet names, one per job
    bool fail = false;
    int failNumber = host::error::kPrinterFailed;  // the error a failing job raises

    void printSheet(const engine::WorkbookModel& workbook, int sheetIndex, int copies,
                    bool collate) override {
        if (fail) throw host::HostError(failNumber, "the printer is offline");
        if (copies != 1 || !collate)
            throw host::HostError(host::error::kInvalidArgument, "unexpected copies");
        printed.push_back(workbook.sheets[size_t(sheetIndex)]->name);
    }
    std::string description() const override { return "recording printer"; }
};

// The headless toolkit, keeping every dialog's request besides its record (a test
// reads the prompt, icon and title as they were), with a desktop folder a test can
// move.
class TestToolkit final : public headless::HeadlessToolkit {
public:
    explicit TestToolkit(bool requireAnswers)
        : HeadlessToolkit(headless::HeadlessOptions{"/tmp", requireAnswers}) {}

    dialogs::MsgBoxResult messageBox(const dialogs::MessageBoxRequest& request) override {
        messageRequests.push_back(request);
        return HeadlessToolkit::messageBox(request);
    }
    std::string inputBox(const dialogs::InputBoxRequest& request) override {
        inputRequests.push_back(request);
        return HeadlessToolkit::inputBox(request);
    }
    std::vector<std::string> openFileDialog(const dialogs::OpenFileRequest& request) override {
        fileDialogTitles.push_back(request.title);
        return HeadlessToolkit::openFileDialog(request);
    }
    std::string desktopFolder() const override { return desktop; }

    // The prompts of the message boxes shown, in order.
    std::vector<std::string> prompts() const;

    std::vector<dialogs::MessageBoxRequest> messageRequests;
    std::vector<dialogs::InputBoxRequest> inputRequests;
    std::vector<std::string> fileDialogTitles;
    std::string desktop = "/tmp";
};

class TestServices final : public engine::HostServices {
public:
    explicit TestServices(headless::HeadlessToolkit& toolkit) : toolkit_(toolkit) {}
    std::vector<std::string> openFileDialog(const std::string& filter, int index,
                                            const std::string& title, bool multi) override {
        return toolkit_.openFileDialog({filter, index, title, multi});
    }
    bool builtinDialog(int id, host::Worksheet&, const std::string& keys) override {
        builtinDialogs.push_back(std::to_string(id) + " " + keys);
        return true;
    }
    void quitRequested() override { ++quits; }
    dialogs::Toolkit* toolkit() override { return &toolkit_; }
    engine::Printer* printer() override { return &printerDevice; }

    RecordingPrinter printerDevice;
    std::vector<std::string> builtinDialogs;
    int quits = 0;

private:
    headless::HeadlessToolkit& toolkit_;
};

// The workbooks the host opened, made and closed, with the alert switch as it stood at
// each: "open <full name>", "new <name> alerts off", "close <name> alerts on".
class WorkbookEvents final : public host::ApplicationEvents {
public:
    explicit WorkbookEvents(host::Application& app) : app_(app) {}
    void newWorkbook(host::Workbook& book) override { note("new " + book.name()); }
    void workbookOpen(host::Workbook& book) override { lines.push_back("open " + book.fullName()); }
    void workbookBeforeClose(host::Workbook& book, bool&) override { note("close " + book.name()); }

    std::vector<std::string> lines;
    // The full names of the workbooks opened, in order.
    std::vector<std::string> opened() const;

private:
    void note(const std::string& what) {
        lines.push_back(what + (app_.displayAlerts() ? " alerts on" : " alerts off"));
    }
    host::Application& app_;
};

struct AddinTestHost {
    // requireAnswers: a dialog with no answer queued is a failure (takeFailure); when
    // false, it gives its cancel answer (a message box's OK) silently.
    explicit AddinTestHost(const std::string& version = "16.0", bool withTemplate = true,
                           bool requireAnswers = true);
    ~AddinTestHost();
    AddinTestHost(const AddinTestHost&) = delete;
    AddinTestHost& operator=(const AddinTestHost&) = delete;

    // A cell of the active workbook's sheet.
    host::Value cell(const std::string& sheet, const std::string& address);
    std::string text(const std::string& sheet, const std::string& address);
    // Writes through the host, lifting the fill-in sheet's protection meanwhile.
    void put(const std::string& sheet, const std::string& address, const host::Variant& value);
    // Writes texts into a row from the address on, as they are (no typed entry).
    void putRow(const std::string& sheet, const std::string& address, const std::vector<std::string>& texts);
    std::vector<std::string> messages() const;
    const std::vector<std::string>& printed() const { return services.printerDevice.printed; }
    // The forms of the toolkit's records of one kind, in order; their details.
    std::vector<std::string> formsOf(headless::Record::Kind kind) const;
    std::vector<std::string> detailsOf(headless::Record::Kind kind) const;

    // ---- Answers for the dialogs to come. --------------------------------------------
    // OK for the next message box, whatever it shows.
    void answerMessage() { toolkit.queueMessage({}); }
    // The texts typed into the next input boxes; an empty text is a cancel.
    void answerInputs(const std::vector<std::string>& texts);
    // The paths chosen in the next open-file dialog; none is a cancel.
    void answerFiles(const std::vector<std::string>& paths);

    // ---- Workbooks and folders. ---------------------------------------------------------
    // Gives the active workbook exactly these sheets, in order, each named and empty.
    void nameSheets(const std::vector<std::string>& names);
    // Writes a workbook file of these sheets, each with its own name in A1, and closes it
    // again; the active workbook stays active.
    std::string writeWorkbook(const std::filesystem::path& path, const std::vector<std::string>& sheets);
    // A folder of the test's own, empty, made the toolkit's desktop; removed with the
    // host.
    const std::filesystem::path& scratchDesktop();
    // The names of the active workbook's sheets, in tab order.
    std::vector<std::string> sheetNames();

    TestToolkit toolkit;
    TestServices services{toolkit};
    engine::EngineApplication app;
    std::shared_ptr<host::Workbook> book;
    headless::UserActions user;
    WorkbookEvents events{app};

private:
    std::filesystem::path desktop_;
};

}  // namespace vorra::testing

namespace vorra::testing {

// Queues the answer OK for a message box that must show exactly this text, icon and
// title (an empty title: the host's default caption).
inline void expectMessage(headless::HeadlessToolkit& toolkit, const std::string& text,
                          dialogs::MsgBoxIcon icon, const std::string& title) {
    headless::MessageAnswer answer;
    answer.text = text;
    answer.icon = icon;
    answer.title = title.empty() ? std::optional<std::string>() : std::optional<std::string>(title);
    toolkit.queueMessage(answer);
}

}  // namespace vorra::testing
