// The enemies: leaving the home, walking only cut ground, waiting in dead
// ends, rising away and being struck by the ball.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/game/play_test_util.h"

namespace {

using namespace play;
using playtest::Box;
using playtest::Play;
using Enemies = playtest::PlayTest;

TEST_F(Enemies, LeaveTheHomeFromTheHighestSlotDown) {
    play.Start(1);
    // Nothing comes out during the 60 updates of the intro.
    play.SkipIntro();
    EXPECT_EQ(app->m_ReleaseTimer, 170);
    EXPECT_EQ(app->m_EnemiesWaiting, 3);
    // Run the home's clock alone from here, so no enemy meets the player.
    int update = 0;
    std::vector<std::pair<int, int>> released;  // update, slot
    while (app->m_EnemiesWaiting > 0 && update < 1000) {
        ++update;
        const int before = app->m_EnemiesWaiting;
        app->p_ReleaseEnemy();
        if (app->m_EnemiesWaiting < before) {
            released.push_back({update, before});
            EXPECT_EQ(app->m_Enemies[before * 10], 1);
            EXPECT_EQ(app->m_ReleaseTimer, 170);
        }
    }
    const std::vector<std::pair<int, int>> expected = {{170, 3}, {340, 2}, {510, 1}};
    EXPECT_EQ(released, expected);
    const float* e = play.Enemy(3);
    EXPECT_EQ(Values(e[kEX], e[kEY], e[kEReleased], e[kEDir]), Values(app->m_HomeX, app->m_HomeY, 1, 0));
    EXPECT_EQ(app->m_Enemies[0], 0) << "slot 0 is never used";
}

// Runs a whole level with eight enemies and checks after every update that
// no enemy stands in or walks into a hedge.
TEST_F(Enemies, NeverEnterAHedge) {
    play.Start(1);
    app->m_Level = 20;
    app->p_Garden();
    ASSERT_EQ(app->m_EnemiesWaiting, 8);
    // The player hides in a hedge cell no enemy can reach.
    play.P(kPX) = 1;
    play.P(kPY) = 1;
    ASSERT_EQ(play.Hedge(1, 1), 1);
    ASSERT_EQ(play.Hedge(2, 1) + play.Hedge(1, 2), 2);
    int moves = 0;
    for (int update = 0; update < 3000; ++update) {
        play.Update();
        ASSERT_EQ(play.P(kState), 0);
        for (int s = 1; s <= 8; ++s) {
            const float* e = play.Enemy(s);
            if (e[kEActive] == 0) continue;
            const int x = static_cast<int>(e[kEX]), y = static_cast<int>(e[kEY]);
            ASSERT_EQ(play.Hedge(x, y), 0) << "slot " << s << " at " << x << "," << y;
            const int nx = x + (e[kEDX] > 0) - (e[kEDX] < 0), ny = y + (e[kEDY] > 0) - (e[kEDY] < 0);
            ASSERT_EQ(play.Hedge(nx, ny), 0) << "slot " << s << " heading into " << nx << "," << ny;
            moves += e[kEDX] != 0 || e[kEDY] != 0;
        }
    }
    EXPECT_EQ(app->m_EnemiesWaiting, 0);
    EXPECT_GT(moves, 1000);
}

TEST_F(Enemies, DeadEndEnemyWaitsAtTheCentreUntilItForgets) {
    play.OpenGround(Box(3, 5, 7, 5), 2, 5);
    play.BoardLayout();
    play.PutEnemy(1, 7, 5, kNone, kRight);  // came from the left
    orv_random_Seed = 321;
    int waited = 0;
    while (play.Enemy(1)[kEPrev] != kNone && waited < 2000) {
        app->p_EnemyUpdate(1);
        const float* e = play.Enemy(1);
        if (e[kEPrev] == kNone) break;
        ASSERT_EQ(Values(e[kEX], e[kEDX], e[kEDY], e[kEDir]), Values(7, 0, 0, kNone));
        ++waited;
    }
    EXPECT_GT(waited, 0);
    EXPECT_LT(waited, 2000);
    // Once the way back is no longer remembered, it turns round.
    for (int i = 0; i < 50 && play.Enemy(1)[kEDX] == 0; ++i) app->p_EnemyUpdate(1);
    EXPECT_LT(play.Enemy(1)[kEDX], 0);
}

TEST_F(Enemies, WalkAtSevenHundredthsOfACellAndMayShareACell) {
    play.OpenGround(Box(2, 5, 18, 5), 1, 1);
    play.BoardLayout();
    for (int s = 1; s <= 2; ++s) play.PutEnemy(s, 8, 5, kRight, 0, 20);
    for (int s = 1; s <= 2; ++s) {
        app->p_EnemyUpdate(s);
        const float* e = play.Enemy(s);
        EXPECT_EQ(Values(e[kEX], e[kEDX], e[kEDY]), Values(8, 0.07f, 0));
    }
    // 0.07 per update: the next cell is reached on the 15th update.
    for (int i = 2; i <= 14; ++i) app->p_EnemyUpdate(1);
    EXPECT_EQ(play.Enemy(1)[kEX], 8);
    app->p_EnemyUpdate(1);
    EXPECT_EQ(Values(play.Enemy(1)[kEX], play.Enemy(1)[kEDX], play.Enemy(1)[kESteps]), Values(9, 0, 19));
    // Drawn where it stood at the start of its update, at board scale.
    app->m_DrawCount = 0;
    app->p_EnemyUpdate(2);
    const auto drawn = play.Images(1);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(Values(drawn[0].x, drawn[0].y, drawn[0].sx), Values(-4 + (8 + 0.07f) * 32, 56 + 5 * 32, 2));
    EXPECT_TRUE(drawn[0].frame >= 4 && drawn[0].frame <= 9);
}

TEST_F(Enemies, RiseAwayWhileThePlayerLeaves) {
    play.OpenGround(Box(7, 5, 9, 5), 1, 1);
    play.BoardLayout();
    play.PutEnemy(1, 8, 5, kRight);
    play.P(kState) = -5;
    app->m_Paused = 1;  // also while paused
    float last = 0;
    for (int i = 0; i < 20; ++i) {
        app->p_EnemyUpdate(1);
        const float dy = play.Enemy(1)[kEDY];
        EXPECT_LT(dy, last);
        last = dy;
    }
    EXPECT_LT(last, -0.2f);
    EXPECT_EQ(play.Enemy(1)[kEY], 5) << "it stays in its cell record";
}

TEST_F(Enemies, StruckByTheFlyingBallLeavesTheBonusBall) {
    play.OpenGround(Box(7, 5, 9, 5), 2, 9);
    play.BoardLayout();
    play.PutEnemy(1, 8, 5);
    const float ex = -4 + 8 * 32, ey = 56 + 5 * 32;
    app->m_BallFlying = 1;
    play.P(kBallScreenX) = ex - 31.9f;
    play.P(kBallScreenY) = ey + 31.9f;
    app->m_Paused = 1;
    app->p_EnemyUpdate(1);
    EXPECT_EQ(play.Enemy(1)[kEActive], 1) << "not while paused";
    app->m_Paused = 0;
    app->p_EnemyUpdate(1);
    EXPECT_EQ(play.Enemy(1)[kEActive], 0);
    EXPECT_EQ(app->m_BallFlying, 0);
    EXPECT_EQ(play.Content(8, 5), kBonusBall);
    ASSERT_EQ(play.sound->effects.size(), 1u);
    EXPECT_EQ(play.sound->effects[0].id, 9);
    EXPECT_EQ(app->m_Score, 0) << "the hit itself scores nothing";
}

}  // namespace
