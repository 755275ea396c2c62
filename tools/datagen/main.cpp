// Writes the game's data files (images, fonts, sounds) into the folder given
// as the only argument. Everything is drawn or computed here, so the same
// source always gives byte-identical files.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "tools/datagen/default_font.h"
#include "tools/datagen/images.h"
#include "tools/datagen/sounds.h"

namespace fs = std::filesystem;

namespace {

// Each product writes one or more files into the output folder.
struct Product {
    const char* name;
    void (*write)(const fs::path& dir);
};

const Product kProducts[] = {
    {"default font", WriteDefaultFont},
    {"sound effects", WriteSoundEffects},
    {"level music", WriteLevelMusic},
    {"music player instruments", WriteInstruments},
    {"music player tunes", WriteTunes},
    {"images", WriteImages},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: datagen OUTPUT_DIR\n");
        return 2;
    }
    const fs::path dir = argv[1];
    for (const Product& product : kProducts) {
        try {
            fs::create_directories(dir);
            product.write(dir);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "datagen: %s: %s\n", product.name, e.what());
            return 1;
        }
    }
    return 0;
}
