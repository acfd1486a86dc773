// The players' files under hostile conditions: wild counters in a saved game, links and FIFOs
// planted under the files' names, files that exist but cannot be read, and two profiles of one
// name.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>

#include "board_support.h"
#include "progress/saved_game.h"
#include "progress_support.h"

using progress_testing::loadHexFixture;
using progress_testing::Sandbox;
using testing_support::FatalError;
namespace fs = std::filesystem;

TEST(PlantedFiles, ALinkUnderATemporaryNameIsReplacedNotWrittenThrough) {
    Sandbox box;
    box.start();
    ASSERT_TRUE(createProfile("ANNA"));
    saveProgress();
    fs::path victim = box.dir / "victim.txt";
    fs::path elsewhere = box.dir / "created.txt";
    testing_support::writeFile(victim, "keep");
    fs::create_symlink(victim, box.file("profiles.dat.tmp"));
    fs::create_symlink(elsewhere, box.file("settings.dat.tmp"));  // leads nowhere yet
    saveProgress();
    awardTrophy(4);
    EXPECT_EQ(testing_support::readFile(victim), "keep");
    EXPECT_FALSE(fs::exists(elsewhere));
    for (const char* name : {"settings.dat", "profiles.dat", "ANNA.trp"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(box.file(name)))) << name;
        EXPECT_FALSE(fs::exists(fs::symlink_status(box.file(std::string(name) + ".tmp")))) << name;
    }
    EXPECT_EQ(box.read("profiles.dat").size(), kProfileBytes);
}

