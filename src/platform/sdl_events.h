// Translation of SDL events into the game's window events (tested with synthetic events).
#pragma once

#include <SDL.h>

#include "platform/window.h"

namespace platform {

// Windows virtual-key code for an SDL key (layout-aware keycode, not the scancode).
int virtualKeyFromSdl(SDL_Keycode sym);

// False when the event means nothing to the game (wheel, key up, text input, ...).
bool translateSdlEvent(const SDL_Event& event, Event& out);

}  // namespace platform
