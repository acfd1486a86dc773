#include "render/device.h"

// Not written yet: the render issue fills these in.
bool initDevice() { return true; }
void requestVideoChange() {}
void setBrightness(float) {}
void presentFrame() {}
void shutdownDevice() {}
void clearDepth(float) {}
void clearTarget(uint32_t) {}
void clearStencil(uint32_t) {}
void beginScene() {}
void endScene() {}
void setWorldMatrix(const Matrix4*) {}
void setViewMatrix(const Matrix4*) {}
void setProjectionMatrix(const Matrix4&) {}
void updatePerspectiveProjection(int, int) {}
void switchOn(int) {}
void switchOff(int) {}
void setBlendMode(int) {}
void begin2D() {}
void bindTexture(TextureEntry*) {}
void setCulling(bool) {}
uint32_t& triangleCounter() {
    static uint32_t counter = 0;
    return counter;
}
bool captureFrame(const char*) { return false; }
