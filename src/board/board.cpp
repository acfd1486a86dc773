#include "board/board.h"

#include <cstring>

#include "platform/random.h"

namespace board_state {
Board gBoard;
}  // namespace board_state

namespace {
Board& gBoard = board_state::gBoard;
}  // namespace

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
    b.boardAlpha = 255.0f;
    b.debrisAlpha = 255.0f;
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

namespace {

// Writes and reads one field at its offset in the record, byte by byte, low byte first.
template <typename T>
void put(uint8_t* record, size_t at, T value) {
    uint32_t bits = 0;
    static_assert(sizeof(T) == 4 || sizeof(T) == 1);
    if constexpr (sizeof(T) == 1) {
        record[at] = static_cast<uint8_t>(value);
        return;
    } else {
        std::memcpy(&bits, &value, 4);
        for (int i = 0; i < 4; ++i) record[at + i] = static_cast<uint8_t>(bits >> (8 * i));
    }
}

template <typename T>
void take(const uint8_t* record, size_t at, T& value) {
    if constexpr (sizeof(T) == 1) {
        value = static_cast<T>(record[at]);
    } else {
        uint32_t bits = 0;
        for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(record[at + i]) << (8 * i);
        std::memcpy(&value, &bits, 4);
    }
}

template <typename Visit>
void eachField(Cell& c, Visit visit) {
    visit(offsetof(Cell, squares), c.squares);
    visit(offsetof(Cell, chained), c.chained);
    visit(offsetof(Cell, offset), c.offset.x);
    visit(offsetof(Cell, offset) + 4, c.offset.y);
    visit(offsetof(Cell, figure), c.figure);
    visit(offsetof(Cell, animFrame), c.animFrame);
    visit(offsetof(Cell, bonus), c.bonus);
    visit(offsetof(Cell, pendingBonus), c.pendingBonus);
    visit(offsetof(Cell, refillMark), c.refillMark);
    visit(offsetof(Cell, fallSpeed), c.fallSpeed);
    visit(offsetof(Cell, bonusTimer), c.bonusTimer);
    visit(offsetof(Cell, slideFlag), c.slideFlag);
    visit(offsetof(Cell, hovered), c.hovered);
    visit(offsetof(Cell, alive), c.alive);
    visit(offsetof(Cell, spinTimer), c.spinTimer);
    visit(offsetof(Cell, spinClock), c.spinClock);
    visit(offsetof(Cell, breakMark), c.breakMark);
    visit(offsetof(Cell, hitMark), c.hitMark);
    visit(offsetof(Cell, groupStep), c.groupStep);
    visit(offsetof(Cell, groupId), c.groupId);
    visit(offsetof(Cell, floatPos), c.floatPos.x);
    visit(offsetof(Cell, floatPos) + 4, c.floatPos.y);
    visit(offsetof(Cell, floatVel), c.floatVel.x);
    visit(offsetof(Cell, floatVel) + 4, c.floatVel.y);
    visit(offsetof(Cell, cellScore), c.cellScore);
    visit(offsetof(Cell, delayTimer), c.delayTimer);
}

}  // namespace

void cellToRecord(const Cell& cell, uint8_t* record) {
    std::memset(record, 0, kCellRecordSize);
    Cell copy = cell;
    eachField(copy, [record](size_t at, auto& field) { put(record, at, field); });
}

void cellFromRecord(const uint8_t* record, Cell& cell) {
    eachField(cell, [record](size_t at, auto& field) { take(record, at, field); });
}

