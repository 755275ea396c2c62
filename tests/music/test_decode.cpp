// The loader in a real window: tune images decoded through the back buffer;
// and, in a program of its own, a tune image too small to hold its patterns
// and a real tune played into OpenAL's WAV writer.
#include <gtest/gtest.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/glfw_layer.h"
#include "tests/music/player_rig.h"
#include "tests/support/subprocess.h"

namespace music_test {
namespace {

const std::string kBuildDir = std::string(DATA_DIR).substr(0, std::string(DATA_DIR).rfind('/'));

OrvGlfwGame* Window() {
    static OrvGlfwGame* host = [] {
        gc_init();
        GlfwLayer::current = GlfwLayer::CreateReal();
        if (!glfw().Init()) return static_cast<OrvGlfwGame*>(nullptr);
        auto* game = new OrvGlfwGame();
        game->SetGlfwWindow(128, 96, 8, 8, 8, 0, 0, 0, false);
        return game;
    }();
    return host;
}

std::string TempDir() {
    char name[] = "/tmp/music_test_XXXXXX";
    if (!mkdtemp(name)) return "";
    const std::string dir = name;
    mkdir((dir + "/data").c_str(), 0755);
    mkdir((dir + "/data/tunes").c_str(), 0755);
    return dir;
}

// An RGBA image, all transparent.
struct Rgba {
    int w, h;
    std::vector<unsigned char> px;
    Rgba(int w, int h) : w(w), h(h), px(static_cast<size_t>(w) * h * 4) {}
    void Set(int x, int y, int r, int g, int b, int a) {
        const unsigned char rgba[] = {static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                                      static_cast<unsigned char>(b), static_cast<unsigned char>(a)};
        std::memcpy(&px[(static_cast<size_t>(y) * w + x) * 4], rgba, 4);
    }
    bool Write(const std::string& path) const { return stbi_write_png(path.c_str(), w, h, 4, px.data(), w * 4) != 0; }
};

class MusicDecode : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Window(), nullptr);
        orvInitFramework();
        graphics = new gxtkGraphics();
        orv_graphics_SetGraphicsDevice(graphics);
        audio = new RecordingAudio();
        orv_audio_SetAudioDevice(audio);
        player = (new c_QnPlayer())->m_new();
        player->p_Qn_Init(32, 4, 3, 3, 4);
    }

    // Renders frames, as the game does, until the tune is loaded; returns
    // the colour at (x, y) after the last frame's loader work.
    unsigned LoadTune(const char* name, int x = 0, int y = 0) {
        player->p_Qn_StartTune(String(name), 37171650, 100);
        Array<int> pixel(1);
        while (player->m_LoadStep != 0) {
            graphics->BeginRender();
            orv_graphics_BeginRender();
            player->p_Qn_Alive_R();
            orv_graphics_ReadPixels(pixel, x, y, 1, 1, 0, 0);
            orv_graphics_EndRender();
            graphics->EndRender();
        }
        return static_cast<unsigned>(pixel[0]) & 0xffffff;
    }
    int Cell(int pattern, int voice, int step, int k) {
        return player->m_Song[((pattern * 512) + voice * 64 + step) * 8 + k];
    }

    gxtkGraphics* graphics = nullptr;
    RecordingAudio* audio = nullptr;
    c_QnPlayer* player = nullptr;
};

TEST_F(MusicDecode, CellsAreBlueTimesAlphaOverEightAndFrame63IsNeverRead) {
    const std::string dir = TempDir();
    ASSERT_EQ(chdir(dir.c_str()), 0);
    Rgba image(512, 512);  // 8 x 8 frames of 64 x 64
    image.Set(128 + 19, 5, 10, 20, 200, 255);  // frame 2, voice 2, step 5, cell 3
    image.Set(256 + 8, 10, 0, 0, 200, 100);    // frame 4, voice 1, step 10, cell 0
    for (int x = 0; x < 64; ++x) image.Set(448 + x, 448, 255, 255, 255, 255);  // frame 63
    ASSERT_TRUE(image.Write("data/tunes/t.png"));
    player->m_Song[2 * 4096 + 2 * 512 + 5 * 8 + 2] = 7;
    player->m_Song[63 * 4096] = 5;

    // Nothing the loader drew is left on the screen.
    EXPECT_EQ(LoadTune("t", 147, 5), 0u);
    EXPECT_EQ(player->m_Song[2 * 4096 + 2 * 512 + 5 * 8 + 3], 25);
    EXPECT_EQ(Cell(2, 2, 5, 2), 0);  // transparent
    EXPECT_EQ(Cell(4, 1, 10, 0), 9);  // 200 x 100 / 255 = 78, over 8
    EXPECT_EQ(player->m_Song[63 * 4096], 5);
    EXPECT_EQ(Values(player->m_MaxPattern[0], player->m_MaxPattern[1], player->m_MaxPattern[2],
                     player->m_MaxPattern[3], player->m_MaxPattern[4], player->m_MaxPattern[7]),
              Values(0, 4, 2, 0, 0, 0));
}

TEST_F(MusicDecode, GeneratedTunesDecodeToTheirPixelsWithinThePlayersRanges) {
    ASSERT_EQ(chdir(kBuildDir.c_str()), 0);
    for (const char* name : {"Pasture Run/Tune_12", "Retro/Cavern Digger", "Retro/Hopper"}) {
        SCOPED_TRACE(name);
        LoadTune(name);
        int w = 0, h = 0, depth = 0;
        unsigned char* png =
            Window()->LoadImageData(String("quarlo://data/tunes/") + String(name) + String(".png"), &w, &h, &depth);
        ASSERT_NE(png, nullptr);
        ASSERT_EQ(depth, 4);
        for (int f = 0; f < 63; ++f) {
            for (int y = 0; y < 64; ++y) {
                for (int x = 0; x < 64; ++x) {
                    const unsigned char* p = png + ((static_cast<size_t>(f / 8) * 64 + y) * w + (f % 8) * 64 + x) * 4;
                    ASSERT_TRUE(p[3] == 0 || p[3] == 255);
                    ASSERT_EQ(Cell(f, x / 8, y, x % 8), p[3] ? p[2] >> 3 : 0) << f << " " << x << "," << y;
                }
            }
        }
        std::free(png);
        for (int v = 0; v < 5; ++v) {
            EXPECT_GE(player->m_MaxPattern[v], 2) << "voice " << v;
            for (int p = 0; p <= player->m_MaxPattern[v]; ++p) {
                for (int s = 0; s < 64; ++s) {
                    const int note = Cell(p, v, s, 0);
                    if (v < 2 && note != 0) {
                        static const int drums[] = {13, 15, 17, 18, 20, 22, 24, 25};
                        EXPECT_NE(std::find(std::begin(drums), std::end(drums), note), std::end(drums)) << note;
                    }
                }
            }
        }
    }
}

TEST(MusicProbe, TuneImageWithTooFewFramesIsFatal) {
    const std::string dir = TempDir();
    ASSERT_TRUE(Rgba(256, 256).Write(dir + "/data/tunes/small.png"));
    ProcessOptions options;
    options.cwd = dir;
    options.env = {"ALSOFT_DRIVERS=null"};
    const ProcessResult r = RunProcess({MUSIC_PROBE, "small", "1"}, options);
    EXPECT_EQ(r.status, 255);
    EXPECT_NE(r.out.find("Quarlo Runtime Error : Image frame outside surface"), std::string::npos) << r.out;
}

// Reads the 16-bit samples of a WAV capture (any header form).
std::vector<short> ReadWav(const std::string& path, int* channels) {
    std::ifstream in(path, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto u32 = [&](size_t at) {
        unsigned v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
        return v;
    };
    std::vector<short> samples;
    for (size_t at = 12; at + 8 <= b.size();) {
        const std::string id = b.substr(at, 4);
        const size_t size = std::min<size_t>(u32(at + 4), b.size() - at - 8);
        if (id == "fmt ") *channels = static_cast<unsigned char>(b[at + 10]);
        if (id == "data") {
            samples.resize(size / 2);
            std::memcpy(samples.data(), b.data() + at + 8, samples.size() * 2);
            break;
        }
        at += 8 + size + (size & 1);
    }
    return samples;
}

// Plays a few seconds of the first game type's tune; the capture must hold
// sound, from the drum voices alone and from the melodic voices alone.
TEST(MusicProbe, RealTuneSoundsWithDrumsAndMelody) {
    const std::string dir = TempDir();
    for (const char* voices : {"all", "drums", "melodic"}) {
        const std::string wav = dir + "/" + voices + ".wav";
        std::ofstream(dir + "/alsoft.conf") << "[general]\nsample-type = int16\n[wave]\nfile = " << wav << "\n";
        ProcessOptions options;
        options.cwd = kBuildDir;
        options.env = {"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + dir + "/alsoft.conf"};
        const ProcessResult r = RunProcess({MUSIC_PROBE, "Pasture Run/Tune_12", "2.5", voices}, options);
        ASSERT_EQ(r.status, 0) << r.out << r.err;
        EXPECT_NE(r.out.find("loaded picks 1 3 2 2 1"), std::string::npos) << r.out;
        int channels = 0;
        const std::vector<short> s = ReadWav(wav, &channels);
        ASSERT_EQ(channels, 2);
        ASSERT_GT(s.size(), 2u * 44100 * 2);
        double sum = 0;
        int peak = 0;
        for (short v : s) {
            sum += static_cast<double>(v) * v;
            peak = std::max(peak, std::abs(static_cast<int>(v)));
        }
        const double rms = std::sqrt(sum / static_cast<double>(s.size())) / 32768.0;
        std::printf("%s: rms %.4f peak %.3f over %.2f s\n", voices, rms, peak / 32768.0, s.size() / 2 / 44100.0);
        EXPECT_GT(rms, 0.01) << voices;
        EXPECT_LT(peak, 32767) << voices << " clips";
    }
}

}  // namespace
}  // namespace music_test
