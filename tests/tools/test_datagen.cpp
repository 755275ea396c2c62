// Runs the data generator as the build does and checks the default font it
// writes, as the game will load it: 96 frames of 10 x 16, one pixel trimmed
// off each side.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

// The decoder itself comes with the host library, as in the game.
#include <stb/stb_image.h>

#include "tests/support/subprocess.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFrames = 96;
constexpr int kFrameWidth = 10;
constexpr int kHeight = 16;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DatagenTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "datagen_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    static ProcessResult Run(const std::vector<std::string>& args) {
        std::vector<std::string> argv{DATAGEN};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunProcess(argv);
    }

    fs::path dir_;
};

struct Font {
    int width = 0, height = 0, channels = 0;
    std::vector<unsigned char> rgba;
    const unsigned char* At(int x, int y) const { return &rgba[(y * width + x) * 4]; }
    bool Lit(int x, int y) const { return At(x, y)[3] != 0; }
};

Font Decode(const std::string& png) {
    Font font;
    const auto* bytes = reinterpret_cast<const stbi_uc*>(png.data());
    unsigned char* pixels = stbi_load_from_memory(bytes, static_cast<int>(png.size()), &font.width,
                                                  &font.height, &font.channels, 4);
    if (pixels) {
        font.rgba.assign(pixels, pixels + font.width * font.height * 4);
        stbi_image_free(pixels);
    }
    return font;
}

TEST_F(DatagenTest, FontIsAStripOfWhiteGlyphsOnTransparentFrames) {
    const Font font = Decode(ReadFile(fs::path(DATA_DIR) / "trel_font.png"));
    ASSERT_EQ(font.width, kFrames * kFrameWidth);
    ASSERT_EQ(font.height, kHeight);
    EXPECT_EQ(font.channels, 4) << "the file itself must carry alpha";

    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < font.width; ++x) {
            const unsigned char* p = font.At(x, y);
            const bool white = p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 255;
            const bool clear = p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0;
            ASSERT_TRUE(white || clear) << "pixel " << x << "," << y;
            const int column = x % kFrameWidth;
            if (column == 0 || column == kFrameWidth - 1) {
                ASSERT_TRUE(clear) << "padding of frame " << x / kFrameWidth << " at row " << y;
            }
        }
    }

    // Space is blank; every other glyph is drawn and no two look the same
    // (a glyph pasted into the wrong frame shows up as a duplicate).
    std::set<std::vector<bool>> shapes;
    for (int frame = 0; frame < kFrames; ++frame) {
        std::vector<bool> shape;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 1; x < kFrameWidth - 1; ++x) shape.push_back(font.Lit(frame * kFrameWidth + x, y));
        }
        const bool empty = std::find(shape.begin(), shape.end(), true) == shape.end();
        EXPECT_EQ(empty, frame == 0) << "character " << frame + 32;
        EXPECT_TRUE(shapes.insert(shape).second) << "character " << frame + 32 << " repeats another";
    }
}

TEST_F(DatagenTest, OutputIsByteIdenticalAcrossRunsAndFoldersAreCreated) {
    // The build's own run is the first; a second one goes to a new folder.
    const fs::path first = DATA_DIR, second = dir_ / "b" / "nested";
    ASSERT_EQ(Run({second.string()}).status, 0);
    // Every file by its path inside the output folder.
    auto files = [](const fs::path& root) {
        std::map<std::string, std::string> out;
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(root)) {
            if (e.is_regular_file()) out[fs::relative(e.path(), root).string()] = ReadFile(e.path());
        }
        return out;
    };
    const std::map<std::string, std::string> a = files(first), b = files(second);
    EXPECT_EQ(a.count("trel_font.png"), 1u);
    EXPECT_EQ(a.size(), b.size());
    for (const auto& [name, bytes] : a) {
        EXPECT_FALSE(bytes.empty()) << name;
        // Nothing but the products is left behind.
        EXPECT_NE(fs::path(name).extension(), ".partial") << name;
        const auto twin = b.find(name);
        ASSERT_NE(twin, b.end()) << name << " is missing from the second run";
        EXPECT_TRUE(bytes == twin->second) << name << " differs between runs";
    }
}

// The build relies on the exit status: a generator that cannot write must
// fail, not leave the data folder stale.
TEST_F(DatagenTest, FailsWithoutAUsableOutputFolder) {
    EXPECT_NE(Run({}).status, 0);
    const fs::path blocker = dir_ / "file";
    std::ofstream(blocker) << "x";
    const ProcessResult run = Run({(blocker / "data").string()});
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("datagen"), std::string::npos) << run.err;
}

}  // namespace
