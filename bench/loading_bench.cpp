// The loading sequence as the game runs it, warm (the data set's files in the page cache): the
// play runner starts the program over a temporary install linked to the forged data set, skips
// the splashes with a key, and the frame that runs the loading is timed on the wall clock.
// BM_LoadSounds times the cues and the music module alone, the part that dominated.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/application.h"
#include "app/loader.h"
#include "app/play_runner.h"
#include "audio/audio.h"
#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

// A temporary install: Data/ holds links to the forged files, the settings are its own.
struct Install {
    fs::path root;
    Install() {
        std::string pattern = (fs::temp_directory_path() / "sandmere-load-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        root = pattern;
        fs::create_directories(root / "Data");
        for (const auto& entry : fs::directory_iterator(SANDMERE_DATA_DIR)) {
            if (entry.path().filename() == "settings") continue;
            fs::create_symlink(entry.path(), root / "Data" / entry.path().filename());
        }
    }
    ~Install() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

bool haveData(benchmark::State& state) {
    if (fs::exists(fs::path(SANDMERE_DATA_DIR) / "targa.dat")) return true;
    state.SkipWithError("no data set");
    return false;
}

void BM_LoadingSequence(benchmark::State& state) {
    if (!haveData(state)) return;
    Install install;
    for (auto _ : state) {
        resetGameState();
        PlayRunner runner(install.root.string());
        if (!runner.start()) {
            state.SkipWithError("the start-up failed");
            return;
        }
        // Keys skip both splashes; the loading runs at the end of the frame that requests it,
        // the frame after which the data counts as loaded.
        double loadingSeconds = 0.0;
        for (int i = 0; i < 2000 && !application().dataLoaded; ++i) {
            runner.key(13);
            auto begin = std::chrono::steady_clock::now();
            runner.frames(1);
            loadingSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        }
        if (!application().dataLoaded) {
            state.SkipWithError("the loading did not run");
            return;
        }
        state.SetIterationTime(loadingSeconds);
        runner.close();
    }
}
BENCHMARK(BM_LoadingSequence)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_LoadSounds(benchmark::State& state) {
    if (!haveData(state)) return;
    const std::string previous = platform::currentDir();
    platform::changeDir(SANDMERE_DATA_DIR);
    for (auto _ : state) {
        initAudioWithoutDevice();
        loadSounds();
    }
    resetAudioState();
    platform::changeDir(previous.c_str());
}
BENCHMARK(BM_LoadSounds)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

}  // namespace
