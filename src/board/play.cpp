#include "board/play.h"

// Not written yet: the board rules issue fills these in.
void boardFrame() {}
void boardLeftDown() {}
void boardDoubleClick() {}
void boardLeftUp() {}
void boardRightDown() {}
void boardRightUp() {}
void boardMiddleDown() {}
void boardKeyDown(int) {}
