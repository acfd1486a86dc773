// The render device: the state vocabulary of all drawing, clears and presenting.
#pragma once

#include <cstdint>

struct TextureEntry;

// A 4 x 4 matrix, row-major, for row vectors (left-handed), loaded into GL as it is.
struct Matrix4 {
    float m[4][4];
};

bool initDevice();  // for the main window of the platform layer; false on failure
void requestVideoChange();
void setBrightness(float value);
void presentFrame();
void shutdownDevice();
void clearDepth(float depth);
void clearTarget(uint32_t argb);
void clearStencil(uint32_t value);
void beginScene();
void endScene();
void setWorldMatrix(const Matrix4* matrix);  // nullptr means identity
void setViewMatrix(const Matrix4* matrix);
void setProjectionMatrix(const Matrix4& matrix);
// The perspective projection of the client rectangle (fov pi/4, near 5, far 400); kept so that
// switching the 2D projection off restores it.
void updatePerspectiveProjection(int clientWidth, int clientHeight);
void switchOn(int renderSwitch);
void switchOff(int renderSwitch);
void setBlendMode(int mode);
void begin2D();
void bindTexture(TextureEntry* texture);
void setCulling(bool on);
uint32_t& triangleCounter();
// The last presented 800 x 600 frame, written as a PNG (the play runner's captures).
bool captureFrame(const char* pngPath);
