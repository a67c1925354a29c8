#pragma once
// The host the add-in's tests run on: the embedded engine with the headless toolkit as
// its forms library, a printer that records each job (and can be told to fail), and a
// workbook built from the sample template. XlApp points at it while it lives.

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

    void printSheet(const engine::WorkbookModel& workbook, int sheetIndex, int copies,
                    bool collate) override {
        if (fail) throw host::HostError(host::error::kApplicationDefined, "the printer is offline");
        if (copies != 1 || !collate)
            throw host::HostError(host::error::kInvalidArgument, "unexpected copies");
        printed.push_back(workbook.sheets[size_t(sheetIndex)]->name);
    }
    std::string description() const override { return "recording printer"; }
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

struct AddinTestHost {
    explicit AddinTestHost(const std::string& version = "16.0", bool withTemplate = true);
    ~AddinTestHost();
    AddinTestHost(const AddinTestHost&) = delete;
    AddinTestHost& operator=(const AddinTestHost&) = delete;

    // A cell of the active workbook's sheet.
    host::Value cell(const std::string& sheet, const std::string& address);
    std::string text(const std::string& sheet, const std::string& address);
    // Writes through the host, lifting the fill-in sheet's protection meanwhile.
    void put(const std::string& sheet, const std::string& address, const host::Variant& value);
    std::vector<std::string> messages() const;
    const std::vector<std::string>& printed() const { return services.printerDevice.printed; }

    headless::HeadlessToolkit toolkit;
    TestServices services{toolkit};
    engine::EngineApplication app;
    std::shared_ptr<host::Workbook> book;
    headless::UserActions user;
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
