#include "framework/app.h"

#include <cstdlib>

#include "framework/graphics.h"
#include "runtime/diagnostics.h"

c_App* orv_app__app = nullptr;
c_GameDelegate* orv_app__delegate = nullptr;
OrvGame* orv_app__game = nullptr;
int orv_app__updateRate = 0;
c_Stack* orv_asyncevent__sources = nullptr;
c_IAsyncEventSource* orv_asyncevent__current = nullptr;
c_IAsyncEventSource* c_Stack::m_NIL = nullptr;
int orv_random_Seed = 1234;

void orvInitFramework() {
    orv_app__app = nullptr;
    orv_app__delegate = nullptr;
    orv_app__game = OrvGame::_game;
    orv_app__updateRate = 0;
    gc_assign(orv_asyncevent__sources, (new c_Stack())->m_new());
    orv_asyncevent__current = nullptr;
    c_Stack::m_NIL = nullptr;
    orv_random_Seed = 1234;
    orvInitGraphics();
}

void orvMarkFrameworkRoots() {
    gc_mark_q(orv_app__app);
    gc_mark_q(orv_app__delegate);
    if (orv_asyncevent__current) gc_mark_q(gc_as_object(orv_asyncevent__current));
    gc_mark_q(orv_asyncevent__sources);
    if (c_Stack::m_NIL) gc_mark_q(gc_as_object(c_Stack::m_NIL));
    orvMarkGraphicsRoots();
}

c_App* c_App::m_new() {
    if (orv_app__app) orvError(String("App has already been created"));
    gc_assign(orv_app__app, this);
    gc_assign(orv_app__delegate, (new c_GameDelegate())->m_new());
    orv_app__game->SetDelegate(orv_app__delegate);
    return this;
}

int c_App::p_OnClose() {
    orv_app_EndApp();
}

int c_App::p_OnBack() {
    orv_app_EndApp();
}

void c_GameDelegate::mark() { gc_mark_q(m__graphics); }

void c_GameDelegate::StartGame() {
    gc_assign(m__graphics, new gxtkGraphics());
    orv_graphics_SetGraphicsDevice(m__graphics);
    orv_graphics_SetFont(nullptr, 32);
    orv_app__app->p_OnCreate();
}

void c_GameDelegate::SuspendGame() { orv_app__app->p_OnSuspend(); }

void c_GameDelegate::ResumeGame() { orv_app__app->p_OnResume(); }

void c_GameDelegate::UpdateGame() { orv_app__app->p_OnUpdate(); }

void c_GameDelegate::RenderGame() {
    m__graphics->BeginRender();
    orv_graphics_BeginRender();
    orv_app__app->p_OnRender();
    orv_graphics_EndRender();
    m__graphics->EndRender();
}

void c_GameDelegate::KeyEvent(int event, int data) {
    if (event != c_OrvGameEvent::KeyDown) return;
    if (data == KEY_BACK) orv_app__app->p_OnBack();
    if (data == KEY_CLOSE) orv_app__app->p_OnClose();
}

void c_GameDelegate::MouseEvent(int, int, float, float) {}

void c_GameDelegate::TouchEvent(int, int, float, float) {}

void c_GameDelegate::MotionEvent(int, int, float, float, float) {}

void c_GameDelegate::DiscardGraphics() { m__graphics->DiscardGraphics(); }

int orv_app_SetUpdateRate(int hertz) {
    orv_app__updateRate = hertz;
    orv_app__game->SetUpdateRate(hertz);
    return 0;
}

int orv_app_Millisecs() { return orv_app__game->Millisecs(); }

String orv_app_LoadState() { return orv_app__game->LoadState(); }

int orv_app_SaveState(String state) { return orv_app__game->SaveState(state); }

void orv_app_EndApp() {
    orvError(String());
    std::exit(0);  // not reached: an empty message ends the process
}

void orv_asyncevent_UpdateAsyncEvents() {
    if (orv_asyncevent__current) return;
    int i = 0;
    while (i < orv_asyncevent__sources->p_Length2()) {
        gc_assign(orv_asyncevent__current, orv_asyncevent__sources->p_Get(i));
        orv_asyncevent__current->p_UpdateAsyncEvents();
        if (orv_asyncevent__current) ++i;
    }
    orv_asyncevent__current = nullptr;
}
