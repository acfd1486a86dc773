// The game installed as a desktop program: `cmake --install` lays out the executable, the data
// set, the menu entry, the icons and the AppStream metadata; the installed game finds its data
// from any working folder and keeps the players' files in the user's own data folder.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/application.h"
#include "progress/settings_folder.h"
#include "test_support.h"

using testing_support::TempDir;
namespace fs = std::filesystem;

namespace {

// The width and height a PNG file declares.
bool pngSize(const fs::path& path, int& width, int& height) {
    std::string bytes = testing_support::readFile(path);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return false;
    auto be32 = [&](size_t at) {
        return (static_cast<uint8_t>(bytes[at]) << 24) | (static_cast<uint8_t>(bytes[at + 1]) << 16) |
               (static_cast<uint8_t>(bytes[at + 2]) << 8) | static_cast<uint8_t>(bytes[at + 3]);
    };
    width = static_cast<int>(be32(16));
    height = static_cast<int>(be32(20));
    return true;
}

// Takes the write permission from a folder and everything in it, or gives it back.
void setWritable(const fs::path& folder, bool writable) {
    const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    const fs::perm_options how = writable ? fs::perm_options::add : fs::perm_options::remove;
    fs::permissions(folder, writable ? fs::perms::owner_write : write, how);
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (!entry.is_symlink()) fs::permissions(entry.path(), writable ? fs::perms::owner_write : write, how);
}

int run(const std::string& command) {
    int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool tool(const char* name) { return run(std::string("command -v ") + name) == 0; }

TEST(Install, TheInstalledDataSetIsFoundFromAnyFolderBeforeAnyOther) {
    TempDir prefix, work;
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share/sandmere/Data");
    fs::create_directories(work / "Data");
    DataFolderChoice c = locateDataFolder(work.str(), (prefix / "bin").string());
    EXPECT_TRUE(c.installed);
    EXPECT_TRUE(fs::equivalent(c.folder, prefix / "share/sandmere/Data"));
    // Not installed: the working folder's Data, else the one beside the executable.
    fs::remove_all(prefix / "share");
    c = locateDataFolder(work.str(), (prefix / "bin").string());
    EXPECT_FALSE(c.installed);
    EXPECT_TRUE(fs::equivalent(c.folder, work / "Data"));
    fs::remove_all(work / "Data");
    fs::create_directories(prefix / "bin/Data");
    c = locateDataFolder(work.str(), (prefix / "bin").string());
    EXPECT_TRUE(fs::equivalent(c.folder, prefix / "bin/Data"));
    fs::remove_all(prefix / "bin/Data");
    EXPECT_TRUE(locateDataFolder(work.str(), (prefix / "bin").string()).folder.empty());
}

TEST(Install, AnInstalledGameKeepsPlayersFilesInTheUsersFolderEvenWhereItCouldWrite) {
    TempDir data, home;
    resetApplicationState();
    application().dataFolder = data.str() + "/";
    application().installed = true;
    const char* previous = std::getenv("XDG_DATA_HOME");
    std::string previousValue = previous ? previous : "";
    setenv("XDG_DATA_HOME", (home / "share").c_str(), 1);
    EXPECT_EQ(findSettingsFolder(), (home / "share/sandmere/settings").string());
    EXPECT_EQ(enterSettingsFolder(), (home / "share/sandmere/settings").string());
    EXPECT_TRUE(fs::is_directory(home / "share/sandmere/settings"));
    EXPECT_FALSE(fs::exists(data / "settings"));
    // The build tree's game keeps them beside its data, as before.
    application().installed = false;
    EXPECT_EQ(enterSettingsFolder(), data.str() + "/settings");
    if (previous) setenv("XDG_DATA_HOME", previousValue.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
    resetApplicationState();
    setSettingsFolder("");
}

// The whole install, as a packager makes it, and the installed game started from elsewhere.
TEST(Install, CmakeInstallGivesADesktopProgramThatRunsFromItsPrefix) {
    REQUIRE_DATA_SET("targa.dat");
    TempDir prefix, home, runtime, elsewhere;
    ASSERT_EQ(run(std::string(SANDMERE_CMAKE) + " --install " + SANDMERE_BUILD_DIR + " --prefix " + prefix.str()), 0);
    const std::string id = "org.sandmere.Sandmere";
    EXPECT_TRUE(fs::is_regular_file(prefix / "bin/sandmere"));
    EXPECT_TRUE(fs::is_regular_file(prefix / "share/sandmere/Data/targa.dat"));
    EXPECT_FALSE(fs::exists(prefix / "share/sandmere/Data/settings"));  // no player's files
    const fs::path desktop = prefix / ("share/applications/" + id + ".desktop");
    const fs::path metainfo = prefix / ("share/metainfo/" + id + ".metainfo.xml");
    ASSERT_TRUE(fs::is_regular_file(desktop));
    ASSERT_TRUE(fs::is_regular_file(metainfo));
    for (int size : {48, 64, 128, 256}) {
        std::string name = std::to_string(size) + "x" + std::to_string(size);
        int w = 0, h = 0;
        ASSERT_TRUE(pngSize(prefix / ("share/icons/hicolor/" + name + "/apps/" + id + ".png"), w, h)) << name;
        EXPECT_EQ(w, size);
        EXPECT_EQ(h, size);
    }
    // The validators come with scripts/test's packages; the game itself needs neither.
    if (tool("desktop-file-validate")) EXPECT_EQ(run("desktop-file-validate " + desktop.string()), 0);
    else if (testing_support::dataSetRequired()) ADD_FAILURE() << "desktop-file-validate is missing";
    // Offline: the published screenshots cannot be fetched from here.
    if (tool("appstreamcli")) EXPECT_EQ(run("appstreamcli validate --no-net " + metainfo.string()), 0);
    else if (testing_support::dataSetRequired()) ADD_FAILURE() << "appstreamcli is missing";

    // The data folder is read-only for the players; the game runs from another folder and
    // writes its files into $XDG_DATA_HOME/sandmere once it has loaded.
    setWritable(prefix / "share/sandmere/Data", false);
    const std::string exe = (prefix / "bin/sandmere").string();
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(elsewhere.str().c_str()) != 0) _exit(99);
        setenv("SANDMERE_HEADLESS", "1", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_RUNTIME_DIR", runtime.str().c_str(), 1);
        setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(98);
    }
    ASSERT_GT(pid, 0);
    // The players' folder is made by the loading, which follows the splash pictures.
    const fs::path players = home / "data/sandmere/settings";
    int status = 0;
    bool exited = false;
    for (int waited = 0; waited < 60000 && !fs::exists(players); waited += 20) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_FALSE(exited) << "the installed game ended early with " << status;
    EXPECT_TRUE(fs::exists(players));
    // Loading has run once records are read; give the first frames a moment, then close.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(pid, SIGTERM);
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(fs::is_regular_file(players / "settings.dat"));
    EXPECT_TRUE(fs::is_regular_file(players / "records.dat"));
    EXPECT_FALSE(fs::exists(prefix / "share/sandmere/Data/settings"));
    EXPECT_FALSE(fs::exists(elsewhere / "settings"));
    setWritable(prefix / "share/sandmere/Data", true);
}

}  // namespace
