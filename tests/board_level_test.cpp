// Level files: keys and defaults, every grid code, the picture table, the limits, the first fill.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "board_support.h"

using namespace board_test;

namespace {

const char* kPlainRow = "000000000000";

std::vector<std::string> plainRows(int n = kRows) { return std::vector<std::string>(static_cast<size_t>(n), kPlainRow); }

// Reads a level text into a fresh board without dealing.
void readOnly(const std::string& text, int index = 3) {
    resetBoardState();
    board().levelIndex = index;
    loadLevelFromText(index, text.c_str());
}

void startFromText(const std::string& text, int index = 3, GameMode mode = kAdventure) {
    board().mode = mode;
    resetBoardState();
    board().levelIndex = index;
    loadLevelFromText(index, text.c_str());
    fillBoard();
    setupLevel();
}

}  // namespace

class LevelFile : public ::testing::Test {
protected:
    void SetUp() override { freshBoard(7); }
};

TEST_F(LevelFile, EveryGridCodeSetsTheCellItNames) {
    // Row 0: the square and preset codes; row 1: the bomb codes above 0xC0 and the bytes that
    // take a cell's place but leave it as it is; the separators between them are skipped.
    std::string row0 = ". 0 1 2 A O Q _ a o q z";
    std::string row1 = "\xC0\xCE\xD0\xDE" "3@P`p\xCF\xDF\xFF";
    std::string text = "figures=17\r\nlevel=\r\n" + row0 + "\r\n" + row1 + "\r\n";
    readOnly(text);
    const Board& b = board();

    struct Expect {
        int squares, chained, figure, bonus;
    };
    const Expect r0[12] = {{-1, 0, 0, 0}, {0, 0, 0, 0}, {1, 0, 0, 0},  {2, 0, 0, 0},
                           {2, 1, 0, 0},  {2, 1, 14, 0}, {2, 1, 0, 1}, {2, 1, 14, 1},
                           {2, 1, 0, 2},  {2, 1, 14, 2}, {2, 1, 0, 3}, {2, 1, 9, 3}};
    for (int c = 0; c < 12; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(b.cells[0][c].squares, r0[c].squares);
        EXPECT_EQ(b.cells[0][c].chained, r0[c].chained);
        EXPECT_EQ(b.cells[0][c].figure, r0[c].figure);
        EXPECT_EQ(b.cells[0][c].bonus, r0[c].bonus);
    }
    const Expect r1[4] = {{2, 1, 0, 4}, {2, 1, 14, 4}, {2, 1, 0, 5}, {2, 1, 14, 5}};
    for (int c = 0; c < 4; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(b.cells[1][c].squares, r1[c].squares);
        EXPECT_EQ(b.cells[1][c].chained, r1[c].chained);
        EXPECT_EQ(b.cells[1][c].figure, r1[c].figure);
        EXPECT_EQ(b.cells[1][c].bonus, r1[c].bonus);
    }
    // The eight ignored codes each used up one cell and changed nothing.
    for (int c = 4; c < 12; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(b.cells[1][c].squares, 0);
        EXPECT_EQ(b.cells[1][c].chained, 0);
        EXPECT_EQ(b.cells[1][c].bonus, 0);
    }
    // Nothing was left over for row 2.
    EXPECT_EQ(b.cells[2][0].squares, 0);
}

TEST_F(LevelFile, IgnoredBytesDoNotShiftTheGrid) {
    // An ignored code placed over a square cell keeps that cell: the next code lands next door.
    std::string text = levelText("", {"2P2", kPlainRow});
    readOnly(text);
    EXPECT_EQ(board().cells[0][0].squares, 2);
    EXPECT_EQ(board().cells[0][1].squares, 0);
    EXPECT_EQ(board().cells[0][2].squares, 2);
    // Bytes outside the accepted ranges are skipped without taking a cell.
    readOnly(std::string("level=\x01\x7F\x80\xBF,/-1"));
    EXPECT_EQ(board().cells[0][0].squares, 1);
}

TEST_F(LevelFile, AGridThatEndsEarlyLeavesPlainCellsThatGetFigures) {
    std::vector<std::string> rows = {"111111111111", "222222222222", "............", "111111111111"};
    std::string text = "figures=5\r\nlevel=\r\n";
    for (auto& r : rows) text += r + "\r\n";
    text += "\r\n222222222222\r\n";  // after the empty line: not part of the grid
    startFromText(text);
    const Board& b = board();
    EXPECT_EQ(b.cells[2][5].squares, -1);
    for (int r = 4; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            EXPECT_EQ(b.cells[r][c].squares, 0);
            EXPECT_GE(b.cells[r][c].figure, 0);
            EXPECT_LT(b.cells[r][c].figure, 5);
        }
    // A text that ends in the middle of a row: the rest stays plain, nothing is read beyond.
    readOnly("level=1111");
    EXPECT_EQ(board().cells[0][3].squares, 1);
    EXPECT_EQ(board().cells[0][4].squares, 0);
}

TEST_F(LevelFile, OneFigureKindMakesEveryPairAGroup) {
    startFromText(levelText("figures=1\r\n", plainRows()));
    const Board& b = board();
    EXPECT_EQ(b.figureCount, 1);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) EXPECT_EQ(b.cells[r][c].figure, 0);
    ASSERT_TRUE(countGroups());
    EXPECT_EQ(b.groupCount, 1);
    findGroup(5, 5);
    EXPECT_EQ(b.groupSize, kCellCount);
}

TEST_F(LevelFile, ALetterBeyondTheKindsPlacesAKindTheDealNeverMakes) {
    std::vector<std::string> rows = plainRows();
    rows[10] = "00000J000000";
    startFromText(levelText("figures=5\r\n", rows));
    const Board& b = board();
    EXPECT_EQ(b.cells[10][5].figure, 9);
    EXPECT_EQ(b.cells[10][5].chained, 1);
    EXPECT_EQ(b.cells[10][5].squares, 2);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (r != 10 || c != 5) {
                EXPECT_LT(b.cells[r][c].figure, 5);
            }
    findGroup(10, 5);
    EXPECT_EQ(b.groupSize, 1);
}

TEST_F(LevelFile, FigureKeysSwapPicturesInTwoWrites) {
    readOnly("figures=2\r\nfigure0=rings2\r\nfigure1=nothing\r\n");
    const Board& b = board();
    EXPECT_EQ(b.pictureOfFigure[0], 4);
    EXPECT_EQ(b.pictureOfFigure[4], 0);
    EXPECT_EQ(b.pictureOfFigure[1], 1);  // an unknown name leaves the table
    for (int k = 5; k < kFigureKinds; ++k) EXPECT_EQ(b.pictureOfFigure[k], k);

    // Two kinds naming one picture: the later writes win and the table is no permutation.
    readOnly("figures=2\r\nfigure0=perl\r\nfigure1=perl\r\n");
    EXPECT_EQ(b.pictureOfFigure[0], 2);
    EXPECT_EQ(b.pictureOfFigure[1], 2);
    EXPECT_EQ(b.pictureOfFigure[2], 1);

    // Only kinds below the count are read; the last name reaches picture 16.
    readOnly("figures=3\r\nfigure2=diamond\r\nfigure3=crown\r\n");
    EXPECT_EQ(b.pictureOfFigure[2], 16);
    EXPECT_EQ(b.pictureOfFigure[16], 2);
    EXPECT_EQ(b.pictureOfFigure[3], 3);
    EXPECT_EQ(b.pictureOfFigure[10], 10);
}

TEST_F(LevelFile, MissingKeysTakeTheirDefaults) {
    platform::srand(99);
    readOnly(levelText("", plainRows()), 7);
    const Board& b = board();
    EXPECT_EQ(b.figureCount, 8);
    EXPECT_FLOAT_EQ(b.timeValue, 10.0f);
    EXPECT_EQ(b.movesValue, 50);
    platform::srand(99);
    const int expectedBack = platform::rand() % 16;
    EXPECT_EQ(levelBackdrop()[7], expectedBack);

    readOnly("figures=0\r\ntime=0\r\nmoves=0\r\nback=0\r\n", 8);
    EXPECT_EQ(b.figureCount, 8);
    EXPECT_FLOAT_EQ(b.timeValue, 10.0f);
    EXPECT_EQ(b.movesValue, 50);
    EXPECT_GE(levelBackdrop()[8], 0);
    EXPECT_LT(levelBackdrop()[8], 16);

    readOnly("figures=6\r\ntime=12.5\r\nmoves=33.9\r\nback=11\r\n", 9);
    EXPECT_EQ(b.figureCount, 6);
    EXPECT_FLOAT_EQ(b.timeValue, 12.5f);
    EXPECT_EQ(b.movesValue, 33);
    EXPECT_EQ(levelBackdrop()[9], 11);
}

TEST_F(LevelFile, FigureCountsOutsideThePicturesAreBounded) {
    readOnly("figures=20\r\nfigure19=coins\r\nfigure16=nugget\r\n");
    EXPECT_EQ(board().figureCount, 17);
    EXPECT_EQ(board().pictureOfFigure[16], 1);
    EXPECT_EQ(board().pictureOfFigure[1], 16);
    for (int i = 0; i < 2000; ++i) {
        int k = randomKind();
        ASSERT_GE(k, 0);
        ASSERT_LT(k, kFigureKinds);
    }
    readOnly("figures=-3\r\n");
    EXPECT_EQ(board().figureCount, 8);
}

TEST_F(LevelFile, NoKindsDealsKindZeroInsteadOfDividingByZero) {
    // A level whose file went missing keeps no kinds; dealing and refilling still work.
    resetBoardState();
    EXPECT_EQ(board().figureCount, 0);
    EXPECT_EQ(randomKind(), 0);
    setGrid(std::vector<std::string>(kRows, "abababababab"));
    startRefill();
    ASSERT_TRUE(board().refillRunning);
    frames(80);
    EXPECT_FALSE(board().refillRunning);
    for (int c = 0; c < kColumns; ++c) EXPECT_EQ(board().cells[0][c].figure, 0);
}

TEST_F(LevelFile, FileNamesAndIndicesOutsideTheJourney) {
    char name[32];
    levelFileName(0, name, sizeof name);
    EXPECT_STREQ(name, "pack1_01.lvl");
    levelFileName(8, name, sizeof name);
    EXPECT_STREQ(name, "pack1_09.lvl");
    levelFileName(128, name, sizeof name);
    EXPECT_STREQ(name, "pack1_129.lvl");
    board().figureCount = 5;
    EXPECT_FALSE(loadLevelFile(-1));
    EXPECT_FALSE(loadLevelFile(kLevelCount));
    EXPECT_EQ(board().figureCount, 5);  // a level that cannot be read changes nothing
}

TEST_F(LevelFile, TargetsAndDelayTimers) {
    std::vector<std::string> rows = plainRows();
    rows[2] = "000100000000";
    rows[3] = "000200000000";
    rows[4] = "000A00000000";
    readOnly(levelText("", rows));
    setupLevel();
    const Board& b = board();
    EXPECT_EQ(b.targetCount, 1 + 2 + (1 + 2));
    EXPECT_EQ(b.initialTargetCount, b.targetCount);
    EXPECT_FLOAT_EQ(b.cells[2][3].delayTimer, 2 * 100 + 5000 - 3 * 50);
    EXPECT_FLOAT_EQ(b.cells[3][3].delayTimer, 3 * 50 + (5500 - 3 * 100));
    EXPECT_FLOAT_EQ(b.cells[0][0].delayTimer, 0.0f);
}

TEST(LevelLimits, TheFourLevelsInEachMode) {
    // Adventure: fixed times for the first two levels, then the formula (about 31.79 s at index 5).
    EXPECT_FLOAT_EQ(timeLimitFor(0, kAdventure, 10.0f, 4), 300000.0f);
    EXPECT_FLOAT_EQ(timeLimitFor(1, kAdventure, 10.0f, 4), 150000.0f);
    EXPECT_NEAR(timeLimitFor(5, kAdventure, 10.0f, 4), 31791.0f, 2.0f);
    EXPECT_NEAR(timeLimitFor(128, kAdventure, 10.0f, 4), 10116.5f, 2.0f);
    // The other modes, and a level without a time value, allow 7000 ms per target.
    for (int index : {0, 1, 5, 128}) {
        EXPECT_FLOAT_EQ(timeLimitFor(index, kTimeless, 10.0f, 4), 28000.0f);
        EXPECT_FLOAT_EQ(timeLimitFor(index, kPuzzle, 10.0f, 4), 28000.0f);
        EXPECT_FLOAT_EQ(timeLimitFor(index, kAdventure, 0.0f, 4), 28000.0f);
    }
    // Puzzle: twice the moves for the first two levels, then the formula, cut toward zero.
    EXPECT_EQ(movesLimitFor(0, kPuzzle, 50), 100);
    EXPECT_EQ(movesLimitFor(1, kPuzzle, 50), 100);
    EXPECT_EQ(movesLimitFor(5, kPuzzle, 50), 104);
    EXPECT_EQ(movesLimitFor(128, kPuzzle, 50), 50);
    for (int index : {0, 1, 5, 128}) {
        EXPECT_EQ(movesLimitFor(index, kAdventure, 50), 150);
        EXPECT_EQ(movesLimitFor(index, kTimeless, 50), 150);
        EXPECT_EQ(movesLimitFor(index, kPuzzle, 0), 150);
    }
}

TEST(LevelLimits, AllLevelsFollowTheFormulas) {
    for (int index = 2; index < kLevelCount; ++index) {
        SCOPED_TRACE(index);
        const double n = index + 1;
        const double t = (110.0 / (32.0 * std::sqrt(n) - 5.5 * n + 0.08 * n * n) + 0.9) * 1000.0 * 12.0;
        EXPECT_NEAR(timeLimitFor(index, kAdventure, 12.0f, 1), t, t * 1e-5);
        const double m = 70.0 * (29.0 / (20.0 * std::sqrt(n) - 5.5 * n + 0.3 * n * n) + 1.0);
        const int got = movesLimitFor(index, kPuzzle, 70);
        EXPECT_LE(std::fabs(got - std::trunc(m)), 1.0) << m;
        EXPECT_GE(got, 70);
    }
    // Huge moves values are held inside the integer range.
    EXPECT_EQ(movesLimitFor(5, kPuzzle, 2147483647), 2147483647);
}

TEST_F(LevelFile, SetupUsesTheModeAndTheLevel) {
    startFromText(levelText("time=10\r\nmoves=50\r\n", plainRows()), 5, kAdventure);
    EXPECT_NEAR(board().timeLimitMs, 31791.0f, 2.0f);
    EXPECT_EQ(board().movesLimit, 150);
    startFromText(levelText("time=10\r\nmoves=50\r\n", plainRows()), 5, kPuzzle);
    EXPECT_EQ(board().movesLimit, 104);
    EXPECT_FLOAT_EQ(board().timeLimitMs, 0.0f);  // no targets at all
    EXPECT_EQ(board().mode, kPuzzle);
}

TEST(BoardGeometry, CentresAndTheCellUnderAPoint) {
    EXPECT_FLOAT_EQ(cellCentre(0, 0).x, -243.0f);
    EXPECT_FLOAT_EQ(cellCentre(0, 0).y, 268.0f);
    EXPECT_FLOAT_EQ(cellCentre(10, 11).x, 351.0f);
    EXPECT_FLOAT_EQ(cellCentre(10, 11).y, -272.0f);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            Vec2 p = cellCentre(r, c);
            int rr, cc;
            cellAt(p.x + 26.0f, p.y - 26.0f, rr, cc);
            EXPECT_EQ(rr, r);
            EXPECT_EQ(cc, c);
        }
    int r, c;
    cellAt(-271.0f, 296.0f, r, c);  // just left of and above the board
    EXPECT_EQ(c, -1);
    EXPECT_EQ(r, -1);
    cellAt(-400.0f, 300.0f, r, c);
    EXPECT_LT(c, 0);
    EXPECT_EQ(r, -1);
    cellAt(1e30f, -1e30f, r, c);
    EXPECT_GT(c, 11);
    EXPECT_GT(r, 10);
}

TEST_F(LevelFile, CellPredicatesGuardTheGrid) {
    setGrid({".a-"});
    EXPECT_FALSE(isCell(0, 0));
    EXPECT_TRUE(isCell(0, 1));
    EXPECT_TRUE(hasFigure(0, 1));
    EXPECT_TRUE(isCell(0, 2));
    EXPECT_FALSE(hasFigure(0, 2));
    EXPECT_FALSE(isCell(-1, 0));
    EXPECT_FALSE(isCell(0, 12));
    EXPECT_FALSE(isCell(11, 0));
    EXPECT_FALSE(hasFigure(0, -1));
}

TEST(CellRecord, FieldsInOrderThenZerosUpTo116Bytes) {
    Cell cell;
    std::memset(&cell, 0, sizeof cell);
    cell.squares = -1;
    cell.chained = 1;
    cell.offset = Vec2{1.5f, -54.0f};
    cell.figure = 16;
    cell.refillMark = 1;
    cell.fallSpeed = 2.25f;
    cell.slideFlag = 1;
    cell.hovered = 1;
    cell.alive = 1;
    cell.breakMark = 3;
    cell.hitMark = 1;
    cell.groupStep = -1;
    cell.groupId = 7;
    cell.floatVel = Vec2{0.5f, 3.0f};
    cell.delayTimer = 5450.0f;
    uint8_t record[kCellRecordSize];
    std::memset(record, 0xAB, sizeof record);
    cellToRecord(cell, record);
    EXPECT_EQ(record[0], 0xFF);                     // squares -1, low byte first
    EXPECT_EQ(record[4], 1);                        // chained
    EXPECT_EQ(record[16], 16);                      // figure
    EXPECT_EQ(record[32], 1);                       // refillMark, then three zero bytes
    EXPECT_EQ(record[33] | record[34] | record[35], 0);
    EXPECT_EQ(record[44], 1);                       // slideFlag, hovered, alive
    EXPECT_EQ(record[46], 1);
    EXPECT_EQ(record[56], 3);                       // breakMark
    EXPECT_EQ(record[60], 1);                       // hitMark
    EXPECT_EQ(record[68], 7);                       // groupId
    float delay;
    std::memcpy(&delay, record + 92, 4);
    EXPECT_FLOAT_EQ(delay, 5450.0f);
    for (int i = 96; i < kCellRecordSize; ++i) EXPECT_EQ(record[i], 0) << i;
    Cell back;
    std::memset(&back, 0x5C, sizeof back);
    std::memset(reinterpret_cast<uint8_t*>(&back) + 33, 0, 3);  // padding is not restored
    std::memset(reinterpret_cast<uint8_t*>(&back) + 47, 0, 1);
    std::memset(reinterpret_cast<uint8_t*>(&back) + 61, 0, 3);
    cellFromRecord(record, back);
    EXPECT_EQ(std::memcmp(&back, &cell, sizeof cell), 0);
}
