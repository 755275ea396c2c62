// Sound loading, restarting a busy channel and random draws.
// Run on OpenAL's silent output: ALSOFT_DRIVERS=null bench_audio (set here
// when the environment does not choose).
#include <unistd.h>
#include <vorbis/vorbisenc.h>

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

void orvInit() {}
int orvMain() { return 0; }

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

float Music(long i, int channel, long rate) {
    const double t = static_cast<double>(i) / static_cast<double>(rate);
    return static_cast<float>(0.3 * std::sin(2 * M_PI * (220 + 110 * channel) * t) * (0.6 + 0.4 * std::sin(3 * t)));
}

// 16-bit stereo PCM at 44100 Hz, `bytes` of sample data.
void WriteWav(const std::string& path, std::uint32_t bytes) {
    std::string b = "RIFF";
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b += static_cast<char>(v >> (8 * i));
    };
    auto u16 = [&](unsigned v) {
        b += static_cast<char>(v);
        b += static_cast<char>(v >> 8);
    };
    u32(36 + bytes);
    b += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(2);
    u32(44100);
    u32(44100 * 4);
    u16(4);
    u16(16);
    b += "data";
    u32(bytes);
    for (std::uint32_t i = 0; i < bytes / 4; ++i) {
        for (int c = 0; c < 2; ++c) u16(static_cast<unsigned>(static_cast<int>(Music(i, c, 44100) * 32767)) & 0xffff);
    }
    std::ofstream(path, std::ios::binary) << b;
}

// A stereo Ogg Vorbis stream of `seconds` at 44100 Hz.
void WriteOgg(const std::string& path, int seconds) {
    const long rate = 44100;
    vorbis_info vi;
    vorbis_info_init(&vi);
    vorbis_encode_init_vbr(&vi, 2, rate, 0.4f);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1);
    std::ofstream out(path, std::ios::binary);
    ogg_page page;
    auto write = [&] {
        out.write(reinterpret_cast<char*>(page.header), page.header_len);
        out.write(reinterpret_cast<char*>(page.body), page.body_len);
    };
    ogg_packet header, comment, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &code);
    while (ogg_stream_flush(&os, &page)) write();
    auto drain = [&] {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) write();
            }
        }
    };
    const long frames = rate * seconds;
    for (long done = 0; done < frames;) {
        const int n = static_cast<int>(std::min(1024L, frames - done));
        float** buffer = vorbis_analysis_buffer(&vd, n);
        for (int i = 0; i < n; ++i) {
            for (int c = 0; c < 2; ++c) buffer[c][i] = Music(done + i, c, rate);
        }
        vorbis_analysis_wrote(&vd, n);
        drain();
        done += n;
    }
    vorbis_analysis_wrote(&vd, 0);
    drain();
    while (ogg_stream_flush(&os, &page)) write();
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
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
    new OrvGlfwGame();
    gxtkAudio* audio = new gxtkAudio();
    if (!audio->alcContext) std::printf("(no OpenAL context: figures without a device)\n");

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
