// PNG output for the generator's images.
#pragma once
#include <filesystem>

#include "tools/datagen/image.h"

// Writes the image as an 8-bit RGBA PNG. The file is replaced in one step, so
// an interrupted build never leaves a half-written file that looks current.
// Throws std::runtime_error on failure.
void WritePng(const std::filesystem::path& path, const Image& image);
