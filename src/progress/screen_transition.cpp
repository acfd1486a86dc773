#include "progress/screen_transition.h"

#include <cmath>
#include <cstdio>

#include "app/frame_clock.h"
#include "app/strings.h"
#include "audio/audio.h"
#include "render/device.h"
#include "render/sprites.h"
#include "render/text.h"
#include "render/textures.h"

namespace {
ScreenTransition gTransition;

void start(float durationMs, const char* captionKey, int direction) {
    playSound("Gag.ogg");
    gTransition.direction = direction;
    gTransition.elapsed = 1.0f;
    gTransition.duration = durationMs > 0.0f ? durationMs : 1.0f;
    const char* text = captionKey && *captionKey ? lookupText(captionKey) : "";
    std::snprintf(gTransition.caption, sizeof gTransition.caption, "%s", text);
}

uint32_t argb(int a, int r, int g, int b) {
    return static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
           static_cast<uint32_t>(b);
}
}  // namespace

ScreenTransition& screenTransition() { return gTransition; }
void resetScreenTransition() { gTransition = ScreenTransition{}; }

void openTransition(float durationMs, const char* captionKey) { start(durationMs, captionKey, 1); }
void closeTransition(float durationMs, const char* captionKey) { start(durationMs, captionKey, -1); }
bool transitionRunning() { return gTransition.elapsed != 0.0f; }

float transitionAmount() {
    const float p = gTransition.elapsed / gTransition.duration;
    return gTransition.direction > 0 ? p : 1.0f - p;
}

void drawTransitionAt(float a, const char* caption) {
    if (!(a >= 0.0f && a <= 1.0f)) return;
    begin2D();
    switchOn(kSwitchBlending);
    switchOff(kSwitchAlphaTest);
    setBlendMode(kBlendAlpha);
    const float side = 10000.0f * a * a * a;
    const float angle = 50.0f - 360.0f * a;
    const int alpha = static_cast<int>((1.0f - 0.7f * a) * 255.0f);
    const UVRect full{0.0f, 0.0f, 1.0f, 1.0f};
    TextureEntry* picture = findTexture("_a_gag.jpg");
    if (!picture) picture = loadAlphaJpeg("_a_gag.jpg", false);
    bindTexture(picture);
    drawRotatedQuad(0.0f, 0.0f, 0.0f, 0.0f, angle, side, side, full, argb(alpha, 255, 255, 255), 10.0f);
    // Four black bands turned with the square cover everything outside it.
    bindTexture(nullptr);
    const float h = side / 2.0f, e = 12000.0f;
    const uint32_t black = argb(alpha, 0, 0, 0);
    drawRotatedQuad(0.0f, h + e / 2.0f, 0.0f, 0.0f, angle, side + 2.0f * e, e, full, black, 10.0f);
    drawRotatedQuad(0.0f, -h - e / 2.0f, 0.0f, 0.0f, angle, side + 2.0f * e, e, full, black, 10.0f);
    drawRotatedQuad(-h - e / 2.0f, 0.0f, 0.0f, 0.0f, angle, e, side, full, black, 10.0f);
    drawRotatedQuad(h + e / 2.0f, 0.0f, 0.0f, 0.0f, angle, e, side, full, black, 10.0f);
    if (caption && *caption) {
        const float turn = (180.0f + 180.0f * std::sin(3.14159265f * a * a * a)) * 0.017453292f;
        const float c = std::cos(turn), s = std::sin(turn);
        Matrix4 m = identityMatrix();
        m.m[0][0] = c;
        m.m[0][1] = s;
        m.m[1][0] = -s;
        m.m[1][1] = c;
        setWorldMatrix(&m);
        const float size = (1.0f - a * a) * 32.0f;
        setTextColour(255, 255, 255, 255);
        drawText(0.0f, -size * 0.4f, size, caption, true);
        setWorldMatrix(nullptr);
    }
    switchOn(kSwitchAlphaTest);
}

void advanceScreenTransition() {
    ScreenTransition& t = gTransition;
    if (t.elapsed == 0.0f) return;
    drawTransitionAt(transitionAmount(), t.caption);
    t.elapsed += frameClock().frameMs;
    if (t.elapsed > t.duration) {
        if (t.direction < 0) {
            t.direction = 1;
            t.elapsed = 1.0f;
        } else {
            t.elapsed = 0.0f;
        }
    }
}
