// A small app on the real host, for tests that run it as a program: the
// first argument chooses what it does.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/app.h"
#include "framework/input.h"
#include "framework/window.h"
#include "host/glfw_layer.h"
#include "runtime/diagnostics.h"

namespace {

std::string mode;

// "input": reports what the input device shows in each update, one fact a
// line prefixed with the update number: hits, keys going down and up,
// characters, and pointer moves; F11 switches full screen as the game does
// ("window full" or "window windowed"), keeping the title. The close box ends the program from inside
// the key event, before any update, so the close key's state is reported on
// the way out.
void ReportCloseKey() {
    std::printf("exit down432=%d hit432=%d\n", orv_input_KeyDown(432), orv_input_KeyHit(432));
    std::fflush(stdout);
}

void ReportInput() {
    static bool was_down[512];
    static int updates = 0;
    static float mouse_x = -1, mouse_y = -1;
    const int u = ++updates;
    for (int key = 1; key < 512; ++key) {
        if (const int hits = orv_input_KeyHit(key)) std::printf("%d hit %d %d\n", u, key, hits);
        const bool down = orv_input_KeyDown(key) != 0;
        if (down != was_down[key]) std::printf("%d %s %d\n", u, down ? "down" : "up", key);
        was_down[key] = down;
    }
    while (const int character = orv_input_GetChar()) std::printf("%d char %d\n", u, character);
    static bool full = false;
    if (orv_input_KeyHit(122)) {
        full = !full;
        orv_app_SetWindow(full ? 1280 : 640, full ? 1024 : 480, 8, 8, 8, 0, 0, 0, full);
        glfw().SetWindowTitle("Vellumby input test");
        std::printf("%d window %s\n", u, full ? "full" : "windowed");
    }
    if (orv_input_MouseX() != mouse_x || orv_input_MouseY() != mouse_y) {
        std::printf("%d mouse %g %g\n", u, mouse_x = orv_input_MouseX(), mouse_y = orv_input_MouseY());
    }
    std::fflush(stdout);
}

class TestApp : public c_App {
public:
    int p_OnCreate() override {
        if (mode == "throw-create") throw new ThrowableObject();
        if (mode == "back-key") {
            orvPrint(String("created"));
            orv_app__game->KeyEvent(c_OrvGameEvent::KeyDown, KEY_BACK);
            orvPrint(String("still running"));
        }
        if (mode == "input") {
            glfw().SetWindowTitle("Vellumby input test");  // found by this title
            std::atexit(ReportCloseKey);
        }
        orv_app_SetUpdateRate(60);
        return 0;
    }
    int p_OnUpdate() override {
        if (mode == "input") ReportInput();
        if (mode == "throw-update" && ++updates == 3) throw new ThrowableObject();
        return 0;
    }

private:
    int updates = 0;
};

}  // namespace

void orvInit() {
    orvInitFramework();
    gc_roots = orvMarkFrameworkRoots;
}

int orvMain() {
    if (mode == "throw-startup") throw new ThrowableObject();
    (new TestApp())->m_new();
    if (mode == "second-app") (new TestApp())->m_new();
    return 0;
}

int main(int argc, char** argv) {
    mode = argc > 1 ? argv[1] : "";
    OrvQuarloGame::Main(argc, argv);
    return 0;
}
