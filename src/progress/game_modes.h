// The three game modes across levels: choosing a mode, starting from the map, the steps
// between levels, lost levels and the end of a game. The menus call these operations; the
// questions and messages they show come back here through the answers below.
#pragma once

#include <cstdint>

// The menu of a mode: "adventure", "timeless", "puzzle".
const char* modeMenuName(int mode);

// The main menu's mode items.
void chooseMode(int mode);
// "ok" of the "prolog" message: a new game at level 0 of the chosen mode.
void acceptProlog();
// "no" of "loadgamequest": the chosen mode's menu; the saved game stays.
void declineSavedGame();
// "yes" of "loadgamequest": the current level restarts and the saved board replaces it.
// False when the file is missing or unusable (the freshly started level stays).
bool loadGame();
// "start" in a mode menu with the level picked on the map.
void startFromMap(int levelNumber);
// "yes" to "zeroscore": a new game at the level that was picked.
void answerZeroScore();

// The steps of a level's end run in board play (board/scoring.h): the completion pays the
// bonus, advances the position, stores the total and writes the files; the first click or key
// after it (or 7000 ms) opens "levelcomplete" and stores the level's records; the next one,
// once the window is closed, moves the game to the next level, or completes the game after
// the last one, which marks the map's game-completed state. A lost level's course ends in
// the "hiscore" menu (no lives left), the "defeat" menu or the lost-life message; the answers
// come back here.

// "oknextlevel" of the result window: the window is closed and board play takes its next
// step (the next level becomes the position, or the game is completed). True when the game
// was completed.
bool nextLevel();

// The map's game-completed state: set by the completed game, cleared by the map's
// congratulation. Nothing starts from the map while it shows.
void markGameCompleted();
bool gameCompletedShowing();
void clearGameCompleted();

// "ok" of the lost-life message: the level starts again at the cost of a life and is marked.
void acceptLostLife();
// Restarts the current level at the cost of one life; a level in its lost state also loses
// its repeated-loss mark ("restart level" in the lost state, and "yes" to "restartquest").
void restartLevel();
// "yes" in "defeat": a life for the next level.
void skipLevel();
bool lostOnce();
void setLostOnce(bool on);
// The game ends ("yes" to "nomorelives", and a loss with no lives left): the board enters its
// lost state, the total goes to the high scores and the mode starts afresh at this level.
void gameOver();
// Starts a level of the current mode: the board takes the mode, the mode's saved game is no
// longer offered and the game scene shows the level.
void beginModeLevel(int levelNumber);

// "main" in the in-game menu: saves the game (true: the menus confirm with "savemsg").
bool saveAndLeaveLevel();

// The trophy room tells whether it was entered from a running level (a game can be saved
// from there).
void setTrophyRoomFromLevel(bool fromLevel);
bool trophyRoomEnteredFromLevel();

// What the modes and board play ask the menus to show: a string-table message with an "ok"
// button, or a yes/no question. The menus install the real one; by default it is only traced.
using MessageHook = void (*)(const char* key, bool okOnly);
void setMessageHook(MessageHook hook);
void showModeMessage(const char* key, bool okOnly);

void resetGameModes();  // tests
