// A music player outside the game: a host on the fake window system whose
// clock the test turns by hand, an audio device that records what the
// player asks of it, and a graphics device that records loads and clears.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/app.h"
#include "music/qn_player.h"
#include "tests/game/values.h"
#include "tests/support/fake_glfw.h"

namespace music_test {

struct AudioCall {
    std::string op;  // play, stop, volume, pan, rate
    int channel = 0;
    float value = 0;      // volume, pan, rate or play flags
    std::string sample;   // play: the file the sample came from
};

class RecordingSample : public gxtkSample {
public:
    explicit RecordingSample(std::string path) : path(std::move(path)) {}
    std::string path;
};

// Every sample "loads" unless its file is listed as missing.
class RecordingAudio : public gxtkAudio {
public:
    std::vector<std::string> loads;
    std::vector<std::string> missing;
    std::vector<AudioCall> calls;

    gxtkSample* LoadSample(String path) override {
        const std::string p = path.ToUtf8();
        loads.push_back(p);
        for (const std::string& m : missing) {
            if (p.find(m) != std::string::npos) return nullptr;
        }
        return new RecordingSample(p);
    }
    int PlaySample(gxtkSample* sample, int channel, int flags) override {
        calls.push_back({"play", channel, static_cast<float>(flags), static_cast<RecordingSample*>(sample)->path});
        return 0;
    }
    int StopChannel(int channel) override { return Log("stop", channel, 0); }
    int SetVolume(int channel, float v) override { return Log("volume", channel, v); }
    int SetPan(int channel, float v) override { return Log("pan", channel, v); }
    int SetRate(int channel, float v) override { return Log("rate", channel, v); }

    // The calls of one kind (all kinds when empty) on one channel (any when -1).
    std::vector<AudioCall> Of(const std::string& op, int channel = -1) const {
        std::vector<AudioCall> out;
        for (const AudioCall& c : calls) {
            if ((op.empty() || c.op == op) && (channel < 0 || c.channel == channel)) out.push_back(c);
        }
        return out;
    }

private:
    int Log(const char* op, int channel, float v) {
        calls.push_back({op, channel, v, ""});
        return 0;
    }
};

// No window: images never load; clears are counted.
class RecordingGraphics : public gxtkGraphics {
public:
    std::vector<std::string> loads;
    std::vector<std::string> clears;
    gxtkSurface* LoadSurface(String path) override {
        loads.push_back(path.ToUtf8());
        return nullptr;
    }
    int Cls(float r, float g, float b) override {
        clears.push_back(std::to_string(static_cast<int>(r)) + "," + std::to_string(static_cast<int>(g)) + "," +
                         std::to_string(static_cast<int>(b)));
        return 0;
    }
    // No context to set state in.
    int SetBlend(int) override { return 0; }
    int SetScissor(int, int, int, int) override { return 0; }
};

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        gc_init();
        previous_ = GlfwLayer::current;
        GlfwLayer::current = &clock;
        host = new OrvGlfwGame();
        orvInitFramework();
        audio = new RecordingAudio();
        orv_audio_SetAudioDevice(audio);
        graphics = new RecordingGraphics();
        orv_graphics_SetGraphicsDevice(graphics);
        player = (new c_QnPlayer())->m_new();
    }
    void TearDown() override {
        GlfwLayer::current = previous_;
        delete host;
    }

    // The host clock in milliseconds.
    int Now() { return orv_app_Millisecs(); }
    void SetNow(int ms) { clock.now = (ms + 0.5) / 1000.0; }
    void Advance(int ms) { SetNow(Now() + ms); }

    // A render frame around the player's loader, as the game's render does.
    void Render() {
        orv_graphics_BeginRender();
        player->p_Qn_Alive_R();
        orv_graphics_EndRender();
    }

    // The game's configuration, and a tune whose load has already finished.
    void StartLoaded(const char* name = "Retro/Hopper") {
        player->p_Qn_Init(32, 4, 3, 3, 4);
        player->p_Qn_StartTune(String(name), 37171650, 100);
        player->m_LoadStep = 0;
    }

    // Writes the four used cells of a row.
    void SetRow(int pattern, int voice, int step, int note, int volume, int fx = 0, int param = 0) {
        const int at = ((pattern * 512) + voice * 64 + step) * 8;
        player->m_Song[at] = note;
        player->m_Song[at + 1] = volume;
        player->m_Song[at + 2] = fx;
        player->m_Song[at + 3] = param;
    }

    FakeGlfw clock;
    OrvGlfwGame* host = nullptr;
    RecordingAudio* audio = nullptr;
    RecordingGraphics* graphics = nullptr;
    c_QnPlayer* player = nullptr;

private:
    GlfwLayer* previous_ = nullptr;
};

}  // namespace music_test
