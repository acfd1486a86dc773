// One whole level played by the autoplay bot: every frame of the real board update from the
// first deal to the won level.
#include <benchmark/benchmark.h>

#include "board/bot.h"

namespace {

// A mid-journey level: a ring of dual squares around chained figures and a bomb, holes, a
// row of single squares.
const char* kBenchLevel =
    "figures=5\r\ntime=30\r\nmoves=40\r\nback=2\r\nlevel=\r\n"
    "..00000000..\r\n.0000000000.\r\n000000000000\r\n000122221000\r\n00012BR21000\r\n"
    "000122221000\r\n0000.00.0000\r\n000110011000\r\n000000000000\r\n000000000000\r\n"
    "000000000000\r\n";

void BotPlaysOneLevel(benchmark::State& state) {
    uint32_t seed = 1;
    int won = 0;
    int runs = 0;
    long frames = 0;
    for (auto _ : state) {
        BotOptions o;
        o.levelIndex = 20;
        o.mode = kAdventure;
        o.seed = seed++;
        o.levelText = kBenchLevel;
        const BotResult r = playLevelWithBot(o);
        benchmark::DoNotOptimize(r.score);
        won += r.won ? 1 : 0;
        frames += r.frames;
        ++runs;
    }
    state.counters["won"] = runs ? static_cast<double>(won) / runs : 0.0;
    state.counters["frames"] = runs ? static_cast<double>(frames) / runs : 0.0;
}

}  // namespace

BENCHMARK(BotPlaysOneLevel)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
