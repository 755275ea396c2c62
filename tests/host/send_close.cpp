// Asks a window to close the way a desktop's close box does: a
// WM_DELETE_WINDOW client message. Waits up to the given seconds for a
// window with the given title to appear. Prints the window's size.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "tests/support/x_windows.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: send_close TITLE WAIT_SECONDS [--no-close]\n");
        return 2;
    }
    const char* title = argv[1];
    const double wait = std::atof(argv[2]);
    const bool close = !(argc > 3 && std::strcmp(argv[3], "--no-close") == 0);
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 3;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(wait);
    Window window = 0;
    while (!(window = FindWindowByTitle(display, DefaultRootWindow(display), title))) {
        if (std::chrono::steady_clock::now() > deadline) return 4;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    std::printf("%dx%d\n", attributes.width, attributes.height);
    std::fflush(stdout);
    if (close) SendCloseRequest(display, window);
    XCloseDisplay(display);
    return 0;
}
