// The board update on a busy board: figures falling and new ones entering, refills running.
#include <benchmark/benchmark.h>

#include "app/frame_clock.h"
#include "app/trace.h"
#include "board/board.h"
#include "board/falling.h"
#include "board/level.h"
#include "board/moves.h"
#include "board/play.h"
#include "platform/random.h"

namespace {

const char* kBusyLevel =
    "figures=6\r\ntime=10\r\nmoves=50\r\nback=2\r\nlevel=\r\n"
    "000000000000\r\n000000000000\r\n000011110000\r\n000122221000\r\n00012BC21000\r\n"
    "000122221000\r\n0000.00.0000\r\n000110011000\r\n000220022000\r\n000000000000\r\n"
    "A0000000000E\r\n";

// Keeps the board moving: when it settles, a third of the free figures go, and every fourth
// time the refill runs instead.
void stirBoard(int& round) {
    if (!isSettled() || board().refillRunning) return;
    if (++round % 4 == 0) {
        startRefill();
        return;
    }
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (hasFigure(r, c) && !board().cells[r][c].chained && platform::rand() % 3 == 0) clearFigure(r, c);
}

void BoardFrameBusy(benchmark::State& state) {
    setTracing(false);
    resetBoardProcess();
    platform::srand(42);
    board().mode = kAdventure;
    startLevelFromText(6, kBusyLevel);
    FrameClock& clock = frameClock();
    clock.deltaMs = 16;
    clock.frameMs = 16.0f;
    int round = 0;
    int frames = 0;
    for (auto _ : state) {
        // The stirring is a settled-board check on most frames; it stays inside the timing
        // because pausing the timer costs more than the frame itself.
        stirBoard(round);
        clock.runningMs += 16.0f;
        boardFrame();
        refillFrame();
        // A copy: handed the board's own field, the write-back of the empty asm statement
        // could put an old offset back into the board.
        float watched = board().cells[5][5].offset.y;
        benchmark::DoNotOptimize(watched);
        ++frames;
    }
    state.counters["stirs"] = round;
}

}  // namespace

BENCHMARK(BoardFrameBusy)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
