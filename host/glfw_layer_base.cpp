#include "host/glfw_layer.h"

GlfwLayer* GlfwLayer::current = nullptr;

bool GlfwLayer::OpenWindow(int width, int height, int, int, int, int, int, int, bool, bool) {
    width_ = width;
    height_ = height;
    opened_ = true;
    return true;
}

int GlfwLayer::GetWindowParam(glfw27::WindowParam param) {
    switch (param) {
        case glfw27::WindowParam::Opened:
            return opened_;
        case glfw27::WindowParam::Active:
            return opened_;
        case glfw27::WindowParam::Iconified:
            return 0;
    }
    return 0;
}

void GlfwLayer::GetWindowSize(int* width, int* height) {
    *width = width_;
    *height = height_;
}

int GlfwLayer::GetVideoModes(glfw27::VidMode* list, int max_count) {
    if (max_count < 1) return 0;
    list[0] = GetDesktopMode();
    return 1;
}
