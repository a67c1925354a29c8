// Defined names: read from and written to the workbook part's <definedNames>, and
// moved between the names and the sheets' print areas.
#include "platform/engine/files/DefinedNames.h"

#include <string_view>

#include "platform/engine/files/Xml.h"

namespace vorra::engine::files {

namespace {

constexpr std::string_view kPrintArea = "_xlnm.Print_Area";

}  // namespace

std::string sheetReferenceName(const std::string& sheet) { return host::printQualifier("", sheet); }

std::vector<DefinedName> readDefinedNames(const pugi::xml_node& definedNames) {
    std::vector<DefinedName> names;
    for (auto d : definedNames.children()) {
        if (localName(d) != "definedName") continue;
        DefinedName n;
        n.name = d.attribute("name").value();
        n.refersTo = d.text().get();
        n.localSheet = d.attribute("localSheetId") ? d.attribute("localSheetId").as_int(-1) : -1;
        std::string_view hidden = d.attribute("hidden").value();
        n.hidden = hidden == "1" || hidden == "true";
        names.push_back(std::move(n));
    }
    return names;
}

std::string writeDefinedNames(const std::vector<DefinedName>& names) {
    if (names.empty()) return {};
    std::string out = "<definedNames>";
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
    return out;
}

void applyDefinedNames(const std::vector<DefinedName>& names, WorkbookModel& model) {
    for (const auto& n : names) {
        if (n.name == kPrintArea && n.localSheet >= 0 && n.localSheet < int(model.sheets.size()) &&
            n.refersTo.find(',') == std::string::npos) {
            std::string_view text = n.refersTo;
            if (!text.empty() && text.front() == '=') text.remove_prefix(1);
            if (auto ref = host::parseReference(text); ref && ref->book.empty()) {
                model.sheets[size_t(n.localSheet)]->printArea = ref->area();
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

}  // namespace vorra::engine::files
