#include "tools/datagen/raster.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;

std::uint8_t Channel(double v) { return v <= 0 ? 0 : v >= 255 ? 255 : static_cast<std::uint8_t>(v + 0.5); }

// Scale2x compares colours exactly; every fully transparent pixel counts as
// the same colour whatever its hidden channels hold.
std::uint32_t Key(Rgba c) {
    if (c.a == 0) return 0;
    return (std::uint32_t{c.r} << 24) | (std::uint32_t{c.g} << 16) | (std::uint32_t{c.b} << 8) | c.a;
}

}  // namespace

Rgba Mix(Rgba a, Rgba b, double t) {
    return {Channel(a.r + (b.r - a.r) * t), Channel(a.g + (b.g - a.g) * t), Channel(a.b + (b.b - a.b) * t),
            Channel(a.a + (b.a - a.a) * t)};
}

Rgba WithAlpha(Rgba c, double alpha) { return {c.r, c.g, c.b, Channel(alpha * 255)}; }

Rgba Pixel(const Image& image, int x, int y) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) {
        throw std::out_of_range("pixel " + std::to_string(x) + "," + std::to_string(y) + " outside image");
    }
    const std::uint8_t* p = image.data() + (static_cast<std::size_t>(y) * image.width() + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

void Blend(Image& image, int x, int y, Rgba c, double coverage) {
    const double sa = c.a / 255.0 * std::clamp(coverage, 0.0, 1.0);
    if (sa <= 0) return;
    if (sa >= 1) {
        image.Set(x, y, {c.r, c.g, c.b, 255});
        return;
    }
    const Rgba d = Pixel(image, x, y);
    const double da = d.a / 255.0 * (1 - sa);
    const double a = sa + da;
    image.Set(x, y,
              {Channel((c.r * sa + d.r * da) / a), Channel((c.g * sa + d.g * da) / a),
               Channel((c.b * sa + d.b * da) / a), Channel(a * 255)});
}

void FillRect(Image& image, int x, int y, int w, int h, Rgba c) {
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) image.Set(i, j, c);
    }
}

void Copy(const Image& from, int fx, int fy, Image& to, int tx, int ty, int w, int h) {
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) to.Set(tx + i, ty + j, Pixel(from, fx + i, fy + j));
    }
}

void Paste(const Image& from, int fx, int fy, Image& to, int tx, int ty, int w, int h) {
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) Blend(to, tx + i, ty + j, Pixel(from, fx + i, fy + j));
    }
}

std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double Noise(std::uint32_t a, std::uint32_t b, std::uint32_t c) { return Hash(a, b, c) / 4294967296.0; }

Rgba Palette::operator[](char c) const {
    for (const auto& [key, colour] : entries) {
        if (key == c) return colour;
    }
    throw std::logic_error(std::string("sprite uses a character with no colour: '") + c + "'");
}

void Stamp(Image& image, int x, int y, const std::vector<const char*>& rows, const Palette& palette, bool mirror) {
    for (std::size_t j = 0; j < rows.size(); ++j) {
        const int n = static_cast<int>(std::strlen(rows[j]));
        for (int i = 0; i < n; ++i) {
            const char c = rows[j][mirror ? n - 1 - i : i];
            if (c == '.' || c == ' ') continue;
            Blend(image, x + i, y + static_cast<int>(j), palette[c]);
        }
    }
}

void Outline(Image& image, int x, int y, int w, int h, Rgba c) {
    std::vector<bool> solid(static_cast<std::size_t>(w) * h);
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) solid[j * w + i] = Pixel(image, x + i, y + j).a > 0;
    }
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            if (solid[j * w + i]) continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy) {
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    const int u = i + dx, v = j + dy;
                    near = u >= 0 && v >= 0 && u < w && v < h && solid[v * w + u];
                }
            }
            if (near) image.Set(x + i, y + j, c);
        }
    }
}

Image Scale2x(const Image& image, int frame_w, int frame_h) {
    if (image.width() % frame_w != 0 || image.height() % frame_h != 0) {
        throw std::logic_error("Scale2x: image is not a whole number of frames");
    }
    Image out(image.width() * 2, image.height() * 2);
    for (int fy = 0; fy < image.height(); fy += frame_h) {
        for (int fx = 0; fx < image.width(); fx += frame_w) {
            auto at = [&](int i, int j) {
                return Pixel(image, fx + (i + frame_w) % frame_w, fy + (j + frame_h) % frame_h);
            };
            for (int j = 0; j < frame_h; ++j) {
                for (int i = 0; i < frame_w; ++i) {
                    const Rgba e = at(i, j);
                    const std::uint32_t b = Key(at(i, j - 1)), d = Key(at(i - 1, j));
                    const std::uint32_t f = Key(at(i + 1, j)), h = Key(at(i, j + 1));
                    Rgba e0 = e, e1 = e, e2 = e, e3 = e;
                    if (b != h && d != f) {
                        if (d == b) e0 = at(i - 1, j);
                        if (b == f) e1 = at(i + 1, j);
                        if (d == h) e2 = at(i - 1, j);
                        if (h == f) e3 = at(i + 1, j);
                    }
                    const int ox = (fx + i) * 2, oy = (fy + j) * 2;
                    out.Set(ox, oy, e0);
                    out.Set(ox + 1, oy, e1);
                    out.Set(ox, oy + 1, e2);
                    out.Set(ox + 1, oy + 1, e3);
                }
            }
        }
    }
    return out;
}

// Shapes turn most points by the same few angles over and over; remembering
// the last ones saves most of the trigonometry.
struct Turns {
    struct Entry {
        double degrees = 1e300, c = 1, s = 0;
    } entries[8];
    unsigned next = 0;
    const Entry& Of(double degrees) {
        for (const Entry& e : entries) {
            if (e.degrees == degrees) return e;
        }
        Entry& e = entries[next++ % 8];
        const double r = degrees * kPi / 180;
        e = {degrees, std::cos(r), std::sin(r)};
        return e;
    }
};
thread_local Turns turns;

Vec Rotate(Vec p, double degrees) {
    const auto& t = turns.Of(degrees);
    return {p.x * t.c - p.y * t.s, p.x * t.s + p.y * t.c};
}

Vec Polar(double degrees, double radius) {
    const auto& t = turns.Of(degrees);
    return {t.s * radius, -t.c * radius};
}

double SdBox(Vec p, Vec c, Vec half, double radius) {
    const double qx = std::abs(p.x - c.x) - half.x + radius, qy = std::abs(p.y - c.y) - half.y + radius;
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
}

double SdSegment(Vec p, Vec a, Vec b, double r) {
    const Vec pa = p - a, ba = b - a;
    const double len2 = Dot(ba, ba);
    const double t = len2 > 0 ? std::clamp(Dot(pa, ba) / len2, 0.0, 1.0) : 0.0;
    return Length(pa - ba * t) - r;
}

double SdPolygon(Vec p, const Vec* v, std::size_t n) {
    double d = Dot(p - v[0], p - v[0]);
    double s = 1;
    for (std::size_t i = 0, j = n - 1; i < n; j = i, ++i) {
        const Vec e = v[j] - v[i], w = p - v[i];
        const Vec b = w - e * std::clamp(Dot(w, e) / Dot(e, e), 0.0, 1.0);
        d = std::min(d, Dot(b, b));
        const bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

double SdStar(Vec p, Vec c, int points, double outer, double inner, double turn) {
    // Fold the point into half of one spike, where the star is one edge from
    // the tip (straight up) to the notch beside it.
    const Vec q = p - c;
    const double r = Length(q);
    const double sector = 2 * kPi / points;
    double a = std::fmod(std::atan2(q.x, -q.y) - turn * kPi / 180 + 4 * kPi, sector);
    if (a > sector / 2) a = sector - a;
    const Vec f{std::sin(a) * r, -std::cos(a) * r};
    const Vec tip{0, -outer};
    const Vec notch{std::sin(sector / 2) * inner, -std::cos(sector / 2) * inner};
    const Vec e = notch - tip, w = f - tip;
    const Vec b = w - e * std::clamp(Dot(w, e) / Dot(e, e), 0.0, 1.0);
    const bool inside = e.x * w.y - e.y * w.x > 0;
    return inside ? -Length(b) : Length(b);
}

double SdHeart(Vec p, Vec c, double size) {
    // The classic two-arc heart in a unit frame with y up and the tip at 0.
    double x = std::abs(p.x - c.x) / size;
    double y = -(p.y - c.y) / size + 0.55;
    double d;
    if (x + y > 1) {
        d = std::hypot(x - 0.25, y - 0.75) - std::sqrt(2.0) / 4;
    } else {
        const double m = 0.5 * std::max(x + y, 0.0);
        d = std::sqrt(std::min(x * x + (y - 1) * (y - 1), (x - m) * (x - m) + (y - m) * (y - m))) *
            (x - y > 0 ? 1 : -1);
    }
    return d * size;
}

double SdArc(Vec p, Vec c, double r, double t, double a0, double a1) {
    const Vec q = p - c;
    const double ring = std::abs(Length(q) - r) - t;
    if (a1 - a0 >= 360) return ring;
    double ang = std::atan2(q.x, -q.y) * 180 / kPi;
    while (ang < a0) ang += 360;
    while (ang >= a0 + 360) ang -= 360;
    if (ang <= a1) return ring;
    const Vec e0 = c + Polar(a0, r), e1 = c + Polar(a1, r);
    return std::min(Length(p - e0), Length(p - e1)) - t;
}

void PasteScaled(const Image& from, int fx, int fy, int w, int h, Image& to, int tx, int ty, int factor) {
    for (int j = 0; j < h * factor; ++j) {
        for (int i = 0; i < w * factor; ++i) Blend(to, tx + i, ty + j, Pixel(from, fx + i / factor, fy + j / factor));
    }
}
