// The render's replay of the draw list in a real window with real OpenGL:
// where a recorded picture lands in device pixels at two window sizes, and
// what it costs in draw calls.
#include <gtest/gtest.h>
#include <unistd.h>

#include "framework/graphics.h"
#include "game/my_app.h"
#include "host/glfw_layer.h"

namespace {

class ReplayInWindow : public ::testing::Test {
protected:
    // The game started in a window of the given size (its loader is not run).
    void Start(int width, int height) {
        ASSERT_EQ(chdir(DATA_DIR "/.."), 0);
        GlfwLayer::current = GlfwLayer::CreateReal();
        ASSERT_TRUE(glfw().Init());
        host = new OrvGlfwGame();
        OrvQuarloGame::StartProgram(host);
        host->SetGlfwWindow(width, height, 8, 8, 8, 0, 0, 0, false);
        host->StartGame();
        app = static_cast<c_MyApp*>(orv_app__app);
        app->m_LoadStage = 0;
        scale = static_cast<float>(width) / 640;
        app->p_CLS2D(0, 0, 0, 1);
    }

    // Slot 5: a sheet of two 8 × 4 frames (design size) at the window's
    // level: frame 0 red on its left half and blue on its right, frame 1 green.
    void MakeSheet() {
        const int level = app->m_HdLevel;
        const int w = 16 * level, h = 4 * level;
        gxtkSurface* surface = orv_graphics_device->CreateSurface(w, h);
        Array<int> pixels(w * h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const unsigned colour = x < 4 * level ? 0xFFFF0000u : x < 8 * level ? 0xFF0000FFu : 0xFF00FF00u;
                pixels[y * w + x] = static_cast<int>(colour);
            }
        }
        surface->SetSubData(0, 0, w, h, reinterpret_cast<const unsigned*>(&pixels[0]), w);
        c_Image* sheet = (new c_Image())->m_new()->p_Init2(surface, 0, 0, 8 * level, 4 * level, 2,
                                                          c_Image::MidHandle, nullptr, 0, 0, w, h);
        gc_assign(app->m_Images[5], sheet);
    }

    // Renders without presenting (a presented frame reads back black) and
    // keeps the window's pixels; returns the draw calls the frame took.
    int Render() {
        orv_graphics_device->BeginRender();
        orv_graphics_BeginRender();
        app->p_OnRender();
        const int width = orv_graphics_DeviceWidth(), height = orv_graphics_DeviceHeight();
        pixels = Array<int>(width * height);
        orv_graphics_ReadPixels(pixels, 0, 0, width, height, 0, 0);
        orv_graphics_EndRender();
        return orv_graphics_device->DrawCallsThisFrame();
    }

    // The colour at a virtual point, as 0xRRGGBB.
    unsigned At(float x, float y) const {
        const int px = static_cast<int>(x * scale), py = static_cast<int>(y * scale);
        return static_cast<unsigned>(pixels[py * orv_graphics_DeviceWidth() + px]) & 0xFFFFFFu;
    }

    // The picture: a red rectangle, a green oval, the sheet turned by 90
    // degrees at size 2, its frame 1 (given as 1.7) plain, and a frame the
    // sheet does not have.
    void CheckPicture() {
        MakeSheet();
        app->p_SetCol(255, 0, 0);
        app->p_Rect(10, 10, 20, 10);
        app->p_SetCol(0, 255, 0);
        app->p_Oval(100, 100, 10, 5);
        app->p_ResetDraw();
        app->p_SetSize(2);
        app->p_SetRot(90);
        app->p_DrawImg(5, 200, 200, 0);
        app->p_ResetDraw();
        app->p_DrawImg(5, 300, 100, 1.7f);
        app->p_DrawImg(5, 500, 300, 7);
        Render();

        EXPECT_EQ(At(10.5f, 10.5f), 0xFF0000u);
        EXPECT_EQ(At(29.5f, 19.5f), 0xFF0000u);
        EXPECT_EQ(At(30.5f, 15), 0u);
        EXPECT_EQ(At(15, 20.5f), 0u);

        EXPECT_EQ(At(100, 100), 0x00FF00u);
        EXPECT_EQ(At(108, 100), 0x00FF00u);
        EXPECT_EQ(At(100, 103.5f), 0x00FF00u);
        EXPECT_EQ(At(112, 100), 0u);
        EXPECT_EQ(At(100, 107), 0u);

        // Turned clockwise on the screen: the right half (blue) below the
        // centre; 16 × 8 units become 8 wide and 16 high.
        EXPECT_EQ(At(200, 196), 0xFF0000u);
        EXPECT_EQ(At(200, 204), 0x0000FFu);
        EXPECT_EQ(At(196.5f, 193), 0xFF0000u);
        EXPECT_EQ(At(203.5f, 207), 0x0000FFu);
        EXPECT_EQ(At(205, 200), 0u);
        EXPECT_EQ(At(200, 209), 0u);

        EXPECT_EQ(At(300, 100), 0x00FF00u);
        EXPECT_EQ(At(296.5f, 98.5f), 0x00FF00u);
        EXPECT_EQ(At(305, 100), 0u);
        EXPECT_EQ(At(500, 300), 0u);
    }

    OrvGlfwGame* host = nullptr;
    c_MyApp* app = nullptr;
    float scale = 1;
    Array<int> pixels;
};

TEST_F(ReplayInWindow, PictureLandsOnTheDevicePixelsAt640x480) {
    Start(640, 480);
    EXPECT_EQ(app->m_HdLevel, 2);  // 640 is above 630
    CheckPicture();
}

TEST_F(ReplayInWindow, PictureScalesWithALargerWindow) {
    Start(1280, 960);
    app->p_ResolutionRule();
    EXPECT_EQ(app->m_HdLevel, 4);
    CheckPicture();
}

TEST_F(ReplayInWindow, OneDrawCallPerRunOfOneTextureAndBlend) {
    Start(640, 480);
    MakeSheet();
    for (int i = 0; i < 10; ++i) {
        app->m_DrawBlend = i < 5 ? 1 : 3;  // five alpha-blended, then five additive
        app->p_DrawImg(5, static_cast<float>(20 * i), 50, 0);
    }
    // The clear, the alpha run, the additive run.
    EXPECT_EQ(Render(), 3);
    EXPECT_EQ(At(18, 50), 0xFF0000u);

    // Overscan: the picture keeps its scale-1 size inside a margin.
    orv_Kemp_overscan = 64;
    app->p_CLS2D(0, 0, 0, 1);
    app->p_SetCol(255, 0, 0);
    app->p_Rect(0, 0, 10, 10);
    Render();
    EXPECT_EQ(app->m_ScaleX, 0.8f);
    EXPECT_EQ(At(64.5f, 48.5f), 0xFF0000u);
    EXPECT_EQ(At(63.5f, 50), 0u);
    EXPECT_EQ(At(70, 47.5f), 0u);
    EXPECT_EQ(At(71.5f, 55.5f), 0xFF0000u);
    EXPECT_EQ(At(72.5f, 50), 0u);
}

}  // namespace
