// The title menu, the options and credits boxes and the pause panel, each run
// the way the update runs it.
#include <functional>
#include <utility>
#include <vector>

#include "tests/game/game_test.h"

namespace {

class Menu : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        app->m_MenuSlide = 0;  // slid in
    }
    // One update of the title menu with the pointer where given.
    void Step(int x, int y, bool down) {
        Pointer(x, y, down);
        Latches();
        app->p_Menu();
    }
    void Step() { Step(app->m_MouseX, app->m_MouseY, app->m_MouseDown != 0); }
    void Box() {
        Latches();
        app->p_OptionBox();
    }
    void Panel() {
        Latches();
        app->p_CLS2D();
        app->p_PauseMenu();
    }
    // A key pressed for one update of a screen and released in the next.
    void Tap(int key, const std::function<void()>& update) {
        Key(key, true);
        update();
        Key(key, false);
        update();
    }
};
using Options = Menu;
using Pause = Menu;

TEST_F(Menu, ScorePanelRowsFollowTheScreenHeight) {
    for (int k = 0; k < 10; ++k) {
        app->m_Scores[k] = 9000 - k;
        app->m_Scores[30 + k] = 100 + k;
    }
    Step(0, 0, false);  // the first update picks the first item
    // Virtual heights (640 units wide) of 640 x 480; 1280 x 720 and 1920 x
    // 1080; 1366 x 768; 2560 x 1080; and a window with room for one row.
    for (auto [h, rows] : {std::pair{480.0f, 10}, {360.0f, 6}, {768 / (1366 / 640.0f), 5}, {270.0f, 3}, {220.0f, 1}}) {
        SCOPED_TRACE(h);
        orv_Kemp_jscrh = h;  // landscape still
        Step();
        std::vector<std::string> want{rows == 1 ? "Highscore" : "Top" + std::to_string(rows)};
        for (int k = 0; k < rows; ++k) want.push_back(std::to_string(9000 - k));
        want.push_back(rows == 1 ? "Last" : "Last" + std::to_string(rows));
        for (int k = 0; k < rows; ++k) want.push_back(std::to_string(100 + k));
        EXPECT_EQ(TextLines(500), want);
        // Lines 15 units apart: the first list ends above the second, and
        // the second ends on the screen.
        std::vector<float> ys;
        for (const Command& g : Drawn(90)) if (g.x >= 500 && (ys.empty() || g.y != ys.back())) ys.push_back(g.y);
        ASSERT_EQ(ys.size(), 2u * rows + 2);
        EXPECT_LE(ys[rows] + 15, ys[rows + 1]);
        EXPECT_LE(ys.back() + 7.5f, h);
    }
}

// A press on the selected item starts it when released on it; a drag that
// began there, or a press slid off it (fast or slowly, under the drag
// threshold) and released elsewhere, does not. A tap on another item
// selects it, and the strip brings it to the centre.
TEST_F(Menu, ThePressedItemStartsOnlyWhenReleasedOnIt) {
    const int cx = 250, cy = 312;  // the centre point, where the selected item stands
    const struct {
        const char* how;
        int item;                                // the item pressed: 1 at the centre, 3 right of it
        std::vector<std::pair<int, int>> moves;  // one per update while held
        int latch;                               // the touch latch while held: 2 for a drag
        bool starts;
    } presses[] = {
        {"a tap", 1, {}, 0, true},
        {"off and back onto it", 1, {{0, 80}, {0, 0}}, 0, true},
        {"a drag sideways", 1, {{-20, 0}}, 2, false},
        {"slowly sideways", 1, std::vector<std::pair<int, int>>(70, {-1, 0}), 0, false},
        {"straight down off it", 1, {{0, 80}}, 0, false},
        {"a tap on item 3", 3, {}, 0, false},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.how);
        SetUp();
        Step(0, 0, false);
        int x = cx + 88 * (press.item - 1);
        Step(x, cy, true);
        for (auto [dx, y] : press.moves) Step(x += dx, cy + y, true);
        EXPECT_EQ(app->m_TouchLatch, press.latch);
        Step(x, cy + (press.moves.empty() ? 0 : press.moves.back().second), false);
        EXPECT_EQ(app->m_Mode, press.starts ? 11 : 1);
        if (press.starts) continue;
        for (int i = 0; i < 60; ++i) Step();
        EXPECT_EQ(Values(app->m_MenuSel, app->m_GameType), Values(press.item, press.item));
        EXPECT_NEAR(app->m_MenuShown, (1 - press.item) * 88.0f, 0.5f);  // settled
    }
}

// Each press, held for three updates, acts once; a released one acts again.
TEST_F(Menu, EveryScreenActsOncePerPress) {
    const auto options = [&] { app->m_OptionsOpen = 1, app->m_OptionsSlide = 30; };
    const auto pause = [&] { app->m_Mode = 10, app->m_Paused = app->m_PauseOpen = 1, app->m_PauseY = 240; };
    const auto credits = [&] { app->m_CreditsOpen = 1; };
    const auto mode = [&] { return app->m_Settings[5]; };  // the sound row's
    const auto saves = [&] { return host.saves; };  // closing the options saves
    const auto sounds = [&] { return static_cast<int>(Effects().size()); };
    const struct {
        const char* what;
        std::function<void()> open;
        int key, x, y;  // a key, or a click at (x, y)
        std::function<void()> update;
        std::function<int()> acted;
        int presses;
    } cases[] = {
        {"menu: down", [] {}, 40, 0, 0, [&] { Step(); }, sounds, 2},
        {"menu: the logo", [] {}, 0, 570, 32, [&] { Step(); }, [&] { return app->m_CreditsOpen; }, 1},
        {"menu: the play button", [] {}, 0, 570, 432, [&] { Step(); }, [&] { return app->m_Mode == 11 ? 1 : 0; }, 1},
        {"options: fire on a row", [&] { options(); app->m_OptSel = 1; }, 90, 0, 0, [&] { Box(); }, mode, 2},
        {"options: a row", options, 0, 200, 135, [&] { Box(); }, mode, 2},
        {"options: the cog", options, 0, 100, 60, [&] { Box(); }, saves, 1},
        {"options: fire on the back row", options, 90, 0, 0, [&] { Box(); }, saves, 1},
        {"options: back on any row", [&] { options(); app->m_OptSel = 2; }, 27, 0, 0, [&] { Box(); }, saves, 1},
        // The key or click that closes the credits does not reach the menu below.
        {"credits: a key", credits, 88, 0, 0, [&] { Step(); app->p_CreditBox(); }, sounds, 1},
        {"credits: a click", credits, 0, 300, 300, [&] { Step(); app->p_CreditBox(); }, sounds, 1},
        {"pause: a key", pause, 39, 0, 0, [&] { Panel(); }, sounds, 1},
        {"pause: resume", pause, 0, 320, 240, [&] { Panel(); }, sounds, 1},
    };
    for (const auto& c : cases) {
        SetUp();
        c.open();
        const int before = c.acted();
        for (int press = 1; press <= c.presses; ++press) {
            if (c.key) Key(c.key, true);
            Pointer(c.x, c.y, c.key == 0);
            for (int i = 0; i < 3; ++i) c.update();
            if (c.key) Key(c.key, false);
            Pointer(c.x, c.y, false);
            c.update();
            EXPECT_EQ(c.acted() - before, press) << c.what;
        }
    }
}

TEST_F(Options, SoundRowStepsThroughItsFourModesAndStopsTheMusicWithoutIt) {
    app->m_OptionsOpen = 1;
    app->m_OptionsSlide = 30;
    // The sound row's label in a fresh picture of the box.
    const auto label = [&] {
        app->p_CLS2D();
        Box();
        for (const std::string& line : TextLines()) if (line.rfind("Sound:", 0) == 0) return line;
        return std::string();
    };
    app->m_Settings[5] = 0;
    app->m_OptSel = 1;
    EXPECT_EQ(label(), "Sound:Off");
    // Nothing reacts before the box is fully in, nor to a click beside a row.
    for (auto [slide, x, y] : {std::tuple{29, 200, 160}, {30, 600, 135}}) {
        app->m_OptionsSlide = slide;
        Key(KEY_Z, slide == 29);
        Pointer(x, y, true);
        Box();
        Key(KEY_Z, false);
        Pointer(x, y, false);
        Box();
        EXPECT_EQ(app->m_Settings[5], 0) << slide;
    }
    const char* const labels[] = {"Sound:SFX+Music", "Sound:SFX", "Sound:Music", "Sound:Off"};
    for (int step = 0; step < 4; ++step) {
        app->m_StreamPlaying = 1;
        const std::size_t stops = MusicCalls(*audio).size();
        Tap(90, [&] { Box(); });
        const int mode = (step + 1) % 4;
        const bool silent = mode == 0 || mode == 2;
        // The device stops the music too.
        EXPECT_EQ(Values(app->m_Settings[5], app->m_StreamPlaying, MusicCalls(*audio).size() - stops),
                  Values(mode, !silent, silent));
        EXPECT_EQ(label(), labels[step]);
    }
}

TEST_F(Pause, PanelSlidesInKeysChooseBackResumesAndQuitEnds) {
    app->m_Mode = 10;
    app->m_Paused = app->m_PauseOpen = 1;
    std::vector<int> ys;
    for (int i = 0; i < 14; ++i) {
        Panel();
        ys.push_back(app->m_PauseY);
    }
    EXPECT_EQ(Values(ys[0], ys[12], ys[13], Drawn()[0].alpha), Values(-40, 240, 240, 240 / (0.8f * 480)));
    const auto press = [&](int key) { Tap(key, [&] { Panel(); }); };
    press(39);  // right: options
    EXPECT_EQ(app->m_PauseChoice, 1);
    press(37);  // left: back to resume
    EXPECT_EQ(app->m_PauseChoice, 0);
    press(27);
    EXPECT_EQ(app->m_PauseOpen, -1);
    for (int i = 0; i < 12 && app->m_Paused == 1; ++i) Panel();
    EXPECT_EQ(Values(app->m_Paused, app->m_GameOver), Values(0, 0));

    app->m_Paused = app->m_PauseOpen = 1;  // paused again: quit
    app->m_PauseY = -64;
    for (int i = 0; i < 14; ++i) Panel();
    press(38);  // up: quit
    EXPECT_EQ(app->m_PauseChoice, -1);
    press(32);
    EXPECT_EQ(Values(app->m_GameOver, app->m_Paused, app->m_PauseY), Values(1, 0, -64));
}

TEST_F(Menu, CreditLinesFadeScrollAndWrap) {
    app->m_CreditsOpen = 1;
    app->m_CreditsSlide = 30;
    app->m_CreditLine = 48;
    app->p_CreditBox();
    // Eight lines from three before the current one (empty ones draw
    // nothing), 16 apart, fading away from the middle.
    EXPECT_EQ(TextLines(), (std::vector<std::string>{"End", "Vellumby", "-=-=-", "AGameby"}));
    const Command end = Drawn(90)[0], title = Drawn(90)[3];  // lines 46 and 0, three apart
    EXPECT_NEAR(title.y - end.y, 48, 1e-3);
    EXPECT_NEAR(end.alpha, 1 - (32.3f / 40 - 0.3f), 1e-4);
    for (int i = 1; i < 53; ++i) app->p_CreditBox();
    EXPECT_EQ(app->m_CreditLine, 48);
    app->p_CreditBox();  // 54 × 0.3 passes 16: the next line, after the last the first
    EXPECT_EQ(app->m_CreditLine, 0);
}

}  // namespace
