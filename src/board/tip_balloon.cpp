// The tip balloon over the board and its close button.
#include "app/strings.h"
#include "board/board.h"
#include "board/board_view.h"
#include "render/text.h"

void drawTipBalloon() {
    const Board& b = board();
    if (!b.tip.showing || b.tip.delay > 0.0f) return;
    drawHudText(b.tip.x, b.tip.y, 12.0f, lookupText(b.tip.key), 0xFFFFFFFFu);
}
