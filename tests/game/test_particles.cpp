// The particle pool: where a new particle goes, how it flies, fades and is
// drawn, the palette, the pool size and the floating score numbers.
#include "tests/game/game_test.h"

namespace {

using Particles = GameTest;
void FillPool(c_MyApp* app) { for (int s = 0; s <= app->m_ParticleMax; ++s) app->m_Particles[s * 10] = 1; }

TEST_F(Particles, ScoreNumberRisesUprightInYellow) {
    app->m_Score = 10;
    app->p_Gimme(25, 200, 100);
    const float* p = &app->m_Particles[250 * 10];
    EXPECT_EQ(Values(app->m_Score, p[0], p[9], p[7]), Values(35, 99, 25, 1));
    app->m_DrawCount = 0;
    app->p_DoParticles();
    EXPECT_EQ(TextAt(99.75f), "25");
    for (const auto& c : Drawn(90)) EXPECT_EQ(Values(c.rot, c.r, c.g, c.b), Values(0, 255, 255, 25.5f));
    // About 100 updates: a hundred float steps of 0.01 may leave a trace above 0.
    int updates = 1;
    for (; app->m_Particles[2500] != 0 && updates < 1000; ++updates) app->p_DoParticles();
    EXPECT_TRUE(updates == 100 || updates == 101) << updates;
    // A full pool still scores.
    FillPool(app);
    app->p_Gimme(5, 0, 0);
    EXPECT_EQ(app->m_Score, 40);
}

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

TEST_F(Particles, GravityParticleArcsAndEveryParticleFades) {
    app->p_ThrowParticle(100, 300, 2, 9, 0, 2);
    float* p = &app->m_Particles[250 * 10];
    p[7] = 1.3f;
    // Thrown up at 2, it slows by 0.2 an update.
    for (float y : {298.0f, 296.2f, 294.6f}) {
        app->m_DrawCount = 0;
        app->p_DoParticles();
        EXPECT_NEAR(p[2], y, 1e-4);
        const auto drawn = Drawn(96);
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(Values(drawn[0].alpha, drawn[0].rot), Values(1, -p[5])) << "an alpha above 1 is drawn as 1";
    }
    // 1.3 fades by 0.01 per update: about 130 updates in all.
    int updates = 3;
    for (; p[0] != 0 && updates < 1000; ++updates) app->p_DoParticles();
    EXPECT_TRUE(updates == 130 || updates == 131) << updates;
}

TEST_F(Particles, NewParticleTakesTheHighestFreeSlot) {
    // A full pool takes nothing, and makes no draws for a given angle and speed.
    FillPool(app);
    orv_random_Seed = 77;
    app->p_ThrowParticle(10, 10, 2, 3, 0, 2);
    EXPECT_EQ(Values(LiveParticles(), app->p_FreeParticle(), orv_random_Seed), Values(251, -1, 77));

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
