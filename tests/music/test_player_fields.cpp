// The music player's start values.
#include <gtest/gtest.h>

#include "music/qn_player.h"

TEST(MusicPlayer, StartsStoppedAtTempo95WithHalfVolume) {
    gc_init();
    auto* player = new c_QnPlayer();
    EXPECT_EQ(player->m_State, 0);
    EXPECT_EQ(player->m_Tempo, 95);
    EXPECT_EQ(player->m_Voices, 5);
    EXPECT_EQ(player->m_LoopFlag, 1);
    EXPECT_FLOAT_EQ(player->m_MasterVolume, 0.5f);
    EXPECT_EQ(player->m_Song.Length(), 262145);
}
