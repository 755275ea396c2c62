// The virtual screen: scale, fitting axis and virtual size for a window size
// and overscan, computed as every render does before its replay.
#include <gtest/gtest.h>

#include <vector>

#include "framework/graphics.h"
#include "game/my_app.h"
#include "host/glfw_layer.h"
#include "tests/game/values.h"

namespace {

// No window system: the drawing device only reports the size it is given.
class NoWindows : public GlfwLayer {
public:
    double GetTime() override { return 0; }
    void Sleep(double) override {}
};

TEST(VirtualScreen, ScaleAxisAndSizeForWindowAndOverscan) {
    struct Case {
        int width, height;
        float overscan;
        std::vector<double> expected;  // scale x, scale y, axis, virtual width and height, landscape
    };
    const Case cases[] = {
        {1280, 720, 0, {2, 2, 1, 640, 360, 1}},   // scales 2 and 1.5: the width governs
        {640, 960, 0, {2, 2, 2, 320, 480, 0}},    // scales 1 and 2: the height governs
        {640, 480, 0, {1, 1, 1, 640, 480, 1}},    // equal scales: the width's axis
        {640, 480, 64, {0.8f, 0.8f, 1, 640, 480, 1}},  // 512/640 against 352/480, drawn from (64, 48)
        {1280, 720, 64, {1.8f, 1.8f, 1, 640, 360, 1}},  // the virtual size leaves the margin out
    };
    static NoWindows layer;
    GlfwLayer::current = &layer;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " overscan " << c.overscan);
        gc_init();
        orvInit();
        orv_Kemp_overscan = c.overscan;
        auto* app = new c_MyApp();
        auto* device = new gxtkGraphics();
        device->width = c.width;
        device->height = c.height;
        orv_graphics_SetGraphicsDevice(device);
        app->p_VirtualScreen();
        EXPECT_EQ(Values(app->m_ScaleX, app->m_ScaleY, app->m_FitAxis, orv_Kemp_jscrw, orv_Kemp_jscrh,
                         app->m_Landscape),
                  c.expected);
    }
}

}  // namespace
