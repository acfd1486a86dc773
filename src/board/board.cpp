#include "board/board.h"

#include <cstring>

#include "menus/cursor.h"
#include "platform/random.h"

namespace {
Board gBoard;
}  // namespace

Board& board() { return gBoard; }

void resetBoardState() {
    Board& b = gBoard;
    // The mode is chosen before the level starts and the carried score belongs to the game.
    const GameMode mode = b.mode;
    const int32_t carried = b.carriedScore;
    std::memset(&b, 0, sizeof b);
    b.mode = mode;
    b.carriedScore = carried;
    b.previousKind = -2;
    b.lightningRun = 1;
    b.hintDelay = 6000.0f;
    b.hammerMin = 0.18f;
    b.hammerMax = 0.88f;
    b.hammerShown = 0.18f;
    b.hammerTarget = 0.18f;
    b.hudFade = 255.0f;
    b.figureCount = 0;
    b.timeValue = 0.0f;
    for (int k = 0; k < kFigureKinds; ++k) b.pictureOfFigure[k] = k;
}

Vec2 cellCentre(int row, int column) {
    return Vec2{static_cast<float>(column) * kCellSize - 243.0f, 268.0f - static_cast<float>(row) * kCellSize};
}

void cellAt(float x, float y, int& row, int& column) {
    // Toward minus infinity: a negative intermediate is lowered by a cell before it is cut.
    float cx = x + 270.0f;
    float cy = 295.0f - y;
    if (cx < 0.0f) cx -= kCellSize;
    if (cy < 0.0f) cy -= kCellSize;
    // Far-off points are kept in a range that converts safely.
    if (cx < -1.0e6f) cx = -1.0e6f;
    if (cy < -1.0e6f) cy = -1.0e6f;
    if (cx > 1.0e6f) cx = 1.0e6f;
    if (cy > 1.0e6f) cy = 1.0e6f;
    if (!(cx == cx)) cx = -kCellSize;  // not a number: off the board
    if (!(cy == cy)) cy = -kCellSize;
    column = static_cast<int>(cx / kCellSize);
    row = static_cast<int>(cy / kCellSize);
}

bool isCell(int row, int column) {
    return row >= 0 && row < kRows && column >= 0 && column < kColumns && gBoard.cells[row][column].squares >= 0;
}

bool hasFigure(int row, int column) { return isCell(row, column) && gBoard.cells[row][column].figure >= 0; }

int randomKind() {
    const int n = gBoard.figureCount;
    if (n <= 0) return 0;
    return platform::rand() % n;
}

void newFigure(int row, int column) {
    Cell& c = gBoard.cells[row][column];
    c.figure = randomKind();
    const Vec2 above = cellCentre(row - 1, column);
    const Vec2 own = cellCentre(row, column);
    c.offset = Vec2{above.x - own.x, above.y - own.y};
    c.bonus = kNoBonus;
    c.refillMark = 0;
    c.slideFlag = 0;
    if (row == kRows - 1) {
        c.fallSpeed = 0.0f;
        return;
    }
    float speed = gBoard.cells[row + 1][column].fallSpeed;
    if (column < kColumns - 1) {
        const Cell& br = gBoard.cells[row + 1][column + 1];
        if (br.slideFlag && br.fallSpeed > speed) speed = br.fallSpeed;
    }
    if (column > 0) {
        const Cell& bl = gBoard.cells[row + 1][column - 1];
        if (bl.slideFlag && bl.fallSpeed > speed) speed = bl.fallSpeed;
    }
    c.fallSpeed = speed;
}

void moveFigure(int fromRow, int fromColumn, int toRow, int toColumn) {
    const Cell& from = gBoard.cells[fromRow][fromColumn];
    Cell& to = gBoard.cells[toRow][toColumn];
    to.offset = from.offset;
    to.figure = from.figure;
    to.animFrame = from.animFrame;
    to.bonus = from.bonus;
    to.pendingBonus = from.pendingBonus;
    to.refillMark = from.refillMark;
    to.fallSpeed = from.fallSpeed;
    to.bonusTimer = from.bonusTimer;
    to.slideFlag = from.slideFlag;
    to.hovered = from.hovered;
    to.alive = from.alive;
    to.spinTimer = from.spinTimer;
    to.spinClock = from.spinClock;
}

void readBoardCursor() { logicalCursor(gBoard.cursorX, gBoard.cursorY); }
