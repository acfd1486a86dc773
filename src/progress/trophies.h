// Trophies and the trophy room.
#pragma once

void loadTrophies();
void trophyRoomFrame();
void trophyRoomKeyStep(int key);
void trophyRoomPress();
void trophyRoomDoubleClick();
void trophyRoomRelease();
void trophyRoomHover();
