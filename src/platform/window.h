// The window, its events and the cursor, over SDL2; and the headless backend that tests and
// the play runner use instead (no window, injected events, the virtual clock).
#pragma once

#include <cstdint>

namespace platform {

constexpr int kPictureWidth = 800;
constexpr int kPictureHeight = 600;

// What the window reports, with the meaning of the Windows messages the game was built on.
enum class EventType {
    None,
    Activate,         // the window became the active one
    Deactivate,       // lost activation or was minimised
    Close,            // close button, or SIGINT / SIGTERM
    Resize,           // client size changed (x, y = width, height; never zero)
    KeyDown,          // key = Windows virtual-key code
    LeftDown,
    LeftUp,
    LeftDoubleClick,  // the second press of a double click (no LeftDown for it)
    RightDown,
    RightUp,
    MiddleDown,
    MouseMove,        // x, y in picture pixels (0..800, 0..600, top left origin)
};

struct Event {
    EventType type = EventType::None;
    int key = 0;
    int x = 0;
    int y = 0;
};

// Video and window. initVideo also sets the double-click hints (500 ms, 4 x 4 pixel box).
bool initVideo();
void quitVideo();
bool createWindow(bool fullScreen);  // "Sandmere", 800 x 600 client, OpenGL, not yet shown
void showWindow();                   // show, raise and focus, then look for game controllers
void setFullScreen(bool fullScreen); // desktop resolution, no mode switch, letterboxed
bool isFullScreen();
void destroyWindow();
void* sdlWindow();  // for the GL context and message boxes only
void setWindowIcon(const uint8_t* rgba, int width, int height);
// The size the window really has (800 x 600 without a window), followed through its size
// events: in window coordinates, and in pixels of its drawable (more on high-density screens).
void clientSize(int& width, int& height);
void drawableSize(int& width, int& height);
// Where the 800 x 600 picture lands: letterboxed into the drawable (in its pixels), and the same
// rectangle in window coordinates.
void drawableViewport(int& x, int& y, int& width, int& height);
void pictureViewport(int& x, int& y, int& width, int& height);
// A point of the picture in window coordinates (where the cursor goes to point at it).
void pictureToWindow(float x, float y, int& wx, int& wy);
// A point in window coordinates as picture pixels, for a window of the given size whose
// drawable has the given pixels (twice as many each way on a screen of double density).
void windowPointToPicture(float wx, float wy, int windowWidth, int windowHeight, int drawableWidth,
                          int drawableHeight, float& px, float& py);
// The largest centred 4:3 rectangle inside an area of the given size.
void fitPicture(int areaWidth, int areaHeight, int& x, int& y, int& width, int& height);

// The display modes of the first display, as the system lists them (none when headless).
struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;
    int refreshHz;
};
int listDisplayModes(DisplayMode* out, int capacity);
int refreshRateHz();  // 60 when unknown
void setVsyncActive(bool on);
bool vsyncActive();
// True once after the window was shown, uncovered or restored: its picture must be sent again.
bool takeWindowExposed();

// Events: one translated event per call; false when the queue is empty.
bool pollEvent(Event& out);
void waitForEvent(uint32_t timeoutMs);  // idle while inactive; wakes early on an event
void pumpEvents();                       // keep the window responsive; dispatches nothing

// The cursor in picture pixels (top left origin). False when it is outside the window.
bool cursorPosition(float& x, float& y);
void warpCursor(float x, float y);
// A playback's cursor: cursorPosition gives this from now on, until releaseCursor.
void placeCursor(float x, float y, bool inside);
void releaseCursor();
void showSystemCursor(bool visible);     // the blank class cursor of the custom-cursor setting
void setHammerCursor(bool hammer);       // the hammer class cursor (the arrow otherwise)
bool systemCursorShown();                // as last set (also headless)
bool hammerCursorShown();
// The picture the hammer cursor is made from (RGBA rows, top row first) and its hot spot; until
// one is given, the hammer is the system's hand.
void setHammerCursorPicture(const uint8_t* rgba, int width, int height, int hotX, int hotY);

// The headless backend.
void setHeadless(bool on);
bool headless();
void injectEvent(const Event& event);  // queued for pollEvent; moves also place the cursor
void clearInjectedEvents();

}  // namespace platform
