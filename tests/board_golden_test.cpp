// A whole stretch of play on a fixed seed: the same clicks always give the same board.
#include <gtest/gtest.h>

#include "board_support.h"

using namespace board_test;

namespace {

const char* kGoldenLevel =
    "figures=5\r\n"
    "figure0=crown\r\n"
    "time=9\r\n"
    "moves=40\r\n"
    "back=3\r\n"
    "level=\r\n"
    "..00000000..\r\n"
    ".0000000000.\r\n"
    "000011110000\r\n"
    "000122221000\r\n"
    "00012BC21000\r\n"
    "000122221000\r\n"
    "0000.00.0000\r\n"
    "0001100110Q0\r\n"
    "000220022000\r\n"
    "000000000000\r\n"
    "A0000000000E\r\n";

struct PlayResult {
    uint64_t digest;
    int moves;
    int score;
    const char* end;  // "won", "lost" or "running"
};

const char* endState() {
    if (board().levelComplete) return "won";
    if (board().levelLost) return "lost";
    return "running";
}

// Starts the level on a seed and clicks a fixed list of cells at fixed frames, 16 ms a frame.
PlayResult play(uint32_t seed) {
    freshBoard(seed);
    board().mode = kAdventure;
    startLevelFromText(4, kGoldenLevel);
    for (int i = 0; i < 48; ++i) {
        const int row = 4 + (i * 5) % 7;
        const int column = (i * 7 + i / 12) % 12;
        for (int f = 0; f < 40; ++f) frame();
        clickCell(row, column);
    }
    frames(300);
    return PlayResult{boardDigest(), board().movesUsed, board().levelScore, endState()};
}

}  // namespace

TEST(GoldenBoard, AFixedSeedAndFixedClicksEndInTheStoredBoard) {
    PlayResult run = play(20240611);
    EXPECT_GE(run.moves, 8);  // the script really plays
    EXPECT_TRUE(isSettled());
    EXPECT_EQ(run.digest, 0x8804856f28462153ull) << std::hex << run.digest << std::dec << " moves " << run.moves
                                  << " score " << run.score << " " << run.end;
    EXPECT_EQ(run.score, 3000);
    EXPECT_STREQ(run.end, "lost");
}

TEST(GoldenBoard, SameSeedSameBoardOtherSeedOtherBoard) {
    PlayResult a = play(777);
    std::vector<std::string> rowsA = gridRows();
    PlayResult b = play(777);
    EXPECT_EQ(a.digest, b.digest);
    EXPECT_EQ(a.moves, b.moves);
    EXPECT_EQ(a.score, b.score);
    EXPECT_STREQ(a.end, b.end);
    EXPECT_EQ(rowsA, gridRows());
    PlayResult c = play(778);
    EXPECT_NE(a.digest, c.digest);
}
