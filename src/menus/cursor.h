// The cursor: where it is in the logical space, which one shows, and the program's own drawn
// cursor of the custom-cursor setting.
#pragma once

// The system cursor in the logical 800 x 600 space (origin at the centre, y up).
void logicalCursor(float& x, float& y);
// 0 arrow, 1 hammer, 2 blank: recorded for the drawn cursor, and the system cursor follows
// (applyCursorSetting).
void setSystemCursor(int kind);
int systemCursorKind();
// The program's own cursor, when the custom-cursor setting is on and the cursor is inside.
void drawCursor();
// Makes the system's hammer cursor from the menu pictures (loaded with them).
void makeHammerCursor();
// The one way the system cursor is set: blank while the program draws its own (the custom-cursor
// setting, once the menu pictures are loaded and a scene other than the loader shows), else the
// recorded kind. Run after every change of the kind, of the setting and at the loader's hand-over.
void applyCursorSetting();
