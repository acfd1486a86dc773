// Board play drawn as the game draws it, on the offscreen device over the forged data set: the
// level's animated backdrop, a stage-10 level's board, the panel, the candle, 150 pieces of debris, 64
// points pop-ups, a banner and a letter text. Run it beside BM_TypicalFrame
// (--benchmark_filter=Frame) to compare on the same machine.
#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "app/frame_clock.h"
#include "app/resource_store.h"
#include "app/strings.h"
#include "app/trace.h"
#include "board/board.h"
#include "board/board_view.h"
#include "board/level.h"
#include "board/outcome.h"
#include "board/play.h"
#include "board/presentation.h"
#include "frame_runs.h"
#include "menus/menus.h"
#include "platform/files.h"
#include "platform/gpu.h"
#include "platform/random.h"
#include "platform/window.h"
#include "render/backdrops.h"
#include "render/device.h"
#include "render/effects.h"
#include "render/text.h"
#include "render/textures.h"

namespace {

constexpr int kStageTenLevel = 84;  // stage 10 holds levels 79 to 88

void drawBoardFrame() {
    clearDepth(1.0f);
    clearTarget(0xFFB4B4B4u);
    beginScene();
    drawBoardPlay();
    endScene();
    presentFrame();
    waitForDrawing();
}

// Which drawing path, which of its shortcuts, and whether a MegaBomb goes off.
struct Setup {
    bool forced = false;
    platform::gpu::Path path = platform::gpu::Path::kSoftware;
    uint32_t shortcuts = platform::gpu::kSoftwarePathShortcuts;
    bool megaBomb = false;
};

void runBoardFrames(benchmark::State& state, const Setup& setup) {
    const std::string data = SANDMERE_DATA_DIR;
    if (!std::filesystem::exists(data + "/targa.dat")) {
        state.SkipWithError("no data set");
        return;
    }
    const std::string previous = platform::currentDir();
    platform::changeDir(data.c_str());
    platform::setHeadless(true);
    platform::gpu::forcePath(setup.forced ? &setup.path : nullptr);
    if (!initDevice()) {
        platform::gpu::forcePath(nullptr);
        state.SkipWithError("no OpenGL context");
        return;
    }
    // Before any picture is loaded: some shortcuts are taken when a texture is made.
    platform::gpu::setShortcuts(setup.shortcuts);
    setTracing(false);
    openPack("targa.dat");
    openPack("jpeg.dat");
    openPack("texts.dat");
    loadStrings("strings2.txt");
    loadStrings("tips2.txt");
    loadEffects();
    loadGameObjects();
    loadBoardPictures();
    silenceOutcomeHooks();
    resetBoardProcess();
    menuState().menuOpen = false;
    platform::srand(3);
    board().mode = kAdventure;
    startLevel(kStageTenLevel);

    // A still frame: nothing ages between the frames, so every frame draws the same. With the
    // MegaBomb, frames of 16 ms, the backdrop moving and the bomb's effect started every second.
    FrameClock& clock = frameClock();
    clock.frameMs = setup.megaBomb ? 16.0f : 0.0f;
    clock.deltaMs = setup.megaBomb ? 16 : 0;
    for (int i = 0; i < 150; ++i)
        spawnDebris(i % 8, -250.0f + static_cast<float>(i % 15) * 40.0f, 250.0f - static_cast<float>(i / 15) * 50.0f, 1);
    for (int i = 0; i < 64; ++i)
        scorePopup(-240.0f + static_cast<float>(i % 8) * 70.0f, 200.0f - static_cast<float>(i / 8) * 60.0f, 90 * (i + 1));
    showBanner(lookupText("getlife"));
    boardView().bannerClock = 800.0f;
    showLetterText("levelcomplete", 0.0f, 0.0f, 30.0f);
    for (Letter& l : boardView().letters)
        if (l.clock > 0.0f) l.clock = 3000.0f;

    int frame = 0;
    auto next = [&] {
        if (setup.megaBomb && frame % 62 == 0) startEffect("prototip", 0.0f, 0.0f);
        ++frame;
        drawBoardFrame();
    };
    for (int i = 0; i < 30; ++i) next();
    triangleCounter() = 0;
    platform::gpu::drawStats() = {};
    // The processor time of the whole process (the rasterizer's threads too): less moved by
    // other work on the machine than the time on the clock.
    auto processMs = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
    };
    double cpuStart = processMs();
    for (auto _ : state) next();
    state.counters["process_cpu_ms"] = (processMs() - cpuStart) / static_cast<double>(state.iterations());
    auto perFrame = [&](uint32_t n) { return static_cast<double>(n) / static_cast<double>(state.iterations()); };
    state.counters["triangles_per_frame"] = perFrame(triangleCounter());
    const platform::gpu::DrawStats& stats = platform::gpu::drawStats();
    state.counters["unfiltered_batches"] = perFrame(stats.unfilteredBatches);
    state.counters["opaque_batches"] = perFrame(stats.opaqueBatches);
    state.counters["clears_deferred"] = perFrame(stats.clearsDeferred);
    state.counters["colour_only_draws"] = perFrame(stats.colourOnlyDraws);
    state.counters["rect_runs"] = perFrame(stats.rectRuns);
    if (setup.megaBomb) state.counters["live_particles"] = liveParticleCount();

    resetOutcomeHooks();
    forgetBoardPictures();
    resetBackdrops();
    resetEffects();
    shutdownDevice();
    platform::gpu::forcePath(nullptr);
    resetResourceStore();
    freeStrings();
    platform::setHeadless(false);
    platform::changeDir(previous.c_str());
}

// The path the driver calls for (the software one under llvmpipe, with its shortcuts).
void BM_BoardFrame(benchmark::State& state) { runBoardFrames(state, Setup{}); }
void BM_BoardFramePlainPath(benchmark::State& state) {
    runBoardFrames(state, Setup{true, platform::gpu::Path::kPlain, 0, false});
}
// The software path with every shortcut off, then with each alone (the argument is its bit).
void BM_BoardFrameNoShortcuts(benchmark::State& state) {
    runBoardFrames(state, Setup{true, platform::gpu::Path::kSoftware, 0, false});
}
void BM_BoardFrameOneShortcut(benchmark::State& state) {
    runBoardFrames(state, Setup{true, platform::gpu::Path::kSoftware, static_cast<uint32_t>(state.range(0)), false});
}
void BM_BoardFrameMegaBomb(benchmark::State& state) {
    runBoardFrames(state, Setup{false, platform::gpu::Path::kSoftware, platform::gpu::kSoftwarePathShortcuts, true});
}
void BM_BoardFrameMegaBombPlainPath(benchmark::State& state) {
    runBoardFrames(state, Setup{true, platform::gpu::Path::kPlain, 0, true});
}
BENCHMARK(BM_BoardFrame)->Apply(frameRuns);
BENCHMARK(BM_BoardFramePlainPath)->Apply(frameRuns);
BENCHMARK(BM_BoardFrameNoShortcuts)->Apply(frameRuns);
BENCHMARK(BM_BoardFrameOneShortcut)->Apply(eachShortcut)->Apply(frameRuns);
BENCHMARK(BM_BoardFrameMegaBomb)->Apply(frameRuns);
BENCHMARK(BM_BoardFrameMegaBombPlainPath)->Apply(frameRuns);

}  // namespace
