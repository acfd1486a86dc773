#include "render/text.h"

#include <cstdio>
#include <cstring>

#include "platform/fatal.h"
#include "platform/gpu.h"
#include "render/device.h"
#include "render/sprites.h"
#include "render/textures.h"

namespace {
struct Font {
    FontMetrics metrics;
    float scaleX;
    float ratioY;
    TextureEntry* sheet;
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

// One glyph quad centred at (px, py), covering its whole cell.
void drawGlyph(const Font& f, unsigned char c, float px, float py, float s) {
    float hx = s * f.scaleX;
    float hy = s * f.scaleX * f.ratioY;
    int n = f.metrics.cellsPerRow;
    int k = f.metrics.cell[c];
    float step = f.metrics.cellSize;
    float u = static_cast<float>(k % n) / static_cast<float>(n);
    float v = static_cast<float>(k / n) / static_cast<float>(n);
    uint32_t colour = tintColour(gText.colour);
    const platform::gpu::Vertex quad[4] = {{px - hx, py + hy, kTextZ, colour, u, v},
                                           {px + hx, py + hy, kTextZ, colour, u + step, v},
                                           {px - hx, py - hy, kTextZ, colour, u, v + step},
                                           {px + hx, py - hy, kTextZ, colour, u + step, v + step}};
    platform::gpu::drawSprites(quad, 4, platform::gpu::kTriangleStrip);
    triangleCounter() += 2;
}

bool isLineEnd(unsigned char c) { return c == '\r' || c == '\n'; }

// The index after a line end at i: a carriage return takes the character after it too (the
// LF of a CR LF pair), but never the terminator.
int skipLineEnd(const unsigned char* t, int i) {
    if (t[i] == '\r' && t[i + 1] != 0) return i + 2;
    return i + 1;
}

void drawLeftAnchored(const Font& f, float x, float y, float s, const unsigned char* t) {
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
        drawGlyph(f, c, gText.penX + gText.offset, gText.penY, s);
        gText.offset += s * advanceOf(f, c) / 2.0f;
        ++i;
    }
}

void drawCentred(const Font& f, float x, float y, float s, const unsigned char* t) {
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
            drawGlyph(f, c, gText.penX + gText.offset, gText.penY, s);
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
    if (centred) drawCentred(*f, x, y, size, t);
    else drawLeftAnchored(*f, x, y, size, t);
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
