// Starting a tune: its seeded arrangement and instruments, and the loader's
// steps with the files they read.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/random.h"
#include "tests/music/player_rig.h"

namespace music_test {
namespace {

using Music = PlayerTest;
using Draw = RecordingGraphics::Call;

TEST_F(Music, WorkedExampleOfTheGameSeed) {
    SetNow(5000);
    player->p_Qn_Init(32, 4, 3, 3, 4);
    player->p_Qn_StartTune(String("Pasture Run/Tune_12"), 37171650, 100);
    EXPECT_EQ(Voices(player->m_InstPick, 1), Values(1, 3, 2, 2, 1));
    EXPECT_EQ(Voices(player->m_MuteNext), Values(1, 0, 0, 0, 1));
    EXPECT_EQ(Voices(player->m_LeadIn), Values(0, 0, 1, 0, 0));
    EXPECT_EQ(Voices(player->m_Mute), Values(0, 0, 1, 0, 1));
    EXPECT_EQ(Voices(player->m_Pattern), Values(0, 0, 0, 0, 0));
    EXPECT_EQ(Voices(player->m_Channel), Values(32, 31, 30, 29, 28));
    EXPECT_EQ(player->m_TunePath.ToUtf8() + " " + player->m_Chords.ToUtf8(), "tunes/Pasture Run/Tune_12.png qqjj");
    EXPECT_EQ(Values(player->m_BarsLeft, player->m_LoadStep, player->m_State, player->m_Tempo, player->m_NextTime),
              Values(2, 1, 2, 100, 5100));
}

TEST_F(Music, LoaderReadsEveryFileInSeventyStepsAtMostThreePerFrame) {
    player->p_Qn_Init(32, 4, 3, 3, 4);
    player->p_Qn_StartTune(String("Pasture Run/Tune_12"), 37171650, 100);
    graphics->keep_all_frames = true;
    int frames = 0;
    while (player->m_LoadStep != 0) {
        const int before = player->m_LoadStep;
        game.fake.now += 0.016;
        Render();
        ++frames;
        ASSERT_EQ(player->m_LoadStep == 0 ? 71 : player->m_LoadStep, std::min(before + 3, 71));
        // Nothing the loader drew stays on the screen.
        const RecordingGraphics::Record& last = graphics->records.end()[-2];
        ASSERT_TRUE(last.call == Draw::Cls && last.args == std::vector<float>(3, 0));
    }
    EXPECT_EQ(Values(frames, player->m_NextTime), Values(24, Now() + 100));
    ASSERT_EQ(graphics->Of(Draw::LoadSurface).size(), 1u);
    EXPECT_EQ(graphics->Of(Draw::LoadSurface)[0].path, "quarlo://data/tunes/Pasture Run/Tune_12.png");
    EXPECT_NE(player->m_TuneImage, nullptr);
    std::vector<std::string> expected, loaded;
    for (int k = 0; k < 16; ++k) expected.push_back("d" + std::to_string(k < 8 ? 1 : 3) + "-" + char('1' + k % 8));
    expected.insert(expected.end(), {"lead2", "accompany2", "bass1"});
    for (std::string& name : expected) name = "quarlo://data/inst/" + name + ".wav";
    for (const Call& c : Of("LoadSample")) loaded.push_back(c.sample);
    EXPECT_EQ(loaded, expected);
    // Each sample in its place.
    auto path = [](c_Sound* s) { return s ? static_cast<NamedSample*>(s->m_Sample)->path : ""; };
    EXPECT_EQ(path(player->m_DrumsA[1]) + path(player->m_DrumsB[8]) + path(player->m_Instruments[4]),
              expected[0] + expected[15] + expected[18]);

    // Patterns 0-62 decoded; an idle loader only clears.
    EXPECT_EQ(graphics->Of(Draw::ReadPixels).size(), 63u);
    graphics->records.clear();
    const size_t calls = audio->calls.size();
    Render();
    EXPECT_EQ(Values(graphics->Of(Draw::Cls).size(), graphics->Of(Draw::ReadPixels).size(),
                     graphics->Of(Draw::LoadSurface).size(), audio->calls.size()),
              Values(1, 0, 0, calls));
}

TEST_F(Music, SameTuneAgainIsNotReloadedAndUsesTheLoadedPatterns) {
    StartLoaded();
    for (int v = 0; v < 8; ++v) player->m_MaxPattern[v] = 3;
    player->m_Song[1000] = 9;
    orv_random_Seed = 55;  // whatever the game drew meanwhile
    SetNow(20000);
    player->p_Qn_StartTune(String("Retro/Hopper"), 37171650, 100);  // the same tune
    EXPECT_EQ(Values(player->m_LoadStep, player->m_NextTime, player->m_Song[1000]), Values(0, 20100, 9));
    const std::vector<double> patterns = Voices(player->m_Pattern);
    EXPECT_TRUE(*std::max_element(patterns.begin(), patterns.end()) <= 3 && patterns != Values(0, 0, 0, 0, 0))
        << testing::PrintToString(patterns);

    player->p_Qn_StartTune(String("Retro/Cavern Digger"), 37171650, 100);
    EXPECT_EQ(Values(player->m_LoadStep, player->m_MaxPattern[3]), Values(1, 0));
    EXPECT_EQ(Voices(player->m_Pattern), Values(0, 0, 0, 0, 0));
}

}  // namespace
}  // namespace music_test
