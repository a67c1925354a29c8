// Defined names: read from and written to the workbook part's <definedNames>, and
// moved between the names and the sheets' print areas.
#include "platform/engine/files/DefinedNames.h"

#include <cctype>
#include <string_view>

#include "platform/engine/files/Xml.h"

namespace vorra::engine::files {

namespace {

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

}  // namespace vorra::engine::files
