// The forged level files: all 129 exist and parse with the grid codes of the level reader,
// the shapes can hold groups, every level has squares to break, and the time and moves
// values give limits the candle can show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "data_files.h"
#include "test_support.h"

namespace {

constexpr int kRows = 11, kColumns = 12;
constexpr int kStageSizes[15] = {4, 5, 6, 7, 8, 9, 10, 10, 10, 10, 10, 10, 10, 10, 10};

struct ParsedCell {
    int squares = 0;  // -1 hole, 0, 1, 2
    bool chained = false;
    int figure = -1;
    int bonus = 0;
};

struct ParsedLevel {
    int figures = 0;
    double time = 0;
    int moves = 0;
    int back = 0;
    int cellsRead = 0;  // grid codes read before the grid ended
    ParsedCell cells[kRows][kColumns];
    std::vector<std::string> pictureNames;
};

std::string levelName(int index) {
    char name[40];
    std::snprintf(name, sizeof name, "levels/pack1_%.2i.lvl", index + 1);
    return name;
}

// Reads a level file as the board's level reader does.
ParsedLevel parseLevel(const std::string& text) {
    ParsedLevel lv;
    auto num = [&](const char* key) {
        std::optional<std::string> v = data_files::keyValue(text, key);
        return v ? std::strtod(v->c_str(), nullptr) : 0.0;
    };
    lv.figures = static_cast<int>(num("figures="));
    for (int i = 0; i < lv.figures; ++i) {
        std::optional<std::string> name = data_files::keyValue(text, "figure" + std::to_string(i) + "=");
        if (name) lv.pictureNames.push_back(*name);
    }
    lv.time = num("time=");
    lv.moves = static_cast<int>(num("moves="));
    lv.back = static_cast<int>(num("back="));
    size_t p = text.find("level=");
    if (p == std::string::npos) return lv;
    p += 6;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            if (p >= text.size() || text.compare(p, 4, "\r\n\r\n") == 0) return lv;
            while (p < text.size()) {
                unsigned char b = static_cast<unsigned char>(text[p]);
                if (b == '.' || (b >= 0x30 && b <= 0x7A) || b >= 0xC0) break;
                ++p;
            }
            if (p >= text.size()) return lv;
            unsigned char b = static_cast<unsigned char>(text[p++]);
            ParsedCell& cell = lv.cells[r][c];
            ++lv.cellsRead;
            auto chain = [&](int kind, int bonus) {
                cell.squares = 2;
                cell.chained = true;
                cell.figure = kind;
                cell.bonus = bonus;
            };
            if (b == '.') cell.squares = -1;
            else if (b >= '0' && b <= '2') cell.squares = b - '0';
            else if (b >= 'A' && b <= 'O') chain(b - 'A', 0);
            else if (b >= 'Q' && b <= '_') chain(b - 'Q', 1);
            else if (b >= 'a' && b <= 'o') chain(b - 'a', 2);
            else if (b >= 'q' && b <= 'z') chain(b - 'q', 3);
            else if (b >= 0xC0 && b <= 0xCE) chain(b - 0xC0, 4);
            else if (b >= 0xD0 && b <= 0xDE) chain(b - 0xD0, 5);
            else cell.squares = -100;  // a byte the reader accepts but that places nothing: not ours
        }
    return lv;
}

bool exists(const ParsedLevel& lv, int r, int c) {
    return r >= 0 && r < kRows && c >= 0 && c < kColumns && lv.cells[r][c].squares >= 0;
}

float timeLimitMs(int index, double timeValue) {
    if (index == 0) return 300000.0f;
    if (index == 1) return 150000.0f;
    float n = static_cast<float>(index + 1);
    return (110.0f / (32.0f * std::sqrt(n) - 5.5f * n + 0.08f * n * n) + 0.9f) * 1000.0f *
           static_cast<float>(timeValue);
}

int movesLimit(int index, int movesValue) {
    if (index < 2) return movesValue * 2;
    float n = static_cast<float>(index + 1);
    return static_cast<int>(static_cast<float>(movesValue) * (29.0f / (20.0f * std::sqrt(n) - 5.5f * n + 0.3f * n * n) + 1.0f));
}

const char* const kArtefacts[17] = {"coins", "nugget", "perl",   "perls",   "rings2", "rings3",
                                    "sack",  "scepter", "bracelet", "brooch1", "crown", "dagger",
                                    "goblet", "locket1", "pot",   "rings1",  "diamond"};

TEST(DataLevels, AllLevelsExistAndNoMore) {
    REQUIRE_DATA_SET("levels/pack1_01.lvl");
    for (int i = 0; i < 129; ++i) EXPECT_TRUE(data_files::dataFile(levelName(i)).has_value()) << levelName(i);
    EXPECT_FALSE(std::filesystem::exists(data_files::dataDir() / levelName(129)));
}

TEST(DataLevels, EveryLevelParsesIntoAPlayableBoard) {
    REQUIRE_DATA_SET("levels/pack1_01.lvl");
    for (int index = 0; index < 129; ++index) {
        SCOPED_TRACE(levelName(index));
        std::string text = data_files::dataFile(levelName(index)).value_or("");
        ASSERT_FALSE(text.empty());
        for (const char* key : {"figures=", "time=", "moves=", "back=", "level="})
            EXPECT_TRUE(data_files::firstOccurrenceStartsLine(text, key)) << key;
        EXPECT_EQ(text.find("level="), text.rfind("level=")) << "the grid key comes once, last";
        ParsedLevel lv = parseLevel(text);
        EXPECT_EQ(lv.cellsRead, kRows * kColumns) << "the grid fills all 11 x 12 cells";
        ASSERT_GE(lv.figures, 1);
        ASSERT_LE(lv.figures, 17);
        for (const std::string& picture : lv.pictureNames)
            EXPECT_NE(std::find(std::begin(kArtefacts), std::end(kArtefacts), picture), std::end(kArtefacts)) << picture;
        EXPECT_GE(lv.back, 1);
        EXPECT_LE(lv.back, 15);

        int cells = 0, squares = 0, targets = 0, touching = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                const ParsedCell& cell = lv.cells[r][c];
                ASSERT_GE(cell.squares, -1) << "unknown grid code at " << r << "," << c;
                if (cell.squares < 0) continue;
                EXPECT_LT(c, kColumns - 1) << "the candle stands over the last column, at row " << r;
                ++cells;
                squares += cell.squares > 0;
                targets += cell.squares + (cell.chained ? 1 : 0);
                int around = exists(lv, r - 1, c) + exists(lv, r + 1, c) + exists(lv, r, c - 1) + exists(lv, r, c + 1);
                EXPECT_GT(around, 0) << "a lone cell at " << r << "," << c << " never joins a group";
                touching += exists(lv, r, c + 1) + exists(lv, r + 1, c);
                if (cell.chained) {
                    // A preset kind the deal never makes could only be broken by bombs.
                    EXPECT_LT(cell.figure, lv.figures) << "chained kind at " << r << "," << c;
                }
            }
        EXPECT_GE(squares, 1) << "a level without squares is won before the first click";
        EXPECT_GE(touching, 1);
        EXPECT_GE(cells, 60);

        // Limits: within what the candle shows (600 s, 300 moves) and enough to break every target.
        ASSERT_GT(lv.time, 0.0);
        ASSERT_GT(lv.moves, 0);
        float adventureMs = timeLimitMs(index, lv.time);
        int puzzleMoves = movesLimit(index, lv.moves);
        EXPECT_LE(adventureMs, 600000.0f);
        EXPECT_LE(puzzleMoves, 300);
        EXPECT_GE(puzzleMoves * 2, targets) << "too few moves for " << targets << " targets";
        EXPECT_GE(adventureMs, 2000.0f * static_cast<float>(targets)) << "too little time";
        EXPECT_LE(lv.time * 1000.0, 600000.0) << "the default record time";
    }
}

TEST(DataLevels, TheJourneyGrowsHarder) {
    REQUIRE_DATA_SET("levels/pack1_01.lvl");
    std::vector<ParsedLevel> levels;
    for (int index = 0; index < 129; ++index)
        levels.push_back(parseLevel(data_files::dataFile(levelName(index)).value_or("")));
    int index = 0;
    double firstStageFigures = 0, lastStageFigures = 0;
    int bonusesEarly = 0, bonusesLate = 0, chainsEarly = 0;
    std::set<int> backdrops;
    for (int s = 0; s < 15; ++s) {
        for (int k = 0; k < kStageSizes[s]; ++k, ++index) {
            const ParsedLevel& lv = levels[static_cast<size_t>(index)];
            if (s == 0) firstStageFigures += lv.figures;
            if (s == 14) lastStageFigures += lv.figures;
            backdrops.insert(lv.back);
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kColumns; ++c) {
                    const ParsedCell& cell = lv.cells[r][c];
                    if (cell.chained && s < 2) ++chainsEarly;
                    if (cell.bonus && s < 5) ++bonusesEarly;
                    if (cell.bonus && s >= 5) ++bonusesLate;
                }
        }
    }
    EXPECT_EQ(index, 129);
    EXPECT_LE(firstStageFigures / kStageSizes[0], 5.0);
    EXPECT_EQ(lastStageFigures / kStageSizes[14], 8.0);
    EXPECT_EQ(bonusesEarly, 0) << "preset bonuses wait for the middle of the journey";
    EXPECT_GT(bonusesLate, 20);
    EXPECT_GE(backdrops.size(), 10u) << "the lands change their backdrops";
    EXPECT_LE(chainsEarly, 4);
}

TEST(DataLevels, ReaderStopsAtTheEmptyLine) {
    // A grid cut short by an empty line leaves the rest as plain cells the reader never reached.
    ParsedLevel lv = parseLevel("figures=5\r\nlevel=\r\n..0011221100\r\nABCDEQRSTabc\r\n\r\n");
    EXPECT_EQ(lv.cellsRead, 24);
    EXPECT_EQ(lv.figures, 5);
    EXPECT_EQ(lv.cells[0][0].squares, -1);
    EXPECT_EQ(lv.cells[0][6].squares, 2);
    EXPECT_TRUE(lv.cells[1][0].chained);
    EXPECT_EQ(lv.cells[1][6].bonus, 1);
    EXPECT_EQ(lv.cells[1][7].figure, 2);
    EXPECT_EQ(lv.cells[1][11].bonus, 2);
    EXPECT_NEAR(timeLimitMs(5, 10.0) / 1000.0f, 31.8f, 0.3f);
}

}  // namespace
