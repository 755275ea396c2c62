// The app object, the delegate that routes host events into it, and the
// framework's module globals.
#pragma once
#include <functional>

#include "host/audio_device.h"
#include "host/host_game.h"
#include "host/renderer.h"
#include "runtime/array.h"
#include "runtime/object.h"

class c_InputDevice;

class c_App : public Object {
public:
    c_App* m_new();
    virtual int p_OnCreate() { return 0; }
    virtual int p_OnSuspend() { return 0; }
    virtual int p_OnResume() { return 0; }
    virtual int p_OnUpdate() { return 0; }
    virtual int p_OnRender() { return 0; }
    int p_OnLoading() { return 0; }
    int p_OnClose();
    int p_OnBack();
};

// The event numbers and the back and close key codes are the host's own
// (host/host_game.h).
using c_OrvGameEvent = OrvGameEvent;

class c_GameDelegate : public OrvGameDelegate {
public:
    c_GameDelegate* m_new() { return this; }
    void mark() override;
    void StartGame() override;
    void SuspendGame() override;
    void ResumeGame() override;
    void UpdateGame() override;
    void RenderGame() override;
    void KeyEvent(int event, int data) override;
    void MouseEvent(int event, int data, float x, float y) override;
    void TouchEvent(int event, int data, float x, float y) override;
    void MotionEvent(int event, int data, float x, float y, float z) override;
    void DiscardGraphics() override;

    gxtkGraphics* m__graphics = nullptr;
    gxtkAudio* m__audio = nullptr;
    c_InputDevice* m__input = nullptr;
};

class c_IAsyncEventSource : public virtual gc_interface {
public:
    virtual void p_UpdateAsyncEvents() = 0;
};

class c_Stack : public Object {
public:
    c_Stack* m_new() { return this; }
    void mark() override { gc_mark_q(m_data.rep); }
    c_IAsyncEventSource* p_Get(int i) { return m_data[i]; }
    int p_Length2() { return m_length; }
    void p_Length(int n) { m_length = n; }

    Array<c_IAsyncEventSource*> m_data;
    int m_length = 0;
    static c_IAsyncEventSource* m_NIL;
};

extern c_App* orv_app__app;
extern c_GameDelegate* orv_app__delegate;
extern OrvGame* orv_app__game;
extern int orv_app__updateRate;
extern c_Stack* orv_asyncevent__sources;
extern c_IAsyncEventSource* orv_asyncevent__current;

int orv_app_SetUpdateRate(int hertz);
int orv_app_Millisecs();
String orv_app_LoadState();
int orv_app_SaveState(String state);
// Where the state is kept, as a full path for messages (empty: nowhere).
String orv_app_StateFilePath();
[[noreturn]] void orv_app_EndApp();
void orv_asyncevent_UpdateAsyncEvents();

// Where the delegate's start gets its drawing and sound devices. Unset, it
// creates the real renderer and audio device; tests install devices that
// record what the game asks of them, so the game runs without a window or a
// sound device. Not reset by orvInit.
extern std::function<gxtkGraphics*()> orvGraphicsDeviceFactory;
extern std::function<gxtkAudio*()> orvAudioDeviceFactory;

// Start values of the framework's globals, and the marking of those that
// are roots; the program's own module initialisation calls both.
void orvInitFramework();
void orvMarkFrameworkRoots();
