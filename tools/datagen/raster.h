// Drawing helpers shared by the image products: reading and blending pixels,
// pixel sprites written as text, the edge-preserving pixel-art enlarger, and
// anti-aliased shapes given as signed distances, which smooth pictures use to
// draw themselves natively at every resolution.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <type_traits>
#include <utility>
#include <vector>

#include "tools/datagen/image.h"

// ---- Colours -------------------------------------------------------------

constexpr Rgba kClear{0, 0, 0, 0};

constexpr Rgba Hex(std::uint32_t rgb, std::uint8_t a = 255) {
    return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
            static_cast<std::uint8_t>(rgb), a};
}

// Linear mix of two colours, alpha included; t in 0..1.
Rgba Mix(Rgba a, Rgba b, double t);
Rgba WithAlpha(Rgba c, double alpha);

// ---- Pixels --------------------------------------------------------------

Rgba Pixel(const Image& image, int x, int y);
// Source-over compositing of c, weighted by coverage (0..1), in straight alpha.
void Blend(Image& image, int x, int y, Rgba c, double coverage = 1.0);
void FillRect(Image& image, int x, int y, int w, int h, Rgba c);
// Copies a w x h block, replacing what was there.
void Copy(const Image& from, int fx, int fy, Image& to, int tx, int ty, int w, int h);
// Blends a block over what is there.
void Paste(const Image& from, int fx, int fy, Image& to, int tx, int ty, int w, int h);

// ---- Deterministic noise -------------------------------------------------

// A well-mixed 32-bit hash: the same inputs give the same value everywhere.
std::uint32_t Hash(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0);
// Hash as a double in [0, 1).
double Noise(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0);

// ---- Pixel sprites -------------------------------------------------------

// Maps the characters of a text sprite to colours; '.' and ' ' stay clear.
struct Palette {
    std::vector<std::pair<char, Rgba>> entries;
    Palette(std::initializer_list<std::pair<char, Rgba>> list) : entries(list) {}
    Rgba operator[](char c) const;  // throws on an unknown character
};

// Draws rows of text, one character a pixel, with its top-left at (x, y).
// With mirror set the rows are read right to left.
void Stamp(Image& image, int x, int y, const std::vector<const char*>& rows, const Palette& palette,
           bool mirror = false);

// Adds a one-pixel outline of colour c around everything opaque in a
// w x h block (8-neighbourhood), without touching the opaque pixels.
void Outline(Image& image, int x, int y, int w, int h, Rgba c);

// Doubles an image made of frame_w x frame_h frames with the edge-preserving
// Scale2x rule. Each frame is treated as a tile that wraps around, so frames
// never borrow pixels from their neighbours and tiles still tile afterwards.
Image Scale2x(const Image& image, int frame_w, int frame_h);

// ---- Anti-aliased shapes -------------------------------------------------

struct Vec {
    double x, y;
};
inline Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
inline Vec operator*(Vec a, double s) { return {a.x * s, a.y * s}; }
inline double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
inline double Length(Vec a) { return std::sqrt(Dot(a, a)); }
Vec Rotate(Vec p, double degrees);  // clockwise on screen (y down)
Vec Polar(double degrees, double radius);  // 0 = up, clockwise

// Signed distances in design units: negative inside, positive outside.
inline double SdCircle(Vec p, Vec c, double r) { return Length(p - c) - r; }
double SdBox(Vec p, Vec c, Vec half, double radius = 0);
double SdSegment(Vec p, Vec a, Vec b, double r);  // a capsule of radius r
double SdPolygon(Vec p, const Vec* v, std::size_t n);
inline double SdPolygon(Vec p, const std::vector<Vec>& v) { return SdPolygon(p, v.data(), v.size()); }
template <std::size_t N>
double SdPolygon(Vec p, const Vec (&v)[N]) {
    return SdPolygon(p, v, N);
}
double SdStar(Vec p, Vec c, int points, double outer, double inner, double turn = 0);
double SdHeart(Vec p, Vec c, double size);
// Ring of radius r and half thickness t, between angles a0 and a1 (degrees,
// 0 = up, clockwise; a1 > a0); a full ring when a1 - a0 >= 360.
double SdArc(Vec p, Vec c, double r, double t, double a0, double a1);
inline double Union(double a, double b) { return std::min(a, b); }
inline double Cut(double a, double b) { return std::max(a, -b); }
inline double Meet(double a, double b) { return std::max(a, b); }

// A window of an image in which a shape is drawn in design units: design
// point (0, 0) is the window's top-left corner and one design unit is
// `scale` pixels. Drawing never leaves the window.
struct Canvas {
    Image* image;
    int x0, y0, w, h;  // the window, in pixels
    double scale;

    // Blends colour(p) (or a plain colour) wherever sd(p) < 0, with coverage
    // from the distance, testing only the design-unit box [bx0, bx1] x [by0, by1].
    template <class Sd, class Colour>
    void Fill(double bx0, double by0, double bx1, double by1, Sd sd, Colour colour) const {
        const int px0 = std::max(0, static_cast<int>(std::floor(bx0 * scale)) - 1);
        const int py0 = std::max(0, static_cast<int>(std::floor(by0 * scale)) - 1);
        const int px1 = std::min(w - 1, static_cast<int>(std::ceil(bx1 * scale)) + 1);
        const int py1 = std::min(h - 1, static_cast<int>(std::ceil(by1 * scale)) + 1);
        // Distances change no faster than the distance travelled, so one
        // test at the middle of a block of pixels tells whether the edge can
        // cross it; blocks well inside or outside skip the per-pixel work.
        // The margin allows for the shapes whose distance is only near-exact.
        constexpr int kBlock = 8;
        const double reach = 1.5 * (kBlock * 0.7072 + 1) / scale;
        for (int by = py0; by <= py1; by += kBlock) {
            for (int bx = px0; bx <= px1; bx += kBlock) {
                const int ex = std::min(bx + kBlock - 1, px1), ey = std::min(by + kBlock - 1, py1);
                const double mid = sd(Vec{(bx + ex + 1) * 0.5 / scale, (by + ey + 1) * 0.5 / scale});
                if (mid > reach) continue;
                const bool solid = mid < -reach;
                for (int py = by; py <= ey; ++py) {
                    for (int px = bx; px <= ex; ++px) {
                        const Vec p{(px + 0.5) / scale, (py + 0.5) / scale};
                        const double cover = solid ? 1.0 : std::clamp(0.5 - sd(p) * scale, 0.0, 1.0);
                        if (cover <= 0) continue;
                        if constexpr (std::is_same_v<Colour, Rgba>) {
                            Blend(*image, x0 + px, y0 + py, colour, cover);
                        } else {
                            Blend(*image, x0 + px, y0 + py, colour(p), cover);
                        }
                    }
                }
            }
        }
    }
    // The whole window, for shapes that do not bother with a box.
    template <class Sd, class Colour>
    void Fill(Sd sd, Colour colour) const {
        Fill(0, 0, w / scale, h / scale, sd, colour);
    }
};

// A design-unit box for Canvas::Fill.
struct Box {
    double x0, y0, x1, y1;
    Box Grow(double d) const { return {x0 - d, y0 - d, x1 + d, y1 + d}; }
};
inline Box Around(Vec c, double r) { return {c.x - r, c.y - r, c.x + r, c.y + r}; }

template <class Sd, class Colour>
void Fill(const Canvas& canvas, Box box, Sd sd, Colour colour) {
    canvas.Fill(box.x0, box.y0, box.x1, box.y1, sd, colour);
}

// A shape in the house style of the smooth art: a soft drop shadow, a dark
// ink rim of `rim` design units, then the fill.
template <class Sd, class Colour>
void Inked(const Canvas& canvas, Box box, Sd sd, Colour colour, double rim = 1.5, Rgba ink = Hex(0x1e1a2c)) {
    const Vec drop{rim * 0.6, rim * 0.9};
    Fill(canvas, box.Grow(rim * 2), [&](Vec p) { return sd(p - drop) - rim; }, WithAlpha(ink, 0.35));
    Fill(canvas, box.Grow(rim), [&](Vec p) { return sd(p) - rim; }, ink);
    Fill(canvas, box, sd, colour);
}

// Copies a w x h block of pixel art enlarged `factor` times without any
// smoothing, blending it over what is there.
void PasteScaled(const Image& from, int fx, int fy, int w, int h, Image& to, int tx, int ty, int factor);
