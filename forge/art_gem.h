// Shaded "gem" bodies: any shape given by a distance function, lit from the top left, with a
// bevelled rim, a dark outline, a soft specular spot, an optional moving shine and a drop shadow.
#pragma once

#include "art_canvas.h"

namespace forge::art {

struct GemStyle {
    Col base;
    float bevel = 0.3f;       // rim width as a fraction of the radius
    float shine = -100;       // position of the sweeping shine band (radii along x + y), far = none
    float specShiftX = 0;     // moves the specular spot (radii)
    float shadow = 0.4f;      // drop shadow strength
    float outline = 0.55f;    // darkening of the outer pixel ring
    float gloss = 0.6f;       // specular strength
    Col deep{-1, 0, 0, 1};    // the colour of the shaded side (default: the base darkened)
    float reach = 1.3f;       // how far the shape reaches from the centre, in radii
};

template <class D>
void paintGem(Image& im, float cx, float cy, float R, D sdf, const GemStyle& st) {
    const float lx = -0.57f, ly = -0.82f;
    float reach = R * st.reach;
    float x0 = cx - reach, y0 = cy - reach, x1 = cx + reach + 4, y1 = cy + reach + 5;
    if (st.shadow > 0)
        fill(im, x0, y0, x1, y1, [&](float x, float y) { return sdf(x - 1.5f, y - 3.f); },
             [&](float, float, float) { return Col{0, 0, 0, st.shadow}; }, 4.f);
    float bevel = st.bevel * R;
    fill(im, x0, y0, x1, y1, [&](float x, float y) { return sdf(x, y); },
         [&](float x, float y, float d) {
             const float h = 0.7f;
             float gx = sdf(x + h, y) - sdf(x - h, y), gy = sdf(x, y + h) - sdf(x, y - h);
             float gl = std::sqrt(gx * gx + gy * gy);
             if (gl > 1e-5f) {
                 gx /= gl;
                 gy /= gl;
             }
             float e = clamp01(-d / bevel);
             float p = std::clamp(((x - cx) * lx + (y - cy) * ly) / R, -1.f, 1.f);
             Col deep = st.deep.r < 0 ? darken(st.base, 0.55f) : st.deep;
             Col c = p >= 0 ? lighten(st.base, 0.18f * p) : mix(st.base, deep, -p * 0.55f);
             float rim = (1 - e) * (1 - e);
             float nl = -(gx * lx + gy * ly);  // outward normal against the light direction
             float rimLight = rim * nl;
             if (rimLight > 0) c = lighten(c, rimLight * 0.65f);
             else c = mix(c, deep, clamp01(-rimLight * 0.9f));
             // the flat table inside the rim catches a little more light
             if (e >= 1) c = lighten(c, 0.06f);
             // glassy depth: a lighter heart and light gathered at the lower right inside the rim
             float rr = std::hypot(x - cx, y - cy) / R;
             c = lighten(c, 0.12f * clamp01(1 - rr));
             float cxg = (x - (cx + 0.3f * R)) / (0.45f * R), cyg = (y - (cy + 0.42f * R)) / (0.28f * R);
             c = lighten(c, 0.22f * st.gloss * std::exp(-(cxg * cxg + cyg * cyg)) * e);
             // specular spot
             float sx = (x - (cx + (-0.32f + st.specShiftX) * R)) / (0.36f * R);
             float sy = (y - (cy - 0.45f * R)) / (0.2f * R);
             float rx = sx * 0.87f + sy * 0.5f, ry = -sx * 0.5f + sy * 0.87f;
             float spot = std::exp(-(rx * rx + ry * ry) * 1.6f);
             c = lighten(c, spot * st.gloss);
             // the sweeping shine
             float s = ((x - cx) + (y - cy)) / R - st.shine;
             c = lighten(c, std::exp(-s * s / 0.05f) * 0.7f);
             // outline
             float o = smooth(-2.2f, 0.f, d);
             c = darken(c, o * st.outline);
             c.a = 1;
             return c;
         });
}

}  // namespace forge::art
