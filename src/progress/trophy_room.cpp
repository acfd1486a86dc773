// The trophy room scene: the trophies on their backdrop, the window that presents a new
// trophy, hover with its tip, and leaving by the way the room was entered.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/frame_clock.h"
#include "app/scene.h"
#include "app/strings.h"
#include "app/trace.h"
#include "audio/audio.h"
#include "menus/cursor.h"
#include "menus/menus.h"
#include "menus/panel.h"
#include "progress/game_modes.h"
#include "progress/map.h"
#include "progress/profiles.h"
#include "progress/trophies.h"
#include "render/backdrops.h"
#include "render/device.h"
#include "render/effects.h"
#include "render/sprites.h"
#include "render/text.h"
#include "render/textures.h"

namespace {

constexpr UVRect kFull{0.0f, 0.0f, 1.0f, 1.0f};
constexpr float kBackX = -364.0f, kBackY = 264.0f, kBackSize = 64.0f;
constexpr float kWindowButtonY = -85.0f;
constexpr float kSettleMs = 1000.0f;  // the room takes no leave and shows no window before

uint32_t argb(int a, int r, int g, int b) {
    auto c = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
    return c(a) << 24 | c(r) << 16 | c(g) << 8 | c(b);
}

bool inside(float x, float y, float cx, float cy, float w, float h) {
    return x >= cx - w / 2.0f && x <= cx + w / 2.0f && y >= cy - h / 2.0f && y <= cy + h / 2.0f;
}

const char* trophyTip(int k, const char* missing) {
    char key[32];
    std::snprintf(key, sizeof key, "trophytip%i", k);
    const char* text = lookupText(key);
    return text && *text ? text : missing;
}

TrophyRoomState& room() { return trophyRoom(); }
bool windowUp() { return room().window >= 1 && room().window <= 3; }

void startLeaving() {
    room().leaving = true;
    room().leaveMs = 0.0f;
    closeTransition(1000.0f);
}

void finishLeaving() {
    TrophyRoomState& r = room();
    const int kind = r.returnKind;
    const int backdrop = r.levelBackdrop;
    writeTrophyState(r.profileName);
    resetTrophyRoom();
    setTrophyRoomFromLevel(false);
    if (kind == -2) {
        // The level goes on where it was; its pause was lifted when the room opened.
        setBackdrop(backdrop);
        requestScene(gameScene());
        return;
    }
    fadeToMusicSection(0);
    setBackdrop(kMenuBackdrop);
    setTintNow(kTintNeutral);
    requestScene(mapScene());
    const char* menu = kind >= 0 && kind <= 2 ? modeMenuName(kind) : "main";
    setMapView(kind >= 0 && kind <= 2 ? 1 : 0);
    traceCall("menu", menu);
    openMenuByName(menu);
}

void updateWindow(float dt) {
    TrophyRoomState& r = room();
    if (r.window == 4) {
        if (r.roomMs < kSettleMs || r.leaving) return;
        const int k = nextNewTrophy();
        if (k == 0) return;
        r.window = 1;
        r.windowMs = 0.0f;
        r.windowTrophy = k;
        r.hovered = 0;
        r.hoverMs = 0.0f;
        return;
    }
    if (r.window == 2) return;
    r.windowMs += dt;
    if (r.windowMs < 500.0f) return;
    r.windowMs = 0.0f;
    if (r.window == 1) {
        r.window = 2;
        return;
    }
    // Faded out: the trophy is presented.
    const int k = r.windowTrophy;
    clearTrophyNew(k);
    const TrophyLayout& t = trophyTable().layout[std::clamp(k, 1, kTrophyCount) - 1];
    startEffect("trophyadd2", t.x, t.y);
    r.window = 4;
    const int next = nextNewTrophy();
    if (next != 0) {
        r.window = 1;
        r.windowTrophy = next;
    }
}

void updateHover(float dt) {
    TrophyRoomState& r = room();
    float x, y;
    logicalCursor(x, y);
    const bool overBack = inside(x, y, kBackX, kBackY, kBackSize, kBackSize);
    r.backGlow = overBack ? std::min(255.0f, r.backGlow + dt) : std::max(0.0f, r.backGlow - dt);
    const bool active = r.roomMs >= kSettleMs && !windowUp() && !r.leaving;
    const int k = active ? trophyAt(x, y) : 0;
    for (int i = 0; i < kTrophyCount; ++i) trophyTable().layout[i].hovered = (i + 1 == k) ? 1 : 0;
    if (k != r.hovered) {
        r.hovered = k;
        r.hoverMs = 0.0f;
        r.tipSlide = 0.0f;
    } else if (k != 0) {
        r.hoverMs += dt;
    }
    const bool tipShown = r.hovered != 0 && r.hoverMs > 2000.0f;
    r.tipSlide = tipShown ? std::min(1.0f, r.tipSlide + dt / 300.0f) : 0.0f;
}

void drawTrophy(int i, float x, float y, float w, float h, bool glowOnly, float clock) {
    const TrophyTable& t = trophyTable();
    const float rate = t.layout[i].hovered ? 0.015f : 0.005f;
    const int bright = static_cast<int>(205.0f + 50.0f * std::sin(clock * rate));
    if (!glowOnly && t.pictures[i]) {
        setBlendMode(kBlendAlpha);
        bindTexture(t.pictures[i]);
        drawQuad(x, y, w, h, kFull, 0xFFFFFFFFu, 10.0f);
    }
    if (t.glows[i]) {
        setBlendMode(kBlendAdditive);
        bindTexture(t.glows[i]);
        drawQuad(x, y, w, h, kFull, argb(255, bright, bright, bright), 10.0f);
        setBlendMode(kBlendAlpha);
    }
}

void drawTrophies() {
    const TrophyTable& t = trophyTable();
    const float clock = frameClock().runningMs;
    for (int i = 0; i < kTrophyCount; ++i) {
        const TrophyLayout& l = t.layout[i];
        const bool presented = trophyEarned(i + 1) && !trophyIsNew(i + 1);
        drawTrophy(i, l.x, l.y, l.width * l.scale, l.height * l.scale, !presented, clock);
    }
}

void drawBackButton() {
    if (TextureEntry* back = findTexture("mapback1.tga")) {
        bindTexture(back);
        drawQuad(kBackX, kBackY, kBackSize, kBackSize, kFull, 0xFFFFFFFFu, 10.0f);
    }
    if (TextureEntry* glow = findTexture("mapback2.tga"); glow && room().backGlow > 0.0f) {
        bindTexture(glow);
        drawQuad(kBackX, kBackY, kBackSize, kBackSize, kFull, argb(static_cast<int>(room().backGlow), 255, 255, 255),
                 10.0f);
    }
}

void drawWindow() {
    const TrophyRoomState& r = room();
    if (!windowUp()) return;
    float a = 1.0f;
    if (r.window == 1) a = r.windowMs / 500.0f;
    if (r.window == 3) a = 1.0f - r.windowMs / 500.0f;
    a = std::clamp(a, 0.0f, 1.0f);
    drawMenuPanel(0.0f, 0.0f, 400.0f, 250.0f, a);
    const int i = std::clamp(r.windowTrophy, 1, kTrophyCount) - 1;
    const TrophyTable& t = trophyTable();
    const TrophyLayout& l = t.layout[i];
    const float w = std::min(l.width * l.scale, 150.0f), h = std::min(l.height * l.scale, 150.0f);
    const int alpha = static_cast<int>(255.0f * a);
    if (t.pictures[i]) {
        bindTexture(t.pictures[i]);
        drawQuad(-120.0f, 20.0f, w, h, kFull, argb(alpha, 255, 255, 255), 10.0f);
    }
    if (t.glows[i]) {
        setBlendMode(kBlendAdditive);
        bindTexture(t.glows[i]);
        drawQuad(-120.0f, 20.0f, w, h, kFull, argb(255, alpha, alpha, alpha), 10.0f);
        setBlendMode(kBlendAlpha);
    }
    setTextColour(argb(alpha, 255, 250, 225));
    drawWrappedText(55.0f, 75.0f, 12.0f, 220.0f, trophyTip(r.windowTrophy, "UNKNOW ENTER TIPS!"), true);
    drawButton(0.0f, kWindowButtonY, 128.0f, 64.0f, 17.0f, "OK", false, a);
    setTextColour(255, 255, 255, 255);
}

void drawTip() {
    const TrophyRoomState& r = room();
    if (r.hovered == 0 || r.tipSlide <= 0.0f) return;
    const TrophyLayout& l = trophyTable().layout[r.hovered - 1];
    const char* text = trophyTip(r.hovered, "UNKNOW");
    const float width = 220.0f;
    const float height = static_cast<float>(std::max(1, wrappedLineCount(text, 11.0f, width - 24.0f))) * 19.8f + 30.0f;
    // Beside the trophy, on the side with room, sliding out from it.
    const float side = l.x > 150.0f ? -1.0f : 1.0f;
    const float reach = l.width * l.scale / 2.0f + width / 2.0f + 10.0f;
    const float x = l.x + side * reach * r.tipSlide;
    const float y = std::clamp(l.y, -300.0f + height / 2.0f, 300.0f - height / 2.0f);
    drawMenuPanel(x, y, width, height, r.tipSlide);
    setTextColour(argb(static_cast<int>(255.0f * r.tipSlide), 255, 250, 225));
    drawWrappedText(x, y + height / 2.0f - 26.0f, 11.0f, width - 24.0f, text, true);
    setTextColour(255, 255, 255, 255);
}

}  // namespace

void enterTrophyRoom(int returnKind) {
    resetTrophyRoom();
    TrophyRoomState& r = room();
    r.returnKind = returnKind >= -2 && returnKind <= 2 ? returnKind : -1;
    r.levelBackdrop = backdropState().scene.number >= 0 ? backdropState().scene.number : 0;
    std::snprintf(r.profileName, sizeof r.profileName, "%s", currentProfile().name);
    setBackdrop(kTrophyRoomBackdrop);
    setTrophyRoomFromLevel(returnKind == -2);
    traceCall("trophyroom", "enter", 0.0f, 0.0f, r.returnKind);
    requestScene(trophyRoomScene());
}

int trophyAt(float x, float y) {
    if (inside(x, y, kBackX, kBackY, kBackSize, kBackSize)) return 0;
    const TrophyTable& t = trophyTable();
    // The last one drawn lies on top.
    for (int i = kTrophyCount - 1; i >= 0; --i) {
        const TrophyLayout& l = t.layout[i];
        const float w = l.width * l.scale, h = l.height * l.scale;
        if (!(w > 0.0f && h > 0.0f)) continue;
        const float left = l.x - w / 2.0f, top = l.y + h / 2.0f;
        const float u = (x - left) / w, v = (top - y) / h;
        if (maskOpaqueAt(t.masks[i], u, v)) return i + 1;
    }
    return 0;
}

void trophyRoomFrame() {
    TrophyRoomState& r = room();
    const float dt = frameClock().frameMs;
    ambienceStep(r.ambience, Water::Waterfall, frameClock().deltaMs);
    begin2D();
    drawStillBackdrop();
    switchOn(kSwitchBlending);
    drawTrophies();
    drawBackButton();
    updateHover(dt);
    updateWindow(dt);
    drawTip();
    drawWindow();
    bindTexture(nullptr);
    r.roomMs += dt;
    if (r.leaving) {
        r.leaveMs += dt;
        if (r.leaveMs >= 1000.0f) finishLeaving();
    }
    updateAudio();
}

namespace {
// The trophy window's "OK": the window fades out.
void answerWindow() {
    TrophyRoomState& r = room();
    playSound("ButtonClick.ogg");
    r.window = 3;
    r.windowMs = 0.0f;
}
}  // namespace

void trophyRoomKeyStep(int key) {
    TrophyRoomState& r = room();
    // Enter and Space answer the trophy window's "OK" as its click does: a player at the
    // keyboard (or a controller, whose A is Enter) is not held in the room.
    if ((key == 13 || key == 32) && r.window == 2 && !r.leaving) {
        answerWindow();
        return;
    }
    if (key != 27 || r.leaving || r.roomMs < kSettleMs || windowUp()) return;
    writeTrophyLayout();  // the result does not matter: see writeTrophyLayout
    startLeaving();
}

void trophyRoomPress() {
    float x, y;
    logicalCursor(x, y);
    trophyRoomPressAt(x, y);
}

void trophyRoomPressAt(float x, float y) {
    TrophyRoomState& r = room();
    if (r.leaving) return;
    if (r.window == 2) {
        if (inside(x, y, 0.0f, kWindowButtonY, 128.0f, 64.0f)) answerWindow();
        return;
    }
    if (windowUp()) return;
    if (r.roomMs >= kSettleMs && inside(x, y, kBackX, kBackY, kBackSize, kBackSize)) {
        startLeaving();
        return;
    }
    if (r.hovered != 0) r.hoverMs += 2000.0f;
}

// The second press of a double click counts as a press of its own.
void trophyRoomDoubleClick() { trophyRoomPress(); }
void trophyRoomRelease() {}
void trophyRoomHover() {}
