// Plays one scenario on the audio device as a program of its own, so the
// test chooses the OpenAL output through the environment and gets a
// complete capture file once the device is closed.
// Usage: audio_probe SCENARIO DIR. Input sounds are written into DIR. Prints
// "at NAME SECONDS" (time of an action since the device opened) and
// "value NAME N" lines.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/audio_device.h"
#include "host/host_game.h"
#include "tests/host/audio_test_util.h"

void orvInit() {}
int orvMain() { return 0; }

namespace {

using Clock = std::chrono::steady_clock;

std::string dir;
gxtkAudio* audio = nullptr;
Clock::time_point start;

String Path(const char* name) { return String((dir + "/" + name).c_str()); }

void Value(const char* name, int v) { std::printf("value %s %d\n", name, v); }

// Runs each action at its time and reports when it actually ran.
void Timeline(const std::vector<std::pair<double, std::pair<const char*, std::function<void()>>>>& steps) {
    for (const auto& step : steps) {
        std::this_thread::sleep_until(start + std::chrono::duration<double>(step.first));
        step.second.second();
        std::printf("at %s %.4f\n", step.second.first,
                    std::chrono::duration<double>(Clock::now() - start).count());
    }
}

void VolumeAndRate() {
    audio_test::WriteTone(dir + "/tone.wav", 440, 1.0);
    gxtkSample* tone = audio->LoadSample(Path("tone.wav"));
    Timeline({
        {0.05, {"ref", [&] { audio->PlaySample(tone, 0, 0); }}},
        {0.30, {"fast", [&] {
                    audio->SetVolume(0, 0.5f);
                    audio->SetRate(0, 2.0f);
                    audio->PlaySample(tone, 0, 0);
                }}},
        {0.55, {"stop", [&] { audio->StopChannel(0); }}},
        {0.60, {"end", [] {}}},
    });
}

void Pan() {
    audio_test::WriteTone(dir + "/tone.wav", 440, 1.0);
    gxtkSample* tone = audio->LoadSample(Path("tone.wav"));
    Timeline({
        {0.05, {"right", [&] {
                    audio->SetPan(0, 1.0f);
                    audio->PlaySample(tone, 0, 0);
                }}},
        {0.30, {"left", [&] {
                    audio->SetPan(0, -1.0f);
                    audio->PlaySample(tone, 0, 0);
                }}},
        {0.55, {"stop", [&] { audio->StopChannel(0); }}},
        {0.60, {"end", [] {}}},
    });
}

void LoopAndStop() {
    audio_test::WriteTone(dir + "/short.wav", 440, 0.15);
    gxtkSample* tone = audio->LoadSample(Path("short.wav"));
    Timeline({
        {0.05, {"loop", [&] { audio->PlaySample(tone, 1, 1); }}},
        {0.45, {"stop", [&] {
                    Value("state-before-stop", audio->ChannelState(1));
                    audio->StopChannel(1);
                }}},
        {0.65, {"once", [&] { audio->PlaySample(tone, 2, 0); }}},
        {0.95, {"end", [] {}}},
    });
}

void MusicWithEffect() {
    std::vector<int> left, stereo;
    audio_test::AppendTone(left, 300, 1.0, 0.4);
    for (int s : left) {
        stereo.push_back(s);
        stereo.push_back(s);
    }
    audio_test::WriteWav(dir + "/music.wav", 2, 44100, 16, stereo);
    audio_test::WriteTone(dir + "/effect.wav", 1000, 1.0);
    gxtkSample* effect = audio->LoadSample(Path("effect.wav"));
    Timeline({
        {0.05, {"music", [&] { Value("music", audio->PlayMusic(Path("music.wav"), 1)); }}},
        {0.25, {"effect", [&] { audio->PlaySample(effect, 0, 0); }}},
        {0.45, {"missing", [&] {
                    Value("missing", audio->PlayMusic(Path("none.wav"), 1));
                    audio->StopChannel(0);
                }}},
        {0.60, {"end", [] {}}},
    });
}

void PauseAndResume() {
    std::vector<int> s;
    audio_test::AppendTone(s, 400, 0.35, 0.4);
    audio_test::AppendTone(s, 800, 0.3, 0.4);
    audio_test::WriteWav(dir + "/two.wav", 1, 44100, 16, s);
    gxtkSample* two = audio->LoadSample(Path("two.wav"));
    Timeline({
        {0.05, {"play", [&] { audio->PlaySample(two, 0, 0); }}},
        {0.20, {"pause", [&] {
                    audio->PauseChannel(0);
                    Value("paused-state", audio->ChannelState(0));
                }}},
        {0.40, {"resume", [&] { audio->ResumeChannel(0); }}},
        {0.95, {"end", [] {}}},
    });
}

// Every operation once, with no output device behind it.
void NoDevice() {
    audio_test::WriteTone(dir + "/tone.wav", 440, 0.05);
    gxtkSample* tone = audio->LoadSample(Path("tone.wav"));
    Value("loaded", tone != nullptr);
    Value("buffer", tone ? static_cast<int>(tone->buffer) : -1);
    Value("missing-loaded", audio->LoadSample(Path("none.wav")) != nullptr);
    audio->SetVolume(3, 0.5f);
    audio->SetPan(3, 1.0f);
    audio->SetRate(3, 2.0f);
    audio->PlaySample(tone, 3, 1);
    audio->PlaySample(nullptr, 4, 0);
    audio->Suspend();
    audio->Resume();
    audio->PauseChannel(3);
    audio->ResumeChannel(3);
    Value("state", audio->ChannelState(3));
    audio->StopChannel(3);
    Value("music", audio->PlayMusic(Path("tone.wav"), 1));
    audio->SetMusicVolume(0.5f);
    audio->PauseMusic();
    audio->ResumeMusic();
    Value("music-state", audio->MusicState());
    audio->StopMusic();
    Value("missing-music", audio->PlayMusic(Path("none.wav"), 1));
    if (tone) tone->Discard();
    audio->FlushDiscarded();
    audio->mark();
    Value("done", 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string scenario = argv[1];
    dir = argv[2];
    gc_init();
    new OrvGlfwGame();  // the host that decodes sound files
    audio = new gxtkAudio();
    start = Clock::now();
    if (scenario == "volume-rate") {
        VolumeAndRate();
    } else if (scenario == "pan") {
        Pan();
    } else if (scenario == "loop-stop") {
        LoopAndStop();
    } else if (scenario == "music") {
        MusicWithEffect();
    } else if (scenario == "pause") {
        PauseAndResume();
    } else if (scenario == "no-device") {
        NoDevice();
    } else {
        return 2;
    }
    audio->Close();
    return 0;
}
