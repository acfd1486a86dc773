// The level designer: a per-stage plan of parameters, and the generator that turns one plan
// entry into a level file. Everything is deterministic (each level has its own fixed seed), and
// every number that shapes difficulty sits in the plan so levels can be retuned.
#pragma once

#include <cstdint>
#include <string>

namespace forge {

constexpr int kRows = 11;
constexpr int kColumns = 12;
// The columns a level uses: the candle stands over the twelfth, so it stays empty, and the
// eleven left are centred between the HUD strip and the candle.
constexpr int kPlayColumns = 11;
constexpr int kMiddleColumn = kPlayColumns / 2;
constexpr int kStages = 15;
constexpr int kLevels = 129;
constexpr int kStageSizes[kStages] = {4, 5, 6, 7, 8, 9, 10, 10, 10, 10, 10, 10, 10, 10, 10};

// Board shapes the designer can cut.
enum class Shape {
    Full, CutCorners, Donut, Pillars, Diamond, Hourglass, Plus, Arch, Twins, Windows, Ring, Castle,
    Heart, Steps, Scattered, Count
};
// Where the squares lie.
enum class SquarePattern { BottomRows, Centre, Border, Checker, Stripes, Columns, Diagonals, Scatter, Count };

struct LevelPlan {
    int index = 0;         // 0..128
    int stage = 0;         // 0..14
    int inStage = 0;       // position inside the stage
    uint32_t seed = 0;
    int figures = 8;       // kinds dealt
    Shape shape = Shape::Full;
    SquarePattern pattern = SquarePattern::BottomRows;
    int extraHoles = 0;    // symmetric pairs of holes cut at random
    int squareCells = 20;  // cells that get a square (single or dual)
    float dualShare = 0;   // share of those squares that are dual
    int chains = 0;        // chained preset figures (on dual squares)
    int bombs = 0, lightnings = 0, crossBombs = 0, diagonalBombs = 0, megaBombs = 0;  // preset on chains
    int backdrop = 1;      // 1..15
    bool recolour = false; // deal another set of figure pictures than the first ones
    // Limit tuning: the moves the plain player needed, with slack on top (the estimate from
    // the target count stands in if it ever fails).
    float movesPerHit = 0.7f;
    float movesBase = 10;
    float movesSlack = 1.4f;
    // The game's bot (which does use bonuses) still runs short on some boards the plain player
    // clears, so the puzzle budget gets a margin on top; the time limit is left as it is.
    float movesMargin = 1.45f;
    int botRuns = 5;
    float maxBotMoves = 160;  // a board the plain player needs longer for loses squares
    float secondsPerMove = 3.5f;
    float timeSlack = 1.4f;
};

// The plan of level index (0..128).
LevelPlan planLevel(int index);

// A designed board: the shape, the squares and the chains with their preset kinds and bonuses.
struct LevelGrid {
    bool exists[kRows][kColumns];
    int squares[kRows][kColumns];    // 0, 1, 2
    int chainKind[kRows][kColumns];  // -1 or the preset kind
    int bonus[kRows][kColumns];      // 0 none, 1 Bomb, 2 Lightning, 3 Cross, 4 Diagonal, 5 Mega
};

// A plain player tries the board: it always breaks the group that hits the most squares and
// chains (bigger groups first among equals) and makes no use of bonuses, so a real player
// needs fewer moves. Runs use their own seeds; the result is the moves needed to win.
struct BotResult {
    int runs = 0;
    int cleared = 0;        // runs that broke every target within the cap
    double meanMoves = 0;   // over the cleared runs
    int worstMoves = 0;
};
BotResult playWithBot(const LevelGrid& grid, int figures, int runs, uint32_t seed, int moveCap);

// What the designer made, for checks and tuning.
struct LevelSummary {
    int cells = 0;        // existing cells
    int targets = 0;      // chains plus square layers (the game's target count)
    int chained = 0;
    int presetBonuses = 0;
    double timeValue = 0; // "time="
    int movesValue = 0;   // "moves="
    BotResult bot;        // how the plain player fared
};

// The level file text (CR LF) for a plan.
std::string designLevel(const LevelPlan& plan, LevelSummary* summary = nullptr);
// The level of a plan, with fewer squares and chains while the plain player needs more than
// the plan's moves for it.
std::string designTunedLevel(LevelPlan plan, LevelSummary* summary = nullptr);

// The game's limits for a level: the adventure time in ms and the puzzle moves.
float adventureTimeLimitMs(int index, double timeValue);
int puzzleMovesLimit(int index, int movesValue);

}  // namespace forge
