// The named menus' own screens: the greeting, the profile list, the name entry, the options, the
// mode screen, the saved-game question, the in-game tip, the message boxes, the level result, the
// defeat, the high scores and the credits. Each is drawn anew every frame and registers the item
// rectangles and widgets the next frame's input is tested against.
#pragma once

#include "menus/menus.h"

// The screen of a menu (or of an item that becomes a menu), nullptr for the default list.
MenuScreen screenFunctionFor(const char* name);
// At load, once the tree is built: the screens go to their nodes and the credits are read from
// the captions' text.
void attachMenuScreens(const char* captions);

// The credits: the lines of the "[credits/]" ... "[/credits]" block of the captions file
// (leading empty lines skipped), built once at load.
constexpr int kMaxCreditLines = 64;
constexpr int kCreditLineBytes = 96;
void buildCreditLines(const char* menuText);
int creditLineCount();
const char* creditLine(int i);
float& creditsTimer();

// The level result window: its four numbers count up one after the other once it stands still.
void startLevelResult();
bool levelResultCounting();
void finishLevelResult();  // Enter while counting: the numbers show their values at once

void resetScreens();  // tests
