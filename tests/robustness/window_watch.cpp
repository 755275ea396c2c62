// Watches a program's window until it has shown two different pictures,
// each more than one flat colour, then closes it as the close box does.
// While the picture stays the same it presses the Right arrow key now and
// then, as a player would, so that a screen at rest changes too. Prints
// "drawing" when it saw them and "still" or "blank" when the time ran out
// first ("no window" when none appeared).
// Usage: window_watch TITLE WAIT_SECONDS
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "tests/e2e/x_screen.h"
#include "tests/support/x_windows.h"

namespace {

// A key held for a tenth of a second (menus act on keys held at an
// update), sent to the window as the keyboard would.
void PressKey(Display* display, Window window, KeySym key) {
    XKeyEvent e{};
    e.display = display;
    e.window = window;
    e.root = DefaultRootWindow(display);
    e.time = CurrentTime;
    e.same_screen = True;
    e.keycode = XKeysymToKeycode(display, key);
    for (int type : {KeyPress, KeyRelease}) {
        e.type = type;
        XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask,
                   reinterpret_cast<XEvent*>(&e));
        XFlush(display);
        if (type == KeyPress) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

bool Flat(const Picture& p) {
    return std::all_of(p.pixels.begin(), p.pixels.end(), [&](const Rgb& c) { return c == p.pixels[0]; });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_watch TITLE WAIT_SECONDS\n");
        return 2;
    }
    XScreen screen;
    if (!screen.Connected()) return 3;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[2]));
    auto time_left = [&] { return std::chrono::steady_clock::now() < deadline; };
    auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); };

    Window window = 0;
    while (!(window = screen.FindByTitle(argv[1]))) {
        if (!time_left()) return std::printf("no window\n"), 0;
        pause();
    }
    Picture first;
    const char* verdict = "blank";
    for (int polls = 0; time_left(); ++polls) {
        const Picture now = screen.Grab(window);
        if (!now.empty() && !Flat(now)) {
            if (first.empty()) {
                first = now;
                verdict = "still";
            } else if (now.pixels != first.pixels) {
                verdict = "drawing";
                break;
            }
        }
        if (!first.empty() && polls % 25 == 0) PressKey(screen.display(), window, XK_Right);
        pause();
    }
    std::printf("%s\n", verdict);
    std::fflush(stdout);
    SendCloseRequest(screen.display(), window);
    return 0;
}
