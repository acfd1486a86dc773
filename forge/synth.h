// Small sound synthesizer for the forge: deterministic noise, oscillators, envelopes, filters,
// delays and the Ogg Vorbis encoder that turns a finished sound into a cue file.
#pragma once

#include <cstdint>
#include <vector>

namespace forge::synth {

constexpr double kPi = 3.14159265358979323846;

// Deterministic generator (xorshift32), so every build makes the same sounds.
struct Rng {
    uint32_t state;
    explicit Rng(uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
    uint32_t next();
    float uniform();                    // 0 .. 1
    float bipolar();                    // -1 .. 1
    float range(float lo, float hi);
};

// A sound under construction: interleaved float frames at a rate.
struct Sound {
    int rate = 44100;
    int channels = 1;
    std::vector<float> data;
    int frames() const { return static_cast<int>(data.size()) / channels; }
    float& at(int frame, int ch) { return data[static_cast<size_t>(frame) * channels + ch]; }
};
Sound makeSound(double seconds, int rate = 44100, int channels = 1);

// Mixes a mono value into a frame with an equal-power pan (-1 left .. 1 right).
void mixAt(Sound& s, int frame, float value, float pan);

// Attack (linear) then exponential decay with time constant tau, in seconds.
float envAD(double t, double attack, double tau);

enum class Wave { Sine, Triangle, Square, Saw, Pulse25 };

// One pitched voice. The pitch glides exponentially from freq to freqEnd over glide seconds
// (freqEnd <= 0 keeps freq). fmRatio/fmIndex add a sine modulator whose index decays with the
// note (fmDecay time constant, 0 = constant). Vibrato in Hz depth fraction and rate.
struct Tone {
    double start = 0, length = 0.3;
    double freq = 440, freqEnd = 0, glide = 0.1;
    Wave wave = Wave::Sine;
    double fmRatio = 0, fmIndex = 0, fmDecay = 0;
    double attack = 0.002, decay = 0.1;    // envAD
    double release = 0.01;                 // fade over the last part of length
    double vibDepth = 0, vibRate = 5;
    float amp = 0.5f, pan = 0;
};
void addTone(Sound& s, const Tone& t);

// A bell or glass: inharmonic partials (ratio, relative amp, relative decay).
struct Partial {
    double ratio, amp, decay;
};
void addBell(Sound& s, double start, double freq, double decay, float amp, float pan,
             const std::vector<Partial>& partials, double attack = 0.001);

enum class Filter { None, Lowpass, Bandpass, Highpass };
enum class Colour { White, Pink, Brown };

// Filtered noise with an envelope; the cutoff glides exponentially from cutoff to cutoffEnd.
struct Noise {
    double start = 0, length = 0.3;
    double attack = 0.001, decay = 0.1, release = 0.01;
    Filter filter = Filter::None;
    double cutoff = 2000, cutoffEnd = 0, q = 0.7;
    Colour colour = Colour::White;
    float amp = 0.5f, pan = 0;
    float stereoSpread = 0;   // 0 = same noise on both sides, 1 = independent noise per side
    uint32_t seed = 1;
};
void addNoise(Sound& s, const Noise& n);

// Short random ticks (crackle) of a given density per second over a span.
void addCrackle(Sound& s, double start, double length, double density, float amp, double decay,
                uint32_t seed, double cutoff);

// Effects over a whole sound.
void lowpass(Sound& s, double cutoff);
void highpass(Sound& s, double cutoff);
void echo(Sound& s, double delay, float feedback, float wet);
void reverb(Sound& s, double room, float damp, float wet);   // room 0..1
void fadeEdges(Sound& s, double fadeIn, double fadeOut);
// Equal-power fades at both ends for a sound repeated every (length - overlap) seconds, so that
// one copy fades out while the next fades in without a dip.
void loopFade(Sound& s, double overlap);
// Scales to the given peak (0..1) and cuts the tail once it stays under -60 dB; a sound still
// ringing at the end of its buffer gets a fade-out unless it was shaped already.
void finish(Sound& s, float peak, bool shaped = false);

// Encodes a sound as Ogg Vorbis (VBR quality -0.1..1) with a fixed stream serial number.
// The bytes are the same for the same sound and settings.
std::vector<uint8_t> encodeVorbis(const Sound& s, float quality, int serial);

}  // namespace forge::synth
