#pragma once
// Where "print to file" puts its PDF files, and how each print job's file is named.
//
// The folder is given by the program. The desktop's standard choice is the folder the
// user configured (its main takes it from the environment variable VORRA_PRINT_DIR),
// else "vorra-prints" in the user's home folder, else "out/prints" below the current
// folder when there is no home folder. One file per job:
//   <sheet>-<yyyymmdd>-<hhmmss>-<nnn>.pdf     e.g. 转账支票-20261207-134500-001.pdf
// where nnn counts the jobs of this printer and skips names already taken.

#include <chrono>
#include <filesystem>
#include <string>

namespace vorra::print {

class PrintFolder {
public:
    explicit PrintFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}
    // The standard folder, as described above: `configured` unless null or empty,
    // else below `home` unless null or empty, else out/prints.
    static PrintFolder standard(const char* configured, const char* home);

    const std::filesystem::path& path() const { return folder_; }

    // Creates the folder when missing; throws host::HostError when it cannot be
    // created or is not a writable folder.
    void prepare() const;

    // A file name for the next job that is not taken yet.
    std::filesystem::path nextJobFile(const std::string& sheetName,
                                      std::chrono::system_clock::time_point when);

private:
    std::filesystem::path folder_;
    int jobs_ = 0;
};

// A sheet name made safe as part of a file name: path separators and control
// characters become "_"; an empty name becomes "sheet".
std::string fileNamePart(const std::string& sheetName);

}  // namespace vorra::print
