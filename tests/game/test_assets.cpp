// Image and sound slots, the staged loader and its loading screen, and the
// sound effects and music, on the test host with a recording drawing device
// and an audio device that keeps every call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/random.h"
#include "game/my_app.h"
#include "tests/support/game_host.h"
#include "tests/support/null_audio.h"

namespace {

using Call = RecordingGraphics::Call;
const std::string kData = "quarlo://data/";

class Assets : public ::testing::Test {
protected:
    void SetUp() override {
        game.Start();
        audio = static_cast<NullAudio*>(game.audio);
        app = static_cast<c_MyApp*>(orv_app__app);
    }
    std::vector<std::string> ImagePaths() const {
        std::vector<std::string> paths;
        for (const auto& r : game.graphics->Of(Call::LoadSurface)) paths.push_back(r.path.substr(kData.size()));
        return paths;
    }
    std::vector<NullAudio::Call> AudioCalls(const std::string& op) const {
        std::vector<NullAudio::Call> found;
        for (const NullAudio::Call& c : audio->calls) {
            if (c.op == op) found.push_back(c);
        }
        return found;
    }
    int Jingles() const {
        int n = 0;
        for (const NullAudio::Call& c : AudioCalls("PlaySample")) n += c.sample == kData + "sfx/096.wav";
        return n;
    }
    int UpdatesToLoad() {
        int updates = 0;
        while (app->m_LoadStage != 0 && updates < 100) {
            game.Update();
            ++updates;
        }
        return updates;
    }
    const float* Command(int index) const { return &app->m_DrawList[index * 15]; }

    GameHost game;
    NullAudio* audio = nullptr;
    c_MyApp* app = nullptr;
};

TEST_F(Assets, LoaderWalks35StepsBehindTheLoadingScreen) {
    // Creation loads the logo and the font at once, for the loading screen.
    EXPECT_EQ(ImagePaths(),
              (std::vector<std::string>{"trel_font.png", "common/QEVLLogo-hd.png", "fonts/editundo-hd.png"}));
    EXPECT_EQ(app->m_LoadStage, 1);

    int updates = 0;
    while (app->m_LoadStage != 0 && updates < 100) {
        game.Update();
        ++updates;
        EXPECT_EQ(Jingles(), updates < 4 ? 0 : 1);  // the logo's jingle, at step 4
        EXPECT_EQ(app->m_DrawCount, 25 * 15);     // the loading screen and nothing else
        EXPECT_EQ(app->m_ClsR, 40);
    }
    EXPECT_EQ(updates, 35);

    EXPECT_EQ(ImagePaths(), (std::vector<std::string>{
                                "trel_font.png", "common/QEVLLogo-hd.png", "fonts/editundo-hd.png",
                                "common/icons-hd.png", "common/Buttons-hd.png", "common/dpad-hd.png",
                                "common/QEVLLogo-hd.png", "common/Testcard_Circle-hd.png", "fonts/editundo-hd.png",
                                "menu-hd.png", "logo-hd.png", "parts-hd.png", "BadgesA-hd.png", "gfx-hd.png"}));
    std::vector<std::string> sounds;
    for (const NullAudio::Call& c : AudioCalls("LoadSample")) sounds.push_back(c.sample.substr(kData.size() + 4));
    EXPECT_EQ(sounds, (std::vector<std::string>{"096.wav", "001.wav", "095.wav", "098.wav", "099.wav", "002.wav",
                                                "003.wav", "004.wav", "005.wav", "006.wav", "007.wav", "008.wav",
                                                "009.wav", "010.wav", "011.wav", "012.wav", "013.wav", "014.wav",
                                                "015.wav", "016.wav", "017.wav", "018.wav", "019.wav", "020.wav",
                                                "021.wav"}));
    const NullAudio::Call jingle = AudioCalls("PlaySample")[0];
    EXPECT_EQ(jingle.channel, 1);
    EXPECT_EQ(AudioCalls("SetVolume")[0].value, 1.0f);

    for (int slot : {1, 80, 90, 91, 93, 94, 95, 96, 97, 98, 99}) EXPECT_NE(app->m_Images[slot], nullptr) << slot;
    EXPECT_EQ(app->m_Images[92], nullptr);
    for (int slot = 0; slot < 100; ++slot) {
        const bool listed = (slot >= 1 && slot <= 21) || slot == 95 || slot == 96 || slot == 98 || slot == 99;
        EXPECT_EQ(app->m_Sounds[slot] != nullptr, listed) << slot;
    }
    // Loaded sizes at level 2; the font's layout values instead.
    EXPECT_EQ(std::vector<int>({app->m_ImgInfo[3], app->m_ImgInfo[4], app->m_ImgInfo[5]}),
              (std::vector<int>{32, 32, 256}));
    EXPECT_EQ(std::vector<int>({app->m_ImgInfo[294], app->m_ImgInfo[295], app->m_ImgInfo[296]}),
              (std::vector<int>{512, 256, 1}));
    EXPECT_EQ(std::vector<int>({app->m_ImgInfo[270], app->m_ImgInfo[271], app->m_ImgInfo[272]}),
              (std::vector<int>{7, 10, 128}));
    EXPECT_EQ(app->m_Font, 90);
    game.Update();
    EXPECT_EQ(app->m_ClsR, 0);  // the title screen
}

TEST_F(Assets, LoadingScreenDrawsTheRingsTheBandAndTheLogo) {
    game.Update();
    const float w = 640, h = 480, s = 480;
    auto ringAt = [&](int index, float angle, float colour, float alpha) {
        const float* c = Command(index);
        EXPECT_EQ(c[0], -3716);
        EXPECT_FLOAT_EQ(c[1], w / 2 + orv_math_Sin(angle) * s / 4);
        EXPECT_FLOAT_EQ(c[2], h / 2 - orv_math_Cos(angle) * s / 4);
        EXPECT_EQ(c[4], 8);
        EXPECT_EQ(c[5], 8);
        EXPECT_EQ(c[10], colour);
        EXPECT_FLOAT_EQ(c[7], alpha);
    };
    for (int i = 0; i <= 10; ++i) {
        ringAt(i, 196 + 16.0f * i, 250, i / 10.0f);   // bright half ring, from the old spin 0
        ringAt(14 + i, 16 + 16.0f * i, 50, i / 10.0f);  // dark half ring, from the new spin 16
    }
    const float* sun = Command(11);
    EXPECT_EQ(std::vector<float>({sun[0], sun[1], sun[2], sun[4], sun[11], sun[12]}),
              (std::vector<float>{-3716, 320, 240, 0.3f * s, 255, 0}));
    EXPECT_EQ(sun[7], 0.8f);
    const float* band = Command(12);
    EXPECT_EQ(std::vector<float>({band[0], band[1], band[2], band[4], band[5], band[10], band[11], band[12]}),
              (std::vector<float>{-3717, 0, 0.4f * h, w, 0.2f * h, 250, 160, 60}));
    EXPECT_EQ(band[7], 0.7f);
    const float* logo = Command(13);
    EXPECT_EQ(std::vector<float>({logo[0], logo[1], logo[2], logo[4], logo[6], logo[7], logo[10]}),
              (std::vector<float>{93, 320, 0.48f * h, 1, 0, 1, 255}));
    EXPECT_EQ(app->m_ClsB, 80);

    game.Update();
    ringAt(0, 16 + 196, 250, 0);  // the spin moves on by 16 degrees per update
}

TEST_F(Assets, ImagesComeAtTheLevelTheWindowSizeNeeds) {
    struct Case {
        int width, height, level;
        const char* file;
    };
    for (const Case& c : {Case{1280, 720, 4, "gfx-hd2.png"}, Case{1230, 700, 2, "gfx-hd.png"},
                          Case{630, 470, 1, "gfx.png"}}) {
        SCOPED_TRACE(c.file);
        game.SetWindowSize(c.width, c.height);
        game.Render();
        EXPECT_EQ(UpdatesToLoad(), 35);
        EXPECT_EQ(ImagePaths().back(), c.file);
        EXPECT_EQ(app->m_HdLevel, c.level);
        EXPECT_EQ(app->m_ImgScale, 1.0f / static_cast<float>(c.level));
        EXPECT_EQ(app->m_ImgInfo[3], 16 * c.level);
        EXPECT_EQ(app->m_Images[1]->m_Width, 16 * c.level);
    }
}

TEST_F(Assets, AResizeWhileLoadingStartsAgainWithoutASecondJingle) {
    game.Update(10);
    game.SetWindowSize(800, 600);
    game.Render();
    EXPECT_EQ(app->m_LoadStage, 1);
    EXPECT_EQ(UpdatesToLoad(), 35);
    EXPECT_EQ(Jingles(), 1);
    EXPECT_EQ(AudioCalls("LoadSample").size(), 5u + 25u);  // sounds load again too
}

TEST_F(Assets, AMissingImageLeavesItsSlotEmptyButItsSizesKnown) {
    game.Update(36);
    app->p_LoadImg(1, String("no-such-sheet"), 16, 16, 256, 1);  // replaces a loaded sheet
    app->p_LoadImg(50, String("no-such-picture"), 20, 10, 3, 1);
    EXPECT_EQ(app->m_Images[1], nullptr);
    EXPECT_EQ(app->m_Images[50], nullptr);
    EXPECT_EQ(std::vector<int>({app->m_ImgInfo[3], app->m_ImgInfo[4], app->m_ImgInfo[5]}),
              (std::vector<int>{32, 32, 256}));
    EXPECT_EQ(std::vector<int>({app->m_ImgInfo[150], app->m_ImgInfo[151], app->m_ImgInfo[152]}),
              (std::vector<int>{40, 20, 3}));

    // Empty slots draw nothing; the font's glyph still does.
    app->p_CLS2D(0, 0, 0, 1);
    app->p_DrawImg(1, 100, 100, 0);
    app->p_DrawImg(50, 100, 100, 0);
    app->p_DrawImg(90, 10, 10, 33);
    game.Render();
    int drawn = 0;
    for (const auto& r : game.graphics->LastFrame()) drawn += r.call == Call::DrawSurface2 || r.call == Call::DrawSurface;
    EXPECT_EQ(drawn, 1);
}

TEST_F(Assets, SoundFilesAreNamedWithThreeDigits) {
    audio->calls.clear();
    app->p_LoadSFX(7);
    app->p_LoadSFX(42);
    app->p_LoadSFX(120);
    const std::vector<NullAudio::Call> loads = AudioCalls("LoadSample");
    ASSERT_EQ(loads.size(), 3u);
    EXPECT_EQ(loads[0].sample, kData + "sfx/007.wav");
    EXPECT_EQ(loads[1].sample, kData + "sfx/042.wav");
    EXPECT_EQ(loads[2].sample, kData + "sfx/120.wav");
    EXPECT_NE(app->m_Sounds[7], nullptr);
    EXPECT_EQ(app->m_Sounds[42], nullptr);  // no such file
}

TEST_F(Assets, EffectsRotateOver24ChannelsAndFollowTheSoundMode) {
    game.Update(36);
    audio->calls.clear();
    app->m_SfxCursor = 0;  // the jingle moved it on
    for (int i = 0; i < 25; ++i) app->p_PlaySFX2(99, 0.5f);
    std::vector<int> channels;
    for (const NullAudio::Call& c : AudioCalls("PlaySample")) channels.push_back(c.channel);
    ASSERT_EQ(channels.size(), 25u);
    EXPECT_EQ(channels[0], 1);
    EXPECT_EQ(channels[22], 23);
    EXPECT_EQ(channels[23], 0);
    EXPECT_EQ(channels[24], channels[0]);  // the 25th cuts off the 1st
    const std::vector<NullAudio::Call> first(audio->calls.begin(), audio->calls.begin() + 5);
    EXPECT_EQ(first, (std::vector<NullAudio::Call>{{"StopChannel", 1},
                                                   {"PlaySample", 1, kData + "sfx/099.wav", 0, 0},
                                                   {"SetRate", 1, "", 1.0f},
                                                   {"SetVolume", 1, "", 0.5f},
                                                   {"SetPan", 1, "", 0.0f}}));

    // A sound not loaded: the channel is still stopped and set up.
    audio->calls.clear();
    app->p_PlaySFX(50, 2, 0.25f, -1);
    EXPECT_EQ(audio->calls, (std::vector<NullAudio::Call>{
                                {"StopChannel", 2}, {"SetRate", 2, "", 2}, {"SetVolume", 2, "", 0.25f},
                                {"SetPan", 2, "", -1}}));

    // Music only: no effects, the music starts.
    const std::string music = kData + "sfx/Voduzozu.ogg";
    app->m_Settings[5] = 3;
    audio->calls.clear();
    app->p_PlaySFX2(99, 1);
    app->p_PlayTune(String("Voduzozu"), 1);
    ASSERT_EQ(audio->calls.size(), 1u);
    EXPECT_EQ(audio->calls[0].op, "PlayMusic");
    EXPECT_EQ(audio->calls[0].sample, music);
    EXPECT_EQ(audio->calls[0].flags, 1);
    EXPECT_EQ(app->m_StreamPlaying, 1);

    // Effects only: effects play, a tune only stops what was playing.
    app->m_Settings[5] = 2;
    audio->calls.clear();
    app->p_PlaySFX2(99, 1);
    app->p_PlayTune(String("Voduzozu"), 1);
    EXPECT_EQ(AudioCalls("PlaySample").size(), 1u);
    EXPECT_EQ(AudioCalls("StopMusic").size(), 1u);
    EXPECT_TRUE(AudioCalls("PlayMusic").empty());
    EXPECT_EQ(app->m_StreamPlaying, 0);

    // Sound off: nothing at all.
    app->m_Settings[5] = 0;
    audio->calls.clear();
    app->p_PlaySFX2(99, 1);
    app->p_PlayTune(String("Voduzozu"), 1);
    EXPECT_TRUE(audio->calls.empty());
    app->p_StopTune();
    EXPECT_EQ(AudioCalls("StopMusic").size(), 1u);
}

}  // namespace
