// Plays on the audio device as a program of its own, so the test chooses
// the OpenAL output through the environment and gets a complete capture file
// once the device is closed.
// Usage: audio_probe play|no-device, in a folder it writes its sounds into.
// "play" prints "at NAME BEFORE AFTER": the output frames mixed just before
// and just after an action, and ends through the app's end, leaving the
// device open. "no-device" prints "value NAME N" lines.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "framework/app.h"
#include "host/audio_device.h"
#include "tests/host/audio_test_util.h"

namespace {

gxtkAudio* audio = nullptr;

String Tone(const char* name, std::initializer_list<std::pair<double, double>> parts) {
    audio_test::WriteTone(name, parts);
    return String(name);
}

// A silent sound on a channel of its own counts the frames the output has
// mixed since it started: the timeline is paced by what the output has
// really done, not by the wall clock, which a busy machine lets run ahead of
// the mixer.
const int kClock = 31;
const int kRate = 44100;
int last = 0;

int Mixed() {
    const gxtkAudio::SourceInfo clock = audio->Inspect(kClock);
    if (clock.alState != gxtkAudio::SourceInfo::Playing) {
        std::printf("the clock sound does not play\n");
        std::exit(3);
    }
    return clock.sampleOffset;
}

void StartClock() {
    audio->PlaySample(audio->LoadSample(Tone("clock.wav", {{0, 12.0}})), kClock, 0);
    while (Mixed() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    last = Mixed();
}

void WaitMixed(double seconds) {
    while (Mixed() < last + static_cast<int>(seconds * kRate)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Once the output has mixed `seconds` since the previous action, runs this
// one and notes where in the output it falls.
template <class Act>
void At(const char* name, double seconds, Act act) {
    WaitMixed(seconds);
    const int before = Mixed();
    act();
    last = Mixed();
    std::printf("at %s %d %d\n", name, before, last);
}

// One setting after another, each heard long enough for the test to measure
// it clear of the actions around it; then the app ends.
[[noreturn]] void Play() {
    gxtkSample* tone = audio->LoadSample(Tone("tone.wav", {{440, 2.0}}));
    StartClock();
    At("ref", 0.0, [&] { audio->PlaySample(tone, 0, 0); });
    At("fast", 0.25, [&] {
        audio->SetVolume(0, 0.5f);
        audio->SetRate(0, 2.0f);
    });
    At("right", 0.25, [&] {
        audio->SetVolume(0, 1.0f);
        audio->SetRate(0, 1.0f);
        audio->SetPan(0, 1.0f);
    });
    At("left", 0.25, [&] { audio->SetPan(0, -1.0f); });
    At("end", 0.25, [] {});
    orv_app_EndApp();
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
    audio = new gxtkAudio();
    if (scenario == "play") Play();
    if (scenario != "no-device") return 2;
    NoDevice();
    audio->Close();
    return 0;
}
