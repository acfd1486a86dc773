// The instruments of the music module, their samples synthesized by the forge.
#pragma once

#include <vector>

#include "xm_writer.h"

namespace forge::music {

// Instrument numbers as the patterns use them (1-based, in module order).
enum InstrumentId : int {
    kPluck = 1,
    kPad,
    kBass,
    kBell,
    kFlute,
    kMarimba,
    kSquare,
    kKick,
    kSnare,
    kHat,
    kShaker,
    kInstrumentCount = kShaker
};

std::vector<xm::Instrument> makeInstruments();

}  // namespace forge::music
