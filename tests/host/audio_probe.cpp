// Plays on the audio device as a program of its own, so the test chooses
// the OpenAL output through the environment and gets a complete capture file
// once the device is closed.
// Usage: audio_probe play|no-device, in a folder it writes its sounds into.
// "play" prints "at NAME SECONDS" (when an action runs, since the timeline
// started); "no-device" prints "value NAME N" lines.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "host/audio_device.h"
#include "host/host_game.h"
#include "tests/host/audio_test_util.h"

namespace {

gxtkAudio* audio = nullptr;

String Tone(const char* name, std::initializer_list<std::pair<double, double>> parts) {
    audio_test::WriteTone(name, parts);
    return String(name);
}

std::chrono::steady_clock::time_point start;

// Waits until `seconds` into the timeline, then notes the time as `name`'s.
void At(double seconds, const char* name) {
    std::this_thread::sleep_until(start + std::chrono::duration<double>(seconds));
    std::printf("at %s %.4f\n", name, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

// One setting after another, each heard long enough for the test to measure
// it clear of the actions around it.
void Play() {
    gxtkSample* tone = audio->LoadSample(Tone("tone.wav", {{440, 2.0}}));
    gxtkSample* blip = audio->LoadSample(Tone("blip.wav", {{440, 0.15}}));
    gxtkSample* effect = audio->LoadSample(Tone("effect.wav", {{1000, 0.35}}));
    const String music = Tone("music.wav", {{300, 1.0}});
    const String two = Tone("two.wav", {{400, 0.35}, {800, 0.3}});
    start = std::chrono::steady_clock::now();

    At(0.05, "ref");
    audio->PlaySample(tone, 0, 0);

    At(0.30, "fast");
    audio->SetVolume(0, 0.5f);
    audio->SetRate(0, 2.0f);

    At(0.55, "right");
    audio->SetVolume(0, 1.0f);
    audio->SetRate(0, 1.0f);
    audio->SetPan(0, 1.0f);

    At(0.80, "left");
    audio->SetPan(0, -1.0f);

    At(1.05, "loop");
    audio->StopChannel(0);
    audio->PlaySample(blip, 1, 1);

    At(1.45, "stop");
    audio->StopChannel(1);

    At(1.65, "music");
    audio->PlayMusic(music, 1);

    At(1.85, "effect");
    audio->PlaySample(effect, 2, 0);

    At(2.25, "two");  // the effect has ended
    audio->PlayMusic(two, 0);

    At(2.40, "pause");
    audio->PauseMusic();

    At(2.60, "resume");
    audio->ResumeMusic();

    At(3.15, "end");
}

void Value(const char* name, int v) { std::printf("value %s %d\n", name, v); }

// Every operation once, with no output device behind it.
void NoDevice() {
    gxtkSample* tone = audio->LoadSample(Tone("tone.wav", {{440, 0.05}}));
    Value("loaded", tone != nullptr);
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
    Value("music", audio->PlayMusic(Tone("tune.wav", {{440, 0.05}}), 1));
    audio->SetMusicVolume(0.5f);
    audio->PauseMusic();
    audio->ResumeMusic();
    Value("music-state", audio->MusicState());
    audio->StopMusic();
    Value("missing-music", audio->PlayMusic(String("none.wav"), 1));
    if (tone) tone->Discard();
    audio->FlushDiscarded();
    audio->mark();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string scenario = argv[1];
    gc_init();
    new OrvGlfwGame();  // the host that decodes sound files
    audio = new gxtkAudio();
    if (scenario == "play") {
        Play();
    } else if (scenario == "no-device") {
        NoDevice();
    } else {
        return 2;
    }
    audio->Close();
    return 0;
}
