// Text files and the state file as the runtime reads them: any bytes give
// some string, and whatever string comes out reads back unchanged after
// being written as the state file writes it (UTF-8 of each unit), unless it
// begins with the byte-order mark, which reading skips.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "runtime/string.h"
#include "tests/fuzz/input_file.h"

namespace {

String LoadBytes(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::WriteInput("text", data, size);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) __builtin_trap();
    String text = String::Load(file);
    std::fclose(file);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const String text = LoadBytes(data, size);
    // One unit per byte at most (Latin-1), one per two bytes at least.
    if (static_cast<std::size_t>(text.Length()) > size) __builtin_trap();
    if (text.Length() > 0 && text[0] == 0xFEFF) return 0;
    const std::string utf8 = text.ToUtf8();
    const String again = LoadBytes(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size());
    if (!(again == text)) __builtin_trap();
    return 0;
}
