// The framework's input state. Keyboard keys, mouse buttons, touch fingers,
// joystick buttons and the back and close signals share one space of 512 key
// codes, so every one of them answers the same two questions: is it down, and
// how often did it go down during this update.
#pragma once
#include "host/key_codes.h"
#include "runtime/array.h"
#include "runtime/object.h"

// Key codes of the shared space.
enum : int {
    KEY_COUNT = 512,
    KEY_MOUSE_LEFT = 1,
    KEY_JOY0 = 256,  // + 32 × joystick + button
    KEY_TOUCH0 = 384,  // + finger
    TOUCH_COUNT = 32,
    JOY_COUNT = 4,
    JOY_BUTTONS = 32,
    KEY_HIT_QUEUE = 33,
    CHAR_QUEUE = 32
};


// One joystick's axes (x, y, z of two sticks) and buttons, filled by the
// host's poll.
class c_JoyState : public Object {
public:
    c_JoyState* m_new();
    void mark() override;

    Array<float> m_joyx;
    Array<float> m_joyy;
    Array<float> m_joyz;
    Array<bool> m_buttons;
};

class c_InputDevice : public Object {
public:
    c_InputDevice* m_new();
    void mark() override;

    int p_KeyEvent(int event, int data);
    int p_MouseEvent(int event, int data, float x, float y);
    int p_TouchEvent(int event, int data, float x, float y);
    int p_MotionEvent(int event, int data, float x, float y, float z);
    int p_PutKeyHit(int key);
    int p_BeginUpdate();
    int p_EndUpdate();

    bool p_KeyDown(int key);
    int p_KeyHit(int key);
    int p_GetChar();
    float p_MouseX() { return m__mouseX; }
    float p_MouseY() { return m__mouseY; }
    float p_TouchX(int finger);
    float p_TouchY(int finger);
    float p_JoyX(int index, int unit);
    float p_JoyY(int index, int unit);
    float p_AccelX() { return m__accelX; }
    float p_AccelY() { return m__accelY; }
    int p_SetKeyboardEnabled(bool enabled);

    Array<c_JoyState*> m__joyStates;
    Array<bool> m__keyDown;
    int m__keyHitPut = 0;
    Array<int> m__keyHitQueue;
    Array<int> m__keyHit;
    int m__charGet = 0;
    int m__charPut = 0;
    Array<int> m__charQueue;
    float m__mouseX = 0, m__mouseY = 0;
    Array<float> m__touchX;
    Array<float> m__touchY;
    float m__accelX = 0, m__accelY = 0, m__accelZ = 0;

private:
    void Press(int key);
    void Release(int key);
    void SetPointer(int finger, float x, float y);
};

extern c_InputDevice* orv_input_device;

int orv_input_KeyDown(int key);
int orv_input_KeyHit(int key);
int orv_input_JoyDown(int button, int unit);
int orv_input_JoyHit(int button, int unit);
float orv_input_JoyX(int index, int unit);
float orv_input_JoyY(int index, int unit);
int orv_input_MouseDown(int button);
int orv_input_MouseHit(int button);
float orv_input_MouseX();
float orv_input_MouseY();
int orv_input_TouchDown(int finger);
float orv_input_TouchX(int finger);
float orv_input_TouchY(int finger);
float orv_input_AccelX();
float orv_input_AccelY();
int orv_input_GetChar();
// 1 where the device's main input is touch, and where it gives tilt (the
// host tells, from the device at the start; 0 on a desktop).
int orv_input_TouchIsMain();
int orv_input_HasTilt();
int orv_input_EnableKeyboard();
int orv_input_DisableKeyboard();
int orv_input_SetInputDevice(c_InputDevice* device);

// Start value and root marking of the input global; the framework's own
// initialisation and root marking call these.
void orvInitInput();
void orvMarkInputRoots();
