#include "board/level.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/frame_clock.h"
#include "app/key_text.h"
#include "app/resource_store.h"
#include "audio/audio.h"
#include "board/falling.h"
#include "board/outcome.h"
#include "board/presentation.h"
#include "board/tips.h"
#include "platform/files.h"
#include "platform/random.h"

namespace {

struct LevelState {
    int32_t backdrop[kLevelCount];
    int lastDeals;
};
LevelState gLevels;

// The 17 names by which a level file gives a figure kind its picture.
const char* const kArtefactNames[kFigureKinds] = {
    "coins",    "nugget", "perl",   "perls",   "rings2", "rings3", "sack",   "scepter", "bracelet",
    "brooch1",  "crown",  "dagger", "goblet",  "locket1", "pot",   "rings1", "diamond",
};

int artefactPicture(const char* name) {
    for (int k = 0; k < kFigureKinds; ++k)
        if (std::strcmp(name, kArtefactNames[k]) == 0) return k;
    return -1;
}

}  // namespace

bool acceptedGridByte(unsigned char b) { return b == '.' || (b >= 0x30 && b <= 0x7A) || b >= 0xC0; }

static void placePreset(Cell& cell, int figure) {
    cell.squares = 2;
    cell.chained = 1;
    cell.figure = figure;
}

void applyGridCode(Cell& cell, unsigned char code) {
    if (code == '.') {
        cell.squares = -1;
    } else if (code >= '0' && code <= '2') {
        cell.squares = code - '0';
    } else if (code >= 'A' && code <= 'O') {
        placePreset(cell, code - 'A');
    } else if (code >= 'Q' && code <= '_') {
        placePreset(cell, code - 'Q');
        cell.bonus = kBomb;
    } else if (code >= 'a' && code <= 'o') {
        placePreset(cell, code - 'a');
        cell.bonus = kLightning;
    } else if (code >= 'q' && code <= 'z') {
        placePreset(cell, code - 'q');
        cell.bonus = kCrossBomb;
    } else if (code >= 0xC0 && code <= 0xCE) {
        placePreset(cell, code - 0xC0);
        cell.bonus = kDiagonalBomb;
    } else if (code >= 0xD0 && code <= 0xDE) {
        placePreset(cell, code - 0xD0);
        cell.bonus = kMegaBomb;
    }
    // Every other accepted byte takes the cell's place and leaves it as it is.
}

namespace {

void readGrid(const char* text) {
    const char* start = std::strstr(text, "level=");
    if (!start) return;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(start + 6);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            // An empty line ends the grid; the cells not reached stay plain.
            if (!*p) return;
            if (p[0] == '\r' && p[1] == '\n' && p[2] == '\r' && p[3] == '\n') return;
            while (*p && !acceptedGridByte(*p)) ++p;
            if (!*p) return;
            applyGridCode(board().cells[row][column], *p);
            ++p;
        }
    }
}

bool freeFigureAboveGap() {
    const Board& b = board();
    for (int r = 0; r < kRows - 1; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (hasFigure(r, c) && !b.cells[r][c].chained && isCell(r + 1, c) && b.cells[r + 1][c].figure < 0)
                return true;
    return false;
}

// One settling round of the first fill; false when nothing could move any more.
bool settleRound() {
    Board& b = board();
    for (int r = kRows - 1; r >= 1; --r) {
        for (int c = 0; c < kColumns; ++c) {
            if (!isCell(r, c) || b.cells[r][c].figure >= 0) continue;
            if (hasFigure(r - 1, c) && !b.cells[r - 1][c].chained) {
                moveFigure(r - 1, c, r, c);
                b.cells[r - 1][c].figure = -1;
            } else if (b.cells[r - 1][c].squares == -1) {
                newFigure(r, c);
            }
        }
    }
    for (int c = 0; c < kColumns; ++c)
        if (isCell(0, c) && b.cells[0][c].figure < 0) newFigure(0, c);
    if (freeFigureAboveGap()) return true;
    for (int r = kRows - 1; r >= 1; --r) {
        for (int c = 0; c < kColumns; ++c) {
            if (!isCell(r, c) || b.cells[r][c].figure >= 0) continue;
            int from = -1;
            if (c < kColumns - 1 && hasFigure(r - 1, c + 1) && !b.cells[r - 1][c + 1].chained) from = c + 1;
            else if (c > 0 && hasFigure(r - 1, c - 1) && !b.cells[r - 1][c - 1].chained) from = c - 1;
            if (from < 0) continue;
            moveFigure(r - 1, from, r, c);
            b.cells[r - 1][from].figure = -1;
            return true;
        }
    }
    return false;
}

void dealOnce() {
    Board& b = board();
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            if (cell.squares >= 0) cell.alive = 1;
            if (!cell.chained && cell.bonus == kNoBonus) cell.figure = -1;
        }
    for (int round = 0; round < 100; ++round)
        if (!settleRound()) break;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) b.cells[r][c].offset = Vec2{0.0f, 0.0f};
}

}  // namespace

int32_t* levelBackdrop() { return gLevels.backdrop; }

int lastFillDeals() { return gLevels.lastDeals; }

void levelFileName(int index, char* buffer, int capacity) {
    std::snprintf(buffer, static_cast<size_t>(capacity), "pack1_%.2i.lvl", index + 1);
}

void loadLevelFromText(int index, const char* text) {
    Board& b = board();
    if (!text) text = "";
    int figures = getInt(text, "figures=");
    // No kinds, or fewer than none, means the usual eight; there are pictures for 17 at most.
    if (figures <= 0) figures = 8;
    if (figures > kFigureKinds) figures = kFigureKinds;
    b.figureCount = figures;

    for (int k = 0; k < kFigureKinds; ++k) b.pictureOfFigure[k] = k;
    for (int i = 0; i < figures; ++i) {
        char key[24];
        char name[64];
        std::snprintf(key, sizeof key, "figure%i=", i);
        getString(name, sizeof name, text, key);
        int k = artefactPicture(name);
        if (k < 0) continue;
        b.pictureOfFigure[i] = k;
        b.pictureOfFigure[k] = i;
    }

    // Huge values stay inside the float range so that the limits computed from them do too.
    b.timeValue = getFloat(text, "time=");
    if (b.timeValue > 3.0e38f) b.timeValue = 3.0e38f;
    if (b.timeValue < -3.0e38f) b.timeValue = -3.0e38f;
    if (b.timeValue == 0.0f) b.timeValue = 10.0f;
    b.movesValue = getInt(text, "moves=");
    if (b.movesValue == 0) b.movesValue = 50;
    int back = getInt(text, "back=");
    if (back == 0) back = platform::rand() % 16;
    if (index >= 0 && index < kLevelCount) gLevels.backdrop[index] = back;

    readGrid(text);
}

bool loadLevelFile(int index) {
    if (index < 0 || index >= kLevelCount) return false;
    char name[32];
    levelFileName(index, name, sizeof name);
    const std::string dataFolder = platform::currentDir();
    const bool entered = platform::changeDir("levels");
    int32_t size = 0;
    uint8_t* bytes = loadFile(name, &size, false);
    if (entered) platform::changeDir(dataFolder.c_str());
    if (!bytes) return false;
    // The file's last byte (its final line end) becomes the end of the text. The store keeps
    // level files for the whole run, so the next read finds the same text.
    if (size > 0) {
        bytes[size - 1] = 0;
        loadLevelFromText(index, reinterpret_cast<const char*>(bytes));
    } else {
        loadLevelFromText(index, "");
    }
    return true;
}

float timeLimitFor(int index, GameMode mode, float timeValue, int targetCount) {
    if (timeValue == 0.0f || mode != kAdventure) return static_cast<float>(targetCount) * 7000.0f;
    if (index <= 0) return 300000.0f;
    if (index == 1) return 150000.0f;
    const float n = static_cast<float>(index + 1);
    const float d = 32.0f * std::sqrt(n) - 5.5f * n + 0.08f * n * n;
    return (110.0f / d + 0.9f) * 1000.0f * timeValue;
}

int32_t movesLimitFor(int index, GameMode mode, int32_t movesValue) {
    if (movesValue == 0 || mode != kPuzzle) return 150;
    float limit;
    if (index < 2) {
        limit = 2.0f * static_cast<float>(movesValue);
    } else {
        const float n = static_cast<float>(index + 1);
        const float d = 20.0f * std::sqrt(n) - 5.5f * n + 0.3f * n * n;
        limit = static_cast<float>(movesValue) * (29.0f / d + 1.0f);
    }
    if (limit >= 2147483520.0f) return 2147483647;
    if (limit <= -2147483520.0f) return -2147483647;
    return static_cast<int32_t>(limit);
}

void setupLevel() {
    Board& b = board();
    int targets = 0;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            if (cell.chained != 0) ++targets;
            if (cell.squares > 0) targets += cell.squares;
            if (cell.squares == 1) cell.delayTimer = static_cast<float>(r * 100 + 5000 - c * 50);
            else if (cell.squares == 2) cell.delayTimer = static_cast<float>(c * 50 + (5500 - r * 100));
        }
    b.targetCount = targets;
    b.initialTargetCount = targets;
    b.timeLimitMs = timeLimitFor(b.levelIndex, b.mode, b.timeValue, targets);
    b.movesLimit = movesLimitFor(b.levelIndex, b.mode, b.movesValue);
}

void fillBoard() {
    // A shape that can never hold a group would deal for ever: after the last deal the
    // dead-board refill of play takes over.
    constexpr int kMaxDeals = 1000;
    int deals = 0;
    do {
        dealOnce();
        ++deals;
    } while (!countGroups() && deals < kMaxDeals);
    gLevels.lastDeals = deals;
}

namespace {

GameMode beginLevel(int index, const char* text) {
    resetBoardState();
    // The running clock that times the explosions and the bonus pulses starts with the level.
    frameClock().runningMs = 0.0f;
    startBoardPresentation();
    Board& b = board();
    b.levelIndex = index;
    const bool known = index >= 0 && index < kLevelCount;
    chooseBoardBackdrop(index & 1, known ? gLevels.backdrop[index] : 0);
    if (text) loadLevelFromText(index, text);
    else loadLevelFile(index);
    fillBoard();
    setupLevel();
    b.ambienceNumber = known ? gLevels.backdrop[index] : 0;
    // A player who has not been welcomed yet is welcomed on this level.
    b.welcomeTip = outcomeHooks().tipFlag(kTipWelcome) ? 1 : 0;
    fadeToMusicSection(known ? index % 5 : 0);
    return b.mode;
}

}  // namespace

GameMode startLevel(int index) { return beginLevel(index, nullptr); }

GameMode startLevelFromText(int index, const char* text) { return beginLevel(index, text ? text : ""); }

void scanLevelFiles() {
    for (int index = 0; index < kLevelCount; ++index)
        if (!loadLevelFile(index)) break;
}

void resetLevelTables() { gLevels = LevelState{}; }
