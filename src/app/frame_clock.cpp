#include "app/frame_clock.h"

#include <cstdio>

#include "app/replay.h"
#include "platform/clock.h"

namespace {
FrameClock gFrameClock;
}

FrameClock& frameClock() { return gFrameClock; }

void resetFrameClock() { gFrameClock = FrameClock{}; }

void updateClock() {
    FrameClock& c = gFrameClock;
    uint32_t now = platform::nowMs();
    // Unsigned: right across the wrap of the clock. A recording keeps it, a playback gives it.
    c.deltaMs = frameDelta(now - c.lastTime);
    c.lastTime = now;
    c.fpsAccumulator += c.deltaMs;
    c.fpsFrames += 1;
    if (c.fpsAccumulator > 300) {
        std::snprintf(c.fpsText, sizeof c.fpsText, "%.1f FPS",
                      1000.0 / static_cast<double>(c.fpsAccumulator) * c.fpsFrames);
        c.fpsAccumulator -= 300;
        c.fpsFrames = 0;
    }
    c.frameMs = static_cast<float>(c.deltaMs) * c.speedFactor;
}
