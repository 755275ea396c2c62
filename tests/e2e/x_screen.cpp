#include "tests/e2e/x_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#include "tests/support/x_windows.h"

namespace {

// A window may vanish between finding it and reading it (the game re-creates
// its window to change to full screen): such errors are expected, not fatal.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

// Calls f(x, y) for every pixel of the rectangle within the picture, and
// returns how many there were (at least 1).
template <class F>
int Each(const Picture& p, Rect r, F f) {
    const int x0 = std::max(0, r.x), y0 = std::max(0, r.y);
    const int x1 = std::min(p.width, r.x + r.w), y1 = std::min(p.height, r.y + r.h);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) f(x, y);
    }
    return std::max(1, std::max(0, x1 - x0) * std::max(0, y1 - y0));
}

}  // namespace

Rgb Picture::Mean(Rect r) const {
    long sum[3] = {0, 0, 0};
    const int n = Each(*this, r, [&](int x, int y) {
        const Rgb c = At(x, y);
        sum[0] += c.r;
        sum[1] += c.g;
        sum[2] += c.b;
    });
    return {static_cast<int>(sum[0] / n), static_cast<int>(sum[1] / n), static_cast<int>(sum[2] / n)};
}

double Picture::Brightness(Rect r) const {
    const Rgb m = Mean(r);
    return (m.r + m.g + m.b) / 3.0;
}

double Picture::Difference(const Picture& other, Rect r) const {
    if (width != other.width || height != other.height) return 255;
    double sum = 0;
    const int n = Each(*this, r, [&](int x, int y) {
        const Rgb a = At(x, y), b = other.At(x, y);
        sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    });
    return sum / 3 / n;
}

bool Picture::SavePng(const std::string& path) const {
    std::vector<unsigned char> bytes;
    for (const Rgb& c : pixels) {
        bytes.insert(bytes.end(), {static_cast<unsigned char>(c.r), static_cast<unsigned char>(c.g),
                                   static_cast<unsigned char>(c.b)});
    }
    return !empty() && stbi_write_png(path.c_str(), width, height, 3, bytes.data(), width * 3) != 0;
}

XScreen::XScreen() {
    display_ = XOpenDisplay(nullptr);
    XSetErrorHandler(IgnoreErrors);
}

XScreen::~XScreen() {
    if (display_) XCloseDisplay(display_);
}

unsigned long XScreen::FindByTitle(const std::string& title) {
    return display_ ? FindWindowByTitle(display_, DefaultRootWindow(display_), title.c_str()) : 0;
}

unsigned long XScreen::FindBySize(int width, int height) {
    Window root = 0, parent = 0, *children = nullptr, found = 0;
    unsigned count = 0;
    if (!display_ || !XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(display_, children[i], &a) && a.map_state == IsViewable && a.width == width &&
            a.height == height) {
            found = children[i];
        }
    }
    if (children) XFree(children);
    return found;
}

Picture XScreen::Grab(unsigned long window) {
    Picture p;
    XWindowAttributes a;
    if (!display_ || !XGetWindowAttributes(display_, window, &a) || a.map_state != IsViewable) return p;
    XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(a.width),
                              static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (!image) return p;
    p.width = a.width;
    p.height = a.height;
    p.pixels.resize(static_cast<std::size_t>(p.width) * p.height);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const int v = static_cast<int>(XGetPixel(image, x, y) & 0xFFFFFF);
            p.pixels[static_cast<std::size_t>(y) * p.width + x] = {v >> 16, v >> 8 & 0xFF, v & 0xFF};
        }
    }
    XDestroyImage(image);
    return p;
}
