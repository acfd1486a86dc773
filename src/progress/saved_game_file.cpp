// The saved-game file: 51656 bytes in a fixed order, every field written on its own.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "progress/profiles.h"
#include "progress/saved_game.h"
#include "progress/serialise.h"

namespace {

// Offsets of the file's parts.
constexpr size_t kExplosionsAt = 9000;
constexpr size_t kCellsAt = 15600;
constexpr size_t kBoltsAt = 30912;
constexpr size_t kAlphasAt = 51392;

void writeDebris(ByteWriter& w, const SavedDebris& d) {
    size_t start = w.size();
    w.i32(d.kindPlusOne);
    for (float v : d.position) w.f32(v);
    for (float v : d.velocity) w.f32(v);
    w.i32(d.frame);
    w.f32(d.frameClock);
    w.i32(d.style);
    w.f32(d.turn);
    w.f32(d.scale);
    w.padTo(start + kDebrisRecordBytes);
}

void readDebris(ByteReader& r, SavedDebris& d) {
    size_t start = r.position();
    d.kindPlusOne = r.i32();
    for (float& v : d.position) v = r.f32();
    for (float& v : d.velocity) v = r.f32();
    d.frame = r.i32();
    d.frameClock = r.f32();
    d.style = r.i32();
    d.turn = r.f32();
    d.scale = r.f32();
    r.seek(start + kDebrisRecordBytes);
}

// The fields in order with their natural alignment, then zeros to the record's size.
void writeExplosion(ByteWriter& w, const SavedExplosion& e) {
    size_t start = w.size();
    w.i32(e.kind);
    w.i32(e.row);
    w.i32(e.column);
    w.f32(e.x);
    w.f32(e.y);
    w.f32(e.elapsed);
    w.f32(e.startAt);
    w.f32(e.duration);
    w.u8(e.started);
    w.padTo(start + kExplosionRecordBytes);
}

void readExplosion(ByteReader& r, SavedExplosion& e) {
    size_t start = r.position();
    e.kind = r.i32();
    e.row = r.i32();
    e.column = r.i32();
    e.x = r.f32();
    e.y = r.f32();
    e.elapsed = r.f32();
    e.startAt = r.f32();
    e.duration = r.f32();
    e.started = r.u8();
    r.seek(start + kExplosionRecordBytes);
}

void writeCell(ByteWriter& w, const SavedCell& c) {
    size_t start = w.size();
    w.i32(c.squares);
    w.i32(c.chained);
    w.f32(c.offsetX);
    w.f32(c.offsetY);
    w.i32(c.figure);
    w.i32(c.animFrame);
    w.i32(c.bonus);
    w.i32(c.pendingBonus);
    w.u8(c.refillMark);
    w.padTo(start + 36);
    w.f32(c.fallSpeed);
    w.f32(c.bonusTimer);
    w.u8(c.slideFlag);
    w.u8(c.hovered);
    w.u8(c.alive);
    w.padTo(start + 48);
    w.f32(c.spinTimer);
    w.f32(c.spinClock);
    w.i32(c.breakMark);
    w.u8(c.hitMark);
    w.padTo(start + 64);
    w.i32(c.groupStep);
    w.i32(c.groupId);
    w.f32(c.floatPosX);
    w.f32(c.floatPosY);
    w.f32(c.floatVelX);
    w.f32(c.floatVelY);
    w.i32(c.cellScore);
    w.f32(c.delayTimer);
    w.padTo(start + kCellRecordBytes);
}

void readCell(ByteReader& r, SavedCell& c) {
    size_t start = r.position();
    c.squares = r.i32();
    c.chained = r.i32();
    c.offsetX = r.f32();
    c.offsetY = r.f32();
    c.figure = r.i32();
    c.animFrame = r.i32();
    c.bonus = r.i32();
    c.pendingBonus = r.i32();
    c.refillMark = r.u8();
    r.seek(start + 36);
    c.fallSpeed = r.f32();
    c.bonusTimer = r.f32();
    c.slideFlag = r.u8();
    c.hovered = r.u8();
    c.alive = r.u8();
    r.seek(start + 48);
    c.spinTimer = r.f32();
    c.spinClock = r.f32();
    c.breakMark = r.i32();
    c.hitMark = r.u8();
    r.seek(start + 64);
    c.groupStep = r.i32();
    c.groupId = r.i32();
    c.floatPosX = r.f32();
    c.floatPosY = r.f32();
    c.floatVelX = r.f32();
    c.floatVelY = r.f32();
    c.cellScore = r.i32();
    c.delayTimer = r.f32();
    r.seek(start + kCellRecordBytes);
}

void writeBoltPoint(ByteWriter& w, const SavedBoltPoint& p) {
    w.f32(p.x);
    w.f32(p.y);
    w.f32(p.z);
    w.u32(p.colour);
    w.f32(p.life);
}

void readBoltPoint(ByteReader& r, SavedBoltPoint& p) {
    p.x = r.f32();
    p.y = r.f32();
    p.z = r.f32();
    p.colour = r.u32();
    p.life = r.f32();
}

// The counters board play adds to as it goes on, kept within what a level's play can reach so
// that a damaged file can neither overflow them nor hand out the feats they count. A move takes
// at least its input lock, so a level holds far fewer moves than this; a run of one kind far
// past its last feat; scores far past any level's and any game's of 129 levels.
constexpr int32_t kMostMoves = 1000000;
constexpr int32_t kLongestRun = 1000;
constexpr int32_t kMostLevelScore = 100000000;
constexpr int32_t kCells = kSavedRows * kSavedColumns;

int32_t clampTo(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

void clampCounters(SavedGame& g) {
    g.movesUsed = clampTo(g.movesUsed, 0, kMostMoves);
    // The first move of a level follows no group, so a run counts one move less than were made.
    g.bestStreak = clampTo(g.bestStreak, 0, std::min(std::max(g.movesUsed - 1, 0), kLongestRun));
    g.colourStreak = clampTo(g.colourStreak, 0, g.bestStreak);
    // Every third group of a run makes a Lightning and starts the count again.
    g.lightningRun = clampTo(g.lightningRun, 0, 2);
    // Each cell carries a bonus and at most one more behind it into a chain.
    g.comboCount = clampTo(g.comboCount, 0, 2 * kCells);
    // An explosion earns its cell the run's count for every cell it hits.
    for (auto& row : g.cells)
        for (SavedCell& c : row) c.cellScore = clampTo(c.cellScore, 0, 2 * kCells * g.colourStreak);
    g.levelScore = clampTo(g.levelScore, 0, kMostLevelScore);
    g.shownScore = clampTo(g.shownScore, 0, g.levelScore);  // counts up towards the level score
    g.carriedScore = clampTo(g.carriedScore, 0, kMaxGameScore);
}

bool finite(float v) { return std::isfinite(v); }
bool within(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }
bool isFlag(uint8_t v) { return v <= 1; }

bool cellUsable(const SavedCell& c) {
    if (!within(c.squares, -1, 2) || !within(c.chained, 0, 1) || !within(c.figure, -1, 16)) return false;
    if (!within(c.bonus, 0, 5) || !within(c.pendingBonus, 0, 5) || !within(c.animFrame, 0, 31)) return false;
    if (c.breakMark != 0 && c.breakMark != 1 && c.breakMark != 3) return false;
    for (float v : {c.offsetX, c.offsetY, c.fallSpeed, c.bonusTimer, c.spinTimer, c.spinClock, c.floatPosX,
                    c.floatPosY, c.floatVelX, c.floatVelY, c.delayTimer})
        if (!finite(v)) return false;
    return true;
}

bool explosionUsable(const SavedExplosion& e) {
    if (!within(e.kind, 0, 5)) return false;
    if (e.kind != 0 && (!within(e.row, 0, kSavedRows - 1) || !within(e.column, 0, kSavedColumns - 1))) return false;
    for (float v : {e.x, e.y, e.elapsed, e.startAt, e.duration})
        if (!finite(v)) return false;
    return true;
}

bool debrisUsable(const SavedDebris& d) {
    if (!within(d.kindPlusOne, 0, 17) || !within(d.frame, 0, 31) || !within(d.style, 0, 2)) return false;
    for (float v : d.position)
        if (!finite(v)) return false;
    for (float v : d.velocity)
        if (!finite(v)) return false;
    return finite(d.frameClock) && finite(d.turn) && finite(d.scale);
}

bool gameUsable(const SavedGame& g, int mode) {
    for (const SavedDebris& d : g.debris)
        if (!debrisUsable(d)) return false;
    for (const SavedExplosion& e : g.explosions)
        if (!explosionUsable(e)) return false;
    for (const auto& row : g.cells)
        for (const SavedCell& c : row)
            if (!cellUsable(c)) return false;
    for (const SavedBoltSet& set : g.bolts)
        for (const SavedBoltPoint& p : set.points)
            if (!finite(p.x) || !finite(p.y) || !finite(p.z) || !finite(p.life)) return false;
    if (!within(g.nextDebris, 0, kSavedDebris - 1) || !within(g.nextExplosion, 0, kSavedExplosions - 1)) return false;
    if (!within(g.nextBoltSet, 0, kBoltSets - 1)) return false;
    if (g.gameMode != mode || !within(g.cursorKind, 0, 2)) return false;
    if (!within(g.previousKind, -2, 16)) return false;
    for (uint8_t f : {g.paused, g.menuOpen, g.levelComplete, g.bonusShowing, g.tipShown, g.lostOnce, g.tip.showing, g.tip.modal})
        if (!isFlag(f)) return false;
    for (float v : g.shake.matrix)
        if (!finite(v)) return false;
    for (float v : {g.boardAlpha, g.debrisAlpha, g.shake.shakeClock, g.tip.x, g.tip.y, g.tip.delay, g.runningMs,
                    g.inputLock, g.elapsedMs, g.timeLimitMs, g.hudSlide, g.pauseClock, g.levelEndClock, g.progress,
                    g.hammerShown, g.hammerTarget})
        if (!finite(v)) return false;
    return true;
}

}  // namespace

float progressFraction(int32_t targetsLeft, int32_t targetsAtStart) {
    if (targetsAtStart == 0) return 1.0f;
    return 1.0f - static_cast<float>(targetsLeft) / static_cast<float>(targetsAtStart);
}

void encodeSavedGame(const SavedGame& g, std::vector<uint8_t>& out) {
    out.clear();
    out.reserve(kSavedGameBytes);
    ByteWriter w(out);
    for (const SavedDebris& d : g.debris) writeDebris(w, d);
    for (const SavedExplosion& e : g.explosions) writeExplosion(w, e);
    for (const auto& row : g.cells)
        for (const SavedCell& c : row) writeCell(w, c);
    for (const SavedBoltSet& set : g.bolts)
        for (const SavedBoltPoint& p : set.points) writeBoltPoint(w, p);
    w.f32(g.boardAlpha);
    w.f32(g.debrisAlpha);
    w.u32(g.boardColour);
    w.u32(g.debrisColour);
    w.i32(g.nextDebris);
    w.i32(g.nextExplosion);
    for (float v : g.shake.matrix) w.f32(v);
    w.i32(g.shake.shakeOn);
    w.f32(g.shake.shakeClock);
    w.zeros(12);
    w.u8(g.tip.showing);
    w.u8(g.tip.modal);
    w.u8(g.tip.style);
    w.u8(0);
    w.f32(g.tip.x);
    w.f32(g.tip.y);
    w.f32(g.tip.delay);
    w.i32(g.tip.textRef);
    w.i32(g.shownScore);
    w.i32(g.levelScore);
    w.i32(g.cursorKind);
    w.i32(0);
    w.i32(0);
    w.i32(g.carriedScore);
    w.i32(g.comboCount);
    w.i32(g.nextBoltSet);
    w.i32(g.targetsLeft);
    w.i32(g.targetsAtStart);
    w.i32(g.bestStreak);
    w.i32(g.colourStreak);
    w.i32(g.runDisplay);
    w.i32(g.lightningRun);
    w.i32(g.previousKind);
    w.i32(g.movesUsed);
    w.i32(g.hoverRow);
    w.i32(g.hoverColumn);
    w.zeros(8);
    w.u8(g.paused);
    w.u8(g.menuOpen);
    w.u8(g.levelComplete);
    w.u8(g.bonusShowing);
    w.u8(0);
    w.u8(g.tipShown);
    w.u8(g.lostOnce);
    w.u8(g.gameMode);
    w.f32(g.runningMs);
    w.f32(g.inputLock);
    w.f32(g.elapsedMs);
    w.f32(g.timeLimitMs);
    w.f32(g.hudSlide);
    w.f32(g.pauseClock);
    w.f32(g.levelEndClock);
    w.f32(g.progress);
    w.i32(0);
    w.f32(g.hammerShown);
    w.f32(g.hammerTarget);
    w.f32(0.0f);
}

bool decodeSavedGame(const uint8_t* bytes, size_t size, int mode, int stringCount, SavedGame& out) {
    if (!bytes || size != kSavedGameBytes || mode < 0 || mode > 2) return false;
    static SavedGame g;  // read aside; `out` changes only when the whole file is usable
    ByteReader r(bytes, size);
    for (SavedDebris& d : g.debris) readDebris(r, d);
    r.seek(kExplosionsAt);
    for (SavedExplosion& e : g.explosions) readExplosion(r, e);
    r.seek(kCellsAt);
    for (auto& row : g.cells)
        for (SavedCell& c : row) readCell(r, c);
    r.seek(kBoltsAt);
    for (SavedBoltSet& set : g.bolts)
        for (SavedBoltPoint& p : set.points) readBoltPoint(r, p);
    r.seek(kAlphasAt);
    g.boardAlpha = r.f32();
    g.debrisAlpha = r.f32();
    g.boardColour = r.u32();
    g.debrisColour = r.u32();
    g.nextDebris = r.i32();
    g.nextExplosion = r.i32();
    for (float& v : g.shake.matrix) v = r.f32();
    g.shake.shakeOn = r.i32();
    g.shake.shakeClock = r.f32();
    r.skip(12);
    g.tip.showing = r.u8();
    g.tip.modal = r.u8();
    g.tip.style = r.u8();
    r.skip(1);
    g.tip.x = r.f32();
    g.tip.y = r.f32();
    g.tip.delay = r.f32();
    g.tip.textRef = r.i32();
    g.shownScore = r.i32();
    g.levelScore = r.i32();
    g.cursorKind = r.i32();
    r.skip(8);
    g.carriedScore = r.i32();
    g.comboCount = r.i32();
    g.nextBoltSet = r.i32();
    g.targetsLeft = r.i32();
    g.targetsAtStart = r.i32();
    g.bestStreak = r.i32();
    g.colourStreak = r.i32();
    g.runDisplay = r.i32();
    g.lightningRun = r.i32();
    g.previousKind = r.i32();
    g.movesUsed = r.i32();
    g.hoverRow = r.i32();
    g.hoverColumn = r.i32();
    r.skip(8);
    g.paused = r.u8();
    g.menuOpen = r.u8();
    g.levelComplete = r.u8();
    g.bonusShowing = r.u8();
    r.skip(1);
    g.tipShown = r.u8();
    g.lostOnce = r.u8();
    g.gameMode = r.u8();
    g.runningMs = r.f32();
    g.inputLock = r.f32();
    g.elapsedMs = r.f32();
    g.timeLimitMs = r.f32();
    g.hudSlide = r.f32();
    g.pauseClock = r.f32();
    g.levelEndClock = r.f32();
    g.progress = r.f32();
    r.skip(4);
    g.hammerShown = r.f32();
    g.hammerTarget = r.f32();
    r.skip(4);
    if (!r.ok() || r.position() != kSavedGameBytes || !gameUsable(g, mode)) return false;
    clampCounters(g);
    // A tip whose text is not in the table is no tip.
    if (g.tip.textRef < -1 || g.tip.textRef >= stringCount) {
        g.tip.textRef = -1;
        g.tip.showing = 0;
    }
    out = g;
    return true;
}

bool savedGameFileName(const char* profileName, int mode, char* out, size_t capacity) {
    static const char* const kSuffix[3] = {"cls", "ndl", "org"};
    if (mode < 0 || mode > 2 || !isValidProfileName(profileName)) return false;
    std::snprintf(out, capacity, "%s_%s.sav", profileName, kSuffix[mode]);
    return true;
}
