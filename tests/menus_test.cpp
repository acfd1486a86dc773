// The menu machinery on small trees of its own: the tree's load rules, the 300 ms animations
// with the action or the way back at their end, the keys, the text field, presses on items and
// widgets, and the return to the greeting after backing out of it.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "app/frame_clock.h"
#include "app/trace.h"
#include "menus/menus.h"
#include "platform/window.h"
#include "progress/profiles.h"

namespace {

struct Calls {
    std::string ran;   // the items run, in order
    int back = 0;
    std::string entered;
};
Calls gCalls;

void recordRun() {
    const MenuNode* item = selectedNode();
    gCalls.ran += item ? item->name : "?";
    gCalls.ran += ";";
}
void recordBack() { ++gCalls.back; }
void recordEntry(MenuNode& menu) { gCalls.entered += std::string(menu.name) + ";"; }

const char* kTree =
    "main=\r\nfirst line\r\nshared\r\nplay\r\nquit\r\n\r\n"
    "play=\r\nshared\r\nback\r\nempty\r\n\r\n"
    "shared=\r\nleaf\r\n\r\n"
    "empty=\r\n\r\n"
    "newprofile=\r\noknewprofile\r\ncancel\r\n\r\n"
    "messageboxok=\r\nok\r\n\r\n";
const char* kCaptions = "play=Play\r\nshared=Shared\r\nquit=Quit\r\nback=Back\r\nok=OK\r\n";

class Menus : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setHeadless(true);
        gCalls = Calls{};
        MenuFlows flows{};
        flows.runSelectedItem = recordRun;
        flows.goBack = recordBack;
        flows.entryStep = recordEntry;
        setMenuFlows(flows);
        setMenuMapHooks(MenuMapHooks{});
        buildMenus(kTree, kCaptions);
        menuState().menuOpen = false;
        frameClock().frameMs = 16.0f;
        setTracing(true);
        clearTrace();
    }
    void TearDown() override {
        setTracing(false);
        setMenuFlows(MenuFlows{});
        resetMenuState();
    }
    // Frames until the current animation has run out.
    void settle() {
        for (int i = 0; i < 40 && menuAnimating(); ++i) updateMenus();
        updateMenus();
    }
    void open(const char* name) {
        openMenuByName(name);
        settle();
        ASSERT_TRUE(currentMenuIs(name));
        ASSERT_EQ(menuState().menuAway, 0.0f);
    }
    void press(int key) {
        menuKeyStep(key);
        updateMenus();
    }
    // The cursor at a logical point (origin centre, y up).
    static void cursorAt(float x, float y) { platform::warpCursor(x + 400.0f, 300.0f - y); }
};

TEST_F(Menus, TreeFollowsTheFileRules) {
    MenuNode* main = findMenu("main");
    ASSERT_NE(main, nullptr);
    // The first line under "main" is dropped; the rest keep their order.
    ASSERT_EQ(main->childCount, 3);
    EXPECT_STREQ(main->children[1]->name, "play");
    EXPECT_STREQ(main->children[2]->name, "quit");
    EXPECT_STREQ(main->children[1]->caption, "Play");
    EXPECT_STREQ(findMenu("leaf")->caption, "");  // no caption line
    // A node listed by two menus is one node; its parent is the first menu that read it.
    MenuNode* shared = findMenu("shared");
    EXPECT_EQ(main->children[0], shared);
    EXPECT_EQ(findMenu("play")->children[0], shared);
    EXPECT_EQ(shared->parent, main);
    EXPECT_EQ(findMenu("play")->parent, main);
    EXPECT_EQ(findMenu("main")->parent, nullptr);
    // Menus the program opens by name are built even when "main" does not reach them.
    EXPECT_NE(findMenu("newprofile"), nullptr);
    EXPECT_EQ(findMenu("newprofile")->childCount, 2);
    EXPECT_EQ(findMenu("nothing"), nullptr);
    EXPECT_EQ(childIndex(main, "quit"), 2);
    EXPECT_EQ(childIndex(main, "leaf"), -1);
}

TEST_F(Menus, HostileFilesAreCutToTheTables) {
    // "main" without items keeps zero items; bare LF line ends read as CR LF ones.
    buildMenus("main=\r\n\r\n", "");
    EXPECT_EQ(findMenu("main")->childCount, 0);
    buildMenus("main=\nx\na\nb\n\n", "a=A\n");
    ASSERT_EQ(findMenu("main")->childCount, 2);
    EXPECT_STREQ(findMenu("a")->caption, "A\n");  // captions run to the CR
    // More than 16 items: the extras are left out (then "main" loses its first line).
    std::string many = "main=\r\nx\r\n";
    for (int i = 0; i < 20; ++i) many += "item" + std::to_string(i) + "\r\n";
    buildMenus((many + "\r\n").c_str(), "");
    EXPECT_EQ(findMenu("main")->childCount, kMenuItemCapacity - 1);
    EXPECT_STREQ(findMenu("main")->children[14]->name, "item14");
    EXPECT_EQ(findMenu("item15"), nullptr);
    // More names than the table holds: the later ones are not made, and nothing overflows.
    std::string chain = "main=\r\nx\r\n";
    for (int i = 0; i < 15; ++i) chain += "m" + std::to_string(i) + "\r\n";
    for (int i = 0; i < 15; ++i) {
        chain += "\r\nm" + std::to_string(i) + "=\r\n";
        for (int k = 0; k < 16; ++k) chain += "n" + std::to_string(i) + "_" + std::to_string(k) + "\r\n";
    }
    buildMenus((chain + "\r\n").c_str(), "");  // 257 names
    EXPECT_EQ(menuState().nodeCount, kMenuNodeCapacity);
    EXPECT_EQ(findMenu("n14_15"), nullptr);
    EXPECT_EQ(findMenu("m14")->childCount, 15);
    // Names longer than a node holds are cut; a menu may list itself.
    buildMenus(("main=\r\nx\r\n" + std::string(100, 'q') + "\r\nself\r\n\r\nself=\r\nself\r\n\r\n").c_str(), "");
    ASSERT_EQ(findMenu("main")->childCount, 2);
    EXPECT_EQ(std::string(findMenu("main")->children[0]->name), std::string(63, 'q'));
    EXPECT_EQ(findMenu("self")->children[0], findMenu("self"));
}

TEST_F(Menus, OpeningRunsTheEntryStepAndDropsInputWhileItSlides) {
    openMenuByName("play");
    EXPECT_EQ(gCalls.entered, "play;");
    EXPECT_TRUE(menuAnimating());
    EXPECT_EQ(menuState().menuAway, 1.0f);
    // Keys and other menus are refused while the menu slides in.
    menuKeyStep(kMenuKeyDown);
    openMenuByName("main");
    EXPECT_TRUE(currentMenuIs("play"));
    updateMenus();
    EXPECT_GT(menuState().slideOffset, 0.0f);
    settle();
    EXPECT_EQ(menuState().menuAway, 0.0f);
    EXPECT_EQ(menuState().selectedItem, 0);  // the dropped Down did not count
    // Over 300 ms the menu goes; the slide grows with the square of the time.
    int frames = 0;
    openMenu(nullptr);
    while (menuAnimating() && frames < 40) {
        updateMenus();
        ++frames;
    }
    EXPECT_EQ(frames, 19);  // 300 ms of 16 ms frames
    EXPECT_EQ(menuState().menuAway, 1.0f);
    EXPECT_EQ(gCalls.ran, "");
    EXPECT_EQ(gCalls.back, 0);
    // A name the tree does not hold closes the current menu.
    open("play");
    openMenuByName("nothing");
    EXPECT_TRUE(menuAnimating());
    settle();
    EXPECT_EQ(menuState().menuAway, 1.0f);
    EXPECT_TRUE(currentMenuIs("play"));
}

TEST_F(Menus, ArrowsWrapAndEnterRunsTheItemOnceTheMenuHasGone) {
    open("main");
    press(kMenuKeyUp);
    EXPECT_EQ(menuState().selectedItem, 2);  // up on the first item selects the last
    press(kMenuKeyDown);
    EXPECT_EQ(menuState().selectedItem, 0);  // down on the last selects the first
    press(kMenuKeyRight);
    press(kMenuKeyLeft);
    press(kMenuKeyRight);
    EXPECT_EQ(menuState().selectedItem, 1);
    press(kMenuKeyEnter);
    // Each change of the selection was heard once, a frame after it.
    EXPECT_EQ(countTraced("sound", "MenuLineSelect.ogg"), 5);
    EXPECT_EQ(countTraced("sound", "ButtonClick.ogg"), 1);
    EXPECT_TRUE(menuAnimating());
    EXPECT_EQ(gCalls.ran, "");
    settle();
    EXPECT_EQ(gCalls.ran, "play;");
    // Escape goes back at the end of the closing.
    open("play");
    press(kMenuKeyDown);
    press(kMenuKeyEscape);
    EXPECT_EQ(menuState().selectedItem, 0);
    settle();
    EXPECT_EQ(gCalls.back, 1);
    // ... except in the name entry and the OK box, which must be answered.
    open("newprofile");
    press(kMenuKeyEscape);
    open("messageboxok");
    press(kMenuKeyEscape);
    EXPECT_FALSE(menuAnimating());
    EXPECT_EQ(gCalls.back, 1);
}

TEST_F(Menus, AMenuWithoutItemsIgnoresArrowsAndEnter) {
    open("empty");
    for (int key : {kMenuKeyDown, kMenuKeyRight, kMenuKeyUp, kMenuKeyLeft, kMenuKeyEnter}) press(key);
    EXPECT_EQ(menuState().selectedItem, 0);
    EXPECT_FALSE(menuAnimating());
    settle();
    EXPECT_EQ(gCalls.ran, "");
    EXPECT_EQ(countTraced("sound", "ButtonClick.ogg"), 0);
}

TEST_F(Menus, KeyRulesSeeTheKeyFirst) {
    MenuFlows flows = menuFlows();
    flows.keyRule = [](MenuNode& menu, int& key) {
        if (std::string(menu.name) != "play") return;
        if (key == kMenuKeyEscape) key = kMenuKeyEnter;  // Escape counts as Enter
        else if (key == kMenuKeyDown) key = 0;           // consumed
    };
    setMenuFlows(flows);
    open("play");
    press(kMenuKeyDown);
    EXPECT_EQ(menuState().selectedItem, 0);
    press(kMenuKeyEscape);
    settle();
    EXPECT_EQ(gCalls.ran, "shared;");
    EXPECT_EQ(gCalls.back, 0);
}

TEST_F(Menus, TextFieldEditsAtItsCursorAndHoldsTwelveCharacters) {
    open("newprofile");
    MenuState& m = menuState();
    m.textEditing = true;
    for (int key : std::initializer_list<int>{'A', 'C', kMenuKeyLeft, 'B', kMenuKeyEnd, '1', kMenuKeyHome, kMenuKeyDelete, ' '}) press(key);
    EXPECT_STREQ(m.textField, " BC1");
    EXPECT_EQ(m.textCursor, 1);
    press(kMenuKeyBackspace);
    press(kMenuKeyBackspace);  // nothing before the cursor
    EXPECT_STREQ(m.textField, "BC1");
    press(kMenuKeyEnd);
    press(kMenuKeyDelete);  // nothing at the cursor
    press('a');             // not a key code the field takes
    press(187);
    EXPECT_STREQ(m.textField, "BC1");
    for (int i = 0; i < 12; ++i) press('Z');
    EXPECT_EQ(m.textLength, 12);
    EXPECT_STREQ(m.textField, "BC1ZZZZZZZZZ");  // the 13th character is refused
    // The keys go on to the menu as well: Left also moved the selection.
    EXPECT_EQ(m.selectedItem, 1);
}

TEST_F(Menus, PressOnAnItemSelectsAndRunsIt) {
    open("main");
    // The items as a screen registered them last frame.
    addItemRect(-100, 100, 100, 60);
    addItemRect(-100, 50, 100, 10);
    addItemRect(-100, 0, 100, -40);
    cursorAt(0, 30);
    menuPress();
    menuRelease();
    EXPECT_EQ(menuState().selectedItem, 1);
    updateMenus();
    settle();
    EXPECT_EQ(gCalls.ran, "play;");
    // A press beside the items does nothing.
    open("main");
    addItemRect(-100, 100, 100, 60);
    addItemRect(-100, 50, 100, 10);
    cursorAt(300, -200);
    menuPress();
    updateMenus();
    EXPECT_FALSE(menuAnimating());
    // Hovering selects without running.
    cursorAt(0, 30);
    menuMove();
    updateMenus();
    EXPECT_EQ(menuState().selectedItem, 1);
    EXPECT_EQ(gCalls.ran, "play;");
}

TEST_F(Menus, WidgetsAnswerPressesHoverAndDrags) {
    open("play");
    MenuState& m = menuState();
    MenuWidget* slider = addWidget(-80, 16, 80, -16, kWidgetSlider);
    slider->count = 100;
    slider->position = 50;
    MenuWidget* box = addWidget(168, 32, 232, -32, kWidgetCheckBox);
    MenuWidget* name = addWidget(-300, -100, -200, -130, kWidgetName);
    addWidget(-40, -200, 40, -230, kWidgetListEntry);
    // A press 30 left of the bar steps the slider down without dragging it.
    cursorAt(-110, 0);
    menuPress();
    EXPECT_EQ(slider->position, 49);
    EXPECT_EQ(m.hoveredWidget, 0);
    updateMenus();
    EXPECT_EQ(slider->position, 49);
    menuRelease();
    // Held on the bar, the knob follows the cursor; past its ends (within 25.6) it takes an end.
    cursorAt(0, 0);
    menuPress();
    updateMenus();
    EXPECT_EQ(slider->position, 50);
    cursorAt(-90, 0);
    updateMenus();
    EXPECT_EQ(slider->position, 0);
    cursorAt(100, 0);
    updateMenus();
    EXPECT_EQ(slider->position, 99);
    menuRelease();
    cursorAt(40, 0);
    updateMenus();
    EXPECT_EQ(slider->position, 99);
    // The check box toggles on a press and on Space while hovered.
    cursorAt(200, 0);
    menuPress();
    EXPECT_TRUE(box->flag);
    EXPECT_EQ(m.hoveredWidget, 1);
    press(kMenuKeySpace);
    EXPECT_FALSE(box->flag);
    // The clickable name lights under the cursor and never becomes the hovered widget.
    cursorAt(-250, -115);
    updateMenus();
    EXPECT_TRUE(name->flag);
    EXPECT_EQ(m.hoveredWidget, 1);
    cursorAt(0, 200);
    updateMenus();
    EXPECT_FALSE(name->flag);
    // While a name is typed, the cursor hovers nothing.
    m.textEditing = true;
    m.hoveredWidget = -1;
    cursorAt(200, 0);
    updateMenus();
    EXPECT_EQ(m.hoveredWidget, -1);
}

TEST_F(Menus, DoubleClickOnAListEntrySelectsAProfile) {
    buildMenus("main=\r\nx\r\nprofiles\r\n\r\nprofiles=\r\nnewprofile\r\nselectprofile\r\nback\r\n\r\n", "");
    open("profiles");
    addWidget(-40, 100, 40, 70, kWidgetListEntry);
    addWidget(-40, 70, 40, 40, kWidgetListEntry);
    cursorAt(0, 50);
    menuPress();  // the first press only points at the entry
    EXPECT_EQ(menuState().hoveredWidget, 1);
    EXPECT_FALSE(menuAnimating());
    updateMenus();
    menuDoubleClick();
    updateMenus();
    settle();
    EXPECT_EQ(gCalls.ran, "selectprofile;");
}

TEST_F(Menus, MessageBoxRemembersTheMenuThatAsked) {
    open("play");
    showMessage("Are you sure?", true);
    EXPECT_TRUE(currentMenuIs("messageboxok"));
    EXPECT_EQ(findMenu("messageboxok")->parent, findMenu("play"));
    EXPECT_STREQ(menuState().messageText, "Are you sure?");
    const std::string longText(3000, 'w');
    settle();
    showMessage(longText.c_str(), true);  // cut to the buffer
    EXPECT_EQ(std::string(menuState().messageText).size(), static_cast<size_t>(kMessageTextSize - 1));
}

TEST_F(Menus, AKeyOrPressBringsTheGreetingBackAfterBackingOutOfIt) {
    open("main");
    press(kMenuKeyEscape);
    settle();
    ASSERT_EQ(gCalls.back, 1);
    menuState().returnToMainOnKey = true;  // what going back from "main" does
    updateMenus();
    EXPECT_EQ(menuState().menuAway, 1.0f);
    // The greeting has gone, yet a key opens it again.
    press('Q');
    EXPECT_FALSE(menuState().returnToMainOnKey);
    EXPECT_TRUE(menuAnimating());
    settle();
    EXPECT_TRUE(currentMenuIs("main"));
    EXPECT_EQ(menuState().menuAway, 0.0f);
    EXPECT_EQ(gCalls.ran, "");  // the key did nothing else
    // And a press does too.
    menuState().returnToMainOnKey = true;
    menuPress();
    EXPECT_FALSE(menuState().returnToMainOnKey);
    EXPECT_EQ(gCalls.entered, "main;main;main;");
}

}  // namespace
