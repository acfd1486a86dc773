// Points, the score roll-up and extra lives, combos, the limits of each mode, the level end,
// the lost level, game over, the trophy interruption and every row of the trophy awards.
#include <gtest/gtest.h>

#include "audio/audio.h"
#include "board/bonuses.h"
#include "board/scoring.h"
#include "board_outcome_support.h"
#include "board_support.h"

using namespace board_test;

namespace {

bool vecHas(const std::vector<std::string>& v, const char* s) {
    for (const std::string& x : v)
        if (x == s) return true;
    return false;
}

}  // namespace

class Scoring : public ::testing::Test {
protected:
    void SetUp() override {
        freshBoard(17);
        recordOutcomes();
        quietBoard();
    }
};

TEST_F(Scoring, TheRollUpClimbsInStepsAndEndsOnTheScore) {
    Board& b = board();
    b.levelScore = 1000;
    frame();
    EXPECT_EQ(b.shownScore, 160);  // 1000 x 16 x 0.01
    EXPECT_EQ(countTracedAt("effect", "score", -340.0f, 235.0f), 1);
    frames(100);
    EXPECT_EQ(b.shownScore, 1000);
}

TEST_F(Scoring, CrossingAMultipleOf250000GrantsOneLifeOnce) {
    Board& b = board();
    b.carriedScore = 249990;
    b.levelScore = 20;
    frames(20);
    EXPECT_EQ(b.shownScore, 20);
    EXPECT_EQ(outcomeRecord().lifeGains, 1);
    EXPECT_EQ(countTraced("letters", "getlife"), 1);
    EXPECT_EQ(countTraced("sound", "GetLife.ogg"), 1);
    EXPECT_EQ(countTraced("flash", "lives"), 1);
    EXPECT_EQ(b.nextLifeMark, 500000);  // the mark the total now heads for
    // Later roll-ups past the same mark grant nothing more.
    b.levelScore += 5000;
    frames(60);
    EXPECT_EQ(outcomeRecord().lifeGains, 1);
    // A total that starts exactly on a multiple grants nothing on that frame.
    b.carriedScore = 500000 - b.shownScore;
    b.levelScore = b.shownScore + 100;
    frames(30);
    EXPECT_EQ(outcomeRecord().lifeGains, 1);
}

TEST_F(Scoring, TimelessGrantsNoLivesAndNeverLoses) {
    Board& b = board();
    b.mode = kTimeless;
    b.carriedScore = 249990;
    b.levelScore = 20;
    b.timeLimitMs = 1000.0f;
    b.movesLimit = 1;
    b.movesUsed = 5;
    const float elapsed = b.elapsedMs;
    frames(200);
    EXPECT_EQ(outcomeRecord().lifeGains, 0);
    EXPECT_EQ(b.levelLost, 0);
    EXPECT_FLOAT_EQ(b.elapsedMs, elapsed);
    EXPECT_GT(b.playClock, 3000.0f);  // the result window's clock outside adventure
}

TEST_F(Scoring, CombosOfTwoAreKeptUntilAReward) {
    Board& b = board();
    b.comboCount = 2;
    frames(10);
    EXPECT_EQ(b.comboCount, 2);
    EXPECT_EQ(b.levelScore, 0);
    b.comboCount = 3;  // the next chain adds to it
    frame();
    EXPECT_EQ(b.comboCount, 0);
    EXPECT_EQ(b.levelScore, 750);
    EXPECT_EQ(countTracedAt("floating", "coolcombo", 0.0f, 20.0f), 1);
    EXPECT_EQ(countTracedAt("floating", "youwon", 0.0f, -15.0f), 1);
    EXPECT_EQ(countTraced("sound", "BonusPrize.ogg"), 1);
}

TEST_F(Scoring, ComboTitlesByCount) {
    Board& b = board();
    const struct {
        int count;
        const char* title;
        float y;
    } rows[] = {{4, "supercombo", 20.0f}, {8, "megacombo", 20.0f}, {10, "ultracombo", 20.0f}, {12, "impossible", 15.0f}};
    for (const auto& row : rows) {
        b.levelScore = 0;
        b.comboCount = row.count;
        frame();
        EXPECT_EQ(b.levelScore, row.count * 250) << row.title;
        EXPECT_EQ(countTracedAt("floating", row.title, 0.0f, row.y), 1) << row.title;
    }
    EXPECT_EQ(countTracedAt("floating", "youwon", 0.0f, -10.0f), 1);
}

TEST_F(Scoring, NoComboRewardWhileTheBoardMovesOrIsLocked) {
    Board& b = board();
    b.comboCount = 5;
    b.inputLock = 20.0f;
    frame();
    EXPECT_EQ(b.comboCount, 5);
    menuState().menuOpen = true;
    frames(10);
    EXPECT_EQ(b.comboCount, 5);
    menuState().menuOpen = false;
    frame();
    EXPECT_EQ(b.comboCount, 0);
}

class Limits : public ::testing::Test {
protected:
    void SetUp() override {
        freshBoard(18);
        recordOutcomes();
        quietBoard();
    }
};

TEST_F(Limits, AdventureWithTwelvePointNineSecondsLeftPays600) {
    Board& b = board();
    b.timeLimitMs = 100000.0f;
    b.elapsedMs = 87100.0f;
    b.levelScore = 1000;
    clearSquares();
    checkComplete();
    EXPECT_EQ(b.bonusPoints, 600);
    EXPECT_EQ(b.levelScore, 1600);
    EXPECT_EQ(b.levelComplete, 1);
    EXPECT_EQ(b.bonusShowing, 1);
    EXPECT_EQ(outcomeRecord().advanced, 1);
    EXPECT_EQ(outcomeRecord().saves, 1);
    // The clock stops with the completion: no further time is used and the level is not lost.
    frames(700);
    EXPECT_FLOAT_EQ(b.elapsedMs, 87100.0f);
    EXPECT_EQ(b.levelLost, 0);
}

TEST_F(Limits, PuzzleBonusIsAHundredAMoveLeftAndTimelessPaysNothing) {
    Board& b = board();
    b.mode = kPuzzle;
    b.movesLimit = 30;
    b.movesUsed = 21;
    clearSquares();
    checkComplete();
    EXPECT_EQ(b.bonusPoints, 900);
    freshBoard(18);
    recordOutcomes();
    quietBoard();
    board().mode = kTimeless;
    clearSquares();
    checkComplete();
    EXPECT_EQ(board().bonusPoints, 0);
}

TEST_F(Limits, PuzzleLosesOnTheFrameAfterTheLastMove) {
    Board& b = board();
    b.mode = kPuzzle;
    b.movesLimit = 1;
    frames(5);
    EXPECT_EQ(b.levelLost, 0);
    clickCell(10, 0);
    ASSERT_EQ(b.movesUsed, 1);
    EXPECT_EQ(b.levelLost, 0);
    frame();
    EXPECT_EQ(b.levelLost, 1);
    EXPECT_EQ(b.withinLimit, 0);
}

TEST_F(Limits, AdventureLosesWhenTheTimeRunsOutWithTheCueOnce) {
    Board& b = board();
    b.timeLimitMs = 1000.0f;
    frames(62);  // 992 ms
    EXPECT_EQ(b.levelLost, 0);
    EXPECT_GT(countTraced("sound", "TimeOut.ogg"), 1);  // the last 20 s tick
    frames(2);
    EXPECT_EQ(b.levelLost, 1);
    EXPECT_EQ(countTraced("sound", "DefeatLevel.ogg"), 1);
    frames(5);
    EXPECT_EQ(countTraced("sound", "DefeatLevel.ogg"), 1);
}

TEST_F(Limits, TheWarningQuickensInTheLastTwentySeconds) {
    Board& b = board();
    b.timeLimitMs = 60000.0f;
    b.elapsedMs = 40000.0f - 16.0f;
    b.levelClock = b.elapsedMs;
    frames(63);  // about the first second of the last twenty: one cue every 600 ms
    const int early = countTraced("sound", "TimeOut.ogg");
    EXPECT_EQ(early, 1);
    clearTrace();
    b.elapsedMs = 59000.0f;
    b.levelClock = b.elapsedMs;
    frames(60);  // the last second: every 300 ms or so
    EXPECT_GE(countTraced("sound", "TimeOut.ogg"), 3);
}

// The move that breaks the last square wins even when it ends the limit: the last move
// itself, or explosions still running when the time runs out.
class LastMoment : public ::testing::Test {
protected:
    void SetUp() override {
        freshBoard(21);
        recordOutcomes();
    }
    // A quiet board whose bottom row is given; its squares are those the row lays ('1').
    static void bottomRow(const std::string& row10) {
        std::vector<std::string> rows;
        for (int r = 0; r < 9; ++r) rows.push_back(r % 2 ? "ijijijijijij" : "jijijijijiji");
        rows.push_back("ghghghghghgh");
        rows.push_back(row10);
        setGrid(rows);
        board().figureCount = 14;
        frame();
    }
    // Frames until the level is complete (or a limit); whether it was lost on the way.
    static bool playOut(int maxFrames = 300) {
        bool lost = false;
        for (int i = 0; i < maxFrames && !board().levelComplete; ++i) {
            frame();
            lost = lost || board().levelLost;
        }
        return lost;
    }
    static void expectWonWithoutBonus() {
        const Board& b = board();
        EXPECT_EQ(b.levelComplete, 1);
        EXPECT_EQ(b.levelLost, 0);
        EXPECT_FLOAT_EQ(b.lostClock, 0.0f);
        EXPECT_EQ(b.bonusPoints, 0);
        EXPECT_EQ(outcomeRecord().advanced, 1);
        EXPECT_EQ(audioState().targetOrder, musicSectionOrder(5));  // the level end's music
        // The level end runs on; nothing of the loss follows.
        frames(600);
        EXPECT_EQ(b.levelLost, 0);
        EXPECT_EQ(countTraced("floating", "loselife"), 0);
        EXPECT_TRUE(outcomeRecord().messages.empty());
        ASSERT_EQ(outcomeRecord().menus.size(), 1u);
        EXPECT_EQ(outcomeRecord().menus[0], "levelcomplete");
        EXPECT_EQ(outcomeRecord().lives, 3);
    }
};

TEST_F(LastMoment, TheLastMoveThatClearsTheLastSquareWins) {
    Board& b = board();
    b.mode = kPuzzle;
    bottomRow("1abbcdefklmn");  // one square, under the pair "1a"
    b.movesLimit = 5;
    b.movesUsed = 4;
    clickCell(10, 0);
    ASSERT_EQ(b.movesUsed, 5);
    EXPECT_TRUE(playOut());  // the moves ran out before the break
    expectWonWithoutBonus();
}

TEST_F(LastMoment, AChainOfBombsStillRunningWhenTheTimeEndsWins) {
    Board& b = board();
    // Three bombs in a row set each other off 150 ms apart; the last breaks the one square.
    bottomRow("aacbdbe1klmn");
    b.cells[10][1].bonus = kBomb;
    b.cells[10][3].bonus = kBomb;
    b.cells[10][5].bonus = kBomb;
    b.timeLimitMs = 60000.0f;
    b.elapsedMs = b.levelClock = 59900.0f;  // 100 ms left
    clickCell(10, 0);
    ASSERT_EQ(b.movesUsed, 1);
    EXPECT_TRUE(playOut());  // the time ran out while the bombs went off
    expectWonWithoutBonus();
    EXPECT_EQ(countTraced("sound", "ExplosionBomb.ogg"), 3);
}

class LevelEnd : public ::testing::Test {
protected:
    void SetUp() override {
        freshBoard(19);
        recordOutcomes();
        quietBoard();
    }
};

TEST_F(LevelEnd, TheEndRunsItsTimingsAndOpensTheResultByItself) {
    Board& b = board();
    b.levelIndex = 6;
    b.timeLimitMs = 100000.0f;
    b.carriedScore = 5000;
    clearSquares();
    frame();  // the completion test runs on a settled board
    ASSERT_EQ(b.levelComplete, 1);
    frames(30);  // 496 ms
    EXPECT_EQ(countTraced("letters", "levelcomplete"), 0);
    frame();
    EXPECT_EQ(countTracedAt("letters", "levelcomplete", 0.0f, 0.0f), 1);
    EXPECT_EQ(countTracedAt("floating", "bonustime", 0.0f, -120.0f), 1);
    EXPECT_EQ(countTracedAt("effect", "starefIQ", 0.0f, -160.0f), 1);
    frames(200);  // 3700 ms: the tiles sparkle
    EXPECT_GT(countTraced("effect", "levelover0"), 20);
    EXPECT_EQ(b.bonusShowing, 0);
    EXPECT_TRUE(outcomeRecord().menus.empty());
    frames(207);  // 7008 ms
    ASSERT_EQ(outcomeRecord().menus.size(), 1u);
    EXPECT_EQ(outcomeRecord().menus[0], "levelcomplete");
    EXPECT_EQ(outcomeRecord().records, 1);
    EXPECT_EQ(b.resultShown, 1);
    // Closing the window advances once.
    const int shown = b.shownScore;
    advanceAfterComplete();
    advanceAfterComplete();
    EXPECT_EQ(b.levelIndex, 7);
    EXPECT_EQ(outcomeRecord().position, 7);
    EXPECT_EQ(b.carriedScore, 5000 + shown);
    EXPECT_EQ(outcomeRecord().modeScore, 5000 + shown);
    EXPECT_EQ(b.betweenLevels, 1);
    EXPECT_EQ(b.gameFinished, 0);
}

TEST_F(LevelEnd, WinningTheLastLevelFinishesTheGame) {
    Board& b = board();
    b.levelIndex = 128;
    b.carriedScore = 900000;
    b.levelScore = b.shownScore = 1234;
    clearSquares();
    checkComplete();
    advanceAfterComplete();
    advanceAfterComplete();
    EXPECT_EQ(b.gameFinished, 1);
    EXPECT_EQ(b.levelComplete, 0);
    EXPECT_EQ(b.levelIndex, 0);
    EXPECT_EQ(outcomeRecord().position, 0);
    ASSERT_EQ(outcomeRecord().highScores.size(), 1u);
    EXPECT_EQ(outcomeRecord().highScores[0], 901234);
    EXPECT_EQ(outcomeRecord().modeScore, 0);
    EXPECT_EQ(outcomeRecord().lives, 3);
    EXPECT_GE(outcomeRecord().saves, 2);
    EXPECT_EQ(outcomeRecord().gameCompletions, 1);
    EXPECT_EQ(b.levelTouched, 0);
}

class Lost : public ::testing::Test {
protected:
    void SetUp() override {
        freshBoard(20);
        recordOutcomes();
        quietBoard();
    }
};

TEST_F(Lost, TheLossShowsItsTextThenAsksAboutTheLife) {
    Board& b = board();
    outcomeRecord().lives = 1;
    b.levelLost = 1;
    frames(125);  // 2000 ms
    EXPECT_EQ(countTracedAt("floating", "lastlife", 0.0f, 0.0f), 1);
    boardLeftDown();  // too early: nothing before 4000 ms
    EXPECT_FALSE(menuOpen());
    frames(375);  // 8000 ms
    EXPECT_TRUE(menuOpen());
    ASSERT_EQ(outcomeRecord().messages.size(), 1u);
    EXPECT_EQ(outcomeRecord().messages[0], "lostlifetime");
}

TEST_F(Lost, ASecondLossOffersTheSkipAndPuzzleSaysMoves) {
    Board& b = board();
    b.levelLost = 1;
    outcomeRecord().lostOnce = true;
    b.lostClock = 5000.0f;
    lostLife();
    EXPECT_TRUE(vecHas(outcomeRecord().menus, "defeat"));
    menuState().menuOpen = false;
    b.levelIndex = 128;  // not on the last level
    b.mode = kPuzzle;
    lostLife();
    EXPECT_TRUE(vecHas(outcomeRecord().messages, "lostlifemoves"));
    frames(2);
    EXPECT_EQ(countTraced("floating", "loselife"), 0);
}

TEST_F(Lost, WithNoLivesLeftTheGameIsOver) {
    Board& b = board();
    outcomeRecord().lives = 0;
    b.carriedScore = 40000;
    b.levelScore = b.shownScore = 700;
    b.levelIndex = 33;
    b.levelLost = 1;
    frames(130);
    EXPECT_EQ(countTraced("floating", "gameover"), 1);
    frames(400);
    EXPECT_TRUE(vecHas(outcomeRecord().menus, "hiscore"));
    ASSERT_EQ(outcomeRecord().highScores.size(), 1u);
    EXPECT_EQ(outcomeRecord().highScores[0], 40700);
    EXPECT_EQ(outcomeRecord().modeScores.front(), 40700);
    EXPECT_EQ(outcomeRecord().modeScore, 0);
    EXPECT_EQ(outcomeRecord().lives, 3);
    EXPECT_EQ(outcomeRecord().position, 33);
    EXPECT_EQ(countTraced("sound", "DefeatLevel.ogg"), 1);
}

class TrophyAwards : public ::testing::Test {
protected:
    void SetUp() override {
        freshBoard(23);
        quietBoard();
    }
    std::vector<int> earned() const { return outcomeRecord().earned; }
};

TEST_F(TrophyAwards, StepWorthRowsAndTheirFallBacks) {
    struct Row {
        int points;
        std::initializer_list<int> held;
        int expected;
    };
    const Row rows[] = {
        {4999, {}, 0},  {5000, {}, 2},        {6999, {}, 2},          {7000, {}, 5},        {9999, {5}, 2},
        {7000, {2, 5}, 0}, {10000, {}, 4},   {12000, {4}, 5},        {12000, {4, 5}, 2},  {12000, {2, 4, 5}, 0},
    };
    for (const Row& row : rows) {
        recordOutcomes(row.held);
        checkStepTrophies(row.points);
        const std::vector<int> e = earned();
        if (row.expected == 0) EXPECT_TRUE(e.empty()) << row.points;
        else EXPECT_EQ(e, std::vector<int>{row.expected}) << row.points;
    }
}

TEST_F(TrophyAwards, AStepOf12000ThreeTimesGrantsFourThenFiveThenTwo) {
    recordOutcomes();
    for (int i = 0; i < 4; ++i) checkStepTrophies(12000);
    EXPECT_EQ(earned(), (std::vector<int>{4, 5, 2}));
}

TEST_F(TrophyAwards, StreakRows) {
    Board& b = board();
    const struct {
        int streak;
        std::initializer_list<int> held;
        int expected;
    } rows[] = {{8, {}, 0}, {9, {}, 10}, {10, {}, 10}, {11, {}, 12}, {15, {12}, 10}, {11, {10, 12}, 0}};
    for (const auto& row : rows) {
        recordOutcomes(row.held);
        b.colourStreak = row.streak;
        checkStreakTrophies();
        if (row.expected == 0) EXPECT_TRUE(earned().empty()) << row.streak;
        else EXPECT_EQ(earned(), std::vector<int>{row.expected}) << row.streak;
    }
}

TEST_F(TrophyAwards, GroupSizeRowsThroughRealClicks) {
    // A bottom block of 20 and one of 30 of kind 0.
    for (int size : {19, 20, 29, 30}) {
        for (std::initializer_list<int> held : {std::initializer_list<int>{}, std::initializer_list<int>{16}}) {
            freshBoard(23);
            recordOutcomes(held);
            std::vector<std::string> rows(kRows, "ijijijijijij");
            for (int r = 0; r < kRows; ++r) rows[r] = (r % 2 ? "ijijijijijij" : "jijijijijiji");
            for (int i = 0; i < size; ++i) rows[10 - i / 12][i % 12] = 'a';
            setGrid(rows);
            board().figureCount = 10;
            frame();
            clickCell(10, 0);
            ASSERT_EQ(board().movesUsed, 1);
            const std::vector<int> e = earned();
            if (size < 20) EXPECT_TRUE(e.empty());
            else if (size < 30 || held.size() == 1) EXPECT_EQ(e, std::vector<int>{8}) << size;
            else EXPECT_EQ(e, std::vector<int>{16}) << size;
        }
    }
}

TEST_F(TrophyAwards, GroupsHoldingBonusesInARow) {
    Board& b = board();
    recordOutcomes();
    auto group = [&b](int kind, int size) {
        for (int k = 0; k < 6; ++k) b.groupBonusKinds[k] = 0;
        if (kind) b.groupBonusKinds[kind] = 1;
        b.groupSize = size;
        countGroupTrophies();
    };
    for (int i = 0; i < 4; ++i) group(kBomb, 3);
    group(0, 3);  // a group without one resets the count
    for (int i = 0; i < 4; ++i) group(kBomb, 3);
    EXPECT_TRUE(earned().empty());
    group(kBomb, 3);
    EXPECT_EQ(earned(), std::vector<int>{14});
    EXPECT_EQ(b.bombGroupsInRow, 0);
    for (int i = 0; i < 3; ++i) group(kMegaBomb, 2);
    for (int i = 0; i < 4; ++i) group(kLightning, 2);
    EXPECT_EQ(earned(), (std::vector<int>{14, 6, 7}));
    // A held trophy still resets its counter.
    for (int i = 0; i < 5; ++i) group(kBomb, 3);
    EXPECT_EQ(b.bombGroupsInRow, 0);
    EXPECT_EQ(earned().size(), 3u);
}

TEST_F(TrophyAwards, BonusesMadeInARow) {
    Board& b = board();
    recordOutcomes();
    auto make = [&b](int size) {
        b.group[0] = GroupEntry{5, 5, cellCentre(5, 5)};
        b.cells[5][5].bonus = kNoBonus;
        b.cells[5][5].figure = 1;
        b.groupSize = size;
        b.lightningRun = 1;
        createBonuses();
    };
    for (int i = 0; i < 4; ++i) make(6);
    make(9);  // a mega bomb neither counts nor resets the bombs
    EXPECT_TRUE(earned().empty());
    make(5);
    EXPECT_EQ(earned(), std::vector<int>{15});
    make(8);
    make(8);
    make(3);  // a small group resets the mega bombs
    make(8);
    make(8);
    EXPECT_EQ(earned(), std::vector<int>{15});
    make(8);
    EXPECT_EQ(earned(), (std::vector<int>{15, 11}));
}

TEST_F(TrophyAwards, LightningsMadeWithinFiveClicks) {
    Board& b = board();
    recordOutcomes();
    auto click = [&b](bool lightning) {
        b.group[0] = GroupEntry{5, 5, cellCentre(5, 5)};
        b.cells[5][5].bonus = kNoBonus;
        b.cells[5][5].figure = 1;
        b.groupSize = 2;
        b.lightningRun = lightning ? 3 : 1;
        createBonuses();
    };
    click(true);
    for (int i = 0; i < 5; ++i) click(false);  // five clicks without one forget them
    click(true);
    click(true);
    for (int i = 0; i < 4; ++i) click(false);
    click(true);
    EXPECT_TRUE(earned().empty());
    click(true);
    EXPECT_EQ(earned(), std::vector<int>{13});
}

TEST_F(TrophyAwards, TenQuickClicksInARow) {
    Board& b = board();
    recordOutcomes();
    for (int i = 0; i < 9; ++i) {
        b.unsettledClock = 400.0f;
        countQuickClick();
        EXPECT_FLOAT_EQ(b.unsettledClock, 0.0f);
    }
    b.unsettledClock = 500.0f;  // a slow one starts again
    countQuickClick();
    for (int i = 0; i < 9; ++i) countQuickClick();
    EXPECT_TRUE(earned().empty());
    countQuickClick();
    EXPECT_EQ(earned(), std::vector<int>{17});
    EXPECT_EQ(b.quickClicks, 0);
}

TEST_F(TrophyAwards, ComboRowsAndTheirFallBacks) {
    Board& b = board();
    const struct {
        int combo;
        std::initializer_list<int> held;
        int expected;
    } rows[] = {{5, {}, 0},       {6, {}, 1},        {8, {}, 1},         {9, {}, 9},        {10, {9}, 1},
                {11, {}, 3},      {14, {3}, 9},      {11, {3, 9}, 1},    {11, {1, 3, 9}, 0}, {8, {1}, 0}};
    for (const auto& row : rows) {
        recordOutcomes(row.held);
        b.comboCount = row.combo;
        frame();
        EXPECT_EQ(b.comboCount, 0);
        if (row.expected == 0) EXPECT_TRUE(earned().empty()) << row.combo;
        else EXPECT_EQ(earned(), std::vector<int>{row.expected}) << row.combo;
    }
}

TEST_F(TrophyAwards, ANewTrophyPausesAnnouncesAndOpensTheRoom) {
    Board& b = board();
    recordOutcomes();
    outcomeRecord().newTrophy = true;
    frames(31);  // 496 ms
    EXPECT_EQ(b.paused, 0);
    frame();
    EXPECT_EQ(b.paused, 1);
    ASSERT_EQ(outcomeRecord().transitions.size(), 1u);
    EXPECT_EQ(outcomeRecord().transitions[0], "gettrophy");
    frames(61);  // 1488 ms
    EXPECT_EQ(outcomeRecord().roomEntries, 0);
    frame();
    EXPECT_EQ(outcomeRecord().roomEntries, 1);
    EXPECT_EQ(outcomeRecord().roomReturnKind, -2);
    EXPECT_EQ(b.paused, 0);
    EXPECT_EQ(countTraced("sound", "GetTrophy.ogg"), 1);
    // Asked for by the trophies button: no caption.
    outcomeRecord().newTrophy = false;
    b.trophyViewRequested = 1;
    frames(33);
    ASSERT_EQ(outcomeRecord().transitions.size(), 2u);
    EXPECT_EQ(outcomeRecord().transitions[1], "");
}
