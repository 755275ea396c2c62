// The first of the two key-code translations (between the window library's
// numbering and the classic one) and the pads' conversions, shared by every
// platform whose window layer sits on the library's version 3 interface.
#include <GLFW/glfw3.h>

#include "host/glfw_layer.h"

namespace {

struct KeyPair {
    int glfw;
    int classic;
};

// Special keys differ in number and order between the two numberings.
const KeyPair kSpecialKeys[] = {
    {GLFW_KEY_ESCAPE, glfw27::KEY_ESC},
    {GLFW_KEY_ENTER, glfw27::KEY_ENTER},
    {GLFW_KEY_TAB, glfw27::KEY_TAB},
    {GLFW_KEY_BACKSPACE, glfw27::KEY_BACKSPACE},
    {GLFW_KEY_INSERT, glfw27::KEY_INSERT},
    {GLFW_KEY_DELETE, glfw27::KEY_DEL},
    {GLFW_KEY_RIGHT, glfw27::KEY_RIGHT},
    {GLFW_KEY_LEFT, glfw27::KEY_LEFT},
    {GLFW_KEY_DOWN, glfw27::KEY_DOWN},
    {GLFW_KEY_UP, glfw27::KEY_UP},
    {GLFW_KEY_PAGE_UP, glfw27::KEY_PAGEUP},
    {GLFW_KEY_PAGE_DOWN, glfw27::KEY_PAGEDOWN},
    {GLFW_KEY_HOME, glfw27::KEY_HOME},
    {GLFW_KEY_END, glfw27::KEY_END},
    {GLFW_KEY_CAPS_LOCK, glfw27::KEY_CAPS_LOCK},
    {GLFW_KEY_SCROLL_LOCK, glfw27::KEY_SCROLL_LOCK},
    {GLFW_KEY_NUM_LOCK, glfw27::KEY_KP_NUM_LOCK},
    {GLFW_KEY_PAUSE, glfw27::KEY_PAUSE},
    {GLFW_KEY_KP_DECIMAL, glfw27::KEY_KP_DECIMAL},
    {GLFW_KEY_KP_DIVIDE, glfw27::KEY_KP_DIVIDE},
    {GLFW_KEY_KP_MULTIPLY, glfw27::KEY_KP_MULTIPLY},
    {GLFW_KEY_KP_SUBTRACT, glfw27::KEY_KP_SUBTRACT},
    {GLFW_KEY_KP_ADD, glfw27::KEY_KP_ADD},
    {GLFW_KEY_KP_ENTER, glfw27::KEY_KP_ENTER},
    {GLFW_KEY_KP_EQUAL, glfw27::KEY_KP_EQUAL},
    {GLFW_KEY_LEFT_SHIFT, glfw27::KEY_LSHIFT},
    {GLFW_KEY_LEFT_CONTROL, glfw27::KEY_LCTRL},
    {GLFW_KEY_LEFT_ALT, glfw27::KEY_LALT},
    {GLFW_KEY_LEFT_SUPER, glfw27::KEY_LSUPER},
    {GLFW_KEY_RIGHT_SHIFT, glfw27::KEY_RSHIFT},
    {GLFW_KEY_RIGHT_CONTROL, glfw27::KEY_RCTRL},
    {GLFW_KEY_RIGHT_ALT, glfw27::KEY_RALT},
    {GLFW_KEY_RIGHT_SUPER, glfw27::KEY_RSUPER},
    {GLFW_KEY_MENU, glfw27::KEY_MENU},
};

bool is_printable_key(int key) {
    return key == 32 || key == 39 || (key >= 44 && key <= 57) || key == 59 || key == 61 ||
           (key >= 65 && key <= 93) || key == 96;
}

}  // namespace

int GlfwKeyTo27(int key) {
    if (is_printable_key(key)) return key;
    if (key >= GLFW_KEY_F1 && key <= GLFW_KEY_F25) return glfw27::KEY_F1 + (key - GLFW_KEY_F1);
    if (key >= GLFW_KEY_KP_0 && key <= GLFW_KEY_KP_9) return glfw27::KEY_KP_0 + (key - GLFW_KEY_KP_0);
    for (const KeyPair& pair : kSpecialKeys) {
        if (pair.glfw == key) return pair.classic;
    }
    return glfw27::KEY_UNKNOWN;
}

int Glfw27KeyToGlfw(int key) {
    if (is_printable_key(key)) return key;
    if (key >= glfw27::KEY_F1 && key <= glfw27::KEY_F25) return GLFW_KEY_F1 + (key - glfw27::KEY_F1);
    if (key >= glfw27::KEY_KP_0 && key <= glfw27::KEY_KP_9) return GLFW_KEY_KP_0 + (key - glfw27::KEY_KP_0);
    for (const KeyPair& pair : kSpecialKeys) {
        if (pair.classic == key) return pair.glfw;
    }
    return GLFW_KEY_UNKNOWN;
}

void glfw27::GamepadToClassic(const GamepadState& pad, float axes[PAD_AXES], unsigned char buttons[PAD_BUTTONS]) {
    // Triggers rest at -1 in the library; here a released trigger reads 0,
    // like an axis the pad does not have.
    axes[0] = pad.axes[PAD_AXIS_LEFT_X];
    axes[1] = -pad.axes[PAD_AXIS_LEFT_Y];
    axes[2] = (pad.axes[PAD_AXIS_LEFT_TRIGGER] + 1.0f) * 0.5f;
    axes[3] = pad.axes[PAD_AXIS_RIGHT_X];
    axes[4] = -pad.axes[PAD_AXIS_RIGHT_Y];
    axes[5] = (pad.axes[PAD_AXIS_RIGHT_TRIGGER] + 1.0f) * 0.5f;

    static const int kFrom[PAD_BUTTONS] = {
        PAD_A,          PAD_B,           PAD_X,          PAD_Y,         PAD_LEFT_BUMPER,
        PAD_RIGHT_BUMPER, PAD_BACK,      PAD_START,      PAD_DPAD_LEFT, PAD_DPAD_UP,
        PAD_DPAD_RIGHT, PAD_DPAD_DOWN,   PAD_LEFT_THUMB, PAD_RIGHT_THUMB, PAD_GUIDE,
    };
    for (int i = 0; i < PAD_BUTTONS; ++i) buttons[i] = pad.buttons[kFrom[i]] == PRESS ? PRESS : RELEASE;
}

int glfw27::RawAxesToClassic(const float* axes, int count, float* out, int max) {
    int n = count < max ? count : max;
    if (n < 0) n = 0;
    for (int i = 0; i < n; ++i) out[i] = (i & 1) ? -axes[i] : axes[i];
    return n;
}

void glfw27::DeliverKey(const Callbacks& callbacks, int key, int action) {
    const int classic = GlfwKeyTo27(key);
    const int classic_action = action == GLFW_REPEAT ? REPEAT : action == GLFW_PRESS ? PRESS : RELEASE;
    if (classic != KEY_UNKNOWN && callbacks.key) callbacks.key(classic, classic_action);
}
