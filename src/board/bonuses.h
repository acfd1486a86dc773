// Bonuses, explosions, the hammer and the shake.
#pragma once

// Gives the clicked cell a Lightning or a bomb after a group removal.
void createBonuses();
// Queues the explosion of every marked figure that carries a bonus.
void fireMarkedBonuses(bool delayed);
// One frame of the explosion queue.
void advanceExplosions();
void hammerFrame();
void hammerStrike(int row, int column);
void shakeFrame();
