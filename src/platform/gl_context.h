// The OpenGL context: on the main window (SDL), or offscreen without any window (EGL,
// surfaceless) for the headless backend. The game draws into a framebuffer object either way;
// only the present step touches the window.
#pragma once

namespace platform {

// An OpenGL 2.1 compatibility context, made current. Headless: no window is needed.
bool createGlContext();
void destroyGlContext();
bool glContextReady();
bool glContextOffscreen();
void* glProcAddress(const char* name);
// The size of the window's drawable in pixels (800 x 600 offscreen).
void glDrawableSize(int& width, int& height);
void swapGlWindow();
// 0 immediate, 1 wait for the vertical retrace; false when the driver refuses.
bool setGlSwapInterval(int interval);

}  // namespace platform
