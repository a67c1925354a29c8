// Writing a workbook package. First the layout: where each modelled part goes and
// under which relationship id, since the workbook part, its relationships and the
// content types all name the parts. Then one writer per part, each part deflated into
// the zip as it is written.
#include "platform/engine/files/XlsxPackage.h"

#include <set>
#include <utility>
#include <vector>

#include "platform/engine/files/FileError.h"
#include "platform/engine/files/PackageParts.h"
#include "platform/engine/files/SharedStringsPart.h"
#include "platform/engine/files/StylesPart.h"
#include "platform/engine/files/WorkbookPart.h"
#include "platform/engine/files/WorksheetWriter.h"
#include "platform/engine/files/ZipWriter.h"
#include "platform/engine/print/CellGeometry.h"

namespace vorra::engine::files {

namespace {

constexpr const char* kWorkbookPath = "xl/workbook.xml";
constexpr const char* kStylesPath = "xl/styles.xml";
constexpr const char* kSharedStringsPath = "xl/sharedStrings.xml";

using Parts = std::vector<std::pair<std::string, std::string>>;

// Relationship ids that do not clash with the ids kept from the file.
class IdSource {
public:
    explicit IdSource(const std::vector<Relationship>& taken) {
        for (const auto& r : taken) taken_.insert(r.id);
    }
    std::string next() {
        std::string id;
        do id = "rId" + std::to_string(++counter_);
        while (taken_.count(id));
        taken_.insert(id);
        return id;
    }

private:
    std::set<std::string> taken_;
    int counter_ = 0;
};

// Where the parts of the package go.
struct PackageLayout {
    std::vector<Relationship> keptRelationships;  // the workbook's, kept from the file
    std::map<std::string, PartBlob> carried;      // parts kept from files, by path
    std::vector<std::string> sheetPaths;
    std::vector<std::string> linkPaths;
    WorkbookPartOutput ids;  // the sheets' and the links' relationship ids
    std::string stylesId;
    std::string sharedStringsId;
};

PackageLayout layOut(const WorkbookModel& model, const PackagePreserved& kept, bool macroEnabled) {
    PackageLayout layout;
    // The macro project stays only in a macro-enabled package.
    std::set<std::string> dropped;
    for (const auto& r : kept.workbookRelationships) {
        if (!macroEnabled && r.type == reltype::kVbaProject) {
            dropped.insert(r.target);
            dropped.insert(relsPathOf(r.target));
            continue;
        }
        layout.keptRelationships.push_back(r);
    }
    for (const auto& [path, blob] : kept.parts)
        if (!dropped.count(path)) layout.carried[path] = blob;

    IdSource ids(layout.keptRelationships);
    for (size_t i = 0; i < model.sheets.size(); ++i) {
        layout.sheetPaths.push_back("xl/worksheets/sheet" + std::to_string(i + 1) + ".xml");
        layout.ids.sheetIds.push_back(ids.next());
        // A sheet carries the parts it refers to (drawings, comments …) wherever it goes.
        if (const auto* sk = dynamic_cast<const WorksheetPreserved*>(model.sheets[i]->preserved.get()))
            for (const auto& [p, blob] : sk->parts) layout.carried[p] = blob;
    }
    for (size_t i = 0; i < model.externalLinks.size(); ++i) {
        layout.linkPaths.push_back("xl/externalLinks/externalLink" + std::to_string(i + 1) + ".xml");
        layout.ids.externalLinkIds.push_back(ids.next());
    }
    layout.stylesId = ids.next();
    layout.sharedStringsId = ids.next();
    return layout;
}

// [Content_Types].xml: the modelled parts' types, then a carried part's own type
// wherever the defaults would give it another one.
ContentTypes contentTypes(const PackageLayout& layout, const PackagePreserved& kept, bool macroEnabled) {
    ContentTypes types;
    types.defaults = kept.defaultContentTypes;
    types.defaults["rels"] = contenttype::kRelationships;
    types.defaults["xml"] = "application/xml";
    for (const auto& path : layout.sheetPaths) types.overrides[path] = contenttype::kWorksheet;
    for (const auto& path : layout.linkPaths) types.overrides[path] = contenttype::kExternalLink;
    types.overrides[kStylesPath] = contenttype::kStyles;
    types.overrides[kSharedStringsPath] = contenttype::kSharedStrings;
    types.overrides[kWorkbookPath] = macroEnabled ? contenttype::kMacroWorkbook : contenttype::kWorkbook;
    for (const auto& [path, blob] : layout.carried) {
        if (path.ends_with(".rels")) continue;
        if (!blob.contentType.empty() && types.typeOf(path) != blob.contentType)
            types.overrides[path] = blob.contentType;
    }
    return types;
}

// _rels/.rels: the workbook part as rId1, then the package-level parts kept from the
// file (document properties …), renumbered when one of them had rId1.
std::vector<Relationship> rootRelationships(const PackagePreserved& kept) {
    std::vector<Relationship> rels{{"rId1", std::string(reltype::kOfficeDocument), kWorkbookPath, false}};
    IdSource ids(kept.rootRelationships);
    for (auto r : kept.rootRelationships) {
        if (r.id == "rId1") r.id = ids.next();
        rels.push_back(r);
    }
    return rels;
}

// xl/_rels/workbook.xml.rels: what the file had besides the modelled parts, then the
// sheets, the external links, the styles and the shared strings.
std::vector<Relationship> workbookRelationships(const PackageLayout& layout) {
    std::vector<Relationship> rels = layout.keptRelationships;
    for (size_t i = 0; i < layout.sheetPaths.size(); ++i)
        rels.push_back({layout.ids.sheetIds[i], std::string(reltype::kWorksheet), layout.sheetPaths[i], false});
    for (size_t i = 0; i < layout.linkPaths.size(); ++i)
        rels.push_back(
            {layout.ids.externalLinkIds[i], std::string(reltype::kExternalLink), layout.linkPaths[i], false});
    rels.push_back({layout.stylesId, std::string(reltype::kStyles), kStylesPath, false});
    rels.push_back({layout.sharedStringsId, std::string(reltype::kSharedStrings), kSharedStringsPath, false});
    return rels;
}

// Each sheet's part, streamed as its rows are written, followed by its relationships
// when it refers to other parts. The sheets' texts go to `strings`, the parts' names
// to `written`.
void writeWorksheetParts(const WorkbookModel& model, const PackageLayout& layout, SharedStringTable& strings,
                         size_t& stringReferences, ZipWriter& zip, std::set<std::string>& written) {
    const int digitWidth = maxDigitWidthPx(model.styles.fonts.empty() ? Font{} : model.styles.fonts.front());
    const TextOutput output = [&zip](std::string_view text) { zip.write(text); };
    for (size_t i = 0; i < model.sheets.size(); ++i) {
        const Sheet& sheet = *model.sheets[i];
        const std::string& path = layout.sheetPaths[i];
        zip.beginPart(path);
        writeWorksheet(sheet, int(i) == model.activeSheet, digitWidth, strings, stringReferences, output);
        zip.endPart();
        written.insert(path);
        const auto* sk = dynamic_cast<const WorksheetPreserved*>(sheet.preserved.get());
        if (sk && !sk->relationships.empty()) {
            zip.addPart(relsPathOf(path), writeRelationships(sk->relationships, folderOf(path)));
            written.insert(relsPathOf(path));
        }
    }
}

// Each external link's part as read (or a minimal one for a link made here) and its
// relationships, the path relationship rewritten from the link's target.
Parts externalLinkParts(const WorkbookModel& model, const PackageLayout& layout) {
    Parts parts;
    for (size_t i = 0; i < model.externalLinks.size(); ++i) {
        const auto& link = model.externalLinks[i];
        const std::string& path = layout.linkPaths[i];
        const auto* lk = dynamic_cast<const ExternalLinkPreserved*>(link.preserved.get());
        std::vector<Relationship> rels;
        std::string pathId = lk && !lk->pathRelationshipId.empty() ? lk->pathRelationshipId : "rId1";
        std::string pathType = lk && !lk->pathRelationshipType.empty() ? lk->pathRelationshipType
                                                                       : std::string(reltype::kExternalLinkPath);
        rels.push_back({pathId, pathType, link.target, true});
        if (lk) rels.insert(rels.end(), lk->otherRelationships.begin(), lk->otherRelationships.end());
        std::string xml = lk ? lk->xml
                             : "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                               "<externalLink xmlns=\"" + std::string(ns::kMain) + "\" xmlns:r=\"" +
                                   std::string(ns::kRel) + "\"><externalBook r:id=\"" + pathId +
                                   "\"/></externalLink>";
        parts.emplace_back(path, std::move(xml));
        parts.emplace_back(relsPathOf(path), writeRelationships(rels, folderOf(path)));
    }
    return parts;
}

}  // namespace

void writeXlsx(const WorkbookModel& model, const std::string& file, bool macroEnabled, ByteSink& out) {
    if (model.sheets.empty()) failSave(file, "a workbook needs at least one sheet");
    const auto* preserved = dynamic_cast<const PackagePreserved*>(model.preserved.get());
    static const PackagePreserved kNothing;
    const PackagePreserved& kept = preserved ? *preserved : kNothing;

    const PackageLayout layout = layOut(model, kept, macroEnabled);
    ZipWriter zip(out, file);
    std::set<std::string> written;
    auto add = [&](const std::string& name, std::string_view text) {
        zip.addPart(name, text);
        written.insert(name);
    };
    add("[Content_Types].xml", writeContentTypes(contentTypes(layout, kept, macroEnabled)));
    add("_rels/.rels", writeRelationships(rootRelationships(kept), ""));
    add(kWorkbookPath, writeWorkbookPart(model, layout.ids, preserved));
    add("xl/_rels/workbook.xml.rels", writeRelationships(workbookRelationships(layout), "xl/"));
    add(kStylesPath, writeStyles(model.styles));
    SharedStringTable strings;
    size_t stringReferences = 0;
    writeWorksheetParts(model, layout, strings, stringReferences, zip, written);
    zip.beginPart(kSharedStringsPath);
    strings.write(stringReferences, [&zip](std::string_view text) { zip.write(text); });
    zip.endPart();
    written.insert(kSharedStringsPath);
    for (const auto& [name, text] : externalLinkParts(model, layout)) add(name, text);
    for (const auto& [path, blob] : layout.carried)
        if (!written.count(path)) add(path, blob.bytes);
    zip.finish();
}

std::string writeXlsx(const WorkbookModel& model, const std::string& file, bool macroEnabled) {
    StringSink out;
    writeXlsx(model, file, macroEnabled, out);
    return out.take();
}

}  // namespace vorra::engine::files
