#include "progress/game_modes.h"

#include "app/scene.h"
#include "app/trace.h"
#include "board/board.h"
#include "board/level.h"
#include "board/scoring.h"
#include "menus/menus.h"
#include "progress/map.h"
#include "progress/profiles.h"
#include "progress/saved_game.h"

namespace {

struct GameModeState {
    int pendingLevel = 0;        // the level picked before "zeroscore" was asked
    bool gameCompleted = false;  // the map shows the completed game
    bool lostOnce = false;       // the current level was lost once since it started
    bool trophyRoomFromLevel = false;
    MessageHook message = nullptr;
};

GameModeState gModes;

void openTracedMenu(const char* name) {
    traceCall("menu", name);
    openMenuByName(name);
}

void beginLevel(int levelNumber) { beginModeLevel(levelNumber); }

void askMessage(const char* key, bool okOnly) { showModeMessage(key, okOnly); }
// A game started from the menus opens onto its level, and the traveller's tip of the day greets
// it over the board (its "Continue" lets the board go and turns to the next tip). A new player's
// very first level has its own first-time hints instead.
void beginPlay(int levelNumber) {
    const bool newPlayer = tipFlag(0);
    openTransition(1000.0f);
    beginModeLevel(levelNumber);
    if (!newPlayer) openTracedMenu("gameplaytip");
}

}  // namespace

void setMessageHook(MessageHook hook) { gModes.message = hook; }
void showModeMessage(const char* key, bool okOnly) {
    traceCall("message", key, 0.0f, 0.0f, okOnly ? 1 : 0);
    if (gModes.message) gModes.message(key, okOnly);
}
void setTrophyRoomFromLevel(bool fromLevel) { gModes.trophyRoomFromLevel = fromLevel; }
bool trophyRoomEnteredFromLevel() { return gModes.trophyRoomFromLevel; }
void markGameCompleted() { gModes.gameCompleted = true; }
bool gameCompletedShowing() { return gModes.gameCompleted; }
void clearGameCompleted() { gModes.gameCompleted = false; }
bool lostOnce() { return gModes.lostOnce; }
void setLostOnce(bool on) { gModes.lostOnce = on; }

// Every level of a game starts here.
void beginModeLevel(int levelNumber) {
    Board& b = board();
    b.mode = static_cast<GameMode>(gameMode());
    setSavedGameFlag(gameMode(), false);
    closeMenusOverBoard();
    requestScene(gameScene());
    startLevel(levelNumber);
}
void resetGameModes() { gModes = GameModeState{}; }

const char* modeMenuName(int mode) {
    static const char* const kNames[3] = {"adventure", "timeless", "puzzle"};
    return mode >= 0 && mode < 3 ? kNames[mode] : kNames[0];
}

void chooseMode(int mode) {
    if (mode < 0 || mode >= kModeCount) return;
    setGameMode(mode);
    board().mode = static_cast<GameMode>(mode);
    if (tipFlag(0)) {
        askMessage("prolog", true);
        return;
    }
    if (savedGameFlag(mode)) {
        openTracedMenu("loadgamequest");
        return;
    }
    openTracedMenu(modeMenuName(mode));
}

void acceptProlog() {
    board().carriedScore = 0;
    setLives(kNewGameLives);
    setPosition(0);
    gModes.lostOnce = false;
    beginPlay(0);
}

void declineSavedGame() { openTracedMenu(modeMenuName(gameMode())); }

void startFromMap(int levelNumber) {
    if (gModes.gameCompleted) return;
    closeMenusOverBoard();
    int n = levelNumber < 0 ? 0 : (levelNumber > kLastLevel ? kLastLevel : levelNumber);
    Board& b = board();
    gModes.lostOnce = false;
    if (n == currentLevelNumber()) {
        placeTravellerOnCurrentStage();
        // A saved game declined: the level starts afresh, without the points it had made.
        int32_t carried = 0;
        if (savedCarriedScore(gameMode(), carried)) setModeScoreOf(gameMode(), carried);
        b.carriedScore = modeScore();
        if (modeScore() <= 0) setLives(kNewGameLives);
        beginPlay(n);
        return;
    }
    if (modeScore() <= 0) {
        setupMap(0, 0, -1);
        b.carriedScore = 0;
        setPosition(n);
        beginPlay(n);
        return;
    }
    gModes.pendingLevel = n;
    askMessage("zeroscore", false);
}

void answerZeroScore() {
    board().carriedScore = 0;
    setModeScore(0);
    setLives(kNewGameLives);
    setPosition(gModes.pendingLevel);
    gModes.lostOnce = false;
    beginPlay(gModes.pendingLevel);
}

bool nextLevel() {
    closeMenusOverBoard();
    const Board& b = board();
    if (b.levelComplete && b.resultShown) advanceAfterComplete();
    return b.gameFinished != 0;
}

void acceptLostLife() {
    restartLevel();
    gModes.lostOnce = true;
}

void restartLevel() {
    takeLife();
    // Only a lost level forgets its repeated loss; a restart asked for during play keeps it.
    if (board().levelLost) gModes.lostOnce = false;
    beginLevel(board().levelIndex);
}

void skipLevel() {
    Board& b = board();
    gModes.lostOnce = false;
    takeLife();
    int n = b.levelIndex < kLastLevel ? b.levelIndex + 1 : b.levelIndex;
    setPosition(n);
    beginLevel(n);
}

// The same game over as board play's when a loss finds no lives left.
void gameOver() { boardGameOver(); }

bool saveAndLeaveLevel() {
    if (!saveGame()) return false;
    // The saved board is no longer the game in progress: a later close saves nothing.
    board().levelTouched = 0;
    saveProgress();
    return true;
}
