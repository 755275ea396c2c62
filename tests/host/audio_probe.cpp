// Plays on the audio device as a program of its own, so that the test chooses
// the OpenAL output through the environment and gets the capture file the
// device completes when it is closed. Run in a folder holding loop.ogg: streams
// 1.2 s of it, paused for 0.3 s, 0.8 s more, then stopped for 0.2 s, timed by
// a silent sound's position (paced by the output, not by the wall clock); then
// ends through the app's end, leaving the device open.
#include <chrono>
#include <thread>

#include "framework/app.h"
#include "host/audio_device.h"
#include "tests/host/audio_test_util.h"

namespace {

gxtkAudio* audio = nullptr;

void WaitMixed(double seconds) {
    while (audio->Inspect(0).sampleOffset < seconds * 44100) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

}  // namespace

int main() {
    gc_init();
    audio = new gxtkAudio();
    audio_test::WriteTone("clock.wav", {{0, 3.0}});
    audio->PlaySample(audio->LoadSample(String("clock.wav")), 0, 0);
    audio->PlayMusic(String("loop.ogg"), 1);
    WaitMixed(1.2);
    audio->PauseMusic();
    WaitMixed(1.5);
    audio->ResumeMusic();
    WaitMixed(2.3);
    audio->StopMusic();
    WaitMixed(2.5);
    orv_app_EndApp();
}
