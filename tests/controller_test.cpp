// A game controller speaks the game's own keys: the d-pad and the left stick are the arrows, A
// is Enter, B Escape, X the hammer's key and Start the pause key; controllers come and go.
#include <gtest/gtest.h>

#include <SDL.h>

#include "board/keyboard.h"
#include "board_support.h"
#include "platform/controller.h"
#include "platform/sdl_events.h"

using namespace board_test;
using platform::Event;
using platform::EventType;

namespace {

SDL_Event button(Uint32 type, int which, uint32_t at = 0) {
    SDL_Event e{};
    e.type = type;
    e.cbutton.button = static_cast<Uint8>(which);
    e.cbutton.timestamp = at;
    return e;
}

SDL_Event axis(int which, int value, uint32_t at = 0) {
    SDL_Event e{};
    e.type = SDL_CONTROLLERAXISMOTION;
    e.caxis.axis = static_cast<Uint8>(which);
    e.caxis.value = static_cast<Sint16>(value);
    e.caxis.timestamp = at;
    return e;
}

// The key a synthetic event turns into, 0 for none.
int keyOf(const SDL_Event& e) {
    Event out;
    if (!platform::translateSdlEvent(e, out)) return 0;
    EXPECT_EQ(out.type, EventType::KeyDown);
    return out.key;
}

class Controller : public ::testing::Test {
protected:
    void SetUp() override { platform::resetControllerState(); }
    void TearDown() override { platform::resetControllerState(); }
};

TEST_F(Controller, ButtonsPressTheGamesKeysAndOthersNothing) {
    EXPECT_EQ(keyOf(button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A)), 13);
    EXPECT_EQ(keyOf(button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_B)), 27);
    EXPECT_EQ(keyOf(button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_X)), 72);
    EXPECT_EQ(keyOf(button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_START)), 32);
    EXPECT_EQ(keyOf(button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_DPAD_LEFT)), 37);
    EXPECT_EQ(keyOf(button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_DPAD_UP)), 38);
    EXPECT_EQ(keyOf(button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_DPAD_RIGHT)), 39);
    EXPECT_EQ(keyOf(button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_DPAD_DOWN)), 40);
    EXPECT_EQ(keyOf(button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_Y)), 0);
    EXPECT_EQ(keyOf(button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_GUIDE)), 0);
    EXPECT_EQ(keyOf(button(SDL_CONTROLLERBUTTONUP, SDL_CONTROLLER_BUTTON_A)), 0);
    EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_RIGHTX, 30000)), 0);  // only the left stick steers
}

TEST_F(Controller, TheStickPressesOncePerPushWithoutChatter) {
    EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTX, 12000)), 0);  // not far enough
    EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTX, 20000)), 39);
    EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTX, 32767)), 0);  // still the same push
    EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTX, 12000)), 0);  // easing back a little
    EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTX, 20000)), 0);
    EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTX, 3000)), 0);   // let go
    EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTX, 20000)), 39);  // a new push
    EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTX, -20000)), 37);  // flicked across
    EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTY, -20000)), 38);  // y grows downwards
    EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTY, 0)), 0);
    EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTY, 20000)), 40);
}

TEST_F(Controller, AHeldDirectionRepeatsUntilLetGo) {
    Event out;
    EXPECT_EQ(keyOf(button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1000)), 39);
    EXPECT_FALSE(platform::controllerRepeat(1399, out));
    ASSERT_TRUE(platform::controllerRepeat(1400, out));
    EXPECT_EQ(out.key, 39);
    EXPECT_FALSE(platform::controllerRepeat(1519, out));
    EXPECT_TRUE(platform::controllerRepeat(1520, out));
    keyOf(button(SDL_CONTROLLERBUTTONUP, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1600));
    EXPECT_FALSE(platform::controllerRepeat(5000, out));
    // A (not a direction) never repeats; the stick repeats like the d-pad.
    keyOf(button(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A, 6000));
    EXPECT_FALSE(platform::controllerRepeat(7000, out));
    EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTY, 30000, 8000)), 40);
    ASSERT_TRUE(platform::controllerRepeat(8400, out));
    EXPECT_EQ(out.key, 40);
    keyOf(axis(SDL_CONTROLLER_AXIS_LEFTY, 0, 8450));
    EXPECT_FALSE(platform::controllerRepeat(9000, out));
}

// A virtual controller plugged in, pressed and pulled out while events flow, as a real one.
TEST_F(Controller, PluggingInAndOutWhileRunningIsHarmless) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    ASSERT_TRUE(platform::initControllers()) << SDL_GetError();
    auto drain = [](std::vector<int>& keys) {
        SDL_PumpEvents();
        SDL_Event e;
        Event out;
        while (SDL_PollEvent(&e))
            if (platform::translateSdlEvent(e, out) && out.type == EventType::KeyDown) keys.push_back(out.key);
    };
    std::vector<int> keys;
    drain(keys);
    int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                           SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(device, 0) << SDL_GetError();
    drain(keys);
    ASSERT_EQ(platform::openControllerCount(), 1);
    SDL_Joystick* stick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device));
    ASSERT_NE(stick, nullptr);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
    SDL_JoystickUpdate();
    drain(keys);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, SDL_PRESSED);
    SDL_JoystickUpdate();
    drain(keys);
    EXPECT_EQ(keys, (std::vector<int>{13, 39}));
    // Pulled out with the d-pad held: the controller is closed and nothing repeats.
    ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0);
    drain(keys);
    EXPECT_EQ(platform::openControllerCount(), 0);
    Event out;
    EXPECT_FALSE(platform::controllerRepeat(SDL_GetTicks() + 10000, out));
    // A removal or an addition that names no controller is ignored.
    SDL_Event gone{};
    gone.type = SDL_CONTROLLERDEVICEREMOVED;
    gone.cdevice.which = 12345;
    EXPECT_FALSE(platform::translateSdlEvent(gone, out));
    gone.type = SDL_CONTROLLERDEVICEADDED;
    gone.cdevice.which = 7;
    EXPECT_FALSE(platform::translateSdlEvent(gone, out));
    EXPECT_EQ(platform::openControllerCount(), 0);
    platform::quitControllers();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

// The controller drives board play through the keyboard's own path.
TEST_F(Controller, PlaysABoardLikeTheKeyboard) {
    freshBoard(5);
    std::vector<std::string> rows;
    for (int r = 0; r < 10; ++r) rows.push_back(r % 2 ? "ijijijijijij" : "jijijijijiji");
    rows.push_back("aabcdefghijk");
    setGrid(rows);
    board().figureCount = 12;
    frame();
    auto press = [](int which) {
        int key = keyOf(button(SDL_CONTROLLERBUTTONDOWN, which));
        ASSERT_NE(key, 0);
        boardKeyDown(key);
        keyOf(button(SDL_CONTROLLERBUTTONUP, which));
    };
    press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);  // the cursor appears
    for (int i = 0; i < 10; ++i) press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    for (int i = 0; i < 6; ++i) {  // pushes of the stick, each let go again
        boardKeyDown(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTX, -32768)));
        EXPECT_EQ(keyOf(axis(SDL_CONTROLLER_AXIS_LEFTX, 0)), 0);
    }
    for (int i = 0; i < 6; ++i) press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    int row = -1, column = -1;
    ASSERT_TRUE(boardKeyCursor(row, column));
    ASSERT_EQ(row, 10);
    ASSERT_EQ(column, 0);
    frame();
    press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(board().movesUsed, 1);
    EXPECT_EQ(board().cells[10][1].breakMark, 1);
    board().hammerReady = 1;
    press(SDL_CONTROLLER_BUTTON_X);
    EXPECT_EQ(board().hammerArmed, 1);
    press(SDL_CONTROLLER_BUTTON_X);
    press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(board().paused, 1);
}

}  // namespace
