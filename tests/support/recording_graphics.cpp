#include "tests/support/recording_graphics.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "host/glfw_layer.h"

int RecordingGraphics::Add(Call call, const gxtkSurface* surface, std::string path) {
    records.push_back({call, surface, std::move(path), {}});
    return 0;
}

std::vector<RecordingGraphics::Record> RecordingGraphics::Of(Call call) const {
    std::vector<Record> found;
    std::copy_if(records.begin(), records.end(), std::back_inserter(found),
                 [&](const Record& r) { return r.call == call; });
    return found;
}

std::vector<RecordingGraphics::Record> RecordingGraphics::LastFrame() const {
    std::size_t begin = records.size();
    while (begin > 0 && records[begin - 1].call != Call::BeginRender) --begin;
    if (begin == 0) return {};
    return std::vector<Record>(records.begin() + static_cast<long>(begin) - 1, records.end());
}

// A new frame, at the window's size unless one was fixed.
int RecordingGraphics::BeginRender() {
    // A test may have cleared the records since: then there is nothing to drop.
    if (!keep_all_frames && frame_start_ < records.size() && records[frame_start_].call == Call::BeginRender) {
        auto end = records.begin() + static_cast<long>(frame_start_);
        while (end != records.end() && end->call != Call::EndRender) ++end;
        if (end != records.end()) ++end;
        records.erase(records.begin() + static_cast<long>(frame_start_), end);
    }
    frame_start_ = records.size();
    if (!fixed_size_) glfw().GetWindowSize(&width, &height);
    Add(Call::BeginRender);
    return 1;
}

// Decodes like the real device but never binds: no texture, no OpenGL.
gxtkSurface* RecordingGraphics::LoadSurface(String path) {
    gxtkSurface* surface = LoadSurface__UNSAFE__(new gxtkSurface(), path);
    Add(Call::LoadSurface, surface, path.ToUtf8());
    return surface;
}

gxtkSurface* RecordingGraphics::CreateSurface(int w, int h) {
    gxtkSurface* surface = new gxtkSurface();
    const std::size_t bytes = w > 0 && h > 0 ? static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4 : 1;
    surface->SetData(static_cast<unsigned char*>(std::calloc(bytes, 1)), w, h, 4);
    Add(Call::CreateSurface, surface);
    return surface;
}

int RecordingGraphics::ReadPixels(Array<int> pixels, int, int, int w, int h, int offset, int pitch) {
    Add(Call::ReadPixels);
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            const long i = static_cast<long>(offset) + static_cast<long>(r) * pitch + c;
            if (i >= 0 && i < pixels.Length()) pixels[static_cast<int>(i)] = read_pixel;
        }
    }
    return 0;
}
