// Sound files built in memory, for the loader tests and the audio benchmark.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace sound_files {

// `value` as `bytes` little-endian bytes.
std::string Le(std::uint32_t value, int bytes);

// A RIFF/WAVE file of integer PCM. Every header field can be set on its own,
// so that a test can build damaged files as well as good ones.
struct Wav {
    std::uint32_t fmt_size = 16;  // above 16: zero bytes follow the usual fields
    unsigned tag = 1, channels = 1, bits = 16;
    std::uint32_t rate = 22050;
    std::string before_data;     // whole chunks between the format chunk and the data
    std::string data;            // the sample bytes
    std::int64_t claimed = -1;   // data size in the header; -1: the real size

    std::string Build() const;
};

// An Ogg Vorbis stream of `frames` sample frames, `sample(frame, channel)`
// giving each value in -1..1. Empty when the encoder refuses the format.
// Streams chained one after the other need serial numbers of their own.
std::string EncodeOgg(int channels, long rate, long frames, const std::function<float(long, int)>& sample,
                      int serial = 1);

}  // namespace sound_files
