// Images decoded to memory.
#include "host/image_files.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/files.h"
#include "host/host_game.h"
#include "runtime/diagnostics.h"

#include <stb/stb_image.h>

namespace {

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

// The pixels of a PNG file named in UTF-8 (empty: no file), or null. Safe
// on any thread.
unsigned char* LoadPng(const std::string& file_path, int* width, int* height, int* depth) {
    std::FILE* file = file_path.empty() ? nullptr : std::fopen(file_path.c_str(), "rb");
    if (!file) return nullptr;
    std::vector<unsigned char> bytes;
    const bool read = orvReadWhole(file, &bytes);
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

}  // namespace

unsigned char* orvLoadImageFile(String path, int* width, int* height, int* depth) {
    return LoadPng(orvDesktopFilePath(path).ToUtf8(), width, height, depth);
}

void orvPremultiply(unsigned char* data, int w, int h, int d) {
    const long count = static_cast<long>(w) * h;
    if (d == 2) {
        for (long i = 0; i < count; ++i) {
            unsigned char* p = data + i * 2;
            p[0] = static_cast<unsigned char>(p[0] * p[1] / 255);
        }
    } else if (d == 4) {
        for (long i = 0; i < count; ++i) {
            unsigned char* p = data + i * 4;
            const int a = p[3];
            p[0] = static_cast<unsigned char>(p[0] * a / 255);
            p[1] = static_cast<unsigned char>(p[1] * a / 255);
            p[2] = static_cast<unsigned char>(p[2] * a / 255);
        }
    }
}

// ---- decoding ahead

namespace {

// The file a path names, from the root: the same path in another working
// folder is another file.
std::string AbsoluteFile(const String& path) {
    const std::string file = orvDesktopFilePath(path).ToUtf8();
    if (file.empty() || file[0] == '/') return file;
    char cwd[PATH_MAX];
    return getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + file : file;
}

// What the worker decodes. It works on plain file names only: the counted
// strings of the program are never touched off the main thread.
struct Job {
    std::string file;
    bool done = false;
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, depth = 0;
};

// At most this many decoded images wait for their loads: the largest are
// 16 MB each, and memory should hold not much more than the textures.
constexpr std::size_t kAhead = 2;

class AheadDecoder {
public:
    void Start(const std::vector<String>& paths) {
        std::vector<std::string> files;
        for (const String& path : paths) files.push_back(AbsoluteFile(path));
        const std::lock_guard<std::mutex> lock(mutex_);
        if (std::equal(files.begin(), files.end(), jobs_.begin(), jobs_.end(),
                       [](const std::string& file, const Job& job) { return file == job.file; })) {
            return;  // the same list again: what is decoded stays
        }
        ++generation_;  // a decode under way for the old list is dropped when it ends
        for (Job& job : jobs_) std::free(job.pixels);
        jobs_.clear();
        for (const std::string& file : files) jobs_.push_back(Job{file});
        next_ = 0;
        if (!started_) {
            // The program ends through exit(): the worker simply ends with it.
            std::thread(&AheadDecoder::Run, this).detach();
            started_ = true;
        }
        wake_.notify_all();
    }

    bool Take(const String& path, unsigned char** pixels, int* w, int* h, int* d) {
        const std::string file = AbsoluteFile(path);
        std::unique_lock<std::mutex> lock(mutex_);
        if (jobs_.empty() || jobs_.front().file != file) return false;
        done_.wait(lock, [&] { return jobs_.front().done; });
        const Job job = jobs_.front();
        jobs_.pop_front();
        --next_;
        wake_.notify_all();
        *pixels = job.pixels;
        *w = job.width;
        *h = job.height;
        *d = job.depth;
        return true;
    }

private:
    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return next_ < jobs_.size() && next_ < kAhead; });
            Job job{jobs_[next_].file, true};
            const unsigned long generation = generation_;
            lock.unlock();
            if (orvOnWorkerThread) orvOnWorkerThread("images");
            job.pixels = LoadPng(job.file, &job.width, &job.height, &job.depth);
            if (job.pixels) orvPremultiply(job.pixels, job.width, job.height, job.depth);
            lock.lock();
            if (generation != generation_) {
                std::free(job.pixels);
                continue;
            }
            jobs_[next_++] = job;
            done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    bool started_ = false;  // the one worker
    std::deque<Job> jobs_;  // the images not taken yet, in load order
    std::size_t next_ = 0;  // jobs_[0..next_) are decoded
    unsigned long generation_ = 0;
};

AheadDecoder& Ahead() {
    static auto* decoder = new AheadDecoder();  // lives as long as its worker
    return *decoder;
}

}  // namespace

void orvDecodeImagesAhead(const std::vector<String>& paths) { Ahead().Start(paths); }

bool orvTakeImageDecodedAhead(String path, unsigned char** pixels, int* width, int* height, int* depth) {
    return Ahead().Take(path, pixels, width, height, depth);
}

unsigned char* OrvGlfwGame::LoadImageData(String path, int* width, int* height, int* depth) {
    return orvLoadImageFile(path, width, height, depth);
}
