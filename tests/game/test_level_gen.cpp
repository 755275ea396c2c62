// Level generation: the garden a seed makes, cell for cell, and the rules
// every garden keeps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/game/play_test_util.h"

namespace {

using playtest::Play;
using LevelGen = playtest::PlayTest;

// One character per cell of the played area: '=' border, '#' hedge, '.' cut
// ground, 'H' home, a-g / A-G an item of kind 1-7 in hedge / on cut ground,
// 'o' / 'O' the ball in hedge / on cut ground.
std::vector<std::string> Picture(Play& play) {
    std::vector<std::string> rows;
    for (int y = 0; y < 13; ++y) {
        std::string row;
        for (int x = 0; x < 21; ++x) {
            const int c = play.Content(x, y);
            const bool hedge = play.Hedge(x, y) == 1;
            char ch = hedge ? '#' : '.';
            if (c == 16) ch = '=';
            if (c >= 18 && c <= 24) ch = static_cast<char>((hedge ? 'a' : 'A') + c - 18);
            if (c == 10) ch = hedge ? 'o' : 'O';
            if (x == play.app->m_HomeX && y == play.app->m_HomeY) ch = 'H';
            row += ch;
        }
        rows.push_back(row);
    }
    return rows;
}

void Build(Play& play, int level, int seedBase) {
    play.app->m_Level = level;
    play.app->m_SeedBase = seedBase;
    play.app->p_Garden();
}

// Derived from the generator's rules with a separate single
// precision model; any change to the order of the draws moves something here.
TEST_F(LevelGen, FirstGardenOfGameTypeOne) {
    play.Start(1);
    EXPECT_EQ(app->m_SeedBase, 12345);
    const std::vector<std::string> expected = {
        "=====================",
        "=###################=",
        "=###################=",
        "=####dddd###########=",
        "=####dddd#####o##ddd=",
        "=################ddd=",
        "=#########....######=",
        "=###ddd###.#dddd####=",
        "=###ddd###.#dddd###H=",
        "=###ddd###.########.=",
        "=#.........########.=",
        "=#########..........=",
        "=====================",
    };
    EXPECT_EQ(Picture(play), expected);
    EXPECT_EQ(Values(app->m_HedgeStyle, app->m_HomeX, app->m_HomeY, orv_random_Seed, app->m_EnemiesWaiting,
                     app->m_ReleaseTimer, app->m_LevelIntro),
              Values(11, 19, 8, 562327492, 3, 170, 120));
    EXPECT_EQ(Values(play.P(play::kPX), play.P(play::kPY), play.P(play::kFacing)), Values(10, 10, 1));
}

// The 50th try of a patch is used even where it fails: here it runs down a
// column over cut ground, and the ball's tested cell lies up-left of it.
TEST_F(LevelGen, FiftiethPatchTryIsTakenAsItFalls) {
    Build(play, 1, 55);
    const std::vector<std::string> expected = {
        "=====================",
        "=###################=",
        "=####ddd############=",
        "=####ddd#d##########=",
        "=####ddd#d####ddd###=",
        "=####dd##d####ddd###=",
        "=####ddH.D.###ddd###=",
        "=####dd.#d.##.######=",
        "=####dd.#d.##.######=",
        "=##o###.#d.##.######=",
        "=######.##......####=",
        "=######...#####.####=",
        "=====================",
    };
    EXPECT_EQ(Picture(play), expected);
    EXPECT_EQ(orv_random_Seed, -714458936);
}

// Type 1, level 37: the ball's tested cell (9, 9) passes, so the ball lies
// on the start cell itself.
TEST_F(LevelGen, BallMayLandOnTheStartCell) {
    Build(play, 37, 12345);
    EXPECT_EQ(Values(play.Content(10, 10), play.Hedge(10, 10), play.app->m_HomeX, play.app->m_HomeY, orv_random_Seed),
              Values(play::kBall, 0, 17, 1, -393007280));
}

TEST_F(LevelGen, SameLevelAndSeedBaseGiveTheSameGarden) {
    const auto state = [&] {
        std::vector<int> all = play.Garden();
        all.insert(all.end(), {orv_random_Seed, app->m_HomeX, app->m_HomeY, app->m_HedgeStyle});
        return all;
    };
    Build(play, 7, 24690);
    const std::vector<int> first = state();
    orv_random_Seed = 99;  // whatever came before does not matter
    play.Hedge(3, 3) = 0;
    Build(play, 7, 24690);
    EXPECT_EQ(state(), first);
    Build(play, 8, 24690);
    EXPECT_NE(state(), first);
}

TEST_F(LevelGen, FixedTypesRepeatAcrossGamesTheRandomTypeDoesNot) {
    for (int type = 1; type <= 3; ++type) {
        play.clock->ms = 1000;
        play.Start(type);
        const std::vector<int> first = play.Garden();
        play.clock->ms = 98765;
        play.Start(type);
        EXPECT_EQ(play.Garden() == first, type != 3) << "type " << type;
    }
    EXPECT_EQ(app->m_SeedBase, 98765) << "type 3 seeds from the clock";
}

TEST_F(LevelGen, StartIsCutAndNeverTheHome) {
    const int bases[] = {12345, 24690, 0, 506, 2147483600};
    for (int base : bases) {
        for (int level = 1; level <= 120; ++level) {
            Build(play, level, base);
            ASSERT_EQ(play.Hedge(10, 10), 0) << base << " " << level;
            ASSERT_FALSE(app->m_HomeX == 10 && app->m_HomeY == 10) << base << " " << level;
            ASSERT_EQ(play.Hedge(app->m_HomeX, app->m_HomeY), 0);
            ASSERT_TRUE(app->m_HomeX >= 1 && app->m_HomeX <= 19 && app->m_HomeY >= 1 && app->m_HomeY <= 11);
            int balls = 0;
            for (auto [x, y] : playtest::Box(0, 0, 20, 12)) balls += play.Content(x, y) == play::kBall ? 1 : 0;
            ASSERT_EQ(balls, 1);
        }
    }
}

TEST_F(LevelGen, DifficultyByLevel) {
    const struct {
        int level, enemies, interval;
    } cases[] = {{1, 3, 170}, {2, 3, 160}, {3, 4, 150}, {10, 7, 80}, {15, 8, 30}, {20, 8, 30}};
    for (const auto& c : cases) {
        Build(play, c.level, 12345);
        EXPECT_EQ(app->m_EnemiesWaiting, c.enemies) << c.level;
        EXPECT_EQ(app->m_ReleaseTimer, c.interval) << c.level;
    }
}

}  // namespace
