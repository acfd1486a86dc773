// Around the board: the left panel with the score, the level, the lives and its buttons, the
// hammer meter, the candle that burns down with the time or the moves, the bonus count-up at
// the level end, the pause overlay and the prompt to go on.
#include "board/hud.h"

#include <cmath>
#include <cstdio>

#include "app/frame_clock.h"
#include "app/strings.h"
#include "board/board.h"
#include "board/board_view.h"
#include "board/outcome.h"
#include "menus/menus.h"
#include "render/device.h"
#include "render/effects.h"
#include "render/sprites.h"
#include "render/text.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr UVRect kWhole{0.0f, 0.0f, 1.0f, 1.0f};

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kYellow = 0xFFFFFF00u;
constexpr uint32_t kGreen = 0xFF60FF60u;

// The candle: its body's centre line, the stick's centre, the height its top burns down over.
constexpr float kCandleX = 368.0f;
constexpr float kStickX = 336.0f;
constexpr float kStickY = -44.0f;
constexpr float kCandleFoot = -236.0f;  // where the body stands in the stick's dish
constexpr float kDropFloor = -240.0f;

uint32_t shade(float level, float alpha = 255.0f) {
    const auto byte = [](float v) { return static_cast<uint32_t>(v < 0.0f ? 0.0f : (v > 255.0f ? 255.0f : v)); };
    const uint32_t g = byte(level);
    return (byte(alpha) << 24) | (g << 16) | (g << 8) | g;
}

uint32_t withAlpha(uint32_t rgb, float alpha) {
    const float a = alpha < 0.0f ? 0.0f : (alpha > 255.0f ? 255.0f : alpha);
    return (static_cast<uint32_t>(a) << 24) | (rgb & 0x00FFFFFFu);
}

// The pulse of the "pause" and prompt texts: 0 most of the time, rising to 1 and back.
float promptPulse(float clockMs, float rate) {
    const float a = (std::cos(rate * clockMs - 0.9424779f) + 1.0f) / 2.0f;
    return a > 0.7f ? (a - 0.7f) / 0.3f : 0.0f;
}

// A button of the panel: white, yellow and breathing while hovered.
void drawPanelButton(const HudRect& r, const char* key, float x, float y, float size, float& hoverClock,
                     bool usable) {
    const Board& b = board();
    const float ms = frameClock().frameMs;
    const bool hovered = usable && insideHudRect(r, b.cursorX, b.cursorY, b.hudSlide);
    if (hovered) hoverClock += ms;
    else hoverClock = 0.0f;
    const float breath = hovered ? 0.5f - 0.5f * std::cos(0.003f * hoverClock) : 0.0f;
    // The caption keeps inside its button, which is where a click finds it.
    const char* caption = lookupText(key);
    float shown = size + breath;
    const float room = r.right - r.left - 6.0f;
    const float width = textWidth(caption, shown);
    if (width > room && width > 0.0f) shown *= room / width;
    drawHudText(x + b.hudSlide, y, shown, caption, hovered ? kYellow : kWhite);
}

void drawHearts() {
    const Board& b = board();
    const BoardPictures& p = boardPictures();
    const BoardView& v = boardView();
    const int lives = outcomeHooks().lives();
    // The row of hearts starts at x -392, about y 81, inside the lives plaque.
    const float left = -392.0f + b.hudSlide;
    const float top = 96.0f;
    float swell = 0.0f;
    if (v.lifeFlashClock > 0.0f) swell = 2.0f * std::sin(v.lifeFlashClock * kPi / 200.0f);
    const float size = 24.0f + swell;
    if (p.heart) bindTexture(p.heart);
    if (lives > 3) {
        const float x = left + 36.0f + 12.0f;
        if (p.heart) drawQuad(x, top - 12.0f, size, size, kWhole, kWhite, 10.0f);
        char text[16];
        std::snprintf(text, sizeof text, "x%i", lives);
        drawHudText(x + 30.0f, top - 12.0f, 11.0f, text, kGreen);
        return;
    }
    for (int i = 0; i < lives; ++i)
        if (p.heart) drawQuad(left + 12.0f + 26.0f * static_cast<float>(i), top - 12.0f, size, size, kWhole, kWhite, 10.0f);
    if (lives <= 0) drawHudText(left + 52.0f, top - 14.0f, 10.0f, lookupText("lastlife"), kWhite);
}

// A centred text's x moved so that the whole text stays on the screen.
float onScreenX(float x, const char* text, float size) {
    const float half = textWidth(text, size) / 2.0f + 4.0f;
    if (x + half > 400.0f) x = 400.0f - half;
    if (x - half < -400.0f) x = -400.0f + half;
    return x;
}

// How much of the candle has burnt: the time or the moves used against a long level's share.
float burntFraction() {
    const Board& b = board();
    float q = 0.0f;
    if (b.mode == kAdventure) q = 1.0f - (b.timeLimitMs - b.elapsedMs) / 600000.0f;
    else q = 1.0f - (static_cast<float>(b.movesLimit) - b.shownMoves) / 300.0f;
    if (q < 0.0f) q = 0.0f;
    if (q > 1.0f) q = 1.0f;
    // The level end burns the rest away in its first four seconds.
    if (b.levelComplete) {
        float k = b.levelEndClock / 4000.0f;
        if (k > 1.0f) k = 1.0f;
        q += (1.0f - q) * k;
    }
    return q;
}

void candleEmitters(float x, float flameTop) {
    const Board& b = board();
    if (b.levelComplete || b.levelLost) return;
    float left;
    float smokeBelow, smoulderAbove;
    if (b.mode == kAdventure) {
        left = (b.timeLimitMs - b.elapsedMs) / 1000.0f;
        smokeBelow = 3.0f;
        smoulderAbove = 1.5f;
    } else {
        left = static_cast<float>(b.movesLimit - b.movesUsed);
        smokeBelow = 4.0f;
        smoulderAbove = 1.0f;
    }
    if (left > smokeBelow) {
        for (int n = everyMs(50.0f); n > 0; --n) startEffect("flareIQ", x, flameTop);
        return;
    }
    for (int n = everyMs(10.0f); n > 0; --n) startEffect("smokeIQ", x, flameTop);
    if (left > smoulderAbove)
        for (int n = everyMs(50.0f); n > 0; --n) startEffect("smolderingIQ", x, flameTop);
}

// Wax drops: one leaves the top now and then and runs down, fading near the foot.
void waxDrops(float x, float top, bool dripping) {
    BoardView& v = boardView();
    const BoardPictures& p = boardPictures();
    const float ms = frameClock().frameMs;
    if (dripping) {
        v.dropClock -= ms;
        if (v.dropClock <= 0.0f) {
            v.dropClock = 5000.0f + viewRandomUnit() * 10000.0f;
            for (WaxDrop& d : v.drops) {
                if (d.active) continue;
                d = WaxDrop{1, x + (viewRandomUnit() - 0.5f) * 10.0f, top - 4.0f, 0.0f, -0.004f,
                            (viewRandomUnit() - 0.5f) * 0.00001f, viewRandom() % 4};
                break;
            }
        }
    }
    for (WaxDrop& d : v.drops) {
        if (!d.active) continue;
        d.vx += d.ax * ms;
        d.vy -= 0.00002f * ms;
        d.x += d.vx * ms;
        d.y += d.vy * ms;
        if (d.y <= kDropFloor) {
            d.active = 0;
            continue;
        }
        const float fade = d.y - kDropFloor < 32.0f ? (d.y - kDropFloor) / 32.0f * 255.0f : 255.0f;
        TextureEntry* t = p.drops[d.picture >= 0 && d.picture < 4 ? d.picture : 0];
        if (!t) continue;
        bindTexture(t);
        drawQuad(d.x, d.y - 8.0f, 8.0f, 16.0f, kWhole, withAlpha(0xFFFFFF, fade), 10.0f);
    }
}

// At the level end the flame sends up stars, each trailing sparks.
void bonusStars(float x, float flameTop) {
    const Board& b = board();
    BoardView& v = boardView();
    const BoardPictures& p = boardPictures();
    const float ms = frameClock().frameMs;
    if (b.levelComplete && b.levelEndClock < 4000.0f) {
        for (int n = everyMs(50.0f); n > 0; --n) {
            BonusStar& s = v.stars[v.nextStar];
            v.nextStar = (v.nextStar + 1) % kBonusStarCapacity;
            s = BonusStar{1, x, flameTop, -0.05f - viewRandomUnit() * 0.15f, 0.15f + viewRandomUnit() * 0.2f, 0.0f, 0.0f};
        }
    }
    if (p.flare) bindTexture(p.flare);
    setBlendMode(kBlendAdditive);
    for (BonusStar& s : v.stars) {
        if (!s.active) continue;
        s.age += ms;
        s.trailClock += ms;
        s.x += s.vx * ms;
        s.y += s.vy * ms;
        s.vx -= 0.00004f * ms;
        while (s.trailClock >= 100.0f) {
            s.trailClock -= 100.0f;
            startEffect("bonusscore", s.x, s.y);
        }
        if (s.age > 3000.0f || s.y > 320.0f) {
            s.active = 0;
            continue;
        }
        const float glow = 255.0f * (1.0f - s.age / 3000.0f);
        if (p.flare) drawQuad(s.x, s.y, 20.0f, 20.0f, kWhole, shade(glow, glow), 10.0f);
    }
    setBlendMode(kBlendAlpha);
}

}  // namespace

void drawHudPanel() {
    const Board& b = board();
    BoardView& v = boardView();
    const BoardPictures& p = boardPictures();
    const float slide = b.hudSlide;
    if (p.gamebar) {
        bindTexture(p.gamebar);
        drawQuadRect(-400.0f + slide, 300.0f, -272.0f + slide, -212.0f, kWhole, kWhite, 10.0f);
    }
    selectFont(0);
    char text[32];
    drawHudText(-340.0f + slide, 280.0f, 12.0f, lookupText("score"), kWhite);
    std::snprintf(text, sizeof text, "%i", b.carriedScore + b.shownScore);
    drawHudText(-340.0f + slide, 253.0f, 12.0f, text, kYellow);
    drawHudText(-340.0f + slide, 200.0f, 12.0f, lookupText("level"), kWhite);
    std::snprintf(text, sizeof text, "%i", b.levelIndex + 1);
    drawHudText(-342.0f + slide, 170.0f, 15.0f, text, kYellow);
    drawHudText(-336.0f + slide, 114.0f, 11.0f, lookupText("lives"), kWhite);
    drawHearts();

    // The buttons answer only while some of the time limit is left and nothing is over them.
    const bool usable = !menuOpen() && !b.tip.showing && (b.timeLimitMs <= 0.0f || b.elapsedMs < b.timeLimitMs);
    if (p.trophyButton) {
        bindTexture(p.trophyButton);
        const HudRect& r = kTrophiesButtonRect;
        drawQuadRect(r.left + slide, r.top + 4.0f, r.right + slide, r.bottom - 4.0f, kWhole, kWhite, 10.0f);
    }
    drawPanelButton(kTrophiesButtonRect, "trophies", -338.0f, 53.0f, 11.5f, v.trophiesHoverClock, usable);
    drawPanelButton(kMenuButtonRect, "menu", -338.0f, 15.0f, 12.5f, v.menuHoverClock, usable);
}

void drawPauseOverlay() {
    const Board& b = board();
    if (!b.paused || b.trophyClock > 0.0f) return;
    const float a = promptPulse(b.pauseClock, 0.0003f);
    selectFont(0);
    if (b.pauseClock < 7000.0f) drawHudText(0.0f, 0.0f, 21.0f + 4.0f * a * a, lookupText("pause"), kWhite, 2.0f, -2.0f);
    drawHudText(0.0f, -280.0f, 13.0f + a, lookupText("keytoresume"), kWhite, 2.0f, -2.0f);
}

void drawKeyToResume(float clockMs, float rate) {
    const float a = promptPulse(clockMs, rate);
    selectFont(0);
    drawHudText(0.0f, -280.0f, 13.0f + a, lookupText("keytoresume"), kWhite, 2.0f, -2.0f);
}

void drawCandle() {
    const Board& b = board();
    const BoardView& v = boardView();
    const BoardPictures& p = boardPictures();
    if (b.mode == kTimeless) return;
    const float q = burntFraction();
    const float top = (1.0f - q) * 480.0f - 224.0f;
    const float x = kCandleX - 1.1f * v.candleSlide;
    const bool burning = q < 1.0f;

    if (burning && p.candle && top > kCandleFoot) {
        // The body keeps its top: it shortens from below as it burns.
        const float height = top - kCandleFoot;
        bindTexture(p.candle);
        drawQuadRect(x - 32.0f, top, x + 32.0f, kCandleFoot, UVRect{0.0f, 0.0f, 1.0f, height / 512.0f}, kWhite, 10.0f);
    }
    if (p.candlestick) {
        bindTexture(p.candlestick);
        drawQuad(kStickX - 1.1f * v.candleSlide, kStickY, 128.0f, 512.0f, kWhole, kWhite, 10.0f);
    }
    waxDrops(x, top, burning && !b.levelComplete && !b.levelLost && b.withinLimit);
    if (burning) {
        if (p.candlePool) {
            bindTexture(p.candlePool);
            drawQuad(x, top - 2.0f, 64.0f, 32.0f, kWhole, kWhite, 10.0f);
        }
        if (p.candleFire) {
            // The wick (row 118 of the flame picture) stands on the top.
            const float flicker = 1.0f + 0.04f * std::sin(frameClock().runningMs * 0.013f);
            bindTexture(p.candleFire);
            drawQuadRect(x - 32.0f, top + 114.0f * flicker, x + 32.0f, top - 14.0f, kWhole, kWhite, 10.0f);
        }
        candleEmitters(x, top + 100.0f);
    }
    bonusStars(x, top + 60.0f);

    // What is left, by the flame.
    const bool warning = b.mode == kAdventure ? b.timeLimitMs - b.elapsedMs < 20000.0f
                                               : static_cast<float>(b.movesLimit) - b.shownMoves < 5.0f;
    if (b.levelComplete || b.levelLost) return;
    char text[48];
    const float textY = top + 30.0f > 280.0f ? 280.0f : top + 30.0f;
    float size = 16.0f;
    if (warning) size = 18.0f + 2.0f * std::sin(frameClock().runningMs * 0.006f);
    if (b.mode == kPuzzle) {
        int left = b.movesLimit - b.movesUsed;
        if (left < 0) left = 0;
        formatCount(text, sizeof text, lookupText("moveslast"), left);
        drawHudText(onScreenX(x - 80.0f, text, size), textY, size, text, kWhite);
    } else if (warning) {
        float left = (b.timeLimitMs - b.elapsedMs) / 1000.0f;
        if (left < 0.0f) left = 0.0f;
        formatCount(text, sizeof text, lookupText("timelast"), static_cast<int>(left));
        drawHudText(onScreenX(x - 80.0f, text, size), textY, size, text, kWhite);
    }
}

void drawBonusCountUp() {
    const Board& b = board();
    if (b.mode == kTimeless || b.bonusPoints <= 0 || !b.levelComplete) return;
    const float t = b.levelEndClock;
    if (t < 500.0f || t > 5500.0f) return;
    float shown = t >= 3500.0f ? 1.0f : (t - 500.0f) / 3000.0f;
    float size = 30.0f;
    float alpha = 255.0f;
    if (t > 4500.0f) {
        const float k = (5500.0f - t) / 1000.0f;
        size *= k;
        alpha *= k;
    }
    char text[24];
    std::snprintf(text, sizeof text, "%i", static_cast<int>(static_cast<float>(b.bonusPoints) * shown));
    selectFont(0);
    drawHudText(0.0f, -160.0f, size, text, withAlpha(0xFFFFFF, alpha), 2.0f, -2.0f);
}

void drawHammerMeter() {
    const Board& b = board();
    const BoardPictures& p = boardPictures();
    const HudRect& r = kHammerButtonRect;
    const float left = r.left + b.hudSlide;
    const float right = r.right + b.hudSlide;
    const float height = r.top - r.bottom;
    const float t = frameClock().runningMs;
    if (p.hammerEmpty) {
        bindTexture(p.hammerEmpty);
        drawQuadRect(left, r.top, right, r.bottom, kWhole, kWhite, 10.0f);
    }
    float fill = b.hammerShown;
    if (fill < 0.0f) fill = 0.0f;
    if (fill > 1.0f) fill = 1.0f;
    const float line = r.bottom + height * fill;
    if (p.hammerFull && fill > 0.0f) {
        bindTexture(p.hammerFull);
        drawQuadRect(left, line, right, r.bottom, UVRect{0.0f, 1.0f - fill, 1.0f, 1.0f}, kWhite, 10.0f);
    }
    setBlendMode(kBlendAdditive);
    const bool full = b.hammerShown >= b.hammerMax;
    if (!full && p.flare) {
        const float glow = 100.0f + 50.0f * std::sin(0.005f * t);
        bindTexture(p.flare);
        drawQuad((left + right) / 2.0f, line, 80.0f, 28.0f, kWhole, shade(glow, glow), 10.0f);
    }
    if (full) {
        for (int k = 0; k < 3; ++k) {
            if (!p.hammerGlows[k]) continue;
            const float level = 127.5f + 127.5f * std::sin(0.005f * t + static_cast<float>(k) * 2.0943952f);
            bindTexture(p.hammerGlows[k]);
            drawQuadRect(left, r.top, right, r.bottom, kWhole, shade(level), 10.0f);
        }
    }
    setBlendMode(kBlendAlpha);
}
