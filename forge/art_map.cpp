// The journey map: the path through the 15 stage sites, the painted map, its frame and icons.
#include "art_map.h"

#include "art_gem.h"
#include "art_parts.h"
#include "art_text.h"

namespace forge::art {

namespace {

// The path's guide points (map pixels); a Catmull-Rom curve runs through them.
const MapPoint kGuide[] = {{150, 930}, {290, 880}, {440, 930}, {600, 880}, {760, 920}, {900, 840}, {880, 700},
                           {720, 650}, {560, 700}, {400, 660}, {240, 700}, {120, 600}, {160, 470}, {320, 420},
                           {480, 470}, {650, 420}, {820, 460}, {910, 330}, {830, 190}, {660, 150}, {490, 200},
                           {330, 150}, {180, 110}};

struct PathState {
    std::vector<MapPoint> points;
    bool ready = false;
};
PathState g_path;

MapPoint catmull(const MapPoint& p0, const MapPoint& p1, const MapPoint& p2, const MapPoint& p3, float t) {
    float t2 = t * t, t3 = t2 * t;
    auto f = [&](float a, float b, float c, float d) {
        return 0.5f * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (-a + 3 * b - 3 * c + d) * t3);
    };
    return MapPoint{f(p0.x, p1.x, p2.x, p3.x), f(p0.y, p1.y, p2.y, p3.y)};
}

void buildPath() {
    const int n = int(sizeof kGuide / sizeof kGuide[0]);
    std::vector<MapPoint> dense;
    for (int i = 0; i + 1 < n; ++i) {
        const MapPoint& p0 = kGuide[std::max(0, i - 1)];
        const MapPoint& p3 = kGuide[std::min(n - 1, i + 2)];
        for (int k = 0; k < 200; ++k) dense.push_back(catmull(p0, kGuide[i], kGuide[i + 1], p3, k / 200.f));
    }
    dense.push_back(kGuide[n - 1]);
    // resample at equal steps of 20 units of arc length
    std::vector<MapPoint> pts{dense[0]};
    float carried = 0;
    for (size_t i = 1; i < dense.size(); ++i) {
        MapPoint a = dense[i - 1], b = dense[i];
        float seg = std::hypot(b.x - a.x, b.y - a.y);
        float pos = 0;
        while (carried + (seg - pos) >= 20) {
            float need = 20 - carried;
            pos += need;
            float t = pos / seg;
            pts.push_back(MapPoint{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
            carried = 0;
        }
        carried += seg - pos;
    }
    g_path.points = pts;
    g_path.ready = true;
}

}  // namespace

const std::vector<MapPoint>& mapPathPoints() {
    if (!g_path.ready) buildPath();
    return g_path.points;
}

float mapPathLength() { return 20.f * float(mapPathPoints().size() - 1); }

MapPoint mapPointAt(float d) {
    const auto& p = mapPathPoints();
    float L = mapPathLength();
    d = std::clamp(d, 0.f, L);
    int b = int(std::floor(d / 20));
    if (b > int(p.size()) - 2) return p.back();
    float t = d / 20 - b;
    return MapPoint{p[b].x + (p[b + 1].x - p[b].x) * t, p[b].y + (p[b + 1].y - p[b].y) * t};
}

MapPoint stageSite(int stage) { return mapPointAt(stage * mapPathLength() / 14); }

namespace {

Image megamap() {
    const int S = 1024;
    const auto& pts = mapPathPoints();
    // nearness to the path keeps the path on land
    std::vector<float> near(size_t(S) * S, 0.f);
    for (const MapPoint& p : pts)
        for (int y = std::max(0, int(p.y) - 90); y < std::min(S, int(p.y) + 90); ++y)
            for (int x = std::max(0, int(p.x) - 90); x < std::min(S, int(p.x) + 90); ++x) {
                float d = std::hypot(x - p.x, y - p.y);
                float v = clamp01(1 - d / 90);
                float& n = near[size_t(y) * S + x];
                n = std::max(n, v);
            }
    std::vector<float> h(size_t(S) * S);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            float nx = (x - 512) / 512.f, ny = (y - 512) / 512.f;
            float fall = 1 - 0.55f * (nx * nx + ny * ny);
            float v = fbm(x / 220.f, y / 220.f, 7001, 6) * 0.9f + 0.25f * fall - 0.12f;
            float n = near[size_t(y) * S + x];
            if (n > 0) v = std::max(v, lerp(v, 0.47f + 0.16f * fbm(x / 70.f, y / 70.f, 7002, 4), smooth(0.f, 0.6f, n)));
            h[size_t(y) * S + x] = v;
        }
    Image im(S, S);
    const float sea = 0.44f;
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            float v = h[size_t(y) * S + x];
            float gx = h[size_t(y) * S + std::min(S - 1, x + 1)] - h[size_t(y) * S + std::max(0, x - 1)];
            float gy = h[size_t(std::min(S - 1, y + 1)) * S + x] - h[size_t(std::max(0, y - 1)) * S + x];
            Col c;
            if (v < sea) {
                float t = clamp01((sea - v) / 0.15f);
                c = mix(hex(0x6ab8c8), hex(0x1e5a8a), t);
                float wave = std::sin((v * 300) + fbm(x / 30.f, y / 30.f, 7100, 2) * 6);
                if (t < 0.4f && wave > 0.92f) c = lighten(c, 0.25f);
            } else {
                float e = (v - sea) / (1 - sea);
                if (e < 0.03f) c = hex(0xe8d49a);
                else if (e < 0.18f) c = mix(hex(0x8cc060), hex(0x6aa848), (e - 0.03f) / 0.15f);
                else if (e < 0.32f) c = mix(hex(0x5a9a40), hex(0x3e7a34), (e - 0.18f) / 0.14f);
                else if (e < 0.45f) c = mix(hex(0x9a8a5a), hex(0x8a7258), (e - 0.32f) / 0.13f);
                else c = mix(hex(0x9a948c), hex(0xf4f4f8), clamp01((e - 0.45f) / 0.12f));
                float light = clamp01(0.5f - (gx * -0.7f + gy * -0.7f) * 40);
                c = scale(c, 0.75f + 0.5f * light);
            }
            // paper grain and a warm parchment tint over everything
            float grain = fbm(x / 3.f, y / 3.f, 7200, 2);
            c = mix(c, hex(0xe8d8b0), 0.18f);
            c = scale(c, 0.93f + 0.1f * grain);
            im.at(x, y) = withAlpha(c, 1);
        }
    // trees and peaks as little painted symbols
    Rng rng(7300);
    for (int i = 0; i < 5000; ++i) {
        float x = rng.range(10, 1014), y = rng.range(10, 1014);
        float v = h[size_t(y) * S + size_t(x)];
        float e = (v - sea) / (1 - sea);
        if (near[size_t(y) * S + size_t(x)] > 0.55f) continue;
        bool forest = fbm(x / 90.f, y / 90.f, 7250, 3) > 0.52f;
        if (e > 0.06f && e < 0.32f && forest) {
            float r = rng.range(4, 7);
            fill(im, x - r - 2, y - r * 2.5f, x + r + 2, y + 3, [&](float px, float py) { return sdCircle(px, py, x, y - r, r); },
                 [&](float px, float py, float) {
                     return ((px - x) + (py - y + r)) < 0 ? hex(0x4a8a3a) : hex(0x2a5a26);
                 });
        } else if (e > 0.34f) {
            float w = rng.range(12, 22), hh = w * 1.1f;
            Poly p;
            p.add(x, y - hh);
            p.add(x + w, y);
            p.add(x - w, y);
            fill(im, x - w - 1, y - hh - 1, x + w + 1, y + 1, [&](float px, float py) { return sdPoly(p, px, py); },
                 [&](float px, float py, float) {
                     Col c = px < x ? hex(0xb8ab94) : hex(0x7a6a58);
                     if (py < y - hh * 0.6f) c = px < x ? hex(0xffffff) : hex(0xd0d4e0);
                     return c;
                 });
        }
    }
    // the path: a shadowed dashed road
    const float L = mapPathLength();
    for (float d = 0; d < L; d += 2) {
        MapPoint p = mapPointAt(d);
        fill(im, p.x - 9, p.y - 9, p.x + 9, p.y + 9, [&](float x, float y) { return sdCircle(x, y, p.x + 1, p.y + 2, 7); },
             [&](float, float, float) { return Col{0.2f, 0.12f, 0.05f, 0.08f}; }, 2.f);
    }
    for (float d = 0; d < L; d += 1) {
        MapPoint p = mapPointAt(d);
        bool dash = std::fmod(d, 24.f) < 15;
        fill(im, p.x - 6, p.y - 6, p.x + 6, p.y + 6, [&](float x, float y) { return sdCircle(x, y, p.x, p.y, 4.2f); },
             [&](float, float, float) { return dash ? hex(0xb8864a) : hex(0xe8d0a0); });
    }
    // the stage sites: round clearings with a ring of stones and a pennant
    for (int s = 0; s < 15; ++s) {
        MapPoint p = stageSite(s);
        fill(im, p.x - 46, p.y - 46, p.x + 46, p.y + 46, [&](float x, float y) { return sdCircle(x, y, p.x + 2, p.y + 3, 36); },
             [&](float, float, float) { return Col{0, 0, 0, 0.25f}; }, 6.f);
        fill(im, p.x - 40, p.y - 40, p.x + 40, p.y + 40, [&](float x, float y) { return sdCircle(x, y, p.x, p.y, 34); },
             [&](float x, float y, float d) {
                 float n = fbm(x / 6, y / 6, 7400u + uint32_t(s), 3);
                 Col c = mix(hex(0xe8d8a8), hex(0xc8b080), n);
                 return darken(c, smooth(-5, 0, d) * 0.4f);
             });
        for (int k = 0; k < 14; ++k) {
            float a = 2 * kPi * k / 14;
            float sx = p.x + std::cos(a) * 34, sy = p.y + std::sin(a) * 34;
            GemStyle st;
            st.base = hex(0x9a948a);
            st.shadow = 0.3f;
            st.gloss = 0.2f;
            paintGem(im, sx, sy, 4, [&](float x, float y) { return sdCircle(x, y, sx, sy, 4); }, st);
        }
    }
    // a compass rose in the sea corner
    {
        float cx = 930, cy = 95;
        for (int k = 0; k < 8; ++k) {
            float a = kPi / 4 * k, len = k % 2 ? 30.f : 60.f;
            for (int side = 0; side < 2; ++side) {
                Poly p;
                p.add(cx, cy);
                p.add(cx + std::sin(a) * len, cy - std::cos(a) * len);
                float b = a + (side ? 0.35f : -0.35f);
                p.add(cx + std::sin(b) * len * 0.3f, cy - std::cos(b) * len * 0.3f);
                Col c = side ? hex(0x8a5a2a) : hex(0xf0e0b8);
                fillPoly(im, p, c);
            }
        }
        drawLabel(im, cx, cy - 66, 18, "N", hex(0x5a3a1a), true, true);
    }
    return im;
}

Image mapFrame() {
    Image im(800, 600);
    shade(im, [&](float x, float y, Col) {
        float n = fbm(x / 90, y / 6, 7600, 4);
        Col c = mix(hex(0x5a3418), hex(0x8a5a30), n);
        return withAlpha(c, 1);
    });
    // the parchment side panel
    fill(im, 520, 8, 792, 592, [](float x, float y) { return sdBox(x, y, 656, 300, 134, 290, 10); },
         [](float x, float y, float d) {
             float n = fbm(x / 40, y / 40, 7700, 4);
             Col c = mix(hex(0xf0e0b8), hex(0xd8c090), n);
             return darken(c, smooth(-12, 0, d) * 0.35f);
         });
    // gilded rims round the view window, the artefact frame and the start plate
    auto rim = [&](auto dist) {
        fill(im, 0, 0, 800, 600, [&](float x, float y) { return std::fabs(dist(x, y)) - 3.5f; },
             [&](float x, float y, float d) {
                 Col c = mix(hex(0xffe090), hex(0xa87a28), clamp01((x + y) / 1400 + 0.3f * std::sin(x / 30)));
                 return darken(c, smooth(-3.5f, 0, d) * 0.4f);
             });
    };
    rim([](float x, float y) { return sdBox(x, y, 264, 300, 250, 286, 6); });
    fill(im, 0, 0, 800, 600, [](float x, float y) { return sdBox(x, y, 264, 300, 248, 284, 4); },
         [](float, float, float) { return hex(0x101820); });
    rim([](float x, float y) { return sdBox(x, y, 656, 144, 134, 134, 12); });
    fill(im, 0, 0, 800, 600, [](float x, float y) { return sdBox(x, y, 656, 144, 130, 130, 10); },
         [](float x, float y, float) { return mix(hex(0x3a2a1a), hex(0x241810), clamp01(std::hypot(x - 656, y - 144) / 180)); });
    rim([](float x, float y) { return sdBox(x, y, 656, 545, 124, 46, 20); });
    // corner ornaments
    for (int k = 0; k < 4; ++k) {
        float cx = k % 2 ? 792.f : 8.f, cy = k / 2 ? 592.f : 8.f;
        GemStyle st;
        st.base = hex(0x2aa0a0);
        Poly star = starPoly(cx, cy, 7, 3.5f, 4, 0);
        paintGem(im, cx, cy, 6, [&](float x, float y) { return sdPoly(star, x, y); }, st);
    }
    return im;
}

Image questionIcon() {
    Image im(64, 64);
    GemStyle st;
    st.base = hex(0xd8c090);
    st.bevel = 0.25f;
    paintGem(im, 31, 31, 27, [](float x, float y) { return sdCircle(x, y, 31, 31, 27); }, st);
    fill(im, 0, 0, 64, 64, [](float x, float y) { return std::fabs(sdCircle(x, y, 31, 31, 22)) - 1.2f; },
         [](float, float, float) { return hex(0x8a6a3a); });
    drawLabel(im, 32.5f, 46, 40, "?", Col{0, 0, 0, 0.35f}, true, true);
    drawLabel(im, 31, 44, 40, "?", hex(0x6a3a10), true, true);
    return im;
}

Image starIcon(int size) {
    Image im(size, size);
    float c = size / 2.f, r = size * 0.46f;
    GemStyle st;
    st.base = hex(0xffd23a);
    st.bevel = 0.4f;
    st.shadow = 0.3f;
    Poly p = starPoly(c, c, r, r * 0.45f, 5, 0);
    paintGem(im, c, c, r, [&](float x, float y) { return sdPoly(p, x, y); }, st);
    return im;
}

Image levelMark() {
    Image im(32, 8);
    fill(im, 0, 0, 32, 8, [](float x, float y) { return sdBox(x, y, 16, 4, 13, 2.2f, 2.2f); },
         [](float, float, float) { return hex(0xfff4d0); });
    return im;
}

Image backButton(bool glow) {
    Image im(64, 64);
    if (glow) {
        shade(im, [](float x, float y, Col) {
            float d = std::hypot(x - 32, y - 32) / 32;
            float a = std::exp(-std::pow((d - 0.8f) / 0.2f, 2.f)) + 0.35f * clamp01(1 - d);
            return Col{1, 0.9f, 0.5f, clamp01(a)};
        });
        return im;
    }
    GemStyle st;
    st.base = hex(0x8a5a30);
    st.bevel = 0.22f;
    paintGem(im, 31, 31, 25, [](float x, float y) { return sdCircle(x, y, 31, 31, 25); }, st);
    fill(im, 0, 0, 64, 64, [](float x, float y) { return std::fabs(sdCircle(x, y, 31, 31, 21)) - 1.5f; },
         [](float, float, float) { return hex(0xe8c060); });
    Poly arrow;
    arrow.add(16, 31);
    arrow.add(30, 19);
    arrow.add(30, 26);
    arrow.add(46, 26);
    arrow.add(46, 36);
    arrow.add(30, 36);
    arrow.add(30, 43);
    GemStyle a;
    a.base = hex(0xffe8a0);
    a.shadow = 0.5f;
    a.bevel = 0.5f;
    paintGem(im, 31, 31, 15, [&](float x, float y) { return sdPoly(arrow, x, y); }, a);
    return im;
}

Image startGlow() {
    Image im(256, 128);
    shade(im, [](float x, float y, Col) {
        float dx = (x - 128) / 124, dy = (y - 64) / 52;
        float d = std::sqrt(dx * dx + dy * dy);
        float a = 0.85f * std::exp(-std::pow((d - 0.82f) / 0.16f, 2.f)) + 0.35f * clamp01(1 - d);
        return Col{1, 0.86f, 0.45f, clamp01(a)};
    });
    return im;
}

}  // namespace

void paintMap(Context& ctx) {
    emit(ctx, "megamap.jpg", megamap());
    emit(ctx, "mapback.jpg", mapFrame());
    emit(ctx, "mapartefact_q.tga", questionIcon());
    emit(ctx, "mapstar.tga", starIcon(32));
    emit(ctx, "maplevelmark.tga", levelMark());
    emit(ctx, "mapback1.tga", backButton(false));
    emit(ctx, "mapback2.tga", backButton(true));
    emit(ctx, "_a_mapstart.jpg", startGlow());
}

}  // namespace forge::art
