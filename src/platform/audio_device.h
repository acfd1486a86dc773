// The audio output: an SDL device at 44100 Hz stereo whose callback runs the mixer. Without a
// sound card the device does not open and the mixer stays switched off: the game runs silently.
#pragma once

namespace platform {

// Opens the default output and starts it; switches the mixer on. False when no device opens.
bool openAudioDevice();
// Stops the callback and closes the device (harmless when none is open). Also run before a
// fatal exit, so that the mixer thread stops before the samples go away.
void closeAudioDevice();
bool audioDeviceOpen();
// Pauses or resumes the output (the window's activation).
void pauseAudioDevice(bool paused);
bool audioDevicePaused();

// Holds the device lock for its lifetime (nothing when no device is open). The lock is
// recursive: a locked operation may call other locked operations.
class AudioLock {
public:
    AudioLock();
    ~AudioLock();
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;

private:
    unsigned locked_;
};

}  // namespace platform
