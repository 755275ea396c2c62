// The program's own game (orvInit, orvMain) on a host without a window
// system or sound: the host runs on the fake window layer with a
// hand-driven clock, draws into a recording device and plays into an audio
// device that reaches no sound card. Every helper goes through the host's
// guarded calls or its window callbacks, as the real loop does, so a
// collector step follows each.
//
// One game at a time. The game object and the framework live in
// process-wide globals, so each GameHost starts from nothing: it empties
// the collector's lists (an earlier game's objects are abandoned, never
// destroyed) and orvInit gives every module global its start value. Any
// number of games may follow one another in a test program.
//
// Runs in a fresh directory of its own holding a link to the generated
// data, so the state file a game saves never meets another test's or the
// player's.
#pragma once
#include <functional>
#include <string>

#include "host/audio_device.h"
#include "host/host_game.h"
#include "tests/support/fake_glfw.h"
#include "tests/support/recording_graphics.h"

class GameHost {
public:
    GameHost();
    ~GameHost();
    GameHost(const GameHost&) = delete;
    GameHost& operator=(const GameHost&) = delete;

    // What the program's Main and the loop do before the first update:
    // module globals, the game object, the 640 × 480 window, the start and
    // the first render.
    void Start();

    // One update as the loop runs it: the clock moves on by one update
    // period first.
    void Update(int count = 1);
    void Render() { host->RenderGame(); }
    // Updates and one render, as one turn of the loop.
    void Frame(int updates = 1) { Update(updates); Render(); }

    // Framework key codes. A code some keyboard key produces goes through
    // the window's key callback (with the character the host adds for
    // control keys) and is held in the fake window system until KeyUp;
    // other codes (the back key, buttons) go straight to the host's KeyEvent.
    void KeyDown(int code);
    void KeyUp(int code);
    void Press(int code) { KeyDown(code); KeyUp(code); }  // down and up
    // The pointer and its buttons (0 left, 1 right, 2 middle), through the
    // window's callbacks; positions are window pixels.
    void MouseMove(int x, int y) { fake.mouse_x = x; fake.mouse_y = y; fake.callbacks().mouse_pos(x, y); }
    void MouseDown(int button) { fake.callbacks().mouse_button(button, glfw27::PRESS); }
    void MouseUp(int button) { fake.callbacks().mouse_button(button, glfw27::RELEASE); }
    void TouchDown(int finger, float x, float y) { host->TouchEvent(OrvGameEvent::TouchDown, finger, x, y); }
    // The window's close box.
    void Close() { fake.callbacks().window_close(); }
    // Focus lost and back, as the loop reports them.
    void Suspend() { host->SuspendGame(); }
    void Resume() { host->ResumeGame(); }
    // As the user resizing the window; the next render draws at that size.
    void SetWindowSize(int width, int height) { fake.SetWindowSize(width, height); }

    FakeGlfw fake;
    OrvGlfwGame* host = nullptr;
    RecordingGraphics* graphics = nullptr;  // set by Start
    gxtkAudio* audio = nullptr;             // set by Start
    // Makes the audio device at the start; by default a NullAudio
    // (tests/support/null_audio.h) that records what the game asks of it.
    std::function<gxtkAudio*()> make_audio;
    std::string dir;  // the game's working directory

private:
    GlfwLayer* previous_layer_ = nullptr;
    std::string previous_dir_;
    void (*previous_roots_)() = nullptr;
};
