// Starting a tune: its seeded arrangement and instruments, and the loader's
// steps with the files they ask for (no window here, so no image loads).
#include <gtest/gtest.h>

#include "framework/random.h"
#include "tests/music/player_rig.h"

namespace music_test {
namespace {

using Music = PlayerTest;

std::vector<double> Voices(const Array<int>& a, int from = 0) {
    return Values(a[from], a[from + 1], a[from + 2], a[from + 3], a[from + 4]);
}

TEST_F(Music, WorkedExampleOfTheGameSeed) {
    // A new player stands stopped at tempo 95, half volume.
    EXPECT_EQ(Values(player->m_State, player->m_Tempo, player->m_Voices, player->m_LoopFlag, player->m_MasterVolume,
                     player->m_Song.Length()),
              Values(0, 95, 5, 1, 0.5f, 262145));
    SetNow(5000);
    player->p_Qn_Init(32, 4, 3, 3, 4);
    player->p_Qn_StartTune(String("Pasture Run/Tune_12"), 37171650, 100);
    EXPECT_EQ(Voices(player->m_InstPick, 1), Values(1, 3, 2, 2, 1));
    EXPECT_EQ(Voices(player->m_MuteNext), Values(1, 0, 0, 0, 1));
    EXPECT_EQ(Voices(player->m_LeadIn), Values(0, 0, 1, 0, 0));
    EXPECT_EQ(Voices(player->m_Mute), Values(0, 0, 1, 0, 1));
    EXPECT_EQ(player->m_BarsLeft, 2);
    EXPECT_EQ(Voices(player->m_Pattern), Values(0, 0, 0, 0, 0));
    EXPECT_EQ(Voices(player->m_Channel), Values(32, 31, 30, 29, 28));
    EXPECT_EQ(player->m_TunePath.ToUtf8(), "tunes/Pasture Run/Tune_12.png");
    EXPECT_EQ(player->m_Chords.ToUtf8(), "qqjj");
    EXPECT_EQ(Values(player->m_LoadStep, player->m_State, player->m_Tempo, player->m_NextTime),
              Values(1, 2, 100, 5100));
}

TEST_F(Music, PicksStayInRangeAndReachBothEnds) {
    player->p_Qn_Init(32, 4, 3, 3, 4);
    const int top[6] = {0, 4, 4, 3, 3, 4};
    bool seen[6][5] = {};
    for (int seed = -1000; seed < 1000; ++seed) {
        player->p_Qn_StartTune(String("t"), seed * 7919, 100);
        for (int i = 1; i <= 5; ++i) {
            const int pick = player->m_InstPick[i];
            ASSERT_GE(pick, 1);
            ASSERT_LE(pick, top[i]);
            seen[i][pick] = true;
        }
        ASSERT_FALSE(player->m_Mute[0] == 1 && player->m_Mute[1] == 1);
        ASSERT_TRUE(player->m_BarsLeft == 2 || player->m_BarsLeft == 4);
    }
    for (int i = 1; i <= 5; ++i) {
        for (int v = 1; v <= top[i]; ++v) EXPECT_TRUE(seen[i][v]) << "pick " << i << " never " << v;
    }
}

TEST_F(Music, LoaderAsksForEveryFileInSeventyStepsAtMostThreePerFrame) {
    player->p_Qn_Init(32, 4, 3, 3, 4);
    player->p_Qn_StartTune(String("Pasture Run/Tune_12"), 37171650, 100);
    audio->missing = {"d3-5.wav"};
    int frames = 0;
    while (player->m_LoadStep != 0) {
        const int before = player->m_LoadStep;
        Advance(16);
        Render();
        ++frames;
        ASSERT_EQ(player->m_LoadStep == 0 ? 71 : player->m_LoadStep, std::min(before + 3, 71));
        ASSERT_EQ(graphics->clears.back(), "0,0,0");
    }
    EXPECT_EQ(Values(frames, player->m_NextTime), Values(24, Now() + 100));
    EXPECT_EQ(graphics->loads, (std::vector<std::string>{"quarlo://data/tunes/Pasture Run/Tune_12.png"}));
    std::vector<std::string> expected;
    for (int k = 0; k < 16; ++k) {
        expected.push_back("inst/d" + std::to_string(k < 8 ? 1 : 3) + "-" + std::to_string(k % 8 + 1) + ".wav");
    }
    for (const char* name : {"inst/lead2.wav", "inst/accompany2.wav", "inst/bass1.wav"}) expected.push_back(name);
    for (std::string& path : expected) path = "quarlo://data/" + path;
    EXPECT_EQ(audio->loads, expected);
    EXPECT_TRUE(player->m_DrumsA[8] && !player->m_DrumsB[5] && player->m_DrumsB[6] && player->m_Instruments[4]);
    // The image was missing: nothing decoded, the old song kept.
    EXPECT_EQ(player->m_TuneImage, nullptr);
    EXPECT_EQ(graphics->clears, std::vector<std::string>(24, "0,0,0"));

    // An idle loader only clears.
    Render();
    EXPECT_EQ(Values(graphics->clears.size(), audio->loads.size()), Values(25, expected.size()));
}

TEST_F(Music, SameTuneAgainIsNotReloadedAndUsesTheLoadedPatterns) {
    StartLoaded();
    for (int v = 0; v < 8; ++v) player->m_MaxPattern[v] = 3;
    player->m_Song[1000] = 9;
    orv_random_Seed = 55;  // whatever the game drew meanwhile
    SetNow(20000);
    player->p_Qn_StartTune(String("Retro/Hopper"), 37171650, 100);
    EXPECT_EQ(Values(player->m_LoadStep, player->m_NextTime, player->m_Song[1000]), Values(0, 20100, 9));
    bool moved = false;
    for (int v = 0; v < 5; ++v) {
        EXPECT_LE(player->m_Pattern[v], 3);
        moved = moved || player->m_Pattern[v] != 0;
    }
    EXPECT_TRUE(moved);

    player->p_Qn_StartTune(String("Retro/Cavern Digger"), 37171650, 100);
    EXPECT_EQ(Values(player->m_LoadStep, player->m_MaxPattern[3]), Values(1, 0));
    EXPECT_EQ(Voices(player->m_Pattern), Values(0, 0, 0, 0, 0));
}

}  // namespace
}  // namespace music_test
