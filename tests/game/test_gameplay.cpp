// One update of play and what it leads to: the board and its layout, cutting
// and collecting, the thrown ball, the home, lives and the level intro.
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/gc.h"
#include "tests/game/play_test_util.h"

namespace {

using namespace play;
using playtest::Play;

std::vector<int> WholeGarden(c_MyApp* app) { return std::vector<int>(app->m_Garden.begin(), app->m_Garden.end()); }

const int kRightKey = 39, kFireKey = 90, kEscape = 27;

TEST(Gameplay, BoardScaleAndOrigin) {
    Play play;
    c_MyApp* app = play.app;
    play.Start(1);
    play.Update();
    EXPECT_EQ(app->m_BoardScale, 2);
    EXPECT_EQ(app->m_Tile, 32);
    EXPECT_EQ(app->m_BoardX, -4);
    EXPECT_EQ(app->m_BoardY, 56);
    EXPECT_EQ(app->m_ClsG, 40);
    const auto commands = play.Commands();
    ASSERT_GT(commands.size(), 2u);
    // The faint backdrop first, then the board from its top-left cell.
    EXPECT_EQ(commands[0].kind, 99);
    EXPECT_EQ(commands[0].x, 320);
    EXPECT_EQ(commands[0].sx, 3);
    EXPECT_FLOAT_EQ(commands[0].alpha, 0.1f);
    EXPECT_EQ(commands[1].kind, 1);
    EXPECT_EQ(commands[1].x, -4);
    EXPECT_EQ(commands[1].y, 56);
    EXPECT_EQ(commands[1].sx, 2);
    EXPECT_EQ(commands[1].frame, 240 + app->m_HedgeStyle);

    // A wide screen (640 × 360) fits tiles at 1.5.
    orv_Kemp_jscrh = 360;
    play.Update();
    EXPECT_EQ(app->m_BoardScale, 1.5f);
    EXPECT_EQ(app->m_BoardX, 77);
    EXPECT_EQ(app->m_BoardY, 45);
}

TEST(Gameplay, CuttingAHedgeScoresFiveAndThrowsThreeBits) {
    Play play;
    c_MyApp* app = play.app;
    play.Start(1);
    play.OpenGround({{5, 5}}, 5, 5);
    play.Key(kRightKey, true);
    int updates = 0;
    while (play.P(kPX) == 5 && updates < 60) {
        play.Update();
        ++updates;
    }
    ASSERT_EQ(play.P(kPX), 6);
    EXPECT_EQ(app->m_Score, 5);
    EXPECT_EQ(play.Hedge(6, 5), 0);
    EXPECT_EQ(play.LiveParticles(), 3);
    for (int s = 248; s <= 250; ++s) {
        EXPECT_EQ(app->m_Particles[s * 10], 2);
        EXPECT_GE(app->m_Particles[s * 10 + 8], 1);
        EXPECT_LE(app->m_Particles[s * 10 + 8], 9);
    }
    EXPECT_EQ(play.P(kFacing), 1);
    EXPECT_EQ(play.P(kAim), 135) << "moving right aims the throw down-right";
    // Walking back on cut ground scores nothing.
    play.Key(kRightKey, false);
    play.Key(37, true);
    for (int i = 0; i < 60 && play.P(kPX) != 5; ++i) play.Update();
    EXPECT_EQ(play.P(kPX), 5);
    EXPECT_EQ(app->m_Score, 5);
    EXPECT_EQ(play.P(kFacing), -1);
}

TEST(Gameplay, ComboItemsScoreMoreAndClimbInPitch) {
    Play play;
    c_MyApp* app = play.app;
    play.OpenGround({{5, 5}}, 5, 5);
    int score = 0;
    for (int k = 1; k <= 33; ++k) {
        play.Content(5, 5) = 21;
        app->p_EnterCell();
        score += 5 * k;
        ASSERT_EQ(app->m_Score, score) << k;
        ASSERT_EQ(app->m_Combo, k);
        ASSERT_EQ(app->m_ComboTime, 40);
        const auto& sound = play.sound->effects.back();
        if (k <= 12) {
            EXPECT_EQ(sound.id, 9 + k);
            EXPECT_EQ(sound.rate, 1);
        } else {
            EXPECT_EQ(sound.id, 21);
        }
        if (k == 14) {
            EXPECT_FLOAT_EQ(sound.rate, 1.1f);
        }
        if (k >= 32) {
            EXPECT_FLOAT_EQ(sound.rate, 2.0f);
        }
    }
    EXPECT_EQ(play.Content(5, 5), kNothing);
    EXPECT_EQ(play.Hedge(5, 5), 0);
    // Items count into one combo only while each follows within 40 updates.
    play.Update(39);
    EXPECT_EQ(app->m_Combo, 33);
    play.Update();
    EXPECT_EQ(app->m_Combo, 0);
}

TEST(Gameplay, PickingUpTheBall) {
    Play play;
    c_MyApp* app = play.app;
    play.OpenGround({{5, 5}}, 5, 5);
    play.Content(5, 5) = kBall;
    app->p_EnterCell();
    EXPECT_EQ(app->m_Score, 5);
    EXPECT_EQ(play.P(kHolding), 1);
    EXPECT_EQ(play.sound->Ids(), std::vector<int>{7});
    play.P(kHolding) = 0;
    play.Content(5, 5) = kBonusBall;
    app->p_EnterCell();
    EXPECT_EQ(app->m_Score, 105);
    EXPECT_EQ(play.P(kHolding), 1);
    EXPECT_EQ(play.Content(5, 5), kNothing);
}

TEST(Gameplay, ThrownBallBouncesOffHedgesAndComesBack) {
    Play play;
    c_MyApp* app = play.app;
    std::vector<std::pair<int, int>> room;
    for (int x = 9; x <= 11; ++x) {
        for (int y = 4; y <= 6; ++y) room.push_back({x, y});
    }
    play.OpenGround(room, 10, 5);
    play.P(kHolding) = 1;
    play.P(kAim) = 45;
    play.Key(kFireKey, true);
    play.Update();
    play.Key(kFireKey, false);
    ASSERT_EQ(app->m_BallFlying, 1);
    EXPECT_TRUE(play.sound->Played(8));
    EXPECT_GT(app->m_BallVX, 0);
    EXPECT_LT(app->m_BallVY, 0);
    int bounces = 0, caughtAfter = 0;
    float lastVX = app->m_BallVX, lastVY = app->m_BallVY;
    for (int update = 2; update < 400 && caughtAfter == 0; ++update) {
        play.Update();
        if (app->m_BallFlying == 0) {
            caughtAfter = update;
            break;
        }
        bounces += (app->m_BallVX > 0) != (lastVX > 0);
        bounces += (app->m_BallVY > 0) != (lastVY > 0);
        lastVX = app->m_BallVX;
        lastVY = app->m_BallVY;
        // It stays inside the room.
        ASSERT_GE(app->m_BallX, 9);
        ASSERT_LE(app->m_BallX, 11);
        ASSERT_GE(app->m_BallY, 4);
        ASSERT_LE(app->m_BallY, 6);
    }
    EXPECT_GT(bounces, 0);
    EXPECT_GE(caughtAfter, 30) << "not before the catch delay has run out";
    EXPECT_EQ(play.P(kHolding), 1);
    int bounceSounds = 0;
    for (const auto& e : play.sound->effects) {
        if (e.id != 3) continue;
        ++bounceSounds;
        EXPECT_FLOAT_EQ(e.volume, 0.3f);
        EXPECT_GE(e.rate, 0.8f);
        EXPECT_LE(e.rate, 1.2f);
    }
    EXPECT_EQ(bounceSounds, bounces);
    EXPECT_EQ(play.sound->effects.back().id, 7);
}

TEST(Gameplay, BallThrownIntoTheBorderBouncesInsideIt) {
    // A throw keeps the in-cell offset of the last flight, so it can start
    // inside a hedge; at the corner of the garden that hedge is the border.
    Play play;
    c_MyApp* app = play.app;
    play.OpenGround({{1, 1}}, 1, 1);
    play.P(kHolding) = 1;
    play.P(kAim) = -45;
    app->m_BallOffX = -0.45f;
    app->m_BallOffY = -0.45f;
    play.Key(kFireKey, true);
    for (int i = 0; i < 300; ++i) {
        play.Update();
        ASSERT_GE(app->m_BallX, 0);
        ASSERT_GE(app->m_BallY, 0);
        ASSERT_LE(app->m_BallX, 1);
        ASSERT_LE(app->m_BallY, 1);
    }
}

TEST(Gameplay, OpenHomeLeadsToTheNextLevel) {
    Play play;
    c_MyApp* app = play.app;
    play.Start(1);
    play.OpenGround({{5, 5}, {6, 5}, {7, 5}}, 5, 5);
    app->m_HomeX = 7;
    app->m_HomeY = 5;
    app->m_HomeOpen = 0;
    play.Content(2, 2) = 18;  // one item left
    play.Update();
    EXPECT_EQ(app->m_HomeOpen, 0);
    play.Content(2, 2) = 0;
    play.Update();
    EXPECT_EQ(app->m_HomeOpen, 1);
    EXPECT_TRUE(play.sound->Played(4));
    play.Update();
    // "HOME" circles the home cell.
    int letters = 0;
    const float hx = -4 + 7 * 32, hy = 56 + 5 * 32;
    for (const auto& c : play.Images(90)) {
        const float d = std::hypot(c.x - hx, c.y - hy);
        if (d > 15 && d < 50) ++letters;
    }
    EXPECT_EQ(letters, 4);

    play.Key(kRightKey, true);
    int updates = 0;
    while (play.P(kState) == 0 && updates < 200) {
        play.Update();
        ++updates;
    }
    play.Key(kRightKey, false);
    ASSERT_LT(play.P(kState), 0);
    EXPECT_TRUE(play.sound->Played(6));
    EXPECT_EQ(play.sound->music.back(), "stop");
    int leaving = 1;
    while (app->m_Level == 1 && leaving < 200) {
        play.Update();
        ++leaving;
        if (app->m_Level == 1) {
            bool frame12 = false;
            for (const auto& c : play.Images(1)) frame12 |= c.frame == 12;
            ASSERT_TRUE(frame12);
        }
    }
    EXPECT_EQ(leaving, 99);
    EXPECT_EQ(app->m_Level, 2);
    EXPECT_EQ(play.P(kState), 0);
    EXPECT_EQ(play.P(kPX), 10);
    EXPECT_EQ(app->m_LevelIntro, 118) << "the new level's intro began in the same update";
    EXPECT_EQ(app->m_EnemiesWaiting, 3);
    EXPECT_EQ(app->m_ReleaseTimer, 160);
}

TEST(Gameplay, BorderItemDoesNotKeepTheHomeShut) {
    // Seed base 506, level 1: a patch placed on its 50th try runs into the
    // bottom border, where nobody can walk.
    Play play;
    c_MyApp* app = play.app;
    app->m_Level = 1;
    app->m_SeedBase = 506;
    app->p_Garden();
    ASSERT_EQ(play.Content(2, 12), 24);
    for (int y = 1; y <= 11; ++y) {
        for (int x = 1; x <= 19; ++x) {
            if (play.Content(x, y) >= 18) play.Content(x, y) = 0;
        }
    }
    app->m_EnemiesWaiting = 0;
    play.Update();
    EXPECT_EQ(app->m_ItemsLeft, 0);
    EXPECT_EQ(app->m_HomeOpen, 1);
}

TEST(Gameplay, CaughtPlayerLosesALifeAndTheLevelStartsAgain) {
    Play play;
    c_MyApp* app = play.app;
    play.Start(2);
    const std::vector<int> first = WholeGarden(app);
    play.SkipIntro();
    play.Hedge(3, 3) = 0;  // as if played a while
    app->m_Score = 50;
    app->m_BallFlying = 1;  // the ball in flight when he is caught
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 21; ++x) {
            if (play.Content(x, y) == kBall) play.Content(x, y) = 0;
        }
    }
    play.PutEnemy(1, 10, 10);
    play.Update();
    ASSERT_EQ(play.P(kState), 2);
    EXPECT_TRUE(play.sound->Played(5));
    // A quarter turn every 12 updates, shrinking.
    play.Update(24);
    bool spun = false;
    for (const auto& c : play.Images(1)) spun |= c.rot == 180 && std::fabs(c.sx - (2 - 26.0f / 60) * 2) < 1e-4f;
    EXPECT_TRUE(spun);
    int updates = 25;
    while (app->m_Lives == 3 && updates < 200) {
        play.Update();
        ++updates;
    }
    EXPECT_EQ(updates, 99);
    EXPECT_EQ(app->m_Lives, 2);
    EXPECT_EQ(WholeGarden(app), first) << "the level is rebuilt as it first began";
    EXPECT_EQ(app->m_Score, 50);
    EXPECT_EQ(app->m_Level, 1);
    EXPECT_EQ(app->m_BallFlying, 0);
    EXPECT_EQ(play.P(kHolding), 0);
    EXPECT_EQ(play.P(kState), 0);
    EXPECT_EQ(app->m_GameOver, 0);
    EXPECT_EQ(play.Enemy(1)[kEActive], 0);
    int balls = 0;
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 21; ++x) balls += play.Content(x, y) == kBall;
    }
    EXPECT_EQ(balls, 1) << "a new ball lies on the board";
}

TEST(Gameplay, LastLifeEndsTheGameOnce) {
    Play play;
    c_MyApp* app = play.app;
    play.Start(1);
    play.SkipIntro();
    app->m_Lives = 1;
    play.PutEnemy(1, 10, 10);
    play.Update(101);
    EXPECT_EQ(app->m_GameOver, 1);
    EXPECT_EQ(app->m_Lives, 0);
    const std::vector<int> garden = WholeGarden(app);
    // The game goes on drawing beneath the game-over screen; nothing more
    // is taken and the level is not built again.
    std::vector<float> rotations;
    for (int i = 0; i < 60; ++i) {
        app->p_Game();
        for (const auto& c : play.Images(1)) {
            if (c.frame == 0) rotations.push_back(c.rot);
        }
    }
    EXPECT_EQ(app->m_Lives, 0);
    EXPECT_EQ(app->m_GameOver, 1);
    EXPECT_EQ(WholeGarden(app), garden);
    EXPECT_GT(play.P(kState), 150);
    ASSERT_EQ(rotations.size(), 60u);
    EXPECT_NE(rotations.front(), rotations.back()) << "the fallen player keeps spinning";
    // Lives shown as lost.
    int lost = 0;
    for (const auto& c : play.Images(1)) lost += c.y == 14 && c.frame == 14;
    EXPECT_EQ(lost, 3);
}

TEST(Gameplay, NothingMovesWhilePausedButBitsAndLettersDo) {
    Play play;
    c_MyApp* app = play.app;
    std::vector<std::pair<int, int>> row;
    for (int x = 2; x <= 18; ++x) row.push_back({x, 5});
    play.OpenGround(row, 4, 5);
    app->m_HomeX = 18;
    app->m_HomeY = 5;
    play.PutEnemy(2, 14, 5, kLeft);
    play.Enemy(2)[kESteps] = 9;
    app->m_EnemiesWaiting = 1;
    app->m_ReleaseTimer = 50;
    app->m_BallFlying = 1;
    app->m_BallX = 8;
    app->m_BallY = 5;
    app->m_BallVX = 1;
    app->m_ComboTime = 10;
    app->m_Combo = 2;
    app->p_ThrowParticle(300, 300, 2, 4, 90, 2);
    play.Key(kRightKey, true);
    app->m_Paused = 1;
    const float px = play.P(kPDX), ex = play.Enemy(2)[kEDX], bx = app->m_BallOffX;
    const float bitX = app->m_Particles[2500 + 1];
    const int spin = app->m_HomeSpin;
    app->m_EnemiesWaiting = 0;  // let the HOME letters show
    app->m_HomeOpen = 1;
    for (int i = 0; i < 5; ++i) app->p_Game();
    EXPECT_EQ(play.P(kPDX), px);
    EXPECT_EQ(play.P(kWalk), 0);
    EXPECT_EQ(play.Enemy(2)[kEDX], ex);
    EXPECT_EQ(app->m_BallOffX, bx);
    EXPECT_EQ(app->m_ReleaseTimer, 50) << "the home's clock stands still";
    EXPECT_GT(app->m_Particles[2500 + 1], bitX);
    EXPECT_EQ(app->m_HomeSpin, spin + 20);
    EXPECT_EQ(app->m_ComboTime, 5);
    int letters = 0;
    for (const auto& c : play.Images(90)) letters += c.frame == 'H' - 32 || c.frame == 'E' - 32;
    EXPECT_GE(letters, 2);
}

TEST(Gameplay, ScoreReadsEightDigitsAndRunsToTheRealScore) {
    Play play;
    c_MyApp* app = play.app;
    play.Start(1);
    app->m_Score = 600;
    play.Update();
    EXPECT_EQ(app->m_ShownScore, 100);
    EXPECT_EQ(play.TextAt(14), "00000100");
    for (const auto& c : play.Images(90)) {
        if (c.y != 14) continue;
        EXPECT_EQ(c.sx, 2);
        EXPECT_EQ(c.g, 255);
        EXPECT_FLOAT_EQ(c.alpha, 0.8f);
    }
    int lives = 0;
    for (const auto& c : play.Images(1)) {
        if (c.y == 14 && c.frame == 13) {
            EXPECT_EQ(c.x, 448 + 16 * lives);
            ++lives;
        }
    }
    EXPECT_EQ(lives, 3);
    play.Update(40);
    EXPECT_EQ(app->m_ShownScore, 600);
    app->m_DebugShow = 1;
    play.Update();
    EXPECT_EQ(play.TextAt(14), "");
}

TEST(Gameplay, LevelIntroSlidesTheTitleAndStartsTheMusic) {
    Play play;
    c_MyApp* app = play.app;
    play.Start(1);
    play.P(kHolding) = 1;
    play.Key(kFireKey, true);
    play.Update();
    EXPECT_EQ(app->m_LevelIntro, 118);
    EXPECT_EQ(play.TextAt(240 + 38 * 38), "Level1");
    for (int i = 2; i <= 49; ++i) play.Update();
    EXPECT_TRUE(play.sound->music.empty());
    EXPECT_EQ(play.TextAt(240), "Level1");
    play.Update();
    ASSERT_EQ(play.sound->music.size(), 1u);
    EXPECT_EQ(play.sound->music[0], "play quarlo://data/sfx/Voduzozu.ogg");
    EXPECT_EQ(app->m_BallFlying, 0) << "no throw during the intro";
    play.Update(10);
    EXPECT_EQ(app->m_LevelIntro, 0);
    EXPECT_EQ(app->m_BallFlying, 0);
    play.Update();
    EXPECT_EQ(app->m_BallFlying, 1) << "the held fire button throws once the intro is over";
}

TEST(Gameplay, PauseByKeyOrIcon) {
    Play play;
    c_MyApp* app = play.app;
    play.Start(1);
    play.Key(kEscape, true);
    app->m_KeyLatch = 1;
    play.Update();
    EXPECT_EQ(app->m_Paused, 0) << "a key already consumed does not pause";
    app->m_KeyLatch = 0;
    play.Update();
    EXPECT_EQ(app->m_Paused, 1);
    EXPECT_EQ(app->m_PauseOpen, 1);
    EXPECT_EQ(app->m_KeyLatch, 1);
    ASSERT_TRUE(play.sound->Played(98));
    EXPECT_FLOAT_EQ(play.sound->effects.back().volume, 0.5f);
    play.Key(kEscape, false);

    app->m_Paused = 0;
    app->m_MouseDown = 1;
    app->m_TouchX[0] = 31;
    app->m_TouchY[0] = 1;
    app->p_InGame();
    EXPECT_EQ(app->m_Paused, 1);
    EXPECT_EQ(app->m_TouchLatch, 1);
    app->m_Paused = 0;
    app->m_TouchX[0] = 32;  // the icon ends at 16 + 16
    app->p_InGame();
    EXPECT_EQ(app->m_Paused, 0);
}

TEST(Gameplay, UpdateOfPlayAllocatesNoObjects) {
    Play play;
    c_MyApp* app = play.app;
    play.Start(1);
    app->m_Level = 20;
    app->p_Garden();
    play.SkipIntro();
    play.Update(1500);
    const int before = gc_new_bytes;
    play.Update(200);
    EXPECT_EQ(gc_new_bytes, before);
}

TEST(Gameplay, SmallHelpers) {
    Play play;
    c_MyApp* app = play.app;
    int seen[5] = {0, 0, 0, 0, 0};
    for (int i = 0; i < 300; ++i) {
        const int r = app->p_Rand(1, 3);
        ASSERT_GE(r, 1);
        ASSERT_LE(r, 3);
        ++seen[r];
    }
    EXPECT_GT(seen[1], 50);
    EXPECT_GT(seen[3], 50);
    orv_random_Seed = 0;
    const float u = orv_random_Rnd();
    orv_random_Seed = 0;
    EXPECT_EQ(app->p_Rand(-5, 5), static_cast<int>(std::floor(u * (5 + 0.99f + 5) - 5)));
}

}  // namespace
