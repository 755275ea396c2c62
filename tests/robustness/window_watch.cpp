// Watches a program's window until it has shown two different pictures,
// each more than one flat colour, then closes it as the close box does.
// While the picture stays the same it presses the Right arrow key now and
// then, as a player would, so that a screen at rest changes too. Prints
// "drawing" when it saw them and "still" or "blank" when the time ran out
// first ("no window" when none appeared).
// Usage: window_watch TITLE WAIT_SECONDS
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/support/x_windows.h"

namespace {

// A window that is not viewable yet cannot be read: that is not an error here.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

// The window's pixels as bytes, or empty when they can't be read.
std::string Grab(Display* display, Window window) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a) || a.map_state != IsViewable) return {};
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(a.width),
                              static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (!image) return {};
    std::string pixels;
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const unsigned long p = XGetPixel(image, x, y) & 0xFFFFFF;
            pixels.append(reinterpret_cast<const char*>(&p), 3);
        }
    }
    XDestroyImage(image);
    return pixels;
}

// A key pressed, held for a tenth of a second (a few of the game's
// updates: menus act on keys held at an update) and let go, sent to the
// window as the keyboard would.
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

bool Flat(const std::string& pixels) {
    for (std::size_t i = 3; i < pixels.size(); i += 3) {
        if (pixels.compare(i, 3, pixels, 0, 3) != 0) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_watch TITLE WAIT_SECONDS\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 3;
    XSetErrorHandler(IgnoreErrors);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[2]));
    auto time_left = [&] { return std::chrono::steady_clock::now() < deadline; };
    auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); };

    Window window = 0;
    while (!(window = FindWindowByTitle(display, DefaultRootWindow(display), argv[1]))) {
        if (!time_left()) {
            std::printf("no window\n");
            return 0;
        }
        pause();
    }
    std::string first;
    const char* verdict = "blank";
    for (int polls = 0; time_left(); ++polls) {
        const std::string now = Grab(display, window);
        if (!now.empty() && !Flat(now)) {
            if (first.empty()) {
                first = now;
                verdict = "still";
            } else if (now != first) {
                verdict = "drawing";
                break;
            }
        }
        if (!first.empty() && polls % 25 == 0) PressKey(display, window, XK_Right);
        pause();
    }
    std::printf("%s\n", verdict);
    std::fflush(stdout);
    SendCloseRequest(display, window);
    XCloseDisplay(display);
    return 0;
}
