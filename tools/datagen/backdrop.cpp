// The menu backdrops ("menu", four 256 x 256 frames in a 2 x 2 grid): the
// garden seen from its lawn, by day (frame 0, behind the title and faintly
// behind play), at sunset, at night and in autumn. Pixel art with ordered
// dithering, enlarged like the sprites.
#include <cmath>

#include "tools/datagen/art_palette.h"
#include "tools/datagen/images.h"
#include "tools/datagen/raster.h"

namespace {

using namespace pal;

constexpr int kSize = 256;
constexpr int kHorizon = 118;

struct Scene {
    Rgba sky[4];  // top to horizon
    Rgba light;   // sun or moon
    bool night, low_sun;
    Rgba cloud, cloud_shade;
    Rgba far_hill, near_hill, near_hill_top;
    Rgba tree_dark, tree_mid, tree_light, trunk;
    Rgba hedge_dark, hedge_mid, hedge_light;
    Rgba lawn_a, lawn_b, path, path_dark;
    Rgba blooms[4];
};

// Darkens and tints a day colour toward `tint`.
Rgba Shift(Rgba c, Rgba tint, double t) { return Mix(c, tint, t); }

Scene MakeScene(int variant) {
    Scene s{{Hex(0x5aa8e8), Hex(0x7cc0f0), kSky, kSkyPale}, kYellow, false, false, kWhite, Hex(0xc8dcec),
            Hex(0x7cb48c), kLeaf3, kLeaf4, kLeaf1, kLeaf2, kLeaf3, kSoil1, kLeaf0, kLeaf2, kLeaf3,
            Hex(0x5aa040), Hex(0x66ac48), kSand, kSoil3, {kRed, kYellow, kWhite, kPink}};
    auto all = [&](Rgba tint, double t) {
        for (Rgba* c : {&s.cloud, &s.cloud_shade, &s.far_hill, &s.near_hill, &s.near_hill_top, &s.tree_dark,
                        &s.tree_mid, &s.tree_light, &s.trunk, &s.hedge_dark, &s.hedge_mid, &s.hedge_light,
                        &s.lawn_a, &s.lawn_b, &s.path, &s.path_dark}) {
            *c = Shift(*c, tint, t);
        }
        for (Rgba& c : s.blooms) c = Shift(c, tint, t * 0.7);
    };
    switch (variant) {
        case 1:  // sunset
            s.sky[0] = Hex(0x4a3c8c);
            s.sky[1] = Hex(0xa85a96);
            s.sky[2] = Hex(0xf08a6a);
            s.sky[3] = Hex(0xffc878);
            s.light = Hex(0xffe08a);
            s.low_sun = true;
            all(Hex(0x7a3a5a), 0.3);
            s.cloud = Hex(0xffb890);
            s.cloud_shade = Hex(0xc8708a);
            break;
        case 2:  // night
            s.sky[0] = Hex(0x12122e);
            s.sky[1] = Hex(0x1c1e48);
            s.sky[2] = Hex(0x2a3064);
            s.sky[3] = Hex(0x3a4a7c);
            s.light = kYellowPale;
            s.night = true;
            all(Hex(0x161c40), 0.58);
            break;
        case 3:  // autumn
            s.sky[0] = Hex(0x6a9ad0);
            s.sky[2] = Hex(0xb4d4e8);
            s.sky[3] = Hex(0xe8e4d0);
            s.tree_dark = Hex(0x8a3a18);
            s.tree_mid = Hex(0xd0641e);
            s.tree_light = Hex(0xf4a83a);
            s.hedge_mid = Hex(0x6a8a2a);
            s.hedge_light = Hex(0xa8b43a);
            s.lawn_a = Hex(0x8aa040);
            s.lawn_b = Hex(0x98aa48);
            s.near_hill = Hex(0x9aae4a);
            s.near_hill_top = Hex(0xc8cc6a);
            s.blooms[0] = kOrange;
            s.blooms[3] = kRedDark;
            break;
        default: break;
    }
    return s;
}

// 4 x 4 ordered dither thresholds.
double Bayer(int x, int y) {
    static const int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (m[y & 3][x & 3] + 0.5) / 16;
}

// Picks along a ramp of colours with dithering between neighbours.
Rgba Ramp(const Rgba* ramp, int n, double t, int x, int y) {
    const double f = std::clamp(t, 0.0, 1.0) * (n - 1);
    const int i = std::min(static_cast<int>(f), n - 2);
    return f - i > Bayer(x, y) ? ramp[i + 1] : ramp[i];
}

double FarHill(int x) { return 104 + 9 * std::sin(x * 0.024 + 1.0) + 4 * std::sin(x * 0.071 + 0.3); }
double NearHill(int x) { return 124 + 7 * std::sin(x * 0.031 + 2.2) + 3 * std::sin(x * 0.093); }

void Put(Image& img, int ox, int oy, int x, int y, Rgba c) {
    if (x >= 0 && y >= 0 && x < kSize && y < kSize) img.Set(ox + x, oy + y, c);
}

void DrawScene(Image& img, int ox, int oy, const Scene& s) {
    // Sky, hills and lawn, row by row.
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            Rgba c = Ramp(s.sky, 4, double(y) / kHorizon, x, y);
            if (y >= FarHill(x)) c = s.far_hill;
            const double near = NearHill(x);
            if (y >= near) c = y < near + 2 ? s.near_hill_top : s.near_hill;
            if (y >= 170) {
                // Mown stripes that widen toward the viewer.
                const int band = static_cast<int>(std::sqrt(y - 170.0) * 2.2);
                const Rgba stripe[2] = {s.lawn_a, s.lawn_b};
                c = stripe[band % 2];
                if (Noise(x, y, 99) < 0.04) c = Mix(c, s.hedge_light, 0.5);
            }
            Put(img, ox, oy, x, y, c);
        }
    }
    // Stars at night.
    if (s.night) {
        for (int i = 0; i < 70; ++i) {
            const int x = static_cast<int>(Noise(i, 1, 5) * kSize), y = static_cast<int>(Noise(i, 2, 5) * 100);
            if (y < FarHill(x) - 4) Put(img, ox, oy, x, y, i % 5 ? kGrey1 : kWhite);
        }
    }
    // The sun (low and large at sunset) or the moon.
    const double lx = s.low_sun ? 64 : 196, ly = s.low_sun ? 100 : 40, lr = s.low_sun ? 18 : 13;
    for (int y = static_cast<int>(ly - lr - 6); y <= ly + lr + 6; ++y) {
        for (int x = static_cast<int>(lx - lr - 6); x <= lx + lr + 6; ++x) {
            const double d = std::hypot(x + 0.5 - lx, y + 0.5 - ly);
            if (y >= FarHill(x)) continue;
            if (d < lr) {
                Rgba c = s.light;
                if (s.night && (std::hypot(x - lx + 4, y - ly + 3) < 3 || std::hypot(x - lx - 4, y - ly - 4) < 2)) {
                    c = kGrey1;
                }
                Put(img, ox, oy, x, y, c);
            } else if (d < lr + 5 && (d - lr) / 5 < Bayer(x, y) * 0.9) {
                Put(img, ox, oy, x, y, Mix(s.light, Pixel(img, ox + x, oy + y), 0.5));
            }
        }
    }
    // Clouds: clusters of round puffs with a shaded underside.
    const double clouds[][3] = {{40, 30, 1.0}, {128, 52, 0.8}, {232, 76, 0.7}};
    if (!s.night) {
        for (const auto& cl : clouds) {
            const double puffs[][3] = {{-14, 3, 7}, {-4, -3, 9}, {8, 0, 8}, {17, 4, 6}};
            for (int y = -16; y <= 14; ++y) {
                for (int x = -26; x <= 26; ++x) {
                    bool in = false, low = false;
                    for (const auto& p : puffs) {
                        const double r = p[2] * cl[2];
                        if (std::hypot(x - p[0] * cl[2], y - p[1] * cl[2]) < r) in = true;
                    }
                    if (!in) continue;
                    low = y > 4 * cl[2];
                    Put(img, ox, oy, static_cast<int>(cl[0]) + x, static_cast<int>(cl[1]) + y, low ? s.cloud_shade : s.cloud);
                }
            }
        }
    }
    // Round trees on the hills.
    const double trees[][3] = {{16, 0, 12}, {46, 0, 9}, {168, 0, 10}, {214, 0, 13}, {246, 0, 8}};
    for (const auto& t : trees) {
        const int tx = static_cast<int>(t[0]);
        const double r = t[2];
        const double base = NearHill(tx) + 2;
        const double cy = base - r - 6;
        for (int y = static_cast<int>(cy + r); y < base; ++y) {
            for (int x = tx - 1; x <= tx + 1; ++x) Put(img, ox, oy, x, y, s.trunk);
        }
        for (int y = static_cast<int>(cy - r); y <= cy + r; ++y) {
            for (int x = static_cast<int>(tx - r); x <= tx + r; ++x) {
                const double dx = x + 0.5 - tx, dy = y + 0.5 - cy;
                const double d = std::hypot(dx, dy * 1.1) / r;
                if (d > 1) continue;
                const double light = (dx + dy) / r + (Noise(x, y, 11) - 0.5) * 0.5;
                Put(img, ox, oy, x, y, light < -0.6 ? s.tree_light : light < 0.4 ? s.tree_mid : s.tree_dark);
            }
        }
    }
    // The garden hedge: two rows of round clipped bushes, lit from the upper
    // left like the hedges of the game, with an arched gate in the middle.
    for (int row = 0; row < 3; ++row) {
        const double cy = 146 + row * 9, r = 8 + row;
        for (int i = -1; i < 28; ++i) {
            const double cx = i * 10 + (row % 2) * 5 + (Noise(i, row, 41) - 0.5) * 3;
            for (int y = static_cast<int>(cy - r); y <= cy + r; ++y) {
                for (int x = static_cast<int>(cx - r); x <= cx + r; ++x) {
                    const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                    if (dx * dx + dy * dy > r * r || y >= 172) continue;
                    const double light = (dx * 0.7 + dy) / r + (Noise(x, y, 43) - 0.5) * 0.35;
                    Put(img, ox, oy, x, y, light < -0.75 ? s.hedge_light : light < 0.35 ? s.hedge_mid : s.hedge_dark);
                }
            }
        }
    }
    for (int y = 140; y < 172; ++y) {
        for (int x = 116; x < 141; ++x) {
            const double d = std::hypot(x + 0.5 - 128, std::min(0.0, y + 0.5 - 156));
            if (d > 10.5) continue;
            Put(img, ox, oy, x, y, d > 9 ? s.hedge_dark : Mix(s.hedge_dark, kInk, 0.55));
        }
    }
    // The path from the viewer to the gate.
    for (int y = 172; y < kSize; ++y) {
        const double half = 11 + (y - 172) * 0.55;
        for (int x = static_cast<int>(128 - half); x <= 128 + half; ++x) {
            const double edge = half - std::abs(x + 0.5 - 128);
            Rgba c = edge < 1.5 ? s.path_dark : s.path;
            if (Noise(x, y, 17) < 0.06) c = s.path_dark;
            Put(img, ox, oy, x, y, c);
        }
    }
    // Flower beds along both sides of the path.
    for (int side = -1; side <= 1; side += 2) {
        for (int y = 196; y < kSize; ++y) {
            const double inner = 128 + side * (18 + (y - 172) * 0.55);
            for (int i = 0; i < 26; ++i) {
                const int x = static_cast<int>(inner + side * i);
                const double bed = std::sin((y - 196) * 0.08) * 4 + 22;
                if (i > bed) continue;
                Rgba c = Noise(x, y / 2, 23) < 0.5 ? s.hedge_dark : s.hedge_mid;
                Put(img, ox, oy, x, y, c);
            }
        }
        for (int f = 0; f < 46; ++f) {
            const int y = 198 + static_cast<int>(Noise(f, side + 5, 29) * 56);
            const double inner = 128 + side * (20 + (y - 172) * 0.55);
            const int x = static_cast<int>(inner + side * Noise(f, side + 5, 31) * 18);
            const Rgba c = s.blooms[f % 4];
            Put(img, ox, oy, x, y, c);
            Put(img, ox, oy, x + 1, y, c);
            Put(img, ox, oy, x, y + 1, Mix(c, s.hedge_dark, 0.4));
            Put(img, ox, oy, x + 1, y - 1, Mix(c, kWhite, 0.3));
        }
    }
    // Two clipped balls of box beside the gate.
    for (int side = -1; side <= 1; side += 2) {
        const double cx = 128 + side * 26, cy = 177, r = 8;
        for (int y = static_cast<int>(cy - r); y <= cy + r; ++y) {
            for (int x = static_cast<int>(cx - r); x <= cx + r; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                if (std::hypot(dx, dy) > r) continue;
                const double light = (dx + dy) / r;
                Put(img, ox, oy, x, y, light < -0.7 ? s.hedge_light : light < 0.5 ? s.hedge_mid : s.hedge_dark);
            }
        }
    }
}

}  // namespace

Image DrawBackdrops() {
    Image img(kSize * 2, kSize * 2);
    for (int v = 0; v < 4; ++v) DrawScene(img, v % 2 * kSize, v / 2 * kSize, MakeScene(v));
    return img;
}
