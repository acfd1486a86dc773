// The per-profile trophy file and the award of a trophy.
#include <gtest/gtest.h>

#include "progress_support.h"

using progress_testing::bytesOf;
using progress_testing::loadHexFixture;
using progress_testing::Sandbox;

TEST(TrophyFile, WritesTheGoldenFile) {
    Sandbox box;
    box.start();
    ASSERT_TRUE(createProfile("ANNA"));
    EXPECT_TRUE(awardTrophy(1));
    EXPECT_TRUE(awardTrophy(8));
    EXPECT_TRUE(awardTrophy(17));
    clearTrophyNew(1);
    EXPECT_EQ(box.read("ANNA.trp"), bytesOf(loadHexFixture("trophies.hex")));
    clearTrophyState();
    loadTrophyState("ANNA");
    EXPECT_TRUE(trophyEarned(1));
    EXPECT_FALSE(trophyIsNew(1));
    EXPECT_TRUE(trophyIsNew(8));
    EXPECT_TRUE(trophyEarned(17));
    EXPECT_FALSE(trophyEarned(2));
    EXPECT_EQ(nextNewTrophy(), 8);
}

TEST(TrophyFile, ATrophyIsEarnedOnce) {
    Sandbox box;
    box.start();
    ASSERT_TRUE(createProfile("ANNA"));
    EXPECT_TRUE(awardTrophy(16));
    EXPECT_FALSE(awardTrophy(16));
    EXPECT_FALSE(awardTrophy(0));
    EXPECT_FALSE(awardTrophy(18));
    clearTrophyNew(16);
    EXPECT_FALSE(awardTrophy(16));  // presented, still earned
    EXPECT_EQ(nextNewTrophy(), 0);
}

TEST(TrophyFile, AShortFileKeepsItsTrophiesAndALongOneIsCut) {
    std::vector<uint8_t> shortFile = {1, 1, 0, 2, 1};
    TrophyState s;
    decodeTrophyState(shortFile.data(), shortFile.size(), s);
    EXPECT_EQ(s.isNew[0], 1);
    EXPECT_EQ(s.earned[0], 1);
    EXPECT_EQ(s.isNew[1], 0);
    EXPECT_EQ(s.earned[1], 1);
    EXPECT_EQ(s.isNew[2], 1);
    EXPECT_EQ(s.earned[2], 0);
    for (int k = 3; k < kTrophyCount; ++k) EXPECT_EQ(s.isNew[k] | s.earned[k], 0);

    Sandbox box;
    box.start();
    ASSERT_TRUE(createProfile("ANNA"));
    box.write("ANNA.trp", std::string(100, '\x07'));
    loadTrophyState("ANNA");
    for (int k = 1; k <= kTrophyCount; ++k) EXPECT_TRUE(trophyEarned(k));
    std::vector<uint8_t> bytes;
    encodeTrophyState(trophyState(), bytes);
    EXPECT_EQ(bytes.size(), 34u);
    EXPECT_EQ(bytes, std::vector<uint8_t>(34, 1));
}

TEST(TrophyFile, AMissingFileMeansNoTrophies) {
    Sandbox box;
    box.start();
    ASSERT_TRUE(createProfile("ANNA"));
    awardTrophy(3);
    std::filesystem::remove(box.file("ANNA.trp"));
    loadTrophyState("ANNA");
    EXPECT_FALSE(trophyEarned(3));
}
