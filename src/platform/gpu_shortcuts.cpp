// The drawing shortcuts of the software path: ways of drawing that give the picture the plain
// way gives, for less work on a software rasterizer: texel-exact quads lose their filtering.
// Each fires only under the states its allow-list (gpu_state.h) names.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/gpu_state.h"

namespace platform::gpu::internal {

namespace {

// Where a vertex lands on the target, in pixels from its top-left corner (affine transforms).
void targetPoint(const Vertex& v, float& x, float& y) {
    const GpuState& g = *gGpu;
    const float* m = g.combined;
    float cx = v.x * m[0] + v.y * m[4] + v.z * m[8] + m[12];
    float cy = v.x * m[1] + v.y * m[5] + v.z * m[9] + m[13];
    x = (cx + 1.0f) * 0.5f * static_cast<float>(g.targetWidth);
    y = (1.0f - cy) * 0.5f * static_cast<float>(g.targetHeight);
}

// The bound texture's size in texels and where the quad's four corners land on the target;
// false without a texture or under a perspective.
bool quadOnTarget(const Vertex* q, float& w, float& h, float* px, float* py) {
    const GpuState& g = *gGpu;
    if (!g.affine || !g.texture) return false;
    const TextureInfo* info = textureInfo(g.texture);
    if (!info) return false;
    w = static_cast<float>(info->width);
    h = static_cast<float>(info->height);
    for (int i = 0; i < 4; ++i) targetPoint(q[i], px[i], py[i]);
    return true;
}

bool nearInteger(float f) { return std::fabs(f - std::round(f)) < 1e-3f; }

}  // namespace

// True when the quad (a strip of four) covers whole pixels with one texel each, texel centres
// on pixel centres, the texture's rows and columns along the target's.
bool quadIsTexelExact(const Vertex* q) {
    float w, h, px[4], py[4];
    if (!quadOnTarget(q, w, h, px, py)) return false;
    for (int i = 0; i < 4; ++i) {
        if (!nearInteger(px[i]) || !nearInteger(py[i]) || !nearInteger(q[i].u * w) || !nearInteger(q[i].v * h))
            return false;
    }
    // Texture columns follow target columns one for one (either way), rows follow rows.
    float sx = 0.0f, sy = 0.0f;
    auto follows = [](float d, float dt, float& slope) {
        if (d == 0.0f) return dt == 0.0f;
        float k = dt / d;
        if (k != 1.0f && k != -1.0f) return false;
        if (slope == 0.0f) slope = k;
        return slope == k;
    };
    for (int i = 1; i < 4; ++i) {
        float dx = std::round(px[i] - px[0]), dy = std::round(py[i] - py[0]);
        float du = std::round((q[i].u - q[0].u) * w), dv = std::round((q[i].v - q[0].v) * h);
        if (!follows(dx, du, sx) || !follows(dy, dv, sy)) return false;
    }
    return sx != 0.0f && sy != 0.0f;
}

}  // namespace platform::gpu::internal
