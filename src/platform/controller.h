// Game controllers, through SDL's game controller interface. A controller speaks the keys the
// game already knows: the d-pad and the left stick are the arrow keys, A is Enter, B is Escape,
// X is the hammer's key and Start the pause key. Controllers may come and go while the game
// runs; every one that is plugged in is heard.
#pragma once

#include <cstdint>

#include <SDL.h>

#include "platform/window.h"

namespace platform {

// Starts SDL's controller subsystem (true when it is up; the game runs on without it).
bool initControllers();
void quitControllers();
int openControllerCount();

// The key a controller button stands for, 0 for buttons that mean nothing to the game.
int virtualKeyFromControllerButton(int button);

// Controller events from SDL: plugging in and out (no game event), buttons and the left stick
// as key presses. False when the event means nothing to the game.
bool translateControllerEvent(const SDL_Event& event, uint32_t nowMs, Event& out);
// A direction held on the d-pad or the stick presses its key again, as a held key repeats:
// after 400 ms, then every 120 ms. False when nothing is due at nowMs.
bool controllerRepeat(uint32_t nowMs, Event& out);

void resetControllerState();  // tests

}  // namespace platform
