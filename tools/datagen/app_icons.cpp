// Writes the program's icon for the desktop's menus at the given sizes, as
// OUTPUT_DIR/hicolor/<n>x<n>/apps/vellumby.png, drawn from the game's own
// sprites: the cheering gardener in front of a clipped hedge.
// Usage: app_icons OUTPUT_DIR SIZE...
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "tools/datagen/images.h"
#include "tools/datagen/png_writer.h"
#include "tools/datagen/raster.h"

namespace fs = std::filesystem;

namespace {

constexpr int kTile = 16;
constexpr int kHedgeFrame = 240;   // the first garden's hedge
constexpr int kCheerFrame = 12;    // the gardener, arms up

// The icon at the sprites' own size, one tile.
Image DesignIcon() {
    const Image sprites = DrawGameSprites();
    const int columns = sprites.width() / kTile;
    auto at = [&](int frame, int* x, int* y) {
        *x = frame % columns * kTile;
        *y = frame / columns * kTile;
    };
    Image icon(kTile, kTile);
    int x = 0, y = 0;
    at(kHedgeFrame, &x, &y);
    Copy(sprites, x, y, icon, 0, 0, kTile, kTile);
    at(kCheerFrame, &x, &y);
    Paste(sprites, x, y, icon, 0, 0, kTile, kTile);
    return icon;
}

// Pixel art keeps its crisp pixels at every size: doubled with the game's
// own enlarger, then repeated by a whole factor, choosing the number of
// doublings that fills the most of the icon; what is left over becomes an
// even transparent margin.
Image IconOfSize(const Image& design, int size) {
    Image best = design;
    Image art = design;
    while (art.width() <= size) {
        if (size / art.width() * art.width() >= size / best.width() * best.width()) best = art;
        art = EnlargePixelArt(art, 2, art.width(), art.height());
    }
    const int factor = size / best.width();
    const int margin = (size - best.width() * factor) / 2;
    Image icon(size, size);
    PasteScaled(best, 0, 0, best.width(), best.height(), icon, margin, margin, factor);
    return icon;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: app_icons OUTPUT_DIR SIZE...\n");
        return 2;
    }
    try {
        const Image design = DesignIcon();
        for (int i = 2; i < argc; ++i) {
            const int size = std::atoi(argv[i]);
            if (size < kTile || size > 1024) {
                std::fprintf(stderr, "app_icons: unusable size %s\n", argv[i]);
                return 2;
            }
            const std::string name = std::to_string(size) + "x" + std::to_string(size);
            const fs::path dir = fs::path(argv[1]) / "hicolor" / name / "apps";
            fs::create_directories(dir);
            WritePng(dir / "vellumby.png", IconOfSize(design, size));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "app_icons: %s\n", e.what());
        return 1;
    }
    return 0;
}
