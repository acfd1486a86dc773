// The level files and the start of a level: reading, limits, the first fill.
#pragma once

#include <cstdint>

#include "board/board.h"

// The backdrop number of every level, known once the level files were scanned.
int32_t* levelBackdrop();  // kLevelCount entries

// The name of a level's file: "pack1_%.2i.lvl" of index + 1.
void levelFileName(int index, char* buffer, int capacity);
// Reads level index (0-based) from the folder "levels" into the board; false when it is missing.
bool loadLevelFile(int index);
// Reads a level from its text (terminated) into the board, as loadLevelFile does with the file.
void loadLevelFromText(int index, const char* text);
// Targets, delay timers and the time and moves limits of the level just loaded.
void setupLevel();
// Deals the first figures; deals again until the board has a group (1000 deals at most).
void fillBoard();
// Starts level index in the board's current mode and returns that mode.
GameMode startLevel(int index);
// The same with the level's text given instead of read from its file.
GameMode startLevelFromText(int index, const char* text);
// The grid codes of a level file: the bytes a grid reads (others are skipped), and what a code
// puts into its cell.
bool acceptedGridByte(unsigned char b);
void applyGridCode(Cell& cell, unsigned char code);
// Reads every level file in turn at start-up so that the backdrop of each level is known.
void scanLevelFiles();

// The limits on their own (level index, mode, the level's time and moves values, its targets).
float timeLimitFor(int index, GameMode mode, float timeValue, int targetCount);
int32_t movesLimitFor(int index, GameMode mode, int32_t movesValue);

// How many deals the last fillBoard needed.
int lastFillDeals();
// Forgets the backdrop numbers (tests).
void resetLevelTables();
