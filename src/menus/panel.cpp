#include "menus/panel.h"

#include <algorithm>
#include <cstring>

#include "menus/cursor.h"
#include "render/device.h"
#include "render/text.h"
#include "render/textures.h"

namespace {

struct PanelState {
    TextureEntry* atlas = nullptr;
    TextureEntry* white = nullptr;
    TextureEntry* balloon = nullptr;
    TextureEntry* button = nullptr;
    uint32_t outline = 0xFFFFAF00u;
    uint32_t glow = 0x3CFFC864u;
};
PanelState gPanel;

constexpr float kPieceZ = 40.0f;
constexpr float kAtlasInset = 0.003f;

// The MenuAtlas: column, row, width and height in 64-pixel cells of a 4 x 8 grid.
struct AtlasCell {
    int column, row, width, height;
};
constexpr AtlasCell kAtlas[kMenuAtlasPieces] = {
    {0, 0, 1, 1}, {1, 0, 1, 1}, {0, 1, 1, 1}, {1, 1, 1, 1}, {0, 2, 1, 1}, {1, 2, 1, 1}, {2, 0, 1, 1},
    {3, 0, 1, 1}, {2, 1, 1, 1}, {3, 1, 1, 1}, {0, 3, 2, 1}, {0, 4, 2, 1}, {2, 3, 1, 2}, {3, 3, 1, 2},
    {0, 7, 1, 1}, {1, 7, 1, 1}, {0, 5, 1, 1}, {0, 6, 1, 1}, {2, 5, 1, 1}, {3, 5, 1, 1}, {1, 6, 1, 1},
    {1, 5, 1, 1}, {3, 7, 1, 1}, {2, 7, 1, 1}, {3, 6, 1, 1}, {2, 6, 1, 1},
};

// The balloon picture is a 4 x 2 grid of 64-pixel cells: the panel's corners top left, top right,
// bottom left and bottom right in the first two columns, then an edge and the plain fill.
constexpr float kBalloonCellU = 0.25f;
constexpr float kBalloonCellV = 0.5f;
constexpr float kBalloonTexelU = 1.0f / 256.0f;
constexpr float kBalloonTexelV = 1.0f / 128.0f;

UVRect balloonCell(int column, int row) {
    const float u0 = static_cast<float>(column) * kBalloonCellU, v0 = static_cast<float>(row) * kBalloonCellV;
    // Half a texel in on every side: linear filtering never reaches the next cell.
    return UVRect{u0 + kBalloonTexelU * 0.5f, v0 + kBalloonTexelV * 0.5f, u0 + kBalloonCellU - kBalloonTexelU * 0.5f,
                  v0 + kBalloonCellV - kBalloonTexelV * 0.5f};
}

uint32_t whiteWithAlpha(float a) { return fadeColour(0xFFFFFFFFu, a); }

// The extent (start, length) of each wrapped line of the text.
struct WrappedLines {
    int start[kMaxWrappedLines];
    int length[kMaxWrappedLines];
    int count = 0;
};

float rangeWidth(const char* text, int start, int length, float size) {
    char buffer[256];
    int n = std::min(length, static_cast<int>(sizeof buffer) - 1);
    std::memcpy(buffer, text + start, static_cast<size_t>(n));
    buffer[n] = '\0';
    return textWidth(buffer, size);
}

void wrapLines(const char* text, float size, float width, WrappedLines& out) {
    out.count = 0;
    if (!text) return;
    const int total = static_cast<int>(std::strlen(text));
    int i = 0;
    while (i < total && out.count < kMaxWrappedLines) {
        const int lineStart = i;
        int lineEnd = i;   // end of the last word that fits
        int next = i;      // where the following line starts
        bool hardBreak = false;
        while (i < total) {
            if (text[i] == '\r' || text[i] == '\n') {
                lineEnd = i;
                next = i + ((text[i] == '\r' && i + 1 < total && text[i + 1] == '\n') ? 2 : 1);
                hardBreak = true;
                break;
            }
            int wordEnd = i;
            while (wordEnd < total && text[wordEnd] != ' ' && text[wordEnd] != '\r' && text[wordEnd] != '\n')
                ++wordEnd;
            const bool fits = rangeWidth(text, lineStart, wordEnd - lineStart, size) <= width;
            if (!fits && lineEnd > lineStart) break;  // the word starts the next line
            lineEnd = wordEnd;
            next = wordEnd;
            i = wordEnd;
            if (!fits) break;  // a single word wider than the line stands alone
            while (i < total && text[i] == ' ') ++i;
            next = i;
        }
        if (!hardBreak) {
            i = next;
            while (i < total && text[i] == ' ') ++i;
        } else {
            i = next;
        }
        // Trailing spaces are not part of the line.
        int end = lineEnd;
        while (end > lineStart && text[end - 1] == ' ') --end;
        out.start[out.count] = lineStart;
        out.length[out.count] = end - lineStart;
        ++out.count;
        if (!hardBreak && i >= total) break;
    }
}

}  // namespace

uint32_t fadeColour(uint32_t argb, float a) {
    a = std::clamp(a, 0.0f, 1.0f);
    const uint32_t alpha = static_cast<uint32_t>(static_cast<float>(argb >> 24) * a);
    return (alpha << 24) | (argb & 0x00FFFFFFu);
}

void loadMenuPictures() {
    gPanel.atlas = loadAlphaJpeg("_a_menutex.jpg", true);
    gPanel.white = loadTexture("white.jpg");
    gPanel.balloon = loadAlphaJpeg("_a_baloon.jpg", true);
    gPanel.button = loadTexture("button.tga");
    makeHammerCursor();
}

void resetMenuPictures() {
    const uint32_t outline = gPanel.outline, glow = gPanel.glow;
    gPanel = PanelState{};
    gPanel.outline = outline;
    gPanel.glow = glow;
}

UVRect menuAtlasPiece(int piece) {
    if (piece < 0 || piece >= kMenuAtlasPieces) piece = 0;
    const AtlasCell& c = kAtlas[piece];
    const float u0 = static_cast<float>(c.column) * 0.25f, v0 = static_cast<float>(c.row) * 0.125f;
    return UVRect{u0 + kAtlasInset, v0 + kAtlasInset, u0 + static_cast<float>(c.width) * 0.25f - kAtlasInset,
                  v0 + static_cast<float>(c.height) * 0.125f - kAtlasInset};
}

TextureEntry* menuAtlasTexture() { return gPanel.atlas; }

void drawAtlasPiece(int piece, float x, float y, float width, float height, uint32_t colour) {
    bindTexture(gPanel.atlas);
    drawQuad(x, y, width, height, menuAtlasPiece(piece), colour, kPieceZ);
}

void drawMenuPanel(float x, float y, float width, float height, float alpha) {
    if (width <= 0.0f || height <= 0.0f || alpha <= 0.0f) return;
    const uint32_t colour = whiteWithAlpha(alpha);
    const float left = x - width / 2.0f, right = x + width / 2.0f;
    const float top = y + height / 2.0f, bottom = y - height / 2.0f;
    const float c = std::min({64.0f, width / 2.0f, height / 2.0f});
    bindTexture(gPanel.balloon);
    // Corners.
    drawQuadRect(left, top, left + c, top - c, balloonCell(0, 0), colour, kPieceZ);
    drawQuadRect(right - c, top, right, top - c, balloonCell(1, 0), colour, kPieceZ);
    drawQuadRect(left, bottom + c, left + c, bottom, balloonCell(0, 1), colour, kPieceZ);
    drawQuadRect(right - c, bottom + c, right, bottom, balloonCell(1, 1), colour, kPieceZ);
    // Edges: the inner texel line of a corner, stretched along the side (the corners are the
    // quarters of one rounded panel, so their inner lines are the straight sides).
    const UVRect tl = balloonCell(0, 0), tr = balloonCell(1, 0), bl = balloonCell(0, 1);
    if (right - c > left + c) {
        drawQuadRect(left + c, top, right - c, top - c, UVRect{tl.u1, tl.v0, tl.u1, tl.v1}, colour, kPieceZ);
        drawQuadRect(left + c, bottom + c, right - c, bottom, UVRect{bl.u1, bl.v0, bl.u1, bl.v1}, colour, kPieceZ);
    }
    if (top - c > bottom + c) {
        drawQuadRect(left, top - c, left + c, bottom + c, UVRect{tl.u0, tl.v1, tl.u1, tl.v1}, colour, kPieceZ);
        drawQuadRect(right - c, top - c, right, bottom + c, UVRect{tr.u0, tr.v1, tr.u1, tr.v1}, colour, kPieceZ);
        if (right - c > left + c)
            drawQuadRect(left + c, top - c, right - c, bottom + c, balloonCell(3, 0), colour, kPieceZ);
    }
}

void drawButton(float x, float y, float width, float height, float size, const char* caption, bool lit, float alpha) {
    if (alpha <= 0.0f) return;
    bindTexture(gPanel.button);
    drawQuad(x, y, width, height, UVRect{0.0f, 0.0f, 1.0f, 1.0f}, whiteWithAlpha(alpha), kPieceZ);
    if (!caption || !*caption) return;
    // A caption wider than the button is set smaller, so it stays on the button (and on screen).
    const float room = width - 16.0f;
    const float wide = textWidth(caption, size);
    if (room > 0.0f && wide > room) size *= room / wide;
    const float tx = x + 2.0f, ty = y - 0.15f * size;
    if (lit) drawHighlightText(tx, ty, size, caption, true, alpha);
    else drawShadowedText(tx, ty, size, caption, true, whiteWithAlpha(alpha));
}

void drawFilledRect(float left, float top, float right, float bottom, uint32_t colour) {
    bindTexture(gPanel.white);
    drawQuadRect(left, top, right, bottom, UVRect{0.25f, 0.25f, 0.75f, 0.75f}, colour, kPieceZ);
}

void setMenuHighlight(uint32_t outline, uint32_t glow) {
    gPanel.outline = outline;
    gPanel.glow = glow;
}

uint32_t menuHighlightOutline() { return gPanel.outline; }
uint32_t menuHighlightGlow() { return gPanel.glow; }

void drawHighlightText(float x, float y, float size, const char* text, bool centred, float alpha) {
    if (!text || alpha <= 0.0f) return;
    const uint32_t before = textColour();
    setTextColour(fadeColour(gPanel.outline, alpha));
    drawHighlightedText(x, y, size, fadeColour(gPanel.glow, alpha), text, centred);
    setTextColour(before);
}

void drawShadowedText(float x, float y, float size, const char* text, bool centred, uint32_t colour) {
    if (!text) return;
    const uint32_t before = textColour();
    setTextColour(fadeColour(0xC0000000u, static_cast<float>(colour >> 24) / 255.0f));
    drawText(x + 2.0f, y - 2.0f, size, text, centred);
    setTextColour(colour);
    drawText(x, y, size, text, centred);
    setTextColour(before);
}

int wrappedLineCount(const char* text, float size, float width) {
    WrappedLines lines;
    wrapLines(text, size, width, lines);
    return lines.count;
}

float drawWrappedText(float x, float y, float size, float width, const char* text, bool centred) {
    WrappedLines lines;
    wrapLines(text, size, width, lines);
    char buffer[256];
    for (int i = 0; i < lines.count; ++i) {
        const int n = std::min(lines.length[i], static_cast<int>(sizeof buffer) - 1);
        std::memcpy(buffer, text + lines.start[i], static_cast<size_t>(n));
        buffer[n] = '\0';
        drawText(x, y - static_cast<float>(i) * 1.8f * size, size, buffer, centred);
    }
    return static_cast<float>(lines.count) * 1.8f * size;
}
