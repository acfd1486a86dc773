#include "platform/random.h"

namespace platform {

namespace {
uint32_t gRandState = 1;
}

void srand(uint32_t seed) { gRandState = seed; }

int rand() {
    gRandState = gRandState * 214013u + 2531011u;
    return static_cast<int>((gRandState >> 16) & 0x7FFFu);
}

uint32_t randomState() { return gRandState; }

}  // namespace platform
