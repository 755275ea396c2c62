// A game object without a host, for the screens and the save data: the
// stored state lives in memory, keys go to a plain input device, sounds to a
// recording audio device, and the pointer is set the way the update's
// pointer step sets it.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/audio.h"
#include "framework/input.h"
#include "game/my_app.h"
#include "host/host_game.h"
#include "tests/game/values.h"
#include "tests/support/null_audio.h"

// The host's stored-state slot, in memory (or, on request, the host's own
// state file); a save can be made to fail.
class MemoryState : public OrvGame {
public:
    std::string stored;
    int saves = 0;
    bool fail = false;
    bool onDisk = false;

    int SaveState(String state) override {
        ++saves;
        if (onDisk) return OrvGame::SaveState(state);
        if (fail) return -1;
        stored = state.ToUtf8();
        return 0;
    }
    String LoadState() override { return onDisk ? OrvGame::LoadState() : String(stored.c_str()); }
};

struct Glyph {
    float x, y;
    char c;
};

class WindowlessGame : public ::testing::Test {
protected:
    MemoryState state;  // before orvInit, which takes the host object
    NullAudio* audio = nullptr;
    c_MyApp* app = nullptr;

    void SetUp() override {
        gc_init();
        orvInit();
        auto* input = (new c_InputDevice())->m_new();
        for (int port = 0; port < 4; ++port) gc_assign(input->m__joyStates[port], (new c_JoyState())->m_new());
        gc_assign(orv_input_device, input);
        audio = new NullAudio();
        orv_audio_SetAudioDevice(audio);
        app = new c_MyApp();
        // What creation and the loader leave behind, without loading a file.
        app->m_Mode = 1;
        app->m_GameType = 2;
        app->m_MenuSlide = -32;
        app->m_PauseOpen = -1;
        app->m_PauseY = -64;
        app->m_Settings[5] = 1;
        for (int i = 0; i <= 32; ++i) app->m_ChanOrder[i] = i;
        app->m_Font = 90;
        for (auto [slot, w, h, frames] : {std::array{90, 7, 10, 128}, {93, 256, 256, 1}, {95, 64, 64, 16},
                                          {97, 32, 32, 16}}) {
            app->m_ImgInfo[slot * 3] = w;
            app->m_ImgInfo[slot * 3 + 1] = h;
            app->m_ImgInfo[slot * 3 + 2] = frames;
        }
        app->m_ImgScale = 1;
        Screen(640, 480);
        for (int i = 0; i < 10; ++i) app->m_TouchX[i] = app->m_TouchY[i] = kAbsentInt;
        app->p_ResetDraw();
    }

    void Screen(float w, float h) {
        orv_Kemp_jscrw = w;
        orv_Kemp_jscrh = h;
        app->m_Landscape = w >= h ? 1 : 0;
    }

    void Key(int code, bool down) { orv_input_device->p_KeyEvent(down ? 1 : 2, code); }

    // The pointer as the update's pointer step leaves it: slot 0 is the mouse,
    // and a new press does not jump.
    void Pointer(int x, int y, bool down) {
        const bool pressed = down && app->m_MouseWasDown == 0;
        app->m_MouseLastX = pressed ? x : app->m_MouseX;
        app->m_MouseLastY = pressed ? y : app->m_MouseY;
        app->m_MouseX = x;
        app->m_MouseY = y;
        app->m_MouseDown = app->m_MouseWasDown = app->m_TouchDown[0] = down ? 1 : 0;
        app->m_TouchX[0] = down ? x : kAbsentInt;
        app->m_TouchY[0] = down ? y : kAbsentInt;
        if (!down) app->m_TouchLatch = 0;
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

    int AudioCalls(const std::string& op) const {
        return static_cast<int>(std::count_if(audio->calls.begin(), audio->calls.end(),
                                              [&](const NullAudio::Call& call) { return call.op == op; }));
    }

    // Command records of the draw list.
    const float* Command(int i) const { return &app->m_DrawList[i * 15]; }
    int Commands() const { return app->m_DrawCount / 15; }

    // The rectangles drawn in the given colour, as x, y, w, h.
    std::vector<std::vector<float>> Rects(float r, float g, float b) const {
        std::vector<std::vector<float>> out;
        for (int i = 0; i < Commands(); ++i) {
            const float* c = Command(i);
            if (c[0] == -3717.0f && c[10] == r && c[11] == g && c[12] == b) out.push_back({c[1], c[2], c[4], c[5]});
        }
        return out;
    }

    // The glyphs of the text font, in drawing order.
    std::vector<Glyph> Glyphs() const {
        std::vector<Glyph> out;
        for (int i = 0; i < Commands(); ++i) {
            const float* c = Command(i);
            if (c[0] == 90) out.push_back({c[1], c[2], static_cast<char>(static_cast<int>(c[6]) + 32)});
        }
        return out;
    }

    // Every drawn text line (spaces are not drawn), top to bottom.
    std::vector<std::string> TextLines(float minX = -1e9f, float maxX = 1e9f) const {
        std::vector<std::pair<float, std::string>> lines;
        for (const Glyph& g : Glyphs()) {
            if (g.x < minX || g.x > maxX) continue;
            if (lines.empty() || lines.back().first != g.y) lines.push_back({g.y, ""});
            lines.back().second += g.c;
        }
        std::vector<std::string> out;
        for (auto& line : lines) out.push_back(line.second);
        return out;
    }

    bool Drew(const std::string& text) const {
        for (const std::string& line : TextLines()) {
            if (line.find(text) != std::string::npos) return true;
        }
        return false;
    }
};
