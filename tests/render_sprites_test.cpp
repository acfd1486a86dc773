// Quad primitives and the colour tint, checked on pixels drawn offscreen.
#include <cmath>

#include "render_support.h"

using namespace render_test;

namespace {

class Sprites : public RenderTest {
protected:
    // A 2 x 2 picture: top left red, top right green, bottom left blue, bottom right white.
    TextureEntry* quadrants() {
        auto texels = makePixels(2, 2, [](int x, int y) {
            if (y == 0) return x == 0 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 255};
            return x == 0 ? Rgba{0, 0, 255, 255} : Rgba{255, 255, 255, 255};
        });
        return createTextureFromPixels("quadrants", texels.data(), 2, 2, false);
    }
};

TEST_F(Sprites, FullPictureQuadCoversEveryCorner) {
    bindTexture(nullptr);
    drawQuad(0, 0, 800, 600, kFull, 0xFFFFFFFFu, 10.0f);
    picture();
    for (auto [x, y] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}, {400, 300}})
        EXPECT_TRUE(near(at(x, y), {255, 255, 255, 255}, 0)) << x << "," << y;
    EXPECT_EQ(triangleCounter(), 2u);
}

TEST_F(Sprites, TextureCornersFollowTheQuadCorners) {
    TextureEntry* t = quadrants();
    bindTexture(t);
    switchOff(kSwitchSmoothFiltering);
    drawQuadRect(-100, 100, 100, -100, kFull, 0xFFFFFFFFu, 10.0f);
    picture();
    EXPECT_TRUE(near(at(350, 250), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(450, 250), {0, 255, 0, 255}, 0));
    EXPECT_TRUE(near(at(350, 350), {0, 0, 255, 255}, 0));
    EXPECT_TRUE(near(at(450, 350), {255, 255, 255, 255}, 0));
}

TEST_F(Sprites, RotatedQuadTurnsCounterClockwiseAboutThePivot) {
    TextureEntry* t = quadrants();
    bindTexture(t);
    switchOff(kSwitchSmoothFiltering);
    // A wide quad (200 x 100) turned by 90 degrees about its centre becomes tall.
    drawRotatedQuad(0, 0, 0, 0, 90.0f, 200, 100, kFull, 0xFFFFFFFFu, 10.0f);
    picture();
    EXPECT_TRUE(near(at(400 - 40, 300 - 90), {0, 255, 0, 255}, 0));   // top left: was top right
    EXPECT_TRUE(near(at(400 + 40, 300 - 90), {255, 255, 255, 255}, 0));  // top right: was bottom right
    EXPECT_TRUE(near(at(400 - 40, 300 + 90), {255, 0, 0, 255}, 0));   // bottom left: was top left
    EXPECT_TRUE(near(at(400 + 40, 300 + 90), {0, 0, 255, 255}, 0));   // bottom right: was bottom left
    EXPECT_TRUE(near(at(400 - 60, 300), {0, 0, 0, 255}, 0));          // no longer wide
    EXPECT_TRUE(near(at(390, 300 - 60), {0, 255, 0, 255}, 0));        // but tall
    // About a pivot away from the centre: (100, 0) turned by 90 about (0, 0) lands at (0, 100).
    clearTarget(0xFF000000u);
    bindTexture(nullptr);
    drawRotatedQuad(100, 0, 0, 0, 90.0f, 10, 10, kFull, 0xFFFFFFFFu, 10.0f);
    picture();
    EXPECT_TRUE(near(at(400, 200), {255, 255, 255, 255}, 0));
    EXPECT_TRUE(near(at(500, 300), {0, 0, 0, 255}, 0));
}

TEST_F(Sprites, GradientCornersTakeTheirColoursInTheirOrder) {
    bindTexture(nullptr);
    switchOff(kSwitchBlending);
    drawQuadRectGradient(-100, 100, 100, -100, kFull, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu, 10.0f);
    picture();
    EXPECT_TRUE(near(at(499, 200), {255, 0, 0, 255}, 4));    // top right
    EXPECT_TRUE(near(at(499, 399), {0, 255, 0, 255}, 4));    // bottom right
    EXPECT_TRUE(near(at(300, 200), {0, 0, 255, 255}, 4));    // top left
    EXPECT_TRUE(near(at(300, 399), {255, 255, 255, 255}, 4));  // bottom left
}

TEST_F(Sprites, ScreenRectMovesTheTextureRectangleInwards) {
    // 1024 texels across, red = texel number mod 256: the picture's first pixel shows texel 1
    // and its last texel 798, because of the 0.001 inset.
    auto texels = makePixels(1024, 2, [](int x, int) { return Rgba{x % 256, x / 256, 0, 255}; });
    TextureEntry* t = createTextureFromPixels("ramp", texels.data(), 1024, 2, false);
    bindTexture(t);
    switchOff(kSwitchSmoothFiltering);
    drawScreenRect(0, 0, 800, 600, 0, 0, 0.78125f, 1.0f, 0xFFFFFFFFu);
    picture();
    EXPECT_EQ(at(0, 10).r, 1);
    EXPECT_EQ(at(799, 10).r, 798 % 256);
    EXPECT_EQ(at(799, 10).g, 798 / 256);
    EXPECT_EQ(at(400, 10).r, static_cast<int>(1.024f + 400.5f * (0.78125f - 0.002f) * 1024.0f / 800.0f) % 256);
    // Screen pixels: origin top left, y down.
    clearTarget(0xFF000000u);
    bindTexture(nullptr);
    drawScreenRect(10, 20, 30, 40, 0, 0, 1, 1, 0xFF00FF00u);
    picture();
    EXPECT_TRUE(near(at(10, 20), {0, 255, 0, 255}, 0));
    EXPECT_TRUE(near(at(29, 39), {0, 255, 0, 255}, 0));
    EXPECT_TRUE(near(at(30, 39), {0, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(29, 40), {0, 0, 0, 255}, 0));
}

TEST_F(Sprites, UncolouredScreenRectShowsTheWholeTextureInWhite) {
    TextureEntry* t = quadrants();
    bindTexture(t);
    switchOff(kSwitchSmoothFiltering);
    drawScreenRectUncoloured(0, 0, 200, 200);
    picture();
    EXPECT_TRUE(near(at(50, 50), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(150, 150), {255, 255, 255, 255}, 0));  // v = 1 at the bottom edge
    EXPECT_TRUE(near(at(50, 150), {0, 0, 255, 255}, 0));
}

TEST_F(Sprites, TintMultipliesEveryColour) {
    EXPECT_EQ(tintColour(0xFFFFFFFFu), 0xFFFFFFFFu);
    setTint(1, 1, 1, 0.5f);
    EXPECT_EQ(tintColour(0xFFFF8040u), 0x7FFF8040u);  // 255 x 0.5 = 127.5, truncated
    setTint(0.5f, 0.25f, 1, 1);
    EXPECT_EQ(tintColour(0xFFC8C8FFu), 0xFF6432FFu);
    // Half alpha over black: half the red.
    setTint(1, 1, 1, 0.5f);
    bindTexture(nullptr);
    drawQuadRect(-10, 10, 10, -10, kFull, 0xFFFF0000u, 10.0f);
    EXPECT_TRUE(near(pixel(400, 300), {127, 0, 0, 0}, 1));
    setTint(1, 1, 1, 1);
}

TEST_F(Sprites, CornerQuadsAndBeams) {
    bindTexture(nullptr);
    drawQuadCornersPlain(Vector3{-300, 200, 10}, Vector3{-200, 200, 10}, Vector3{-200, 100, 10},
                         Vector3{-300, 100, 10}, 0xFFFF0000u);
    drawQuadCorners(Vector3{200, 200, 10}, Vector3{300, 200, 10}, Vector3{300, 100, 10}, Vector3{200, 100, 10},
                    0xFF00FF00u, 0xFF00FF00u, 0xFF00FF00u, 0xFF00FF00u);
    picture();
    EXPECT_TRUE(near(at(150, 150), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(650, 150), {0, 255, 0, 255}, 0));
    // A beam from B to A, 10 either side, with u running from B (red texel) to A (green texel).
    clearTarget(0xFF000000u);
    auto texels = makePixels(2, 1, [](int x, int) { return x == 0 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 255}; });
    bindTexture(createTextureFromPixels("beam", texels.data(), 2, 1, false));
    switchOff(kSwitchSmoothFiltering);
    drawBeam(Vector3{100, 0, 10}, Vector3{-100, 0, 10}, 10.0f, 0xFFFFFFFFu);
    picture();
    EXPECT_TRUE(near(at(320, 300), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(480, 300), {0, 255, 0, 255}, 0));
    EXPECT_TRUE(near(at(400, 291), {255, 0, 0, 255}, 255));  // inside the band
    EXPECT_NE(at(400, 291).r + at(400, 291).g, 0);
    EXPECT_TRUE(near(at(400, 288), {0, 0, 0, 255}, 0));  // outside it
    EXPECT_TRUE(near(at(400, 312), {0, 0, 0, 255}, 0));
    // A gradient beam: the colour of P at P's end.
    clearTarget(0xFF000000u);
    bindTexture(nullptr);
    switchOff(kSwitchBlending);
    drawBeamGradient(Vector3{0, 100, 10}, Vector3{0, -100, 10}, 5.0f, 0xFFFF0000u, 0xFF0000FFu);
    picture();
    EXPECT_TRUE(near(at(400, 201), {255, 0, 0, 255}, 4));
    EXPECT_TRUE(near(at(400, 398), {0, 0, 255, 255}, 4));
    EXPECT_TRUE(near(at(410, 300), {0, 0, 0, 255}, 0));
}

TEST_F(Sprites, VerticesAreDrawnAsTheyAre) {
    struct V {
        float x, y, z;
        uint32_t colour;
        float u, v;
    };
    const V strip[4] = {{-50, 50, 10, 0xFF00FFFFu, 0, 0},
                        {50, 50, 10, 0xFF00FFFFu, 1, 0},
                        {-50, -50, 10, 0xFF00FFFFu, 0, 1},
                        {50, -50, 10, 0xFF00FFFFu, 1, 1}};
    EXPECT_EQ(vertexStride(kVertexPosition | kVertexDiffuse | kVertexTexture), 24);
    EXPECT_EQ(vertexStride(kVertexPosition | kVertexNormal | kVertexTexture), 32);
    bindTexture(nullptr);
    drawVertices(strip, 2, kVertexPosition | kVertexDiffuse | kVertexTexture, kPrimitiveTriangleStrip);
    EXPECT_TRUE(near(pixel(400, 300), {0, 255, 255, 255}, 0));
    EXPECT_EQ(triangleCounter(), 2u);
    // Without a colour the vertices are white.
    struct P {
        float x, y, z;
    };
    const P list[3] = {{100, 100, 10}, {200, 100, 10}, {100, 0, 10}};
    drawVertices(list, 1, kVertexPosition, kPrimitiveTriangles);
    EXPECT_TRUE(near(pixel(510, 210), {255, 255, 255, 255}, 0));
}

TEST_F(Sprites, LaterQuadsCoverEarlierOnesAcrossStateChanges) {
    auto red = makePixels(1, 1, [](int, int) { return Rgba{255, 0, 0, 255}; });
    auto green = makePixels(1, 1, [](int, int) { return Rgba{0, 255, 0, 255}; });
    TextureEntry* r = createTextureFromPixels("red", red.data(), 1, 1, false);
    TextureEntry* g = createTextureFromPixels("green", green.data(), 1, 1, false);
    for (int i = 0; i < 300; ++i) {
        bindTexture(i % 2 ? g : r);
        if (i % 3 == 0) setBlendMode(kBlendOpaque);
        else setBlendMode(kBlendAlpha);
        drawQuad(0, 0, 50, 50, kFull, 0xFFFFFFFFu, 10.0f);
    }
    // 299 is odd: green last. Many quads with one state are gathered; the order holds.
    bindTexture(r);
    for (int i = 0; i < 5000; ++i) drawQuad(static_cast<float>(i % 100), 0, 4, 4, kFull, 0xFFFFFFFFu, 10.0f);
    bindTexture(g);
    drawQuad(0, 0, 2, 2, kFull, 0xFFFFFFFFu, 10.0f);
    picture();
    EXPECT_TRUE(near(at(400, 300), {0, 255, 0, 255}, 0));
    EXPECT_TRUE(near(at(410, 300), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(380, 300), {0, 255, 0, 255}, 0));
    EXPECT_EQ(triangleCounter(), 2u * 5301u);
}

}  // namespace
