#include "tests/support/recording_graphics.h"

#include <cstdlib>
#include <utility>

#include "host/glfw_layer.h"

namespace {
float F(int v) { return static_cast<float>(v); }
}  // namespace

RecordingGraphics::RecordingGraphics() : gxtkGraphics() {
    scissor_[2] = width;
    scissor_[3] = height;
}

void RecordingGraphics::SetSize(int w, int h) {
    width = w;
    height = h;
    fixed_size_ = true;
}

RecordingGraphics::Record& RecordingGraphics::Add(Call call, std::vector<float> args, const gxtkSurface* surface) {
    records.push_back({call, std::move(args), colorR, colorG, colorB, alpha, blend_, {ix, iy, jx, jy, tx, ty},
                       {scissor_[0], scissor_[1], scissor_[2], scissor_[3]}, surface, surface ? surface->width : 0,
                       surface ? surface->height : 0, std::string()});
    return records.back();
}

std::vector<RecordingGraphics::Record> RecordingGraphics::Of(Call call) const {
    std::vector<Record> found;
    for (const Record& r : records) {
        if (r.call == call) found.push_back(r);
    }
    return found;
}

std::vector<RecordingGraphics::Record> RecordingGraphics::LastFrame() const {
    std::size_t begin = records.size();
    while (begin > 0 && records[begin - 1].call != Call::BeginRender) --begin;
    if (begin == 0) return {};
    return std::vector<Record>(records.begin() + static_cast<long>(begin) - 1, records.end());
}

// A new frame: the window's size (unless fixed), blending and scissor back
// to their defaults, as the real device sets them up.
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
    blend_ = 0;
    scissor_[0] = scissor_[1] = 0;
    scissor_[2] = width;
    scissor_[3] = height;
    Add(Call::BeginRender, {F(width), F(height)});
    return 1;
}

void RecordingGraphics::EndRender() { Add(Call::EndRender, {}); }
void RecordingGraphics::DiscardGraphics() { Add(Call::DiscardGraphics, {}); }

// Decodes like the real device but never binds: no texture, no OpenGL.
gxtkSurface* RecordingGraphics::LoadSurface(String path) {
    gxtkSurface* surface = LoadSurface__UNSAFE__(new gxtkSurface(), path);
    Add(Call::LoadSurface, {}, surface).path = path.ToUtf8();
    return surface;
}

gxtkSurface* RecordingGraphics::CreateSurface(int w, int h) {
    gxtkSurface* surface = new gxtkSurface();
    const std::size_t bytes = w > 0 && h > 0 ? static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4 : 1;
    surface->SetData(static_cast<unsigned char*>(std::calloc(bytes, 1)), w, h, 4);
    Add(Call::CreateSurface, {F(w), F(h)}, surface);
    return surface;
}

int RecordingGraphics::Cls(float r, float g, float b) { return Add(Call::Cls, {r, g, b}), 0; }
int RecordingGraphics::SetAlpha(float a) {
    gxtkGraphics::SetAlpha(a);
    return Add(Call::SetAlpha, {a}), 0;
}
int RecordingGraphics::SetColor(float r, float g, float b) {
    gxtkGraphics::SetColor(r, g, b);
    return Add(Call::SetColor, {r, g, b}), 0;
}
int RecordingGraphics::SetBlend(int mode) {
    blend_ = mode;
    return Add(Call::SetBlend, {F(mode)}), 0;
}

int RecordingGraphics::SetScissor(int x, int y, int w, int h) {
    scissor_[0] = x;
    scissor_[1] = y;
    scissor_[2] = w;
    scissor_[3] = h;
    return Add(Call::SetScissor, {F(x), F(y), F(w), F(h)}), 0;
}

int RecordingGraphics::SetMatrix(float ix_, float iy_, float jx_, float jy_, float tx_, float ty_) {
    gxtkGraphics::SetMatrix(ix_, iy_, jx_, jy_, tx_, ty_);
    return Add(Call::SetMatrix, {ix_, iy_, jx_, jy_, tx_, ty_}), 0;
}

int RecordingGraphics::DrawPoint(float x, float y) { return Add(Call::DrawPoint, {x, y}), 0; }
int RecordingGraphics::DrawRect(float x, float y, float w, float h) { return Add(Call::DrawRect, {x, y, w, h}), 0; }
int RecordingGraphics::DrawLine(float x1, float y1, float x2, float y2) {
    return Add(Call::DrawLine, {x1, y1, x2, y2}), 0;
}
int RecordingGraphics::DrawOval(float x, float y, float w, float h) { return Add(Call::DrawOval, {x, y, w, h}), 0; }
int RecordingGraphics::DrawPoly(Array<float> verts) {
    return Add(Call::DrawPoly, std::vector<float>(verts.begin(), verts.end())), 0;
}

int RecordingGraphics::DrawPoly2(Array<float> verts, gxtkSurface* surface, int srcx, int srcy) {
    std::vector<float> args{F(srcx), F(srcy)};
    args.insert(args.end(), verts.begin(), verts.end());
    return Add(Call::DrawPoly2, std::move(args), surface), 0;
}

int RecordingGraphics::DrawSurface(gxtkSurface* surface, float x, float y) {
    return Add(Call::DrawSurface, {x, y}, surface), 0;
}

int RecordingGraphics::DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                                    int srch) {
    return Add(Call::DrawSurface2, {x, y, F(srcx), F(srcy), F(srcw), F(srch)}, surface), 0;
}

int RecordingGraphics::ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) {
    Add(Call::ReadPixels, {F(x), F(y), F(w), F(h), F(offset), F(pitch)});
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            const long i = static_cast<long>(offset) + static_cast<long>(r) * pitch + c;
            if (i >= 0 && i < pixels.Length()) pixels[static_cast<int>(i)] = read_pixel;
        }
    }
    return 0;
}

// Keeps the pixels in the surface's memory; without a texture nothing is
// uploaded.
int RecordingGraphics::WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h, int offset,
                                    int pitch) {
    Add(Call::WritePixels2, {F(x), F(y), F(w), F(h), F(offset), F(pitch)}, surface);
    return gxtkGraphics::WritePixels2(surface, pixels, x, y, w, h, offset, pitch);
}
