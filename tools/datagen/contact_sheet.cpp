// Puts every image of one resolution from a data folder on one sheet, for
// reviewing the art: each image on a checkerboard under its name, its frames
// pulled one pixel apart so that the frame grid shows.
//
//   contact_sheet DATA_DIR OUT.png [LEVEL] [--light]
//   contact_sheet DATA_DIR OUT.png --scene
//
// LEVEL is 1 (default), 2 or 4 and picks the files with no suffix, "-hd" or
// "-hd2"; --light puts the sheet on a light checkerboard instead of a dark one.
// --scene instead composes mock screens of a 640 x 480 window (title menu and
// play, side by side) the way the game places the pictures, to judge them
// together.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

#include "tools/datagen/default_font.h"
#include "tools/datagen/image_table.h"
#include "tools/datagen/png_writer.h"
#include "tools/datagen/raster.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMargin = 12;
constexpr int kLabel = 18;

Image Load(const fs::path& path) {
    int w = 0, h = 0, channels = 0;
    unsigned char* pixels = stbi_load(path.string().c_str(), &w, &h, &channels, 4);
    if (!pixels) throw std::runtime_error("cannot read " + path.string());
    Image image(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = pixels + (y * w + x) * 4;
            image.Set(x, y, {p[0], p[1], p[2], p[3]});
        }
    }
    stbi_image_free(pixels);
    return image;
}

// Labels in the framework's default font: 10-pixel cells, glyphs white.
void Text(Image& sheet, const Image& font, int x, int y, const std::string& text, Rgba colour) {
    for (char c : text) {
        const int code = static_cast<unsigned char>(c);
        const int frame = code >= 32 && code < 128 ? code - 32 : 0;
        for (int j = 0; j < font.height(); ++j) {
            for (int i = 1; i < 9; ++i) {
                if (Pixel(font, frame * 10 + i, j).a && x + i < sheet.width() && y + j < sheet.height()) {
                    sheet.Set(x + i - 1, y + j, colour);
                }
            }
        }
        x += 8;
    }
}

struct Panel {
    std::string label;
    Image image;
    int frame_w, frame_h, columns, rows;
    int width() const { return std::max(image.width() + columns - 1, static_cast<int>(label.size()) * 8); }
    int height() const { return kLabel + image.height() + rows - 1; }
};

// ---- Mock screens ----------------------------------------------------------------

// A loaded image with its design frame size, as the game holds it.
struct Sheet {
    Image image;
    int frame_w, frame_h;  // in file pixels
    int level;
};

struct Screen {
    Image image{640, 480};
    // Draws a frame centred on (x, y) at `size` design scale, tinted and
    // faded like the game's draw state; nearest-pixel sampling like the
    // renderer's.
    void Draw(const Sheet& s, int frame, double x, double y, double sx, double sy, Rgba tint = {255, 255, 255, 255},
              double alpha = 1) {
        const int columns = s.image.width() / s.frame_w;
        const int fx = frame % columns * s.frame_w, fy = frame / columns * s.frame_h;
        const double kx = sx / s.level, ky = sy / s.level;  // screen pixels per file pixel
        const double hw = s.frame_w * std::abs(kx) / 2, hh = s.frame_h * ky / 2;
        for (int py = std::max(0, int(y - hh)); py < std::min(480, int(y + hh) + 1); ++py) {
            for (int px = std::max(0, int(x - hw)); px < std::min(640, int(x + hw) + 1); ++px) {
                const int u = static_cast<int>(std::floor((px + 0.5 - x) / kx + s.frame_w / 2.0));
                const int v = static_cast<int>(std::floor((py + 0.5 - y) / ky + s.frame_h / 2.0));
                if (u < 0 || v < 0 || u >= s.frame_w || v >= s.frame_h) continue;
                const Rgba c = Pixel(s.image, fx + u, fy + v);
                Blend(image, px, py,
                      {static_cast<std::uint8_t>(c.r * tint.r / 255), static_cast<std::uint8_t>(c.g * tint.g / 255),
                       static_cast<std::uint8_t>(c.b * tint.b / 255), c.a},
                      alpha);
            }
        }
    }
    void Rect(double x, double y, double w, double h, Rgba c, double alpha) {
        for (int py = std::max(0, int(y)); py < std::min(480, int(y + h)); ++py) {
            for (int px = std::max(0, int(x)); px < std::min(640, int(x + w)); ++px) Blend(image, px, py, c, alpha);
        }
    }
    // The game's text layout: advance 7 with per-letter adjustments, glyphs
    // centred on the pen, centred on x.
    void Text(const Sheet& font, double x, double y, const std::string& text, double size, Rgba tint, double alpha = 1) {
        auto adjust = [](char c) {
            const std::string w2 = "wm", w1 = "WM", n3 = "ifl", n1 = "jskrztn";
            return w2.find(c) != std::string::npos ? 2 : w1.find(c) != std::string::npos ? 1
                 : n3.find(c) != std::string::npos ? -3 : n1.find(c) != std::string::npos ? -1 : 0;
        };
        double width = 0;
        for (char c : text) width += (adjust(c) + 7) * size;
        double pen = x - width / 2;
        for (char c : text) {
            if (c > 32) Draw(font, c - 32, pen, y, size, size, tint, alpha);
            pen += (adjust(c) + 7) * size;
        }
    }
};

void DrawScenes(const fs::path& dir, const fs::path& out) {
    auto load = [&](const char* name, int w, int h) { return Sheet{Load(dir / (std::string(name) + "-hd.png")), w * 2, h * 2, 2}; };
    const Sheet gfx = load("gfx", 16, 16), parts = load("parts", 8, 8), font = load("fonts/editundo", 16, 16);
    const Sheet icons = load("common/icons", 32, 32), buttons = load("common/Buttons", 64, 64);
    const Sheet seal = load("common/QEVLLogo", 256, 256), logo = load("logo", 256, 128), menu = load("menu", 256, 256);
    Image both(1280, 480);

    // The title menu, game type 1 selected.
    Screen title;
    title.Rect(0, 0, 640, 480, {0, 0, 80, 255}, 1);
    title.Draw(menu, 0, 256, 120, 3, 3);
    title.Draw(logo, 0, 256, 120, 1, 1);
    title.Rect(500, 0, 140, 480, {0, 0, 0, 255}, 0.4);
    const Rgba lime{200, 255, 100, 255};
    title.Text(font, 570, 60, "Top 10", 1.5, lime);
    for (int i = 0; i < 10; ++i) title.Text(font, 570, 75 + 15 * i, "     " + std::to_string(9000 - i * 750), 1.5, lime);
    for (int i = 1; i <= 4; ++i) {
        const double x = 250 + (i - 1) * 88, size = i == 1 ? 1.75 : 1, alpha = i == 1 ? 1 : std::max(0.5, 1 - (i - 1) * 88 / 480.0);
        if (i < 4) {
            title.Draw(buttons, i - 1, x, 312, size, size, {255, 255, 255, 255}, alpha);
        } else {
            for (int layer = 8; layer <= 10; ++layer) title.Draw(buttons, layer, x, 312, size, size, {255, 255, 255, 255}, alpha);
        }
    }
    title.Draw(icons, 3, 570, 432, 3, 2.5, {100, 255, 100, 255}, 0.3);
    title.Draw(seal, 0, 570, 32, 0.35, 0.35);
    Copy(title.image, 0, 0, both, 0, 0, 640, 480);

    // Play: a small garden with paths, items, the ball, the home and two
    // beetles, at the game's board scale for 640 x 480.
    Screen play;
    play.Rect(0, 0, 640, 480, {0, 40, 0, 255}, 1);
    play.Draw(menu, 0, 320, 240, 3, 3, {255, 255, 255, 255}, 0.1);
    const double s = 2, T = 32, ox = 320 - 162 * s, oy = (480 - 24) / 2.0 - 98 * s + 24;
    const char* garden[13] = {
        "#####################", "#.........#....##...#", "#.##.####.#.##.##.#.#", "#.##AAA##.#.##.H..#.#",
        "#....AA...........#.#", "#.####.##.#.####.##.#", "#.####.##.#..B.#.##.#", "#......##.#.##.#....#",
        "#.####....#.##...##.#", "#.####.##.#.##.#.##.#", "#....................#", "#.##.####.#.####.##.#",
        "#####################"};
    for (int x = 0; x <= 20; ++x) {
        for (int y = 0; y <= 12; ++y) {
            const char c = garden[y][x];
            const double cx = ox + x * T, cy = oy + y * T;
            const bool hedge = c == '#' || c == 'A' || c == 'B';
            play.Draw(gfx, hedge ? 240 + 7 : 224, cx, cy, s, s);
            if (x == 0 || y == 0 || x == 20 || y == 12) play.Draw(gfx, 16, cx, cy, s, s);
            if (c == 'A') play.Draw(gfx, 18 + 5, cx, cy, s, s);
            if (c == 'B') play.Draw(gfx, 10, cx, cy, s, s);
            if (c == 'H') {
                play.Draw(gfx, 3, cx, cy - 0.2 * T, s, s, {255, 255, 255, 255}, 0.5);
                play.Text(font, cx, cy, "3", s, {255, 255, 255, 255});
            }
        }
    }
    play.Draw(gfx, 5, ox + 10 * T, oy + 5.3 * T, s, s);
    play.Draw(gfx, 8, ox + 4.4 * T, oy + 10 * T, s, s);
    play.Draw(gfx, 11, ox + 17 * T, oy + 7 * T, s, s);
    const double px = ox + 12.2 * T, py = oy + 10 * T;
    play.Draw(gfx, 1, px, py - 0.3 * T, 2 * s, 2 * s);
    play.Draw(gfx, 10, px - 0.6 * T, py - 0.6 * T, 0.8 * s, 0.8 * s);
    const Rgba tints[4] = {{255, 25, 25, 255}, {25, 255, 25, 255}, {255, 255, 25, 255}, {25, 255, 255, 255}};
    for (int i = 0; i < 8; ++i) play.Draw(parts, i * 37 % 256, px + 30 + i * 9, py - 20 - (i % 3) * 12, 1, 1, tints[i % 4], 0.9);
    play.Text(font, 320, 14, "00012345", 2, {100, 255, 100, 255}, 0.8);
    for (int i = 1; i <= 3; ++i) play.Draw(gfx, i < 3 ? 13 : 14, 448 + 16 * (i - 1), 14, 1, 1);
    play.Draw(icons, 0, 16, 16, 1, 1);
    play.Text(font, ox + 12.2 * T, py - 1.4 * T, "+15", 1, {255, 255, 25, 255});
    Copy(play.image, 0, 0, both, 640, 0, 640, 480);
    WritePng(out, both);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: contact_sheet DATA_DIR OUT.png [LEVEL] [--light]\n");
        return 2;
    }
    try {
        const fs::path dir = argv[1];
        if (argc == 4 && std::strcmp(argv[3], "--scene") == 0) {
            DrawScenes(dir, argv[2]);
            return 0;
        }
        int level = 1;
        bool light = false;
        for (int i = 3; i < argc; ++i) {
            if (std::strcmp(argv[i], "--light") == 0) light = true;
            else level = std::stoi(argv[i]);
        }
        const char* suffix = nullptr;
        for (const auto& res : kResolutions) {
            if (res.level == level) suffix = res.suffix;
        }
        if (!suffix) throw std::runtime_error("LEVEL must be 1, 2 or 4");

        std::vector<Panel> panels;
        for (const ImageEntry& entry : kImageEntrys) {
            const std::string name = std::string(entry.name) + suffix;
            Image image = Load(dir / (name + ".png"));
            const int fw = entry.frame_w * level, fh = entry.frame_h * level;
            const std::string label = name + "  " + std::to_string(image.width()) + "x" +
                                      std::to_string(image.height()) + "  " + std::to_string(entry.frames) +
                                      " x " + std::to_string(fw) + "x" + std::to_string(fh);
            const int columns = image.width() / fw, rows = image.height() / fh;
            panels.push_back({label, std::move(image), fw, fh, columns, rows});
        }

        // Shelf packing: panels left to right, a new shelf when one is full.
        int sheet_w = 1100 * level;
        for (const Panel& p : panels) sheet_w = std::max(sheet_w, p.width() + 2 * kMargin);
        struct Place {
            int x, y;
        };
        std::vector<Place> places;
        int x = kMargin, y = kMargin, shelf = 0;
        for (const Panel& p : panels) {
            if (x + p.width() + kMargin > sheet_w) {
                x = kMargin;
                y += shelf + kMargin;
                shelf = 0;
            }
            places.push_back({x, y});
            x += p.width() + kMargin;
            shelf = std::max(shelf, p.height());
        }
        const int sheet_h = y + shelf + kMargin;

        Image sheet(sheet_w, sheet_h);
        const Rgba back = light ? Hex(0xe8e8e4) : Hex(0x18181c);
        const Rgba check[2] = {light ? Hex(0xf6f6f2) : Hex(0x26262c), light ? Hex(0xd8d8d4) : Hex(0x30303a)};
        const Rgba gutter = Hex(0xd04080);
        FillRect(sheet, 0, 0, sheet_w, sheet_h, back);
        const Image font = DrawDefaultFont();
        for (std::size_t i = 0; i < panels.size(); ++i) {
            const Panel& p = panels[i];
            const Place at = places[i];
            Text(sheet, font, at.x, at.y, p.label, light ? Hex(0x202020) : Hex(0xf0f0f0));
            const int top = at.y + kLabel;
            FillRect(sheet, at.x, top, p.image.width() + p.columns - 1, p.image.height() + p.rows - 1, gutter);
            for (int r = 0; r < p.rows; ++r) {
                for (int c = 0; c < p.columns; ++c) {
                    const int ox = at.x + c * (p.frame_w + 1), oy = top + r * (p.frame_h + 1);
                    for (int j = 0; j < p.frame_h; ++j) {
                        for (int k = 0; k < p.frame_w; ++k) {
                            sheet.Set(ox + k, oy + j, check[((j / (4 * level)) + (k / (4 * level))) % 2]);
                        }
                    }
                    Paste(p.image, c * p.frame_w, r * p.frame_h, sheet, ox, oy, p.frame_w, p.frame_h);
                }
            }
        }
        WritePng(argv[2], sheet);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "contact_sheet: %s\n", e.what());
        return 1;
    }
    return 0;
}
