// PNG files as the drawing device loads images and tunes: decoded by the
// host's image loader, then premultiplied in the surface. Either null, or
// every pixel of the stated size is there.
#include <cstddef>
#include <cstdint>

#include "host/image_files.h"
#include "host/renderer.h"
#include "runtime/gc.h"
#include "tests/fuzz/input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Every collector step below frees what the last input left.
    [[maybe_unused]] static const bool ready = (gc_init(), gc_stress = true);
    const std::string path = fuzz::WriteInput("image.png", data, size);
    int width = -1, height = -1, depth = -1;
    unsigned char* pixels = orvLoadImageFile(String(path.c_str()), &width, &height, &depth);
    if (pixels) {
        if (width < 1 || height < 1 || depth < 1 || depth > 4) __builtin_trap();
        // No window: the surface keeps its pixels in memory and never
        // reaches the drawing library.
        gxtkSurface* surface = new gxtkSurface();
        surface->SetData(pixels, width, height, depth);
        [[maybe_unused]] volatile unsigned char last = pixels[static_cast<std::size_t>(width) * height * depth - 1];
    }
    gc_collect_step(nullptr);
    return 0;
}
