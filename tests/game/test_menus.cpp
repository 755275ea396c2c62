// The title menu, the options and credits boxes, the quit prompt and the
// pause panel, each run the way the update runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/game/windowless_game.h"
#include "tests/support/game_host.h"

namespace {

class Menu : public WindowlessGame {
protected:
    void SetUp() override {
        WindowlessGame::SetUp();
        app->m_MenuSlide = 0;  // slid in
    }

    // One update of the title menu with the pointer where given.
    void Step(int x, int y, bool down) {
        Pointer(x, y, down);
        Latches();
        app->p_Menu();
    }
    void Step() { Step(app->m_MouseX, app->m_MouseY, app->m_MouseDown != 0); }

    // A key pressed for one update of a screen and released in the next.
    void Tap(int key, const std::function<void()>& update) {
        Key(key, true);
        update();
        Key(key, false);
        update();
    }
    void Tap(int key) { Tap(key, [this] { Step(); }); }

    // The lines drawn in the score panel.
    std::vector<std::string> Panel() const { return TextLines(orv_Kemp_jscrw - 140, 1e9f); }
};

TEST_F(Menu, ScorePanelRowsFollowTheScreenHeight) {
    for (int k = 0; k < 10; ++k) app->m_Scores[k] = 9000 - k;
    for (int k = 0; k < 10; ++k) app->m_Scores[30 + k] = 100 + k;
    Step(0, 0, false);  // the first update picks the first item
    Step();
    std::vector<std::string> lines = Panel();
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ((std::vector<std::string>{lines[0], lines[1], lines[10], lines[11], lines[12]}),
              (std::vector<std::string>{"Top10", "9000", "8991", "Last10", "100"}));
    Screen(640, 360);  // a 16:9 window
    Step();
    EXPECT_EQ(Panel(), (std::vector<std::string>{"Top2", "9000", "8999", "Last2", "100", "101"}));
    Screen(640, 300);
    Step();
    EXPECT_EQ(Panel(), (std::vector<std::string>{"Highscore", "9000", "Last", "100"}));
}

TEST_F(Menu, DownOnTheCogDoesNothingAndFireThenOpensTheOptions) {
    Step(0, 0, false);
    EXPECT_EQ(app->m_MenuSel, 1);
    for (int item = 2; item <= 4; ++item) {
        Tap(40);
        EXPECT_EQ(app->m_MenuSel, item);
        EXPECT_EQ(app->m_MenuScroll, (1.0f - item) * 88);
    }
    EXPECT_EQ(app->m_GameType, 3);  // the cog is not a game type
    Key(40, true);
    Step();
    EXPECT_EQ(app->m_MenuSel, 4);
    EXPECT_EQ(app->m_KeyLatch, 0);
    Key(90, true);
    Step();
    EXPECT_EQ(Values(app->m_OptionsOpen, app->m_OptSel, app->m_Mode), Values(1, 0, 1));
}

TEST_F(Menu, ADragThatBeginsOnTheSelectedItemDoesNotStartIt) {
    const int cx = 250, cy = 312;  // the centre point, where the selected item stands
    Step(0, 0, false);
    Step(cx, cy, true);
    Step(cx - 20, cy, true);
    EXPECT_EQ(app->m_TouchLatch, 2);
    Step(cx - 20, cy, false);
    EXPECT_EQ(app->m_Mode, 1);
    for (int i = 0; i < 60; ++i) Step();
    EXPECT_EQ(app->m_MenuSel, 1);
    EXPECT_NEAR(app->m_MenuShown, 0.0f, 0.5f);  // settled back
}

TEST_F(Menu, FlingPastTheLastItemBouncesBackOntoIt) {
    Step(300, 300, true);
    float furthest = 0;
    for (int i = 0; i < 208; ++i) {
        if (i < 7) Step(300 - 60 * i, 300, true);
        else Step(-60, 300, false);
        furthest = std::min(furthest, app->m_MenuShown);
    }
    EXPECT_LT(furthest, -354.0f) << "item 4 went left of a quarter of the width";
    EXPECT_EQ(app->m_MenuSel, 4);
    EXPECT_NEAR(app->m_MenuShown, -264.0f, 0.5f);
    EXPECT_EQ(app->m_Mode, 1);
}

// The whole program on the test host: the update's latches and back handling
// around the menu, the pointer mapped from the window.
class MenuOnHost : public ::testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        game.Start();
        game.Update(40);  // past the loader
        app = static_cast<c_MyApp*>(orv_app__app);
    }
    void Tap(int code) {
        game.KeyDown(code);
        game.Update();
        game.KeyUp(code);
        game.Update();
    }
    // Back held for three updates (it acts once), then released.
    void Back() {
        game.Update(30);
        game.KeyDown(27);
        game.Update(3);
        game.KeyUp(27);
    }
    GameHost game;
    c_MyApp* app = nullptr;
};

TEST_F(MenuOnHost, BackWithABoxOpenClosesOnlyTheBox) {
    Tap(78);  // N: the credits
    ASSERT_EQ(app->m_CreditsOpen, 1);
    Back();
    EXPECT_EQ(app->m_CreditsOpen, 0);
    EXPECT_EQ(app->m_Mode, 1);
    game.Update();
    for (int i = 0; i < 3; ++i) Tap(40);
    Tap(13);  // Enter on the cog: the options
    ASSERT_EQ(app->m_OptionsOpen, 1);
    Back();
    EXPECT_EQ(app->m_OptionsOpen, 0);
    EXPECT_TRUE(std::filesystem::exists(game.dir + "/.quarlostate"));  // closing saved
    game.Update();
    game.KeyDown(27);  // now back ends the program
    EXPECT_EXIT(game.Update(), testing::ExitedWithCode(0), "");
}

TEST_F(MenuOnHost, MouseClicksPickAGameTypeAndStartIt) {
    for (int x : {250 + 176, 250}) {  // item 3, right of the centre point, then the centre
        game.MouseMove(x, 312);
        game.Update();
        game.MouseDown(0);
        game.Update();
        EXPECT_EQ(app->m_Mode, 1);  // acts on release
        game.MouseUp(0);
        game.Update();
        if (x != 250) {
            EXPECT_EQ(app->m_MenuSel, 3);
            EXPECT_EQ(app->m_Mode, 1);
            game.Update(40);
        }
    }
    EXPECT_EQ(app->m_GameType, 3);
    EXPECT_NE(app->m_Mode, 1);  // the game starts
}

class Options : public Menu {
protected:
    void SetUp() override {
        Menu::SetUp();
        app->m_OptionsOpen = 1;
        app->m_OptionsSlide = 30;
    }
    void Box() {
        Latches();
        app->p_OptionBox();
    }
    void Press(int key) { Tap(key, [this] { Box(); }); }
    // The sound row's label in a fresh picture of the box.
    std::string SoundLabel() {
        app->p_CLS2D();
        Box();
        for (const std::string& line : TextLines()) {
            if (line.rfind("Sound:", 0) == 0) return line;
        }
        return "";
    }
};

TEST_F(Options, SoundRowStepsThroughItsFourModesAndStopsTheMusicWithoutIt) {
    app->m_Settings[5] = 0;
    app->m_OptSel = 1;
    EXPECT_EQ(SoundLabel(), "Sound:Off");
    const char* const labels[] = {"Sound:SFX+Music", "Sound:SFX", "Sound:Music", "Sound:Off"};
    for (int step = 0; step < 4; ++step) {
        app->m_StreamPlaying = 1;
        const int stops = AudioCalls("StopMusic");
        Press(90);
        const int mode = (step + 1) % 4;
        EXPECT_EQ(app->m_Settings[5], mode);
        const bool silent = mode == 0 || mode == 2;
        EXPECT_EQ(app->m_StreamPlaying, silent ? 0 : 1) << mode;
        EXPECT_EQ(AudioCalls("StopMusic") - stops, silent ? 1 : 0) << mode;  // the device stops it too
        EXPECT_EQ(SoundLabel(), labels[step]);
    }
    // Without any music there are two modes.
    orv_Kemp_HasMusicStream = 0;
    app->m_Settings[5] = 3;  // out of range there: off
    EXPECT_EQ(SoundLabel(), "Sound:Off");
    Press(90);
    EXPECT_EQ(app->m_Settings[5], 1);
    EXPECT_EQ(SoundLabel(), "Sound:On");
}

TEST_F(Options, BackOrFireOnTheBackRowClosesAndSaves) {
    Box();
    Press(90);
    EXPECT_EQ(app->m_OptionsOpen, 0);
    EXPECT_EQ(state.saves, 1);
    app->m_OptionsOpen = 1;
    app->m_OptSel = 2;
    Press(27);  // back closes from any row
    EXPECT_EQ(app->m_OptionsOpen, 0);
    EXPECT_EQ(state.saves, 2);
}

using Credits = Menu;

TEST_F(Credits, LinesScrollAndWrapAndAButtonClosesThem) {
    app->m_CreditsOpen = 1;
    app->m_CreditsSlide = 30;
    app->m_CreditLine = 48;
    for (int i = 0; i < 53; ++i) app->p_CreditBox();
    EXPECT_EQ(app->m_CreditLine, 48);
    app->p_CreditBox();  // 54 × 0.3 passes 16: the next line, after the last the first
    EXPECT_EQ(app->m_CreditLine, 0);
    Key(88, true);  // X: button 2
    app->p_CreditBox();
    EXPECT_EQ(app->m_CreditsOpen, 0);
}

class Pause : public Menu {
protected:
    void SetUp() override {
        Menu::SetUp();
        app->m_Mode = 10;
        app->m_Paused = app->m_PauseOpen = 1;
        app->m_PauseChoice = 0;
    }
    void Panel() {
        Latches();
        app->p_CLS2D();
        app->p_PauseMenu();
    }
    void Press(int key) { Tap(key, [this] { Panel(); }); }
};

TEST_F(Pause, PanelSlidesInKeysChooseBackResumesAndQuitEnds) {
    std::vector<int> ys;
    for (int i = 0; i < 14; ++i) {
        Panel();
        ys.push_back(app->m_PauseY);
    }
    EXPECT_EQ(Values(ys[0], ys[12], ys[13]), Values(-40, 240, 240));
    EXPECT_EQ(Command(0)[7], 240 / (0.8f * 480));  // the dimming
    Press(39);  // right: options
    EXPECT_EQ(app->m_PauseChoice, 1);
    Press(37);  // left: back to resume
    EXPECT_EQ(app->m_PauseChoice, 0);
    Press(27);
    EXPECT_EQ(app->m_PauseOpen, -1);
    for (int i = 0; i < 12 && app->m_Paused == 1; ++i) Panel();
    EXPECT_EQ(app->m_Paused, 0);
    EXPECT_EQ(app->m_GameOver, 0);

    app->m_Paused = app->m_PauseOpen = 1;  // paused again: quit
    app->m_PauseY = -64;
    for (int i = 0; i < 14; ++i) Panel();
    Press(38);  // up: quit
    EXPECT_EQ(app->m_PauseChoice, -1);
    Press(32);
    EXPECT_EQ(Values(app->m_GameOver, app->m_Paused, app->m_PauseY), Values(1, 0, -64));
}

}  // namespace
