// The drawing device: 2D primitives and textured quads gathered into one
// batch of up to 1024 vertices and drawn with fixed-function OpenGL. Colours
// are premultiplied by alpha, in vertices and in texture pixels alike.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/string.h"

class gxtkSurface : public Object {
public:
    ~gxtkSurface() override;

    virtual int Discard();
    virtual int Width() { return width; }
    virtual int Height() { return height; }
    virtual int Loaded() { return 1; }
    virtual int OnUnsafeLoadComplete();

    // Takes ownership of a malloc'd pixel block and premultiplies it.
    void SetData(unsigned char* data, int w, int h, int depth);
    // The same for pixels already premultiplied.
    void SetPremultipliedData(unsigned char* data, int w, int h, int depth);
    void SetSubData(int x, int y, int w, int h, const unsigned int* src, int pitch);
    void Bind();
    void FreePixels();

    // A surface loaded from a file keeps no pixel copy once its texture
    // holds the image (the copy would double the memory of every image);
    // a new context, or a change of pixels, reads the file again.
    String path;
    unsigned char* pixels = nullptr;
    bool decodedAhead = false;  // the pixels count against the decoder's memory until freed
    int width = 0, height = 0, depth = 0;
    int glFormat = 0;
    int contextSeq = -1;
    unsigned textureId = 0;
    float uScale = 0, vScale = 0;

    // Test seam: when set, texture storage at the exact image size is
    // treated as refused, as by a driver limited to powers of two.
    static bool refuseExactSize;
};

class gxtkGraphics : public Object {
public:
    struct Vertex {
        float x, y, u, v;
        std::uint32_t rgba;  // bytes R, G, B, A, premultiplied
    };
    static_assert(sizeof(Vertex) == 20, "the vertex arrays are read with a stride of 20");
    enum : int { kMaxVertices = 1024 };

    gxtkGraphics();
    void mark() override;

    virtual int Width() { return width; }
    virtual int Height() { return height; }
    virtual int BeginRender();
    virtual void EndRender();
    virtual void DiscardGraphics() {}
    virtual gxtkSurface* LoadSurface(String path);
    virtual gxtkSurface* LoadSurface__UNSAFE__(gxtkSurface* surface, String path);
    // Images about to be loaded, in load order: decoded ahead on a worker.
    virtual int DecodeAhead(Array<String> paths);
    virtual gxtkSurface* CreateSurface(int w, int h);
    virtual int Cls(float r, float g, float b);
    virtual int SetAlpha(float a);
    virtual int SetColor(float r, float g, float b);
    virtual int SetBlend(int mode);
    virtual int SetScissor(int x, int y, int w, int h);
    virtual int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
    virtual int DrawPoint(float x, float y);
    virtual int DrawRect(float x, float y, float w, float h);
    virtual int DrawLine(float x1, float y1, float x2, float y2);
    virtual int DrawOval(float x, float y, float w, float h);
    virtual int DrawPoly(Array<float> verts);
    virtual int DrawPoly2(Array<float> verts, gxtkSurface* surface, int srcx, int srcy);
    virtual int DrawSurface(gxtkSurface* surface, float x, float y);
    virtual int DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw, int srch);
    virtual int ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch);
    virtual int WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h, int offset,
                             int pitch);

    // Where `count` new vertices of a primitive go, after the batching rule.
    Vertex* Begin(int type, int count, gxtkSurface* surface);
    void Flush();

    // Draw calls issued since the frame began.
    int DrawCallsThisFrame() const { return drawCallsFrame; }

    int width = 0, height = 0;
    std::uint32_t packedColor = 0;
    float colorR = 0, colorG = 0, colorB = 0, alpha = 0;
    float ix = 1, iy = 0, jx = 0, jy = 1, tx = 0, ty = 0;
    bool transformed = false;
    Vertex vertexBuffer[kMaxVertices];
    unsigned short quadIndexBuffer[kMaxVertices / 4 * 6];
    int batchType = 0;
    int batchCount = 0;
    gxtkSurface* batchSurface = nullptr;
    // Loaded since the frame began, their textures not made yet.
    std::vector<gxtkSurface*> unbound;
    // The next images of the list decoded ahead, in its order, with their
    // textures made as soon as they were decoded (null: the file could not
    // be): a load takes one ready, and its pixels waited the least.
    struct MadeAhead {
        std::string file;
        gxtkSurface* surface;
    };
    std::deque<MadeAhead> madeAhead;

private:
    void UpdatePackedColor();
    void DropMadeAhead();
    void Put(Vertex* v, float x, float y, float u = 0, float w = 0) const;

    // State already in effect, so that repeating it costs no flush.
    int blendInEffect = -1;
    // Kept apart from the rectangle: an enabled 0 x 0 scissor is not "off".
    bool scissorKnown = false;
    bool scissorOn = false;
    int scissorRect[4] = {0, 0, 0, 0};  // meaningful only while scissorOn
    int drawCallsFrame = 0;
};
