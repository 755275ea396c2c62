// The program's game on the test host: no window, no sound card.
#include <gtest/gtest.h>

#include "tests/support/game_host.h"

namespace {

class Game : public ::testing::Test {
protected:
    void SetUp() override { game.Start(); }
    GameHost game;
};

TEST_F(Game, TheCloseBoxEndsTheGame) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // the sound device runs a thread
    EXPECT_EXIT(game.Close(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
