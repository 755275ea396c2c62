// One real window (and OpenGL context) on the virtual display, shared by
// every test in a program, and a fixture that starts a frame on it.
#pragma once
#include <gtest/gtest.h>

#include "host/glfw_layer.h"
#include "host/host_game.h"
#include "host/renderer.h"

inline OrvGlfwGame* TestWindow() {
    static OrvGlfwGame* host = [] {
        gc_init();
        GlfwLayer::current = GlfwLayer::CreateReal();
        if (!glfw().Init()) return static_cast<OrvGlfwGame*>(nullptr);
        OrvGlfwGame* game = new OrvGlfwGame();
        game->SetGlfwWindow(64, 48, 8, 8, 8, 0, 0, 0, false);
        return game;
    }();
    return host;
}

// A renderer with a frame begun: white, opaque, no blending, scissor and
// matrix reset, cleared to black.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host = TestWindow(), nullptr);
        gfx = new gxtkGraphics();
        Begin();
    }
    void Begin() {
        gfx->BeginRender();
        gfx->SetColor(255, 255, 255);
        gfx->SetAlpha(1);
        gfx->SetBlend(0);
        gfx->SetScissor(0, 0, gfx->Width(), gfx->Height());
        gfx->SetMatrix(1, 0, 0, 1, 0, 0);
        gfx->Cls(0, 0, 0);
    }
    // One pixel's colour as 0xRRGGBB.
    unsigned Rgb(int x, int y) {
        Array<int> p(1);
        gfx->ReadPixels(p, x, y, 1, 1, 0, 1);
        return static_cast<unsigned>(p[0]) & 0xffffff;
    }

    OrvGlfwGame* host = nullptr;
    gxtkGraphics* gfx = nullptr;
};
