// The game object's life cycle on the test host: the virtual screen and the
// update's pointer mapping, latches and back, the music following the pause,
// the shell's keys, suspend and resume, and the title menu through whole
// updates.
#include <filesystem>

#include "tests/game/game_test.h"

namespace {

class Shell : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        Load();
    }
    void Tap(int code) {
        game.KeyDown(code);
        game.Update();
        game.KeyUp(code);
        game.Update();
    }
};

TEST_F(Shell, VirtualScreenAndPointerFollowTheWindow) {
    // Scale x, scale y, axis, virtual width and height, landscape.
    for (auto [width, height, expected] : {
             std::tuple{640, 960, Values(2, 2, 2, 320, 480, 0)},     // scales 1 and 2: the height governs
             {640, 480, Values(1, 1, 1, 640, 480, 1)},               // equal scales: the width's axis
             {1280, 720, Values(2, 2, 1, 640, 360, 1)},              // scales 2 and 1.5: the width governs
         }) {
        game.SetWindowSize(width, height);
        game.Render();
        EXPECT_EQ(Values(app->m_ScaleX, app->m_ScaleY, app->m_FitAxis, orv_Kemp_jscrw, orv_Kemp_jscrh,
                         app->m_Landscape),
                  expected)
            << width << "x" << height;
    }
    // The pointer in virtual units, truncated; no jump on the press.
    game.MouseMove(101, 99);
    game.MouseDown(0);
    game.Update();
    EXPECT_EQ(Values(app->m_MouseX, app->m_MouseY, app->m_MouseLastX, app->m_MouseDown), Values(50, 49, 50, 1));
    game.MouseMove(201, 99);
    game.Update();
    EXPECT_EQ(Values(app->m_MouseLastX, app->m_MouseX), Values(50, 100));

    // Suspending a running game pauses it with the panel at mid height, and
    // slows the updates until it resumes; on the title menu nothing is paused.
    app->m_Mode = 10;
    app->m_VPad[3] = 2;
    game.Suspend();
    EXPECT_EQ(Values(app->m_Paused, app->m_PauseOpen, app->m_PauseY, app->m_VPad[3], game.host->UpdateRate()),
              Values(1, 1, 180, 0, 5));
    game.Resume();
    EXPECT_EQ(Values(app->m_Paused, app->m_PauseOpen, app->m_PauseY, game.host->UpdateRate()), Values(1, 1, 180, 60));
    app->m_Mode = 1;
    game.Suspend();
    EXPECT_EQ(Values(app->m_Paused, app->m_PauseOpen, app->m_PauseY), Values(0, 0, 0));
}

TEST_F(Shell, BackClosesTheMenusBoxesOnceThenEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Tap(78);  // N: the credits
    ASSERT_EQ(app->m_CreditsOpen, 1);
    app->m_BadgesOpen = 1;
    game.KeyDown(27);  // Escape: back
    game.Update();
    EXPECT_EQ(Values(app->m_CreditsOpen, app->m_BadgesOpen, app->m_KeyLatch, app->m_TouchLatch, app->m_Mode),
              Values(0, 0, 1, 1, 1));
    game.Update();  // still held: the key latch stays; nothing is pressed on the screen
    EXPECT_EQ(Values(app->m_KeyLatch, app->m_TouchLatch), Values(1, 0));
    game.KeyUp(27);
    game.Update(30);
    EXPECT_EQ(app->m_KeyLatch, 0);

    // Down past the last item (the cog, not a game type) does nothing; there
    // Enter opens the options box, which, once in, closes itself on back and
    // saves.
    for (int i = 0; i < 4; ++i) Tap(40);
    EXPECT_EQ(Values(app->m_MenuSel, app->m_GameType, app->m_MenuScroll), Values(4, 3, -3 * 88));
    Tap(13);
    ASSERT_EQ(Values(app->m_OptionsOpen, app->m_OptSel, app->m_Mode), Values(1, 0, 1));
    game.Update(30);
    Tap(27);
    EXPECT_EQ(Values(app->m_OptionsOpen, app->m_Mode), Values(0, 1));
    EXPECT_TRUE(std::filesystem::exists(game.dir + "/.quarlostate"));
    game.KeyDown(27);  // now back ends the program
    EXPECT_EXIT(game.Update(), testing::ExitedWithCode(0), "");
}

TEST_F(Shell, BackInTheOptionsOfThePausedGameClosesOnlyTheBox) {
    app->m_GameType = 1;
    app->m_Mode = 11;
    game.Update();
    for (int key : {27, 39, 13}) Tap(key);  // pause, the cog, open the options
    ASSERT_EQ(Values(app->m_Paused, app->m_OptionsOpen), Values(1, 1));
    game.Update(30);
    Tap(27);
    EXPECT_EQ(Values(app->m_OptionsOpen, app->m_Paused, app->m_PauseOpen), Values(0, 1, 1));
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
    EXPECT_EQ(MusicCalls(*audio), (std::vector<std::string>{"PauseMusic", "ResumeMusic", "StopMusic"}));
}

TEST_F(Shell, DebugSwitchesAndTheKeysThatEndWithStatus0) {
    game.Press(112);  // F1
    game.Press(113);  // F2
    game.Update();
    // The rate line's glyphs end the picture, at y = height - 16 (alignY 0: half a line lower).
    EXPECT_EQ(Values(orv_Kemp_DebugMode, app->m_DebugShow, app->m_DrawList[app->m_DrawCount - 15],
                     app->m_DrawList[app->m_DrawCount - 13]),
              Values(1, 1, 90, 480 - 11));

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((game.KeyDown(115), game.Update()), ::testing::ExitedWithCode(0), "");  // F4
    EXPECT_EXIT(game.Close(), ::testing::ExitedWithCode(0), "");
}

// F11 switches once per press: held, it is released by the change of
// window and its repeats switch nothing. A full-screen window the display
// refuses keeps the game in its window, with one line that says so.
TEST_F(Shell, F11SwitchesOncePerPressAndARefusedFullScreenKeepsTheWindow) {
    using Names = std::vector<std::string>;
    const Names back_to_window = {"close", "open 640x480 window resizable", "pos 320,272", "title Vellumby"};
    game.fake.calls.clear();
    game.KeyDown(122);
    game.Update();
    EXPECT_EQ(app->m_Fullscreen, 1);
    EXPECT_EQ(game.fake.calls, (Names{"close", "open 1280x1024 fullscreen resizable"}));
    EXPECT_EQ(orv_input_KeyDown(122), 0);
    for (int i = 0; i < 5; ++i) {  // held on, the window system repeats it
        game.fake.callbacks().key(glfw27::KEY_F1 + 10, glfw27::REPEAT);
        game.Update();
    }
    EXPECT_EQ(Values(app->m_Fullscreen, game.fake.calls.size()), Values(1, 2));
    game.KeyUp(122);
    game.fake.calls.clear();
    game.Press(122);
    game.Update();
    EXPECT_EQ(game.fake.calls, back_to_window);

    game.fake.refuse_fullscreen = true;
    game.fake.calls.clear();
    testing::internal::CaptureStdout();
    game.Press(122);
    game.Update();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Full screen 1280 x 1024 could not be opened; staying in a window\n");
    Names expected = {"close", "open 1280x1024 fullscreen resizable"};
    expected.insert(expected.end(), back_to_window.begin() + 1, back_to_window.end());
    EXPECT_EQ(game.fake.calls, expected);
    EXPECT_EQ(app->m_Fullscreen, 0);  // the options still offer full screen
    game.Frame(5);  // and the game goes on
    EXPECT_EQ(app->m_Mode, 1);
}

// The update after the game-over screen has ended: the score goes into the
// lists, the jingle plays, and the menu's and the screen's own fade both run.
TEST_F(Shell, BackToTheMenuEntersTheScoreAndFadesTheGameOverTwice) {
    app->m_Mode = 2;
    app->m_GameType = 1;
    app->m_Score = 500;
    app->m_GameOverTime = 73;
    audio->calls.clear();
    game.Update();
    EXPECT_EQ(Values(app->m_Mode, app->m_GameOverTime, app->m_Scores[0], app->m_Scores[30]), Values(1, 69, 500, 500));
    ASSERT_EQ(audio->calls.size(), 5u);
    EXPECT_EQ(audio->calls[1].sample, "quarlo://data/sfx/096.wav");
}

}  // namespace
