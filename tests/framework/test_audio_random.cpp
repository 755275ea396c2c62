// The audio API on the device (OpenAL's silent output), the delegate's part
// in suspending sound, the random generator's exact values, and the math
// helpers' edge cases.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/audio.h"
#include "framework/random.h"
#include "tests/host/audio_test_util.h"

namespace {

namespace fs = std::filesystem;
using Info = gxtkAudio::SourceInfo;

// ---------------------------------------------------------------- audio API

class AudioApi : public ::testing::Test {
protected:
    void SetUp() override {
        audio = audio_test::NullAudioDevice();
        old_dir = fs::current_path();
        char name[] = "/tmp/vellumby-audioapi-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        fs::current_path(dir);
        fs::create_directories("data/sfx");
        audio_test::WriteTone("data/sfx/blip.wav", 440, 0.5);
        audio_test::WriteTone("data/sfx/tune.wav", 300, 0.5);
    }
    void TearDown() override {
        for (int ch = 0; ch < gxtkAudio::kChannels; ++ch) audio->StopChannel(ch);
        audio_test::extra_root = nullptr;
        fs::current_path(old_dir);
        fs::remove_all(dir);
    }

    gxtkAudio* audio = nullptr;
    fs::path dir, old_dir;
};

TEST_F(AudioApi, SoundsComeFromTheDataFolderAndReachTheDevice) {
    c_Sound* blip = orv_audio_LoadSound(String("sfx/blip.wav"));
    ASSERT_NE(blip, nullptr);
    ASSERT_NE(blip->m_Sample, nullptr);
    EXPECT_EQ(orv_audio_LoadSound(String("sfx/none.wav")), nullptr);

    orv_audio_PlaySound(blip, 2, 1);
    EXPECT_EQ(audio->ChannelState(2), 1);
    EXPECT_EQ(audio->Inspect(2).buffer, blip->m_Sample->buffer);
    EXPECT_EQ(audio->Inspect(2).looping, 1);
    orv_audio_SetChannelVolume(2, 0.25f);
    orv_audio_SetChannelRate(2, 1.5f);
    orv_audio_SetChannelPan(2, 1.0f);
    const Info i = audio->Inspect(2);
    EXPECT_FLOAT_EQ(i.gain, 0.25f);
    EXPECT_FLOAT_EQ(i.pitch, 1.5f);
    EXPECT_NEAR(i.position[0], std::sin(1.0), 1e-6);
    orv_audio_StopChannel(2);
    EXPECT_EQ(audio->ChannelState(2), 0);

    // Nothing to play: nothing happens, and no error.
    orv_audio_PlaySound(nullptr, 2, 0);
    orv_audio_PlaySound((new c_Sound())->m_new(), 2, 0);
    EXPECT_EQ(audio->ChannelState(2), 0);

    EXPECT_EQ(orv_audio_PlayMusic(String("sfx/tune.wav"), 1), 0);
    EXPECT_EQ(audio->MusicState(), 1);
    orv_audio_PauseMusic();
    EXPECT_EQ(audio->MusicState(), 2);
    orv_audio_ResumeMusic();
    EXPECT_EQ(audio->MusicState(), 1);
    audio->SetMusicVolume(0.5f);
    EXPECT_FLOAT_EQ(audio->Inspect(32).gain, 0.5f);
    // A tune that cannot be loaded stops the one playing, and only that.
    orv_audio_PlaySound(blip, 2, 1);
    EXPECT_EQ(orv_audio_PlayMusic(String("sfx/none.ogg"), 1), -1);
    EXPECT_EQ(audio->MusicState(), 0);
    EXPECT_EQ(audio->Inspect(32).alState, Info::Stopped);
    EXPECT_EQ(audio->ChannelState(2), 1);

    audio->SetVolume(2, 1.0f);
    audio->SetRate(2, 1.0f);
    audio->SetPan(2, 0.0f);
    audio->SetVolume(32, 1.0f);
}

TEST_F(AudioApi, AHeldSoundKeepsItsSampleAcrossCollections) {
    c_Sound* held = orv_audio_LoadSound(String("sfx/blip.wav"));
    c_Sound* dropped = orv_audio_LoadSound(String("sfx/blip.wav"));
    ASSERT_TRUE(held && dropped);
    gxtkSample* sample = held->m_Sample;
    const unsigned dropped_buffer = dropped->m_Sample->buffer;
    audio_test::extra_root = held;
    audio_test::FullCycle();
    audio_test::FullCycle();
    EXPECT_TRUE(gc_is_live(held));
    EXPECT_TRUE(gc_is_live(sample));
    EXPECT_NE(sample->buffer, 0u);
    EXPECT_FALSE(gc_is_live(dropped));
    bool handed_over = false;
    for (unsigned b : gxtkAudio::discarded) handed_over |= b == dropped_buffer;
    EXPECT_TRUE(handed_over);
}

TEST_F(AudioApi, CallsBeforeTheDeviceExistsDoNothing) {
    orv_audio_device = nullptr;
    EXPECT_EQ(orv_audio_LoadSound(String("sfx/blip.wav")), nullptr);
    EXPECT_EQ(orv_audio_PlayMusic(String("sfx/tune.wav"), 1), -1);
    orv_audio_PlaySound((new c_Sound())->m_new(new gxtkSample()), 0, 0);
    orv_audio_StopChannel(0);
    orv_audio_SetChannelVolume(0, 1);
    orv_audio_SetChannelPan(0, 0);
    orv_audio_SetChannelRate(0, 1);
    orv_audio_StopMusic();
    orv_audio_PauseMusic();
    orv_audio_ResumeMusic();
    orv_audio_SetAudioDevice(audio);
    EXPECT_EQ(orv_audio_device, audio);
}

class SuspendApp : public c_App {
public:
    int p_OnSuspend() override {
        seen.push_back(orv_audio_device->Inspect(0).alState);
        return 0;
    }
    int p_OnResume() override {
        seen.push_back(orv_audio_device->Inspect(0).alState);
        return 0;
    }
    std::vector<int> seen;
};

TEST_F(AudioApi, TheDelegatePausesSoundAfterTheAppAndRestartsItBefore) {
    c_Sound* loop = orv_audio_LoadSound(String("sfx/blip.wav"));
    orv_audio_PlaySound(loop, 0, 1);
    SuspendApp* app = new SuspendApp();
    c_GameDelegate* delegate = (new c_GameDelegate())->m_new();
    gc_assign(delegate->m__audio, audio);
    gc_assign(orv_app__app, static_cast<c_App*>(app));

    delegate->SuspendGame();
    EXPECT_EQ(audio->Inspect(0).alState, Info::Paused);
    delegate->ResumeGame();
    EXPECT_EQ(audio->Inspect(0).alState, Info::Playing);
    // The app saw the sound still playing when told of the suspension, and
    // playing again when told of the resumption.
    EXPECT_EQ(app->seen, (std::vector<int>{Info::Playing, Info::Playing}));

    // The delegate alone keeps the device alive.
    orv_audio_device = nullptr;
    audio_test::extra_root = app;
    const bool stress = gc_stress;
    gc_stress = true;
    gc_mark();
    gc_collect_step(delegate);
    gc_stress = stress;
    EXPECT_TRUE(gc_is_live(audio));
    orv_audio_SetAudioDevice(audio);
    orv_app__app = nullptr;
}

// ---------------------------------------------------------------- random

TEST(Random, FirstDrawsFromKnownSeeds) {
    // 1234 × 1664525 + 1013904223 = 3067928073 (mod 2^32), read as signed;
    // its top 24 bits are 11984094.
    orv_random_Seed = 1234;
    EXPECT_EQ(orv_random_Rnd(), 11984094.0f / 16777216.0f);
    EXPECT_EQ(orv_random_Seed, -1227039223);
    // A negative state wraps the same way.
    const std::uint32_t next = 3067928073u * 1664525u + 1013904223u;
    EXPECT_EQ(orv_random_Rnd(), static_cast<float>(next >> 8) / 16777216.0f);
    EXPECT_EQ(orv_random_Seed, static_cast<std::int32_t>(next));

    orv_random_Seed = 0;
    EXPECT_EQ(orv_random_Rnd(), 3960563.0f / 16777216.0f);
    EXPECT_EQ(orv_random_Seed, 1013904223);

    orv_random_Seed = -1;
    orv_random_Rnd();
    EXPECT_EQ(orv_random_Seed, 1013904223 - 1664525);
}

TEST(Random, TheSameSeedRepeatsTheSequence) {
    std::vector<float> first, again;
    orv_random_Seed = 99;
    for (int i = 0; i < 1000; ++i) first.push_back(orv_random_Rnd2(-3, 7));
    orv_random_Seed = 99;
    for (int i = 0; i < 1000; ++i) again.push_back(orv_random_Rnd2(-3, 7));
    EXPECT_EQ(first, again);
    for (float v : first) {
        EXPECT_GE(v, -3.0f);
        EXPECT_LT(v, 7.0f);
    }
}

TEST(Random, RangesAndTheirTopEdge) {
    orv_random_Seed = 1234;
    EXPECT_EQ(orv_random_Rnd2(5, 5), 5.0f);
    EXPECT_EQ(orv_random_Seed, -1227039223);  // a draw was still made
    orv_random_Seed = 1234;
    EXPECT_EQ(orv_random_Rnd3(10), 11984094.0f / 16777216.0f * 10.0f);

    // From this seed the next state is 0xFFFFFFFF, the top draw 1 − 2^−24.
    const int top = 653637408;
    orv_random_Seed = top;
    EXPECT_EQ(orv_random_Rnd(), 1.0f - 1.0f / 16777216.0f);
    EXPECT_EQ(orv_random_Seed, -1);
    // In single precision 1 + (1 − 2^−24) rounds to 2: the high end itself.
    orv_random_Seed = top;
    EXPECT_EQ(orv_random_Rnd2(1, 2), 2.0f);
    orv_random_Seed = top;
    EXPECT_LT(orv_random_Rnd3(3), 3.0f);
}

// ---------------------------------------------------------------- math

TEST(Math, EdgeCases) {
    EXPECT_EQ(orv_math_Abs(INT_MIN), INT_MIN);
    EXPECT_EQ(orv_math_Abs(-5), 5);
    EXPECT_EQ(orv_math_Abs(7), 7);
    EXPECT_EQ(orv_math_Abs2(-2.5f), 2.5f);
    EXPECT_EQ(orv_math_Max(-7, 3), 3);
    EXPECT_EQ(orv_math_Max(3, -7), 3);
    // Equal arguments give the second: seen through the sign of zero.
    EXPECT_TRUE(std::signbit(orv_math_Max2(0.0f, -0.0f)));
    EXPECT_FALSE(std::signbit(orv_math_Max2(-0.0f, 0.0f)));
    EXPECT_EQ(orv_math_Max2(1, 1), 1.0f);
    EXPECT_EQ(orv_math_Max2(NAN, 4), 4.0f);
    EXPECT_TRUE(std::isnan(orv_math_Max2(4, NAN)));
    EXPECT_EQ(orv_math_Max2(-1, 2.5f), 2.5f);
}

}  // namespace
