// Board play drawn as the game draws it, on the offscreen device over the forged data set: the
// level's animated backdrop, a stage-10 level's board, the panel, the candle, 150 pieces of debris, 64
// points pop-ups, a banner and a letter text. Run it beside BM_TypicalFrame
// (--benchmark_filter=Frame) to compare on the same machine.
#include <benchmark/benchmark.h>

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

void BM_BoardFrame(benchmark::State& state) {
    const std::string data = SANDMERE_DATA_DIR;
    if (!std::filesystem::exists(data + "/targa.dat")) {
        state.SkipWithError("no data set");
        return;
    }
    const std::string previous = platform::currentDir();
    platform::changeDir(data.c_str());
    platform::setHeadless(true);
    if (!initDevice()) {
        state.SkipWithError("no OpenGL context");
        return;
    }
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
    menuOpen() = false;
    platform::srand(3);
    board().mode = kAdventure;
    startLevel(kStageTenLevel);

    // A still frame: nothing ages between the frames, so every frame draws the same.
    FrameClock& clock = frameClock();
    clock.frameMs = 0.0f;
    clock.deltaMs = 0;
    for (int i = 0; i < 150; ++i)
        spawnDebris(i % 8, -250.0f + static_cast<float>(i % 15) * 40.0f, 250.0f - static_cast<float>(i / 15) * 50.0f, 1);
    for (int i = 0; i < 64; ++i)
        scorePopup(-240.0f + static_cast<float>(i % 8) * 70.0f, 200.0f - static_cast<float>(i / 8) * 60.0f, 90 * (i + 1));
    showBanner(lookupText("getlife"));
    boardView().bannerClock = 800.0f;
    showLetterText("levelcomplete", 0.0f, 0.0f, 30.0f);
    for (Letter& l : boardView().letters)
        if (l.clock > 0.0f) l.clock = 3000.0f;

    for (int i = 0; i < 5; ++i) drawBoardFrame();
    triangleCounter() = 0;
    platform::gpu::drawStats() = {};
    for (auto _ : state) drawBoardFrame();
    auto perFrame = [&](uint32_t n) { return static_cast<double>(n) / static_cast<double>(state.iterations()); };
    state.counters["triangles_per_frame"] = perFrame(triangleCounter());
    const platform::gpu::DrawStats& stats = platform::gpu::drawStats();
    state.counters["quads_cut"] = perFrame(stats.quadsCut);
    state.counters["unfiltered_batches"] = perFrame(stats.unfilteredBatches);
    state.counters["one_level_batches"] = perFrame(stats.oneLevelBatches);
    state.counters["copies"] = perFrame(stats.copies);

    resetOutcomeHooks();
    forgetBoardPictures();
    resetBackdrops();
    resetEffects();
    shutdownDevice();
    resetResourceStore();
    freeStrings();
    platform::setHeadless(false);
    platform::changeDir(previous.c_str());
}
BENCHMARK(BM_BoardFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
