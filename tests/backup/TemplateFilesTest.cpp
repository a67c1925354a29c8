#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "backup/core/TemplateFiles.h"
#include "launcher/TempFolder.h"

using namespace vorra::backup;
using vorra::testing::readBytes;
using vorra::testing::TempFolder;
using vorra::testing::writeBytes;
namespace fs = std::filesystem;

namespace {

const std::string kBackupFolder = "模板备份";

std::vector<std::string> entriesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Backup : public ::testing::Test {
protected:
    TempFolder tool;
    fs::path backupFolder() const { return tool.path() / kBackupFolder; }
    void add(const std::string& name, const std::string& bytes) { writeBytes(tool.path() / name, bytes); }
};

}  // namespace

TEST(WorkbookListing, TakesEveryExtensionStartingWithXlInAnyCase) {
    for (const char* name : {"a.xls", "a.XLSX", "票据.xlsm", "a.xla", "a.Xlt", "a.xl", "a.b.xlsb", ".xls"})
        EXPECT_TRUE(isWorkbookFileName(name)) << name;
    for (const char* name : {"a.txt", "xls", "a.x", "a.lxs", "a.xls.bak", "a.", "a.exl", "模板备份"})
        EXPECT_FALSE(isWorkbookFileName(name)) << name;
}

TEST(WorkbookListing, ListsOrdinaryFilesOnlySortedByName) {
    TempFolder folder;
    writeBytes(folder.path() / "进账单.xls", "1");
    writeBytes(folder.path() / "b.xlsx", "2");
    writeBytes(folder.path() / "a.XLS", "3");
    writeBytes(folder.path() / "readme.txt", "4");
    fs::create_directory(folder.path() / "folder.xls");
    ::mkfifo((folder.path() / "pipe.xls").c_str(), 0600);
    fs::create_symlink(folder.path() / "b.xlsx", folder.path() / "link.xlsx");
    fs::create_symlink(folder.path() / "gone", folder.path() / "dangling.xls");
    EXPECT_EQ(listWorkbookFiles(folder.path()),
              (std::vector<std::string>{"a.XLS", "b.xlsx", "link.xlsx", "进账单.xls"}));
    EXPECT_TRUE(listWorkbookFiles(folder.path() / "missing").empty());
}

TEST_F(Backup, EmptyFolderOnlyCreatesTheBackupFolder) {
    const BackupOutcome outcome = backUpWorkbooks(tool.path(), listWorkbookFiles(tool.path()));
    EXPECT_TRUE(outcome.complete());
    EXPECT_EQ(outcomeText(outcome), "备份完毕！");
    ASSERT_TRUE(fs::is_directory(backupFolder()));
    EXPECT_TRUE(entriesIn(backupFolder()).empty());
}

TEST_F(Backup, SecondBackupReplacesTheFirstCopiesAndLeavesNoTemporaryFiles) {
    add("a.xls", std::string(300000, 'a'));
    add("b.xlsx", "first b");
    ASSERT_TRUE(backUpWorkbooks(tool.path(), {"a.xls", "b.xlsx"}).complete());
    EXPECT_EQ(readBytes(backupFolder() / "a.xls"), std::string(300000, 'a'));

    add("a.xls", "shorter");
    const BackupOutcome second = backUpWorkbooks(tool.path(), {"a.xls", "b.xlsx"});
    EXPECT_TRUE(second.complete());
    EXPECT_EQ(readBytes(backupFolder() / "a.xls"), "shorter");
    EXPECT_EQ(readBytes(backupFolder() / "b.xlsx"), "first b");
    EXPECT_EQ(entriesIn(backupFolder()), (std::vector<std::string>{"a.xls", "b.xlsx"}));
}

TEST_F(Backup, CopyKeepsTheWorkbooksModificationTime) {
    add("a.xls", "content");
    const auto lastYear = fs::last_write_time(tool.path() / "a.xls") - std::chrono::hours(24 * 365);
    fs::last_write_time(tool.path() / "a.xls", lastYear);
    ASSERT_TRUE(backUpWorkbooks(tool.path(), {"a.xls"}).complete());
    EXPECT_EQ(fs::last_write_time(backupFolder() / "a.xls"), lastYear);
}

TEST_F(Backup, PlainFileNamedLikeTheFolderBlocksEveryCopyAndIsSaidSo) {
    add("a.xls", "a");
    add("b.xlsx", "b");
    writeBytes(backupFolder(), "not a folder");
    const BackupOutcome outcome = backUpWorkbooks(tool.path(), {"a.xls", "b.xlsx"});
    EXPECT_EQ(outcome.folder, BackupFolderState::BlockedByFile);
    EXPECT_EQ(outcome.notCopied, (std::vector<std::string>{"a.xls", "b.xlsx"}));
    EXPECT_EQ(outcomeText(outcome),
              "有一个名为“模板备份”的文件占住了备份文件夹的位置，无法备份！\n"
              "以下文件未能备份：a.xls、b.xlsx");
    EXPECT_EQ(readBytes(backupFolder()), "not a folder");

    // With nothing to copy the blocked folder is still reported.
    EXPECT_EQ(outcomeText(backUpWorkbooks(tool.path(), {})),
              "有一个名为“模板备份”的文件占住了备份文件夹的位置，无法备份！");
}

TEST_F(Backup, FilesThatCannotBeCopiedAreNamedAndTheOthersStillCopied) {
    add("a.xls", "a");
    add("c.xls", "c");
    fs::create_directories(backupFolder() / "b.xls");  // a folder where the copy would go
    add("b.xls", "b");
    ::mkfifo((tool.path() / "pipe.xls").c_str(), 0600);  // must not hang the copy
    const BackupOutcome outcome =
        backUpWorkbooks(tool.path(), {"a.xls", "b.xls", "vanished.xls", "pipe.xls", "c.xls", "../a.xls"});
    EXPECT_EQ(outcome.folder, BackupFolderState::Ready);
    EXPECT_EQ(outcome.notCopied, (std::vector<std::string>{"b.xls", "vanished.xls", "pipe.xls", "../a.xls"}));
    EXPECT_EQ(outcomeText(outcome), "以下文件未能备份：b.xls、vanished.xls、pipe.xls、../a.xls");
    EXPECT_EQ(readBytes(backupFolder() / "a.xls"), "a");
    EXPECT_EQ(readBytes(backupFolder() / "c.xls"), "c");
    EXPECT_EQ(entriesIn(backupFolder()), (std::vector<std::string>{"a.xls", "b.xls", "c.xls"}));
}

TEST_F(Backup, FailedCopyLeavesTheEarlierGoodCopyInPlace) {
    add("a.xls", "good");
    ASSERT_TRUE(backUpWorkbooks(tool.path(), {"a.xls"}).complete());
    fs::remove(tool.path() / "a.xls");
    fs::create_directory(tool.path() / "a.xls");  // no longer a file that can be read
    EXPECT_FALSE(copyReplacing(tool.path() / "a.xls", backupFolder() / "a.xls"));
    EXPECT_EQ(readBytes(backupFolder() / "a.xls"), "good");
    EXPECT_EQ(entriesIn(backupFolder()), std::vector<std::string>{"a.xls"});
}

// Nothing is written through a symbolic link: a linked backup folder is told and left
// alone, a linked file in it is replaced by the copy.
TEST_F(Backup, ALinkedBackupFolderIsReportedAndNotWrittenInto) {
    add("a.xls", "a");
    TempFolder elsewhere;
    fs::create_directory_symlink(elsewhere.path(), backupFolder());
    const BackupOutcome outcome = backUpWorkbooks(tool.path(), {"a.xls"});
    EXPECT_EQ(outcome.folder, BackupFolderState::IsLink);
    EXPECT_EQ(outcomeText(outcome),
              "“模板备份”是一个符号链接，不是本文件夹中的备份文件夹，没有向其中备份！\n以下文件未能备份：a.xls");
    EXPECT_TRUE(entriesIn(elsewhere.path()).empty());
    fs::remove(backupFolder());
    fs::create_symlink(elsewhere.path() / "gone", backupFolder());  // a link to nowhere holds the name too
    EXPECT_EQ(backUpWorkbooks(tool.path(), {"a.xls"}).folder, BackupFolderState::IsLink);
    EXPECT_TRUE(entriesIn(elsewhere.path()).empty());
}

TEST_F(Backup, ALinkedFileInTheBackupFolderIsReplacedNotWrittenThrough) {
    add("a.xls", "the workbook");
    TempFolder elsewhere;
    writeBytes(elsewhere.path() / "victim", "keep me");
    fs::create_directory(backupFolder());
    fs::create_symlink(elsewhere.path() / "victim", backupFolder() / "a.xls");
    ASSERT_TRUE(backUpWorkbooks(tool.path(), {"a.xls"}).complete());
    EXPECT_EQ(readBytes(elsewhere.path() / "victim"), "keep me");
    EXPECT_FALSE(fs::is_symlink(backupFolder() / "a.xls"));
    EXPECT_EQ(readBytes(backupFolder() / "a.xls"), "the workbook");
}

TEST_F(Backup, EachCopyKeepsTheSourcesPermissionBits) {
    const std::pair<const char*, fs::perms> cases[] = {
        {"a.xls", fs::perms(0640)}, {"b.xls", fs::perms(0755)}, {"c.xls", fs::perms(0444)}};
    for (const auto& [name, perms] : cases) {
        add(name, name);
        fs::permissions(tool.path() / name, perms);
    }
    ASSERT_TRUE(backUpWorkbooks(tool.path(), {"a.xls", "b.xls", "c.xls"}).complete());
    for (const auto& [name, perms] : cases)
        EXPECT_EQ(fs::status(backupFolder() / name).permissions() & fs::perms::all, perms) << name;
}

TEST_F(Backup, NamesThatAreNotUtf8AreListedAndCopiedByTheirBytes) {
    const std::string name = "\xD6\xA7\xC6\xB1.xls";  // 支票 in code page 936
    add(name, "cheque");
    const std::vector<std::string> listed = listWorkbookFiles(tool.path());
    ASSERT_EQ(listed, std::vector<std::string>{name});
    ASSERT_TRUE(backUpWorkbooks(tool.path(), listed).complete());
    EXPECT_EQ(readBytes(backupFolder() / name), "cheque");
}

TEST_F(Backup, UncreatableFolderIsReported) {
    add("a.xls", "a");
    const fs::path missing = tool.path() / "missing";
    const BackupOutcome outcome = backUpWorkbooks(missing, {"a.xls"});
    EXPECT_EQ(outcome.folder, BackupFolderState::NotCreated);
    EXPECT_EQ(outcomeText(outcome), "无法创建备份文件夹“模板备份”！\n以下文件未能备份：a.xls");
}

TEST_F(Backup, WorkingFolderElsewhereDoesNotMatter) {
    add("a.xls", "a");
    TempFolder elsewhere;
    const fs::path before = fs::current_path();
    fs::current_path(elsewhere.path());
    const BackupOutcome outcome = backUpWorkbooks(tool.path(), listWorkbookFiles(tool.path()));
    fs::current_path(before);
    EXPECT_TRUE(outcome.complete());
    EXPECT_EQ(readBytes(backupFolder() / "a.xls"), "a");
    EXPECT_TRUE(entriesIn(elsewhere.path()).empty());
}
