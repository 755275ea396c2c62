// Finding a program's window on the X display and closing it as a
// desktop's close box does, for tests that run the real program.
#pragma once
#include <X11/Xlib.h>

#include <cstring>

namespace x11_window {

// The first window, depth first from `root`, whose name is `title`; 0 if none.
inline Window Find(Display* display, Window root, const char* title) {
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
        for (unsigned i = 0; i < count && !found; ++i) found = Find(display, children[i], title);
        if (children) XFree(children);
    }
    return found;
}

// The WM_DELETE_WINDOW client message a window manager sends for the
// close box.
inline void SendClose(Display* display, Window window) {
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

}  // namespace x11_window
