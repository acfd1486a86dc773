#include "board/falling.h"

#include <cmath>
#include <cstdint>

#include "app/frame_clock.h"
#include "audio/audio.h"
#include "board/board.h"
#include "board/bonuses.h"
#include "board/moves.h"
#include "board/play.h"
#include "board/scoring.h"
#include "menus/menus.h"
#include "platform/random.h"
#include "render/effects.h"

namespace {

bool resting(const Cell& cell) { return cell.offset.x == 0.0f && cell.offset.y == 0.0f; }

bool emptyCell(int row, int column) { return isCell(row, column) && board().cells[row][column].figure < 0; }

bool freeFigure(int row, int column) { return hasFigure(row, column) && !board().cells[row][column].chained; }

// Some free figure in rows 0..9 stands directly above an existing empty cell.
bool figureAboveGap() {
    for (int r = 0; r < kRows - 1; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (freeFigure(r, c) && emptyCell(r + 1, c)) return true;
    return false;
}

// A landing figure can still drop further when some lower row has an empty cell in its
// column or beside it.
bool canStillDrop(int row, int column) {
    for (int r = row + 1; r < kRows; ++r)
        for (int c = column - 1; c <= column + 1; ++c)
            if (emptyCell(r, c)) return true;
    return false;
}

bool slideInto(int row, int column, int fromColumn) {
    if (fromColumn < 0 || fromColumn >= kColumns) return false;
    if (!freeFigure(row - 1, fromColumn)) return false;
    if (!resting(board().cells[row - 1][fromColumn])) return false;
    moveFigure(row - 1, fromColumn, row, column);
    Cell& target = board().cells[row][column];
    const Vec2 from = cellCentre(row - 1, fromColumn);
    const Vec2 to = cellCentre(row, column);
    target.offset = Vec2{from.x - to.x, from.y - to.y};
    target.slideFlag = 1;
    board().cells[row - 1][fromColumn].figure = -1;
    return true;
}

void showIdleHint() {
    Board& b = board();
    b.hintGroup = platform::rand() % b.groupCount;
    b.hintActive = 1;
    bool first = true;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            if (cell.groupId != b.hintGroup) continue;
            cell.hovered = 1;
            if (first) {
                const Vec2 at = cellCentre(r, c);
                startEffect("blik4", at.x + cell.floatPos.x, at.y + cell.floatPos.y);
                first = false;
            }
        }
    playSound("MoveTipShow.ogg");
}

int labelGroup(int startRow, int startColumn, int id) {
    Board& b = board();
    static const int kDr[4] = {0, 0, 1, -1};
    static const int kDc[4] = {1, -1, 0, 0};
    int queue[kCellCount];
    int head = 0;
    int tail = 0;
    queue[tail++] = startRow * kColumns + startColumn;
    b.cells[startRow][startColumn].groupStep = 0;
    b.cells[startRow][startColumn].groupId = id;
    const int kind = b.cells[startRow][startColumn].figure;
    if (kind < 0) return 0;
    while (head < tail) {
        const int at = queue[head++];
        const int r = at / kColumns;
        const int c = at % kColumns;
        const int step = b.cells[r][c].groupStep;
        for (int n = 0; n < 4; ++n) {
            const int nr = r + kDr[n];
            const int nc = c + kDc[n];
            if (!hasFigure(nr, nc)) continue;
            Cell& other = b.cells[nr][nc];
            if (other.figure != kind || other.groupStep != -1) continue;
            other.groupStep = step + 1;
            other.groupId = id;
            queue[tail++] = nr * kColumns + nc;
        }
    }
    return tail - 1;
}

}  // namespace

bool isSettled() {
    // One pass: any figure still moving or waiting for the refill, and per row the bits of the
    // empty cells and of the free figures; then a free figure over an empty cell below it or
    // diagonally below it is yet to fall.
    const Board& b = board();
    uint32_t empty[kRows];
    uint32_t freeFigures[kRows];
    for (int r = 0; r < kRows; ++r) {
        uint32_t e = 0;
        uint32_t f = 0;
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = b.cells[r][c];
            if (!resting(cell) || cell.refillMark) return false;
            if (cell.squares < 0) continue;
            if (cell.figure < 0) e |= 1u << c;
            else if (!cell.chained) f |= 1u << c;
        }
        empty[r] = e;
        freeFigures[r] = f;
    }
    for (int r = 0; r < kRows - 1; ++r) {
        const uint32_t below = empty[r + 1];
        if (freeFigures[r] & (below | (below << 1) | (below >> 1))) return false;
    }
    return true;
}

bool countGroups() {
    Board& b = board();
    b.groupCount = 0;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            b.cells[r][c].groupStep = -1;
            b.cells[r][c].groupId = -1;
        }
    // Labels are the steps of a breadth-first search, so the order of the search within a
    // step does not change them; groups are numbered in the order of their first cell.
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            if (!isCell(r, c) || b.cells[r][c].groupStep != -1) continue;
            if (labelGroup(r, c, b.groupCount) == 0) {
                b.cells[r][c].groupStep = -1;
                b.cells[r][c].groupId = -1;
            } else {
                b.groupCount += 1;
            }
        }
    return b.groupCount > 0;
}

namespace {

// Falling figures stop speeding up and sliding once they rest.
void stopResting() {
    Board& b = board();
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            if (!resting(cell)) continue;
            cell.fallSpeed = 0.0f;
            cell.slideFlag = 0;
        }
}

bool anyEmptyCell() {
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (emptyCell(r, c)) return true;
    return false;
}

}  // namespace

void fallStep() {
    Board& b = board();
    // A board with no empty cell has nothing to drop, deal or slide (most frames).
    if (!anyEmptyCell()) {
        stopResting();
        return;
    }
    for (int r = kRows - 2; r >= 0; --r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            if (!freeFigure(r, c) || !resting(cell) || !emptyCell(r + 1, c)) continue;
            moveFigure(r, c, r + 1, c);
            Cell& lower = b.cells[r + 1][c];
            lower.offset = Vec2{0.0f, kCellSize};
            lower.slideFlag = 0;
            cell.figure = -1;
        }

    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            if (!emptyCell(r, c)) continue;
            if (r == 0 || b.cells[r - 1][c].squares == -1) newFigure(r, c);
        }

    if (!figureAboveGap()) {
        for (int r = kRows - 1; r >= 1; --r)
            for (int c = 0; c < kColumns; ++c) {
                if (!emptyCell(r, c)) continue;
                if (slideInto(r, c, c + 1) || slideInto(r, c, c - 1)) return;
            }
    }
    stopResting();
}

void fallMotion() {
    Board& b = board();
    const float frameMs = frameClock().frameMs;
    for (int r = kRows - 1; r >= 0; --r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            if (!resting(cell)) {
                const float d = std::sqrt(cell.offset.x * cell.offset.x + cell.offset.y * cell.offset.y);
                float step = cell.fallSpeed * cell.fallSpeed * frameMs * 0.02f;
                if (step > 10.0f) step = 10.0f;
                if (cell.slideFlag) step *= 1.5f;
                if (d <= step) {
                    cell.offset = Vec2{0.0f, 0.0f};
                    if (!canStillDrop(r, c)) playSound("FigureFall.ogg");
                } else {
                    const float k = step / d;
                    cell.offset.x -= cell.offset.x * k;
                    cell.offset.y -= cell.offset.y * k;
                }
            }
            cell.fallSpeed += frameMs * 0.012f;
        }
}

void startRefill() {
    Board& b = board();
    if (menuOpen() || b.levelComplete || b.levelLost || b.paused || b.tip.showing) return;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (freeFigure(r, c)) b.cells[r][c].refillMark = 1;
    b.refillRunning = 1;
}

void refillFrame() {
    Board& b = board();
    if (!b.refillRunning) return;
    const float frameMs = frameClock().frameMs;
    const float from = b.refillClock;
    const float to = from + frameMs;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            if (!cell.refillMark) continue;
            const float moment = static_cast<float>((r + c) * 50);
            if (moment < from || moment >= to) continue;
            const Vec2 at = cellCentre(r, c);
            playSound("ReFillLevel.ogg");
            startEffect("refill1", at.x, at.y);
            cell.figure = randomKind();
        }
    b.refillClock = to;
    b.idleClock = 0.0f;
    if (b.refillClock < 1050.0f) return;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            if (!cell.refillMark) continue;
            if (static_cast<float>((r + c) * 50) >= to) cell.figure = randomKind();
            cell.refillMark = 0;
        }
    b.refillClock = 0.0f;
    b.groupSize = 0;
    b.refillRunning = 0;
}

void clearHint() {
    Board& b = board();
    b.idleClock = 0.0f;
    if (!b.hintActive) return;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) b.cells[r][c].hovered = 0;
    b.hintActive = 0;
}

void boardStep() {
    Board& b = board();
    if (menuOpen() || b.paused || b.mapFade) return;
    const float frameMs = frameClock().frameMs;

    advanceExplosions();
    if (!isSettled()) b.unsettledClock += frameMs;
    b.inputLock -= frameMs;
    if (b.inputLock < 0.0f && isSettled()) {
        breakStep();
        if (b.inputLock < 0.0f && isSettled()) checkComplete();
    }
    fallStep();
    fallMotion();
    if (!isSettled()) return;

    if (!countGroups()) {
        if (!b.noMovesShown) {
            b.noMovesShown = 1;
            if (openTip(0.0f, -100.0f, "nomoves", 0.0f, true, 0)) playSound("NoMoreMove.ogg");
        }
        startRefill();
        return;
    }

    b.noMovesShown = 0;
    b.idleClock += frameMs;
    if (b.idleClock > b.hintDelay && !b.hintActive && !b.tip.showing) showIdleHint();
    if (b.idleClock > b.hintDelay + 4000.0f) {
        clearHint();
        closeTip();
        b.hintDelay = 6000.0f;
        b.idleClock = 0.0f;
    }
}
