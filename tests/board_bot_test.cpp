// The autoplay bot: it wins levels under the real rules and the real frame, reproducibly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>
#include <sys/wait.h>

#include "board/bot.h"
#include "board/level.h"
#include "board_support.h"
#include "test_support.h"

using namespace board_test;

namespace {

// A small level of our own: one row of squares and two chained figures on dual squares.
const char* kEasyLevel =
    "figures=4\r\ntime=40\r\nmoves=20\r\nback=1\r\nlevel=\r\n"
    "000000000000\r\n000000000000\r\n000000000000\r\n000000000000\r\n000000000000\r\n"
    "000000000000\r\n000000000000\r\n000000000000\r\n000000000000\r\n000000000000\r\n"
    "11B111111C11\r\n";

// Holes, a bomb and a cross bomb, dual squares in the middle.
const char* kShapedLevel =
    "figures=5\r\ntime=30\r\nmoves=30\r\nback=2\r\nlevel=\r\n"
    "..00000000..\r\n.0000000000.\r\n000000000000\r\n000022220000\r\n0000RwC20000\r\n"
    "000022220000\r\n0000.00.0000\r\n000110011000\r\n000000000000\r\n000000000000\r\n"
    "000000000000\r\n";

BotResult run(const char* text, GameMode mode, uint32_t seed, int index = 2) {
    BotOptions o;
    o.levelIndex = index;
    o.mode = mode;
    o.seed = seed;
    o.levelText = text;
    return playLevelWithBot(o);
}

std::string forgedLevel(int number) {
    char name[32];
    levelFileName(number - 1, name, sizeof name);
    std::ifstream in(std::string(SANDMERE_DATA_DIR) + "/levels/" + name, std::ios::binary);
    if (!in) return {};
    std::stringstream s;
    s << in.rdbuf();
    std::string text = s.str();
    if (!text.empty()) text.pop_back();
    return text;
}

}  // namespace

class Bot : public ::testing::Test {
protected:
    void SetUp() override { freshBoard(1); }
};

TEST_F(Bot, WinsOurOwnLevelsInEveryMode) {
    for (GameMode mode : {kAdventure, kPuzzle, kTimeless}) {
        for (uint32_t seed : {1u, 2u, 3u}) {
            const BotResult r = run(kEasyLevel, mode, seed);
            EXPECT_TRUE(r.won) << int(mode) << " seed " << seed;
            EXPECT_EQ(r.targetsLeft, 0);
            EXPECT_GT(r.moves, 0);
            EXPECT_GT(r.score, 0);
            if (mode == kPuzzle) {
                EXPECT_LT(r.moves, r.movesLimit);
            }
            if (mode == kAdventure) {
                EXPECT_LT(r.timeMs, r.timeLimitMs);
            }
        }
    }
    int wins = 0;
    for (uint32_t seed = 1; seed <= 5; ++seed) wins += run(kShapedLevel, kTimeless, seed).won ? 1 : 0;
    EXPECT_GE(wins, 4);
}

TEST_F(Bot, TheSameSeedPlaysTheSameGame) {
    const BotResult a = run(kShapedLevel, kAdventure, 7);
    const BotResult b = run(kShapedLevel, kAdventure, 7);
    EXPECT_EQ(a.won, b.won);
    EXPECT_EQ(a.moves, b.moves);
    EXPECT_EQ(a.score, b.score);
    EXPECT_EQ(a.frames, b.frames);
    const BotResult c = run(kShapedLevel, kAdventure, 8);
    EXPECT_TRUE(a.frames != c.frames || a.score != c.score);
}

TEST_F(Bot, ALevelThatCannotBeWonIsLostOnItsLimit) {
    // A chained kind that is never dealt, on squares no bomb reaches: only the hammer helps, and
    // one move of puzzle is not enough.
    const char* hopeless =
        "figures=3\r\ntime=10\r\nmoves=1\r\nback=1\r\nlevel=\r\n"
        "J0000000000J\r\n000000000000\r\n000000000000\r\n000000000000\r\n000000000000\r\n"
        "000000000000\r\n000000000000\r\n000000000000\r\n000000000000\r\n000000000000\r\n"
        "J0000000000J\r\n";
    const BotResult r = run(hopeless, kPuzzle, 3, 0);
    EXPECT_FALSE(r.won);
    EXPECT_TRUE(r.lost);
    EXPECT_EQ(r.moves, r.movesLimit);
    EXPECT_GT(r.targetsLeft, 0);
}

TEST_F(Bot, UsesTheHammerOnTargetsNoGroupReaches) {
    // Kind 9 is never dealt: the chained figures in the corners form no group, so only the
    // hammer (after the chain, the figure) and bombs take them.
    const char* corners =
        "figures=3\r\ntime=10\r\nmoves=50\r\nback=1\r\nlevel=\r\n"
        "J0000000000J\r\n000000000000\r\n000000000000\r\n000000000000\r\n000000000000\r\n"
        "000000000000\r\n000000000000\r\n000000000000\r\n000000000000\r\n000000000000\r\n"
        "000000000000\r\n";
    const BotResult r = run(corners, kTimeless, 5, 0);
    EXPECT_TRUE(r.won);
    EXPECT_GT(r.hammerStrokes, 0);
}

TEST_F(Bot, WinsAHandfulOfForgedLevels) {
    const int numbers[] = {1, 10, 40, 80, 129};
    int played = 0;
    for (int n : numbers) {
        const std::string text = forgedLevel(n);
        if (text.empty()) continue;
        ++played;
        int wins = 0;
        for (uint32_t seed = 1; seed <= 3; ++seed) wins += run(text.c_str(), kAdventure, seed, n - 1).won ? 1 : 0;
        EXPECT_GE(wins, 2) << "level " << n;
        EXPECT_TRUE(run(text.c_str(), kTimeless, 1, n - 1).won) << "level " << n;
    }
    if (played == 0) GTEST_SKIP() << "no forged levels in " << SANDMERE_DATA_DIR;
}

namespace {

// The table sandmere-bot prints, without its timings (the sim_ms column and the summary's
// slowest runs and total time), and its exit code.
std::string botTable(const std::string& arguments, int& exitCode) {
    const std::string command = std::string(SANDMERE_BOT_EXE) + " " + arguments;
    FILE* out = popen(command.c_str(), "r");
    if (!out) return {};
    std::string table;
    char line[512];
    while (std::fgets(line, sizeof line, out)) {
        const std::string text(line);
        if (text.find("slowest:") != std::string::npos || text.find("total run time") != std::string::npos) continue;
        // Fields joined by one space; a level row loses its last field, the time it took.
        std::istringstream fields(text);
        std::vector<std::string> words;
        for (std::string w; fields >> w;) words.push_back(w);
        if (!words.empty() && std::isdigit(static_cast<unsigned char>(words[0][0]))) words.pop_back();
        for (size_t i = 0; i < words.size(); ++i) table += (i ? " " : "") + words[i];
        table += '\n';
    }
    const int status = pclose(out);
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return table;
}

}  // namespace

TEST(BotTool, WorkerProcessesPrintTheSameTableAsOne) {
    testing_support::TempDir dir;
    const auto level = dir.path / "easy.lvl";
    testing_support::writeFile(level, std::string(kEasyLevel) + "\n");
    const std::string common = "--file " + level.string() + " --levels 1-5 --modes all --seeds 2";
    int oneCode = -1, threeCode = -1;
    const std::string one = botTable(common + " --jobs 1", oneCode);
    const std::string three = botTable(common + " --jobs 3", threeCode);
    EXPECT_EQ(oneCode, 0);
    EXPECT_EQ(threeCode, 0);
    // A header, 15 rows (5 levels x 3 modes), the summary.
    EXPECT_EQ(std::count(one.begin(), one.end(), '\n'), 1 + 15 + 1 + 1 + 3 + 1);
    EXPECT_NE(one.find("adventure won 10 of 10 runs"), std::string::npos) << one;
    EXPECT_EQ(one, three);
    int badCode = -1;
    botTable("--file " + (dir.path / "missing.lvl").string() + " --jobs 2 2>/dev/null", badCode);
    EXPECT_EQ(badCode, 2);
}
