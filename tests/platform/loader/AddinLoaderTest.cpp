// The add-in loader: where the add-in is looked for, what is refused, and the rule that
// a loaded add-in stays loaded with its statics.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/loader/AddinLibrary.h"
#include "platform/loader/AddinSearch.h"

namespace vorra::loader {
namespace {

namespace fs = std::filesystem;

TEST(AddinSearch, CandidatesComeInOrderAndTheFirstFileWins) {
    EXPECT_EQ(addinCandidates("/opt/v/bin", std::string("/my/libvorra.so"), "/usr/lib/vorra", "../lib/vorra"),
              (std::vector<std::string>{"/my/libvorra.so", "/opt/v/bin/libvorra.so", "/opt/v/lib/libvorra.so",
                                        "/opt/v/lib/vorra/libvorra.so", "/opt/v/lib/vorra/libvorra.so",
                                        "/usr/lib/vorra/libvorra.so"}));
    EXPECT_EQ(addinCandidates("/opt/v/bin", std::string(), "", ""),
              (std::vector<std::string>{"/opt/v/bin/libvorra.so", "/opt/v/lib/libvorra.so",
                                        "/opt/v/lib/vorra/libvorra.so"}));

    const fs::path dir = fs::temp_directory_path() / ("vorra-addin-search-" + std::to_string(::getpid()));
    fs::create_directories(dir / "a" / kAddinFileName);  // a folder of that name is no library
    fs::create_directories(dir / "b");
    std::ofstream(dir / "b" / kAddinFileName) << "x";
    const std::vector<std::string> candidates{(dir / "a" / kAddinFileName).string(),
                                              (dir / "b" / kAddinFileName).string()};
    EXPECT_EQ(findAddin(candidates), candidates[1]);
    EXPECT_EQ(findAddin({candidates[0]}), std::nullopt);
    fs::remove_all(dir);
}

TEST(AddinLibrary, RefusesWhatIsNoAddin) {
    EXPECT_THAT([] { AddinLibrary("/nowhere/libvorra.so"); },
                ::testing::ThrowsMessage<AddinLoadError>(::testing::StartsWith("cannot load the add-in /nowhere/libvorra.so: ")));
    // A library that is no add-in: the C library has no entry points of ours.
    EXPECT_THAT([] { AddinLibrary("libc.so.6"); },
                ::testing::ThrowsMessage<AddinLoadError>(::testing::HasSubstr("does not export vorra_create_connection")));
}

// Released and loaded again, the library is the same one: it stayed loaded, and its
// statics count on from where they were.
TEST(AddinLibrary, StaysLoadedWithItsStaticsOnceReleased) {
    const std::string path = VORRA_COUNTING_ADDIN;
    {
        AddinLibrary library(path);
        library.createConnection().reset();
    }
    void* loaded = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(loaded, nullptr) << "the add-in was unloaded when its AddinLibrary went";
    {
        AddinLibrary again(path);
        auto connection = again.createConnection();
        EXPECT_NE(connection, nullptr);
    }
    auto created = reinterpret_cast<int (*)()>(dlsym(loaded, "vorra_connections_created"));
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created(), 2);
    dlclose(loaded);
}

}  // namespace
}  // namespace vorra::loader
