// Plays on the audio device as a program of its own, so that the test chooses
// the OpenAL output through the environment and gets the capture file the
// device completes when it is closed. Run in a folder holding loop.ogg: streams
// 1.2 s of it, paused for 0.3 s, 0.8 s more, then stopped for 0.2 s, timed by
// a silent sound's position (paced by the output, not by the wall clock); then
// ends through the app's end, leaving the device open.
#include <chrono>
#include <fstream>
#include <thread>

#include "framework/app.h"
#include "host/audio_device.h"
#include "tests/support/sound_files.h"

namespace {

gxtkAudio* audio = nullptr;

void WaitMixed(double seconds) {
    while (audio->Inspect(0).sampleOffset < seconds * 22050) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

}  // namespace

int main() {
    gc_init();
    audio = new gxtkAudio();
    sound_files::Wav clock;  // 3 s of silence
    clock.data = std::string(3 * 22050 * 2, '\0');
    std::ofstream("clock.wav", std::ios::binary) << clock.Build();
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
