// Paths, whole-file loads, image decoding, the stored-state file and the URL
// opener. Paths are relative to the current directory, so every test that
// touches the disk runs in a fresh directory of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/data.h"
#include "host/host_game.h"
#include "tests/host/temp_files.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

namespace fs = std::filesystem;

String U(const char16_t* s) { return String(s, static_cast<int>(std::char_traits<char16_t>::length(s))); }

void WriteFile(const std::string& path, const std::string& bytes) {
    if (fs::path(path).has_parent_path()) fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

class InTempDir : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.empty());
        fs::current_path(dir_);
    }
    void TearDown() override { fs::current_path(old_dir_); }

    OrvGlfwGame host;
    const fs::path old_dir_ = fs::current_path();
    TempDir dir_;
};

TEST(DataPath, OnlyPlainNamesGoToTheDataAreaAndOnlyKnownAreasMapToFiles) {
    const std::pair<const char16_t*, const char*> fixed[] = {
        {u"sfx/jump.wav", "quarlo://data/sfx/jump.wav"},
        {u"./x.png", "./x.png"},
        {u"/x.png", "/x.png"},
        {u"quarlo://data/x.png", "quarlo://data/x.png"},
        {u"c/d:/e", "quarlo://data/c/d:/e"},  // its first "/" comes before the ":/": not a scheme
        {u".hidden", "quarlo://data/.hidden"},
    };
    for (const auto& [in, out] : fixed) EXPECT_EQ(orv_data_FixDataPath(U(in)).ToUtf8(), out);

    OrvGlfwGame host;
    const std::pair<const char16_t*, const char*> mapped[] = {
        {u"quarlo://data/gfx/a.png", "./data/gfx/a.png"},
        {u"quarlo://internal/b", "./internal/b"},
        {u"quarlo://external/c", "./external/c"},
        {u"quarlo://cache/a", ""},
        {u"quarlo://data", ""},  // no "/" after the area: an unknown area
        {u"QUARLO://data/a", "QUARLO://data/a"},
    };
    for (const auto& [in, out] : mapped) EXPECT_EQ(host.PathToFilePath(U(in)).ToUtf8(), out);
}

using FileAccess = InTempDir;

TEST_F(FileAccess, OpensMappedAndNonAsciiNamesAndLoadsExactBytes) {
    WriteFile("data/\xC3\xA9.txt", "hello");
    for (const char16_t* path : {u"quarlo://data/\u00E9.txt", u"./data/\u00E9.txt"}) {
        std::FILE* f = host.OpenFile(U(path), String("rb"));
        ASSERT_NE(f, nullptr) << U(path).ToUtf8();
        char buf[16] = {};
        EXPECT_EQ(std::fread(buf, 1, sizeof buf, f), 5u);
        EXPECT_STREQ(buf, "hello");
        std::fclose(f);
    }
    // Opened unmapped, this name would reach the file written here.
    WriteFile("quarlo:/cache/a", "no");
    EXPECT_EQ(host.OpenFile(U(u"quarlo://cache/a"), String("rb")), nullptr);

    // Sizes around the loader's 4096-byte reads.
    for (int size : {0, 4096, 10000}) {
        std::string bytes(static_cast<std::size_t>(size), '\0');
        for (int i = 0; i < size; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>(i * 7 + i / 256);
        WriteFile("data/blob", bytes);
        int length = -1;
        unsigned char* data = host.LoadData(U(u"quarlo://data/blob"), &length);
        ASSERT_NE(data, nullptr) << size;
        EXPECT_EQ(std::string(reinterpret_cast<char*>(data), static_cast<std::size_t>(length)), bytes);
        std::free(data);
    }
    int length = 0;
    EXPECT_EQ(host.LoadData(U(u"quarlo://data/none"), &length), nullptr);
    // A directory opens but can't be read: not an empty file.
    EXPECT_EQ(host.LoadData(U(u"./data"), &length), nullptr);
}

using StateFile = InTempDir;

TEST_F(StateFile, SavesUtf8AndAFailedSaveKeepsTheOldState) {
    EXPECT_EQ(host.LoadState().Length(), 0);  // no file yet
    // A longer state first: the shorter one must replace it whole.
    ASSERT_EQ(host.SaveState(U(u"a much longer state than the next")), 0);
    ASSERT_EQ(host.SaveState(U(u"\u00E9")), 0);
    EXPECT_EQ(ReadFile(".quarlostate"), "\xC3\xA9");
    EXPECT_EQ(host.LoadState(), U(u"\u00E9"));
    EXPECT_FALSE(fs::exists(".quarlostate.tmp"));

    WriteFile(".quarlostate", "old");
    // The new state can't even be started.
    fs::create_directory(".quarlostate.tmp");
    EXPECT_EQ(host.SaveState(U(u"new")), -1);
    EXPECT_EQ(ReadFile(".quarlostate"), "old");
    fs::remove(".quarlostate.tmp");

    // The disk fills up while the new state is written.
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    fs::create_symlink("/dev/full", ".quarlostate.tmp");
    EXPECT_EQ(host.SaveState(U(u"new")), -2);
    EXPECT_EQ(host.LoadState(), U(u"old"));
    EXPECT_FALSE(fs::is_symlink(".quarlostate.tmp"));  // the unfinished file is gone
}

using PngFile = InTempDir;

TEST_F(PngFile, PixelsComeBackUnconvertedAndDamageGivesNull) {
    // Every component count keeps its own depth; transparent pixels keep
    // their colour (no premultiplication here).
    std::string good;
    int w = 0, h = 0, d = 0;
    fs::create_directories("data/gfx");
    for (int depth = 1; depth <= 4; ++depth) {
        std::vector<unsigned char> pixels(3 * 2 * static_cast<std::size_t>(depth));
        for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 37 + 5);
        if (depth == 4) pixels[3] = 0;
        ASSERT_NE(stbi_write_png("data/gfx/a.png", 3, 2, depth, pixels.data(), 3 * depth), 0);
        unsigned char* got = host.LoadImageData(U(u"quarlo://data/gfx/a.png"), &w, &h, &d);
        ASSERT_NE(got, nullptr) << depth;
        EXPECT_EQ(std::vector<int>({w, h, d}), std::vector<int>({3, 2, depth}));
        EXPECT_EQ(std::memcmp(got, pixels.data(), pixels.size()), 0) << depth;
        std::free(got);
        good = ReadFile("data/gfx/a.png");
    }
    std::string flipped = good;
    flipped[good.find("IDAT") + 4] ^= 0x5A;  // the header of the compressed pixels
    for (const std::string& bytes : {good.substr(0, good.size() / 2), flipped, "GIF89a" + good.substr(6)}) {
        WriteFile("data/bad.png", bytes);
        unsigned char* got = host.LoadImageData(U(u"quarlo://data/bad.png"), &w, &h, &d);
        EXPECT_EQ(got, nullptr) << bytes.size();
        std::free(got);
    }
    EXPECT_EQ(host.LoadImageData(U(u"quarlo://data/none.png"), &w, &h, &d), nullptr);
}

using UrlOpener = InTempDir;

TEST_F(UrlOpener, PassesTheUrlAsOneArgumentWithoutAShell) {
    const std::string out = (dir_ / "opened").string();
    WriteFile("bin/xdg-open", "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" + out + ".part' && mv '" + out +
                                  ".part' '" + out + "'\n");
    fs::permissions("bin/xdg-open", fs::perms::owner_all);
    const char* old_path = std::getenv("PATH");
    const std::string saved = old_path ? old_path : "";
    setenv("PATH", ((dir_ / "bin").string() + ":" + saved).c_str(), 1);

    host.OpenUrl(U(u"http://x/?a=1&b=$(touch pwned) c\u01E9"));
    // The opener runs on its own; a busy machine may take a while to start it.
    WaitFor([&] { return fs::exists(out); }, 30);
    setenv("PATH", saved.c_str(), 1);
    EXPECT_EQ(ReadFile(out), "1|http://x/?a=1&b=$(touch pwned) c\xE9");  // each unit cut to its low byte
    EXPECT_FALSE(fs::exists("pwned"));
}

}  // namespace
