// The native host: the one host object that owns the window and the
// fixed-rate main loop, and delivers every event to the framework's delegate
// as a guarded call followed by one collector step.
#pragma once
#include <cstdio>

#include "host/key_codes.h"
#include "runtime/array.h"
#include "runtime/object.h"

// Event numbers of the host's KeyEvent, MouseEvent, TouchEvent and
// MotionEvent calls.
struct OrvGameEvent {
    enum : int {
        KeyDown = 1,      // data: key code
        KeyUp = 2,        // data: key code
        KeyChar = 3,      // data: character
        MouseDown = 4,    // data: button, 0 left, 1 right, 2 middle
        MouseUp = 5,      // data: button
        MouseMove = 6,    // data: -1
        TouchDown = 7,    // data: finger
        TouchUp = 8,      // data: finger
        TouchMove = 9,    // data: finger
        MotionAccel = 10  // data: unused
    };
};

// Receives every host event; all operations do nothing here.
class OrvGameDelegate : public Object {
public:
    virtual void StartGame() {}
    virtual void SuspendGame() {}
    virtual void ResumeGame() {}
    virtual void UpdateGame() {}
    virtual void RenderGame() {}
    virtual void KeyEvent(int, int) {}
    virtual void MouseEvent(int, int, float, float) {}
    virtual void TouchEvent(int, int, float, float) {}
    virtual void MotionEvent(int, int, float, float, float) {}
    virtual void DiscardGraphics() {}
};

class OrvGlfwVideoMode : public Object {
public:
    int width = 0, height = 0, red = 0, green = 0, blue = 0;
};

class OrvGame {
public:
    OrvGame();
    virtual ~OrvGame() = default;
    OrvGame(const OrvGame&) = delete;
    OrvGame& operator=(const OrvGame&) = delete;

    static OrvGame* _game;

    virtual void SetDelegate(OrvGameDelegate* delegate) { _delegate = delegate; }
    virtual OrvGameDelegate* Delegate() { return _delegate; }
    virtual void SetKeyboardEnabled(bool enabled) { _keyboardEnabled = enabled; }
    // What the device offers beyond a desktop's keys, mouse and pads, as it
    // is at the program's start: touch as its main input, and tilt.
    virtual bool TouchIsMain() { return false; }
    virtual bool HasTilt() { return false; }
    virtual bool KeyboardEnabled() { return _keyboardEnabled; }
    virtual void SetUpdateRate(int rate) { _updateRate = rate; }
    virtual int UpdateRate() { return _updateRate; }
    virtual bool Started() { return _started; }
    virtual bool Suspended() { return _suspended; }
    virtual int Millisecs() { return 0; }
    virtual void GetDate(Array<int> date);
    // Files and the stored state. Buffers returned belong to the caller,
    // who gives them back with free().
    virtual int SaveState(String state);
    virtual String LoadState();
    virtual String LoadString(String path);
    virtual bool PollJoystick(int, Array<float>, Array<float>, Array<float>, Array<bool>) { return false; }
    virtual void OpenUrl(String) {}
    virtual void SetMouseVisible(bool) {}
    virtual String PathToFilePath(String path) { return path; }
    virtual std::FILE* OpenFile(String path, String mode);
    virtual unsigned char* LoadData(String path, int* length);
    [[noreturn]] virtual void Die(ThrowableObject* exception);
    virtual void gc_collect();

    virtual void StartGame();
    virtual void SuspendGame();
    virtual void ResumeGame();
    virtual void UpdateGame();
    virtual void RenderGame();
    virtual void KeyEvent(int event, int data);
    virtual void MouseEvent(int event, int data, float x, float y);
    virtual void TouchEvent(int event, int data, float x, float y);
    virtual void MotionEvent(int event, int data, float x, float y, float z);
    virtual void DiscardGraphics();

protected:
    // Runs one delegate operation: a thrown game exception is fatal, and a
    // collector step follows. A call made from inside another (the game
    // reopening its window from an update releases held keys through
    // KeyEvent) takes no step of its own: the game's locals are still in
    // use, and the outer call's step follows anyway.
    template <class F>
    void Guarded(F&& call) {
        struct Depth {
            int& depth;
            explicit Depth(int& d) : depth(d) { ++depth; }
            ~Depth() { --depth; }
            Depth(const Depth&) = delete;
            Depth& operator=(const Depth&) = delete;
        };
        {
            Depth inside(_delegateCalls);
            try {
                call();
            } catch (ThrowableObject* exception) {
                Die(exception);
            }
        }
        if (_delegateCalls == 0) gc_collect();
    }

    OrvGameDelegate* _delegate = nullptr;
    bool _keyboardEnabled = false;
    int _updateRate = 0;
    bool _started = false;
    bool _suspended = false;
    int _delegateCalls = 0;  // delegate operations running now
};

class OrvGlfwGame : public OrvGame {
public:
    OrvGlfwGame();
    static OrvGlfwGame* _glfwGame;

    void SetUpdateRate(int rate) override;
    int Millisecs() override;
    void SetMouseVisible(bool visible) override;
    bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                      Array<bool> buttons) override;
    String PathToFilePath(String path) override;
    void OpenUrl(String url) override;

    virtual unsigned char* LoadImageData(String path, int* width, int* height, int* depth);
    virtual unsigned char* LoadAudioData(String path, int* length, int* channels, int* format, int* hertz);

    // False when the asked-for window could not be opened and the game
    // stays in the window it had.
    virtual bool SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha, int depth,
                               int stencil, bool fullscreen);
    virtual void Run();

    // Window-system callbacks.
    static void OnKey(int key, int action);
    static void OnChar(int character, int action);
    static void OnMouseButton(int button, int action);
    static void OnMousePos(int x, int y);
    static int OnWindowClose();

    static int TransKey(int glfwKey);
    static int KeyToChar(int code);

    OrvGlfwVideoMode* GetGlfwDesktopMode();
    Array<OrvGlfwVideoMode*> GetGlfwVideoModes();

    double NextUpdate() const { return _nextUpdate; }
    bool Iconified() const { return _iconified; }

protected:
    // One pass of the loop's steps: suspend or resume by the window's focus
    // and minimised state; and, with an update due, up to 4 updates to catch
    // up and one render (a backlog still left is dropped).
    void FollowWindowState();
    void CatchUp();

    bool _iconified = false;
    double _nextUpdate = 0.0;
    double _updatePeriod = 0.0;

private:
    struct WindowMode {
        int width, height, red, green, blue, alpha, depth, stencil;
        bool fullscreen;
    };
    bool OpenGlfwWindow(const WindowMode& mode, int desktopWidth, int desktopHeight);
    WindowMode _window{};  // the window open now; width 0 before the first
    // Framework key codes the host has reported down: a repeat of any other
    // key (one the window change released) must not start a new press.
    bool _keyReportedDown[256] = {};
};

// The program's host. Main lives in its own file (host_main.cpp), linked
// only into programs that supply orvInit and orvMain.
class OrvQuarloGame : public OrvGlfwGame {
public:
    static int Main(int argc, char** argv);
    // Main's start of the program on the host: empties the collector's
    // lists, gives the module globals their start values (orvInit), marks
    // the roots and creates the application object (orvMain). A game
    // exception thrown there is fatal.
    static void StartProgram(OrvGame* host);
    // Main's steps on every platform: the window library started, the host
    // object made by `make` (after it), the program started, and the host
    // run once the program has made its app.
    static void Launch(int argc, char** argv, OrvQuarloGame* (*make)());
};

// Program-wide host globals.
extern int argc;
extern char** argv;
extern int glfwGraphicsSeq;  // moves on every time a window (and GL context) is opened

// Supplied by the program on top of the host (Main calls them): module
// globals' start values, and creation of the application object.
void orvInit();
int orvMain();
