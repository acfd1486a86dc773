#include "platform/x11_window.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace platform {

bool x11WindowSize(SDL_Window* window, int& width, int& height) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes)) return false;
    if (attributes.width <= 0 || attributes.height <= 0) return false;
    width = attributes.width;
    height = attributes.height;
    return true;
#else
    (void)window;
    (void)width;
    (void)height;
    return false;
#endif
}

}  // namespace platform
