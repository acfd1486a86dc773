// The menus' drawing pieces on the forged pictures: the balloon panel assembled from its corner
// quarters, the button with its caption, the MenuAtlas cells and word-wrapped text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "menu_pictures_support.h"

namespace {

using render_test::Rgba;

class MenuPieces : public render_test::MenuPicturesTest {
protected:
    // Logical coordinates to the pixel read back.
    Rgba logical(float x, float y) { return at(static_cast<int>(400.0f + x), static_cast<int>(300.0f - y)); }
    static int brightness(const Rgba& c) { return c.r + c.g + c.b; }
};

TEST_F(MenuPieces, PanelIsDarkInsideAGoldenRimWithRoundCorners) {
    drawMenuPanel(0.0f, 0.0f, 400.0f, 260.0f);
    picture();
    // The inside is one deep blue everywhere along the middle lines, corners and fill alike.
    const Rgba centre = logical(0, 0);
    EXPECT_GT(centre.b, centre.r + 15);
    EXPECT_GT(brightness(centre), 40);
    for (float x : {-180.0f, -100.0f, 100.0f, 180.0f}) EXPECT_TRUE(render_test::near(logical(x, 0), centre, 4)) << x;
    for (float y : {-110.0f, -50.0f, 50.0f, 110.0f}) EXPECT_TRUE(render_test::near(logical(0, y), centre, 4)) << y;
    EXPECT_TRUE(render_test::near(logical(-170, 100), centre, 4));
    EXPECT_TRUE(render_test::near(logical(170, -100), centre, 4));
    // The very corners lie outside the rounded rim: nothing drawn there.
    EXPECT_LT(brightness(logical(-199, 129)), 30);
    EXPECT_LT(brightness(logical(198, -129)), 30);
    // Outside the panel nothing either.
    EXPECT_LT(brightness(logical(0, 140)), 30);
    EXPECT_LT(brightness(logical(210, 0)), 30);
    // The golden rim runs round all four sides alike.
    auto brightestAcross = [&](float x0, float y0, float dx, float dy) {
        Rgba best{0, 0, 0, 0};
        for (int i = 0; i < 16; ++i) {
            Rgba c = logical(x0 + dx * static_cast<float>(i), y0 + dy * static_cast<float>(i));
            if (brightness(c) > brightness(best)) best = c;
        }
        return best;
    };
    const Rgba sides[4] = {brightestAcross(0, 129, 0, -1), brightestAcross(0, -129, 0, 1),
                           brightestAcross(-199, 0, 1, 0), brightestAcross(199, 0, -1, 0)};
    for (const Rgba& side : sides) {
        EXPECT_GT(brightness(side), brightness(centre) + 300);
        EXPECT_GT(side.r, side.b + 60);
        EXPECT_TRUE(render_test::near(side, sides[0], 25));
    }
}

TEST_F(MenuPieces, PanelFadesWithItsAlpha) {
    drawMenuPanel(0.0f, 0.0f, 300.0f, 200.0f, 0.5f);
    const Rgba half = pixel(400, 300);
    clearTarget(0xFF000000u);
    drawMenuPanel(0.0f, 0.0f, 300.0f, 200.0f, 1.0f);
    const Rgba whole = pixel(400, 300);
    EXPECT_NEAR(half.r, whole.r / 2, 4);
    EXPECT_NEAR(half.g, whole.g / 2, 4);
}

TEST_F(MenuPieces, ButtonShowsItsCaptionWhiteOrInTheHighlight) {
    drawButton(0.0f, 0.0f, 256.0f, 106.0f, 26.0f, nullptr);
    picture();
    std::vector<uint8_t> plain = pixels_;
    clearTarget(0xFF000000u);
    drawButton(0.0f, 0.0f, 256.0f, 106.0f, 26.0f, "Start");
    picture();
    std::vector<uint8_t> white = pixels_;
    clearTarget(0xFF000000u);
    setMenuHighlight(0xFFFFC000u, 0x40FFC864u);
    drawButton(0.0f, 0.0f, 256.0f, 106.0f, 26.0f, "Start", true);
    picture();
    std::vector<uint8_t> lit = pixels_;
    // The picture fills its rectangle's middle and leaves the outside alone.
    EXPECT_GT(brightness(Rgba{plain[(300 * 800 + 300) * 4], plain[(300 * 800 + 300) * 4 + 1],
                              plain[(300 * 800 + 300) * 4 + 2], 255}),
              60);
    EXPECT_EQ(plain[(300 * 800 + 100) * 4], 0);
    int whiteGlyphs = 0, litGlyphs = 0, changed = 0;
    for (int y = 270; y < 330; ++y)
        for (int x = 330; x < 470; ++x) {
            size_t i = (static_cast<size_t>(y) * 800 + x) * 4;
            if (white[i] > 235 && white[i + 1] > 235 && white[i + 2] > 235) ++whiteGlyphs;
            if (lit[i] > 200 && lit[i + 2] < 120 && lit[i + 1] > 130) ++litGlyphs;
            if (white[i] != plain[i] || white[i + 2] != plain[i + 2]) ++changed;
        }
    EXPECT_GT(whiteGlyphs, 50) << "the caption is drawn in white";
    EXPECT_GT(litGlyphs, 50) << "a lit caption takes the highlight colour";
    EXPECT_GT(changed, 100);
}

TEST_F(MenuPieces, AtlasPiecesFollowTheirCells) {
    // The arrows of the high-score screen point away from each other: piece 14 left, 15 right.
    drawAtlasPiece(14, -100.0f, 0.0f, 64.0f, 64.0f, 0xFFFFFFFFu);
    drawAtlasPiece(15, 100.0f, 0.0f, 64.0f, 64.0f, 0xFFFFFFFFu);
    picture();
    auto coverage = [&](float x0, float x1) {
        int n = 0;
        for (int y = 280; y < 320; ++y)
            for (int x = static_cast<int>(400 + x0); x < static_cast<int>(400 + x1); ++x)
                if (brightness(at(x, y)) > 200) ++n;
        return n;
    };
    // An arrow is wide at its back and narrow at its tip.
    EXPECT_LT(coverage(-130, -115), coverage(-90, -75));
    EXPECT_GT(coverage(75, 90), coverage(115, 130));
    const UVRect cell = menuAtlasPiece(12);  // two cells tall
    EXPECT_NEAR(cell.v1 - cell.v0, 0.25f - 0.006f, 1e-5f);
    EXPECT_NEAR(cell.u0, 0.5f + 0.003f, 1e-5f);
    const UVRect outside = menuAtlasPiece(99);
    EXPECT_EQ(outside.u0, menuAtlasPiece(0).u0);
}

TEST_F(MenuPieces, WrappedTextKeepsItsLinesInsideTheWidth) {
    const char* text = "An old map has washed up on the shore. It shows fifteen lands, each hiding a lost artefact.";
    const int lines = wrappedLineCount(text, 14.0f, 300.0f);
    EXPECT_GE(lines, 3);
    EXPECT_LE(lines, 6);
    EXPECT_EQ(wrappedLineCount(text, 14.0f, 10000.0f), 1);
    EXPECT_EQ(wrappedLineCount("one\r\ntwo\r\n\r\nfour", 14.0f, 10000.0f), 4);
    // A word wider than the line stands alone instead of being lost.
    EXPECT_EQ(wrappedLineCount("a WONDERFULLYLONGWORD b", 14.0f, 60.0f), 3);
    EXPECT_EQ(wrappedLineCount("", 14.0f, 100.0f), 0);
    EXPECT_EQ(wrappedLineCount(nullptr, 14.0f, 100.0f), 0);
    // Drawn, nothing lands outside the width around the centre line.
    const float height = drawWrappedText(0.0f, 100.0f, 14.0f, 300.0f, text, true);
    EXPECT_FLOAT_EQ(height, static_cast<float>(lines) * 1.8f * 14.0f);
    picture();
    int outside = 0, inside = 0;
    for (int y = 150; y < 320; ++y)
        for (int x = 0; x < 800; ++x) {
            if (brightness(at(x, y)) < 100) continue;
            if (x < 400 - 150 - 14 || x > 400 + 150 + 14) ++outside;
            else ++inside;
        }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(inside, 200);
}

}  // namespace
