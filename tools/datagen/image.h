// An RGBA picture in memory, eight bits a channel, rows top to bottom: what
// every product draws into before it is written out.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgba {
    std::uint8_t r, g, b, a;
};

class Image {
public:
    // Starts fully transparent.
    Image(int width, int height)
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height * 4, 0) {}

    int width() const { return width_; }
    int height() const { return height_; }
    const std::uint8_t* data() const { return pixels_.data(); }

    // Out-of-range coordinates throw: a drawing slip must stop the build,
    // not land in a neighbouring frame.
    void Set(int x, int y, Rgba c) {
        const std::size_t i = Index(x, y);
        pixels_.at(i) = c.r;
        pixels_.at(i + 1) = c.g;
        pixels_.at(i + 2) = c.b;
        pixels_.at(i + 3) = c.a;
    }

private:
    std::size_t Index(int x, int y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return pixels_.size();
        return (static_cast<std::size_t>(y) * width_ + x) * 4;
    }

    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};
