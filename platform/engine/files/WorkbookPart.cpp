#include "platform/engine/files/WorkbookPart.h"

#include <pugixml.hpp>

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

constexpr std::string_view kPrintArea = "_xlnm.Print_Area";

bool needsQuotes(const std::string& sheet) {
    if (sheet.empty()) return true;
    if (std::isdigit(static_cast<unsigned char>(sheet[0]))) return true;
    for (char c : sheet) {
        unsigned char u = static_cast<unsigned char>(c);
        if (!(std::isalnum(u) || c == '_' || c == '.' || u >= 0x80)) return true;
    }
    // Names that read like a cell reference ("A1", "XFD2") or R1C1 forms.
    return host::tryParseArea(sheet).has_value() ||
           ((sheet[0] == 'R' || sheet[0] == 'r' || sheet[0] == 'C' || sheet[0] == 'c') &&
            sheet.size() > 1 && std::isdigit(static_cast<unsigned char>(sheet[1])));
}

}  // namespace

std::string sheetReferenceName(const std::string& sheet) {
    if (!needsQuotes(sheet)) return sheet;
    std::string out = "'";
    for (char c : sheet) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

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
            for (auto d : el.children()) {
                if (localName(d) != "definedName") continue;
                DefinedName n;
                n.name = d.attribute("name").value();
                n.refersTo = d.text().get();
                n.localSheet = d.attribute("localSheetId") ? d.attribute("localSheetId").as_int(-1) : -1;
                std::string_view hidden = d.attribute("hidden").value();
                n.hidden = hidden == "1" || hidden == "true";
                content.names.push_back(std::move(n));
            }
        } else {
            preserved.workbookFragments.push_back({order, outerXml(el)});
        }
    }
    if (content.sheets.empty()) refuseFile(file, "the workbook has no sheets");
    return content;
}

void applyDefinedNames(const std::vector<DefinedName>& names, WorkbookModel& model) {
    for (const auto& n : names) {
        if (n.name == kPrintArea && n.localSheet >= 0 && n.localSheet < int(model.sheets.size()) &&
            n.refersTo.find(',') == std::string::npos) {
            std::string_view ref = n.refersTo;
            auto bang = ref.rfind('!');
            if (bang != std::string_view::npos) ref = ref.substr(bang + 1);
            if (auto area = host::tryParseArea(ref)) {
                model.sheets[size_t(n.localSheet)]->printArea = *area;
                continue;
            }
        }
        model.names.push_back(n);
    }
}

std::vector<DefinedName> definedNamesOf(const WorkbookModel& model) {
    std::vector<DefinedName> names;
    for (size_t i = 0; i < model.sheets.size(); ++i) {
        const Sheet& sheet = *model.sheets[i];
        if (!sheet.printArea) continue;
        names.push_back({std::string(kPrintArea),
                         sheetReferenceName(sheet.name) + "!" + absoluteAddress(*sheet.printArea),
                         int(i), false});
    }
    for (const auto& n : model.names) {
        bool replaced = n.name == kPrintArea && n.localSheet >= 0 &&
                        n.localSheet < int(model.sheets.size()) &&
                        model.sheets[size_t(n.localSheet)]->printArea;
        if (!replaced) names.push_back(n);
    }
    return names;
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
            auto names = definedNamesOf(model);
            if (!names.empty()) {
                out += "<definedNames>";
                for (const auto& n : names) {
                    out += "<definedName name=\"";
                    appendEscaped(out, n.name);
                    out += '"';
                    if (n.localSheet >= 0) out += " localSheetId=\"" + std::to_string(n.localSheet) + "\"";
                    if (n.hidden) out += " hidden=\"1\"";
                    out += '>';
                    appendEscaped(out, n.refersTo);
                    out += "</definedName>";
                }
                out += "</definedNames>";
            }
        }
        fragmentsAt(order);
        if (order == kWorkbookPr && !wroteWorkbookPr)
            out += model.date1904 ? "<workbookPr date1904=\"1\"/>" : "<workbookPr/>";
    }
    out += "</workbook>";
    return out;
}

}  // namespace vorra::engine::files
