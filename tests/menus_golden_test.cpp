// The menus on screen through the play runner over the forged data set, from the first start:
// the name entry with a typed name, the greeting with its balloon, the options and a message
// box, each reached by the keys a newcomer presses, and compared with its golden picture.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/application.h"
#include "app/play_runner.h"
#include "app/scene.h"
#include "app/strings.h"
#include "board_screen_support.h"
#include "forged_game.h"
#include "golden.h"
#include "menus/menus.h"
#include "platform/random.h"
#include "progress/profiles.h"
#include "test_support.h"

namespace {

using board_screen::halfSize;
using board_screen::keep;
using board_screen::presented;

class MenusOnScreen : public ForgedGame {
protected:
    void SetUp() override {
        ForgedGame::SetUp();
        if (!started()) return;
        // Keys shorten the splashes and then start the hand-over to the menus.
        passTheLoader(kMenuKeySpace, true);
        platform::srand(7);
        runner_->moveTo(390.0f, -295.0f);  // the cursor out of the way
        settle();
    }
    // Frames until the menu stands (and a little longer, for the pulses to move on). A key
    // reaches the map scene's menus a frame after it was pressed.
    void settle() {
        runner_->frames(2);
        for (int i = 0; i < 120 && (menuAnimating() || menuState().menuAway != 0.0f); ++i) runner_->frames(1);
        runner_->frames(20);
    }
    void press(int key) {
        runner_->key(key);
        runner_->frames(2);
    }
    void choose(const char* item) {
        const int index = childIndex(currentMenu(), item);
        ASSERT_GE(index, 0) << item << " in " << currentMenu()->name;
        while (menuState().selectedItem != index) press(kMenuKeyDown);
        press(kMenuKeyEnter);
        settle();
    }
    void typeName(const char* name) {
        for (const char* c = name; *c; ++c) press(*c);
        settle();
    }
    ::testing::AssertionResult golden(const std::string& name) {
        platform::Picture shot = presented();
        keep(shot, name);
        return golden::matches(halfSize(shot), name);
    }
};

TEST_F(MenusOnScreen, FirstStartTypesANameAndGreetsThePlayer) {
    ASSERT_TRUE(currentMenuIs("newprofile"));
    typeName("ANNA 2");
    EXPECT_STREQ(menuState().textField, "ANNA 2");
    EXPECT_TRUE(golden("menus_newprofile_typed"));
    press(kMenuKeyEnter);
    settle();
    ASSERT_TRUE(currentMenuIs("main"));
    ASSERT_EQ(profileCount(), 1);
    EXPECT_STREQ(currentProfile().name, "ANNA 2");
    EXPECT_TRUE(golden("menus_main_balloon"));
}

TEST_F(MenusOnScreen, OptionsAndTheQuitQuestion) {
    typeName("BO");
    press(kMenuKeyEnter);
    settle();
    ASSERT_TRUE(currentMenuIs("main"));
    choose("options");
    ASSERT_TRUE(currentMenuIs("options"));
    EXPECT_TRUE(golden("menus_options"));
    press(kMenuKeyEscape);
    settle();
    ASSERT_TRUE(currentMenuIs("main"));
    choose("exit");
    ASSERT_TRUE(currentMenuIs("messageboxyn"));
    EXPECT_STREQ(menuState().messageText, lookupText("quit"));
    EXPECT_TRUE(golden("menus_messagebox_quit"));
    // "no" keeps the game running and brings the greeting back.
    choose("no");
    EXPECT_TRUE(currentMenuIs("main"));
    EXPECT_TRUE(runner_->running());
}

// Every menu with items, opened in the running game and drawn by its own screen: each item has
// a rectangle on the screen, apart from the others, and the cursor over it selects it.
TEST_F(MenusOnScreen, EveryItemOfEveryMenuIsDrawnAndReachable) {
    typeName("CY");
    press(kMenuKeyEnter);
    settle();
    ASSERT_TRUE(currentMenuIs("main"));
    int checked = 0;
    for (int n = 0; n < menuState().nodeCount; ++n) {
        MenuNode* menu = &menuState().nodes[n];
        if (menu->childCount == 0) continue;
        if (currentScene() != mapScene()) {
            requestScene(mapScene());
            runner_->frames(1);
        }
        menuState().menuOpen = true;
        openMenu(menu);
        settle();
        ASSERT_EQ(currentMenu(), menu);
        const MenuState& m = menuState();
        ASSERT_EQ(m.itemRectCount, menu->childCount) << menu->name << ": an item is not drawn";
        for (int i = 0; i < m.itemRectCount; ++i) {
            const ItemRect& r = m.itemRects[i];
            const float x = (r.left + r.right) / 2.0f, y = (r.top + r.bottom) / 2.0f;
            EXPECT_TRUE(x > -400.0f && x < 400.0f && y > -300.0f && y < 300.0f)
                << menu->name << " draws " << menu->children[i]->name << " off the screen";
            runner_->moveTo(x, y);
            runner_->frames(2);
            EXPECT_EQ(menuState().selectedItem, i) << menu->children[i]->name << " in " << menu->name;
        }
        ++checked;
        runner_->moveTo(390.0f, -295.0f);
        menuState().menuOpen = false;
    }
    EXPECT_GE(checked, 15);
}

}  // namespace
