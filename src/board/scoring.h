// Scoring, combos, trophies and the outcome of a level.
#pragma once

void scoreFrame();
void limitFrame();
void lostFrame();
void levelEndFrame();
void comboFrame();
void trophyFrame();
void playClockFrame();
void checkComplete();
void advanceAfterComplete();
void lostLife();
// The game ends: the score goes to the high scores and the mode starts afresh.
void boardGameOver();
// The play time the result window shows.
float playTimeMs();

// Trophy counters fed by the clicks and the break step.
void countQuickClick();
void resetQuickClicks();
void checkStreakTrophies();
void countGroupTrophies();
void checkStepTrophies(int stepTotal);
