// Checks every image the game loads, in the data folder the build made, as
// the game cuts it: sizes and frame grids at each resolution, the frames the
// game draws, the tiles laid edge to edge, and the glyphs of both fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <stb/stb_image.h>

#include "tools/datagen/data_files.h"

namespace fs = std::filesystem;

namespace {

std::vector<int> Range(int first, int last) {
    std::vector<int> v;
    for (int i = first; i <= last; ++i) v.push_back(i);
    return v;
}

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> v;
    for (const auto& p : parts) v.insert(v.end(), p.begin(), p.end());
    return v;
}

// The game's image slots: file name, design frame size and frame count (from
// the generator's file list), the frames the game draws, and how many of the
// resolutions it comes in.
struct Slot {
    const char* name;
    int frame_w, frame_h, frames;
    std::vector<int> used;
    int resolutions;
};

const std::vector<Slot>& Slots() {
    static const std::vector<Slot> slots = [] {
        const std::map<std::string, std::vector<int>> used = {
            {"gfx", Join({Range(0, 14), {16}, Range(18, 24), {224}, Range(240, 253)})},
            {"parts", Range(0, 255)},
            {"fonts/editundo", Range(1, 94)},  // characters 33-126
            {"common/icons", {0, 1, 3, 6, 7}},
            {"common/Buttons", {0, 1, 2, 8, 9, 10, 12}},
            {"common/dpad", {0, 1, 4, 5, 6, 9}},
            {"common/Testcard_Circle", {0}}, {"common/QEVLLogo", {0}}, {"logo", {0}}, {"menu", {0}},
            {"BadgesA", Range(0, 63)},
            {"trel_font", Range(1, 94)},  // the default font, characters 33-126
        };
        const auto slot = [&](const ImageEntry& e, int resolutions) {
            const auto u = used.find(e.name);
            return Slot{e.name, e.frame_w, e.frame_h, e.frames, u == used.end() ? std::vector<int>{} : u->second,
                        resolutions};
        };
        std::vector<Slot> all;
        for (const ImageEntry& e : kImageEntrys) all.push_back(slot(e, static_cast<int>(std::size(kResolutions))));
        all.push_back(slot(kDefaultFont, 1));
        return all;
    }();
    return slots;
}

const char* Suffix(int r) { return kResolutions[r].suffix; }
int Level(int r) { return kResolutions[r].level; }

struct Picture {
    int width = 0, height = 0, channels = 0;
    std::vector<std::uint32_t> pixels;  // 0xAABBGGRR as decoded
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// One frame of a loaded image, cut as the game cuts it: left to right, a
// new row when the next frame would not fit.
struct Frame {
    const Picture* picture;
    int x0, y0, w, h;
    std::uint32_t At(int x, int y) const { return picture->At(x0 + x, y0 + y); }
    int Alpha(int x, int y) const { return At(x, y) >> 24; }
    bool Empty() const {
        const std::vector<std::uint32_t> v = Pixels();
        return std::none_of(v.begin(), v.end(), [](std::uint32_t c) { return c >> 24; });
    }
    std::vector<std::uint32_t> Pixels() const {
        std::vector<std::uint32_t> v;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) v.push_back(At(x, y));
        }
        return v;
    }
};

Frame Cut(const Picture& p, int fw, int fh, int index) {
    const int columns = p.width / fw;
    return {&p, index % columns * fw, index / columns * fh, fw, fh};
}

// Every slot's picture at every resolution, by file name without ".png".
const Picture& Pic(const std::string& name) {
    static const std::map<std::string, Picture> pictures = [] {
        std::map<std::string, Picture> all;
        for (const Slot& slot : Slots()) {
            for (int r = 0; r < slot.resolutions; ++r) {
                const std::string file = slot.name + std::string(Suffix(r));
                Picture& p = all[file];
                const std::string path = (fs::path(DATA_DIR) / (file + ".png")).string();
                unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &p.channels, 4);
                if (!data) continue;
                p.pixels.resize(static_cast<std::size_t>(p.width) * p.height);
                std::copy(data, data + p.pixels.size() * 4, reinterpret_cast<unsigned char*>(p.pixels.data()));
                stbi_image_free(data);
            }
        }
        return all;
    }();
    return pictures.at(name);
}

TEST(Images, EveryImageHoldsItsFramesAtEveryResolutionAndDrawsTheUsedOnes) {
    for (const Slot& slot : Slots()) {
        const Picture& design = Pic(slot.name);
        for (int r = 0; r < slot.resolutions; ++r) {
            const std::string what = slot.name + std::string(Suffix(r));
            const Picture& p = Pic(what);
            ASSERT_GT(p.width, 0) << what << " is missing or does not decode";
            EXPECT_EQ(p.channels, 4) << what << " must carry alpha";
            EXPECT_EQ(p.width, design.width * Level(r)) << what;
            EXPECT_EQ(p.height, design.height * Level(r)) << what;
            const int fw = slot.frame_w * Level(r), fh = slot.frame_h * Level(r);
            ASSERT_EQ(p.width % fw, 0) << what << ": frames do not fill a row";
            ASSERT_EQ(p.height % fh, 0) << what;
            const int columns = p.width / fw, rows = p.height / fh;
            EXPECT_GE(columns * rows, slot.frames) << what << ": the game would cut frames outside the image";
            EXPECT_LT((rows - 1) * columns, slot.frames) << what << ": a whole row of frames is never used";
            EXPECT_FALSE(slot.used.empty()) << what << ": which frames does the game draw?";
            for (int f : slot.used) EXPECT_FALSE(Cut(p, fw, fh, f).Empty()) << what << " frame " << f << " is empty";
        }
    }
}

// Hedges and ground are laid edge to edge and the wall is drawn over the
// hedge, so they must cover their cells; sprites stand free in theirs. Frames
// of one kind that are told apart in play must differ (a frame pasted twice
// shows up here).
TEST(Images, TilesCoverTheirCellsAndFramesOfAKindDiffer) {
    for (int r = 0; r < 3; ++r) {
        const Picture& gfx = Pic(std::string("gfx") + Suffix(r));
        const int t = 16 * Level(r);
        for (int f : Join({Range(240, 253), {224, 16}})) {
            const Frame tile = Cut(gfx, t, t, f);
            for (int y = 0; y < t; ++y) {
                for (int x = 0; x < t; ++x) ASSERT_EQ(tile.Alpha(x, y), 255) << "tile " << f << " at level " << Level(r);
            }
        }
        for (int f : Join({Range(0, 14), Range(18, 24)})) {
            EXPECT_EQ(Cut(gfx, t, t, f).Alpha(0, 0), 0) << "sprite " << f << " fills its corner";
        }
    }
    for (const std::vector<int>& group : {Range(240, 253), Range(18, 24), Range(0, 2), Range(4, 9)}) {
        std::set<std::vector<std::uint32_t>> seen;
        for (int f : group) EXPECT_TRUE(seen.insert(Cut(Pic("gfx"), 16, 16, f).Pixels()).second) << "gfx frame " << f;
    }
}

// Particles fly at scale 1 over the board and the game multiplies them by a
// palette colour, so every frame must be a bold body of neutral light texels
// (a tint shows true) closed in by a dark outline that is not black and fits
// in the cell: a thin stroke, a gap in the outline or a coloured texel fails.
TEST(Images, ParticlesAreBoldLightShapesInADarkOutline) {
    for (int r = 0; r < 3; ++r) {
        const int l = Level(r), n = 8 * l;
        const Picture& sheet = Pic(std::string("parts") + Suffix(r));
        for (int index = 0; index < 256; ++index) {
            const Frame f = Cut(sheet, n, n, index);
            int faults = 0;
            std::vector<std::pair<int, int>> light;
            for (int y = 0; y < n; ++y) {
                for (int x = 0; x < n; ++x) {
                    const std::uint32_t c = f.At(x, y);
                    const int red = c & 0xFF, green = c >> 8 & 0xFF, blue = c >> 16 & 0xFF;
                    const int alpha = f.Alpha(x, y), top = std::max({red, green, blue});
                    if (alpha == 0) continue;
                    if (alpha != 255) ++faults;
                    if (top < 0x90) {
                        faults += top < 0x20 || top > 0x50;  // dark, not black
                        continue;
                    }
                    faults += red != green || green != blue;
                    light.emplace_back(x, y);
                    for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                        const int u = x + dx, v = y + dy;
                        faults += u < 0 || v < 0 || u >= n || v >= n || f.Alpha(u, v) == 0;
                    }
                }
            }
            const std::string what = "parts" + std::string(Suffix(r)) + " frame " + std::to_string(index);
            EXPECT_EQ(faults, 0) << what << ": texels that are neither neutral light nor dark outline, or an open outline";
            int across = 0;  // the longest span of the body, squared
            for (const auto& [ax, ay] : light) {
                for (const auto& [bx, by] : light) across = std::max(across, (ax - bx) * (ax - bx) + (ay - by) * (ay - by));
            }
            EXPECT_GE(light.size(), 14u * l * l) << what << " is too thin to read";
            EXPECT_GE(std::sqrt(across) + 1, 5.0 * l) << what << " is too small to read";
        }
    }
}

// Each glyph of 33-126 has a white body, keeps a clear pixel at every edge of
// its cell (the default font's frames are trimmed by one pixel a side), and
// differs from every other: a glyph pasted into the wrong frame repeats one.
TEST(Images, FontGlyphsAreDrawnInsideTheirCellsAndDiffer) {
    for (const auto& [name, fw, fh] : {std::tuple{"fonts/editundo", 16, 16}, std::tuple{"trel_font", 10, 16}}) {
        std::set<std::vector<std::uint32_t>> shapes;
        for (int c = 33; c <= 126; ++c) {
            const Frame f = Cut(Pic(name), fw, fh, c - 32);
            const std::string what = name + std::string(" glyph '") + char(c) + "'";
            bool white = false;
            for (int y = 0; y < fh; ++y) {
                for (int x = 0; x < fw; ++x) {
                    white |= f.At(x, y) == 0xFFFFFFFFu;
                    if (x == 0 || y == 0 || x == fw - 1 || y == fh - 1) {
                        EXPECT_EQ(f.Alpha(x, y), 0) << what << " leaves its cell at " << x << "," << y;
                    }
                }
            }
            EXPECT_TRUE(white) << what << " has no white pixels";
            EXPECT_TRUE(shapes.insert(f.Pixels()).second) << what << " repeats another glyph";
        }
    }
}

}  // namespace
