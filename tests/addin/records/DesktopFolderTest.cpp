// Finding the user's desktop the way the Linux desktop defines it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "addin/frame/dialogs/DesktopFolder.h"

namespace vorra::dialogs {
namespace {

namespace fs = std::filesystem;

class DesktopFolder : public ::testing::Test {
protected:
    void SetUp() override {
        home = fs::temp_directory_path() / ("desktop-home-" + std::to_string(::getpid()));
        fs::create_directories(home / ".config");
        vars["HOME"] = home.string();
    }
    void TearDown() override { fs::remove_all(home); }

    void userDirs(const std::string& text, const fs::path& config = {}) {
        fs::path dir = config.empty() ? home / ".config" : config;
        fs::create_directories(dir);
        std::ofstream(dir / "user-dirs.dirs") << text;
    }
    std::string desktop() {
        return xdgDesktopFolder([this](const char* name) -> const char* {
            auto it = vars.find(name);
            return it == vars.end() ? nullptr : it->second.c_str();
        });
    }

    fs::path home;
    std::map<std::string, std::string> vars;
};

TEST_F(DesktopFolder, UserDirsFileNamesTheDesktopRelativeToHomeOrAbsolute) {
    userDirs("# written by the desktop\nXDG_DOWNLOAD_DIR=\"$HOME/下载\"\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\n");
    EXPECT_EQ(desktop(), home.string() + "/桌面");
    userDirs("XDG_DESKTOP_DIR=\"/srv/共享 桌面/\"\n");
    EXPECT_EQ(desktop(), "/srv/共享 桌面");
}

TEST_F(DesktopFolder, ConfigHomeVariableMovesTheUserDirsFile) {
    userDirs("XDG_DESKTOP_DIR=\"$HOME/ignored\"\n");
    userDirs("XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", home / "cfg");
    vars["XDG_CONFIG_HOME"] = (home / "cfg").string();
    EXPECT_EQ(desktop(), home.string() + "/Schreibtisch");
}

TEST_F(DesktopFolder, MalformedEntriesFallBackToEnvironmentThenHomeDesktop) {
    userDirs("XDG_DESKTOP_DIR=桌面\nXDG_DESKTOP_DIR=\"relative/path\"\nXDG_DESKTOP_DIR=\"\n");
    EXPECT_EQ(desktop(), home.string() + "/Desktop");
    vars["XDG_DESKTOP_DIR"] = "/data/desk/";
    EXPECT_EQ(desktop(), "/data/desk");
    vars["XDG_DESKTOP_DIR"] = "not/absolute";
    EXPECT_EQ(desktop(), home.string() + "/Desktop");
}

}  // namespace
}  // namespace vorra::dialogs
