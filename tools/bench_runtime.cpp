// Throughput of the string operations the game leans on, and the cost of the
// collector as the host drives it: one step after every event.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "runtime/array.h"
#include "runtime/object.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double thread_cpu_us() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

long peak_rss_kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Keeps results alive so the loops are not optimised away.
volatile long sink;

template <class Op>
void string_rate(const char* name, int count, Op op) {
    const Clock::time_point start = Clock::now();
    long total = 0;
    for (int i = 0; i < count; ++i) total += op(i);
    sink = total;
    std::printf("  %-28s %10.2f M ops/s\n", name, count / seconds_since(start) / 1e6);
}

struct Node : Object {
    Node* next = nullptr;
    void mark() override { gc_mark_q(next); }
};

// One piece of the live heap: a small array of nodes, linked to the next
// bucket so marking proceeds in small pieces.
struct Bucket : Object {
    Bucket* next = nullptr;
    Array<Node*> nodes;
    void mark() override {
        gc_mark_q(next);
        gc_mark_q(nodes.rep);
    }
};

Bucket* live_root = nullptr;
void queue_roots() { gc_mark_q(live_root); }

void bench_strings() {
    std::printf("strings\n");
    const String a("the quick brown fox"), b(" jumps over the lazy dog");
    const String text = a + b;
    const String same = String("the quick brown fox jumps over") + String(" the lazy dog");
    const String other = String("the quick brown fox jumps over the lazy cat");
    string_rate("concatenate (19 + 24 chars)", 5000000, [&](int) { return (a + b).Length(); });
    string_rate("slice (20 of 43 chars)", 5000000, [&](int i) { return text.Slice(i & 7, 20 + (i & 7)).Length(); });
    string_rate("compare (43 chars)", 20000000, [&](int i) { return (i & 1 ? text == same : text == other) ? 1 : 0; });
}

void bench_churn() {
    const int kObjects = 1000000, kPerEvent = 100;
    const long rss_before = peak_rss_kb();
    const Clock::time_point start = Clock::now();
    for (int event = 0; event < kObjects / kPerEvent; ++event) {
        for (int i = 0; i < kPerEvent; ++i) new Node();
        gc_collect_step(nullptr);
    }
    const double elapsed = seconds_since(start);
    std::printf("churn: %d objects of %d bytes, a step after every %d\n", kObjects, static_cast<int>(sizeof(Node)), kPerEvent);
    std::printf("  time                         %10.1f ms (%.0f ns per object)\n", elapsed * 1e3, elapsed * 1e9 / kObjects);
    std::printf("  peak memory                  %10ld KB (before: %ld KB)\n", peak_rss_kb(), rss_before);
}

void bench_pauses() {
    // About 10 MiB reachable from the root: buckets of 64 nodes (3152 bytes each).
    const int kBuckets = 3327, kPerBucket = 64;
    for (int i = 0; i < kBuckets; ++i) {
        Bucket* bucket = new Bucket();
        gc_assign(bucket->nodes, Array<Node*>(kPerBucket));
        for (Node*& slot : bucket->nodes) gc_assign(slot, new Node());
        gc_assign(bucket->next, live_root);
        gc_assign(live_root, bucket);
    }
    gc_stress = true;  // settle: one finished cycle with the heap in place
    gc_collect_step(nullptr);
    gc_stress = false;
    const int live_bytes = gc_alloced_bytes;

    // Wall time includes any preemption by other processes; thread CPU time
    // shows the collector's own work.
    const int kSteps = 40000, kPerEvent = 50;
    std::vector<double> wall, cpu;
    wall.reserve(kSteps);
    cpu.reserve(kSteps);
    double worst_sweep = 0;
    for (int step = 0; step < kSteps; ++step) {
        for (int i = 0; i < kPerEvent; ++i) new Node();
        const bool sweeps = gc_new_bytes > GC_SWEEP_THRESHOLD;
        const double cpu_start = thread_cpu_us();
        const Clock::time_point start = Clock::now();
        gc_collect_step(nullptr);
        const double wall_us = seconds_since(start) * 1e6;
        cpu.push_back(thread_cpu_us() - cpu_start);
        wall.push_back(wall_us);
        if (sweeps) worst_sweep = std::max(worst_sweep, wall.back());
    }
    double total = 0;
    for (double us : wall) total += us;
    std::printf("steps with %.1f MiB live, %d objects allocated between steps\n", live_bytes / 1048576.0, kPerEvent);
    std::printf("  longest step                 %10.1f us (thread CPU time: %.1f us)\n",
                *std::max_element(wall.begin(), wall.end()), *std::max_element(cpu.begin(), cpu.end()));
    std::sort(wall.begin(), wall.end());
    std::printf("  99.9th percentile            %10.1f us\n", wall[wall.size() * 999 / 1000]);
    std::printf("  longest step that swept      %10.1f us\n", worst_sweep);
    std::printf("  mean step                    %10.2f us over %d steps\n", total / kSteps, kSteps);
}

}  // namespace

int main() {
    gc_init();
    gc_roots = queue_roots;
    gc_stress = false;
    bench_strings();
    bench_churn();
    bench_pauses();
    return 0;
}
