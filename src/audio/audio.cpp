#include "audio/audio.h"


#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/frame_clock.h"
#include "app/loader.h"
#include "app/trace.h"
#include "platform/audio_device.h"
#include "platform/files.h"
#include "platform/mixer.h"
#include "progress/profiles.h"

namespace {

AudioState gAudio;

void startModuleAt(int32_t order) {
    platform::playModule(order);
    gAudio.startedOrder = order;
}

void setMusicChannelVolume(int32_t volume) {
    gAudio.musicChannelVolume = volume;
    platform::setModuleVolume(volume);
}

}  // namespace

AudioState& audioState() { return gAudio; }

void resetAudioState() {
    platform::finishSampleFiles(gAudio.cuesAhead, nullptr);
    platform::closeAudioDevice();
    platform::resetMixer();
    gAudio = AudioState();
}

int32_t musicSectionOrder(int section) {
    switch (section) {
        case 1: return 17;
        case 2: return 31;
        case 3: return 47;
        case 4: return 72;
        case 5: return 89;
        case 6: return 92;
        default: return 0;
    }
}

bool initAudio() {
    // A start begins from nothing: an earlier run's device, samples and bank are gone first
    // (the cues being decoded for this start are kept).
    platform::SampleDecoding* ahead = std::exchange(gAudio.cuesAhead, nullptr);
    std::vector<std::string> names = std::move(gAudio.cueNames);
    resetAudioState();
    gAudio.cuesAhead = ahead;
    gAudio.cueNames = std::move(names);
    gAudio.deviceOpen = platform::openAudioDevice();
    applyVolumes();
    return gAudio.deviceOpen;
}

void initAudioWithoutDevice() {
    resetAudioState();
    platform::setMixerEnabled(true);
    applyVolumes();
}

void prefetchSounds(const std::string& dataFolder) {
    if (gAudio.cuesAhead) return;
    // The folder by its real spelling, as "Sounds" is found when entered.
    const std::string given = dataFolder + "/Sounds";
    std::string folder = platform::resolvePath(given.c_str());
    if (folder.empty()) folder = given;
    gAudio.cueNames = platform::listFiles(folder.c_str(), "ogg");
    std::vector<std::string> paths;
    paths.reserve(gAudio.cueNames.size());
    for (const std::string& name : gAudio.cueNames) paths.push_back(folder + "/" + name);
    // One helper per processor beside this one, and one on a single processor: the loading
    // thread joins in when it reaches the cues.
    gAudio.cuesAhead = platform::startSampleFiles(paths, std::max(1, platform::processorCount() - 1));
}

void loadSounds() {
    if (!gAudio.cuesAhead) prefetchSounds(platform::currentDir());
    const std::vector<std::string> names = std::move(gAudio.cueNames);
    gAudio.cueNames.clear();
    // The cues are decoded on every processor; the bank and the loading bar take them in the
    // order of their names, as one by one.
    platform::finishSampleFiles(std::exchange(gAudio.cuesAhead, nullptr), [&](size_t i, platform::DecodedSound& sound,
                                                                              int64_t bytes) {
        const std::string& name = names[i];
        // A name too long for a bank entry is left out rather than cut short, so that no
        // request can reach it under a wrong name.
        if (gAudio.bankCount < kSoundBankSize && name.size() < static_cast<size_t>(kSoundNameSize)) {
            SoundBankEntry& entry = gAudio.bank[gAudio.bankCount++];
            entry = SoundBankEntry();
            std::memcpy(entry.name, name.c_str(), name.size() + 1);
            entry.sample = platform::addSample(std::move(sound));
        }
        reportLoaded(bytes);
    });
    gAudio.moduleLoaded = platform::loadModuleFile("music.mo3");
    platform::setModuleGain(kMusicGainMillibel);
    reportLoaded(platform::fileBytes("music.mo3"));
}

int findSound(const char* name) {
    if (!name) return -1;
    for (int i = 0; i < gAudio.bankCount; ++i) {
        if (std::strcmp(gAudio.bank[i].name, name) == 0) return i;
    }
    return -1;
}

namespace {
void queueCue(const char* name, int frequency) {
    if (!name) return;
    for (int i = 0; i < gAudio.bankCount; ++i) {
        SoundBankEntry& entry = gAudio.bank[i];
        if (std::strcmp(entry.name, name) != 0) continue;
        // Looping slots are never overwritten; when every slot loops the request is dropped.
        int skipped = 0;
        while (gAudio.slots[gAudio.nextSlot].loop == 1 && skipped < kVoiceSlots) {
            gAudio.nextSlot = (gAudio.nextSlot + 1) % kVoiceSlots;
            ++skipped;
        }
        if (skipped == kVoiceSlots) return;
        if (entry.cooldownMs > 0.0f) continue;
        entry.cooldownMs = kCueCooldownMs;
        VoiceSlot& slot = gAudio.slots[gAudio.nextSlot];
        slot.state = kSlotRequested;
        slot.loop = 0;
        slot.x = slot.y = slot.z = 0.0f;
        slot.sample = entry.sample;
        slot.frequency = frequency;
        gAudio.nextSlot = (gAudio.nextSlot + 1) % kVoiceSlots;
    }
}
}  // namespace

void playSound(const char* name) {
    traceCall("sound", name, 0, 0, kCueFrequency);
    queueCue(name, kCueFrequency);
}

void playSoundAtFrequency(const char* name, int frequency) {
    traceCall("sound", name, 0, 0, frequency);
    queueCue(name, frequency);
}

void updateAudio() {
    const float elapsed = static_cast<float>(frameClock().deltaMs);
    for (int i = 0; i < gAudio.bankCount; ++i) {
        if (gAudio.bank[i].cooldownMs > 0.0f) gAudio.bank[i].cooldownMs -= elapsed;
    }
    {
        platform::AudioLock lock;  // one lock for the whole ring
        for (VoiceSlot& slot : gAudio.slots) {
            if (slot.state == kSlotRequested) {
                slot.channel = platform::playSample(slot.sample, slot.frequency, slot.loop != 0);
                slot.state = kSlotPlaying;
            } else if (slot.state == kSlotPlaying) {
                slot.state = platform::channelActive(slot.channel) ? kSlotPlaying : 0;
            }
        }
    }
    if (gAudio.fadeTimerMs > 0.0f) {
        gAudio.fadeTimerMs -= elapsed;
        if (gAudio.fadeTimerMs <= 0.0f) {
            setMusicChannelVolume(100);
            startModuleAt(gAudio.targetOrder);
        } else {
            setMusicChannelVolume(static_cast<int32_t>(gAudio.fadeTimerMs / 8.0f));
        }
    }
}

void fadeToMusicSection(int section) {
    int32_t order = musicSectionOrder(section);
    if (order == gAudio.targetOrder) return;
    gAudio.targetOrder = order;
    gAudio.fadeTimerMs = kMusicFadeMs;
}

void switchMusicSection(int section) {
    int32_t order = musicSectionOrder(section);
    if (order == gAudio.targetOrder) return;
    gAudio.targetOrder = order;
    setMusicChannelVolume(100);
    startModuleAt(order);
    gAudio.fadeTimerMs = 0.0f;
}

void applyVolumes() { platform::setGlobalVolumes(settings().musicVolume, settings().sfxVolume); }

void pauseAudio() { platform::pauseAudioDevice(true); }

void resumeAudio() { platform::pauseAudioDevice(false); }

void shutdownAudio() {
    // The device goes first, so that no callback can touch a sample being freed.
    platform::closeAudioDevice();
    platform::resetMixer();
    gAudio.deviceOpen = false;
    gAudio.moduleLoaded = false;
    for (SoundBankEntry& entry : gAudio.bank) entry.sample = 0;
    for (VoiceSlot& slot : gAudio.slots) slot = VoiceSlot();
}
