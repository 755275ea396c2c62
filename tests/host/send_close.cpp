// Asks a window to close the way a desktop's close box does: a
// WM_DELETE_WINDOW client message. Waits up to the given seconds for a
// window with the given title to appear.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "tests/support/x_windows.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: send_close TITLE WAIT_SECONDS\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 3;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[2]));
    Window window = 0;
    while (!(window = FindWindowByTitle(display, DefaultRootWindow(display), argv[1]))) {
        if (std::chrono::steady_clock::now() > deadline) return 4;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    SendCloseRequest(display, window);
    XCloseDisplay(display);
    return 0;
}
