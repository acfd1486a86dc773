// How the frame benchmarks run: wall time in milliseconds, at least 2 s a run, five runs
// reported as their aggregates; and the software path's shortcuts, one at a time.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

#include "platform/gpu.h"

inline void frameRuns(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0)->Repetitions(5)->ReportAggregatesOnly(true);
}

inline void eachShortcut(benchmark::internal::Benchmark* b) {
    b->ArgName("shortcut");
    for (uint32_t s :
         {platform::gpu::kShortcutUnfiltered, platform::gpu::kShortcutOpaque,
          platform::gpu::kShortcutDeferredClear, platform::gpu::kShortcutColourOnly, platform::gpu::kShortcutRectRuns})
        b->Arg(s);
}
