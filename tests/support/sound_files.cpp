#include "tests/support/sound_files.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace sound_files {

std::string Le(std::uint32_t value, int bytes) {
    return bytes ? static_cast<char>(value & 0xFF) + Le(value >> 8, bytes - 1) : "";
}

std::string Wav::Build() const {
    std::string fmt = Le(tag, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * channels * bits / 8, 4) +
                      Le(channels * bits / 8, 2) + Le(bits, 2);
    if (fmt_size > 16) fmt += std::string(fmt_size - 16, '\0');
    const auto size = static_cast<std::uint32_t>(claimed < 0 ? std::int64_t(data.size()) : claimed);
    const std::string body = "WAVEfmt " + Le(fmt_size, 4) + fmt + before_data + "data" + Le(size, 4) + data;
    return "RIFF" + Le(static_cast<std::uint32_t>(body.size()), 4) + body;
}

std::string EncodeOgg(int channels, long rate, long frames, const std::function<float(long, int)>& sample,
                      int serial) {
    std::string out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.4f) == 0) {
        vorbis_comment vc;
        vorbis_dsp_state vd;
        vorbis_block vb;
        ogg_stream_state os;
        vorbis_comment_init(&vc);
        vorbis_analysis_init(&vd, &vi);
        vorbis_block_init(&vd, &vb);
        ogg_stream_init(&os, serial);
        ogg_page page;
        const auto append = [&] {
            out.append(reinterpret_cast<char*>(page.header), static_cast<std::size_t>(page.header_len));
            out.append(reinterpret_cast<char*>(page.body), static_cast<std::size_t>(page.body_len));
        };
        ogg_packet header, comment, code, packet;
        vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
        for (ogg_packet* p : {&header, &comment, &code}) ogg_stream_packetin(&os, p);
        // The audio starts on a page of its own, as decoders expect.
        while (ogg_stream_flush(&os, &page)) append();

        // 1024 frames at a time, then none: the end of the stream.
        for (long done = 0, n = 1; n > 0; done += n) {
            n = std::min(1024L, frames - done);
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            for (long i = 0; i < n; ++i) {
                for (int c = 0; c < channels; ++c) buffer[c][i] = sample(done + i, c);
            }
            vorbis_analysis_wrote(&vd, static_cast<int>(n));
            while (vorbis_analysis_blockout(&vd, &vb) == 1) {
                vorbis_analysis(&vb, nullptr);
                vorbis_bitrate_addblock(&vb);
                while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                    ogg_stream_packetin(&os, &packet);
                    while (ogg_stream_pageout(&os, &page)) append();
                }
            }
        }
        while (ogg_stream_flush(&os, &page)) append();
        ogg_stream_clear(&os);
        vorbis_block_clear(&vb);
        vorbis_dsp_clear(&vd);
        vorbis_comment_clear(&vc);
    }
    vorbis_info_clear(&vi);
    return out;
}

}  // namespace sound_files
