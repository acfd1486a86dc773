// The platform layer: virtual keys, mouse buttons and double clicks from synthetic SDL events,
// the random generator and locale-independent numbers.
#include <gtest/gtest.h>

#include <clocale>

#include "platform/numbers.h"
#include "platform/random.h"
#include "platform/sdl_events.h"

using platform::Event;
using platform::EventType;

namespace {
SDL_Event keyEvent(SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event buttonEvent(Uint32 type, Uint8 button, Uint8 clicks) {
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    e.button.clicks = clicks;
    return e;
}
}  // namespace

TEST(VirtualKeys, TableMatchesWindowsCodes) {
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_a), 65);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_z), 90);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_0), 48);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_9), 57);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_KP_0), 96);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_KP_9), 105);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_SPACE), 32);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_RETURN), 13);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_KP_ENTER), 13);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_ESCAPE), 27);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_BACKSPACE), 8);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_TAB), 9);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_LEFT), 37);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_UP), 38);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_RIGHT), 39);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_DOWN), 40);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_HOME), 36);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_END), 35);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_INSERT), 45);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_DELETE), 46);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_PAGEUP), 33);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_PAGEDOWN), 34);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_F1), 112);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_F12), 123);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_LSHIFT), 16);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_RCTRL), 17);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_PAUSE), 19);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_CAPSLOCK), 20);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_KP_MULTIPLY), 106);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_KP_DIVIDE), 111);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_SEMICOLON), 186);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_BACKQUOTE), 192);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_LEFTBRACKET), 219);
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_QUOTE), 222);
    // Unknown keys still count as a key, but are no letter.
    EXPECT_EQ(platform::virtualKeyFromSdl(SDLK_MENU), 255);
}

TEST(VirtualKeys, ArrowIsNeverPassedAsRawKeycode) {
    // SDLK_RIGHT's low byte is 'O': a raw code would type a letter and lose the arrow.
    Event e;
    ASSERT_TRUE(platform::translateSdlEvent(keyEvent(SDLK_RIGHT), e));
    EXPECT_EQ(e.type, EventType::KeyDown);
    EXPECT_EQ(e.key, 39);
}

TEST(VirtualKeys, SystemKeysAreNotDelivered) {
    Event e;
    EXPECT_FALSE(platform::translateSdlEvent(keyEvent(SDLK_F10), e));
    EXPECT_FALSE(platform::translateSdlEvent(keyEvent(SDLK_a, KMOD_LALT), e));
    ASSERT_TRUE(platform::translateSdlEvent(keyEvent(SDLK_a, KMOD_LSHIFT), e));
    EXPECT_EQ(e.key, 65);  // upper case whatever the shift state
    SDL_Event up{};
    up.type = SDL_KEYUP;
    up.key.keysym.sym = SDLK_a;
    EXPECT_FALSE(platform::translateSdlEvent(up, e));
}

TEST(MouseButtons, DoubleClicksFollowWindowsOrder) {
    Event e;
    ASSERT_TRUE(platform::translateSdlEvent(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1), e));
    EXPECT_EQ(e.type, EventType::LeftDown);
    ASSERT_TRUE(platform::translateSdlEvent(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 2), e));
    EXPECT_EQ(e.type, EventType::LeftDoubleClick);
    ASSERT_TRUE(platform::translateSdlEvent(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 3), e));
    EXPECT_EQ(e.type, EventType::LeftDown);  // a third press is a press again
    ASSERT_TRUE(platform::translateSdlEvent(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 2), e));
    EXPECT_EQ(e.type, EventType::LeftUp);
}

TEST(MouseButtons, RightAndMiddleDoubleClicksReachNothing) {
    Event e;
    ASSERT_TRUE(platform::translateSdlEvent(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1), e));
    EXPECT_EQ(e.type, EventType::RightDown);
    EXPECT_FALSE(platform::translateSdlEvent(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 2), e));
    ASSERT_TRUE(platform::translateSdlEvent(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 2), e));
    EXPECT_EQ(e.type, EventType::RightUp);
    ASSERT_TRUE(platform::translateSdlEvent(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 1), e));
    EXPECT_EQ(e.type, EventType::MiddleDown);
    EXPECT_FALSE(platform::translateSdlEvent(buttonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 2), e));
    EXPECT_FALSE(platform::translateSdlEvent(buttonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 1), e));
}

TEST(WindowEvents, ZeroSizeIsIgnoredAndFocusMaps) {
    Event e;
    SDL_Event w{};
    w.type = SDL_WINDOWEVENT;
    w.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    w.window.data1 = 0;
    w.window.data2 = 0;
    EXPECT_FALSE(platform::translateSdlEvent(w, e));
    w.window.data1 = 1024;
    w.window.data2 = 768;
    ASSERT_TRUE(platform::translateSdlEvent(w, e));
    EXPECT_EQ(e.type, EventType::Resize);
    EXPECT_EQ(e.x, 1024);
    w.window.event = SDL_WINDOWEVENT_MINIMIZED;
    ASSERT_TRUE(platform::translateSdlEvent(w, e));
    EXPECT_EQ(e.type, EventType::Deactivate);
    w.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    ASSERT_TRUE(platform::translateSdlEvent(w, e));
    EXPECT_EQ(e.type, EventType::Activate);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_TRUE(platform::translateSdlEvent(quit, e));
    EXPECT_EQ(e.type, EventType::Close);
}

TEST(Random, MatchesTheClassicGenerator) {
    platform::srand(1);
    // The first values of the classic generator seeded with 1.
    EXPECT_EQ(platform::rand(), 41);
    EXPECT_EQ(platform::rand(), 18467);
    EXPECT_EQ(platform::rand(), 6334);
    platform::srand(12345);
    for (int i = 0; i < 10000; ++i) {
        int r = platform::rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, platform::kRandMax);
    }
}

TEST(Numbers, DecimalConversionIgnoresTheLocale) {
    // A desktop locale with a decimal comma must not change how numbers read.
    const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_FLOAT_EQ(static_cast<float>(platform::parseDouble("0.25")), 0.25f);
    if (previous) std::setlocale(LC_NUMERIC, "C");
    const char* end = nullptr;
    EXPECT_DOUBLE_EQ(platform::parseDouble("  -2.5e1xyz", &end), -25.0);
    EXPECT_STREQ(end, "xyz");
    EXPECT_DOUBLE_EQ(platform::parseDouble("+7.9"), 7.9);
    EXPECT_DOUBLE_EQ(platform::parseDouble("12."), 12.0);
    EXPECT_DOUBLE_EQ(platform::parseDouble(".5"), 0.5);
    EXPECT_DOUBLE_EQ(platform::parseDouble("abc", &end), 0.0);
    EXPECT_STREQ(end, "abc");
    EXPECT_DOUBLE_EQ(platform::parseDouble("1e"), 1.0);  // the exponent needs digits
    EXPECT_DOUBLE_EQ(platform::parseDouble("0x10"), 0.0);  // decimal only
    EXPECT_DOUBLE_EQ(platform::parseDouble(""), 0.0);
    EXPECT_DOUBLE_EQ(platform::parseDouble(nullptr), 0.0);
}
