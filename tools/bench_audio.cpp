// Sound loading, restarting a busy channel and random draws.
// Run on OpenAL's silent output: ALSOFT_DRIVERS=null bench_audio (set here
// when the environment does not choose).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/random.h"
#include "host/audio_device.h"
#include "host/host_game.h"
#include "tests/support/sound_files.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

float Music(long i, int channel, long rate) {
    const double t = static_cast<double>(i) / static_cast<double>(rate);
    return static_cast<float>(0.3 * std::sin(2 * M_PI * (220 + 110 * channel) * t) * (0.6 + 0.4 * std::sin(3 * t)));
}

// 16-bit stereo PCM at 44100 Hz, `bytes` of sample data.
void WriteWav(const std::string& path, std::uint32_t bytes) {
    sound_files::Wav wav;
    wav.channels = 2;
    wav.rate = 44100;
    for (std::uint32_t i = 0; i < bytes / 4; ++i) {
        for (int c = 0; c < 2; ++c) {
            wav.data += sound_files::Le(static_cast<std::uint16_t>(static_cast<int>(Music(i, c, 44100) * 32767)), 2);
        }
    }
    std::ofstream(path, std::ios::binary) << wav.Build();
}

// A stereo Ogg Vorbis stream of `seconds` at 44100 Hz.
void WriteOgg(const std::string& path, int seconds) {
    std::ofstream(path, std::ios::binary) << sound_files::EncodeOgg(2, 44100, 44100L * seconds, [](long i, int c) {
        return Music(i, c, 44100);
    });
}

// Milliseconds per load, averaged over `runs`; each sample is given back at
// once so buffers do not pile up.
double LoadMs(gxtkAudio* audio, const std::string& path, int runs) {
    const String p(path.c_str());
    const auto start = Clock::now();
    for (int i = 0; i < runs; ++i) {
        gxtkSample* s = audio->LoadSample(p);
        if (!s) {
            std::printf("could not load %s\n", path.c_str());
            std::exit(1);
        }
        s->Discard();
    }
    const double ms = Since(start) * 1000 / runs;
    audio->FlushDiscarded();
    return ms;
}

}  // namespace

int main() {
    setenv("ALSOFT_DRIVERS", "null", 0);
    char name[] = "/tmp/vellumby-bench-audio-XXXXXX";
    if (!mkdtemp(name)) return 1;
    const std::string dir = name;
    WriteWav(dir + "/one-mb.wav", 1 << 20);
    WriteOgg(dir + "/thirty-s.ogg", 30);

    gc_init();
    gxtkAudio* audio = new gxtkAudio();
    if (!audio->HasOutput()) std::printf("(no OpenAL context: figures without a device)\n");

    std::printf("load 1 MB WAV (16-bit stereo, 5.9 s): %.2f ms\n", LoadMs(audio, dir + "/one-mb.wav", 50));
    std::printf("load 30 s Ogg (stereo, %ld KB): %.1f ms\n",
                static_cast<long>(std::filesystem::file_size(dir + "/thirty-s.ogg") / 1024),
                LoadMs(audio, dir + "/thirty-s.ogg", 3));

    // The channel is always busy: each start stops the sound before it.
    gxtkSample* a = audio->LoadSample(String((dir + "/one-mb.wav").c_str()));
    gxtkSample* b = audio->LoadSample(String((dir + "/one-mb.wav").c_str()));
    const int plays = 20000;
    auto start = Clock::now();
    for (int i = 0; i < plays; ++i) audio->PlaySample(i & 1 ? a : b, 0, 0);
    std::printf("PlaySample on a busy channel: %.2f us per call\n", Since(start) * 1e6 / plays);
    audio->StopChannel(0);

    const int draws = 100000000;
    double sum = 0;
    orv_random_Seed = 1234;
    start = Clock::now();
    for (int i = 0; i < draws; ++i) sum += orv_random_Rnd();
    const double seconds = Since(start);
    std::printf("orv_random_Rnd: %.0f million draws/s (mean %.4f)\n", draws / seconds / 1e6, sum / draws);

    audio->Close();
    std::filesystem::remove_all(dir);
    return 0;
}
