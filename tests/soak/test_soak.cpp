// A long stretch of play on the test host: the scripted player of the
// replay, with full-screen changes and lost focus besides, and the game
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

#include "framework/app.h"
#include "game/my_app.h"
#include "tests/support/game_host.h"
#include "tests/support/null_audio.h"
#include "tests/support/scripted_player.h"

namespace {

#ifdef ORV_GC_STRESS
const int kShortRun = 12000;  // every collector step is a whole cycle here
#else
const int kShortRun = 20000;
#endif

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
    ScriptedPlayer player(game, app, 20240607u, true);
    int option_changes = 0, flips = 0, last_load = 0;
    for (int i = 1; i <= updates; ++i) {
        const int sound = app->m_Settings[setting::kSoundMode], icade = orv_Kemp_iCadeControls,
                  fullscreen = app->m_Fullscreen;
        player.BeforeUpdate();
        game.Frame();
        player.AfterUpdate();
        option_changes += app->m_Settings[setting::kSoundMode] != sound || orv_Kemp_iCadeControls != icade;
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
                "%d full-screen changes\n", updates, player.starts, player.pauses, player.lives_lost, player.game_overs,
                option_changes, flips);
    std::printf("memory held at the end: %.1f MB (%s)\n", MemoryHeld() / 1e6,
                app->m_Fullscreen ? "full screen" : "window");
    for (int n : {player.starts, player.pauses, player.lives_lost, player.game_overs, option_changes}) EXPECT_GT(n, 0);
    EXPECT_TRUE(most[0][0] > 0 && most[1][0] > 0) << "the window was measured in both stretches";
    EXPECT_TRUE(most[0][1] > 0 && most[1][1] > 0) << "full screen was measured in both stretches";
    for (int full = 0; full < 2; ++full) {
        std::printf("most memory held %s: %.1f MB in the first %d updates, %.1f MB afterwards\n",
                    full ? "in full screen" : "in the window", most[0][full] / 1e6, settle, most[1][full] / 1e6);
        if (most[0][full] > 0) { EXPECT_LE(most[1][full], most[0][full] + most[0][full] / 20); }
    }
}

}  // namespace
