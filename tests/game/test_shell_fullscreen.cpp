// F11 in a real window on the virtual display: the game goes full screen at
// the desktop's size and back to 640 × 480, and each change of size runs the
// loader again for the images of the new size.
#include <gtest/gtest.h>
#include <unistd.h>

#include "framework/graphics.h"
#include "game/my_app.h"
#include "host/glfw_layer.h"

namespace {

TEST(FullscreenInWindow, F11SwitchesToTheDesktopSizeAndBackReloadingTheImages) {
    ASSERT_EQ(chdir(DATA_DIR "/.."), 0);
    GlfwLayer::current = GlfwLayer::CreateReal();
    ASSERT_TRUE(glfw().Init());
    auto* host = new OrvGlfwGame();
    OrvQuarloGame::StartProgram(host);
    host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    host->StartGame();
    auto* app = static_cast<c_MyApp*>(orv_app__app);
    const glfw27::VidMode desktop = glfw().GetDesktopMode();
    const int desktopLevel = desktop.Width > 1230 || desktop.Height > 1230 ? 4 : 2;

    // F11, the render that sees the new size, and the loader's updates.
    auto pressF11AndLoad = [&] {
        host->KeyEvent(1, 122);
        host->UpdateGame();
        host->KeyEvent(2, 122);
        host->RenderGame();
        EXPECT_EQ(app->m_LoadStage, 1);
        for (int i = 0; i < 35; ++i) host->UpdateGame();
        EXPECT_EQ(app->m_LoadStage, 0);
    };

    pressF11AndLoad();
    EXPECT_EQ(app->m_Fullscreen, 1);
    EXPECT_EQ(orv_graphics_DeviceWidth(), desktop.Width);
    EXPECT_EQ(orv_graphics_DeviceHeight(), desktop.Height);
    EXPECT_EQ(app->m_Images[1]->m_Width, 16 * desktopLevel);  // "gfx-hd2" on a 1280 × 1024 screen

    pressF11AndLoad();
    EXPECT_EQ(app->m_Fullscreen, 0);
    EXPECT_EQ(orv_graphics_DeviceWidth(), 640);
    EXPECT_EQ(app->m_Images[1]->m_Width, 32);  // "gfx-hd"
    host->UpdateGame();
    EXPECT_EQ(app->m_ClsR, 0);  // the title screen again
}

}  // namespace
