// The only file that talks to OpenGL.
#include "host/renderer.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/files.h"
#include "host/image_files.h"
#include "host/glfw_layer.h"
#include "host/host_game.h"

bool gxtkSurface::refuseExactSize = false;

namespace {

// Truncates toward zero into a byte; out-of-range values (which callers
// should not pass) wrap like the integer conversion would, without
// undefined behaviour.
std::uint32_t TruncByte(float f) {
    if (!(f > -2147483648.0f && f < 2147483648.0f)) return 0;
    return static_cast<std::uint32_t>(static_cast<int>(f)) & 0xffu;
}

// Whether rows of w pixels, pitch apart from offset on, fit the array.
bool FitsArray(int length, int w, int h, int offset, int pitch) {
    if (w <= 0 || h <= 0 || offset < 0 || pitch < w) return false;
    return static_cast<long long>(offset) + static_cast<long long>(h - 1) * pitch + w <= length;
}

int NextPowerOfTwo(int n) {
    int p = 1;
    while (p < n && p < (1 << 30)) p <<= 1;
    return p;
}

int FormatForDepth(int depth) {
    switch (depth) {
        case 1:
            return GL_LUMINANCE;
        case 2:
            return GL_LUMINANCE_ALPHA;
        case 3:
            return GL_RGB;
        default:
            return GL_RGBA;
    }
}

}  // namespace

// ---- surfaces

gxtkSurface::~gxtkSurface() { Discard(); }

int gxtkSurface::Discard() {
    if (contextSeq == glfwGraphicsSeq && contextSeq != -1) {
        glDeleteTextures(1, &textureId);
        contextSeq = -1;
    }
    FreePixels();
    path = String();  // bound again, it is empty
    return 0;
}

void gxtkSurface::FreePixels() {
    if (decodedAhead) {
        orvFreeImageDecodedAhead(pixels, width, height, depth);
    } else {
        std::free(pixels);
    }
    decodedAhead = false;
    pixels = nullptr;
}

namespace {

// The pixel copy of a surface loaded from a file, read from it again; the
// surface keeps none when the file no longer holds the same image.
void ReloadPixels(gxtkSurface* s) {
    int w = 0, h = 0, depth = 0;
    unsigned char* data = orvLoadImageFile(s->path, &w, &h, &depth);
    if (data && w == s->width && h == s->height && depth == s->depth) {
        s->SetData(data, w, h, depth);
    } else {
        std::free(data);
    }
}

}  // namespace

int gxtkSurface::OnUnsafeLoadComplete() {
    Bind();
    return 1;
}

void gxtkSurface::SetData(unsigned char* data, int w, int h, int d) {
    orvPremultiply(data, w, h, d);
    SetPremultipliedData(data, w, h, d);
}

void gxtkSurface::SetPremultipliedData(unsigned char* data, int w, int h, int d) {
    pixels = data;
    width = w;
    height = h;
    depth = d;
    glFormat = FormatForDepth(d);
}

void gxtkSurface::SetSubData(int x, int y, int w, int h, const unsigned int* src, int pitch) {
    if (glFormat != GL_RGBA) return;
    if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > width || y + h > height) return;
    // Pixels changed by hand have no file to come back from: the copy stays.
    if (!pixels && path.Length()) ReloadPixels(this);
    path = String();
    if (!pixels) {
        pixels = static_cast<unsigned char*>(std::calloc(static_cast<std::size_t>(width) * height, 4));
        if (!pixels) return;
    }
    for (int r = 0; r < h; ++r) {
        unsigned char* out = pixels + (static_cast<std::size_t>(y + r) * width + x) * 4;
        for (int c = 0; c < w; ++c, out += 4) {
            const unsigned p = src[r * pitch + c];
            const unsigned a = p >> 24;
            out[0] = static_cast<unsigned char>(((p >> 16) & 0xff) * a / 255);
            out[1] = static_cast<unsigned char>(((p >> 8) & 0xff) * a / 255);
            out[2] = static_cast<unsigned char>((p & 0xff) * a / 255);
            out[3] = static_cast<unsigned char>(a);
        }
    }
    if (contextSeq != glfwGraphicsSeq || contextSeq == -1) return;
    glBindTexture(GL_TEXTURE_2D, textureId);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (w == width) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, y, width, h, GL_RGBA, GL_UNSIGNED_BYTE,
                        pixels + static_cast<std::size_t>(y) * width * 4);
    } else {
        for (int r = 0; r < h; ++r) {
            glTexSubImage2D(GL_TEXTURE_2D, 0, x, y + r, w, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                            pixels + (static_cast<std::size_t>(y + r) * width + x) * 4);
        }
    }
}

void gxtkSurface::Bind() {
    if (glfwGraphicsSeq == 0) return;
    if (contextSeq == glfwGraphicsSeq) {
        glBindTexture(GL_TEXTURE_2D, textureId);
        return;
    }
    if (!pixels && path.Length()) ReloadPixels(this);  // a new context
    contextSeq = glfwGraphicsSeq;
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    while (glGetError() != GL_NO_ERROR) {
    }  // only the allocation's own error may decide the fallback
    int texWidth = width, texHeight = height;
    bool refused = refuseExactSize;
    if (!refused) {
        glTexImage2D(GL_TEXTURE_2D, 0, glFormat, width, height, 0, glFormat, GL_UNSIGNED_BYTE, nullptr);
        refused = glGetError() != GL_NO_ERROR;
    }
    if (refused) {
        texWidth = NextPowerOfTwo(width);
        texHeight = NextPowerOfTwo(height);
        glTexImage2D(GL_TEXTURE_2D, 0, glFormat, texWidth, texHeight, 0, glFormat, GL_UNSIGNED_BYTE, nullptr);
    }
    uScale = 1.0f / static_cast<float>(texWidth);
    vScale = 1.0f / static_cast<float>(texHeight);

    if (pixels) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, glFormat, GL_UNSIGNED_BYTE, pixels);
        if (path.Length()) FreePixels();
    }
}

// ---- the device

gxtkGraphics::gxtkGraphics() {
    glfw().GetWindowSize(&width, &height);
    for (int k = 0; k < kMaxVertices / 4; ++k) {
        const unsigned short b = static_cast<unsigned short>(k * 4);
        unsigned short* q = quadIndexBuffer + k * 6;
        q[0] = b;
        q[1] = static_cast<unsigned short>(b + 1);
        q[2] = static_cast<unsigned short>(b + 2);
        q[3] = b;
        q[4] = static_cast<unsigned short>(b + 2);
        q[5] = static_cast<unsigned short>(b + 3);
    }
}

void gxtkGraphics::mark() {
    gc_mark_q(batchSurface);
    for (gxtkSurface* s : unbound) gc_mark_q(s);
    for (const MadeAhead& m : madeAhead) gc_mark_q(m.surface);
}

int gxtkGraphics::BeginRender() {
    width = height = 0;
    glfw().GetWindowSize(&width, &height);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &vertexBuffer[0].x);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &vertexBuffer[0].u);
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), &vertexBuffer[0].rgba);

    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    blendInEffect = 0;
    glDisable(GL_TEXTURE_2D);
    scissorKnown = false;  // a new context or size: apply the next scissor whatever it is

    batchCount = 0;
    drawCallsFrame = 0;
    return 1;
}

void gxtkGraphics::EndRender() {
    Flush();
    glfw().SwapBuffers();
    // The frame is out; the loop would sleep now. Textures are made, while
    // this has taken little time: first those of surfaces loaded in the
    // frame (discarded meanwhile, a surface has nothing left to upload), then
    // those of images decoded ahead. The rest wait for the next frames, or
    // for their first draw or load.
    const double start = glfw().GetTime();
    const auto busy = [&] { return glfw().GetTime() - start >= 0.003; };
    std::size_t done = 0;
    for (; done < unbound.size() && !busy(); ++done) {
        gxtkSurface* s = unbound[done];
        if (s->pixels && s->contextSeq != glfwGraphicsSeq) s->Bind();
    }
    unbound.erase(unbound.begin(), unbound.begin() + static_cast<long>(done));
    std::string file;
    unsigned char* data = nullptr;
    int w = 0, h = 0, depth = 0;
    while (!busy() && orvTakeImageIfDecoded(&file, &data, &w, &h, &depth)) {
        gxtkSurface* made = data ? new gxtkSurface() : nullptr;
        if (made) {
            made->SetPremultipliedData(data, w, h, depth);
            made->decodedAhead = true;
            made->path = String::FromUtf8(file);  // read again for a new context
            made->Bind();
        }
        gc_mark_q(made);
        madeAhead.push_back({file, made});
    }
}

void gxtkGraphics::DropMadeAhead() {
    for (const MadeAhead& m : madeAhead) {
        if (m.surface) m.surface->Discard();
    }
    madeAhead.clear();
}
gxtkSurface* gxtkGraphics::LoadSurface(String path) {
    if (!madeAhead.empty() && madeAhead.front().file == orvDecodedAheadFile(path)) {
        gxtkSurface* made = madeAhead.front().surface;
        madeAhead.pop_front();
        if (!made || made->contextSeq == glfwGraphicsSeq) {
            if (made) made->path = path;
            return made;
        }
        made->Discard();  // from a window gone since: loaded anew
    }
    gxtkSurface* surface = new gxtkSurface();
    if (!LoadSurface__UNSAFE__(surface, path)) return nullptr;
    // Its texture is made at the end of the frame, or when it is first
    // drawn if that comes sooner: a large one takes milliseconds, and the
    // load itself happens in an update.
    gc_mark_q(surface);
    unbound.push_back(surface);
    return surface;
}

gxtkSurface* gxtkGraphics::LoadSurface__UNSAFE__(gxtkSurface* surface, String path) {
    int w = 0, h = 0, depth = 0;
    unsigned char* data = nullptr;
    if (orvTakeImageDecodedAhead(path, &data, &w, &h, &depth)) {
        if (!data) return nullptr;
        surface->SetPremultipliedData(data, w, h, depth);
        surface->decodedAhead = true;
    } else {
        data = orvLoadImageFile(path, &w, &h, &depth);
        if (!data) return nullptr;
        surface->SetData(data, w, h, depth);
    }
    surface->path = path;
    return surface;
}

int gxtkGraphics::DecodeAhead(Array<String> paths) {
    std::vector<String> list;
    for (int i = 0; i < paths.Length(); ++i) list.push_back(paths[i]);
    if (orvDecodeImagesAhead(list)) DropMadeAhead();
    return 0;
}

gxtkSurface* gxtkGraphics::CreateSurface(int w, int h) {
    gxtkSurface* surface = new gxtkSurface();
    surface->width = w;
    surface->height = h;
    surface->depth = 4;
    surface->glFormat = GL_RGBA;
    surface->Bind();
    return surface;
}

int gxtkGraphics::Cls(float r, float g, float b) {
    batchCount = 0;
    glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    return 0;
}

void gxtkGraphics::UpdatePackedColor() {
    packedColor = TruncByte(colorR * alpha) | TruncByte(colorG * alpha) << 8 | TruncByte(colorB * alpha) << 16 |
                  TruncByte(255.0f * alpha) << 24;
}

int gxtkGraphics::SetAlpha(float a) {
    alpha = a;
    UpdatePackedColor();
    return 0;
}

int gxtkGraphics::SetColor(float r, float g, float b) {
    colorR = r;
    colorG = g;
    colorB = b;
    UpdatePackedColor();
    return 0;
}

int gxtkGraphics::SetBlend(int mode) {
    const int wanted = mode == 1 ? 1 : 0;
    if (wanted == blendInEffect) return 0;  // same pixels: keep the batch
    Flush();
    if (wanted == 1) {
        glBlendFunc(GL_ONE, GL_ONE);
    } else {
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    }
    blendInEffect = wanted;
    return 0;
}

int gxtkGraphics::SetScissor(int x, int y, int w, int h) {
    const bool on = !(x == 0 && y == 0 && w == Width() && h == Height());
    const int rect[4] = {x, y, w, h};
    if (scissorKnown && on == scissorOn && (!on || std::memcmp(rect, scissorRect, sizeof rect) == 0)) return 0;
    Flush();
    if (on) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(x, Height() - y - h, w, h);
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
    scissorOn = on;
    std::memcpy(scissorRect, rect, sizeof rect);
    scissorKnown = true;
    return 0;
}

int gxtkGraphics::SetMatrix(float ix_, float iy_, float jx_, float jy_, float tx_, float ty_) {
    ix = ix_;
    iy = iy_;
    jx = jx_;
    jy = jy_;
    tx = tx_;
    ty = ty_;
    transformed = !(ix == 1 && iy == 0 && jx == 0 && jy == 1 && tx == 0 && ty == 0);
    return 0;
}

gxtkGraphics::Vertex* gxtkGraphics::Begin(int type, int count, gxtkSurface* surface) {
    if (batchType == type && batchSurface == surface && batchCount + count <= kMaxVertices) {
        Vertex* v = vertexBuffer + batchCount;
        batchCount += count;
        return v;
    }
    Flush();
    batchType = type;
    batchSurface = surface;
    batchCount = count;
    return vertexBuffer;
}

void gxtkGraphics::Put(Vertex* v, float x, float y, float u, float w) const {
    if (transformed) {
        const float px = x;
        x = ix * px + jx * y + tx;
        y = iy * px + jy * y + ty;
    }
    v->x = x;
    v->y = y;
    v->u = u;
    v->v = w;
    v->rgba = packedColor;
}

void gxtkGraphics::Flush() {
    if (!batchCount) return;
    if (batchSurface) {
        glEnable(GL_TEXTURE_2D);
        batchSurface->Bind();
    }
    switch (batchType) {
        case 1:
            glDrawArrays(GL_POINTS, 0, batchCount);
            ++drawCallsFrame;
            break;
        case 2:
            glDrawArrays(GL_LINES, 0, batchCount);
            ++drawCallsFrame;
            break;
        case 3:
            glDrawArrays(GL_TRIANGLES, 0, batchCount);
            ++drawCallsFrame;
            break;
        case 4:
            glDrawElements(GL_TRIANGLES, batchCount / 4 * 6, GL_UNSIGNED_SHORT, quadIndexBuffer);
            ++drawCallsFrame;
            break;
        default:
            for (int i = 0; i < batchCount; i += batchType) {
                glDrawArrays(GL_TRIANGLE_FAN, i, batchType);
                ++drawCallsFrame;
            }
            break;
    }
    if (batchSurface) glDisable(GL_TEXTURE_2D);
    batchCount = 0;
}

int gxtkGraphics::DrawPoint(float x, float y) {
    Put(Begin(1, 1, nullptr), x, y);
    return 0;
}

int gxtkGraphics::DrawLine(float x1, float y1, float x2, float y2) {
    Vertex* v = Begin(2, 2, nullptr);
    Put(v, x1, y1);
    Put(v + 1, x2, y2);
    return 0;
}

int gxtkGraphics::DrawRect(float x, float y, float w, float h) {
    Vertex* v = Begin(4, 4, nullptr);
    Put(v, x, y);
    Put(v + 1, x + w, y);
    Put(v + 2, x + w, y + h);
    Put(v + 3, x, y + h);
    return 0;
}

int gxtkGraphics::DrawOval(float x, float y, float w, float h) {
    const float xr = w * 0.5f;
    const float yr = h * 0.5f;
    float segments;
    if (transformed) {
        segments = std::sqrt((ix * xr) * (ix * xr) + (iy * xr) * (iy * xr)) +
                   std::sqrt((jx * yr) * (jx * yr) + (jy * yr) * (jy * yr));
    } else {
        segments = std::fabs(std::trunc(xr)) + std::fabs(std::trunc(yr));
    }
    int n;
    if (!(segments >= 12.0f)) {
        n = 12;  // also catches NaN
    } else if (segments > 1024.0f) {
        n = 1024;
    } else {
        n = static_cast<int>(segments) & ~3;
    }
    Vertex* v = Begin(n, n, nullptr);
    for (int i = 0; i < n; ++i) {
        const float theta = static_cast<float>(i) * 6.2831855f / static_cast<float>(n);
        Put(v + i, x + xr + std::cos(theta) * xr, y + yr - std::sin(theta) * yr);
    }
    return 0;
}

int gxtkGraphics::DrawPoly(Array<float> verts) {
    const int n = verts.Length() / 2;
    if (n < 1 || n > kMaxVertices) return 0;
    Vertex* v = Begin(n, n, nullptr);
    for (int i = 0; i < n; ++i) Put(v + i, verts[i * 2], verts[i * 2 + 1]);
    return 0;
}

namespace {

// A surface drawn before its texture is made (loaded in this frame, or from
// another window's context) gets it now: its size there gives the texture
// coordinates.
void EnsureTexture(gxtkSurface* surface) {
    if (surface->contextSeq != glfwGraphicsSeq) surface->Bind();
}

}  // namespace

int gxtkGraphics::DrawPoly2(Array<float> verts, gxtkSurface* surface, int srcx, int srcy) {
    const int n = verts.Length() / 4;
    if (n < 1 || n > kMaxVertices) return 0;
    EnsureTexture(surface);
    Vertex* v = Begin(n, n, surface);
    for (int i = 0; i < n; ++i) {
        const float* p = &verts[i * 4];
        Put(v + i, p[0], p[1], (p[2] + static_cast<float>(srcx)) * surface->uScale,
            (p[3] + static_cast<float>(srcy)) * surface->vScale);
    }
    return 0;
}

int gxtkGraphics::DrawSurface(gxtkSurface* surface, float x, float y) {
    EnsureTexture(surface);
    const float w = static_cast<float>(surface->Width());
    const float h = static_cast<float>(surface->Height());
    const float u1 = w * surface->uScale;
    const float v1 = h * surface->vScale;
    Vertex* v = Begin(4, 4, surface);
    Put(v, x, y, 0, 0);
    Put(v + 1, x + w, y, u1, 0);
    Put(v + 2, x + w, y + h, u1, v1);
    Put(v + 3, x, y + h, 0, v1);
    return 0;
}

int gxtkGraphics::DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw, int srch) {
    EnsureTexture(surface);
    const float w = static_cast<float>(srcw);
    const float h = static_cast<float>(srch);
    const float u0 = static_cast<float>(srcx) * surface->uScale;
    const float u1 = static_cast<float>(srcx + srcw) * surface->uScale;
    const float v0 = static_cast<float>(srcy) * surface->vScale;
    const float v1 = static_cast<float>(srcy + srch) * surface->vScale;
    Vertex* v = Begin(4, 4, surface);
    Put(v, x, y, u0, v0);
    Put(v + 1, x + w, y, u1, v0);
    Put(v + 2, x + w, y + h, u1, v1);
    Put(v + 3, x, y + h, u0, v1);
    return 0;
}

int gxtkGraphics::ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) {
    Flush();
    if (!FitsArray(pixels.Length(), w, h, offset, pitch)) return 0;
    std::vector<unsigned int> block(static_cast<std::size_t>(w) * h);
    glReadPixels(x, height - y - h, w, h, GL_BGRA, GL_UNSIGNED_BYTE, block.data());
    for (int r = 0; r < h; ++r) {
        const unsigned int* row = block.data() + static_cast<std::size_t>(h - 1 - r) * w;
        for (int c = 0; c < w; ++c) pixels[offset + r * pitch + c] = static_cast<int>(row[c]);
    }
    return 0;
}

int gxtkGraphics::WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h, int offset,
                               int pitch) {
    Flush();
    if (!FitsArray(pixels.Length(), w, h, offset, pitch)) return 0;
    surface->SetSubData(x, y, w, h, reinterpret_cast<const unsigned int*>(&pixels[offset]), pitch);
    return 0;
}
