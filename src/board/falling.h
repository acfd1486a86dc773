// The per-frame board update: falling, new figures, dead boards, the refill and the idle hint.
#pragma once

void boardStep();
void fallStep();
void fallMotion();
bool isSettled();
// The dead-board test: labels every group and tells whether one of two or more exists.
bool countGroups();
void startRefill();
void refillFrame();
// Switches the idle hint off and restarts its clock.
void clearHint();
