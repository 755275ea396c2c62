#include "game/my_app.h"

c_MyApp* c_MyApp::m_new() {
    c_App::m_new();
    return this;
}

int c_MyApp::p_OnCreate() {
    orv_app_SetUpdateRate(60);
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
