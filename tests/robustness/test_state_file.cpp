// The state file as the whole game meets it: hostile contents at start, a
// file that can't be replaced when saving, and a save killed half-way.
// Whatever happens the game goes on, a block is taken only when its
// checksum holds, and the file on disk is always a whole save.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "framework/app.h"
#include "game/my_app.h"
#include "tests/game/values.h"
#include "tests/host/temp_files.h"
#include "tests/robustness/damage.h"
#include "tests/support/game_host.h"

namespace {

namespace fs = std::filesystem;

const char kAllLoaded[] =
    "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\nHighscore 2 Loaded\n";
const char kAllInvalid[] =
    "Settings Checksum Invalid\nBadge Checksum Invalid\nHighscore 0 Checksum Invalid\n"
    "Highscore 1 Checksum Invalid\nHighscore 2 Checksum Invalid\n";

c_MyApp* App() { return static_cast<c_MyApp*>(orv_app__app); }

template <class T>
std::vector<T> Copy(const Array<T>& a) { return std::vector<T>(a.begin(), a.end()); }

// Settings, scores and badges.
using Saved = std::tuple<std::vector<int>, std::vector<int>, std::vector<bool>>;

Saved Now() { return {Copy(App()->m_Settings), Copy(App()->m_Scores), Copy(App()->m_BadgeGot)}; }

// What a game that found nothing to load has (with the repaired options).
Saved Defaults(int sound_mode = 1) {
    return {{0, 0, 0, 0, 0, sound_mode, 0, 0, 0, 0, 64, 64, 10, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
            std::vector<int>(150, 0), std::vector<bool>(256, false)};
}

// Starts the game with the given state file in its folder; returns what
// loading printed. The loader runs to its end and the title screen for a
// second, so the loaded values are in use.
std::string StartWith(GameHost& game, const std::string& state) {
    damage::Write(fs::path(game.dir) / ".quarlostate", state);
    testing::internal::CaptureStdout();
    game.Start();
    game.Frame(100);
    return testing::internal::GetCapturedStdout();
}

std::string StateOnDisk(const GameHost& game) { return ReadFile(fs::path(game.dir) / ".quarlostate"); }

// A game with settings[20] = 7, badge 33 and a first score of 1234: what it
// saved, and what it holds.
std::pair<std::string, Saved> SomeSavedState() {
    GameHost game;
    StartWith(game, "");
    App()->m_Settings[20] = 7;
    App()->m_BadgeGot[33] = true;
    App()->m_Scores[0] = 1234;
    game.Suspend();
    return {StateOnDisk(game), Now()};
}

TEST(HostileStateFile, NothingIsTakenFromABlockWhoseChecksumFails) {
    std::string no_separators = damage::RandomBytes(4000, 7);
    for (char& c : no_separators) c = c == '|' ? '!' : c;
    // Digits, signs, blanks and separators: fields that read as numbers.
    std::string numbers = damage::RandomBytes(3000, 8);
    for (char& c : numbers) c = "0123456789|||- +x"[static_cast<unsigned char>(c) % 17];
    // Each field is cut to 63 characters and read as the C library reads an
    // out-of-range number: all the same value, which no checksum of this
    // layout matches.
    std::string nines;
    for (int i = 0; i < 98; ++i) nines += std::string(10000, '9') + "|";
    // The saved 7 and 1234 written with 2^32 added or taken away read back
    // as the same numbers, so their checksums still hold.
    const auto [saved, saved_values] = SomeSavedState();
    std::string wrapped = saved;
    for (auto [field, was, value] : {std::tuple{20, "7", "4294967303"}, {35, "1234", "-4294966062"}}) {
        std::size_t at = 0;  // field 35: the first Top entry of list 0
        for (int i = 0; i < field; ++i) at = wrapped.find('|', at) + 1;
        const std::size_t end = wrapped.find('|', at);
        ASSERT_EQ(wrapped.substr(at, end - at), was);
        wrapped.replace(at, end - at, value);
    }

    const struct {
        const char* what;
        std::string bytes;
        const char* out;  // null: any blocks
        std::optional<Saved> values;
    } cases[] = {
        {"binary", damage::RandomBytes(70000, 3), nullptr, {}},
        {"numbers", numbers, nullptr, {}},
        {"UTF-16 mark then bytes", "\xFF\xFE" + damage::RandomBytes(5000, 9), nullptr, {}},
        {"too short for any block: silently the defaults", no_separators, "", Defaults()},
        // Ten million empty fields read as zeros, which are their own
        // checksums. The options are then repaired; the sound mode stays 0 (off).
        {"ten megabytes of separators", std::string(10 * 1000 * 1000, '|'), kAllLoaded, Defaults(0)},
        {"fields of ten thousand digits", nines, kAllInvalid, Defaults()},
        {"numbers beyond an int wrap", wrapped, kAllLoaded, saved_values},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GameHost game;
        const std::string out = StartWith(game, c.bytes);
        if (c.out) { EXPECT_EQ(out, c.out); }
        // Every line is one block's message, each block at most once, in
        // the order of the blocks.
        std::string blocks;
        for (const std::string b : {"Settings", "Badge", "Highscore 0", "Highscore 1", "Highscore 2"}) {
            blocks += "(" + b + (b == "Badge" ? "s" : "") + " Loaded\n|" + b + " Checksum Invalid\n)?";
        }
        EXPECT_TRUE(std::regex_match(out, std::regex(blocks))) << out;
        // A block that failed its checksum left nothing of what was read.
        const Saved now = Now(), defaults = Defaults();
        if (out.find("Settings Loaded") == std::string::npos) { EXPECT_EQ(std::get<0>(now), std::get<0>(defaults)); }
        if (out.find("Badge Checksum") != std::string::npos) { EXPECT_EQ(std::get<2>(now), std::get<2>(defaults)); }
        if (c.values) { EXPECT_EQ(now, *c.values); }
        // Saved, and loaded by a fresh game: every block is taken, with the
        // very values the first game had.
        game.Suspend();
        GameHost next;
        EXPECT_EQ(StartWith(next, StateOnDisk(game)), kAllLoaded);
        EXPECT_EQ(Now(), now);
    }
}

TEST(StateFileFaults, AStateFileThatCannotBeWrittenKeepsTheOldStateAndTheGameGoesOn) {
    const std::string old_state = SomeSavedState().first;
    // No file can be opened for the new state, or the disk is full.
    for (const auto& [resource, value] : {std::pair{RLIMIT_NOFILE, 3}, {RLIMIT_FSIZE, 0}}) {
        SCOPED_TRACE(resource);
        GameHost game;
        EXPECT_EQ(StartWith(game, old_state), kAllLoaded);
        const long files = FilesIn(game.dir);
        App()->m_Settings[20] = 9;
        for (int i = 0; i < 3; ++i) {
            {
                const ProcessLimit limit(resource, static_cast<rlim_t>(value));
                game.Suspend();  // saves
            }
            game.Resume();
            game.Frame(10);
        }
        EXPECT_EQ(StateOnDisk(game), old_state);
        EXPECT_EQ(FilesIn(game.dir), files);  // nothing half-written left behind
        // The game goes on with what it has.
        EXPECT_EQ(App()->m_Settings[20], 9);
        game.Press(13);  // Enter
        game.Frame(30);
        EXPECT_FALSE(game.graphics->LastFrame().empty());
    }
}

// A game killed at moments that move from round to round while it saves
// as fast as it can leaves the state of one whole save: the one before, or
// one of its own.
TEST(StateFileFaults, ASaveKilledHalfWayLeavesACompleteState) {
    const std::string old_state = SomeSavedState().first;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        GameHost game;  // the folder both processes use
        damage::Write(fs::path(game.dir) / ".quarlostate", old_state);
        std::fflush(nullptr);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Each save has a new value, so any state on disk shows which
            // save it came from.
            if (!std::freopen("/dev/null", "w", stdout)) _exit(1);  // its messages are not the test's
            game.Start();
            for (int i = 1;; ++i) {
                App()->m_Settings[20] = i;
                App()->m_Scores[1] = 100000 + i;
                game.Suspend();  // saves
                game.Resume();
            }
        }
        // Once the child has saved at least once.
        for (int polls = 0; polls < 20000 && StateOnDisk(game) == old_state; ++polls) usleep(500);
        EXPECT_NE(StateOnDisk(game), old_state) << "the game never saved before it was killed";
        usleep(static_cast<useconds_t>(round * 700));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_TRUE(waitpid(child, &status, 0) == child && WIFSIGNALED(status));

        EXPECT_EQ(StartWith(game, StateOnDisk(game)), kAllLoaded);
        EXPECT_GE(App()->m_Settings[20], 1);  // a whole save of the killed game
        EXPECT_EQ(Values(App()->m_Scores[1] - App()->m_Settings[20], App()->m_BadgeGot[33], App()->m_Scores[0]),
                  Values(100000, true, 1234));
    }
}

}  // namespace
