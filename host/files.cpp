// Paths, whole-file loads and the stored-state file.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/files.h"
#include "host/host_game.h"

// The header's ready-made callback sets are unused here: this file reads
// through callbacks of its own.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <stb/stb_image.h>
#include <vorbis/vorbisfile.h>

extern char** environ;

namespace {

// The state file is "<folder>/.quarlostate", by default "./.quarlostate".
std::string g_state_folder = ".";

std::string StateFile() { return g_state_folder + "/.quarlostate"; }

// Creates the state's folder and any missing parents, private to the user
// as a user's data folder should be. False when it can't be made.
bool MakeStateFolder() {
    if (g_state_folder == ".") return true;
    std::string path;
    std::size_t from = 0;
    while (from <= g_state_folder.size()) {
        std::size_t slash = g_state_folder.find('/', from);
        if (slash == std::string::npos) slash = g_state_folder.size();
        path = g_state_folder.substr(0, slash);
        if (!path.empty() && mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
        from = slash + 1;
    }
    struct stat info;
    return stat(g_state_folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

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

// Ogg Vorbis goes through the reference decoder, which reads the open file
// through a callback of ours: the caller, not the decoder, closes the file.
// Read-only, without seeking: the stream is decoded once from the start, and
// a damaged file gets no second look at its end.
std::size_t ReadOgg(void* out, std::size_t size, std::size_t count, void* file) {
    return std::fread(out, size, count, static_cast<std::FILE*>(file));
}

// The longest sound decoded whole: 2^25 sample frames, about 12.7 minutes at
// 44.1 kHz (128 MB in stereo). A longer one is a damaged or hostile file, and
// would cost the memory of many songs.
constexpr std::size_t kMaxOggFrames = std::size_t(1) << 25;
// No sound file has more; a damaged header can claim anything.
constexpr long kMaxOggRate = 384000;

struct OggFile {
    OggVorbis_File vf;
    bool open = false;
    ~OggFile() {
        if (open) ov_clear(&vf);
    }
};

struct FreeSamples {
    void operator()(short* p) const { std::free(p); }
};

// Decodes a whole Ogg Vorbis stream to interleaved 16-bit little-endian
// samples. Mono and stereo only (the audio device takes no more). A gap in
// the data is skipped as the decoder resynchronises; any other decoding
// error, a change of format in a chained stream, or a length beyond the
// limit gives null.
unsigned char* LoadOGG(std::FILE* file, int* length, int* channels, int* format, int* hertz) {
    OggFile ogg;
    const ov_callbacks callbacks = {ReadOgg, nullptr, nullptr, nullptr};
    // On failure the decoder has cleaned up after itself.
    if (ov_open_callbacks(file, &ogg.vf, nullptr, 0, callbacks) != 0) return nullptr;
    ogg.open = true;
    const vorbis_info* info = ov_info(&ogg.vf, -1);
    if (!info || info->channels < 1 || info->channels > 2 || info->rate < 1 || info->rate > kMaxOggRate) {
        return nullptr;
    }
    const int c = info->channels;
    const long rate = info->rate;
    const std::size_t frame_bytes = sizeof(short) * static_cast<std::size_t>(c);
    // One call of the decoder asks for at most this much.
    const std::size_t step = 4096 * frame_bytes;

    std::unique_ptr<short, FreeSamples> samples;
    std::size_t capacity = 0;  // bytes
    std::size_t used = 0;      // bytes, whole frames
    for (;;) {
        if (capacity - used < step) {
            const std::size_t grown = capacity ? capacity * 2 : 16 * step;
            void* p = std::realloc(samples.get(), grown);
            if (!p) return nullptr;
            samples.release();
            samples.reset(static_cast<short*>(p));
            capacity = grown;
        }
        int section = 0;
        char* out = reinterpret_cast<char*>(samples.get()) + used;
        const long got = ov_read(&ogg.vf, out, static_cast<int>(step), 0, 2, 1, &section);
        if (got == 0) break;
        if (got == OV_HOLE) continue;
        if (got < 0) return nullptr;
        // The next link of a chained stream may have another layout, which
        // one buffer cannot hold.
        const vorbis_info* now = ov_info(&ogg.vf, -1);
        if (!now || now->channels != c || now->rate != rate) return nullptr;
        used += static_cast<std::size_t>(got);
        if (used / frame_bytes > kMaxOggFrames) return nullptr;
    }
    *length = static_cast<int>(used / frame_bytes);
    *channels = c;
    *format = 2;
    *hertz = static_cast<int>(rate);
    return reinterpret_cast<unsigned char*>(samples.release());
}

// Reads the rest of a file in blocks of 4096 bytes. A read error (such as
// reading a directory) must not pass for a complete, shorter file, and no
// file of more than INT_MAX bytes is taken.
bool ReadWhole(std::FILE* file, std::vector<unsigned char>* bytes) {
    unsigned char block[4096];
    std::size_t n;
    do {
        n = std::fread(block, 1, sizeof block, file);
        bytes->insert(bytes->end(), block, block + n);
    } while (n == sizeof block && bytes->size() <= INT_MAX);
    return !std::ferror(file) && bytes->size() <= INT_MAX;
}

// A PNG file without its empty IDAT chunks. They carry no pixel data, but
// the decoder, meeting one before any data, copies zero bytes to a null
// buffer (undefined behaviour). Each goes with its checksum, or with what
// there is of it at the end of a cut file. From the first chunk that the
// file does not hold whole on, the rest is left for the decoder to refuse.
void DropEmptyDataChunks(std::vector<unsigned char>* png) {
    std::vector<unsigned char>& b = *png;
    std::size_t at = 8;  // after the signature
    while (b.size() - at >= 8) {  // a chunk: length, type, data, checksum
        const std::uint32_t length = std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 |
                                     std::uint32_t(b[at + 2]) << 8 | b[at + 3];
        if (length == 0 && std::memcmp(&b[at + 4], "IDAT", 4) == 0) {
            const std::size_t end = std::min(at + 12, b.size());
            b.erase(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(end));
            continue;
        }
        if (b.size() - at < 12 || length > b.size() - at - 12) return;
        at += 12 + length;
    }
}

// File names on this system are UTF-8 bytes; an empty name is no file.
std::FILE* OpenFilePath(const String& file_path, const char* mode) {
    if (file_path.Length() == 0) return nullptr;
    return std::fopen(file_path.ToUtf8().c_str(), mode);
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

String orvDesktopFilePath(String path) {
    if (StartsWith(path, u"quarlo://data/")) return String("./data/") + path.Slice(14);
    if (StartsWith(path, u"quarlo://internal/")) return String("./internal/") + path.Slice(18);
    if (StartsWith(path, u"quarlo://external/")) return String("./external/") + path.Slice(18);
    if (StartsWith(path, u"quarlo:")) return String();
    return path;
}

String OrvGlfwGame::PathToFilePath(String path) { return orvDesktopFilePath(path); }

std::FILE* OrvGame::OpenFile(String path, String mode) {
    return OpenFilePath(PathToFilePath(path), mode.ToUtf8().c_str());
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
    const bool read = ReadWhole(file, &bytes);
    std::fclose(file);
    if (!read) return nullptr;
    auto* data = static_cast<unsigned char*>(std::malloc(bytes.empty() ? 1 : bytes.size()));
    if (!data) return nullptr;
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    *length = static_cast<int>(bytes.size());
    return data;
}

void orvSetStateFolder(const std::string& folder) { g_state_folder = folder; }

String OrvGame::LoadState() {
    if (g_state_folder.empty()) return String();
    std::FILE* file = std::fopen(StateFile().c_str(), "rb");
    if (!file) return String();
    String text = String::Load(file);
    std::fclose(file);
    return text;
}

int OrvGame::SaveState(String state) {
    if (g_state_folder.empty() || !MakeStateFolder()) return -1;
    // A save is written to a file of its own first and renamed over the state
    // file only once it is complete, so a crash or a full disk mid-save keeps
    // the previous state, and two copies of the game saving at once never
    // write into one file.
    const std::string state_file = StateFile();
    std::string temp_file = state_file + ".XXXXXX";
    const int fd = mkstemp(temp_file.data());
    if (fd < 0) return -1;
    const std::string bytes = state.ToUtf8();
    bool ok = true;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    // The data must be on disk before the rename makes it the state file.
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok) {
        unlink(temp_file.c_str());
        return -2;
    }
    if (std::rename(temp_file.c_str(), state_file.c_str()) != 0) {
        // The state file itself can't be replaced (a directory in its place,
        // for one): the same outcome as not being able to open it.
        unlink(temp_file.c_str());
        return -1;
    }
    // Make the rename itself durable; the save has succeeded either way.
    const int dir = open(g_state_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return 0;
}

std::string orvStateFilePath() {
    if (g_state_folder.empty()) return std::string();
    if (g_state_folder[0] == '/') return StateFile();
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return StateFile();
    const std::string here(cwd);
    return (g_state_folder == "." ? here : here + "/" + g_state_folder) + "/.quarlostate";
}

unsigned char* orvLoadImageFile(String path, int* width, int* height, int* depth) {
    std::FILE* file = OpenFilePath(orvDesktopFilePath(path), "rb");
    if (!file) return nullptr;
    std::vector<unsigned char> bytes;
    const bool read = ReadWhole(file, &bytes);
    std::fclose(file);
    if (!read || bytes.size() < 8) return nullptr;
    DropEmptyDataChunks(&bytes);
    int w = 0, h = 0, d = 0;
    unsigned char* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &d, 0);
    if (!pixels) return nullptr;
    *width = w;
    *height = h;
    *depth = d;
    return pixels;
}

unsigned char* orvLoadAudioFile(String path, int* length, int* channels, int* format, int* hertz) {
    const bool wav = EndsWithNoCase(path, ".wav");
    const bool ogg = !wav && EndsWithNoCase(path, ".ogg");
    if (!wav && !ogg) return nullptr;
    std::FILE* file = OpenFilePath(orvDesktopFilePath(path), "rb");
    if (!file) return nullptr;
    unsigned char* data =
        wav ? LoadWAV(file, length, channels, format, hertz) : LoadOGG(file, length, channels, format, hertz);
    std::fclose(file);
    return data;
}

std::string orvFileStamp(String path) {
    const String file = orvDesktopFilePath(path);
    struct stat info {};
    if (file.Length() == 0 || stat(file.ToUtf8().c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
    return std::to_string(info.st_size) + " " + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec) + " " + std::to_string(info.st_ino);
}

unsigned char* OrvGlfwGame::LoadImageData(String path, int* width, int* height, int* depth) {
    return orvLoadImageFile(path, width, height, depth);
}

unsigned char* OrvGlfwGame::LoadAudioData(String path, int* length, int* channels, int* format, int* hertz) {
    return orvLoadAudioFile(path, length, channels, format, hertz);
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
