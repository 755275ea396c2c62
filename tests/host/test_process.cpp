// The host and app lifecycle as real programs in a real window: exit
// statuses and fatal messages. (The game's close box, and a display that
// cannot be reached or drawn on, are checked on the installed and
// faulty-machine runs.)
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/subprocess.h"

namespace {

const char kUncaught[] = "Quarlo Runtime Error : Uncaught Quarlo Exception\n";

// The programs open an audio device: give them the silent output, so what
// they print does not depend on the machine having a sound card.
ProcessOptions Silent() {
    ProcessOptions options;
    options.env = {"ALSOFT_DRIVERS=null"};
    return options;
}

ProcessResult RunApp(const std::string& mode) { return RunProcess({TEST_APP, mode}, Silent()); }

TEST(HostProcess, UncaughtExceptionsEndTheProgramWithStatus255) {
    for (const char* mode : {"throw-startup", "throw-create", "throw-update"}) {
        SCOPED_TRACE(mode);
        const ProcessResult r = RunApp(mode);
        EXPECT_EQ(r.out, kUncaught);
        EXPECT_EQ(r.status, 255);
    }
}

TEST(HostProcess, SecondAppIsARuntimeError) {
    const ProcessResult r = RunApp("second-app");
    EXPECT_EQ(r.out, "Quarlo Runtime Error : App has already been created\n\n");
    EXPECT_EQ(r.err, "{{~~~~}}\n\n");
    EXPECT_EQ(r.status, 255);
}

TEST(HostProcess, BackKeyEndsTheProgramQuietly) {
    const ProcessResult r = RunApp("back-key");
    EXPECT_EQ(r.out, "created\n");
    EXPECT_EQ(r.status, 0);
}

// The rate itself is measured by tools/bench_loop; on the real clock a test
// can only rely on what holds however busy the machine is: the loop never
// runs ahead of the clock, and renders once after every group of at most
// four updates.
TEST(HostProcess, UpdatesNeverRunAheadOfTheClock) {
    const ProcessResult r = RunApp("rate");
    int updates = 0, renders = 0, ms = 0;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "%d updates %d renders in %d ms", &updates, &renders, &ms), 3)
        << r.out << r.err;
    // Beyond what the clock owes: at most the rest of a first group of four
    // that started late, and the rounding of the milliseconds.
    EXPECT_LE(updates, ms * 60 / 1000 + 5);
    EXPECT_LE(renders, updates);
    EXPECT_GE(renders * 4, updates - 4);
    EXPECT_EQ(r.status, 0);
}

}  // namespace
