// Helpers for the board tests: a fresh board, boards drawn as text, frames on a virtual clock.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/frame_clock.h"
#include "app/scene.h"
#include "app/trace.h"
#include "board/board.h"
#include "board/falling.h"
#include "board/level.h"
#include "board/moves.h"
#include "board/outcome.h"
#include "board/play.h"
#include "menus/menus.h"
#include "platform/random.h"
#include "platform/window.h"

namespace board_test {

// Everything board play keeps, back to the state of a fresh process; tracing on.
inline void freshBoard(uint32_t seed = 1) {
    board().mode = kAdventure;
    board().carriedScore = 0;
    resetBoardState();
    // Boards laid by hand have the limits of a long level (a level start sets its own).
    board().timeLimitMs = 600000.0f;
    board().movesLimit = 150;
    resetBoardProcess();
    resetOutcomeHooks();
    holdOutcomesInMemory();  // board rules without profiles or files
    resetLevelTables();
    resetFrameClock();
    resetSceneState();
    menuState().menuOpen = false;
    platform::srand(seed);
    platform::warpCursor(799.0f, 599.0f);  // far right, below the board
    setTracing(true);
    clearTrace();
}

// A level text with CR LF line ends: the keys, then "level=" and the grid rows.
inline std::string levelText(const std::string& keys, const std::vector<std::string>& rows) {
    std::string t = keys;
    t += "level=\r\n";
    for (const std::string& r : rows) t += r + "\r\n";
    return t;
}

// Sets the grid from 11 rows of 12 characters:
//   '.' a hole, '-' an empty plain cell, 'a'..'q' a free figure of kind 0..16 on a plain cell,
//   'A'..'Q' the same kind chained on a dual square, '1' / '2' kind 0 on one or two squares.
// Every existing cell is alive and at rest.
inline void setGrid(const std::vector<std::string>& rows) {
    Board& b = board();
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            std::memset(&cell, 0, sizeof cell);
            cell.groupStep = -1;
            cell.groupId = -1;
            char ch = r < static_cast<int>(rows.size()) && c < static_cast<int>(rows[r].size()) ? rows[r][c] : '-';
            cell.alive = 1;
            cell.figure = -1;
            if (ch == '.') {
                cell.squares = -1;
            } else if (ch >= 'a' && ch <= 'q') {
                cell.figure = ch - 'a';
            } else if (ch >= 'A' && ch <= 'Q') {
                cell.figure = ch - 'A';
                cell.chained = 1;
                cell.squares = 2;
            } else if (ch == '1' || ch == '2') {
                cell.figure = 0;
                cell.squares = ch - '0';
            }
        }
    // A level without squares is won on its first settled frame: a grid that lays none keeps
    // one layer under its last existing cell of row 0 so that play goes on.
    bool anySquare = false;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (b.cells[r][c].squares > 0) anySquare = true;
    for (int c = kColumns - 1; c >= 0 && !anySquare; --c)
        if (b.cells[0][c].squares == 0) {
            b.cells[0][c].squares = 1;
            anySquare = true;
        }
}

// The same grid with no square kept back: a level that is won once it settles.
inline void setFinishedGrid(const std::vector<std::string>& rows) {
    setGrid(rows);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (board().cells[r][c].squares > 0) board().cells[r][c].squares = 0;
}

// The grid as rows of characters, in the notation of setGrid ('-' for an empty cell;
// squares are not shown).
inline std::vector<std::string> gridRows() {
    std::vector<std::string> rows;
    for (int r = 0; r < kRows; ++r) {
        std::string s;
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = board().cells[r][c];
            if (cell.squares < 0) s += '.';
            else if (cell.figure < 0) s += '-';
            else s += static_cast<char>((cell.chained ? 'A' : 'a') + cell.figure);
        }
        rows.push_back(s);
    }
    return rows;
}

// One frame of board play as the game scene runs it: the board update, then the refill
// animation of the drawing pass.
inline void frame(uint32_t ms = 16) {
    FrameClock& c = frameClock();
    c.deltaMs = ms;
    c.frameMs = static_cast<float>(ms);
    c.runningMs += c.frameMs;
    boardFrame();
    refillFrame();
}

inline void frames(int n, uint32_t ms = 16) {
    for (int i = 0; i < n; ++i) frame(ms);
}

// Runs frames until the board has settled and the input lock has run out; false if it never does.
inline bool settle(int maxFrames = 2000) {
    for (int i = 0; i < maxFrames; ++i) {
        frame();
        if (isSettled() && board().inputLock < 0.0f && !board().refillRunning) {
            bool marked = false;
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kColumns; ++c)
                    if (board().cells[r][c].breakMark || board().cells[r][c].hitMark) marked = true;
            if (!marked) return true;
        }
    }
    return false;
}

// Places the system cursor over a cell (or a logical point).
// A settled board of ten kinds with few groups, so that nothing breaks by itself.
inline void quietBoard() {
    std::vector<std::string> rows;
    for (int r = 0; r < 9; ++r) rows.push_back(r % 2 ? "ijijijijijij" : "jijijijijiji");
    rows.push_back("ghghghghghgh");
    rows.push_back("aabbcdefghij");
    setGrid(rows);
    board().figureCount = 10;
    frame();
}

// Takes every square off the board (the level is then complete at the next settled frame).
inline void clearSquares() {
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (board().cells[r][c].squares > 0) board().cells[r][c].squares = 0;
}

inline void cursorAt(float x, float y) { platform::warpCursor(400.0f + x, 300.0f - y); }
inline void cursorOnCell(int row, int column) {
    Vec2 p = cellCentre(row, column);
    cursorAt(p.x, p.y);
}

inline void clickCell(int row, int column) {
    cursorOnCell(row, column);
    boardLeftDown();
}

// A digest of every cell's figure, squares and chain.
inline uint64_t boardDigest() {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](int32_t v) {
        for (int i = 0; i < 4; ++i) {
            h ^= static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
            h *= 1099511628211ull;
        }
    };
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = board().cells[r][c];
            mix(cell.figure);
            mix(cell.squares);
            mix(cell.chained);
        }
    return h;
}

inline int countTracedAt(const char* kind, const char* name, float x, float y) {
    int n = 0;
    for (int i = 0; i < traceCount(); ++i) {
        const TraceEntry& e = traceAt(i);
        if (std::strcmp(e.kind, kind) == 0 && std::strcmp(e.name, name) == 0 && e.x == x && e.y == y) ++n;
    }
    return n;
}

}  // namespace board_test
