// PNG files with odd but harmless chunk layouts decode as the plain file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/files.h"
#include "tests/robustness/damage.h"

namespace {

namespace fs = std::filesystem;

struct Pixels {
    int width = 0, height = 0, depth = 0;
    std::string bytes;
    bool ok = false;
};

Pixels Decode(const fs::path& file) {
    Pixels p;
    unsigned char* data = orvLoadImageFile(String(file.c_str()), &p.width, &p.height, &p.depth);
    if (!data) return p;
    p.ok = true;
    p.bytes.assign(reinterpret_cast<char*>(data), static_cast<std::size_t>(p.width) * p.height * p.depth);
    std::free(data);
    return p;
}

TEST(PngChunks, EmptyDataChunksAreSkipped) {
    const fs::path dir = fs::temp_directory_path() / ("vellumby-png-" + std::to_string(::getpid()));
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
        damage::Write(dir / "good.png", good);
        damage::Write(dir / "odd.png", odd);

        const Pixels a = Decode(dir / "good.png"), b = Decode(dir / "odd.png");
        ASSERT_TRUE(a.ok);
        ASSERT_TRUE(b.ok);
        EXPECT_EQ(b.width, a.width);
        EXPECT_EQ(b.height, a.height);
        EXPECT_EQ(b.depth, a.depth);
        EXPECT_EQ(b.bytes, a.bytes);
    }
    fs::remove_all(dir);
}

}  // namespace
