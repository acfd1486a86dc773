// Sandmere: the program entry and its command line.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/play_runner.h"
#include "app/replay.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/window.h"

namespace {

const char kUsage[] =
    "Usage: sandmere [option]\n"
    "  (no option)                 play the game\n"
    "  --record FILE               play the game and record the session into FILE\n"
    "  --replay FILE               play a recorded session back in a window, at its pace\n"
    "  --replay FILE --headless    play it back without window or sound, as fast as it runs;\n"
    "                              the last line printed is the end state's digest\n"
    "  --timedemo FILE             play it back on the renderer as fast as it can and print\n"
    "                              frames, median, 95th and 99th percentile frame time (ms),\n"
    "                              peak memory (KiB) and the digest on one line\n"
    "  --help                      show this text\n"
    "  --version                   show the program's version\n";

int usageError(const char* text, const char* argument) {
    std::fprintf(stderr, "sandmere: %s%s%s%s\nTry 'sandmere --help'.\n", text, argument ? " '" : "",
                 argument ? argument : "", argument ? "'" : "");
    return 2;
}

bool readReplay(const std::string& path, Replay& replay) {
    std::vector<uint8_t> bytes;
    if (!platform::readWholeFile(path.c_str(), bytes)) {
        std::fprintf(stderr, "Sandmere: cannot read the replay %s\n", path.c_str());
        return false;
    }
    std::string error;
    if (!parseReplay(bytes.data(), bytes.size(), replay, error)) {
        std::fprintf(stderr, "Sandmere: the replay %s is damaged: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

// The end of a playback: the digest, checked against the recorded session's.
int reportEnd(uint64_t digest) {
    uint64_t recorded = 0;
    bool known = playbackHasEnd(recorded);
    int code = 0;
    if (known && recorded != digest) {
        std::fprintf(stderr, "Sandmere: the playback ended in another state than the recorded session (%s)\n",
                     digestText(recorded).c_str());
        code = 1;
    } else if (!known) {
        std::fprintf(stderr, "Sandmere: the recording has no end state to compare with\n");
    }
    return code;
}

double percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0.0;
    size_t index = static_cast<size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(index, sorted.size() - 1)];
}

// Headless playback and the timedemo: the play runner drives the real loop and renderer
// (offscreen) on a clock that moves as the recorded frames did.
int playHeadless(Replay replay, bool timed) {
    // The null audio output: no sound device is opened.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    startPlayback(std::move(replay), false);
    PlayRunner runner(platform::currentDir());
    if (!runner.start()) {
        resetReplay();
        return runner.exitCode() != 0 ? runner.exitCode() : 1;
    }
    std::vector<double> frameMs;
    if (timed) {
        using Clock = std::chrono::steady_clock;
        while (runner.running()) {
            // The turn that runs the loading sequence is loading, not a frame: it is left out.
            bool loadedBefore = application().dataLoaded;
            Clock::time_point start = Clock::now();
            runner.frames(1);
            double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            if (loadedBefore == application().dataLoaded && runner.running()) frameMs.push_back(ms);
        }
    } else {
        runner.playToEnd();
    }
    int code = runner.exitCode();
    uint64_t digest = finishReplay();
    int endCode = reportEnd(digest);
    if (timed) {
        std::sort(frameMs.begin(), frameMs.end());
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("timedemo frames=%zu median_ms=%.3f p95_ms=%.3f p99_ms=%.3f peak_kib=%ld digest=%s\n", frameMs.size(),
                    percentile(frameMs, 0.5), percentile(frameMs, 0.95), percentile(frameMs, 0.99),
                    static_cast<long>(usage.ru_maxrss), digestText(digest).c_str());
    } else {
        std::printf("digest %s\n", digestText(digest).c_str());
    }
    std::fflush(stdout);
    resetReplay();
    return code != 0 ? code : endCode;
}

int playInWindow(Replay replay) {
    startPlayback(std::move(replay), true);
    int code = runApplication();
    if (replayMode() == ReplayMode::Off || code != 0) {
        resetReplay();
        return code;
    }
    uint64_t digest = finishReplay();
    int endCode = reportEnd(digest);
    std::printf("digest %s\n", digestText(digest).c_str());
    resetReplay();
    return endCode;
}

}  // namespace

int main(int argc, char** argv) {
    platform::returnFreedMemoryEarly();
    const char* headless = std::getenv("SANDMERE_HEADLESS");
    if (headless && *headless) platform::setHeadless(true);

    std::string record, replay, timedemo;
    bool headlessPlayback = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(a, "--version") == 0) {
            std::printf("Sandmere %s\n", programVersion());
            return 0;
        }
        std::string* target = nullptr;
        if (std::strcmp(a, "--record") == 0) target = &record;
        else if (std::strcmp(a, "--replay") == 0) target = &replay;
        else if (std::strcmp(a, "--timedemo") == 0) target = &timedemo;
        else if (std::strcmp(a, "--headless") == 0) {
            headlessPlayback = true;
            continue;
        } else {
            return usageError("unknown argument", a);
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') return usageError("a file name must follow", a);
        if (!target->empty()) return usageError("given twice:", a);
        *target = argv[++i];
    }
    int modes = !record.empty() + !replay.empty() + !timedemo.empty();
    if (modes > 1) return usageError("--record, --replay and --timedemo go one at a time", nullptr);
    if (headlessPlayback && replay.empty()) return usageError("--headless goes with --replay FILE", nullptr);

    if (!record.empty()) {
        std::string error;
        if (!startRecording(record, error)) {
            std::fprintf(stderr, "Sandmere: %s\n", error.c_str());
            return 1;
        }
        int code = runApplication();
        finishReplay();
        resetReplay();
        return code;
    }
    if (!replay.empty() || !timedemo.empty()) {
        Replay loaded;
        if (!readReplay(replay.empty() ? timedemo : replay, loaded)) return 1;
        if (!timedemo.empty() || headlessPlayback) return playHeadless(std::move(loaded), !timedemo.empty());
        return playInWindow(std::move(loaded));
    }
    return runApplication();
}
