// Sound files made by the audio tests and their probe program.
#pragma once
#include <cmath>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

class gxtkAudio;
struct gc_object;

namespace audio_test {

// A RIFF/WAVE file of integer PCM. `samples` are interleaved; for 8-bit
// files each value is taken as unsigned (0-255).
inline void WriteWav(const std::string& path, int channels, int rate, int bits, const std::vector<int>& samples) {
    std::string b;
    auto put = [&](long long v, int bytes) {
        for (int i = 0; i < bytes; ++i) b += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    const int bytes = bits / 8;
    const long long data_size = static_cast<long long>(samples.size()) * bytes;
    b += "RIFF";
    put(36 + data_size, 4);
    b += "WAVEfmt ";
    put(16, 4);
    put(1, 2);  // integer PCM
    put(channels, 2);
    put(rate, 4);
    put(rate * channels * bytes, 4);
    put(channels * bytes, 2);
    put(bits, 2);
    b += "data";
    put(data_size, 4);
    for (int s : samples) put(s, bytes);
    std::ofstream(path, std::ios::binary) << b;
}

// One channel of 16-bit samples at 44100 Hz: sines at 0.4 of full scale,
// one {hertz, seconds} part after the other.
inline void WriteTone(const std::string& path, std::initializer_list<std::pair<double, double>> parts) {
    std::vector<int> s;
    for (const auto& [hertz, seconds] : parts) {
        for (int i = 0; i < static_cast<int>(seconds * 44100); ++i) {
            s.push_back(static_cast<int>(std::lround(0.4 * 32767 * std::sin(2 * M_PI * hertz * i / 44100))));
        }
    }
    WriteWav(path, 1, 44100, 16, s);
}

// Defined by the test program: one device per process on OpenAL's silent
// real-time output, kept alive as the framework's audio device; every
// channel is stopped when a test asks for it. The program then works in a
// fresh folder of its own.
gxtkAudio* NullAudioDevice();
// One whole collector cycle: everything not reachable from the audio device,
// `extra_root` or `step_root` is destroyed.
void FullCycle(gc_object* step_root = nullptr);
extern gc_object* extra_root;

}  // namespace audio_test
