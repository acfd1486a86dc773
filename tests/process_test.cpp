// The game as a process: a second copy leaves at once, and signals close the game cleanly.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "test_support.h"

using testing_support::TempDir;

namespace {

pid_t launchGame(const std::string& folder, const std::string& runtimeDir, const char* videoDriver = nullptr,
                 const char* executable = SANDMERE_GAME_EXE) {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0) _exit(99);
        if (videoDriver) {
            unsetenv("SANDMERE_HEADLESS");
            setenv("SDL_VIDEODRIVER", videoDriver, 1);
        } else {
            setenv("SANDMERE_HEADLESS", "1", 1);
        }
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl(executable, executable, static_cast<char*>(nullptr));
        _exit(98);
    }
    return pid;
}

// Waits for the child's exit for up to the given time; -1 if it is still running (then, unless
// asked to leave it, the child is killed so that no test leaves a game behind).
int waitExit(pid_t pid, int milliseconds, bool leaveRunning = false) {
    for (int waited = 0; waited <= milliseconds; waited += 10) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!leaveRunning) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return -1;
}

// True once some process holds the game's lock file.
bool lockHeld(const std::string& runtimeDir) {
    int fd = open((runtimeDir + "/sandmere.lock").c_str(), O_RDWR);
    if (fd < 0) return false;
    bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (!held) flock(fd, LOCK_UN);
    close(fd);
    return held;
}

TEST(Process, SecondCopyLeavesAtOnceAndFirstRunsOn) {
    TempDir install, runtime;
    testing_support::makeMinimalInstall(install, false);
    pid_t first = launchGame(install.str(), runtime.str());
    ASSERT_GT(first, 0);
    for (int i = 0; i < 1000 && !lockHeld(runtime.str()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(lockHeld(runtime.str()));
    pid_t second = launchGame(install.str(), runtime.str());
    EXPECT_EQ(waitExit(second, 10000), 0);
    EXPECT_EQ(waitExit(first, 0, true), -1);  // still running
    kill(first, SIGTERM);
    EXPECT_EQ(waitExit(first, 10000), 0);  // a signal closes the game like its window
}

TEST(Process, MissingDataFolderExitsWithOne) {
    // The game also looks beside its executable, so it runs from a copy far from any Data/.
    TempDir install, runtime, bin;
    std::filesystem::copy_file(SANDMERE_GAME_EXE, bin / "sandmere");
    std::string exe = (bin / "sandmere").string();
    pid_t game = launchGame(install.str(), runtime.str(), nullptr, exe.c_str());
    EXPECT_EQ(waitExit(game, 10000), 1);
}

TEST(Process, WindowThatCannotBeCreatedExitsWithOne) {
    TempDir install, runtime;
    testing_support::makeMinimalInstall(install, false);
    pid_t game = launchGame(install.str(), runtime.str(), "no-such-video-driver");
    EXPECT_EQ(waitExit(game, 10000), 1);
}

}  // namespace
