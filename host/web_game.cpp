// The host in a browser: the program's start, its loop as the page's frame
// callback, and the stored state kept in the browser's database. There are
// no threads here (plain static hosting gives no shared memory): the music
// is topped up and every image decoded on the loop itself.
//
// The page's script (host/web/pre.js) mounts the database's folder on
// /state and reads it in before the program starts; the data files are
// preloaded under /data.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <unistd.h>

#include "host/audio_device.h"
#include "host/files.h"
#include "host/glfw_layer.h"
#include "host/host_game.h"
#include "host/image_files.h"
#include "host/process_memory.h"
#include "host/program_folders.h"
#include "host/web_data.h"

namespace {

class OrvWebGame final : public OrvQuarloGame {
public:
    void Run() override {
        SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
        StartGame();
        RenderGame();
        // A hidden page gets no frames: it is suspended (and saves) at once,
        // from the page's own event; so is a page being closed (pre.js).
        emscripten_set_visibilitychange_callback(this, 1, [](int, const EmscriptenVisibilityChangeEvent*, void* game) {
            static_cast<OrvWebGame*>(game)->FollowWindowState();
            return EM_FALSE;
        });

        // Paced by the display's frame callback; Run never returns.
        emscripten_set_main_loop_arg([](void* game) { static_cast<OrvWebGame*>(game)->Frame(); }, this, 0, 1);
    }

    // The state is written as on the desktop (to a file of its own, then
    // renamed over the old one), then the folder goes to the database in one
    // transaction: a page closed meanwhile keeps the old state or the new.
    int SaveState(String state) override {
        const int result = OrvQuarloGame::SaveState(state);
        if (result == 0) EM_ASM(Module.vellumbyStoreState(););
        return result;
    }

    // A phone or tablet: a coarse pointer, or touch points and no fine one.
    bool TouchIsMain() override {
        return EM_ASM_INT({
            return matchMedia('(pointer: coarse)').matches ||
                   (navigator.maxTouchPoints > 0 && !matchMedia('(any-pointer: fine)').matches);
        }) != 0;
    }

    // Tilt where a touch device has a motion sensor to give it.
    bool HasTilt() override { return TouchIsMain() && EM_ASM_INT({ return 'DeviceMotionEvent' in window; }) != 0; }

    void UpdateGame() override {
        if (_started && !_suspended) ++updates;
        OrvQuarloGame::UpdateGame();
    }
    int updates = 0;  // run so far, for the page's benchmark

private:
    // One frame: the loop's steps without its waits. A hidden page gets no
    // frames at all, so it costs nothing while the game is suspended.
    void Frame() {
        glfw().PollEvents();
        FollowWindowState();
        gxtkAudio::PumpMusic();
        if (!_updateRate || _suspended) {
            if (!_iconified) RenderGame();
            return;
        }
        // Images still downloading hold the game as a slow disk would,
        // and the wait is not made up afterwards.
        if (orvImagesOnTheirWay()) {
            if (!_iconified) RenderGame();
            _waited = true;
            return;
        }
        if (_waited) _nextUpdate = glfw().GetTime();
        _waited = false;
        if (_nextUpdate - glfw().GetTime() > 0) return;
        CatchUp();
    }
    bool _waited = false;
};

}  // namespace

// The page is going away (closed, reloaded, or a phone's browser dropping
// a hidden tab): the game saves as when it loses the focus.
extern "C" EMSCRIPTEN_KEEPALIVE void vellumby_page_hidden() {
    if (OrvGame::_game) OrvGame::_game->SuspendGame();
}

// How many updates the game has run, for the benchmark (tools/bench_web.js).
extern "C" EMSCRIPTEN_KEEPALIVE int vellumby_updates() {
    return OrvGame::_game ? static_cast<OrvWebGame*>(OrvGame::_game)->updates : 0;
}

// The browser manages the memory; there is nothing to set up.
void orvSetUpProcessMemory(char**) {}

void orvEnterProgramFolder() {
    if (chdir("/") != 0) return;
    orvSetStateFolder("/state");
}

int OrvQuarloGame::Main(int argc_in, char** argv_in) {
    Launch(argc_in, argv_in, [] () -> OrvQuarloGame* {
        gxtkAudio::musicThread = false;
        orvImageWorkers = 0;
        orvFetchMissingImages();
        return new OrvWebGame();
    });
    return 0;  // the page's frames run the game from here on
}
