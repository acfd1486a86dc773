#include "app/play_runner.h"

#include <algorithm>

#include "app/application.h"
#include "app/loader.h"
#include "app/replay.h"
#include "app/resource_store.h"
#include "app/scene.h"
#include "app/strings.h"
#include "audio/audio.h"
#include "board/board.h"
#include "board/board_view.h"
#include "board/presentation.h"
#include "board/outcome.h"
#include "board/play.h"
#include "menus/flows.h"
#include "menus/screens.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/signals.h"
#include "progress/game_modes.h"
#include "progress/map.h"
#include "progress/trophies.h"
#include "render/backdrops.h"
#include "render/device.h"
#include "render/effects.h"
#include "render/meshes.h"

namespace {
platform::Event makeEvent(platform::EventType type, int x = 0, int y = 0, int key = 0) {
    platform::Event e;
    e.type = type;
    e.x = x;
    e.y = y;
    e.key = key;
    return e;
}

// Logical coordinates (origin centre, y up) to picture pixels (origin top left, y down).
int pictureX(float x) { return static_cast<int>(x + 400.0f); }
int pictureY(float y) { return static_cast<int>(300.0f - y); }
}  // namespace

void resetGameState() {
    // A run starts as a new process would: nothing in the store, no strings, and the loader
    // at its first splash.
    resetResourceStore();
    freeStrings();
    resetLoaderState();
    resetApplicationState();
    resetSceneState();
    resetFrameClock();
    resetAudioState();
    forgetBoardPictures();
    resetBoardView();
    // The board as a new process has it: a run that follows another in the same process (a
    // playback after its recording) must not find the last run's cells.
    board() = Board{};
    resetBoardProcess();
    resetOutcomeHooks();
    resetGameModes();
    resetFlows();
    resetScreens();
    resetEffects();
    resetBackdrops();
    resetMap();
    resetMapPath();
    resetScreenTransition();
    resetTrophies();
    releaseMeshes();
    platform::clearInjectedEvents();
    platform::resetSignalClose();
}

PlayRunner::PlayRunner(std::string installFolder, uint32_t msPerFrame)
    : installFolder_(std::move(installFolder)), msPerFrame_(msPerFrame) {}

PlayRunner::~PlayRunner() {
    if (running_) close();
    if (!previousFolder_.empty()) platform::changeDir(previousFolder_.c_str());
    platform::useVirtualClock(false);
    platform::setHeadless(false);
}

bool PlayRunner::start() {
    resetGameState();
    platform::setHeadless(true);
    platform::useVirtualClock(true, 1000000);
    previousFolder_ = platform::currentDir();
    platform::changeDir(installFolder_.c_str());
    StartResult result = startUp(false);
    running_ = result.run;
    exitCode_ = result.exitCode;
    return running_;
}

void PlayRunner::drainEvents() {
    // Events of this frame go into the queue; each loop turn takes one off, as the real loop does.
    auto due = std::stable_partition(scheduled_.begin(), scheduled_.end(),
                                     [&](const Scheduled& s) { return s.frame > frameNumber_; });
    for (auto it = due; it != scheduled_.end(); ++it) platform::injectEvent(it->event);
    scheduled_.erase(due, scheduled_.end());
}

void PlayRunner::frames(int count) {
    for (int i = 0; i < count && running_; ++i) {
        drainEvents();
        ApplicationState& app = application();
        // Every queued event is handled first, one per turn, as the real loop does; then the frame.
        while (!app.quitRequested && handlePendingEvent()) {
        }
        if (!app.quitRequested) {
            // A playback's time moves as the recorded frames did.
            platform::advanceVirtualClock(replayMode() == ReplayMode::Playing ? nextFrameDelta() : msPerFrame_);
            frameTurn();
        }
        ++frameNumber_;
        if (app.quitRequested) {
            exitCode_ = shutDown();
            running_ = false;
        }
    }
}

void PlayRunner::runFor(uint32_t ms) {
    int count = static_cast<int>((ms + msPerFrame_ - 1) / msPerFrame_);
    frames(count);
}

int PlayRunner::playToEnd() {
    while (running_) frames(1);
    return exitCode_;
}

int PlayRunner::close() {
    if (!running_) return exitCode_;
    send(makeEvent(platform::EventType::Close));
    frames(1);
    if (running_) {
        exitCode_ = shutDown();
        running_ = false;
    }
    return exitCode_;
}

void PlayRunner::send(const platform::Event& event) { at(frameNumber_, event); }

void PlayRunner::at(int frame, const platform::Event& event) { scheduled_.push_back({frame, event}); }

void PlayRunner::key(int virtualKey) { send(makeEvent(platform::EventType::KeyDown, 0, 0, virtualKey)); }

void PlayRunner::moveTo(float x, float y) {
    send(makeEvent(platform::EventType::MouseMove, pictureX(x), pictureY(y)));
}

void PlayRunner::click(float x, float y) {
    moveTo(x, y);
    send(makeEvent(platform::EventType::LeftDown));
    send(makeEvent(platform::EventType::LeftUp));
}

void PlayRunner::doubleClick(float x, float y) {
    click(x, y);
    send(makeEvent(platform::EventType::LeftDoubleClick));
    send(makeEvent(platform::EventType::LeftUp));
}

void PlayRunner::rightClick(float x, float y) {
    moveTo(x, y);
    send(makeEvent(platform::EventType::RightDown));
    send(makeEvent(platform::EventType::RightUp));
}

bool PlayRunner::capture(const std::string& pngPath) { return captureFrame(pngPath.c_str()); }

uint32_t PlayRunner::now() const { return platform::nowMs(); }
