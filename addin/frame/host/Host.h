#pragma once
// The spreadsheet host as the add-in sees it: Application, Workbook, Worksheet and
// Range, the application events and the command bars. Everything the add-in does to
// a workbook goes through these interfaces; the host behind them is either the
// embedded workbook engine or the desktop built on it.
//
// Every operation may throw HostError. The add-in wraps statements in resume() where
// an error is to skip the statement.

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Address.h"
#include "CommandBars.h"
#include "DataAccess.h"
#include "HostError.h"
#include "Value.h"

namespace vorra::dialogs {
class Toolkit;  // the host's forms library, see addin/frame/dialogs
}

namespace vorra::host {

class Application;
class Workbook;
class Worksheet;
class Range;

// Sheet visibility with the host's values.
enum class Visibility : int { Visible = -1, Hidden = 0, VeryHidden = 2 };

// Directions of Range.End with the host's values.
enum class Direction : int { Up = -4162, Down = -4121, ToLeft = -4159, ToRight = -4161 };

// Range.Find arguments with the host's values.
enum class LookIn : int { Values = -4163, Formulas = -4123 };
enum class LookAt : int { Whole = 1, Part = 2 };
enum class SearchDirection : int { Next = 1, Previous = 2 };
enum class SearchOrder : int { ByRows = 1, ByColumns = 2 };

struct FindOptions {
    std::string what;
    LookIn lookIn = LookIn::Formulas;
    LookAt lookAt = LookAt::Part;
    SearchDirection direction = SearchDirection::Next;
    SearchOrder order = SearchOrder::ByRows;
    bool matchCase = false;
    // The cell after which the search starts; the range's first cell when absent, so
    // that a match in the first cell is found last.
    std::optional<CellRef> after;
};

// Application-level events. A sink overrides what it handles; the host calls every
// subscribed sink on its user-interface thread, and only while EnableEvents is on.
class ApplicationEvents {
public:
    virtual ~ApplicationEvents() = default;
    virtual void newWorkbook(Workbook&) {}
    virtual void sheetChange(Worksheet&, const Range&) {}
    virtual void sheetSelectionChange(Worksheet&, const Range&) {}
    virtual void workbookBeforeClose(Workbook&, bool& /*cancel*/) {}
    virtual void workbookBeforePrint(Workbook&, bool& /*cancel*/) {}
    virtual void workbookOpen(Workbook&) {}
};

class Worksheet : public std::enable_shared_from_this<Worksheet> {
public:
    virtual ~Worksheet() = default;

    virtual std::string name() const = 0;
    virtual void setName(const std::string& name) = 0;
    virtual Visibility visible() const = 0;
    virtual void setVisible(Visibility v) = 0;
    virtual Workbook& parent() = 0;

    virtual void activate() = 0;
    // Sheet protection. Unprotecting with a wrong password is refused with a host
    // error; unprotecting an unprotected sheet or protecting a protected one changes
    // nothing and raises nothing, as the host does.
    virtual void protect(const std::string& password) = 0;
    virtual void unprotect(const std::string& password) = 0;
    virtual bool isProtected() const = 0;

    // Prints the sheet with its own print area and page setup on the current printer.
    virtual void printOut(int copies, bool collate) = 0;
    // Copies the sheet into a new workbook, which becomes the active workbook.
    virtual void copyToNewWorkbook() = 0;
    // Copies the sheet before / after a sheet of any open workbook; the host renames a
    // copy whose name is taken in the target ("Sheet1 (2)").
    virtual void copyBefore(Worksheet& before) = 0;
    virtual void copyAfter(Worksheet& after) = 0;
    virtual void deleteSheet() = 0;

    // A range by address text ("K4", "e8:e407", "$A$1") or by defined name.
    virtual Range range(const std::string& reference) = 0;
    // The used range (the smallest area holding every non-empty cell; A1 when empty).
    virtual Area usedArea() const = 0;

    // Cell access underneath Range. Reads give a scalar for one cell and a 1-based
    // array for several; writes take either (a scalar fills the whole area). A text
    // starting with "=" is a formula; other texts are stored as if typed.
    virtual Variant read(const Area& area) const = 0;
    virtual void write(const Area& area, const Variant& values) = 0;
    // Writes values as they are, without reading texts as typed entries.
    virtual void writeValues(const Area& area, const Array2D& values) { write(area, values); }
    virtual std::string formula(CellRef cell) const = 0;
    virtual std::string displayText(CellRef cell) const = 0;
    virtual CellRef end(CellRef from, Direction direction) const = 0;
    virtual std::optional<CellRef> find(const Area& within, const FindOptions& options) = 0;
    // Continues the last Find of the host after the given cell.
    virtual std::optional<CellRef> findNext(const Area& within, CellRef after) = 0;
    virtual void select(const Area& area, CellRef activeCell) = 0;
    virtual int fontColorIndex(CellRef cell) const = 0;
    virtual void setFontColorIndex(const Area& area, int colorIndex) = 0;
    virtual std::string numberFormat(CellRef cell) const = 0;
    virtual void setNumberFormat(const Area& area, const std::string& format) = 0;
    virtual bool locked(CellRef cell) const = 0;
    virtual void setLocked(const Area& area, bool locked) = 0;

    // Conveniences in the host's words.
    Range cells(int row, int column);
    Range columns(int column);
};

// A rectangle of cells of one sheet. A plain value: copying it copies the reference.
class Range {
public:
    Range(std::shared_ptr<Worksheet> sheet, Area area) : sheet_(std::move(sheet)), area_(area) {
        if (!sheet_) throw HostError(error::kObjectRequired, "Range without a sheet");
        if (!area_.valid())
            throw HostError(error::kApplicationDefined, "Range outside the sheet");
    }

    Worksheet& worksheet() const { return *sheet_; }
    const std::shared_ptr<Worksheet>& sheet() const { return sheet_; }
    const Area& area() const { return area_; }

    int row() const { return area_.top; }
    int column() const { return area_.left; }
    int rowCount() const { return area_.rows(); }
    int columnCount() const { return area_.columns(); }
    std::string address() const { return absoluteAddress(area_); }

    Range offset(int rows, int columns) const {
        return Range(sheet_, {area_.top + rows, area_.left + columns, area_.bottom + rows,
                              area_.right + columns});
    }
    Range resize(int rows, int columns) const {
        if (rows < 1 || columns < 1)
            throw HostError(error::kApplicationDefined, "Resize to an empty range");
        return Range(sheet_, {area_.top, area_.left, area_.top + rows - 1,
                              area_.left + columns - 1});
    }
    // The cell at a 1-based position relative to the range's top-left cell.
    Range cells(int row, int column) const {
        return Range(sheet_, Area::cell(area_.top + row - 1, area_.left + column - 1));
    }

    Variant value() const { return sheet_->read(area_); }
    void setValue(const Variant& v) const { sheet_->write(area_, v); }
    // The first cell's value.
    Value scalar() const {
        Variant v = sheet_->read(Area::of(area_.topLeft()));
        return v.scalar();
    }
    std::string text() const { return sheet_->displayText(area_.topLeft()); }
    std::string formula() const { return sheet_->formula(area_.topLeft()); }
    void setFormula(const std::string& f) const { sheet_->write(area_, Value::text(f)); }
    void clearContents() const { sheet_->write(area_, Value()); }
    // Writes the rows of a recordset from this range's top-left cell, without the
    // headings; values keep their kind (texts are not read as typed entries).
    void copyFromRecordset(const Recordset& records) const {
        if (records.rows.empty()) return;
        size_t width = 0;
        for (const auto& r : records.rows) width = std::max(width, r.size());
        if (width == 0) return;
        Array2D block(static_cast<int>(records.rows.size()), static_cast<int>(width));
        for (size_t r = 0; r < records.rows.size(); ++r)
            for (size_t c = 0; c < records.rows[r].size(); ++c)
                block.at(static_cast<int>(r + 1), static_cast<int>(c + 1)) = records.rows[r][c];
        sheet_->writeValues(resize(block.rows(), block.columns()).area(), block);
    }

    Range end(Direction d) const { return Range(sheet_, Area::of(sheet_->end(area_.topLeft(), d))); }
    void select() const { sheet_->select(area_, area_.topLeft()); }

    std::optional<Range> find(const FindOptions& options) const {
        if (auto c = sheet_->find(area_, options)) return Range(sheet_, Area::of(*c));
        return std::nullopt;
    }
    std::optional<Range> findNext(const Range& after) const {
        if (auto c = sheet_->findNext(area_, after.area().topLeft()))
            return Range(sheet_, Area::of(*c));
        return std::nullopt;
    }

    int fontColorIndex() const { return sheet_->fontColorIndex(area_.topLeft()); }
    void setFontColorIndex(int index) const { sheet_->setFontColorIndex(area_, index); }
    std::string numberFormat() const { return sheet_->numberFormat(area_.topLeft()); }
    void setNumberFormat(const std::string& f) const { sheet_->setNumberFormat(area_, f); }
    bool locked() const { return sheet_->locked(area_.topLeft()); }
    void setLocked(bool l) const { sheet_->setLocked(area_, l); }

private:
    std::shared_ptr<Worksheet> sheet_;
    Area area_;
};

inline Range Worksheet::cells(int row, int column) {
    return Range(shared_from_this(), Area::cell(row, column));
}
inline Range Worksheet::columns(int column) {
    return Range(shared_from_this(), {1, column, kMaxRows, column});
}

struct ExternalLink {
    std::string source;  // the linked workbook's path as stored
};

class Workbook : public std::enable_shared_from_this<Workbook> {
public:
    virtual ~Workbook() = default;

    virtual std::string name() const = 0;      // file name, "Book1" before the first save
    virtual std::string fullName() const = 0;  // path and name
    virtual Application& application() = 0;

    // Worksheets in tab order.
    virtual std::vector<std::shared_ptr<Worksheet>> worksheets() = 0;
    // A sheet by exact name; host error 9 when there is none.
    virtual std::shared_ptr<Worksheet> sheet(const std::string& name) = 0;
    // Sheets.Add: a new worksheet after the given one (or before the active sheet when
    // none is given); it becomes the active sheet.
    virtual std::shared_ptr<Worksheet> addSheet(Worksheet* after) = 0;
    virtual std::shared_ptr<Worksheet> activeSheet() = 0;
    virtual void activate() = 0;

    virtual void save() = 0;
    virtual void saveAs(const std::string& path) = 0;
    virtual void close(bool saveChanges) = 0;
    virtual bool saved() const = 0;

    // Defined names (workbook scope): name → reference text such as "常用单位账号!$E$8:$I$50".
    virtual std::vector<std::pair<std::string, std::string>> names() const = 0;
    virtual void addName(const std::string& name, const std::string& refersTo) = 0;

    virtual std::vector<ExternalLink> linkSources() const = 0;
    virtual void changeLink(const std::string& oldSource, const std::string& newSource) = 0;
};

class Application {
public:
    virtual ~Application() = default;

    virtual std::string version() const = 0;

    virtual std::vector<std::shared_ptr<Workbook>> workbooks() = 0;
    // The active workbook; nullptr when none is open.
    virtual std::shared_ptr<Workbook> activeWorkbook() = 0;
    virtual std::shared_ptr<Workbook> openWorkbook(const std::string& path) = 0;
    virtual std::shared_ptr<Workbook> addWorkbook() = 0;

    // The active sheet and cell; host error when there is none.
    virtual std::shared_ptr<Worksheet> activeSheet() = 0;
    virtual Range activeCell() = 0;
    virtual Range selection() = 0;

    virtual bool enableEvents() const = 0;
    virtual void setEnableEvents(bool on) = 0;
    virtual bool screenUpdating() const = 0;
    virtual void setScreenUpdating(bool on) = 0;
    virtual bool displayAlerts() const = 0;
    virtual void setDisplayAlerts(bool on) = 0;

    // The host's open-file dialog; the chosen paths, empty when cancelled.
    virtual std::vector<std::string> getOpenFilename(const std::string& filter, int filterIndex,
                                                     const std::string& title,
                                                     bool multiSelect) = 0;
    // A built-in dialog (7: page setup) shown modally on the active sheet; whether the
    // user confirmed it.
    virtual bool showBuiltinDialog(int dialogId) = 0;
    // Queues keys for the next dialog the host shows ("{RIGHT}").
    virtual void sendKeys(const std::string& keys, bool wait) = 0;
    virtual void quit() = 0;
    virtual CommandBars& commandBars() = 0;

    // Worksheet functions and formula evaluation through the host's calculation.
    virtual double countIf(const Range& range, const Value& criteria) = 0;
    // VLOOKUP; a lookup that finds nothing is a host error, as the worksheet function
    // object raises it.
    virtual Value vlookup(const Value& lookup, const Variant& table, int column,
                          std::optional<bool> rangeLookup) = 0;
    virtual Variant evaluate(const std::string& formula) = 0;

    // The host's forms library: forms, message and input boxes, window services.
    virtual dialogs::Toolkit& toolkit() = 0;
    // Query access to workbook files; a host error when the host offers none.
    virtual DataAccess& dataAccess() {
        throw HostError(error::kApplicationDefined, "This host offers no data access");
    }

    virtual void subscribe(ApplicationEvents* sink) = 0;
    virtual void unsubscribe(ApplicationEvents* sink) = 0;

    // Conveniences in the host's words, on the active workbook.
    std::shared_ptr<Worksheet> sheets(const std::string& name) {
        auto wb = activeWorkbook();
        if (!wb) throw HostError(error::kObjectRequired, "No workbook is open");
        return wb->sheet(name);
    }
    std::vector<std::shared_ptr<Worksheet>> worksheets() {
        auto wb = activeWorkbook();
        if (!wb) throw HostError(error::kObjectRequired, "No workbook is open");
        return wb->worksheets();
    }
    Range range(const std::string& reference) { return activeSheet()->range(reference); }
};

}  // namespace vorra::host
