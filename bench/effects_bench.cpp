// Particle effects on the offscreen device: 1024 live particles from the forged particle sheet,
// updated and drawn every frame: sparks that add light (24 to 8 units across, and small ones of
// 8 to 3), and a mix with smoke blended over them. Compare with BM_TypicalFrame in one run.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/frame_clock.h"
#include "app/resource_store.h"
#include "frame_runs.h"
#include "platform/files.h"
#include "platform/image.h"
#include "platform/random.h"
#include "platform/window.h"
#include "render/device.h"
#include "render/effects.h"
#include "render/sprites.h"
#include "render/textures.h"

namespace {

// Sparks circling the middle of the screen, 24 to 8 units across over their life.
const char* kSparks =
    "parfrequency=1\r\nnumparticle=10\r\nblendtype=0\r\ncolor0=(1,0.85,0.5,1)\r\ncolor1=(1,0.3,0,0)\r\n"
    "radius0=24\r\nradius0dev=8\r\nradius1=8\r\npartime=3000\r\npartimedev=500\r\npolarpar=(150,0,0,60)\r\n"
    "polarpardev=(140,10,180,30)\r\nrot=0\r\nrotdev=180\r\ndrot=0\r\ndrotdev=120\r\n";
// Small sparks, 8 to 3 units across: what 1024 particles cost beyond their pixels.
const char* kSmallSparks =
    "parfrequency=1\r\nnumparticle=10\r\nblendtype=0\r\ncolor0=(1,0.85,0.5,1)\r\ncolor1=(1,0.3,0,0)\r\n"
    "radius0=8\r\nradius0dev=2\r\nradius1=3\r\npartime=3000\r\npartimedev=500\r\npolarpar=(150,0,0,60)\r\n"
    "polarpardev=(140,10,180,30)\r\nrot=0\r\nrotdev=180\r\ndrot=0\r\ndrotdev=120\r\n";
// Smoke puffs blended over them.
const char* kSmoke =
    "parfrequency=1\r\nnumparticle=2\r\nblendtype=1\r\ncolor0=(0.3,0.28,0.26,0.6)\r\ncolor1=(0.5,0.5,0.5,0)\r\n"
    "radius0=20\r\nradius0dev=6\r\nradius1=40\r\npartime=3000\r\npartimedev=500\r\npolarpar=(120,0,0,40)\r\n"
    "polarpardev=(110,10,180,20)\r\nrot=0\r\nrotdev=180\r\n";

void addTemplate(const char* name, const char* text) {
    EffectTemplate t;
    readEffectTemplate(text, name, t);
    addEffectTemplate(t);
}

// The forged particle sheet from its pack; a sheet of the same kind (8 x 8 cells of soft discs,
// black where clear) when the data set is not built.
TextureEntry* particleSheet() {
    std::string back = platform::currentDir();
    if (platform::changeDir(SANDMERE_DATA_DIR)) {
        openPack("targa.dat");
        TextureEntry* sheet = loadTexture("exploanim.tga", false);
        platform::changeDir(back.c_str());
        if (sheet) return sheet;
    }
    std::vector<uint8_t> rgba(512 * 512 * 4);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            float dx = static_cast<float>(x % 64) - 31.5f, dy = static_cast<float>(y % 64) - 31.5f;
            float v = 1.0f - (dx * dx + dy * dy) / (30.0f * 30.0f);
            uint8_t a = static_cast<uint8_t>(v > 0.0f ? v * v * 255.0f : 0.0f);
            uint8_t* p = &rgba[(static_cast<size_t>(y) * 512 + x) * 4];
            p[0] = p[1] = p[2] = p[3] = a;
        }
    return createTextureFromPixels("sheet", rgba.data(), 512, 512, true);
}

void runParticles(benchmark::State& state, int smokeEvery, const char* sparks = kSparks) {
    platform::setHeadless(true);
    if (!initDevice()) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    resetEffects();
    resetFrameClock();
    platform::srand(11);
    setParticleSheet(particleSheet());
    addTemplate("sparks", sparks);
    addTemplate("smoke", kSmoke);
    setCulling(false);
    auto topUp = [&] {
        int n = liveParticleCount();
        for (int i = n; i < kParticleRing; ++i) spawnParticle(0, 0, 0, i % smokeEvery == 0 ? 1 : 0, 1.0f, -1);
    };
    auto frame = [&] {
        topUp();
        clearTarget(0xFF101018u);
        begin2D();
        frameClock().frameMs = 16.0f;
        updateAndDrawParticles();
        endScene();
        waitForDrawing();
    };
    for (int i = 0; i < 30; ++i) frame();
    int drawn = 0;
    uint32_t triangles = triangleCounter();
    for (auto _ : state) {
        frame();
        drawn += liveParticleCount();
    }
    state.counters["live_particles"] = static_cast<double>(drawn) / static_cast<double>(state.iterations());
    state.counters["triangles_per_frame"] =
        static_cast<double>(triangleCounter() - triangles) / static_cast<double>(state.iterations());
    resetEffects();
    shutdownDevice();
    resetResourceStore();
    platform::setHeadless(false);
}

void BM_Particles1024(benchmark::State& state) { runParticles(state, kParticleRing + 1); }
void BM_Particles1024WithSmoke(benchmark::State& state) { runParticles(state, 4); }
void BM_Particles1024Small(benchmark::State& state) { runParticles(state, kParticleRing + 1, kSmallSparks); }
BENCHMARK(BM_Particles1024)->Apply(frameRuns);
BENCHMARK(BM_Particles1024Small)->Apply(frameRuns);
BENCHMARK(BM_Particles1024WithSmoke)->Apply(frameRuns);

}  // namespace
