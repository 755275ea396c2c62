// The render's replay of the draw list in a real window with real OpenGL:
// where a recorded picture lands in device pixels at two window sizes, and
// what it costs in draw calls.
#include <gtest/gtest.h>
#include <unistd.h>

#include "framework/graphics.h"
#include "game/my_app.h"
#include "host/glfw_layer.h"
#include "tests/game/values.h"

namespace {

class ReplayInWindow : public ::testing::Test {
protected:
    // The game started in a window of the given size (its loader is not run),
    // with slot 5 a sheet of two 8 × 4 frames (design size) at the window's
    // level: frame 0 red on its left half and blue on its right, frame 1 green.
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
        app->p_CLS2D(0, 0, 0, 1);
        scale = static_cast<float>(width) / 640;

        const int level = app->m_HdLevel, w = 16 * level, h = 4 * level;
        Array<int> pixels(w * h);
        for (int i = 0; i < w * h; ++i) {
            const int x = i % w;
            pixels[i] = static_cast<int>(x < 4 * level ? 0xFFFF0000u : x < 8 * level ? 0xFF0000FFu : 0xFF00FF00u);
        }
        gxtkSurface* surface = orv_graphics_device->CreateSurface(w, h);
        surface->SetSubData(0, 0, w, h, reinterpret_cast<const unsigned*>(&pixels[0]), w);
        gc_assign(app->m_Images[5], (new c_Image())->m_new()->p_Init2(surface, 0, 0, 8 * level, 4 * level, 2,
                                                                      c_Image::MidHandle, nullptr, 0, 0, w, h));
    }

    // Renders without presenting (a presented frame reads back black) and
    // keeps the window's pixels; returns the draw calls the frame took.
    int Render() {
        orv_graphics_device->BeginRender();
        orv_graphics_BeginRender();
        app->p_OnRender();
        pixels = Array<int>(orv_graphics_DeviceWidth() * orv_graphics_DeviceHeight());
        orv_graphics_ReadPixels(pixels, 0, 0, orv_graphics_DeviceWidth(), orv_graphics_DeviceHeight(), 0, 0);
        orv_graphics_EndRender();
        return orv_graphics_device->DrawCallsThisFrame();
    }

    // The colour (0xRRGGBB) of the device pixel under a virtual point.
    unsigned At(float x, float y) const {
        const int px = static_cast<int>(x * scale), py = static_cast<int>(y * scale);
        return static_cast<unsigned>(pixels[py * orv_graphics_DeviceWidth() + px]) & 0xFFFFFFu;
    }

    // A rectangle, an oval, the sheet turned by 90 degrees at size 2, its
    // frame 1 (given as 1.7) and a frame it does not have, in a window of
    // the given size, whose image level is given.
    void CheckPicture(int width, int height, int level) {
        Start(width, height);
        EXPECT_EQ(app->m_HdLevel, level);
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
        // The sheet turned clockwise on the screen, 8 wide and 16 high: the
        // right half (blue) below the centre.
        const struct {
            float x, y;
            unsigned rgb;
        } probes[] = {{10.5f, 10.5f, 0xFF0000}, {29.5f, 19.5f, 0xFF0000}, {30.5f, 20.5f, 0}, {108, 100, 0x00FF00},
                      {100, 107, 0},           {196.5f, 193, 0xFF0000}, {203.5f, 207, 0x0000FF}, {205, 200, 0},
                      {296.5f, 98.5f, 0x00FF00}, {500, 300, 0}};
        for (const auto& p : probes) EXPECT_EQ(At(p.x, p.y), p.rgb) << p.x << "," << p.y;
    }

    OrvGlfwGame* host = nullptr;
    c_MyApp* app = nullptr;
    float scale = 1;
    Array<int> pixels;
};

TEST_F(ReplayInWindow, PictureLandsOnTheDevicePixelsAt640x480) { CheckPicture(640, 480, 2); }  // 640 is above 630

TEST_F(ReplayInWindow, PictureScalesWithALargerWindow) { CheckPicture(1280, 960, 4); }

TEST_F(ReplayInWindow, OneDrawCallPerRunOfOneTextureAndBlend) {
    Start(640, 480);
    for (int i = 0; i < 10; ++i) {
        app->m_DrawBlend = i < 5 ? 1 : 3;  // five alpha-blended, then five additive
        app->p_DrawImg(5, static_cast<float>(20 * i), 50, 0);
    }
    EXPECT_EQ(Render(), 3);  // the clear, the alpha run, the additive run
    EXPECT_EQ(At(18, 50), 0xFF0000u);
}

}  // namespace
