// Board play as the game scene sees it: the frame and the input.
#pragma once

#include <cstdint>

#include "audio/ambience.h"
#include "board/tips.h"

void boardFrame();
void boardLeftDown();
void boardDoubleClick();
void boardLeftUp();
void boardRightDown();
void boardRightUp();
void boardMiddleDown();
void boardKeyDown(int virtualKey);

// Pausing and resuming a level.
void pauseGame();
void resumeGame();
// Hands over from board play to the journey map with the current mode's menu.
void leaveForMap();

// State of board play that lives for the whole process (not reset per level).
struct BoardProcess {
    AmbienceClock ambience;
    uint8_t hammerCursor;  // the hammer cursor is set (the arrow otherwise)
    uint8_t keyCursor;     // the arrow keys lead the board's cursor (the mouse otherwise)
    int8_t keyRow;
    int8_t keyColumn;
};
BoardProcess& boardProcess();
void resetBoardProcess();
// The hammer cursor while the hammer is armed, else the arrow; the system is told on a change.
void setBoardCursor(bool hammer);
