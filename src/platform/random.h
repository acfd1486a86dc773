// The game's own random generator: the classic linear congruential generator whose results
// run 0..32767, so that every formula written for that range holds and runs are repeatable.
#pragma once

#include <cstdint>

namespace platform {

constexpr int kRandMax = 32767;

void srand(uint32_t seed);
int rand();  // 0..32767
uint32_t randomState();  // for tests and the saved seed of the bot

}  // namespace platform
