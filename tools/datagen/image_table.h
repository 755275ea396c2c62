// The images the game loads: file name (without resolution suffix and
// ".png"), design frame size and frame count, and how many frames sit side by
// side in a row of the file. The game cuts frames left to right and starts a
// new row only when the next frame would not fit, so a row of `columns`
// frames must be exactly as wide as the file.
#pragma once

struct ImageEntry {
    const char* name;
    int frame_w, frame_h;
    int frames;
    int columns;

    constexpr int width() const { return frame_w * columns; }
    constexpr int height() const { return frame_h * ((frames + columns - 1) / columns); }
};

inline constexpr ImageEntry kImageEntrys[] = {
    {"gfx", 16, 16, 256, 16},
    {"parts", 8, 8, 256, 16},
    {"fonts/editundo", 16, 16, 128, 16},
    {"common/icons", 32, 32, 16, 4},
    {"common/Buttons", 64, 64, 16, 4},
    {"common/dpad", 32, 32, 16, 4},
    {"common/Testcard_Circle", 256, 256, 1, 1},
    {"common/QEVLLogo", 256, 256, 1, 1},
    {"logo", 256, 128, 1, 1},
    {"menu", 256, 256, 4, 2},
    {"BadgesA", 64, 64, 64, 8},
};

// File suffixes of the three resolutions, by level (1, 2, 4 times the design size).
inline constexpr struct {
    int level;
    const char* suffix;
} kResolutions[] = {{1, ""}, {2, "-hd"}, {4, "-hd2"}};
