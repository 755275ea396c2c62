// What a hostile file could ask for: sizes beyond what the runtime can hold,
// and odd but harmless PNG chunk layouts.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>

#include "host/image_files.h"
#include "runtime/array.h"
#include "tests/robustness/damage.h"

namespace {

namespace fs = std::filesystem;

TEST(Limits, AnArrayTooBigForACollectorBlockFailsLikeAnAllocation) {
    gc_init();
    // 2^29 strings need 4 GB and 16 bytes: more than a block size holds,
    // and 16 bytes once wrapped to 32 bits. The program ends as when memory
    // runs out (an abort), without overrunning a small block.
    EXPECT_EXIT(Array<String>(1 << 29), ::testing::KilledBySignal(SIGABRT), "");
    EXPECT_EQ(Array<String>(1000).Length(), 1000);
}

// Width, height, depth and pixels of a PNG file of these bytes; all 0 when
// it does not decode.
std::tuple<int, int, int, std::string> Decode(const std::string& png) {
    const TempDir dir;
    damage::Write(dir / "image.png", png);
    int width = 0, height = 0, depth = 0;
    unsigned char* data = orvLoadImageFile(String((dir / "image.png").c_str()), &width, &height, &depth);
    if (!data) return {0, 0, 0, ""};
    const std::string bytes(reinterpret_cast<char*>(data), static_cast<std::size_t>(width) * height * depth);
    std::free(data);
    return {width, height, depth, bytes};
}

// An IDAT chunk without data (length 0, its checksum) before the first one
// with data, and another after it, decode as the plain file.
TEST(PngChunks, EmptyDataChunksAreSkipped) {
    const std::string empty_idat("\0\0\0\0IDAT\x35\xAF\x06\x1E", 12);
    for (const char* seed : {"rgba.png", "interlaced.png", "palette.png"}) {
        SCOPED_TRACE(seed);
        const std::string good = ReadFile(fs::path(FUZZ_CORPUS_DIR) / "png" / seed);
        std::string odd = good;
        const std::size_t first = odd.find("IDAT") - 4;
        odd.insert(first, empty_idat);
        const std::size_t second = odd.find("IDAT", first + 12) - 4;
        std::size_t length = 0;
        for (int i = 0; i < 4; ++i) length = length << 8 | static_cast<unsigned char>(odd[second + i]);
        odd.insert(second + 12 + length, empty_idat);
        ASSERT_GT(std::get<0>(Decode(good)), 0);
        EXPECT_TRUE(Decode(odd) == Decode(good));
    }
}

}  // namespace
