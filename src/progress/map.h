// The journey map, the map scene's backgrounds and the screen transition.
//
// The map's own input comes first: the scene hands it every left press (mapPress) before the
// menus see it; while the map runs one of its own animations (mapAnimating) the menus stand
// still. The mode screen draws over the map and registers the level marks of mapLevelMarks as
// its widgets of the journey map.
#pragma once

#include <cstdint>

#include "progress/map_path.h"
#include "progress/screen_transition.h"

constexpr int kMapLevelFlags = 1024;
constexpr int kMaxSparkles = 128;
constexpr int kMapLevels = 129;
constexpr float kStarFadeMs = 2000.0f;
constexpr float kWonSequenceMs = 5000.0f;
// The view window on the screen, in pixels from the top left.
constexpr float kViewLeft = 16.0f;
constexpr float kViewTop = 16.0f;
constexpr float kViewRight = 512.0f;
constexpr float kViewBottom = 584.0f;

struct Sparkle {
    float x, y;
    float startX, startY;
    float targetX, targetY;
    float speed, spin, angle;
    uint32_t colour;
    float age;        // ms; below 0 the slot is free
    float trail;      // units flown since the last trail burst
};

// The stage panel: the artefact of one stage under its covers, resting at its place or opened
// in the middle of the screen when a stage is finished.
struct StagePanel {
    int stage = 0;
    int cover = 0;          // trunc(10 x the completed share of the stage)
    int previousCover = 0;  // the cover before the level just won
    int state = -1;         // -1 resting; 0..4 the opening and closing steps
    float stateMs = 0.0f;
    int openedStage = 0;    // the stage the open panel shows
    bool pulsing = false;   // a level just won waits for its reveal (up to 10000 ms)
    float pulseMs = 0.0f;
    bool revealing = false; // the first sparkle arrived: the new pieces open
    float revealMs = 0.0f;
    float flashMs = 0.0f;   // the flash of the first sparkle's arrival
};

struct MapState {
    int view = 0;  // 0 backdrop, 1 journey map, 4 backdrop for the credits
    uint8_t completed[kMapLevelFlags] = {};
    int currentLevel = 0;
    int furthestLevel = 0;
    int justWon = -1;
    int selectedLevel = 0;
    float travellerDistance = 0.0f;
    float travellerTarget = 0.0f;
    int travellerStage = 0;
    float starFade = 0.0f;  // runs down from 2000 to 0
    float wonTimer = 0.0f;  // runs down from 5000 to 0; 0 when no sequence runs
    StagePanel panel;
    Sparkle sparkles[kMaxSparkles] = {};
    int nextSparkle = 0;
    bool sparkleArrived = false;
    int congratulation = 4;  // 1 fading in, 2 waiting, 3 fading out, 4 resting
    float congratulationMs = 0.0f;
    float backGlow = 0.0f;   // 0..255
    float startGlow = 0.0f;
    int hoveredStage = -1;
    float hoverSparkleMs = 0.0f;
};

MapState& mapState();
// Forgets the map's state (tests and a fresh run); the path and the pictures stay.
void resetMap();

// 0 animated backdrop, 1 journey map, 4 backdrop for the credits. A change starts a 1000 ms
// opening transition.
int mapView();
void setMapView(int view);
void loadMapAssets();

// The map for a mode screen: a current level, the furthest level and the level just won (-1
// for none).
void setupMap(int currentLevel, int furthestLevel, int justWon);
// The same from the player's progress in the current mode; after a won level the map plays
// the level's sequence (the level board play just won, or the last one of a completed game).
void setupMapFromProgress(bool afterLevel);
// "start" reads the level picked on the map.
int selectedLevel();
// The traveller stands on the stage of the current level at once (a level started from the map).
void placeTravellerOnCurrentStage();

// Stage and level rules of the map.
bool levelCompleted(int level);
bool stageOpen(int stage);
bool stageComplete(int stage);
int clampedStage(int stage);  // 0..14

// The map scene's frame: the background of the view; the journey map is moved on and drawn.
void mapFrame();
// The traveller's motion for dt ms (part of mapFrame; tests call it on its own).
void moveTraveller(float dtMs);
// Speed of the traveller (units per ms) for a distance still to go.
float travellerSpeed(float remaining);
// The map's clocks for dt ms: star fade-in, won-level sequence, sparkles, stage panel,
// congratulation (part of mapFrame).
void updateMapTimers(float dtMs);
// The journey map's drawing (part of mapFrame).
void drawJourneyMap();

// Input. The map sees every left press first: true when it used the press (a stage or star
// picked, the stage panel's or the congratulation's button), and then the menus leave it.
bool mapPress();
bool mapPressAt(float x, float y);  // logical coordinates
// The map runs an animation of its own (the stage panel is open, or the congratulation):
// the menus neither move nor take keys.
bool mapAnimating();

// The level marks of the traveller's stage for the mode screen's widgets: the star's
// rectangle in logical coordinates (top > bottom), its level, and its state.
constexpr int kMarkCompleted = 0;
constexpr int kMarkOpen = 1;       // not completed, may be played
constexpr int kMarkClosed = 2;     // not yet reachable
constexpr int kMarkSelected = 3;
struct MapLevelMark {
    float left, top, right, bottom;
    int level;
    int state;
};
constexpr int kMaxLevelMarks = 10;
int mapLevelMarks(MapLevelMark* out, int capacity);
// A level mark's level may be chosen: not above the player's progress, or every level open.
bool mapLevelChoosable(int level);
// The mode screen chose a level (a press or double-click on its mark).
void chooseMapLevel(int level);

// The stage panel where it stands in this frame (centre, artefact size, frame width) and its
// "OK" button (centre and size); the congratulation window's button.
void stagePanelPlacement(float& x, float& y, float& size, float& frameWidth);
void stagePanelButton(float& x, float& y, float& width, float& height);
constexpr float kCongratulationButtonY = -50.0f;

// Logical position of a map point, and of a stage's icon.
void mapToScreen(float mapX, float mapY, float& x, float& y);
void stageIconAt(int stage, float& x, float& y);
void levelStarAt(int level, float& x, float& y);  // around the icon of the level's stage
