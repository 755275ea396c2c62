// Ogg Vorbis loading: real-world files decode to the samples they always
// gave, layouts the device cannot play are refused, and damaged copies load
// as null or as a sound no longer than the original: never a crash, a
// runaway allocation or a sanitizer report.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "host/sound_files.h"
#include "tests/host/temp_files.h"
#include "tests/support/sound_files.h"

namespace {

// Installed by the setup script (Debian's sound-theme-freedesktop): Oggs
// made by other encoders than the one the tests use.
const std::string kTheme = "/usr/share/sounds/freedesktop/stereo/";

struct Sound {
    unsigned char* data = nullptr;
    int length = -1, channels = -1, format = -1, hertz = -1;
    Sound() = default;
    Sound(const Sound&) = delete;
    ~Sound() { std::free(data); }
    short At(long i) const { return reinterpret_cast<const short*>(data)[i]; }
};

class OggFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dir_.empty()); }

    // Loads `bytes` as a file whose name ends in ".ogg", as the game would.
    void Load(const std::string& bytes, Sound& s) {
        const std::string path = (dir_ / "sound.ogg").string();
        std::ofstream(path, std::ios::binary) << bytes;
        s.data = orvLoadAudioFile(String(path.c_str()), &s.length, &s.channels, &s.format, &s.hertz);
    }
    static std::string Theme(const char* name) {
        std::string bytes = ReadFile(kTheme + name + ".oga");
        EXPECT_FALSE(bytes.empty()) << kTheme << name << ".oga is missing: run scripts/setup.sh";
        return bytes;
    }

    TempDir dir_;
};

float Tone(long i, int c, long rate) { return 0.4f * std::sin(6.2832f * float((300 + 200 * c) * i) / float(rate)); }

// Frame counts and samples as the earlier decoder of the program gave them
// (every sample within 1 of those).
TEST_F(OggFiles, RealWorldFilesDecodeToTheSameSamplesAsBefore) {
    struct Known {
        const char* name;
        int frames, channels, hertz;
        std::vector<std::pair<long, short>> samples;  // interleaved index, value
    };
    const Known known[] = {
        {"bell", 6151, 2, 44100,
         {{723, -1640}, {2170, -7333}, {3618, 3707}, {5065, -1235}, {6512, 4547}, {7960, -1393}, {9407, -291},
          {10854, 32}}},
        {"phone-outgoing-calling", 9505, 1, 8000,
         {{559, -5674}, {1677, 1360}, {2795, 3876}, {3913, -7721}, {5032, 8008}, {6150, -6561}, {7268, 2143},
          {8386, 1492}}},
    };
    for (const Known& k : known) {
        Sound s;
        Load(Theme(k.name), s);
        ASSERT_NE(s.data, nullptr) << k.name;
        EXPECT_EQ(s.length, k.frames) << k.name;
        EXPECT_EQ(s.channels, k.channels) << k.name;
        EXPECT_EQ(s.format, 2) << k.name;
        EXPECT_EQ(s.hertz, k.hertz) << k.name;
        for (const auto& [i, value] : k.samples) EXPECT_NEAR(s.At(i), value, 1) << k.name << " sample " << i;
    }
}

TEST_F(OggFiles, OnlyOneOrTwoChannelsOfOneLayoutLoad) {
    const auto tone = [](long rate) { return [rate](long i, int c) { return Tone(i, c, rate); }; };
    const auto mono = sound_files::EncodeOgg(1, 22050, 3000, tone(22050));
    const auto mono2 = sound_files::EncodeOgg(1, 22050, 3000, tone(22050), 2);
    const auto stereo = sound_files::EncodeOgg(2, 22050, 2000, tone(22050), 2);
    const auto three = sound_files::EncodeOgg(3, 22050, 2000, tone(22050));
    const auto fast = sound_files::EncodeOgg(1, 44100, 2000, tone(44100), 2);
    ASSERT_FALSE(three.empty());
    Sound s3, chained, other_channels, other_rate;
    Load(three, s3);
    EXPECT_EQ(s3.data, nullptr);  // the device has no format for it
    // Streams one after another: the same layout plays through, another
    // layout can't share one buffer.
    Load(mono + mono2, chained);
    ASSERT_NE(chained.data, nullptr);
    EXPECT_EQ(chained.length, 6000);
    Load(mono + stereo, other_channels);
    EXPECT_EQ(other_channels.data, nullptr);
    Load(mono + fast, other_rate);
    EXPECT_EQ(other_rate.data, nullptr);
}

// Copies with a few bytes changed at random places, from real-world files,
// the game's own music and files the tests encode.
TEST_F(OggFiles, DamagedCopiesLoadAsNullOrAsNoMoreThanTheOriginal) {
    std::vector<std::string> originals = {Theme("bell"), Theme("dialog-information"), Theme("message"),
                                          Theme("complete")};
    // The music's headers and first seconds: the whole piece would take
    // long to decode hundreds of times.
    const std::string music = ReadFile(DATA_DIR "/sfx/Voduzozu.ogg");
    ASSERT_GT(music.size(), 48000u);
    originals.push_back(music.substr(0, 48000));
    originals.push_back(sound_files::EncodeOgg(1, 8000, 6000, [](long i, int c) { return Tone(i, c, 8000); }));
    originals.push_back(sound_files::EncodeOgg(2, 44100, 20000, [](long i, int c) { return Tone(i, c, 44100); }));

    struct Shape {
        int length, channels, hertz;
    };
    std::vector<Shape> shapes;
    for (const std::string& bytes : originals) {
        Sound s;
        Load(bytes, s);
        ASSERT_NE(s.data, nullptr) << "original " << shapes.size();
        shapes.push_back({s.length, s.channels, s.hertz});
    }

#if defined(__SANITIZE_ADDRESS__)
    const int copies = 350;  // a few seconds with the checks
#else
    const int copies = 2100;
#endif
    std::mt19937 random(20240611);
    int loaded = 0;
    for (int n = 0; n < copies; ++n) {
        const std::size_t which = static_cast<std::size_t>(n) % originals.size();
        std::string bytes = originals[which];
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int k = 0; k < changes; ++k) {
            const std::size_t at = random() % bytes.size();
            bytes[at] = static_cast<char>(bytes[at] ^ static_cast<char>(1 + random() % 255));
        }
        Sound s;
        Load(bytes, s);
        if (!s.data) continue;
        ++loaded;
        const Shape& o = shapes[which];
        ASSERT_EQ(s.channels, o.channels) << "copy " << n;
        ASSERT_EQ(s.hertz, o.hertz) << "copy " << n;
        ASSERT_EQ(s.format, 2) << "copy " << n;
        // Damaged pages are dropped whole, and a stream without them can't be
        // longer.
        ASSERT_GE(s.length, 0) << "copy " << n;
        ASSERT_LE(s.length, o.length) << "copy " << n;
    }
    // Most copies are damaged in their headers (the bulk of a short file);
    // many others lose audio pages and still play what is left.
    EXPECT_GT(loaded, copies / 10);
}

}  // namespace
