// A drawing device that draws nothing: every call that would reach OpenGL
// becomes a record, so game tests can check what a frame drew without a
// window or OpenGL. Images still load from PNG files (through the real
// device's decoding); their pixels stay in memory and are never uploaded, so
// no OpenGL is reached even after a window was opened. Like the real device
// it asks the window layer for the window's size, so one must be installed
// (tests use the fake one).
#pragma once
#include <string>
#include <vector>

#include "host/renderer.h"

class RecordingGraphics : public gxtkGraphics {
public:
    enum class Call {
        BeginRender, EndRender, LoadSurface, CreateSurface, Cls, SetBlend, SetScissor, DrawPoint, DrawRect, DrawLine,
        DrawOval, DrawPoly, DrawPoly2, DrawSurface, DrawSurface2, ReadPixels
    };

    struct Record {
        Call call;
        // The surface the call used (identity only: it may be collected later).
        const gxtkSurface* surface = nullptr;
        std::string path;         // LoadSurface: the path asked for
        std::vector<float> args;  // Cls: the colour
    };

    // Follows the window's size at every BeginRender, as the real device
    // does, until SetSize fixes one.
    void SetSize(int w, int h) { width = w; height = h; fixed_size_ = true; }

    // Every call so far, except that each BeginRender drops the frame
    // before it (calls between frames, such as loads during updates, stay)
    // unless keep_all_frames is set: a long game test keeps little.
    std::vector<Record> records;
    bool keep_all_frames = false;
    // The records of one kind; the records of the last frame begun.
    std::vector<Record> Of(Call call) const;
    std::vector<Record> LastFrame() const;
    // Pixels that ReadPixels hands out (0xAARRGGBB): all of them this value.
    int read_pixel = 0;

    int BeginRender() override;
    void EndRender() override { Add(Call::EndRender); }
    gxtkSurface* LoadSurface(String path) override;
    gxtkSurface* CreateSurface(int w, int h) override;
    int Cls(float r, float g, float b) override { Add(Call::Cls); records.back().args = {r, g, b}; return 0; }
    int SetBlend(int) override { return Add(Call::SetBlend); }
    int SetScissor(int, int, int, int) override { return Add(Call::SetScissor); }
    int DrawPoint(float, float) override { return Add(Call::DrawPoint); }
    int DrawRect(float, float, float, float) override { return Add(Call::DrawRect); }
    int DrawLine(float, float, float, float) override { return Add(Call::DrawLine); }
    int DrawOval(float, float, float, float) override { return Add(Call::DrawOval); }
    int DrawPoly(Array<float>) override { return Add(Call::DrawPoly); }
    int DrawPoly2(Array<float>, gxtkSurface* surface, int, int) override { return Add(Call::DrawPoly2, surface); }
    int DrawSurface(gxtkSurface* surface, float, float) override { return Add(Call::DrawSurface, surface); }
    int DrawSurface2(gxtkSurface* surface, float, float, int, int, int, int) override {
        return Add(Call::DrawSurface2, surface);
    }
    int ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) override;

private:
    int Add(Call call, const gxtkSurface* surface = nullptr, std::string path = "");

    bool fixed_size_ = false;
    std::size_t frame_start_ = 0;  // index of the last frame's BeginRender
};
