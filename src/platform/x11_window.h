// What the X server says of a window, for the few facts SDL does not follow.
#pragma once

struct SDL_Window;

namespace platform {

// The window's real size in pixels; false when it is no X11 window.
bool x11WindowSize(SDL_Window* window, int& width, int& height);

}  // namespace platform
