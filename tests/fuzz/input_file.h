// The loaders under test read files by name: each input is written to one
// file in a folder of this process's own (in memory where the system has
// /dev/shm), which goes at exit.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/host/temp_files.h"

namespace fuzz {

inline std::string InputFolder() {
    static const TempDir folder(std::filesystem::is_directory("/dev/shm") ? "/dev/shm/vellumby-fuzz-XXXXXX"
                                                                          : "/tmp/vellumby-fuzz-XXXXXX");
    if (folder.empty()) std::abort();
    return folder.string();
}

// Writes the input as `name` in the folder and returns the file's path.
inline std::string WriteInput(const char* name, const std::uint8_t* data, std::size_t size) {
    const std::string path = InputFolder() + "/" + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size)).flush()) std::abort();
    return path;
}

}  // namespace fuzz
