// The render device: the 2D mapping, blending, alpha test, depth, transforms, render targets,
// presenting and the display-mode table, checked on pixels drawn offscreen.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>

#include "progress/profiles.h"
#include "render_support.h"

using namespace render_test;

namespace {

class Device : public RenderTest {};

TEST_F(Device, DrawingPointLandsOnPicturePixel) {
    bindTexture(nullptr);
    const int points[][2] = {{0, 0}, {-400, 300}, {399, -299}, {-123, 45}, {250, -170}};
    for (auto& p : points) {
        float x = static_cast<float>(p[0]), y = static_cast<float>(p[1]);
        // A one-pixel square whose top-left corner is the point.
        drawQuadRect(x, y, x + 1.0f, y - 1.0f, kFull, 0xFFFFFFFFu, 10.0f);
    }
    picture();
    for (auto& p : points) {
        int px = 400 + p[0], py = 300 - p[1];
        EXPECT_TRUE(near(at(px, py), {255, 255, 255, 255})) << p[0] << "," << p[1];
        if (px + 1 < 800) {
            EXPECT_TRUE(near(at(px + 1, py), {0, 0, 0, 255}));
        }
        if (py + 1 < 600) {
            EXPECT_TRUE(near(at(px, py + 1), {0, 0, 0, 255}));
        }
        if (px > 0) {
            EXPECT_TRUE(near(at(px - 1, py), {0, 0, 0, 255}));
        }
    }
}

TEST_F(Device, BlendModesCombineSourceAndTarget) {
    bindTexture(nullptr);
    clearTarget(0xFF204080u);  // r 32, g 64, b 128
    // 0: source alpha over the target.
    setBlendMode(kBlendAlpha);
    drawQuadRect(-400, 300, -300, 200, kFull, 0x80FF0000u, 10.0f);
    // 1: source colour times itself, plus the target.
    setBlendMode(kBlendAdditive);
    drawQuadRect(-300, 300, -200, 200, kFull, 0xFF808080u, 10.0f);
    // 2: the source replaces the target.
    setBlendMode(kBlendOpaque);
    drawQuadRect(-200, 300, -100, 200, kFull, 0x10FF00FFu, 10.0f);
    // Any other number changes nothing: still opaque copy.
    setBlendMode(7);
    drawQuadRect(-100, 300, 0, 200, kFull, 0x2000FF00u, 10.0f);
    picture();
    float a = 128.0f / 255.0f;
    EXPECT_TRUE(near(at(50, 50), {static_cast<int>(255 * a + 32 * (1 - a) + 0.5f), static_cast<int>(64 * (1 - a) + 0.5f),
                                  static_cast<int>(128 * (1 - a) + 0.5f), 0},
                     2));
    EXPECT_TRUE(near(at(150, 50), {32 + 64, 64 + 64, 128 + 64, 0}, 2));
    EXPECT_TRUE(near(at(250, 50), {255, 0, 255, 0x10}, 0, true));
    EXPECT_TRUE(near(at(350, 50), {0, 255, 0, 0x20}, 0, true));
    EXPECT_TRUE(near(at(450, 50), {32, 64, 128, 255}, 0));
}

TEST_F(Device, AlphaTestPassesFrom128ByDefaultAndFrom1In2D) {
    bindTexture(nullptr);
    applyDefaultStates();
    switchOff(kSwitchDepthTest);
    switchOn(kSwitch2D);
    switchOn(kSwitchAlphaTest);
    drawQuadRect(-400, 300, -300, 200, kFull, 0x7FFF0000u, 10.0f);  // 127: rejected
    drawQuadRect(-300, 300, -200, 200, kFull, 0x80FF0000u, 10.0f);  // 128: drawn
    begin2D();
    switchOff(kSwitchBlending);
    drawQuadRect(-200, 300, -100, 200, kFull, 0x0000FF00u, 10.0f);  // 0: rejected
    drawQuadRect(-100, 300, 0, 200, kFull, 0x0100FF00u, 10.0f);     // 1: drawn
    switchOff(kSwitchAlphaTest);
    drawQuadRect(0, 300, 100, 200, kFull, 0x000000FFu, 10.0f);  // no test: drawn
    picture();
    EXPECT_TRUE(near(at(50, 50), {0, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(150, 50), {255, 0, 0, 128}, 0, true));
    EXPECT_TRUE(near(at(250, 50), {0, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(350, 50), {0, 255, 0, 1}, 0, true));
    EXPECT_TRUE(near(at(450, 50), {0, 0, 255, 0}, 0, true));
}

TEST_F(Device, AlphaTestAppliesToTexelsTimesVertexAlpha) {
    // Texel alpha 255, 128 and 127 under vertex alpha 255, against the reference 128.
    auto texels = makePixels(3, 1, [](int x, int) { return Rgba{255, 255, 255, x == 0 ? 255 : (x == 1 ? 128 : 127)}; });
    TextureEntry* t = createTextureFromPixels("steps", texels.data(), 3, 1, true);
    ASSERT_NE(t, nullptr);
    applyDefaultStates();
    switchOff(kSwitchDepthTest);
    switchOn(kSwitch2D);
    switchOn(kSwitchAlphaTest);
    bindTexture(t);
    drawQuadRect(-300, 100, 0, 0, kFull, 0xFFFFFFFFu, 10.0f);  // 100 pixels per texel
    picture();
    EXPECT_TRUE(near(at(150, 250), {255, 255, 255, 255}, 0));
    EXPECT_TRUE(near(at(250, 250), {255, 255, 255, 255}, 0));
    EXPECT_TRUE(near(at(350, 250), {0, 0, 0, 255}, 0));
}

TEST_F(Device, SwitchingThe2DProjectionOffRestoresThePerspective) {
    updatePerspectiveProjection(1024, 768);
    Matrix4 expected = perspectiveMatrix(0.7853982f, 1024.0f / 768.0f, 5.0f, 400.0f);
    switchOn(kSwitch2D);
    Matrix4 ortho = projectionMatrix();
    EXPECT_FLOAT_EQ(ortho.m[0][0], 2.0f / 800.0f);
    EXPECT_FLOAT_EQ(ortho.m[1][1], 2.0f / 600.0f);
    EXPECT_FLOAT_EQ(ortho.m[2][2], 1.0f / 499.0f);
    EXPECT_FLOAT_EQ(ortho.m[3][2], 1.0f / -499.0f);
    setProjectionMatrix(orthographicMatrix(100, 100, 1, 2));  // something set in between
    switchOff(kSwitch2D);
    EXPECT_EQ(std::memcmp(&projectionMatrix(), &expected, sizeof expected), 0);
    // The perspective form itself.
    float yScale = 1.0f / std::tan(0.7853982f / 2.0f);
    EXPECT_NEAR(expected.m[1][1], yScale, 1e-5f);
    EXPECT_NEAR(expected.m[0][0], yScale * 0.75f, 1e-5f);
    EXPECT_FLOAT_EQ(expected.m[2][2], 400.0f / 395.0f);
    EXPECT_FLOAT_EQ(expected.m[2][3], 1.0f);
    EXPECT_FLOAT_EQ(expected.m[3][2], -2000.0f / 395.0f);
    EXPECT_FLOAT_EQ(expected.m[3][3], 0.0f);
}

TEST_F(Device, PerspectiveDrawingPutsAPointAtTheCentreWhereExpected) {
    // A point on the view axis lands in the centre; one at x = z tan(fov/2) * aspect on the
    // right edge: the row-vector matrices go to GL unchanged.
    updatePerspectiveProjection(800, 600);
    switchOff(kSwitch2D);
    bindTexture(nullptr);
    float z = 100.0f;
    float halfWidth = z * std::tan(0.7853982f / 2.0f) * (800.0f / 600.0f);
    Vector3 a{-2, 2, z}, b{2, 2, z}, c{2, -2, z}, d{-2, -2, z};
    drawQuadCornersPlain(a, b, c, d, 0xFFFF0000u);
    Vector3 e{halfWidth * 0.5f - 2, 2, z}, f{halfWidth * 0.5f + 2, 2, z}, g{halfWidth * 0.5f + 2, -2, z},
        h{halfWidth * 0.5f - 2, -2, z};
    drawQuadCornersPlain(e, f, g, h, 0xFF00FF00u);
    picture();
    EXPECT_TRUE(near(at(400, 300), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(600, 300), {0, 255, 0, 255}, 0));
    EXPECT_TRUE(near(at(500, 300), {0, 0, 0, 255}, 0));
}

TEST_F(Device, NothingIsCutAwayAtTheNearAndFarPlanes) {
    bindTexture(nullptr);
    switchOff(kSwitchBlending);
    // Under begin2D the planes are 1 and 100; the backdrops and the particles draw at depth 0.
    drawQuadRect(-400, 100, -300, 0, kFull, 0xFFFF0000u, 0.0f);    // at depth 0
    drawQuadRect(-300, 100, -200, 0, kFull, 0xFFFF0000u, 0.5f);   // before the near plane
    drawQuadRect(-200, 100, -100, 0, kFull, 0xFFFF0000u, 1.5f);   // inside
    drawQuadRect(-100, 100, 0, 0, kFull, 0xFFFF0000u, 99.0f);     // inside
    drawQuadRect(0, 100, 100, 0, kFull, 0xFFFF0000u, 101.0f);     // behind the far plane
    picture();
    for (int x : {50, 150, 250, 350, 450}) EXPECT_TRUE(near(at(x, 250), {255, 0, 0, 255}, 0)) << x;
    EXPECT_TRUE(near(at(550, 250), {0, 0, 0, 255}, 0));
}

TEST_F(Device, DepthTestKeepsTheNearerQuad) {
    bindTexture(nullptr);
    switchOff(kSwitchBlending);
    clearDepth(1.0f);
    switchOn(kSwitchDepthTest);
    drawQuadRect(-50, 50, 50, -50, kFull, 0xFF0000FFu, 20.0f);
    drawQuadRect(-100, 100, 0, 0, kFull, 0xFFFF0000u, 60.0f);  // farther, drawn later
    switchOff(kSwitchDepthWrite);
    drawQuadRect(0, 0, 100, -100, kFull, 0xFF00FF00u, 10.0f);  // nearer, but writes no depth
    drawQuadRect(0, 0, 100, -100, kFull, 0xFFFFFF00u, 30.0f);  // passes where only the blue quad is
    picture();
    EXPECT_TRUE(near(at(380, 280), {0, 0, 255, 255}, 0));     // blue in front of red
    EXPECT_TRUE(near(at(330, 230), {255, 0, 0, 255}, 0));     // red alone
    EXPECT_TRUE(near(at(420, 320), {0, 255, 0, 255}, 0));     // green in front; yellow at 30 behind blue
    EXPECT_TRUE(near(at(480, 380), {255, 255, 0, 255}, 0));   // yellow over green (no depth written)
}

TEST_F(Device, CullingRemovesCounterClockwiseTrianglesUntilTurnedOff) {
    bindTexture(nullptr);
    struct V {
        float x, y, z;
        uint32_t c;
    };
    // Clockwise on the picture (y up: top left, top right, bottom left) and counter-clockwise.
    const V clockwise[3] = {{-200, 100, 10, 0xFFFF0000u}, {-100, 100, 10, 0xFFFF0000u}, {-200, 0, 10, 0xFFFF0000u}};
    const V counter[3] = {{100, 100, 10, 0xFF00FF00u}, {100, 0, 10, 0xFF00FF00u}, {200, 100, 10, 0xFF00FF00u}};
    setCulling(true);
    drawVertices(clockwise, 1, kVertexPosition | kVertexDiffuse, kPrimitiveTriangles);
    drawVertices(counter, 1, kVertexPosition | kVertexDiffuse, kPrimitiveTriangles);
    picture();
    EXPECT_TRUE(near(at(210, 210), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(510, 210), {0, 0, 0, 255}, 0));
    setCulling(false);
    drawVertices(counter, 1, kVertexPosition | kVertexDiffuse, kPrimitiveTriangles);
    EXPECT_TRUE(near(pixel(510, 210), {0, 255, 0, 255}, 0));
    EXPECT_EQ(triangleCounter(), 3u);
}

// The depth buffer is attached only while the depth test is on; a depth clear given without
// it must still be in effect when the test is switched on, across a present and a target.
TEST_F(Device, DepthClearGivenWithTheTestOffHoldsWhenItComesOn) {
    bindTexture(nullptr);
    switchOff(kSwitchBlending);
    switchOn(kSwitchDepthTest);
    clearDepth(1.0f);
    drawQuadRect(-100, 100, 100, -100, kFull, 0xFF0000FFu, 20.0f);  // near depth in the middle
    switchOff(kSwitchDepthTest);
    clearDepth(1.0f);
    presentFrame();  // the other picture of the pair is drawn next
    clearTarget(0xFF000000u);
    // A small target's own clear leaves the picture's clear waiting for the rest of the buffer.
    TextureEntry* target = createTexture("depthrt", 64, 64, kFormatA8R8G8B8, true);
    ASSERT_NE(target, nullptr);
    setRenderTargetTexture(target);
    clearDepth(0.0f);
    clearTarget(0xFF000000u);
    switchOn(kSwitchDepthTest);
    drawQuadRect(-400, 300, 400, -300, kFull, 0xFFFFFFFFu, 60.0f);  // far: fails against 0
    setRenderTargetTexture(nullptr);
    std::vector<uint8_t> texels(64 * 64 * 4);
    ASSERT_TRUE(platform::gpu::readTexture(target->texture, texels.data()));
    EXPECT_EQ(texels[(32 * 64 + 32) * 4], 0);
    // The picture: the far quad passes where the depth was cleared to 1 after the near one.
    drawQuadRect(-400, 300, 400, -300, kFull, 0xFF00FF00u, 60.0f);
    picture();
    EXPECT_TRUE(near(at(400, 300), {0, 255, 0, 255}, 0));
    EXPECT_TRUE(near(at(100, 100), {0, 255, 0, 255}, 0));
    // The target's 0 covered only its own 64 x 64 corner of the shared buffer.
    EXPECT_TRUE(near(at(30, 30), {0, 0, 0, 255}, 0));
    releaseTexture(target);
}

TEST_F(Device, RenderTargetKeepsTheTopOfItsPictureAtTheTop) {
    TextureEntry* target = createTexture("target", 64, 64, kFormatA8R8G8B8, true);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->renderTarget, 1);
    setRenderTargetTexture(target);
    clearTarget(0xFF0000FFu);
    bindTexture(nullptr);
    switchOff(kSwitchBlending);
    // The top-left quarter of the 800 x 600 drawing space, red.
    drawQuadRect(-400, 300, 0, 0, kFull, 0xFFFF0000u, 10.0f);
    setRenderTargetTexture(nullptr);
    std::vector<uint8_t> texels(64 * 64 * 4);
    ASSERT_TRUE(platform::gpu::readTexture(target->texture, texels.data()));
    // Texel rows are stored top first, as for any picture: red at the top left.
    EXPECT_EQ(texels[0], 255);
    EXPECT_EQ(texels[2], 0);
    EXPECT_EQ(texels[(63 * 64 + 63) * 4 + 2], 255);
    bindTexture(target);
    switchOff(kSwitchSmoothFiltering);
    drawQuadRect(-400, 300, -336, 236, kFull, 0xFFFFFFFFu, 10.0f);
    picture();
    EXPECT_TRUE(near(at(2, 2), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(near(at(61, 61), {0, 0, 255, 255}, 0));
}

TEST_F(Device, ReleasingTheCurrentTargetDrawsIntoThePictureAgain) {
    TextureEntry* target = createTexture("gone", 16, 16, kFormatA8R8G8B8, true);
    ASSERT_NE(target, nullptr);
    setRenderTargetTexture(target);
    releaseTexture(target);
    EXPECT_EQ(renderTargetTexture(), nullptr);
    clearTarget(0xFF00FF00u);
    EXPECT_TRUE(near(pixel(400, 300), {0, 255, 0, 255}, 0));
}

TEST_F(Device, RenderTargetComesBackEmptyAfterAReset) {
    TextureEntry* target = createTexture("rt", 32, 32, kFormatA8R8G8B8, true);
    ASSERT_NE(target, nullptr);
    setRenderTargetTexture(target);
    clearTarget(0xFFFFFFFFu);
    setRenderTargetTexture(nullptr);
    int before = textureCount();
    releaseRenderTargets();
    EXPECT_EQ(target->texture, 0u);
    recreateRenderTargets();
    EXPECT_EQ(textureCount(), before);
    EXPECT_EQ(findTexture("rt"), target);
    ASSERT_NE(target->texture, 0u);
    std::vector<uint8_t> texels(32 * 32 * 4, 1);
    ASSERT_TRUE(platform::gpu::readTexture(target->texture, texels.data()));
    EXPECT_EQ(texels[0], 0);
    EXPECT_EQ(texels[3], 0);
}

TEST_F(Device, PresentShowsTheFinishedPictureAndCaptureWritesIt) {
    bindTexture(nullptr);
    clearTarget(0x00102030u);  // a clear without alpha: the shown picture is opaque all the same
    drawQuadRect(-400, 300, -399, 299, kFull, 0xFFFFFFFFu, 10.0f);
    presentFrame();
    // The next frame is drawn elsewhere and does not change what was presented.
    clearTarget(0xFFFF0000u);
    std::vector<uint8_t> shown(800 * 600 * 4);
    ASSERT_TRUE(readPresentedFrame(shown.data()));
    EXPECT_EQ(shown[0], 255);
    EXPECT_EQ(shown[4], 0x10);
    EXPECT_EQ(shown[(599 * 800 + 799) * 4 + 2], 0x30);
    EXPECT_EQ(shown[(599 * 800 + 799) * 4 + 3], 255);
    testing_support::TempDir dir;
    std::string path = (dir / "frame.png").string();
    ASSERT_TRUE(captureFrame(path.c_str()));
    std::string png = testing_support::readFile(path);
    platform::Picture decoded;
    ASSERT_TRUE(platform::decodePicture(reinterpret_cast<const uint8_t*>(png.data()), static_cast<int32_t>(png.size()),
                                        decoded));
    EXPECT_EQ(decoded.width, 800);
    EXPECT_EQ(decoded.height, 600);
    EXPECT_EQ(decoded.rgba[4], 0x10);
    EXPECT_EQ(decoded.rgba[7], 255);  // captures are opaque
}

TEST_F(Device, FullScreenChangesAtThePresentThatFollowsTheRequest) {
    platform::setFullScreen(true);
    settings().fullScreen = 0;
    requestVideoChange();
    EXPECT_TRUE(platform::isFullScreen());
    presentFrame();
    EXPECT_FALSE(platform::isFullScreen());
    EXPECT_EQ(selectedMode().bits, 32u);  // windowed asks for true colour
    settings().fullScreen = 1;
    requestVideoChange();
    presentFrame();
    EXPECT_TRUE(platform::isFullScreen());
    settings() = Settings{};
    // The drawing states outlive the change: a screen rectangle (culled if culling were back on)
    // still shows.
    bindTexture(nullptr);
    drawScreenRect(0, 0, 10, 10, 0, 0, 1, 1, 0xFFFFFFFFu);
    EXPECT_TRUE(near(pixel(5, 5), {255, 255, 255, 255}, 0));
}

TEST_F(Device, LightPresetLightsSurfacesFacingAgainstTheLightsDirection) {
    // The light travels along (3, 3, -10): a surface whose normal points along +z faces it.
    struct V {
        float x, y, z, nx, ny, nz;
    };
    const V facing[3] = {{-200, 100, 10, 0, 0, 1}, {-100, 100, 10, 0, 0, 1}, {-200, 0, 10, 0, 0, 1}};
    const V away[3] = {{100, 100, 10, 0, 0, -1}, {200, 100, 10, 0, 0, -1}, {100, 0, 10, 0, 0, -1}};
    bindTexture(nullptr);
    switchOff(kSwitchBlending);
    applyLightPreset();
    switchOn(kSwitchLighting);
    drawVertices(facing, 1, kVertexPosition | kVertexNormal, kPrimitiveTriangles);
    drawVertices(away, 1, kVertexPosition | kVertexNormal, kPrimitiveTriangles);
    switchOff(kSwitchLighting);
    picture();
    // Diffuse 1 x cos + material ambient 0.2 x global ambient 1; only the ambient part when turned away.
    EXPECT_TRUE(near(at(210, 210), {255, 255, 255, 255}, 0));
    EXPECT_TRUE(near(at(510, 210), {51, 51, 51, 255}, 1));
}

TEST(DeviceMath, BrightnessHalfIsTheIdentityRamp) {
    for (int i = 0; i < 256; ++i) EXPECT_EQ(gammaRampValue(0.5f, i), i * 256);
    EXPECT_EQ(gammaRampValue(1.0f, 170), static_cast<uint16_t>(1.5 * 170 * 256));
    EXPECT_EQ(gammaRampValue(1.0f, 171), 65535);
    EXPECT_EQ(gammaRampValue(1.0f, 255), 65535);
    EXPECT_EQ(gammaRampValue(0.0f, 200), 100 * 256);
    setBrightness(0.5f);
    EXPECT_FLOAT_EQ(brightness(), 0.5f);
}

TEST(DeviceMath, ModeTableKeepsUsable4To3ModesOncePerDepth) {
    const platform::DisplayMode modes[] = {
        {1280, 1024, 24, 60}, {1280, 720, 24, 60}, {800, 600, 24, 60}, {800, 600, 24, 75}, {800, 600, 16, 60},
        {1024, 768, 32, 60},  {640, 480, 24, 60},  {320, 240, 24, 60}, {800, 600, 8, 60},  {1024, 768, 24, 85},
    };
    DisplayModeTable table;
    buildModeTable(modes, 10, table);
    ASSERT_EQ(table.modeCount, 4);
    EXPECT_EQ(table.modes[0].width, 800u);
    EXPECT_EQ(table.modes[0].bits, 32u);
    EXPECT_EQ(table.modes[1].bits, 16u);
    EXPECT_EQ(table.modes[2].width, 1024u);
    EXPECT_EQ(table.modes[3].width, 640u);
    ASSERT_EQ(table.resolutionCount, 3);
    EXPECT_EQ(table.resolutions[0].width, 800);
    EXPECT_EQ(table.resolutions[1].width, 1024);
    EXPECT_EQ(table.resolutions[2].height, 480);
    // Nothing usable: just 800 x 600.
    buildModeTable(modes, 2, table);
    ASSERT_EQ(table.modeCount, 1);
    ASSERT_EQ(table.resolutionCount, 1);
    EXPECT_EQ(table.resolutions[0].width, 800);
    EXPECT_EQ(table.resolutions[0].height, 600);
}

TEST(DeviceLifecycle, GameEndsWithAMessageWhenThereIsNoOpenGL) {
    testing_support::TempDir install;
    testing_support::makeMinimalInstall(install, false);
    std::string log = (install / "stderr.txt").string();
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (chdir(install.str().c_str()) != 0) _exit(99);
        int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || dup2(fd, 2) < 0) _exit(97);
        setenv("SANDMERE_HEADLESS", "1", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_RUNTIME_DIR", install.str().c_str(), 1);
        // No EGL driver can be found: no context.
        setenv("__EGL_VENDOR_LIBRARY_FILENAMES", "/nonexistent/none.json", 1);
        execl(SANDMERE_GAME_EXE, SANDMERE_GAME_EXE, static_cast<char*>(nullptr));
        _exit(98);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(testing_support::readFile(log).find("Initialization failed: Can't init OpenGL"), std::string::npos);
}

TEST(DeviceLifecycle, DrawingWithoutADeviceDoesNothing) {
    shutdownDevice();
    EXPECT_FALSE(deviceReady());
    clearTarget(0);
    begin2D();
    drawQuadRect(0, 0, 10, 10, render_test::kFull, 0xFFFFFFFFu, 10.0f);
    presentFrame();
    EXPECT_FALSE(captureFrame("/nonexistent/x.png"));
}

}  // namespace
