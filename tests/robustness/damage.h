// Damaged copies of the game's data: the generated data folder mirrored
// file by file (links), with chosen files replaced by damaged bytes.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "tests/host/temp_files.h"

namespace damage {

namespace fs = std::filesystem;

// A file emptied, cut to its first half (headers whole, the data not), or
// random bytes of the same length.
enum class Kind { Empty, Truncated, RandomBytes };
constexpr Kind kKinds[] = {Kind::Empty, Kind::Truncated, Kind::RandomBytes};
constexpr const char* kNames[] = {"zero-length", "truncated", "random bytes"};  // by kind

inline void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The same every run: a file of `size` bytes from a seeded generator.
inline std::string RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() >> 24);
    return bytes;
}

// Replaces `folder`/data (a link to the generated data) by a folder of
// links to each generated file, so single files can be replaced.
inline void MirrorData(const fs::path& folder, const fs::path& generated) {
    fs::remove(folder / "data");
    for (const auto& entry : fs::recursive_directory_iterator(generated)) {
        const fs::path target = folder / "data" / fs::relative(entry.path(), generated);
        fs::create_directories(entry.is_directory() ? target : target.parent_path());
        if (!entry.is_directory()) fs::create_symlink(entry.path(), target);
    }
}

// Replaces one mirrored data file by a damaged copy of the generated one.
inline void DamageFile(const fs::path& folder, const fs::path& generated, const std::string& name, Kind kind,
                       std::uint32_t seed = 1) {
    const std::string good = ReadFile(generated / name);
    fs::remove(folder / "data" / name);
    Write(folder / "data" / name, kind == Kind::Empty       ? std::string()
                                  : kind == Kind::Truncated ? good.substr(0, good.size() / 2)
                                                            : RandomBytes(good.size(), seed));
}

}  // namespace damage
