// Checks every image the game loads, in the data folder the build made, as
// the game cuts it: sizes and frame grids at each resolution, the frames the
// game draws, the tiles laid edge to edge and the glyphs of both fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <stb/stb_image.h>

#include "tests/game/values.h"
#include "tools/datagen/data_files.h"

namespace {

// Frame numbers written as "0-14 16", ranges included.
std::vector<int> Frames(const std::string& text) {
    std::vector<int> v;
    std::istringstream in(text);
    for (int first; in >> first;) {
        int last = first;
        if (in.peek() == '-') in.ignore() >> last;
        for (int f = first; f <= last; ++f) v.push_back(f);
    }
    return v;
}

std::string Suffix(int r) { return kResolutions[r].suffix; }
int Level(int r) { return kResolutions[r].level; }

struct Picture {
    int width = 0, height = 0, channels = 0;
    std::vector<std::uint32_t> pixels;  // 0xAABBGGRR as decoded
};

// A file of the data folder by its name without ".png", decoded once.
const Picture& Pic(const std::string& name) {
    static std::map<std::string, Picture> pictures;
    const auto [it, fresh] = pictures.try_emplace(name);
    Picture& p = it->second;
    const std::string path = DATA_DIR "/" + name + ".png";
    unsigned char* data = fresh ? stbi_load(path.c_str(), &p.width, &p.height, &p.channels, 4) : nullptr;
    if (data) {
        p.pixels.resize(static_cast<std::size_t>(p.width) * p.height);
        std::memcpy(p.pixels.data(), data, p.pixels.size() * 4);
    }
    stbi_image_free(data);
    return p;
}

// One frame of a picture, cut as the game cuts it (left to right, a new row
// when the next frame would not fit), its pixels row by row.
struct Frame {
    int w, h;
    std::vector<std::uint32_t> px;
    std::uint32_t At(int x, int y) const { return px[static_cast<std::size_t>(y * w + x)]; }
    int Alpha(int x, int y) const { return At(x, y) >> 24; }
    // How many texels have this alpha.
    int Count(int alpha) const {
        return static_cast<int>(std::count_if(px.begin(), px.end(), [&](auto c) { return int(c >> 24) == alpha; }));
    }
};

Frame Cut(const Picture& p, int fw, int fh, int index) {
    const int columns = p.width / fw, x0 = index % columns * fw, y0 = index / columns * fh;
    Frame f{fw, fh, {}};
    for (int y = y0; y < y0 + fh; ++y) {
        for (int x = x0; x < x0 + fw; ++x) f.px.push_back(p.pixels[static_cast<std::size_t>(y) * p.width + x]);
    }
    return f;
}

TEST(Images, EveryImageHoldsItsFramesAtEveryResolutionAndDrawsTheUsedOnes) {
    // The frames the game draws of each image.
    // Both fonts draw characters 33-126.
    const std::map<std::string, std::string> used = {{"gfx", "0-14 16 18-24 224 240-253"}, {"parts", "0-255"},
        {"fonts/editundo", "1-94"}, {"common/icons", "0 1 3 6 7"}, {"common/Buttons", "0-2 8-10 12"},
        {"common/dpad", "0 1 4-6 9"}, {"common/Testcard_Circle", "0"}, {"common/QEVLLogo", "0"}, {"logo", "0"},
        {"menu", "0"}, {"BadgesA", "0-63"}, {"trel_font", "1-94"}};
    std::vector<std::pair<ImageEntry, int>> slots = {{kDefaultFont, 1}};  // with how many resolutions
    for (const ImageEntry& e : kImageEntrys) slots.emplace_back(e, static_cast<int>(std::size(kResolutions)));
    for (const auto& [slot, resolutions] : slots) {
        const Picture& design = Pic(slot.name);
        ASSERT_TRUE(used.count(slot.name)) << slot.name << ": which frames does the game draw?";
        for (int r = 0; r < resolutions; ++r) {
            const std::string what = slot.name + Suffix(r);
            const Picture& p = Pic(what);
            ASSERT_GT(p.width, 0) << what << " is missing or does not decode";
            const int fw = slot.frame_w * Level(r), fh = slot.frame_h * Level(r), l = Level(r);
            EXPECT_EQ(Values(p.channels, p.width, p.height), Values(4, design.width * l, design.height * l))
                << what << ": with alpha, the design's size times the level";
            ASSERT_TRUE(p.width % fw == 0 && p.height % fh == 0) << what << ": frames do not fill the image";
            const int columns = p.width / fw, rows = p.height / fh;
            EXPECT_GE(columns * rows, slot.frames) << what << ": the game would cut frames outside the image";
            EXPECT_LT((rows - 1) * columns, slot.frames) << what << ": a whole row of frames is never used";
            for (int f : Frames(used.at(slot.name))) {
                EXPECT_LT(Cut(p, fw, fh, f).Count(0), fw * fh) << what << " frame " << f << " is empty";
            }
        }
    }
}

// Hedges and ground are laid edge to edge and the wall is drawn over the
// hedge, so they must cover their cells; sprites stand free in theirs. Frames
// of one kind that are told apart in play must differ (a frame pasted twice
// shows up here).
TEST(Images, TilesCoverTheirCellsAndFramesOfAKindDiffer) {
    for (int r = 0; r < 3; ++r) {
        const Picture& gfx = Pic("gfx" + Suffix(r));
        const int t = 16 * Level(r);
        for (int f : Frames("240-253 224 16")) {
            EXPECT_EQ(Cut(gfx, t, t, f).Count(255), t * t) << "tile " << f << " at level " << Level(r);
        }
        for (int f : Frames("0-14 18-24")) {
            EXPECT_EQ(Cut(gfx, t, t, f).Alpha(0, 0), 0) << "sprite " << f << " fills its corner";
        }
    }
    for (const char* group : {"240-253", "18-24", "0-2", "4-9"}) {
        std::set<std::vector<std::uint32_t>> seen;
        for (int f : Frames(group)) EXPECT_TRUE(seen.insert(Cut(Pic("gfx"), 16, 16, f).px).second) << "gfx frame " << f;
    }
}

// Particles fly at scale 1 over the board and the game multiplies them by a
// palette colour, so every frame must be a bold body of neutral light texels
// (a tint shows true) closed in by a dark outline that is not black and fits
// in the cell: a thin stroke, a gap in the outline or a coloured texel fails.
TEST(Images, ParticlesAreBoldLightShapesInADarkOutline) {
    for (int r = 0; r < 3; ++r) {
        const int l = Level(r), n = 8 * l;
        for (int index = 0; index < 256; ++index) {
            const Frame f = Cut(Pic("parts" + Suffix(r)), n, n, index);
            int faults = 0, across = 0;  // across: the longest span of the body, squared
            std::vector<std::pair<int, int>> light;
            for (int y = 0; y < n; ++y) {
                for (int x = 0; x < n; ++x) {
                    const std::uint32_t c = f.At(x, y);
                    const int red = c & 0xFF, green = c >> 8 & 0xFF, blue = c >> 16 & 0xFF;
                    const int alpha = f.Alpha(x, y), top = std::max({red, green, blue});
                    if (alpha == 0) continue;
                    const bool dark = top < 0x90;
                    faults += (alpha != 255) + (dark ? top < 0x20 || top > 0x50 : red != green || green != blue);
                    if (dark) continue;  // the outline, dark but not black; the rest neutral light
                    for (const auto& [u, v] : light) across = std::max(across, (u - x) * (u - x) + (v - y) * (v - y));
                    light.emplace_back(x, y);
                    for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                        const int u = x + dx, v = y + dy;
                        faults += u < 0 || v < 0 || u >= n || v >= n || f.Alpha(u, v) == 0;
                    }
                }
            }
            const std::string what = "parts" + Suffix(r) + " frame " + std::to_string(index);
            EXPECT_EQ(faults, 0) << what << ": texels neither neutral light nor dark outline, or an open outline";
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
            for (int x = 0; x < fw; ++x) EXPECT_FALSE(f.Alpha(x, 0) || f.Alpha(x, fh - 1)) << what << " at the edge";
            for (int y = 0; y < fh; ++y) EXPECT_FALSE(f.Alpha(0, y) || f.Alpha(fw - 1, y)) << what << " at the edge";
            EXPECT_TRUE(std::count(f.px.begin(), f.px.end(), 0xFFFFFFFFu)) << what << " has no white pixels";
            EXPECT_TRUE(shapes.insert(f.px).second) << what << " repeats another glyph";
        }
    }
}

}  // namespace
