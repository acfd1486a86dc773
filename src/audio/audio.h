// Sound cues, ambience and the music module.
//
// Cues are the "*.ogg" files of "Sounds", decoded whole at load and addressed by file name
// (exact case). A request only queues the cue in the voice ring; the per-frame updateAudio
// starts it. A 5 ms guard per cue keeps one cue from starting twice in one frame. The music is
// the module "music.mo3", whose sections start at fixed order positions; section changes either
// fade the music out over 800 ms and restart it, or restart it at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
struct SampleDecoding;
}

constexpr int kSoundBankSize = 256;
constexpr int kSoundNameSize = 32;      // names up to 31 characters
constexpr int kVoiceSlots = 256;
constexpr float kCueCooldownMs = 5.0f;
constexpr int kCueFrequency = 44100;    // the rate plain cues are played at
constexpr float kMusicFadeMs = 800.0f;
constexpr int32_t kMusicGainMillibel = 158;  // the module's amplification, about +1.6 dB

struct SoundBankEntry {
    uint32_t sample = 0;  // 0 when the file could not be loaded
    char name[kSoundNameSize] = {};
    float cooldownMs = 0.0f;
};

// Voice slot states: requested and not yet started, playing as last seen; anything else is idle.
constexpr int32_t kSlotRequested = -1;
constexpr int32_t kSlotPlaying = 1;

struct VoiceSlot {
    int32_t state = 0;
    uint32_t channel = 0;
    uint32_t sample = 0;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    uint8_t loop = 0;
    int32_t frequency = 0;
};

struct AudioState {
    bool deviceOpen = false;
    SoundBankEntry bank[kSoundBankSize];
    int32_t bankCount = 0;
    VoiceSlot slots[kVoiceSlots];
    int32_t nextSlot = 0;
    bool moduleLoaded = false;
    int32_t targetOrder = -1;   // where the music is heading
    int32_t startedOrder = -1;  // where it was last started
    float fadeTimerMs = 0.0f;   // 0 when no fade runs
    int32_t musicChannelVolume = 100;
    // The cues being decoded ahead of loadSounds (see prefetchSounds), with their names.
    platform::SampleDecoding* cuesAhead = nullptr;
    std::vector<std::string> cueNames;
};

AudioState& audioState();
// Forgets the bank, the ring and the music state and frees the mixer's samples and module.
// Closes the device first when one is open.
void resetAudioState();

// The order position where a music section starts: 1 -> 17, 2 -> 31, 3 -> 47, 4 -> 72, 5 -> 89,
// 6 -> 92, any other number -> 0.
int32_t musicSectionOrder(int section);

bool initAudio();
// For tests and tools: the audio state as after initAudio, with the mixer running but no device
// (mix its output with platform::mixFrames).
void initAudioWithoutDevice();
// Begins reading and decoding the cues of the data folder's "Sounds" on helper threads, so that
// loadSounds (run from the data folder) only takes them in; the loading runs on meanwhile.
void prefetchSounds(const std::string& dataFolder);
void loadSounds();
void playSound(const char* name);
void playSoundAtFrequency(const char* name, int frequency);
void updateAudio();
void fadeToMusicSection(int section);
void switchMusicSection(int section);
void applyVolumes();
void pauseAudio();
void resumeAudio();
void shutdownAudio();

// The index of a cue in the bank (exact name), -1 when it has none.
int findSound(const char* name);
