// The virtual screen: scale, fitting axis and virtual size for a window size
// and overscan, computed as every render does before its replay.
#include <gtest/gtest.h>

#include "framework/graphics.h"
#include "game/my_app.h"
#include "host/glfw_layer.h"

namespace {

// No window system: the drawing device only reports the size it is given.
class NoWindows : public GlfwLayer {
public:
    double GetTime() override { return 0; }
    void Sleep(double) override {}
};

struct Screen {
    float scaleX, scaleY;
    int axis;
    float jscrw, jscrh;
    int landscape;
};

Screen VirtualScreenFor(int width, int height, float overscan) {
    static NoWindows layer;
    GlfwLayer::current = &layer;
    gc_init();
    orvInit();
    orv_Kemp_overscan = overscan;
    auto* app = new c_MyApp();
    auto* device = new gxtkGraphics();
    device->width = width;
    device->height = height;
    orv_graphics_SetGraphicsDevice(device);
    app->p_VirtualScreen();
    return {app->m_ScaleX, app->m_ScaleY, app->m_FitAxis, orv_Kemp_jscrw, orv_Kemp_jscrh, app->m_Landscape};
}

TEST(VirtualScreen, WideWindowKeepsTheWidthAndShortensTheHeight) {
    const Screen s = VirtualScreenFor(1280, 720, 0);  // scales 2 and 1.5: the width governs
    EXPECT_EQ(s.axis, 1);
    EXPECT_EQ(s.scaleX, 2);
    EXPECT_EQ(s.scaleY, 2);
    EXPECT_EQ(s.jscrw, 640);
    EXPECT_EQ(s.jscrh, 360);
    EXPECT_EQ(s.landscape, 1);
}

TEST(VirtualScreen, TallWindowKeepsTheHeight) {
    const Screen s = VirtualScreenFor(640, 960, 0);  // scales 1 and 2: the height governs
    EXPECT_EQ(s.axis, 2);
    EXPECT_EQ(s.scaleX, 2);
    EXPECT_EQ(s.scaleY, 2);
    EXPECT_EQ(s.jscrw, 320);
    EXPECT_EQ(s.jscrh, 480);
    EXPECT_EQ(s.landscape, 0);

    const Screen square = VirtualScreenFor(480, 480, 0);  // scales 0.75 and 1
    EXPECT_EQ(square.axis, 2);
    EXPECT_EQ(square.scaleX, 1);
    EXPECT_EQ(square.jscrw, 480);

    const Screen design = VirtualScreenFor(640, 480, 0);  // equal scales: the width's axis
    EXPECT_EQ(design.axis, 1);
    EXPECT_EQ(design.scaleY, 1);
    EXPECT_EQ(design.jscrh, 480);
}

TEST(VirtualScreen, OverscanShrinksTheScaleButNotTheVirtualSize) {
    const Screen s = VirtualScreenFor(640, 480, 64);  // 512/640 and 352/480
    EXPECT_EQ(s.axis, 1);
    EXPECT_EQ(s.scaleX, 0.8f);
    EXPECT_EQ(s.scaleY, 0.8f);
    EXPECT_EQ(s.jscrw, 640);
    EXPECT_EQ(s.jscrh, 480);

    // 1152/640 = 1.8 against 592/480; the virtual size leaves the margin out.
    const Screen wide = VirtualScreenFor(1280, 720, 64);
    EXPECT_EQ(wide.axis, 1);
    EXPECT_EQ(wide.scaleY, 1.8f);
    EXPECT_EQ(wide.jscrw, 640);
    EXPECT_EQ(wide.jscrh, 360);
}

}  // namespace
