// A long stretch of random play on the test host: a seeded random player
// presses keys and clicks as the screen in front of it allows, and the game
// updates and renders on the fake clock. Nothing may crash or trip the
// sanitizers, the play must reach every part of the game (menus, game
// starts, pauses, deaths, game overs, option changes), and once the first
// stretch (10,000 updates, or half a shorter run) is played, the memory the
// game holds may not grow beyond 5 % over the most that stretch needed (in the window
// and in full screen apart, as full screen holds larger images).
//
// The number of updates comes from VELLUMBY_SOAK_UPDATES (a short run by
// default; the long runs are in the README).
#include <malloc.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <random>
#include <utility>

#include "framework/app.h"
#include "game/my_app.h"
#include "tests/support/game_host.h"
#include "tests/support/null_audio.h"

namespace {

#ifdef ORV_GC_STRESS
const int kShortRun = 12000;  // every collector step is a whole cycle here
#else
const int kShortRun = 20000;
#endif

// Framework key codes: C and X are the third and second fire buttons, N the credits.
enum Key : int { kEnter = 13, kEscape = 27, kSpace = 32, kLeft = 37, kUp = 38, kRight = 39, kDown = 40,
                 kC = 67, kN = 78, kX = 88, kF11 = 122 };

// The memory the game holds: resident memory, except under AddressSanitizer,
// whose resident memory follows its allocator (a quarantine of freed blocks,
// the shadow of each fresh region) and creeps up through a long run while the
// game's own blocks stay the same: there the bytes of those blocks count.
#ifdef __SANITIZE_ADDRESS__
extern "C" size_t __sanitizer_get_current_allocated_bytes();
long MemoryHeld() { return static_cast<long>(__sanitizer_get_current_allocated_bytes()); }
#else
long MemoryHeld() {
    long size = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}
#endif

// The game ends the program through exit(0) (F4, the close box, back on the
// title menu): during the soak that must not pass for success.
bool soaking = false;
void EndedEarly() {
    if (!soaking) return;
    std::fprintf(stderr, "the game ended the program in the middle of the soak\n");
    std::_Exit(1);
}

// Presses one key (or the mouse button) at a time, for a random number of
// updates, choosing from what makes sense on the screen in front of it.
// Changes between window and full screen are kept rare, as a player makes
// them: each reloads every image and sound, and what a reload leaves to the
// collector waits for its next sweep (after 8 MB of new objects, which play
// itself hardly allocates).
struct RandomPlayer {
    GameHost& game;
    c_MyApp* app;
    std::mt19937 rng;
    int key = 0, left = 0, suspended = 0;
    bool mouse = false;

    void BeforeUpdate() {
        if (suspended > 0) {
            if (--suspended == 0) game.Resume();
            return;
        }
        if (key == kEscape && !BackAllowed()) Release();
        if (left > 0 && --left > 0) return;
        Release();
        if (Chance(0.35)) left = Between(1, 20);  // a pause between presses
        else Choose();
    }

    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; }
    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    int OneOf(std::initializer_list<int> keys) { return keys.begin()[Between(0, int(keys.size()) - 1)]; }

    bool BoxOpen() const { return app->m_OptionsOpen || app->m_CreditsOpen || app->m_BadgesOpen; }
    // Back on the title menu ends the program: only in a game or a box.
    bool BackAllowed() const { return BoxOpen() || (app->m_Mode == 10 && app->m_GameOver == 0); }

    void Press(int code, int updates) { game.KeyDown(key = code); left = updates; }
    void Click(int updates) {
        int w = 0, h = 0;
        game.fake.GetWindowSize(&w, &h);
        // Half the clicks go to the pause icon and the menu's buttons.
        const bool corner = Chance(0.5);
        game.MouseMove(corner ? Between(0, 40) : Between(0, w - 1), corner ? Between(0, 40) : Between(0, h - 1));
        game.MouseDown(0);
        mouse = true;
        left = updates;
    }
    void Release() {
        if (key) game.KeyUp(std::exchange(key, 0));
        if (std::exchange(mouse, false)) game.MouseUp(0);
    }

    void Choose() {
        if (Chance(0.0005)) {  // the window loses the focus for a while
            game.Suspend();
            suspended = Between(1, 120);
            return;
        }
        if (app->m_LoadStage > 0 || (app->m_Mode == 10 && app->m_GameOver > 0) || app->m_Mode == 11) return;
        if (BoxOpen()) {
            // Mostly away from the options' window row (3), as a player would.
            if (app->m_OptionsOpen && app->m_OptSel == 3 && !Chance(0.1)) {
                return Press(Chance(0.5) ? kUp : kDown, Between(6, 12));
            }
            if (Chance(0.1)) return Click(Between(2, 8));
            return Press(OneOf({kUp, kDown, kDown, kEnter, kEnter, kEscape, kSpace}), Between(6, 12));
        }
        if (app->m_Mode == 1) {
            if (Chance(0.15)) return Click(Between(2, 10));
            if (Chance(0.002)) return Press(kF11, 6);
            return Press(OneOf({kLeft, kRight, kUp, kDown, kEnter, kEnter, kSpace, kX, kN}), Between(6, 12));
        }
        if (app->m_Paused) return Press(OneOf({kLeft, kRight, kUp, kDown, kEnter, kEnter, kEscape}), Between(6, 12));
        if (app->m_Mode != 10) return;
        const double r = std::uniform_real_distribution<double>(0, 1)(rng);
        if (r < 0.75) return Press(OneOf({kLeft, kRight, kUp, kDown}), Between(5, 60));     // walk
        if (r < 0.93) return Press(OneOf({kSpace, kEnter, kX, kC}), Between(6, 10));       // fire
        if (r < 0.97) return Press(kEscape, Between(6, 10));
        if (r < 0.9995) return Click(Between(2, 8));
        Press(kF11, 6);
    }
};

TEST(Soak, RandomPlayForAllTheUpdatesAsked) {
    // Pixel blocks of the large images are freed and allocated again at every
    // change of window size. The C library would otherwise keep a freed
    // block's worth of them in its heap after the first one, so resident
    // memory would follow where blocks happened to land rather than what
    // the game holds.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);
    const char* asked = std::getenv("VELLUMBY_SOAK_UPDATES");
    const int updates = asked && std::atoi(asked) > 0 ? std::atoi(asked) : kShortRun;
    const int settle = std::min(10000, updates / 2);
    GameHost game;
    game.Start();
    auto* audio = static_cast<NullAudio*>(game.audio);
    auto* app = static_cast<c_MyApp*>(orv_app__app);
    std::atexit(EndedEarly);
    soaking = true;

    // The most memory held in the first stretch and afterwards, kept
    // apart for the window (0) and full screen (1): full screen holds the
    // four-times images.
    long most[2][2] = {{0, 0}, {0, 0}};
    RandomPlayer player{game, app, std::mt19937(20240607u)};
    int starts = 0, pauses = 0, deaths = 0, game_overs = 0, option_changes = 0, flips = 0, last_load = 0;
    for (int i = 1; i <= updates; ++i) {
        const int mode = app->m_Mode, paused = app->m_Paused, lives = app->m_Lives, over = app->m_GameOver,
                  sound = app->m_Settings[5], icade = orv_Kemp_iCadeControls, fullscreen = app->m_Fullscreen;
        player.BeforeUpdate();
        game.Frame();
        starts += mode != 10 && app->m_Mode == 10;
        pauses += !paused && app->m_Paused && app->m_Mode == 10;
        deaths += app->m_Mode == 10 && app->m_Lives < lives;
        game_overs += !over && app->m_GameOver;
        option_changes += app->m_Settings[5] != sound || orv_Kemp_iCadeControls != icade;
        flips += app->m_Fullscreen != fullscreen;
        // The recording devices keep what they were asked; the soak measures
        // the game, not them.
        audio->calls.clear();
        game.graphics->records.clear();
        // Measured in steady play, a second or more after any reload (its
        // decoding needs room for a moment).
        if (app->m_LoadStage > 0) last_load = i;
        if (i % 50 == 0 && i - last_load > 60) {
            long& m = most[i <= settle ? 0 : 1][app->m_Fullscreen];
            m = std::max(m, MemoryHeld());
        }
    }
    soaking = false;

    std::printf("%d updates: %d games, %d pauses, %d lives lost, %d game overs, %d option changes, "
                "%d full-screen changes\n", updates, starts, pauses, deaths, game_overs, option_changes, flips);
    std::printf("memory held at the end: %.1f MB (%s)\n", MemoryHeld() / 1e6,
                app->m_Fullscreen ? "full screen" : "window");
    for (int count : {starts, pauses, deaths, game_overs, option_changes}) EXPECT_GT(count, 0);
    EXPECT_TRUE(most[0][0] > 0 && most[1][0] > 0) << "the window was measured in both stretches";
    for (int full = 0; full < 2; ++full) {
        std::printf("most memory held %s: %.1f MB in the first %d updates, %.1f MB afterwards\n",
                    full ? "in full screen" : "in the window", most[0][full] / 1e6, settle, most[1][full] / 1e6);
        if (most[0][full] > 0) { EXPECT_LE(most[1][full], most[0][full] + most[0][full] / 20); }
    }
}

}  // namespace
