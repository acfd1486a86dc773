// The board's surroundings: the left HUD strip, the hammer meter, the candle and its stick,
// the glows and the screen-transition picture.
#include "art_gem.h"
#include "art_parts.h"

namespace forge::art {

namespace {

Col woodAt(float x, float y, uint32_t seed) {
    float n = fbm(x / 80, y / 5, seed, 4);
    float ring = std::sin((y / 9 + n * 6) * 1.3f) * 0.5f + 0.5f;
    return withAlpha(mix(hex(0x5a3418), hex(0x8e5a2c), 0.6f * n + 0.25f * ring), 1);
}

// Plaques are placed where the game writes its labels (strip rows = 300 - y).
void plaque(Image& im, float cx, float cy, float hw, float hh) {
    fill(im, cx - hw - 6, cy - hh - 6, cx + hw + 6, cy + hh + 6, [&](float x, float y) { return sdBox(x, y, cx, cy, hw + 3, hh + 3, 8); },
         [&](float x, float y, float d) {
             Col c = mix(hex(0xffe090), hex(0x9a6a20), clamp01((y - cy + hh) / (2 * hh)));
             (void)x;
             return darken(c, smooth(-1.5f, 0, d) * 0.5f);
         });
    fill(im, cx - hw, cy - hh, cx + hw, cy + hh, [&](float x, float y) { return sdBox(x, y, cx, cy, hw, hh, 6); },
         [&](float, float y, float d) {
             Col c = mix(hex(0x1e2a3a), hex(0x0e1620), clamp01((y - cy + hh) / (2 * hh)));
             return lighten(c, smooth(-3, 0, d) * -0.0f + (1 - clamp01(-d / 4)) * 0.0f);
         });
}

Image gamebar() {
    Image im(128, 512);
    fill(im, 0, 0, 128, 512,
         [](float x, float y) {
             float edge = 116 + 4 * std::sin(y / 40);
             return std::max(x - edge, y - 500 - 8 * std::cos(x / 30));
         },
         [](float x, float y, float d) {
             Col c = woodAt(x, y, 9100);
             c = darken(c, smooth(-10, 0, d) * 0.4f);
             return c;
         });
    // gilded rim on the right edge
    fill(im, 100, 0, 128, 512, [](float x, float y) { return std::fabs(x - (112 + 4 * std::sin(y / 40))) - 2.5f; },
         [](float, float y, float) { return mix(hex(0xffe090), hex(0xa87a28), 0.5f + 0.5f * std::sin(y / 17)); });
    plaque(im, 60, 35, 48, 24);    // score
    plaque(im, 58, 116, 40, 30);   // level
    plaque(im, 60, 202, 50, 28);   // lives
    plaque(im, 60, 284, 46, 13);   // menu button
    // the hammer window
    fill(im, 14, 292, 102, 446, [](float x, float y) { return sdBox(x, y, 54, 369, 40, 75, 10); },
         [](float, float, float d) { return mix(hex(0xffe090), hex(0x7a5418), smooth(-4, 0, d)); });
    fill(im, 14, 292, 102, 446, [](float x, float y) { return sdBox(x, y, 54, 369, 35, 70, 8); },
         [](float x, float y, float) { return mix(hex(0x1a1410), hex(0x3a2a1a), clamp01(std::hypot(x - 54, y - 369) / 80)); });
    // a gem at the foot
    GemStyle st;
    st.base = hex(0x20a0a0);
    paintGem(im, 56, 475, 12, [](float x, float y) { return sdPoly(regularPoly(56, 475, 13, 6, 0), x, y); }, st);
    return im;
}

Image trophyButton() {
    Image im(128, 32);
    GemStyle st;
    st.base = hex(0x2a7a8a);
    st.bevel = 0.35f;
    st.gloss = 0.4f;
    st.shadow = 0.3f;
    st.reach = 5;
    paintGem(im, 63, 15, 14, [](float x, float y) { return sdBox(x, y, 63, 15, 60, 12, 11); }, st);
    fill(im, 0, 0, 128, 32, [](float x, float y) { return std::fabs(sdBox(x, y, 63, 15, 60, 12, 11)) - 1.2f; },
         [](float, float, float) { return hex(0xffe090); });
    return im;
}

// The hammer silhouette inside the 64 x 128 meter.
float hammerDist(float x, float y) {
    float head = sdBox(x, y, 32, 34, 22, 11, 3);
    float handle = sdBox(x, y, 32, 78, 5, 42, 3);
    return std::min(head, handle);
}

Image hammerMeter(bool fillLayer) {
    Image im(64, 128);
    if (!fillLayer) {
        fill(im, 0, 0, 64, 128, [](float x, float y) { return sdBox(x, y, 32, 64, 29, 61, 10); },
             [](float x, float y, float d) {
                 Col c = mix(hex(0x2a3a4a, 0.75f), hex(0x101820, 0.85f), clamp01(y / 128));
                 c = mix(c, hex(0xa0c8e8), smooth(-3, 0, d) * 0.8f);
                 (void)x;
                 return c;
             });
        fill(im, 0, 0, 64, 128, hammerDist, [](float, float, float) { return hex(0x4a5a6a, 0.9f); });
        return im;
    }
    GemStyle st;
    st.base = hex(0xffb020);
    st.bevel = 0.25f;
    st.shadow = 0;
    st.reach = 1.9f;
    fill(im, 0, 0, 64, 128, [](float x, float y) { return sdBox(x, y, 32, 64, 27, 59, 9); },
         [](float, float y, float) { return withAlpha(mix(hex(0xffe060), hex(0xe05010), y / 128), 0.55f); });
    paintGem(im, 32, 56, 40, [](float x, float y) { return hammerDist(x, y); }, st);
    return im;
}

Image hammerGlow(int k) {
    Image im(64, 128, Col{0, 0, 0, 1});
    Image shape(64, 128);
    fill(shape, 0, 0, 64, 128, [&](float x, float y) { return hammerDist(x, y) - (k == 0 ? 2.f : (k == 1 ? 6.f : 0.f)); },
         [](float, float, float) { return Col{1, 1, 1, 1}; });
    blur(shape, k == 0 ? 4 : (k == 1 ? 10 : 2));
    shade(im, [&](float x, float y, Col) {
        float a = shape.at(int(x), int(y)).a;
        if (k == 2) a *= 0.5f + 0.5f * std::sin((x + y) / 6);
        return Col{a, a, a, 1};
    });
    return im;
}

Image glowPicture(int w, int h, Col c, float hard) {
    Image im(w, h, Col{0, 0, 0, 1});
    shade(im, [&](float x, float y, Col) {
        float dx = (x - w / 2.f) / (w / 2.f), dy = (y - h / 2.f) / (h / 2.f);
        float a = std::pow(clamp01(1 - std::sqrt(dx * dx + dy * dy)), hard);
        return Col{c.r * a, c.g * a, c.b * a, 1};
    });
    return im;
}

Image candleBody() {
    Image im(64, 512);
    fill(im, 0, 0, 64, 512,
         [](float x, float y) {
             float drip = 6 * std::max(0.f, std::sin(x / 5.f)) * smooth(40, 0, y);
             return std::max(std::fabs(x - 32) - 18 - drip * 0.2f, 4 - y);
         },
         [](float x, float y, float) {
             float u = (x - 32) / 18;
             float l = std::sqrt(clamp01(1 - u * u));
             Col c = mix(hex(0xb89a70), hex(0xfff4dc), l * (0.7f + 0.3f * clamp01(-u + 0.3f)));
             float n = fbm(x / 6, y / 40, 9300, 3);
             c = scale(c, 0.94f + 0.1f * n);
             if (y < 20) c = lighten(c, 0.15f * (1 - y / 20));
             return c;
         });
    // drips running down the side
    Rng rng(9301);
    for (int i = 0; i < 5; ++i) {
        float x = rng.range(16, 48), len = rng.range(20, 70);
        fill(im, x - 5, 0, x + 5, len + 6, [&](float px, float py) { return sdSegment(px, py, x, 4, x, len) - 2.6f; },
             [&](float px, float, float) { return lighten(hex(0xf0e0c0), px < x ? 0.3f : 0.f); });
    }
    return im;
}

Image candleFire() {
    Image im(64, 128);
    shade(im, [](float x, float y, Col) {
        float u = (x - 32) / 32, v = (y - 8) / 110;  // 0 at the tip, 1 at the wick
        float w = 0.42f * std::sqrt(clamp01(v)) * (1.2f - v * 0.4f);
        float body = clamp01(1 - std::fabs(u) / std::max(0.02f, w));
        float core = clamp01(1 - std::fabs(u) / std::max(0.02f, w * 0.45f)) * smooth(0.4f, 0.85f, v);
        Col c = mix(hex(0xff6a10), hex(0xffe070), body);
        c = mix(c, hex(0xffffff), core * 0.8f);
        if (v > 0.82f) c = mix(c, hex(0x3a60ff), smooth(0.82f, 0.95f, v) * body);
        float glow = std::exp(-(u * u * 3 + (v - 0.7f) * (v - 0.7f) * 4)) * 0.35f;
        float a = clamp01(std::pow(body, 0.6f) * smooth(0.f, 0.15f, v) * smooth(1.02f, 0.92f, v) + glow);
        return withAlpha(c, a);
    });
    fill(im, 28, 110, 36, 128, [](float x, float y) { return sdBox(x, y, 32, 118, 1.5f, 8, 1); }, [](float, float, float) { return hex(0x2a1a10); });
    return im;
}

Image candlePool() {
    Image im(64, 32);
    fill(im, 0, 0, 64, 32, [](float x, float y) { return sdEllipse(x, y, 32, 16, 19, 7); },
         [](float x, float y, float d) {
             Col c = mix(hex(0xfff0c0), hex(0xe8b060), clamp01(std::hypot(x - 32, (y - 16) * 2.5f) / 20));
             return darken(c, smooth(-2, 0, d) * 0.3f);
         });
    return im;
}

// The candle's holder: the picture stands flush with the bottom-right corner of the screen and
// the candle burns down into a dish right of its middle (column 96), so that nothing of it
// rises over the board; a curled handle reaches out to the left.
Image candlestick() {
    Image im(128, 512);
    Col brass = hex(0xd0a040);
    GemStyle st;
    st.base = brass;
    st.bevel = 0.5f;
    paintGem(im, 50, 470, 12, [](float x, float y) { return std::fabs(sdCircle(x, y, 44, 470, 9)) - 3; }, st);
    st.bevel = 0.3f;
    paintGem(im, 96, 476, 34, [](float x, float y) { return std::min(sdEllipse(x, y, 96, 462, 31, 11), sdBox(x, y, 96, 490, 16, 18, 5)); }, st);
    st.base = darken(brass, 0.2f);
    paintGem(im, 96, 450, 22, [](float x, float y) { return sdEllipse(x, y, 96, 450, 22, 7); }, st);
    return im;
}

Image waxDrop(int k) {
    Image im(16, 32);
    float len = 10 + k * 3.f;
    fill(im, 0, 0, 16, 32, [&](float x, float y) { return std::min(sdCircle(x, y, 8, 4 + len, 5), sdSegment(x, y, 8, 3, 8, 4 + len) - 2.2f); },
         [](float x, float, float) { return lighten(hex(0xf4e4c4), x < 8 ? 0.3f : 0.f); });
    return im;
}

Image gagPicture() {
    Image im(256, 256);
    shade(im, [](float x, float y, Col) {
        float r = std::hypot(x - 128, y - 128);
        float a = std::atan2(y - 128, x - 128);
        Col c = hex(0x000000);
        float ringD = std::fabs(r - 96);
        float ornament = 0.5f + 0.5f * std::cos(a * 16);
        if (ringD < 16) c = mix(hex(0x8a6a20), hex(0xffe090), (1 - ringD / 16) * (0.6f + 0.4f * ornament));
        float outer = smooth(120, 90, r);
        c = scale(c, outer);
        float alpha = smooth(74, 84, r);
        return withAlpha(c, alpha);
    });
    return im;
}

}  // namespace

void paintHud(Context& ctx) {
    emit(ctx, "_a_gamebar.jpg", gamebar());
    emit(ctx, "trophybutton.tga", trophyButton());
    emit(ctx, "hammer.texture1.tga", hammerMeter(false));
    emit(ctx, "hammer.texture2.tga", hammerMeter(true));
    for (int k = 0; k < 3; ++k) {
        Image g = hammerGlow(k);
        Col tints[3] = {hex(0xffc040), hex(0xff6020), hex(0xfff0c0)};
        for (Col& p : g.px) p = Col{p.r * tints[k].r, p.g * tints[k].g, p.b * tints[k].b, 1};
        emit(ctx, "hammer.texturelum" + std::to_string(k + 1) + ".jpg", g);
    }
    emit(ctx, "flare.jpg", glowPicture(64, 64, hex(0xffd080), 2.f));
    emit(ctx, "_a_candle.jpg", candleBody());
    emit(ctx, "candlefire.tga", candleFire());
    emit(ctx, "candlepool.tga", candlePool());
    emit(ctx, "_a_candlestick.jpg", candlestick());
    for (int k = 1; k <= 5; ++k) emit(ctx, "drop" + std::to_string(k) + ".tga", waxDrop(k));
    emit(ctx, "_a_gag.jpg", gagPicture());
}

}  // namespace forge::art
