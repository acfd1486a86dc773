#include "platform/controller.h"

namespace platform {

namespace {

constexpr int kMaxControllers = 8;
constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kKeyHammer = 72;  // H
// The stick counts as pushed past this, and as let go again below the lower mark, so a stick
// resting near the threshold does not chatter.
constexpr int kStickPushed = 16000;
constexpr int kStickReleased = 8000;
constexpr uint32_t kRepeatDelayMs = 400;
constexpr uint32_t kRepeatPeriodMs = 120;

struct ControllerState {
    bool up = false;
    SDL_GameController* open[kMaxControllers] = {};
    SDL_JoystickID ids[kMaxControllers] = {};
    int stickX = 0;  // -1, 0, 1: where the left stick points now
    int stickY = 0;
    int heldKey = 0;  // the direction being held, for the repeat
    uint32_t nextRepeatMs = 0;
};
ControllerState gPads;

void openController(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return;
    SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (int i = 0; i < kMaxControllers; ++i)
        if (gPads.open[i] && gPads.ids[i] == id) return;  // already open
    for (int i = 0; i < kMaxControllers; ++i) {
        if (gPads.open[i]) continue;
        gPads.open[i] = SDL_GameControllerOpen(deviceIndex);
        if (gPads.open[i]) gPads.ids[i] = id;
        return;
    }
}

void closeController(SDL_JoystickID id) {
    for (int i = 0; i < kMaxControllers; ++i) {
        if (!gPads.open[i] || gPads.ids[i] != id) continue;
        SDL_GameControllerClose(gPads.open[i]);
        gPads.open[i] = nullptr;
    }
}

bool press(int key, uint32_t nowMs, bool direction, Event& out) {
    out = Event{};
    out.type = EventType::KeyDown;
    out.key = key;
    if (direction) {
        gPads.heldKey = key;
        gPads.nextRepeatMs = nowMs + kRepeatDelayMs;
    }
    return true;
}

void release(int key) {
    if (gPads.heldKey == key) gPads.heldKey = 0;
}

// One axis of the left stick: -1, 0 or 1 with the hysteresis above.
int stickPosition(int value, int previous) {
    if (previous == 0) return value <= -kStickPushed ? -1 : (value >= kStickPushed ? 1 : 0);
    if (value > -kStickReleased && value < kStickReleased) return 0;
    if (previous < 0 && value >= kStickPushed) return 1;
    if (previous > 0 && value <= -kStickPushed) return -1;
    return previous;
}

bool isDirection(int key) { return key >= kKeyLeft && key <= kKeyDown; }

}  // namespace

bool initControllers() {
    if (gPads.up) return true;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    gPads.up = true;
    // Controllers plugged in before the start announce themselves as added devices too.
    return true;
}

void quitControllers() {
    for (int i = 0; i < kMaxControllers; ++i)
        if (gPads.open[i]) SDL_GameControllerClose(gPads.open[i]);
    if (gPads.up) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    gPads = ControllerState{};
}

int openControllerCount() {
    int n = 0;
    for (SDL_GameController* c : gPads.open) n += c != nullptr;
    return n;
}

int virtualKeyFromControllerButton(int button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_A: return kKeyEnter;
        case SDL_CONTROLLER_BUTTON_B: return kKeyEscape;
        case SDL_CONTROLLER_BUTTON_X: return kKeyHammer;
        case SDL_CONTROLLER_BUTTON_START: return kKeySpace;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return kKeyLeft;
        case SDL_CONTROLLER_BUTTON_DPAD_UP: return kKeyUp;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return kKeyRight;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return kKeyDown;
        default: return 0;
    }
}

bool translateControllerEvent(const SDL_Event& e, uint32_t nowMs, Event& out) {
    switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED:
            if (gPads.up) openController(e.cdevice.which);
            return false;
        case SDL_CONTROLLERDEVICEREMOVED:
            closeController(e.cdevice.which);
            gPads.heldKey = 0;
            gPads.stickX = gPads.stickY = 0;
            return false;
        case SDL_CONTROLLERBUTTONDOWN: {
            int key = virtualKeyFromControllerButton(e.cbutton.button);
            if (key == 0) return false;
            return press(key, nowMs, isDirection(key), out);
        }
        case SDL_CONTROLLERBUTTONUP:
            release(virtualKeyFromControllerButton(e.cbutton.button));
            return false;
        case SDL_CONTROLLERAXISMOTION: {
            bool horizontal = e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX;
            if (!horizontal && e.caxis.axis != SDL_CONTROLLER_AXIS_LEFTY) return false;
            int& position = horizontal ? gPads.stickX : gPads.stickY;
            int now = stickPosition(e.caxis.value, position);
            if (now == position) return false;
            int before = position;
            position = now;
            // Down is positive on the stick's y axis.
            int keyBefore = horizontal ? (before < 0 ? kKeyLeft : kKeyRight) : (before < 0 ? kKeyUp : kKeyDown);
            if (before != 0) release(keyBefore);
            if (now == 0) return false;
            int key = horizontal ? (now < 0 ? kKeyLeft : kKeyRight) : (now < 0 ? kKeyUp : kKeyDown);
            return press(key, nowMs, true, out);
        }
        default:
            return false;
    }
}

bool controllerRepeat(uint32_t nowMs, Event& out) {
    if (gPads.heldKey == 0 || static_cast<int32_t>(nowMs - gPads.nextRepeatMs) < 0) return false;
    out = Event{};
    out.type = EventType::KeyDown;
    out.key = gPads.heldKey;
    gPads.nextRepeatMs = nowMs + kRepeatPeriodMs;
    return true;
}

void resetControllerState() {
    quitControllers();
}

}  // namespace platform
