// The board itself: the tiles with the highlighted group, the hammer's pulse and the rings,
// the figures with their spin, chains and bonus overlays, the Lightning sparks and bolts, and
// the tiles' swirl and scatter at the level end.
#include <cmath>
#include <cstring>

#include "app/frame_clock.h"
#include "app/strings.h"
#include "board/board.h"
#include "board/board_view.h"
#include "board/falling.h"
#include "board/keyboard.h"
#include "board/play.h"
#include "menus/menus.h"
#include "render/device.h"
#include "render/effects.h"
#include "render/sprites.h"
#include "render/text.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr UVRect kWhole{0.0f, 0.0f, 1.0f, 1.0f};
constexpr float kZ = 10.0f;

// What the drawing pass found about the cells this frame.
struct CellLook {
    bool highlighted[kRows][kColumns];
    bool underCursor[kRows][kColumns];
    int pulseRow = -1;
    int pulseColumn = -1;
    int keyRow = -1;
    int keyColumn = -1;
};

uint32_t scaled(uint32_t argb, float k) {
    if (k <= 0.0f) return 0;
    if (k >= 1.0f) return argb;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= static_cast<uint32_t>(static_cast<float>((argb >> shift) & 0xFFu) * k) << shift;
    return out;
}

uint32_t rgb(float r, float g, float b, float alpha) {
    const auto byte = [](float v) { return static_cast<uint32_t>(v < 0.0f ? 0.0f : (v > 255.0f ? 255.0f : v)); };
    return (byte(alpha) << 24) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

UVRect figureFrame(int frame) {
    const int k = ((frame % 32) + 32) % 32;
    const float u = static_cast<float>(k % 8) / 8.0f;
    const float v = static_cast<float>(k / 8) / 4.0f;
    return UVRect{u, v, u + 0.125f, v + 0.25f};
}

bool playHeld() {
    const Board& b = board();
    return menuOpen() || b.paused || b.tip.showing || b.mapFade || b.levelComplete || b.levelLost;
}

void lookAtCells(CellLook& look) {
    const Board& b = board();
    std::memset(look.highlighted, 0, sizeof look.highlighted);
    std::memset(look.underCursor, 0, sizeof look.underCursor);
    if (playHeld()) return;
    int row, column;
    cellAt(b.cursorX, b.cursorY, row, column);
    if (b.hammerArmed) {
        // The hammer's single tile takes the place of the group.
        if (isCell(row, column)) {
            look.pulseRow = row;
            look.pulseColumn = column;
        }
        return;
    }
    if (hasFigure(row, column)) look.underCursor[row][column] = true;
    if (b.hoverActive && b.groupSize >= 2) {
        for (int i = 0; i < b.groupSize && i < kCellCount; ++i) {
            const GroupEntry& g = b.group[i];
            if (hasFigure(g.row, g.column) && b.cells[g.row][g.column].figure == b.groupKind)
                look.highlighted[g.row][g.column] = true;
        }
    }
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (b.cells[r][c].hovered && hasFigure(r, c)) look.highlighted[r][c] = true;
    if (boardKeyCursor(row, column) && isCell(row, column) && !look.highlighted[row][column]) {
        look.keyRow = row;
        look.keyColumn = column;
    }
}

void drawTiles(float sx, float sy, uint32_t colour, const CellLook& look) {
    const Board& b = board();
    const BoardView& v = boardView();
    const BoardPictures& p = boardPictures();
    for (int layers = 0; layers < 3; ++layers) {
        if (!p.tiles[layers]) continue;
        bindTexture(p.tiles[layers]);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                const Cell& cell = b.cells[r][c];
                if (cell.squares != layers) continue;
                const Vec2 at = cellCentre(r, c);
                float half = 28.0f;
                if (r == look.pulseRow && c == look.pulseColumn) half = 28.0f + 2.0f * std::sin(0.003f * v.pulseClock) - 1.0f;
                drawQuad(at.x + cell.floatPos.x + sx, at.y + cell.floatPos.y + sy, 2.0f * half, 2.0f * half, kWhole,
                         colour, kZ);
            }
    }
    // Highlights: the tile lights up (plainly, over a light backdrop too), and a ring turns
    // round it.
    const float a = static_cast<float>(colour >> 24) / 255.0f;
    auto lit = [&](int r, int c) {
        return look.highlighted[r][c] || (r == look.pulseRow && c == look.pulseColumn) ||
               (r == look.keyRow && c == look.keyColumn);
    };
    auto at = [&](int r, int c) {
        const Cell& cell = b.cells[r][c];
        const Vec2 centre = cellCentre(r, c);
        return Vec2{centre.x + cell.floatPos.x + sx, centre.y + cell.floatPos.y + sy};
    };
    bindTexture(nullptr);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            if (!lit(r, c)) continue;
            const bool pulse = r == look.pulseRow && c == look.pulseColumn;
            const bool key = r == look.keyRow && c == look.keyColumn;
            const float glow = pulse ? 80.0f + 40.0f * std::sin(0.003f * v.pulseClock) : (key ? 110.0f : 90.0f);
            const Vec2 p2 = at(r, c);
            drawQuad(p2.x, p2.y, 50.0f, 50.0f, kWhole, rgb(255.0f, 238.0f, 170.0f, glow * a), kZ);
        }
    if (!p.flare || b.levelComplete || b.levelLost) return;
    bindTexture(p.flare);
    setBlendMode(kBlendAdditive);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            if (!look.highlighted[r][c]) continue;
            const Vec2 p2 = at(r, c);
            drawRing(p2.x, p2.y, 64.0f, 30, v.pulseClock * 0.09f, scaled(rgb(255.0f, 225.0f, 130.0f, 255.0f), a), kZ);
        }
    setBlendMode(kBlendAlpha);
}

// A figure spins while highlighted and runs on to its first frame afterwards.
void spinFigures(const CellLook& look) {
    Board& b = board();
    const float ms = frameClock().frameMs;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            if (cell.figure < 0) continue;
            int frame = ((cell.animFrame % 32) + 32) % 32;
            if (look.highlighted[r][c] || look.underCursor[r][c]) {
                cell.spinClock += ms;
                cell.spinTimer = 100.0f;
                frame = static_cast<int>(cell.spinClock / 30.0f) % 32;
            } else if (cell.spinTimer > 0.0f || frame != 0) {
                cell.spinTimer -= ms;
                cell.spinClock += ms;
                frame = static_cast<int>(cell.spinClock / 30.0f) % 32;
                if (cell.spinTimer <= 0.0f && frame == 0) {
                    cell.spinTimer = 0.0f;
                    cell.spinClock = 0.0f;
                }
            }
            cell.animFrame = frame;
        }
}

void drawFigures(float sx, float sy, uint32_t colour) {
    const Board& b = board();
    const BoardPictures& p = boardPictures();
    // One run per picture file (the 17 pictures share eight files).
    for (int pic = 0; pic < kFigureKinds; ++pic) {
        TextureEntry* t = p.figures[pic];
        bool seen = t == nullptr;
        for (int earlier = 0; earlier < pic && !seen; ++earlier) seen = p.figures[earlier] == t;
        if (seen) continue;
        bool bound = false;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                const Cell& cell = b.cells[r][c];
                if (cell.figure < 0 || cell.figure >= kFigureKinds || !cell.alive || cell.squares < 0) continue;
                const int picture = b.pictureOfFigure[cell.figure];
                if (picture < 0 || picture >= kFigureKinds || p.figures[picture] != t) continue;
                if (!bound) {
                    bindTexture(t);
                    bound = true;
                }
                const Vec2 at = cellCentre(r, c);
                drawQuad(at.x + cell.offset.x + sx, at.y + cell.offset.y + sy, 48.0f, 48.0f, figureFrame(cell.animFrame),
                         colour, kZ);
            }
    }
}

bool figureShown(int r, int c) {
    const Cell& cell = board().cells[r][c];
    return cell.figure >= 0 && cell.alive && cell.squares >= 0;
}

void drawChains(float sx, float sy, uint32_t colour) {
    const Board& b = board();
    const BoardPictures& p = boardPictures();
    if (!p.chain) return;
    bindTexture(p.chain);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = b.cells[r][c];
            if (!cell.chained || !figureShown(r, c)) continue;
            const Vec2 at = cellCentre(r, c);
            const float x = at.x + cell.offset.x + sx;
            const float y = at.y + cell.offset.y + sy;
            drawQuad(x, y, static_cast<float>(kChainBox), static_cast<float>(kChainBox), kWhole, colour, kZ);
        }
}

// Ten coloured rays round a Bomb, their brightness running round with the clock.
void drawBombRays(float x, float y, float t, float a) {
    for (int i = 0; i < 10; ++i) {
        const float phase = static_cast<float>(i) * 1.2566371f;
        const float bright = 0.5f + 0.5f * std::sin(t * 0.0015f + phase);
        const float angle = (static_cast<float>(i) * 36.0f + t * 0.02f) * 0.017453292f;
        const float red = 255.0f * (0.6f + 0.4f * std::sin(phase));
        const float green = 255.0f * (0.6f + 0.4f * std::sin(phase + 2.0943952f));
        const float blue = 255.0f * (0.6f + 0.4f * std::sin(phase + 4.1887902f));
        const uint32_t inner = scaled(rgb(red, green, blue, 255.0f), bright * a);
        const Vector3 from{x + 8.0f * std::cos(angle), y + 8.0f * std::sin(angle), kZ};
        const Vector3 to{x + 34.0f * std::cos(angle), y + 34.0f * std::sin(angle), kZ};
        drawBeamGradient(from, to, 2.5f, inner, 0);
    }
}

void drawLightningSparks(int r, int c, float x, float y, float t, float a) {
    BoardView& v = boardView();
    const float ms = frameClock().frameMs;
    for (int k = 0; k < kSparksPerFigure; ++k) {
        Spark& s = v.sparks[r][c][k];
        s.age += ms;
        if (s.life <= 0.0f || s.age >= s.life) {
            const float angle = viewRandomUnit() * 2.0f * kPi;
            const float radius = 10.0f + viewRandomUnit() * 14.0f;
            s = Spark{radius * std::cos(angle), radius * std::sin(angle), 0.0f, 2000.0f + viewRandomUnit() * 1500.0f};
        }
        const float phase = static_cast<float>(k) * 2.0943952f;
        const float life = std::sin(kPi * s.age / s.life);
        const float flick = 0.6f + 0.4f * std::sin(t * 0.02f + static_cast<float>(k));
        const float red = 150.0f + 105.0f * std::sin(t * 0.003f + phase);
        const float green = 150.0f + 105.0f * std::sin(t * 0.003f + phase + 2.0943952f);
        const uint32_t colour = scaled(rgb(red, green, 255.0f, 255.0f), life * flick * a);
        drawQuad(x + s.x, y + s.y, 14.0f, 14.0f, kWhole, colour, kZ);
    }
}

// The bonus overlays, the Bomb's rays and the Lightning's sparks, while play runs.
void drawBonuses(float sx, float sy, uint32_t colour) {
    const Board& b = board();
    const BoardPictures& p = boardPictures();
    if (menuOpen() || b.levelComplete || b.levelLost) return;
    const float t = frameClock().runningMs;
    const float pulse = std::sin(t * kPi / 1000.0f);
    const float a = static_cast<float>(colour >> 24) / 255.0f;
    const int bursts = everyMs(10.0f);
    // The cross, the diagonal (its overlay turned when loaded) and the MegaBomb's.
    const int32_t kinds[3] = {kCrossBomb, kDiagonalBomb, kMegaBomb};
    TextureEntry* const overlays[3] = {p.crossOverlay, p.diagonalOverlay, p.megaOverlay};
    for (int pass = 0; pass < 3; ++pass) {
        TextureEntry* picture = overlays[pass];
        if (!picture) continue;
        bindTexture(picture);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                const Cell& cell = b.cells[r][c];
                if (!figureShown(r, c)) continue;
                if (cell.bonus != kinds[pass]) continue;
                const Vec2 at = cellCentre(r, c);
                const float x = at.x + cell.offset.x + sx;
                const float y = at.y + cell.offset.y + sy;
                const float size = 2.0f * (25.0f + 2.0f * pulse);
                const float shown = pass == 1 ? size * static_cast<float>(kDiagonalBox) / kOverlayLargest : size;
                drawQuad(x, y, shown, shown, kWhole, colour, kZ);
                for (int n = 0; n < bursts; ++n) startEffect("bonus5IQ", x, y);
            }
    }
    setBlendMode(kBlendAdditive);
    bindTexture(nullptr);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = b.cells[r][c];
            if (cell.bonus != kBomb || !figureShown(r, c)) continue;
            const Vec2 at = cellCentre(r, c);
            drawBombRays(at.x + cell.offset.x + sx, at.y + cell.offset.y + sy, t, a);
        }
    if (p.flare) {
        bindTexture(p.flare);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                const Cell& cell = b.cells[r][c];
                if (cell.bonus != kLightning || !figureShown(r, c)) continue;
                const Vec2 at = cellCentre(r, c);
                drawLightningSparks(r, c, at.x + cell.offset.x + sx, at.y + cell.offset.y + sy, t, a);
            }
    }
    setBlendMode(kBlendAlpha);
}

// A new bonus's flourish: a ring of sparks closing in, and its name swelling and fading.
void drawFlourishes(float sx, float sy) {
    Board& b = board();
    const BoardPictures& p = boardPictures();
    const float ms = frameClock().frameMs;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            if (cell.bonusTimer <= 0.0f) continue;
            const bool flourished = cell.bonus == kBomb || cell.bonus == kLightning || cell.bonus == kMegaBomb;
            cell.bonusTimer -= ms;
            if (!flourished || cell.figure < 0) continue;
            const float timer = cell.bonusTimer;
            const Vec2 at = cellCentre(r, c);
            const float x = at.x + cell.offset.x + sx;
            const float y = at.y + cell.offset.y + sy;
            if (timer > 1000.0f && p.flare) {
                const float w = 1.0f - std::cos((timer - 1000.0f) * 0.0005f * kPi);
                bindTexture(p.flare);
                setBlendMode(kBlendAdditive);
                drawRing(x, y, 800.0f * w + 24.0f, 16, timer * 0.2f, 0xFFFFE8A0u, kZ);
                setBlendMode(kBlendAlpha);
            }
            if (timer <= 0.0f) continue;
            const float s = timer * 0.001f - 1.0f;
            const float size = 18.0f - 18.0f * s * s * s * s;
            const char* key = cell.bonus == kBomb ? "bombbonus" : cell.bonus == kLightning ? "thunderbonus" : "megabombonus";
            const float shadow = 192.0f * std::sin(timer * 0.0005f * kPi);
            const char* text = lookupText(key);
            if (!text[0] || size <= 0.0f) continue;
            setTextColour(rgb(0.0f, 0.0f, 0.0f, shadow));
            drawText(x + 1.0f, y - 1.0f, size, text, true);
            setTextColour(0xFFFFFFFFu);
            drawText(x, y, size, text, true);
        }
}

// The bolts of a Lightning: a jagged line from its cell to each figure it broke, fading out.
void drawBolts(float sx, float sy) {
    const Board& b = board();
    setBlendMode(kBlendAdditive);
    bindTexture(nullptr);
    for (const BoltSet& set : b.boltSets)
        for (int i = 0; i < set.count && i < kBoltsPerSet; ++i) {
            const Bolt& bolt = set.bolts[i];
            if (bolt.life <= 0.0f) continue;
            const float k = bolt.life / 800.0f;
            const uint32_t colour = scaled(bolt.colour | 0xFF000000u, k > 1.0f ? 1.0f : k);
            const uint32_t core = scaled(0xFFFFFFFFu, (k > 1.0f ? 1.0f : k) * 0.8f);
            const float dx = bolt.target.x - set.origin.x;
            const float dy = bolt.target.y - set.origin.y;
            const float length = std::sqrt(dx * dx + dy * dy);
            if (length <= 0.0f) continue;
            const float nx = -dy / length;
            const float ny = dx / length;
            Vector3 from{set.origin.x + sx, set.origin.y + sy, kZ};
            constexpr int kSegments = 7;
            for (int s = 1; s <= kSegments; ++s) {
                const float f = static_cast<float>(s) / kSegments;
                const float jag = s == kSegments ? 0.0f : (viewRandomUnit() - 0.5f) * 18.0f;
                const Vector3 to{set.origin.x + dx * f + nx * jag + sx, set.origin.y + dy * f + ny * jag + sy, kZ};
                drawBeam(to, from, 3.0f, colour);
                drawBeam(to, from, 1.0f, core);
                from = to;
            }
        }
    setBlendMode(kBlendAlpha);
}

}  // namespace

void updateLevelEndMotion() {
    Board& b = board();
    if (!b.levelComplete) return;
    const float t = b.levelEndClock;
    const float ms = frameClock().frameMs;
    if (t >= 1000.0f && t < 2000.0f) {
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                Cell& cell = b.cells[r][c];
                const float radius = (2000.0f - t) / 400.0f;
                const float angle = (t - 10.0f * static_cast<float>(r) - 10.0f * static_cast<float>(c)) * 0.017453292f;
                cell.floatPos = Vec2{radius * std::cos(angle), radius * std::sin(angle)};
            }
    } else if (t >= 2000.0f && t <= 5000.0f) {
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                Cell& cell = b.cells[r][c];
                if (b.endStyle == 0) {
                    cell.floatPos.x += cell.floatVel.x * ms * 0.01f;
                    cell.floatPos.y += cell.floatVel.y * ms * 0.01f;
                    cell.floatVel.y -= 0.04f * ms * 0.01f;
                } else {
                    // Each tile heads out from the middle of the board along a direction that
                    // turns as it goes (floatVel.x holds the direction in degrees).
                    if (cell.floatVel.y == 0.0f) {
                        const Vec2 at = cellCentre(r, c);
                        cell.floatVel = Vec2{std::atan2(at.y - -2.0f, at.x - 54.0f) / 0.017453292f, 1.0f};
                    }
                    cell.floatVel.x += 0.06f * ms;
                    const float a = cell.floatVel.x * 0.017453292f;
                    cell.floatPos.x += 0.1f * ms * std::cos(a);
                    cell.floatPos.y += 0.1f * ms * std::sin(a);
                }
            }
    }
}

void drawBoardLayer(float sx, float sy, uint32_t colour) {
    BoardView& v = boardView();
    v.pulseClock += 2.0f * frameClock().frameMs;
    CellLook look;
    lookAtCells(look);
    drawTiles(sx, sy, colour, look);
    spinFigures(look);
    drawFigures(sx, sy, colour);
    drawChains(sx, sy, colour);
    drawBonuses(sx, sy, colour);
    drawFlourishes(sx, sy);
    refillFrame();
    drawBolts(sx, sy);
}
