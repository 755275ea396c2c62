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

c_MyApp* App() { return static_cast<c_MyApp*>(orv_app__app); }

// A game whose data folder has the given files damaged, started and run
// until its loader has finished.
void StartDamaged(GameHost& game, const std::vector<std::string>& files, Kind kind) {
    damage::MirrorData(game.dir, DATA_DIR);
    std::uint32_t seed = 1;
    for (const std::string& file : files) damage::DamageFile(game.dir, DATA_DIR, file, kind, seed++);
    game.Start();
    for (int i = 0; i < 40 && App()->m_LoadStage != 0; ++i) game.Frame();
    ASSERT_EQ(App()->m_LoadStage, 0) << "the loader did not finish";
}

TEST(DamagedData, ImagesLeaveTheirSlotsEmptyAndTheGameGoesOn) {
    for (Kind kind : damage::kKinds) {
        SCOPED_TRACE(damage::Name(kind));
        GameHost game;
        // The game's sprites, the title menu, the logo and both fonts (the
        // framework's default font and the game's text font).
        // Every resolution of each.
        std::vector<std::string> files = {"trel_font.png"};
        for (const char* name : {"gfx", "menu", "common/QEVLLogo", "fonts/editundo"}) {
            for (const char* suffix : {"", "-hd", "-hd2"}) files.push_back(std::string(name) + suffix + ".png");
        }
        StartDamaged(game, files, kind);
        c_MyApp* app = App();
        for (int slot : {1, 99, 93, 90}) EXPECT_EQ(app->m_Images[slot], nullptr) << slot;
        for (int slot : {80, 91, 94, 95, 96, 97, 98}) EXPECT_NE(app->m_Images[slot], nullptr) << slot;
        EXPECT_EQ(orv_graphics_context->m_Font, nullptr);
        // The hit tests still see the sizes asked for.
        EXPECT_EQ((std::vector<int>{app->m_ImgInfo[3], app->m_ImgInfo[4], app->m_ImgInfo[5], app->m_ImgInfo[3 * 90]}),
                  (std::vector<int>{16 * app->m_HdLevel, 16 * app->m_HdLevel, 256, 7}));

        game.Frame(120);  // two seconds of the title screen
        game.Press(13);  // Enter: pick the first game type
        game.Frame(60);
        EXPECT_FALSE(game.graphics->LastFrame().empty());
        // Every image drawn had pixels.
        for (auto call : {RecordingGraphics::Call::DrawSurface, RecordingGraphics::Call::DrawSurface2}) {
            for (const auto& r : game.graphics->Of(call)) EXPECT_NE(r.surface, nullptr);
        }
    }
}

TEST(DamagedData, SoundsHaveNoSampleAndPlayNothing) {
    for (Kind kind : damage::kKinds) {
        SCOPED_TRACE(damage::Name(kind));
        GameHost game;
        // The logo jingle, the menus' confirm sound and the first game sound.
        StartDamaged(game, {"sfx/096.wav", "sfx/099.wav", "sfx/001.wav"}, kind);
        c_MyApp* app = App();
        for (int n : {96, 99, 1}) EXPECT_EQ(app->m_Sounds[n], nullptr) << n;
        for (int n : {2, 95, 98}) EXPECT_NE(app->m_Sounds[n], nullptr) << n;

        auto& calls = static_cast<NullAudio*>(game.audio)->calls;
        // The jingle was due in loader step 4: its channel was stopped and set
        // up, but nothing started on it.
        const auto played = [&](const char* file) {
            return std::count_if(calls.begin(), calls.end(), [&](const NullAudio::Call& c) {
                return c.op == "PlaySample" && c.sample.find(file) != std::string::npos;
            });
        };
        EXPECT_EQ(played("096.wav"), 0);
        const auto stop = std::find_if(calls.begin(), calls.end(),
                                       [](const NullAudio::Call& c) { return c.op == "StopChannel"; });
        ASSERT_NE(stop, calls.end());
        ASSERT_GE(calls.end() - stop, 4);
        EXPECT_EQ(stop[1].op, "SetRate");
        EXPECT_EQ(stop[2].op, "SetVolume");
        EXPECT_EQ(stop[3].op, "SetPan");

        app->p_PlaySFX2(99, 1);
        app->p_PlaySFX2(1, 1);
        game.Frame(60);
        EXPECT_EQ(played("099.wav") + played("001.wav"), 0);
    }
}

TEST(DamagedData, LevelMusicThatCannotBeDecodedDoesNotStartAndTheGameGoesOn) {
    for (Kind kind : damage::kKinds) {
        SCOPED_TRACE(damage::Name(kind));
        GameHost game;
        StartDamaged(game, {"sfx/Voduzozu.ogg"}, kind);
        auto& calls = static_cast<NullAudio*>(game.audio)->calls;
        calls.clear();
        App()->p_PlayTune(String("Voduzozu"), 1);
        const auto music = std::find_if(calls.begin(), calls.end(),
                                        [](const NullAudio::Call& c) { return c.op == "PlayMusic"; });
        ASSERT_NE(music, calls.end());
        // A cut stream still has its headers: the part that is there plays.
        EXPECT_EQ(music->result, kind == Kind::Truncated ? 0 : -1);
        game.Frame(60);
        App()->p_StopTune();
        game.Frame();
    }
}

}  // namespace
