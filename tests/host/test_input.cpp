// Input from the window system to the game: the host's key and character
// translation, the callbacks it installs and its joystick poll; the layer's
// key numbering and its conversion of library pads; and the framework's input
// device fed through the delegate, with scripted joysticks behind the host
// (key states and hits per update, the queues, the mouse and touch coupling,
// joystick buttons as keys, and the range rules).
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/app.h"
#include "framework/input.h"
#include "tests/game/values.h"
#include "tests/host/fake_host_test.h"

namespace {

using Events = std::vector<std::string>;
using Floats = std::vector<float>;

// The events the host delivers, as text.
class EventLog : public OrvGameDelegate {
public:
    Events events;
    void KeyEvent(int event, int data) override {
        events.push_back("key " + std::to_string(event) + " " + std::to_string(data));
    }
};

class HostInput : public FakeHostTest {
protected:
    void SetUp() override {
        FakeHostTest::SetUp();
        host->SetDelegate(log = new EventLog());
        host->StartGame();
        host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);  // installs the callbacks
    }
    // What the host delivered since the last look.
    Events Take() { return std::exchange(log->events, {}); }

    EventLog* log = nullptr;
};

// Every key of the installed library, through the layer's numbering and the
// host's translation: a press, and its repeats while held, give the
// framework's key-down and maybe a character, a release only the key-up, a
// repeat of a key let go nothing (it is no new press), and keys without a
// code (Alt, Super, the locks, keypad Enter and =, F13 on, the extra keys)
// nothing. The layer's numbering leads back to the library's keys.
TEST_F(HostInput, EveryLibraryKeyGivesItsCodeAndCharacter) {
    const int kMove = 65536;  // added to the codes of the cursor and paging keys as characters
    std::map<int, std::pair<int, int>> expected = {  // library key: framework code, character
        {GLFW_KEY_SPACE, {32, 0}},          {GLFW_KEY_APOSTROPHE, {222, 0}},    {GLFW_KEY_COMMA, {188, 0}},
        {GLFW_KEY_MINUS, {189, 0}},         {GLFW_KEY_PERIOD, {190, 0}},        {GLFW_KEY_SLASH, {191, 0}},
        {GLFW_KEY_SEMICOLON, {186, 0}},     {GLFW_KEY_EQUAL, {187, 0}},         {GLFW_KEY_LEFT_BRACKET, {219, 0}},
        {GLFW_KEY_BACKSLASH, {220, 0}},     {GLFW_KEY_RIGHT_BRACKET, {221, 0}}, {GLFW_KEY_GRAVE_ACCENT, {192, 0}},
        {GLFW_KEY_ESCAPE, {27, 27}},        {GLFW_KEY_ENTER, {13, 13}},         {GLFW_KEY_TAB, {9, 9}},
        {GLFW_KEY_BACKSPACE, {8, 8}},       {GLFW_KEY_INSERT, {45, kMove + 45}}, {GLFW_KEY_DELETE, {46, 127}},
        {GLFW_KEY_RIGHT, {39, kMove + 39}}, {GLFW_KEY_LEFT, {37, kMove + 37}},  {GLFW_KEY_DOWN, {40, kMove + 40}},
        {GLFW_KEY_UP, {38, kMove + 38}},    {GLFW_KEY_PAGE_UP, {33, kMove + 33}}, {GLFW_KEY_PAGE_DOWN, {34, kMove + 34}},
        {GLFW_KEY_HOME, {36, kMove + 36}},  {GLFW_KEY_END, {35, kMove + 35}},   {GLFW_KEY_KP_DECIMAL, {110, 0}},
        {GLFW_KEY_KP_DIVIDE, {111, 0}},     {GLFW_KEY_KP_MULTIPLY, {106, 0}},   {GLFW_KEY_KP_SUBTRACT, {109, 0}},
        {GLFW_KEY_KP_ADD, {107, 0}},        {GLFW_KEY_LEFT_SHIFT, {16, 0}},     {GLFW_KEY_RIGHT_SHIFT, {16, 0}},
        {GLFW_KEY_LEFT_CONTROL, {17, 0}},   {GLFW_KEY_RIGHT_CONTROL, {17, 0}},
    };
    for (int i = 0; i < 10; ++i) expected[GLFW_KEY_0 + i] = {'0' + i, 0};
    for (int i = 0; i < 10; ++i) expected[GLFW_KEY_KP_0 + i] = {96 + i, 0};
    for (int i = 0; i < 26; ++i) expected[GLFW_KEY_A + i] = {'A' + i, 0};
    for (int i = 0; i < 12; ++i) expected[GLFW_KEY_F1 + i] = {112 + i, 0};
    int known = 0;
    for (int key = -1; key <= GLFW_KEY_LAST + 5; ++key) {
        Events press, release;
        if (const auto it = expected.find(key); it != expected.end()) {
            const auto [code, character] = it->second;
            press = {"key 1 " + std::to_string(code)};
            if (character) press.push_back("key 3 " + std::to_string(character));
            release = {"key 2 " + std::to_string(code)};
        }
        const int classic = GlfwKeyTo27(key);
        for (const auto& [action, out] : {std::pair{glfw27::PRESS, press}, {glfw27::REPEAT, press},
                                          {glfw27::RELEASE, release}, {glfw27::REPEAT, Events{}}}) {
            fake.callbacks().key(classic, action);
            EXPECT_EQ(Take(), out) << "key " << key << " action " << action;
        }
        if (classic != glfw27::KEY_UNKNOWN) {
            EXPECT_EQ(Glfw27KeyToGlfw(classic), key) << "key " << key;
            ++known;
        }
    }
    EXPECT_EQ(known, 117);  // every key the library header defines but the world keys and Print
    for (int classic : {-1, 0, 31, 127, 256, 326, 400}) EXPECT_EQ(Glfw27KeyToGlfw(classic), GLFW_KEY_UNKNOWN);
    // The classic numbering's own keys without a library key: double quote
    // and tilde share the codes of apostrophe and grave accent; codes
    // outside the table are no keys.
    for (auto [classic, code] : {std::pair{int('"'), 222}, {int('~'), 192}, {-2, 0}, {31, 0}, {317, 0}, {600, 0}}) {
        fake.callbacks().key(classic, glfw27::PRESS);
        EXPECT_EQ(Take(), code ? Events{"key 1 " + std::to_string(code)} : Events{}) << classic;
    }
}

using HostJoystick = FakeHostTest;

TEST_F(HostJoystick, AxisLayoutDependsOnTheNumberOfAxes) {
    Array<float> joyx(2), joyy(2), joyz(2);
    Array<bool> buttons(32);
    for (Array<float> a : {joyx, joyy, joyz}) a[0] = a[1] = 9.0f;  // "never written"
    auto poll = [&](int port) { return host->PollJoystick(port, joyx, joyy, joyz, buttons); };
    auto axes = [&] { return Floats{joyx[0], joyy[0], joyz[0], joyx[1], joyy[1], joyz[1]}; };

    for (int port = 0; port < 4; ++port) EXPECT_FALSE(poll(port)) << port;  // no pads: nothing changes
    EXPECT_EQ(axes(), (Floats{9, 9, 9, 9, 9, 9}));

    fake.pads[0].present = true;
    for (int i = 0; i < 40; ++i) fake.pads[0].buttons.push_back(i % 3 == 0 ? glfw27::PRESS : glfw27::RELEASE);
    // The axes in, and out as joyx[0], joyy[0], joyz[0], joyx[1], joyy[1], joyz[1].
    const std::pair<Floats, Floats> pads[] = {
        // Four axes: the third is the second stick's vertical, and no z.
        {{0.1f, 0.2f, 0.3f, 0.4f}, {0.1f, 0.2f, 0.0f, 0.4f, 0.3f, 0.0f}},
        {{0.1f, 0.2f, 0.3f, 0.4f, 0.5f}, {0.1f, 0.2f, 0.3f, 0.5f, 0.4f, 0.0f}},  // fourth and fifth swapped
        {{0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f}, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f}},
        {{0.5f, -0.5f}, {0.5f, -0.5f, 0.0f, 0.0f, 0.0f, 0.0f}},
    };
    for (const auto& [in, out] : pads) {
        fake.pads[0].axes = in;
        ASSERT_TRUE(poll(0));
        EXPECT_EQ(axes(), out) << in.size() << " axes";
    }
    // Nothing is read past what has a place: six axes, 32 buttons.
    EXPECT_TRUE(fake.most_axes_asked <= 6 && fake.most_buttons_asked <= 32);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(buttons[i], i % 3 == 0) << i;
}

// A mapped pad: sticks positive up, triggers as z reading 0 at rest, and
// each library button on its framework button; a raw joystick's axes with
// only the vertical ones turned round.
TEST(GamepadLayout, MappedAndRawPadsArriveInTheFrameworkPadLayout) {
    // The library's axes: left x, left y (up is negative), right x, right y,
    // left trigger (fully pressed), right trigger (at rest).
    glfw27::GamepadState pad{{}, {0.25f, -0.75f, -0.5f, 0.5f, 1.0f, -1.0f}};
    float axes[glfw27::PAD_AXES];
    unsigned char buttons[glfw27::PAD_BUTTONS];
    glfw27::GamepadToClassic(pad, axes, buttons);
    EXPECT_EQ(Floats(axes, axes + 6), (Floats{0.25f, 0.75f, 1.0f, -0.5f, -0.5f, 0.0f}));

    // The framework's button of each library button: A, B, X, Y, the bumpers,
    // back, start, guide, the thumbs, and the pad's up, right, down and left.
    const int framework[GLFW_GAMEPAD_BUTTON_LAST + 1] = {0, 1, 2, 3, 4, 5, 6, 7, 14, 12, 13, 9, 10, 11, 8};
    for (int library = 0; library <= GLFW_GAMEPAD_BUTTON_LAST; ++library) {
        pad.buttons[library] = GLFW_PRESS;
        glfw27::GamepadToClassic(pad, axes, buttons);
        pad.buttons[library] = GLFW_RELEASE;
        std::vector<unsigned char> only(glfw27::PAD_BUTTONS, glfw27::RELEASE);
        only[framework[library]] = glfw27::PRESS;
        EXPECT_EQ(std::vector<unsigned char>(buttons, buttons + glfw27::PAD_BUTTONS), only) << library;
    }

    // A raw joystick's axes: only the vertical ones turn around.
    const float raw[7] = {0.5f, 0.5f, -0.25f, -0.25f, 1.0f, 1.0f, 0.75f};
    float out[8] = {3, 3, 3, 3, 3, 3, 3, 3};
    EXPECT_EQ(glfw27::RawAxesToClassic(raw, 7, out, 6), 6);
    EXPECT_EQ(Floats(out, out + 8), (Floats{0.5f, -0.5f, -0.25f, 0.25f, 1.0f, -1.0f, 3, 3}));
    EXPECT_EQ(Values(glfw27::RawAxesToClassic(raw, 2, out, 6), glfw27::RawAxesToClassic(raw, 7, out, -1)), Values(2, 0));
}

// ---------------------------------------------------------------- input device

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
        for (int port = 0; port < 4; ++port) gc_assign(delegate->m__input->m__joyStates[port], (new c_JoyState())->m_new());
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
        EXPECT_EQ(Values(orv_input_KeyHit(1), orv_input_TouchDown(0), orv_input_KeyHit(384), orv_input_MouseX(),
                         orv_input_TouchY(0)), Values(1, 1, 1, 30, 40));
    });
    delegate->MouseEvent(E::MouseMove, -1, 50, 60);
    delegate->MouseEvent(E::MouseUp, 0, 99, 99);  // a release does not move the pointer
    Update([] { EXPECT_EQ(Values(orv_input_TouchDown(0), orv_input_MouseY(), orv_input_TouchX(0)), Values(0, 60, 50)); });

    // Touch 0 and 2 down: touch 0's down, hit 1, mouse button 0, mouse x and
    // y, touch 2's down and x, and key 3 (finger 2 is no mouse button).
    delegate->TouchEvent(E::TouchDown, 0, 12, 34);
    delegate->TouchEvent(E::TouchDown, 2, 56, 78);
    Update([] {
        EXPECT_EQ(Values(orv_input_TouchDown(0), orv_input_KeyHit(1), orv_input_MouseDown(0), orv_input_MouseX(),
                         orv_input_MouseY(), orv_input_TouchDown(2), orv_input_TouchX(2), orv_input_KeyDown(3)),
                  Values(1, 1, 1, 12, 34, 1, 56, 0));
    });
    // Neither the lift nor finger 2 moves the pointer.
    delegate->TouchEvent(E::TouchMove, 2, 90, 91);
    delegate->TouchEvent(E::TouchUp, 0, 1, 1);
    Update([] {
        EXPECT_EQ(Values(orv_input_TouchDown(0), orv_input_MouseDown(0), orv_input_MouseX(), orv_input_TouchY(2),
                         orv_input_TouchDown(2)), Values(0, 0, 12, 91, 1));
    });
}

// Only a key-down of the back or the close key ends the program: the same
// numbers typed as characters (U+01A0, U+01B0), or their key-ups, are
// ordinary input.
TEST_F(InputDevice, OnlyAKeyDownOfBackOrCloseEndsTheProgram) {
    EXPECT_EXIT(
        {
            for (int event : {kChar, kUp}) {
                for (int code : {KEY_BACK, KEY_CLOSE}) Key(event, code);
            }
            Update([] { if (orv_input_GetChar() == KEY_BACK && orv_input_GetChar() == KEY_CLOSE) std::exit(3); });
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
        EXPECT_EQ(Values(orv_input_KeyHit(65), orv_input_KeyDown(65)), Values(2, 0));
        for (int i = 0; i < 32; ++i) EXPECT_EQ(orv_input_GetChar(), 1000 + i);
        EXPECT_EQ(orv_input_GetChar(), 0);
        // 33 hits fit, two of them 65's; all 40 keys are down.
        for (int i = 0; i < 40; ++i) {
            EXPECT_EQ(Values(orv_input_KeyHit(100 + i), orv_input_KeyDown(100 + i)), Values(i < 31, 1)) << i;
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
        EXPECT_EQ(Values(orv_input_KeyDown(511), orv_input_MouseDown(510), orv_input_KeyDown(KEY_BACK),
                         orv_input_KeyDown(383), orv_input_MouseX()), Values(1, 1, 0, 0, 0));
        for (int key : {0, 512, -1, INT_MAX, INT_MIN}) EXPECT_FALSE(orv_input_KeyDown(key) || orv_input_KeyHit(key)) << key;
        for (int b : {-1, 511, INT_MAX, INT_MIN}) EXPECT_FALSE(orv_input_MouseDown(b) || orv_input_MouseHit(b)) << b;
        for (int f : {-384, -1, 32, 128, INT_MAX, INT_MIN}) {
            EXPECT_FALSE(orv_input_TouchDown(f) || orv_input_TouchX(f) || orv_input_TouchY(f)) << f;
        }
        for (auto [i, unit] : {std::pair{2, 0}, {-1, 0}, {0, 4}, {0, -1}, {0, INT_MIN}, {INT_MAX, 1}}) {
            EXPECT_FALSE(orv_input_JoyX(i, unit) || orv_input_JoyY(i, unit)) << i << " " << unit;
        }
        EXPECT_FALSE(orv_input_JoyDown(0, INT_MAX) || orv_input_JoyHit(INT_MIN, 0));
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
        EXPECT_EQ(Values(orv_input_KeyDown(291), orv_input_JoyHit(3, 1), orv_input_JoyDown(3, 0), orv_input_JoyX(0, 0),
                         orv_input_JoyY(0, 1)), Values(1, 1, 0, -1, -0.25f));
    });
    fake.pads[1].buttons[3] = glfw27::RELEASE;
    fake.pads[1].buttons[0] = glfw27::PRESS;
    // Held: no new hit. Button 32 of pad 0 is button 0 of pad 1.
    Update([] {
        EXPECT_EQ(Values(orv_input_JoyDown(0, 0), orv_input_JoyHit(0, 0), orv_input_JoyDown(3, 1), orv_input_JoyDown(32, 0)),
                  Values(1, 0, 0, 1));
    });
    fake.pads[0].present = false;
    const int reads = fake.pad_reads[1];
    Update([] {
        EXPECT_FALSE(orv_input_JoyDown(0, 0) || orv_input_JoyX(0, 0) || orv_input_JoyY(0, 0) || orv_input_JoyDown(0, 1) ||
                     orv_input_JoyY(0, 1));
    });
    EXPECT_EQ(fake.pad_reads[1], reads);
    fake.pads[0].present = true;
    // Held through the reconnection: a new press.
    Update([] { EXPECT_EQ(Values(orv_input_JoyHit(0, 0), orv_input_JoyHit(0, 1)), Values(1, 1)); });
}

TEST_F(InputDevice, DeviceAndJoystickStatesSurviveCollection) {
    const GcStress stress;  // every step a whole cycle
    auto collect = [&] { for (int i = 0; i < 3; ++i) gc_collect_step(delegate); };
    c_InputDevice* device = orv_input_device;
    c_JoyState* state = device->m__joyStates[3];
    collect();
    const std::vector<const void*> objects = {
        device, state, device->m__joyStates.rep, device->m__keyDown.rep, device->m__keyHitQueue.rep,
        device->m__keyHit.rep, device->m__charQueue.rep, device->m__touchX.rep, device->m__touchY.rep,
        state->m_joyx.rep, state->m_joyy.rep, state->m_joyz.rep, state->m_buttons.rep};
    for (std::size_t i = 0; i < objects.size(); ++i) EXPECT_TRUE(gc_is_live(objects[i])) << i;
    // Either holder alone keeps it: the delegate's mark, and the global as a root.
    orv_input_SetInputDevice(nullptr);
    collect();
    EXPECT_TRUE(gc_is_live(device));
    orv_input_SetInputDevice(device);
    gc_assign(delegate->m__input, nullptr);
    collect();
    EXPECT_TRUE(gc_is_live(device));
    gc_assign(delegate->m__input, device);
}

}  // namespace
