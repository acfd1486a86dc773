// Frame timing: all game timing is in milliseconds, measured once per frame after present.
#pragma once

#include <cstdint>

struct FrameClock {
    uint32_t lastTime = 0;
    uint32_t deltaMs = 0;
    float speedFactor = 1.0f;
    float frameMs = 0.0f;
    float runningMs = 0.0f;
    uint32_t fpsAccumulator = 0;
    int32_t fpsFrames = 0;
    char fpsText[32] = {};
};

FrameClock& frameClock();
void resetFrameClock();
void updateClock();
