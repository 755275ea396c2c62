// A game of type 1 played through the real input path: key events go to the
// host, the host's update runs the game, and the pictures are checked in the
// game's draw list and in what the drawing device was asked to draw.
#include <gtest/gtest.h>

#include <string>

#include "framework/app.h"
#include "game/my_app.h"
#include "game/play_fields.h"
#include "tests/game/values.h"
#include "tests/support/game_host.h"
#include "tests/support/null_audio.h"

namespace {

using namespace play;
using Call = RecordingGraphics::Call;

const int kUp = 38, kDown = 40, kLeft = 37, kRight = 39;

class Script : public ::testing::Test {
protected:
    void SetUp() override {
        game.make_audio = [this] { return audio = new NullAudio(); };
        game.Start();
        app = dynamic_cast<c_MyApp*>(orv_app__app);
        ASSERT_NE(app, nullptr);
        game.Update(40);
        ASSERT_EQ(app->m_LoadStage, 0);
    }

    float& P(int i) { return app->m_Player[i]; }
    bool Played(const std::string& file) {
        for (const auto& call : audio->calls) {
            if (call.op == "PlaySample" && call.sample.find(file) != std::string::npos) return true;
        }
        return false;
    }
    // The text of the font commands at one height of the game's picture.
    std::string TextAt(float y) {
        std::string text;
        for (int i = 0; i + 15 <= app->m_DrawCount; i += 15) {
            const float* c = &app->m_DrawList[i];
            if (c[0] == 90 && c[2] == y) text += static_cast<char>(c[6] + 32);
        }
        return text;
    }
    // Holds one arrow key until the player stands in the wanted column or
    // row, or something stops him; the key is released either way.
    void Walk(int key, int target) {
        game.KeyDown(key);
        const int axis = key == kLeft || key == kRight ? kPX : kPY;
        for (int i = 0; i < 600 && P(axis) != target && P(kState) == 0; ++i) game.Update();
        game.KeyUp(key);
    }

    GameHost game;
    NullAudio* audio = nullptr;
    c_MyApp* app = nullptr;
};

TEST_F(Script, KeysPlayALevelToALostLifeAndOnToTheNext) {
    // The title menu starts a game this way once a type is chosen.
    app->m_GameType = 1;
    app->m_Mode = 11;
    game.Update();
    ASSERT_EQ(app->m_Mode, 10);
    std::vector<int> first(app->m_Garden.begin(), app->m_Garden.end());

    // First picture of play: the board cell by cell, the title, the score.
    game.Frame();
    for (int x = 0; x <= 20; ++x) {
        for (int y = 0; y <= 12; ++y) {
            bool found = false;
            const float frame = app->m_Garden[CellIndex(x, y) + kHedge] == 1 ? 240.0f + app->m_HedgeStyle : 224.0f;
            for (int i = 0; i + 15 <= app->m_DrawCount && !found; i += 15) {
                const float* c = &app->m_DrawList[i];
                found = c[0] == 1 && c[1] == -4 + 32 * x && c[2] == 56 + 32 * y && c[6] == frame;
            }
            ASSERT_TRUE(found) << x << "," << y;
        }
    }
    EXPECT_EQ(TextAt(240 + 38 * 38), "Level1");
    EXPECT_EQ(TextAt(14), "00000000");
    // Every image command with a loaded image reached the drawing device.
    int images = 0;
    for (int i = 0; i + 15 <= app->m_DrawCount; i += 15) images += app->m_DrawList[i] >= 0 ? 1 : 0;
    EXPECT_EQ(static_cast<int>(game.graphics->Of(Call::DrawSurface2).size()), images);

    // Right from the start cell into hedge: five points and three bits.
    Walk(kRight, 11);
    ASSERT_EQ(P(kPX), 11);
    game.Frame();
    EXPECT_EQ(app->m_Score, 5);
    EXPECT_EQ(TextAt(14), "00000005");
    const gxtkSurface* sheet = nullptr;
    for (const auto& r : game.graphics->Of(Call::LoadSurface)) {
        if (r.path.find("/parts") != std::string::npos) sheet = r.surface;
    }
    int bits = 0;
    for (const auto& r : game.graphics->LastFrame()) bits += r.call == Call::DrawSurface2 && r.surface == sheet;
    EXPECT_EQ(bits, 3);

    // Standing there, the first enemy out of the home finds him.
    for (int i = 0; i < 3000 && P(kState) == 0; ++i) game.Update();
    ASSERT_GT(P(kState), 0);
    EXPECT_TRUE(Played("sfx/005.wav"));
    for (int i = 0; i < 150 && app->m_Lives == 3; ++i) game.Update();
    EXPECT_EQ(Values(app->m_Lives, app->m_Score), Values(2, 5));
    EXPECT_EQ(std::vector<int>(app->m_Garden.begin(), app->m_Garden.end()), first);

    // With the items taken (set here, not walked for) he cuts a way to the
    // far corner, waits there until every enemy is out and the home opens,
    // and cuts down the right edge into it.
    for (int i = 0; i < 10240; i += 10) {
        if (app->m_Garden[i + kContent] >= kFirstItem) app->m_Garden[i + kContent] = 0;
    }
    Walk(kUp, 6);
    Walk(kRight, 13);
    Walk(kUp, 1);
    Walk(kRight, 18);
    for (int i = 0; i < 1200 && app->m_HomeOpen == 0 && P(kState) == 0; ++i) game.Update();
    ASSERT_EQ(Values(app->m_HomeOpen, P(kState), app->m_HomeX, app->m_HomeY), Values(1, 0, 19, 8));
    EXPECT_TRUE(Played("sfx/004.wav"));
    Walk(kRight, 19);
    Walk(kDown, 8);
    for (int i = 0; i < 120 && app->m_Level == 1; ++i) game.Update();
    EXPECT_EQ(Values(app->m_Level, app->m_Lives), Values(2, 2));
    EXPECT_TRUE(Played("sfx/006.wav"));
    game.Frame();
    EXPECT_EQ(TextAt(240 + 36 * 36), "Level2");
}

}  // namespace
