// Recorded sessions: a session recorded on the play runner plays back to the same end (board,
// score and player files, byte for byte); the stored sessions under tests/replays/ play back to
// the ends stored beside them; and the command line around them.
//
// SANDMERE_UPDATE_REPLAYS=1 records the scripted sessions anew into tests/replays/ with their
// reference ends; SANDMERE_UPDATE_REPLAY_ENDS=1 stores the ends the stored sessions now play to
// (the recordings stay); SANDMERE_SESSION_SHOTS=DIR keeps pictures of the scripted sessions.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/play_runner.h"
#include "app/replay.h"
#include "app/scene.h"
#include "board/board.h"
#include "board/bot.h"
#include "board/moves.h"
#include "board/play.h"
#include "menus/menus.h"
#include "platform/files.h"
#include "progress/game_modes.h"
#include "progress/map.h"
#include "progress/profiles.h"
#include "progress/trophies.h"
#include "progress/trophy_state.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kDown = 40;

const fs::path kStored = fs::path(SANDMERE_SOURCE_DIR) / "tests" / "replays";

using PlayerFiles = std::map<std::string, std::string>;

PlayerFiles filesIn(const fs::path& folder) {
    PlayerFiles files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file()) files[entry.path().filename().string()] = testing_support::readFile(entry.path());
    return files;
}

// Where two sets of player files differ, or empty when they are the same byte for byte.
std::string compareFiles(const PlayerFiles& want, const PlayerFiles& got) {
    std::string report;
    for (const auto& [name, bytes] : want) {
        auto it = got.find(name);
        if (it == got.end()) report += name + " is missing; ";
        else if (it->second != bytes) {
            size_t at = 0;
            while (at < bytes.size() && at < it->second.size() && bytes[at] == it->second[at]) ++at;
            report += name + " differs from byte " + std::to_string(at) + "; ";
        }
    }
    for (const auto& [name, bytes] : got)
        if (!want.count(name)) report += name + " is new; ";
    return report;
}

struct PlaybackEnd {
    bool started = false;
    int exitCode = -1;
    uint64_t digest = 0;
    PlayerFiles files;
    int score = 0;
};

// Plays a replay headless, as `--replay FILE --headless` does.
PlaybackEnd playBack(Replay replay) {
    PlaybackEnd end;
    testing_support::TempDir dir;
    testing_support::makeForgedInstall(dir);
    startPlayback(std::move(replay), false);
    {
        PlayRunner runner(dir.str());
        end.started = runner.start();
        end.exitCode = end.started ? runner.playToEnd() : runner.exitCode();
        if (end.started) {
            end.digest = finishReplay();
            end.files = filesIn(playbackFolder());
            end.score = board().carriedScore + board().levelScore;
        }
    }
    resetReplay();
    return end;
}

bool readReplayFile(const fs::path& path, Replay& replay, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!platform::readWholeFile(path.string().c_str(), bytes)) {
        error = "cannot read " + path.string();
        return false;
    }
    return parseReplay(bytes.data(), bytes.size(), replay, error);
}

// A scripted session on the play runner, recorded as the game records a player.
class Session {
public:
    explicit Session(const fs::path& recording, uint32_t msPerFrame = 16) : recording_(recording) {
        testing_support::makeForgedInstall(dir_);
        std::string error;
        EXPECT_TRUE(startRecording(recording.string(), error)) << error;
        runner_ = std::make_unique<PlayRunner>(dir_.str(), msPerFrame);
        EXPECT_TRUE(runner_->start());
    }
    ~Session() { resetReplay(); }

    PlayRunner& run() { return *runner_; }
    // SANDMERE_SESSION_SHOTS=DIR keeps every 20th frame of the session there as a PNG, to
    // watch what a script really plays.
    void frames(int n) {
        static const char* shots = std::getenv("SANDMERE_SESSION_SHOTS");
        for (int i = 0; i < n; ++i) {
            runner_->frames(1);
            if (shots && runner_->frame() % 20 == 0) {
                char name[64];
                std::snprintf(name, sizeof name, "/f%05d.png", runner_->frame());
                runner_->capture(std::string(shots) + name);
            }
        }
    }
    void key(int k, int after = 3) {
        runner_->key(k);
        frames(after);
    }
    void settle() {
        frames(2);
        for (int i = 0; i < 200 && menuAnimating(); ++i) frames(1);
        frames(1);
    }
    void press(int k) {
        runner_->key(k);
        settle();
    }
    // Frames until the condition holds, at most `limit` of them; true when it held.
    bool until(const std::function<bool()>& done, int limit) {
        for (int i = 0; i < limit && !done(); ++i) frames(1);
        return done();
    }
    void passTheLoader() {
        for (int i = 0; i < 2000 && !application().dataLoaded; ++i) {
            if (i % 10 == 0) runner_->key(kEnter);
            frames(1);
        }
        for (int i = 0; i < 400 && currentScene() != mapScene(); ++i) {
            if (i % 10 == 0) runner_->key(kEnter);
            frames(1);
        }
        settle();
    }
    void type(const char* text) {
        for (const char* c = text; *c; ++c) key(static_cast<unsigned char>(*c), 1);
        frames(1);
    }
    // A new player's name typed at the first start, adventure chosen and the prolog closed:
    // level 1 starts and runs for the given frames.
    void firstStartIntoLevelOne(const char* name, int frames) {
        passTheLoader();
        type(name);
        press(kEnter);
        choose("adventure");
        press(kEnter);  // the prolog
        this->frames(frames);
    }
    void choose(const char* item) {
        const MenuNode* m = menuState().current;
        ASSERT_NE(m, nullptr);
        int at = -1;
        for (int i = 0; i < m->childCount; ++i)
            if (std::strcmp(m->children[i]->name, item) == 0) at = i;
        ASSERT_GE(at, 0) << item << " is not in " << m->name;
        for (int guard = 0; guard < 20 && menuState().selectedItem != at; ++guard) key(kDown, 2);
        press(kEnter);
    }
    // The bot's next click on a resting board; false when the board has none to give.
    bool botMove() {
        for (int i = 0; i < 600 && !botReadyForMove(); ++i) {
            // A tip, or a window over the board (a trophy's announcement), waits for a key.
            if ((board().tip.showing || menuOpen()) && i % 30 == 0) runner_->key(kEnter);
            frames(1);
        }
        BotChoice choice;
        if (!botReadyForMove()) return false;
        const Board before = board();  // the bot's search marks cells: the game sees only the click
        const bool found = chooseBotMove(choice);
        board() = before;
        if (!found) return false;
        if (choice.hammer && !board().hammerArmed) {
            // The hammer button on the panel arms it.
            runner_->click(-346.0f + board().hudSlide, -70.0f);
            frames(4);
        }
        Vec2 at = cellCentre(choice.row, choice.column);
        runner_->click(at.x, at.y);
        frames(4);
        return true;
    }
    // The smallest group on a resting board, away from the squares: play that loses. With a
    // smallest size of 1 it is a lone figure when the board has one, a click that breaks nothing.
    bool carelessMove(int smallest = 2) {
        for (int i = 0; i < 600 && !botReadyForMove(); ++i) {
            if (board().tip.showing) runner_->key(kEnter);
            frames(1);
        }
        if (!botReadyForMove()) return false;
        // The search marks the board's cells: it looks at a copy, so that the game sees only
        // the click.
        const Board before = board();
        int bestRow = -1, bestColumn = -1, best = 1000;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                if (!hasFigure(r, c) || board().cells[r][c].squares > 0) continue;
                findGroup(r, c);
                if (board().groupSize >= smallest && board().groupSize < best) {
                    best = board().groupSize;
                    bestRow = r;
                    bestColumn = c;
                }
            }
        board() = before;
        if (bestRow < 0) return false;
        Vec2 at = cellCentre(bestRow, bestColumn);
        runner_->click(at.x, at.y);
        frames(4);
        return true;
    }
    // Closes the window as a player does, and ends the recording.
    uint64_t close() {
        runner_->close();
        filesAtEnd_ = filesIn(dir_.path / "Data" / "settings");
        uint64_t digest = finishReplay();
        resetReplay();
        return digest;
    }
    const PlayerFiles& filesAtEnd() const { return filesAtEnd_; }

private:
    testing_support::TempDir dir_;
    fs::path recording_;
    std::unique_ptr<PlayRunner> runner_;
    PlayerFiles filesAtEnd_;
};

// A first start: the name, the prolog, level 1 played by the bot's clicks for as long as it
// finds a move, the level's end or the board's rest, then the close.
void firstStartBotPlay(Session& s) {
    s.firstStartIntoLevelOne("ANNA", 30);
    int moves = 0;
    while (moves < 300 && !board().levelComplete && s.botMove()) ++moves;
    EXPECT_GE(moves, 10);
    s.frames(60);
}

// A first start into level 1, a few clicks, then the in-game menu saves the level on the way to
// the main menu, and the saved level is taken up again and played on.
void savedAndResumed(Session& s) {
    s.firstStartIntoLevelOne("BORIS", 30);
    for (int moves = 0; moves < 3; ++moves) s.botMove();
    s.press(kEscape);
    s.choose("main");
    s.press(kEnter);
    s.frames(10);
    s.choose("adventure");
    s.choose("yes");
    s.frames(10);
    for (int moves = 0; moves < 3; ++moves) s.botMove();
    s.frames(30);
}

// A first start in puzzle mode, its moves spent on the smallest groups away from the squares,
// then whatever the level shows answered with Enter, and a few of the bot's clicks. The tenth
// quick click in a row earns the trophy for rapid play with moves still left, so the level is
// never lost here: the trophy room opens, and the Enters answer its window's "OK"
// (lost_level_and_restart plays the lost level).
void puzzleSmallGroups(Session& s) {
    s.passTheLoader();
    s.type("DORA");
    s.press(kEnter);
    s.choose("puzzle");
    for (int i = 0; i < 3 && currentScene() != gameScene(); ++i) s.press(kEnter);
    s.frames(30);
    for (int moves = 0; moves < 300 && !board().levelLost; ++moves)
        if (!s.carelessMove()) break;
    EXPECT_GT(board().movesUsed, 10);
    s.frames(300);
    s.press(kEnter);
    s.press(kEnter);
    s.frames(30);
    for (int moves = 0; moves < 4; ++moves) s.botMove();
    s.frames(30);
}

// A first start into level 1 won by the board's test keys (the code typed backwards turns them
// on, "V" breaks every square), the result window closed, the map marking the level as won and
// the mode's menu over it, then the close.
void wonLevelToTheMap(Session& s) {
    s.firstStartIntoLevelOne("ELLA", 90);
    s.botMove();
    s.type("GLIMBRAX");
    s.key('V', 2);
    for (int i = 0; i < 1200 && !menuOpen(); ++i) s.frames(1);
    EXPECT_TRUE(board().levelComplete);
    s.frames(200);  // the count-up
    s.press(kEnter);
    for (int i = 0; i < 600 && currentScene() != mapScene(); ++i) {
        if (i % 60 == 59) s.key(kEnter, 1);
        s.frames(1);
    }
    EXPECT_EQ(currentScene(), mapScene());
    s.frames(240);  // the map's sparkles and the traveller
}

// A first start in puzzle mode with level 1's moves spent on the smallest groups (a lone figure
// clicked now and then breaks the run of quick clicks, which would earn a trophy), the defeat,
// the lost-life message whose "ok" restarts the level at the cost of a life, and a few of the
// bot's clicks on the fresh board.
void lostLevelAndRestart(Session& s) {
    s.passTheLoader();
    s.type("HUGO");
    s.press(kEnter);
    s.choose("puzzle");
    for (int i = 0; i < 3 && currentScene() != gameScene(); ++i) s.press(kEnter);
    s.frames(30);
    const int level = board().levelIndex;
    const int livesAtStart = lives();
    for (int moves = 0; moves < 60 && !board().levelLost; ++moves) {
        if (moves % 4 == 3) s.carelessMove(1);
        if (!s.carelessMove()) break;
    }
    s.frames(2);
    ASSERT_TRUE(board().levelLost);
    EXPECT_EQ(board().movesUsed, board().movesLimit);
    EXPECT_EQ(nextNewTrophy(), 0) << "a trophy came between the moves and the defeat";
    // The defeat sweeps the board; a key after 4000 ms of it asks about the lost life.
    s.frames(270);
    s.press(kEnter);
    EXPECT_TRUE(currentMenuIs("messageboxok"));
    s.press(kEnter);
    EXPECT_FALSE(board().levelLost);
    EXPECT_EQ(board().levelIndex, level);
    EXPECT_EQ(board().movesUsed, 0);
    EXPECT_EQ(lives(), livesAtStart - 1);
    EXPECT_TRUE(lostOnce());
    s.frames(30);
    int moves = 0;
    while (moves < 3 && s.botMove()) ++moves;
    EXPECT_EQ(board().movesUsed, 3);
    EXPECT_FALSE(board().levelLost);
    s.frames(30);
}

// A first start into level 1 with quick clicks on small groups until the tenth in a row earns
// the trophy for rapid play: the game pauses, announces it and opens the trophy room, whose
// window presents it; its "OK" and the room's back button return to the level. Then the
// in-game menu saves the level on the way to the main menu, whose trophy room shows the
// trophy held, its tip under the cursor, and the back button leads to the main menu.
void trophyAndItsRoom(Session& s) {
    s.firstStartIntoLevelOne("FINN", 30);
    for (int moves = 0; moves < 40 && !trophyEarned(17); ++moves)
        if (!s.carelessMove()) break;
    ASSERT_TRUE(trophyEarned(17));
    EXPECT_TRUE(s.until([] { return currentScene() == trophyRoomScene(); }, 200));
    EXPECT_EQ(trophyRoom().returnKind, -2);
    EXPECT_TRUE(s.until([] { return trophyRoom().window == 2; }, 200));
    EXPECT_EQ(trophyRoom().windowTrophy, 17);
    s.frames(30);
    s.run().click(0.0f, -85.0f);  // the window's "OK"
    EXPECT_TRUE(s.until([] { return trophyRoom().window == 4; }, 100));
    EXPECT_FALSE(trophyIsNew(17));
    s.frames(60);
    s.run().click(-364.0f, 264.0f);  // the back button
    EXPECT_TRUE(s.until([] { return currentScene() == gameScene(); }, 200));
    EXPECT_FALSE(board().levelComplete || board().levelLost);
    s.frames(30);

    s.press(kEscape);
    s.choose("main");
    s.press(kEnter);  // "savemsg"
    s.frames(10);
    ASSERT_TRUE(currentMenuIs("main"));
    s.choose("trophyroom");
    EXPECT_TRUE(s.until([] { return currentScene() == trophyRoomScene(); }, 200));
    EXPECT_EQ(trophyRoom().returnKind, -1);
    s.frames(70);
    const TrophyLayout& place = trophyTable().layout[16];
    s.run().moveTo(place.x, place.y);
    EXPECT_TRUE(s.until([] { return trophyRoom().tipSlide >= 1.0f; }, 300)) << "no tip over the held trophy";
    EXPECT_EQ(trophyRoom().hovered, 17);
    s.frames(30);
    s.run().click(-364.0f, 264.0f);
    EXPECT_TRUE(s.until([] { return currentScene() == mapScene(); }, 200));
    s.settle();
    EXPECT_TRUE(currentMenuIs("main"));
    EXPECT_TRUE(trophyEarned(17));
    EXPECT_FALSE(trophyIsNew(17));
    s.frames(30);
}

// A first start into adventure, and every level of the first stage won in turn by the board's
// test keys, each through its result window to the map and the next level's "start"; the last
// one finishes the stage: the stage panel opens over the map and waits for its "OK", then the
// traveller sets off for the second stage.
void wholeStageWithTheMap(Session& s) {
    s.firstStartIntoLevelOne("GRETA", 90);
    s.botMove();
    s.type("GLIMBRAX");
    for (int level = 0; level < stageSize(0); ++level) {
        if (level > 0) {
            ASSERT_TRUE(currentMenuIs("adventure"));
            EXPECT_EQ(selectedLevel(), level);
            s.choose("start");
            EXPECT_TRUE(s.until([] { return currentScene() == gameScene() && menuOpen(); }, 200));
            // The traveller's tip of a new level is answered.
            if (currentMenuIs("gameplaytip")) s.press(kEnter);
            EXPECT_FALSE(menuOpen());
            s.frames(20);
        }
        EXPECT_EQ(board().levelIndex, level);
        // A small group broken by hand before the test keys win the level.
        EXPECT_TRUE(s.carelessMove());
        for (int i = 0; i < 30 && board().tip.showing; ++i) s.key(kEnter, 10);
        s.key('V', 2);
        EXPECT_TRUE(s.until([] { return board().levelComplete != 0; }, 120)) << "level " << level + 1;
        s.frames(60);
        s.key(kEnter);  // the result window
        EXPECT_TRUE(s.until([] { return currentMenuIs("levelcomplete"); }, 60));
        s.frames(50);
        s.key(kEnter, 20);  // the count-up is cut short
        s.press(kEnter);
        for (int i = 0; i < 300 && currentScene() != mapScene(); ++i) {
            if (i % 20 == 19) s.key(kEnter, 1);
            s.frames(1);
        }
        ASSERT_EQ(currentScene(), mapScene()) << "level " << level + 1;
        EXPECT_TRUE(levelCompleted(level)) << "level " << level + 1;
        EXPECT_FALSE(levelCompleted(level + 1));
        s.frames(level + 1 < stageSize(0) ? 60 : 1);
    }
    // The won-level sequence runs to the stage panel, which opens for the finished stage.
    EXPECT_TRUE(s.until([] { return mapState().panel.state == 2; }, 600));
    EXPECT_TRUE(stageComplete(0));
    s.frames(30);
    s.run().click(0.0f, -200.0f);  // the panel's "OK"
    EXPECT_TRUE(s.until([] { return mapState().panel.state == -1 && mapState().wonTimer <= 0.0f; }, 400));
    EXPECT_EQ(mapState().travellerStage, 1);
    EXPECT_TRUE(s.until([] { return mapState().travellerDistance == mapState().travellerTarget; }, 600));
    EXPECT_TRUE(currentMenuIs("adventure"));
    EXPECT_EQ(selectedLevel(), stageSize(0));
    s.frames(100);  // the second stage's stars settle one after another
}

struct Script {
    const char* name;
    std::function<void(Session&)> play;
};
const Script kScripts[] = {
    {"first_start_bot_play", firstStartBotPlay},
    {"saved_and_resumed", savedAndResumed},
    {"puzzle_small_groups", puzzleSmallGroups},
    {"won_level_to_the_map", wonLevelToTheMap},
    {"lost_level_and_restart", lostLevelAndRestart},
    {"trophy_and_its_room", trophyAndItsRoom},
    {"whole_stage_with_the_map", wholeStageWithTheMap},
};

void storeEnd(const std::string& name, uint64_t digest, const PlayerFiles& files) {
    fs::path end = kStored / (name + ".end");
    fs::remove_all(end);
    fs::create_directories(end);
    for (const auto& [file, bytes] : files) testing_support::writeFile(end / file, bytes);
    testing_support::writeFile(end / "digest.txt", digestText(digest) + "\n");
}

void storeReference(const std::string& name, const fs::path& recording, uint64_t digest, const PlayerFiles& files) {
    fs::create_directories(kStored);
    fs::copy_file(recording, kStored / (name + ".smr"), fs::copy_options::overwrite_existing);
    storeEnd(name, digest, files);
}

bool dataSet() { return testing_support::dataSetAvailable("music.mo3"); }

class ReplayRoundTrip : public ::testing::TestWithParam<int> {};

// The scripted session, recorded, plays back headless to the very end it had: the same digest
// and the same player files byte for byte.
TEST_P(ReplayRoundTrip, PlaysBackToTheRecordedEnd) {
    if (!dataSet()) {
        if (testing_support::dataSetRequired()) FAIL() << "missing data set";
        GTEST_SKIP() << "data set not built";
    }
    const Script& script = kScripts[GetParam()];
    testing_support::TempDir work;
    fs::path recording = work / "session.smr";
    uint64_t recorded = 0;
    PlayerFiles recordedFiles;
    {
        Session s(recording);
        script.play(s);
        recorded = s.close();
        recordedFiles = s.filesAtEnd();
    }
    ASSERT_FALSE(recordedFiles.empty());
    Replay replay;
    std::string error;
    ASSERT_TRUE(readReplayFile(recording, replay, error)) << error;
    EXPECT_TRUE(replay.hasEnd);
    EXPECT_EQ(replay.endDigest, recorded);
    PlaybackEnd end = playBack(replay);
    ASSERT_TRUE(end.started);
    EXPECT_EQ(end.exitCode, 0);
    EXPECT_EQ(digestText(end.digest), digestText(recorded));
    EXPECT_EQ(compareFiles(recordedFiles, end.files), "");
    if (std::getenv("SANDMERE_UPDATE_REPLAYS")) storeReference(script.name, recording, recorded, recordedFiles);
}

INSTANTIATE_TEST_SUITE_P(Scripts, ReplayRoundTrip, ::testing::Range(0, static_cast<int>(std::size(kScripts))),
                         [](const ::testing::TestParamInfo<int>& info) { return std::string(kScripts[info.param].name); });

std::vector<std::string> storedReplays() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kStored, ec))
        if (entry.path().extension() == ".smr") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class StoredReplay : public ::testing::TestWithParam<std::string> {};

// A stored session plays back headless to the reference end stored beside it.
TEST_P(StoredReplay, PlaysToItsReferenceEnd) {
    if (!dataSet()) {
        if (testing_support::dataSetRequired()) FAIL() << "missing data set";
        GTEST_SKIP() << "data set not built";
    }
    const std::string name = GetParam();
    Replay replay;
    std::string error;
    ASSERT_TRUE(readReplayFile(kStored / (name + ".smr"), replay, error)) << error;
    fs::path endFolder = kStored / (name + ".end");
    PlayerFiles want = filesIn(endFolder);
    std::string digest = want["digest.txt"];
    want.erase("digest.txt");
    ASSERT_FALSE(want.empty()) << "no reference player files in " << endFolder;
    PlaybackEnd end = playBack(replay);
    ASSERT_TRUE(end.started) << "the replay does not start on this data set";
    EXPECT_EQ(end.exitCode, 0);
    // After a deliberate change of a rule the session meets, its new end becomes the reference.
    if (std::getenv("SANDMERE_UPDATE_REPLAY_ENDS")) storeEnd(name, end.digest, end.files);
    EXPECT_EQ(digestText(end.digest) + "\n", digest);
    EXPECT_EQ(compareFiles(want, end.files), "");
}

INSTANTIATE_TEST_SUITE_P(Stored, StoredReplay, ::testing::ValuesIn(storedReplays()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(StoredReplay);

// A replay of another version or other level files does not start, and says why.
TEST(ReplayChecks, AnotherVersionOrOtherLevelsStopWithAMessage) {
    if (!dataSet()) GTEST_SKIP() << "data set not built";
    std::vector<std::string> names = storedReplays();
    if (names.empty()) GTEST_SKIP() << "no stored replays";
    Replay replay;
    std::string error;
    ASSERT_TRUE(readReplayFile(kStored / (names[0] + ".smr"), replay, error)) << error;
    Replay other = replay;
    other.version = "0.9";
    testing::internal::CaptureStderr();
    PlaybackEnd end = playBack(other);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(end.started);
    EXPECT_EQ(end.exitCode, 1);
    EXPECT_NE(said.find("recorded by Sandmere 0.9"), std::string::npos) << said;
    other = replay;
    other.levelHash ^= 1;
    testing::internal::CaptureStderr();
    end = playBack(other);
    said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(end.started);
    EXPECT_NE(said.find("other level files"), std::string::npos) << said;
}

// The file layout: every kind of record writes and reads back the same, and damage is told
// with its place.
TEST(ReplayFormat, RecordsReadBackAndDamageIsToldWhere) {
    Replay r;
    r.version = "1.0";
    r.dataSetBytes = 1234;
    r.levelHash = 0x0123456789abcdefull;
    r.files.push_back({"profiles.dat", {1, 2, 3}});
    ReplayRecord frames;
    frames.kind = ReplayRecordKind::Frames;
    frames.deltaMs = 300000;
    frames.count = 7;
    ReplayRecord cursor;
    cursor.kind = ReplayRecordKind::Cursor;
    cursor.x = 399.5f;
    cursor.y = -3.25f;
    cursor.inside = true;
    ReplayRecord move;
    move.kind = ReplayRecordKind::Event;
    move.event.type = platform::EventType::MouseMove;
    move.event.x = -5;
    move.event.y = 601;
    ReplayRecord key = move;
    key.event = platform::Event{};
    key.event.type = platform::EventType::KeyDown;
    key.event.key = 200;
    ReplayRecord end;
    end.kind = ReplayRecordKind::End;
    end.digest = 42;
    r.records = {frames, cursor, move, key, end};
    std::vector<uint8_t> image;
    encodeReplay(r, image);
    Replay back;
    std::string error;
    ASSERT_TRUE(parseReplay(image.data(), image.size(), back, error)) << error;
    EXPECT_EQ(back.version, "1.0");
    EXPECT_EQ(back.levelHash, r.levelHash);
    ASSERT_EQ(back.records.size(), 5u);
    EXPECT_EQ(back.records[0].deltaMs, 300000u);
    EXPECT_EQ(back.frameCount, 7u);
    EXPECT_EQ(back.records[1].x, 399.5f);
    EXPECT_EQ(back.records[2].event.x, -5);
    EXPECT_EQ(back.records[2].event.y, 601);
    EXPECT_EQ(back.records[3].event.key, 200);
    EXPECT_TRUE(back.hasEnd);
    EXPECT_EQ(back.endDigest, 42u);

    std::vector<uint8_t> cut(image.begin(), image.end() - 3);
    EXPECT_FALSE(parseReplay(cut.data(), cut.size(), back, error));
    EXPECT_NE(error.find("ends too early"), std::string::npos) << error;
    std::vector<uint8_t> after = image;
    after.push_back('F');
    EXPECT_FALSE(parseReplay(after.data(), after.size(), back, error));
    EXPECT_NE(error.find("after the end"), std::string::npos) << error;
    std::vector<uint8_t> bad = image;
    bad[0] = 'X';
    EXPECT_FALSE(parseReplay(bad.data(), bad.size(), back, error));
    EXPECT_NE(error.find("not a Sandmere replay"), std::string::npos) << error;
}

std::string runGame(const std::string& folder, const std::string& arguments, int& exitCode) {
    std::string command = "cd '" + folder + "' && SANDMERE_HEADLESS=1 SDL_AUDIODRIVER=dummy '" SANDMERE_GAME_EXE "' " +
                          arguments + " 2>&1";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    int status = pclose(pipe);
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

// The command line: help, version, the exit code 2 of anything else, a damaged replay's message,
// and a headless playback that ends with its digest.
TEST(ReplayCommandLine, HelpVersionBadArgumentsAndAHeadlessPlayback) {
    testing_support::TempDir dir;
    int code = -1;
    std::string out = runGame(dir.str(), "--help", code);
    EXPECT_EQ(code, 0);
    EXPECT_NE(out.find("--replay FILE --headless"), std::string::npos) << out;
    EXPECT_NE(out.find("--timedemo FILE"), std::string::npos) << out;
    out = runGame(dir.str(), "--version", code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out, std::string("Sandmere ") + programVersion() + "\n");
    out = runGame(dir.str(), "--fast", code);
    EXPECT_EQ(code, 2);
    EXPECT_NE(out.find("unknown argument '--fast'"), std::string::npos) << out;
    runGame(dir.str(), "--replay", code);
    EXPECT_EQ(code, 2);
    runGame(dir.str(), "--headless", code);
    EXPECT_EQ(code, 2);
    testing_support::writeFile(dir / "damaged.smr", std::string("SMRP\x01\x03", 6));
    out = runGame(dir.str(), "--replay damaged.smr --headless", code);
    EXPECT_EQ(code, 1);
    EXPECT_NE(out.find("damaged.smr is damaged: the file ends too early"), std::string::npos) << out;

    // A short session (the splash, then the close) with one player file from before.
    if (!dataSet()) return;
    testing_support::makeForgedInstall(dir);
    Replay replay;
    replay.version = programVersion();
    replay.dataSetBytes = 1;
    replay.levelHash = levelFilesHash(SANDMERE_DATA_DIR "/");
    replay.files.push_back({"hiscore.dat", std::vector<uint8_t>(1080, 0)});
    ReplayRecord frames;
    frames.kind = ReplayRecordKind::Frames;
    frames.deltaMs = 16;
    frames.count = 30;
    ReplayRecord close;
    close.kind = ReplayRecordKind::Event;
    close.event.type = platform::EventType::Close;
    replay.records = {frames, close};
    PlaybackEnd inProcess = playBack(replay);
    ASSERT_TRUE(inProcess.started);
    std::vector<uint8_t> image;
    encodeReplay(replay, image);
    testing_support::writeFile(dir / "short.smr", std::string(image.begin(), image.end()));
    out = runGame(dir.str(), "--replay short.smr --headless", code);
    EXPECT_EQ(code, 0) << out;
    EXPECT_NE(out.find("this one"), std::string::npos) << "the byte total is told: " << out;
    EXPECT_NE(out.find("has no end state"), std::string::npos) << out;
    const std::string last = "digest " + digestText(inProcess.digest) + "\n";
    ASSERT_GE(out.size(), last.size());
    EXPECT_EQ(out.substr(out.size() - last.size()), last);
    EXPECT_FALSE(fs::exists(dir / "Data" / "settings")) << "a playback keeps the player files of its own";
}

}  // namespace
