// The millisecond clock, sleeping, and the virtual clock of the headless backend.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since boot (CLOCK_MONOTONIC), wrapping after 49.7 days like the Windows clock;
// unsigned differences stay right across the wrap. Under the virtual clock, its reading.
uint32_t nowMs();
void sleepMs(uint32_t ms);  // never sleeps under the virtual clock

// The virtual clock: tests and the play runner move time themselves.
void useVirtualClock(bool on, uint32_t startMs = 0);
bool virtualClockOn();
void advanceVirtualClock(uint32_t ms);

}  // namespace platform
