// The game's sprite sheet ("gfx", 16 x 16 frames), drawn as pixel art at
// design size.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/datagen/art_palette.h"
#include "tools/datagen/images.h"
#include "tools/datagen/raster.h"

namespace {

using namespace pal;

constexpr int kTile = 16;
constexpr int kColumns = 16;

struct Cell {
    int x, y;
};
Cell FrameAt(int frame, int size = kTile, int columns = kColumns) {
    return {frame % columns * size, frame / columns * size};
}

// A shaded pixel disc: lit from the upper left like everything else.
void Disc(Image& img, Cell f, double cx, double cy, double r, Rgba light, Rgba base, Rgba dark) {
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            if (dx * dx + dy * dy > r * r) continue;
            const double side = (dx + dy) / r;
            img.Set(f.x + x, f.y + y, side < -0.75 ? light : side > 0.55 ? dark : base);
        }
    }
}

void OutlineFrame(Image& img, Cell f) { Outline(img, f.x, f.y, kTile, kTile, kInk); }

// ---- The gardener --------------------------------------------------------

const Palette kGardener{{'Y', kYellow}, {'y', kGold},       {'r', kRed},   {'h', kHair},
                        {'S', kSkin},   {'s', kSkinShade},  {'e', kInk},   {'W', kWhite},
                        {'w', kGrey1},  {'B', kBlue},       {'b', kBlueDark}, {'o', kSoil1},
                        {'O', kSoil0},  {'m', kRedDark}};

// Hat and head, shared by the three walking frames.
const std::vector<const char*> kGardenerHead = {
    "................", "................", "................", "................",
    ".......YY.......", "......YYYY......", "......rrrr......", "...yYYYYYYYYy...",
    ".....hSSSeS.....", ".....hsSSSSS....", "......ssSS......",
};

const char* const kGardenerLegs[3][4] = {
    // Near leg forward, far arm forward.
    {".....WWBBWWS....", "....SwBBBBw.....", ".....bBBBBB.....", "....OO....oo...."},
    // Legs passing each other, arms down.
    {".....WWBBWW.....", ".....SBBBBS.....", "......bBBB......", "......Ooo......."},
    // Near leg back.
    {"....SWWBBWW.....", ".....wBBBBwS....", ".....BBBBBb.....", "....oo....OO...."},
};

void DrawGardener(Image& img) {
    for (int frame = 0; frame < 3; ++frame) {
        std::vector<const char*> rows = kGardenerHead;
        for (const char* row : kGardenerLegs[frame]) rows.push_back(row);
        // The body bobs up while the legs pass.
        const Cell f = FrameAt(frame);
        Stamp(img, f.x, f.y - (frame == 1 ? 1 : 0), rows, kGardener);
        OutlineFrame(img, f);
    }
    // Cheering: turned to the player, arms up.
    const Cell f = FrameAt(12);
    Stamp(img, f.x, f.y,
          {"................", "................", "................", "................",
           "......YYYY......", "......rrrr......", "...yYYYYYYYYy...", ".S...hSSSSh...S.",
           ".W...SeSSeS...W.", "..W..SSmmSS..W..", "...W..sSSs..W...", "....WWWBBWWW....",
           ".....wBBBBw.....", ".....BBBBBB.....", ".....oo..oo.....", "................"},
          kGardener);
    OutlineFrame(img, f);
}

// ---- The home --------------------------------------------------------------

void DrawHome(Image& img) {
    const Cell f = FrameAt(3);
    // Drawn at half alpha while enemies wait, so it keeps strong shapes: a red
    // roof, light walls and a dark door that the waiting count is written on.
    Stamp(img, f.x, f.y,
          {"................", ".......rr.......", "......rRRr......", ".....rRPRRr.....",
           "....rRRRRPRr....", "...rRPRRRRRRr...", "..rrrrrrrrrrrr..", "...TTTTTTTTTT...",
           "...TtTDDDDTtT...", "...TTDDDDDDTT...", "...TtDDDDDDtT...", "...TTDDDDDDTT...",
           "...TtDDDDDDtT...", "...TTDDDDDDTT...", "..gGgGgggGgGgg..", "................"},
          {{'R', kRed}, {'r', kRedDark}, {'P', kPink}, {'T', kSand}, {'t', kSoil3}, {'D', kNight},
           {'g', kLeaf3}, {'G', kLeaf2}});
    OutlineFrame(img, f);
}

// ---- The enemy: a grumpy purple beetle -------------------------------------

void DrawBeetle(Image& img) {
    const Palette palette{{'H', kGrey3}, {'E', kWhite}, {'k', kInk}, {'P', kPurple},
                          {'p', kPurpleDark}, {'L', kLavender}, {'W', kWhite}};
    const std::vector<const char*> body = {
        ".....HHHHHH.....", "...HEEEHHEEEH...", "...HEEkHHkEEH...", "..PPHHHHHHHHPP..",
        "..PLWPPppPPLPP..", "..PLPPPppPPPPP..", "..PPPPPppPPLPP..", "..PPLPPppPPPPP..",
        "...PPPPppPPPP...", "....ppPppPpp....",
    };
    // A tripod gait: three legs swing forward while the other three push,
    // and the antennae nod once a cycle, so that no two frames repeat.
    const int lift[6] = {-1, 0, 1, 1, 0, -1};
    const int nod[6] = {0, 0, 0, 1, 1, 1};
    for (int frame = 0; frame < 6; ++frame) {
        const Cell f = FrameAt(4 + frame);
        const int bob = lift[frame] == 0 ? 1 : 0;
        Stamp(img, f.x, f.y + 3 + bob, body, palette);
        OutlineFrame(img, f);
        img.Set(f.x + 4 + nod[frame], f.y + 1 + bob, kInk);
        img.Set(f.x + 5, f.y + 2 + bob, kInk);
        img.Set(f.x + 11 - nod[frame], f.y + 1 + bob, kInk);
        img.Set(f.x + 10, f.y + 2 + bob, kInk);
        for (int leg = 0; leg < 3; ++leg) {
            const int y = f.y + 7 + leg * 2 + bob;
            const int left = (leg % 2 == 0 ? lift[frame] : -lift[frame]);
            img.Set(f.x, y + left, kInk);
            img.Set(f.x + 1, y, kInk);
            img.Set(f.x + 15, y - left, kInk);
            img.Set(f.x + 14, y, kInk);
        }
    }
}

// ---- Balls and lives -------------------------------------------------------

void DrawBalls(Image& img) {
    // A beach ball: four coloured panels meeting at its poles.
    Cell f = FrameAt(10);
    const Rgba panels[4][2] = {{kRed, kRedDark}, {kWhite, kGrey1}, {kBlue, kBlueDark}, {kYellow, kGold}};
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            const double r = 5.7, dx = x + 0.5 - 8, dy = y + 0.5 - 8;
            if (dx * dx + dy * dy > r * r) continue;
            const double u = dx / std::sqrt(r * r - dy * dy + 0.01);
            const int panel = std::clamp(static_cast<int>((std::asin(std::clamp(u, -1.0, 1.0)) / 3.14159265 + 0.5) * 4), 0, 3);
            const bool shade = (dx + dy) / r > 0.45;
            img.Set(f.x + x, f.y + y, panels[panel][shade ? 1 : 0]);
        }
    }
    img.Set(f.x + 5, f.y + 4, kWhite);
    img.Set(f.x + 6, f.y + 4, kWhite);
    img.Set(f.x + 5, f.y + 5, kWhite);
    OutlineFrame(img, f);

    // The ball a beetle left behind: gold and sparkling, worth a hundred.
    f = FrameAt(11);
    Disc(img, f, 8, 8.5, 5.2, kYellowPale, kGold, kGoldDark);
    img.Set(f.x + 6, f.y + 5, kWhite);
    img.Set(f.x + 5, f.y + 6, kWhite);
    OutlineFrame(img, f);
    const Cell sparks[] = {{2, 2}, {13, 3}, {13, 13}, {2, 12}};
    for (const Cell& s : sparks) {
        img.Set(f.x + s.x, f.y + s.y, kWhite);
        for (const Cell& d : {Cell{-1, 0}, Cell{1, 0}, Cell{0, -1}, Cell{0, 1}}) {
            Blend(img, f.x + s.x + d.x, f.y + s.y + d.y, kYellow);
        }
    }
}

void DrawLives(Image& img) {
    const std::vector<const char*> heart = {
        "................", "................", "................", "................",
        "....RRR.RRR.....", "...RWRRRRRRR....", "...RWRRRRRRd....", "...RRRRRRRRd....",
        "....RRRRRRd.....", ".....RRRRd......", "......RRd.......", ".......R........",
    };
    Cell f = FrameAt(13);
    Stamp(img, f.x, f.y, heart, {{'R', kRed}, {'W', kRose}, {'d', kRedDark}});
    OutlineFrame(img, f);
    // A lost life: the same heart, grey and cracked.
    f = FrameAt(14);
    Stamp(img, f.x, f.y, heart, {{'R', kGrey3}, {'W', kGrey2}, {'d', kGrey4}});
    OutlineFrame(img, f);
    const Cell crack[] = {{7, 4}, {8, 5}, {7, 6}, {8, 7}, {7, 8}, {8, 9}};
    for (const Cell& c : crack) img.Set(f.x + c.x, f.y + c.y, kInk);
}

// ---- Tiles -----------------------------------------------------------------

// The garden wall: rows of rounded stones, offset like brickwork; a whole
// tile period so that walls run on without seams in both directions.
void DrawBorder(Image& img) {
    const Cell f = FrameAt(16);
    FillRect(img, f.x, f.y, kTile, kTile, kGrey4);
    for (int row = 0; row < 2; ++row) {
        for (int col = -1; col < 2; ++col) {
            const int sx = col * 8 + (row % 2) * 4, sy = row * 8;
            for (int y = 0; y < 7; ++y) {
                for (int x = 0; x < 7; ++x) {
                    const bool corner = (x == 0 || x == 6) && (y == 0 || y == 6);
                    if (corner) continue;
                    Rgba c = kGrey2;
                    if (y == 0 || x == 0) c = kGrey1;
                    if (y == 6 || x == 6) c = kGrey3;
                    if (Noise(sx + x, sy + y, 16) < 0.12 && c.r == kGrey2.r) c = kGrey3;
                    const int px = ((sx + x) % kTile + kTile) % kTile;
                    img.Set(f.x + px, f.y + sy + y, c);
                }
            }
        }
    }
    // A little moss in the mortar.
    const Cell moss[] = {{3, 7}, {4, 7}, {12, 15}, {11, 15}, {0, 10}, {8, 2}};
    for (const Cell& m : moss) img.Set(f.x + m.x, f.y + m.y, kLeaf2);
}

// Cut ground: warm earth with crumbs and a few pebbles; the pattern repeats
// every tile, so paths join seamlessly.
void DrawCutGround(Image& img) {
    const Cell f = FrameAt(224);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            const double n = Noise(x, y, 224);
            Rgba c = kSoil2;
            if (n < 0.10) c = kSoil1;
            else if (n > 0.92) c = kSoil3;
            img.Set(f.x + x, f.y + y, c);
        }
    }
    const Cell pebbles[] = {{3, 4}, {11, 10}, {6, 13}};
    for (const Cell& p : pebbles) {
        img.Set(f.x + p.x, f.y + p.y, kSand);
        img.Set(f.x + p.x + 1, f.y + p.y, kSoil3);
        img.Set(f.x + p.x, f.y + p.y + 1, kSoil1);
        img.Set(f.x + p.x + 1, f.y + p.y + 1, kSoil1);
    }
}

// One hedge style: a leaf palette from dark to light, the shape and size of
// the leaf clumps, and what grows on it.
struct HedgeStyle {
    Rgba gap, dark, mid, light, shine;
    enum Shape { kRound, kPointed, kScale, kBlock } shape;
    double clump;  // clump radius in pixels
    Rgba bloom;    // flowers or berries; alpha 0 for none
    int blooms;
};

const HedgeStyle kHedges[14] = {
    {kLeaf0, kLeaf1, kLeaf2, kLeaf3, kLeaf4, HedgeStyle::kRound, 3.4, kClear, 0},
    {Hex(0x10291f), Hex(0x1b4a33), Hex(0x2a6b44), Hex(0x3f8f55), Hex(0x7cc27a), HedgeStyle::kPointed, 3.0, kClear, 0},
    {Hex(0x29451a), Hex(0x4a7a22), Hex(0x73a82c), Hex(0xa4d044), Hex(0xe0f28a), HedgeStyle::kRound, 2.6, kClear, 0},
    {Hex(0x0f2c30), Hex(0x1c5052), Hex(0x2c7a72), Hex(0x4aa391), Hex(0x9adcc0), HedgeStyle::kPointed, 3.4, kClear, 0},
    {Hex(0x2c3214), Hex(0x4c5620), Hex(0x6f7c2e), Hex(0x97a544), Hex(0xcfd67e), HedgeStyle::kScale, 3.0, kClear, 0},
    {Hex(0x3c1a10), Hex(0x7a3318), Hex(0xb85a22), Hex(0xe28a34), Hex(0xf8c868), HedgeStyle::kRound, 3.2, kClear, 0},
    {Hex(0x2a1020), Hex(0x55203a), Hex(0x85304a), Hex(0xb04e5e), Hex(0xe08a8a), HedgeStyle::kRound, 3.6, kClear, 0},
    {kLeaf0, kLeaf1, kLeaf2, kLeaf3, kLeaf4, HedgeStyle::kRound, 3.0, kPink, 5},
    {Hex(0x163626), Hex(0x22573a), Hex(0x357a48), Hex(0x55a05a), Hex(0x9ccc88), HedgeStyle::kPointed, 2.8, kWhite, 6},
    {kLeaf0, kLeaf1, kLeaf2, kLeaf3, kLeaf4, HedgeStyle::kScale, 3.2, kRed, 5},
    {Hex(0x24401a), Hex(0x3e6a24), Hex(0x5e9630), Hex(0x8cc040), Hex(0xd2ec80), HedgeStyle::kBlock, 4.0, kClear, 0},
    {Hex(0x0e2a1c), Hex(0x184a2c), Hex(0x266a3a), Hex(0x3a8a48), Hex(0x6cb46a), HedgeStyle::kBlock, 4.0, kYellow, 3},
    {Hex(0x173a34), Hex(0x2a6656), Hex(0x409478), Hex(0x66bc96), Hex(0xb4e6c8), HedgeStyle::kScale, 2.6, kClear, 0},
    {Hex(0x1a3424), Hex(0x2a5436), Hex(0x3e7446), Hex(0x5e9a56), Hex(0x9cc47c), HedgeStyle::kRound, 3.0, kLavender, 6},
};

bool InClump(const HedgeStyle& s, double dx, double dy) {
    const double r = s.clump;
    switch (s.shape) {
        case HedgeStyle::kRound: return dx * dx + dy * dy <= r * r;
        case HedgeStyle::kPointed: return std::abs(dx) * 1.2 + std::abs(dy) * 0.8 <= r;  // a leaf tip up
        case HedgeStyle::kScale: return dx * dx / 1.6 + dy * dy * 1.3 <= r * r && dy > -r * 0.6;
        case HedgeStyle::kBlock: return std::abs(dx) <= r - 0.5 && std::abs(dy) <= r - 1.5;
    }
    return false;
}

void DrawHedge(Image& img, int style) {
    const HedgeStyle& s = kHedges[style];
    const Cell f = FrameAt(240 + style);
    FillRect(img, f.x, f.y, kTile, kTile, s.dark);
    // Clumps on a jittered grid, painted top to bottom so lower ones overlap.
    const int n = s.shape == HedgeStyle::kBlock ? 2 : 4;
    const double step = double(kTile) / n;
    for (int gy = -1; gy <= n; ++gy) {
        for (int gx = -1; gx <= n; ++gx) {
            const std::uint32_t seed = 240 + style;
            const double jitter = s.shape == HedgeStyle::kBlock ? 0 : 1.2;
            const double cx = (gx + 0.5 + (gy % 2 ? 0.5 : 0)) * step + (Noise(gx, gy, seed) - 0.5) * jitter;
            const double cy = (gy + 0.5) * step + (Noise(gx, gy, seed + 99) - 0.5) * jitter;
            for (int y = 0; y < kTile; ++y) {
                for (int x = 0; x < kTile; ++x) {
                    const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                    if (!InClump(s, dx, dy)) continue;
                    // Lit from the upper left: shine, light, mid, dark rim.
                    const double side = (dx * 0.7 + dy) / s.clump;
                    Rgba c = side < -0.7 ? s.shine : side < -0.1 ? s.light : side < 0.6 ? s.mid : s.dark;
                    if (s.shape == HedgeStyle::kBlock && c.r == s.shine.r && Noise(x, y, seed) < 0.5) c = s.light;
                    img.Set(f.x + x, f.y + y, c);
                }
            }
        }
    }
    // Each hedge cell is a clipped bush: dark notches at its corners and a
    // shadowed bottom edge give the board its grid.
    for (int i = 0; i < kTile; ++i) {
        Blend(img, f.x + i, f.y + kTile - 1, s.gap, 0.7);
        Blend(img, f.x + kTile - 1, f.y + i, s.gap, 0.45);
    }
    const Cell corners[] = {{0, 0}, {1, 0}, {0, 1}, {15, 0}, {14, 0}, {15, 1}, {0, 15}, {1, 15}, {0, 14},
                            {15, 15}, {14, 15}, {15, 14}};
    for (const Cell& c : corners) img.Set(f.x + c.x, f.y + c.y, s.gap);
    for (int b = 0; b < s.blooms; ++b) {
        const int x = 2 + static_cast<int>(Noise(b, style, 7) * 11);
        const int y = 2 + static_cast<int>(Noise(b, style, 8) * 11);
        img.Set(f.x + x, f.y + y, s.bloom);
        img.Set(f.x + x + 1, f.y + y, Mix(s.bloom, kWhite, 0.4));
        img.Set(f.x + x, f.y + y + 1, Mix(s.bloom, s.dark, 0.5));
        img.Set(f.x + x + 1, f.y + y + 1, s.bloom);
    }
}

// ---- Items -------------------------------------------------------------------

void DrawFlowerHead(Image& img, Cell f, int petals, double outer, double inner, Rgba light, Rgba base,
                    Rgba dark, Rgba eye, Rgba eye_dark, double eye_r, double turn) {
    const double cx = 8, cy = 8;
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double r = std::hypot(dx, dy);
            const double a = std::atan2(dy, dx) + turn;
            const double edge = inner + (outer - inner) * std::pow(std::abs(std::cos(a * petals / 2)), 0.7);
            if (r > edge) continue;
            Rgba c = (dx + dy) / outer < -0.5 ? light : (dx + dy) / outer > 0.45 ? dark : base;
            if (r <= eye_r) c = (dx + dy) > 0.8 ? eye_dark : eye;
            img.Set(f.x + x, f.y + y, c);
        }
    }
}

void DrawItems(Image& img) {
    const Palette fruit{{'R', kRed}, {'P', kRose}, {'d', kRedDark}, {'g', kLeaf3}, {'G', kLeaf2},
                        {'n', kSoil1}, {'O', kOrange}, {'o', kOrangeDark}, {'Y', kYellow}, {'y', kGold},
                        {'L', kYellowPale}, {'k', kPink}, {'W', kWhite}, {'w', kGrey1}};
    // 18: an apple.
    Cell f = FrameAt(18);
    Stamp(img, f.x, f.y,
          {"................", "................", "........gg......", ".......ngG......",
           "....RRRnRRR.....", "...RPRRRRRRR....", "..RPPRRRRRRRR...", "..RPRRRRRRRRR...",
           "..RRRRRRRRRRd...", "..RRRRRRRRRRd...", "...RRRRRRRRd....", "...dRRRRRRdd....",
           "....ddd.ddd.....", "................"},
          fruit);
    OutlineFrame(img, f);
    // 19: a carrot.
    f = FrameAt(19);
    Stamp(img, f.x, f.y,
          {"................", "......g..g......", ".......gGg.g....", "......GgGGg.....",
           ".....OOOOOOO....", ".....OLOOOOo....", ".....OLOOoOo....", "......OOOOo.....",
           "......OoOOo.....", ".......OOo......", ".......OOo......", ".......Oo.......",
           "........o.......", "................"},
          fruit);
    OutlineFrame(img, f);
    // 20: a pear.
    f = FrameAt(20);
    Stamp(img, f.x, f.y,
          {"................", "................", ".......n.gg.....", ".......ngG......",
           "......YYY.......", ".....YLYYY......", ".....YLYYY......", "....YYYYYYy.....",
           "...YLYYYYYYy....", "...YYYYYYYYy....", "...YYYYYYYyy....", "....YYYYYyy.....",
           ".....yyyyy......", "................"},
          fruit);
    OutlineFrame(img, f);
    // 21: grapes.
    f = FrameAt(21);
    Stamp(img, f.x, f.y, {"................", "................", "........n.......", "........ngG.....",
                          "........n.gG...."},
          fruit);
    const double grapes[][2] = {{5, 6.5}, {8, 6.5}, {11, 6.5}, {6.5, 9.2}, {9.5, 9.2}, {8, 11.9}};
    for (const auto& g : grapes) Disc(img, f, g[0], g[1], 1.9, kLavender, kPurple, kPurpleDark);
    OutlineFrame(img, f);
    // 22: a tulip.
    f = FrameAt(22);
    Stamp(img, f.x, f.y,
          {"................", "................", ".....k...k......", ".....kP.Pk......",
           "....kPPkPPk.....", "....kPPPPPk.....", "....RkPPPkR.....", ".....RkkkR......",
           "......RRR.......", ".......g........", "....gg.g........", ".....ggg.gg.....",
           ".......ggG......", ".......g........"},
          {{'k', kPink}, {'P', kRose}, {'R', kRed}, {'g', kLeaf3}, {'G', kLeaf2}});
    OutlineFrame(img, f);
    // 23: a daisy.
    f = FrameAt(23);
    DrawFlowerHead(img, f, 8, 6.6, 2.6, kWhite, kWhite, kGrey1, kYellow, kOrange, 2.2, 0.2);
    OutlineFrame(img, f);
    // 24: a forget-me-not.
    f = FrameAt(24);
    DrawFlowerHead(img, f, 5, 6.6, 1.5, kSkyPale, kSky, kBlue, kYellow, kOrange, 1.8, 0.3);
    OutlineFrame(img, f);
    // 25: a strawberry, the spare eighth kind.
    f = FrameAt(25);
    Stamp(img, f.x, f.y,
          {"................", "................", ".....g.gg.g.....", "......gGGg......",
           "....RRRgRRR.....", "...RPRRRRRRR....", "...RRLRRLRRd....", "...RRRRRRRRd....",
           "....RLRRLRd.....", "....RRRRRRd.....", ".....RLRRd......", "......RRd.......",
           ".......d........", "................"},
          {{'R', kRed}, {'P', kRose}, {'d', kRedDark}, {'g', kLeaf3}, {'G', kLeaf2}, {'L', kYellowPale}});
    OutlineFrame(img, f);
}

}  // namespace

Image DrawGameSprites() {
    Image img(kTile * kColumns, kTile * 16);
    DrawGardener(img);
    DrawHome(img);
    DrawBeetle(img);
    DrawBalls(img);
    DrawLives(img);
    DrawBorder(img);
    DrawItems(img);
    DrawCutGround(img);
    for (int style = 0; style < 14; ++style) DrawHedge(img, style);
    return img;
}
