// The forged string tables: line ends, every key the game asks for, the format conversions of
// the templates, the numbered families and the OK messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "data_files.h"
#include "test_support.h"

namespace {

using data_files::dataFile;

struct Entry {
    std::string name;
    std::string text;
};

// The strings file reader of the game, step by step: line entries "name=text" ended by two
// bytes below 32 in a row, block entries "[name/]text[/name]", the last byte overwritten.
std::vector<Entry> parseStrings(std::string bytes) {
    std::vector<Entry> out;
    if (bytes.empty()) return out;
    bytes.back() = '\0';
    const size_t n = bytes.size();
    auto low = [&](size_t i) { return static_cast<unsigned char>(bytes[i]) < 32; };
    size_t p = 0;
    for (;;) {
        while (p < n - 1 && static_cast<unsigned char>(bytes[p]) <= 32) ++p;
        if (p >= n - 1) break;
        if (bytes[p] == '[') {
            size_t close = bytes.find("/]", p + 1);
            if (close == std::string::npos || close >= n - 1) break;
            std::string name = bytes.substr(p + 1, close - p - 1);
            size_t t = close + 2;
            while (t < n - 1 && low(t)) ++t;
            size_t open = bytes.find('[', t);
            if (open == std::string::npos || open >= n - 1) break;
            out.push_back({name.substr(0, 19), bytes.substr(t, open - t)});
            size_t end = bytes.find(']', open);
            if (end == std::string::npos || end >= n - 1) break;
            p = end + 1;
        } else {
            size_t eq = bytes.find('=', p);
            if (eq == std::string::npos || eq >= n - 1) break;
            std::string name = bytes.substr(p, eq - p);
            size_t t = eq + 1;
            while (t + 1 < n && !(low(t) && low(t + 1))) ++t;
            if (t + 1 >= n) break;
            out.push_back({name.substr(0, 19), bytes.substr(eq + 1, t - eq - 1)});
            p = t + 2;
        }
    }
    return out;
}

// The table as the loading sequence builds it: strings2.txt, then tips2.txt.
struct Table {
    std::vector<Entry> entries;
    int indexOf(const std::string& name) const {
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].name == name) return static_cast<int>(i);
        return -1;
    }
    const std::string* text(const std::string& name) const {
        int i = indexOf(name);
        return i < 0 ? nullptr : &entries[static_cast<size_t>(i)].text;
    }
};

Table loadTable() {
    Table t;
    for (const char* file : {"strings2.txt", "tips2.txt"}) {
        std::optional<std::string> bytes = dataFile(file);
        if (!bytes) continue;
        std::vector<Entry> part = parseStrings(*bytes);
        t.entries.insert(t.entries.end(), part.begin(), part.end());
    }
    return t;
}

// The printf conversions of a text, in order ("%i", "%s", ...).
std::vector<std::string> conversions(const std::string& text) {
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        size_t j = i + 1;
        while (j < text.size() && std::string("0123456789.-+ #").find(text[j]) != std::string::npos) ++j;
        // append rather than "x" + string: GCC 12 at -O3 warns falsely (-Wrestrict) on the latter
        out.push_back(j < text.size() ? std::string("%").append(text, i + 1, j - i) : "%");
        i = j;
    }
    return out;
}

// Every single key the game looks up, with the conversions its text must hold.
const std::vector<std::pair<std::string, std::vector<std::string>>>& singleKeys() {
    static const std::vector<std::pair<std::string, std::vector<std::string>>> keys = {
        {"keytoresume", {}}, {"cheatkeyenabled", {}}, {"cheatkeydisabled", {}}, {"b_t_firstbonus1", {}},
        {"b_t_firstbonus2", {}}, {"b_t_firstbonus5", {}}, {"nomoves", {}}, {"usehammer", {}}, {"welcome", {}},
        {"breaksquares", {}}, {"breakdualsquares", {}}, {"breakzep", {}}, {"candletime", {}}, {"candlemove", {}},
        {"getlife", {}}, {"coolcombo", {}}, {"supercombo", {}}, {"megacombo", {}}, {"ultracombo", {}},
        {"impossible", {}}, {"youwon", {"%i"}}, {"levelcomplete", {}}, {"bonustime", {}}, {"bonusmoves", {}},
        {"gameover", {}}, {"lastlife", {}}, {"loselife", {}}, {"gettrophy", {}}, {"bombbonus", {}},
        {"thunderbonus", {}}, {"megabombonus", {}}, {"score", {}}, {"level", {}}, {"lives", {}}, {"menu", {}},
        {"trophies", {}}, {"moveslast", {"%i"}}, {"timelast", {"%i"}}, {"pause", {}}, {"stage", {}},
        {"congratulation", {}}, {"hallo", {"%s"}}, {"ifnotyou", {}}, {"curusers", {}}, {"entername", {}},
        {"loadclassicmode", {}}, {"loadendlessmode", {}}, {"loadpuzzlemode", {}}, {"loadmsg", {}},
        {"surlevscore", {"%i", "%i"}}, {"showgametip", {}}, {"sfxvolume", {}}, {"musicvolume", {}},
        {"fullscreen", {}}, {"customcursor", {}}, {"levelresult", {}}, {"yourscore", {}}, {"yourcombo", {}},
        {"yourmoves", {}}, {"yourtime", {}}, {"bestmoves", {}}, {"besttime", {}}, {"by", {}}, {"timeisup", {}},
        {"classicmode", {}}, {"endlessmode", {}}, {"puzzlemode", {}}, {"prolog", {}}, {"lostlifetime", {}},
        {"lostlifemoves", {}}, {"noskiplevel", {}}, {"nomorelives", {}}, {"savemsg", {}}, {"skipquest", {}},
        {"restartquest", {}}, {"removeplayer", {}}, {"zeroscore", {}}, {"quit", {}}, {"adventuretip", {}},
        {"tip1", {}}, {"gametip1", {}}, {"defname1", {}},
    };
    return keys;
}

const char* const kTexts[] = {"strings2.txt", "tips2.txt", "menu.txt", "menutext2.txt"};

TEST(DataTexts, TextsUseCrLfAndEndWithALineEnd) {
    REQUIRE_DATA_SET("levels/pack1_01.lvl");
    std::vector<std::string> files(std::begin(kTexts), std::end(kTexts));
    for (const auto& e : std::filesystem::directory_iterator(data_files::dataDir() / "effects"))
        files.push_back("effects/" + e.path().filename().string());
    for (int i = 1; i <= 129; ++i) {
        char name[40];
        std::snprintf(name, sizeof name, "levels/pack1_%.2i.lvl", i);
        files.push_back(name);
    }
    for (const std::string& file : files) {
        std::optional<std::string> bytes = dataFile(file);
        ASSERT_TRUE(bytes.has_value()) << file;
        ASSERT_GE(bytes->size(), 2u) << file;
        EXPECT_EQ(bytes->substr(bytes->size() - 2), "\r\n") << file << " must end with a line end";
        for (size_t i = 0; i < bytes->size(); ++i) {
            if ((*bytes)[i] == '\n') {
                ASSERT_TRUE(i > 0 && (*bytes)[i - 1] == '\r') << file << ": lone LF at " << i;
            }
            if ((*bytes)[i] == '\r') {
                ASSERT_TRUE(i + 1 < bytes->size() && (*bytes)[i + 1] == '\n') << file << ": lone CR at " << i;
            }
        }
    }
    // The hand-written texts stay plain printable ASCII, which the font covers.
    for (const char* file : kTexts) {
        std::string bytes = *dataFile(file);
        for (unsigned char ch : bytes)
            ASSERT_TRUE(ch == '\r' || ch == '\n' || (ch >= 32 && ch < 127)) << file << " holds byte " << int(ch);
    }
}

TEST(DataStrings, EveryKeyIsPresentWithExactlyItsConversions) {
    REQUIRE_DATA_SET("texts.dat");
    Table table = loadTable();
    ASSERT_LE(table.entries.size(), 1024u);
    std::set<std::string> seen;
    for (const Entry& e : table.entries) {
        EXPECT_LE(e.name.size(), 19u) << e.name;
        EXPECT_TRUE(seen.insert(e.name).second) << "duplicate name " << e.name << " (the first one wins)";
        EXPECT_EQ(e.name.find_first_of(" \t[]"), std::string::npos) << "name with a blank or bracket: " << e.name;
        EXPECT_FALSE(e.text.empty()) << e.name;
        for (unsigned char ch : e.text) EXPECT_GE(ch, 32) << "control byte in " << e.name;
    }
    for (const auto& [key, wanted] : singleKeys()) {
        const std::string* text = table.text(key);
        ASSERT_NE(text, nullptr) << "missing key " << key;
        EXPECT_EQ(conversions(*text), wanted) << key << ": " << *text;
    }
    // Texts that are not templates hold no "%" at all; numbered families are plain texts too.
    std::set<std::string> templates;
    for (const auto& [key, wanted] : singleKeys())
        if (!wanted.empty()) templates.insert(key);
    for (const Entry& e : table.entries) {
        if (templates.count(e.name)) continue;
        EXPECT_TRUE(conversions(e.text).empty()) << e.name << ": " << e.text;
    }
    // Texts the program follows with " %i" or draws short must stay short.
    for (const char* shortKey : {"level", "stage", "score", "lives", "menu", "trophies", "by", "pause"})
        EXPECT_LE(table.text(shortKey)->size(), 12u) << shortKey;
    for (const char* combo : {"coolcombo", "supercombo", "megacombo", "ultracombo", "impossible"})
        EXPECT_LE(table.text(combo)->size(), 127u) << combo;
    EXPECT_LE(table.text("getlife")->size(), 256u);
}

// A family read by position: the entries from the first one's position on.
void expectNamedRun(const Table& t, const std::string& stem, int first, int count) {
    int start = t.indexOf(stem + std::to_string(first));
    ASSERT_GE(start, 0) << stem << first;
    for (int i = 0; i < count; ++i) {
        ASSERT_LT(static_cast<size_t>(start + i), t.entries.size());
        EXPECT_EQ(t.entries[static_cast<size_t>(start + i)].name, stem + std::to_string(first + i))
            << "the " << stem << " family must be consecutive";
    }
}

TEST(DataStrings, NumberedFamiliesAreConsecutive) {
    REQUIRE_DATA_SET("texts.dat");
    Table t = loadTable();
    ASSERT_FALSE(t.entries.empty());
    expectNamedRun(t, "defname", 1, 10);
    expectNamedRun(t, "trophytip", 1, 17);
    expectNamedRun(t, "stagetitle", 0, 15);
    expectNamedRun(t, "stage", 0, 15);
    // "tip1..." and "gametip1...": the run goes on while the names do.
    for (const char* stem : {"tip", "gametip"}) {
        int count = 0;
        while (t.indexOf(stem + std::to_string(count + 1)) >= 0) ++count;
        EXPECT_GE(count, 5) << stem;
        expectNamedRun(t, stem, 1, count);
    }
    // The six balloon tips of the main menu's first items follow "adventuretip".
    int first = t.indexOf("adventuretip");
    ASSERT_GE(first, 0);
    ASSERT_LE(static_cast<size_t>(first + 6), t.entries.size());
    for (int i = 1; i < 6; ++i) {
        const std::string& name = t.entries[static_cast<size_t>(first + i)].name;
        EXPECT_NE(name.find("tip"), std::string::npos) << "entry " << i << " after adventuretip is " << name;
        EXPECT_EQ(name.find("trophytip"), std::string::npos) << name;
    }
    // Default player names fit a profile name: up to 12 of A-Z, 0-9 and blank.
    int names = t.indexOf("defname1");
    for (int i = 0; i < 10; ++i) {
        const std::string& name = t.entries[static_cast<size_t>(names + i)].text;
        EXPECT_LE(name.size(), 12u) << name;
        EXPECT_EQ(name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 "), std::string::npos) << name;
    }
}

TEST(DataStrings, OkMessagesAllDiffer) {
    REQUIRE_DATA_SET("texts.dat");
    Table t = loadTable();
    // The OK button acts on the text it shows: an equal text would start a game or restart a level.
    const char* keys[] = {"prolog", "lostlifetime", "lostlifemoves", "noskiplevel", "nomorelives", "savemsg"};
    for (size_t i = 0; i < std::size(keys); ++i)
        for (size_t j = i + 1; j < std::size(keys); ++j) {
            ASSERT_NE(t.text(keys[i]), nullptr) << keys[i];
            ASSERT_NE(t.text(keys[j]), nullptr) << keys[j];
            EXPECT_NE(*t.text(keys[i]), *t.text(keys[j])) << keys[i] << " and " << keys[j];
        }
}

TEST(DataStrings, ReaderFollowsTheFileRules) {
    // The local reader mirrors the game's: a lone LF does not end an entry, blocks keep inner
    // line ends, and a line without "=" is swallowed into the next name.
    std::vector<Entry> e = parseStrings("a=b\r\nc=d\ne=f\r\n[blk/]\r\nx\r\ny\r\n[/blk]\r\nstray\r\ng=h\r\n");
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].name, "a");
    EXPECT_EQ(e[0].text, "b");
    EXPECT_EQ(e[1].text, "d\ne=f");
    EXPECT_EQ(e[2].name, "blk");
    EXPECT_EQ(e[2].text, "x\r\ny\r\n");
    EXPECT_EQ(e[3].name, "stray\r\ng");
    EXPECT_EQ(conversions("Level %i, score %.2i and 50%"), (std::vector<std::string>{"%i", "%.2i", "%"}));
}

}  // namespace
