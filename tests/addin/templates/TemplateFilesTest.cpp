// Template files: which names may be imported, what is listed, and copying into the
// template folder without leaving half-written files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "addin/templates/TemplateFiles.h"

namespace vorra {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

TEST(ImportableName, TakesTheLastPartOfAnOrdinaryPath) {
    EXPECT_EQ(importableName("/home/会计/下载/现金支票.xls"), "现金支票.xls");
    EXPECT_EQ(importableName("现金支票.xls"), "现金支票.xls");
    EXPECT_EQ(importableName("/tmp/x..y.xlsx"), "x..y.xlsx");
}

TEST(ImportableName, RefusesClimbingHiddenAndUnusableNames) {
    for (const char* path : {"../模板.xls", "/home/u/../../etc/passwd", "a/b/..", "..", "/tmp/dir/", "",
                             ".hidden.xls", "/tmp/..x.xls", "a\\..\\b.xls", "名\x01.xls", "/tmp/."})
        EXPECT_EQ(importableName(path), std::nullopt) << path;
    EXPECT_EQ(importableName(std::string(256, 'n')), std::nullopt);
    EXPECT_EQ(importableName(std::string(255, 'n')), std::string(255, 'n'));
}

TEST(WorkbookFileName, MatchesExtensionsStartingWithXlInAnyCase) {
    for (const char* name : {"book.xls", "book.xlsx", "book.xlsm", "BOOK.XLS", "a.b.xlt"})
        EXPECT_TRUE(isWorkbookFileName(name)) << name;
    for (const char* name : {"book.csv", "book.x", "book", "xls", "book.xls.txt", "book.sxl"})
        EXPECT_FALSE(isWorkbookFileName(name)) << name;
}

TEST(TemplateFolder, LiesUnderTheAddinFolder) {
    EXPECT_EQ(templateFolder("/opt/vorra/"), "/opt/vorra/套打模板/");
    EXPECT_EQ(templateFolder("/opt/vorra"), "/opt/vorra/套打模板/");
}

class TemplateCopy : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("template-files-" + std::to_string(::getpid()));
        fs::create_directories(root / "from");
        fs::create_directories(root / "套打模板");
        folder = (root / "套打模板").string();
    }
    void TearDown() override { fs::remove_all(root); }
    std::string write(const std::string& name, const std::string& content) {
        std::ofstream(root / "from" / name, std::ios::binary) << content;
        return (root / "from" / name).string();
    }
    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path root;
    std::string folder;
};

TEST_F(TemplateCopy, CopiesAndReplacesUnderTheFileName) {
    EXPECT_EQ(copyIntoFolder(write("转账支票.xls", "first"), folder), std::nullopt);
    EXPECT_EQ(copyIntoFolder(write("转账支票.xls", "second, longer"), folder), std::nullopt);
    EXPECT_EQ(read(fs::path(folder) / "转账支票.xls"), "second, longer");
    EXPECT_THAT(entries(), ElementsAre("转账支票.xls"));
    // A template copied onto itself stays whole.
    EXPECT_EQ(copyIntoFolder(folder + "/转账支票.xls", folder), std::nullopt);
    EXPECT_EQ(read(fs::path(folder) / "转账支票.xls"), "second, longer");
}

TEST_F(TemplateCopy, FailuresGiveTheReasonAndLeaveNothingBehind) {
    EXPECT_EQ(copyIntoFolder((root / "from" / "没有.xls").string(), folder), "文件不存在");
    EXPECT_EQ(copyIntoFolder((root / "from").string(), folder), "不是普通文件");  // a folder
    EXPECT_EQ(copyIntoFolder(write("a.xls", "x"), folder + "/missing"), "模板文件夹不存在");
    EXPECT_EQ(copyIntoFolder(root.string() + "/from/../from/a.xls", folder), "文件名不能用作模板文件名");
    std::string big = write("big.xls", "");
    fs::resize_file(big, kMaxTemplateBytes + 1);  // sparse: no disk used
    EXPECT_EQ(copyIntoFolder(big, folder), "文件太大");
    EXPECT_THAT(entries(), ::testing::IsEmpty());
}

TEST_F(TemplateCopy, ListsOrdinaryFilesByName) {
    for (const char* name : {"b.xls", "a.xlsx", ".hidden.xls", "说明.txt", ".~lock.b.xls#", "~$a.xlsx"})
        std::ofstream(fs::path(folder) / name) << "x";
    fs::create_directories(fs::path(folder) / "sub.xls");
    ASSERT_EQ(::mkfifo((fs::path(folder) / "pipe.xls").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", fs::path(folder) / "device.xls");
    EXPECT_THAT(ordinaryFiles(folder), ElementsAre("a.xlsx", "b.xls", "说明.txt"));
    EXPECT_THAT(ordinaryFiles(folder + "/missing"), ::testing::IsEmpty());
}

// Nothing that is not a regular file is opened: a pipe would block the host for ever.
TEST_F(TemplateCopy, HiddenLockAndSpecialFilesAreRefusedAtOnce) {
    const std::string pipe = (root / "from" / "pipe.xls").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<std::string, const char*> cases[] = {
        {pipe, "不是普通文件"},
        {"/dev/null", "不是普通文件"},
        {write(".~lock.a.xls#", "x"), "隐藏文件或锁定文件，不能作为模板"},
        {write("~$a.xls", "x"), "隐藏文件或锁定文件，不能作为模板"},
        {write(".a.xls", "x"), "隐藏文件或锁定文件，不能作为模板"},
    };
    for (const auto& [path, reason] : cases) {
        EXPECT_EQ(refusalOf(path), reason) << path;
        EXPECT_EQ(copyIntoFolder(path, folder), reason) << path;
    }
    EXPECT_EQ(refusalOf(write("a.xls", "x")), std::nullopt);
    EXPECT_EQ(refusalOf((root / "from" / "没有.xls").string()), std::nullopt);  // the copy tells that
    EXPECT_THAT(entries(), ::testing::IsEmpty());
}

TEST(LinkSource, TheAuthoringPathMatchesInEveryFormItIsStoredIn) {
    for (const char* stored :
         {"C:\\Documents and Settings\\Administrator\\桌面\\Trelmar\\套打模板\\复件 Trelmar.xls",
          "file:///C:\\Documents and Settings\\Administrator\\桌面\\Trelmar\\套打模板\\复件 Trelmar.xls",
          "file:///C:/Documents%20and%20Settings/Administrator/%E6%A1%8C%E9%9D%A2/Trelmar/"
          "%E5%A5%97%E6%89%93%E6%A8%A1%E6%9D%BF/%E5%A4%8D%E4%BB%B6%20Trelmar.xls",
          "FILE://c:/documents and settings/ADMINISTRATOR/桌面/trelmar/套打模板/复件 TRELMAR.XLS"})
        EXPECT_TRUE(sameLinkSource(stored, kAuthoringLinkSource)) << stored;
    for (const char* stored : {"Trelmar.xls", "C:\\Documents and Settings\\Administrator\\桌面\\Trelmar\\复件 Trelmar.xls",
                               "C:\\Documents%20and%20Settings\\Administrator\\桌面\\Trelmar\\套打模板\\复件%20Trelmar.xls"})
        EXPECT_FALSE(sameLinkSource(stored, kAuthoringLinkSource)) << stored;
}

}  // namespace
}  // namespace vorra
