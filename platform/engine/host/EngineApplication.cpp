#include <ctime>
#include <filesystem>

#include "platform/engine/files/WorkbookFiles.h"
#include "platform/engine/host/EngineHost.h"

namespace vorra::engine {

using host::HostError;
namespace error = host::error;

namespace {

// The variant's array, moved out, or its scalar as a 1x1 array.
host::Array2D asArray(host::Variant v) {
    if (v.isArray()) return std::move(v.array());
    host::Array2D a(1, 1);
    a.at(1, 1) = v.scalar();
    return a;
}

EngineWorksheet& engineSheetOf(const host::Range& range) {
    auto* sheet = dynamic_cast<EngineWorksheet*>(&range.worksheet());
    if (!sheet) throw HostError(error::kTypeMismatch, "The range belongs to another host");
    return *sheet;
}

}  // namespace

EngineApplication::EngineApplication(std::string version, HostServices* services)
    : version_(std::move(version)), services_(services ? services : &defaultServices_) {}

EngineApplication::~EngineApplication() {
    for (auto& wb : workbooks_) wb->detach();
}

std::vector<std::shared_ptr<host::Workbook>> EngineApplication::workbooks() {
    return {workbooks_.begin(), workbooks_.end()};
}

std::shared_ptr<EngineWorkbook> EngineApplication::activeEngineWorkbook() const {
    if (active_ < 0 || active_ >= int(workbooks_.size())) return nullptr;
    return workbooks_[size_t(active_)];
}

std::shared_ptr<host::Workbook> EngineApplication::activeWorkbook() {
    return activeEngineWorkbook();
}

std::shared_ptr<EngineWorkbook> EngineApplication::adopt(std::unique_ptr<WorkbookModel> model,
                                                         std::string name, std::string fullName) {
    if (!model || model->sheets.empty())
        throw HostError(error::kApplicationDefined, "A workbook needs at least one sheet");
    auto wb = std::make_shared<EngineWorkbook>(*this, std::move(model), std::move(name),
                                               std::move(fullName));
    workbooks_.push_back(wb);
    active_ = int(workbooks_.size()) - 1;
    tellStructure();
    return wb;
}

std::shared_ptr<EngineWorkbook> EngineApplication::newWorkbook() {
    auto model = std::make_unique<WorkbookModel>();
    auto sheet = std::make_unique<Sheet>();
    sheet->name = "Sheet1";
    model->sheets.push_back(std::move(sheet));
    std::string name = takeBookName();
    return adopt(std::move(model), name, name);
}

std::shared_ptr<host::Workbook> EngineApplication::addWorkbook() {
    auto wb = newWorkbook();
    raise([&](host::ApplicationEvents& s) { s.newWorkbook(*wb); });
    return wb;
}

std::shared_ptr<host::Workbook> EngineApplication::openWorkbook(const std::string& path) {
    std::error_code ec;
    auto absolute = std::filesystem::absolute(path, ec);
    std::string fullName = ec ? path : absolute.lexically_normal().string();
    for (auto& wb : workbooks_) {
        if (wb->fullName() == fullName) {
            activateWorkbook(*wb);
            return wb;
        }
    }
    auto model = loadWorkbook(path);
    auto wb = adopt(std::move(model), std::filesystem::path(fullName).filename().string(),
                    fullName);
    wb->formulas().recalculateAll();
    raise([&](host::ApplicationEvents& s) { s.workbookOpen(*wb); });
    return wb;
}

void EngineApplication::activateWorkbook(const EngineWorkbook& book) {
    for (size_t i = 0; i < workbooks_.size(); ++i)
        if (workbooks_[i].get() == &book) active_ = int(i);
    tellStructure();
}

void EngineApplication::removeWorkbook(const EngineWorkbook& book) {
    for (size_t i = 0; i < workbooks_.size(); ++i) {
        if (workbooks_[i].get() != &book) continue;
        auto keep = workbooks_[i];
        workbooks_.erase(workbooks_.begin() + long(i));
        if (int(i) < active_)
            --active_;
        else if (active_ >= int(workbooks_.size()))
            active_ = int(workbooks_.size()) - 1;
        keep->detach();
        tellStructure();
        return;
    }
}

std::shared_ptr<EngineWorksheet> EngineApplication::activeEngineSheet() {
    auto wb = activeEngineWorkbook();
    if (!wb) throw HostError(error::kObjectRequired, "No workbook is open");
    return wb->sheetAt(wb->model().activeSheet);
}

std::shared_ptr<host::Worksheet> EngineApplication::activeSheet() { return activeEngineSheet(); }

host::Range EngineApplication::activeCell() {
    auto sheet = activeEngineSheet();
    return host::Range(sheet, host::Area::of(sheet->model().activeCell));
}

host::Range EngineApplication::selection() {
    auto sheet = activeEngineSheet();
    return host::Range(sheet, sheet->model().selection);
}

std::vector<std::string> EngineApplication::getOpenFilename(const std::string& filter,
                                                            int filterIndex,
                                                            const std::string& title,
                                                            bool multiSelect) {
    return services_->openFileDialog(filter, filterIndex, title, multiSelect);
}

bool EngineApplication::showBuiltinDialog(int dialogId) {
    auto sheet = activeEngineSheet();
    std::string keys = std::move(pendingKeys_);
    pendingKeys_.clear();
    return services_->builtinDialog(dialogId, *sheet, keys);
}

int EngineApplication::currentYear() const {
    if (fixedYear_ > 0) return fixedYear_;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

void EngineApplication::sendKeys(const std::string& keys, bool) { pendingKeys_ += keys; }

void EngineApplication::quit() {
    quitRequested_ = true;
    services_->quitRequested();
}

double EngineApplication::countIf(const host::Range& range, const host::Value& criteria) {
    EngineWorksheet& sheet = engineSheetOf(range);
    return sheet.book().formulas().countIf(asArray(range.value()), criteria);
}

host::Value EngineApplication::vlookup(const host::Value& lookup, const host::Variant& table,
                                       int column, std::optional<bool> rangeLookup) {
    auto wb = activeEngineWorkbook();
    if (!wb) throw HostError(error::kObjectRequired, "No workbook is open");
    host::Array2D block = asArray(table);
    if (column < 1 || column > block.columns())
        throw HostError(error::kApplicationDefined,
                        "Unable to get the VLookup property of the WorksheetFunction class: "
                        "column " + std::to_string(column) + " is outside the table");
    host::Value v = wb->formulas().vlookup(lookup, block, column, rangeLookup);
    if (v.isError())
        throw HostError(error::kApplicationDefined,
                        "Unable to get the VLookup property of the WorksheetFunction class");
    return v;
}

host::Variant EngineApplication::evaluate(const std::string& formula) {
    auto sheet = activeEngineSheet();
    std::string text = !formula.empty() && formula[0] == '=' ? formula.substr(1) : formula;
    return sheet->book().formulas().evaluate(text, sheet->index());
}

dialogs::Toolkit& EngineApplication::toolkit() {
    if (auto* t = services_->toolkit()) return *t;
    throw HostError(error::kObjectRequired, "No forms library is installed in this host");
}

void EngineApplication::subscribe(host::ApplicationEvents* sink) {
    if (sink && std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end())
        sinks_.push_back(sink);
}

void EngineApplication::unsubscribe(host::ApplicationEvents* sink) { std::erase(sinks_, sink); }

}  // namespace vorra::engine
