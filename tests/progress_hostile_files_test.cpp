// The players' files under hostile conditions: wild counters in a saved game, links and FIFOs
// planted under the files' names, files that exist but cannot be read, and two profiles of one
// name.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>

#include "board_support.h"
#include "progress/saved_game.h"
#include "progress_support.h"

using progress_testing::loadHexFixture;
using progress_testing::Sandbox;
using testing_support::FatalError;
namespace fs = std::filesystem;

namespace {

void putI32(std::vector<uint8_t>& b, size_t at, int32_t v) { std::memcpy(b.data() + at, &v, 4); }

// Offsets of the counters in the file.
constexpr size_t kShownScoreAt = 51520, kLevelScoreAt = 51524, kCarriedAt = 51540, kComboAt = 51544;
constexpr size_t kBestRunAt = 51560, kRunAt = 51564, kLightningRunAt = 51572, kMovesAt = 51580;
constexpr size_t kCell23ScoreAt = 15600 + 27 * 116 + 88;

int gTrophiesAwarded = 0;
bool countTrophy(int) {
    ++gTrophiesAwarded;
    return true;
}

// The start of a fresh process over the sandbox.
void restart(const Sandbox& box) {
    resetProgressState();
    resetRecordState();
    clearTrophyState();
    box.start();
}

// Runs `body` in a child process; its exit code, or -1 when it did not end within the time.
template <typename Body>
int exitOfChild(Body body, int milliseconds) {
    pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    for (int waited = 0; waited <= milliseconds; waited += 10) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

}  // namespace

TEST(SavedGameCounters, WildCountersAreBroughtWithinWhatPlayCanReach) {
    for (int32_t wild : {INT_MAX, INT_MIN, -5}) {
        SCOPED_TRACE(wild);
        std::vector<uint8_t> bytes = loadHexFixture("savedgame.hex");
        for (size_t at : {kShownScoreAt, kLevelScoreAt, kCarriedAt, kComboAt, kBestRunAt, kRunAt, kLightningRunAt,
                          kMovesAt, kCell23ScoreAt})
            putI32(bytes, at, wild);
        auto g = std::make_unique<SavedGame>();
        ASSERT_TRUE(decodeSavedGame(bytes.data(), bytes.size(), 2, 100, *g));
        EXPECT_GE(g->movesUsed, 0);
        EXPECT_GE(g->colourStreak, 0);
        EXPECT_LE(g->colourStreak, g->bestStreak);
        EXPECT_LT(g->bestStreak, std::max(g->movesUsed, 1)) << "a run needs a move before it";
        EXPECT_LE(g->bestStreak, 1000);
        EXPECT_GE(g->lightningRun, 0);
        EXPECT_LE(g->lightningRun, 2);
        EXPECT_GE(g->comboCount, 0);
        EXPECT_LE(g->comboCount, 2 * kCellCount);
        EXPECT_GE(g->cells[2][3].cellScore, 0);
        EXPECT_LE(g->cells[2][3].cellScore, int64_t{2} * kCellCount * g->colourStreak);
        EXPECT_GE(g->shownScore, 0);
        EXPECT_LE(g->shownScore, g->levelScore);
        EXPECT_GE(g->carriedScore, 0);
        // Far from the end of the range: the game goes on adding to them.
        EXPECT_LT(int64_t{g->carriedScore} + g->levelScore, int64_t{INT_MAX} / 2 + INT_MAX / 4);
        // The profile's lives and score, which a game starts from.
        std::vector<uint8_t> record(kProfileBytes, 0);
        for (size_t at = 80; at < 104; at += 4) putI32(record, at, wild);
        Profile p;
        decodeProfile(record.data(), p);
        for (int m = 0; m < kModeCount; ++m) {
            EXPECT_GE(p.lives[m], 0);
            EXPECT_LT(p.lives[m] + int64_t{1}, INT_MAX / 2);
            EXPECT_LT(p.score[m] + int64_t{g->levelScore}, INT_MAX / 2 + INT_MAX / 4);
            EXPECT_GT(p.score[m] - int64_t{g->levelScore}, INT_MIN / 2 - INT_MAX / 4);
        }
        if (wild == -5) {
            EXPECT_EQ(p.score[0], -5) << "a score of 0 or less is kept as read";
        }
    }
}

TEST(SavedGameCounters, PlayGoesOnFromAWildFileWithoutOverflowOrFeats) {
    board_test::freshBoard();
    board_test::quietBoard();
    outcomeHooks().awardTrophy = countTrophy;
    gTrophiesAwarded = 0;
    auto g = std::make_unique<SavedGame>();
    captureSavedGame(*g);
    // A run of three groups of kind 0 after four moves, wild everywhere else; the board rests
    // with no explosion: no chain is left to pay.
    g->movesUsed = 4;
    g->bestStreak = 3;
    g->previousKind = 0;
    g->colourStreak = INT_MAX;
    g->lightningRun = INT_MAX;
    g->comboCount = 11;
    g->levelScore = INT_MAX - 5;
    g->shownScore = INT_MAX - 5;
    g->carriedScore = INT_MAX - 5;
    g->cells[5][5].cellScore = INT_MAX;
    std::vector<uint8_t> bytes;
    encodeSavedGame(*g, bytes);
    ASSERT_TRUE(decodeSavedGame(bytes.data(), bytes.size(), board().mode, 0, *g));
    applySavedGame(*g);
    const int32_t loadedScore = board().levelScore;
    board_test::frames(10);
    board_test::clickCell(10, 0);  // the pair of kind 0 goes on with the run
    ASSERT_TRUE(board_test::settle());
    board_test::clickCell(10, 2);
    ASSERT_TRUE(board_test::settle());
    EXPECT_EQ(board().movesUsed, 6);
    EXPECT_EQ(board().bestStreak, 4);
    EXPECT_EQ(gTrophiesAwarded, 0);
    EXPECT_EQ(countTraced("sound", "BonusPrize.ogg"), 0) << "a chain count with no chain paid a prize";
    EXPECT_GT(board().levelScore, loadedScore);
    EXPECT_LE(board().shownScore, board().levelScore);
    EXPECT_GT(int64_t{board().carriedScore} + board().shownScore, 0);
    resetOutcomeHooks();
}

TEST(PlantedFiles, ALinkUnderATemporaryNameIsReplacedNotWrittenThrough) {
    Sandbox box;
    box.start();
    ASSERT_TRUE(createProfile("ANNA"));
    saveProgress();
    fs::path victim = box.dir / "victim.txt";
    fs::path elsewhere = box.dir / "created.txt";
    testing_support::writeFile(victim, "keep");
    fs::create_symlink(victim, box.file("profiles.dat.tmp"));
    fs::create_symlink(elsewhere, box.file("settings.dat.tmp"));  // leads nowhere yet
    saveProgress();
    awardTrophy(4);
    EXPECT_EQ(testing_support::readFile(victim), "keep");
    EXPECT_FALSE(fs::exists(elsewhere));
    for (const char* name : {"settings.dat", "profiles.dat", "ANNA.trp"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(box.file(name)))) << name;
        EXPECT_FALSE(fs::exists(fs::symlink_status(box.file(std::string(name) + ".tmp")))) << name;
    }
    EXPECT_EQ(box.read("profiles.dat").size(), kProfileBytes);
}

TEST(PlantedFiles, AFifoUnderAPlayersNameStopsTheStartWithoutWaiting) {
    Sandbox box;
    box.start();
    ASSERT_TRUE(createProfile("ANNA"));
    saveProgress();
    for (const char* name : {"settings.dat", "profiles.dat", "ANNA.trp"}) {
        SCOPED_TRACE(name);
        std::string kept = box.read(name);
        fs::remove(box.file(name));
        ASSERT_EQ(mkfifo(box.file(name).c_str(), 0600), 0);
        static std::string expected;
        expected = std::string("Can't load ") + name + "...\nProgram will now stop.";
        int code = exitOfChild(
            [&box] {
                platform::setFatalHook([](const char* text, const char* caption) {
                    _exit(expected == text && std::strcmp(caption, "Loading Error") == 0 ? 1 : 2);
                });
                restart(box);
            },
            10000);
        EXPECT_EQ(code, 1) << "-1: the start waited on the FIFO; 0: it went on without the file";
        EXPECT_EQ(fs::symlink_status(box.file(name)).type(), fs::file_type::fifo);
        fs::remove(box.file(name));
        box.write(name, kept);
    }
}

TEST(UnreadableFiles, AFileThatCannotBeReadStopsTheStartAndNothingIsReplaced) {
    enum Way { Folder, LinkLoop, NoPermission };
    for (const char* name : {"settings.dat", "profiles.dat", "records.dat", "hiscore.dat", "ANNA.trp"})
        for (Way way : {Folder, LinkLoop, NoPermission}) {
            SCOPED_TRACE(std::string(name) + " way " + std::to_string(way));
            // Permissions do not stop the superuser; the other two ways stop everyone.
            if (way == NoPermission && geteuid() == 0) continue;
            Sandbox box;
            box.start();
            ASSERT_TRUE(createProfile("ANNA"));
            ASSERT_TRUE(createProfile("BEN"));
            selectProfile(0);
            saveProgress();
            std::map<std::string, std::string> before;
            for (const auto& e : fs::directory_iterator(box.folder))
                before[e.path().filename().string()] = testing_support::readFile(e.path());
            fs::remove(box.file(name));
            if (way == Folder) fs::create_directory(box.file(name));
            if (way == LinkLoop) fs::create_symlink(name, box.file(name));
            if (way == NoPermission) {
                box.write(name, before[name]);
                fs::permissions(box.file(name), fs::perms::none);
            }
            try {
                restart(box);
                ADD_FAILURE() << "the start went on without the file";
                saveProgress();
            } catch (const FatalError& e) {
                EXPECT_EQ(std::string(e.what()), std::string("Can't load ") + name + "...\nProgram will now stop.");
                EXPECT_EQ(e.caption, "Loading Error");
            }
            if (way == NoPermission) fs::permissions(box.file(name), fs::perms::owner_read | fs::perms::owner_write);
            for (const auto& [file, bytes] : before) {
                if (file == name && way != NoPermission) continue;
                EXPECT_EQ(box.read(file), bytes) << file;
            }
        }
}

TEST(DuplicateNames, TwoProfilesOfOneNameAreToldApartAtLoad) {
    Sandbox box;
    box.start();
    for (const char* n : {"ANNA", "BEN", "ANNA2", "ABCDEFGHIJKL", "CLARA"}) ASSERT_TRUE(createProfile(n));
    selectProfile(0);
    ASSERT_TRUE(awardTrophy(3));
    // A damaged table: BEN and CLARA carry names already taken; a file left over is in the way.
    std::memcpy(profileTable().slots[1].name, "ANNA", 5);
    std::memcpy(profileTable().slots[4].name, "ABCDEFGHIJKL", 13);
    saveProgress();
    box.write("ANNA3.trp", std::string(34, '\1'));
    restart(box);
    ASSERT_EQ(profileCount(), 5);
    const char* expected[] = {"ANNA", "ANNA4", "ANNA2", "ABCDEFGHIJKL", "ABCDEFGHIJK2"};
    for (int i = 0; i < 5; ++i) EXPECT_STREQ(profileTable().slots[i].name, expected[i]) << i;
    saveProgress();
    EXPECT_EQ(box.read("profiles.dat").substr(128, 6), std::string("ANNA4\0", 6));
    // Removing the copy leaves the first player's trophies.
    removeProfile(1);
    selectProfile(0);
    EXPECT_TRUE(box.exists("ANNA.trp"));
    EXPECT_TRUE(trophyEarned(3));
}
