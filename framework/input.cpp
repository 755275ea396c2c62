#include "framework/input.h"

#include <initializer_list>

#include "framework/app.h"

c_InputDevice* orv_input_device = nullptr;

void orvInitInput() { orv_input_device = nullptr; }

void orvMarkInputRoots() { gc_mark_q(orv_input_device); }

// ---- joystick state

c_JoyState* c_JoyState::m_new() {
    gc_assign(m_joyx, Array<float>(2));
    gc_assign(m_joyy, Array<float>(2));
    gc_assign(m_joyz, Array<float>(2));
    gc_assign(m_buttons, Array<bool>(JOY_BUTTONS));
    return this;
}

void c_JoyState::mark() {
    gc_mark_q(m_joyx.rep);
    gc_mark_q(m_joyy.rep);
    gc_mark_q(m_joyz.rep);
    gc_mark_q(m_buttons.rep);
}

// ---- device

c_InputDevice* c_InputDevice::m_new() {
    gc_assign(m__joyStates, Array<c_JoyState*>(JOY_COUNT));
    gc_assign(m__keyDown, Array<bool>(KEY_COUNT));
    gc_assign(m__keyHitQueue, Array<int>(KEY_HIT_QUEUE));
    gc_assign(m__keyHit, Array<int>(KEY_COUNT));
    gc_assign(m__charQueue, Array<int>(CHAR_QUEUE));
    gc_assign(m__touchX, Array<float>(TOUCH_COUNT));
    gc_assign(m__touchY, Array<float>(TOUCH_COUNT));
    return this;
}

void c_InputDevice::mark() {
    gc_mark_q(m__joyStates.rep);
    gc_mark_q(m__keyDown.rep);
    gc_mark_q(m__keyHitQueue.rep);
    gc_mark_q(m__keyHit.rep);
    gc_mark_q(m__charQueue.rep);
    gc_mark_q(m__touchX.rep);
    gc_mark_q(m__touchY.rep);
}

int c_InputDevice::p_PutKeyHit(int key) {
    if (m__keyHitPut >= KEY_HIT_QUEUE) return 0;  // a full queue drops the hit
    ++m__keyHit[key];
    m__keyHitQueue[m__keyHitPut++] = key;
    return 0;
}

// A key that is already down gets no second hit: auto-repeat counts as one
// press. The left mouse button and touch 0 move together, so a click works
// wherever the game asks about touches.
void c_InputDevice::Press(int key) {
    if (m__keyDown[key]) return;
    m__keyDown[key] = true;
    p_PutKeyHit(key);
    if (key == KEY_MOUSE_LEFT) {
        m__keyDown[KEY_TOUCH0] = true;
        p_PutKeyHit(KEY_TOUCH0);
    } else if (key == KEY_TOUCH0) {
        m__keyDown[KEY_MOUSE_LEFT] = true;
        p_PutKeyHit(KEY_MOUSE_LEFT);
    }
}

void c_InputDevice::Release(int key) {
    if (!m__keyDown[key]) return;
    m__keyDown[key] = false;
    if (key == KEY_MOUSE_LEFT) m__keyDown[KEY_TOUCH0] = false;
    if (key == KEY_TOUCH0) m__keyDown[KEY_MOUSE_LEFT] = false;
}

int c_InputDevice::p_KeyEvent(int event, int data) {
    switch (event) {
        case c_OrvGameEvent::KeyDown:
            if (data >= 0 && data < KEY_COUNT) Press(data);
            break;
        case c_OrvGameEvent::KeyUp:
            if (data >= 0 && data < KEY_COUNT) Release(data);
            break;
        case c_OrvGameEvent::KeyChar:
            if (m__charPut < CHAR_QUEUE) m__charQueue[m__charPut++] = data;  // a full queue drops it
            break;
        default:
            break;
    }
    return 0;
}

// Touch 0 and the mouse pointer are the same pointer on the desktop.
void c_InputDevice::SetPointer(int finger, float x, float y) {
    m__touchX[finger] = x;
    m__touchY[finger] = y;
    if (finger == 0) {
        m__mouseX = x;
        m__mouseY = y;
    }
}

int c_InputDevice::p_MouseEvent(int event, int data, float x, float y) {
    switch (event) {
        case c_OrvGameEvent::MouseDown:
            p_KeyEvent(c_OrvGameEvent::KeyDown, data + 1);
            SetPointer(0, x, y);
            break;
        case c_OrvGameEvent::MouseUp:
            p_KeyEvent(c_OrvGameEvent::KeyUp, data + 1);
            break;
        case c_OrvGameEvent::MouseMove:
            SetPointer(0, x, y);
            break;
        default:
            break;
    }
    return 0;
}

int c_InputDevice::p_TouchEvent(int event, int data, float x, float y) {
    if (data < 0 || data >= TOUCH_COUNT) return 0;  // no such finger slot
    switch (event) {
        case c_OrvGameEvent::TouchDown:
            p_KeyEvent(c_OrvGameEvent::KeyDown, KEY_TOUCH0 + data);
            SetPointer(data, x, y);
            break;
        case c_OrvGameEvent::TouchUp:
            p_KeyEvent(c_OrvGameEvent::KeyUp, KEY_TOUCH0 + data);
            break;
        case c_OrvGameEvent::TouchMove:
            SetPointer(data, x, y);
            break;
        default:
            break;
    }
    return 0;
}

int c_InputDevice::p_MotionEvent(int event, int, float x, float y, float z) {
    if (event == c_OrvGameEvent::MotionAccel) {
        m__accelX = x;
        m__accelY = y;
        m__accelZ = z;
    }
    return 0;
}

int c_InputDevice::p_BeginUpdate() {
    int port = 0;
    for (; port < JOY_COUNT; ++port) {
        c_JoyState* state = m__joyStates[port];
        if (!state ||
            !orv_app__game->PollJoystick(port, state->m_joyx, state->m_joyy, state->m_joyz, state->m_buttons)) {
            break;  // pads after the first absent one are not polled
        }
        const int base = KEY_JOY0 + port * JOY_BUTTONS;
        for (int b = 0; b < JOY_BUTTONS && b < state->m_buttons.Length(); ++b) {
            if (state->m_buttons[b]) {
                Press(base + b);
            } else {
                m__keyDown[base + b] = false;
            }
        }
    }
    // A pad that is gone, or no longer polled, lets go of what it held, so no
    // button stays down and no stick keeps pushing after it is unplugged.
    for (; port < JOY_COUNT; ++port) {
        const int base = KEY_JOY0 + port * JOY_BUTTONS;
        for (int b = 0; b < JOY_BUTTONS; ++b) m__keyDown[base + b] = false;
        if (c_JoyState* state = m__joyStates[port]) {
            for (Array<float> axes : {state->m_joyx, state->m_joyy, state->m_joyz}) {
                for (float& value : axes) value = 0.0f;
            }
            for (bool& pressed : state->m_buttons) pressed = false;
        }
    }
    return 0;
}

int c_InputDevice::p_EndUpdate() {
    for (int i = 0; i < m__keyHitPut; ++i) m__keyHit[m__keyHitQueue[i]] = 0;
    m__keyHitPut = 0;
    m__charGet = 0;
    m__charPut = 0;
    return 0;
}

bool c_InputDevice::p_KeyDown(int key) { return key >= 1 && key < KEY_COUNT && m__keyDown[key]; }

int c_InputDevice::p_KeyHit(int key) { return key >= 1 && key < KEY_COUNT ? m__keyHit[key] : 0; }

int c_InputDevice::p_GetChar() {
    if (m__charGet >= m__charPut) return 0;
    return m__charQueue[m__charGet++];
}

float c_InputDevice::p_TouchX(int finger) { return finger >= 0 && finger < TOUCH_COUNT ? m__touchX[finger] : 0.0f; }

float c_InputDevice::p_TouchY(int finger) { return finger >= 0 && finger < TOUCH_COUNT ? m__touchY[finger] : 0.0f; }

// Out-of-range joysticks and axes read 0 rather than memory beyond the state.
float c_InputDevice::p_JoyX(int index, int unit) {
    if (unit < 0 || unit >= JOY_COUNT || !m__joyStates[unit]) return 0.0f;
    const Array<float>& axis = m__joyStates[unit]->m_joyx;
    return index >= 0 && index < axis.Length() ? axis[index] : 0.0f;
}

float c_InputDevice::p_JoyY(int index, int unit) {
    if (unit < 0 || unit >= JOY_COUNT || !m__joyStates[unit]) return 0.0f;
    const Array<float>& axis = m__joyStates[unit]->m_joyy;
    return index >= 0 && index < axis.Length() ? axis[index] : 0.0f;
}

int c_InputDevice::p_SetKeyboardEnabled(bool enabled) {
    orv_app__game->SetKeyboardEnabled(enabled);
    return 1;
}

// ---- module functions

int orv_input_KeyDown(int key) { return orv_input_device->p_KeyDown(key) ? 1 : 0; }

int orv_input_KeyHit(int key) { return orv_input_device->p_KeyHit(key); }

namespace {

// 256 OR unit × 32 OR button, computed without signed overflow; codes outside
// the space answer 0 in the queries.
int JoyCode(int button, int unit) {
    return static_cast<int>(256u | static_cast<unsigned>(unit) * 32u | static_cast<unsigned>(button));
}

}  // namespace

int orv_input_JoyDown(int button, int unit) { return orv_input_KeyDown(JoyCode(button, unit)); }

int orv_input_JoyHit(int button, int unit) { return orv_input_KeyHit(JoyCode(button, unit)); }

float orv_input_JoyX(int index, int unit) { return orv_input_device->p_JoyX(index, unit); }

float orv_input_JoyY(int index, int unit) { return orv_input_device->p_JoyY(index, unit); }

int orv_input_MouseDown(int button) {
    return button >= 0 && button <= 510 && orv_input_device->m__keyDown[button + 1] ? 1 : 0;
}

int orv_input_MouseHit(int button) {
    return button >= 0 && button <= 510 ? orv_input_device->m__keyHit[button + 1] : 0;
}

float orv_input_MouseX() { return orv_input_device->p_MouseX(); }

float orv_input_MouseY() { return orv_input_device->p_MouseY(); }

int orv_input_TouchDown(int finger) {
    // Any finger whose code lands in the key space, 1-511.
    if (finger < 1 - KEY_TOUCH0 || finger >= KEY_COUNT - KEY_TOUCH0) return 0;
    return orv_input_device->m__keyDown[KEY_TOUCH0 + finger] ? 1 : 0;
}

float orv_input_TouchX(int finger) { return orv_input_device->p_TouchX(finger); }

float orv_input_TouchY(int finger) { return orv_input_device->p_TouchY(finger); }

float orv_input_AccelX() { return orv_input_device->p_AccelX(); }

float orv_input_AccelY() { return orv_input_device->p_AccelY(); }

int orv_input_GetChar() { return orv_input_device->p_GetChar(); }

int orv_input_TouchIsMain() { return orv_app__game && orv_app__game->TouchIsMain() ? 1 : 0; }

int orv_input_HasTilt() { return orv_app__game && orv_app__game->HasTilt() ? 1 : 0; }

int orv_input_EnableKeyboard() { return orv_input_device->p_SetKeyboardEnabled(true); }

int orv_input_DisableKeyboard() { return orv_input_device->p_SetKeyboardEnabled(false); }

int orv_input_SetInputDevice(c_InputDevice* device) {
    gc_assign(orv_input_device, device);
    return 0;
}
