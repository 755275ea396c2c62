// The particle pool: where a new particle goes, the palette and the pool
// size. How particles and score numbers fly and fade in play, the replay
// pins.
#include "tests/game/game_test.h"

namespace {

using Particles = GameTest;
void FillPool(c_MyApp* app) { for (int s = 0; s <= app->m_ParticleMax; ++s) app->m_Particles[s * 10] = 1; }

TEST_F(Particles, PaletteByColourIndexAndThePoolSize) {
    // Two of the palette's colours, and the grey of an index outside it.
    for (auto [colour, r, g, b] : {std::tuple{1, 255.0f, 25.5f, 25.5f}, {9, 255.0f, 255.0f, 255.0f},
                                   {0, 76.5f, 76.5f, 76.5f}, {10, 76.5f, 76.5f, 76.5f}}) {
        app->p_ResetParticles(250);
        app->p_ThrowParticle(50, 50, 1, colour, 0, 1);
        app->m_DrawCount = 0;
        app->p_DoParticles();
        const auto drawn = Drawn(96);
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(Values(drawn[0].r, drawn[0].g, drawn[0].b), Values(r, g, b)) << colour;
    }
    // Ink at other levels scales and clamps.
    app->p_Ink(2, 2);
    EXPECT_EQ(Values(app->m_DrawR, app->m_DrawG, app->m_DrawB), Values(255, 255, 51));
    app->p_Ink(2, -1);
    EXPECT_EQ(Values(app->m_DrawR, app->m_DrawG, app->m_DrawB), Values(0, 0, 0));

    // A reset keeps the pool size for 0 or too much, else sets it; slots
    // beyond it are left alone.
    for (auto [size, last, live] : {std::tuple{0, 250, 0}, {500, 250, 0}, {1, 1, 249}}) {
        FillPool(app);
        app->p_ResetParticles(size);
        const int max = app->m_ParticleMax;
        app->m_ParticleMax = 250;
        EXPECT_EQ(Values(max, LiveParticles()), Values(last, live)) << size;
    }
}

TEST_F(Particles, NewParticleTakesTheHighestFreeSlot) {
    // A full pool takes nothing, and makes no draws for a given angle and speed.
    FillPool(app);
    orv_random_Seed = 77;
    app->p_ThrowParticle(10, 10, 2, 3, 0, 2);
    EXPECT_EQ(Values(LiveParticles(), app->p_FreeParticle(), orv_random_Seed), Values(251, -1, 77));
    app->p_Gimme(5, 0, 0);
    EXPECT_EQ(app->m_Score, 5) << "a full pool still scores";

    // Slot 0 is a slot like the others.
    app->m_Particles[0] = 0;
    app->p_ThrowParticle(10, 20, 2, 3, 0, 2);
    EXPECT_EQ(Values(app->m_Particles[0], app->m_Particles[2]), Values(2, 20));
    app->m_Particles[0] = app->m_Particles[200 * 10] = 0;
    EXPECT_EQ(app->p_FreeParticle(), 2000);
    app->p_AddParticle(1, 5, 5, 0, 0, 9, 4, 0);
    const float first = app->m_Particles[200 * 10];
    app->p_AddParticle(1, 5, 5, 0, 0, 9, 4, 0);
    EXPECT_EQ(Values(first, app->m_Particles[0]), Values(1, 1));

    app->p_ResetParticles(250);
    app->p_ThrowParticle(100, 50, 1, 6, 90, 3);
    const float* p = &app->m_Particles[250 * 10];
    EXPECT_EQ(Values(p[0], p[8]), Values(1, 6));
    EXPECT_NEAR(p[3], 3, 1e-5);  // 90 degrees: straight right
    EXPECT_NEAR(p[4], 0, 1e-5);
}

}  // namespace
