// The forged backdrops on screen, run by the play runner over the forged data set: three level
// backdrops with their objects moving, the menus' backdrop 15, the trophy room's 17 and the
// level-to-level transition at its midpoint. The goldens are kept at half size; each level
// backdrop's holds two frames side by side, 1.5 s apart, so that the motion shows in one. A
// MegaBomb's effects are shown over a backdrop too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/play_runner.h"
#include "app/scene.h"
#include "forged_game.h"
#include "golden.h"
#include "platform/gpu.h"
#include "render/backdrops.h"
#include "render/device.h"
#include "render/effects.h"
#include "test_support.h"

namespace {

// A scene that shows the backdrop alone: the board scene's form (with its transition) or the
// still form of the map and the trophy room.
class BackdropOnly : public Scene {
public:
    bool boardForm = false;
    void frame() override {
        begin2D();
        if (boardForm) drawBackdrop(true);
        else drawStillBackdrop();
        updateAndDrawParticles();
    }
};

platform::Picture presented() {
    platform::Picture p;
    p.width = 800;
    p.height = 600;
    p.rgba.resize(800 * 600 * 4);
    if (!readPresentedFrame(p.rgba.data())) p = platform::Picture{};
    return p;
}

// A frame at half size, 2 x 2 pixels averaged (the goldens stay small).
platform::Picture halfSize(const platform::Picture& p) {
    platform::Picture out;
    out.width = 400;
    out.height = 300;
    out.rgba.assign(400 * 300 * 4, 255);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int k = 0; k < 4; ++k) sum += p.rgba[((static_cast<size_t>(y) * 2 + k / 2) * 800 + x * 2 + k % 2) * 4 + c];
                out.rgba[(static_cast<size_t>(y) * 400 + x) * 4 + c] = static_cast<uint8_t>(sum / 4);
            }
    return out;
}

// Two frames at half size, side by side.
platform::Picture sideBySideHalves(const platform::Picture& a, const platform::Picture& b) {
    platform::Picture out;
    out.width = 800;
    out.height = 300;
    out.rgba.resize(800 * 300 * 4);
    platform::Picture halves[2] = {halfSize(a), halfSize(b)};
    for (int half = 0; half < 2; ++half)
        for (int y = 0; y < 300; ++y)
            std::memcpy(&out.rgba[(static_cast<size_t>(y) * 800 + half * 400) * 4], &halves[half].rgba[static_cast<size_t>(y) * 400 * 4],
                        400 * 4);
    return out;
}

// Pixels of a band of rows that differ by more than a few steps between two frames.
int changedPixels(const platform::Picture& a, const platform::Picture& b, int fromRow, int toRow) {
    int n = 0;
    for (int y = fromRow; y < toRow; ++y)
        for (int x = 0; x < 800; ++x) {
            size_t i = (static_cast<size_t>(y) * 800 + x) * 4;
            int d = 0;
            for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(int(a.rgba[i + c]) - int(b.rgba[i + c])));
            n += d > 8;
        }
    return n;
}

class BackdropGoldens : public ForgedGame {
protected:
    void SetUp() override {
        REQUIRE_DATA_SET("AnimBacks/level17.lev");
        ForgedGame::SetUp();
        if (!started()) return;
        passTheLoader(0, false);
        setCurrentScene(&scene_);
    }
    void TearDown() override {
        ForgedGame::TearDown();
        setCurrentScene(nullptr);
    }
    BackdropOnly scene_;
};

TEST_F(BackdropGoldens, LevelBackdropsMoveTheirSkyWaterAndLeaves) {
    scene_.boardForm = true;
    const struct {
        int number, tint;
    } backdrops[] = {{2, kTintCool}, {4, kTintWarm}, {14, kTintCool}};
    for (const auto& b : backdrops) {
        setBackdrop(b.number);
        setTintNow(b.tint);
        runner_->runFor(1000);
        platform::Picture first = presented();
        runner_->runFor(1500);
        platform::Picture second = presented();
        ASSERT_FALSE(first.empty());
        EXPECT_GT(changedPixels(first, second, 0, 600), 500) << "backdrop " << b.number << " stands still";
        EXPECT_TRUE(golden::matches(sideBySideHalves(first, second), "backdrop_level" + std::to_string(b.number) + "_moving"));
    }
}

TEST_F(BackdropGoldens, TheMenusAndTheTrophyRoomStandOnTheirBackdrops) {
    setBackdrop(kMenuBackdrop);
    setTintNow(kTintNeutral);
    runner_->runFor(2000);
    EXPECT_TRUE(golden::matches(halfSize(presented()), "backdrop_menus15"));
    setBackdrop(kTrophyRoomBackdrop);
    runner_->runFor(2000);
    // The top row of the two upper shelves falls where two texel rows meet: a rasterizer drawing
    // with a depth buffer bound (the plain path) takes the other row there.
    const int seam = platform::gpu::path() == platform::gpu::Path::kPlain ? 300 : 40;
    EXPECT_TRUE(golden::matches(halfSize(presented()), "backdrop_trophyroom17", 6, seam));
}

TEST_F(BackdropGoldens, TheLevelToLevelTransitionAtItsMidpoint) {
    scene_.boardForm = true;
    setBackdrop(2);
    setTintNow(kTintNeutral);
    runner_->runFor(500);
    changeBackdrop(4);
    // With the camera swing the cross-fade runs from 1500 to 3000 ms: its midpoint is at 2250.
    while (backdropState().scene.timer > 750.0f && runner_->frame() < 100000) runner_->frames(1);
    EXPECT_NEAR(backdropState().scene.fade, 0.5f, 0.02f);
    EXPECT_EQ(backdropState().scene.number, 2);
    EXPECT_TRUE(golden::matches(halfSize(presented()), "backdrop_transition_2_to_4_midpoint"));
    runner_->runFor(1000);
    EXPECT_EQ(backdropState().scene.number, 4);
    EXPECT_EQ(backdropState().scene.timer, 0.0f);
}

// The MegaBomb's effects (its own burst, flames, flash, smoke and sparks) over a backdrop, a
// quarter of a second after it went off: lit where they add light, never as squares.
TEST_F(BackdropGoldens, AMegaBombsEffectsOverABackdrop) {
    scene_.boardForm = true;
    setBackdrop(3);
    setTintNow(kTintNeutral);
    runner_->runFor(200);
    platform::Picture before = presented();
    clearEffects();
    startEffect("prototip", 40.0f, -20.0f);
    EXPECT_GT(liveParticleCount(), 20);
    runner_->runFor(250);
    platform::Picture after = presented();
    // The blast lights up the middle.
    EXPECT_GT(changedPixels(before, after, 150, 450), 20000);
    EXPECT_TRUE(golden::matches(halfSize(after), "effects_megabomb_over_backdrop3"));
}

}  // namespace
