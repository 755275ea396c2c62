// Seeded level generation: carved garden, home, hidden item patches, ball.
// Every draw comes from one generator run seeded by the level number, so a
// level is rebuilt exactly whenever it starts again.
#include <cstdint>

#include "framework/random.h"
#include "game/my_app.h"
#include "game/play_fields.h"
#include "runtime/numeric.h"

using namespace play;

namespace {

// Extra columns and rows of an item patch beyond its first cell, by shape 1-8.
const int kPatchW[9] = {0, 2, 1, 3, 1, 6, 0, 2, 2};
const int kPatchH[9] = {0, 1, 2, 1, 3, 0, 6, 2, 2};

int RandomDirection() { return orvTrunc(orv_random_Rnd2(1, 4.9f)); }

int Distance(int x, int y) { return orv_math_Abs(x - kStartX) + orv_math_Abs(y - kStartY); }

}  // namespace

int c_MyApp::p_Garden() {
    m_Player[kPDX] = m_Player[kPDY] = 0;
    m_Player[kFacing] = m_Player[kWalk] = 0;
    m_Player[7] = m_Player[kScreenX] = m_Player[kScreenY] = 0;
    m_Player[kHolding] = 0;
    m_Player[kState] = 0;
    m_LevelIntro = 120;
    m_HomeOpen = 0;
    m_BallFlying = 0;

    // The seed wraps like the language's Int (a clock-based base may be large).
    orv_random_Seed =
        static_cast<int>(static_cast<std::uint32_t>(m_Level) + static_cast<std::uint32_t>(m_SeedBase));
    for (int i = 0; i < 101; ++i) orv_random_Rnd();

    m_HedgeStyle = orvTrunc(orv_random_Rnd2(0, 13.9f));

    for (int y = 0; y < kGardenSide; ++y) {
        for (int x = 0; x < kGardenSide; ++x) {
            const int c = CellIndex(x, y);
            m_Garden[c + kHedge] = 1;
            for (int i = 1; i < kCellInts; ++i) m_Garden[c + i] = 0;
            if (x == 0 || y == 0 || x == kColumns - 1 || y == kRows - 1) m_Garden[c + kContent] = kBorder;
        }
    }

    // Carving: random walks out of the start; the first cell to reach a new
    // farthest distance becomes the home.
    int farthest = 0;
    for (int pass = 0; pass < 3; ++pass) {
        int x = kStartX, y = kStartY;
        const int walks = orvTrunc(orv_random_Rnd2(1, 4.9f)) + 1;
        for (int walk = 0; walk < walks; ++walk) {
            int dir = RandomDirection();
            const int length = orvTrunc(orv_random_Rnd2(3, 6.9f));
            for (int step = 0; step < length; ++step) {
                m_Garden[CellIndex(x, y) + kHedge] = 0;
                if (Distance(x, y) > farthest) {
                    farthest = Distance(x, y);
                    m_HomeX = x;
                    m_HomeY = y;
                }
                if (dir == kUp) --y;
                if (dir == kRight) ++x;
                if (dir == kDown) ++y;
                if (dir == kLeft) --x;
                if (x < 1) {
                    x = 1;
                    dir = RandomDirection();
                }
                if (y < 1) {
                    y = 1;
                    dir = RandomDirection();
                }
                if (x > kColumns - 2) {
                    x = kColumns - 2;
                    dir = RandomDirection();
                }
                if (y > kRows - 2) {
                    y = kRows - 2;
                    dir = RandomDirection();
                }
            }
        }
    }

    m_EnemiesWaiting = (m_Level - 1) / 2 + 3;
    if (m_EnemiesWaiting > 8) m_EnemiesWaiting = 8;
    m_ReleaseTimer = orv_math_Max(30, 180 - 10 * m_Level);
    m_Player[kFacing] = 1;
    m_Player[kPX] = kStartX;
    m_Player[kPY] = kStartY;
    m_Garden[CellIndex(kStartX, kStartY) + kHedge] = 0;

    const int kind = orvTrunc(orv_random_Rnd2(1, 7.99f));

    // Four patches of the level's item, hidden in untouched hedge away from
    // the start's row and column; the 50th try is taken whatever it covers.
    for (int patch = 0; patch < 4; ++patch) {
        int px = 0, py = 0, w = 0, h = 0;
        for (int attempt = 1; attempt <= 50; ++attempt) {
            px = orvTrunc(orv_random_Rnd2(2, 18));
            py = orvTrunc(orv_random_Rnd2(2, 10));
            const int shape = orvTrunc(orv_random_Rnd2(1, 8.9f));
            w = kPatchW[shape];
            h = kPatchH[shape];
            bool fits = true;
            for (int y = py; y <= py + h && fits; ++y) {
                for (int x = px; x <= px + w && fits; ++x) {
                    const int c = CellIndex(x, y);
                    if (m_Garden[c + kHedge] != 1 || m_Garden[c + kContent] != kNothing || x == kStartX ||
                        y == kStartY) {
                        fits = false;
                    }
                }
            }
            if (fits) break;
        }
        for (int y = py; y <= py + h; ++y) {
            for (int x = px; x <= px + w; ++x) m_Garden[CellIndex(x, y) + kContent] = 17 + kind;
        }
    }

    for (int s = 0; s < kEnemySlots; ++s) m_Enemies[s * kEnemyRecord + kEActive] = 0;

    // The ball goes diagonally below-right of the cell that passed the test.
    int bx = 0, by = 0;
    for (int attempt = 1; attempt <= 50; ++attempt) {
        bx = orvTrunc(orv_random_Rnd2(2, 18));
        by = orvTrunc(orv_random_Rnd2(2, 10));
        const int c = CellIndex(bx, by);
        if (m_Garden[c + kHedge] == 1 && m_Garden[c + kContent] == kNothing && bx != kStartX && by != kStartY) break;
    }
    m_Garden[CellIndex(bx + 1, by + 1) + kContent] = kBall;
    return 0;
}
