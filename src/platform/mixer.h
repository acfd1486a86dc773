// The software mixer behind the audio device: decoded samples played by up to 256 voices at any
// playback rate, one tracker module, and the global music and effects volumes. The device's
// callback calls mixFrames; tests and benchmarks call it directly, without a device.
//
// Every operation of the game thread takes the device lock (when a device is open) for as long
// as it touches mixer state. mixFrames never allocates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

constexpr int kMixRate = 44100;            // output frames per second, stereo
constexpr int kMixerVoices = 256;          // voices sounding at once
constexpr int kMixerSamples = 256;         // decoded samples held
constexpr int kMaxPlaybacksPerSample = 255;
constexpr int kMinPlaybackRate = 100;      // playback rates are clamped to this range (Hz)
constexpr int kMaxPlaybackRate = 100000;
constexpr int32_t kMaxSampleFrames = 1 << 24;  // about six minutes at 44100 Hz

// A sound decoded whole: 16-bit frames, one or two channels, at the file's own rate.
struct DecodedSound {
    std::vector<int16_t> pcm;  // interleaved
    int32_t frames = 0;
    int32_t channels = 0;
    int32_t rate = 0;
};

// Decodes a whole Ogg Vorbis file held in memory; more than two channels keep the first two.
// False on any fault of the file (nothing usable decoded).
bool decodeOggVorbis(const uint8_t* data, size_t size, DecodedSound& out);

// The size of a file in bytes, 0 when it cannot be read.
int64_t fileBytes(const char* path);

// Whether the mixer takes samples and the module. It is switched on when the device opens, or
// by tests that drive it without a device; while off, loads and plays do nothing and return 0.
void setMixerEnabled(bool on);
bool mixerEnabled();
// Frees every sample and the module, stops every voice, restores the volumes to 100 and switches
// the mixer off. Only with the device closed.
void resetMixer();

// Samples: handles 1..256, 0 for "none" (mixer off, table full, file unreadable or not Vorbis).
uint32_t addSample(DecodedSound&& sound);
uint32_t loadSampleMemory(const uint8_t* data, size_t size);
uint32_t loadSampleFile(const char* path);
// Reads and decodes many files at once, each read once, on every processor: `each` is called on
// the calling thread for every file in the order given, as soon as it and the files before it
// are done, with its size in bytes (0 when unreadable) and its sound (no frames when the file
// is unreadable or not Vorbis). The caller adds the sounds it keeps with addSample.
void decodeSampleFiles(const std::vector<std::string>& paths,
                       const std::function<void(size_t index, DecodedSound& sound, int64_t bytes)>& each);
// The same in two halves, so that the files are read and decoded on `helpers` threads while the
// caller does other work: startSampleFiles begins (the paths must not depend on the current
// folder, which the caller may change meanwhile), finishSampleFiles joins in, calls `each` as
// decodeSampleFiles does (a null `each` drops the sounds), waits for the threads and frees the
// batch.
struct SampleDecoding;
int processorCount();
SampleDecoding* startSampleFiles(const std::vector<std::string>& paths, int helpers);
void finishSampleFiles(SampleDecoding* batch,
                       const std::function<void(size_t index, DecodedSound& sound, int64_t bytes)>& each);
int32_t sampleFrames(uint32_t sample);  // 0 for an unknown handle
int32_t sampleRate(uint32_t sample);    // the file's own rate, 0 for an unknown handle

// Starts a voice of a sample at a playback rate in Hz (source frames per second, clamped to
// 100..100000) at full volume. Returns the channel handle, 0 when nothing started (unknown
// sample, all voices busy, or 255 voices of that sample already sounding).
uint32_t playSample(uint32_t sample, int32_t frequency, bool loop);
// True while the channel's voice sounds; false for a finished, replaced or unknown channel.
bool channelActive(uint32_t channel);
int activeVoiceCount();

// The module: read by content (any format the tracker library knows), looping for ever.
bool loadModuleMemory(const uint8_t* data, size_t size);
bool loadModuleFile(const char* path);
bool moduleLoaded();
// Amplification of the module in millibel (0 leaves the library's level).
void setModuleGain(int32_t millibel);
// Starts the module at an order position with its playing state reset (from the first row).
void playModule(int32_t order);
bool modulePlaying();
// The module's channel volume 0..100 (the fades), on top of the global music volume.
void setModuleVolume(int32_t volume);
int32_t moduleVolume();
int32_t moduleOrder();       // the order position now playing, -1 without a module
int32_t moduleOrderCount();  // 0 without a module

// Global volumes 0..100, linear factors on the music and on every sample voice.
void setGlobalVolumes(int32_t music, int32_t effects);

// Mixes the next frames (stereo, 44100 Hz) into out, overwriting it.
void mixFrames(int16_t* out, int frames);

}  // namespace platform
