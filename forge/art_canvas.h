// A small painter for the forge: float RGBA canvases, anti-aliased shapes drawn from distance
// functions, smooth noise, blurs, scaling and the picture encoders (TGA, JPEG, alpha JPEG).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "forge.h"

namespace forge::art {

constexpr float kPi = 3.14159265358979f;

struct Col {
    float r = 0, g = 0, b = 0, a = 1;
};

inline float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float lerp(float a, float b, float t) { return a + (b - a) * t; }
inline float smooth(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
inline Col hex(uint32_t rgb, float a = 1) {
    return Col{((rgb >> 16) & 255) / 255.f, ((rgb >> 8) & 255) / 255.f, (rgb & 255) / 255.f, a};
}
inline Col mix(Col a, Col b, float t) {
    return Col{lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t), lerp(a.a, b.a, t)};
}
inline Col scale(Col c, float k) { return Col{c.r * k, c.g * k, c.b * k, c.a}; }
inline Col withAlpha(Col c, float a) { return Col{c.r, c.g, c.b, a}; }
inline Col lighten(Col c, float t) { return mix(c, Col{1, 1, 1, c.a}, t); }
inline Col darken(Col c, float t) { return mix(c, Col{0, 0, 0, c.a}, t); }
inline float luma(Col c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

struct Image {
    int w = 0, h = 0;
    std::vector<Col> px;
    Image() = default;
    Image(int width, int height, Col fill = Col{0, 0, 0, 0}) : w(width), h(height), px(size_t(width) * height, fill) {}
    Col& at(int x, int y) { return px[size_t(y) * w + x]; }
    const Col& at(int x, int y) const { return px[size_t(y) * w + x]; }
    Col sample(float x, float y) const;  // bilinear, clamped, pixel centres at +0.5
};

// Lays src over dst with the given coverage (straight alpha).
inline void over(Col& dst, const Col& src, float cover) {
    float as = src.a * cover;
    if (as <= 0) return;
    if (as >= 1) {
        dst = Col{src.r, src.g, src.b, 1};
        return;
    }
    float ad = dst.a * (1 - as);
    float ao = as + ad;
    float inv = ao > 0 ? 1 / ao : 0;
    dst = Col{(src.r * as + dst.r * ad) * inv, (src.g * as + dst.g * ad) * inv, (src.b * as + dst.b * ad) * inv, ao};
}
// Adds light: colour times coverage times alpha, alpha raised too.
inline void addLight(Col& dst, const Col& src, float cover) {
    float k = src.a * cover;
    dst.r = std::min(1.f, dst.r + src.r * k);
    dst.g = std::min(1.f, dst.g + src.g * k);
    dst.b = std::min(1.f, dst.b + src.b * k);
}

// Fills the shape whose signed distance (pixels, negative inside) is dist(x, y), with the colour
// colour(x, y, d), anti-aliased over `soft` pixels, within the box x0..x1, y0..y1.
template <class D, class C>
void fill(Image& im, float x0, float y0, float x1, float y1, D dist, C colour, float soft = 1.f) {
    int ix0 = std::max(0, int(std::floor(x0))), iy0 = std::max(0, int(std::floor(y0)));
    int ix1 = std::min(im.w, int(std::ceil(x1)) + 1), iy1 = std::min(im.h, int(std::ceil(y1)) + 1);
    float inv = 1.f / soft;
    for (int py = iy0; py < iy1; ++py) {
        for (int px = ix0; px < ix1; ++px) {
            float x = px + 0.5f, y = py + 0.5f;
            float d = dist(x, y);
            float cov = clamp01(0.5f - d * inv);
            if (cov <= 0) continue;
            over(im.at(px, py), colour(x, y, d), cov);
        }
    }
}
// Every pixel: dst = f(x, y, dst).
template <class F>
void shade(Image& im, F f) {
    for (int py = 0; py < im.h; ++py)
        for (int px = 0; px < im.w; ++px) im.at(px, py) = f(px + 0.5f, py + 0.5f, im.at(px, py));
}

// Distances.
inline float sdCircle(float x, float y, float cx, float cy, float r) { return std::hypot(x - cx, y - cy) - r; }
inline float sdBox(float x, float y, float cx, float cy, float hw, float hh, float round = 0) {
    float qx = std::fabs(x - cx) - hw + round, qy = std::fabs(y - cy) - hh + round;
    float ox = std::max(qx, 0.f), oy = std::max(qy, 0.f);
    return std::hypot(ox, oy) + std::min(std::max(qx, qy), 0.f) - round;
}
inline float sdSegment(float x, float y, float ax, float ay, float bx, float by) {
    float pax = x - ax, pay = y - ay, bax = bx - ax, bay = by - ay;
    float l2 = bax * bax + bay * bay;
    float h = l2 > 0 ? clamp01((pax * bax + pay * bay) / l2) : 0;
    return std::hypot(pax - bax * h, pay - bay * h);
}
inline float sdEllipse(float x, float y, float cx, float cy, float rx, float ry) {
    float dx = (x - cx) / rx, dy = (y - cy) / ry;
    return (std::sqrt(dx * dx + dy * dy) - 1) * std::min(rx, ry);
}

struct Poly {
    std::vector<float> x, y;
    void add(float px, float py) {
        x.push_back(px);
        y.push_back(py);
    }
    float minX() const { return *std::min_element(x.begin(), x.end()); }
    float maxX() const { return *std::max_element(x.begin(), x.end()); }
    float minY() const { return *std::min_element(y.begin(), y.end()); }
    float maxY() const { return *std::max_element(y.begin(), y.end()); }
};
float sdPoly(const Poly& p, float x, float y);
Poly regularPoly(float cx, float cy, float r, int n, float turn);
Poly starPoly(float cx, float cy, float r0, float r1, int n, float turn);
void fillPoly(Image& im, const Poly& p, Col c);

// Noise in 0..1, smooth; period (in lattice cells) > 0 makes it wrap.
float valueNoise(float x, float y, uint32_t seed, int periodX = 0, int periodY = 0);
float fbm(float x, float y, uint32_t seed, int octaves, int periodX = 0, int periodY = 0);

struct Rng {
    uint32_t s;
    explicit Rng(uint32_t seed) : s(seed * 2654435761u + 12345u) {}
    uint32_t next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    float unit() { return (next() >> 8) * (1.f / 16777216.f); }
    float range(float a, float b) { return a + (b - a) * unit(); }
    int irange(int a, int b) { return a + int(next() % uint32_t(b - a + 1)); }
};

// Canvas operations.
void blur(Image& im, int radius);           // box blur (three passes), alpha-aware
Image resized(const Image& im, int w, int h);  // area average down, bilinear up
void blit(Image& dst, const Image& src, int x, int y);  // src over dst at (x, y)
void blitScaled(Image& dst, const Image& src, float x, float y, float w, float h, float alpha = 1);
Image shadowOf(const Image& im, int radius, float dx, float dy, float strength);  // soft dark copy
void overImage(Image& dst, const Image& src);  // same size, src over dst
Image flattened(const Image& im, Col background);  // opaque copy
// Colour times alpha: pictures drawn with added light (source colour, one) add nothing where
// they are clear.
Image premultiplied(const Image& im);

// Encoders.
std::vector<uint8_t> encodeTga(const Image& im);
std::vector<uint8_t> encodeJpg(const Image& im, int quality = 92);
std::vector<uint8_t> encodeAlphaJpg(const Image& im, int quality = 92);
std::vector<uint8_t> encodePng(const Image& im);

// Writes a picture into the data set by the extension of its name (".tga", ".jpg", and
// "_a_*.jpg" as an alpha JPEG) and keeps a thumbnail for the contact sheet.
void emit(Context& ctx, const std::string& relPath, const Image& im);
void writeContactSheet(Context& ctx);
void resetEmitted();

}  // namespace forge::art
