// Window-system input turned into the framework's key codes, characters and
// mouse events, and the joystick poll.
#include <array>
#include <utility>

#include "host/glfw_layer.h"
#include "host/host_game.h"

namespace {

// The second of the two translations: from the classic key codes the window
// layer reports (glfw27::KEY_*, host/glfw_layer.h) to the framework's shared
// key space (KEY_*, framework/input.h). One entry for each classic code
// 0-316 that is not a digit or a letter (those pass through); 0 drops the key.
constexpr std::array<unsigned char, 317> MakeKeyTable() {
    std::array<unsigned char, 317> t{};
    t[32] = KEY_SPACE;
    t[39] = 222;
    t[34] = 222;
    t[44] = 188;
    t[45] = 189;
    t[46] = 190;
    t[47] = 191;
    t[59] = 186;
    t[61] = 187;
    t[91] = 219;
    t[92] = 220;
    t[93] = 221;
    t[96] = KEY_TILDE;
    t[126] = KEY_TILDE;
    t[glfw27::KEY_ESC] = KEY_ESCAPE;
    for (int i = 0; i < 12; ++i) t[glfw27::KEY_F1 + i] = static_cast<unsigned char>(KEY_F1 + i);
    t[glfw27::KEY_UP] = KEY_UP;
    t[glfw27::KEY_DOWN] = KEY_DOWN;
    t[glfw27::KEY_LEFT] = KEY_LEFT;
    t[glfw27::KEY_RIGHT] = KEY_RIGHT;
    t[glfw27::KEY_LSHIFT] = KEY_SHIFT;
    t[glfw27::KEY_RSHIFT] = KEY_SHIFT;
    t[glfw27::KEY_LCTRL] = KEY_CONTROL;
    t[glfw27::KEY_RCTRL] = KEY_CONTROL;
    t[glfw27::KEY_TAB] = KEY_TAB;
    t[glfw27::KEY_ENTER] = KEY_ENTER;
    t[glfw27::KEY_BACKSPACE] = KEY_BACKSPACE;
    t[glfw27::KEY_INSERT] = 45;
    t[glfw27::KEY_DEL] = KEY_DELETE;
    t[glfw27::KEY_PAGEUP] = 33;
    t[glfw27::KEY_PAGEDOWN] = 34;
    t[glfw27::KEY_HOME] = 36;
    t[glfw27::KEY_END] = 35;
    for (int i = 0; i < 10; ++i) t[glfw27::KEY_KP_0 + i] = static_cast<unsigned char>(96 + i);
    t[glfw27::KEY_KP_DIVIDE] = 111;
    t[glfw27::KEY_KP_MULTIPLY] = 106;
    t[glfw27::KEY_KP_SUBTRACT] = 109;
    t[glfw27::KEY_KP_ADD] = 107;
    t[glfw27::KEY_KP_DECIMAL] = 110;
    return t;
}

constexpr std::array<unsigned char, 317> kKeyTable = MakeKeyTable();

}  // namespace

int OrvGlfwGame::TransKey(int glfwKey) {
    if ((glfwKey >= 48 && glfwKey <= 57) || (glfwKey >= 65 && glfwKey <= 90)) return glfwKey;
    if (glfwKey >= 32 && glfwKey <= glfw27::KEY_KP_DECIMAL) return kKeyTable[static_cast<std::size_t>(glfwKey)];
    return 0;
}

int OrvGlfwGame::KeyToChar(int code) {
    switch (code) {
        case 8:
        case 9:
        case 13:
        case 27:
            return code;
        case 46:
            return 127;
        default:
            if ((code >= 33 && code <= 40) || code == 45) return code | 0x10000;
            return 0;
    }
}

void OrvGlfwGame::OnKey(int glfwKey, int action) {
    const int code = TransKey(glfwKey);
    if (!code) return;
    bool& down = _glfwGame->_keyReportedDown[code];
    if (action == glfw27::RELEASE) {
        down = false;
        _game->KeyEvent(OrvGameEvent::KeyUp, code);
        return;
    }
    // A held key repeats its key-down and character; but a repeat of a key
    // that a window change released is no new press (holding F11 would
    // otherwise switch the window back and forth).
    if (action == glfw27::REPEAT && !down) return;
    if (action != glfw27::PRESS && action != glfw27::REPEAT) return;
    down = true;
    _game->KeyEvent(OrvGameEvent::KeyDown, code);
    if (const int character = KeyToChar(code)) _game->KeyEvent(OrvGameEvent::KeyChar, character);
}

void OrvGlfwGame::OnChar(int character, int action) {
    if (action == glfw27::PRESS) _game->KeyEvent(OrvGameEvent::KeyChar, character);
}

void OrvGlfwGame::OnMouseButton(int button, int action) {
    if (button < 0 || button > 2) return;
    int x = 0, y = 0;
    glfw().GetMousePos(&x, &y);
    if (action == glfw27::PRESS) {
        _game->MouseEvent(OrvGameEvent::MouseDown, button, static_cast<float>(x), static_cast<float>(y));
    } else if (action == glfw27::RELEASE) {
        _game->MouseEvent(OrvGameEvent::MouseUp, button, static_cast<float>(x), static_cast<float>(y));
    }
}

void OrvGlfwGame::OnMousePos(int x, int y) {
    _game->MouseEvent(OrvGameEvent::MouseMove, -1, static_cast<float>(x), static_cast<float>(y));
}

namespace {

// The arrays come from the framework's joystick state; one of another size
// gets what fits.
void Store(Array<float> values, int index, float value) {
    if (index < values.Length()) values[index] = value;
}

}  // namespace

bool OrvGlfwGame::PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                               Array<bool> buttons) {
    GlfwLayer& layer = glfw();
    if (!layer.GetJoystickParam(port, glfw27::JoystickParam::Present)) return false;
    const int axis_count = layer.GetJoystickParam(port, glfw27::JoystickParam::Axes);
    const int button_count = layer.GetJoystickParam(port, glfw27::JoystickParam::Buttons);

    // Six axes have a place; a pad with more keeps its first six.
    float a[6] = {0, 0, 0, 0, 0, 0};
    if (axis_count > 0) layer.GetJoystickPos(port, a, axis_count < 6 ? axis_count : 6);
    // Pads with four or five axes carry the second stick in other places.
    if (axis_count == 4) {
        a[4] = a[2];
        a[2] = 0.0f;
    } else if (axis_count == 5) {
        std::swap(a[3], a[4]);
    }
    Store(joyx, 0, a[0]);
    Store(joyy, 0, a[1]);
    Store(joyz, 0, a[2]);
    Store(joyx, 1, a[3]);
    Store(joyy, 1, a[4]);
    Store(joyz, 1, a[5]);

    // At most 32 buttons are read.
    unsigned char states[32] = {};
    int count = button_count < 32 ? button_count : 32;
    if (count > buttons.Length()) count = buttons.Length();
    if (count > 0) layer.GetJoystickButtons(port, states, count);
    for (int i = 0; i < count; ++i) buttons[i] = states[i] == glfw27::PRESS;
    return true;
}
