#include "tools/datagen/png_writer.h"

#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

// The generator's only user of the writer, so its one copy lives here.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

namespace fs = std::filesystem;

namespace {

void Append(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(context);
    const auto* begin = static_cast<const unsigned char*>(data);
    bytes->insert(bytes->end(), begin, begin + size);
}

}  // namespace

void WritePng(const fs::path& path, const Image& image) {
    std::vector<unsigned char> bytes;
    if (!stbi_write_png_to_func(Append, &bytes, image.width(), image.height(), 4, image.data(),
                                image.width() * 4)) {
        throw std::runtime_error("cannot encode " + path.string());
    }
    fs::path partial = path;
    partial += ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) throw std::runtime_error("cannot write " + partial.string());
    }
    std::error_code error;
    fs::rename(partial, path, error);
    if (error) throw std::runtime_error("cannot rename to " + path.string() + ": " + error.message());
}
