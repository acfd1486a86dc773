#include "board/bot.h"

#include "app/frame_clock.h"
#include "app/trace.h"
#include "board/bonuses.h"
#include "board/falling.h"
#include "board/level.h"
#include "board/moves.h"
#include "board/outcome.h"
#include "board/play.h"
#include "board/scoring.h"
#include "menus/menus.h"
#include "platform/random.h"
#include "platform/window.h"

namespace {

// A cell that still holds something to break: a chain or a square layer.
int targetLayers(int row, int column) {
    if (!isCell(row, column)) return 0;
    const Cell& cell = board().cells[row][column];
    return (cell.chained > 0 ? 1 : 0) + (cell.squares > 0 ? cell.squares : 0);
}

bool targetAt(int row, int column) { return hasFigure(row, column) && targetLayers(row, column) > 0; }

// How many targets an explosion of a kind set off at a cell would hit.
int explosionValue(int kind, int row, int column) {
    int value = 0;
    switch (kind) {
    case kBomb: {
        static const int kSteps[12][2] = {{0, 1},  {0, 2},  {0, -1}, {0, -2}, {-1, -1}, {-1, 0},
                                          {-1, 1}, {1, -1}, {1, 0},  {1, 1},  {-2, 0},  {2, 0}};
        for (const auto& s : kSteps) value += targetAt(row + s[0], column + s[1]) ? 1 : 0;
        break;
    }
    case kLightning: {
        const int figure = board().cells[row][column].figure;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c)
                if (hasFigure(r, c) && board().cells[r][c].figure == figure && targetAt(r, c)) ++value;
        break;
    }
    default: {
        const bool cross = kind == kCrossBomb || kind == kMegaBomb;
        const bool diagonal = kind == kDiagonalBomb || kind == kMegaBomb;
        for (int i = 1; i <= 11; ++i) {
            if (cross)
                value += (targetAt(row, column + i) ? 1 : 0) + (targetAt(row, column - i) ? 1 : 0) +
                         (targetAt(row + i, column) ? 1 : 0) + (targetAt(row - i, column) ? 1 : 0);
            if (diagonal)
                value += (targetAt(row + i, column + i) ? 1 : 0) + (targetAt(row + i, column - i) ? 1 : 0) +
                         (targetAt(row - i, column + i) ? 1 : 0) + (targetAt(row - i, column - i) ? 1 : 0);
        }
        break;
    }
    }
    return value;
}

// What breaking one cell's figure is worth: its own target, and the bonus it sets off.
int cellValue(int row, int column) {
    const Cell& cell = board().cells[row][column];
    int value = targetLayers(row, column) > 0 ? 10 : 0;
    if (cell.bonus > kNoBonus && !cell.chained) value += 8 * explosionValue(cell.bonus, row, column) + 2;
    return value;
}

void clickAt(float x, float y) {
    platform::warpCursor(400.0f + x, 300.0f - y);
    boardLeftDown();
}

}  // namespace

// The board rests, nothing is marked or exploding, and the break step and the completion
// test of the frame have had their turn.
bool botReadyForMove() {
    const Board& b = board();
    if (b.inputLock >= 0.0f || b.refillRunning || b.tip.showing || b.paused || !isSettled() || explosionsActive())
        return false;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (b.cells[r][c].breakMark || b.cells[r][c].hitMark) return false;
    return true;
}

bool chooseBotMove(BotChoice& choice) {
    Board& b = board();
    choice = BotChoice{};
    if (!countGroups() && !b.hammerReady) return false;

    // Every group's worth, gathered by its label.
    int value[kCellCount] = {};
    int size[kCellCount] = {};
    int lowest[kCellCount] = {};
    int near[kCellCount] = {};
    int firstRow[kCellCount];
    int firstColumn[kCellCount];
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const int id = b.cells[r][c].groupId;
            if (id < 0 || id >= kCellCount || !hasFigure(r, c)) continue;
            if (size[id] == 0) {
                firstRow[id] = r;
                firstColumn[id] = c;
            }
            size[id] += 1;
            value[id] += cellValue(r, c);
            if (r > lowest[id]) lowest[id] = r;
            // Breaking next to a target that no group of its own reaches changes its neighbours.
            static const int kDr[4] = {0, 0, 1, -1};
            static const int kDc[4] = {1, -1, 0, 0};
            for (int n = 0; n < 4; ++n) {
                const int nr = r + kDr[n];
                const int nc = c + kDc[n];
                if (targetAt(nr, nc) && b.cells[nr][nc].groupId < 0) near[id] += 1;
            }
        }
    int best = -1;
    int bestScore = -1;
    for (int id = 0; id < b.groupCount && id < kCellCount; ++id) {
        if (size[id] < 2) continue;
        // Targets first, then what helps reach lone targets, then bonuses made, then size.
        int score = value[id] * 10 + near[id] * 15;
        if (size[id] >= 8) score += 40;
        else if (size[id] >= 5) score += 20;
        score += size[id] + lowest[id];
        if (score > bestScore) {
            bestScore = score;
            best = id;
        }
    }

    // The hammer goes where it is worth most: a bonus that fires, a lone target, any target.
    if (b.hammerReady || b.hammerArmed) {
        int hammerBest = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                if (!hasFigure(r, c)) continue;
                // A stroke is no move: it goes to a lone target first, else to any target.
                int v = cellValue(r, c);
                if (v > 0 && b.cells[r][c].groupId < 0) v += 20;
                if (v > hammerBest) {
                    hammerBest = v;
                    choice.row = r;
                    choice.column = c;
                }
            }
        if (hammerBest > 0) {
            choice.hammer = true;
            choice.value = hammerBest;
            return true;
        }
    }
    if (best < 0) return false;
    choice.row = firstRow[best];
    choice.column = firstColumn[best];
    choice.value = bestScore;
    return true;
}

BotResult playLevelWithBot(const BotOptions& options) {
    const bool wasTracing = tracing();
    setTracing(false);
    resetBoardProcess();
    resetFrameClock();
    closeMenusOverBoard();
    silenceOutcomeHooks();
    platform::srand(options.seed);
    platform::warpCursor(799.0f, 599.0f);

    Board& b = board();
    b.mode = options.mode;
    b.carriedScore = 0;
    if (options.levelText) startLevelFromText(options.levelIndex, options.levelText);
    else startLevel(options.levelIndex);

    BotResult result;
    FrameClock& clock = frameClock();
    clock.deltaMs = 16;
    clock.frameMs = 16.0f;
    // Far more frames than any level needs: a level that never ends is given up.
    const int maxFrames = options.maxMoves * 400 + 10000;
    int readyFrames = 0;
    int lostQuietFrames = 0;
    for (int frame = 0; frame < maxFrames; ++frame) {
        clock.runningMs += 16.0f;
        boardFrame();
        refillFrame();
        result.frames = frame + 1;
        if (b.levelComplete) {
            result.won = true;
            break;
        }
        if (b.tip.showing) closeTip();
        if (b.paused) resumeGame();
        if (b.levelLost) {
            // The last move's breaks and explosions may still clear the last square: the loss
            // stands once the board has come to rest without doing so (and long before the
            // lost level asks about the life).
            lostQuietFrames = botReadyForMove() ? lostQuietFrames + 1 : 0;
            if (lostQuietFrames >= 2 || b.lostClock >= 3500.0f) {
                result.lost = true;
                break;
            }
            continue;
        }
        // A board that came to rest in this frame's falling is looked at by the next frame's
        // break step and completion test first.
        if (!botReadyForMove()) {
            readyFrames = 0;
            continue;
        }
        if (++readyFrames < 2) continue;
        if (b.movesUsed >= options.maxMoves) break;
        BotChoice choice;
        if (!chooseBotMove(choice)) continue;
        if (choice.hammer) {
            // The hammer button on the panel arms it.
            if (!b.hammerArmed) clickAt(-346.0f + b.hudSlide, -70.0f);
            const int before = b.hammerArmed;
            const Vec2 at = cellCentre(choice.row, choice.column);
            clickAt(at.x, at.y);
            if (before && !b.hammerArmed) result.hammerStrokes += 1;
        } else {
            const Vec2 at = cellCentre(choice.row, choice.column);
            clickAt(at.x, at.y);
        }
    }
    result.moves = b.movesUsed;
    result.timeMs = playTimeMs();
    result.score = b.levelScore;
    int left = 0;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) left += isCell(r, c) ? targetLayers(r, c) : 0;
    result.targetsLeft = left;
    result.movesLimit = b.movesLimit;
    result.timeLimitMs = b.timeLimitMs;
    resetOutcomeHooks();
    setTracing(wasTracing);
    return result;
}
