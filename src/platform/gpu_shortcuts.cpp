// The drawing shortcuts of the software path: ways of drawing that give the picture the plain
// way gives, for less work on a software rasterizer. Quads are cut down to the texels that
// change the target, texel-exact quads lose their filtering, and opaque unfiltered pictures
// are copied. Each fires only under the states its allow-list (gpu_state.h) names.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/gpu_state.h"

namespace platform::gpu::internal {

namespace {

constexpr uint8_t kWholeBlock = 0xCC;  // columns 0 to 3, rows 0 to 3


// The texels that a draw may leave out because they would leave the target as it was:
// kClearAlpha (alpha 0 changes nothing), kClearTexels (only texels of all zeros change
// nothing) or 0 (every texel counts).
uint8_t skippableTexels() {
    const GpuState& g = *gGpu;
    if (!g.texture) return 0;
    if (g.alphaTest && g.alphaRef >= 1) return kClearAlpha;  // the alpha test drops them
    if (g.depthTest && g.depthWrite) return 0;               // they would still write depth
    if (!g.blending) return 0;
    switch (g.blendMode) {
        case 0:
        case 3: return kClearAlpha;
        case 1: return kClearTexels;
        default: return 0;
    }
}

Vertex lerp(const Vertex& a, const Vertex& b, float t) {
    if (t == 0.0f) return a;
    if (t == 1.0f) return b;
    auto mix = [t](float p, float q) { return p + (q - p) * t; };
    return Vertex{mix(a.x, b.x), mix(a.y, b.y), mix(a.z, b.z), a.argb, mix(a.u, b.u), mix(a.v, b.v)};
}

bool nearlyEqual(float a, float b) { return std::fabs(a - b) <= 1e-4f * std::max(1.0f, std::fabs(a) + std::fabs(b)); }

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





// Texel runs along one axis of a copied quad: target pixel p (from `from`, `count` of them)
// takes texel floor(a + b * (p + 0.5)); runs of pixels whose texels follow one for one. A pixel
// whose centre falls on the border of two texels goes either way as rounding falls: it is
// listed apart, to be drawn the plain way.
struct CopyRun {
    int pixel, texel, length;
};
constexpr int kMaxCopyRuns = 8;
constexpr int kMaxUnsure = 4;

struct AxisRuns {
    CopyRun runs[kMaxCopyRuns];
    int count = 0;
    int unsure[kMaxUnsure];
    int unsureCount = 0;
};

bool copyRuns(int from, int count, double a, double b, int texels, AxisRuns& out) {
    out.count = out.unsureCount = 0;
    for (int p = from; p < from + count; ++p) {
        double at = a + b * (p + 0.5);
        int t = static_cast<int>(std::floor(at));
        if (t < 0 || t >= texels) return false;
        if (at - t < 2e-4 || t + 1 - at < 2e-4) {
            if (out.unsureCount == kMaxUnsure) return false;
            out.unsure[out.unsureCount++] = p;
            continue;
        }
        CopyRun* last = out.count > 0 ? &out.runs[out.count - 1] : nullptr;
        if (last && last->texel + last->length == t && last->pixel + last->length == p) {
            ++last->length;
            continue;
        }
        if (out.count == kMaxCopyRuns) return false;
        out.runs[out.count++] = CopyRun{p, t, 1};
    }
    return out.count > 0;
}

}  // namespace

// Finds the clear blocks of a region of the texture that was just given its texels (pitch in
// texels), and where the others hold their texels. Blocks only partly inside the region are
// counted as not clear, texels everywhere.
void measureClearBlocks(TextureInfo& info, const uint8_t* rgba, int pitch, int x, int y, int w, int h) {
    int bw = (info.width + kBlockSize - 1) / kBlockSize, bh = (info.height + kBlockSize - 1) / kBlockSize;
    int bx0 = x / kBlockSize, by0 = y / kBlockSize;
    int bx1 = std::min(bw, (x + w + kBlockSize - 1) / kBlockSize), by1 = std::min(bh, (y + h + kBlockSize - 1) / kBlockSize);
    size_t regionBlocks = static_cast<size_t>(bx1 - bx0) * static_cast<size_t>(by1 - by0);
    std::vector<uint8_t> flags(regionBlocks, 0);
    std::vector<uint16_t> boxes(regionBlocks, kWholeBlock | kWholeBlock << 8);
    bool any = false;
    for (int by = by0; by < by1; ++by) {
        for (int bx = bx0; bx < bx1; ++bx) {
            int tx0 = bx * kBlockSize, ty0 = by * kBlockSize;
            int tx1 = std::min(tx0 + kBlockSize, info.width), ty1 = std::min(ty0 + kBlockSize, info.height);
            if (tx0 < x || ty0 < y || tx1 > x + w || ty1 > y + h) continue;
            // Extents of the texels with alpha, and of the texels that are not all zero.
            int lo[2][2] = {{4, 4}, {4, 4}}, hi[2][2] = {{-1, -1}, {-1, -1}};
            for (int ty = ty0; ty < ty1; ++ty) {
                const uint8_t* p = rgba + (static_cast<size_t>(ty - y) * pitch + (tx0 - x)) * 4;
                for (int tx = tx0; tx < tx1; ++tx, p += 4) {
                    bool shows[2] = {p[3] != 0, (p[0] | p[1] | p[2] | p[3]) != 0};
                    for (int k = 0; k < 2; ++k) {
                        if (!shows[k]) continue;
                        lo[k][0] = std::min(lo[k][0], tx - tx0);
                        hi[k][0] = std::max(hi[k][0], tx - tx0);
                        lo[k][1] = std::min(lo[k][1], ty - ty0);
                        hi[k][1] = std::max(hi[k][1], ty - ty0);
                    }
                }
            }
            size_t i = static_cast<size_t>(by - by0) * (bx1 - bx0) + (bx - bx0);
            uint8_t f = 0;
            uint16_t box = 0;
            for (int k = 0; k < 2; ++k) {
                if (hi[k][0] < 0) {
                    f |= k == 0 ? kClearAlpha : kClearTexels;
                    continue;
                }
                box |= static_cast<uint16_t>((lo[k][0] | hi[k][0] << 2 | lo[k][1] << 4 | hi[k][1] << 6) << (8 * k));
            }
            flags[i] = f;
            boxes[i] = box;
            any = any || f != 0 || box != (kWholeBlock | kWholeBlock << 8);
        }
    }
    if (!any && info.clearBlocks.empty()) return;
    if (info.clearBlocks.empty()) {
        info.blocksWide = bw;
        info.blocksHigh = bh;
        info.clearBlocks.assign(static_cast<size_t>(bw) * bh, 0);
        info.inkBoxes.assign(static_cast<size_t>(bw) * bh, kWholeBlock | kWholeBlock << 8);
    }
    for (int by = by0; by < by1; ++by) {
        size_t to = static_cast<size_t>(by) * bw + bx0, from = static_cast<size_t>(by - by0) * (bx1 - bx0);
        std::copy_n(&flags[from], bx1 - bx0, &info.clearBlocks[to]);
        std::copy_n(&boxes[from], bx1 - bx0, &info.inkBoxes[to]);
    }
}

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

bool quadIsNotMinified(const Vertex* q) {
    float w, h, px[4], py[4];
    if (!quadOnTarget(q, w, h, px, py)) return false;
    // A parallelogram: the fourth corner where the other three put it.
    if (std::fabs(px[1] + px[2] - px[0] - px[3]) > 0.01f || std::fabs(py[1] + py[2] - py[0] - py[3]) > 0.01f)
        return false;
    // A rectangle on the target (its sides at right angles), else the sides say little of
    // the footprint.
    float ax = px[1] - px[0], ay = py[1] - py[0], bx = px[2] - px[0], by = py[2] - py[0];
    if (std::fabs(ax * bx + ay * by) > 1e-3f * std::sqrt((ax * ax + ay * ay) * (bx * bx + by * by))) return false;
    // Texels to a pixel along each side. With the sides along the target's axes and the
    // texture's, one side each way, that is the footprint exactly; otherwise a rasterizer's
    // estimate may grow by up to the square root of 2.
    bool alongAxes = (q[1].u == q[0].u) != (q[2].u == q[0].u) && (q[1].v == q[0].v) != (q[2].v == q[0].v);
    for (int side = 1; side <= 2; ++side) {
        float dx = px[side] - px[0], dy = py[side] - py[0];
        float du = (q[side].u - q[0].u) * w, dv = (q[side].v - q[0].v) * h;
        float pixels = std::sqrt(dx * dx + dy * dy), texels = std::sqrt(du * du + dv * dv);
        if (pixels <= 0.0f) return false;
        if (dx != 0.0f && dy != 0.0f) alongAxes = false;
        if (du != 0.0f && dv != 0.0f) alongAxes = false;
        if (texels > pixels * 1.0001f) return false;  // one to one, give or take rounding
    }
    if (alongAxes) return true;
    for (int side = 1; side <= 2; ++side) {
        float dx = px[side] - px[0], dy = py[side] - py[0];
        float du = (q[side].u - q[0].u) * w, dv = (q[side].v - q[0].v) * h;
        if ((du * du + dv * dv) * 2.0f > (dx * dx + dy * dy)) return false;
    }
    return true;
}

// A quad (a strip of four whose texture rectangle lies along its sides) is cut down to the
// part of its texture rectangle that holds texels that change the target, with a margin for
// filtering. The texture coordinates of every pixel that is left stay as they were.
Trim trimQuad(const Vertex* q, Vertex* out) {
    GpuState& g = *gGpu;
    uint8_t skippable = allowed(kShortcutCut, kCutSafe) ? skippableTexels() : 0;
    if (!skippable) return Trim::kWhole;
    // Unfiltered, a pixel centre on the border of two texels may go the other way once the
    // quad is cut; not so where texel centres lie on pixel centres.
    if (!g.linear && !quadIsTexelExact(q)) return Trim::kWhole;
    const TextureInfo* info = textureInfo(g.texture);
    if (!info || info->clearBlocks.empty()) return Trim::kWhole;
    for (int i = 0; i < 4; ++i) {
        if (q[i].argb != q[0].argb || q[i].u < 0.0f || q[i].u > 1.0f || q[i].v < 0.0f || q[i].v > 1.0f)
            return Trim::kWhole;
    }
    // A parallelogram, its texture coordinates following its sides.
    if (!nearlyEqual(q[0].x + q[3].x, q[1].x + q[2].x) || !nearlyEqual(q[0].y + q[3].y, q[1].y + q[2].y) ||
        !nearlyEqual(q[0].z + q[3].z, q[1].z + q[2].z) || !nearlyEqual(q[0].u + q[3].u, q[1].u + q[2].u) ||
        !nearlyEqual(q[0].v + q[3].v, q[1].v + q[2].v))
        return Trim::kWhole;
    // s runs from q[0] to q[1], t from q[0] to q[2].
    bool uAlongS;
    if (q[1].u == q[0].u && q[2].v == q[0].v && q[1].v != q[0].v && q[2].u != q[0].u) uAlongS = false;
    else if (q[1].v == q[0].v && q[2].u == q[0].u && q[1].u != q[0].u && q[2].v != q[0].v) uAlongS = true;
    else return Trim::kWhole;
    float u0 = q[0].u, u1 = uAlongS ? q[1].u : q[2].u;
    float v0 = q[0].v, v1 = uAlongS ? q[2].v : q[1].v;
    float w = static_cast<float>(info->width), h = static_cast<float>(info->height);
    float uLo = std::min(u0, u1) * w, uHi = std::max(u0, u1) * w;
    float vLo = std::min(v0, v1) * h, vHi = std::max(v0, v1) * h;
    // How far from a sample point filtering reaches: bilinear filtering 1.5 texels; on the
    // second level (each of its texels made of 2 x 2 of the first, 3 x 3 where a side is odd)
    // 3 texels of the first, 4 where a side is not a power of two. Half a texel more, or a
    // whole one, against rounding.
    auto powerOfTwo = [](int n) { return (n & (n - 1)) == 0; };
    float margin = 1.0f;
    if (g.linear) margin = info->levels < 2 ? 2.0f : (powerOfTwo(info->width) && powerOfTwo(info->height) ? 4.0f : 5.0f);
    // The texels within reach of the quad's pixels, neighbours outside its rectangle included
    // (they bleed into its edge). Beyond the texture's sides they are those of the other
    // side, the texture repeating; looked up by whole blocks, where the sides are.
    int reachX0 = static_cast<int>(std::floor(uLo - margin)), reachX1 = static_cast<int>(std::ceil(uHi + margin));
    int reachY0 = static_cast<int>(std::floor(vLo - margin)), reachY1 = static_cast<int>(std::ceil(vHi + margin));
    if ((reachX0 < 0 || reachX1 > info->width || reachY0 < 0 || reachY1 > info->height) &&
        (info->width % kBlockSize != 0 || info->height % kBlockSize != 0))
        return Trim::kWhole;
    auto blockOf = [](int texel) { return texel >= 0 ? texel / kBlockSize : -((kBlockSize - 1 - texel) / kBlockSize); };
    int bx0 = blockOf(reachX0), bx1 = blockOf(reachX1 - 1);
    int by0 = blockOf(reachY0), by1 = blockOf(reachY1 - 1);
    if (static_cast<long>(bx1 - bx0 + 1) * (by1 - by0 + 1) > 16384) return Trim::kWhole;
    // The texels that count: from column inkX0 up to (not with) inkX1, rows likewise, counted
    // as the quad's coordinates count them.
    int inkX0 = INT32_MAX, inkX1 = INT32_MIN, inkY0 = INT32_MAX, inkY1 = INT32_MIN;
    int shift = skippable == kClearAlpha ? 0 : 8;
    int bw = info->blocksWide, bh = info->blocksHigh;
    // Blocks beyond a side are those of the other side: the wrapped block numbers step along
    // with the unwrapped ones.
    int wrappedX0 = (bx0 % bw + bw) % bw;
    auto scanRow = [&](int by) {
        size_t row = static_cast<size_t>((by % bh + bh) % bh) * bw;
        for (int bx = bx0, wx = wrappedX0; bx <= bx1; ++bx, wx = wx + 1 == bw ? 0 : wx + 1) {
            size_t i = row + static_cast<size_t>(wx);
            if (info->clearBlocks[i] & skippable) continue;
            int box = (info->inkBoxes[i] >> shift) & 0xFF;
            inkX0 = std::min(inkX0, bx * kBlockSize + (box & 3));
            inkX1 = std::max(inkX1, bx * kBlockSize + ((box >> 2) & 3) + 1);
            inkY0 = std::min(inkY0, by * kBlockSize + ((box >> 4) & 3));
            inkY1 = std::max(inkY1, by * kBlockSize + ((box >> 6) & 3) + 1);
        }
    };
    // True once the texels that count reach every side: the quad stays whole.
    auto reachesEverySide = [&] {
        return static_cast<float>(inkX0) - margin <= uLo && static_cast<float>(inkX1) + margin >= uHi &&
               static_cast<float>(inkY0) - margin <= vLo && static_cast<float>(inkY1) + margin >= vHi;
    };
    // The first, the last and the middle row first: most pictures reach every side by then.
    int middle = (by0 + by1) / 2;
    scanRow(by0);
    if (by1 != by0) scanRow(by1);
    if (middle != by0 && middle != by1) scanRow(middle);
    if (reachesEverySide()) return Trim::kWhole;
    for (int by = by0 + 1; by < by1; ++by) {
        if (by != middle) scanRow(by);
    }
    // Nothing within reach, or nothing near enough to the quad's pixels to reach them.
    if (inkX1 <= inkX0 || static_cast<float>(inkX0) - margin >= uHi || static_cast<float>(inkX1) + margin <= uLo ||
        static_cast<float>(inkY0) - margin >= vHi || static_cast<float>(inkY1) + margin <= vLo)
        return Trim::kNothingLeft;
    float keepULo = std::max(uLo, static_cast<float>(inkX0) - margin);
    float keepUHi = std::min(uHi, static_cast<float>(inkX1) + margin);
    float keepVLo = std::max(vLo, static_cast<float>(inkY0) - margin);
    float keepVHi = std::min(vHi, static_cast<float>(inkY1) + margin);
    if (keepULo <= uLo && keepUHi >= uHi && keepVLo <= vLo && keepVHi >= vHi) return Trim::kWhole;
    // The kept ranges as fractions of the sides.
    auto fraction = [](float from, float to, float at) {
        float f = (at - from) / (to - from);
        return std::min(1.0f, std::max(0.0f, f));
    };
    // At an end that is kept whole the fraction comes out as exactly 0 or 1.
    auto range = [&](float from, float to, float lo, float hi, float scale, float& a, float& b) {
        float fa = fraction(from * scale, to * scale, lo), fb = fraction(from * scale, to * scale, hi);
        a = std::min(fa, fb);
        b = std::max(fa, fb);
    };
    float uA, uB, vA, vB;
    range(u0, u1, keepULo, keepUHi, w, uA, uB);
    range(v0, v1, keepVLo, keepVHi, h, vA, vB);
    float sA = uAlongS ? uA : vA, sB = uAlongS ? uB : vB;
    float tA = uAlongS ? vA : uA, tB = uAlongS ? vB : uB;
    auto at = [&](float s, float t) { return lerp(lerp(q[0], q[1], s), lerp(q[2], q[3], s), t); };
    out[0] = at(sA, tA);
    out[1] = at(sB, tA);
    out[2] = at(sA, tB);
    out[3] = at(sB, tB);
    return Trim::kCut;
}

// A batch of one opaque, white, unfiltered quad lying along the target's axes is the texture's
// texels copied: done as copies of texel blocks, which costs a software rasterizer far less
// than filling the pixels one by one. False, with nothing done, when the batch is not such.
bool copyBatch() {
    GpuState& g = *gGpu;
    if (g.batchCount != 6 || !g.texture || !allowed(kShortcutCopy, kCopySafe)) return false;
    if (g.linear && !g.texelExact) return false;
    if (g.blending && g.blendMode != 0 && g.blendMode != 2) return false;
    const Vertex* b = g.batch;
    // The two triangles of a strip of four: a b c, c b d.
    if (std::memcmp(&b[3], &b[2], sizeof(Vertex)) != 0 || std::memcmp(&b[4], &b[1], sizeof(Vertex)) != 0) return false;
    const Vertex q[4] = {b[0], b[1], b[2], b[5]};
    for (const Vertex& v : q) {
        if (v.argb != 0xFFFFFFFFu) return false;
        const float* m = g.combined;
        float z = v.x * m[2] + v.y * m[6] + v.z * m[10] + m[14];
        if (z < 0.0f || z > 1.0f) return false;  // clipped
    }
    if (!batchIsOpaque()) return false;
    const TextureInfo* info = textureInfo(g.texture);
    if (!info) return false;
    // The rectangle it covers, in whole pixels.
    float px[4], py[4];
    for (int i = 0; i < 4; ++i) {
        targetPoint(q[i], px[i], py[i]);
        if (!nearInteger(px[i]) || !nearInteger(py[i])) return false;
        px[i] = std::round(px[i]);
        py[i] = std::round(py[i]);
    }
    float x0 = std::min({px[0], px[1], px[2], px[3]}), x1 = std::max({px[0], px[1], px[2], px[3]});
    float y0 = std::min({py[0], py[1], py[2], py[3]}), y1 = std::max({py[0], py[1], py[2], py[3]});
    for (int i = 0; i < 4; ++i)
        if ((px[i] != x0 && px[i] != x1) || (py[i] != y0 && py[i] != y1)) return false;
    if (x0 < 0.0f || y0 < 0.0f || x1 > static_cast<float>(g.targetWidth) || y1 > static_cast<float>(g.targetHeight) ||
        x1 <= x0 || y1 <= y0)
        return false;
    // Texel columns as a function of the pixel column alone, rows of the row alone.
    int topLeft = -1, right = -1, bottom = -1;
    for (int i = 0; i < 4; ++i) {
        if (px[i] == x0 && py[i] == y0) topLeft = i;
        if (px[i] == x1 && py[i] == y0) right = i;
        if (px[i] == x0 && py[i] == y1) bottom = i;
    }
    if (topLeft < 0 || right < 0 || bottom < 0) return false;
    const Vertex& tl = q[topLeft];
    const Vertex& br = q[6 - topLeft - right - bottom];
    if (q[right].v != tl.v || q[bottom].u != tl.u || br.u != q[right].u || br.v != q[bottom].v) return false;
    double w = info->width, h = info->height;
    double bu = (static_cast<double>(q[right].u) - tl.u) * w / (x1 - x0);
    double bv = (static_cast<double>(q[bottom].v) - tl.v) * h / (y1 - y0);
    double au = static_cast<double>(tl.u) * w - bu * x0, av = static_cast<double>(tl.v) * h - bv * y0;
    AxisRuns columns, rows;
    if (!copyRuns(static_cast<int>(x0), static_cast<int>(x1 - x0), au, bu, info->width, columns) ||
        !copyRuns(static_cast<int>(y0), static_cast<int>(y1 - y0), av, bv, info->height, rows))
        return false;
    // A copy over the whole target leaves nothing of a clear that waits.
    if (x0 == 0.0f && y0 == 0.0f && x1 == static_cast<float>(g.targetWidth) && y1 == static_cast<float>(g.targetHeight) &&
        g.colourClearWaiting) {
        g.colourClearWaiting = false;
        ++g.stats.clearsLeftOut;
    }
    runWaitingColourClear();
    if (!g.copySource) g.fn.genFramebuffers(1, &g.copySource);
    g.fn.bindFramebuffer(GL_READ_FRAMEBUFFER, g.copySource);
    g.fn.framebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, info->name, 0);
    for (int r = 0; r < rows.count; ++r) {
        for (int c = 0; c < columns.count; ++c) {
            const CopyRun& col = columns.runs[c];
            const CopyRun& row = rows.runs[r];
            g.fn.blitFramebuffer(col.texel, row.texel, col.texel + col.length, row.texel + row.length, col.pixel, row.pixel,
                                 col.pixel + col.length, row.pixel + row.length, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        }
    }
    g.fn.framebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    g.boundFramebuffer = 0;
    bindCurrentTarget();
    // The unsure rows and columns: the quad drawn through a one-pixel slit, so that each of
    // their pixels comes out as drawing the whole quad would make it.
    if (rows.unsureCount || columns.unsureCount) {
        glEnable(GL_SCISSOR_TEST);
        for (int i = 0; i < rows.unsureCount; ++i) {
            glScissor(static_cast<GLint>(x0), rows.unsure[i], static_cast<GLsizei>(x1 - x0), 1);
            drawBatch();
        }
        for (int i = 0; i < columns.unsureCount; ++i) {
            glScissor(columns.unsure[i], static_cast<GLint>(y0), 1, static_cast<GLsizei>(y1 - y0));
            drawBatch();
        }
        glDisable(GL_SCISSOR_TEST);
    }
    ++g.stats.copies;
    return true;
}

}  // namespace platform::gpu::internal
