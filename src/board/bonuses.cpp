#include "board/bonuses.h"

// Not written yet: the bonus rules come with the next part of board play.
void createBonuses() {}
void fireMarkedBonuses(bool) {}
void advanceExplosions() {}
void hammerFrame() {}
void hammerStrike(int, int) {}
void shakeFrame() {}
