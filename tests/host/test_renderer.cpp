// The renderer in a real window with real OpenGL, checked by reading pixels
// back, and its batching checked by counting draw calls.
#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <string>

#include "host/renderer.h"
#include "tests/host/temp_files.h"
#include "tests/support/gl_window.h"

namespace {

using namespace std::string_literals;

class Renderer : public ::testing::Test {
protected:
    void SetUp() override {
        host = TestWindow();
        ASSERT_NE(host, nullptr);
        gfx = new gxtkGraphics();
        Begin();
    }
    void TearDown() override { gxtkSurface::refuseExactSize = false; }
    void Begin() {
        gfx->BeginRender();
        gfx->SetColor(255, 255, 255);
        gfx->SetAlpha(1);
        gfx->SetBlend(0);
        gfx->SetScissor(0, 0, gfx->Width(), gfx->Height());
        gfx->SetMatrix(1, 0, 0, 1, 0, 0);
        gfx->Cls(0, 0, 0);
    }
    // A PNG file of w x 1 pixels in a folder of the test's own.
    std::string Png(const char* name, int w, int depth, const std::string& pixels) {
        const std::string path = (dir_ / name).string();
        EXPECT_TRUE(stbi_write_png(path.c_str(), w, 1, depth, pixels.data(), w * depth));
        return path;
    }

    // One pixel as 0xAARRGGBB.
    unsigned Pixel(int x, int y) {
        Array<int> p(1);
        gfx->ReadPixels(p, x, y, 1, 1, 0, 1);
        return static_cast<unsigned>(p[0]);
    }
    static unsigned Rgb(unsigned pixel) { return pixel & 0xffffff; }

    // A surface of w x h pixels, each 0xAARRGGBB from `colour(x, y)`.
    template <class F>
    gxtkSurface* MakeSurface(int w, int h, F colour) {
        gxtkSurface* s = gfx->CreateSurface(w, h);
        Array<int> pixels(w * h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) pixels[y * w + x] = static_cast<int>(colour(x, y));
        }
        gfx->WritePixels2(s, pixels, 0, 0, w, h, 0, w);
        return s;
    }

    OrvGlfwGame* host = nullptr;
    gxtkGraphics* gfx = nullptr;
    TempDir dir_;
};

TEST_F(Renderer, PremultipliedColoursAlphaAndAdditiveBlending) {
    gfx->SetColor(255, 128, 0);
    gfx->SetAlpha(0.5f);
    EXPECT_EQ(gfx->packedColor, 0x7F00407Fu);  // bytes R 127, G 64, B 0, A 127
    gfx->DrawRect(0, 0, 8, 8);
    EXPECT_EQ(Rgb(Pixel(2, 2)), 0x7F4000u);
    EXPECT_EQ(Rgb(Pixel(20, 20)), 0u);

    gfx->Cls(255, 255, 255);
    gfx->SetColor(0, 0, 0);
    gfx->SetAlpha(0.5f);
    gfx->DrawRect(0, 0, 8, 8);  // half black over white
    EXPECT_EQ(Rgb(Pixel(1, 1)), 0x808080u);

    gfx->Cls(0, 0, 0);
    gfx->SetAlpha(1);
    gfx->SetColor(100, 10, 0);
    gfx->SetBlend(1);
    gfx->DrawRect(0, 0, 8, 8);
    gfx->DrawRect(0, 0, 8, 8);
    EXPECT_EQ(Rgb(Pixel(1, 1)), 0xC81400u);  // added twice
}

TEST_F(Renderer, ScissorLimitsDrawingUnlessItCoversTheWindow) {
    gfx->SetScissor(0, 0, 10, 5);
    gfx->DrawRect(0, 0, 64, 48);
    EXPECT_EQ(Rgb(Pixel(3, 3)), 0xFFFFFFu);
    EXPECT_EQ(Rgb(Pixel(3, 6)), 0u);
    EXPECT_EQ(Rgb(Pixel(12, 3)), 0u);

    gfx->SetScissor(0, 0, gfx->Width(), gfx->Height() - 1);  // one row short: still on
    gfx->DrawRect(0, 0, 64, 48);
    EXPECT_EQ(Rgb(Pixel(30, gfx->Height() - 1)), 0u);
    gfx->SetScissor(0, 0, gfx->Width(), gfx->Height());  // the whole window: off
    gfx->DrawRect(0, 0, 64, 48);
    EXPECT_EQ(Rgb(Pixel(30, gfx->Height() - 1)), 0xFFFFFFu);
}

// An empty rectangle is a scissor that lets nothing through, not "off".
TEST_F(Renderer, AnEmptyScissorClipsEverything) {
    gfx->SetScissor(0, 0, 0, 0);  // straight after the reset to the whole window
    gfx->DrawRect(0, 0, 64, 48);
    EXPECT_EQ(Rgb(Pixel(0, 0)), 0u);
    EXPECT_EQ(Rgb(Pixel(30, 20)), 0u);

    gfx->SetScissor(0, 0, 10, 5);
    gfx->SetScissor(0, 0, 0, 0);
    gfx->SetScissor(0, 0, gfx->Width(), gfx->Height());  // and the whole window lets all through again
    gfx->SetColor(255, 0, 0);
    gfx->DrawRect(0, 0, 64, 48);
    EXPECT_EQ(Rgb(Pixel(30, 20)), 0xFF0000u);
}

TEST_F(Renderer, OvalSegmentCountFollowsItsSize) {
    const struct {
        float w, h;
        int segments;
    } cases[] = {{10, 10, 12}, {100, 60, 80}, {1000, 1000, 1000}, {3000, 3000, 1024}, {30, 31, 28}};
    for (const auto& c : cases) {
        gfx->DrawOval(0, 0, c.w, c.h);
        EXPECT_EQ(gfx->batchType, c.segments) << c.w << " x " << c.h;
        EXPECT_EQ(gfx->batchCount, c.segments);
        gfx->Cls(0, 0, 0);
    }
    // With a transform the lengths of the turned and scaled radii count:
    // here x is stretched three times and turned onto y, and y onto -x, so
    // the radii 10 and 5 become 30 and 5.
    gfx->SetMatrix(0, 3, -1, 0, 0, 0);
    gfx->DrawOval(0, 0, 20, 10);
    EXPECT_EQ(gfx->batchType, 32);
}

TEST_F(Renderer, EveryPolygonOfABatchIsDrawn) {
    Array<float> pentagon(10);
    const float shape[] = {0, 0, 8, 0, 8, 4, 8, 8, 0, 8};
    for (int k = 0; k < 3; ++k) {
        for (int i = 0; i < 10; ++i) pentagon[i] = shape[i] + (i % 2 ? 0 : 20.0f * k);
        gfx->DrawPoly(pentagon);
    }
    gfx->DrawOval(0, 30, 10, 10);
    gfx->DrawOval(20, 30, 10, 10);
    gfx->Flush();
    for (int x : {4, 24, 44}) EXPECT_EQ(Rgb(Pixel(x, 4)), 0xFFFFFFu) << "polygon at " << x;
    for (int x : {5, 25}) EXPECT_EQ(Rgb(Pixel(x, 35)), 0xFFFFFFu) << "oval at " << x;
}

TEST_F(Renderer, TexturedPolygonsReadFromTheSourceOffset) {
    // Quarters of a 4 x 4 surface: red, green over blue, white.
    gxtkSurface* s = MakeSurface(4, 4, [](int x, int y) {
        return y < 2 ? (x < 2 ? 0xFFFF0000u : 0xFF00FF00u) : (x < 2 ? 0xFF0000FFu : 0xFFFFFFFFu);
    });
    Array<float> quad(16);
    const float corners[] = {10, 10, 0, 0, 20, 10, 2, 0, 20, 20, 2, 2, 10, 20, 0, 2};
    for (int i = 0; i < 16; ++i) quad[i] = corners[i];
    gfx->DrawPoly2(quad, s, 2, 0);
    EXPECT_EQ(Rgb(Pixel(15, 15)), 0x00FF00u);
    gfx->DrawPoly2(quad, s, 0, 2);
    EXPECT_EQ(Rgb(Pixel(15, 15)), 0x0000FFu);
    gfx->DrawPoly2(quad, s, 2, 2);
    EXPECT_EQ(Rgb(Pixel(15, 15)), 0xFFFFFFu);
}

TEST_F(Renderer, PngPixelsLoadPremultiplied) {
    // Decoded without a texture yet, so the copy is still there to look at.
    const auto load = [&](int depth, const std::string& pixels) {
        const std::string path = Png("p.png", 2, depth, pixels);
        gxtkSurface* s = gfx->LoadSurface__UNSAFE__(new gxtkSurface(), String(path.c_str()));
        EXPECT_NE(s, nullptr);
        EXPECT_EQ(s ? s->depth : 0, depth);
        return s ? std::string(reinterpret_cast<char*>(s->pixels), pixels.size()) : std::string();
    };
    EXPECT_EQ(load(4, {'\xC8', 100, 50, '\x80', 10, 20, 30, '\xFF'}), std::string({100, 50, 25, '\x80', 10, 20, 30, '\xFF'}));
    EXPECT_EQ(load(2, {'\xC8', '\x80', 10, '\xFF'}), std::string({100, '\x80', 10, '\xFF'}));  // grey and alpha
    EXPECT_EQ(gfx->LoadSurface(String((dir_ / "missing.png").c_str())), nullptr);
}

TEST_F(Renderer, ReadPixelsStoresTheTopRowFirst) {
    gfx->SetColor(255, 0, 0);
    gfx->DrawRect(0, 0, 64, 1);
    Array<int> block(2 * 3 + 1);
    gfx->ReadPixels(block, 0, 0, 2, 2, 1, 3);
    EXPECT_EQ(static_cast<unsigned>(block[1]) & 0xffffff, 0xFF0000u);
    EXPECT_EQ(static_cast<unsigned>(block[2]) & 0xffffff, 0xFF0000u);
    EXPECT_EQ(static_cast<unsigned>(block[4]) & 0xffffff, 0u);
    EXPECT_EQ(block[0], 0);  // before the offset: untouched
}

TEST_F(Renderer, SubDataReplacesPartOfATexture) {
    gxtkSurface* s = MakeSurface(4, 4, [](int, int) { return 0xFF0000FFu; });  // blue
    Array<int> patch(2 * 2);
    for (int& p : patch) p = static_cast<int>(0x80FF0000u);  // red at half alpha
    gfx->WritePixels2(s, patch, 1, 1, 2, 2, 0, 2);
    EXPECT_EQ(s->pixels[(1 * 4 + 1) * 4 + 0], 128);  // kept copy premultiplied
    gfx->DrawSurface(s, 0, 0);
    EXPECT_EQ(Rgb(Pixel(0, 0)), 0x0000FFu);
    EXPECT_EQ(Rgb(Pixel(1, 1)), 0x800000u);
    EXPECT_EQ(Rgb(Pixel(2, 2)), 0x800000u);
    EXPECT_EQ(Rgb(Pixel(3, 1)), 0x0000FFu);
}

// Quads of one surface batch up to 256 per draw; only real state changes
// break the batch.
TEST_F(Renderer, BatchesBreakAt256QuadsAndOnRealStateChanges) {
    gxtkSurface* s = MakeSurface(8, 8, [](int, int) { return 0xFFFFFFFFu; });
    for (int i = 0; i < 300; ++i) gfx->DrawSurface2(s, 0, 0, 0, 0, 4, 4);
    EXPECT_EQ(gfx->DrawCallsThisFrame(), 1);  // the first 256 quads
    EXPECT_EQ(gfx->batchCount, 44 * 4);
    gfx->Flush();
    EXPECT_EQ(gfx->DrawCallsThisFrame(), 2);

    Begin();
    gfx->DrawSurface(s, 0, 0);
    gfx->DrawRect(0, 0, 1, 1);
    gfx->DrawSurface(s, 0, 0);
    EXPECT_EQ(gfx->DrawCallsThisFrame(), 2);  // to no texture and back

    gfx->Flush();
    const int before = gfx->DrawCallsThisFrame();
    for (int i = 0; i < 10; ++i) {
        gfx->SetBlend(0);
        gfx->SetScissor(0, 0, gfx->Width(), gfx->Height());
        gfx->SetColor(static_cast<float>(i), 0, 0);
        gfx->SetMatrix(1, 0, 0, 1, static_cast<float>(i), 0);
        gfx->DrawSurface(s, 0, 0);
    }
    EXPECT_EQ(gfx->DrawCallsThisFrame(), before);
    gfx->SetBlend(1);  // a real change
    EXPECT_EQ(gfx->DrawCallsThisFrame(), before + 1);
}

TEST_F(Renderer, ClsThrowsPendingVerticesAway) {
    gfx->SetColor(255, 0, 0);
    gfx->DrawRect(0, 0, 64, 48);
    gfx->Cls(0, 0, 0);
    gfx->Flush();
    EXPECT_EQ(gfx->DrawCallsThisFrame(), 0);
    EXPECT_EQ(Rgb(Pixel(5, 5)), 0u);
}

// In a new window (and context) a surface comes back from its pixels; an
// image from a file keeps no copy once its texture holds it, and is read from
// its file again.
TEST_F(Renderer, SurfacesComeBackInANewWindow) {
    gxtkSurface* made = MakeSurface(2, 2, [](int x, int) { return x ? 0xFF00FF00u : 0xFFFF0000u; });
    gxtkSurface* loaded = gfx->LoadSurface(String(Png("two.png", 2, 4, "\xFF\0\0\xFF\0\xFF\0\xFF"s).c_str()));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->pixels, nullptr);
    const int first = made->contextSeq;
    host->SetGlfwWindow(64, 48, 8, 8, 8, 0, 0, 0, false);
    ASSERT_EQ(glfwGraphicsSeq, first + 1);
    Begin();
    gfx->DrawSurface(made, 0, 0);
    gfx->DrawSurface(loaded, 0, 4);
    gfx->Flush();
    for (gxtkSurface* s : {made, loaded}) EXPECT_EQ(s->contextSeq, glfwGraphicsSeq);
    EXPECT_EQ(loaded->pixels, nullptr);
    EXPECT_EQ(Rgb(Pixel(0, 0)), 0xFF0000u);
    EXPECT_EQ(Rgb(Pixel(1, 1)), 0x00FF00u);
    EXPECT_EQ(Rgb(Pixel(0, 4)), 0xFF0000u);
    EXPECT_EQ(Rgb(Pixel(1, 4)), 0x00FF00u);

    // Pixels written by hand have no file to come back from: kept from then on.
    Array<int> blue(1);
    blue[0] = static_cast<int>(0xFF0000FFu);
    gfx->WritePixels2(loaded, blue, 1, 0, 1, 1, 0, 1);
    ASSERT_NE(loaded->pixels, nullptr);
    EXPECT_EQ(loaded->pixels[0], 255);  // the red pixel read back from the file
    EXPECT_EQ(loaded->pixels[6], 255);  // the blue one written
}

TEST_F(Renderer, DiscardDropsTheTextureAndThePixels) {
    gxtkSurface* s = MakeSurface(2, 2, [](int, int) { return 0xFFFF0000u; });
    ASSERT_EQ(s->contextSeq, glfwGraphicsSeq);
    s->Discard();
    EXPECT_EQ(s->contextSeq, -1);
    EXPECT_EQ(s->pixels, nullptr);
    gfx->DrawSurface(s, 0, 0);  // bound again: a new, empty texture
    gfx->Flush();
    EXPECT_EQ(s->contextSeq, glfwGraphicsSeq);
}

TEST_F(Renderer, RefusedExactSizeFallsBackToPowersOfTwo) {
    gxtkSurface::refuseExactSize = true;
    gxtkSurface* s = MakeSurface(100, 50, [](int x, int) { return x < 50 ? 0xFFFF0000u : 0xFF0000FFu; });
    EXPECT_FLOAT_EQ(s->uScale, 1.0f / 128);
    EXPECT_FLOAT_EQ(s->vScale, 1.0f / 64);
    gfx->DrawSurface2(s, 0, 0, 48, 0, 4, 4);  // across the colour edge
    EXPECT_EQ(Rgb(Pixel(1, 1)), 0xFF0000u);
    EXPECT_EQ(Rgb(Pixel(2, 1)), 0x0000FFu);

    gxtkSurface::refuseExactSize = false;
    gxtkSurface* exact = MakeSurface(100, 50, [](int, int) { return 0xFFFFFFFFu; });
    EXPECT_FLOAT_EQ(exact->uScale, 1.0f / 100);
}

}  // namespace
