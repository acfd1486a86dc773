// The loader scene's timeline on the play runner: splash lengths, skipping, hand-over.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "app/loader.h"
#include "app/play_runner.h"
#include "app/scene.h"
#include "platform/clock.h"
#include "test_support.h"

using testing_support::TempDir;

namespace {

class LoaderTimeline : public ::testing::Test {
protected:
    TempDir dir;
    // Virtual milliseconds from the start until the loading sequence has run.
    static uint32_t msUntilLoaded(PlayRunner& runner) {
        uint32_t start = runner.now();
        while (!application().dataLoaded && runner.frame() < 2000) runner.frames(1);
        return runner.now() - start;
    }
};

TEST_F(LoaderTimeline, LoadingStartsAfterOneSplash) {
    testing_support::makeMinimalInstall(dir, false);
    PlayRunner runner(dir.str());
    ASSERT_TRUE(runner.start());
    EXPECT_EQ(currentScene(), loaderScene());
    uint32_t ms = msUntilLoaded(runner);
    EXPECT_GE(ms, 4000u);
    EXPECT_LE(ms, 4000u + 2 * 16);
    EXPECT_FALSE(loaderState().secondSplash);
}

TEST_F(LoaderTimeline, SecondSplashDoublesTheWait) {
    testing_support::makeMinimalInstall(dir, true);
    PlayRunner runner(dir.str());
    ASSERT_TRUE(runner.start());
    uint32_t ms = msUntilLoaded(runner);
    EXPECT_GE(ms, 8000u);
    EXPECT_LE(ms, 8000u + 3 * 16);
    EXPECT_TRUE(loaderState().secondSplash);
}

TEST_F(LoaderTimeline, KeyDuringSplashJumpsToItsFade) {
    testing_support::makeMinimalInstall(dir, false);
    PlayRunner runner(dir.str());
    ASSERT_TRUE(runner.start());
    runner.runFor(1000);
    runner.key(32);
    runner.frames(1);
    EXPECT_GE(loaderState().splashTimer, 3500.0f);
    uint32_t ms = msUntilLoaded(runner);
    EXPECT_LE(ms, 600u);  // the rest of the fading second
    EXPECT_EQ(loaderState().fadeTimer, 0.0f);  // the wait stage still waits
}

TEST_F(LoaderTimeline, KeyAt3600MsSkipsTheWaitStage) {
    testing_support::makeMinimalInstall(dir, false);
    PlayRunner runner(dir.str());
    ASSERT_TRUE(runner.start());
    runner.runFor(3600);
    runner.key(13);
    uint32_t ms = msUntilLoaded(runner);
    EXPECT_GT(loaderState().fadeTimer, 0.0f);  // past 3500 already: the key starts the final fade
    EXPECT_LE(ms, 500u);
    // The hand-over follows 800 ms after the loading ends.
    runner.runFor(700);
    EXPECT_EQ(currentScene(), loaderScene());
    runner.runFor(200);
    EXPECT_EQ(currentScene(), mapScene());
}

TEST_F(LoaderTimeline, WaitStageWaitsForAKeyOrClick) {
    testing_support::makeMinimalInstall(dir, false);
    PlayRunner runner(dir.str());
    ASSERT_TRUE(runner.start());
    msUntilLoaded(runner);
    runner.runFor(5000);
    EXPECT_EQ(currentScene(), loaderScene());
    EXPECT_TRUE(loaderState().musicStarted);
    EXPECT_FLOAT_EQ(loadingFraction(), 1.0f);
    runner.click(0, 0);  // a left click counts as Enter
    runner.runFor(900);
    EXPECT_EQ(currentScene(), mapScene());
}

TEST_F(LoaderTimeline, ReactivationDuringTheWaitStartsTheFade) {
    testing_support::makeMinimalInstall(dir, false);
    PlayRunner runner(dir.str());
    ASSERT_TRUE(runner.start());
    msUntilLoaded(runner);
    platform::Event e;
    e.type = platform::EventType::Activate;
    runner.send(e);  // the desktop's first focus gain: nothing happens
    runner.runFor(1000);
    EXPECT_EQ(loaderState().fadeTimer, 0.0f);
    e.type = platform::EventType::Deactivate;
    runner.send(e);
    runner.frames(2);
    e.type = platform::EventType::Activate;
    runner.send(e);
    runner.runFor(900);
    EXPECT_EQ(currentScene(), mapScene());
}

TEST_F(LoaderTimeline, ClosingDuringTheSplashWritesNothing) {
    testing_support::makeMinimalInstall(dir, false);
    auto before = std::distance(std::filesystem::recursive_directory_iterator(dir.path),
                                std::filesystem::recursive_directory_iterator());
    PlayRunner runner(dir.str());
    ASSERT_TRUE(runner.start());
    runner.runFor(1000);
    EXPECT_EQ(runner.close(), 0);
    EXPECT_FALSE(application().dataLoaded);
    EXPECT_FALSE(std::filesystem::exists(dir / "Data/settings"));
    auto after = std::distance(std::filesystem::recursive_directory_iterator(dir.path),
                               std::filesystem::recursive_directory_iterator());
    EXPECT_EQ(before, after);
}

TEST_F(LoaderTimeline, MissingDataFolderIsFatal) {
    testing_support::FatalGuard guard;
    PlayRunner runner(dir.str());  // no Data/ here
    try {
        runner.start();
        FAIL() << "start-up went on without a data folder";
    } catch (const testing_support::FatalError& e) {
        EXPECT_STREQ(e.what(), "Can't load Data...\nProgram will now stop.");
        EXPECT_EQ(e.caption, "Loading Error");
    }
}

TEST_F(LoaderTimeline, LoadingBarFractionIsClamped) {
    resetLoaderState();
    loaderState().bytesLoaded = kDataSetBytes / 2;
    EXPECT_NEAR(loadingFraction(), 0.5f, 1e-6f);
    loaderState().bytesLoaded = static_cast<uint64_t>(kDataSetBytes) * 3;
    EXPECT_FLOAT_EQ(loadingFraction(), 1.0f);
    resetLoaderState();
}

}  // namespace

namespace {

TEST(LoadingProgress, EveryItemCountsButRedrawsAreSpaced) {
    resetGameState();
    platform::useVirtualClock(true, 100);
    application().loadRequested = true;
    for (int i = 0; i < 10; ++i) reportLoaded(1000);
    EXPECT_EQ(loaderState().itemsLoaded, 10u);
    EXPECT_EQ(loaderState().bytesLoaded, 10000u);
    EXPECT_EQ(loaderState().redraws, 1u);
    platform::advanceVirtualClock(15);
    reportLoaded(5);
    EXPECT_EQ(loaderState().redraws, 1u);
    platform::advanceVirtualClock(1);
    reportLoaded(5);
    EXPECT_EQ(loaderState().redraws, 2u);
    application().loadRequested = false;  // outside the loading nothing is drawn
    platform::advanceVirtualClock(100);
    reportLoaded(5);
    EXPECT_EQ(loaderState().redraws, 2u);
    EXPECT_EQ(loaderState().itemsLoaded, 13u);
    platform::useVirtualClock(false);
    resetGameState();
}

}  // namespace

namespace {

TEST(DataFolder, AFolderNamedInLowerCaseServes) {
    TempDir dir;
    testing_support::makeMinimalInstall(dir, false);
    std::filesystem::rename(dir / "Data", dir / "data");
    PlayRunner runner(dir.str());
    ASSERT_TRUE(runner.start());
    EXPECT_EQ(application().dataFolder, (dir / "data").string() + "/");
    runner.runFor(4100);
    EXPECT_TRUE(application().dataLoaded);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "data/settings"));
}

}  // namespace
