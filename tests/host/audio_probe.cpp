// Plays on the audio device as a program of its own, so that the test chooses
// the OpenAL output through the environment and gets the capture file the
// device completes when it is closed. Run in a folder it writes its sound
// into: plays a tone until the output has mixed a fifth of a second of it
// (paced by the output, not by the wall clock), then ends through the app's
// end, leaving the device open.
#include <chrono>
#include <thread>

#include "framework/app.h"
#include "host/audio_device.h"
#include "tests/host/audio_test_util.h"

int main() {
    gc_init();
    auto* audio = new gxtkAudio();
    audio_test::WriteTone("tone.wav", {{440, 1.0}});
    audio->PlaySample(audio->LoadSample(String("tone.wav")), 0, 1);
    while (audio->Inspect(0).sampleOffset < 44100 / 5) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    orv_app_EndApp();
}
