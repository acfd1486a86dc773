// Drawing board play: tiles, figures, HUD, candle, flying texts; and the calls by which the
// rules start debris, shards, pop-ups, tips and texts.
#pragma once

void loadBoardPictures();
// The pictures are forgotten (they go with the device); the next run loads them again.
void forgetBoardPictures();
// A level starts: the flying things, texts and clocks of the last one are cleared.
void startBoardPresentation();
// The drawing pass of board play, after boardFrame; it also runs the refill animation.
void drawBoardPlay();

// Started by the rules; each also records the call for tests.
void spawnDebris(int kind, float x, float y, int style);
void spawnShards(float x, float y, int layers);
void showTip(float x, float y, const char* key, float delay, bool modal, int style);
void scorePopup(float x, float y, int points);
void showLetterText(const char* text, float x, float y, float size);
void showFloatingText(const char* text, float x, float y, float size, float lifeMs);
// A floating text whose string-table template is filled with a number ("youwon").
void showFloatingNumber(const char* key, int value, float x, float y, float size, float lifeMs);
void showBanner(const char* text);
// The life hearts flash when a life is earned.
void flashLives();

// Per-frame parts of the presentation that board play calls in its fixed order.
void animateBoardBackdrop(int variant);
void chooseBoardBackdrop(int variant, int number);
void debrisFrame();
void hudFadeFrame();
void tipFrame();
