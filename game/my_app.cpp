#include "game/my_app.h"

#include "framework/graphics.h"

c_MyApp* c_MyApp::m_new() {
    c_App::m_new();
    return this;
}

int c_MyApp::p_OnCreate() {
    orv_app_SetUpdateRate(60);
    return 0;
}

int c_MyApp::p_OnRender() {
    orv_graphics_Cls(24, 48, 32);
    c_Image* font = orv_graphics_context->m_Font;
    if (!font) return 0;
    const String title("Vellumby");
    const float scale = 4;
    const float advance = static_cast<float>(font->m_Width) * scale;
    float x = (static_cast<float>(orv_graphics_DeviceWidth()) - advance * static_cast<float>(title.Length())) / 2;
    const float y = static_cast<float>(orv_graphics_DeviceHeight()) / 2 - static_cast<float>(font->m_Height) * scale / 2;
    orv_graphics_SetColor(200, 255, 100);
    for (int i = 0; i < title.Length(); ++i, x += advance) {
        orv_graphics_DrawImage2(font, x, y, 0, scale, scale, title[i] - orv_graphics_context->m_FirstChar);
    }
    return 0;
}

void orvMarkGameRoots() { orvMarkFrameworkRoots(); }

void orvInit() {
    orvInitFramework();
    gc_roots = orvMarkGameRoots;
}

int orvMain() {
    (new c_MyApp())->m_new();
    return 0;
}
