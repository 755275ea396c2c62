// The whole game on damaged data files: images, sounds and the level music
// that are empty, cut short or random bytes. Nothing crashes; an image
// slot stays empty (and draws nothing), a sound has no sample (and plays
// nothing), music that can't be decoded does not start (a cut one plays
// what is there), and the game goes on.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/graphics.h"
#include "game/my_app.h"
#include "tests/robustness/damage.h"
#include "tests/support/game_host.h"
#include "tests/support/null_audio.h"

namespace {

using damage::Kind;

TEST(DamagedData, ImagesSoundsAndMusicThatCannotBeReadAreLeftOutAndTheGameGoesOn) {
    // The game's sprites, the title menu, the logo and both fonts (the
    // framework's default font and the game's text font), every resolution
    // of each; the logo jingle, the menus' confirm sound, the first game
    // sound; the level music.
    std::vector<std::string> files = {"trel_font.png", "sfx/096.wav", "sfx/099.wav", "sfx/001.wav", "sfx/Voduzozu.ogg"};
    for (const char* name : {"gfx", "menu", "common/QEVLLogo", "fonts/editundo"}) {
        for (const char* suffix : {"", "-hd", "-hd2"}) files.push_back(std::string(name) + suffix + ".png");
    }
    for (Kind kind : damage::kKinds) {
        SCOPED_TRACE(damage::Name(kind));
        GameHost game;
        damage::MirrorData(game.dir, DATA_DIR);
        std::uint32_t seed = 1;
        for (const std::string& file : files) damage::DamageFile(game.dir, DATA_DIR, file, kind, seed++);
        game.Start();
        c_MyApp* app = static_cast<c_MyApp*>(orv_app__app);
        for (int i = 0; i < 40 && app->m_LoadStage != 0; ++i) game.Frame();
        ASSERT_EQ(app->m_LoadStage, 0) << "the loader did not finish";

        for (int slot : {1, 99, 93, 90}) EXPECT_EQ(app->m_Images[slot], nullptr) << slot;
        for (int slot : {80, 91, 94, 95, 96, 97, 98}) EXPECT_NE(app->m_Images[slot], nullptr) << slot;
        EXPECT_EQ(orv_graphics_context->m_Font, nullptr);
        // The hit tests still see the sizes asked for.
        EXPECT_EQ((std::vector<int>{app->m_ImgInfo[3], app->m_ImgInfo[4], app->m_ImgInfo[5], app->m_ImgInfo[3 * 90]}),
                  (std::vector<int>{16 * app->m_HdLevel, 16 * app->m_HdLevel, 256, 7}));
        for (int n : {96, 99, 1}) EXPECT_EQ(app->m_Sounds[n], nullptr) << n;
        for (int n : {2, 95, 98}) EXPECT_NE(app->m_Sounds[n], nullptr) << n;

        auto& calls = static_cast<NullAudio*>(game.audio)->calls;
        const auto played = [&](const char* file) {
            return std::count_if(calls.begin(), calls.end(), [&](const NullAudio::Call& c) {
                return c.op == "PlaySample" && c.sample.find(file) != std::string::npos;
            });
        };
        // The jingle was due in loader step 4: its channel was stopped and set
        // up, but nothing started on it.
        EXPECT_EQ(played("096.wav"), 0);
        const auto stop = std::find_if(calls.begin(), calls.end(),
                                       [](const NullAudio::Call& c) { return c.op == "StopChannel"; });
        ASSERT_GE(calls.end() - stop, 4);
        EXPECT_EQ(stop[1].op + " " + stop[2].op + " " + stop[3].op, "SetRate SetVolume SetPan");

        // A cut stream still has its headers: the part that is there plays.
        calls.clear();
        app->p_PlayTune(String("Voduzozu"), 1);
        const auto music = std::find_if(calls.begin(), calls.end(),
                                        [](const NullAudio::Call& c) { return c.op == "PlayMusic"; });
        ASSERT_NE(music, calls.end());
        EXPECT_EQ(music->result, kind == Kind::Truncated ? 0 : -1);
        game.Frame(60);
        app->p_StopTune();

        game.Frame(60);  // a second of the title screen
        game.Press(13);  // Enter: pick the first game type
        game.Frame(60);
        app->p_PlaySFX2(99, 1);
        app->p_PlaySFX2(1, 1);
        game.Frame(60);
        EXPECT_EQ(played("099.wav") + played("001.wav"), 0);
        EXPECT_FALSE(game.graphics->LastFrame().empty());
        // Every image drawn had pixels.
        for (auto call : {RecordingGraphics::Call::DrawSurface, RecordingGraphics::Call::DrawSurface2}) {
            for (const auto& r : game.graphics->Of(call)) EXPECT_NE(r.surface, nullptr);
        }
    }
}

}  // namespace
