// The game program itself (the same code as vellumby, started the same
// way), watched from inside: the window layer notes every finished frame and
// a delegate between the host and the game notes every update. Figures, not
// tests. Run under a display, from anywhere (it works in the build folder):
//
//   bench_program startup [WxH]  process start to the first frame and to the
//                                title menu (and the time spent inside the
//                                loader's updates), five runs; then the same
//                                to the first frame of a bare window, and of
//                                one drawing a sprite
//   bench_program play [WxH]     10 s of play: the intervals between updates,
//                                the longest update and render, and the
//                                processor use of the whole process; the
//                                longest update also from the game's start on,
//                                over the level start, a life lost half-way
//                                and the next level start;
//                                then 20 s with the focus elsewhere; resident
//                                memory along the way and at its peak
//   bench_program bare [WxH]     the same figures for the floor: a bare app
//                                (a window with an OpenGL context and an open
//                                OpenAL device) that only clears at 60 Hz
//   bench_program bare-draw [WxH]  the bare app drawing a blended sprite and
//                                a rectangle as well: the driver's own cost
//                                of drawing at all
//   bench_program fullscreen [WxH]  F11 on the title menu: the time to the
//                                title again and the peak memory from the
//                                F11 on, beside the pixels of the images
//   bench_program bare-fullscreen [WxH]  the floor: the drawing bare app
//                                going full screen
//
// WxH opens the first window at that size instead of 640x480 (1280x1024
// loads the "-hd2" images). Sound goes to OpenAL's real-time output to
// nowhere unless ALSOFT_DRIVERS says otherwise.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/app.h"
#include "framework/window.h"
#include "game/my_app.h"
#include "game/play_fields.h"
#include "host/glfw_layer.h"
#include "host/host_game.h"
#include "host/process_memory.h"
#include "runtime/diagnostics.h"

// Last: its macros would clash with names above.
#include <X11/Xlib.h>

extern char** environ;

namespace {

double Now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);  // every thread of the process
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
    }
    return 0;
}

long PeakResidentKb() { return StatusKb("VmHWM:"); }

// Resident memory now and at its peak so far, in MB.
std::string Memory() {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f MB (peak %.1f MB)", static_cast<double>(StatusKb("VmRSS:")) / 1024,
                  static_cast<double>(PeakResidentKb()) / 1024);
    return text;
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five;
    in >> one >> five;
    return one + " (1 min), " + five + " (5 min)";
}

// The game reads "./data" and keeps its state file in the folder it runs in:
// a folder of its own, beside a link to the build's data.
std::string work_folder;

void RemoveWorkFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(work_folder, ignored);
}

void EnterWorkFolder(const char* argv0) {
    const std::filesystem::path build = std::filesystem::absolute(argv0).parent_path().parent_path();
    char name[] = "/tmp/vellumby-bench-XXXXXX";
    if (!mkdtemp(name)) std::exit(1);
    work_folder = name;
    std::atexit(RemoveWorkFolder);
    std::error_code e;
    std::filesystem::create_directory_symlink(build / "data", work_folder + "/data", e);
    if (e || chdir(name) != 0) std::printf("cannot work in %s\n", name);
}

c_MyApp* Game() { return dynamic_cast<c_MyApp*>(orv_app__app); }

bool OnTitle() {
    c_MyApp* app = Game();
    return app && app->m_LoadStage == 0 && app->m_Mode == 1;
}

// ---- what the benchmark watches

struct Watch {
    bool startup = false;
    bool bare = false;
    bool bare_draws = false;  // the bare app also draws a sprite and a rectangle
    bool fullscreen = false;  // F11 from the title menu (the bare app: it goes full screen)
    double started = 0;  // process start, on the monotonic clock
    int width = 640, height = 480;
    double first_frame = 0;
    // Moments of the start-up, in order: main entered, window system ready,
    // window open, game created (devices and p_OnCreate), first frame.
    std::vector<std::pair<const char*, double>> moments;
    std::vector<double> updates;  // times of the updates measured
    int suspends = 0;
    // Start-up: the updates up to the title menu and the time spent inside
    // them (the loader's decoding and uploads), and the longest of them.
    int startup_updates = 0;
    double in_updates = 0, longest_update = 0, longest_render = 0;
} watch;

// The real window layer with a frame counter (and the first window's size).
class WatchLayer : public GlfwLayer {
public:
    explicit WatchLayer(GlfwLayer* real) : real_(real) {}

    bool Init() override {
        const bool ok = real_->Init();
        watch.moments.emplace_back("window system ready", Now());
        return ok;
    }
    void Terminate() override { real_->Terminate(); }
    bool OpenWindow(int width, int height, int r, int g, int b, int a, int d, int s, bool fullscreen,
                    bool resizable) override {
        const bool first = !opened_before_;
        if (first) {
            width = watch.width;
            height = watch.height;
            opened_before_ = true;
        }
        const bool ok = real_->OpenWindow(width, height, r, g, b, a, d, s, fullscreen, resizable);
        if (first) watch.moments.emplace_back("window open", Now());
        return ok;
    }
    void CloseWindow() override { real_->CloseWindow(); }
    int GetWindowParam(glfw27::WindowParam p) override { return real_->GetWindowParam(p); }
    void SetWindowPos(int x, int y) override { real_->SetWindowPos(x, y); }
    void SetWindowTitle(const char* t) override { real_->SetWindowTitle(t); }
    void GetWindowSize(int* w, int* h) override { real_->GetWindowSize(w, h); }
    glfw27::VidMode GetDesktopMode() override { return real_->GetDesktopMode(); }
    int GetVideoModes(glfw27::VidMode* list, int n) override { return real_->GetVideoModes(list, n); }
    void SetKeyRepeat(bool on) override { real_->SetKeyRepeat(on); }
    void SetAutoPollEvents(bool on) override { real_->SetAutoPollEvents(on); }
    void SetMouseCursor(bool on) override { real_->SetMouseCursor(on); }
    int GetKey(int key) override { return real_->GetKey(key); }
    void GetMousePos(int* x, int* y) override { real_->GetMousePos(x, y); }
    int GetJoystickParam(int j, glfw27::JoystickParam p) override { return real_->GetJoystickParam(j, p); }
    int GetJoystickPos(int j, float* pos, int n) override { return real_->GetJoystickPos(j, pos, n); }
    int GetJoystickButtons(int j, unsigned char* b, int n) override { return real_->GetJoystickButtons(j, b, n); }
    double GetTime() override { return real_->GetTime(); }
    void Sleep(double seconds) override { real_->Sleep(seconds); }
    // The host hands its callbacks to the layer it knows, this one.
    void PollEvents() override {
        real_->SetCallbacks(callbacks());
        real_->PollEvents();
    }
    void WaitEvents() override {
        real_->SetCallbacks(callbacks());
        real_->WaitEvents();
    }
    void SwapBuffers() override {
        real_->SwapBuffers();
        if (!watch.startup) return;
        const double now = Now();
        if (watch.first_frame == 0) {
            watch.first_frame = now;
            watch.moments.emplace_back("first frame", now);
        }
        if (watch.bare || OnTitle()) {
            std::printf("%.1f %.1f %.1f %.1f", (watch.first_frame - watch.started) * 1000, (now - watch.started) * 1000,
                        watch.longest_update * 1000, watch.longest_render * 1000);
            for (const auto& [what, when] : watch.moments) std::printf(" | %s %.1f", what, (when - watch.started) * 1000);
            std::printf(" | %d updates taking %.1f, longest %.1f\n", watch.startup_updates, watch.in_updates * 1000,
                        watch.longest_update * 1000);
            std::fflush(stdout);
            RemoveWorkFolder();
            std::_Exit(0);
        }
    }

private:
    GlfwLayer* real_;
    bool opened_before_ = false;
};

// ---- play: the game started from the title menu, then measured

// A new full-screen window has no focus here (no window manager): it is
// given it, as a player's click would, once it is on the screen: the
// topmost window shown (it has no title to find it by).
void FocusTheNewWindow() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    for (int tries = 0; tries < 5; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
        for (unsigned i = count; i-- > 0;) {
            XWindowAttributes a{};
            if (XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable) {
                XSetInputFocus(display, children[i], RevertToParent, CurrentTime);
                break;
            }
        }
        if (children) XFree(children);
        XSync(display, False);
    }
    XCloseDisplay(display);
}

// Moves the focus away from the game's window for a while, measuring the
// processor use meanwhile, and gives it back.
std::atomic<bool> away_done{false};
double away_cpu = 0, away_seconds = 0;

void FocusElsewhere() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    XSetInputFocus(display, None, RevertToNone, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the game suspends
    const double cpu = CpuSeconds(), start = Now();
    std::this_thread::sleep_for(std::chrono::seconds(20));
    away_cpu = CpuSeconds() - cpu;
    away_seconds = Now() - start;
    away_done = true;
    XSetInputFocus(display, focus, RevertToParent, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
}

class PlayDelegate : public OrvGameDelegate {
public:
    PlayDelegate(OrvGameDelegate* game, bool play) : game_(game), play_(play) {}
    void mark() override { gc_mark_q(game_); }

    void StartGame() override {
        game_->StartGame();
        watch.moments.emplace_back("game created", Now());
    }
    void SuspendGame() override {
        ++watch.suspends;
        game_->SuspendGame();
    }
    void ResumeGame() override { game_->ResumeGame(); }
    void RenderGame() override {
        const double start = Now();
        game_->RenderGame();
        if (stage_ == 3 || stage_ >= 10) longest_render_ = std::max(longest_render_, Now() - start);
        if (watch.startup) watch.longest_render = std::max(watch.longest_render, Now() - start);
    }
    void KeyEvent(int e, int d) override { game_->KeyEvent(e, d); }
    void MouseEvent(int e, int d, float x, float y) override { game_->MouseEvent(e, d, x, y); }
    void TouchEvent(int e, int d, float x, float y) override { game_->TouchEvent(e, d, x, y); }
    void MotionEvent(int e, int d, float x, float y, float z) override { game_->MotionEvent(e, d, x, y, z); }
    void DiscardGraphics() override { game_->DiscardGraphics(); }

    void UpdateGame() override {
        const double now = Now();
        if (play_) Script(now);
        game_->UpdateGame();
        if (stage_ == 3 || stage_ >= 10) longest_update_ = std::max(longest_update_, Now() - now);
        if (stage_ >= 1 && stage_ <= 3) longest_from_start_ = std::max(longest_from_start_, Now() - now);
        if (watch.startup) {
            const double took = Now() - now;
            ++watch.startup_updates;
            watch.in_updates += took;
            watch.longest_update = std::max(watch.longest_update, took);
        }
    }

private:
    void Key(int code, bool down) { game_->KeyEvent(down ? 1 : 2, code); }

    void Script(double now) {
        c_MyApp* app = Game();
        if (watch.fullscreen) return FullScreen(now, app);
        switch (stage_) {
            case 0:  // the title menu: Enter starts a game of the selected type 1
                if (memory_.empty()) memory_ = "first update " + Memory();
                if (watch.bare) {
                    stage_ = 2;
                    at_ = now + 1.5;
                } else if (OnTitle()) {
                    memory_ += ", title menu " + Memory();
                    Key(13, true);
                    stage_ = 1;
                }
                break;
            case 1:
                Key(13, false);
                if (app->m_Mode == 10) {
                    stage_ = 2;
                    at_ = now + 1.5;  // past the level's intro
                }
                break;
            case 2:  // walking through hedges for a start, then standing
                if (now >= at_) {
                    memory_ += ", in play " + Memory();
                    Key(39, true);
                    stage_ = 3;
                    at_ = now + 1.0;
                    cpu_ = CpuSeconds();
                    start_ = now;
                    load_ = LoadAverage();
                }
                break;
            case 3:
                watch.updates.push_back(now);
                if (now >= at_ && at_ > start_) {
                    Key(39, false);
                    at_ = start_;  // released once
                }
                // Half-way, the player is caught: the life lost, the garden
                // is made anew and the level starts again with its tune.
                if (app && now - start_ >= 5.0 && !caught_ && app->m_GameOver == 0) {  // no game in the bare app
                    app->m_Player[play::kState] = 1;
                    caught_ = true;
                }
                if (now - start_ >= 10.0) {
                    play_cpu_ = CpuSeconds() - cpu_;
                    play_seconds_ = now - start_;
                    stage_ = 4;
                    std::thread(FocusElsewhere).detach();
                }
                break;
            case 4:  // the first update after the focus came back
                if (away_done) Report();
                break;
        }
    }

    // On the title menu (the bare app: after a second), F11; then, once the
    // loader has run again and the title is back (the bare app: two seconds),
    // the peak memory from the F11 on.
    void FullScreen(double now, c_MyApp* app) {
        switch (stage_) {
            case 0:
                if (watch.bare ? (at_ == 0 ? (at_ = now + 1.0, false) : now >= at_) : OnTitle()) {
                    memory_ = Memory();
                    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
                    start_ = now;
                    stage_ = 10;
                    std::thread(FocusTheNewWindow).detach();
                    if (!watch.bare) return Key(122, true);
                    OrvGlfwVideoMode* desktop = orv_app_GetDesktopMode();
                    orv_app_SetWindow(desktop->width, desktop->height, 8, 8, 8, 0, 0, 0, true);
                }
                break;
            case 10:
                if (!watch.bare) Key(122, false);
                stage_ = 11;
                at_ = now + 2.0;
                break;
            case 11:
                if (app && app->m_LoadStage > 0) caught_ = true;  // the loader runs again
                if (watch.bare ? now >= at_ : caught_ && OnTitle()) {
                    play_seconds_ = now - start_;
                    stage_ = 12;
                    at_ = now + 1.0;
                }
                break;
            case 12:
                if (now < at_) break;
                double textures = 0;
                for (int i = 0; app && i < app->m_Images.Length(); ++i) {
                    const c_Image* image = app->m_Images[i];
                    if (image) textures += 4.0 * image->m_Surface->Width() * image->m_Surface->Height();
                }
                int w = 0, h = 0;
                glfw().GetWindowSize(&w, &h);
                std::printf("%s, full screen %dx%d from a %dx%d window: %s again after %.1f ms\n",
                            watch.bare ? "bare app drawing" : "game", w, h, watch.width, watch.height,
                            watch.bare ? "drawing" : "title menu", play_seconds_ * 1000);
                std::printf("resident memory before F11 %s; from F11 on: peak %.1f MB, now %s\n", memory_.c_str(),
                            static_cast<double>(PeakResidentKb()) / 1024, Memory().c_str());
                std::printf("pixels of the images loaded %.1f MB; longest update %.1f ms, longest render %.1f ms\n",
                            textures / (1 << 20), longest_update_ * 1000, longest_render_ * 1000);
                std::fflush(stdout);
                orv_app_EndApp();
        }
    }

    [[noreturn]] void Report() {
        std::vector<double> gaps;
        for (std::size_t i = 1; i < watch.updates.size(); ++i) {
            gaps.push_back((watch.updates[i] - watch.updates[i - 1]) * 1000);
        }
        std::vector<double> sorted = gaps;
        std::sort(sorted.begin(), sorted.end());
        const double period = 1000.0 / 60;
        const long within = std::count_if(gaps.begin(), gaps.end(), [&](double g) { return std::fabs(g - period) <= 2; });
        double sum = 0, squares = 0;
        for (double g : gaps) {
            sum += g;
            squares += g * g;
        }
        const double mean = sum / static_cast<double>(gaps.size());
        std::printf("%s, window %dx%d; load average at the start %s\n",
                    watch.bare_draws ? "bare app drawing" : watch.bare ? "bare app" : "game",
                    watch.width, watch.height, load_.c_str());
        std::printf("updates in %.2f s of play: %zu (%.2f per second)\n", play_seconds_, watch.updates.size(),
                    static_cast<double>(gaps.size()) / play_seconds_);
        std::printf("interval between updates: mean %.3f ms, sd %.3f ms, min %.3f, median %.3f, 99th %.3f, max %.3f\n",
                    mean, std::sqrt(std::max(0.0, squares / static_cast<double>(gaps.size()) - mean * mean)),
                    sorted.front(), sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100], sorted.back());
        std::printf("intervals within 2 ms of 16.667 ms: %ld of %zu (%.1f %%)\n", within, gaps.size(),
                    100.0 * static_cast<double>(within) / static_cast<double>(gaps.size()));
        std::printf("longest update in play %.1f ms, longest render %.1f ms (the delegate's calls)\n",
                    longest_update_ * 1000, longest_render_ * 1000);
        std::printf("longest update from the game's start on (level starts and a lost life included): %.1f ms\n",
                    longest_from_start_ * 1000);
        std::printf("processor use in play: %.1f %% of one core\n", 100 * play_cpu_ / play_seconds_);
        std::printf("processor use without focus: %.3f %% of one core over %.1f s (game suspended %d times)\n",
                    100 * away_cpu / away_seconds, away_seconds, watch.suspends);
        std::printf("resident memory: %s, at the end %s\n", memory_.c_str(), Memory().c_str());
        std::fflush(stdout);
        orv_app_EndApp();
    }

    OrvGameDelegate* game_;
    bool play_;
    int stage_ = 0;
    double at_ = 0, start_ = 0, cpu_ = 0, play_cpu_ = 0, play_seconds_ = 0;
    double longest_update_ = 0, longest_render_ = 0, longest_from_start_ = 0;
    bool caught_ = false;
    std::string load_, memory_;
};

// The floor: an app that only clears its window, on the same framework,
// host and devices as the game.
class BareApp : public c_App {
public:
    BareApp* m_new() {
        c_App::m_new();
        return this;
    }
    int p_OnCreate() override {
        orv_app_SetUpdateRate(60);
        return 0;
    }
    int p_OnRender() override {
        orv_graphics_Cls(0, 0, 0);
        if (watch.bare_draws) {
            // A sprite and a rectangle, blended: what the driver needs for
            // drawing at all (its shader code) without the game's images.
            if (!sprite_) gc_assign(sprite_, orv_graphics_LoadImage(String("common/icons.png"), 1, c_Image::MidHandle));
            orv_graphics_SetAlpha(0.5f);
            orv_graphics_DrawImage(sprite_, 100, 100, 0);
            orv_graphics_DrawRect(10, 10, 20, 20);
            orv_graphics_SetBlend(1);
            orv_graphics_DrawImage(sprite_, 120, 100, 0);
        }
        return 0;
    }
    void mark() override { gc_mark_q(sprite_); }

private:
    c_Image* sprite_ = nullptr;
};

// The program's Main, with the watching layer and delegate put in (and the
// bare app instead of the game when asked).
int RunProgram(bool play) {
    watch.moments.emplace_back("main", Now());
    GlfwLayer::current = new WatchLayer(GlfwLayer::CreateReal());
    if (!glfw().Init()) {
        std::printf("no display\n");
        return 1;
    }
    OrvQuarloGame* host = new OrvQuarloGame();
    orvInstallSignalHandlers();
    if (watch.bare) {
        gc_init();
        orvInitFramework();
        gc_roots = orvMarkFrameworkRoots;
        gc_mark();
        (new BareApp())->m_new();
    } else {
        OrvQuarloGame::StartProgram(host);
    }
    host->SetDelegate(new PlayDelegate(host->Delegate(), play));
    host->Run();
    return 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Five runs of the program as a new process each: the time from the spawn
// to its first frame and to its first frame of the title menu (of the bare
// app: its first frame). The bare app only clears, or ("bare-draw") draws a
// sprite from a file too.
int Startup(const char* self, const std::string& size, const char* bare) {
    std::vector<double> first, title, update, render;
    for (int run = 0; run < 5; ++run) {
        char started[32];
        std::snprintf(started, sizeof started, "%.9f", Now());
        std::string size_arg = size;
        char mode[32];
        std::snprintf(mode, sizeof mode, "%s-startup-child", bare ? bare : "game");
        char* args[] = {const_cast<char*>(self), mode, started, size_arg.data(), nullptr};
        int fds[2];
        if (pipe(fds) != 0) return 1;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        pid_t pid = 0;
        if (posix_spawn(&pid, self, &actions, nullptr, args, environ) != 0) return 1;
        close(fds[1]);
        std::string out;
        char buf[512];
        for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
        close(fds[0]);
        waitpid(pid, nullptr, 0);
        double f = 0, t = 0, u = 0, r = 0;
        if (std::sscanf(out.c_str(), "%lf %lf %lf %lf", &f, &t, &u, &r) != 4) {
            std::printf("run %d: no figures\n", run + 1);
            continue;
        }
        const std::size_t moments = out.find('|');
        std::printf("run %d: first frame %.1f ms, %s %.1f ms (%s)\n", run + 1, f, bare ? "again" : "title menu", t,
                    moments == std::string::npos ? "" : out.substr(moments + 2, out.find('\n') - moments - 2).c_str());
        first.push_back(f);
        title.push_back(t);
        update.push_back(u);
        render.push_back(r);
    }
    if (first.empty()) return 1;
    if (bare) {
        std::printf("%s app, window %s, median of %zu runs: first frame %.1f ms\n", bare, size.c_str(), first.size(),
                    Median(first));
    } else {
        std::printf("game, window %s, median of %zu runs: first frame %.1f ms, title menu %.1f ms; "
                    "longest update %.1f ms (most %.1f), longest render %.1f ms (most %.1f)\n",
                    size.c_str(), first.size(), Median(first), Median(title), Median(update),
                    *std::max_element(update.begin(), update.end()), Median(render),
                    *std::max_element(render.begin(), render.end()));
    }
    std::printf("load average %s\n", LoadAverage().c_str());
    return 0;
}

void ParseSize(const std::string& size) {
    if (std::sscanf(size.c_str(), "%dx%d", &watch.width, &watch.height) != 2) {
        watch.width = 640;
        watch.height = 480;
    }
}

}  // namespace

int main(int argc, char** argv) {
    setenv("ALSOFT_DRIVERS", "null", 0);  // a real-time device that plays to nowhere, unless told otherwise
    const std::string mode = argc > 1 ? argv[1] : "";
    // The program's memory as the game's main sets it up (a new process
    // for it included), the bare app's too.
    if (mode != "startup") orvSetUpProcessMemory(argv);
    if (mode.size() > 14 && mode.substr(mode.size() - 14) == "-startup-child" && argc > 3) {
        watch.startup = true;
        watch.bare = mode != "game-startup-child";
        watch.bare_draws = mode == "bare-draw-startup-child";
        watch.started = std::atof(argv[2]);
        ParseSize(argv[3]);
        EnterWorkFolder(argv[0]);
        return RunProgram(false);
    }
    const std::string size = argc > 2 ? argv[2] : "640x480";
    ParseSize(size);
    if (mode == "startup") {
        return Startup(argv[0], size, nullptr) || Startup(argv[0], size, "bare") || Startup(argv[0], size, "bare-draw");
    }
    if (mode == "play" || mode == "bare" || mode == "bare-draw" || mode == "fullscreen" || mode == "bare-fullscreen") {
        watch.bare = mode != "play" && mode != "fullscreen";
        watch.bare_draws = mode == "bare-draw" || mode == "bare-fullscreen";
        watch.fullscreen = mode == "fullscreen" || mode == "bare-fullscreen";
        EnterWorkFolder(argv[0]);
        return RunProgram(true);
    }
    std::printf("usage: bench_program startup|play|bare|bare-draw|fullscreen|bare-fullscreen [WxH]\n");
    return 2;
}
