#include <gtest/gtest.h>

#include "TempFolder.h"
#include "launcher/core/LaunchMarker.h"
#include "launcher/core/ProgramFolder.h"

using namespace vorra::launcher;
using vorra::testing::readBytes;
using vorra::testing::TempFolder;
using vorra::testing::writeBytes;

namespace {

// "欢迎您，使用ExcelQuorvan！" in code page 936, then CR LF.
const std::string kExpectedMarker =
    "\xBB\xB6\xD3\xAD\xC4\xFA\xA3\xAC\xCA\xB9\xD3\xC3"
    "ExcelQuorvan"
    "\xA3\xA1\r\n";

std::size_t entriesIn(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

}  // namespace

TEST(LaunchMarker, HoldsTheWelcomeLineInCodePage936EndedByCrLf) {
    TempFolder folder;
    ASSERT_TRUE(writeLaunchMarker(folder.str()));
    EXPECT_EQ(readBytes(folder.path() / "setting.ini"), kExpectedMarker);
    EXPECT_EQ(entriesIn(folder.path()), 1u) << "no temporary file may stay behind";
}

TEST(LaunchMarker, ReplacesAnExistingMarkerWithTheOneLine) {
    TempFolder folder;
    writeBytes(folder.path() / "setting.ini", std::string(5000, 'x') + "\r\nold second line\r\n");
    ASSERT_TRUE(writeLaunchMarker(folder.str() + "/"));
    EXPECT_EQ(readBytes(folder.path() / "setting.ini"), kExpectedMarker);
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(LaunchMarker, ReportsFailureWithoutDisturbingWhatIsThere) {
    TempFolder folder;
    EXPECT_FALSE(writeLaunchMarker((folder.path() / "missing").string()));

    // A folder in the marker's place stays a folder, with its content.
    std::filesystem::create_directory(folder.path() / "setting.ini");
    writeBytes(folder.path() / "setting.ini" / "keep", "kept");
    EXPECT_FALSE(writeLaunchMarker(folder.str()));
    EXPECT_EQ(readBytes(folder.path() / "setting.ini" / "keep"), "kept");
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

// The marker is a file of its own: a symbolic link of its name is replaced, and what it
// pointed at is left as it was.
TEST(LaunchMarker, ReplacesASymbolicLinkInsteadOfWritingThroughIt) {
    TempFolder folder;
    TempFolder elsewhere;
    writeBytes(elsewhere.path() / "settings-of-another-program", "keep me");
    std::filesystem::create_symlink(elsewhere.path() / "settings-of-another-program", folder.path() / "setting.ini");
    ASSERT_TRUE(writeLaunchMarker(folder.str()));
    EXPECT_EQ(readBytes(elsewhere.path() / "settings-of-another-program"), "keep me");
    EXPECT_FALSE(std::filesystem::is_symlink(folder.path() / "setting.ini"));
    EXPECT_EQ(readBytes(folder.path() / "setting.ini"), kExpectedMarker);
    EXPECT_EQ(entriesIn(folder.path()), 1u);

    // A link to nowhere is replaced too, and nothing appears where it pointed.
    std::filesystem::remove(folder.path() / "setting.ini");
    std::filesystem::create_symlink(elsewhere.path() / "new-file", folder.path() / "setting.ini");
    ASSERT_TRUE(writeLaunchMarker(folder.str()));
    EXPECT_FALSE(std::filesystem::exists(elsewhere.path() / "new-file"));
    EXPECT_EQ(readBytes(folder.path() / "setting.ini"), kExpectedMarker);
    EXPECT_EQ(std::filesystem::status(folder.path() / "setting.ini").permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0644));
}

TEST(LaunchMarker, CodePage936RefusesWhatItCannotHold) {
    EXPECT_EQ(toCodePage936("Quorvan 5.1"), "Quorvan 5.1");
    EXPECT_EQ(toCodePage936("！"), "\xA3\xA1");
    EXPECT_FALSE(toCodePage936("\xF0\x9F\x98\x80"));  // an emoji has no code in 936
    EXPECT_FALSE(toCodePage936("\xFF\xFE"));          // not UTF-8
}

TEST(ProgramFolder, KeepsExactlyOneTrailingSlashAndTheRoot) {
    EXPECT_EQ(withOneTrailingSlash("/opt/vorra"), "/opt/vorra/");
    EXPECT_EQ(withOneTrailingSlash("/opt/vorra/"), "/opt/vorra/");
    EXPECT_EQ(withOneTrailingSlash("/opt/vorra///"), "/opt/vorra/");
    EXPECT_EQ(withOneTrailingSlash("/"), "/");
    EXPECT_EQ(withOneTrailingSlash("//"), "/");
    // A launcher in the file-system root writes its marker into the root.
    EXPECT_EQ(markerPathIn("/"), "/setting.ini");
    EXPECT_EQ(markerPathIn("/opt/vorra"), "/opt/vorra/setting.ini");
}
