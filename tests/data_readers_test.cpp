// The forged data read with the game's own readers (key text and the string table), checked
// against what the files say. While a reader is not in place yet the check is skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/key_text.h"
#include "app/resource_store.h"
#include "app/strings.h"
#include "data_files.h"
#include "test_support.h"

namespace {

// The text as the game holds it: the last byte (a line end) overwritten with 0.
std::vector<char> terminated(const std::string& bytes) {
    std::vector<char> text(std::max<size_t>(bytes.size(), 1), '\0');
    std::copy(bytes.begin(), bytes.end(), text.begin());
    text.back() = '\0';
    return text;
}

bool keyTextReadersWork() {
    const char probe[] = "b=7.9\r\na=(1,2,3)\r\n";
    float list[3] = {0, 0, 0};
    return getInt(probe, "b=") == 7 && getFloatList(probe, list, 3, "a=") == 3 && list[2] == 3.0f;
}

double localNumber(const std::string& text, const std::string& key) {
    std::optional<std::string> v = data_files::keyValue(text, key);
    return v ? std::strtod(v->c_str(), nullptr) : 0.0;
}

TEST(DataReaders, LevelKeysReadAlikeWithTheGameReaders) {
    REQUIRE_DATA_SET("levels/pack1_01.lvl");
    if (!keyTextReadersWork()) GTEST_SKIP() << "the key text readers are not in place yet";
    for (int i = 1; i <= 129; ++i) {
        char name[40];
        std::snprintf(name, sizeof name, "levels/pack1_%.2i.lvl", i);
        std::string bytes = data_files::dataFile(name).value_or("");
        std::vector<char> text = terminated(bytes);
        SCOPED_TRACE(name);
        EXPECT_EQ(getInt(text.data(), "figures="), static_cast<int>(localNumber(bytes, "figures=")));
        EXPECT_EQ(getInt(text.data(), "moves="), static_cast<int>(localNumber(bytes, "moves=")));
        EXPECT_EQ(getInt(text.data(), "back="), static_cast<int>(localNumber(bytes, "back=")));
        EXPECT_NEAR(getFloat(text.data(), "time="), localNumber(bytes, "time="), 1e-3);
        char level[8];
        getString(level, sizeof level, text.data(), "level=");
        EXPECT_STREQ(level, "") << "the grid starts on the line after \"level=\"";
    }
}

TEST(DataReaders, EffectListsReadAlikeWithTheGameReaders) {
    REQUIRE_DATA_SET("effects");
    if (!keyTextReadersWork()) GTEST_SKIP() << "the key text readers are not in place yet";
    for (const auto& e : std::filesystem::directory_iterator(data_files::dataDir() / "effects")) {
        std::string bytes = data_files::readLoose(e.path()).value_or("");
        std::vector<char> text = terminated(bytes);
        SCOPED_TRACE(e.path().filename().string());
        float colour[4] = {-1, -1, -1, -1};
        EXPECT_EQ(getFloatList(text.data(), colour, 4, "color0="), 4);
        EXPECT_NEAR(getFloat(text.data(), "partime="), localNumber(bytes, "partime="), 1e-3);
        EXPECT_NEAR(getFloat(text.data(), "rot="), localNumber(bytes, "rot="), 1e-3);
        EXPECT_EQ(getInt(text.data(), "numparticle="), static_cast<int>(localNumber(bytes, "numparticle=")));
    }
}

// Loads the string table from the packed texts, as the loading sequence does.
struct StringTableFromPacks {
    std::filesystem::path previous = std::filesystem::current_path();
    StringTableFromPacks() {
        std::filesystem::current_path(data_files::dataDir());
        resetResourceStore();
        openPack("texts.dat");
        loadStrings("strings2.txt");
        loadStrings("tips2.txt");
    }
    ~StringTableFromPacks() {
        freeStrings();
        resetResourceStore();
        std::filesystem::current_path(previous);
    }
};

TEST(DataReaders, StringTableLoadsFromThePack) {
    REQUIRE_DATA_SET("texts.dat");
    testing_support::FatalGuard guard;
    StringTableFromPacks table;
    if (stringCount() == 0) GTEST_SKIP() << "the resource store or the string table is not in place yet";
    EXPECT_STREQ(lookupText("level"), "Level");
    EXPECT_STRNE(lookupText("prolog"), lookupText("savemsg"));
    // Numbered families by position, as the tip screens and default names read them.
    int first = indexOfName("defname1");
    ASSERT_GT(first, 0);
    for (int i = 0; i < 10; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "defname%i", i + 1);
        EXPECT_STREQ(textAt(first + i), lookupText(name));
    }
    int tips = indexOfName("gametip1");
    EXPECT_STREQ(textAt(tips + 1), lookupText("gametip2"));
    EXPECT_NE(std::strstr(lookupText("hallo"), "%s"), nullptr);
}

}  // namespace
