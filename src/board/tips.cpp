#include "board/tips.h"

#include <cstdio>
#include <cstring>

#include "audio/audio.h"
#include "board/board.h"
#include "board/falling.h"
#include "board/outcome.h"
#include "board/presentation.h"
#include "menus/menus.h"
#include "progress/screen_transition.h"
#include "render/effects.h"

namespace {

struct SlotKey {
    int slot;
    const char* key;
};

const SlotKey kFirstTimeTips[] = {
    {kTipWelcome, "welcome"},
    {kTipBreakSquares, "breaksquares"},
    {kTipBreakDualSquares, "breakdualsquares"},
    {kTipBreakChain, "breakzep"},
    {kTipUseHammer, "usehammer"},
    {kTipFirstBomb, "b_t_firstbonus1"},
    {kTipFirstLightning, "b_t_firstbonus2"},
    {kTipFirstMegaBomb, "b_t_firstbonus5"},
    {kTipCandleTime, "candletime"},
    {kTipCandleMoves, "candlemove"},
};

// Where the candle tips point: beside the candle on the right of the board.
constexpr float kCandleTipX = 250.0f;
constexpr float kCandleTipY = -100.0f;

// A tip at a cell, with the glint that draws the eye to it.
bool tipAtCell(int row, int column, const char* key) {
    const Cell& cell = board().cells[row][column];
    const Vec2 centre = cellCentre(row, column);
    const float x = centre.x + cell.floatPos.x;
    const float y = centre.y + cell.floatPos.y;
    if (!openTip(x, y, key, 0.0f, false, 0)) return false;
    startEffect("blik4", x, y);
    return true;
}

// The first cell in row-major order that passes the test, or false.
template <typename Test>
bool firstCell(Test test, int& row, int& column) {
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (isCell(r, c) && test(board().cells[r][c])) {
                row = r;
                column = c;
                return true;
            }
    return false;
}

bool waiting(int slot) { return outcomeHooks().tipFlag(slot); }

}  // namespace

int tipSlotOf(const char* key) {
    if (!key) return -1;
    for (const SlotKey& t : kFirstTimeTips)
        if (std::strcmp(key, t.key) == 0) return t.slot;
    return -1;
}

bool openTip(float x, float y, const char* key, float delay, bool modal, int style) {
    Board& b = board();
    if (!key || b.tip.showing) return false;
    const int slot = tipSlotOf(key);
    if (slot >= 0) {
        BoardOutcomeHooks& h = outcomeHooks();
        if (!h.tipFlag(slot)) return false;
        h.clearTipFlag(slot);
    }
    b.tip.showing = 1;
    b.tip.modal = modal ? 1 : 0;
    b.tip.x = x;
    b.tip.y = y;
    b.tip.delay = delay;
    b.tip.style = style;
    std::snprintf(b.tip.key, sizeof b.tip.key, "%s", key);
    playSound("TipShow.ogg");
    showTip(x, y, key, delay, modal, style);
    return true;
}

void closeTip() { board().tip.showing = 0; }

void firstTimeTips() {
    Board& b = board();
    if (menuOpen() || b.tip.showing || b.paused || b.mapFade || b.levelComplete || b.levelLost) return;
    // The hints wait until the level's opening transition has uncovered the board: a hint
    // nobody can see yet would take the first key (Escape among them) for itself.
    if (transitionRunning()) return;

    if (b.levelIndex == 1 && b.mode == kAdventure && waiting(kTipCandleTime))
        openTip(kCandleTipX, kCandleTipY, "candletime", 0.0f, false, 0);
    if (b.levelIndex == 1 && b.mode == kPuzzle && waiting(kTipCandleMoves))
        openTip(kCandleTipX, kCandleTipY, "candlemove", 0.0f, false, 0);
    if (b.tip.showing) return;

    // The cell tips point into groups: they wait for a settled board, whose groups the
    // dead-board test of this frame has just numbered.
    if (!isSettled()) return;
    int row = 0, column = 0;
    if (b.welcomeTip && !waiting(kTipWelcome)) b.welcomeTip = 0;
    if (b.welcomeTip) {
        if (b.groupCount <= 0) return;
        if (firstCell([](const Cell& cell) { return cell.groupId == 0; }, row, column) &&
            tipAtCell(row, column, "welcome"))
            b.welcomeTip = 0;
        return;
    }
    if (b.movesUsed > 3 && waiting(kTipBreakSquares) &&
        firstCell([](const Cell& cell) { return cell.squares == 1 && cell.groupId >= 2; }, row, column) &&
        tipAtCell(row, column, "breaksquares"))
        return;
    if (b.movesUsed > 3 && waiting(kTipBreakDualSquares) &&
        firstCell([](const Cell& cell) { return cell.squares == 2 && cell.groupId >= 2; }, row, column) &&
        tipAtCell(row, column, "breakdualsquares"))
        return;
    if (b.movesUsed >= 1 && waiting(kTipBreakChain) &&
        firstCell([](const Cell& cell) { return cell.chained != 0 && cell.groupId >= 2; }, row, column))
        tipAtCell(row, column, "breakzep");
}
