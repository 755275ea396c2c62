// The sequencer on a hand-turned clock: timing, arrangement, notes and
// effects as the audio device receives them.
#include <gtest/gtest.h>

#include <utility>

#include "framework/random.h"
#include "tests/music/player_rig.h"

namespace music_test {
namespace {

class Sequencer : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        StartLoaded();
        for (int k = 1; k <= 8; ++k) {
            gc_assign(player->m_DrumsA[k], Sound("a"));
            gc_assign(player->m_DrumsB[k], Sound("b"));
        }
        for (int v = 2; v <= 4; ++v) gc_assign(player->m_Instruments[v], Sound("melodic"));
        // Every voice plays unless a test says otherwise.
        for (int v = 0; v < 5; ++v) player->m_Mute[v] = player->m_LeadIn[v] = 0;
    }
    static c_Sound* Sound(const char* name) { return (new c_Sound())->m_new(new NamedSample(String(name))); }

    // Updates, each with the next step due.
    void Due(int steps = 1) {
        for (int i = 0; i < steps; ++i) {
            SetNow(player->m_NextTime + 1);
            player->p_Qn_Alive_U(0, 1);
        }
    }
    int Plays(int channel) { return static_cast<int>(Of("PlaySample", channel).size()); }
    float LastVolume(int channel) { return Of("SetVolume", channel).back().value; }
};

TEST_F(Sequencer, OneStepPerCallEvery80MsFromTheLastDueTime) {
    // Ten seconds late: still one step per call, each 80 ms after the last
    // due time, not after now.
    const int due = player->m_NextTime;
    SetNow(due + 10000);
    for (int i = 0; i < 3; ++i) player->p_Qn_MusicPlay();
    EXPECT_EQ(Values(player->m_Step, player->m_NextTime), Values(3, due + 240));
    // Due after the due time, or when it lies so far ahead that the clock
    // must have gone back.
    for (const auto& [ahead, plays] : {std::pair{-1, 1}, {0, 0}, {123456, 0}, {123457, 1}}) {
        const int step = player->m_Step;
        player->m_NextTime = Now() + ahead;
        player->p_Qn_MusicPlay();
        EXPECT_EQ(player->m_Step, step + plays) << ahead;
    }
    // Tempo 95: 8000 / 95 = 84.2 gives 84 ms every step.
    player->m_Tempo = 95;
    const int from = player->m_NextTime;
    Due(10);
    EXPECT_EQ(player->m_NextTime, from + 10 * 84);
}

TEST_F(Sequencer, SectionsOfTheGameSeedAreArrangedAlikeOnEveryPlay) {
    for (int v = 0; v < 5; ++v) player->m_MaxPattern[v] = 3;
    // Per bar its chord letter; per section its patterns, mutes and lead-ins.
    auto play = [&](int game_seed) {
        std::string log;
        orv_random_Seed = game_seed;  // gameplay draws in between
        player->p_Qn_StartTune(String("Retro/Hopper"), 37171650, 100);
        for (int section = 0; section < 40; ++section) {
            const int length = player->m_BarsLeft;
            EXPECT_TRUE(length == 2 || length == 4);
            for (int bar = 0; bar < length; ++bar) {
                EXPECT_EQ(player->m_Section, section);
                Due(64);
                log += player->m_Chords.ToUtf8()[0];
            }
            EXPECT_EQ(player->m_Section, section + 1);
            EXPECT_FALSE(player->m_Mute[0] == 1 && player->m_Mute[1] == 1);
            log += "|";
            for (int v = 0; v < 5; ++v) {
                for (const Array<int>& a : {player->m_Pattern, player->m_Mute, player->m_LeadIn}) {
                    log += std::to_string(a[v]);
                }
            }
            audio->calls.clear();
        }
        return log;
    };
    const std::string first = play(1);
    EXPECT_EQ(first, play(987654));
    // The first five sections as the rules work them out: the chord
    // pattern "qqjj" from bar 0, then patterns drawn at each fourth bar.
    EXPECT_EQ(first.substr(0, 92),
              "qj|011301300201111" "jq|101000301211210" "qq|200101010310211" "jq|201110110011300"
              "bqbq|300211101000001");
}

TEST_F(Sequencer, LeadInStartsAtStep56OfTheLastBar) {
    for (int s = 0; s < 64; ++s) SetRow(0, 2, s, 13, 20);
    player->m_Mute[2] = player->m_LeadIn[2] = 1;
    player->m_MuteNext[2] = 0;
    player->m_BarsLeft = 2;
    Due(64);  // not the last bar: silent
    ASSERT_EQ(Values(Plays(29), player->m_BarsLeft), Values(0, 1));
    player->m_Pattern[2] = 0;
    Due(56);
    EXPECT_EQ(Plays(29), 0);
    Due();
    EXPECT_EQ(Values(Plays(29), Of("PlaySample", 29).at(0).flags), Values(1, 1));  // looping
    Due(7);
    EXPECT_EQ(Plays(29), 8);
}

TEST_F(Sequencer, PatternJumpsEndOfBarAndTheEdges) {
    // Lead: a forward jump at step 0 on an odd bar count plays the next
    // pattern's row; accompaniment: no jump forward from pattern 63.
    SetRow(0, 2, 0, 0, 0, 27, 1);
    SetRow(1, 2, 0, 20, 30);
    player->m_Pattern[3] = 63;
    SetRow(63, 3, 0, 0, 0, 27, 1);
    player->m_BarsLeft = 3;
    Due();
    EXPECT_EQ(Values(player->m_Pattern[2], player->m_Pattern[3], Of("SetRate", 29).at(0).value), Values(1, 63, 1.498f));
    // Even bar count: no jump forward; bass: no jump back from pattern 0.
    SetRow(0, 4, 0, 0, 0, 27, 2);
    player->m_Pattern[2] = player->m_Pattern[3] = player->m_Step = 0;
    player->m_BarsLeft = 2;
    Due();
    EXPECT_EQ(Values(player->m_Pattern[2], player->m_Pattern[4]), Values(0, 0));
    // Effect 8 in drum voice 0 at step 10 ends the bar; the later voices
    // already read row 63.
    player->m_Step = 10;
    SetRow(0, 0, 10, 13, 20, 8, 0);
    SetRow(0, 3, 63, 25, 20);
    const int plays = Plays(28);
    Due();
    EXPECT_EQ(Values(player->m_Step, player->m_BarsLeft, Plays(28)), Values(0, 1, plays + 1));
}

TEST_F(Sequencer, DrumsMelodicNotesAndChords) {
    player->p_Qn_PlayNote(0, 13, 20, 0, 0);
    player->p_Qn_PlayNote(1, 25, 20, 0, 0);
    player->p_Qn_PlayNote(1, 1, 0, 0, 0);  // no drum for this note, no volume
    const auto plays = Of("PlaySample");
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[0].sample, "a");
    EXPECT_EQ(Values(plays[0].channel, plays[0].flags, plays[1].channel), Values(31, 0, 30));  // played once
    EXPECT_EQ(Values(Of("SetPan", 31).at(0).value, Of("SetPan", 30).at(0).value, Of("StopChannel", 30).size()),
              Values(-0.35f, 0.35f, 2));
    EXPECT_FLOAT_EQ(player->m_Envelope[1], 3.9f);
    // A missing drum sample plays nothing.
    gc_assign(player->m_DrumsA[1], nullptr);
    player->p_Qn_PlayNote(0, 13, 20, 0, 0);
    EXPECT_EQ(Of("PlaySample").size(), 2u);
    // Melodic notes take the bar's chord, also its last: "j" is two
    // semitones down; volume 30 at master 0.5; the lowest note plays too.
    player->m_Chords = String("j");
    player->p_Qn_PlayNote(4, 20, 30, 0, 0);
    player->p_Qn_PlayNote(3, 1, 0, 0, 0);
    EXPECT_EQ(Values(player->m_ChordMul, Of("SetRate", 27).back().value, Of("PlaySample", 27).back().flags,
                     LastVolume(27), Of("SetRate", 28).back().value, Plays(28)),
              Values(0.891f, 1.498f * 0.891f, 1, 0.5f, 0.5f * 0.891f, 1));
}

TEST_F(Sequencer, VolumeCellsAndTheSinglePrecisionEnvelope) {
    for (float e : {1.4f, 1.3f, 1.2f, 1.1f}) {
        player->p_Qn_PlayNote(2, 0, e == 1.4f ? 30 : 0, 0, 0);
        EXPECT_FLOAT_EQ(player->m_Envelope[2], e);
    }
    EXPECT_EQ(Of("SetVolume", 29).size(), 1u);  // held while at 1 or more
    float g = 1;
    std::vector<float> envelopes;
    for (int call = 5; call <= 15; ++call) {
        player->p_Qn_PlayNote(2, 0, 0, 0, 0);
        envelopes.push_back(player->m_Envelope[2]);
        g = envelopes.back() * g;
        EXPECT_FLOAT_EQ(LastVolume(29), g * 0.5f) << "call " << call;
    }
    EXPECT_EQ(Values(envelopes[0], envelopes.back(), LastVolume(29)), Values(0.99999988f, 0, 0));
    EXPECT_FLOAT_EQ(envelopes[1], 0.9f);
    // 31 silences at once, 1 is volume 0.
    for (int volume : {31, 1}) {
        player->p_Qn_PlayNote(3, 13, 20, 0, 0);
        player->p_Qn_PlayNote(3, 13, volume, 0, 0);
        EXPECT_EQ(LastVolume(28), 0) << volume;
    }
}

TEST_F(Sequencer, PauseStopsAtOnceAndResumes150MsAfter) {
    SetRow(0, 3, 0, 13, 20);
    Due();
    ASSERT_EQ(player->m_Sounding[3], 1);
    const size_t stops = Of("StopChannel", 28).size();
    const int step = player->m_Step;
    player->p_Qn_Alive_U(1, 1);
    EXPECT_TRUE(Of("StopChannel", 28).size() == stops + 1 && player->m_Sounding[3] == 0);
    // Ten seconds on, still paused: the step that was due waits.
    const int last_paused = Now() + 10000;
    SetNow(last_paused);
    player->p_Qn_Alive_U(1, 1);
    EXPECT_EQ(player->m_Step, step);
    int t = last_paused;
    while (player->m_Step == step) SetNow(++t), player->p_Qn_Alive_U(0, 1);
    EXPECT_EQ(t, last_paused + 151);
    // Music switched off: voices stop and the place is kept.
    SetRow(0, 3, player->m_Step, 13, 20);
    Due();
    SetNow(player->m_NextTime + 1);
    player->p_Qn_Alive_U(0, 0);
    EXPECT_EQ(Values(player->m_Sounding[3], player->m_Step), Values(0, step + 2));
    // Loading holds playback; a full stop ends it.
    player->m_LoadStep = 5;
    player->p_Qn_Alive_U(0, 1);
    EXPECT_EQ(player->m_Step, step + 2);
    player->m_LoadStep = 0;
    player->p_Qn_Stop(1);
    player->p_Qn_Alive_U(0, 1);
    EXPECT_EQ(Values(player->m_State, player->m_Step), Values(0, step + 2));
}

TEST_F(Sequencer, PitchesAreSemitonesAroundTheMiddleNote) {
    // Note 13 and letter "q" are the middle; 12 semitones are an octave; 0
    // and notes beyond the table are silent.
    c_QnPlayer& p = *player;
    EXPECT_EQ(Values(p.p_GetPitch(13), p.p_GetPitch(1), p.p_GetPitch(0), p.p_GetPitch(33), p.p_GetPitch_Alpha('q'),
                     p.p_GetPitch_Alpha('a')),
              Values(1.0f, 0.5f, 0.0f, 0.0f, 1.0f, 0.0f));
    EXPECT_NEAR(p.p_GetPitch(14) / p.p_GetPitch(13), 1.0595f, 1e-3f);
}

}  // namespace
}  // namespace music_test
