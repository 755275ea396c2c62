// Wall time from process start to the title screen: the program starts a copy
// of itself that runs the whole game (window, devices, the staged loader at 60
// updates a second) and reports through a pipe when the first title picture
// is presented. The copy opens its window at the size asked for, so the loader
// fetches the images at the level that size needs.
// Run under a display (a virtual one will do):
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_startup [runs]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "game/my_app.h"
#include "host/glfw_layer.h"
#include "host/host_game.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The real window layer with a different first window size, which notes
// when the window opened, when the first frame and the first title frame
// were presented, and how many frames that took.
class TimingLayer : public GlfwLayer {
public:
    TimingLayer(GlfwLayer* real, int width, int height, int report_fd)
        : real_(real), width_(width), height_(height), fd_(report_fd) {}

    bool Init() override {
        const bool ok = real_->Init();
        init_ms_ = Ms(start_, Clock::now());
        return ok;
    }
    void Terminate() override { real_->Terminate(); }
    bool OpenWindow(int w, int h, int r, int g, int b, int a, int d, int s, bool full, bool resizable) override {
        const bool ok = real_->OpenWindow(width_ ? width_ : w, height_ ? height_ : h, r, g, b, a, d, s, full,
                                          resizable);
        width_ = height_ = 0;  // only the first window
        opened_ms_ = Ms(start_, Clock::now());
        return ok;
    }
    void CloseWindow() override { real_->CloseWindow(); }
    int GetWindowParam(glfw27::WindowParam p) override { return real_->GetWindowParam(p); }
    void SetWindowPos(int x, int y) override { real_->SetWindowPos(x, y); }
    void SetWindowTitle(const char* t) override { real_->SetWindowTitle(t); }
    void GetWindowSize(int* w, int* h) override { real_->GetWindowSize(w, h); }
    glfw27::VidMode GetDesktopMode() override { return real_->GetDesktopMode(); }
    int GetVideoModes(glfw27::VidMode* l, int n) override { return real_->GetVideoModes(l, n); }
    void SetKeyRepeat(bool on) override { real_->SetKeyRepeat(on); }
    void SetAutoPollEvents(bool on) override { real_->SetAutoPollEvents(on); }
    void SetMouseCursor(bool on) override { real_->SetMouseCursor(on); }
    int GetKey(int k) override { return real_->GetKey(k); }
    void GetMousePos(int* x, int* y) override { real_->GetMousePos(x, y); }
    int GetJoystickParam(int j, glfw27::JoystickParam p) override { return real_->GetJoystickParam(j, p); }
    int GetJoystickPos(int j, float* p, int n) override { return real_->GetJoystickPos(j, p, n); }
    int GetJoystickButtons(int j, unsigned char* b, int n) override { return real_->GetJoystickButtons(j, b, n); }
    double GetTime() override { return real_->GetTime(); }
    void Sleep(double s) override { real_->Sleep(s); }
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
        ++frames_;
        if (first_frame_ms_ < 0) first_frame_ms_ = Ms(start_, Clock::now());
        auto* app = static_cast<c_MyApp*>(orv_app__app);
        if (!app || app->m_LoadStage != 0 || app->m_ClsB != 80 || app->m_ClsR != 0) return;
        char line[160];
        const int n = std::snprintf(line, sizeof line, "%.1f %.1f %.1f %.1f %d\n", init_ms_, opened_ms_,
                                    first_frame_ms_, Ms(start_, Clock::now()), frames_);
        if (write(fd_, line, static_cast<std::size_t>(n)) != n) std::_Exit(2);
        std::_Exit(0);
    }

private:
    GlfwLayer* real_;
    int width_, height_, fd_;
    Clock::time_point start_ = Clock::now();  // main() has begun
    double init_ms_ = -1, opened_ms_ = -1, first_frame_ms_ = -1;
    int frames_ = 0;
};

struct Run {
    double total, main_start, init, opened, first_frame, title;
    int frames;
};

// Starts the copy and waits for its report; times are from just before fork.
bool StartOnce(const char* self, int width, int height, Run* run) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    const auto before = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string w = std::to_string(width), h = std::to_string(height), fd = std::to_string(fds[1]);
        execl(self, self, "--child", w.c_str(), h.c_str(), fd.c_str(), static_cast<char*>(nullptr));
        std::_Exit(3);
    }
    close(fds[1]);
    char buffer[256] = {};
    std::size_t got = 0;
    ssize_t n;
    while ((n = read(fds[0], buffer + got, sizeof buffer - 1 - got)) > 0) got += static_cast<std::size_t>(n);
    const auto after = Clock::now();
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (std::sscanf(buffer, "%lf %lf %lf %lf %d", &run->init, &run->opened, &run->first_frame, &run->title,
                    &run->frames) != 5) {
        return false;
    }
    run->total = Ms(before, after);
    run->main_start = run->total - run->title;  // exec, loading libraries, reaching main
    return true;
}

int Child(int width, int height, int fd) {
    GlfwLayer::current = new TimingLayer(GlfwLayer::CreateReal(), width, height, fd);
    char name[] = "vellumby";
    char* args[] = {name, nullptr};
    OrvQuarloGame::Main(1, args);
    return 1;  // the window went away before the title showed
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0) {
        return Child(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    }
    // The game reads its data folder from the working directory.
    const std::string self = argv[0];
    const std::string dir = self.find('/') == std::string::npos ? "." : self.substr(0, self.rfind('/'));
    if (chdir((dir + "/..").c_str()) != 0) return 1;
    char path[4096];
    if (!realpath(self.c_str(), path)) return 1;
    if (!getenv("ALSOFT_DRIVERS")) setenv("ALSOFT_DRIVERS", "null", 1);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    std::printf("process start to title screen (median of %d; the loader alone is 35 updates = 583 ms)\n", runs);
    const int sizes[][2] = {{640, 480}, {1280, 1024}};
    for (const auto& size : sizes) {
        std::vector<Run> all;
        for (int i = 0; i < runs; ++i) {
            Run run{};
            if (!StartOnce(path, size[0], size[1], &run)) {
                std::printf("%dx%d: the game did not reach the title\n", size[0], size[1]);
                return 1;
            }
            all.push_back(run);
        }
        std::sort(all.begin(), all.end(), [](const Run& a, const Run& b) { return a.total < b.total; });
        const Run& m = all[all.size() / 2];
        // Times after main began: the window system up, the window open, the
        // first picture (devices made, logo and font loaded), the title.
        std::printf("%4dx%-4d total %6.1f ms: to main %5.1f; then window system %5.1f, window %5.1f,"
                    " first frame %6.1f, title %6.1f (%d frames); fastest %.1f, slowest %.1f\n",
                    size[0], size[1], m.total, m.main_start, m.init, m.opened, m.first_frame, m.title, m.frames,
                    all.front().total, all.back().total);
    }
    return 0;
}
