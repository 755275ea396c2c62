// Window-system input turned into the framework's key codes, characters and
// mouse events.
#include <array>

#include "host/glfw_layer.h"
#include "host/host_game.h"

namespace {

// Framework code for each classic key code 0-316 that is not a digit or a
// letter (those pass through); 0 drops the key.
constexpr std::array<unsigned char, 317> MakeKeyTable() {
    std::array<unsigned char, 317> t{};
    t[32] = 32;
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
    t[96] = 192;
    t[126] = 192;
    t[glfw27::KEY_ESC] = 27;
    for (int i = 0; i < 12; ++i) t[glfw27::KEY_F1 + i] = static_cast<unsigned char>(112 + i);
    t[glfw27::KEY_UP] = 38;
    t[glfw27::KEY_DOWN] = 40;
    t[glfw27::KEY_LEFT] = 37;
    t[glfw27::KEY_RIGHT] = 39;
    t[glfw27::KEY_LSHIFT] = 16;
    t[glfw27::KEY_RSHIFT] = 16;
    t[glfw27::KEY_LCTRL] = 17;
    t[glfw27::KEY_RCTRL] = 17;
    t[glfw27::KEY_TAB] = 9;
    t[glfw27::KEY_ENTER] = 13;
    t[glfw27::KEY_BACKSPACE] = 8;
    t[glfw27::KEY_INSERT] = 45;
    t[glfw27::KEY_DEL] = 46;
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
    if (action == glfw27::RELEASE) {
        _game->KeyEvent(2, code);
    } else if (action == glfw27::PRESS) {
        _game->KeyEvent(1, code);
        if (const int character = KeyToChar(code)) _game->KeyEvent(3, character);
    }
}

void OrvGlfwGame::OnChar(int character, int action) {
    if (action == glfw27::PRESS) _game->KeyEvent(3, character);
}

void OrvGlfwGame::OnMouseButton(int button, int action) {
    if (button < 0 || button > 2) return;
    int x = 0, y = 0;
    glfw().GetMousePos(&x, &y);
    if (action == glfw27::PRESS) {
        _game->MouseEvent(4, button, static_cast<float>(x), static_cast<float>(y));
    } else if (action == glfw27::RELEASE) {
        _game->MouseEvent(5, button, static_cast<float>(x), static_cast<float>(y));
    }
}

void OrvGlfwGame::OnMousePos(int x, int y) {
    _game->MouseEvent(6, -1, static_cast<float>(x), static_cast<float>(y));
}
