// The audio device: what really comes out (captured through OpenAL's WAV
// writer by a probe program), the channel states and buffers on OpenAL's
// silent output, and the device with no output at all.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/audio.h"
#include "host/audio_device.h"
#include "host/host_game.h"
#include "tests/host/audio_test_util.h"
#include "tests/support/subprocess.h"

void orvInit() {}
int orvMain() { return 0; }

namespace audio_test {

gc_object* extra_root = nullptr;

gxtkAudio* NullAudioDevice() {
    static gxtkAudio* device = [] {
        // Before the first device is opened, and whatever the machine has.
        setenv("ALSOFT_DRIVERS", "null", 1);
        setenv("ALSOFT_CONF", "/dev/null", 1);
        gc_init();
        new OrvGlfwGame();
        orvInitAudio();
        gc_roots = [] {
            orvMarkAudioRoots();
            gc_mark_q(extra_root);
        };
        static gxtkAudio* opened = new gxtkAudio();
        orv_audio_SetAudioDevice(opened);
        std::atexit([] { opened->Close(); });  // OpenAL complains of a device left open
        return opened;
    }();
    return device;
}

void FullCycle() {
    const bool stress = gc_stress;
    gc_stress = true;
    gc_mark();
    gc_collect_step(nullptr);
    gc_stress = stress;
}

}  // namespace audio_test

namespace {

namespace fs = std::filesystem;
using namespace audio_test;
using Info = gxtkAudio::SourceInfo;

fs::path MakeTempDir() {
    char name[] = "/tmp/vellumby-audio-XXXXXX";
    if (!mkdtemp(name)) return {};
    return name;
}

// ---------------------------------------------------------------- output

struct Capture {
    int rate = 0;
    std::vector<float> left, right;
    std::map<std::string, double> at;
    std::map<std::string, int> value;
    std::string log;
    double shift = 0;  // file time minus the probe's time

    // The samples between two of the probe's times.
    std::vector<float> Part(const std::vector<float>& x, double from, double to) const {
        std::size_t a = static_cast<std::size_t>(std::max(0.0, from + shift) * rate);
        std::size_t b = static_cast<std::size_t>(std::max(0.0, to + shift) * rate);
        b = std::min(b, x.size());
        return a < b ? std::vector<float>(x.begin() + static_cast<long>(a), x.begin() + static_cast<long>(b))
                     : std::vector<float>();
    }
};

std::uint32_t U32(const std::string& s, std::size_t i) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
    return v;
}

// The writer's file is WAVE_FORMAT_EXTENSIBLE, which common readers refuse:
// walk the chunks ourselves.
bool ParseCapture(const std::string& bytes, Capture* c) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") || bytes.compare(8, 4, "WAVE")) return false;
    int channels = 0, bits = 0;
    for (std::size_t i = 12; i + 8 <= bytes.size();) {
        const std::string tag = bytes.substr(i, 4);
        std::size_t size = U32(bytes, i + 4);
        i += 8;
        if (size > bytes.size() - i) size = bytes.size() - i;  // sizes not yet written
        if (tag == "fmt " && size >= 16) {
            channels = static_cast<unsigned char>(bytes[i + 2]) | static_cast<unsigned char>(bytes[i + 3]) << 8;
            c->rate = static_cast<int>(U32(bytes, i + 4));
            bits = static_cast<unsigned char>(bytes[i + 14]);
        } else if (tag == "data") {
            if (channels != 2 || bits != 16) return false;
            for (std::size_t k = i; k + 4 <= i + size; k += 4) {
                auto s16 = [&](std::size_t j) {
                    return static_cast<std::int16_t>(static_cast<unsigned char>(bytes[j]) |
                                                     static_cast<unsigned char>(bytes[j + 1]) << 8);
                };
                c->left.push_back(s16(k) / 32768.0f);
                c->right.push_back(s16(k + 2) / 32768.0f);
            }
            return c->rate > 0;
        }
        i += size + (size & 1);
    }
    return false;
}

Capture RunScenario(const std::string& scenario) {
    Capture c;
    const fs::path dir = MakeTempDir();
    const std::string wav = (dir / "out.wav").string();
    std::ofstream(dir / "alsoft.conf") << "[general]\n"
                                          "sample-type = int16\n"
                                          "channels = stereo\n"
                                          "frequency = 44100\n"
                                          "period_size = 256\n"
                                          "hrtf = false\n"
                                          "stereo-mode = speakers\n"
                                          "cf_level = 0\n"
                                          "dither = false\n"
                                          "[wave]\n"
                                          "file = "
                                       << wav << "\n";
    ProcessOptions options;
    options.env = {"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + (dir / "alsoft.conf").string()};
    options.timeout_seconds = 20;
    const ProcessResult r = RunProcess({AUDIO_PROBE, scenario, dir.string()}, options);
    c.log = r.out + r.err;
    std::istringstream lines(r.out);
    std::string kind, name;
    while (lines >> kind >> name) {
        if (kind == "at") lines >> c.at[name];
        if (kind == "value") lines >> c.value[name];
    }
    std::ifstream in(wav, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (r.status != 0 || !ParseCapture(bytes.str(), &c) || c.at.empty()) {
        c.rate = 0;
    } else {
        // The file starts when the output starts, a little before the probe
        // begins to count. Every scenario starts with a sound: align its
        // first sample with the first action.
        double first = 1e9;
        for (const auto& a : c.at) first = std::min(first, a.second);
        std::size_t onset = 0;
        while (onset < c.left.size() && std::fabs(c.left[onset]) < 0.01f && std::fabs(c.right[onset]) < 0.01f) ++onset;
        c.shift = static_cast<double>(onset) / c.rate - first;
    }
    fs::remove_all(dir);
    return c;
}

double Rms(const std::vector<float>& x) {
    double sum = 0;
    for (float v : x) sum += static_cast<double>(v) * v;
    return x.empty() ? 0 : std::sqrt(sum / static_cast<double>(x.size()));
}

double Peak(const std::vector<float>& x) {
    double peak = 0;
    for (float v : x) peak = std::max(peak, std::fabs(static_cast<double>(v)));
    return peak;
}

double ZeroCrossingHz(const std::vector<float>& x, int rate) {
    int rising = 0;
    for (std::size_t i = 1; i < x.size(); ++i) rising += x[i - 1] < 0 && x[i] >= 0;
    return x.empty() ? 0 : rising * static_cast<double>(rate) / static_cast<double>(x.size());
}

// Amplitude of one frequency in the window (a single bin of a Fourier sum).
double ToneAmplitude(const std::vector<float>& x, int rate, double hz) {
    double re = 0, im = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double w = 2 * M_PI * hz * static_cast<double>(i) / rate;
        re += x[i] * std::cos(w);
        im -= x[i] * std::sin(w);
    }
    return x.empty() ? 0 : 2 * std::hypot(re, im) / static_cast<double>(x.size());
}

const double kSilence = 1e-3;
// Windows keep this far from the actions around them: the output may take
// an action up a little earlier or later than the probe's clock says.
const double kGap = 0.04;

TEST(AudioOutput, VolumeHalfAndRateTwoGiveHalfTheAmplitudeAnOctaveUp) {
    const Capture c = RunScenario("volume-rate");
    ASSERT_GT(c.rate, 0) << c.log;
    const double ref = c.at.at("ref"), fast = c.at.at("fast"), stop = c.at.at("stop");
    for (const std::vector<float>* side : {&c.left, &c.right}) {
        const auto normal = c.Part(*side, ref + kGap, fast - kGap);
        const auto changed = c.Part(*side, fast + kGap, stop - kGap);
        EXPECT_NEAR(ZeroCrossingHz(normal, c.rate), 440, 12);
        EXPECT_NEAR(ZeroCrossingHz(changed, c.rate), 880, 20);
        const double amplitude = ToneAmplitude(normal, c.rate, 440);
        ASSERT_GT(amplitude, 0.05);
        EXPECT_NEAR(ToneAmplitude(changed, c.rate, 880) / amplitude, 0.5, 0.05);
    }
}

TEST(AudioOutput, PanMovesTheSoundToEitherSide) {
    const Capture c = RunScenario("pan");
    ASSERT_GT(c.rate, 0) << c.log;
    const double right = c.at.at("right"), left = c.at.at("left"), stop = c.at.at("stop");
    const double right_l = Rms(c.Part(c.left, right + kGap, left - kGap));
    const double right_r = Rms(c.Part(c.right, right + kGap, left - kGap));
    const double left_l = Rms(c.Part(c.left, left + kGap, stop - kGap));
    const double left_r = Rms(c.Part(c.right, left + kGap, stop - kGap));
    EXPECT_GT(right_r, 0.05);
    EXPECT_GT(right_r, 4 * right_l);
    EXPECT_GT(left_l, 0.05);
    EXPECT_GT(left_l, 4 * left_r);
}

TEST(AudioOutput, ALoopSoundsPastItsLengthUntilStoppedAndAStoppedChannelIsSilent) {
    const Capture c = RunScenario("loop-stop");
    ASSERT_GT(c.rate, 0) << c.log;
    EXPECT_EQ(c.value.at("state-before-stop"), 1);
    const double stop = c.at.at("stop"), once = c.at.at("once");
    // The sound is 0.15 s long; every slice past its first pass still sounds.
    for (double t = c.at.at("loop") + 0.2; t + 0.05 < stop - kGap; t += 0.05) {
        EXPECT_GT(Rms(c.Part(c.left, t, t + 0.05)), 0.05) << "at " << t;
    }
    EXPECT_LT(Peak(c.Part(c.left, stop + kGap, once - kGap)), kSilence);
    EXPECT_LT(Peak(c.Part(c.right, stop + kGap, once - kGap)), kSilence);
    // Without the loop flag the same sound ends after one pass.
    EXPECT_GT(Rms(c.Part(c.left, once + kGap, once + 0.15 - kGap)), 0.05);
    EXPECT_LT(Peak(c.Part(c.left, once + 0.15 + kGap, c.at.at("end"))), kSilence);
}

TEST(AudioOutput, MusicPlaysAlongsideAnEffectAndAMissingTuneStopsIt) {
    const Capture c = RunScenario("music");
    ASSERT_GT(c.rate, 0) << c.log;
    EXPECT_EQ(c.value.at("music"), 0);
    EXPECT_EQ(c.value.at("missing"), -1);
    const double effect = c.at.at("effect"), missing = c.at.at("missing");
    const auto alone = c.Part(c.left, c.at.at("music") + kGap, effect - kGap);
    const auto both = c.Part(c.left, effect + kGap, missing - kGap);
    const double music = ToneAmplitude(alone, c.rate, 300);
    ASSERT_GT(music, 0.05);
    EXPECT_LT(ToneAmplitude(alone, c.rate, 1000), music / 20);
    EXPECT_NEAR(ToneAmplitude(both, c.rate, 300) / music, 1.0, 0.1);
    EXPECT_GT(ToneAmplitude(both, c.rate, 1000), music / 2);
    EXPECT_LT(Peak(c.Part(c.left, missing + kGap, c.at.at("end"))), kSilence);
}

TEST(AudioOutput, APausedChannelIsSilentAndResumesWhereItWas) {
    // 0.35 s at 400 Hz then 0.3 s at 800 Hz, paused 0.15 s in: after the
    // pause 0.2 s of the low tone are left. Started again from the top, the
    // low tone would fill both windows below; never paused, neither.
    const Capture c = RunScenario("pause");
    ASSERT_GT(c.rate, 0) << c.log;
    EXPECT_EQ(c.value.at("paused-state"), 2);
    const double resume = c.at.at("resume");
    EXPECT_LT(Peak(c.Part(c.left, c.at.at("pause") + kGap, resume - kGap)), kSilence);
    const auto rest_of_low = c.Part(c.left, resume + kGap, resume + 0.2 - kGap);
    EXPECT_GT(ToneAmplitude(rest_of_low, c.rate, 400), 3 * ToneAmplitude(rest_of_low, c.rate, 800));
    const auto high = c.Part(c.left, resume + 0.2 + kGap, resume + 0.35);
    EXPECT_GT(ToneAmplitude(high, c.rate, 800), 3 * ToneAmplitude(high, c.rate, 400));
}

TEST(AudioNoDevice, OneMessageThenEveryCallIsHarmless) {
    const fs::path dir = MakeTempDir();
    ProcessOptions options;
    options.env = {"ALSOFT_DRIVERS=no-such-output", "ALSOFT_CONF=/dev/null"};
    const ProcessResult r = RunProcess({AUDIO_PROBE, "no-device", dir.string()}, options);
    fs::remove_all(dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "OpenAl error: alcOpenDevice failed\n"
              "value loaded 1\n"  // decoded, though nothing can play it
              "value buffer 0\n"
              "value missing-loaded 0\n"
              "value state 0\n"  // nothing sounds
              "value music 0\n"
              "value music-state 0\n"
              "value missing-music -1\n"
              "value done 1\n");
}

// ---------------------------------------------------------------- channels

class AudioChannels : public ::testing::Test {
protected:
    void SetUp() override {
        audio = NullAudioDevice();
        ASSERT_NE(audio->alcContext, nullptr);
        dir = MakeTempDir();
    }
    void TearDown() override {
        for (int ch = 0; ch < gxtkAudio::kChannels; ++ch) audio->StopChannel(ch);
        fs::remove_all(dir);
    }

    gxtkSample* Tone(double seconds, double hz = 440) {
        const std::string path = (dir / ("t" + std::to_string(files++) + ".wav")).string();
        WriteTone(path, hz, seconds);
        return audio->LoadSample(String(path.c_str()));
    }
    static bool WaitFor(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }
    bool WaitFinished(int ch) {
        return WaitFor([&] { return audio->Inspect(ch).alState == Info::Stopped; });
    }
    static bool Discarded(unsigned buffer) {
        for (unsigned b : gxtkAudio::discarded) {
            if (b == buffer) return true;
        }
        return false;
    }

    gxtkAudio* audio = nullptr;
    fs::path dir;
    int files = 0;
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
    EXPECT_EQ(audio->channels[4].state, 1);
    EXPECT_EQ(audio->ChannelState(4), 0);
    EXPECT_EQ(audio->channels[4].state, 0);
}

TEST_F(AudioChannels, PauseResumeAndStopFollowTheStates) {
    gxtkSample* loop = Tone(0.05);
    audio->PlaySample(loop, 5, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(audio->ChannelState(5), 1);  // four times its length: the loop goes on

    gxtkSample* longer = Tone(2.0);
    audio->PlaySample(longer, 6, 0);
    ASSERT_TRUE(WaitFor([&] { return audio->Inspect(6).sampleOffset > 2000; }));
    // Resuming what plays must not start it again.
    audio->ResumeChannel(6);
    EXPECT_GT(audio->Inspect(6).sampleOffset, 2000);
    EXPECT_EQ(audio->ChannelState(6), 1);

    audio->PauseChannel(6);
    EXPECT_EQ(audio->ChannelState(6), 2);
    const int held = audio->Inspect(6).sampleOffset;
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(audio->Inspect(6).sampleOffset, held);
    audio->ResumeChannel(6);
    EXPECT_EQ(audio->ChannelState(6), 1);
    EXPECT_EQ(audio->Inspect(6).alState, Info::Playing);
    EXPECT_GE(audio->Inspect(6).sampleOffset, held);

    audio->StopChannel(6);
    EXPECT_EQ(audio->ChannelState(6), 0);
    audio->ResumeChannel(6);
    audio->PauseChannel(6);
    EXPECT_EQ(audio->ChannelState(6), 0);
    EXPECT_EQ(audio->Inspect(6).alState, Info::Stopped);
}

TEST_F(AudioChannels, PlaySampleReusesTheSourceAndKeepsItsSettings) {
    // Set before the channel ever played.
    audio->SetVolume(3, 0.5f);
    audio->SetRate(3, 2.0f);
    audio->SetPan(3, 1.0f);
    const unsigned source = audio->Inspect(3).source;
    ASSERT_NE(source, 0u);

    gxtkSample* a = Tone(1.0);
    gxtkSample* b = Tone(1.0, 880);
    audio->PlaySample(a, 3, 0);
    Info i = audio->Inspect(3);
    EXPECT_EQ(i.source, source);
    EXPECT_EQ(i.buffer, a->buffer);
    EXPECT_EQ(i.looping, 0);
    EXPECT_FLOAT_EQ(i.gain, 0.5f);
    EXPECT_FLOAT_EQ(i.pitch, 2.0f);
    EXPECT_NEAR(i.position[0], 0.841, 1e-3);
    EXPECT_NEAR(i.position[1], 0.0, 1e-6);
    EXPECT_NEAR(i.position[2], -0.540, 1e-3);

    ASSERT_TRUE(WaitFor([&] { return audio->Inspect(3).sampleOffset > 4000; }));
    audio->PlaySample(b, 3, 7);  // any flags but 0 loop
    i = audio->Inspect(3);
    EXPECT_EQ(i.source, source);
    EXPECT_EQ(i.buffer, b->buffer);
    EXPECT_EQ(i.looping, 1);
    EXPECT_LT(i.sampleOffset, 4000);  // the new sound starts from its beginning
    EXPECT_FLOAT_EQ(i.gain, 0.5f);
    EXPECT_EQ(audio->channels[3].sample, b);
    EXPECT_EQ(audio->channels[3].flags, 7);

    audio->SetPan(3, 0.0f);
    EXPECT_NEAR(audio->Inspect(3).position[2], -1.0, 1e-6);
    audio->SetVolume(3, 1.0f);
    audio->SetRate(3, 1.0f);
}

TEST_F(AudioChannels, SuspendPausesOnlyWhatPlaysAndResumeRestartsOnlyThat) {
    gxtkSample* loop = Tone(0.05);
    gxtkSample* blip = Tone(0.02);
    audio->PlaySample(loop, 7, 1);
    audio->PlaySample(loop, 8, 1);
    audio->PauseChannel(8);
    audio->PlaySample(blip, 9, 0);
    ASSERT_TRUE(WaitFinished(9));

    audio->Suspend();
    EXPECT_EQ(audio->Inspect(7).alState, Info::Paused);
    EXPECT_EQ(audio->channels[7].state, 1);
    audio->Resume();
    EXPECT_EQ(audio->Inspect(7).alState, Info::Playing);
    EXPECT_EQ(audio->Inspect(8).alState, Info::Paused);  // the game's own pause holds
    EXPECT_EQ(audio->ChannelState(8), 2);
    EXPECT_EQ(audio->Inspect(9).alState, Info::Stopped);  // an ended sound does not start again
}

TEST_F(AudioChannels, LoadsEachSampleLayoutAndRefusesWhatCannotPlay) {
    struct Case {
        int channels, bits, expect_bits;
    } cases[] = {{1, 8, 8}, {2, 8, 8}, {1, 16, 16}, {2, 16, 16}};
    for (const Case& k : cases) {
        const std::string path = (dir / "layout.wav").string();
        WriteWav(path, k.channels, 22050, k.bits, std::vector<int>(static_cast<std::size_t>(100 * k.channels), 128));
        gxtkSample* s = audio->LoadSample(String(path.c_str()));
        ASSERT_NE(s, nullptr);
        const gxtkAudio::BufferInfo b = gxtkAudio::InspectBuffer(s->buffer);
        EXPECT_EQ(b.channels, k.channels);
        EXPECT_EQ(b.bits, k.expect_bits);
        EXPECT_EQ(b.frequency, 22050);
        EXPECT_EQ(b.size, 100 * k.channels * k.bits / 8);
    }
    // 24-bit samples have no OpenAL format: no sample rather than a silent one.
    const std::string deep = (dir / "deep.wav").string();
    WriteWav(deep, 1, 44100, 24, std::vector<int>(100, 0));
    EXPECT_EQ(audio->LoadSample(String(deep.c_str())), nullptr);
    EXPECT_EQ(audio->LoadSample(String((dir / "none.wav").string().c_str())), nullptr);
}

// ---------------------------------------------------------------- buffers

TEST_F(AudioChannels, ADiscardedBufferIsDeletedOnlyOnceNothingUsesIt) {
    audio->FlushDiscarded();
    gxtkSample* a = Tone(0.05);
    const unsigned name = a->buffer;
    audio->PlaySample(a, 10, 1);
    a->Discard();
    EXPECT_EQ(a->buffer, 0u);
    audio->FlushDiscarded();
    EXPECT_TRUE(gxtkAudio::BufferExists(name));  // still sounding
    EXPECT_TRUE(Discarded(name));
    audio->StopChannel(10);
    audio->FlushDiscarded();
    EXPECT_TRUE(gxtkAudio::BufferExists(name));  // a stopped source still holds it
    gxtkSample* b = Tone(0.05);
    audio->PlaySample(b, 10, 1);
    audio->FlushDiscarded();
    EXPECT_FALSE(gxtkAudio::BufferExists(name));
    EXPECT_FALSE(Discarded(name));

    // A sound that has ended lets its buffer go at the next flush.
    gxtkSample* c = Tone(0.02);
    const unsigned c_name = c->buffer;
    audio->PlaySample(c, 11, 0);
    ASSERT_TRUE(WaitFinished(11));
    c->Discard();
    audio->FlushDiscarded();
    EXPECT_FALSE(gxtkAudio::BufferExists(c_name));
    EXPECT_EQ(audio->Inspect(11).buffer, 0u);

    // An error left by an earlier call (a negative gain is refused) must not
    // keep an idle buffer: its name would come back for a new sample.
    gxtkSample* d = Tone(0.02);
    const unsigned d_name = d->buffer;
    audio->SetVolume(12, -1.0f);
    d->Discard();
    audio->FlushDiscarded();
    EXPECT_FALSE(gxtkAudio::BufferExists(d_name));
    EXPECT_FALSE(Discarded(d_name));
    audio->SetVolume(12, 1.0f);
}

TEST_F(AudioChannels, ASoundingSampleSurvivesTheCollectorAndAnEndedOneDoesNot) {
    const bool stress = gc_stress;
    FullCycle();
    audio->FlushDiscarded();
    gxtkSample* looping = Tone(0.05);
    gxtkSample* ended = Tone(0.02);
    gxtkSample* idle = Tone(0.02);
    const unsigned looping_name = looping->buffer, ended_name = ended->buffer, idle_name = idle->buffer;
    audio->PlaySample(looping, 13, 1);
    audio->PlaySample(ended, 14, 0);
    ASSERT_TRUE(WaitFinished(14));
    // The stores kept both through the cycle they were made in; the device
    // alone decides in the next.
    FullCycle();
    FullCycle();
    EXPECT_TRUE(gc_is_live(looping));
    EXPECT_FALSE(Discarded(looping_name));
    EXPECT_TRUE(Discarded(ended_name));  // destroyed, its buffer handed over
    EXPECT_TRUE(Discarded(idle_name));

    // Started after the device was marked in this cycle: the channel's
    // store must still keep the new sample.
    gxtkSample* late = Tone(0.05);
    const unsigned late_name = late->buffer;
    gc_stress = false;
    gc_mark_queued(2147483647);
    audio->PlaySample(late, 15, 1);
    FullCycle();
    EXPECT_TRUE(gc_is_live(late));
    EXPECT_FALSE(Discarded(late_name));
    FullCycle();
    EXPECT_TRUE(gc_is_live(late));

    audio->StopChannel(13);
    FullCycle();
    EXPECT_TRUE(Discarded(looping_name));
    gc_stress = stress;
}

}  // namespace
