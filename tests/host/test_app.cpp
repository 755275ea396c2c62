// A small app on the real host, for tests that run it as a program: the
// first argument chooses what it does.
#include <cstdio>
#include <string>

#include "framework/app.h"
#include "runtime/diagnostics.h"

namespace {

std::string mode;

class TestApp : public c_App {
public:
    TestApp* m_new() {
        c_App::m_new();
        return this;
    }
    int p_OnCreate() override {
        if (mode == "throw-create") throw new ThrowableObject();
        if (mode == "back-key") {
            orvPrint(String("created"));
            orv_app__game->KeyEvent(c_OrvGameEvent::KeyDown, KEY_BACK);
            orvPrint(String("still running"));
        }
        orv_app_SetUpdateRate(60);
        return 0;
    }
    int p_OnUpdate() override {
        if (mode == "throw-update" && ++updates == 3) throw new ThrowableObject();
        if (mode == "rate") {
            // Counts updates over two seconds of the host clock.
            if (!updates++) start = orv_app_Millisecs();
            const int elapsed = orv_app_Millisecs() - start;
            if (elapsed >= 2000) {
                std::printf("%d updates in %d ms\n", updates - 1, elapsed);
                std::fflush(stdout);
                orv_app_EndApp();
            }
        }
        return 0;
    }

private:
    int updates = 0;
    int start = 0;
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
