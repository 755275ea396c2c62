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

namespace {

constexpr int kUpdates = 24000;
enum Key : int { kEnter = 13, kEscape = 27, kSpace = 32, kLeft = 37, kUp = 38, kRight = 39, kDown = 40 };

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

class Replay : public HostTest {
protected:
    std::uint32_t seed = 8;
    int plan = 0;  // the games ended so far
    int key = 0, hold = 0, drag = 0, still = 0, last_cell = 0, wander = 0, wander_x = 0, wander_y = 0;
    bool mouse = false, options_seen = false;

    int Roll(int n) {  // 0 .. n-1
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
    }
    void Press(int code, int updates) {
        Release();
        game.KeyDown(key = code);
        hold = updates;
    }
    void Release() {
        if (key) game.KeyUp(key);
        if (mouse) game.MouseUp(0);
        key = 0;
        mouse = false;
        hold = 0;
    }
    void Touch(int x, int y, int updates) {
        Release();
        game.MouseMove(x, y);
        game.MouseDown(0);
        mouse = true;
        hold = updates;
    }
    void Stick(float x, float y) { game.fake.pads[0].axes = {x, y}; }
    bool OnPad() const { return plan % 2 == 1; }

    // The title menu: the next plan's game type, by keys, by taps on the
    // strip's items or by a drag across it; now and then the options first.
    void Title() {
        const int type = plan % 3 + 1;
        if (app->m_OptionsOpen) {
            const int r = Roll(10);
            return r < 4 ? Press(kDown, 8) : r < 7 ? Press(kEnter, 8) : r < 8 ? Touch(320, 240, 4) : Press(kEscape, 8);
        }
        if (plan % 4 == 3 && !options_seen) {
            options_seen = app->m_MenuSel == 4;
            return Press(options_seen ? kEnter : kRight, 8);
        }
        const float centre = (orv_Kemp_jscrw - 140) / 2, y = 0.65f * orv_Kemp_jscrh;
        if (plan % 3 == 2) {  // taps: a side item comes to the centre, the centre one starts
            const float x = centre + app->m_MenuShown + static_cast<float>(type - 1) * 88;
            return Touch(static_cast<int>(x), static_cast<int>(y), 3);
        }
        if (plan % 4 == 1 && app->m_MenuSel != type) {  // a drag and release across the strip
            Touch(static_cast<int>(centre), static_cast<int>(y), 8);
            drag = app->m_MenuSel < type ? -14 : 14;
            return;
        }
        if (app->m_MenuSel != type) return Press(app->m_MenuSel < type ? kRight : kLeft, 8);
        Press(kEnter, 8);
    }

    // In play: to the nearest item, home once it opens, away from an enemy
    // that comes close, throwing the ball now and then; a pause now and then.
    void Play() {
        using namespace play;
        float* p = &app->m_Player[0];
        const float px = p[kPX] + p[kPDX], py = p[kPY] + p[kPDY];
        float tx = px, ty = py, best = 1e9f;
        for (int x = 1; x < kColumns - 1; ++x) {
            for (int y = 1; y < kRows - 1; ++y) {
                const int content = app->m_Garden[CellIndex(x, y) + kContent];
                // Picked up on entering the cell: one the figure is in does not count.
                const bool here = x == static_cast<int>(p[kPX]) && y == static_cast<int>(p[kPY]);
                const bool wanted = app->m_HomeOpen ? x == app->m_HomeX && y == app->m_HomeY
                                                    : !here && content >= kFirstItem && content <= kLastItem;
                const float d = std::abs(static_cast<float>(x) - px) + std::abs(static_cast<float>(y) - py);
                if (wanted && d < best) tx = static_cast<float>(x), ty = static_cast<float>(y), best = d;
            }
        }
        for (int s = 0; s < kEnemySlots; ++s) {
            const float* e = &app->m_Enemies[s * kEnemyRecord];
            const float ex = e[kEX] + e[kEDX], ey = e[kEY] + e[kEDY];
            if (e[kEActive] != 0 && std::abs(ex - px) + std::abs(ey - py) < 2.2f) tx = 2 * px - ex, ty = 2 * py - ey;
        }
        // Stuck in one cell for a while (an enemy in the way): off somewhere else.
        const int cell = static_cast<int>(p[kPX]) * 100 + static_cast<int>(p[kPY]);
        if (cell != last_cell) last_cell = cell, still = 0;
        if (++still > 40) wander = 15, wander_x = 1 + Roll(kColumns - 2), wander_y = 1 + Roll(kRows - 2), still = 0;
        if (wander > 0) --wander, tx = static_cast<float>(wander_x), ty = static_cast<float>(wander_y);
        if (p[kHolding] == 1 && Roll(40) == 0) return OnPad() ? Button(0) : Press(kSpace, 3);
        if (app->m_Paused == 0 && Roll(1500) == 0) return Roll(2) ? Touch(16, 16, 3) : Press(kEscape, 6);
        const float dx = tx - px, dy = ty - py;
        const bool across = std::abs(dx) > std::abs(dy);
        if (OnPad()) return Stick(across ? (dx > 0 ? 1.f : -1.f) : 0.f, across ? 0.f : (dy > 0 ? -1.f : 1.f));
        Press(across ? (dx > 0 ? kRight : kLeft) : (dy > 0 ? kDown : kUp), 4);
    }
    void Button(int b) {
        game.fake.pads[0].buttons[static_cast<std::size_t>(b)] = 1;
        hold = 3;
    }

    void BeforeUpdate() {
        if (drag != 0 && mouse) game.MouseMove(game.fake.mouse_x + drag, game.fake.mouse_y);
        if (hold > 0 && --hold > 0) return;
        // Menus take a press once its keys have all been up for an update.
        const bool menu = app->m_Mode != 10 || app->m_Paused;
        if ((key || mouse) && menu) return Release();
        Release();
        drag = 0;
        std::fill(game.fake.pads[0].buttons.begin(), game.fake.pads[0].buttons.end(), 0);
        if (menu) Stick(0, 0);
        if (app->m_LoadStage > 0 || app->m_Mode == 11 || (app->m_Mode == 10 && app->m_GameOver > 0)) return;
        if (app->m_Mode == 1) return Title();
        if (app->m_Paused) return Roll(3) ? Press(Roll(2) ? kEnter : kEscape, 6) : Touch(16, 16, 3);
        if (app->m_Mode == 10 && app->m_LevelIntro <= 0) Play();
    }
};

TEST_F(Replay, EveryUpdateOfAWholeSessionMatchesTheTrace) {
    Load();
    game.fake.pads[0] = {true, {0, 0}, std::vector<unsigned char>(16, 0)};
    std::vector<std::string> trace;
    for (std::ifstream in(REPLAY_TRACE); in;) {
        std::string line;
        if (std::getline(in, line) && !line.empty()) trace.push_back(line);
    }
    const bool record = std::getenv("VELLUMBY_RECORD_TRACE") != nullptr;
    std::vector<std::string> lines;
    int levels[4] = {}, lives_lost = 0, game_overs = 0;
    for (int u = 0; u < kUpdates; ++u) {
        const int mode = app->m_Mode, level = app->m_Level, lives = app->m_Lives, over = app->m_GameOver;
        BeforeUpdate();
        game.Frame();
        if (mode == 10 && app->m_Mode != 10) ++plan, options_seen = false;
        if (app->m_Mode == 10 && app->m_Level > level && level > 0) ++levels[app->m_GameType];
        lives_lost += app->m_Mode == 10 && app->m_Lives < lives;
        game_overs += !over && app->m_GameOver;
        lines.push_back(StateLine(app, audio));
        if (!record) {
            ASSERT_LT(u, static_cast<int>(trace.size())) << "the trace is shorter than the replay";
            const std::string& want = trace[static_cast<std::size_t>(u)];
            int part = 0;
            while (part < 6 && lines.back().compare(3 * part, 3, want, 3 * part, 3) == 0) ++part;
            ASSERT_EQ(lines.back(), want) << "update " << u << ": first difference in the " << kParts[part];
        }
    }
    std::printf("%d games; levels won by type: %d %d %d; %d lives lost, %d game overs\n", plan, levels[1], levels[2],
                levels[3], lives_lost, game_overs);
    if (record) {
        std::ofstream out(REPLAY_TRACE);
        for (const std::string& line : lines) out << line << '\n';
    }
    for (int type = 1; type <= 3; ++type) EXPECT_GE(levels[type], 2) << "levels won in game type " << type;
    EXPECT_GE(game_overs, 3);
}

}  // namespace
