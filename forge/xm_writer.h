// Writes tracker modules in the extended module (XM) format: header, order list, packed
// patterns and instruments with one 16-bit sample each.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace forge::xm {

constexpr uint8_t kKeyOff = 97;

// Effect numbers used by the composer.
constexpr uint8_t kEffectJump = 0x0B;    // Bxx: jump to order xx
constexpr uint8_t kEffectSpeed = 0x0F;   // Fxx: ticks per row below 0x20, tempo (BPM) from 0x20

struct Cell {
    uint8_t note = 0;        // 1..96 (1 = C-0), 97 key off, 0 none
    uint8_t instrument = 0;  // 1-based, 0 none
    uint8_t volume = 0;      // volume column: 0x10..0x50 sets volume 0..64, 0 none
    uint8_t effect = 0;
    uint8_t param = 0;
};

struct Pattern {
    int rows = 64;
    int channels = 0;
    std::vector<Cell> cells;
    Pattern() = default;
    Pattern(int rowCount, int channelCount)
        : rows(rowCount), channels(channelCount), cells(static_cast<size_t>(rowCount * channelCount)) {}
    Cell& at(int row, int channel) { return cells[static_cast<size_t>(row * channels + channel)]; }
    const Cell& at(int row, int channel) const { return cells[static_cast<size_t>(row * channels + channel)]; }
};

struct Envelope {
    std::vector<std::pair<uint16_t, uint16_t>> points;  // (tick, value 0..64)
    int sustain = -1;
    int loopStart = -1, loopEnd = -1;
};

struct Instrument {
    std::string name;
    std::vector<int16_t> sample;
    int loopStart = 0, loopLength = 0;  // in sample frames; length 0 = no loop
    int volume = 64;
    int panning = 128;
    int relativeNote = 0;
    int finetune = 0;
    Envelope volumeEnvelope;
    int fadeout = 0;
    int vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
};

struct Module {
    std::string name;
    int channels = 8;
    int speed = 6;
    int bpm = 125;
    int restart = 0;
    std::vector<uint8_t> orders;
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments;
};

// Sets relativeNote and finetune so that the note C-4 plays the sample at playRate Hz.
void tuneForRate(Instrument& ins, double playRate);

// The module as an XM file (linear frequency table).
std::vector<uint8_t> writeModule(const Module& m);

}  // namespace forge::xm
