// The menu tree, its widgets, animation, input and cursor.
#pragma once

#include "menus/panel.h"

void loadMenus();
void openMenuByName(const char* name);
void menuKeyStep(int key);
void menuPress();
void menuDoubleClick();
void menuRelease();
void menuMove();
void updateMenus();
void drawMenus();
void drawCursor();
bool& menuOpen();  // a menu shows over board play
void setHoveredWidget(int index);  // the highlighted index shared by the menus and the map
