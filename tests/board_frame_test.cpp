// The board frame as a whole: the ambience, the states that stop it, a level without its file.
#include <gtest/gtest.h>

#include "board_support.h"

using namespace board_test;

namespace {

std::string plainLevel(const char* back) {
    std::string keys = std::string("figures=4\r\nback=") + back + "\r\n";
    return levelText(keys, std::vector<std::string>(kRows, "000000000000"));
}

}  // namespace

class BoardFrame : public ::testing::Test {
protected:
    void SetUp() override { freshBoard(55); }
};

TEST_F(BoardFrame, TheAmbienceFollowsTheLevelsBackdropNumber) {
    startLevelFromText(2, plainLevel("5").c_str());
    EXPECT_EQ(board().ambienceNumber, 5);
    frame();
    EXPECT_EQ(countTraced("sound", "birds1.ogg"), 1);
    EXPECT_EQ(countTraced("sound", "waterfall.ogg"), 1);
    EXPECT_EQ(countTraced("sound", "brook.ogg"), 0);
    // The ambience clock runs on across levels: a new level does not restart it.
    startLevelFromText(3, plainLevel("7").c_str());
    clearTrace();
    frame();
    EXPECT_EQ(countTraced("sound", "brook.ogg"), 0);
    EXPECT_EQ(countTraced("sound", "birds1.ogg"), 0);
    frames(200);  // 3.2 s: one period of the brook has passed
    EXPECT_EQ(countTraced("sound", "brook.ogg"), 1);
    // Above 16 there is no water at all.
    startLevelFromText(4, plainLevel("17").c_str());
    clearTrace();
    frames(400);
    EXPECT_EQ(countTraced("sound", "brook.ogg"), 0);
    EXPECT_EQ(countTraced("sound", "waterfall.ogg"), 0);
    EXPECT_GE(countTraced("sound"), 1);  // the birds still sing
}

TEST_F(BoardFrame, ALevelStartRestartsTheRunningClock) {
    frameClock().runningMs = 7.5e6f;  // a long run of earlier levels and menus
    startLevelFromText(2, plainLevel("1").c_str());
    EXPECT_FLOAT_EQ(frameClock().runningMs, 0.0f);
    frames(10);
    EXPECT_FLOAT_EQ(frameClock().runningMs, 160.0f);
}

TEST_F(BoardFrame, AFinishedGameOrAMenuStopsTheBoard) {
    startLevelFromText(2, plainLevel("1").c_str());
    board().cells[10][4].figure = -1;
    board().gameFinished = 1;
    frames(5);
    EXPECT_EQ(board().cells[10][4].figure, -1);
    board().gameFinished = 0;
    menuState().menuOpen = true;
    frames(5);
    EXPECT_EQ(board().cells[10][4].figure, -1);
    menuState().menuOpen = false;
    board().paused = 1;
    frames(5);
    EXPECT_EQ(board().cells[10][4].figure, -1);
    EXPECT_FLOAT_EQ(board().pauseClock, 80.0f);
    board().paused = 0;
    frame();
    EXPECT_GE(board().cells[10][4].figure, 0);
    // Between levels only the between-levels clock runs.
    board().betweenLevels = 1;
    board().cells[10][4].figure = -1;
    frames(3);
    EXPECT_EQ(board().cells[10][4].figure, -1);
    EXPECT_FLOAT_EQ(board().betweenClock, 48.0f);
}

TEST_F(BoardFrame, ALevelWhoseFileIsMissingStillPlays) {
    board().mode = kAdventure;
    EXPECT_EQ(startLevel(5), kAdventure);  // no level files here
    const Board& b = board();
    EXPECT_EQ(b.figureCount, 0);
    EXPECT_EQ(b.levelIndex, 5);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) EXPECT_EQ(b.cells[r][c].figure, 0);
    EXPECT_FLOAT_EQ(b.timeLimitMs, 0.0f);
    EXPECT_EQ(b.movesLimit, 150);
    sceneState().cheatKeys = true;
    boardKeyDown(75);  // refill with no kinds
    frames(80);
    EXPECT_EQ(b.refillRunning, 0);
    EXPECT_EQ(b.cells[3][3].figure, 0);
}

TEST_F(BoardFrame, StartingALevelKeepsTheModeAndTheCarriedScore) {
    board().mode = kPuzzle;
    board().carriedScore = 12345;
    board().levelScore = 99;
    EXPECT_EQ(startLevelFromText(6, plainLevel("1").c_str()), kPuzzle);
    EXPECT_EQ(board().carriedScore, 12345);
    EXPECT_EQ(board().levelScore, 0);
    EXPECT_EQ(board().previousKind, -2);
    EXPECT_EQ(board().lightningRun, 1);
    EXPECT_FLOAT_EQ(board().hintDelay, 6000.0f);
    EXPECT_FLOAT_EQ(board().hammerShown, 0.18f);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            EXPECT_EQ(board().cells[r][c].alive, 1);
            EXPECT_FLOAT_EQ(board().cells[r][c].offset.y, 0.0f);  // the first fill is not animated
        }
    EXPECT_TRUE(countGroups());
}
