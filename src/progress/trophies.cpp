#include "progress/trophies.h"

// Not written yet: the trophies issue fills these in.
void loadTrophies() {}
void trophyRoomFrame() {}
void trophyRoomKeyStep(int) {}
void trophyRoomPress() {}
void trophyRoomDoubleClick() {}
void trophyRoomRelease() {}
void trophyRoomHover() {}
