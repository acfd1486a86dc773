// Board play on screen, through the play runner over the forged data set: golden pictures of
// the board's moments, and the drawing's own rules (pictures out of range, the hammer's pulse,
// the faded board of the pause, the panel's buttons where they are drawn, the saved game's share
// of the presentation).
#include <cstring>
#include <vector>

#include "app/strings.h"
#include "app/trace.h"
#include "board/hud.h"
#include "board/keyboard.h"
#include "board/outcome.h"
#include "board/tips.h"
#include "golden.h"
#include "progress/saved_game.h"
#include "render/backdrops.h"
#include "board_screen_support.h"

using namespace board_screen;

namespace {

constexpr int kAdventureMode = 0;
constexpr int kPuzzleMode = 2;

// The tips a player has already seen do not come back: for most pictures all are seen.
void allTipsSeen() {
    for (int k = 0; k < kTipFlagCount; ++k) setTipFlag(k, false);
}

// The backdrop without its moving objects (sky, water, leaves): its picture alone, the same
// in every frame, for the tests that compare frames pixel by pixel.
void stillBackdrop() {
    BackdropState& back = backdropState();
    back.scene.objectCount = 0;
    for (SprayDroplet& d : back.spray) d.time = 0.0f;
}

// A spot beside the board where the cursor highlights nothing.
constexpr float kAsideX = 390.0f;
constexpr float kAsideY = -295.0f;

class BoardOnScreen : public BoardScreen {
protected:
    void startQuiet(int level, int mode, uint32_t seed) {
        allTipsSeen();
        startLevel(level, mode, seed);
        moveTo(kAsideX, kAsideY);
        settle();
    }
    ::testing::AssertionResult golden(const std::string& name) {
        platform::Picture shot = presented();
        keep(shot, name);
        return golden::matches(halfSize(shot), name);
    }
};

TEST_F(BoardOnScreen, FreshLevelOfTheFirstStage) {
    startQuiet(0, kAdventureMode, 11);
    runner().frames(40);
    EXPECT_TRUE(golden("board_fresh_level1_seed11"));
}

TEST_F(BoardOnScreen, ChainsDualSquaresAndBonuses) {
    startQuiet(115, kPuzzleMode, 12);
    runner().frames(40);
    EXPECT_TRUE(golden("board_chains_level116_seed12"));
}

TEST_F(BoardOnScreen, HoveredGroupWithItsRing) {
    startQuiet(0, kAdventureMode, 11);
    // The first group of two or more that the dead-board test labelled.
    int row = -1, column = -1;
    for (int r = 0; r < kRows && row < 0; ++r)
        for (int c = 0; c < kColumns && row < 0; ++c)
            if (board().cells[r][c].groupId == 3) {
                row = r;
                column = c;
            }
    ASSERT_GE(row, 0);
    Vec2 at = cellCentre(row, column);
    moveTo(at.x, at.y);
    runner().frames(12);
    ASSERT_GE(board().groupSize, 2);
    EXPECT_TRUE(golden("board_hover_level1_seed11"));
}

TEST_F(BoardOnScreen, MegaBombExploding) {
    startQuiet(0, kAdventureMode, 13);
    // A group with a MegaBomb in it, broken.
    Board& b = board();
    int row = -1, column = -1;
    for (int r = 3; r < kRows && row < 0; ++r)
        for (int c = 2; c < kColumns - 2 && row < 0; ++c)
            if (b.cells[r][c].groupId >= 0 && hasFigure(r, c)) {
                row = r;
                column = c;
            }
    ASSERT_GE(row, 0);
    b.cells[row][column].bonus = kMegaBomb;
    setTracing(true);
    clearTrace();
    runner().frames(2);
    clickCell(row, column);
    moveTo(kAsideX, kAsideY);
    // The explosion runs 700 ms before its break step throws the figures it hit.
    runner().runFor(780);
    EXPECT_GT(countTraced("effect", "prototip"), 0);
    EXPECT_TRUE(golden("board_megabomb_level1_seed13"));
}

TEST_F(BoardOnScreen, CandleInItsLastSeconds) {
    startQuiet(3, kAdventureMode, 14);
    board().elapsedMs = board().timeLimitMs - 9500.0f;
    runner().frames(30);
    EXPECT_LT(boardDimming(), 0.8f);
    EXPECT_TRUE(golden("board_candle_last20s_level4_seed14"));
}

TEST_F(BoardOnScreen, PauseOverlay) {
    startQuiet(0, kAdventureMode, 11);
    runner().key(32);
    runner().runFor(1500);
    ASSERT_TRUE(board().paused);
    EXPECT_TRUE(golden("board_pause_level1_seed11"));
}

// The level won by taking its squares away; the tiles scatter in the given style.
void winAndScatter(BoardOnScreen& test, PlayRunner& runner, int style) {
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (board().cells[r][c].squares > 0) board().cells[r][c].squares = 0;
    for (int i = 0; i < 200 && !board().levelComplete; ++i) runner.frames(1);
    ASSERT_TRUE(board().levelComplete);
    board().endStyle = style;
    while (board().levelEndClock < 2600.0f) runner.frames(1);
    (void)test;
}

TEST_F(BoardOnScreen, LevelEndScatterFallingAway) {
    startQuiet(1, kAdventureMode, 15);
    winAndScatter(*this, runner(), 0);
    EXPECT_TRUE(golden("board_scatter0_level2_seed15"));
}

TEST_F(BoardOnScreen, LevelEndScatterSpirallingOut) {
    startQuiet(1, kAdventureMode, 15);
    winAndScatter(*this, runner(), 1);
    EXPECT_TRUE(golden("board_scatter1_level2_seed15"));
}

TEST_F(BoardOnScreen, DefeatSweep) {
    startQuiet(2, kAdventureMode, 16);
    board().elapsedMs = board().timeLimitMs - 100.0f;
    board().levelClock = board().elapsedMs;
    for (int i = 0; i < 100 && !board().levelLost; ++i) runner().frames(1);
    ASSERT_TRUE(board().levelLost);
    while (board().lostClock < 2500.0f) runner().frames(1);
    // The first rows' figures have left their cells as pieces.
    EXPECT_EQ(board().cells[0][5].alive, 0);
    EXPECT_EQ(board().cells[10][5].alive, 1);
    EXPECT_TRUE(golden("board_defeat_level3_seed16"));
}

TEST_F(BoardOnScreen, ModalTip) {
    // A charged hammer tells a player who has not used one yet about it, in a tip that only its
    // close button closes, and that only once the tip has stood 250 ms.
    allTipsSeen();
    setTipFlag(kTipUseHammer, true);
    startLevel(0, kAdventureMode, 17);
    moveTo(kAsideX, kAsideY);
    settle();
    board().hammerTarget = board().hammerShown = board().hammerMax;
    runner().frames(1);
    ASSERT_TRUE(board().tip.showing);
    ASSERT_TRUE(board().tip.modal);
    EXPECT_STREQ(board().tip.key, "usehammer");
    float x, y;
    ASSERT_TRUE(tipCloseButton(x, y));
    clickAt(x, y);
    EXPECT_TRUE(board().tip.showing) << "too early for the button";
    runner().frames(40);
    EXPECT_TRUE(golden("board_tip_level1_seed17"));

    // A click beside the button is swallowed; one on the button closes the tip.
    clickAt(0.0f, 0.0f);
    EXPECT_TRUE(board().tip.showing);
    clickAt(x, y);
    EXPECT_FALSE(board().tip.showing);
}

// The size of the figure's group under a point of the board (0 when no group is there).
int groupSizeUnder(float x, float y) {
    int row, column;
    cellAt(x, y, row, column);
    if (!hasFigure(row, column)) return 0;
    const int id = board().cells[row][column].groupId;
    int size = 0;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) size += id >= 0 && board().cells[r][c].groupId == id ? 1 : 0;
    return size;
}

TEST_F(BoardOnScreen, AClickOnANonModalTipClosesItAndOnlyOneBesideItReachesTheBoard) {
    // The welcome closes on any click. Its OK stands over a group of the board here; the click
    // on it must cost no move, a click on a group beside the balloon closes the tip and breaks it.
    for (const bool onButton : {true, false}) {
        allTipsSeen();
        setTipFlag(kTipWelcome, true);
        startLevel(0, kPuzzleMode, 11);
        moveTo(kAsideX, kAsideY);
        float x = 0.0f, y = 0.0f;
        for (int i = 0; i < 300 && !tipCloseButton(x, y); ++i) runner().frames(1);
        ASSERT_TRUE(board().tip.showing);
        ASSERT_FALSE(board().tip.modal);
        ASSERT_STREQ(board().tip.key, "welcome");
        if (onButton) {
            ASSERT_GE(groupSizeUnder(x, y), 2) << "the button must cover a group for the check to mean anything";
        } else {
            bool found = false;
            for (int r = kRows - 1; r >= 0 && !found; --r)
                for (int c = 0; c < kColumns && !found; ++c) {
                    const Vec2 at = cellCentre(r, c);
                    if (insideTipBalloon(at.x, at.y) || groupSizeUnder(at.x, at.y) < 2) continue;
                    x = at.x;
                    y = at.y;
                    found = true;
                }
            ASSERT_TRUE(found);
        }
        clickAt(x, y);
        EXPECT_FALSE(board().tip.showing);
        runner().frames(5);
        EXPECT_EQ(board().movesUsed, onButton ? 0 : 1) << (onButton ? "on the OK" : "beside the balloon");
    }
}

TEST_F(BoardOnScreen, KeyboardCursorOnAGroup) {
    startQuiet(0, kAdventureMode, 11);
    runner().key(39);  // the cursor appears in the middle of the board
    runner().frames(1);
    int row, column;
    ASSERT_TRUE(boardKeyCursor(row, column));
    EXPECT_EQ(row, 5);
    EXPECT_EQ(column, 5);
    // The arrows walk it down the rows to the first figure of a group below the middle.
    int wantRow = -1, wantColumn = -1;
    for (int r = 6; r < kRows && wantRow < 0; ++r)
        for (int c = 0; c < kColumns && wantRow < 0; ++c)
            if (board().cells[r][c].groupId >= 0 && hasFigure(r, c)) {
                wantRow = r;
                wantColumn = c;
            }
    ASSERT_GE(wantRow, 0);
    for (int r = row; r < wantRow; ++r) runner().key(40), runner().frames(1);
    for (int c = column; c > wantColumn; --c) runner().key(37), runner().frames(1);
    for (int c = column; c < wantColumn; ++c) runner().key(39), runner().frames(1);
    runner().frames(30);
    ASSERT_TRUE(boardKeyCursor(row, column));
    EXPECT_EQ(row, wantRow);
    EXPECT_EQ(column, wantColumn);
    EXPECT_GE(board().groupSize, 2);  // its group lights up as under the mouse
    EXPECT_TRUE(golden("board_keys_level1_seed11"));
}

// ---- the drawing's rules ----

TEST_F(BoardOnScreen, FigureWithAPictureOutsideTheTableIsNotDrawn) {
    startQuiet(0, kAdventureMode, 11);
    runner().frames(3);
    platform::Picture before = presented();
    Board& b = board();
    const int kind = b.cells[5][5].figure;
    ASSERT_GE(kind, 0);
    b.pictureOfFigure[kind] = 17;
    runner().frames(1);
    platform::Picture after = presented();
    int changedCells = 0, keptCells = 0, figuresOfKind = 0;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Vec2 at = cellCentre(r, c);
            int changed = changedOver(before, after, at.x - 20.0f, at.y + 20.0f, at.x + 20.0f, at.y - 20.0f);
            if (b.cells[r][c].figure == kind) {
                ++figuresOfKind;
                if (changed > 200) ++changedCells;
            } else if (c < kColumns - 1 && changed < 20) {
                ++keptCells;
            }
        }
    EXPECT_EQ(changedCells, figuresOfKind);  // every figure of the kind is gone
    EXPECT_GT(keptCells, 60);                // the others stand as they were
    b.pictureOfFigure[kind] = -1;
    runner().frames(1);  // and a negative index draws nothing either, without harm
    EXPECT_LT(changedOver(after, presented(), -260.0f, 290.0f, 300.0f, -290.0f), 400);
}

TEST_F(BoardOnScreen, ArmedHammerPulsesOneTileInsteadOfTheGroup) {
    startQuiet(0, kAdventureMode, 11);
    stillBackdrop();
    Board& b = board();
    int row = -1, column = -1;
    for (int r = 1; r < kRows - 1 && row < 0; ++r)
        for (int c = 1; c < kColumns - 2 && row < 0; ++c)
            if (hasFigure(r, c) && hasFigure(r, c + 1) && b.cells[r][c].figure == b.cells[r][c + 1].figure) {
                row = r;
                column = c;
            }
    ASSERT_GE(row, 0);
    runner().frames(2);
    platform::Picture rest = presented();
    Vec2 at = cellCentre(row, column);
    Vec2 next = cellCentre(row, column + 1);
    moveTo(at.x, at.y);
    runner().frames(6);
    platform::Picture hovered = presented();
    // Hovered: the neighbour of the same kind glows with its group.
    EXPECT_GT(changedOver(rest, hovered, next.x - 30.0f, next.y + 30.0f, next.x + 30.0f, next.y - 30.0f, 12), 150);
    b.hammerReady = 0;
    b.hammerArmed = 1;
    runner().frames(70);  // the group's figures turn back to their first frame
    platform::Picture armed = presented();
    // Armed: only the tile under the cursor pulses (its glow reaches a little over the edge);
    // the middle of its neighbour looks as at rest.
    EXPECT_LT(changedOver(rest, armed, next.x - 20.0f, next.y + 20.0f, next.x + 20.0f, next.y - 20.0f, 12), 40);
    EXPECT_GT(changedOver(rest, armed, at.x - 30.0f, at.y + 30.0f, at.x + 30.0f, at.y - 30.0f, 12), 150);
}

TEST_F(BoardOnScreen, PausedBoardFadesAwayLeavingTheOverlay) {
    startQuiet(0, kAdventureMode, 11);
    stillBackdrop();
    runner().frames(2);
    platform::Picture playing = presented();
    runner().key(32);
    runner().runFor(1500);
    ASSERT_TRUE(board().paused);
    EXPECT_EQ(board().boardAlpha, 0.0f);
    platform::Picture paused = presented();
    // The same pause over a board of holes: the backdrop, the overlay and what is beside the
    // board alone.
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = board().cells[r][c];
            cell.squares = -1;
            cell.figure = -1;
        }
    runner().frames(1);
    platform::Picture empty = presented();
    // Apart from the pulsing texts, nothing of the board is left.
    EXPECT_LT(changedOver(paused, empty, -265.0f, 290.0f, 300.0f, 30.0f, 8), 40);
    EXPECT_LT(changedOver(paused, empty, -265.0f, -30.0f, 300.0f, -250.0f, 8), 40);
    EXPECT_GT(changedOver(playing, paused, -265.0f, 290.0f, 300.0f, 30.0f), 20000);
    // The overlay's word stands in the middle.
    EXPECT_GT(changedOver(playing, paused, -60.0f, 15.0f, 60.0f, -15.0f), 200);
}

// Pixels of the hovered button's yellow, counted inside and outside its rectangle.
void yellowInAndOut(const platform::Picture& p, const HudRect& r, int& in, int& out) {
    in = out = 0;
    for (float y = r.bottom - 20.0f; y < r.top + 20.0f; y += 1.0f)
        for (float x = -400.0f; x < -260.0f; x += 1.0f) {
            Rgb c = pixelAt(p, x, y);
            if (!(c.r > 200 && c.g > 200 && c.b < 60)) continue;
            const bool inside = x >= r.left - 1.0f && x <= r.right + 1.0f && y >= r.bottom - 1.0f && y <= r.top + 1.0f;
            (inside ? in : out) += 1;
        }
}

TEST_F(BoardOnScreen, PanelButtonsAreDrawnWhereTheyAreClicked) {
    startQuiet(0, kAdventureMode, 11);
    for (const HudRect* r : {&kMenuButtonRect, &kTrophiesButtonRect}) {
        moveTo((r->left + r->right) / 2.0f, (r->bottom + r->top) / 2.0f);
        runner().frames(2);
        int in, out;
        yellowInAndOut(presented(), *r, in, out);
        EXPECT_GT(in, 30) << "the hovered caption turns yellow inside its rectangle";
        EXPECT_EQ(out, 0) << "and nothing of it lies outside";
        moveTo(r->right + 3.0f, (r->bottom + r->top) / 2.0f);
        runner().frames(2);
        yellowInAndOut(presented(), *r, in, out);
        EXPECT_EQ(in + out, 0) << "just beside the rectangle the button is not hovered";
    }
    // A click just inside the trophies button asks for the room; one just outside does not.
    clickAt(kTrophiesButtonRect.right + 2.0f, kTrophiesButtonRect.top - 2.0f);
    EXPECT_EQ(board().trophyViewRequested, 0);
    clickAt(kTrophiesButtonRect.right - 2.0f, kTrophiesButtonRect.top - 2.0f);
    EXPECT_EQ(board().trophyViewRequested, 1);
}

TEST_F(BoardOnScreen, SavedGameKeepsTheDebrisBoltsFadesAndShake) {
    startQuiet(0, kAdventureMode, 11);
    Board& b = board();
    int row = -1, column = -1;
    for (int r = 2; r < kRows && row < 0; ++r)
        for (int c = 0; c < kColumns && row < 0; ++c)
            if (b.cells[r][c].groupId >= 0 && hasFigure(r, c)) {
                row = r;
                column = c;
            }
    ASSERT_GE(row, 0);
    clickCell(row, column);
    runner().frames(4);
    BoltSet& set = b.boltSets[3];
    set.origin = Vec2{10.0f, 20.0f};
    set.count = 2;
    set.bolts[0] = Bolt{Vec2{30.0f, 40.0f}, 0xFF4080C0u, 500.0f};
    set.bolts[1] = Bolt{Vec2{-30.0f, 40.0f}, 0xFFC08040u, 250.0f};
    b.boardAlpha = 200.0f;
    b.debrisAlpha = 120.0f;
    b.shakeOn = 1;
    b.shakeOffset = Vec2{2.5f, -1.5f};
    int flying = 0;
    for (const DebrisPiece& d : boardView().debris) flying += d.kindPlusOne > 0 ? 1 : 0;
    ASSERT_GT(flying, 1);
    const std::vector<DebrisPiece> debris(boardView().debris, boardView().debris + kDebrisCapacity);

    SavedGame g;
    captureSavedGame(g);
    std::vector<uint8_t> bytes;
    encodeSavedGame(g, bytes);
    ASSERT_EQ(bytes.size(), kSavedGameBytes);
    SavedGame read;
    ASSERT_TRUE(decodeSavedGame(bytes.data(), bytes.size(), b.mode, stringCount(), read));
    EXPECT_EQ(read.boardColour, 0xC8FFFFFFu);
    EXPECT_EQ(read.debrisColour, 0x78FFFFFFu);

    resetBoardView();
    std::memset(&b.boltSets, 0, sizeof b.boltSets);
    b.boardAlpha = b.debrisAlpha = 255.0f;
    b.shakeOffset = Vec2{0.0f, 0.0f};
    applySavedGame(read);
    for (int i = 0; i < kDebrisCapacity; ++i) {
        EXPECT_EQ(boardView().debris[i].kindPlusOne, debris[i].kindPlusOne) << i;
        EXPECT_EQ(boardView().debris[i].x, debris[i].x) << i;
        EXPECT_EQ(boardView().debris[i].vy, debris[i].vy) << i;
    }
    EXPECT_EQ(b.boltSets[3].count, 2);
    EXPECT_EQ(b.boltSets[3].origin.x, 10.0f);
    EXPECT_EQ(b.boltSets[3].bolts[1].colour, 0xFFC08040u);
    EXPECT_EQ(b.boltSets[3].bolts[0].life, 500.0f);
    EXPECT_EQ(b.boardAlpha, 200.0f);
    EXPECT_EQ(b.debrisAlpha, 120.0f);
    EXPECT_EQ(b.shakeOffset.x, 2.5f);
    EXPECT_EQ(b.shakeOffset.y, -1.5f);
}

}  // namespace
