#include "platform/engine/files/PackageParts.h"

#include "platform/engine/files/FileError.h"

namespace vorra::engine::files {

std::string folderOf(const std::string& part) {
    auto slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string relsPathOf(const std::string& part) {
    auto slash = part.rfind('/');
    std::string folder = slash == std::string::npos ? "" : part.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
    return folder + "_rels/" + name + ".rels";
}

std::string resolveTarget(const std::string& folder, const std::string& target) {
    std::string joined = !target.empty() && target[0] == '/' ? target.substr(1) : folder + target;
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t end = joined.find('/', start);
        if (end == std::string::npos) end = joined.size();
        std::string seg = joined.substr(start, end - start);
        if (seg == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!seg.empty() && seg != ".") {
            segments.push_back(seg);
        }
        start = end + 1;
    }
    std::string out;
    for (size_t i = 0; i < segments.size(); ++i) {
        if (i) out += '/';
        out += segments[i];
    }
    return out;
}

std::string relativeTarget(const std::string& folder, const std::string& path) {
    if (path.compare(0, folder.size(), folder) == 0) return path.substr(folder.size());
    // Climb out of the folder as far as needed.
    std::string up;
    std::string f = folder;
    while (!f.empty()) {
        f.pop_back();  // trailing slash
        auto slash = f.rfind('/');
        f = slash == std::string::npos ? "" : f.substr(0, slash + 1);
        up += "../";
        if (path.compare(0, f.size(), f) == 0) return up + path.substr(f.size());
    }
    return up + path;
}

std::vector<Relationship> readRelationships(const PartMap& parts, const std::string& source,
                                            const std::string& file, int maxDepth) {
    std::vector<Relationship> rels;
    std::string relsPath = source.empty() ? "_rels/.rels" : relsPathOf(source);
    auto it = parts.find(relsPath);
    if (it == parts.end()) return rels;
    pugi::xml_document doc;
    parsePart(doc, it->second, file, relsPath, maxDepth);
    for (auto r : doc.document_element().children()) {
        if (localName(r) != "Relationship") continue;
        Relationship rel;
        rel.id = r.attribute("Id").value();
        rel.type = r.attribute("Type").value();
        rel.external = std::string_view(r.attribute("TargetMode").value()) == "External";
        std::string target = r.attribute("Target").value();
        rel.target = rel.external ? target : resolveTarget(folderOf(source), target);
        rels.push_back(std::move(rel));
    }
    return rels;
}

std::string writeRelationships(const std::vector<Relationship>& rels, const std::string& folder) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (const auto& r : rels) {
        out += "<Relationship Id=\"";
        appendEscaped(out, r.id);
        out += "\" Type=\"";
        appendEscaped(out, r.type);
        out += "\" Target=\"";
        appendEscaped(out, r.external ? r.target : relativeTarget(folder, r.target));
        out += r.external ? "\" TargetMode=\"External\"/>" : "\"/>";
    }
    out += "</Relationships>";
    return out;
}

std::string ContentTypes::typeOf(const std::string& path) const {
    if (auto o = overrides.find(path); o != overrides.end()) return o->second;
    auto dot = path.rfind('.');
    if (dot != std::string::npos) {
        std::string ext = path.substr(dot + 1);
        for (auto& ch : ext) ch = char(std::tolower(static_cast<unsigned char>(ch)));
        if (auto d = defaults.find(ext); d != defaults.end()) return d->second;
    }
    return {};
}

ContentTypes readContentTypes(const PartMap& parts, const std::string& file, int maxDepth) {
    auto it = parts.find("[Content_Types].xml");
    if (it == parts.end()) {
        // An OpenDocument package whose type entry is not the first one.
        if (auto type = parts.find("mimetype");
            type != parts.end() && type->second.find("opendocument.spreadsheet") != std::string::npos)
            refuseFile(file, kOpenDocumentRefusal);
        refuseFile(file, "not a workbook package: [Content_Types].xml is missing");
    }
    pugi::xml_document doc;
    parsePart(doc, it->second, file, "[Content_Types].xml", maxDepth);
    ContentTypes types;
    for (auto n : doc.document_element().children()) {
        if (localName(n) == "Default") {
            std::string ext = n.attribute("Extension").value();
            for (auto& ch : ext) ch = char(std::tolower(static_cast<unsigned char>(ch)));
            types.defaults[ext] = n.attribute("ContentType").value();
        } else if (localName(n) == "Override") {
            types.overrides[resolveTarget("", n.attribute("PartName").value())] =
                n.attribute("ContentType").value();
        }
    }
    return types;
}

std::string writeContentTypes(const ContentTypes& types) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">";
    for (const auto& [ext, type] : types.defaults) {
        out += "<Default Extension=\"";
        appendEscaped(out, ext);
        out += "\" ContentType=\"";
        appendEscaped(out, type);
        out += "\"/>";
    }
    for (const auto& [path, type] : types.overrides) {
        out += "<Override PartName=\"/";
        appendEscaped(out, path);
        out += "\" ContentType=\"";
        appendEscaped(out, type);
        out += "\"/>";
    }
    out += "</Types>";
    return out;
}

}  // namespace vorra::engine::files
