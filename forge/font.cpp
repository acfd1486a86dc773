// The game's font: a 512 x 512 sheet of 16 x 16 cells of 32 pixels (white glyphs with alpha) and its
// metrics file, rasterised from DejaVu Sans Bold. Every byte code has its own cell; the codes above
// 127 follow code page 1251, as the game's texts do.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "art_canvas.h"
#include "art_text.h"
#include "forge.h"
#include "stb_truetype.h"

namespace forge {
namespace art {

namespace {

struct Face {
    std::vector<uint8_t> bytes;
    stbtt_fontinfo info{};
    bool ready = false;
};

struct FontState {
    std::map<std::string, Face> faces;
};
FontState g_fonts;

Face& face(const std::string& pattern) {
    Face& f = g_fonts.faces[pattern];
    if (f.ready) return f;
    std::string path = findFontFile(pattern);
    std::ifstream in(path, std::ios::binary);
    f.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (f.bytes.empty() || !stbtt_InitFont(&f.info, f.bytes.data(), stbtt_GetFontOffsetForIndex(f.bytes.data(), 0))) {
        std::fprintf(stderr, "forge: cannot read the font %s (%s)\n", pattern.c_str(), path.c_str());
        std::exit(1);
    }
    f.ready = true;
    return f;
}

}  // namespace

std::string findFontFile(const std::string& pattern) {
    std::string cmd = "fc-match -f '%{file}' '" + pattern + "' 2>/dev/null";
    std::string found;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[512];
        while (size_t n = std::fread(buf, 1, sizeof buf, p)) found.append(buf, n);
        pclose(p);
    }
    if (!found.empty() && found.find("DejaVu") != std::string::npos && std::filesystem::exists(found)) return found;
    bool serif = pattern.find("Serif") != std::string::npos;
    return serif ? "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"
                 : "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
}

static const char* facePattern(bool serif) { return serif ? "DejaVu Serif:bold" : "DejaVu Sans:bold"; }

float labelWidth(float px, const std::string& text, bool serif) {
    Face& f = face(facePattern(serif));
    float k = stbtt_ScaleForPixelHeight(&f.info, px);
    float w = 0;
    for (unsigned char c : text) {
        int adv, lsb;
        stbtt_GetCodepointHMetrics(&f.info, c, &adv, &lsb);
        w += adv * k;
    }
    return w;
}

float drawLabel(Image& im, float x, float y, float px, const std::string& text, Col colour, bool centred, bool serif) {
    Face& f = face(facePattern(serif));
    float k = stbtt_ScaleForPixelHeight(&f.info, px);
    float w = labelWidth(px, text, serif);
    float pen = centred ? x - w / 2 : x;
    for (unsigned char c : text) {
        int adv, lsb;
        stbtt_GetCodepointHMetrics(&f.info, c, &adv, &lsb);
        float shift = pen - std::floor(pen);
        int bw, bh, ox, oy;
        unsigned char* bm = stbtt_GetCodepointBitmapSubpixel(&f.info, k, k, shift, 0, c, &bw, &bh, &ox, &oy);
        int bx = int(std::floor(pen)) + ox, by = int(std::floor(y)) + oy;
        for (int j = 0; j < bh; ++j)
            for (int i = 0; i < bw; ++i) {
                int tx = bx + i, ty = by + j;
                if (tx < 0 || ty < 0 || tx >= im.w || ty >= im.h) continue;
                over(im.at(tx, ty), colour, bm[j * bw + i] / 255.f);
            }
        stbtt_FreeBitmap(bm, nullptr);
        pen += adv * k;
    }
    return w;
}

}  // namespace art

namespace {

// Code page 1251, codes 0x80..0xBF, as Unicode code points (0 = no character).
const uint16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0,      0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

}  // namespace

static int codePointOfByte(int c) {
    if (c < 32) return 0;
    if (c < 128) return c == 127 ? 0 : c;
    if (c < 0xC0) return kCp1251High[c - 0x80];
    return 0x0410 + (c - 0xC0);
}

void forgeFont(Context& ctx) {
    constexpr int kCells = 16, kCell = 32, kSheet = kCells * kCell;
    std::string path = art::findFontFile("DejaVu Sans:bold");
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> ttf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    stbtt_fontinfo info;
    if (ttf.empty() || !stbtt_InitFont(&info, ttf.data(), stbtt_GetFontOffsetForIndex(ttf.data(), 0))) {
        std::fprintf(stderr, "forge: cannot read the font %s\n", path.c_str());
        std::exit(1);
    }
    // 29 pixels from the top of the tallest accent to the lowest descender; the baseline sits at 24.
    float k = stbtt_ScaleForPixelHeight(&info, 29.f);
    const int baseline = 24;

    art::Image sheet(kSheet, kSheet, art::Col{1, 1, 1, 0});
    std::vector<uint8_t> dat(516, 0);
    int32_t n = kCells;
    std::memcpy(dat.data(), &n, 4);
    for (int c = 0; c < 256; ++c) {
        dat[260 + c] = uint8_t(c);
        int cp = codePointOfByte(c);
        if (!cp) continue;
        int glyph = stbtt_FindGlyphIndex(&info, cp);
        if (!glyph && cp != 0xA0 && cp != 0xAD) continue;
        int adv, lsb;
        stbtt_GetGlyphHMetrics(&info, glyph, &adv, &lsb);
        float advance = adv * k + 1.0f;  // one pixel of air between bold glyphs
        float sx = k;
        if (advance > kCell - 1) {  // squeeze the few glyphs wider than a cell
            sx = k * (kCell - 2) / (adv * k);
            advance = kCell - 1;
        }
        dat[4 + c] = uint8_t(std::lround(advance));
        int cellX = (c % kCells) * kCell, cellY = (c / kCells) * kCell;
        float originX = (kCell - advance) / 2.f + 0.5f;
        float shift = originX - std::floor(originX);
        int bw, bh, ox, oy;
        unsigned char* bm = stbtt_GetGlyphBitmapSubpixel(&info, sx, k, shift, 0, glyph, &bw, &bh, &ox, &oy);
        for (int j = 0; j < bh; ++j)
            for (int i = 0; i < bw; ++i) {
                int x = int(std::floor(originX)) + ox + i, y = baseline + oy + j;
                if (x < 0 || y < 0 || x >= kCell || y >= kCell) continue;
                sheet.at(cellX + x, cellY + y).a = bm[j * bw + i] / 255.f;
            }
        stbtt_FreeBitmap(bm, nullptr);
    }
    art::emit(ctx, "font.tga", sheet);
    writeOutput(ctx, "font.dat", dat);
}

}  // namespace forge
