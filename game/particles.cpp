// The particle, star and player-record pools and the per-update particle step.
// Every record is a run of ten floats in a preallocated array; element 0 of a
// record is non-zero while the slot is in use.
#include "framework/random.h"
#include "game/my_app.h"
#include "runtime/numeric.h"

namespace {

enum : int {
    kKind = 0,
    kX = 1,
    kY = 2,
    kVX = 3,
    kVY = 4,
    kRotation = 5,
    kSpin = 6,
    kAlpha = 7,
    kColour = 8,
    kFrame = 9,
    kRecord = 10,
    kMaxPool = 499,
    kNumberKind = 99,
    kParticleSheet = 96
};

// A size in range becomes the pool's new last slot; any other keeps the old.
int PoolLast(int n, int& last) {
    if (n >= 1 && n <= kMaxPool) last = n;
    return last;
}

}  // namespace

int c_MyApp::p_FreeParticle() {
    if (m_ParticleMax < 0) return -1;
    // The highest free slot: thrown bits of a burst fill the pool from the top.
    int found = -1;
    for (int s = 0; s <= m_ParticleMax; ++s) {
        if (m_Particles[s * kRecord + kKind] == 0) found = s * kRecord;
    }
    return found;
}

int c_MyApp::p_ThrowParticle(float x, float y, int kind, int colour, float angle, float speed) {
    if (angle == kAbsent) angle = orv_random_Rnd2(0, 360);
    if (speed == kAbsent) speed = orv_random_Rnd2(3, 8);
    const int p = p_FreeParticle();
    if (p < 0) return 0;
    float* r = &m_Particles[p];
    r[kKind] = static_cast<float>(kind);
    r[kX] = x;
    r[kY] = y;
    r[kVX] = speed * orv_math_Sin(angle);
    r[kVY] = -speed * orv_math_Cos(angle);
    r[kColour] = static_cast<float>(colour);
    r[kRotation] = orv_random_Rnd2(0, 360);
    r[kSpin] = orv_random_Rnd2(-8, 8);
    r[kAlpha] = orv_random_Rnd2(0.7f, 1.3f);
    r[kFrame] = static_cast<float>(orvTrunc(orv_math_Floor(orv_random_Rnd2(0, 255.99f))));
    return 0;
}

int c_MyApp::p_AddParticle(int kind, float x, float y, float vx, float vy, int frame, int colour, int life) {
    const int p = p_FreeParticle();
    if (p < 0) return 0;
    float* r = &m_Particles[p];
    r[kKind] = static_cast<float>(kind);
    r[kX] = x;
    r[kY] = y;
    r[kVX] = vx;
    r[kVY] = vy;
    r[kRotation] = static_cast<float>(orvTrunc(orv_math_Floor(orv_random_Rnd2(0, 360.99f))));
    r[kSpin] = orv_random_Rnd2(-7, 7);
    // Above 1 the particle shows at full strength: each unit of life is 100 updates.
    r[kAlpha] = static_cast<float>(life + 1);
    r[kColour] = static_cast<float>(colour);
    r[kFrame] = static_cast<float>(frame);
    return 0;
}

int c_MyApp::p_ResetParticles(int n) {
    n = PoolLast(n, m_ParticleMax);
    for (int s = 0; s <= n; ++s) m_Particles[s * kRecord + kKind] = 0;
    return 0;
}

int c_MyApp::p_ResetStars(int n) {
    n = PoolLast(n, m_StarMax);
    const float w = orv_Kemp_jscrw, h = orv_Kemp_jscrh;
    for (int s = 0; s <= n; ++s) {
        float* r = &m_Stars[s * kRecord];
        r[0] = static_cast<float>(orvTrunc(orv_math_Floor(orv_random_Rnd2(0, 255.99f))));
        r[1] = orv_random_Rnd() * (w + 16) - 8;
        r[2] = orv_random_Rnd() * (h + 16) - 8;
        r[3] = orv_random_Rnd2(0.2f, 0.8f);
        r[5] = orv_random_Rnd2(0, 360);
        r[6] = orv_random_Rnd2(-0.5f, 0.5f);
    }
    return 0;
}

int c_MyApp::p_ResetPlayers() {
    for (int i = 0; i < 500; ++i) m_Player[i] = 0;
    return 0;
}

int c_MyApp::p_DoParticles() {
    p_ResetDraw();
    for (int s = 0; s <= m_ParticleMax; ++s) {
        float* r = &m_Particles[s * kRecord];
        const float kind = r[kKind];
        if (!(kind > 0)) continue;
        r[kX] += r[kVX];
        r[kY] += r[kVY];
        r[kRotation] += r[kSpin];
        // Score numbers stay upright.
        m_DrawRot = kind == kNumberKind ? 0 : -r[kRotation];
        if (kind == 2) {
            r[kVX] *= 0.95f;
            r[kVY] += 0.2f;
        }
        m_DrawAlpha = r[kAlpha] > 1 ? 1 : r[kAlpha];
        p_Ink(orvTrunc(r[kColour]), 1);
        p_SetSize(1);
        if (kind >= 1 && kind <= 9) {
            p_DrawImg(kParticleSheet, r[kX] - m_CamX, r[kY] - m_CamY, r[kFrame]);
        } else if (kind == kNumberKind) {
            p_Text(r[kX] - m_CamX, r[kY] - m_CamY, String(orvTrunc(r[kFrame])), 1.0f, 1.0f);
        }
        r[kAlpha] -= 0.01f;
        if (r[kAlpha] < 0) r[kKind] = 0;
    }
    p_ResetDraw();
    return 0;
}
