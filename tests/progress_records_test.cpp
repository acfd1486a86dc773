// The level records and high-score tables: their files, defaults, updates and insertions.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "app/resource_store.h"
#include "app/strings.h"
#include "platform/files.h"

#include "platform/random.h"
#include "progress_support.h"

using progress_testing::bytesOf;
using progress_testing::loadHexFixture;
using progress_testing::Sandbox;

namespace {

std::unique_ptr<RecordTable> goldenRecordState() {
    auto t = std::make_unique<RecordTable>();
    std::memset(t.get(), 0, sizeof(RecordTable));
    LevelRecord& r = t->levels[1][5];
    std::strcpy(r.scoreHolder, "ALICE");
    std::strcpy(r.repeatHolder, "BOB");
    std::strcpy(r.movesHolder, "CAROL");
    std::strcpy(r.timeHolder, "DAVE");
    r.bestScore = 1000;
    r.bestRepeat = 7;
    r.fewestMoves = 33;
    r.fastestMs = 45678;
    t->levels[2][128].bestScore = -5;
    return t;
}

void fillNamedHighScores() {
    const int32_t base[3] = {180000, 250000, 190000};
    HighScoreTable& t = highScoreTable();
    std::memset(&t, 0, sizeof t);
    for (int m = 0; m < 3; ++m)
        for (int j = 0; j < 10; ++j) {
            std::snprintf(t.entries[m][j].name, sizeof t.entries[m][j].name, "P%d%d", m, j);
            t.entries[m][j].score = (10 - j) * base[m];
        }
}

LevelPar fakePar(int n) {
    if (n == 3) return {0.0f, 40};   // no time value
    if (n == 4) return {12.5f, 0};   // no moves value
    return {12.9999f, 40 + n};
}

}  // namespace

TEST(RecordFile, WritesTheGoldenFileAndReadsItBack) {
    auto state = goldenRecordState();
    std::vector<uint8_t> bytes;
    encodeRecordTable(*state, bytes);
    ASSERT_EQ(bytes.size(), kRecordFileBytes);
    std::vector<uint8_t> golden = loadHexFixture("records.hex");
    ASSERT_EQ(golden.size(), kRecordFileBytes);
    EXPECT_EQ(bytes, golden);
    auto back = std::make_unique<RecordTable>();
    ASSERT_TRUE(decodeRecordTable(golden.data(), golden.size(), *back));
    EXPECT_EQ(std::memcmp(back.get(), state.get(), sizeof(RecordTable)), 0);
    EXPECT_FALSE(decodeRecordTable(golden.data(), golden.size() - 1, *back));
}

TEST(RecordFile, NamesWithoutATerminatorEndAtTheField) {
    std::vector<uint8_t> bytes(kRecordFileBytes, 'Z');
    auto back = std::make_unique<RecordTable>();
    ASSERT_TRUE(decodeRecordTable(bytes.data(), bytes.size(), *back));
    EXPECT_EQ(std::strlen(back->levels[2][100].timeHolder), 19u);
    HighScoreTable hs;
    std::vector<uint8_t> hbytes(kHighScoreFileBytes, 'Z');
    ASSERT_TRUE(decodeHighScoreTable(hbytes.data(), hbytes.size(), hs));
    EXPECT_EQ(std::strlen(hs.entries[1][9].name), 31u);
}

TEST(HighScoreFile, WritesTheGoldenFileAfterAnInsertion) {
    Sandbox box;
    fillNamedHighScores();
    EXPECT_EQ(insertHighScore(1, 1250000, "NEWBIE"), 6);  // equal to row 5: goes below it
    std::vector<uint8_t> bytes;
    encodeHighScoreTable(highScoreTable(), bytes);
    ASSERT_EQ(bytes.size(), kHighScoreFileBytes);
    std::vector<uint8_t> golden = loadHexFixture("hiscore.hex");
    EXPECT_EQ(bytes, golden);
    HighScoreTable back;
    ASSERT_TRUE(decodeHighScoreTable(golden.data(), golden.size(), back));
    EXPECT_EQ(std::memcmp(&back, &highScoreTable(), sizeof back), 0);
}

TEST(HighScores, TheTenthPlaceAndTies) {
    Sandbox box;
    fillNamedHighScores();
    // Adventure runs 1800000 down to 180000.
    EXPECT_EQ(insertHighScore(0, 180000, "EQUAL"), -1);
    EXPECT_EQ(newEntryIndex(), -1);
    EXPECT_EQ(insertHighScore(0, 180001, "ONEMORE"), 9);
    EXPECT_STREQ(highScoreTable().entries[0][9].name, "ONEMORE");
    EXPECT_EQ(insertHighScore(0, 1800000, "TOP"), 1);
    EXPECT_STREQ(highScoreTable().entries[0][0].name, "P00");
    EXPECT_STREQ(highScoreTable().entries[0][1].name, "TOP");
    EXPECT_STREQ(highScoreTable().entries[0][2].name, "P01");
    EXPECT_EQ(highScoreTable().entries[0][9].score, 360000);  // ONEMORE dropped out
    EXPECT_EQ(newEntryIndex(), 1);
    clearNewEntryIndex();
    EXPECT_EQ(newEntryIndex(), -1);
    EXPECT_EQ(insertHighScore(3, 5000000, "NOMODE"), -1);
}

TEST(HighScores, LongNamesAreCutToTheField) {
    Sandbox box;
    fillNamedHighScores();
    std::string longName(40, 'Q');
    ASSERT_EQ(insertHighScore(2, 99999999, longName.c_str()), 0);
    EXPECT_EQ(std::string(highScoreTable().entries[2][0].name), std::string(31, 'Q'));
    updateLevelRecord(2, 0, 1, 0, 0, 0.0f, longName.c_str());
    EXPECT_EQ(std::string(recordTable().levels[2][0].scoreHolder), std::string(19, 'Q'));
}

TEST(HighScores, DefaultsFallInEqualStepsOfTheModesBase) {
    HighScoreTable t;
    buildDefaultHighScores(t);
    EXPECT_EQ(t.entries[0][0].score, 1800000);
    EXPECT_EQ(t.entries[0][9].score, 180000);
    EXPECT_EQ(t.entries[1][0].score, 2500000);
    EXPECT_EQ(t.entries[2][4].score, 6 * 190000);
}

TEST(LevelRecords, DefaultsAreTheLevelFilesParValues) {
    auto t = std::make_unique<RecordTable>();
    platform::srand(7);
    buildDefaultRecords(*t, fakePar);
    for (int m = 0; m < 3; ++m) {
        EXPECT_EQ(t->levels[m][3].fastestMs, 10000);
        EXPECT_EQ(t->levels[m][3].fewestMoves, 40);
        EXPECT_EQ(t->levels[m][4].fastestMs, 12500);
        EXPECT_EQ(t->levels[m][4].fewestMoves, 50);
        EXPECT_EQ(t->levels[m][10].fastestMs, 12999);  // truncated
        EXPECT_EQ(t->levels[m][10].fewestMoves, 50);
        EXPECT_EQ(t->levels[m][10].bestScore, 0);
        EXPECT_EQ(t->levels[m][10].bestRepeat, 0);
    }
    // Without level files every level gets 10 s and 50 moves.
    buildDefaultRecords(*t, nullptr);
    EXPECT_EQ(t->levels[1][128].fastestMs, 10000);
    EXPECT_EQ(t->levels[1][128].fewestMoves, 50);
}

TEST(LevelRecords, EqualValuesTakeTheRecordOver) {
    Sandbox box;
    LevelRecord& r = recordTable().levels[0][7];
    r.bestScore = 500;
    r.bestRepeat = 3;
    r.fewestMoves = 30;
    r.fastestMs = 20000;
    std::strcpy(r.movesHolder, "PAR");
    updateLevelRecord(0, 7, 499, 2, 31, 20000.5f, "LATE");
    EXPECT_EQ(r.bestScore, 500);
    EXPECT_EQ(r.bestRepeat, 3);
    EXPECT_EQ(r.fewestMoves, 30);
    EXPECT_EQ(r.fastestMs, 20000);
    EXPECT_STREQ(r.movesHolder, "PAR");
    updateLevelRecord(0, 7, 500, 3, 30, 20000.0f, "EVEN");
    EXPECT_STREQ(r.scoreHolder, "EVEN");
    EXPECT_STREQ(r.repeatHolder, "EVEN");
    EXPECT_STREQ(r.movesHolder, "EVEN");
    EXPECT_STREQ(r.timeHolder, "EVEN");
    updateLevelRecord(0, 7, 900, 4, 12, 12345.9f, "BEST");
    EXPECT_EQ(r.fastestMs, 12345);
    EXPECT_EQ(r.fewestMoves, 12);
    // Other modes and levels are untouched; bad indices are ignored.
    EXPECT_EQ(recordTable().levels[1][7].bestScore, 0);
    updateLevelRecord(3, 7, 1, 1, 1, 1.0f, "X");
    updateLevelRecord(0, 129, 1, 1, 1, 1.0f, "X");
    updateLevelRecord(0, -1, 1, 1, 1, 1.0f, "X");
}

TEST(RecordFiles, WrongSizesGiveDefaultsAndKeepABadCopy) {
    Sandbox box;
    std::filesystem::create_directories(box.folder);
    box.write("records.dat", std::string(100, 'r'));
    box.write("hiscore.dat", std::string(1081, 'h'));
    box.start();
    EXPECT_EQ(highScoreTable().entries[0][0].score, 1800000);
    EXPECT_EQ(recordTable().levels[0][0].fewestMoves, 50);
    // Nothing is lost until the first save, which keeps the rejected files.
    EXPECT_EQ(box.read("records.dat"), std::string(100, 'r'));
    saveProgress();
    EXPECT_EQ(box.read("records.dat.bad"), std::string(100, 'r'));
    EXPECT_EQ(box.read("hiscore.dat.bad"), std::string(1081, 'h'));
    EXPECT_EQ(box.read("records.dat").size(), kRecordFileBytes);
    EXPECT_EQ(box.read("hiscore.dat").size(), kHighScoreFileBytes);
    // A second save does not replace the kept copy with the good file.
    saveProgress();
    EXPECT_EQ(box.read("records.dat.bad"), std::string(100, 'r'));
}

TEST(RecordFiles, TablesSurviveARestart) {
    Sandbox box;
    box.start();
    ASSERT_TRUE(createProfile("ANNA"));
    updateLevelRecord(2, 50, 1234, 5, 6, 7890.0f, "ANNA");
    insertHighScore(2, 1900001, "ANNA");
    saveProgress();
    std::string records = box.read("records.dat");
    resetRecordState();
    resetProgressState();
    box.start();
    EXPECT_EQ(recordTable().levels[2][50].bestScore, 1234);
    EXPECT_STREQ(highScoreTable().entries[2][0].name, "ANNA");
    EXPECT_EQ(newEntryIndex(), -1);
    saveProgress();
    EXPECT_EQ(box.read("records.dat"), records);
}

TEST(RecordFiles, RemovingAProfileLeavesItsNameInTheTables) {
    Sandbox box;
    box.start();
    ASSERT_TRUE(createProfile("ANNA"));
    insertHighScore(0, 9999999, "ANNA");
    updateLevelRecord(0, 1, 99999, 0, 0, 0.0f, "ANNA");
    removeProfile(0);
    EXPECT_STREQ(highScoreTable().entries[0][0].name, "ANNA");
    EXPECT_STREQ(recordTable().levels[0][1].scoreHolder, "ANNA");
}

TEST(RecordFiles, FirstRunDefaultsComeFromTheLevelFilesAndTheDefaultNames) {
    REQUIRE_DATA_SET("levels/pack1_01.lvl");
    Sandbox box;
    std::string dataFolder = std::string(SANDMERE_DATA_DIR) + "/";
    std::string back = platform::currentDir();
    ASSERT_TRUE(platform::changeDir(dataFolder.c_str()));
    resetResourceStore();
    openPack("texts.dat");
    loadStrings("strings2.txt");
    std::string first = lookupText("defname1");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(std::string(defaultName(0)), first);
    std::set<std::string> names;
    for (int k = 0; k < 10; ++k) names.insert(defaultName(k));
    EXPECT_EQ(names.size(), 10u);

    // The level files are read from the data set; the players' files go to the sandbox.
    application().dataFolder = dataFolder;
    setSettingsFolder(box.folder.string());
    std::filesystem::create_directories(box.folder);
    loadRecordTables();
    for (int m = 0; m < 3; ++m) {
        EXPECT_EQ(recordTable().levels[m][0].fewestMoves, 12);
        EXPECT_EQ(recordTable().levels[m][0].fastestMs, 38000);
        EXPECT_EQ(recordTable().levels[m][4].fewestMoves, 10);
        EXPECT_EQ(recordTable().levels[m][4].fastestMs, 17300);
        EXPECT_EQ(names.count(recordTable().levels[m][7].timeHolder), 1u);
    }
    for (int j = 0; j < 10; ++j) EXPECT_STREQ(highScoreTable().entries[1][j].name, defaultName(j));
    EXPECT_EQ(platform::currentDir() + "/", dataFolder);  // back where it was
    freeStrings();
    resetResourceStore();
    platform::changeDir(back.c_str());
}
