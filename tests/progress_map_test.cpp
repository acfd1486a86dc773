// The journey map's rules without a window: the path file and its damaged forms, which stages
// and stars can be picked, the traveller's speeds, the won-level sequence with its sparkles and
// stage panel, the last level's congratulation, and the screen transition.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "app/frame_clock.h"
#include "app/play_runner.h"
#include "app/scene.h"
#include "app/trace.h"
#include "progress/game_modes.h"
#include "progress/map.h"
#include "progress/profiles.h"

namespace {

void putI32(std::vector<uint8_t>& out, int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}
void putF32(std::vector<uint8_t>& out, float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A path file: N as given, L, then the points (as stored, before they are moved onto the map).
std::vector<uint8_t> splineFile(int32_t n, float length, const std::vector<MapPoint>& points, bool markers = true) {
    std::vector<uint8_t> out;
    putI32(out, n);
    putF32(out, length);
    for (const MapPoint& p : points) {
        putF32(out, p.x);
        putF32(out, p.y);
    }
    if (markers)
        for (int i = 0; i < 10; ++i) putF32(out, 0.0f);
    return out;
}

// A path winding across the map in rows 80 units apart, points 20 units apart: long enough for
// its 15 stages to stand 160 units from each other.
std::vector<MapPoint> windingPath(int count) {
    std::vector<MapPoint> pts;
    float x = -300.0f, y = -250.0f, dir = 1.0f;
    for (int i = 0; i < count; ++i) {
        pts.push_back(MapPoint{x, y});
        if ((dir > 0 && x >= 300.0f) || (dir < 0 && x <= -300.0f)) {
            y += 20.0f;
            if (static_cast<int>(y + 250.0f) % 80 == 0) dir = -dir;
        } else {
            x += 20.0f * dir;
        }
    }
    return pts;
}

class JourneyMap : public ::testing::Test {
protected:
    void SetUp() override {
        resetGameState();
        setTracing(true);
        clearTrace();
        const std::vector<MapPoint> pts = windingPath(121);
        const std::vector<uint8_t> file = splineFile(121, 2400.0f, pts);
        readMapSpline(file.data(), static_cast<int32_t>(file.size()), mapPath());
        resetMap();
        setMapView(1);
        resetScreenTransition();
        frameClock().frameMs = 16.0f;
    }
    void TearDown() override {
        setTracing(false);
        resetGameState();
    }
    // Runs the map's clocks and the traveller for ms in frames of 16 ms.
    void run(float ms) {
        for (float t = 0.0f; t < ms; t += 16.0f) {
            moveTraveller(16.0f);
            updateMapTimers(16.0f);
        }
    }
    bool clickStar(int level) {
        float x, y;
        levelStarAt(level, x, y);
        return mapPressAt(x, y);
    }
    bool clickStage(int stage) {
        float x, y;
        stageIconAt(stage, x, y);
        return mapPressAt(x, y);
    }
    int sounds(const char* name) { return countTraced("sound", name); }
    void runUntil(bool (*done)(), float limitMs) {
        for (float t = 0.0f; t < limitMs && !done(); t += 16.0f) {
            moveTraveller(16.0f);
            updateMapTimers(16.0f);
        }
    }
};

TEST(MapPathFile, PointsAreMovedOntoThePictureAndInterpolated) {
    const std::vector<uint8_t> file = splineFile(3, 40.0f, {{0, 0}, {20, 0}, {20, 20}});
    MapPath path;
    readMapSpline(file.data(), static_cast<int32_t>(file.size()), path);
    ASSERT_EQ(path.count, 3);
    EXPECT_FLOAT_EQ(path.length, 40.0f);
    EXPECT_FLOAT_EQ(path.points[0].x, 400.0f);
    EXPECT_FLOAT_EQ(path.points[0].y, 330.0f);
    MapPoint p = pathPointAt(path, 10.0f);
    EXPECT_FLOAT_EQ(p.x, 410.0f);
    EXPECT_FLOAT_EQ(p.y, 330.0f);
    p = pathPointAt(path, 30.0f);
    EXPECT_FLOAT_EQ(p.x, 420.0f);
    EXPECT_FLOAT_EQ(p.y, 340.0f);
    p = pathPointAt(path, 40.0f);  // b = 2 > N - 2: the last point
    EXPECT_FLOAT_EQ(p.y, 350.0f);
    EXPECT_FLOAT_EQ(pathPointAt(path, 40.5f).x, -1000.0f);
    EXPECT_FLOAT_EQ(pathPointAt(path, -0.5f).x, 1000.0f);
}

TEST(MapPathFile, DamagedOrShortFilesGiveNoPathAndNoReadOutsideTheList) {
    MapPath path;
    // N far larger than the file: cut to the two points it holds (the markers are missing).
    std::vector<uint8_t> file = splineFile(1000000, 20.0f, {{0, 0}, {20, 0}}, false);
    readMapSpline(file.data(), static_cast<int32_t>(file.size()), path);
    EXPECT_EQ(path.count, 2);
    EXPECT_TRUE(pathUsable(path));
    // The marker block does not count as points, but what lies in the file does.
    file = splineFile(1000000, 20.0f, {{0, 0}, {20, 0}});
    readMapSpline(file.data(), static_cast<int32_t>(file.size()), path);
    EXPECT_EQ(path.count, 7);  // 2 points and the 40 bytes of markers
    for (int32_t n : {-5, 0, 1}) {
        file = splineFile(n, 500.0f, {{5, 5}, {25, 5}});
        readMapSpline(file.data(), static_cast<int32_t>(file.size()), path);
        EXPECT_FALSE(pathUsable(path)) << n;
        const MapPoint p = pathPointAt(path, 250.0f);
        if (n == 1) {
            EXPECT_FLOAT_EQ(p.x, 405.0f);  // the one point there is
            EXPECT_FLOAT_EQ(p.y, 335.0f);
        } else {
            EXPECT_FLOAT_EQ(p.x, 400.0f);  // the map's middle
            EXPECT_FLOAT_EQ(p.y, 330.0f);
        }
    }
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -30.0f}) {
        file = splineFile(2, bad, {{0, 0}, {20, 0}});
        readMapSpline(file.data(), static_cast<int32_t>(file.size()), path);
        EXPECT_FLOAT_EQ(path.length, 0.0f);
    }
    readMapSpline(file.data(), 7, path);  // shorter than the header
    EXPECT_EQ(path.count, 0);
    readMapSpline(nullptr, 0, path);
    EXPECT_EQ(path.count, 0);
    // Without any path every stage lands on the map's middle.
    resetMapPath();
    for (int s = 0; s < kStageCount; ++s) EXPECT_FLOAT_EQ(pointAt(stagePosition(s)).x, 400.0f);
}

TEST_F(JourneyMap, AFreshModeOpensOnlyTheFirstStageAndItsFirstStar) {
    setupMap(0, 0, -1);
    EXPECT_TRUE(stageOpen(0));
    for (int s = 1; s < kStageCount; ++s) EXPECT_FALSE(stageOpen(s)) << s;
    EXPECT_FALSE(clickStar(1));
    EXPECT_EQ(sounds("map1.ogg"), 0);
    EXPECT_TRUE(clickStar(0));
    EXPECT_EQ(selectedLevel(), 0);
    EXPECT_EQ(sounds("map1.ogg"), 1);
    EXPECT_EQ(countTraced("effect", "map02"), 1);
    EXPECT_FALSE(clickStage(1));  // not open
    MapLevelMark marks[kMaxLevelMarks];
    ASSERT_EQ(mapLevelMarks(marks, kMaxLevelMarks), 4);
    EXPECT_EQ(marks[0].state, kMarkSelected);
    EXPECT_EQ(marks[1].state, kMarkClosed);
    EXPECT_TRUE(mapLevelChoosable(0));
    EXPECT_FALSE(mapLevelChoosable(1));
    // The code that opens every level lets every star be picked.
    sceneState().openAllLevels = true;
    EXPECT_TRUE(clickStar(3));
    EXPECT_EQ(selectedLevel(), 3);
    EXPECT_TRUE(stageOpen(9));
}

TEST_F(JourneyMap, StarsAndStagesThatCanAndCannotBePicked) {
    setupMap(5, 5, -1);  // levels 0..4 completed; the traveller on stage 1 (levels 4..8)
    EXPECT_EQ(mapState().travellerStage, 1);
    EXPECT_FALSE(clickStar(6));  // two places past the last completed level
    EXPECT_EQ(selectedLevel(), 5);
    EXPECT_EQ(sounds("map1.ogg"), 0);
    EXPECT_TRUE(clickStar(4));
    EXPECT_EQ(selectedLevel(), 4);
    // A stage whose levels are all completed: its first level.
    EXPECT_TRUE(clickStage(0));
    EXPECT_EQ(selectedLevel(), 0);
    EXPECT_EQ(mapState().travellerStage, 0);
    EXPECT_FLOAT_EQ(mapState().travellerTarget, stagePosition(0));
    EXPECT_EQ(sounds("map5.ogg"), 1);
    EXPECT_EQ(mapState().panel.stage, 0);
    EXPECT_EQ(mapState().panel.cover, 10);
    // A stage under way: its first level not yet completed.
    EXPECT_TRUE(clickStage(1));
    EXPECT_EQ(selectedLevel(), 5);
    EXPECT_FALSE(clickStage(1));  // the traveller's own stage is no pick
    EXPECT_FALSE(clickStage(2));  // not open
}

TEST_F(JourneyMap, TheTravellerSpeedsUpWhenFarAndRingsNearTheTarget) {
    EXPECT_FLOAT_EQ(travellerSpeed(1000.0f), 0.6f);
    EXPECT_FLOAT_EQ(travellerSpeed(300.0f), 0.15f);
    EXPECT_FLOAT_EQ(travellerSpeed(120.0f), 0.15f);
    EXPECT_FLOAT_EQ(travellerSpeed(400.0f), 0.25f);
    MapState& m = mapState();
    m.travellerDistance = 0.0f;
    m.travellerTarget = 1000.0f;
    moveTraveller(10.0f);
    EXPECT_FLOAT_EQ(m.travellerDistance, 6.0f);
    m.travellerDistance = 800.0f;
    moveTraveller(10.0f);
    EXPECT_FLOAT_EQ(m.travellerDistance, 801.5f);
    // The stars wait while the traveller is far.
    m.travellerDistance = 500.0f;
    m.starFade = 1500.0f;
    moveTraveller(10.0f);
    EXPECT_FLOAT_EQ(m.starFade, 2000.0f);
    m.travellerDistance = 865.0f;
    moveTraveller(100.0f);  // 135 to go, then 120
    EXPECT_EQ(sounds("map9.ogg"), 1);
    m.travellerDistance = 999.0f;
    moveTraveller(16.0f);
    EXPECT_FLOAT_EQ(m.travellerDistance, 1000.0f);
    EXPECT_EQ(countTraced("effect", "18"), 1);
    moveTraveller(16.0f);
    EXPECT_EQ(countTraced("effect", "18"), 1);
}

TEST_F(JourneyMap, WinningTheLastLevelOfTheFirstStage) {
    setupMap(3, 3, -1);
    setupMap(4, 4, 3);
    MapState& m = mapState();
    EXPECT_FLOAT_EQ(m.wonTimer, 5000.0f);
    EXPECT_EQ(m.panel.stage, 0);
    EXPECT_EQ(m.panel.cover, 10);
    EXPECT_EQ(m.panel.previousCover, 7);
    EXPECT_TRUE(m.panel.pulsing);
    EXPECT_EQ(m.travellerStage, 0);  // it moves later in the sequence
    run(1000.0f);
    EXPECT_EQ(sounds("map3.ogg"), 1);
    EXPECT_EQ(m.justWon, -1);
    int flying = 0;
    for (const Sparkle& s : m.sparkles) flying += s.age >= 0.0f ? 1 : 0;
    EXPECT_EQ(flying, 3);  // covers 7 -> 10: three pieces
    run(3100.0f);
    EXPECT_EQ(sounds("map4.ogg"), 1);  // the first arrival only
    EXPECT_TRUE(m.panel.revealing);
    EXPECT_FALSE(m.panel.pulsing);
    // At 100 ms the panel opens for the finished stage and the sequence waits.
    runUntil([] { return mapState().panel.state >= 0; }, 2000.0f);
    EXPECT_EQ(m.panel.state, 0);
    EXPECT_EQ(m.panel.openedStage, 0);
    EXPECT_EQ(sounds("map6.ogg"), 1);
    EXPECT_TRUE(mapAnimating());
    run(1600.0f);
    EXPECT_EQ(m.panel.state, 2);
    EXPECT_FLOAT_EQ(m.wonTimer, 99.0f);
    EXPECT_TRUE(mapPressAt(300.0f, 250.0f));  // beside the button: taken, nothing happens
    EXPECT_EQ(m.panel.state, 2);
    float bx, by, bw, bh;
    stagePanelButton(bx, by, bw, bh);
    EXPECT_TRUE(mapPressAt(bx, by));
    EXPECT_EQ(sounds("map7.ogg"), 1);
    EXPECT_EQ(sounds("menu.ogg"), 1);
    run(1400.0f);
    EXPECT_EQ(m.panel.state, -1);
    runUntil([] { return mapState().wonTimer <= 0.0f; }, 500.0f);
    run(16.0f);
    EXPECT_EQ(m.travellerStage, 1);
    EXPECT_EQ(sounds("map8.ogg"), 1);
    EXPECT_EQ(countTraced("effect", "map02"), 1 + 3 + 5);
    EXPECT_EQ(m.panel.stage, 1);
    EXPECT_EQ(m.panel.cover, 0);
    // Travelling 160 units at 0.15: the stars wait, then settle one after another.
    EXPECT_FLOAT_EQ(m.starFade, 2000.0f - 16.0f);
    runUntil([] { return mapState().travellerDistance >= mapState().travellerTarget; }, 3000.0f);
    EXPECT_FLOAT_EQ(m.travellerDistance, stagePosition(1));
    run(2100.0f);
    EXPECT_FLOAT_EQ(m.starFade, 0.0f);
    EXPECT_FALSE(mapAnimating());
}

TEST_F(JourneyMap, AReplayedLevelSkipsTheSparklesAndTheStagePanel) {
    setupMap(2, 8, -1);
    setupMap(2, 8, 1);
    EXPECT_FALSE(mapState().panel.pulsing);
    run(1100.0f);
    EXPECT_EQ(sounds("map2.ogg"), 1);
    EXPECT_EQ(sounds("map3.ogg"), 0);
    EXPECT_LE(mapState().wonTimer, 500.0f);
    run(600.0f);
    EXPECT_FLOAT_EQ(mapState().wonTimer, 0.0f);
    EXPECT_EQ(mapState().panel.state, -1);
    EXPECT_EQ(sounds("map6.ogg"), 0);
}

TEST_F(JourneyMap, WinningLevel128EndsInTheCongratulationAndTheHighScores) {
    setupMap(128, 128, -1);
    markGameCompleted();
    setupMap(0, 0, -1);  // the profile starts the mode again at level 0; the map shows the end
    MapState& m = mapState();
    EXPECT_EQ(m.currentLevel, 129);
    EXPECT_EQ(m.justWon, 128);
    EXPECT_TRUE(levelCompleted(128));
    EXPECT_EQ(m.panel.stage, 14);
    EXPECT_LE(m.panel.cover, 10);
    runUntil([] { return mapState().panel.state == 2; }, 8000.0f);
    ASSERT_EQ(m.panel.state, 2);
    EXPECT_EQ(m.panel.openedStage, 14);
    float bx, by, bw, bh;
    stagePanelButton(bx, by, bw, bh);
    mapPressAt(bx, by);
    // The traveller stays: stage 129 counts as the last stage.
    runUntil([] { return mapState().congratulation == 2; }, 3000.0f);
    EXPECT_EQ(m.congratulation, 2);
    EXPECT_EQ(m.travellerStage, 14);
    const float before = m.travellerDistance;
    m.travellerTarget = before + 500.0f;
    moveTraveller(100.0f);
    EXPECT_FLOAT_EQ(m.travellerDistance, before);  // stopped while the window shows
    m.travellerTarget = before;
    EXPECT_TRUE(mapAnimating());
    EXPECT_TRUE(clickStar(0));  // taken by the window: no pick
    EXPECT_EQ(selectedLevel(), 128);
    EXPECT_TRUE(mapPressAt(0.0f, kCongratulationButtonY));
    clearTrace();
    run(600.0f);
    EXPECT_EQ(m.congratulation, 4);
    EXPECT_FALSE(gameCompletedShowing());
    EXPECT_EQ(selectedLevel(), 0);
    EXPECT_EQ(mapView(), 0);
    EXPECT_EQ(countTraced("menu", "hiscore"), 1);
    EXPECT_TRUE(transitionRunning());
    // The mode opens again at its first level.
    setMapView(1);
    setupMap(0, 0, -1);
    EXPECT_EQ(selectedLevel(), 0);
    EXPECT_EQ(m.travellerStage, 0);
}

TEST_F(JourneyMap, StageNumbersPastTheTableAndDamagedProgressStayInside) {
    setupMap(129, 129, -1);
    EXPECT_EQ(mapState().travellerStage, 14);
    EXPECT_EQ(mapState().panel.stage, 14);
    EXPECT_EQ(selectedLevel(), 128);
    setupMap(100000, 5000, 4000);
    EXPECT_EQ(mapState().furthestLevel, 129);
    EXPECT_FALSE(levelCompleted(129));
    EXPECT_LE(mapState().panel.cover, 10);
    run(1200.0f);
    for (const Sparkle& s : mapState().sparkles) EXPECT_TRUE(s.age < 0.0f || std::isfinite(s.targetX));
    setupMap(-7, -3, -9);
    EXPECT_EQ(mapState().currentLevel, 0);
    EXPECT_EQ(mapState().justWon, -1);
}

TEST_F(JourneyMap, AHugeOrEmptyPathStillEndsEveryLoop) {
    // Two points and a length of 1e30: the stages lie far apart along a path of one step.
    std::vector<uint8_t> file = splineFile(2, 1e30f, {{0, 0}, {20, 0}});
    readMapSpline(file.data(), static_cast<int32_t>(file.size()), mapPath());
    sceneState().openAllLevels = true;
    setupMap(99, 99, -1);
    setupMap(100, 100, 99);
    run(6000.0f);
    EXPECT_LE(countTraced("effect", "15"), 8 * 3 * 400);
    // The completed game: every stage has its strokes (and the labels with the level preview,
    // which would need the level files, are not drawn).
    markGameCompleted();
    setupMap(0, 0, -1);
    drawJourneyMap();
    run(3000.0f);
    resetMapPath();
    drawJourneyMap();
    clearGameCompleted();
    setupMap(3, 3, -1);
    setupMap(4, 4, 3);
    run(6000.0f);
    EXPECT_EQ(sounds("map3.ogg"), 3);
}

TEST_F(JourneyMap, TheScreenTransitionOpensClosesAndTurnsOver) {
    clearTrace();
    setMapView(1);  // the same view: nothing
    EXPECT_FALSE(transitionRunning());
    setMapView(0);
    EXPECT_TRUE(transitionRunning());
    EXPECT_EQ(sounds("Gag.ogg"), 1);
    EXPECT_EQ(screenTransition().direction, 1);
    EXPECT_NEAR(transitionAmount(), 0.0f, 0.01f);
    for (int i = 0; i < 31; ++i) advanceScreenTransition();
    EXPECT_NEAR(transitionAmount(), 0.5f, 0.01f);
    for (int i = 0; i < 40; ++i) advanceScreenTransition();
    EXPECT_FALSE(transitionRunning());
    closeTransition(1000.0f, "gettrophy");
    EXPECT_NEAR(transitionAmount(), 1.0f, 0.01f);
    for (int i = 0; i < 63; ++i) advanceScreenTransition();
    EXPECT_EQ(screenTransition().direction, 1);  // closed, now opening
    EXPECT_TRUE(transitionRunning());
    for (int i = 0; i < 63; ++i) advanceScreenTransition();
    EXPECT_FALSE(transitionRunning());
}

}  // namespace
