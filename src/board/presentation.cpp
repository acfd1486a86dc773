#include "board/presentation.h"

// Not written yet: the board presentation issue fills these in.
void loadBoardPictures() {}
void drawBoardPlay() {}
void showBanner(const char*) {}
