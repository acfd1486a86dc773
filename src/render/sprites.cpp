#include "render/sprites.h"

#include <cmath>

#include "platform/gpu.h"
#include "render/device.h"

namespace {
struct SpriteState {
    float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};  // red, green, blue, alpha
    bool plainTint = true;
};
SpriteState gSprites;

using platform::gpu::Vertex;
static_assert(sizeof(SpriteVertex) == sizeof(Vertex), "one vertex layout");

void submit(const Vertex* v, int count, int primitive, int triangles) {
    platform::gpu::drawSprites(v, count, primitive);
    triangleCounter() += static_cast<uint32_t>(triangles);
}

Vertex vertex(float x, float y, float z, uint32_t colour, float u, float v) { return Vertex{x, y, z, colour, u, v}; }

// The four corners in the order top right, bottom right, top left, bottom left, as a strip.
void axisQuad(float x0, float y0, float x1, float y1, const UVRect& uv, uint32_t tr, uint32_t br, uint32_t tl,
              uint32_t bl, float z) {
    Vertex v[4] = {vertex(x1, y0, z, tintColour(tr), uv.u1, uv.v0), vertex(x1, y1, z, tintColour(br), uv.u1, uv.v1),
                   vertex(x0, y0, z, tintColour(tl), uv.u0, uv.v0), vertex(x0, y1, z, tintColour(bl), uv.u0, uv.v1)};
    submit(v, 4, platform::gpu::kTriangleStrip, 2);
}
}  // namespace

void setTint(float red, float green, float blue, float alpha) {
    gSprites.tint[0] = red;
    gSprites.tint[1] = green;
    gSprites.tint[2] = blue;
    gSprites.tint[3] = alpha;
    gSprites.plainTint = red == 1.0f && green == 1.0f && blue == 1.0f && alpha == 1.0f;
}

uint32_t tintColour(uint32_t argb) {
    if (gSprites.plainTint) return argb;
    auto scale = [](uint32_t channel, float factor) {
        float v = static_cast<float>(channel) * factor;
        if (v <= 0.0f) return 0u;
        if (v >= 255.0f) return 255u;
        return static_cast<uint32_t>(v);
    };
    uint32_t a = scale(argb >> 24, gSprites.tint[3]);
    uint32_t r = scale((argb >> 16) & 0xFF, gSprites.tint[0]);
    uint32_t g = scale((argb >> 8) & 0xFF, gSprites.tint[1]);
    uint32_t b = scale(argb & 0xFF, gSprites.tint[2]);
    return (a << 24) | (r << 16) | (g << 8) | b;
}

void drawQuadRect(float x0, float y0, float x1, float y1, const UVRect& uv, uint32_t colour, float z) {
    axisQuad(x0, y0, x1, y1, uv, colour, colour, colour, colour, z);
}

void drawQuadRectGradient(float x0, float y0, float x1, float y1, const UVRect& uv, uint32_t topRight,
                          uint32_t bottomRight, uint32_t topLeft, uint32_t bottomLeft, float z) {
    axisQuad(x0, y0, x1, y1, uv, topRight, bottomRight, topLeft, bottomLeft, z);
}

void drawQuad(float x, float y, float width, float height, const UVRect& uv, uint32_t colour, float z) {
    axisQuad(x - width / 2.0f, y + height / 2.0f, x + width / 2.0f, y - height / 2.0f, uv, colour, colour, colour,
             colour, z);
}

void drawRotatedQuad(float x, float y, float pivotX, float pivotY, float angle, float width, float height,
                     const UVRect& uv, uint32_t colour, float z) {
    float x0 = x - width / 2.0f, x1 = x + width / 2.0f;
    float y0 = y + height / 2.0f, y1 = y - height / 2.0f;
    float a = angle * 0.017453292f;
    float c = std::cos(a), s = std::sin(a);
    auto turn = [&](float px, float py, float& ox, float& oy) {
        float dx = px - pivotX, dy = py - pivotY;
        ox = pivotX + dx * c - dy * s;
        oy = pivotY + dx * s + dy * c;
    };
    uint32_t col = tintColour(colour);
    Vertex v[4];
    float ox, oy;
    turn(x1, y0, ox, oy);
    v[0] = vertex(ox, oy, z, col, uv.u1, uv.v0);
    turn(x1, y1, ox, oy);
    v[1] = vertex(ox, oy, z, col, uv.u1, uv.v1);
    turn(x0, y0, ox, oy);
    v[2] = vertex(ox, oy, z, col, uv.u0, uv.v0);
    turn(x0, y1, ox, oy);
    v[3] = vertex(ox, oy, z, col, uv.u0, uv.v1);
    submit(v, 4, platform::gpu::kTriangleStrip, 2);
}

void drawQuadCorners(const Vector3& p0, const Vector3& p1, const Vector3& p2, const Vector3& p3, uint32_t c0,
                     uint32_t c1, uint32_t c2, uint32_t c3) {
    uint32_t t0 = tintColour(c0), t1 = tintColour(c1), t2 = tintColour(c2), t3 = tintColour(c3);
    Vertex v[6] = {vertex(p0.x, p0.y, p0.z, t0, 0.0f, 0.0f),   vertex(p1.x, p1.y, p1.z, t1, 0.0f, -1.0f),
                   vertex(p2.x, p2.y, p2.z, t2, -1.0f, -1.0f), vertex(p0.x, p0.y, p0.z, t0, 0.0f, 0.0f),
                   vertex(p2.x, p2.y, p2.z, t2, -1.0f, -1.0f), vertex(p3.x, p3.y, p3.z, t3, -1.0f, 0.0f)};
    submit(v, 6, platform::gpu::kTriangleList, 2);
}

void drawQuadCornersPlain(const Vector3& p0, const Vector3& p1, const Vector3& p2, const Vector3& p3,
                          uint32_t colour) {
    uint32_t t = tintColour(colour);
    Vertex v[6] = {vertex(p0.x, p0.y, p0.z, t, 0.0f, 0.0f), vertex(p1.x, p1.y, p1.z, t, 0.0f, 1.0f),
                   vertex(p2.x, p2.y, p2.z, t, 1.0f, 1.0f), vertex(p0.x, p0.y, p0.z, t, 0.0f, 0.0f),
                   vertex(p2.x, p2.y, p2.z, t, 1.0f, 1.0f), vertex(p3.x, p3.y, p3.z, t, 1.0f, 0.0f)};
    submit(v, 6, platform::gpu::kTriangleList, 2);
}

void drawQuadCornersUV(const Vector3& p0, const Vector3& p1, const Vector3& p2, const Vector3& p3,
                       const TexturePoint& t0, const TexturePoint& t1, const TexturePoint& t2,
                       const TexturePoint& t3, uint32_t colour) {
    uint32_t t = tintColour(colour);
    Vertex v[4] = {vertex(p1.x, p1.y, p1.z, t, t1.u, t1.v), vertex(p2.x, p2.y, p2.z, t, t2.u, t2.v),
                   vertex(p0.x, p0.y, p0.z, t, t0.u, t0.v), vertex(p3.x, p3.y, p3.z, t, t3.u, t3.v)};
    submit(v, 4, platform::gpu::kTriangleStrip, 2);
}

void drawRing(float x, float y, float size, int elements, float angle, uint32_t colour, float z) {
    if (elements <= 0 || size <= 0.0f) return;
    const float radius = size / 2.0f;
    const float half = size / 10.0f;
    const float step = 6.2831853f / static_cast<float>(elements);
    const float first = angle * 0.017453292f;
    for (int i = 0; i < elements; ++i) {
        const float a = first - step * static_cast<float>(i);
        const float cx = x + radius * std::cos(a);
        const float cy = y + radius * std::sin(a);
        const float fade = 1.0f - 0.75f * static_cast<float>(i) / static_cast<float>(elements);
        // Colour and alpha both fade, for added light as for ordinary blending.
        uint32_t shade = 0;
        for (int shift = 0; shift < 32; shift += 8)
            shade |= static_cast<uint32_t>(static_cast<float>((colour >> shift) & 0xFFu) * fade) << shift;
        axisQuad(cx - half, cy + half, cx + half, cy - half, UVRect{0.0f, 0.0f, 1.0f, 1.0f}, shade, shade, shade, shade,
                 z);
    }
}

namespace {
// The direction across a band from d, facing the viewer, of length w (0 when d points at the viewer).
Vector3 bandNormal(const Vector3& d, float w) {
    const Matrix4& view = viewMatrix();
    Vector3 v{-view.m[0][2], -view.m[1][2], -view.m[2][2]};
    Vector3 n{d.y * v.z - d.z * v.y, d.z * v.x - d.x * v.z, d.x * v.y - d.y * v.x};
    float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length == 0.0f) return Vector3{0.0f, 0.0f, 0.0f};
    float k = w / length;
    return Vector3{n.x * k, n.y * k, n.z * k};
}
Vector3 plus(const Vector3& a, const Vector3& b) { return Vector3{a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector3 minus(const Vector3& a, const Vector3& b) { return Vector3{a.x - b.x, a.y - b.y, a.z - b.z}; }
}  // namespace

void drawBeam(const Vector3& a, const Vector3& b, float halfWidth, uint32_t colour) {
    Vector3 n = bandNormal(minus(a, b), halfWidth);
    drawQuadCornersPlain(minus(b, n), plus(b, n), plus(a, n), minus(a, n), colour);
}

void drawBeamGradient(const Vector3& p, const Vector3& q, float halfWidth, uint32_t colourP, uint32_t colourQ) {
    Vector3 n = bandNormal(minus(p, q), halfWidth);
    drawQuadCorners(minus(q, n), plus(q, n), plus(p, n), minus(p, n), colourQ, colourQ, colourP, colourP);
}

void drawScreenRect(float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1,
                    uint32_t colour) {
    // The texture rectangle moves 0.001 inwards so that neighbouring texels do not bleed in.
    u0 += 0.001f;
    v0 += 0.001f;
    u1 -= 0.001f;
    v1 -= 0.001f;
    float left = x0 - 400.0f, right = x1 - 400.0f, top = 300.0f - y0, bottom = 300.0f - y1;
    drawQuadCornersUV(Vector3{right, bottom, 10.0f}, Vector3{right, top, 10.0f}, Vector3{left, top, 10.0f},
                      Vector3{left, bottom, 10.0f}, TexturePoint{u1, v1}, TexturePoint{u1, v0},
                      TexturePoint{u0, v0}, TexturePoint{u0, v1}, colour);
}

void drawScreenRectUncoloured(float x0, float y0, float x1, float y1) {
    float left = x0 - 400.0f, right = x1 - 400.0f, top = 300.0f - y0, bottom = 300.0f - y1;
    struct PlainVertex {
        float x, y, z, u, v;
    };
    const PlainVertex v[4] = {{left, top, 10.0f, 0.0f, 0.0f},
                              {right, top, 10.0f, 1.0f, 0.0f},
                              {left, bottom, 10.0f, 0.0f, 1.0f},
                              {right, bottom, 10.0f, 1.0f, 1.0f}};
    platform::gpu::drawRaw(v, 4, platform::gpu::kLayoutPosition | platform::gpu::kLayoutTexture,
                           platform::gpu::kTriangleStrip);
    triangleCounter() += 2;
}

int vertexStride(uint32_t layout) {
    int stride = (layout & kVertexNormal) ? 24 : 12;
    if (layout & kVertexTexture) stride += 8;
    if (layout & kVertexDiffuse) stride += 4;
    if (layout & kVertexSpecular) stride += 4;
    if (layout & kVertexPointSize) stride += 4;
    return stride;
}

void drawVertices(const void* vertices, int primitiveCount, uint32_t layout, int primitiveType) {
    if (!vertices || primitiveCount <= 0) return;
    int count;
    switch (primitiveType) {
        case kPrimitivePoints: count = primitiveCount; break;
        case kPrimitiveLines: count = primitiveCount * 2; break;
        case kPrimitiveLineStrip: count = primitiveCount + 1; break;
        case kPrimitiveTriangleStrip:
        case kPrimitiveTriangleFan: count = primitiveCount + 2; break;
        case kPrimitiveTriangles: count = primitiveCount * 3; break;
        default: return;
    }
    platform::gpu::drawRaw(vertices, count, layout | kVertexPosition, primitiveType);
    triangleCounter() += static_cast<uint32_t>(primitiveCount);
}
