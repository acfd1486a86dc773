// A replay file of any content: it is read or refused with a message, what is read writes back
// to the same image, and stepping through its records (as a playback does, event by event and
// frame by frame) always comes to the end.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Replay replay;
    std::string error;
    if (!parseReplay(data, size, replay, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    std::vector<uint8_t> image;
    encodeReplay(replay, image);
    if (image.size() != size || (size > 0 && !std::equal(image.begin(), image.end(), data))) std::abort();
    const uint64_t frames = replay.frameCount;
    startPlayback(std::move(replay), false);
    uint64_t framesRun = 0;
    platform::Event event;
    // Runs of frames are stepped through in whole only while they are short.
    while (!playbackFinished() && framesRun < 100000) {
        while (nextPlaybackEvent(event)) {
        }
        if (playbackFinished()) break;
        frameDelta(16);
        ++framesRun;
    }
    if (framesRun > frames) std::abort();
    resetReplay();
    return 0;
}
