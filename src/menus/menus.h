// The menu tree, its widgets, animation, input and cursor.
//
// Every screen outside the board is a menu of one tree read from "menu.txt" (the items) and
// "menutext2.txt" (the captions). Exactly one menu is current; it slides in and out in 300 ms
// and is drawn and hit-tested anew every frame: each frame's drawing registers the rectangles of
// its items (ItemRect) and widgets (MenuWidget) that the next frame's input is tested against.
//
// The machinery here knows no menu by its meaning. The named screens and what their items do
// come in through MenuFlows (entry steps, key rules, item actions, going back, screen functions),
// which the screens' module installs before the menus are loaded.
#pragma once

#include <cstdint>

#include "menus/cursor.h"
#include "menus/panel.h"

constexpr int kMenuNodeCapacity = 256;
constexpr int kMenuItemCapacity = 16;
constexpr int kMenuNameSize = 64;
constexpr int kMenuItemRectCapacity = 64;
constexpr int kMenuWidgetCapacity = 192;  // the journey map's 129 level marks and more
constexpr int kTextFieldSize = 13;  // 12 characters and the end
constexpr int kTextFieldMaxLength = 12;
constexpr float kTextFieldMaxWidth = 140.0f;  // at size 16
constexpr int kMessageTextSize = 1024;
constexpr float kMenuAnimationMs = 300.0f;

// The virtual-key codes the menus act on.
constexpr int kMenuKeyBackspace = 8;
constexpr int kMenuKeyEnter = 13;
constexpr int kMenuKeyEscape = 27;
constexpr int kMenuKeySpace = 32;
constexpr int kMenuKeyEnd = 35;
constexpr int kMenuKeyHome = 36;
constexpr int kMenuKeyLeft = 37;
constexpr int kMenuKeyUp = 38;
constexpr int kMenuKeyRight = 39;
constexpr int kMenuKeyDown = 40;
constexpr int kMenuKeyDelete = 46;

// A screen function: draws the current menu instead of the default list (and registers its
// items and widgets while it draws).
using MenuScreen = void (*)();

// One node per distinct name: a menu, or an item of the menus that list it.
struct MenuNode {
    char name[kMenuNameSize];
    char caption[kMenuNameSize];
    MenuNode* parent;  // the menu to go back to; the first menu that listed the node
    MenuNode* children[kMenuItemCapacity];
    int32_t childCount;
    int32_t disabled;    // non-zero: drawn grey
    MenuScreen special;  // replaces the default drawing (for an item: once it is a menu)
};

// An item's hit rectangle in the logical space (top > bottom), in drawing order: the i-th rect
// is the current menu's i-th item.
struct ItemRect {
    float left, top, right, bottom;
};

// Widget kinds.
constexpr int kWidgetSlider = 0;
constexpr int kWidgetCheckBox = 1;
constexpr int kWidgetLeftArrow = 4;
constexpr int kWidgetRightArrow = 5;
constexpr int kWidgetName = 7;       // the clickable name of the greeting
constexpr int kWidgetListEntry = 8;  // an entry of the profile list
constexpr int kWidgetLevelMark = 9;  // a level mark of the journey map

struct MenuWidget {
    float left, top, right, bottom;
    int32_t kind;
    int16_t count;     // slider positions
    int16_t position;  // slider position 0 .. count - 1; a level mark's level number
    bool flag;         // check box state, or the lit mark of a name widget
};

// The menus' process-wide state.
struct MenuState {
    MenuNode nodes[kMenuNodeCapacity];
    int32_t nodeCount = 0;

    MenuNode* current = nullptr;
    int32_t selectedItem = 0;   // index into the current menu's children; -1 none
    int32_t lastSelected = 0;   // for the selection cue
    int32_t hoveredWidget = -1;  // widget index, or the level mark on the journey map; -1 none
    int32_t menuKey = 0;        // pending virtual-key code, 0 none
    // Keys that came in while one was pending (a quick typist's letters within one frame):
    // they follow it one a frame, in order, until a menu starts to move.
    static constexpr int kKeyQueueCapacity = 8;
    int32_t queuedKeys[kKeyQueueCapacity] = {};
    int32_t queuedKeyCount = 0;

    float menuAway = 1.0f;     // 0 shown .. 1 gone
    float slideOffset = 0.0f;  // how far the default list has slid
    bool opening = false;
    bool closing = false;
    float animationMs = 0.0f;
    bool enterAfterClose = false;
    bool backAfterClose = false;

    bool mouseHeld = false;
    bool mouseMoved = false;

    char textField[kTextFieldSize] = {};
    int32_t textCursor = 0;
    int32_t textLength = 0;
    bool textEditing = false;

    char messageText[kMessageTextSize] = {};  // the message boxes' text

    ItemRect itemRects[kMenuItemRectCapacity];
    int32_t itemRectCount = 0;
    MenuWidget widgets[kMenuWidgetCapacity];  // values survive from frame to frame by position
    int32_t widgetCount = 0;

    // Remembered across menus by the screens.
    int32_t editedProfile = 0;  // the profile being edited or hovered in the list
    int32_t chosenLevel = 0;    // the level mark chosen on the journey map
    bool returnToMainOnKey = false;  // the next key or press opens "main" again

    // Table positions of "tip1" and "gametip1" in the strings, for the tip screens.
    int32_t tipBase = 0;
    int32_t gameTipBase = 0;

    float pulseMs = 0.0f;   // the selected item's highlight
    float widgetPulseMs = 0.0f;  // the hovered widget's highlight

    bool menuOpen = false;  // a menu shows over board play
};

MenuState& menuState();
void resetMenuState();  // no nodes, no current menu, no animation (and the flows and map hooks stay)

// What the named screens give the machinery. Any of them may be null.
struct MenuFlows {
    // After openMenu made a menu current (the lists cleared, the opening started).
    void (*entryStep)(MenuNode& menu);
    // Before the general keys: may change the key (Escape into Enter) or set it to 0 (consumed).
    void (*keyRule)(MenuNode& menu, int& key);
    // The closing animation ended with enterAfterClose: the current menu's selected item acts.
    void (*runSelectedItem)();
    // The closing animation ended with backAfterClose.
    void (*goBack)();
    // Board play hosts the menus (once this frame's scene switch is made): a menu that opens
    // shows over the board.
    bool (*overBoard)();
    // First thing of every updateMenus (the trophy room's pending switch); true stops the
    // update there for this frame.
    bool (*frameStep)();
    // At load, once the tree is built: attach screen functions to the named nodes; captions is
    // the whole text of "menutext2.txt" (for blocks such as the credits), alive for this call.
    void (*attachScreens)(const char* captions);
};
void setMenuFlows(const MenuFlows& flows);
const MenuFlows& menuFlows();

// What the journey map gives the menus. Any of them may be null.
struct MenuMapHooks {
    bool (*animating)();        // the map runs an animation of its own: the menus stand still
    void (*press)();            // the map sees a press before the menus do
    bool (*levelChoosable)(int level);  // null: a level up to the profile's progress, or all when opened
};
void setMenuMapHooks(const MenuMapHooks& hooks);

// ---- the tree ----

// Reads "menu.txt" and "menutext2.txt" through the store (fatal when missing) and builds the tree.
void loadMenus();
// The same over texts in memory (each ended by a 0), without the store: tests and the fuzz
// target. Builds "main" and the named menus the program opens, then attaches the screens.
void buildMenus(const char* menuText, const char* captionText);
// The other menus the program opens by name that "main" does not reach; built at load.
extern const char* const kNamedMenus[];
extern const int kNamedMenuCount;
MenuNode* findMenu(const char* name);  // exact name, creation order; null when missing
int childIndex(const MenuNode* menu, const char* name);  // -1 when absent
MenuNode* selectedNode();  // the current menu's selected item, or null

// ---- opening and closing ----

// Ignored while an animation runs. With a node: it becomes current and opens; null: the
// current menu closes.
void openMenu(MenuNode* node);
// A name the tree does not hold closes the current menu.
void openMenuByName(const char* name);
// The message box "messageboxok" (okOnly) or "messageboxyn" over the current menu.
void showMessage(const char* text, bool okOnly);
bool menuAnimating();  // opening or closing
MenuNode* currentMenu();
bool currentMenuIs(const char* name);
// A menu shows over board play. Opening a menu while board play hosts the menus sets it (the
// board waits under the menu); closeMenusOverBoard clears it (the board goes on). Nothing else
// writes it.
bool menuOpen();
void closeMenusOverBoard();
void setHoveredWidget(int index);  // the highlighted index shared by the menus and the map

// ---- input and the frame ----

void menuKeyStep(int key);
void menuPress();
void menuDoubleClick();
void menuRelease();
void menuMove();
void updateMenus();
void drawMenus();

// ---- what screens draw and register ----

// Registers the next item's rect (items count in drawing order).
void addItemRect(float left, float top, float right, float bottom);
// Registers the next widget and returns it; its count, position and flag are those the widget
// at this position had last frame (zero after a menu opened). Null when the list is full.
MenuWidget* addWidget(float left, float top, float right, float bottom, int kind);
// The default item list of the current menu: items first..last-1 (last -1: to the end) at size,
// the list centred on (x, y); registers their rects.
void drawItemList(float x, float y, float size, bool centred, int first = 0, int last = -1);
// The height and width an item list takes (2 size per item; the widest caption).
float itemListHeight(float size, int first = 0, int last = -1);
float itemListWidth(float size, int first = 0, int last = -1);
// The balloon panel of (w + 64) x (H + 64) around the list, then the list.
void drawPanelAndList(float x, float y, float size, bool centred, float alpha = 1.0f);
// A button for the next item (its caption unless one is given), lit when it is the selected
// item; registers its rect.
void drawMenuButton(float x, float y, float width, float height, float size, const char* caption = nullptr,
                    float alpha = 1.0f);
// A slider (kind 0) from left to right at y, of count positions; returns the widget.
MenuWidget* drawSlider(float left, float right, float y, int count, float alpha = 1.0f);
// A check box (kind 1), 64 x 64 around (x, y); returns the widget.
MenuWidget* drawCheckBox(float x, float y, float alpha = 1.0f);
// An arrow widget (kind 4 left, 5 right), size x size around (x, y), MenuAtlas piece 14 or 15.
MenuWidget* drawArrow(float x, float y, float size, bool right, float alpha = 1.0f);
// The hovered widget's pulsing highlight (small: 10 and 10 instead of 32 and 16).
void drawWidgetHighlight(bool small = false);
// A word-wrapped message text; returns the height it takes.
float drawMessageText(float x, float y, float size, float width, const char* text);
