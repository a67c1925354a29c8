#include <filesystem>
#include <utility>

#include "platform/engine/files/WorkbookFiles.h"
#include "platform/engine/formula/FormulaText.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/host/TextMatch.h"

namespace vorra::engine {

using host::HostError;
namespace error = host::error;

namespace {

constexpr size_t kMaxSheetNameLength = 31;  // characters
constexpr size_t kMaxDefinedNameLength = 255;

// The first characters of a UTF-8 text, never cutting a character in two.
std::string firstCharacters(const std::string& utf8, size_t count) {
    size_t n = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (n == count) return utf8.substr(0, i);
            ++n;
        }
    }
    return utf8;
}

void requireValidDefinedName(const std::string& name) {
    auto refuse = [&](const std::string& why) {
        return HostError(error::kApplicationDefined,
                         "\"" + name + "\" is not a valid name: " + why);
    };
    if (name.empty() || name.size() > kMaxDefinedNameLength) throw refuse("empty or too long");
    unsigned char first = static_cast<unsigned char>(name[0]);
    if (!(std::isalpha(first) || first == '_' || first == '\\' || first >= 0x80))
        throw refuse("it must start with a letter or an underscore");
    for (unsigned char c : name)
        if (c < 0x80 && !std::isalnum(c) && c != '_' && c != '.' && c != '\\')
            throw refuse("it may hold only letters, digits, underscores and periods");
    if (host::tryParseArea(name)) throw refuse("it looks like a cell reference");
}

}  // namespace

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::string fa, fb;
    foldCase(a, fa);
    foldCase(b, fb);
    return fa == fb;
}

void requireValidSheetName(const std::string& name) {
    auto refuse = [&](const std::string& why) {
        return HostError(error::kApplicationDefined,
                         "\"" + name + "\" cannot be a sheet name: " + why);
    };
    if (name.empty()) throw refuse("the name is empty");
    if (characterCount(name) > kMaxSheetNameLength) throw refuse("it is longer than 31 characters");
    if (name.find_first_of(":\\/?*[]") != std::string::npos)
        throw refuse("it contains one of : \\ / ? * [ ]");
    if (name.front() == '\'' || name.back() == '\'')
        throw refuse("it starts or ends with an apostrophe");
}

std::string nameForCopy(const std::string& name,
                        const std::function<bool(const std::string&)>& taken) {
    if (!taken(name)) return name;
    std::string stem = name;
    // "Name (2)" counts on from "Name".
    if (stem.size() > 4 && stem.back() == ')') {
        size_t open = stem.rfind(" (");
        if (open != std::string::npos && open + 2 < stem.size() - 1 &&
            std::all_of(stem.begin() + long(open) + 2, stem.end() - 1,
                        [](char c) { return c >= '0' && c <= '9'; }))
            stem = stem.substr(0, open);
    }
    for (int n = 2;; ++n) {
        std::string suffix = " (" + std::to_string(n) + ")";
        std::string candidate =
            firstCharacters(stem, kMaxSheetNameLength - suffix.size()) + suffix;
        if (!taken(candidate)) return candidate;
    }
}

EngineWorkbook::EngineWorkbook(EngineApplication& app, std::unique_ptr<WorkbookModel> model,
                               std::string name, std::string fullName)
    : app_(&app),
      model_(std::move(model)),
      formulas_(std::make_unique<FormulaEngine>(*model_)),
      name_(std::move(name)),
      fullName_(std::move(fullName)),
      nextSheetNumber_(int(model_->sheets.size()) + 1),
      hasFile_(fullName_ != name_) {
    for (auto& s : model_->sheets) sheets_.push_back(std::make_shared<EngineWorksheet>(*this, *s));
    int n = int(model_->sheets.size());
    if (model_->activeSheet < 0 || model_->activeSheet >= n) model_->activeSheet = 0;
}

EngineWorkbook::~EngineWorkbook() {
    for (auto& s : sheets_) s->detach();
}

void EngineWorkbook::detach() {
    for (auto& s : sheets_) s->detach();
    app_ = nullptr;
}

EngineApplication& EngineWorkbook::app() const {
    if (!app_) throw HostError(error::kObjectRequired, "The workbook \"" + name_ + "\" is closed");
    return *app_;
}

WorkbookModel& EngineWorkbook::model() const {
    app();
    return *model_;
}

FormulaEngine& EngineWorkbook::formulas() const {
    app();
    return *formulas_;
}

std::string EngineWorkbook::name() const { return name_; }
std::string EngineWorkbook::fullName() const { return fullName_; }
host::Application& EngineWorkbook::application() { return app(); }

std::vector<std::shared_ptr<host::Worksheet>> EngineWorkbook::worksheets() {
    app();
    return {sheets_.begin(), sheets_.end()};
}

std::shared_ptr<EngineWorksheet> EngineWorkbook::sheetAt(int index) const {
    app();
    if (index < 0 || index >= int(sheets_.size()))
        throw HostError(error::kSubscriptOutOfRange, "No sheet number " + std::to_string(index + 1));
    return sheets_[size_t(index)];
}

int EngineWorkbook::indexOf(const EngineWorksheet& sheet) const {
    for (size_t i = 0; i < sheets_.size(); ++i)
        if (sheets_[i].get() == &sheet) return int(i);
    return -1;
}

std::shared_ptr<EngineWorksheet> EngineWorkbook::engineSheet(const std::string& name) const {
    app();
    for (auto& s : sheets_)
        if (s->model().name == name) return s;
    for (auto& s : sheets_)
        if (sameNameIgnoringCase(s->model().name, name)) return s;
    return nullptr;
}

std::shared_ptr<host::Worksheet> EngineWorkbook::sheet(const std::string& name) {
    if (auto s = engineSheet(name)) return s;
    throw HostError(error::kSubscriptOutOfRange,
                    "Subscript out of range: the workbook \"" + name_ + "\" has no sheet named \"" +
                        name + "\"");
}

bool EngineWorkbook::sheetNameTaken(const std::string& name, const Sheet* except) const {
    for (auto& s : model_->sheets)
        if (s.get() != except && sameNameIgnoringCase(s->name, name)) return true;
    return false;
}

std::shared_ptr<EngineWorksheet> EngineWorkbook::insertSheet(std::unique_ptr<Sheet> sheet,
                                                             int position) {
    WorkbookModel& m = model();
    position = std::clamp(position, 0, int(m.sheets.size()));
    Sheet& ref = *sheet;
    m.sheets.insert(m.sheets.begin() + position, std::move(sheet));
    auto wrapper = std::make_shared<EngineWorksheet>(*this, ref);
    sheets_.insert(sheets_.begin() + position, wrapper);
    for (auto& n : m.names)
        if (n.localSheet >= position) ++n.localSheet;
    m.activeSheet = position;
    saved_ = false;
    app().tellStructure();
    // No recalculation here: the callers (adding a sheet, copying one with its names)
    // recalculate once when they have finished changing the workbook.
    return wrapper;
}

std::shared_ptr<host::Worksheet> EngineWorkbook::addSheet(host::Worksheet* after) {
    WorkbookModel& m = model();
    int position = m.activeSheet;
    if (after) {
        auto* engineAfter = dynamic_cast<EngineWorksheet*>(after);
        int i = engineAfter ? indexOf(*engineAfter) : -1;
        if (i < 0)
            throw HostError(error::kApplicationDefined,
                            "Sheets.Add: the sheet to add after is not in \"" + name_ + "\"");
        position = i + 1;
    }
    auto sheet = std::make_unique<Sheet>();
    do {
        sheet->name = "Sheet" + std::to_string(nextSheetNumber_++);
    } while (sheetNameTaken(sheet->name));
    auto added = insertSheet(std::move(sheet), position);
    formulas_->recalculateAll();
    return added;
}

void EngineWorkbook::removeSheet(EngineWorksheet& sheet) {
    WorkbookModel& m = model();
    int index = indexOf(sheet);
    if (index < 0) return;
    std::string removedName = m.sheets[size_t(index)]->name;
    std::erase_if(m.names, [&](const DefinedName& n) { return n.localSheet == index; });
    auto isRemoved = [&](const std::string& s) { return sameNameIgnoringCase(s, removedName); };
    for (auto& n : m.names) {
        if (n.localSheet > index) --n.localSheet;
        n.refersTo = formula::renameSheet(n.refersTo, isRemoved, "").text;
    }
    sheet.detach();
    sheets_.erase(sheets_.begin() + index);
    m.sheets.erase(m.sheets.begin() + index);
    if (m.activeSheet > index || m.activeSheet >= int(m.sheets.size())) --m.activeSheet;
    // The host never leaves a hidden sheet active.
    for (int step = 0; step < int(m.sheets.size()); ++step) {
        if (m.sheets[size_t(m.activeSheet)]->visibility == SheetVisibility::Visible) break;
        m.activeSheet = (m.activeSheet + 1) % int(m.sheets.size());
    }
    saved_ = false;
    formulas_->recalculateAll();
    app().tellStructure();
}

void EngineWorkbook::setActiveSheet(int index) {
    model().activeSheet = index;
    app().tellStructure();
}

void EngineWorkbook::markChanged() {
    // The views show whether the workbook has unsaved changes.
    const bool wasSaved = std::exchange(saved_, false);
    if (wasSaved && app_) app_->tellStructure();
}

std::shared_ptr<host::Worksheet> EngineWorkbook::activeSheet() {
    return sheetAt(model().activeSheet);
}

void EngineWorkbook::activate() { app().activateWorkbook(*this); }

void EngineWorkbook::save() {
    app();
    if (!hasFile_)
        throw HostError(error::kApplicationDefined,
                        "The workbook \"" + name_ + "\" has no file yet; save it with SaveAs");
    saveWorkbook(*model_, fullName_);
    saved_ = true;
    app().tellStructure();
}

void EngineWorkbook::saveAs(const std::string& path) {
    app();
    if (path.empty()) throw HostError(error::kInvalidArgument, "SaveAs needs a file name");
    saveWorkbook(*model_, path);
    std::error_code ec;
    auto absolute = std::filesystem::absolute(path, ec);
    fullName_ = ec ? path : absolute.lexically_normal().string();
    name_ = std::filesystem::path(fullName_).filename().string();
    hasFile_ = true;
    saved_ = true;
    app().tellStructure();
}

void EngineWorkbook::close(bool saveChanges) {
    EngineApplication& a = app();
    bool cancel = false;
    a.raise([&](host::ApplicationEvents& s) { s.workbookBeforeClose(*this, cancel); });
    if (cancel) return;
    if (saveChanges && !saved_) save();
    auto self = shared_from_this();  // keeps this alive while the application lets go
    a.removeWorkbook(*this);
}

bool EngineWorkbook::saved() const { return saved_; }

std::vector<std::pair<std::string, std::string>> EngineWorkbook::names() const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& n : model().names)
        if (n.localSheet < 0) out.emplace_back(n.name, n.refersTo);
    return out;
}

void EngineWorkbook::addName(const std::string& name, const std::string& refersTo) {
    WorkbookModel& m = model();
    requireValidDefinedName(name);
    std::string text = !refersTo.empty() && refersTo[0] == '=' ? refersTo.substr(1) : refersTo;
    if (text.empty())
        throw HostError(error::kApplicationDefined, "The name \"" + name + "\" refers to nothing");
    bool replaced = false;
    for (auto& n : m.names) {
        if (n.localSheet < 0 && sameNameIgnoringCase(n.name, name)) {
            n.refersTo = text;
            replaced = true;
        }
    }
    if (!replaced) m.names.push_back(DefinedName{name, text, -1, false});
    saved_ = false;
    formulas_->recalculateAll();
}

std::pair<std::shared_ptr<EngineWorksheet>, host::Area> EngineWorkbook::resolve(
    const std::string& reference, const EngineWorksheet& from) {
    app();
    auto self = sheets_[size_t(indexOf(from))];
    if (auto a = host::tryParseArea(reference)) return {self, *a};

    if (auto q = host::scanQualifier(reference, 0)) {
        auto target = engineSheet(q->sheet);
        if (!q->book.empty() || !target)
            throw HostError(error::kApplicationDefined,
                            "Invalid reference \"" + reference + "\": no sheet named \"" +
                                q->sheet + "\"");
        return {target, host::parseArea(std::string_view(reference).substr(q->end))};
    }

    const DefinedName* found = nullptr;
    int fromIndex = indexOf(from);
    for (const auto& n : model_->names)
        if (n.localSheet == fromIndex && sameNameIgnoringCase(n.name, reference)) found = &n;
    if (!found)
        for (const auto& n : model_->names)
            if (n.localSheet < 0 && sameNameIgnoringCase(n.name, reference)) found = &n;
    if (!found)
        throw HostError(error::kApplicationDefined,
                        "Invalid cell reference or name \"" + reference + "\"");
    std::string target = found->refersTo;
    if (!target.empty() && target.front() == '=') target.erase(0, 1);
    auto ref = host::parseReference(target);
    if (!ref || !ref->hasSheet())
        throw HostError(error::kApplicationDefined,
                        "The name \"" + found->name + "\" does not refer to a range: " + target);
    return resolve(target, from);
}

void EngineWorkbook::carryNames(const EngineWorkbook& source, int sourceIndex, int newIndex) {
    WorkbookModel& m = model();
    const std::string& oldName = source.model().sheets[size_t(sourceIndex)]->name;
    const std::string& newName = m.sheets[size_t(newIndex)]->name;
    // A name goes with the sheet when it refers to that sheet and no other.
    auto retarget = [&](const std::string& refersTo) {
        auto r = formula::renameSheet(refersTo, [&](const std::string& s) { return sameNameIgnoringCase(s, oldName); },
                                      newName);
        return std::make_pair(r.text, r.namesSheet && !r.namesOtherSheets);
    };
    auto hasName = [&](const std::string& name, int scope) {
        return std::any_of(m.names.begin(), m.names.end(), [&](const DefinedName& n) {
            return n.localSheet == scope && sameNameIgnoringCase(n.name, name);
        });
    };
    std::vector<DefinedName> carried;
    for (const auto& n : source.model().names) {
        auto [refersTo, alone] = retarget(n.refersTo);
        if (n.localSheet == sourceIndex) {
            carried.push_back({n.name, refersTo, newIndex, n.hidden});
        } else if (n.localSheet < 0 && alone) {
            bool keepGlobal = this != &source && !hasName(n.name, -1);
            carried.push_back({n.name, refersTo, keepGlobal ? -1 : newIndex, n.hidden});
        }
    }
    for (auto& n : carried) {
        if (hasName(n.name, n.localSheet)) continue;
        m.names.push_back(std::move(n));
    }
}

void EngineWorkbook::sheetRenamed(const std::string& oldName, const std::string& newName) {
    // Names and the formulas of every sheet follow the sheet to its new name.
    auto isOld = [&](const std::string& s) { return sameNameIgnoringCase(s, oldName); };
    for (auto& n : model().names) n.refersTo = formula::renameSheet(n.refersTo, isOld, newName).text;
    for (auto& sheet : model().sheets)
        for (auto& [column, cells] : sheet->cells.columns())
            for (auto& [row, cell] : cells)
                if (cell.hasFormula() && cell.formula.find('!') != std::string::npos)
                    sheet->cells.find({row, column})->formula = formula::renameSheet(cell.formula, isOld, newName).text;
    saved_ = false;
    formulas_->recalculateAll();
    app().tellStructure();
}

std::vector<host::ExternalLink> EngineWorkbook::linkSources() const {
    std::vector<host::ExternalLink> out;
    for (const auto& l : model().externalLinks) out.push_back({l.target});
    return out;
}

void EngineWorkbook::changeLink(const std::string& oldSource, const std::string& newSource) {
    bool changed = false;
    for (auto& l : model().externalLinks) {
        if (l.target == oldSource) {
            l.target = newSource;
            changed = true;
        }
    }
    if (!changed)
        throw HostError(error::kApplicationDefined,
                        "ChangeLink: the workbook has no link to \"" + oldSource + "\"");
    saved_ = false;
    formulas_->recalculateAll();
}

}  // namespace vorra::engine
