// A scripted player for whole runs of the game on the test host. Its own
// seeded generator decides, so the same seed gives the same input on every
// platform, and the game's state steers it: it plays the three game types
// in turn, on keys and on a pad, reaching the title's items by keys, taps
// and a drag, and visiting the options now and then; in play it walks to
// the nearest item, home once it opens, and away from an enemy that comes
// close, throwing the ball and pausing now and then.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "framework/app.h"
#include "game/my_app.h"
#include "game/play_fields.h"
#include "tests/support/game_host.h"

class ScriptedPlayer {
public:
    // `away` adds what a long run needs besides: F11 now and then, and the
    // window losing the focus for a while.
    ScriptedPlayer(GameHost& game, c_MyApp* app, std::uint32_t seed, bool away = false)
        : game(game), app(app), seed(seed), away(away) {
        game.fake.pads[0] = {true, {0, 0}, std::vector<unsigned char>(16, 0)};
    }

    // The input for the next update; after it, what the update came to.
    void BeforeUpdate() {
        before = {app->m_Mode, app->m_Level, app->m_Lives, app->m_GameOver, app->m_Paused};
        if (suspended > 0 && --suspended == 0) game.Resume();
        if (suspended > 0) return;
        if (drag != 0 && mouse) game.MouseMove(game.fake.mouse_x + drag, game.fake.mouse_y);
        if (hold > 0 && --hold > 0) return;
        // Menus take a press once its keys have all been up for an update.
        const bool menu = app->m_Mode != screen::kGame || app->m_Paused;
        if ((key || mouse) && menu) return Release();
        Release();
        drag = 0;
        std::fill(game.fake.pads[0].buttons.begin(), game.fake.pads[0].buttons.end(), 0);
        if (menu) Stick(0, 0);
        const bool playing = app->m_Mode == screen::kGame;
        if (app->m_LoadStage > 0 || app->m_Mode == screen::kGameStart || (playing && app->m_GameOver > 0)) return;
        if (away && Roll(2000) == 0) {
            game.Suspend();
            suspended = 1 + Roll(120);
            return;
        }
        if (away && app->m_Paused == 0 && Roll(1500) == 0) return Press(KEY_F11, 6);
        if (app->m_Mode == screen::kTitle) return Title();
        if (app->m_Paused) return Roll(3) ? Press(Roll(2) ? KEY_ENTER : KEY_ESCAPE, 6) : Touch(16, 16, 3);
        if (playing && app->m_LevelIntro <= 0) Play();
    }
    void AfterUpdate() {
        const bool playing = app->m_Mode == screen::kGame;
        if (before.mode == screen::kGame && !playing) ++plan, options_seen = false;
        starts += before.mode != screen::kGame && playing;
        if (playing && app->m_Level > before.level && before.level > 0) ++levels_won[app->m_GameType];
        lives_lost += playing && app->m_Lives < before.lives;
        game_overs += !before.over && app->m_GameOver;
        pauses += playing && !before.paused && app->m_Paused;
    }
    int plan = 0;  // the games ended so far
    int starts = 0, levels_won[4] = {}, lives_lost = 0, game_overs = 0, pauses = 0;

private:
    GameHost& game;
    c_MyApp* app;
    std::uint32_t seed;
    bool away;
    int suspended = 0;
    struct { int mode, level, lives, over, paused; } before{};
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
    void Touch(int x, int y, int updates) {  // at a point of the virtual screen
        Release();
        game.MouseMove(static_cast<int>(static_cast<float>(x) * app->m_ScaleX),
                       static_cast<int>(static_cast<float>(y) * app->m_ScaleY));
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
            if (r >= 7) return r < 8 ? Touch(320, 240, 4) : Press(KEY_ESCAPE, 8);
            return Press(r < 4 ? KEY_DOWN : KEY_ENTER, 8);
        }
        if ((plan % 4 == 3 || away) && !options_seen) {
            options_seen = app->m_MenuSel == 4;
            return Press(options_seen ? KEY_ENTER : KEY_RIGHT, 8);
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
        if (app->m_MenuSel != type) return Press(app->m_MenuSel < type ? KEY_RIGHT : KEY_LEFT, 8);
        Press(KEY_ENTER, 8);
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
        if (p[kHolding] == 1 && Roll(40) == 0) return OnPad() ? Button(0) : Press(KEY_SPACE, 3);
        if (app->m_Paused == 0 && Roll(1500) == 0) return Roll(2) ? Touch(16, 16, 3) : Press(KEY_ESCAPE, 6);
        const float dx = tx - px, dy = ty - py;
        const bool across = std::abs(dx) > std::abs(dy);
        if (OnPad()) return Stick(across ? (dx > 0 ? 1.f : -1.f) : 0.f, across ? 0.f : (dy > 0 ? -1.f : 1.f));
        Press(across ? (dx > 0 ? KEY_RIGHT : KEY_LEFT) : (dy > 0 ? KEY_DOWN : KEY_UP), 4);
    }
    void Button(int b) {
        game.fake.pads[0].buttons[static_cast<std::size_t>(b)] = 1;
        hold = 3;
    }
};
