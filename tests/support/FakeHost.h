#pragma once
// A small in-memory host for the add-in's form tests: workbooks of sheets of plain
// values, the workbook operations the records, template and date forms use, and a
// toolkit that answers from queues and records what it was asked. Saving under a
// ".xls" name writes a real file through the engine's 97–2003 writer.
//
// It connects itself as the add-in's XlApp while it lives.

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "addin/frame/Public_XlApp.h"
#include "addin/frame/dialogs/Dialogs.h"
#include "addin/frame/host/Host.h"
#include "platform/engine/files/XlsExport.h"

namespace vorra::testing {

using host::Area;
using host::CellRef;
using host::HostError;
using host::Value;
using host::Variant;

class FakeApp;
class FakeBook;

class FakeToolkit : public dialogs::Toolkit {
public:
    std::vector<dialogs::MessageBoxRequest> messages;
    std::deque<std::string> inputAnswers;  // empty queue: the user cancels
    std::vector<dialogs::InputBoxRequest> inputs;
    std::vector<std::string> opened;    // shellOpen targets
    std::vector<std::string> programs;  // startProgram command lines
    std::vector<std::string> topmost;
    std::vector<dialogs::RoundRegion> regions;
    std::string desktop = "/tmp";

    dialogs::MsgBoxResult messageBox(const dialogs::MessageBoxRequest& r) override {
        messages.push_back(r);
        return dialogs::MsgBoxResult::OK;
    }
    std::string inputBox(const dialogs::InputBoxRequest& r) override {
        inputs.push_back(r);
        if (inputAnswers.empty()) return {};
        std::string a = inputAnswers.front();
        inputAnswers.pop_front();
        return a;
    }
    std::vector<std::string> openFileDialog(const dialogs::OpenFileRequest&) override { return {}; }
    bool builtinDialog(int, const std::string&) override { return false; }
    void setTopmost(dialogs::Form& f) override { topmost.push_back(f.name()); }
    dialogs::PixelSize clientSizePixels(const dialogs::Form&) const override { return {462, 188}; }
    void setWindowRegion(dialogs::Form&, const dialogs::RoundRegion& r) override { regions.push_back(r); }
    void dragByBody(dialogs::Form&) override {}
    bool shellOpen(const std::string& target, const std::string&) override {
        opened.push_back(target);
        return true;
    }
    bool startProgram(const std::string& commandLine) override {
        programs.push_back(commandLine);
        return true;
    }
    std::string desktopFolder() const override { return desktop; }
    void showForm(dialogs::Form&, dialogs::ShowMode) override {}
    void hideForm(dialogs::Form&) override {}

    std::vector<std::string> prompts() const {
        std::vector<std::string> p;
        for (const auto& m : messages) p.push_back(m.prompt);
        return p;
    }
};

class FakeSheet : public host::Worksheet {
public:
    FakeSheet(FakeBook& book, std::string name) : book_(&book), name_(std::move(name)) {}

    std::map<std::pair<int, int>, Value> cells;  // (row, column) → value

    std::string name() const override { return name_; }
    void setName(const std::string& n) override { name_ = n; }
    host::Visibility visible() const override { return visible_; }
    void setVisible(host::Visibility v) override { visible_ = v; }
    host::Workbook& parent() override;
    void activate() override;
    void protect(const std::string&) override {}
    void unprotect(const std::string&) override {}
    bool isProtected() const override { return false; }
    void printOut(int, bool) override { unsupported("PrintOut"); }
    void copyToNewWorkbook() override;
    void copyBefore(Worksheet& before) override;
    void copyAfter(Worksheet&) override { unsupported("Copy After"); }
    void deleteSheet() override;
    host::Range range(const std::string& reference) override {
        return host::Range(shared_from_this(), host::parseArea(reference));
    }
    Area usedArea() const override { return Area::cell(1, 1); }
    Variant read(const Area& a) const override {
        if (a.isSingleCell()) return at(a.top, a.left);
        host::Array2D block(a.rows(), a.columns());
        for (int r = 1; r <= a.rows(); ++r)
            for (int c = 1; c <= a.columns(); ++c) block.at(r, c) = at(a.top + r - 1, a.left + c - 1);
        return block;
    }
    void write(const Area& a, const Variant& v) override {
        for (int r = a.top; r <= a.bottom; ++r)
            for (int c = a.left; c <= a.right; ++c) {
                Value value = v.isArray() ? v.array().at(r - a.top + 1, c - a.left + 1) : v.scalar();
                if (value.isEmpty()) cells.erase({r, c});
                else cells[{r, c}] = value;
            }
    }
    std::string formula(CellRef c) const override { return at(c.row, c.column).toText(); }
    std::string displayText(CellRef c) const override { return at(c.row, c.column).toText(); }
    CellRef end(CellRef, host::Direction) const override { unsupported("End"); }
    std::optional<CellRef> find(const Area&, const host::FindOptions&) override { return std::nullopt; }
    std::optional<CellRef> findNext(const Area&, CellRef) override { return std::nullopt; }
    void select(const Area&, CellRef) override {}
    int fontColorIndex(CellRef) const override { return 0; }
    void setFontColorIndex(const Area&, int) override {}
    std::string numberFormat(CellRef) const override { return "General"; }
    void setNumberFormat(const Area&, const std::string&) override {}
    bool locked(CellRef) const override { return true; }
    void setLocked(const Area&, bool) override {}

    Value at(int row, int col) const {
        auto it = cells.find({row, col});
        return it == cells.end() ? Value() : it->second;
    }
    void put(int row, int col, std::string text) { cells[{row, col}] = Value::text(std::move(text)); }

    FakeBook* book_;

private:
    [[noreturn]] static void unsupported(const char* what) {
        throw HostError(host::error::kApplicationDefined, std::string(what) + " is not part of the test host");
    }
    std::string name_;
    host::Visibility visible_ = host::Visibility::Visible;
};

class FakeBook : public host::Workbook {
public:
    FakeBook(FakeApp& app, std::string fullName) : app_(&app), fullName_(std::move(fullName)) {}

    std::vector<std::shared_ptr<FakeSheet>> sheets;
    std::vector<host::ExternalLink> links;
    int activeIndex = 0;
    bool closed = false;

    FakeSheet& addNamed(const std::string& name) {
        sheets.push_back(std::make_shared<FakeSheet>(*this, name));
        return *sheets.back();
    }
    std::vector<std::string> sheetNames() const {
        std::vector<std::string> n;
        for (const auto& s : sheets) n.push_back(s->name());
        return n;
    }
    int indexOf(const host::Worksheet& s) const {
        for (size_t i = 0; i < sheets.size(); ++i)
            if (sheets[i].get() == &s) return int(i);
        return -1;
    }
    // The host's name for a copy whose name is taken: "name (2)", "name (3)" ...
    std::string freeName(const std::string& name) const {
        auto taken = [&](const std::string& n) {
            for (const auto& s : sheets)
                if (s->name() == n) return true;
            return false;
        };
        if (!taken(name)) return name;
        for (int k = 2;; ++k)
            if (!taken(name + " (" + std::to_string(k) + ")")) return name + " (" + std::to_string(k) + ")";
    }

    std::string name() const override { return std::filesystem::path(fullName_).filename().string(); }
    std::string fullName() const override { return fullName_; }
    host::Application& application() override;
    std::vector<std::shared_ptr<host::Worksheet>> worksheets() override {
        return {sheets.begin(), sheets.end()};
    }
    std::shared_ptr<host::Worksheet> sheet(const std::string& n) override {
        for (const auto& s : sheets)
            if (s->name() == n) return s;
        throw HostError(host::error::kSubscriptOutOfRange, "No sheet named " + n);
    }
    std::shared_ptr<host::Worksheet> addSheet(host::Worksheet* after) override {
        int at = after ? indexOf(*after) + 1 : activeIndex;
        auto s = std::make_shared<FakeSheet>(*this, freeName("Sheet" + std::to_string(sheets.size() + 1)));
        sheets.insert(sheets.begin() + at, s);
        activeIndex = at;
        return s;
    }
    std::shared_ptr<host::Worksheet> activeSheet() override { return sheets.at(size_t(activeIndex)); }
    void activate() override;
    void save() override { saveAs(fullName_); }
    void saveAs(const std::string& path) override;
    void close(bool saveChanges) override;
    bool saved() const override { return true; }
    std::vector<std::pair<std::string, std::string>> names() const override { return {}; }
    void addName(const std::string&, const std::string&) override {}
    std::vector<host::ExternalLink> linkSources() const override { return links; }
    void changeLink(const std::string& oldSource, const std::string& newSource) override {
        bool found = false;
        for (auto& l : links)
            if (l.source == oldSource) l.source = newSource, found = true;
        if (!found) throw HostError(host::error::kApplicationDefined, "No link to " + oldSource);
    }

    // The sheets as the engine's model, for the writer.
    engine::WorkbookModel model() const {
        engine::WorkbookModel wb;
        for (const auto& s : sheets) {
            wb.sheets.push_back(std::make_unique<engine::Sheet>());
            wb.sheets.back()->name = s->name();
            for (const auto& [rc, v] : s->cells) wb.sheets.back()->cells.at({rc.first, rc.second}).value = v;
        }
        return wb;
    }

    FakeApp* app_;

private:
    std::string fullName_;
};

class FakeApp : public host::Application {
public:
    FakeApp() { previous_ = std::exchange(XlApp, this); }
    ~FakeApp() override {
        XlApp = previous_;
        for (auto& form : tk.liveForms()) form->unload();
    }

    FakeToolkit tk;
    std::vector<std::shared_ptr<FakeBook>> books;
    // Files the host can open: full path → how to build the workbook.
    std::map<std::string, std::function<void(FakeBook&)>> files;
    std::vector<std::string> openedPaths;
    std::vector<std::string> savedPaths;
    std::deque<std::vector<std::string>> fileDialogAnswers;  // empty queue: cancelled
    std::vector<std::string> fileDialogTitles;
    std::vector<bool> alertSwitches;
    std::string saveFailure;  // when set, every save fails with this message
    int quitRequests = 0;

    FakeBook& addBook(const std::string& fullName, std::vector<std::string> sheetNames) {
        books.push_back(std::make_shared<FakeBook>(*this, fullName));
        for (const auto& n : sheetNames) books.back()->addNamed(n);
        active_ = books.back();
        return *books.back();
    }
    void makeActive(const std::shared_ptr<FakeBook>& b) { active_ = b; }
    std::shared_ptr<FakeBook> active() const { return active_.lock(); }
    void remove(FakeBook& b) {
        std::erase_if(books, [&](const auto& p) { return p.get() == &b; });
        if (active_.lock().get() == &b || active_.expired())
            active_ = books.empty() ? std::weak_ptr<FakeBook>() : books.back();
    }

    std::string version() const override { return "16.0"; }
    std::vector<std::shared_ptr<host::Workbook>> workbooks() override { return {books.begin(), books.end()}; }
    std::shared_ptr<host::Workbook> activeWorkbook() override { return active_.lock(); }
    std::shared_ptr<host::Workbook> openWorkbook(const std::string& path) override {
        auto f = files.find(path);
        if (f == files.end()) throw HostError(host::error::kFileNotFound, "Cannot open " + path);
        openedPaths.push_back(path);
        FakeBook& b = addBook(path, {});
        f->second(b);
        return books.back();
    }
    std::shared_ptr<host::Workbook> addWorkbook() override {
        addBook("Book" + std::to_string(books.size() + 1), {"Sheet1"});
        return books.back();
    }
    std::shared_ptr<host::Worksheet> activeSheet() override {
        auto b = active_.lock();
        if (!b) throw HostError(host::error::kObjectRequired, "No workbook");
        return b->activeSheet();
    }
    host::Range activeCell() override { return host::Range(activeSheet(), Area::cell(1, 1)); }
    host::Range selection() override { return activeCell(); }
    bool enableEvents() const override { return events_; }
    void setEnableEvents(bool on) override { events_ = on; }
    bool screenUpdating() const override { return true; }
    void setScreenUpdating(bool) override {}
    bool displayAlerts() const override { return alerts_; }
    void setDisplayAlerts(bool on) override {
        alerts_ = on;
        alertSwitches.push_back(on);
    }
    std::vector<std::string> getOpenFilename(const std::string&, int, const std::string& title, bool) override {
        fileDialogTitles.push_back(title);
        if (fileDialogAnswers.empty()) return {};
        auto a = fileDialogAnswers.front();
        fileDialogAnswers.pop_front();
        return a;
    }
    bool showBuiltinDialog(int) override { return false; }
    void sendKeys(const std::string&, bool) override {}
    void quit() override { ++quitRequests; }
    host::CommandBars& commandBars() override { return bars_; }
    double countIf(const host::Range&, const Value&) override { return 0; }
    Value vlookup(const Value&, const Variant&, int, std::optional<bool>) override { return {}; }
    Variant evaluate(const std::string&) override { return Value(); }
    dialogs::Toolkit& toolkit() override { return tk; }
    void subscribe(host::ApplicationEvents*) override {}
    void unsubscribe(host::ApplicationEvents*) override {}

private:
    host::Application* previous_ = nullptr;
    std::weak_ptr<FakeBook> active_;
    host::CommandBars bars_;
    bool events_ = true;
    bool alerts_ = true;
};

inline host::Workbook& FakeSheet::parent() { return *book_; }
inline void FakeSheet::activate() { book_->activeIndex = book_->indexOf(*this); }
inline void FakeSheet::copyToNewWorkbook() {
    FakeBook& b = book_->app_->addBook("Book" + std::to_string(book_->app_->books.size() + 1), {});
    b.addNamed(name()).cells = cells;
}
inline void FakeSheet::copyBefore(Worksheet& before) {
    auto& target = static_cast<FakeSheet&>(before);
    FakeBook& into = *target.book_;
    auto copy = std::make_shared<FakeSheet>(into, into.freeName(name()));
    copy->cells = cells;
    into.sheets.insert(into.sheets.begin() + into.indexOf(before), copy);
}
inline void FakeSheet::deleteSheet() {
    FakeBook& b = *book_;
    int i = b.indexOf(*this);
    if (i < 0 || b.sheets.size() == 1) throw HostError(host::error::kApplicationDefined, "Cannot delete the sheet");
    b.sheets.erase(b.sheets.begin() + i);
    b.activeIndex = std::min(b.activeIndex, int(b.sheets.size()) - 1);
}
inline host::Application& FakeBook::application() { return *app_; }
inline void FakeBook::activate() {
    for (auto& b : app_->books)
        if (b.get() == this) app_->makeActive(b);
}
inline void FakeBook::saveAs(const std::string& path) {
    if (!app_->saveFailure.empty()) throw HostError(host::error::kPermissionDenied, app_->saveFailure);
    engine::saveXlsWorkbook(model(), path);
    fullName_ = path;
    app_->savedPaths.push_back(path);
}
inline void FakeBook::close(bool) {
    closed = true;
    app_->remove(*this);
}

}  // namespace vorra::testing
