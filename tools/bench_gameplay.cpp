// Updates of play per second with eight enemies walking and the particle pool
// full, the collector bytes those updates allocate, and the draw calls of one
// rendered frame of that play against the texture runs of its draw list.
// Run under a display (a virtual one will do), from anywhere:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/bench_gameplay
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "framework/graphics.h"
#include "framework/input.h"
#include "game/my_app.h"
#include "game/play_fields.h"
#include "host/glfw_layer.h"
#include "host/host_game.h"
#include "host/renderer.h"

using namespace play;

namespace {

// The game reads "./data": work from the build folder that holds it.
void EnterBuildFolder(const char* argv0) {
    std::string exe(argv0);
    const std::size_t slash = exe.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : exe.substr(0, slash);
    if (chdir((dir + "/..").c_str()) != 0) std::printf("cannot enter %s/..\n", dir.c_str());
}

// Hides the player in a hedge cell walled in by hedge, where no enemy can
// reach him, so that play runs on without lives being lost.
void HidePlayer(c_MyApp* app) {
    for (int y = 2; y <= 10; ++y) {
        for (int x = 2; x <= 18; ++x) {
            const auto hedge = [&](int cx, int cy) { return app->m_Garden[CellIndex(cx, cy) + kHedge] == 1; };
            if (hedge(x, y) && hedge(x - 1, y) && hedge(x + 1, y) && hedge(x, y - 1) && hedge(x, y + 1)) {
                app->m_Player[kPX] = static_cast<float>(x);
                app->m_Player[kPY] = static_cast<float>(y);
                return;
            }
        }
    }
}

// Every slot live, each a long-lived bit that keeps flying.
void FillParticles(c_MyApp* app) {
    for (int s = 0; s <= app->m_ParticleMax; ++s) {
        app->p_ThrowParticle(static_cast<float>(s % 640), static_cast<float>(s % 480), 1 + s % 2, 1 + s % 9, kAbsent,
                             kAbsent);
    }
    for (int s = 0; s <= app->m_ParticleMax; ++s) app->m_Particles[s * 10 + 7] = 1000;
}

int ActiveEnemies(c_MyApp* app) {
    int n = 0;
    for (int s = 0; s < kEnemySlots; ++s) n += app->m_Enemies[s * kEnemyRecord] != 0 ? 1 : 0;
    return n;
}

// Consecutive image commands of one slot draw from one texture; rectangles
// and ovals form runs of their own. Also gives the longest run in commands.
int TextureRuns(c_MyApp* app, int* longest) {
    int runs = 0, length = 0;
    *longest = 0;
    float last = -99999;
    for (int i = 0; i + 15 <= app->m_DrawCount; i += 15) {
        const float kind = app->m_DrawList[i];
        if (kind != last) {
            ++runs;
            length = 0;
        }
        ++length;
        if (length > *longest) *longest = length;
        last = kind;
    }
    return runs;
}

}  // namespace

int main(int, char** argv) {
    EnterBuildFolder(argv[0]);
    gc_init();
    orvInit();
    GlfwLayer::current = GlfwLayer::CreateReal();
    if (!glfw().Init()) {
        std::printf("no display\n");
        return 1;
    }
    OrvGlfwGame* host = new OrvGlfwGame();
    host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    orv_app__game = host;
    gxtkGraphics* device = new gxtkGraphics();
    orv_graphics_SetGraphicsDevice(device);
    gc_assign(orv_input_device, (new c_InputDevice())->m_new());
    for (int i = 0; i < 4; ++i) gc_assign(orv_input_device->m__joyStates[i], (new c_JoyState())->m_new());

    c_MyApp* app = new c_MyApp();
    for (int i = 0; i <= 32; ++i) app->m_ChanOrder[i] = i;
    app->m_LastWidth = orv_graphics_DeviceWidth();
    app->m_LastHeight = orv_graphics_DeviceHeight();
    app->p_Reload();
    while (app->m_LoadStage > 0) app->p_Loader();
    app->p_VirtualScreen();

    app->m_GameType = 1;
    app->p_LoadGame();
    app->m_Level = 20;
    app->p_Garden();
    HidePlayer(app);
    while (app->m_EnemiesWaiting > 0 || app->m_LevelIntro > 0) {
        app->p_Game();
        app->p_InGame();
    }
    FillParticles(app);
    std::printf("enemies active: %d, live particles: %d of %d\n", ActiveEnemies(app), app->m_ParticleMax + 1,
                app->m_ParticleMax + 1);

    const int updates = 20000;
    const int bytesBefore = gc_new_bytes;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < updates; ++i) {
        app->p_Game();
        app->p_InGame();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("p_Game + p_InGame: %.0f updates/s (%.1f us each; one update is due every 16667 us)\n",
                updates / seconds, seconds / updates * 1e6);
    std::printf("collector bytes allocated by %d updates: %d\n", updates, gc_new_bytes - bytesBefore);
    std::printf("enemies still active: %d, draw commands in the last update: %d\n", ActiveEnemies(app),
                app->m_DrawCount / 15);

    device->BeginRender();
    orv_graphics_BeginRender();
    app->p_OnRender();
    device->Flush();
    orv_graphics_EndRender();
    int longest = 0;
    const int runs = TextureRuns(app, &longest);
    std::printf("draw calls for one rendered frame of play: %d\n", device->DrawCallsThisFrame());
    std::printf("runs of one texture: %d in the draw list + 1 for the window clear; longest run %d sprites\n", runs,
                longest);
    return 0;
}
