#include "framework/app.h"

#include <cstdlib>

#include "framework/audio.h"
#include "framework/graphics.h"
#include "framework/input.h"
#include "framework/random.h"
#include "host/files.h"
#include "runtime/diagnostics.h"

c_App* orv_app__app = nullptr;
c_GameDelegate* orv_app__delegate = nullptr;
OrvGame* orv_app__game = nullptr;
int orv_app__updateRate = 0;
c_Stack* orv_asyncevent__sources = nullptr;
c_IAsyncEventSource* orv_asyncevent__current = nullptr;
c_IAsyncEventSource* c_Stack::m_NIL = nullptr;
std::function<gxtkGraphics*()> orvGraphicsDeviceFactory;
std::function<gxtkAudio*()> orvAudioDeviceFactory;

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
    orvInitAudio();
    orvInitInput();
}

void orvMarkFrameworkRoots() {
    gc_mark_q(orv_app__app);
    gc_mark_q(orv_app__delegate);
    if (orv_asyncevent__current) gc_mark_q(gc_as_object(orv_asyncevent__current));
    gc_mark_q(orv_asyncevent__sources);
    if (c_Stack::m_NIL) gc_mark_q(gc_as_object(c_Stack::m_NIL));
    orvMarkGraphicsRoots();
    orvMarkAudioRoots();
    orvMarkInputRoots();
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

void c_GameDelegate::mark() {
    gc_mark_q(m__graphics);
    gc_mark_q(m__audio);
    gc_mark_q(m__input);
}

void c_GameDelegate::StartGame() {
    gc_assign(m__graphics, orvGraphicsDeviceFactory ? orvGraphicsDeviceFactory() : new gxtkGraphics());
    orv_graphics_SetGraphicsDevice(m__graphics);
    orv_graphics_SetFont(nullptr, 32);
    gc_assign(m__audio, orvAudioDeviceFactory ? orvAudioDeviceFactory() : new gxtkAudio());
    orv_audio_SetAudioDevice(m__audio);
    gc_assign(m__input, (new c_InputDevice())->m_new());
    for (int port = 0; port < JOY_COUNT; ++port) {
        gc_assign(m__input->m__joyStates[port], (new c_JoyState())->m_new());
    }
    gc_assign(orv_input_device, m__input);
    orv_app__app->p_OnCreate();
}

void c_GameDelegate::SuspendGame() {
    orv_app__app->p_OnSuspend();
    m__audio->Suspend();
}

void c_GameDelegate::ResumeGame() {
    m__audio->Resume();
    orv_app__app->p_OnResume();
}

void c_GameDelegate::UpdateGame() {
    m__input->p_BeginUpdate();
    orv_app__app->p_OnUpdate();
    m__input->p_EndUpdate();
}

void c_GameDelegate::RenderGame() {
    m__graphics->BeginRender();
    orv_graphics_BeginRender();
    orv_app__app->p_OnRender();
    orv_graphics_EndRender();
    m__graphics->EndRender();
}

void c_GameDelegate::KeyEvent(int event, int data) {
    m__input->p_KeyEvent(event, data);
    if (event != c_OrvGameEvent::KeyDown) return;
    if (data == KEY_BACK) orv_app__app->p_OnBack();
    if (data == KEY_CLOSE) orv_app__app->p_OnClose();
}

void c_GameDelegate::MouseEvent(int event, int data, float x, float y) { m__input->p_MouseEvent(event, data, x, y); }

void c_GameDelegate::TouchEvent(int event, int data, float x, float y) { m__input->p_TouchEvent(event, data, x, y); }

void c_GameDelegate::MotionEvent(int event, int data, float x, float y, float z) {
    m__input->p_MotionEvent(event, data, x, y, z);
}

void c_GameDelegate::DiscardGraphics() { m__graphics->DiscardGraphics(); }

int orv_app_SetUpdateRate(int hertz) {
    orv_app__updateRate = hertz;
    orv_app__game->SetUpdateRate(hertz);
    return 0;
}

int orv_app_Millisecs() { return orv_app__game->Millisecs(); }

String orv_app_LoadState() { return orv_app__game->LoadState(); }

int orv_app_SaveState(String state) { return orv_app__game->SaveState(state); }

String orv_app_StateFilePath() { return String::FromUtf8(orvStateFilePath()); }

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
