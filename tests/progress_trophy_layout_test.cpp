// The trophy room's files: the 1564-byte "trophy.cfg" kept byte for byte, its damaged records,
// the default diagonal, the names of "trophy.txt", and the hover test on a picture's alpha.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "progress/trophies.h"

namespace {

TEST(TrophyLayoutFile, ReadAndWrittenByteForByte) {
    TrophyLayout layout[kTrophyCount];
    for (int i = 0; i < kTrophyCount; ++i) {
        layout[i] = defaultTrophyLayout(i, 128, 96);
        layout[i].scale = 0.5f + 0.1f * static_cast<float>(i);
    }
    layout[3].hovered = 1;  // the run's flag is written as it stands
    std::vector<uint8_t> bytes;
    encodeTrophyLayout(layout, bytes);
    ASSERT_EQ(bytes.size(), kTrophyLayoutFileBytes);
    for (size_t at : {size_t(16), size_t(24), size_t(87), size_t(89), size_t(91)}) EXPECT_EQ(bytes[at], 0) << at;
    EXPECT_EQ(bytes[3 * kTrophyLayoutBytes + 88], 1);
    TrophyLayout back[kTrophyCount];
    ASSERT_TRUE(decodeTrophyLayout(bytes.data(), bytes.size(), back));
    std::vector<uint8_t> again;
    encodeTrophyLayout(back, again);
    EXPECT_EQ(again, bytes);
    // Anything but the whole file leaves the layout as it was.
    TrophyLayout kept[kTrophyCount];
    kept[0].x = 7.0f;
    EXPECT_FALSE(decodeTrophyLayout(bytes.data(), bytes.size() - 1, kept));
    EXPECT_FALSE(decodeTrophyLayout(nullptr, 0, kept));
    EXPECT_FLOAT_EQ(kept[0].x, 7.0f);
}

TEST(TrophyLayoutFile, TheDefaultDiagonalAndDamagedRecords) {
    const TrophyLayout first = defaultTrophyLayout(0, 100, 80);
    EXPECT_FLOAT_EQ(first.width, 100.0f);
    EXPECT_FLOAT_EQ(first.height, 80.0f);
    EXPECT_FLOAT_EQ(first.x, -380.0f);
    EXPECT_FLOAT_EQ(first.y, 280.0f);
    EXPECT_FLOAT_EQ(first.scale, 1.0f);
    const TrophyLayout last = defaultTrophyLayout(16, 100, 80);
    EXPECT_NEAR(last.x, 16.0f * 760.0f / 17.0f - 380.0f, 1e-3);
    EXPECT_NEAR(last.y, 280.0f - 16.0f * 560.0f / 17.0f, 1e-3);
    // Sizes and places that are no numbers, or sizes of nothing, keep the defaults.
    TrophyLayout layout[kTrophyCount];
    for (int i = 0; i < kTrophyCount; ++i) {
        layout[i] = defaultTrophyLayout(i, 64, 64);
        layout[i].x = 100.0f + static_cast<float>(i);  // what a sound record brings
    }
    std::vector<uint8_t> bytes;
    encodeTrophyLayout(layout, bytes);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const struct {
        int record, offset;
        float value;
    } damage[] = {{1, 0, nan}, {2, 4, -3.0f}, {3, 8, inf}, {4, 20, 0.0f}, {5, 12, 1e20f}, {6, 8, 55.0f}};
    for (const auto& d : damage) std::memcpy(&bytes[d.record * kTrophyLayoutBytes + d.offset], &d.value, 4);
    TrophyLayout read[kTrophyCount];
    for (int i = 0; i < kTrophyCount; ++i) read[i] = defaultTrophyLayout(i, 64, 64);
    ASSERT_TRUE(decodeTrophyLayout(bytes.data(), bytes.size(), read));
    for (int i = 1; i <= 5; ++i) EXPECT_FLOAT_EQ(read[i].x, defaultTrophyLayout(i, 64, 64).x) << i;
    EXPECT_FLOAT_EQ(read[6].x, 55.0f);  // sound records are taken
    EXPECT_FLOAT_EQ(read[7].x, 107.0f);
}

TEST(TrophyLayoutFile, NamesOfThePicturesAndTheHoverTestOnAlpha) {
    const std::string text = "trophy1=cup01.tga\r\ntrophylum1=cup01_glow.tga\r\ntrophy17=" + std::string(200, 'x') + "\r\n";
    static char pictures[kTrophyCount][kTrophyNameBytes];
    static char glows[kTrophyCount][kTrophyNameBytes];
    readTrophyNames(text.c_str(), pictures, glows);
    EXPECT_STREQ(pictures[0], "cup01.tga");
    EXPECT_STREQ(glows[0], "cup01_glow.tga");
    EXPECT_STREQ(pictures[5], "");
    EXPECT_EQ(std::strlen(pictures[16]), static_cast<size_t>(kTrophyNameBytes - 1));
    // A 2 x 2 picture: only its top-right texel has any alpha at all (1 counts).
    TrophyMask mask;
    mask.width = mask.height = 2;
    mask.alpha = {0, 1, 0, 0};
    EXPECT_TRUE(maskOpaqueAt(mask, 0.75f, 0.25f));
    EXPECT_FALSE(maskOpaqueAt(mask, 0.25f, 0.25f));
    EXPECT_FALSE(maskOpaqueAt(mask, 0.75f, 0.75f));
    EXPECT_FALSE(maskOpaqueAt(mask, 1.0f, 0.25f));
    EXPECT_FALSE(maskOpaqueAt(mask, -0.01f, 0.25f));
    EXPECT_FALSE(maskOpaqueAt(mask, std::numeric_limits<float>::quiet_NaN(), 0.5f));
    EXPECT_FALSE(maskOpaqueAt(TrophyMask{}, 0.5f, 0.5f));
}

}  // namespace
