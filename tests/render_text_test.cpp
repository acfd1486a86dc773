// Text: the font metrics, glyph placement by the advance rule, line ends, centring and the
// highlight bars, with a small font built here.
#include <cmath>

#include "render_support.h"

using namespace render_test;

namespace {

// Cells of 32 x 32 texels, 16 to a row; each glyph is a 2 x 2 dot in the middle of its cell,
// red for 'a', green for 'b', blue for 'c', white for everything else.
std::vector<uint8_t> fontSheet() {
    return platform::encodeTga(
        makePixels(512, 512,
                   [](int x, int y) {
                       int k = (y / 32) * 16 + x / 32;
                       int cx = x % 32, cy = y % 32;
                       if (cx < 15 || cx > 16 || cy < 15 || cy > 16) return Rgba{0, 0, 0, 0};
                       if (k == 'a') return Rgba{255, 0, 0, 255};
                       if (k == 'b') return Rgba{0, 255, 0, 255};
                       if (k == 'c') return Rgba{0, 0, 255, 255};
                       return Rgba{255, 255, 255, 255};
                   })
            .data(),
        512, 512, true);
}

std::vector<uint8_t> fontMetrics(int32_t n) {
    std::vector<uint8_t> dat(516, 0);
    std::memcpy(dat.data(), &n, 4);
    for (int c = 0; c < 256; ++c) {
        dat[4 + c] = 32;  // advance 2
        dat[260 + c] = static_cast<uint8_t>(c);
    }
    dat[4 + 'a'] = 16;  // advance 1
    dat[4 + 'b'] = 24;  // advance 1.5
    dat[4 + 'c'] = 8;   // advance 0.5
    return dat;
}

class Text : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        releaseFonts();
        addFile("font.tga", fontSheet());
        addFile("font.dat", fontMetrics(16));
        addFile("podsvet.jpg", platform::encodeJpeg(makePixels(4, 4, [](int, int) { return Rgba{255, 255, 255, 255}; }).data(), 4, 4, 100));
        loadFont("font", 1.0f, 1.0f);
        selectFont(0);
        switchOff(kSwitchSmoothFiltering);
    }
    void TearDown() override {
        releaseFonts();
        RenderTest::TearDown();
    }
    // The centre of the pixels of one colour within rows [top, bottom), in drawing coordinates.
    bool centre(Rgba colour, float& x, float& y, int top = 0, int bottom = 600) {
        double sx = 0, sy = 0;
        int n = 0;
        for (int py = top; py < bottom; ++py) {
            for (int px = 0; px < 800; ++px) {
                Rgba c = at(px, py);
                if (std::abs(c.r - colour.r) < 40 && std::abs(c.g - colour.g) < 40 && std::abs(c.b - colour.b) < 40) {
                    sx += px + 0.5;
                    sy += py + 0.5;
                    ++n;
                }
            }
        }
        if (n == 0) return false;
        x = static_cast<float>(sx / n - 400.0);
        y = static_cast<float>(300.0 - sy / n);
        return true;
    }
    std::vector<uint8_t> frameOf(const char* text, bool centred) {
        clearTarget(0xFF000000u);
        drawText(-100, 50, 16, text, centred);
        return picture();
    }
};

const Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};

TEST(FontMetrics, AdvanceIsWidthTimesTwoOverCellWidth) {
    FontMetrics m;
    auto dat = fontMetrics(16);
    ASSERT_TRUE(parseFontMetrics(dat.data(), 516, 1.0f, m));
    EXPECT_EQ(m.cellsPerRow, 16);
    EXPECT_FLOAT_EQ(m.cellSize, 1.0f / 16.0f);
    EXPECT_FLOAT_EQ(m.advance['a'], 1.0f);
    EXPECT_FLOAT_EQ(m.advance['b'], 1.5f);
    EXPECT_EQ(m.cell['b'], 'b');
    ASSERT_TRUE(parseFontMetrics(dat.data(), 516, 0.5f, m));
    EXPECT_FLOAT_EQ(m.advance['b'], 0.75f);
    // N that does not divide 512 is computed in floating point; N = 512 and N = 1 are fine.
    dat = fontMetrics(3);
    ASSERT_TRUE(parseFontMetrics(dat.data(), 516, 1.0f, m));
    EXPECT_NEAR(m.advance['a'], 16.0f * 2.0f / (512.0f / 3.0f), 1e-6f);
    dat = fontMetrics(512);
    ASSERT_TRUE(parseFontMetrics(dat.data(), 516, 1.0f, m));
    EXPECT_FLOAT_EQ(m.advance['a'], 32.0f);
    // Refused: N out of 1..512, or a file shorter than 516 bytes.
    EXPECT_FALSE(parseFontMetrics(fontMetrics(0).data(), 516, 1.0f, m));
    EXPECT_FALSE(parseFontMetrics(fontMetrics(513).data(), 516, 1.0f, m));
    EXPECT_FALSE(parseFontMetrics(fontMetrics(-4).data(), 516, 1.0f, m));
    EXPECT_FALSE(parseFontMetrics(fontMetrics(16).data(), 515, 1.0f, m));
    EXPECT_FALSE(parseFontMetrics(nullptr, 0, 1.0f, m));
}

TEST_F(Text, BadMetricsFileIsFatal) {
    testing_support::FatalGuard guard;
    addFile("bad.tga", fontSheet());
    addFile("bad.dat", fontMetrics(0));
    try {
        loadFont("bad", 1.0f, 1.0f);
        ADD_FAILURE() << "no fatal message";
    } catch (const testing_support::FatalError& e) {
        EXPECT_STREQ(e.what(), "Can't load bad.dat...\nProgram will now stop.");
        EXPECT_EQ(e.caption, "Loading Error");
    }
    addFile("short.tga", fontSheet());
    auto dat = fontMetrics(16);
    dat.resize(300);
    addFile("short.dat", dat);
    EXPECT_THROW(loadFont("short", 1.0f, 1.0f), testing_support::FatalError);
    EXPECT_THROW(loadFont("absent", 1.0f, 1.0f), testing_support::FatalError);
    EXPECT_EQ(fontCount(), 1);
}

TEST_F(Text, GlyphCentresFollowTheAdvances) {
    drawText(-100, 50, 16, "abc");
    picture();
    float x, y;
    ASSERT_TRUE(centre(kRed, x, y));
    EXPECT_NEAR(x, -100.0f, 0.01f);
    EXPECT_NEAR(y, 50.0f, 0.01f);
    ASSERT_TRUE(centre(kGreen, x, y));
    EXPECT_NEAR(x, -100.0f + 16.0f * (1.0f + 1.5f) / 2.0f, 0.01f);
    ASSERT_TRUE(centre(kBlue, x, y));
    EXPECT_NEAR(x, -80.0f + 16.0f * (1.5f + 0.5f) / 2.0f, 0.01f);
    EXPECT_NEAR(y, 50.0f, 0.01f);
    EXPECT_EQ(triangleCounter(), 6u);
    EXPECT_FLOAT_EQ(textWidth("abc", 16), 16.0f * 3.0f);
    EXPECT_FLOAT_EQ(textWidth("a\nb", 10), 10.0f * (1.0f + 2.0f + 1.5f));
}

TEST_F(Text, EveryLineStartsAtTheSameX) {
    drawText(-100, 50, 16, "ab\r\nc");
    picture();
    float x, y;
    ASSERT_TRUE(centre(kBlue, x, y));
    EXPECT_NEAR(x, -100.0f, 0.01f);
    EXPECT_NEAR(y, 50.0f - 1.8f * 16.0f, 0.6f);
    // CR LF and a bare LF lay out alike; a lone CR swallows the next character.
    auto crlf = frameOf("ab\r\nc", false);
    EXPECT_EQ(frameOf("ab\nc", false), crlf);
    EXPECT_EQ(frameOf("ab\rXc", false), crlf);
    // A CR at the very end ends the text.
    auto plain = frameOf("ab", false);
    EXPECT_EQ(frameOf("ab\r", false), plain);
    EXPECT_EQ(frameOf("ab\n", false), plain);
    // An empty text draws nothing.
    triangleCounter() = 0;
    auto empty = frameOf("", false);
    EXPECT_EQ(triangleCounter(), 0u);
    EXPECT_EQ(frameOf("", true), empty);
}

TEST_F(Text, CentredLinesAndTheFirstGlyphRule) {
    drawText(0, 50, 16, "ab\nab", true);
    picture();
    // First line: W = 40, first glyph at -W/2 + s/2 = -12 without a half advance before it.
    float x, y;
    ASSERT_TRUE(centre(kRed, x, y, 0, 260));
    EXPECT_NEAR(x, -12.0f, 0.01f);
    ASSERT_TRUE(centre(kGreen, x, y, 0, 260));
    EXPECT_NEAR(x, -12.0f + 16.0f * (1.0f + 1.5f) / 2.0f, 0.01f);
    // Later lines: their first glyph does get the half advance.
    ASSERT_TRUE(centre(kRed, x, y, 260, 600));
    EXPECT_NEAR(x, -12.0f + 8.0f, 0.01f);
    EXPECT_NEAR(y, 50.0f - 28.8f, 0.6f);
    ASSERT_TRUE(centre(kGreen, x, y, 260, 600));
    EXPECT_NEAR(x, -4.0f + 20.0f, 0.01f);
    // CR LF in centred text: the same layout as LF.
    EXPECT_EQ(frameOf("ab\r\nab", true), frameOf("ab\nab", true));
}

TEST_F(Text, GlyphsTakeTheTextColourAndTheTint) {
    setTextColour(128, 255, 255, 255);
    drawText(0, 0, 16, "x");
    EXPECT_TRUE(near(pixel(400, 300), {128, 255, 255, 255}, 1));
    setTint(1, 0.5f, 1, 1);
    drawText(0, 0, 16, "x");
    EXPECT_TRUE(near(pixel(400, 300), {128, 127, 255, 255}, 1));
    setTint(1, 1, 1, 1);
    setTextColour(0xFFFFFFFFu);
    EXPECT_EQ(textColour(), 0xFFFFFFFFu);
}

TEST_F(Text, HighlightBarAddsLightInsideItsRectangle) {
    clearTarget(0xFF404040u);
    drawHighlightBar(-100, 50, 100, -50, 0x80FF0000u);
    picture();
    EXPECT_TRUE(near(at(300, 250), {64 + 128, 64, 64, 0}, 2));
    EXPECT_TRUE(near(at(499, 349), {64 + 128, 64, 64, 0}, 2));
    EXPECT_TRUE(near(at(299, 300), {64, 64, 64, 0}, 0));
    EXPECT_TRUE(near(at(500, 300), {64, 64, 64, 0}, 0));
    EXPECT_TRUE(near(at(400, 249), {64, 64, 64, 0}, 0));
    EXPECT_TRUE(near(at(400, 350), {64, 64, 64, 0}, 0));
    // Afterwards the ordinary blend is back: half green over the grey.
    bindTexture(nullptr);
    drawQuadRect(-400, 300, -390, 290, kFull, 0x8000FF00u, 10.0f);
    EXPECT_TRUE(near(pixel(5, 5), {32, 128 + 32, 32, 0}, 2));
}

TEST_F(Text, HighlightedTextBarSpansTheText) {
    clearTarget(0xFF000000u);
    // W = 40 (a, b): bar from x + 0.2 s - 3 s to x + 0.2 s + s + W, y + 5 +- s.
    drawHighlightedText(-100, 0, 16, 0xFF0000FFu, "ab", false);
    picture();
    float left = -100 + 3.2f - 48, right = -100 + 3.2f + 16 + 40;
    int row = 300 - 15;  // inside the bar, away from the glyph dots
    EXPECT_EQ(at(static_cast<int>(400 + left + 1), row).b, 255);
    EXPECT_EQ(at(static_cast<int>(400 + left - 1), row).b, 0);
    EXPECT_EQ(at(static_cast<int>(400 + right - 1), row).b, 255);
    EXPECT_EQ(at(static_cast<int>(400 + right + 1), row).b, 0);
    EXPECT_EQ(at(350, 300 - 20).b, 255);  // top at y + 5 + s = 21
    EXPECT_EQ(at(350, 300 - 22).b, 0);
    EXPECT_EQ(at(350, 300 + 10).b, 255);  // bottom at y + 5 - s = -11
    EXPECT_EQ(at(350, 300 + 12).b, 0);
    float x, y;
    ASSERT_TRUE(centre(Rgba{255, 0, 255, 255}, x, y)  /* red under the blue bar */);
    EXPECT_NEAR(x, -100.0f, 0.01f);
    // Centring moves the text left by W / 2 - s / 2.
    clearTarget(0xFF000000u);
    drawHighlightedText(0, 0, 16, 0xFF0000FFu, "ab", true);
    picture();
    ASSERT_TRUE(centre(Rgba{255, 0, 255, 255}, x, y)  /* red under the blue bar */);
    EXPECT_NEAR(x, -20.0f + 8.0f, 0.01f);
}

TEST_F(Text, FontNumbersWrapAround) {
    addFile("second.tga", fontSheet());
    addFile("second.dat", fontMetrics(16));
    loadFont("second", 0.5f, 2.0f);
    EXPECT_EQ(fontCount(), 2);
    selectFont(3);  // font 1: half width, twice as tall
    drawText(0, 0, 16, "a");
    picture();
    float x, y;
    ASSERT_TRUE(centre(kRed, x, y));
    EXPECT_NEAR(x, 0.0f, 0.6f);
    EXPECT_NEAR(y, 0.0f, 0.6f);
    EXPECT_FLOAT_EQ(textWidth("a", 16), 8.0f);
    selectFont(2);
    EXPECT_FLOAT_EQ(textWidth("a", 16), 16.0f);
}

}  // namespace

namespace {

// Glyphs are drawn to their ink boxes where clear texels change nothing: the picture is the one
// whole cells give, including what filtering at a cell's edge takes from its neighbour.
TEST_F(Text, GlyphsDrawnToTheirInkGiveThePictureOfWholeCells) {
    auto sheet = makePixels(512, 512, [](int x, int y) {
        int k = (y / 32) * 16 + x / 32;
        int cx = x % 32, cy = y % 32;
        if (k == 'd' && cx == 31 && cy >= 8 && cy < 24) return Rgba{255, 255, 0, 255};  // at the edge by 'e'
        if (k == 'e' && cx >= 6 && cx < 12 && cy >= 20 && cy < 27) return Rgba{0, 200, 255, 180};
        if (k == 'f' && cx >= 0 && cx < 3 && cy >= 0 && cy < 3) return Rgba{255, 80, 80, 255};  // a corner
        return Rgba{0, 0, 0, 0};
    });
    addFile("ink.tga", platform::encodeTga(sheet.data(), 512, 512, true));
    addFile("ink.dat", fontMetrics(16));
    loadFont("ink", 1.0f, 1.0f);
    selectFont(1);
    auto shot = [&](bool wholeCells) {
        clearDepth(1.0f);
        clearTarget(0xFF203040u);
        begin2D();
        switchOn(kSwitchSmoothFiltering);
        if (wholeCells) {
            // Clear texels write depth here, so every glyph covers its whole cell.
            switchOff(kSwitchAlphaTest);
            switchOn(kSwitchDepthTest);
            switchOn(kSwitchDepthWrite);
        }
        drawText(-200, 0, 60, "edf ");
        drawText(100, -150, 9, "fed");
        endScene();
        std::vector<uint8_t> out = picture();
        begin2D();
        return out;
    };
    std::vector<uint8_t> ink = shot(false), whole = shot(true);
    int differing = 0, lit = 0;
    for (size_t i = 0; i < ink.size(); i += 4) {
        bool differs = false;
        // With the depth buffer bound the rasterizer rounds its own way, a step or two apart.
        for (size_t c = 0; c < 3; ++c) differs = differs || std::abs(ink[i + c] - whole[i + c]) > 4;
        differing += differs;
        lit += std::abs(ink[i + 2] - 0x40) > 40;
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(lit, 100);  // the glyphs, and the bleed from 'd' at the left of 'e', are there
    // The bleed: the left edge of the enlarged 'e' takes yellow from the cell before it.
    picture();
    bool bleed = false;
    for (int x = 138; x < 146 && !bleed; ++x) bleed = at(x, 300).r > 0x2C && at(x, 300).g > 0x3C;
    EXPECT_TRUE(bleed);
}

}  // namespace
