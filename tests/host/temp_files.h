// Files and folders for the host tests: a fresh folder per test, whole-file
// reads, and waiting on what another process does.
#pragma once
#include <stdlib.h>
#include <sys/resource.h>

#include <csignal>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

// A fresh folder (empty when it could not be made), removed with all it holds.
struct TempDir : std::filesystem::path {
    explicit TempDir(std::string name = "/tmp/vellumby-test-XXXXXX") : path(mkdtemp(name.data()) ? name : "") {}
    ~TempDir() {
        if (!empty()) std::filesystem::remove_all(*this);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
};

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Polls until the condition holds; false when it never did in the time
// allowed (which only bounds a test that has already failed).
template <class Condition>
bool WaitFor(Condition condition, double seconds = 60) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// A process limit lowered for a while, so that writing fails even for root:
// RLIMIT_NOFILE 3 leaves no file to open, RLIMIT_FSIZE 0 no byte to write
// (the signal that would end the process is ignored: the write fails).
struct ProcessLimit {
    ProcessLimit(int resource, rlim_t value) : resource(resource) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(resource, &old);
        const rlimit now{value, old.rlim_max};
        setrlimit(resource, &now);
    }
    ~ProcessLimit() { setrlimit(resource, &old); }
    ProcessLimit(const ProcessLimit&) = delete;
    const int resource;
    rlimit old{};
};

inline long FilesIn(const std::filesystem::path& folder) {
    return std::distance(std::filesystem::directory_iterator(folder), {});
}
