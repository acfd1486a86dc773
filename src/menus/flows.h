// What the named menus mean: the entry step of each, the action of every item, the answers to
// the questions, where "back" leads, the per-menu key rules, and the way back to a mode's menu
// after a level. The menu machinery (tree, animation, input, drawing) calls these.
#pragma once

struct MenuNode;

// The menu's entry step: run by openMenu after the menu became current.
void menuEntryStep(MenuNode& menu);
// The action of the selected item of the menu that was just closed; afterwards selectedItem is 0.
void runSelectedItem();
// Leaves the current menu.
void goBack();
// The rules of a menu for a pending key, before the general keys: they may change the key
// (Escape into Enter) or use it up (0).
void menuKeyRule(MenuNode& menu, int& key);
// Board play's way on after a level: the map scene with the current mode's menu.
void returnToModeMenu();

// The trophy room for a mode (-1: all modes), entered from a level when fromLevel. The one
// way into the room; until the room is built it keeps the player where they are.

// The menus' side of what the game keeps between screens.
struct FlowState {
    int tipCounter = 0;            // the next in-game tip
    bool afterLevel = false;       // a level has ended: the next mode menu is reached after it
    bool reachedAfterLevel = false;  // the mode menu showing was reached after a level (the map animates)
    bool fullScreenChoice = true;  // the options' check box, applied by "apply"
    int shownHighScoreMode = 0;
    int highScoreEntryMode = 0;    // the mode the highlighted new entry belongs to
    float trophyRoomPending = 0.0f;  // ms until the greeting's way into the trophy room
};
FlowState& flowState();
// Installs the named menus' steps, rules, actions and screens into the menus, and the modes'
// message hook (string-table texts go to the message boxes). Before the menus are loaded.
void installMenuFlows();
void resetFlows();  // tests
