// Every picture of the game, each in three resolutions (see image_table.h).
#pragma once
#include <filesystem>

#include "tools/datagen/image.h"

// Pixel art, drawn at design size; the larger files are enlarged from it.
Image DrawGameSprites();   // "gfx"
Image DrawEditUndoFont();  // "fonts/editundo"
Image DrawBackdrops();     // "menu"

// Drawn natively at `level` times the design size: the particles with hard
// edges, the rest as smooth art.
Image DrawParticles(int level);    // "parts"
Image DrawIcons(int level);        // "common/icons"
Image DrawButtons(int level);      // "common/Buttons"
Image DrawDpad(int level);         // "common/dpad"
Image DrawTestcard(int level);     // "common/Testcard_Circle"
Image DrawStudioLogo(int level);   // "common/QEVLLogo"
Image DrawTitleLogo(int level);    // "logo"
Image DrawBadges(int level);       // "BadgesA"

// Enlarges pixel art made of frame_w x frame_h frames to `level` (1, 2 or 4)
// times its size with Scale2x, never blurring.
Image EnlargePixelArt(const Image& design, int level, int frame_w, int frame_h);

// Writes all of them, working on several images at once.
void WriteImages(const std::filesystem::path& dir);
