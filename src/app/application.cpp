#include "app/application.h"

#include <cstdio>
#include <vector>

#include "app/icon.h"
#include "app/loader.h"
#include "app/replay.h"
#include "app/scene.h"
#include "app/strings.h"
#include "audio/audio.h"
#include "menus/cursor.h"
#include "platform/clock.h"
#include "platform/fatal.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/signals.h"
#include "platform/window.h"
#include "progress/profiles.h"
#include "progress/saved_game.h"
#include "render/device.h"
#include "render/text.h"

namespace {
ApplicationState gApp;

}  // namespace

DataFolderChoice locateDataFolder(const std::string& workDir, const std::string& exeDir) {
    DataFolderChoice choice;
    // An installed game ("bin/sandmere" beside "share/sandmere/Data") reads its own data set
    // wherever it is started from: a desktop menu starts it in the home folder.
    size_t slash = exeDir.rfind('/');
    if (slash != std::string::npos) {
        std::string shared = exeDir.substr(0, slash) + "/share/sandmere/Data/";
        if (platform::isDirectory(shared.c_str())) {
            choice.folder = shared;
            choice.installed = true;
            return choice;
        }
    }
    // Otherwise "Data" under the working folder, else beside the executable (the build tree).
    std::string candidate = workDir + "/Data/";
    if (platform::isDirectory(candidate.c_str())) choice.folder = candidate;
    else if (!exeDir.empty() && platform::isDirectory((exeDir + "/Data/").c_str())) choice.folder = exeDir + "/Data/";
    return choice;
}

namespace {

bool findDataFolder() {
    gApp.installFolder = platform::currentDir();
    DataFolderChoice choice = locateDataFolder(gApp.installFolder, platform::executableDir());
    if (choice.folder.empty()) return false;
    gApp.installed = choice.installed;
    // Kept with the folder's real spelling (a "data" folder serves as well as "Data").
    gApp.dataFolder = platform::resolvePath(choice.folder.c_str());
    if (gApp.dataFolder.empty() || gApp.dataFolder.back() != '/') gApp.dataFolder += '/';
    return platform::changeDir(gApp.dataFolder.c_str());
}

void drawDebugOverlay() {
    begin2D();
    char tri[32];
    std::snprintf(tri, sizeof tri, "%i TRI", static_cast<int>(triangleCounter()));
    selectFont(0);
    setTextColour(255, 255, 255, 255);
    drawText(-360.0f, -100.0f, 10.0f, frameClock().fpsText);
    drawText(-360.0f, -115.0f, 10.0f, tri);
    triangleCounter() = 0;
    switchOff(3);
    setViewMatrix(nullptr);
    switchOff(4);
    switchOff(5);
}

// Without vertical sync, frames are spaced to about the display's refresh rate; a playback in
// a window takes each frame as long as the recorded one took.
void paceFrame() {
    if (platform::virtualClockOn()) return;
    if (playbackPaced()) {
        uint32_t spent = platform::nowMs() - gApp.frameStartMs;
        uint32_t period = nextFrameDelta();
        if (spent < period) platform::sleepMs(period - spent);
        return;
    }
    if (platform::vsyncActive()) return;
    uint32_t period = 1000u / static_cast<uint32_t>(platform::refreshRateHz() > 0 ? platform::refreshRateHz() : 60);
    uint32_t spent = platform::nowMs() - gApp.frameStartMs;
    if (spent < period) platform::sleepMs(period - spent);
}
}  // namespace

ApplicationState& application() { return gApp; }

void resetApplicationState() { gApp = ApplicationState{}; }

StartResult startUp(bool singleInstance) {
    if (singleInstance && !platform::acquireInstanceLock()) return {false, 0};
    platform::installSignalHandlers();
    if (!findDataFolder()) platform::fatal("Can't load Data...\nProgram will now stop.", "Loading Error");
    std::string replayError;
    if (!replayStartUp(gApp.dataFolder, replayError)) {
        std::fprintf(stderr, "Sandmere: %s\n", replayError.c_str());
        return {false, 1};
    }
    loadSettings();
    gApp.clientWidth = 800;
    gApp.clientHeight = 600;
    gApp.fullScreen = settings().fullScreen != 0;
    gApp.windowed = !gApp.fullScreen;
    gApp.verticalSync = false;
    if (!platform::initVideo() || !platform::createWindow(gApp.fullScreen)) {
        std::fprintf(stderr, "Sandmere: the window cannot be created\n");
        return {false, 1};
    }
    std::vector<uint8_t> icon = makeWindowIcon();
    platform::setWindowIcon(icon.data(), kIconSize, kIconSize);
    if (gApp.windowed) platform::showWindow();
    if (!initDevice()) return {false, 1};
    if (gApp.fullScreen) platform::showWindow();
    updatePerspectiveProjection(platform::kPictureWidth, platform::kPictureHeight);
    setCurrentScene(loaderScene());
    beginScene();
    clearTarget(0);
    endScene();
    presentFrame();
    platform::changeDir(gApp.dataFolder.c_str());
    prepareLoader();
    applyCursorSetting();  // the system's cursor until the program can draw its own
    frameClock().lastTime = platform::nowMs();
    gApp.frameStartMs = frameClock().lastTime;
    return {true, 0};
}

void handleEvent(const platform::Event& event) {
    recordEvent(event);
    Scene* scene = currentScene();
    switch (event.type) {
        case platform::EventType::Resize:
            if (event.x <= 0 || event.y <= 0) break;
            // The picture keeps its 800 x 600 and is letterboxed into the window, so the
            // perspective keeps the picture's aspect.
            gApp.clientWidth = event.x;
            gApp.clientHeight = event.y;
            break;
        case platform::EventType::Activate: {
            resumeAudio();
            gApp.active = true;
            FrameClock& clock = frameClock();
            clock.frameMs = 0.0f;
            clock.deltaMs = 0;
            clock.lastTime = platform::nowMs();
            // The desktop's first focus gain is not a return to the game.
            if (gApp.focusLost && scene) scene->activate();
            break;
        }
        case platform::EventType::Deactivate:
            pauseAudio();
            gApp.active = false;
            gApp.focusLost = true;
            break;
        case platform::EventType::Close:
            if (!gApp.closeHandled) {
                gApp.closeHandled = true;
                saveGame();
                gApp.quitRequested = true;
            }
            break;
        case platform::EventType::KeyDown:
            if (scene) scene->keyDown(event.key);
            break;
        case platform::EventType::MouseMove:
            if (scene) scene->mouseMove();
            break;
        case platform::EventType::LeftDown:
            if (scene) scene->leftDown();
            break;
        case platform::EventType::LeftUp:
            if (scene) scene->leftUp();
            break;
        case platform::EventType::LeftDoubleClick:
            if (scene) scene->leftDoubleClick();
            break;
        case platform::EventType::RightDown:
            if (scene) scene->rightDown();
            break;
        case platform::EventType::RightUp:
            if (scene) scene->rightUp();
            break;
        case platform::EventType::MiddleDown:
            if (scene) scene->middleDown();
            break;
        case platform::EventType::None:
            break;
    }
}

void runFrame() {
    gApp.frameStartMs = platform::nowMs();
    recordFrameStart();
    clearDepth(1.0f);
    clearTarget(0xFFB4B4B4u);
    beginScene();
    Scene* scene = currentScene();
    if (scene) scene->frame();
    if (gApp.debugOverlay) drawDebugOverlay();
    endScene();
    presentFrame();
    gApp.presentedMs = platform::nowMs();
    updateClock();
    scene = currentScene();
    if (scene) scene->afterFrame();
    applyPendingScene();
    frameClock().runningMs += frameClock().frameMs;
}

namespace {
// A playback hands the scenes the recorded events instead of the window's. The window's own
// close (or a signal) ends the playback where it is.
bool handlePlaybackEvent() {
    platform::Event event;
    bool closed = platform::signalCloseRequested();
    while (!closed && platform::pollEvent(event)) closed = event.type == platform::EventType::Close;
    if (closed) {
        std::fprintf(stderr, "Sandmere: the playback was stopped before its end\n");
        gApp.quitRequested = true;
        return true;
    }
    if (nextPlaybackEvent(event)) {
        handleEvent(event);
        return true;
    }
    if (playbackFinished()) {
        // A session that was killed has no close: the playback ends where its recording does.
        gApp.quitRequested = true;
        return true;
    }
    if (!gApp.active) {
        // An inactive game runs no frame, so a recording cannot hold one here.
        std::fprintf(stderr, "Sandmere: the replay does not match the game: a frame while the window is inactive\n");
        gApp.quitRequested = true;
        return true;
    }
    return false;
}
}  // namespace

bool handlePendingEvent() {
    if (replayMode() == ReplayMode::Playing) return handlePlaybackEvent();
    if (platform::signalCloseRequested()) {
        platform::Event close;
        close.type = platform::EventType::Close;
        handleEvent(close);
        return true;
    }
    platform::Event event;
    if (!platform::pollEvent(event)) return false;
    handleEvent(event);
    return true;
}

void frameTurn() {
    if (!gApp.active) {
        // Nothing is drawn, no clock is read and no scene is called while inactive.
        if (platform::virtualClockOn()) platform::advanceVirtualClock(200);
        else platform::waitForEvent(200);
        return;
    }
    runFrame();
    if (gApp.loadRequested) {
        if (!loadingSequence()) {
            gApp.quitRequested = true;
            return;
        }
        gApp.debugOverlay = false;
        gApp.loadRequested = false;
    }
    paceFrame();
}

void loopTurn() {
    if (!handlePendingEvent()) frameTurn();
}

int shutDown() {
    if (gApp.dataLoaded) saveProgress();
    shutdownDevice();
    shutdownAudio();
    freeStrings();
    platform::showSystemCursor(true);
    platform::quitVideo();
    return 0;
}

int runApplication() {
    StartResult start = startUp();
    if (!start.run) return start.exitCode;
    while (!gApp.quitRequested) loopTurn();
    return shutDown();
}
