#include "tests/e2e/x_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#include "tests/support/x_windows.h"

namespace {

// Calls f(a, b) for every pixel of the rectangle within picture a and the
// same one of b, and returns how many there were (at least 1).
template <class F>
int Each(const Picture& a, const Picture& b, Rect r, F f) {
    const int x0 = std::max(0, r.x), y0 = std::max(0, r.y);
    const int x1 = std::min(a.width, r.x + r.w), y1 = std::min(a.height, r.y + r.h);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) f(a.At(x, y), b.At(x, y));
    }
    return std::max(1, std::max(0, x1 - x0) * std::max(0, y1 - y0));
}

}  // namespace

Rgb Picture::Mean(Rect r) const {
    Rgb sum;
    const int n = Each(*this, *this, r, [&](Rgb c, Rgb) { sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b}; });
    return {sum.r / n, sum.g / n, sum.b / n};
}

double Picture::Difference(const Picture& other, Rect r) const {
    if (width != other.width || height != other.height) return 255;
    double sum = 0;
    const int n = Each(*this, other, r, [&](Rgb a, Rgb b) {
        sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    });
    return sum / 3 / n;
}

void Picture::SavePng(const std::string& path) const {
    std::vector<unsigned char> bytes;
    for (const Rgb& c : pixels) bytes.insert(bytes.end(), {std::uint8_t(c.r), std::uint8_t(c.g), std::uint8_t(c.b)});
    if (!empty()) stbi_write_png(path.c_str(), width, height, 3, bytes.data(), width * 3);
}

// A window may vanish between finding it and reading it (the game re-creates
// its window to change to full screen): such errors are expected, not fatal.
XScreen::XScreen() : display_(XOpenDisplay(nullptr), XCloseDisplay) {
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
}

unsigned long XScreen::FindByTitle(const std::string& title) {
    return FindWindowByTitle(display(), DefaultRootWindow(display()), title.c_str());
}

unsigned long XScreen::FindBySize(int width, int height) {
    Window root = 0, parent = 0, *children = nullptr, found = 0;
    unsigned count = 0;
    XQueryTree(display(), DefaultRootWindow(display()), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes a;
        const bool fits = XGetWindowAttributes(display(), children[i], &a) && a.map_state == IsViewable;
        if (fits && a.width == width && a.height == height) found = children[i];
    }
    if (children) XFree(children);
    return found;
}

Picture XScreen::Grab(unsigned long window) {
    Picture p;
    XWindowAttributes a;
    if (!XGetWindowAttributes(display(), window, &a) || a.map_state != IsViewable) return p;
    XImage* image = XGetImage(display(), window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!image) return p;
    p.width = a.width;
    p.height = a.height;
    for (int i = 0; i < p.width * p.height; ++i) {
        const int v = static_cast<int>(XGetPixel(image, i % p.width, i / p.width) & 0xFFFFFF);
        p.pixels.push_back({v >> 16, v >> 8 & 0xFF, v & 0xFF});
    }
    XDestroyImage(image);
    return p;
}
