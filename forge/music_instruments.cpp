// Sample synthesis for the music module's instruments. Looped samples hold whole numbers of
// cycles of every partial inside the loop, so they loop without a click.
#include "music_instruments.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "synth.h"

namespace forge::music {

namespace {

using synth::kPi;

constexpr int kRate = 22050;
constexpr double kMiddleC = 261.6255653;

struct PartialSpec {
    int cycles;   // whole cycles per loop
    double amp;
    double phase;
};

std::vector<int16_t> toPcm(const std::vector<float>& v, float peak) {
    float top = 0;
    for (float x : v) top = std::max(top, std::fabs(x));
    float gain = top > 0 ? peak * 32767.0f / top : 0.0f;
    std::vector<int16_t> out(v.size());
    for (size_t i = 0; i < v.size(); ++i)
        out[i] = static_cast<int16_t>(std::lround(std::clamp(v[i] * gain, -32767.0f, 32767.0f)));
    return out;
}

double periodic(const std::vector<PartialSpec>& parts, int loop, int i) {
    double v = 0;
    for (const PartialSpec& p : parts) v += p.amp * std::sin(2 * kPi * p.cycles * (static_cast<double>(i) / loop) + p.phase);
    return v;
}

// A looped instrument: an attack of `attack` frames (the periodic wave plus an extra shape that
// reaches zero at the loop start), then one loop of the periodic wave.
xm::Instrument looped(const std::string& name, int loop, int baseCycles, const std::vector<PartialSpec>& parts,
                      int attack, const std::vector<float>& extra) {
    std::vector<float> wave(static_cast<size_t>(attack + loop));
    for (int i = 0; i < attack + loop; ++i) {
        double v = periodic(parts, loop, i);
        if (i < attack && static_cast<size_t>(i) < extra.size()) v += extra[static_cast<size_t>(i)];
        wave[static_cast<size_t>(i)] = static_cast<float>(v);
    }
    xm::Instrument ins;
    ins.name = name;
    ins.sample = toPcm(wave, 0.9f);
    ins.loopStart = attack;
    ins.loopLength = loop;
    double freq = static_cast<double>(baseCycles) * kRate / loop;
    xm::tuneForRate(ins, kRate * kMiddleC / freq);
    return ins;
}

xm::Instrument oneShot(const std::string& name, const synth::Sound& s, double pitchHz, float peak = 0.9f) {
    xm::Instrument ins;
    ins.name = name;
    ins.sample = toPcm(s.data, peak);
    xm::tuneForRate(ins, pitchHz > 0 ? s.rate * kMiddleC / pitchHz : s.rate);
    return ins;
}

xm::Instrument pluck() {
    // Plucked string: a delay line of 42 frames fed with soft noise.
    const int period = 42;
    synth::Rng rng(7001);
    std::vector<float> line(period);
    float smooth = 0;
    for (float& x : line) {
        smooth = smooth * 0.5f + rng.bipolar() * 0.5f;
        x = smooth;
    }
    synth::Sound s = synth::makeSound(1.1, kRate);
    size_t pos = 0;
    float last = 0;
    for (int i = 0; i < s.frames(); ++i) {
        float cur = line[pos];
        float next = line[(pos + 1) % period];
        float out = 0.4985f * (cur + next) + 0.001f * last;
        last = out;
        line[pos] = out;
        pos = (pos + 1) % period;
        s.data[static_cast<size_t>(i)] = cur;
    }
    synth::fadeEdges(s, 0.0, 0.2);
    // Each pass averages a frame with the one written after it: the loop is half a frame short.
    xm::Instrument ins = oneShot("pluck", s, kRate / (period - 0.5));
    return ins;
}

xm::Instrument pad() {
    const int loop = 32768, base = 389;
    synth::Rng rng(7002);
    std::vector<PartialSpec> parts;
    for (int n = 1; n <= 16; ++n) {
        double amp = 1.0 / std::pow(n, 1.3) * (n <= 8 ? 1.0 : std::exp(-(n - 8) / 3.0));
        for (double detune : {-0.0035, 0.0, 0.0035}) {
            int cycles = static_cast<int>(std::lround(n * base * (1.0 + detune)));
            parts.push_back({cycles, amp, rng.uniform() * 2 * kPi});
        }
    }
    xm::Instrument ins = looped("pad", loop, base, parts, 0, {});
    ins.volumeEnvelope.points = {{0, 0}, {12, 52}, {30, 64}, {80, 56}};
    ins.volumeEnvelope.sustain = 3;
    ins.fadeout = 0x180;
    return ins;
}

xm::Instrument bass() {
    const int loop = 4096, base = 48;
    std::vector<PartialSpec> parts = {{base, 1.0, 0}, {2 * base, 0.35, 0.5}, {3 * base, 0.15, 1.0}, {4 * base, 0.06, 1.5}};
    const int attack = 1100;
    std::vector<float> extra(attack);
    for (int i = 0; i < attack; ++i) {
        double ramp = 1.0 - static_cast<double>(i) / attack;
        double v = 0;
        for (int n = 5; n <= 9; ++n) v += 0.25 / n * std::sin(2 * kPi * n * base * (static_cast<double>(i) / loop));
        extra[static_cast<size_t>(i)] = static_cast<float>(v * ramp * ramp);
    }
    xm::Instrument ins = looped("bass", loop, base, parts, attack, extra);
    ins.volumeEnvelope.points = {{0, 64}, {6, 56}, {40, 40}, {140, 30}};
    ins.volumeEnvelope.sustain = 3;
    ins.fadeout = 0x600;
    return ins;
}

xm::Instrument bell() {
    synth::Sound s = synth::makeSound(1.6, kRate);
    const double f = 523.2511;
    synth::addBell(s, 0, f, 0.45, 1.0f, 0,
                   {{1.0, 1.0, 1.0}, {2.0, 0.12, 0.6}, {3.0, 0.05, 0.4}, {4.0, 0.2, 0.35}, {10.0, 0.04, 0.12}});
    synth::fadeEdges(s, 0.0, 0.3);
    return oneShot("bell", s, f);
}

xm::Instrument flute() {
    const int loop = 16384, base = 194;
    std::vector<PartialSpec> parts = {{base, 1.0, 0}, {2 * base, 0.12, 0.3}, {3 * base, 0.07, 0.9}, {4 * base, 0.025, 1.7}};
    const int attack = 2205;
    std::vector<float> extra(attack);
    synth::Sound breath = synth::makeSound(static_cast<double>(attack) / kRate, kRate);
    synth::Noise n;
    n.length = static_cast<double>(attack) / kRate;
    n.attack = 0.005;
    n.decay = 0.03;
    n.release = 0.0;
    n.filter = synth::Filter::Bandpass;
    n.cutoff = 1800;
    n.q = 1.2;
    n.amp = 0.5f;
    n.seed = 7005;
    synth::addNoise(breath, n);
    for (int i = 0; i < attack; ++i) {
        double ramp = static_cast<double>(i) / attack;
        double wave = periodic(parts, loop, i);
        // Fade the wave in over the attack, with the breath on top.
        extra[static_cast<size_t>(i)] =
            static_cast<float>(-(1.0 - ramp) * wave + (1.0 - ramp) * breath.data[static_cast<size_t>(i)]);
    }
    xm::Instrument ins = looped("flute", loop, base, parts, attack, extra);
    ins.volumeEnvelope.points = {{0, 64}, {60, 54}};
    ins.volumeEnvelope.sustain = 1;
    ins.fadeout = 0x500;
    ins.vibratoType = 0;
    ins.vibratoSweep = 48;
    ins.vibratoDepth = 5;
    ins.vibratoRate = 10;
    return ins;
}

xm::Instrument marimba() {
    synth::Sound s = synth::makeSound(0.9, kRate);
    const double f = 523.2511;
    synth::addBell(s, 0, f, 0.22, 1.0f, 0, {{1.0, 1.0, 1.0}, {3.93, 0.3, 0.25}, {9.9, 0.06, 0.1}}, 0.002);
    synth::fadeEdges(s, 0.0, 0.2);
    return oneShot("marimba", s, f);
}

xm::Instrument square() {
    const int loop = 8192, base = 97;
    std::vector<PartialSpec> parts;
    for (int n = 1; n <= 14; ++n) {
        double amp = std::sin(kPi * n * 0.3) / n * std::exp(-n / 6.0);
        parts.push_back({n * base, amp, 0});
    }
    xm::Instrument ins = looped("square", loop, base, parts, 0, {});
    ins.volumeEnvelope.points = {{0, 0}, {2, 64}, {20, 50}, {100, 44}};
    ins.volumeEnvelope.sustain = 3;
    ins.fadeout = 0x700;
    ins.vibratoType = 0;
    ins.vibratoSweep = 64;
    ins.vibratoDepth = 4;
    ins.vibratoRate = 12;
    return ins;
}

xm::Instrument kick() {
    synth::Sound s = synth::makeSound(0.35, kRate);
    synth::Tone t;
    t.length = 0.35;
    t.freq = 150;
    t.freqEnd = 45;
    t.glide = 0.08;
    t.attack = 0.001;
    t.decay = 0.12;
    t.amp = 1.0f;
    synth::addTone(s, t);
    synth::Noise n;
    n.length = 0.02;
    n.decay = 0.004;
    n.filter = synth::Filter::Lowpass;
    n.cutoff = 3000;
    n.amp = 0.4f;
    n.seed = 7008;
    synth::addNoise(s, n);
    return oneShot("kick", s, 0);
}

xm::Instrument snare() {
    synth::Sound s = synth::makeSound(0.3, kRate);
    synth::Noise n;
    n.length = 0.3;
    n.decay = 0.07;
    n.filter = synth::Filter::Bandpass;
    n.cutoff = 2600;
    n.q = 0.7;
    n.amp = 1.0f;
    n.seed = 7009;
    synth::addNoise(s, n);
    synth::Tone t;
    t.length = 0.15;
    t.freq = 200;
    t.freqEnd = 170;
    t.glide = 0.05;
    t.decay = 0.05;
    t.amp = 0.5f;
    synth::addTone(s, t);
    return oneShot("snare", s, 0);
}

xm::Instrument hat() {
    synth::Sound s = synth::makeSound(0.09, 44100);
    synth::Noise n;
    n.length = 0.09;
    n.decay = 0.022;
    n.filter = synth::Filter::Highpass;
    n.cutoff = 7500;
    n.amp = 1.0f;
    n.seed = 7010;
    synth::addNoise(s, n);
    return oneShot("hat", s, 0);
}

xm::Instrument shaker() {
    synth::Sound s = synth::makeSound(0.12, 44100);
    synth::Noise n;
    n.length = 0.12;
    n.attack = 0.02;
    n.decay = 0.03;
    n.filter = synth::Filter::Bandpass;
    n.cutoff = 6000;
    n.q = 1.5;
    n.amp = 1.0f;
    n.seed = 7011;
    synth::addNoise(s, n);
    return oneShot("shaker", s, 0);
}

}  // namespace

std::vector<xm::Instrument> makeInstruments() {
    return {pluck(), pad(), bass(), bell(), flute(), marimba(), square(), kick(), snare(), hat(), shaker()};
}

}  // namespace forge::music
