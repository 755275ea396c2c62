// Sound files made by the audio tests and their probe program.
#pragma once
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace audio_test {

// A RIFF/WAVE file of integer PCM. `samples` are interleaved; for 8-bit
// files each value is taken as unsigned (0-255).
inline void WriteWav(const std::string& path, int channels, int rate, int bits, const std::vector<int>& samples) {
    std::string b;
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    auto u16 = [&](unsigned v) {
        b += static_cast<char>(v & 0xff);
        b += static_cast<char>((v >> 8) & 0xff);
    };
    const int bytes = bits / 8;
    const std::uint32_t data_size = static_cast<std::uint32_t>(samples.size() * bytes);
    b += "RIFF";
    u32(36 + data_size);
    b += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(static_cast<unsigned>(channels));
    u32(static_cast<std::uint32_t>(rate));
    u32(static_cast<std::uint32_t>(rate * channels * bytes));
    u16(static_cast<unsigned>(channels * bytes));
    u16(static_cast<unsigned>(bits));
    b += "data";
    u32(data_size);
    for (int s : samples) {
        const std::uint32_t v = static_cast<std::uint32_t>(s);
        for (int i = 0; i < bytes; ++i) b += static_cast<char>((v >> (8 * i)) & 0xff);
    }
    std::ofstream(path, std::ios::binary) << b;
}

// 16-bit samples of a sine of `hertz` at `amplitude` (of full scale), one
// channel, appended to `out`.
inline void AppendTone(std::vector<int>& out, double hertz, double seconds, double amplitude, int rate = 44100) {
    const int n = static_cast<int>(seconds * rate);
    for (int i = 0; i < n; ++i) {
        out.push_back(static_cast<int>(std::lround(amplitude * 32767 * std::sin(2 * M_PI * hertz * i / rate))));
    }
}

inline void WriteTone(const std::string& path, double hertz, double seconds, double amplitude = 0.4) {
    std::vector<int> s;
    AppendTone(s, hertz, seconds, amplitude);
    WriteWav(path, 1, 44100, 16, s);
}

}  // namespace audio_test

class gxtkAudio;
struct gc_object;

namespace audio_test {

// Defined by the test program: one device per process on OpenAL's silent
// real-time output, kept alive as the framework's audio device.
gxtkAudio* NullAudioDevice();
// One whole collector cycle: everything not reachable from the audio device
// or `extra_root` is destroyed.
void FullCycle();
extern gc_object* extra_root;

}  // namespace audio_test
