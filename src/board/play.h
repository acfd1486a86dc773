// Board play as the game scene sees it: the frame and the input.
#pragma once

void boardFrame();
void boardLeftDown();
void boardDoubleClick();
void boardLeftUp();
void boardRightDown();
void boardRightUp();
void boardMiddleDown();
void boardKeyDown(int virtualKey);
