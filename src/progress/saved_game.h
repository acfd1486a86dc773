// The three game modes and the saved game of each: "%s_cls.sav", "%s_ndl.sav", "%s_org.sav",
// 51656 bytes each, the image of board play written field by field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t kSavedGameBytes = 51656;
constexpr int kSavedDebris = 150;
constexpr int kSavedExplosions = 150;
constexpr int kSavedRows = 11;
constexpr int kSavedColumns = 12;
constexpr int kBoltSets = 16;
constexpr int kBoltPoints = 64;  // the origin and up to 63 bolt ends
constexpr size_t kDebrisRecordBytes = 60;
constexpr size_t kExplosionRecordBytes = 44;
constexpr size_t kCellRecordBytes = 116;
constexpr size_t kBoltPointBytes = 20;

struct SavedDebris {
    int32_t kindPlusOne;  // 0 = free entry
    float position[3];
    float velocity[3];
    int32_t frame;
    float frameClock;
    int32_t style;  // 1 figure debris, 2 defeat piece
    float turn;
    float scale;
};

struct SavedExplosion {
    int32_t kind;
    int32_t row;
    int32_t column;
    float x;
    float y;
    float elapsed;
    float startAt;
    float duration;
    uint8_t started;
};

struct SavedCell {
    int32_t squares;
    int32_t chained;
    float offsetX;
    float offsetY;
    int32_t figure;
    int32_t animFrame;
    int32_t bonus;
    int32_t pendingBonus;
    uint8_t refillMark;
    float fallSpeed;
    float bonusTimer;
    uint8_t slideFlag;
    uint8_t hovered;
    uint8_t alive;
    float spinTimer;
    float spinClock;
    int32_t breakMark;
    uint8_t hitMark;
    int32_t groupStep;
    int32_t groupId;
    float floatPosX;
    float floatPosY;
    float floatVelX;
    float floatVelY;
    int32_t cellScore;
    float delayTimer;
};

struct SavedBoltPoint {
    float x;
    float y;
    float z;
    uint32_t colour;  // ARGB
    float life;       // ms left; a point with no life is unused
};

struct SavedBoltSet {
    SavedBoltPoint points[kBoltPoints];  // points[0] is the origin
};

struct SavedShake {
    float matrix[16];
    int32_t shakeOn;
    float shakeClock;
};

struct SavedTip {
    uint8_t showing;
    uint8_t modal;
    uint8_t style;
    float x;
    float y;
    float delay;
    int32_t textRef;  // position of the text in the string table, -1 for none
};

// Everything the file holds, in the order of the file.
struct SavedGame {
    SavedDebris debris[kSavedDebris];
    SavedExplosion explosions[kSavedExplosions];
    SavedCell cells[kSavedRows][kSavedColumns];
    SavedBoltSet bolts[kBoltSets];
    float boardAlpha;
    float debrisAlpha;
    uint32_t boardColour;
    uint32_t debrisColour;
    int32_t nextDebris;
    int32_t nextExplosion;
    SavedShake shake;
    SavedTip tip;
    int32_t shownScore;
    int32_t levelScore;
    int32_t cursorKind;
    int32_t carriedScore;
    int32_t comboCount;
    int32_t nextBoltSet;
    int32_t targetsLeft;
    int32_t targetsAtStart;
    int32_t bestStreak;
    int32_t colourStreak;
    int32_t runDisplay;
    int32_t lightningRun;
    int32_t previousKind;
    int32_t movesUsed;
    int32_t hoverRow;
    int32_t hoverColumn;
    uint8_t paused;
    uint8_t menuOpen;
    uint8_t levelComplete;
    uint8_t bonusShowing;
    uint8_t tipShown;
    uint8_t lostOnce;
    uint8_t gameMode;
    float runningMs;
    float inputLock;
    float elapsedMs;
    float timeLimitMs;
    float hudSlide;
    float pauseClock;
    float levelEndClock;
    float progress;
    float hammerShown;
    float hammerTarget;
};

// The progress fraction of the file: 1 - left / at start, and 1 when there were no targets.
float progressFraction(int32_t targetsLeft, int32_t targetsAtStart);

void encodeSavedGame(const SavedGame& game, std::vector<uint8_t>& out);
// Reads a whole file into `out` only when every value is one board play can use: the exact
// size, cells, explosions and ring slots in range, the mode byte equal to `mode`, every float
// finite. `stringCount` bounds the tip's text reference (a reference past it means no tip).
// The counters (moves, runs, chain count, scores) are brought within what play can reach.
bool decodeSavedGame(const uint8_t* bytes, size_t size, int mode, int stringCount, SavedGame& out);

// The file name of a profile's saved game in a mode; false when the name cannot name a file.
bool savedGameFileName(const char* profileName, int mode, char* out, size_t capacity);

// Board play into the record and back. The parts the board presentation keeps (debris, bolt
// sets, fades, the shake matrix) come from its hook; without one they are written empty.
void captureSavedGame(SavedGame& game);
void applySavedGame(const SavedGame& game);
using SavedPresentationHook = void (*)(SavedGame& game);
using SavedPresentationApply = void (*)(const SavedGame& game);
void setSavedGamePresentation(SavedPresentationHook capture, SavedPresentationApply apply);

// Writes the game in progress of the current profile and mode: only while a touched level
// runs in the game scene (or the trophy room opened from it), and only into a file that can
// name the profile. The flag and the mode's score change only once the file is complete.
bool saveGame();
// The score of the levels passed before the saved level of the current profile's game in
// `mode`, as its saved game keeps it; false when no whole saved game of the mode is offered.
// The mode's score also holds the saved level's points so far, which a fresh start of that
// level must not carry.
bool savedCarriedScore(int mode, int32_t& out);
