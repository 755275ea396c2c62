// The host's worker threads, the music stream and the image decoder, in a
// program of its own, for what ends a process. Modes:
//   fault music|images  a fault on that thread while the main thread waits
//                       (for ever, or for the image being decoded)
//   close-locked        a streaming device destroyed by the collector inside
//                       another device's sound call
//   stress              play, pause, resume, suspend, stop, collector cycles
//                       and image lists replaced while they decode, many
//                       times over; then the program's exit while both
//                       threads work
// It makes its files in the working folder and prints what it got through.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "host/audio_device.h"
#include "host/image_files.h"
#include "runtime/diagnostics.h"
#include "runtime/gc.h"
#include "tests/support/sound_files.h"
#include "tools/datagen/png_writer.h"

namespace {

float Noise(long i, int c) {  // costs the decoder something
    return static_cast<float>((static_cast<unsigned>(i * 2 + c) * 2654435761u) >> 8 & 0xffff) / 131072.0f - 0.25f;
}

const std::vector<std::string> kImages = {"a.png", "b.png", "c.png", "d.png"};

void MakeFiles() {
    std::ofstream("tune.ogg", std::ios::binary) << sound_files::EncodeOgg(2, 44100, 88200, Noise);
    std::ofstream("short.ogg", std::ios::binary) << sound_files::EncodeOgg(2, 44100, 4410, Noise);
    // A second link of another layout: the stream stops there.
    std::ofstream("damaged.ogg", std::ios::binary)
        << sound_files::EncodeOgg(2, 44100, 8820, Noise) + sound_files::EncodeOgg(1, 22050, 4410, Noise, 2);
    sound_files::Wav wav;
    for (long i = 0; i < 4410; ++i) wav.data += sound_files::Le(static_cast<std::uint32_t>(Noise(i, 0) * 30000), 2);
    std::ofstream("blip.wav", std::ios::binary) << wav.Build();
    for (std::size_t n = 0; n < kImages.size(); ++n) {
        const int size = 64 << n;
        Image image(size, size);
        for (int i = 0; i < size * size; ++i) {
            const auto v = static_cast<std::uint8_t>((static_cast<unsigned>(i) * 2654435761u) >> 24);
            image.Set(i % size, i / size, {v, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i / size), v});
        }
        WritePng(kImages[n], image);
    }
}

std::vector<String> List(std::initializer_list<int> picks) {
    std::vector<String> list;
    for (int n : picks) list.push_back(String(kImages[static_cast<std::size_t>(n)].c_str()));
    return list;
}

// The next image decoded ahead: that of `path` (waiting for it), or the one
// done if any.
bool TakeImage(const String* path) {
    std::string file;
    unsigned char* pixels = nullptr;
    int w = 0, h = 0, d = 0;
    const bool taken = path ? orvTakeImageDecodedAhead(*path, &pixels, &w, &h, &d)
                            : orvTakeImageIfDecoded(&file, &pixels, &w, &h, &d);
    orvFreeImageDecodedAhead(pixels, w, h, d);
    return taken;
}

const char* fault_on = "";

void FaultOnThatThread(const char* name) {
    if (std::strcmp(name, fault_on) == 0) std::raise(SIGSEGV);
}

gxtkAudio* rooted = nullptr;

void Stress() {
    gxtkAudio* audio = rooted = new gxtkAudio();
    gc_stress = true;  // each step a whole cycle: what `rooted` does not reach is destroyed
    gc_mark();
    std::mt19937 random(20261207);
    const std::vector<String> lists[] = {List({0, 1, 2, 3}), List({3, 2, 1}), List({1, 3})};
    std::size_t list = 0, taken = 0;
    int rounds = 0;
    for (; rounds < 1500; ++rounds) {
        switch (random() % 12) {
            case 0: audio->PlayMusic(String("tune.ogg"), 1); break;
            case 1: audio->PlayMusic(String("short.ogg"), 0); break;
            case 2: audio->PlayMusic(String("damaged.ogg"), 1); break;
            case 3: audio->PauseMusic(); break;
            case 4: audio->ResumeMusic(); break;
            case 5: audio->Suspend(); break;
            case 6: audio->Resume(); break;
            case 7: audio->MusicState() == 0 ? audio->StopMusic() : 0; break;
            case 8: audio->PlaySample(audio->LoadSample(String("blip.wav")), static_cast<int>(random() % 4), 0); break;
            case 9: gc_collect_step(nullptr); break;
            case 10:  // a new list, often while the one before decodes
                orvDecodeImagesAhead(lists[list = random() % 3]);
                taken = 0;
                break;
            case 11:  // waiting for the next image, or only if it is done
                if (taken < lists[list].size() && random() % 2) TakeImage(&lists[list][taken++]);
                if (taken < lists[list].size()) taken += TakeImage(nullptr);
                break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
    }
    // Still whole: a tune plays to its end and is found ended.
    audio->Resume();
    audio->PlayMusic(String("short.ogg"), 0);
    while (audio->MusicState() != 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::printf("%d rounds\n", rounds);
    std::fflush(stdout);
    // The end comes while the tune streams and the images decode.
    audio->PlayMusic(String("tune.ogg"), 1);
    orvDecodeImagesAhead(lists[0]);
    std::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    gc_init();
    gc_roots = [] { gc_mark_q(rooted); };
    orvInstallSignalHandlers();
    MakeFiles();
    if (mode == "fault" && argc > 2) {
        fault_on = argv[2];
        orvOnWorkerThread = FaultOnThatThread;
        rooted = new gxtkAudio();
        rooted->PlayMusic(String("tune.ogg"), 1);
        orvDecodeImagesAhead(List({3}));
        const String image("d.png");
        TakeImage(&image);
        for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    if (mode == "close-locked") {
        gc_stress = false;  // dead objects are destroyed by later allocations
        (new gxtkAudio())->PlayMusic(String("tune.ogg"), 1);  // its thread streams; nothing keeps it
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // and is asleep between pieces
        rooted = new gxtkAudio();
        gc_mark();
        gc_new_bytes = GC_SWEEP_THRESHOLD + 1;  // this step sweeps
        gc_collect_step(nullptr);
        // The sample's allocation, with the lock held, destroys the other device.
        rooted->PlayMusic(String("blip.wav"), 1);
        std::puts("closed");
        return 0;
    }
    if (mode == "stress") Stress();
    std::fprintf(stderr, "unknown mode\n");
    return 2;
}
