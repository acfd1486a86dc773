#include "board/outcome.h"

#include "app/scene.h"
#include "app/trace.h"
#include "menus/menus.h"

namespace {

// Until the profiles keep them, lives and trophies are held here for the whole run.
struct OutcomeState {
    BoardOutcomeHooks hooks;
    bool earned[18];
    int lives = 3;
};
OutcomeState gOutcome;

bool heldAward(int k) {
    if (k < 1 || k > 17 || gOutcome.earned[k]) return false;
    gOutcome.earned[k] = true;
    traceCall("trophy", "award", 0.0f, 0.0f, k);
    return true;
}
bool noNewTrophy() { return false; }
int heldLives() { return gOutcome.lives; }
void heldAddLife() { gOutcome.lives += 1; }
void heldSetLives(int lives) { gOutcome.lives = lives; }
void nothing() {}
void nothingInt(int) {}
void nothingRecord(int, int, int, int, int, float) {}
void nothingScore(int, int) {}
void openMenuNamed(const char* name) {
    menuOpen() = true;
    openMenuByName(name);
}
void showMessageBox(const char* key) {
    menuOpen() = true;
    traceCall("message", key);
}
void tracedTransition(float ms, const char* caption) { traceCall("transition", caption, 0.0f, 0.0f, static_cast<int>(ms)); }
void openTrophyRoom(int returnKind) {
    traceCall("trophyroom", "enter", 0.0f, 0.0f, returnKind);
    requestScene(trophyRoomScene());
}

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
    h.openMenu = openMenuNamed;
    h.showMessage = showMessageBox;
    h.closeTransition = tracedTransition;
    h.enterTrophyRoom = openTrophyRoom;
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
}

int awardFirstOf(std::initializer_list<int> trophies) {
    BoardOutcomeHooks& h = outcomeHooks();
    for (int k : trophies)
        if (h.awardTrophy(k)) return k;
    return 0;
}
