// Play itself: starting a game, one update of play with its whole picture,
// pausing, and the small helpers of scoring.
#include <cmath>

#include "framework/app.h"
#include "framework/random.h"
#include "game/my_app.h"
#include "game/play_fields.h"
#include "runtime/numeric.h"

using namespace play;

namespace {

// Fractions of full strength for the ink colours 1-9; index 0 is the grey of
// every other colour.
const float kInk[10][3] = {
    {0.3f, 0.3f, 0.3f}, {1, 0.1f, 0.1f}, {1, 0.5f, 0.1f},  {1, 1, 0.1f},    {0.1f, 1, 0.1f},
    {0.1f, 1, 1},       {0.1f, 0.1f, 1}, {0.5f, 0.1f, 1},  {1, 0.1f, 0.5f}, {1, 1, 1},
};

float Clamp255(float v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

const char* const kTuneOfType[4] = {"", "Pasture Run/Tune_12", "Retro/Cavern Digger", "Retro/Hopper"};

}  // namespace

int c_MyApp::p_LoadGame() {
    m_Paused = 0;
    m_Score = 0;
    m_GameOver = 0;
    m_GameOverTime = 0;
    m_Mode = screen::kGame;
    m_CamX = m_CamY = m_CamTargetX = m_CamTargetY = 0;
    if (orv_Kemp_HasMusic == 1 && m_GameType >= 1 && m_GameType <= 3) {
        m_Music->p_Qn_StartTune(String(kTuneOfType[m_GameType]), 37171650, 100);
    }
    p_ResetStars(100);
    p_ResetParticles(250);
    p_ResetPlayers();
    const float h = orv_Kemp_jscrh;
    for (int k = 1; k <= 4; ++k) {
        m_Player[100 * k] = 1;
        m_Player[100 * k + 1] = 128;
        m_Player[100 * k + 2] = static_cast<float>(k) * h / 5;
    }
    m_Lives = 3;
    m_Level = 1;
    // Types 1 and 2 replay the same gardens every game; type 3 never does.
    m_SeedBase = m_GameType == 3 ? orv_app_Millisecs() : m_GameType * 12345;
    p_Garden();
    return 0;
}

int c_MyApp::p_Game() {
    const float w = orv_Kemp_jscrw, h = orv_Kemp_jscrh;
    p_CLS2D(0, 40, 0, 1);
    p_Alpha(0.1f);
    p_SetSize(3);
    p_DrawImg(img::kMenu, w / 2, h / 2, 0);
    p_SetSize(1);
    p_Alpha(1);

    m_CamX -= (m_CamX - m_CamTargetX) * 0.125f;
    m_CamY -= (m_CamY - m_CamTargetY) * 0.125f;
    p_AnalogueControl();

    // The tile scale nearest the fit; of two as near, the larger.
    const float fit = (w / 22 < h / 13.5f ? w / 22 : h / 13.5f) / 16;
    const float candidates[] = {2, 1.5f, 1, 0.5f};
    float s = candidates[0];
    for (float c : candidates) {
        if (orv_math_Abs2(fit - c) < orv_math_Abs2(fit - s)) s = c;
    }
    m_BoardScale = s;
    m_Tile = 16 * s;
    m_BoardX = w / 2 - 162 * s;
    m_BoardY = (h - 24) / 2 - 98 * s + 24;

    p_DrawBoard();
    if (m_ItemsLeft == 0 && m_EnemiesWaiting == 0 && m_HomeOpen == 0) {
        p_PlaySFX2(sfx::kFanfare, 1);
        m_HomeOpen = 1;
    }
    p_ReleaseEnemy();
    for (int slot = 0; slot < kEnemySlots; ++slot) {
        if (m_Enemies[slot * kEnemyRecord + kEActive] != 0) p_EnemyUpdate(slot);
    }
    p_PlayerUpdate();
    p_BallUpdate();
    p_PlayerMove();

    if (m_ComboTime > 0) --m_ComboTime;
    if (m_ComboTime == 0) m_Combo = 0;
    p_DoParticles();

    // The shown score runs toward the real one a sixth of the way per update.
    const int v = m_ShownScore - (m_ShownScore - m_Score) / 6;
    m_ShownScore = orv_math_Abs(v - m_Score) >= 6 ? v : m_Score;
    if (m_DebugShow == 0) {
        p_SetCol(100, 255, 100, 0.8f);
        p_SetSize(2);
        p_Text(w / 2, 14, p_rstr(8, m_ShownScore, String("0")), 1, 1);
        p_SetCol(255, 255, 255, 1);
        p_SetSize(1);
        for (int i = 1; i <= 3; ++i) {
            const float x = static_cast<float>(orvTrunc(w / 2 + 128) + 16 * (i - 1));
            p_DrawImg(img::kSprites, x, 14, m_Lives >= i ? 13 : 14);
        }
    }
    m_HomeSpin = (m_HomeSpin + 4) % 360;
    p_LevelIntro();
    return 0;
}

int c_MyApp::p_DrawBoard() {
    const float s = m_BoardScale, t = m_Tile;
    m_ItemsLeft = 0;
    p_SetCol(255, 255, 255, 1);
    p_SetSize(s);
    for (int x = 0; x < kColumns; ++x) {
        for (int y = 0; y < kRows; ++y) {
            const int c = CellIndex(x, y);
            const float cx = m_BoardX + static_cast<float>(x) * t, cy = m_BoardY + static_cast<float>(y) * t;
            p_DrawImg(img::kSprites, cx, cy, static_cast<float>(m_Garden[c + kHedge] == 1 ? 240 + m_HedgeStyle : 224));
            const int content = m_Garden[c + kContent];
            if (content > 0) {
                p_DrawImg(img::kSprites, cx, cy, static_cast<float>(content));
                // An item the player cannot walk to (a patch over the border)
                // must not keep the home shut.
                const bool reachable = x >= 1 && x <= kColumns - 2 && y >= 1 && y <= kRows - 2;
                if (content >= kFirstItem && content <= kLastItem && reachable) ++m_ItemsLeft;
            }
            if (x != m_HomeX || y != m_HomeY) continue;
            if (m_EnemiesWaiting > 0) p_Alpha(0.5f);
            p_DrawImg(img::kSprites, cx, cy - 0.2f * t, 3);
            if (m_HomeOpen == 1 && m_Player[kState] == 0 && orv_math_Abs2(m_Player[kScreenX] - cx) < t / 2 &&
                orv_math_Abs2(m_Player[kScreenY] - cy) < t / 2) {
                m_Player[kState] = -1;
                p_PlaySFX2(sfx::kLevelDone, 1);
                p_StopTune();
            }
            p_Alpha(1);
            if (m_EnemiesWaiting > 0) p_Text(cx, cy, String(m_EnemiesWaiting), 1, 1);
        }
    }

    // "HOME" circles the open home.
    if (m_HomeOpen == 1 && m_Player[kState] == 0) {
        static const char* const kLetters[4] = {"H", "O", "M", "E"};
        const float hx = m_BoardX + static_cast<float>(m_HomeX) * t, hy = m_BoardY + static_cast<float>(m_HomeY) * t;
        for (int i = 0; i < 4; ++i) {
            const float a = static_cast<float>(45 * i + m_HomeSpin);
            const float r = 16 + 6 * orv_math_Sin(static_cast<float>(45 * i + 3 * m_HomeSpin));
            p_Text(static_cast<float>(orvTrunc(hx + orv_math_Sin(a) * r * s)),
                   static_cast<float>(orvTrunc(hy - orv_math_Cos(a) * r * s)), String(kLetters[i]), 1, 1);
        }
    }
    return 0;
}

int c_MyApp::p_PlayerUpdate() {
    const float s = m_BoardScale, t = m_Tile;
    float frame = static_cast<float>(orvTrunc(std::fmod(m_Player[kWalk] / 3, 3.0f)));
    const float sx = m_BoardX + (m_Player[kPX] + m_Player[kPDX]) * t;
    const float sy = m_BoardY + (m_Player[kPY] + m_Player[kPDY]) * t;
    m_Player[kScreenX] = sx;
    m_Player[kScreenY] = sy;
    p_SetSize(m_Player[kFacing] == -1 ? -2 * s : 2 * s, 2 * s);
    p_SetRot(0);

    float& state = m_Player[kState];
    if (state < 0) {
        state -= 1;
        if (state < -99) {
            ++m_Level;
            p_Garden();
        }
        frame = 12;
    } else if (state > 0) {
        state += 1;
        p_SetRot(-90 * orv_math_Floor(state / 12));
        if (state < 100) p_SetSize((2 - state / 60) * s);
        // The life is taken once; the finished game keeps its last picture.
        if (state > 99 && m_GameOver == 0) {
            --m_Lives;
            if (m_Lives <= 0) {
                m_GameOver = 1;
            } else {
                p_Garden();
            }
        }
    }
    p_DrawImg(img::kSprites, sx, sy - 0.3f * t, frame);

    if (m_Player[kHolding] == 1) {
        m_BallFlying = 0;
        p_SetSize(0.8f * s);
        p_SetRot(0);
        p_DrawImg(img::kSprites, sx - 0.6f * t * m_Player[kFacing], sy - 0.6f * t, kBall);
    }
    return 0;
}

int c_MyApp::p_BallUpdate() {
    const float s = m_BoardScale, t = m_Tile;
    const float sx = m_Player[kScreenX], sy = m_Player[kScreenY];

    int fire = 0;
    if (p_PlayKey(action::kButtonA, 1, 0) || p_PlayKey(action::kButtonB, 1, 0) ||
        p_PlayKey(action::kButtonC, 1, 0)) {
        fire = 1;
    }
    for (int i = 0; i <= 5; ++i) {
        const float tx = static_cast<float>(m_TouchX[i]), ty = static_cast<float>(m_TouchY[i]);
        if (tx >= 0 && orv_math_Abs2(tx - sx) < 32 && orv_math_Abs2(ty - sy) < 32) ++fire;
    }
    if (m_Paused != 0 || m_GameOver != 0 || m_Player[kState] > 0 || m_LevelIntro > 0) fire = 0;

    if (m_Player[kHolding] == 1 && fire > 0) {
        m_CatchDelay = 30;
        m_BallX = m_Player[kPX];
        m_BallY = m_Player[kPY];
        const float speed = static_cast<float>(orvTrunc(orv_random_Rnd2(80, 120)));
        const float aim = m_Player[kAim];
        m_BallVX = speed / 100 * orv_math_Sin(aim);
        m_BallVY = -speed / 100 * orv_math_Cos(aim);
        m_Player[kHolding] = 0;
        m_BallFlying = 1;
        p_PlaySFX2(sfx::kThrow, 1);
    }
    if (m_BallFlying != 1) return 0;

    p_SetSize(0.4f * s);
    p_SetRot(0);
    if (m_CatchDelay > 0) --m_CatchDelay;
    p_GetBallPos();
    if (m_Paused == 0 && m_GameOver == 0 && m_Player[kState] == 0 && m_LevelIntro <= 0) {
        m_BallOffX += m_BallVX * 0.15f;
        m_BallOffY += m_BallVY * 0.15f;
    }
    const auto cross = [this](float& offset, float& cell) {
        if (offset < -0.5f) {
            offset += 1;
            cell -= 1;
            p_GetBallPos();
        }
        if (offset > 0.5f) {
            offset -= 1;
            cell += 1;
            p_GetBallPos();
        }
    };
    cross(m_BallOffX, m_BallX);
    cross(m_BallOffY, m_BallY);
    // Each bounce draws its new speed, then the pitch of its sound.
    const auto bounce = [this](float& velocity, float sign) {
        velocity = sign * orv_random_Rnd2(0.8f, 1.2f);
        p_PlaySFX(sfx::kBounce, orv_random_Rnd2(0.8f, 1.2f), 0.3f, 0);
    };
    if (m_BallHedgeL == 1 && m_BallOffX < -0.25f && m_BallVX < 0) bounce(m_BallVX, 1);
    if (m_BallHedgeR == 1 && m_BallOffX > 0.25f && m_BallVX > 0) bounce(m_BallVX, -1);
    if (m_BallHedgeU == 1 && m_BallOffY < -0.25f && m_BallVY < 0) bounce(m_BallVY, 1);
    if (m_BallHedgeD == 1 && m_BallOffY > 0.25f && m_BallVY > 0) bounce(m_BallVY, -1);

    const float bx = m_BoardX + (m_BallX + m_BallOffX) * t, by = m_BoardY + (m_BallY + m_BallOffY) * t;
    p_DrawImg(img::kSprites, bx, by, kBall);
    m_Player[kBallScreenX] = bx;
    m_Player[kBallScreenY] = by;

    if (orv_math_Abs2(sx - bx) < t && orv_math_Abs2(sy - by) < t && m_CatchDelay < 1) {
        m_BallFlying = 0;
        m_Player[kHolding] = 1;
        p_PlaySFX2(sfx::kCatch, 1);
    }
    return 0;
}

int c_MyApp::p_GetBallPos() {
    m_BallCellX = orvTrunc(m_BallX);
    m_BallCellY = orvTrunc(m_BallY);
    m_BallHedgeU = HedgeAt(m_Garden, m_BallCellX, m_BallCellY - 1);
    m_BallHedgeD = HedgeAt(m_Garden, m_BallCellX, m_BallCellY + 1);
    m_BallHedgeL = HedgeAt(m_Garden, m_BallCellX - 1, m_BallCellY);
    m_BallHedgeR = HedgeAt(m_Garden, m_BallCellX + 1, m_BallCellY);
    return 0;
}

int c_MyApp::p_PlayerMove() {
    if (m_Paused != 0 || m_GameOver != 0 || m_Player[kState] != 0) return 0;
    const float mag = orv_math_Sqrt(m_StickX * m_StickX + m_StickY * m_StickY);
    const float angle = orv_math_ATan2(m_StickX, -m_StickY);
    if (mag > 0.1f) {
        // Throws go diagonally into the quarter the player last moved toward.
        m_Player[kAim] = orv_math_Floor(angle / 90) * 90 + 45;
        m_Player[kWalk] += mag;
        m_Player[kPDX] += orv_math_Sin(angle) * mag * 0.1f * 0.7f;
        m_Player[kPDY] -= orv_math_Cos(angle) * mag * 0.1f * 0.7f;
    } else {
        m_Player[kWalk] = 0;
    }
    if (m_StickX < -0.1f) m_Player[kFacing] = -1;
    if (m_StickX > 0.1f) m_Player[kFacing] = 1;

    // Crossing into the next cell, left/up before right/down; the edge
    // cells of the played area stop the player.
    bool entered = false;
    const auto cross = [&entered](float& offset, float& cell, float last) {
        if (offset < -0.5f) {
            if (cell > 1) {
                offset += 1;
                cell -= 1;
                entered = true;
            } else {
                offset = -0.5f;
            }
        }
        if (offset > 0.5f) {
            if (cell < last) {
                offset -= 1;
                cell += 1;
                entered = true;
            } else {
                offset = 0.5f;
            }
        }
    };
    cross(m_Player[kPDX], m_Player[kPX], kColumns - 2);
    cross(m_Player[kPDY], m_Player[kPY], kRows - 2);
    if (entered) p_EnterCell();
    return 0;
}

int c_MyApp::p_EnterCell() {
    const float sx = m_Player[kScreenX], sy = m_Player[kScreenY];
    const int c = CellIndex(orvTrunc(m_Player[kPX]), orvTrunc(m_Player[kPY]));
    if (m_Garden[c + kHedge] == 1) {
        for (int i = 0; i < 3; ++i) {
            const float speed = orv_random_Rnd2(0.5f, 2);
            const float angle = orv_random_Rnd2(-90, 90);
            const int colour = orvTrunc(orv_random_Rnd2(1, 9.9f));
            p_ThrowParticle(sx, sy, 2, colour, angle, speed);
        }
        m_Score += 5;
        m_Garden[c + kHedge] = 0;
    }
    const int content = m_Garden[c + kContent];
    if (content >= kFirstItem && content <= kLastItem) {
        m_Garden[c + kContent] = kNothing;
        ++m_Combo;
        p_Gimme(5 * m_Combo, sx, sy);
        m_ComboTime = 40;
        for (int i = 0; i < m_Combo; ++i) {
            const float speed = orv_random_Rnd2(0.7f, 3);
            const float angle = orv_random_Rnd2(-70, 70);
            const int colour = orvTrunc(orv_random_Rnd2(1, 9.9f));
            p_ThrowParticle(sx, sy, 1, colour, angle, speed);
        }
        // The pickup sound climbs with the combo, first by sample, then by rate.
        const int chime = sfx::kChime - 1 + m_Combo;
        if (chime <= sfx::kLastChime) {
            m_ComboPitch = 100;
            p_PlaySFX(chime, 1, 1, 0);
        } else {
            m_ComboPitch = 5 * m_Combo + 40 < 200 ? 5 * m_Combo + 40 : 200;
            p_PlaySFX(sfx::kLastChime, static_cast<float>(m_ComboPitch) / 100, 1, 0);
        }
    } else if (content == kBall || content == kBonusBall) {
        p_Gimme(content == kBall ? 5 : 100, sx, sy);
        m_Garden[c + kContent] = kNothing;
        m_Player[kHolding] = 1;
        p_PlaySFX2(sfx::kCatch, 1);
    }
    return 0;
}

int c_MyApp::p_LevelIntro() {
    if (m_LevelIntro <= 0) return 0;
    const float w = orv_Kemp_jscrw, h = orv_Kemp_jscrh;
    m_LevelIntro -= 2;
    if (m_LevelIntro == 20) p_PlayTune(String("Voduzozu"), 1);
    const int t = m_LevelIntro;
    p_SetCol(0, 0, 0, static_cast<float>(t) / 120);
    const float o = static_cast<float>(orvTrunc(orv_Kemp_overscan + 2));
    p_Rect(-o, -o, w + 2 * o, h + 2 * o);
    p_SetCol(255, 255, 255, 1);
    p_SetSize(3);
    // The title slides up into the middle, rests, and leaves upward.
    int ty = orvTrunc(h / 2);
    if (t < 20) ty -= (20 - t) * (20 - t);
    if (t > 80) ty += (t - 80) * (t - 80);
    p_Text(w / 2, static_cast<float>(ty), String("Level ") + String(m_Level), 1, 1);
    return 0;
}

int c_MyApp::p_InGame() {
    p_ResetDraw();
    m_MenuSlide = -32;
    int pause = 0;
    for (int p = 0; p < 4; ++p) pause += p_PlayKey(action::kBack, 1, p);
    if (pause == 0 && orv_Kemp_isOuya == 1) {
        for (int p = 0; p < 4; ++p) pause += p_PlayKey(action::kButtonD, 1, p);
    }
    if (pause != 0 && m_Paused == 0 && m_KeyLatch == 0) {
        m_KeyLatch = 1;
        m_Paused = 1;
        m_PauseOpen = 1;
        m_PauseChoice = 0;
        p_PlaySFX2(sfx::kBlip, 0.5f);
    }
    if (m_DebugShow == 0) p_DrawImg(img::kIcons, 16, 16, 0);
    const float hw = static_cast<float>(m_ImgInfo[img::kIcons * 3]) * m_ImgScale * m_DrawSizeX * 0.5f;
    const float hh = static_cast<float>(m_ImgInfo[img::kIcons * 3 + 1]) * m_ImgScale * m_DrawSizeY * 0.5f;
    bool touched = false;
    for (int i = 0; i < 10; ++i) {
        const float tx = static_cast<float>(m_TouchX[i]), ty = static_cast<float>(m_TouchY[i]);
        if (16 - hw < tx && tx < 16 + hw && 16 - hh < ty && ty < 16 + hh) touched = true;
    }
    if (m_MouseDown > 0 && touched && m_Paused == 0) {
        m_Paused = 1;
        m_PauseOpen = 1;
        m_TouchLatch = 1;
        m_PauseChoice = 0;
        p_PlaySFX2(sfx::kBlip, 0.5f);
    }
    if (m_Paused == 1) p_PauseMenu();
    return 0;
}

int c_MyApp::p_Gimme(int points, float x, float y) {
    m_Score += points;
    // A floating number: rises a quarter pixel per update for 100 updates.
    p_AddParticle(99, x, y, 0, -0.25f, points, 3, 0);
    return 0;
}

int c_MyApp::p_Rand(float lo, float hi) {
    return orvTrunc(orv_math_Floor(orv_random_Rnd() * (hi + 0.99f - lo) + lo));
}

int c_MyApp::p_Ink(int colour, float level) {
    const float* ink = kInk[colour >= 1 && colour <= 9 ? colour : 0];
    m_DrawR = Clamp255(ink[0] * level * 255);
    m_DrawG = Clamp255(ink[1] * level * 255);
    m_DrawB = Clamp255(ink[2] * level * 255);
    return 0;
}
