// Level generation: the garden a seed makes, cell for cell, and the rules
// every garden keeps.
#include "tests/game/game_test.h"

namespace {

// One character per cell of the played area: '=' border, '#' hedge, '.' cut
// ground, 'H' home, a-g / A-G an item of kind 1-7 in hedge / on cut ground,
// 'o' / 'O' the ball in hedge / on cut ground.
class LevelGen : public GameTest {
protected:
    std::vector<std::string> Picture() {
        std::vector<std::string> rows(13, std::string(21, ' '));
        for (auto [x, y] : Box(0, 0, 20, 12)) {
            const int c = Content(x, y);
            const bool hedge = Hedge(x, y) == 1;
            char& ch = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            ch = hedge ? '#' : '.';
            if (c == 16) ch = '=';
            if (c >= 18 && c <= 24) ch = static_cast<char>((hedge ? 'a' : 'A') + c - 18);
            if (c == 10) ch = hedge ? 'o' : 'O';
            if (x == app->m_HomeX && y == app->m_HomeY) ch = 'H';
        }
        return rows;
    }
};

// Derived from the generator's rules with a separate single precision model;
// any change to the order of the draws moves something here.
TEST_F(LevelGen, FirstGardenOfGameTypeOne) {
    Start(1);
    EXPECT_EQ(Picture(), (std::vector<std::string>{
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
                              }));
    EXPECT_EQ(Values(app->m_SeedBase, app->m_HedgeStyle, app->m_HomeX, app->m_HomeY, orv_random_Seed,
                     app->m_EnemiesWaiting, app->m_ReleaseTimer, app->m_LevelIntro, P(play::kPX), P(play::kPY),
                     P(play::kFacing)),
              Values(12345, 11, 19, 8, 562327492, 3, 170, 120, 10, 10, 1));
}

// The 50th try of a patch is used even where it fails: here it runs down a
// column over cut ground, and the ball's tested cell lies up-left of it.
TEST_F(LevelGen, FiftiethPatchTryIsTakenAsItFalls) {
    Build(1, 55);
    EXPECT_EQ(Picture(), (std::vector<std::string>{
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
                              }));
    EXPECT_EQ(orv_random_Seed, -714458936);
}

TEST_F(LevelGen, BallMayLandOnTheStartCell) {
    // Type 1, level 37: the ball's tested cell (9, 9) passes.
    Build(37, 12345);
    EXPECT_EQ(Values(Content(10, 10), Hedge(10, 10), app->m_HomeX, app->m_HomeY, orv_random_Seed),
              Values(10, 0, 17, 1, -393007280));
}

TEST_F(LevelGen, FixedTypesRepeatAcrossGamesTheRandomTypeSeedsFromTheClock) {
    host.ms = 98765;
    for (int type = 1; type <= 3; ++type) {
        Start(type);
        EXPECT_EQ(app->m_SeedBase, type == 3 ? 98765 : 12345 * type);
    }
}

TEST_F(LevelGen, StartIsCutAndNeverTheHome) {
    for (int base : {12345, 24690, 0, 506, 2147483600}) {
        for (int level = 1; level <= 120; ++level) {
            Build(level, base);
            int balls = 0;
            for (auto [x, y] : Box(0, 0, 20, 12)) balls += Content(x, y) == 10 ? 1 : 0;
            const int hx = app->m_HomeX, hy = app->m_HomeY;
            ASSERT_TRUE(Hedge(10, 10) == 0 && !(hx == 10 && hy == 10) && Hedge(hx, hy) == 0 && hx >= 1 && hx <= 19 &&
                        hy >= 1 && hy <= 11 && balls == 1)
                << base << " " << level;
        }
    }
}

TEST_F(LevelGen, DifficultyByLevel) {
    for (auto [level, enemies, interval] :
         {std::tuple{1, 3, 170}, {2, 3, 160}, {3, 4, 150}, {10, 7, 80}, {15, 8, 30}, {20, 8, 30}}) {
        Build(level, 12345);
        EXPECT_EQ(Values(app->m_EnemiesWaiting, app->m_ReleaseTimer), Values(enemies, interval)) << level;
    }
}

}  // namespace
