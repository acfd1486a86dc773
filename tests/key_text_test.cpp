// Key text readers: the first occurrence of a key anywhere in the text, numbers as the
// standard decimal conversion reads them, lists and triples, all cut to their buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "app/key_text.h"

namespace {

TEST(KeyTextString, ValueRunsToTheCarriageReturn) {
    const char* text = "name=level one\r\ntexture1=field\\field0.tga\r\n";
    char buffer[64];
    EXPECT_STREQ(getString(buffer, sizeof buffer, text, "name="), "level one");
    EXPECT_STREQ(getString(buffer, sizeof buffer, text, "texture1="), "field\\field0.tga");
    EXPECT_STREQ(getString(buffer, sizeof buffer, text, "texture2="), "");
}

TEST(KeyTextString, FirstOccurrenceWinsEvenInsideALongerKey) {
    const char* text = "drot=5\r\nrot=7\r\nlevel=3\r\nlevel=4\r\n";
    EXPECT_EQ(getInt(text, "rot="), 5) << "\"rot=\" is found inside \"drot=\", which comes first";
    EXPECT_EQ(getInt(text, "\nrot="), 7);
    EXPECT_EQ(getInt(text, "level="), 3);
}

TEST(KeyTextString, LongValuesAreCutToTheBuffer) {
    std::string text = "caption=" + std::string(300, 'w') + "\r\nnext=1\r\n";
    char buffer[16];
    std::memset(buffer, 'X', sizeof buffer);
    getString(buffer, 8, text.c_str(), "caption=");
    EXPECT_STREQ(buffer, "wwwwwww");
    EXPECT_EQ(buffer[8], 'X') << "nothing is written past the capacity";
    getString(buffer, 1, text.c_str(), "caption=");
    EXPECT_STREQ(buffer, "");
}

TEST(KeyTextString, LastValueWithoutALineEndRunsToTheEnd) {
    char buffer[32];
    EXPECT_STREQ(getString(buffer, sizeof buffer, "a=1\r\nb=tail", "b="), "tail");
}

TEST(KeyTextNumbers, IntegersTruncateTowardZero) {
    const char* text = "a=7.9\r\nb=-2.5\r\nc=letters\r\nd=12\r\ne= 3x\r\nf=\r\ng=1e30\r\nh=-1e30\r\n";
    EXPECT_EQ(getInt(text, "a="), 7);
    EXPECT_EQ(getInt(text, "b="), -2);
    EXPECT_EQ(getInt(text, "c="), 0);
    EXPECT_EQ(getInt(text, "d="), 12);
    EXPECT_EQ(getInt(text, "e="), 3);
    EXPECT_EQ(getInt(text, "f="), 0);
    EXPECT_EQ(getInt(text, "missing="), 0);
    EXPECT_EQ(getInt(text, "g="), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(getInt(text, "h="), std::numeric_limits<int32_t>::min());
}

TEST(KeyTextNumbers, FloatsReadDecimalsAndExponents) {
    const char* text = "speed=0.25\r\nsize=-1.5e2\r\nhuge=1e300\r\nnone=x\r\n";
    EXPECT_FLOAT_EQ(getFloat(text, "speed="), 0.25f);
    EXPECT_FLOAT_EQ(getFloat(text, "size="), -150.0f);
    EXPECT_EQ(getFloat(text, "huge="), std::numeric_limits<float>::infinity());
    EXPECT_EQ(getFloat(text, "none="), 0.0f);
    EXPECT_EQ(getFloat(text, "missing="), 0.0f);
}

TEST(KeyTextLists, BracketsAndSeparatorsGiveTheValues) {
    const char* text = "c=(255,128,0)\r\nq={4,5}\r\ns=(1;2)\r\nt=( 1.5 , -2 ,3e1)\r\nu=1,2,3\r\n";
    float out[4] = {-1, -1, -1, -1};
    ASSERT_EQ(getFloatList(text, out, 4, "c="), 3);
    EXPECT_EQ(out[0], 255.0f);
    EXPECT_EQ(out[1], 128.0f);
    EXPECT_EQ(out[2], 0.0f);
    EXPECT_EQ(out[3], -1.0f);

    float two[4] = {-1, -1, -1, -1};
    ASSERT_EQ(getFloatList(text, two, 4, "q="), 2);
    EXPECT_EQ(two[0], 4.0f);
    EXPECT_EQ(two[1], 5.0f);
    EXPECT_EQ(two[2], -1.0f);

    float one[2] = {-1, -1};
    ASSERT_EQ(getFloatList(text, one, 2, "s="), 1);
    EXPECT_EQ(one[0], 1.0f) << "\"1;2\" reads as the number 1";
    EXPECT_EQ(one[1], -1.0f);

    float spaced[3] = {};
    ASSERT_EQ(getFloatList(text, spaced, 3, "t="), 3);
    EXPECT_EQ(spaced[0], 1.5f);
    EXPECT_EQ(spaced[1], -2.0f);
    EXPECT_EQ(spaced[2], 30.0f);
}

TEST(KeyTextLists, ValueWithoutAClosingBracketOrKeyWritesNothing) {
    const char* text = "u=1,2,3\r\nempty=\r\n";
    float out[3] = {-1, -1, -1};
    EXPECT_EQ(getFloatList(text, out, 3, "u="), 0);
    EXPECT_EQ(getFloatList(text, out, 3, "empty="), 0);
    EXPECT_EQ(getFloatList(text, out, 3, "missing="), 0);
    EXPECT_EQ(out[0], -1.0f);
    EXPECT_EQ(out[2], -1.0f);
}

TEST(KeyTextLists, ValuesBeyondTheSlotsAreDropped) {
    const char* text = "colours={1,2,3,4,5,6,7,8}\r\n";
    float out[4] = {0, 0, 0, -1};
    ASSERT_EQ(getFloatList(text, out, 3, "colours="), 3);
    EXPECT_EQ(out[2], 3.0f);
    EXPECT_EQ(out[3], -1.0f);

    std::string longList = "l=(";
    for (int i = 0; i < 200; ++i) longList += "1,";
    longList += "1)\r\n";
    float many[300];
    many[0] = -1.0f;
    // Cut to the reader's 260-character buffer the value loses its closing bracket: refused.
    EXPECT_EQ(getFloatList(longList.c_str(), many, 300, "l="), 0);
    EXPECT_EQ(many[0], -1.0f);
}

TEST(KeyTextVectors, TripleAndMissingComponents) {
    const char* text = "pos=(0,-1.5,2)\r\nflat=(1,2)\r\nsingle=(7)\r\n";
    Vector3 v = getVector3(text, "pos=");
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, -1.5f);
    EXPECT_EQ(v.z, 2.0f);
    v = getVector3(text, "flat=");
    EXPECT_EQ(v.x, 1.0f);
    EXPECT_EQ(v.y, 2.0f);
    EXPECT_EQ(v.z, 0.0f);
    v = getVector3(text, "single=");
    EXPECT_EQ(v.x, 7.0f);
    EXPECT_EQ(v.y, 0.0f);
    v = getVector3(text, "missing=");
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.z, 0.0f);
}

TEST(KeyTextReaders, NullTextAndKeysAreHarmless) {
    char buffer[8] = "junk";
    EXPECT_STREQ(getString(buffer, sizeof buffer, nullptr, "a="), "");
    EXPECT_STREQ(getString(buffer, sizeof buffer, "a=1\r\n", nullptr), "");
    EXPECT_EQ(getString(nullptr, 8, "a=1", "a="), nullptr);
    EXPECT_EQ(getInt(nullptr, "a="), 0);
    EXPECT_EQ(getFloatList("a=(1)\r\n", nullptr, 3, "a="), 0);
}

}  // namespace
