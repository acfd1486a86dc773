// The autoplay bot: plays one level headless under the real rules and the real board frame
// (16 ms frames on the virtual clock, no window, no sound), choosing its clicks greedily.
// It proves that a level can be won within its own limits.
#pragma once

#include <cstdint>

#include "board/board.h"

struct BotOptions {
    int levelIndex = 0;            // 0-based
    GameMode mode = kAdventure;
    uint32_t seed = 1;
    const char* levelText = nullptr;  // the level's file text; null reads the level file
    int maxMoves = 2000;           // a level that takes more is given up (timeless has no limit)
};

struct BotResult {
    bool won = false;
    bool lost = false;             // the level's own limit ran out
    int moves = 0;                 // group clicks (hammer strokes are no moves)
    int hammerStrokes = 0;
    float timeMs = 0.0f;           // adventure: the time used; otherwise the play clock
    int score = 0;                 // the level's score with its completion bonus
    int frames = 0;
    int targetsLeft = 0;           // squares and chains still on the board at the end
    int movesLimit = 0;            // the level's limits in this mode
    float timeLimitMs = 0.0f;
};

BotResult playLevelWithBot(const BotOptions& options);

// One decision on the current settled board: the cell to click, and whether the hammer is to
// be used on it. False when there is nothing to click.
struct BotChoice {
    int row = -1;
    int column = -1;
    bool hammer = false;
    int value = 0;
};
bool chooseBotMove(BotChoice& choice);
// The board rests with nothing marked or exploding and no tip or pause: a move can be made.
bool botReadyForMove();
