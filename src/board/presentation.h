// Drawing board play: tiles, figures, HUD, candle, flying texts.
#pragma once

void loadBoardPictures();
void drawBoardPlay();
void showBanner(const char* text);
