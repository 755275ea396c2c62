// The program's game on the test host: no window, no sound card.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/game_host.h"

namespace {

using Call = RecordingGraphics::Call;

class Game : public ::testing::Test {
protected:
    void SetUp() override { game.Start(); }
    GameHost game;
};

// Until the real game arrives: a dark green screen with "Vellumby" in the
// default font, centred in the window whatever its size.
TEST_F(Game, ShowsTheTitleCentredAtSixtyUpdatesASecond) {
    EXPECT_EQ(game.host->UpdateRate(), 60);
    const std::vector<RecordingGraphics::Record> loads = game.graphics->Of(Call::LoadSurface);
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].path, "quarlo://data/trel_font.png");
    const gxtkSurface* font = loads[0].surface;
    ASSERT_NE(font, nullptr);  // decoded from the generated data without OpenGL

    for (const auto& [width, height] : {std::pair{640, 480}, {1280, 720}}) {
        SCOPED_TRACE(width);
        game.SetWindowSize(width, height);
        game.Frame();
        const std::vector<RecordingGraphics::Record> frame = game.graphics->LastFrame();
        ASSERT_GE(frame.size(), 2u);
        EXPECT_EQ(frame.front().args, (std::vector<float>{float(width), float(height)}));
        EXPECT_EQ(frame.back().call, Call::EndRender);

        std::vector<RecordingGraphics::Record> glyphs, clears;
        for (const RecordingGraphics::Record& r : frame) {
            if (r.call == Call::Cls) clears.push_back(r);
            if (r.call == Call::DrawSurface2) glyphs.push_back(r);
        }
        ASSERT_EQ(clears.size(), 1u);
        EXPECT_EQ(clears[0].args, (std::vector<float>{24, 48, 32}));
        ASSERT_EQ(glyphs.size(), 8u);
        for (const RecordingGraphics::Record& g : glyphs) {
            EXPECT_EQ(g.surface, font);
            EXPECT_EQ(std::vector<float>({g.red, g.green, g.blue}), (std::vector<float>{200, 255, 100}));
        }
        EXPECT_EQ(glyphs[2].args[2], glyphs[3].args[2]);  // the two l's: the same frame of the font
        EXPECT_NE(glyphs[0].args[2], glyphs[1].args[2]);
        // Glyph corners on the screen: the matrix maps the drawn rectangle.
        auto screen_x = [](const RecordingGraphics::Record& g, float x) { return g.matrix[4] + g.matrix[0] * x; };
        const float left = screen_x(glyphs.front(), glyphs.front().args[0]);
        const float right = screen_x(glyphs.back(), glyphs.back().args[0] + glyphs.back().args[4]);
        EXPECT_FLOAT_EQ((left + right) / 2, width / 2.0f);
    }
    // Earlier frames are dropped; the load between frames stays.
    EXPECT_EQ(game.graphics->Of(Call::BeginRender).size(), 1u);
    EXPECT_EQ(game.graphics->Of(Call::LoadSurface).size(), 1u);
}

TEST_F(Game, TheCloseBoxEndsTheGame) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // the sound device runs a thread
    EXPECT_EXIT(game.Close(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
