// The cursor: where it is in the logical space, which one shows, and the program's own drawn
// cursor of the custom-cursor setting.
#pragma once

// The system cursor in the logical 800 x 600 space (origin at the centre, y up).
void logicalCursor(float& x, float& y);
// 0 arrow, 1 hammer, 2 blank: recorded for the drawn cursor; with the custom-cursor setting off
// it also sets the system cursor (the hammer made from the menu pictures).
void setSystemCursor(int kind);
int systemCursorKind();
// The program's own cursor, when the custom-cursor setting is on and the cursor is inside.
void drawCursor();
// Makes the system's hammer cursor from the menu pictures (loaded with them).
void makeHammerCursor();
// The system cursor after a change of the custom-cursor setting: blank while the program draws
// its own, else the recorded kind.
void applyCursorSetting();
