#pragma once
// Package plumbing shared by the part readers and writers: relationships, content
// types, part paths, and what the file layer keeps of parts the engine does not model.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/files/Xml.h"
#include "platform/engine/files/ZipPackage.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine::files {

namespace reltype {
inline constexpr std::string_view kOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
inline constexpr std::string_view kWorksheet =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
inline constexpr std::string_view kStyles =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
inline constexpr std::string_view kSharedStrings =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings";
inline constexpr std::string_view kExternalLink =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/externalLink";
inline constexpr std::string_view kExternalLinkPath =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/externalLinkPath";
inline constexpr std::string_view kCalcChain =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain";
inline constexpr std::string_view kVbaProject =
    "http://schemas.microsoft.com/office/2006/relationships/vbaProject";
}  // namespace reltype

namespace contenttype {
inline constexpr std::string_view kRelationships = "application/vnd.openxmlformats-package.relationships+xml";
inline constexpr std::string_view kWorkbook =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
inline constexpr std::string_view kMacroWorkbook = "application/vnd.ms-excel.sheet.macroEnabled.main+xml";
inline constexpr std::string_view kWorksheet =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
inline constexpr std::string_view kStyles =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
inline constexpr std::string_view kSharedStrings =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";
inline constexpr std::string_view kExternalLink =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.externalLink+xml";
}  // namespace contenttype

namespace ns {
inline constexpr std::string_view kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr std::string_view kRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
}  // namespace ns

struct Relationship {
    std::string id;
    std::string type;
    std::string target;  // package path without leading "/" for internal targets
    bool external = false;
};

// "xl/worksheets/sheet1.xml" → "xl/worksheets/_rels/sheet1.xml.rels".
std::string relsPathOf(const std::string& part);
std::string folderOf(const std::string& part);  // "xl/worksheets/"
// Resolves a relationship target written relative to `folder` into a package path.
std::string resolveTarget(const std::string& folder, const std::string& target);
// The other way: a package path written relative to `folder`.
std::string relativeTarget(const std::string& folder, const std::string& path);

// Reads a relationships part (missing part: none). Internal targets come back as
// package paths, resolved against the folder of `source`.
std::vector<Relationship> readRelationships(const PartMap& parts, const std::string& source,
                                            const std::string& file, int maxDepth);
// Writes a relationships part for a part in `folder`.
std::string writeRelationships(const std::vector<Relationship>& rels, const std::string& folder);

// [Content_Types].xml: defaults by extension and overrides by part.
struct ContentTypes {
    std::map<std::string, std::string> defaults;   // extension → type
    std::map<std::string, std::string> overrides;  // package path → type
    std::string typeOf(const std::string& path) const;
};
ContentTypes readContentTypes(const PartMap& parts, const std::string& file, int maxDepth);
std::string writeContentTypes(const ContentTypes& types);

// A part carried through a save as it was read.
struct PartBlob {
    std::string contentType;
    std::string bytes;
};

// An unmodelled child element of a part's root, with its place in the schema's order
// so that a writer can put it back between the elements it writes itself.
struct XmlFragment {
    int order = 0;
    std::string xml;
};

// Package-level parts the engine does not model: themes, document properties, the
// macro project, custom XML … and the unmodelled parts of the workbook part itself.
struct PackagePreserved : PreservedParts {
    std::map<std::string, PartBlob> parts;
    std::vector<Relationship> rootRelationships;      // besides the office document
    std::vector<Relationship> workbookRelationships;  // besides sheets, styles, strings, links
    std::vector<XmlFragment> workbookFragments;
    Attributes workbookRootAttributes;  // namespace declarations the fragments rely on
    Attributes workbookViewAttributes;  // window position and the like
    std::map<std::string, std::string> defaultContentTypes;
};

// A worksheet's unmodelled content: elements of the sheet part, attributes of the
// elements the engine models only in part, and every part the sheet refers to
// (drawings, images, comments …) so that the sheet can travel to another workbook.
struct WorksheetPreserved : PreservedParts {
    std::vector<XmlFragment> fragments;
    Attributes rootAttributes;
    Attributes sheetViewAttributes;
    std::string paneXml;
    std::string selectionPane;
    Attributes pageSetupAttributes;
    bool fromFile = false;      // read from a file (not a sheet made here)
    bool hadPageSetup = false;  // the file gave the sheet a page setup
    Attributes protectionAttributes;
    Attributes sheetFormatAttributes;
    Attributes headerFooterAttributes;
    std::string headerFooterExtra;  // even and first-page headers and footers
    std::vector<Relationship> relationships;
    std::map<std::string, PartBlob> parts;
};

// An external link part, kept as it was; its path relationship is rewritten from
// ExternalLinkModel::target on save.
struct ExternalLinkPreserved : PreservedParts {
    std::string xml;
    std::string pathRelationshipId;
    std::string pathRelationshipType;
    std::vector<Relationship> otherRelationships;
};

}  // namespace vorra::engine::files
