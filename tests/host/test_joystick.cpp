// The host's joystick poll through a scripted joystick source, and the
// layer's conversion of library pads into the framework's pad layout.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

#include "host/host_game.h"
#include "tests/host/fake_glfw.h"

namespace {

class HostJoystick : public ::testing::Test {
protected:
    void SetUp() override {
        gc_init();
        previous_ = GlfwLayer::current;
        GlfwLayer::current = &fake;
        host = new OrvGlfwGame();
        joyx = Array<float>(2);
        joyy = Array<float>(2);
        joyz = Array<float>(2);
        buttons = Array<bool>(32);
        for (Array<float> a : {joyx, joyy, joyz}) a[0] = a[1] = 9.0f;  // "never written"
    }
    void TearDown() override {
        GlfwLayer::current = previous_;
        delete host;
    }
    bool Poll(int port) { return host->PollJoystick(port, joyx, joyy, joyz, buttons); }
    // joyx[0], joyy[0], joyz[0], joyx[1], joyy[1], joyz[1]
    std::vector<float> Axes() const { return {joyx[0], joyy[0], joyz[0], joyx[1], joyy[1], joyz[1]}; }

    FakeGlfw fake;
    OrvGlfwGame* host = nullptr;
    GlfwLayer* previous_ = nullptr;
    Array<float> joyx, joyy, joyz;
    Array<bool> buttons;
};

using Floats = std::vector<float>;

TEST_F(HostJoystick, AxisLayoutDependsOnTheNumberOfAxes) {
    fake.pads[0].present = true;
    fake.pads[0].axes = {0.1f, 0.2f, 0.3f, 0.4f};
    ASSERT_TRUE(Poll(0));
    // Four axes: the third is the second stick's vertical, and no z.
    EXPECT_EQ(Axes(), (Floats{0.1f, 0.2f, 0.0f, 0.4f, 0.3f, 0.0f}));

    fake.pads[0].axes = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f};
    ASSERT_TRUE(Poll(0));
    EXPECT_EQ(Axes(), (Floats{0.1f, 0.2f, 0.3f, 0.5f, 0.4f, 0.0f}));  // fourth and fifth swapped

    fake.pads[0].axes = {-0.1f, -0.2f, -0.3f, -0.4f, -0.5f, -0.6f};
    ASSERT_TRUE(Poll(0));
    EXPECT_EQ(Axes(), (Floats{-0.1f, -0.2f, -0.3f, -0.4f, -0.5f, -0.6f}));

    fake.pads[0].axes = {0.5f, -0.5f};
    ASSERT_TRUE(Poll(0));
    EXPECT_EQ(Axes(), (Floats{0.5f, -0.5f, 0.0f, 0.0f, 0.0f, 0.0f}));
}

TEST_F(HostJoystick, ExtraAxesAndButtonsAreNotReadPastWhatHasAPlace) {
    fake.pads[2].present = true;
    fake.pads[2].axes = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f};
    for (int i = 0; i < 40; ++i) fake.pads[2].buttons.push_back(i % 3 == 0 ? glfw27::PRESS : glfw27::RELEASE);
    ASSERT_TRUE(Poll(2));
    EXPECT_LE(fake.most_axes_asked, 6);
    EXPECT_LE(fake.most_buttons_asked, 32);
    EXPECT_EQ(Axes(), (Floats{0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f}));
    for (int i = 0; i < 32; ++i) EXPECT_EQ(buttons[i], i % 3 == 0) << i;
}

TEST_F(HostJoystick, AbsentPadReturnsFalseAndChangesNothing) {
    buttons[4] = true;
    EXPECT_FALSE(Poll(0));
    EXPECT_EQ(Axes(), (Floats{9, 9, 9, 9, 9, 9}));
    EXPECT_TRUE(buttons[4]);
    EXPECT_EQ(fake.pad_reads[0], 0);
    EXPECT_FALSE(Poll(7));  // ports beyond the source's
}

// A gamepad state in the library's numbering, everything released and the
// triggers at rest.
glfw27::GamepadState RestingPad() {
    glfw27::GamepadState pad{};
    pad.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = -1.0f;
    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = -1.0f;
    return pad;
}

TEST(GamepadLayout, EachLibraryButtonLandsOnItsFrameworkButton) {
    const std::pair<int, int> expected[] = {
        {GLFW_GAMEPAD_BUTTON_A, 0},           {GLFW_GAMEPAD_BUTTON_B, 1},
        {GLFW_GAMEPAD_BUTTON_X, 2},           {GLFW_GAMEPAD_BUTTON_Y, 3},
        {GLFW_GAMEPAD_BUTTON_LEFT_BUMPER, 4}, {GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER, 5},
        {GLFW_GAMEPAD_BUTTON_BACK, 6},        {GLFW_GAMEPAD_BUTTON_START, 7},
        {GLFW_GAMEPAD_BUTTON_DPAD_LEFT, 8},   {GLFW_GAMEPAD_BUTTON_DPAD_UP, 9},
        {GLFW_GAMEPAD_BUTTON_DPAD_RIGHT, 10}, {GLFW_GAMEPAD_BUTTON_DPAD_DOWN, 11},
        {GLFW_GAMEPAD_BUTTON_LEFT_THUMB, 12}, {GLFW_GAMEPAD_BUTTON_RIGHT_THUMB, 13},
        {GLFW_GAMEPAD_BUTTON_GUIDE, 14},
    };
    for (const auto& [library, framework] : expected) {
        glfw27::GamepadState pad = RestingPad();
        pad.buttons[library] = GLFW_PRESS;
        float axes[glfw27::PAD_AXES];
        unsigned char out[glfw27::PAD_BUTTONS];
        glfw27::GamepadToClassic(pad, axes, out);
        for (int i = 0; i < glfw27::PAD_BUTTONS; ++i) {
            EXPECT_EQ(out[i], i == framework ? glfw27::PRESS : glfw27::RELEASE)
                << "library button " << library << ", framework button " << i;
        }
    }
}

// A mapped pad seen through the host's poll: its six axes come out as the two
// sticks (up positive) with the triggers as z, and the d-pad as buttons 8-11.
TEST_F(HostJoystick, MappedGamepadArrivesInTheFrameworkPadLayout) {
    glfw27::GamepadState state = RestingPad();
    state.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = 0.25f;
    state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = -0.75f;  // the library's up is negative
    state.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = 1.0f;
    state.axes[GLFW_GAMEPAD_AXIS_RIGHT_X] = -0.5f;
    state.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y] = 0.5f;  // down
    state.buttons[GLFW_GAMEPAD_BUTTON_DPAD_UP] = GLFW_PRESS;
    float axes[glfw27::PAD_AXES];
    unsigned char pad_buttons[glfw27::PAD_BUTTONS];
    glfw27::GamepadToClassic(state, axes, pad_buttons);

    fake.pads[0].present = true;
    fake.pads[0].axes.assign(axes, axes + glfw27::PAD_AXES);
    fake.pads[0].buttons.assign(pad_buttons, pad_buttons + glfw27::PAD_BUTTONS);
    ASSERT_TRUE(Poll(0));
    EXPECT_EQ(Axes(), (Floats{0.25f, 0.75f, 1.0f, -0.5f, -0.5f, 0.0f}));  // resting right trigger reads 0
    for (int i = 0; i < 32; ++i) EXPECT_EQ(buttons[i], i == 9) << i;
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
