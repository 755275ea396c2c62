// The two ways the game's tests run it. GameTest: the game object alone, with
// a plain input device whose keys, sticks and letters the test sets, sounds
// kept by a recording audio device, the stored state and the clock in
// memory, and readers for the recorded draw list. HostTest: the program's
// own game on the test host (tests/support/game_host.h).
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "framework/app.h"
#include "framework/input.h"
#include "framework/random.h"
#include "game/my_app.h"
#include "game/play_fields.h"
#include "tests/game/values.h"
#include "tests/support/game_host.h"
#include "tests/support/null_audio.h"

// The host's stored-state slot in memory (or, on request, the host's own
// state file), and a clock the test sets.
class MemoryHost : public OrvGame {
public:
    std::string stored;
    int saves = 0, ms = 0;
    bool onDisk = false;

    int SaveState(String state) override {
        ++saves;
        if (!onDisk) stored = state.ToUtf8();
        return onDisk ? OrvGame::SaveState(state) : 0;
    }
    String LoadState() override { return onDisk ? OrvGame::LoadState() : String(stored.c_str()); }
    int Millisecs() override { return ms; }
};

using Cells = std::vector<std::pair<int, int>>;

// The cells of a rectangle, corners included.
inline Cells Box(int x0, int y0, int x1, int y1) {
    Cells cells;
    for (int x = x0; x <= x1; ++x) for (int y = y0; y <= y1; ++y) cells.push_back({x, y});
    return cells;
}

// The music operations a device was asked for, each with its file if any.
inline std::vector<std::string> MusicCalls(const NullAudio& audio) {
    std::vector<std::string> out;
    for (const NullAudio::Call& c : audio.calls) {
        if (c.op.find("Music") != std::string::npos) out.push_back(c.op + (c.sample.empty() ? "" : " " + c.sample));
    }
    return out;
}

class GameTest : public ::testing::Test {
protected:
    MemoryHost host;  // before orvInit, which takes the host object
    NullAudio* audio = nullptr;
    c_MyApp* app = nullptr;

    // A fresh game object with what creation and the loader leave, without a
    // file: the title menu's start values, the image sizes, the font, and
    // sounds 1-21 and 95-99 (each sample named by its number).
    void SetUp() override {
        gc_init();
        orvInit();
        gc_assign(orv_input_device, (new c_InputDevice())->m_new());
        for (int i = 0; i < 4; ++i) gc_assign(orv_input_device->m__joyStates[i], (new c_JoyState())->m_new());
        orv_audio_SetAudioDevice(audio = new NullAudio());
        app = new c_MyApp();
        app->m_Mode = 1;
        app->m_GameType = 2;
        app->m_MenuSlide = -32;
        app->m_PauseOpen = -1;
        app->m_PauseY = -64;
        app->m_Settings[5] = 1;
        app->m_Font = 90;
        // Each image slot's frame width, frame height and frame count.
        for (auto [slot, w, h, frames] : {std::array{90, 7, 10, 128}, {1, 16, 16, 256}, {93, 256, 256, 1},
                                          {94, 32, 32, 16}, {95, 64, 64, 16}, {96, 8, 8, 256}, {97, 32, 32, 16}}) {
            std::copy_n(std::array{w, h, frames}.begin(), 3, &app->m_ImgInfo[slot * 3]);
        }
        app->m_ImgScale = 1;
        for (int n = 1; n <= 99; ++n) {
            if (n <= 21 || n >= 95) gc_assign(app->m_Sounds[n], (new c_Sound())->m_new(new NamedSample(String(n))));
        }
        for (int i = 0; i <= 32; ++i) app->m_ChanOrder[i] = i;
        for (int i = 0; i < 10; ++i) app->m_TouchX[i] = app->m_TouchY[i] = kAbsentInt;
        orv_Kemp_jscrw = 640;
        orv_Kemp_jscrh = 480;
        app->m_Landscape = 1;
        app->p_ResetDraw();
    }

    // ---- input
    void Key(int code, bool down) { orv_input_device->p_KeyEvent(down ? 1 : 2, code); }
    void Stick(int pad, float x, float y) {
        orv_input_device->m__joyStates[pad]->m_joyx[0] = x;
        orv_input_device->m__joyStates[pad]->m_joyy[0] = y;
    }
    void Chars(const char* text) {
        c_InputDevice* input = orv_input_device;
        if (input->m__charGet == input->m__charPut) input->m__charGet = input->m__charPut = 0;
        for (const char* c = text; *c; ++c) input->p_KeyEvent(3, *c);
    }
    // The pointer as the update's pointer step leaves it: slot 0 is the
    // mouse, and a new press does not jump.
    void Pointer(int x, int y, bool down) {
        const bool pressed = down && app->m_MouseWasDown == 0;
        app->m_MouseLastX = pressed ? x : app->m_MouseX;
        app->m_MouseLastY = pressed ? y : app->m_MouseY;
        app->m_MouseX = x;
        app->m_MouseY = y;
        app->m_MouseDown = app->m_MouseWasDown = app->m_TouchDown[0] = down ? 1 : 0;
        app->m_TouchX[0] = down ? x : kAbsentInt;
        app->m_TouchY[0] = down ? y : kAbsentInt;
    }
    // The update's latch step: released input frees the latches; an open
    // options box holds them.
    void Latches() {
        bool held = false;
        for (int action : {0, 3, 5, 8, 10, 11, 12, 13, 14, 15, 99}) held = held || app->p_PlayKeyAll(action, 1) != 0;
        if (!held) app->m_KeyLatch = 0;
        if (app->m_MouseDown == 0) app->m_TouchLatch = 0;
        if (app->m_OptionsOpen == 1) app->m_KeyLatch = app->m_TouchLatch = 1;
    }

    // ---- play
    // A new game of the given type, as the title menu starts it.
    void Start(int type) {
        app->m_GameType = type;
        app->m_Mode = 11;
        app->p_LoadGame();
    }
    // In-game updates, as the shell runs them.
    void Update(int count = 1) {
        for (int i = 0; i < count; ++i) {
            app->p_Game();
            app->p_InGame();
        }
    }
    void SkipIntro() {
        while (app->m_LevelIntro > 0) Update();
    }
    void Build(int level, int seedBase) {
        app->m_Level = level;
        app->m_SeedBase = seedBase;
        app->p_Garden();
    }
    int& Hedge(int x, int y) { return app->m_Garden[play::CellIndex(x, y) + play::kHedge]; }
    int& Content(int x, int y) { return app->m_Garden[play::CellIndex(x, y) + play::kContent]; }
    std::vector<int> Garden() const { return {app->m_Garden.begin(), app->m_Garden.end()}; }
    float& P(int index) { return app->m_Player[index]; }
    float* Enemy(int slot) { return &app->m_Enemies[slot * play::kEnemyRecord]; }

    // A garden of hedge with the given cells cut, no items, no ball, an open
    // home in the corner and no enemy; the player stands at (x, y). The board
    // has the layout of a 640 × 480 screen, for tests that run the enemies
    // without a whole update.
    void OpenGround(const Cells& cut, int px, int py) {
        for (auto [x, y] : Box(0, 0, 20, 12)) {
            Hedge(x, y) = 1;
            Content(x, y) = (x == 0 || y == 0 || x == 20 || y == 12) ? 16 : 0;
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
        app->m_BoardScale = 2;
        app->m_Tile = 32;
        app->m_BoardX = -4;
        app->m_BoardY = 56;
    }
    // An enemy standing at the centre of a cell.
    void PutEnemy(int slot, int x, int y, int dir = 0, int prev = 0, int steps = 0) {
        const std::array<int, 10> record = {1, x, y, 0, 0, 1, 0, dir, steps, prev};
        std::copy(record.begin(), record.end(), Enemy(slot));
    }

    // ---- the recorded draw list
    struct Command { float kind, x, y, rot, sx, sy, frame, alpha, r, g, b; };
    // The commands of one kind (an image slot, kAbsent for rectangles), or all.
    std::vector<Command> Drawn(float kind = 1e9f) const {
        std::vector<Command> out;
        for (int i = 0; i + 15 <= app->m_DrawCount; i += 15) {
            const float* c = &app->m_DrawList[i];
            if (kind != 1e9f && c[0] != kind) continue;
            out.push_back({c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[10], c[11], c[12]});
        }
        return out;
    }
    std::vector<Command> Rects(float r, float g, float b) const {
        std::vector<Command> out;
        for (const Command& c : Drawn(kAbsent)) if (c.r == r && c.g == g && c.b == b) out.push_back(c);
        return out;
    }
    // Every text line drawn from minX on, in drawing order: the glyphs of the
    // font (frame = code - 32) until the height changes. Spaces draw nothing.
    std::vector<std::string> TextLines(float minX = -1e9f) const {
        std::vector<std::string> lines;
        float y = 0;
        for (const Command& g : Drawn(90)) {
            if (g.x < minX) continue;
            if (lines.empty() || g.y != y) lines.emplace_back();
            y = g.y;
            lines.back() += static_cast<char>(g.frame + 32);
        }
        return lines;
    }
    std::string TextAt(float y) const {
        std::string text;
        for (const Command& g : Drawn(90)) text += g.y == y ? std::string(1, static_cast<char>(g.frame + 32)) : "";
        return text;
    }
    // The player's own sprite in the picture of the last update.
    Command PlayerSprite() const {
        const float x = app->m_Player[play::kScreenX], y = app->m_Player[play::kScreenY] - 0.3f * app->m_Tile;
        for (const Command& c : Drawn(1)) if (c.x == x && c.y == y) return c;
        return {};
    }
    int LiveParticles() const {
        int n = 0;
        for (int s = 0; s <= app->m_ParticleMax; ++s) n += app->m_Particles[s * 10] != 0 ? 1 : 0;
        return n;
    }

    // ---- sound
    struct Effect { int id; float rate, volume; };
    std::vector<Effect> Effects() const {
        std::vector<Effect> out;
        for (const NullAudio::Call& c : audio->calls) {
            if (c.op == "PlaySample") out.push_back({std::stoi(c.sample), 1, 1});
            if (c.op == "SetRate" && !out.empty()) out.back().rate = c.value;
            if (c.op == "SetVolume" && !out.empty()) out.back().volume = c.value;
        }
        return out;
    }
    // The last effect played (id 0 when none was).
    Effect LastEffect() const {
        const std::vector<Effect> effects = Effects();
        return effects.empty() ? Effect{0, 0, 0} : effects.back();
    }
    bool Played(int id) const {
        const std::vector<Effect> effects = Effects();
        return std::any_of(effects.begin(), effects.end(), [id](const Effect& e) { return e.id == id; });
    }
};

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        game.Start();
        app = static_cast<c_MyApp*>(orv_app__app);
        audio = dynamic_cast<NullAudio*>(game.audio);
    }
    // Updates until the loader is done, then one of the title screen.
    int Load() {
        int updates = 0;
        for (; app->m_LoadStage != 0 && updates < 100; ++updates) game.Update();
        game.Update();
        return updates;
    }
    GameHost game;
    c_MyApp* app = nullptr;
    NullAudio* audio = nullptr;
};
