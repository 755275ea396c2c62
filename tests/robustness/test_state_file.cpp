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
#include <sstream>
#include <string>
#include <vector>

#include "framework/app.h"
#include "game/my_app.h"
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
std::vector<T> Values(const Array<T>& a) { return std::vector<T>(a.begin(), a.end()); }

struct Saved {
    std::vector<int> settings, scores;
    std::vector<bool> badges;
    bool operator==(const Saved& o) const {
        return settings == o.settings && scores == o.scores && badges == o.badges;
    }
};

Saved Now() {
    c_MyApp* app = App();
    return {Values(app->m_Settings), Values(app->m_Scores), Values(app->m_BadgeGot)};
}

// What a game that found nothing to load has.
Saved Defaults() {
    Saved s{std::vector<int>(25, 0), std::vector<int>(150, 0), std::vector<bool>(256, false)};
    s.settings[5] = 1;
    s.settings[10] = s.settings[11] = 64;
    s.settings[12] = 10;
    s.settings[14] = 1;
    return s;
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

std::string StateOnDisk(const GameHost& game) { return damage::Read(fs::path(game.dir) / ".quarlostate"); }

// A save, and a fresh game that loads it: every block is taken, with the
// very values the first game had.
void ExpectSaveLoadsBack(GameHost& game) {
    const Saved before = Now();
    game.Suspend();
    game.Resume();
    const std::string saved = StateOnDisk(game);
    GameHost next;
    EXPECT_EQ(StartWith(next, saved), kAllLoaded);
    EXPECT_TRUE(Now() == before);
}

// A state saved by a game with some settings, a badge and a score.
std::string SomeSavedState() {
    GameHost game;
    StartWith(game, "");
    App()->m_Settings[20] = 7;
    App()->m_BadgeGot[33] = true;
    App()->m_Scores[0] = 1234;
    game.Suspend();
    return StateOnDisk(game);
}

// Every line loading printed is one block's message, each block at most
// once, in the order of the blocks.
void ExpectBlocksInOrder(const std::string& out) {
    const std::string blocks[] = {"Settings", "Badge", "Highscore 0", "Highscore 1", "Highscore 2"};
    std::istringstream lines(out);
    int last = -1;
    for (std::string line; std::getline(lines, line);) {
        int block = -1;
        for (int i = 0; i < 5; ++i) {
            const bool loaded = line == blocks[i] + (i == 1 ? "s" : "") + " Loaded";
            if (loaded || line == blocks[i] + " Checksum Invalid") block = i;
        }
        EXPECT_GT(block, last) << line;
        last = block;
    }
}

TEST(HostileStateFile, RandomBytesTakeNoBlockWhoseChecksumFails) {
    std::string no_separators = damage::RandomBytes(4000, 7);
    for (char& c : no_separators) c = c == '|' ? '!' : c;
    // Digits, signs, blanks and separators: fields that read as numbers.
    std::string numbers = damage::RandomBytes(3000, 8);
    for (char& c : numbers) c = "0123456789|||- +x"[static_cast<unsigned char>(c) % 17];
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"binary", damage::RandomBytes(70000, 3)},
        {"binary without separators", no_separators},
        {"numbers", numbers},
        {"UTF-16 mark then bytes", "\xFF\xFE" + damage::RandomBytes(5000, 9)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GameHost game;
        const std::string out = StartWith(game, c.bytes);
        // Each block either loaded or was reset; a block that failed its
        // checksum left nothing of what was read.
        const Saved now = Now(), defaults = Defaults();
        if (out.find("Settings Checksum Invalid") != std::string::npos || out.find("Settings") == std::string::npos) {
            EXPECT_EQ(now.settings, defaults.settings) << out;
        }
        if (out.find("Badge Checksum Invalid") != std::string::npos) {
            EXPECT_EQ(now.badges, std::vector<bool>(256, false));
        }
        ExpectBlocksInOrder(out);
        ExpectSaveLoadsBack(game);
    }
    // Too short for any block: silently the defaults.
    GameHost game;
    EXPECT_EQ(StartWith(game, no_separators), "");
    EXPECT_TRUE(Now() == Defaults());
}

TEST(HostileStateFile, TenMegabytesOfSeparatorsLoadAsZeros) {
    GameHost game;
    // Ten million empty fields: each reads as 0, and zeros are their own
    // checksums, so every block is taken. The options are then repaired;
    // the sound mode stays 0 (off).
    EXPECT_EQ(StartWith(game, std::string(10 * 1000 * 1000, '|')), kAllLoaded);
    Saved expected = Defaults();
    expected.settings[5] = 0;
    EXPECT_TRUE(Now() == expected);
    ExpectSaveLoadsBack(game);
}

TEST(HostileStateFile, FieldsOfTenThousandDigitsFailTheirChecksums) {
    // Each field is cut to 63 characters and read as the C library reads
    // an out-of-range number: all the same value, which no checksum of
    // this layout matches.
    std::string text;
    for (int i = 0; i < 98; ++i) text += std::string(10000, '9') + "|";
    GameHost game;
    EXPECT_EQ(StartWith(game, text), kAllInvalid);
    EXPECT_TRUE(Now() == Defaults());
    ExpectSaveLoadsBack(game);
}

TEST(HostileStateFile, NumbersBeyondAnIntWrapAsTheCLibraryReadsThem) {
    // A saved 7 and 1234 written with 2^32 added or taken away read back
    // as the same numbers, so their checksums still hold.
    std::vector<std::string> fields;
    std::istringstream in(SomeSavedState());
    for (std::string f; std::getline(in, f, '|');) fields.push_back(f);
    ASSERT_EQ(fields.size(), 98u);
    ASSERT_EQ(fields[20], "7");
    ASSERT_EQ(fields[35], "1234");  // the first Top entry of list 0
    fields[20] = "4294967303";
    fields[35] = "-4294966062";
    std::string text;
    for (const std::string& f : fields) text += f + "|";
    GameHost game;
    EXPECT_EQ(StartWith(game, text), kAllLoaded);
    EXPECT_EQ(App()->m_Settings[20], 7);
    EXPECT_EQ(App()->m_Scores[0], 1234);
}

// ---------------------------------------------------------------- saving

TEST(StateFileFaults, AStateFileThatCannotBeWrittenKeepsTheOldStateAndTheGameGoesOn) {
    const std::string old_state = SomeSavedState();
    ASSERT_FALSE(old_state.empty());
    // Each fault is put in place again before every save: a failed save
    // clears away what it had begun, but a full disk stays full.
    const struct {
        const char* what;
        void (*block)(const fs::path& tmp);
    } faults[] = {
        {"the new file can't be made", [](const fs::path& tmp) { fs::create_directory(tmp); }},
        {"the disk is full",
         [](const fs::path& tmp) {
             if (!fs::is_symlink(tmp)) fs::create_symlink("/dev/full", tmp);
         }},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        if (std::string(fault.what) == "the disk is full" && !fs::exists("/dev/full")) continue;
        GameHost game;
        EXPECT_EQ(StartWith(game, old_state), kAllLoaded);
        App()->m_Settings[20] = 9;
        App()->m_Scores[0] = 99999;
        testing::internal::CaptureStdout();
        for (int i = 0; i < 3; ++i) {
            fault.block(fs::path(game.dir) / ".quarlostate.tmp");
            game.Suspend();  // saves
            game.Resume();
            game.Frame(10);
        }
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(StateOnDisk(game), old_state);
        // The game goes on with what it has.
        EXPECT_EQ(App()->m_Settings[20], 9);
        game.Press(13);  // Enter
        game.Frame(30);
        EXPECT_FALSE(game.graphics->LastFrame().empty());
    }
}

TEST(StateFileFaults, ASaveKilledHalfWayLeavesTheStateBefore) {
    const std::string old_state = SomeSavedState();
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        GameHost game;  // the folder both processes use
        damage::Write(fs::path(game.dir) / ".quarlostate", old_state);
        std::fflush(nullptr);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The game saves on every suspend; each save has a new value,
            // so any state on disk shows which save it came from.
            if (!std::freopen("/dev/null", "w", stdout)) _exit(1);  // its messages are not the test's
            game.Start();
            for (int i = 1;; ++i) {
                App()->m_Settings[20] = i;
                game.Suspend();
                game.Resume();
            }
        }
        // Wait until the child has saved at least once, then kill it at a
        // moment that moves from round to round.
        for (int polls = 0; polls < 20000 && StateOnDisk(game) == old_state; ++polls) usleep(500);
        usleep(static_cast<useconds_t>(round * 900));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        testing::internal::CaptureStdout();
        game.Start();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), kAllLoaded);
        EXPECT_GE(App()->m_Settings[20], 1);  // a whole save of the killed game
        EXPECT_TRUE(App()->m_BadgeGot[33]);
        EXPECT_EQ(App()->m_Scores[0], 1234);
    }
}

}  // namespace
