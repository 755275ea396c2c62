// The graphics API on the real renderer: images and frames, flags and
// handles, and what reaches the renderer.
#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "framework/graphics.h"
#include "tests/game/values.h"
#include "tests/host/temp_files.h"
#include "tests/support/gl_window.h"

namespace {

using Ints = std::vector<int>;

// The graphics API on the fixture's renderer.
class Graphics : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        orvInitGraphics();
        orv_graphics_SetGraphicsDevice(gfx);
        orv_graphics_BeginRender();
    }
    void TearDown() override { orv_graphics_EndRender(); }

    c_Image* Strip(int w, int h, int frames, int flags) {
        return (new c_Image())->m_new()->p_Init(gfx->CreateSurface(w, h), frames, flags);
    }
    c_Image* Grid(int w, int h, int fw, int fh, int frames, int flags) {
        return (new c_Image())->m_new()->p_Init2(gfx->CreateSurface(w, h), 0, 0, fw, fh, frames, flags,
                                                 nullptr, 0, 0, w, h);
    }
    // Frame i's corner in the surface.
    static Ints Frame(c_Image* image, int i) { return {image->m_Frames[i]->m_X, image->m_Frames[i]->m_Y}; }
};

TEST_F(Graphics, StripAndGridFrames) {
    c_Image* strip = Strip(256, 32, 8, 0);
    ASSERT_EQ(strip->p_Frames(), 8);
    EXPECT_EQ(Ints({strip->m_Width, strip->m_Height}), Ints({32, 32}));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Frame(strip, i), Ints({32 * i, 0})) << i;
    EXPECT_FALSE(strip->m_Flags & c_Image::FullFrame);

    c_Image* grid = Grid(64, 64, 16, 16, 16, 0);
    for (auto [i, at] : {std::pair{5, 16}, {15, 48}}) EXPECT_EQ(Frame(grid, i), Ints({at, at})) << i;
    // Frames beyond the surface are fatal; a frame wider than it cannot wrap.
    EXPECT_EXIT(Grid(64, 64, 16, 16, 17, 0), ::testing::ExitedWithCode(255), "\\{\\{~~~~\\}\\}");
    EXPECT_EXIT(Grid(64, 64, 80, 16, 1, 0), ::testing::ExitedWithCode(255), "");
}

TEST_F(Graphics, FlagsPadFramesAndPlaceTheHandle) {
    // A full-frame image draws the whole surface.
    c_Image* whole = Strip(16, 8, 1, 0);
    EXPECT_EQ(whole->m_Flags, c_Image::FullFrame);
    orv_graphics_DrawImage(whole, 3, 4, 0);
    const gxtkGraphics::Vertex& far = gfx->vertexBuffer[2];
    EXPECT_EQ(std::vector<float>({far.x, far.y, far.u}), std::vector<float>({19, 12, 16 * whole->m_Surface->uScale}));

    c_Image* mid = Strip(32, 16, 1, c_Image::MidHandle);
    EXPECT_EQ(Values(mid->m_HandleX, mid->m_HandleY, mid->m_Flags & c_Image::MidHandle), Values(16, 8, 0));

    c_Image* padded = Grid(68, 34, 34, 34, 2, c_Image::XYPadding);
    const Ints corner = Frame(padded, 1);
    EXPECT_EQ(Values(padded->m_Width, padded->m_Height, corner[0], corner[1], padded->m_Flags & c_Image::FullFrame),
              Values(32, 32, 35, 1, 0));

    c_Image* both = Grid(68, 34, 34, 34, 2, 7);
    EXPECT_EQ(Values(both->m_HandleX, both->m_HandleY, both->m_Flags), Values(16, 16, 6));
}

TEST_F(Graphics, DrawImage2TurnsAndScalesAboutTheHandle) {
    c_Image* image = Grid(8, 8, 4, 4, 4, c_Image::MidHandle);  // 4x4 frames, handle (2, 2)
    // Frame 0 is red except its pixel (3, 2), just right of the handle: green.
    Array<int> pixels(16);
    for (int& p : pixels) p = static_cast<int>(0xFFFF0000u);
    pixels[2 * 4 + 3] = static_cast<int>(0xFF00FF00u);
    gfx->WritePixels2(image->m_Surface, pixels, 0, 0, 4, 4, 0, 4);

    orv_graphics_DrawImage2(image, 20, 20, 90, 1, 1, 0);
    // The frame's top-right corner, (2, -2) from the handle, turns to (-2, -2).
    EXPECT_NEAR(gfx->vertexBuffer[1].x, 18, 1e-5);
    EXPECT_NEAR(gfx->vertexBuffer[1].y, 18, 1e-5);
    // Right of the handle now lies above it.
    EXPECT_EQ(std::make_pair(Rgb(20, 18), Rgb(21, 20)), std::make_pair(0x00FF00u, 0xFF0000u));

    orv_graphics_DrawImage2(image, 40, 20, 0, 2, 3, 0);
    EXPECT_NEAR(gfx->vertexBuffer[2].x, 44, 1e-5);  // bottom-right: (2, 2) scaled
    EXPECT_NEAR(gfx->vertexBuffer[2].y, 26, 1e-5);
}

// Read back across the ellipse's bottom edge (rows 24 to 26), after one
// element left alone: the top row comes first, rows w apart.
TEST_F(Graphics, EllipseAndReadPixelsTopRowFirstWithPitchZero) {
    orv_graphics_SetColor(0, 0, 255);
    orv_graphics_DrawEllipse(20, 20, 10, 5);
    EXPECT_EQ(gfx->batchType, 12);
    Array<int> block(1 + 3 * 3);
    orv_graphics_ReadPixels(block, 19, 24, 3, 3, 1, 0);
    EXPECT_EQ(block[0], 0);
    std::vector<unsigned> rgb;  // rows 24 and 26
    for (int i : {1, 2, 3, 7, 8, 9}) rgb.push_back(static_cast<unsigned>(block[i]) & 0xffffff);
    EXPECT_EQ(rgb, (std::vector<unsigned>{0xFF, 0xFF, 0xFF, 0, 0, 0}));
}

// Whatever first character is asked for, the default font starts at 32; it
// is loaded once, and without it there is no font and no error.
TEST_F(Graphics, DefaultFontLoadsFromTheDataFolderOrIsAbsent) {
    const TempDir dir;
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    orv_graphics_SetFont(nullptr, 40);  // no data folder
    EXPECT_TRUE(orv_graphics_context->m_Font == nullptr && orv_graphics_context->m_FirstChar == 32);

    std::filesystem::create_directory("data");
    std::vector<unsigned char> strip(960 * 12 * 4, 255);
    ASSERT_TRUE(stbi_write_png("data/trel_font.png", 960, 12, 4, strip.data(), 960 * 4));
    orv_graphics_SetFont(nullptr, 40);
    c_Image* font = orv_graphics_context->m_Font;
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(Ints({font->p_Frames(), font->m_Width, font->m_Frames[1]->m_X, orv_graphics_context->m_FirstChar}),
              Ints({96, 8, 11, 32}));
    orv_graphics_SetFont(nullptr, 32);
    EXPECT_EQ(orv_graphics_context->m_Font, font);
    std::filesystem::current_path(old);
}

}  // namespace
