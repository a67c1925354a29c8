#include "platform/engine/files/WorkbookPart.h"

#include <algorithm>

#include <pugixml.hpp>

#include "platform/engine/files/DefinedNames.h"
#include "platform/engine/files/FileError.h"
#include "platform/engine/files/Xml.h"

namespace vorra::engine::files {

namespace {

constexpr std::string_view kElementOrder[] = {
    "fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews", "sheets",
    "functionGroups", "externalReferences", "definedNames", "calcPr", "oleSize",
    "customWorkbookViews", "pivotCaches", "smartTagPr", "smartTagTypes", "webPublishing",
    "fileRecoveryPr", "webPublishObjects", "extLst"};
constexpr int kOrderCount = int(std::size(kElementOrder));
enum Order { kWorkbookPr = 2, kBookViews = 4, kSheets = 5, kExternalReferences = 7, kDefinedNames = 8 };

int orderOf(std::string_view name) {
    for (int i = 0; i < kOrderCount; ++i)
        if (kElementOrder[i] == name) return i;
    return -1;
}

}  // namespace

WorkbookPartContent readWorkbookPart(std::string_view xml, const std::string& file,
                                     const std::string& part, int maxDepth,
                                     PackagePreserved& preserved) {
    pugi::xml_document doc;
    parsePart(doc, xml, file, part, maxDepth);
    auto root = doc.document_element();
    if (localName(root) != "workbook") refuseFile(file, "part " + part + " is not a workbook");
    WorkbookPartContent content;
    for (auto a : root.attributes()) {
        std::string_view name = a.name();
        if (name.substr(0, 6) == "xmlns:" || name == "mc:Ignorable")
            preserved.workbookRootAttributes.emplace_back(a.name(), a.value());
    }
    int lastOrder = 0;
    for (auto el : root.children()) {
        if (el.type() != pugi::node_element) continue;
        auto name = localName(el);
        int order = orderOf(name);
        if (order < 0) order = lastOrder;
        else lastOrder = order;
        if (name == "workbookPr") {
            std::string_view v = el.attribute("date1904").value();
            content.date1904 = v == "1" || v == "true";
            preserved.workbookFragments.push_back({order, outerXml(el)});
        } else if (name == "bookViews") {
            if (auto view = child(el, "workbookView")) {
                content.activeSheet = view.attribute("activeTab").as_int(0);
                preserved.workbookViewAttributes = attributesExcept(view, {"activeTab", "firstSheet"});
            }
        } else if (name == "sheets") {
            for (auto s : el.children()) {
                if (localName(s) != "sheet") continue;
                SheetEntry entry;
                entry.name = s.attribute("name").value();
                std::string_view state = s.attribute("state").value();
                entry.visibility = state == "hidden"       ? SheetVisibility::Hidden
                                   : state == "veryHidden" ? SheetVisibility::VeryHidden
                                                           : SheetVisibility::Visible;
                entry.relationshipId = attr(s, "id").value();
                content.sheets.push_back(std::move(entry));
            }
        } else if (name == "externalReferences") {
            for (auto r : el.children())
                if (localName(r) == "externalReference") content.externalLinkIds.push_back(attr(r, "id").value());
        } else if (name == "definedNames") {
            content.names = readDefinedNames(el);
        } else {
            preserved.workbookFragments.push_back({order, outerXml(el)});
        }
    }
    if (content.sheets.empty()) refuseFile(file, "the workbook has no sheets");
    return content;
}

std::string writeWorkbookPart(const WorkbookModel& model, const WorkbookPartOutput& ids,
                              const PackagePreserved* preserved) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<workbook xmlns=\"";
    out += ns::kMain;
    out += '"';
    bool hasR = false;
    if (preserved)
        for (const auto& [name, value] : preserved->workbookRootAttributes) hasR |= name == "xmlns:r";
    if (!hasR) out += " xmlns:r=\"" + std::string(ns::kRel) + "\"";
    if (preserved) appendAttributes(out, preserved->workbookRootAttributes);
    out += '>';

    bool wroteWorkbookPr = false;
    auto fragmentsAt = [&](int order) {
        if (!preserved) return;
        for (const auto& f : preserved->workbookFragments) {
            if (f.order != order) continue;
            if (order == kWorkbookPr && f.xml.find("<workbookPr") != std::string::npos) {
                // The model owns the date system; the other settings stay as read.
                pugi::xml_document doc;
                doc.load_buffer(f.xml.data(), f.xml.size());
                auto pr = doc.document_element();
                pr.remove_attribute("date1904");
                if (model.date1904) pr.append_attribute("date1904") = "1";
                out += outerXml(pr);
                wroteWorkbookPr = true;
                continue;
            }
            out += f.xml;
        }
    };

    int active = std::clamp(model.activeSheet, 0, std::max(0, int(model.sheets.size()) - 1));
    for (int order = 0; order < kOrderCount; ++order) {
        if (order == kBookViews) {
            out += "<bookViews><workbookView";
            Attributes attrs;
            if (preserved) attrs = preserved->workbookViewAttributes;
            appendAttributes(out, attrs);
            if (active > 0) out += " activeTab=\"" + std::to_string(active) + "\"";
            out += "/></bookViews>";
        } else if (order == kSheets) {
            out += "<sheets>";
            for (size_t i = 0; i < model.sheets.size(); ++i) {
                const Sheet& s = *model.sheets[i];
                out += "<sheet name=\"";
                appendEscaped(out, s.name);
                out += "\" sheetId=\"" + std::to_string(i + 1) + "\"";
                if (s.visibility == SheetVisibility::Hidden) out += " state=\"hidden\"";
                if (s.visibility == SheetVisibility::VeryHidden) out += " state=\"veryHidden\"";
                out += " r:id=\"" + ids.sheetIds[i] + "\"/>";
            }
            out += "</sheets>";
        } else if (order == kExternalReferences && !ids.externalLinkIds.empty()) {
            out += "<externalReferences>";
            for (const auto& id : ids.externalLinkIds) out += "<externalReference r:id=\"" + id + "\"/>";
            out += "</externalReferences>";
        } else if (order == kDefinedNames) {
            out += writeDefinedNames(definedNamesOf(model));
        }
        fragmentsAt(order);
        if (order == kWorkbookPr && !wroteWorkbookPr)
            out += model.date1904 ? "<workbookPr date1904=\"1\"/>" : "<workbookPr/>";
    }
    out += "</workbook>";
    return out;
}

}  // namespace vorra::engine::files
