#pragma once
// Where an installed system keeps each cashier's data. The installed add-in folder
// (<libdir>/vorra: the add-in, Quorlaunch, Mouldsafe) belongs to the installation and
// may not be writable, so each user gets an add-in folder of their own, their data
// folder $XDG_DATA_HOME/vorra (~/.local/share/vorra), holding:
//   libvorra.so   a link to the installed add-in: the host loads the add-in through it,
//                 so that the add-in's folder (the folder it was loaded from) is this one
//   setting.ini   the launcher's marker
//   *.xlsx        the templates of the start-up list, first the sample template
//   套打模板/      the imported templates
//   模板备份/      the backups of Mouldsafe
// The installation marks its add-in folder with the file "data-path", which names its
// shipped data (<datadir>/vorra: the sample template, templates for every user in
// 套打模板/) relative to the add-in folder. A user's folder is filled from there once,
// when it is made; nothing of the user's is ever replaced. Programs run from the build
// tree (no "data-path") keep using the folder of the add-in as it is.
//
// Earlier installations kept the cashier's data in the add-in folder ~/.local/lib/vorra
// and the PDF files of print to file in ~/vorra-prints; both move here once (see
// migrateOldData).

#include <filesystem>
#include <optional>
#include <string>

namespace vorra::desktop {

inline constexpr const char* kDataPathFile = "data-path";
inline constexpr const char* kTemplateFolderName = "套打模板";

// What the folders depend on, read from the environment once by a program's main.
struct UserEnvironment {
    std::filesystem::path home;          // $HOME
    std::filesystem::path dataHome;      // $XDG_DATA_HOME, else empty
    std::filesystem::path documents;     // the user's documents folder (XDG user dirs)
    std::filesystem::path printOverride; // $VORRA_PRINT_DIR, else empty
    static UserEnvironment fromProcess();
};

// The shipped data of an installed add-in folder; nullopt when `addinFolder` is not an
// installed one.
std::optional<std::filesystem::path> installedDataFolder(const std::filesystem::path& addinFolder);

// The user's own add-in and data folder: $XDG_DATA_HOME/vorra, else ~/.local/share/vorra.
std::filesystem::path userDataFolder(const UserEnvironment& environment);

// Makes the user's folder for an installed add-in folder, as described above, and
// returns it; returns `addinFolder` unchanged when it is not an installed one. Throws
// std::filesystem::filesystem_error when the user's folder cannot be made.
std::filesystem::path prepareUserFolder(const std::filesystem::path& addinFolder,
                                        const UserEnvironment& environment);

// The add-in library a host should load: the link in the user's folder for an
// installed add-in, else the library found. A user folder that cannot be made is
// reported on standard error, and the library found is loaded.
std::string userAddinLibrary(const std::string& foundLibrary, const UserEnvironment& environment);

// Where print to file writes: $VORRA_PRINT_DIR, else "vorra-prints" in the documents
// folder (else in the home folder, else out/prints), moving the files of an earlier
// ~/vorra-prints there first.
std::filesystem::path printFolderFor(const UserEnvironment& environment);

// Moves what earlier installations left in the old places into the user's folder,
// once (the file ".migrated" in it remembers that): the workbooks and the folders
// 套打模板 and 模板备份 of ~/.local/lib/vorra. A name already taken in the user's
// folder stays where it was, so that nothing is overwritten.
void migrateOldData(const std::filesystem::path& userFolder, const UserEnvironment& environment);

}  // namespace vorra::desktop
