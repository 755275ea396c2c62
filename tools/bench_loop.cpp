// Measures the host loop on the real clock in a real window: updates per
// second against the 60 asked for, the gaps between updates, renders per
// second and the processor time the process takes. A figure, not a test.
// Run under a display, from anywhere (no data is needed):
//   xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" build/tools/bench_loop [seconds]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "framework/app.h"
#include "framework/graphics.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_to_run = 5.0;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class LoopBench : public c_App {
public:
    LoopBench* m_new() {
        c_App::m_new();
        return this;
    }
    int p_OnCreate() override {
        orv_app_SetUpdateRate(60);
        return 0;
    }
    int p_OnUpdate() override {
        const Clock::time_point now = Clock::now();
        if (times_.empty()) {
            cpu_start_ = CpuSeconds();
            renders_ = 0;
        }
        times_.push_back(now);
        const double elapsed = std::chrono::duration<double>(now - times_.front()).count();
        if (elapsed >= seconds_to_run) Report(elapsed);
        return 0;
    }
    int p_OnRender() override {
        ++renders_;
        orv_graphics_Cls(0, 0, 0);
        return 0;
    }

private:
    [[noreturn]] void Report(double elapsed) {
        std::vector<double> gaps;
        for (std::size_t i = 1; i < times_.size(); ++i) {
            gaps.push_back(std::chrono::duration<double, std::milli>(times_[i] - times_[i - 1]).count());
        }
        std::sort(gaps.begin(), gaps.end());
        const double updates = static_cast<double>(times_.size() - 1);
        std::printf("updates per second  %.2f (asked 60)\n", updates / elapsed);
        std::printf("renders per second  %.2f\n", renders_ / elapsed);
        std::printf("gap between updates median %.2f ms, 99th percentile %.2f ms, max %.2f ms\n",
                    gaps[gaps.size() / 2], gaps[gaps.size() * 99 / 100], gaps.back());
        std::printf("processor time      %.1f %% of one core\n", 100.0 * (CpuSeconds() - cpu_start_) / elapsed);
        std::fflush(stdout);
        orv_app_EndApp();
    }

    std::vector<Clock::time_point> times_;
    int renders_ = 0;
    double cpu_start_ = 0;
};

}  // namespace

void orvInit() {
    orvInitFramework();
    gc_roots = orvMarkFrameworkRoots;
}

int orvMain() {
    (new LoopBench())->m_new();
    return 0;
}

int main(int argc, char** argv) {
    if (argc > 1) seconds_to_run = std::max(1.0, std::atof(argv[1]));
    OrvQuarloGame::Main(argc, argv);
    return 0;
}
