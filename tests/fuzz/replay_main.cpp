// Runs a fuzz target over saved inputs, without the fuzzing engine: every
// file named on the command line, and every file in a named folder (in
// name order). The test suite replays the seed corpora this way in every
// build, so each input that once found a fault stays a regression test.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> named{argv[i]};  // the file, or the files of the folder
        if (fs::is_directory(argv[i])) named.assign(fs::directory_iterator(argv[i]), fs::directory_iterator());
        std::sort(named.begin(), named.end());
        for (const fs::path& path : named) {
            if (!fs::is_regular_file(path)) return std::fprintf(stderr, "not an input: %s\n", path.c_str()), 2;
        }
        inputs.insert(inputs.end(), named.begin(), named.end());
    }
    if (inputs.empty()) return std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]), 2;
    for (const fs::path& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        // An empty vector's data() may be null; the engine always passes a
        // valid pointer.
        static const std::uint8_t none = 0;
        LLVMFuzzerTestOneInput(bytes.empty() ? &none : bytes.data(), bytes.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
