#include "board/presentation.h"

#include "render/text.h"

#include "app/trace.h"
#include "board/board.h"
#include "board/falling.h"
#include "render/backdrops.h"

// The drawing itself is not written yet: these record what the rules start.
// The board's pictures come with the board presentation; the font, which every screen needs,
// is loaded here already.
void loadBoardPictures() { loadFont("font", 1.0f, 1.0f); }

void drawBoardPlay() { refillFrame(); }

void spawnDebris(int kind, float x, float y, int style) {
    traceCall("debris", style == 2 ? "defeat" : "figure", x, y, kind);
}
void spawnShards(float x, float y, int layers) { traceCall("shards", "square", x, y, layers); }
void showTip(float x, float y, const char* key, float, bool modal, int) { traceCall("tip", key, x, y, modal ? 1 : 0); }
void scorePopup(float x, float y, int points) { traceCall("popup", "points", x, y, points); }
void showLetterText(const char* text, float x, float y, float size) {
    traceCall("letters", text, x, y, static_cast<int>(size));
}
void showFloatingText(const char* text, float x, float y, float size, float lifeMs) {
    if (lifeMs <= 0.0f) return;
    traceCall("floating", text, x, y, static_cast<int>(size));
}
void showFloatingNumber(const char* key, int value, float x, float y, float size, float lifeMs) {
    if (lifeMs <= 0.0f) return;
    traceCall("floating", key, x, y, value);
    (void)size;
}
void showBanner(const char* text) { traceCall("banner", text); }
void flashLives() { traceCall("flash", "lives"); }

void animateBoardBackdrop(int variant) { setTintTarget(variant); }
void chooseBoardBackdrop(int variant, int number) {
    setTintTarget(variant);
    if (!backdropState().loaded) return;  // board play without the game's data (tests, tools)
    // A level start sets its backdrop at once; after a won level the next one takes over.
    if (board().betweenLevels) changeBackdrop(number);
    else setBackdrop(number);
}
void debrisFrame() {}
void hudFadeFrame() {}
void tipFrame() {}
