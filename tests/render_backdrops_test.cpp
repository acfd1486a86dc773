// Animated backdrops: "gameobjs.txt" and the layout files as read, the objects on screen (sky,
// water and waterfall flowing, leaves swinging, the behind flag), the tint, the level-to-level
// transition with its cross-fade, board play's choice of backdrop and the artefact pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/frame_clock.h"
#include "board/board.h"
#include "board/presentation.h"
#include "platform/random.h"
#include "render/backdrops.h"
#include "render_support.h"

using namespace render_test;

namespace {

struct Obj {
    std::string name;
    float x0, y0, x1, y1;
    float angle = 0, speedX = 0, speedY = 0;
    bool mirrored = false;
    int32_t behind = 0;
};

template <typename T>
void put(std::vector<uint8_t>& out, T v) {
    size_t at = out.size();
    out.resize(at + sizeof v);
    std::memcpy(out.data() + at, &v, sizeof v);
}

std::vector<uint8_t> layoutBytes(const std::vector<Obj>& objects, int32_t count) {
    std::vector<uint8_t> out(64, 0);
    std::memcpy(out.data(), "a title the game ignores", 24);
    put(out, count);
    for (const Obj& o : objects) {
        std::vector<uint8_t> name(32, 0);
        std::memcpy(name.data(), o.name.data(), std::min<size_t>(o.name.size(), 32));
        out.insert(out.end(), name.begin(), name.end());
        for (float f : {o.x0, o.y0, o.x1, o.y1, o.angle, o.speedX, o.speedY}) put(out, f);
        out.push_back(o.mirrored ? 1 : 0);
        put(out, o.behind);
    }
    return out;
}
std::vector<uint8_t> layoutBytes(const std::vector<Obj>& objects) {
    return layoutBytes(objects, static_cast<int32_t>(objects.size()));
}

TEST(BackdropFiles, GameObjectBlocksGroupsAndFileNames) {
    static GameObjectList list;
    readGameObjectList("; a note outside any block\r\nstray=ignored.tga\r\n[skies/]\r\nskyday=sky_day.jpg\r\n"
                       "sun=sun.tga , the sun\r\nno equals sign here\r\n[/skies]\r\n\r\n[/props]\r\n"
                       "[props/]\r\nchest=chest.tga\tspare\r\nrocks=\r\n[/props]\r\n[open/]\r\nlast=end.tga",
                       list);
    ASSERT_EQ(list.groupCount, 3);
    EXPECT_STREQ(list.groups[0], "skies");
    EXPECT_STREQ(list.groups[1], "props");
    EXPECT_STREQ(list.groups[2], "open");  // a block without its end runs to the end of the text
    ASSERT_EQ(list.entryCount, 5);
    EXPECT_STREQ(list.entries[0].name, "skyday");
    EXPECT_STREQ(list.entries[0].file, "sky_day.jpg");
    EXPECT_STREQ(list.entries[1].file, "sun.tga");  // the file name ends at a blank or a comma
    EXPECT_EQ(list.entries[1].group, 0);
    EXPECT_STREQ(list.entries[2].file, "chest.tga");
    EXPECT_EQ(list.entries[2].group, 1);
    EXPECT_STREQ(list.entries[3].name, "rocks");
    EXPECT_STREQ(list.entries[3].file, "");
    EXPECT_STREQ(list.entries[4].file, "end.tga");
    EXPECT_EQ(list.entries[4].group, 2);
}

TEST(BackdropFiles, LayoutCountsStayWithinTheFileAndTheTable) {
    std::vector<Obj> three = {{"a", 0, 0, 1, 1}, {"b", 0, 0, 1, 1}, {"c", 0, 0, 1, 1}};
    auto exact = layoutBytes(three);
    EXPECT_EQ(exact.size(), 68u + 3u * 65u);
    EXPECT_EQ(layoutObjectCount(exact.data(), static_cast<int32_t>(exact.size())), 3);
    auto lying = layoutBytes(three, 1000000);  // more records than the file holds
    EXPECT_EQ(layoutObjectCount(lying.data(), static_cast<int32_t>(lying.size())), 3);
    EXPECT_EQ(layoutObjectCount(lying.data(), static_cast<int32_t>(lying.size()) - 1), 2);
    auto negative = layoutBytes(three, -5);
    EXPECT_EQ(layoutObjectCount(negative.data(), static_cast<int32_t>(negative.size())), 0);
    EXPECT_EQ(layoutObjectCount(exact.data(), 67), 0);
    std::vector<Obj> many(200, Obj{"x", 0, 0, 1, 1});
    auto crowded = layoutBytes(many);
    EXPECT_EQ(layoutObjectCount(crowded.data(), static_cast<int32_t>(crowded.size())), kMaxBackdropObjects);
    // A name without its terminating zero is cut at 32 bytes; the fields after it are packed.
    auto full = layoutBytes({{std::string(40, 'n'), -1, -2, 3, 4, 5, 6, 7, true, 9}});
    LayoutRecord r = layoutRecord(full.data(), 0);
    EXPECT_EQ(std::string(r.name), std::string(32, 'n'));
    EXPECT_EQ(r.x0, -1.0f);
    EXPECT_EQ(r.y1, 4.0f);
    EXPECT_EQ(r.speedY, 7.0f);
    EXPECT_EQ(r.mirrored, 1);
    EXPECT_EQ(r.behind, 9);
}

TEST(BackdropFiles, ObjectKindsAreToldByNameInOrder) {
    EXPECT_EQ(objectKind("skyday"), ObjectKind::Sky);
    EXPECT_EQ(objectKind("skywaterfall"), ObjectKind::Sky);
    EXPECT_EQ(objectKind("waterfallnight"), ObjectKind::Waterfall);
    EXPECT_EQ(objectKind("waterpool"), ObjectKind::Water);
    EXPECT_EQ(objectKind("waterspray"), ObjectKind::Water);
    EXPECT_EQ(objectKind("spray"), ObjectKind::Spray);
    EXPECT_EQ(objectKind("leavesautumn"), ObjectKind::Leaves);
    EXPECT_EQ(objectKind("chest"), ObjectKind::Still);
}

// Backdrops on the offscreen device: pictures from memory, layouts given straight.
class Backdrops : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        resetBackdrops();
        resetFrameClock();
        platform::srand(3);
    }
    void TearDown() override {
        resetBackdrops();
        resetBoardState();
        RenderTest::TearDown();
    }
    // The backdrop picture "_a_back<n>.jpg" (an alpha JPEG) and its layout.
    void makeBackdrop(int number, const std::function<Rgba(int, int)>& picture, const std::vector<Obj>& objects) {
        auto rgba = makePixels(800, 600, picture);
        std::vector<uint8_t> bytes = platform::encodeJpeg(rgba.data(), 800, 600, 98);
        for (size_t i = 0; i < 800 * 600; ++i) bytes.push_back(rgba[i * 4 + 3]);
        pictures_[number] = bytes;
        offer(number);
        layouts_.push_back(layoutBytes(objects));
        setLayoutBytes(number, layouts_.back().data(), static_cast<int32_t>(layouts_.back().size()));
    }
    TextureEntry* plainTexture(const char* name, int w, int h, const std::function<Rgba(int, int)>& f,
                               bool alpha = false) {
        auto px = makePixels(w, h, f);
        return createTextureFromPixels(name, px.data(), w, h, alpha);
    }
    // One frame of the board scene's backdrop (or the still one), dt milliseconds long.
    void frame(float dt, bool still = false, bool swing = false) {
        frameClock().frameMs = dt;
        begin2D();
        clearTarget(0xFF000000u);
        if (still) drawStillBackdrop();
        else drawBackdrop(swing);
        frameClock().runningMs += dt;
    }
    // A loaded backdrop picture is given back to its source; this offers it again.
    void offer(int number) { addFile("_a_back" + std::to_string(number) + ".jpg", pictures_[number]); }
    std::vector<std::vector<uint8_t>> layouts_;
    std::map<int, std::vector<uint8_t>> pictures_;
};

Rgba clearTop(int, int y) { return y < 200 ? Rgba{0, 0, 0, 0} : Rgba{0, 0, 0, 255}; }
Rgba clearAll(int, int) { return Rgba{0, 0, 0, 0}; }

TEST_F(Backdrops, TheSkyRepeatsAcrossAndDriftsSlowly) {
    // 800 x 200 of a 256 x 256 picture: four repeats; red tells the texel column.
    addGameObject("skyday", plainTexture("sky", 256, 256, [](int x, int) { return Rgba{x, 0, 0, 255}; }), nullptr, 0);
    makeBackdrop(4, clearTop, {{"skyday", -400, 100, 400, 300}});
    setBackdrop(4);
    ASSERT_EQ(backdropState().scene.objectCount, 1);
    switchOff(kSwitchSmoothFiltering);
    frame(0.0f, true);
    picture();
    for (int x : {0, 200, 400, 600}) EXPECT_NEAR(at(x, 50).r, 0, 2) << x;
    for (int x : {100, 300, 500, 700}) EXPECT_NEAR(at(x, 50).r, 128, 2) << x;
    EXPECT_NEAR(at(100, 400).r, 0, 6);  // the opaque picture covers the rest
    // 0.003 texture widths a second: after 100 s the sky has moved 0.3 of a repeat (60 pixels).
    frameClock().runningMs = 100000.0f;
    switchOff(kSwitchSmoothFiltering);
    frame(0.0f, true);
    picture();
    EXPECT_NEAR(at(60, 50).r, 0, 2);
    EXPECT_NEAR(at(160, 50).r, 128, 2);
    EXPECT_NEAR(at(100, 50).r, 51, 2);
}

TEST_F(Backdrops, WaterfallsFlowAtTheirSpeedAndWaterFiveTimesSlower) {
    // Green tells the texel row; both objects are 256 high and one texture tall.
    auto rows = [](int, int y) { return Rgba{0, y, 0, 255}; };
    addGameObject("waterfall", plainTexture("fall", 64, 256, rows), nullptr, 0);
    addGameObject("waterpool", plainTexture("pool", 64, 256, rows), nullptr, 0);
    makeBackdrop(6, clearAll,
                 {{"waterfall", -200, -128, -136, 128, 0, 0, 100}, {"waterpool", 100, -128, 164, 128, 0, 0, 100}});
    setBackdrop(6);
    switchOff(kSwitchSmoothFiltering);
    frame(0.0f, true);
    picture();
    EXPECT_NEAR(at(232, 172 + 128).g, 128, 2);  // row 128 of the quad shows texel row 128
    EXPECT_NEAR(at(532, 172 + 128).g, 128, 2);
    // 100 ms at speed 100: 0.1 texture heights for the fall, 0.02 for the water; the texture
    // moves down the screen.
    frameClock().runningMs = 100.0f;
    switchOff(kSwitchSmoothFiltering);
    frame(0.0f, true);
    picture();
    EXPECT_NEAR(at(232, 300).g, 102, 2);
    EXPECT_NEAR(at(532, 300).g, 123, 2);
}

TEST_F(Backdrops, LeavesSwingAboutTheirStemsWithAPhaseShiftOf400Milliseconds) {
    TextureEntry* branch = plainTexture("branch", 64, 32, [](int, int) { return Rgba{40, 200, 40, 255}; }, true);
    addGameObject("leaves1", branch, nullptr, 0);
    addGameObject("leavesautumn", branch, nullptr, 0);
    makeBackdrop(2, clearAll,
                 {{"leaves1", -300, 100, -100, 200, -8, 30, 40},
                  {"leaves1", 100, 100, 300, 200, 10, 0, 0, true},
                  {"leavesautumn", -50, -50, 50, 0}});
    setBackdrop(2);
    BackdropScene& s = backdropState().scene;
    ASSERT_EQ(s.objectCount, 3);
    for (int i = 0; i < 3; ++i) s.objects[i].timer = 0.0f;
    frame(16.0f);
    ASSERT_EQ(backdropState().leafCount, 3);
    const LeafSprite first = backdropState().leaves[0], second = backdropState().leaves[1];
    EXPECT_EQ(first.colour, 0xFFCDCDCDu);  // 255 less the speed's length, 50
    EXPECT_EQ(second.colour, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(first.pivotX, -300.0f);  // the stem at the left edge
    EXPECT_FLOAT_EQ(second.pivotX, 300.0f);  // mirrored: at the right edge
    EXPECT_FLOAT_EQ(first.pivotY, 150.0f);
    auto swing = [](float l) { return 0.5f * std::sin(l * 0.003f) + 0.2f * std::sin(l * 0.0043f); };
    EXPECT_NEAR(first.angle, -8.0f + swing(16.0f), 1e-4f);
    EXPECT_NEAR(second.angle, 10.0f + swing(416.0f), 1e-4f);
    EXPECT_NEAR(backdropState().leaves[2].angle, 0.6f * std::sin(816.0f * 0.0022f) + 0.24f * std::sin(816.0f * 0.0038f),
                1e-4f);
    // The first branch reaches the second's swing 400 ms later.
    for (int i = 0; i < 25; ++i) frame(16.0f);
    EXPECT_NEAR(backdropState().leaves[0].angle - (-8.0f), second.angle - 10.0f, 1e-4f);
}

TEST_F(Backdrops, StillObjectsBehindThePictureHideBehindItsOpaqueParts) {
    // The picture: clear above the middle, opaque green below.
    auto half = [](int, int y) { return y < 300 ? Rgba{0, 0, 0, 0} : Rgba{0, 160, 0, 255}; };
    auto red = [](int, int) { return Rgba{220, 0, 0, 255}; };
    addGameObject("chest", plainTexture("chest", 16, 16, red), nullptr, 0);
    addGameObject("rocks", plainTexture("rocks", 16, 16, red), nullptr, 0);
    // A picture with its own transparency, clear (but coloured) at its corners.
    addGameObject("sun", plainTexture("sun", 16, 16, [](int x, int y) {
                      int dx = x * 2 - 15, dy = y * 2 - 15;
                      return dx * dx + dy * dy < 100 ? Rgba{255, 255, 0, 255} : Rgba{255, 255, 0, 0};
                  }, true), nullptr, 0);
    addGameObject("spray", plainTexture("spray", 16, 16, [](int, int) { return Rgba{255, 255, 255, 255}; }), nullptr, 0);
    makeBackdrop(5, half,
                 {{"chest", -300, -200, -200, -100, 0, 0, 0, false, 1},
                  {"rocks", 200, -200, 300, -100},
                  {"sun", -300, 100, -200, 200, 0, 0, 0, false, 1},
                  {"spray", 100, 100, 110, 110}});
    setBackdrop(5);
    backdropState().scene.objects[3].timer = 0.0f;
    frame(16.0f, true);
    picture();
    EXPECT_TRUE(near(at(150, 450), Rgba{0, 160, 0, 255}, 8));  // behind: hidden by the picture
    EXPECT_TRUE(near(at(650, 450), Rgba{220, 0, 0, 255}, 2));  // in front of it
    EXPECT_TRUE(near(at(150, 150), Rgba{255, 255, 0, 255}, 2));  // seen through the clear part
    EXPECT_TRUE(near(at(102, 102), Rgba{0, 0, 0, 255}, 2));      // its clear corner stays clear
    // The spray shows only as its droplets, never as a still picture.
    EXPECT_TRUE(near(at(505, 195), Rgba{0, 0, 0, 255}, 2));
    EXPECT_EQ(backdropState().spray[0].time, 0.0f);
}

TEST_F(Backdrops, SprayDropletsRiseAtTheRateOfTheSprayArea) {
    TextureEntry* drop = plainTexture("drop", 16, 16, [](int, int) { return Rgba{255, 255, 255, 255}; });
    addGameObject("spray", drop, nullptr, 0);
    makeBackdrop(7, clearAll, {{"spray", -50, -15, 50, 15}});  // 3000 square units: one every 100 ms
    setBackdrop(7);
    backdropState().scene.objects[0].timer = 0.0f;
    for (int i = 0; i < 10; ++i) frame(50.0f, true);
    int alive = 0;
    for (const SprayDroplet& d : backdropState().spray) {
        if (d.time <= 0.0f) continue;
        ++alive;
        EXPECT_GE(d.x, -50.0f);
        EXPECT_LE(d.x, 50.0f);
        EXPECT_GE(d.y, -15.0f);
        EXPECT_LE(d.y, 15.0f);
        EXPECT_EQ(d.texture, drop);
    }
    EXPECT_EQ(alive, 3);  // a droplet once the timer is above 100 ms: at 150, 300 and 450 ms
    // Added light: the droplet brightens what is under it.
    picture();
    int lit = 0;
    for (int y = 250; y < 350; ++y)
        for (int x = 300; x < 500; ++x) lit += at(x, y).r > 40;
    EXPECT_GT(lit, 500);
}

TEST_F(Backdrops, TheTintDriftsToItsTargetAndIsUndoneAfterTheBackdrop) {
    makeBackdrop(1, [](int, int) { return Rgba{255, 255, 255, 255}; }, {});
    setBackdrop(1);
    setTintNow(kTintCool);
    frame(16.0f, true);
    EXPECT_TRUE(near(pixel(400, 300), Rgba{204, 204, 255, 255}, 3));
    EXPECT_EQ(tintColour(0xFFFFFFFFu), 0xFFFFFFFFu);
    setTintTarget(kTintWarm);
    frame(100.0f, true);  // k = 0.15
    const BackdropTint& tint = backdropState().tint;
    EXPECT_NEAR(tint.current[0], 0.83f, 1e-5f);
    EXPECT_NEAR(tint.current[1], 0.8f, 1e-5f);
    EXPECT_NEAR(tint.current[2], 0.97f, 1e-5f);
    // A frame far longer than the drift's time constant lands on the target, not beyond it.
    frame(5000.0f, true);
    EXPECT_NEAR(tint.current[0], 1.0f, 1e-5f);
    EXPECT_NEAR(tint.current[2], 0.8f, 1e-5f);
    // Board play's dimming takes the backdrop down to 0.8 of its brightness.
    setTintNow(kTintNeutral);
    frameClock().frameMs = 16.0f;
    begin2D();
    drawBackdrop(false, 0.0f);
    EXPECT_TRUE(near(pixel(400, 300), Rgba{204, 204, 204, 255}, 3));
}

// Backdrop 1 red with a red sky, backdrop 2 blue with a blue sky.
class Transitions : public Backdrops {
protected:
    void SetUp() override {
        Backdrops::SetUp();
        addGameObject("skyday", plainTexture("red sky", 8, 8, [](int, int) { return Rgba{255, 0, 0, 255}; }), nullptr, 0);
        addGameObject("skynight", plainTexture("blue sky", 8, 8, [](int, int) { return Rgba{0, 0, 255, 255}; }), nullptr,
                      0);
        auto picture = [](int r, int b) {
            return [r, b](int, int y) { return y < 200 ? Rgba{0, 0, 0, 0} : Rgba{r, 0, b, 255}; };
        };
        makeBackdrop(1, picture(255, 0), {{"skyday", -400, 100, 400, 300}});
        makeBackdrop(2, picture(0, 255), {{"skynight", -400, 100, 400, 300}});
        setBackdrop(1);
    }
    // Frames of 16 ms until the transition is over; its length in ms.
    float runTransition(bool swing) {
        float ms = 0.0f;
        while (backdropState().scene.timer > 0.0f && ms < 10000.0f) {
            frame(16.0f, false, swing);
            ms += 16.0f;
        }
        return ms;
    }
};

TEST_F(Transitions, WithoutTheCameraSwingTheChangeTakesAbout500Milliseconds) {
    changeBackdrop(2);
    EXPECT_EQ(backdropState().scene.timer, kBackdropTransitionMs);
    float ms = runTransition(false);
    EXPECT_GE(ms, 450.0f);
    EXPECT_LE(ms, 520.0f);
    EXPECT_EQ(backdropState().scene.number, 2);
    EXPECT_EQ(backdropState().scene.objectCount, 1);
    EXPECT_EQ(findTexture("_a_back1.jpg"), nullptr);  // the old picture is given back
    EXPECT_NE(findTexture("_a_back2.jpg"), nullptr);
    frame(16.0f);
    EXPECT_TRUE(near(pixel(400, 400), Rgba{0, 0, 255, 255}, 8));
    EXPECT_TRUE(near(at(400, 100), Rgba{0, 0, 255, 255}, 2));
    // With the swing it lasts the whole 3000 ms, and the view is the normal one afterwards.
    offer(1);
    changeBackdrop(1);
    ms = runTransition(true);
    EXPECT_GE(ms, 2950.0f);
    EXPECT_LE(ms, 3050.0f);
    const Matrix4& view = viewMatrix();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(view.m[r][c], r == c ? 1.0f : 0.0f);
}

TEST_F(Transitions, AtTheMidpointOfTheCrossFadeBothBackdropsShow) {
    changeBackdrop(2);
    BackdropScene& s = backdropState().scene;
    while (s.timer > 750.0f) frame(16.0f);
    ASSERT_GT(s.timer, 0.0f);
    float f = s.fade;
    EXPECT_NEAR(f, 0.5f, 0.08f);
    picture();
    // The new picture over the old with the fade's alpha.
    Rgba mixed{static_cast<int>(255 * (1 - f)), 0, static_cast<int>(255 * f), 255};
    EXPECT_TRUE(near(at(400, 400), mixed, 8));
    // The new sky comes in with the cube of the fade (times the fade of the tint): it does not
    // cover the old one at once.
    float g = f * f * f * f;
    EXPECT_TRUE(near(at(400, 100), Rgba{static_cast<int>(255 * (1 - g)), 0, static_cast<int>(255 * g), 255}, 3));
    EXPECT_EQ(s.number, 1);
    EXPECT_EQ(s.incomingNumber, 2);
}

TEST_F(Transitions, ALevelStartSetsItsBackdropAndAWonLevelHandsOverToTheNext) {
    resetBoardState();
    backdropState().loaded = true;
    chooseBoardBackdrop(0, 2);
    EXPECT_EQ(backdropState().scene.number, 2);
    EXPECT_EQ(backdropState().scene.timer, 0.0f);
    EXPECT_FLOAT_EQ(backdropState().tint.target[2], 1.0f);  // cool for an even level
    EXPECT_FLOAT_EQ(backdropState().tint.target[0], 0.8f);
    board().betweenLevels = 1;
    offer(1);
    chooseBoardBackdrop(1, 1);
    EXPECT_EQ(backdropState().scene.number, 2);
    EXPECT_EQ(backdropState().scene.incomingNumber, 1);
    EXPECT_EQ(backdropState().scene.timer, kBackdropTransitionMs);
    EXPECT_FLOAT_EQ(backdropState().tint.target[0], 1.0f);  // warm for an odd level
    animateBoardBackdrop(kTintNeutral);
    EXPECT_FLOAT_EQ(backdropState().tint.target[1], 1.0f);
    // Numbers outside 0..17 mean backdrop 0.
    makeBackdrop(0, clearAll, {});
    board().betweenLevels = 0;
    chooseBoardBackdrop(0, 99);
    EXPECT_EQ(backdropState().scene.number, 0);
}

TEST_F(Backdrops, TheArtefactShowsThroughTheOpenPiecesOfItsCover) {
    // The cover: brown; mask k opens the left k tenths of the picture (black opens).
    addFile("zaglushka.jpg", platform::encodeJpeg(
                                 makePixels(256, 256, [](int, int) { return Rgba{150, 100, 50, 255}; }).data(), 256,
                                 256, 98));
    for (int k = 1; k <= 10; ++k) {
        auto mask = makePixels(256, 256, [k](int x, int) {
            int v = x * 10 < k * 256 ? 0 : 255;
            return Rgba{v, v, v, 255};
        });
        addFile("mask" + std::to_string(k) + ".tga", platform::encodeTga(mask.data(), 256, 256, false));
    }
    for (int i = 0; i < kArtefactCount; ++i)
        addFile("art" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".jpg",
                platform::encodeJpeg(makePixels(256, 256, [i](int, int) { return Rgba{0, 10 * i, 255, 255}; }).data(),
                                     256, 256, 98));
    loadArtefactPictures();
    for (int k = 0; k < kCoverCount; ++k) ASSERT_NE(backdropState().covers[k], nullptr) << k;
    // The square is 256 x 256 about (256, 156): screen x 528..784, y 16..272.
    drawArtefactPicture(20, 5, kRevealNone, 0.0f);  // numbers above 14 mean 14
    picture();
    EXPECT_TRUE(near(at(540, 144), Rgba{0, 140, 255, 255}, 6));  // an open piece
    EXPECT_TRUE(near(at(770, 144), Rgba{150, 100, 50, 255}, 6));  // still covered
    EXPECT_TRUE(near(at(520, 144), Rgba{0, 0, 0, 255}, 0));       // outside the square
    // Revealing: the next cover fades with 127 cos(0.007 r) + 128; at r = pi / 0.007 it is gone
    // and the current cover shows as it is.
    clearTarget(0xFF000000u);
    drawArtefactPicture(14, 5, kRevealRevealing, 3.14159265f / 0.007f);
    EXPECT_TRUE(near(pixel(540 + 128, 144), Rgba{150, 100, 50, 255}, 6));  // piece 6 still covered
    clearTarget(0xFF000000u);
    drawArtefactPicture(14, 10, kRevealNone, 0.0f);  // a finished stage: no cover
    EXPECT_TRUE(near(pixel(770, 144), Rgba{0, 140, 255, 255}, 6));
}

}  // namespace
