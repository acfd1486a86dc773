#include "board/scoring.h"

// Not written yet: scoring and the level outcome come with the next part of board play.
void scoreFrame() {}
void limitFrame() {}
void lostFrame() {}
void levelEndFrame() {}
void comboFrame() {}
void trophyFrame() {}
void playClockFrame() {}
void checkComplete() {}
void advanceAfterComplete() {}
void lostLife() {}
void countQuickClick() {}
void resetQuickClicks() {}
void checkStreakTrophies() {}
void countGroupTrophies() {}
void checkStepTrophies(int) {}
