// Quads in the 800 x 600 drawing space, and the global colour tint.
#pragma once

#include <cstdint>

#include "app/key_text.h"

struct UVRect {
    float u0, v0, u1, v1;
};

struct TexturePoint {
    float u, v;
};

// Vertex layout bits of drawVertices.
constexpr uint32_t kVertexPosition = 0x002;
constexpr uint32_t kVertexNormal = 0x010;
constexpr uint32_t kVertexPointSize = 0x020;
constexpr uint32_t kVertexDiffuse = 0x040;
constexpr uint32_t kVertexSpecular = 0x080;
constexpr uint32_t kVertexTexture = 0x100;
// Primitive kinds of drawVertices.
constexpr int kPrimitivePoints = 1;
constexpr int kPrimitiveLines = 2;
constexpr int kPrimitiveLineStrip = 3;
constexpr int kPrimitiveTriangles = 4;
constexpr int kPrimitiveTriangleStrip = 5;
constexpr int kPrimitiveTriangleFan = 6;

// The sprite vertex: position, ARGB colour, texture coordinates (24 bytes).
struct SpriteVertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};

// Screen pixels, origin top left, y down; z 10.
void drawScreenRect(float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1,
                    uint32_t colour);
void drawScreenRectUncoloured(float x0, float y0, float x1, float y1);
// Drawing space (origin centre, y up); (x0, y0) is the top-left corner.
void drawQuadRect(float x0, float y0, float x1, float y1, const UVRect& uv, uint32_t colour, float z);
// Corner colours in the order top right, bottom right, top left, bottom left.
void drawQuadRectGradient(float x0, float y0, float x1, float y1, const UVRect& uv, uint32_t topRight,
                          uint32_t bottomRight, uint32_t topLeft, uint32_t bottomLeft, float z);
void drawQuad(float x, float y, float width, float height, const UVRect& uv, uint32_t colour, float z);
// Turned by angle degrees (counter-clockwise) about the pivot.
void drawRotatedQuad(float x, float y, float pivotX, float pivotY, float angle, float width, float height,
                     const UVRect& uv, uint32_t colour, float z);
void drawQuadCorners(const Vector3& p0, const Vector3& p1, const Vector3& p2, const Vector3& p3, uint32_t c0,
                     uint32_t c1, uint32_t c2, uint32_t c3);
void drawQuadCornersPlain(const Vector3& p0, const Vector3& p1, const Vector3& p2, const Vector3& p3,
                          uint32_t colour);
void drawQuadCornersUV(const Vector3& p0, const Vector3& p1, const Vector3& p2, const Vector3& p3,
                       const TexturePoint& t0, const TexturePoint& t1, const TexturePoint& t2,
                       const TexturePoint& t3, uint32_t colour);
// A ring of `elements` sprites of the bound texture on a circle of the given diameter around
// (x, y), the first at angle degrees (counter-clockwise from the right) and the others evenly
// after it. Each sprite is a fifth of the diameter across; their colour and alpha fall from the first
// round to the last, so that a ring turned a little every frame is seen to turn.
void drawRing(float x, float y, float size, int elements, float angle, uint32_t colour, float z);
// A band of half width w from b to a, facing the viewer.
void drawBeam(const Vector3& a, const Vector3& b, float halfWidth, uint32_t colour);
void drawBeamGradient(const Vector3& p, const Vector3& q, float halfWidth, uint32_t colourP, uint32_t colourQ);
// The caller's vertices as they are; the stride follows from the layout bits.
void drawVertices(const void* vertices, int primitiveCount, uint32_t layout, int primitiveType);
int vertexStride(uint32_t layout);

void setTint(float red, float green, float blue, float alpha);
// A colour multiplied by the tint, each channel truncated.
uint32_t tintColour(uint32_t argb);
