#include "platform/clock.h"

#include <ctime>

#include <SDL.h>

namespace platform {

namespace {
struct ClockState {
    bool virtualOn = false;
    uint32_t virtualNow = 0;
};
ClockState gClockState;
}  // namespace

uint32_t nowMs() {
    if (gClockState.virtualOn) return gClockState.virtualNow;
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void sleepMs(uint32_t ms) {
    if (gClockState.virtualOn || ms == 0) return;
    SDL_Delay(ms);
}

void useVirtualClock(bool on, uint32_t startMs) {
    gClockState.virtualOn = on;
    gClockState.virtualNow = startMs;
}

bool virtualClockOn() { return gClockState.virtualOn; }

void advanceVirtualClock(uint32_t ms) { gClockState.virtualNow += ms; }

}  // namespace platform
