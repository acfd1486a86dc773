#include "board/keyboard.h"

#include "board/board.h"
#include "board/moves.h"
#include "board/play.h"
#include "menus/cursor.h"

namespace {

constexpr int kKeyEnter = 13;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kKeyH = 72;

// The cell cursor starts on the cell under the mouse, else on the existing cell nearest the
// middle of the board.
void placeKeyCursor() {
    BoardProcess& p = boardProcess();
    float x, y;
    logicalCursor(x, y);
    int row, column;
    cellAt(x, y, row, column);
    if (!isCell(row, column)) {
        int best = -1;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                if (!isCell(r, c)) continue;
                const int d = (2 * r - (kRows - 1)) * (2 * r - (kRows - 1)) + (2 * c - (kColumns - 1)) * (2 * c - (kColumns - 1));
                if (best < 0 || d < best) {
                    best = d;
                    row = r;
                    column = c;
                }
            }
        if (best < 0) return;
    }
    p.keyCursor = 1;
    p.keyRow = static_cast<int8_t>(row);
    p.keyColumn = static_cast<int8_t>(column);
}

// One step in a direction, over holes to the next existing cell; no move at the edge.
void stepKeyCursor(int dr, int dc) {
    BoardProcess& p = boardProcess();
    int r = p.keyRow + dr;
    int c = p.keyColumn + dc;
    while (r >= 0 && r < kRows && c >= 0 && c < kColumns) {
        if (isCell(r, c)) {
            p.keyRow = static_cast<int8_t>(r);
            p.keyColumn = static_cast<int8_t>(c);
            return;
        }
        r += dr;
        c += dc;
    }
}

}  // namespace

bool boardNavigationKey(int virtualKey) {
    Board& b = board();
    BoardProcess& p = boardProcess();
    switch (virtualKey) {
    case kKeyLeft:
    case kKeyUp:
    case kKeyRight:
    case kKeyDown:
        if (!p.keyCursor || !isCell(p.keyRow, p.keyColumn)) {
            placeKeyCursor();
        } else {
            const int dr = virtualKey == kKeyUp ? -1 : virtualKey == kKeyDown ? 1 : 0;
            const int dc = virtualKey == kKeyLeft ? -1 : virtualKey == kKeyRight ? 1 : 0;
            stepKeyCursor(dr, dc);
        }
        readBoardCursor();
        return true;
    case kKeyEnter:
        readBoardCursor();
        if (b.cursorX >= -270.0f) boardClick();
        return true;
    case kKeyH:
        if (b.hammerReady) {
            b.hammerReady = 0;
            b.hammerArmed = 1;
        } else if (b.hammerArmed) {
            b.hammerArmed = 0;
            b.hammerReady = 1;
        }
        return true;
    default: return false;
    }
}

void boardMouseMoved() { boardProcess().keyCursor = 0; }

bool boardKeyCursor(int& row, int& column) {
    const BoardProcess& p = boardProcess();
    if (!p.keyCursor) return false;
    row = p.keyRow;
    column = p.keyColumn;
    return true;
}

void readBoardCursor() {
    Board& b = board();
    int row, column;
    if (boardKeyCursor(row, column)) {
        const Vec2 at = cellCentre(row, column);
        b.cursorX = at.x;
        b.cursorY = at.y;
        return;
    }
    logicalCursor(b.cursorX, b.cursorY);
}
