// Paths, whole-file loads, sound and image decoding, and the stored-state
// file. Paths are relative to the current directory, so every test that
// touches the disk runs in a fresh directory of its own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vorbis/vorbisenc.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/data.h"
#include "host/host_game.h"

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
    fs::path p(path);
    if (p.has_parent_path()) fs::create_directories(p.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class InTempDir : public ::testing::Test {
protected:
    void SetUp() override {
        old_dir_ = fs::current_path();
        char name[] = "/tmp/vellumby-files-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(old_dir_);
        fs::remove_all(dir_);
    }

    OrvGlfwGame host;
    fs::path dir_, old_dir_;
};

// ---------------------------------------------------------------- paths

TEST(DataPath, FixDataPathPrefixesOnlyPlainNames) {
    EXPECT_EQ(orv_data_FixDataPath(U(u"sfx/jump.wav")).ToUtf8(), "quarlo://data/sfx/jump.wav");
    EXPECT_EQ(orv_data_FixDataPath(U(u"./x.png")).ToUtf8(), "./x.png");
    EXPECT_EQ(orv_data_FixDataPath(U(u"/x.png")).ToUtf8(), "/x.png");
    EXPECT_EQ(orv_data_FixDataPath(U(u"quarlo://data/x.png")).ToUtf8(), "quarlo://data/x.png");
    // Holds ":/", but its first "/" comes earlier: not a scheme.
    EXPECT_EQ(orv_data_FixDataPath(U(u"c/d:/e")).ToUtf8(), "quarlo://data/c/d:/e");
    EXPECT_EQ(orv_data_FixDataPath(U(u".hidden")).ToUtf8(), "quarlo://data/.hidden");
}

TEST(FilePath, MapsTheThreeAreasAndRefusesOtherQuarloPaths) {
    OrvGlfwGame host;
    auto map = [&](const char16_t* p) { return host.PathToFilePath(U(p)).ToUtf8(); };
    EXPECT_EQ(map(u"quarlo://data/gfx/a.png"), "./data/gfx/a.png");
    EXPECT_EQ(map(u"quarlo://internal/b"), "./internal/b");
    EXPECT_EQ(map(u"quarlo://external/c"), "./external/c");
    EXPECT_EQ(map(u"quarlo://cache/a"), "");
    EXPECT_EQ(map(u"quarlo://data"), "");  // no "/" after the area: unknown area
    EXPECT_EQ(map(u"QUARLO://data/a"), "QUARLO://data/a");
    EXPECT_EQ(map(u"./data/a"), "./data/a");
}

// ---------------------------------------------------------------- plain files

using FileAccess = InTempDir;

TEST_F(FileAccess, OpenFileMapsPathsAndOpensNonAsciiNames) {
    WriteFile("data/\xC3\xA9.txt", "hello");
    for (const char16_t* path : {u"quarlo://data/\u00E9.txt", u"./data/\u00E9.txt"}) {
        std::FILE* f = host.OpenFile(U(path), String("rb"));
        ASSERT_NE(f, nullptr) << String(U(path)).ToUtf8();
        char buf[16] = {};
        EXPECT_EQ(std::fread(buf, 1, sizeof buf, f), 5u);
        EXPECT_STREQ(buf, "hello");
        std::fclose(f);
    }
    fs::create_directory("internal");
    std::FILE* w = host.OpenFile(U(u"quarlo://internal/\u00E9\u20AC"), String("wb"));
    ASSERT_NE(w, nullptr);
    std::fputs("x", w);
    std::fclose(w);
    EXPECT_EQ(ReadFile("internal/\xC3\xA9\xE2\x82\xAC"), "x");

    // Opened unmapped, this name would reach the file written here.
    WriteFile("quarlo:/cache/a", "no");
    EXPECT_EQ(host.OpenFile(U(u"quarlo://cache/a"), String("rb")), nullptr);
    EXPECT_EQ(host.OpenFile(U(u"quarlo://data/missing.txt"), String("rb")), nullptr);
}

TEST_F(FileAccess, LoadStringDecodesAndLoadDataReadsExactBytes) {
    WriteFile("data/t.txt", "\xEF\xBB\xBFh\xC3\xA9");
    EXPECT_EQ(host.LoadString(U(u"quarlo://data/t.txt")), U(u"h\u00E9"));
    EXPECT_EQ(host.LoadString(U(u"quarlo://data/none.txt")).Length(), 0);

    for (int size : {0, 4096, 10000}) {
        std::string bytes(static_cast<std::size_t>(size), '\0');
        for (int i = 0; i < size; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>(i * 7 + i / 256);
        WriteFile("data/blob", bytes);
        int length = -1;
        unsigned char* data = host.LoadData(U(u"quarlo://data/blob"), &length);
        ASSERT_NE(data, nullptr) << size;
        EXPECT_EQ(length, size);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(data), static_cast<std::size_t>(length)), bytes);
        std::free(data);
    }
    int length = 0;
    EXPECT_EQ(host.LoadData(U(u"quarlo://data/none"), &length), nullptr);
    // A directory opens but can't be read: not an empty file.
    EXPECT_EQ(host.LoadData(U(u"./data"), &length), nullptr);
}

// ---------------------------------------------------------------- state file

using StateFile = InTempDir;

TEST_F(StateFile, SavesUtf8AndReadsItBack) {
    EXPECT_EQ(host.LoadState().Length(), 0);  // no file yet

    ASSERT_EQ(host.SaveState(U(u"a much longer state than the next")), 0);
    ASSERT_EQ(host.SaveState(U(u"\u00E9")), 0);
    EXPECT_EQ(ReadFile(".quarlostate"), "\xC3\xA9");
    EXPECT_EQ(host.LoadState(), U(u"\u00E9"));
    EXPECT_FALSE(fs::exists(".quarlostate.tmp"));

    ASSERT_EQ(host.SaveState(String()), 0);
    EXPECT_TRUE(fs::exists(".quarlostate"));
    EXPECT_EQ(ReadFile(".quarlostate"), "");
}

TEST_F(StateFile, FailedSaveKeepsTheOldState) {
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
    EXPECT_EQ(ReadFile(".quarlostate"), "old");
    EXPECT_FALSE(fs::is_symlink(".quarlostate.tmp"));  // the unfinished file is gone
    EXPECT_EQ(host.LoadState(), U(u"old"));
}

// ---------------------------------------------------------------- WAV

std::string Le(std::uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> (8 * i) & 0xFF);
    return s;
}

std::string Chunk(const char* tag, const std::string& body, bool pad = true) {
    return tag + Le(static_cast<std::uint32_t>(body.size()), 4) + body +
           std::string(pad && body.size() % 2 ? 1 : 0, '\0');
}

struct Wav {
    std::uint32_t fmt_size = 16;
    unsigned tag = 1, channels = 1, bits = 16;
    std::uint32_t rate = 22050;
    std::string before_data;  // whole chunks between the format chunk and the data
    std::string data;
    std::int64_t claimed = -1;  // data size in the header; -1: the real size

    std::string Build() const {
        std::string fmt = Le(tag, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * channels * bits / 8, 4) +
                          Le(channels * bits / 8, 2) + Le(bits, 2);
        if (fmt_size > 16) fmt += std::string(fmt_size - 16, '\0');
        const auto size = static_cast<std::uint32_t>(claimed < 0 ? std::int64_t(data.size()) : claimed);
        std::string body = "WAVEfmt " + Le(fmt_size, 4) + fmt + before_data + "data" + Le(size, 4) + data;
        return "RIFF" + Le(static_cast<std::uint32_t>(body.size()), 4) + body;
    }
};

class WavFile : public InTempDir {
protected:
    struct Sound {
        unsigned char* data = nullptr;
        int length = -1, channels = -1, format = -1, hertz = -1;
        std::string Bytes(int n) const {
            return std::string(reinterpret_cast<char*>(data), static_cast<std::size_t>(n));
        }
        ~Sound() { std::free(data); }
    };
    void Load(const std::string& name, const std::string& bytes, Sound& s) {
        WriteFile("data/sfx/" + name, bytes);
        String path = String("quarlo://data/sfx/") + String(name.c_str());
        s.data = host.LoadAudioData(path, &s.length, &s.channels, &s.format, &s.hertz);
    }
};

TEST_F(WavFile, SkipsExtendedFormatAndOtherChunksBeforeData) {
    Wav w;
    w.fmt_size = 18;
    w.channels = 2;
    w.before_data = Chunk("LIST", "INFOISFT" + Le(4, 4) + "test");
    for (int i = 0; i < 24; ++i) w.data += static_cast<char>(i * 11 + 1);
    Sound s;
    Load("000.wav", w.Build(), s);
    ASSERT_NE(s.data, nullptr);
    EXPECT_EQ(s.length, 6);  // 24 bytes of 16-bit stereo
    EXPECT_EQ(s.channels, 2);
    EXPECT_EQ(s.format, 2);
    EXPECT_EQ(s.hertz, 22050);
    EXPECT_EQ(s.Bytes(24), w.data);

    // A chunk of odd size, with the pad byte the format asks for and
    // without it (as some writers leave it out).
    for (bool pad : {true, false}) {
        Wav odd;
        odd.bits = 8;
        odd.rate = 8000;
        odd.before_data = Chunk("junk", "abc", pad);
        odd.data = "\x80\x90\xA0\xB0\xC0";
        Sound t;
        Load("001.wav", odd.Build(), t);
        ASSERT_NE(t.data, nullptr) << pad;
        EXPECT_EQ(t.length, 5);
        EXPECT_EQ(t.format, 1);
        EXPECT_EQ(t.hertz, 8000);
        EXPECT_EQ(t.Bytes(5), odd.data);
    }
}

TEST_F(WavFile, NameChoosesTheDecoder) {
    Wav w;
    w.data = std::string(8, '\x10');
    Sound upper, mp3;
    Load("JUMP.WAV", w.Build(), upper);
    ASSERT_NE(upper.data, nullptr);
    EXPECT_EQ(upper.length, 4);
    Load("jump.mp3", w.Build(), mp3);
    EXPECT_EQ(mp3.data, nullptr);
}

TEST_F(WavFile, DamagedFilesGiveNull) {
    auto with = [](auto change) {
        Wav w;
        w.channels = 2;
        w.data = std::string(16, '\x22');
        change(w);
        return w.Build();
    };
    const std::string good = with([](Wav&) {});
    const std::pair<const char*, std::string> cases[] = {
        {"zero channels", with([](Wav& w) { w.channels = 0; })},
        {"4-bit samples", with([](Wav& w) { w.bits = 4; })},
        {"float samples", with([](Wav& w) { w.tag = 3; })},
        {"oversized data size", with([](Wav& w) { w.claimed = 0xFFFFFFF0u; })},
        {"truncated data", with([](Wav& w) { w.claimed = 1000; })},
        {"oversized other chunk", with([](Wav& w) { w.before_data = "LIST" + Le(0x7FFFFFF0u, 4) + "x"; })},
        {"short format chunk", with([](Wav& w) { w.fmt_size = 14; })},
        {"not RIFF", "RIFX" + good.substr(4)},
        {"cut in the header", good.substr(0, 30)},
        {"no data chunk", good.substr(0, 36)},
        {"empty", ""},
    };
    for (const auto& [what, bytes] : cases) {
        Sound s;
        Load("bad.wav", bytes, s);
        EXPECT_EQ(s.data, nullptr) << what;
    }
}

// ---------------------------------------------------------------- Ogg

// Encodes `frames` sample frames: a 440 Hz sine at half scale on the first
// channel, silence on the others.
std::string EncodeOgg(int channels, long rate, int frames) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.4f) != 0) return {};
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1);

    std::string out;
    ogg_page page;
    auto append = [&] {
        out.append(reinterpret_cast<char*>(page.header), static_cast<std::size_t>(page.header_len));
        out.append(reinterpret_cast<char*>(page.body), static_cast<std::size_t>(page.body_len));
    };
    ogg_packet header, comment, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &code);
    while (ogg_stream_flush(&os, &page)) append();

    auto drain = [&] {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) append();
            }
        }
    };
    for (int done = 0; done < frames;) {
        const int n = std::min(1024, frames - done);
        float** buffer = vorbis_analysis_buffer(&vd, n);
        for (int i = 0; i < n; ++i) {
            buffer[0][i] = 0.5f * static_cast<float>(std::sin(2 * M_PI * 440 * (done + i) / double(rate)));
            for (int c = 1; c < channels; ++c) buffer[c][i] = 0;
        }
        vorbis_analysis_wrote(&vd, n);
        drain();
        done += n;
    }
    vorbis_analysis_wrote(&vd, 0);
    drain();
    while (ogg_stream_flush(&os, &page)) append();

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

using OggFile = WavFile;

TEST_F(OggFile, DecodesEveryFrameInterleaved) {
    // Long enough that the sample buffer grows several times.
    const std::string ogg = EncodeOgg(2, 44100, 30000);
    ASSERT_FALSE(ogg.empty());
    Sound s;
    Load("Voduzozu.OGG", ogg, s);
    ASSERT_NE(s.data, nullptr);
    EXPECT_EQ(s.length, 30000);
    EXPECT_EQ(s.channels, 2);
    EXPECT_EQ(s.format, 2);
    EXPECT_EQ(s.hertz, 44100);
    const auto* samples = reinterpret_cast<const std::int16_t*>(s.data);
    int peak[2] = {0, 0};
    for (int i = 0; i < 2 * s.length; ++i) peak[i % 2] = std::max(peak[i % 2], std::abs(int(samples[i])));
    EXPECT_GT(peak[0], 14000);  // half scale is 16384
    EXPECT_LT(peak[0], 19000);
    EXPECT_LT(peak[1], 1000);

    Sound mono;
    Load("short.ogg", EncodeOgg(1, 8000, 100), mono);
    ASSERT_NE(mono.data, nullptr);
    EXPECT_EQ(mono.length, 100);
    EXPECT_EQ(mono.channels, 1);
    EXPECT_EQ(mono.hertz, 8000);
}

TEST_F(OggFile, DamagedStreamsGiveNull) {
    const std::string ogg = EncodeOgg(1, 8000, 2000);
    std::string garbage(4000, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 131 + i / 7);
    const std::pair<const char*, std::string> cases[] = {
        {"cut in the headers", ogg.substr(0, 80)},
        {"garbage", garbage},
        {"garbage after a page marker", "OggS" + garbage},
        {"empty", ""},
    };
    for (const auto& [what, bytes] : cases) {
        Sound s;
        Load("bad.ogg", bytes, s);
        EXPECT_EQ(s.data, nullptr) << what;
    }
}

// ---------------------------------------------------------------- PNG

using PngFile = InTempDir;

TEST_F(PngFile, PixelsComeBackUnconverted) {
    // Every component count keeps its own depth; transparent pixels keep
    // their colour (no premultiplication here).
    for (int depth = 1; depth <= 4; ++depth) {
        std::vector<unsigned char> pixels(3 * 2 * static_cast<std::size_t>(depth));
        for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 37 + 5);
        if (depth == 4) pixels[3] = 0;
        fs::create_directories("data/gfx");
        ASSERT_NE(stbi_write_png("data/gfx/a.png", 3, 2, depth, pixels.data(), 3 * depth), 0);
        int w = 0, h = 0, d = 0;
        unsigned char* got = host.LoadImageData(U(u"quarlo://data/gfx/a.png"), &w, &h, &d);
        ASSERT_NE(got, nullptr) << depth;
        EXPECT_EQ(w, 3);
        EXPECT_EQ(h, 2);
        EXPECT_EQ(d, depth);
        EXPECT_EQ(std::memcmp(got, pixels.data(), pixels.size()), 0) << depth;
        std::free(got);
    }
}

TEST_F(PngFile, DamagedOrMissingGiveNull) {
    const unsigned char pixels[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    fs::create_directories("data");
    ASSERT_NE(stbi_write_png("data/good.png", 2, 2, 4, pixels, 8), 0);
    const std::string good = ReadFile("data/good.png");
    std::string flipped = good;
    flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x5A);
    const std::pair<const char*, std::string> cases[] = {
        {"cut in the pixel data", good.substr(0, good.size() / 2)},
        {"signature only", good.substr(0, 8)},
        {"damaged pixel data", flipped},
        {"not a PNG", "GIF89a" + good.substr(6)},
    };
    int w, h, d;
    for (const auto& [what, bytes] : cases) {
        WriteFile("data/bad.png", bytes);
        unsigned char* got = host.LoadImageData(U(u"quarlo://data/bad.png"), &w, &h, &d);
        EXPECT_EQ(got, nullptr) << what;
        std::free(got);
    }
    EXPECT_EQ(host.LoadImageData(U(u"quarlo://data/none.png"), &w, &h, &d), nullptr);
}

// ---------------------------------------------------------------- URLs

using UrlOpener = InTempDir;

TEST_F(UrlOpener, PassesTheUrlAsOneArgumentWithoutAShell) {
    const std::string out = (dir_ / "opened").string();
    WriteFile("bin/xdg-open", "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" + out + ".part' && mv '" + out +
                                  ".part' '" + out + "'\n");
    fs::permissions("bin/xdg-open", fs::perms::owner_all);
    const char* old_path = std::getenv("PATH");
    const std::string saved = old_path ? old_path : "";
    setenv("PATH", ((dir_ / "bin").string() + ":" + saved).c_str(), 1);

    const char16_t url[] = u"http://x/?a=1&b=$(touch pwned) c\u01E9";
    host.OpenUrl(U(url));
    for (int i = 0; i < 500 && !fs::exists(out); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ReadFile(out), "1|http://x/?a=1&b=$(touch pwned) c\xE9");  // each unit cut to its low byte
    EXPECT_FALSE(fs::exists("pwned"));

    // Without an opener nothing happens (and no copy of this process runs on).
    setenv("PATH", (dir_ / "empty").string().c_str(), 1);
    host.OpenUrl(U(u"http://example.invalid/"));
    setenv("PATH", saved.c_str(), 1);
}

}  // namespace
