// Damaged copies of the game's data: the generated data folder mirrored
// file by file (links), with chosen files replaced by damaged bytes.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace damage {

enum class Kind { Empty, Truncated, RandomBytes };
inline const char* Name(Kind kind) {
    return kind == Kind::Empty ? "zero-length" : kind == Kind::Truncated ? "truncated" : "random bytes";
}
constexpr Kind kKinds[] = {Kind::Empty, Kind::Truncated, Kind::RandomBytes};

inline std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The same every run: a file of `size` bytes from a seeded generator.
inline std::string RandomBytes(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (char& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x >> 24);
    }
    return bytes;
}

// Replaces `folder`/data (a link to the generated data) by a folder of
// links to each generated file, so single files can be replaced.
inline void MirrorData(const std::filesystem::path& folder, const std::filesystem::path& generated) {
    namespace fs = std::filesystem;
    const fs::path data = folder / "data";
    fs::remove(data);
    for (const auto& entry : fs::recursive_directory_iterator(generated)) {
        const fs::path target = data / fs::relative(entry.path(), generated);
        fs::create_directories(entry.is_directory() ? target : target.parent_path());
        if (!entry.is_directory()) fs::create_symlink(entry.path(), target);
    }
}

// Replaces one mirrored data file by a damaged copy of the generated one.
inline void DamageFile(const std::filesystem::path& folder, const std::filesystem::path& generated,
                       const std::string& name, Kind kind, std::uint32_t seed = 1) {
    // Emptied, cut to its first half (headers whole, the data not), or
    // random bytes of the same length.
    const std::string good = Read(generated / name);
    const std::filesystem::path file = folder / "data" / name;
    std::filesystem::remove(file);
    Write(file, kind == Kind::Empty       ? std::string()
                : kind == Kind::Truncated ? good.substr(0, good.size() / 2)
                                          : RandomBytes(good.size(), seed));
}

}  // namespace damage
