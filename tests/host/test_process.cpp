// The host and app lifecycle as real programs in a real window: exit
// statuses and fatal messages. (The game's close box, and a display that
// cannot be reached or drawn on, are checked on the installed and
// faulty-machine runs.)
#include <gtest/gtest.h>

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

// Each way the test app ends: what it printed, and its status. An uncaught
// exception while starting, in the app's creation or in an update is fatal;
// a second app is a runtime error; the back key ends the program quietly,
// inside the key event.
TEST(HostProcess, FatalErrorsAndTheBackKeyEndTheProgramWithTheirStatus) {
    const struct {
        const char *mode, *out;
        int status;
    } runs[] = {
        {"throw-startup", kUncaught, 255},
        {"throw-create", kUncaught, 255},
        {"throw-update", kUncaught, 255},
        {"second-app", "Quarlo Runtime Error : App has already been created\n\n", 255},
        {"back-key", "created\n", 0},
    };
    for (const auto& run : runs) {
        const ProcessResult r = RunProcess({TEST_APP, run.mode}, Silent());
        EXPECT_EQ(r.out, run.out) << run.mode;
        EXPECT_EQ(r.status, run.status) << run.mode;
        if (std::string(run.mode) == "second-app") {
            EXPECT_EQ(r.err, "{{~~~~}}\n\n");  // the debugger conversation, no location
        }
    }
}

}  // namespace
