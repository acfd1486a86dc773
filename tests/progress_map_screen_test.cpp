// The journey map and the trophy room on screen, through the play runner over the forged data
// set: golden pictures of the map's moments and of the room, and the room's ways in and out
// (from a running level, the main menu and a mode's menu), the presentation of new trophies
// and Escape's layout file.
#include <filesystem>
#include <string>

#include "app/trace.h"
#include "board/board.h"
#include "golden.h"
#include "platform/files.h"
#include "platform/random.h"
#include "progress/map.h"
#include "progress/trophies.h"
#include "progress/trophy_state.h"
#include "render/backdrops.h"
#include "board_screen_support.h"

using namespace board_screen;

namespace {

constexpr float kAsideX = 395.0f;
constexpr float kAsideY = -295.0f;

class MapOnScreen : public BoardScreen {
protected:
    void SetUp() override {
        BoardScreen::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // The room writes its layout into "trophyes": a folder of the test's own, not the
        // build's data set behind the links.
        const std::filesystem::path trophies = dir_ / "Data/trophyes";
        const std::filesystem::path source = std::filesystem::read_symlink(trophies);
        std::filesystem::remove(trophies);
        std::filesystem::copy(source, trophies, std::filesystem::copy_options::recursive);
        for (int k = 0; k < kTipFlagCount; ++k) setTipFlag(k, false);
        setTracing(true);
        clearTrace();
    }
    void TearDown() override {
        platform::failWriteStep(platform::WriteStep::None, 0);
        setTracing(false);
        BoardScreen::TearDown();
    }
    // The mode's map as its screen shows it after the menus opened it.
    void showMap(int current, int furthest, int justWon, uint32_t seed = 5) {
        setGameMode(0);
        platform::srand(seed);
        requestScene(mapScene());
        setMapView(1);
        setupMap(current, furthest, -1);
        if (justWon >= 0) setupMap(current, furthest, justWon);
        moveTo(kAsideX, kAsideY);
    }
    void runUntil(bool (*done)(), int maxFrames) {
        for (int i = 0; i < maxFrames && !done(); ++i) runner().frames(1);
    }
    ::testing::AssertionResult golden(const std::string& name) {
        platform::Picture shot = presented();
        keep(shot, name);
        return golden::matches(halfSize(shot), name);
    }
    void clickOk(float y) { clickAt(0.0f, y); }
};

TEST_F(MapOnScreen, FreshMode) {
    showMap(0, 0, -1);
    runner().frames(200);  // the transition is over and the stars have settled
    EXPECT_FALSE(transitionRunning());
    EXPECT_TRUE(golden("map_fresh_mode"));
}

TEST_F(MapOnScreen, FirstWinWithSparklesFlying) {
    showMap(1, 1, 0);
    runner().frames(1);
    runUntil([] { return mapState().wonTimer < 2100.0f; }, 300);
    EXPECT_EQ(countTraced("sound", "map3.ogg"), 1);
    EXPECT_TRUE(golden("map_first_win_sparkles"));
}

TEST_F(MapOnScreen, OpenStagePanel) {
    showMap(3, 3, -1);
    runner().frames(140);
    setupMap(4, 4, 3);
    runUntil([] { return mapState().panel.state == 2; }, 800);
    ASSERT_EQ(mapState().panel.state, 2);
    runner().frames(3);
    EXPECT_TRUE(golden("map_stage_panel_open"));
    // The panel's button closes it, then the traveller sets off for stage 1.
    float bx, by, bw, bh;
    stagePanelButton(bx, by, bw, bh);
    clickAt(bx, by);
    runUntil([] { return mapState().travellerStage == 1; }, 400);
    EXPECT_EQ(mapState().travellerStage, 1);
    EXPECT_EQ(countTraced("sound", "map8.ogg"), 1);
}

TEST_F(MapOnScreen, LevelPreviewOfAPickedLevelWithAHoveredStage) {
    showMap(17, 17, -1);  // stage 3 under way, stages 0 to 2 done
    runner().frames(300);  // the traveller arrives, its stars settle
    float x, y;
    levelStarAt(16, x, y);
    clickAt(x, y);
    EXPECT_EQ(selectedLevel(), 16);
    int hover = -1;
    for (int s = 0; s < 3 && hover < 0; ++s) {
        stageIconAt(s, x, y);
        if (x > -350.0f && x < 80.0f && y > -250.0f && y < 250.0f) hover = s;
    }
    ASSERT_GE(hover, 0);
    moveTo(x, y);
    runner().frames(20);
    EXPECT_EQ(mapState().hoveredStage, hover);
    EXPECT_TRUE(golden("map_level_preview"));
}

TEST_F(MapOnScreen, Congratulation) {
    showMap(128, 128, -1);
    runner().frames(100);
    markGameCompleted();
    setupMap(0, 0, -1);
    runUntil([] { return mapState().panel.state == 2; }, 800);
    float bx, by, bw, bh;
    stagePanelButton(bx, by, bw, bh);
    clickAt(bx, by);
    moveTo(kAsideX, kAsideY);
    runUntil([] { return mapState().congratulation == 2; }, 400);
    ASSERT_EQ(mapState().congratulation, 2);
    EXPECT_TRUE(golden("map_congratulation"));
    clickOk(kCongratulationButtonY);
    runner().frames(40);
    EXPECT_FALSE(gameCompletedShowing());
    EXPECT_EQ(mapView(), 0);
    EXPECT_EQ(countTraced("menu", "hiscore"), 1);
}

// ---- the trophy room ----

class RoomOnScreen : public MapOnScreen {
protected:
    void enter(int kind) {
        platform::srand(9);  // the backdrop's objects start their clocks at random
        enterTrophyRoom(kind);
        runner().frames(1);
        ASSERT_EQ(currentScene(), trophyRoomScene());
        moveTo(kAsideX, kAsideY);
    }
    void leaveByBack() {
        clickAt(-364.0f, 264.0f);
        runner().frames(70);
    }
};

TEST_F(RoomOnScreen, OneEarnedOneNewWithTheTrophyWindow) {
    ASSERT_TRUE(awardTrophy(3));
    clearTrophyNew(3);
    ASSERT_TRUE(awardTrophy(7));
    enter(1);
    runUntil([] { return trophyRoom().window == 2; }, 200);
    ASSERT_EQ(trophyRoom().windowTrophy, 7);
    EXPECT_TRUE(golden("trophy_room_window"));
    clickOk(-85.0f);
    runner().frames(40);
    EXPECT_FALSE(trophyIsNew(7));
    EXPECT_TRUE(trophyEarned(7));
    EXPECT_EQ(countTraced("effect", "trophyadd2"), 1);
    EXPECT_EQ(trophyRoom().window, 4);
}

TEST_F(RoomOnScreen, HoverIsExactToThePictureAndTheTipFollows) {
    ASSERT_TRUE(awardTrophy(2));
    clearTrophyNew(2);
    enter(-1);
    runner().frames(70);
    const TrophyLayout& t = trophyTable().layout[1];
    EXPECT_EQ(trophyAt(t.x, t.y), 2);
    // The picture's corner is transparent, though inside the rectangle.
    const float w = t.width * t.scale, h = t.height * t.scale;
    EXPECT_EQ(trophyAt(t.x - w / 2.0f + 1.0f, t.y + h / 2.0f - 1.0f), 0);
    moveTo(t.x, t.y);
    EXPECT_EQ(trophyRoom().hovered, 2);
    clickAt(t.x, t.y);  // a click adds 2000 ms: the tip slides in
    runner().frames(25);
    EXPECT_GT(trophyRoom().tipSlide, 0.9f);
    moveTo(kAsideX, kAsideY);
    EXPECT_EQ(trophyRoom().hovered, 0);
}

TEST_F(RoomOnScreen, TwoNewTrophiesArePresentedLowestFirst) {
    ASSERT_TRUE(awardTrophy(9));
    ASSERT_TRUE(awardTrophy(4));
    enter(-1);
    runUntil([] { return trophyRoom().window == 2; }, 200);
    EXPECT_EQ(trophyRoom().windowTrophy, 4);
    clickAt(-364.0f, 264.0f);  // no leaving while the window is up
    EXPECT_FALSE(trophyRoom().leaving);
    clickOk(-85.0f);
    runUntil([] { return trophyRoom().window == 2; }, 200);
    EXPECT_EQ(trophyRoom().windowTrophy, 9);
    EXPECT_FALSE(trophyIsNew(4));
    EXPECT_TRUE(trophyIsNew(9));
    // Escape does not pass the window; Enter answers its "OK" as the click did.
    runner().key(27);
    runner().frames(2);
    EXPECT_EQ(trophyRoom().window, 2);
    EXPECT_FALSE(trophyRoom().leaving);
    runner().key(13);
    runner().frames(40);
    EXPECT_FALSE(trophyIsNew(9));
    EXPECT_EQ(trophyRoom().window, 4);
}

TEST_F(RoomOnScreen, LeavingReturnsTheWayTheRoomWasEntered) {
    enter(1);  // the timeless menu's item
    clickAt(-364.0f, 264.0f);
    EXPECT_FALSE(trophyRoom().leaving);  // the room takes no leave in its first second
    runner().frames(70);
    leaveByBack();
    EXPECT_EQ(currentScene(), mapScene());
    EXPECT_EQ(mapView(), 1);
    EXPECT_EQ(countTraced("menu", "timeless"), 1);
    EXPECT_EQ(backdropState().scene.number, kMenuBackdrop);
    enter(-1);  // the main menu's item
    runner().frames(70);
    leaveByBack();
    EXPECT_EQ(currentScene(), mapScene());
    EXPECT_EQ(mapView(), 0);
    EXPECT_EQ(countTraced("menu", "main"), 1);
}

TEST_F(RoomOnScreen, EscapeWritesTheLayoutAndAReadOnlyFolderNeverStopsTheGame) {
    enter(0);
    runner().frames(70);
    const std::filesystem::path cfg = dir_ / "Data/trophyes/trophy.cfg";
    const std::string before = testing_support::readFile(cfg);
    std::filesystem::remove(cfg);
    runner().key(27);
    runner().frames(70);
    EXPECT_EQ(currentScene(), mapScene());
    EXPECT_EQ(testing_support::readFile(cfg), before);  // the same 1564 bytes
    EXPECT_EQ(before.size(), kTrophyLayoutFileBytes);
    // A folder that cannot be written: the room is left all the same, and the game goes on.
    enter(0);
    runner().frames(70);
    std::filesystem::remove(cfg);
    platform::failWriteStep(platform::WriteStep::Open, 1);  // the layout file only
    runner().key(27);
    runner().frames(70);
    EXPECT_FALSE(std::filesystem::exists(cfg));
    EXPECT_TRUE(runner().running());
    EXPECT_EQ(currentScene(), mapScene());
    EXPECT_EQ(countTraced("menu", "adventure"), 2);
}

TEST_F(RoomOnScreen, ATrophyMidLevelReturnsToTheSameRunningLevel) {
    startLevel(2, 0, 31);
    settle();
    const int moves = board().movesUsed;
    std::string cells;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) cells += static_cast<char>('a' + board().cells[r][c].figure + 1);
    ASSERT_TRUE(awardTrophy(12));
    runUntil([] { return currentScene() == trophyRoomScene(); }, 200);
    ASSERT_EQ(currentScene(), trophyRoomScene());
    EXPECT_EQ(countTraced("transition", "gettrophy"), 1);
    EXPECT_EQ(countTraced("sound", "GetTrophy.ogg"), 1);
    EXPECT_EQ(trophyRoom().returnKind, -2);
    runUntil([] { return trophyRoom().window == 2; }, 200);
    EXPECT_EQ(trophyRoom().windowTrophy, 12);
    clickOk(-85.0f);
    runner().frames(40);
    leaveByBack();
    ASSERT_EQ(currentScene(), gameScene());
    EXPECT_EQ(board().levelIndex, 2);
    EXPECT_EQ(board().movesUsed, moves);
    EXPECT_EQ(board().paused, 0);
    std::string after;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) after += static_cast<char>('a' + board().cells[r][c].figure + 1);
    EXPECT_EQ(after, cells);
    EXPECT_NE(backdropState().scene.number, kTrophyRoomBackdrop);
}

}  // namespace
