// The framework's default font, "trel_font.png".
#pragma once
#include <filesystem>

#include "tools/datagen/image.h"

// One horizontal strip of 96 frames for characters 32 to 127, each 10 x 16
// pixels. The game cuts one pixel off each side of a frame, so glyphs use
// columns 1-8 only; glyph pixels are opaque white, the rest transparent.
Image DrawDefaultFont();

void WriteDefaultFont(const std::filesystem::path& dir);
