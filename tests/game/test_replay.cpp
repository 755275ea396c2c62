// The whole game replayed: a scripted player (its own seeded generator, so
// the same input on every platform) plays all three game types, on keys and
// on a pad, with taps and drags on the menus and the options, through
// levels, lost lives and game overs, on the fake clock. After every update a
// digest of the game's state is checked against the trace kept beside this
// file, recorded once from the game as it was: any change of behaviour shows
// as the first update and part that differ. VELLUMBY_RECORD_TRACE=1 writes
// the trace anew instead, on purpose only, with the reason in the commit.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "framework/random.h"
#include "tests/game/game_test.h"
#include "tests/support/scripted_player.h"

namespace {

constexpr int kUpdates = 24000;

// 12 bits of FNV-1a over the bytes of values, per part of the state.
struct Digest {
    std::uint32_t h = 2166136261u;
    template <typename T>
    void Add(T value) {
        unsigned char bytes[sizeof value];
        std::memcpy(bytes, &value, sizeof value);
        for (unsigned char b : bytes) h = (h ^ b) * 16777619u;
    }
    unsigned Fold() const { return (h >> 20) ^ (h & 0xfffu); }
};

// The parts, three hex digits each, in this order.
const char* const kParts[] = {"figure",       "enemies",   "ball", "score, lives, level and screen",
                              "random state", "draw list", "sound (effects and music)"};

// The state after an update; the sound is what the update asked of the
// device, which forgets it.
std::string StateLine(c_MyApp* app, NullAudio* audio) {
    using namespace play;
    Digest figure, enemies, ball, game, random, draw, sound;
    for (int i : {kPX, kPY, kPDX, kPDY, kFacing, kWalk, kState, kHolding}) figure.Add(app->m_Player[i]);
    for (int s = 0; s < kEnemySlots; ++s) {
        const float* e = &app->m_Enemies[s * kEnemyRecord];
        for (int i : {kEActive, kEX, kEY, kEDX, kEDY, kEDir, kESteps}) enemies.Add(e[i]);
    }
    for (float v : {app->m_BallX, app->m_BallY, app->m_BallOffX, app->m_BallOffY, app->m_BallVX, app->m_BallVY}) {
        ball.Add(v);
    }
    ball.Add(app->m_BallFlying);
    for (int v : {app->m_Score, app->m_Lives, app->m_Level, app->m_Mode, app->m_GameType, app->m_GameOver,
                  app->m_Paused, app->m_MenuSel, app->m_OptionsOpen}) {
        game.Add(v);
    }
    random.Add(orv_random_Seed);
    draw.Add(app->m_DrawCount);
    for (int i = 0; i < app->m_DrawCount; ++i) draw.Add(app->m_DrawList[i]);
    for (const NullAudio::Call& call : audio->calls) {
        for (char c : call.op + call.sample) sound.Add(c);
        for (int v : {call.channel, call.flags, call.result}) sound.Add(v);
        sound.Add(call.value);
    }
    audio->calls.clear();
    char line[64];
    std::snprintf(line, sizeof line, "%03x%03x%03x%03x%03x%03x%03x", figure.Fold(), enemies.Fold(), ball.Fold(),
                  game.Fold(), random.Fold(), draw.Fold(), sound.Fold());
    return line;
}

using Replay = HostTest;

TEST_F(Replay, EveryUpdateOfAWholeSessionMatchesTheTrace) {
    ScriptedPlayer player(game, app, 16);  // from the program's first update: the loader's too
    std::vector<std::string> trace;
    std::ifstream in(REPLAY_TRACE);
    for (std::string line; std::getline(in, line);) if (!line.empty()) trace.push_back(line);
    const bool record = std::getenv("VELLUMBY_RECORD_TRACE") != nullptr;
    std::vector<std::string> lines;
    for (int u = 0; u < kUpdates; ++u) {
        player.BeforeUpdate();
        game.Frame();
        player.AfterUpdate();
        lines.push_back(StateLine(app, audio));
        if (!record) {
            ASSERT_LT(u, static_cast<int>(trace.size())) << "the trace is shorter than the replay";
            const std::string& want = trace[static_cast<std::size_t>(u)];
            int part = 0;
            while (part < 6 && lines.back().compare(3 * part, 3, want, 3 * part, 3) == 0) ++part;
            ASSERT_EQ(lines.back(), want) << "update " << u << ": first difference in the " << kParts[part];
        }
    }
    std::printf("%d games; levels won by type: %d %d %d; %d lives lost, %d game overs\n", player.plan,
                player.levels_won[1], player.levels_won[2], player.levels_won[3], player.lives_lost, player.game_overs);
    if (record) {
        std::ofstream out(REPLAY_TRACE);
        for (const std::string& line : lines) out << line << '\n';
    }
    for (int type = 1; type <= 3; ++type) EXPECT_GE(player.levels_won[type], 2) << "levels won in type " << type;
    EXPECT_GE(player.game_overs, 3);
}

}  // namespace
