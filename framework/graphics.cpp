#include "framework/graphics.h"

#include <cmath>

#include "framework/data.h"
#include "runtime/diagnostics.h"

gxtkGraphics* orv_graphics_device = nullptr;
c_GraphicsContext* orv_graphics_context = nullptr;
gxtkGraphics* orv_graphics_renderDevice = nullptr;
int c_Image::m_DefaultFlags = 0;

void orvInitGraphics() {
    orv_graphics_device = nullptr;
    gc_assign(orv_graphics_context, (new c_GraphicsContext())->m_new());
    orv_graphics_renderDevice = nullptr;
    c_Image::m_DefaultFlags = 0;
}

void orvMarkGraphicsRoots() {
    gc_mark_q(orv_graphics_device);
    gc_mark_q(orv_graphics_context);
    gc_mark_q(orv_graphics_renderDevice);
}

// ---- images

void c_Image::mark() {
    gc_mark_q(m_Surface);
    gc_mark_q(m_Frames.rep);
    gc_mark_q(m_Source);
}

int c_Image::p_Discard() {
    if (m_Surface && !m_Source) m_Surface->Discard();  // drawn again, it is blank
    return 0;
}

c_Image* c_Image::p_Init(gxtkSurface* surface, int frameCount, int flags) {
    if (frameCount < 1) frameCount = 1;  // a strip of no frames would divide by zero
    gc_assign(m_Surface, surface);
    m_Width = surface->Width() / frameCount;
    m_Height = surface->Height();
    gc_assign(m_Frames, Array<c_Frame*>(frameCount));
    for (int i = 0; i < frameCount; ++i) gc_assign(m_Frames[i], (new c_Frame())->m_new(i * m_Width, 0));
    p_ApplyFlags(flags);
    return this;
}

c_Image* c_Image::p_Init2(gxtkSurface* surface, int x, int y, int width, int height, int frameCount, int flags,
                          c_Image* source, int srcx, int srcy, int srcw, int srch) {
    gc_assign(m_Surface, surface);
    gc_assign(m_Source, source);
    m_Width = width;
    m_Height = height;
    gc_assign(m_Frames, Array<c_Frame*>(frameCount));
    for (int i = 0; i < frameCount; ++i) {
        if (x + width > srcw) {
            y += height;
            if (width <= srcw) {
                x = 0;
            } else {
                orvError(String("Image frame outside surface"));
            }
        }
        if (y + height > srch) orvError(String("Image frame outside surface"));
        gc_assign(m_Frames[i], (new c_Frame())->m_new(x + srcx, y + srcy));
        x += width;
    }
    p_ApplyFlags(flags);
    return this;
}

int c_Image::p_ApplyFlags(int flags) {
    m_Flags = flags;
    if (flags & XPadding) {
        for (c_Frame* f : m_Frames) f->m_X += 1;
        m_Width -= 2;
    }
    if (flags & YPadding) {
        for (c_Frame* f : m_Frames) f->m_Y += 1;
        m_Height -= 2;
    }
    if (flags & MidHandle) {
        m_Flags = flags & ~MidHandle;
        m_HandleX = static_cast<float>(m_Width) * 0.5f;
        m_HandleY = static_cast<float>(m_Height) * 0.5f;
    }
    if (m_Frames.Length() == 1 && m_Frames[0]->m_X == 0 && m_Frames[0]->m_Y == 0 &&
        m_Width == m_Surface->Width() && m_Height == m_Surface->Height()) {
        m_Flags |= FullFrame;
    }
    return 0;
}

int c_Image::p_SetHandle(float x, float y) {
    m_HandleX = x;
    m_HandleY = y;
    m_Flags &= ~MidHandle;
    return 0;
}

c_Image* orv_graphics_LoadImage(String path, int frameCount, int flags) {
    gxtkSurface* surface = orv_graphics_device->LoadSurface(orv_data_FixDataPath(path));
    if (!surface) return nullptr;
    return (new c_Image())->m_new()->p_Init(surface, frameCount, flags);
}

c_Image* orv_graphics_LoadImage2(String path, int frameWidth, int frameHeight, int frameCount, int flags) {
    gxtkSurface* surface = orv_graphics_device->LoadSurface(orv_data_FixDataPath(path));
    if (!surface) return nullptr;
    return (new c_Image())->m_new()->p_Init2(surface, 0, 0, frameWidth, frameHeight, frameCount, flags, nullptr, 0,
                                             0, surface->Width(), surface->Height());
}

int orv_graphics_DecodeAhead(Array<String> paths) {
    Array<String> fixed(paths.Length());
    for (int i = 0; i < paths.Length(); ++i) fixed[i] = orv_data_FixDataPath(paths[i]);
    return orv_graphics_device->DecodeAhead(fixed);
}

int orv_graphics_SetFont(c_Image* font, int firstChar) {
    c_GraphicsContext* context = orv_graphics_context;
    if (!font) {
        if (!context->m_DefaultFont) {
            gc_assign(context->m_DefaultFont, orv_graphics_LoadImage(String("trel_font.png"), 96, c_Image::XPadding));
        }
        font = context->m_DefaultFont;
        firstChar = 32;
        if (!font) {
            context->m_Font = nullptr;
            context->m_FirstChar = 32;
            return 0;
        }
    }
    gc_assign(context->m_Font, font);
    context->m_FirstChar = firstChar;
    return 0;
}

// ---- context and frame

c_GraphicsContext* c_GraphicsContext::m_new() {
    gc_assign(m_MatrixStack, Array<float>(192));
    return this;
}

void c_GraphicsContext::mark() {
    gc_mark_q(m_DefaultFont);
    gc_mark_q(m_Font);
    gc_mark_q(m_MatrixStack.rep);
}

int c_GraphicsContext::p_Validate() {
    if (m_MatrixDirty) {
        orv_graphics_renderDevice->SetMatrix(m_Ix, m_Iy, m_Jx, m_Jy, m_Tx, m_Ty);
        m_MatrixDirty = 0;
    }
    return 0;
}

int orv_graphics_SetGraphicsDevice(gxtkGraphics* device) {
    gc_assign(orv_graphics_device, device);
    return 0;
}

int orv_graphics_BeginRender() {
    gc_assign(orv_graphics_renderDevice, orv_graphics_device);
    c_GraphicsContext* c = orv_graphics_context;
    c->m_MatrixSp = 0;
    orv_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
    orv_graphics_SetColor(255, 255, 255);
    orv_graphics_SetAlpha(1);
    orv_graphics_SetBlend(0);
    orv_graphics_SetScissor(0, 0, static_cast<float>(orv_graphics_DeviceWidth()),
                            static_cast<float>(orv_graphics_DeviceHeight()));
    return 0;
}

int orv_graphics_EndRender() {
    orv_graphics_renderDevice = nullptr;
    return 0;
}

int orv_graphics_DeviceWidth() { return orv_graphics_device->Width(); }

int orv_graphics_DeviceHeight() { return orv_graphics_device->Height(); }

int orv_graphics_SetColor(float r, float g, float b) {
    c_GraphicsContext* c = orv_graphics_context;
    c->m_ColorR = r;
    c->m_ColorG = g;
    c->m_ColorB = b;
    return orv_graphics_renderDevice->SetColor(r, g, b);
}

int orv_graphics_SetAlpha(float a) {
    orv_graphics_context->m_Alpha = a;
    return orv_graphics_renderDevice->SetAlpha(a);
}

int orv_graphics_SetBlend(int mode) {
    orv_graphics_context->m_Blend = mode;
    return orv_graphics_renderDevice->SetBlend(mode);
}

namespace {

// Truncation toward zero that stays defined for values out of int range.
int TruncInt(float f) {
    if (!(f > -2147483648.0f && f < 2147483648.0f)) return 0;
    return static_cast<int>(f);
}

}  // namespace

int orv_graphics_SetScissor(float x, float y, float w, float h) {
    c_GraphicsContext* c = orv_graphics_context;
    c->m_ScissorX = x;
    c->m_ScissorY = y;
    c->m_ScissorW = w;
    c->m_ScissorH = h;
    return orv_graphics_renderDevice->SetScissor(TruncInt(x), TruncInt(y), TruncInt(w), TruncInt(h));
}

int orv_graphics_Cls(float r, float g, float b) { return orv_graphics_renderDevice->Cls(r, g, b); }

// ---- matrix

int orv_graphics_SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) {
    c_GraphicsContext* c = orv_graphics_context;
    c->m_Ix = ix;
    c->m_Iy = iy;
    c->m_Jx = jx;
    c->m_Jy = jy;
    c->m_Tx = tx;
    c->m_Ty = ty;
    c->m_MatrixDirty = 1;
    return 0;
}

int orv_graphics_SetMatrix2(Array<float> m) { return orv_graphics_SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]); }

int orv_graphics_Transform(float a, float b, float c, float d, float e, float f) {
    c_GraphicsContext* g = orv_graphics_context;
    const float ix = g->m_Ix * a + g->m_Jx * b;
    const float iy = g->m_Iy * a + g->m_Jy * b;
    const float jx = g->m_Ix * c + g->m_Jx * d;
    const float jy = g->m_Iy * c + g->m_Jy * d;
    const float tx = g->m_Ix * e + g->m_Jx * f + g->m_Tx;
    const float ty = g->m_Iy * e + g->m_Jy * f + g->m_Ty;
    return orv_graphics_SetMatrix(ix, iy, jx, jy, tx, ty);
}

int orv_graphics_Transform2(Array<float> m) { return orv_graphics_Transform(m[0], m[1], m[2], m[3], m[4], m[5]); }

int orv_graphics_Translate(float x, float y) { return orv_graphics_Transform(1, 0, 0, 1, x, y); }

int orv_graphics_Scale(float x, float y) { return orv_graphics_Transform(x, 0, 0, y, 0, 0); }

int orv_graphics_Rotate(float angle) {
    const float r = angle * 0.017453292f;
    const float c = static_cast<float>(std::cos(static_cast<double>(r)));
    const float s = static_cast<float>(std::sin(static_cast<double>(r)));
    return orv_graphics_Transform(c, -s, s, c, 0, 0);
}

int orv_graphics_PushMatrix() {
    c_GraphicsContext* c = orv_graphics_context;
    if (c->m_MatrixSp + 6 > c->m_MatrixStack.Length()) return 0;  // deeper than 32: not saved
    float* top = &c->m_MatrixStack[c->m_MatrixSp];
    top[0] = c->m_Ix;
    top[1] = c->m_Iy;
    top[2] = c->m_Jx;
    top[3] = c->m_Jy;
    top[4] = c->m_Tx;
    top[5] = c->m_Ty;
    c->m_MatrixSp += 6;
    return 0;
}

int orv_graphics_PopMatrix() {
    c_GraphicsContext* c = orv_graphics_context;
    if (c->m_MatrixSp < 6) return 0;  // nothing saved
    c->m_MatrixSp -= 6;
    const float* top = &c->m_MatrixStack[c->m_MatrixSp];
    return orv_graphics_SetMatrix(top[0], top[1], top[2], top[3], top[4], top[5]);
}

// ---- drawing

int orv_graphics_DrawRect(float x, float y, float w, float h) {
    orv_graphics_context->p_Validate();
    return orv_graphics_renderDevice->DrawRect(x, y, w, h);
}

int orv_graphics_DrawLine(float x1, float y1, float x2, float y2) {
    orv_graphics_context->p_Validate();
    return orv_graphics_renderDevice->DrawLine(x1, y1, x2, y2);
}

int orv_graphics_DrawEllipse(float x, float y, float xr, float yr) {
    orv_graphics_context->p_Validate();
    return orv_graphics_renderDevice->DrawOval(x - xr, y - yr, xr * 2.0f, yr * 2.0f);
}

namespace {

// Draws one frame with its top-left corner at (x, y).
int DrawFrame(c_Image* image, float x, float y, int frame) {
    if (image->m_Flags & c_Image::FullFrame) return orv_graphics_renderDevice->DrawSurface(image->m_Surface, x, y);
    if (frame < 0 || frame >= image->m_Frames.Length()) return 0;  // no such frame: nothing to draw
    c_Frame* f = image->m_Frames[frame];
    return orv_graphics_renderDevice->DrawSurface2(image->m_Surface, x, y, f->m_X, f->m_Y, image->m_Width,
                                                   image->m_Height);
}

}  // namespace

int orv_graphics_DrawImage(c_Image* image, float x, float y, int frame) {
    orv_graphics_context->p_Validate();
    return DrawFrame(image, x - image->m_HandleX, y - image->m_HandleY, frame);
}

int orv_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX, float scaleY,
                            int frame) {
    orv_graphics_PushMatrix();
    orv_graphics_Translate(x, y);
    orv_graphics_Rotate(rotation);
    orv_graphics_Scale(scaleX, scaleY);
    orv_graphics_Translate(-image->m_HandleX, -image->m_HandleY);
    orv_graphics_context->p_Validate();
    DrawFrame(image, 0, 0, frame);
    orv_graphics_PopMatrix();
    return 0;
}

int orv_graphics_ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) {
    if (!pitch) pitch = w;
    orv_graphics_context->p_Validate();
    return orv_graphics_renderDevice->ReadPixels(pixels, x, y, w, h, offset, pitch);
}
