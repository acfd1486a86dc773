// A player's files survive the process being killed at any moment while they are written:
// a child saves in a loop, numbering every round, and is killed with SIGKILL at a random
// point; afterwards every file must be whole and exactly one of the rounds the child wrote.
// SANDMERE_CRASH_KILLS sets the number of kills (200 by default).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>

#include "progress/saved_game.h"
#include "progress_support.h"

using progress_testing::bytesOf;
using progress_testing::Sandbox;

namespace {

// Round k of the child: every file carries k in a field of its own.
void applyRound(int32_t k) {
    settings().reserved = k;
    Profile& p = profileTable().slots[0];
    p.score[0] = k;
    p.score[1] = -k;
    recordTable().levels[0][0].bestScore = k;
    recordTable().levels[2][128].fastestMs = k;
    highScoreTable().entries[0][0].score = k;
    for (int t = 0; t < kTrophyCount; ++t) trophyState().earned[t] = static_cast<uint8_t>((k >> t) & 1);
}

// The saved game of round k: its moves made are k.
std::vector<uint8_t> savedGameOfRound(int32_t k) {
    static SavedGame game{};
    game.movesUsed = k;
    game.carriedScore = -k;
    game.gameMode = 0;
    std::vector<uint8_t> bytes;
    encodeSavedGame(game, bytes);
    return bytes;
}

[[noreturn]] void saveForever() {
    try {
        loadSettings();
        loadProfiles();
        loadRecordTables();
        int32_t k = settings().reserved;
        while (true) {
            ++k;
            applyRound(k);
            saveProgress();
            writeTrophyState("ANNA");
            if (!writeSettingsFile("ANNA_cls.sav", savedGameOfRound(k))) _exit(4);
        }
    } catch (...) {
    }
    _exit(3);
}

// The whole file as round k writes it.
std::string expectedSettings(int32_t k) {
    Settings s = settings();
    s.reserved = k;
    std::vector<uint8_t> out;
    encodeSettings(s, out);
    return bytesOf(out);
}

int32_t roundOf(const std::string& bytes, size_t offset) {
    int32_t v = 0;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

}  // namespace

TEST(CrashSafety, FilesAreOldOrNewAfterAKillAtAnyPoint) {
    int kills = 200;
    if (const char* v = std::getenv("SANDMERE_CRASH_KILLS")) kills = std::max(1, std::atoi(v));
    Sandbox box;
    box.start();
    ASSERT_TRUE(createProfile("ANNA"));
    applyRound(0);
    saveProgress();
    writeTrophyState("ANNA");
    ASSERT_TRUE(writeSettingsFile("ANNA_cls.sav", savedGameOfRound(0)));

    std::mt19937 random(12345);
    int32_t lastRound = 0;
    int killedMidWrite = 0;
    for (int i = 0; i < kills; ++i) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) saveForever();
        // A round takes some milliseconds (more under the sanitizers); kill somewhere among the
        // first rounds.
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 50000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself, status " << status;

        std::string s = box.read("settings.dat");
        std::string p = box.read("profiles.dat");
        std::string r = box.read("records.dat");
        std::string h = box.read("hiscore.dat");
        std::string t = box.read("ANNA.trp");
        std::string g = box.read("ANNA_cls.sav");
        ASSERT_EQ(s.size(), 44u) << "kill " << i;
        ASSERT_EQ(p.size(), 128u) << "kill " << i;
        ASSERT_EQ(r.size(), kRecordFileBytes) << "kill " << i;
        ASSERT_EQ(h.size(), kHighScoreFileBytes) << "kill " << i;
        ASSERT_EQ(t.size(), kTrophyFileBytes) << "kill " << i;
        ASSERT_EQ(g.size(), kSavedGameBytes) << "kill " << i;
        int32_t ks = roundOf(s, 28);
        int32_t kp = roundOf(p, 92);
        int32_t kr = roundOf(r, 80);
        int32_t kh = roundOf(h, 32);
        int32_t kg = roundOf(g, 51580);
        ASSERT_EQ(g, bytesOf(savedGameOfRound(kg))) << "kill " << i;
        ASSERT_LE(kg, kh) << "kill " << i;  // written last in a round
        // Each file is whole: the round's other marks agree with its first one.
        ASSERT_EQ(s, expectedSettings(ks)) << "kill " << i;
        ASSERT_EQ(roundOf(p, 96), -kp) << "kill " << i;
        ASSERT_EQ(roundOf(r, 2 * 12384 + 128 * 96 + 92), kr) << "kill " << i;
        // The files are written in order and the rounds only grow, so no file is ahead of the one
        // written before it.
        ASSERT_GE(ks, lastRound);
        ASSERT_TRUE(ks >= kp && kp >= kr && kr >= kh && kh >= 0)
            << "kill " << i << ": rounds " << ks << " " << kp << " " << kr << " " << kh;
        for (size_t b = 0; b < t.size(); ++b) ASSERT_EQ(t[b], b % 2 == 0 ? 0 : t[b] & 1) << "kill " << i;
        if (ks != kp || kp != kr || kr != kh) ++killedMidWrite;
        lastRound = ks;
    }
    // The kills landed inside a save often enough to mean something.
    EXPECT_GT(killedMidWrite, kills / 20) << "kills that fell between two files: " << killedMidWrite;
    EXPECT_GT(lastRound, 0);  // the children got past their first round
    std::printf("%d kills, %d inside a save, %d rounds written\n", kills, killedMidWrite, lastRound);
}
