// The draw list as data: what the game records before anything is drawn.
#include <gtest/gtest.h>

#include "game/my_app.h"

namespace {

// A game object on its own, outside any host: enough for the recording side.
c_MyApp* NewGame() {
    gc_init();
    orvInit();
    auto* app = new c_MyApp();
    app->m_ImgInfo[90 * 3] = 7;
    app->m_ImgInfo[90 * 3 + 1] = 10;
    app->m_Font = 90;
    app->p_ResetDraw();
    return app;
}

TEST(DrawList, RstrPadsAndCutsFromTheLeft) {
    c_MyApp* app = NewGame();
    EXPECT_TRUE(app->p_rstr(3, 7, String("0")) == String("007"));
    EXPECT_TRUE(app->p_rstr(3, 12345, String(" ")) == String("345"));
    EXPECT_TRUE(app->p_rstr(8, 125, String("0")) == String("00000125"));
    EXPECT_EQ(app->p_rstr(0, 5, String("0")).Length(), 0);
}

}  // namespace
