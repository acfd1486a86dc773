// The loader on screen, run by the play runner: the splash with its fade, the loading screen
// and the bar, captured to PNG.
#include <cstdlib>
#include <filesystem>

#include "app/application.h"
#include "app/loader.h"
#include "app/play_runner.h"
#include "render_support.h"

using namespace render_test;

namespace {

// Where the captured frames go: $SANDMERE_CAPTURE_DIR when set (to look at them), else a
// temporary folder.
std::filesystem::path captureDir(const testing_support::TempDir& temp) {
    const char* dir = std::getenv("SANDMERE_CAPTURE_DIR");
    if (dir && *dir) {
        std::filesystem::create_directories(dir);
        return dir;
    }
    return temp.path;
}

platform::Picture readPng(const std::filesystem::path& path) {
    std::string bytes = testing_support::readFile(path);
    platform::Picture p;
    platform::decodePicture(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()), p);
    return p;
}

Rgba pixelOf(const platform::Picture& p, int x, int y) {
    const uint8_t* q = &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4];
    return Rgba{q[0], q[1], q[2], q[3]};
}

double meanBrightness(const platform::Picture& p) {
    double sum = 0;
    for (size_t i = 0; i < p.rgba.size(); i += 4) sum += p.rgba[i] + p.rgba[i + 1] + p.rgba[i + 2];
    return sum / (static_cast<double>(p.width) * p.height * 3);
}

// The loader run by the play runner, its pictures read through the resource store.
class LoaderRun : public ::testing::Test {
protected:
    void SetUp() override { setTextureFileSource(nullptr); }
    // Runs until the given virtual time since the start and captures the frame.
    platform::Picture captureAt(PlayRunner& runner, uint32_t startMs, uint32_t ms, const std::string& name) {
        uint32_t elapsed = runner.now() - startMs;
        if (ms > elapsed) runner.runFor(ms - elapsed);
        std::filesystem::path path = captureDir(temp_) / name;
        EXPECT_TRUE(runner.capture(path.string()));
        return readPng(path);
    }
    testing_support::TempDir temp_;
};

void writePicture(const std::filesystem::path& path, int w, int h, Rgba c, bool tga) {
    auto px = makePixels(w, h, [&](int, int) { return c; });
    auto bytes = tga ? platform::encodeTga(px.data(), w, h, true) : platform::encodeJpeg(px.data(), w, h, 95);
    testing_support::writeFile(path, std::string(bytes.begin(), bytes.end()));
}

TEST_F(LoaderRun, SplashFadesThenTheBarFillsTheLoadingScreen) {
    testing_support::TempDir install;
    std::filesystem::create_directories(install / "Data");
    writePicture(install / "Data/splash1.jpg", 800, 600, {240, 240, 240, 255}, false);
    writePicture(install / "Data/loadscreen.jpg", 800, 600, {0, 0, 160, 255}, false);
    writePicture(install / "Data/loadbar.tga", 472, 72, {0, 255, 0, 255}, true);
    testing_support::writeFile(install / "Data/strings2.txt", "keytoresume=Press a key\r\n");
    testing_support::writeFile(install / "Data/tips2.txt", "tip1=A tip\r\n");
    testing_support::writeBoardPictures(install);
    testing_support::addMinimalMenus(install);
    // A font whose glyphs are white blocks (the game loads its font later, with the board).
    auto sheet = makePixels(512, 512, [](int x, int y) {
        bool ink = x % 32 >= 8 && x % 32 < 24 && y % 32 >= 4 && y % 32 < 28;
        return Rgba{255, 255, 255, ink ? 255 : 0};
    });
    auto tga = platform::encodeTga(sheet.data(), 512, 512, true);
    testing_support::writeFile(install / "Data/font.tga", std::string(tga.begin(), tga.end()));
    std::string dat(516, '\0');
    dat[0] = 16;
    for (int ch = 0; ch < 256; ++ch) {
        dat[4 + ch] = 24;
        dat[260 + ch] = static_cast<char>(ch);
    }
    testing_support::writeFile(install / "Data/font.dat", dat);
    writePicture(install / "Data/podsvet.jpg", 8, 8, {255, 255, 255, 255}, false);
    testing_support::writeMinimalDrawingData(install / "Data");
    PlayRunner runner(install.str());
    ASSERT_TRUE(runner.start());
    loadFont("font", 1.0f, 1.0f);
    uint32_t start = runner.now();
    platform::Picture early = captureAt(runner, start, 1000, "loader_1000ms.png");
    platform::Picture fading = captureAt(runner, start, 3500, "loader_3500ms.png");
    ASSERT_EQ(early.width, 800);
    ASSERT_EQ(fading.width, 800);
    // The splash at full strength, then half way through its last second.
    EXPECT_TRUE(near(pixelOf(early, 400, 300), {240, 240, 240, 255}, 3));
    double ratio = meanBrightness(fading) / meanBrightness(early);
    EXPECT_NEAR(ratio, 0.5, 0.03);
    EXPECT_FALSE(application().loadRequested);
    platform::Picture loaded = captureAt(runner, start, 4600, "loader_loaded.png");
    EXPECT_TRUE(loaderState().musicStarted);
    // The loading screen with the whole bar: from x = -224 to -224 + 472, y from -229 down.
    EXPECT_TRUE(near(pixelOf(loaded, 400, 100), {0, 0, 160, 255}, 4));
    EXPECT_TRUE(near(pixelOf(loaded, 180, 560), {0, 255, 0, 255}, 4));
    EXPECT_TRUE(near(pixelOf(loaded, 640, 560), {0, 255, 0, 255}, 4));
    EXPECT_TRUE(near(pixelOf(loaded, 655, 560), {0, 0, 160, 255}, 4));
    EXPECT_TRUE(near(pixelOf(loaded, 170, 560), {0, 0, 160, 255}, 4));
    EXPECT_TRUE(near(pixelOf(loaded, 400, 500), {0, 0, 160, 255}, 4));
    // The prompt, centred low on the screen over the bar: white glyphs near y = -260.
    int white = 0, left = 800, right = 0;
    for (int y = 540; y < 580; ++y) {
        for (int x = 0; x < 800; ++x) {
            Rgba p = pixelOf(loaded, x, y);
            if (p.r > 240 && p.g > 240 && p.b > 240) {
                ++white;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    EXPECT_GT(white, 500);
    EXPECT_NEAR((left + right) / 2.0, 400.0, 12.0);
    // The debug overlay: the frame rate and triangle lines at the left, 100 below the centre.
    auto whiteIn = [](const platform::Picture& p, int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                Rgba q = pixelOf(p, x, y);
                n += q.r > 240 && q.g > 240 && q.b > 240;
            }
        return n;
    };
    EXPECT_EQ(whiteIn(loaded, 20, 200, 380, 430), 0);
    application().debugOverlay = true;
    platform::Picture overlay = captureAt(runner, runner.now(), 40, "loader_overlay.png");
    EXPECT_GT(whiteIn(overlay, 20, 200, 380, 430), 200);
    EXPECT_EQ(triangleCounter(), 0u);  // shown, then counted afresh
    EXPECT_EQ(runner.close(), 0);
    releaseFonts();
}

TEST(LoaderScreen, BarRightEdgeFollowsTheLoadedFraction) {
    platform::setHeadless(true);
    ASSERT_TRUE(initDevice());
    setCulling(false);
    resetLoaderState();
    auto screen = makePixels(1024, 1024, [](int, int) { return Rgba{0, 0, 160, 255}; });
    auto bar = makePixels(512, 128, [](int x, int y) { return x < 472 && y < 72 ? Rgba{0, 255, 0, 255} : Rgba{0, 0, 0, 0}; });
    LoaderState& s = loaderState();
    s.loadScreen = createTextureFromPixels("loadscreen", screen.data(), 1024, 1024, false);
    s.loadBar = createTextureFromPixels("loadbar", bar.data(), 512, 128, true);
    std::vector<uint8_t> px(800 * 600 * 4);
    auto green = [&](int x, int y) { return px[(static_cast<size_t>(y) * 800 + x) * 4 + 1] > 200; };
    for (double f : {0.25, 0.5, 0.75}) {
        s.bytesLoaded = static_cast<uint64_t>(f * kDataSetBytes);
        clearTarget(0);
        begin2D();
        drawLoadingScreen();
        ASSERT_TRUE(platform::gpu::readPicture(px.data()));
        int edge = 400 - 224 + static_cast<int>(f * 472);
        EXPECT_TRUE(green(176, 560)) << f;
        EXPECT_TRUE(green(edge - 2, 560)) << f;
        EXPECT_FALSE(green(edge + 2, 560)) << f;
        EXPECT_TRUE(green(200, 529)) << f;   // the bar's top at y = -229
        EXPECT_FALSE(green(200, 527)) << f;
    }
    // Nothing loaded: no bar at all.
    s.bytesLoaded = 0;
    clearTarget(0);
    drawLoadingScreen();
    ASSERT_TRUE(platform::gpu::readPicture(px.data()));
    EXPECT_FALSE(green(178, 560));
    resetLoaderState();
    shutdownDevice();
    platform::setHeadless(false);
}

TEST_F(LoaderRun, ForgedDataShowsSplashBarAndPrompt) {
    REQUIRE_DATA_SET("splash1.jpg");
    // The run writes its settings: into a temporary install linked to the data set.
    testing_support::TempDir install;
    testing_support::makeForgedInstall(install);
    PlayRunner runner(install.str());
    ASSERT_TRUE(runner.start());
    uint32_t start = runner.now();
    platform::Picture early = captureAt(runner, start, 1000, "forged_loader_1000ms.png");
    platform::Picture fading = captureAt(runner, start, 3500, "forged_loader_3500ms.png");
    EXPECT_GT(meanBrightness(early), 8.0);
    EXPECT_NEAR(meanBrightness(fading) / meanBrightness(early), 0.5, 0.05);
    // After the splashes and the loading: the wait stage with the full bar and the prompt.
    for (int i = 0; i < 2000 && !loaderState().musicStarted; ++i) runner.frames(1);
    ASSERT_TRUE(loaderState().musicStarted);
    runner.frames(10);
    platform::Picture loaded = captureAt(runner, runner.now(), 0, "forged_loader_loaded.png");
    // The same screen drawn again without the prompt: the difference is the prompt alone, low
    // in the middle; the bar is whole (its right edge at 400 - 224 + 472).
    clearTarget(0);
    begin2D();
    drawLoadingScreen();
    std::vector<uint8_t> bare(800 * 600 * 4);
    ASSERT_TRUE(platform::gpu::readPicture(bare.data()));
    int promptPixels = 0, elsewhere = 0;
    int left = 800, right = -1, top = 600, bottom = -1;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            size_t i = (static_cast<size_t>(y) * 800 + x) * 4;
            int d = std::abs(loaded.rgba[i] - bare[i]) + std::abs(loaded.rgba[i + 1] - bare[i + 1]) +
                    std::abs(loaded.rgba[i + 2] - bare[i + 2]);
            if (d < 24) continue;
            if (y > 530 && y < 590 && x > 200 && x < 600) {
                ++promptPixels;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            } else {
                ++elsewhere;
            }
        }
    }
    EXPECT_GT(promptPixels, 100);
    EXPECT_EQ(elsewhere, 0);
    // Letters, not blocks: the prompt and its shadow leave a good part of their box as it was (blocks would cover nearly all of it).
    double box = static_cast<double>(right - left + 1) * (bottom - top + 1);
    EXPECT_LT(promptPixels / box, 0.65) << promptPixels << " of " << box;
    EXPECT_FLOAT_EQ(loadingFraction(), 1.0f);
    EXPECT_EQ(runner.close(), 0);
}

}  // namespace
