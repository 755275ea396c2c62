// Files and folders for the host tests: a fresh folder per test, whole-file
// reads, and waiting on what another process does.
#pragma once
#include <stdlib.h>

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
