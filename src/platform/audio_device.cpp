#include "platform/audio_device.h"

#include <cstdint>

#include <SDL.h>

#include "platform/fatal.h"
#include "platform/mixer.h"

namespace platform {

namespace {

struct DeviceState {
    SDL_AudioDeviceID device = 0;
    bool subsystemUp = false;
    bool paused = false;
};

DeviceState gDevice;

void audioCallback(void*, Uint8* stream, int length) {
    // SDL holds the device lock while the callback runs.
    mixFrames(reinterpret_cast<int16_t*>(stream), length / 4);
}

}  // namespace

bool openAudioDevice() {
    if (gDevice.device != 0) return true;
    if (!gDevice.subsystemUp) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        gDevice.subsystemUp = true;
    }
    SDL_AudioSpec want{};
    want.freq = kMixRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = audioCallback;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware wants, so the callback always
    // fills 44100 Hz 16-bit stereo.
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        gDevice.subsystemUp = false;
        return false;
    }
    gDevice.device = device;
    gDevice.paused = false;
    setMixerEnabled(true);
    setBeforeExitHook(closeAudioDevice);
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void closeAudioDevice() {
    if (gDevice.device != 0) {
        // Closing waits for a running callback and stops the mixer thread.
        SDL_CloseAudioDevice(gDevice.device);
        gDevice.device = 0;
    }
    if (gDevice.subsystemUp) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        gDevice.subsystemUp = false;
    }
    gDevice.paused = false;
}

bool audioDeviceOpen() { return gDevice.device != 0; }

void pauseAudioDevice(bool paused) {
    if (gDevice.device == 0) return;
    SDL_PauseAudioDevice(gDevice.device, paused ? 1 : 0);
    gDevice.paused = paused;
}

bool audioDevicePaused() { return gDevice.device != 0 && gDevice.paused; }

AudioLock::AudioLock() : locked_(gDevice.device) {
    if (locked_ != 0) SDL_LockAudioDevice(locked_);
}

AudioLock::~AudioLock() {
    if (locked_ != 0) SDL_UnlockAudioDevice(locked_);
}

}  // namespace platform
