// One real window (and OpenGL context) on the virtual display, shared by
// every test in a program.
#pragma once
#include "host/glfw_layer.h"
#include "host/host_game.h"

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
