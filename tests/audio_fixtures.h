// Sound material for the audio tests and benchmarks: sine tones, an Ogg Vorbis encoder, a tiny
// tracker module built byte by byte, and measurements of mixed output.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <vorbis/vorbisenc.h>

namespace audio_fixtures {

// A sine tone, interleaved over the given channels (every channel the same unless rightHz > 0,
// which gives the second channel its own tone).
inline std::vector<int16_t> sine(double hz, int rate, double seconds, int amplitude = 16000, int channels = 1,
                                 double rightHz = 0.0) {
    const int frames = static_cast<int>(std::lround(rate * seconds));
    std::vector<int16_t> pcm(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            double f = (c == 1 && rightHz > 0.0) ? rightHz : hz;
            pcm[static_cast<size_t>(i) * channels + c] =
                static_cast<int16_t>(std::lround(amplitude * std::sin(2.0 * M_PI * f * i / rate)));
        }
    }
    return pcm;
}

// Encodes 16-bit PCM as an Ogg Vorbis file.
inline std::string encodeOgg(const std::vector<int16_t>& pcm, int channels, int rate) {
    std::string out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.5f) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 20260);
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    auto appendPage = [&out](const ogg_page& p) {
        out.append(reinterpret_cast<const char*>(p.header), static_cast<size_t>(p.header_len));
        out.append(reinterpret_cast<const char*>(p.body), static_cast<size_t>(p.body_len));
    };
    while (ogg_stream_flush(&stream, &page)) appendPage(page);
    auto drain = [&]() {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) appendPage(page);
            }
        }
    };
    const size_t frames = pcm.size() / static_cast<size_t>(channels);
    for (size_t at = 0; at < frames; at += 1024) {
        int n = static_cast<int>(std::min<size_t>(1024, frames - at));
        float** buffer = vorbis_analysis_buffer(&dsp, n);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c)
                buffer[c][i] = pcm[(at + static_cast<size_t>(i)) * channels + c] / 32768.0f;
        vorbis_analysis_wrote(&dsp, n);
        drain();
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain();
    while (ogg_stream_flush(&stream, &page)) appendPage(page);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

// A small XM module: one looping square-wave instrument, `orders` order positions that all play
// the same 16-row pattern, and a note on each of `channels` channels at rows 0 and 8. At speed 6
// and 125 BPM an order position lasts 1.92 s.
inline std::string tinyXm(int orders, int channels = 1) {
    std::string m;
    auto u8 = [&m](unsigned v) { m.push_back(static_cast<char>(v & 0xFF)); };
    auto u16 = [&](unsigned v) { u8(v); u8(v >> 8); };
    auto u32 = [&](unsigned v) { u16(v & 0xFFFF); u16(v >> 16); };
    auto text = [&m](const char* s, size_t width) {
        std::string t(s);
        t.resize(width, '\0');
        m += t;
    };
    text("Extended Module: ", 17);
    text("test", 20);
    u8(0x1A);
    text("sandmere tests", 20);
    u16(0x0104);
    u32(276);
    u16(static_cast<unsigned>(orders));
    u16(0);                                  // restart position
    u16(static_cast<unsigned>(channels));
    u16(1);                                  // patterns
    u16(1);                                  // instruments
    u16(1);                                  // linear frequencies
    u16(6);                                  // speed
    u16(125);                                // tempo
    for (int i = 0; i < 256; ++i) u8(0);     // every order plays pattern 0
    // Pattern 0: 16 rows, packed.
    std::string rows;
    for (int r = 0; r < 16; ++r) {
        for (int c = 0; c < channels; ++c) {
            if (r == 0 || r == 8) {
                rows.push_back(static_cast<char>(0x83));  // note and instrument follow
                rows.push_back(static_cast<char>(49 + 3 * c));
                rows.push_back(1);
            } else {
                rows.push_back(static_cast<char>(0x80));
            }
        }
    }
    u32(9);
    u8(0);
    u16(16);
    u16(static_cast<unsigned>(rows.size()));
    m += rows;
    // Instrument 1 with one sample.
    const size_t instrumentStart = m.size();
    u32(263);
    text("square", 22);
    u8(0);
    u16(1);
    u32(40);
    while (m.size() < instrumentStart + 263) u8(0);  // keymap, envelopes, vibrato, fadeout: all zero
    const int length = 32;
    u32(length);
    u32(0);
    u32(length);  // loops over the whole sample
    u8(48);       // volume
    u8(0);        // finetune
    u8(1);        // forward loop, 8-bit
    u8(128);      // panning
    u8(0);        // relative note
    u8(0);
    text("square", 22);
    int previous = 0;
    for (int i = 0; i < length; ++i) {
        int value = i < length / 2 ? 90 : -90;
        u8(static_cast<unsigned>(value - previous));
        previous = value;
    }
    return m;
}

inline const uint8_t* bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// The pitch of the left channel of a stereo block, from its rising crossings (with hysteresis).
inline double pitchHz(const std::vector<int16_t>& stereo, size_t fromFrame, size_t toFrame, int rate = 44100) {
    int crossings = 0;
    bool low = false;
    size_t first = 0, last = 0;
    for (size_t f = fromFrame; f < toFrame; ++f) {
        int v = stereo[2 * f];
        if (v < -2000) low = true;
        else if (low && v > 2000) {
            low = false;
            if (crossings == 0) first = f;
            last = f;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return static_cast<double>(crossings - 1) * rate / static_cast<double>(last - first);
}

// The frame after the last one whose left or right sample is louder than the threshold.
inline size_t soundingFrames(const std::vector<int16_t>& stereo, int threshold = 1000) {
    for (size_t f = stereo.size() / 2; f > 0; --f) {
        if (std::abs(stereo[2 * (f - 1)]) > threshold || std::abs(stereo[2 * (f - 1) + 1]) > threshold) return f;
    }
    return 0;
}

inline double peak(const std::vector<int16_t>& stereo) {
    int p = 0;
    for (int16_t v : stereo) p = std::max(p, std::abs(static_cast<int>(v)));
    return p;
}

}  // namespace audio_fixtures
