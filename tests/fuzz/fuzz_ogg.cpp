// Ogg Vorbis files through the host's sound loader (the level music's path).
#include "tests/fuzz/fuzz_audio.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::LoadSound("music.ogg", data, size);
    return 0;
}
