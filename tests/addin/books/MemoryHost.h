#pragma once
// A small in-memory host for the book tests: one workbook of named sheets with cells,
// protection that refuses writes, Find/FindNext in the host's order, COUNTIF by plain
// equality, and a toolkit that records what the forms showed. Only what the books use.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "addin/frame/dialogs/Dialogs.h"
#include "addin/frame/host/Host.h"

namespace vorra::testing {

class MemoryWorkbook;

class MemorySheet final : public host::Worksheet {
public:
    MemorySheet(MemoryWorkbook& book, std::string name) : book_(book), name_(std::move(name)) {}

    // Test side: a cell by A1 reference.
    void set(const std::string& ref, host::Value v);
    host::Value get(const std::string& ref) const;
    std::string selected() const { return selected_; }
    int writes() const { return writes_; }

    std::string name() const override { return name_; }
    void setName(const std::string& n) override { name_ = n; }
    host::Visibility visible() const override { return host::Visibility::Visible; }
    void setVisible(host::Visibility) override {}
    host::Workbook& parent() override;
    void activate() override;
    void protect(const std::string& password) override;
    void unprotect(const std::string& password) override;
    bool isProtected() const override { return protected_; }
    void printOut(int, bool) override { unsupported(); }
    void copyToNewWorkbook() override { unsupported(); }
    void copyBefore(host::Worksheet&) override { unsupported(); }
    void copyAfter(host::Worksheet&) override { unsupported(); }
    void deleteSheet() override { unsupported(); }
    host::Range range(const std::string& reference) override;
    host::Area usedArea() const override;
    host::Variant read(const host::Area& area) const override;
    void write(const host::Area& area, const host::Variant& values) override;
    void writeValues(const host::Area& area, const host::Array2D& values) override;
    std::string formula(host::CellRef cell) const override { return displayText(cell); }
    std::string displayText(host::CellRef cell) const override { return value(cell).toText(); }
    host::CellRef end(host::CellRef from, host::Direction) const override { return from; }
    std::optional<host::CellRef> find(const host::Area& within, const host::FindOptions& options) override;
    std::optional<host::CellRef> findNext(const host::Area& within, host::CellRef after) override;
    void select(const host::Area& area, host::CellRef) override;
    int fontColorIndex(host::CellRef cell) const override;
    void setFontColorIndex(const host::Area& area, int colorIndex) override;
    std::string numberFormat(host::CellRef) const override { return "General"; }
    void setNumberFormat(const host::Area&, const std::string&) override {}
    bool locked(host::CellRef) const override { return true; }
    void setLocked(const host::Area&, bool) override {}

    host::Value value(host::CellRef cell) const;

private:
    [[noreturn]] static void unsupported();
    void requireUnprotected() const;
    void store(host::CellRef cell, host::Value v);

    MemoryWorkbook& book_;
    std::string name_;
    std::map<std::pair<int, int>, host::Value> cells_;
    std::map<std::pair<int, int>, int> colors_;
    bool protected_ = false;
    std::string password_;
    std::string selected_;
    host::FindOptions lastFind_;
    int writes_ = 0;
};

class MemoryApplication;

class MemoryWorkbook final : public host::Workbook {
public:
    explicit MemoryWorkbook(MemoryApplication& app) : app_(app) {}
    std::shared_ptr<MemorySheet> add(const std::string& name);

    std::string name() const override { return "Book1"; }
    std::string fullName() const override { return "Book1"; }
    host::Application& application() override;
    std::vector<std::shared_ptr<host::Worksheet>> worksheets() override;
    std::shared_ptr<host::Worksheet> sheet(const std::string& name) override;
    std::shared_ptr<host::Worksheet> addSheet(host::Worksheet*) override { return add("Sheet"); }
    std::shared_ptr<host::Worksheet> activeSheet() override { return active_; }
    void activate() override {}
    void save() override {}
    void saveAs(const std::string&) override {}
    void close(bool) override {}
    bool saved() const override { return true; }
    std::vector<std::pair<std::string, std::string>> names() const override { return {}; }
    void addName(const std::string&, const std::string&) override {}
    std::vector<host::ExternalLink> linkSources() const override { return {}; }
    void changeLink(const std::string&, const std::string&) override {}

    void setActive(std::shared_ptr<MemorySheet> s) { active_ = std::move(s); }

private:
    MemoryApplication& app_;
    std::vector<std::shared_ptr<MemorySheet>> sheets_;
    std::shared_ptr<MemorySheet> active_;
};

// Records what the forms showed; every message box is answered OK.
class RecordingToolkit final : public dialogs::Toolkit {
public:
    struct Message {
        std::string prompt;
        dialogs::MsgBoxIcon icon;
        std::optional<std::string> title;
    };
    std::vector<Message> messages;
    std::vector<std::string> topmost;
    std::vector<std::string> opened;
    std::vector<std::string> shown;

    dialogs::MsgBoxResult messageBox(const dialogs::MessageBoxRequest& r) override {
        messages.push_back({r.prompt, r.icon, r.title});
        return dialogs::MsgBoxResult::OK;
    }
    std::string inputBox(const dialogs::InputBoxRequest&) override { return {}; }
    std::vector<std::string> openFileDialog(const dialogs::OpenFileRequest&) override { return {}; }
    bool builtinDialog(int, const std::string&) override { return false; }
    void setTopmost(dialogs::Form& f) override { topmost.push_back(f.name()); }
    dialogs::PixelSize clientSizePixels(const dialogs::Form&) const override { return {}; }
    void setWindowRegion(dialogs::Form&, const dialogs::RoundRegion&) override {}
    void dragByBody(dialogs::Form&) override {}
    bool shellOpen(const std::string& target, const std::string&) override {
        opened.push_back(target);
        return true;
    }
    bool startProgram(const std::string&) override { return false; }
    std::string desktopFolder() const override { return "/tmp"; }
    void showForm(dialogs::Form& f, dialogs::ShowMode) override { shown.push_back(f.name()); }
    void hideForm(dialogs::Form&) override {}
};

class MemoryApplication final : public host::Application {
public:
    MemoryApplication() : book_(std::make_shared<MemoryWorkbook>(*this)) {}
    MemoryWorkbook& book() { return *book_; }
    RecordingToolkit& recorder() { return toolkit_; }

    std::string version() const override { return "16.0"; }
    std::vector<std::shared_ptr<host::Workbook>> workbooks() override { return {book_}; }
    std::shared_ptr<host::Workbook> activeWorkbook() override { return book_; }
    std::shared_ptr<host::Workbook> openWorkbook(const std::string&) override { return nullptr; }
    std::shared_ptr<host::Workbook> addWorkbook() override { return nullptr; }
    std::shared_ptr<host::Worksheet> activeSheet() override;
    host::Range activeCell() override { return activeSheet()->range("A1"); }
    host::Range selection() override { return activeCell(); }
    bool enableEvents() const override { return events_; }
    void setEnableEvents(bool on) override { events_ = on; }
    bool screenUpdating() const override { return true; }
    void setScreenUpdating(bool) override {}
    bool displayAlerts() const override { return true; }
    void setDisplayAlerts(bool) override {}
    std::vector<std::string> getOpenFilename(const std::string&, int, const std::string&, bool) override {
        return {};
    }
    bool showBuiltinDialog(int) override { return false; }
    void sendKeys(const std::string&, bool) override {}
    void quit() override {}
    host::CommandBars& commandBars() override { return bars_; }
    // Plain equality: a text criterion matches a text cell without regard to ASCII
    // case, a number criterion a number cell of that value.
    double countIf(const host::Range& range, const host::Value& criteria) override;
    host::Value vlookup(const host::Value&, const host::Variant&, int, std::optional<bool>) override;
    host::Variant evaluate(const std::string&) override;
    dialogs::Toolkit& toolkit() override { return toolkit_; }
    void subscribe(host::ApplicationEvents*) override {}
    void unsubscribe(host::ApplicationEvents*) override {}

private:
    std::shared_ptr<MemoryWorkbook> book_;
    RecordingToolkit toolkit_;
    host::CommandBars bars_;
    bool events_ = true;
};

}  // namespace vorra::testing
