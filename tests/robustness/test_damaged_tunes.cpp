// The music player on damaged tune images and instrument samples: loading
// runs to its end, a tune image that can't be read decodes nothing (the
// cells of the tune before stay), a sample that can't be read is not
// played, and playback goes on in silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/audio.h"
#include "framework/graphics.h"
#include "music/qn_player.h"
#include "tests/robustness/damage.h"
#include "tests/support/game_host.h"
#include "tests/support/null_audio.h"
#include "tests/support/recording_graphics.h"

namespace {

namespace fs = std::filesystem;
using damage::Kind;

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
        SCOPED_TRACE(damage::Name(kind));
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
