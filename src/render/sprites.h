// Quads in the 800 x 600 drawing space, and the global colour tint.
#pragma once

#include <cstdint>

struct UVRect {
    float u0, v0, u1, v1;
};

// Screen pixels, origin top left, y down; z 10.
void drawScreenRect(float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1,
                    uint32_t colour);
// Drawing space (origin centre, y up); (x0, y0) is the top-left corner.
void drawQuadRect(float x0, float y0, float x1, float y1, const UVRect& uv, uint32_t colour, float z);
void setTint(float red, float green, float blue, float alpha);
