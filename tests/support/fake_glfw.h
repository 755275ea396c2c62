// A window system with a hand-driven clock, for running the host loop in
// tests without real time or a display, and scripted joysticks.
#pragma once
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "host/glfw_layer.h"

class FakeGlfw : public GlfwLayer {
public:
    double now = 100.0;
    bool iconified = false;
    bool active = true;
    double wait_advance = 0.5;  // how long WaitEvents blocks
    int polls = 0;
    int max_polls = 1000;  // the window goes away after this many polls
    std::function<void(FakeGlfw&)> on_poll;
    std::vector<int> pressed_keys;
    std::vector<std::string> calls;  // window operations in order
    glfw27::VidMode desktop{1280, 1024, 8, 8, 8};
    bool key_repeat = false;
    bool refuse_fullscreen = false;  // as a display without that mode

    double GetTime() override { return now; }
    void Sleep(double seconds) override { now += seconds; }
    void PollEvents() override {
        ++polls;
        if (on_poll) on_poll(*this);
        if (polls >= max_polls) opened_ = false;
    }
    void WaitEvents() override { calls.push_back("wait"); now += wait_advance; }
    int GetWindowParam(glfw27::WindowParam param) override {
        using P = glfw27::WindowParam;
        return param == P::Opened ? opened_ : param == P::Active ? active : iconified;
    }
    bool OpenWindow(int width, int height, int r, int g, int b, int a, int d, int s, bool fullscreen,
                    bool resizable) override {
        calls.push_back("open " + std::to_string(width) + "x" + std::to_string(height) +
                        (fullscreen ? " fullscreen" : " window") + (resizable ? " resizable" : ""));
        if (fullscreen && refuse_fullscreen) return false;
        return GlfwLayer::OpenWindow(width, height, r, g, b, a, d, s, fullscreen, resizable);
    }
    void CloseWindow() override { calls.push_back("close"); GlfwLayer::CloseWindow(); }
    void SetWindowPos(int x, int y) override { calls.push_back("pos " + std::to_string(x) + "," + std::to_string(y)); }
    void SetWindowTitle(const char* title) override { calls.push_back(std::string("title ") + title); }
    glfw27::VidMode GetDesktopMode() override { return desktop; }
    // As the user resizing the window.
    void SetWindowSize(int width, int height) { width_ = width; height_ = height; }
    void SetKeyRepeat(bool enabled) override { key_repeat = enabled; }

    // Joysticks by port: axes already in the classic convention.
    struct Pad {
        bool present = false;
        std::vector<float> axes;
        std::vector<unsigned char> buttons;
    };
    Pad pads[4];
    int pad_reads[4] = {};  // axis and button reads per port
    int most_axes_asked = 0, most_buttons_asked = 0;

    int GetJoystickParam(int joy, glfw27::JoystickParam param) override {
        if (!Present(joy)) return 0;
        if (param == glfw27::JoystickParam::Axes) return static_cast<int>(pads[joy].axes.size());
        if (param == glfw27::JoystickParam::Buttons) return static_cast<int>(pads[joy].buttons.size());
        return 1;
    }
    int GetJoystickPos(int joy, float* pos, int n) override { return Read(joy, &Pad::axes, pos, n, most_axes_asked); }
    int GetJoystickButtons(int joy, unsigned char* states, int n) override {
        return Read(joy, &Pad::buttons, states, n, most_buttons_asked);
    }

    int mouse_x = 0, mouse_y = 0;
    void GetMousePos(int* x, int* y) override { *x = mouse_x; *y = mouse_y; }

    int GetKey(int key) override {
        return std::count(pressed_keys.begin(), pressed_keys.end(), key) ? glfw27::PRESS : glfw27::RELEASE;
    }

private:
    bool Present(int joy) const { return joy >= 0 && joy < 4 && pads[joy].present; }
    template <typename T>
    int Read(int joy, std::vector<T> Pad::*values, T* out, int n, int& most_asked) {
        if (!Present(joy)) return 0;
        ++pad_reads[joy];
        most_asked = std::max(most_asked, n);
        const std::vector<T>& from = pads[joy].*values;
        n = std::min(n, static_cast<int>(from.size()));
        std::copy_n(from.begin(), n, out);
        return n;
    }
};
