// Sprite throughput of the drawing path and draw calls per 1000 sprites.
// Run under a display (a virtual one will do): xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bench_graphics
#include <chrono>
#include <cstdio>

#include "framework/graphics.h"
#include "host/glfw_layer.h"
#include "host/host_game.h"

namespace {

c_Image* SpriteSheet(gxtkGraphics* device) {
    return (new c_Image())->m_new()->p_Init2(device->CreateSurface(256, 256), 0, 0, 16, 16, 256,
                                             c_Image::MidHandle, nullptr, 0, 0, 256, 256);
}

int DrawCallsFor1000(gxtkGraphics* device, c_Image* a, c_Image* b) {
    device->BeginRender();
    orv_graphics_BeginRender();
    for (int i = 0; i < 1000; ++i) {
        orv_graphics_DrawImage2(i % 2 ? b : a, static_cast<float>(i % 600), 100, 0, 1, 1, i % 256);
    }
    device->Flush();
    orv_graphics_EndRender();
    return device->DrawCallsThisFrame();
}

}  // namespace

int main() {
    gc_init();
    GlfwLayer::current = GlfwLayer::CreateReal();
    if (!glfw().Init()) {
        std::printf("no display\n");
        return 1;
    }
    OrvGlfwGame* host = new OrvGlfwGame();
    host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    orvInitGraphics();
    gxtkGraphics* device = new gxtkGraphics();
    orv_graphics_SetGraphicsDevice(device);
    c_Image* sheet = SpriteSheet(device);
    c_Image* other = SpriteSheet(device);

    // CPU side only: the batch is emptied before it fills, so the driver
    // never sees it.
    device->BeginRender();
    orv_graphics_BeginRender();
    const int sprites = 5000000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < sprites; ++i) {
        if (device->batchCount >= 1020) device->batchCount = 0;
        orv_graphics_DrawImage2(sheet, static_cast<float>(i % 640), static_cast<float>(i % 480),
                                static_cast<float>(i % 360), 1.5f, 1.5f, i & 255);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    device->batchCount = 0;
    orv_graphics_EndRender();

    std::printf("DrawImage2 (rotated, scaled), CPU side: %.2f million sprites/s\n", sprites / seconds / 1e6);
    std::printf("draw calls per 1000 sprites, one texture: %d\n", DrawCallsFor1000(device, sheet, sheet));
    std::printf("draw calls per 1000 sprites, two alternating textures: %d\n", DrawCallsFor1000(device, sheet, other));
    return 0;
}
