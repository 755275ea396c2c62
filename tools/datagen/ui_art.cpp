// The menu pictures: the icon sheet, the button sheet (game-type tiles, the
// three layers of the options cog, a small emblem) and the on-screen pad.
// All are smooth shapes drawn natively at each level; the game tints icons
// and pad, so those are white on a dark disc or cap.
#include <cmath>
#include <vector>

#include "tools/datagen/art_palette.h"
#include "tools/datagen/images.h"
#include "tools/datagen/raster.h"

namespace {

using namespace pal;

Canvas FrameCanvas(Image& img, int frame, int size, int columns, int level) {
    return {&img, frame % columns * size * level, frame / columns * size * level, size * level, size * level,
            static_cast<double>(level)};
}

// A vertical gradient between two colours over [y0, y1].
auto Vertical(Rgba top, Rgba bottom, double y0, double y1) {
    return [=](Vec p) { return Mix(top, bottom, std::clamp((p.y - y0) / (y1 - y0), 0.0, 1.0)); };
}

// Light from the upper left across a round shape centred on c.
auto Lit(Rgba light, Rgba dark, Vec c, double r) {
    return [=](Vec p) {
        const double t = std::clamp((p.x - c.x + p.y - c.y) / (2.6 * r) + 0.5, 0.0, 1.0);
        return Mix(light, dark, t);
    };
}

double SdGear(Vec p, Vec c, int teeth, double root, double tip, double width, double turn) {
    const Vec q = p - c;
    double d = Length(q) - root;
    const double step = 360.0 / teeth;
    const double ang = std::atan2(q.x, -q.y) * 180 / 3.14159265358979 - turn;
    const double nearest = std::round(ang / step) * step + turn;
    const Vec t = Rotate(q, -nearest);
    return Union(d, SdBox(t, {0, -(root + tip) / 2}, {width / 2, (tip - root) / 2 + 0.5}, width * 0.3));
}

// ---- Icons -------------------------------------------------------------------

const Vec kIconCentre{16, 16};

// A white symbol with an ink rim, on the icons' dark disc and light ring.
template <class Sd>
void Icon(Image& img, int frame, int level, Sd symbol) {
    const Canvas c = FrameCanvas(img, frame, 32, 4, level);
    const Box all{0, 0, 32, 32};
    Fill(c, all, [](Vec p) { return SdCircle(p, kIconCentre, 14.5); }, WithAlpha(kInk, 0.6));
    Fill(c, all, [](Vec p) { return SdArc(p, kIconCentre, 13, 0.8, 0, 360); }, WithAlpha(kWhite, 0.85));
    Fill(c, all, [&](Vec p) { return symbol(p) - 1.1; }, kInk);
    Fill(c, all, symbol, kWhite);
}

double SdSpeaker(Vec p) {
    return SdPolygon(p, {{8, 13}, {12, 13}, {17, 8.5}, {17, 23.5}, {12, 19}, {8, 19}}) - 0.6;
}

void DrawIconFrames(Image& img, int level) {
    Icon(img, 0, level, [](Vec p) {  // pause
        return Union(SdBox(p, {12.5, 16}, {2.2, 6.5}, 1), SdBox(p, {19.5, 16}, {2.2, 6.5}, 1));
    });
    Icon(img, 1, level, [](Vec p) {  // quit
        return Union(SdSegment(p, {11, 11}, {21, 21}, 2.1), SdSegment(p, {21, 11}, {11, 21}, 2.1));
    });
    Icon(img, 2, level, [](Vec p) {  // options
        return Cut(SdGear(p, kIconCentre, 8, 6, 9, 3, 0), SdCircle(p, kIconCentre, 2.6));
    });
    Icon(img, 3, level, [](Vec p) {  // play
        return SdPolygon(p, {{12.5, 9.5}, {22.5, 16}, {12.5, 22.5}}) - 1;
    });
    Icon(img, 4, level, [](Vec p) {  // sound on
        return Union(SdSpeaker(p), Union(SdArc(p, {17, 16}, 4, 0.9, 45, 135), SdArc(p, {17, 16}, 7.5, 0.9, 45, 135)));
    });
    Icon(img, 5, level, [](Vec p) {  // sound off
        return Union(SdSpeaker(p), Union(SdSegment(p, {19.5, 13}, {24.5, 19}, 1.1), SdSegment(p, {24.5, 13}, {19.5, 19}, 1.1)));
    });
    // 6: the ring that frames the chosen icon; no disc, so what it rings shows.
    {
        const Canvas c = FrameCanvas(img, 6, 32, 4, level);
        const Box all{0, 0, 32, 32};
        Fill(c, all, [](Vec p) { return SdArc(p, kIconCentre, 14, 2.1, 0, 360); }, WithAlpha(kInk, 0.7));
        Fill(c, all, [](Vec p) { return SdArc(p, kIconCentre, 14, 1.3, 0, 360); }, kWhite);
        for (int i = 0; i < 4; ++i) {
            const Vec at = kIconCentre + Polar(45 + i * 90, 14);
            Fill(c, all, [&](Vec p) { return SdCircle(p, at, 2.4); }, kWhite);
        }
    }
    Icon(img, 7, level, [](Vec p) {  // calibrate: cross hairs over a level bubble
        double d = SdArc(p, kIconCentre, 6.5, 1, 0, 360);
        d = Union(d, SdCircle(p, kIconCentre, 2));
        for (int i = 0; i < 4; ++i) {
            d = Union(d, SdSegment(p, kIconCentre + Polar(i * 90, 8.5), kIconCentre + Polar(i * 90, 11), 1));
        }
        return d;
    });
    Icon(img, 8, level, [](Vec p) {  // full screen: four corners
        double d = 1e9;
        for (int i = 0; i < 4; ++i) {
            const double sx = i % 2 ? 1 : -1, sy = i / 2 ? 1 : -1;
            const Vec k{16 + sx * 7, 16 + sy * 7};
            d = Union(d, SdSegment(p, k, k - Vec{sx * 4.5, 0}, 1.1));
            d = Union(d, SdSegment(p, k, k - Vec{0, sy * 4.5}, 1.1));
        }
        return d;
    });
    Icon(img, 9, level, [](Vec p) {  // back
        return Union(SdPolygon(p, {{8, 16}, {15, 9.5}, {15, 22.5}}) - 0.5, SdBox(p, {19, 16}, {5, 2.2}, 1));
    });
    Icon(img, 10, level, [](Vec p) {  // home
        return Cut(SdPolygon(p, {{16, 7.5}, {24.5, 15}, {22, 15}, {22, 23.5}, {10, 23.5}, {10, 15}, {7.5, 15}}),
                   SdBox(p, {16, 20.5}, {2, 3.2}));
    });
    Icon(img, 11, level, [](Vec p) { return SdStar(p, kIconCentre + Vec{0, 0.8}, 5, 9.5, 4, 0) - 0.5; });
    Icon(img, 12, level, [](Vec p) {  // music
        const double head = Length(Vec{(p.x - 12.5) / 3.6, (p.y - 21) / 2.8}) - 1;
        return Union(Union(head * 2.8, SdSegment(p, {15.5, 21}, {15.5, 8}, 1)), SdSegment(p, {15.5, 8.5}, {21, 12.5}, 1.2));
    });
    Icon(img, 13, level, [](Vec p) {  // information
        return Union(SdCircle(p, {16, 9.5}, 2.1), SdBox(p, {16, 18.5}, {1.9, 5.5}, 0.8));
    });
    Icon(img, 14, level, [](Vec p) {  // question
        return Union(Union(SdArc(p, {16, 12.5}, 4.3, 1.5, 270, 480), SdSegment(p, {16, 16.8}, {16, 18.5}, 1.5)),
                     SdCircle(p, {16, 23}, 1.8));
    });
    Icon(img, 15, level, [](Vec p) {  // tick
        return Union(SdSegment(p, {9.5, 16.5}, {14, 21}, 1.9), SdSegment(p, {14, 21}, {23, 10.5}, 1.9));
    });
}

// ---- Buttons -------------------------------------------------------------------

struct Tile {
    Rgba top, bottom, rim;
};

double SdTile(Vec p) { return SdBox(p, {32, 32}, {27.5, 27.5}, 9); }

void DrawTileBase(const Canvas& c, const Tile& t) {
    const Box all{0, 0, 64, 64};
    Inked(c, all, SdTile, Vertical(t.top, t.bottom, 6, 58), 2);
    // A bevel: a light lip along the top, a darker one along the bottom.
    Fill(c, all, [](Vec p) { return Meet(SdTile(p), -SdBox(p, {32, 33.5}, {27.5, 27.5}, 9)); },
         WithAlpha(kWhite, 0.45));
    Fill(c, all, [](Vec p) { return Meet(SdTile(p), -SdBox(p, {32, 30.5}, {27.5, 27.5}, 9)); },
         WithAlpha(t.rim, 0.8));
}

// A digit of the game font, three times enlarged, in the tile's top-left
// corner, and a sprite of the game twice enlarged.
void PasteDigit(Image& img, const Canvas& c, const Image& font, char digit, int level) {
    const int code = digit - 32;
    const int cx = code % 16 * 16 * level, cy = code / 16 * 16 * level;
    PasteScaled(font, cx + 4 * level, cy + 3 * level, 7 * level, 9 * level, img, c.x0 + 4 * level, c.y0 + 3 * level, 3);
}

void PasteSprite(Image& img, const Canvas& c, const Image& gfx, int frame, int level, int x, int y) {
    PasteScaled(gfx, frame % 16 * 16 * level, frame / 16 * 16 * level, 16 * level, 16 * level, img,
                c.x0 + x * level, c.y0 + y * level, 2);
}

void DrawGameTypeTiles(Image& img, int level) {
    const Image font = EnlargePixelArt(DrawEditUndoFont(), level, 16, 16);
    const Image gfx = EnlargePixelArt(DrawGameSprites(), level, 16, 16);
    auto inside = [](double inset) { return [inset](Vec p) { return SdTile(p) + inset; }; };
    const Box all{0, 0, 64, 64};

    // 1: the garden by day: sun, hills and the gardener.
    Canvas c = FrameCanvas(img, 0, 64, 4, level);
    DrawTileBase(c, {kSkyPale, kSky, kBlue});
    Fill(c, all, [&](Vec p) { return Meet(inside(3)(p), SdCircle(p, {48, 18}, 7)); }, kYellow);
    Fill(c, all, [&](Vec p) { return Meet(inside(3)(p), SdCircle(p, {20, 82}, 38)); }, kLeaf3);
    Fill(c, all, [&](Vec p) { return Meet(inside(3)(p), SdCircle(p, {56, 86}, 36)); }, kLeaf2);
    PasteSprite(img, c, gfx, 0, level, 22, 20);
    PasteDigit(img, c, font, '1', level);

    // 2: the garden by night: moon, stars and a beetle.
    c = FrameCanvas(img, 1, 64, 4, level);
    DrawTileBase(c, {Hex(0x4a4c9a), kNight, kInk});
    Fill(c, all, [&](Vec p) { return Meet(inside(3)(p), Cut(SdCircle(p, {47, 17}, 7), SdCircle(p, {51, 14}, 6))); },
         kYellowPale);
    for (const Vec s : {Vec{30, 12}, Vec{38, 24}, Vec{54, 30}, Vec{24, 30}}) {
        Fill(c, all, [&](Vec p) { return SdStar(p, s, 4, 2.6, 0.8); }, kWhite);
    }
    Fill(c, all, [&](Vec p) { return Meet(inside(3)(p), SdCircle(p, {32, 92}, 44)); }, kLeaf1);
    PasteSprite(img, c, gfx, 4, level, 18, 24);
    PasteDigit(img, c, font, '2', level);

    // 3: a new garden every game: two tumbling dice.
    c = FrameCanvas(img, 2, 64, 4, level);
    DrawTileBase(c, {kLavender, kPurple, kPurpleDark});
    const struct {
        Vec at;
        double turn;
        int pips;
    } dice[] = {{{42, 26}, 18, 3}, {{30, 44}, -12, 5}};
    for (const auto& d : dice) {
        auto face = [d](Vec p) { return SdBox(Rotate(p - d.at, -d.turn), {0, 0}, {8.5, 8.5}, 2.5); };
        Inked(c, all, face, Vertical(kWhite, kGrey1, d.at.y - 9, d.at.y + 9), 1.3);
        const Vec pips[] = {{-4, -4}, {4, 4}, {0, 0}, {4, -4}, {-4, 4}};
        const int order[2][5] = {{0, 2, 1, -1, -1}, {0, 1, 2, 3, 4}};
        for (int i : order[d.pips == 3 ? 0 : 1]) {
            if (i < 0) continue;
            const Vec at = d.at + Rotate(pips[i], d.turn);
            Fill(c, all, [&](Vec p) { return SdCircle(p, at, 1.7); }, kInk);
        }
    }
    PasteDigit(img, c, font, '3', level);
}

void DrawCog(Image& img, int level) {
    const Vec centre{32, 32};
    const Box all{0, 0, 64, 64};
    // 8: the large brass wheel, with holes so that its turning shows.
    Canvas c = FrameCanvas(img, 8, 64, 4, level);
    auto wheel = [&](Vec p) {
        double d = Cut(SdGear(p, centre, 14, 24.5, 29.5, 5, 0), SdCircle(p, centre, 13));
        for (int i = 0; i < 6; ++i) d = Cut(d, SdCircle(p, centre + Polar(i * 60 + 30, 19), 2.6));
        return d;
    };
    Inked(c, all, wheel, Lit(kYellowPale, kGoldDark, centre, 30), 1.6);
    // 9: a steel wheel that turns the other way.
    c = FrameCanvas(img, 9, 64, 4, level);
    auto steel = [&](Vec p) {
        double d = Cut(SdGear(p, centre, 10, 14.5, 18.5, 4.2, 18), SdCircle(p, centre, 6));
        for (int i = 0; i < 4; ++i) d = Cut(d, SdCircle(p, centre + Polar(i * 90 + 45, 10.5), 2));
        return d;
    };
    Inked(c, all, steel, Lit(kWhite, kGrey3, centre, 18), 1.4);
    // 10: a flower at the hub, spinning fastest.
    c = FrameCanvas(img, 10, 64, 4, level);
    auto petals = [&](Vec p) {
        double d = 1e9;
        for (int i = 0; i < 5; ++i) d = Union(d, SdCircle(p, centre + Polar(i * 72, 5.8), 4.4));
        return d;
    };
    Inked(c, all, petals, Lit(kRose, kPink, centre, 10), 1.3);
    Inked(c, all, [&](Vec p) { return SdCircle(p, centre, 3.4); }, Lit(kYellowPale, kOrange, centre, 3.4), 1);
}

void DrawEmblem(Image& img, int level) {
    // 12: a seedling in a small gold ring, for the credits.
    const Canvas c = FrameCanvas(img, 12, 64, 4, level);
    const Vec centre{32, 32};
    const Box all{0, 0, 64, 64};
    Inked(c, all, [&](Vec p) { return SdCircle(p, centre, 24); }, Lit(kYellowPale, kGoldDark, centre, 24), 2);
    Fill(c, all, [&](Vec p) { return SdCircle(p, centre, 19); }, Lit(kWhite, kSand, centre, 19));
    auto leaf = [](Vec p, Vec base, double turn) {
        const Vec q = Rotate(p - base, -turn);
        return Meet(SdCircle(q, {-4.5, -7}, 8.2), SdCircle(q, {4.5, -7}, 8.2));
    };
    auto sprout = [&](Vec p) {
        double d = SdSegment(p, {32, 45}, {32, 30}, 1.6);
        d = Union(d, leaf(p, {31, 32}, -55));
        return Union(d, leaf(p, {33, 30}, 50));
    };
    Inked(c, all, sprout, Vertical(kLeaf4, kLeaf2, 18, 46), 1.2);
    Fill(c, all, [](Vec p) { return SdBox(p, {32, 46}, {9, 2}, 1.5); }, kSoil2);
}

// ---- The on-screen pad -------------------------------------------------------------

void DrawPadKey(Image& img, int frame, int level, double turn) {
    const Canvas c = FrameCanvas(img, frame, 32, 4, level);
    const Box all{0, 0, 32, 32};
    const Vec centre{16, 16};
    Inked(c, all, [&](Vec p) { return SdBox(p, centre, {13, 13}, 5); }, Vertical(kGrey2, kGrey4, 3, 29), 1.3);
    Fill(c, all, [&](Vec p) { return SdBox(p, centre + Vec{0, -0.8}, {10.5, 10.5}, 3.8); }, Vertical(kGrey3, kGrey2, 5, 27));
    auto arrow = [&](Vec p) {
        const Vec q = Rotate(p - centre, -turn);
        return SdPolygon(q, {{0, -7.5}, {7, 3}, {-7, 3}}) - 0.8;
    };
    Fill(c, all, [&](Vec p) { return arrow(p) - 1; }, kInk);
    Fill(c, all, arrow, kWhite);
}

void DrawPadFrames(Image& img, int level) {
    DrawPadKey(img, 1, level, 0);
    DrawPadKey(img, 6, level, 90);
    DrawPadKey(img, 9, level, 180);
    DrawPadKey(img, 4, level, 270);
    const Vec centre{16, 16};
    const Box all{0, 0, 32, 32};
    // 5: the hub between the keys.
    Canvas c = FrameCanvas(img, 5, 32, 4, level);
    Inked(c, all, [&](Vec p) { return SdCircle(p, centre, 10); }, Lit(kGrey2, kGrey4, centre, 10), 1.3);
    Fill(c, all, [&](Vec p) { return SdCircle(p, centre, 5.5); }, Lit(kGrey4, kGrey2, centre, 5.5));
    // 0: the round action button.
    c = FrameCanvas(img, 0, 32, 4, level);
    Inked(c, all, [&](Vec p) { return SdCircle(p, centre, 13.5); }, Lit(kPink, kRedDark, centre, 13.5), 1.4);
    Fill(c, all, [&](Vec p) { return SdArc(p, centre, 10.5, 0.8, 0, 360); }, WithAlpha(kRedDark, 0.7));
    Fill(c, all, [&](Vec p) { return Length(Vec{(p.x - 11.5) / 4.5, (p.y - 10.5) / 2.6}) - 1; }, WithAlpha(kWhite, 0.55));
}

}  // namespace

Image DrawIcons(int level) {
    Image img(128 * level, 128 * level);
    DrawIconFrames(img, level);
    return img;
}

Image DrawButtons(int level) {
    Image img(256 * level, 256 * level);
    DrawGameTypeTiles(img, level);
    DrawCog(img, level);
    DrawEmblem(img, level);
    return img;
}

Image DrawDpad(int level) {
    Image img(128 * level, 128 * level);
    DrawPadFrames(img, level);
    return img;
}
