// The real output path: SDL's disk driver writes what the device plays to a raw file, which is
// read back for the cue's pitch and length and for the music.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/frame_clock.h"
#include "app/loader.h"
#include "audio/audio.h"
#include "audio_fixtures.h"
#include "platform/audio_device.h"
#include "progress/profiles.h"
#include "test_support.h"

namespace af = audio_fixtures;
namespace fs = std::filesystem;

namespace {

// Sets an environment variable for the lifetime of the object.
struct ScopedEnv {
    std::string name;
    std::string saved;
    bool had;
    ScopedEnv(const char* n, const char* value) : name(n) {
        const char* old = std::getenv(n);
        had = old != nullptr;
        if (had) saved = old;
        setenv(n, value, 1);
    }
    ~ScopedEnv() {
        if (had) setenv(name.c_str(), saved.c_str(), 1);
        else unsetenv(name.c_str());
    }
};

// The disk driver runs on its own thread: wait (bounded) until the file holds enough output.
bool waitForBytes(const fs::path& file, uintmax_t bytes) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::error_code ec;
    while (std::chrono::steady_clock::now() < deadline) {
        if (fs::exists(file, ec) && fs::file_size(file, ec) >= bytes) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

TEST(AudioDevice, TheDiskDriverRecordsTheCueAtItsPitchAndLengthAndTheMusic) {
    testing_support::TempDir dir;
    testing_support::writeFile(dir / "Data/Sounds/tone880.ogg", af::encodeOgg(af::sine(880.0, 44100, 1.0), 1, 44100));
    testing_support::writeFile(dir / "Data/music.mo3", af::tinyXm(100, 2));
    fs::path raw = dir / "output.raw";
    fs::path previous = fs::current_path();
    fs::current_path(dir / "Data");
    settings() = Settings();
    settings().sfxVolume = 100;
    resetLoaderState();
    bool opened;
    {
        ScopedEnv driver("SDL_AUDIODRIVER", "disk");
        ScopedEnv file("SDL_DISKAUDIOFILE", raw.c_str());
        ScopedEnv delay("SDL_DISKAUDIODELAY", "0");  // as fast as the thread can write
        opened = initAudio();
    }
    ASSERT_TRUE(opened);
    loadSounds();
    frameClock().deltaMs = 16;
    const uintmax_t perSecond = 44100 * 4;
    ASSERT_TRUE(waitForBytes(raw, 1));
    // Whatever is in the file before the audio step was mixed before the cue started.
    uintmax_t cueFrom = fs::file_size(raw) / 4 * 4;
    playSoundAtFrequency("tone880.ogg", 22050);
    updateAudio();
    bool cueWritten = waitForBytes(raw, cueFrom + 3 * perSecond);
    // Whatever is in the file before the switch was mixed without the music.
    uintmax_t musicFrom = fs::file_size(raw) / 4 * 4;
    switchMusicSection(0);
    bool musicWritten = waitForBytes(raw, musicFrom + 2 * perSecond);
    shutdownAudio();
    fs::current_path(previous);
    settings() = Settings();
    resetAudioState();
    ASSERT_TRUE(cueWritten);
    ASSERT_TRUE(musicWritten);

    // 16-bit little-endian stereo at 44100 Hz, as the device was opened.
    std::string data = testing_support::readFile(raw);
    std::vector<int16_t> stereo(data.size() / 4 * 2);
    std::memcpy(stereo.data(), data.data(), stereo.size() * 2);
    // The cue: the loud stretch after its request and before the music started.
    size_t musicFrame = static_cast<size_t>(musicFrom / 4);
    size_t first = static_cast<size_t>(cueFrom / 4);
    EXPECT_LT(af::peak(std::vector<int16_t>(stereo.begin(), stereo.begin() + static_cast<long>(2 * first))), 1.0);
    while (first < musicFrame && std::abs(stereo[2 * first]) < 1000) ++first;
    ASSERT_LT(first, musicFrame);
    std::vector<int16_t> cue(stereo.begin() + static_cast<long>(2 * first), stereo.begin() + static_cast<long>(2 * musicFrame));
    size_t length = af::soundingFrames(cue);
    EXPECT_NEAR(static_cast<double>(length), 2.0 * 44100, 100.0);
    EXPECT_NEAR(af::pitchHz(cue, 0, length), 440.0, 1.0);
    // The music after the switch.
    std::vector<int16_t> music(stereo.begin() + static_cast<long>(2 * musicFrame), stereo.end());
    EXPECT_GT(af::peak(music), 1000.0);
}

}  // namespace
