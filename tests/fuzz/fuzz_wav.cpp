// WAV files through the host's sound loader.
#include "tests/fuzz/fuzz_audio.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::LoadSound("sound.wav", data, size);
    return 0;
}
