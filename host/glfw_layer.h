// The window system as the host sees it: the classic single-window
// interface (key codes, window parameters, sleep, close refusal). The real
// implementation sits on the installed library; tests replace it to drive
// the loop with a fake clock and scripted events.
#pragma once

namespace glfw27 {

// A repeat is a key-down of a key held since an earlier press (also one held
// while the window was re-created).
enum : int { RELEASE = 0, PRESS = 1, REPEAT = 2 };

// Key codes of the classic numbering: printable keys are their US-layout
// character codes, special keys start at 256.
enum : int {
    KEY_UNKNOWN = -1,
    KEY_SPACE = 32,
    KEY_SPECIAL = 256,
    KEY_ESC = 257,
    KEY_F1 = 258,
    KEY_F12 = 269,
    KEY_F25 = 282,
    KEY_UP = 283,
    KEY_DOWN,
    KEY_LEFT,
    KEY_RIGHT,
    KEY_LSHIFT,
    KEY_RSHIFT,
    KEY_LCTRL,
    KEY_RCTRL,
    KEY_LALT,
    KEY_RALT,
    KEY_TAB,
    KEY_ENTER,
    KEY_BACKSPACE,
    KEY_INSERT,
    KEY_DEL,
    KEY_PAGEUP,
    KEY_PAGEDOWN,
    KEY_HOME,
    KEY_END,
    KEY_KP_0,
    KEY_KP_9 = 311,
    KEY_KP_DIVIDE,
    KEY_KP_MULTIPLY,
    KEY_KP_SUBTRACT,
    KEY_KP_ADD,
    KEY_KP_DECIMAL,
    KEY_KP_EQUAL,
    KEY_KP_ENTER,
    KEY_KP_NUM_LOCK,
    KEY_CAPS_LOCK,
    KEY_SCROLL_LOCK,
    KEY_PAUSE,
    KEY_LSUPER,
    KEY_RSUPER,
    KEY_MENU,
    KEY_LAST = KEY_MENU
};

enum class WindowParam { Opened, Active, Iconified };

struct VidMode {
    int Width, Height, RedBits, BlueBits, GreenBits;
};

enum class JoystickParam { Present, Axes, Buttons };

// A pad's state in the installed library's standard gamepad numbering
// (buttons A, B, X, Y, bumpers, back, start, guide, stick presses, d-pad up,
// right, down, left; axes left x, left y, right x, right y, left trigger,
// right trigger; vertical axes positive down, triggers -1 released to 1).
struct GamepadState {
    unsigned char buttons[15];
    float axes[6];
};
// That numbering (the library's, written out here since a platform's copy of
// the library may lack its gamepad interface).
enum : int {
    PAD_A, PAD_B, PAD_X, PAD_Y, PAD_LEFT_BUMPER, PAD_RIGHT_BUMPER, PAD_BACK, PAD_START, PAD_GUIDE,
    PAD_LEFT_THUMB, PAD_RIGHT_THUMB, PAD_DPAD_UP, PAD_DPAD_RIGHT, PAD_DPAD_DOWN, PAD_DPAD_LEFT
};
enum : int { PAD_AXIS_LEFT_X, PAD_AXIS_LEFT_Y, PAD_AXIS_RIGHT_X, PAD_AXIS_RIGHT_Y, PAD_AXIS_LEFT_TRIGGER,
             PAD_AXIS_RIGHT_TRIGGER };

// The framework's pad layout, which a pad with a known gamepad mapping
// presents as its axes and buttons: axes left x, left y, left trigger, right
// x, right y, right trigger (six axes, so the poll keeps their order; sticks
// positive up, triggers 0 released to 1 pressed); buttons A, B, X, Y, left and
// right bumper, back, start, d-pad left, up, right, down, left and right stick
// press, guide.
enum : int { PAD_AXES = 6, PAD_BUTTONS = 15 };
void GamepadToClassic(const GamepadState& pad, float axes[PAD_AXES], unsigned char buttons[PAD_BUTTONS]);

// A joystick without a mapping keeps the library's axis order; only the
// vertical (odd) axes change sign, so that up is positive. Converts
// min(count, max) axes into `out` and returns how many.
int RawAxesToClassic(const float* axes, int count, float* out, int max);

struct Callbacks {
    void (*key)(int key, int action) = nullptr;
    void (*character)(int character, int action) = nullptr;
    void (*mouse_button)(int button, int action) = nullptr;
    void (*mouse_pos)(int x, int y) = nullptr;
    int (*window_close)() = nullptr;  // 0 refuses the close
};

// A key event of the installed library (its key and action numbering) to
// the classic key callback; keys the classic numbering lacks are dropped.
void DeliverKey(const Callbacks& callbacks, int key, int action);

}  // namespace glfw27

// Base behaviour is a world without a window system; the real layer and
// test fakes override what they provide.
class GlfwLayer {
public:
    virtual ~GlfwLayer() = default;

    virtual bool Init() { return true; }
    virtual void Terminate() {}

    virtual bool OpenWindow(int width, int height, int red, int green, int blue, int alpha, int depth,
                            int stencil, bool fullscreen, bool resizable);
    virtual void CloseWindow() { opened_ = false; }
    virtual int GetWindowParam(glfw27::WindowParam param);
    virtual void SetWindowPos(int, int) {}
    virtual void SetWindowTitle(const char*) {}
    virtual void GetWindowSize(int* width, int* height);
    virtual glfw27::VidMode GetDesktopMode() { return {640, 480, 8, 8, 8}; }
    virtual int GetVideoModes(glfw27::VidMode* list, int max_count);
    virtual void SetKeyRepeat(bool) {}
    virtual void SetAutoPollEvents(bool) {}
    virtual void SetMouseCursor(bool) {}
    virtual int GetKey(int) { return glfw27::RELEASE; }
    virtual void GetMousePos(int* x, int* y) { *x = *y = 0; }

    // Joysticks by port (0 is the first), in the classic terms: a parameter
    // query, and reads of up to the given number of axes (-1 to 1, vertical
    // axes positive up) or button states (PRESS or RELEASE) that return how
    // many were stored. Without a window system no joystick is present.
    virtual int GetJoystickParam(int, glfw27::JoystickParam) { return 0; }
    virtual int GetJoystickPos(int, float*, int) { return 0; }
    virtual int GetJoystickButtons(int, unsigned char*, int) { return 0; }

    virtual double GetTime() = 0;
    virtual void Sleep(double seconds) = 0;
    virtual void PollEvents() {}
    virtual void WaitEvents() {}
    virtual void SwapBuffers() {}

    void SetCallbacks(const glfw27::Callbacks& callbacks) { callbacks_ = callbacks; }
    const glfw27::Callbacks& callbacks() const { return callbacks_; }

    // The layer the host uses; the program installs the real one at start
    // unless a test has installed its own.
    static GlfwLayer* current;
    static GlfwLayer* CreateReal();

protected:
    glfw27::Callbacks callbacks_;
    bool opened_ = false;
    int width_ = 0, height_ = 0;
};

inline GlfwLayer& glfw() { return *GlfwLayer::current; }

// The first of the two translations of key codes: between the installed
// window library's numbering (GLFW_KEY_*) and the classic one (glfw27::KEY_*
// above), KEY_UNKNOWN where the other side has no such key. The second, to
// the framework's key space, is in host/input_translate.cpp.
int GlfwKeyTo27(int key);
int Glfw27KeyToGlfw(int key);
