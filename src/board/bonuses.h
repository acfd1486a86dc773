// Bonuses, explosions, the hammer and the shake.
#pragma once

#include "board/board.h"

// Gives the clicked cell a Lightning or a bomb after a group removal.
void createBonuses();
// Queues the explosion of every marked figure that carries a bonus; delayed ones start
// 150 ms later and count toward the combo.
void fireMarkedBonuses(bool delayed);
// One frame of the explosion queue.
void advanceExplosions();
// Applies one explosion to one cell (positions outside the grid are ignored).
void hitCell(int row, int column, const Explosion& explosion);
// How long an explosion of a kind runs, in ms.
float explosionDuration(int kind);
// An explosion entry still queued or running.
bool explosionsActive();
void hammerFrame();
void hammerStrike(int row, int column);
void shakeFrame();
