// Mixing cost: one second of output with 32 sounding voices and the music module, in the
// blocks the device asks for. The target is at most 10 ms per second of audio.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../tests/audio_fixtures.h"
#include "platform/mixer.h"

namespace {

// The forged module when the data set is built, otherwise a small eight-channel one.
std::string benchModule(bool& forged) {
    std::filesystem::path path = std::filesystem::path(SANDMERE_DATA_DIR) / "music.mo3";
    std::ifstream in(path, std::ios::binary);
    forged = static_cast<bool>(in);
    if (forged) return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return audio_fixtures::tinyXm(100, 8);
}

void prepare(int voices, bool withModule, benchmark::State& state) {
    platform::resetMixer();
    platform::setMixerEnabled(true);
    platform::setGlobalVolumes(100, 80);
    platform::DecodedSound mono;
    mono.pcm = audio_fixtures::sine(880.0, 44100, 1.0, 3000);
    mono.frames = 44100;
    mono.channels = 1;
    mono.rate = 44100;
    uint32_t a = platform::addSample(std::move(mono));
    platform::DecodedSound stereo;
    stereo.pcm = audio_fixtures::sine(440.0, 44100, 1.0, 3000, 2, 660.0);
    stereo.frames = 44100;
    stereo.channels = 2;
    stereo.rate = 44100;
    uint32_t b = platform::addSample(std::move(stereo));
    // Looping voices at assorted rates, so that all of them sound for the whole second.
    for (int i = 0; i < voices; ++i) platform::playSample(i % 2 ? b : a, 11025 + 1500 * i, true);
    if (withModule) {
        bool forged = false;
        std::string module = benchModule(forged);
        platform::loadModuleMemory(reinterpret_cast<const uint8_t*>(module.data()), module.size());
        platform::setModuleGain(158);
        platform::playModule(0);
        state.SetLabel(forged ? "forged music.mo3" : "test module (no data set)");
    }
}

void mixOneSecond(benchmark::State& state, int voices, bool withModule) {
    prepare(voices, withModule, state);
    std::vector<int16_t> block(2 * 1024);
    for (auto _ : state) {
        for (int done = 0; done < 44100; done += 1024) {
            platform::mixFrames(block.data(), std::min(1024, 44100 - done));
        }
        benchmark::DoNotOptimize(block.data());
    }
    if (platform::activeVoiceCount() != voices) state.SkipWithError("a voice stopped");
    platform::resetMixer();
}

void BM_MixOneSecond32VoicesAndModule(benchmark::State& state) { mixOneSecond(state, 32, true); }
void BM_MixOneSecond32Voices(benchmark::State& state) { mixOneSecond(state, 32, false); }
void BM_MixOneSecondModuleOnly(benchmark::State& state) { mixOneSecond(state, 0, true); }

}  // namespace

BENCHMARK(BM_MixOneSecond32VoicesAndModule)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_MixOneSecond32Voices)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_MixOneSecondModuleOnly)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
