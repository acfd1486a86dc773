#include "board/moves.h"

#include <cstdio>
#include <cstring>

#include "app/frame_clock.h"
#include "app/scene.h"
#include "audio/audio.h"
#include "board/board.h"
#include "board/board_view.h"
#include "board/bonuses.h"
#include "board/falling.h"
#include "board/hud.h"
#include "board/keyboard.h"
#include "board/play.h"
#include "board/presentation.h"
#include "board/scoring.h"
#include "menus/menus.h"
#include "platform/window.h"
#include "render/effects.h"

namespace {

constexpr int kKeySpace = 32;
constexpr int kKeyEscape = 27;
constexpr int kKeyK = 75;
constexpr int kKeyM = 77;
constexpr int kKeyS = 83;
constexpr int kKeyV = 86;
constexpr int kKeyZ = 90;

bool inside(float x, float y, float left, float right, float bottom, float top) {
    return x >= left && x <= right && y >= bottom && y <= top;
}

// Menus and the trophy view open only while some of the time limit is left.
bool timeLeft() {
    const Board& b = board();
    if (b.timeLimitMs <= 0.0f) return true;
    return b.elapsedMs / b.timeLimitMs < 1.0f;
}

void removeGroup() {
    Board& b = board();
    countQuickClick();
    b.inputLock = 50.0f;
    std::memset(b.boltKindsDrawn, 0, sizeof b.boltKindsDrawn);
    b.nextBoltSet = 0;
    b.movesUsed += 1;

    if (b.groupKind == b.previousKind) {
        b.colourStreak += 1;
        if (b.colourStreak > b.bestStreak) b.bestStreak = b.colourStreak;
        checkStreakTrophies();
        b.lightningRun += 1;
    } else {
        b.colourStreak = 0;
        b.lightningRun = 0;
    }

    std::memset(b.groupBonusKinds, 0, sizeof b.groupBonusKinds);
    for (int i = 0; i < b.groupSize; ++i) {
        const GroupEntry& g = b.group[i];
        if (!isCell(g.row, g.column)) continue;
        Cell& cell = b.cells[g.row][g.column];
        if (!cell.chained) cell.breakMark = 1;
        cell.hitMark = 1;
        if (cell.bonus > kNoBonus && cell.bonus <= kMegaBomb) b.groupBonusKinds[cell.bonus] = 1;
    }

    createBonuses();
    countGroupTrophies();
    b.previousKind = b.groupKind;
    b.groupSize = 0;
    fireMarkedBonuses(false);
}

}  // namespace

void findGroup(int row, int column) {
    Board& b = board();
    b.group[0] = GroupEntry{row, column, cellCentre(row, column)};
    if (!hasFigure(row, column)) return;
    b.groupKind = b.cells[row][column].figure;
    b.groupSize = 1;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) b.cells[r][c].groupStep = -1;
    b.cells[row][column].groupStep = 0;

    // Breadth-first by steps: the cells of one step are looked at in row-major order, each
    // looking right, left, below and above; the list keeps the order in which cells were found.
    static const int kDr[4] = {0, 0, 1, -1};
    static const int kDc[4] = {1, -1, 0, 0};
    int order[kCellCount];
    order[0] = 0;
    int levelStart = 0;
    int levelEnd = 1;
    for (int step = 0; levelStart < levelEnd; ++step) {
        for (int i = levelStart; i < levelEnd; ++i) {
            const int r = b.group[order[i]].row;
            const int c = b.group[order[i]].column;
            const int kind = b.cells[r][c].figure;
            for (int n = 0; n < 4; ++n) {
                const int nr = r + kDr[n];
                const int nc = c + kDc[n];
                if (!hasFigure(nr, nc)) continue;
                Cell& other = b.cells[nr][nc];
                if (other.figure != kind || other.groupStep != -1) continue;
                other.groupStep = step + 1;
                order[b.groupSize] = b.groupSize;
                b.group[b.groupSize++] = GroupEntry{nr, nc, cellCentre(nr, nc)};
            }
        }
        // The next step's cells are looked at in row-major order.
        const int nextStart = levelEnd;
        const int nextEnd = b.groupSize;
        for (int i = nextStart + 1; i < nextEnd; ++i) {
            const int e = order[i];
            const int key = b.group[e].row * kColumns + b.group[e].column;
            int j = i - 1;
            while (j >= nextStart && b.group[order[j]].row * kColumns + b.group[order[j]].column > key) {
                order[j + 1] = order[j];
                --j;
            }
            order[j + 1] = e;
        }
        levelStart = nextStart;
        levelEnd = nextEnd;
    }
}

void updateHover() {
    Board& b = board();
    if (menuOpen() || b.tip.showing || b.paused || b.mapFade) return;
    int row, column;
    cellAt(b.cursorX, b.cursorY, row, column);
    if (!hasFigure(row, column)) {
        b.hoverActive = 0;
        return;
    }
    b.hoverActive = 1;
    if (!isSettled()) return;
    if (b.groupSize > 0 && b.group[0].row == row && b.group[0].column == column) return;
    findGroup(row, column);
}

void boardClick() {
    Board& b = board();
    int row, column;
    cellAt(b.cursorX, b.cursorY, row, column);
    if (!isSettled() || !hasFigure(row, column)) return;
    // An accepted click, whatever it breaks: the level is touched and the idle hint starts over.
    b.levelTouched = 1;
    clearHint();
    if (b.inputLock >= 0.0f) return;
    // The cursor may have moved onto another figure since the last frame's hover search:
    // the click takes the group under the cursor, never the one it has left.
    if (b.groupSize <= 0 || b.group[0].row != row || b.group[0].column != column) findGroup(row, column);
    if (b.hammerArmed && b.groupSize > 0) {
        hammerStrike(row, column);
    } else if (b.groupSize > 1) {
        removeGroup();
    } else {
        resetQuickClicks();
    }
}

void clearFigure(int row, int column) {
    Board& b = board();
    if (!isCell(row, column)) return;
    b.hammerTarget += (b.hammerMax - b.hammerMin) * 0.015f;
    clearHint();
    Cell& cell = b.cells[row][column];
    cell.figure = -1;
    cell.bonus = kNoBonus;
    cell.refillMark = 0;
    cell.offset = Vec2{0.0f, 0.0f};
}

void breakStep() {
    Board& b = board();
    const int streak = b.colourStreak;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            // Points an explosion earned at its own cell since the last step are kept and paid
            // with this step's; the second pass clears every cell's score.
            cell.hovered = 0;
            const Vec2 at = cellCentre(r, c);
            if (cell.breakMark > 0) {
                if (cell.breakMark == 1) spawnDebris(cell.figure, at.x, at.y, 1);
                clearFigure(r, c);
                if (streak <= 7) {
                    char cue[32];
                    std::snprintf(cue, sizeof cue, "BreakFigure%i.ogg", streak + 1);
                    playSound(cue);
                } else {
                    playSoundAtFrequency("BreakFigure.ogg", 22050 + (streak - 7) * 2000);
                }
                cell.cellScore += 10 * (streak + 1);
                cell.breakMark = 0;
                b.groupSize = 0;
            }
            if (cell.hitMark) {
                cell.hitMark = 0;
                if (cell.chained > 0) {
                    cell.chained = 0;
                    startEffect("zep1", at.x, at.y);
                    playSound("BreakZep.ogg");
                    cell.cellScore += 90 * (streak + 1);
                } else if (cell.squares > 0) {
                    playSound("BreakSquare.ogg");
                    cell.cellScore += 90 * (streak + 1);
                    spawnShards(at.x, at.y, cell.squares);
                    cell.squares -= 1;
                }
            }
        }
    }

    int total = 0;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            if (cell.cellScore <= 0) continue;
            const Vec2 at = cellCentre(r, c);
            scorePopup(at.x, at.y, cell.cellScore);
            b.levelScore += cell.cellScore;
            total += cell.cellScore;
            cell.cellScore = 0;
        }
    b.stepTotal = total;
    checkStepTrophies(total);

    if (b.levelIndex <= 0 || !isSettled()) return;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            if (!hasFigure(r, c)) continue;
            const Cell& cell = b.cells[r][c];
            const char* key = cell.bonus == kBomb        ? "b_t_firstbonus1"
                              : cell.bonus == kLightning ? "b_t_firstbonus2"
                              : cell.bonus == kMegaBomb  ? "b_t_firstbonus5"
                                                         : nullptr;
            if (!key) continue;
            const Vec2 at = cellCentre(r, c);
            openTip(at.x + cell.floatPos.x, at.y + cell.floatPos.y, key, 0.0f, false, 0);
        }
}

void boardLeftDown() {
    Board& b = board();
    readBoardCursor();
    const float x = b.cursorX;
    const float y = b.cursorY;

    b.tipCloseClicked = 1;
    if (b.tip.showing) {
        if (b.tip.modal) return;
        // A click on the balloon, its OK above all, is meant for the tip alone; a click beside
        // it closes the tip and goes on to the board.
        const bool onBalloon = insideTipBalloon(x, y);
        closeTip();
        if (onBalloon) return;
    }
    if (b.gameFinished || b.betweenLevels) {
        leaveForMap();
        return;
    }
    if (b.paused) {
        resumeGame();
        return;
    }
    if (b.levelComplete) {
        if (b.levelEndClock > 600.0f) advanceAfterComplete();
        return;
    }
    if (b.bonusShowing) return;
    if (b.levelLost) {
        lostLife();
        return;
    }
    if (insideHudRect(kMenuButtonRect, x, y, b.hudSlide)) {
        if (timeLeft()) openMenuByName("gameplay");
        return;
    }
    if (insideHudRect(kTrophiesButtonRect, x, y, b.hudSlide)) {
        if (timeLeft()) b.trophyViewRequested = 1;
        return;
    }
    if (insideHudRect(kHammerButtonRect, x, y, b.hudSlide)) {
        if (b.hammerReady) {
            b.hammerReady = 0;
            b.hammerArmed = 1;
        } else if (b.hammerArmed) {
            b.hammerArmed = 0;
            b.hammerReady = 1;
        }
        return;
    }
    if (x >= -270.0f) boardClick();
}

void boardDoubleClick() {
    Board& b = board();
    readBoardCursor();
    if (b.gameFinished || b.levelComplete || b.tip.showing || b.paused || b.levelLost) return;
    int row, column;
    cellAt(b.cursorX, b.cursorY, row, column);
    if (isCell(row, column)) return;
    if (inside(b.cursorX, b.cursorY, -400.0f, -285.0f, -100.0f, 300.0f)) return;
    pauseGame();
}

void boardRightDown() {
    Board& b = board();
    if (b.hammerArmed) {
        b.hammerArmed = 0;
        b.hammerReady = 1;
        setBoardCursor(false);
    }
}

void boardKeyDown(int virtualKey) {
    Board& b = board();
    if (b.gameFinished || b.betweenLevels) {
        leaveForMap();
        return;
    }
    if (b.paused) {
        resumeGame();
        return;
    }
    if (b.levelComplete) {
        advanceAfterComplete();
        return;
    }
    if (b.levelLost) {
        lostLife();
        return;
    }
    if (b.tip.showing) {
        closeTip();
        return;
    }
    if (virtualKey == kKeySpace) {
        pauseGame();
        return;
    }
    if (boardNavigationKey(virtualKey)) return;
    if (sceneState().cheatKeys) {
        switch (virtualKey) {
        case kKeyV:
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kColumns; ++c)
                    if (b.cells[r][c].squares > 0) b.cells[r][c].squares = 0;
            return;
        case kKeyZ: {
            readBoardCursor();
            int row, column;
            cellAt(b.cursorX, b.cursorY, row, column);
            if (hasFigure(row, column)) {
                Cell& cell = b.cells[row][column];
                cell.bonus = cell.bonus >= kMegaBomb ? kNoBonus : cell.bonus + 1;
            }
            return;
        }
        case kKeyK: startRefill(); return;
        case kKeyS: b.levelScore += 10000; return;
        case kKeyM: b.hammerTarget = b.hammerMax; return;
        default: break;
        }
    }
    if (virtualKey == kKeyEscape) openMenuByName("gameplay");
}
