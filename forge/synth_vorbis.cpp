// Ogg Vorbis encoding of finished sounds with libvorbisenc.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "synth.h"

namespace forge::synth {

namespace {

void appendPage(std::vector<uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

std::vector<uint8_t> encodeVorbis(const Sound& s, float quality, int serial) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, s.channels, s.rate, quality) != 0) {
        std::fprintf(stderr, "forge: vorbis encoder refused %d ch %d Hz q %.2f\n", s.channels, s.rate,
                     static_cast<double>(quality));
        std::exit(1);
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "sandmere-forge");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);

    std::vector<uint8_t> out;
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) appendPage(out, page);

    const int chunk = 1024;
    int frames = s.frames();
    int done = 0;
    bool finished = false;
    while (!finished) {
        int n = std::min(chunk, frames - done);
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, n);
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < s.channels; ++c)
                    buffer[c][i] = std::clamp(s.data[static_cast<size_t>(done + i) * s.channels + c], -1.0f, 1.0f);
            vorbis_analysis_wrote(&dsp, n);
            done += n;
        } else {
            vorbis_analysis_wrote(&dsp, 0);
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    appendPage(out, page);
                    if (ogg_page_eos(&page)) finished = true;
                }
            }
        }
        if (n <= 0 && !finished) {
            while (ogg_stream_flush(&stream, &page) != 0) {
                appendPage(out, page);
                if (ogg_page_eos(&page)) finished = true;
            }
            finished = true;
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

}  // namespace forge::synth
