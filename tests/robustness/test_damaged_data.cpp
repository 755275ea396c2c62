// The game and its music player on damaged data files: images, sounds,
// the level music, tune images and instrument samples that are empty, cut
// short or random bytes. Nothing crashes and loading runs to its end; an
// image slot stays empty (and draws nothing), a sound has no sample (and
// plays nothing), music that can't be decoded does not start (a cut one
// plays what is there), a tune image that can't be read decodes nothing
// (the cells of the tune before stay), and the game and the music go on.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/audio.h"
#include "framework/graphics.h"
#include "game/my_app.h"
#include "music/qn_player.h"
#include "tests/robustness/damage.h"
#include "tests/support/game_host.h"
#include "tests/support/null_audio.h"
#include "tests/support/recording_graphics.h"

namespace {

namespace fs = std::filesystem;
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
        SCOPED_TRACE(damage::kNames[static_cast<int>(kind)]);
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

// A player with devices that read the real files (of a mirrored data
// folder), on the host clock of a game host that is never started.
struct Player {
    Player() {
        damage::MirrorData(game.dir, DATA_DIR);
        gc_init();
        game.host = new OrvGlfwGame();
        orvInitFramework();
        orv_audio_SetAudioDevice(audio = new NullAudio());
        graphics = new RecordingGraphics();
        graphics->SetSize(640, 480);
        graphics->keep_all_frames = true;
        orv_graphics_SetGraphicsDevice(graphics);
        player = (new c_QnPlayer())->m_new();
        player->p_Qn_Init(32, 4, 3, 3, 4);
    }

    // Starts a tune and renders until its load has finished.
    void Load(const char* tune) {
        player->p_Qn_StartTune(String(tune), 37171650, 100);
        for (int frame = 0; frame < 30 && player->m_LoadStep != 0; ++frame) {
            graphics->BeginRender();
            orv_graphics_BeginRender();
            player->p_Qn_Alive_R();
            orv_graphics_EndRender();
            graphics->EndRender();
        }
        ASSERT_EQ(player->m_LoadStep, 0) << "loading did not finish";
    }

    // Plays for the given milliseconds, one update per 1/60 s, and returns
    // how many samples were started.
    long Play(int ms) {
        for (int t = 0; t < ms; t += 16) {
            game.fake.now += 1.0 / 60;
            player->p_Qn_Alive_U(0, 1);
        }
        return std::count_if(audio->calls.begin(), audio->calls.end(), [](auto& c) { return c.op == "PlaySample"; });
    }

    GameHost game;  // the folder, the window layer and its clock
    NullAudio* audio = nullptr;
    RecordingGraphics* graphics = nullptr;
    c_QnPlayer* player = nullptr;
};

template <class T>
std::vector<T> Copy(const Array<T>& a) { return std::vector<T>(a.begin(), a.end()); }

TEST(DamagedTunes, ADamagedTuneKeepsTheCellsBeforeAndSamplesThatCannotBeReadPlayNothing) {
    for (Kind kind : damage::kKinds) {
        SCOPED_TRACE(damage::kNames[static_cast<int>(kind)]);
        Player p;
        damage::DamageFile(p.game.dir, DATA_DIR, "tunes/Retro/Hopper.png", kind);
        // Every cell of a good tune reads as the loudest value.
        p.graphics->read_pixel = static_cast<int>(0xFF0000F8u);
        const auto decoded = [&] { return p.graphics->Of(RecordingGraphics::Call::ReadPixels).size(); };
        p.Load("Retro/Cavern Digger");
        ASSERT_NE(p.player->m_TuneImage, nullptr);
        EXPECT_EQ(decoded(), 63u);
        const std::vector<int> before = Copy(p.player->m_Song);

        p.Load("Retro/Hopper");
        EXPECT_EQ(p.player->m_TuneImage, nullptr);
        EXPECT_EQ(decoded(), 63u);
        EXPECT_EQ(Copy(p.player->m_Song), before);
        EXPECT_EQ(Copy(p.player->m_MaxPattern), std::vector<int>(8));
        // The old cells play with the new tune's (undamaged) instruments.
        EXPECT_GT(p.Play(2000), 0);

        // Then every instrument sample damaged: a good tune loads and plays
        // on in silence.
        std::uint32_t seed = 2;
        for (const auto& entry : fs::directory_iterator(fs::path(DATA_DIR) / "inst")) {
            damage::DamageFile(p.game.dir, DATA_DIR, "inst/" + entry.path().filename().string(), kind, seed++);
        }
        p.Load("Retro/Cavern Digger");
        for (int k = 1; k <= 8; ++k) EXPECT_TRUE(!p.player->m_DrumsA[k] && !p.player->m_DrumsB[k]) << k;
        for (int i : {2, 3, 4}) EXPECT_EQ(p.player->m_Instruments[i], nullptr);
        p.audio->calls.clear();
        EXPECT_EQ(p.Play(10000), 0);  // several bars
        EXPECT_EQ(p.player->m_State, 2);
    }
}

}  // namespace
