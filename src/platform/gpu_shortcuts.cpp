// The drawing shortcuts of the software path: ways of drawing that give the picture the plain
// way gives, for less work on a software rasterizer. Texel-exact quads lose their filtering,
// and opaque unfiltered pictures are copied. Each fires only under the states its allow-list
// (gpu_state.h) names.
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
