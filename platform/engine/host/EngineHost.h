#pragma once
// The embedded host: Application, Workbook and Worksheet of the host interface,
// implemented in memory over the engine's workbook model. Each workbook owns its model
// and the formula engine that calculates it; the application owns the open workbooks,
// the switches, the command bars, the event sinks and the last Find's options.

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addin/frame/host/Host.h"
#include "platform/engine/formula/FormulaEngine.h"
#include "platform/engine/data/WorkbookDataAccess.h"
#include "platform/engine/host/HostServices.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine {

class EngineApplication;
class EngineWorkbook;

// Largest number of cells one read, write or format change may touch, so that a
// stray whole-sheet reference cannot exhaust memory.
inline constexpr long long kMaxCellsPerOperation = 1LL << 22;

// Sheet names as the host allows them: 1 to 31 characters, none of : \\ / ? * [ ],
// not starting or ending with an apostrophe. Throws host::HostError otherwise.
void requireValidSheetName(const std::string& name);
// The name the host gives a copy of a sheet when its name is taken: "Name (2)",
// "Name (3)", ... (a copy of "Name (2)" counts on from "Name").
std::string nameForCopy(const std::string& name, const std::function<bool(const std::string&)>& taken);
// Text equality with case ignored, as the host compares sheet and defined names.
bool sameNameIgnoringCase(const std::string& a, const std::string& b);

// What changed in the engine, told to the views that show it (the desktop's grid) so
// that they redraw only that: cells of a sheet (contents, formula results, formats), a
// sheet's selection, or anything else (workbooks opened, closed or activated, sheets
// added, removed, renamed or activated, the saved state).
struct EngineChange {
    enum class Kind { Cells, Selection, Structure };
    Kind kind = Kind::Structure;
    const Sheet* sheet = nullptr;  // Cells and Selection
    host::Area area;               // Cells
};

class ChangeListener {
public:
    virtual ~ChangeListener() = default;
    virtual void engineChanged(const EngineChange& change) = 0;
};

class EngineWorksheet final : public host::Worksheet {
public:
    EngineWorksheet(EngineWorkbook& book, Sheet& sheet) : book_(&book), sheet_(&sheet) {}

    std::string name() const override;
    void setName(const std::string& name) override;
    host::Visibility visible() const override;
    void setVisible(host::Visibility v) override;
    host::Workbook& parent() override;

    void activate() override;
    void protect(const std::string& password) override;
    void unprotect(const std::string& password) override;
    bool isProtected() const override;

    void printOut(int copies, bool collate) override;
    void copyToNewWorkbook() override;
    void copyBefore(host::Worksheet& before) override;
    void copyAfter(host::Worksheet& after) override;
    void deleteSheet() override;

    host::Range range(const std::string& reference) override;
    host::Area usedArea() const override;

    host::Variant read(const host::Area& area) const override;
    void write(const host::Area& area, const host::Variant& values) override;
    std::string formula(host::CellRef cell) const override;
    std::string displayText(host::CellRef cell) const override;
    host::CellRef end(host::CellRef from, host::Direction direction) const override;
    std::optional<host::CellRef> find(const host::Area& within,
                                      const host::FindOptions& options) override;
    std::optional<host::CellRef> findNext(const host::Area& within, host::CellRef after) override;
    void select(const host::Area& area, host::CellRef activeCell) override;
    int fontColorIndex(host::CellRef cell) const override;
    void setFontColorIndex(const host::Area& area, int colorIndex) override;
    std::string numberFormat(host::CellRef cell) const override;
    void setNumberFormat(const host::Area& area, const std::string& format) override;
    bool locked(host::CellRef cell) const override;
    void setLocked(const host::Area& area, bool locked) override;

    // Engine side.
    Sheet& model() const;
    EngineWorkbook& book() const;
    int index() const;
    bool attached() const { return sheet_ != nullptr; }
    void detach() { book_ = nullptr, sheet_ = nullptr; }
    // The style index that governs the cell: its own, else its row's, else its column's.
    int effectiveStyle(host::CellRef cell) const;

private:
    const CellFormat& effectiveFormat(host::CellRef cell) const;
    void requireWritable(const host::Area& area, const char* operation) const;
    void requireUnprotected(const char* operation) const;
    void clearContents(const host::Area& area);
    void changeFormats(const host::Area& area, const std::function<void(CellFormat&)>& change);
    void copyTo(EngineWorkbook& target, int position);
    // A copy of the sheet whose styles index into the given style sheet.
    std::unique_ptr<Sheet> cloneFor(StyleSheet& targetStyles) const;
    int inheritedStyle(host::CellRef cell) const;
    void notifyChanged(const host::Area& area);
    // Recalculates after cells of the area changed and tells the views which cells did,
    // the formula results that changed with them included.
    void recalculateAndTell(const host::Area& area);

    EngineWorkbook* book_;
    Sheet* sheet_;
};

class EngineWorkbook final : public host::Workbook {
public:
    EngineWorkbook(EngineApplication& app, std::unique_ptr<WorkbookModel> model, std::string name,
                   std::string fullName);
    ~EngineWorkbook() override;

    std::string name() const override;
    std::string fullName() const override;
    host::Application& application() override;

    std::vector<std::shared_ptr<host::Worksheet>> worksheets() override;
    std::shared_ptr<host::Worksheet> sheet(const std::string& name) override;
    std::shared_ptr<host::Worksheet> addSheet(host::Worksheet* after) override;
    std::shared_ptr<host::Worksheet> activeSheet() override;
    void activate() override;

    void save() override;
    void saveAs(const std::string& path) override;
    void close(bool saveChanges) override;
    bool saved() const override;

    std::vector<std::pair<std::string, std::string>> names() const override;
    void addName(const std::string& name, const std::string& refersTo) override;

    std::vector<host::ExternalLink> linkSources() const override;
    void changeLink(const std::string& oldSource, const std::string& newSource) override;

    // Engine side.
    WorkbookModel& model() const;
    FormulaEngine& formulas() const;
    EngineApplication& app() const;
    bool attached() const { return app_ != nullptr; }
    std::shared_ptr<EngineWorksheet> sheetAt(int index) const;
    int indexOf(const EngineWorksheet& sheet) const;
    std::shared_ptr<EngineWorksheet> engineSheet(const std::string& name) const;
    // Inserts a sheet at a tab position and makes it active.
    std::shared_ptr<EngineWorksheet> insertSheet(std::unique_ptr<Sheet> sheet, int position);
    void removeSheet(EngineWorksheet& sheet);
    void setActiveSheet(int index);
    // A name no sheet of this workbook has, case ignored (the host's rule).
    bool sheetNameTaken(const std::string& name, const Sheet* except = nullptr) const;
    // A cell reference ("A1", "Sheet!A1") or defined name, seen from a sheet.
    std::pair<std::shared_ptr<EngineWorksheet>, host::Area> resolve(const std::string& reference,
                                                                    const EngineWorksheet& from);
    // Takes along the names of a sheet copied from the source workbook (which may be
    // this one) into the sheet at newIndex: the sheet's own names, and the workbook
    // names that refer to that sheet alone, which become the copy's own names when the
    // workbook name is already taken (always so within one workbook).
    void carryNames(const EngineWorkbook& source, int sourceIndex, int newIndex);
    // Defined names follow a renamed sheet.
    void sheetRenamed(const std::string& oldName, const std::string& newName);
    void markChanged();
    void detach();

private:
    EngineApplication* app_;
    std::unique_ptr<WorkbookModel> model_;
    std::unique_ptr<FormulaEngine> formulas_;
    std::vector<std::shared_ptr<EngineWorksheet>> sheets_;  // in the model's tab order
    std::string name_;
    std::string fullName_;
    int nextSheetNumber_;
    bool saved_ = true;
    bool hasFile_;  // saved or opened from a file at least once
};

class EngineApplication final : public host::Application {
public:
    // services: the platform's dialogs, printer and forms library; the engine uses
    // none when null.
    explicit EngineApplication(std::string version, HostServices* services = nullptr);
    ~EngineApplication() override;
    EngineApplication(const EngineApplication&) = delete;
    EngineApplication& operator=(const EngineApplication&) = delete;

    std::string version() const override { return version_; }

    std::vector<std::shared_ptr<host::Workbook>> workbooks() override;
    std::shared_ptr<host::Workbook> activeWorkbook() override;
    std::shared_ptr<host::Workbook> openWorkbook(const std::string& path) override;
    std::shared_ptr<host::Workbook> addWorkbook() override;

    std::shared_ptr<host::Worksheet> activeSheet() override;
    host::Range activeCell() override;
    host::Range selection() override;

    bool enableEvents() const override { return enableEvents_; }
    void setEnableEvents(bool on) override { enableEvents_ = on; }
    bool screenUpdating() const override { return screenUpdating_; }
    void setScreenUpdating(bool on) override { screenUpdating_ = on; }
    bool displayAlerts() const override { return displayAlerts_; }
    void setDisplayAlerts(bool on) override { displayAlerts_ = on; }

    std::vector<std::string> getOpenFilename(const std::string& filter, int filterIndex,
                                             const std::string& title, bool multiSelect) override;
    bool showBuiltinDialog(int dialogId) override;
    void sendKeys(const std::string& keys, bool wait) override;
    void quit() override;
    host::CommandBars& commandBars() override { return commandBars_; }

    double countIf(const host::Range& range, const host::Value& criteria) override;
    host::Value vlookup(const host::Value& lookup, const host::Variant& table, int column,
                        std::optional<bool> rangeLookup) override;
    host::Variant evaluate(const std::string& formula) override;

    dialogs::Toolkit& toolkit() override;
    host::DataAccess& dataAccess() override { return dataAccess_; }

    void subscribe(host::ApplicationEvents* sink) override;
    void unsubscribe(host::ApplicationEvents* sink) override;

    // Engine side.
    // Takes a workbook model (a new or loaded one) into the application and activates it.
    std::shared_ptr<EngineWorkbook> adopt(std::unique_ptr<WorkbookModel> model, std::string name,
                                          std::string fullName);
    std::shared_ptr<EngineWorkbook> activeEngineWorkbook() const;
    std::shared_ptr<EngineWorksheet> activeEngineSheet();
    void activateWorkbook(const EngineWorkbook& book);
    void removeWorkbook(const EngineWorkbook& book);
    // A fresh workbook with one empty sheet, named "Book<n>".
    std::shared_ptr<EngineWorkbook> newWorkbook();
    // The name of the next new workbook ("Book1", "Book2", ...).
    std::string takeBookName() { return "Book" + std::to_string(nextBookNumber_++); }
    HostServices& services() { return *services_; }
    bool quitRequested() const { return quitRequested_; }
    // The year that a typed month and day without a year falls in: the local clock's,
    // unless a test fixes it.
    int currentYear() const;
    void setCurrentYear(int year) { fixedYear_ = year; }
    const std::optional<host::FindOptions>& lastFind() const { return lastFind_; }
    void rememberFind(const host::FindOptions& options) { lastFind_ = options; }

    // The views told of every change, whether or not events are enabled.
    void addChangeListener(ChangeListener* listener) { listeners_.push_back(listener); }
    void removeChangeListener(ChangeListener* listener) { std::erase(listeners_, listener); }
    bool hasChangeListeners() const { return !listeners_.empty(); }
    void tellChange(const EngineChange& change) {
        auto listeners = listeners_;  // a listener may leave while told
        for (auto* l : listeners)
            if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end()) l->engineChanged(change);
    }
    void tellStructure() { tellChange({}); }

    // Calls every subscribed sink while events are enabled.
    template <class Deliver>
    void raise(Deliver&& deliver) {
        if (!enableEvents_) return;
        auto sinks = sinks_;  // a sink may unsubscribe while handling
        for (auto* sink : sinks)
            if (std::find(sinks_.begin(), sinks_.end(), sink) != sinks_.end()) deliver(*sink);
    }

private:
    std::string version_;
    HostServices defaultServices_;
    HostServices* services_;
    std::vector<std::shared_ptr<EngineWorkbook>> workbooks_;
    int active_ = -1;
    int nextBookNumber_ = 1;
    bool enableEvents_ = true;
    bool screenUpdating_ = true;
    bool displayAlerts_ = true;
    bool quitRequested_ = false;
    int fixedYear_ = 0;
    std::string pendingKeys_;
    host::CommandBars commandBars_;
    std::vector<host::ApplicationEvents*> sinks_;
    std::vector<ChangeListener*> listeners_;
    std::optional<host::FindOptions> lastFind_;
    WorkbookDataAccess dataAccess_;
};

}  // namespace vorra::engine
