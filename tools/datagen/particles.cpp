// The particle sheet ("parts", 8 x 8 frames): the bits thrown when a hedge
// is cut or an item is taken. They fly at scale 1 over a busy board, so each
// is a bold filled shape of five to six design pixels with a dark outline.
// The game multiplies every texel by the particle's colour, so the fill is
// white and light grey (any tint shows true) and the outline is a deep
// green-grey that stays dark under every tint.
//
// Drawn natively at each level with hard edges: the outline and the light
// and shade rims stay one design pixel wide, while curves, leaf veins and
// flower hearts gain the finer detail of the larger files.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "tools/datagen/images.h"
#include "tools/datagen/raster.h"

namespace {

constexpr int kPart = 8;
constexpr int kFamilies = 16;  // 16 families of 16 variants: a random frame gives variety

constexpr Rgba kShine = Hex(0xffffff);
constexpr Rgba kBody = Hex(0xe6e6e6);
constexpr Rgba kShade = Hex(0xaaaaaa);
constexpr Rgba kRim = Hex(0x2a3b33);

constexpr double kNone = std::numeric_limits<double>::infinity();

// One particle's shape in its own turned frame (centre at 0, 0; design
// units): the filled body, and a finer mark inside it drawn in the shade
// tone once a design pixel has room for it.
struct Shape {
    double body;
    double mark = kNone;
};

// A leaf along the y axis, tip up: `half` of a vesica of the given length and
// width, with a midrib.
Shape Leaf(Vec q, double length, double width) {
    const double r = (length * length / 4 + width * width / 4) / width;
    const double off = r - width / 2;
    return {std::max(SdCircle(q, {off, 0}, r), SdCircle(q, {-off, 0}, r)),
            SdSegment(q, {0, length * 0.4}, {0, -length * 0.2}, 0.3)};
}

// Vertices of an irregular shard: `n` corners around the centre at jittered
// angles and radii, fixed by the frame.
std::vector<Vec> Shard(int frame, int n, double radius) {
    std::vector<Vec> v;
    for (int i = 0; i < n; ++i) {
        const double a = (i + (Noise(frame, i, 96) - 0.5) * 0.35) * 360.0 / n;
        v.push_back(Polar(a, radius * (0.85 + 0.2 * Noise(frame, i, 97))));
    }
    return v;
}

Shape Part(int family, int variant, Vec q) {
    const double t = (variant % 4) / 3.0;  // a shape parameter, 0..1
    const int frame = family * 16 + variant;
    switch (family) {
        case 0:  // round leaf
            return Leaf(q, 6.0, 3.6 + 0.6 * t);
        case 1:  // slender pointed leaf
            return Leaf(q, 6.4, 3.2 + 0.5 * t);
        case 2: {  // lobed leaf: three lobes on a midrib
            const double lobe = 1.25 + 0.15 * t;
            const double d = Union(Union(SdCircle(q, {0, -1.6}, lobe), SdCircle(q, {-1.1, 0.3}, lobe)),
                                   Union(SdCircle(q, {1.1, 0.3}, lobe), SdCircle(q, {0, 1.2}, 1.3)));
            return {d, SdSegment(q, {0, 2.3}, {0, -1.8}, 0.3)};
        }
        case 3: {  // clover: three round leaves
            double d = SdCircle(q, {0, 0}, 1.0);
            for (int i = 0; i < 3; ++i) d = Union(d, SdCircle(q, Polar(i * 120.0, 1.45), 1.35 + 0.1 * t));
            return {d, SdCircle(q, {0, 0}, 0.45)};
        }
        case 4: {  // petal: a teardrop
            const double round = 1.9 + 0.25 * t;
            const double d = Union(SdCircle(q, {0, 3.0 - round}, round),
                                   SdPolygon(q, {{0, -3.0}, {round * 0.92, 3.0 - round * 1.4}, {-round * 0.92, 3.0 - round * 1.4}}));
            return {d, SdSegment(q, {0, 1.4}, {0, -1.2}, 0.3)};
        }
        case 5: {  // rose petal: broad, notched at the rim
            const double d = Cut(Length(Vec{q.x / (2.8 - 0.2 * t), q.y / 2.5}) - 1, SdCircle(q, {0, -2.9}, 1.1));
            return {d, SdArc(q, {0, 3.4}, 3.0, 0.3, -25, 25)};
        }
        case 6: {  // little flower
            const int petals = 5 + variant % 2;
            double d = SdCircle(q, {0, 0}, 1.5);
            for (int i = 0; i < petals; ++i) d = Union(d, SdCircle(q, Polar(i * 360.0 / petals, 1.75), 1.2));
            return {d, SdCircle(q, {0, 0}, 0.75)};
        }
        case 7:  // four-point spark
            return {SdStar(q, {0, 0}, 4, 3.3, 1.85 + 0.2 * t)};
        case 8:  // burst: eight short points
            return {SdStar(q, {0, 0}, 8, 3.2, 2.2 + 0.15 * t), SdCircle(q, {0, 0}, 0.6)};
        case 9:  // five-point star
            return {SdStar(q, {0, 0}, 5, 3.3, 1.65 + 0.15 * t)};
        case 10:  // six-point star
            return {SdStar(q, {0, 0}, 6, 3.2, 1.95 + 0.15 * t), SdCircle(q, {0, 0}, 0.55)};
        case 11:  // triangular shard
            return {SdPolygon(q, Shard(frame, 3, 4.0))};
        case 12:  // four-cornered shard
            return {SdPolygon(q, Shard(frame, 4, 3.4))};
        case 13:  // cut gem with a facet line
            return {SdPolygon(q, {{0, -3.1}, {2.3, -0.6}, {1.4, 2.8}, {-1.4, 2.8}, {-2.3, -0.6}}),
                    SdSegment(q, {-2.0, -0.6}, {2.0, -0.6}, 0.3)};
        case 14:  // heart
            return {SdHeart(q, {0, 0}, 4.3 + 0.3 * t)};
        default:  // confetti: square, disc, crescent and ribbon
            switch (variant % 4) {
                case 0: return {SdBox(q, {0, 0}, {2.2, 2.2}, 0.4)};
                case 1: return {SdCircle(q, {0, 0}, 2.6)};
                case 2: return {Cut(SdCircle(q, {0, 0}, 3.0), SdCircle(q, {1.7, -1.1}, 2.1))};
                default: return {SdBox(q, {0, 0}, {1.6, 2.9}, 0.3)};
            }
    }
}

// What each texel of a frame shows, before it gets its colour.
enum Tone : unsigned char { kClearTone, kBodyTone, kShineTone, kShadeTone, kRimTone };

void DrawFrame(Image& img, int frame, int level) {
    const int family = frame / 16, variant = frame % 16;
    const int n = kPart * level;
    const double turn = variant * 22.5;
    const Vec centre{kPart / 2.0, kPart / 2.0};
    // Clipped to the middle six design pixels, so that the outline always
    // fits in the frame.
    auto body = [&](Vec p) {
        return Meet(Part(family, variant, Rotate(p - centre, -turn)).body, SdBox(p, centre, {3, 3}));
    };
    std::vector<Tone> tone(static_cast<std::size_t>(n) * n, kClearTone);
    auto at = [&](int x, int y) -> Tone& { return tone[static_cast<std::size_t>(y) * n + x]; };
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const Vec p{(x + 0.5) / level, (y + 0.5) / level};
            if (body(p) >= 0) continue;
            // Lit from the upper left like the sprites: a bright rim where
            // the shape ends up and left, a shaded one down and right.
            if (body(p + Vec{0.7, 0.7}) >= 0) {
                at(x, y) = kShadeTone;
            } else if (body(p - Vec{0.8, 0.8}) >= 0) {
                at(x, y) = kShineTone;
            } else if (level > 1 && Part(family, variant, Rotate(p - centre, -turn)).mark < 0) {
                at(x, y) = kShadeTone;
            } else {
                at(x, y) = kBodyTone;
            }
        }
    }
    // The outline: every clear texel within one design pixel of the body
    // (the eight neighbours at design size, a rounded band when larger).
    const int reach = level;
    const double reach2 = (level + 0.5) * (level + 0.5);
    std::vector<Tone> filled = tone;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            if (filled[static_cast<std::size_t>(y) * n + x] != kClearTone) continue;
            for (int dy = -reach; dy <= reach && at(x, y) == kClearTone; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) {
                    const int u = x + dx, v = y + dy;
                    if (u < 0 || v < 0 || u >= n || v >= n || dx * dx + dy * dy > reach2) continue;
                    if (filled[static_cast<std::size_t>(v) * n + u] != kClearTone) {
                        at(x, y) = kRimTone;
                        break;
                    }
                }
            }
        }
    }
    const Rgba colour[] = {kClear, kBody, kShine, kShade, kRim};
    const int fx = frame % 16 * n, fy = frame / 16 * n;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            if (at(x, y) != kClearTone) img.Set(fx + x, fy + y, colour[at(x, y)]);
        }
    }
}

}  // namespace

Image DrawParticles(int level) {
    Image img(kPart * 16 * level, kPart * kFamilies * level);
    for (int frame = 0; frame < 16 * kFamilies; ++frame) DrawFrame(img, frame, level);
    return img;
}
