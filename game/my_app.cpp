// The game object's life cycle: creation, the per-update dispatch of screens
// and overlays, the render that replays the picture, suspend and resume.
#include "game/my_app.h"

#include <cstdint>

#include "framework/input.h"
#include "runtime/numeric.h"

float orv_Kemp_rawscrw = 640;
float orv_Kemp_rawscrh = 480;
float orv_Kemp_jscrw = 640;
float orv_Kemp_jscrh = 480;
float orv_Kemp_overscan = 0;
int orv_Kemp_isOuya = 0;
int orv_Kemp_HasMusic = 0;
int orv_Kemp_HasMusicStream = 1;
int orv_Kemp_iCadeControls = 0;
int orv_Kemp_OnScreenControls = 0;
int orv_Kemp_AccelerometerControls = 0;
int orv_Kemp_DebugMode = 0;
Array<String> orv_Kemp_CreditText;

namespace {

// The credits box scrolls these lines, wrapping after the last.
const char* const kCreditLines[49] = {
    "Vellumby",
    "",
    "-=-=-",
    "A Game by",
    "The Vellumby Team",
    "",
    "Design and Code",
    "The Vellumby Team",
    "",
    "Graphics",
    "Drawn by our own",
    "picture generator",
    "",
    "Audio",
    "Effects and music",
    "made by our own",
    "synthesiser",
    "",
    "-=-=-",
    "Built with",
    "GLFW",
    "OpenGL",
    "OpenAL Soft",
    "stb_image",
    "Ogg Vorbis (libvorbis)",
    "",
    "-=-=-",
    "Thanks to",
    "Everyone who plays",
    "and everyone who",
    "tests the game",
    "",
    "-=-=-",
    "How to play",
    "Cut hedges: 5 points",
    "Find the hidden items",
    "and throw the ball",
    "at the enemies",
    "When the home opens,",
    "walk in to finish",
    "the level",
    "",
    "-=-=-",
    "Thank you",
    "for playing!",
    "",
    "End",
    "",
    "",
};

int ElapsedMs(int now, int last) {
    // The millisecond clock wraps like the language's Int.
    return static_cast<int>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(last));
}

}  // namespace

void orvMarkGameRoots() {
    orvMarkFrameworkRoots();
    gc_mark_q(orv_Kemp_CreditText.rep);
}

void orvInit() {
    orvInitFramework();
    orv_Kemp_rawscrw = 640;
    orv_Kemp_rawscrh = 480;
    orv_Kemp_jscrw = 640;
    orv_Kemp_jscrh = 480;
    orv_Kemp_overscan = 0;
    orv_Kemp_isOuya = 0;
#ifdef ORV_HAS_MUSIC
    // The procedural player plays the level music; the Ogg stays silent.
    orv_Kemp_HasMusic = 1;
    orv_Kemp_HasMusicStream = 0;
#else
    orv_Kemp_HasMusic = 0;
    orv_Kemp_HasMusicStream = 1;
#endif
    orv_Kemp_iCadeControls = 0;
    // From the device, once: a phone's or tablet's on-screen pad and tilt.
    orv_Kemp_OnScreenControls = orv_input_TouchIsMain();
    orv_Kemp_AccelerometerControls = orv_input_HasTilt();
    orv_Kemp_DebugMode = 0;
    Array<String> credits(49);
    for (int i = 0; i < 49; ++i) credits[i] = String(kCreditLines[i]);
    gc_assign(orv_Kemp_CreditText, credits);
    gc_roots = orvMarkGameRoots;
}

int orvMain() {
    (new c_MyApp())->m_new();
    return 0;
}

c_MyApp::c_MyApp() {
    gc_assign(m_Music, (new c_QnPlayer())->m_new());
    gc_assign(m_DrawList, Array<float>(37500));
    gc_assign(m_VPad, Array<int>(20));
    gc_assign(m_TouchDown, Array<int>(10));
    gc_assign(m_TouchX, Array<int>(10));
    gc_assign(m_TouchY, Array<int>(10));
    gc_assign(m_Images, Array<c_Image*>(100));
    gc_assign(m_ImgInfo, Array<int>(300));
    gc_assign(m_Sounds, Array<c_Sound*>(100));
    gc_assign(m_ChanOrder, Array<int>(33));
    gc_assign(m_Settings, Array<int>(25));
    gc_assign(m_Scores, Array<int>(150));
    gc_assign(m_BadgeGot, Array<bool>(256));
    gc_assign(m_BadgePopId, Array<int>(15));
    gc_assign(m_BadgePopTime, Array<int>(15));
    gc_assign(m_Garden, Array<int>(10240));
    gc_assign(m_Player, Array<float>(512));
    gc_assign(m_Enemies, Array<float>(100));
    gc_assign(m_Particles, Array<float>(5100));
    gc_assign(m_Stars, Array<float>(5100));
}

c_MyApp* c_MyApp::m_new() {
    c_App::m_new();
    return this;
}

void c_MyApp::mark() {
    gc_mark_q(m_Music);
    gc_mark_q(m_DrawList.rep);
    gc_mark_q(m_VPad.rep);
    gc_mark_q(m_TouchDown.rep);
    gc_mark_q(m_TouchX.rep);
    gc_mark_q(m_TouchY.rep);
    gc_mark_q(m_Images.rep);
    gc_mark_q(m_ImgInfo.rep);
    gc_mark_q(m_Sounds.rep);
    gc_mark_q(m_ChanOrder.rep);
    gc_mark_q(m_Settings.rep);
    gc_mark_q(m_Scores.rep);
    gc_mark_q(m_BadgeGot.rep);
    gc_mark_q(m_BadgePopId.rep);
    gc_mark_q(m_BadgePopTime.rep);
    gc_mark_q(m_Garden.rep);
    gc_mark_q(m_Player.rep);
    gc_mark_q(m_Enemies.rep);
    gc_mark_q(m_Particles.rep);
    gc_mark_q(m_Stars.rep);
}

int c_MyApp::p_OnCreate() {
    if (orv_Kemp_isOuya == 1) orv_Kemp_overscan = 64.0f;
    m_Fullscreen = 0;
    m_JinglePlayed = 0;
    m_Mode = screen::kTitle;
    orv_app_SetUpdateRate(60);
    m_LastWidth = orv_graphics_DeviceWidth();
    m_LastHeight = orv_graphics_DeviceHeight();
    if (orv_Kemp_HasMusic == 1) m_Music->p_Qn_Init(AUDIO_STREAM_CHANNEL, 4, 3, 3, 4);
    m_AccelZeroX = 0;
    m_AccelZeroY = 0;
    p_Reload();
    m_GameType = 2;
    m_MenuSlide = -32;
    m_Paused = 0;
    m_PauseOpen = -1;
    m_PauseY = -64;
    for (m_I = 0; m_I < 15; ++m_I) {
        m_BadgePopId[m_I] = 0;
        m_BadgePopTime[m_I] = 0;
    }
    for (m_I = 0; m_I < 128; ++m_I) m_BadgeGot[m_I] = false;
    for (m_I = 0; m_I <= 18; ++m_I) m_VPad[m_I] = 0;
    for (m_I = 0; m_I < 25; ++m_I) m_Settings[m_I] = 0;
    m_Settings[setting::kSoundMode] = 1;
    for (m_I = 0; m_I <= 30; ++m_I) m_Scores[m_I] = 0;
    p_Load();
    for (m_I = 0; m_I < AUDIO_CHANNELS; ++m_I) m_ChanOrder[m_I] = m_I;
    return 0;
}

int c_MyApp::p_OnUpdate() {
    // 1-4: back button, full screen, quitting, debug switches.
    if (orv_Kemp_isOuya == 0) {
        m_VPad[19] = orv_input_KeyHit(KEY_BACK);
    } else {
        m_VPad[19] = orv_input_KeyHit(KEY_JOY0 + 14) ? 1 : 0;
    }
    if (orv_input_KeyHit(KEY_F11)) p_FullscreenFlip();
    if (orv_input_KeyHit(KEY_F4) || orv_input_KeyHit(KEY_CLOSE)) orv_app_EndApp();
    if (orv_input_KeyHit(KEY_F1)) orv_Kemp_DebugMode = 1 - orv_Kemp_DebugMode;
    if (orv_input_KeyHit(KEY_F2)) m_DebugShow = 1 - m_DebugShow;

    // 5-8: async events, the streamed music following the pause, the rate.
    orv_asyncevent_UpdateAsyncEvents();
    if (orv_Kemp_HasMusicStream == 1 && m_StreamPlaying == 1) {
        if (m_Paused != 0) {
            orv_audio_PauseMusic();
        } else {
            orv_audio_ResumeMusic();
        }
    }
    const int now = orv_app_Millisecs();
    if (ElapsedMs(now, m_UpdLastMs) > 0) {
        m_UpdFps = 1000 / ElapsedMs(now, m_UpdLastMs);
        m_UpdFpsAvg = (m_UpdFpsAvg * 9 + m_UpdFps) / 10;
        m_UpdLastMs = now;
    }
    if (orv_Kemp_HasMusic == 1) {
        const int soundMode = m_Settings[setting::kSoundMode];
        m_Music->p_Qn_Alive_U(m_Paused, (soundMode == 1 || soundMode == 3) ? 1 : 0);
    }

    // 9: pointer and touches in virtual coordinates.
    const float ov = orv_Kemp_overscan;
    const float oy = ov * static_cast<float>(orv_graphics_DeviceHeight()) /
                     static_cast<float>(orv_graphics_DeviceWidth());
    m_MouseLastX = m_MouseX;
    m_MouseLastY = m_MouseY;
    m_MouseX = orvTrunc((orv_input_MouseX() - ov) / m_ScaleX);
    m_MouseY = orvTrunc((orv_input_MouseY() - oy) / m_ScaleY);
    const int left = orv_input_MouseDown(0);
    if (left && m_MouseWasDown == 0) {
        m_MouseLastX = m_MouseX;
        m_MouseLastY = m_MouseY;
    }
    m_MouseDown = left;
    m_MouseHits = orv_input_MouseHit(0);
    for (int i = 0; i < 10; ++i) {
        m_TouchDown[i] = 0;
        m_TouchX[i] = kAbsentInt;
        m_TouchY[i] = kAbsentInt;
        if (orv_input_TouchDown(i)) {
            m_TouchDown[i] = 1;
            m_TouchX[i] = orvTrunc((orv_input_TouchX(i) - ov) / m_ScaleX);
            m_TouchY[i] = orvTrunc((orv_input_TouchY(i) - oy) / m_ScaleY);
            m_MouseDown = 1;
        }
    }
    m_MouseWasDown = left;
    if (m_MouseDown == 0) m_TouchLatch = 0;

    // 10: latches and the back action on the title menu's boxes.
    bool held = false;
    for (int player = 0; player < 4 && !held; ++player) {
        for (int action : action::kAll) {
            if (p_PlayKey(action, 1, player) != 0) {
                held = true;
                break;
            }
        }
    }
    if (!held) m_KeyLatch = 0;
    if (m_KeyLatch == 0 && m_TouchLatch == 0 && p_PlayKeyAll(action::kBack, 1) != 0 && m_Mode == screen::kTitle) {
        if (m_CreditsOpen == 1 || m_OptionsOpen == 1 || m_BadgesOpen == 1) {
            m_CreditsOpen = 0;
            m_BadgesOpen = 0;
            m_KeyLatch = 1;
            m_TouchLatch = 1;
        }
    }
    if (m_OptionsOpen == 1) {
        m_KeyLatch = 1;
        m_TouchLatch = 1;
    }

    // 11: the screen and its overlays.
    if (m_LoadStage == 0) {
        switch (m_Mode) {
            case 1:
                p_Menu();
                break;
            case 2:
                p_LoadMenu();
                p_PlaySFX2(sfx::kJingle, 1.0f);
                m_Mode = screen::kTitle;
                p_GameOver();
                break;
            case 4:
                p_OuyaQuit();
                break;
            case 10:
                p_Game();
                p_InGame();
                break;
            case 11:
                p_LoadGame();
                break;
            default:
                break;
        }
        if (m_Mode == screen::kGame && m_GameOver > 0) p_GameOver();
        if (m_Mode == screen::kTitle || m_Mode == screen::kBackToTitle) p_GameOver();
        bool creditsRan = false;
        if (m_Mode == screen::kTitle && (m_CreditsOpen == 1 || m_CreditsSlide > 0)) {
            p_CreditBox();
            creditsRan = true;
        }
        if (!(m_Mode == screen::kTitle && !creditsRan)) {
            if (m_CreditsOpen == 1 && m_CreditsSlide < 30) ++m_CreditsSlide;
            if (m_CreditsOpen == 0 && m_CreditsSlide > 0) --m_CreditsSlide;
        }
        if (m_Mode == screen::kTitle && m_BadgesOpen == 1) p_BadgesBox();
        if (m_OptionsOpen == 1 || m_OptionsSlide > 0) {
            p_OptionBox();
            if (m_OptionsOpen == 1 && m_OptionsSlide < 30) ++m_OptionsSlide;
            if (m_OptionsOpen == 0 && m_OptionsSlide > 0) --m_OptionsSlide;
        }
    }

    // 12-16: loader, iCade letters, one-update pad presses, on-screen controls, tilt.
    if (m_LoadStage > 0) p_Loader();
    if (orv_Kemp_iCadeControls == 1) p_iCadeDecode();
    for (int i = 0; i <= 18; ++i) {
        if (m_VPad[i] == 1) m_VPad[i] = 0;
    }
    const bool inGame = m_Mode == screen::kGame || m_Mode == screen::kGameStart;
    if (orv_Kemp_OnScreenControls == 1 && inGame && orv_Kemp_iCadeControls == 0) {
        p_OnScreenPad();
    }
    if (orv_Kemp_iCadeControls == 1) {
        m_TiltX = m_TiltY = m_TiltSmoothX = m_TiltSmoothY = 0;
    } else if (orv_Kemp_AccelerometerControls == 1) {
        p_TiltControl();
    }

    // 17-18: debug line and badge pop-ups on top of everything.
    if (orv_Kemp_DebugMode == 1) {
        p_ResetDraw();
        const bool tilt = orv_Kemp_AccelerometerControls == 1 && orv_Kemp_iCadeControls == 0;
        const float y = tilt ? orv_Kemp_jscrh * 0.5f : orv_Kemp_jscrh - 16;
        p_Text(16, y, String(m_RenderFpsAvg) + String(":") + String(m_ScaleX) + String(",") + String(m_ScaleY), 0,
               0);
    }
    p_ShowBadges();
    return 0;
}

int c_MyApp::p_OnRender() {
    if (orv_Kemp_HasMusic == 1) m_Music->p_Qn_Alive_R();
    const int now = orv_app_Millisecs();
    if (ElapsedMs(now, m_RenderLastMs) > 0) {
        m_RenderFps = 1000 / ElapsedMs(now, m_RenderLastMs);
        m_RenderFpsAvg = (m_RenderFpsAvg * 9 + m_RenderFps) / 10;
        m_RenderLastMs = now;
    }
    const int width = orv_graphics_DeviceWidth();
    const int height = orv_graphics_DeviceHeight();
    orv_graphics_SetColor(m_ClsR, m_ClsG, m_ClsB);
    orv_graphics_SetAlpha(m_ClsA);
    orv_graphics_DrawRect(-1, -1, static_cast<float>(width + 2), static_cast<float>(height + 2));
    orv_graphics_SetColor(255, 255, 255);
    orv_graphics_SetAlpha(1);
    if (width != m_LastWidth || height != m_LastHeight) {
        m_LoadStage = 1;
        m_LastWidth = width;
        m_LastHeight = height;
        p_DecodeAhead(0);
    }
    p_VirtualScreen();
    p_Replay();
    orv_graphics_SetAlpha(0.5f);
    orv_graphics_SetColor(255, 255, 255);
    return 0;
}

namespace {

// The pause state that suspend and resume both leave: a running game is
// paused with its panel at mid height.
void PauseForAway(c_MyApp* app) {
    orv_input_DisableKeyboard();
    orv_Kemp_iCadeControls = 0;
    for (int i = 0; i <= 18; ++i) app->m_VPad[i] = 0;
    if (app->m_Mode < screen::kGame) {
        app->m_Paused = app->m_PauseOpen = app->m_PauseY = 0;
    } else {
        app->m_Paused = 1;
        app->m_PauseOpen = 1;
        app->m_PauseY = orvTrunc(orv_Kemp_jscrh * 0.5f);
    }
}

}  // namespace

int c_MyApp::p_OnSuspend() {
    PauseForAway(this);
    orv_app_SetUpdateRate(5);
    p_Save();
    return 0;
}

int c_MyApp::p_OnResume() {
    PauseForAway(this);
    orv_app_SetUpdateRate(60);
    return 0;
}
