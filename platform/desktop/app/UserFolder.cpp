#include "platform/desktop/app/UserFolder.h"

#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "platform/loader/AddinSearch.h"

namespace vorra::desktop {

namespace fs = std::filesystem;

namespace {

constexpr const char* kShippedTemplates = "templates";  // in the shipped data folder
constexpr const char* kSeededMarker = ".seeded";
constexpr const char* kMigratedMarker = ".migrated";
constexpr const char* kBackupFolderName = "模板备份";
constexpr const char* kPrintFolderName = "vorra-prints";
// The longest "data-path" file read; anything longer is not a path.
constexpr std::uintmax_t kMaxDataPathBytes = 4096;

fs::path fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? fs::path(value) : fs::path();
}

bool present(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

bool isWorkbook(const fs::path& p) { return p.extension().string().rfind(".xl", 0) == 0; }

// Copies the ordinary files of `from` into `to` under their names, none over an
// existing one.
void copyMissing(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (!fs::is_directory(from, ec)) return;
    fs::create_directories(to);
    for (const auto& entry : fs::directory_iterator(from, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        const fs::path target = to / entry.path().filename();
        if (!present(target)) fs::copy_file(entry.path(), target, fs::copy_options::skip_existing, ec);
    }
}

// Moves a file or folder unless its name is taken at the target; across file systems
// by copying, then removing the original.
void moveUnlessTaken(const fs::path& from, const fs::path& to) {
    if (present(to)) return;
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec) return;
    fs::copy(from, to, fs::copy_options::recursive, ec);
    if (!ec) fs::remove_all(from, ec);
}

// The link through which the host loads the add-in, made or corrected; a file of the
// user's of that name is left alone.
void linkAddin(const fs::path& library, const fs::path& link) {
    std::error_code ec;
    if (fs::is_symlink(link, ec)) {
        if (fs::read_symlink(link, ec) == library) return;
        fs::remove(link);
    } else if (present(link)) {
        return;
    }
    fs::create_symlink(library, link);
}

void touch(const fs::path& file) { std::ofstream(file) << "1\n"; }

}  // namespace

UserEnvironment UserEnvironment::fromProcess() {
    UserEnvironment e;
    e.home = fromEnvironment("HOME");
    e.dataHome = fromEnvironment("XDG_DATA_HOME");
    e.printOverride = fromEnvironment("VORRA_PRINT_DIR");
    // The documents folder from the user's XDG user dirs (~/Documents by default).
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty()) e.documents = documents.toStdString();
    return e;
}

std::optional<fs::path> installedDataFolder(const fs::path& addinFolder) {
    const fs::path file = addinFolder / kDataPathFile;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec) || fs::file_size(file, ec) > kMaxDataPathBytes || ec) return std::nullopt;
    std::ifstream in(file);
    std::string line;
    if (!std::getline(in, line) || line.empty() || line.find('\0') != std::string::npos) return std::nullopt;
    const fs::path data(line);
    return (data.is_absolute() ? data : addinFolder / data).lexically_normal();
}

fs::path userDataFolder(const UserEnvironment& environment) {
    if (!environment.dataHome.empty() && environment.dataHome.is_absolute()) return environment.dataHome / "vorra";
    return environment.home / ".local" / "share" / "vorra";
}

void migrateOldData(const fs::path& userFolder, const UserEnvironment& environment) {
    if (environment.home.empty() || present(userFolder / kMigratedMarker)) return;
    const fs::path old = environment.home / ".local" / "lib" / "vorra";
    std::error_code ec;
    if (fs::is_directory(old, ec) && !fs::equivalent(old, userFolder, ec)) {
        for (const auto& entry : fs::directory_iterator(old, ec)) {
            const fs::path name = entry.path().filename();
            const bool data = entry.is_directory(ec) ? name == kTemplateFolderName || name == kBackupFolderName
                                                     : entry.is_regular_file(ec) && isWorkbook(name);
            if (data) moveUnlessTaken(entry.path(), userFolder / name);
        }
    }
    touch(userFolder / kMigratedMarker);
}

fs::path prepareUserFolder(const fs::path& addinFolder, const UserEnvironment& environment) {
    const std::optional<fs::path> shipped = installedDataFolder(addinFolder);
    if (!shipped) return addinFolder;
    const fs::path user = userDataFolder(environment);
    fs::create_directories(user);
    migrateOldData(user, environment);
    linkAddin(addinFolder / loader::kAddinFileName, user / loader::kAddinFileName);
    fs::create_directories(user / kTemplateFolderName);
    if (!present(user / kSeededMarker)) {
        copyMissing(*shipped / kShippedTemplates, user);
        copyMissing(*shipped / kTemplateFolderName, user / kTemplateFolderName);
        touch(user / kSeededMarker);
    }
    return user;
}

std::string userAddinLibrary(const std::string& foundLibrary, const UserEnvironment& environment) {
    const fs::path library(foundLibrary);
    if (environment.home.empty() && environment.dataHome.empty()) return foundLibrary;
    try {
        const fs::path folder = prepareUserFolder(library.parent_path(), environment);
        return folder == library.parent_path() ? foundLibrary : (folder / library.filename()).string();
    } catch (const fs::filesystem_error& e) {
        std::fprintf(stderr, "vorra: cannot prepare the user's folder: %s\n", e.what());
        return foundLibrary;
    }
}

fs::path printFolderFor(const UserEnvironment& environment) {
    if (!environment.printOverride.empty()) return environment.printOverride;
    fs::path base = !environment.documents.empty() ? environment.documents : environment.home;
    if (base.empty()) return fs::path("out") / "prints";
    const fs::path folder = base / kPrintFolderName;
    // An earlier ~/vorra-prints moves into the new folder, file by file.
    const fs::path old = environment.home / kPrintFolderName;
    std::error_code ec;
    if (!environment.home.empty() && fs::is_directory(old, ec) && !fs::equivalent(old, folder, ec)) {
        fs::create_directories(folder, ec);
        for (const auto& entry : fs::directory_iterator(old, ec)) moveUnlessTaken(entry.path(), folder / entry.path().filename());
        fs::remove(old, ec);  // only when it is empty now
    }
    return folder;
}

}  // namespace vorra::desktop
