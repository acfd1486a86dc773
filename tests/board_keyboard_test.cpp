// Board play by the keys: the arrow keys lead the board's cursor through the hover path, Enter
// breaks the group under it, "H" arms and disarms a charged hammer, and the mouse takes over.
#include <gtest/gtest.h>

#include "board/keyboard.h"
#include "board_support.h"

using namespace board_test;

namespace {

constexpr int kEnter = 13, kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kH = 72;

class KeyboardPlay : public ::testing::Test {
protected:
    void SetUp() override {
        freshBoard(5);
        // Holes in row 4 right of the middle; a pair of kind 0 at the bottom left.
        std::vector<std::string> rows;
        for (int r = 0; r < 9; ++r) rows.push_back(r % 2 ? "ijijijijijij" : "jijijijijiji");
        rows[4] = "jijiji....ji";
        rows.push_back("ghghghghghgh");
        rows.push_back("aabcdefghijk");
        setGrid(rows);
        board().figureCount = 12;
        frame();
    }
    int row = -1, column = -1;
};

TEST_F(KeyboardPlay, ArrowsLeadTheCursorOverHolesAndStopAtTheEdge) {
    EXPECT_FALSE(boardKeyCursor(row, column));
    boardKeyDown(kRight);  // appears at the existing cell nearest the middle
    ASSERT_TRUE(boardKeyCursor(row, column));
    EXPECT_EQ(row, 5);
    EXPECT_EQ(column, 5);
    boardKeyDown(kRight);
    boardKeyDown(kRight);
    boardKeyDown(kUp);  // a hole in row 4 above: the step goes over it to row 3
    ASSERT_TRUE(boardKeyCursor(row, column));
    EXPECT_EQ(row, 3);
    EXPECT_EQ(column, 7);
    for (int i = 0; i < 20; ++i) boardKeyDown(kLeft);
    ASSERT_TRUE(boardKeyCursor(row, column));
    EXPECT_EQ(column, 0);
    // The board reads the cursor at the cell: the hover path finds the figure there.
    frame();
    const Vec2 at = cellCentre(3, 0);
    EXPECT_EQ(board().cursorX, at.x);
    EXPECT_EQ(board().cursorY, at.y);
    EXPECT_EQ(board().hoverActive, 1);
    EXPECT_EQ(board().group[0].row, 3);
    EXPECT_EQ(board().group[0].column, 0);
}

TEST_F(KeyboardPlay, EnterBreaksTheGroupUnderTheCursorAndTheMouseTakesOver) {
    boardKeyDown(kRight);
    for (int i = 0; i < 10; ++i) boardKeyDown(kDown);
    for (int i = 0; i < 12; ++i) boardKeyDown(kLeft);
    ASSERT_TRUE(boardKeyCursor(row, column));
    ASSERT_EQ(row, 10);
    ASSERT_EQ(column, 0);
    frame();
    EXPECT_EQ(board().groupSize, 2);
    boardKeyDown(kEnter);
    EXPECT_EQ(board().movesUsed, 1);
    EXPECT_EQ(board().cells[10][0].breakMark, 1);
    EXPECT_EQ(board().cells[10][1].breakMark, 1);

    boardMouseMoved();
    EXPECT_FALSE(boardKeyCursor(row, column));
    cursorOnCell(2, 2);
    frame();
    const Vec2 at = cellCentre(2, 2);
    EXPECT_EQ(board().cursorX, at.x);
}

TEST_F(KeyboardPlay, HArmsAndDisarmsOnlyAChargedHammer) {
    boardKeyDown(kH);
    EXPECT_EQ(board().hammerArmed, 0);  // not charged: nothing
    board().hammerReady = 1;
    boardKeyDown(kH);
    EXPECT_EQ(board().hammerArmed, 1);
    EXPECT_EQ(board().hammerReady, 0);
    boardKeyDown(kH);
    EXPECT_EQ(board().hammerArmed, 0);
    EXPECT_EQ(board().hammerReady, 1);
    // Armed, Enter strikes the single figure under the cursor.
    boardKeyDown(kH);
    boardKeyDown(kRight);
    frame();
    boardKeyDown(kEnter);
    EXPECT_EQ(board().cells[5][5].breakMark, 1);
    EXPECT_EQ(board().hammerArmed, 0);
    EXPECT_EQ(board().movesUsed, 0);
}

TEST_F(KeyboardPlay, SpaceStillPauses) {
    boardKeyDown(kRight);
    boardKeyDown(32);
    EXPECT_EQ(board().paused, 1);
    boardKeyDown(kLeft);  // any key resumes; the cursor does not move on that key
    EXPECT_EQ(board().paused, 0);
    ASSERT_TRUE(boardKeyCursor(row, column));
    EXPECT_EQ(column, 5);
}

}  // namespace
