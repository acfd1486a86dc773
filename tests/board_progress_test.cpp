// Board play through the game's own outcome calls: a won level moves the current profile on
// and stores its records, and a trophy earned on the board is the profile's, in its files.
// Every file goes to a temporary settings folder.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "board/scoring.h"
#include "board_support.h"
#include "progress/game_modes.h"
#include "progress_support.h"

using namespace board_test;

namespace {

}  // namespace

class BoardProgress : public ::testing::Test {
protected:
    progress_testing::Sandbox sandbox;

    void SetUp() override {
        sandbox.start();
        ASSERT_TRUE(createProfile("ANNA"));
        setGameMode(kAdventure);
        resetGameModes();
        freshBoard(23);
        resetOutcomeHooks();  // the outcome calls are the game's own
        quietBoard();
    }
    void TearDown() override { resetOutcomeHooks(); }
};

TEST_F(BoardProgress, AWonLevelAdvancesTheProfileAndStoresItsRecords) {
    Board& b = board();
    setPosition(6);
    setModeScore(5000);
    setLives(2);
    b.levelIndex = 6;
    b.carriedScore = 5000;
    b.timeLimitMs = 100000.0f;
    b.levelScore = b.shownScore = 9000000;  // above any first-run record
    b.bestStreak = 4;
    b.movesUsed = 31;
    clearSquares();
    frame();
    ASSERT_EQ(b.levelComplete, 1);
    // The completion opens the next level on the map and writes the files at once.
    EXPECT_EQ(currentLevelNumber(), 7);
    EXPECT_EQ(furthestLevelNumber(), 7);
    ASSERT_TRUE(sandbox.exists("profiles.dat"));
    frames(450);  // past 7000 ms: the result window and the level's records
    ASSERT_EQ(b.resultShown, 1);
    const LevelRecord& rec = recordTable().levels[kAdventure][6];
    EXPECT_EQ(rec.bestScore, b.shownScore);
    EXPECT_STREQ(rec.scoreHolder, "ANNA");
    // Closing the result window: the board and the profile agree on the next level, once.
    const int total = b.carriedScore + b.shownScore;
    const int levelPoints = b.shownScore;  // the level's points with its time bonus
    advanceAfterComplete();
    advanceAfterComplete();
    EXPECT_EQ(b.levelIndex, 7);
    EXPECT_EQ(currentLevelNumber(), 7);
    EXPECT_EQ(modeScore(), total);
    EXPECT_EQ(lives(), 2);
    // What was written reads back: the profile's position and the level's record.
    saveProgress();
    resetProgressState();
    resetRecordState();
    sandbox.start();
    ASSERT_EQ(profileCount(), 1);
    setGameMode(kAdventure);
    EXPECT_EQ(currentLevelNumber(), 7);
    EXPECT_EQ(modeScore(), total);
    EXPECT_EQ(recordTable().levels[kAdventure][6].bestScore, levelPoints);
    EXPECT_STREQ(recordTable().levels[kAdventure][6].scoreHolder, "ANNA");
}

TEST_F(BoardProgress, ATrophyEventMarksTheProfilesTrophyEarned) {
    Board& b = board();
    ASSERT_FALSE(trophyEarned(17));
    EXPECT_FALSE(outcomeHooks().hasNewTrophy());
    for (int i = 0; i < 10; ++i) {
        b.unsettledClock = 0.0f;
        countQuickClick();
    }
    EXPECT_TRUE(trophyEarned(17));
    EXPECT_TRUE(trophyIsNew(17));
    EXPECT_TRUE(outcomeHooks().hasNewTrophy());
    EXPECT_EQ(countTraced("trophy", "award"), 1);
    // The profile's trophy file holds it.
    ASSERT_TRUE(sandbox.exists("ANNA.trp"));
    clearTrophyState();
    loadTrophyState("ANNA");
    EXPECT_TRUE(trophyEarned(17));
    EXPECT_FALSE(trophyEarned(16));
    // Earned once: the same event again awards nothing new.
    for (int i = 0; i < 10; ++i) {
        b.unsettledClock = 0.0f;
        countQuickClick();
    }
    EXPECT_EQ(countTraced("trophy", "award"), 1);
}

std::string gAsked;

TEST_F(BoardProgress, TheProfilesLivesDecideTheLossAndTheModesRepeatMarkOffersTheSkip) {
    Board& b = board();
    // Only what the loss asks is recorded; lives and the repeat mark are the game's own.
    gAsked.clear();
    outcomeHooks().openMenu = [](const char* name) { gAsked = std::string("menu:") + name; };
    outcomeHooks().showMessage = [](const char* key) { gAsked = std::string("message:") + key; };
    setLives(2);
    b.levelIndex = 10;
    b.levelLost = 1;
    b.lostClock = 4000.0f;
    lostLife();
    EXPECT_EQ(gAsked, "message:lostlifetime");
    // The level was restarted after a loss: the modes hold the mark, so the skip is offered.
    setLostOnce(true);
    lostLife();
    EXPECT_EQ(gAsked, "menu:defeat");
    // No lives left: the game is over and the score goes to the profile's high scores.
    setLives(0);
    b.carriedScore = 9777777;  // above every first-run high score
    b.shownScore = 0;
    lostLife();
    EXPECT_EQ(gAsked, "menu:hiscore");
    EXPECT_EQ(lives(), kNewGameLives);
    EXPECT_EQ(modeScore(), 0);
    EXPECT_EQ(highScoreTable().entries[kAdventure][0].score, 9777777);
    EXPECT_STREQ(highScoreTable().entries[kAdventure][0].name, "ANNA");
}
