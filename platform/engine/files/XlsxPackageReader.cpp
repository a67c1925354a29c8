// Reading a workbook package: the content types and relationships lead to the
// workbook part, which names the sheets, the styles and the shared strings; each part
// goes to its reader. Parts the engine does not model travel on as they were read.
#include "platform/engine/files/XlsxPackage.h"

#include <algorithm>
#include <set>

#include "platform/engine/files/DefinedNames.h"
#include "platform/engine/files/FileError.h"
#include "platform/engine/files/PackageParts.h"
#include "platform/engine/files/SharedStringsPart.h"
#include "platform/engine/files/StylesPart.h"
#include "platform/engine/files/WorkbookPart.h"
#include "platform/engine/files/WorksheetReader.h"
#include "platform/engine/files/ZipPackage.h"
#include "platform/engine/print/CellGeometry.h"

namespace vorra::engine::files {

namespace {

const Relationship* findRel(const std::vector<Relationship>& rels, std::string_view type) {
    for (const auto& r : rels)
        if (r.type == type) return &r;
    return nullptr;
}

const Relationship* findRelById(const std::vector<Relationship>& rels, std::string_view id) {
    for (const auto& r : rels)
        if (r.id == id) return &r;
    return nullptr;
}

bool isExternalLinkPath(std::string_view type) {
    return type.size() >= 16 && (type.ends_with("/externalLinkPath") || type.find("xlExternalLinkPath") != std::string_view::npos);
}

class PackageReader {
public:
    PackageReader(std::string_view bytes, const std::string& file, const ReadLimits& limits, bool valuesOnly)
        : file_(file), limits_(limits), valuesOnly_(valuesOnly), budget_(limits, file),
          parts_(readZip(bytes, file, limits)) {
        // The parts stay in memory while the workbook is read.
        for (const auto& [path, part] : parts_) budget_.addBytes(path.size() + part.size());
    }

    std::unique_ptr<WorkbookModel> read() {
        types_ = readContentTypes(parts_, file_, depth());
        consumed_.insert("[Content_Types].xml");
        auto rootRels = readRelationships(parts_, "", file_, depth());
        consumed_.insert("_rels/.rels");
        const Relationship* office = findRel(rootRels, reltype::kOfficeDocument);
        if (!office || !parts_.count(office->target))
            refuseFile(file_, "not a workbook package: it names no workbook part");
        workbookPath_ = office->target;
        std::string type = types_.typeOf(workbookPath_);
        if (type.find("spreadsheetml") == std::string::npos && type.find("ms-excel") == std::string::npos)
            refuseFile(file_, "not a workbook: the package holds a document of type \"" + type + "\"");
        consume(workbookPath_);
        auto wbRels = readRelationships(parts_, workbookPath_, file_, depth());
        consumed_.insert(relsPathOf(workbookPath_));

        auto kept = std::make_shared<PackagePreserved>();
        auto content = readWorkbookPart(parts_.at(workbookPath_), file_, workbookPath_, depth(), *kept);

        auto model = std::make_unique<WorkbookModel>();
        model->date1904 = content.date1904;
        if (!valuesOnly_) {
            if (const Relationship* s = findRel(wbRels, reltype::kStyles); s && parts_.count(s->target)) {
                budget_.checkTransient(xmlParseCost(parts_.at(s->target)));
                model->styles = readStyles(parts_.at(s->target), file_, s->target, depth());
                consume(s->target);
            }
        }
        std::vector<std::string> strings;
        bool hasStrings = false;
        if (const Relationship* s = findRel(wbRels, reltype::kSharedStrings); s && parts_.count(s->target)) {
            budget_.checkTransient(xmlParseCost(parts_.at(s->target)));
            strings = readSharedStrings(parts_.at(s->target), file_, s->target, depth());
            for (const auto& text : strings) budget_.addBytes(sizeof(std::string) + text.size());
            consume(s->target);
            release(s->target);
            hasStrings = true;
        }

        const int digitWidth = maxDigitWidthPx(model->styles.fonts.empty() ? Font{} : model->styles.fonts.front());
        for (const auto& entry : content.sheets) {
            const Relationship* rel = findRelById(wbRels, entry.relationshipId);
            if (!rel || !parts_.count(rel->target))
                refuseFile(file_, "the part of sheet \"" + entry.name + "\" is missing");
            if (rel->type != reltype::kWorksheet)
                refuseFile(file_, "sheet \"" + entry.name +
                                      "\" is a chart or dialog sheet, which this program cannot keep");
            if (model->sheetIndex(entry.name) >= 0)
                refuseFile(file_, "two sheets are named \"" + entry.name + "\"");
            // A sheet part backs one sheet: sheets sharing one would multiply its cost.
            if (auto [it, added] = sheetParts_.emplace(rel->target, entry.name); !added)
                refuseFile(file_, "sheets \"" + it->second + "\" and \"" + entry.name + "\" share one sheet part (" +
                                      rel->target + "), which a workbook does not do");
            auto sheet = std::make_unique<Sheet>();
            sheet->name = entry.name;
            sheet->visibility = entry.visibility;
            auto sheetKept = std::make_shared<WorksheetPreserved>();
            WorksheetSource source{file_, rel->target, hasStrings ? &strings : nullptr, limits_, valuesOnly_,
                                   int(model->styles.formats.size()), digitWidth, &budget_};
            readWorksheet(parts_.at(rel->target), source, *sheet, *sheetKept);
            consume(rel->target);
            release(rel->target);
            if (!valuesOnly_) {
                sheetKept->relationships = readRelationships(parts_, rel->target, file_, depth());
                consumed_.insert(relsPathOf(rel->target));
                collectReferredParts(sheetKept->relationships, sheetKept->parts);
                sheet->preserved = sheetKept;
            }
            model->sheets.push_back(std::move(sheet));
        }
        if (valuesOnly_) return model;

        for (const auto& id : content.externalLinkIds) readExternalLink(findRelById(wbRels, id), *model);

        model->activeSheet = std::clamp(content.activeSheet, 0, int(model->sheets.size()) - 1);
        applyDefinedNames(content.names, *model);
        for (const auto& n : model->names)
            if (n.localSheet >= int(model->sheets.size()))
                refuseFile(file_, "name \"" + n.name + "\" belongs to a sheet that does not exist");

        // Everything not read into the model travels as it was.
        if (const Relationship* c = findRel(wbRels, reltype::kCalcChain)) consume(c->target);
        for (const auto& r : wbRels) {
            bool modelled = r.type == reltype::kWorksheet || r.type == reltype::kStyles ||
                            r.type == reltype::kSharedStrings || r.type == reltype::kExternalLink ||
                            r.type == reltype::kCalcChain;
            if (!modelled && (r.external || parts_.count(r.target))) kept->workbookRelationships.push_back(r);
        }
        for (const auto& r : rootRels)
            if (r.type != reltype::kOfficeDocument && (r.external || parts_.count(r.target)))
                kept->rootRelationships.push_back(r);
        for (const auto& [path, bytes] : parts_)
            if (!consumed_.count(path)) kept->parts[path] = {types_.typeOf(path), bytes};
        kept->defaultContentTypes = types_.defaults;
        model->preserved = kept;
        return model;
    }

private:
    int depth() const { return limits_.maxXmlDepth; }
    void consume(const std::string& path) { consumed_.insert(path); }
    // A part read into the model needs its bytes no more: a sheet's text is many times
    // the size of its cells. The part stays listed, so that references to it still find it.
    void release(const std::string& path) { std::string().swap(parts_.at(path)); }

    // The parts a sheet refers to, and the parts those refer to, so that the sheet
    // carries its drawings, images, comments … wherever it goes.
    void collectReferredParts(const std::vector<Relationship>& rels, std::map<std::string, PartBlob>& out) {
        std::vector<std::string> pending;
        for (const auto& r : rels)
            if (!r.external) pending.push_back(r.target);
        while (!pending.empty()) {
            std::string path = pending.back();
            pending.pop_back();
            if (out.count(path) || !parts_.count(path)) continue;
            if (types_.typeOf(path) == contenttype::kWorksheet) continue;
            out[path] = {types_.typeOf(path), parts_.at(path)};
            consume(path);
            std::string relsPath = relsPathOf(path);
            if (parts_.count(relsPath)) {
                out[relsPath] = {std::string(contenttype::kRelationships), parts_.at(relsPath)};
                consume(relsPath);
                for (const auto& r : readRelationships(parts_, path, file_, depth()))
                    if (!r.external) pending.push_back(r.target);
            }
        }
    }

    void readExternalLink(const Relationship* rel, WorkbookModel& model) {
        if (!rel || !parts_.count(rel->target)) refuseFile(file_, "an external link part is missing");
        auto kept = std::make_shared<ExternalLinkPreserved>();
        kept->xml = parts_.at(rel->target);
        consume(rel->target);
        ExternalLinkModel link;
        for (auto& r : readRelationships(parts_, rel->target, file_, depth())) {
            if (isExternalLinkPath(r.type) && kept->pathRelationshipId.empty()) {
                kept->pathRelationshipId = r.id;
                kept->pathRelationshipType = r.type;
                link.target = r.target;
            } else {
                kept->otherRelationships.push_back(r);
            }
        }
        consume(relsPathOf(rel->target));
        link.preserved = kept;
        model.externalLinks.push_back(std::move(link));
    }

    const std::string& file_;
    const ReadLimits& limits_;
    bool valuesOnly_;
    WorkbookBudget budget_;
    PartMap parts_;
    std::map<std::string, std::string> sheetParts_;  // sheet part → the sheet it backs
    ContentTypes types_;
    std::string workbookPath_;
    std::set<std::string> consumed_;
};

}  // namespace

std::unique_ptr<WorkbookModel> readXlsx(std::string_view bytes, const std::string& file,
                                        const ReadLimits& limits, bool valuesOnly) {
    return PackageReader(bytes, file, limits, valuesOnly).read();
}

}  // namespace vorra::engine::files
