// What the board's presentation keeps between frames: its pictures, the rings of flying
// things (debris, shards, pop-ups, letters, floating texts), the banner, the candle's drops and
// stars, the sparks of the Lightnings and the presentation clocks. One instance for the
// process; a level start clears the rings (resetBoardView keeps the pictures).
#pragma once

#include <cstdint>

#include "board/board.h"

struct TextureEntry;

constexpr int kDebrisCapacity = 150;
constexpr int kShardCapacity = 150;
constexpr int kPopupCapacity = 64;
constexpr int kLetterCapacity = 256;
constexpr int kFloatingCapacity = 16;
constexpr int kFloatingTextMax = 127;
constexpr int kSparksPerFigure = 8;
constexpr int kWaxDropCapacity = 8;
constexpr int kBonusStarCapacity = 32;
// A chain is 70 x 70 turned by 135 degrees; a bonus overlay pulses up to 54 x 54.
constexpr float kChainSize = 70.0f;
constexpr int kChainBox = 100;
constexpr float kOverlayLargest = 54.0f;
constexpr int kDiagonalBox = 78;

// A flying figure: a broken figure's debris (style 1) or a defeat piece (style 2). The fields
// are those the saved game keeps for it.
struct DebrisPiece {
    int32_t kindPlusOne;  // figure kind + 1; 0 = free entry
    float x, y, z;
    float vx, vy, vz;
    int32_t frame;
    float frameClock;
    int32_t style;
    float turn;   // a defeat piece: where it stands on its slow circle (degrees)
    float scale;
};

// The four quarters of a broken square layer, flying apart from where the square lay.
struct Shard {
    uint8_t active;
    int32_t layers;  // the tile the layer broke off (1 or 2)
    float age;
    float x, y;
    float vx, vy;  // of the top-right quarter; the others mirror it
    uint8_t glinted;
};

struct Popup {
    int32_t points;
    float x, y;
    float size;
    float alpha;
    float vy;
    float dAlpha;
};

struct Letter {
    char c;
    float x, y;
    float size;
    float clock;  // ms; drawn while in (0, 6000]
};

struct FloatingText {
    char text[kFloatingTextMax + 1];
    float x, y;
    float size;
    float width;
    float clock;  // from 2000 down to 0
    float rate;
    float alpha;  // the last alpha, kept through the pulse
};

struct Spark {
    float x, y;  // relative to the figure
    float age;
    float life;
};

struct WaxDrop {
    uint8_t active;
    float x, y;
    float vx, vy;
    float ax;
    int32_t picture;  // 0..3
};

struct BonusStar {
    uint8_t active;
    float x, y;
    float vx, vy;
    float age;
    float trailClock;
};

struct BoardPictures {
    TextureEntry* figures[kFigureKinds];
    TextureEntry* chain;  // turned by 135 degrees when loaded
    TextureEntry* gamebar;
    TextureEntry* flare;
    TextureEntry* candle;
    TextureEntry* candleFire;
    TextureEntry* candlePool;
    TextureEntry* candlestick;
    TextureEntry* drops[5];
    TextureEntry* heart;
    TextureEntry* tiles[3];
    TextureEntry* crossOverlay;
    TextureEntry* diagonalOverlay;  // the cross overlay turned by 45 degrees when loaded
    TextureEntry* megaOverlay;
    TextureEntry* placeholder;
    TextureEntry* trophyButton;
    TextureEntry* hammerGlows[3];
    TextureEntry* hammerEmpty;
    TextureEntry* hammerFull;
    bool loaded;
};

struct BoardView {
    DebrisPiece debris[kDebrisCapacity];
    int32_t nextDebris;
    Shard shards[kShardCapacity];
    int32_t nextShard;
    Popup popups[kPopupCapacity];
    int32_t nextPopup;
    Letter letters[kLetterCapacity];
    int32_t nextLetter;
    FloatingText floating[kFloatingCapacity];
    int32_t nextFloating;
    char bannerText[kFloatingTextMax + 1];
    float bannerClock;
    Spark sparks[kRows][kColumns][kSparksPerFigure];
    WaxDrop drops[kWaxDropCapacity];
    float dropClock;  // ms to the next wax drop
    BonusStar stars[kBonusStarCapacity];
    int32_t nextStar;

    float pulseClock;      // grows by twice the frame time: the hammer pulse and the rings
    float candleSlide;     // 0 shown .. -128 hidden
    float lifeFlashClock;  // ms since the last extra life; the hearts swell for 2400 ms
    float menuHoverClock;
    float trophiesHoverClock;
    float tipAge;          // ms the tip balloon has been shown (after its delay)
    float lostClockSeen;   // the loss's clock at the last debris frame
    uint32_t randomState;  // the presentation's own numbers, apart from the game's
};

BoardView& boardView();
BoardPictures& boardPictures();
// Clears the rings and clocks for a new level (the pictures stay).
void resetBoardView();

// The presentation's random numbers: 0..32767, and a float in 0..1.
int viewRandom();
float viewRandomUnit();

// The number of times a period of ms is crossed by the running clock in this frame.
int everyMs(float periodMs);

// Parts of the drawing pass, in the files of the board presentation.
void updateLevelEndMotion();
void drawBoardLayer(float shakeX, float shakeY, uint32_t colour);
void drawHudPanel();
void drawPauseOverlay();
void drawKeyToResume(float clockMs, float rate);
void drawCandle();
void drawBonusCountUp();
void drawHammerMeter();
void drawDebris();
void drawShards(float shakeX, float shakeY);
void drawFlyingTexts();
void drawTipBalloon();
// The centre of the open tip's close button; false while no balloon shows.
bool tipCloseButton(float& x, float& y);
// The point lies on the open tip's balloon (its close button included).
bool insideTipBalloon(float x, float y);
// The darkening of the last 20 s (or 5 moves): 1 normally, down to 0.5.
float boardDimming();
// A string-table text holding one "%i" with the number put in (the bare number without a text).
void formatCount(char* out, int capacity, const char* format, int value);
// Text centred at (x, y) with the HUD's shadow: black at alpha 192 offset by (1, -1) (scaled
// by the text's own alpha).
void drawHudText(float x, float y, float size, const char* text, uint32_t argb, float shadowDx = 1.0f,
                      float shadowDy = -1.0f);
