#include "host/host_game.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "host/glfw_layer.h"
#include "runtime/diagnostics.h"

int argc = 0;
char** argv = nullptr;
int glfwGraphicsSeq = 0;

OrvGame* OrvGame::_game = nullptr;
OrvGlfwGame* OrvGlfwGame::_glfwGame = nullptr;

OrvGame::OrvGame() { _game = this; }

void OrvGame::GetDate(Array<int> date) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int values[7] = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                           local.tm_min,         local.tm_sec,     0};
    for (int i = 0; i < date.Length() && i < 7; ++i) date[i] = values[i];
}

void OrvGame::Die(ThrowableObject*) {
    orvPrint(String("Quarlo Runtime Error : Uncaught Quarlo Exception"));
    std::exit(-1);
}

void OrvGame::gc_collect() { gc_collect_step(_delegate); }

void OrvGame::StartGame() {
    if (_started) return;
    _started = true;
    Guarded([&] { _delegate->StartGame(); });
}

void OrvGame::SuspendGame() {
    if (!_started || _suspended) return;
    _suspended = true;
    Guarded([&] { _delegate->SuspendGame(); });
}

void OrvGame::ResumeGame() {
    if (!_started || !_suspended) return;
    _suspended = false;
    Guarded([&] { _delegate->ResumeGame(); });
}

void OrvGame::UpdateGame() {
    if (!_started || _suspended) return;
    Guarded([&] { _delegate->UpdateGame(); });
}

void OrvGame::RenderGame() {
    if (!_started) return;
    Guarded([&] { _delegate->RenderGame(); });
}

void OrvGame::KeyEvent(int event, int data) {
    if (!_started) return;
    Guarded([&] { _delegate->KeyEvent(event, data); });
}

void OrvGame::MouseEvent(int event, int data, float x, float y) {
    if (!_started) return;
    Guarded([&] { _delegate->MouseEvent(event, data, x, y); });
}

void OrvGame::TouchEvent(int event, int data, float x, float y) {
    if (!_started) return;
    Guarded([&] { _delegate->TouchEvent(event, data, x, y); });
}

void OrvGame::MotionEvent(int event, int data, float x, float y, float z) {
    if (!_started) return;
    Guarded([&] { _delegate->MotionEvent(event, data, x, y, z); });
}

void OrvGame::DiscardGraphics() {
    if (!_started) return;
    Guarded([&] { _delegate->DiscardGraphics(); });
}

OrvGlfwGame::OrvGlfwGame() { _glfwGame = this; }

void OrvGlfwGame::SetUpdateRate(int rate) {
    _updateRate = rate;
    if (rate) {
        _updatePeriod = 1.0 / rate;
        _nextUpdate = glfw().GetTime() + _updatePeriod;
    }
}

int OrvGlfwGame::Millisecs() {
    // Wraps like the game language's Int instead of overflowing after 24 days.
    return static_cast<int>(static_cast<std::int64_t>(glfw().GetTime() * 1000.0));
}

void OrvGlfwGame::SetMouseVisible(bool visible) { glfw().SetMouseCursor(visible); }

bool OrvGlfwGame::SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha, int depth,
                                int stencil, bool fullscreen) {
    // No key may stay down across the change of window.
    for (int key = 0; key <= glfw27::KEY_LAST; ++key) {
        const int code = TransKey(key);
        if (code && glfw().GetKey(key) == glfw27::PRESS) {
            KeyEvent(OrvGameEvent::KeyUp, code);
            _keyReportedDown[code] = false;
        }
    }
    const glfw27::VidMode desktop = glfw().GetDesktopMode();
    glfw().CloseWindow();

    const WindowMode wanted{width, height, red, green, blue, alpha, depth, stencil, fullscreen};
    if (OpenGlfwWindow(wanted, desktop.Width, desktop.Height)) {
        _window = wanted;
        return true;
    }
    // A mode the display refuses later on keeps the game in the window it had.
    if (_window.width > 0) {
        const String size = String(width) + String(" x ") + String(height);
        orvPrint((fullscreen ? String("Full screen ") + size : String("A window of ") + size) +
                 String(" could not be opened; staying in ") +
                 String(_window.fullscreen ? "full screen" : "a window"));
        if (OpenGlfwWindow(_window, desktop.Width, desktop.Height)) return false;
    }
    orvPrint(String("Could not open the game window: no OpenGL-capable display was found."));
    glfw().Terminate();
    std::exit(-1);
}

bool OrvGlfwGame::OpenGlfwWindow(const WindowMode& m, int desktopWidth, int desktopHeight) {
    if (!glfw().OpenWindow(m.width, m.height, m.red, m.green, m.blue, m.alpha, m.depth, m.stencil, m.fullscreen,
                           true)) {
        return false;
    }
    if (!m.fullscreen) {
        glfw().SetWindowPos((desktopWidth - m.width) / 2, (desktopHeight - m.height) / 2);
        glfw().SetWindowTitle("Vellumby");
    }
    ++glfwGraphicsSeq;
    glfw().SetKeyRepeat(true);
    glfw().SetAutoPollEvents(false);

    glfw27::Callbacks callbacks;
    callbacks.key = OnKey;
    callbacks.character = OnChar;
    callbacks.mouse_button = OnMouseButton;
    callbacks.mouse_pos = OnMousePos;
    callbacks.window_close = OnWindowClose;
    glfw().SetCallbacks(callbacks);
    return true;
}

int OrvGlfwGame::OnWindowClose() {
    _glfwGame->KeyEvent(OrvGameEvent::KeyDown, KEY_CLOSE);
    _glfwGame->KeyEvent(OrvGameEvent::KeyUp, KEY_CLOSE);
    return 0;
}

namespace {

OrvGlfwVideoMode* NewVideoMode(const glfw27::VidMode& m) {
    OrvGlfwVideoMode* mode = new OrvGlfwVideoMode();
    mode->width = m.Width;
    mode->height = m.Height;
    mode->red = m.RedBits;
    mode->green = m.GreenBits;
    mode->blue = m.BlueBits;
    return mode;
}

}  // namespace

OrvGlfwVideoMode* OrvGlfwGame::GetGlfwDesktopMode() { return NewVideoMode(glfw().GetDesktopMode()); }

Array<OrvGlfwVideoMode*> OrvGlfwGame::GetGlfwVideoModes() {
    std::vector<glfw27::VidMode> modes(1024);
    const int count = glfw().GetVideoModes(modes.data(), 1024);
    Array<OrvGlfwVideoMode*> result(count);
    for (int i = 0; i < count; ++i) gc_assign(result[i], NewVideoMode(modes[static_cast<std::size_t>(i)]));
    return result;
}

void OrvGlfwGame::Run() {
    using glfw27::WindowParam;
    SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    StartGame();
    RenderGame();

    for (;;) {
        glfw().PollEvents();
        if (!glfw().GetWindowParam(WindowParam::Opened)) return;
        FollowWindowState();

        if (!_updateRate || _suspended) {
            if (!_iconified) RenderGame();
            glfw().WaitEvents();
            continue;
        }

        const double wait = _nextUpdate - glfw().GetTime();
        if (wait > 0) {
            glfw().Sleep(wait);
            continue;
        }
        CatchUp();
    }
}

void OrvGlfwGame::FollowWindowState() {
    using glfw27::WindowParam;
    const bool iconified = glfw().GetWindowParam(WindowParam::Iconified) != 0;
    const bool active = glfw().GetWindowParam(WindowParam::Active) != 0;
    if (iconified && !_suspended) {
        _iconified = true;
        SuspendGame();
    } else if (active && _suspended) {
        _iconified = false;
        ResumeGame();
        _nextUpdate = glfw().GetTime();  // time spent away is not made up
    } else if (!iconified && !active && !_suspended) {
        SuspendGame();
    }
}

void OrvGlfwGame::CatchUp() {
    bool caught_up = false;
    for (int i = 0; i < 4 && !caught_up; ++i) {
        _nextUpdate += _updatePeriod;
        UpdateGame();
        caught_up = !_updateRate || _nextUpdate - glfw().GetTime() > 0;
    }
    RenderGame();
    if (!caught_up && _updateRate) _nextUpdate = glfw().GetTime();  // the backlog is dropped
}
