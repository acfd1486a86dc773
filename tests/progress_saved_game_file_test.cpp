// The saved-game file: its layout, and the checks a file must pass before it reaches the board.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "progress/saved_game.h"
#include "progress_support.h"

using progress_testing::loadHexFixture;

namespace {

std::unique_ptr<SavedGame> goldenGame() {
    auto g = std::make_unique<SavedGame>();
    std::memset(g.get(), 0, sizeof(SavedGame));
    SavedDebris& d = g->debris[0];
    d = SavedDebris{3, {1.5f, -2.25f, 0.0f}, {0.5f, 0.75f, 0.0f}, 7, 12.5f, 1, 0.25f, 1.0f};
    g->debris[149].kindPlusOne = 17;
    g->debris[149].style = 2;
    g->explosions[0] = SavedExplosion{2, 3, 4, 1.0f, 2.0f, 30.0f, 1000.0f, 500.0f, 1};
    g->explosions[149].kind = 5;
    g->explosions[149].row = 10;
    g->explosions[149].column = 11;
    for (auto& row : g->cells)
        for (SavedCell& c : row) {
            c.figure = -1;
            c.groupStep = -1;
            c.groupId = -1;
        }
    SavedCell& c = g->cells[2][3];
    c = SavedCell{2, 1, 0.0f, 54.0f, 16, 31, 5, 1, 1, 0.5f, 2000.0f, 1, 1, 1, 100.0f, 30.0f, 3, 1, 4, 2,
                  1.0f, 2.0f, 3.0f, 4.0f, 90, 5150.0f};
    g->bolts[1].points[0] = SavedBoltPoint{10.0f, 20.0f, 0.0f, 0xFFFFFFFFu, 800.0f};
    g->bolts[1].points[1] = SavedBoltPoint{30.0f, 40.0f, 0.0f, 0xFF28FE80u, 800.0f};
    g->boardAlpha = 255.0f;
    g->debrisAlpha = 127.5f;
    g->boardColour = 0xFFFFFFFFu;
    g->debrisColour = 0x7FFFFFFFu;
    g->nextDebris = 149;
    g->nextExplosion = 3;
    for (int i = 0; i < 16; ++i) g->shake.matrix[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    g->shake.matrix[12] = 2.5f;
    g->shake.shakeOn = 1;
    g->shake.shakeClock = 150.0f;
    g->tip = SavedTip{1, 0, 1, -100.0f, 50.0f, 250.0f, 42};
    g->shownScore = 1200;
    g->levelScore = 1500;
    g->cursorKind = 1;
    g->carriedScore = 250000;
    g->comboCount = 2;
    g->nextBoltSet = 2;
    g->targetsLeft = 10;
    g->targetsAtStart = 40;
    g->bestStreak = 5;
    g->colourStreak = 3;
    g->runDisplay = 0;
    g->lightningRun = 1;
    g->previousKind = 4;
    g->movesUsed = 17;
    g->hoverRow = -1;
    g->hoverColumn = -1;
    g->menuOpen = 1;
    g->tipShown = 1;
    g->lostOnce = 1;
    g->gameMode = 2;
    g->runningMs = 123456.5f;
    g->inputLock = -1.0f;
    g->elapsedMs = 45678.25f;
    g->timeLimitMs = 300000.0f;
    g->progress = progressFraction(10, 40);
    g->hammerShown = 0.18f;
    g->hammerTarget = 0.5f;
    return g;
}

// Decodes a copy of the golden file after `damage` changed it.
template <typename Damage>
bool acceptsDamaged(Damage damage, int mode = 2) {
    std::vector<uint8_t> bytes = loadHexFixture("savedgame.hex");
    damage(bytes);
    auto out = std::make_unique<SavedGame>();
    return decodeSavedGame(bytes.data(), bytes.size(), mode, 100, *out);
}

void putI32(std::vector<uint8_t>& b, size_t at, int32_t v) { std::memcpy(b.data() + at, &v, 4); }
void putF32(std::vector<uint8_t>& b, size_t at, float v) { std::memcpy(b.data() + at, &v, 4); }

constexpr size_t kCell23 = 15600 + 27 * 116;

}  // namespace

TEST(SavedGameFile, WritesTheGoldenFileFieldByField) {
    auto g = goldenGame();
    std::vector<uint8_t> bytes;
    encodeSavedGame(*g, bytes);
    ASSERT_EQ(bytes.size(), kSavedGameBytes);
    std::vector<uint8_t> golden = loadHexFixture("savedgame.hex");
    ASSERT_EQ(golden.size(), kSavedGameBytes);
    for (size_t i = 0; i < golden.size(); ++i) ASSERT_EQ(bytes[i], golden[i]) << "first difference at offset " << i;
}

TEST(SavedGameFile, ReadsTheGoldenFileBackExactly) {
    std::vector<uint8_t> golden = loadHexFixture("savedgame.hex");
    auto back = std::make_unique<SavedGame>();
    std::memset(back.get(), 0, sizeof(SavedGame));
    ASSERT_TRUE(decodeSavedGame(golden.data(), golden.size(), 2, 100, *back));
    std::vector<uint8_t> again;
    encodeSavedGame(*back, again);
    EXPECT_EQ(again, golden);
    EXPECT_EQ(back->cells[2][3].figure, 16);
    EXPECT_EQ(back->movesUsed, 17);
    EXPECT_FLOAT_EQ(back->elapsedMs, 45678.25f);
    EXPECT_EQ(back->tip.textRef, 42);
}

TEST(SavedGameFile, TheProgressFractionNeverDividesByZero) {
    EXPECT_FLOAT_EQ(progressFraction(10, 40), 0.75f);
    EXPECT_FLOAT_EQ(progressFraction(0, 0), 1.0f);
    EXPECT_FLOAT_EQ(progressFraction(3, 3), 0.0f);
}

TEST(SavedGameFile, OnlyTheExactSizeIsAccepted) {
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { b.pop_back(); }));
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { b.push_back(0); }));
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { b.resize(20000); }));
    EXPECT_TRUE(acceptsDamaged([](std::vector<uint8_t>&) {}));
}

TEST(SavedGameFile, AFileOfAnotherModeIsRefused) {
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>&) {}, 0));
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { b[51607] = 3; }, 3));
}

TEST(SavedGameFile, CellValuesOutsideTheirRangesAreRefused) {
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, kCell23, 3); }));        // squares
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, kCell23, -2); }));
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, kCell23 + 4, 2); }));    // chained
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, kCell23 + 16, 17); }));  // figure
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, kCell23 + 16, -2); }));
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, kCell23 + 20, 32); }));  // animFrame
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, kCell23 + 24, 6); }));   // bonus
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, kCell23 + 28, -1); }));  // pending
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, kCell23 + 56, 2); }));   // breakMark
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) {
        putF32(b, kCell23 + 8, std::numeric_limits<float>::quiet_NaN());
    }));
}

TEST(SavedGameFile, SlotsExplosionsAndClocksOutsideTheirRangesAreRefused) {
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, 51408, 150); }));   // debris slot
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, 51412, -1); }));    // explosion slot
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, 51548, 16); }));    // bolt slot
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, 51528, 3); }));     // cursor kind
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, 9000, 6); }));      // explosion kind
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, 9004, 11); }));     // explosion row
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, 9008, 12); }));     // explosion column
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { putI32(b, 0, 18); }));        // debris kind
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) {
        putF32(b, 51616, std::numeric_limits<float>::infinity());
    }));
    EXPECT_FALSE(acceptsDamaged([](std::vector<uint8_t>& b) { b[51600] = 2; }));  // paused flag
}

TEST(SavedGameFile, ATipTextOutsideTheTableMeansNoTip) {
    std::vector<uint8_t> golden = loadHexFixture("savedgame.hex");
    auto g = std::make_unique<SavedGame>();
    ASSERT_TRUE(decodeSavedGame(golden.data(), golden.size(), 2, 42, *g));
    EXPECT_EQ(g->tip.textRef, -1);
    EXPECT_EQ(g->tip.showing, 0);
}

TEST(SavedGameFile, ARefusedFileLeavesTheTargetUntouched) {
    std::vector<uint8_t> golden = loadHexFixture("savedgame.hex");
    putI32(golden, kCell23 + 16, 99);
    auto g = std::make_unique<SavedGame>();
    std::memset(g.get(), 0x5A, sizeof(SavedGame));
    ASSERT_FALSE(decodeSavedGame(golden.data(), golden.size(), 2, 100, *g));
    const uint8_t* raw = reinterpret_cast<const uint8_t*>(g.get());
    for (size_t i = 0; i < sizeof(SavedGame); ++i) ASSERT_EQ(raw[i], 0x5A);
}

TEST(SavedGameFile, FileNamesOnlyForSafeNames) {
    char name[64];
    ASSERT_TRUE(savedGameFileName("ANNA B", 0, name, sizeof name));
    EXPECT_STREQ(name, "ANNA B_cls.sav");
    ASSERT_TRUE(savedGameFileName("ANNA B", 1, name, sizeof name));
    EXPECT_STREQ(name, "ANNA B_ndl.sav");
    ASSERT_TRUE(savedGameFileName("ANNA B", 2, name, sizeof name));
    EXPECT_STREQ(name, "ANNA B_org.sav");
    EXPECT_FALSE(savedGameFileName("../X", 0, name, sizeof name));
    EXPECT_FALSE(savedGameFileName("", 0, name, sizeof name));
    EXPECT_FALSE(savedGameFileName("ANNA", 3, name, sizeof name));
}
