#include "platform/mixer.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <cstring>
#include <utility>

#include <SDL.h>
#include <libopenmpt/libopenmpt.h>
#include <vorbis/vorbisfile.h>

#include "platform/audio_device.h"

namespace platform {

namespace {

constexpr int kChunkFrames = 1024;  // the mixer works in blocks of this many frames

struct Voice {
    bool active = false;
    bool loop = false;
    uint32_t channel = 0;  // handle: serial << 8 | voice index
    uint32_t sample = 0;   // sample handle
    uint64_t position = 0; // source frame, 32.32 fixed point
    uint64_t step = 0;     // source frames per output frame, 32.32 fixed point
    float volume = 1.0f;
};

struct MixerState {
    bool enabled = false;
    DecodedSound samples[kMixerSamples];
    int32_t sampleCount = 0;
    Voice voices[kMixerVoices];
    uint32_t nextSerial = 1;
    openmpt_module* module = nullptr;
    bool modulePlaying = false;
    int32_t moduleVolume = 100;
    int32_t musicVolume = 100;
    int32_t effectsVolume = 100;
    float mix[kChunkFrames * 2] = {};
    float music[kChunkFrames * 2] = {};
};

MixerState gMixer;

int32_t clampVolume(int32_t v) { return std::clamp(v, 0, 100); }

// Ogg reading from memory.
struct MemoryReader {
    const uint8_t* data;
    size_t size;
    size_t position;
};

size_t readMemory(void* dst, size_t size, size_t count, void* source) {
    auto* r = static_cast<MemoryReader*>(source);
    if (size == 0) return 0;
    size_t want = size * count;
    size_t left = r->size - r->position;
    size_t n = std::min(want, left) / size * size;
    if (n > 0) std::memcpy(dst, r->data + r->position, n);
    r->position += n;
    return n / size;
}

int seekMemory(void* source, ogg_int64_t offset, int whence) {
    auto* r = static_cast<MemoryReader*>(source);
    int64_t base = 0;
    if (whence == SEEK_CUR) base = static_cast<int64_t>(r->position);
    else if (whence == SEEK_END) base = static_cast<int64_t>(r->size);
    else if (whence != SEEK_SET) return -1;
    if (offset > static_cast<ogg_int64_t>(r->size) || offset < -static_cast<ogg_int64_t>(r->size)) return -1;
    int64_t target = base + offset;
    if (target < 0 || target > static_cast<int64_t>(r->size)) return -1;
    r->position = static_cast<size_t>(target);
    return 0;
}

long tellMemory(void* source) { return static_cast<long>(static_cast<MemoryReader*>(source)->position); }

bool readWholeFile(const char* path, std::vector<uint8_t>& out) {
    out.clear();
    if (!path) return false;
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.insert(out.end(), buffer, buffer + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// The inner loops: frames whose next source frame lies inside the sample.
template <int Channels>
void mixRun(const int16_t* pcm, uint64_t& position, uint64_t step, float gain, float* mix, int frames) {
    for (int i = 0; i < frames; ++i) {
        const size_t index = static_cast<size_t>(position >> 32);
        const float frac = static_cast<float>(static_cast<uint32_t>(position)) * (1.0f / 4294967296.0f);
        const int16_t* a = pcm + index * Channels;
        const float left = a[0] + (a[Channels] - a[0]) * frac;
        const float right = Channels == 2 ? a[1] + (a[3] - a[1]) * frac : left;
        mix[2 * i] += left * gain;
        mix[2 * i + 1] += right * gain;
        position += step;
    }
}

// Adds one voice into the chunk; false when the voice came to its end.
bool mixVoice(Voice& v, const DecodedSound& s, float gain, float* mix, int frames) {
    const int16_t* pcm = s.pcm.data();
    const uint64_t length = static_cast<uint64_t>(s.frames) << 32;
    const uint64_t lastFrame = static_cast<uint64_t>(s.frames - 1) << 32;
    const int stride = s.channels;
    int done = 0;
    while (done < frames) {
        if (v.position >= length) {
            if (!v.loop) return false;
            v.position %= length;
        }
        if (v.position < lastFrame) {
            // Every position below the last frame interpolates inside the sample.
            const uint64_t steps = (lastFrame - v.position + v.step - 1) / v.step;
            const int n = static_cast<int>(std::min<uint64_t>(steps, static_cast<uint64_t>(frames - done)));
            if (stride == 2) mixRun<2>(pcm, v.position, v.step, gain, mix + 2 * done, n);
            else mixRun<1>(pcm, v.position, v.step, gain, mix + 2 * done, n);
            done += n;
            continue;
        }
        // The last frame leads into the first (looping) or holds (otherwise).
        const uint32_t index = static_cast<uint32_t>(v.position >> 32);
        const float frac = static_cast<float>(static_cast<uint32_t>(v.position)) * (1.0f / 4294967296.0f);
        const int16_t* a = pcm + static_cast<size_t>(index) * stride;
        const int16_t* b = v.loop ? pcm : a;
        const float left = a[0] + (b[0] - a[0]) * frac;
        const float right = stride == 2 ? a[1] + (b[1] - a[1]) * frac : left;
        mix[2 * done] += left * gain;
        mix[2 * done + 1] += right * gain;
        v.position += v.step;
        ++done;
    }
    return true;
}

}  // namespace

bool decodeOggVorbis(const uint8_t* data, size_t size, DecodedSound& out) {
    out = DecodedSound();
    if (!data || size == 0) return false;
    MemoryReader reader{data, size, 0};
    ov_callbacks callbacks{readMemory, seekMemory, nullptr, tellMemory};
    OggVorbis_File file;
    if (ov_open_callbacks(&reader, &file, nullptr, 0, callbacks) != 0) return false;
    vorbis_info* info = ov_info(&file, -1);
    if (!info || info->channels <= 0 || info->rate <= 0) {
        ov_clear(&file);
        return false;
    }
    const int sourceChannels = info->channels;
    out.channels = sourceChannels >= 2 ? 2 : 1;
    out.rate = static_cast<int32_t>(std::min<long>(info->rate, 1 << 30));
    // The length the file claims, only as a hint (and never more than a plausible amount).
    ogg_int64_t total = ov_pcm_total(&file, -1);
    ogg_int64_t plausible = std::min<ogg_int64_t>(kMaxSampleFrames, static_cast<ogg_int64_t>(size) * 32);
    if (total > 0) out.pcm.reserve(static_cast<size_t>(std::min(total, plausible)) * out.channels);
    int16_t buffer[8192];
    int link = 0;
    int holes = 0;
    for (;;) {
        long got = ov_read(&file, reinterpret_cast<char*>(buffer), sizeof buffer, 0, 2, 1, &link);
        if (got == 0) break;
        if (got == OV_HOLE && ++holes < 64) continue;
        if (got < 0) break;
        // A chained stream that changes its channel count ends the sound there.
        vorbis_info* linkInfo = ov_info(&file, link);
        if (!linkInfo || linkInfo->channels != sourceChannels) break;
        int frames = static_cast<int>(got / (2 * sourceChannels));
        if (out.frames + frames > kMaxSampleFrames) frames = kMaxSampleFrames - out.frames;
        const int16_t* in = buffer;
        if (sourceChannels == out.channels) {
            out.pcm.insert(out.pcm.end(), in, in + static_cast<size_t>(frames) * sourceChannels);
        } else {
            for (int f = 0; f < frames; ++f) {
                const int16_t* frame = in + static_cast<size_t>(f) * sourceChannels;
                out.pcm.push_back(frame[0]);
                out.pcm.push_back(frame[1]);
            }
        }
        out.frames += frames;
        if (out.frames >= kMaxSampleFrames) break;
    }
    ov_clear(&file);
    if (out.frames == 0) {
        out = DecodedSound();
        return false;
    }
    return true;
}

int64_t fileBytes(const char* path) {
    if (!path) return 0;
    FILE* f = std::fopen(path, "rb");
    if (!f) return 0;
    int64_t size = 0;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        long end = std::ftell(f);
        if (end > 0) size = end;
    }
    std::fclose(f);
    return size;
}

void setMixerEnabled(bool on) {
    AudioLock lock;
    gMixer.enabled = on;
}

bool mixerEnabled() { return gMixer.enabled; }

void resetMixer() {
    if (gMixer.module) openmpt_module_destroy(gMixer.module);
    for (DecodedSound& s : gMixer.samples) s = DecodedSound();
    for (Voice& v : gMixer.voices) v = Voice();
    gMixer.enabled = false;
    gMixer.sampleCount = 0;
    gMixer.nextSerial = 1;
    gMixer.module = nullptr;
    gMixer.modulePlaying = false;
    gMixer.moduleVolume = 100;
    gMixer.musicVolume = 100;
    gMixer.effectsVolume = 100;
}

uint32_t addSample(DecodedSound&& sound) {
    if (!gMixer.enabled || sound.frames <= 0 || (sound.channels != 1 && sound.channels != 2)) return 0;
    if (sound.pcm.size() < static_cast<size_t>(sound.frames) * static_cast<size_t>(sound.channels)) return 0;
    AudioLock lock;
    if (gMixer.sampleCount >= kMixerSamples) return 0;
    int index = gMixer.sampleCount++;
    gMixer.samples[index] = std::move(sound);  // a move: no allocation under the lock
    return static_cast<uint32_t>(index + 1);
}

uint32_t loadSampleMemory(const uint8_t* data, size_t size) {
    if (!gMixer.enabled) return 0;
    DecodedSound sound;
    if (!decodeOggVorbis(data, size, sound)) return 0;
    return addSample(std::move(sound));
}

uint32_t loadSampleFile(const char* path) {
    if (!gMixer.enabled) return 0;
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) return 0;
    return loadSampleMemory(bytes.data(), bytes.size());
}

// The shared work of a batch of files: files are taken in order by whichever thread is free.
struct SampleDecoding {
    std::vector<std::string> paths;
    std::unique_ptr<DecodedSound[]> sounds;
    std::unique_ptr<int64_t[]> bytes;
    std::unique_ptr<std::atomic<bool>[]> done;
    std::atomic<size_t> next{0};
    SDL_Thread* workers[3] = {};
};

namespace {

// Decodes the next file not yet taken; false when every file is taken.
bool decodeNextFile(SampleDecoding& jobs) {
    const size_t i = jobs.next.fetch_add(1);
    if (i >= jobs.paths.size()) return false;
    std::vector<uint8_t> file;
    if (readWholeFile(jobs.paths[i].c_str(), file)) {
        jobs.bytes[i] = static_cast<int64_t>(file.size());
        if (!decodeOggVorbis(file.data(), file.size(), jobs.sounds[i])) jobs.sounds[i] = DecodedSound();
    }
    jobs.done[i].store(true, std::memory_order_release);
    return true;
}

int decodeWorker(void* data) {
    SampleDecoding& jobs = *static_cast<SampleDecoding*>(data);
    while (decodeNextFile(jobs)) {
    }
    return 0;
}

}  // namespace

int processorCount() { return std::max(1, SDL_GetCPUCount()); }

SampleDecoding* startSampleFiles(const std::vector<std::string>& paths, int helpers) {
    auto* jobs = new SampleDecoding;
    const size_t count = paths.size();
    jobs->paths = paths;
    jobs->sounds = std::make_unique<DecodedSound[]>(count);
    jobs->bytes = std::make_unique<int64_t[]>(count);
    jobs->done = std::make_unique<std::atomic<bool>[]>(count);
    for (size_t i = 0; i < count; ++i) {
        jobs->bytes[i] = 0;
        jobs->done[i].store(false);
    }
    // A thread that cannot start is simply not there: the caller's thread decodes in the end.
    helpers = std::clamp(helpers, 0, 3);
    for (int w = 0; w < helpers && static_cast<size_t>(w) < count; ++w)
        jobs->workers[w] = SDL_CreateThread(decodeWorker, "cue decoder", jobs);
    return jobs;
}

void finishSampleFiles(SampleDecoding* jobs,
                       const std::function<void(size_t index, DecodedSound& sound, int64_t bytes)>& each) {
    if (!jobs) return;
    for (size_t i = 0; i < jobs->paths.size(); ++i) {
        // Wait for the file in turn by decoding others meanwhile, or by yielding once all are taken.
        while (!jobs->done[i].load(std::memory_order_acquire)) {
            if (!decodeNextFile(*jobs)) SDL_Delay(1);
        }
        if (each) each(i, jobs->sounds[i], jobs->bytes[i]);
        jobs->sounds[i] = DecodedSound();
    }
    for (SDL_Thread* t : jobs->workers) {
        if (t) SDL_WaitThread(t, nullptr);
    }
    delete jobs;
}

void decodeSampleFiles(const std::vector<std::string>& paths,
                       const std::function<void(size_t index, DecodedSound& sound, int64_t bytes)>& each) {
    if (paths.empty()) return;
    // One helper thread per further processor.
    finishSampleFiles(startSampleFiles(paths, processorCount() - 1), each);
}

int32_t sampleFrames(uint32_t sample) {
    if (sample == 0 || sample > static_cast<uint32_t>(gMixer.sampleCount)) return 0;
    return gMixer.samples[sample - 1].frames;
}

int32_t sampleRate(uint32_t sample) {
    if (sample == 0 || sample > static_cast<uint32_t>(gMixer.sampleCount)) return 0;
    return gMixer.samples[sample - 1].rate;
}

uint32_t playSample(uint32_t sample, int32_t frequency, bool loop) {
    if (!gMixer.enabled || sample == 0) return 0;
    AudioLock lock;
    if (sample > static_cast<uint32_t>(gMixer.sampleCount)) return 0;
    int sounding = 0;
    int freeVoice = -1;
    for (int i = 0; i < kMixerVoices; ++i) {
        const Voice& v = gMixer.voices[i];
        if (v.active) {
            if (v.sample == sample) ++sounding;
        } else if (freeVoice < 0) {
            freeVoice = i;
        }
    }
    if (freeVoice < 0 || sounding >= kMaxPlaybacksPerSample) return 0;
    int32_t rate = std::clamp(frequency, kMinPlaybackRate, kMaxPlaybackRate);
    Voice& v = gMixer.voices[freeVoice];
    v = Voice();
    v.active = true;
    v.loop = loop;
    v.sample = sample;
    v.step = (static_cast<uint64_t>(rate) << 32) / kMixRate;
    v.channel = (gMixer.nextSerial << 8) | static_cast<uint32_t>(freeVoice);
    gMixer.nextSerial = (gMixer.nextSerial + 1) & 0xFFFFFFu;
    if (gMixer.nextSerial == 0) gMixer.nextSerial = 1;
    return v.channel;
}

bool channelActive(uint32_t channel) {
    if (channel == 0) return false;
    AudioLock lock;
    const Voice& v = gMixer.voices[channel & 0xFFu];
    return v.active && v.channel == channel;
}

int activeVoiceCount() {
    AudioLock lock;
    int n = 0;
    for (const Voice& v : gMixer.voices) n += v.active ? 1 : 0;
    return n;
}

bool loadModuleMemory(const uint8_t* data, size_t size) {
    if (!gMixer.enabled || !data || size == 0) return false;
    int error = 0;
    openmpt_module* module = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent, nullptr,
                                                                openmpt_error_func_ignore, nullptr, &error,
                                                                nullptr, nullptr);
    if (!module) return false;
    openmpt_module_set_repeat_count(module, -1);
    openmpt_module* old = nullptr;
    {
        AudioLock lock;
        old = gMixer.module;
        gMixer.module = module;
        gMixer.modulePlaying = false;
    }
    if (old) openmpt_module_destroy(old);
    return true;
}

bool loadModuleFile(const char* path) {
    if (!gMixer.enabled) return false;
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) return false;
    return loadModuleMemory(bytes.data(), bytes.size());
}

bool moduleLoaded() { return gMixer.module != nullptr; }

void setModuleGain(int32_t millibel) {
    AudioLock lock;
    if (gMixer.module) openmpt_module_set_render_param(gMixer.module, OPENMPT_MODULE_RENDER_MASTERGAIN_MILLIBEL, millibel);
}

void playModule(int32_t order) {
    AudioLock lock;
    if (!gMixer.module) return;
    int32_t orders = openmpt_module_get_num_orders(gMixer.module);
    if (order < 0 || order >= orders) order = 0;
    openmpt_module_set_position_order_row(gMixer.module, order, 0);
    gMixer.modulePlaying = true;
}

bool modulePlaying() { return gMixer.module && gMixer.modulePlaying; }

void setModuleVolume(int32_t volume) {
    AudioLock lock;
    gMixer.moduleVolume = clampVolume(volume);
}

int32_t moduleVolume() { return gMixer.moduleVolume; }

int32_t moduleOrder() {
    AudioLock lock;
    return gMixer.module ? openmpt_module_get_current_order(gMixer.module) : -1;
}

int32_t moduleOrderCount() {
    AudioLock lock;
    return gMixer.module ? openmpt_module_get_num_orders(gMixer.module) : 0;
}

void setGlobalVolumes(int32_t music, int32_t effects) {
    AudioLock lock;
    gMixer.musicVolume = clampVolume(music);
    gMixer.effectsVolume = clampVolume(effects);
}

void mixFrames(int16_t* out, int frames) {
    while (frames > 0) {
        const int n = std::min(frames, kChunkFrames);
        float* mix = gMixer.mix;
        std::fill(mix, mix + 2 * n, 0.0f);
        const float effectsGain = static_cast<float>(gMixer.effectsVolume) / 100.0f;
        for (Voice& v : gMixer.voices) {
            if (!v.active) continue;
            const DecodedSound& s = gMixer.samples[v.sample - 1];
            if (!mixVoice(v, s, v.volume * effectsGain, mix, n)) v.active = false;
        }
        if (gMixer.module && gMixer.modulePlaying) {
            float* music = gMixer.music;
            size_t got = openmpt_module_read_interleaved_float_stereo(gMixer.module, kMixRate, static_cast<size_t>(n), music);
            const float gain = 32767.0f * static_cast<float>(gMixer.musicVolume) / 100.0f *
                               static_cast<float>(gMixer.moduleVolume) / 100.0f;
            for (size_t i = 0; i < 2 * got; ++i) mix[i] += music[i] * gain;
        }
        for (int i = 0; i < 2 * n; ++i) {
            float v = mix[i];
            v = v > 32767.0f ? 32767.0f : (v < -32768.0f ? -32768.0f : v);
            out[i] = static_cast<int16_t>(v);
        }
        out += 2 * n;
        frames -= n;
    }
}

}  // namespace platform
