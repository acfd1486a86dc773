// The forged particle effects: one file per effect the program starts (exact case), keys
// that the whole-file key search finds where they stand, and values that draw something.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "data_files.h"
#include "test_support.h"

namespace {

const char* const kKeys[] = {
    "externeffect1=", "externeffect2=", "externeffect3=", "externeffect4=", "externeffect5=", "externeffect6=",
    "externeffect7=", "externeffect8=", "parfrequency=", "color0=", "color0dev=", "color1=", "color1dev=",
    "radius0=", "radius0dev=", "radius1=", "radius1dev=", "partime=", "partimedev=", "positiondev=", "speed=",
    "speeddev=", "gravity=", "gravitydev=", "blendtype=", "numparticle=", "rot=", "rotdev=", "drot=",
    "drotdev=", "effecttime=", "polarpar=", "polarpardev=", "lissparx=", "lisspary=", "simetria=",
    "simetriapar=", "polar=", "polardev=", "lissx=", "lissy=", "sleep="};

// How many numbers each list key holds.
const std::map<std::string, size_t> kListSizes = {
    {"color0=", 4}, {"color0dev=", 4}, {"color1=", 4}, {"color1dev=", 4}, {"positiondev=", 3},
    {"speed=", 3}, {"speeddev=", 3}, {"polarpar=", 4}, {"polarpardev=", 4}, {"lissparx=", 3},
    {"lisspary=", 3}, {"polar=", 4}, {"polardev=", 4}, {"lissx=", 3}, {"lissy=", 3}};

std::map<std::string, std::string> loadEffectFiles() {
    std::map<std::string, std::string> files;
    std::filesystem::path dir = data_files::dataDir() / "effects";
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        std::string name = e.path().filename().string();
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".par") == 0)
            files[name.substr(0, name.size() - 4)] = data_files::readLoose(e.path()).value_or("");
    }
    return files;
}

double number(const std::string& text, const std::string& key) {
    std::optional<std::string> v = data_files::keyValue(text, key);
    return v ? std::strtod(v->c_str(), nullptr) : 0.0;
}

std::vector<double> list(const std::string& text, const std::string& key) {
    std::vector<double> out;
    std::optional<std::string> v = data_files::keyValue(text, key);
    if (!v || v->size() < 2) return out;
    std::string inner = v->substr(1, v->size() - 2);
    size_t p = 0;
    while (p <= inner.size()) {
        size_t comma = inner.find(',', p);
        if (comma == std::string::npos) comma = inner.size();
        out.push_back(std::strtod(inner.substr(p, comma - p).c_str(), nullptr));
        p = comma + 1;
    }
    return out;
}

TEST(DataEffects, EveryEffectTheProgramStartsExists) {
    REQUIRE_DATA_SET("effects");
    std::map<std::string, std::string> files = loadEffectFiles();
    for (const char* name : {"wowIQ", "pointsIQ", "bomb1_1", "bomb1_2", "prototip", "zep1", "lightning", "refill1",
                             "map02", "levelover0", "starefIQ", "flareIQ", "smokeIQ", "smolderingIQ", "bonus5IQ",
                             "ef2", "blik3", "blik4", "score", "defeat", "trophyadd2", "bonusscore", "krestbomb",
                             "balanceef", "10", "15", "18"})
        EXPECT_TRUE(files.count(name)) << "no effect file with the exact name " << name << ".par";
    EXPECT_LE(files.size(), 256u);
    for (const auto& [name, text] : files) EXPECT_LE(name.size(), 31u) << name;
}

TEST(DataEffects, KeysAreFoundWhereTheyStand) {
    REQUIRE_DATA_SET("effects");
    for (const auto& [name, text] : loadEffectFiles()) {
        for (const char* key : kKeys)
            EXPECT_TRUE(data_files::firstOccurrenceStartsLine(text, key))
                << name << ": \"" << key << "\" is first found inside a longer key";
        // Every line is one of the known keys.
        for (const std::string& line : data_files::crlfLines(text)) {
            size_t eq = line.find('=');
            ASSERT_NE(eq, std::string::npos) << name << ": " << line;
            EXPECT_NE(std::find(std::begin(kKeys), std::end(kKeys), line.substr(0, eq + 1)), std::end(kKeys))
                << name << ": unknown key in " << line;
        }
    }
}

TEST(DataEffects, ValuesDrawSomething) {
    REQUIRE_DATA_SET("effects");
    std::map<std::string, std::string> files = loadEffectFiles();
    for (const auto& [name, text] : files) {
        EXPECT_GT(number(text, "parfrequency="), 0.0) << name << " would emit nothing";
        EXPECT_GT(number(text, "partime="), 0.0) << name << "'s particles would die at birth";
        double cell = number(text, "numparticle=");
        EXPECT_TRUE(cell >= 0 && cell < 64) << name;  // 8 x 8 cells of the particle sheet
        double blend = number(text, "blendtype=");
        EXPECT_TRUE(blend == 0 || blend == 1) << name;
        EXPECT_TRUE(number(text, "radius0=") > 0 || number(text, "radius1=") > 0) << name << " has no size";
        for (const auto& [key, size] : kListSizes) {
            if (!data_files::keyValue(text, key)) continue;
            std::vector<double> v = list(text, key);
            EXPECT_EQ(v.size(), size) << name << " " << key;
            if (key.rfind("color", 0) == 0) {
                for (double c : v) EXPECT_TRUE(c >= 0 && c <= 1) << name << " " << key;
            }
        }
        for (int i = 1; i <= 8; ++i) {
            std::optional<std::string> ext = data_files::keyValue(text, "externeffect" + std::to_string(i) + "=");
            if (!ext) continue;
            EXPECT_TRUE(files.count(*ext)) << name << " starts the missing effect " << *ext;
            EXPECT_NE(*ext, name);
        }
    }
}

TEST(DataEffects, EffectsStartedEveryFewMillisecondsStayLight) {
    REQUIRE_DATA_SET("effects");
    // These start every frame or every few ms (score roll-up, candle, result counter, debris
    // trails, bonus glow, level-end tiles): a heavy one would empty the 1024-particle pool.
    std::map<std::string, std::string> files = loadEffectFiles();
    for (const char* name : {"score", "flareIQ", "smokeIQ", "smolderingIQ", "pointsIQ", "bonus5IQ", "ef2",
                             "levelover0", "bonusscore", "15", "10"}) {
        ASSERT_TRUE(files.count(name)) << name;
        const std::string& text = files[name];
        double perStart = number(text, "parfrequency=") * std::max(1.0, number(text, "simetria="));
        EXPECT_LE(perStart, 3.0) << name;
        EXPECT_EQ(number(text, "effecttime="), 0.0) << name << " should be a one-off burst";
        EXPECT_FALSE(data_files::keyValue(text, "externeffect1=").has_value()) << name;
    }
}

TEST(DataEffects, KeySearchFindsRotInsideDrot) {
    // Why the order matters: with "drot=" first, a search for "rot=" reads the spin.
    std::string wrong = "drot=90\r\nrot=10\r\n";
    EXPECT_EQ(data_files::keyValue(wrong, "rot="), "90");
    EXPECT_FALSE(data_files::firstOccurrenceStartsLine(wrong, "rot="));
    std::string right = "rot=10\r\ndrot=90\r\n";
    EXPECT_EQ(data_files::keyValue(right, "rot="), "10");
    EXPECT_EQ(data_files::keyValue(right, "drot="), "90");
}

}  // namespace
