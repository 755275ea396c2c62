// The framework's input device fed through the delegate, with scripted
// joysticks behind the host: key states and hits per update, the queues, the
// mouse and touch coupling, joystick buttons as keys, and the range rules.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <initializer_list>
#include <utility>

#include "framework/app.h"
#include "framework/input.h"
#include "tests/host/fake_glfw.h"

namespace {

// Runs the test's checks inside the app's update, where the game reads input.
class ProbeApp : public c_App {
public:
    std::function<void()> on_update;
    int p_OnUpdate() override {
        if (on_update) on_update();
        return 0;
    }
};

class InputDevice : public ::testing::Test {
protected:
    void SetUp() override {
        gc_init();
        previous_layer_ = GlfwLayer::current;
        previous_roots_ = gc_roots;
        GlfwLayer::current = &fake;
        host = new OrvGlfwGame();
        orvInitFramework();
        gc_roots = orvMarkFrameworkRoots;
        ProbeApp* app = new ProbeApp();
        app->m_new();
        probe = app;
        delegate = orv_app__delegate;
        // What the delegate's start does besides creating the renderer.
        gc_assign(delegate->m__input, (new c_InputDevice())->m_new());
        for (int port = 0; port < 4; ++port) {
            gc_assign(delegate->m__input->m__joyStates[port], (new c_JoyState())->m_new());
        }
        orv_input_SetInputDevice(delegate->m__input);
    }
    void TearDown() override {
        GlfwLayer::current = previous_layer_;
        gc_roots = previous_roots_;
        delete host;
    }
    // One app update with the given checks inside it.
    void Update(const std::function<void()>& checks = {}) {
        probe->on_update = checks;
        delegate->UpdateGame();
    }
    void Key(int event, int code) { delegate->KeyEvent(event, code); }

    FakeGlfw fake;
    OrvGlfwGame* host = nullptr;
    ProbeApp* probe = nullptr;
    c_GameDelegate* delegate = nullptr;
    GlfwLayer* previous_layer_ = nullptr;
    void (*previous_roots_)() = nullptr;
};

const int kDown = c_OrvGameEvent::KeyDown, kUp = c_OrvGameEvent::KeyUp, kChar = c_OrvGameEvent::KeyChar;

TEST_F(InputDevice, LeftClickIsAlsoTouchZeroInTheSameUpdate) {
    delegate->MouseEvent(c_OrvGameEvent::MouseDown, 0, 30, 40);
    Update([] {
        EXPECT_EQ(orv_input_KeyHit(1), 1);
        EXPECT_EQ(orv_input_MouseHit(0), 1);
        EXPECT_EQ(orv_input_TouchDown(0), 1);
        EXPECT_EQ(orv_input_KeyHit(384), 1);
        EXPECT_EQ(orv_input_MouseDown(0), 1);
        EXPECT_EQ(orv_input_MouseX(), 30);
        EXPECT_EQ(orv_input_TouchY(0), 40);
    });
    delegate->MouseEvent(c_OrvGameEvent::MouseMove, -1, 50, 60);
    delegate->MouseEvent(c_OrvGameEvent::MouseUp, 0, 99, 99);  // a release does not move the pointer
    Update([] {
        EXPECT_EQ(orv_input_KeyHit(1), 0);
        EXPECT_EQ(orv_input_MouseDown(0), 0);
        EXPECT_EQ(orv_input_TouchDown(0), 0);
        EXPECT_EQ(orv_input_MouseX(), 50);
        EXPECT_EQ(orv_input_MouseY(), 60);
        EXPECT_EQ(orv_input_TouchX(0), 50);
    });
    // Right and middle buttons are keys 2 and 3 and touch nothing.
    delegate->MouseEvent(c_OrvGameEvent::MouseDown, 1, 5, 5);
    delegate->MouseEvent(c_OrvGameEvent::MouseDown, 2, 5, 5);
    Update([] {
        EXPECT_EQ(orv_input_KeyHit(2), 1);
        EXPECT_EQ(orv_input_MouseDown(2), 1);
        EXPECT_EQ(orv_input_TouchDown(0), 0);
    });
}

TEST_F(InputDevice, EachPhysicalPressCountsOnceAndHitsLastOneUpdate) {
    Key(kDown, 65);
    Key(kDown, 65);  // auto-repeat
    Key(kUp, 65);
    Key(kDown, 65);
    Key(kDown, 65);
    Key(kUp, 65);
    Key(kUp, 65);
    Update([] {
        EXPECT_EQ(orv_input_KeyHit(65), 2);
        EXPECT_EQ(orv_input_KeyDown(65), 0);
    });
    Key(kDown, 13);
    Update([] { EXPECT_EQ(orv_input_KeyHit(65), 0); });
    Update([] {
        EXPECT_EQ(orv_input_KeyHit(13), 0);  // still held, but hit only in the update after the press
        EXPECT_EQ(orv_input_KeyDown(13), 1);
    });
}

TEST_F(InputDevice, QueuesKeepTheFirstEntriesAndDropTheRestSilently) {
    for (int c = 1; c <= 40; ++c) Key(kChar, 1000 + c);
    for (int k = 0; k < 40; ++k) Key(kDown, 100 + k);
    Update([] {
        for (int c = 1; c <= 32; ++c) EXPECT_EQ(orv_input_GetChar(), 1000 + c);
        EXPECT_EQ(orv_input_GetChar(), 0);
        EXPECT_EQ(orv_input_GetChar(), 0);
        // 33 hits fit; later presses are down but not counted.
        for (int k = 0; k < 40; ++k) {
            EXPECT_EQ(orv_input_KeyHit(100 + k), k < 33 ? 1 : 0) << k;
            EXPECT_EQ(orv_input_KeyDown(100 + k), 1) << k;
        }
    });
    Key(kChar, 'x');
    Update([] {
        EXPECT_EQ(orv_input_GetChar(), 'x');
        for (int k = 0; k < 40; ++k) EXPECT_EQ(orv_input_KeyHit(100 + k), 0) << k;
    });
    Update([] { EXPECT_EQ(orv_input_GetChar(), 0); });
}

TEST_F(InputDevice, OutOfRangeQueriesAnswerZero) {
    delegate->MouseEvent(c_OrvGameEvent::MouseDown, -1, 1, 1);  // key 0: not a key anyone can ask about
    Key(kDown, 511);
    Key(kDown, 600);  // outside the space: ignored
    Key(kDown, -3);
    delegate->TouchEvent(c_OrvGameEvent::TouchDown, 32, 7, 7);  // no such finger (and not the back key)
    delegate->TouchEvent(c_OrvGameEvent::TouchDown, -1, 7, 7);
    Update([] {
        EXPECT_EQ(orv_input_KeyDown(511), 1);
        EXPECT_EQ(orv_input_MouseDown(510), 1);
        for (int key : {0, 512, -1, INT_MAX, INT_MIN}) {
            EXPECT_EQ(orv_input_KeyDown(key), 0) << key;
            EXPECT_EQ(orv_input_KeyHit(key), 0) << key;
        }
        EXPECT_EQ(orv_input_KeyDown(416), 0);
        for (int button : {-1, 511, INT_MAX, INT_MIN}) {
            EXPECT_EQ(orv_input_MouseDown(button), 0) << button;
            EXPECT_EQ(orv_input_MouseHit(button), 0) << button;
        }
        for (int finger : {-384, 128, INT_MAX, INT_MIN}) EXPECT_EQ(orv_input_TouchDown(finger), 0) << finger;
        for (int finger : {32, -1, INT_MAX}) {
            EXPECT_EQ(orv_input_TouchX(finger), 0.0f) << finger;
            EXPECT_EQ(orv_input_TouchY(finger), 0.0f) << finger;
        }
        for (auto [index, unit] : {std::pair{2, 0}, {-1, 0}, {0, 4}, {0, -1}, {0, INT_MIN}, {INT_MAX, 1}}) {
            EXPECT_EQ(orv_input_JoyX(index, unit), 0.0f);
            EXPECT_EQ(orv_input_JoyY(index, unit), 0.0f);
        }
        EXPECT_EQ(orv_input_JoyDown(0, INT_MAX), 0);
        EXPECT_EQ(orv_input_JoyHit(INT_MIN, 0), 0);
        EXPECT_EQ(orv_input_TouchX(0), 1.0f);  // the click at (1, 1) still moved the pointer
    });
}

TEST_F(InputDevice, JoystickButtonsAreKeysPolledOncePerUpdate) {
    fake.pads[0].present = true;
    fake.pads[1].present = true;
    fake.pads[1].axes = {0.5f, -0.25f, 0.0f, 0.0f, 0.0f, 0.0f};
    fake.pads[1].buttons.assign(32, glfw27::RELEASE);
    fake.pads[1].buttons[3] = glfw27::PRESS;
    Update([] {
        EXPECT_EQ(orv_input_KeyDown(291), 1);
        EXPECT_EQ(orv_input_JoyDown(3, 1), 1);
        EXPECT_EQ(orv_input_JoyHit(3, 1), 1);
        EXPECT_EQ(orv_input_JoyDown(3, 0), 0);
        EXPECT_EQ(orv_input_JoyX(0, 1), 0.5f);
        EXPECT_EQ(orv_input_JoyY(0, 1), -0.25f);
    });
    Update([] {
        EXPECT_EQ(orv_input_JoyDown(3, 1), 1);
        EXPECT_EQ(orv_input_JoyHit(3, 1), 0);  // held: no new hit
    });
    fake.pads[1].buttons[3] = glfw27::RELEASE;
    Update([] { EXPECT_EQ(orv_input_JoyDown(3, 1), 0); });
    // The code is 256 OR unit * 32 OR button: button 32 of unit 0 is button 0 of unit 1.
    fake.pads[1].buttons[0] = glfw27::PRESS;
    Update([] { EXPECT_EQ(orv_input_JoyDown(32, 0), 1); });
}

TEST_F(InputDevice, PollingStopsAtTheFirstAbsentPad) {
    fake.pads[1].present = true;
    fake.pads[1].buttons.assign(4, glfw27::PRESS);
    fake.pads[1].axes = {1.0f, 1.0f};
    for (int i = 0; i < 3; ++i) {
        Update([] {
            EXPECT_EQ(orv_input_JoyDown(0, 1), 0);
            EXPECT_EQ(orv_input_JoyX(0, 1), 0.0f);
        });
    }
    EXPECT_EQ(fake.pad_reads[1], 0);
}

// A pad unplugged (or no longer polled) while a button and the stick are held
// must not leave them held for ever.
TEST_F(InputDevice, PadThatGoesAwayLetsGoOfWhatItHeld) {
    fake.pads[0].present = true;
    fake.pads[0].axes = {-1.0f, 0.5f};
    fake.pads[0].buttons = {glfw27::PRESS};
    fake.pads[1].present = true;
    fake.pads[1].buttons = {glfw27::PRESS};
    Update([] {
        EXPECT_EQ(orv_input_JoyDown(0, 0), 1);
        EXPECT_EQ(orv_input_JoyDown(0, 1), 1);
        EXPECT_EQ(orv_input_JoyX(0, 0), -1.0f);
    });
    fake.pads[0].present = false;
    Update([] {
        EXPECT_EQ(orv_input_JoyDown(0, 0), 0);
        EXPECT_EQ(orv_input_JoyDown(0, 1), 0);  // behind the absent pad: not polled, so not held
        EXPECT_EQ(orv_input_JoyX(0, 0), 0.0f);
        EXPECT_EQ(orv_input_JoyY(0, 0), 0.0f);
    });
    fake.pads[0].present = true;
    Update([] {
        EXPECT_EQ(orv_input_JoyHit(0, 0), 1);  // held through the reconnection: a new press
        EXPECT_EQ(orv_input_JoyHit(0, 1), 1);
    });
}

TEST_F(InputDevice, TouchesMoveTheirOwnSlotsAndFingerZeroIsThePointer) {
    delegate->TouchEvent(c_OrvGameEvent::TouchDown, 2, 10, 20);
    delegate->TouchEvent(c_OrvGameEvent::TouchMove, 2, 11, 21);
    Update([] {
        EXPECT_EQ(orv_input_TouchDown(2), 1);
        EXPECT_EQ(orv_input_TouchX(2), 11);
        EXPECT_EQ(orv_input_TouchY(2), 21);
        EXPECT_EQ(orv_input_MouseX(), 0);
        EXPECT_EQ(orv_input_MouseDown(0), 0);
    });
    delegate->TouchEvent(c_OrvGameEvent::TouchDown, 0, 5, 6);
    Update([] {
        EXPECT_EQ(orv_input_MouseHit(0), 1);  // finger 0 is also the left button
        EXPECT_EQ(orv_input_MouseX(), 5);
        EXPECT_EQ(orv_input_MouseY(), 6);
    });
    delegate->TouchEvent(c_OrvGameEvent::TouchUp, 0, 70, 80);
    delegate->TouchEvent(c_OrvGameEvent::TouchUp, 2, 70, 80);
    delegate->MotionEvent(c_OrvGameEvent::MotionAccel, 0, 0.25f, -0.5f, 1.0f);
    delegate->MotionEvent(c_OrvGameEvent::TouchMove, 0, 9, 9, 9);  // not a motion event
    Update([] {
        EXPECT_EQ(orv_input_MouseDown(0), 0);
        EXPECT_EQ(orv_input_TouchDown(2), 0);
        EXPECT_EQ(orv_input_TouchX(0), 5);
        EXPECT_EQ(orv_input_AccelX(), 0.25f);
        EXPECT_EQ(orv_input_AccelY(), -0.5f);
    });
}

TEST_F(InputDevice, DeviceAndJoystickStatesSurviveCollection) {
    const bool stress = gc_stress;
    gc_stress = true;  // every step a whole cycle
    c_InputDevice* device = orv_input_device;
    c_JoyState* state = device->m__joyStates[3];
    for (int i = 0; i < 3; ++i) gc_collect_step(delegate);
    EXPECT_TRUE(gc_is_live(device));
    EXPECT_TRUE(gc_is_live(state));
    for (gc_object* rep : std::initializer_list<gc_object*>{
             device->m__joyStates.rep, device->m__keyDown.rep, device->m__keyHitQueue.rep, device->m__keyHit.rep,
             device->m__charQueue.rep, device->m__touchX.rep, device->m__touchY.rep, state->m_joyx.rep,
             state->m_joyy.rep, state->m_joyz.rep, state->m_buttons.rep}) {
        EXPECT_TRUE(gc_is_live(rep));
    }
    // Either holder alone keeps it: the delegate's mark, and the global as a root.
    orv_input_SetInputDevice(nullptr);
    for (int i = 0; i < 2; ++i) gc_collect_step(delegate);
    EXPECT_TRUE(gc_is_live(device));
    orv_input_SetInputDevice(device);
    gc_assign(delegate->m__input, nullptr);
    for (int i = 0; i < 2; ++i) gc_collect_step(delegate);
    EXPECT_TRUE(gc_is_live(device));
    gc_assign(delegate->m__input, device);
    gc_stress = stress;
}

}  // namespace
