// The treasures: the 15 stage artefacts (and their map icons), the cover that hides an artefact
// and its ten masks, and the 17 trophies with their glows.
#include <cstdio>
#include <cstdlib>

#include "art_gem.h"
#include "art_parts.h"
#include "art_scenes.h"
#include "art_text.h"

namespace forge::art {

namespace {

const Col kGold = hex(0xf0b830), kSilver = hex(0xc8ccd8), kRuby = hex(0xd8203a), kEmerald = hex(0x20b060),
          kSapphire = hex(0x2a5ae0), kWood = hex(0x8a5430), kBronze = hex(0xc07a3a);

void gem(Image& im, float cx, float cy, float r, Col c, float bevel = 0.3f) {
    GemStyle st;
    st.base = c;
    st.bevel = bevel;
    st.shadow = 0.3f;
    paintGem(im, cx, cy, r, [&](float x, float y) { return sdCircle(x, y, cx, cy, r); }, st);
}
template <class D>
void part(Image& im, float cx, float cy, float r, Col c, D sdf, float bevel = 0.3f, float gloss = 0.6f, float reach = 2.2f) {
    GemStyle st;
    st.reach = reach;
    st.base = c;
    st.bevel = bevel;
    st.gloss = gloss;
    st.shadow = 0.35f;
    paintGem(im, cx, cy, r, sdf, st);
}

Image artefact(int s) {
    Image im(256, 256);
    switch (s) {
        case 0: {  // crown
            Poly p;
            p.add(48, 180);
            p.add(40, 80);
            p.add(86, 130);
            p.add(128, 60);
            p.add(170, 130);
            p.add(216, 80);
            p.add(208, 180);
            part(im, 128, 130, 90, kGold, [&](float x, float y) { return sdPoly(p, x, y) - 4; }, 0.12f);
            part(im, 128, 186, 90, kGold, [](float x, float y) { return sdBox(x, y, 128, 186, 84, 14, 6); }, 0.4f);
            gem(im, 128, 150, 13, kRuby);
            gem(im, 84, 156, 9, kSapphire);
            gem(im, 172, 156, 9, kEmerald);
            for (float x : {40.f, 128.f, 216.f}) gem(im, x, x == 128 ? 58.f : 76.f, 8, hex(0xfff0c0));
            break;
        }
        case 1: {  // goblet
            part(im, 128, 90, 70, kGold, [](float x, float y) { return std::max(sdEllipse(x, y, 128, 80, 62, 74), y - 120.f); }, 0.18f);
            part(im, 128, 160, 20, kGold, [](float x, float y) { return sdBox(x, y, 128, 160, 10, 40, 4); }, 0.3f, 0.6f, 2.5f);
            part(im, 128, 212, 50, kGold, [](float x, float y) { return sdEllipse(x, y, 128, 212, 52, 16); }, 0.4f);
            gem(im, 128, 96, 14, kEmerald);
            gem(im, 92, 86, 8, kRuby);
            gem(im, 164, 86, 8, kRuby);
            break;
        }
        case 2: {  // amulet
            fill(im, 0, 0, 256, 256, [](float x, float y) { return std::max(std::fabs(sdEllipse(x, y, 128, 60, 70, 70)) - 3, y - 110.f); },
                 [](float, float, float) { return hex(0xb08a40); });
            part(im, 128, 150, 70, kGold, [](float x, float y) { return sdCircle(x, y, 128, 150, 68); }, 0.2f);
            part(im, 128, 150, 44, kSapphire, [](float x, float y) { return sdCircle(x, y, 128, 150, 42); }, 0.5f, 0.9f);
            for (int k = 0; k < 8; ++k) gem(im, 128 + 56 * std::cos(k * kPi / 4), 150 + 56 * std::sin(k * kPi / 4), 5, hex(0xfff4d0));
            break;
        }
        case 3: {  // compass
            part(im, 128, 130, 96, kBronze, [](float x, float y) { return sdCircle(x, y, 128, 130, 94); }, 0.15f);
            part(im, 128, 130, 78, hex(0xf4ead0), [](float x, float y) { return sdCircle(x, y, 128, 130, 76); }, 0.1f, 0.2f);
            Poly n;
            n.add(128, 64);
            n.add(142, 130);
            n.add(128, 196);
            n.add(114, 130);
            fill(im, 0, 0, 256, 256, [&](float x, float y) { return sdPoly(n, x, y); },
                 [](float, float y, float) { return y < 130 ? hex(0xc8202a) : hex(0x303848); });
            gem(im, 128, 130, 8, kGold);
            part(im, 128, 28, 16, kBronze, [](float x, float y) { return std::fabs(sdCircle(x, y, 128, 24, 13)) - 4; });
            break;
        }
        case 4: {  // key
            part(im, 70, 90, 50, kGold, [](float x, float y) { return std::fabs(sdCircle(x, y, 70, 90, 38)) - 11; }, 0.4f);
            part(im, 150, 150, 90, kGold, [](float x, float y) { return sdSegment(x, y, 96, 116, 210, 210) - 11; }, 0.5f);
            part(im, 190, 210, 30, kGold, [](float x, float y) { return std::min(sdBox(x, y, 178, 214, 8, 22, 2), sdBox(x, y, 200, 196, 8, 18, 2)); });
            gem(im, 70, 90, 14, kRuby);
            break;
        }
        case 5: {  // ring
            part(im, 128, 150, 80, kGold, [](float x, float y) { return std::fabs(sdEllipse(x, y, 128, 150, 78, 70)) - 12; }, 0.5f);
            part(im, 128, 70, 40, kSilver, [](float x, float y) { return sdBox(x, y, 128, 76, 30, 20, 8); });
            part(im, 128, 62, 34, hex(0x9ae8ff), [](float x, float y) { return sdPoly(regularPoly(128, 62, 34, 6, 0), x, y); }, 0.45f, 1.f);
            break;
        }
        case 6: {  // dagger
            Poly blade;
            blade.add(128, 20);
            blade.add(146, 60);
            blade.add(142, 160);
            blade.add(114, 160);
            blade.add(110, 60);
            part(im, 128, 90, 70, kSilver, [&](float x, float y) { return sdPoly(blade, x, y); }, 0.35f, 0.9f);
            part(im, 128, 166, 60, kGold, [](float x, float y) { return sdBox(x, y, 128, 166, 56, 9, 8); });
            part(im, 128, 200, 30, kWood, [](float x, float y) { return sdBox(x, y, 128, 200, 10, 28, 6); });
            gem(im, 128, 236, 12, kRuby);
            gem(im, 72, 166, 8, kEmerald);
            gem(im, 184, 166, 8, kEmerald);
            break;
        }
        case 7: {  // scroll
            part(im, 128, 130, 90, hex(0xf0dca8), [](float x, float y) { return sdBox(x, y, 128, 130, 70, 80, 4); }, 0.08f, 0.2f);
            for (float y : {46.f, 214.f})
                part(im, 128, y, 90, hex(0xd8c088), [&](float px, float py) { return sdBox(px, py, 128, y, 86, 14, 13); }, 0.6f, 0.3f);
            for (int k = 0; k < 6; ++k)
                fill(im, 70, 80 + k * 20.f, 186, 90 + k * 20.f, [&](float x, float y) { return sdBox(x, y, 128, 85 + k * 20.f, 50 - (k % 2) * 12, 2.f, 2); },
                     [](float, float, float) { return hex(0x8a6a3a, 0.8f); });
            fill(im, 0, 0, 256, 256, [](float x, float y) { return sdSegment(x, y, 80, 180, 170, 110) - 2; },
                 [](float, float, float) { return hex(0xc02020, 0.7f); });
            break;
        }
        case 8: {  // lantern
            part(im, 128, 40, 30, hex(0x3a3a40), [](float x, float y) { return std::fabs(sdCircle(x, y, 128, 36, 18)) - 5; });
            part(im, 128, 70, 60, hex(0x4a4a52), [](float x, float y) { return sdBox(x, y, 128, 70, 56, 14, 6); });
            part(im, 128, 140, 60, hex(0xffd870), [](float x, float y) { return sdBox(x, y, 128, 140, 44, 58, 10); }, 0.25f, 1.f);
            gem(im, 128, 140, 20, hex(0xfff8d0), 0.8f);
            for (float x : {84.f, 128.f, 172.f}) fill(im, x - 5, 80, x + 5, 200, [&](float px, float py) { return sdBox(px, py, x, 140, 4, 60, 2); }, [](float, float, float) { return hex(0x3a3a40); });
            part(im, 128, 210, 60, hex(0x4a4a52), [](float x, float y) { return sdBox(x, y, 128, 210, 60, 14, 6); });
            break;
        }
        case 9: {  // shell
            fill(im, 0, 0, 256, 256, [](float x, float y) { return sdCircle(x, y, 128, 140, 95); },
                 [](float x, float y, float d) {
                     float a = std::atan2(y - 200, x - 128);
                     float rib = std::pow(std::fabs(std::sin(a * 9)), 0.5f);
                     Col c = mix(hex(0xf0a890), hex(0xfff0e0), rib);
                     return darken(c, smooth(-4, 0, d) * 0.5f + clamp01((y - 140) / 200));
                 });
            part(im, 128, 214, 40, hex(0xf8c8b0), [](float x, float y) { return sdBox(x, y, 128, 214, 34, 14, 8); });
            gem(im, 128, 150, 16, hex(0xf4f4ff), 0.6f);
            break;
        }
        case 10: {  // orb
            part(im, 128, 210, 60, kBronze, [](float x, float y) { return sdBox(x, y, 128, 214, 56, 18, 10); }, 0.3f);
            part(im, 128, 110, 84, hex(0x7a4ae0), [](float x, float y) { return sdCircle(x, y, 128, 110, 82); }, 0.6f, 1.f);
            gem(im, 104, 84, 10, hex(0xe8e0ff), 1.f);
            break;
        }
        case 11: {  // scepter
            part(im, 128, 150, 100, kGold, [](float x, float y) { return sdSegment(x, y, 128, 80, 128, 240) - 9; }, 0.5f);
            for (float y : {120.f, 170.f, 220.f}) part(im, 128, y, 16, kGold, [&](float px, float py) { return sdEllipse(px, py, 128, y, 15, 6); });
            part(im, 128, 52, 40, kEmerald, [](float x, float y) { return sdPoly(starPoly(128, 52, 40, 20, 6, 0), x, y); }, 0.4f, 1.f);
            break;
        }
        case 12: {  // mask
            part(im, 128, 128, 100, kGold, [](float x, float y) { return std::min(sdEllipse(x, y, 128, 120, 96, 70), sdEllipse(x, y, 128, 170, 54, 50)); }, 0.15f);
            for (float x : {92.f, 164.f}) fill(im, 0, 0, 256, 256, [&](float px, float py) { return sdEllipse(px, py, x, 110, 22, 12); }, [](float, float, float) { return hex(0x201008); });
            gem(im, 128, 70, 12, kRuby);
            for (int k = 0; k < 5; ++k) part(im, 40 + k * 44.f, 58, 12, kEmerald, [&](float x, float y) { return sdEllipse(x, y, 40 + k * 44.f, 58 - (k % 2) * 12, 10, 16); });
            break;
        }
        case 13: {  // hourglass
            for (float y : {34.f, 222.f}) part(im, 128, y, 80, kWood, [&](float px, float py) { return sdBox(px, py, 128, y, 76, 12, 5); }, 0.4f);
            Poly glass;
            glass.add(70, 48);
            glass.add(186, 48);
            glass.add(136, 128);
            glass.add(186, 208);
            glass.add(70, 208);
            glass.add(120, 128);
            fill(im, 0, 0, 256, 256, [&](float x, float y) { return sdPoly(glass, x, y) - 2; }, [](float, float, float) { return hex(0xd8f0ff, 0.55f); });
            Poly sand;
            sand.add(128, 150);
            sand.add(172, 206);
            sand.add(84, 206);
            fillPoly(im, sand, hex(0xe8c070));
            fill(im, 0, 0, 256, 256, [](float x, float y) { return sdBox(x, y, 128, 100, 30, 22, 4) + std::max(0.f, (y - 100) * 0.5f); }, [](float, float, float) { return hex(0xe8c070); });
            for (float x : {64.f, 192.f}) part(im, x, 128, 10, kWood, [&](float px, float py) { return sdBox(px, py, x, 128, 6, 84, 3); }, 0.3f, 0.6f, 9);
            break;
        }
        default: {  // chest with its lid open
            part(im, 128, 170, 100, kWood, [](float x, float y) { return sdBox(x, y, 128, 170, 96, 58, 6); }, 0.12f, 0.2f);
            part(im, 128, 90, 100, kWood, [](float x, float y) { return std::max(sdEllipse(x, y, 128, 110, 96, 50), y - 110.f); }, 0.15f, 0.2f);
            Rng rng(314);
            for (int i = 0; i < 26; ++i) {
                float x = rng.range(50, 206), y = rng.range(104, 124);
                part(im, x, y, 10, rng.unit() < 0.8f ? kGold : kRuby, [&](float px, float py) { return sdEllipse(px, py, x, y, 10, 7); }, 0.5f);
            }
            for (float x : {60.f, 196.f}) part(im, x, 170, 10, kGold, [&](float px, float py) { return sdBox(px, py, x, 170, 8, 58, 2); });
            part(im, 128, 150, 16, kGold, [](float x, float y) { return sdBox(x, y, 128, 150, 14, 18, 4); });
            break;
        }
    }
    return im;
}

Image artefactPanel(int s) {
    Image bg(256, 256);
    shade(bg, [&](float x, float y, Col) {
        float d = std::hypot(x - 128, y - 118) / 180;
        float n = fbm(x / 30, y / 30, 8100u + uint32_t(s), 4);
        Col c = mix(hex(0x40306a), hex(0x140c24), clamp01(d));
        return withAlpha(scale(c, 0.85f + 0.3f * n), 1);
    });
    Image a = artefact(s);
    Image scaledDown = resized(a, 220, 220);
    blit(bg, scaledDown, 18, 20);
    return bg;
}

// The ten pieces of the cover, as the nearest of the ten sparkle targets.
const float kTargets[10][2] = {{73, 33}, {183, 33}, {223, 73}, {223, 183}, {183, 223}, {73, 223}, {33, 183}, {33, 73}, {128, 83}, {128, 173}};

float pieceDistance(float x, float y, int piece) {
    // distance past the boundary of the Voronoi cell of the piece (negative inside)
    float best = 1e9f;
    float px = kTargets[piece][0], py = kTargets[piece][1];
    for (int j = 0; j < 10; ++j) {
        if (j == piece) continue;
        float qx = kTargets[j][0], qy = kTargets[j][1];
        float mx = (px + qx) / 2, my = (py + qy) / 2, nx = qx - px, ny = qy - py;
        float len = std::hypot(nx, ny);
        float d = ((x - mx) * nx + (y - my) * ny) / len;
        best = std::min(best, -d);
    }
    return -best;
}

int pieceOf(float x, float y) {
    int best = 0;
    float bd = 1e9f;
    for (int j = 0; j < 10; ++j) {
        float d = std::hypot(x - kTargets[j][0], y - kTargets[j][1]);
        if (d < bd) {
            bd = d;
            best = j;
        }
    }
    return best;
}

Image coverPicture() {
    Image im(256, 256);
    shade(im, [&](float x, float y, Col) {
        float n = fbm(x / 24, y / 24, 8200, 5);
        Col c = mix(hex(0xd8c08a), hex(0xa88850), n);
        float edge = 1e9f;
        int p = pieceOf(x, y);
        edge = std::fabs(pieceDistance(x, y, p));
        c = darken(c, smooth(2.5f, 0, edge) * 0.45f);
        float dx = (x - 128) / 128, dy = (y - 128) / 128;
        c = scale(c, 1 - 0.25f * (dx * dx + dy * dy));
        return withAlpha(c, 1);
    });
    GemStyle seal;
    seal.base = hex(0xb01a20);
    seal.bevel = 0.35f;
    paintGem(im, 128, 128, 30, [](float x, float y) { return sdPoly(starPoly(128, 128, 32, 27, 14, 0), x, y) - 2; }, seal);
    drawLabel(im, 128, 142, 38, "?", hex(0x6a0a0e), true, true);
    return im;
}

Image maskPicture(int k) {  // k = 1..10: pieces 0..k-1 open
    Image im(256, 256);
    shade(im, [&](float x, float y, Col) {
        // the share of the pixel that lies in a piece still closed (4 x 4 samples)
        int closed = 0;
        for (int sy = 0; sy < 4; ++sy)
            for (int sx = 0; sx < 4; ++sx) closed += pieceOf(x - 0.5f + (sx + 0.5f) / 4, y - 0.5f + (sy + 0.5f) / 4) >= k;
        float v = closed / 16.f;
        return Col{v, v, v, 1};
    });
    return im;
}

const uint32_t kTrophyColours[17] = {0xf0b830, 0xc8ccd8, 0xc07a3a, 0x3ac0e0, 0x40c050, 0xe04040, 0xb070f0, 0xf08a20, 0xf0b830,
                                     0xc8ccd8, 0xe06aa0, 0x4a80f0, 0xf0d040, 0x60d0b0, 0xc07a3a, 0xd0d8ff, 0xffd040};

Image trophyPicture(int t) {  // t = 0..16
    Image im(128, 128);
    Col metal = hex(kTrophyColours[t]);
    int kind = t % 4;
    if (t == 16) kind = 0;
    if (kind == 0) {  // cup
        for (float s : {-1.f, 1.f})
            part(im, 64 + s * 32, 36, 14, darken(metal, 0.1f), [&](float x, float y) { return std::fabs(sdEllipse(x, y, 64 + s * 32, 36, 12, 15)) - 3.5f; });
        part(im, 64, 40, 36, metal, [](float x, float y) { return std::max(sdEllipse(x, y, 64, 22, 34, 44), 16 - y); }, 0.2f);
        part(im, 64, 16, 34, lighten(metal, 0.2f), [](float x, float y) { return sdEllipse(x, y, 64, 17, 33, 5); }, 0.5f);
        part(im, 64, 80, 10, metal, [](float x, float y) { return std::min(sdBox(x, y, 64, 82, 5, 16, 2), sdEllipse(x, y, 64, 70, 10, 5)); });
        part(im, 64, 108, 30, darken(metal, 0.2f), [](float x, float y) { return sdBox(x, y, 64, 106, 30, 12, 4); }, 0.4f);
    } else if (kind == 1) {  // medal on a ribbon
        Poly rib;
        rib.add(40, 4);
        rib.add(60, 4);
        rib.add(72, 60);
        rib.add(56, 60);
        fillPoly(im, rib, hex(0xc02030));
        Poly rib2;
        rib2.add(68, 4);
        rib2.add(88, 4);
        rib2.add(72, 60);
        rib2.add(56, 60);
        fillPoly(im, rib2, hex(0x2040b0));
        part(im, 64, 84, 38, metal, [](float x, float y) { return sdCircle(x, y, 64, 84, 38); }, 0.22f);
    } else if (kind == 2) {  // shield
        Poly sh;
        sh.add(22, 14);
        sh.add(106, 14);
        sh.add(104, 70);
        sh.add(64, 118);
        sh.add(24, 70);
        part(im, 64, 60, 52, metal, [&](float x, float y) { return sdPoly(sh, x, y) - 2; }, 0.16f);
    } else {  // star badge
        part(im, 64, 64, 58, metal, [](float x, float y) { return sdPoly(starPoly(64, 66, 58, 30, 5, 0), x, y) - 2; }, 0.22f);
    }
    // the emblem: one of the figures, or a crown on the great trophy
    float ex = 64, ey = kind == 0 ? 42.f : (kind == 1 ? 84.f : 58.f);
    Image icon = figureIcon(t % 8, 64);
    blitScaled(im, icon, ex - 16, ey - 16, 32, 32);
    if (t == 16) {
        Poly c;
        c.add(48, 16);
        c.add(46, 2);
        c.add(55, 9);
        c.add(64, 0);
        c.add(73, 9);
        c.add(82, 2);
        c.add(80, 16);
        part(im, 64, 9, 18, hex(0xffe070), [&](float x, float y) { return sdPoly(c, x, y); });
    }
    return im;
}

Image trophyGlow(const Image& trophy, int t) {
    Image g(128, 128);
    Col c = lighten(hex(kTrophyColours[t]), 0.4f);
    for (size_t i = 0; i < g.px.size(); ++i) g.px[i] = withAlpha(c, trophy.px[i].a);
    blur(g, 14);
    for (Col& p : g.px) p.a = clamp01(p.a * 1.6f);
    // Drawn with added light: black where clear.
    return premultiplied(g);
}

}  // namespace

Image artefactPicture(int stage) { return artefact(stage); }

void paintTreasures(Context& ctx) {
    char name[64];
    for (int s = 0; s < 15; ++s) {
        std::snprintf(name, sizeof name, "artefacts/art%02i.jpg", s);
        emit(ctx, name, artefactPanel(s));
        Image icon(64, 64);
        Image a = resized(artefact(s), 56, 56);
        Image disc(64, 64);
        GemStyle st;
        st.base = hex(0x5a3a8a);
        st.bevel = 0.2f;
        st.gloss = 0.3f;
        paintGem(disc, 31, 31, 29, [](float x, float y) { return sdCircle(x, y, 31, 31, 29); }, st);
        blit(icon, disc, 0, 0);
        blit(icon, a, 4, 4);
        std::snprintf(name, sizeof name, "smallart%02i.tga", s);
        emit(ctx, name, icon);
    }
    emit(ctx, "mask/zaglushka.jpg", coverPicture());
    for (int k = 1; k <= 10; ++k) emit(ctx, "mask/mask" + std::to_string(k) + ".tga", maskPicture(k));
    const char* preview = std::getenv("SANDMERE_FORGE_PREVIEW");
    Image room = preview ? landscapeScene(17) : Image();
    for (int t = 0; t < 17; ++t) {
        Image cup = trophyPicture(t);
        emit(ctx, "trophyes/" + trophyFileName(t + 1, false), cup);
        emit(ctx, "trophyes/" + trophyFileName(t + 1, true), trophyGlow(cup, t));
        if (preview) {
            TrophySpot s = trophySpot(t);
            blitScaled(room, cup, 400 + s.x - s.size / 2, 300 - s.y - s.size / 2, s.size, s.size);
        }
    }
    if (preview) {  // the trophy room as the game lays it out, for a painter's eye
        std::vector<uint8_t> png = encodePng(room);
        std::string path = std::string(preview) + "/trophyroom.png";
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(png.data(), 1, png.size(), f);
            std::fclose(f);
        }
    }
}

}  // namespace forge::art
