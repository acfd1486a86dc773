// The texts that fly over the board: the points pop-ups, the letter texts that gather and
// spread, the floating texts that swell and flicker, and the banner of the typed codes.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/frame_clock.h"
#include "app/strings.h"
#include "app/trace.h"
#include "board/board_view.h"
#include "board/presentation.h"
#include "render/text.h"

namespace {

constexpr float kPi = 3.14159265f;

uint32_t argb(float alpha, int red, int green, int blue) {
    const float a = alpha < 0.0f ? 0.0f : (alpha > 255.0f ? 255.0f : alpha);
    return (static_cast<uint32_t>(a) << 24) | (static_cast<uint32_t>(red) << 16) | (static_cast<uint32_t>(green) << 8) |
           static_cast<uint32_t>(blue);
}

void addFloating(const char* text, float x, float y, float size, float lifeMs) {
    BoardView& v = boardView();
    FloatingText& f = v.floating[v.nextFloating];
    v.nextFloating = (v.nextFloating + 1) % kFloatingCapacity;
    std::snprintf(f.text, sizeof f.text, "%s", text);
    f.x = x;
    f.y = y;
    f.size = size;
    f.width = textWidth(f.text, size);
    f.clock = 2000.0f;
    f.rate = 2000.0f / lifeMs;
    f.alpha = 0.0f;
}

void drawPopups(float ms) {
    BoardView& v = boardView();
    for (Popup& p : v.popups) {
        if (p.alpha <= 0.0f) continue;
        char text[16];
        std::snprintf(text, sizeof text, "%i", p.points);
        setTextColour(argb(p.alpha, 255, 240, 140));
        drawText(p.x, p.y, p.size, text, true);
        p.y += p.vy * ms;
        p.alpha += p.dAlpha * ms;
    }
}

void drawLetters(float ms) {
    BoardView& v = boardView();
    for (Letter& l : v.letters) {
        if (l.clock <= 0.0f) continue;
        const float t = l.clock;
        if (t <= 6000.0f) {
            float alpha = 255.0f;
            float p = 1.0f;
            float lift = 0.0f;
            if (t >= 5000.0f) {
                const float a = (6000.0f - t) / 1000.0f;
                alpha = a * 255.0f;
                p = 2.0f - a;
            } else if (t <= 1500.0f) {
                const float a = t / 1500.0f;
                alpha = a * 255.0f;
                p = a;
            } else {
                const float b = (t - 1500.0f) / 3500.0f * 3.0f * kPi;
                p = 1.0f + 0.08f * std::sin(b);
                lift = 2.0f * std::sin(2.0f * b);
            }
            const float scale = p * p;
            const char glyph[2] = {l.c, 0};
            setTextColour(argb(alpha, 255, 255, 255));
            // Left-anchored, a single glyph stands centred on its x.
            drawText(l.x * scale, l.y + lift, l.size * scale, glyph, false);
        }
        l.clock -= ms;
    }
    setTextColour(0xFFFFFFFFu);
}

void drawFloating(float ms) {
    BoardView& v = boardView();
    for (FloatingText& f : v.floating) {
        if (f.clock <= 0.0f) continue;
        const float g = f.clock;
        float size = f.size;
        if (g > 1400.0f) {
            const float q = (2000.0f - g) / 600.0f;
            f.alpha = (2000.0f - g) * 256.0f / 600.0f;
            size = q * f.size;
        } else if (g <= 600.0f) {
            const float q = g / 600.0f;
            f.alpha = g * 256.0f / 600.0f;
            size = q * f.size;
        } else {
            size = f.size * (1.0f + 0.1f * std::sin(3.0f * kPi * (g - 600.0f) / 800.0f));
        }
        if (f.alpha > 255.0f) f.alpha = 255.0f;
        const float r1 = viewRandomUnit();
        const float r2 = viewRandomUnit();
        setTextColour(argb(f.alpha / 2.0f, 0, 0, 0));
        drawText(f.x + 2.0f, f.y - 2.0f, size, f.text, true);
        setTextColour(argb(f.alpha, 255, static_cast<int>(230.0f + 25.0f * r1), static_cast<int>(100.0f + 155.0f * r2)));
        drawText(f.x, f.y, size, f.text, true);
        f.clock -= ms * f.rate;
    }
    setTextColour(0xFFFFFFFFu);
}

void drawBanner(float ms) {
    BoardView& v = boardView();
    float& c = v.bannerClock;
    if (c < 0.0f || !v.bannerText[0]) return;
    const float alpha = 127.0f + 127.0f * std::sin(c * kPi / 1500.0f);
    float y = -270.0f;
    float size = 21.58f;
    if (c > 1000.0f) {
        y = -270.0f - (c - 1000.0f) * 0.1f;
        size = (6.0f + 12.0f * std::sin(c * kPi / 1500.0f)) * 1.3f;
    } else if (c >= 500.0f) {
        size = 21.58f + std::sin((c - 500.0f) * 2.0f * kPi / 125.0f);
    } else {
        y = -270.0f - (500.0f - c) * 0.1f;
    }
    drawHudText(0.0f, y, size, v.bannerText, argb(alpha, 255, 255, 255), 2.0f, -2.0f);
    c -= (c < 500.0f || c > 1000.0f) ? ms : 0.3f * ms;
    if (c < 0.0f) c = -1.0f;
}

}  // namespace

void formatCount(char* out, int capacity, const char* format, int value) {
    if (!out || capacity <= 0) return;
    if (!format || !format[0]) {
        std::snprintf(out, static_cast<size_t>(capacity), "%i", value);
        return;
    }
    // The text's first "%i" takes the number; nothing else in it is read as a format.
    const char* mark = std::strstr(format, "%i");
    if (mark)
        std::snprintf(out, static_cast<size_t>(capacity), "%.*s%i%s", static_cast<int>(mark - format), format, value,
                      mark + 2);
    else
        std::snprintf(out, static_cast<size_t>(capacity), "%s", format);
}

void scorePopup(float x, float y, int points) {
    traceCall("popup", "points", x, y, points);
    BoardView& v = boardView();
    Popup& p = v.popups[v.nextPopup];
    v.nextPopup = (v.nextPopup + 1) % kPopupCapacity;
    p = Popup{points, x, y, 14.0f, 255.0f, 0.03f, -0.09f};
}

void showLetterText(const char* text, float x, float y, float size) {
    traceCall("letters", text, x, y, static_cast<int>(size));
    const char* shown = text ? lookupText(text) : "";
    if (!shown[0]) return;
    BoardView& v = boardView();
    // Laid out as centred text: each letter at the centre of its advance.
    const float width = textWidth(shown, size);
    float left = x - width / 2.0f;
    const int n = static_cast<int>(std::strlen(shown));
    for (int i = 0; i < n; ++i) {
        const char glyph[2] = {shown[i], 0};
        const float advance = textWidth(glyph, size);
        Letter& l = v.letters[v.nextLetter];
        v.nextLetter = (v.nextLetter + 1) % kLetterCapacity;
        l.c = shown[i];
        l.x = left + advance / 2.0f;
        l.y = y;
        l.size = size;
        l.clock = 6000.0f + 40.0f * static_cast<float>(i);
        left += advance;
    }
}

void showFloatingText(const char* text, float x, float y, float size, float lifeMs) {
    if (lifeMs <= 0.0f) return;
    traceCall("floating", text, x, y, static_cast<int>(size));
    const char* shown = text ? lookupText(text) : "";
    if (shown[0]) addFloating(shown, x, y, size, lifeMs);
}

void showFloatingNumber(const char* key, int value, float x, float y, float size, float lifeMs) {
    if (lifeMs <= 0.0f) return;
    traceCall("floating", key, x, y, value);
    const char* format = key ? lookupText(key) : "";
    if (!format[0]) return;
    char text[kFloatingTextMax + 1];
    formatCount(text, sizeof text, format, value);
    addFloating(text, x, y, size, lifeMs);
}

void showBanner(const char* text) {
    traceCall("banner", text);
    BoardView& v = boardView();
    if (v.bannerClock <= 0.0f) v.bannerClock = 1400.0f;
    std::snprintf(v.bannerText, sizeof v.bannerText, "%s", text ? text : "");
}

void drawFlyingTexts() {
    const float ms = frameClock().frameMs;
    selectFont(0);
    drawPopups(ms);
    setTextColour(0xFFFFFFFFu);
    drawLetters(ms);
    drawFloating(ms);
    drawBanner(ms);
}
