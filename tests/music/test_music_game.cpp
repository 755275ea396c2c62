// The game of this program is built with the music player switched on: the
// player's tune, not the streamed music, starts with a game started from the
// title menu.
#include <gtest/gtest.h>

#include "game/my_app.h"
#include "tests/support/game_host.h"
#include "tests/support/null_audio.h"

namespace {

TEST(MusicGame, AGameStartedFromTheTitleMenuPlaysThePlayersTune) {
    GameHost game;
    game.Start();
    auto* app = static_cast<c_MyApp*>(orv_app__app);
    auto* audio = static_cast<NullAudio*>(game.audio);
    // Every cell of the tune reads back as 13: at every step each voice plays
    // note 13, the first drum of a kit or a melodic sample at its own pitch.
    game.graphics->read_pixel = 13 << 3;
    game.Frame(36);  // the loader's 35 steps, then the title menu
    ASSERT_EQ(app->m_Mode, 1);
    game.KeyDown(13);  // Return starts the game type in the middle
    game.Update();
    game.KeyUp(13);
    // The tune loads while frames render and starts 100 ms after; the level
    // intro, when the streamed music would start, is over well within.
    for (int frame = 0; frame < 90; ++frame) game.Frame();
    ASSERT_EQ(app->m_Mode, 10);
    std::string drum;  // the first sound on drum voice A's channel
    for (const NullAudio::Call& c : audio->calls) {
        EXPECT_NE(c.op, "PlayMusic");
        if (c.op == "PlaySample" && c.channel == 31 && drum.empty()) drum = c.sample;
    }
    EXPECT_EQ(drum, "quarlo://data/inst/d1-1.wav");
}

}  // namespace
