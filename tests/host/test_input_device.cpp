// The framework's input device fed through the delegate, with scripted
// joysticks behind the host: key states and hits per update, the queues, the
// mouse and touch coupling, joystick buttons as keys, and the range rules.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "framework/app.h"
#include "framework/input.h"
#include "tests/host/fake_host_test.h"

namespace {

using Values = std::vector<float>;

// Runs the test's checks inside the app's update, where the game reads input.
class ProbeApp : public c_App {
public:
    std::function<void()> on_update;
    int p_OnUpdate() override {
        if (on_update) on_update();
        return 0;
    }
};

class InputDevice : public FakeHostTest {
protected:
    void SetUp() override {
        FakeHostTest::SetUp();
        previous_roots_ = gc_roots;
        orvInitFramework();
        gc_roots = orvMarkFrameworkRoots;
        (probe = new ProbeApp())->m_new();
        delegate = orv_app__delegate;
        // What the delegate's start does besides creating the renderer.
        gc_assign(delegate->m__input, (new c_InputDevice())->m_new());
        for (int port = 0; port < 4; ++port) {
            gc_assign(delegate->m__input->m__joyStates[port], (new c_JoyState())->m_new());
        }
        orv_input_SetInputDevice(delegate->m__input);
    }
    void TearDown() override {
        gc_roots = previous_roots_;
        FakeHostTest::TearDown();
    }
    // One app update with the given checks inside it.
    void Update(const std::function<void()>& checks) {
        probe->on_update = checks;
        delegate->UpdateGame();
    }
    void Key(int event, int code) { delegate->KeyEvent(event, code); }

    ProbeApp* probe = nullptr;
    c_GameDelegate* delegate = nullptr;
    void (*previous_roots_)() = nullptr;
};

const int kDown = c_OrvGameEvent::KeyDown, kUp = c_OrvGameEvent::KeyUp, kChar = c_OrvGameEvent::KeyChar;

// The left button is also touch 0, so that a click works wherever the game
// asks about touches; finger 0 is also the left button (key 1) and the
// pointer, and another finger moves only its own slot.
TEST_F(InputDevice, LeftButtonTouchZeroAndThePointerMoveTogether) {
    using E = c_OrvGameEvent;
    // Hit 1, touch 0 down, hit 384, mouse x, touch 0's y.
    delegate->MouseEvent(E::MouseDown, 0, 30, 40);
    Update([] {
        EXPECT_EQ(Values({float(orv_input_KeyHit(1)), float(orv_input_TouchDown(0)), float(orv_input_KeyHit(384)),
                          orv_input_MouseX(), orv_input_TouchY(0)}),
                  Values({1, 1, 1, 30, 40}));
    });
    delegate->MouseEvent(E::MouseMove, -1, 50, 60);
    delegate->MouseEvent(E::MouseUp, 0, 99, 99);  // a release does not move the pointer
    Update([] {
        EXPECT_EQ(Values({float(orv_input_TouchDown(0)), orv_input_MouseY(), orv_input_TouchX(0)}), Values({0, 60, 50}));
    });

    // Touch 0 and 2 down: touch 0's down, hit 1, mouse button 0, mouse x and
    // y, touch 2's down and x, and key 3 (finger 2 is no mouse button).
    delegate->TouchEvent(E::TouchDown, 0, 12, 34);
    delegate->TouchEvent(E::TouchDown, 2, 56, 78);
    Update([] {
        EXPECT_EQ(Values({float(orv_input_TouchDown(0)), float(orv_input_KeyHit(1)), float(orv_input_MouseDown(0)),
                          orv_input_MouseX(), orv_input_MouseY(), float(orv_input_TouchDown(2)), orv_input_TouchX(2),
                          float(orv_input_KeyDown(3))}),
                  Values({1, 1, 1, 12, 34, 1, 56, 0}));
    });
    // Neither the lift nor finger 2 moves the pointer.
    delegate->TouchEvent(E::TouchMove, 2, 90, 91);
    delegate->TouchEvent(E::TouchUp, 0, 1, 1);
    Update([] {
        EXPECT_EQ(Values({float(orv_input_TouchDown(0)), float(orv_input_MouseDown(0)), orv_input_MouseX(),
                          orv_input_TouchY(2), float(orv_input_TouchDown(2))}),
                  Values({0, 0, 12, 91, 1}));
    });
}

// Only a key-down of the back or the close key ends the program: the same
// numbers typed as characters (U+01A0, U+01B0), or their key-ups, are
// ordinary input.
TEST_F(InputDevice, OnlyAKeyDownOfBackOrCloseEndsTheProgram) {
    EXPECT_EXIT(
        {
            for (int code : {KEY_BACK, KEY_CLOSE}) {
                Key(kChar, code);
                Key(kUp, code);
            }
            Update([] {
                if (orv_input_GetChar() == KEY_BACK && orv_input_GetChar() == KEY_CLOSE) std::exit(3);
            });
            std::exit(4);
        },
        ::testing::ExitedWithCode(3), "");
    for (int code : {KEY_BACK, KEY_CLOSE}) EXPECT_EXIT(Key(kDown, code), ::testing::ExitedWithCode(0), "") << code;
}

// Auto-repeat is one press; hits last one update; the queues keep their
// first entries and drop the rest silently.
TEST_F(InputDevice, EachPhysicalPressCountsOnceAndTheQueuesKeepTheFirstEntries) {
    for (int event : {kDown, kDown, kUp, kDown, kDown, kUp, kUp}) Key(event, 65);
    for (int i = 0; i < 40; ++i) {
        Key(kChar, 1000 + i);
        Key(kDown, 100 + i);
    }
    Update([] {
        EXPECT_EQ(orv_input_KeyHit(65), 2);
        EXPECT_EQ(orv_input_KeyDown(65), 0);
        for (int i = 0; i < 32; ++i) EXPECT_EQ(orv_input_GetChar(), 1000 + i);
        EXPECT_EQ(orv_input_GetChar(), 0);
        for (int i = 0; i < 40; ++i) {
            EXPECT_EQ(orv_input_KeyHit(100 + i), i < 31 ? 1 : 0) << i;  // 33 hits fit, two of them 65's
            EXPECT_EQ(orv_input_KeyDown(100 + i), 1) << i;
        }
    });
    Key(kChar, 'x');
    Update([] {
        EXPECT_EQ(orv_input_GetChar(), 'x');
        EXPECT_EQ(orv_input_GetChar(), 0);
        EXPECT_EQ(orv_input_KeyHit(65), 0);
        for (int i = 0; i < 40; ++i) EXPECT_EQ(orv_input_KeyHit(100 + i), 0) << i;  // though still held
    });
}

TEST_F(InputDevice, OutOfRangeEventsAndQueriesAnswerZero) {
    // Key 0 is not a key anyone can ask about; 511 is the last key, and 600
    // and -3 are outside the space. Finger 32 has no slot (its code would be
    // the back key's), nor has -1.
    for (int key : {0, 511, 600, -3}) Key(kDown, key);
    for (int finger : {32, -1}) delegate->TouchEvent(c_OrvGameEvent::TouchDown, finger, 5, 6);
    Update([] {
        EXPECT_EQ(orv_input_KeyDown(511), 1);
        EXPECT_EQ(orv_input_MouseDown(510), 1);
        EXPECT_EQ(Values({float(orv_input_KeyDown(KEY_BACK)), float(orv_input_KeyDown(383)), orv_input_MouseX()}),
                  Values({0, 0, 0}));
        for (int key : {0, 512, -1, INT_MAX, INT_MIN}) {
            EXPECT_FALSE(orv_input_KeyDown(key) || orv_input_KeyHit(key)) << key;
        }
        for (int button : {-1, 511, INT_MAX, INT_MIN}) {
            EXPECT_FALSE(orv_input_MouseDown(button) || orv_input_MouseHit(button)) << button;
        }
        for (int finger : {-384, -1, 32, 128, INT_MAX, INT_MIN}) {
            EXPECT_EQ(Values({float(orv_input_TouchDown(finger)), orv_input_TouchX(finger), orv_input_TouchY(finger)}),
                      Values({0, 0, 0})) << finger;
        }
        for (auto [index, unit] : {std::pair{2, 0}, {-1, 0}, {0, 4}, {0, -1}, {0, INT_MIN}, {INT_MAX, 1}}) {
            EXPECT_EQ(Values({orv_input_JoyX(index, unit), orv_input_JoyY(index, unit)}), Values({0, 0}))
                << index << " " << unit;
        }
        EXPECT_EQ(orv_input_JoyDown(0, INT_MAX), 0);
        EXPECT_EQ(orv_input_JoyHit(INT_MIN, 0), 0);
    });
}

// Pad buttons are keys 256 + 32 × port + button, polled each update. A pad
// that goes away lets go of what it held, and the pads after it are not
// polled at all.
TEST_F(InputDevice, JoystickButtonsAreKeysAndAPadThatGoesAwayLetsGo) {
    fake.pads[0] = {true, {-1.0f, 0.5f}, {glfw27::PRESS}};
    fake.pads[1] = {true, {0.5f, -0.25f}, std::vector<unsigned char>(32, glfw27::RELEASE)};
    fake.pads[1].buttons[3] = glfw27::PRESS;
    // Key 291 down, hit of pad 1's button 3, pad 0's button 3 down, pad 0's x, pad 1's y.
    Update([] {
        EXPECT_EQ(Values({float(orv_input_KeyDown(291)), float(orv_input_JoyHit(3, 1)), float(orv_input_JoyDown(3, 0)),
                          orv_input_JoyX(0, 0), orv_input_JoyY(0, 1)}),
                  Values({1, 1, 0, -1, -0.25f}));
    });
    fake.pads[1].buttons[3] = glfw27::RELEASE;
    fake.pads[1].buttons[0] = glfw27::PRESS;
    // Held: no new hit. Button 32 of pad 0 is button 0 of pad 1.
    Update([] {
        EXPECT_EQ(Values({float(orv_input_JoyDown(0, 0)), float(orv_input_JoyHit(0, 0)), float(orv_input_JoyDown(3, 1)),
                          float(orv_input_JoyDown(32, 0))}),
                  Values({1, 0, 0, 1}));
    });
    fake.pads[0].present = false;
    const int reads = fake.pad_reads[1];
    Update([] {
        EXPECT_EQ(Values({float(orv_input_JoyDown(0, 0)), orv_input_JoyX(0, 0), orv_input_JoyY(0, 0),
                          float(orv_input_JoyDown(0, 1)), orv_input_JoyY(0, 1)}),
                  Values({0, 0, 0, 0, 0}));
    });
    EXPECT_EQ(fake.pad_reads[1], reads);
    fake.pads[0].present = true;
    // Held through the reconnection: a new press.
    Update([] { EXPECT_EQ(Values({float(orv_input_JoyHit(0, 0)), float(orv_input_JoyHit(0, 1))}), Values({1, 1})); });
}

TEST_F(InputDevice, DeviceAndJoystickStatesSurviveCollection) {
    const bool stress = gc_stress;
    gc_stress = true;  // every step a whole cycle
    auto collect = [&] {
        for (int i = 0; i < 3; ++i) gc_collect_step(delegate);
    };
    c_InputDevice* device = orv_input_device;
    c_JoyState* state = device->m__joyStates[3];
    collect();
    for (const void* object : std::initializer_list<const void*>{
             device, state, device->m__joyStates.rep, device->m__keyDown.rep, device->m__keyHitQueue.rep,
             device->m__keyHit.rep, device->m__charQueue.rep, device->m__touchX.rep, device->m__touchY.rep,
             state->m_joyx.rep, state->m_joyy.rep, state->m_joyz.rep, state->m_buttons.rep}) {
        EXPECT_TRUE(gc_is_live(object));
    }
    // Either holder alone keeps it: the delegate's mark, and the global as a root.
    orv_input_SetInputDevice(nullptr);
    collect();
    EXPECT_TRUE(gc_is_live(device));
    orv_input_SetInputDevice(device);
    gc_assign(delegate->m__input, nullptr);
    collect();
    EXPECT_TRUE(gc_is_live(device));
    gc_assign(delegate->m__input, device);
    gc_stress = stress;
}

}  // namespace
