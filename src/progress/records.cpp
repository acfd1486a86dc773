#include "progress/records.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/application.h"
#include "app/key_text.h"
#include "app/resource_store.h"
#include "app/strings.h"
#include "platform/files.h"
#include "platform/random.h"
#include "progress/serialise.h"
#include "progress/settings_folder.h"

namespace {

constexpr int32_t kHighScoreBase[3] = {180000, 250000, 190000};

struct RecordState {
    RecordTable records{};
    HighScoreTable highScores{};
    int newEntry = -1;
    bool loaded = false;
    bool recordsRejected = false;    // a "records.dat" of the wrong size waits to become ".bad"
    bool highScoresRejected = false;
};

RecordState gRecords;

void readName(ByteReader& r, char* field, size_t capacity) {
    r.bytes(field, capacity);
    field[capacity - 1] = '\0';
}

bool validMode(int mode) { return mode >= 0 && mode < 3; }

// Keeps a rejected file beside the new one, so that its records are not lost unseen.
void keepRejected(const char* name, bool& rejected) {
    if (!rejected) return;
    std::string bad = std::string(name) + ".bad";
    moveSettingsFile(name, bad.c_str());
    rejected = false;
}

}  // namespace

RecordTable& recordTable() { return gRecords.records; }
HighScoreTable& highScoreTable() { return gRecords.highScores; }
bool recordTablesLoaded() { return gRecords.loaded; }
int newEntryIndex() { return gRecords.newEntry; }
void clearNewEntryIndex() { gRecords.newEntry = -1; }
void resetRecordState() { gRecords = RecordState{}; }

void encodeRecordTable(const RecordTable& table, std::vector<uint8_t>& out) {
    out.clear();
    out.reserve(kRecordFileBytes);
    ByteWriter w(out);
    for (const auto& mode : table.levels)
        for (const LevelRecord& rec : mode) {
            w.bytes(rec.scoreHolder, kRecordNameBytes);
            w.bytes(rec.repeatHolder, kRecordNameBytes);
            w.bytes(rec.movesHolder, kRecordNameBytes);
            w.bytes(rec.timeHolder, kRecordNameBytes);
            w.i32(rec.bestScore);
            w.i32(rec.bestRepeat);
            w.i32(rec.fewestMoves);
            w.i32(rec.fastestMs);
        }
}

bool decodeRecordTable(const uint8_t* bytes, size_t size, RecordTable& out) {
    if (!bytes || size != kRecordFileBytes) return false;
    ByteReader r(bytes, size);
    for (auto& mode : out.levels)
        for (LevelRecord& rec : mode) {
            readName(r, rec.scoreHolder, kRecordNameBytes);
            readName(r, rec.repeatHolder, kRecordNameBytes);
            readName(r, rec.movesHolder, kRecordNameBytes);
            readName(r, rec.timeHolder, kRecordNameBytes);
            rec.bestScore = r.i32();
            rec.bestRepeat = r.i32();
            rec.fewestMoves = r.i32();
            rec.fastestMs = r.i32();
        }
    return r.ok();
}

void encodeHighScoreTable(const HighScoreTable& table, std::vector<uint8_t>& out) {
    out.clear();
    out.reserve(kHighScoreFileBytes);
    ByteWriter w(out);
    for (const auto& mode : table.entries)
        for (const HighScoreEntry& e : mode) {
            w.bytes(e.name, kHighScoreNameBytes);
            w.i32(e.score);
        }
}

bool decodeHighScoreTable(const uint8_t* bytes, size_t size, HighScoreTable& out) {
    if (!bytes || size != kHighScoreFileBytes) return false;
    ByteReader r(bytes, size);
    for (auto& mode : out.entries)
        for (HighScoreEntry& e : mode) {
            readName(r, e.name, kHighScoreNameBytes);
            e.score = r.i32();
        }
    return r.ok();
}

const char* defaultName(int k) {
    if (k < 0 || k > 9) return "";
    return textAt(indexOfName("defname1") + k);
}

LevelPar readLevelPar(int levelNumber) {
    LevelPar par{0.0f, 0};
    char name[32];
    std::snprintf(name, sizeof name, "pack1_%.2i.lvl", levelNumber + 1);
    int32_t size = 0;
    uint8_t* data = loadFile(name, &size, false);
    if (!data || size <= 0) return par;
    // Level files stay in the store: the level scan and every level start read them again.
    std::string text(reinterpret_cast<const char*>(data), static_cast<size_t>(size));
    par.timeValue = getFloat(text.c_str(), "time=");
    float moves = getFloat(text.c_str(), "moves=");
    par.movesValue = std::isfinite(moves) && std::fabs(moves) < 2.0e9f ? static_cast<int32_t>(moves) : 0;
    return par;
}

void buildDefaultRecords(RecordTable& table, LevelParReader reader) {
    LevelPar pars[kRecordLevels];
    for (int n = 0; n < kRecordLevels; ++n) pars[n] = reader ? reader(n) : LevelPar{0.0f, 0};
    for (int m = 0; m < 3; ++m)
        for (int n = 0; n < kRecordLevels; ++n) {
            LevelRecord& rec = table.levels[m][n];
            std::memset(&rec, 0, sizeof rec);
            copyBounded(rec.scoreHolder, kRecordNameBytes, defaultName(platform::rand() % 10));
            copyBounded(rec.repeatHolder, kRecordNameBytes, defaultName(platform::rand() % 10));
            copyBounded(rec.movesHolder, kRecordNameBytes, defaultName(platform::rand() % 10));
            copyBounded(rec.timeHolder, kRecordNameBytes, defaultName(platform::rand() % 10));
            float timeValue = pars[n].timeValue;
            if (!std::isfinite(timeValue) || timeValue == 0.0f || std::fabs(timeValue) > 2.0e6f) timeValue = 10.0f;
            int32_t moves = pars[n].movesValue != 0 ? pars[n].movesValue : 50;
            rec.fewestMoves = moves;
            rec.fastestMs = static_cast<int32_t>(timeValue * 1000.0f);
        }
}

void buildDefaultHighScores(HighScoreTable& table) {
    for (int m = 0; m < 3; ++m)
        for (int j = 0; j < kHighScoreRows; ++j) {
            HighScoreEntry& e = table.entries[m][j];
            copyBounded(e.name, kHighScoreNameBytes, defaultName(j));
            e.score = (10 - j) * kHighScoreBase[m];
        }
}

void loadRecordTables() {
    if (settingsFolder().empty()) enterSettingsFolder();
    std::vector<uint8_t> bytes;
    FileRead read = loadSettingsFile("records.dat", bytes, kRecordFileBytes);
    gRecords.recordsRejected = read.present && read.size != kRecordFileBytes;
    if (!(read.present && read.whole && decodeRecordTable(bytes.data(), bytes.size(), gRecords.records))) {
        // The level files give the par values; they are read from the folder "levels".
        std::string back = platform::currentDir();
        std::string levels = application().dataFolder + "levels";
        bool entered = !application().dataFolder.empty() && platform::changeDir(levels.c_str());
        buildDefaultRecords(gRecords.records, entered ? readLevelPar : nullptr);
        if (entered) platform::changeDir(back.c_str());
    }
    bytes.clear();
    read = loadSettingsFile("hiscore.dat", bytes, kHighScoreFileBytes);
    gRecords.highScoresRejected = read.present && read.size != kHighScoreFileBytes;
    if (!(read.present && read.whole && decodeHighScoreTable(bytes.data(), bytes.size(), gRecords.highScores)))
        buildDefaultHighScores(gRecords.highScores);
    gRecords.newEntry = -1;
    gRecords.loaded = true;
}

void saveRecordTables() {
    if (!gRecords.loaded) return;
    std::vector<uint8_t> bytes;
    keepRejected("records.dat", gRecords.recordsRejected);
    encodeRecordTable(gRecords.records, bytes);
    saveSettingsFile("records.dat", bytes);
    keepRejected("hiscore.dat", gRecords.highScoresRejected);
    encodeHighScoreTable(gRecords.highScores, bytes);
    saveSettingsFile("hiscore.dat", bytes);
}

void updateLevelRecord(int mode, int level, int32_t score, int32_t repeatCount, int32_t moves, float elapsedMs,
                       const char* name) {
    if (!validMode(mode) || level < 0 || level >= kRecordLevels) return;
    LevelRecord& rec = gRecords.records.levels[mode][level];
    if (score >= rec.bestScore) {
        rec.bestScore = score;
        copyBounded(rec.scoreHolder, kRecordNameBytes, name);
    }
    if (repeatCount >= rec.bestRepeat) {
        rec.bestRepeat = repeatCount;
        copyBounded(rec.repeatHolder, kRecordNameBytes, name);
    }
    if (moves <= rec.fewestMoves) {
        rec.fewestMoves = moves;
        copyBounded(rec.movesHolder, kRecordNameBytes, name);
    }
    if (std::isfinite(elapsedMs) && elapsedMs >= 0.0f && static_cast<double>(rec.fastestMs) >= elapsedMs) {
        rec.fastestMs = static_cast<int32_t>(elapsedMs);
        copyBounded(rec.timeHolder, kRecordNameBytes, name);
    }
}

int insertHighScore(int mode, int32_t score, const char* name) {
    gRecords.newEntry = -1;
    if (!validMode(mode)) return -1;
    HighScoreEntry* rows = gRecords.highScores.entries[mode];
    int j = 0;
    while (j < kHighScoreRows && rows[j].score >= score) ++j;
    if (j == kHighScoreRows) return -1;
    for (int k = kHighScoreRows - 1; k > j; --k) rows[k] = rows[k - 1];
    std::memset(&rows[j], 0, sizeof rows[j]);
    copyBounded(rows[j].name, kHighScoreNameBytes, name);
    rows[j].score = score;
    gRecords.newEntry = j;
    return j;
}
