// The resource store at load time: three data packs of 10 MB in all are opened (one read and
// an in-place unscramble each) and every entry is looked up by a name in another case.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/pack_writer.h"
#include "app/resource_store.h"
#include "platform/files.h"

namespace {

struct PackPlan {
    const char* file;
    const char* pattern;
    int entries;
    size_t entryBytes;
};

// 5 MB of pictures, 3 MB of photos, 2 MB of texts: 10 MB and 750 entries.
const PackPlan kPacks[] = {
    {"targa.dat", "Pic%03d.TGA", 200, 26214},
    {"jpeg.dat", "photo%03d.jpg", 150, 20972},
    {"texts.dat", "text%03d.txt", 400, 5243},
};

struct BenchFolder {
    std::string folder;
    std::vector<std::string> lookupNames;
    int64_t packBytes = 0;

    BenchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "sandmere-bench-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (!mkdtemp(buf.data())) std::abort();
        folder = buf.data();
        uint32_t seed = 12345;
        for (const PackPlan& plan : kPacks) {
            std::vector<PackItem> items;
            for (int i = 0; i < plan.entries; ++i) {
                char name[64];
                std::snprintf(name, sizeof name, plan.pattern, i);
                PackItem item;
                item.name = name;
                item.data.resize(plan.entryBytes);
                for (uint8_t& b : item.data) {
                    seed = seed * 1103515245u + 12345u;
                    b = static_cast<uint8_t>(seed >> 16);
                }
                items.push_back(std::move(item));
                // Asked for in another case than the pack holds, as the loaders do.
                std::string lower(name);
                for (char& c : lower) c = static_cast<char>((c >= 'A' && c <= 'Z') ? c + 32 : c);
                lookupNames.push_back(lower);
            }
            std::string path = folder + "/" + plan.file;
            if (!writePack(path.c_str(), items)) std::abort();
            packBytes += static_cast<int64_t>(std::filesystem::file_size(path));
        }
        platform::changeDir(folder.c_str());
    }
    ~BenchFolder() {
        resetResourceStore();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

BenchFolder& benchFolder() {
    static BenchFolder f;
    return f;
}

void openAllPacks() {
    for (const PackPlan& plan : kPacks) openPack(plan.file);
}

void BM_OpenThreePacks(benchmark::State& state) {
    BenchFolder& f = benchFolder();
    for (auto _ : state) {
        state.PauseTiming();
        resetResourceStore();
        state.ResumeTiming();
        openAllPacks();
        benchmark::DoNotOptimize(resourceCount());
    }
    if (resourceCount() != 753) state.SkipWithError("the packs did not give 753 entries");
    state.SetBytesProcessed(state.iterations() * f.packBytes);
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(f.packBytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    resetResourceStore();
}
BENCHMARK(BM_OpenThreePacks)->Unit(benchmark::kMillisecond);

void BM_FindEveryEntry(benchmark::State& state) {
    BenchFolder& f = benchFolder();
    resetResourceStore();
    openAllPacks();
    for (auto _ : state) {
        for (const std::string& name : f.lookupNames) {
            ResourceEntry* e = findEntry(name.c_str());
            if (!e) state.SkipWithError("an entry was not found");
            benchmark::DoNotOptimize(e);
        }
    }
    int64_t lookups = static_cast<int64_t>(f.lookupNames.size());
    state.SetItemsProcessed(state.iterations() * lookups);
    state.counters["lookups/s"] = benchmark::Counter(static_cast<double>(lookups), benchmark::Counter::kIsIterationInvariantRate);
    resetResourceStore();
}
BENCHMARK(BM_FindEveryEntry)->Unit(benchmark::kMicrosecond);

// The whole load-time path: open the three packs, then take every entry with loadFile.
void BM_OpenAndLoadEverything(benchmark::State& state) {
    BenchFolder& f = benchFolder();
    for (auto _ : state) {
        state.PauseTiming();
        resetResourceStore();
        state.ResumeTiming();
        openAllPacks();
        for (const std::string& name : f.lookupNames) {
            int32_t size = 0;
            benchmark::DoNotOptimize(loadFile(name.c_str(), &size, false));
        }
    }
    state.SetBytesProcessed(state.iterations() * f.packBytes);
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(f.packBytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    resetResourceStore();
}
BENCHMARK(BM_OpenAndLoadEverything)->Unit(benchmark::kMillisecond);

}  // namespace
