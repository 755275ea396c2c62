// The game's cost per frame: one full update that records a busy picture of
// 2,000 draw commands, and the render that replays it, through the host's
// guarded calls (each with its collector step). Run with a drawing device
// that draws nothing (the game's and framework's own cost), with the tests'
// recording device, and with the real renderer and OpenGL; prints CPU time
// per frame, draw calls, and what the update and the replay allocate.
// Run under a display (a virtual one will do):
//   xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bench_frame [frames]
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/audio.h"
#include "framework/graphics.h"
#include "game/my_app.h"
#include "host/glfw_layer.h"
#include "host/host_game.h"
#include "tests/support/recording_graphics.h"

// Counts heap blocks while switched on; everything goes on to the C library.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);
}
namespace {
bool g_counting = false;
long g_blocks = 0;
}  // namespace
extern "C" void* malloc(std::size_t size) {
    if (g_counting) ++g_blocks;
    return __libc_malloc(size);
}
extern "C" void* calloc(std::size_t count, std::size_t size) {
    if (g_counting) ++g_blocks;
    return __libc_calloc(count, size);
}
extern "C" void* realloc(void* block, std::size_t size) {
    if (g_counting) ++g_blocks;
    return __libc_realloc(block, size);
}
extern "C" void free(void* block) { __libc_free(block); }

namespace {

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Takes every call and draws nothing: what is left is the game's and the
// framework's own work.
class NullGraphics : public gxtkGraphics {
public:
    int BeginRender() override {
        glfw().GetWindowSize(&width, &height);
        draws = 0;
        return 1;
    }
    void EndRender() override {}
    int Cls(float, float, float) override { return 0; }
    int SetBlend(int) override { return 0; }
    int SetScissor(int, int, int, int) override { return 0; }
    int DrawRect(float, float, float, float) override { return ++draws; }
    int DrawOval(float, float, float, float) override { return ++draws; }
    int DrawSurface(gxtkSurface*, float, float) override { return ++draws; }
    int DrawSurface2(gxtkSurface*, float, float, int, int, int, int) override { return ++draws; }
    int draws = 0;
};

// The texts of the picture, made once: writing them costs only the string
// that p_Text joins.
std::vector<String> g_texts;

// What a busy game screen records after the screen's own clear: panels,
// a garden of 1,000 tiles, shadows, 300 additive particles, badges and 400
// letters of text: 2,000 commands in all (and the rate line).
void RecordBusyPicture(c_MyApp* app, int frame) {
    app->p_SetCol(30, 90, 30, 1);
    for (int i = 0; i < 100; ++i) app->p_Rect(static_cast<float>(i % 10 * 64), static_cast<float>(i / 10 * 48), 60, 44);
    app->p_ResetDraw();
    for (int i = 0; i < 1000; ++i) {
        app->p_SetRot(i % 10 == 0 ? static_cast<float>(frame + i) : 0);
        app->p_DrawImg(1, static_cast<float>(i % 40 * 16 + 8), static_cast<float>(i / 40 * 16 + 8),
                       static_cast<float>((i + frame) % 256));
    }
    app->p_ResetDraw();
    app->p_SetCol(0, 0, 0, 0.3f);
    for (int i = 0; i < 50; ++i) app->p_Oval(static_cast<float>(i * 12 + 6), 300, 6, 3);
    app->p_ResetDraw();
    app->m_DrawBlend = 3;
    for (int i = 0; i < 300; ++i) {
        app->p_SetCol(255, static_cast<float>(i % 256), 40, 0.5f);
        app->p_DrawImg(96, static_cast<float>((i * 37 + frame) % 640), static_cast<float>((i * 53) % 480),
                       static_cast<float>(i % 256));
    }
    app->p_ResetDraw();
    app->p_SetCol(0, 0, 40, 0.6f);
    for (int i = 0; i < 100; ++i) app->p_Rect(static_cast<float>(i % 5 * 128), 400, 120, 8);
    app->p_ResetDraw();
    app->p_SetSize(0.5f);
    for (int i = 0; i < 50; ++i) app->p_DrawImg(80, static_cast<float>(i * 12 + 8), 440, static_cast<float>(i));
    app->p_ResetDraw();
    for (int i = 0; i < 20; ++i) {
        app->p_Text(320, static_cast<float>(20 + i * 20), g_texts[static_cast<std::size_t>(i)], 1, 1);
    }
}

struct Figures {
    double update_ms, render_ms, render_process_ms;
    long update_blocks, render_blocks;
    int update_gc_bytes, render_gc_bytes;
    int commands, draw_calls;
};

Figures Measure(OrvGlfwGame* host, c_MyApp* app, int frames, int (*draw_calls)()) {
    Figures f{};
    for (int i = 0; i < frames + 10; ++i) {
        const bool timed = i >= 10;  // a few frames first to warm the caches
        const double u0 = ThreadCpuMs();
        const int gc0 = gc_new_bytes;
        g_blocks = 0;
        g_counting = true;
        host->UpdateGame();
        RecordBusyPicture(app, i);
        g_counting = false;
        const double u1 = ThreadCpuMs();
        const long update_blocks = g_blocks;
        const int gc1 = gc_new_bytes;
        const double p0 = ProcessCpuMs();
        g_blocks = 0;
        g_counting = true;
        host->RenderGame();
        g_counting = false;
        const double r1 = ThreadCpuMs(), p1 = ProcessCpuMs();
        if (!timed) continue;
        f.update_ms += u1 - u0;
        f.render_ms += r1 - u1;
        f.render_process_ms += p1 - p0;
        f.update_blocks += update_blocks;
        f.render_blocks += g_blocks;
        // The counter restarts at every sweep; count only steps without one.
        if (gc1 >= gc0) f.update_gc_bytes += gc1 - gc0;
        if (gc_new_bytes >= gc1) f.render_gc_bytes += gc_new_bytes - gc1;
    }
    f.commands = app->m_DrawCount / 15;
    f.draw_calls = draw_calls();
    return f;
}

void Print(const char* device, const char* calls, const Figures& f, int frames) {
    std::printf("%s: update + recording %.3f ms, render (replay) %.3f ms CPU on the main thread"
                " (%.3f ms in the whole process); %d commands, %d %s\n",
                device, f.update_ms / frames, f.render_ms / frames, f.render_process_ms / frames, f.commands,
                f.draw_calls, calls);
    // The update's blocks are the strings its texts join (20 texts and the
    // rate line); the render's come from the window system's size query
    // and, with OpenGL, the driver.
    std::printf("  per frame: update %.1f heap blocks and %.1f collected bytes; render %.1f heap blocks and %.1f"
                " collected bytes\n",
                static_cast<double>(f.update_blocks) / frames, static_cast<double>(f.update_gc_bytes) / frames,
                static_cast<double>(f.render_blocks) / frames, static_cast<double>(f.render_gc_bytes) / frames);
}

NullGraphics* g_null = nullptr;
int NullDraws() { return g_null->draws; }
RecordingGraphics* g_recording = nullptr;
int RecordedDraws() {
    int draws = 0;
    for (const RecordingGraphics::Record& r : g_recording->LastFrame()) {
        draws += r.call == RecordingGraphics::Call::DrawRect || r.call == RecordingGraphics::Call::DrawOval ||
                 r.call == RecordingGraphics::Call::DrawSurface || r.call == RecordingGraphics::Call::DrawSurface2;
    }
    return draws;
}

// Puts another drawing device under the running game.
void UseDevice(gxtkGraphics* device) {
    gc_assign(orv_app__delegate->m__graphics, device);
    orv_graphics_SetGraphicsDevice(device);
}
int RealDrawCalls() { return orv_graphics_device->DrawCallsThisFrame(); }

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    // The game reads its data folder from the working directory.
    const std::string self = argv[0];
    const std::string dir = self.find('/') == std::string::npos ? "." : self.substr(0, self.rfind('/'));
    if (chdir((dir + "/..").c_str()) != 0) return 1;
    if (!getenv("ALSOFT_DRIVERS")) setenv("ALSOFT_DRIVERS", "null", 1);

    GlfwLayer::current = GlfwLayer::CreateReal();
    if (!glfw().Init()) {
        std::printf("no display\n");
        return 1;
    }
    auto* host = new OrvGlfwGame();
    OrvQuarloGame::StartProgram(host);
    host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    host->StartGame();
    auto* app = static_cast<c_MyApp*>(orv_app__app);
    while (app->m_LoadStage != 0) host->UpdateGame();
    orv_Kemp_DebugMode = 1;  // the rate line: one more text, with numbers
    for (int i = 0; i < 20; ++i) g_texts.push_back(String("SCORE-000125-LEVEL") + app->p_rstr(2, i, String("0")));

    const Figures real = Measure(host, app, frames, RealDrawCalls);

    // The same game on a device that draws nothing, then on the recorder.
    UseDevice(g_null = new NullGraphics());
    const Figures none = Measure(host, app, frames, NullDraws);
    UseDevice(g_recording = new RecordingGraphics());
    const Figures recorded = Measure(host, app, frames, RecordedDraws);

    std::printf("one frame of a busy picture, mean of %d frames at 640 x 480\n", frames);
    Print("device that draws nothing", "drawing calls reached it", none, frames);
    Print("recording device", "drawing calls recorded", recorded, frames);
    Print("OpenGL renderer", "draw calls", real, frames);
    orv_audio_device->Close();
    return 0;
}
