// The loader in a real window: a tune image decoded through the back
// buffer; and a tune image too small to hold its patterns.
#include <gtest/gtest.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/glfw_layer.h"
#include "tests/music/player_rig.h"

namespace music_test {
namespace {

std::string TempDir() {
    char name[] = "/tmp/music_test_XXXXXX";
    if (!mkdtemp(name)) return "";
    std::filesystem::create_directories(std::string(name) + "/data/tunes");
    return name;
}

// An RGBA tune image, all transparent but for the given pixels {x, y, blue,
// alpha}, written where the player looks for tune "t".
bool WriteTune(const std::string& dir, int w, int h, const std::vector<std::vector<int>>& pixels) {
    std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
    for (const auto& p : pixels) {
        unsigned char* at = &rgba[(static_cast<size_t>(p[1]) * w + p[0]) * 4];
        at[0] = at[1] = 10;
        at[2] = static_cast<unsigned char>(p[2]);
        at[3] = static_cast<unsigned char>(p[3]);
    }
    return stbi_write_png((dir + "/data/tunes/t.png").c_str(), w, h, 4, rgba.data(), w * 4) != 0;
}

TEST(MusicDecode, CellsAreBlueTimesAlphaOverEightAndFrame63IsNeverRead) {
    gc_init();
    GlfwLayer::current = GlfwLayer::CreateReal();
    ASSERT_TRUE(glfw().Init());
    (new OrvGlfwGame())->SetGlfwWindow(128, 96, 8, 8, 8, 0, 0, 0, false);
    orvInitFramework();
    auto* graphics = new gxtkGraphics();
    orv_graphics_SetGraphicsDevice(graphics);
    orv_audio_SetAudioDevice(new NullAudio());
    c_QnPlayer* player = (new c_QnPlayer())->m_new();
    player->p_Qn_Init(32, 4, 3, 3, 4);

    const std::string dir = TempDir();
    ASSERT_EQ(chdir(dir.c_str()), 0);
    // Frame 2, voice 2, step 5, cell 3; frame 4, voice 1, step 10, cell 0;
    // frame 62 (the last row of frames), voice 7, step 63, cell 7.
    std::vector<std::vector<int>> pixels = {{147, 5, 200, 255}, {264, 10, 200, 100}, {384 + 63, 448 + 63, 8, 255}};
    for (int x = 0; x < 64; ++x) pixels.push_back({448 + x, 448, 255, 255});  // frame 63
    ASSERT_TRUE(WriteTune(dir, 512, 512, pixels));  // 8 x 8 frames
    player->m_Song[At(2, 2, 5) + 2] = 7;
    player->m_Song[63 * 4096] = 5;

    // Frames rendered as the game renders them; the colour under the
    // first cell after each frame's loader work.
    player->p_Qn_StartTune(String("t"), 37171650, 100);
    Array<int> pixel(1);
    while (player->m_LoadStep != 0) {
        graphics->BeginRender();
        orv_graphics_BeginRender();
        player->p_Qn_Alive_R();
        orv_graphics_ReadPixels(pixel, 147, 5, 1, 1, 0, 0);
        orv_graphics_EndRender();
        graphics->EndRender();
        EXPECT_EQ(pixel[0] & 0xffffff, 0);  // nothing the loader drew is left on the screen
    }
    // 200 over 8; transparent; 200 x 100 / 255 = 78, over 8; 8 over 8; never read.
    const Array<int>& song = player->m_Song;
    EXPECT_EQ(Values(song[At(2, 2, 5) + 3], song[At(2, 2, 5) + 2], song[At(4, 1, 10)], song[At(62, 7, 63) + 7],
                     song[63 * 4096]),
              Values(25, 0, 9, 1, 5));
    EXPECT_EQ(Voices(player->m_MaxPattern), Values(0, 4, 2, 0, 0));
    EXPECT_EQ(player->m_MaxPattern[7], 62);
}

// Without a debugger attached (standard input at its end) the error ends
// the program; its message goes to standard output, here to the error stream.
using MusicLoad = PlayerTest;
TEST_F(MusicLoad, TuneImageWithTooFewFramesIsFatal) {
    const std::string dir = TempDir();
    ASSERT_TRUE(WriteTune(dir, 512, 511, {}));  // frame 63 one row short
    player->p_Qn_Init(32, 4, 3, 3, 4);
    player->p_Qn_StartTune(String("t"), 37171650, 100);
    const auto load = [&] {
        if (chdir(dir.c_str()) != 0 || !std::freopen("/dev/null", "r", stdin)) std::exit(1);
        dup2(2, 1);
        Render();
    };
    EXPECT_EXIT(load(), testing::ExitedWithCode(255), "Quarlo Runtime Error : Image frame outside surface");
}

}  // namespace
}  // namespace music_test
