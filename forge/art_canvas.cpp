#include "art_canvas.h"

#include <cstdio>
#include <cstdlib>

#include "art_text.h"
#include "platform/image.h"
#include "stb_image_write.h"

namespace forge::art {

Col Image::sample(float x, float y) const {
    x -= 0.5f;
    y -= 0.5f;
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float fx = x - x0, fy = y - y0;
    auto get = [&](int px, int py) {
        px = std::clamp(px, 0, w - 1);
        py = std::clamp(py, 0, h - 1);
        const Col& c = at(px, py);
        return Col{c.r * c.a, c.g * c.a, c.b * c.a, c.a};
    };
    Col a = get(x0, y0), b = get(x0 + 1, y0), c = get(x0, y0 + 1), d = get(x0 + 1, y0 + 1);
    Col t = mix(a, b, fx), u = mix(c, d, fx), r = mix(t, u, fy);
    if (r.a > 1e-6f) return Col{r.r / r.a, r.g / r.a, r.b / r.a, r.a};
    return Col{0, 0, 0, 0};
}

float sdPoly(const Poly& p, float x, float y) {
    size_t n = p.x.size();
    float d = (x - p.x[0]) * (x - p.x[0]) + (y - p.y[0]) * (y - p.y[0]);
    float s = 1;
    for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
        float ex = p.x[j] - p.x[i], ey = p.y[j] - p.y[i];
        float wx = x - p.x[i], wy = y - p.y[i];
        float ee = ex * ex + ey * ey;
        float t = ee > 0 ? clamp01((wx * ex + wy * ey) / ee) : 0;
        float bx = wx - ex * t, by = wy - ey * t;
        d = std::min(d, bx * bx + by * by);
        bool c1 = y >= p.y[i], c2 = y < p.y[j], c3 = ex * wy > ey * wx;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

Poly regularPoly(float cx, float cy, float r, int n, float turn) {
    Poly p;
    for (int i = 0; i < n; ++i) {
        float a = turn + 2 * kPi * i / n;
        p.add(cx + r * std::sin(a), cy - r * std::cos(a));
    }
    return p;
}

Poly starPoly(float cx, float cy, float r0, float r1, int n, float turn) {
    Poly p;
    for (int i = 0; i < 2 * n; ++i) {
        float a = turn + kPi * i / n;
        float r = (i % 2) ? r1 : r0;
        p.add(cx + r * std::sin(a), cy - r * std::cos(a));
    }
    return p;
}

void fillPoly(Image& im, const Poly& p, Col c) {
    fill(im, p.minX() - 1, p.minY() - 1, p.maxX() + 1, p.maxY() + 1, [&](float x, float y) { return sdPoly(p, x, y); },
         [&](float, float, float) { return c; });
}

static float hash(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) * (1.f / 16777215.f);
}

float valueNoise(float x, float y, uint32_t seed, int periodX, int periodY) {
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float fx = x - x0, fy = y - y0;
    int x1 = x0 + 1, y1 = y0 + 1;
    if (periodX > 0) {
        x0 = ((x0 % periodX) + periodX) % periodX;
        x1 = ((x1 % periodX) + periodX) % periodX;
    }
    if (periodY > 0) {
        y0 = ((y0 % periodY) + periodY) % periodY;
        y1 = ((y1 % periodY) + periodY) % periodY;
    }
    float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    float a = hash(x0, y0, seed), b = hash(x1, y0, seed), c = hash(x0, y1, seed), d = hash(x1, y1, seed);
    return lerp(lerp(a, b, sx), lerp(c, d, sx), sy);
}

float fbm(float x, float y, uint32_t seed, int octaves, int periodX, int periodY) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * valueNoise(x, y, seed + uint32_t(o) * 101u, periodX, periodY);
        norm += amp;
        amp *= 0.5f;
        x *= 2;
        y *= 2;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / norm;
}

static void boxPass(std::vector<Col>& v, int w, int h, int r, bool horizontal) {
    std::vector<Col> line(size_t(std::max(w, h)));
    int len = horizontal ? w : h, count = horizontal ? h : w;
    float inv = 1.f / (2 * r + 1);
    for (int k = 0; k < count; ++k) {
        auto idx = [&](int i) {
            i = std::clamp(i, 0, len - 1);
            return horizontal ? size_t(k) * w + i : size_t(i) * w + k;
        };
        Col acc{0, 0, 0, 0};
        for (int i = -r; i <= r; ++i) {
            const Col& c = v[idx(i)];
            acc.r += c.r;
            acc.g += c.g;
            acc.b += c.b;
            acc.a += c.a;
        }
        for (int i = 0; i < len; ++i) {
            line[i] = Col{acc.r * inv, acc.g * inv, acc.b * inv, acc.a * inv};
            const Col& add = v[idx(i + r + 1)];
            const Col& sub = v[idx(i - r)];
            acc.r += add.r - sub.r;
            acc.g += add.g - sub.g;
            acc.b += add.b - sub.b;
            acc.a += add.a - sub.a;
        }
        for (int i = 0; i < len; ++i) v[idx(i)] = line[i];
    }
}

void blur(Image& im, int radius) {
    if (radius <= 0) return;
    for (Col& c : im.px) c = Col{c.r * c.a, c.g * c.a, c.b * c.a, c.a};
    int r = std::max(1, radius / 2);
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(im.px, im.w, im.h, r, true);
        boxPass(im.px, im.w, im.h, r, false);
    }
    for (Col& c : im.px) {
        if (c.a > 1e-6f) c = Col{c.r / c.a, c.g / c.a, c.b / c.a, c.a};
        else c = Col{0, 0, 0, 0};
    }
}

Image resized(const Image& im, int w, int h) {
    Image out(w, h);
    float sx = float(im.w) / w, sy = float(im.h) / h;
    if (sx <= 1 && sy <= 1) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) out.at(x, y) = im.sample((x + 0.5f) * sx, (y + 0.5f) * sy);
        return out;
    }
    for (int y = 0; y < h; ++y) {
        float fy0 = y * sy, fy1 = (y + 1) * sy;
        for (int x = 0; x < w; ++x) {
            float fx0 = x * sx, fx1 = (x + 1) * sx;
            Col acc{0, 0, 0, 0};
            float wsum = 0;
            for (int py = int(fy0); py < int(std::ceil(fy1)) && py < im.h; ++py) {
                float wy = std::min(fy1, py + 1.f) - std::max(fy0, float(py));
                for (int px = int(fx0); px < int(std::ceil(fx1)) && px < im.w; ++px) {
                    float wx = std::min(fx1, px + 1.f) - std::max(fx0, float(px));
                    float wgt = wx * wy;
                    const Col& c = im.at(px, py);
                    acc.r += c.r * c.a * wgt;
                    acc.g += c.g * c.a * wgt;
                    acc.b += c.b * c.a * wgt;
                    acc.a += c.a * wgt;
                    wsum += wgt;
                }
            }
            if (wsum > 0 && acc.a > 1e-6f)
                out.at(x, y) = Col{acc.r / acc.a, acc.g / acc.a, acc.b / acc.a, acc.a / wsum};
        }
    }
    return out;
}

void blit(Image& dst, const Image& src, int x, int y) {
    for (int py = 0; py < src.h; ++py) {
        int ty = y + py;
        if (ty < 0 || ty >= dst.h) continue;
        for (int px = 0; px < src.w; ++px) {
            int tx = x + px;
            if (tx < 0 || tx >= dst.w) continue;
            over(dst.at(tx, ty), src.at(px, py), 1);
        }
    }
}

void blitScaled(Image& dst, const Image& src, float x, float y, float w, float h, float alpha) {
    int ix0 = std::max(0, int(std::floor(x))), iy0 = std::max(0, int(std::floor(y)));
    int ix1 = std::min(dst.w, int(std::ceil(x + w))), iy1 = std::min(dst.h, int(std::ceil(y + h)));
    float kx = src.w / w, ky = src.h / h;
    for (int py = iy0; py < iy1; ++py)
        for (int px = ix0; px < ix1; ++px) {
            float u = (px + 0.5f - x) * kx, v = (py + 0.5f - y) * ky;
            if (u < 0 || v < 0 || u > src.w || v > src.h) continue;
            over(dst.at(px, py), src.sample(u, v), alpha);
        }
}

Image shadowOf(const Image& im, int radius, float dx, float dy, float strength) {
    Image s(im.w, im.h);
    for (int y = 0; y < im.h; ++y)
        for (int x = 0; x < im.w; ++x) {
            int sx = x - int(dx), sy = y - int(dy);
            if (sx < 0 || sy < 0 || sx >= im.w || sy >= im.h) continue;
            s.at(x, y) = Col{0, 0, 0, im.at(sx, sy).a * strength};
        }
    blur(s, radius);
    return s;
}

void overImage(Image& dst, const Image& src) {
    for (size_t i = 0; i < dst.px.size(); ++i) over(dst.px[i], src.px[i], 1);
}

Image flattened(const Image& im, Col background) {
    Image out(im.w, im.h, withAlpha(background, 1));
    overImage(out, im);
    return out;
}

Image premultiplied(const Image& im) {
    Image out = im;
    for (Col& c : out.px) c = Col{clamp01(c.r) * clamp01(c.a), clamp01(c.g) * clamp01(c.a), clamp01(c.b) * clamp01(c.a), c.a};
    return out;
}

static uint8_t toByte(float v) { return uint8_t(std::lround(clamp01(v) * 255.f)); }

static void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    auto* p = static_cast<uint8_t*>(data);
    out->insert(out->end(), p, p + size);
}

static std::vector<uint8_t> rgbaBytes(const Image& im) {
    std::vector<uint8_t> b(size_t(im.w) * im.h * 4);
    for (size_t i = 0; i < im.px.size(); ++i) {
        b[i * 4 + 0] = toByte(im.px[i].r);
        b[i * 4 + 1] = toByte(im.px[i].g);
        b[i * 4 + 2] = toByte(im.px[i].b);
        b[i * 4 + 3] = toByte(im.px[i].a);
    }
    return b;
}

std::vector<uint8_t> encodeTga(const Image& im) {
    // Run-length 32-bit pictures: the game's decoder reads them, and the mostly clear sheets
    // (font, particles, figures, masks) shrink to a fraction in the pack and in memory.
    std::vector<uint8_t> rgba = rgbaBytes(im);
    return platform::encodeTga(rgba.data(), im.w, im.h, true);
}

std::vector<uint8_t> encodeJpg(const Image& im, int quality) {
    std::vector<uint8_t> rgb(size_t(im.w) * im.h * 3), out;
    for (size_t i = 0; i < im.px.size(); ++i) {
        rgb[i * 3 + 0] = toByte(im.px[i].r);
        rgb[i * 3 + 1] = toByte(im.px[i].g);
        rgb[i * 3 + 2] = toByte(im.px[i].b);
    }
    stbi_write_jpg_to_func(appendBytes, &out, im.w, im.h, 3, rgb.data(), quality);
    return out;
}

std::vector<uint8_t> encodeAlphaJpg(const Image& im, int quality) {
    std::vector<uint8_t> out = encodeJpg(im, quality);
    out.reserve(out.size() + im.px.size());
    for (const Col& c : im.px) out.push_back(toByte(c.a));
    return out;
}

std::vector<uint8_t> encodePng(const Image& im) {
    std::vector<uint8_t> rgba = rgbaBytes(im), out;
    stbi_write_png_to_func(appendBytes, &out, im.w, im.h, 4, rgba.data(), im.w * 4);
    return out;
}

struct Thumb {
    std::string name;
    Image img;
    int w, h;
    bool opaque;
};

struct EmitState {
    std::vector<Thumb> thumbs;
};
static EmitState g_emit;

void resetEmitted() { g_emit = EmitState{}; }

static bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

void emit(Context& ctx, const std::string& relPath, const Image& im) {
    std::string base = relPath.substr(relPath.find_last_of('/') == std::string::npos ? 0 : relPath.find_last_of('/') + 1);
    bool opaque = false;
    if (endsWith(relPath, ".tga")) {
        writeOutput(ctx, relPath, encodeTga(im));
    } else if (endsWith(relPath, ".jpg") && base.rfind("_a_", 0) == 0) {
        writeOutput(ctx, relPath, encodeAlphaJpg(im, 90));
    } else if (endsWith(relPath, ".jpg")) {
        writeOutput(ctx, relPath, encodeJpg(im, 92));
        opaque = true;
    } else {
        std::fprintf(stderr, "forge: unknown picture type %s\n", relPath.c_str());
        std::exit(1);
    }
    if (ctx.contactSheet) {
        float k = std::min(1.f, std::min(150.f / im.w, 150.f / im.h));
        int tw = std::max(1, int(im.w * k)), th = std::max(1, int(im.h * k));
        Image t = resized(opaque ? flattened(im, Col{0, 0, 0, 1}) : im, tw, th);
        g_emit.thumbs.push_back(Thumb{relPath, std::move(t), im.w, im.h, opaque});
        if (const char* dir = std::getenv("SANDMERE_FORGE_PREVIEW")) {
            std::string name = relPath;
            std::replace(name.begin(), name.end(), '/', '_');
            std::vector<uint8_t> png = encodePng(opaque ? flattened(im, Col{0, 0, 0, 1}) : flattened(im, hex(0x808890)));
            std::string path = std::string(dir) + "/" + name + ".png";
            if (FILE* f = std::fopen(path.c_str(), "wb")) {
                std::fwrite(png.data(), 1, png.size(), f);
                std::fclose(f);
            }
        }
    }
}

void writeContactSheet(Context& ctx) {
    if (!ctx.contactSheet) return;
    const int cw = 166, ch = 186, cols = 12;
    int rows = int((g_emit.thumbs.size() + cols - 1) / cols);
    Image sheet(cols * cw, std::max(1, rows) * ch, hex(0x2a2d33));
    for (size_t i = 0; i < g_emit.thumbs.size(); ++i) {
        const Thumb& t = g_emit.thumbs[i];
        int cx = int(i % cols) * cw, cy = int(i / cols) * ch;
        int ox = cx + (cw - t.img.w) / 2, oy = cy + 4 + (150 - t.img.h) / 2;
        for (int y = 0; y < t.img.h; ++y)
            for (int x = 0; x < t.img.w; ++x) {
                bool light = ((x / 8) + (y / 8)) % 2 == 0;
                sheet.at(ox + x, oy + y) = light ? hex(0x9a9a9a) : hex(0x6a6a6a);
            }
        blit(sheet, t.img, ox, oy);
        std::string label = t.name.substr(t.name.find_last_of('/') == std::string::npos ? 0 : t.name.find_last_of('/') + 1);
        char size[32];
        std::snprintf(size, sizeof size, "%dx%d", t.w, t.h);
        drawLabel(sheet, cx + cw / 2.f, cy + 166, 11, label, hex(0xf0f0f0), true);
        drawLabel(sheet, cx + cw / 2.f, cy + 180, 10, size, hex(0xa8b0c0), true);
    }
    writeOutput(ctx, "../contact-sheet.png", encodePng(sheet));
    std::printf("forge: contact sheet with %zu pictures\n", g_emit.thumbs.size());
}

}  // namespace forge::art
