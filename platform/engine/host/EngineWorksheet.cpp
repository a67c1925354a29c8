// Sheet-level operations of the embedded host: name, visibility, activation,
// protection, printing, copying, deleting, selection and cell formats.
#include <optional>

#include "platform/engine/host/EngineHost.h"

#include <cctype>
#include <map>
#include <utility>

#include "platform/engine/host/SheetPassword.h"
#include "platform/engine/print/PrintLayout.h"
#include "platform/engine/print/Printer.h"

namespace vorra::engine {

using host::Area;
using host::CellRef;
using host::HostError;
namespace error = host::error;

namespace {

constexpr int kColorIndexAutomatic = -4105;
constexpr int kHighestColorIndex = 56;
constexpr size_t kMaxNumberFormatLength = 255;

int internRaw(std::vector<std::string>& pool, const std::vector<std::string>& from, int id) {
    if (id < 0 || id >= int(from.size())) return 0;
    const std::string& xml = from[size_t(id)];
    auto it = std::find(pool.begin(), pool.end(), xml);
    if (it != pool.end()) return int(it - pool.begin());
    pool.push_back(xml);
    return int(pool.size()) - 1;
}

// Copies a quoted part of a formula ('sheet name' or "text") from just after its opening
// quote up to and including its closing quote, a doubled quote standing for itself.
size_t copyQuoted(const std::string& f, size_t i, char quote, std::string& out) {
    while (i < f.size()) {
        out += f[i];
        if (f[i] == quote) {
            if (i + 1 < f.size() && f[i + 1] == quote) {
                out += f[i + 1];
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

// A formula text with each external book index "[n]" (before a sheet name, also inside
// a quoted one) replaced by map(n); text literals and structured references
// ("Table1[列]") stay as they are.
template <class Map>
std::string mapExternalBooks(const std::string& f, Map&& map) {
    auto isNameChar = [](char ch) {
        auto u = static_cast<unsigned char>(ch);
        return std::isalnum(u) || ch == '_' || ch == '.' || ch == ']' || u >= 0x80;
    };
    std::string out;
    out.reserve(f.size());
    for (size_t i = 0; i < f.size();) {
        const char c = f[i];
        if (c == '"') {
            out += c;
            i = copyQuoted(f, i + 1, '"', out);
            continue;
        }
        const bool quoted = c == '\'';
        const size_t at = quoted ? i + 1 : i;
        if (at < f.size() && f[at] == '[' && (quoted || i == 0 || !isNameChar(f[i - 1]))) {
            size_t j = at + 1;
            while (j < f.size() && j - at <= 9 && std::isdigit(static_cast<unsigned char>(f[j]))) ++j;
            if (j > at + 1 && j < f.size() && f[j] == ']') {
                if (quoted) out += c;
                out += "[" + std::to_string(map(std::stoi(f.substr(at + 1, j - at - 1)))) + "]";
                i = quoted ? copyQuoted(f, j + 1, '\'', out) : j + 1;
                continue;
            }
        }
        out += c;
        i = quoted ? copyQuoted(f, i + 1, '\'', out) : i + 1;
    }
    return out;
}

// The links of the source workbook that the copied sheet's formulas name go into the
// target with the copy (a link to the same file that the target has already is used
// again), and the copy's formulas are renumbered to the target's links.
void carryExternalLinks(const WorkbookModel& from, WorkbookModel& to, Sheet& copy) {
    if (from.externalLinks.empty()) return;
    std::map<int, int> carried;
    auto indexInTarget = [&](int n) {
        if (n < 1 || n > int(from.externalLinks.size())) return n;
        if (auto it = carried.find(n); it != carried.end()) return it->second;
        const ExternalLinkModel& link = from.externalLinks[size_t(n - 1)];
        int index = 0;
        for (size_t k = 0; k < to.externalLinks.size() && index == 0; ++k)
            if (to.externalLinks[k].target == link.target) index = int(k) + 1;
        if (index == 0) {
            to.externalLinks.push_back(link);
            index = int(to.externalLinks.size());
        }
        carried.emplace(n, index);
        return index;
    };
    std::vector<int> columnNumbers;
    for (const auto& [c, cells] : copy.cells.columns()) columnNumbers.push_back(c);
    for (int c : columnNumbers)
        for (auto& [r, cell] : copy.cells.columnForWrite(c))
            if (cell.hasFormula() && cell.formula.find('[') != std::string::npos)
                cell.formula = mapExternalBooks(cell.formula, indexInTarget);
}

}  // namespace

Sheet& EngineWorksheet::model() const {
    if (!sheet_)
        throw HostError(error::kObjectRequired,
                        "The sheet has been deleted or its workbook closed");
    return *sheet_;
}

EngineWorkbook& EngineWorksheet::book() const {
    model();
    return *book_;
}

int EngineWorksheet::index() const { return book().indexOf(*this); }

host::Workbook& EngineWorksheet::parent() { return book(); }

std::string EngineWorksheet::name() const { return model().name; }

void EngineWorksheet::setName(const std::string& name) {
    Sheet& s = model();
    if (name == s.name) return;
    requireValidSheetName(name);
    if (book().sheetNameTaken(name, &s))
        throw HostError(error::kApplicationDefined,
                        "Cannot rename a sheet to the same name as another sheet: \"" + name + "\"");
    std::string old = s.name;
    s.name = name;
    book().sheetRenamed(old, name);
}

host::Visibility EngineWorksheet::visible() const {
    switch (model().visibility) {
        case SheetVisibility::Visible: return host::Visibility::Visible;
        case SheetVisibility::Hidden: return host::Visibility::Hidden;
        case SheetVisibility::VeryHidden: return host::Visibility::VeryHidden;
    }
    return host::Visibility::Visible;
}

void EngineWorksheet::setVisible(host::Visibility v) {
    Sheet& s = model();
    SheetVisibility target = v == host::Visibility::Visible  ? SheetVisibility::Visible
                             : v == host::Visibility::Hidden ? SheetVisibility::Hidden
                                                             : SheetVisibility::VeryHidden;
    if (target == s.visibility) return;
    WorkbookModel& m = book().model();
    if (target != SheetVisibility::Visible) {
        int visibleOthers = 0;
        for (auto& other : m.sheets)
            if (other.get() != &s && other->visibility == SheetVisibility::Visible) ++visibleOthers;
        if (visibleOthers == 0)
            throw HostError(error::kApplicationDefined,
                            "Unable to hide \"" + s.name +
                                "\": a workbook must keep at least one visible sheet");
    }
    s.visibility = target;
    int me = index();
    if (target != SheetVisibility::Visible && m.activeSheet == me) {
        for (int step = 1; step < int(m.sheets.size()); ++step) {
            int i = (me + step) % int(m.sheets.size());
            if (m.sheets[size_t(i)]->visibility == SheetVisibility::Visible) {
                m.activeSheet = i;
                break;
            }
        }
    }
    book().markChanged();
    book().app().tellStructure();
}

void EngineWorksheet::activate() {
    Sheet& s = model();
    if (s.visibility != SheetVisibility::Visible)
        throw HostError(error::kSheetHidden,
                        "Activate method of Worksheet class failed: \"" + s.name + "\" is hidden");
    book().setActiveSheet(index());
    book().activate();
}

bool EngineWorksheet::isProtected() const { return model().protection.enabled; }

void EngineWorksheet::protect(const std::string& password) {
    Sheet& s = model();
    // Protecting a protected sheet keeps its protection and password.
    if (s.protection.enabled) return;
    SheetProtection p;
    p.enabled = true;
    if (!password.empty()) p.passwordHash = legacyPasswordHash(password);
    s.protection = p;
    book().markChanged();
}

void EngineWorksheet::unprotect(const std::string& password) {
    Sheet& s = model();
    if (!s.protection.enabled) return;
    if (!passwordMatches(s.protection, password))
        throw HostError(error::kWrongPassword,
                        "The password you supplied is not correct for the sheet \"" + s.name + "\"");
    s.protection = SheetProtection{};
    book().markChanged();
}

void EngineWorksheet::printOut(int copies, bool collate) {
    model();
    if (copies < 1)
        throw HostError(error::kInvalidArgument, "PrintOut needs at least one copy");
    EngineWorkbook& wb = book();
    bool cancel = false;
    wb.app().raise([&](host::ApplicationEvents& e) { e.workbookBeforePrint(wb, cancel); });
    if (cancel) return;
    Printer* printer = wb.app().services().printer();
    if (!printer)
        throw HostError(error::kNoPrinter,
                        "PrintOut method of Worksheet class failed: no printer is installed");
    // A bill prints on one page of its paper or not at all, refused before anything is
    // sent. A sheet that cannot be laid out at all is the printer's to report.
    std::optional<PrintLayout> layout;
    try {
        layout = layoutSheet(wb.model(), index());
    } catch (const HostError&) {
    }
    if (layout) {
        try {
            requireOnePage(*layout, model().pageSetup);
        } catch (const HostError& e) {
            printer->refused(layout->sheetName, e.number(), e.what());
            throw;
        }
    }
    printer->printSheet(wb.model(), index(), copies, collate);
}

std::unique_ptr<Sheet> EngineWorksheet::cloneFor(StyleSheet& targetStyles) const {
    const Sheet& src = model();
    auto copy = std::make_unique<Sheet>(src);
    const StyleSheet& from = book().model().styles;
    if (&from == &targetStyles) return copy;

    std::map<int, int> mapped;
    auto mapStyle = [&](int style) {
        if (style < 0 || style >= int(from.formats.size())) return 0;
        auto it = mapped.find(style);
        if (it != mapped.end()) return it->second;
        CellFormat f = from.format(style);
        f.fontId = targetStyles.internFont(from.font(f.fontId));
        f.fillId = internRaw(targetStyles.fillsXml, from.fillsXml, f.fillId);
        f.borderId = internRaw(targetStyles.bordersXml, from.bordersXml, f.borderId);
        int n = targetStyles.internFormat(f);
        mapped.emplace(style, n);
        return n;
    };
    std::vector<int> columnNumbers;
    for (const auto& [c, cells] : copy->cells.columns()) columnNumbers.push_back(c);
    for (int c : columnNumbers)
        for (auto& [r, cell] : copy->cells.columnForWrite(c)) cell.style = mapStyle(cell.style);
    for (auto& [r, info] : copy->rows)
        if (info.style >= 0) info.style = mapStyle(info.style);
    for (auto& [c, info] : copy->columns) info.style = mapStyle(info.style);
    return copy;
}

void EngineWorksheet::copyTo(EngineWorkbook& target, int position) {
    EngineWorkbook& source = book();
    auto copy = cloneFor(target.model().styles);
    if (&target != &source) carryExternalLinks(source.model(), target.model(), *copy);
    copy->name = nameForCopy(copy->name, [&](const std::string& n) { return target.sheetNameTaken(n); });
    copy->visibility = SheetVisibility::Visible;
    auto inserted = target.insertSheet(std::move(copy), position);
    // Inserting into the source workbook may have moved this sheet along.
    target.carryNames(source, index(), target.indexOf(*inserted));
    target.formulas().recalculateAll();
    target.activate();
}

void EngineWorksheet::copyBefore(host::Worksheet& before) {
    auto* other = dynamic_cast<EngineWorksheet*>(&before);
    if (!other || !other->attached())
        throw HostError(error::kApplicationDefined, "Copy: the target sheet is not open");
    copyTo(other->book(), other->index());
}

void EngineWorksheet::copyAfter(host::Worksheet& after) {
    auto* other = dynamic_cast<EngineWorksheet*>(&after);
    if (!other || !other->attached())
        throw HostError(error::kApplicationDefined, "Copy: the target sheet is not open");
    copyTo(other->book(), other->index() + 1);
}

void EngineWorksheet::copyToNewWorkbook() {
    EngineApplication& app = book().app();
    auto modelForCopy = std::make_unique<WorkbookModel>();
    auto copy = cloneFor(modelForCopy->styles);
    copy->visibility = SheetVisibility::Visible;
    modelForCopy->date1904 = book().model().date1904;
    modelForCopy->sheets.push_back(std::move(copy));
    std::string bookName = app.takeBookName();
    auto wb = app.adopt(std::move(modelForCopy), bookName, bookName);
    wb->carryNames(book(), index(), 0);
    wb->formulas().recalculateAll();
    app.raise([&](host::ApplicationEvents& e) { e.newWorkbook(*wb); });
}

void EngineWorksheet::deleteSheet() {
    Sheet& s = model();
    EngineWorkbook& wb = book();
    if (s.visibility == SheetVisibility::Visible) {
        int visible = 0;
        for (auto& other : wb.model().sheets)
            if (other->visibility == SheetVisibility::Visible) ++visible;
        if (visible <= 1)
            throw HostError(error::kApplicationDefined,
                            "Delete method of Worksheet class failed: \"" + s.name +
                                "\" is the workbook's last visible sheet");
    }
    auto keep = std::static_pointer_cast<EngineWorksheet>(shared_from_this());
    wb.removeSheet(*this);
}

host::Range EngineWorksheet::range(const std::string& reference) {
    model();
    auto [sheet, area] = book().resolve(reference, *this);
    return host::Range(sheet, area);
}

Area EngineWorksheet::usedArea() const {
    if (auto b = model().cells.bounds()) return *b;
    return Area::cell(1, 1);
}

void EngineWorksheet::select(const Area& area, CellRef activeCell) {
    Sheet& s = model();
    if (!area.valid())
        throw HostError(error::kApplicationDefined, "Select: the range is outside the sheet");
    EngineWorkbook& wb = book();
    EngineApplication& app = wb.app();
    if (app.activeEngineWorkbook().get() != &wb || wb.model().activeSheet != index())
        throw HostError(error::kApplicationDefined,
                        "Select method of Range class failed: the sheet \"" + s.name +
                            "\" is not the active sheet");
    if (!area.contains(activeCell)) activeCell = area.topLeft();
    if (s.selection == area && s.activeCell == activeCell) return;
    s.selection = area;
    s.activeCell = activeCell;
    app.tellChange({EngineChange::Kind::Selection, &s, area});
    auto self = shared_from_this();
    app.raise([&](host::ApplicationEvents& e) {
        e.sheetSelectionChange(*this, host::Range(self, area));
    });
}

int EngineWorksheet::inheritedStyle(CellRef cell) const {
    const Sheet& s = model();
    if (!s.rows.empty()) {
        auto r = s.rows.find(cell.row);
        if (r != s.rows.end() && r->second.style >= 0) return r->second.style;
    }
    if (!s.columns.empty()) {
        auto c = s.columns.find(cell.column);
        if (c != s.columns.end()) return c->second.style;
    }
    return 0;
}

int EngineWorksheet::effectiveStyle(CellRef cell) const {
    if (const Cell* c = std::as_const(model().cells).find(cell)) return c->style;
    return inheritedStyle(cell);
}

const CellFormat& EngineWorksheet::effectiveFormat(CellRef cell) const {
    return book().model().styles.format(effectiveStyle(cell));
}

void EngineWorksheet::requireUnprotected(const char* operation) const {
    const Sheet& s = model();
    if (s.protection.enabled)
        throw HostError(error::kSheetProtected,
                        std::string("Cannot ") + operation + " on the protected sheet \"" + s.name +
                            "\"; unprotect it first");
}

void EngineWorksheet::changeFormats(const Area& area,
                                    const std::function<void(CellFormat&)>& change) {
    Sheet& s = model();
    if (!area.valid()) throw HostError(error::kApplicationDefined, "The range is outside the sheet");
    requireUnprotected("change cell formats");
    StyleSheet& styles = book().model().styles;
    std::map<int, int> mapped;
    auto restyle = [&](int style) {
        auto it = mapped.find(style);
        if (it != mapped.end()) return it->second;
        CellFormat f = styles.format(style);
        change(f);
        int n = styles.internFormat(f);
        mapped.emplace(style, n);
        return n;
    };
    bool wholeColumns = area.top == 1 && area.bottom == host::kMaxRows;
    bool wholeRows = area.left == 1 && area.right == host::kMaxColumns;
    if (wholeColumns) {
        // Where a formatted row crosses the columns, the crossing cells get the row's
        // format as their own first, so that the row keeps it elsewhere.
        for (const auto& [r, info] : s.rows) {
            if (info.style < 0) continue;
            for (int c = area.left; c <= area.right; ++c)
                if (!s.cells.find({r, c})) s.cells.at({r, c}).style = info.style;
        }
        for (int c = area.left; c <= area.right; ++c) {
            ColumnInfo& info = s.columns[c];
            info.style = restyle(info.style);
            if (auto* col = s.cells.mutableColumn(c))
                for (auto& [r, cell] : *col) cell.style = restyle(cell.style);
        }
    } else if (wholeRows) {
        // The same for formatted columns crossing the rows.
        for (const auto& [c, info] : s.columns) {
            if (info.style == 0) continue;
            for (int r = area.top; r <= area.bottom; ++r)
                if (!s.cells.find({r, c})) s.cells.at({r, c}).style = info.style;
        }
        for (int r = area.top; r <= area.bottom; ++r) {
            RowInfo& info = s.rows[r];
            info.style = restyle(info.style < 0 ? 0 : info.style);
        }
        std::vector<int> columnNumbers;
        for (const auto& [c, cells] : s.cells.columns()) columnNumbers.push_back(c);
        for (int c : columnNumbers) {
            auto& col = s.cells.columnForWrite(c);
            for (auto it = col.lower_bound(area.top); it != col.end() && it->row <= area.bottom; ++it)
                it->cell.style = restyle(it->cell.style);
        }
    } else {
        if (area.count() > kMaxCellsPerOperation)
            throw HostError(error::kApplicationDefined, "Too many cells to format at once");
        for (int c = area.left; c <= area.right; ++c) {
            auto& col = s.cells.columnForWrite(c);
            auto it = col.lower_bound(area.top);
            for (int r = area.top; r <= area.bottom; ++r) {
                if (it == col.end() || it->row != r) {
                    Cell fresh;
                    fresh.style = inheritedStyle({r, c});
                    it = col.emplace_hint(it, r, std::move(fresh));
                }
                it->cell.style = restyle(it->cell.style);
                ++it;
            }
        }
    }
    book().markChanged();
    book().app().tellChange({EngineChange::Kind::Cells, &s, area});
}

int EngineWorksheet::fontColorIndex(CellRef cell) const {
    return book().model().styles.font(effectiveFormat(cell).fontId).colorIndex;
}

void EngineWorksheet::setFontColorIndex(const Area& area, int colorIndex) {
    if (colorIndex == kColorIndexAutomatic) colorIndex = 0;
    if (colorIndex < 0 || colorIndex > kHighestColorIndex)
        throw HostError(error::kApplicationDefined,
                        "Unable to set the ColorIndex property of the Font class to " +
                            std::to_string(colorIndex));
    StyleSheet& styles = book().model().styles;
    changeFormats(area, [&](CellFormat& f) {
        Font font = styles.font(f.fontId);
        font.colorIndex = colorIndex;
        font.colorRgb.clear();
        f.fontId = styles.internFont(font);
    });
}

std::string EngineWorksheet::numberFormat(CellRef cell) const {
    return effectiveFormat(cell).numberFormat;
}

void EngineWorksheet::setNumberFormat(const Area& area, const std::string& format) {
    if (format.size() > kMaxNumberFormatLength)
        throw HostError(error::kApplicationDefined, "The number format is too long");
    std::string code = format.empty() ? "General" : format;
    changeFormats(area, [&](CellFormat& f) { f.numberFormat = code; });
}

bool EngineWorksheet::locked(CellRef cell) const { return effectiveFormat(cell).locked; }

void EngineWorksheet::setLocked(const Area& area, bool isLocked) {
    changeFormats(area, [&](CellFormat& f) { f.locked = isLocked; });
}

}  // namespace vorra::engine
