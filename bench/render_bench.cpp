// A typical frame of the game on the offscreen device: one full-screen picture, 150 blended
// 48 x 48 sprites, 300 additive particles and 200 glyphs of text, presented and waited for.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "frame_runs.h"
#include "platform/gpu.h"
#include "platform/image.h"
#include "platform/window.h"
#include "render/device.h"
#include "render/sprites.h"
#include "render/text.h"
#include "render/textures.h"

namespace {

std::map<std::string, std::vector<uint8_t>> gFiles;

uint8_t* memoryLoad(const char* name, int32_t* size, bool) {
    auto it = gFiles.find(name);
    if (it == gFiles.end()) return nullptr;
    if (size) *size = static_cast<int32_t>(it->second.size());
    return it->second.data();
}
void memoryRelease(const void*) {}
const TextureFileSource kSource{memoryLoad, memoryRelease};

template <typename F>
std::vector<uint8_t> pixels(int w, int h, F f) {
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) f(x, y, &out[(static_cast<size_t>(y) * w + x) * 4]);
    return out;
}

struct Scene {
    TextureEntry* backdrop = nullptr;
    TextureEntry* figures = nullptr;
    TextureEntry* spark = nullptr;
};

Scene setUp() {
    Scene s;
    auto backdrop = pixels(1024, 1024, [](int x, int y, uint8_t* p) {
        p[0] = static_cast<uint8_t>(x);
        p[1] = static_cast<uint8_t>(y);
        p[2] = static_cast<uint8_t>(x ^ y);
        p[3] = 255;
    });
    s.backdrop = createTextureFromPixels("backdrop", backdrop.data(), 1024, 1024, false);
    // An atlas of 48 x 48 round figures.
    auto figures = pixels(256, 256, [](int x, int y, uint8_t* p) {
        float dx = static_cast<float>(x % 48) - 24.0f, dy = static_cast<float>(y % 48) - 24.0f;
        float r = std::sqrt(dx * dx + dy * dy);
        p[0] = static_cast<uint8_t>(x * 3);
        p[1] = static_cast<uint8_t>(y * 5);
        p[2] = 200;
        p[3] = r < 22.0f ? 255 : (r < 24.0f ? 128 : 0);
    });
    s.figures = createTextureFromPixels("figures", figures.data(), 256, 256, true);
    auto spark = pixels(32, 32, [](int x, int y, uint8_t* p) {
        float dx = static_cast<float>(x) - 15.5f, dy = static_cast<float>(y) - 15.5f;
        float v = std::max(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy) / 16.0f);
        p[0] = p[1] = p[2] = static_cast<uint8_t>(v * 255.0f);
        p[3] = static_cast<uint8_t>(v * 255.0f);
    });
    s.spark = createTextureFromPixels("spark", spark.data(), 32, 32, true);
    // A font of 16 x 16 cells with a block in each.
    auto sheet = pixels(512, 512, [](int x, int y, uint8_t* p) {
        bool ink = (x % 32) > 8 && (x % 32) < 24 && (y % 32) > 6 && (y % 32) < 26;
        p[0] = p[1] = p[2] = 255;
        p[3] = ink ? 255 : 0;
    });
    gFiles["benchfont.tga"] = platform::encodeTga(sheet.data(), 512, 512, true);
    std::vector<uint8_t> dat(516, 0);
    int32_t n = 16;
    std::memcpy(dat.data(), &n, 4);
    for (int c = 0; c < 256; ++c) {
        dat[4 + c] = 20;
        dat[260 + c] = static_cast<uint8_t>(c);
    }
    gFiles["benchfont.dat"] = dat;
    auto white = pixels(4, 4, [](int, int, uint8_t* p) { p[0] = p[1] = p[2] = p[3] = 255; });
    gFiles["podsvet.jpg"] = platform::encodeJpeg(white.data(), 4, 4, 90);
    loadFont("benchfont", 1.0f, 1.0f);
    return s;
}

void drawFrame(const Scene& s, int frame, bool pictureOnly = false) {
    clearDepth(1.0f);
    clearTarget(0xFFB4B4B4u);
    beginScene();
    begin2D();
    setCulling(false);
    // The backdrop as the game's screens draw it: unfiltered, one texel per pixel.
    switchOff(kSwitchSmoothFiltering);
    bindTexture(s.backdrop);
    drawScreenRect(0, 0, 800, 600, 0, 0, 0.78125f, 0.5859375f, 0xFFFFFFFFu);
    switchOn(kSwitchSmoothFiltering);
    if (pictureOnly) {
        endScene();
        presentFrame();
        waitForDrawing();
        return;
    }
    bindTexture(s.figures);
    for (int i = 0; i < 150; ++i) {
        float x = -330.0f + static_cast<float>(i % 15) * 48.0f;
        float y = 250.0f - static_cast<float>(i / 15) * 48.0f + static_cast<float>(frame % 7);
        float u = static_cast<float>(i % 5) * 48.0f / 256.0f, v = static_cast<float>((i / 5) % 5) * 48.0f / 256.0f;
        drawQuad(x, y, 48, 48, UVRect{u, v, u + 48.0f / 256.0f, v + 48.0f / 256.0f}, 0xFFFFFFFFu, 10.0f);
    }
    setBlendMode(kBlendAdditive);
    bindTexture(s.spark);
    for (int i = 0; i < 300; ++i) {
        float a = static_cast<float>(i) * 0.37f + static_cast<float>(frame) * 0.01f;
        float r = 40.0f + static_cast<float>(i % 50) * 4.0f;
        float size = 12.0f + static_cast<float>(i % 4) * 6.0f;
        drawQuad(r * std::cos(a), r * std::sin(a), size, size, UVRect{0, 0, 1, 1}, 0xC0FFC080u, 10.0f);
    }
    setBlendMode(kBlendAlpha);
    selectFont(0);
    setTextColour(255, 255, 255, 255);
    for (int line = 0; line < 8; ++line)  // 8 lines of 25: 200 glyphs
        drawText(-300.0f, 200.0f - static_cast<float>(line) * 30.0f, 13.0f, "The quick brown fox jumps");
    endScene();
    presentFrame();
    waitForDrawing();
}

void runFrames(benchmark::State& state, bool pictureOnly, uint32_t shortcuts = platform::gpu::kSoftwarePathShortcuts,
               bool plainPath = false) {
    platform::setHeadless(true);
    const platform::gpu::Path plain = platform::gpu::Path::kPlain;
    platform::gpu::forcePath(plainPath ? &plain : nullptr);
    if (!initDevice()) {
        platform::gpu::forcePath(nullptr);
        state.SkipWithError("no OpenGL context");
        return;
    }
    setTextureFileSource(&kSource);
    Scene s = setUp();
    platform::gpu::setShortcuts(shortcuts);
    int frame = 0;
    for (int i = 0; i < 5; ++i) drawFrame(s, frame++, pictureOnly);
    triangleCounter() = 0;
    platform::gpu::drawStats() = {};
    // The processor time of the whole process (the rasterizer's threads too).
    auto processMs = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
    };
    double cpuStart = processMs();
    for (auto _ : state) drawFrame(s, frame++, pictureOnly);
    state.counters["process_cpu_ms"] = (processMs() - cpuStart) / static_cast<double>(state.iterations());
    auto perFrame = [&](uint32_t n) { return static_cast<double>(n) / static_cast<double>(state.iterations()); };
    state.counters["triangles_per_frame"] = perFrame(triangleCounter());
    const platform::gpu::DrawStats& stats = platform::gpu::drawStats();
    state.counters["unfiltered_batches"] = perFrame(stats.unfilteredBatches);
    shutdownDevice();
    platform::gpu::forcePath(nullptr);
    setTextureFileSource(nullptr);
    platform::setHeadless(false);
}
void BM_TypicalFrame(benchmark::State& state) { runFrames(state, false); }
// The same frame with the drawing shortcuts off: everything drawn the plain way.
void BM_TypicalFramePlain(benchmark::State& state) { runFrames(state, false, 0); }
// With one shortcut alone (the argument is its bit).
void BM_TypicalFrameOneShortcut(benchmark::State& state) {
    runFrames(state, false, static_cast<uint32_t>(state.range(0)));
}
// The plain drawing path, the one for every GPU.
void BM_TypicalFramePlainPath(benchmark::State& state) { runFrames(state, false, 0, true); }
// The full-screen picture alone (the largest part of the frame's pixels).
void BM_FullScreenPicture(benchmark::State& state) { runFrames(state, true); }
BENCHMARK(BM_TypicalFrame)->Apply(frameRuns);
BENCHMARK(BM_TypicalFramePlain)->Apply(frameRuns);
BENCHMARK(BM_TypicalFrameOneShortcut)->Apply(eachShortcut)->Apply(frameRuns);
BENCHMARK(BM_TypicalFramePlainPath)->Apply(frameRuns);
BENCHMARK(BM_FullScreenPicture)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace
