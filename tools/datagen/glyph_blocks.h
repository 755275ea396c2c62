// Pixel glyphs written in the source as blocks of eight characters side by
// side: '#' a set pixel, '.' a clear one, one space between glyphs, so the
// source reads like the strip itself.
#pragma once
#include <cstddef>
#include <stdexcept>
#include <string>

constexpr int kGlyphsPerBlock = 8;

template <int Rows>
struct GlyphBlock {
    int first;  // character code of the block's first glyph
    const char* rows[Rows];
};

// Calls plot(glyph, x, y) for every set pixel, glyph counted from the first
// block. A malformed or misplaced block is a slip in the source: it throws
// rather than drawing a wrong glyph.
template <int Rows, std::size_t Count, class Plot>
void ForEachGlyphPixel(const GlyphBlock<Rows> (&blocks)[Count], int first_char, int glyph_width, Plot plot) {
    const std::size_t width = static_cast<std::size_t>(kGlyphsPerBlock * (glyph_width + 1) - 1);
    int glyph = 0;
    for (const GlyphBlock<Rows>& block : blocks) {
        if (block.first != first_char + glyph) throw std::logic_error("glyph blocks out of order");
        for (int row = 0; row < Rows; ++row) {
            const std::string text = block.rows[row];
            const std::string where = "glyph block " + std::to_string(block.first) + " row " + std::to_string(row);
            if (text.size() != width) throw std::logic_error(where + ": wrong length");
            for (std::size_t i = 0; i < width; ++i) {
                const bool separator = static_cast<int>(i % (glyph_width + 1)) == glyph_width;
                const char c = text[i];
                if (separator ? c != ' ' : c != '#' && c != '.') throw std::logic_error(where + ": bad character");
                if (c == '#') plot(glyph + static_cast<int>(i) / (glyph_width + 1), static_cast<int>(i) % (glyph_width + 1), row);
            }
        }
        glyph += kGlyphsPerBlock;
    }
}
