#include "app/icon.h"

#include <algorithm>
#include <cmath>

std::vector<uint8_t> makeWindowIcon() {
    std::vector<uint8_t> rgba(kIconSize * kIconSize * 4, 0);
    const float c = (kIconSize - 1) / 2.0f;
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            // A diamond with four facets, lit from the top left, with a soft anti-aliased edge.
            float dx = (x - c) / c, dy = (y - c) / c;
            float d = std::fabs(dx) + std::fabs(dy) * 1.15f;
            float coverage = std::clamp((0.95f - d) * c, 0.0f, 1.0f);
            if (coverage <= 0.0f) continue;
            float light = (dx < 0 ? 0.25f : 0.0f) + (dy < 0 ? 0.35f : 0.0f);
            float shine = std::max(0.0f, 1.0f - std::hypot(dx + 0.35f, dy + 0.4f) * 4.0f);
            float r = 0.95f * (0.55f + light) + shine, g = 0.72f * (0.55f + light) + shine,
                  b = 0.25f * (0.55f + light) + shine;
            uint8_t* p = &rgba[(y * kIconSize + x) * 4];
            p[0] = static_cast<uint8_t>(std::min(1.0f, r) * 255.0f);
            p[1] = static_cast<uint8_t>(std::min(1.0f, g) * 255.0f);
            p[2] = static_cast<uint8_t>(std::min(1.0f, b) * 255.0f);
            p[3] = static_cast<uint8_t>(coverage * 255.0f);
        }
    }
    return rgba;
}
