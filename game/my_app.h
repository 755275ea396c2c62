// The game: one application object that owns every piece of game state and
// decides, sixty times a second, which screen runs. Its methods live in the
// files of the game folder by concern (shell, draw list, controls, gameplay,
// level generation, enemies, particles, menus, save data, badges, assets).
#pragma once
#include "framework/app.h"
#include "framework/audio.h"
#include "framework/graphics.h"
#include "game/actions.h"
#include "game/asset_slots.h"
#include "game/screens.h"
#include "game/settings_slots.h"
#include "music/qn_player.h"
#include "runtime/array.h"
#include "runtime/string.h"

// Marks an absent value: omitted optional arguments, touch slots that are up,
// the rectangle command of the draw list.
const float kAbsent = -3717.0f;
const int kAbsentInt = -3717;

// Switches and sizes of the game module, set once at start-up (the virtual
// screen size is recomputed at every render).
extern float orv_Kemp_rawscrw;
extern float orv_Kemp_rawscrh;
extern float orv_Kemp_jscrw;
extern float orv_Kemp_jscrh;
extern float orv_Kemp_overscan;
extern int orv_Kemp_isOuya;
extern int orv_Kemp_HasMusic;
extern int orv_Kemp_HasMusicStream;
extern int orv_Kemp_iCadeControls;
extern int orv_Kemp_OnScreenControls;
extern int orv_Kemp_AccelerometerControls;
extern int orv_Kemp_DebugMode;
extern Array<String> orv_Kemp_CreditText;  // 49 lines

// The online request callback the game object answers to; nothing calls it.
class c_IOnHttpRequestComplete : public virtual gc_interface {
public:
    virtual void p_OnHttpRequestComplete(Object* request) = 0;
};

class c_MyApp : public c_App, public virtual c_IOnHttpRequestComplete {
public:
    c_MyApp();
    c_MyApp* m_new();
    void mark() override;

    // ---- framework callbacks (my_app.cpp)
    int p_OnCreate() override;
    int p_OnUpdate() override;
    int p_OnRender() override;
    int p_OnSuspend() override;
    int p_OnResume() override;
    void p_OnHttpRequestComplete(Object*) override {}

    // ---- virtual screen and draw list (draw_list.cpp)
    int p_ResetDraw();
    int p_CLS2D(float r = kAbsent, float g = kAbsent, float b = kAbsent, float a = kAbsent);
    int p_SetSize(float sx, float sy = kAbsent);
    int p_SetRot(float angle);
    int p_SetCol(float r, float g, float b, float a = kAbsent);
    int p_Alpha(float a);
    int p_DrawImg(int slot, float x, float y, float frame);
    int p_Rect(float x, float y, float w, float h);
    int p_Oval(float x, float y, float rx, float ry);
    int p_Text(float x, float y, String text, float alignX, float alignY);
    String p_rstr(int width, int value, String pad);
    String p_rstr2(int value, String pad);  // width 11
    int p_FullscreenFlip();
    // Appends one command with the current colour, alpha, rotation and blend;
    // a full list drops it.
    int p_AddCommand(float kind, float x, float y, float sizeX, float sizeY, float frame);
    int p_VirtualScreen();  // scales and virtual size for the device size
    int p_Replay();

    // ---- controls (controls.cpp)
    int p_PlayKey(int action, int mode, int player);
    int p_PlayKeyAll(int action, int mode);
    float p_StickX(int stick, int player);
    float p_StickY(int stick, int player);
    int p_iCade(int on);
    int p_iCadeDecode();  // the characters waiting this update into m_VPad
    int p_Button(int slot, float x, float y, float frame);
    int p_Button2(float x, float y, float frame);  // the icon sheet
    int p_Button0(int slot, float x, float y, float frame);
    int p_Touch(float x, float y, float w, float h);
    int p_MouseIn_Centered(float x, float y, float w, float h);
    int p_AnalogueControl();
    int p_OnScreenPad();
    int p_TiltControl();

    // ---- gameplay (gameplay.cpp)
    int p_LoadGame();
    int p_Game();
    int p_InGame();
    int p_GetBallPos();
    int p_DrawBoard();
    int p_PlayerUpdate();
    int p_BallUpdate();
    int p_PlayerMove();
    int p_EnterCell();
    int p_LevelIntro();
    int p_Gimme(int points, float x, float y);
    int p_Rand(float lo, float hi);
    int p_Ink(int colour, float level);

    // ---- level generation (level_gen.cpp)
    int p_Garden();

    // ---- enemies (enemies.cpp)
    int p_ReleaseEnemy();
    int p_EnemyUpdate(int slot);

    // ---- particles, stars and player records (particles.cpp)
    int p_FreeParticle();
    int p_ThrowParticle(float x, float y, int kind, int colour, float angle, float speed);
    int p_AddParticle(int kind, float x, float y, float vx, float vy, int frame, int colour, int life);
    int p_ResetParticles(int n);
    int p_ResetStars(int n);
    int p_ResetPlayers();
    int p_DoParticles();

    // ---- menus and screens (menus.cpp)
    int p_Menu();
    int p_LoadMenu();
    int p_OuyaQuit();
    int p_OptionBox();
    int p_CreditBox();
    int p_PauseMenu();

    // ---- save data (save_data.cpp)
    int p_Save();
    int p_Load();

    // ---- badges, highscores and game over (badges.cpp)
    int p_GameOver();
    String p_MyNth();
    String p_BadgeID(int id);
    String p_BadgeName(int id);
    String p_BadgeDetail(int id);
    int p_ShowBadges();
    int p_BadgesBox();
    int p_GC_PostScore(int score, int board);
    int p_GC_Badges();

    // ---- assets, loader and sound effects (assets.cpp)
    int p_ResolutionRule();
    // Has the images of the loader's steps decoded ahead, at the level of the
    // window's size now; with p_Reload's two before them when asked.
    int p_DecodeAhead(int withReload);
    int p_Reload();
    int p_Loader();
    int p_WaitStart(int mode);
    int p_LoadImg(int slot, String name, int frameW, int frameH, int frames, int flags);
    int p_LoadFont(int slot, String name, int advance, int height);
    int p_LoadSFX(int n);
    int p_PlaySFX(int n, float rate, float volume, float pan);
    int p_PlaySFX2(int n, float volume);  // rate 1, pan 0
    int p_PlayTune(String name, int flags);
    int p_StopTune();

    // ======== shell state
    int m_Mode = 0;
    int m_Fullscreen = 0;
    int m_JinglePlayed = 0;
    int m_LoadStage = 0;
    int m_LastWidth = 0, m_LastHeight = 0;
    c_QnPlayer* m_Music = nullptr;
    int m_Paused = 0;
    int m_PauseOpen = 0;
    int m_PauseY = 0;
    int m_GameType = 0;
    int m_MenuSlide = 0;
    int m_I = 0;  // the shared loop counter
    int m_DebugShow = 0;
    int m_StreamPlaying = 0;
    int m_UpdLastMs = 0, m_UpdFps = 0, m_UpdFpsAvg = 0;
    int m_RenderLastMs = 0, m_RenderFps = 0, m_RenderFpsAvg = 0;
    int m_KeyLatch = 0;
    int m_TouchLatch = 0;
    int m_CreditsOpen = 0, m_OptionsOpen = 0, m_BadgesOpen = 0;
    int m_CreditsSlide = 0, m_OptionsSlide = 0;

    // ======== virtual screen and draw state
    float m_ScaleX = 0, m_ScaleY = 0;
    int m_FitAxis = 0;
    int m_Landscape = 0;
    int m_ViewX = 0, m_ViewY = 0, m_ViewW = 0, m_ViewH = 0;
    float m_ClsR = 0, m_ClsG = 0, m_ClsB = 0, m_ClsA = 0;
    float m_DrawSizeX = 0, m_DrawSizeY = 0, m_DrawRot = 0;
    float m_DrawR = 0, m_DrawG = 0, m_DrawB = 0, m_DrawAlpha = 0;
    int m_DrawBlend = 0;
    Array<float> m_DrawList;  // 2500 commands of 15 floats
    int m_DrawCount = 0;      // floats in use

    // ======== input
    Array<int> m_VPad;  // 20 virtual pad states: 0 off, 1 this update, 2 held
    int m_MouseX = 0, m_MouseY = 0, m_MouseLastX = 0, m_MouseLastY = 0;
    int m_MouseDown = 0, m_MouseWasDown = 0, m_MouseHits = 0;
    Array<int> m_TouchDown, m_TouchX, m_TouchY;  // 10 slots, virtual positions
    int m_iCadeChar = 0;
    int m_DpadX = 0, m_DpadY = 0;
    float m_DpadScale = 0;
    float m_AccelZeroX = 0, m_AccelZeroY = 0, m_TiltX = 0, m_TiltY = 0, m_TiltSmoothX = 0, m_TiltSmoothY = 0;
    int m_ButtonHit = 0;
    float m_StickX = 0, m_StickY = 0;
    int m_DragX = 0, m_DragY = 0;
    float m_KeyRampX = 0, m_KeyRampY = 0;
    int m_PinchOn = 0, m_PinchNow = 0;
    int m_PinchPrev = 0;  // spread at the previous update of a pinch

    // ======== assets and audio
    Array<c_Image*> m_Images;  // 100 image slots
    Array<int> m_ImgInfo;      // per slot: frame width, frame height, frame count
    int m_Font = 0;
    int m_HdLevel = 1;
    float m_ImgScale = 1;
    Array<c_Sound*> m_Sounds;  // 100 effect slots
    Array<int> m_ChanOrder;    // 33
    int m_SfxCursor = 0;
    float m_LoadSpin = 0;  // loading screen ring angle, degrees

    // ======== saved and scored state
    Array<int> m_Settings;  // 25 options
    Array<int> m_Scores;    // 150: Top lists at 0-29, Last lists at 30-59
    Array<bool> m_BadgeGot;  // 256
    Array<int> m_BadgePopId, m_BadgePopTime;  // 15 pop-ups
    int m_SaveFailed = 0;  // 1 after a failed save was reported, until one succeeds

    // ======== game state
    Array<int> m_Garden;     // 32 × 32 cells of 10 ints
    Array<float> m_Player;   // 5 records of 100
    Array<float> m_Enemies;  // 10 records of 10
    Array<float> m_Particles;  // records of 10
    int m_ParticleMax = 250;
    Array<float> m_Stars;
    int m_StarMax = 100;

    int m_Level = 0;
    int m_SeedBase = 0;
    int m_HedgeStyle = 0;
    int m_HomeX = 0, m_HomeY = 0;
    int m_EnemiesWaiting = 0;
    int m_ReleaseTimer = 0;
    int m_HomeOpen = 0;
    int m_HomeSpin = 0;
    int m_LevelIntro = 0;
    int m_ItemsLeft = 0;
    int m_Lives = 0;
    int m_GameOver = 0;
    int m_GameOverTime = 0;
    int m_Score = 0, m_ShownScore = 0;
    int m_Combo = 0, m_ComboTime = 0, m_ComboPitch = 0;
    float m_CamX = 0, m_CamY = 0, m_CamTargetX = 0, m_CamTargetY = 0;
    int m_BallFlying = 0;
    float m_BallX = 0, m_BallY = 0, m_BallOffX = 0, m_BallOffY = 0, m_BallVX = 0, m_BallVY = 0;
    int m_CatchDelay = 0;
    // The flying ball's cell and the hedge flags around it (p_GetBallPos).
    int m_BallCellX = 0, m_BallCellY = 0;
    int m_BallHedgeU = 0, m_BallHedgeD = 0, m_BallHedgeL = 0, m_BallHedgeR = 0;
    // Board layout of the current update: scale, tile size and the screen
    // point of cell (0, 0); the enemies draw and collide with it too.
    float m_BoardScale = 0, m_Tile = 0, m_BoardX = 0, m_BoardY = 0;

    // ======== menus and boxes
    int m_MenuSel = 0;
    float m_MenuScroll = 0, m_MenuFling = 0, m_MenuShown = 0, m_MenuDrag = 0;
    int m_MenuSnap = 0;
    float m_CogAngle = 0;
    int m_OptSel = 0;
    int m_OptKeyLatch = 0, m_OptTouchLatch = 0;
    // The item a press on the title menu began on (the selected item for the
    // play button); it acts on release unless the press became a drag
    // (-1) or was consumed. 0 while the pointer is up.
    int m_MenuPress = 0;
    int m_MenuPressOn = 0;  // the pointer was on the pressed item at its last update
    int m_PauseChoice = 0;
    float m_CreditScroll = 0;
    int m_CreditLine = 0;
    int m_Rank = 0;  // left by p_MyNth: 0 = not in the list
    float m_BadgeScroll = 0, m_BadgeScrollTarget = 0;
};

// Start values of the game's module globals and its collector roots.
void orvMarkGameRoots();
