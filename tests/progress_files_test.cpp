// The players' files on disk: where they live, how they load, how the profile operations
// move them, and that a failed write leaves the old file whole.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

#include "app/trace.h"
#include "progress_support.h"

using progress_testing::bytesOf;
using progress_testing::loadHexFixture;
using progress_testing::Sandbox;
using testing_support::FatalError;
namespace fs = std::filesystem;

namespace {

std::set<std::string> filesUnder(const fs::path& root) {
    std::set<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) out.insert(fs::relative(e.path(), root).string());
    return out;
}

void makeProfiles(std::initializer_list<const char*> names) {
    for (const char* n : names) ASSERT_TRUE(createProfile(n)) << n;
}

}  // namespace

TEST(SettingsFolder, FirstRunCreatesTheFolderAndStartsWithDefaults) {
    Sandbox box;
    ASSERT_FALSE(fs::exists(box.folder));
    box.start();
    EXPECT_TRUE(fs::is_directory(box.folder));
    EXPECT_EQ(settings().musicVolume, 100);
    EXPECT_EQ(settings().sfxVolume, 80);
    EXPECT_EQ(settings().fullScreen, 1);
    EXPECT_EQ(settings().customCursor, 0);
    EXPECT_EQ(profileCount(), 0);
    // Nothing is written before the first save.
    EXPECT_FALSE(box.exists("settings.dat"));
    saveProgress();
    EXPECT_EQ(box.read("settings.dat").size(), 44u);
    EXPECT_EQ(box.read("profiles.dat").size(), 0u);
    EXPECT_EQ(box.read("records.dat").size(), 37152u);
    EXPECT_EQ(box.read("hiscore.dat").size(), 1080u);
}

TEST(SettingsFolder, ReadingTheSettingsAtStartCreatesNothing) {
    Sandbox box;
    loadSettings();
    EXPECT_FALSE(fs::exists(box.folder));
    EXPECT_EQ(settingsFolder(), box.folder.string());
    loadProfiles();
    EXPECT_TRUE(fs::is_directory(box.folder));
}

TEST(SettingsFolder, AFolderThatCannotBeUsedFallsBackToTheUsersDataFolder) {
    Sandbox box;
    // A plain file where the folder should be: it can be neither created nor entered.
    testing_support::writeFile(box.data / "settings", "not a folder");
    std::string home = (box.dir / "xdg").string();
    const char* old = std::getenv("XDG_DATA_HOME");
    std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    loadSettings();
    fs::path expected = box.dir / "xdg/sandmere/settings";
    EXPECT_EQ(settingsFolder(), expected.string());
    loadProfiles();
    loadRecordTables();
    EXPECT_TRUE(fs::is_directory(expected));
    EXPECT_EQ(fs::status(box.dir / "xdg/sandmere").permissions() & fs::perms::all, fs::perms::owner_all);
    ASSERT_TRUE(createProfile("ANNA"));
    EXPECT_TRUE(fs::exists(expected / "ANNA.trp"));
    EXPECT_TRUE(fs::exists(expected / "profiles.dat"));
    if (old) setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
}

TEST(SettingsFolder, ProfilesSurviveARestart) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA", "BEN", "CLARA"});
    selectProfile(1);
    settings().musicVolume = 30;
    saveProgress();
    resetProgressState();
    box.start();
    EXPECT_EQ(profileCount(), 3);
    EXPECT_EQ(currentProfileIndex(), 1);
    EXPECT_STREQ(currentProfile().name, "BEN");
    EXPECT_EQ(settings().musicVolume, 30);
}

TEST(SettingsFolder, SettingsPresentButProfilesMissingGivesNoProfiles) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA", "BEN", "CLARA"});
    selectProfile(2);
    saveProgress();
    fs::remove(box.file("profiles.dat"));
    resetProgressState();
    box.start();
    EXPECT_EQ(profileCount(), 0);
    EXPECT_EQ(settings().currentProfile, 2);  // kept until the next create or remove
    ASSERT_TRUE(createProfile("DORA"));
    EXPECT_EQ(currentProfileIndex(), 0);
}

TEST(SettingsFolder, ALostSettingsFileKeepsEveryProfile) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA", "BEN", "CLARA"});
    saveProgress();
    std::string profiles = box.read("profiles.dat");
    fs::remove(box.file("settings.dat"));
    resetProgressState();
    box.start();
    EXPECT_EQ(profileCount(), 3);
    EXPECT_EQ(currentProfileIndex(), 0);
    EXPECT_EQ(settings().musicVolume, 100);
    saveProgress();
    EXPECT_EQ(box.read("profiles.dat"), profiles);
}

TEST(SettingsFolder, AWrongSizedSettingsFileCountsAsAbsent) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA", "BEN"});
    settings().musicVolume = 12;
    saveProgress();
    std::string s = box.read("settings.dat");
    box.write("settings.dat", s.substr(0, 43));
    resetProgressState();
    box.start();
    EXPECT_EQ(settings().musicVolume, 100);
    EXPECT_EQ(profileCount(), 2);  // inferred from the profiles themselves
    box.write("settings.dat", s + "x");
    resetProgressState();
    box.start();
    EXPECT_EQ(settings().musicVolume, 100);
    EXPECT_EQ(profileCount(), 2);
}

TEST(SettingsFolder, StoredCountAndIndexNeverReachPastTheTable) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA", "BEN"});
    saveProgress();
    std::string s = box.read("settings.dat");
    s[36] = 50;  // count 50 with two records on disk
    s[32] = 9;   // index 9
    box.write("settings.dat", s);
    resetProgressState();
    box.start();
    EXPECT_EQ(profileCount(), 2);
    EXPECT_EQ(currentProfileIndex(), 0);
    // A short profiles file: only whole records count.
    std::string p = box.read("profiles.dat");
    box.write("profiles.dat", p.substr(0, 200));
    s[36] = 2;
    s[32] = 1;
    box.write("settings.dat", s);
    resetProgressState();
    box.start();
    EXPECT_EQ(profileCount(), 1);
    EXPECT_EQ(currentProfileIndex(), 0);
}

TEST(SettingsFolder, TheGoldenProfilesLoadAsTheyAre) {
    Sandbox box;
    fs::create_directories(box.folder);
    box.write("settings.dat", bytesOf(loadHexFixture("settings.hex")));
    box.write("profiles.dat", bytesOf(loadHexFixture("profiles.hex")));
    box.start();
    ASSERT_EQ(profileCount(), 2);
    EXPECT_STREQ(currentProfile().name, "Z9");
    EXPECT_EQ(settings().musicVolume, 55);
    saveProgress();
    EXPECT_EQ(box.read("profiles.dat"), bytesOf(loadHexFixture("profiles.hex")));
    // The display fields follow the display, the rest is written back as read.
    std::string s = box.read("settings.dat");
    std::string golden = bytesOf(loadHexFixture("settings.hex"));
    EXPECT_EQ(s.substr(0, 8), golden.substr(0, 8));
    EXPECT_EQ(s.substr(24), golden.substr(24));
}

TEST(ProfileOperations, CreateRefusesEmptyDuplicateAndUnsafeNames) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA"});
    EXPECT_FALSE(createProfile(""));
    EXPECT_FALSE(createProfile("ANNA"));
    EXPECT_FALSE(createProfile("../X"));
    EXPECT_FALSE(createProfile("anna"));
    EXPECT_FALSE(createProfile("THIRTEENCHARS"));
    // Spaces around a name are not part of it: a name of spaces is empty, " ANNA " is taken.
    EXPECT_FALSE(createProfile("   "));
    EXPECT_FALSE(createProfile(" ANNA "));
    EXPECT_EQ(profileCount(), 1);
    ASSERT_TRUE(createProfile("  MAX JR "));
    EXPECT_STREQ(currentProfile().name, "MAX JR");
    EXPECT_EQ(box.read("MAX JR.trp"), std::string(34, '\0'));
}

TEST(ProfileOperations, CreateStartsAFreshPlayerAndWritesAtOnce) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA", "BEN"});
    EXPECT_EQ(currentProfileIndex(), 1);
    const Profile& p = currentProfile();
    EXPECT_EQ(p.mode, 0);
    for (uint8_t t : p.tipFlags) EXPECT_EQ(t, 1);
    for (int m = 0; m < 3; ++m) {
        EXPECT_EQ(p.lives[m], 0);
        EXPECT_EQ(p.savedGame[m], 0);
    }
    EXPECT_EQ(box.read("BEN.trp"), std::string(34, '\0'));
    // The profile reaches the disk now, not at the next win or exit.
    EXPECT_EQ(box.read("profiles.dat").size(), 256u);
    EXPECT_EQ(box.read("settings.dat")[36], 2);
}

TEST(ProfileOperations, EightProfilesRefuseANinth) {
    Sandbox box;
    box.start();
    makeProfiles({"A", "B", "C", "D", "E", "F", "G", "H"});
    setTracing(true);
    clearTrace();
    EXPECT_FALSE(createProfile("I"));
    // The cue belongs to the profile list's refusal, before any name is typed.
    EXPECT_EQ(countTraced("sound", "MaxPlayers.ogg"), 0);
    setTracing(false);
    EXPECT_EQ(profileCount(), 8);
    EXPECT_FALSE(box.exists("I.trp"));
}

TEST(ProfileOperations, RenameMovesTheFourFilesAndLeavesNoOldOne) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA", "BEN"});
    box.write("ANNA_cls.sav", "adventure");
    box.write("ANNA_ndl.sav", "timeless");
    box.write("ANNA_org.sav", "puzzle");
    std::string trophies = box.read("ANNA.trp");
    ASSERT_TRUE(renameProfile(0, "HANNA"));
    EXPECT_STREQ(profileTable().slots[0].name, "HANNA");
    EXPECT_EQ(box.read("HANNA_cls.sav"), "adventure");
    EXPECT_EQ(box.read("HANNA_ndl.sav"), "timeless");
    EXPECT_EQ(box.read("HANNA_org.sav"), "puzzle");
    EXPECT_EQ(box.read("HANNA.trp"), trophies);
    for (const char* old : {"ANNA.trp", "ANNA_cls.sav", "ANNA_ndl.sav", "ANNA_org.sav"}) EXPECT_FALSE(box.exists(old));
    // The new name is on disk at once.
    EXPECT_EQ(box.read("profiles.dat").substr(0, 5), std::string("HANNA"));
}

TEST(ProfileOperations, RenameToAnyExistingNameFails) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA", "BEN"});
    EXPECT_FALSE(renameProfile(0, "ANNA"));
    EXPECT_FALSE(renameProfile(0, "BEN"));
    EXPECT_FALSE(renameProfile(0, ""));
    EXPECT_FALSE(renameProfile(5, "CARL"));
    EXPECT_STREQ(profileTable().slots[0].name, "ANNA");
}

TEST(ProfileOperations, AFailedMoveIsUndoneAndTheNameStays) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA"});
    box.write("ANNA_cls.sav", "adventure");
    box.write("ANNA_ndl.sav", "timeless");
    // A folder in the way of the second move.
    fs::create_directories(box.file("HANNA_ndl.sav/inside"));
    std::string trophies = box.read("ANNA.trp");
    EXPECT_FALSE(renameProfile(0, "HANNA"));
    EXPECT_STREQ(profileTable().slots[0].name, "ANNA");
    EXPECT_EQ(box.read("ANNA.trp"), trophies);
    EXPECT_EQ(box.read("ANNA_cls.sav"), "adventure");
    EXPECT_EQ(box.read("ANNA_ndl.sav"), "timeless");
    EXPECT_FALSE(box.exists("HANNA.trp"));
    EXPECT_FALSE(box.exists("HANNA_cls.sav"));
}

TEST(ProfileOperations, RemovingTheCurrentProfileSelectsThePreviousOne) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA", "BEN", "CLARA"});
    selectProfile(2);
    box.write("CLARA_org.sav", "x");
    removeProfile(2);
    EXPECT_EQ(profileCount(), 2);
    EXPECT_STREQ(currentProfile().name, "BEN");
    EXPECT_FALSE(box.exists("CLARA.trp"));
    EXPECT_FALSE(box.exists("CLARA_org.sav"));
    EXPECT_EQ(box.read("profiles.dat").size(), 256u);
}

TEST(ProfileOperations, RemovingTheFirstWhileCurrentKeepsIndexZero) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA", "BEN", "CLARA"});
    selectProfile(0);
    removeProfile(0);
    EXPECT_EQ(currentProfileIndex(), 0);
    EXPECT_STREQ(currentProfile().name, "BEN");
    EXPECT_STREQ(profileTable().slots[1].name, "CLARA");
}

TEST(ProfileOperations, RemovingAnEarlierProfileKeepsTheSamePlayerCurrent) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA", "BEN", "CLARA"});
    selectProfile(2);
    awardTrophy(4);
    removeProfile(0);
    EXPECT_STREQ(currentProfile().name, "CLARA");
    EXPECT_TRUE(trophyEarned(4));
}

TEST(ProfileOperations, RemovingTheLastProfileLeavesNone) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA"});
    removeProfile(0);
    EXPECT_EQ(profileCount(), 0);
    EXPECT_EQ(currentProfileIndex(), 0);
    EXPECT_EQ(box.read("profiles.dat").size(), 0u);
    EXPECT_FALSE(box.exists("ANNA.trp"));
    removeProfile(0);  // nothing to remove
    EXPECT_EQ(profileCount(), 0);
}

TEST(ProfileOperations, RemovingOrSelectingLoadsThatPlayersTrophies) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA", "BEN"});
    selectProfile(0);
    EXPECT_TRUE(awardTrophy(3));
    selectProfile(1);
    EXPECT_FALSE(trophyEarned(3));
    removeProfile(1);
    EXPECT_STREQ(currentProfile().name, "ANNA");
    EXPECT_TRUE(trophyEarned(3));
}

TEST(ProfileOperations, ADamagedNameTouchesNoFileOutsideTheFolder) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA"});
    saveProgress();
    // Files a hostile name would reach from inside the settings folder.
    testing_support::writeFile(box.data / "X.trp", "keep");
    testing_support::writeFile(box.data / "X_cls.sav", "keep");
    std::string p = box.read("profiles.dat");
    std::memset(&p[0], 0, 32);
    std::memcpy(&p[0], "../X", 4);
    box.write("profiles.dat", p);
    resetProgressState();
    box.start();
    std::set<std::string> before = filesUnder(box.dir.path);
    ASSERT_STREQ(currentProfile().name, "../X");
    EXPECT_TRUE(awardTrophy(2));  // earned in memory, no file
    selectProfile(0);
    EXPECT_FALSE(trophyEarned(2));
    saveProgress();
    ASSERT_TRUE(renameProfile(0, "SAFE"));
    EXPECT_STREQ(currentProfile().name, "SAFE");
    EXPECT_EQ(testing_support::readFile(box.data / "X.trp"), "keep");
    EXPECT_EQ(testing_support::readFile(box.data / "X_cls.sav"), "keep");
    std::set<std::string> after = filesUnder(box.dir.path);
    EXPECT_EQ(before, after);
    // And a damaged name is removed without deleting anything.
    std::memcpy(profileTable().slots[0].name, "../X", 5);
    removeProfile(0);
    EXPECT_EQ(testing_support::readFile(box.data / "X.trp"), "keep");
    EXPECT_EQ(testing_support::readFile(box.data / "X_cls.sav"), "keep");
}

class FailedWrites : public ::testing::TestWithParam<int> {};

TEST_P(FailedWrites, AFailedSaveStopsWithTheMessageAndKeepsTheOldFile) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA", "BEN"});
    saveProgress();
    std::string settingsBefore = box.read("settings.dat");
    std::string profilesBefore = box.read("profiles.dat");
    settings().musicVolume = 3;
    platform::failWriteStep(static_cast<platform::WriteStep>(GetParam()), 1);
    try {
        saveProgress();
        FAIL() << "the failed save went unnoticed";
    } catch (const FatalError& e) {
        EXPECT_STREQ(e.what(), "Can't save settings.dat...\nProgram will now stop.");
        EXPECT_EQ(e.caption, "Writing Error");
    }
    EXPECT_EQ(box.read("settings.dat"), settingsBefore);
    EXPECT_EQ(box.read("profiles.dat"), profilesBefore);
    EXPECT_FALSE(box.exists("settings.dat.tmp"));
}

// Open, write, flush, sync, close, rename.
INSTANTIATE_TEST_SUITE_P(EveryStep, FailedWrites, ::testing::Values(1, 2, 3, 4, 5, 6));

TEST(FailedWritesOfTrophies, AFailedTrophyWriteIsFatalAndKeepsTheFile) {
    Sandbox box;
    box.start();
    makeProfiles({"ANNA"});
    std::string before = box.read("ANNA.trp");
    platform::failWriteStep(platform::WriteStep::Write, 1);
    EXPECT_THROW(awardTrophy(5), FatalError);
    EXPECT_EQ(box.read("ANNA.trp"), before);
}
