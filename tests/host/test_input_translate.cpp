// Window-system input through the host: the key and character translation,
// the callbacks the host installs and the joystick poll; and the layer's key
// numbering and its conversion of library pads into the framework's layout.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

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
    void MouseEvent(int event, int data, float x, float y) override {
        events.push_back("mouse " + std::to_string(event) + " " + std::to_string(data) + " " +
                         std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)));
    }
};

class HostInput : public FakeHostTest {
protected:
    void SetUp() override {
        FakeHostTest::SetUp();
        log = new EventLog();
        host->SetDelegate(log);
        host->StartGame();
        host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);  // installs the callbacks
    }
    // What the host delivered since the last look.
    Events Take() { return std::exchange(log->events, {}); }

    EventLog* log = nullptr;
};

// Classic key, framework code, and the character its press also gives (0:
// none), written out rather than taken from the layer's names: printable
// keys; Esc, the arrows, Shift and Ctrl; Tab, Enter, Backspace, Insert,
// Delete, Page Up and Down, Home and End; keypad / * - + and the point.
const int kKeys[][3] = {
    {' ', 32, 0}, {'\'', 222, 0}, {'"', 222, 0}, {',', 188, 0}, {'-', 189, 0}, {'.', 190, 0}, {'/', 191, 0},
    {';', 186, 0}, {'=', 187, 0}, {'[', 219, 0}, {'\\', 220, 0}, {']', 221, 0}, {'`', 192, 0}, {'~', 192, 0},
    {257, 27, 27}, {283, 38, 65536 + 38}, {284, 40, 65536 + 40}, {285, 37, 65536 + 37}, {286, 39, 65536 + 39},
    {287, 16, 0}, {288, 16, 0}, {289, 17, 0}, {290, 17, 0},
    {293, 9, 9}, {294, 13, 13}, {295, 8, 8}, {296, 45, 65536 + 45}, {297, 46, 127},
    {298, 33, 65536 + 33}, {299, 34, 65536 + 34}, {300, 36, 65536 + 36}, {301, 35, 65536 + 35},
    {312, 111, 0}, {313, 106, 0}, {314, 109, 0}, {315, 107, 0}, {316, 110, 0},
};

// Every key: a press gives key-down and maybe a character, a release only
// key-up, and keys without a code (Alt, keypad Enter, F13 on...) nothing.
TEST_F(HostInput, EveryClassicKeyGivesItsCodeAndCharacter) {
    std::map<int, std::pair<int, int>> expected;
    for (const auto& [key, code, character] : kKeys) expected[key] = {code, character};
    for (int c = '0'; c <= '9'; ++c) expected[c] = {c, 0};
    for (int c = 'A'; c <= 'Z'; ++c) expected[c] = {c, 0};
    for (int i = 0; i < 12; ++i) expected[258 + i] = {112 + i, 0};  // F1-F12
    for (int i = 0; i < 10; ++i) expected[302 + i] = {96 + i, 0};   // keypad digits
    for (int key = -2; key <= 600; ++key) {
        Events press, release;
        if (const auto it = expected.find(key); it != expected.end()) {
            const auto [code, character] = it->second;
            press = {"key 1 " + std::to_string(code)};
            if (character) press.push_back("key 3 " + std::to_string(character));
            release = {"key 2 " + std::to_string(code)};
        }
        fake.callbacks().key(key, glfw27::PRESS);
        EXPECT_EQ(Take(), press) << "key " << key;
        fake.callbacks().key(key, glfw27::RELEASE);
        EXPECT_EQ(Take(), release) << "key " << key;
    }
}

// Shift+A gives Shift, the letter and the shifted character from the
// character callback; mouse buttons carry the cursor position, and moves no
// button.
TEST_F(HostInput, CharactersAndMouseEvents) {
    fake.callbacks().key(287, glfw27::PRESS);  // left Shift
    fake.callbacks().key('A', glfw27::PRESS);
    fake.callbacks().character('A', glfw27::PRESS);
    fake.callbacks().character(0xE9, glfw27::PRESS);  // beyond ASCII as it comes
    EXPECT_EQ(Take(), (Events{"key 1 16", "key 1 65", "key 3 65", "key 3 233"}));
    fake.mouse_x = 120;
    fake.mouse_y = 45;
    fake.callbacks().mouse_button(0, glfw27::PRESS);
    fake.callbacks().mouse_button(2, glfw27::RELEASE);
    fake.callbacks().mouse_button(3, glfw27::PRESS);  // a side button
    fake.callbacks().mouse_pos(7, 9);
    EXPECT_EQ(Take(), (Events{"mouse 4 0 120 45", "mouse 5 2 120 45", "mouse 6 -1 7 9"}));
}

// Every key the installed library defines, with its classic code (-1: none),
// and every classic key back to its library key.
TEST(LayerKeyCodes, EveryLibraryKeyGetsItsClassicCodeAndBack) {
    std::map<int, int> table = {
        {GLFW_KEY_SPACE, ' '},          {GLFW_KEY_APOSTROPHE, '\''},   {GLFW_KEY_COMMA, ','},
        {GLFW_KEY_MINUS, '-'},          {GLFW_KEY_PERIOD, '.'},        {GLFW_KEY_SLASH, '/'},
        {GLFW_KEY_SEMICOLON, ';'},      {GLFW_KEY_EQUAL, '='},         {GLFW_KEY_LEFT_BRACKET, '['},
        {GLFW_KEY_BACKSLASH, '\\'},     {GLFW_KEY_RIGHT_BRACKET, ']'}, {GLFW_KEY_GRAVE_ACCENT, '`'},
        {GLFW_KEY_WORLD_1, -1},         {GLFW_KEY_WORLD_2, -1},        {GLFW_KEY_PRINT_SCREEN, -1},
        {GLFW_KEY_ESCAPE, 257},         {GLFW_KEY_UP, 283},            {GLFW_KEY_DOWN, 284},
        {GLFW_KEY_LEFT, 285},           {GLFW_KEY_RIGHT, 286},         {GLFW_KEY_LEFT_SHIFT, 287},
        {GLFW_KEY_RIGHT_SHIFT, 288},    {GLFW_KEY_LEFT_CONTROL, 289},  {GLFW_KEY_RIGHT_CONTROL, 290},
        {GLFW_KEY_LEFT_ALT, 291},       {GLFW_KEY_RIGHT_ALT, 292},     {GLFW_KEY_TAB, 293},
        {GLFW_KEY_ENTER, 294},          {GLFW_KEY_BACKSPACE, 295},     {GLFW_KEY_INSERT, 296},
        {GLFW_KEY_DELETE, 297},         {GLFW_KEY_PAGE_UP, 298},       {GLFW_KEY_PAGE_DOWN, 299},
        {GLFW_KEY_HOME, 300},           {GLFW_KEY_END, 301},           {GLFW_KEY_KP_DIVIDE, 312},
        {GLFW_KEY_KP_MULTIPLY, 313},    {GLFW_KEY_KP_SUBTRACT, 314},   {GLFW_KEY_KP_ADD, 315},
        {GLFW_KEY_KP_DECIMAL, 316},     {GLFW_KEY_KP_EQUAL, 317},      {GLFW_KEY_KP_ENTER, 318},
        {GLFW_KEY_NUM_LOCK, 319},       {GLFW_KEY_CAPS_LOCK, 320},     {GLFW_KEY_SCROLL_LOCK, 321},
        {GLFW_KEY_PAUSE, 322},          {GLFW_KEY_LEFT_SUPER, 323},    {GLFW_KEY_RIGHT_SUPER, 324},
        {GLFW_KEY_MENU, 325},
    };
    for (int i = 0; i <= 9; ++i) table[GLFW_KEY_0 + i] = '0' + i;
    for (int i = 0; i < 26; ++i) table[GLFW_KEY_A + i] = 'A' + i;
    for (int i = 0; i < 25; ++i) table[GLFW_KEY_F1 + i] = 258 + i;
    for (int i = 0; i <= 9; ++i) table[GLFW_KEY_KP_0 + i] = 302 + i;
    EXPECT_EQ(table.size(), 120u);  // every key the library header defines

    std::map<int, int> back;
    for (int key = -1; key <= GLFW_KEY_LAST + 5; ++key) {
        const auto it = table.find(key);
        const int classic = it == table.end() ? glfw27::KEY_UNKNOWN : it->second;
        EXPECT_EQ(GlfwKeyTo27(key), classic) << "key " << key;
        if (classic != glfw27::KEY_UNKNOWN) back[classic] = key;
    }
    for (int classic = -1; classic <= 400; ++classic) {
        const auto it = back.find(classic);
        EXPECT_EQ(Glfw27KeyToGlfw(classic), it == back.end() ? GLFW_KEY_UNKNOWN : it->second) << "classic " << classic;
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
    const struct {
        Floats in, out;  // out as joyx[0], joyy[0], joyz[0], joyx[1], joyy[1], joyz[1]
    } pads[] = {
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
    EXPECT_LE(fake.most_axes_asked, 6);
    EXPECT_LE(fake.most_buttons_asked, 32);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(buttons[i], i % 3 == 0) << i;
}

// A mapped pad: sticks positive up, triggers as z reading 0 at rest, and
// each library button on its framework button.
TEST(GamepadLayout, MappedPadsArriveInTheFrameworkPadLayout) {
    // The library's axes: left x, left y (up is negative), right x, right y,
    // left trigger (fully pressed), right trigger (at rest).
    glfw27::GamepadState pad{{}, {0.25f, -0.75f, -0.5f, 0.5f, 1.0f, -1.0f}};
    float axes[glfw27::PAD_AXES];
    unsigned char buttons[glfw27::PAD_BUTTONS];
    glfw27::GamepadToClassic(pad, axes, buttons);
    EXPECT_EQ(Floats(axes, axes + 6), (Floats{0.25f, 0.75f, 1.0f, -0.5f, -0.5f, 0.0f}));

    const std::pair<int, int> expected[] = {
        {GLFW_GAMEPAD_BUTTON_A, 0}, {GLFW_GAMEPAD_BUTTON_B, 1}, {GLFW_GAMEPAD_BUTTON_X, 2}, {GLFW_GAMEPAD_BUTTON_Y, 3},
        {GLFW_GAMEPAD_BUTTON_LEFT_BUMPER, 4}, {GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER, 5}, {GLFW_GAMEPAD_BUTTON_BACK, 6},
        {GLFW_GAMEPAD_BUTTON_START, 7}, {GLFW_GAMEPAD_BUTTON_DPAD_LEFT, 8}, {GLFW_GAMEPAD_BUTTON_DPAD_UP, 9},
        {GLFW_GAMEPAD_BUTTON_DPAD_RIGHT, 10}, {GLFW_GAMEPAD_BUTTON_DPAD_DOWN, 11}, {GLFW_GAMEPAD_BUTTON_LEFT_THUMB, 12},
        {GLFW_GAMEPAD_BUTTON_RIGHT_THUMB, 13}, {GLFW_GAMEPAD_BUTTON_GUIDE, 14},
    };
    for (const auto& [library, framework] : expected) {
        pad.buttons[library] = GLFW_PRESS;
        glfw27::GamepadToClassic(pad, axes, buttons);
        pad.buttons[library] = GLFW_RELEASE;
        for (int i = 0; i < glfw27::PAD_BUTTONS; ++i) {
            EXPECT_EQ(buttons[i], i == framework ? glfw27::PRESS : glfw27::RELEASE) << library << " as " << i;
        }
    }
}

TEST(GamepadLayout, RawJoystickAxesTurnOnlyTheVerticalOnesAround) {
    const float raw[7] = {0.5f, 0.5f, -0.25f, -0.25f, 1.0f, 1.0f, 0.75f};
    float out[8] = {3, 3, 3, 3, 3, 3, 3, 3};
    EXPECT_EQ(glfw27::RawAxesToClassic(raw, 7, out, 6), 6);
    EXPECT_EQ(Floats(out, out + 8), (Floats{0.5f, -0.5f, -0.25f, 0.25f, 1.0f, -1.0f, 3, 3}));
    EXPECT_EQ(glfw27::RawAxesToClassic(raw, 2, out, 6), 2);
    EXPECT_EQ(glfw27::RawAxesToClassic(raw, 7, out, -1), 0);
}

}  // namespace
