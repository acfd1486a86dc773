#include "progress/map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/frame_clock.h"
#include "app/scene.h"
#include "app/trace.h"
#include "audio/audio.h"
#include "board/board.h"
#include "menus/cursor.h"
#include "menus/menus.h"
#include "platform/random.h"
#include "progress/game_modes.h"
#include "progress/profiles.h"
#include "render/backdrops.h"
#include "render/device.h"
#include "render/effects.h"

namespace {

MapState gMap;

// Where the sparkles of a first win land: the pieces of the artefact, from the panel's centre
// (a 256-unit panel).
constexpr float kPieceOffsets[10][2] = {{-55, 95}, {55, 95}, {95, 55}, {95, -55}, {55, -95},
                                        {-55, -95}, {-95, -55}, {-95, 55}, {0, 45}, {0, -45}};
// The resting panel: where the artefact picture is drawn on the map.
constexpr float kPanelRestX = 256.0f;
constexpr float kPanelRestY = 156.0f;
constexpr float kPanelRestSize = 256.0f;
constexpr float kSparkleLifeMs = 3000.0f;
constexpr float kSparkleTrailStep = 70.0f;
constexpr int kMaxTrailBursts = 8;  // per sparkle and frame, whatever the distance flown

void mapCue(int n) {
    char name[16];
    std::snprintf(name, sizeof name, "map%i.ogg", n);
    playSound(name);
}

int stageLevelCount(int stage) { return stageSize(clampedStage(stage)); }

int completedInStage(int stage) {
    const int s = clampedStage(stage), first = firstLevelOfStage(s);
    int n = 0;
    for (int i = 0; i < stageSize(s); ++i) n += levelCompleted(first + i) ? 1 : 0;
    return n;
}

int coverFor(int completedCount, int stage) {
    const int size = stageLevelCount(stage);
    if (size <= 0 || completedCount <= 0) return 0;
    return std::clamp(10 * completedCount / size, 0, 10);
}

// The panel shows a stage with a count of completed levels, with no reveal running.
void showStage(int stage, int completedCount) {
    StagePanel& p = gMap.panel;
    p.stage = clampedStage(stage);
    p.cover = coverFor(completedCount, p.stage);
    p.previousCover = p.cover;
    p.pulsing = false;
    p.revealing = false;
}

float distanceBetween(float ax, float ay, float bx, float by) { return std::hypot(ax - bx, ay - by); }

void travellerAt(float& x, float& y) {
    MapPoint p = pointAt(gMap.travellerDistance);
    mapToScreen(p.x, p.y, x, y);
}

void sendTraveller(int stage) {
    gMap.travellerStage = clampedStage(stage);
    gMap.travellerTarget = stagePosition(gMap.travellerStage);
}

void startSparkles(float fromX, float fromY) {
    const StagePanel& p = gMap.panel;
    gMap.sparkleArrived = false;
    const int last = std::min(p.cover, 10);
    for (int k = std::max(p.previousCover, 0); k < last; ++k) {
        Sparkle& s = gMap.sparkles[gMap.nextSparkle];
        gMap.nextSparkle = (gMap.nextSparkle + 1) % kMaxSparkles;
        s.x = s.startX = fromX;
        s.y = s.startY = fromY;
        s.targetX = kPanelRestX + kPieceOffsets[k][0] * kPanelRestSize / 256.0f;
        s.targetY = kPanelRestY + kPieceOffsets[k][1] * kPanelRestSize / 256.0f;
        s.speed = 0.8f + static_cast<float>(platform::rand() % 100) / 250.0f;
        s.spin = static_cast<float>(platform::rand() % 200 - 100) / 200.0f;
        s.angle = static_cast<float>(platform::rand() % 360);
        static const uint32_t kColours[3] = {0xFFFFF080u, 0xFFFFD040u, 0xFFA0F0FFu};
        s.colour = kColours[k % 3];
        s.age = 0.0f;
        s.trail = 0.0f;
    }
}

void sparkleArrives(Sparkle& s) {
    startEffect("map02", s.targetX, s.targetY);
    s.age = -1.0f;
    if (gMap.sparkleArrived) return;
    gMap.sparkleArrived = true;
    StagePanel& p = gMap.panel;
    p.flashMs = 400.0f;
    p.revealing = true;
    p.revealMs = 0.0f;
    p.pulsing = false;
    mapCue(4);
}

void updateSparkles(float dt) {
    for (Sparkle& s : gMap.sparkles) {
        if (s.age < 0.0f) continue;
        s.age += dt;
        const float f = std::min(1.0f, s.age / kSparkleLifeMs);
        const float blend = f * f * f;
        const float x = s.startX + (s.targetX - s.startX) * blend;
        const float y = s.startY + (s.targetY - s.startY) * blend;
        s.trail += distanceBetween(x, y, s.x, s.y);
        s.x = x;
        s.y = y;
        s.angle += s.spin * dt;
        // A few bursts per frame at most: a sparkle thrown far away leaves no endless trail.
        for (int n = 0; n < kMaxTrailBursts && s.trail >= kSparkleTrailStep; ++n) {
            startEffect("15", s.x, s.y);
            startEffect("10", s.x, s.y);
            s.trail -= kSparkleTrailStep;
        }
        if (!(s.trail < kSparkleTrailStep)) s.trail = 0.0f;
        if (distanceBetween(s.x, s.y, s.targetX, s.targetY) < 10.0f || s.age >= kSparkleLifeMs) sparkleArrives(s);
    }
}

void openPanel(int stage) {
    StagePanel& p = gMap.panel;
    p.openedStage = clampedStage(stage);
    p.state = 0;
    p.stateMs = 0.0f;
}

void updatePanel(float dt) {
    StagePanel& p = gMap.panel;
    if (p.pulsing) {
        p.pulseMs += dt;
        if (p.pulseMs >= 10000.0f) p.pulsing = false;
    }
    if (p.revealing) {
        p.revealMs += dt;
        if (!(0.007f * p.revealMs < 5.0f * 3.14159265f)) p.revealing = false;
    }
    p.flashMs = std::max(0.0f, p.flashMs - dt);
    if (p.state < 0 || p.state == 2) return;
    static const float kStateMs[5] = {1000.0f, 500.0f, 0.0f, 300.0f, 1000.0f};
    p.stateMs += dt;
    if (p.stateMs < kStateMs[p.state]) return;
    p.stateMs = 0.0f;
    p.state = p.state == 4 ? -1 : p.state + 1;
}

// The steps of the won-level sequence as its timer runs down.
void updateWonSequence(float dt) {
    if (gMap.wonTimer <= 0.0f) return;
    if (gMap.panel.state >= 0) return;  // waits while the stage panel is open
    const float before = gMap.wonTimer;
    gMap.wonTimer -= dt;
    if (before > 4000.0f && gMap.wonTimer <= 4000.0f && gMap.justWon >= 0) {
        float x, y;
        levelStarAt(gMap.justWon, x, y);
        if (levelCompleted(gMap.justWon + 1)) {
            gMap.wonTimer = 500.0f;
            mapCue(2);
        } else {
            startSparkles(x, y);
            mapCue(3);
        }
        startEffect("map02", x, y);
        gMap.justWon = -1;
    }
    if (before > 100.0f && gMap.wonTimer <= 100.0f) {
        const int a = gMap.currentLevel;
        if (!levelCompleted(a) && a >= 1 && stageComplete(stageOfLevel(a - 1))) {
            openPanel(stageOfLevel(a - 1));
            mapCue(6);
            gMap.wonTimer = 99.0f;
            return;
        }
    }
    if (gMap.wonTimer > 0.0f) return;
    gMap.wonTimer = 0.0f;
    const int stage = clampedStage(stageOfLevel(gMap.currentLevel));
    if (stage == gMap.travellerStage) return;
    sendTraveller(stage);
    float x, y;
    travellerAt(x, y);
    startEffect("map02", x - 20.0f, y);
    startEffect("map02", x + 20.0f, y);
    startEffect("map02", x, y + 20.0f);
    startEffect("map02", x, y - 20.0f);
    startEffect("map02", x, y);
    mapCue(8);
    showStage(stage, completedInStage(stage));
    gMap.starFade = kStarFadeMs;
}

bool congratulationRunning() { return gMap.congratulation >= 1 && gMap.congratulation <= 3; }

void updateCongratulation(float dt) {
    if (!gameCompletedShowing() || !congratulationRunning()) return;
    if (gMap.wonTimer > 0.0f || gMap.panel.state >= 0) return;  // the last level's sequence first
    if (gMap.congratulation == 2) return;
    gMap.congratulationMs += dt;
    if (gMap.congratulationMs < 500.0f) return;
    gMap.congratulationMs = 0.0f;
    if (gMap.congratulation == 1) {
        gMap.congratulation = 2;
        return;
    }
    gMap.congratulation = 4;
    clearGameCompleted();
    gMap.selectedLevel = 0;
    fadeToMusicSection(0);
    setMapView(0);
    traceCall("menu", "hiscore");
    openMenuByName("hiscore");
    openTransition(1000.0f);
}

bool inside(float x, float y, float cx, float cy, float w, float h) {
    return x >= cx - w / 2.0f && x <= cx + w / 2.0f && y >= cy - h / 2.0f && y <= cy + h / 2.0f;
}

bool insideView(float x, float y) {
    return x >= kViewLeft - 400.0f && x <= kViewRight - 400.0f && y <= 300.0f - kViewTop &&
           y >= 300.0f - kViewBottom;
}

}  // namespace

MapState& mapState() { return gMap; }
void resetMap() {
    const int view = 0;
    gMap = MapState{};
    gMap.view = view;
    for (Sparkle& s : gMap.sparkles) s.age = -1.0f;
}

int mapView() { return gMap.view; }
void setMapView(int view) {
    if (view == gMap.view) return;
    gMap.view = view;
    openTransition(1000.0f);
}

int clampedStage(int stage) { return std::clamp(stage, 0, kStageCount - 1); }

bool levelCompleted(int level) { return level >= 0 && level < kMapLevelFlags && gMap.completed[level] != 0; }

bool stageComplete(int stage) {
    if (stage < 0 || stage >= kStageCount) return false;
    return completedInStage(stage) == stageSize(stage);
}

bool stageOpen(int stage) {
    if (stage < 0 || stage >= kStageCount) return false;
    if (stage == 0 || sceneState().openAllLevels) return true;
    return completedInStage(stage) > 0 || stageComplete(stage - 1);
}

void setupMap(int a, int b, int c) {
    a = std::clamp(a, 0, kMapLevels);
    b = std::clamp(b, 0, kMapLevels);
    c = std::clamp(c, -1, kMapLevels - 1);
    {
        const int stage = clampedStage(stageOfLevel(a));
        const int size = stageSize(stage);
        gMap.panel.stage = stage;
        gMap.panel.cover = size > 0 ? std::clamp(10 * (a - firstLevelOfStage(stage)) / size, 0, 10) : 0;
        gMap.panel.previousCover = gMap.panel.cover;
        gMap.panel.pulsing = gMap.panel.revealing = false;
    }
    gMap.travellerDistance = gMap.travellerTarget;
    if (gameCompletedShowing()) {
        a = b = kMapLevels;
        c = kMapLevels - 1;
        gMap.congratulation = 1;
        gMap.congratulationMs = 0.0f;
    }
    std::fill(std::begin(gMap.completed), std::end(gMap.completed), uint8_t{0});
    for (int i = 0; i < b; ++i) gMap.completed[i] = 1;
    gMap.currentLevel = a;
    gMap.furthestLevel = b;
    gMap.selectedLevel = std::min(a, kLastLevel);
    gMap.justWon = c;
    gMap.panel.state = -1;
    if (c >= 0) {
        gMap.wonTimer = kWonSequenceMs;
        const int stage = clampedStage(stageOfLevel(c));
        const int count = completedInStage(stage);
        showStage(stage, count);
        if (!levelCompleted(c + 1)) {
            gMap.panel.previousCover = coverFor(count - 1, stage);
            gMap.panel.pulsing = true;
            gMap.panel.pulseMs = 0.0f;
        }
        return;
    }
    gMap.wonTimer = 0.0f;
    sendTraveller(stageOfLevel(a));
    if (gMap.travellerDistance > gMap.travellerTarget) gMap.travellerDistance = gMap.travellerTarget;
    if (!(std::fabs(gMap.travellerTarget - gMap.travellerDistance) <= 600.0f))
        gMap.travellerDistance = gMap.travellerTarget;
    gMap.starFade = kStarFadeMs;
}

void setupMapFromProgress(bool afterLevel) {
    const Board& b = board();
    const int won = afterLevel && b.advanced && b.levelIndex >= 1 ? b.levelIndex - 1 : -1;
    setupMap(currentLevelNumber(), furthestLevelNumber(), won);
}

int selectedLevel() { return gMap.selectedLevel; }

void placeTravellerOnCurrentStage() {
    sendTraveller(stageOfLevel(gMap.currentLevel));
    gMap.travellerDistance = gMap.travellerTarget;
}

float travellerSpeed(float remaining) {
    const float speed = 0.15f + 0.001f * std::max(0.0f, remaining - 300.0f);
    return std::min(speed, 0.6f);
}

void moveTraveller(float dt) {
    if (congratulationRunning() && gameCompletedShowing()) dt = 0.0f;
    const float before = std::fabs(gMap.travellerTarget - gMap.travellerDistance);
    if (before > 0.0f) {
        const float step = travellerSpeed(before) * dt;
        if (!(step < before)) {
            gMap.travellerDistance = gMap.travellerTarget;
            float x, y;
            travellerAt(x, y);
            startEffect("18", x, y);
        } else {
            gMap.travellerDistance += gMap.travellerTarget > gMap.travellerDistance ? step : -step;
        }
    }
    const float after = std::fabs(gMap.travellerTarget - gMap.travellerDistance);
    if (after > 200.0f && gMap.starFade > 0.0f && gMap.starFade <= kStarFadeMs) gMap.starFade = kStarFadeMs;
    if (before > 130.0f && after <= 130.0f) mapCue(9);
}

void updateMapTimers(float dt) {
    gMap.starFade = std::max(0.0f, gMap.starFade - dt);
    updatePanel(dt);
    updateSparkles(dt);
    updateWonSequence(dt);
    updateCongratulation(dt);
}

void mapToScreen(float mapX, float mapY, float& x, float& y) {
    MapPoint t = pointAt(gMap.travellerDistance);
    const float halfW = (kViewRight - kViewLeft) / 2.0f, halfH = (kViewBottom - kViewTop) / 2.0f;
    float cx = std::isfinite(t.x) ? std::clamp(t.x, halfW, 1024.0f - halfW) : 512.0f;
    float cy = std::isfinite(t.y) ? std::clamp(t.y, halfH, 1024.0f - halfH) : 512.0f;
    const float sx = (kViewLeft + halfW) + (mapX - cx), sy = (kViewTop + halfH) + (mapY - cy);
    x = sx - 400.0f;
    y = 300.0f - sy;
}

void stageIconAt(int stage, float& x, float& y) {
    MapPoint p = pointAt(stagePosition(stage));
    mapToScreen(p.x, p.y, x, y);
}

void levelStarAt(int level, float& x, float& y) {
    const int stage = clampedStage(stageOfLevel(level));
    const int n = std::max(1, stageSize(stage));
    const int j = std::clamp(level - firstLevelOfStage(stage), 0, n - 1);
    stageIconAt(stage, x, y);
    const float a = 6.2831853f * static_cast<float>(j) / static_cast<float>(n);
    x += 44.0f * std::sin(a);
    y += 44.0f * std::cos(a);
}

bool mapAnimating() {
    if (gMap.view != 1) return false;
    return gMap.panel.state >= 0 || (gameCompletedShowing() && congratulationRunning());
}

bool mapLevelChoosable(int level) {
    return level >= 0 && level <= kLastLevel && (level <= gMap.furthestLevel || sceneState().openAllLevels);
}

void chooseMapLevel(int level) {
    if (mapLevelChoosable(level)) gMap.selectedLevel = level;
}

int mapLevelMarks(MapLevelMark* out, int capacity) {
    if (gMap.view != 1 || !out) return 0;
    const int stage = clampedStage(gMap.travellerStage);
    const int first = firstLevelOfStage(stage);
    int n = 0;
    for (int j = 0; j < stageSize(stage) && n < capacity; ++j) {
        const int level = first + j;
        float x, y;
        levelStarAt(level, x, y);
        MapLevelMark& m = out[n++];
        m.left = x - 16.0f;
        m.right = x + 16.0f;
        m.top = y + 16.0f;
        m.bottom = y - 16.0f;
        m.level = level;
        if (level == gMap.selectedLevel) m.state = kMarkSelected;
        else if (levelCompleted(level)) m.state = kMarkCompleted;
        else if (level == 0 || levelCompleted(level - 1) || sceneState().openAllLevels) m.state = kMarkOpen;
        else m.state = kMarkClosed;
    }
    return n;
}

bool mapPress() {
    float x, y;
    logicalCursor(x, y);
    return mapPressAt(x, y);
}

bool mapPressAt(float x, float y) {
    if (gMap.view != 1) return false;
    StagePanel& p = gMap.panel;
    if (p.state >= 0) {
        float bx, by, bw, bh;
        stagePanelButton(bx, by, bw, bh);
        if (p.state == 2 && inside(x, y, bx, by, bw, bh)) {
            playSound("map7.ogg");
            playSound("menu.ogg");
            p.state = 3;
            p.stateMs = 0.0f;
        }
        return true;
    }
    if (gameCompletedShowing() && congratulationRunning()) {
        if (gMap.congratulation == 2 && inside(x, y, 0.0f, -50.0f, 128.0f, 64.0f)) {
            gMap.congratulation = 3;
            gMap.congratulationMs = 0.0f;
        }
        return true;
    }
    if (!insideView(x, y)) return false;
    for (int s = 0; s < kStageCount; ++s) {
        if (s == gMap.travellerStage || !stageOpen(s)) continue;
        float ix, iy;
        stageIconAt(s, ix, iy);
        if (!inside(x, y, ix, iy, 64.0f, 64.0f)) continue;
        const int first = firstLevelOfStage(s);
        gMap.selectedLevel = first;
        for (int j = 0; j < stageSize(s); ++j)
            if (!levelCompleted(first + j)) {
                gMap.selectedLevel = first + j;
                break;
            }
        sendTraveller(s);
        showStage(s, completedInStage(s));
        gMap.starFade = kStarFadeMs;
        gMap.wonTimer = 0.0f;
        gMap.justWon = -1;
        mapCue(5);
        startEffect("map02", x, y);
        return true;
    }
    const int stage = clampedStage(gMap.travellerStage);
    const int first = firstLevelOfStage(stage);
    for (int j = 0; j < stageSize(stage); ++j) {
        const int level = first + j;
        float sx, sy;
        levelStarAt(level, sx, sy);
        if (distanceBetween(x, y, sx, sy) > 16.0f) continue;
        if (!(level == 0 || levelCompleted(level - 1) || sceneState().openAllLevels)) return false;
        if (level <= kLastLevel) gMap.selectedLevel = level;
        mapCue(1);
        startEffect("map02", x, y);
        return true;
    }
    return false;
}

void mapFrame() {
    if (gMap.view != 1) {
        begin2D();
        drawStillBackdrop();
        updateAudio();
        return;
    }
    const float dt = frameClock().frameMs;
    float x, y;
    logicalCursor(x, y);
    const auto glow = [&](float& value, bool over) {
        value = over ? std::min(255.0f, value + dt) : std::max(0.0f, value - dt);
    };
    glow(gMap.backGlow, inside(x, y, -364.0f, 264.0f, 64.0f, 64.0f));
    glow(gMap.startGlow, inside(x, y, 258.0f, -245.0f, 256.0f, 128.0f));
    gMap.hoveredStage = -1;
    if (insideView(x, y) && gMap.panel.state < 0)
        for (int s = 0; s < kStageCount; ++s) {
            float ix, iy;
            stageIconAt(s, ix, iy);
            if (stageOpen(s) && inside(x, y, ix, iy, 64.0f, 64.0f)) gMap.hoveredStage = s;
        }
    if (gMap.hoveredStage >= 0 && gMap.hoveredStage != gMap.travellerStage) {
        gMap.hoverSparkleMs += dt;
        for (int n = 0; n < 4 && gMap.hoverSparkleMs >= 40.0f; ++n) {
            gMap.hoverSparkleMs -= 40.0f;
            float ix, iy;
            stageIconAt(gMap.hoveredStage, ix, iy);
            const float a = frameClock().runningMs * 0.006f;
            startEffect("10", ix + 36.0f * std::cos(a), iy + 36.0f * std::sin(a));
        }
        if (gMap.hoverSparkleMs >= 40.0f) gMap.hoverSparkleMs = 0.0f;
    }
    moveTraveller(dt);
    updateMapTimers(dt);
    drawJourneyMap();
    updateAudio();
}
