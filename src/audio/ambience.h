// The ambience of board play and the trophy room: birds and water at fixed periods.
#pragma once

#include <cstdint>

struct AmbienceClock {
    uint32_t playMs = 0;    // play-time counter, advanced after the checks
    int32_t birdCounter = 0;
};

enum class Water { None, Brook, Waterfall };

// The water sound of an ambience number: brook for 0, 1, 3, 4 and 7, waterfall for 2, 5, 6 and
// 8 to 16, none above.
Water waterForAmbience(int ambienceNumber);

// One frame: birds every 6200 ms, the water every 3100 ms (brook) or 3000 ms (waterfall). A period
// fires on the very first frame and whenever the counter crosses into the lower half of a period.
void ambienceStep(AmbienceClock& clock, Water water, uint32_t elapsedMs);
