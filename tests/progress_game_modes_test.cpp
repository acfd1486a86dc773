// The game modes across levels, the saved games and the fixes around them, run headless on
// the real board state.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "app/scene.h"
#include "app/trace.h"
#include "board/board.h"
#include "board/outcome.h"
#include "board/scoring.h"
#include "menus/menus.h"
#include "progress/game_modes.h"
#include "progress/saved_game.h"
#include "progress_support.h"

using progress_testing::Sandbox;

namespace {

struct ModeFixture : public ::testing::Test {
    std::unique_ptr<Sandbox> box;
    void SetUp() override {
        box = std::make_unique<Sandbox>();
        resetGameModes();
        resetOutcomeHooks();  // the level's end runs board play's calls into the profile
        resetBoardState();
        board().carriedScore = 0;
        menuState().menuOpen = false;
        setCurrentScene(mapScene());
        setTracing(true);
        clearTrace();
        box->start();
        ASSERT_TRUE(createProfile("ANNA"));
    }
    void TearDown() override {
        setTracing(false);
        resetGameModes();
        setCurrentScene(nullptr);
        box.reset();
    }
    // The current profile has played before: no welcome message.
    void veteran() { setTipFlag(0, false); }
    // Moves the scene switch requested by the operation into place, as the frame loop does.
    void settle() { applyPendingScene(); }
    // A move was made: the level is in progress.
    void touch(int moves = 1) {
        board().levelTouched = 1;
        board().movesUsed = moves;
    }
    bool traced(const char* kind, const char* name) { return countTraced(kind, name) > 0; }
    // The last square breaks with no time left (no bonus to count).
    void complete() {
        Board& b = board();
        for (auto& row : b.cells)
            for (Cell& cell : row)
                if (cell.squares > 0) cell.squares = 0;
        b.elapsedMs = b.timeLimitMs;
        checkComplete();
    }
    // The level's end as board play runs it: the completion, then the result window, then the
    // window closed; true when that completed the game.
    bool winLevel() {
        complete();
        EXPECT_EQ(board().levelComplete, 1);
        advanceAfterComplete();
        EXPECT_GT(countTraced("menu", "levelcomplete"), 0);
        return nextLevel();
    }
    // The lost state has run its course: the click that asks about the life.
    void loseLevel() {
        board().levelLost = 1;
        board().lostClock = 4000.0f;
        lostLife();
    }
    // The result window of a level played for playMs opens (timeless and puzzle show the play
    // time, adventure its own clock).
    void showResult(float playMs) {
        board().playClock = playMs;
        board().resultShown = 0;
        advanceAfterComplete();
    }
};

}  // namespace

TEST_F(ModeFixture, ANewPlayerSeesTheProloqueAndStartsAtLevelZero) {
    for (int mode = 0; mode < 3; ++mode) {
        clearTrace();
        chooseMode(mode);
        EXPECT_TRUE(traced("message", "prolog"));
        acceptProlog();
        settle();
        EXPECT_EQ(currentScene(), static_cast<Scene*>(gameScene()));
        EXPECT_EQ(board().levelIndex, 0);
        EXPECT_EQ(board().mode, mode);
        EXPECT_EQ(board().carriedScore, 0);
        EXPECT_EQ(lives(), 3);
        EXPECT_EQ(currentLevelNumber(), 0);
        EXPECT_EQ(gameMode(), mode);
    }
}

TEST_F(ModeFixture, AVeteranGetsTheModesMenu) {
    veteran();
    chooseMode(1);
    EXPECT_TRUE(traced("menu", "timeless"));
    EXPECT_FALSE(traced("message", "prolog"));
}

TEST_F(ModeFixture, ContinuingTheCurrentLevelCarriesTheModesScore) {
    veteran();
    setGameMode(0);
    setPosition(12);
    setModeScore(4000);
    setLives(2);
    startFromMap(12);
    EXPECT_EQ(board().levelIndex, 12);
    EXPECT_EQ(board().carriedScore, 4000);
    EXPECT_EQ(lives(), 2);
    // With no score the game is fresh: three lives.
    setModeScore(0);
    setLives(0);
    startFromMap(12);
    EXPECT_EQ(lives(), 3);
}

TEST_F(ModeFixture, PickingAnotherLevelWithAScoreAsksFirst) {
    veteran();
    setPosition(12);
    setModeScore(4000);
    startFromMap(3);
    EXPECT_TRUE(traced("message", "zeroscore"));
    EXPECT_EQ(currentLevelNumber(), 12);
    answerZeroScore();
    EXPECT_EQ(board().levelIndex, 3);
    EXPECT_EQ(currentLevelNumber(), 3);
    EXPECT_EQ(modeScore(), 0);
    EXPECT_EQ(board().carriedScore, 0);
    EXPECT_EQ(lives(), 3);
}

TEST_F(ModeFixture, PickingAnotherLevelWithoutAScoreStartsIt) {
    veteran();
    setPosition(12);
    startFromMap(40);
    EXPECT_FALSE(traced("message", "zeroscore"));
    EXPECT_EQ(board().levelIndex, 40);
    EXPECT_EQ(currentLevelNumber(), 40);
}

TEST_F(ModeFixture, AWonLevelAdvancesStoresTheTotalAndWrites) {
    veteran();
    setPosition(3);
    startFromMap(3);
    Board& b = board();
    b.carriedScore = 1000;
    b.levelScore = b.shownScore = 250;
    complete();
    ASSERT_EQ(b.levelComplete, 1);
    EXPECT_EQ(currentLevelNumber(), 4);
    EXPECT_EQ(modeScore(), 1250);
    // On disk at once: adventure's stage is 1 at offset 44.
    std::string p = box->read("profiles.dat");
    ASSERT_EQ(p.size(), 128u);
    EXPECT_EQ(p[44], 1);
    advanceAfterComplete();
    EXPECT_TRUE(traced("menu", "levelcomplete"));
    b.shownScore = 300;
    EXPECT_FALSE(nextLevel());
    EXPECT_FALSE(menuOpen());
    EXPECT_EQ(b.carriedScore, 1300);
    EXPECT_EQ(modeScore(), 1300);
    EXPECT_EQ(b.levelIndex, 4);
    EXPECT_EQ(currentLevelNumber(), 4);
    EXPECT_EQ(b.betweenLevels, 1);
    EXPECT_FALSE(gameCompletedShowing());
}

TEST_F(ModeFixture, WinningLevel128CompletesTheGame) {
    veteran();
    setGameMode(2);
    setPosition(128);
    setModeScore(5000000);
    setLives(4);
    startFromMap(128);
    board().levelScore = board().shownScore = 100000;
    EXPECT_TRUE(winLevel());
    EXPECT_EQ(highScoreTable().entries[2][0].score, 5100000);
    EXPECT_STREQ(highScoreTable().entries[2][0].name, "ANNA");
    EXPECT_EQ(newEntryIndex(), 0);
    EXPECT_EQ(modeScore(), 0);
    EXPECT_EQ(lives(), 3);
    EXPECT_EQ(currentLevelNumber(), 0);
    EXPECT_EQ(furthestLevelNumber(), 129);
    EXPECT_TRUE(gameCompletedShowing());
    // The files hold the fresh game: puzzle's stage 0 at offset 44 + 8.
    std::string p = box->read("profiles.dat");
    ASSERT_EQ(p.size(), 128u);
    EXPECT_EQ(p[52], 0);
    // Nothing starts from the map until the congratulation is over.
    startFromMap(0);
    EXPECT_EQ(board().levelIndex, 0);
    EXPECT_EQ(board().gameFinished, 1);
    EXPECT_EQ(board().levelTouched, 0);
    clearGameCompleted();
    EXPECT_FALSE(gameCompletedShowing());
}

TEST_F(ModeFixture, LosingWithNoLivesEndsTheGameAtThatLevel) {
    veteran();
    setPosition(30);
    setModeScore(20000);
    startFromMap(30);
    setLives(0);
    board().shownScore = 777;
    loseLevel();
    EXPECT_TRUE(traced("sound", "DefeatLevel.ogg"));
    EXPECT_TRUE(traced("menu", "hiscore"));
    EXPECT_EQ(board().levelLost, 1);
    EXPECT_EQ(modeScore(), 0);
    EXPECT_EQ(lives(), 3);
    EXPECT_EQ(currentLevelNumber(), 30);
    // 20777 did not reach adventure's table (its tenth entry is 180000).
    EXPECT_EQ(newEntryIndex(), -1);
    // The next game of the mode starts at the lost level with no score.
    startFromMap(30);
    EXPECT_EQ(board().levelIndex, 30);
    EXPECT_EQ(board().carriedScore, 0);
}

TEST_F(ModeFixture, TheSecondLossOffersTheSkipExceptOnTheLastLevel) {
    veteran();
    setPosition(7);
    startFromMap(7);
    setLives(3);
    loseLevel();
    EXPECT_TRUE(traced("message", "lostlifetime"));
    acceptLostLife();
    EXPECT_EQ(lives(), 2);
    EXPECT_TRUE(lostOnce());
    EXPECT_EQ(board().levelIndex, 7);
    clearTrace();
    loseLevel();
    EXPECT_TRUE(traced("menu", "defeat"));
    skipLevel();
    EXPECT_EQ(lives(), 1);
    EXPECT_FALSE(lostOnce());
    EXPECT_EQ(board().levelIndex, 8);
    EXPECT_EQ(currentLevelNumber(), 8);

    setGameMode(2);
    setPosition(128);
    setLives(3);
    startFromMap(128);
    loseLevel();
    acceptLostLife();
    clearTrace();
    loseLevel();
    EXPECT_TRUE(traced("message", "lostlifemoves"));
    EXPECT_FALSE(traced("menu", "defeat"));
}

TEST_F(ModeFixture, OnlyALostLevelsRestartForgetsTheRepeatedLoss) {
    veteran();
    setPosition(7);
    startFromMap(7);
    setLives(3);
    loseLevel();
    acceptLostLife();
    ASSERT_TRUE(lostOnce());
    // Restarted during play ("restartquest"): the mark stays, the next loss offers the skip.
    restartLevel();
    EXPECT_EQ(lives(), 1);
    EXPECT_TRUE(lostOnce());
    clearTrace();
    loseLevel();
    EXPECT_TRUE(traced("menu", "defeat"));
    // Restarted in the lost state: the mark goes.
    restartLevel();
    EXPECT_EQ(lives(), 0);
    EXPECT_FALSE(lostOnce());
    EXPECT_EQ(board().levelIndex, 7);
    EXPECT_EQ(board().levelLost, 0);
}

TEST_F(ModeFixture, ClosingARunningLevelSavesItAndChoosingTheModeOffersIt) {
    veteran();
    setPosition(5);
    setModeScore(3000);
    startFromMap(5);
    settle();
    board().carriedScore = 3000;
    board().shownScore = 420;
    touch(6);
    ASSERT_TRUE(saveGame());
    EXPECT_TRUE(savedGameFlag(0));
    EXPECT_EQ(modeScore(), 3420);
    EXPECT_EQ(box->read("ANNA_cls.sav").size(), kSavedGameBytes);
    setCurrentScene(mapScene());
    clearTrace();
    chooseMode(0);
    EXPECT_TRUE(traced("menu", "loadgamequest"));
    // Declining keeps the game; starting any level of the mode forgets it.
    declineSavedGame();
    EXPECT_TRUE(traced("menu", "adventure"));
    EXPECT_TRUE(savedGameFlag(0));
    startFromMap(5);
    EXPECT_FALSE(savedGameFlag(0));
    // The level starts afresh, so the 420 points it had made are not carried into it.
    EXPECT_EQ(board().carriedScore, 3000);
    EXPECT_EQ(modeScore(), 3000);
}

TEST_F(ModeFixture, DecliningInAnotherModeOpensThatModesMenu) {
    veteran();
    setGameMode(2);
    setSavedGameFlag(2, true);
    chooseMode(2);
    EXPECT_TRUE(traced("menu", "loadgamequest"));
    declineSavedGame();
    EXPECT_TRUE(traced("menu", "puzzle"));
    EXPECT_FALSE(traced("menu", "adventure"));
}

TEST_F(ModeFixture, NothingIsSavedBeforeTheFirstMove) {
    veteran();
    startFromMap(0);
    settle();
    EXPECT_FALSE(saveGame());
    EXPECT_FALSE(box->exists("ANNA_cls.sav"));
    EXPECT_FALSE(savedGameFlag(0));
}

TEST_F(ModeFixture, ALostOrCompleteLevelIsNeverSaved) {
    veteran();
    startFromMap(0);
    settle();
    touch();
    board().levelLost = 1;
    EXPECT_FALSE(saveGame());
    board().levelLost = 0;
    board().levelComplete = 1;
    EXPECT_FALSE(saveGame());
    EXPECT_FALSE(box->exists("ANNA_cls.sav"));
}

TEST_F(ModeFixture, TheSavedGameRestoresTheBoardExactly) {
    veteran();
    setGameMode(2);
    setPosition(9);
    startFromMap(9);
    settle();
    Board& b = board();
    touch(11);
    b.carriedScore = 12000;
    b.shownScore = 800;
    b.levelScore = 950;
    b.elapsedMs = 33333.5f;
    b.bestStreak = 4;
    b.colourStreak = 2;
    b.previousKind = 3;
    b.cells[4][5].figure = 7;
    b.cells[4][5].squares = 2;
    b.cells[4][5].chained = 1;
    b.cells[4][5].bonus = 5;
    b.cells[0][0].squares = -1;
    b.cells[0][0].figure = -1;
    b.explosions[3] = Explosion{2, 4, 5, 10.0f, 20.0f, 5.0f, 100.0f, 500.0f, 1};
    b.nextExplosion = 4;
    b.hammerTarget = 0.6f;
    b.targetCount = 5;
    b.initialTargetCount = 20;
    auto before = std::make_unique<SavedGame>();
    captureSavedGame(*before);
    std::vector<uint8_t> expected;
    encodeSavedGame(*before, expected);
    ASSERT_TRUE(saveGame());
    EXPECT_EQ(box->read("ANNA_org.sav"), progress_testing::bytesOf(expected));

    // Another level is played meanwhile; then the game is resumed.
    setCurrentScene(mapScene());
    resetBoardState();
    b.cells[4][5].figure = 1;
    b.movesUsed = 0;
    chooseMode(2);
    ASSERT_TRUE(loadGame());
    settle();
    EXPECT_EQ(currentScene(), static_cast<Scene*>(gameScene()));
    EXPECT_FALSE(menuOpen());
    EXPECT_EQ(b.levelIndex, 9);
    EXPECT_EQ(b.levelTouched, 1);
    EXPECT_EQ(b.movesUsed, 11);
    EXPECT_FLOAT_EQ(b.elapsedMs, 33333.5f);
    EXPECT_EQ(b.cells[4][5].figure, 7);
    EXPECT_EQ(b.cells[0][0].squares, -1);
    EXPECT_EQ(b.explosions[3].kind, 2);
    EXPECT_FALSE(savedGameFlag(2));
    auto after = std::make_unique<SavedGame>();
    captureSavedGame(*after);
    std::vector<uint8_t> again;
    encodeSavedGame(*after, again);
    EXPECT_EQ(again, expected);
}

TEST_F(ModeFixture, AFailedSaveKeepsTheFlagDownAndShowsNoConfirmation) {
    veteran();
    startFromMap(0);
    settle();
    touch();
    board().shownScore = 500;
    platform::failWriteStep(platform::WriteStep::Write, 1);
    EXPECT_FALSE(saveAndLeaveLevel());
    EXPECT_FALSE(savedGameFlag(0));
    EXPECT_EQ(modeScore(), 0);
    EXPECT_FALSE(box->exists("ANNA_cls.sav"));
    EXPECT_FALSE(box->exists("ANNA_cls.sav.tmp"));
}

TEST_F(ModeFixture, AnOlderFileIsNotOfferedAfterAFailedSave) {
    veteran();
    box->write("ANNA_cls.sav", std::string(kSavedGameBytes, '\0'));
    startFromMap(0);
    settle();
    touch();
    platform::failWriteStep(platform::WriteStep::Rename, 1);
    EXPECT_FALSE(saveGame());
    setCurrentScene(mapScene());
    clearTrace();
    chooseMode(0);
    EXPECT_FALSE(traced("menu", "loadgamequest"));
}

TEST_F(ModeFixture, LeavingALevelThenSwitchingProfileSavesNothingAtClose) {
    veteran();
    ASSERT_TRUE(createProfile("BEN"));
    veteran();
    selectProfile(0);
    startFromMap(0);
    settle();
    touch();
    board().shownScore = 900;
    ASSERT_TRUE(saveAndLeaveLevel());
    setCurrentScene(mapScene());
    selectProfile(1);
    Profile beforeClose = currentProfile();
    // The window closes from the menus.
    EXPECT_FALSE(saveGame());
    for (const char* f : {"BEN_cls.sav", "BEN_ndl.sav", "BEN_org.sav"}) EXPECT_FALSE(box->exists(f));
    EXPECT_EQ(std::memcmp(&currentProfile(), &beforeClose, sizeof(Profile)), 0);
    // Choosing another mode of the first profile does not take the board either.
    selectProfile(0);
    chooseMode(1);
    EXPECT_FALSE(saveGame());
    EXPECT_FALSE(box->exists("ANNA_ndl.sav"));
    EXPECT_FALSE(savedGameFlag(1));
}

TEST_F(ModeFixture, AFinishedGameIsNotSavedAtClose) {
    veteran();
    setPosition(128);
    startFromMap(128);
    settle();
    touch();
    board().levelScore = board().shownScore = 1000;
    ASSERT_TRUE(winLevel());
    clearGameCompleted();
    EXPECT_FALSE(saveGame());
    EXPECT_FALSE(box->exists("ANNA_cls.sav"));
    EXPECT_FALSE(savedGameFlag(0));
    EXPECT_EQ(modeScore(), 0);
}

TEST_F(ModeFixture, ARejectedFileLeavesTheFreshLevel) {
    veteran();
    setPosition(2);
    setModeScore(700);
    setSavedGameFlag(0, true);
    std::string damaged(kSavedGameBytes - 1, '\0');
    box->write("ANNA_cls.sav", damaged);
    EXPECT_FALSE(loadGame());
    EXPECT_EQ(board().levelIndex, 2);
    EXPECT_EQ(board().movesUsed, 0);
    EXPECT_EQ(board().carriedScore, 700);
    EXPECT_FALSE(savedGameFlag(0));
}

TEST_F(ModeFixture, ASavedGameOfAnotherModeIsRefused) {
    veteran();
    startFromMap(0);
    settle();
    touch(3);
    ASSERT_TRUE(saveGame());
    // The adventure file copied over the timeless one.
    box->write("ANNA_ndl.sav", box->read("ANNA_cls.sav"));
    setCurrentScene(mapScene());
    setGameMode(1);
    setSavedGameFlag(1, true);
    EXPECT_FALSE(loadGame());
    EXPECT_EQ(board().mode, 1);
    EXPECT_EQ(board().movesUsed, 0);
}

TEST_F(ModeFixture, OutsideAdventureTheRecordTakesThePlayTime) {
    veteran();
    setGameMode(1);
    setPosition(6);
    startFromMap(6);
    board().elapsedMs = 0.0f;  // timeless never burns the adventure clock
    board().shownScore = 10;
    board().movesUsed = 60;
    recordTable().levels[1][6].fastestMs = 10000;
    showResult(8500.7f);
    EXPECT_EQ(recordTable().levels[1][6].fastestMs, 8500);
    showResult(9000.0f);
    EXPECT_EQ(recordTable().levels[1][6].fastestMs, 8500);
    // Adventure keeps its own clock.
    setGameMode(0);
    setPosition(6);
    startFromMap(6);
    board().elapsedMs = 4321.0f;
    recordTable().levels[0][6].fastestMs = 10000;
    showResult(99999.0f);
    EXPECT_EQ(recordTable().levels[0][6].fastestMs, 4321);
}

TEST_F(ModeFixture, ClosingDuringTheLevelEndKeepsTheBonus) {
    veteran();
    startFromMap(0);
    settle();
    touch();
    board().carriedScore = 1000;
    board().shownScore = 200;
    board().levelScore = 800;  // the bonus is in, not yet counted up
    complete();
    EXPECT_EQ(modeScore(), 1200);
    EXPECT_FALSE(saveGame());
    EXPECT_EQ(modeScore(), 1800);
}

TEST_F(ModeFixture, LeavingALevelForTheMenusPutsTheFlagOnDiskAtOnce) {
    veteran();
    setGameMode(1);
    setPosition(3);
    startFromMap(3);
    settle();
    touch(2);
    board().carriedScore = 100;
    board().shownScore = 23;
    ASSERT_TRUE(saveAndLeaveLevel());
    // A crash right now would still offer the game: the flag is already in profiles.dat.
    std::string p = box->read("profiles.dat");
    ASSERT_EQ(p.size(), 128u);
    EXPECT_EQ(p[112 + 1], 1);
    int32_t stored = 0;
    std::memcpy(&stored, p.data() + 92 + 4, 4);
    EXPECT_EQ(stored, 123);
    EXPECT_EQ(board().levelTouched, 0);
    EXPECT_EQ(box->read("ANNA_ndl.sav").size(), kSavedGameBytes);
}
