// The particle sheet: 8 x 8 cells of 64 pixels, white and grey shapes on transparent ground so that
// the effects tint them, their colour premultiplied by their alpha (black where clear). The
// effect files address the cells by number:
//   0 soft glow, 1 star sparkle, 2 smoke puff, 3 flame, 4 ring, 5 spark streak, 6 shard,
//   7 leaf, 8 lightning fork, 9 chain link, 10 generic spark (also the stand-in for the unused
//   cells 25..38), 11 heart, 12 coin glint, 13 four-point twinkle, 14 bubble, 15 snowflake,
//   16 soft square, 17 confetti strip, 18 dust cloud, 19 flower, 20 crescent, 21 cross flare,
//   22 hard dot, 23 droplet, 24 wide halo; then softer and harder variants.
#include "art_parts.h"

namespace forge::art {

namespace {

using Alpha = float (*)(float u, float v, uint32_t seed);  // u, v in -1..1, y down

float glow(float u, float v, uint32_t) {
    float r = std::hypot(u, v);
    return std::pow(clamp01(1 - r), 2.2f);
}
float sparkle(float u, float v, uint32_t) {
    float r = std::hypot(u, v);
    float a = std::atan2(v, u);
    float rays = std::pow(std::fabs(std::cos(2 * a)), 40.f) * clamp01(1 - r) + std::pow(std::fabs(std::cos(2 * a + kPi / 4)), 60.f) * clamp01(1 - r * 1.6f) * 0.6f;
    return clamp01(rays + std::pow(clamp01(1 - r * 2.8f), 1.5f));
}
float smoke(float u, float v, uint32_t seed) {
    float r = std::hypot(u, v);
    float n = fbm(u * 2.2f + 5, v * 2.2f + 5, seed, 4);
    return clamp01((1 - r * 1.1f) * 1.2f) * smooth(0.25f, 0.75f, n + 0.35f * (1 - r)) * 0.85f;
}
float flame(float u, float v, uint32_t seed) {
    float t = (v + 0.95f) / 1.85f;  // 0 at the tip, 1 at the base
    if (t <= 0 || t >= 1) return 0;
    float w = 0.62f * std::sin(kPi * std::pow(t, 0.75f)) + 0.01f;
    float n = fbm(u * 3 + 11, v * 2.4f, seed, 3);
    float body = clamp01(1 - std::fabs(u + 0.08f * (n - 0.5f) * (1 - t)) / w);
    return std::pow(body, 0.7f) * (0.7f + 0.3f * n) * smooth(0.f, 0.12f, t);
}
float ring(float u, float v, uint32_t) {
    float r = std::hypot(u, v);
    return std::exp(-std::pow((r - 0.72f) / 0.11f, 2.f));
}
float streak(float u, float v, uint32_t) {
    return std::exp(-v * v / 0.004f) * clamp01(1 - std::fabs(u)) * clamp01(1 - std::fabs(u)) + std::exp(-(u * u + v * v) / 0.02f) * 0.5f;
}
float shard(float u, float v, uint32_t) {
    Poly p;
    p.add(-0.2f, -0.85f);
    p.add(0.55f, -0.3f);
    p.add(0.25f, 0.8f);
    p.add(-0.5f, 0.35f);
    float d = sdPoly(p, u, v);
    float cov = clamp01(0.5f - d * 32);
    return cov * (0.65f + 0.35f * clamp01((-u - v) * 0.8f + 0.5f));
}
float leaf(float u, float v, uint32_t) {
    float ru = (u + v) * 0.7071f, rv = (v - u) * 0.7071f;
    float d = sdEllipse(ru, rv, 0, 0, 0.85f, 0.38f);
    float vein = std::exp(-rv * rv / 0.002f) * clamp01(0.85f - std::fabs(ru));
    return clamp01(0.5f - d * 32) * (0.85f - vein * 0.35f);
}
float lightningFork(float u, float v, uint32_t seed) {
    Rng rng(seed);
    float best = 10;
    float x = 0, y = -1;
    for (int i = 0; i < 8; ++i) {
        float nx = clamp01((rng.range(-0.35f, 0.35f) + 1) / 2) * 2 - 1, ny = y + 0.25f;
        nx = x * 0.4f + nx * 0.6f;
        best = std::min(best, sdSegment(u, v, x, y, nx, ny));
        if (i == 3) best = std::min(best, sdSegment(u, v, nx, ny, nx + 0.5f, ny + 0.45f));
        x = nx;
        y = ny;
    }
    return clamp01(1 - best / 0.05f) + 0.4f * std::exp(-best * best / 0.02f);
}
float chainLink(float u, float v, uint32_t) {
    float d = std::fabs(sdBox(u, v, 0, 0, 0.7f, 0.38f, 0.38f) + 0.1f) - 0.1f;
    return clamp01(0.5f - d * 32) * (0.7f + 0.3f * clamp01(-v * 2));
}
float spark(float u, float v, uint32_t) {
    float r = std::hypot(u, v);
    float a = std::atan2(v, u);
    float rays = std::pow(std::fabs(std::cos(3 * a)), 24.f) * clamp01(1 - r * 1.2f) * 0.7f;
    return clamp01(std::exp(-r * r / 0.03f) + rays + 0.25f * std::pow(clamp01(1 - r), 3.f));
}
float heart(float u, float v, uint32_t) {
    static Poly shape;
    if (shape.x.empty()) {
        for (int i = 0; i < 72; ++i) {
            float t = 2 * kPi * i / 72, st = std::sin(t);
            shape.add(16 * st * st * st / 19, -(13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t)) / 19 + 0.1f);
        }
    }
    float d = sdPoly(shape, u, v);
    return clamp01(0.5f - d * 32) * (0.8f + 0.2f * clamp01(-d * 4));
}
float coin(float u, float v, uint32_t) {
    float d = sdEllipse(u, v, 0, 0, 0.55f, 0.75f);
    float body = clamp01(0.5f - d * 32) * 0.75f;
    return clamp01(body + sparkle(u - 0.25f, v + 0.3f, 0) * 0.8f);
}
float twinkle(float u, float v, uint32_t) {
    float a = std::fabs(u), b = std::fabs(v);
    float star = clamp01(1 - (std::sqrt(a) + std::sqrt(b)) / 1.05f);
    return clamp01(star * 2.2f);
}
float bubble(float u, float v, uint32_t) {
    float r = std::hypot(u, v);
    float rim = std::exp(-std::pow((r - 0.8f) / 0.08f, 2.f));
    float inner = 0.12f * clamp01(1 - r / 0.8f);
    float spot = std::exp(-((u + 0.35f) * (u + 0.35f) + (v + 0.35f) * (v + 0.35f)) / 0.02f);
    return clamp01(rim + inner + spot);
}
float snowflake(float u, float v, uint32_t) {
    float best = 10;
    for (int i = 0; i < 6; ++i) {
        float a = i * kPi / 3, ca = std::cos(a), sa = std::sin(a);
        best = std::min(best, sdSegment(u, v, 0, 0, ca * 0.85f, sa * 0.85f));
        for (float t : {0.45f, 0.65f}) {
            float bx = ca * t, by = sa * t;
            best = std::min(best, sdSegment(u, v, bx, by, bx + std::cos(a + 0.8f) * 0.2f, by + std::sin(a + 0.8f) * 0.2f));
            best = std::min(best, sdSegment(u, v, bx, by, bx + std::cos(a - 0.8f) * 0.2f, by + std::sin(a - 0.8f) * 0.2f));
        }
    }
    return clamp01(1 - best / 0.045f);
}
float softSquare(float u, float v, uint32_t) { return clamp01(-sdBox(u, v, 0, 0, 0.6f, 0.6f, 0.2f) * 3); }
float confetti(float u, float v, uint32_t) {
    float ru = u * 0.8f + v * 0.6f, rv = -u * 0.6f + v * 0.8f;
    float d = sdBox(ru, rv, 0, 0, 0.7f, 0.22f, 0.05f);
    return clamp01(0.5f - d * 32) * (0.75f + 0.25f * std::sin(ru * 9));
}
float dust(float u, float v, uint32_t seed) { return smoke(u * 0.9f, v * 0.9f, seed) * 0.7f; }
float flower(float u, float v, uint32_t) {
    float r = std::hypot(u, v), a = std::atan2(v, u);
    float petal = 0.55f + 0.3f * std::cos(5 * a);
    float cov = clamp01((petal - r) * 20);
    return cov * (r < 0.22f ? 1.f : 0.8f);
}
float crescent(float u, float v, uint32_t) {
    float d = std::max(sdCircle(u, v, 0, 0, 0.75f), -sdCircle(u, v, 0.3f, -0.2f, 0.62f));
    return clamp01(0.5f - d * 32);
}
float crossFlare(float u, float v, uint32_t) {
    return clamp01(std::exp(-v * v / 0.002f) * clamp01(1 - std::fabs(u)) + std::exp(-u * u / 0.002f) * clamp01(1 - std::fabs(v)) +
                   std::exp(-(u * u + v * v) / 0.05f));
}
float hardDot(float u, float v, uint32_t) { return clamp01(0.5f - sdCircle(u, v, 0, 0, 0.45f) * 32); }
float droplet(float u, float v, uint32_t) {
    float d = std::min(sdCircle(u, v, 0, 0.25f, 0.45f), sdSegment(u, v, 0, -0.7f, 0, 0.2f) - 0.05f - 0.4f * clamp01((v + 0.7f) / 0.9f));
    return clamp01(0.5f - d * 32) * (0.7f + 0.3f * clamp01(-u * 2));
}
float halo(float u, float v, uint32_t) {
    float r = std::hypot(u, v);
    return 0.6f * std::exp(-std::pow((r - 0.55f) / 0.3f, 2.f));
}

const Alpha kCells[25] = {glow,     sparkle, smoke,   flame,      ring,       streak,  shard,     leaf,    lightningFork,
                          chainLink, spark,  heart,   coin,       twinkle,    bubble,  snowflake, softSquare, confetti,
                          dust,     flower,  crescent, crossFlare, hardDot,   droplet, halo};

}  // namespace

void paintParticles(Context& ctx) {
    Image sheet(512, 512, Col{1, 1, 1, 0});
    for (int cell = 0; cell < 64; ++cell) {
        Alpha f;
        float gamma = 1, grey = 1;
        if (cell < 25) f = kCells[cell];
        else if (cell < 39) f = spark;  // the cells the effects remap to the generic spark
        else {
            f = kCells[(cell - 39) % 25];
            gamma = cell < 52 ? 0.6f : 1.7f;  // softer, then harder variants
            grey = cell < 52 ? 1.f : 0.85f;
        }
        int ox = (cell % 8) * 64, oy = (cell / 8) * 64;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                // 2 x 2 samples per pixel keep thin shapes smooth
                float a = 0;
                for (int s = 0; s < 4; ++s) {
                    float u = ((x + 0.25f + 0.5f * (s % 2)) / 32.f) - 1, v = ((y + 0.25f + 0.5f * (s / 2)) / 32.f) - 1;
                    a += f(u, v, 1000u + uint32_t(cell));
                }
                a = std::pow(clamp01(a / 4), gamma);
                // fade to nothing at the cell border so neighbours never bleed in
                float edge = std::min(std::min(x, 63 - x), std::min(y, 63 - y));
                a *= clamp01(edge / 2.f);
                float shadeGrey = grey * (0.85f + 0.15f * a);
                sheet.at(ox + x, oy + y) = Col{shadeGrey, shadeGrey, shadeGrey, a};
            }
    }
    // Most effects add light, which takes the colour and not the alpha.
    emit(ctx, "exploanim.tga", premultiplied(sheet));
}

}  // namespace forge::art
