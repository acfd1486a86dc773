#include "board/bonuses.h"

#include <cmath>
#include <cstring>

#include "app/frame_clock.h"
#include "audio/audio.h"
#include "board/board.h"
#include "board/falling.h"
#include "board/outcome.h"
#include "board/play.h"
#include "menus/menus.h"
#include "platform/random.h"
#include "render/effects.h"

namespace {

constexpr float kPi = 3.14159265f;

// Gives the clicked cell a bonus: a figure without one keeps its place carrying it; a figure
// that already carries one breaks as marked and leaves the new one pending.
void giveBonus(Cell& cell, int kind) {
    if (cell.bonus == kNoBonus) {
        cell.bonus = kind;
        cell.bonusTimer = 2000.0f;
        cell.breakMark = 0;
    } else {
        cell.pendingBonus = kind;
    }
}

bool shakes(int kind) { return kind == kBomb || kind == kCrossBomb || kind == kDiagonalBomb || kind == kMegaBomb; }

void hitAt(int row, int column, const Explosion& e) { hitCell(row, column, e); }

void crossPattern(const Explosion& e) {
    for (int i = 1; i <= 11; ++i) {
        hitAt(e.row, e.column + i, e);
        hitAt(e.row, e.column - i, e);
        hitAt(e.row + i, e.column, e);
        hitAt(e.row - i, e.column, e);
    }
}

void diagonalPattern(const Explosion& e) {
    for (int i = 1; i <= 11; ++i) {
        hitAt(e.row + i, e.column + i, e);
        hitAt(e.row + i, e.column - i, e);
        hitAt(e.row - i, e.column + i, e);
        hitAt(e.row - i, e.column - i, e);
    }
}

// One bolt to every figure of the kind that the Lightning broke, from the Lightning's cell.
void drawBoltSet(const Explosion& e, int kind) {
    Board& b = board();
    if (kind < 0 || kind >= kFigureKinds || b.boltKindsDrawn[kind]) return;
    BoltSet& set = b.boltSets[b.nextBoltSet];
    b.nextBoltSet = (b.nextBoltSet + 1) % kBoltSetCapacity;
    std::memset(&set, 0, sizeof set);
    set.origin = Vec2{e.x, e.y};
    for (int r = 0; r < kRows && set.count < kBoltsPerSet; ++r)
        for (int c = 0; c < kColumns && set.count < kBoltsPerSet; ++c) {
            const Cell& cell = b.cells[r][c];
            if (!hasFigure(r, c) || cell.figure != kind || cell.breakMark != 3) continue;
            Bolt& bolt = set.bolts[set.count++];
            bolt.target = cellCentre(r, c);
            const uint32_t red = 40 + static_cast<uint32_t>(platform::rand() % 215);
            const uint32_t green = 40 + static_cast<uint32_t>(platform::rand() % 215);
            const uint32_t blue = 40 + static_cast<uint32_t>(platform::rand() % 215);
            bolt.colour = 0xFF000000u | (red << 16) | (green << 8) | blue;
            bolt.life = 800.0f;
        }
    b.boltKindsDrawn[kind] = 1;
}

void startExplosion(Explosion& e) {
    Board& b = board();
    e.started = 1;
    if (e.duration > b.inputLock) b.inputLock = e.duration;
    if (shakes(e.kind)) {
        b.shakeOn = 1;
        b.shakeClock = 0.0f;
    }
    switch (e.kind) {
    case kBomb: {
        startEffect("bomb1_1", e.x, e.y);
        playSound("ExplosionBomb.ogg");
        static const int kSteps[12][2] = {{0, 1},  {0, 2},  {0, -1}, {0, -2}, {-1, -1}, {-1, 0},
                                          {-1, 1}, {1, -1}, {1, 0},  {1, 1},  {-2, 0},  {2, 0}};
        for (const auto& s : kSteps) hitAt(e.row + s[0], e.column + s[1], e);
        break;
    }
    case kLightning: {
        playSound("Thunderbolt.ogg");
        const int kind = isCell(e.row, e.column) ? b.cells[e.row][e.column].figure : -1;
        if (kind >= 0) {
            // Every figure of its kind but its own: a figure that stays with a second bonus is
            // not set off by the Lightning it just fired.
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kColumns; ++c)
                    if ((r != e.row || c != e.column) && hasFigure(r, c) && b.cells[r][c].figure == kind)
                        hitAt(r, c, e);
            drawBoltSet(e, kind);
        }
        break;
    }
    case kCrossBomb:
        startEffect("krestbomb", e.x, e.y);
        crossPattern(e);
        break;
    case kDiagonalBomb:
        startEffect("krestbomb", e.x, e.y);
        diagonalPattern(e);
        break;
    case kMegaBomb:
        startEffect("prototip", e.x, e.y);
        playSound("ExplosionSuperBomb.ogg");
        crossPattern(e);
        diagonalPattern(e);
        break;
    default: break;
    }
    fireMarkedBonuses(true);
}

// The first 200 ms of a shaking explosion: the figures above it hop up and fall back.
void jolt(const Explosion& e, float frameMs) {
    Board& b = board();
    const float lift = std::cos(e.elapsed / 200.0f * 80.0f * kPi / 180.0f) * frameMs * 0.2f;
    for (int c = e.column - 1; c <= e.column + 1; ++c) {
        if (c < 0 || c >= kColumns) continue;
        for (int r = 0; r < e.row && r < kRows; ++r) {
            if (!hasFigure(r, c) || b.cells[r][c].chained) continue;
            bool below = true;
            for (int k = r + 1; k <= e.row - 1; ++k)
                if (!isCell(k, c)) below = false;
            if (below) b.cells[r][c].offset.y += lift;
        }
    }
}

void ageBolts(float frameMs) {
    Board& b = board();
    for (BoltSet& set : b.boltSets)
        for (int i = 0; i < set.count && i < kBoltsPerSet; ++i) {
            Bolt& bolt = set.bolts[i];
            if (bolt.life <= 0.0f) continue;
            bolt.life -= frameMs;
            if (bolt.life < 0.0f) bolt.life = 0.0f;
        }
}

}  // namespace

float explosionDuration(int kind) {
    switch (kind) {
    case kBomb: return 250.0f;
    case kLightning: return 500.0f;
    case kCrossBomb:
    case kDiagonalBomb:
    case kMegaBomb: return 700.0f;
    default: return 0.0f;
    }
}

void createBonuses() {
    Board& b = board();
    const GroupEntry& g = b.group[0];
    if (!isCell(g.row, g.column)) return;
    Cell& cell = b.cells[g.row][g.column];

    if (b.lightningRun == 3) {
        b.lightningRun = 0;
        playSound("AddThunder.ogg");
        giveBonus(cell, kLightning);
        b.lightningsMade += 1;
        b.lightningDecay = 0;
        if (b.lightningsMade >= 4) {
            awardFirstOf({13});
            b.lightningsMade = 0;
        }
    } else {
        b.lightningDecay += 1;
        if (b.lightningDecay > 4) {
            b.lightningsMade = 0;
            b.lightningDecay = 0;
        }
    }

    if (b.groupSize >= 8) {
        playSound("AddSuperBomb.ogg");
        giveBonus(cell, kMegaBomb);
        b.megasMadeInRow += 1;
        if (b.megasMadeInRow >= 3) {
            awardFirstOf({11});
            b.megasMadeInRow = 0;
        }
    } else if (b.groupSize >= 5) {
        playSound("AddBomb.ogg");
        giveBonus(cell, kBomb);
        b.bombsMadeInRow += 1;
        b.megasMadeInRow = 0;
        if (b.bombsMadeInRow >= 5) {
            awardFirstOf({15});
            b.bombsMadeInRow = 0;
        }
    } else {
        b.bombsMadeInRow = 0;
        b.megasMadeInRow = 0;
    }
}

void fireMarkedBonuses(bool delayed) {
    Board& b = board();
    const float now = frameClock().runningMs;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            if (!hasFigure(r, c) || cell.breakMark != 1 || cell.bonus <= kNoBonus) continue;
            Explosion& e = b.explosions[b.nextExplosion];
            b.nextExplosion = (b.nextExplosion + 1) % kExplosionCapacity;
            const Vec2 at = cellCentre(r, c);
            e = Explosion{};
            e.kind = cell.bonus;
            e.row = r;
            e.column = c;
            e.x = at.x;
            e.y = at.y;
            e.elapsed = 0.0f;
            e.startAt = delayed ? now + 150.0f : now;
            e.duration = explosionDuration(cell.bonus);
            e.started = 0;
            if (cell.pendingBonus > kNoBonus) {
                cell.bonus = cell.pendingBonus;
                cell.breakMark = 0;
            } else {
                cell.bonus = kNoBonus;
            }
            cell.pendingBonus = kNoBonus;
            if (delayed) b.comboCount += 1;
        }
}

void advanceExplosions() {
    Board& b = board();
    const FrameClock& clock = frameClock();
    ageBolts(clock.frameMs);
    for (int i = 0; i < kExplosionCapacity; ++i) {
        Explosion& e = b.explosions[i];
        if (e.kind <= 0) continue;
        if (!e.started) {
            if (e.startAt <= clock.runningMs) startExplosion(e);
            continue;
        }
        e.elapsed += clock.frameMs;
        if (shakes(e.kind) && e.elapsed < 200.0f) jolt(e, clock.frameMs);
        if (e.elapsed > e.duration) e.kind = 0;
    }
}

bool explosionsActive() {
    const Board& b = board();
    for (const Explosion& e : b.explosions)
        if (e.kind > 0) return true;
    return false;
}

void hitCell(int row, int column, const Explosion& explosion) {
    Board& b = board();
    if (!hasFigure(row, column)) return;
    Cell& cell = b.cells[row][column];
    if (cell.breakMark != 0) return;
    const Vec2 at = cellCentre(row, column);
    if (cell.bonus > kNoBonus) {
        const int kind = isCell(explosion.row, explosion.column) ? b.cells[explosion.row][explosion.column].figure : -2;
        if (cell.bonus == kLightning && explosion.kind == kLightning && cell.figure == kind) {
            cell.breakMark = 3;
            startEffect("lightning", at.x + 1.0f, at.y + 2.0f);
        } else {
            cell.breakMark = 1;
        }
        if (cell.chained) cell.breakMark = 0;
    } else if (explosion.kind == kBomb) {
        cell.breakMark = cell.chained ? 0 : 1;
    } else if (explosion.kind == kLightning) {
        cell.breakMark = cell.chained ? 0 : 3;
        startEffect("lightning", at.x + 1.0f, at.y + 2.0f);
    }
    cell.hitMark = 1;
    if (isCell(explosion.row, explosion.column)) b.cells[explosion.row][explosion.column].cellScore += b.colourStreak;
}

void shakeFrame() {
    Board& b = board();
    if (!b.shakeOn) return;
    b.shakeClock += frameClock().frameMs;
    const float d = 4.0f * std::sin(0.06f * b.shakeClock);
    b.shakeOffset = Vec2{d, d};
    if (b.shakeClock > 150.0f) {
        b.shakeOn = 0;
        b.shakeClock = 0.0f;
        b.shakeOffset = Vec2{0.0f, 0.0f};
    }
}

void hammerFrame() {
    Board& b = board();
    if (menuOpen() || b.levelComplete || b.levelLost || b.tip.showing || b.paused || b.mapFade) {
        setBoardCursor(false);
        return;
    }
    setBoardCursor(b.hammerArmed != 0);
    if (b.hammerShown >= b.hammerMax) {
        b.hammerShown = b.hammerMax;
        b.hammerTarget = b.hammerMin;
        if (!b.hammerReady && !b.hammerArmed) {
            b.hammerReady = 1;
            playSound("GetHammer.ogg");
        }
        openTip(-314.0f, -42.0f, "usehammer", 0.0f, true, 0);
        return;
    }
    const float difference = b.hammerTarget - b.hammerShown;
    if (difference > 0.001f) b.hammerShown += difference * frameClock().frameMs * 0.005f;
    else b.hammerShown = b.hammerTarget;
}

void hammerStrike(int row, int column) {
    Board& b = board();
    if (!hasFigure(row, column)) return;
    Cell& cell = b.cells[row][column];
    if (!cell.chained) cell.breakMark = 1;
    cell.hitMark = 1;
    b.hammerShown = b.hammerMin;
    b.hammerTarget = b.hammerMin;
    b.hammerArmed = 0;
    b.hammerReady = 0;
    setBoardCursor(false);
    b.groupSize = 0;
    b.idleClock = 0.0f;
    playSound("UseHammer.ogg");
    fireMarkedBonuses(false);
}
