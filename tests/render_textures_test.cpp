// The texture cache: file pictures, the alpha JPEG, power-of-two pictures, masks, render
// targets, releases and the load failures.
#include "render_support.h"

using namespace render_test;

namespace {

std::vector<uint8_t> flatJpeg(int w, int h, Rgba c) {
    auto px = makePixels(w, h, [&](int, int) { return c; });
    return platform::encodeJpeg(px.data(), w, h, 100);
}

std::vector<uint8_t> withAlphaPlane(std::vector<uint8_t> jpeg, const std::vector<uint8_t>& plane) {
    jpeg.insert(jpeg.end(), plane.begin(), plane.end());
    return jpeg;
}

class Textures : public RenderTest {
protected:
    std::vector<uint8_t> texels(TextureEntry* t) {
        std::vector<uint8_t> out(static_cast<size_t>(t->width) * t->height * 4);
        EXPECT_TRUE(platform::gpu::readTexture(t->texture, out.data()));
        return out;
    }
};

TEST(TextureNames, PowerOfTwoSizesAndAlphaJpegNames) {
    EXPECT_EQ(powerOfTwoSize(800), 1024);
    EXPECT_EQ(powerOfTwoSize(600), 1024);
    EXPECT_EQ(powerOfTwoSize(300), 512);
    EXPECT_EQ(powerOfTwoSize(20), 32);
    EXPECT_EQ(powerOfTwoSize(1), 2);
    EXPECT_EQ(powerOfTwoSize(1024), 1024);
    EXPECT_EQ(powerOfTwoSize(1025), 0);
    char out[64];
    ASSERT_TRUE(alphaJpegName("button.tga", out, sizeof out));
    EXPECT_STREQ(out, "_a_button.jpg");
    ASSERT_TRUE(alphaJpegName("BUTTON.TGA", out, sizeof out));
    EXPECT_STREQ(out, "_a_BUTTON.jpg");
    EXPECT_FALSE(alphaJpegName("button.Tga", out, sizeof out));
    EXPECT_FALSE(alphaJpegName("button.jpg", out, sizeof out));
    ASSERT_TRUE(alphaJpegName("menu.v2/icon.tga", out, sizeof out));
    EXPECT_STREQ(out, "_a_menu.jpg");  // cut at the first dot, even in a folder name
    const uint8_t bytes[] = {1, 0xFF, 0xD8, 0xFF, 0xD9, 7, 8, 0xFF, 0xD9};
    EXPECT_EQ(alphaJpegSplit(bytes, sizeof bytes), 5);
    EXPECT_EQ(alphaJpegSplit(bytes, 4), 4);  // no end marker: all JPEG, no plane
}

TEST_F(Textures, SameNameTwiceGivesTheSameEntry) {
    addFile("stone.jpg", flatJpeg(16, 8, {200, 100, 50, 255}));
    TextureEntry* a = loadTexture("stone.jpg");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->width, 16u);
    EXPECT_EQ(a->height, 8u);
    EXPECT_EQ(a->hasAlpha, 0);
    EXPECT_EQ(loadTexture("stone.jpg"), a);
    EXPECT_EQ(textureCount(), 1);
    // The file stays in the store.
    EXPECT_TRUE(memoryFiles().released.empty());
    auto px = texels(a);
    EXPECT_TRUE(near({px[0], px[1], px[2], px[3]}, {200, 100, 50, 255}, 3, true));
}

TEST_F(Textures, TargaKeepsAlphaAndBothOrigins) {
    auto px = makePixels(4, 2, [](int x, int y) { return Rgba{x * 60, y * 200, 7, x == 3 ? 0 : 255}; });
    addFile("rle.tga", platform::encodeTga(px.data(), 4, 2, true));
    addFile("raw.tga", platform::encodeTga(px.data(), 4, 2, false));
    // A top-left origin TGA written by hand: 2 x 2, 32 bits, descriptor 0x28.
    std::vector<uint8_t> topLeft = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 0x28};
    const uint8_t bgra[4][4] = {{0, 0, 255, 255}, {0, 255, 0, 255}, {255, 0, 0, 255}, {255, 255, 255, 128}};
    for (auto& p : bgra) topLeft.insert(topLeft.end(), p, p + 4);
    addFile("top.tga", topLeft);
    for (const char* name : {"rle.tga", "raw.tga"}) {
        TextureEntry* t = loadTexture(name);
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(t->hasAlpha, 1);
        auto got = texels(t);
        EXPECT_EQ(got, px) << name;
    }
    auto got = texels(loadTexture("top.tga"));
    EXPECT_TRUE(near({got[0], got[1], got[2], got[3]}, {255, 0, 0, 255}, 0, true));     // first row first
    EXPECT_TRUE(near({got[12], got[13], got[14], got[15]}, {255, 255, 255, 128}, 0, true));
}

TEST_F(Textures, TargaNameIsServedByItsAlphaJpeg) {
    std::vector<uint8_t> plane(8 * 8, 0);
    for (size_t i = 0; i < plane.size(); ++i) plane[i] = static_cast<uint8_t>(i * 4);
    addFile("_a_button.jpg", withAlphaPlane(flatJpeg(8, 8, {0, 0, 255, 255}), plane));
    TextureEntry* t = loadTexture("button.tga");
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->name, "_a_button.jpg");
    EXPECT_EQ(t->hasAlpha, 1);
    auto px = texels(t);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(px[i * 4 + 3], i * 4);
    EXPECT_TRUE(near({px[0], px[1], px[2], 0}, {0, 0, 255, 0}, 3));
    // Its file was given back; asking again finds the entry.
    EXPECT_EQ(memoryFiles().released.size(), 1u);
    EXPECT_EQ(loadTexture("button.tga"), t);
    EXPECT_EQ(textureCount(), 1);
    // ".TGA" looks for the JPEG too; ".Tga" does not.
    addFile("_a_LAMP.jpg", withAlphaPlane(flatJpeg(4, 4, {255, 255, 255, 255}), std::vector<uint8_t>(16, 9)));
    EXPECT_STREQ(loadTexture("LAMP.TGA")->name, "_a_LAMP.jpg");
    auto tga = makePixels(2, 2, [](int, int) { return Rgba{1, 2, 3, 4}; });
    addFile("_a_odd.jpg", flatJpeg(4, 4, {0, 0, 0, 255}));
    addFile("odd.Tga", platform::encodeTga(tga.data(), 2, 2, false));
    TextureEntry* odd = loadTexture("odd.Tga");
    ASSERT_NE(odd, nullptr);
    EXPECT_STREQ(odd->name, "odd.Tga");
    EXPECT_EQ(odd->width, 2u);
    EXPECT_EQ(odd->hasAlpha, 0);  // neither ".tga" nor ".TGA" in the name
}

TEST_F(Textures, AlphaPlaneShorterOrLongerThanThePicture) {
    addFile("short.jpg", withAlphaPlane(flatJpeg(4, 4, {255, 0, 0, 255}), std::vector<uint8_t>(5, 10)));
    addFile("long.jpg", withAlphaPlane(flatJpeg(4, 4, {255, 0, 0, 255}), std::vector<uint8_t>(40, 20)));
    TextureEntry* s = loadAlphaJpeg("short.jpg", true);
    TextureEntry* l = loadAlphaJpeg("long.jpg", true);
    ASSERT_NE(s, nullptr);
    ASSERT_NE(l, nullptr);
    auto sp = texels(s);
    auto lp = texels(l);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(sp[i * 4 + 3], i < 5 ? 10 : 255) << i;
        EXPECT_EQ(lp[i * 4 + 3], 20) << i;
    }
    // A missing alpha JPEG is no error, even when fatal.
    EXPECT_EQ(loadAlphaJpeg("absent.jpg", true), nullptr);
    // It draws: half alpha over black in the 2D preset.
    addFile("half.jpg", withAlphaPlane(flatJpeg(2, 2, {255, 255, 255, 255}), std::vector<uint8_t>(4, 128)));
    bindTexture(loadAlphaJpeg("half.jpg", true));
    drawQuad(0, 0, 20, 20, kFull, 0xFFFFFFFFu, 10.0f);
    EXPECT_TRUE(near(pixel(400, 300), {128, 128, 128, 0}, 2));
}

TEST_F(Textures, PictureIntoPowerOfTwoTexture) {
    auto px = makePixels(800, 600, [](int x, int y) {
        return Rgba{x < 400 ? 255 : 0, y < 300 ? 255 : 0, 0, 255};
    });
    addFile("splash.tga", platform::encodeTga(px.data(), 800, 600, true));
    TextureEntry* t = loadPictureIntoPow2("splash.tga", 800, 600);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->width, 1024u);
    EXPECT_EQ(t->height, 1024u);
    EXPECT_EQ(loadPictureIntoPow2("splash.tga", 800, 600), t);
    EXPECT_EQ(memoryFiles().released.size(), 1u);
    auto tx = texels(t);
    auto texel = [&](int x, int y) {
        const uint8_t* p = &tx[(static_cast<size_t>(y) * 1024 + x) * 4];
        return Rgba{p[0], p[1], p[2], p[3]};
    };
    EXPECT_TRUE(near(texel(0, 0), {255, 255, 0, 255}, 0, true));
    EXPECT_TRUE(near(texel(799, 599), {0, 0, 0, 255}, 0, true));
    EXPECT_TRUE(near(texel(800, 0), {0, 0, 0, 0}, 0, true));  // outside the picture: empty
    // Drawn full screen with the coordinates of an 800 x 600 picture in 1024 x 1024.
    bindTexture(t);
    switchOff(kSwitchSmoothFiltering);
    drawScreenRect(0, 0, 800, 600, 0, 0, 0.78125f, 0.5859375f, 0xFFFFFFFFu);
    picture();
    EXPECT_TRUE(near(at(10, 10), {255, 255, 0, 255}, 0));
    EXPECT_TRUE(near(at(790, 10), {0, 255, 0, 255}, 0));
    EXPECT_TRUE(near(at(10, 590), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(790, 590), {0, 0, 0, 255}, 0));
    // 300 x 20 goes into 512 x 32.
    addFile("bar.jpg", flatJpeg(300, 20, {0, 0, 255, 255}));
    TextureEntry* bar = loadPictureIntoPow2("bar.jpg", 300, 20);
    EXPECT_EQ(bar->width, 512u);
    EXPECT_EQ(bar->height, 32u);
}

TEST_F(Textures, AlphaPictureIntoPowerOfTwoTexture) {
    std::vector<uint8_t> plane(300 * 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 300; ++x) plane[y * 300 + x] = static_cast<uint8_t>(x + y);
    plane.resize(300 * 19 + 10);  // the last row is short
    addFile("back.jpg", withAlphaPlane(flatJpeg(300, 20, {0, 255, 0, 255}), plane));
    TextureEntry* t = loadAlphaPictureIntoPow2("back.jpg", 300, 20);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->width, 512u);
    EXPECT_EQ(t->height, 32u);
    auto tx = texels(t);
    auto alpha = [&](int x, int y) { return tx[(static_cast<size_t>(y) * 512 + x) * 4 + 3]; };
    EXPECT_EQ(alpha(0, 0), 0);
    EXPECT_EQ(alpha(100, 5), 105);
    EXPECT_EQ(alpha(299, 18), static_cast<uint8_t>(299 + 18));
    EXPECT_EQ(alpha(9, 19), 28);
    EXPECT_EQ(alpha(10, 19), 255);  // past the end of the plane: opaque
    EXPECT_EQ(alpha(300, 0), 0);    // outside the picture: untouched
    EXPECT_EQ(loadAlphaPictureIntoPow2("none.jpg", 300, 20), nullptr);
}

TEST_F(Textures, CopyWithMaskTakesTheMasksBlueByte) {
    auto src = makePixels(4, 4, [](int x, int y) { return Rgba{x * 50, y * 50, 9, 255}; });
    auto mask = makePixels(2, 2, [](int x, int y) { return Rgba{0, 0, 100 + x + 2 * y, 255}; });
    addFile("figure.tga", platform::encodeTga(src.data(), 4, 4, false));
    addFile("mask.tga", platform::encodeTga(mask.data(), 2, 2, false));
    TextureEntry* t = copyTextureWithMask("figure_masked", "figure.tga", "mask.tga");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->width, 4u);
    auto px = texels(t);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(px[i * 4 + 0], (i % 4) * 50);
        // Pixel i takes mask pixel i in memory order; the mask has only 4.
        EXPECT_EQ(px[i * 4 + 3], i < 4 ? 100 + i : 255) << i;
    }
}

TEST_F(Textures, ReleasesCloseTheGapAndKeepTheOrder) {
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) addFile(n, flatJpeg(2, 2, {1, 2, 3, 255}));
    TextureEntry* a = loadTexture("a.jpg");
    TextureEntry* b = loadTexture("b.jpg");
    loadTexture("c.jpg");
    TextureEntry* d = loadTexture("d.jpg");
    bindTexture(b);
    releaseTexture(b);
    EXPECT_EQ(boundTexture(), nullptr);
    ASSERT_EQ(textureCount(), 3);
    EXPECT_STREQ(textureAt(0)->name, "a.jpg");
    EXPECT_STREQ(textureAt(1)->name, "c.jpg");
    EXPECT_STREQ(textureAt(2)->name, "d.jpg");
    releaseTexture(b);  // no longer in the cache: nothing happens
    EXPECT_EQ(textureCount(), 3);
    releaseTextureByName("c.jpg");
    EXPECT_EQ(textureAt(1), d);
    EXPECT_EQ(findTexture("a.jpg"), a);
    releaseAllTextures();
    EXPECT_EQ(textureCount(), 0);
}

TEST_F(Textures, LoadFailuresAreFatalOnlyWhenAsked) {
    testing_support::FatalGuard guard;
    addFile("broken.jpg", {1, 2, 3, 4, 5});
    EXPECT_EQ(loadTexture("missing.jpg", false), nullptr);
    EXPECT_EQ(loadTexture("broken.jpg", false), nullptr);
    EXPECT_EQ(textureCount(), 0);
    try {
        loadTexture("missing.jpg");
        ADD_FAILURE() << "no fatal message";
    } catch (const testing_support::FatalError& e) {
        EXPECT_STREQ(e.what(), "Couldn't load texture: missing.jpg");
        EXPECT_EQ(e.caption, "Loading error");
    }
    addFile("bad.jpg", {0xFF, 0xD8, 0xFF, 0xD9, 1, 2});
    try {
        loadAlphaJpeg("bad.jpg", true);
        ADD_FAILURE() << "no fatal message";
    } catch (const testing_support::FatalError& e) {
        EXPECT_STREQ(e.what(), "Can't load texture: bad.jpg");
        EXPECT_EQ(e.caption, "Loading error");
    }
    EXPECT_EQ(loadAlphaJpeg("bad.jpg", false), nullptr);
}

TEST_F(Textures, FullCacheRefusesNewTextures) {
    testing_support::FatalGuard guard;
    char name[32];
    for (int i = 0; i < kTextureCacheCapacity; ++i) {
        std::snprintf(name, sizeof name, "t%i", i);
        ASSERT_NE(createTexture(name, 2, 2, kFormatA8R8G8B8, false), nullptr) << i;
    }
    EXPECT_EQ(createTexture("one-more", 2, 2, kFormatA8R8G8B8, false), nullptr);
    EXPECT_NE(createTexture("t7", 2, 2, kFormatA8R8G8B8, false), nullptr);  // cached names still answer
    addFile("late.jpg", flatJpeg(2, 2, {0, 0, 0, 255}));
    EXPECT_EQ(loadTexture("late.jpg", false), nullptr);
    EXPECT_THROW(loadTexture("late.jpg"), testing_support::FatalError);
    EXPECT_EQ(textureCount(), kTextureCacheCapacity);
}

}  // namespace

namespace {

// Opaque pictures are drawn without blending or the alpha test where that cannot change what
// is seen; these draws check that the transparent parts still blend and test as asked.
TEST_F(Textures, TransparentPaddingStillBlendsAroundAnOpaquePicture) {
    auto px = render_test::makePixels(6, 4, [](int, int) { return Rgba{0, 0, 255, 255}; });
    addFile("small.tga", platform::encodeTga(px.data(), 6, 4, false));
    TextureEntry* t = loadPictureIntoPow2("small.tga", 6, 4);  // 8 x 4, two empty columns
    ASSERT_EQ(t->width, 8u);
    clearTarget(0xFFFF0000u);
    bindTexture(t);
    switchOff(kSwitchSmoothFiltering);
    drawQuadRect(-400, 300, -320, 260, kFull, 0xFFFFFFFFu, 10.0f);  // the whole texture
    drawScreenRect(200, 0, 260, 40, 0, 0, 0.75f, 1.0f, 0xFFFFFFFFu);  // the picture only
    picture();
    EXPECT_TRUE(near(at(10, 10), {0, 0, 255, 255}, 0));
    EXPECT_TRUE(near(at(75, 10), {255, 0, 0, 255}, 0));  // the padding lets the red through
    EXPECT_TRUE(near(at(230, 20), {0, 0, 255, 255}, 0));
    // Half the vertex alpha: the opaque picture blends.
    drawScreenRect(300, 0, 360, 40, 0, 0, 0.75f, 1.0f, 0x80FFFFFFu);
    EXPECT_TRUE(near(pixel(330, 20), {127, 0, 128, 255}, 2));
}

// A reduced picture samples its second level, whose texels beside the opaque area mix in the
// clear padding: the draw must still blend there (else a dark fringe shows).
TEST_F(Textures, AReducedPictureBlendsWhereItsSecondLevelMixesInThePadding) {
    auto px = render_test::makePixels(64, 64, [](int x, int y) {
        return x < 59 && y < 39 ? Rgba{0, 0, 255, 255} : Rgba{0, 0, 0, 0};
    });
    addFile("padded.tga", platform::encodeTga(px.data(), 64, 64, false));
    TextureEntry* t = loadTexture("padded.tga");  // with its second level
    switchOn(kSwitchSmoothFiltering);
    bindTexture(t);
    // Half a texel inside the opaque area, at half its size: the second level is sampled. The
    // same draw with a vertex alpha of 254 always blends; the two must agree but for rounding.
    std::vector<uint8_t> drawn[2];
    for (int i = 0; i < 2; ++i) {
        clearTarget(0xFFFF0000u);
        drawScreenRect(100, 100, 129.05f, 119.05f, 0.5f / 64, 0.5f / 64, 58.5f / 64, 38.5f / 64,
                       i == 0 ? 0xFEFFFFFFu : 0xFFFFFFFFu);
        drawn[i] = picture();
    }
    int worst = 0;
    for (size_t i = 0; i < drawn[0].size(); ++i) worst = std::max(worst, std::abs(drawn[0][i] - drawn[1][i]));
    EXPECT_LE(worst, 3);
}

TEST_F(Textures, AlphaTestAgainst1StillKeepsDepthFromTransparentTexels) {
    auto px = render_test::makePixels(2, 1, [](int x, int) { return Rgba{255, 255, 255, x == 0 ? 0 : 255}; });
    TextureEntry* t = createTextureFromPixels("half", px.data(), 2, 1, true);
    clearDepth(1.0f);
    switchOn(kSwitchDepthTest);
    switchOn(kSwitchDepthWrite);
    switchOff(kSwitchSmoothFiltering);
    bindTexture(t);
    drawQuadRect(-100, 100, 100, -100, kFull, 0xFFFFFFFFu, 20.0f);  // left half transparent
    bindTexture(nullptr);
    drawQuadRect(-100, 100, 100, -100, kFull, 0xFF00FF00u, 50.0f);  // farther: only where nothing was written
    picture();
    EXPECT_TRUE(near(at(350, 300), {0, 255, 0, 255}, 0));
    EXPECT_TRUE(near(at(450, 300), {255, 255, 255, 255}, 0));
}

}  // namespace

// A picture turned once when loaded and drawn along the axes covers what the turned quad
// covered, at its own size and shown smaller, with the same texels where they are.
TEST_F(Textures, APictureTurnedWhenLoadedShowsWhatTheTurnedQuadShowed) {
    // Four coloured quadrants with a clear border, so that orientation and edges both show.
    auto px = render_test::makePixels(32, 32, [](int x, int y) {
        if (x < 2 || y < 2 || x > 29 || y > 29) return Rgba{0, 0, 0, 0};
        if (y < 16) return x < 16 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 255};
        return x < 16 ? Rgba{0, 0, 255, 255} : Rgba{255, 255, 255, 255};
    });
    addFile("quarters.tga", platform::encodeTga(px.data(), 32, 32, true));
    TextureEntry* turned = loadTurnedTexture("quarters.tga@30", "quarters.tga", 30.0f, 60.0f, 40.0f, 74);
    ASSERT_NE(turned, nullptr);
    EXPECT_EQ(turned->width, 74u);
    EXPECT_EQ(loadTurnedTexture("quarters.tga@30", "quarters.tga", 30.0f, 60.0f, 40.0f, 74), turned);
    EXPECT_EQ(loadTurnedTexture("none@30", "none.tga", 30.0f, 60.0f, 40.0f, 74), nullptr);
    TextureEntry* plain = loadTexture("quarters.tga");
    for (float shown : {1.0f, 0.8f}) {
        clearTarget(0xFF000000u);
        switchOn(kSwitchBlending);
        setBlendMode(kBlendAlpha);
        bindTexture(plain);
        drawRotatedQuad(-100, 0, -100, 0, 30.0f, 60.0f * shown, 40.0f * shown, kFull, 0xFFFFFFFFu, 10.0f);
        bindTexture(turned);
        drawQuad(100, 0, 74.0f * shown, 74.0f * shown, kFull, 0xFFFFFFFFu, 10.0f);
        picture();
        int differing = 0, lit = 0;
        for (int y = 250; y < 350; ++y)
            for (int x = 250; x < 350; ++x) {
                const Rgba a = at(x, y), b = at(x + 200, y);
                lit += a.r + a.g + a.b > 0;
                differing += !near(a, b, 40);
            }
        EXPECT_GT(lit, static_cast<int>(1500 * shown * shown)) << shown;
        EXPECT_LT(differing, static_cast<int>(0.03f * static_cast<float>(lit))) << shown;
    }
}
