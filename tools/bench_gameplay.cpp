// One frame of play with eight enemies walking and the particle pool full,
// measured in process: the processor time of one whole update (as the
// delegate runs it) and of one render's submission, without the time spent
// inside the OpenGL driver; draw calls per rendered frame against the texture
// runs of its draw list; and what an update allocates. Also the updates of
// play per second and the collector bytes they allocate; and how many updates
// a touch on the on-screen pad, or a tilt, takes to move the figure.
// Run under a display (a virtual one will do), from anywhere:
//   xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" build/tools/bench_gameplay
//
// The link wraps the renderer's OpenGL calls and the window's buffer swap, so
// that the time spent in them is known, and the C allocator's entry points,
// and operator new, so that allocations are counted by the function that
// made them.
#include <cxxabi.h>
#include <dlfcn.h>
#include <unistd.h>

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>

#include "framework/graphics.h"
#include "framework/input.h"
#include "game/my_app.h"
#include "game/play_fields.h"
#include "host/glfw_layer.h"
#include "host/host_game.h"
#include "host/renderer.h"

namespace {

double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Processor time of this thread inside the driver, and in its draw calls.
double driver_seconds = 0, draw_seconds = 0;
long draws = 0;
struct InDriver {
    double start = ThreadSeconds();
    ~InDriver() { driver_seconds += ThreadSeconds() - start; }
};
struct InDraw {
    double start = ThreadSeconds();
    ~InDraw() {
        draw_seconds += ThreadSeconds() - start;
        ++draws;
    }
};

// Allocations while counting, by the function that asked.
bool counting = false;
long allocations = 0;
std::map<void*, long> callers;

void Count(void* caller) {
    if (!counting) return;
    counting = false;  // the map allocates too
    ++allocations;
    ++callers[caller];
    counting = true;
}

std::string NameOf(void* address) {
    Dl_info info;
    if (!dladdr(address, &info) || !info.dli_sname) return "(unknown)";
    int status = 0;
    char* name = abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status);
    std::string result = status == 0 && name ? name : info.dli_sname;
    std::free(name);
    return result;
}

}  // namespace

extern "C" {
void* __real_malloc(std::size_t);
void* __real_calloc(std::size_t, std::size_t);
void* __real_realloc(void*, std::size_t);
void* __wrap_malloc(std::size_t n) {
    Count(__builtin_return_address(0));
    return __real_malloc(n);
}
void* __wrap_calloc(std::size_t n, std::size_t size) {
    Count(__builtin_return_address(0));
    return __real_calloc(n, size);
}
void* __wrap_realloc(void* p, std::size_t n) {
    Count(__builtin_return_address(0));
    return __real_realloc(p, n);
}
// operator new and operator new[]
void* __real__Znwm(std::size_t);
void* __real__Znam(std::size_t);
void* __wrap__Znwm(std::size_t n) {
    Count(__builtin_return_address(0));
    return __real__Znwm(n);
}
void* __wrap__Znam(std::size_t n) {
    Count(__builtin_return_address(0));
    return __real__Znam(n);
}

#define DRIVER_CALL(name, params, args)   \
    void __real_##name params;            \
    void __wrap_##name params {           \
        InDriver timed;                   \
        __real_##name args;               \
    }
#define DRAW_CALL(name, params, args) \
    void __real_##name params;          \
    void __wrap_##name params {         \
        InDriver timed;                 \
        InDraw drawn;                   \
        __real_##name args;             \
    }
DRAW_CALL(glDrawElements, (GLenum m, GLsizei n, GLenum t, const void* i), (m, n, t, i))
DRAW_CALL(glDrawArrays, (GLenum m, GLint f, GLsizei n), (m, f, n))
DRIVER_CALL(glClear, (GLbitfield m), (m))
DRIVER_CALL(glClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a), (r, g, b, a))
DRIVER_CALL(glBindTexture, (GLenum t, GLuint n), (t, n))
DRIVER_CALL(glEnable, (GLenum c), (c))
DRIVER_CALL(glDisable, (GLenum c), (c))
DRIVER_CALL(glBlendFunc, (GLenum s, GLenum d), (s, d))
DRIVER_CALL(glScissor, (GLint x, GLint y, GLsizei w, GLsizei h), (x, y, w, h))
DRIVER_CALL(glViewport, (GLint x, GLint y, GLsizei w, GLsizei h), (x, y, w, h))
DRIVER_CALL(glMatrixMode, (GLenum m), (m))
DRIVER_CALL(glLoadIdentity, (void), ())
DRIVER_CALL(glOrtho, (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f), (l, r, b, t, n, f))
DRIVER_CALL(glEnableClientState, (GLenum a), (a))
DRIVER_CALL(glVertexPointer, (GLint s, GLenum t, GLsizei d, const void* p), (s, t, d, p))
DRIVER_CALL(glTexCoordPointer, (GLint s, GLenum t, GLsizei d, const void* p), (s, t, d, p))
DRIVER_CALL(glColorPointer, (GLint s, GLenum t, GLsizei d, const void* p), (s, t, d, p))
struct GLFWwindow;
DRIVER_CALL(glfwSwapBuffers, (GLFWwindow * w), (w))
}

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

    // The whole update, as the delegate runs it, and the allocations it makes.
    c_InputDevice* input = orv_input_device;
    const auto update = [&] {
        input->p_BeginUpdate();
        app->p_OnUpdate();
        input->p_EndUpdate();
    };
    for (int i = 0; i < 100; ++i) update();
    const int updates = 20000;
    const int bytesBefore = gc_new_bytes;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ThreadSeconds();
    counting = true;
    for (int i = 0; i < updates; ++i) update();
    counting = false;
    const double cpu = ThreadSeconds() - cpuStart;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("one update (p_OnUpdate with the input device's begin and end): %.1f us of processor time "
                "(%.0f updates/s; one is due every 16667 us)\n",
                cpu / updates * 1e6, updates / seconds);
    std::printf("collector bytes allocated by %d updates: %d\n", updates, gc_new_bytes - bytesBefore);
    std::printf("allocations per update: %.2f, by caller:\n", static_cast<double>(allocations) / updates);
    std::map<std::string, long> byName;
    for (const auto& [caller, n] : callers) byName[NameOf(caller)] += n;
    for (const auto& [name, n] : byName) std::printf("  %8.2f  %s\n", static_cast<double>(n) / updates, name.c_str());
    std::printf("enemies still active: %d, draw commands in the last update: %d\n", ActiveEnemies(app),
                app->m_DrawCount / 15);

    // The render of that picture, as the delegate runs it, buffer swap included.
    const auto render = [&] {
        device->BeginRender();
        orv_graphics_BeginRender();
        app->p_OnRender();
        orv_graphics_EndRender();
        device->EndRender();
    };
    for (int i = 0; i < 20; ++i) render();
    const int renders = 2000;
    driver_seconds = draw_seconds = 0;
    draws = 0;
    const double renderStart = ThreadSeconds();
    for (int i = 0; i < renders; ++i) render();
    const double renderCpu = ThreadSeconds() - renderStart;
    std::printf("one render: %.1f us of processor time in this thread, %.1f us of it in the driver "
                "(OpenGL calls and the buffer swap): submission %.1f us\n",
                renderCpu / renders * 1e6, driver_seconds / renders * 1e6,
                (renderCpu - driver_seconds) / renders * 1e6);
    std::printf("the driver's draw calls: %.1f per render, %.1f us each on average\n",
                static_cast<double>(draws) / renders, draw_seconds / static_cast<double>(draws) * 1e6);

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

    // A finger on the on-screen pad's right arrow, and a phone tilted right, as a touch device gives them, at
    // the start of a level: the updates until the figure moves, counting the one that reads the input. A
    // browser adds the wait for its next frame (up to one update).
    orv_Kemp_OnScreenControls = orv_Kemp_AccelerometerControls = 1;
    for (const bool tilt : {false, true}) {
        app->m_Level = 1;
        app->p_Garden();
        while (app->m_LevelIntro > 0) update();
        update();  // the pad laid out where the settings put it
        const float before = app->m_Player[kPX] + app->m_Player[kPDX];
        const float padX = static_cast<float>(app->m_DpadX) + 32 * app->m_DpadScale;
        const float padY = static_cast<float>(app->m_DpadY);
        if (tilt) {
            input->p_MotionEvent(10, 0, 0.5f, 0, -1);
        } else {
            input->p_TouchEvent(7, 0, padX, padY);
        }
        int waited = 0;
        while (waited < 600 && app->m_Player[kPX] + app->m_Player[kPDX] == before) {
            update();
            ++waited;
        }
        std::printf("updates from %s to the figure's first move: %d (%.1f ms at 60 Hz)\n",
                    tilt ? "a tilt to the right (half of gravity)" : "a touch on the pad's right arrow", waited,
                    waited * 1000.0 / 60);
        input->p_TouchEvent(8, 0, padX, padY);  // the finger lifted, the phone level again
        input->p_MotionEvent(10, 0, 0, 0, -1);
    }
    return 0;
}
