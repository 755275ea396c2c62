// Runs the data generator once and checks every image the game loads, as
// the game cuts it: sizes and frame grids at the three resolutions, the
// frames the game draws, the tiles that must tile, the pixel art that must
// stay crisp when enlarged, and the font's fit to the text layout.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <stb/stb_image.h>


namespace fs = std::filesystem;

namespace {

// The game's image slots: file name, design frame size, frame count, and
// the frames it draws.
struct Slot {
    const char* name;
    int frame_w, frame_h, frames;
    std::vector<int> used;
};

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

const std::vector<Slot>& Slots() {
    static const std::vector<Slot> slots = {
        {"gfx", 16, 16, 256, Join({Range(0, 14), {16}, Range(18, 24), {224}, Range(240, 253)})},
        {"parts", 8, 8, 256, Range(0, 255)},
        {"fonts/editundo", 16, 16, 128, Range(1, 94)},  // characters 33-126
        {"common/icons", 32, 32, 16, {0, 1, 3, 6, 7}},
        {"common/Buttons", 64, 64, 16, {0, 1, 2, 8, 9, 10, 12}},
        {"common/dpad", 32, 32, 16, {0, 1, 4, 5, 6, 9}},
        {"common/Testcard_Circle", 256, 256, 1, {0}},
        {"common/QEVLLogo", 256, 256, 1, {0}},
        {"logo", 256, 128, 1, {0}},
        {"menu", 256, 256, 4, {0}},
        {"BadgesA", 64, 64, 64, Range(0, 63)},
    };
    return slots;
}

const char* const kSuffix[3] = {"", "-hd", "-hd2"};
const int kLevel[3] = {1, 2, 4};

struct Picture {
    int width = 0, height = 0, channels = 0;
    std::vector<std::uint32_t> pixels;  // 0xAABBGGRR as decoded
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    int Alpha(int x, int y) const { return At(x, y) >> 24; }
};

Picture Decode(const fs::path& path) {
    Picture p;
    unsigned char* data = stbi_load(path.string().c_str(), &p.width, &p.height, &p.channels, 4);
    if (data) {
        p.pixels.resize(static_cast<std::size_t>(p.width) * p.height);
        std::copy(data, data + p.pixels.size() * 4, reinterpret_cast<unsigned char*>(p.pixels.data()));
        stbi_image_free(data);
    }
    return p;
}

// One frame of a loaded image, cut as the game cuts it: left to right, a
// new row when the next frame would not fit.
struct Frame {
    const Picture* picture;
    int x0, y0, w, h;
    std::uint32_t At(int x, int y) const { return picture->At(x0 + x, y0 + y); }
    int Alpha(int x, int y) const { return At(x, y) >> 24; }
    bool Empty() const {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (Alpha(x, y)) return false;
            }
        }
        return true;
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

class ImagesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The data folder the build made is what the game loads: check that.
        dir_ = new fs::path(DATA_DIR);
        pictures_ = new std::vector<Picture>;
        for (const Slot& slot : Slots()) {
            for (const char* suffix : kSuffix) {
                pictures_->push_back(Decode(*dir_ / (std::string(slot.name) + suffix + ".png")));
            }
        }
    }
    static void TearDownTestSuite() {
        delete dir_;
        delete pictures_;
        dir_ = nullptr;
        pictures_ = nullptr;
    }
    // The picture of slot s (index into Slots()) at resolution r (0, 1, 2).
    static const Picture& Pic(std::size_t s, int r) { return (*pictures_)[s * 3 + r]; }
    static const Picture& Pic(const char* name, int r) {
        for (std::size_t s = 0; s < Slots().size(); ++s) {
            if (std::string(Slots()[s].name) == name) return Pic(s, r);
        }
        throw std::logic_error(name);
    }

    static fs::path* dir_;
    static std::vector<Picture>* pictures_;
};

fs::path* ImagesTest::dir_ = nullptr;
std::vector<Picture>* ImagesTest::pictures_ = nullptr;

TEST_F(ImagesTest, EveryImageHoldsItsFramesAtEveryResolutionAndDrawsTheUsedOnes) {
    for (std::size_t s = 0; s < Slots().size(); ++s) {
        const Slot& slot = Slots()[s];
        const Picture& design = Pic(s, 0);
        for (int r = 0; r < 3; ++r) {
            const std::string what = std::string(slot.name) + kSuffix[r];
            const Picture& p = Pic(s, r);
            ASSERT_GT(p.width, 0) << what << " is missing or does not decode";
            EXPECT_EQ(p.channels, 4) << what << " must carry alpha";
            EXPECT_EQ(p.width, design.width * kLevel[r]) << what;
            EXPECT_EQ(p.height, design.height * kLevel[r]) << what;
            const int fw = slot.frame_w * kLevel[r], fh = slot.frame_h * kLevel[r];
            ASSERT_EQ(p.width % fw, 0) << what << ": frames do not fill a row";
            ASSERT_EQ(p.height % fh, 0) << what;
            const int columns = p.width / fw, rows = p.height / fh;
            EXPECT_GE(columns * rows, slot.frames) << what << ": the game would cut frames outside the image";
            EXPECT_LT((rows - 1) * columns, slot.frames) << what << ": a whole row of frames is never used";
            for (int f : slot.used) EXPECT_FALSE(Cut(p, fw, fh, f).Empty()) << what << " frame " << f << " is empty";
        }
    }
}

// Hedges and ground are laid edge to edge and the wall is drawn over the
// hedge, so they must cover their cells; sprites stand free in theirs.
TEST_F(ImagesTest, TilesCoverTheirCellsAndSpritesAndKindsStayApart) {
    for (int r = 0; r < 3; ++r) {
        const Picture& gfx = Pic("gfx", r);
        const int t = 16 * kLevel[r];
        for (int f : Join({Range(240, 253), {224, 16}})) {
            const Frame tile = Cut(gfx, t, t, f);
            for (int y = 0; y < t; ++y) {
                for (int x = 0; x < t; ++x) ASSERT_EQ(tile.Alpha(x, y), 255) << "tile " << f << " at level " << kLevel[r];
            }
        }
        for (int f : Join({Range(0, 14), Range(18, 24)})) {
            EXPECT_EQ(Cut(gfx, t, t, f).Alpha(0, 0), 0) << "sprite " << f << " fills its corner";
        }
    }
    // Hedge styles, item kinds, walking and beetle frames all differ.
    const Picture& gfx = Pic("gfx", 0);
    for (const std::vector<int>& group : {Range(240, 253), Range(18, 24), Range(0, 2), Range(4, 9)}) {
        std::set<std::vector<std::uint32_t>> seen;
        for (int f : group) EXPECT_TRUE(seen.insert(Cut(gfx, 16, 16, f).Pixels()).second) << "gfx frame " << f;
    }
    std::set<std::vector<std::uint32_t>> badges;
    for (int f = 0; f < 64; ++f) EXPECT_TRUE(badges.insert(Cut(Pic("BadgesA", 0), 64, 64, f).Pixels()).second) << "badge " << f;
}

// The game tints particles with its palette, so they are drawn light.
TEST_F(ImagesTest, ParticlesAreLightForTinting) {
    const Picture& parts = Pic("parts", 0);
    for (int f = 0; f < 256; ++f) {
        const Frame frame = Cut(parts, 8, 8, f);
        int lit = 0, darkest = 255;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const std::uint32_t c = frame.At(x, y);
                if (!(c >> 24)) continue;
                ++lit;
                darkest = std::min({darkest, int(c & 255), int(c >> 8 & 255), int(c >> 16 & 255)});
            }
        }
        EXPECT_GT(lit, 0) << "part " << f;
        EXPECT_GE(darkest, 160) << "part " << f << " would tint too dark";
    }
}

// Pixel art is enlarged by an edge-preserving rule that only ever repeats a
// pixel or takes a neighbour's colour: every enlarged block keeps the colour
// of its source pixel, and no new colour (a blur) appears. Smooth art is
// drawn natively, with anti-aliased edges at every size.
TEST_F(ImagesTest, PixelArtStaysCrispAndSmoothArtIsAntiAliased) {
    for (const char* name : {"gfx", "parts", "fonts/editundo", "menu"}) {
        const Picture& design = Pic(name, 0);
        std::set<std::uint32_t> palette(design.pixels.begin(), design.pixels.end());
        for (int r = 1; r < 3; ++r) {
            const Picture& big = Pic(name, r);
            const int k = kLevel[r];
            int blurred = 0, lost = 0;
            for (std::uint32_t c : big.pixels) blurred += palette.count(c) ? 0 : 1;
            for (int y = 0; y < design.height; ++y) {
                for (int x = 0; x < design.width; ++x) {
                    bool kept = false;
                    for (int j = 0; j < k && !kept; ++j) {
                        for (int i = 0; i < k && !kept; ++i) kept = big.At(x * k + i, y * k + j) == design.At(x, y);
                    }
                    lost += kept ? 0 : 1;
                }
            }
            EXPECT_EQ(blurred, 0) << name << kSuffix[r] << " has colours the design has not";
            EXPECT_EQ(lost, 0) << name << kSuffix[r] << " does not follow the design pixel for pixel";
        }
    }
    for (const char* name : {"logo", "common/QEVLLogo", "common/Testcard_Circle", "BadgesA", "common/icons"}) {
        for (int r = 0; r < 3; ++r) {
            const Picture& p = Pic(name, r);
            const auto soft = std::count_if(p.pixels.begin(), p.pixels.end(), [](std::uint32_t c) {
                return (c >> 24) > 0 && (c >> 24) < 255;
            });
            EXPECT_GT(soft, p.width) << name << kSuffix[r] << " has hard edges";
        }
    }
}

// The game advances the pen 7 pixels a glyph, adjusted for some letters,
// and centres each glyph on the pen; glyphs must fit that.
int Advance(char c) {
    const std::string wide2 = "wm", wide1 = "WM", narrow3 = "ifl", narrow1 = "jskrztn";
    if (wide2.find(c) != std::string::npos) return 9;
    if (wide1.find(c) != std::string::npos) return 8;
    if (narrow3.find(c) != std::string::npos) return 4;
    if (narrow1.find(c) != std::string::npos) return 6;
    return 7;
}

TEST_F(ImagesTest, FontGlyphsFitTheTextLayout) {
    const Picture& font = Pic("fonts/editundo", 0);
    // Per glyph and row: the leftmost and rightmost white pixel (the glyph
    // body; its dark outline may touch the neighbours).
    struct Rows {
        int left[16], right[16];
        int top = 16, bottom = -1;
    };
    std::vector<Rows> glyphs(128);
    std::set<std::vector<std::uint32_t>> shapes;
    for (int c = 33; c <= 126; ++c) {
        const Frame f = Cut(font, 16, 16, c - 32);
        Rows& g = glyphs[c];
        for (int y = 0; y < 16; ++y) {
            g.left[y] = 99;
            g.right[y] = -99;
            for (int x = 0; x < 16; ++x) {
                if (f.At(x, y) != 0xFFFFFFFFu) continue;
                g.left[y] = std::min(g.left[y], x);
                g.right[y] = std::max(g.right[y], x);
                g.top = std::min(g.top, y);
                g.bottom = std::max(g.bottom, y);
            }
        }
        const std::string what = std::string("glyph '") + char(c) + "'";
        ASSERT_GE(g.bottom, 0) << what << " has no white pixels";
        EXPECT_LE(g.bottom - g.top + 1, 10) << what << " is taller than a line";
        for (int y = 0; y < 16; ++y) {
            if (g.right[y] < 0) continue;
            EXPECT_LE(g.right[y] - g.left[y] + 1, Advance(char(c)) - 1) << what << " is wider than its advance";
            EXPECT_GE(g.left[y], 1) << what;
            EXPECT_LE(g.right[y], 14) << what << " leaves its cell";
        }
        EXPECT_TRUE(shapes.insert(f.Pixels()).second) << what << " repeats another glyph";
    }
    // Capitals and digits stand on one baseline around the cell's middle, so
    // that text centred on a point is centred.
    for (char c : std::string("ABHOXZ0123456789")) {
        EXPECT_EQ(glyphs[c].bottom, glyphs['H'].bottom) << c;
        EXPECT_EQ(glyphs[c].top, glyphs['H'].top) << c;
    }
    EXPECT_NEAR((glyphs['H'].top + glyphs['H'].bottom + 1) / 2.0, 8, 1);
    int hmin = 99, hmax = -99;
    for (int y = 0; y < 16; ++y) {
        if (glyphs['H'].right[y] >= 0) hmin = std::min(hmin, glyphs['H'].left[y]), hmax = std::max(hmax, glyphs['H'].right[y]);
    }
    EXPECT_NEAR((hmin + hmax + 1) / 2.0, 8, 1);
    // Any two glyphs set side by side keep at least one clear column.
    for (int a = 33; a <= 126; ++a) {
        for (int b = 33; b <= 126; ++b) {
            for (int y = 0; y < 16; ++y) {
                if (glyphs[a].right[y] < 0 || glyphs[b].right[y] < 0) continue;
                ASSERT_GE(glyphs[b].left[y] + Advance(char(a)) - glyphs[a].right[y], 2)
                    << "'" << char(a) << "' then '" << char(b) << "' touch in row " << y;
            }
        }
    }
}

}  // namespace
