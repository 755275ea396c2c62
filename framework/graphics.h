// The drawing functions of the framework and its images. The drawing state
// lives in one context; the matrix reaches the renderer only when something
// is drawn after it changed.
#pragma once
#include "host/renderer.h"
#include "runtime/array.h"
#include "runtime/object.h"

class c_Frame : public Object {
public:
    c_Frame* m_new(int x, int y) {
        m_X = x;
        m_Y = y;
        return this;
    }
    int m_X = 0, m_Y = 0;
};

class c_Image : public Object {
public:
    enum : int { MidHandle = 1, XPadding = 2, YPadding = 4, XYPadding = 6, FullFrame = 65536 };
    static int m_DefaultFlags;

    c_Image* m_new() { return this; }
    void mark() override;
    c_Image* p_Init(gxtkSurface* surface, int frameCount, int flags);
    c_Image* p_Init2(gxtkSurface* surface, int x, int y, int width, int height, int frameCount, int flags,
                     c_Image* source, int srcx, int srcy, int srcw, int srch);
    int p_ApplyFlags(int flags);
    int p_SetHandle(float x, float y);
    int p_Frames() { return m_Frames.Length(); }
    // Gives back the pixels and texture at once instead of when the
    // collector gets to the image; an image sharing another's surface
    // leaves it alone.
    int p_Discard();

    gxtkSurface* m_Surface = nullptr;
    int m_Width = 0, m_Height = 0;
    Array<c_Frame*> m_Frames;
    int m_Flags = 0;
    float m_HandleX = 0, m_HandleY = 0;
    c_Image* m_Source = nullptr;
};

class c_GraphicsContext : public Object {
public:
    c_GraphicsContext* m_new();
    void mark() override;
    int p_Validate();

    c_Image* m_DefaultFont = nullptr;
    c_Image* m_Font = nullptr;
    int m_FirstChar = 0;
    int m_MatrixSp = 0;
    float m_Ix = 1, m_Iy = 0, m_Jx = 0, m_Jy = 1, m_Tx = 0, m_Ty = 0;
    int m_MatrixDirty = 0;
    float m_ColorR = 0, m_ColorG = 0, m_ColorB = 0, m_Alpha = 0;
    int m_Blend = 0;
    float m_ScissorX = 0, m_ScissorY = 0, m_ScissorW = 0, m_ScissorH = 0;
    Array<float> m_MatrixStack;
};

extern gxtkGraphics* orv_graphics_device;
extern c_GraphicsContext* orv_graphics_context;
extern gxtkGraphics* orv_graphics_renderDevice;

c_Image* orv_graphics_LoadImage(String path, int frameCount, int flags);
c_Image* orv_graphics_LoadImage2(String path, int frameWidth, int frameHeight, int frameCount, int flags);
// Images the program will load next, in the order it will load them: they
// are decoded ahead, off the updates that load them.
int orv_graphics_DecodeAhead(Array<String> paths);
int orv_graphics_SetFont(c_Image* font, int firstChar);
int orv_graphics_SetGraphicsDevice(gxtkGraphics* device);
int orv_graphics_BeginRender();
int orv_graphics_EndRender();
int orv_graphics_DeviceWidth();
int orv_graphics_DeviceHeight();
int orv_graphics_SetColor(float r, float g, float b);
int orv_graphics_SetAlpha(float a);
int orv_graphics_SetBlend(int mode);
int orv_graphics_SetScissor(float x, float y, float w, float h);
int orv_graphics_Cls(float r, float g, float b);
int orv_graphics_SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
int orv_graphics_SetMatrix2(Array<float> m);
int orv_graphics_Transform(float a, float b, float c, float d, float e, float f);
int orv_graphics_Transform2(Array<float> m);
int orv_graphics_Translate(float x, float y);
int orv_graphics_Scale(float x, float y);
int orv_graphics_Rotate(float angle);
int orv_graphics_PushMatrix();
int orv_graphics_PopMatrix();
int orv_graphics_DrawRect(float x, float y, float w, float h);
int orv_graphics_DrawLine(float x1, float y1, float x2, float y2);
int orv_graphics_DrawEllipse(float x, float y, float xr, float yr);
int orv_graphics_DrawImage(c_Image* image, float x, float y, int frame);
int orv_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX, float scaleY, int frame);
int orv_graphics_ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch);

void orvInitGraphics();
void orvMarkGraphicsRoots();
