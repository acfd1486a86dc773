// Oscillators, envelopes, noise, filters and room effects of the forge's synthesizer.
#include <algorithm>
#include <cmath>

#include "synth.h"

namespace forge::synth {

uint32_t Rng::next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

float Rng::uniform() { return static_cast<float>(next() >> 8) / 16777216.0f; }
float Rng::bipolar() { return uniform() * 2.0f - 1.0f; }
float Rng::range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

Sound makeSound(double seconds, int rate, int channels) {
    Sound s;
    s.rate = rate;
    s.channels = channels;
    s.data.assign(static_cast<size_t>(std::max(1.0, seconds * rate)) * channels, 0.0f);
    return s;
}

void mixAt(Sound& s, int frame, float value, float pan) {
    if (frame < 0 || frame >= s.frames()) return;
    if (s.channels == 1) {
        s.at(frame, 0) += value;
        return;
    }
    double a = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * kPi / 4.0;
    s.at(frame, 0) += value * static_cast<float>(std::cos(a) * std::sqrt(2.0));
    s.at(frame, 1) += value * static_cast<float>(std::sin(a) * std::sqrt(2.0));
}

float envAD(double t, double attack, double tau) {
    if (t < 0) return 0.0f;
    if (t < attack) return static_cast<float>(t / attack);
    return static_cast<float>(std::exp(-(t - attack) / std::max(tau, 1e-4)));
}

namespace {

// Band-limited step correction for the saw and square oscillators.
double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double waveAt(Wave w, double phase, double dt) {
    switch (w) {
    case Wave::Sine: return std::sin(2.0 * kPi * phase);
    case Wave::Triangle: return phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
    case Wave::Saw: return 2.0 * phase - 1.0 - polyBlep(phase, dt);
    case Wave::Square: {
        double v = phase < 0.5 ? 1.0 : -1.0;
        return v + polyBlep(phase, dt) - polyBlep(std::fmod(phase + 0.5, 1.0), dt);
    }
    case Wave::Pulse25: {
        double v = phase < 0.25 ? 1.0 : -1.0;
        return v + polyBlep(phase, dt) - polyBlep(std::fmod(phase + 0.75, 1.0), dt) - 0.5;
    }
    }
    return 0.0;
}

// Topology-preserving state-variable filter.
struct Svf {
    double ic1 = 0, ic2 = 0;
    double a1 = 0, a2 = 0, a3 = 0, k = 1;
    void set(double cutoff, double q, int rate) {
        double fc = std::clamp(cutoff, 10.0, rate * 0.45);
        double g = std::tan(kPi * fc / rate);
        k = 1.0 / std::max(q, 0.05);
        a1 = 1.0 / (1.0 + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    double run(double x, Filter f) {
        double v3 = x - ic2;
        double v1 = a1 * ic1 + a2 * v3;
        double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        switch (f) {
        case Filter::Lowpass: return v2;
        case Filter::Bandpass: return v1 * k;
        case Filter::Highpass: return x - k * v1 - v2;
        case Filter::None: return x;
        }
        return x;
    }
};

// Coloured noise source.
struct NoiseSource {
    Rng rng;
    Colour colour;
    double b0 = 0, b1 = 0, b2 = 0, brown = 0;
    NoiseSource(uint32_t seed, Colour c) : rng(seed), colour(c) {}
    double next() {
        double w = rng.bipolar();
        switch (colour) {
        case Colour::White: return w;
        case Colour::Pink:
            b0 = 0.99765 * b0 + w * 0.0990460;
            b1 = 0.96300 * b1 + w * 0.2965164;
            b2 = 0.57000 * b2 + w * 1.0526913;
            return (b0 + b1 + b2 + w * 0.1848) * 0.25;
        case Colour::Brown:
            brown = (brown + 0.02 * w) / 1.02;
            return brown * 3.5;
        }
        return w;
    }
};

float releaseGain(double t, double length, double release) {
    if (release <= 0) return t < length ? 1.0f : 0.0f;
    double left = length - t;
    if (left <= 0) return 0.0f;
    if (left < release) return static_cast<float>(left / release);
    return 1.0f;
}

}  // namespace

void addTone(Sound& s, const Tone& t) {
    int first = static_cast<int>(t.start * s.rate);
    int count = static_cast<int>(t.length * s.rate);
    double phase = 0, modPhase = 0;
    double dtSec = 1.0 / s.rate;
    for (int i = 0; i < count; ++i) {
        double time = i * dtSec;
        double f = t.freq;
        if (t.freqEnd > 0 && t.glide > 0) {
            double k = std::min(time / t.glide, 1.0);
            f = t.freq * std::pow(t.freqEnd / t.freq, k);
        }
        if (t.vibDepth > 0) {
            double vibIn = std::min(time / 0.15, 1.0);
            f *= 1.0 + t.vibDepth * vibIn * std::sin(2 * kPi * t.vibRate * time);
        }
        double p = phase;
        if (t.fmRatio > 0 && t.fmIndex > 0) {
            double index = t.fmIndex * (t.fmDecay > 0 ? std::exp(-time / t.fmDecay) : 1.0);
            p += index * std::sin(2 * kPi * modPhase) / (2 * kPi);
            modPhase += f * t.fmRatio * dtSec;
            modPhase -= std::floor(modPhase);
            p -= std::floor(p);
        }
        double dt = f * dtSec;
        double v = waveAt(t.wave, p, dt);
        phase += dt;
        phase -= std::floor(phase);
        float g = envAD(time, t.attack, t.decay) * releaseGain(time, t.length, t.release);
        mixAt(s, first + i, static_cast<float>(v) * g * t.amp, t.pan);
    }
}

void addBell(Sound& s, double start, double freq, double decay, float amp, float pan,
             const std::vector<Partial>& partials, double attack) {
    int first = static_cast<int>(start * s.rate);
    int count = static_cast<int>(decay * 7.0 * s.rate);
    double total = 0;
    for (const Partial& p : partials) total += p.amp;
    if (total <= 0) return;
    for (const Partial& p : partials) {
        double f = freq * p.ratio;
        if (f >= s.rate * 0.48) continue;
        double w = 2 * kPi * f / s.rate;
        double tau = decay * p.decay;
        for (int i = 0; i < count; ++i) {
            double time = static_cast<double>(i) / s.rate;
            float g = envAD(time, attack, tau);
            if (g < 1e-4f && time > attack) break;
            mixAt(s, first + i, static_cast<float>(std::sin(w * i) * p.amp / total) * g * amp, pan);
        }
    }
}

void addNoise(Sound& s, const Noise& n) {
    int first = static_cast<int>(n.start * s.rate);
    int count = static_cast<int>(n.length * s.rate);
    NoiseSource left(n.seed, n.colour), right(n.seed * 7919u + 13u, n.colour);
    Svf fl, fr;
    for (int i = 0; i < count; ++i) {
        double time = static_cast<double>(i) / s.rate;
        if ((i & 15) == 0) {
            double c = n.cutoff;
            if (n.cutoffEnd > 0) c = n.cutoff * std::pow(n.cutoffEnd / n.cutoff, time / n.length);
            fl.set(c, n.q, s.rate);
            fr.set(c, n.q, s.rate);
        }
        float g = envAD(time, n.attack, n.decay) * releaseGain(time, n.length, n.release) * n.amp;
        double a = fl.run(left.next(), n.filter);
        int frame = first + i;
        if (frame >= s.frames()) break;
        if (s.channels == 1 || n.stereoSpread <= 0) {
            mixAt(s, frame, static_cast<float>(a) * g, n.pan);
        } else {
            double b = fr.run(right.next(), n.filter);
            double mixB = a * (1.0 - n.stereoSpread) + b * n.stereoSpread;
            s.at(frame, 0) += static_cast<float>(a) * g;
            s.at(frame, 1) += static_cast<float>(mixB) * g;
        }
    }
}

void addCrackle(Sound& s, double start, double length, double density, float amp, double decay,
                uint32_t seed, double cutoff) {
    Rng rng(seed);
    int events = static_cast<int>(density * length);
    for (int e = 0; e < events; ++e) {
        Noise n;
        n.start = start + rng.uniform() * length;
        n.length = decay * 6;
        n.attack = 0.0002;
        n.decay = decay * rng.range(0.5f, 1.5f);
        n.filter = Filter::Highpass;
        n.cutoff = cutoff * rng.range(0.6f, 1.6f);
        n.amp = amp * rng.range(0.3f, 1.0f) * (1.0f - 0.6f * static_cast<float>((n.start - start) / length));
        n.pan = rng.bipolar() * 0.6f;
        n.seed = rng.next();
        addNoise(s, n);
    }
}

void lowpass(Sound& s, double cutoff) {
    for (int c = 0; c < s.channels; ++c) {
        Svf f;
        f.set(cutoff, 0.7071, s.rate);
        for (int i = 0; i < s.frames(); ++i) s.at(i, c) = static_cast<float>(f.run(s.at(i, c), Filter::Lowpass));
    }
}

void highpass(Sound& s, double cutoff) {
    for (int c = 0; c < s.channels; ++c) {
        Svf f;
        f.set(cutoff, 0.7071, s.rate);
        for (int i = 0; i < s.frames(); ++i) s.at(i, c) = static_cast<float>(f.run(s.at(i, c), Filter::Highpass));
    }
}

void echo(Sound& s, double delay, float feedback, float wet) {
    int d = std::max(1, static_cast<int>(delay * s.rate));
    for (int c = 0; c < s.channels; ++c) {
        std::vector<float> line(static_cast<size_t>(d), 0.0f);
        int pos = 0;
        for (int i = 0; i < s.frames(); ++i) {
            float delayed = line[static_cast<size_t>(pos)];
            float x = s.at(i, c);
            line[static_cast<size_t>(pos)] = x + delayed * feedback;
            s.at(i, c) = x + delayed * wet;
            pos = (pos + 1) % d;
        }
    }
}

namespace {

struct Comb {
    std::vector<float> buf;
    size_t pos = 0;
    float store = 0;
    float run(float x, float feedback, float damp) {
        float out = buf[pos];
        store = out * (1 - damp) + store * damp;
        buf[pos] = x + store * feedback;
        pos = (pos + 1) % buf.size();
        return out;
    }
};

struct Allpass {
    std::vector<float> buf;
    size_t pos = 0;
    float run(float x) {
        float b = buf[pos];
        float out = -x + b;
        buf[pos] = x + b * 0.5f;
        pos = (pos + 1) % buf.size();
        return out;
    }
};

}  // namespace

void reverb(Sound& s, double room, float damp, float wet) {
    static const int combLengths[4] = {1116, 1188, 1277, 1356};
    static const int allpassLengths[2] = {556, 441};
    double scale = s.rate / 44100.0 * (0.6 + 0.6 * room);
    float feedback = static_cast<float>(0.70 + 0.26 * room);
    std::vector<float> dry(s.data);
    for (int c = 0; c < s.channels; ++c) {
        Comb combs[4];
        Allpass passes[2];
        int spread = c * 23;
        for (int k = 0; k < 4; ++k) combs[k].buf.assign(static_cast<size_t>((combLengths[k] + spread) * scale), 0.0f);
        for (int k = 0; k < 2; ++k) passes[k].buf.assign(static_cast<size_t>((allpassLengths[k] + spread) * scale), 0.0f);
        for (int i = 0; i < s.frames(); ++i) {
            float x = dry[static_cast<size_t>(i) * s.channels + c] * 0.25f;
            float acc = 0;
            for (Comb& cb : combs) acc += cb.run(x, feedback, damp);
            for (Allpass& ap : passes) acc = ap.run(acc);
            s.at(i, c) = dry[static_cast<size_t>(i) * s.channels + c] + acc * wet;
        }
    }
}

void fadeEdges(Sound& s, double fadeIn, double fadeOut) {
    int n = s.frames();
    int in = std::min(n, static_cast<int>(fadeIn * s.rate));
    int out = std::min(n, static_cast<int>(fadeOut * s.rate));
    for (int i = 0; i < in; ++i) {
        float g = static_cast<float>(std::sin(0.5 * kPi * i / in));
        for (int c = 0; c < s.channels; ++c) s.at(i, c) *= g * g;
    }
    for (int i = 0; i < out; ++i) {
        float g = static_cast<float>(std::sin(0.5 * kPi * i / out));
        for (int c = 0; c < s.channels; ++c) s.at(n - 1 - i, c) *= g * g;
    }
}

void loopFade(Sound& s, double overlap) {
    int n = s.frames();
    int x = std::min(n / 2, static_cast<int>(overlap * s.rate));
    for (int i = 0; i < x; ++i) {
        float g = static_cast<float>(std::sin(0.5 * kPi * (i + 0.5) / x));
        for (int c = 0; c < s.channels; ++c) {
            s.at(i, c) *= g;
            s.at(n - 1 - i, c) *= g;
        }
    }
}

void finish(Sound& s, float peak, bool shaped) {
    float top = 0;
    for (float v : s.data) top = std::max(top, std::fabs(v));
    if (top <= 0) return;
    float gain = peak / top;
    for (float& v : s.data) v *= gain;
    float floor = peak * 0.001f;
    int last = 0;
    for (int i = s.frames() - 1; i >= 0 && last == 0; --i)
        for (int c = 0; c < s.channels; ++c)
            if (std::fabs(s.at(i, c)) > floor) last = i;
    int keep = shaped ? s.frames() : std::min(s.frames(), last + s.rate / 100 + 1);
    bool cut = keep == s.frames() && !shaped;
    s.data.resize(static_cast<size_t>(keep) * s.channels);
    // A sound still ringing at the end of its buffer fades out instead of stopping short.
    double length = static_cast<double>(keep) / s.rate;
    fadeEdges(s, 0.0, cut ? std::min(0.3, length * 0.25) : 0.005);
}

}  // namespace forge::synth
