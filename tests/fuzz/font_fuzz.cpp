// The font metrics file ("%s.dat"): any bytes are refused or read within their length.
#include <cstddef>
#include <cstdint>

#include "render/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FontMetrics metrics;
    int32_t length = size > 1000000 ? 1000000 : static_cast<int32_t>(size);
    if (parseFontMetrics(data, length, 1.0f, metrics)) {
        // An accepted file gives finite advances (at most 255 x 2 for N = 512) and 1 <= N <= 512.
        for (int c = 0; c < 256; ++c) {
            if (!(metrics.advance[c] >= 0.0f && metrics.advance[c] <= 510.0f)) __builtin_trap();
        }
        if (metrics.cellsPerRow < 1 || metrics.cellsPerRow > 512) __builtin_trap();
    }
    return 0;
}
