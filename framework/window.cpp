#include "framework/window.h"

OrvGlfwVideoMode* orv_app_GetDesktopMode() {
    if (OrvGlfwGame::_glfwGame) return OrvGlfwGame::_glfwGame->GetGlfwDesktopMode();
    OrvGlfwVideoMode* mode = new OrvGlfwVideoMode();
    mode->width = 640;
    mode->height = 480;
    mode->red = mode->green = mode->blue = 8;
    return mode;
}

int orv_app_SetWindow(int width, int height, int red, int green, int blue, int alpha, int depth, int stencil,
                      bool fullscreen) {
    if (OrvGlfwGame::_glfwGame &&
        !OrvGlfwGame::_glfwGame->SetGlfwWindow(width, height, red, green, blue, alpha, depth, stencil, fullscreen)) {
        return -1;  // the window that was open stays
    }
    return 0;
}
