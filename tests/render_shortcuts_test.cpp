// The drawing shortcuts (texel-exact quads unfiltered, opaque pictures copied, blending left out
// inside opaque parts, clears deferred, 2D drawing without depth, quads in runs) must give the
// picture that drawing everything the plain way gives, but for the driver's own rounding.
#include <cmath>
#include <functional>
#include <random>

#include "render_support.h"

using namespace render_test;

namespace {

// The driver filters with weights of eight bits, and its paths for targets with and without a
// depth buffer round them apart: where neighbouring texels differ the most, that moves a
// channel by a step or two.
constexpr int kFilterTolerance = 3;
// Smooth filtering that lands on texel centres may still round a step away from the texel, so
// the shortcut that takes the texel as it is may differ by one.
constexpr int kDriverRounding = 1;
constexpr uint32_t kTargetShortcuts = platform::gpu::kShortcutColourOnly | platform::gpu::kShortcutDeferredClear;

// The shortcuts belong to the software path: these tests take it whatever the driver is.
class Shortcuts : public RenderTest {
protected:
    void SetUp() override {
        const platform::gpu::Path software = platform::gpu::Path::kSoftware;
        platform::gpu::forcePath(&software);
        RenderTest::SetUp();
        // Those the path leaves off as well: they are kept exact too.
        platform::gpu::setShortcuts(platform::gpu::kAllShortcuts);
    }
    void TearDown() override {
        RenderTest::TearDown();
        platform::gpu::forcePath(nullptr);
    }
    // The picture drawn by `scene` with the shortcuts on, compared with the plain one.
    // Returns the number of pixels that differ by more than `tolerance` (kFilterTolerance
    // where smooth filtering is on) and what the shortcuts did; more than `allowed` of them
    // is a failure, which names the first few.
    int differences(const std::function<void()>& scene, platform::gpu::DrawStats& did, int tolerance = 0,
                    int allowed = 0, uint32_t shortcuts = platform::gpu::kAllShortcuts) {
        std::vector<uint8_t> plain, quick;
        for (bool on : {false, true}) {
            // Both ways draw into the same kind of target: with no depth buffer bound, the
            // rasterizer takes paths of its own that round a step differently.
            platform::gpu::setShortcuts((on ? shortcuts : 0u) | kTargetShortcuts);
            clearTarget(0xFF203040u);
            platform::gpu::drawStats() = {};
            scene();
            (on ? quick : plain) = picture();
            if (on) did = platform::gpu::drawStats();
        }
        platform::gpu::setShortcuts(platform::gpu::kAllShortcuts);
        int differing = 0;
        std::string first;
        for (size_t i = 0; i < plain.size(); i += 4) {
            for (size_t c = 0; c < 4; ++c) {
                if (std::abs(plain[i + c] - quick[i + c]) > tolerance) {
                    if (differing < 5)
                        first += "pixel " + std::to_string((i / 4) % 800) + "," + std::to_string((i / 4) / 800) +
                                 " channel " + std::to_string(c) + ": plain " + std::to_string(plain[i + c]) +
                                 ", with shortcuts " + std::to_string(quick[i + c]) + "\n";
                    ++differing;
                    break;
                }
            }
        }
        if (differing > allowed) ADD_FAILURE() << differing << " pixels differ:\n" << first;
        return differing;
    }

    // 64 x 64 texels: a coloured 20 x 12 patch at (22, 30), clear around it. `edge` is the
    // colour of the clear texels (alpha 0).
    TextureEntry* patch(const char* name, Rgba edge, bool fromFile) {
        auto texels = makePixels(64, 64, [edge](int x, int y) {
            if (x >= 22 && x < 42 && y >= 30 && y < 42) return Rgba{x * 9 % 256, y * 13 % 256, 200, 40 + x * 5};
            return edge;
        });
        if (!fromFile) return createTextureFromPixels(name, texels.data(), 64, 64, true);
        addFile(name, platform::encodeTga(texels.data(), 64, 64, false));
        return loadTexture(name);  // with its second level
    }
};

TEST_F(Shortcuts, TexelExactQuadsAreDrawnUnfilteredWithThePlainPixels) {
    auto texels = makePixels(64, 64, [](int x, int y) { return Rgba{x * 4, y * 4, (x * y) % 256, 255 - x}; });
    TextureEntry* t = createTextureFromPixels("exact", texels.data(), 64, 64, true);
    platform::gpu::DrawStats did;
    auto sprites = [&](float shift) {
        bindTexture(t);
        switchOn(kSwitchSmoothFiltering);
        for (int i = 0; i < 6; ++i)
            drawQuad(-300.0f + 96.0f * i + shift, 40.0f, 32, 48, UVRect{0.25f, 0.125f, 0.75f, 0.875f}, 0xFFFFFFFFu,
                     10.0f);
    };
    EXPECT_EQ(differences([&] { sprites(0.0f); }, did, kDriverRounding), 0);
    EXPECT_EQ(did.unfilteredBatches, 1u);
    // Half a pixel off: filtered, as before.
    EXPECT_EQ(differences([&] { sprites(0.5f); }, did), 0);
    EXPECT_EQ(did.unfilteredBatches, 0u);
}

// Random scenes drawn on the plain path and on the software path with every shortcut give the
// same picture. They hold the states the game draws with: pictures with clear parts (black or
// coloured under alpha 0), partly opaque ones, of power-of-two sizes and not, with one level
// and with two; alpha, additive, highlight and opaque blending, the alpha test on and off,
// smooth filtering and none, tints, the depth test with and without depth writes, and drawing
// into a render target that is then drawn over the picture.
TEST_F(Shortcuts, RandomScenesGiveThePicturesOfThePlainPath) {
    constexpr int kScenes = 24;
    auto drawScenes = [&](platform::gpu::Path path, platform::gpu::DrawStats& did) {
        RenderTest::TearDown();
        platform::gpu::forcePath(&path);
        RenderTest::SetUp();
        platform::gpu::setShortcuts(platform::gpu::kAllShortcuts);
        std::mt19937 random(20261209);
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
        auto real = [&](float lo, float hi) {
            return lo + (hi - lo) * static_cast<float>(random() % 10000) / 10000.0f;
        };
        // Pictures 0 to 7 hold a patch of ink in a clear field, 8 and 9 are opaque in their
        // top-left part and partly clear elsewhere.
        std::vector<TextureEntry*> pictures;
        const int sizes[4][2] = {{64, 64}, {48, 40}, {32, 64}, {128, 32}};
        for (int i = 0; i < 10; ++i) {
            int w = sizes[i % 4][0], h = sizes[i % 4][1];
            int cx = pick(w), cy = pick(h), r = 4 + pick(w / 2);
            bool colouredClear = i % 3 == 0;
            bool partlyOpaque = i >= 8;
            auto texels = makePixels(w, h, [&](int x, int y) {
                if (partlyOpaque) {
                    // An odd edge, which the second level blurs.
                    if (x < w * 3 / 4 - 1 && y < h * 3 / 4 - 1) return Rgba{(x * 7) % 256, (y * 11) % 256, 90, 255};
                    return Rgba{200, (x * y) % 256, 40, (x + y) % 3 == 0 ? 0 : 128};
                }
                bool ink = std::abs(x - cx) + std::abs(y - cy) < r;
                if (ink) return Rgba{(x * 37) % 256, (y * 53) % 256, 128, 20 + (x * y) % 236};
                return colouredClear ? Rgba{200, 60, 30, 0} : Rgba{0, 0, 0, 0};
            });
            std::string name = "random" + std::to_string(i) + ".tga";
            if (i % 2 == 0) {
                pictures.push_back(createTextureFromPixels(name.c_str(), texels.data(), w, h, true));
            } else {
                addFile(name, platform::encodeTga(texels.data(), w, h, false));
                pictures.push_back(loadTexture(name.c_str()));  // with its second level
            }
            EXPECT_NE(pictures.back(), nullptr);
        }
        TextureEntry* target = createTexture("random target", 256, 256, kFormatA8R8G8B8, true);
        EXPECT_NE(target, nullptr);
        auto quads = [&](int count, bool depth) {
            for (int q = 0; q < count; ++q) {
                int picked = pick(10);
                TextureEntry* t = pictures[static_cast<size_t>(picked)];
                bindTexture(t);
                // Alpha blending twice as often as additive, highlight (alpha / one) and opaque.
                const int modes[5] = {kBlendAlpha, kBlendAlpha, kBlendAdditive, 3, kBlendOpaque};
                int mode = modes[pick(5)];
                if (mode == 3) platform::gpu::setBlendFactors(3);
                else setBlendMode(mode);
                bool alphaTestOff = pick(3) == 0;
                if (alphaTestOff) switchOff(kSwitchAlphaTest);
                bool tinted = pick(4) == 0;
                if (tinted) setTint(real(0.2f, 1.0f), real(0.2f, 1.0f), real(0.2f, 1.0f), real(0.3f, 1.0f));
                if (depth && pick(2) == 0) switchOff(kSwitchDepthWrite);
                float z = depth ? real(2.0f, 90.0f) : 10.0f;
                float u0 = pick(3) == 0 ? 0.0f : real(0.0f, 0.6f), v0 = pick(3) == 0 ? 0.0f : real(0.0f, 0.6f);
                UVRect uv{u0, v0, std::min(1.0f, u0 + real(0.1f, 1.0f)), std::min(1.0f, v0 + real(0.1f, 1.0f))};
                uint32_t colour = pick(2) ? 0xFFFFFFFFu : 0x80000000u | (random() & 0xFFFFFFu);
                // Up to the edge of the opaque part of a partly opaque picture, shrunk or
                // enlarged: its second level takes in texels from beyond the edge.
                bool opaquePart = picked >= 8 && pick(2) == 0;
                if (opaquePart) {
                    float tw = static_cast<float>(t->width), th = static_cast<float>(t->height);
                    uv = UVRect{real(0.05f, 0.4f), real(0.05f, 0.4f), 0.75f - 1.6f / tw, 0.75f - 1.6f / th};
                    colour = 0xFFFFFFFFu;
                    setBlendMode(kBlendAlpha);
                }
                float x = std::round(real(-350, 350)) + (pick(2) ? 0.0f : real(0, 1));
                float y = std::round(real(-250, 250)) + (pick(2) ? 0.0f : real(0, 1));
                int shape = pick(12);
                if (opaquePart) {
                    // Enlarged one way and shrunk the other: the second level counts, and
                    // pixels near the edge sample right up to it.
                    float wide = real(80.0f, 240.0f), narrow = real(3.0f, 10.0f);
                    if (pick(2)) drawQuad(x, y, wide, narrow, uv, colour, z);
                    else drawQuad(x, y, narrow, wide, uv, colour, z);
                } else if (shape < 3) {
                    // One texel to a pixel, on whole pixels.
                    float tw = static_cast<float>(t->width), th = static_cast<float>(t->height);
                    uv.u0 = std::round(uv.u0 * tw) / tw;
                    uv.v0 = std::round(uv.v0 * th) / th;
                    float pw = std::max(1.0f, std::round((uv.u1 - uv.u0) * tw));
                    float ph = std::max(1.0f, std::round((uv.v1 - uv.v0) * th));
                    uv.u1 = uv.u0 + pw / tw;
                    uv.v1 = uv.v0 + ph / th;
                    drawQuadRect(std::round(x), std::round(y), std::round(x) + pw, std::round(y) - ph, uv, colour, z);
                } else if (shape < 6) {
                    drawRotatedQuad(x, y, x, y, real(0, 360), real(8, 200), real(8, 200), uv, colour, z);
                } else if (shape == 6) {
                    // A run of small sprites, longer than the runs the batches are given in.
                    for (int i = 0; i < 60; ++i)
                        drawQuad(x - 200.0f + 7.0f * static_cast<float>(i), y, 12, 12, uv, colour, z);
                } else {
                    drawQuad(x, y, real(4, 300), real(4, 300), uv, colour, z);
                }
                if (alphaTestOff) switchOn(kSwitchAlphaTest);
                if (tinted) setTint(1, 1, 1, 1);
                if (depth) switchOn(kSwitchDepthWrite);
            }
            setBlendMode(kBlendAlpha);
        };
        std::vector<std::vector<uint8_t>> shots;
        platform::gpu::drawStats() = {};
        for (int scene = 0; scene < kScenes; ++scene) {
            bool smooth = scene % 3 != 0;
            bool depth = scene % 4 == 1;
            bool intoTarget = scene % 4 == 2;
            clearDepth(1.0f);
            clearTarget(0xFF203040u);
            if (smooth) switchOn(kSwitchSmoothFiltering);
            else switchOff(kSwitchSmoothFiltering);
            if (depth) switchOn(kSwitchDepthTest);
            if (intoTarget) {
                setRenderTargetTexture(target);
                clearTarget(0x40806020u);
                quads(8, false);
                setRenderTargetTexture(nullptr);
            }
            quads(12, depth);
            if (depth) switchOff(kSwitchDepthTest);
            if (intoTarget) {
                bindTexture(target);
                setBlendMode(pick(2) ? kBlendAlpha : kBlendAdditive);
                drawRotatedQuad(real(-200, 200), real(-150, 150), 0, 0, real(0, 60), 300, 260, kFull, 0xFFFFFFFFu,
                                10.0f);
                setBlendMode(kBlendAlpha);
            }
            switchOn(kSwitchSmoothFiltering);
            shots.push_back(picture());
        }
        did = platform::gpu::drawStats();
        return shots;
    };
    platform::gpu::DrawStats plainDid, did;
    auto plain = drawScenes(platform::gpu::Path::kPlain, plainDid);
    auto quick = drawScenes(platform::gpu::Path::kSoftware, did);
    ASSERT_EQ(plain.size(), quick.size());
    constexpr int kSpanPathRounding = 4;
    constexpr int kEdgePixels = 40;
    // Without a depth buffer bound the rasterizer fills quads lying along its axes on a path of
    // its own, which rounds filter weights up to four steps apart and has its own rule for pixels
    // whose centres lie exactly on a quad's edge (a row or a column of the quad may come or go);
    // a texel-exact quad filtered smoothly may land a step away from its texel. A fault of a
    // shortcut shows over whole quads.
    for (size_t scene = 0; scene < plain.size(); ++scene) {
        int differing = 0;
        std::string first;
        for (size_t i = 0; i < plain[scene].size(); i += 4) {
            for (size_t c = 0; c < 4; ++c) {
                int a = plain[scene][i + c], b = quick[scene][i + c];
                if (std::abs(a - b) > kSpanPathRounding) {
                    if (differing < 5)
                        first += "pixel " + std::to_string((i / 4) % 800) + "," + std::to_string((i / 4) / 800) +
                                 " channel " + std::to_string(c) + ": plain " + std::to_string(a) +
                                 ", software " + std::to_string(b) + "\n";
                    ++differing;
                    break;
                }
            }
        }
        EXPECT_LE(differing, kEdgePixels) << "scene " << scene << "\n" << first;
        if (differing > kEdgePixels) {
            std::string name = "/tmp/RandomScene" + std::to_string(scene);
            platform::writePng((name + ".plain.png").c_str(), plain[scene].data(), 800, 600);
            platform::writePng((name + ".software.png").c_str(), quick[scene].data(), 800, 600);
        }
    }
    // The software path did take its shortcuts, and the plain one none.
    EXPECT_GT(did.unfilteredBatches, 0u);
    EXPECT_GT(did.opaqueBatches, 0u);
    EXPECT_GT(did.clearsDeferred, 0u);
    EXPECT_GT(did.colourOnlyDraws, 0u);
    EXPECT_GT(did.rectRuns, 0u);
    EXPECT_EQ(plainDid.opaqueBatches + plainDid.clearsDeferred + plainDid.colourOnlyDraws + plainDid.rectRuns, 0u);
}

TEST_F(Shortcuts, AClearThatWaitsIsDoneBeforeTheTargetChangesOrIsRead) {
    // The picture's clear waits while a render target is cleared and drawn into; each target
    // keeps its own colour.
    clearTarget(0xFF00FF00u);
    TextureEntry* target = createTexture("target", 64, 64, kFormatA8R8G8B8, true);
    ASSERT_NE(target, nullptr);
    setRenderTargetTexture(target);
    clearTarget(0xFF0000FFu);
    setRenderTargetTexture(nullptr);
    std::vector<uint8_t> texels(64 * 64 * 4);
    ASSERT_TRUE(platform::gpu::readTexture(target->texture, texels.data()));
    EXPECT_EQ(texels[2], 255);
    EXPECT_EQ(texels[1], 0);
    EXPECT_TRUE(near(pixel(400, 300), {0, 255, 0, 255}, 0));
    // A clear, then an opaque picture over part of the picture: the clear shows around it.
    clearTarget(0xFFFF0000u);
    auto texels2 = makePixels(64, 64, [](int, int) { return Rgba{10, 20, 30, 255}; });
    TextureEntry* t = createTextureFromPixels("small", texels2.data(), 64, 64, false);
    bindTexture(t);
    switchOff(kSwitchSmoothFiltering);
    platform::gpu::drawStats() = {};
    drawScreenRect(100, 100, 164, 164, 0, 0, 1, 1, 0xFFFFFFFFu);
    switchOn(kSwitchSmoothFiltering);
    picture();
    EXPECT_TRUE(near(at(50, 50), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(130, 130), {10, 20, 30, 255}, 0));
}

// A scene in which every shortcut fires: a full-screen opaque picture and a texel-exact quad
// (unfiltered), part of a partly opaque picture (drawn without
// blending), a depth clear while the depth test is off (deferred), 2D drawing without depth and
// a batch longer than a run.
TEST_F(Shortcuts, AStateNoAllowListNamesTurnsEveryShortcutOff) {
    auto full = makePixels(1024, 1024, [](int x, int y) { return Rgba{x % 256, y % 256, 90, 255}; });
    TextureEntry* backdrop = createTextureFromPixels("full", full.data(), 1024, 1024, false);
    TextureEntry* margins = patch("margins.tga", {0, 0, 0, 0}, true);
    auto half = makePixels(64, 64, [](int x, int) { return Rgba{200, 100, 50, x < 40 ? 255 : 0}; });
    TextureEntry* partly = createTextureFromPixels("partly", half.data(), 64, 64, false);
    auto scene = [&] {
        clearDepth(1.0f);
        clearTarget(0xFF102030u);
        bindTexture(backdrop);
        switchOff(kSwitchSmoothFiltering);
        drawScreenRect(0, 0, 800, 600, 0, 0, 0.78125f, 0.5859375f, 0xFFFFFFFFu);
        switchOn(kSwitchSmoothFiltering);
        bindTexture(margins);
        drawQuad(-200.0f, 100.0f, 64, 64, kFull, 0xFFFFFFFFu, 10.0f);
        endScene();  // a batch of its own: one to one
        drawQuad(200, 100, 120, 110, kFull, 0xFFFFFFFFu, 10.0f);  // enlarged
        bindTexture(partly);
        drawQuad(0, -100, 40, 40, UVRect{0.1f, 0.1f, 0.5f, 0.5f}, 0xFFFFFFFFu, 10.0f);
        endScene();
        // More quads than one run holds.
        for (int i = 0; i < 60; ++i)
            drawQuad(-380.0f + 12.0f * static_cast<float>(i), -250.0f, 10, 10, kFull, 0xFFFFFFFFu, 10.0f);
        endScene();
    };
    platform::gpu::setShortcuts(platform::gpu::kAllShortcuts);
    auto statsOf = [&](bool scissor) {
        platform::gpu::drawStats() = {};
        // A scissor over the whole picture: the same picture, but a state no shortcut names.
        platform::gpu::setScissor(scissor, 0, 0, 800, 600);
        scene();
        std::vector<uint8_t> shot = picture();
        platform::gpu::setScissor(false, 0, 0, 0, 0);
        return std::make_pair(platform::gpu::drawStats(), shot);
    };
    auto [free, freeShot] = statsOf(false);
    EXPECT_GT(free.unfilteredBatches, 0u);
    EXPECT_GT(free.opaqueBatches, 0u);
    EXPECT_GT(free.clearsDeferred, 0u);
    EXPECT_GT(free.colourOnlyDraws, 0u);
    EXPECT_GT(free.rectRuns, 0u);
    auto [held, heldShot] = statsOf(true);
    EXPECT_EQ(held.unfilteredBatches + held.opaqueBatches + held.clearsDeferred + held.colourOnlyDraws + held.rectRuns,
              0u);
    platform::gpu::setScissor(true, 0, 0, 800, 600);
    for (auto which : {platform::gpu::kShortcutUnfiltered, platform::gpu::kShortcutOpaque,
                       platform::gpu::kShortcutDeferredClear, platform::gpu::kShortcutColourOnly,
                       platform::gpu::kShortcutRectRuns})
        EXPECT_FALSE(platform::gpu::shortcutAllowedNow(which)) << which;
    platform::gpu::setScissor(false, 0, 0, 0, 0);
    // The picture is the same either way, give or take the filter's rounding.
    int differing = 0;
    for (size_t i = 0; i < freeShot.size(); ++i) differing += std::abs(freeShot[i] - heldShot[i]) > kFilterTolerance;
    EXPECT_EQ(differing, 0);
}

// The scissor limits clears and drawing to its rectangle, on either path (the test runs on the
// path the driver or the environment chooses).
TEST_F(RenderTest, TheScissorLimitsClearsAndDrawingToItsRectangle) {
    clearTarget(0xFF000000u);
    platform::gpu::setScissor(true, 100, 50, 200, 100);  // x 100..299, y 50..149 from the top
    clearTarget(0xFF0000FFu);
    bindTexture(nullptr);
    setBlendMode(kBlendOpaque);
    drawQuadRect(-400, 300, 400, 200, kFull, 0xFFFF0000u, 10.0f);  // the top 100 rows
    setBlendMode(kBlendAlpha);
    platform::gpu::setScissor(false, 0, 0, 0, 0);
    picture();
    EXPECT_TRUE(near(at(99, 100), {0, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(100, 100), {0, 0, 255, 255}, 0));
    EXPECT_TRUE(near(at(299, 149), {0, 0, 255, 255}, 0));
    EXPECT_TRUE(near(at(300, 100), {0, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(200, 150), {0, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(150, 60), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(150, 20), {0, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(500, 60), {0, 0, 0, 255}, 0));
    // Off again: clears reach everywhere.
    clearTarget(0xFF00FF00u);
    EXPECT_TRUE(near(pixel(10, 590), {0, 255, 0, 255}, 0));
}

// A picture the window shows already is not sent again: the same drawing of the same texels in
// the same place. Anything else is.
TEST_F(RenderTest, APictureTheWindowShowsIsNotSentAgain) {
    auto texels = makePixels(16, 16, [](int x, int y) { return Rgba{x * 16, y * 16, 0, 255}; });
    TextureEntry* t = createTextureFromPixels("still", texels.data(), 16, 16, false);
    float x = 0.0f;
    auto frame = [&](bool force = false) {
        clearDepth(1.0f);
        clearTarget(0xFFB4B4B4u);
        bindTexture(t);
        drawQuad(x, 0, 64, 64, kFull, 0xFFFFFFFFu, 10.0f);
        return platform::gpu::present(true, 800, 600, 0, 0, 800, 600, force);
    };
    EXPECT_TRUE(frame());   // the first frame
    EXPECT_TRUE(frame());   // the first one told apart by its drawing
    EXPECT_FALSE(frame());  // the same again
    EXPECT_FALSE(frame());
    EXPECT_TRUE(frame(true));  // the window was uncovered
    x = 1.0f;
    EXPECT_TRUE(frame());  // moved
    EXPECT_FALSE(frame());
    texels[0] = 255;
    platform::gpu::uploadTexture(t->texture, 0, 0, 16, 16, texels.data());
    EXPECT_TRUE(frame());  // new texels
    EXPECT_FALSE(frame());
    EXPECT_TRUE(platform::gpu::present(true, 1024, 768, 0, 0, 1024, 768));  // a frame of nothing, elsewhere
    // Drawn over what the picture held before, without a clear: the frame depends on more
    // than its own drawing.
    for (int i = 0; i < 3; ++i) {
        drawQuad(x, 0, 64, 64, kFull, 0xFFFFFFFFu, 10.0f);
        EXPECT_TRUE(platform::gpu::present(true, 800, 600, 0, 0, 800, 600));
    }
    // Frames that go nowhere have nothing to swap.
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(platform::gpu::present(false, 800, 600, 0, 0, 800, 600));
    EXPECT_GE(platform::gpu::drawStats().presentsLeftOut, 4u);
}

}  // namespace

