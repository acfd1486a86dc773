// Groups, clicks, the break step and the keys of board play.
#include <gtest/gtest.h>

#include "board_support.h"

using namespace board_test;

namespace {

// A settled board with no falls pending: row 10 holds the figures the tests click.
void bottomRow(const std::string& row10, const std::string& row9 = "ghghghghghgh") {
    std::vector<std::string> rows;
    for (int r = 0; r < 9; ++r) rows.push_back(r % 2 ? "ijijijijijij" : "jijijijijiji");
    rows.push_back(row9);
    rows.push_back(row10);
    setGrid(rows);
    board().figureCount = 10;
    frame();  // one quiet frame: the input lock runs below zero
}

}  // namespace

class Groups : public ::testing::Test {
protected:
    void SetUp() override { freshBoard(3); }
};

TEST_F(Groups, BreadthFirstInStepsAndScanOrder) {
    setGrid({"aab---------", "aaa---------", "-a----------"});
    findGroup(1, 1);
    const Board& b = board();
    ASSERT_EQ(b.groupSize, 6);
    EXPECT_EQ(b.groupKind, 0);
    // Step 1 in the order right, left, below, above of the start; step 2 in row-major order.
    const int expected[6][2] = {{1, 1}, {1, 2}, {1, 0}, {2, 1}, {0, 1}, {0, 0}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(b.group[i].row, expected[i][0]) << i;
        EXPECT_EQ(b.group[i].column, expected[i][1]) << i;
    }
    EXPECT_EQ(b.cells[0][0].groupStep, 2);
    EXPECT_EQ(b.cells[0][2].groupStep, -1);
    EXPECT_FLOAT_EQ(b.group[3].centre.x, cellCentre(2, 1).x);
    EXPECT_FLOAT_EQ(b.group[3].centre.y, cellCentre(2, 1).y);
}

TEST_F(Groups, ChainedFiguresBelongAndHolesNeverMatch) {
    setGrid({"aA.a--------"});
    // A hole that still holds a stale kind number is no part of any group.
    board().cells[0][2].figure = 0;
    findGroup(0, 0);
    EXPECT_EQ(board().groupSize, 2);
    // Empty cells have no kind: searching from one keeps the old size and only entry 0.
    findGroup(0, 5);
    EXPECT_EQ(board().groupSize, 2);
    EXPECT_EQ(board().group[0].column, 5);
    countGroups();
    EXPECT_EQ(board().groupCount, 1);
    EXPECT_EQ(board().cells[0][1].groupId, 0);
    EXPECT_EQ(board().cells[0][3].groupId, -1);
    EXPECT_EQ(board().cells[0][2].groupId, -1);
}

TEST_F(Groups, CountGroupsNumbersGroupsByTheirFirstCell) {
    setGrid({"bbacc-------", "aaaac-------"});
    ASSERT_TRUE(countGroups());
    const Board& b = board();
    EXPECT_EQ(b.groupCount, 3);
    EXPECT_EQ(b.cells[0][0].groupId, 0);
    EXPECT_EQ(b.cells[0][2].groupId, 1);
    EXPECT_EQ(b.cells[1][0].groupId, 1);
    EXPECT_EQ(b.cells[0][3].groupId, 2);
    EXPECT_EQ(b.cells[1][0].groupStep, 3);  // three steps from (0, 2)
    setGrid({"abab--------"});
    EXPECT_FALSE(countGroups());
    EXPECT_EQ(board().cells[0][0].groupStep, -1);
}

TEST_F(Groups, HoverFindsTheGroupOnceAndSingleFiguresToo) {
    bottomRow("aabcdefghijk");
    cursorOnCell(10, 0);
    frame();
    EXPECT_EQ(board().hoverActive, 1);
    EXPECT_EQ(board().groupSize, 2);
    cursorOnCell(10, 3);
    frame();
    EXPECT_EQ(board().groupSize, 1);
    EXPECT_EQ(board().group[0].column, 3);
    // Off the grid nothing is hovered.
    cursorAt(-350.0f, 0.0f);
    frame();
    EXPECT_EQ(board().hoverActive, 0);
}

class Clicks : public ::testing::Test {
protected:
    void SetUp() override { freshBoard(5); }
};

TEST_F(Clicks, ASecondClickWithinFiftyMillisecondsIsIgnored) {
    bottomRow("aabbcdefghij");
    cursorOnCell(10, 0);
    frame();
    boardLeftDown();
    EXPECT_EQ(board().movesUsed, 1);
    EXPECT_FLOAT_EQ(board().inputLock, 50.0f);
    EXPECT_EQ(board().cells[10][0].breakMark, 1);
    EXPECT_EQ(board().cells[10][1].hitMark, 1);
    frames(3);  // 48 ms: the lock still holds
    clickCell(10, 2);
    EXPECT_EQ(board().movesUsed, 1);
    EXPECT_EQ(board().cells[10][2].breakMark, 0);
    EXPECT_GE(board().cells[10][0].figure, 0);  // the marked figures stay until the break step
    frame();  // the lock runs out and the break step takes them
    EXPECT_EQ(board().cells[10][0].breakMark, 0);
    EXPECT_FALSE(isSettled());
    EXPECT_EQ(countTraced("debris", "figure"), 2);
}

TEST_F(Clicks, AGroupOfChainedFiguresLosesItsChainsAndCountsAsAMove) {
    bottomRow("AAbbcdefghij");
    clickCell(10, 0);
    EXPECT_EQ(board().movesUsed, 1);
    EXPECT_EQ(board().cells[10][0].breakMark, 0);
    EXPECT_EQ(board().previousKind, 0);
    frames(4);
    EXPECT_EQ(board().cells[10][0].chained, 0);
    EXPECT_EQ(board().cells[10][1].chained, 0);
    EXPECT_EQ(board().cells[10][0].figure, 0);
    EXPECT_EQ(board().cells[10][0].squares, 2);  // the squares wait for later hits
    EXPECT_EQ(countTraced("effect", "zep1"), 2);
    EXPECT_EQ(countTraced("sound", "BreakZep.ogg"), 2);
    EXPECT_EQ(countTraced("debris", "figure"), 0);
    EXPECT_EQ(board().levelScore, 2 * 90);
    // The same group again, now free: the second group of kind 0 in a row.
    frame();
    clickCell(10, 0);
    EXPECT_EQ(board().colourStreak, 1);
    EXPECT_EQ(board().lightningRun, 1);
    frames(4);
    EXPECT_EQ(countTraced("debris", "figure"), 2);
    EXPECT_EQ(board().cells[10][0].squares, 1);
}

TEST_F(Clicks, StreaksScoreTenTimesTheStreakPlusOne) {
    auto pairOf = [](int kind) {
        Board& b = board();
        b.cells[10][0].figure = kind;
        b.cells[10][1].figure = kind;
        b.cells[10][2].figure = 9;
        b.cells[9][0].figure = 7;
        b.cells[9][1].figure = 8;
        b.groupSize = 0;  // the board changed under the cursor: search again
        frame();
    };
    bottomRow("aabbcdefghij");
    // First group of kind 0: streak 0, 10 a figure.
    clickCell(10, 0);
    EXPECT_EQ(board().colourStreak, 0);
    frames(4);
    EXPECT_EQ(board().levelScore, 20);
    ASSERT_TRUE(settle());
    // A second group of kind 0: streak 1, each figure scores 20.
    pairOf(0);
    clickCell(10, 0);
    EXPECT_EQ(board().colourStreak, 1);
    EXPECT_EQ(board().bestStreak, 1);
    clearTrace();
    frames(4);
    EXPECT_EQ(board().levelScore, 20 + 2 * 20);
    EXPECT_EQ(countTraced("popup", "points"), 2);
    EXPECT_EQ(countTraced("sound", "BreakFigure2.ogg"), 2);
    ASSERT_TRUE(settle());
    // A group of another kind ends the streak.
    pairOf(3);
    clickCell(10, 0);
    EXPECT_EQ(board().colourStreak, 0);
    EXPECT_EQ(board().lightningRun, 0);
    EXPECT_EQ(board().bestStreak, 1);
    frames(4);
    EXPECT_EQ(board().levelScore, 60 + 20);
}

TEST_F(Clicks, LongStreaksPlayTheCueHigher) {
    bottomRow("aabbcdefghij");
    board().previousKind = 0;
    board().colourStreak = 8;
    clickCell(10, 0);
    EXPECT_EQ(board().colourStreak, 9);
    frames(4);
    int found = 0;
    for (int i = 0; i < traceCount(); ++i) {
        const TraceEntry& e = traceAt(i);
        if (std::string(e.name) == "BreakFigure.ogg") {
            EXPECT_EQ(e.value, 22050 + 2 * 2000);
            ++found;
        }
    }
    EXPECT_EQ(found, 2);
    EXPECT_EQ(board().levelScore, 2 * 10 * 10);
}

TEST_F(Clicks, SquaresLoseOneLayerPerHit) {
    bottomRow("22bbcdefghij");
    clickCell(10, 0);
    frames(4);
    EXPECT_EQ(board().cells[10][0].squares, 1);
    EXPECT_EQ(countTraced("sound", "BreakSquare.ogg"), 2);
    Vec2 p = cellCentre(10, 0);
    EXPECT_EQ(countTracedAt("shards", "square", p.x, p.y), 1);
    bool layersBefore = false;
    for (int i = 0; i < traceCount(); ++i)
        if (std::string(traceAt(i).kind) == "shards") layersBefore = traceAt(i).value == 2;
    EXPECT_TRUE(layersBefore);
    // 10 for the figure and 90 for the layer, at both cells.
    EXPECT_EQ(board().levelScore, 2 * (10 + 90));
    EXPECT_EQ(board().stepTotal, 200);
    EXPECT_EQ(countTracedAt("popup", "points", p.x, p.y), 1);
}

TEST_F(Clicks, TheSameCellTwiceSearchesAgainOnlyAfterTheRemoval) {
    bottomRow("aabbcdefghij");
    cursorOnCell(10, 0);
    frame();
    boardLeftDown();
    EXPECT_EQ(board().groupSize, 0);
    boardLeftDown();  // the lock holds, and there is no group left to remove
    EXPECT_EQ(board().movesUsed, 1);
    ASSERT_TRUE(settle());
    // Once settled, the hover searched from the cell under the cursor again.
    EXPECT_GE(board().groupSize, 1);
    EXPECT_EQ(board().group[0].row, 10);
    EXPECT_EQ(board().group[0].column, 0);
}

TEST_F(Clicks, SingleFiguresEmptyCellsAndMovingBoardsIgnoreClicks) {
    bottomRow("abcdefghijkl");
    clickCell(10, 0);
    EXPECT_EQ(board().movesUsed, 0);
    EXPECT_EQ(board().levelTouched, 1);  // it reached a figure of a settled board
    board().levelTouched = 0;
    board().cells[10][5].figure = -1;
    clickCell(10, 5);
    EXPECT_EQ(board().levelTouched, 0);
    board().cells[10][5].figure = 5;
    board().cells[10][1].figure = 0;
    board().cells[9][3].offset = Vec2{0.0f, 20.0f};  // a figure still on its way
    clickCell(10, 0);
    EXPECT_EQ(board().movesUsed, 0);
    EXPECT_EQ(board().levelTouched, 0);
}

TEST_F(Clicks, TheClickTakesTheGroupUnderTheCursor) {
    // The hover found the group at (10, 0); the cursor moved on to (10, 2) before the click.
    bottomRow("aabbcdefghij");
    cursorOnCell(10, 0);
    frame();
    clickCell(10, 2);
    EXPECT_EQ(board().cells[10][0].breakMark, 0);
    EXPECT_EQ(board().cells[10][2].breakMark, 1);
    EXPECT_EQ(board().cells[10][3].breakMark, 1);
    // No hover has searched since the level began (a tip was up): a fresh board's empty group
    // list starts at cell (0, 0), and a click there still finds the group it meets.
    freshBoard();
    bottomRow("abcdefghijkl");
    board().cells[0][0].figure = 0;
    board().cells[0][1].figure = 0;
    ASSERT_EQ(board().groupSize, 0);
    ASSERT_EQ(board().group[0].row, 0);
    ASSERT_EQ(board().group[0].column, 0);
    cursorOnCell(0, 0);
    boardLeftDown();
    EXPECT_EQ(board().movesUsed, 1);
}

TEST_F(Clicks, TheSurroundingStatesComeFirst) {
    bottomRow("aabbcdefghij");
    // A modal tip swallows the click.
    ASSERT_TRUE(openTip(0.0f, -100.0f, "nomoves", 0.0f, true, 0));
    clickCell(10, 0);
    EXPECT_EQ(board().movesUsed, 0);
    EXPECT_EQ(board().tip.showing, 1);
    EXPECT_EQ(board().tipCloseClicked, 1);
    // A tip that is not modal closes and the click goes on.
    closeTip();
    ASSERT_TRUE(openTip(0.0f, 0.0f, "breakzep", 0.0f, false, 0));
    clickCell(10, 0);
    EXPECT_EQ(board().tip.showing, 0);
    EXPECT_EQ(board().movesUsed, 1);
    // Paused: the click only resumes.
    ASSERT_TRUE(settle());
    board().cells[10][0].figure = 4;
    board().cells[10][1].figure = 4;
    pauseGame();
    clickCell(10, 0);
    EXPECT_EQ(board().paused, 0);
    EXPECT_EQ(board().movesUsed, 1);
    // The hammer button arms a ready hammer and puts an armed one back.
    board().hammerReady = 1;
    cursorAt(-346.0f, -70.0f);
    boardLeftDown();
    EXPECT_EQ(board().hammerArmed, 1);
    EXPECT_EQ(board().hammerReady, 0);
    boardLeftDown();
    EXPECT_EQ(board().hammerArmed, 0);
    EXPECT_EQ(board().hammerReady, 1);
    // The trophies button asks for the trophy view.
    cursorAt(-340.0f, 50.0f);
    boardLeftDown();
    EXPECT_EQ(board().trophyViewRequested, 1);
}

TEST_F(Clicks, BreakingChargesTheHammerAndEndsTheHint) {
    bottomRow("aabbcdefghij");
    board().hintActive = 1;
    board().cells[9][9].hovered = 1;
    board().idleClock = 5000.0f;
    const float before = board().hammerTarget;
    clearFigure(10, 11);
    EXPECT_NEAR(board().hammerTarget - before, 0.0105f, 1e-6f);
    EXPECT_EQ(board().hintActive, 0);
    EXPECT_EQ(board().cells[9][9].hovered, 0);
    EXPECT_FLOAT_EQ(board().idleClock, 0.0f);
    EXPECT_EQ(board().cells[10][11].figure, -1);
    clearFigure(-1, 20);  // outside the grid: nothing
}

TEST_F(Clicks, FirstBonusTipsShowOnASettledBoardAfterTheFirstLevel) {
    bottomRow("aabbcdefghij");
    board().cells[5][4].bonus = kBomb;
    board().levelIndex = 0;
    frame();
    EXPECT_EQ(countTraced("tip"), 0);
    board().levelIndex = 2;
    frame();
    Vec2 p = cellCentre(5, 4);
    EXPECT_EQ(countTracedAt("tip", "b_t_firstbonus1", p.x, p.y), 1);
    EXPECT_EQ(countTraced("sound", "TipShow.ogg"), 1);
    closeTip();
    frame();
    EXPECT_EQ(countTraced("tip", "b_t_firstbonus1"), 1);  // once
}

TEST_F(Clicks, DoubleClicksPauseOnlyOffTheBoardAndThePanel) {
    bottomRow("aabbcdefghij");
    cursorOnCell(4, 4);
    boardDoubleClick();
    EXPECT_EQ(board().paused, 0);
    cursorAt(-350.0f, 0.0f);
    boardDoubleClick();
    EXPECT_EQ(board().paused, 0);
    cursorAt(380.0f, 0.0f);
    boardDoubleClick();
    EXPECT_EQ(board().paused, 1);
}

class Keys : public ::testing::Test {
protected:
    void SetUp() override { freshBoard(11); }
};

TEST_F(Keys, SpacePausesAndAnyKeyResumes) {
    bottomRow("aabbcdefghij");
    boardKeyDown(32);
    EXPECT_EQ(board().paused, 1);
    boardKeyDown(65);
    EXPECT_EQ(board().paused, 0);
    ASSERT_TRUE(openTip(0.0f, 0.0f, "nomoves", 0.0f, true, 0));
    boardKeyDown(65);
    EXPECT_EQ(board().tip.showing, 0);
}

TEST_F(Keys, CheatKeysOnlyWhenEnabled) {
    bottomRow("22bbcdefghij");
    boardKeyDown(86);
    EXPECT_EQ(board().cells[10][0].squares, 2);
    sceneState().cheatKeys = true;
    boardKeyDown(86);
    EXPECT_EQ(board().cells[10][0].squares, 0);
    boardKeyDown(83);
    EXPECT_EQ(board().levelScore, 10000);
    boardKeyDown(77);
    EXPECT_FLOAT_EQ(board().hammerTarget, board().hammerMax);
    // Z raises the bonus under the cursor and wraps after the MegaBomb.
    cursorOnCell(10, 4);
    for (int i = 1; i <= 5; ++i) {
        boardKeyDown(90);
        EXPECT_EQ(board().cells[10][4].bonus, i);
    }
    boardKeyDown(90);
    EXPECT_EQ(board().cells[10][4].bonus, 0);
    // Off the grid it touches nothing.
    cursorAt(-390.0f, 290.0f);
    boardKeyDown(90);
    cursorAt(399.0f, -299.0f);
    boardKeyDown(90);
    // K starts the refill of the free figures.
    boardKeyDown(75);
    EXPECT_EQ(board().refillRunning, 1);
    EXPECT_EQ(board().cells[10][4].refillMark, 1);
}
