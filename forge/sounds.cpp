// The sound cues in Sounds/: every cue is synthesized here and encoded as Ogg Vorbis.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "forge.h"
#include "synth.h"

namespace forge {

namespace {

using namespace synth;

double midiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

const std::vector<Partial> kGlass = {{1.0, 1.0, 1.0}, {2.76, 0.5, 0.6}, {5.40, 0.25, 0.4}, {8.93, 0.12, 0.3}};
const std::vector<Partial> kCelesta = {{1.0, 1.0, 1.0}, {2.0, 0.15, 0.6}, {4.0, 0.22, 0.35}, {10.0, 0.05, 0.15}};
const std::vector<Partial> kMetal = {{1.0, 1.0, 1.0}, {2.41, 0.7, 0.6}, {3.87, 0.5, 0.4}, {5.3, 0.4, 0.3}, {7.1, 0.2, 0.2}};
const std::vector<Partial> kAnvil = {{1.0, 1.0, 1.0}, {2.0, 0.4, 0.7}, {2.76, 0.6, 0.5}, {4.1, 0.3, 0.3}, {6.2, 0.15, 0.2}};
const std::vector<Partial> kWood = {{1.0, 1.0, 1.0}, {2.7, 0.4, 0.5}, {4.9, 0.15, 0.3}};

void celesta(Sound& s, double start, double note, double decay, float amp, float pan = 0) {
    addBell(s, start, midiHz(note), decay, amp, pan, kCelesta);
}

// A warm brass-like voice: a frequency-modulated sine whose brightness falls after the attack.
void brass(Sound& s, double start, double note, double length, float amp, float pan = 0) {
    Tone t;
    t.start = start;
    t.length = length;
    t.freq = midiHz(note);
    t.fmRatio = 1.0;
    t.fmIndex = 2.6;
    t.fmDecay = std::max(0.12, length * 0.5);
    t.attack = 0.025;
    t.decay = length * 2.5;
    t.release = std::min(0.12, length * 0.4);
    t.vibDepth = 0.004;
    t.vibRate = 5.5;
    t.amp = amp;
    t.pan = pan;
    addTone(s, t);
}

// A breathy flute: a sine with a little triangle and band-passed breath noise.
void flute(Sound& s, double start, double note, double length, float amp, float pan = 0) {
    Tone t;
    t.start = start;
    t.length = length;
    t.freq = midiHz(note);
    t.wave = Wave::Sine;
    t.attack = 0.04;
    t.decay = length * 4;
    t.release = 0.06;
    t.vibDepth = 0.006;
    t.vibRate = 5.0;
    t.amp = amp;
    t.pan = pan;
    addTone(s, t);
    t.wave = Wave::Triangle;
    t.amp = amp * 0.15f;
    addTone(s, t);
    Noise n;
    n.start = start;
    n.length = length;
    n.attack = 0.03;
    n.decay = length * 2;
    n.release = 0.05;
    n.filter = Filter::Bandpass;
    n.cutoff = midiHz(note);
    n.q = 6;
    n.amp = amp * 0.35f;
    n.pan = pan;
    n.seed = static_cast<uint32_t>(note * 31 + start * 1000);
    addNoise(s, n);
}

void click(Sound& s, double start, double cutoff, double decay, float amp, uint32_t seed, float pan = 0) {
    Noise n;
    n.start = start;
    n.length = decay * 8;
    n.decay = decay;
    n.attack = 0.0003;
    n.filter = Filter::Highpass;
    n.cutoff = cutoff;
    n.amp = amp;
    n.seed = seed;
    n.pan = pan;
    addNoise(s, n);
}

void thud(Sound& s, double start, double f0, double f1, double decay, float amp, float pan = 0) {
    Tone t;
    t.start = start;
    t.length = decay * 6;
    t.freq = f0;
    t.freqEnd = f1;
    t.glide = decay * 2;
    t.attack = 0.002;
    t.decay = decay;
    t.amp = amp;
    t.pan = pan;
    addTone(s, t);
}

// --- User interface -------------------------------------------------------------------------

Sound menuLineSelect() {
    Sound s = makeSound(0.15);
    Tone t;
    t.length = 0.09;
    t.freq = 1320;
    t.freqEnd = 1760;
    t.glide = 0.03;
    t.wave = Wave::Triangle;
    t.decay = 0.03;
    t.amp = 0.5f;
    addTone(s, t);
    click(s, 0, 5000, 0.002, 0.25f, 11);
    finish(s, 0.35f);
    return s;
}

Sound buttonClick() {
    Sound s = makeSound(0.12);
    click(s, 0, 3000, 0.003, 0.9f, 21);
    Tone t;
    t.length = 0.05;
    t.freq = 2100;
    t.freqEnd = 1700;
    t.glide = 0.02;
    t.decay = 0.012;
    t.amp = 0.5f;
    addTone(s, t);
    thud(s, 0, 260, 140, 0.015, 0.5f);
    finish(s, 0.55f);
    return s;
}

Sound maxPlayers() {
    Sound s = makeSound(0.5);
    for (int k = 0; k < 2; ++k) {
        Tone t;
        t.start = k * 0.17;
        t.length = 0.15;
        t.freq = k == 0 ? 233 : 175;
        t.wave = Wave::Square;
        t.decay = 0.3;
        t.attack = 0.005;
        t.release = 0.03;
        t.amp = 0.25f;
        addTone(s, t);
    }
    lowpass(s, 1800);
    finish(s, 0.45f);
    return s;
}

Sound sfxVolume() {
    Sound s = makeSound(0.6);
    celesta(s, 0, 81, 0.12, 0.8f);
    finish(s, 0.5f);
    return s;
}

// --- Breaking things ------------------------------------------------------------------------

Sound breakZep() {
    Sound s = makeSound(0.6);
    click(s, 0, 2500, 0.006, 1.0f, 31);
    addBell(s, 0.002, 900, 0.08, 0.7f, 0, kMetal);
    addBell(s, 0.07, 1250, 0.05, 0.45f, 0, kMetal);
    addBell(s, 0.15, 700, 0.06, 0.3f, 0, kMetal);
    click(s, 0.07, 3000, 0.004, 0.4f, 32);
    click(s, 0.15, 3000, 0.004, 0.25f, 33);
    finish(s, 0.6f);
    return s;
}

Sound breakSquare() {
    Sound s = makeSound(0.5);
    Noise n;
    n.length = 0.2;
    n.decay = 0.035;
    n.filter = Filter::Bandpass;
    n.cutoff = 1800;
    n.cutoffEnd = 900;
    n.q = 1.2;
    n.amp = 1.0f;
    n.seed = 41;
    addNoise(s, n);
    n.colour = Colour::Brown;
    n.filter = Filter::Lowpass;
    n.cutoff = 700;
    n.cutoffEnd = 300;
    n.decay = 0.1;
    n.length = 0.4;
    n.amp = 0.8f;
    n.seed = 42;
    addNoise(s, n);
    thud(s, 0, 120, 70, 0.06, 0.6f);
    addCrackle(s, 0.02, 0.25, 110, 0.45f, 0.003, 43, 2500);
    finish(s, 0.6f);
    return s;
}

// A glassy break: the figure rings like glass, shards tinkle above it.
Sound glassBreak(double note, int rate, uint32_t seed) {
    Sound s = makeSound(1.0, rate);
    Rng rng(seed);
    double f = midiHz(note);
    click(s, 0, rate > 30000 ? 5000 : 4000, 0.012, 0.35f, seed + 1);
    addBell(s, 0.003, f, 0.17, 0.8f, 0, kGlass);
    addBell(s, 0.003, f * 2.0, 0.1, 0.25f, 0, kGlass);
    for (int k = 0; k < 6; ++k) {
        double t = 0.01 + rng.uniform() * 0.09;
        double sf = f * rng.range(2.3f, 4.8f);
        addBell(s, t, sf, rng.range(0.02f, 0.05f), rng.range(0.12f, 0.3f), 0, kGlass);
    }
    reverb(s, 0.3, 0.4f, 0.18f);
    finish(s, 0.55f);
    return s;
}

Sound breakFigureStep(int step) {
    static const int kSteps[8] = {0, 2, 4, 7, 9, 12, 14, 16};
    return glassBreak(76 + kSteps[step - 1], 44100, 500 + static_cast<uint32_t>(step) * 17);
}

// Played at 24050 Hz and above as if its rate were that: authored at 22050 Hz, one step past
// the eighth break, so the pitch keeps climbing as the streak grows.
Sound breakFigureOpen() { return glassBreak(92, 22050, 777); }

Sound figureFall() {
    Sound s = makeSound(0.2);
    thud(s, 0, 230, 110, 0.04, 0.8f);
    Noise n;
    n.length = 0.05;
    n.decay = 0.01;
    n.filter = Filter::Lowpass;
    n.cutoff = 1400;
    n.amp = 0.35f;
    n.seed = 51;
    addNoise(s, n);
    finish(s, 0.35f);
    return s;
}

// --- Bonuses --------------------------------------------------------------------------------

Sound addBomb() {
    Sound s = makeSound(0.8);
    Noise fuse;
    fuse.length = 0.55;
    fuse.attack = 0.05;
    fuse.decay = 0.3;
    fuse.release = 0.2;
    fuse.filter = Filter::Bandpass;
    fuse.cutoff = 5000;
    fuse.q = 0.8;
    fuse.amp = 0.12f;
    fuse.seed = 61;
    addNoise(s, fuse);
    addCrackle(s, 0.02, 0.5, 60, 0.25f, 0.002, 62, 3500);
    Tone t;
    t.length = 0.35;
    t.freq = 220;
    t.freqEnd = 660;
    t.glide = 0.3;
    t.wave = Wave::Triangle;
    t.attack = 0.02;
    t.decay = 0.4;
    t.release = 0.05;
    t.amp = 0.45f;
    addTone(s, t);
    thud(s, 0.33, 180, 90, 0.06, 0.6f);
    celesta(s, 0.34, 79, 0.15, 0.3f);
    finish(s, 0.6f);
    return s;
}

Sound addSuperBomb() {
    Sound s = makeSound(1.3, 44100, 2);
    const double notes[5] = {60, 64, 67, 72, 76};
    for (int k = 0; k < 5; ++k) brass(s, k * 0.07, notes[k], 0.12 + (k == 4 ? 0.4 : 0), 0.35f, -0.4f + 0.2f * k);
    for (int k = 0; k < 5; ++k) celesta(s, 0.35 + k * 0.04, notes[k] + 24, 0.2, 0.2f, 0.4f - 0.2f * k);
    Noise sw;
    sw.length = 0.5;
    sw.attack = 0.3;
    sw.decay = 0.2;
    sw.release = 0.15;
    sw.filter = Filter::Bandpass;
    sw.cutoff = 600;
    sw.cutoffEnd = 5000;
    sw.q = 1.5;
    sw.amp = 0.35f;
    sw.stereoSpread = 1;
    sw.seed = 71;
    addNoise(s, sw);
    reverb(s, 0.5, 0.3f, 0.25f);
    finish(s, 0.65f);
    return s;
}

Sound addThunder() {
    Sound s = makeSound(0.8, 44100, 2);
    Tone t;
    t.length = 0.45;
    t.freq = 500;
    t.freqEnd = 1600;
    t.glide = 0.35;
    t.wave = Wave::Saw;
    t.fmRatio = 0.51;
    t.fmIndex = 6;
    t.fmDecay = 0.2;
    t.attack = 0.01;
    t.decay = 0.3;
    t.amp = 0.25f;
    addTone(s, t);
    addCrackle(s, 0.0, 0.45, 160, 0.45f, 0.0015, 81, 3000);
    celesta(s, 0.4, 88, 0.15, 0.3f);
    reverb(s, 0.3, 0.3f, 0.2f);
    finish(s, 0.6f);
    return s;
}

Sound explosion(bool mega) {
    double len = mega ? 3.0 : 2.0;
    Sound s = makeSound(len, 44100, 2);
    int hits = mega ? 2 : 1;
    for (int h = 0; h < hits; ++h) {
        double at = h * 0.16;
        float scale = h == 0 ? 1.0f : 0.8f;
        Noise body;
        body.start = at;
        body.length = len - at;
        body.attack = 0.004;
        body.decay = mega ? 0.5 : 0.32;
        body.colour = Colour::Brown;
        body.filter = Filter::Lowpass;
        body.cutoff = 2500;
        body.cutoffEnd = 150;
        body.amp = 1.0f * scale;
        body.stereoSpread = 0.8f;
        body.seed = 91 + h;
        addNoise(s, body);
        Noise crack;
        crack.start = at;
        crack.length = 0.4;
        crack.decay = 0.1;
        crack.filter = Filter::Lowpass;
        crack.cutoff = 7000;
        crack.cutoffEnd = 600;
        crack.amp = 0.9f * scale;
        crack.stereoSpread = 0.7f;
        crack.seed = 93 + h;
        addNoise(s, crack);
        thud(s, at, mega ? 60 : 75, 30, mega ? 0.45 : 0.3, 0.9f * scale);
    }
    addCrackle(s, 0.05, mega ? 1.4 : 0.8, mega ? 60 : 40, 0.35f, 0.004, 95, 1500);
    reverb(s, 0.8, 0.35f, 0.3f);
    finish(s, mega ? 0.95f : 0.85f);
    return s;
}

Sound thunderbolt() {
    Sound s = makeSound(2.8, 44100, 2);
    click(s, 0, 1500, 0.03, 0.7f, 101);
    addCrackle(s, 0, 0.25, 400, 0.45f, 0.002, 102, 3000);
    const double starts[4] = {0.05, 0.35, 0.75, 1.25};
    const float amps[4] = {2.2f, 1.6f, 1.2f, 0.8f};
    for (int k = 0; k < 4; ++k) {
        Noise r;
        r.start = starts[k];
        r.length = 2.8 - starts[k];
        r.attack = 0.12;
        r.decay = 0.5;
        r.colour = Colour::Brown;
        r.filter = Filter::Lowpass;
        r.cutoff = 450;
        r.cutoffEnd = 120;
        r.amp = amps[k];
        r.stereoSpread = 0.9f;
        r.seed = 103 + static_cast<uint32_t>(k);
        addNoise(s, r);
    }
    reverb(s, 0.9, 0.5f, 0.3f);
    finish(s, 0.9f);
    return s;
}

Sound getHammer() {
    Sound s = makeSound(1.0, 44100, 2);
    addBell(s, 0, 1400, 0.25, 0.7f, -0.2f, kAnvil);
    addBell(s, 0.18, 1400, 0.3, 0.6f, 0.2f, kAnvil);
    for (int k = 0; k < 5; ++k) celesta(s, 0.3 + k * 0.05, 84 + k * 3, 0.12, 0.2f, -0.4f + 0.2f * k);
    reverb(s, 0.4, 0.3f, 0.2f);
    finish(s, 0.6f);
    return s;
}

Sound useHammer() {
    Sound s = makeSound(0.7);
    thud(s, 0, 130, 55, 0.1, 1.0f);
    Noise n;
    n.length = 0.3;
    n.decay = 0.05;
    n.filter = Filter::Lowpass;
    n.cutoff = 900;
    n.amp = 0.6f;
    n.seed = 111;
    addNoise(s, n);
    addBell(s, 0.005, 620, 0.14, 0.5f, 0, kMetal);
    finish(s, 0.75f);
    return s;
}

// --- Rewards and outcomes -------------------------------------------------------------------

Sound bonusPrize() {
    Sound s = makeSound(1.4, 44100, 2);
    const double run[4] = {67, 72, 76, 79};
    for (int k = 0; k < 4; ++k) brass(s, k * 0.09, run[k], 0.1, 0.4f, -0.3f + 0.2f * k);
    brass(s, 0.36, 84, 0.55, 0.45f);
    brass(s, 0.36, 76, 0.55, 0.25f, -0.3f);
    brass(s, 0.36, 72, 0.55, 0.25f, 0.3f);
    celesta(s, 0.36, 96, 0.3, 0.2f);
    reverb(s, 0.5, 0.3f, 0.22f);
    finish(s, 0.65f);
    return s;
}

Sound getLife() {
    Sound s = makeSound(1.8, 44100, 2);
    const double run[6] = {76, 79, 84, 88, 91, 96};
    for (int k = 0; k < 6; ++k) celesta(s, k * 0.075, run[k], 0.25, 0.45f, -0.5f + 0.2f * k);
    celesta(s, 0.5, 84, 0.6, 0.35f, -0.3f);
    celesta(s, 0.5, 88, 0.6, 0.3f, 0.0f);
    celesta(s, 0.5, 91, 0.6, 0.3f, 0.3f);
    flute(s, 0.5, 72, 0.6, 0.25f);
    reverb(s, 0.6, 0.3f, 0.25f);
    finish(s, 0.6f);
    return s;
}

Sound timeOut() {
    Sound s = makeSound(0.2);
    addBell(s, 0, 1800, 0.03, 0.8f, 0, kWood);
    Noise n;
    n.length = 0.04;
    n.decay = 0.006;
    n.filter = Filter::Bandpass;
    n.cutoff = 2500;
    n.q = 2;
    n.amp = 0.5f;
    n.seed = 121;
    addNoise(s, n);
    finish(s, 0.5f);
    return s;
}

Sound defeatLevel() {
    Sound s = makeSound(2.4, 44100, 2);
    const double notes[4] = {67, 66, 65, 64};
    for (int k = 0; k < 4; ++k) {
        Tone t;
        t.start = k * 0.38;
        t.length = k == 3 ? 1.1 : 0.34;
        t.freq = midiHz(notes[k]);
        t.freqEnd = k == 3 ? midiHz(notes[k] - 0.5) : 0;
        t.glide = 1.0;
        t.fmRatio = 1.0;
        t.fmIndex = 1.6;
        t.fmDecay = 0.4;
        t.attack = 0.04;
        t.decay = 2.0;
        t.release = 0.12;
        t.vibDepth = k == 3 ? 0.012 : 0.004;
        t.vibRate = 5;
        t.amp = 0.45f;
        addTone(s, t);
        t.freq *= 0.5;
        t.freqEnd = t.freqEnd > 0 ? t.freqEnd * 0.5 : 0;
        t.amp = 0.2f;
        addTone(s, t);
    }
    reverb(s, 0.6, 0.4f, 0.25f);
    finish(s, 0.6f);
    return s;
}

Sound defeatLevelEffect() {
    Sound s = makeSound(0.5);
    thud(s, 0, 180, 60, 0.12, 0.8f);
    Noise n;
    n.length = 0.3;
    n.attack = 0.01;
    n.decay = 0.08;
    n.filter = Filter::Lowpass;
    n.cutoff = 600;
    n.amp = 0.4f;
    n.seed = 131;
    addNoise(s, n);
    finish(s, 0.5f);
    return s;
}

Sound getTrophy() {
    Sound s = makeSound(3.0, 44100, 2);
    const double run[5] = {48, 55, 60, 64, 67};
    for (int k = 0; k < 5; ++k) brass(s, k * 0.11, run[k] + 12, 0.14, 0.35f, -0.4f + 0.2f * k);
    const double chord[4] = {72, 76, 79, 84};
    for (int k = 0; k < 4; ++k) brass(s, 0.6, chord[k], 1.2, 0.25f, -0.45f + 0.3f * k);
    for (int k = 0; k < 10; ++k) thud(s, k * 0.055, 70, 62, 0.12, 0.25f + 0.02f * k);
    thud(s, 0.6, 70, 55, 0.35, 0.7f);
    Noise cym;
    cym.start = 0.1;
    cym.length = 2.4;
    cym.attack = 0.5;
    cym.decay = 0.5;
    cym.release = 0.8;
    cym.filter = Filter::Bandpass;
    cym.cutoff = 7000;
    cym.q = 0.6;
    cym.amp = 0.12f;
    cym.stereoSpread = 1;
    cym.seed = 141;
    addNoise(s, cym);
    for (int k = 0; k < 6; ++k) celesta(s, 0.65 + k * 0.06, 84 + (k % 3) * 4 + (k / 3) * 12, 0.3, 0.15f, -0.5f + 0.2f * k);
    reverb(s, 0.7, 0.3f, 0.28f);
    finish(s, 0.75f);
    return s;
}

// --- Tips and board notices -----------------------------------------------------------------

Sound tipShow() {
    Sound s = makeSound(0.9);
    celesta(s, 0, 76, 0.25, 0.5f);
    celesta(s, 0.09, 81, 0.35, 0.5f);
    reverb(s, 0.4, 0.3f, 0.2f);
    finish(s, 0.45f);
    return s;
}

Sound noMoreMove() {
    Sound s = makeSound(0.9);
    for (int k = 0; k < 2; ++k) {
        Tone t;
        t.start = k * 0.2;
        t.length = k == 0 ? 0.18 : 0.4;
        t.freq = midiHz(k == 0 ? 81 : 76);
        t.freqEnd = k == 0 ? 0 : midiHz(75);
        t.glide = 0.3;
        t.wave = Wave::Triangle;
        t.attack = 0.01;
        t.decay = 0.5;
        t.release = 0.08;
        t.amp = 0.45f;
        addTone(s, t);
    }
    reverb(s, 0.3, 0.3f, 0.15f);
    finish(s, 0.45f);
    return s;
}

Sound moveTipShow() {
    Sound s = makeSound(0.9, 44100, 2);
    const double run[6] = {84, 86, 88, 91, 93, 96};
    for (int k = 0; k < 6; ++k) celesta(s, k * 0.045, run[k], 0.12, 0.25f, -0.5f + 0.2f * k);
    reverb(s, 0.4, 0.3f, 0.25f);
    finish(s, 0.4f);
    return s;
}

Sound reFillLevel() {
    Sound s = makeSound(0.2);
    Tone t;
    t.length = 0.12;
    t.freq = 380;
    t.freqEnd = 900;
    t.glide = 0.07;
    t.decay = 0.04;
    t.attack = 0.003;
    t.amp = 0.5f;
    addTone(s, t);
    finish(s, 0.3f);
    return s;
}

Sound levelStatistic() {
    Sound s = makeSound(0.7);
    celesta(s, 0, 83, 0.08, 0.5f);
    celesta(s, 0.07, 88, 0.25, 0.6f);
    finish(s, 0.45f);
    return s;
}

// A screen-transition whoosh that sweeps across the stereo field.
Sound gag() {
    Sound s = makeSound(0.9, 44100, 2);
    for (int k = 0; k < 2; ++k) {
        Noise n;
        n.start = k * 0.06;
        n.length = 0.7;
        n.attack = 0.28;
        n.decay = 0.18;
        n.release = 0.2;
        n.colour = Colour::Pink;
        n.filter = Filter::Bandpass;
        n.cutoff = 300;
        n.cutoffEnd = 2800;
        n.q = 1.4;
        n.amp = 0.8f;
        n.pan = k == 0 ? -0.6f : 0.6f;
        n.seed = 151 + static_cast<uint32_t>(k);
        addNoise(s, n);
    }
    finish(s, 0.5f);
    return s;
}

// --- Journey map ----------------------------------------------------------------------------

Sound mapCue(int number) {
    Sound s = makeSound(1.6, 44100, 2);
    switch (number) {
    case 1:  // a star is picked
        celesta(s, 0, 96, 0.15, 0.5f, -0.2f);
        celesta(s, 0.05, 103, 0.2, 0.4f, 0.2f);
        break;
    case 2:  // replay a level
        for (int k = 0; k < 2; ++k) {
            Tone t;
            t.start = k * 0.14;
            t.length = 0.13;
            t.freq = k == 0 ? 900 : 500;
            t.freqEnd = k == 0 ? 500 : 900;
            t.glide = 0.1;
            t.wave = Wave::Triangle;
            t.decay = 0.3;
            t.release = 0.03;
            t.amp = 0.4f;
            addTone(s, t);
        }
        break;
    case 3:  // first win of a level
        brass(s, 0, 72, 0.1, 0.4f);
        brass(s, 0.1, 76, 0.1, 0.4f);
        brass(s, 0.2, 79, 0.45, 0.45f);
        celesta(s, 0.2, 91, 0.4, 0.2f);
        break;
    case 4:  // a sparkle arrives
        celesta(s, 0, 88, 0.35, 0.4f, -0.2f);
        celesta(s, 0.03, 95, 0.35, 0.35f, 0.2f);
        break;
    case 5:  // a stage is picked
        click(s, 0, 3000, 0.003, 0.5f, 161);
        celesta(s, 0.01, 81, 0.3, 0.5f);
        break;
    case 6: {  // a stage is complete
        const double run[5] = {72, 76, 79, 84, 88};
        for (int k = 0; k < 5; ++k) celesta(s, k * 0.08, run[k], 0.4, 0.35f, -0.4f + 0.2f * k);
        brass(s, 0.4, 72, 0.7, 0.2f, -0.3f);
        brass(s, 0.4, 76, 0.7, 0.2f, 0.0f);
        brass(s, 0.4, 79, 0.7, 0.2f, 0.3f);
        break;
    }
    case 7: {  // the stage panel closes
        Noise n;
        n.length = 0.22;
        n.attack = 0.03;
        n.decay = 0.07;
        n.release = 0.06;
        n.colour = Colour::Pink;
        n.filter = Filter::Bandpass;
        n.cutoff = 2200;
        n.cutoffEnd = 700;
        n.q = 1.0;
        n.amp = 0.6f;
        n.seed = 171;
        addNoise(s, n);
        thud(s, 0.12, 160, 90, 0.04, 0.4f);
        break;
    }
    case 8:  // the traveller sets off
        flute(s, 0, 79, 0.12, 0.45f);
        flute(s, 0.13, 81, 0.12, 0.45f);
        flute(s, 0.26, 84, 0.4, 0.5f);
        break;
    default:  // the traveller is near
        celesta(s, 0, 86, 0.4, 0.45f, -0.2f);
        celesta(s, 0.15, 91, 0.5, 0.45f, 0.2f);
        break;
    }
    reverb(s, 0.45, 0.3f, 0.22f);
    finish(s, 0.5f);
    return s;
}

Sound menuClose() {
    Sound s = makeSound(0.4);
    thud(s, 0, 320, 170, 0.06, 0.7f);
    Noise n;
    n.length = 0.15;
    n.decay = 0.04;
    n.filter = Filter::Lowpass;
    n.cutoff = 1400;
    n.amp = 0.35f;
    n.seed = 181;
    addNoise(s, n);
    finish(s, 0.45f);
    return s;
}

// --- Ambience -------------------------------------------------------------------------------

void chirp(Sound& s, double start, double f0, double f1, double length, float amp, float pan,
           double vibDepth = 0, double vibRate = 0) {
    Tone t;
    t.start = start;
    t.length = length;
    t.freq = f0;
    t.freqEnd = f1;
    t.glide = length * 0.8;
    t.attack = length * 0.2;
    t.decay = length * 0.6;
    t.release = length * 0.2;
    t.vibDepth = vibDepth;
    t.vibRate = vibRate;
    t.amp = amp;
    t.pan = pan;
    addTone(s, t);
}

Sound birds1() {  // quick rising chirps, twice
    Sound s = makeSound(2.0, 44100, 2);
    for (int g = 0; g < 2; ++g)
        for (int k = 0; k < 4 - g; ++k)
            chirp(s, g * 0.85 + k * 0.12, 2800 + k * 150, 4300 + k * 150, 0.07, 0.5f, g == 0 ? -0.5f : -0.2f);
    reverb(s, 0.5, 0.5f, 0.18f);
    finish(s, 0.3f);
    return s;
}

Sound birds2() {  // a warbling trill and two falling slurs
    Sound s = makeSound(2.0, 44100, 2);
    chirp(s, 0, 3500, 3700, 0.5, 0.45f, 0.5f, 0.08, 28);
    chirp(s, 0.6, 4200, 2600, 0.16, 0.5f, 0.5f);
    chirp(s, 0.82, 4100, 2500, 0.16, 0.45f, 0.45f);
    reverb(s, 0.5, 0.5f, 0.18f);
    finish(s, 0.3f);
    return s;
}

Sound birds3() {  // a two-note whistle, answered
    Sound s = makeSound(2.2, 44100, 2);
    for (int k = 0; k < 2; ++k) {
        double at = k * 0.75;
        float pan = k == 0 ? -0.1f : 0.6f;
        chirp(s, at, 2300, 2250, 0.22, 0.5f, pan, 0.01, 12);
        chirp(s, at + 0.26, 1900, 1750, 0.3, 0.45f, pan, 0.01, 12);
    }
    reverb(s, 0.5, 0.5f, 0.2f);
    finish(s, 0.3f);
    return s;
}

Sound brook() {  // played every 3.1 s: 0.3 s longer, so each copy fades into the next
    Sound s = makeSound(3.4, 44100, 2);
    Noise bed;
    bed.length = 3.4;
    bed.attack = 0.001;
    bed.decay = 1000;
    bed.colour = Colour::Pink;
    bed.filter = Filter::Bandpass;
    bed.cutoff = 900;
    bed.q = 0.5;
    bed.amp = 0.25f;
    bed.stereoSpread = 1;
    bed.seed = 191;
    addNoise(s, bed);
    Rng rng(192);
    for (int k = 0; k < 70; ++k) {
        Tone t;
        t.start = rng.uniform() * 3.3;
        t.length = rng.range(0.02f, 0.06f);
        t.freq = rng.range(450, 1300);
        t.freqEnd = t.freq * rng.range(1.4f, 2.4f);
        t.glide = t.length;
        t.attack = 0.003;
        t.decay = t.length * 0.5;
        t.amp = rng.range(0.08f, 0.25f);
        t.pan = rng.bipolar() * 0.8f;
        addTone(s, t);
    }
    reverb(s, 0.4, 0.5f, 0.15f);
    loopFade(s, 0.3);
    finish(s, 0.3f, true);
    return s;
}

Sound waterfall() {  // played every 3 s: 0.3 s longer, so each copy fades into the next
    Sound s = makeSound(3.3, 44100, 2);
    Noise n;
    n.length = 3.3;
    n.attack = 0.001;
    n.decay = 1000;
    n.colour = Colour::Brown;
    n.filter = Filter::Lowpass;
    n.cutoff = 900;
    n.amp = 0.6f;
    n.stereoSpread = 1;
    n.seed = 201;
    addNoise(s, n);
    n.colour = Colour::Pink;
    n.filter = Filter::Bandpass;
    n.cutoff = 1600;
    n.q = 0.6;
    n.amp = 0.45f;
    n.seed = 202;
    addNoise(s, n);
    n.colour = Colour::White;
    n.filter = Filter::Highpass;
    n.cutoff = 4500;
    n.amp = 0.08f;
    n.seed = 203;
    addNoise(s, n);
    loopFade(s, 0.3);
    finish(s, 0.3f, true);
    return s;
}

// --- Cues loaded but not tied to an event ---------------------------------------------------

Sound comboPrize() {
    Sound s = makeSound(1.0, 44100, 2);
    for (int k = 0; k < 4; ++k) celesta(s, k * 0.05, 84 + k * 4, 0.2, 0.3f, -0.3f + 0.2f * k);
    brass(s, 0.2, 76, 0.4, 0.35f);
    brass(s, 0.2, 79, 0.4, 0.3f);
    reverb(s, 0.4, 0.3f, 0.2f);
    finish(s, 0.6f);
    return s;
}

Sound upScore() {
    Sound s = makeSound(0.3);
    celesta(s, 0, 88, 0.06, 0.5f);
    finish(s, 0.4f);
    return s;
}

Sound levelRecord() {
    Sound s = makeSound(1.6, 44100, 2);
    const double run[4] = {62, 66, 69, 74};
    for (int k = 0; k < 4; ++k) brass(s, k * 0.1, run[k], k == 3 ? 0.7 : 0.12, 0.4f, -0.3f + 0.2f * k);
    celesta(s, 0.3, 86, 0.5, 0.25f);
    reverb(s, 0.5, 0.3f, 0.22f);
    finish(s, 0.65f);
    return s;
}

Sound gameComplete() {
    Sound s = makeSound(3.6, 44100, 2);
    const double melody[7] = {67, 72, 76, 79, 77, 76, 79};
    const double len[7] = {0.15, 0.15, 0.15, 0.4, 0.15, 0.15, 1.2};
    double at = 0;
    for (int k = 0; k < 7; ++k) {
        brass(s, at, melody[k], len[k], 0.4f);
        at += len[k] + 0.02;
    }
    const double chord[4] = {60, 64, 67, 72};
    for (int k = 0; k < 4; ++k) brass(s, at - 1.22, chord[k], 1.3, 0.18f, -0.45f + 0.3f * k);
    for (int k = 0; k < 8; ++k) celesta(s, at - 1.2 + k * 0.07, 84 + (k % 4) * 3 + (k / 4) * 12, 0.3, 0.15f, -0.4f + 0.1f * k);
    reverb(s, 0.7, 0.3f, 0.28f);
    finish(s, 0.75f);
    return s;
}

Sound levelComplete() {
    Sound s = makeSound(1.8, 44100, 2);
    const double run[4] = {60, 64, 67, 72};
    for (int k = 0; k < 4; ++k) celesta(s, k * 0.09, run[k] + 12, 0.35, 0.4f, -0.3f + 0.2f * k);
    brass(s, 0.36, 72, 0.8, 0.3f, -0.2f);
    brass(s, 0.36, 76, 0.8, 0.3f, 0.2f);
    reverb(s, 0.6, 0.3f, 0.25f);
    finish(s, 0.65f);
    return s;
}

Sound trophyComplete() {
    Sound s = makeSound(1.6, 44100, 2);
    const double run[6] = {79, 83, 86, 91, 95, 98};
    for (int k = 0; k < 6; ++k) celesta(s, k * 0.06, run[k], 0.4, 0.35f, -0.5f + 0.2f * k);
    reverb(s, 0.6, 0.3f, 0.3f);
    finish(s, 0.55f);
    return s;
}

struct CueRecipe {
    std::string name;
    std::function<Sound()> make;
};

std::vector<CueRecipe> recipes() {
    std::vector<CueRecipe> list = {
        {"MenuLineSelect.ogg", menuLineSelect},
        {"ButtonClick.ogg", buttonClick},
        {"MaxPlayers.ogg", maxPlayers},
        {"SFXVolume.ogg", sfxVolume},
        {"BreakZep.ogg", breakZep},
        {"BreakSquare.ogg", breakSquare},
        {"BreakFigure.ogg", breakFigureOpen},
        {"FigureFall.ogg", figureFall},
        {"AddBomb.ogg", addBomb},
        {"AddSuperBomb.ogg", addSuperBomb},
        {"AddThunder.ogg", addThunder},
        {"ExplosionBomb.ogg", [] { return explosion(false); }},
        {"ExplosionSuperBomb.ogg", [] { return explosion(true); }},
        {"Thunderbolt.ogg", thunderbolt},
        {"GetHammer.ogg", getHammer},
        {"UseHammer.ogg", useHammer},
        {"BonusPrize.ogg", bonusPrize},
        {"GetLife.ogg", getLife},
        {"TimeOut.ogg", timeOut},
        {"DefeatLevel.ogg", defeatLevel},
        {"DefeatLevelEffect.ogg", defeatLevelEffect},
        {"GetTrophy.ogg", getTrophy},
        {"TipShow.ogg", tipShow},
        {"NoMoreMove.ogg", noMoreMove},
        {"MoveTipShow.ogg", moveTipShow},
        {"ReFillLevel.ogg", reFillLevel},
        {"LevelStatistic.ogg", levelStatistic},
        {"Gag.ogg", gag},
        {"menu.ogg", menuClose},
        {"birds1.ogg", birds1},
        {"birds2.ogg", birds2},
        {"birds3.ogg", birds3},
        {"brook.ogg", brook},
        {"waterfall.ogg", waterfall},
        {"ComboPrize.ogg", comboPrize},
        {"UpScore.ogg", upScore},
        {"LevelRecord.ogg", levelRecord},
        {"GameComplete.ogg", gameComplete},
        {"LevelComplete.ogg", levelComplete},
        {"TrophyComplete.ogg", trophyComplete},
    };
    for (int step = 1; step <= 8; ++step)
        list.push_back({"BreakFigure" + std::to_string(step) + ".ogg", [step] { return breakFigureStep(step); }});
    for (int m = 1; m <= 9; ++m) list.push_back({"map" + std::to_string(m) + ".ogg", [m] { return mapCue(m); }});
    return list;
}

}  // namespace

void forgeSounds(Context& ctx) {
    std::vector<CueRecipe> list = recipes();
    int serial = 0x5A0D0000;
    for (const CueRecipe& cue : list) {
        Sound s = cue.make();
        writeOutput(ctx, "Sounds/" + cue.name, encodeVorbis(s, 0.3f, ++serial));
    }
}

}  // namespace forge
