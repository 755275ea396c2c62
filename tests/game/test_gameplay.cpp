// One update of play and what it leads to: the board and its layout, cutting
// and collecting, the thrown ball, the home, lives, pausing and the intro.
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/gc.h"
#include "tests/game/play_test_util.h"

namespace {

using namespace play;
using playtest::Box;
using playtest::Play;
using Gameplay = playtest::PlayTest;

const int kRightKey = 39, kFireKey = 90, kEscape = 27;

TEST_F(Gameplay, BoardScaleAndOrigin) {
    play.Start(1);
    play.Update();
    EXPECT_EQ(Values(app->m_BoardScale, app->m_BoardX, app->m_BoardY), Values(2, -4, 56));
    // The faint backdrop first, then the board from its top-left cell.
    const auto c = play.Images();
    EXPECT_EQ(Values(c[0].kind, c[0].alpha, c[1].x, c[1].y, c[1].sx, c[1].frame),
              Values(99, 0.1f, -4, 56, 2, 240.0f + app->m_HedgeStyle));
    // A wide screen (640 × 360) fits tiles at 1.5.
    orv_Kemp_jscrh = 360;
    play.Update();
    EXPECT_EQ(Values(app->m_BoardScale, app->m_BoardX, app->m_BoardY), Values(1.5f, 77, 45));
}

TEST_F(Gameplay, CuttingAHedgeScoresFiveAndThrowsThreeBits) {
    play.Start(1);
    play.OpenGround({{5, 5}}, 5, 5);
    play.Key(kRightKey, true);
    for (int i = 0; i < 60 && play.P(kPX) == 5; ++i) play.Update();
    ASSERT_EQ(play.P(kPX), 6);
    EXPECT_EQ(app->m_Score, 5);
    EXPECT_EQ(play.Hedge(6, 5), 0);
    EXPECT_EQ(play.LiveParticles(), 3);
    for (int s = 248; s <= 250; ++s) EXPECT_EQ(app->m_Particles[s * 10], 2);
    EXPECT_EQ(play.P(kAim), 135) << "moving right aims the throw down-right";
}

TEST_F(Gameplay, ItemsScoreByComboAndTheBallByWhereItLay) {
    play.OpenGround({{5, 5}}, 5, 5);
    int score = 0;
    for (int k = 1; k <= 33; ++k) {
        play.Content(5, 5) = 21;
        app->p_EnterCell();
        score += 5 * k;
        ASSERT_EQ(app->m_Score, score) << k;
        const auto& sound = play.sound->effects.back();
        EXPECT_EQ(sound.id, k <= 12 ? 9 + k : 21) << k;
        const float rate = k <= 12 ? 1 : std::fmin(2.0f, (5 * k + 40) / 100.0f);
        EXPECT_FLOAT_EQ(sound.rate, rate) << k;  // 1.1 for the 14th, 2.0 from the 32nd
    }
    // The combo lasts while each item follows within 40 updates.
    play.Update(39);
    EXPECT_EQ(app->m_Combo, 33);
    play.Update();
    EXPECT_EQ(app->m_Combo, 0);

    app->m_Score = 0;
    play.Content(5, 5) = kBall;
    app->p_EnterCell();
    EXPECT_EQ(app->m_Score, 5);
    EXPECT_EQ(play.P(kHolding), 1);
    EXPECT_EQ(play.sound->effects.back().id, 7);
    play.Content(5, 5) = kBonusBall;
    app->p_EnterCell();
    EXPECT_EQ(app->m_Score, 105);
}

TEST_F(Gameplay, ThrownBallBouncesOffHedgesAndComesBack) {
    play.OpenGround(Box(9, 4, 11, 6), 10, 5);
    play.P(kHolding) = 1;
    play.P(kAim) = 45;
    play.Key(kFireKey, true);
    play.Update();
    play.Key(kFireKey, false);
    ASSERT_EQ(app->m_BallFlying, 1);
    EXPECT_GT(app->m_BallVX, 0);
    EXPECT_LT(app->m_BallVY, 0);
    int bounces = 0, update = 1;
    for (; app->m_BallFlying == 1 && update < 400; ++update) {
        const float vx = app->m_BallVX, vy = app->m_BallVY;
        play.Update();
        bounces += (app->m_BallVX > 0) != (vx > 0) || (app->m_BallVY > 0) != (vy > 0);
        ASSERT_TRUE(app->m_BallX >= 9 && app->m_BallX <= 11 && app->m_BallY >= 4 && app->m_BallY <= 6);
    }
    EXPECT_GT(bounces, 0);
    EXPECT_GE(update, 30) << "not caught before the catch delay has run out";
    EXPECT_EQ(play.P(kHolding), 1);
    EXPECT_TRUE(play.sound->Played(3));
    EXPECT_EQ(play.sound->effects.back().id, 7);
}

TEST_F(Gameplay, BallThrownIntoTheBorderBouncesInsideIt) {
    // A throw keeps the in-cell offset of the last flight, so it can start
    // inside a hedge; in the corner of the garden that hedge is the border.
    play.OpenGround({{1, 1}}, 1, 1);
    play.P(kHolding) = 1;
    play.P(kAim) = -45;
    app->m_BallOffX = app->m_BallOffY = -0.45f;
    play.Key(kFireKey, true);
    for (int i = 0; i < 300; ++i) {
        play.Update();
        ASSERT_TRUE(app->m_BallX >= 0 && app->m_BallX <= 1 && app->m_BallY >= 0 && app->m_BallY <= 1);
    }
}

TEST_F(Gameplay, OpenHomeLeadsToTheNextLevel) {
    play.Start(1);
    play.OpenGround(Box(5, 5, 7, 5), 5, 5);
    app->m_HomeX = 7;
    app->m_HomeY = 5;
    app->m_HomeOpen = 0;
    play.Content(2, 2) = 18;
    play.Update();
    EXPECT_EQ(app->m_HomeOpen, 0) << "an item is left";
    play.Content(2, 2) = 0;
    play.Update();
    EXPECT_EQ(app->m_HomeOpen, 1);
    EXPECT_TRUE(play.sound->Played(4));

    play.Key(kRightKey, true);
    for (int i = 0; i < 200 && play.P(kState) == 0; ++i) play.Update();
    play.Key(kRightKey, false);
    ASSERT_LT(play.P(kState), 0);
    EXPECT_TRUE(play.sound->Played(6));
    EXPECT_EQ(play.sound->music.back(), "stop");
    int leaving = 1;
    for (; app->m_Level == 1 && leaving < 200; ++leaving) {
        EXPECT_EQ(play.PlayerSprite().frame, 12) << "the leaving frame";
        play.Update();
    }
    EXPECT_EQ(leaving, 99);
    EXPECT_EQ(app->m_Level, 2);
    EXPECT_EQ(play.P(kState), 0);
    EXPECT_EQ(app->m_LevelIntro, 118) << "the new level's intro began in the same update";
    EXPECT_EQ(app->m_ReleaseTimer, 160);
}

TEST_F(Gameplay, BorderItemDoesNotKeepTheHomeShut) {
    // Seed base 506, level 1: a patch placed on its 50th try runs into the
    // bottom border, where nobody can walk.
    app->m_Level = 1;
    app->m_SeedBase = 506;
    app->p_Garden();
    ASSERT_EQ(play.Content(2, 12), 24);
    for (auto [x, y] : Box(1, 1, 19, 11)) {
        if (play.Content(x, y) >= 18) play.Content(x, y) = 0;
    }
    app->m_EnemiesWaiting = 0;
    play.Update();
    EXPECT_EQ(app->m_HomeOpen, 1);
}

TEST_F(Gameplay, CaughtPlayerLosesALifeUntilTheGameEnds) {
    play.Start(2);
    const std::vector<int> first = play.Garden();
    play.SkipIntro();
    play.Hedge(3, 3) = 0;  // as if played a while
    app->m_Score = 50;
    app->m_BallFlying = 1;  // caught with the ball in flight
    for (auto [x, y] : Box(0, 0, 20, 12)) {
        if (play.Content(x, y) == kBall) play.Content(x, y) = 0;
    }
    play.PutEnemy(1, 10, 10);
    play.Update(25);
    EXPECT_TRUE(play.sound->Played(5));
    // A quarter turn every 12 updates, shrinking.
    const auto player = play.PlayerSprite();
    EXPECT_EQ(player.rot, 180);
    EXPECT_NEAR(player.sx, (2 - 26.0f / 60) * 2, 1e-4);
    play.Update(73);
    EXPECT_EQ(app->m_Lives, 3);
    play.Update();
    EXPECT_EQ(app->m_Lives, 2);
    EXPECT_EQ(play.Garden(), first) << "the level is rebuilt as it first began";
    EXPECT_EQ(Values(app->m_Score, app->m_BallFlying, play.P(kHolding)), Values(50, 0, 0));

    // The last life: the game ends once, and the fallen player keeps spinning
    // while nothing else changes.
    play.SkipIntro();
    app->m_Lives = 1;
    play.PutEnemy(1, 10, 10);
    play.Update(99);
    EXPECT_EQ(app->m_GameOver, 1);
    EXPECT_EQ(app->m_Lives, 0);
    const std::vector<int> garden = play.Garden();
    const float rotation = play.PlayerSprite().rot;
    for (int i = 0; i < 30; ++i) app->p_Game();
    EXPECT_EQ(app->m_Lives, 0);
    EXPECT_EQ(play.Garden(), garden);
    EXPECT_NE(play.PlayerSprite().rot, rotation);
}

TEST_F(Gameplay, PausingFreezesPlayButNotBitsLettersOrCombo) {
    play.OpenGround(Box(2, 5, 18, 5), 4, 5);
    app->m_HomeX = 18;
    app->m_HomeY = 5;
    play.PutEnemy(2, 14, 5, kLeft, 0, 9);
    app->m_ReleaseTimer = 50;
    app->m_BallFlying = 1;
    app->m_BallX = 8;
    app->m_BallY = 5;
    app->m_BallVX = 1;
    app->m_ComboTime = 10;
    app->p_ThrowParticle(300, 300, 2, 4, 90, 2);
    play.Key(kRightKey, true);
    play.Key(kEscape, true);
    play.Update();
    ASSERT_EQ(app->m_Paused, 1);
    EXPECT_EQ(play.sound->effects.back().id, 98);
    EXPECT_FLOAT_EQ(play.sound->effects.back().volume, 0.5f);
    const float px = play.P(kPDX), ex = play.Enemy(2)[kEDX], bx = app->m_BallOffX, bit = app->m_Particles[2501];
    const int spin = app->m_HomeSpin;
    for (int i = 0; i < 5; ++i) app->p_Game();
    EXPECT_EQ(Values(play.P(kPDX), play.Enemy(2)[kEDX], app->m_BallOffX), Values(px, ex, bx));
    EXPECT_EQ(app->m_ReleaseTimer, 49) << "the home's clock stands still";
    EXPECT_GT(app->m_Particles[2501], bit);
    EXPECT_EQ(app->m_HomeSpin, spin + 20);
    EXPECT_EQ(app->m_ComboTime, 4);

    // The pause icon answers a touch strictly inside its 32 × 32 frame.
    app->m_Paused = 0;
    app->m_MouseDown = 1;
    app->m_TouchX[0] = 32;
    app->m_TouchY[0] = 1;
    app->p_InGame();
    EXPECT_EQ(app->m_Paused, 0);
    app->m_TouchX[0] = 31;
    app->p_InGame();
    EXPECT_EQ(app->m_Paused, 1);
    EXPECT_EQ(app->m_TouchLatch, 1);
}

TEST_F(Gameplay, IntroHudAndMusic) {
    play.Start(1);
    app->m_Score = 600;
    play.P(kHolding) = 1;
    play.Key(kFireKey, true);
    play.Update();
    EXPECT_EQ(play.TextAt(240 + 38 * 38), "Level1") << "the title slides in from below";
    EXPECT_EQ(play.TextAt(14), "00000100") << "the shown score runs toward the real one";
    std::vector<double> lives;
    for (const auto& c : play.Images(1)) {
        if (c.y == 14 && c.frame == 13) lives.push_back(c.x);
    }
    EXPECT_EQ(lives, Values(448, 464, 480));
    play.Update(48);
    EXPECT_EQ(play.TextAt(240), "Level1");
    EXPECT_TRUE(play.sound->music.empty());
    play.Update();
    EXPECT_EQ(play.sound->music, std::vector<std::string>{"play quarlo://data/sfx/Voduzozu.ogg"});
    play.Update(10);
    EXPECT_EQ(app->m_LevelIntro, 0);
    EXPECT_EQ(app->m_BallFlying, 0) << "no throw during the intro";
    EXPECT_EQ(play.TextAt(14), "00000600");
    play.Update();
    EXPECT_EQ(app->m_BallFlying, 1);
}

TEST_F(Gameplay, UpdateOfPlayAllocatesNoObjects) {
    play.Start(1);
    app->m_Level = 20;
    app->p_Garden();
    play.Update(1500);
    const int before = gc_new_bytes;
    play.Update(200);
    EXPECT_EQ(gc_new_bytes, before);
}

}  // namespace
