// Sound files through the host's sound loader as the audio device asks for
// them: WAV files, or Ogg Vorbis files (the level music's path), by the
// input file name each target is built with (FUZZ_INPUT_NAME). Either null,
// or samples the device can upload whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "host/sound_files.h"
#include "tests/fuzz/input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::WriteInput(FUZZ_INPUT_NAME, data, size);
    int length = -1, channels = -1, format = -1, hertz = -1;
    unsigned char* samples = orvLoadAudioFile(String(path.c_str()), &length, &channels, &format, &hertz);
    if (!samples) return 0;
    if (length < 0 || channels < 1 || format < 1 || hertz < 0) __builtin_trap();
    // The device uploads format × channels × length bytes: all of them must
    // be there (the address checker sees a read past the block).
    const std::size_t bytes = static_cast<std::size_t>(format) * channels * length;
    volatile unsigned char sum = 0;
    if (bytes) sum = sum + samples[0] + samples[bytes - 1];
    std::free(samples);
    return 0;
}
