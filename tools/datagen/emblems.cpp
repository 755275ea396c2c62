// The large smooth pictures: the round test card, the studio's round logo,
// the title logo and the badge icons, each drawn natively at every level.
#include <cmath>
#include <functional>
#include <vector>

#include "tools/datagen/art_palette.h"
#include "tools/datagen/images.h"
#include "tools/datagen/raster.h"

namespace {

using namespace pal;

constexpr double kPi = 3.14159265358979323846;

Canvas Whole(Image& img, int level) { return {&img, 0, 0, img.width(), img.height(), static_cast<double>(level)}; }

auto Lit(Rgba light, Rgba dark, Vec c, double r) {
    return [=](Vec p) {
        const double t = std::clamp((p.x - c.x + p.y - c.y) / (2.6 * r) + 0.5, 0.0, 1.0);
        return Mix(light, dark, t);
    };
}

auto Vertical(Rgba top, Rgba bottom, double y0, double y1) {
    return [=](Vec p) { return Mix(top, bottom, std::clamp((p.y - y0) / (y1 - y0), 0.0, 1.0)); };
}

// ---- Test card ---------------------------------------------------------------------

// A round card for checking a screen: a chequered rim, a grid, colour bars, a
// grey scale, gratings of falling width and a centre cross in a circle.
Rgba TestcardColour(Vec p) {
    const Vec q = p - Vec{128, 128};
    const double r = Length(q);
    if (r > 116) {
        const double ang = std::atan2(q.x, -q.y) * 180 / kPi + 360;
        return static_cast<int>(ang / 10) % 2 ? Hex(0x101014) : Hex(0xf4f4f4);
    }
    // Colour bars.
    if (q.y >= -76 && q.y < -30 && std::abs(q.x) < 104) {
        static const Rgba bars[8] = {Hex(0xf0f0f0), Hex(0xf0f020), Hex(0x20f0f0), Hex(0x20e020),
                                     Hex(0xe020e0), Hex(0xe02020), Hex(0x2020e0), Hex(0x101010)};
        return bars[std::clamp(static_cast<int>((q.x + 104) / 26), 0, 7)];
    }
    // Grey scale.
    if (q.y >= 30 && q.y < 52 && std::abs(q.x) < 96) {
        const int step = std::clamp(static_cast<int>((q.x + 96) / 24), 0, 7);
        const std::uint8_t v = static_cast<std::uint8_t>(step * 255 / 7);
        return {v, v, v, 255};
    }
    // Gratings, four widths.
    if (q.y >= 56 && q.y < 78 && std::abs(q.x) < 80) {
        const int block = std::clamp(static_cast<int>((q.x + 80) / 40), 0, 3);
        const double width = 8.0 / (1 << block);
        return static_cast<int>(std::floor((q.x + 80) / width)) % 2 ? Hex(0x101010) : Hex(0xf0f0f0);
    }
    const Rgba back = Hex(0x6a6e7a);
    const double gx = std::fmod(q.x + 256, 20), gy = std::fmod(q.y + 256, 20);
    if (gx < 1 || gy < 1) return Hex(0xe8e8e8);
    return back;
}

// ---- The studio's logo -------------------------------------------------------------

// A round seal: a notched cream rim, a deep blue disc, a sprouting seed under
// an arc of three stars. No lettering, so it names nobody.
void DrawSeal(const Canvas& c, Vec centre, double scale) {
    auto at = [&](double x, double y) { return centre + Vec{x, y} * scale; };
    const Box all = Around(centre, 128 * scale);
    auto rim = [&](Vec p) {
        double d = SdCircle(p, centre, 118 * scale);
        const Vec q = p - centre;
        const double ang = std::atan2(q.x, -q.y) * 180 / kPi;
        const double near = std::round(ang / 15) * 15;
        return Union(d, SdCircle(p, centre + Polar(near, 118 * scale), 9 * scale));
    };
    Inked(c, all, rim, Lit(kYellowPale, kGold, centre, 120 * scale), 3 * scale);
    Fill(c, all, [&](Vec p) { return SdArc(p, centre, 104 * scale, 2 * scale, 0, 360); }, kGoldDark);
    Fill(c, all, [&](Vec p) { return SdCircle(p, centre, 98 * scale); },
         [&](Vec p) {
             const double t = std::clamp(Length(p - at(-30, -40)) / (150 * scale), 0.0, 1.0);
             return Mix(Hex(0x3f5fc0), kNight, t);
         });
    // Stars on an arc.
    for (int i = -1; i <= 1; ++i) {
        const Vec s = centre + Polar(i * 32.0, 70 * scale);
        const double size = (i == 0 ? 15 : 11) * scale;
        Fill(c, all, [&](Vec p) { return SdStar(p, s, 5, size, size * 0.45, i * 32.0); }, kYellow);
    }
    // The seed: a round soil mound, a stem and two leaves.
    Fill(c, all, [&](Vec p) { return Meet(SdCircle(p, at(0, 120), 64 * scale), SdCircle(p, centre, 98 * scale)); },
         Vertical(kSoil2, kSoil0, centre.y + 50 * scale, centre.y + 98 * scale));
    auto leaf = [&](Vec p, Vec base, double turn, double len) {
        const Vec q = Rotate(p - base, -turn) * (1 / scale);
        return Meet(SdCircle(q, {-len * 0.55, -len * 0.5}, len * 0.9), SdCircle(q, {len * 0.55, -len * 0.5}, len * 0.9)) *
               scale;
    };
    auto plant = [&](Vec p) {
        double d = SdArc(p, at(40, 56), 40 * scale, 4 * scale, 270, 300);
        d = Union(d, SdSegment(p, at(0, 58), at(0, 12), 4.5 * scale));
        d = Union(d, leaf(p, at(-2, 20), -58, 38));
        return Union(d, leaf(p, at(2, 12), 52, 44));
    };
    Inked(c, all, plant, Vertical(kLeaf4, kLeaf2, centre.y - 40 * scale, centre.y + 50 * scale), 3 * scale);
    // Veins.
    Fill(c, all, [&](Vec p) { return SdSegment(p, at(-6, 16), at(-40, -4), 1.4 * scale); }, WithAlpha(kLeaf1, 0.7));
    Fill(c, all, [&](Vec p) { return SdSegment(p, at(6, 8), at(44, -18), 1.4 * scale); }, WithAlpha(kLeaf1, 0.7));
    // A gloss across the upper half.
    Fill(c, all,
         [&](Vec p) { return Meet(SdCircle(p, centre, 96 * scale), -SdCircle(p, at(30, 70), 150 * scale)); },
         WithAlpha(kWhite, 0.12));
}

// ---- Title logo --------------------------------------------------------------------

// "Vellumby" in round strokes: the distance to the word's centre lines minus
// the stroke radius. Capitals and ascenders reach y 22, the x-height is y 54,
// the baseline y 86, the descender y 106.
struct Word {
    std::vector<std::function<double(Vec)>> strokes;
    double Sd(Vec p) const {
        double d = 1e9;
        for (const auto& s : strokes) d = std::min(d, s(p));
        return d;
    }
};

constexpr double kStroke = 5.5;
constexpr double kTop = 22 + kStroke, kMid = 54 + kStroke, kBase = 86 - kStroke, kBowl = 70;
constexpr double kBowlR = 16 - kStroke;

Word TitleWord(double& width) {
    Word w;
    double x = 0;
    auto seg = [&](Vec a, Vec b) { w.strokes.push_back([=](Vec p) { return SdSegment(p, a, b, kStroke); }); };
    auto arc = [&](Vec c, double r, double a0, double a1) {
        w.strokes.push_back([=](Vec p) { return SdArc(p, c, r, kStroke, a0, a1); });
    };
    // V
    seg({x + kStroke, kTop}, {x + 18, kBase});
    seg({x + 36 - kStroke, kTop}, {x + 18, kBase});
    x += 36 + 1;
    // e: a wider bowl with a thin bar, so that its counter stays open
    const double er = kBowlR + 1.5;
    arc({x + 17.5, kBowl - 1}, er, 150, 450);
    w.strokes.push_back([=](Vec p) { return SdSegment(p, {x + 17.5 - er, kBowl - 2}, {x + 17.5 + er, kBowl - 2}, 2.6); });
    x += 35 + 2;
    // l l
    for (int i = 0; i < 2; ++i) {
        seg({x + kStroke, kTop}, {x + kStroke, kBase});
        x += 11 + 3;
    }
    // u
    seg({x + kStroke, kMid}, {x + kStroke, kBowl});
    arc({x + 16, kBowl}, kBowlR, 90, 270);
    seg({x + 32 - kStroke, kMid}, {x + 32 - kStroke, kBase});
    x += 32 + 2;
    // m
    const double ar = 8.5;
    seg({x + kStroke, kMid}, {x + kStroke, kBase});
    arc({x + kStroke + ar, 54 + kStroke + ar * 0.6}, ar, 270, 450);
    seg({x + kStroke + 2 * ar, 54 + kStroke + ar * 0.6}, {x + kStroke + 2 * ar, kBase});
    arc({x + kStroke + 3 * ar, 54 + kStroke + ar * 0.6}, ar, 270, 450);
    seg({x + kStroke + 4 * ar, 54 + kStroke + ar * 0.6}, {x + kStroke + 4 * ar, kBase});
    x += 4 * ar + 2 * kStroke + 2;
    // b
    seg({x + kStroke, kTop}, {x + kStroke, kBase});
    arc({x + 16, kBowl}, kBowlR, 0, 360);
    x += 32 + 2;
    // y
    seg({x + kStroke, kMid}, {x + kStroke, kBowl});
    arc({x + 16, kBowl}, kBowlR, 90, 270);
    seg({x + 32 - kStroke, kMid}, {x + 32 - kStroke, 98});
    arc({x + 32 - kStroke - 9, 98}, 9, 90, 250);
    x += 32;
    width = x;
    return w;
}

void DrawTitle(const Canvas& c) {
    double width = 0;
    const Word word = TitleWord(width);
    const Vec shift{(256 - width) / 2, -4};
    auto sd = [&](Vec p) { return word.Sd(p - shift); };
    const Box all{0, 0, 256, 128};
    // Deep shadow, thick ink, then the letters with a light top and a
    // shaded foot on every stroke.
    Fill(c, all, [&](Vec p) { return sd(p - Vec{3, 4.5}) - 3.4; }, WithAlpha(kInk, 0.55));
    Fill(c, all, [&](Vec p) { return sd(p) - 3; }, kInk);
    Fill(c, all, sd, Vertical(kYellowPale, kLeaf3, 24, 100));
    Fill(c, all, [&](Vec p) { return Meet(sd(p), -sd(p + Vec{0, 2.6}) - 0.01); }, WithAlpha(kLeaf1, 0.75));
    Fill(c, all, [&](Vec p) { return Meet(sd(p) + 1.2, -(sd(p - Vec{0, 2.2}) + 1.2)); }, WithAlpha(kWhite, 0.7));

    // A sprout on the second l and a flower on the V.
    const double lx = shift.x + 36 + 1 + 35 + 2 + 14 + kStroke;
    auto leaf = [&](Vec p, Vec base, double turn, double len) {
        const Vec q = Rotate(p - base, -turn);
        return Meet(SdCircle(q, {-len * 0.55, -len * 0.5}, len * 0.9), SdCircle(q, {len * 0.55, -len * 0.5}, len * 0.9));
    };
    auto sprout = [&](Vec p) {
        const Vec base{lx, kTop + shift.y - 2};
        return Union(leaf(p, base, -60, 11), leaf(p, base + Vec{0, -1}, 55, 13));
    };
    Inked(c, all, sprout, Vertical(kLeaf4, kLeaf2, 0, 22), 2.2);
    const Vec flower = shift + Vec{36 - kStroke + 1, kTop - 2};
    auto petals = [&](Vec p) {
        double d = 1e9;
        for (int i = 0; i < 5; ++i) d = Union(d, SdCircle(p, flower + Polar(i * 72 + 10, 5), 4));
        return d;
    };
    Inked(c, all, petals, Lit(kRose, kPink, flower, 9), 2);
    Fill(c, all, [&](Vec p) { return SdCircle(p, flower, 2.8); }, kYellow);
}

// ---- Badges --------------------------------------------------------------------------

struct Scheme {
    Rgba rim_light, rim_dark, face_light, face_dark;
};

const Scheme kSchemes[8] = {
    {kYellowPale, kGoldDark, Hex(0xffe089), kGold},       // gold
    {kWhite, kGrey3, kGrey1, kGrey2},                     // silver
    {Hex(0xf2b488), Hex(0x7a3e1e), Hex(0xd98a52), Hex(0x9a5a30)},  // bronze
    {kLeaf4, kLeaf1, kLeaf3, kLeaf2},                     // leaf
    {kSkyPale, kBlueDark, kSky, kBlue},                   // sky
    {kLavender, kPurpleDark, Hex(0xa676d8), kPurple},     // plum
    {kRose, kRedDark, kPink, kRed},                       // rose
    {Hex(0xa8ecdc), Hex(0x14574f), Hex(0x5cc8b4), kTeal},  // pond
};

// The outlines of the badges; the corner lists are worked out once.
struct BadgeCorners {
    Vec hexagon[6], octagon[8], scallops[12];
    BadgeCorners() {
        const Vec c{32, 32};
        for (int i = 0; i < 6; ++i) hexagon[i] = c + Polar(i * 60.0, 27);
        for (int i = 0; i < 8; ++i) octagon[i] = c + Polar(i * 45.0 + 22.5, 28);
        for (int i = 0; i < 12; ++i) scallops[i] = c + Polar(i * 30.0, 23);
    }
};

double SdBadgeShape(int shape, Vec p) {
    static const BadgeCorners corners;
    const Vec c{32, 32};
    switch (shape) {
        case 0: return SdCircle(p, c, 27);
        case 1: return SdPolygon(p, {{8, 9}, {32, 4}, {56, 9}, {55, 34}, {32, 60}, {9, 34}}) - 1.5;
        case 2: return SdPolygon(p, corners.hexagon) - 1;
        case 3: {
            double d = SdCircle(p, c, 23);
            for (const Vec& s : corners.scallops) d = Union(d, SdCircle(p, s, 5));
            return d;
        }
        case 4: return SdBox(p, c, {25, 25}, 8);
        case 5: return SdPolygon(p, corners.octagon) - 1;
        case 6: return SdBox(Rotate(p - c, 45), {0, 0}, {19.5, 19.5}, 4);
        default: return SdStar(p, c, 8, 29, 22, 0) - 1.5;
    }
}

// Symbols in white, about 30 units across, centred on (32, 32).
double SdSymbol(int symbol, Vec p) {
    const Vec c{32, 32};
    auto leaf = [&](Vec q) { return Meet(SdCircle(q, {-6, 0}, 11), SdCircle(q, {6, 0}, 11)); };
    switch (symbol) {
        case 0: return Union(leaf(Rotate(p - c, -40)), SdSegment(p, {25, 39}, {21, 43}, 1.5));  // leaf
        case 1: return SdStar(p, c + Vec{0, 1}, 5, 13, 5.5, 0);                                // star
        case 2: return SdHeart(p, c + Vec{0, 1}, 24);                                          // heart
        case 3: return Cut(SdCircle(p, c, 11), SdArc(p, c + Vec{-16, -6}, 14, 1.4, 0, 360));  // ball
        case 4: {                                                                               // flower
            double d = SdCircle(p, c, 4);
            for (int i = 0; i < 6; ++i) d = Union(d, SdCircle(p, c + Polar(i * 60.0, 8), 4.6));
            return Cut(d, SdCircle(p, c, 2.2));
        }
        case 5: return Union(SdCircle(p, c + Vec{-4.5, 3}, 8.5), Union(SdCircle(p, c + Vec{4.5, 3}, 8.5),  // apple
                             SdSegment(p, c + Vec{0, -6}, c + Vec{3, -12}, 1.5)));
        case 6: return Union(SdBox(p, c + Vec{0, 2}, {9, 10}, 3), SdPolygon(p, {{32, 12}, {43, 24}, {21, 24}}));  // house
        case 7: return SdPolygon(p, {{36, 16}, {24, 34}, {31, 34}, {27, 49}, {41, 29}, {34, 29}, {38, 16}});  // bolt
        case 8: return Union(SdPolygon(p, {{19, 24}, {25, 30}, {32, 20}, {39, 30}, {45, 24}, {42, 40}, {22, 40}}),  // crown
                             SdBox(p, {32, 43}, {10, 2}, 1));
        case 9: return Union(SdArc(p, c, 11, 2, 0, 360),  // clock
                             Union(SdSegment(p, c, c + Vec{0, -7}, 1.6), SdSegment(p, c, c + Vec{5, 2}, 1.6)));
        case 10: return Union(SdSegment(p, {22, 32}, {29, 39}, 3), SdSegment(p, {29, 39}, {42, 24}, 3));  // tick
        case 11: {  // sun
            double d = SdCircle(p, c, 7);
            for (int i = 0; i < 8; ++i) d = Union(d, SdSegment(p, c + Polar(i * 45.0, 10.5), c + Polar(i * 45.0, 14), 1.6));
            return d;
        }
        case 12: return Cut(SdCircle(p, c, 12), SdCircle(p, c + Vec{6, -4}, 10));  // moon
        case 13:  // shears
            return Union(Union(SdSegment(p, {24, 20}, {38, 40}, 2), SdSegment(p, {40, 20}, {26, 40}, 2)),
                         Union(SdArc(p, {24, 43}, 4, 1.5, 0, 360), SdArc(p, {40, 43}, 4, 1.5, 0, 360)));
        case 14: return Union(SdBox(p, c + Vec{0, -3}, {8, 7}, 3), Union(SdBox(p, c + Vec{0, 8}, {2, 4}),  // cup
                              SdBox(p, c + Vec{0, 12.5}, {7, 1.8}, 1)));
        default: {  // note
            const double head = (Length(Vec{(p.x - 28) / 5.5, (p.y - 40) / 4.2}) - 1) * 4.2;
            return Union(head, Union(SdSegment(p, {32.5, 40}, {32.5, 19}, 1.6), SdSegment(p, {32.5, 20}, {40, 26}, 1.8)));
        }
    }
}

void DrawBadge(const Canvas& c, int shape, const Scheme& s, int symbol, bool ribbon) {
    const Box all{0, 0, 64, 64};
    const Vec centre{32, 32};
    if (ribbon) {
        // Two tails behind a rosette.
        for (int side = -1; side <= 1; side += 2) {
            auto tail = [side](Vec p) {
                return SdPolygon(p, {{32.0 + side * 4, 36}, {32.0 + side * 16, 36}, {32.0 + side * 18, 62},
                                     {32.0 + side * 12, 57}, {32.0 + side * 7, 62}});
            };
            Inked(c, all, tail, Vertical(s.face_light, s.rim_dark, 36, 62), 1.3);
        }
    }
    auto outer = [shape](Vec p) { return SdBadgeShape(shape, p); };
    Inked(c, all, outer, Lit(s.rim_light, s.rim_dark, centre, 28), 1.6);
    auto face = [shape](Vec p) { return SdBadgeShape(shape, p) + 4.5; };
    Fill(c, all, [&](Vec p) { return face(p) - 0.9; }, WithAlpha(s.rim_dark, 0.8));
    Fill(c, all, face, Lit(s.face_light, s.face_dark, centre, 24));
    auto sym = [symbol](Vec p) { return SdSymbol(symbol, p); };
    Fill(c, all, [&](Vec p) { return sym(p - Vec{0.8, 1.2}) - 1.2; }, WithAlpha(kInk, 0.45));
    Fill(c, all, [&](Vec p) { return sym(p) - 1.2; }, WithAlpha(kInk, 0.85));
    Fill(c, all, sym, Vertical(kWhite, kYellowPale, 16, 48));
    // A gloss over the upper left.
    Fill(c, all, [&](Vec p) { return Meet(face(p), SdCircle(p, {22, 20}, 16)); }, WithAlpha(kWhite, 0.16));
}

}  // namespace

Image DrawTestcard(int level) {
    Image img(256 * level, 256 * level);
    const Canvas c = Whole(img, level);
    const Box all{0, 0, 256, 256};
    Fill(c, all, [](Vec p) { return SdCircle(p, {128, 128}, 126); }, TestcardColour);
    Fill(c, all, [](Vec p) { return SdArc(p, {128, 128}, 116, 1, 0, 360); }, Hex(0x101014));
    Fill(c, all, [](Vec p) { return SdArc(p, {128, 128}, 125.5, 1, 0, 360); }, Hex(0x101014));
    // The centre: a circle with a cross, and four small rings.
    Fill(c, all, [](Vec p) { return SdCircle(p, {128, 128}, 24); }, Hex(0x202028));
    Fill(c, all, [](Vec p) { return SdArc(p, {128, 128}, 24, 1.6, 0, 360); }, Hex(0xf4f4f4));
    Fill(c, all, [](Vec p) {
        return Union(SdBox(p, {128, 128}, {30, 0.8}), SdBox(p, {128, 128}, {0.8, 30}));
    }, Hex(0xf4f4f4));
    for (const Vec at : {Vec{60, 112}, Vec{196, 112}, Vec{60, 144}, Vec{196, 144}}) {
        Fill(c, all, [&](Vec p) { return SdArc(p, at, 9, 1.4, 0, 360); }, Hex(0xf4f4f4));
    }
    return img;
}

Image DrawStudioLogo(int level) {
    Image img(256 * level, 256 * level);
    DrawSeal(Whole(img, level), {128, 128}, 1.0);
    return img;
}

Image DrawTitleLogo(int level) {
    Image img(256 * level, 128 * level);
    DrawTitle(Whole(img, level));
    return img;
}

Image DrawBadges(int level) {
    Image img(512 * level, 512 * level);
    for (int i = 0; i < 64; ++i) {
        const Canvas c{&img, i % 8 * 64 * level, i / 8 * 64 * level, 64 * level, 64 * level, static_cast<double>(level)};
        if (i == 0) {
            // The test badge: a blue rosette with a tick.
            DrawBadge(c, 3, kSchemes[4], 10, true);
        } else {
            // Every other badge differs from the rest in shape or colour.
            DrawBadge(c, i % 8, kSchemes[i / 8], (i * 7 + i / 8) % 16, i % 5 == 0);
        }
    }
    return img;
}
