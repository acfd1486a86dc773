// music.mo3: the game's music, an XM module composed here. Seven sections start at fixed order
// positions (menus and map; credits; three more level themes; level complete; game over); each
// ends with a jump that keeps it looping inside itself.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "forge.h"
#include "music_instruments.h"
#include "synth.h"
#include "xm_writer.h"

namespace forge {

namespace {

using music::InstrumentId;
using xm::Cell;
using xm::Pattern;

// Channel layout.
enum Channel : int {
    kLead = 0,
    kHarmony,
    kArp,
    kPad1,
    kPad2,
    kPad3,
    kBass,
    kSparkle,
    kKickCh,
    kSnareCh,
    kHatCh,
    kControl,
    kTempo,
    kExtra,
    kChannelCount
};

constexpr int kRowsPerBar = 16;
constexpr int kBars = 4;
constexpr int kPhraseRows = kRowsPerBar * kBars;

uint8_t xmNote(int midi) { return static_cast<uint8_t>(std::clamp(midi - 11, 1, 96)); }
uint8_t vol(int v) { return static_cast<uint8_t>(0x10 + std::clamp(v, 0, 64)); }

// Evens out the instruments' loudness: the plucked and struck ones die away and need more.
double instrumentGain(int instrument) {
    switch (instrument) {
    case music::kPluck: return 1.4;
    case music::kBass: return 0.8;
    case music::kBell:
    case music::kMarimba: return 1.3;
    case music::kSquare: return 0.9;
    case music::kSnare: return 1.3;
    case music::kHat:
    case music::kShaker: return 1.2;
    default: return 1.0;
    }
}

void put(Pattern& p, int row, int ch, int midi, int instrument, int volume) {
    if (row < 0 || row >= p.rows) return;
    Cell& c = p.at(row, ch);
    c.note = xmNote(midi);
    c.instrument = static_cast<uint8_t>(instrument);
    c.volume = vol(static_cast<int>(volume * instrumentGain(instrument) + 0.5));
}

// Instruments that hold their note until released; the others ring out by themselves.
bool sustains(int instrument) {
    return instrument == music::kFlute || instrument == music::kSquare || instrument == music::kPad ||
           instrument == music::kBass;
}

void keyOff(Pattern& p, int row, int ch) {
    if (row < 0 || row >= p.rows) return;
    Cell& c = p.at(row, ch);
    if (c.note == 0) c.note = xm::kKeyOff;
}

// --- Harmony in scale-degree space -----------------------------------------------------------

struct Mode {
    std::array<int, 7> steps;
};
const Mode kMajor = {{0, 2, 4, 5, 7, 9, 11}};
const Mode kDorian = {{0, 2, 3, 5, 7, 9, 10}};
const Mode kAeolian = {{0, 2, 3, 5, 7, 8, 10}};
const Mode kMixolydian = {{0, 2, 4, 5, 7, 9, 10}};

int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

struct Key {
    int tonic;  // midi number of the tonic near the melody's home
    Mode mode;
    int midi(int degree) const {
        int oct = floorDiv(degree, 7);
        int d = degree - oct * 7;
        return tonic + mode.steps[static_cast<size_t>(d)] + 12 * oct;
    }
};

bool isChordTone(int degree, int root) {
    int d = ((degree - root) % 7 + 7) % 7;
    return d == 0 || d == 2 || d == 4;
}

// A note a semitone from a chord tone (that is not itself one) clashes with the chord.
bool clashes(const Key& key, int degree, int root) {
    if (isChordTone(degree, root)) return false;
    int pc = ((key.midi(degree) % 12) + 12) % 12;
    for (int k : {0, 2, 4}) {
        int c = ((key.midi(root + k) % 12) + 12) % 12;
        int diff = std::abs(pc - c);
        if (diff == 1 || diff == 11) return true;
    }
    return false;
}

struct Note {
    int row;     // within the phrase
    int length;  // rows
    int degree;
};

// --- Melody -----------------------------------------------------------------------------------

struct Rhythm {
    std::vector<std::pair<int, int>> notes;  // onset row, length in rows
};

const std::vector<Rhythm> kBusyRhythms = {
    {{{0, 4}, {4, 2}, {6, 2}, {8, 6}, {14, 2}}},
    {{{0, 2}, {2, 2}, {4, 4}, {8, 8}}},
    {{{0, 3}, {3, 3}, {6, 2}, {8, 8}}},
    {{{0, 4}, {4, 4}, {8, 4}, {12, 2}, {14, 2}}},
    {{{2, 2}, {4, 2}, {6, 2}, {8, 4}, {12, 4}}},
    {{{0, 6}, {6, 2}, {8, 4}, {12, 4}}},
};
const std::vector<Rhythm> kCalmRhythms = {
    {{{0, 6}, {6, 2}, {8, 8}}},
    {{{0, 8}, {8, 4}, {12, 4}}},
    {{{0, 4}, {4, 4}, {8, 8}}},
    {{{0, 12}, {12, 4}}},
};
const std::vector<Rhythm> kCadences = {
    {{{0, 4}, {4, 4}, {8, 8}}},
    {{{0, 2}, {2, 2}, {4, 12}}},
    {{{0, 4}, {4, 2}, {6, 10}}},
};

struct Phrase {
    std::array<int, kBars> chords;  // root degree per bar
    std::vector<Note> melody;
};

int nearestChordTone(int around, int root, int lo, int hi) {
    int best = around, bestDist = 1000;
    for (int d = lo; d <= hi; ++d) {
        if (!isChordTone(d, root)) continue;
        int dist = std::abs(d - around);
        if (dist < bestDist) {
            best = d;
            bestDist = dist;
        }
    }
    return best;
}

std::vector<Note> composeMelody(const Key& key, const std::array<int, kBars>& chords, bool calm, bool endOnTonic,
                                int lo, int hi, synth::Rng& rng) {
    const std::vector<Rhythm>& pool = calm ? kCalmRhythms : kBusyRhythms;
    const Rhythm& r1 = pool[rng.next() % pool.size()];
    const Rhythm& r2 = pool[rng.next() % pool.size()];
    const Rhythm& cad = kCadences[rng.next() % kCadences.size()];
    std::vector<Note> out;
    int prev = nearestChordTone((lo + hi) / 2 + static_cast<int>(rng.next() % 3) - 1, chords[0], lo, hi);
    std::vector<Note> firstBar;
    for (int bar = 0; bar < kBars; ++bar) {
        int root = chords[static_cast<size_t>(bar)];
        if (bar == 2) {
            // The third bar repeats the first one's motif, moved to the new chord.
            int shift = root - chords[0];
            while (shift > 3) shift -= 7;
            while (shift < -3) shift += 7;
            bool fits = true;
            for (const Note& n : firstBar)
                if (n.degree + shift < lo || n.degree + shift > hi) fits = false;
            if (fits) {
                for (const Note& n : firstBar) {
                    int d = n.degree + shift;
                    if (n.row % 8 == 0 && !isChordTone(d, root)) d = nearestChordTone(d, root, lo, hi);
                    out.push_back({n.row + 2 * kRowsPerBar, n.length, d});
                    prev = d;
                }
                continue;
            }
        }
        const Rhythm& rh = bar == 3 ? cad : (bar == 1 ? r2 : r1);
        int dir = bar < 2 ? 1 : -1;
        for (size_t k = 0; k < rh.notes.size(); ++k) {
            int onset = rh.notes[k].first;
            int len = rh.notes[k].second;
            bool last = bar == 3 && k + 1 == rh.notes.size();
            int d;
            if (last) {
                if (endOnTonic) {
                    d = prev;
                    int best = 1000;
                    for (int t = lo; t <= hi; ++t)
                        if (((t % 7) + 7) % 7 == 0 && std::abs(t - prev) < best) {
                            best = std::abs(t - prev);
                            d = t;
                        }
                } else {
                    d = nearestChordTone(prev + (rng.uniform() < 0.5f ? 1 : -1), root, lo, hi);
                    if (((d - root) % 7 + 7) % 7 == 0) d = nearestChordTone(d + 2, root, lo, hi);
                }
            } else if (onset % 8 == 0) {
                int target = prev + (rng.uniform() < 0.65f ? dir : -dir) * static_cast<int>(1 + rng.next() % 2);
                d = nearestChordTone(target, root, lo, hi);
                if (d == prev && rng.uniform() < 0.6f) d = nearestChordTone(prev + 2 * dir, root, lo, hi);
            } else {
                static const int steps[6] = {1, 1, 1, 2, -1, 0};
                int step = steps[rng.next() % 6];
                d = prev + (rng.uniform() < 0.6f ? dir : -dir) * std::abs(step);
                if (step == 0 && rng.uniform() < 0.5f) d = prev;
                if (clashes(key, d, root)) d += d > prev ? 1 : -1;
                if (clashes(key, d, root)) d = nearestChordTone(d, root, lo, hi);
            }
            if (d < lo) d += 2;
            if (d > hi) d -= 2;
            d = std::clamp(d, lo, hi);
            Note n{onset + bar * kRowsPerBar, len, d};
            out.push_back(n);
            if (bar == 0) firstBar.push_back({onset, len, d});
            prev = d;
        }
    }
    return out;
}

// --- Section plans ----------------------------------------------------------------------------

enum class Drums { None, Light, Mid, Full };

struct SectionPlan {
    Key key;
    int speed, bpm;
    std::array<int, kBars> progA, progB, progC;
    std::string arrangement;  // one letter per order: I A a B b C c O
    int lead, harmony, arp, sparkle;
    Drums drums;
    bool calm;
    int arpStyle;   // 0 eighths up-down, 1 sixteenths, 2 broken quarters
    int bassStyle;  // 0 roots and fifths, 1 walking eighths, 2 driving eighths
    uint32_t seed;
};

struct Arranger {
    const SectionPlan& plan;
    synth::Rng rng;
    std::vector<Note> melodyA, melodyA2, melodyB, melodyB2, melodyC, melodyC2;
    std::array<int, 3> voicing{};

    explicit Arranger(const SectionPlan& p) : plan(p), rng(p.seed) {
        int lo = 2, hi = 12;
        melodyA = composeMelody(p.key, p.progA, p.calm, false, lo, hi, rng);
        melodyA2 = melodyA;
        endOnTonic(melodyA2, p.progA);
        melodyB = composeMelody(p.key, p.progB, p.calm, false, lo + 1, hi + 1, rng);
        melodyB2 = melodyB;
        endOnTonic(melodyB2, p.progB);
        melodyC = composeMelody(p.key, p.progC, true, false, lo, hi - 1, rng);
        melodyC2 = composeMelody(p.key, p.progC, p.calm, true, lo, hi, rng);
        voicing = {p.key.midi(0) - 12, p.key.midi(2) - 12, p.key.midi(4) - 12};
    }

    // The variant ends on the tonic, or on the chord tone nearest to it when the phrase's last
    // chord does not hold the tonic.
    void endOnTonic(std::vector<Note>& m, const std::array<int, kBars>& chords) {
        if (m.empty()) return;
        m.back().degree = nearestChordTone(7, chords[kBars - 1], 2, 12);
    }

    void melody(Pattern& p, const std::vector<Note>& notes, int ch, int instrument, int volume) {
        for (size_t i = 0; i < notes.size(); ++i) {
            const Note& n = notes[i];
            put(p, n.row, ch, plan.key.midi(n.degree), instrument, volume - (n.row % 8 == 0 ? 0 : 6));
            int end = n.row + n.length;
            int next = i + 1 < notes.size() ? notes[i + 1].row : p.rows;
            if (sustains(instrument) && end < next && end < p.rows) keyOff(p, end, ch);
        }
    }

    // A second voice a third below the melody's long notes.
    void harmony(Pattern& p, const std::vector<Note>& notes, const std::array<int, kBars>& chords) {
        for (const Note& n : notes) {
            if (n.length < 4) continue;
            int root = chords[static_cast<size_t>(std::min(n.row / kRowsPerBar, kBars - 1))];
            int d = n.degree - 2;
            if (!isChordTone(d, root)) d = nearestChordTone(n.degree - 3, root, n.degree - 5, n.degree - 1);
            put(p, n.row, kHarmony, plan.key.midi(d), plan.harmony, 30);
            if (sustains(plan.harmony) && n.row + n.length < p.rows) keyOff(p, n.row + n.length, kHarmony);
        }
    }

    std::array<int, 3> chordPitches(int root) {
        // Voice leading: each pad voice takes the chord tone nearest to where it was.
        std::array<int, 3> tones = {plan.key.midi(root) - 12, plan.key.midi(root + 2) - 12, plan.key.midi(root + 4) - 12};
        std::array<int, 3> next{};
        std::array<bool, 3> used{};
        for (int v = 0; v < 3; ++v) {
            int best = 0, bestDist = 1000;
            for (int t = 0; t < 3; ++t) {
                if (used[static_cast<size_t>(t)]) continue;
                for (int oct = -12; oct <= 12; oct += 12) {
                    int cand = tones[static_cast<size_t>(t)] + oct;
                    int dist = std::abs(cand - voicing[static_cast<size_t>(v)]);
                    if (cand < 50 || cand > 74) dist += 24;
                    if (dist < bestDist) {
                        bestDist = dist;
                        best = t * 100 + (oct + 12);
                    }
                }
            }
            int t = best / 100;
            used[static_cast<size_t>(t)] = true;
            next[static_cast<size_t>(v)] = tones[static_cast<size_t>(t)] + (best % 100) - 12;
        }
        voicing = next;
        return next;
    }

    void pads(Pattern& p, const std::array<int, kBars>& chords, int volume) {
        std::array<int, 3> held{};
        for (int bar = 0; bar < kBars; ++bar) {
            std::array<int, 3> ch = chordPitches(chords[static_cast<size_t>(bar)]);
            // A voice whose note stays the same keeps sounding instead of starting again; every
            // phrase strikes its first chord, since playback may start at any phrase.
            for (int v = 0; v < 3; ++v) {
                size_t i = static_cast<size_t>(v);
                if (bar > 0 && ch[i] == held[i]) continue;
                put(p, bar * kRowsPerBar, kPad1 + v, ch[i], music::kPad, volume);
                held[i] = ch[i];
            }
        }
    }

    void arpeggio(Pattern& p, const std::array<int, kBars>& chords, int volume) {
        static const int upDown[8] = {0, 1, 2, 3, 2, 1, 0, 1};
        for (int bar = 0; bar < kBars; ++bar) {
            int root = chords[static_cast<size_t>(bar)];
            int tones[4] = {plan.key.midi(root), plan.key.midi(root + 2), plan.key.midi(root + 4), plan.key.midi(root + 7)};
            int base = bar * kRowsPerBar;
            if (plan.arpStyle == 0) {
                for (int k = 0; k < 8; ++k) put(p, base + 2 * k, kArp, tones[upDown[k]], plan.arp, volume - (k % 2) * 5);
            } else if (plan.arpStyle == 1) {
                for (int k = 0; k < 16; ++k)
                    put(p, base + k, kArp, tones[upDown[k % 8]] + (k >= 8 ? 12 : 0) - 12, plan.arp, volume - (k % 4 ? 8 : 0));
            } else {
                static const int order[4] = {0, 2, 1, 3};
                for (int k = 0; k < 4; ++k) put(p, base + 4 * k, kArp, tones[order[k]], plan.arp, volume - (k % 2) * 5);
            }
        }
    }

    void bassLine(Pattern& p, const std::array<int, kBars>& chords, int volume) {
        for (int bar = 0; bar < kBars; ++bar) {
            int root = chords[static_cast<size_t>(bar)];
            int r = plan.key.midi(root);
            while (r > 50) r -= 12;
            while (r < 36) r += 12;
            int fifth = r + 7;
            int base = bar * kRowsPerBar;
            int nextRoot = plan.key.midi(chords[static_cast<size_t>((bar + 1) % kBars)]);
            while (nextRoot > 50) nextRoot -= 12;
            while (nextRoot < 36) nextRoot += 12;
            switch (plan.bassStyle) {
            case 0:
                put(p, base, kBass, r, music::kBass, volume);
                put(p, base + 8, kBass, fifth, music::kBass, volume - 8);
                put(p, base + 14, kBass, r + 12, music::kBass, volume - 14);
                break;
            case 1: {
                int walk[4] = {r, r + 7, r + 12, nextRoot + (nextRoot > r ? -1 : 1)};
                for (int k = 0; k < 4; ++k) put(p, base + 4 * k, kBass, walk[k], music::kBass, volume - (k ? 6 : 0));
                break;
            }
            default:
                for (int k = 0; k < 8; ++k)
                    put(p, base + 2 * k, kBass, (k % 4 == 3) ? r + 12 : r, music::kBass, volume - (k % 2) * 8);
                break;
            }
        }
    }

    void drums(Pattern& p, Drums level) {
        for (int bar = 0; bar < kBars; ++bar) {
            int base = bar * kRowsPerBar;
            switch (level) {
            case Drums::None: break;
            case Drums::Light:
                put(p, base, kKickCh, 60, music::kKick, 40);
                put(p, base + 8, kKickCh, 60, music::kKick, 28);
                for (int k = 0; k < 8; ++k) put(p, base + 2 * k, kHatCh, 60, music::kShaker, k % 2 ? 16 : 24);
                if (bar % 2 == 1) put(p, base + 12, kSnareCh, 60, music::kSnare, 18);
                break;
            case Drums::Mid:
                put(p, base, kKickCh, 60, music::kKick, 48);
                put(p, base + 10, kKickCh, 60, music::kKick, 36);
                put(p, base + 8, kSnareCh, 60, music::kSnare, 34);
                for (int k = 0; k < 16; ++k) put(p, base + k, kHatCh, 60, music::kHat, k % 4 == 0 ? 26 : (k % 2 ? 12 : 18));
                break;
            case Drums::Full:
                put(p, base, kKickCh, 60, music::kKick, 52);
                put(p, base + 8, kKickCh, 60, music::kKick, 46);
                if (bar % 2 == 1) put(p, base + 14, kKickCh, 60, music::kKick, 32);
                put(p, base + 4, kSnareCh, 60, music::kSnare, 38);
                put(p, base + 12, kSnareCh, 60, music::kSnare, 40);
                for (int k = 0; k < 8; ++k) put(p, base + 2 * k, kHatCh, 60, music::kHat, k % 2 ? 18 : 26);
                break;
            }
        }
        if (level == Drums::Full || level == Drums::Mid) {
            // A fill into the next phrase.
            for (int k = 0; k < 4; ++k) put(p, kPhraseRows - 4 + k, kSnareCh, 60, music::kSnare, 22 + 5 * k);
        }
    }

    void sparkle(Pattern& p, const std::array<int, kBars>& chords, bool dense) {
        for (int bar = 0; bar < kBars; ++bar) {
            if (!dense && bar % 2 == 0) continue;
            int root = chords[static_cast<size_t>(bar)];
            int pick = static_cast<int>(rng.next() % 3) * 2;
            put(p, bar * kRowsPerBar + (dense ? 6 : 0), kSparkle, plan.key.midi(root + pick + 7), plan.sparkle, 22);
            if (dense) put(p, bar * kRowsPerBar + 12, kSparkle, plan.key.midi(root + 4 + 7), plan.sparkle, 16);
        }
    }

    Drums lighter(Drums d) {
        switch (d) {
        case Drums::Full: return Drums::Mid;
        case Drums::Mid: return Drums::Light;
        default: return Drums::None;
        }
    }

    Pattern phrase(char kind) {
        Pattern p(kPhraseRows, kChannelCount);
        p.at(0, kControl).effect = xm::kEffectSpeed;
        p.at(0, kControl).param = static_cast<uint8_t>(plan.speed);
        p.at(0, kTempo).effect = xm::kEffectSpeed;
        p.at(0, kTempo).param = static_cast<uint8_t>(plan.bpm);
        switch (kind) {
        case 'I':
            pads(p, plan.progA, 20);
            arpeggio(p, plan.progA, 24);
            bassLine(p, plan.progA, 36);
            sparkle(p, plan.progA, true);
            drums(p, lighter(plan.drums));
            break;
        case 'A':
        case 'a': {
            const std::vector<Note>& m = kind == 'A' ? melodyA : melodyA2;
            melody(p, m, kLead, plan.lead, 48);
            if (kind == 'a') harmony(p, m, plan.progA);
            pads(p, plan.progA, 18);
            arpeggio(p, plan.progA, 24);
            bassLine(p, plan.progA, 42);
            sparkle(p, plan.progA, false);
            drums(p, plan.drums);
            break;
        }
        case 'B':
        case 'b': {
            const std::vector<Note>& m = kind == 'B' ? melodyB : melodyB2;
            melody(p, m, kLead, plan.lead, 50);
            if (kind == 'b') harmony(p, m, plan.progB);
            pads(p, plan.progB, 18);
            arpeggio(p, plan.progB, 26);
            bassLine(p, plan.progB, 44);
            drums(p, plan.drums);
            break;
        }
        case 'C':
        case 'c': {
            const std::vector<Note>& m = kind == 'C' ? melodyC : melodyC2;
            melody(p, m, kLead, kind == 'C' ? plan.harmony : plan.lead, 42);
            pads(p, plan.progC, 22);
            if (kind == 'c') arpeggio(p, plan.progC, 22);
            bassLine(p, plan.progC, 38);
            sparkle(p, plan.progC, kind == 'C');
            drums(p, kind == 'C' ? lighter(lighter(plan.drums)) : lighter(plan.drums));
            break;
        }
        default: {  // the turnaround back to the start
            std::array<int, kBars> prog = plan.progA;
            prog[3] = 0;
            pads(p, prog, 22);
            arpeggio(p, prog, 22);
            bassLine(p, prog, 38);
            sparkle(p, prog, true);
            put(p, 0, kLead, plan.key.midi(4), plan.lead, 36);
            put(p, 16, kLead, plan.key.midi(2), plan.lead, 32);
            put(p, 32, kLead, plan.key.midi(1), plan.lead, 32);
            put(p, 48, kLead, plan.key.midi(0), plan.lead, 36);
            drums(p, lighter(plan.drums));
            break;
        }
        }
        return p;
    }
};

// --- Jingles ---------------------------------------------------------------------------------

Pattern controlPattern(int rows, int speed, int bpm) {
    Pattern p(rows, kChannelCount);
    p.at(0, kControl).effect = xm::kEffectSpeed;
    p.at(0, kControl).param = static_cast<uint8_t>(speed);
    p.at(0, kTempo).effect = xm::kEffectSpeed;
    p.at(0, kTempo).param = static_cast<uint8_t>(bpm);
    return p;
}

struct Hit {
    int row, ch, midi, instrument, volume;
};

void place(Pattern& p, const std::vector<Hit>& hits) {
    for (const Hit& h : hits) {
        if (h.midi < 0) keyOff(p, h.row, h.ch);
        else put(p, h.row, h.ch, h.midi, h.instrument, h.volume);
    }
}

// Level complete: a bright fanfare in C, then a soft chord that rings on.
std::vector<Pattern> levelCompleteJingle() {
    using namespace music;
    Pattern a = controlPattern(32, 5, 132);
    place(a, {{0, kLead, 67, kSquare, 46}, {2, kLead, 72, kSquare, 48}, {4, kLead, 76, kSquare, 50},
              {6, kLead, 79, kSquare, 54}, {12, kLead, 76, kSquare, 48}, {14, kLead, 79, kSquare, 54},
              {20, kLead, 77, kSquare, 48}, {22, kLead, 76, kSquare, 46}, {24, kLead, 74, kSquare, 48},
              {28, kLead, 79, kSquare, 50},
              {0, kSparkle, 79, kBell, 30}, {6, kSparkle, 91, kBell, 26}, {14, kSparkle, 91, kBell, 24},
              {0, kPad1, 60, kPad, 26}, {0, kPad2, 64, kPad, 24}, {0, kPad3, 67, kPad, 24},
              {16, kPad1, 60, kPad, 26}, {16, kPad2, 65, kPad, 24}, {16, kPad3, 69, kPad, 24},
              {24, kPad1, 59, kPad, 26}, {24, kPad2, 62, kPad, 24}, {24, kPad3, 67, kPad, 24},
              {0, kBass, 36, kBass, 48}, {8, kBass, 43, kBass, 40}, {16, kBass, 41, kBass, 48},
              {24, kBass, 43, kBass, 48},
              {0, kKickCh, 60, kKick, 52}, {8, kKickCh, 60, kKick, 40}, {16, kKickCh, 60, kKick, 52},
              {24, kKickCh, 60, kKick, 44}, {28, kSnareCh, 60, kSnare, 26}, {29, kSnareCh, 60, kSnare, 30},
              {30, kSnareCh, 60, kSnare, 34}, {31, kSnareCh, 60, kSnare, 38}});
    for (int k = 0; k < 16; ++k) put(a, 2 * k, kArp, (k % 4 == 0 ? 72 : k % 4 == 1 ? 76 : k % 4 == 2 ? 79 : 84), kPluck, 22);
    Pattern b = controlPattern(32, 5, 132);
    place(b, {{0, kLead, 84, kSquare, 56}, {24, kLead, -1, 0, 0}, {0, kHarmony, 76, kFlute, 34}, {24, kHarmony, -1, 0, 0},
              {0, kSparkle, 96, kBell, 28}, {4, kSparkle, 91, kBell, 22}, {8, kSparkle, 88, kBell, 20},
              {0, kPad1, 60, kPad, 30}, {0, kPad2, 64, kPad, 28}, {0, kPad3, 67, kPad, 28},
              {0, kBass, 36, kBass, 52}, {0, kKickCh, 60, kKick, 56}, {0, kSnareCh, 60, kSnare, 40},
              {0, kExtra, 72, kBell, 26}});
    Pattern tail = controlPattern(64, 6, 90);
    place(tail, {{0, kPad1, 60, kPad, 12}, {0, kPad2, 64, kPad, 11}, {0, kPad3, 71, kPad, 10},
                 {0, kSparkle, 79, kBell, 10}, {32, kSparkle, 76, kBell, 8}, {48, kSparkle, 83, kBell, 7}});
    return {a, b, tail};
}

// Game over: a slow falling line in A minor, then a dim chord that rings on.
std::vector<Pattern> gameOverJingle() {
    using namespace music;
    Pattern a = controlPattern(32, 6, 84);
    place(a, {{0, kLead, 76, kFlute, 46}, {6, kLead, 74, kFlute, 42}, {8, kLead, 72, kFlute, 44},
              {14, kLead, 71, kFlute, 40}, {16, kLead, 69, kFlute, 44}, {22, kLead, 68, kFlute, 40},
              {24, kLead, 69, kFlute, 42}, {30, kLead, -1, 0, 0},
              {0, kPad1, 57, kPad, 24}, {0, kPad2, 60, kPad, 22}, {0, kPad3, 64, kPad, 22},
              {8, kPad1, 57, kPad, 24}, {8, kPad2, 62, kPad, 22}, {8, kPad3, 65, kPad, 22},
              {16, kPad1, 56, kPad, 24}, {16, kPad2, 59, kPad, 22}, {16, kPad3, 64, kPad, 22},
              {24, kPad1, 57, kPad, 24}, {24, kPad2, 60, kPad, 22}, {24, kPad3, 64, kPad, 22},
              {0, kBass, 45, kBass, 44}, {8, kBass, 38, kBass, 42}, {16, kBass, 40, kBass, 42},
              {24, kBass, 33, kBass, 46},
              {0, kSparkle, 81, kBell, 18}, {16, kSparkle, 80, kBell, 16}});
    Pattern b = controlPattern(32, 6, 84);
    place(b, {{0, kLead, 69, kFlute, 40}, {20, kLead, -1, 0, 0}, {0, kHarmony, 64, kFlute, 26}, {20, kHarmony, -1, 0, 0},
              {0, kPad1, 57, kPad, 22}, {0, kPad2, 60, kPad, 20}, {0, kPad3, 64, kPad, 20},
              {0, kBass, 33, kBass, 44}, {0, kSparkle, 76, kBell, 16}, {8, kArp, 69, kPluck, 18},
              {12, kArp, 72, kPluck, 16}, {16, kArp, 76, kPluck, 14}});
    Pattern tail = controlPattern(64, 6, 72);
    place(tail, {{0, kPad1, 57, kPad, 10}, {0, kPad2, 60, kPad, 9}, {0, kPad3, 64, kPad, 9},
                 {0, kSparkle, 69, kBell, 7}, {40, kSparkle, 72, kBell, 6}});
    return {a, b, tail};
}

// --- The module -------------------------------------------------------------------------------

struct Builder {
    xm::Module module;
    // Adds a pattern and returns its index.
    int add(const Pattern& p) {
        module.patterns.push_back(p);
        return static_cast<int>(module.patterns.size()) - 1;
    }
    // Ends the section that started at order `first`: the last order gets its own copy of its
    // pattern with a jump to `target` on the last row.
    void closeSection(int target) {
        int last = module.orders.back();
        Pattern copy = module.patterns[static_cast<size_t>(last)];
        Cell& c = copy.at(copy.rows - 1, kControl);
        c.effect = xm::kEffectJump;
        c.param = static_cast<uint8_t>(target);
        module.orders.back() = static_cast<uint8_t>(add(copy));
    }
};

const SectionPlan kPlans[5] = {
    // Menus and the journey map: a gentle walk in F major.
    {{65, kMajor}, 6, 112, {0, 4, 5, 3}, {5, 3, 0, 4}, {1, 4, 2, 5}, "IAaBbAaCcIAaBbAaO", music::kFlute,
     music::kFlute, music::kPluck, music::kBell, Drums::Light, true, 0, 0, 11},
    // Credits: unhurried, a music box in B flat.
    {{70, kMajor}, 6, 92, {0, 2, 3, 4}, {5, 4, 3, 4}, {3, 0, 1, 4}, "IAaBbAaCcBbAaO", music::kBell, music::kFlute,
     music::kPluck, music::kMarimba, Drums::None, true, 2, 0, 23},
    // Level theme: D dorian with marimba and a full beat.
    {{62, kDorian}, 6, 128, {0, 3, 0, 6}, {2, 6, 3, 4}, {6, 2, 3, 3}, "IAaBbAaCcBbAaBbO", music::kMarimba,
     music::kFlute, music::kPluck, music::kBell, Drums::Full, false, 1, 2, 37},
    // Level theme: E minor, mysterious and searching.
    {{64, kAeolian}, 6, 116, {0, 5, 2, 6}, {3, 0, 5, 6}, {5, 6, 2, 4}, "IIAaBbAaCcBbAaIAaBbCcAaBO", music::kFlute,
     music::kBell, music::kMarimba, music::kBell, Drums::Mid, false, 0, 1, 41},
    // Level theme: G mixolydian, lively.
    {{67, kMixolydian}, 6, 136, {0, 6, 3, 0}, {5, 3, 6, 0}, {3, 4, 6, 3}, "IAaBbAaCcAaBbAaBO", music::kSquare,
     music::kFlute, music::kPluck, music::kBell, Drums::Full, false, 0, 2, 53},
};

// Order positions where the sections start (the audio code's section table).
constexpr int kMusicSectionOrders[7] = {0, 17, 31, 47, 72, 89, 92};

}  // namespace

void forgeMusic(Context& ctx) {
    Builder b;
    b.module.name = "Sandmere";
    b.module.channels = kChannelCount;
    b.module.speed = 6;
    b.module.bpm = 112;
    b.module.instruments = music::makeInstruments();

    for (int section = 0; section < 5; ++section) {
        const SectionPlan& plan = kPlans[section];
        int first = static_cast<int>(b.module.orders.size());
        if (first != kMusicSectionOrders[section]) {
            std::fprintf(stderr, "forge: music section %d starts at order %d\n", section, first);
            std::exit(1);
        }
        Arranger arranger(plan);
        std::map<char, int> made;
        for (char kind : plan.arrangement) {
            auto it = made.find(kind);
            if (it == made.end()) it = made.emplace(kind, b.add(arranger.phrase(kind))).first;
            b.module.orders.push_back(static_cast<uint8_t>(it->second));
        }
        b.closeSection(first);
    }
    for (int jingle = 0; jingle < 2; ++jingle) {
        int first = static_cast<int>(b.module.orders.size());
        if (first != kMusicSectionOrders[5 + jingle]) {
            std::fprintf(stderr, "forge: music section %d starts at order %d\n", 5 + jingle, first);
            std::exit(1);
        }
        std::vector<Pattern> parts = jingle == 0 ? levelCompleteJingle() : gameOverJingle();
        for (const Pattern& p : parts) b.module.orders.push_back(static_cast<uint8_t>(b.add(p)));
        // The jingle plays once; its quiet tail repeats.
        b.closeSection(static_cast<int>(b.module.orders.size()) - 1);
    }
    writeOutput(ctx, "music.mo3", xm::writeModule(b.module));
}

}  // namespace forge
