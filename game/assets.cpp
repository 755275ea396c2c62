// Image and sound slots, the staged loader behind the loading screen, sound
// effects rotating over their channels, and the streamed level music.
#include "framework/random.h"
#include "game/my_app.h"
#include "runtime/numeric.h"

namespace {

// Images drawn at twice or four times the design size have these suffixes.
String LevelSuffix(int level) {
    if (level == 4) return String("-hd2");
    if (level == 2) return String("-hd");
    return String();
}

// The images of the loader's steps, in the order it loads them; 90 is the
// font (16 x 16 cells; layout advance 7, line height 10).
struct LoaderImage {
    int step, slot;
    const char* name;
    int frameW, frameH, frames;
};
const LoaderImage kLoaderImages[] = {
    {1, 97, "common/icons", 32, 32, 16},   {2, 95, "common/Buttons", 64, 64, 16},
    {3, 94, "common/dpad", 32, 32, 16},    {4, 93, "common/QEVLLogo", 256, 256, 1},
    {5, 91, "common/Testcard_Circle", 256, 256, 1}, {6, 90, "fonts/editundo", 16, 16, 128},
    {11, 99, "menu", 256, 256, 4},         {12, 98, "logo", 256, 128, 1},
    {13, 96, "parts", 8, 8, 256},          {14, 80, "BadgesA", 64, 64, 64},
    {15, 1, "gfx", 16, 16, 256},
};

// The level a window of this size loads its images at (the resolution rule).
int LevelFor(int w, int h) {
    if (w > 1230 || h > 1230) return 4;
    if (w > 630 || h > 630) return 2;
    return 1;
}

// A slot's old image or sound goes at once: the collector counts only its
// own small objects, not the pixels and samples behind them, so those would
// pile up over reloads (a change of window size reloads every slot).
void Release(c_Image* image) {
    if (image) image->p_Discard();
}

void Release(c_Sound* sound) {
    if (sound) sound->p_Discard();
}

}  // namespace

int c_MyApp::p_ResolutionRule() {
    m_HdLevel = LevelFor(orv_graphics_DeviceWidth(), orv_graphics_DeviceHeight());
    m_ImgScale = 1.0f / static_cast<float>(m_HdLevel);
    return 0;
}

int c_MyApp::p_DecodeAhead(int withReload) {
    const String suffix = LevelSuffix(LevelFor(orv_graphics_DeviceWidth(), orv_graphics_DeviceHeight()));
    // The first load has the logo and the font first (p_Reload's own).
    const char* const reload[] = {"common/QEVLLogo", "fonts/editundo"};
    const int first = withReload ? 2 : 0;
    const int count = static_cast<int>(sizeof kLoaderImages / sizeof kLoaderImages[0]);
    Array<String> paths(first + count);
    for (int i = 0; i < first; ++i) paths[i] = String(reload[i]) + suffix + String(".png");
    for (int i = 0; i < count; ++i) paths[first + i] = String(kLoaderImages[i].name) + suffix + String(".png");
    orv_graphics_DecodeAhead(paths);
    return 0;
}

int c_MyApp::p_LoadImg(int slot, String name, int frameW, int frameH, int frames, int flags) {
    const String path = name + LevelSuffix(m_HdLevel) + String(".png");
    Release(m_Images[slot]);
    gc_assign(m_Images[slot], nullptr);
    gc_assign(m_Images[slot], orv_graphics_LoadImage2(path, frameW * m_HdLevel, frameH * m_HdLevel, frames, flags));
    m_ImgInfo[slot * 3] = frameW * m_HdLevel;
    m_ImgInfo[slot * 3 + 1] = frameH * m_HdLevel;
    m_ImgInfo[slot * 3 + 2] = frames;
    return 0;
}

int c_MyApp::p_LoadFont(int slot, String name, int advance, int height) {
    const String path = name + LevelSuffix(m_HdLevel) + String(".png");
    Release(m_Images[slot]);
    gc_assign(m_Images[slot], nullptr);
    gc_assign(m_Images[slot], orv_graphics_LoadImage2(path, 16 * m_HdLevel, 16 * m_HdLevel, 128, 1));
    m_ImgInfo[slot * 3] = advance;
    m_ImgInfo[slot * 3 + 1] = height;
    m_ImgInfo[slot * 3 + 2] = 128;
    m_Font = slot;
    return 0;
}

int c_MyApp::p_LoadSFX(int n) {
    String path("sfx/");
    if (n < 10) {
        path += String("00");
    } else if (n < 100) {
        path += String("0");
    }
    path += String(n) + String(".wav");
    // There are 100 slots: a sound numbered outside them is loaded but has
    // nowhere to go.
    const bool slot = n >= 0 && n < m_Sounds.Length();
    if (slot) {
        Release(m_Sounds[n]);
        gc_assign(m_Sounds[n], nullptr);
    }
    c_Sound* sound = orv_audio_LoadSound(path);
    if (slot) gc_assign(m_Sounds[n], sound);
    return 0;
}

int c_MyApp::p_Reload() {
    m_ClsR = m_ClsG = m_ClsB = 0;
    m_ClsA = 1;
    p_ResolutionRule();
    p_DecodeAhead(1);  // these two and the loader's images, two at a time
    p_LoadImg(img::kLoaderLogo, String("common/QEVLLogo"), 256, 256, 1, 1);
    p_LoadFont(img::kFont, String("fonts/editundo"), 7, 10);
    m_LoadStage = 1;
    return 0;
}

int c_MyApp::p_Loader() {
    p_ResolutionRule();
    for (const LoaderImage& image : kLoaderImages) {
        if (image.step != m_LoadStage) continue;
        if (image.slot == 90) {
            p_LoadFont(img::kFont, String(image.name), 7, 10);
        } else {
            p_LoadImg(image.slot, String(image.name), image.frameW, image.frameH, image.frames, 1);
        }
    }
    switch (m_LoadStage) {
        case 1:
            p_LoadSFX(sfx::kJingle);
            break;
        case 4:
            if (m_JinglePlayed == 0) {
                p_PlaySFX2(sfx::kJingle, 1.0f);
                m_JinglePlayed = 1;
            }
            break;
        case 7:
            p_LoadSFX(sfx::kSnip);
            break;
        case 8:
            p_LoadSFX(sfx::kWarp);
            break;
        case 9:
            p_LoadSFX(sfx::kBlip);
            break;
        case 10:
            p_LoadSFX(sfx::kConfirm);
            break;
        case 16:
            p_LoadSFX(sfx::kBonus);
            break;
        case 17:
            p_LoadSFX(sfx::kBounce);
            p_LoadSFX(sfx::kFanfare);
            break;
        default:
            if (m_LoadStage >= 18 && m_LoadStage <= 34) {
                // Steps 18-21 load sounds 5-8, steps 22-34 sounds 9-21.
                p_LoadSFX(m_LoadStage - 13);
            } else if (m_LoadStage < 1 || m_LoadStage > 34) {
                m_LoadStage = 0;
            }
            break;
    }
    if (m_LoadStage > 0) ++m_LoadStage;
    p_WaitStart(1);
    return 0;
}

int c_MyApp::p_WaitStart(int) {
    const float w = orv_Kemp_jscrw, h = orv_Kemp_jscrh;
    const float s = static_cast<float>(orvTrunc(w < h ? w : h));
    p_CLS2D(40, 40, 80, 1);

    const float oldSpin = m_LoadSpin;
    m_LoadSpin += 16;
    if (m_LoadSpin >= 360) m_LoadSpin -= 360;

    // Bright half ring, fading in along its length.
    m_DrawR = m_DrawG = m_DrawB = 250;
    for (m_I = 0; m_I <= 10; ++m_I) {
        const float a = oldSpin + 196 + 16 * static_cast<float>(m_I);
        m_DrawAlpha = static_cast<float>(m_I) / 10;
        p_AddCommand(-3716.0f, w / 2 + orv_math_Sin(a) * s / 4, h / 2 - orv_math_Cos(a) * s / 4, 8, 8, 0);
    }
    p_SetCol(255, 255, 0, 0.8f);
    p_Oval(w / 2, h / 2, 0.3f * s, 0.3f * s);
    p_SetCol(250, 160, 60, 0.7f);
    p_Rect(0, 0.4f * h, w, 0.2f * h);
    p_ResetDraw();
    p_DrawImg(img::kLoaderLogo, w / 2, 0.48f * h, 0);
    // Dark half ring chasing it.
    m_DrawR = m_DrawG = m_DrawB = 50;
    for (m_I = 0; m_I <= 10; ++m_I) {
        const float a = m_LoadSpin + 16 * static_cast<float>(m_I);
        m_DrawAlpha = static_cast<float>(m_I) / 10;
        p_AddCommand(-3716.0f, w / 2 + orv_math_Sin(a) * s / 4, h / 2 - orv_math_Cos(a) * s / 4, 8, 8, 0);
    }
    return 0;
}

int c_MyApp::p_PlaySFX(int n, float rate, float volume, float pan) {
    if (m_Settings[setting::kSoundMode] != 1 && m_Settings[setting::kSoundMode] != 2) return 0;
    m_SfxCursor = (m_SfxCursor + 1) % AUDIO_EFFECT_CHANNELS;
    const int channel = m_ChanOrder[m_SfxCursor];
    orv_audio_StopChannel(channel);
    if (n >= 0 && n < m_Sounds.Length() && m_Sounds[n]) orv_audio_PlaySound(m_Sounds[n], channel, 0);
    orv_audio_SetChannelRate(channel, rate);
    orv_audio_SetChannelVolume(channel, volume);
    orv_audio_SetChannelPan(channel, pan);
    return 0;
}

int c_MyApp::p_PlaySFX2(int n, float volume) { return p_PlaySFX(n, 1.0f, volume, 0.0f); }

int c_MyApp::p_PlayTune(String name, int flags) {
    if (orv_Kemp_HasMusicStream == 0) return 0;  // the music player has the music
    const String path = String("sfx/") + name + String(".ogg");
    if (m_StreamPlaying == 1) {
        orv_audio_StopMusic();
        m_StreamPlaying = 0;
    }
    if (m_Settings[setting::kSoundMode] == 1 || m_Settings[setting::kSoundMode] == 3) {
        orv_audio_PlayMusic(path, flags);
        m_StreamPlaying = 1;
    }
    return 0;
}

int c_MyApp::p_StopTune() {
    orv_audio_StopMusic();
    m_StreamPlaying = 0;
    return 0;
}
