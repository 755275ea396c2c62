#include "tools/datagen/audio_files.h"

#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr int kOggSerial = 0x56656c6c;
// Variable bit rate quality (-0.1 .. 1): clean for chip tones at a modest size.
constexpr float kVorbisQuality = 0.4f;

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xff);
}

void Replace(const fs::path& path, const std::string& bytes) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    fs::path partial = path;
    partial += ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) throw std::runtime_error("cannot write " + partial.string());
    }
    std::error_code error;
    fs::rename(partial, path, error);
    if (error) throw std::runtime_error("cannot rename to " + path.string() + ": " + error.message());
}

void AppendPage(std::string& out, const ogg_page& page) {
    out.append(reinterpret_cast<const char*>(page.header), static_cast<std::size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<std::size_t>(page.body_len));
}

}  // namespace

void WriteWav(const fs::path& path, const synth::Samples& mono) {
    std::string data;
    data.reserve(mono.size() * 2);
    for (float v : mono) {
        const long s = std::lround(std::max(-1.0f, std::min(1.0f, v)) * 32767.0f);
        PutLe(data, static_cast<std::uint32_t>(static_cast<std::int16_t>(s)) & 0xffffu, 2);
    }
    std::string file = "RIFF";
    PutLe(file, static_cast<std::uint32_t>(36 + data.size()), 4);
    file += "WAVEfmt ";
    PutLe(file, 16, 4);
    PutLe(file, 1, 2);  // integer PCM
    PutLe(file, 1, 2);  // mono
    PutLe(file, synth::kRate, 4);
    PutLe(file, synth::kRate * 2, 4);
    PutLe(file, 2, 2);
    PutLe(file, 16, 2);
    file += "data";
    PutLe(file, static_cast<std::uint32_t>(data.size()), 4);
    Replace(path, file + data);
}

void WriteOgg(const fs::path& path, const synth::Samples& left, const synth::Samples& right) {
    if (left.size() != right.size() || left.empty()) throw std::runtime_error("bad channels for " + path.string());
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, synth::kRate, kVorbisQuality) != 0) {
        vorbis_info_clear(&info);
        throw std::runtime_error("cannot set up the Vorbis encoder");
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, kOggSerial);

    std::string out;
    ogg_page page;
    ogg_packet header, header_comment, header_code;
    vorbis_analysis_headerout(&dsp, &comment, &header, &header_comment, &header_code);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &header_comment);
    ogg_stream_packetin(&stream, &header_code);
    // The audio starts on a page of its own, as decoders expect.
    while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);

    auto drain = [&] {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) AppendPage(out, page);
            }
        }
    };
    constexpr std::size_t kChunk = 4096;
    for (std::size_t at = 0; at < left.size(); at += kChunk) {
        const std::size_t n = std::min(kChunk, left.size() - at);
        float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
        std::copy(left.begin() + static_cast<long>(at), left.begin() + static_cast<long>(at + n), buffer[0]);
        std::copy(right.begin() + static_cast<long>(at), right.begin() + static_cast<long>(at + n), buffer[1]);
        vorbis_analysis_wrote(&dsp, static_cast<int>(n));
        drain();
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain();
    while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    Replace(path, out);
}
