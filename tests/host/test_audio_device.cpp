// The audio device: what really comes out (captured through OpenAL's WAV
// writer by a probe program), the channel states and buffers on OpenAL's
// silent output, the game delegate's suspension of sound, and the device
// with no output at all.
#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/audio.h"
#include "host/audio_device.h"
#include "host/host_game.h"
#include "tests/host/audio_test_util.h"
#include "tests/host/temp_files.h"
#include "tests/support/null_audio.h"
#include "tests/support/subprocess.h"

namespace audio_test {

// The program works in a fresh folder of its own, removed at exit (the name
// has no destructor to run before that).
void EnterWorkDir() {
    static char name[] = "/tmp/vellumby-audio-XXXXXX";
    [[maybe_unused]] static const bool entered = [] {
        if (!mkdtemp(name)) return false;
        std::filesystem::current_path(name);
        return std::atexit([] { std::filesystem::remove_all(name); }) == 0;
    }();
}

gc_object* extra_root = nullptr;

gxtkAudio* NullAudioDevice() {
    static gxtkAudio* device = [] {
        EnterWorkDir();
        // Before the first device is opened, and whatever the machine has.
        setenv("ALSOFT_DRIVERS", "null", 1);
        setenv("ALSOFT_CONF", "/dev/null", 1);
        gc_init();
        orvInitAudio();
        gc_roots = [] {
            orvMarkAudioRoots();
            gc_mark_q(extra_root);
        };
        gxtkAudio* opened = new gxtkAudio();
        orv_audio_SetAudioDevice(opened);
        return opened;
    }();
    for (int ch = 0; ch < gxtkAudio::kChannels; ++ch) device->StopChannel(ch);
    return device;
}

void FullCycle(gc_object* step_root) {
    const bool stress = gc_stress;
    gc_stress = true;
    gc_mark();
    gc_collect_step(step_root);
    gc_stress = stress;
}

}  // namespace audio_test

namespace {

using namespace audio_test;
using Info = gxtkAudio::SourceInfo;

ProcessResult RunProbe(const std::string& scenario, std::vector<std::string> env) {
    EnterWorkDir();
    ProcessOptions options;
    options.env = std::move(env);
    options.timeout_seconds = 20;
    return RunProcess({AUDIO_PROBE, scenario}, options);
}

// ---------------------------------------------------------------- output

const int kRate = 44100;
const double kSilence = 1e-3;
// Frames kept clear of each action: the output takes a change up at the
// start of its next mixing period (256 frames) and fades it in over a few
// more.
const long kMargin = 882;
enum { kLeft, kRight };

// The output frames the probe had mixed just before and just after an action.
struct Action {
    long before = 0, after = 0;
};

// What the probe's timeline put out. Positions are the probe's mixed
// frames, which the capture follows frame for frame however late the
// probe's process or the mixer ran: no wall-clock time goes into them.
struct Capture {
    std::vector<float> side[2];
    std::map<std::string, Action> at;
    std::string log;
    long shift = 0;  // capture frame of the probe's frame 0

    const Action& operator[](const char* name) const { return at.at(name); }
    // The amplitude of `hz` on one side between two of the probe's frames
    // (a single bin of a Fourier sum).
    double Level(int s, long from, long to, double hz) const {
        const std::vector<float>& x = side[s];
        const auto index = [&](long f) { return std::min<std::size_t>(x.size(), std::max(0L, f + shift)); };
        const std::size_t a = index(from), b = index(to);
        double re = 0, im = 0;
        for (std::size_t i = a; i < b; ++i) {
            re += x[i] * std::cos(2 * M_PI * hz * static_cast<double>(i) / kRate);
            im += x[i] * std::sin(2 * M_PI * hz * static_cast<double>(i) / kRate);
        }
        return a < b ? 2 * std::hypot(re, im) / static_cast<double>(b - a) : 0;
    }
    // Between two actions, clear of both.
    double Between(int s, const char* first, const char* next, double hz) const {
        return Level(s, (*this)[first].after + kMargin, (*this)[next].before - kMargin, hz);
    }
};

// Reads the interleaved 16-bit stereo samples of a capture, as configured,
// after its "data" tag (the header before it, WAVE_FORMAT_EXTENSIBLE, holds
// no such bytes), and checks that the writer completed the header.
bool ReadCapture(const std::string& path, std::vector<float> side[2], std::string* problem) {
    const std::string b = ReadFile(path);
    const std::size_t data = b.find("data", 12);
    if (b.size() < 12 || data == std::string::npos || data + 8 > b.size()) {
        *problem = "no capture";
        return false;
    }
    const auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
        return v;
    };
    // The writer fills in the sizes only when the device is closed.
    if (u32(4) != b.size() - 8 || u32(data + 4) != b.size() - data - 8) {
        *problem = "sizes not filled in: RIFF " + std::to_string(u32(4)) + ", data " + std::to_string(u32(data + 4)) +
                   " in a file of " + std::to_string(b.size()) + " bytes";
    }
    for (std::size_t i = data + 8; i + 2 <= b.size(); i += 2) {
        const unsigned v = static_cast<unsigned char>(b[i]) | static_cast<unsigned char>(b[i + 1]) << 8;
        side[(i - data - 8) / 2 % 2].push_back(static_cast<std::int16_t>(v) / 32768.0f);  // left, right, left...
    }
    return problem->empty();
}

ProcessResult RunCapture(const std::string& scenario) {
    EnterWorkDir();
    std::ofstream("alsoft.conf") << "[general]\nsample-type = int16\nchannels = stereo\nfrequency = 44100\n"
                                    "period_size = 256\nhrtf = false\nstereo-mode = speakers\ncf_level = 0\n"
                                    "dither = false\n[wave]\nfile = out.wav\n";
    std::remove("out.wav");
    return RunProbe(scenario, {"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=alsoft.conf"});
}

// Runs the probe's timeline into OpenAL's WAV writer and reads the capture.
Capture Play() {
    Capture c;
    const ProcessResult r = RunCapture("play");
    c.log = r.out + r.err;
    std::istringstream lines(r.out);
    std::string at, name;
    while (lines >> at >> name) lines >> c.at[name].before >> c.at[name].after;
    std::string problem;
    if (r.status != 0 || !c.at.count("ref") || !ReadCapture("out.wav", c.side, &problem)) {
        c.log += problem;
        c.side[kLeft].clear();
        c.side[kRight].clear();
        return c;
    }
    // The first action starts a sound on the first period after it: align
    // the sound's first sample with that.
    const auto& left = c.side[kLeft];
    const auto loud = std::find_if(left.begin(), left.end(), [](float v) { return std::fabs(v) >= 0.01f; });
    c.shift = static_cast<long>(loud - left.begin()) - c["ref"].before;
    return c;
}

// One run of the probe's timeline (see audio_probe.cpp), checked part by part.
TEST(AudioOutput, EveryChannelSettingIsHeardInTheOutput) {
    const Capture c = Play();
    ASSERT_FALSE(c.side[kRight].empty()) << c.log;

    // Volume 0.5 and rate 2: half the amplitude, an octave up.
    for (int s : {kLeft, kRight}) {
        const double full = c.Between(s, "ref", "fast", 440);
        ASSERT_GT(full, 0.05);
        EXPECT_NEAR(c.Between(s, "fast", "right", 880) / full, 0.5, 0.05);
    }
    // Pan +1 to the right, -1 to the left.
    EXPECT_GT(c.Between(kRight, "right", "left", 440), 4 * c.Between(kLeft, "right", "left", 440));
    EXPECT_GT(c.Between(kLeft, "left", "loop", 440), 4 * c.Between(kRight, "left", "loop", 440));
    // A loop of 0.15 s still sounds after its length, until stopped.
    const long blip = kRate * 15 / 100;
    EXPECT_GT(c.Level(kLeft, c["loop"].after + blip + kMargin, c["stop"].before - kMargin, 440),
              0.8 * c.Between(kLeft, "ref", "fast", 440));
    EXPECT_LT(c.Between(kLeft, "stop", "music", 440), kSilence);

    // Music on channel 32 alongside an effect.
    const double music = c.Between(kLeft, "music", "effect", 300);
    ASSERT_GT(music, 0.05);
    EXPECT_LT(c.Between(kLeft, "music", "effect", 1000), music / 20);
    EXPECT_NEAR(c.Between(kLeft, "effect", "two", 300) / music, 1.0, 0.1);
    EXPECT_GT(c.Between(kLeft, "effect", "two", 1000), music / 2);

    // 0.35 s at 400 Hz then 0.3 s at 800 Hz, paused after at least 0.15 s:
    // silent while paused, and after resuming, the low tone for what was
    // left of it, then the high one. Found in the capture 10 ms at a time:
    // started again from the top, the low tone would last 0.35 s; never
    // paused, the high tone would come at once.
    EXPECT_LT(c.Between(kLeft, "pause", "resume", 400), kSilence);
    const long played = c["pause"].before - c["two"].before;
    const long block = kRate / 100;
    long low_end = c["resume"].before;
    while (low_end < c["end"].before &&
           c.Level(kLeft, low_end, low_end + block, 400) >= c.Level(kLeft, low_end, low_end + block, 800)) {
        low_end += block;
    }
    EXPECT_NEAR(low_end - c["resume"].before, kRate * 35 / 100 - played, 2 * block) << c.log;
    EXPECT_GT(c.Level(kLeft, low_end + kMargin, low_end + kRate / 4, 800),
              3 * c.Level(kLeft, low_end + kMargin, low_end + kRate / 4, 400));
}

// Ending the app ends the process at once; the device is closed on the way
// out, and the capture file is complete.
TEST(AudioOutput, TheOutputIsCompleteWhenTheAppEnds) {
    const ProcessResult r = RunCapture("end-app");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("not closed"), std::string::npos) << r.err;
    std::vector<float> side[2];
    std::string problem;
    EXPECT_TRUE(ReadCapture("out.wav", side, &problem)) << problem;
    EXPECT_GE(side[kLeft].size(), kRate / 5u);  // the sound's 0.2 s at least
}

TEST(AudioNoDevice, OneMessageThenEveryCallIsHarmless) {
    const ProcessResult r = RunProbe("no-device", {"ALSOFT_DRIVERS=no-such-output", "ALSOFT_CONF=/dev/null"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "OpenAl error: alcOpenDevice failed\n"
              "value loaded 1\n"  // decoded, though nothing can play it
              "value state 0\n"  // nothing sounds
              "value music 0\n"
              "value music-state 0\n"
              "value missing-music -1\n");
}

// ---------------------------------------------------------------- no output

// The device game tests use: every call through the audio API is kept, and
// nothing reaches OpenAL, though a device with output is open and current
// in this process.
TEST(AudioNullDevice, KeepsWhatTheGameAsksAndOpensNothing) {
    gxtkAudio* real = NullAudioDevice();
    std::filesystem::create_directories("data/sfx");
    WriteTone("data/sfx/jump.wav", {{440, 0.05}});
    WriteTone("data/sfx/tune.wav", {{300, 0.05}});
    const std::size_t discarded = gxtkAudio::discarded.size();
    auto* null = new NullAudio();
    extra_root = null;
    orv_audio_SetAudioDevice(null);

    c_Sound* jump = orv_audio_LoadSound(String("sfx/jump.wav"));
    ASSERT_NE(jump, nullptr);
    EXPECT_EQ(jump->m_Sample->buffer, 0u);
    EXPECT_EQ(orv_audio_LoadSound(String("sfx/none.wav")), nullptr);
    orv_audio_SetChannelVolume(3, 0.5f);
    orv_audio_SetChannelPan(3, 1.0f);
    orv_audio_SetChannelRate(3, 2.0f);
    orv_audio_PlaySound(jump, 3, 1);
    EXPECT_EQ(orv_audio_PlayMusic(String("sfx/tune.wav"), 1), 0);
    orv_audio_PauseMusic();
    orv_audio_ResumeMusic();
    orv_audio_StopMusic();
    EXPECT_EQ(orv_audio_PlayMusic(String("sfx/none.ogg"), 0), -1);
    orv_audio_StopChannel(3);
    null->Suspend();
    EXPECT_FALSE(null->OutputPaused());
    null->Resume();
    jump->m_Sample->Discard();
    null->FlushDiscarded();

    using Call = NullAudio::Call;
    const std::string data = "quarlo://data/sfx/";
    const std::vector<Call> expected = {
        {"LoadSample", -1, data + "jump.wav", 0, 0, 1},
        {"LoadSample", -1, data + "none.wav", 0, 0, 0},
        {"SetVolume", 3, "", 0.5f},
        {"SetPan", 3, "", 1.0f},
        {"SetRate", 3, "", 2.0f},
        {"PlaySample", 3, data + "jump.wav", 0, 1},
        {"PlayMusic", 32, data + "tune.wav", 0, 1, 0},
        {"PauseMusic", 32},
        {"ResumeMusic", 32},
        {"StopMusic", 32},
        {"PlayMusic", 32, data + "none.ogg", 0, 0, -1},
        {"StopChannel", 3},
        {"Suspend"},
        {"Resume"},
    };
    EXPECT_EQ(null->calls, expected);
    for (int ch : {3, int(gxtkAudio::kMusicChannel)}) EXPECT_EQ(null->Inspect(ch).source, 0u);
    EXPECT_EQ(gxtkAudio::discarded.size(), discarded);
    EXPECT_FALSE(null->HasOutput());

    orv_audio_SetAudioDevice(real);
    extra_root = nullptr;
}

// ---------------------------------------------------------------- channels

// Each test plays on channels no other test uses, so settings left behind
// touch no other test.
class AudioChannels : public ::testing::Test {
protected:
    void SetUp() override {
        audio = NullAudioDevice();
        ASSERT_TRUE(audio->HasOutput());
    }

    gxtkSample* Tone(double seconds, double hz = 440) {
        static int files = 0;
        const std::string path = "t" + std::to_string(files++) + ".wav";
        WriteTone(path, {{hz, seconds}});
        return audio->LoadSample(String(path.c_str()));
    }
    bool WaitFinished(int ch) {
        return WaitFor([&] { return audio->Inspect(ch).alState == Info::Stopped; }, 10);
    }
    static bool Discarded(unsigned buffer) {
        const auto& d = gxtkAudio::discarded;
        return std::find(d.begin(), d.end(), buffer) != d.end();
    }

    gxtkAudio* audio = nullptr;
};

TEST_F(AudioChannels, AFinishedSoundStaysPlayingUntilAQueryNoticesIt) {
    gxtkSample* blip = Tone(0.02);
    audio->PlaySample(blip, 4, 0);
    ASSERT_TRUE(WaitFinished(4));
    EXPECT_EQ(audio->channels[4].state, 1);
    // Pausing what has ended only notices the end.
    audio->PauseChannel(4);
    EXPECT_EQ(audio->channels[4].state, 0);
    EXPECT_EQ(audio->Inspect(4).alState, Info::Stopped);

    audio->PlaySample(blip, 4, 0);
    ASSERT_TRUE(WaitFinished(4));
    EXPECT_EQ(audio->ChannelState(4), 0);
}

TEST_F(AudioChannels, PlayPauseResumeAndStopFollowTheStatesAndKeepTheSettings) {
    // Set before the channel ever played.
    audio->SetVolume(6, 0.5f);
    audio->SetRate(6, 2.0f);
    audio->PlaySample(Tone(2.0), 6, 0);
    ASSERT_TRUE(WaitFor([&] { return audio->Inspect(6).sampleOffset > 4000; }, 10));
    // Resuming what plays must not start it again.
    audio->ResumeChannel(6);
    EXPECT_GT(audio->Inspect(6).sampleOffset, 4000);

    gxtkSample* b = Tone(1.0, 880);
    // With the output standing still, the position read is where the sound
    // starts, however long this takes.
    audio->Suspend();
    ASSERT_TRUE(audio->OutputPaused());
    audio->PlaySample(b, 6, 7);  // any flags but 0 loop
    const Info i = audio->Inspect(6);
    audio->Resume();
    EXPECT_EQ(i.buffer, b->buffer);
    EXPECT_EQ(i.looping, 1);
    EXPECT_EQ(i.sampleOffset, 0);  // the new sound starts from its beginning
    EXPECT_FLOAT_EQ(i.gain, 0.5f);
    EXPECT_FLOAT_EQ(i.pitch, 2.0f);

    audio->PauseChannel(6);
    EXPECT_EQ(audio->ChannelState(6), 2);
    audio->ResumeChannel(6);
    EXPECT_EQ(audio->ChannelState(6), 1);
    audio->StopChannel(6);
    audio->ResumeChannel(6);
    EXPECT_EQ(audio->ChannelState(6), 0);
    EXPECT_EQ(audio->Inspect(6).alState, Info::Stopped);
}

// Notes the state of channel 0 each time it is told of a suspension or a
// resumption.
class SuspendApp : public c_App {
public:
    int p_OnSuspend() override { return See(); }
    int p_OnResume() override { return See(); }
    int See() {
        seen.push_back(orv_audio_device->Inspect(0).alState);
        return 0;
    }
    std::vector<int> seen;
};

TEST_F(AudioChannels, TheDelegatePausesOnlyWhatPlaysAfterTheAppAndRestartsOnlyThatBefore) {
    gxtkSample* loop = Tone(0.05);
    audio->PlaySample(loop, 0, 1);
    audio->PlaySample(loop, 8, 1);
    audio->PauseChannel(8);
    audio->PlaySample(Tone(0.02), 9, 0);
    ASSERT_TRUE(WaitFinished(9));
    SuspendApp* app = new SuspendApp();
    c_GameDelegate* delegate = (new c_GameDelegate())->m_new();
    gc_assign(delegate->m__audio, audio);
    gc_assign(orv_app__app, static_cast<c_App*>(app));

    delegate->SuspendGame();
    EXPECT_EQ(audio->Inspect(0).alState, Info::Paused);
    EXPECT_TRUE(audio->OutputPaused());  // no mixing of silence while suspended
    delegate->ResumeGame();
    EXPECT_FALSE(audio->OutputPaused());
    EXPECT_EQ(audio->Inspect(0).alState, Info::Playing);
    EXPECT_EQ(audio->Inspect(8).alState, Info::Paused);  // the game's own pause holds
    EXPECT_EQ(audio->Inspect(9).alState, Info::Stopped);  // an ended sound does not start again
    EXPECT_EQ(app->seen, (std::vector<int>{Info::Playing, Info::Playing}));

    // The delegate alone keeps the device alive. The stores kept it through
    // the cycle they were made in; the delegate alone decides in the next.
    orv_audio_device = nullptr;
    extra_root = app;
    FullCycle(delegate);
    FullCycle(delegate);
    EXPECT_TRUE(gc_is_live(audio));
    orv_audio_SetAudioDevice(audio);
    orv_app__app = nullptr;
    extra_root = nullptr;
}

TEST_F(AudioChannels, LoadsEachSampleLayoutAndRefusesWhatCannotPlay) {
    const std::string path = "layout.wav";
    for (int channels : {1, 2}) {
        for (int bits : {8, 16}) {
            WriteWav(path, channels, 22050, bits, std::vector<int>(static_cast<std::size_t>(100 * channels), 128));
            gxtkSample* s = audio->LoadSample(String(path.c_str()));
            ASSERT_NE(s, nullptr);
            const gxtkAudio::BufferInfo b = gxtkAudio::InspectBuffer(s->buffer);
            EXPECT_EQ(b.channels, channels);
            EXPECT_EQ(b.bits, bits);
            EXPECT_EQ(b.frequency, 22050);
        }
    }
    // 24-bit samples have no OpenAL format: no sample rather than a silent one.
    WriteWav(path, 1, 44100, 24, std::vector<int>(100, 0));
    EXPECT_EQ(audio->LoadSample(String(path.c_str())), nullptr);
}

// ---------------------------------------------------------------- buffers

TEST_F(AudioChannels, ADiscardedBufferIsDeletedOnlyOnceNothingUsesIt) {
    gxtkSample* a = Tone(0.05);
    const unsigned name = a->buffer;
    audio->PlaySample(a, 10, 1);
    a->Discard();
    audio->FlushDiscarded();
    EXPECT_TRUE(gxtkAudio::BufferExists(name));  // still sounding: tried again later
    audio->PlaySample(Tone(0.05), 10, 1);
    audio->FlushDiscarded();
    EXPECT_FALSE(gxtkAudio::BufferExists(name));
    EXPECT_FALSE(Discarded(name));

    // A sound that has ended lets its buffer go at the next flush.
    gxtkSample* ended = Tone(0.02);
    const unsigned ended_name = ended->buffer;
    audio->PlaySample(ended, 11, 0);
    ASSERT_TRUE(WaitFinished(11));
    ended->Discard();
    audio->FlushDiscarded();
    EXPECT_FALSE(gxtkAudio::BufferExists(ended_name));

    // An error left by an earlier call (a negative gain is refused) must not
    // keep an idle buffer: its name would come back for a new sample.
    gxtkSample* idle = Tone(0.02);
    const unsigned idle_name = idle->buffer;
    audio->SetVolume(12, -1.0f);
    idle->Discard();
    audio->FlushDiscarded();
    EXPECT_FALSE(gxtkAudio::BufferExists(idle_name));
    EXPECT_FALSE(Discarded(idle_name));
}

// Every level and every life starts the same tune anew: it plays from the
// start on the buffer it already has, while a tune from another file, or
// from the same file rewritten or removed, is loaded again (or fails).
TEST_F(AudioChannels, TheSameTuneAgainRestartsItsBufferAndAChangedFileIsLoadedAnew) {
    const int music = gxtkAudio::kMusicChannel;
    WriteTone("level.wav", {{440, 1.0}});
    ASSERT_EQ(audio->PlayMusic(String("level.wav"), 1), 0);
    const unsigned first = audio->Inspect(music).buffer;
    ASSERT_NE(first, 0u);
    ASSERT_TRUE(WaitFor([&] { return audio->Inspect(music).sampleOffset > 4410; }));

    // The file's bytes changed behind the stamp (same size, time put back):
    // what plays is still what was decoded, so nothing was read again.
    struct stat before {};
    ASSERT_EQ(stat("level.wav", &before), 0);
    WriteWav("level.wav", 2, 44100, 8, std::vector<int>(88200, 0));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, "level.wav", times, 0), 0);

    ASSERT_EQ(audio->PlayMusic(String("level.wav"), 0), 0);
    Info again = audio->Inspect(music);
    EXPECT_EQ(gxtkAudio::InspectBuffer(again.buffer).channels, 1);
    EXPECT_EQ(gxtkAudio::InspectBuffer(again.buffer).bits, 16);
    EXPECT_EQ(again.buffer, first);
    EXPECT_EQ(again.alState, Info::Playing);
    EXPECT_EQ(again.looping, 0);  // the new flags, not the old
    EXPECT_LT(again.sampleOffset, 4410);
    audio->FlushDiscarded();
    EXPECT_TRUE(gxtkAudio::BufferExists(first));

    // Paused, then asked for again: it plays.
    audio->PauseMusic();
    ASSERT_EQ(audio->PlayMusic(String("level.wav"), 1), 0);
    EXPECT_EQ(audio->MusicState(), 1);
    EXPECT_EQ(audio->Inspect(music).buffer, first);

    // The file rewritten (half as long) is loaded anew. (OpenAL may give
    // the new buffer the freed one's name: the sizes tell them apart.)
    auto bytes = [&] { return gxtkAudio::InspectBuffer(audio->Inspect(music).buffer).size; };
    EXPECT_EQ(bytes(), 44100 * 2);  // one second of 16-bit mono
    WriteTone("level.wav", {{440, 0.5}});
    ASSERT_EQ(audio->PlayMusic(String("level.wav"), 1), 0);
    EXPECT_EQ(bytes(), 44100);

    // Another tune, then the first one rewritten: each is loaded.
    WriteTone("menu.wav", {{220, 0.2}});
    ASSERT_EQ(audio->PlayMusic(String("menu.wav"), 1), 0);
    EXPECT_EQ(bytes(), 8820 * 2);
    WriteTone("level.wav", {{440, 0.25}});
    ASSERT_EQ(audio->PlayMusic(String("level.wav"), 1), 0);
    EXPECT_EQ(bytes(), 11025 * 2);

    // The file gone: the tune cannot be loaded, and the channel stays quiet.
    std::remove("level.wav");
    EXPECT_EQ(audio->PlayMusic(String("level.wav"), 1), -1);
    EXPECT_EQ(audio->MusicState(), 0);
}

TEST_F(AudioChannels, ASoundingSampleSurvivesTheCollectorAndAnEndedOneDoesNot) {
    const bool stress = gc_stress;
    gxtkSample* looping = Tone(0.05);
    gxtkSample* ended = Tone(0.02);
    const unsigned ended_name = ended->buffer;
    audio->PlaySample(looping, 13, 1);
    audio->PlaySample(ended, 14, 0);
    ASSERT_TRUE(WaitFinished(14));
    // The stores kept both through the cycle they were made in; the device
    // alone decides in the next.
    FullCycle();
    FullCycle();
    EXPECT_TRUE(gc_is_live(looping));
    EXPECT_TRUE(Discarded(ended_name));  // destroyed, its buffer handed over

    // Started after the device was marked in this cycle: the channel's
    // store must still keep the new sample.
    gxtkSample* late = Tone(0.05);
    gc_stress = false;
    gc_mark_queued(2147483647);
    audio->PlaySample(late, 15, 1);
    FullCycle();
    EXPECT_TRUE(gc_is_live(late));
    FullCycle();
    EXPECT_TRUE(gc_is_live(late));
    gc_stress = stress;
}

}  // namespace
