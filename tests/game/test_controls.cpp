// The input layer: examples of the key map (the replay pins the rest),
// iCade letters, sticks, the analogue movement value and the on-screen pad.
#include "tests/game/game_test.h"

namespace {

using Controls = GameTest;

// A pad button's key code: 256 + 32 × pad + button.
int Button(int pad, int button) { return 256 + 32 * pad + button; }

TEST_F(Controls, KeyMapExamplesWithICadeOffAndOn) {
    // Action, iCade, key code, player, counts. Letters are left out with
    // iCade on (the cabinet types them); a pad's buttons are its player's.
    for (auto [action, icade, code, player, want] : {
             std::tuple{0, 0, 38, 0, 1}, {0, 0, 87, 0, 1}, {0, 1, 87, 0, 0}, {0, 0, 40, 0, 0}, {8, 0, 83, 0, 1},
             {0, 0, Button(2, 9), 2, 1}, {0, 0, Button(2, 9), 1, 0}, {0, 0, Button(2, 9), -1, 0},
             {10, 0, 90, 0, 1}, {10, 1, 90, 0, 0}, {10, 1, 13, -1, 1}, {10, 0, Button(2, 0), 2, 1},
             {11, 1, 17, 0, 1}, {15, 0, 79, 0, 1}, {15, 1, 79, 0, 0},
             {99, 0, 192, 0, 1}, {99, 1, 192, 0, 0}, {99, 1, Button(2, 14), 2, 1}, {99, 0, Button(2, 13), 2, 0}}) {
        orv_Kemp_iCadeControls = icade;
        Key(code, true);
        EXPECT_EQ(app->p_PlayKey(action, 1, player), want) << action << " " << icade << " " << code << " " << player;
        Key(code, false);
    }
    // On-screen pad entries: each action's own, and back's three.
    for (auto [action, entry] : {std::pair{0, 0}, {10, 10}, {15, 15}, {99, 16}, {99, 17}, {99, 19}}) {
        app->m_VPad[entry] = 1;
        EXPECT_EQ(app->p_PlayKey(action, 1, 3), 1) << action << " " << entry;
        app->m_VPad[entry] = 0;
    }
    orv_Kemp_iCadeControls = 1;
    // Player -1 with iCade: buttons 4-6 give the stored pad value itself.
    app->m_VPad[13] = 2;
    EXPECT_EQ(Values(app->p_PlayKey(13, 1, -1), app->p_PlayKey(13, 1, 0)), Values(2, 1));
    Key(KEY_UP, true);
    EXPECT_EQ(Values(app->p_PlayKey(1, 1, 0), app->p_PlayKeyAll(0, 1)), Values(0, 4)) << "1 is not an action";
}

TEST_F(Controls, ICadeLettersHoldPadEntriesUntilTheirReleaseLetter) {
    const auto decode = [&](const std::string& text) {
        Chars(text.c_str());
        app->p_iCadeDecode();
    };
    Chars("junk");
    app->p_iCade(1);
    EXPECT_EQ(Values(orv_Kemp_iCadeControls, app->m_iCadeChar), Values(1, 0));
    decode("");
    EXPECT_EQ(app->m_VPad[11], 0) << "characters waiting before iCade was on are dropped";

    decode("W");
    decode("");
    EXPECT_EQ(app->m_VPad[0], 2) << "held across updates";
    Key(87, true);  // the W key itself is not up while iCade is on
    app->m_VPad[0] = 0;
    EXPECT_EQ(app->p_PlayKey(0, 1, 0), 0);
    Key(87, false);
    decode("w");
    EXPECT_EQ(app->p_PlayKey(0, 1, 0), 1);
    decode("e");
    Key(KEY_UP, true);
    EXPECT_EQ(Values(app->m_VPad[0], app->p_PlayKey(0, 1, 0)), Values(0, 1)) << "the Up arrow still works";

    const std::string press = "WXADYUIOHJKL", release = "ezqctfmgrnpv";
    const int entries[] = {0, 8, 3, 5, 13, 14, 15, 16, 10, 11, 12, 17};
    for (std::size_t i = 0; i < 12; ++i) {
        decode(press.substr(i, 1));
        const int held = app->m_VPad[entries[i]];
        decode(release.substr(i, 1));
        EXPECT_EQ(Values(held, app->m_VPad[entries[i]]), Values(2, 0)) << press[i];
    }
    decode("H9");
    app->p_iCade(0);
    EXPECT_EQ(Values(orv_Kemp_iCadeControls, app->m_VPad[10]), Values(0, 0));
}

TEST_F(Controls, SticksCountBeyondFourTenthsInModeOneOnly) {
    // The framework's y is up-positive. Not in mode 0, nor for another pad.
    for (auto [x, y, action] : {std::tuple{0.0f, 0.41f, 0}, {-0.41f, 0.0f, 3}, {0.41f, 0.0f, 5}, {0.0f, -0.41f, 8}}) {
        Stick(1, x, y);
        EXPECT_EQ(Values(app->p_PlayKey(0, 1, 1), app->p_PlayKey(3, 1, 1), app->p_PlayKey(5, 1, 1),
                         app->p_PlayKey(8, 1, 1), app->p_PlayKey(action, 0, 1), app->p_PlayKey(action, 1, 0)),
                  Values(action == 0, action == 3, action == 5, action == 8, 0, 0));
        Stick(1, x / 0.41f * 0.4f, y / 0.41f * 0.4f);
        EXPECT_EQ(app->p_PlayKey(action, 1, 1), 0) << "0.4 exactly";
    }
    Stick(1, -0.41f, -0.41f);
    orv_Kemp_iCadeControls = 1;
    EXPECT_EQ(app->p_PlayKey(3, 1, 1), 0) << "no sticks with iCade";

    // The left stick reads down-positive.
    Stick(0, 0.3f, 0.5f);
    orv_input_device->m__joyStates[0]->m_joyy[1] = 0.5f;
    EXPECT_EQ(Values(app->p_StickX(0, 0), app->p_StickY(0, 0), app->p_StickY(1, 0), app->p_StickY(0, -1),
                     app->p_StickX(0, -1)),
              Values(0.3f, -0.5f, 0.5f, 0, 0));
}

TEST_F(Controls, KeysRampTheAnalogueValue) {
    // Up by 0.15 an update to 1 while held, back by 0.2 once released.
    std::vector<double> ramp;
    for (int i = 0; i < 20; ++i) {
        Key(KEY_RIGHT, i < 13);
        app->p_AnalogueControl();
        ramp.push_back(app->m_StickX);
    }
    const float up = 0.15f, down = 0.2f;
    EXPECT_EQ(Values(ramp[0], ramp[1], ramp[2], ramp[12], ramp[13], ramp[18], ramp[19], app->m_KeyRampX),
              Values(up, up + up, up + up + up, 1, 1 - down, 0, 0, 0));

    // A stick of pad 0 beyond 0.2 sets the value (y flipped).
    Stick(0, 0.1f, 0.5f);
    app->p_AnalogueControl();
    EXPECT_EQ(Values(app->m_StickX, app->m_StickY), Values(0.1f, -0.5f));
    Stick(0, 0, 0);

    // Dragging: the first update anchors, later ones measure from the anchor,
    // which follows a far pointer; two ovals while the pointer is down.
    app->m_MouseDown = 1;
    app->m_MouseX = app->m_MouseY = 100;
    app->m_DrawCount = 0;
    std::vector<double> seen;
    for (int x : {100, 136, 200}) {
        app->m_MouseX = x;
        app->p_AnalogueControl();
        seen.insert(seen.end(), {app->m_StickX, static_cast<double>(app->m_DragX)});
    }
    EXPECT_EQ(Values(seen[0], seen[1], seen[2], seen[3], seen[4], seen[5], Drawn().size()),
              Values(0, 100, 0.5f, 100, 1, 104, 6));
    app->m_MouseDown = 0;
    app->p_AnalogueControl();
    EXPECT_EQ(Values(app->m_DragX, app->m_StickX), Values(-1, 0));
}

// The pad's previous spread has a member of its own: the paused game, which
// recounts its items every update, once overwrote it.
TEST_F(Controls, PinchResizesThePadWhilePaused) {
    app->m_Settings[10] = app->m_Settings[11] = 80;
    app->m_Settings[12] = 10;
    app->m_Paused = app->m_MouseDown = app->m_TouchDown[0] = app->m_TouchDown[1] = 1;
    app->m_TouchY[0] = app->m_TouchY[1] = app->m_TouchX[0] = 300;
    std::vector<double> sizes;
    for (int step = 0; step < 12; ++step) {
        app->m_TouchX[1] = 300 + 64 + 32 * step;
        app->m_ItemsLeft = 37;
        app->p_OnScreenPad();
        sizes.push_back(app->m_Settings[12]);
    }
    app->p_OnScreenPad();
    EXPECT_EQ(Values(sizes[0], sizes[1], app->m_Settings[12], app->m_DpadScale), Values(10, 12, 25, 2.5f));
}

TEST_F(Controls, TouchHitTests) {
    // A touch area is drawn as one rectangle and answers a slot that is down.
    for (auto [x, y, hit] : {std::tuple{95, 95, 1}, {131, 131, 1}, {94, 100, 0}, {132, 100, 0}, {100, 94, 0},
                             {100, 132, 0}}) {
        app->m_TouchDown[3] = 1;
        app->m_TouchX[3] = x;
        app->m_TouchY[3] = y;
        app->m_DrawCount = 0;
        EXPECT_EQ(app->p_Touch(100, 100, 20, 20), hit) << x << "," << y;
        EXPECT_EQ(Values(Drawn().size(), Drawn(kAbsent).size()), Values(1, 1));
        app->m_TouchDown[3] = 0;
        EXPECT_EQ(app->p_Touch(100, 100, 20, 20), 0) << "a slot that is up";
    }

    // Buttons measure the frame at the current size, and answer any slot
    // while something is pressed.
    app->m_TouchDown[2] = app->m_MouseDown = 1;
    app->m_TouchX[2] = 131;
    app->m_TouchY[2] = 100;
    app->p_SetSize(1);
    EXPECT_EQ(app->p_Button(97, 100, 100, 3), 0);  // half-width 16
    app->p_SetSize(2);
    EXPECT_EQ(app->p_Button(97, 100, 100, 3), 1);
    EXPECT_EQ(app->m_ButtonHit, 1);
    app->m_MouseDown = 0;
    EXPECT_EQ(app->p_Button(97, 100, 100, 3), 0);
    EXPECT_EQ(app->m_ButtonHit, 0);
}

}  // namespace
