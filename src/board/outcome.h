// What board play asks of the rest of the game when a level is won or lost, a life is earned,
// a trophy falls or a first-time tip shows: the profile, records, high scores, trophies, the
// game modes, menus and the trophy room.
// The calls go through one table so that the bot and the tests can play a level without a
// profile; resetOutcomeHooks puts the game's own calls back: the current profile's lives,
// position and score, its trophies, the shared records and high scores, and their files
// (written only once the profiles have been loaded from the settings folder).
#pragma once

#include <initializer_list>

struct BoardOutcomeHooks {
    bool (*awardTrophy)(int k);  // true when trophy k (1..17) is newly earned
    bool (*hasNewTrophy)();      // a trophy waits to be presented in the trophy room
    int (*lives)();
    void (*addLife)();
    void (*setLives)(int lives);
    void (*advanceLevel)();  // the next level opens on the map
    void (*setPosition)(int levelIndex);
    void (*setModeScore)(int score);  // the total of the game in progress
    void (*saveProgress)();
    void (*updateLevelRecord)(int mode, int levelIndex, int score, int streak, int moves, float playMs);
    void (*insertHighScore)(int mode, int score);
    void (*openMenu)(const char* name);
    void (*showMessage)(const char* key);
    void (*closeTransition)(float ms, const char* captionKey);  // "" for no caption
    void (*enterTrophyRoom)(int returnKind);
    bool (*lostOnce)();            // the level was lost once already: the next loss offers the skip
    void (*markGameCompleted)();   // the map shows the completed game
    bool (*tipFlag)(int slot);  // the player has not seen the first-time tip at this place yet
    void (*clearTipFlag)(int slot);
};

BoardOutcomeHooks& outcomeHooks();
void resetOutcomeHooks();
// Board rules without a profile or files: trophies, lives and tip flags held in memory for the
// run (three lives, every first-time tip still to see), nothing stored; the menus, messages
// and trophy room stay the game's own.
void holdOutcomesInMemory();
// Every call a no-op (awards report nothing new, three lives): for the bot, which plays every
// level as a new player does, its tips closed as they show.
void silenceOutcomeHooks();

// Tries the trophies in order; the first newly earned one ends the row. Returns it, or 0.
int awardFirstOf(std::initializer_list<int> trophies);
