// The board's pictures: the eight figure kinds (32-frame sheets), the square tiles, the chain,
// the bonus overlays and the life heart.
#include <cstdio>
#include <cstdlib>

#include "art_gem.h"
#include "art_parts.h"

namespace forge::art {

namespace {

const char* const kFigureFiles[8] = {"aqua", "blue", "green", "red", "orange", "lilac", "white", "yellow"};
const uint32_t kFigureColours[8] = {0x30d0e4, 0x3060f0, 0x40c838, 0xe02a2e, 0xff8a1a, 0xb068ec, 0xf2f2f6, 0xffdc2a};
const uint32_t kFigureDeep[8] = {0x06607a, 0x101c70, 0x0c5a18, 0x600410, 0xa83000, 0x401070, 0x8088a8, 0xb05a00};

Poly dropPoly() {
    Poly p;
    const float cy = 0.3f, r = 0.68f, tip = -1.0f;
    float D = cy - tip;
    float beta = std::acos(r / D);
    p.add(0, tip);
    for (int i = 0; i <= 40; ++i) {
        float a = beta + (2 * kPi - 2 * beta) * i / 40;
        p.add(r * std::sin(a), cy - r * std::cos(a));
    }
    return p;
}

Poly heartPoly() {
    Poly p;
    for (int i = 0; i < 72; ++i) {
        float t = 2 * kPi * i / 72;
        float s = std::sin(t);
        float x = 16 * s * s * s;
        float y = -(13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t));
        p.add(x / 16.5f, y / 16.5f + 0.12f);
    }
    return p;
}

struct Shape {
    Poly poly;        // unit shape (radius about 1, centred, y down), or empty for the analytic ones
    float round = 0;  // corner rounding (unit radii)
    int symmetry = 0; // in-plane symmetry; 0 = the frames turn it about its upright axis
};

Shape shapeOf(int kind) {
    Shape s;
    switch (kind) {
        case 0: s.poly = dropPoly(); break;
        case 1: s.symmetry = 4; break;  // rounded square, analytic
        case 2:
            s.poly = regularPoly(0, 0.12f, 1.02f, 3, 0);
            s.round = 0.12f;
            s.symmetry = 3;
            break;
        case 3:
            s.poly.add(0, -1.02f);
            s.poly.add(0.74f, 0);
            s.poly.add(0, 1.02f);
            s.poly.add(-0.74f, 0);
            s.round = 0.05f;
            break;
        case 4:
            s.poly = regularPoly(0, 0, 0.96f, 6, kPi / 6);
            s.round = 0.08f;
            s.symmetry = 6;
            break;
        case 5:
            s.poly = starPoly(0, 0.04f, 1.04f, 0.5f, 5, 0);
            s.round = 0.07f;
            s.symmetry = 5;
            break;
        case 6: s.poly = heartPoly(); break;
        default: break;  // circle, analytic
    }
    return s;
}

// Distance (in unit radii) to the shape of a kind at unit coordinates.
float unitDistance(int kind, const Shape& s, float u, float v) {
    if (kind == 1) return sdBox(u, v, 0, 0, 0.8f, 0.8f, 0.24f);
    if (kind == 7) return std::hypot(u, v) - 0.9f;
    return sdPoly(s.poly, u, v) - s.round;
}

void figureFrame(Image& im, float cx, float cy, float R, int kind, int frame) {
    static Shape shapes[8];
    static bool made = false;
    if (!made) {
        for (int k = 0; k < 8; ++k) shapes[k] = shapeOf(k);
        made = true;
    }
    const Shape& s = shapes[kind];
    float t = frame / 32.f;
    float turn = 0, width = 1, specShift = 0;
    if (s.symmetry > 0) {
        turn = 2 * kPi / s.symmetry * t;
    } else {
        float c = std::cos(2 * kPi * t);
        width = 0.22f + 0.78f * std::fabs(c);
        specShift = 0.45f * std::sin(2 * kPi * t);
    }
    float ct = std::cos(turn), st = std::sin(turn);
    auto sdf = [&](float x, float y) {
        float u = (x - cx) / R, v = (y - cy) / R;
        float ru = u * ct + v * st, rv = -u * st + v * ct;
        ru /= width;
        return unitDistance(kind, s, ru, rv) * R * std::min(1.f, width * 1.4f);
    };
    GemStyle style;
    style.base = hex(kFigureColours[kind]);
    style.deep = hex(kFigureDeep[kind]);
    style.specShiftX = specShift;
    style.shine = frame == 0 ? -100 : lerp(-2.6f, 2.6f, t);
    if (kind == 6) {  // the white heart: pearl shading, a touch cooler in the shadows
        style.base = hex(0xfcfcff);
        style.outline = 0.75f;
    }
    if (kind == 7) style.bevel = 0.22f;
    paintGem(im, cx, cy, R, sdf, style);
    // marks that make the kinds tell apart even more: a ring on the circle, facets on the diamond,
    // a star point in the hexagon
    if (kind == 7) {
        fill(im, cx - R, cy - R, cx + R, cy + R,
             [&](float x, float y) {
                 float u = (x - cx) / width, v = y - cy;
                 return std::fabs(std::hypot(u, v) - R * 0.58f) * std::min(1.f, width * 1.4f) - 1.1f;
             },
             [&](float, float y, float) { return withAlpha(y < cy ? hex(0x9a6a00) : hex(0xfff0a0), 0.55f); });
    }
    if (kind == 3) {
        fill(im, cx - R, cy - R, cx + R, cy + R,
             [&](float x, float y) {
                 float u = (x - cx) / (R * width), v = (y - cy) / R;
                 float inner = sdPoly(s.poly, u * 1.9f, v * 1.9f) / 1.9f;
                 return std::fabs(inner) * R - 0.6f;
             },
             [&](float, float, float) { return Col{1, 0.85f, 0.85f, 0.45f}; });
    }
}

Image figureSheet(int kind) {
    Image im(512, 256);
    for (int f = 0; f < 32; ++f) paintFigureFrame(im, (f % 8) * 64, (f / 8) * 64, kind, f);
    return im;
}

// Square tiles: 0 a dim glass slot, 1 a sandstone slab, 2 a double-framed copper slab.
Image fieldTile(int layers) {
    Image im(64, 64);
    const float c = 32, hw = 30;
    if (layers == 0) {
        fill(im, 0, 0, 64, 64, [&](float x, float y) { return sdBox(x, y, c, c, hw, hw, 7); },
             [&](float x, float y, float d) {
                 Col col = mix(hex(0x1c2a3a, 0.5f), hex(0x0a121c, 0.62f), clamp01((x + y) / 128.f));
                 col = mix(col, hex(0x8fb4d8, 0.7f), smooth(-2.5f, 0, d) * 0.7f);
                 return col;
             });
        return im;
    }
    Col base = layers == 1 ? hex(0xd8b46a) : hex(0x9c4a2e);
    Col dark = layers == 1 ? hex(0x8a6a32) : hex(0x4a1c10);
    fill(im, 0, 0, 64, 64, [&](float x, float y) { return sdBox(x, y, c, c, hw, hw, 6); },
         [&](float x, float y, float d) {
             float n = fbm(x * 0.12f, y * 0.12f, 77u + uint32_t(layers), 3);
             Col col = scale(base, 0.82f + 0.3f * n);
             float rim = smooth(-6, 0, d);
             float side = ((x - c) * -0.6f + (y - c) * -0.8f) / hw;
             col = side > 0 ? lighten(col, rim * side * 0.55f) : darken(col, -rim * side * 0.5f);
             col = mix(col, dark, smooth(-1.5f, 0, d) * 0.8f);
             return col;
         });
    // inner frame(s)
    int frames = layers == 1 ? 1 : 2;
    for (int f = 0; f < frames; ++f) {
        float inset = 9.f + f * 7.f;
        fill(im, 0, 0, 64, 64,
             [&](float x, float y) { return std::fabs(sdBox(x, y, c, c, hw - inset, hw - inset, 4)) - 1.2f; },
             [&](float x, float y, float) {
                 bool lit = (x - c) + (y - c) > 0;
                 return lit ? withAlpha(lighten(base, 0.45f), 0.85f) : withAlpha(dark, 0.85f);
             });
    }
    if (layers == 2) {  // rivets in the corners of the double slab
        for (int i = 0; i < 4; ++i) {
            float rx = i % 2 ? 54.f : 10.f, ry = i / 2 ? 54.f : 10.f;
            GemStyle st;
            st.base = hex(0xe0a060);
            st.shadow = 0.3f;
            st.bevel = 0.5f;
            paintGem(im, rx, ry, 3.2f, [&](float x, float y) { return sdCircle(x, y, rx, ry, 3.2f); }, st);
        }
    }
    return im;
}

// One chain link, face-on (ring) or edge-on (bar), centred at (cx, cy), long axis horizontal.
void chainLink(Image& im, float cx, float cy, float len, float thick, bool faceOn, bool vertical) {
    Col steel = hex(0xb8c0cc);
    auto local = [&](float x, float y, float& u, float& v) {
        u = vertical ? y - cy : x - cx;
        v = vertical ? x - cx : y - cy;
    };
    auto sdf = [&](float x, float y) {
        float u, v;
        local(x, y, u, v);
        if (faceOn) {
            float hl = len / 2 - thick, hh = len * 0.3f - thick / 2;
            float outer = sdBox(u, v, 0, 0, hl + thick, hh + thick, hh + thick);
            return std::fabs(outer + thick / 2) - thick / 2;
        }
        return sdBox(u, v, 0, 0, len / 2, thick * 0.6f, thick * 0.6f);
    };
    fill(im, cx - len, cy - len, cx + len, cy + len, [&](float x, float y) { return sdf(x - 1, y - 2); },
         [&](float, float, float) { return Col{0, 0, 0, 0.45f}; }, 2.5f);
    fill(im, cx - len, cy - len, cx + len, cy + len, sdf, [&](float x, float y, float d) {
        float u, v;
        local(x, y, u, v);
        const float h = 0.6f;
        float gx = sdf(x + h, y) - sdf(x - h, y), gy = sdf(x, y + h) - sdf(x, y - h);
        float gl = std::hypot(gx, gy) + 1e-6f;
        float nl = -(gx * -0.57f + gy * -0.82f) / gl;
        float depth = clamp01(-d / (thick * 0.5f));
        Col c = scale(steel, 0.75f + 0.2f * (1 - depth));
        c = nl > 0 ? lighten(c, nl * depth * 0.6f) : darken(c, -nl * depth * 0.45f);
        c = darken(c, smooth(-1.6f, 0, d) * 0.6f);
        c = lighten(c, std::exp(-(depth - 0.8f) * (depth - 0.8f) * 18) * 0.25f);
        c.a = 1;
        return c;
    });
}

Image chainPicture() {
    Image im(128, 128);
    // two chains crossing: after the game's 135 degree turn they lie as an X over the figure
    for (int pass = 0; pass < 2; ++pass) {
        bool vertical = pass == 1;
        for (int i = -2; i <= 2; ++i) {
            float p = 64 + i * 19.f;
            if (std::abs(i) == 0 && vertical) continue;
            float cx = vertical ? 64 : p, cy = vertical ? p : 64;
            chainLink(im, cx, cy, 28, 6.f, (i + 2) % 2 == 0, vertical);
        }
    }
    // a small padlock where they cross
    GemStyle body;
    body.base = hex(0xd8a838);
    body.bevel = 0.35f;
    fill(im, 50, 40, 78, 66, [&](float x, float y) { return std::fabs(sdCircle(x, y, 64, 58, 8)) - 2.2f; },
         [&](float, float y, float) { return y < 58 ? hex(0xc8ccd4) : Col{0, 0, 0, 0}; });
    paintGem(im, 64, 70, 12, [&](float x, float y) { return sdBox(x, y, 64, 70, 12, 10, 3); }, body);
    fill(im, 58, 62, 70, 80, [&](float x, float y) { return std::min(sdCircle(x, y, 64, 68, 2.6f), sdBox(x, y, 64, 72.5f, 1.1f, 4, 1)); },
         [&](float, float, float) { return hex(0x3a2808); });
    return im;
}

Image bonusOverlay(bool mega) {
    Image im(64, 64);
    const float c = 32;
    if (!mega) {
        // cross bomb: a bright ring with four arrowheads pointing out
        fill(im, 0, 0, 64, 64, [&](float x, float y) { return std::fabs(sdCircle(x, y, c, c, 24)) - 2.2f; },
             [&](float, float, float d) { return withAlpha(mix(hex(0xffffff), hex(0xffd040), smooth(-2, 0, d)), 0.95f); });
        for (int i = 0; i < 4; ++i) {
            float a = i * kPi / 2;
            float dx = std::sin(a), dy = -std::cos(a);
            Poly p;
            p.add(c + dx * 31, c + dy * 31);
            p.add(c + dx * 21 - dy * 7, c + dy * 21 + dx * 7);
            p.add(c + dx * 21 + dy * 7, c + dy * 21 - dx * 7);
            GemStyle st;
            st.base = hex(0xffb020);
            st.shadow = 0.5f;
            st.bevel = 0.6f;
            paintGem(im, c + dx * 25, c + dy * 25, 8, [&](float x, float y) { return sdPoly(p, x, y); }, st);
        }
        return im;
    }
    // mega bomb: a flaming crown of spikes around the figure
    Poly star = starPoly(c, c, 31, 22, 12, 0);
    fill(im, 0, 0, 64, 64, [&](float x, float y) { return std::max(sdPoly(star, x, y), -(sdCircle(x, y, c, c, 21))); },
         [&](float x, float y, float) {
             float r = std::hypot(x - c, y - c);
             return withAlpha(mix(hex(0xff3010), hex(0xffe060), clamp01((31 - r) / 10)), 0.92f);
         });
    fill(im, 0, 0, 64, 64, [&](float x, float y) { return std::fabs(sdCircle(x, y, c, c, 21.5f)) - 1.6f; },
         [&](float, float, float) { return hex(0xfff6c0, 0.95f); });
    return im;
}

Image heartPicture() {
    Image im(32, 32);
    Poly h = heartPoly();
    GemStyle st;
    st.base = hex(0xe82840);
    st.bevel = 0.35f;
    st.shadow = 0.35f;
    paintGem(im, 15.5f, 15, 12.5f, [&](float x, float y) { return sdPoly(h, (x - 15.5f) / 12.5f, (y - 15) / 12.5f) * 12.5f; }, st);
    return im;
}

}  // namespace

void paintFigureFrame(Image& im, int ox, int oy, int kind, int frame) {
    figureFrame(im, ox + 31.5f, oy + 31, 27.5f, kind, frame);
}

Image figureIcon(int kind, int size) {
    Image cell(64, 64);
    paintFigureFrame(cell, 0, 0, kind, 0);
    return size == 64 ? cell : resized(cell, size, size);
}

Image desktopIcon(int size) {
    Image im(size, size);
    const float k = size / 64.f, c = size / 2.f, hw = 30 * k;
    // A sandstone slab of the board, painted at the icon's own size so every size is sharp.
    Col base = hex(0xd8b46a), dark = hex(0x8a6a32);
    fill(im, 0, 0, float(size), float(size), [&](float x, float y) { return sdBox(x, y, c, c, hw, hw, 9 * k); },
         [&](float x, float y, float d) {
             float n = fbm(x / k * 0.12f, y / k * 0.12f, 78u, 3);
             Col col = scale(base, 0.82f + 0.3f * n);
             float rim = smooth(-6 * k, 0, d);
             float side = ((x - c) * -0.6f + (y - c) * -0.8f) / hw;
             col = side > 0 ? lighten(col, rim * side * 0.55f) : darken(col, -rim * side * 0.5f);
             return mix(col, dark, smooth(-1.5f * k, 0, d) * 0.8f);
         });
    // A group of three red figures beside a blue one: the move the game is about.
    const int kinds[4] = {3, 3, 3, 1};
    const float at[4][2] = {{0.31f, 0.31f}, {0.69f, 0.31f}, {0.31f, 0.69f}, {0.69f, 0.69f}};
    for (int i = 0; i < 4; ++i) figureFrame(im, at[i][0] * size, at[i][1] * size - 0.5f * k, 11.5f * k, kinds[i], 0);
    return im;
}

// A board as the game would show it, for a painter's eye (written only beside the previews).
static void boardPreview(const char* dir) {
    Image board = landscapeScene(3);
    Image tiles[3] = {fieldTile(0), fieldTile(1), fieldTile(2)};
    Image sheets[8];
    for (int k = 0; k < 8; ++k) sheets[k] = figureSheet(k);
    Image chain = chainPicture();
    Rng rng(5);
    for (int r = 0; r < 11; ++r)
        for (int c = 0; c < 12; ++c) {
            float cx = 400 - 270 + c * 54.f + 27 - 27, cy = 300 - 295 + r * 54.f + 27;
            cx = 130 + c * 54.f + 27;
            if ((r == 0 || r == 10) && (c < 2 || c > 9)) continue;
            int layers = (r > 6) ? 2 : (r > 3 ? 1 : 0);
            blitScaled(board, tiles[layers], cx - 28, cy - 28, 56, 56);
            int kind = rng.irange(0, 5);
            Image cell(64, 64);
            int frame = (r == 2 && c == 3) ? 12 : 0;
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x) cell.at(x, y) = sheets[kind].at((frame % 8) * 64 + x, (frame / 8) * 64 + y);
            blitScaled(board, cell, cx - 24, cy - 24, 48, 48);
            if (layers == 2 && c % 4 == 1) blitScaled(board, chain, cx - 35, cy - 35, 70, 70);
        }
    std::vector<uint8_t> png = encodePng(board);
    std::string path = std::string(dir) + "/board.png";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(png.data(), 1, png.size(), f);
        std::fclose(f);
    }
}

void paintFigures(Context& ctx) {
    if (const char* dir = std::getenv("SANDMERE_FORGE_PREVIEW")) boardPreview(dir);
    for (int k = 0; k < 8; ++k) emit(ctx, std::string("figures/") + kFigureFiles[k] + ".tga", figureSheet(k));
    for (int l = 0; l < 3; ++l) emit(ctx, "field/field" + std::to_string(l) + ".tga", fieldTile(l));
    emit(ctx, "zep2.tga", chainPicture());
    emit(ctx, "bonus1.tga", bonusOverlay(false));
    emit(ctx, "bonus2.tga", bonusOverlay(true));
    emit(ctx, "heart.tga", heartPicture());
}

}  // namespace forge::art
