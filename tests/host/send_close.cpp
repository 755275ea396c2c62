// Asks a window to close the way a desktop's close box does: a
// WM_DELETE_WINDOW client message. Waits up to the given seconds for a
// window with the given title to appear. Prints the window's size.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

static Window find_window(Display* display, Window root, const char* title) {
    char* name = nullptr;
    if (XFetchName(display, root, &name) && name) {
        const bool match = std::strcmp(name, title) == 0;
        XFree(name);
        if (match) return root;
    }
    Window parent, *children = nullptr;
    Window root_return;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, root, &root_return, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) found = find_window(display, children[i], title);
        if (children) XFree(children);
    }
    return found;
}

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
    while (!(window = find_window(display, DefaultRootWindow(display), title))) {
        if (std::chrono::steady_clock::now() > deadline) return 4;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    std::printf("%dx%d\n", attributes.width, attributes.height);
    std::fflush(stdout);
    if (close) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XFlush(display);
    }
    XCloseDisplay(display);
    return 0;
}
