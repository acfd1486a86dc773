#include "menus/menus.h"

// Not written yet: the menus issue fills these in.
void loadMenus() {}
void openMenuByName(const char*) {}
void menuKeyStep(int) {}
void menuPress() {}
void menuDoubleClick() {}
void menuRelease() {}
void menuMove() {}
void updateMenus() {}
void drawMenus() {}
void drawCursor() {}
bool& menuOpen() {
    static bool open = false;
    return open;
}
void setHoveredWidget(int) {}
