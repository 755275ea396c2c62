// The title menu, the options and credits boxes, the quit prompt and the
// pause panel, each run the way the update runs it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/game/windowless_game.h"

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

    // A key pressed for one update and released in the next.
    void Tap(int key) {
        Key(key, true);
        Step();
        Key(key, false);
        Step();
    }

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
    EXPECT_EQ(lines[0], "Top10");
    EXPECT_EQ(lines[1], "9000");
    EXPECT_EQ(lines[10], "8991");
    EXPECT_EQ(lines[11], "Last10");
    EXPECT_EQ(lines[12], "100");

    Screen(640, 360);  // a 16:9 window
    Step();
    lines = Panel();
    EXPECT_EQ(lines, (std::vector<std::string>{"Top2", "9000", "8999", "Last2", "100", "101"}));

    Screen(640, 300);
    Step();
    EXPECT_EQ(Panel(), (std::vector<std::string>{"Highscore", "9000", "Last", "100"}));

    Screen(360, 480);  // portrait
    Step();
    EXPECT_EQ(Panel().size(), 22u);

    // Not while a box is open, nor with the options cog selected.
    app->m_CreditsOpen = 1;
    Step();
    EXPECT_TRUE(Panel().empty());
    app->m_CreditsOpen = 0;
    app->m_MenuSel = 4;
    Step();
    EXPECT_TRUE(Panel().empty());
}

TEST_F(Menu, KeysWalkTheItemsAndStopAtTheEnds) {
    Step(0, 0, false);
    EXPECT_EQ(app->m_MenuSel, 1);
    EXPECT_EQ(app->m_GameType, 1);
    Tap(37);  // left at the first item: nothing
    EXPECT_EQ(app->m_MenuSel, 1);
    for (int item = 2; item <= 4; ++item) {
        Tap(40);
        EXPECT_EQ(app->m_MenuSel, item);
        EXPECT_EQ(app->m_MenuScroll, (1.0f - item) * 88);
    }
    EXPECT_EQ(app->m_GameType, 3);  // the cog is not a game type
    for (int i = 0; i < 60; ++i) Step();
    EXPECT_NEAR(app->m_MenuShown, -264.0f, 0.5f);

    // Down on the cog does nothing; fire then opens the options box.
    Key(40, true);
    Step();
    EXPECT_EQ(app->m_MenuSel, 4);
    EXPECT_EQ(app->m_KeyLatch, 0);
    Key(90, true);
    Step();
    EXPECT_EQ(app->m_OptionsOpen, 1);
    EXPECT_EQ(app->m_OptSel, 0);
    EXPECT_EQ(app->m_Mode, 1);
}

TEST_F(Menu, FireStartsTheSelectedGameTypeAndButtonSixOpensTheCredits) {
    Step(0, 0, false);
    Tap(39);
    Tap(78);  // N: button 6
    EXPECT_EQ(app->m_CreditsOpen, 1);
    app->m_CreditsOpen = 0;
    Key(13, true);  // Enter
    Step();
    EXPECT_EQ(app->m_Mode, 11);
    EXPECT_EQ(app->m_GameType, 2);
}

TEST_F(Menu, TapsSelectThenStartButDragsDoNot) {
    Step(0, 0, false);
    // The selected item stands at the centre point, the next one 88 to the right.
    const int cx = 250, cy = 312;
    Step(cx + 88, cy, true);
    EXPECT_EQ(app->m_Mode, 1);
    Step(cx + 88, cy, false);
    EXPECT_EQ(app->m_MenuSel, 2);
    EXPECT_EQ(app->m_Mode, 1);
    for (int i = 0; i < 60; ++i) Step();

    // A drag that begins on the selected item moves the strip, nothing more.
    Step(cx, cy, true);
    Step(cx - 20, cy, true);
    EXPECT_EQ(app->m_TouchLatch, 2);
    Step(cx - 20, cy, false);
    EXPECT_EQ(app->m_Mode, 1);
    EXPECT_EQ(app->m_OptionsOpen, 0);
    for (int i = 0; i < 60; ++i) Step();
    EXPECT_EQ(app->m_MenuSel, 2);
    EXPECT_NEAR(app->m_MenuShown, -88.0f, 0.5f);  // settled back

    // A tap on it starts it.
    Step(cx, cy, true);
    Step(cx, cy, false);
    EXPECT_EQ(app->m_Mode, 11);
    EXPECT_EQ(app->m_GameType, 2);
}

TEST_F(Menu, PlayButtonStartsTheSelectedGameType) {
    Step(0, 0, false);
    Step(640 - 70, 480 - 48, true);
    Step(640 - 70, 480 - 48, false);
    EXPECT_EQ(app->m_Mode, 11);
    EXPECT_EQ(app->m_GameType, 1);
}

TEST_F(Menu, FlingPastTheLastItemBouncesBackOntoIt) {
    Step(300, 300, true);
    float furthest = 0;
    for (int x = 300; x >= -60; x -= 60) {
        Step(x, 300, true);
        furthest = std::min(furthest, app->m_MenuShown);
    }
    Step(-60, 300, false);
    for (int i = 0; i < 200; ++i) {
        Step();
        furthest = std::min(furthest, app->m_MenuShown);
    }
    EXPECT_LT(furthest, -354.0f) << "item 4 went left of a quarter of the width";
    EXPECT_EQ(app->m_MenuSel, 4);
    EXPECT_NEAR(app->m_MenuShown, -264.0f, 0.5f);
    EXPECT_EQ(app->m_Mode, 1);

    // And the other way past the first item.
    Step(0, 300, true);
    for (int x = 0; x <= 600; x += 60) Step(x, 300, true);
    Step(600, 300, false);
    for (int i = 0; i < 200; ++i) Step();
    EXPECT_EQ(app->m_MenuSel, 1);
    EXPECT_NEAR(app->m_MenuShown, 0.0f, 0.5f);
}

TEST_F(Menu, PortraitRunsTheStripDownTheScreen) {
    Screen(360, 480);
    Step(0, 0, false);
    // Centre point (110, 288); item 2 is 88 lower.
    Step(110, 288 + 88, true);
    Step(110, 288 + 88, false);
    EXPECT_EQ(app->m_MenuSel, 2);
    Step();
    Tap(37);  // left still steps back
    EXPECT_EQ(app->m_MenuSel, 1);
}

TEST_F(Menu, BackOnTheTitleMenuEndsTheProgram) {
    Step(0, 0, false);
    EXPECT_EXIT(
        {
            Key(27, true);
            Step();
        },
        testing::ExitedWithCode(0), "");
    // While a latch is held, back does nothing.
    app->m_TouchLatch = 1;
    Key(27, true);
    app->p_Menu();
    EXPECT_EQ(app->m_Mode, 1);
}

// Through the whole update: the latches and back as the update handles them.
TEST_F(Menu, BackWithTheCreditsOpenOnlyClosesThem) {
    Update();
    app->m_CreditsOpen = 1;
    app->m_CreditsSlide = 30;
    Key(27, true);
    Update();
    EXPECT_EQ(app->m_CreditsOpen, 0);
    EXPECT_EQ(app->m_Mode, 1);
    EXPECT_EQ(app->m_KeyLatch, 1);
    Update();  // still held: nothing more
    Key(27, false);
    Update();
    EXPECT_EQ(app->m_KeyLatch, 0);

    // With the options box open, back closes the box and saves.
    app->m_OptionsOpen = 1;
    app->m_OptionsSlide = 30;
    Update();
    Key(27, true);
    Update();
    EXPECT_EQ(app->m_OptionsOpen, 0);
    EXPECT_EQ(state.saves, 1);
    Update();
    Key(27, false);
    Update();

    // Now back ends the program.
    Key(27, true);
    EXPECT_EXIT(Update(), testing::ExitedWithCode(0), "");
}

TEST_F(Menu, MouseClicksPickAGameTypeAndStartIt) {
    Update();
    Mouse(250 + 176, 312, 6);  // over item 3
    Update();
    Mouse(250 + 176, 312, 4);
    Update();
    Mouse(250 + 176, 312, 5);
    Update();
    EXPECT_EQ(app->m_MenuSel, 3);
    for (int i = 0; i < 40; ++i) Update();
    Mouse(250, 312, 6);
    Update();
    Mouse(250, 312, 4);
    Update();
    EXPECT_EQ(app->m_Mode, 1);  // acts on release
    Mouse(250, 312, 5);
    Update();
    EXPECT_EQ(app->m_Mode, 11);
    EXPECT_EQ(app->m_GameType, 3);
}

// ---------------------------------------------------------------- options

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
    void Press(int key) {
        Key(key, true);
        Box();
        Key(key, false);
        Box();
    }
    std::string SoundLabel() const {
        for (const std::string& line : TextLines()) {
            if (line.rfind("Sound:", 0) == 0) return line;
        }
        return "";
    }
};

TEST_F(Options, SoundRowStepsThroughItsFourModesAndStopsTheMusicWithoutIt) {
    app->m_Settings[5] = 0;
    app->m_OptSel = 1;
    app->p_CLS2D();
    Box();
    EXPECT_EQ(SoundLabel(), "Sound:Off");
    const char* const labels[] = {"Sound:SFX+Music", "Sound:SFX", "Sound:Music", "Sound:Off"};
    for (int step = 0; step < 4; ++step) {
        app->m_StreamPlaying = 1;
        Press(90);
        const int mode = (step + 1) % 4;
        EXPECT_EQ(app->m_Settings[5], mode);
        EXPECT_EQ(app->m_StreamPlaying, mode == 0 || mode == 2 ? 0 : 1) << mode;
        app->p_CLS2D();
        Box();
        EXPECT_EQ(SoundLabel(), labels[step]);
    }
    // Without any music there are two modes.
    orv_Kemp_HasMusicStream = 0;
    app->m_Settings[5] = 3;  // out of range there: off
    app->p_CLS2D();
    Box();
    EXPECT_EQ(SoundLabel(), "Sound:Off");
    Press(90);
    EXPECT_EQ(app->m_Settings[5], 1);
    app->p_CLS2D();
    Box();
    EXPECT_EQ(SoundLabel(), "Sound:On");
}

TEST_F(Options, RowsAreWalkedByKeysAndHitByTouch) {
    Box();
    EXPECT_EQ(app->m_OptSel, 0);
    Press(38);
    EXPECT_EQ(app->m_OptSel, 0);
    for (int row = 1; row <= 4; ++row) {
        Press(40);
        EXPECT_EQ(app->m_OptSel, row);
    }
    Press(40);  // the credits row is the last
    EXPECT_EQ(app->m_OptSel, 4);

    // A touch on the iCade row's bar (text at y 170) switches it.
    Pointer(300, 180, true);
    Box();
    EXPECT_EQ(app->m_OptSel, 2);
    EXPECT_EQ(orv_Kemp_iCadeControls, 1);
    Box();  // still held: acts once
    EXPECT_EQ(orv_Kemp_iCadeControls, 1);
    Pointer(300, 180, false);
    Box();
    Pointer(300, 180, true);
    Box();
    EXPECT_EQ(orv_Kemp_iCadeControls, 0);
    Pointer(300, 180, false);
    Box();

    // While a game is paused there is no credits row.
    app->m_Paused = 1;
    app->m_OptSel = 4;
    app->p_CLS2D();
    Box();
    EXPECT_EQ(app->m_OptSel, 3);
    EXPECT_FALSE(Drew("Credits"));
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

TEST_F(Options, CreditsRowSwapsTheBoxes) {
    app->m_OptSel = 4;
    Box();
    Press(90);
    EXPECT_EQ(app->m_OptionsOpen, 0);
    EXPECT_EQ(app->m_CreditsOpen, 1);
    EXPECT_EQ(state.saves, 1);
}

TEST_F(Options, NothingReactsWhileTheBoxSlidesIn) {
    app->m_OptionsSlide = 10;
    Key(27, true);
    Box();
    EXPECT_EQ(app->m_OptionsOpen, 1);
    EXPECT_EQ(app->m_KeyLatch, 1);
    EXPECT_EQ(app->m_TouchLatch, 1);
    // The panel comes down from above as it slides.
    EXPECT_EQ(Rects(150, 75, 0)[0][1], 20.0f * 24);
}

// ---------------------------------------------------------------- credits

using Credits = Menu;

TEST_F(Credits, LinesScrollUpFadeAtTheEdgesAndWrap) {
    app->m_CreditsOpen = 1;
    app->m_CreditsSlide = 30;
    app->m_CreditLine = 47;
    for (int i = 0; i < 53; ++i) app->p_CreditBox();
    EXPECT_EQ(app->m_CreditLine, 47);
    app->p_CreditBox();  // 54 × 0.3 passes 16
    EXPECT_EQ(app->m_CreditLine, 48);
    Key(40, true);  // held down: six times as fast
    for (int i = 0; i < 9; ++i) app->p_CreditBox();
    EXPECT_EQ(app->m_CreditLine, 0);
    Key(40, false);

    app->p_CLS2D();
    app->m_CreditScroll = 0;
    app->p_CreditBox();
    // Line k of -3..4 sits at h/2 + 16k; only lines within 52 of the middle show.
    float middle = -1, outer = -1;
    for (int i = 0; i < Commands(); ++i) {
        const float* c = Command(i);
        if (c[0] != 90) continue;
        if (c[2] > 240 - 12 && c[2] < 240 + 12) middle = c[7];
        if (c[2] > 240 + 56) outer = c[7];
    }
    EXPECT_EQ(middle, 1.0f);
    EXPECT_LT(outer, 0.15f);
}

TEST_F(Credits, AClickOrAButtonClosesThem) {
    app->m_CreditsOpen = 1;
    app->m_CreditsSlide = 30;
    Pointer(10, 10, true);
    app->m_TouchLatch = 1;  // the click that opened them
    app->p_CreditBox();
    EXPECT_EQ(app->m_CreditsOpen, 1);
    Pointer(10, 10, false);
    Pointer(10, 10, true);
    app->p_CreditBox();
    EXPECT_EQ(app->m_CreditsOpen, 0);

    app->m_CreditsOpen = 1;
    Pointer(10, 10, false);
    Key(88, true);  // X: button 2
    app->p_CreditBox();
    EXPECT_EQ(app->m_CreditsOpen, 0);
}

// ---------------------------------------------------------------- quit prompt

TEST_F(Menu, QuitPromptShowsItsTextsAndReturnsOnButtonOne) {
    app->m_Mode = 4;
    app->p_OuyaQuit();
    EXPECT_EQ(TextLines(), (std::vector<std::string>{"Itlookslikeyou're", "tryingtoQUIT!", "Areyouabsolutelysure",
                                                     "youwanttoquitthegame?", "Isn'tthisfun?",
                                                     "It'llbeashametoseeyougo.", "Press(A)toQuit",
                                                     "or(O)toreturntothefun!"}));
    // Lines are centred at 0.65 w, starting at 0.3 h.
    EXPECT_EQ(Glyphs()[0].y, 144.0f);
    EXPECT_EQ(app->m_ClsA, -1.0f);
    Key(90, true);
    app->p_OuyaQuit();
    EXPECT_EQ(app->m_Mode, 1);
    EXPECT_EQ(app->m_KeyLatch, 1);
    app->m_KeyLatch = app->m_TouchLatch = 0;
    Key(90, false);
    Key(88, true);
    EXPECT_EXIT(app->p_OuyaQuit(), testing::ExitedWithCode(0), "");
}

// ---------------------------------------------------------------- pause

class Pause : public Menu {
protected:
    void SetUp() override {
        Menu::SetUp();
        app->m_Mode = 10;
        app->m_Paused = 1;
        app->m_PauseOpen = 1;
        app->m_PauseChoice = 0;
    }
    void Panel() {
        Latches();
        app->p_CLS2D();
        app->p_PauseMenu();
    }
    void Press(int key) {
        Key(key, true);
        Panel();
        Key(key, false);
        Panel();
    }
};

TEST_F(Pause, PanelSlidesToTheMiddleAndDimsTheGame) {
    std::vector<int> ys;
    for (int i = 0; i < 14; ++i) {
        Panel();
        ys.push_back(app->m_PauseY);
    }
    EXPECT_EQ(ys[0], -40);
    EXPECT_EQ(ys[11], 224);
    EXPECT_EQ(ys[12], 240);
    EXPECT_EQ(ys[13], 240);
    EXPECT_EQ(Command(0)[7], 240 / (0.8f * 480));
    // Resume, quit and options icons, the choice ringed.
    int icons = 0;
    for (int i = 0; i < Commands(); ++i) {
        if (Command(i)[0] == 97) ++icons;
    }
    EXPECT_EQ(icons, 3);
}

TEST_F(Pause, BackResumesAndThePanelSlidesAway) {
    for (int i = 0; i < 14; ++i) Panel();
    Press(27);
    EXPECT_EQ(app->m_PauseOpen, -1);
    int updates = 1;
    while (app->m_Paused == 1 && updates < 30) {
        Panel();
        ++updates;
    }
    EXPECT_EQ(app->m_Paused, 0);
    EXPECT_LT(app->m_PauseY, -32);
    EXPECT_EQ(app->m_GameOver, 0);
}

TEST_F(Pause, KeysChooseQuitWhichEndsTheGame) {
    for (int i = 0; i < 14; ++i) Panel();
    Press(39);  // right: options
    EXPECT_EQ(app->m_PauseChoice, 1);
    Press(37);  // left: back to resume
    EXPECT_EQ(app->m_PauseChoice, 0);
    Press(38);  // up: quit
    EXPECT_EQ(app->m_PauseChoice, -1);
    Press(32);  // fire
    EXPECT_EQ(app->m_GameOver, 1);
    EXPECT_EQ(app->m_Paused, 0);
    EXPECT_EQ(app->m_PauseY, -64);
}

TEST_F(Pause, TouchingTheCogOpensTheOptions) {
    for (int i = 0; i < 14; ++i) Panel();
    Pointer(320 + 140, 240 - 64, true);
    Panel();
    EXPECT_EQ(app->m_OptionsOpen, 1);
    EXPECT_EQ(app->m_PauseChoice, 1);
    EXPECT_EQ(app->m_Paused, 1);
}

}  // namespace
