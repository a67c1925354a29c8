// A small in-memory host for the runner until the embedded engine's Application is
// wired in: workbooks of sheets of plain values, no formulas, no files. Operations it
// does not model raise a host error saying so.

#include <algorithm>
#include <cstdlib>
#include <map>

#include "HostPlatform.h"

namespace vorra::headless {

namespace {

using host::Area;
using host::CellRef;
using host::HostError;
using host::Value;
using host::Variant;

[[noreturn]] void unsupported(const std::string& what) {
    throw HostError(host::error::kApplicationDefined, what + " is not available in the scratch host");
}

class ScratchApplication;
class ScratchWorkbook;

class ScratchSheet final : public host::Worksheet {
public:
    ScratchSheet(ScratchWorkbook& book, std::string name) : book_(book), name_(std::move(name)) {}

    std::string name() const override { return name_; }
    void setName(const std::string& name) override { name_ = name; }
    host::Visibility visible() const override { return visible_; }
    void setVisible(host::Visibility v) override { visible_ = v; }
    host::Workbook& parent() override;
    void activate() override;
    void protect(const std::string& password) override {
        if (protected_) throw HostError(host::error::kApplicationDefined, "sheet already protected");
        protected_ = true;
        password_ = password;
    }
    void unprotect(const std::string& password) override {
        if (protected_ && password != password_)
            throw HostError(host::error::kApplicationDefined, "The password you supplied is not correct.");
        protected_ = false;
    }
    bool isProtected() const override { return protected_; }
    void printOut(int copies, bool collate) override;
    void copyToNewWorkbook() override { unsupported("copying a sheet"); }
    void copyBefore(Worksheet&) override { unsupported("copying a sheet"); }
    void copyAfter(Worksheet&) override { unsupported("copying a sheet"); }
    void deleteSheet() override { unsupported("deleting a sheet"); }

    host::Range range(const std::string& reference) override {
        return host::Range(shared_from_this(), host::parseArea(reference));
    }
    Area usedArea() const override {
        if (cells_.empty()) return Area::cell(1, 1);
        Area a{host::kMaxRows, host::kMaxColumns, 1, 1};
        for (const auto& [key, v] : cells_) {
            a.top = std::min(a.top, key.first);
            a.bottom = std::max(a.bottom, key.first);
            a.left = std::min(a.left, key.second);
            a.right = std::max(a.right, key.second);
        }
        return a;
    }
    Variant read(const Area& area) const override {
        if (area.count() > kMaxCells) unsupported("reading more than a million cells");
        if (area.isSingleCell()) return cell(area.topLeft());
        host::Array2D values(area.rows(), area.columns());
        for (int r = 1; r <= area.rows(); ++r)
            for (int c = 1; c <= area.columns(); ++c)
                values.at(r, c) = cell({area.top + r - 1, area.left + c - 1});
        return values;
    }
    void write(const Area& area, const Variant& values) override {
        if (area.count() > kMaxCells) unsupported("writing more than a million cells");
        if (protected_) throw HostError(host::error::kApplicationDefined, "The cell is protected.");
        for (int r = 1; r <= area.rows(); ++r)
            for (int c = 1; c <= area.columns(); ++c) {
                Value v;
                if (!values.isArray()) v = values.scalar();
                else if (r <= values.array().rows() && c <= values.array().columns()) v = values.array().at(r, c);
                else v = Value::error(host::ErrorValue::NA);
                setCell({area.top + r - 1, area.left + c - 1}, std::move(v));
            }
    }
    std::string formula(CellRef c) const override { return cell(c).toText(); }
    std::string displayText(CellRef c) const override { return cell(c).toText(); }
    CellRef end(CellRef, host::Direction) const override { unsupported("End"); }
    std::optional<CellRef> find(const Area&, const host::FindOptions&) override { unsupported("Find"); }
    std::optional<CellRef> findNext(const Area&, CellRef) override { unsupported("FindNext"); }
    void select(const Area& area, CellRef) override { selection_ = area; }
    int fontColorIndex(CellRef) const override { return 0; }
    void setFontColorIndex(const Area&, int) override {}
    std::string numberFormat(CellRef) const override { return "General"; }
    void setNumberFormat(const Area&, const std::string&) override {}
    bool locked(CellRef) const override { return true; }
    void setLocked(const Area&, bool) override {}

    Area selection() const { return selection_; }

private:
    static constexpr long long kMaxCells = 1000000;
    Value cell(CellRef c) const {
        auto it = cells_.find({c.row, c.column});
        return it == cells_.end() ? Value() : it->second;
    }
    // Texts are stored as typed: a text that reads as a number becomes that number.
    void setCell(CellRef c, Value v) {
        if (v.isText() && !v.asText().empty()) {
            const std::string& t = v.asText();
            char* end = nullptr;
            double d = std::strtod(t.c_str(), &end);
            if (end && *end == '\0' && t.find_first_of(" \t") == std::string::npos) v = Value::number(d);
        }
        if (v.isEmpty() || (v.isText() && v.asText().empty())) cells_.erase({c.row, c.column});
        else cells_[{c.row, c.column}] = std::move(v);
    }

    ScratchWorkbook& book_;
    std::string name_;
    host::Visibility visible_ = host::Visibility::Visible;
    bool protected_ = false;
    std::string password_;
    std::map<std::pair<int, int>, Value> cells_;
    Area selection_ = Area::cell(1, 1);
};

class ScratchWorkbook final : public host::Workbook {
public:
    ScratchWorkbook(ScratchApplication& app, std::string name) : app_(app), name_(std::move(name)) {}

    std::string name() const override { return name_; }
    std::string fullName() const override { return name_; }
    host::Application& application() override;
    std::vector<std::shared_ptr<host::Worksheet>> worksheets() override {
        return {sheets_.begin(), sheets_.end()};
    }
    std::shared_ptr<host::Worksheet> sheet(const std::string& name) override {
        for (auto& s : sheets_)
            if (s->name() == name) return s;
        throw HostError(host::error::kSubscriptOutOfRange, "Subscript out of range: no sheet " + name);
    }
    std::shared_ptr<host::Worksheet> addSheet(host::Worksheet* after) override {
        std::string name;
        for (int n = 1;; ++n) {
            name = "Sheet" + std::to_string(n);
            if (std::none_of(sheets_.begin(), sheets_.end(), [&](auto& s) { return s->name() == name; })) break;
        }
        auto sheet = std::make_shared<ScratchSheet>(*this, name);
        auto at = sheets_.begin() + active_;
        if (after)
            at = std::find_if(sheets_.begin(), sheets_.end(), [&](auto& s) { return s.get() == after; }) + 1;
        auto inserted = sheets_.insert(std::min(at, sheets_.end()), sheet);
        active_ = static_cast<int>(inserted - sheets_.begin());
        return sheet;
    }
    std::shared_ptr<host::Worksheet> activeSheet() override { return sheets_.at(static_cast<size_t>(active_)); }
    void activate() override;
    void save() override { unsupported("saving"); }
    void saveAs(const std::string&) override { unsupported("saving"); }
    void close(bool) override;
    bool saved() const override { return false; }
    std::vector<std::pair<std::string, std::string>> names() const override { return names_; }
    void addName(const std::string& name, const std::string& refersTo) override {
        names_.emplace_back(name, refersTo);
    }
    std::vector<host::ExternalLink> linkSources() const override { return {}; }
    void changeLink(const std::string&, const std::string&) override {}

    void activateSheet(const ScratchSheet& sheet) {
        for (size_t i = 0; i < sheets_.size(); ++i)
            if (sheets_[i].get() == &sheet) active_ = static_cast<int>(i);
    }
    ScratchApplication& app() { return app_; }

private:
    ScratchApplication& app_;
    std::string name_;
    std::vector<std::shared_ptr<ScratchSheet>> sheets_;
    int active_ = 0;
    std::vector<std::pair<std::string, std::string>> names_;
};

class ScratchApplication final : public host::Application, public HostPlatform {
public:
    ScratchApplication(dialogs::Toolkit& toolkit, std::string version)
        : toolkit_(toolkit), version_(std::move(version)) {}

    host::Application& application() override { return *this; }
    std::shared_ptr<host::Workbook> newSampleWorkbook() override { unsupported("the sample template"); }

    std::string version() const override { return version_; }
    std::vector<std::shared_ptr<host::Workbook>> workbooks() override { return {books_.begin(), books_.end()}; }
    std::shared_ptr<host::Workbook> activeWorkbook() override { return active_; }
    std::shared_ptr<host::Workbook> openWorkbook(const std::string&) override { unsupported("opening files"); }
    std::shared_ptr<host::Workbook> addWorkbook() override {
        auto book = std::make_shared<ScratchWorkbook>(*this, "Book" + std::to_string(++bookNumber_));
        book->addSheet(nullptr);
        books_.push_back(book);
        active_ = book;
        if (enableEvents_)
            for (auto* sink : sinks_) sink->newWorkbook(*book);
        return book;
    }
    std::shared_ptr<host::Worksheet> activeSheet() override {
        if (!active_) throw HostError(host::error::kObjectRequired, "No workbook is open");
        return active_->activeSheet();
    }
    host::Range activeCell() override { return selection().cells(1, 1); }
    host::Range selection() override {
        auto sheet = activeSheet();
        return host::Range(sheet, static_cast<ScratchSheet&>(*sheet).selection());
    }
    bool enableEvents() const override { return enableEvents_; }
    void setEnableEvents(bool on) override { enableEvents_ = on; }
    bool screenUpdating() const override { return screenUpdating_; }
    void setScreenUpdating(bool on) override { screenUpdating_ = on; }
    bool displayAlerts() const override { return displayAlerts_; }
    void setDisplayAlerts(bool on) override { displayAlerts_ = on; }
    std::vector<std::string> getOpenFilename(const std::string& filter, int filterIndex, const std::string& title,
                                             bool multiSelect) override {
        return toolkit_.openFileDialog({filter, filterIndex, title, multiSelect});
    }
    bool showBuiltinDialog(int dialogId) override {
        std::string keys = std::move(pendingKeys_);
        pendingKeys_.clear();
        return toolkit_.builtinDialog(dialogId, keys);
    }
    void sendKeys(const std::string& keys, bool) override { pendingKeys_ += keys; }
    void quit() override {
        if (report) report("quit requested");
    }
    host::CommandBars& commandBars() override { return bars_; }
    double countIf(const host::Range&, const Value&) override { unsupported("COUNTIF"); }
    Value vlookup(const Value&, const Variant&, int, std::optional<bool>) override { unsupported("VLOOKUP"); }
    Variant evaluate(const std::string&) override { unsupported("formula evaluation"); }
    dialogs::Toolkit& toolkit() override { return toolkit_; }
    void subscribe(host::ApplicationEvents* sink) override { sinks_.push_back(sink); }
    void unsubscribe(host::ApplicationEvents* sink) override { std::erase(sinks_, sink); }

    void activateBook(const ScratchWorkbook& book) {
        for (auto& b : books_)
            if (b.get() == &book) active_ = b;
    }
    void closeBook(const ScratchWorkbook& book) {
        std::erase_if(books_, [&](auto& b) { return b.get() == &book; });
        if (active_.get() == &book) active_ = books_.empty() ? nullptr : books_.back();
    }

private:
    dialogs::Toolkit& toolkit_;
    std::string version_;
    std::vector<std::shared_ptr<ScratchWorkbook>> books_;
    std::shared_ptr<ScratchWorkbook> active_;
    int bookNumber_ = 0;
    bool enableEvents_ = true;
    bool screenUpdating_ = true;
    bool displayAlerts_ = true;
    std::string pendingKeys_;
    host::CommandBars bars_;
    std::vector<host::ApplicationEvents*> sinks_;
};

host::Workbook& ScratchSheet::parent() { return book_; }
void ScratchSheet::activate() {
    book_.activate();
    book_.activateSheet(*this);
}
void ScratchSheet::printOut(int copies, bool collate) {
    auto& app = book_.app();
    if (app.report)
        app.report("print-out " + name_ + " copies " + std::to_string(copies) + (collate ? " collated" : ""));
}
host::Application& ScratchWorkbook::application() { return app_; }
void ScratchWorkbook::activate() { app_.activateBook(*this); }
void ScratchWorkbook::close(bool) { app_.closeBook(*this); }

}  // namespace

std::unique_ptr<HostPlatform> makeHostPlatform(HeadlessToolkit& toolkit, const std::string& version) {
    return std::make_unique<ScratchApplication>(toolkit, version);
}

}  // namespace vorra::headless
