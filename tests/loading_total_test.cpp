// The loading bar over the forged data set: the byte total it fills up to is our data set's.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/loader.h"
#include "app/play_runner.h"
#include "app/scene.h"
#include "test_support.h"

namespace {

TEST(LoadingTotal, BarTotalIsTheBytesTheLoadingCounts) {
    REQUIRE_DATA_SET("music.mo3");
    testing_support::TempDir dir;
    testing_support::makeForgedInstall(dir);
    PlayRunner runner(dir.str());
    ASSERT_TRUE(runner.start());
    while (!application().dataLoaded && runner.frame() < 1000) runner.frames(1);
    ASSERT_TRUE(application().dataLoaded);
    runner.frames(1);
    // Every pack counts twice (the pack and each of its entries), then every loose file, cue
    // and the music module.
    EXPECT_EQ(loaderState().bytesLoaded, kDataSetBytes)
        << "the data set changed: set kDataSetBytes in src/app/loader.h to " << loaderState().bytesLoaded;
    EXPECT_GT(loaderState().itemsLoaded, 300u);
    EXPECT_EQ(currentScene(), loaderScene());
}

}  // namespace
