// The tip balloon of board play and the first-time tips of the player.
#pragma once

// The player's 13 tip flags, by place; a flag is set while its tip has not been shown yet.
// Places 4, 8 and 9 gate no tip. The welcome flag is also the new-player flag.
enum TipSlot : int {
    kTipWelcome = 0,
    kTipBreakSquares = 1,
    kTipBreakDualSquares = 2,
    kTipBreakChain = 3,
    kTipUseHammer = 5,
    kTipFirstBomb = 6,
    kTipFirstLightning = 7,
    kTipFirstMegaBomb = 10,
    kTipCandleTime = 11,
    kTipCandleMoves = 12,
};

// The flag place of a first-time tip's key, or -1 for a tip without one ("nomoves").
int tipSlotOf(const char* key);

// Opens the balloon: one at a time, and a first-time tip only while the player's flag for it
// is set; showing it clears the flag. False when nothing opened.
bool openTip(float x, float y, const char* key, float delay, bool modal, int style);
void closeTip();

// The first-time tips board play raises by itself, once per frame while nothing else is in
// the way: the welcome at a player's first level start, the squares and chain tips, and the
// candle tips of the second level.
void firstTimeTips();
