// Bonuses made by groups and runs, explosions and what they hit, combos, the hammer and the
// break step's wait for the last explosion.
#include <gtest/gtest.h>

#include "board/bonuses.h"
#include "board/scoring.h"
#include "board_outcome_support.h"
#include "board_support.h"

using namespace board_test;

namespace {

// A settled board: a checker of kinds 8 and 9 in rows 0..8, then the two given rows.
void boardWith(const std::string& row9, const std::string& row10) {
    std::vector<std::string> rows;
    for (int r = 0; r < 9; ++r) rows.push_back(r % 2 ? "ijijijijijij" : "jijijijijiji");
    rows.push_back(row9);
    rows.push_back(row10);
    setGrid(rows);
    board().figureCount = 10;
    frame();
}

// Starts the explosion of a bonus figure as a click or a hammer stroke would.
void fireAt(int row, int column) {
    board().cells[row][column].breakMark = 1;
    fireMarkedBonuses(false);
}

int activeExplosions() {
    int n = 0;
    for (const Explosion& e : board().explosions) n += e.kind > 0 ? 1 : 0;
    return n;
}

const Explosion* explosionAt(int row, int column) {
    for (const Explosion& e : board().explosions)
        if (e.kind > 0 && e.row == row && e.column == column) return &e;
    return nullptr;
}

}  // namespace

class Bonuses : public ::testing::Test {
protected:
    void SetUp() override {
        freshBoard(9);
        recordOutcomes();
    }
};

TEST_F(Bonuses, AGroupOfEightAsTheFourthRunGroupKeepsLightningAndAPendingMegaBomb) {
    boardWith("ghghghghghgh", "aaaaaaaabcde");
    Board& b = board();
    b.previousKind = 0;
    b.lightningRun = 2;  // three groups of kind 0 in a row so far
    clickCell(10, 0);
    Cell& kept = b.cells[10][0];
    EXPECT_EQ(kept.bonus, kLightning);
    EXPECT_EQ(kept.pendingBonus, kMegaBomb);
    EXPECT_EQ(kept.breakMark, 0);
    EXPECT_FLOAT_EQ(kept.bonusTimer, 2000.0f);
    EXPECT_EQ(b.cells[10][7].breakMark, 1);
    EXPECT_EQ(b.lightningRun, 0);
    EXPECT_EQ(countTraced("sound", "AddThunder.ogg"), 1);
    EXPECT_EQ(countTraced("sound", "AddSuperBomb.ogg"), 1);
    ASSERT_TRUE(settle());
    ASSERT_EQ(b.cells[10][0].bonus, kLightning);

    // When it breaks, the Lightning fires and the figure stays with the MegaBomb.
    fireAt(10, 0);
    const Explosion* e = explosionAt(10, 0);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->kind, kLightning);
    EXPECT_FLOAT_EQ(e->duration, 500.0f);
    EXPECT_EQ(b.cells[10][0].bonus, kMegaBomb);
    EXPECT_EQ(b.cells[10][0].pendingBonus, kNoBonus);
    EXPECT_EQ(b.cells[10][0].breakMark, 0);
    ASSERT_TRUE(settle());
    EXPECT_EQ(b.cells[10][0].figure, 0);
    EXPECT_EQ(b.cells[10][0].bonus, kMegaBomb);
}

TEST_F(Bonuses, AClickedBonusFigureBreaksAndLeavesTheNewBonusPending) {
    boardWith("ghghghghghgh", "aaaaabcdefgh");
    Board& b = board();
    b.cells[10][0].bonus = kCrossBomb;
    clickCell(10, 0);
    EXPECT_EQ(b.cells[10][0].bonus, kBomb);  // the cross bomb fired, the new bomb took its place
    EXPECT_EQ(b.cells[10][0].breakMark, 0);
    ASSERT_NE(explosionAt(10, 0), nullptr);
    EXPECT_EQ(explosionAt(10, 0)->kind, kCrossBomb);
    EXPECT_EQ(b.comboCount, 0);  // a click's own firing is no combo
}

TEST_F(Bonuses, ALightningSparesALightningOfItsKindButABombFiresIt) {
    boardWith("ghghghghghgh", "abcdeafaghij");
    Board& b = board();
    b.cells[10][0].bonus = kLightning;
    b.cells[10][5].bonus = kLightning;
    fireAt(10, 0);
    frame();  // it starts
    EXPECT_EQ(b.cells[10][5].breakMark, 3);  // broken by the Lightning, not fired
    EXPECT_EQ(b.cells[10][7].breakMark, 3);
    EXPECT_EQ(b.cells[10][1].breakMark, 0);
    EXPECT_EQ(activeExplosions(), 1);
    EXPECT_EQ(b.comboCount, 0);
    EXPECT_EQ(countTraced("sound", "Thunderbolt.ogg"), 1);
    EXPECT_EQ(countTracedAt("effect", "lightning", cellCentre(10, 7).x + 1.0f, cellCentre(10, 7).y + 2.0f), 1);
    // One bolt to each broken figure of the kind, from the Lightning's cell.
    EXPECT_EQ(b.boltSets[0].count, 2);
    EXPECT_FLOAT_EQ(b.boltSets[0].origin.x, cellCentre(10, 0).x);
    EXPECT_FLOAT_EQ(b.boltSets[0].bolts[0].life, 800.0f);
    EXPECT_EQ(b.boltSets[0].bolts[0].colour >> 24, 0xFFu);
    ASSERT_TRUE(settle());

    boardWith("ghghghghghgh", "abcdeafaghij");
    b.cells[10][4].bonus = kBomb;
    b.cells[10][5].bonus = kLightning;
    fireAt(10, 4);
    frame();
    EXPECT_EQ(b.cells[10][5].breakMark, 1);  // a bomb fires it
    ASSERT_NE(explosionAt(10, 5), nullptr);
    EXPECT_EQ(explosionAt(10, 5)->kind, kLightning);
    EXPECT_EQ(b.comboCount, 1);
}

TEST_F(Bonuses, ACrossBombOverPlainFiguresBreaksNoneButClearsOneLayerUnderEach) {
    boardWith("ghghghghghgh", "abcdefghijab");
    Board& b = board();
    for (int c = 0; c < kColumns; ++c) b.cells[10][c].squares = 2;
    for (int r = 0; r < kRows; ++r) b.cells[r][5].squares = 1;
    b.cells[10][5].bonus = kCrossBomb;
    const std::vector<std::string> before = gridRows();
    fireAt(10, 5);
    ASSERT_TRUE(settle());
    std::vector<std::string> after = gridRows();
    // Only the bomb's own figure went (and the column above it stepped down).
    for (int c = 0; c < kColumns; ++c) {
        if (c == 5) continue;
        EXPECT_EQ(after[10][c], before[10][c]) << c;
        EXPECT_EQ(b.cells[10][c].squares, 1) << c;
    }
    for (int r = 0; r < 10; ++r) EXPECT_EQ(b.cells[r][5].squares, 0) << r;
    EXPECT_EQ(b.cells[10][5].squares, 1);  // its own cell: one hit from its breaking
    EXPECT_EQ(countTraced("debris", "figure"), 1);
    EXPECT_EQ(countTraced("sound", "BreakSquare.ogg"), 11 + 10);
}

TEST_F(Bonuses, DiagonalAndMegaBombsHitTheirLinesAcrossHoles) {
    boardWith("ghghghghghgh", "abcdefghijab");
    Board& b = board();
    b.cells[8][3].squares = -1;  // a hole on the diagonal
    b.cells[8][3].figure = -1;
    b.cells[7][2].squares = 1;
    b.cells[10][5].bonus = kDiagonalBomb;
    fireAt(10, 5);
    frame();
    EXPECT_EQ(b.cells[9][4].hitMark, 1);
    EXPECT_EQ(b.cells[7][2].hitMark, 1);  // past the hole
    EXPECT_EQ(b.cells[9][5].hitMark, 0);
    EXPECT_EQ(b.cells[7][2].breakMark, 0);
    ASSERT_TRUE(settle());
    EXPECT_EQ(b.cells[7][2].squares, 0);

    boardWith("ghghghghghgh", "abcdefghijab");
    b.cells[5][5].bonus = kMegaBomb;
    fireAt(5, 5);
    frame();
    EXPECT_EQ(countTraced("effect", "prototip"), 1);
    EXPECT_EQ(countTraced("sound", "ExplosionSuperBomb.ogg"), 1);
    int hit = 0;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) hit += b.cells[r][c].hitMark;
    // Row (11 others) + column (10) + four diagonal arms of 5 from (5, 5) on the 11 x 12 grid.
    EXPECT_EQ(hit, 11 + 10 + 20);
}

TEST_F(Bonuses, TwoAdjacentBombsFire150MsApartAndMakeAComboOfOne) {
    boardWith("ghghghghghgh", "abcdefghijab");
    Board& b = board();
    b.cells[10][4].bonus = kBomb;
    b.cells[10][5].bonus = kBomb;
    const float clickedAt = frameClock().runningMs;
    fireAt(10, 4);
    frame();  // the first starts
    const Explosion* first = explosionAt(10, 4);
    const Explosion* second = explosionAt(10, 5);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->started, 1);
    EXPECT_FLOAT_EQ(first->startAt, clickedAt);
    EXPECT_FLOAT_EQ(second->startAt, frameClock().runningMs + 150.0f);
    EXPECT_EQ(second->started, 0);
    EXPECT_EQ(b.comboCount, 1);
    EXPECT_EQ(b.shakeOn, 1);
    EXPECT_FLOAT_EQ(b.inputLock, 250.0f - 16.0f);  // raised to the duration, then one frame
    frames(9);  // 144 ms later: not yet
    EXPECT_EQ(second->started, 0);
    frame();
    EXPECT_EQ(second->started, 1);
    EXPECT_EQ(countTraced("sound", "ExplosionBomb.ogg"), 2);
    EXPECT_EQ(countTraced("effect", "bomb1_1"), 2);
}

TEST_F(Bonuses, TheBreakStepWaitsForTheLastExplosionsFullDuration) {
    boardWith("ghghghghghgh", "abcdefghijab");
    Board& b = board();
    b.cells[10][4].bonus = kBomb;
    b.cells[10][5].bonus = kBomb;
    fireAt(10, 4);
    int secondStart = -1;
    int broken = -1;
    for (int f = 1; f < 60 && broken < 0; ++f) {
        frame();
        const Explosion* second = explosionAt(10, 5);
        if (secondStart < 0 && second && second->started) secondStart = f;
        if (b.cells[10][4].figure < 0) broken = f;
    }
    ASSERT_GT(secondStart, 0);
    ASSERT_GT(broken, 0);
    // 250 ms of the second bomb at 16 ms a frame: the lock runs below 0 15 frames after it
    // started; the hop of the jolt may keep the board moving a little longer.
    EXPECT_GE(broken - secondStart, 15);
    EXPECT_LE(broken - secondStart, 24);
}

TEST_F(Bonuses, ExplosionPointsGoToTheBombsCell) {
    boardWith("ghghghghghgh", "abcdefghijab");
    Board& b = board();
    b.colourStreak = 2;
    b.cells[10][5].bonus = kBomb;
    fireAt(10, 5);
    ASSERT_TRUE(settle());
    // In reach on the bottom row: two left, two right, three above and one two rows up. The
    // bomb and those 8 break at 10 x (streak + 1) each; the bomb's cell adds the streak per hit.
    const int hits = 8;
    EXPECT_EQ(b.levelScore, (1 + hits) * 30 + 2 * hits);
    EXPECT_EQ(countTracedAt("popup", "points", cellCentre(10, 5).x, cellCentre(10, 5).y), 1);
}

TEST_F(Bonuses, AChainStopsAnExplosionsBreakButNotItsHit) {
    boardWith("ghghghghghgh", "abcdeFghijab");
    Board& b = board();
    b.cells[10][4].bonus = kBomb;
    b.cells[10][5].bonus = kBomb;  // chained: hit, not fired
    fireAt(10, 4);
    frame();
    EXPECT_EQ(b.cells[10][5].breakMark, 0);
    EXPECT_EQ(b.cells[10][5].hitMark, 1);
    EXPECT_EQ(activeExplosions(), 1);
    ASSERT_TRUE(settle());
    EXPECT_EQ(b.cells[10][5].chained, 0);
    EXPECT_EQ(b.cells[10][5].squares, 2);
    EXPECT_EQ(b.cells[10][5].bonus, kBomb);
}

TEST_F(Bonuses, TheQueueIsARingThatOverwritesItsOldest) {
    boardWith("ghghghghghgh", "abcdefghijab");
    Board& b = board();
    for (int i = 0; i < kExplosionCapacity + 3; ++i) {
        b.cells[0][0].bonus = kBomb;
        fireAt(0, 0);
    }
    EXPECT_EQ(b.nextExplosion, 3);
    EXPECT_EQ(activeExplosions(), kExplosionCapacity);
}

TEST_F(Bonuses, TheShakeRunsFor150MsAndTheJoltLiftsTheFiguresAbove) {
    boardWith("ghghghghghgh", "abcdefghijab");
    Board& b = board();
    b.cells[10][5].bonus = kBomb;
    fireAt(10, 5);
    frame();
    frame();
    EXPECT_EQ(b.shakeOn, 1);
    EXPECT_GT(b.cells[7][5].offset.y, 0.0f);  // hops up
    EXPECT_GT(b.cells[7][4].offset.y, 0.0f);
    EXPECT_FLOAT_EQ(b.cells[7][7].offset.y, 0.0f);
    frames(9);
    EXPECT_EQ(b.shakeOn, 0);
    EXPECT_FLOAT_EQ(b.shakeOffset.x, 0.0f);
    ASSERT_TRUE(settle());
}

class Hammer : public ::testing::Test {
protected:
    void SetUp() override {
        freshBoard(12);
        recordOutcomes();
    }
};

TEST_F(Hammer, ChargesFillsAndWaitsFullUntilUsed) {
    boardWith("ghghghghghgh", "abcdefghijab");
    Board& b = board();
    b.hammerTarget = b.hammerMax - 0.0005f;
    frames(200);
    EXPECT_EQ(b.hammerReady, 0);  // the meter eases toward the target but never passes it
    b.hammerTarget = b.hammerMax + 0.01f;
    frames(200);
    EXPECT_EQ(b.hammerReady, 1);
    EXPECT_FLOAT_EQ(b.hammerShown, b.hammerMax);
    EXPECT_FLOAT_EQ(b.hammerTarget, b.hammerMin);
    EXPECT_EQ(countTraced("sound", "GetHammer.ogg"), 1);
    EXPECT_EQ(countTraced("tip", "usehammer"), 1);
    closeTip();
    clearFigure(0, 0);  // breaking while full does not charge past the full meter
    frames(5);
    EXPECT_FLOAT_EQ(b.hammerShown, b.hammerMax);
    EXPECT_EQ(countTraced("sound", "GetHammer.ogg"), 1);
}

TEST_F(Hammer, AStrokeOnAChainedFigureBreaksTheChainAndEmptiesTheMeter) {
    boardWith("ghghghghghgh", "Abcdefghijab");
    Board& b = board();
    b.hammerReady = 1;
    b.hammerShown = b.hammerMax;
    cursorAt(-346.0f, -70.0f);
    boardLeftDown();  // the hammer button arms it
    ASSERT_EQ(b.hammerArmed, 1);
    const int moves = b.movesUsed;
    clickCell(10, 0);
    EXPECT_EQ(b.hammerArmed, 0);
    EXPECT_EQ(b.hammerReady, 0);
    EXPECT_FLOAT_EQ(b.hammerShown, b.hammerMin);
    EXPECT_FLOAT_EQ(b.hammerTarget, b.hammerMin);
    EXPECT_EQ(b.movesUsed, moves);  // no move
    EXPECT_EQ(countTraced("sound", "UseHammer.ogg"), 1);
    ASSERT_TRUE(settle());
    EXPECT_EQ(b.cells[10][0].chained, 0);
    EXPECT_EQ(b.cells[10][0].figure, 0);
    EXPECT_EQ(b.cells[10][0].squares, 2);
    EXPECT_EQ(countTraced("sound", "BreakZep.ogg"), 1);
}

TEST_F(Hammer, AStrokeBreaksASingleFigureAndFiresItsBonus) {
    boardWith("ghghghghghgh", "abcdefghijab");
    Board& b = board();
    b.cells[10][3].bonus = kBomb;
    b.hammerArmed = 1;
    clickCell(10, 3);
    EXPECT_EQ(b.cells[10][3].breakMark, 1);
    ASSERT_NE(explosionAt(10, 3), nullptr);
    EXPECT_EQ(b.comboCount, 0);
    // The right button puts an armed hammer back to ready.
    b.hammerArmed = 1;
    boardRightDown();
    EXPECT_EQ(b.hammerArmed, 0);
    EXPECT_EQ(b.hammerReady, 1);
}
