// Each cashier's own add-in folder of an installed system: made and filled once from the
// shipped data, never overwriting the user's files, with the data of earlier
// installations moved in once.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/desktop/app/UserFolder.h"

namespace vorra::desktop {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& p) {
    std::ifstream in(p);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
void write(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text;
}

class UserFolder : public ::testing::Test {
protected:
    UserFolder() : root(fs::temp_directory_path() / ("vorra-user-folder-" + std::to_string(::getpid()))) {
        fs::remove_all(root);
        // An installation under root/usr, a user at root/home.
        write(addin / "libvorra.so", "library");
        write(addin / kDataPathFile, "../../share/vorra\n");
        write(root / "usr/share/vorra/templates/示例模板.xlsx", "sample");
        write(root / "usr/share/vorra/套打模板/银行.xls", "bank");
        env.home = root / "home";
        env.documents = env.home / "文档";
        fs::create_directories(env.home);
    }
    ~UserFolder() override { fs::remove_all(root); }
    fs::path root;
    fs::path addin = root / "usr/lib/vorra";
    UserEnvironment env;
};

TEST_F(UserFolder, IsMadeOnceFromTheShippedDataAndKeepsTheUsersFiles) {
    // The build tree's add-in folder has no data-path: it stays what it is.
    EXPECT_EQ(prepareUserFolder(root / "build/lib", env), root / "build/lib");
    EXPECT_FALSE(fs::exists(env.home / ".local"));

    // Data of an earlier installation, one name taken in the new folder already.
    const fs::path old = env.home / ".local/lib/vorra";
    write(old / "账本.xlsx", "records");
    write(old / "示例模板.xlsx", "old sample");
    write(old / "套打模板/旧.xls", "imported");
    write(old / "模板备份/账本.xlsx", "backup");
    write(old / "libvorra.so", "old library");
    const fs::path user = env.home / ".local/share/vorra";
    write(user / "示例模板.xlsx", "the user's own");

    EXPECT_EQ(prepareUserFolder(addin, env), user);
    EXPECT_EQ(fs::read_symlink(user / "libvorra.so"), addin / "libvorra.so");
    EXPECT_EQ(contents(user / "账本.xlsx"), "records");
    EXPECT_EQ(contents(user / "套打模板/旧.xls"), "imported");
    EXPECT_EQ(contents(user / "模板备份/账本.xlsx"), "backup");
    EXPECT_EQ(contents(user / "套打模板/银行.xls"), "bank");
    EXPECT_EQ(contents(user / "示例模板.xlsx"), "the user's own");
    EXPECT_EQ(contents(old / "示例模板.xlsx"), "old sample");  // taken: left where it was
    EXPECT_TRUE(fs::exists(old / "libvorra.so"));             // the installation's, not data

    // Later starts: a deleted template stays deleted, a stale link is put right, and
    // old data is not looked for again.
    fs::remove(user / "套打模板/银行.xls");
    fs::remove(user / "libvorra.so");
    fs::create_symlink(root / "elsewhere.so", user / "libvorra.so");
    write(old / "新.xlsx", "later");
    EXPECT_EQ(userAddinLibrary((addin / "libvorra.so").string(), env), (user / "libvorra.so").string());
    EXPECT_FALSE(fs::exists(user / "套打模板/银行.xls"));
    EXPECT_EQ(fs::read_symlink(user / "libvorra.so"), addin / "libvorra.so");
    EXPECT_FALSE(fs::exists(user / "新.xlsx"));

    // XDG_DATA_HOME moves it; the old data left behind moves into that new folder
    // first, and the shipped sample does not replace it.
    env.dataHome = root / "data";
    EXPECT_EQ(prepareUserFolder(addin, env), root / "data/vorra");
    EXPECT_EQ(contents(root / "data/vorra/示例模板.xlsx"), "old sample");
    EXPECT_EQ(contents(root / "data/vorra/套打模板/银行.xls"), "bank");
}

TEST_F(UserFolder, PrintsGoToTheDocumentsFolderAndTheOldPrintsMoveThere) {
    write(env.home / "vorra-prints/转账支票-1.pdf", "pdf");
    const fs::path prints = printFolderFor(env);
    EXPECT_EQ(prints, env.documents / "vorra-prints");
    EXPECT_EQ(contents(prints / "转账支票-1.pdf"), "pdf");
    EXPECT_FALSE(fs::exists(env.home / "vorra-prints"));
    env.printOverride = root / "chosen";
    EXPECT_EQ(printFolderFor(env), root / "chosen");
}

}  // namespace
}  // namespace vorra::desktop
