// Per-level records and the high-score tables, shared by every player.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kRecordLevels = 129;
constexpr int kHighScoreRows = 10;
constexpr int kRecordNameBytes = 20;
constexpr int kHighScoreNameBytes = 32;
constexpr size_t kLevelRecordBytes = 96;
constexpr size_t kRecordFileBytes = 37152;
constexpr size_t kHighScoreEntryBytes = 36;
constexpr size_t kHighScoreFileBytes = 1080;

struct LevelRecord {
    char scoreHolder[kRecordNameBytes];
    char repeatHolder[kRecordNameBytes];
    char movesHolder[kRecordNameBytes];
    char timeHolder[kRecordNameBytes];
    int32_t bestScore;
    int32_t bestRepeat;
    int32_t fewestMoves;
    int32_t fastestMs;
};

struct RecordTable {
    LevelRecord levels[3][kRecordLevels];
};

struct HighScoreEntry {
    char name[kHighScoreNameBytes];
    int32_t score;
};

struct HighScoreTable {
    HighScoreEntry entries[3][kHighScoreRows];
};

RecordTable& recordTable();
HighScoreTable& highScoreTable();

// Reads "records.dat" and "hiscore.dat" from the settings folder, or builds their defaults.
void loadRecordTables();
// Writes both (after the settings and profiles); a failure is the fatal "Can't save %s...".
// A file rejected at load is first kept as "<name>.bad".
void saveRecordTables();
bool recordTablesLoaded();

void encodeRecordTable(const RecordTable& table, std::vector<uint8_t>& out);
bool decodeRecordTable(const uint8_t* bytes, size_t size, RecordTable& out);  // exactly 37152
void encodeHighScoreTable(const HighScoreTable& table, std::vector<uint8_t>& out);
bool decodeHighScoreTable(const uint8_t* bytes, size_t size, HighScoreTable& out);  // exactly 1080

// The time and moves values of a level file as written there (0 when absent).
struct LevelPar {
    float timeValue;
    int32_t movesValue;
};
using LevelParReader = LevelPar (*)(int levelNumber);
LevelPar readLevelPar(int levelNumber);  // from "levels/pack1_%.2i.lvl"
// Default name k (0..9): the string-table entry k places after "defname1".
const char* defaultName(int k);
void buildDefaultRecords(RecordTable& table, LevelParReader reader);
void buildDefaultHighScores(HighScoreTable& table);

// A won level's values against the record of (mode, level); equal values take the record.
// elapsedMs is the play time shown in the result window.
void updateLevelRecord(int mode, int level, int32_t score, int32_t repeatCount, int32_t moves, float elapsedMs,
                       const char* name);
// A finished game's score; returns the row it took (0..9) or -1.
int insertHighScore(int mode, int32_t score, const char* name);
int newEntryIndex();
void clearNewEntryIndex();

void resetRecordState();  // tests
