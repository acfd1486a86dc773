// The board: a grid of 11 rows by 12 columns of cells and the state of board play around it.
// One instance for the whole process; resetBoardState clears it before every level.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kRows = 11;
constexpr int kColumns = 12;
constexpr int kCellCount = kRows * kColumns;
constexpr int kFigureKinds = 17;     // FigureKind 0..16, each drawn through pictureOfFigure
constexpr int kLevelCount = 129;
constexpr float kCellSize = 54.0f;
constexpr int kExplosionCapacity = 150;
// A cell travels in the saved game as a record of this size: the fields in order, then zeros.
constexpr int kCellRecordSize = 116;

enum BonusKind : int32_t {
    kNoBonus = 0,
    kBomb = 1,
    kLightning = 2,
    kCrossBomb = 3,
    kDiagonalBomb = 4,
    kMegaBomb = 5,
};

enum GameMode : uint8_t {
    kAdventure = 0,
    kTimeless = 1,
    kPuzzle = 2,
};

struct Vec2 {
    float x;
    float y;
};

// One place of the grid. The fields keep their order and widths: the saved game writes them.
struct Cell {
    int32_t squares;       // -1 no cell (a hole), 0 plain, 1 a square, 2 a dual square
    int32_t chained;       // 1: a chain holds the figure
    Vec2 offset;           // where the figure is drawn relative to the cell centre
    int32_t figure;        // FigureKind, or -1 when empty
    int32_t animFrame;     // 0..31
    int32_t bonus;         // BonusKind carried
    int32_t pendingBonus;  // replaces bonus when the first one fires
    uint8_t refillMark;    // replaced by the dead-board refill
    float fallSpeed;
    float bonusTimer;      // ms left of the new-bonus flourish
    uint8_t slideFlag;     // moving diagonally, 1.5 times faster
    uint8_t hovered;       // in the group under the cursor, or the idle hint
    uint8_t alive;         // takes part in drawing
    float spinTimer;
    float spinClock;
    int32_t breakMark;     // 0 nothing, 1 breaks and throws debris, 3 breaks by Lightning
    uint8_t hitMark;       // the chain, or else the top square, takes a hit this step
    int32_t groupStep;     // breadth-first search state, -1 when not reached
    int32_t groupId;
    Vec2 floatPos;         // tile offset of the level-end swirl and scatter
    Vec2 floatVel;
    int32_t cellScore;     // points earned here in the current break step
    float delayTimer;      // ms before the cell's level-end effect
};

static_assert(sizeof(Cell) == 96, "the cell keeps its natural layout");
static_assert(offsetof(Cell, refillMark) == 32 && offsetof(Cell, fallSpeed) == 36);
static_assert(offsetof(Cell, slideFlag) == 44 && offsetof(Cell, spinTimer) == 48);
static_assert(offsetof(Cell, breakMark) == 56 && offsetof(Cell, hitMark) == 60);
static_assert(offsetof(Cell, groupStep) == 64 && offsetof(Cell, floatPos) == 72);
static_assert(offsetof(Cell, cellScore) == 88 && offsetof(Cell, delayTimer) == 92);

struct GroupEntry {
    int32_t row;
    int32_t column;
    Vec2 centre;
};

// One explosion of the queue (filled by the bonus rules).
struct Explosion {
    int32_t kind;  // BonusKind that fired; 0 = free entry
    int32_t row;
    int32_t column;
    float x;
    float y;
    float elapsed;
    float startAt;
    float duration;
    uint8_t started;
};

// One set of Lightning bolts: from the Lightning's cell to every figure of its kind it broke.
constexpr int kBoltSetCapacity = 16;
constexpr int kBoltsPerSet = 63;
struct Bolt {
    Vec2 target;
    uint32_t colour;  // ARGB
    float life;       // ms left; 0 = no bolt
};
struct BoltSet {
    Vec2 origin;
    int32_t count;
    Bolt bolts[kBoltsPerSet];
};

// The tip balloon's state as the rules see it: whether one shows and whether it is modal.
struct TipState {
    uint8_t showing;
    uint8_t modal;
    float x;
    float y;
    float delay;
    int32_t style;
    char key[24];
};

struct Board {
    Cell cells[kRows][kColumns];

    // The level
    int32_t levelIndex;
    GameMode mode;
    int32_t figureCount;
    int32_t pictureOfFigure[kFigureKinds];
    float timeValue;
    int32_t movesValue;
    int32_t targetCount;
    int32_t initialTargetCount;
    float timeLimitMs;
    int32_t movesLimit;
    int32_t ambienceNumber;

    // The cursor in the logical space, read at the start of every frame
    float cursorX;
    float cursorY;

    // Groups, clicks and streaks
    GroupEntry group[kCellCount];
    int32_t groupSize;
    int32_t groupKind;
    float inputLock;
    int32_t movesUsed;
    int32_t previousKind;
    int32_t colourStreak;
    int32_t bestStreak;
    int32_t lightningRun;
    uint8_t hoverActive;
    uint8_t levelTouched;
    uint8_t groupBonusKinds[6];  // BonusKinds carried by the figures of the last removed group

    // Falling, refilling, dead boards and the idle hint
    int32_t groupCount;
    uint8_t noMovesShown;
    float idleClock;
    float hintDelay;
    int32_t hintGroup;
    uint8_t hintActive;
    uint8_t refillRunning;
    float refillClock;
    float unsettledClock;

    // Bonuses, the hammer and the shake
    Explosion explosions[kExplosionCapacity];
    int32_t nextExplosion;
    uint8_t boltKindsDrawn[kFigureKinds];
    int32_t nextBoltSet;
    float hammerShown;
    float hammerTarget;
    float hammerMin;
    float hammerMax;
    uint8_t hammerReady;
    uint8_t hammerArmed;
    uint8_t shakeOn;
    float shakeClock;
    Vec2 shakeOffset;  // drawing offset of the board layer while it shakes
    BoltSet boltSets[kBoltSetCapacity];

    // Scoring and the outcome of the level
    int32_t levelScore;
    int32_t shownScore;
    int32_t carriedScore;  // the earlier levels of this game: kept across levels
    int32_t comboCount;
    int32_t stepTotal;     // points of the last break step
    float elapsedMs;
    float levelClock;
    uint8_t levelComplete;
    uint8_t bonusShowing;
    float levelEndClock;
    uint8_t levelLost;
    uint8_t betweenLevels;
    float betweenClock;
    uint8_t gameFinished;
    uint8_t trophyViewRequested;
    int32_t quickClicks;
    float shownMoves;      // the moves counter eased toward movesUsed for the candle
    uint8_t withinLimit;
    float warnClock;
    uint8_t resultShown;
    uint8_t advanced;
    int32_t bonusPoints;
    int32_t endStyle;
    float lostClock;
    float trophyClock;
    int32_t nextLifeMark;  // the multiple of 250000 the score roll-up is heading for
    float playClock;       // play time outside adventure, while nothing blocks play

    // Trophy counters
    int32_t bombGroupsInRow;
    int32_t megaGroupsInRow;
    int32_t lightningGroupsInRow;
    int32_t bombsMadeInRow;
    int32_t megasMadeInRow;
    int32_t lightningsMade;   // Lightnings made recently
    int32_t lightningDecay;   // moves since the last Lightning was made

    // Play flags
    uint8_t paused;
    float pauseClock;
    uint8_t mapFade;
    TipState tip;
    uint8_t tipCloseClicked;
    uint8_t welcomeTip;  // the welcome tip waits for this level's first settled board
    float hudSlide;
    float boardAlpha;
    float debrisAlpha;
};

// The board's state; the accessors below are inline, since the board rules and the bot call
// them for every cell of every frame.
namespace board_state {
extern Board gBoard;
}  // namespace board_state
inline Board& board() { return board_state::gBoard; }
// Clears the grid and all board-play state for a new level (the carried score stays).
void resetBoardState();

// Geometry: cells are 54 x 54 in the logical space (origin at the centre, y up).
Vec2 cellCentre(int row, int column);
// The cell under a point; points left of or above the board give negative indices.
void cellAt(float x, float y, int& row, int& column);
inline bool isCell(int row, int column) {
    return row >= 0 && row < kRows && column >= 0 && column < kColumns && board().cells[row][column].squares >= 0;
}
inline bool hasFigure(int row, int column) { return isCell(row, column) && board().cells[row][column].figure >= 0; }
inline Cell& cellRef(int row, int column) { return board().cells[row][column]; }

// Every dealt figure kind: uniform over 0..figureCount-1, 0 when there are no kinds.
int randomKind();
// A new figure in an empty cell: random kind, one cell higher, the speed of the figure below.
void newFigure(int row, int column);
// Moves a figure's travelling fields (offset through spinClock) from one cell to another.
void moveFigure(int fromRow, int fromColumn, int toRow, int toColumn);

// A cell as the saved game stores it: the fields in order with their natural alignment
// (little-endian, padding zero), then zeros up to kCellRecordSize bytes.
void cellToRecord(const Cell& cell, uint8_t* record);
void cellFromRecord(const uint8_t* record, Cell& cell);

// The cursor in the logical space as board play last read it.
void readBoardCursor();
