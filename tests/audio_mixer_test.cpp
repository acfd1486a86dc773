// The software mixer without a device: decoding, playback rates, voices, the module, volumes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio_fixtures.h"
#include "platform/mixer.h"
#include "test_support.h"

namespace af = audio_fixtures;

namespace {

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::resetMixer();
        platform::setMixerEnabled(true);
    }
    void TearDown() override { platform::resetMixer(); }

    static std::vector<int16_t> mix(int frames) {
        std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
        platform::mixFrames(out.data(), frames);
        return out;
    }

    static uint32_t addTone(double hz, double seconds, int rate = 44100, int amplitude = 16000) {
        platform::DecodedSound s;
        s.pcm = af::sine(hz, rate, seconds, amplitude);
        s.frames = static_cast<int32_t>(s.pcm.size());
        s.channels = 1;
        s.rate = rate;
        return platform::addSample(std::move(s));
    }
};

TEST_F(MixerTest, OggVorbisDecodesWholeWithItsLengthRateAndPitch) {
    std::string ogg = af::encodeOgg(af::sine(880.0, 44100, 1.0), 1, 44100);
    ASSERT_GT(ogg.size(), 100u);
    platform::DecodedSound s;
    ASSERT_TRUE(platform::decodeOggVorbis(af::bytes(ogg), ogg.size(), s));
    EXPECT_EQ(s.frames, 44100);
    EXPECT_EQ(s.channels, 1);
    EXPECT_EQ(s.rate, 44100);
    std::vector<int16_t> stereo;
    for (int16_t v : s.pcm) {
        stereo.push_back(v);
        stereo.push_back(v);
    }
    EXPECT_NEAR(af::pitchHz(stereo, 0, 44100), 880.0, 2.0);

    std::string stereoOgg = af::encodeOgg(af::sine(440.0, 22050, 0.5, 16000, 2, 660.0), 2, 22050);
    ASSERT_TRUE(platform::decodeOggVorbis(af::bytes(stereoOgg), stereoOgg.size(), s));
    EXPECT_EQ(s.frames, 11025);
    EXPECT_EQ(s.channels, 2);
    EXPECT_EQ(s.rate, 22050);
}

TEST_F(MixerTest, DamagedOrForeignFilesDecodeToNothing) {
    platform::DecodedSound s;
    EXPECT_FALSE(platform::decodeOggVorbis(nullptr, 0, s));
    std::string junk(4096, '\x5a');
    EXPECT_FALSE(platform::decodeOggVorbis(af::bytes(junk), junk.size(), s));
    std::string ogg = af::encodeOgg(af::sine(880.0, 44100, 10.0), 1, 44100);
    // Cut inside the headers: nothing to decode.
    EXPECT_FALSE(platform::decodeOggVorbis(af::bytes(ogg), 60, s));
    EXPECT_EQ(s.frames, 0);
    EXPECT_TRUE(s.pcm.empty());
    // A file cut in the middle keeps what came before the cut.
    ASSERT_TRUE(platform::decodeOggVorbis(af::bytes(ogg), ogg.size() * 3 / 4, s));
    EXPECT_GT(s.frames, 0);
    EXPECT_LT(s.frames, 10 * 44100);
    EXPECT_EQ(platform::loadSampleMemory(af::bytes(junk), junk.size()), 0u);
    EXPECT_EQ(platform::loadSampleFile("/nonexistent/cue.ogg"), 0u);
}

TEST_F(MixerTest, A880HzToneAt22050HzSoundsAt440HzForTwoSeconds) {
    uint32_t sample = addTone(880.0, 1.0);
    ASSERT_NE(sample, 0u);
    uint32_t channel = platform::playSample(sample, 22050, false);
    ASSERT_NE(channel, 0u);
    std::vector<int16_t> out = mix(3 * 44100);
    EXPECT_NEAR(af::pitchHz(out, 0, 2 * 44100), 440.0, 1.0);
    EXPECT_NEAR(static_cast<double>(af::soundingFrames(out)), 2.0 * 44100, 20.0);
    EXPECT_FALSE(platform::channelActive(channel));
    EXPECT_EQ(platform::activeVoiceCount(), 0);
}

TEST_F(MixerTest, PlaybackRateSetsPitchAndLengthWhateverTheFileRate) {
    // A 22050 Hz file played at its own rate, at the device rate and at an octave above.
    uint32_t sample = addTone(441.0, 1.0, 22050);
    struct Case {
        int rate;
        double pitch;
        double seconds;
    } cases[] = {{22050, 441.0, 1.0}, {44100, 882.0, 0.5}, {11025, 220.5, 2.0}};
    for (const Case& c : cases) {
        platform::playSample(sample, c.rate, false);
        std::vector<int16_t> out = mix(static_cast<int>(2.5 * 44100));
        size_t length = af::soundingFrames(out);
        EXPECT_NEAR(static_cast<double>(length), c.seconds * 44100, 20.0) << c.rate;
        EXPECT_NEAR(af::pitchHz(out, 0, length), c.pitch, c.pitch * 0.005) << c.rate;
    }
}

TEST_F(MixerTest, PlaybackRatesAreClampedTo100To100000Hz) {
    uint32_t sample = addTone(100.0, 1.0);
    // 1 MHz plays as 100 kHz: 44100 source frames in 19404 output frames.
    platform::playSample(sample, 1000000, false);
    std::vector<int16_t> out = mix(44100);
    EXPECT_NEAR(static_cast<double>(af::soundingFrames(out)), 44100.0 * 44100 / 100000, 5.0);
    // A rate of 1 Hz plays as 100 Hz: still sounding after 2 s (it would need 441 s).
    uint32_t slow = platform::playSample(sample, 1, false);
    uint32_t negative = platform::playSample(sample, -5000, false);
    mix(2 * 44100);
    EXPECT_TRUE(platform::channelActive(slow));
    EXPECT_TRUE(platform::channelActive(negative));
}

TEST_F(MixerTest, AtMost256VoicesAnd255OfOneSample) {
    uint32_t a = addTone(440.0, 1.0);
    uint32_t b = addTone(660.0, 1.0);
    for (int i = 0; i < platform::kMaxPlaybacksPerSample; ++i) ASSERT_NE(platform::playSample(a, 44100, false), 0u);
    EXPECT_EQ(platform::playSample(a, 44100, false), 0u);  // the sample's limit
    uint32_t last = platform::playSample(b, 44100, false);
    EXPECT_NE(last, 0u);
    EXPECT_EQ(platform::playSample(b, 44100, false), 0u);  // every voice busy
    EXPECT_EQ(platform::activeVoiceCount(), 256);
    EXPECT_EQ(platform::playSample(0, 44100, false), 0u);
    EXPECT_EQ(platform::playSample(99, 44100, false), 0u);
    // 256 voices at full level clip instead of wrapping round.
    std::vector<int16_t> out = mix(2000);
    EXPECT_LE(af::peak(out), 32768.0);
    bool clipped = false;
    for (int16_t v : out) clipped = clipped || v == 32767 || v == -32768;
    EXPECT_TRUE(clipped);
}

TEST_F(MixerTest, AFinishedVoiceFreesItsPlaceAndItsChannelStaysFinished) {
    uint32_t sample = addTone(440.0, 0.01);
    uint32_t first = platform::playSample(sample, 44100, false);
    mix(1000);
    EXPECT_FALSE(platform::channelActive(first));
    uint32_t second = platform::playSample(sample, 44100, false);
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, first);  // the same voice again, under a new handle
    EXPECT_TRUE(platform::channelActive(second));
    EXPECT_FALSE(platform::channelActive(first));
    EXPECT_FALSE(platform::channelActive(0));
}

TEST_F(MixerTest, ALoopingVoiceKeepsSounding) {
    uint32_t sample = addTone(441.0, 0.1);
    uint32_t channel = platform::playSample(sample, 44100, true);
    std::vector<int16_t> out = mix(44100);
    EXPECT_TRUE(platform::channelActive(channel));
    EXPECT_GT(af::soundingFrames(out), 44100u - 100u);  // ten times its length, still sounding
    EXPECT_NEAR(af::pitchHz(out, 0, 44100), 441.0, 1.0);
}

TEST_F(MixerTest, StereoSamplesKeepTheirSides) {
    platform::DecodedSound s;
    s.pcm = af::sine(441.0, 44100, 0.5, 16000, 2, 882.0);
    s.frames = 22050;
    s.channels = 2;
    s.rate = 44100;
    platform::playSample(platform::addSample(std::move(s)), 44100, false);
    std::vector<int16_t> out = mix(22050);
    std::vector<int16_t> right;
    for (size_t f = 0; f < 22050; ++f) {
        right.push_back(out[2 * f + 1]);
        right.push_back(out[2 * f + 1]);
    }
    EXPECT_NEAR(af::pitchHz(out, 0, 22050), 441.0, 1.0);
    EXPECT_NEAR(af::pitchHz(right, 0, 22050), 882.0, 2.0);
}

TEST_F(MixerTest, EffectsVolumeScalesTheSamplesLinearly) {
    uint32_t sample = addTone(441.0, 0.2, 44100, 20000);
    platform::playSample(sample, 44100, false);
    std::vector<int16_t> full = mix(9000);
    for (int volume : {80, 50, 25, 0}) {
        platform::setGlobalVolumes(100, volume);
        platform::playSample(sample, 44100, false);
        std::vector<int16_t> scaled = mix(9000);
        for (size_t i = 0; i < full.size(); i += 37) {
            ASSERT_NEAR(scaled[i], full[i] * volume / 100.0, 1.01) << volume << " at " << i;
        }
    }
    platform::setGlobalVolumes(100, 250);  // out of range: full volume
    platform::playSample(sample, 44100, false);
    EXPECT_EQ(mix(9000), full);
}

TEST_F(MixerTest, TheModuleStartsAtAnOrderAndLoops) {
    std::string xm = af::tinyXm(100);
    ASSERT_TRUE(platform::loadModuleMemory(af::bytes(xm), xm.size()));
    EXPECT_EQ(platform::moduleOrderCount(), 100);
    EXPECT_FALSE(platform::modulePlaying());
    EXPECT_EQ(af::peak(mix(4410)), 0.0);  // silent until started
    platform::playModule(47);
    std::vector<int16_t> out = mix(4410);
    EXPECT_EQ(platform::moduleOrder(), 47);
    EXPECT_GT(af::peak(out), 1000.0);
    // An order beyond the module starts it from the beginning.
    platform::playModule(500);
    mix(100);
    EXPECT_EQ(platform::moduleOrder(), 0);
    // The last order runs on into the first: the module loops for ever.
    platform::playModule(99);
    mix(static_cast<int>(2.5 * 44100));
    EXPECT_EQ(platform::moduleOrder(), 0);
    EXPECT_GT(af::peak(mix(4410)), 1000.0);
}

TEST_F(MixerTest, MusicAndModuleVolumesScaleTheMusicLinearly) {
    std::string xm = af::tinyXm(4, 2);
    ASSERT_TRUE(platform::loadModuleMemory(af::bytes(xm), xm.size()));
    platform::playModule(0);
    std::vector<int16_t> full = mix(8820);
    ASSERT_GT(af::peak(full), 1000.0);
    struct Case {
        int music;
        int module;
    } cases[] = {{50, 100}, {100, 50}, {50, 50}, {100, 0}, {0, 100}};
    for (const Case& c : cases) {
        platform::setGlobalVolumes(c.music, 100);
        platform::setModuleVolume(c.module);
        platform::playModule(0);
        std::vector<int16_t> scaled = mix(8820);
        double factor = c.music / 100.0 * c.module / 100.0;
        for (size_t i = 0; i < full.size(); i += 13) {
            ASSERT_NEAR(scaled[i], full[i] * factor, 1.01) << c.music << "/" << c.module << " at " << i;
        }
    }
}

TEST_F(MixerTest, NothingLoadsOrPlaysWhileTheMixerIsOff) {
    platform::resetMixer();
    EXPECT_FALSE(platform::mixerEnabled());
    EXPECT_EQ(addTone(440.0, 0.1), 0u);
    std::string xm = af::tinyXm(2);
    EXPECT_FALSE(platform::loadModuleMemory(af::bytes(xm), xm.size()));
    EXPECT_EQ(platform::playSample(1, 44100, false), 0u);
    platform::playModule(0);
    platform::setModuleGain(158);
    EXPECT_EQ(platform::moduleOrder(), -1);
    EXPECT_EQ(af::peak(mix(1000)), 0.0);
}

TEST_F(MixerTest, ADamagedModuleIsRefused) {
    std::string xm = af::tinyXm(2);
    std::string junk(2000, '\x11');
    EXPECT_FALSE(platform::loadModuleMemory(af::bytes(junk), junk.size()));
    EXPECT_FALSE(platform::loadModuleMemory(af::bytes(xm), 30));
    EXPECT_FALSE(platform::moduleLoaded());
    EXPECT_FALSE(platform::loadModuleFile("/nonexistent/music.mo3"));
}

// Many files decoded at once come back in the order given, each whole, with its size; a missing
// or damaged file in between takes its place with no sound.
TEST_F(MixerTest, FilesDecodedTogetherComeBackInOrderEachWhole) {
    testing_support::TempDir dir;
    std::vector<std::string> paths;
    std::vector<int> lengths;
    for (int i = 0; i < 12; ++i) {
        std::string path = (dir / ("cue" + std::to_string(i) + ".ogg")).string();
        if (i == 4) {
            testing_support::writeFile(path, "not a vorbis file");
        } else if (i != 7) {  // the eighth is missing
            lengths.push_back(2205 * (i + 1));
            testing_support::writeFile(path, af::encodeOgg(af::sine(440.0 + 40 * i, 22050, 0.1 * (i + 1)), 1, 22050));
        }
        paths.push_back(path);
    }
    std::vector<size_t> order;
    size_t next = 0;
    platform::decodeSampleFiles(paths, [&](size_t i, platform::DecodedSound& sound, int64_t bytes) {
        order.push_back(i);
        if (i == 4 || i == 7) {
            EXPECT_EQ(sound.frames, 0) << i;
            EXPECT_EQ(bytes, i == 4 ? 17 : 0) << i;
            return;
        }
        EXPECT_EQ(bytes, static_cast<int64_t>(testing_support::readFile(paths[i]).size())) << i;
        EXPECT_EQ(sound.frames, lengths[next++]) << i;
        EXPECT_EQ(sound.rate, 22050);
    });
    std::vector<size_t> expected(paths.size());
    for (size_t i = 0; i < expected.size(); ++i) expected[i] = i;
    EXPECT_EQ(order, expected);
}

}  // namespace
