// The render device: the state vocabulary of all drawing, clears and presenting.
#pragma once

#include <cstdint>

#include "platform/window.h"

struct TextureEntry;

// A 4 x 4 matrix, row-major, for row vectors (left-handed), loaded into GL as it is.
struct Matrix4 {
    float m[4][4];
};

// Render switches (switchOn / switchOff).
constexpr int kSwitchLighting = 0;
constexpr int kSwitchDepthTest = 1;
constexpr int kSwitchDepthWrite = 2;
constexpr int kSwitch2D = 3;
constexpr int kSwitchBlending = 4;
constexpr int kSwitchAlphaTest = 5;
constexpr int kSwitchPointSprites = 6;
constexpr int kSwitchSmoothFiltering = 7;

// Blend modes (setBlendMode).
constexpr int kBlendAlpha = 0;     // source alpha, inverse source alpha
constexpr int kBlendAdditive = 1;  // source colour, one
constexpr int kBlendOpaque = 2;    // one, zero

// Pixel formats of createTexture.
constexpr uint32_t kFormatA8R8G8B8 = 21;
constexpr uint32_t kFormatX8R8G8B8 = 22;
constexpr uint32_t kFormatR5G6B5 = 23;
constexpr uint32_t kFormatD24S8 = 75;

// One usable display mode: only reported (the game never changes the display mode).
struct DisplayModeEntry {
    uint32_t width;
    uint32_t height;
    uint32_t bits;  // 16 or 32
    uint32_t displayFormat;
    uint32_t depthStencilFormat;
    uint32_t renderTargetFormat;
};
struct Resolution {
    int width;
    int height;
};
constexpr int kMaxDisplayModes = 256;

bool initDevice();  // for the main window of the platform layer; false on failure
void requestVideoChange();
void setBrightness(float value);
float brightness();
void presentFrame();
void shutdownDevice();
bool deviceReady();
void clearDepth(float depth);
void clearTarget(uint32_t argb);
void clearStencil(uint32_t value);
void beginScene();
void endScene();
void setWorldMatrix(const Matrix4* matrix);  // nullptr means identity
void setViewMatrix(const Matrix4* matrix);
void setProjectionMatrix(const Matrix4& matrix);
void setPerspectiveProjection(float fov, float aspect, float nearPlane, float farPlane);
void setOrthographicProjection(float width, float height, float nearPlane, float farPlane);
Matrix4 perspectiveMatrix(float fov, float aspect, float nearPlane, float farPlane);
Matrix4 orthographicMatrix(float width, float height, float nearPlane, float farPlane);
Matrix4 identityMatrix();
const Matrix4& worldMatrix();
const Matrix4& viewMatrix();
const Matrix4& projectionMatrix();
// The perspective projection of the client rectangle (fov pi/4, near 5, far 400); kept so that
// switching the 2D projection off restores it.
void updatePerspectiveProjection(int clientWidth, int clientHeight);
const Matrix4& perspectiveProjection();
void switchOn(int renderSwitch);
void switchOff(int renderSwitch);
void setBlendMode(int mode);
void begin2D();
void bindTexture(TextureEntry* texture);
TextureEntry* boundTexture();
// Draw into the texture (a render target of the texture cache), or back into the picture.
void setRenderTargetTexture(TextureEntry* texture);
TextureEntry* renderTargetTexture();  // none while drawing into the picture
void setCulling(bool on);
// Asks for presents tied to the vertical retrace; the platform layer reports whether it holds.
void setVerticalSync(bool on);
void applyDefaultStates();
void applyLightPreset();  // the light and material of the meshes
void discardManagedResources();
uint32_t& triangleCounter();
// Waits until everything submitted is drawn (benchmarks and pixel tests).
void waitForDrawing();
// The last presented 800 x 600 frame, written as a PNG (the play runner's captures).
bool captureFrame(const char* pngPath);
// The last presented frame as RGBA rows, top row first (800 x 600 x 4 bytes).
bool readPresentedFrame(uint8_t* rgba);

// Display modes: the usable ones (at least 640 x 480, 4:3, 16 or 24/32 bits, each size and
// depth once) and the distinct sizes among them.
struct DisplayModeTable {
    DisplayModeEntry modes[kMaxDisplayModes];
    int modeCount;
    Resolution resolutions[kMaxDisplayModes];
    int resolutionCount;
};
void buildModeTable(const platform::DisplayMode* modes, int count, DisplayModeTable& table);
const DisplayModeTable& displayModes();
const DisplayModeEntry& selectedMode();
int currentResolutionIndex();
// The gamma value that a brightness gives to entry i (0..255) of the ramp; 0.5 is the identity.
uint16_t gammaRampValue(float brightness, int i);
