// The menus' flows played through the real loop on the forged data set, by keys and clicks on
// the virtual clock: the first start to a level and back, the saved game, won and lost levels,
// the end of a game, the profile list's limits, the options and the credits, with golden
// pictures of the result window, the high scores, the credits and the in-game menu.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/loader.h"
#include "app/play_runner.h"
#include "app/scene.h"
#include "app/strings.h"
#include "app/trace.h"
#include "audio/audio.h"
#include "board/board.h"
#include "board/moves.h"
#include "board/play.h"
#include "golden.h"
#include "menus/flows.h"
#include "menus/menus.h"
#include "menus/screens.h"
#include "platform/mixer.h"
#include "platform/random.h"
#include "platform/window.h"
#include "progress/game_modes.h"
#include "progress/map.h"
#include "progress/profiles.h"
#include "progress/records.h"
#include "progress/screen_transition.h"
#include "progress/trophy_state.h"
#include "board_screen_support.h"
#include "forged_game.h"
#include "test_support.h"

namespace {

using board_screen::halfSize;
using board_screen::keep;
using board_screen::presented;

constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kLeft = 37;
constexpr int kRight = 39;
constexpr int kDown = 40;

std::string menuName() {
    const MenuNode* m = menuState().current;
    return m ? std::string(m->name) : std::string();
}

class MenuFlows : public ForgedGame {
protected:
    void SetUp() override {
        ForgedGame::SetUp();
        if (!started()) return;
        setTracing(true);
        clearTrace();
    }
    void TearDown() override {
        setTracing(false);
        ForgedGame::TearDown();
    }

    // From the first splash to the first menu: a key shortens each splash, one more starts the
    // hand-over once the loading is done.
    void passTheLoader() {
        ForgedGame::passTheLoader(kEnter, true);
        settle();
    }
    // Runs frames until no menu animation runs.
    void settle(int maxFrames = 200) {
        runner_->frames(2);  // a key reaches the menus in the frame after the one it came in
        for (int i = 0; i < maxFrames && menuAnimating(); ++i) runner_->frames(1);
        runner_->frames(1);
    }
    void press(int key) {
        runner_->key(key);
        settle();
    }
    void type(const char* text) {
        for (const char* c = text; *c; ++c) {
            runner_->key(static_cast<unsigned char>(*c));
            runner_->frames(1);
        }
        runner_->frames(1);  // a key acts in the frame after the one it came in
    }
    // Walks the selection to the item by the arrow keys and presses Enter.
    void choose(const char* item) {
        const MenuNode* m = menuState().current;
        ASSERT_NE(m, nullptr);
        int at = -1;
        for (int i = 0; i < m->childCount; ++i)
            if (std::strcmp(m->children[i]->name, item) == 0) at = i;
        ASSERT_GE(at, 0) << item << " is not in " << m->name;
        for (int guard = 0; guard < 20 && menuState().selectedItem != at; ++guard) {
            runner_->key(kDown);
            runner_->frames(2);
        }
        ASSERT_EQ(menuState().selectedItem, at);
        press(kEnter);
    }
    // A level started from the map opens under the traveller's tip: the board waits under it
    // until its Continue, which turns to the next tip.
    void continueFromTip() {
        ASSERT_EQ(menuName(), "gameplaytip");
        ASSERT_TRUE(menuOpen());
        const int tip = flowState().tipCounter;
        const float clock = board().elapsedMs;
        const int moves = board().movesUsed;
        runner_->frames(30);
        EXPECT_EQ(board().elapsedMs, clock);
        EXPECT_EQ(board().movesUsed, moves);
        press(kEnter);
        EXPECT_FALSE(menuOpen());
        EXPECT_EQ(flowState().tipCounter, tip + 1);
    }
    // A profile that has played before: no first-time tips or prolog.
    void veteran(const char* name) {
        ASSERT_TRUE(createProfile(name));
        for (int k = 0; k < kTipFlagCount; ++k) setTipFlag(k, false);
    }
    // Clicks the first group of two or more on the board and lets the board rest.
    void makeMove() {
        const Board& b = board();
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                if (!hasFigure(r, c)) continue;
                findGroup(r, c);
                if (b.groupSize < 2) continue;
                Vec2 at = cellCentre(r, c);
                runner_->click(at.x, at.y);
                runner_->frames(120);
                return;
            }
        FAIL() << "no group on the board";
    }
    // The level's squares all break: the next frame wins it.
    void clearSquares() {
        for (auto& row : board().cells)
            for (Cell& cell : row)
                if (cell.squares > 0) cell.squares = 0;
    }
    ::testing::AssertionResult golden(const std::string& name) {
        platform::Picture shot = presented();
        keep(shot, name);
        return golden::matches(halfSize(shot), name);
    }
    void clickAt(float x, float y) {
        runner_->click(x, y);
        settle();
    }
    // The index-th widget of a kind that the last frame registered.
    const MenuWidget* widgetOfKind(int kind, int index = 0) {
        const MenuState& m = menuState();
        for (int i = 0; i < m.widgetCount; ++i)
            if (m.widgets[i].kind == kind && index-- == 0) return &m.widgets[i];
        return nullptr;
    }
    // Holds the button on a slider's knob and moves to x.
    void drag(const MenuWidget& slider, float x) {
        const float y = (slider.top + slider.bottom) / 2.0f;
        const float from = slider.left + (slider.right - slider.left) * (slider.position + 0.5f) / slider.count;
        runner_->moveTo(from, y);
        platform::Event down;
        down.type = platform::EventType::LeftDown;
        runner_->send(down);
        runner_->frames(2);
        runner_->moveTo(x, y);
        runner_->frames(3);
        platform::Event up;
        up.type = platform::EventType::LeftUp;
        runner_->send(up);
        runner_->frames(2);
    }
    // The loudest sample of a tenth of a second of the mix.
    int mixPeak() {
        std::vector<int16_t> out(2 * 4410);
        platform::mixFrames(out.data(), 4410);
        int peak = 0;
        for (int16_t v : out) peak = std::max(peak, std::abs(static_cast<int>(v)));
        return peak;
    }
    // The candle burns down: the level clock passes the time limit; once the defeat has shown
    // for 4 s, a key asks about the life.
    void loseByTime() {
        board().elapsedMs = board().timeLimitMs + 1.0f;
        board().levelClock = board().timeLimitMs + 1.0f;
        for (int i = 0; i < 400 && board().lostClock < 4000.0f; ++i) runner_->frames(1);
        ASSERT_GE(board().lostClock, 4000.0f);
        press(kEnter);
    }
    bool savedFileExists(const char* name) {
        return std::filesystem::exists(dir_.path / "Data" / "settings" / name);
    }
};

TEST_F(MenuFlows, FirstStartToALevelSavedAndResumedExactly) {
    passTheLoader();
    EXPECT_EQ(menuName(), "newprofile");
    // A quick typist: the name and Enter all come in within one frame, and each key counts.
    for (int key : {int{'A'}, int{'N'}, int{'N'}, int{'A'}, kEnter}) runner_->key(key);
    runner_->frames(6);
    EXPECT_STREQ(menuState().textField, "ANNA");
    settle();
    ASSERT_EQ(menuName(), "main");
    EXPECT_EQ(profileCount(), 1);
    EXPECT_STREQ(currentProfile().name, "ANNA");

    // Backing out of the main menu leaves the game running; the next key brings "main" back.
    press(kEscape);
    EXPECT_TRUE(runner_->running());
    EXPECT_FALSE(application().quitRequested);
    press(kDown);
    EXPECT_EQ(menuName(), "main");

    // A new player's first journey opens with the prolog, then level 1.
    choose("adventure");
    ASSERT_EQ(menuName(), "messageboxok");
    EXPECT_STREQ(menuState().messageText, lookupText("prolog"));
    press(kEnter);
    runner_->frames(2);
    ASSERT_EQ(currentScene(), gameScene());
    EXPECT_EQ(board().levelIndex, 0);
    EXPECT_FALSE(menuOpen());
    // While the level opens, Escape opens the in-game menu; the welcome hint waits until the
    // board can be seen.
    ASSERT_TRUE(transitionRunning());
    EXPECT_FALSE(board().tip.showing);
    press(kEscape);
    ASSERT_EQ(menuName(), "gameplay");
    EXPECT_TRUE(menuOpen());
    choose("resume game");
    EXPECT_FALSE(menuOpen());
    for (int i = 0; i < 200 && !board().tip.showing; ++i) runner_->frames(1);
    EXPECT_FALSE(transitionRunning());
    ASSERT_TRUE(board().tip.showing);
    EXPECT_STREQ(board().tip.key, "welcome");
    for (int i = 0; i < 40 && board().tip.showing; ++i) {
        runner_->key(kEnter);
        runner_->frames(5);
    }
    makeMove();
    ASSERT_EQ(board().levelTouched, 1);

    // Escape opens the in-game menu over the board, and the board waits under it.
    press(kEscape);
    ASSERT_EQ(menuName(), "gameplay");
    EXPECT_TRUE(menuOpen());
    const float clockBefore = board().elapsedMs;
    runner_->frames(30);
    EXPECT_EQ(board().elapsedMs, clockBefore);
    EXPECT_TRUE(golden("menus_gameplay_over_level1"));

    // "main" saves the level and says so; its OK leads to the main menu.
    std::vector<Cell> cells;
    for (auto& row : board().cells)
        for (Cell& cell : row) cells.push_back(cell);
    const int moves = board().movesUsed;
    const float elapsed = board().elapsedMs;
    choose("main");
    ASSERT_EQ(menuName(), "messageboxok");
    EXPECT_STREQ(menuState().messageText, lookupText("savemsg"));
    EXPECT_TRUE(savedFileExists("ANNA_cls.sav"));
    EXPECT_TRUE(savedGameFlag(0));
    press(kEnter);
    runner_->frames(1);
    EXPECT_EQ(currentScene(), mapScene());
    EXPECT_EQ(menuName(), "main");

    // The mode offers the saved level; Escape there does nothing; "yes" restores it exactly.
    choose("adventure");
    ASSERT_EQ(menuName(), "loadgamequest");
    press(kEscape);
    EXPECT_EQ(menuName(), "loadgamequest");
    choose("yes");
    runner_->frames(1);
    ASSERT_EQ(currentScene(), gameScene());
    EXPECT_FALSE(menuOpen());
    EXPECT_EQ(board().movesUsed, moves);
    EXPECT_NEAR(board().elapsedMs, elapsed, 100.0f);
    size_t i = 0;
    bool same = true;
    for (auto& row : board().cells)
        for (Cell& cell : row) {
            const Cell& was = cells[i++];
            same = same && cell.figure == was.figure && cell.squares == was.squares && cell.chained == was.chained;
        }
    EXPECT_TRUE(same) << "the resumed board differs from the saved one";
    EXPECT_FALSE(savedGameFlag(0));
}

TEST_F(MenuFlows, DecliningTheSavedGameKeepsItOnlyUntilALevelOfTheModeStarts) {
    passTheLoader();
    veteran("CARA");
    openMenuByName("main");
    settle();
    choose("puzzle");
    ASSERT_EQ(menuName(), "puzzle");
    choose("start");
    runner_->frames(2);
    ASSERT_EQ(currentScene(), gameScene());
    // Escape in the traveller's tip counts as its Continue.
    ASSERT_EQ(menuName(), "gameplaytip");
    press(kEscape);
    EXPECT_FALSE(menuOpen());
    EXPECT_EQ(flowState().tipCounter, 1);
    makeMove();
    press(kEscape);
    choose("main");
    ASSERT_STREQ(menuState().messageText, lookupText("savemsg"));
    press(kEnter);
    runner_->frames(1);
    ASSERT_EQ(menuName(), "main");

    // "no" opens the map of the mode asked about and leaves the saved game as it is.
    choose("puzzle");
    ASSERT_EQ(menuName(), "loadgamequest");
    choose("no");
    EXPECT_EQ(menuName(), "puzzle");
    EXPECT_EQ(mapView(), 1);
    EXPECT_TRUE(savedGameFlag(2));
    EXPECT_TRUE(savedFileExists("CARA_org.sav"));
    // Asked again, it is still offered; this time "no" and "start": the level starts afresh.
    choose("backfrommap");
    ASSERT_EQ(menuName(), "main");
    choose("puzzle");
    ASSERT_EQ(menuName(), "loadgamequest");
    choose("no");
    choose("start");
    runner_->frames(2);
    ASSERT_EQ(currentScene(), gameScene());
    EXPECT_EQ(board().movesUsed, 0);
    EXPECT_EQ(board().levelTouched, 0);
    EXPECT_FALSE(savedGameFlag(2));
    EXPECT_EQ(flowState().tipCounter, 1);  // the next tip greets the level
    press(kEnter);
    // Left untouched, the level saves nothing, and the old file is never offered again.
    press(kEscape);
    choose("main");
    runner_->frames(1);
    ASSERT_EQ(currentScene(), mapScene());
    ASSERT_EQ(menuName(), "main");
    choose("puzzle");
    EXPECT_EQ(menuName(), "puzzle");
}

TEST_F(MenuFlows, TheCustomCursorLeavesNoScreenWithoutACursor) {
    passTheLoader();
    type("ANNA");
    press(kEnter);
    choose("options");
    const MenuWidget* box = widgetOfKind(kWidgetCheckBox, 1);
    ASSERT_NE(box, nullptr);
    const float x = (box->left + box->right) / 2.0f, y = (box->top + box->bottom) / 2.0f;
    EXPECT_TRUE(platform::systemCursorShown());
    // The box switches between the drawn cursor and the system's at once.
    clickAt(x, y);
    EXPECT_EQ(settings().customCursor, 1);
    EXPECT_FALSE(platform::systemCursorShown());
    clickAt(x, y);
    EXPECT_EQ(settings().customCursor, 0);
    EXPECT_TRUE(platform::systemCursorShown());
    clickAt(x, y);
    choose("apply");
    ASSERT_EQ(menuName(), "main");

    // The next start: the splash and the loading screens draw no cursor of their own, so the
    // system's shows there; the menus then draw theirs in its place.
    runner_->close();
    runner_ = std::make_unique<PlayRunner>(dir_.str());
    ASSERT_TRUE(runner_->start());
    ASSERT_EQ(settings().customCursor, 1);
    runner_->frames(5);
    EXPECT_EQ(currentScene(), loaderScene());
    EXPECT_TRUE(platform::systemCursorShown());
    for (int i = 0; i < 2000 && !application().dataLoaded; ++i) {
        if (i % 10 == 0) runner_->key(kEnter);
        runner_->frames(1);
    }
    runner_->frames(5);
    ASSERT_EQ(currentScene(), loaderScene());
    EXPECT_TRUE(platform::systemCursorShown());
    passTheLoader();
    EXPECT_EQ(menuName(), "main");
    EXPECT_FALSE(platform::systemCursorShown());
    // In a level the board's hammer is the drawn cursor too.
    setSystemCursor(1);
    EXPECT_FALSE(platform::systemCursorShown());
    setSystemCursor(0);
}

TEST_F(MenuFlows, TheProfileListRefusesANinthAndRemovingTheLastAsksForANewOne) {
    passTheLoader();
    type("A");
    press(kEnter);
    ASSERT_EQ(menuName(), "main");
    for (const char* name : {"B", "C", "D", "E", "F", "G", "H"}) ASSERT_TRUE(createProfile(name));
    ASSERT_EQ(profileCount(), 8);

    // The greeting's "not you?" opens the list.
    const MenuWidget* link = widgetOfKind(kWidgetName);
    ASSERT_NE(link, nullptr);
    clickAt((link->left + link->right) / 2.0f, (link->top + link->bottom) / 2.0f);
    ASSERT_EQ(menuName(), "profiles");

    // A full table: the new-profile line plays the cue and nothing opens.
    clearTrace();
    choose("newprofile");
    EXPECT_EQ(countTraced("sound", "MaxPlayers.ogg"), 1);
    EXPECT_EQ(menuName(), "profiles");
    EXPECT_FALSE(menuAnimating());

    // A name clicked in the list is the one acted on.
    const MenuWidget* second = widgetOfKind(kWidgetListEntry, 1);
    ASSERT_NE(second, nullptr);
    clickAt((second->left + second->right) / 2.0f, (second->top + second->bottom) / 2.0f);
    EXPECT_EQ(menuState().hoveredWidget, 1);
    choose("remove");
    ASSERT_EQ(menuName(), "messageboxyn");
    choose("yes");
    ASSERT_EQ(menuName(), "profiles");
    EXPECT_EQ(profileCount(), 7);
    EXPECT_STREQ(profileTable().slots[1].name, "C");
    // Removing the first keeps the remembered index at 0; removing every one asks for a name.
    for (int left = 7; left > 0; --left) {
        choose("remove");
        ASSERT_EQ(menuName(), "messageboxyn");
        choose("yes");
    }
    EXPECT_EQ(profileCount(), 0);
    EXPECT_EQ(menuName(), "newprofile");
    EXPECT_TRUE(menuState().textEditing);
}

TEST_F(MenuFlows, OptionsChangeTheMixAndTheWindowAndTheCreditsScrollAndStop) {
    passTheLoader();
    type("ANNA");
    press(kEnter);
    choose("options");
    ASSERT_EQ(menuName(), "options");
    const MenuWidget* sfx = widgetOfKind(kWidgetSlider, 0);
    const MenuWidget* music = widgetOfKind(kWidgetSlider, 1);
    ASSERT_TRUE(sfx && music);

    // Both bars dragged to their left end: the mix falls silent; music back up, it plays again.
    pauseAudio();
    EXPECT_GT(mixPeak(), 1000);
    drag(*music, music->left - 20.0f);
    drag(*sfx, sfx->left - 20.0f);
    EXPECT_EQ(settings().musicVolume, 0);
    EXPECT_EQ(settings().sfxVolume, 0);
    EXPECT_LT(mixPeak(), 50);
    drag(*music, music->right + 20.0f);
    EXPECT_EQ(settings().musicVolume, 99);
    EXPECT_GT(mixPeak(), 1000);

    // The full-screen box is applied with "apply", at once, and the settings are written.
    const bool wasFull = platform::isFullScreen();
    const MenuWidget* full = widgetOfKind(kWidgetCheckBox, 0);
    ASSERT_NE(full, nullptr);
    clickAt((full->left + full->right) / 2.0f, (full->top + full->bottom) / 2.0f);
    EXPECT_EQ(platform::isFullScreen(), wasFull);
    choose("apply");
    EXPECT_EQ(platform::isFullScreen(), !wasFull);
    EXPECT_EQ(settings().fullScreen, wasFull ? 0 : 1);
    EXPECT_EQ(menuName(), "main");
    std::string saved = testing_support::readFile(dir_.path / "Data" / "settings" / "settings.dat");
    ASSERT_EQ(saved.size(), 44u);
    EXPECT_EQ(saved[0], 99);
    EXPECT_EQ(saved[40], wasFull ? 0 : 1);

    // The credits roll up and stop with the last line in view; any key leaves them.
    choose("credits");
    ASSERT_EQ(menuName(), "credits");
    runner_->runFor(9000);
    EXPECT_TRUE(golden("menus_credits_rolling"));
    const float stop = (static_cast<float>(creditLineCount()) * 40.0f - 50.0f + 200.0f) / 0.03f;
    runner_->runFor(static_cast<uint32_t>(stop) - 9000 + 2000);
    const float stopped = creditsTimer();
    runner_->frames(20);
    EXPECT_EQ(creditsTimer(), stopped);
    EXPECT_NEAR(stopped, stop, 40.0f);
    press(kDown);
    EXPECT_EQ(menuName(), "main");
    const MenuNode* main = menuState().current;
    ASSERT_GE(menuState().selectedItem, 0);
    EXPECT_STREQ(main->children[menuState().selectedItem]->name, "credits");
}

TEST_F(MenuFlows, WonAndLostLevelsAndTheEndOfTheGame) {
    passTheLoader();
    veteran("BEN");
    openMenuByName("main");
    settle();
    choose("adventure");
    ASSERT_EQ(menuName(), "adventure");
    EXPECT_EQ(mapView(), 1);
    EXPECT_FALSE(flowState().reachedAfterLevel);
    press(kEscape);  // the mode menu keeps Escape from leaving it
    EXPECT_EQ(menuName(), "adventure");
    choose("start");
    runner_->frames(2);
    ASSERT_EQ(currentScene(), gameScene());
    ASSERT_EQ(board().levelIndex, 0);
    continueFromTip();

    // A won level: the result window counts its numbers up one after the other.
    makeMove();
    const int moves = board().movesUsed;
    clearSquares();
    for (int i = 0; i < 120 && !board().levelComplete; ++i) runner_->frames(1);
    ASSERT_EQ(board().levelComplete, 1);
    runner_->frames(60);
    press(kEnter);
    ASSERT_EQ(menuName(), "levelcomplete");
    EXPECT_TRUE(menuOpen());
    EXPECT_TRUE(levelResultCounting());
    runner_->runFor(2100);
    EXPECT_FALSE(levelResultCounting());
    EXPECT_EQ(countTraced("sound", "LevelStatistic.ogg"), 4);
    const LevelRecord& rec = recordTable().levels[0][0];
    EXPECT_EQ(rec.fewestMoves, moves);
    EXPECT_STREQ(rec.movesHolder, "BEN");
    runner_->frames(40);  // the effects of the count fade away
    EXPECT_TRUE(golden("menus_levelcomplete_counted"));
    // Closing the window moves the game on to the next level's backdrop; the next key goes to
    // the mode's menu.
    press(kEnter);
    EXPECT_FALSE(menuOpen());
    EXPECT_EQ(board().betweenLevels, 1);
    EXPECT_EQ(currentLevelNumber(), 1);
    press(kEnter);
    runner_->frames(1);
    ASSERT_EQ(currentScene(), mapScene());
    EXPECT_EQ(menuName(), "adventure");
    EXPECT_TRUE(flowState().reachedAfterLevel);  // the map moves the traveller on

    // A lost level: the message, whose OK restarts it for a life. The level opens under the
    // traveller's tip, whose Continue lets it go.
    choose("start");
    runner_->frames(2);
    ASSERT_EQ(currentScene(), gameScene());
    ASSERT_EQ(board().levelIndex, 1);
    continueFromTip();
    const int livesBefore = lives();
    loseByTime();
    ASSERT_EQ(menuName(), "messageboxok");
    EXPECT_STREQ(menuState().messageText, lookupText("lostlifetime"));
    press(kEnter);
    runner_->frames(1);
    EXPECT_EQ(lives(), livesBefore - 1);
    EXPECT_EQ(board().levelLost, 0);
    EXPECT_FALSE(menuOpen());
    EXPECT_TRUE(lostOnce());

    // "skip level" in the in-game menu asks, and "yes" skips the level for a life.
    press(kEscape);
    ASSERT_EQ(menuName(), "gameplay");
    choose("skip level");
    ASSERT_EQ(menuName(), "messageboxyn");
    EXPECT_STREQ(menuState().messageText, lookupText("skipquest"));
    choose("yes");
    runner_->frames(1);
    EXPECT_EQ(board().levelIndex, 2);
    EXPECT_EQ(currentLevelNumber(), 2);
    EXPECT_EQ(lives(), livesBefore - 2);
    EXPECT_FALSE(menuOpen());

    // Without lives a restart is refused, and its OK goes back to the in-game menu.
    setLives(0);
    press(kEscape);
    choose("restart level");
    ASSERT_EQ(menuName(), "messageboxok");
    EXPECT_STREQ(menuState().messageText, lookupText("nomorelives"));
    press(kEnter);
    EXPECT_EQ(menuName(), "gameplay");
    EXPECT_EQ(currentScene(), gameScene());
    choose("resume game");
    EXPECT_FALSE(menuOpen());

    // With no life left the loss ends the game: the high scores show the new entry.
    board().levelScore = 400000;
    board().shownScore = 400000;
    loseByTime();
    ASSERT_EQ(menuName(), "hiscore");
    const int row = newEntryIndex();
    ASSERT_GE(row, 0);
    EXPECT_STREQ(highScoreTable().entries[0][row].name, "BEN");
    EXPECT_EQ(lives(), 3);
    EXPECT_EQ(modeScore(), 0);
    runner_->frames(20);
    EXPECT_TRUE(golden("menus_hiscore_new_entry"));
    // The arrows switch the shown mode; left from adventure shows puzzle.
    press(kLeft);
    EXPECT_EQ(flowState().shownHighScoreMode, 2);
    press(kRight);
    EXPECT_EQ(flowState().shownHighScoreMode, 0);
    choose("back");
    runner_->frames(1);
    EXPECT_EQ(currentScene(), mapScene());
    EXPECT_EQ(menuName(), "main");
}

}  // namespace

