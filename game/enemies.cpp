// The enemies: release from the home, walking the cut paths, catching the
// player and being struck by the ball.
#include <cmath>

#include "framework/random.h"
#include "game/my_app.h"
#include "game/play_fields.h"
#include "runtime/numeric.h"

using namespace play;

namespace {

const float kEnemySpeed = 0.07f;
// Cell steps by direction (none, up, right, down, left).
const int kStepX[5] = {0, 0, 1, 0, -1};
const int kStepY[5] = {0, -1, 0, 1, 0};

int Reverse(int dir) {
    switch (dir) {
        case kUp:
            return kDown;
        case kDown:
            return kUp;
        case kRight:
            return kLeft;
        case kLeft:
            return kRight;
        default:
            return kNone;
    }
}

// A draw that succeeds three times in five.
bool Likely() { return orv_random_Rnd() * 5 < 3; }

float NewSteps() { return orv_random_Rnd2(3, 8.9f); }

}  // namespace

int c_MyApp::p_ReleaseEnemy() {
    // The home's clock stands still while the game is paused.
    if (m_LevelIntro <= 0 && m_Paused == 0) --m_ReleaseTimer;
    if (m_ReleaseTimer > 0 || m_EnemiesWaiting <= 0) return 0;
    float* e = &m_Enemies[m_EnemiesWaiting * kEnemyRecord];
    e[kEActive] = 1;
    e[kEX] = static_cast<float>(m_HomeX);
    e[kEY] = static_cast<float>(m_HomeY);
    e[kEDX] = e[kEDY] = e[kEAnim] = e[kEDir] = e[kESteps] = 0;
    e[kEReleased] = 1;
    // The previous direction stays: an earlier enemy of this slot left it.
    m_ReleaseTimer = orv_math_Max(30, 180 - 10 * m_Level);
    --m_EnemiesWaiting;
    return 0;
}

int c_MyApp::p_EnemyUpdate(int slot) {
    float* e = &m_Enemies[slot * kEnemyRecord];
    const float ex = m_BoardX + (e[kEX] + e[kEDX]) * m_Tile;
    const float ey = m_BoardY + (e[kEY] + e[kEDY]) * m_Tile;

    int cx = orvTrunc(e[kEX]), cy = orvTrunc(e[kEY]);
    if (cx < 1) e[kEX] = static_cast<float>(cx = 1);
    if (cx > kColumns - 2) e[kEX] = static_cast<float>(cx = kColumns - 2);
    if (cy < 1) e[kEY] = static_cast<float>(cy = 1);
    if (cy > kRows - 2) e[kEY] = static_cast<float>(cy = kRows - 2);

    const int u = HedgeAt(m_Garden, cx, cy - 1), d = HedgeAt(m_Garden, cx, cy + 1);
    const int l = HedgeAt(m_Garden, cx - 1, cy), r = HedgeAt(m_Garden, cx + 1, cy);
    const int u2 = cy < 3 ? 1 : HedgeAt(m_Garden, cx, cy - 2);
    const int d2 = cy > 9 ? 1 : HedgeAt(m_Garden, cx, cy + 2);
    const int l2 = cx < 3 ? 1 : HedgeAt(m_Garden, cx - 2, cy);
    const int r2 = cx > 17 ? 1 : HedgeAt(m_Garden, cx + 2, cy);
    const int blocked[5] = {0, u, r, d, l};  // by direction

    // The way it came is remembered, and now and then forgotten.
    int prev = orvTrunc(e[kEPrev]);
    if (e[kEDir] > 0) prev = orvTrunc(e[kEDir]);
    if (orv_random_Rnd() * 100 < 2) prev = kNone;
    e[kEPrev] = static_cast<float>(prev);

    int dir = orvTrunc(e[kEDir]);
    const float px = m_Player[kPX], py = m_Player[kPY];
    const float x = e[kEX], y = e[kEY];
    if (e[kEDX] == 0 && e[kEDY] == 0) {
        if (dir == kNone || e[kESteps] < 1) {
            int want = orvTrunc(orv_random_Rnd2(1, 4.9f));
            if (want == Reverse(prev)) want = prev;
            if (px > x && Likely()) want = kRight;
            if (px < x && Likely()) want = kDown;
            if (py > y && Likely()) want = kLeft;
            if (py < y && Likely()) want = kUp;
            if (blocked[want]) want = kNone;
            if (want > 0) {
                dir = want;
                e[kESteps] = NewSteps();
            }
        }
        // Corridors toward the player; a later rule overrides an earlier one.
        const struct {
            bool open;
            bool toward;
            float range;
            int dir;
        } rules[] = {
            {u == 0, py <= y, 5, kUp},
            {d == 0, py >= y, 5, kDown},
            {l == 0, px <= x, 5, kLeft},
            {r == 0, px >= x, 5, kRight},
            {u == 0 && u2 == 0, py <= y, 3.2f, kUp},
            {d == 0 && d2 == 0, py >= y, 3.2f, kDown},
            {l == 0 && l2 == 0, px <= x, 3.2f, kLeft},
            {r == 0 && r2 == 0, px >= x, 3.2f, kRight},
        };
        for (const auto& rule : rules) {
            if (!rule.open || !rule.toward) continue;
            if (orv_random_Rnd() * rule.range < 3 && prev != Reverse(rule.dir)) {
                dir = rule.dir;
                e[kESteps] = NewSteps();
            }
        }
    }
    if (blocked[dir]) dir = kNone;
    e[kEDir] = static_cast<float>(dir);

    const float state = m_Player[kState];
    if (m_Paused == 0 && m_GameOver == 0 && state == 0 && dir != kNone) {
        const bool across = kStepX[dir] != 0;
        const float step = static_cast<float>(kStepX[dir] + kStepY[dir]);
        float& offset = across ? e[kEDX] : e[kEDY];
        (across ? e[kEDY] : e[kEDX]) = 0;
        offset += step * kEnemySpeed;
        // A whole cell walked: the enemy stands at the centre of the next.
        if (offset * step >= 1) {
            offset = 0;
            (across ? e[kEX] : e[kEY]) += step;
            e[kESteps] -= 1;
        }
    }
    // While the player leaves the level the enemies float away upward.
    if (state < 0) {
        const float v = e[kEDY] - orv_random_Rnd2(0.008f, 0.018f);
        e[kEDY] = v - orv_math_Abs2(v) * 0.04f;
    }

    e[kEAnim] += orv_random_Rnd2(0.5f, 2.5f);
    p_SetSize(m_BoardScale);
    p_DrawImg(img::kSprites, ex, ey, static_cast<float>(4 + orvTrunc(std::fmod(e[kEAnim] * 0.25f, 6.0f))));

    if (orv_math_Abs2(m_Player[kScreenX] - ex) < 0.4f * m_Tile &&
        orv_math_Abs2(m_Player[kScreenY] - ey) < 0.6f * m_Tile && m_Player[kState] == 0) {
        m_Player[kState] = 1;
        p_PlaySFX2(sfx::kCaught, 1);
        p_StopTune();
    }
    if (m_BallFlying == 1 && m_Paused == 0 && m_GameOver == 0 &&
        orv_math_Abs2(m_Player[kBallScreenX] - ex) < m_Tile && orv_math_Abs2(m_Player[kBallScreenY] - ey) < m_Tile) {
        e[kEActive] = 0;
        m_BallFlying = 0;
        m_Garden[CellIndex(cx, cy) + kContent] = kBonusBall;
        p_PlaySFX2(sfx::kHit, 1);
    }
    return 0;
}
