// Cue playback and the music sections through the game's audio operations, mixed without a
// device, from a small data folder of cues and a module made by the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/frame_clock.h"
#include "app/loader.h"
#include "app/scene.h"
#include "app/trace.h"
#include "audio/audio.h"
#include "audio_fixtures.h"
#include "board/level.h"
#include "board/play.h"
#include "platform/audio_device.h"
#include "platform/mixer.h"
#include "platform/random.h"
#include "progress/profiles.h"
#include "test_support.h"

namespace af = audio_fixtures;
namespace fs = std::filesystem;

namespace {

const std::string& oggTone(double hz, double seconds) {
    static std::string tone880 = af::encodeOgg(af::sine(880.0, 44100, 1.0), 1, 44100);
    static std::string click = af::encodeOgg(af::sine(1000.0, 44100, 0.05), 1, 44100);
    static std::string low = af::encodeOgg(af::sine(300.0, 44100, 0.1), 1, 44100);
    if (hz == 880.0 && seconds == 1.0) return tone880;
    if (hz == 1000.0) return click;
    return low;
}

std::vector<int16_t> mix(int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    platform::mixFrames(out.data(), frames);
    return out;
}

// One frame of the game: the elapsed time, the audio step, and that much mixed output.
std::vector<int16_t> frame(uint32_t ms) {
    frameClock().deltaMs = ms;
    updateAudio();
    return mix(static_cast<int>(ms * 44100 / 1000));
}

class AudioCueTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        fs::path data = dir_ / "Data";
        fs::create_directories(data / "Sounds" / "folder.ogg");
        testing_support::writeFile(data / "Sounds/tone880.ogg", oggTone(880.0, 1.0));
        testing_support::writeFile(data / "Sounds/ButtonClick.ogg", oggTone(1000.0, 0.05));
        testing_support::writeFile(data / "Sounds/b.OGG", oggTone(300.0, 0.1));
        testing_support::writeFile(data / "Sounds/A.ogg", oggTone(300.0, 0.1));
        testing_support::writeFile(data / "Sounds/broken.ogg", std::string(3000, 'x'));
        testing_support::writeFile(data / "Sounds/a_name_that_is_far_too_long1.ogg", oggTone(300.0, 0.1));
        testing_support::writeFile(data / "Sounds/notes.txt", "not a cue");
        testing_support::writeFile(data / "music.mo3", af::tinyXm(100));
        fs::current_path(data);
        resetAudioState();
        resetLoaderState();
        settings() = Settings();
        initAudioWithoutDevice();
        loadSounds();
        frameClock().deltaMs = 16;
        clearTrace();
    }
    void TearDown() override {
        resetAudioState();
        setTracing(false);
        clearTrace();
        settings() = Settings();
        fs::current_path(previous_);
    }

    static int queued() {
        int n = 0;
        for (const VoiceSlot& s : audioState().slots) n += s.state == kSlotRequested ? 1 : 0;
        return n;
    }

    testing_support::TempDir dir_;
    fs::path previous_;
};

TEST_F(AudioCueTest, LoadsTheOggFilesInCaseInsensitiveOrderAndCountsTheirBytes) {
    const AudioState& a = audioState();
    ASSERT_EQ(a.bankCount, 5);
    const char* expected[] = {"A.ogg", "b.OGG", "broken.ogg", "ButtonClick.ogg", "tone880.ogg"};
    for (int i = 0; i < 5; ++i) EXPECT_STREQ(a.bank[i].name, expected[i]) << i;
    EXPECT_NE(a.bank[0].sample, 0u);
    EXPECT_NE(a.bank[1].sample, 0u);
    EXPECT_EQ(a.bank[2].sample, 0u);  // a damaged file keeps its place without a sample
    EXPECT_NE(a.bank[3].sample, 0u);
    EXPECT_EQ(platform::sampleFrames(a.bank[4].sample), 44100);
    EXPECT_TRUE(a.moduleLoaded);
    EXPECT_EQ(platform::moduleOrderCount(), 100);
    // Every ogg file counts towards the loading bar, the long-named one too, then the module.
    uint64_t bytes = 0;
    for (const auto& entry : fs::directory_iterator(dir_ / "Data/Sounds")) {
        if (entry.is_regular_file() && entry.path().extension() != ".txt") bytes += entry.file_size();
    }
    bytes += fs::file_size(dir_ / "Data/music.mo3");
    EXPECT_EQ(loaderState().bytesLoaded, bytes);
    EXPECT_EQ(loaderState().itemsLoaded, 7u);
    EXPECT_EQ(fs::current_path(), fs::canonical(dir_ / "Data"));
}

TEST_F(AudioCueTest, ASecondStartBeginsAfresh) {
    playSound("A.ogg");
    switchMusicSection(3);
    initAudioWithoutDevice();
    loadSounds();
    const AudioState& a = audioState();
    EXPECT_EQ(a.bankCount, 5);
    EXPECT_EQ(a.bank[0].sample, 1u);  // the mixer's table starts over too
    EXPECT_EQ(queued(), 0);
    EXPECT_EQ(a.targetOrder, -1);
    EXPECT_FALSE(platform::modulePlaying());
}

TEST_F(AudioCueTest, TheBankHoldsAtMost256Cues) {
    resetAudioState();
    testing_support::TempDir many;
    for (int i = 0; i < 260; ++i) testing_support::writeFile(many / ("Sounds/cue" + std::to_string(1000 + i) + ".ogg"), "x");
    fs::current_path(many.path);
    resetLoaderState();
    initAudioWithoutDevice();
    loadSounds();
    EXPECT_EQ(audioState().bankCount, kSoundBankSize);
    EXPECT_STREQ(audioState().bank[255].name, "cue1255.ogg");
    EXPECT_EQ(loaderState().itemsLoaded, 261u);  // every file counts, and the missing module
    EXPECT_FALSE(audioState().moduleLoaded);
    fs::current_path(dir_ / "Data");
}

TEST_F(AudioCueTest, CuesAreFoundByTheirExactNameOnly) {
    EXPECT_EQ(findSound("ButtonClick.ogg"), 3);
    EXPECT_EQ(findSound("buttonclick.ogg"), -1);
    playSound("buttonclick.ogg");
    playSound("nothing.ogg");
    playSound(nullptr);
    playSound("a_name_that_is_far_too_long1.ogg");
    EXPECT_EQ(queued(), 0);
    EXPECT_EQ(audioState().nextSlot, 0);
}

TEST_F(AudioCueTest, RequestsAreTracedWithTheirFrequency) {
    setTracing(true);
    playSound("ButtonClick.ogg");
    playSoundAtFrequency("tone880.ogg", 30050);
    ASSERT_EQ(traceCount(), 2);
    EXPECT_STREQ(traceAt(0).kind, "sound");
    EXPECT_STREQ(traceAt(0).name, "ButtonClick.ogg");
    EXPECT_EQ(traceAt(0).value, 44100);
    EXPECT_STREQ(traceAt(1).name, "tone880.ogg");
    EXPECT_EQ(traceAt(1).value, 30050);
}

TEST_F(AudioCueTest, A880HzCueRequestedAt22050HzSoundsAt440HzForTwoSeconds) {
    playSoundAtFrequency("tone880.ogg", 22050);
    EXPECT_EQ(af::peak(mix(441)), 0.0);  // only queued: nothing sounds before the audio step
    frameClock().deltaMs = 16;
    updateAudio();
    EXPECT_EQ(audioState().slots[0].state, kSlotPlaying);
    std::vector<int16_t> out = mix(3 * 44100);
    EXPECT_NEAR(af::pitchHz(out, 0, 2 * 44100), 440.0, 1.0);
    EXPECT_NEAR(static_cast<double>(af::soundingFrames(out)), 2.0 * 44100, 20.0);
    updateAudio();
    EXPECT_EQ(audioState().slots[0].state, 0);  // the finished voice is seen as idle
    // A plain request plays the file at 44100 Hz: the tone's own pitch and length.
    playSound("tone880.ogg");
    updateAudio();
    out = mix(2 * 44100);
    EXPECT_NEAR(af::pitchHz(out, 0, 44100), 880.0, 2.0);
    EXPECT_NEAR(static_cast<double>(af::soundingFrames(out)), 44100.0, 20.0);
}

TEST_F(AudioCueTest, TwoRequestsInOneFrameStartOneVoiceAndOne6MsLaterASecond) {
    playSound("ButtonClick.ogg");
    playSound("ButtonClick.ogg");
    EXPECT_EQ(queued(), 1);
    frame(6);
    EXPECT_EQ(platform::activeVoiceCount(), 1);
    playSound("ButtonClick.ogg");
    frame(6);
    EXPECT_EQ(platform::activeVoiceCount(), 2);  // overlapping the first
    EXPECT_EQ(audioState().nextSlot, 2);
    // After a frame of 4 ms the guard still runs: the request is dropped.
    playSound("ButtonClick.ogg");
    frame(4);
    playSound("ButtonClick.ogg");
    EXPECT_EQ(queued(), 0);
    EXPECT_EQ(audioState().nextSlot, 3);
    // The guard is per cue: another cue in the same frame is not held back.
    playSound("A.ogg");
    EXPECT_EQ(queued(), 1);
}

TEST_F(AudioCueTest, The257thRequestReusesSlot0WithoutStoppingItsVoice) {
    // Two long cues, alternating, never mixed: every voice stays busy.
    for (int i = 0; i < 256; ++i) {
        playSoundAtFrequency(i % 2 ? "A.ogg" : "tone880.ogg", 1000 + i);
        frameClock().deltaMs = 6;
        updateAudio();
    }
    EXPECT_EQ(audioState().nextSlot, 0);
    uint32_t first = audioState().slots[0].channel;
    ASSERT_NE(first, 0u);
    playSoundAtFrequency("A.ogg", 4321);
    EXPECT_EQ(audioState().slots[0].state, kSlotRequested);
    EXPECT_EQ(audioState().slots[0].frequency, 4321);
    EXPECT_EQ(audioState().nextSlot, 1);
    updateAudio();
    EXPECT_TRUE(platform::channelActive(first));
}

TEST_F(AudioCueTest, LoopingSlotsAreSteppedOverAndNeverOverwritten) {
    AudioState& a = audioState();
    a.slots[0].loop = 1;
    a.slots[1].loop = 1;
    playSound("A.ogg");
    EXPECT_EQ(a.slots[2].state, kSlotRequested);
    EXPECT_EQ(a.slots[0].state, 0);
    EXPECT_EQ(a.nextSlot, 3);
    // With every slot looping there is no place: the request is dropped (and does not hang).
    for (VoiceSlot& s : a.slots) s.loop = 1;
    frame(16);
    playSound("b.OGG");
    EXPECT_EQ(queued(), 0);
    EXPECT_EQ(a.bank[1].cooldownMs, 0.0f);
}

TEST_F(AudioCueTest, ADamagedCueStartsNothing) {
    playSound("broken.ogg");
    EXPECT_EQ(queued(), 1);
    frame(16);
    EXPECT_EQ(platform::activeVoiceCount(), 0);
    frame(16);
    EXPECT_EQ(audioState().slots[0].state, 0);
}

TEST_F(AudioCueTest, EffectsAndMusicVolumesFromTheSettingsScaleTheOutputLinearly) {
    settings().sfxVolume = 100;
    applyVolumes();
    playSound("tone880.ogg");
    frameClock().deltaMs = 16;
    updateAudio();
    std::vector<int16_t> full = mix(4410);
    mix(44100);  // to its end
    settings().sfxVolume = 40;
    applyVolumes();
    frame(16);
    playSound("tone880.ogg");
    updateAudio();
    std::vector<int16_t> scaled = mix(4410);
    for (size_t i = 0; i < full.size(); i += 7) ASSERT_NEAR(scaled[i], full[i] * 0.4, 1.01) << i;

    settings().sfxVolume = 0;
    settings().musicVolume = 100;
    applyVolumes();
    switchMusicSection(0);
    std::vector<int16_t> music = mix(4410);
    ASSERT_GT(af::peak(music), 1000.0);
    settings().musicVolume = 30;
    applyVolumes();
    platform::playModule(0);
    std::vector<int16_t> quieter = mix(4410);
    for (size_t i = 0; i < music.size(); i += 7) ASSERT_NEAR(quieter[i], music[i] * 0.3, 1.01) << i;
}

TEST_F(AudioCueTest, EverySectionStartsTheMusicAtItsOrderPosition) {
    const int orders[] = {0, 17, 31, 47, 72, 89, 92};
    for (int section : {3, 0, 1, 6, 2, 5, 4}) {
        switchMusicSection(section);
        mix(2000);
        EXPECT_EQ(platform::moduleOrder(), orders[section]) << section;
        EXPECT_EQ(audioState().startedOrder, orders[section]);
    }
    // The fade reaches the same places.
    for (int section : {1, 2, 3, 4, 5, 6, 0}) {
        fadeToMusicSection(section);
        for (int i = 0; i < 50 && audioState().fadeTimerMs > 0.0f; ++i) frame(20);
        EXPECT_EQ(platform::moduleOrder(), orders[section]) << section;
    }
}

TEST_F(AudioCueTest, AnUndefinedSectionMeansOrderPosition0) {
    for (int section : {0, 7, -1, 100, 12345}) EXPECT_EQ(musicSectionOrder(section), 0) << section;
    switchMusicSection(4);
    mix(1000);
    switchMusicSection(9);
    mix(1000);
    EXPECT_EQ(platform::moduleOrder(), 0);
    EXPECT_EQ(audioState().targetOrder, 0);
    fadeToMusicSection(0);  // the same place: nothing to do
    EXPECT_EQ(audioState().fadeTimerMs, 0.0f);
}

TEST_F(AudioCueTest, AFadeLowersTheMusicOver800MsAndRestartsIt) {
    switchMusicSection(0);
    mix(1000);
    fadeToMusicSection(2);
    EXPECT_EQ(audioState().fadeTimerMs, 800.0f);
    EXPECT_EQ(audioState().targetOrder, 31);
    frame(0);  // the first frame after activation: nothing moves
    EXPECT_EQ(platform::moduleVolume(), 100);
    frame(100);
    EXPECT_EQ(platform::moduleVolume(), 87);  // 700 / 8
    frame(300);
    EXPECT_EQ(platform::moduleVolume(), 50);
    EXPECT_EQ(platform::moduleOrder(), 0);  // still the old music, fading
    EXPECT_EQ(audioState().startedOrder, 0);
    frame(400);  // the timer reaches 0 exactly
    EXPECT_EQ(audioState().fadeTimerMs, 0.0f);
    EXPECT_EQ(platform::moduleVolume(), 100);
    EXPECT_EQ(audioState().startedOrder, 31);
    EXPECT_EQ(platform::moduleOrder(), 31);
    // No fade afterwards: the volume stays.
    frame(100);
    EXPECT_EQ(platform::moduleVolume(), 100);
}

TEST_F(AudioCueTest, AFadeToTheTargetAlreadySetDoesNothingEvenWhileItRuns) {
    switchMusicSection(0);
    fadeToMusicSection(3);
    frame(200);
    EXPECT_EQ(audioState().fadeTimerMs, 600.0f);
    fadeToMusicSection(3);
    EXPECT_EQ(audioState().fadeTimerMs, 600.0f);
    EXPECT_EQ(platform::moduleVolume(), 75);
    // A different target starts the fade over.
    fadeToMusicSection(5);
    EXPECT_EQ(audioState().fadeTimerMs, 800.0f);
    EXPECT_EQ(audioState().targetOrder, 89);
    // A switch to the target already set does nothing either: the music plays on.
    frame(800);
    mix(static_cast<int>(2.2 * 44100));
    EXPECT_EQ(platform::moduleOrder(), 90);
    switchMusicSection(5);
    mix(100);
    EXPECT_EQ(platform::moduleOrder(), 90);
}

// Board play's music changes: a level start and the way back to the map fade the old music
// out over 800 ms before the new section starts; only the level end and the loss switch at
// once. Heard against the same music left alone.
TEST_F(AudioCueTest, ALevelStartAndTheWayBackToTheMapFadeTheMusicOut) {
    settings().sfxVolume = 0;
    applyVolumes();
    auto listen = [](int frames) {
        std::vector<std::vector<int16_t>> heard;
        for (int i = 0; i < frames; ++i) heard.push_back(frame(16));
        return heard;
    };
    auto windowPeak = [](const std::vector<std::vector<int16_t>>& frames, int from, int to) {
        double p = 0.0;
        for (int i = from; i < to; ++i) p = std::max(p, af::peak(frames[static_cast<size_t>(i)]));
        return p;
    };
    // Plays the music from `order` for 800 ms alone, then again from the same place with the
    // change made at the start, and compares what was heard.
    auto hear = [&](int order, const std::function<void()>& change, int expectedOrder) {
        platform::playModule(order);
        mix(4410);
        const auto alone = listen(50);
        platform::playModule(order);
        mix(4410);
        change();
        std::vector<std::vector<int16_t>> changed;
        for (int i = 0; i < 49; ++i) {
            changed.push_back(frame(16));
            ASSERT_LT(platform::moduleOrder(), order + 2) << "the old music plays on while it fades, frame " << i;
        }
        // Loudness falls with the fade: nearly whole at first, about half midway, near silence
        // at the end.
        const double first = windowPeak(changed, 0, 5) / windowPeak(alone, 0, 5);
        const double middle = windowPeak(changed, 22, 27) / windowPeak(alone, 22, 27);
        const double last = windowPeak(changed, 44, 49) / windowPeak(alone, 44, 49);
        EXPECT_GT(first, 0.85);
        EXPECT_NEAR(middle, 0.5, 0.12);
        EXPECT_LT(last, 0.15);
        frame(16);  // 800 ms: the new section starts at full volume
        EXPECT_EQ(platform::moduleOrder(), expectedOrder);
        EXPECT_EQ(platform::moduleVolume(), 100);
        EXPECT_GT(af::peak(mix(4410)), 1000.0);
    };
    switchMusicSection(1);
    const std::string level = "figures=4\r\nback=1\r\nlevel=\r\n";
    hear(17, [&] { startLevelFromText(3, level.c_str()); }, 47);
    // Back to the map with a random section of the five; a seed that picks another than 3.
    uint32_t seed = 1;
    for (;; ++seed) {
        platform::srand(seed);
        if (platform::rand() % 5 != 3) break;
    }
    platform::srand(seed);
    const int section = platform::rand() % 5;
    platform::srand(seed);
    hear(47, [] { leaveForMap(); }, musicSectionOrder(section));
    setCurrentScene(nullptr);
}

TEST_F(AudioCueTest, ASwitchOvertakingAFadeCancelsIt) {
    switchMusicSection(0);
    fadeToMusicSection(2);
    frame(300);
    EXPECT_EQ(platform::moduleVolume(), 62);
    switchMusicSection(4);
    EXPECT_EQ(audioState().fadeTimerMs, 0.0f);
    EXPECT_EQ(audioState().musicChannelVolume, 100);
    EXPECT_EQ(platform::moduleVolume(), 100);
    EXPECT_EQ(audioState().startedOrder, 72);
    for (int i = 0; i < 10; ++i) frame(100);
    EXPECT_EQ(audioState().startedOrder, 72);  // the cancelled fade never restarts the music
    EXPECT_EQ(platform::moduleOrder(), 72);
    EXPECT_EQ(platform::moduleVolume(), 100);
}

TEST_F(AudioCueTest, WithoutADeviceEveryOperationIsHarmless) {
    resetAudioState();
    const char* before = std::getenv("SDL_AUDIODRIVER");
    std::string saved = before ? before : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    resetLoaderState();
    EXPECT_FALSE(initAudio());
    loadSounds();
    if (saved.empty()) unsetenv("SDL_AUDIODRIVER");
    else setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    EXPECT_EQ(audioState().bankCount, 5);
    for (int i = 0; i < audioState().bankCount; ++i) EXPECT_EQ(audioState().bank[i].sample, 0u);
    EXPECT_FALSE(audioState().moduleLoaded);
    EXPECT_EQ(loaderState().itemsLoaded, 7u);  // the loading bar still moves
    playSound("ButtonClick.ogg");
    playSoundAtFrequency("tone880.ogg", 50000);
    frame(16);
    switchMusicSection(2);
    fadeToMusicSection(3);
    for (int i = 0; i < 60; ++i) frame(16);
    applyVolumes();
    pauseAudio();
    resumeAudio();
    EXPECT_EQ(platform::activeVoiceCount(), 0);
    EXPECT_EQ(audioState().startedOrder, 47);
    shutdownAudio();
    shutdownAudio();
}

TEST_F(AudioCueTest, WithADeviceTheOutputRunsPausesAndClosesBeforeTheSamplesGo) {
    resetAudioState();
    const char* before = std::getenv("SDL_AUDIODRIVER");
    std::string saved = before ? before : "";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    bool opened = initAudio();
    if (saved.empty()) unsetenv("SDL_AUDIODRIVER");
    else setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(platform::audioDeviceOpen());
    loadSounds();
    EXPECT_NE(audioState().bank[4].sample, 0u);
    EXPECT_TRUE(audioState().moduleLoaded);
    switchMusicSection(1);
    for (int i = 0; i < 20; ++i) {
        playSoundAtFrequency("tone880.ogg", 20000 + 1000 * i);
        frameClock().deltaMs = 16;
        updateAudio();
    }
    pauseAudio();
    EXPECT_TRUE(platform::audioDevicePaused());
    resumeAudio();
    EXPECT_FALSE(platform::audioDevicePaused());
    shutdownAudio();
    EXPECT_FALSE(platform::audioDeviceOpen());
    EXPECT_FALSE(platform::mixerEnabled());
    EXPECT_EQ(audioState().bank[4].sample, 0u);
    EXPECT_EQ(platform::activeVoiceCount(), 0);
}

}  // namespace
