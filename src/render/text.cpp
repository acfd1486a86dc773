#include "render/text.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/fatal.h"
#include "platform/gpu.h"
#include "render/device.h"
#include "render/sprites.h"
#include "render/textures.h"

namespace {
// Where a cell of the glyph sheet holds texels that show (alpha above 0), in texels from the
// cell's top-left corner, the end excluded; measured once when the font is loaded.
struct InkBox {
    int16_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool known = false;  // false: the whole cell counts
};

struct Font {
    FontMetrics metrics;
    float scaleX;
    float ratioY;
    TextureEntry* sheet;
    InkBox ink[256];
    int cellTexels;
};

struct TextState {
    Font fonts[kMaxFonts];
    int count = 0;
    int current = 0;
    uint32_t colour = 0xFFFFFFFFu;
    float size = 13.0f;
    float penX = 0.0f, penY = 0.0f, penZ = 45.0f;
    float offset = 0.0f;
    TextureEntry* highlight = nullptr;
};
TextState gText;

constexpr float kTextZ = 45.0f;

const Font* currentFont() {
    if (gText.count == 0) return nullptr;
    return &gText.fonts[gText.current];
}

float advanceOf(const Font& f, unsigned char c) { return f.metrics.advance[c]; }

// One glyph quad centred at (px, py), covering its whole cell. Where the cell's clear texels
// would leave the picture as it is, only its ink box is drawn (with a texel to spare for
// filtering): the same pixels for less work.
void drawGlyph(const Font& f, unsigned char c, float px, float py, float s, bool inkOnly) {
    triangleCounter() += 2;
    float hx = s * f.scaleX;
    float hy = s * f.scaleX * f.ratioY;
    int n = f.metrics.cellsPerRow;
    int k = f.metrics.cell[c];
    float step = f.metrics.cellSize;
    float u = static_cast<float>(k % n) / static_cast<float>(n);
    float v = static_cast<float>(k / n) / static_cast<float>(n);
    // The part of the cell drawn, as fractions of its sides.
    float a0 = 0.0f, a1 = 1.0f, b0 = 0.0f, b1 = 1.0f;
    const InkBox& ink = f.ink[k];
    if (inkOnly && ink.known) {
        if (ink.x1 <= ink.x0) return;  // nothing shows
        auto fraction = [&](int texel, float spare) {
            float t = (static_cast<float>(texel) + spare) / static_cast<float>(f.cellTexels);
            return t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
        };
        a0 = fraction(ink.x0, -1.5f);
        a1 = fraction(ink.x1, 1.5f);
        b0 = fraction(ink.y0, -1.5f);
        b1 = fraction(ink.y1, 1.5f);
    }
    float left = px - hx + 2.0f * hx * a0, right = px - hx + 2.0f * hx * a1;
    float top = py + hy - 2.0f * hy * b0, bottom = py + hy - 2.0f * hy * b1;
    float u0 = u + step * a0, u1 = u + step * a1, v0 = v + step * b0, v1 = v + step * b1;
    uint32_t colour = tintColour(gText.colour);
    const platform::gpu::Vertex quad[4] = {{left, top, kTextZ, colour, u0, v0},
                                           {right, top, kTextZ, colour, u1, v0},
                                           {left, bottom, kTextZ, colour, u0, v1},
                                           {right, bottom, kTextZ, colour, u1, v1}};
    platform::gpu::drawSprites(quad, 4, platform::gpu::kTriangleStrip);
}

// The ink box of every cell of the sheet.
void measureInk(Font& f) {
    f.cellTexels = 0;
    if (!f.sheet || !f.sheet->texture || f.sheet->width != f.sheet->height) return;
    int n = f.metrics.cellsPerRow;
    int side = static_cast<int>(f.sheet->width);
    if (n <= 0 || side % n != 0 || side / n > 32767) return;
    std::vector<uint8_t> texels(static_cast<size_t>(side) * static_cast<size_t>(side) * 4);
    if (!platform::gpu::readTexture(f.sheet->texture, texels.data())) return;
    int cell = side / n;
    f.cellTexels = cell;
    for (int k = 0; k < 256 && k < n * n; ++k) {
        InkBox box;
        box.x0 = box.y0 = static_cast<int16_t>(cell);
        int cx = (k % n) * cell, cy = (k / n) * cell;
        // The texels just outside the cell count too: filtering at its edge reaches them (the
        // sheet repeats beyond its sides).
        for (int y = -1; y <= cell; ++y) {
            int ty = (cy + y + side) % side;
            for (int x = -1; x <= cell; ++x) {
                int tx = (cx + x + side) % side;
                if (texels[(static_cast<size_t>(ty) * side + tx) * 4 + 3] == 0) continue;
                int ix = std::clamp(x, 0, cell - 1), iy = std::clamp(y, 0, cell - 1);
                box.x0 = std::min<int16_t>(box.x0, static_cast<int16_t>(ix));
                box.y0 = std::min<int16_t>(box.y0, static_cast<int16_t>(iy));
                box.x1 = std::max<int16_t>(box.x1, static_cast<int16_t>(ix + 1));
                box.y1 = std::max<int16_t>(box.y1, static_cast<int16_t>(iy + 1));
            }
        }
        if (box.x1 <= box.x0) box.x0 = box.x1 = box.y0 = box.y1 = 0;
        box.known = true;
        f.ink[k] = box;
    }
}

bool isLineEnd(unsigned char c) { return c == '\r' || c == '\n'; }

// The index after a line end at i: a carriage return takes the character after it too (the
// LF of a CR LF pair), but never the terminator.
int skipLineEnd(const unsigned char* t, int i) {
    if (t[i] == '\r' && t[i + 1] != 0) return i + 2;
    return i + 1;
}

void drawLeftAnchored(const Font& f, float x, float y, float s, const unsigned char* t, bool inkOnly) {
    gText.penX = x;
    gText.penY = y;
    gText.penZ = kTextZ;
    gText.offset = 0.0f;
    int i = 0;
    while (t[i]) {
        unsigned char c = t[i];
        if (i > 0) gText.offset += s * advanceOf(f, c) / 2.0f;
        if (isLineEnd(c)) {
            if (c == '\r' && t[i + 1] == 0) break;  // a carriage return at the very end ends the text
            i = skipLineEnd(t, i);
            gText.penY -= 1.8f * s;
            gText.offset = -s * advanceOf(f, t[i]) / 2.0f;
            continue;
        }
        drawGlyph(f, c, gText.penX + gText.offset, gText.penY, s, inkOnly);
        gText.offset += s * advanceOf(f, c) / 2.0f;
        ++i;
    }
}

void drawCentred(const Font& f, float x, float y, float s, const unsigned char* t, bool inkOnly) {
    gText.penX = x;
    gText.penY = y;
    gText.penZ = kTextZ;
    int i = 0;
    while (t[i]) {
        int end = i;
        float width = 0.0f;
        while (t[end] && !isLineEnd(t[end])) width += s * advanceOf(f, t[end++]);
        gText.offset = -width / 2.0f + s / 2.0f;
        for (int j = i; j < end; ++j) {
            unsigned char c = t[j];
            if (j > 0) gText.offset += s * advanceOf(f, c) / 2.0f;
            drawGlyph(f, c, gText.penX + gText.offset, gText.penY, s, inkOnly);
            gText.offset += s * advanceOf(f, c) / 2.0f;
        }
        if (!t[end]) break;
        i = skipLineEnd(t, end);
        gText.penY -= 1.8f * s;
    }
}
}  // namespace

bool parseFontMetrics(const uint8_t* bytes, int32_t size, float scaleX, FontMetrics& out) {
    if (!bytes || size < 516) return false;
    int32_t n;
    std::memcpy(&n, bytes, 4);
    if (n < 1 || n > 512) return false;
    out.cellsPerRow = n;
    out.cellSize = 1.0f / static_cast<float>(n);
    float cellPixels = 512.0f / static_cast<float>(n);
    for (int c = 0; c < 256; ++c) {
        out.advance[c] = static_cast<float>(bytes[4 + c]) * 2.0f / cellPixels * scaleX;
        out.cell[c] = bytes[260 + c];
    }
    return true;
}

void loadFont(const char* baseName, float scaleX, float ratioY) {
    if (!baseName) return;
    char name[160];
    std::snprintf(name, sizeof name, "%s.tga", baseName);
    // Glyphs are drawn at about their size or a little smaller: one level.
    TextureEntry* sheet = loadTextureOneLevel(name, true);
    std::snprintf(name, sizeof name, "%s.dat", baseName);
    int32_t size = 0;
    uint8_t* bytes = loadPictureFile(name, &size, true);
    FontMetrics metrics;
    if (!parseFontMetrics(bytes, size, scaleX, metrics)) {
        char text[256];
        std::snprintf(text, sizeof text, "Can't load %s...\nProgram will now stop.", name);
        platform::fatal(text, "Loading Error");
    }
    releasePictureFile(bytes);
    if (gText.count < kMaxFonts) {
        Font& f = gText.fonts[gText.count++];
        f.metrics = metrics;
        f.scaleX = scaleX;
        f.ratioY = ratioY;
        f.sheet = sheet;
        measureInk(f);
    }
    gText.colour = 0xFFFFFFFFu;
    gText.highlight = loadTexture("podsvet.jpg");
}

void selectFont(int number) {
    if (gText.count == 0) return;
    int n = number % gText.count;
    if (n < 0) n += gText.count;
    gText.current = n;
}

int fontCount() { return gText.count; }

void setTextColour(uint32_t argb) { gText.colour = argb; }

void setTextColour(int red, int green, int blue, int alpha) {
    gText.colour = (static_cast<uint32_t>(alpha & 0xFF) << 24) | (static_cast<uint32_t>(red & 0xFF) << 16) |
                   (static_cast<uint32_t>(green & 0xFF) << 8) | static_cast<uint32_t>(blue & 0xFF);
}

uint32_t textColour() { return gText.colour; }

void setTextSize(float size) { gText.size = size; }

float textSize() { return gText.size; }

void drawText(float x, float y, float size, const char* text, bool centred) {
    const Font* f = currentFont();
    if (!f || !text) return;
    bindTexture(f->sheet);
    const auto* t = reinterpret_cast<const unsigned char*>(text);
    bool inkOnly = platform::gpu::clearTexelsChangeNothing();
    if (centred) drawCentred(*f, x, y, size, t, inkOnly);
    else drawLeftAnchored(*f, x, y, size, t, inkOnly);
}

float textWidth(const char* text, float size) {
    const Font* f = currentFont();
    if (!f || !text) return 0.0f;
    float width = 0.0f;
    for (const auto* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) width += size * advanceOf(*f, *p);
    return width;
}

void drawHighlightedText(float x, float y, float size, uint32_t barColour, const char* text, bool centring) {
    if (!text) return;
    float width = textWidth(text, size);
    if (centring) x = x - width / 2.0f + size / 2.0f;
    drawText(x, y, size, text, false);
    platform::gpu::setBlendFactors(3);
    switchOff(kSwitchAlphaTest);
    bindTexture(gText.highlight);
    float left = x + 0.2f * size - 3.0f * size;
    float right = x + 0.2f * size + size + width;
    float top = y + 5.0f + size;
    float bottom = y + 5.0f - size;
    drawQuadCorners(Vector3{left, top, kTextZ}, Vector3{right, top, kTextZ}, Vector3{right, bottom, kTextZ},
                    Vector3{left, bottom, kTextZ}, barColour, barColour, barColour, barColour);
    setBlendMode(kBlendAlpha);
    switchOn(kSwitchAlphaTest);
}

void drawHighlightBar(float x0, float y0, float x1, float y1, uint32_t colour) {
    platform::gpu::setBlendFactors(3);
    switchOn(kSwitchAlphaTest);
    bindTexture(gText.highlight);
    drawQuadCorners(Vector3{x0, y0, 35.0f}, Vector3{x1, y0, 35.0f}, Vector3{x1, y1, 35.0f}, Vector3{x0, y1, 35.0f},
                    colour, colour, colour, colour);
    setBlendMode(kBlendAlpha);
    switchOn(kSwitchAlphaTest);
}

void releaseFonts() {
    gText = TextState{};
}
