#include "platform/engine/files/ZipPackage.h"

#include <zip.h>

#include <memory>

#include "platform/engine/files/FileError.h"
#include "platform/engine/files/ZipWriter.h"

namespace vorra::engine::files {

namespace {

struct ArchiveCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct EntryCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

bool escapesPackage(const std::string& name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\') return true;
    if (name.size() > 1 && name[1] == ':') return true;  // "C:..."
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0 && end - start == 2) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

PartMap readZip(std::string_view bytes, const std::string& file, const ReadLimits& limits) {
    if (bytes.size() > limits.maxFileBytes)
        refuseFile(file, "the file is larger than " + std::to_string(limits.maxFileBytes >> 20) +
                             " MiB");
    if (bytes.size() < 4 || bytes.substr(0, 2) != "PK")
        refuseFile(file, "not a workbook: the file is not a zip package");

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!source) refuseFile(file, "cannot read the zip package");
    std::unique_ptr<zip_t, ArchiveCloser> archive(
        zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) {
        zip_source_free(source);
        std::string why = zip_error_strerror(&error);
        zip_error_fini(&error);
        refuseFile(file, "the zip package is truncated or damaged (" + why + ")");
    }
    zip_error_fini(&error);

    zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || std::uint64_t(count) > limits.maxEntries)
        refuseFile(file, "the zip package has " + std::to_string(count) + " entries, more than " +
                             std::to_string(limits.maxEntries) + " are not accepted");

    PartMap parts;
    std::uint64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &st) != 0)
            refuseFile(file, "the zip package is damaged (entry " + std::to_string(i) + ")");
        std::string name = st.name ? st.name : "";
        if (escapesPackage(name))
            refuseFile(file, "zip entry \"" + name + "\" points outside the package");
        if (!name.empty() && name.back() == '/') continue;  // folder entry
        if (st.encryption_method != ZIP_EM_NONE)
            refuseFile(file, "zip entry \"" + name + "\" is encrypted");
        total += st.size;
        if (total > limits.maxUncompressedBytes)
            refuseFile(file, "the package unpacks to more than " +
                                 std::to_string(limits.maxUncompressedBytes >> 20) +
                                 " MiB (decompression bomb?)");
        if (st.size > limits.ratioFloorBytes &&
            st.size / std::max<zip_uint64_t>(st.comp_size, 1) > limits.maxCompressionRatio)
            refuseFile(file, "zip entry \"" + name + "\" inflates more than " +
                                 std::to_string(limits.maxCompressionRatio) +
                                 " times (decompression bomb?)");

        std::unique_ptr<zip_file_t, EntryCloser> entry(zip_fopen_index(archive.get(), zip_uint64_t(i), 0));
        if (!entry) refuseFile(file, "cannot read zip entry \"" + name + "\"");
        std::string data(st.size, '\0');
        zip_uint64_t got = 0;
        while (got < st.size) {
            zip_int64_t n = zip_fread(entry.get(), data.data() + got, st.size - got);
            if (n <= 0) break;
            got += zip_uint64_t(n);
        }
        // One more read must hit the end: an entry that inflates past its declared
        // size is damaged (or lies about its size to slip past the bounds above).
        char extra;
        if (got != st.size || zip_fread(entry.get(), &extra, 1) != 0)
            refuseFile(file, "zip entry \"" + name + "\" is truncated or damaged");
        if (!parts.emplace(name, std::move(data)).second)
            refuseFile(file, "zip entry \"" + name + "\" appears twice");
    }
    return parts;
}

std::string writeZip(const std::vector<std::pair<std::string, std::string>>& parts,
                     const std::string& file) {
    StringSink out;
    ZipWriter zip(out, file);
    for (const auto& [name, data] : parts) zip.addPart(name, data);
    zip.finish();
    return out.take();
}

}  // namespace vorra::engine::files
