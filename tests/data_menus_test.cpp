// The forged menu files: the tree the menus build from "menu.txt" (first-occurrence "name="
// search, children until a line that begins with CR), the items the program acts on, the
// captions of "menutext2.txt" and the credits block.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "data_files.h"
#include "menus/menus.h"
#include "test_support.h"

namespace {

using data_files::dataFile;

// The tree as the game builds it from the forged files.
struct LoadedMenus {
    std::string menuText;
    std::string captions;
    MenuNode* main = nullptr;
};

LoadedMenus loadForgedMenus() {
    LoadedMenus m;
    m.menuText = dataFile("menu.txt").value_or("");
    m.captions = dataFile("menutext2.txt").value_or("");
    // The game ends each text over its last byte.
    if (!m.menuText.empty()) m.menuText.pop_back();
    if (!m.captions.empty()) m.captions.pop_back();
    buildMenus(m.menuText.c_str(), m.captions.c_str());
    m.main = findMenu("main");
    return m;
}

std::vector<std::string> items(const char* menu) {
    std::vector<std::string> out;
    if (const MenuNode* n = findMenu(menu))
        for (int i = 0; i < n->childCount; ++i) out.push_back(n->children[i]->name);
    return out;
}

bool contains(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

TEST(DataMenus, MainMenuHoldsTheModesAndScreens) {
    REQUIRE_DATA_SET("texts.dat");
    LoadedMenus m = loadForgedMenus();
    ASSERT_NE(m.main, nullptr);
    std::vector<std::string> main = items("main");
    ASSERT_GE(main.size(), 6u);
    // Items 0..2 stand above the separator: the three game modes.
    EXPECT_EQ(std::vector<std::string>(main.begin(), main.begin() + 3),
              (std::vector<std::string>{"adventure", "timeless", "puzzle"}));
    for (const char* item : {"options", "hiscore", "credits", "exit", "trophyroom"})
        EXPECT_TRUE(contains(main, item)) << item << " must be reachable from main";
}

// The menus the program opens by name, with the items it acts on in them.
struct OpenedMenu {
    const char* menu;
    std::vector<std::string> items;  // exactly these, in this order
};

const std::vector<OpenedMenu>& openedMenus() {
    static const std::vector<OpenedMenu> kMenus = {
        // The mode screen has two buttons: "start" and the way back.
        {"adventure", {"start", "backfrommap"}},
        {"timeless", {"start", "backfrommap"}},
        {"puzzle", {"start", "backfrommap"}},
        {"profiles", {"selectprofile", "newprofile", "rename", "remove", "back"}},
        {"newprofile", {"oknewprofile", "cancel"}},
        {"rename", {"okrename", "cancel"}},
        {"options", {"apply"}},
        {"hiscore", {"back"}},
        {"loadgamequest", {"yes", "no"}},
        {"messageboxyn", {"yes", "no"}},
        {"messageboxok", {"ok"}},
        {"gameplaytip", {"okcontinuegame"}},
        {"levelcomplete", {"oknextlevel"}},
        {"gameplay", {"resume game", "restart level", "skip level", "main"}},
        {"defeat", {"restart level", "skip level", "main"}},
        {"gameover", {"restart level", "skip level", "main"}},
    };
    return kMenus;
}

TEST(DataMenus, EveryMenuTheProgramOpensHasItsItems) {
    REQUIRE_DATA_SET("texts.dat");
    LoadedMenus m = loadForgedMenus();
    for (const OpenedMenu& opened : openedMenus()) {
        ASSERT_NE(findMenu(opened.menu), nullptr) << opened.menu;
        EXPECT_EQ(items(opened.menu), opened.items) << opened.menu;
    }
    for (int i = 0; i < kNamedMenuCount; ++i) EXPECT_NE(findMenu(kNamedMenus[i]), nullptr) << kNamedMenus[i];
    // "profiles" goes back to the greeting.
    EXPECT_EQ(findMenu("profiles")->parent, m.main);
    // Every node within the tables: no list was cut at load.
    const MenuState& s = menuState();
    EXPECT_LT(s.nodeCount, kMenuNodeCapacity);
    for (int i = 0; i < s.nodeCount; ++i) {
        const MenuNode& node = s.nodes[i];
        EXPECT_LE(node.childCount, kMenuItemCapacity) << node.name;
        EXPECT_EQ(std::string(node.name).find_first_of("\r\n="), std::string::npos) << node.name;
        const std::string key = std::string(node.name) + "=";
        if (m.menuText.find(key) != std::string::npos) {
            EXPECT_LT(items(node.name).size(), static_cast<size_t>(kMenuItemCapacity)) << node.name << " is full";
        }
    }
}

TEST(DataMenus, NoNameIsFoundInsideALongerOne) {
    REQUIRE_DATA_SET("texts.dat");
    LoadedMenus m = loadForgedMenus();
    const MenuState& s = menuState();
    for (int i = 0; i < s.nodeCount; ++i) {
        const std::string name = s.nodes[i].name;
        EXPECT_TRUE(data_files::firstOccurrenceStartsLine(m.menuText, name + "="))
            << "\"" << name << "=\" is first found inside another line of menu.txt";
        EXPECT_TRUE(data_files::firstOccurrenceStartsLine(m.captions, name + "="))
            << "\"" << name << "=\" is first found inside another line of menutext2.txt";
        // No menu lists itself: opening it would never end.
        for (int k = 0; k < s.nodes[i].childCount; ++k) EXPECT_NE(s.nodes[i].children[k], &s.nodes[i]) << name;
    }
}

TEST(DataMenus, EveryItemHasACaption) {
    REQUIRE_DATA_SET("texts.dat");
    LoadedMenus m = loadForgedMenus();
    const MenuState& s = menuState();
    for (int i = 0; i < s.nodeCount; ++i)
        for (int k = 0; k < s.nodes[i].childCount; ++k) {
            const MenuNode* item = s.nodes[i].children[k];
            EXPECT_NE(item->caption[0], '\0') << "no caption for " << item->name << " in " << s.nodes[i].name;
            EXPECT_NE(item->caption[0], ' ') << item->name;
        }
    // The titles some screens draw from their own node.
    for (const char* titled : {"options", "hiscore"}) EXPECT_NE(findMenu(titled)->caption[0], '\0') << titled;
}

TEST(DataMenus, CreditsBlockFollowsTheColourRule) {
    REQUIRE_DATA_SET("texts.dat");
    std::string text = dataFile("menutext2.txt").value_or("");
    size_t open = text.find("[credits/]");
    ASSERT_NE(open, std::string::npos);
    size_t start = open + 10;
    size_t close = text.find('[', start);
    ASSERT_NE(close, std::string::npos);
    EXPECT_EQ(text.compare(close, 10, "[/credits]"), 0) << "the block text may not hold \"[\"";
    std::string block = text.substr(start, close - start);
    EXPECT_EQ(block.find('='), std::string::npos) << "a caption search would find text inside the credits";
    int yellow = 0, white = 0;
    for (const std::string& line : data_files::crlfLines(block)) {
        if (line.empty()) continue;
        EXPECT_LE(line.size(), 48u) << line;  // fits the screen at size 16
        bool isYellow = line.size() >= 3 && line[2] >= 'a' && line[2] <= 'z';
        (isYellow ? yellow : white) += 1;
    }
    EXPECT_GE(yellow, 3) << "headings are drawn yellow (third character lower case)";
    EXPECT_GE(white, 3) << "names are drawn white";
}

TEST(DataMenus, AnItemFoundInsideALongerNameBecomesAMenu) {
    // "ok" found inside "messageboxok=" would make the item a menu listing itself; the line
    // "ok=" in front of it keeps it a leaf, as the forged file has it.
    buildMenus("main=\r\nx\r\n\r\nmessageboxok=\r\nok\r\n\r\n", "");
    ASSERT_EQ(findMenu("messageboxok")->childCount, 1);
    EXPECT_EQ(findMenu("ok")->childCount, 1);
    buildMenus("ok=\r\n\r\nmain=\r\nx\r\n\r\nmessageboxok=\r\nok\r\n\r\n", "");
    ASSERT_EQ(findMenu("messageboxok")->childCount, 1);
    EXPECT_EQ(findMenu("ok")->childCount, 0);
    resetMenuState();
}

}  // namespace
