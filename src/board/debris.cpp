// The flying figures and square shards: a broken figure throws its picture, a broken square
// layer its four quarters, and a lost level takes every figure off the board row by row.
#include <cmath>

#include "app/frame_clock.h"
#include "app/trace.h"
#include "audio/audio.h"
#include "board/board.h"
#include "board/board_view.h"
#include "board/presentation.h"
#include "render/device.h"
#include "render/effects.h"
#include "render/sprites.h"

namespace {

constexpr float kDebrisGravity = 0.002f;  // logical pixels per ms per ms
constexpr float kDefeatRowMs = 400.0f;
constexpr float kDefeatSweepMs = 5500.0f;
constexpr float kDefeatCircleMs = 4000.0f;

UVRect figureFrameRect(int frame) {
    const int k = ((frame % 32) + 32) % 32;
    const float u = static_cast<float>(k % 8) / 8.0f;
    const float v = static_cast<float>(k / 8) / 4.0f;
    return UVRect{u, v, u + 0.125f, v + 0.25f};
}

void moveFigureDebris(DebrisPiece& d, float ms) {
    d.x += d.vx * ms;
    d.y += d.vy * ms;
    d.vy -= kDebrisGravity * ms;
    if (d.x > 400.0f || d.x < -400.0f || d.y < -300.0f || d.y > 300.0f) d.kindPlusOne = 0;
}

// A defeat piece rises a little and hangs; once the loss has lasted 4000 ms it glows once and
// drifts round a slow circle.
void moveDefeatPiece(DebrisPiece& d, float ms, float lostBefore, float lostNow) {
    if (lostNow < kDefeatCircleMs) {
        d.x += d.vx * ms;
        d.y += d.vy * ms;
        d.vx *= 0.995f;
        d.vy *= 0.995f;
        return;
    }
    if (lostBefore < kDefeatCircleMs) startEffect("defeat", d.x, d.y);
    const float before = d.turn * 0.017453292f;
    d.turn += 0.03f * ms;
    const float after = d.turn * 0.017453292f;
    const float radius = 14.0f;
    d.x += radius * (std::cos(after) - std::cos(before));
    d.y += radius * (std::sin(after) - std::sin(before));
}

void spinFrames(DebrisPiece& d, float ms) {
    d.frameClock += ms;
    while (d.frameClock >= 30.0f) {
        d.frameClock -= 30.0f;
        d.frame = (d.frame + 1) % 32;
        if (d.style == 1) startEffect("ef2", d.x, d.y);
    }
}

// Row r's figures leave at r x 400 ms of the loss (the clocks before and after this frame).
void defeatSweep(float before, float now) {
    Board& b = board();
    if (before >= kDefeatSweepMs) return;
    for (int r = 0; r < kRows; ++r) {
        const float moment = static_cast<float>(r) * kDefeatRowMs;
        if (!(before <= moment && now > moment)) continue;
        bool any = false;
        for (int c = 0; c < kColumns; ++c) {
            Cell& cell = b.cells[r][c];
            if (!isCell(r, c) || !cell.alive) continue;
            const Vec2 at = cellCentre(r, c);
            startEffect("refill1", at.x, at.y);
            if (cell.figure >= 0) spawnDebris(cell.figure, at.x + cell.offset.x, at.y + cell.offset.y, 2);
            cell.alive = 0;
            any = true;
        }
        if (any) playSound("DefeatLevelEffect.ogg");
    }
}

}  // namespace

void spawnDebris(int kind, float x, float y, int style) {
    traceCall("debris", style == 2 ? "defeat" : "figure", x, y, kind);
    if (kind < 0 || kind >= kFigureKinds) return;
    BoardView& v = boardView();
    DebrisPiece& d = v.debris[v.nextDebris];
    v.nextDebris = (v.nextDebris + 1) % kDebrisCapacity;
    d = DebrisPiece{};
    d.kindPlusOne = kind + 1;
    d.x = x;
    d.y = y;
    d.style = style == 2 ? 2 : 1;
    d.scale = 1.0f;
    if (d.style == 1) {
        d.vx = viewRandomUnit() * 0.6f;
        d.vy = 0.6f + viewRandomUnit() * 0.3f;
    } else {
        d.vx = (viewRandomUnit() - 0.5f) * 0.02f;
        d.vy = 0.01f + viewRandomUnit() * 0.02f;
        d.turn = viewRandomUnit() * 360.0f;
    }
}

void spawnShards(float x, float y, int layers) {
    traceCall("shards", "square", x, y, layers);
    BoardView& v = boardView();
    Shard& s = v.shards[v.nextShard];
    v.nextShard = (v.nextShard + 1) % kShardCapacity;
    s = Shard{};
    s.active = 1;
    s.layers = layers < 1 ? 1 : (layers > 2 ? 2 : layers);
    s.x = x;
    s.y = y;
    s.vx = 0.04f + viewRandomUnit() * 0.03f;
    s.vy = 0.05f + viewRandomUnit() * 0.03f;
}

void debrisFrame() {
    Board& b = board();
    BoardView& v = boardView();
    const float ms = frameClock().frameMs;
    // The loss's clock has already moved on in this frame (it stands still while play is held).
    const float lostNow = b.levelLost ? b.lostClock : 0.0f;
    const float lostBefore = v.lostClockSeen;
    v.lostClockSeen = lostNow;
    if (lostNow > lostBefore) defeatSweep(lostBefore, lostNow);

    for (DebrisPiece& d : v.debris) {
        if (d.kindPlusOne <= 0) continue;
        spinFrames(d, ms);
        if (d.style == 2) moveDefeatPiece(d, ms, lostBefore, lostNow);
        else moveFigureDebris(d, ms);
    }
    for (Shard& s : v.shards) {
        if (!s.active) continue;
        const float before = s.age;
        s.age += ms;
        if (before < 200.0f && s.age >= 200.0f) startEffect("blik3", s.x, s.y);
        if (s.age > 700.0f) s.active = 0;
    }
}

void drawDebris() {
    const Board& b = board();
    const BoardView& v = boardView();
    const BoardPictures& p = boardPictures();
    const float alpha = b.debrisAlpha < 0.0f ? 0.0f : (b.debrisAlpha > 255.0f ? 255.0f : b.debrisAlpha);
    if (alpha <= 0.0f) return;
    const uint32_t colour = (static_cast<uint32_t>(alpha) << 24) | 0x00FFFFFFu;
    // One run per picture file (the 17 pictures share eight files).
    for (int pic = 0; pic < kFigureKinds; ++pic) {
        TextureEntry* t = p.figures[pic];
        bool seen = t == nullptr;
        for (int earlier = 0; earlier < pic && !seen; ++earlier) seen = p.figures[earlier] == t;
        if (seen) continue;
        bool bound = false;
        for (const DebrisPiece& d : v.debris) {
            if (d.kindPlusOne <= 0 || d.kindPlusOne > kFigureKinds) continue;
            const int picture = b.pictureOfFigure[d.kindPlusOne - 1];
            if (picture < 0 || picture >= kFigureKinds || p.figures[picture] != t) continue;
            if (!bound) {
                bindTexture(t);
                bound = true;
            }
            const float size = 48.0f * (d.scale > 0.0f ? d.scale : 1.0f);
            drawQuad(d.x, d.y, size, size, figureFrameRect(d.frame), colour, 10.0f);
        }
    }
}

void drawShards(float shakeX, float shakeY) {
    const BoardView& v = boardView();
    const BoardPictures& p = boardPictures();
    for (int layers = 1; layers <= 2; ++layers) {
        if (!p.tiles[layers]) continue;
        bool bound = false;
        for (const Shard& s : v.shards) {
            if (!s.active || s.layers != layers) continue;
            if (!bound) {
                bindTexture(p.tiles[layers]);
                bound = true;
            }
            const float fade = s.age > 400.0f ? (700.0f - s.age) / 300.0f : 1.0f;
            const uint32_t colour = (static_cast<uint32_t>(255.0f * (fade < 0.0f ? 0.0f : fade)) << 24) | 0x00FFFFFFu;
            const float dx = s.vx * s.age;
            const float dy = s.vy * s.age - 0.0003f * s.age * s.age;
            const float spin = s.age * 0.25f;
            // Quarter q: its corner of the tile, flying out that way and turning.
            for (int q = 0; q < 4; ++q) {
                const float sx = (q & 1) ? 1.0f : -1.0f;
                const float sy = (q & 2) ? -1.0f : 1.0f;
                const float cx = s.x + shakeX + sx * (14.0f + dx);
                const float cy = s.y + shakeY + sy * 14.0f + (sy > 0.0f ? dy : dy * 0.5f);
                const UVRect uv{sx < 0.0f ? 0.0f : 0.5f, sy > 0.0f ? 0.0f : 0.5f, sx < 0.0f ? 0.5f : 1.0f,
                                sy > 0.0f ? 0.5f : 1.0f};
                drawRotatedQuad(cx, cy, cx, cy, spin * sx, 28.0f, 28.0f, uv, colour, 10.0f);
            }
        }
    }
}
