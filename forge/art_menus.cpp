// The menus' pictures (atlas, balloon panel, button, fills and glows) and the pictures of the
// loader: the two splash screens, the loading screen and its bar.
#include "art_gem.h"
#include "art_parts.h"
#include "art_text.h"

namespace forge::art {

namespace {

const Col kPanel = hex(0x2a6a7a), kRim = hex(0xffd070);

void bevelBox(Image& im, float cx, float cy, float hw, float hh, float round, Col base, float bevel = 0.3f) {
    GemStyle st;
    st.base = base;
    st.bevel = bevel;
    st.gloss = 0.45f;
    st.shadow = 0.35f;
    st.reach = std::max(hw, hh) / std::min(hw, hh) * 1.2f + 0.3f;
    paintGem(im, cx, cy, std::min(hw, hh), [&](float x, float y) { return sdBox(x, y, cx, cy, hw, hh, round); }, st);
}

void rimBox(Image& im, float cx, float cy, float hw, float hh, float round, float width = 1.6f) {
    fill(im, cx - hw - 4, cy - hh - 4, cx + hw + 4, cy + hh + 4,
         [&](float x, float y) { return std::fabs(sdBox(x, y, cx, cy, hw, hh, round)) - width; },
         [&](float x, float y, float) { return mix(lighten(kRim, 0.4f), darken(kRim, 0.35f), clamp01((y - cy + hh) / (2 * hh) + 0.1f * (x - cx) / hw)); });
}

Image buttonPicture() {
    Image im(256, 128);
    bevelBox(im, 127, 62, 120, 54, 26, kPanel, 0.28f);
    rimBox(im, 127, 62, 120, 54, 26, 3);
    rimBox(im, 127, 62, 110, 44, 18, 1.2f);
    return im;
}

Image podsvet() {
    Image im(256, 64, Col{0, 0, 0, 1});
    shade(im, [](float x, float y, Col) {
        float dx = (x - 128) / 128, dy = (y - 32) / 32;
        float a = std::pow(clamp01(1 - dx * dx), 1.5f) * std::pow(clamp01(1 - dy * dy), 1.5f);
        return Col{a, a, a, 1};
    });
    return im;
}

// The panel pieces: corners 0..3, the edge 4, the fill 5.
Image balloon() {
    Image im(256, 128);
    Image big(128, 128);
    // A deep, slightly see-through night blue that the menus' bright texts stand out on, inside a
    // golden rim; plain, so that the stretched edges and the fill match the corners.
    Col night = hex(0x142a3a, 0.9f);
    fill(big, 0, 0, 128, 128, [](float x, float y) { return sdBox(x, y, 64, 64, 58, 58, 22); },
         [&](float, float, float d) {
             Col c = mix(night, hex(0x0a1620, 0.95f), smooth(-7.f, -4.f, d));
             return mix(c, hex(0xffd070), smooth(-4.f, -2.5f, d) * (1 - smooth(-1.2f, 0.f, d) * 0.6f));
         });
    // the four corners are the quarters of the big rounded panel
    blit(im, big, 0, 0);
    // edge piece (a slice of the top edge) and the plain fill
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            im.at(128 + x, y) = big.at(60 + x % 8, y);
            im.at(192 + x, y) = big.at(64, 64);
        }
    return im;
}

// The menu atlas: 4 columns x 8 rows of 64 pixels.
Image menuAtlas() {
    Image im(256, 512);
    auto cell = [](int c, int r, float& cx, float& cy) {
        cx = c * 64 + 32.f;
        cy = r * 64 + 32.f;
    };
    float cx, cy;
    // 0, 1: check box off and on
    for (int k = 0; k < 2; ++k) {
        cell(k, 0, cx, cy);
        bevelBox(im, cx, cy, 20, 20, 6, hex(0xf4e8c8), 0.2f);
        rimBox(im, cx, cy, 20, 20, 6, 1.5f);
        if (k) {
            Poly tick;
            tick.add(cx - 15, cy - 2);
            tick.add(cx - 6, cy - 10);
            tick.add(cx - 2, cy + 2);
            tick.add(cx + 16, cy - 24);
            tick.add(cx + 22, cy - 16);
            tick.add(cx - 2, cy + 16);
            GemStyle st;
            st.base = hex(0x30b040);
            paintGem(im, cx, cy, 18, [&](float x, float y) { return sdPoly(tick, x, y); }, st);
        }
    }
    // 2, 3: round option off and on
    for (int k = 0; k < 2; ++k) {
        cell(k, 1, cx, cy);
        GemStyle st;
        st.base = hex(0xf4e8c8);
        paintGem(im, cx, cy, 20, [&](float x, float y) { return sdCircle(x, y, cx, cy, 20); }, st);
        if (k) {
            GemStyle dot;
            dot.base = hex(0x30b040);
            paintGem(im, cx, cy, 10, [&](float x, float y) { return sdCircle(x, y, cx, cy, 10); }, dot);
        }
    }
    // 4, 5: text box ends; 11: text box middle (two cells wide)
    for (int k = 0; k < 2; ++k) {
        cell(k, 2, cx, cy);
        float sx = k ? cx - 32 : cx + 32;
        fill(im, cx - 32, cy - 32, cx + 32, cy + 32, [&](float x, float y) { return sdBox(x, y, sx, cy, 56, 20, 10); },
             [](float, float y, float d) { return mix(hex(0x101820), hex(0xffd070), smooth(-2.5f, 0, d) * (y < 300 ? 1.f : 1.f)); });
    }
    // the middle runs through the whole piece so that it repeats without seams
    auto band = [&](float y0, float y1, float cy, float hh) {
        for (int y = int(y0); y < int(y1); ++y)
            for (int x = 0; x < 128; ++x) {
                float d = std::fabs(y + 0.5f - cy) - hh;
                float cover = clamp01(0.5f - d);
                if (cover <= 0) continue;
                Col c = mix(hex(0x101820), hex(0xffd070), smooth(-2.5f, 0, d));
                over(im.at(x, y), c, cover);
            }
    };
    band(256, 320, 288, 20);
    // 6, 7: small round buttons, plain and lit; 8, 9: a close button, plain and lit
    for (int k = 0; k < 4; ++k) {
        cell(2 + k % 2, k / 2, cx, cy);
        GemStyle st;
        st.base = k % 2 ? lighten(kPanel, 0.3f) : kPanel;
        paintGem(im, cx, cy, 24, [&](float x, float y) { return sdCircle(x, y, cx, cy, 24); }, st);
        fill(im, cx - 28, cy - 28, cx + 28, cy + 28, [&](float x, float y) { return std::fabs(sdCircle(x, y, cx, cy, 24)) - 1.6f; },
             [](float, float, float) { return kRim; });
        if (k >= 2)
            fill(im, cx - 20, cy - 20, cx + 20, cy + 20,
                 [&](float x, float y) { return std::min(sdSegment(x, y, cx - 9, cy - 9, cx + 9, cy + 9), sdSegment(x, y, cx - 9, cy + 9, cx + 9, cy - 9)) - 3; },
                 [](float, float, float) { return hex(0xfff4d0); });
    }
    // 10: separator (two cells wide, row 3)
    fill(im, 0, 192, 128, 256, [](float x, float y) { return std::fabs(y - 224) - 1.5f + std::pow(std::fabs(x - 64) / 64, 2.f) * 1.5f; },
         [](float x, float, float) { return withAlpha(kRim, clamp01(1.2f - std::fabs(x - 64) / 64)); });
    {
        GemStyle st;
        st.base = hex(0x20a0a0);
        paintGem(im, 64, 224, 8, [](float x, float y) { return sdPoly(regularPoly(64, 224, 9, 4, 0), x, y); }, st);
    }
    // 12, 13: tall pieces (rows 3..4): scroll bar track and thumb
    for (int k = 0; k < 2; ++k) {
        cell(2 + k, 3, cx, cy);
        cy += 32;
        if (!k) {
            fill(im, cx - 32, cy - 64, cx + 32, cy + 64, [&](float x, float y) { return sdBox(x, y, cx, cy, 8, 58, 8); },
                 [](float, float, float d) { return mix(hex(0x101820), hex(0xffd070), smooth(-2, 0, d)); });
        } else {
            bevelBox(im, cx, cy, 12, 40, 12, kPanel);
            rimBox(im, cx, cy, 12, 40, 12, 1.2f);
        }
    }
    // 14, 15: left and right arrows (also the slider's even ends)
    for (int k = 0; k < 2; ++k) {
        cell(k, 7, cx, cy);
        float s = k ? 1.f : -1.f;
        Poly a;
        a.add(cx + s * 20, cy);
        a.add(cx - s * 12, cy - 20);
        a.add(cx - s * 12, cy + 20);
        GemStyle st;
        st.base = hex(0xffc040);
        paintGem(im, cx, cy, 20, [&](float x, float y) { return sdPoly(a, x, y) - 2; }, st);
    }
    // 16, 17: slider track ends (uneven); 18: track middle; 21: a plus sign; 20: a star
    for (int k = 0; k < 2; ++k) {
        cell(0, 5 + k, cx, cy);
        float sx = k ? cx - 34 : cx + 34;
        fill(im, cx - 32, cy - 32, cx + 32, cy + 32, [&](float x, float y) { return sdBox(x, y, sx, cy, 60, 7, 7); },
             [](float, float, float d) { return mix(hex(0x101820), hex(0xffd070), smooth(-2, 0, d)); });
    }
    for (int y = 320; y < 384; ++y)
        for (int x = 128; x < 192; ++x) {
            float d = std::fabs(y + 0.5f - 352) - 7;
            float cover = clamp01(0.5f - d);
            if (cover > 0) over(im.at(x, y), mix(hex(0x101820), hex(0xffd070), smooth(-2, 0, d)), cover);
        }
    cell(1, 5, cx, cy);
    {
        GemStyle st;
        st.base = hex(0x40c050);
        paintGem(im, cx, cy, 20, [&](float x, float y) { return std::min(sdBox(x, y, cx, cy, 20, 6, 3), sdBox(x, y, cx, cy, 6, 20, 3)); }, st);
    }
    cell(1, 6, cx, cy);
    {
        GemStyle st;
        st.base = hex(0xffd23a);
        Poly p = starPoly(cx, cy, 24, 11, 5, 0);
        paintGem(im, cx, cy, 24, [&](float x, float y) { return sdPoly(p, x, y); }, st);
    }
    // 19: slider knob
    cell(3, 5, cx, cy);
    {
        GemStyle st;
        st.base = hex(0xffc040);
        paintGem(im, cx, cy, 16, [&](float x, float y) { return sdCircle(x, y, cx, cy, 16); }, st);
    }
    // 22: arrow cursor, its tip at (2, 0) of the cell; 23: its glow
    Poly arrow;
    arrow.add(2, 0);
    arrow.add(2, 40);
    arrow.add(12, 31);
    arrow.add(19, 47);
    arrow.add(27, 43);
    arrow.add(20, 28);
    arrow.add(33, 28);
    {
        Image cur(64, 64);
        GemStyle st;
        st.base = hex(0xffd060);
        st.bevel = 0.35f;
        st.shadow = 0.5f;
        st.outline = 0.8f;
        Poly inner = arrow;
        for (float& x : inner.x) x += 0.5f;
        paintGem(cur, 16, 22, 16, [&](float x, float y) { return sdPoly(inner, x, y); }, st);
        blit(im, cur, 192, 448);
        Image glow(64, 64);
        fill(glow, 0, 0, 64, 64, [&](float x, float y) { return sdPoly(inner, x, y) - 4; }, [](float, float, float) { return hex(0xfff0a0); });
        blur(glow, 8);
        blit(im, glow, 128, 448);
    }
    // 24: hammer cursor (head up left); 25: its glow
    {
        Image ham(64, 64);
        GemStyle wood;
        wood.base = hex(0x9a6030);
        paintGem(ham, 32, 32, 8, [](float x, float y) { return sdSegment(x, y, 14, 14, 50, 52) - 4; }, wood);
        GemStyle head;
        head.base = hex(0xb0b8c8);
        auto headD = [](float x, float y) {
            float u = (x - 16) * 0.707f - (y - 16) * 0.707f, v = (x - 16) * 0.707f + (y - 16) * 0.707f;
            return sdBox(u, v, 0, 0, 16, 8, 2);
        };
        paintGem(ham, 16, 16, 14, headD, head);
        blit(im, ham, 192, 384);
        Image glow(64, 64);
        fill(glow, 0, 0, 64, 64, [&](float x, float y) { return std::min(headD(x, y), sdSegment(x, y, 14, 14, 50, 52) - 4) - 4; },
             [](float, float, float) { return hex(0xfff0a0); });
        blur(glow, 8);
        blit(im, glow, 128, 384);
    }
    return im;
}

void title(Image& im, float x, float y, float px, const std::string& text, Col colour) {
    Image shadow(im.w, im.h);
    drawLabel(shadow, x + 3, y + 4, px, text, Col{0, 0, 0, 0.8f}, true, true);
    blur(shadow, 6);
    overImage(im, shadow);
    drawLabel(im, x, y + 2, px, text, darken(colour, 0.6f), true, true);
    drawLabel(im, x, y, px, text, colour, true, true);
}

Image splash(int which) {
    Image im = landscapeScene(which == 1 ? 15 : 9);
    if (which == 1) {
        title(im, 400, 190, 96, "Sandmere", hex(0xffd860));
        title(im, 400, 250, 30, "a treasure journey through fifteen lands", hex(0xfff4e0));
        for (int k = 0; k < 8; ++k) {
            float a = kPi * (0.15f + 0.7f * k / 7);
            Image f = figureIcon(k, 64);
            blitScaled(im, f, 400 - std::cos(a) * 260 - 32, 470 - std::sin(a) * 90 - 32, 64, 64);
        }
    } else {
        Image chest = artefactPicture(14);
        blitScaled(im, chest, 272, 280, 256, 256);
        title(im, 400, 120, 42, "Fifteen lands, fifteen treasures", hex(0xffe080));
    }
    return im;
}

Image loadScreen() {
    Image im = landscapeScene(10);
    title(im, 400, 150, 90, "Sandmere", hex(0xffd860));
    // the tray the loading bar runs in (screen x 176..648, y 529..601)
    shade(im, [](float, float y, Col c) { return scale(c, 1 - 0.45f * smooth(440, 600, y)); });
    fill(im, 150, 505, 674, 600, [](float x, float y) { return sdBox(x, y, 412, 565, 254, 44, 22); },
         [](float x, float y, float d) {
             Col c = mix(hex(0x2a1a0e), hex(0x140c06), clamp01((y - 520) / 80));
             c = mix(c, hex(0xffd070), smooth(-3, 0, d) * 0.9f);
             (void)x;
             return c;
         });
    return im;
}

Image loadBar() {
    Image im(472, 72);
    fill(im, 0, 0, 472, 72, [](float x, float y) { return sdBox(x, y, 236, 36, 230, 22, 20); },
         [](float x, float y, float d) {
             float t = (y - 14) / 44;
             Col c = mix(hex(0xfff0a0), hex(0xd07810), clamp01(t));
             if (t < 0.35f) c = lighten(c, (0.35f - t) * 1.2f);
             float sparkle = std::pow(std::fabs(std::sin(x / 9.f)), 30.f) * 0.25f;
             c = lighten(c, sparkle);
             return darken(c, smooth(-2.5f, 0, d) * 0.45f);
         });
    return im;
}

}  // namespace

void paintMenus(Context& ctx) {
    emit(ctx, "_a_menutex.jpg", menuAtlas());
    emit(ctx, "_a_baloon.jpg", balloon());
    emit(ctx, "button.tga", buttonPicture());
    emit(ctx, "white.jpg", Image(32, 32, Col{1, 1, 1, 1}));
    emit(ctx, "podsvet.jpg", podsvet());
    emit(ctx, "splash1.jpg", splash(1));
    emit(ctx, "splash2.jpg", splash(2));
    emit(ctx, "loadscreen.jpg", loadScreen());
    emit(ctx, "loadbar.tga", loadBar());
}

}  // namespace forge::art
