// Falling, new figures, diagonal slides, settling, dead boards, the refill and the idle hint.
#include <gtest/gtest.h>

#include <cmath>

#include "board_support.h"

using namespace board_test;

namespace {

// A full board with no falls pending: a checker of kinds 8 and 9 (no groups) with one pair of
// kind 10 at the bottom right, so the board is not dead.
std::vector<std::string> quietRows() {
    std::vector<std::string> rows;
    for (int r = 0; r < kRows; ++r) rows.push_back(r % 2 ? "ijijijijijij" : "jijijijijiji");
    rows[10][10] = 'k';
    rows[10][11] = 'k';
    return rows;
}

void useRows(const std::vector<std::string>& rows, int kinds = 3) {
    setGrid(rows);
    board().figureCount = kinds;
}

float drawnY(int row, int column) { return cellCentre(row, column).y + board().cells[row][column].offset.y; }

}  // namespace

class Falling : public ::testing::Test {
protected:
    void SetUp() override { freshBoard(21); }
};

TEST_F(Falling, AColumnStepsDownOneCellAFrameAndNewFiguresEnterAtTheTop) {
    auto rows = quietRows();
    for (int r = 0; r < kRows; ++r) rows[r][0] = static_cast<char>('a' + (r % 3) + (r >= 3 ? 3 : 0));
    rows[10][0] = '-';
    useRows(rows);
    const std::vector<std::string> before = gridRows();
    frame();
    const std::vector<std::string> after = gridRows();
    for (int r = 1; r < kRows; ++r) EXPECT_EQ(after[r][0], before[r - 1][0]) << r;
    for (int r = 0; r < kRows; ++r) {
        EXPECT_FLOAT_EQ(board().cells[r][0].offset.y, 54.0f) << r;  // still drawn where it was
        EXPECT_FLOAT_EQ(board().cells[r][1].offset.y, 0.0f) << r;
    }
    EXPECT_NE(after[0][0], '-');
    EXPECT_FALSE(isSettled());
    ASSERT_TRUE(settle());
    EXPECT_GE(countTraced("sound", "FigureFall.ogg"), 1);
    // At rest the speed starts again from nothing (plus this frame's growth).
    frame();
    for (int r = 0; r < kRows; ++r) EXPECT_NEAR(board().cells[r][0].fallSpeed, 16.0f * 0.012f, 1e-5f);
}

TEST_F(Falling, ColumnsUnderAHoleAreFedUnderTheHole) {
    auto rows = quietRows();
    rows[4][3] = '.';
    rows[10][3] = '-';
    useRows(rows);
    const std::vector<std::string> before = gridRows();
    frame();
    const std::vector<std::string> after = gridRows();
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(after[r][3], before[r][3]) << r;  // above the hole nothing moves
        EXPECT_FLOAT_EQ(board().cells[r][3].offset.y, 0.0f);
    }
    EXPECT_NE(after[5][3], '-');
    EXPECT_FLOAT_EQ(board().cells[5][3].offset.y, 54.0f);
    EXPECT_EQ(after[6][3], before[5][3]);
}

TEST_F(Falling, AFigureUnderAChainIsFedOnlyDiagonally) {
    auto rows = quietRows();
    rows[9][5] = 'J';
    rows[9][4] = '.';
    rows[9][6] = 'K';
    rows[10][5] = '-';
    useRows(rows);
    frames(30);
    EXPECT_EQ(board().cells[10][5].figure, -1);
    EXPECT_TRUE(isSettled());
    // Free the upper right neighbour: it slides in and the column above it follows straight.
    board().cells[9][6].chained = 0;
    frame();
    EXPECT_EQ(board().cells[10][5].figure, 10);
    EXPECT_EQ(board().cells[10][5].slideFlag, 1);
    // It starts from the centre of its old cell (and moved a little in this frame).
    EXPECT_NEAR(board().cells[10][5].offset.x, 54.0f, 0.1f);
    EXPECT_NEAR(board().cells[10][5].offset.y, 54.0f, 0.1f);
    EXPECT_FLOAT_EQ(board().cells[10][5].offset.x, board().cells[10][5].offset.y);
    EXPECT_EQ(board().cells[9][6].figure, -1);
    ASSERT_TRUE(settle());
    EXPECT_EQ(board().cells[9][5].chained, 1);
    EXPECT_EQ(board().cells[9][5].figure, 9);
}

TEST_F(Falling, OnlyTheFirstDiagonalCandidateMovesInAFrame) {
    auto rows = quietRows();
    rows[9][2] = 'J';
    rows[9][8] = 'J';
    rows[10][2] = '-';
    rows[10][8] = '-';
    useRows(rows);
    const std::vector<std::string> before = gridRows();
    fallStep();
    // Bottom row first, left column first; from the upper right before the upper left.
    EXPECT_EQ(static_cast<char>('a' + board().cells[10][2].figure), before[9][3]);
    EXPECT_EQ(board().cells[9][3].figure, -1);
    EXPECT_EQ(board().cells[9][1].figure, before[9][1] - 'a');
    EXPECT_EQ(board().cells[10][8].figure, -1);
    // The next frame column 3 steps down as a whole, and the second candidate is fed.
    fallStep();
    EXPECT_EQ(static_cast<char>('a' + board().cells[10][8].figure), before[9][9]);
    EXPECT_EQ(board().cells[9][9].figure, -1);
    ASSERT_TRUE(settle());
}

TEST_F(Falling, SpeedGrowsAcrossCellsUpToTenUnitsAFrame) {
    // One figure of its own kind falls through ten empty cells.
    std::vector<std::string> rows(kRows, std::string(kColumns, '.'));
    rows[0][0] = 'p';
    for (int r = 1; r < kRows; ++r) rows[r][0] = '-';
    for (int r = 0; r < kRows; ++r) rows[r][11] = r % 2 ? 'a' : 'b';
    rows[10][10] = 'b';
    useRows(rows, 2);
    // The first cell is entered from rest; later cells keep the speed.
    float last = drawnY(0, 0);
    float maxStep = 0.0f;
    float speedEnteringRow[kRows] = {};
    int row = 0;
    for (int i = 0; i < 400 && !(row == 10 && board().cells[10][0].offset.y == 0.0f); ++i) {
        frame();
        for (int r = 0; r < kRows; ++r)
            if (board().cells[r][0].figure == 15) {
                if (r != row) speedEnteringRow[r] = board().cells[r][0].fallSpeed;
                row = r;
            }
        const float y = drawnY(row, 0);
        maxStep = std::max(maxStep, last - y);
        last = y;
    }
    ASSERT_EQ(row, 10);
    EXPECT_LE(maxStep, 10.0001f);
    EXPECT_GE(maxStep, 9.999f);
    EXPECT_GT(speedEnteringRow[6], speedEnteringRow[2]);
    EXPECT_GT(speedEnteringRow[2], 1.0f);
}

TEST_F(Falling, MotionStepsAreCappedAndSlidesGoFaster) {
    useRows(quietRows());
    Cell& straight = board().cells[3][3];
    straight.offset = Vec2{0.0f, 500.0f};
    straight.fallSpeed = 40.0f;
    Cell& slide = board().cells[3][4];
    slide.offset = Vec2{300.0f, 400.0f};
    slide.fallSpeed = 40.0f;
    slide.slideFlag = 1;
    frameClock().frameMs = 16.0f;
    fallMotion();
    EXPECT_NEAR(straight.offset.y, 490.0f, 1e-3f);
    EXPECT_NEAR(std::hypot(slide.offset.x, slide.offset.y), 485.0f, 1e-3f);
    EXPECT_NEAR(slide.offset.x / slide.offset.y, 0.75f, 1e-5f);  // along its own direction
    EXPECT_NEAR(straight.fallSpeed, 40.0f + 16.0f * 0.012f, 1e-4f);
}

TEST_F(Falling, SettledMeansRestingUnmarkedAndNothingToDrop) {
    useRows(quietRows());
    EXPECT_TRUE(isSettled());
    board().cells[4][4].offset = Vec2{0.0f, 0.5f};
    EXPECT_FALSE(isSettled());
    board().cells[4][4].offset = Vec2{0.0f, 0.0f};
    board().cells[2][2].refillMark = 1;
    EXPECT_FALSE(isSettled());
    board().cells[2][2].refillMark = 0;
    // An empty cell below-left of a free figure can still be fed.
    board().cells[6][5].figure = -1;
    board().cells[5][5].chained = 1;
    board().cells[5][4].chained = 1;
    EXPECT_FALSE(isSettled());  // (5, 6) can slide down to the left
    board().cells[5][6].chained = 1;
    EXPECT_TRUE(isSettled());
}

class DeadBoards : public ::testing::Test {
protected:
    void SetUp() override { freshBoard(33); }
};

TEST_F(DeadBoards, TheTipShowsOnceAndTheRefillWaitsForItToClose) {
    std::vector<std::string> rows;
    for (int r = 0; r < kRows; ++r) rows.push_back(r % 2 ? "abababababab" : "babababababa");
    useRows(rows, 2);
    frame();
    EXPECT_EQ(countTracedAt("tip", "nomoves", 0.0f, -100.0f), 1);
    EXPECT_EQ(board().tip.modal, 1);
    EXPECT_EQ(countTraced("sound", "TipShow.ogg"), 1);
    EXPECT_EQ(countTraced("sound", "NoMoreMove.ogg"), 1);
    frames(30);
    EXPECT_EQ(board().refillRunning, 0);
    EXPECT_EQ(board().cells[0][0].refillMark, 0);
    EXPECT_EQ(countTraced("tip", "nomoves"), 1);

    closeTip();
    const float start = frameClock().runningMs;
    frame();
    EXPECT_EQ(board().refillRunning, 1);
    EXPECT_EQ(board().cells[10][11].refillMark, 1);
    EXPECT_FALSE(isSettled());
    frames(40);
    EXPECT_FLOAT_EQ(board().idleClock, 0.0f);  // held while the refill runs
    frames(30);
    EXPECT_EQ(board().refillRunning, 0);
    EXPECT_EQ(board().cells[10][11].refillMark, 0);
    EXPECT_EQ(countTraced("sound", "ReFillLevel.ogg"), kCellCount);
    EXPECT_EQ(countTraced("effect", "refill1"), kCellCount);
    // Each cell's moment is (row + column) x 50 ms after the start.
    for (int i = 0; i < traceCount(); ++i) {
        const TraceEntry& e = traceAt(i);
        if (std::string(e.name) != "refill1") continue;
        int r, c;
        cellAt(e.x, e.y, r, c);
        const float moment = static_cast<float>((r + c) * 50);
        EXPECT_GT(e.atMs - start, moment);
        EXPECT_LE(e.atMs - start, moment + 16.0f);
    }
}

TEST_F(DeadBoards, ARefillThatLeavesTheBoardDeadRefillsAgainWithoutATip) {
    // No two cells touch: every deal is dead. The first fill gives up after its last deal.
    std::vector<std::string> rows;
    for (int r = 0; r < kRows; ++r) rows.push_back(r % 2 ? "0.0.0.0.0.0." : ".0.0.0.0.0.0");
    rows[0][1] = '1';  // a square keeps the level in play
    std::string text = levelText("figures=3\r\n", rows);
    resetBoardState();
    loadLevelFromText(3, text.c_str());
    fillBoard();
    setupLevel();
    EXPECT_EQ(lastFillDeals(), 1000);
    frame();
    EXPECT_EQ(countTraced("tip", "nomoves"), 1);
    closeTip();
    frames(3 * 70);
    EXPECT_EQ(countTraced("tip", "nomoves"), 1);
    // Three whole refills of the 66 cells (and part of the fourth).
    EXPECT_GE(countTraced("sound", "ReFillLevel.ogg"), 3 * 66);
    EXPECT_EQ(board().hintActive, 0);
}

TEST_F(DeadBoards, OnlyChainedFiguresStayDeadWithoutHints) {
    std::vector<std::string> rows;
    for (int r = 0; r < kRows; ++r) rows.push_back(r % 2 ? "ABABABABABAB" : "BABABABABABA");
    useRows(rows, 2);
    frame();
    EXPECT_EQ(countTraced("tip", "nomoves"), 1);
    closeTip();
    frames(1500);  // 24 s
    EXPECT_EQ(countTraced("tip", "nomoves"), 1);
    EXPECT_EQ(countTraced("sound", "ReFillLevel.ogg"), 0);
    EXPECT_EQ(countTraced("sound", "MoveTipShow.ogg"), 0);
    EXPECT_EQ(board().hintActive, 0);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) EXPECT_EQ(board().cells[r][c].refillMark, 0);
}

TEST_F(DeadBoards, TheNoMovesTipComesBackForTheNextDeadBoard) {
    std::vector<std::string> rows;
    for (int r = 0; r < kRows; ++r) rows.push_back(r % 2 ? "abababababab" : "babababababa");
    useRows(rows, 1);  // the refill deals kind 0 only: the board comes back alive
    frame();
    closeTip();
    frames(80);
    EXPECT_EQ(board().noMovesShown, 0);
    setGrid(rows);
    frame();
    EXPECT_EQ(countTraced("tip", "nomoves"), 2);
}

class IdleHint : public ::testing::Test {
protected:
    void SetUp() override { freshBoard(44); }
};

TEST_F(IdleHint, ShowsAfterSixSecondsAndClearsFourSecondsLater) {
    auto rows = quietRows();
    rows[3][3] = 'a';
    rows[3][4] = 'a';
    useRows(rows);
    frames(375);  // 6000 ms: not yet more than the delay
    EXPECT_EQ(board().hintActive, 0);
    EXPECT_EQ(countTraced("sound", "MoveTipShow.ogg"), 0);
    frame();
    ASSERT_EQ(board().hintActive, 1);
    EXPECT_EQ(countTraced("sound", "MoveTipShow.ogg"), 1);
    EXPECT_EQ(countTraced("effect", "blik4"), 1);
    int hovered = 0;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = board().cells[r][c];
            EXPECT_EQ(cell.hovered != 0, cell.groupId == board().hintGroup);
            hovered += cell.hovered;
        }
    EXPECT_EQ(hovered, 2);
    frames(249);  // 10000 ms
    EXPECT_EQ(board().hintActive, 1);
    frame();
    EXPECT_EQ(board().hintActive, 0);
    EXPECT_FLOAT_EQ(board().idleClock, 0.0f);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) EXPECT_EQ(board().cells[r][c].hovered, 0);
    EXPECT_EQ(countTraced("sound", "MoveTipShow.ogg"), 1);
}

TEST_F(IdleHint, AClickOrAHighlightedGroupHoldsTheClock) {
    auto rows = quietRows();
    rows[3][3] = 'a';
    rows[3][4] = 'a';
    useRows(rows);
    cursorOnCell(3, 3);
    frames(700);
    EXPECT_EQ(board().hintActive, 0);
    EXPECT_FLOAT_EQ(board().idleClock, 0.0f);
    cursorAt(390.0f, -290.0f);
    frames(380);
    ASSERT_EQ(board().hintActive, 1);
    clickCell(10, 10);
    EXPECT_EQ(board().hintActive, 0);
    EXPECT_EQ(board().movesUsed, 1);
    // A click on a lone figure breaks nothing, but it is accepted all the same.
    cursorAt(390.0f, -290.0f);
    for (int i = 0; i < 700 && !board().hintActive; ++i) frame();
    ASSERT_EQ(board().hintActive, 1);
    int row = -1, column = -1;
    for (int r = 0; r < kRows && row < 0; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (hasFigure(r, c) && board().cells[r][c].groupId < 0) {
                row = r;
                column = c;
                break;
            }
    ASSERT_GE(row, 0);
    clickCell(row, column);
    EXPECT_EQ(board().hintActive, 0);
    EXPECT_FLOAT_EQ(board().idleClock, 0.0f);
    EXPECT_EQ(board().movesUsed, 1);
}
