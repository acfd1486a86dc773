// Recorders for what board play asks of the profile, the menus and the trophies.
#pragma once

#include <string>
#include <vector>

#include "board/outcome.h"
#include "menus/menus.h"

namespace board_test {

struct OutcomeRecord {
    std::vector<int> tried;   // every trophy award tried, in order
    std::vector<int> earned;  // the ones newly earned
    bool held[18] = {};
    bool newTrophy = false;
    int lives = 3;
    int lifeGains = 0;
    int advanced = 0;
    int position = -1;
    int modeScore = -1;
    std::vector<int> modeScores;
    int saves = 0;
    int records = 0;
    int recordScore = -1;
    std::vector<int> highScores;
    std::vector<std::string> menus;
    std::vector<std::string> messages;
    std::vector<std::string> transitions;
    int roomEntries = 0;
    int roomReturnKind = 0;
    bool lostOnce = false;
    int gameCompletions = 0;
};

inline OutcomeRecord& outcomeRecord() {
    static OutcomeRecord r;
    return r;
}

// Board play's calls go to the recorder; trophies listed as held report nothing new.
inline void recordOutcomes(std::initializer_list<int> held = {}) {
    OutcomeRecord& r = outcomeRecord();
    r = OutcomeRecord{};
    for (int k : held) r.held[k] = true;
    BoardOutcomeHooks& h = outcomeHooks();
    h.awardTrophy = [](int k) {
        OutcomeRecord& o = outcomeRecord();
        o.tried.push_back(k);
        if (k < 1 || k > 17 || o.held[k]) return false;
        o.held[k] = true;
        o.earned.push_back(k);
        return true;
    };
    h.hasNewTrophy = [] { return outcomeRecord().newTrophy; };
    h.lives = [] { return outcomeRecord().lives; };
    h.addLife = [] {
        outcomeRecord().lives += 1;
        outcomeRecord().lifeGains += 1;
    };
    h.setLives = [](int n) { outcomeRecord().lives = n; };
    h.advanceLevel = [] { outcomeRecord().advanced += 1; };
    h.setPosition = [](int p) { outcomeRecord().position = p; };
    h.setModeScore = [](int s) {
        outcomeRecord().modeScore = s;
        outcomeRecord().modeScores.push_back(s);
    };
    h.saveProgress = [] { outcomeRecord().saves += 1; };
    h.updateLevelRecord = [](int, int, int score, int, int, float) {
        outcomeRecord().records += 1;
        outcomeRecord().recordScore = score;
    };
    h.insertHighScore = [](int, int score) { outcomeRecord().highScores.push_back(score); };
    h.openMenu = [](const char* name) {
        menuState().menuOpen = true;
        outcomeRecord().menus.push_back(name);
    };
    h.showMessage = [](const char* key) {
        menuState().menuOpen = true;
        outcomeRecord().messages.push_back(key);
    };
    h.closeTransition = [](float, const char* caption) { outcomeRecord().transitions.push_back(caption); };
    h.enterTrophyRoom = [](int kind) {
        outcomeRecord().roomEntries += 1;
        outcomeRecord().roomReturnKind = kind;
    };
    h.lostOnce = [] { return outcomeRecord().lostOnce; };
    h.markGameCompleted = [] { outcomeRecord().gameCompletions += 1; };
}

}  // namespace board_test
