// The tip balloon over the board and its close button, drawn with the menus' panel pieces.
#include "app/frame_clock.h"
#include "app/strings.h"
#include "audio/audio.h"
#include "board/board.h"
#include "board/board_view.h"
#include "board/play.h"
#include "menus/panel.h"
#include "render/text.h"

namespace {

constexpr float kBalloonWidth = 300.0f;
constexpr float kTextSize = 12.0f;
constexpr float kCloseWidth = 64.0f;
constexpr float kCloseHeight = 32.0f;
constexpr float kModalCloseAfterMs = 250.0f;

struct BalloonLayout {
    float x, y;  // centre
    float width, height;
    float closeX, closeY;  // centre of the close button
};

// Above the point it tells of, or below when there is no room; always on the screen. A tip of
// style 1 stands centred on its point.
BalloonLayout layoutBalloon(const TipState& tip, const char* text) {
    BalloonLayout l;
    l.width = kBalloonWidth;
    const int lines = wrappedLineCount(text, kTextSize, kBalloonWidth - 48.0f);
    l.height = static_cast<float>(lines) * 1.8f * kTextSize + 36.0f + kCloseHeight;
    l.x = tip.x;
    if (tip.style == 1) {
        l.y = tip.y;
    } else {
        l.y = tip.y + 24.0f + l.height / 2.0f;
        if (l.y + l.height / 2.0f > 296.0f) l.y = tip.y - 24.0f - l.height / 2.0f;
    }
    const float halfW = l.width / 2.0f, halfH = l.height / 2.0f;
    if (l.x - halfW < -396.0f) l.x = -396.0f + halfW;
    if (l.x + halfW > 396.0f) l.x = 396.0f - halfW;
    if (l.y + halfH > 296.0f) l.y = 296.0f - halfH;
    if (l.y - halfH < -296.0f) l.y = -296.0f + halfH;
    l.closeX = l.x + halfW - 16.0f - kCloseWidth / 2.0f;
    l.closeY = l.y - halfH + 14.0f + kCloseHeight / 2.0f;
    return l;
}

bool insideClose(const BalloonLayout& l, float x, float y) {
    return x >= l.closeX - kCloseWidth / 2.0f && x <= l.closeX + kCloseWidth / 2.0f &&
           y >= l.closeY - kCloseHeight / 2.0f && y <= l.closeY + kCloseHeight / 2.0f;
}

}  // namespace

bool tipCloseButton(float& x, float& y) {
    const Board& b = board();
    if (!b.tip.showing || b.tip.delay > 0.0f) return false;
    const BalloonLayout l = layoutBalloon(b.tip, lookupText(b.tip.key));
    x = l.closeX;
    y = l.closeY;
    return true;
}

bool insideTipBalloon(float x, float y) {
    const Board& b = board();
    if (!b.tip.showing || b.tip.delay > 0.0f) return false;
    const BalloonLayout l = layoutBalloon(b.tip, lookupText(b.tip.key));
    return x >= l.x - l.width / 2.0f && x <= l.x + l.width / 2.0f && y >= l.y - l.height / 2.0f &&
           y <= l.y + l.height / 2.0f;
}

void drawTipBalloon() {
    Board& b = board();
    if (!b.tip.showing || b.tip.delay > 0.0f) return;
    const char* text = lookupText(b.tip.key);
    const BalloonLayout l = layoutBalloon(b.tip, text);
    const float age = boardView().tipAge;
    // The close button takes a click once the tip has stood a moment (a modal tip only so).
    if (b.tipCloseClicked && insideClose(l, b.cursorX, b.cursorY) && (!b.tip.modal || age >= kModalCloseAfterMs)) {
        playSound("ButtonClick.ogg");
        closeTip();
        return;
    }
    float alpha = age / 200.0f;
    if (alpha > 1.0f) alpha = 1.0f;
    drawMenuPanel(l.x, l.y, l.width, l.height, alpha);
    selectFont(0);
    setTextColour(fadeColour(0xFFFFF4D0u, alpha));
    drawWrappedText(l.x, l.y + l.height / 2.0f - 24.0f, kTextSize, l.width - 48.0f, text, true);
    setTextColour(0xFFFFFFFFu);
    const bool hovered = insideClose(l, b.cursorX, b.cursorY);
    drawButton(l.closeX, l.closeY, kCloseWidth, kCloseHeight, 11.0f, "OK", hovered, alpha);
}
