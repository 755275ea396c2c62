// Sound files made by the audio tests and their probe program.
#pragma once
#include <cmath>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>

#include "tests/support/sound_files.h"

namespace audio_test {

inline void WriteWav(const std::string& path, const sound_files::Wav& wav) {
    std::ofstream(path, std::ios::binary) << wav.Build();
}

// One channel of 16-bit samples at 44100 Hz: sines at 0.4 of full scale,
// one {hertz, seconds} part after the other.
inline void WriteTone(const std::string& path, std::initializer_list<std::pair<double, double>> parts) {
    sound_files::Wav wav;
    wav.rate = 44100;
    for (const auto& [hertz, seconds] : parts) {
        for (int i = 0; i < static_cast<int>(seconds * 44100); ++i) {
            const long value = std::lround(0.4 * 32767 * std::sin(2 * M_PI * hertz * i / 44100));
            wav.data += sound_files::Le(static_cast<std::uint32_t>(value), 2);
        }
    }
    WriteWav(path, wav);
}

}  // namespace audio_test
