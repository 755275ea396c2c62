// PNG files with odd but harmless chunk layouts decode as the plain file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>

#include "host/image_files.h"
#include "tests/robustness/damage.h"

namespace {

namespace fs = std::filesystem;

// Width, height, depth and pixels of a PNG file of these bytes; all 0 when
// it does not decode.
std::tuple<int, int, int, std::string> Decode(const std::string& png) {
    const fs::path file = fs::temp_directory_path() / ("vellumby-png-" + std::to_string(::getpid()) + ".png");
    damage::Write(file, png);
    int width = 0, height = 0, depth = 0;
    unsigned char* data = orvLoadImageFile(String(file.c_str()), &width, &height, &depth);
    fs::remove(file);
    if (!data) return {0, 0, 0, ""};
    const std::string bytes(reinterpret_cast<char*>(data), static_cast<std::size_t>(width) * height * depth);
    std::free(data);
    return {width, height, depth, bytes};
}

TEST(PngChunks, EmptyDataChunksAreSkipped) {
    for (const char* seed : {"rgba.png", "interlaced.png", "palette.png"}) {
        SCOPED_TRACE(seed);
        const std::string good = damage::Read(fs::path(FUZZ_CORPUS_DIR) / "png" / seed);
        // An IDAT chunk without data (length 0, its checksum) before the
        // first one with data, and another after it.
        const std::string empty_idat = std::string("\0\0\0\0IDAT\x35\xAF\x06\x1E", 12);
        std::string odd = good;
        const std::size_t first = odd.find("IDAT") - 4;
        odd.insert(first, empty_idat);
        const std::size_t second = odd.find("IDAT", first + 12) - 4;
        std::size_t length = 0;
        for (int i = 0; i < 4; ++i) length = length << 8 | static_cast<unsigned char>(odd[second + i]);
        odd.insert(second + 12 + length, empty_idat);

        const auto good_pixels = Decode(good);
        ASSERT_GT(std::get<0>(good_pixels), 0);
        EXPECT_TRUE(Decode(odd) == good_pixels);
    }
}

}  // namespace
