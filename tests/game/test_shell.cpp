// The game object's life cycle on the test host: the update's pointer
// mapping, latches and back, the music following the pause, the shell's
// keys, suspend and resume.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/input.h"
#include "game/my_app.h"
#include "tests/game/values.h"
#include "tests/support/game_host.h"
#include "tests/support/null_audio.h"

namespace {

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        game.Start();
        audio = static_cast<NullAudio*>(game.audio);
        app = static_cast<c_MyApp*>(orv_app__app);
        game.Update(36);  // the loader's 35 steps, then the title screen
        game.Render();
    }
    GameHost game;
    NullAudio* audio = nullptr;
    c_MyApp* app = nullptr;
};

TEST_F(Shell, PointerAndTouchesMapToTheVirtualScreen) {
    game.SetWindowSize(1280, 720);
    game.Render();  // scale 2
    game.MouseMove(101, 99);
    game.MouseDown(0);
    game.Update();
    EXPECT_EQ(Values(app->m_MouseX, app->m_MouseY, app->m_MouseLastX, app->m_MouseDown),
              Values(50, 49, 50, 1));  // truncated; no jump on the press
    game.MouseMove(201, 99);
    game.Update();
    EXPECT_EQ(Values(app->m_MouseLastX, app->m_MouseX), Values(50, 100));
    game.MouseUp(0);

    // Overscan 64 at 640 × 480: scale 0.8 from (64, 48).
    orv_Kemp_overscan = 64;
    game.SetWindowSize(640, 480);
    game.Render();
    game.MouseMove(64 + 80, 48 + 40);
    game.TouchDown(2, 64 + 8, 48 + 16);
    game.Update();
    // Slot 1 is up; a touch counts as pressed.
    EXPECT_EQ(Values(app->m_MouseX, app->m_MouseY, app->m_TouchX[2], app->m_TouchY[2], app->m_TouchX[1],
                     app->m_MouseDown),
              Values(100, 50, 10, 20, -3717, 1));
}

TEST_F(Shell, BackClosesTheTitleMenusBoxesAndLatchesUntilReleased) {
    app->m_CreditsOpen = 1;
    app->m_BadgesOpen = 1;
    game.KeyDown(27);  // Escape: back, which on the title menu would end the program
    game.Update();
    EXPECT_EQ(app->m_CreditsOpen + app->m_BadgesOpen, 0);
    EXPECT_EQ(app->m_KeyLatch + app->m_TouchLatch, 2);
    game.Update();  // still held: the key latch stays; nothing is pressed on the screen
    EXPECT_EQ(Values(app->m_KeyLatch, app->m_TouchLatch), Values(1, 0));
    game.KeyUp(27);
    game.Update();
    EXPECT_EQ(app->m_KeyLatch, 0);

    // The platform's back key is the back pad entry; on the Ouya it is
    // ignored and pad 0's menu button acts instead. No screen runs here.
    app->m_Mode = 0;
    orv_input_device->p_KeyEvent(1, 416);
    game.Update();
    EXPECT_EQ(app->m_VPad[19], 1);
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

TEST_F(Shell, StreamedMusicFollowsThePause) {
    app->p_PlayTune(String("Voduzozu"), 1);
    audio->calls.clear();
    app->m_Paused = 1;
    game.Update();
    app->m_Paused = 0;
    game.Update();
    app->p_StopTune();
    app->m_Paused = 1;
    game.Update();
    std::vector<std::string> ops;
    for (const NullAudio::Call& c : audio->calls) ops.push_back(c.op);
    EXPECT_EQ(ops, (std::vector<std::string>{"PauseMusic", "ResumeMusic", "StopMusic"}));
}

TEST_F(Shell, SuspendingARunningGamePausesItWithThePanelAtMidHeight) {
    game.SetWindowSize(1280, 720);
    game.Render();  // virtual height 360
    app->m_Mode = 10;
    app->m_VPad[3] = 2;
    game.Suspend();
    EXPECT_EQ(Values(app->m_Paused, app->m_PauseOpen, app->m_PauseY, app->m_VPad[3]), Values(1, 1, 180, 0));
    EXPECT_EQ(game.host->UpdateRate(), 5);
    game.Resume();
    EXPECT_EQ(Values(app->m_Paused, app->m_PauseOpen, app->m_PauseY), Values(1, 1, 180));
    EXPECT_EQ(game.host->UpdateRate(), 60);
    app->m_Mode = 1;  // on the title menu nothing is paused
    game.Suspend();
    EXPECT_EQ(Values(app->m_Paused, app->m_PauseOpen, app->m_PauseY), Values(0, 0, 0));
}

TEST_F(Shell, F1AndF2ToggleTheDebugSwitchesF4AndTheCloseBoxEndWithStatus0) {
    game.Press(112);
    game.Press(113);
    game.Update();
    // The rate line's glyphs end the picture, at y = height - 16 (alignY 0: half a line lower).
    EXPECT_EQ(Values(orv_Kemp_DebugMode, app->m_DebugShow, app->m_DrawList[app->m_DrawCount - 15],
                     app->m_DrawList[app->m_DrawCount - 13]),
              Values(1, 1, 90, 480 - 11));

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((game.KeyDown(115), game.Update()), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(game.Close(), ::testing::ExitedWithCode(0), "");
    // A close key that reaches the update instead of the delegate.
    EXPECT_EXIT((orv_input_device->p_KeyEvent(1, 432), game.Update()), ::testing::ExitedWithCode(0), "");
}

TEST_F(Shell, F11HeldWhileTheWindowChangesIsReleased) {
    game.fake.calls.clear();
    game.KeyDown(122);
    game.Update();
    EXPECT_EQ(app->m_Fullscreen, 1);
    EXPECT_EQ(game.fake.calls, (std::vector<std::string>{"close", "open 1280x1024 fullscreen resizable"}));
    EXPECT_EQ(orv_input_KeyDown(122), 0);
    game.KeyUp(122);
    game.fake.calls.clear();
    game.Press(122);
    game.Update();
    EXPECT_EQ(game.fake.calls,
              (std::vector<std::string>{"close", "open 640x480 window resizable", "pos 320,272", "title Vellumby"}));
}

}  // namespace
