// The staged loader and its loading screen, image levels, and the sound
// effects and music, on the test host with the recording devices.
#include "tests/game/game_test.h"

namespace {

const std::string kData = "quarlo://data/";

class Assets : public HostTest {
protected:
    std::vector<std::string> ImagePaths() const {
        std::vector<std::string> paths;
        for (const auto& r : game.graphics->Of(RecordingGraphics::Call::LoadSurface)) {
            paths.push_back(r.path.substr(kData.size()));
        }
        return paths;
    }
    std::vector<NullAudio::Call> Calls(const std::string& op, const std::string& sample = "") const {
        std::vector<NullAudio::Call> found;
        for (const NullAudio::Call& c : audio->calls) {
            if (c.op == op && (sample.empty() || c.sample == kData + sample)) found.push_back(c);
        }
        return found;
    }
    int Jingles() const { return static_cast<int>(Calls("PlaySample", "sfx/096.wav").size()); }
};

TEST_F(Assets, LoaderWalks35StepsBehindTheLoadingScreen) {
    EXPECT_EQ(app->m_LoadStage, 1);
    int updates = 0;
    for (; app->m_LoadStage != 0 && updates < 100; ++updates) {
        // The logo's jingle at step 4; the loading screen and nothing else.
        game.Update();
        EXPECT_EQ(Values(Jingles(), app->m_DrawCount), Values(updates < 3 ? 0 : 1, 25 * 15)) << updates;
    }
    EXPECT_EQ(updates, 35);
    // Creation's logo and font, then the steps' images; every sound slot in use.
    EXPECT_EQ(ImagePaths(), (std::vector<std::string>{
                                "trel_font.png", "common/QEVLLogo-hd.png", "fonts/editundo-hd.png",
                                "common/icons-hd.png", "common/Buttons-hd.png", "common/dpad-hd.png",
                                "common/QEVLLogo-hd.png", "common/Testcard_Circle-hd.png", "fonts/editundo-hd.png",
                                "menu-hd.png", "logo-hd.png", "parts-hd.png", "BadgesA-hd.png", "gfx-hd.png"}));
    EXPECT_EQ(Calls("LoadSample").size(), 25u);
    for (int slot = 0; slot < 100; ++slot) {
        const bool listed = (slot >= 1 && slot <= 21) || slot == 95 || slot == 96 || slot == 98 || slot == 99;
        EXPECT_EQ(app->m_Sounds[slot] != nullptr, listed) << slot;
    }
    // The logo at level 2 and the font's layout values.
    EXPECT_EQ(Values(app->m_ImgInfo[294], app->m_ImgInfo[295], app->m_ImgInfo[296], app->m_ImgInfo[270],
                     app->m_ImgInfo[271], app->m_ImgInfo[272]),
              Values(512, 256, 1, 7, 10, 128));

    EXPECT_EQ(Values(app->m_DrawList[13 * 15], app->m_ClsB), Values(93, 80));  // the logo amid the rings
    game.Update();
    EXPECT_EQ(app->m_ClsR, 0);  // the title screen
}

TEST_F(Assets, ImagesComeAtTheLevelTheWindowSizeNeedsAndAResizeRestartsTheLoader) {
    // A resize while loading starts again without a second jingle; the
    // screen waiting for the loader (the quit prompt, say) stays.
    app->m_Mode = 4;
    game.Update(10);
    for (auto [width, height, level, file] : {std::tuple{800, 600, 2, "gfx-hd.png"}, {1280, 720, 4, "gfx-hd2.png"},
                                              {1230, 700, 2, "gfx-hd.png"}, {630, 470, 1, "gfx.png"}}) {
        SCOPED_TRACE(file);
        game.SetWindowSize(width, height);
        game.Render();
        EXPECT_EQ(app->m_LoadStage, 1);
        EXPECT_EQ(Load(), 35);
        EXPECT_EQ(ImagePaths().back(), file);
        EXPECT_EQ(Values(app->m_ImgScale, app->m_Images[1]->m_Width), Values(1.0f / level, 16 * level));
    }
    EXPECT_EQ(Values(Jingles(), Calls("LoadSample").size(), app->m_Mode), Values(1, 5 + 4 * 25, 4));
}

TEST_F(Assets, EffectsRotateOver24ChannelsAndFollowTheSoundMode) {
    Load();
    audio->calls.clear();
    app->m_SfxCursor = 0;  // the jingle moved it on
    for (int i = 0; i < 25; ++i) app->p_PlaySFX2(99, 0.5f);
    const std::vector<NullAudio::Call> plays = Calls("PlaySample");
    ASSERT_EQ(plays.size(), 25u);
    // The 25th cuts off the 1st.
    EXPECT_EQ(Values(plays[22].channel, plays[23].channel, plays[24].channel), Values(23, 0, plays[0].channel));
    const std::vector<NullAudio::Call> first(audio->calls.begin(), audio->calls.begin() + 5);
    EXPECT_EQ(first, (std::vector<NullAudio::Call>{{"StopChannel", 1},
                                                   {"PlaySample", 1, kData + "sfx/099.wav", 0, 0},
                                                   {"SetRate", 1, "", 1.0f},
                                                   {"SetVolume", 1, "", 0.5f},
                                                   {"SetPan", 1, "", 0.0f}}));

    // Sound mode 3: no effects, the music starts; mode 2: effects play and a
    // tune only stops the one playing; mode 0: nothing.
    for (int mode : {3, 2, 0}) {
        app->m_Settings[5] = mode;
        audio->calls.clear();
        app->p_PlaySFX2(99, 1);
        app->p_PlayTune(String("Voduzozu"), 1);
        EXPECT_EQ(Values(Calls("PlaySample").size(), Calls("PlayMusic").size(), Calls("StopMusic").size(),
                         app->m_StreamPlaying),
                  Values(mode == 2, mode == 3, mode == 2, mode == 3))
            << mode;
    }
}

}  // namespace
