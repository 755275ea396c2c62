// The only file that calls the installed windowing library (glfw_keys.cpp
// shares its key numbering with the browser's version). It gives the
// host the classic behaviour: classic key codes, repeats reported as repeats
// also across a re-created window,
// a refusable close request, sleep, window parameters, and joysticks whose
// vertical axes are positive up (pads the library knows as gamepads are
// presented in the framework's pad layout).
#include <GLFW/glfw3.h>
#include <X11/Xlib.h>

#include <bitset>
#include <chrono>
#include <cstdio>
#include <thread>

#include "host/glfw_layer.h"

// The library's own X connection (its native-access header would also want
// the resize-extension headers, which nothing here uses).
extern "C" Display* glfwGetX11Display(void);

namespace {

class RealGlfw final : public GlfwLayer {
public:
    ~RealGlfw() override { Terminate(); }

    bool Init() override {
        glfwSetErrorCallback([](int, const char* description) {
            std::fprintf(stderr, "window system: %s\n", description);
        });
        initialised_ = glfwInit() == GLFW_TRUE;
        return initialised_;
    }

    void Terminate() override {
        if (!initialised_) return;
        window_ = nullptr;
        glfwTerminate();
        initialised_ = false;
    }

    bool OpenWindow(int width, int height, int red, int green, int blue, int alpha, int depth, int stencil,
                    bool fullscreen, bool resizable) override {
        CloseWindow();
        glfwDefaultWindowHints();
        glfwWindowHint(GLFW_RED_BITS, red);
        glfwWindowHint(GLFW_GREEN_BITS, green);
        glfwWindowHint(GLFW_BLUE_BITS, blue);
        glfwWindowHint(GLFW_ALPHA_BITS, alpha);
        glfwWindowHint(GLFW_DEPTH_BITS, depth);
        glfwWindowHint(GLFW_STENCIL_BITS, stencil);
        glfwWindowHint(GLFW_RESIZABLE, resizable ? GLFW_TRUE : GLFW_FALSE);
        // Desktops tie the window to the game's launcher entry, and so show
        // its name and icon, by the window's class.
        glfwWindowHintString(GLFW_X11_CLASS_NAME, "Vellumby");
        glfwWindowHintString(GLFW_X11_INSTANCE_NAME, "vellumby");
        GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
        window_ = glfwCreateWindow(width, height, "", monitor, nullptr);
        if (!window_) return false;
        glfwMakeContextCurrent(window_);
        glfwSetWindowUserPointer(window_, this);
        glfwSetKeyCallback(window_, OnKey);
        glfwSetCharCallback(window_, OnChar);
        glfwSetMouseButtonCallback(window_, OnMouseButton);
        glfwSetCursorPosCallback(window_, OnCursorPos);
        glfwSetWindowCloseCallback(window_, OnClose);
        return true;
    }

    void CloseWindow() override {
        if (!window_) return;
        // A key held now is still held in the next window, which knows
        // nothing of it: its auto-repeat would arrive there as a new press.
        for (int key = GLFW_KEY_SPACE; key <= GLFW_KEY_LAST; ++key) {
            if (glfwGetKey(window_, key) == GLFW_PRESS) carried_.set(static_cast<std::size_t>(key));
        }
        glfwDestroyWindow(window_);
        window_ = nullptr;
    }

    int GetWindowParam(glfw27::WindowParam param) override {
        if (!window_) return 0;
        switch (param) {
            case glfw27::WindowParam::Opened:
                return 1;
            case glfw27::WindowParam::Active:
                return glfwGetWindowAttrib(window_, GLFW_FOCUSED);
            case glfw27::WindowParam::Iconified:
                return glfwGetWindowAttrib(window_, GLFW_ICONIFIED);
        }
        return 0;
    }

    void SetWindowPos(int x, int y) override {
        if (window_) glfwSetWindowPos(window_, x, y);
    }
    void SetWindowTitle(const char* title) override {
        if (window_) glfwSetWindowTitle(window_, title);
    }
    void GetWindowSize(int* width, int* height) override {
        *width = *height = 0;
        if (window_) glfwGetFramebufferSize(window_, width, height);
    }

    glfw27::VidMode GetDesktopMode() override {
        const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor());
        if (!mode) return {0, 0, 0, 0, 0};
        return Convert(*mode);
    }

    int GetVideoModes(glfw27::VidMode* list, int max_count) override {
        int count = 0;
        const GLFWvidmode* modes = glfwGetVideoModes(glfwGetPrimaryMonitor(), &count);
        if (!modes) return 0;
        if (count > max_count) count = max_count;
        for (int i = 0; i < count; ++i) list[i] = Convert(modes[i]);
        return count;
    }

    void SetKeyRepeat(bool enabled) override { key_repeat_ = enabled; }
    void SetMouseCursor(bool visible) override {
        if (window_) glfwSetInputMode(window_, GLFW_CURSOR, visible ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_DISABLED);
    }

    int GetKey(int key) override {
        const int native = Glfw27KeyToGlfw(key);
        if (!window_ || native == GLFW_KEY_UNKNOWN) return glfw27::RELEASE;
        return glfwGetKey(window_, native) == GLFW_PRESS ? glfw27::PRESS : glfw27::RELEASE;
    }

    void GetMousePos(int* x, int* y) override {
        double fx = 0, fy = 0;
        if (window_) glfwGetCursorPos(window_, &fx, &fy);
        *x = static_cast<int>(fx);
        *y = static_cast<int>(fy);
    }

    int GetJoystickParam(int joy, glfw27::JoystickParam param) override {
        if (!JoystickPresent(joy)) return 0;
        int count = 0;
        switch (param) {
            case glfw27::JoystickParam::Present:
                return 1;
            case glfw27::JoystickParam::Axes:
                if (glfwJoystickIsGamepad(joy)) return glfw27::PAD_AXES;
                glfwGetJoystickAxes(joy, &count);
                return count;
            case glfw27::JoystickParam::Buttons:
                if (glfwJoystickIsGamepad(joy)) return glfw27::PAD_BUTTONS;
                glfwGetJoystickButtons(joy, &count);  // hats follow as extra buttons
                return count;
        }
        return 0;
    }

    int GetJoystickPos(int joy, float* pos, int numaxes) override {
        if (!JoystickPresent(joy) || numaxes <= 0) return 0;
        float axes[glfw27::PAD_AXES];
        unsigned char buttons[glfw27::PAD_BUTTONS];
        if (ReadGamepad(joy, axes, buttons)) {
            const int n = numaxes < glfw27::PAD_AXES ? numaxes : glfw27::PAD_AXES;
            for (int i = 0; i < n; ++i) pos[i] = axes[i];
            return n;
        }
        int count = 0;
        const float* raw = glfwGetJoystickAxes(joy, &count);
        if (!raw) return 0;
        return glfw27::RawAxesToClassic(raw, count, pos, numaxes);
    }

    int GetJoystickButtons(int joy, unsigned char* states, int numbuttons) override {
        if (!JoystickPresent(joy) || numbuttons <= 0) return 0;
        float axes[glfw27::PAD_AXES];
        unsigned char buttons[glfw27::PAD_BUTTONS];
        const unsigned char* source = buttons;
        int count = glfw27::PAD_BUTTONS;
        if (!ReadGamepad(joy, axes, buttons)) {
            source = glfwGetJoystickButtons(joy, &count);
            if (!source) return 0;
        }
        if (count > numbuttons) count = numbuttons;
        for (int i = 0; i < count; ++i) states[i] = source[i] == GLFW_PRESS ? glfw27::PRESS : glfw27::RELEASE;
        return count;
    }

    double GetTime() override { return glfwGetTime(); }
    void Sleep(double seconds) override {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
    void PollEvents() override {
        ReleaseCarriedKeys();
        glfwPollEvents();
        FinishPendingClose();
    }
    void WaitEvents() override {
        ReleaseCarriedKeys();
        glfwWaitEvents();
        FinishPendingClose();
    }
    void SwapBuffers() override {
        if (window_) glfwSwapBuffers(window_);
    }

private:
    static RealGlfw& From(GLFWwindow* window) {
        return *static_cast<RealGlfw*>(glfwGetWindowUserPointer(window));
    }
    static glfw27::VidMode Convert(const GLFWvidmode& m) {
        return {m.width, m.height, m.redBits, m.blueBits, m.greenBits};
    }

    static void OnKey(GLFWwindow* window, int key, int, int action, int) {
        RealGlfw& self = From(window);
        if (key >= 0 && self.carried_.test(static_cast<std::size_t>(key))) {
            if (action == GLFW_RELEASE) {
                self.carried_.reset(static_cast<std::size_t>(key));
            } else {
                action = GLFW_REPEAT;
            }
        }
        if (action == GLFW_REPEAT && !self.key_repeat_) return;
        glfw27::DeliverKey(self.callbacks_, key, action);
    }

    // The window system drops the release of a key the window never saw
    // pressed, so a carried key is looked up on the keyboard itself; one let
    // go is released (without a keyboard to ask, every carried key is).
    void ReleaseCarriedKeys() {
        if (carried_.none()) return;
        char keymap[32] = {};
        Display* display = glfwGetX11Display();
        if (display) XQueryKeymap(display, keymap);
        for (int key = GLFW_KEY_SPACE; key <= GLFW_KEY_LAST; ++key) {
            if (!carried_.test(static_cast<std::size_t>(key))) continue;
            const int scancode = glfwGetKeyScancode(key);
            const bool held = display && scancode > 0 && scancode < 256 && (keymap[scancode / 8] & (1 << (scancode % 8)));
            if (held) continue;
            carried_.reset(static_cast<std::size_t>(key));
            const int classic = GlfwKeyTo27(key);
            if (classic != glfw27::KEY_UNKNOWN && callbacks_.key) callbacks_.key(classic, glfw27::RELEASE);
        }
    }
    static void OnChar(GLFWwindow* window, unsigned int character) {
        RealGlfw& self = From(window);
        if (self.callbacks_.character) self.callbacks_.character(static_cast<int>(character), glfw27::PRESS);
    }
    static void OnMouseButton(GLFWwindow* window, int button, int action, int) {
        RealGlfw& self = From(window);
        if (self.callbacks_.mouse_button) self.callbacks_.mouse_button(button, action);
    }
    static void OnCursorPos(GLFWwindow* window, double x, double y) {
        RealGlfw& self = From(window);
        if (self.callbacks_.mouse_pos) self.callbacks_.mouse_pos(static_cast<int>(x), static_cast<int>(y));
    }
    static void OnClose(GLFWwindow* window) {
        RealGlfw& self = From(window);
        // Closing is the program's decision: a refusal keeps the window.
        const bool close = self.callbacks_.window_close ? self.callbacks_.window_close() != 0 : true;
        glfwSetWindowShouldClose(window, close ? GLFW_TRUE : GLFW_FALSE);
        if (close) self.close_requested_ = true;
    }

    static bool JoystickPresent(int joy) {
        return joy >= GLFW_JOYSTICK_1 && joy <= GLFW_JOYSTICK_LAST && glfwJoystickPresent(joy);
    }
    // A pad the library has a gamepad mapping for, in the framework's layout.
    static bool ReadGamepad(int joy, float* axes, unsigned char* buttons) {
        GLFWgamepadstate state;
        if (!glfwJoystickIsGamepad(joy) || !glfwGetGamepadState(joy, &state)) return false;
        glfw27::GamepadState pad;
        for (int i = 0; i < 15; ++i) pad.buttons[i] = state.buttons[i];
        for (int i = 0; i < 6; ++i) pad.axes[i] = state.axes[i];
        glfw27::GamepadToClassic(pad, axes, buttons);
        return true;
    }

    GLFWwindow* window_ = nullptr;
    bool initialised_ = false;
    bool key_repeat_ = false;
    bool close_requested_ = false;
    std::bitset<GLFW_KEY_LAST + 1> carried_;  // held across a window change, not yet released

    // An accepted close takes effect once event processing is over.
    void FinishPendingClose() {
        if (close_requested_) {
            close_requested_ = false;
            CloseWindow();
        }
    }
};

}  // namespace

GlfwLayer* GlfwLayer::CreateReal() { return new RealGlfw(); }
