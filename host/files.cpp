// Paths, whole-file loads and the stored-state file.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/host_game.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb/stb_image.h>
#include <stb/stb_vorbis.h>

extern char** environ;

namespace {

const char kStateFile[] = "./.quarlostate";
// A save is written here first and renamed over the state file only once it
// is complete, so a crash or a full disk mid-save keeps the previous state.
const char kStateTempFile[] = "./.quarlostate.tmp";

template <std::size_t N>
bool StartsWith(const String& s, const char16_t (&prefix)[N]) {
    const int n = static_cast<int>(N - 1);
    return s.Length() >= n && std::memcmp(s.Data(), prefix, sizeof(char16_t) * (N - 1)) == 0;
}

// Case-insensitive for ASCII letters only; no other unit can match the
// ASCII suffixes this is used with.
bool EndsWithNoCase(const String& s, const char* suffix) {
    const int n = static_cast<int>(std::strlen(suffix));
    if (s.Length() < n) return false;
    for (int i = 0; i < n; ++i) {
        const char16_t u = s[s.Length() - n + i];
        if (u >= 0x80 || std::tolower(u) != suffix[i]) return false;
    }
    return true;
}

// Bytes between the read position and the end of the file.
long BytesLeft(std::FILE* file) {
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (end < 0 || std::fseek(file, here, SEEK_SET) != 0) return -1;
    return end - here;
}

bool ReadExact(std::FILE* file, void* out, std::size_t n) { return std::fread(out, 1, n, file) == n; }

bool ReadU16(std::FILE* file, unsigned* value) {
    unsigned char b[2];
    if (!ReadExact(file, b, 2)) return false;
    *value = b[0] | unsigned(b[1]) << 8;
    return true;
}

bool ReadU32(std::FILE* file, std::uint32_t* value) {
    unsigned char b[4];
    if (!ReadExact(file, b, 4)) return false;
    *value = b[0] | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    return true;
}

bool ReadTag(std::FILE* file, char tag[4]) { return ReadExact(file, tag, 4); }
bool TagIs(const char tag[4], const char* expected) { return std::memcmp(tag, expected, 4) == 0; }

// Skips n bytes of a chunk body, refusing to go past the end of the file.
// Chunks of odd size are followed by a pad byte; it is skipped when present
// (a zero byte can never begin a chunk tag), so files from writers that
// leave it out still load.
bool SkipChunk(std::FILE* file, std::uint32_t n) {
    const long left = BytesLeft(file);
    if (left < 0 || n > static_cast<unsigned long>(left)) return false;
    if (std::fseek(file, static_cast<long>(n), SEEK_CUR) != 0) return false;
    if (n & 1) {
        const int pad = std::fgetc(file);
        if (pad != 0 && pad != EOF) std::ungetc(pad, file);
    }
    return true;
}

// Reads a RIFF file of integer PCM samples. Header values are checked
// against each other and against the file's real size, so a damaged file
// gives null instead of a huge allocation or a division by zero.
unsigned char* LoadWAV(std::FILE* file, int* length, int* channels, int* format, int* hertz) {
    char tag[4];
    std::uint32_t size = 0;
    if (!ReadTag(file, tag) || !TagIs(tag, "RIFF") || !ReadU32(file, &size)) return nullptr;
    if (!ReadTag(file, tag) || !TagIs(tag, "WAVE") || !ReadTag(file, tag) || !TagIs(tag, "fmt ")) return nullptr;

    std::uint32_t fmt_size = 0, rate = 0, byte_rate = 0;
    unsigned tag_value = 0, chans = 0, align = 0, bits = 0;
    if (!ReadU32(file, &fmt_size) || fmt_size < 16) return nullptr;
    if (!ReadU16(file, &tag_value) || tag_value != 1) return nullptr;
    if (!ReadU16(file, &chans) || !ReadU32(file, &rate) || !ReadU32(file, &byte_rate) || !ReadU16(file, &align) ||
        !ReadU16(file, &bits)) {
        return nullptr;
    }
    const unsigned bytes_per_sample = bits / 8;
    if (chans == 0 || bytes_per_sample == 0 || rate > INT_MAX) return nullptr;
    if (!SkipChunk(file, fmt_size - 16)) return nullptr;

    for (;;) {
        if (!ReadTag(file, tag) || !ReadU32(file, &size)) return nullptr;
        if (!TagIs(tag, "data")) {
            if (!SkipChunk(file, size)) return nullptr;
            continue;
        }
        const long left = BytesLeft(file);
        if (left < 0 || size > static_cast<unsigned long>(left) || size > INT_MAX) return nullptr;
        auto* data = static_cast<unsigned char*>(std::malloc(size ? size : 1));
        if (!data) return nullptr;
        if (!ReadExact(file, data, size)) {
            std::free(data);
            return nullptr;
        }
        *length = static_cast<int>(size / (chans * bytes_per_sample));
        *channels = static_cast<int>(chans);
        *format = static_cast<int>(bytes_per_sample);
        *hertz = static_cast<int>(rate);
        return data;
    }
}

// Decodes a whole Ogg Vorbis stream to interleaved 16-bit samples.
unsigned char* LoadOGG(std::FILE* file, int* length, int* channels, int* format, int* hertz) {
    int error = 0;
    stb_vorbis* vorbis = stb_vorbis_open_file(file, 0, &error, nullptr);
    if (!vorbis) return nullptr;
    const stb_vorbis_info info = stb_vorbis_get_info(vorbis);
    const std::size_t c = static_cast<std::size_t>(info.channels);
    // One frame never yields more than 4096 samples per channel.
    const std::size_t frame_room = c * 4096;

    std::size_t capacity = frame_room;
    std::size_t total = 0;  // sample frames decoded
    auto* samples = static_cast<short*>(std::malloc(capacity * sizeof(short)));
    bool ok = samples != nullptr && c > 0;
    while (ok) {
        const int got = stb_vorbis_get_frame_short_interleaved(vorbis, info.channels, samples + total * c,
                                                               static_cast<int>(capacity - total * c));
        if (got <= 0) break;
        total += static_cast<std::size_t>(got);
        if (total > INT_MAX) ok = false;
        if (ok && capacity - total * c < frame_room) {
            auto* grown = static_cast<short*>(std::realloc(samples, capacity * 2 * sizeof(short)));
            if (!grown) {
                ok = false;
            } else {
                samples = grown;
                capacity *= 2;
            }
        }
    }
    stb_vorbis_close(vorbis);
    if (!ok) {
        std::free(samples);
        return nullptr;
    }
    *length = static_cast<int>(total);
    *channels = info.channels;
    *format = 2;
    *hertz = static_cast<int>(info.sample_rate);
    return reinterpret_cast<unsigned char*>(samples);
}

// Children started by OpenUrl that have not been reaped yet; each call
// collects those that have ended, without waiting for the others.
std::vector<pid_t> g_url_children;

void ReapUrlChildren() {
    std::size_t kept = 0;
    for (pid_t pid : g_url_children) {
        const pid_t r = waitpid(pid, nullptr, WNOHANG);
        if (r == 0) g_url_children[kept++] = pid;  // still running
    }
    g_url_children.resize(kept);
}

}  // namespace

String OrvGlfwGame::PathToFilePath(String path) {
    if (StartsWith(path, u"quarlo://data/")) return String("./data/") + path.Slice(14);
    if (StartsWith(path, u"quarlo://internal/")) return String("./internal/") + path.Slice(18);
    if (StartsWith(path, u"quarlo://external/")) return String("./external/") + path.Slice(18);
    if (StartsWith(path, u"quarlo:")) return String();
    return path;
}

std::FILE* OrvGame::OpenFile(String path, String mode) {
    const String file_path = PathToFilePath(path);
    if (file_path.Length() == 0) return nullptr;
    // File names on this system are UTF-8 bytes.
    return std::fopen(file_path.ToUtf8().c_str(), mode.ToUtf8().c_str());
}

String OrvGame::LoadString(String path) {
    std::FILE* file = OpenFile(path, String("rb"));
    if (!file) return String();
    String text = String::Load(file);
    std::fclose(file);
    return text;
}

unsigned char* OrvGame::LoadData(String path, int* length) {
    std::FILE* file = OpenFile(path, String("rb"));
    if (!file) return nullptr;
    std::vector<unsigned char> bytes;
    unsigned char block[4096];
    std::size_t n;
    do {
        n = std::fread(block, 1, sizeof block, file);
        bytes.insert(bytes.end(), block, block + n);
    } while (n == sizeof block && bytes.size() <= INT_MAX);
    // A read error (such as reading a directory) must not pass for a
    // complete, shorter file.
    const bool failed = std::ferror(file) || bytes.size() > INT_MAX;
    std::fclose(file);
    if (failed) return nullptr;
    auto* data = static_cast<unsigned char*>(std::malloc(bytes.empty() ? 1 : bytes.size()));
    if (!data) return nullptr;
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    *length = static_cast<int>(bytes.size());
    return data;
}

String OrvGame::LoadState() { return LoadString(String(kStateFile)); }

int OrvGame::SaveState(String state) {
    std::FILE* file = OpenFile(String(kStateTempFile), String("wb"));
    if (!file) return -1;
    const std::string bytes = state.ToUtf8();
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
    // The data must be on disk before the rename makes it the state file.
    ok = ok && fsync(fileno(file)) == 0;
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::remove(kStateTempFile);
        return -2;
    }
    if (std::rename(kStateTempFile, kStateFile) != 0) {
        // The state file itself can't be replaced (a directory in its place,
        // for one): the same outcome as not being able to open it.
        std::remove(kStateTempFile);
        return -1;
    }
    // Make the rename itself durable; the save has succeeded either way.
    const int dir = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return 0;
}

unsigned char* OrvGlfwGame::LoadImageData(String path, int* width, int* height, int* depth) {
    std::FILE* file = OpenFile(path, String("rb"));
    if (!file) return nullptr;
    int w = 0, h = 0, d = 0;
    unsigned char* pixels = stbi_load_from_file(file, &w, &h, &d, 0);
    std::fclose(file);
    if (!pixels) return nullptr;
    *width = w;
    *height = h;
    *depth = d;
    return pixels;
}

unsigned char* OrvGlfwGame::LoadAudioData(String path, int* length, int* channels, int* format, int* hertz) {
    const bool wav = EndsWithNoCase(path, ".wav");
    const bool ogg = !wav && EndsWithNoCase(path, ".ogg");
    if (!wav && !ogg) return nullptr;
    std::FILE* file = OpenFile(path, String("rb"));
    if (!file) return nullptr;
    unsigned char* data =
        wav ? LoadWAV(file, length, channels, format, hertz) : LoadOGG(file, length, channels, format, hertz);
    std::fclose(file);
    return data;
}

void OrvGlfwGame::OpenUrl(String url) {
    ReapUrlChildren();
    // Started directly, not through a shell, so nothing in the URL is ever
    // interpreted as a command; a missing opener is ignored like any failure.
    std::string bytes = url.ToBytes();
    char program[] = "xdg-open";
    char* child_argv[] = {program, bytes.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, child_argv, environ) == 0) g_url_children.push_back(pid);
}
