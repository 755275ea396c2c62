#include "tools/datagen/images.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tools/datagen/data_files.h"
#include "tools/datagen/png_writer.h"
#include "tools/datagen/raster.h"

namespace fs = std::filesystem;

namespace {

struct Job {
    const char* name;
    Image (*pixel_art)();        // drawn once at design size, or
    Image (*smooth)(int level);  // drawn at each level
};

// Largest first, so that the long jobs start early.
const Job kJobs[] = {
    {"BadgesA", nullptr, DrawBadges},
    {"menu", DrawBackdrops, nullptr},
    {"common/Testcard_Circle", nullptr, DrawTestcard},
    {"common/QEVLLogo", nullptr, DrawStudioLogo},
    {"gfx", DrawGameSprites, nullptr},
    {"common/Buttons", nullptr, DrawButtons},
    {"logo", nullptr, DrawTitleLogo},
    {"fonts/editundo", DrawEditUndoFont, nullptr},
    {"parts", nullptr, DrawParticles},
    {"common/icons", nullptr, DrawIcons},
    {"common/dpad", nullptr, DrawDpad},
};

const ImageEntry& EntryOf(const char* name) {
    for (const ImageEntry& entry : kImageEntrys) {
        if (std::strcmp(entry.name, name) == 0) return entry;
    }
    throw std::logic_error(std::string("no image entry for ") + name);
}

void Write(const fs::path& dir, const ImageEntry& entry, int level, const char* suffix, const Image& image) {
    if (image.width() != entry.width() * level || image.height() != entry.height() * level) {
        throw std::logic_error(std::string(entry.name) + suffix + " drawn at the wrong size");
    }
    const fs::path path = dir / ImageFile(entry, suffix);
    fs::create_directories(path.parent_path());
    WritePng(path, image);
}

void Run(const fs::path& dir, const Job& job) {
    const ImageEntry& entry = EntryOf(job.name);
    if (job.pixel_art) {
        const Image design = job.pixel_art();
        for (const auto& res : kResolutions) {
            Write(dir, entry, res.level, res.suffix, EnlargePixelArt(design, res.level, entry.frame_w, entry.frame_h));
        }
    } else {
        for (const auto& res : kResolutions) Write(dir, entry, res.level, res.suffix, job.smooth(res.level));
    }
}

}  // namespace

Image EnlargePixelArt(const Image& design, int level, int frame_w, int frame_h) {
    Image image = design;
    for (int l = 1; l < level; l *= 2) {
        image = Scale2x(image, frame_w * l, frame_h * l);
    }
    return image;
}

void WriteImages(const fs::path& dir) {
    static_assert(std::size(kJobs) == std::size(kImageEntrys), "every image has a job");
    // Each file depends on nothing but its own drawing, so the order in which
    // the workers finish cannot change a byte.
    std::atomic<std::size_t> next{0};
    std::mutex failure_lock;
    std::exception_ptr failure;
    auto worker = [&] {
        for (std::size_t i; (i = next++) < std::size(kJobs);) {
            try {
                Run(dir, kJobs[i]);
            } catch (...) {
                std::lock_guard<std::mutex> lock(failure_lock);
                if (!failure) failure = std::current_exception();
            }
        }
    };
    const unsigned count = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < count; ++t) threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads) t.join();
    if (failure) std::rethrow_exception(failure);
}
