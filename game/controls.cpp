// The game's input layer: one question, "is action a active for player p",
// answered from keyboard, joysticks, iCade letters and on-screen buttons; the
// touch hit tests; the analogue movement value; on-screen pad and tilt.
#include "framework/input.h"
#include "framework/random.h"
#include "game/my_app.h"
#include "runtime/numeric.h"

namespace {

struct KeyRow {
    int action;
    int keys[4];     // keyboard keys, 0 ends the list
    int buttons[3];  // buttons of the player's pad, -1 ends the list
};

// With iCade off. Back is handled apart: it depends on the Ouya switch.
const KeyRow kKeyMap[] = {
    {action::kUp, {KEY_UP, KEY_W, 0, 0}, {9, -1, -1}},
    {action::kLeft, {KEY_LEFT, KEY_A, 0, 0}, {8, -1, -1}},
    {action::kRight, {KEY_RIGHT, KEY_D, 0, 0}, {10, -1, -1}},
    {action::kDown, {KEY_DOWN, KEY_S, 0, 0}, {11, -1, -1}},
    {action::kButtonA, {KEY_Z, KEY_J, KEY_SPACE, KEY_ENTER}, {0, -1, -1}},
    {action::kButtonB, {KEY_X, KEY_K, KEY_CONTROL, 0}, {1, -1, -1}},
    {action::kButtonC, {KEY_C, KEY_L, KEY_SHIFT, 0}, {2, -1, -1}},
    {action::kButtonD, {KEY_V, KEY_I, 0, 0}, {3, -1, -1}},
    {action::kButtonE, {KEY_B, KEY_U, 0, 0}, {4, -1, -1}},
    {action::kButtonF, {KEY_N, KEY_O, 0, 0}, {5, -1, -1}},
    {action::kBack, {KEY_ESCAPE, KEY_TILDE, KEY_DELETE, KEY_BACKSPACE}, {6, 7, 14}},
};

// With iCade on the cabinet types letters, so letter keys and sticks are left out.
const KeyRow kICadeMap[] = {
    {action::kUp, {KEY_UP, 0, 0, 0}, {9, -1, -1}},
    {action::kLeft, {KEY_LEFT, 0, 0, 0}, {8, -1, -1}},
    {action::kRight, {KEY_RIGHT, 0, 0, 0}, {10, -1, -1}},
    {action::kDown, {KEY_DOWN, 0, 0, 0}, {11, -1, -1}},
    {action::kButtonA, {KEY_SPACE, KEY_ENTER, 0, 0}, {0, -1, -1}},
    {action::kButtonB, {KEY_CONTROL, 0, 0, 0}, {1, -1, -1}},
    {action::kButtonC, {KEY_SHIFT, 0, 0, 0}, {2, -1, -1}},
    {action::kButtonD, {0, 0, 0, 0}, {3, -1, -1}},
    {action::kButtonE, {0, 0, 0, 0}, {4, -1, -1}},
    {action::kButtonF, {0, 0, 0, 0}, {5, -1, -1}},
    {action::kBack, {KEY_ESCAPE, KEY_DELETE, KEY_BACKSPACE, 0}, {7, 6, 14}},
};

const KeyRow* FindRow(const KeyRow* table, int action) {
    for (int i = 0; i < 11; ++i) {
        if (table[i].action == action) return &table[i];
    }
    return nullptr;
}

bool AnyKey(const KeyRow& row) {
    for (int key : row.keys) {
        if (key != 0 && orv_input_KeyDown(key)) return true;
    }
    return false;
}

bool AnyButton(const KeyRow& row, int player) {
    for (int button : row.buttons) {
        if (button >= 0 && orv_input_JoyDown(button, player)) return true;
    }
    return false;
}

// iCade letters: press letter, release letter, virtual pad entry.
struct ICadeLetter {
    char press, release;
    int pad;
};
const ICadeLetter kICadeLetters[] = {
    {'W', 'E', 0},  {'X', 'Z', 8},  {'A', 'Q', 3},  {'D', 'C', 5},  {'Y', 'T', 13}, {'U', 'F', 14},
    {'I', 'M', 15}, {'O', 'G', 16}, {'H', 'R', 10}, {'J', 'N', 11}, {'K', 'P', 12}, {'L', 'V', 17},
};

float Clamp1(float v) { return v < -1 ? -1 : (v > 1 ? 1 : v); }

}  // namespace

int c_MyApp::p_PlayKey(int action, int mode, int player) {
    if (player < -1) return 0;
    const bool icade = orv_Kemp_iCadeControls == 1;
    const KeyRow* row = FindRow(icade ? kICadeMap : kKeyMap, action);
    if (!row) return 0;

    if (action == action::kBack) {
        const bool pad = m_VPad[16] != 0 || m_VPad[17] != 0 || m_VPad[19] != 0;
        if (!icade) {
            if (orv_Kemp_isOuya == 1) return m_VPad[19] != 0 ? 1 : 0;
            if (orv_Kemp_isOuya != 0) return 0;
        }
        if (pad || AnyKey(*row)) return 1;
        return player >= 0 && AnyButton(*row, player) ? 1 : 0;
    }

    if (player == -1 && icade && action >= action::kButtonD) return m_VPad[action];  // the stored value itself
    if (m_VPad[action] != 0 || AnyKey(*row)) return 1;
    if (player < 0) return 0;
    if (AnyButton(*row, player)) return 1;
    if (mode == 1 && !icade) {
        const float x = orv_input_JoyX(0, player);
        const float y = orv_input_JoyY(0, player);
        if (action == action::kUp && y > 0.4f) return 1;
        if (action == action::kLeft && x < -0.4f) return 1;
        if (action == action::kRight && x > 0.4f) return 1;
        if (action == action::kDown && y < -0.4f) return 1;
    }
    return 0;
}

int c_MyApp::p_PlayKeyAll(int action, int mode) {
    int sum = 0;
    for (int player = 0; player < 4; ++player) sum += p_PlayKey(action, mode, player);
    return sum;
}

float c_MyApp::p_StickX(int stick, int player) {
    if (player < 0) return 0;
    return orv_input_JoyX(stick, player);
}

float c_MyApp::p_StickY(int stick, int player) {
    if (player < 0) return 0;
    // The left stick reads down-positive like the screen; others as the pad reports.
    return stick == 0 ? -orv_input_JoyY(stick, player) : orv_input_JoyY(stick, player);
}

int c_MyApp::p_iCade(int on) {
    if (on == 1) {
        orv_input_EnableKeyboard();
        orv_Kemp_iCadeControls = 1;
        do {
            m_iCadeChar = orv_input_GetChar();
        } while (m_iCadeChar != 0);
    } else if (on == 0) {
        orv_input_DisableKeyboard();
        orv_Kemp_iCadeControls = 0;
        for (int i = 0; i <= 18; ++i) m_VPad[i] = 0;
    }
    return 0;
}

int c_MyApp::p_iCadeDecode() {
    for (m_iCadeChar = orv_input_GetChar(); m_iCadeChar != 0; m_iCadeChar = orv_input_GetChar()) {
        int c = m_iCadeChar;
        if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
        for (const ICadeLetter& letter : kICadeLetters) {
            if (c == letter.press) {
                m_VPad[letter.pad] = 2;
                break;
            }
            if (c == letter.release) {
                m_VPad[letter.pad] = 0;
                break;
            }
        }
    }
    return 0;
}

int c_MyApp::p_Button(int slot, float x, float y, float frame) {
    p_DrawImg(slot, x, y, frame);
    const float hw = static_cast<float>(m_ImgInfo[slot * 3]) * m_ImgScale * m_DrawSizeX * 0.5f;
    const float hh = static_cast<float>(m_ImgInfo[slot * 3 + 1]) * m_ImgScale * m_DrawSizeY * 0.5f;
    m_ButtonHit = 0;
    if (m_MouseDown > 0) {
        for (int i = 0; i < 10; ++i) {
            const float tx = static_cast<float>(m_TouchX[i]), ty = static_cast<float>(m_TouchY[i]);
            if (x - hw < tx && tx < x + hw && y - hh < ty && ty < y + hh) m_ButtonHit = 1;
        }
    }
    return m_ButtonHit;
}

int c_MyApp::p_Button2(float x, float y, float frame) { return p_Button(97, x, y, frame); }

int c_MyApp::p_Button0(int slot, float x, float y, float frame) {
    p_DrawImg(slot, x, y, frame);
    const float hw = static_cast<float>(m_ImgInfo[slot * 3]) * m_ImgScale * m_DrawSizeX * 0.5f;
    const float hh = static_cast<float>(m_ImgInfo[slot * 3 + 1]) * m_ImgScale * m_DrawSizeY * 0.5f;
    if (m_MouseDown <= 0) return 0;
    const float tx = static_cast<float>(m_TouchX[0]), ty = static_cast<float>(m_TouchY[0]);
    return x - hw < tx && tx < x + hw && y - hh < ty && ty < y + hh ? 1 : 0;
}

int c_MyApp::p_Touch(float x, float y, float w, float h) {
    p_Rect(x, y, w, h);
    for (int i = 0; i < 10; ++i) {
        if (m_TouchDown[i] == 0) continue;
        const float tx = static_cast<float>(m_TouchX[i]), ty = static_cast<float>(m_TouchY[i]);
        if (x - 6 < tx && tx < x + w + 12 && y - 6 < ty && ty < y + h + 12) return 1;
    }
    return 0;
}

int c_MyApp::p_MouseIn_Centered(float x, float y, float w, float h) {
    for (int i = 0; i < 10; ++i) {
        if (m_TouchDown[i] == 0) continue;
        const float tx = static_cast<float>(m_TouchX[i]), ty = static_cast<float>(m_TouchY[i]);
        if (x - w / 2 < tx && tx < x + w / 2 && y - h / 2 < ty && ty < y + h / 2) return 1;
    }
    return 0;
}

int c_MyApp::p_AnalogueControl() {
    m_StickX = 0;
    m_StickY = 0;

    // Dragging the pointer steers relative to where the drag began.
    if (m_MouseDown == 0) {
        m_DragX = -1;
    } else if (m_DragX < 0) {
        m_DragX = m_MouseX;
        m_DragY = m_MouseY;
    } else {
        m_StickX = static_cast<float>(m_MouseX - m_DragX) / 72;
        m_StickY = static_cast<float>(m_MouseY - m_DragY) / 72;
        if (orv_math_Abs2(m_StickX) < 0.1f && orv_math_Abs2(m_StickY) < 0.1f) {
            m_StickX = 0;
            m_StickY = 0;
        }
        if (m_MouseX < m_DragX - 64) m_DragX -= 4;
        if (m_MouseX > m_DragX + 64) m_DragX += 4;
        if (m_MouseY < m_DragY - 64) m_DragY -= 4;
        if (m_MouseY > m_DragY + 64) m_DragY += 4;
    }
    if (m_MouseDown != 0) {
        p_SetCol(0, 100, 250, 0.25f);
        p_Oval(static_cast<float>(m_DragX), static_cast<float>(m_DragY), 12, 12);
        p_Oval(static_cast<float>(m_MouseX), static_cast<float>(m_MouseY), 8, 8);
    }

    const float jx = orv_input_JoyX(0, 0), jy = orv_input_JoyY(0, 0);
    if (orv_math_Abs2(jx) > 0.2f || orv_math_Abs2(jy) > 0.2f) {
        m_StickX = jx;
        m_StickY = -jy;
    }
    // Tilt, where the device gives it, steers as a stick does (beyond about
    // 12 degrees): the switch would otherwise only draw its indicator.
    if (orv_Kemp_AccelerometerControls == 1 && orv_Kemp_iCadeControls == 0 &&
        (orv_math_Abs2(m_TiltSmoothX) > 0.2f || orv_math_Abs2(m_TiltSmoothY) > 0.2f)) {
        m_StickX = m_TiltSmoothX;
        m_StickY = m_TiltSmoothY;
    }

    // Keys ramp up over a few updates and ease back when released.
    if (p_PlayKey(action::kUp, 0, 0)) {
        m_KeyRampY -= 0.15f;
        m_StickY = m_KeyRampY;
    } else if (m_KeyRampY < 0) {
        m_KeyRampY += 0.2f;
        if (m_KeyRampY > 0) m_KeyRampY = 0;
        m_StickY = m_KeyRampY;
    }
    if (p_PlayKey(action::kDown, 0, 0)) {
        m_KeyRampY += 0.15f;
        m_StickY = m_KeyRampY;
    } else if (m_KeyRampY > 0) {
        m_KeyRampY -= 0.2f;
        if (m_KeyRampY < 0) m_KeyRampY = 0;
        m_StickY = m_KeyRampY;
    }
    if (p_PlayKey(action::kLeft, 0, 0)) {
        m_KeyRampX -= 0.15f;
        m_StickX = m_KeyRampX;
    } else if (m_KeyRampX < 0) {
        m_KeyRampX += 0.2f;
        if (m_KeyRampX > 0) m_KeyRampX = 0;
        m_StickX = m_KeyRampX;
    }
    if (p_PlayKey(action::kRight, 0, 0)) {
        m_KeyRampX += 0.15f;
        m_StickX = m_KeyRampX;
    } else if (m_KeyRampX > 0) {
        m_KeyRampX -= 0.2f;
        if (m_KeyRampX < 0) m_KeyRampX = 0;
        m_StickX = m_KeyRampX;
    }
    m_StickX = Clamp1(m_StickX);
    m_StickY = Clamp1(m_StickY);
    m_KeyRampX = Clamp1(m_KeyRampX);
    m_KeyRampY = Clamp1(m_KeyRampY);

    if (orv_math_Abs2(m_StickX) <= 0.05f && orv_math_Abs2(m_StickY) <= 0.05f) return 0;
    if (orv_Kemp_DebugMode == 1) {
        const float cx = orv_Kemp_jscrw - 64, cy = orv_Kemp_jscrh - 64;
        p_SetCol(0, 180, 250, 0.5f);
        p_Oval(cx, cy, 12, 12);
        p_Oval(cx + m_StickX * 52, cy + m_StickY * 52, 8, 8);
    }
    return 0;
}

int c_MyApp::p_OnScreenPad() {
    const int maxX = orvTrunc(orv_Kemp_jscrw - 32), maxY = orvTrunc(orv_Kemp_jscrh - 32);
    if (m_Settings[setting::kPadX] < 32) m_Settings[setting::kPadX] = 32;
    if (m_Settings[setting::kPadX] > maxX) m_Settings[setting::kPadX] = maxX;
    if (m_Settings[setting::kPadY] < 32) m_Settings[setting::kPadY] = 32;
    if (m_Settings[setting::kPadY] > maxY) m_Settings[setting::kPadY] = maxY;
    if (m_Settings[setting::kPadSize] < 8) m_Settings[setting::kPadSize] = 8;
    if (m_Settings[setting::kPadSize] > 25) m_Settings[setting::kPadSize] = 25;
    m_DpadX = m_Settings[setting::kPadX];
    m_DpadY = orvTrunc(orv_Kemp_jscrh - static_cast<float>(m_Settings[setting::kPadY]));
    m_DpadScale = static_cast<float>(m_Settings[setting::kPadSize]) / 10;

    p_SetRot(0);
    p_SetCol(255, 255, 255, 0.6f);
    m_DrawBlend = 1;
    p_SetSize(m_DpadScale);
    const float cx = static_cast<float>(m_DpadX), cy = static_cast<float>(m_DpadY);
    const float d = 32 * m_DpadScale;
    const struct {
        float x, y;
        int frame, pad;
    } arrows[] = {{cx - d, cy, 4, 3}, {cx, cy - d, 1, 0}, {cx, cy + d, 9, 8}, {cx + d, cy, 6, 5}};
    for (const auto& arrow : arrows) {
        if (p_Button(94, arrow.x, arrow.y, static_cast<float>(arrow.frame)) && m_Paused == 0) m_VPad[arrow.pad] = 1;
    }
    p_DrawImg(img::kDpad, cx, cy, 5);

    // While paused the pad can be dragged into place and pinched to size.
    if (m_Paused > 0) {
        p_SetSize(3);
        if (p_Button0(94, cx, cy, 0) && m_TouchDown[1] == 0) {
            m_Settings[setting::kPadX] = m_TouchX[0];
            m_Settings[setting::kPadY] = orvTrunc(orv_Kemp_jscrh - static_cast<float>(m_TouchY[0]));
        }
        // The previous spread has a member of its own: the paused game still
        // recounts its items every update.
        if (m_TouchDown[1] == 0) {
            m_PinchOn = 0;
            m_PinchPrev = 0;
        }
        if (m_TouchDown[0] != 0 && m_TouchDown[1] != 0) {
            m_PinchNow = -(orv_math_Abs(m_TouchX[0] - m_TouchX[1]) / 16);
            if (m_PinchOn == 1) m_Settings[setting::kPadSize] += m_PinchPrev - m_PinchNow;
            m_PinchPrev = m_PinchNow;
            m_PinchOn = 1;
        }
    }

    p_SetSize(1.5f * m_DpadScale);
    const float e = 24 * m_DpadScale;
    if (p_Button(94, orv_Kemp_jscrw - (cx - e), cy - e, 0)) m_VPad[10] = 1;
    if (p_Button(94, orv_Kemp_jscrw - (cx + e), cy + e, 0)) m_VPad[11] = 1;
    return 0;
}

int c_MyApp::p_TiltControl() {
    p_SetRot(0);
    p_SetCol(255, 255, 255);
    m_DrawBlend = 1;
    m_TiltX = orv_input_AccelX() - m_AccelZeroX;
    m_TiltY = orv_input_AccelY() - m_AccelZeroY;
    m_TiltSmoothX += (m_TiltX - m_TiltSmoothX) * 0.25f;
    if (orv_math_Abs2(m_TiltX - m_TiltSmoothX) < 0.005f) m_TiltSmoothX = m_TiltX;
    m_TiltSmoothY += (m_TiltY - m_TiltSmoothY) * 0.25f;
    if (orv_math_Abs2(m_TiltY - m_TiltSmoothY) < 0.005f) m_TiltSmoothY = m_TiltY;
    p_SetSize(1.5f);
    p_Alpha(0.8f);
    if (p_Button2(24, orv_Kemp_jscrh - 24, 7)) {
        m_AccelZeroX = orv_input_AccelX();
        m_AccelZeroY = orv_input_AccelY();
    }
    p_SetCol(100, 255, 100, 0.6f);
    p_SetSize(1);
    p_Oval(24 + 20 * m_TiltSmoothX, orv_Kemp_jscrh - 24 + 20 * m_TiltSmoothY, 4, 4);
    return 0;
}
