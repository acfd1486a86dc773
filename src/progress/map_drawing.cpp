// The journey map on screen: the frame, the map picture cut to its window, the path strokes,
// the stage icons, the level stars, the traveller, the glows, the labels with the level
// preview, the stage panel with the sparkles, and the congratulation.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/frame_clock.h"
#include "app/resource_store.h"
#include "app/strings.h"
#include "board/level.h"
#include "menus/panel.h"
#include "platform/files.h"
#include "progress/game_modes.h"
#include "progress/map.h"
#include "progress/profiles.h"
#include "render/backdrops.h"
#include "render/device.h"
#include "render/sprites.h"
#include "render/text.h"
#include "render/textures.h"

namespace {

constexpr UVRect kFull{0.0f, 0.0f, 1.0f, 1.0f};
constexpr int kMaxStrokesPerStage = 4096;

uint32_t argb(int a, int r, int g, int b) {
    auto c = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
    return c(a) << 24 | c(r) << 16 | c(g) << 8 | c(b);
}

TextureEntry* picture(const char* name) { return findTexture(name); }

float viewLeftX() { return kViewLeft - 400.0f; }
float viewRightX() { return kViewRight - 400.0f; }
float viewTopY() { return 300.0f - kViewTop; }
float viewBottomY() { return 300.0f - kViewBottom; }

bool pointInView(float x, float y) {
    return x >= viewLeftX() && x <= viewRightX() && y <= viewTopY() && y >= viewBottomY();
}

// A picture centred on (x, y), cut to the view window by its texture coordinates.
void drawInView(TextureEntry* tex, float x, float y, float w, float h, uint32_t colour) {
    if (!tex || !(w > 0.0f) || !(h > 0.0f)) return;
    const float x0 = x + 400.0f - w / 2.0f, y0 = 300.0f - y - h / 2.0f;
    const float x1 = x0 + w, y1 = y0 + h;
    const float cx0 = std::max(x0, kViewLeft), cy0 = std::max(y0, kViewTop);
    const float cx1 = std::min(x1, kViewRight), cy1 = std::min(y1, kViewBottom);
    if (!(cx0 < cx1 && cy0 < cy1)) return;
    bindTexture(tex);
    drawScreenRect(cx0, cy0, cx1, cy1, (cx0 - x0) / w, (cy0 - y0) / h, (cx1 - x0) / w, (cy1 - y0) / h,
                   tintColour(colour));
}

// A turned picture, drawn only when it lies wholly in the window.
void drawTurnedInView(TextureEntry* tex, float x, float y, float size, float angle, uint32_t colour) {
    const float r = size * 0.71f;
    if (!tex || !pointInView(x - r, y - r) || !pointInView(x + r, y + r)) return;
    bindTexture(tex);
    drawRotatedQuad(x, y, x, y, angle, size, size, kFull, colour, 10.0f);
}

void drawMapPicture() {
    TextureEntry* map = picture("megamap.jpg");
    if (!map) return;
    float ox, oy;
    mapToScreen(0.0f, 0.0f, ox, oy);
    const float px = ox + 400.0f, py = 300.0f - oy;  // the map's corner in screen pixels
    const float side = 1024.0f;
    bindTexture(map);
    switchOff(kSwitchBlending);
    drawScreenRect(kViewLeft, kViewTop, kViewRight, kViewBottom, std::clamp((kViewLeft - px) / side, 0.0f, 1.0f),
                   std::clamp((kViewTop - py) / side, 0.0f, 1.0f), std::clamp((kViewRight - px) / side, 0.0f, 1.0f),
                   std::clamp((kViewBottom - py) / side, 0.0f, 1.0f), 0xFFFFFFFFu);
    switchOn(kSwitchBlending);
}

void drawStrokes() {
    if (!pathUsable(mapPath())) return;
    TextureEntry* mark = picture("maplevelmark.tga");
    bindTexture(mark);
    for (int s = 0; s + 1 < kStageCount; ++s) {
        if (!stageComplete(s)) continue;
        const float start = stagePosition(s) + 35.0f, end = stagePosition(s + 1) - 35.0f;
        for (int k = 0; k < kMaxStrokesPerStage; ++k) {
            const float m = start + 14.0f * static_cast<float>(k);
            if (!(m < end)) break;
            MapPoint p = pointAt(m), q = pointAt(m + 16.0f);
            float ax, ay, bx, by;
            mapToScreen(p.x, p.y, ax, ay);
            mapToScreen(q.x, q.y, bx, by);
            if (!pointInView(ax, ay) || !pointInView(bx, by)) continue;
            const float len = std::hypot(bx - ax, by - ay);
            const float angle = std::atan2(by - ay, bx - ax) * 57.29578f;
            drawRotatedQuad((ax + bx) / 2.0f, (ay + by) / 2.0f, (ax + bx) / 2.0f, (ay + by) / 2.0f, angle, len, 2.0f,
                            kFull, 0xFFFFFFFFu, 10.0f);
        }
    }
}

void drawStageIcons() {
    const MapState& m = mapState();
    char name[32];
    for (int s = 0; s < kStageCount; ++s) {
        float x, y;
        stageIconAt(s, x, y);
        std::snprintf(name, sizeof name, "smallart%02i.tga", s);
        if (!stageOpen(s)) {
            drawInView(picture(name), x, y, 64.0f, 64.0f, argb(10, 255, 255, 255));
            continue;
        }
        const float size = s == m.hoveredStage && s != m.travellerStage ? 68.0f : 64.0f;
        drawInView(picture(stageComplete(s) ? name : "mapartefact_q.tga"), x, y, size, size, 0xFFFFFFFFu);
    }
}

void drawLevelStars() {
    const MapState& m = mapState();
    if (!(m.starFade < kStarFadeMs)) return;
    TextureEntry* star = picture("mapstar.tga");
    const int stage = clampedStage(m.travellerStage);
    const int n = stageSize(stage), first = firstLevelOfStage(stage);
    float cx, cy;
    stageIconAt(stage, cx, cy);
    const float clock = frameClock().runningMs;
    for (int j = 0; j < n; ++j) {
        const int level = first + j;
        const float t = std::max(0.0f, m.starFade - static_cast<float>(n - j) * 80.0f);
        const float a = 6.2831853f * static_cast<float>(j) / static_cast<float>(n);
        const float ring = 44.0f * (1.0f + t / 200.0f);
        const float x = cx + ring * std::sin(a), y = cy + ring * std::cos(a);
        const float scale = 1.0f + t / 100.0f;
        const int alpha = static_cast<int>(255.0f - t * 255.0f / 2000.0f);
        const bool open = level == 0 || levelCompleted(level - 1);
        if (level == m.justWon && m.wonTimer > 4000.0f) {
            // The level just won: it swells and turns until its sparkles fly.
            const float pulse = 1.4f + 0.3f * std::sin(clock * 0.012f);
            drawTurnedInView(star, x, y, 26.0f * scale * pulse, clock * 0.2f, argb(alpha, 255, 250, 160));
            continue;
        }
        if (level == m.selectedLevel) {
            const float pulse = 1.25f + 0.12f * std::sin(clock * 0.008f);
            if (star && pointInView(x - 24.0f, y - 24.0f) && pointInView(x + 24.0f, y + 24.0f)) {
                bindTexture(star);
                setBlendMode(kBlendAdditive);
                drawRing(x, y, 44.0f, 8, clock * 0.09f, argb(alpha, 255, 220, 120), 10.0f);
                drawRing(x, y, 34.0f, 6, -clock * 0.13f, argb(alpha, 160, 230, 255), 10.0f);
                setBlendMode(kBlendAlpha);
            }
            drawInView(star, x, y, 24.0f * scale * pulse, 24.0f * scale * pulse, argb(alpha, 255, 255, 255));
            continue;
        }
        if (levelCompleted(level)) drawInView(star, x, y, 22.0f * scale, 22.0f * scale, argb(alpha, 255, 210, 60));
        else if (open) drawInView(star, x, y, 22.0f * scale, 22.0f * scale, argb(alpha, 235, 245, 255));
        else drawInView(star, x, y, 18.0f * scale, 18.0f * scale, argb(alpha * 110 / 255, 90, 90, 110));
    }
}

void drawTraveller() {
    const MapState& m = mapState();
    MapPoint p = pointAt(m.travellerDistance);
    float x, y;
    mapToScreen(p.x, p.y, x, y);
    TextureEntry* star = picture("mapstar.tga");
    const float clock = frameClock().runningMs;
    setBlendMode(kBlendAdditive);
    const int glow = static_cast<int>(110.0f + 50.0f * std::sin(clock * 0.005f));
    drawInView(star, x, y, 60.0f, 60.0f, argb(glow, 255, 170, 60));
    setBlendMode(kBlendAlpha);
    drawTurnedInView(star, x, y, 26.0f, clock * 0.05f, argb(235, 255, 120, 40));
    drawInView(star, x, y, 12.0f, 12.0f, 0xFFFFFFFFu);
}

void drawGlows() {
    const MapState& m = mapState();
    TextureEntry* back = picture("mapback1.tga");
    if (back) {
        bindTexture(back);
        drawQuad(-364.0f, 264.0f, 64.0f, 64.0f, kFull, 0xFFFFFFFFu, 10.0f);
    }
    if (TextureEntry* glow = picture("mapback2.tga"); glow && m.backGlow > 0.0f) {
        bindTexture(glow);
        drawQuad(-364.0f, 264.0f, 64.0f, 64.0f, kFull, argb(static_cast<int>(m.backGlow), 255, 255, 255), 10.0f);
    }
    if (TextureEntry* start = picture("_a_mapstart.jpg"); start && m.startGlow > 0.0f) {
        bindTexture(start);
        setBlendMode(kBlendAdditive);
        drawQuad(258.0f, -245.0f, 256.0f, 128.0f, kFull, argb(static_cast<int>(m.startGlow), 255, 255, 255), 10.0f);
        setBlendMode(kBlendAlpha);
    }
}

// The grid of a level file as the preview shows it: every cell the grid does not reach is no cell.
// The span of rows and columns that hold a cell centres the miniature in its frame (our levels
// leave the last column, under the candle, empty).
struct PreviewGrid {
    int level = -1;
    Cell cells[kRows][kColumns];
    int firstRow = 0, lastRow = kRows - 1, firstColumn = 0, lastColumn = kColumns - 1;
};
PreviewGrid gPreview;

void readPreview(int level) {
    gPreview.level = level;
    for (auto& row : gPreview.cells)
        for (Cell& c : row) {
            c = Cell{};
            c.squares = -1;
            c.figure = -1;
        }
    char name[32];
    levelFileName(level, name, sizeof name);
    const std::string dataFolder = platform::currentDir();
    const bool entered = platform::changeDir("levels");
    int32_t size = 0;
    const uint8_t* bytes = loadFile(name, &size, true);
    if (entered) platform::changeDir(dataFolder.c_str());
    if (!bytes || size <= 0) return;
    const uint8_t* end = bytes + size;
    const uint8_t* p = bytes;
    static const char kKey[] = "level=";
    const uint8_t* found = std::search(p, end, kKey, kKey + 6);
    if (found == end) return;
    p = found + 6;
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column) {
            if (p >= end || !*p) return;
            if (end - p >= 4 && p[0] == '\r' && p[1] == '\n' && p[2] == '\r' && p[3] == '\n') return;
            while (p < end && *p && !acceptedGridByte(*p)) ++p;
            if (p >= end || !*p) return;
            Cell& cell = gPreview.cells[row][column];
            cell.squares = 0;
            applyGridCode(cell, *p);
            ++p;
        }
}

void measurePreview() {
    PreviewGrid& g = gPreview;
    g.firstRow = kRows;
    g.lastRow = -1;
    g.firstColumn = kColumns;
    g.lastColumn = -1;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            if (g.cells[r][c].squares < 0) continue;
            g.firstRow = std::min(g.firstRow, r);
            g.lastRow = std::max(g.lastRow, r);
            g.firstColumn = std::min(g.firstColumn, c);
            g.lastColumn = std::max(g.lastColumn, c);
        }
    if (g.lastRow >= 0) return;
    g.firstRow = 0;  // no cell at all: nothing to centre
    g.lastRow = kRows - 1;
    g.firstColumn = 0;
    g.lastColumn = kColumns - 1;
}

void drawLevelPreview(float left, float top) {
    const int level = selectedLevel();
    if (level < 0 || level >= kLevelCount) return;
    if (gPreview.level != level) {
        readPreview(level);
        measurePreview();
    }
    const float cell = 54.0f * 0.1f * 1.5f;
    const PreviewGrid& g = gPreview;
    const float dx = cell * (0.5f * static_cast<float>(kColumns - 1 - g.lastColumn - g.firstColumn));
    const float dy = cell * (0.5f * static_cast<float>(kRows - 1 - g.lastRow - g.firstRow));
    bindTexture(nullptr);
    drawFilledRect(left - 3.0f, top + 3.0f, left + cell * kColumns + 3.0f, top - cell * kRows - 3.0f,
                   argb(120, 20, 30, 50));
    bindTexture(nullptr);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const Cell& k = gPreview.cells[r][c];
            if (k.squares < 0) continue;
            uint32_t colour = argb(255, 225, 215, 180);
            if (k.squares == 1) colour = argb(255, 90, 170, 230);
            if (k.squares >= 2) colour = argb(255, 40, 90, 190);
            const float x0 = left + dx + cell * c + 0.5f, y0 = top - dy - cell * r - 0.5f;
            drawQuadRect(x0, y0, x0 + cell - 1.0f, y0 - cell + 1.0f, kFull, tintColour(colour), 10.0f);
            if (k.chained) {
                const uint32_t chain = k.bonus ? argb(255, 240, 80, 60) : argb(255, 120, 120, 130);
                drawQuadRect(x0 + 2.0f, y0 - 2.0f, x0 + cell - 3.0f, y0 - cell + 3.0f, kFull, tintColour(chain), 10.0f);
            }
        }
}

void drawLabels() {
    if (gameCompletedShowing()) return;
    const MapState& m = mapState();
    char text[160];
    const float x = 150.0f;
    std::snprintf(text, sizeof text, "%s %i", lookupText("level"), m.selectedLevel + 1);
    setTextColour(255, 255, 255, 255);
    drawShadowedText(x, 8.0f, 15.0f, text, false, 0xFFFFFFFFu);
    std::snprintf(text, sizeof text, "%s %i", lookupText("stage"), clampedStage(m.travellerStage) + 1);
    drawShadowedText(x, -16.0f, 13.0f, text, false, 0xFFFFFFFFu);
    drawShadowedText(x, -40.0f, 13.0f, currentProfile().name, false, argb(255, 255, 240, 0));
    drawLevelPreview(x, -58.0f);
    setTextColour(255, 255, 255, 255);
}

void drawPanel() {
    const MapState& m = mapState();
    const StagePanel& p = m.panel;
    float x, y, size, frame;
    stagePanelPlacement(x, y, size, frame);
    if (frame > 1.0f) {
        drawMenuPanel(0.0f, -40.0f, frame, frame * 0.68f, 1.0f);
    }
    if (size > 0.5f) {
        const float k = size / 256.0f;
        Matrix4 w = identityMatrix();
        w.m[0][0] = k;
        w.m[1][1] = k;
        w.m[3][0] = x - 256.0f * k;
        w.m[3][1] = y - 156.0f * k;
        setWorldMatrix(&w);
        if (p.state >= 0) {
            drawArtefactPicture(p.openedStage, 10, kRevealNone, 0.0f);
        } else {
            const int state = p.revealing ? kRevealRevealing : (p.pulsing ? kRevealPulsing : kRevealNone);
            const float ms = p.revealing ? p.revealMs : p.pulseMs;
            drawArtefactPicture(p.stage, p.pulsing ? p.previousCover : p.cover, state, ms);
        }
        if (p.flashMs > 0.0f) {
            bindTexture(nullptr);
            setBlendMode(kBlendAdditive);
            drawQuadRect(128.0f, 284.0f, 384.0f, 28.0f, kFull, argb(static_cast<int>(p.flashMs / 400.0f * 200.0f), 255, 255, 230), 10.0f);
            setBlendMode(kBlendAlpha);
        }
        setWorldMatrix(nullptr);
    }
    if (p.state == 2) {
        char key[32];
        std::snprintf(key, sizeof key, "stagetitle%i", p.openedStage);
        drawShadowedText(0.0f, -88.0f, 18.0f, lookupText(key), true, argb(255, 255, 240, 0));
        std::snprintf(key, sizeof key, "stage%i", p.openedStage);
        setTextColour(255, 255, 255, 255);
        drawWrappedText(0.0f, -112.0f, 10.0f, 520.0f, lookupText(key), true);
        float bx, by, bw, bh;
        stagePanelButton(bx, by, bw, bh);
        drawButton(bx, by, bw, bh, 17.0f, "OK");
    }
}

void drawSparkles() {
    TextureEntry* star = picture("mapstar.tga");
    if (!star) return;
    bindTexture(star);
    setBlendMode(kBlendAdditive);
    for (const Sparkle& s : mapState().sparkles) {
        if (s.age < 0.0f) continue;
        drawRotatedQuad(s.x, s.y, s.x, s.y, s.angle, 22.0f * s.speed, 22.0f * s.speed, kFull, s.colour, 10.0f);
    }
    setBlendMode(kBlendAlpha);
}

void drawCongratulation() {
    const MapState& m = mapState();
    if (!gameCompletedShowing() || m.congratulation < 1 || m.congratulation > 3) return;
    if (m.wonTimer > 0.0f || m.panel.state >= 0) return;
    float a = 1.0f;
    if (m.congratulation == 1) a = m.congratulationMs / 500.0f;
    if (m.congratulation == 3) a = 1.0f - m.congratulationMs / 500.0f;
    a = std::clamp(a, 0.0f, 1.0f);
    drawMenuPanel(0.0f, 0.0f, 400.0f, 200.0f, a);
    setTextColour(argb(static_cast<int>(255 * a), 255, 250, 225));
    drawWrappedText(0.0f, 72.0f, 11.0f, 360.0f, lookupText("congratulation"), true);
    drawButton(0.0f, kCongratulationButtonY, 128.0f, 64.0f, 17.0f, "OK", false, a);
    setTextColour(255, 255, 255, 255);
}

}  // namespace

void loadMapAssets() {
    loadTextureOneLevel("megamap.jpg", true);
    loadTexture("mapback.jpg");
    loadTexture("maplevelmark.tga");
    loadTexture("mapstar.tga");
    char name[32];
    for (int s = 0; s < kStageCount; ++s) {
        std::snprintf(name, sizeof name, "smallart%02i.tga", s);
        loadTexture(name);
    }
    loadTexture("mapartefact_q.tga");
    loadTexture("mapback1.tga");
    loadTexture("mapback2.tga");
    loadAlphaJpeg("_a_mapstart.jpg", true);
    loadAlphaJpeg("_a_gag.jpg", true);
    gPreview.level = -1;
}

void stagePanelPlacement(float& x, float& y, float& size, float& frameWidth) {
    const StagePanel& p = mapState().panel;
    x = 256.0f;
    y = 156.0f;
    size = 256.0f;
    frameWidth = 0.0f;
    const auto lerp = [](float a, float b, float t) { return a + (b - a) * std::clamp(t, 0.0f, 1.0f); };
    switch (p.state) {
    case 0:
        x = lerp(256.0f, 0.0f, p.stateMs / 1000.0f);
        y = lerp(156.0f, 100.0f, p.stateMs / 1000.0f);
        size = lerp(256.0f, 330.0f, p.stateMs / 1000.0f);
        break;
    case 1:
    case 2:
    case 3:
        x = 0.0f;
        y = 100.0f;
        size = 330.0f;
        frameWidth = p.state == 1 ? lerp(0.0f, 560.0f, p.stateMs / 500.0f)
                                  : (p.state == 2 ? 560.0f : lerp(560.0f, 0.0f, p.stateMs / 300.0f));
        break;
    case 4: {
        float ix, iy;
        stageIconAt(p.openedStage, ix, iy);
        x = lerp(0.0f, ix, p.stateMs / 1000.0f);
        y = lerp(100.0f, iy, p.stateMs / 1000.0f);
        size = lerp(330.0f, 0.0f, p.stateMs / 1000.0f);
        break;
    }
    default:
        break;
    }
}

void stagePanelButton(float& x, float& y, float& width, float& height) {
    x = 0.0f;
    y = -200.0f;
    width = 128.0f;
    height = 64.0f;
}

void drawJourneyMap() {
    begin2D();
    switchOn(kSwitchBlending);
    setBlendMode(kBlendAlpha);
    if (TextureEntry* frame = picture("mapback.jpg")) {
        bindTexture(frame);
        switchOff(kSwitchBlending);
        drawScreenRect(0.0f, 0.0f, 800.0f, 600.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0xFFFFFFFFu);
        switchOn(kSwitchBlending);
    }
    drawMapPicture();
    drawStrokes();
    drawStageIcons();
    drawLevelStars();
    drawTraveller();
    drawGlows();
    drawLabels();
    drawPanel();
    drawSparkles();
    drawCongratulation();
    bindTexture(nullptr);
}
