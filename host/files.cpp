// Paths, whole-file loads and the stored-state file. Sounds and images are
// decoded in files of their own (sound_files.cpp, image_files.cpp).
#include <fcntl.h>
#include <sys/stat.h>
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

}  // namespace

// File names on this system are UTF-8 bytes; an empty name is no file.
std::FILE* orvOpenFile(const String& file_path, const char* mode) {
    if (file_path.Length() == 0) return nullptr;
    return std::fopen(file_path.ToUtf8().c_str(), mode);
}

// Reads the rest of a file in blocks of 4096 bytes. A read error (such as
// reading a directory) must not pass for a complete, shorter file, and no
// file of more than INT_MAX bytes is taken.
bool orvReadWhole(std::FILE* file, std::vector<unsigned char>* bytes) {
    unsigned char block[4096];
    std::size_t n;
    do {
        n = std::fread(block, 1, sizeof block, file);
        bytes->insert(bytes->end(), block, block + n);
    } while (n == sizeof block && bytes->size() <= INT_MAX);
    return !std::ferror(file) && bytes->size() <= INT_MAX;
}

String orvDesktopFilePath(String path) {
    if (StartsWith(path, u"quarlo://data/")) return String("./data/") + path.Slice(14);
    if (StartsWith(path, u"quarlo://internal/")) return String("./internal/") + path.Slice(18);
    if (StartsWith(path, u"quarlo://external/")) return String("./external/") + path.Slice(18);
    if (StartsWith(path, u"quarlo:")) return String();
    return path;
}

String OrvGlfwGame::PathToFilePath(String path) { return orvDesktopFilePath(path); }

std::FILE* OrvGame::OpenFile(String path, String mode) {
    return orvOpenFile(PathToFilePath(path), mode.ToUtf8().c_str());
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
    const bool read = orvReadWhole(file, &bytes);
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

