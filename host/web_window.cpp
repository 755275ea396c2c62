// The window layer of the browser: the only file that calls the browser's
// copy of the window library and the page's own interfaces (visibility,
// full screen, the canvas size, gamepads). The game's "window" is the
// page's one canvas, which fills the page: its pixels are its size on the
// page times the display's pixel ratio. A full-screen window is the canvas
// in the browser's full screen; the page stays open as long as the tab.
// Links the game opens go to a new tab.
#include <GLFW/glfw3.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/glfw_layer.h"
#include "host/host_game.h"

namespace {

const char* const kCanvas = "#canvas";

class WebGlfw final : public GlfwLayer {
public:
    bool Init() override {
        glfwSetErrorCallback([](int, const char* description) {
            std::fprintf(stderr, "window system: %s\n", description);
        });
        return glfwInit() == GLFW_TRUE;
    }

    void Terminate() override {}

    bool OpenWindow(int, int, int red, int green, int blue, int alpha, int depth, int stencil, bool fullscreen,
                    bool) override {
        if (!window_) {
            glfwDefaultWindowHints();
            glfwWindowHint(GLFW_RED_BITS, red);
            glfwWindowHint(GLFW_GREEN_BITS, green);
            glfwWindowHint(GLFW_BLUE_BITS, blue);
            glfwWindowHint(GLFW_ALPHA_BITS, alpha);
            glfwWindowHint(GLFW_DEPTH_BITS, depth);
            glfwWindowHint(GLFW_STENCIL_BITS, stencil);
            int w = 0, h = 0;
            PageSize(&w, &h);
            window_ = glfwCreateWindow(w, h, "Vellumby", nullptr, nullptr);
            if (!window_) return false;
            glfwMakeContextCurrent(window_);
            glfwSetKeyCallback(window_, OnKey);
            glfwSetCharCallback(window_, OnChar);
            glfwSetMouseButtonCallback(window_, OnMouseButton);
            glfwSetCursorPosCallback(window_, OnCursorPos);
            // A full-screen request waits for the page's next key or click
            // to be let through; these handlers, which do nothing else, are
            // where it is made.
            const em_key_callback_func key_up = [](int, const EmscriptenKeyboardEvent*, void*) { return EM_FALSE; };
            const em_mouse_callback_func mouse_up = [](int, const EmscriptenMouseEvent*, void*) { return EM_FALSE; };
            emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, 0, key_up);
            emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, 0, mouse_up);
            // Fingers are touches of their own, not the window library's
            // mouse; taken here, the browser makes no mouse events of them.
            EM_ASM({
                const canvas = Module['canvas'];
                canvas.removeEventListener('touchstart', GLFW.onMouseButtonDown, true);
                canvas.removeEventListener('touchmove', GLFW.onMousemove, true);
                canvas.removeEventListener('touchend', GLFW.onMouseButtonUp, true);
                canvas.removeEventListener('touchcancel', GLFW.onMouseButtonUp, true);
            });
            emscripten_set_touchstart_callback(kCanvas, this, 1, OnTouch);
            emscripten_set_touchmove_callback(kCanvas, this, 1, OnTouch);
            emscripten_set_touchend_callback(kCanvas, this, 1, OnTouch);
            emscripten_set_touchcancel_callback(kCanvas, this, 1, OnTouch);
            emscripten_set_devicemotion_callback(nullptr, 1, OnMotion);
        }
        open_ = true;
        if (fullscreen != fullscreen_) {
            fullscreen_ = fullscreen;
            if (fullscreen) {
                // The browser allows full screen only while it handles a key
                // or a click: the request waits for the next one (F11's own
                // release).
                EmscriptenFullscreenStrategy strategy{};
                strategy.scaleMode = EMSCRIPTEN_FULLSCREEN_SCALE_STRETCH;
                strategy.canvasResolutionScaleMode = EMSCRIPTEN_FULLSCREEN_CANVAS_SCALE_HIDEF;
                strategy.filteringMode = EMSCRIPTEN_FULLSCREEN_FILTERING_DEFAULT;
                emscripten_request_fullscreen_strategy(kCanvas, 1, &strategy);
            } else {
                emscripten_exit_fullscreen();
            }
        }
        return true;
    }

    // The canvas stays: closing only marks it closed until it is opened again.
    void CloseWindow() override { open_ = false; }

    int GetWindowParam(glfw27::WindowParam param) override {
        if (!window_ || !open_) return 0;
        EmscriptenVisibilityChangeEvent visibility{};
        const bool hidden = emscripten_get_visibility_status(&visibility) == EMSCRIPTEN_RESULT_SUCCESS &&
                            visibility.hidden;
        switch (param) {
            case glfw27::WindowParam::Opened:
                return 1;
            case glfw27::WindowParam::Active:
                return hidden ? 0 : 1;
            case glfw27::WindowParam::Iconified:
                return hidden ? 1 : 0;
        }
        return 0;
    }

    void GetWindowSize(int* width, int* height) override {
        *width = *height = 0;
        if (!window_) return;
        FollowPageSize();
        emscripten_get_canvas_element_size(kCanvas, width, height);
    }

    // The "desktop" is the screen, in device pixels.
    glfw27::VidMode GetDesktopMode() override {
        const double ratio = emscripten_get_device_pixel_ratio();
        int w = 0, h = 0;
        emscripten_get_screen_size(&w, &h);
        return {static_cast<int>(std::lround(w * ratio)), static_cast<int>(std::lround(h * ratio)), 8, 8, 8};
    }

    int GetVideoModes(glfw27::VidMode* list, int max_count) override {
        if (max_count < 1) return 0;
        list[0] = GetDesktopMode();
        return 1;
    }

    void SetKeyRepeat(bool enabled) override { key_repeat_ = enabled; }

    int GetKey(int key) override {
        const int native = Glfw27KeyToGlfw(key);
        if (!window_ || native == GLFW_KEY_UNKNOWN) return glfw27::RELEASE;
        return glfwGetKey(window_, native) == GLFW_PRESS ? glfw27::PRESS : glfw27::RELEASE;
    }

    void GetMousePos(int* x, int* y) override {
        double fx = 0, fy = 0;
        if (window_) glfwGetCursorPos(window_, &fx, &fy);
        *x = static_cast<int>(fx * Ratio());
        *y = static_cast<int>(fy * Ratio());
    }

    int GetJoystickParam(int joy, glfw27::JoystickParam param) override {
        EmscriptenGamepadEvent pad{};
        if (!ReadPad(joy, &pad)) return 0;
        switch (param) {
            case glfw27::JoystickParam::Present:
                return 1;
            case glfw27::JoystickParam::Axes:
                return Standard(pad) ? glfw27::PAD_AXES : pad.numAxes;
            case glfw27::JoystickParam::Buttons:
                return Standard(pad) ? glfw27::PAD_BUTTONS : pad.numButtons;
        }
        return 0;
    }

    int GetJoystickPos(int joy, float* pos, int numaxes) override {
        EmscriptenGamepadEvent pad{};
        float axes[glfw27::PAD_AXES];
        unsigned char buttons[glfw27::PAD_BUTTONS];
        if (numaxes <= 0 || !ReadPad(joy, &pad)) return 0;
        if (ReadStandard(pad, axes, buttons)) {
            const int n = numaxes < glfw27::PAD_AXES ? numaxes : glfw27::PAD_AXES;
            for (int i = 0; i < n; ++i) pos[i] = axes[i];
            return n;
        }
        float raw[64];
        const int count = pad.numAxes < 64 ? pad.numAxes : 64;
        for (int i = 0; i < count; ++i) raw[i] = static_cast<float>(pad.axis[i]);
        return glfw27::RawAxesToClassic(raw, count, pos, numaxes);
    }

    int GetJoystickButtons(int joy, unsigned char* states, int numbuttons) override {
        EmscriptenGamepadEvent pad{};
        float axes[glfw27::PAD_AXES];
        unsigned char buttons[glfw27::PAD_BUTTONS];
        if (numbuttons <= 0 || !ReadPad(joy, &pad)) return 0;
        if (ReadStandard(pad, axes, buttons)) {
            const int n = numbuttons < glfw27::PAD_BUTTONS ? numbuttons : glfw27::PAD_BUTTONS;
            std::memcpy(states, buttons, static_cast<std::size_t>(n));
            return n;
        }
        const int n = numbuttons < pad.numButtons ? numbuttons : pad.numButtons;
        for (int i = 0; i < n; ++i) states[i] = pad.digitalButton[i] ? glfw27::PRESS : glfw27::RELEASE;
        return n;
    }

    double GetTime() override { return glfwGetTime(); }
    // The page is never put to sleep: the loop runs once per frame.
    void Sleep(double) override {}
    // Events arrive between frames; the pads are read once a frame.
    void PollEvents() override { emscripten_sample_gamepad_data(); }
    void WaitEvents() override { PollEvents(); }

private:
    // The canvas's size on the page, in device pixels.
    static void PageSize(int* width, int* height) {
        double w = 0, h = 0;
        emscripten_get_element_css_size(kCanvas, &w, &h);
        *width = static_cast<int>(std::lround(w * Ratio()));
        *height = static_cast<int>(std::lround(h * Ratio()));
    }
    static double Ratio() { return emscripten_get_device_pixel_ratio(); }

    // A resized page (or the canvas in or out of full screen) gives the
    // canvas as many pixels as it covers.
    void FollowPageSize() {
        int w = 0, h = 0, now_w = 0, now_h = 0;
        PageSize(&w, &h);
        emscripten_get_canvas_element_size(kCanvas, &now_w, &now_h);
        if (w > 0 && h > 0 && (w != now_w || h != now_h)) emscripten_set_canvas_element_size(kCanvas, w, h);
    }

    static bool ReadPad(int joy, EmscriptenGamepadEvent* pad) {
        return joy >= 0 && joy < emscripten_get_num_gamepads() &&
               emscripten_get_gamepad_status(joy, pad) == EMSCRIPTEN_RESULT_SUCCESS && pad->connected;
    }
    static bool Standard(const EmscriptenGamepadEvent& pad) { return std::strcmp(pad.mapping, "standard") == 0; }
    // A standard-mapping pad in the library's gamepad numbering; false for any other pad.
    static bool ReadStandard(const EmscriptenGamepadEvent& pad, float axes[], unsigned char buttons[]) {
        if (!Standard(pad)) return false;
        ToClassic(pad, axes, buttons);
        return true;
    }

    // The browser's standard layout (buttons: A B X Y, bumpers, triggers,
    // back, start, stick presses, d-pad up down left right, guide; axes: the
    // two sticks, down positive) into the library's gamepad numbering.
    static void ToClassic(const EmscriptenGamepadEvent& pad, float axes[], unsigned char buttons[]) {
        using namespace glfw27;
        static const int kFrom[15] = {0, 1, 2, 3, 4, 5, 8, 9, 16, 10, 11, 12, 15, 13, 14};
        GamepadState state{};
        for (int i = 0; i < 15; ++i) {
            const int b = kFrom[i];
            state.buttons[i] = b < pad.numButtons && pad.digitalButton[b] ? PRESS : RELEASE;
        }
        const auto axis = [&](int a) { return a < pad.numAxes ? static_cast<float>(pad.axis[a]) : 0.0f; };
        const auto trigger = [&](int b) {
            return b < pad.numButtons ? static_cast<float>(pad.analogButton[b]) * 2 - 1 : -1.0f;
        };
        state.axes[PAD_AXIS_LEFT_X] = axis(0);
        state.axes[PAD_AXIS_LEFT_Y] = axis(1);
        state.axes[PAD_AXIS_RIGHT_X] = axis(2);
        state.axes[PAD_AXIS_RIGHT_Y] = axis(3);
        state.axes[PAD_AXIS_LEFT_TRIGGER] = trigger(6);
        state.axes[PAD_AXIS_RIGHT_TRIGGER] = trigger(7);
        GamepadToClassic(state, axes, buttons);
    }

    static WebGlfw& Self() { return *static_cast<WebGlfw*>(GlfwLayer::current); }
    static void OnKey(GLFWwindow*, int key, int, int action, int) {
        WebGlfw& self = Self();
        if (action == GLFW_REPEAT && !self.key_repeat_) return;
        glfw27::DeliverKey(self.callbacks_, key, action);
    }
    static void OnChar(GLFWwindow*, unsigned int character) {
        if (Self().callbacks_.character) Self().callbacks_.character(static_cast<int>(character), glfw27::PRESS);
    }
    static void OnMouseButton(GLFWwindow*, int button, int action, int) {
        if (Self().callbacks_.mouse_button) Self().callbacks_.mouse_button(button, action);
    }
    // The library reports page pixels; the game works in the canvas's own.
    static void OnCursorPos(GLFWwindow*, double x, double y) {
        if (Self().callbacks_.mouse_pos) {
            Self().callbacks_.mouse_pos(static_cast<int>(x * Ratio()), static_cast<int>(y * Ratio()));
        }
    }

    // Each finger keeps its slot (the lowest free one) while it is down;
    // positions in the canvas's pixels, as the mouse's.
    static EM_BOOL OnTouch(int type, const EmscriptenTouchEvent* event, void* self) {
        long* slots = static_cast<WebGlfw*>(self)->finger_;
        const int kind = type == EMSCRIPTEN_EVENT_TOUCHSTART ? OrvGameEvent::TouchDown
                         : type == EMSCRIPTEN_EVENT_TOUCHMOVE ? OrvGameEvent::TouchMove : OrvGameEvent::TouchUp;
        for (int i = 0; i < event->numTouches; ++i) {
            const EmscriptenTouchPoint& touch = event->touches[i];
            if (!touch.isChanged) continue;
            const long finger = touch.identifier + 1;
            int slot = 0;
            while (slot < kFingers && slots[slot] != finger) ++slot;
            if (slot == kFingers && kind == OrvGameEvent::TouchDown) {
                for (slot = 0; slot < kFingers && slots[slot] != 0;) ++slot;
            }
            if (slot == kFingers) continue;  // a 33rd finger, or one not seen going down
            slots[slot] = kind == OrvGameEvent::TouchUp ? 0 : finger;
            if (OrvGame::_game) {
                OrvGame::_game->TouchEvent(kind, slot, static_cast<float>(touch.targetX * Ratio()),
                                           static_cast<float>(touch.targetY * Ratio()));
            }
        }
        return EM_TRUE;
    }
    // The device's acceleration (gravity included, as the device's frame
    // measures it: lying still, screen up, it reads 9.81 m/s² up its z axis)
    // in the screen's axes as the screen is turned, x right and y down,
    // scaled to gravity = 1: tilted right, x is positive.
    static EM_BOOL OnMotion(int, const EmscriptenDeviceMotionEvent* event, void*) {
        // A reading without gravity arrives as NaN (the toolchain leaves
        // the event's field flags unset).
        const double g = 9.80665, gx = event->accelerationIncludingGravityX / g;
        const double gy = event->accelerationIncludingGravityY / g, gz = event->accelerationIncludingGravityZ / g;
        if (!std::isfinite(gx) || !std::isfinite(gy) || !std::isfinite(gz)) return EM_FALSE;
        const int angle =
            EM_ASM_INT({ return (screen.orientation && screen.orientation.angle) || window.orientation || 0; });
        double x = -gx, y = gy;  // upright: the device's axes are the screen's, y up
        if (angle == 90 || angle == -270) x = gy, y = -gx;
        if (angle == 180 || angle == -180) x = gx, y = -gy;
        if (angle == 270 || angle == -90) x = -gy, y = gx;
        if (OrvGame::_game) {
            OrvGame::_game->MotionEvent(OrvGameEvent::MotionAccel, 0, static_cast<float>(x), static_cast<float>(y),
                                        static_cast<float>(-gz));
        }
        return EM_FALSE;
    }

    static constexpr int kFingers = 32;
    long finger_[kFingers] = {};  // each slot's finger (its identifier + 1), 0 when up

    GLFWwindow* window_ = nullptr;
    bool open_ = false;
    bool fullscreen_ = false;
    bool key_repeat_ = false;
};

}  // namespace

GlfwLayer* GlfwLayer::CreateReal() { return new WebGlfw(); }

// A link opens in a new tab (each character cut to its low byte, as on the
// desktop).
void OrvGlfwGame::OpenUrl(String url) {
    const std::string bytes = url.ToBytes();
    EM_ASM({ window.open(UTF8ToString($0), '_blank', 'noopener'); }, bytes.c_str());
}
