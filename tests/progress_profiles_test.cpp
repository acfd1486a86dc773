// The settings and profile records, the stage table and the positions of a game.
#include <gtest/gtest.h>

#include <cstring>

#include "progress/profiles.h"
#include "progress_support.h"

using progress_testing::loadHexFixture;

namespace {

Profile annaB() {
    Profile p{};
    std::strcpy(p.name, "ANNA B");
    const int32_t levelInStage[3] = {1, 2, 3}, stage[3] = {4, 0, 14}, furthestLevel[3] = {5, 2, 9},
                  furthestStage[3] = {5, 0, 14}, lives[3] = {3, 0, 7}, score[3] = {250000, 0, -1};
    for (int m = 0; m < 3; ++m) {
        p.levelInStage[m] = levelInStage[m];
        p.stage[m] = stage[m];
        p.furthestLevelInStage[m] = furthestLevel[m];
        p.furthestStage[m] = furthestStage[m];
        p.lives[m] = lives[m];
        p.score[m] = score[m];
    }
    p.mode = 2;
    p.savedGame[0] = 1;
    p.savedGame[2] = 1;
    const uint8_t tips[13] = {1, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1, 0, 1};
    std::memcpy(p.tipFlags, tips, 13);
    return p;
}

Profile freshZ9() {
    Profile p{};
    std::strcpy(p.name, "Z9");
    std::memset(p.tipFlags, 1, sizeof p.tipFlags);
    return p;
}

}  // namespace

TEST(SettingsRecord, WritesTheGoldenFileFieldByField) {
    Settings s;
    s.musicVolume = 55;
    s.sfxVolume = 66;
    s.displayWidth = 1024;
    s.displayHeight = 768;
    s.resolutionIndex = 3;
    s.colourDepth32 = 1;
    s.customCursor = 1;
    s.padding[0] = 0xAA;  // padding is written as zeros whatever memory holds
    s.reserved = 0x12345678;
    s.currentProfile = 1;
    s.profileCount = 2;
    s.fullScreen = 0;
    std::vector<uint8_t> bytes;
    encodeSettings(s, bytes);
    ASSERT_EQ(bytes.size(), kSettingsBytes);
    EXPECT_EQ(bytes, loadHexFixture("settings.hex"));
}

TEST(SettingsRecord, ReadsBackWhatMattersAndIgnoresTheDisplayFields) {
    std::vector<uint8_t> golden = loadHexFixture("settings.hex");
    Settings s;
    ASSERT_TRUE(decodeSettings(golden.data(), golden.size(), s));
    EXPECT_EQ(s.musicVolume, 55);
    EXPECT_EQ(s.sfxVolume, 66);
    EXPECT_EQ(s.customCursor, 1);
    EXPECT_EQ(s.reserved, 0x12345678);
    EXPECT_EQ(s.currentProfile, 1);
    EXPECT_EQ(s.profileCount, 2);
    EXPECT_EQ(s.fullScreen, 0);
    // The display always starts at 800 x 600; the colour flag is the negated full-screen flag.
    EXPECT_EQ(s.displayWidth, 800);
    EXPECT_EQ(s.displayHeight, 600);
    EXPECT_EQ(s.resolutionIndex, 0);
    EXPECT_EQ(s.colourDepth32, 1);
}

TEST(SettingsRecord, RejectsOtherSizesAndClampsWildValues) {
    std::vector<uint8_t> golden = loadHexFixture("settings.hex");
    Settings s;
    EXPECT_FALSE(decodeSettings(golden.data(), 43, s));
    std::vector<uint8_t> longer = golden;
    longer.push_back(0);
    EXPECT_FALSE(decodeSettings(longer.data(), longer.size(), s));

    std::vector<uint8_t> wild = golden;
    const uint8_t big[4] = {0xA0, 0x86, 0x01, 0x00};  // 100000
    const uint8_t minusFive[4] = {0xFB, 0xFF, 0xFF, 0xFF};
    std::memcpy(wild.data(), big, 4);
    std::memcpy(wild.data() + 4, minusFive, 4);
    wild[24] = 7;
    wild[40] = 9;
    ASSERT_TRUE(decodeSettings(wild.data(), wild.size(), s));
    EXPECT_EQ(s.musicVolume, 100);
    EXPECT_EQ(s.sfxVolume, 0);
    EXPECT_EQ(s.customCursor, 1);
    EXPECT_EQ(s.fullScreen, 1);
}

TEST(ProfileRecord, WritesTheGoldenFileAndReadsItBack) {
    std::vector<uint8_t> bytes;
    encodeProfile(annaB(), bytes);
    ASSERT_EQ(bytes.size(), kProfileBytes);
    encodeProfile(freshZ9(), bytes);
    std::vector<uint8_t> golden = loadHexFixture("profiles.hex");
    ASSERT_EQ(golden.size(), 2 * kProfileBytes);
    EXPECT_EQ(bytes, golden);

    Profile back[2];
    decodeProfile(golden.data(), back[0]);
    decodeProfile(golden.data() + kProfileBytes, back[1]);
    std::vector<uint8_t> again;
    encodeProfile(back[0], again);
    encodeProfile(back[1], again);
    EXPECT_EQ(again, golden);
    EXPECT_STREQ(back[0].name, "ANNA B");
    EXPECT_EQ(back[0].score[0], 250000);
    EXPECT_EQ(back[0].mode, 2);
}

TEST(ProfileRecord, ValuesThatIndexTablesAreBroughtIntoRange) {
    Profile p = annaB();
    std::memset(p.name, 'A', sizeof p.name);  // no terminator at all
    p.mode = 7;
    p.stage[0] = 15;            // no such stage
    p.levelInStage[1] = 5;      // stage 0 has four levels
    p.furthestStage[2] = 15;    // (15, 0): past the last level, kept
    p.furthestLevelInStage[2] = 0;
    p.furthestStage[1] = -1;
    p.lives[1] = -4;
    p.savedGame[1] = 5;
    p.tipFlags[4] = 200;
    std::vector<uint8_t> bytes;
    encodeProfile(p, bytes);
    Profile back;
    decodeProfile(bytes.data(), back);
    EXPECT_EQ(back.name[31], '\0');
    EXPECT_EQ(std::strlen(back.name), 31u);
    EXPECT_EQ(back.mode, 0);
    EXPECT_EQ(back.stage[0], 0);
    EXPECT_EQ(back.levelInStage[0], 0);
    EXPECT_EQ(back.levelInStage[1], 0);
    EXPECT_EQ(back.furthestStage[2], 15);
    EXPECT_EQ(back.furthestStage[1], 0);
    EXPECT_EQ(back.lives[1], 0);
    EXPECT_EQ(back.lives[2], 7);
    EXPECT_EQ(back.savedGame[1], 1);
    EXPECT_EQ(back.tipFlags[4], 1);
    EXPECT_EQ(back.score[2], -1);  // not an index: kept
}

TEST(ProfileNames, OnlyTheNameEntryAlphabetNamesFiles) {
    EXPECT_TRUE(isValidProfileName("ANNA B"));
    EXPECT_TRUE(isValidProfileName("A"));
    EXPECT_TRUE(isValidProfileName("ABCDEFGHIJ12"));
    EXPECT_FALSE(isValidProfileName("ABCDEFGHIJ123"));
    EXPECT_FALSE(isValidProfileName(""));
    EXPECT_FALSE(isValidProfileName(nullptr));
    EXPECT_FALSE(isValidProfileName("../X"));
    EXPECT_FALSE(isValidProfileName("/TMP/X"));
    EXPECT_FALSE(isValidProfileName("A\\B"));
    EXPECT_FALSE(isValidProfileName(".."));
    EXPECT_FALSE(isValidProfileName("anna"));
}

TEST(StageTable, FifteenStagesHold129Levels) {
    int total = 0;
    for (int s = 0; s < kStageCount; ++s) total += stageSize(s);
    EXPECT_EQ(total, 129);
    EXPECT_EQ(stageSize(0), 4);
    EXPECT_EQ(stageSize(5), 9);
    EXPECT_EQ(stageSize(14), 10);
    EXPECT_EQ(stageSize(15), 0);
    EXPECT_EQ(stageOfLevel(3), 0);
    EXPECT_EQ(stageOfLevel(4), 1);
    EXPECT_EQ(levelWithinStage(4), 0);
    EXPECT_EQ(stageOfLevel(128), 14);
    EXPECT_EQ(levelWithinStage(128), 9);
    EXPECT_EQ(stageOfLevel(129), 15);
    EXPECT_EQ(stageOfLevel(500), 15);
    EXPECT_EQ(firstLevelOfStage(14), 119);
}

class Positions : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgressState();
        settings().profileCount = 1;
        std::strcpy(currentProfile().name, "P");
    }
    void TearDown() override { resetProgressState(); }
};

TEST_F(Positions, EveryLevelNumberSurvivesTheStageForm) {
    for (int mode = 0; mode < 3; ++mode) {
        setGameMode(mode);
        for (int n = 0; n <= 128; ++n) {
            setPosition(n);
            ASSERT_EQ(currentLevelNumber(), n);
        }
    }
    setPosition(400);  // never past the last level
    EXPECT_EQ(currentLevelNumber(), 128);
    setPosition(-3);
    EXPECT_EQ(currentLevelNumber(), 0);
}

TEST_F(Positions, PositionsAreKeptPerMode) {
    setGameMode(0);
    setPosition(10);
    setGameMode(2);
    setPosition(77);
    setGameMode(0);
    EXPECT_EQ(currentLevelNumber(), 10);
    EXPECT_EQ(currentProfile().mode, 0);
}

TEST_F(Positions, WinningTheLastLevelOfAStageOpensTheNextStage) {
    setPosition(3);
    advanceLevel();
    EXPECT_EQ(currentLevelNumber(), 4);
    EXPECT_EQ(currentProfile().stage[0], 1);
    EXPECT_EQ(currentProfile().levelInStage[0], 0);
    EXPECT_EQ(furthestLevelNumber(), 4);
}

TEST_F(Positions, ReplayingAnOlderLevelKeepsTheFurthestPosition) {
    setPosition(20);
    advanceLevel();
    EXPECT_EQ(furthestLevelNumber(), 21);
    setPosition(5);
    advanceLevel();
    EXPECT_EQ(currentLevelNumber(), 6);
    EXPECT_EQ(furthestLevelNumber(), 21);
}

TEST_F(Positions, WinningLevel128StartsAgainWithEverythingCompleted) {
    setPosition(128);
    advanceLevel();
    EXPECT_EQ(currentLevelNumber(), 0);
    // The furthest position is (15, 0), level number 129: level 128 counts as completed.
    EXPECT_EQ(currentProfile().furthestStage[0], 15);
    EXPECT_EQ(currentProfile().furthestLevelInStage[0], 0);
    EXPECT_EQ(furthestLevelNumber(), 129);
    // And that position survives a save and load.
    std::vector<uint8_t> bytes;
    encodeProfile(currentProfile(), bytes);
    Profile back;
    decodeProfile(bytes.data(), back);
    EXPECT_EQ(back.furthestStage[0], 15);
}

TEST_F(Positions, LivesNeverGoBelowZero) {
    setLives(1);
    takeLife();
    takeLife();
    EXPECT_EQ(lives(), 0);
    addLife();
    EXPECT_EQ(lives(), 1);
    setLives(-3);
    EXPECT_EQ(lives(), 0);
}

TEST_F(Positions, FlagsOutsideTheirRangeAreIgnored) {
    setSavedGameFlag(1, true);
    setSavedGameFlag(3, true);
    setSavedGameFlag(-1, true);
    EXPECT_TRUE(savedGameFlag(1));
    EXPECT_FALSE(savedGameFlag(3));
    setTipFlag(0, true);
    setTipFlag(13, true);
    EXPECT_TRUE(tipFlag(0));
    EXPECT_FALSE(tipFlag(13));
    setGameMode(5);
    EXPECT_EQ(gameMode(), 0);
}
