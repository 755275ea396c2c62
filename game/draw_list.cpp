// The virtual screen and the draw list. Screens never draw while they update:
// they append fixed-size commands stamped with the current draw state, and
// every render replays the list, scaled from the virtual screen to the window.
#include "framework/random.h"
#include "framework/window.h"
#include "game/my_app.h"
#include "runtime/numeric.h"

namespace {

// Command record: 15 floats. Fields 8, 9 and 14 are never written.
enum : int {
    kKind = 0,
    kX = 1,
    kY = 2,
    kRot = 3,
    kSizeX = 4,
    kSizeY = 5,
    kFrame = 6,
    kAlpha = 7,
    kRed = 10,
    kGreen = 11,
    kBlue = 12,
    kBlend = 13,
    kRecord = 15,
    kListFloats = 37500
};
const float kRectKind = -3717.0f;
const float kOvalKind = -3716.0f;

// Kerning of the text font: how much wider or narrower than the advance.
int Kern(int c) {
    switch (c) {
        case 'w':
        case 'm':
            return 2;
        case 'W':
        case 'M':
            return 1;
        case 'i':
        case 'f':
        case 'l':
            return -3;
        case 'j':
        case 's':
        case 'k':
        case 'r':
        case 'z':
        case 't':
        case 'n':
            return -1;
        default:
            return 0;
    }
}

// A frame the image does not have draws nothing, like an empty slot (a
// one-frame image that covers its surface ignores the frame number).
bool HasFrame(c_Image* image, int frame) {
    if (image->m_Flags & c_Image::FullFrame) return true;
    return frame >= 0 && frame < image->p_Frames();
}

}  // namespace

int c_MyApp::p_ResetDraw() {
    m_DrawSizeX = 1;
    m_DrawSizeY = 1;
    m_DrawRot = 0;
    m_DrawR = m_DrawG = m_DrawB = 255;
    m_DrawAlpha = 1;
    m_DrawBlend = 1;
    return 0;
}

int c_MyApp::p_CLS2D(float r, float g, float b, float a) {
    m_ViewX = 0;
    m_ViewY = 0;
    m_ViewW = orvTrunc(orv_Kemp_jscrw);
    m_ViewH = orvTrunc(orv_Kemp_jscrh);
    if (r > kAbsent) {
        m_ClsR = r;
        m_ClsG = g;
        m_ClsB = b;
        m_ClsA = a;
    }
    p_ResetDraw();
    m_DrawCount = 0;
    return 0;
}

int c_MyApp::p_SetSize(float sx, float sy) {
    m_DrawSizeX = sx;
    m_DrawSizeY = sy > kAbsent ? sy : sx;
    return 0;
}

int c_MyApp::p_SetRot(float angle) {
    m_DrawRot = -angle;
    return 0;
}

int c_MyApp::p_SetCol(float r, float g, float b, float a) {
    m_DrawR = r;
    m_DrawG = g;
    m_DrawB = b;
    if (a > kAbsent) m_DrawAlpha = a;
    return 0;
}

int c_MyApp::p_Alpha(float a) {
    m_DrawAlpha = a;
    return 0;
}

int c_MyApp::p_AddCommand(float kind, float x, float y, float sizeX, float sizeY, float frame) {
    if (m_DrawCount >= kListFloats - kRecord) return 0;
    float* c = &m_DrawList[m_DrawCount];
    c[kKind] = kind;
    c[kX] = x;
    c[kY] = y;
    c[kRot] = m_DrawRot;
    c[kSizeX] = sizeX;
    c[kSizeY] = sizeY;
    c[kFrame] = frame;
    c[kAlpha] = m_DrawAlpha;
    c[kRed] = m_DrawR;
    c[kGreen] = m_DrawG;
    c[kBlue] = m_DrawB;
    c[kBlend] = static_cast<float>(m_DrawBlend);
    m_DrawCount += kRecord;
    return 0;
}

int c_MyApp::p_DrawImg(int slot, float x, float y, float frame) {
    return p_AddCommand(static_cast<float>(slot), x, y, m_DrawSizeX, m_DrawSizeY, frame);
}

int c_MyApp::p_Rect(float x, float y, float w, float h) { return p_AddCommand(kRectKind, x, y, w, h, 0); }

int c_MyApp::p_Oval(float x, float y, float rx, float ry) { return p_AddCommand(kOvalKind, x, y, rx, ry, 0); }

int c_MyApp::p_Text(float x, float y, String text, float alignX, float alignY) {
    const int font = m_Font;
    const int advance = m_ImgInfo[font * 3];
    const int lineHeight = m_ImgInfo[font * 3 + 1];
    // The appended space lets the line-break look-ahead always see a next
    // character; it is the one string a text allocates.
    static const String space(" ");
    const String shown = text + space;

    float width = 0;
    for (int i = 0; i < text.Length(); ++i) {
        width = static_cast<float>(orvTrunc(width + static_cast<float>(Kern(text[i]) + advance) * m_DrawSizeX));
    }

    const float theta = -m_DrawRot;
    const float cosT = orv_math_Cos(theta);
    const float sinT = orv_math_Sin(theta);
    const float hh = static_cast<float>(lineHeight) * m_DrawSizeY;
    const float v = (alignY - 1) * 0.5f;
    const float x0 = x - cosT * width * 0.5f * alignX + sinT * hh * v;
    const float y0 = y - sinT * width * 0.5f * alignX - cosT * hh * v;

    float px = x0, py = y0;
    int lines = 0;
    for (int i = 0; i < shown.Length(); ++i) {
        const int c = shown[i];
        if (c == '\\' && shown[i + 1] == 'n') {
            ++i;
            ++lines;
            const float d = static_cast<float>(lines) * static_cast<float>(lineHeight) * m_DrawSizeY;
            px = x0 - sinT * d;
            py = y0 + cosT * d;
            continue;
        }
        if (c >= 33 && c <= 159) p_DrawImg(font, px, py, static_cast<float>(c - 32));
        if (c != 0) {
            const float d = static_cast<float>(Kern(c) + advance) * m_DrawSizeX;
            px += cosT * d;
            py += sinT * d;
        }
    }
    return 0;
}

String c_MyApp::p_rstr(int width, int value, String pad) {
    if (width <= 0) return String();
    String s;
    for (int i = 0; i <= width; ++i) s += pad;
    s += String(value);
    if (s.Length() <= width) return s;
    return s.Slice(s.Length() - width);
}

String c_MyApp::p_rstr2(int value, String pad) { return p_rstr(11, value, pad); }

int c_MyApp::p_FullscreenFlip() {
    OrvGlfwVideoMode* desktop = orv_app_GetDesktopMode();
    m_Fullscreen = 1 - m_Fullscreen;
    int failed;
    if (m_Fullscreen == 1) {
        failed = orv_app_SetWindow(desktop->width, desktop->height, desktop->red, desktop->green, desktop->blue, 0, 0,
                                   0, true);
    } else {
        failed = orv_app_SetWindow(640, 480, desktop->red, desktop->green, desktop->blue, 0, 0, 0, false);
    }
    if (failed) m_Fullscreen = 1 - m_Fullscreen;  // still in the mode it had
    return 0;
}

int c_MyApp::p_VirtualScreen() {
    const float w = static_cast<float>(orv_graphics_DeviceWidth());
    const float h = static_cast<float>(orv_graphics_DeviceHeight());
    const float ov = orv_Kemp_overscan;
    m_ScaleX = (w - 2 * ov) / orv_Kemp_rawscrw;
    m_ScaleY = (h - 2 * ov) / orv_Kemp_rawscrh;
    float f;
    if (m_ScaleY <= m_ScaleX) {
        m_FitAxis = 1;
        m_ScaleY = m_ScaleX;
        f = w / orv_Kemp_rawscrw;
    } else {
        m_FitAxis = 2;
        m_ScaleX = m_ScaleY;
        f = h / orv_Kemp_rawscrh;
    }
    orv_Kemp_jscrw = w / f;
    orv_Kemp_jscrh = h / f;
    m_Landscape = orv_Kemp_jscrw >= orv_Kemp_jscrh ? 1 : 0;
    return 0;
}

int c_MyApp::p_Replay() {
    const float sx = m_ScaleX, sy = m_ScaleY;
    const float ov = orv_Kemp_overscan;
    const float oy =
        ov * static_cast<float>(orv_graphics_DeviceHeight()) / static_cast<float>(orv_graphics_DeviceWidth());
    for (m_I = 0; m_I < m_DrawCount - 14; m_I += kRecord) {
        const float* c = &m_DrawList[m_I];
        orv_graphics_SetAlpha(c[kAlpha]);
        orv_graphics_SetColor(c[kRed], c[kGreen], c[kBlue]);
        // Straight to the mode the command wants: passing through alpha
        // blending first would end the batch of every additive command.
        orv_graphics_SetBlend(c[kBlend] == 3 ? 1 : 0);
        const float kind = c[kKind];
        const float x = c[kX] * sx + ov, y = c[kY] * sy + oy;
        if (kind == kRectKind) {
            orv_graphics_DrawRect(x, y, c[kSizeX] * sx, c[kSizeY] * sy);
        } else if (kind == kOvalKind) {
            orv_graphics_DrawEllipse(x, y, c[kSizeX] * sx, c[kSizeY] * sy);
        } else if (kind > -1) {
            const int slot = orvTrunc(kind);
            const int frame = orvTrunc(c[kFrame]);
            c_Image* image = slot < m_Images.Length() ? m_Images[slot] : nullptr;
            if (image && HasFrame(image, frame)) {
                orv_graphics_DrawImage2(image, x, y, c[kRot], c[kSizeX] * sx * m_ImgScale, c[kSizeY] * sy * m_ImgScale,
                                        frame);
            }
        }
    }
    return 0;
}
