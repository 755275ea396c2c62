// A music player outside the game, on the test host's devices: the fake
// window system with a clock the test turns by hand, a folder holding the
// generated data, an audio device that keeps what the player asks of it and
// a drawing device that records loads, clears and read-backs.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/app.h"
#include "music/qn_player.h"
#include "tests/game/values.h"
#include "tests/support/game_host.h"
#include "tests/support/null_audio.h"

namespace music_test {

using Call = NullAudio::Call;

// Where cell 0 of voice v's row at step s of pattern p is kept.
inline int At(int p, int v, int s) { return ((p * 512) + v * 64 + s) * 8; }
// Five voices' entries of an array, from the given one.
inline std::vector<double> Voices(const Array<int>& a, int from = 0) {
    return Values(a[from], a[from + 1], a[from + 2], a[from + 3], a[from + 4]);
}

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        gc_init();
        game.host = new OrvGlfwGame();
        orvInitFramework();
        orv_audio_SetAudioDevice(audio = new NullAudio());
        orv_graphics_SetGraphicsDevice(graphics = new RecordingGraphics());
        graphics->SetSize(640, 480);
        player = (new c_QnPlayer())->m_new();
    }

    // The host clock in milliseconds.
    int Now() { return orv_app_Millisecs(); }
    void SetNow(int ms) { game.fake.now = (ms + 0.5) / 1000.0; }

    // A render frame around the player's loader, as the game's render does.
    void Render() {
        graphics->BeginRender();
        orv_graphics_BeginRender();
        player->p_Qn_Alive_R();
        orv_graphics_EndRender();
        graphics->EndRender();
    }

    // The game's configuration, and a tune whose load has already finished.
    void StartLoaded() {
        player->p_Qn_Init(32, 4, 3, 3, 4);
        player->p_Qn_StartTune(String("Retro/Hopper"), 37171650, 100);
        player->m_LoadStep = 0;
    }

    // Writes the four used cells of a row.
    void SetRow(int pattern, int voice, int step, int note, int volume, int fx = 0, int param = 0) {
        const int cells[] = {note, volume, fx, param};
        for (int k = 0; k < 4; ++k) player->m_Song[At(pattern, voice, step) + k] = cells[k];
    }

    // The audio calls of one operation, on one channel (any when -1).
    std::vector<Call> Of(const std::string& op, int channel = -1) const {
        std::vector<Call> out;
        for (const Call& c : audio->calls) {
            if (c.op == op && (channel < 0 || c.channel == channel)) out.push_back(c);
        }
        return out;
    }

    GameHost game;  // never started: the folder, the fake window layer and its clock
    NullAudio* audio = nullptr;
    RecordingGraphics* graphics = nullptr;
    c_QnPlayer* player = nullptr;
};

}  // namespace music_test
