#include "audio/ambience.h"

#include <cstdio>

#include "audio/audio.h"
#include "platform/random.h"

namespace {
bool periodFires(uint32_t t, uint32_t elapsed, uint32_t period) {
    uint32_t half = period / 2;
    if (t == 0) return true;
    return (t % period) >= half && ((t + elapsed) % period) < half;
}
}  // namespace

Water waterForAmbience(int n) {
    if (n == 0 || n == 1 || n == 3 || n == 4 || n == 7) return Water::Brook;
    if (n == 2 || n == 5 || n == 6 || (n >= 8 && n <= 16)) return Water::Waterfall;
    return Water::None;
}

void ambienceStep(AmbienceClock& clock, Water water, uint32_t elapsedMs) {
    if (periodFires(clock.playMs, elapsedMs, 6200)) {
        char name[32];
        std::snprintf(name, sizeof name, "birds%i.ogg", static_cast<int>(clock.birdCounter % 3) + 1);
        playSound(name);
        clock.birdCounter += 1 + platform::rand() % 2;
    }
    if (water == Water::Brook && periodFires(clock.playMs, elapsedMs, 3100)) playSound("brook.ogg");
    if (water == Water::Waterfall && periodFires(clock.playMs, elapsedMs, 3000)) playSound("waterfall.ogg");
    clock.playMs += elapsedMs;
}
