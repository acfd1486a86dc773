#include "render/device.h"

#include <cmath>
#include <vector>

#include "platform/fatal.h"
#include "platform/gl_context.h"
#include "platform/gpu.h"
#include "platform/image.h"
#include "platform/window.h"
#include "progress/profiles.h"
#include "render/backdrops.h"
#include "render/effects.h"
#include "render/meshes.h"
#include "render/text.h"
#include "render/textures.h"

namespace {
struct DeviceState {
    bool up = false;
    float brightness = 0.5f;
    bool gammaDirty = false;
    bool videoChangePending = false;
    bool fullScreen = false;
    bool trueColour = true;
    bool waitForRetrace = false;
    DisplayModeTable modes{};
    DisplayModeEntry selected{};
    int resolutionIndex = 0;
    Matrix4 world{};
    Matrix4 view{};
    Matrix4 projection{};
    Matrix4 perspective{};
    TextureEntry* texture = nullptr;
    TextureEntry* renderTarget = nullptr;
    uint32_t triangles = 0;
};
DeviceState gDev;

constexpr int kRequestedWidth = 800;
constexpr int kRequestedHeight = 600;

void loadTransforms() {
    platform::gpu::setTransforms(&gDev.world.m[0][0], &gDev.view.m[0][0], &gDev.projection.m[0][0]);
}

void selectMode() {
    const DisplayModeTable& t = gDev.modes;
    for (int i = 0; i < t.resolutionCount; ++i) {
        if (t.resolutions[i].width == kRequestedWidth && t.resolutions[i].height == kRequestedHeight) {
            gDev.resolutionIndex = i;
            break;
        }
    }
    uint32_t bits = gDev.trueColour ? 32u : 16u;
    gDev.selected = t.modeCount > 0 ? t.modes[0] : DisplayModeEntry{};
    for (int i = 0; i < t.modeCount; ++i) {
        if (t.modes[i].bits == bits && t.modes[i].width == static_cast<uint32_t>(kRequestedWidth) &&
            t.modes[i].height == static_cast<uint32_t>(kRequestedHeight)) {
            gDev.selected = t.modes[i];
            break;
        }
    }
}

void enumerateModes() {
    static platform::DisplayMode system[kMaxDisplayModes];
    int count = platform::listDisplayModes(system, kMaxDisplayModes);
    buildModeTable(system, count, gDev.modes);
    gDev.resolutionIndex = 0;
}
}  // namespace

Matrix4 identityMatrix() {
    Matrix4 m{};
    for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
    return m;
}

Matrix4 perspectiveMatrix(float fov, float aspect, float nearPlane, float farPlane) {
    Matrix4 m{};
    float yScale = std::cos(fov / 2.0f) / std::sin(fov / 2.0f);
    float xScale = yScale / aspect;
    m.m[0][0] = xScale;
    m.m[1][1] = yScale;
    m.m[2][2] = farPlane / (farPlane - nearPlane);
    m.m[2][3] = 1.0f;
    m.m[3][2] = -nearPlane * farPlane / (farPlane - nearPlane);
    return m;
}

Matrix4 orthographicMatrix(float width, float height, float nearPlane, float farPlane) {
    Matrix4 m{};
    m.m[0][0] = 2.0f / width;
    m.m[1][1] = 2.0f / height;
    m.m[2][2] = 1.0f / (farPlane - nearPlane);
    m.m[3][2] = nearPlane / (nearPlane - farPlane);
    m.m[3][3] = 1.0f;
    return m;
}

void buildModeTable(const platform::DisplayMode* modes, int count, DisplayModeTable& table) {
    table.modeCount = 0;
    table.resolutionCount = 0;
    for (int i = 0; i < count && modes; ++i) {
        const platform::DisplayMode& m = modes[i];
        if (m.width <= 639 || m.height <= 479) continue;
        float ratio = static_cast<float>(m.width) / static_cast<float>(m.height);
        if (std::fabs(ratio - 1.33f) > 0.01f) continue;
        uint32_t bits;
        if (m.bitsPerPixel == 16) bits = 16;
        else if (m.bitsPerPixel == 24 || m.bitsPerPixel == 32) bits = 32;
        else continue;
        bool seen = false;
        for (int k = 0; k < table.modeCount; ++k) {
            const DisplayModeEntry& e = table.modes[k];
            if (e.bits == bits && e.width == static_cast<uint32_t>(m.width) &&
                e.height == static_cast<uint32_t>(m.height))
                seen = true;
        }
        if (seen || table.modeCount >= kMaxDisplayModes) continue;
        table.modes[table.modeCount++] = DisplayModeEntry{static_cast<uint32_t>(m.width),
                                                          static_cast<uint32_t>(m.height),
                                                          bits,
                                                          bits == 32 ? kFormatX8R8G8B8 : kFormatR5G6B5,
                                                          kFormatD24S8,
                                                          kFormatA8R8G8B8};
        bool listed = false;
        for (int k = 0; k < table.resolutionCount; ++k)
            if (table.resolutions[k].width == m.width && table.resolutions[k].height == m.height) listed = true;
        if (!listed) table.resolutions[table.resolutionCount++] = Resolution{m.width, m.height};
    }
    // Nothing usable (or no display at all): the picture's own size.
    if (table.modeCount == 0) {
        table.modes[0] = DisplayModeEntry{800, 600, 32, kFormatX8R8G8B8, kFormatD24S8, kFormatA8R8G8B8};
        table.modeCount = 1;
        table.resolutions[0] = Resolution{800, 600};
        table.resolutionCount = 1;
    }
}

const DisplayModeTable& displayModes() { return gDev.modes; }
const DisplayModeEntry& selectedMode() { return gDev.selected; }
int currentResolutionIndex() { return gDev.resolutionIndex; }

uint16_t gammaRampValue(float value, int i) {
    double v = (static_cast<double>(value) + 0.5) * i * 256.0;
    if (v >= 65536.0) return 65535;
    if (v <= 0.0) return 0;
    return static_cast<uint16_t>(v);
}

bool initDevice() {
    if (gDev.up) shutdownDevice();
    gDev = DeviceState{};
    gDev.fullScreen = platform::isFullScreen();
    gDev.trueColour = !gDev.fullScreen;
    enumerateModes();
    selectMode();
    if (!platform::createGlContext() || !platform::gpu::init(platform::kPictureWidth, platform::kPictureHeight)) {
        platform::gpu::shutdown();
        platform::destroyGlContext();
        platform::messageBox("Can't init OpenGL", "Initialization failed");
        return false;
    }
    // Frames are not tied to the retrace unless asked.
    setVerticalSync(false);
    gDev.world = gDev.view = gDev.projection = identityMatrix();
    gDev.perspective = perspectiveMatrix(0.7853982f, 800.0f / 600.0f, 5.0f, 400.0f);
    gDev.up = true;
    applyDefaultStates();
    return true;
}

bool deviceReady() { return gDev.up; }

void requestVideoChange() {
    gDev.fullScreen = settings().fullScreen != 0;
    gDev.trueColour = !gDev.fullScreen;
    selectMode();
    gDev.videoChangePending = true;
}

void setBrightness(float value) {
    if (value != gDev.brightness) gDev.gammaDirty = true;
    gDev.brightness = value;
}

float brightness() { return gDev.brightness; }

void presentFrame() {
    // The system gamma is never touched: the game's only brightness is the identity ramp.
    gDev.gammaDirty = false;
    if (gDev.up) {
        bool toWindow = !platform::glContextOffscreen();
        int dw = platform::kPictureWidth, dh = platform::kPictureHeight;
        int vx = 0, vy = 0, vw = dw, vh = dh;
        if (toWindow) {
            platform::glDrawableSize(dw, dh);
            platform::fitPicture(dw, dh, vx, vy, vw, vh);
        }
        // A picture the window shows already is not sent again; with vertical sync the swap
        // also spaces the frames, so it is kept.
        bool force = toWindow && (platform::takeWindowExposed() || platform::vsyncActive());
        if (platform::gpu::present(toWindow, dw, dh, vx, vy, vw, vh, force) && toWindow) platform::swapGlWindow();
    }
    if (gDev.videoChangePending) {
        // The "reset": the mode is chosen again and the window placed. The GL context lives on
        // with its states and render targets, so nothing is rebuilt (and 2D drawing keeps its
        // culling off).
        gDev.videoChangePending = false;
        selectMode();
        platform::setFullScreen(gDev.fullScreen);
    }
}

void shutdownDevice() {
    gDev.brightness = 0.5f;
    gDev.gammaDirty = false;
    if (!gDev.up) return;
    releaseFonts();
    releaseMeshes();
    // The effects and the backdrops hold pictures that go with the device.
    resetEffects();
    resetBackdrops();
    releaseAllTextures();
    platform::gpu::shutdown();
    platform::destroyGlContext();
    gDev.up = false;
    gDev.texture = nullptr;
    gDev.renderTarget = nullptr;
}

void clearDepth(float depth) { platform::gpu::clear(platform::gpu::kClearDepth, 0, depth, 0); }
void clearTarget(uint32_t argb) { platform::gpu::clear(platform::gpu::kClearColour, argb, 1.0f, 0); }
void clearStencil(uint32_t value) { platform::gpu::clear(platform::gpu::kClearStencil, 0, 1.0f, value); }

void beginScene() {}
void endScene() { platform::gpu::flush(); }

void setWorldMatrix(const Matrix4* matrix) {
    gDev.world = matrix ? *matrix : identityMatrix();
    loadTransforms();
}

void setViewMatrix(const Matrix4* matrix) {
    gDev.view = matrix ? *matrix : identityMatrix();
    loadTransforms();
}

void setProjectionMatrix(const Matrix4& matrix) {
    gDev.projection = matrix;
    loadTransforms();
}

void setPerspectiveProjection(float fov, float aspect, float nearPlane, float farPlane) {
    setProjectionMatrix(perspectiveMatrix(fov, aspect, nearPlane, farPlane));
}

void setOrthographicProjection(float width, float height, float nearPlane, float farPlane) {
    setProjectionMatrix(orthographicMatrix(width, height, nearPlane, farPlane));
}

const Matrix4& worldMatrix() { return gDev.world; }
const Matrix4& viewMatrix() { return gDev.view; }
const Matrix4& projectionMatrix() { return gDev.projection; }

void updatePerspectiveProjection(int clientWidth, int clientHeight) {
    if (clientWidth <= 0 || clientHeight <= 0) return;
    gDev.perspective = perspectiveMatrix(0.7853982f, static_cast<float>(clientWidth) / static_cast<float>(clientHeight),
                                         5.0f, 400.0f);
}

const Matrix4& perspectiveProjection() { return gDev.perspective; }

void switchOn(int renderSwitch) {
    switch (renderSwitch) {
        case kSwitchLighting: platform::gpu::setLighting(true); break;
        case kSwitchDepthTest: platform::gpu::setDepthTest(true); break;
        case kSwitchDepthWrite: platform::gpu::setDepthWrite(true); break;
        case kSwitch2D: setOrthographicProjection(800.0f, 600.0f, 1.0f, 500.0f); break;
        case kSwitchBlending: platform::gpu::setBlending(true); break;
        case kSwitchAlphaTest: platform::gpu::setAlphaTest(true); break;
        case kSwitchPointSprites: break;  // particles are quads: nothing uses point sprites
        case kSwitchSmoothFiltering: platform::gpu::setLinearFiltering(true); break;
        default: break;
    }
}

void switchOff(int renderSwitch) {
    switch (renderSwitch) {
        case kSwitchLighting: platform::gpu::setLighting(false); break;
        case kSwitchDepthTest: platform::gpu::setDepthTest(false); break;
        case kSwitchDepthWrite: platform::gpu::setDepthWrite(false); break;
        case kSwitch2D: setProjectionMatrix(gDev.perspective); break;
        case kSwitchBlending: platform::gpu::setBlending(false); break;
        case kSwitchAlphaTest: platform::gpu::setAlphaTest(false); break;
        case kSwitchPointSprites: break;
        case kSwitchSmoothFiltering: platform::gpu::setLinearFiltering(false); break;
        default: break;
    }
}

void setBlendMode(int mode) {
    if (mode < 0 || mode > 2) return;
    platform::gpu::setBlendFactors(mode);
}

void begin2D() {
    platform::gpu::setDepthTest(false);
    platform::gpu::setBlendFactors(kBlendAlpha);
    platform::gpu::setBlending(true);
    platform::gpu::setAlphaTest(true);
    platform::gpu::setAlphaReference(1);
    platform::gpu::setLinearFiltering(true);
    gDev.world = identityMatrix();
    gDev.view = identityMatrix();
    gDev.projection = orthographicMatrix(800.0f, 600.0f, 1.0f, 100.0f);
    loadTransforms();
}

void bindTexture(TextureEntry* texture) {
    gDev.texture = texture;
    platform::gpu::bindTexture(texture ? texture->texture : 0);
}

TextureEntry* boundTexture() { return gDev.texture; }

TextureEntry* renderTargetTexture() { return gDev.renderTarget; }

void setRenderTargetTexture(TextureEntry* texture) {
    if (texture && texture->renderTarget && texture->framebuffer) {
        gDev.renderTarget = texture;
        platform::gpu::setRenderTarget(texture->framebuffer, static_cast<int>(texture->width),
                                       static_cast<int>(texture->height));
    } else {
        gDev.renderTarget = nullptr;
        platform::gpu::setRenderTarget(0, 0, 0);
    }
}

void setCulling(bool on) { platform::gpu::setCulling(on); }

void setVerticalSync(bool on) {
    gDev.waitForRetrace = on;
    if (!gDev.up && !platform::glContextReady()) return;
    bool active = on ? platform::setGlSwapInterval(1) : (platform::setGlSwapInterval(0), false);
    platform::setVsyncActive(active);
}

void applyDefaultStates() {
    // The device's own defaults first (opaque copy, no blending or alpha test, depth writes on),
    // then the game's.
    platform::gpu::setBlending(false);
    platform::gpu::setBlendFactors(kBlendOpaque);
    platform::gpu::setAlphaTest(false);
    platform::gpu::setDepthWrite(true);
    platform::gpu::setDepthTest(true);
    platform::gpu::setAlphaReference(128);
    platform::gpu::setCulling(true);
    platform::gpu::setLighting(false);
    platform::gpu::setLinearFiltering(false);
}

void applyLightPreset() { platform::gpu::applyLightPreset(); }

void discardManagedResources() {}

uint32_t& triangleCounter() { return gDev.triangles; }

void waitForDrawing() { platform::gpu::finish(); }

bool readPresentedFrame(uint8_t* rgba) {
    if (!gDev.up || !rgba) return false;
    if (!platform::gpu::readPresentedPicture(rgba)) return false;
    // The screen has no alpha: what was shown is opaque.
    size_t bytes = static_cast<size_t>(platform::kPictureWidth) * platform::kPictureHeight * 4;
    for (size_t i = 3; i < bytes; i += 4) rgba[i] = 255;
    return true;
}

bool captureFrame(const char* pngPath) {
    if (!gDev.up || !pngPath) return false;
    std::vector<uint8_t> rgba(static_cast<size_t>(platform::kPictureWidth) * platform::kPictureHeight * 4);
    if (!readPresentedFrame(rgba.data())) return false;
    return platform::writePng(pngPath, rgba.data(), platform::kPictureWidth, platform::kPictureHeight);
}
