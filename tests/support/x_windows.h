// Finding a top-level window of the virtual display by its title, and asking
// it to close the way a desktop's close box does (a WM_DELETE_WINDOW client
// message). For test programs that talk to the display themselves.
#pragma once
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstring>

// The first window at or below root whose title is title; 0 when none.
inline Window FindWindowByTitle(Display* display, Window root, const char* title) {
    char* name = nullptr;
    const bool match = XFetchName(display, root, &name) && name && std::strcmp(name, title) == 0;
    if (name) XFree(name);
    if (match) return root;
    Window parent = 0, root_return = 0, *children = nullptr, found = 0;
    unsigned count = 0;  // stays 0 when the window has gone
    XQueryTree(display, root, &root_return, &parent, &children, &count);
    for (unsigned i = 0; i < count && !found; ++i) found = FindWindowByTitle(display, children[i], title);
    if (children) XFree(children);
    return found;
}

inline void SendCloseRequest(Display* display, Window window) {
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
