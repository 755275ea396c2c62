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

int orvImageWorkers = 2;
void (*orvImagesWanted)(const std::vector<String>& paths) = nullptr;

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

// The pixel bytes a PNG file's header announces at four bytes a pixel (the
// most a pixel takes), or 0 when it has none.
std::size_t AnnouncedBytes(const std::string& file) {
    unsigned char header[24] = {};
    std::FILE* f = file.empty() ? nullptr : std::fopen(file.c_str(), "rb");
    const bool read = f && std::fread(header, 1, sizeof header, f) == sizeof header;
    if (f) std::fclose(f);
    if (!read || std::memcmp(header + 12, "IHDR", 4) != 0) return 0;
    const auto be = [&](int at) {
        return std::uint32_t(header[at]) << 24 | std::uint32_t(header[at + 1]) << 16 |
               std::uint32_t(header[at + 2]) << 8 | header[at + 3];
    };
    return std::size_t{be(16)} * be(20) * 4;
}

// What the workers decode. They work on plain file names only: the counted
// strings of the program are never touched off the main thread.
struct Job {
    std::string file;
    std::size_t bytes = 0;  // announced
    bool started = false, done = false;
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, depth = 0;
};

// Two workers, one a core on most machines, decode in list order within a
// memory budget that counts a decode under way twice (the decoder holds the
// inflated rows beside the pixels), and once the pixels that wait for their
// loads and those taken but not given up yet (a texture is being made of
// them): memory should hold not much more than the textures. The image the
// next load waits for goes ahead of the budget, so any image decodes.
constexpr std::size_t kBudget = 40u << 20;

class AheadDecoder {
public:
    bool Start(const std::vector<String>& paths) {
        if (orvImageWorkers <= 0) return false;  // every load decodes its own image
        std::vector<std::string> files;
        for (const String& path : paths) files.push_back(AbsoluteFile(path));
        std::vector<std::size_t> bytes;
        for (const std::string& file : files) bytes.push_back(AnnouncedBytes(file));
        const std::lock_guard<std::mutex> lock(mutex_);
        if (std::equal(files.begin(), files.end(), jobs_.begin(), jobs_.end(),
                       [](const std::string& file, const Job& job) { return file == job.file; })) {
            return false;  // the same list again: what is decoded stays
        }
        ++generation_;  // decodes under way for the old list are dropped when they end
        for (Job& job : jobs_) std::free(job.pixels);
        jobs_.clear();
        for (std::size_t i = 0; i < files.size(); ++i) jobs_.push_back(Job{files[i], bytes[i]});
        outstanding_ = 0;
        for (; started_ < orvImageWorkers; ++started_) {
            // The program ends through exit(): the workers simply end with it.
            std::thread(&AheadDecoder::Run, this).detach();
        }
        wake_.notify_all();
        return true;
    }

    // The next job's pixels: that of `file` (waiting for it), or whichever is
    // done when `file` is null.
    bool Take(const std::string* file, std::string* taken, unsigned char** pixels, int* w, int* h, int* d) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (jobs_.empty() || (file ? jobs_.front().file != *file : !jobs_.front().done)) return false;
        done_.wait(lock, [&] { return jobs_.front().done; });
        const Job job = jobs_.front();
        if (taken) *taken = job.file;
        jobs_.pop_front();
        outstanding_ -= job.bytes;
        taken_ += PixelBytes(job);
        wake_.notify_all();  // the next job is the front one now, whatever the budget
        *pixels = job.pixels;
        *w = job.width;
        *h = job.height;
        *d = job.depth;
        return true;
    }

    void Release(std::size_t bytes) {
        const std::lock_guard<std::mutex> lock(mutex_);
        taken_ -= std::min(bytes, taken_);
        wake_.notify_all();
    }

private:
    // The first job not started that fits the budget (the next to be
    // loaded, whatever its size); null when there is none. A file being
    // decoded already is left for the copy it will get.
    Job* Next() {
        for (std::size_t i = 0; i < jobs_.size(); ++i) {
            Job& job = jobs_[i];
            const auto decoding = [&](const Job& other) { return other.started && other.file == job.file; };
            if (job.started || std::any_of(jobs_.begin(), jobs_.begin() + static_cast<long>(i), decoding)) continue;
            if (i == 0 || outstanding_ + taken_ + 2 * job.bytes <= kBudget) return &job;
        }
        return nullptr;
    }

    static std::size_t PixelBytes(const Job& job) {
        return job.pixels ? static_cast<std::size_t>(job.width) * job.height * job.depth : 0;
    }

    static unsigned char* Copy(const Job& job) {
        auto* copy = job.pixels ? static_cast<unsigned char*>(std::malloc(PixelBytes(job))) : nullptr;
        return copy ? static_cast<unsigned char*>(std::memcpy(copy, job.pixels, PixelBytes(job))) : nullptr;
    }

    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            Job* next = nullptr;
            wake_.wait(lock, [&] { return (next = Next()) != nullptr; });
            next->started = true;
            outstanding_ += 2 * next->bytes;
            Job job{next->file, next->bytes};
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
            outstanding_ -= job.bytes;  // the rows are gone; the pixels wait
            // The same file later in the list gets a copy: decoded once,
            // loaded twice.
            bool mine = true;
            for (Job& entry : jobs_) {
                if (entry.file != job.file || entry.done) continue;
                entry = job;
                entry.started = entry.done = true;
                if (!mine) {
                    entry.pixels = Copy(job);
                    outstanding_ += entry.bytes;
                }
                mine = false;
            }
            done_.notify_all();
            wake_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    int started_ = 0;  // workers
    std::deque<Job> jobs_;  // the images not taken yet, in load order
    std::size_t outstanding_ = 0;  // bytes of the decodes under way (twice) and of those waiting
    std::size_t taken_ = 0;  // bytes taken, whatever list they were for, not given up yet
    unsigned long generation_ = 0;
};

AheadDecoder& Ahead() {
    // It lives as long as its workers. A process made by fork() has none of
    // them: it gets a decoder of its own.
    static AheadDecoder* decoder = nullptr;
    static pid_t owner = 0;
    if (!decoder || owner != getpid()) {
        decoder = new AheadDecoder();
        owner = getpid();
    }
    return *decoder;
}

}  // namespace

bool orvDecodeImagesAhead(const std::vector<String>& paths) {
    if (orvImagesWanted) orvImagesWanted(paths);
    return Ahead().Start(paths);
}

bool orvTakeImageDecodedAhead(String path, unsigned char** pixels, int* width, int* height, int* depth) {
    const std::string file = AbsoluteFile(path);
    return Ahead().Take(&file, nullptr, pixels, width, height, depth);
}

bool orvTakeImageIfDecoded(std::string* file, unsigned char** pixels, int* width, int* height, int* depth) {
    return Ahead().Take(nullptr, file, pixels, width, height, depth);
}

void orvFreeImageDecodedAhead(unsigned char* pixels, int width, int height, int depth) {
    if (!pixels) return;
    std::free(pixels);
    Ahead().Release(static_cast<std::size_t>(width) * height * depth);
}

std::string orvDecodedAheadFile(String path) { return AbsoluteFile(path); }

unsigned char* OrvGlfwGame::LoadImageData(String path, int* width, int* height, int* depth) {
    return orvLoadImageFile(path, width, height, depth);
}
