// The game object's life cycle on the test host: start values, the update's
// bookkeeping (pointer, latches, back, overlays' slides, music pause, debug
// keys), suspend and resume, and the ways the program ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/input.h"
#include "game/my_app.h"
#include "tests/support/game_host.h"
#include "tests/support/null_audio.h"

namespace {

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        game.Start();
        audio = static_cast<NullAudio*>(game.audio);
        app = static_cast<c_MyApp*>(orv_app__app);
    }
    // The loader's 35 updates, then the title screen's first update.
    void ToTitle() {
        game.Update(36);
        game.Render();
    }
    std::vector<std::string> AudioOps() const {
        std::vector<std::string> ops;
        for (const NullAudio::Call& c : audio->calls) ops.push_back(c.op);
        return ops;
    }

    GameHost game;
    NullAudio* audio = nullptr;
    c_MyApp* app = nullptr;
};

TEST_F(Shell, CreationGivesEveryArrayItsLengthAndTheStartValues) {
    EXPECT_EQ(app->m_DrawList.Length(), 37500);
    EXPECT_EQ(app->m_VPad.Length(), 20);
    EXPECT_EQ(app->m_TouchX.Length(), 10);
    EXPECT_EQ(app->m_Images.Length(), 100);
    EXPECT_EQ(app->m_ImgInfo.Length(), 300);
    EXPECT_EQ(app->m_Sounds.Length(), 100);
    EXPECT_EQ(app->m_ChanOrder.Length(), 33);
    EXPECT_EQ(app->m_Settings.Length(), 25);
    EXPECT_EQ(app->m_Scores.Length(), 150);
    EXPECT_EQ(app->m_BadgeGot.Length(), 256);
    EXPECT_EQ(app->m_BadgePopTime.Length(), 15);
    EXPECT_EQ(app->m_Garden.Length(), 10240);
    EXPECT_EQ(app->m_Player.Length(), 512);
    EXPECT_EQ(app->m_Enemies.Length(), 100);
    EXPECT_EQ(app->m_Particles.Length(), 5100);
    EXPECT_EQ(app->m_Stars.Length(), 5100);
    EXPECT_EQ(app->m_ParticleMax, 250);
    EXPECT_EQ(app->m_StarMax, 100);

    EXPECT_EQ(app->m_Mode, 1);
    EXPECT_EQ(app->m_LoadStage, 1);
    EXPECT_EQ(app->m_GameType, 2);
    EXPECT_EQ(app->m_MenuSlide, -32);
    EXPECT_EQ(app->m_PauseOpen, -1);
    EXPECT_EQ(app->m_PauseY, -64);
    EXPECT_EQ(app->m_Settings[5], 1);
    EXPECT_EQ(app->m_LastWidth, 640);
    EXPECT_EQ(app->m_LastHeight, 480);
    for (int i = 0; i <= 32; ++i) EXPECT_EQ(app->m_ChanOrder[i], i);
    EXPECT_EQ(game.host->UpdateRate(), 60);

    EXPECT_EQ(orv_Kemp_rawscrw, 640);
    EXPECT_EQ(orv_Kemp_overscan, 0);
    EXPECT_EQ(orv_Kemp_HasMusic, 0);
    EXPECT_EQ(orv_Kemp_HasMusicStream, 1);
    ASSERT_EQ(orv_Kemp_CreditText.Length(), 49);
    EXPECT_TRUE(orv_Kemp_CreditText[0] == String("Vellumby"));
}

TEST_F(Shell, NoScreenRunsWhileLoadingThenTheModeScreenResumes) {
    app->m_Mode = 4;  // the quit prompt was up when the window changed size
    game.Update(35);
    EXPECT_EQ(app->m_LoadStage, 0);
    EXPECT_EQ(app->m_ClsR, 40);  // the loading screen is the last picture
    game.Update();
    EXPECT_EQ(app->m_Mode, 4);

    // Back to the menu after a game: effect 96, then the title menu.
    app->m_Mode = 2;
    audio->calls.clear();
    game.Update();
    EXPECT_EQ(app->m_Mode, 1);
    int jingles = 0;
    for (const NullAudio::Call& c : audio->calls) {
        jingles += c.op == "PlaySample" && c.sample == "quarlo://data/sfx/096.wav";
    }
    EXPECT_EQ(jingles, 1);
    EXPECT_EQ(app->m_ClsB, 80);
}

TEST_F(Shell, PointerAndTouchesMapToTheVirtualScreen) {
    ToTitle();
    game.SetWindowSize(1280, 720);
    game.Render();  // scale 2
    game.MouseMove(640, 360);
    game.Update();
    EXPECT_EQ(app->m_MouseX, 320);
    EXPECT_EQ(app->m_MouseY, 180);

    game.MouseMove(101, 99);
    game.MouseDown(0);
    game.Update();
    EXPECT_EQ(app->m_MouseX, 50);  // truncated
    EXPECT_EQ(app->m_MouseY, 49);
    EXPECT_EQ(app->m_MouseLastX, 50);  // no jump on the press
    EXPECT_EQ(app->m_MouseDown, 1);
    EXPECT_EQ(app->m_MouseHits, 1);
    game.MouseMove(201, 99);
    game.Update();
    EXPECT_EQ(app->m_MouseLastX, 50);
    EXPECT_EQ(app->m_MouseX, 100);
    EXPECT_EQ(app->m_MouseHits, 0);
    game.MouseUp(0);

    // Overscan 64 at 640 × 480: scale 0.8 from (64, 48).
    orv_Kemp_overscan = 64;
    game.SetWindowSize(640, 480);
    game.Render();
    game.MouseMove(64 + 80, 48 + 40);
    game.TouchDown(2, 64 + 8, 48 + 16);
    game.Update();
    EXPECT_EQ(app->m_MouseX, 100);
    EXPECT_EQ(app->m_MouseY, 50);
    EXPECT_EQ(app->m_TouchDown[2], 1);
    EXPECT_EQ(app->m_TouchX[2], 10);
    EXPECT_EQ(app->m_TouchY[2], 20);
    EXPECT_EQ(app->m_TouchDown[1], 0);
    EXPECT_EQ(app->m_TouchX[1], -3717);
    EXPECT_EQ(app->m_MouseDown, 1);  // a touch counts as pressed
    EXPECT_EQ(app->m_TouchLatch, 0);
}

TEST_F(Shell, BackClosesTheTitleMenusBoxesAndLatchesUntilReleased) {
    ToTitle();
    app->m_CreditsOpen = 1;
    app->m_BadgesOpen = 1;
    game.KeyDown(27);  // Escape: back
    game.Update();
    EXPECT_EQ(app->m_CreditsOpen, 0);
    EXPECT_EQ(app->m_BadgesOpen, 0);
    EXPECT_EQ(app->m_KeyLatch, 1);
    EXPECT_EQ(app->m_TouchLatch, 1);
    game.Update();  // still held: the key latch stays; nothing is pressed on the screen
    EXPECT_EQ(app->m_KeyLatch, 1);
    EXPECT_EQ(app->m_TouchLatch, 0);
    game.KeyUp(27);
    game.Update();
    EXPECT_EQ(app->m_KeyLatch, 0);

    // While the options box is open (it handles back itself) both latches stay set.
    app->m_OptionsOpen = 1;
    game.Update(2);
    EXPECT_EQ(app->m_KeyLatch, 1);
    EXPECT_EQ(app->m_TouchLatch, 1);
    EXPECT_EQ(app->m_OptionsSlide, 2);
    app->m_OptionsOpen = 0;

    // The platform's back key sets the back pad entry for one update (here
    // with no screen running, so that nothing acts on it).
    app->m_Mode = 0;
    orv_input_device->p_KeyEvent(1, 416);
    game.Update();
    EXPECT_EQ(app->m_VPad[19], 1);
    game.Update();
    EXPECT_EQ(app->m_VPad[19], 0);
    // On the Ouya the back key is ignored and pad 0's menu button acts.
    orv_Kemp_isOuya = 1;
    orv_input_device->p_KeyEvent(2, 416);
    orv_input_device->p_KeyEvent(1, 416);
    game.Update();
    EXPECT_EQ(app->m_VPad[19], 0);
    game.fake.pads[0].present = true;
    game.fake.pads[0].buttons.assign(15, glfw27::RELEASE);
    game.fake.pads[0].buttons[14] = glfw27::PRESS;
    game.Update();
    EXPECT_EQ(app->m_VPad[19], 1);
}

TEST_F(Shell, BoxesSlideInAndOutOver30Updates) {
    ToTitle();
    app->m_CreditsOpen = 1;
    game.Update(31);
    EXPECT_EQ(app->m_CreditsSlide, 30);
    app->m_CreditsOpen = 0;
    game.Update(2);
    EXPECT_EQ(app->m_CreditsSlide, 28);  // still drawn while sliding out
    // Away from the title menu the credits box is not drawn but still slides.
    app->m_Mode = 4;
    game.Update(28);
    EXPECT_EQ(app->m_CreditsSlide, 0);
    app->m_OptionsOpen = 1;
    game.Update(40);
    EXPECT_EQ(app->m_OptionsSlide, 30);
}

TEST_F(Shell, StreamedMusicFollowsThePause) {
    ToTitle();
    app->p_PlayTune(String("Voduzozu"), 1);
    audio->calls.clear();
    app->m_Paused = 1;
    game.Update(2);
    app->m_Paused = 0;
    game.Update();
    EXPECT_EQ(AudioOps(), (std::vector<std::string>{"PauseMusic", "PauseMusic", "ResumeMusic"}));
    app->p_StopTune();
    audio->calls.clear();
    app->m_Paused = 1;
    game.Update();
    EXPECT_TRUE(audio->calls.empty());
}

TEST_F(Shell, DebugKeysToggleAndTheRateLineIsDrawnOnTop) {
    ToTitle();
    game.Press(113);  // F2
    game.Update();
    EXPECT_EQ(app->m_DebugShow, 1);
    game.Press(112);  // F1
    game.Update();
    EXPECT_EQ(orv_Kemp_DebugMode, 1);
    const String line = String(app->m_RenderFpsAvg) + String(":") + String(app->m_ScaleX) + String(",") +
                        String(app->m_ScaleY);
    int glyphs = 0;
    for (int i = 0; i < line.Length(); ++i) glyphs += line[i] > 32 ? 1 : 0;
    // The line's glyphs end the picture.
    const int start = app->m_DrawCount - 15 * glyphs;
    ASSERT_GE(start, 0);
    const float* first = &app->m_DrawList[start];
    EXPECT_EQ(first[0], 90);
    EXPECT_EQ(first[1], 16);        // x 16, left end
    EXPECT_EQ(first[2], 480 - 11);  // y = height - 16, top half a line lower
    EXPECT_EQ(first[6], line[0] - 32);
    EXPECT_EQ(app->m_DrawList[app->m_DrawCount - 15 + 6], line[line.Length() - 1] - 32);
    game.Press(112);
    game.Update();
    EXPECT_EQ(orv_Kemp_DebugMode, 0);
}

TEST_F(Shell, SuspendingARunningGamePausesItWithThePanelAtMidHeight) {
    ToTitle();
    game.SetWindowSize(1280, 720);
    game.Render();  // virtual height 360
    app->m_Mode = 10;
    app->m_VPad[3] = 2;
    game.Suspend();
    EXPECT_EQ(app->m_Paused, 1);
    EXPECT_EQ(app->m_PauseOpen, 1);
    EXPECT_EQ(app->m_PauseY, 180);
    EXPECT_EQ(app->m_VPad[3], 0);
    EXPECT_EQ(game.host->UpdateRate(), 5);
    EXPECT_FALSE(game.host->KeyboardEnabled());
    game.Resume();
    EXPECT_EQ(app->m_Paused, 1);
    EXPECT_EQ(app->m_PauseY, 180);
    EXPECT_EQ(game.host->UpdateRate(), 60);
    EXPECT_EQ(AudioOps().back(), "Resume");  // the device resumes before the game

    // On the title menu nothing is paused.
    app->m_Mode = 1;
    game.Suspend();
    EXPECT_EQ(app->m_Paused, 0);
    EXPECT_EQ(app->m_PauseOpen, 0);
    EXPECT_EQ(app->m_PauseY, 0);
}

TEST_F(Shell, F4AndTheCloseBoxEndTheProgramWithStatus0) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ToTitle();
    EXPECT_EXIT(
        {
            game.KeyDown(115);
            game.Update();
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(game.Close(), ::testing::ExitedWithCode(0), "");
    // A close key that reaches the update (without the delegate's own end).
    EXPECT_EXIT(
        {
            orv_input_device->p_KeyEvent(1, 432);
            game.Update();
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(Shell, F11GoesFullScreenAtTheDesktopSizeAndBack) {
    ToTitle();
    game.fake.calls.clear();
    game.KeyDown(122);  // held while the window changes
    game.Update();
    EXPECT_EQ(app->m_Fullscreen, 1);
    EXPECT_EQ(game.fake.calls, (std::vector<std::string>{"close", "open 1280x1024 fullscreen resizable"}));
    EXPECT_EQ(orv_input_KeyDown(122), 0);  // released across the change
    game.KeyUp(122);
    game.Render();
    EXPECT_EQ(app->m_LoadStage, 1);
    game.Update(35);
    EXPECT_EQ(app->m_HdLevel, 4);
    EXPECT_EQ(app->m_Images[1]->m_Width, 64);

    game.fake.calls.clear();
    game.Press(122);
    game.Update();
    EXPECT_EQ(app->m_Fullscreen, 0);
    EXPECT_EQ(game.fake.calls,
              (std::vector<std::string>{"close", "open 640x480 window resizable", "pos 320,272", "title Vellumby"}));
    game.Render();
    game.Update(36);
    EXPECT_EQ(app->m_HdLevel, 2);
    EXPECT_EQ(app->m_ClsR, 0);  // the title again
}

}  // namespace
