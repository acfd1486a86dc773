// The XM module writer.
#include "xm_writer.h"

#include <algorithm>
#include <cmath>

namespace forge::xm {

namespace {

struct Bytes {
    std::vector<uint8_t> out;
    void u8(int v) { out.push_back(static_cast<uint8_t>(v & 0xFF)); }
    void u16(int v) {
        u8(v);
        u8(v >> 8);
    }
    void u32(uint32_t v) {
        u16(static_cast<int>(v & 0xFFFF));
        u16(static_cast<int>(v >> 16));
    }
    void text(const std::string& s, size_t width, char fill = '\0') {
        for (size_t i = 0; i < width; ++i) out.push_back(static_cast<uint8_t>(i < s.size() ? s[i] : fill));
    }
    void zeros(size_t n) { out.insert(out.end(), n, 0); }
};

void writePattern(Bytes& b, const Pattern& p, int channels) {
    Bytes data;
    for (int row = 0; row < p.rows; ++row) {
        for (int ch = 0; ch < channels; ++ch) {
            Cell c = ch < p.channels ? p.at(row, ch) : Cell{};
            uint8_t mask = 0x80;
            if (c.note) mask |= 0x01;
            if (c.instrument) mask |= 0x02;
            if (c.volume) mask |= 0x04;
            if (c.effect) mask |= 0x08;
            if (c.param) mask |= 0x10;
            if (mask == 0x9F) {
                data.u8(c.note);
                data.u8(c.instrument);
                data.u8(c.volume);
                data.u8(c.effect);
                data.u8(c.param);
                continue;
            }
            data.u8(mask);
            if (c.note) data.u8(c.note);
            if (c.instrument) data.u8(c.instrument);
            if (c.volume) data.u8(c.volume);
            if (c.effect) data.u8(c.effect);
            if (c.param) data.u8(c.param);
        }
    }
    b.u32(9);
    b.u8(0);
    b.u16(p.rows);
    b.u16(static_cast<int>(data.out.size()));
    b.out.insert(b.out.end(), data.out.begin(), data.out.end());
}

void writeEnvelopePoints(Bytes& b, const Envelope& e) {
    for (size_t i = 0; i < 12; ++i) {
        if (i < e.points.size()) {
            b.u16(e.points[i].first);
            b.u16(e.points[i].second);
        } else {
            b.u16(0);
            b.u16(0);
        }
    }
}

void writeInstrument(Bytes& b, const Instrument& ins) {
    b.u32(263);
    b.text(ins.name, 22, ' ');
    b.u8(0);
    b.u16(1);
    b.u32(40);
    b.zeros(96);  // every note plays sample 0
    writeEnvelopePoints(b, ins.volumeEnvelope);
    writeEnvelopePoints(b, Envelope{});
    b.u8(static_cast<int>(std::min<size_t>(ins.volumeEnvelope.points.size(), 12)));
    b.u8(0);
    b.u8(std::max(ins.volumeEnvelope.sustain, 0));
    b.u8(std::max(ins.volumeEnvelope.loopStart, 0));
    b.u8(std::max(ins.volumeEnvelope.loopEnd, 0));
    b.u8(0);
    b.u8(0);
    b.u8(0);
    int type = 0;
    if (!ins.volumeEnvelope.points.empty()) {
        type |= 1;
        if (ins.volumeEnvelope.sustain >= 0) type |= 2;
        if (ins.volumeEnvelope.loopStart >= 0) type |= 4;
    }
    b.u8(type);
    b.u8(0);
    b.u8(ins.vibratoType);
    b.u8(ins.vibratoSweep);
    b.u8(ins.vibratoDepth);
    b.u8(ins.vibratoRate);
    b.u16(ins.fadeout);
    b.zeros(22);

    // Sample header: lengths in bytes for 16-bit data.
    uint32_t frames = static_cast<uint32_t>(ins.sample.size());
    b.u32(frames * 2);
    bool looped = ins.loopLength > 0;
    b.u32(looped ? static_cast<uint32_t>(ins.loopStart) * 2 : 0);
    b.u32(looped ? static_cast<uint32_t>(ins.loopLength) * 2 : 0);
    b.u8(ins.volume);
    b.u8(static_cast<int8_t>(ins.finetune));
    b.u8((looped ? 1 : 0) | 0x10);
    b.u8(ins.panning);
    b.u8(static_cast<int8_t>(ins.relativeNote));
    b.u8(0);
    b.text(ins.name, 22, ' ');

    // Sample data as deltas.
    int16_t previous = 0;
    for (int16_t v : ins.sample) {
        b.u16(static_cast<uint16_t>(v - previous));
        previous = v;
    }
}

}  // namespace

void tuneForRate(Instrument& ins, double playRate) {
    // Note C-4 with relative note 0 and finetune 0 plays at 8363 Hz.
    double semis = 12.0 * std::log2(playRate / 8363.0);
    int whole = static_cast<int>(std::lround(semis));
    int fine = static_cast<int>(std::lround((semis - whole) * 128.0));
    ins.relativeNote = whole;
    ins.finetune = std::clamp(fine, -128, 127);
}

std::vector<uint8_t> writeModule(const Module& m) {
    Bytes b;
    b.text("Extended Module: ", 17);
    b.text(m.name, 20, ' ');
    b.u8(0x1A);
    b.text("sandmere-forge", 20, ' ');
    b.u16(0x0104);
    b.u32(276);
    b.u16(static_cast<int>(m.orders.size()));
    b.u16(m.restart);
    b.u16(m.channels);
    b.u16(static_cast<int>(m.patterns.size()));
    b.u16(static_cast<int>(m.instruments.size()));
    b.u16(1);  // linear frequency table
    b.u16(m.speed);
    b.u16(m.bpm);
    for (size_t i = 0; i < 256; ++i) b.u8(i < m.orders.size() ? m.orders[i] : 0);
    for (const Pattern& p : m.patterns) writePattern(b, p, m.channels);
    for (const Instrument& ins : m.instruments) writeInstrument(b, ins);
    return b.out;
}

}  // namespace forge::xm
