// The first-time tips: where and when board play raises each one, and their flags as the
// player's own, from the mode choice through play to the next run of the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "app/play_runner.h"
#include "board_support.h"
#include "progress/game_modes.h"
#include "progress/profiles.h"
#include "test_support.h"

using namespace board_test;

namespace {

bool waiting(int slot) { return outcomeHooks().tipFlag(slot); }

// The one tip traced since the last clearTrace, and where it was shown.
struct Shown {
    std::string key;
    float x = 0.0f;
    float y = 0.0f;
};
std::vector<Shown> tipsShown() {
    std::vector<Shown> out;
    for (int i = 0; i < traceCount(); ++i) {
        const TraceEntry& e = traceAt(i);
        if (std::string(e.kind) == "tip") out.push_back(Shown{e.name, e.x, e.y});
    }
    return out;
}

void expectTipAtCell(const char* key, int row, int column) {
    const Vec2 p = cellCentre(row, column);
    EXPECT_EQ(countTracedAt("tip", key, p.x, p.y), 1) << key;
    EXPECT_EQ(countTracedAt("effect", "blik4", p.x, p.y), 1) << key;
    EXPECT_EQ(tipsShown().size(), 1u) << key;
}

}  // namespace

class FirstTimeTips : public ::testing::Test {
protected:
    void SetUp() override { freshBoard(31); }
};

TEST_F(FirstTimeTips, TheWelcomeGreetsAtTheFirstCellOfGroupZeroOnce) {
    const std::string text = levelText("figures=4\r\nback=1\r\n", std::vector<std::string>(kRows, "111111111111"));
    startLevelFromText(0, text.c_str());
    for (int i = 0; i < 300 && tipsShown().empty(); ++i) frame();
    ASSERT_TRUE(isSettled());
    const std::vector<Shown> shown = tipsShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].key, "welcome");
    EXPECT_EQ(countTracedAt("effect", "blik4", shown[0].x, shown[0].y), 1);
    // The first cell in row-major order of group 0.
    int row = -1, column = -1;
    for (int r = 0; r < kRows && row < 0; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (board().cells[r][c].groupId == 0) {
                row = r;
                column = c;
                break;
            }
    ASSERT_GE(row, 0);
    EXPECT_EQ(cellCentre(row, column).x, shown[0].x);
    EXPECT_EQ(cellCentre(row, column).y, shown[0].y);
    EXPECT_FALSE(waiting(kTipWelcome));
    // Not modal: the next click closes it and plays on.
    EXPECT_EQ(board().tip.modal, 0);
    closeTip();
    startLevelFromText(1, text.c_str());
    clearTrace();
    frames(300);
    EXPECT_EQ(countTraced("tip", "welcome"), 0);
}

TEST_F(FirstTimeTips, SquareAndChainTipsWaitForMovesAndForLaterGroups) {
    std::vector<std::string> rows;
    for (int r = 0; r < 8; ++r) rows.push_back(r % 2 ? "ijijijijijij" : "jijijijijiji");
    // Groups by their first cell: 0 "cc", 1 "dd", 2 the single squares, 3 the dual squares,
    // 4 "ee", 5 the chained pair.
    rows.push_back("ccdd11klklkl");
    rows.push_back("mnmnmn22mnmn");
    rows.push_back("eeAAopopopop");
    setGrid(rows);
    board().cells[8][0].squares = 1;  // a single square in group 0 comes first and is passed over
    board().figureCount = 16;
    frame();
    EXPECT_EQ(board().cells[8][4].groupId, 2);
    EXPECT_EQ(board().cells[10][2].groupId, 5);
    EXPECT_TRUE(tipsShown().empty());  // no move yet
    // After one move: the chain.
    board().movesUsed = 1;
    frame();
    expectTipAtCell("breakzep", 10, 2);
    closeTip();
    clearTrace();
    frames(2);
    EXPECT_TRUE(tipsShown().empty());  // three moves are not more than three
    board().movesUsed = 3;
    frame();
    EXPECT_TRUE(tipsShown().empty());
    // After more than three: the single squares, then the dual ones once that tip is closed.
    board().movesUsed = 4;
    frame();
    expectTipAtCell("breaksquares", 8, 4);
    frames(3);
    EXPECT_EQ(tipsShown().size(), 1u);  // one balloon at a time
    closeTip();
    clearTrace();
    frame();
    expectTipAtCell("breakdualsquares", 9, 6);
    closeTip();
    clearTrace();
    frames(3);
    EXPECT_TRUE(tipsShown().empty());
    for (int slot : {kTipBreakSquares, kTipBreakDualSquares, kTipBreakChain}) EXPECT_FALSE(waiting(slot)) << slot;
}

TEST_F(FirstTimeTips, TheCandleTipsShowOnTheSecondLevelOfTheirModeUnlessPlayIsStopped) {
    quietBoard();
    Board& b = board();
    b.levelIndex = 2;
    frames(2);
    EXPECT_TRUE(tipsShown().empty());
    b.levelIndex = 1;
    b.mode = kTimeless;
    frames(2);
    EXPECT_TRUE(tipsShown().empty());
    b.mode = kAdventure;
    pauseGame();
    frames(2);
    EXPECT_TRUE(tipsShown().empty());
    resumeGame();
    frame();
    EXPECT_EQ(countTraced("tip", "candletime"), 1);
    closeTip();
    b.mode = kPuzzle;
    menuState().menuOpen = true;
    frames(2);
    EXPECT_EQ(countTraced("tip", "candlemove"), 0);
    menuState().menuOpen = false;
    frame();
    EXPECT_EQ(countTraced("tip", "candlemove"), 1);
    closeTip();
    frames(2);
    EXPECT_EQ(tipsShown().size(), 2u);
}

// The played-through flow on the real program: a new player's first mode choice shows the
// prolog and the first level welcomes them; a second player starts afresh; the flags are in
// the player file at the next start.
class FirstTimeTipsInTheGame : public ::testing::Test {
protected:
    testing_support::TempDir dir;

    void SetUp() override {
        resetOutcomeHooks();
        resetGameModes();
    }
    void TearDown() override {
        setTracing(false);
        resetGameModes();
    }
    // From the start to the map, as a player's key after the loading does it.
    static void reachTheMap(PlayRunner& runner) {
        while (!application().dataLoaded && runner.frame() < 2000) runner.frames(1);
        runner.runFor(100);
        runner.key(13);
        runner.runFor(1000);
    }
    // The current player picks a mode; true when the prolog was shown.
    static bool choose(int mode) {
        clearTrace();
        chooseMode(mode);
        return countTraced("message", "prolog") > 0;
    }
    // Plays the first level until its welcome shows, then clicks into the welcomed group and
    // charges the hammer, whose tip follows; returns the tips shown.
    static std::vector<std::string> playFirstLevel(PlayRunner& runner) {
        clearTrace();
        acceptProlog();
        runner.runFor(1500);  // the welcome waits for the opening transition to uncover the board
        std::vector<std::string> keys;
        float x = 0.0f, y = 0.0f;
        for (const Shown& s : tipsShown()) {
            keys.push_back(s.key);
            x = s.x;
            y = s.y;
        }
        if (keys.empty()) return keys;
        runner.click(x, y);
        runner.runFor(1500);
        board().hammerTarget = board().hammerMax;
        runner.runFor(2500);
        keys.clear();
        for (const Shown& s : tipsShown()) keys.push_back(s.key);
        return keys;
    }
    // "main" in the in-game menu: the level is saved and the map shows again.
    static void leave(PlayRunner& runner) {
        saveAndLeaveLevel();
        requestScene(mapScene());
        runner.frames(2);
    }
};

TEST_F(FirstTimeTipsInTheGame, ThePrologAndTheTipsBelongToEachPlayerAndLastAcrossRuns) {
    REQUIRE_DATA_SET("levels/pack1_01.lvl");
    testing_support::makeForgedInstall(dir);
    const std::vector<std::string> welcomed = {"welcome", "usehammer"};
    {
        PlayRunner runner(dir.str());
        ASSERT_TRUE(runner.start());
        reachTheMap(runner);
        ASSERT_EQ(currentScene(), static_cast<Scene*>(mapScene()));
        setTracing(true);
        ASSERT_TRUE(createProfile("ANNA"));
        EXPECT_TRUE(choose(kAdventure));
        EXPECT_EQ(playFirstLevel(runner), welcomed);
        EXPECT_GE(board().movesUsed, 1);
        leave(runner);
        EXPECT_FALSE(choose(kAdventure));
        EXPECT_FALSE(choose(kPuzzle));
        // A second player in the same run is new to everything.
        ASSERT_TRUE(createProfile("BEN"));
        EXPECT_TRUE(choose(kPuzzle));
        EXPECT_EQ(playFirstLevel(runner), welcomed);
        leave(runner);
        EXPECT_FALSE(choose(kPuzzle));
        EXPECT_EQ(runner.close(), 0);
    }
    PlayRunner runner(dir.str());
    ASSERT_TRUE(runner.start());
    reachTheMap(runner);
    setTracing(true);
    ASSERT_EQ(profileCount(), 2);
    for (int p = 0; p < 2; ++p) {
        selectProfile(p);
        EXPECT_FALSE(choose(kTimeless)) << p;
        EXPECT_FALSE(tipFlag(kTipUseHammer)) << p;
        EXPECT_TRUE(tipFlag(kTipBreakSquares)) << p;  // not seen yet: still to come
    }
    EXPECT_EQ(runner.close(), 0);
}
