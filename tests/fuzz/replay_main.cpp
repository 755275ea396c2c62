// Runs a fuzz target over saved inputs, without the fuzzing engine: every
// file named on the command line, and every file in a named folder (in
// name order). The test suite replays the seed corpora this way in every
// build, so each input that once found a fault stays a regression test.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/host/temp_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        // The file, or the files of the folder (by whole paths: a target may
        // change the working folder).
        std::vector<fs::path> named{fs::absolute(argv[i])};
        if (fs::is_directory(named[0])) named.assign(fs::directory_iterator(named[0]), fs::directory_iterator());
        std::sort(named.begin(), named.end());
        for (const fs::path& path : named) {
            if (!fs::is_regular_file(path)) return std::fprintf(stderr, "not an input: %s\n", path.c_str()), 2;
            // Never a null pointer, also for an empty input (as the engine passes it).
            const std::string bytes = ReadFile(path);
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    if (replayed == 0) return std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]), 2;
    std::printf("%zu inputs replayed\n", replayed);
    return 0;
}
