#include <algorithm>
#include <deque>
#include <vector>

#include <SDL.h>

#include "platform/controller.h"
#include "platform/sdl_events.h"
#include "platform/window.h"
#include "platform/x11_window.h"

namespace platform {

namespace {
struct WindowState {
    SDL_Window* window = nullptr;
    bool videoUp = false;
    bool fullScreen = false;
    bool vsync = false;
    bool headless = false;
    bool cursorInside = true;
    bool cursorShown = true;  // the system cursor (headless too: what a window would show)
    bool hammerShown = false;
    bool cursorPlaced = false;  // a playback gives the cursor; the system's is not read
    bool exposed = true;  // the window's contents were lost and must be shown again
    float cursorX = 400.0f;  // picture pixels
    float cursorY = 300.0f;
    std::deque<Event> injected;
    SDL_Cursor* hammerCursor = nullptr;
    std::vector<uint8_t> hammerPixels;  // the picture the hammer cursor is made from (RGBA)
    int hammerWidth = 0, hammerHeight = 0, hammerHotX = 0, hammerHotY = 0;
    // The size the window really has: in window coordinates (the mouse) and in drawable pixels.
    int width = kPictureWidth;
    int height = kPictureHeight;
    int drawableWidth = kPictureWidth;
    int drawableHeight = kPictureHeight;
};
WindowState gWin;

// SDL reports the size it asked for. A full-screen window that no window manager resized keeps
// the size it had, so on X11 the server is asked; elsewhere the system honours what SDL asks.
void refreshWindowSize() {
    if (!gWin.window) return;
    int w = 0, h = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(gWin.window, &w, &h);
    SDL_GL_GetDrawableSize(gWin.window, &dw, &dh);
    int xw = 0, xh = 0;
    if (x11WindowSize(gWin.window, xw, xh)) {
        w = dw = xw;  // X11 windows count in pixels
        h = dh = xh;
    }
    // A minimised window may report 0 x 0: keep the last valid size.
    if (w > 0 && h > 0) {
        gWin.width = w;
        gWin.height = h;
    }
    if (dw > 0 && dh > 0) {
        gWin.drawableWidth = dw;
        gWin.drawableHeight = dh;
    }
}

// Window coordinates to picture pixels, through the letterbox the picture is presented in
// (placed in drawable pixels, so the cursor meets exactly what is shown).
void windowToPicture(int wx, int wy, float& px, float& py) {
    int w, h, dw, dh;
    clientSize(w, h);
    drawableSize(dw, dh);
    windowPointToPicture(static_cast<float>(wx), static_cast<float>(wy), w, h, dw, dh, px, py);
}

bool isKeypadOperator(SDL_Keycode sym, int& vk) {
    switch (sym) {
        case SDLK_KP_MULTIPLY: vk = 106; return true;
        case SDLK_KP_PLUS: vk = 107; return true;
        case SDLK_KP_COMMA: vk = 108; return true;
        case SDLK_KP_MINUS: vk = 109; return true;
        case SDLK_KP_PERIOD: vk = 110; return true;
        case SDLK_KP_DIVIDE: vk = 111; return true;
        default: return false;
    }
}
}  // namespace

int virtualKeyFromSdl(SDL_Keycode sym) {
    if (sym >= SDLK_a && sym <= SDLK_z) return 65 + (sym - SDLK_a);
    if (sym >= SDLK_0 && sym <= SDLK_9) return 48 + (sym - SDLK_0);
    if (sym >= SDLK_KP_1 && sym <= SDLK_KP_9) return 97 + (sym - SDLK_KP_1);
    if (sym == SDLK_KP_0) return 96;
    if (sym >= SDLK_F1 && sym <= SDLK_F12) return 112 + (sym - SDLK_F1);
    int vk = 0;
    if (isKeypadOperator(sym, vk)) return vk;
    switch (sym) {
        case SDLK_SPACE: return 32;
        case SDLK_RETURN: case SDLK_KP_ENTER: case SDLK_RETURN2: return 13;
        case SDLK_ESCAPE: return 27;
        case SDLK_BACKSPACE: return 8;
        case SDLK_TAB: return 9;
        case SDLK_LEFT: return 37;
        case SDLK_UP: return 38;
        case SDLK_RIGHT: return 39;
        case SDLK_DOWN: return 40;
        case SDLK_HOME: return 36;
        case SDLK_END: return 35;
        case SDLK_INSERT: return 45;
        case SDLK_DELETE: return 46;
        case SDLK_PAGEUP: return 33;
        case SDLK_PAGEDOWN: return 34;
        case SDLK_LSHIFT: case SDLK_RSHIFT: return 16;
        case SDLK_LCTRL: case SDLK_RCTRL: return 17;
        case SDLK_PAUSE: return 19;
        case SDLK_CAPSLOCK: return 20;
        case SDLK_SEMICOLON: return 186;
        case SDLK_EQUALS: return 187;
        case SDLK_COMMA: return 188;
        case SDLK_MINUS: return 189;
        case SDLK_PERIOD: return 190;
        case SDLK_SLASH: return 191;
        case SDLK_BACKQUOTE: return 192;
        case SDLK_LEFTBRACKET: return 219;
        case SDLK_BACKSLASH: return 220;
        case SDLK_RIGHTBRACKET: return 221;
        case SDLK_QUOTE: return 222;
        default: return 255;
    }
}

bool translateSdlEvent(const SDL_Event& e, Event& out) {
    out = Event{};
    switch (e.type) {
        case SDL_QUIT:
            out.type = EventType::Close;
            return true;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_FOCUS_GAINED: out.type = EventType::Activate; return true;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                case SDL_WINDOWEVENT_MINIMIZED: out.type = EventType::Deactivate; return true;
                case SDL_WINDOWEVENT_CLOSE: out.type = EventType::Close; return true;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    // A minimised window may report 0 x 0: keep the last valid size.
                    if (e.window.data1 <= 0 || e.window.data2 <= 0) return false;
                    refreshWindowSize();
                    out.type = EventType::Resize;
                    out.x = gWin.window ? gWin.width : e.window.data1;
                    out.y = gWin.window ? gWin.height : e.window.data2;
                    return true;
                case SDL_WINDOWEVENT_SHOWN:
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_DISPLAY_CHANGED:  // another screen may have another density
                    gWin.exposed = true;
                    refreshWindowSize();
                    return false;
                case SDL_WINDOWEVENT_LEAVE: gWin.cursorInside = false; return false;
                case SDL_WINDOWEVENT_ENTER: gWin.cursorInside = true; return false;
                default: return false;
            }
        case SDL_KEYDOWN: {
            // Keys that Windows sends as system keys (F10, anything with Alt) never reach the game.
            if (e.key.keysym.mod & KMOD_ALT) return false;
            SDL_Keycode sym = e.key.keysym.sym;
            if (sym == SDLK_F10 || sym == SDLK_LALT || sym == SDLK_RALT) return false;
            out.type = EventType::KeyDown;
            out.key = virtualKeyFromSdl(sym);
            return true;
        }
        case SDL_MOUSEMOTION: {
            float px, py;
            windowToPicture(e.motion.x, e.motion.y, px, py);
            gWin.cursorX = px;
            gWin.cursorY = py;
            gWin.cursorInside = true;
            out.type = EventType::MouseMove;
            out.x = static_cast<int>(px);
            out.y = static_cast<int>(py);
            return true;
        }
        case SDL_MOUSEBUTTONDOWN: {
            // Windows delivers a double click as DOWN, UP, DBLCLK, UP: the second press is no DOWN.
            bool second = (e.button.clicks % 2) == 0;
            if (e.button.button == SDL_BUTTON_LEFT) {
                out.type = second ? EventType::LeftDoubleClick : EventType::LeftDown;
                return true;
            }
            if (second) return false;  // right and middle double clicks reach no scene
            if (e.button.button == SDL_BUTTON_RIGHT) { out.type = EventType::RightDown; return true; }
            if (e.button.button == SDL_BUTTON_MIDDLE) { out.type = EventType::MiddleDown; return true; }
            return false;
        }
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
        case SDL_CONTROLLERAXISMOTION:
            return translateControllerEvent(e, e.common.timestamp, out);
        case SDL_MOUSEBUTTONUP:
            if (e.button.button == SDL_BUTTON_LEFT) { out.type = EventType::LeftUp; return true; }
            if (e.button.button == SDL_BUTTON_RIGHT) { out.type = EventType::RightUp; return true; }
            return false;
        default:
            return false;
    }
}

bool initVideo() {
    if (gWin.headless) return true;
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME, "500");
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_RADIUS, "2");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // our own handlers turn signals into a close
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
    gWin.videoUp = true;
    return true;
}

void quitVideo() {
    destroyWindow();
    if (gWin.hammerCursor) {
        SDL_FreeCursor(gWin.hammerCursor);
        gWin.hammerCursor = nullptr;
    }
    quitControllers();
    if (gWin.videoUp) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        gWin.videoUp = false;
    }
}

bool createWindow(bool fullScreen) {
    gWin.fullScreen = fullScreen;
    if (gWin.headless) return true;
    // Any size the player gives the window (maximised too) letterboxes the picture; on a
    // high-density screen the drawable has more pixels than the window has units.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    if (fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    gWin.window = SDL_CreateWindow("Sandmere", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kPictureWidth,
                                   kPictureHeight, flags);
    if (gWin.window) SDL_SetWindowMinimumSize(gWin.window, kPictureWidth / 4, kPictureHeight / 4);
    refreshWindowSize();
    return gWin.window != nullptr;
}

void showWindow() {
    if (!gWin.window) return;
    SDL_ShowWindow(gWin.window);
    SDL_RaiseWindow(gWin.window);
    refreshWindowSize();
    // The controllers are looked for once the window is up, not before it (the search of the
    // input devices delays the first picture); controllers already plugged in announce
    // themselves as added devices all the same. Without them the keyboard and mouse still play.
    initControllers();
}

void setFullScreen(bool fullScreen) {
    gWin.fullScreen = fullScreen;
    if (!gWin.window) return;
    SDL_SetWindowFullscreen(gWin.window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    if (!fullScreen) {
        SDL_SetWindowSize(gWin.window, kPictureWidth, kPictureHeight);
        SDL_SetWindowPosition(gWin.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    refreshWindowSize();
}

bool isFullScreen() { return gWin.fullScreen; }

void destroyWindow() {
    if (gWin.window) {
        SDL_DestroyWindow(gWin.window);
        gWin.window = nullptr;
    }
}

void* sdlWindow() { return gWin.window; }

void setWindowIcon(const uint8_t* rgba, int width, int height) {
    if (!gWin.window || !rgba || width <= 0 || height <= 0) return;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(rgba), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface) return;
    SDL_SetWindowIcon(gWin.window, surface);
    SDL_FreeSurface(surface);
}

void clientSize(int& width, int& height) {
    width = gWin.window ? gWin.width : kPictureWidth;
    height = gWin.window ? gWin.height : kPictureHeight;
}

void drawableSize(int& width, int& height) {
    width = gWin.window ? gWin.drawableWidth : kPictureWidth;
    height = gWin.window ? gWin.drawableHeight : kPictureHeight;
}

void fitPicture(int areaWidth, int areaHeight, int& x, int& y, int& width, int& height) {
    if (areaWidth <= 0 || areaHeight <= 0) {
        x = y = 0;
        width = kPictureWidth;
        height = kPictureHeight;
        return;
    }
    // The largest 4:3 rectangle that fits, centred.
    float scale = std::min(areaWidth / static_cast<float>(kPictureWidth),
                           areaHeight / static_cast<float>(kPictureHeight));
    width = std::clamp(static_cast<int>(kPictureWidth * scale + 0.5f), 1, areaWidth);
    height = std::clamp(static_cast<int>(kPictureHeight * scale + 0.5f), 1, areaHeight);
    x = (areaWidth - width) / 2;
    y = (areaHeight - height) / 2;
}

void drawableViewport(int& x, int& y, int& width, int& height) {
    int dw, dh;
    drawableSize(dw, dh);
    fitPicture(dw, dh, x, y, width, height);
}

void windowPointToPicture(float wx, float wy, int windowWidth, int windowHeight, int drawableWidth,
                          int drawableHeight, float& px, float& py) {
    int vx, vy, vw, vh;
    fitPicture(drawableWidth, drawableHeight, vx, vy, vw, vh);
    // How many drawable pixels one window unit spans (more than 1 on high-density screens).
    float sx = windowWidth > 0 ? static_cast<float>(drawableWidth) / static_cast<float>(windowWidth) : 1.0f;
    float sy = windowHeight > 0 ? static_cast<float>(drawableHeight) / static_cast<float>(windowHeight) : 1.0f;
    px = (wx * sx - static_cast<float>(vx)) * kPictureWidth / static_cast<float>(vw);
    py = (wy * sy - static_cast<float>(vy)) * kPictureHeight / static_cast<float>(vh);
}

void pictureViewport(int& x, int& y, int& width, int& height) {
    drawableViewport(x, y, width, height);
    int w, h, dw, dh;
    clientSize(w, h);
    drawableSize(dw, dh);
    float sx = w > 0 ? static_cast<float>(dw) / static_cast<float>(w) : 1.0f;
    float sy = h > 0 ? static_cast<float>(dh) / static_cast<float>(h) : 1.0f;
    x = static_cast<int>(static_cast<float>(x) / sx + 0.5f);
    y = static_cast<int>(static_cast<float>(y) / sy + 0.5f);
    width = static_cast<int>(static_cast<float>(width) / sx + 0.5f);
    height = static_cast<int>(static_cast<float>(height) / sy + 0.5f);
}

int listDisplayModes(DisplayMode* out, int capacity) {
    if (gWin.headless || !gWin.videoUp || !out || capacity <= 0) return 0;
    int count = SDL_GetNumDisplayModes(0);
    int stored = 0;
    for (int i = 0; i < count && stored < capacity; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        out[stored++] = DisplayMode{mode.w, mode.h, static_cast<int>(SDL_BITSPERPIXEL(mode.format)), mode.refresh_rate};
    }
    return stored;
}

int refreshRateHz() {
    if (gWin.window) {
        SDL_DisplayMode mode;
        int display = SDL_GetWindowDisplayIndex(gWin.window);
        if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0)
            return mode.refresh_rate;
    }
    return 60;
}

void setVsyncActive(bool on) { gWin.vsync = on; }
bool vsyncActive() { return gWin.vsync; }

bool takeWindowExposed() {
    bool was = gWin.exposed;
    gWin.exposed = false;
    return was;
}

bool pollEvent(Event& out) {
    if (gWin.headless) {
        if (gWin.injected.empty()) return false;
        out = gWin.injected.front();
        gWin.injected.pop_front();
        if (out.type == EventType::MouseMove) {
            gWin.cursorX = static_cast<float>(out.x);
            gWin.cursorY = static_cast<float>(out.y);
            gWin.cursorInside = out.x >= 0 && out.y >= 0 && out.x <= kPictureWidth && out.y <= kPictureHeight;
        }
        return true;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (translateSdlEvent(e, out)) return true;
    }
    return controllerRepeat(SDL_GetTicks(), out);
}

void waitForEvent(uint32_t timeoutMs) {
    if (gWin.headless) return;
    SDL_WaitEventTimeout(nullptr, static_cast<int>(timeoutMs));
}

void pumpEvents() {
    if (gWin.videoUp) SDL_PumpEvents();
}

bool cursorPosition(float& x, float& y) {
    if (!gWin.headless && gWin.window && !gWin.cursorPlaced) {
        int wx, wy;
        SDL_GetMouseState(&wx, &wy);
        windowToPicture(wx, wy, gWin.cursorX, gWin.cursorY);
    }
    x = gWin.cursorX;
    y = gWin.cursorY;
    return gWin.cursorInside;
}

void warpCursor(float x, float y) {
    gWin.cursorX = x;
    gWin.cursorY = y;
    if (!gWin.window) return;
    int wx, wy;
    pictureToWindow(x, y, wx, wy);
    SDL_WarpMouseInWindow(gWin.window, wx, wy);
}

void pictureToWindow(float x, float y, int& wx, int& wy) {
    int vx, vy, vw, vh;
    pictureViewport(vx, vy, vw, vh);
    wx = vx + static_cast<int>(x * vw / kPictureWidth);
    wy = vy + static_cast<int>(y * vh / kPictureHeight);
}

void showSystemCursor(bool visible) {
    gWin.cursorShown = visible;
    if (gWin.videoUp) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool systemCursorShown() { return gWin.cursorShown; }
bool hammerCursorShown() { return gWin.hammerShown; }

void setHammerCursor(bool hammer) {
    gWin.hammerShown = hammer;
    if (!gWin.videoUp) return;
    if (hammer) {
        if (!gWin.hammerCursor && !gWin.hammerPixels.empty()) {
            SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
                gWin.hammerPixels.data(), gWin.hammerWidth, gWin.hammerHeight, 32, gWin.hammerWidth * 4,
                SDL_PIXELFORMAT_RGBA32);
            if (surface) {
                gWin.hammerCursor = SDL_CreateColorCursor(surface, gWin.hammerHotX, gWin.hammerHotY);
                SDL_FreeSurface(surface);
            }
        }
        if (!gWin.hammerCursor) gWin.hammerCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
        if (gWin.hammerCursor) SDL_SetCursor(gWin.hammerCursor);
    } else {
        SDL_SetCursor(SDL_GetDefaultCursor());
    }
}

void setHammerCursorPicture(const uint8_t* rgba, int width, int height, int hotX, int hotY) {
    if (!rgba || width <= 0 || height <= 0) return;
    gWin.hammerPixels.assign(rgba, rgba + static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    gWin.hammerWidth = width;
    gWin.hammerHeight = height;
    gWin.hammerHotX = std::clamp(hotX, 0, width - 1);
    gWin.hammerHotY = std::clamp(hotY, 0, height - 1);
    if (gWin.hammerCursor) {  // the next hammer is made from the new picture
        SDL_FreeCursor(gWin.hammerCursor);
        gWin.hammerCursor = nullptr;
    }
}

void placeCursor(float x, float y, bool inside) {
    gWin.cursorPlaced = true;
    gWin.cursorX = x;
    gWin.cursorY = y;
    gWin.cursorInside = inside;
}

void releaseCursor() { gWin.cursorPlaced = false; }

void setHeadless(bool on) { gWin.headless = on; }
bool headless() { return gWin.headless; }

// A queued move places the cursor when it is taken off the queue, as a real one does.
void injectEvent(const Event& event) { gWin.injected.push_back(event); }

void clearInjectedEvents() { gWin.injected.clear(); }

}  // namespace platform
