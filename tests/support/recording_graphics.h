// A drawing device that draws nothing: every call becomes a record of its
// arguments and of the state in effect (colour, alpha, blend, matrix,
// scissor), so game tests can check what a frame drew without a window or
// OpenGL. Images still load from PNG files (through the real device's
// decoding); their pixels stay in memory and are never uploaded, so no
// OpenGL is reached even after a window was opened. Like the real device it
// asks the window layer for the window's size, so one must be installed
// (tests use the fake one).
#pragma once
#include <string>
#include <vector>

#include "host/renderer.h"

class RecordingGraphics : public gxtkGraphics {
public:
    enum class Call {
        BeginRender, EndRender, DiscardGraphics, LoadSurface, CreateSurface, Cls, SetColor, SetAlpha, SetBlend,
        SetScissor, SetMatrix, DrawPoint, DrawRect, DrawLine, DrawOval, DrawPoly, DrawPoly2, DrawSurface,
        DrawSurface2, ReadPixels, WritePixels2
    };

    struct Record {
        Call call;
        std::vector<float> args;  // in the order of the call's parameters
        // The state after the call.
        float red, green, blue, alpha;
        int blend;
        float matrix[6];   // ix, iy, jx, jy, tx, ty
        int scissor[4];    // x, y, width, height
        // The surface the call used (identity only: it may be collected
        // later) and its size at the time.
        const gxtkSurface* surface;
        int surface_width, surface_height;
        std::string path;  // LoadSurface: the path asked for
    };

    // Follows the window's size at every BeginRender, as the real device
    // does, until SetSize fixes one.
    RecordingGraphics();
    void SetSize(int width, int height);

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
    void EndRender() override;
    void DiscardGraphics() override;
    gxtkSurface* LoadSurface(String path) override;
    gxtkSurface* CreateSurface(int w, int h) override;
    int Cls(float r, float g, float b) override;
    int SetAlpha(float a) override;
    int SetColor(float r, float g, float b) override;
    int SetBlend(int mode) override;
    int SetScissor(int x, int y, int w, int h) override;
    int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) override;
    int DrawPoint(float x, float y) override;
    int DrawRect(float x, float y, float w, float h) override;
    int DrawLine(float x1, float y1, float x2, float y2) override;
    int DrawOval(float x, float y, float w, float h) override;
    int DrawPoly(Array<float> verts) override;
    int DrawPoly2(Array<float> verts, gxtkSurface* surface, int srcx, int srcy) override;
    int DrawSurface(gxtkSurface* surface, float x, float y) override;
    int DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw, int srch) override;
    int ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) override;
    int WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h, int offset,
                     int pitch) override;

private:
    Record& Add(Call call, std::vector<float> args, const gxtkSurface* surface = nullptr);

    bool fixed_size_ = false;
    std::size_t frame_start_ = 0;  // index of the last frame's BeginRender
    int blend_ = 0;
    int scissor_[4] = {0, 0, 0, 0};
};
