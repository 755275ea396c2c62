// The audio device: its output completed at the app's end (captured through
// OpenAL's WAV writer by a probe program), the channel states and buffers on
// OpenAL's silent output, the delegate's suspension of sound, and the
// framework's audio API on top.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/audio.h"
#include "host/audio_device.h"
#include "host/sound_files.h"
#include "tests/game/values.h"
#include "tests/host/temp_files.h"
#include "tests/support/sound_files.h"
#include "tests/support/subprocess.h"

namespace {

using Info = gxtkAudio::SourceInfo;
using sound_files::Wav;

// One channel of 16-bit samples at 44100 Hz: a sine at 0.4 of full scale.
void WriteTone(const std::string& path, double hertz, double seconds) {
    Wav wav;
    wav.rate = 44100;
    for (int i = 0; i < static_cast<int>(seconds * 44100); ++i) {
        const long value = std::lround(0.4 * 32767 * std::sin(2 * M_PI * hertz * i / 44100));
        wav.data += sound_files::Le(static_cast<std::uint32_t>(value), 2);
    }
    std::ofstream(path, std::ios::binary) << wav.Build();
}

// The program works in a fresh folder of its own, removed at exit.
void EnterWorkDir() {
    static const TempDir dir;
    std::filesystem::current_path(dir);
}

// Streamed music is heard as the file decodes, sample for sample: across
// the seams of its loop and on from where a pause left it; the pause and
// the stop leave silence. The probe program plays it on OpenAL's WAV writer
// (exact: no dither, no limiter); ending the app ends the process at once,
// with the device closed on the way out, so the capture is complete.
TEST(AudioOutput, StreamedMusicIsHeardSampleForSampleAcrossItsLoopAndAPause) {
    EnterWorkDir();
    const long frames = 22050;  // half a second: the loop comes round twice before the pause
    std::ofstream("loop.ogg", std::ios::binary) << sound_files::EncodeOgg(2, 44100, frames, [](long i, int c) {
        return 0.1f + 0.4f * std::sin(0.03f * static_cast<float>(i) * static_cast<float>(c + 1));  // never silent
    });
    int length = 0, channels = 0, format = 0, hertz = 0;
    const std::unique_ptr<unsigned char, decltype(&std::free)> decoded(
        orvLoadAudioFile(String("loop.ogg"), &length, &channels, &format, &hertz), &std::free);
    ASSERT_TRUE(decoded && length == frames && channels == 2);
    const auto* tune = reinterpret_cast<const std::int16_t*>(decoded.get());

    std::ofstream("alsoft.conf") << "[general]\nsample-type = int16\nchannels = stereo\ndither = false\n"
                                    "output-limiter = false\n[wave]\nfile = out.wav\n";
    std::remove("out.wav");
    const ProcessResult r = RunProcess({AUDIO_PROBE}, {"", {"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=alsoft.conf"}, "", 30});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("not closed"), std::string::npos) << r.err;
    // 16-bit stereo after the "data" tag (the header before it,
    // WAVE_FORMAT_EXTENSIBLE, holds no such bytes); its sizes are filled in
    // only once the device is closed.
    const std::string b = ReadFile("out.wav");
    const std::size_t data = b.find("data", 12);
    ASSERT_TRUE(data != std::string::npos && data + 8 <= b.size()) << b.size() << " bytes";
    const auto size_at = [&](std::size_t at) {  // little-endian, as the machine
        std::uint32_t size = 0;
        return *static_cast<std::uint32_t*>(std::memcpy(&size, b.data() + at, 4));
    };
    EXPECT_EQ(Values(size_at(4), size_at(data + 4)), Values(b.size() - 8, b.size() - data - 8));
    std::vector<std::int16_t> out((b.size() - data - 8) / 2);
    std::memcpy(out.data(), b.data() + data + 8, out.size() * 2);

    long heard = 0, mismatched = 0;
    std::vector<long> silences;  // lengths of the silent runs after the music began
    for (std::size_t t = 0; t + 1 < out.size(); t += 2) {
        if (out[t] == 0 && out[t + 1] == 0) {
            if (heard) silences.empty() || silences.back() < 0 ? silences.push_back(1) : void(++silences.back());
            continue;
        }
        if (!silences.empty() && silences.back() > 0) silences.push_back(-1);  // sound again
        const long k = heard++ % frames;
        if (out[t] != tune[2 * k] || out[t + 1] != tune[2 * k + 1]) ++mismatched;
    }
    EXPECT_EQ(mismatched, 0);
    EXPECT_GT(heard, 3 * frames);  // 2 s of it, over several seams
    // The pause (0.3 s) and the stop at the end (0.2 s). A loaded machine may
    // starve the real-time output for a moment besides: another, shorter run.
    ASSERT_GE(silences.size(), 3u);
    EXPECT_GT(*std::max_element(silences.begin(), silences.end() - 1), 44100 / 5);
    EXPECT_GT(silences.back(), 44100 / 10);
}

// ---------------------------------------------------------------- on the silent output

gc_object* extra_root = nullptr;

// One whole collector cycle: everything not reachable from the audio device,
// `extra_root` or `step_root` is destroyed.
void FullCycle(gc_object* step_root = nullptr) {
    const bool stress = gc_stress;
    gc_stress = true;
    gc_mark();
    gc_collect_step(step_root);
    gc_stress = stress;
}

// One device per process on OpenAL's silent real-time output, kept alive as
// the framework's audio device. Each test plays on channels no other test
// uses, so settings left behind touch no other test. Sounds for the audio API
// are found under data/ of the working folder.
class AudioChannels : public ::testing::Test {
protected:
    void SetUp() override {
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
            return new gxtkAudio();
        }();
        orv_audio_SetAudioDevice(audio = device);
        ASSERT_TRUE(audio->HasOutput());
        std::filesystem::create_directories("data/sfx");
        WriteTone("data/sfx/blip.wav", 440, 0.5);
        WriteTone("data/sfx/tune.wav", 300, 0.5);
    }
    void TearDown() override { extra_root = nullptr; }
    gxtkSample* Tone(double seconds, double hz = 440) {
        static int files = 0;
        const std::string path = "t" + std::to_string(files++) + ".wav";
        WriteTone(path, hz, seconds);
        return audio->LoadSample(String(path.c_str()));
    }
    bool WaitFinished(int ch) { return WaitFor([&] { return audio->Inspect(ch).alState == Info::Stopped; }, 10); }
    static bool Discarded(unsigned b) { return std::count(gxtkAudio::discarded.begin(), gxtkAudio::discarded.end(), b); }

    gxtkAudio* audio = nullptr;
};

TEST_F(AudioChannels, AFinishedSoundStaysPlayingUntilAQueryNoticesIt) {
    gxtkSample* blip = Tone(0.02);
    audio->PlaySample(blip, 5, 1);  // a loop plays on past its length
    audio->PlaySample(blip, 4, 0);
    ASSERT_TRUE(WaitFinished(4));
    EXPECT_EQ(Values(audio->channels[4].state, audio->ChannelState(5), audio->Inspect(5).alState), Values(1, 1, Info::Playing));
    // Pausing what has ended only notices the end.
    audio->PauseChannel(4);
    EXPECT_EQ(Values(audio->channels[4].state, audio->Inspect(4).alState), Values(0, Info::Stopped));

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
    audio->ResumeChannel(6);  // resuming what plays must not start it again
    EXPECT_GT(audio->Inspect(6).sampleOffset, 4000);

    gxtkSample* b = Tone(1.0, 880);
    // With the output standing still, the position read is where the sound
    // starts, however long this takes.
    audio->Suspend();
    ASSERT_TRUE(audio->OutputPaused());
    audio->PlaySample(b, 6, 7);  // any flags but 0 loop
    const Info i = audio->Inspect(6);
    audio->Resume();
    // Looping, from its beginning, with the settings made before.
    EXPECT_EQ(Values(i.buffer, i.looping, i.sampleOffset, i.gain, i.pitch), Values(b->buffer, 1, 0, 0.5f, 2.0f));

    // Paused, then resumed with the output standing still: it goes on from
    // where it was, not from its start.
    ASSERT_TRUE(WaitFor([&] { return audio->Inspect(6).sampleOffset > 4000; }, 10));
    audio->PauseChannel(6);
    const Info paused = audio->Inspect(6);
    EXPECT_EQ(Values(paused.alState, audio->ChannelState(6)), Values(Info::Paused, 2));
    audio->Suspend();
    audio->ResumeChannel(6);
    const Info resumed = audio->Inspect(6);
    EXPECT_EQ(Values(resumed.alState, resumed.sampleOffset), Values(Info::Playing, paused.sampleOffset));
    audio->Resume();
    EXPECT_EQ(audio->ChannelState(6), 1);
    audio->StopChannel(6);
    audio->ResumeChannel(6);
    EXPECT_EQ(Values(audio->ChannelState(6), audio->Inspect(6).alState), Values(0, Info::Stopped));
    // Nothing to play silences the channel.
    audio->PlaySample(b, 6, 1);
    audio->PlaySample(nullptr, 6, 1);
    EXPECT_EQ(Values(audio->Inspect(6).buffer, audio->ChannelState(6)), Values(0, 0));
}

// Channels out of range are ignored rather than written past the records.
TEST_F(AudioChannels, ChannelsOutOfRangeAreIgnored) {
    gxtkSample* blip = Tone(0.02);
    for (int ch : {-1, int(gxtkAudio::kChannels)}) {
        for (auto set : {&gxtkAudio::SetVolume, &gxtkAudio::SetPan, &gxtkAudio::SetRate}) (audio->*set)(ch, 0.5f);
        audio->PlaySample(blip, ch, 1);
        for (auto call : {&gxtkAudio::PauseChannel, &gxtkAudio::ResumeChannel}) (audio->*call)(ch);
        EXPECT_EQ(audio->ChannelState(ch), 0) << ch;
        audio->StopChannel(ch);
        EXPECT_EQ(audio->Inspect(ch).source, 0u) << ch;
    }
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

    EXPECT_FALSE(audio->OutputPaused());  // a new device's output runs
    delegate->SuspendGame();
    // No mixing of silence while suspended.
    EXPECT_EQ(Values(audio->Inspect(0).alState, audio->OutputPaused()), Values(Info::Paused, true));
    delegate->ResumeGame();
    // The game's own pause holds, and an ended sound does not start again.
    EXPECT_EQ(Values(audio->OutputPaused(), audio->Inspect(0).alState, audio->Inspect(8).alState, audio->Inspect(9).alState),
              Values(false, Info::Playing, Info::Paused, Info::Stopped));
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

TEST_F(AudioChannels, ADiscardedBufferIsDeletedOnlyOnceNothingUsesIt) {
    gxtkSample* a = Tone(0.05);
    const unsigned name = a->buffer;
    audio->PlaySample(a, 10, 1);
    a->Discard();
    audio->FlushDiscarded();
    EXPECT_TRUE(gxtkAudio::BufferExists(name));  // still sounding: tried again later
    audio->PlaySample(Tone(0.05), 10, 1);
    audio->FlushDiscarded();
    EXPECT_EQ(Values(gxtkAudio::BufferExists(name), Discarded(name)), Values(false, false));

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
    EXPECT_EQ(Values(gxtkAudio::BufferExists(idle_name), Discarded(idle_name)), Values(false, false));
}

// Ogg music streams: it plays, loops on past its length or ends, pauses,
// resumes and stops like any channel. Other sounds play whole; a file that
// is missing or no sound at all fails.
TEST_F(AudioChannels, OggMusicStreamsLoopsOrEndsAndOtherMusicPlaysWhole) {
    const int music = gxtkAudio::kMusicChannel;
    std::ofstream("short.ogg", std::ios::binary) << sound_files::EncodeOgg(2, 44100, 4410, [](long i, int c) {
        return 0.3f * std::sin(0.05f * static_cast<float>(i * (c + 1)));
    });
    gxtkSample* clock = Tone(0.6);  // ends well after a tenth of a second more than the tune
    ASSERT_EQ(audio->PlayMusic(String("short.ogg"), 1), 0);
    audio->PlaySample(clock, 7, 0);
    EXPECT_EQ(Values(audio->MusicState(), audio->Inspect(music).alState, audio->Inspect(music).looping),
              Values(1, Info::Playing, 0));  // the stream loops, not the source
    ASSERT_TRUE(WaitFinished(7));
    EXPECT_EQ(Values(audio->MusicState(), audio->Inspect(music).alState), Values(1, Info::Playing));

    audio->PauseMusic();
    audio->Suspend();
    audio->Resume();
    EXPECT_EQ(Values(audio->MusicState(), audio->Inspect(music).alState), Values(2, Info::Paused));
    audio->ResumeMusic();
    EXPECT_EQ(Values(audio->MusicState(), audio->Inspect(music).alState), Values(1, Info::Playing));
    audio->StopMusic();
    EXPECT_EQ(Values(audio->MusicState(), audio->Inspect(music).alState), Values(0, Info::Stopped));

    // Once through, then it has ended.
    ASSERT_EQ(audio->PlayMusic(String("short.ogg"), 0), 0);
    EXPECT_EQ(audio->MusicState(), 1);
    EXPECT_TRUE(WaitFor([&] { return audio->MusicState() == 0; }, 10));

    WriteTone("level.wav", 440, 1.0);
    ASSERT_EQ(audio->PlayMusic(String("level.wav"), 1), 0);
    EXPECT_EQ(Values(gxtkAudio::InspectBuffer(audio->Inspect(music).buffer).size, audio->Inspect(music).looping),
              Values(44100 * 2, 1));
    std::ofstream("noise.ogg") << std::string(5000, 'x');
    for (const char* bad : {"none.ogg", "noise.ogg", "none.wav"}) {
        EXPECT_EQ(audio->PlayMusic(String(bad), 1), -1) << bad;
        EXPECT_EQ(audio->MusicState(), 0) << bad;
    }
}

// Whatever the music did before, a new play starts its tune and the tune is
// found ended once it has ended: no buffer of the stream is lost on the way
// (twice round, as a lost one shows only at a later play).
TEST_F(AudioChannels, EveryPlayOfMusicStartsItsTuneWhateverCameBefore) {
    const auto tune = [](long i, int c) { return 0.3f * std::sin(0.05f * static_cast<float>(i * (c + 1))); };
    std::ofstream("tune.ogg", std::ios::binary) << sound_files::EncodeOgg(2, 44100, 4410, tune);
    // A second link of another layout cannot be played on: even a looping
    // tune ends there.
    std::ofstream("damaged.ogg", std::ios::binary)
        << sound_files::EncodeOgg(2, 44100, 4410, tune) + sound_files::EncodeOgg(1, 22050, 4410, tune, 2);
    const auto ended = [&] { return WaitFor([&] { return audio->MusicState() == 0; }, 10); };
    const auto play = [&](const char* file, int flags) { ASSERT_EQ(audio->PlayMusic(String(file), flags), 0) << file; };
    const auto to_end = [&](const char* file, int flags) {
        play(file, flags);
        EXPECT_TRUE(ended()) << file;
    };
    const std::pair<const char*, std::function<void()>> before[] = {
        {"ended", [&] { to_end("tune.ogg", 0); }},
        {"damaged", [&] { to_end("damaged.ogg", 1); }},
        {"paused", [&] { play("tune.ogg", 1), audio->PauseMusic(); }},
        {"stopped", [&] { play("tune.ogg", 1), audio->StopMusic(); }},
        {"playing", [&] { play("tune.ogg", 1); }},
    };
    for (int round = 0; round < 2; ++round) {
        for (const auto& [what, make] : before) {
            make();
            play("tune.ogg", 0);
            EXPECT_TRUE(ended()) << what << ", round " << round;
        }
    }
}

// A stream that ran dry, paused and resumed goes on where it stopped: what
// was heard already is not played again.
TEST_F(AudioChannels, MusicThatRanDryResumesWithNothingPlayedTwice) {
    const int music = gxtkAudio::kMusicChannel;
    std::ofstream("long.ogg", std::ios::binary) << sound_files::EncodeOgg(2, 44100, 44100, [](long i, int) {
        return 0.3f * std::sin(0.05f * static_cast<float>(i));
    });
    gxtkAudio::starveMusic = true;
    ASSERT_EQ(audio->PlayMusic(String("long.ogg"), 1), 0);
    const bool dry = WaitFinished(music);  // its first piece played, and no more came
    audio->PauseMusic();
    audio->ResumeMusic();
    const Info resumed = audio->Inspect(music);
    gxtkAudio::starveMusic = false;
    EXPECT_EQ(Values(dry, audio->MusicState(), resumed.alState), Values(true, 1, Info::Initial));
    EXPECT_TRUE(WaitFor([&] { return audio->Inspect(music).alState == Info::Playing; }, 10));
    audio->StopMusic();
}

// A sample still sounding, or held by a sound the game keeps, lives on.
TEST_F(AudioChannels, ASoundingOrHeldSampleSurvivesTheCollectorAndAnEndedOneDoesNot) {
    const bool stress = gc_stress;
    gxtkSample* looping = Tone(0.05);
    gxtkSample* ended = Tone(0.02);
    const unsigned ended_name = ended->buffer;
    audio->PlaySample(looping, 13, 1);
    audio->PlaySample(ended, 14, 0);
    c_Sound* held = orv_audio_LoadSound(String("sfx/blip.wav"));
    c_Sound* dropped = orv_audio_LoadSound(String("sfx/blip.wav"));
    ASSERT_TRUE(held && dropped);
    extra_root = held;
    ASSERT_TRUE(WaitFinished(14));
    // The stores kept all through the cycle they were made in; the device
    // and the root alone decide in the next.
    FullCycle();
    FullCycle();
    // The ended one destroyed, its buffer handed over.
    EXPECT_EQ(Values(gc_is_live(looping), gc_is_live(held->m_Sample), gc_is_live(dropped), Discarded(ended_name)),
              Values(true, true, false, true));

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

// ---------------------------------------------------------------- audio API

using AudioApi = AudioChannels;

TEST_F(AudioApi, SoundsAndMusicComeFromTheDataFolderAndReachTheDeviceOnceThereIsOne) {
    c_Sound* blip = orv_audio_LoadSound(String("sfx/blip.wav"));
    ASSERT_TRUE(blip && blip->m_Sample);
    EXPECT_EQ(orv_audio_LoadSound(String("sfx/none.wav")), nullptr);
    orv_audio_PlaySound(blip, 2, 1);
    orv_audio_SetChannelVolume(2, 0.25f);
    orv_audio_SetChannelRate(2, 1.5f);
    orv_audio_SetChannelPan(2, 1.0f);
    const Info i = audio->Inspect(2);
    EXPECT_EQ(Values(i.buffer, i.looping, i.gain, i.pitch, i.position[0], i.position[1], i.position[2]),
              Values(blip->m_Sample->buffer, 1, 0.25f, 1.5f, std::sin(1.0f), 0, -std::cos(1.0f)));
    orv_audio_StopChannel(2);
    // Nothing to play: nothing happens, and no error.
    orv_audio_PlaySound(nullptr, 2, 0);
    orv_audio_PlaySound((new c_Sound())->m_new(), 2, 0);
    EXPECT_EQ(audio->ChannelState(2), 0);

    EXPECT_EQ(orv_audio_PlayMusic(String("sfx/tune.wav"), 1), 0);
    std::vector<int> states;  // after a pause, a resumption and a stop
    for (int (*call)() : {orv_audio_PauseMusic, orv_audio_ResumeMusic, orv_audio_StopMusic}) {
        call();
        states.push_back(audio->MusicState());
    }
    EXPECT_EQ(states, std::vector<int>({2, 1, 0}));
    // A tune that cannot be loaded stops the one playing, and only that.
    EXPECT_EQ(orv_audio_PlayMusic(String("sfx/tune.wav"), 1), 0);
    orv_audio_PlaySound(blip, 2, 1);
    EXPECT_EQ(orv_audio_PlayMusic(String("sfx/none.ogg"), 1), -1);
    EXPECT_EQ(Values(audio->MusicState(), audio->ChannelState(2)), Values(0, 1));

    // Before the device exists, every call does nothing.
    orv_audio_device = nullptr;
    EXPECT_EQ(orv_audio_LoadSound(String("sfx/blip.wav")), nullptr);
    EXPECT_EQ(orv_audio_PlayMusic(String("sfx/tune.wav"), 1), -1);
    orv_audio_PlaySound((new c_Sound())->m_new(new gxtkSample()), 0, 0);
    orv_audio_StopChannel(0);
    for (auto set : {orv_audio_SetChannelVolume, orv_audio_SetChannelPan, orv_audio_SetChannelRate}) set(0, 1);
    for (auto call : {orv_audio_StopMusic, orv_audio_PauseMusic, orv_audio_ResumeMusic}) call();
    orv_audio_SetAudioDevice(audio);
}

}  // namespace
