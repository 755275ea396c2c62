// One update of play and what it leads to: the board and its layout,
// collecting, the thrown ball, the home, lives, pausing and the intro.
// Cutting hedges, the replay pins.
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "tests/game/game_test.h"

namespace {

using namespace play;
using Gameplay = GameTest;

TEST_F(Gameplay, BoardScaleAndOrigin) {
    Start(1);
    // 640 × 480 fits tiles at 2, a wide screen (640 × 360) at 1.5. The faint
    // backdrop comes first, then the board from its top-left cell.
    for (auto [h, scale, x, y] : {std::tuple{480.0f, 2.0f, -4.0f, 56.0f}, {360.0f, 1.5f, 77.0f, 45.0f}}) {
        orv_Kemp_jscrh = h;
        Update();
        const auto c = Drawn();
        ASSERT_GT(c.size(), 1u);
        EXPECT_EQ(Values(app->m_BoardScale, app->m_BoardX, app->m_BoardY, c[0].kind, c[0].alpha, c[1].x, c[1].y,
                         c[1].sx, c[1].frame),
                  Values(scale, x, y, 99, 0.1f, x, y, scale, 240.0f + app->m_HedgeStyle));
    }
    // One ground or hedge tile per cell.
    const auto sheet = Drawn(1);
    EXPECT_EQ(std::count_if(sheet.begin(), sheet.end(), [](const Command& t) { return t.frame >= 224; }), 21 * 13);
}

TEST_F(Gameplay, ItemsScoreByComboAndTheBallByWhereItLay) {
    OpenGround({{5, 5}}, 5, 5);
    // The item's score, the sound's sample and its rate: the sound climbs by
    // sample, then by rate.
    const std::map<int, std::tuple<int, int, float>> examples = {
        {1, {5, 10, 1}}, {2, {15, 11, 1}}, {12, {390, 21, 1}}, {13, {455, 21, 1.05f}}, {14, {525, 21, 1.1f}},
        {32, {2640, 21, 2}}, {33, {2805, 21, 2}}};
    for (int k = 1; k <= 33; ++k) {
        Content(5, 5) = 21;
        app->p_EnterCell();
        if (!examples.count(k)) continue;
        const auto [score, id, rate] = examples.at(k);
        EXPECT_EQ(Values(app->m_Score, LastEffect().id), Values(score, id)) << k;
        EXPECT_FLOAT_EQ(LastEffect().rate, rate) << k;
    }
    // The combo lasts while each item follows within 40 updates.
    Update(39);
    EXPECT_EQ(app->m_Combo, 33);
    Update();
    EXPECT_EQ(app->m_Combo, 0);

    app->m_Score = 0;
    Content(5, 5) = 10;  // the ball
    app->p_EnterCell();
    EXPECT_EQ(Values(app->m_Score, P(kHolding), LastEffect().id), Values(5, 1, 7));
    Content(5, 5) = 11;  // the ball where it struck an enemy
    app->p_EnterCell();
    EXPECT_EQ(app->m_Score, 105);
}

TEST_F(Gameplay, ThrownBallBouncesOffHedgesAndComesBack) {
    OpenGround(Box(9, 4, 11, 6), 10, 5);
    P(kHolding) = 1;
    P(kAim) = 45;
    Key(KEY_Z, true);
    Update();
    Key(KEY_Z, false);
    ASSERT_EQ(app->m_BallFlying, 1);
    EXPECT_TRUE(app->m_BallVX > 0 && app->m_BallVY < 0);
    int bounces = 0, update = 1;
    for (; app->m_BallFlying == 1 && update < 400; ++update) {
        const float vx = app->m_BallVX, vy = app->m_BallVY;
        Update();
        bounces += (app->m_BallVX > 0) != (vx > 0) || (app->m_BallVY > 0) != (vy > 0);
        ASSERT_TRUE(app->m_BallX >= 9 && app->m_BallX <= 11 && app->m_BallY >= 4 && app->m_BallY <= 6);
    }
    EXPECT_GT(bounces, 0);
    EXPECT_GE(update, 30) << "not caught before the catch delay has run out";
    EXPECT_EQ(Values(P(kHolding), Played(3), LastEffect().id), Values(1, true, 7));
}

TEST_F(Gameplay, FireAndWalkStopWhilePausedOverOrDyingAndTheIntroStopsOnlyFire) {
    const struct {
        int paused, over, state, intro, touchX, touchY;  // the touch relative to the player
        bool keys, fires, walks;
    } cases[] = {
        {0, 0, 0, 0, kAbsentInt, 0, true, true, true},    {1, 0, 0, 0, kAbsentInt, 0, true, false, false},
        {0, 1, 0, 0, kAbsentInt, 0, true, false, false},  {0, 0, 1, 0, kAbsentInt, 0, true, false, false},
        {0, 0, 0, 100, kAbsentInt, 0, true, false, true}, {0, 0, 0, 0, 31, -31, false, true, false},
        {0, 0, 0, 0, 32, 0, false, false, false},         {0, 0, 0, 0, 0, 32, false, false, false},
    };
    for (const auto& c : cases) {
        OpenGround(Box(3, 3, 7, 7), 5, 5);
        P(kHolding) = 1;
        app->m_Paused = c.paused;
        app->m_GameOver = c.over;
        P(kState) = static_cast<float>(c.state);
        app->m_LevelIntro = c.intro;
        app->m_TouchX[0] = c.touchX == kAbsentInt ? kAbsentInt : 156 + c.touchX;  // cell (5, 5) is drawn at (156, 216)
        app->m_TouchY[0] = 216 + c.touchY;
        Key(KEY_Z, c.keys);
        Key(KEY_RIGHT, c.keys);
        app->m_KeyRampX = 0;
        app->p_Game();
        EXPECT_EQ(Values(app->m_BallFlying, P(kPDX) > 0), Values(c.fires, c.walks)) << &c - cases;
    }
}

TEST_F(Gameplay, BallThrownIntoTheBorderBouncesInsideIt) {
    // A throw keeps the in-cell offset of the last flight, so it can start
    // inside a hedge; in the corner of the garden that hedge is the border.
    OpenGround({{1, 1}}, 1, 1);
    P(kHolding) = 1;
    P(kAim) = -45;
    app->m_BallOffX = app->m_BallOffY = -0.45f;
    Key(KEY_Z, true);
    for (int i = 0; i < 300; ++i) {
        Update();
        ASSERT_TRUE(app->m_BallX >= 0 && app->m_BallX <= 1 && app->m_BallY >= 0 && app->m_BallY <= 1);
    }
}

TEST_F(Gameplay, OpenHomeLeadsToTheNextLevel) {
    Start(1);
    OpenGround(Box(5, 5, 7, 5), 5, 5);
    app->m_HomeX = 7;
    app->m_HomeY = 5;
    app->m_HomeOpen = 0;
    Content(2, 2) = 18;
    Update();
    EXPECT_EQ(app->m_HomeOpen, 0) << "an item is left";
    Content(2, 2) = 0;
    Update(2);
    EXPECT_EQ(Values(app->m_HomeOpen, Played(4), P(kState)), Values(1, true, 0)) << "entered from its row";

    Key(KEY_RIGHT, true);
    for (int i = 0; i < 200 && P(kState) == 0; ++i) Update();
    Key(KEY_RIGHT, false);
    ASSERT_EQ(Values(P(kState) < 0, Played(6)), Values(1, 1));
    EXPECT_EQ(MusicCalls(*audio), std::vector<std::string>{"StopMusic"});
    int leaving = 1;
    for (; app->m_Level == 1 && leaving < 200; ++leaving) {
        EXPECT_EQ(PlayerSprite().frame, 12) << "the leaving frame";
        Update();
    }
    // The new level's intro began in the same update.
    EXPECT_EQ(Values(leaving, app->m_Level, P(kState), app->m_LevelIntro, app->m_ReleaseTimer),
              Values(99, 2, 0, 118, 160));
}

TEST_F(Gameplay, BorderItemDoesNotKeepTheHomeShut) {
    // Seed base 506, level 1: a patch placed on its 50th try runs into the
    // bottom border, where nobody can walk.
    Build(1, 506);
    ASSERT_EQ(Content(2, 12), 24);
    for (auto [x, y] : Box(1, 1, 19, 11)) if (Content(x, y) >= 18) Content(x, y) = 0;
    app->m_EnemiesWaiting = 0;
    Update();
    EXPECT_EQ(app->m_HomeOpen, 1);
}

TEST_F(Gameplay, CaughtPlayerLosesALifeUntilTheGameEnds) {
    Start(2);
    const std::vector<int> first = Garden();
    SkipIntro();
    Hedge(3, 3) = 0;  // as if played a while
    app->m_Score = 50;
    app->m_BallFlying = 1;  // caught with the ball in flight
    for (auto [x, y] : Box(0, 0, 20, 12)) if (Content(x, y) == 10) Content(x, y) = 0;
    PutEnemy(3, 10, 10);  // the first out of the home
    Update(25);
    // A quarter turn every 12 updates, shrinking.
    EXPECT_EQ(Values(Played(5), PlayerSprite().rot), Values(1, 180));
    EXPECT_NEAR(PlayerSprite().sx, (2 - 26.0f / 60) * 2, 1e-4);
    Update(73);
    EXPECT_EQ(app->m_Lives, 3);
    Update();
    EXPECT_EQ(app->m_Lives, 2);
    EXPECT_EQ(Garden(), first) << "the level is rebuilt as it first began";
    EXPECT_EQ(Values(app->m_Score, app->m_BallFlying, P(kHolding), Enemy(3)[kEActive]), Values(50, 0, 0, 0));

    // The last life: the game ends once, and the fallen player keeps spinning
    // while nothing else changes.
    SkipIntro();
    app->m_Lives = 1;
    PutEnemy(3, 10, 10);
    Update(99);
    EXPECT_EQ(Values(app->m_GameOver, app->m_Lives), Values(1, 0));
    const std::vector<int> garden = Garden();
    const float rotation = PlayerSprite().rot;
    for (int i = 0; i < 30; ++i) app->p_Game();
    EXPECT_EQ(Values(app->m_Lives, Garden() == garden, PlayerSprite().rot != rotation), Values(0, 1, 1));
}

TEST_F(Gameplay, PausingFreezesPlayButNotBitsLettersOrCombo) {
    OpenGround(Box(2, 5, 18, 5), 4, 5);
    PutEnemy(2, 14, 5, kLeft, 0, 9);
    app->m_ReleaseTimer = 50;
    app->m_BallFlying = 1;
    app->m_BallX = 8;
    app->m_BallY = 5;
    app->m_BallVX = 1;
    app->m_ComboTime = 10;
    app->p_ThrowParticle(300, 300, 2, 4, 90, 2);
    Key(KEY_RIGHT, true);
    Key(KEY_ESCAPE, true);
    Update();
    ASSERT_EQ(app->m_Paused, 1);
    EXPECT_EQ(Values(LastEffect().id, LastEffect().volume), Values(98, 0.5f));
    const float px = P(kPDX), ex = Enemy(2)[kEDX], bx = app->m_BallOffX, bit = app->m_Particles[2501];
    const int spin = app->m_HomeSpin;
    for (int i = 0; i < 5; ++i) app->p_Game();
    // The home's clock stands still; bits fly, letters turn, the combo runs out.
    EXPECT_EQ(Values(P(kPDX), Enemy(2)[kEDX], app->m_BallOffX, app->m_ReleaseTimer, app->m_HomeSpin, app->m_ComboTime),
              Values(px, ex, bx, 49, spin + 20, 4));
    EXPECT_GT(app->m_Particles[2501], bit);

    // The pause icon answers a touch strictly inside its 32 × 32 frame.
    app->m_Paused = app->m_TouchLatch = 0;
    app->m_MouseDown = app->m_TouchY[0] = 1;
    for (int x : {32, 31}) {
        app->m_TouchX[0] = x;
        app->p_InGame();
        EXPECT_EQ(Values(app->m_Paused, app->m_TouchLatch), Values(x == 31, x == 31)) << x;
    }
}

TEST_F(Gameplay, IntroHudAndMusic) {
    Start(1);
    app->m_Score = 600;
    Update();
    EXPECT_EQ(TextAt(240 + 38 * 38), "Level1") << "the title slides in from below";
    EXPECT_EQ(TextAt(14), "00000100") << "the shown score runs toward the real one";
    std::vector<double> lives;
    for (const auto& c : Drawn(1)) if (c.y == 14 && c.frame == 13) lives.push_back(c.x);
    EXPECT_EQ(lives, Values(448, 464, 480));
    Update(48);
    EXPECT_EQ(TextAt(240), "Level1");
    EXPECT_TRUE(MusicCalls(*audio).empty());
    Update();
    EXPECT_EQ(MusicCalls(*audio), std::vector<std::string>{"PlayMusic quarlo://data/sfx/Voduzozu.ogg"});
    Update(10);
    EXPECT_EQ(app->m_LevelIntro, 0);
    EXPECT_EQ(TextAt(14), "00000600");
}

}  // namespace
