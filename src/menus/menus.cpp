#include "menus/menus.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/frame_clock.h"
#include "app/key_text.h"
#include "app/resource_store.h"
#include "app/scene.h"
#include "app/strings.h"
#include "audio/audio.h"
#include "progress/profiles.h"
#include "render/effects.h"
#include "render/text.h"

namespace {

MenuState gMenus;
MenuFlows gFlows{};
MenuMapHooks gMapHooks{};

// The texts the tree is being built from (only during buildMenus).
const char* gMenuText = nullptr;
const char* gCaptionText = nullptr;
bool gWarnedFull = false;

void copyName(char* out, const char* from, size_t length) {
    if (length > static_cast<size_t>(kMenuNameSize - 1)) length = kMenuNameSize - 1;
    std::memcpy(out, from, length);
    out[length] = '\0';
}

bool isLineEnd(char c) { return c == '\0' || c == '\r' || c == '\n'; }

// Past the end of the line p stands in (after its CR LF, CR or LF).
const char* nextLine(const char* p) {
    while (!isLineEnd(*p)) ++p;
    if (*p == '\r') ++p;
    if (*p == '\n') ++p;
    return p;
}

MenuNode* buildNode(const char* name);

// Appends the children listed after "name=" in the menu text, building each depth first.
void readChildren(MenuNode& node) {
    char key[kMenuNameSize + 1];
    std::snprintf(key, sizeof key, "%s=", node.name);
    const char* found = std::strstr(gMenuText, key);
    if (!found) return;
    const char* p = nextLine(found + std::strlen(key));
    // Children run up to a line that begins with a line end (an empty line) or the text's end.
    while (!isLineEnd(*p)) {
        const char* end = p;
        while (!isLineEnd(*end)) ++end;
        char child[kMenuNameSize];
        copyName(child, p, static_cast<size_t>(end - p));
        if (node.childCount >= kMenuItemCapacity) {
            std::fprintf(stderr, "Sandmere: menu \"%s\" lists more than %d items; \"%s\" and the rest are left out\n",
                         node.name, kMenuItemCapacity, child);
            return;
        }
        const int before = gMenus.nodeCount;
        MenuNode* c = buildNode(child);
        if (c) {
            // A node's parent is the menu that listed it when it was first read.
            if (c - gMenus.nodes == before) c->parent = &node;
            node.children[node.childCount++] = c;
        }
        p = nextLine(end);
    }
}

MenuNode* buildNode(const char* name) {
    if (MenuNode* existing = findMenu(name)) return existing;
    if (gMenus.nodeCount >= kMenuNodeCapacity) {
        if (!gWarnedFull)
            std::fprintf(stderr, "Sandmere: the menus hold more than %d names; \"%s\" and later ones are left out\n",
                         kMenuNodeCapacity, name);
        gWarnedFull = true;
        return nullptr;
    }
    MenuNode& node = gMenus.nodes[gMenus.nodeCount++];
    node = MenuNode{};
    copyName(node.name, name, std::strlen(name));
    char key[kMenuNameSize + 1];
    std::snprintf(key, sizeof key, "%s=", node.name);
    getString(node.caption, sizeof node.caption, gCaptionText, key);
    readChildren(node);
    return &node;
}

bool inside(float x, float y, float left, float top, float right, float bottom) {
    return x >= left && x <= right && y >= bottom && y <= top;
}

bool levelChoosable(int level) {
    if (gMapHooks.levelChoosable) return gMapHooks.levelChoosable(level);
    return level <= furthestLevelNumber() || sceneState().openAllLevels;
}

void toggleHoveredFlag() {
    const int h = gMenus.hoveredWidget;
    if (h >= 0 && h < gMenus.widgetCount) gMenus.widgets[h].flag = !gMenus.widgets[h].flag;
}

int itemCount() { return gMenus.current ? gMenus.current->childCount : 0; }

// The item under the cursor, selected when the cursor has moved; -1 when none.
int hitItems(float x, float y) {
    for (int i = 0; i < gMenus.itemRectCount; ++i) {
        const ItemRect& r = gMenus.itemRects[i];
        if (!inside(x, y, r.left, r.top, r.right, r.bottom)) continue;
        if (gMenus.mouseMoved) {
            gMenus.selectedItem = i;
            return i;
        }
    }
    return -1;
}

void hitTest() {
    float x, y;
    logicalCursor(x, y);
    if (hitItems(x, y) >= 0) return;
    for (int i = 0; i < gMenus.widgetCount; ++i) {
        MenuWidget& w = gMenus.widgets[i];
        if (w.kind == kWidgetName) w.flag = inside(x, y, w.left, w.top, w.right, w.bottom);
    }
    for (int i = 0; i < gMenus.widgetCount; ++i) {
        const MenuWidget& w = gMenus.widgets[i];
        if (!inside(x, y, w.left, w.top, w.right, w.bottom)) continue;
        if (w.kind == kWidgetName || w.kind == kWidgetListEntry) continue;
        if (gMenus.textEditing) continue;
        gMenus.hoveredWidget = w.kind == kWidgetLevelMark ? w.position : i;
    }
}

constexpr float kSliderReach = 64.0f;
constexpr float kSliderStep = 25.6f;

void dragSliders() {
    float x, y;
    logicalCursor(x, y);
    for (int i = 0; i < gMenus.widgetCount; ++i) {
        MenuWidget& w = gMenus.widgets[i];
        if (w.kind != kWidgetSlider || w.count <= 0) continue;
        if (!inside(x, y, w.left - kSliderStep, w.top + kSliderStep, w.right + kSliderStep, w.bottom - kSliderStep))
            continue;
        int position;
        if (x < w.left) position = 0;
        else if (x > w.right) position = w.count - 1;
        else position = static_cast<int>((x - w.left) / (w.right - w.left) * static_cast<float>(w.count));
        if (position > w.count - 1) position = w.count - 1;
        if (position < 0) position = 0;
        w.position = static_cast<int16_t>(position);
    }
}

void editText(int key) {
    char* t = gMenus.textField;
    int& cursor = gMenus.textCursor;
    int& length = gMenus.textLength;
    if (length > kTextFieldMaxLength) length = kTextFieldMaxLength;
    if (cursor > length) cursor = length;
    if (cursor < 0) cursor = 0;
    switch (key) {
        case kMenuKeyBackspace:
            if (cursor > 0) {
                std::memmove(t + cursor - 1, t + cursor, static_cast<size_t>(length - cursor + 1));
                --cursor;
                --length;
            }
            return;
        case kMenuKeyEnd: cursor = length; return;
        case kMenuKeyHome: cursor = 0; return;
        case kMenuKeyLeft: if (cursor > 0) --cursor; return;
        case kMenuKeyRight: if (cursor < length) ++cursor; return;
        case kMenuKeyDelete:
            if (cursor < length) {
                std::memmove(t + cursor, t + cursor + 1, static_cast<size_t>(length - cursor));
                --length;
            }
            return;
        default: break;
    }
    const bool typeable = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9') || key == ' ';
    if (!typeable || length >= kTextFieldMaxLength) return;
    char wider[kTextFieldSize + 1];
    std::memcpy(wider, t, static_cast<size_t>(cursor));
    wider[cursor] = static_cast<char>(key);
    std::memcpy(wider + cursor + 1, t + cursor, static_cast<size_t>(length - cursor + 1));
    // The field takes a character only while the text stays narrower than its box.
    if (textWidth(wider, 16.0f) >= kTextFieldMaxWidth) return;
    std::memcpy(t, wider, static_cast<size_t>(length + 2));
    ++cursor;
    ++length;
}

// The pending key, else the first queued one: one key a frame.
int takeMenuKey() {
    int key = gMenus.menuKey;
    gMenus.menuKey = 0;
    if (key == 0 && gMenus.queuedKeyCount > 0) {
        key = gMenus.queuedKeys[0];
        for (int i = 1; i < gMenus.queuedKeyCount; ++i) gMenus.queuedKeys[i - 1] = gMenus.queuedKeys[i];
        --gMenus.queuedKeyCount;
    }
    return key;
}

void dropMenuKeys() {
    gMenus.menuKey = 0;
    gMenus.queuedKeyCount = 0;
}

void keyStep() {
    int key = takeMenuKey();
    if (gMenus.textEditing && key != 0) editText(key);
    if (gMenus.returnToMainOnKey && key != 0) {
        gMenus.returnToMainOnKey = false;
        openMenuByName("main");
        return;
    }
    if (!gMenus.current || key == 0) return;
    if (gFlows.keyRule) gFlows.keyRule(*gMenus.current, key);
    const int count = itemCount();
    switch (key) {
        case kMenuKeyEnter:
            if (gMenus.selectedItem < 0) {
                toggleHoveredFlag();
            } else if (gMenus.selectedItem < count) {
                // A menu without items has nothing to run.
                playSound("ButtonClick.ogg");
                gMenus.enterAfterClose = true;
                openMenu(nullptr);
            }
            break;
        case kMenuKeyEscape:
            if (currentMenuIs("newprofile") || currentMenuIs("messageboxok")) break;
            gMenus.backAfterClose = true;
            openMenu(nullptr);
            gMenus.selectedItem = 0;
            break;
        case kMenuKeySpace: toggleHoveredFlag(); break;
        case kMenuKeyLeft:
        case kMenuKeyUp:
            if (count > 0) gMenus.selectedItem = gMenus.selectedItem <= 0 ? count - 1 : gMenus.selectedItem - 1;
            break;
        case kMenuKeyRight:
        case kMenuKeyDown:
            if (count > 0) gMenus.selectedItem = gMenus.selectedItem < 0 ? 0 : (gMenus.selectedItem + 1) % count;
            break;
        default: break;
    }
}

// The press rules of the widgets under the cursor.
void pressWidgets(float x, float y) {
    for (int i = 0; i < gMenus.widgetCount; ++i) {
        MenuWidget& w = gMenus.widgets[i];
        switch (w.kind) {
            case kWidgetSlider:
                if (!inside(x, y, w.left - kSliderReach, w.top, w.right + kSliderReach, w.bottom)) break;
                if (x <= w.left - kSliderStep && w.position > 0) --w.position;
                if (x >= w.right + kSliderStep && w.position < w.count - 1) ++w.position;
                gMenus.hoveredWidget = i;
                break;
            case kWidgetCheckBox:
                if (!inside(x, y, w.left, w.top, w.right, w.bottom)) break;
                w.flag = !w.flag;
                gMenus.hoveredWidget = i;
                break;
            case kWidgetLeftArrow:
                if (inside(x, y, w.left, w.top, w.right, w.bottom)) gMenus.menuKey = kMenuKeyLeft;
                break;
            case kWidgetRightArrow:
                if (inside(x, y, w.left, w.top, w.right, w.bottom)) gMenus.menuKey = kMenuKeyRight;
                break;
            case kWidgetName:
                if (!inside(x, y, w.left, w.top, w.right, w.bottom)) break;
                gMenus.editedProfile = currentProfileIndex();
                openMenuByName("profiles");
                return;  // the lists belong to the new menu now
            case kWidgetListEntry:
                if (inside(x, y, w.left, w.top, w.right, w.bottom)) gMenus.hoveredWidget = i;
                break;
            case kWidgetLevelMark:
                if (inside(x, y, w.left, w.top, w.right, w.bottom) && levelChoosable(w.position)) {
                    gMenus.hoveredWidget = w.position;
                    gMenus.chosenLevel = w.position;
                }
                break;
            default: break;
        }
    }
}

bool menuStandsStill() { return !menuAnimating() && gMenus.menuAway == 0.0f; }

uint32_t argb(int a, int r, int g, int b) {
    return (static_cast<uint32_t>(a & 255) << 24) | (static_cast<uint32_t>(r & 255) << 16) |
           (static_cast<uint32_t>(g & 255) << 8) | static_cast<uint32_t>(b & 255);
}

const char* captionOf(int index) {
    const MenuNode* m = gMenus.current;
    if (!m || index < 0 || index >= m->childCount) return "";
    return m->children[index]->caption;
}

int listEnd(int first, int last) {
    const int count = itemCount();
    if (last < 0 || last > count) last = count;
    if (first < 0) first = 0;
    return last < first ? first : last;
}

}  // namespace

const char* const kNamedMenus[] = {"gameplaytip",  "loadgamequest", "newprofile",   "rename",
                                   "profiles",     "levelcomplete", "messageboxok", "messageboxyn",
                                   "gameplay",     "defeat",        "gameover"};
const int kNamedMenuCount = static_cast<int>(sizeof kNamedMenus / sizeof kNamedMenus[0]);

MenuState& menuState() { return gMenus; }

void resetMenuState() {
    static const MenuState kFresh{};
    gMenus = kFresh;
}

void setMenuFlows(const MenuFlows& flows) { gFlows = flows; }
const MenuFlows& menuFlows() { return gFlows; }
void setMenuMapHooks(const MenuMapHooks& hooks) { gMapHooks = hooks; }

// ---- the tree ----

void buildMenus(const char* menuText, const char* captionText) {
    const bool open = gMenus.menuOpen;
    resetMenuState();
    gMenus.menuOpen = open;
    gMenus.tipBase = indexOfName("tip1");
    gMenus.gameTipBase = indexOfName("gametip1");
    gMenuText = menuText ? menuText : "";
    gCaptionText = captionText ? captionText : "";
    gWarnedFull = false;
    if (MenuNode* main = buildNode("main")) {
        // The first line under "main" is not an item of the greeting.
        if (main->childCount > 0) {
            std::memmove(main->children, main->children + 1,
                         static_cast<size_t>(main->childCount - 1) * sizeof main->children[0]);
            main->children[--main->childCount] = nullptr;
        }
    }
    for (int i = 0; i < kNamedMenuCount; ++i) buildNode(kNamedMenus[i]);
    if (MenuNode* profiles = findMenu("profiles")) profiles->parent = findMenu("main");
    if (gFlows.attachScreens) gFlows.attachScreens(gCaptionText);
    gMenuText = nullptr;
    gCaptionText = nullptr;
    gMenus.selectedItem = 0;
}

void loadMenus() {
    int32_t menuSize = 0, captionSize = 0;
    uint8_t* menuBytes = loadFile("menu.txt", &menuSize, true);
    uint8_t* captionBytes = loadFile("menutext2.txt", &captionSize, true);
    // Each text ends over its last byte (the final line end).
    std::string menuText(reinterpret_cast<const char*>(menuBytes),
                         menuSize > 0 ? static_cast<size_t>(menuSize - 1) : 0);
    std::string captionText(reinterpret_cast<const char*>(captionBytes),
                            captionSize > 0 ? static_cast<size_t>(captionSize - 1) : 0);
    buildMenus(menuText.c_str(), captionText.c_str());
    releaseByData(menuBytes);
    releaseByData(captionBytes);
}

MenuNode* findMenu(const char* name) {
    if (!name) return nullptr;
    for (int i = 0; i < gMenus.nodeCount; ++i)
        if (std::strcmp(gMenus.nodes[i].name, name) == 0) return &gMenus.nodes[i];
    return nullptr;
}

int childIndex(const MenuNode* menu, const char* name) {
    if (!menu || !name) return -1;
    for (int i = 0; i < menu->childCount; ++i)
        if (std::strcmp(menu->children[i]->name, name) == 0) return i;
    return -1;
}

MenuNode* selectedNode() {
    const MenuNode* m = gMenus.current;
    if (!m || gMenus.selectedItem < 0 || gMenus.selectedItem >= m->childCount) return nullptr;
    return m->children[gMenus.selectedItem];
}

// ---- opening and closing ----

void openMenu(MenuNode* node) {
    if (menuAnimating()) return;
    if (!node) {
        if (!gMenus.current) return;  // nothing shows, nothing closes
        gMenus.closing = true;
        gMenus.animationMs = 0.0f;
        return;
    }
    clearEffects();
    gMenus.current = node;
    gMenus.hoveredWidget = -1;
    gMenus.itemRectCount = 0;
    gMenus.widgetCount = 0;
    for (MenuWidget& w : gMenus.widgets) w = MenuWidget{};
    gMenus.opening = true;
    gMenus.animationMs = 0.0f;
    gMenus.menuAway = 1.0f;
    gMenus.menuOpen = gFlows.overBoard && gFlows.overBoard();
    if (gFlows.entryStep) gFlows.entryStep(*node);
    gMenus.selectedItem = 0;
}

void openMenuByName(const char* name) { openMenu(findMenu(name)); }

void showMessage(const char* text, bool okOnly) {
    std::snprintf(gMenus.messageText, sizeof gMenus.messageText, "%s", text ? text : "");
    MenuNode* box = findMenu(okOnly ? "messageboxok" : "messageboxyn");
    if (box && !menuAnimating()) box->parent = gMenus.current;
    openMenu(box);
}

bool menuAnimating() { return gMenus.opening || gMenus.closing; }
MenuNode* currentMenu() { return gMenus.current; }
bool currentMenuIs(const char* name) { return gMenus.current && name && std::strcmp(gMenus.current->name, name) == 0; }
bool menuOpen() { return gMenus.menuOpen; }
void closeMenusOverBoard() { gMenus.menuOpen = false; }
void setHoveredWidget(int index) { gMenus.hoveredWidget = index; }

// ---- input and the frame ----

void menuKeyStep(int key) {
    if (menuAnimating() || key == 0) return;
    if (gMenus.menuKey == 0 && gMenus.queuedKeyCount == 0) gMenus.menuKey = key;
    else if (gMenus.queuedKeyCount < MenuState::kKeyQueueCapacity) gMenus.queuedKeys[gMenus.queuedKeyCount++] = key;
}

void menuPress() {
    if (gMapHooks.press) gMapHooks.press();
    if (gMenus.returnToMainOnKey) {
        gMenus.returnToMainOnKey = false;
        openMenuByName("main");
        return;
    }
    gMenus.mouseHeld = true;
    gMenus.mouseMoved = true;
    // While a menu comes or goes, or has gone, a press finds nothing to act on.
    if (!menuStandsStill()) return;
    if (currentMenuIs("credits")) {
        gMenus.menuKey = kMenuKeyEnter;
        return;
    }
    float x, y;
    logicalCursor(x, y);
    if (hitItems(x, y) >= 0) gMenus.menuKey = kMenuKeyEnter;
    pressWidgets(x, y);
}

void menuDoubleClick() {
    if (!menuStandsStill()) return;
    float x, y;
    logicalCursor(x, y);
    bool done = false;
    for (int i = 0; i < gMenus.widgetCount && !done; ++i) {
        const MenuWidget& w = gMenus.widgets[i];
        if (w.kind == kWidgetLevelMark && inside(x, y, w.left, w.top, w.right, w.bottom) && levelChoosable(w.position)) {
            gMenus.hoveredWidget = w.position;
            gMenus.chosenLevel = w.position;
            gMenus.selectedItem = 0;
            gMenus.menuKey = kMenuKeyEnter;
            done = true;
        }
    }
    for (int i = 0; i < gMenus.widgetCount && !done; ++i) {
        const MenuWidget& w = gMenus.widgets[i];
        if (w.kind == kWidgetListEntry && inside(x, y, w.left, w.top, w.right, w.bottom)) {
            gMenus.hoveredWidget = i;
            const int select = childIndex(gMenus.current, "selectprofile");
            gMenus.selectedItem = select < 0 ? 0 : select;
            gMenus.menuKey = kMenuKeyEnter;
            done = true;
        }
    }
    // The double click is the second press as well.
    menuPress();
}

void menuRelease() { gMenus.mouseHeld = false; }
void menuMove() { gMenus.mouseMoved = true; }

void updateMenus() {
    if (gFlows.frameStep && gFlows.frameStep()) return;
    if (gMapHooks.animating && gMapHooks.animating()) return;
    const float dt = frameClock().frameMs;
    if (gMenus.closing) {
        float t = gMenus.animationMs;
        gMenus.menuAway = t / kMenuAnimationMs;
        gMenus.slideOffset = 600.0f * gMenus.menuAway * gMenus.menuAway;
        gMenus.animationMs += dt;
        if (gMenus.animationMs > kMenuAnimationMs) {
            gMenus.menuAway = 1.0f;
            gMenus.closing = false;
            const bool enter = gMenus.enterAfterClose, back = gMenus.backAfterClose;
            gMenus.enterAfterClose = false;
            gMenus.backAfterClose = false;
            if (enter && gFlows.runSelectedItem) gFlows.runSelectedItem();
            if (back && gFlows.goBack) gFlows.goBack();
        }
    }
    if (gMenus.opening) {
        float t = gMenus.animationMs;
        gMenus.menuAway = 1.0f - t / kMenuAnimationMs;
        gMenus.slideOffset = 300.0f * gMenus.menuAway * gMenus.menuAway;
        gMenus.animationMs += dt;
        if (gMenus.animationMs > kMenuAnimationMs) {
            gMenus.menuAway = 0.0f;
            gMenus.slideOffset = 0.0f;
            gMenus.opening = false;
        }
    }
    if (gMenus.selectedItem != gMenus.lastSelected && gMenus.selectedItem >= 0 && !menuAnimating())
        playSound("MenuLineSelect.ogg");
    gMenus.lastSelected = gMenus.selectedItem;

    gMenus.pulseMs += dt;
    const float s = std::sin(gMenus.pulseMs * 0.005f) * 0.5f + 0.5f;
    // The green of the outline wraps as a byte: it pulses between 150 and 200.
    setMenuHighlight(argb(255, 255, static_cast<int>(50.0f * s - 106.0f), 0),
                     argb(static_cast<int>(20.0f * s + 50.0f), 255, 200, 100));
    gMenus.widgetPulseMs += dt;

    if (menuAnimating()) {
        gMenus.queuedKeyCount = 0;  // typed ahead of a moving menu: not meant for the next one
        return;
    }
    if (gMenus.menuAway == 0.0f) {
        hitTest();
        gMenus.mouseMoved = false;
        if (gMenus.mouseHeld) dragSliders();
        keyStep();
        return;
    }
    // The menu has gone (backing out of "main"): a key still brings the greeting back, and no
    // other key waits for the next menu.
    if (gMenus.returnToMainOnKey && (gMenus.menuKey != 0 || gMenus.queuedKeyCount > 0)) {
        gMenus.returnToMainOnKey = false;
        openMenuByName("main");
    }
    dropMenuKeys();
}

void drawMenus() {
    gMenus.itemRectCount = 0;
    gMenus.widgetCount = 0;
    MenuNode* m = gMenus.current;
    if (!m) return;
    if (m->special) {
        m->special();
        return;
    }
    const float away = gMenus.menuAway;
    if (currentMenuIs("gameplay")) {
        setSystemCursor(0);
        drawPanelAndList(0.0f, 500.0f * away * away, 18.0f, true);
    } else if (currentMenuIs("defeat") || currentMenuIs("replayloss")) {
        drawPanelAndList(0.0f, 500.0f * away * away, 18.0f, true);
    } else if (m->childCount > 0) {
        drawPanelAndList(-210.0f, gMenus.slideOffset + 150.0f, 16.0f, true);
    }
}

// ---- what screens draw and register ----

void addItemRect(float left, float top, float right, float bottom) {
    if (gMenus.itemRectCount >= kMenuItemRectCapacity) return;
    gMenus.itemRects[gMenus.itemRectCount++] = ItemRect{left, top, right, bottom};
}

MenuWidget* addWidget(float left, float top, float right, float bottom, int kind) {
    if (gMenus.widgetCount >= kMenuWidgetCapacity) return nullptr;
    MenuWidget& w = gMenus.widgets[gMenus.widgetCount++];
    if (w.kind != kind) w = MenuWidget{};  // another kind at this position starts afresh
    w.left = left;
    w.top = top;
    w.right = right;
    w.bottom = bottom;
    w.kind = kind;
    return &w;
}

float itemListWidth(float size, int first, int last) {
    last = listEnd(first, last);
    float w = -1.0f;
    for (int i = first < 0 ? 0 : first; i < last; ++i) {
        const float iw = textWidth(captionOf(i), size);
        if (iw > w) w = iw;
    }
    return w;
}

float itemListHeight(float size, int first, int last) {
    last = listEnd(first, last);
    return 2.0f * size * static_cast<float>(last - (first < 0 ? 0 : first));
}

void drawItemList(float x, float y, float size, bool centred, int first, int last) {
    last = listEnd(first, last);
    if (first < 0) first = 0;
    const float w = itemListWidth(size, first, last);
    const float height = itemListHeight(size, first, last);
    if (!centred) x -= w / 2.0f - size;
    const float r = centred ? w / 2.0f : 0.0f;
    const uint32_t before = textColour();
    float itemY = y + height / 2.0f - size;
    for (int i = first; i < last; ++i, itemY -= 2.0f * size) {
        const MenuNode* item = gMenus.current->children[i];
        if (i == gMenus.selectedItem) {
            drawHighlightText(x, itemY, size, item->caption, centred);
        } else {
            setTextColour(item->disabled ? argb(255, 155, 155, 155) : 0xFFFFFFFFu);
            drawText(x, itemY, size, item->caption, centred);
        }
        addItemRect(x - size - r, itemY + 1.2f * size, x + w - r, itemY - 0.8f * size);
    }
    setTextColour(before);
}

void drawPanelAndList(float x, float y, float size, bool centred, float alpha) {
    const float w = itemListWidth(size);
    const float height = itemListHeight(size);
    drawMenuPanel(x, y, w + 64.0f, height + 64.0f, alpha);
    drawItemList(x, y, size, centred);
}

void drawMenuButton(float x, float y, float width, float height, float size, const char* caption, float alpha) {
    const int index = gMenus.itemRectCount;
    drawButton(x, y, width, height, size, caption ? caption : captionOf(index), index == gMenus.selectedItem, alpha);
    addItemRect(x - width / 2.0f, y + height / 2.0f, x + width / 2.0f, y - height / 2.0f);
}

MenuWidget* drawSlider(float left, float right, float y, int count, float alpha) {
    constexpr float kHalf = 16.0f;
    MenuWidget* w = addWidget(left, y + kHalf, right, y - kHalf, kWidgetSlider);
    const uint32_t colour = fadeColour(0xFFFFFFFFu, alpha);
    drawFilledRect(left, y + 4.0f, right, y - 4.0f, fadeColour(0xC0FFFFFFu, alpha));
    drawAtlasPiece(14, left - 16.0f, y, 32.0f, 32.0f, colour);
    drawAtlasPiece(15, right + 16.0f, y, 32.0f, 32.0f, colour);
    if (!w) return nullptr;
    w->count = static_cast<int16_t>(count);
    float f = count > 0 ? static_cast<float>(w->position) / static_cast<float>(count) : 0.0f;
    if (f < 0.0f) f = 0.0f;
    if (f > 1.0f) f = 1.0f;
    drawAtlasPiece(19, left + f * (right - left), y, 32.0f, 32.0f, colour);
    return w;
}

MenuWidget* drawCheckBox(float x, float y, float alpha) {
    MenuWidget* w = addWidget(x - 32.0f, y + 32.0f, x + 32.0f, y - 32.0f, kWidgetCheckBox);
    drawAtlasPiece(w && w->flag ? 1 : 0, x, y, 64.0f, 64.0f, fadeColour(0xFFFFFFFFu, alpha));
    return w;
}

MenuWidget* drawArrow(float x, float y, float size, bool right, float alpha) {
    const float h = size / 2.0f;
    MenuWidget* w = addWidget(x - h, y + h, x + h, y - h, right ? kWidgetRightArrow : kWidgetLeftArrow);
    drawAtlasPiece(right ? 15 : 14, x, y, size, size, fadeColour(0xFFFFFFFFu, alpha));
    return w;
}

void drawWidgetHighlight(bool small) {
    const int h = gMenus.hoveredWidget;
    if (h < 0 || h >= gMenus.widgetCount) return;
    const MenuWidget& w = gMenus.widgets[h];
    const float gx = small ? 10.0f : 32.0f, gy = small ? 10.0f : 16.0f;
    const float s = std::sin(gMenus.widgetPulseMs * 0.008f) * 0.5f + 0.5f;
    drawFilledRect(w.left - gx, w.top + gy, w.right + gx, w.bottom - gy,
                   argb(static_cast<int>(50.0f + 30.0f * s), 255, 200, 100));
}

float drawMessageText(float x, float y, float size, float width, const char* text) {
    return drawWrappedText(x, y, size, width, text, true);
}
