// The loaders under test read files by name: each input is written to one
// file in a folder of this process's own (in memory where the system has
// /dev/shm), which goes at exit.
#pragma once
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

inline std::string InputFolder() {
    static const std::string folder = [] {
        const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string name = std::string(base) + "/vellumby-fuzz-XXXXXX";
        if (!mkdtemp(name.data())) std::abort();
        static std::string to_remove = name;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(to_remove, ignored);
        });
        return name;
    }();
    return folder;
}

// Writes the input as `name` in the folder and returns the file's path.
inline std::string WriteInput(const char* name, const std::uint8_t* data, std::size_t size) {
    const std::string path = InputFolder() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || (size && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0) std::abort();
    return path;
}

}  // namespace fuzz
