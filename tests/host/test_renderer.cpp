// The renderer in a real window with real OpenGL, checked by reading pixels
// back, and its batching checked by counting draw calls.
#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "host/image_files.h"
#include "tests/game/values.h"
#include "tests/host/temp_files.h"
#include "tests/support/gl_window.h"

namespace {

using namespace std::string_literals;

class Renderer : public GlTest {
protected:
    void TearDown() override { gxtkSurface::refuseExactSize = false; }
    // A PNG file of w x 1 pixels in a folder of the test's own.
    std::string Png(const char* name, int w, int depth, const std::string& pixels) {
        const std::string path = (dir_ / name).string();
        EXPECT_TRUE(stbi_write_png(path.c_str(), w, 1, depth, pixels.data(), w * depth));
        return path;
    }
    // A surface of w x h pixels, each 0xAARRGGBB from `colour(x, y)`.
    template <class F>
    gxtkSurface* MakeSurface(int w, int h, F colour) {
        gxtkSurface* s = gfx->CreateSurface(w, h);
        Array<int> pixels(w * h);
        for (int i = 0; i < w * h; ++i) pixels[i] = static_cast<int>(colour(i % w, i / w));
        gfx->WritePixels2(s, pixels, 0, 0, w, h, 0, w);
        return s;
    }
    static Array<float> Floats(std::initializer_list<float> v) { return {v.begin(), static_cast<int>(v.size())}; }

    TempDir dir_;
};

TEST_F(Renderer, PremultipliedColoursAlphaAndAdditiveBlending) {
    gfx->SetColor(255, 128, 0);
    gfx->SetAlpha(0.5f);
    EXPECT_EQ(gfx->packedColor, 0x7F00407Fu);  // bytes R 127, G 64, B 0, A 127
    gfx->DrawRect(0, 0, 8, 8);
    EXPECT_EQ(std::make_pair(Rgb(2, 2), Rgb(20, 20)), std::make_pair(0x7F4000u, 0u));

    gfx->Cls(255, 255, 255);
    gfx->SetColor(0, 0, 0);
    gfx->DrawRect(0, 0, 8, 8);  // half black over white
    EXPECT_EQ(Rgb(1, 1), 0x808080u);

    gfx->Cls(0, 0, 0);
    gfx->SetAlpha(1);
    gfx->SetColor(100, 10, 0);
    gfx->SetBlend(1);
    for (int twice = 0; twice < 2; ++twice) gfx->DrawRect(0, 0, 8, 8);
    EXPECT_EQ(Rgb(1, 1), 0xC81400u);  // added twice
}

// Only the whole window turns the scissor off; an empty rectangle lets
// nothing through.
TEST_F(Renderer, ScissorClipsUnlessItCoversTheWindow) {
    const int w = gfx->Width(), h = gfx->Height();
    gfx->SetScissor(0, 0, 0, 0);  // straight after the reset to the whole window
    gfx->DrawRect(0, 0, 64, 48);
    EXPECT_EQ(Rgb(0, 0) | Rgb(30, 20), 0u);
    gfx->SetScissor(0, 0, 10, 5);
    gfx->DrawRect(0, 0, 64, 48);
    EXPECT_EQ(Values(Rgb(3, 3), Rgb(3, 6), Rgb(12, 3)), Values(0xFFFFFF, 0, 0));

    gfx->SetScissor(0, 0, w, h - 1);  // one row short: still on
    gfx->DrawRect(0, 0, 64, 48);
    EXPECT_EQ(Rgb(30, h - 1), 0u);
    gfx->SetScissor(0, 0, 0, 0);
    gfx->SetScissor(0, 0, w, h);  // the whole window: off
    gfx->SetColor(255, 0, 0);
    gfx->DrawRect(0, 0, 64, 48);
    EXPECT_EQ(Rgb(30, h - 1), 0xFF0000u);
}

TEST_F(Renderer, OvalSegmentCountFollowsItsSize) {
    const struct { float w, h; int segments; } cases[] = {
        {10, 10, 12}, {100, 60, 80}, {1000, 1000, 1000}, {3000, 3000, 1024}, {30, 31, 28}};
    for (const auto& c : cases) {
        gfx->DrawOval(0, 0, c.w, c.h);
        EXPECT_EQ(std::make_pair(gfx->batchType, gfx->batchCount), std::make_pair(c.segments, c.segments)) << c.w;
        gfx->Cls(0, 0, 0);
    }
    // With a transform the lengths of the turned and scaled radii count:
    // here x is stretched three times and turned onto y, and y onto -x, so
    // the radii 10 and 5 become 30 and 5.
    gfx->SetMatrix(0, 3, -1, 0, 0, 0);
    gfx->DrawOval(0, 0, 20, 10);
    EXPECT_EQ(gfx->batchType, 32);
}

// Three of a kind in a row, each kind on a row of its own: points, lines,
// triangles, quads, pentagons and ovals, each drawn where it was put.
TEST_F(Renderer, EveryPrimitiveOfABatchIsDrawn) {
    const std::function<void(float)> kinds[] = {
        [&](float x) { gfx->DrawPoint(x + 2.5f, 1.5f); },
        [&](float x) { gfx->DrawLine(x, 5.5f, x + 8, 5.5f); },
        [&](float x) { gfx->DrawPoly(Floats({x, 8, x + 8, 8, x, 16})); },
        [&](float x) { gfx->DrawRect(x, 18, 8, 4); },
        [&](float x) { gfx->DrawPoly(Floats({x, 24, x + 8, 24, x + 8, 28, x + 8, 32, x, 32})); },
        [&](float x) { gfx->DrawOval(x, 36, 10, 10); },
    };
    for (const auto& draw : kinds) {
        for (float x : {0, 20, 40}) draw(x);
    }
    gfx->Flush();
    EXPECT_EQ(gfx->DrawCallsThisFrame(), 4 + 3 + 3);  // a fan per pentagon and oval
    for (int x : {2, 22, 42}) {
        for (int y : {1, 5, 9, 20, 28, 41}) EXPECT_EQ(Rgb(x, y), 0xFFFFFFu) << x << ", " << y;
    }
}

// (The game's images all have four channels.) Loaded in the call, or decoded
// ahead by the workers in the order announced: a file out of turn loads in
// the call, a new list drops what the old one decoded, damage gives no pixels.
TEST_F(Renderer, PngPixelsLoadPremultipliedInTheCallOrDecodedAhead) {
    const std::string p = Png("p.png", 2, 4, "\xC8\x64\x32\x80\x0A\x14\x1E\xFF"s),
                      p_premultiplied = "\x64\x32\x19\x80\x0A\x14\x1E\xFF"s,
                      q = Png("q.png", 2, 4, "\xFF\x80\x40\x80\x10\x20\x30\x40"s),
                      q_premultiplied = "\x80\x40\x20\x80\x04\x08\x0C\x40"s, bad = (dir_ / "bad.png").string();
    std::ofstream(bad) << "not a picture";
    // Decoded without a texture yet, so the copy is still there to look at.
    const auto load = [&](const std::string& path) {
        gxtkSurface* s = gfx->LoadSurface__UNSAFE__(new gxtkSurface(), String(path.c_str()));
        return s && s->depth == 4 ? std::string(reinterpret_cast<char*>(s->pixels), 8) : "none"s;
    };
    const auto ahead = [](const std::string& path) {
        unsigned char* pixels = nullptr;
        int w = 0, h = 0, depth = 0;
        if (!orvTakeImageDecodedAhead(String(path.c_str()), &pixels, &w, &h, &depth)) return "not next"s;
        const bool whole = pixels && w * h * depth == 8;
        const std::string got = whole ? std::string(reinterpret_cast<char*>(pixels), 8) : "none"s;
        orvFreeImageDecodedAhead(pixels, w, h, depth);
        return got;
    };
    const auto announce = [](std::initializer_list<std::string> paths) {
        std::vector<String> list;
        for (const std::string& path : paths) list.push_back(String(path.c_str()));
        orvDecodeImagesAhead(list);
    };
    EXPECT_EQ(load(p), p_premultiplied);
    EXPECT_EQ(gfx->LoadSurface(String((dir_ / "missing.png").c_str())), nullptr);
    announce({p, bad, q});
    announce({p, bad, q});  // the same list again: what is decoded stays
    EXPECT_EQ((std::vector<std::string>{ahead(q), ahead(p), ahead(bad), load(q), ahead(q)}),
              (std::vector<std::string>{"not next", p_premultiplied, "none", q_premultiplied, "not next"}));
    announce({p, q});
    announce({q, p});
    EXPECT_EQ((std::vector<std::string>{ahead(p), load(q), ahead(p)}),
              (std::vector<std::string>{"not next", q_premultiplied, p_premultiplied}));
    announce({q, p, q});  // a file twice: decoded once, given to both loads
    EXPECT_EQ((std::vector<std::string>{ahead(q), ahead(p), ahead(q)}),
              (std::vector<std::string>{q_premultiplied, p_premultiplied, q_premultiplied}));

    // Decoded, the images get their textures at the ends of frames, in
    // order; their loads take them so, and a new list drops the rest.
    Array<String> list(3);
    for (int i = 0; i < 3; ++i) list[i] = String((i == 0 ? p : i == 1 ? bad : q).c_str());
    gfx->DecodeAhead(list);
    ASSERT_TRUE(WaitFor([&] { return gfx->EndRender(), gfx->madeAhead.size() == 3; }, 10));
    gxtkSurface* made = gfx->madeAhead.front().surface;
    const bool taken = gfx->LoadSurface(list[0]) == made;
    EXPECT_EQ(Values(taken, made->contextSeq == glfwGraphicsSeq, made->pixels == nullptr, !gfx->LoadSurface(list[1])),
              Values(true, true, true, true));
    gxtkSurface* dropped = gfx->madeAhead.front().surface;
    gfx->DecodeAhead(Array<String>(list.begin(), 1));
    EXPECT_EQ(Values(gfx->madeAhead.size(), dropped->contextSeq), Values(0, -1));
}

// Quads of one surface batch up to 256 per draw; only real state changes
// break the batch, and Cls throws pending vertices away.
TEST_F(Renderer, BatchesBreakAt256QuadsAndOnRealStateChanges) {
    gxtkSurface* s = MakeSurface(8, 8, [](int, int) { return 0xFFFFFFFFu; });
    for (int i = 0; i < 300; ++i) gfx->DrawSurface2(s, 0, 0, 0, 0, 4, 4);
    // The first 256 quads drawn, 44 waiting.
    EXPECT_EQ(std::make_pair(gfx->DrawCallsThisFrame(), gfx->batchCount), std::make_pair(1, 44 * 4));
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

    Begin();
    gfx->DrawRect(0, 0, 64, 48);
    gfx->Cls(0, 0, 0);
    gfx->Flush();
    EXPECT_EQ(std::make_pair(gfx->DrawCallsThisFrame(), Rgb(5, 5)), std::make_pair(0, 0u));
}

// In a new window (and context) a surface comes back from its pixels; an
// image from a file keeps no copy once its texture holds it, and is read from
// its file again. One loaded but never drawn has its texture made where it is
// first drawn, in whichever window that is, or at the end of the frame.
TEST_F(Renderer, SurfacesComeBackInANewWindow) {
    gxtkSurface* made = MakeSurface(2, 2, [](int x, int) { return x ? 0xFF00FF00u : 0xFFFF0000u; });
    gxtkSurface* loaded = gfx->LoadSurface(String(Png("two.png", 2, 4, "\xFF\0\0\xFF\0\xFF\0\xFF"s).c_str()));
    ASSERT_NE(loaded, nullptr);
    const int first = made->contextSeq;
    host->SetGlfwWindow(64, 48, 8, 8, 8, 0, 0, 0, false);
    ASSERT_EQ(glfwGraphicsSeq, first + 1);
    Begin();
    gfx->DrawSurface(made, 0, 0);
    gfx->DrawSurface(loaded, 0, 4);
    gfx->Flush();
    for (gxtkSurface* s : {made, loaded}) EXPECT_EQ(s->contextSeq, glfwGraphicsSeq);
    EXPECT_EQ(loaded->pixels, nullptr);
    for (int y : {0, 4}) EXPECT_EQ(std::make_pair(Rgb(0, y), Rgb(1, y)), std::make_pair(0xFF0000u, 0x00FF00u)) << y;

    // Pixels written by hand have no file to come back from: kept from then on.
    const int blue = static_cast<int>(0xFF0000FFu);
    gfx->WritePixels2(loaded, Array<int>(&blue, 1), 1, 0, 1, 1, 0, 1);
    ASSERT_NE(loaded->pixels, nullptr);
    // The red pixel read back from the file, and the blue one written.
    EXPECT_EQ(Values(loaded->pixels[0], loaded->pixels[6]), Values(255, 255));

    // Discarded, the texture and the pixels go; bound again, it gets a new,
    // empty texture.
    made->Discard();
    EXPECT_TRUE(made->contextSeq == -1 && made->pixels == nullptr);
    gfx->DrawSurface(made, 0, 0);
    gfx->Flush();
    EXPECT_EQ(made->contextSeq, glfwGraphicsSeq);

    // Loaded and not drawn, a surface gets its texture at the end of the frame.
    gxtkSurface* framed = gfx->LoadSurface(String((dir_ / "two.png").c_str()));
    gfx->EndRender();
    EXPECT_EQ(Values(framed->contextSeq, framed->pixels == nullptr), Values(glfwGraphicsSeq, true));
}

TEST_F(Renderer, RefusedExactSizeFallsBackToPowersOfTwo) {
    gxtkSurface::refuseExactSize = true;
    gxtkSurface* s = MakeSurface(100, 50, [](int x, int) { return x < 50 ? 0xFFFF0000u : 0xFF0000FFu; });
    EXPECT_EQ(std::make_pair(s->uScale, s->vScale), std::make_pair(1.0f / 128, 1.0f / 64));
    gfx->DrawSurface2(s, 0, 0, 48, 0, 4, 4);  // across the colour edge
    EXPECT_EQ(std::make_pair(Rgb(1, 1), Rgb(2, 1)), std::make_pair(0xFF0000u, 0x0000FFu));

    gxtkSurface::refuseExactSize = false;
    EXPECT_FLOAT_EQ(MakeSurface(100, 50, [](int, int) { return 0xFFFFFFFFu; })->uScale, 1.0f / 100);
}

}  // namespace
