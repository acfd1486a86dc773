#include "app/scene.h"

#include <cstring>

#include "app/application.h"
#include "app/loader.h"
#include "app/strings.h"
#include "board/keyboard.h"
#include "board/play.h"
#include "board/presentation.h"
#include "menus/menus.h"
#include "progress/map.h"
#include "progress/profiles.h"
#include "progress/trophies.h"
#include "render/effects.h"
#include "render/text.h"

namespace {
SceneState gScenes;
Scene gNullScene;
LoaderScene gLoaderScene;
GameScene gGameScene;
MapScene gMapScene;
TrophyRoomScene gTrophyRoomScene;

bool ringStartsWith(const char* code) { return std::strncmp(gScenes.typedRing, code, std::strlen(code)) == 0; }
}  // namespace

Scene* nullScene() { return &gNullScene; }
LoaderScene* loaderScene() { return &gLoaderScene; }
GameScene* gameScene() { return &gGameScene; }
MapScene* mapScene() { return &gMapScene; }
TrophyRoomScene* trophyRoomScene() { return &gTrophyRoomScene; }

SceneState& sceneState() { return gScenes; }

void resetSceneState() {
    gScenes = SceneState{};
    for (Scene* s : {nullScene(), static_cast<Scene*>(loaderScene()), static_cast<Scene*>(gameScene()),
                     static_cast<Scene*>(mapScene()), static_cast<Scene*>(trophyRoomScene())})
    {
        s->lastKey = 0;
        s->frameKeyCount = 0;
    }
    resetLoaderState();
}

Scene* currentScene() { return gScenes.currentScene; }

void requestScene(Scene* scene) {
    gScenes.pendingScene = scene;
    gScenes.pending = true;
}

void applyPendingScene() {
    if (!gScenes.pending) return;
    gScenes.pending = false;
    Scene* next = gScenes.pendingScene;
    if (gScenes.currentScene) gScenes.currentScene->deactivate();
    if (next) next->activate();
    gScenes.currentScene = next;
}

void setCurrentScene(Scene* scene) {
    gScenes.currentScene = scene;
    gScenes.pending = false;
    gScenes.pendingScene = nullptr;
}

void typedLetterStep(Scene& scene) {
    // Only the last key of a frame is looked at; letters arrive as upper-case key codes.
    int8_t c = static_cast<int8_t>(scene.lastKey);
    scene.lastKey = 0;
    // The codes are looked at when a letter comes in: the ring keeps a code's letters after it
    // fired, and a frame without a key must not fire it again.
    if (c < 'A' || c > 'Z') return;
    for (int i = 15; i >= 1; --i) gScenes.typedRing[i] = gScenes.typedRing[i - 1];
    gScenes.typedRing[15] = 0;
    gScenes.typedRing[0] = static_cast<char>(c);
    // Codes are stored reversed: they match when their letters were the last ones typed.
    if (gScenes.currentScene == gameScene() && ringStartsWith("XARBMILG")) {
        gScenes.cheatKeys = !gScenes.cheatKeys;
        showBanner(lookupText(gScenes.cheatKeys ? "cheatkeyenabled" : "cheatkeydisabled"));
    }
    if (ringStartsWith("ZYW")) application().debugOverlay = !application().debugOverlay;
    if (gScenes.currentScene == mapScene() && mapView() == 1) {
        if (ringStartsWith("KSOMEF")) {
            gScenes.openAllLevels = true;
        } else if (ringStartsWith("KSOM")) {
            gScenes.openAllLevels = false;
            setHoveredWidget(0);
        }
    }
}

void Scene::afterFrame() { typedLetterStep(*this); }

// ---- GameScene: board play with the in-game menus over it ----

void GameScene::afterFrame() { typedLetterStep(*this); }

void GameScene::frame() {
    selectFont(0);
    boardFrame();
    drawBoardPlay();
    advanceScreenTransition();
    if (menuOpen()) {
        updateMenus();
        drawMenus();
        updateAndDrawParticles();
    }
    if (settings().customCursor) drawCursor();
}

void GameScene::keyDown(int virtualKey) {
    if (menuOpen()) menuKeyStep(virtualKey);
    else boardKeyDown(virtualKey);
    lastKey = virtualKey;
}

void GameScene::leftDown() {
    if (menuOpen()) menuPress();
    else boardLeftDown();
}

void GameScene::leftDoubleClick() { boardDoubleClick(); }

void GameScene::leftUp() {
    if (menuOpen()) menuRelease();
    else boardLeftUp();
}

void GameScene::rightDown() { boardRightDown(); }
void GameScene::rightUp() { boardRightUp(); }
void GameScene::middleDown() { boardMiddleDown(); }

void GameScene::mouseMove() {
    if (menuOpen()) menuMove();
    else boardMouseMoved();
}

// ---- MapScene: main menus and the journey map ----

void MapScene::afterFrame() {
    for (int i = 0; i < frameKeyCount; ++i) menuKeyStep(frameKeys[i]);
    frameKeyCount = 0;
    typedLetterStep(*this);
    lastKey = 0;
}

// The map scene: the map view's background (the journey map or a backdrop), the menus over it
// with their effects, the screen transition, the cursor. The backdrops' own motion (the drifting
// tint, the spray) runs in their drawing.
void MapScene::frame() {
    selectFont(0);
    mapFrame();
    updateMenus();
    drawMenus();
    updateAndDrawParticles();
    advanceScreenTransition();
    if (settings().customCursor) drawCursor();
}
void MapScene::keyDown(int virtualKey) {
    lastKey = virtualKey;
    if (frameKeyCount < kFrameKeyCapacity) frameKeys[frameKeyCount++] = virtualKey;
}
// The journey map sees the press first; what it takes, the menus do not see.
void MapScene::leftDown() {
    if (!mapPress()) menuPress();
}
void MapScene::leftDoubleClick() { menuDoubleClick(); }
void MapScene::leftUp() { menuRelease(); }
void MapScene::mouseMove() { menuMove(); }

// ---- TrophyRoomScene ----

void TrophyRoomScene::afterFrame() {
    trophyRoomKeyStep(lastKey);
    typedLetterStep(*this);
    lastKey = 0;
}

// The trophy room in the same shape: the room, the menus and their effects, the screen
// transition, the cursor.
void TrophyRoomScene::frame() {
    selectFont(0);
    trophyRoomFrame();
    updateMenus();
    drawMenus();
    updateAndDrawParticles();
    advanceScreenTransition();
    if (settings().customCursor) drawCursor();
}
void TrophyRoomScene::keyDown(int virtualKey) { lastKey = virtualKey; }
void TrophyRoomScene::leftDown() { trophyRoomPress(); }
void TrophyRoomScene::leftDoubleClick() { trophyRoomDoubleClick(); }
void TrophyRoomScene::leftUp() { trophyRoomRelease(); }
void TrophyRoomScene::mouseMove() { trophyRoomHover(); }
