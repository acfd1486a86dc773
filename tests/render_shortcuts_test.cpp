// The drawing shortcuts (clear margins cut off, texel-exact quads unfiltered, textures shown no
// smaller filtered on their first level, opaque pictures copied) must give the picture that
// drawing everything the plain way gives, but for the driver's own rounding.
#include <cmath>
#include <functional>
#include <random>

#include "render_support.h"

using namespace render_test;

namespace {

// The driver filters with weights of eight bits. Once a quad is cut, or filtered on its first
// level alone, a weight may round the other way: where neighbouring texels differ the most,
// that moves a channel by a step or two.
constexpr int kFilterTolerance = 3;
// Smooth filtering that lands on texel centres may still round a step away from the texel, so
// the shortcut that takes the texel as it is may differ by one.
constexpr int kDriverRounding = 1;
// Where filtered quads overlap, each may add its steps; taking the second level where it
// counts would change sharp features by far more.
constexpr int kEightBitTolerance = 12;
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

TEST_F(Shortcuts, CutQuadsGiveThePlainPicture) {
    TextureEntry* single = patch("patch.tga", {0, 0, 0, 0}, false);
    TextureEntry* levels = patch("patch2.tga", {0, 0, 0, 0}, true);
    for (TextureEntry* t : {single, levels}) {
        for (bool smooth : {true, false}) {
            platform::gpu::DrawStats did;
            int n = differences(
                [&] {
                    bindTexture(t);
                    if (smooth) switchOn(kSwitchSmoothFiltering);
                    else switchOff(kSwitchSmoothFiltering);
                    setBlendMode(kBlendAlpha);
                    drawQuad(-200.0f, 100.0f, 64, 64, kFull, 0xFFFFFFFFu, 10.0f);  // one to one
                    drawQuad(0, 100, 160, 96, kFull, 0xC0FF8040u, 10.0f);         // enlarged
                    drawQuad(200, 100, 41, 37, kFull, 0xFFFFFFFFu, 10.0f);         // reduced
                    drawRotatedQuad(-150, -120, -150, -120, 33.0f, 120, 120, kFull, 0xFFFFFFFFu, 10.0f);
                    drawQuad(100, -150, 90, 90, UVRect{0.25f, 0.4f, 0.8f, 0.75f}, 0xFFFFFFFFu, 10.0f);
                    setBlendMode(kBlendAdditive);  // clear texels are all zero: cut as well
                    drawQuad(250, -150, 100, 100, kFull, 0xFFFFFFFFu, 10.0f);
                },
                did, smooth ? kFilterTolerance : 0);
            EXPECT_EQ(n, 0) << (t == levels ? "two levels" : "one level") << (smooth ? ", smooth" : ", unfiltered");
            // Unfiltered, only the quad whose texels land one to a pixel is cut.
            EXPECT_EQ(did.quadsCut, smooth ? 6u : 1u);
        }
    }
}

TEST_F(Shortcuts, QuadsAreLeftWholeWhereClearTexelsWouldShow) {
    // Without the alpha test, clear texels that are not black show under additive blending,
    // and opaque drawing takes every texel.
    TextureEntry* grey = patch("grey.tga", {90, 90, 90, 0}, false);
    platform::gpu::DrawStats did;
    int n = differences(
        [&] {
            bindTexture(grey);
            switchOff(kSwitchAlphaTest);
            setBlendMode(kBlendAdditive);
            drawQuad(0, 0, 128, 128, kFull, 0xFFFFFFFFu, 10.0f);
            setBlendMode(kBlendOpaque);
            drawQuad(-200, 0, 128, 128, kFull, 0xFFFFFFFFu, 10.0f);
            switchOn(kSwitchAlphaTest);
            setBlendMode(kBlendAlpha);
        },
        did, kFilterTolerance);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(did.quadsCut, 0u);
    // Gone altogether: a quad over clear texels only (the top-left corner).
    auto corner = [&] {
        bindTexture(grey);
        drawQuad(0, 0, 50, 50, UVRect{0.0f, 0.0f, 0.25f, 0.25f}, 0xFFFFFFFFu, 10.0f);
    };
    EXPECT_EQ(differences(corner, did), 0);
    EXPECT_EQ(did.quadsLeftOut, 1u);
    // Texels given later count: an update that fills the clear corner.
    auto white = makePixels(16, 16, [](int, int) { return Rgba{255, 255, 255, 255}; });
    platform::gpu::uploadTexture(grey->texture, 0, 0, 16, 16, white.data());
    EXPECT_EQ(differences(corner, did), 0);
    EXPECT_EQ(did.quadsLeftOut, 0u);
    EXPECT_TRUE(near(pixel(400, 300), {255, 255, 255, 255}, 0));
}

TEST_F(Shortcuts, NeighbouringTexelsThatBleedInAreKept) {
    // Three cells of 16 x 16 side by side: two clear ones, then an inked one. Filtering at a
    // cell's edge reaches into its neighbour; the texture repeats, so the first cell's left
    // edge reaches the last cell.
    auto texels = makePixels(48, 16, [](int x, int) { return x < 32 ? Rgba{0, 0, 0, 0} : Rgba{255, 200, 100, 255}; });
    TextureEntry* t = createTextureFromPixels("cells", texels.data(), 48, 16, true);
    const float third = 1.0f / 3.0f;
    for (int cell = 0; cell < 2; ++cell) {
        platform::gpu::DrawStats did;
        int n = differences(
            [&] {
                bindTexture(t);
                switchOn(kSwitchSmoothFiltering);
                drawQuad(0, 0, 160, 160, UVRect{cell * third, 0.0f, (cell + 1) * third, 1.0f}, 0xFFFFFFFFu, 10.0f);
            },
            did, kFilterTolerance);
        EXPECT_EQ(n, 0) << cell;
        EXPECT_EQ(did.quadsCut, 1u) << cell;  // cut on the side away from the ink
        // The bleed over the background: the second cell's right edge, the first one's left.
        EXPECT_GT(pixel(cell == 1 ? 479 : 320, 300).r, 0x20) << cell;
        EXPECT_EQ(pixel(400, 300).r, 0x20) << cell;
    }
    // Unfiltered, one texel to a pixel: the bleed is gone, and so is all but a sliver.
    platform::gpu::DrawStats did;
    int n = differences(
        [&] {
            bindTexture(t);
            switchOff(kSwitchSmoothFiltering);
            drawQuad(0, 0, 16, 16, UVRect{third, 0.0f, 2 * third, 1.0f}, 0xFFFFFFFFu, 10.0f);
            switchOn(kSwitchSmoothFiltering);
        },
        did);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(did.quadsCut, 1u);
    EXPECT_EQ(pixel(407, 300).r, 0x20);
}

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

TEST_F(Shortcuts, OpaquePicturesAreCopiedTexelForPixel) {
    // Each texel says where it lies: red and green are x and y within a block of 256, blue
    // names the block.
    auto texels = makePixels(1024, 1024, [](int x, int y) { return Rgba{x % 256, y % 256, (x / 256) * 60 + (y / 256) * 7, 255}; });
    TextureEntry* t = createTextureFromPixels("backdrop", texels.data(), 1024, 1024, false);
    struct Case {
        float x0, y0, x1, y1, u0, v0, u1, v1;
    };
    const Case cases[] = {
        {0, 0, 800, 600, 0, 0, 0.78125f, 0.5859375f},     // the backdrop, with the inset
        {100, 50, 612, 306, 0.25f, 0.5f, 0.75f, 0.75f},   // one to one, but for the inset
        {10, 20, 410, 320, 0.0f, 0.0f, 0.3896f, 0.2925f},  // a little smaller than one to one
    };
    for (const Case& c : cases) {
        platform::gpu::DrawStats did;
        clearTarget(0xFF203040u);
        bindTexture(t);
        switchOff(kSwitchSmoothFiltering);
        platform::gpu::drawStats() = {};
        drawScreenRect(c.x0, c.y0, c.x1, c.y1, c.u0, c.v0, c.u1, c.v1, 0xFFFFFFFFu);
        switchOn(kSwitchSmoothFiltering);
        picture();
        did = platform::gpu::drawStats();
        EXPECT_EQ(did.copies, 1u) << c.x0 << "," << c.y0;
        // Only the copy over the whole picture makes the clear before it needless.
        EXPECT_EQ(did.clearsLeftOut, &c == &cases[0] ? 1u : 0u) << c.x0 << "," << c.y0;
        // Every pixel shows the texel under its centre, as unfiltered drawing takes it. Where
        // the centre lies on the border of two texels, rounding decides: either will do.
        const float insetU0 = c.u0 + 0.001f, insetU1 = c.u1 - 0.001f;
        const float insetV0 = c.v0 + 0.001f, insetV1 = c.v1 - 0.001f;
        auto texelsUnder = [](double along, double t0, double t1, double from, double to, int& lo, int& hi) {
            double texel = (t0 + (along - from) / (to - from) * (t1 - t0)) * 1024.0;
            lo = static_cast<int>(std::floor(texel - 1e-3));
            hi = static_cast<int>(std::floor(texel + 1e-3));
        };
        int wrong = 0;
        std::string first;
        for (int y = static_cast<int>(c.y0); y < static_cast<int>(c.y1); ++y) {
            int ty0, ty1;
            texelsUnder(y + 0.5, insetV0, insetV1, c.y0, c.y1, ty0, ty1);
            for (int x = static_cast<int>(c.x0); x < static_cast<int>(c.x1); ++x) {
                int tx0, tx1;
                texelsUnder(x + 0.5, insetU0, insetU1, c.x0, c.x1, tx0, tx1);
                Rgba p = at(x, y);
                int tx = p.r + 256 * (p.b / 60), ty = p.g + 256 * ((p.b % 60) / 7);
                if (tx < tx0 || tx > tx1 || ty < ty0 || ty > ty1 || p.a != 255) {
                    if (wrong++ < 5)
                        first += "pixel " + std::to_string(x) + "," + std::to_string(y) + " shows texel " +
                                 std::to_string(tx) + "," + std::to_string(ty) + ", not " + std::to_string(tx0) +
                                 "," + std::to_string(ty0) + "\n";
                }
            }
        }
        EXPECT_EQ(wrong, 0) << c.x0 << "," << c.y0 << "\n" << first;
    }
    // Tinted, blended over, or filtered: drawn.
    platform::gpu::DrawStats did;
    EXPECT_EQ(differences(
                  [&] {
                      bindTexture(t);
                      switchOff(kSwitchSmoothFiltering);
                      drawScreenRect(0, 0, 800, 600, 0, 0, 0.78125f, 0.5859375f, 0xFFFF8080u);
                      drawScreenRect(0, 0, 400, 300, 0, 0, 0.78125f, 0.5859375f, 0x80FFFFFFu);
                      switchOn(kSwitchSmoothFiltering);
                      drawScreenRect(400, 300, 800, 600, 0, 0, 0.78125f, 0.5859375f, 0xFFFFFFFFu);
                  },
                  did),
              0);
    EXPECT_EQ(did.copies, 0u);
}

TEST_F(Shortcuts, RandomScenesGiveThePlainPicture) {
    // Pictures with clear patches (black or coloured under alpha 0), of power-of-two sizes
    // and not, with one level and with two; quads of every kind over them.
    std::mt19937 random(20261208);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
    auto real = [&](float lo, float hi) { return lo + (hi - lo) * static_cast<float>(random() % 10000) / 10000.0f; };
    std::vector<TextureEntry*> pictures;
    const int sizes[4][2] = {{64, 64}, {48, 40}, {32, 64}, {128, 32}};
    for (int i = 0; i < 8; ++i) {
        int w = sizes[i % 4][0], h = sizes[i % 4][1];
        int cx = pick(w), cy = pick(h), r = 4 + pick(w / 2);
        bool colouredClear = i % 3 == 0;
        auto texels = makePixels(w, h, [&](int x, int y) {
            bool ink = std::abs(x - cx) + std::abs(y - cy) < r;
            if (ink) return Rgba{(x * 37) % 256, (y * 53) % 256, 128, 20 + (x * y) % 236};
            return colouredClear ? Rgba{200, 60, 30, 0} : Rgba{0, 0, 0, 0};
        });
        std::string name = "random" + std::to_string(i) + ".tga";
        if (i % 2 == 0) {
            pictures.push_back(createTextureFromPixels(name.c_str(), texels.data(), w, h, true));
        } else {
            addFile(name, platform::encodeTga(texels.data(), w, h, false));
            pictures.push_back(loadTexture(name.c_str()));
        }
        ASSERT_NE(pictures.back(), nullptr);
    }
    int cut = 0, leftOut = 0, oneLevel = 0;
    for (int scene = 0; scene < 24; ++scene) {
        bool smooth = scene % 3 != 0;
        platform::gpu::DrawStats did;
        uint32_t seed = static_cast<uint32_t>(random());
        auto quads = [&] {
            random.seed(seed);  // the same quads every time
            if (smooth) switchOn(kSwitchSmoothFiltering);
            else switchOff(kSwitchSmoothFiltering);
            for (int q = 0; q < 12; ++q) {
                int picked = pick(8);
                int mode = pick(4);
                // Coloured clear texels are left to alpha blending: added, they would
                // show wherever the alpha test's threshold went the other way.
                if (mode == 3 && picked % 3 == 0) picked = (picked + 1) % 8;
                TextureEntry* t = pictures[static_cast<size_t>(picked)];
                bindTexture(t);
                setBlendMode(mode == 3 ? kBlendAdditive : kBlendAlpha);
                if (mode == 2) switchOff(kSwitchAlphaTest);
                float u0 = pick(3) == 0 ? 0.0f : real(0.0f, 0.6f), v0 = pick(3) == 0 ? 0.0f : real(0.0f, 0.6f);
                UVRect uv{u0, v0, std::min(1.0f, u0 + real(0.1f, 1.0f)), std::min(1.0f, v0 + real(0.1f, 1.0f))};
                uint32_t colour = pick(2) ? 0xFFFFFFFFu : 0x80000000u | (random() & 0xFFFFFFu);
                float x = std::round(real(-350, 350)) + (pick(2) ? 0.0f : real(0, 1));
                float y = std::round(real(-250, 250)) + (pick(2) ? 0.0f : real(0, 1));
                if (pick(4) == 0) {
                    // One texel to a pixel, on whole pixels.
                    float w = (uv.u1 - uv.u0) * static_cast<float>(t->width);
                    float h = (uv.v1 - uv.v0) * static_cast<float>(t->height);
                    uv.u1 = uv.u0 + std::round(w) / static_cast<float>(t->width);
                    uv.v1 = uv.v0 + std::round(h) / static_cast<float>(t->height);
                    uv.u0 = std::round(uv.u0 * static_cast<float>(t->width)) / static_cast<float>(t->width);
                    uv.v0 = std::round(uv.v0 * static_cast<float>(t->height)) / static_cast<float>(t->height);
                    float pw = std::round((uv.u1 - uv.u0) * static_cast<float>(t->width));
                    float ph = std::round((uv.v1 - uv.v0) * static_cast<float>(t->height));
                    drawQuadRect(std::round(x), std::round(y), std::round(x) + pw, std::round(y) - ph, uv, colour, 10.0f);
                } else if (pick(3) == 0) {
                    drawRotatedQuad(x, y, x, y, real(0, 360), real(8, 200), real(8, 200), uv, colour, 10.0f);
                } else {
                    drawQuad(x, y, real(4, 300), real(4, 300), uv, colour, 10.0f);
                }
                if (mode == 2) switchOn(kSwitchAlphaTest);
            }
            setBlendMode(kBlendAlpha);
            switchOn(kSwitchSmoothFiltering);
        };
        // Under the alpha test a fragment whose filtered alpha sits on the threshold may go
        // either way once its quad is cut, the driver's filter weights being of eight bits.
        const uint32_t allButFirstLevel = platform::gpu::kAllShortcuts & ~platform::gpu::kShortcutFirstLevel;
        int n = differences(quads, did, smooth ? kFilterTolerance : 0, smooth ? 4 : 0, allButFirstLevel);
        EXPECT_LE(n, smooth ? 4 : 0) << "scene " << scene;
        cut += static_cast<int>(did.quadsCut);
        leftOut += static_cast<int>(did.quadsLeftOut);
        // Filtering on the first level alone takes the driver's eight-bit path, whose alpha may
        // be a step off the plain one: near the alpha test's threshold more fragments go either
        // way. Taking the second level where it counts would differ all over a quad.
        n = differences(quads, did, kEightBitTolerance, 4, platform::gpu::kShortcutFirstLevel);
        EXPECT_LE(n, 4) << "scene " << scene << ", first level alone";
        oneLevel += static_cast<int>(did.oneLevelBatches);
    }
    // The scenes did take the shortcuts.
    EXPECT_GT(cut, 20);
    EXPECT_GT(leftOut, 0);
    EXPECT_GT(oneLevel, 0);
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
    // A clear, then a copy over part of the picture: the clear shows around the copy.
    clearTarget(0xFFFF0000u);
    auto texels2 = makePixels(64, 64, [](int, int) { return Rgba{10, 20, 30, 255}; });
    TextureEntry* t = createTextureFromPixels("small", texels2.data(), 64, 64, false);
    bindTexture(t);
    switchOff(kSwitchSmoothFiltering);
    platform::gpu::drawStats() = {};
    drawScreenRect(100, 100, 164, 164, 0, 0, 1, 1, 0xFFFFFFFFu);
    switchOn(kSwitchSmoothFiltering);
    picture();
    EXPECT_EQ(platform::gpu::drawStats().clearsLeftOut, 0u);
    EXPECT_TRUE(near(at(50, 50), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(130, 130), {10, 20, 30, 255}, 0));
}

TEST_F(Shortcuts, TexturesShownNoSmallerAreFilteredOnTheirFirstLevel) {
    // A picture with its second level, shown enlarged (along the axes and turned) and shown
    // reduced: only the reduced one needs the second level.
    auto texels = makePixels(64, 64, [](int x, int y) { return Rgba{x * 4, y * 4, (x ^ y) * 4 % 256, 255}; });
    addFile("levels.tga", platform::encodeTga(texels.data(), 64, 64, false));
    TextureEntry* t = loadTexture("levels.tga");
    ASSERT_NE(t, nullptr);
    struct Case {
        float angle, size;
        bool oneLevel;
    };
    for (const Case& c : {Case{0.0f, 64.0f, true}, Case{0.0f, 150.3f, true}, Case{30.0f, 150.0f, true},
                          Case{30.0f, 70.0f, false}, Case{0.0f, 50.0f, false}}) {
        platform::gpu::DrawStats did;
        int n = differences(
            [&] {
                bindTexture(t);
                switchOn(kSwitchSmoothFiltering);
                drawRotatedQuad(10.3f, 20.6f, 10.3f, 20.6f, c.angle, c.size, c.size, kFull, 0xFFFFFFFFu, 10.0f);
            },
            did, kFilterTolerance);
        EXPECT_EQ(n, 0) << c.angle << " " << c.size;
        EXPECT_EQ(did.oneLevelBatches, c.oneLevel ? 1u : 0u) << c.angle << " " << c.size;
    }
}

// A scene in which every shortcut fires: a full-screen opaque picture (copied, its clear left
// out), a texel-exact quad and a reduced one of a picture with clear margins (cut, unfiltered,
// filtered on its first level), part of a partly opaque picture (drawn without blending), a
// depth clear while the depth test is off (deferred) and 2D drawing without depth.
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
        endScene();
        drawQuad(0, 200, 41, 37, kFull, 0xFFFFFFFFu, 10.0f);  // reduced
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
    EXPECT_GT(free.copies, 0u);
    EXPECT_GT(free.clearsLeftOut, 0u);
    EXPECT_GT(free.quadsCut, 0u);
    EXPECT_GT(free.unfilteredBatches, 0u);
    EXPECT_GT(free.oneLevelBatches, 0u);
    EXPECT_GT(free.opaqueBatches, 0u);
    EXPECT_GT(free.clearsDeferred, 0u);
    EXPECT_GT(free.colourOnlyDraws, 0u);
    EXPECT_GT(free.rectRuns, 0u);
    auto [held, heldShot] = statsOf(true);
    EXPECT_EQ(held.copies + held.clearsLeftOut + held.quadsCut + held.quadsLeftOut + held.unfilteredBatches +
                  held.oneLevelBatches + held.opaqueBatches + held.clearsDeferred + held.colourOnlyDraws +
                  held.rectRuns,
              0u);
    platform::gpu::setScissor(true, 0, 0, 800, 600);
    for (auto which : {platform::gpu::kShortcutCut, platform::gpu::kShortcutUnfiltered, platform::gpu::kShortcutFirstLevel,
                       platform::gpu::kShortcutCopy, platform::gpu::kShortcutOpaque,
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

