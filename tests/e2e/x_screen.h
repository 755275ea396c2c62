// The virtual display as the player sees it: windows found by their title
// or size, and the pictures they show read back as pixels. Input goes
// through xdotool, never through here.
#pragma once
#include <memory>
#include <string>
#include <vector>

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct Rect { int x, y, w, h; };

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;  // rows top first

    bool empty() const { return pixels.empty(); }
    Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    // The average colour of a rectangle (clipped to the picture).
    Rgb Mean(Rect r) const;
    // The mean of (r + g + b) / 3 over a rectangle.
    double Brightness(Rect r) const { const Rgb m = Mean(r); return (m.r + m.g + m.b) / 3.0; }
    // The mean absolute difference per channel between two pictures of the
    // same size over a rectangle; large when the sizes differ.
    double Difference(const Picture& other, Rect r) const;
    void SavePng(const std::string& path) const;
};

class XScreen {
public:
    XScreen();

    // The other calls need a display.
    bool Connected() const { return display_ != nullptr; }
    struct _XDisplay* display() const { return display_.get(); }
    // 0 when there is no such window.
    unsigned long FindByTitle(const std::string& title);
    // A mapped window that is a direct child of the root, of exactly this size.
    unsigned long FindBySize(int width, int height);
    // What the window shows now; empty when the window has gone.
    Picture Grab(unsigned long window);

private:
    std::unique_ptr<struct _XDisplay, int (*)(struct _XDisplay*)> display_;
};
