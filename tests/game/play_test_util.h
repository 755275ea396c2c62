// A game object for play tests without a window: an input device whose keys
// and sticks the test sets directly, a sound device that only keeps a log,
// a clock the test moves, and readers for the recorded draw list.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "framework/audio.h"
#include "framework/input.h"
#include "framework/random.h"
#include "game/my_app.h"
#include "game/play_fields.h"
#include "host/audio_device.h"
#include "host/host_game.h"
#include "tests/game/values.h"

namespace playtest {

// A sample that knows its effect number.
class NumberedSample : public gxtkSample {
public:
    explicit NumberedSample(int id) : id(id) {}
    int id;
};

// Keeps what the game plays; nothing is sounded.
class SoundLog : public gxtkAudio {
public:
    struct Effect {
        int id, channel;
        float rate = 1, volume = 1;
    };
    std::vector<Effect> effects;
    std::vector<std::string> music;  // "play <path>" or "stop"

    int PlaySample(gxtkSample* sample, int channel, int) override {
        auto* numbered = dynamic_cast<NumberedSample*>(sample);
        effects.push_back({numbered ? numbered->id : -1, channel});
        return 0;
    }
    int StopChannel(int) override { return 0; }
    int SetRate(int channel, float rate) override { return Last(channel, &Effect::rate, rate); }
    int SetVolume(int channel, float volume) override { return Last(channel, &Effect::volume, volume); }
    int SetPan(int, float) override { return 0; }
    int PlayMusic(String path, int) override { return music.push_back("play " + path.ToUtf8()), 0; }
    int StopMusic() override { return music.push_back("stop"), 0; }
    int PauseMusic() override { return 0; }
    int ResumeMusic() override { return 0; }

    bool Played(int id) const {
        for (const Effect& e : effects) {
            if (e.id == id) return true;
        }
        return false;
    }

private:
    int Last(int channel, float Effect::*field, float v) {
        if (!effects.empty() && effects.back().channel == channel) effects.back().*field = v;
        return 0;
    }
};

// A host clock the test sets.
class ClockGame : public OrvGame {
public:
    int Millisecs() override { return ms; }
    int ms = 0;
};

using Cells = std::vector<std::pair<int, int>>;

// The cells of a rectangle, corners included.
inline Cells Box(int x0, int y0, int x1, int y1) {
    Cells cells;
    for (int x = x0; x <= x1; ++x) {
        for (int y = y0; y <= y1; ++y) cells.push_back({x, y});
    }
    return cells;
}

struct Play {
    c_MyApp* app = nullptr;
    SoundLog* sound = nullptr;
    ClockGame* clock = nullptr;

    // A fresh game object with the image sizes, font and sounds the game
    // loads, at the 640 × 480 virtual screen.
    Play() {
        gc_init();
        orvInit();
        clock = new ClockGame();
        orv_app__game = clock;
        gc_assign(orv_input_device, (new c_InputDevice())->m_new());
        for (int i = 0; i < 4; ++i) gc_assign(orv_input_device->m__joyStates[i], (new c_JoyState())->m_new());
        sound = new SoundLog();
        orv_audio_SetAudioDevice(sound);
        app = new c_MyApp();
        app->m_Font = 90;
        for (auto [slot, w, h, frames] : {std::array{90, 7, 10, 128}, {1, 16, 16, 256}, {94, 32, 32, 16},
                                          {96, 8, 8, 256}, {97, 32, 32, 16}}) {
            app->m_ImgInfo[slot * 3] = w;
            app->m_ImgInfo[slot * 3 + 1] = h;
            app->m_ImgInfo[slot * 3 + 2] = frames;
        }
        app->m_ImgScale = 1;
        app->m_Settings[5] = 1;
        for (int n = 1; n <= 99; ++n) {
            if (n <= 21 || n >= 95) gc_assign(app->m_Sounds[n], (new c_Sound())->m_new(new NumberedSample(n)));
        }
        for (int i = 0; i <= 32; ++i) app->m_ChanOrder[i] = i;
        for (int i = 0; i < 10; ++i) app->m_TouchX[i] = app->m_TouchY[i] = kAbsentInt;
        app->p_ResetDraw();
    }

    // A new game of the given type, as the title menu starts it.
    void Start(int type) {
        app->m_GameType = type;
        app->m_Mode = 11;
        app->p_LoadGame();
    }
    // One in-game update, as the shell runs it.
    void Update(int count = 1) {
        for (int i = 0; i < count; ++i) {
            app->p_Game();
            app->p_InGame();
        }
    }
    // Past the level intro (the level music has started).
    void SkipIntro() {
        while (app->m_LevelIntro > 0) Update();
    }

    void Key(int code, bool down) { orv_input_device->m__keyDown[code] = down; }
    void Stick(int pad, float x, float y) {
        orv_input_device->m__joyStates[pad]->m_joyx[0] = x;
        orv_input_device->m__joyStates[pad]->m_joyy[0] = y;
    }
    void Chars(const char* text) {
        c_InputDevice* input = orv_input_device;
        if (input->m__charGet == input->m__charPut) input->m__charGet = input->m__charPut = 0;
        for (const char* c = text; *c; ++c) input->m__charQueue[input->m__charPut++] = *c;
    }

    // Garden access.
    int& Hedge(int x, int y) { return app->m_Garden[play::CellIndex(x, y) + play::kHedge]; }
    int& Content(int x, int y) { return app->m_Garden[play::CellIndex(x, y) + play::kContent]; }
    std::vector<int> Garden() const { return {app->m_Garden.begin(), app->m_Garden.end()}; }
    float& P(int index) { return app->m_Player[index]; }
    float* Enemy(int slot) { return &app->m_Enemies[slot * play::kEnemyRecord]; }

    // A garden of hedge with the given cells cut, no items, no ball, an
    // empty home and no enemy waiting; the player stands at (x, y).
    void OpenGround(const Cells& cut, int px, int py) {
        for (int y = 0; y < 13; ++y) {
            for (int x = 0; x < 21; ++x) {
                Hedge(x, y) = 1;
                Content(x, y) = (x == 0 || y == 0 || x == 20 || y == 12) ? play::kBorder : 0;
            }
        }
        for (auto [x, y] : cut) Hedge(x, y) = 0;
        for (int s = 0; s < 10; ++s) Enemy(s)[0] = 0;
        app->m_EnemiesWaiting = app->m_LevelIntro = app->m_BallFlying = 0;
        app->m_HomeX = 1;
        app->m_HomeY = 11;
        app->m_HomeOpen = 1;  // keeps the opening sound out of the log
        P(play::kPX) = static_cast<float>(px);
        P(play::kPY) = static_cast<float>(py);
        P(play::kPDX) = P(play::kPDY) = P(play::kState) = P(play::kHolding) = 0;
    }
    // The board layout of a 640 × 480 screen, for tests that run the
    // enemies without a whole update.
    void BoardLayout() {
        app->m_BoardScale = 2;
        app->m_Tile = 32;
        app->m_BoardX = -4;
        app->m_BoardY = 56;
    }
    // Places an enemy standing at the centre of a cell.
    void PutEnemy(int slot, int x, int y, int dir = 0, int prev = 0, int steps = 0) {
        float* e = Enemy(slot);
        for (int i = 0; i < 10; ++i) e[i] = 0;
        e[play::kEActive] = e[play::kEReleased] = 1;
        e[play::kEX] = static_cast<float>(x);
        e[play::kEY] = static_cast<float>(y);
        e[play::kEDir] = static_cast<float>(dir);
        e[play::kEPrev] = static_cast<float>(prev);
        e[play::kESteps] = static_cast<float>(steps);
    }

    // The recorded draw list.
    struct Command {
        float kind, x, y, rot, sx, sy, frame, alpha, r, g, b;
    };
    std::vector<Command> Images(int slot = -1) const {
        std::vector<Command> list;
        for (int i = 0; i + 15 <= app->m_DrawCount; i += 15) {
            const float* c = &app->m_DrawList[i];
            if (slot < 0 || c[0] == static_cast<float>(slot)) {
                list.push_back({c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[10], c[11], c[12]});
            }
        }
        return list;
    }
    // The player's own sprite in the picture of the last update.
    Command PlayerSprite() const {
        for (const Command& c : Images(1)) {
            if (c.x == app->m_Player[play::kScreenX] && c.y == app->m_Player[play::kScreenY] - 0.3f * app->m_Tile) {
                return c;
            }
        }
        return {};
    }
    // The text the font commands of one line spell (glyph frame + 32).
    std::string TextAt(float y) const {
        std::string text;
        for (const Command& c : Images(90)) {
            if (c.y == y) text += static_cast<char>(c.frame + 32);
        }
        return text;
    }
    int LiveParticles() const {
        int n = 0;
        for (int s = 0; s <= app->m_ParticleMax; ++s) n += app->m_Particles[s * 10] != 0 ? 1 : 0;
        return n;
    }
};

// A fresh game object for each test.
class PlayTest : public ::testing::Test {
protected:
    Play play;
    c_MyApp* app = play.app;
};

}  // namespace playtest
