// The forged menu files: the tree the menus build from "menu.txt" (first-occurrence "name="
// search, children until a line that begins with CR), the items the program acts on, the
// captions of "menutext2.txt" and the credits block.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "data_files.h"
#include "test_support.h"

namespace {

using data_files::dataFile;

struct Node {
    std::string name;
    std::vector<Node*> children;
};

// Builds nodes the way the menu loader does: a name becomes a node once; if "name=" occurs in
// the file, the lines after it (up to a line that begins with CR) are its children.
struct MenuTree {
    std::string text;
    std::vector<std::unique_ptr<Node>> nodes;
    std::vector<std::string> lookedUp;  // every name searched for, in order

    Node* find(const std::string& name) {
        for (auto& n : nodes)
            if (n->name == name) return n.get();
        return nullptr;
    }
    Node* build(const std::string& name, int depth = 0) {
        if (Node* n = find(name)) return n;
        nodes.push_back(std::make_unique<Node>());
        Node* node = nodes.back().get();
        node->name = name;
        lookedUp.push_back(name);
        if (depth > 32) return node;
        size_t at = text.find(name + "=");
        if (at == std::string::npos) return node;
        size_t p = text.find('\n', at);
        while (p != std::string::npos && p + 1 < text.size() && text[p + 1] != '\r' && text[p + 1] != '\0') {
            size_t start = p + 1;
            size_t end = text.find('\r', start);
            if (end == std::string::npos) break;
            node->children.push_back(build(text.substr(start, end - start), depth + 1));
            p = text.find('\n', end);
        }
        return node;
    }
};

std::vector<std::string> names(const Node* n) {
    std::vector<std::string> out;
    for (const Node* c : n->children) out.push_back(c->name);
    return out;
}

bool contains(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

struct LoadedMenus {
    MenuTree tree;
    std::string captions;
    Node* main = nullptr;
};

LoadedMenus loadMenus() {
    LoadedMenus m;
    m.tree.text = dataFile("menu.txt").value_or("");
    m.captions = dataFile("menutext2.txt").value_or("");
    if (!m.tree.text.empty()) m.tree.text.back() = '\0';
    if (!m.captions.empty()) m.captions.back() = '\0';
    m.main = m.tree.build("main");
    if (!m.main->children.empty()) m.main->children.erase(m.main->children.begin());
    for (const char* name : {"gameplaytip", "loadgamequest", "newprofile", "rename", "profiles", "levelcomplete",
                             "messageboxok", "messageboxyn", "gameplay", "defeat", "gameover"})
        m.tree.build(name);
    return m;
}

TEST(DataMenus, MainMenuHoldsTheModesAndScreens) {
    REQUIRE_DATA_SET("texts.dat");
    LoadedMenus m = loadMenus();
    std::vector<std::string> main = names(m.main);
    ASSERT_GE(main.size(), 6u);
    // Items 0..2 stand above the separator: the three game modes.
    EXPECT_EQ(std::vector<std::string>(main.begin(), main.begin() + 3),
              (std::vector<std::string>{"adventure", "timeless", "puzzle"}));
    for (const char* item : {"options", "hiscore", "credits", "exit", "trophyroom"})
        EXPECT_TRUE(contains(main, item)) << item << " must be reachable from main";
    EXPECT_LE(main.size(), 16u);
}

TEST(DataMenus, EveryMenuTheProgramOpensHasItsItems) {
    REQUIRE_DATA_SET("texts.dat");
    LoadedMenus m = loadMenus();
    auto items = [&](const char* menu) {
        Node* n = m.tree.find(menu);
        return n ? names(n) : std::vector<std::string>{};
    };
    for (const char* mode : {"adventure", "timeless", "puzzle"}) {
        std::vector<std::string> v = items(mode);
        ASSERT_GE(v.size(), 2u) << mode;
        EXPECT_EQ(v[0], "start") << mode;
        EXPECT_EQ(v[1], "backfrommap") << mode;
    }
    std::vector<std::string> profiles = items("profiles");
    for (const char* item : {"selectprofile", "newprofile", "rename", "remove", "back"})
        EXPECT_TRUE(contains(profiles, item)) << item;
    EXPECT_EQ(items("newprofile"), (std::vector<std::string>{"oknewprofile", "cancel"}));
    EXPECT_EQ(items("rename"), (std::vector<std::string>{"okrename", "cancel"}));
    ASSERT_FALSE(items("options").empty());
    EXPECT_EQ(items("options")[0], "apply");
    EXPECT_EQ(items("loadgamequest"), (std::vector<std::string>{"yes", "no"}));
    EXPECT_EQ(items("messageboxyn"), (std::vector<std::string>{"yes", "no"}));
    EXPECT_EQ(items("messageboxok"), (std::vector<std::string>{"ok"}));
    EXPECT_EQ(items("gameplaytip"), (std::vector<std::string>{"okcontinuegame"}));
    EXPECT_EQ(items("levelcomplete"), (std::vector<std::string>{"oknextlevel"}));
    std::vector<std::string> gameplay = items("gameplay");
    ASSERT_FALSE(gameplay.empty());
    EXPECT_EQ(gameplay[0], "resume game");
    for (const char* menu : {"gameplay", "defeat", "gameover"})
        for (const char* item : {"restart level", "skip level", "main"})
            EXPECT_TRUE(contains(items(menu), item)) << menu << " lacks " << item;
    std::vector<std::string> hiscore = items("hiscore");
    ASSERT_FALSE(hiscore.empty());
    EXPECT_TRUE(hiscore[0] == "back" || hiscore[0] == "cancel");
    for (const auto& node : m.tree.nodes) {
        EXPECT_LE(node->children.size(), 16u) << node->name;
        EXPECT_LE(node->name.size(), 63u) << node->name;
        EXPECT_EQ(node->name.find_first_of("\r\n="), std::string::npos) << node->name;
    }
}

TEST(DataMenus, NoNameIsFoundInsideALongerOne) {
    REQUIRE_DATA_SET("texts.dat");
    LoadedMenus m = loadMenus();
    for (const std::string& name : m.tree.lookedUp) {
        EXPECT_TRUE(data_files::firstOccurrenceStartsLine(m.tree.text, name + "="))
            << "\"" << name << "=\" is first found inside another line of menu.txt";
        EXPECT_TRUE(data_files::firstOccurrenceStartsLine(m.captions, name + "="))
            << "\"" << name << "=\" is first found inside another line of menutext2.txt";
    }
    // No menu lists itself: opening it would never end.
    for (const auto& node : m.tree.nodes)
        for (const Node* child : node->children) EXPECT_NE(child, node.get()) << node->name;
}

TEST(DataMenus, EveryDrawnItemHasACaption) {
    REQUIRE_DATA_SET("texts.dat");
    LoadedMenus m = loadMenus();
    std::set<std::string> drawn;
    for (const auto& node : m.tree.nodes)
        for (const Node* child : node->children) drawn.insert(child->name);
    drawn.insert("options");  // the options panel's title
    drawn.insert("hiscore");  // the high-score screen's title
    for (const std::string& name : drawn) {
        std::optional<std::string> caption = data_files::keyValue(m.captions, name + "=");
        ASSERT_TRUE(caption.has_value()) << "no caption for " << name;
        EXPECT_FALSE(caption->empty()) << name;
        EXPECT_LE(caption->size(), 63u) << name;
        EXPECT_NE(caption->front(), ' ') << name;
    }
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

TEST(DataMenus, TreeBuilderFollowsTheFileRules) {
    // "ok" found inside "messageboxok=" would make the item a menu listing itself; the decoy
    // line in front keeps it a leaf. The builder reads children up to the empty line.
    MenuTree trap;
    trap.text = std::string("messageboxok=\r\nok\r\n\r\n") + '\0';
    Node* box = trap.build("messageboxok");
    ASSERT_EQ(box->children.size(), 1u);
    EXPECT_EQ(box->children[0]->children.size(), 1u);  // "ok" finds "ok=" inside "messageboxok="
    EXPECT_FALSE(data_files::firstOccurrenceStartsLine(trap.text, "ok="));
    MenuTree fixed;
    fixed.text = std::string("ok=\r\n\r\nmessageboxok=\r\nok\r\n\r\n") + '\0';
    Node* box2 = fixed.build("messageboxok");
    ASSERT_EQ(box2->children.size(), 1u);
    EXPECT_TRUE(box2->children[0]->children.empty());
}

}  // namespace
