#include "board/presentation.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/frame_clock.h"
#include "app/trace.h"
#include "board/board.h"
#include "board/board_view.h"
#include "board/falling.h"
#include "board/play.h"
#include "menus/menus.h"
#include "platform/files.h"
#include "progress/saved_game.h"
#include "render/backdrops.h"
#include "render/device.h"
#include "render/effects.h"
#include "render/sprites.h"
#include "render/text.h"
#include "render/textures.h"

namespace {

BoardView gView;
BoardPictures gPictures;

const char* const kFigurePictureFiles[8] = {"aqua.tga",   "blue.tga",  "green.tga", "red.tga",
                                            "orange.tga", "lilac.tga", "white.tga", "yellow.tga"};

// Moves a value toward a goal by at most step.
float approach(float value, float goal, float step) {
    if (value < goal) return value + step > goal ? goal : value + step;
    if (value > goal) return value - step < goal ? goal : value - step;
    return value;
}

float clampAlpha(float a) { return a < 0.0f ? 0.0f : (a > 255.0f ? 255.0f : a); }

uint32_t whiteWithAlpha(float alpha) { return (static_cast<uint32_t>(clampAlpha(alpha)) << 24) | 0x00FFFFFFu; }

// The level's animated backdrop, first of all, dimmed with the board's last seconds; a won
// level's successor swings in.
void drawBoardBackdrop() { drawBackdrop(true, boardDimming()); }

// ---- the saved game's share of the presentation ----

void captureView(SavedGame& g) {
    const Board& b = board();
    for (int i = 0; i < kSavedDebris && i < kDebrisCapacity; ++i) {
        const DebrisPiece& d = gView.debris[i];
        g.debris[i] = SavedDebris{d.kindPlusOne, {d.x, d.y, d.z}, {d.vx, d.vy, d.vz}, d.frame, d.frameClock,
                                  d.style,       d.turn,           d.scale};
    }
    g.nextDebris = gView.nextDebris;
    for (int s = 0; s < kBoltSets && s < kBoltSetCapacity; ++s) {
        const BoltSet& set = b.boltSets[s];
        SavedBoltSet& out = g.bolts[s];
        std::memset(&out, 0, sizeof out);
        float longest = 0.0f;
        for (int i = 0; i < set.count && i < kBoltsPerSet; ++i) {
            const Bolt& bolt = set.bolts[i];
            out.points[i + 1] = SavedBoltPoint{bolt.target.x, bolt.target.y, 0.0f, bolt.colour, bolt.life};
            if (bolt.life > longest) longest = bolt.life;
        }
        if (set.count > 0) out.points[0] = SavedBoltPoint{set.origin.x, set.origin.y, 0.0f, 0xFFFFFFFFu, longest};
    }
    g.boardAlpha = b.boardAlpha;
    g.debrisAlpha = b.debrisAlpha;
    g.boardColour = whiteWithAlpha(b.boardAlpha);
    g.debrisColour = whiteWithAlpha(b.debrisAlpha);
    for (int i = 0; i < 16; ++i) g.shake.matrix[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    g.shake.matrix[12] = b.shakeOffset.x;
    g.shake.matrix[13] = b.shakeOffset.y;
}

void applyView(const SavedGame& g) {
    Board& b = board();
    for (int i = 0; i < kSavedDebris && i < kDebrisCapacity; ++i) {
        const SavedDebris& s = g.debris[i];
        DebrisPiece& d = gView.debris[i];
        d = DebrisPiece{};
        if (s.kindPlusOne <= 0 || s.kindPlusOne > kFigureKinds) continue;
        d.kindPlusOne = s.kindPlusOne;
        d.x = s.position[0];
        d.y = s.position[1];
        d.z = s.position[2];
        d.vx = s.velocity[0];
        d.vy = s.velocity[1];
        d.vz = s.velocity[2];
        d.frame = ((s.frame % 32) + 32) % 32;
        d.frameClock = s.frameClock;
        d.style = s.style == 2 ? 2 : 1;
        d.turn = s.turn;
        d.scale = s.scale;
    }
    gView.nextDebris = g.nextDebris >= 0 && g.nextDebris < kDebrisCapacity ? g.nextDebris : 0;
    for (int s = 0; s < kBoltSets && s < kBoltSetCapacity; ++s) {
        const SavedBoltSet& in = g.bolts[s];
        BoltSet& set = b.boltSets[s];
        std::memset(&set, 0, sizeof set);
        set.origin = Vec2{in.points[0].x, in.points[0].y};
        for (int i = 1; i < kBoltPoints && set.count < kBoltsPerSet; ++i) {
            const SavedBoltPoint& p = in.points[i];
            if (!(p.life > 0.0f)) break;
            set.bolts[set.count++] = Bolt{Vec2{p.x, p.y}, p.colour, p.life};
        }
    }
    b.boardAlpha = clampAlpha(g.boardAlpha);
    b.debrisAlpha = clampAlpha(g.debrisAlpha);
    b.shakeOffset = b.shakeOn ? Vec2{g.shake.matrix[12], g.shake.matrix[13]} : Vec2{0.0f, 0.0f};
}

}  // namespace

BoardView& boardView() { return gView; }
BoardPictures& boardPictures() { return gPictures; }

void resetBoardView() {
    gView = BoardView{};
    // Every level starts its sparks, debris and flicker from the same numbers.
    gView.randomState = 1;
    gView.dropClock = 5000.0f;
}

int viewRandom() {
    gView.randomState = gView.randomState * 214013u + 2531011u;
    return static_cast<int>((gView.randomState >> 16) & 0x7FFFu);
}

float viewRandomUnit() { return static_cast<float>(viewRandom()) / 32767.0f; }

int everyMs(float periodMs) {
    if (periodMs <= 0.0f) return 0;
    const FrameClock& clock = frameClock();
    const float before = std::floor(clock.runningMs / periodMs);
    const float after = std::floor((clock.runningMs + clock.frameMs) / periodMs);
    const float n = after - before;
    return n <= 0.0f ? 0 : (n > 16.0f ? 16 : static_cast<int>(n));
}

float boardDimming() {
    const Board& b = board();
    if (b.levelComplete || b.levelLost) return 1.0f;
    float f = 1.0f;
    if (b.mode == kAdventure && b.timeLimitMs > 0.0f) {
        const float left = b.timeLimitMs - b.elapsedMs;
        if (left < 20000.0f) f = left / 20000.0f;
    } else if (b.mode == kPuzzle && b.movesLimit > 0) {
        const float left = static_cast<float>(b.movesLimit) - b.shownMoves;
        if (left < 5.0f) f = left / 5.0f;
    }
    if (f < 0.0f) f = 0.0f;
    if (f > 1.0f) f = 1.0f;
    return 0.5f + 0.5f * f;
}

void drawHudText(float x, float y, float size, const char* text, uint32_t argb, float shadowDx, float shadowDy) {
    if (!text || !text[0]) return;
    const uint32_t alpha = argb >> 24;
    setTextColour((alpha * 192u / 255u) << 24);
    drawText(x + shadowDx, y + shadowDy, size, text, true);
    setTextColour(argb);
    drawText(x, y, size, text, true);
    setTextColour(0xFFFFFFFFu);
}

void loadBoardPictures() {
    loadFont("font", 1.0f, 1.0f);
    // The board's pictures are shown at their size or a little smaller: one level each.
    BoardPictures& p = gPictures;
    const std::string dataFolder = platform::currentDir();
    const bool entered = platform::changeDir("figures");
    for (int k = 0; k < kFigureKinds; ++k) p.figures[k] = loadTextureOneLevel(kFigurePictureFiles[k % 8]);
    if (entered) platform::changeDir(dataFolder.c_str());
    // Chains and the DiagonalBomb's overlay are always shown at the same turn: they are turned
    // here, once, into pictures drawn along the axes (the turned box a little over the picture's
    // diagonal, even so that a cell's centre puts it on whole pixels).
    p.chain = loadTurnedTexture("zep2.tga@135", "zep2.tga", 135.0f, kChainSize, kChainSize, kChainBox);
    p.gamebar = loadAlphaJpeg("_a_gamebar.jpg", true);
    p.flare = loadTextureOneLevel("flare.jpg");
    p.candle = loadAlphaJpeg("_a_candle.jpg", true);
    p.candleFire = loadTextureOneLevel("candlefire.tga");
    p.candlePool = loadTextureOneLevel("candlepool.tga");
    p.candlestick = loadAlphaJpeg("_a_candlestick.jpg", true);
    for (int k = 0; k < 5; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "drop%i.tga", k + 1);
        p.drops[k] = loadTextureOneLevel(name);
    }
    p.heart = loadTextureOneLevel("heart.tga");
    for (int k = 0; k < 3; ++k) {
        char name[24];
        std::snprintf(name, sizeof name, "field\\field%i.tga", k);
        p.tiles[k] = loadTextureOneLevel(name);
    }
    p.crossOverlay = loadTextureOneLevel("bonus1.tga");
    p.diagonalOverlay = loadTurnedTexture("bonus1.tga@45", "bonus1.tga", 45.0f, kOverlayLargest, kOverlayLargest,
                                          kDiagonalBox);
    p.megaOverlay = loadTextureOneLevel("bonus2.tga");
    p.placeholder = loadAlphaJpeg("_a_gag.jpg", true);
    p.trophyButton = loadTextureOneLevel("trophybutton.tga");
    for (int k = 0; k < 3; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "hammer.texturelum%i.jpg", k + 1);
        p.hammerGlows[k] = loadTextureOneLevel(name);
    }
    p.hammerEmpty = loadTextureOneLevel("hammer.texture1.tga");
    p.hammerFull = loadTextureOneLevel("hammer.texture2.tga");
    p.loaded = true;
    setSavedGamePresentation(captureView, applyView);
}

void forgetBoardPictures() { gPictures = BoardPictures{}; }

void startBoardPresentation() { resetBoardView(); }

void drawBoardPlay() {
    Board& b = board();
    if (!gPictures.loaded) {
        // Without the board's pictures (board rules run on their own) only the refill runs.
        refillFrame();
        return;
    }
    begin2D();
    setCulling(false);
    setBlendMode(kBlendAlpha);
    setTint(1.0f, 1.0f, 1.0f, 1.0f);

    // 1. The backdrop.
    drawBoardBackdrop();

    // 2. Between levels only the prompt.
    if (b.betweenLevels || b.gameFinished) {
        drawKeyToResume(b.betweenClock, 0.0002f);
        b.tipCloseClicked = 0;
        return;
    }

    // The last seconds (or moves) darken everything of board play.
    const float dim = boardDimming();
    setTint(dim, dim, dim, 1.0f);

    // 3. The panel and the overlays on it.
    drawHudPanel();
    drawPauseOverlay();
    if (b.levelComplete && b.resultShown && !menuOpen()) drawKeyToResume(b.levelEndClock, 0.0002f);

    // 4. The board, shaken.
    updateLevelEndMotion();
    drawBoardLayer(b.shakeOffset.x, b.shakeOffset.y, whiteWithAlpha(b.boardAlpha));
    drawShards(b.shakeOffset.x, b.shakeOffset.y);

    // 5. The candle, the bonus and the hammer.
    drawCandle();
    drawBonusCountUp();
    drawHammerMeter();

    // 6. Debris, effects and texts; the tip's balloon over everything.
    drawDebris();
    if (!menuOpen()) updateAndDrawParticles();
    drawFlyingTexts();
    drawTipBalloon();

    setTint(1.0f, 1.0f, 1.0f, 1.0f);
    setBlendMode(kBlendAlpha);
    b.tipCloseClicked = 0;
}

void showTip(float x, float y, const char* key, float, bool modal, int) {
    gView.tipAge = 0.0f;
    traceCall("tip", key, x, y, modal ? 1 : 0);
}

void flashLives() {
    gView.lifeFlashClock = 0.001f;
    traceCall("flash", "lives");
}

void animateBoardBackdrop(int variant) { setTintTarget(variant); }

void chooseBoardBackdrop(int variant, int number) {
    setTintTarget(variant);
    if (!backdropState().loaded) return;  // board play without the game's data (tests, tools)
    // A level start sets its backdrop at once; after a won level the next one takes over.
    if (board().betweenLevels) changeBackdrop(number);
    else setBackdrop(number);
}

void hudFadeFrame() {
    Board& b = board();
    BoardView& v = gView;
    const float ms = frameClock().frameMs;
    const bool menu = menuOpen();
    const bool unfinishedMenu = menu && !b.levelComplete;
    const bool lostLong = b.levelLost && b.lostClock >= 4000.0f;
    const bool endLong = b.levelComplete && b.levelEndClock >= 400.0f;

    // The board fades with a menu over an unfinished level, the pause, a long loss and the level end.
    if (unfinishedMenu || b.paused || lostLong) b.boardAlpha = approach(b.boardAlpha, 0.0f, 0.3f * ms);
    else if (endLong) b.boardAlpha = approach(b.boardAlpha, 0.0f, 0.07f * ms);
    // The debris fades with such a menu, the pause and a tip.
    if (unfinishedMenu || b.paused || b.tip.showing) b.debrisAlpha = approach(b.debrisAlpha, 0.0f, 0.3f * ms);
    const bool clear = !menu && !b.paused && !b.levelComplete && !b.bonusShowing && !b.tip.showing && !b.levelLost;
    if (clear) {
        b.boardAlpha = approach(b.boardAlpha, 255.0f, 0.3f * ms);
        b.debrisAlpha = approach(b.debrisAlpha, 255.0f, 0.3f * ms);
    }

    const bool hudAway = b.paused || b.levelLost || b.levelComplete;
    b.hudSlide = approach(b.hudSlide, hudAway ? -128.0f : 0.0f, 0.2f * ms);
    const bool candleAway = b.paused || b.levelLost || (b.levelComplete && b.levelEndClock > 5000.0f);
    v.candleSlide = approach(v.candleSlide, candleAway ? -128.0f : 0.0f, 0.2f * ms);

    if (v.lifeFlashClock > 0.0f) {
        v.lifeFlashClock += ms;
        if (v.lifeFlashClock > 2400.0f) v.lifeFlashClock = 0.0f;
    }
}

void tipFrame() {
    Board& b = board();
    if (!b.tip.showing) return;
    // A tip gives way to a menu, the end of the level, a loss and the pause.
    if (menuOpen() || b.levelComplete || b.levelLost || b.paused) {
        closeTip();
        return;
    }
    const float ms = frameClock().frameMs;
    if (b.tip.delay > 0.0f) {
        b.tip.delay -= ms;
        if (b.tip.delay < 0.0f) b.tip.delay = 0.0f;
        return;
    }
    gView.tipAge += ms;
}
