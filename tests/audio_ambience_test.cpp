// The ambience schedule: birds and water at their periods, from the traced cue requests.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/trace.h"
#include "audio/ambience.h"
#include "audio/audio.h"
#include "platform/random.h"

namespace {

struct Fired {
    uint32_t atMs;
    std::string name;
};

class AmbienceTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetAudioState();
        platform::srand(4242);
        setTracing(true);
        clearTrace();
    }
    void TearDown() override {
        setTracing(false);
        clearTrace();
    }

    // Runs frames of the given length until the clock reaches untilMs; returns every cue with
    // the play time of the frame that requested it.
    std::vector<Fired> run(AmbienceClock& clock, Water water, uint32_t frameMs, uint32_t untilMs) {
        std::vector<Fired> fired;
        while (clock.playMs < untilMs) {
            int before = traceCount();
            uint32_t at = clock.playMs;
            ambienceStep(clock, water, frameMs);
            for (int i = before; i < traceCount(); ++i) fired.push_back({at, traceAt(i).name});
        }
        return fired;
    }

    static std::vector<uint32_t> timesOf(const std::vector<Fired>& fired, const char* prefix) {
        std::vector<uint32_t> times;
        for (const Fired& f : fired)
            if (f.name.rfind(prefix, 0) == 0) times.push_back(f.atMs);
        return times;
    }
};

TEST_F(AmbienceTest, TheFirstFrameStartsBirdsAndWater) {
    AmbienceClock clock;
    ambienceStep(clock, Water::Brook, 16);
    ASSERT_EQ(traceCount(), 2);
    EXPECT_STREQ(traceAt(0).name, "birds1.ogg");
    EXPECT_STREQ(traceAt(1).name, "brook.ogg");
    EXPECT_EQ(clock.playMs, 16u);
    EXPECT_GE(clock.birdCounter, 1);
    EXPECT_LE(clock.birdCounter, 2);
}

TEST_F(AmbienceTest, EachSoundRepeatsAtItsPeriod) {
    struct Case {
        Water water;
        const char* name;
        uint32_t period;
    } cases[] = {{Water::Brook, "brook.ogg", 3100}, {Water::Waterfall, "waterfall.ogg", 3000}};
    for (const Case& c : cases) {
        clearTrace();
        AmbienceClock clock;
        std::vector<Fired> fired = run(clock, c.water, 16, 62000);
        std::vector<uint32_t> birds = timesOf(fired, "birds");
        std::vector<uint32_t> water = timesOf(fired, c.name);
        EXPECT_EQ(birds.size(), 11u);  // at 0, then each 6200 ms up to 62000
        EXPECT_EQ(water.size(), 1u + 62000u / c.period);
        for (size_t i = 1; i < birds.size(); ++i) EXPECT_NEAR(birds[i] - birds[i - 1], 6200.0, 16.0);
        for (size_t i = 1; i < water.size(); ++i) EXPECT_NEAR(water[i] - water[i - 1], c.period, 16.0);
        // Each fires in the frame that crosses a whole period.
        for (size_t i = 1; i < water.size(); ++i) {
            EXPECT_LT(water[i], i * c.period);
            EXPECT_GE(water[i] + 16, i * c.period);
        }
        for (const Fired& f : fired) {
            EXPECT_TRUE(f.name == c.name || f.name.rfind("birds", 0) == 0) << f.name;
        }
    }
}

TEST_F(AmbienceTest, TheBirdsChangeVoiceEachTime) {
    AmbienceClock clock;
    std::vector<Fired> fired = run(clock, Water::None, 20, 6200u * 60);
    std::vector<std::string> names;
    for (const Fired& f : fired) names.push_back(f.name);
    ASSERT_EQ(names.size(), 61u);  // at 0, then at each of the 60 periods
    int steps[3] = {0, 0, 0};
    for (size_t i = 0; i < names.size(); ++i) {
        ASSERT_TRUE(names[i] == "birds1.ogg" || names[i] == "birds2.ogg" || names[i] == "birds3.ogg") << names[i];
        if (i > 0) {
            EXPECT_NE(names[i], names[i - 1]);
            int step = (names[i][5] - names[i - 1][5] + 3) % 3;
            ++steps[step];
        }
    }
    EXPECT_GT(steps[1], 10);  // the counter grows by one ...
    EXPECT_GT(steps[2], 10);  // ... or by two, at random
}

TEST_F(AmbienceTest, FramesLongerThanHalfAPeriodFollowTheHalfPeriodRule) {
    AmbienceClock clock;
    std::vector<Fired> fired = run(clock, Water::None, 4000, 24000);
    // Birds (6200 ms, half 3100): the frame 12000..16000 crosses 12400 but starts in the upper
    // half and ends in the upper half, so it stays silent; 4000..8000 and 16000..20000 fire.
    std::vector<uint32_t> birds = timesOf(fired, "birds");
    EXPECT_EQ(birds, (std::vector<uint32_t>{0, 4000, 16000}));
}

TEST_F(AmbienceTest, AFrameWithoutElapsedTimeFiresNothingAfterTheStart) {
    AmbienceClock clock;
    run(clock, Water::Waterfall, 16, 2990);
    clearTrace();
    for (int i = 0; i < 10; ++i) ambienceStep(clock, Water::Waterfall, 0);
    EXPECT_EQ(traceCount(), 0);
    ambienceStep(clock, Water::Waterfall, 16);
    EXPECT_EQ(countTraced("sound", "waterfall.ogg"), 1);
}

TEST_F(AmbienceTest, TheAmbienceNumberChoosesTheWater) {
    for (int n : {0, 1, 3, 4, 7}) EXPECT_EQ(waterForAmbience(n), Water::Brook) << n;
    for (int n : {2, 5, 6, 8, 9, 12, 16}) EXPECT_EQ(waterForAmbience(n), Water::Waterfall) << n;
    for (int n : {-1, 17, 40}) EXPECT_EQ(waterForAmbience(n), Water::None) << n;
    AmbienceClock clock;
    run(clock, Water::None, 16, 10000);
    EXPECT_EQ(countTraced("sound", "brook.ogg"), 0);
    EXPECT_EQ(countTraced("sound", "waterfall.ogg"), 0);
    EXPECT_EQ(countTraced("sound"), 2);  // birds at 0 and 6200
}

}  // namespace
