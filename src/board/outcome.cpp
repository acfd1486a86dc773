#include "board/outcome.h"

#include "app/scene.h"
#include "app/trace.h"
#include "menus/flows.h"
#include "menus/menus.h"
#include "progress/game_modes.h"
#include "progress/profiles.h"
#include "progress/records.h"
#include "progress/screen_transition.h"
#include "progress/trophies.h"
#include "progress/trophy_state.h"

namespace {

struct OutcomeState {
    BoardOutcomeHooks hooks;
    // The lives and trophies of holdOutcomesInMemory.
    bool earned[18];
    int lives = 3;
    bool tipFlags[kTipFlagCount];
};
OutcomeState gOutcome;

// The game's own calls: the current profile's lives, position and score, its trophies, the
// shared records and high scores, and the files they are kept in.
bool profileAward(int k) {
    if (!awardTrophy(k)) return false;
    traceCall("trophy", "award", 0.0f, 0.0f, k);
    return true;
}
bool profileHasNewTrophy() { return nextNewTrophy() != 0; }
int profileLives() { return lives(); }
void profileAddLife() { addLife(); }
void profileSetLives(int value) { setLives(value); }
void profileAdvanceLevel() { advanceLevel(); }
void profileSetPosition(int levelNumber) { setPosition(levelNumber); }
void profileSetModeScore(int score) { setModeScore(score); }
void profileSave() { saveProgress(); }
void profileLevelRecord(int mode, int levelIndex, int score, int streak, int moves, float playMs) {
    updateLevelRecord(mode, levelIndex, score, streak, moves, playMs, currentProfile().name);
}
void profileHighScore(int mode, int score) { insertHighScore(mode, score, currentProfile().name); }
bool noNewTrophy() { return false; }
bool profileTipFlag(int slot) { return tipFlag(slot); }
void profileClearTipFlag(int slot) { setTipFlag(slot, false); }

bool heldAward(int k) {
    if (k < 1 || k > 17 || gOutcome.earned[k]) return false;
    gOutcome.earned[k] = true;
    traceCall("trophy", "award", 0.0f, 0.0f, k);
    return true;
}
int heldLives() { return gOutcome.lives; }
void heldAddLife() { gOutcome.lives += 1; }
void heldSetLives(int value) { gOutcome.lives = value; }
bool heldTipFlag(int slot) { return slot >= 0 && slot < kTipFlagCount && gOutcome.tipFlags[slot]; }
void heldClearTipFlag(int slot) {
    if (slot >= 0 && slot < kTipFlagCount) gOutcome.tipFlags[slot] = false;
}
void holdNewPlayerTips() {
    for (bool& t : gOutcome.tipFlags) t = true;
}
void nothing() {}
void nothingInt(int) {}
void nothingRecord(int, int, int, int, int, float) {}
void nothingScore(int, int) {}
// A menu opened over board play holds the board by itself (the menus' entry step).
void openMenuNamed(const char* name) {
    traceCall("menu", name);
    openMenuByName(name);
}
void showMessageBox(const char* key) { showModeMessage(key, true); }
bool modesLostOnce() { return lostOnce(); }
bool neverLostOnce() { return false; }
void tracedTransition(float ms, const char* caption) {
    traceCall("transition", caption, 0.0f, 0.0f, static_cast<int>(ms));
    closeTransition(ms, caption);
}
void openTrophyRoom(int returnKind) { enterTrophyRoom(returnKind); }

bool silentAward(int) { return false; }
int threeLives() { return 3; }
void silentName(const char*) {}
void silentTransition(float, const char*) {}

}  // namespace

BoardOutcomeHooks& outcomeHooks() {
    if (!gOutcome.hooks.awardTrophy) resetOutcomeHooks();
    return gOutcome.hooks;
}

void resetOutcomeHooks() {
    gOutcome = OutcomeState{};
    BoardOutcomeHooks& h = gOutcome.hooks;
    h.awardTrophy = profileAward;
    h.hasNewTrophy = profileHasNewTrophy;
    h.lives = profileLives;
    h.addLife = profileAddLife;
    h.setLives = profileSetLives;
    h.advanceLevel = profileAdvanceLevel;
    h.setPosition = profileSetPosition;
    h.setModeScore = profileSetModeScore;
    h.saveProgress = profileSave;
    h.updateLevelRecord = profileLevelRecord;
    h.insertHighScore = profileHighScore;
    h.openMenu = openMenuNamed;
    h.showMessage = showMessageBox;
    h.closeTransition = tracedTransition;
    h.enterTrophyRoom = openTrophyRoom;
    h.lostOnce = modesLostOnce;
    h.markGameCompleted = markGameCompleted;
    h.tipFlag = profileTipFlag;
    h.clearTipFlag = profileClearTipFlag;
}

void silenceOutcomeHooks() {
    BoardOutcomeHooks& h = gOutcome.hooks;
    h.awardTrophy = silentAward;
    h.hasNewTrophy = noNewTrophy;
    h.lives = threeLives;
    h.addLife = nothing;
    h.setLives = nothingInt;
    h.advanceLevel = nothing;
    h.setPosition = nothingInt;
    h.setModeScore = nothingInt;
    h.saveProgress = nothing;
    h.updateLevelRecord = nothingRecord;
    h.insertHighScore = nothingScore;
    h.openMenu = silentName;
    h.showMessage = silentName;
    h.closeTransition = silentTransition;
    h.enterTrophyRoom = nothingInt;
    h.lostOnce = neverLostOnce;
    h.markGameCompleted = nothing;
    holdNewPlayerTips();
    h.tipFlag = heldTipFlag;
    h.clearTipFlag = heldClearTipFlag;
}

void holdOutcomesInMemory() {
    BoardOutcomeHooks& h = outcomeHooks();
    for (bool& e : gOutcome.earned) e = false;
    gOutcome.lives = 3;
    h.awardTrophy = heldAward;
    h.hasNewTrophy = noNewTrophy;
    h.lives = heldLives;
    h.addLife = heldAddLife;
    h.setLives = heldSetLives;
    h.advanceLevel = nothing;
    h.setPosition = nothingInt;
    h.setModeScore = nothingInt;
    h.saveProgress = nothing;
    h.updateLevelRecord = nothingRecord;
    h.insertHighScore = nothingScore;
    h.lostOnce = neverLostOnce;
    h.markGameCompleted = nothing;
    holdNewPlayerTips();
    h.tipFlag = heldTipFlag;
    h.clearTipFlag = heldClearTipFlag;
}

int awardFirstOf(std::initializer_list<int> trophies) {
    BoardOutcomeHooks& h = outcomeHooks();
    for (int k : trophies)
        if (h.awardTrophy(k)) return k;
    return 0;
}
