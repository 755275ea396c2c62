// The host's worker threads in a probe program of their own: a fault on
// either reports like any other and ends the process, whatever its standard
// input; a device closed inside another sound call does not hang; and a
// stress of both threads, ended by the program's exit while they work,
// finishes cleanly (in the sanitizer builds, with no report).
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/host/temp_files.h"
#include "tests/support/subprocess.h"

namespace {

struct ProbeRun {
    std::vector<std::string> args;
    bool input_held_open;
    std::string out;
    int status;
};

TEST(WorkerThreads, FaultsCloseAndExitWhileBothWorkEndTheProcessAsThePlainProgramWould) {
    const std::string fault = "Quarlo Runtime Error : Memory access violation\n\n";
    const TempDir dir;
    for (const ProbeRun& run : std::vector<ProbeRun>{
             // No debugger conversation off the main thread, so an input
             // that never ends holds nothing up.
             {{"fault", "music"}, false, fault, 255},
             {{"fault", "music"}, true, fault, 255},
             {{"fault", "images"}, false, fault, 255},
             {{"fault", "images"}, true, fault, 255},
             {{"close-locked"}, false, "closed\n", 0},
             {{"stress"}, false, "1500 rounds\n", 0},
         }) {
        std::vector<std::string> argv = run.args;
        argv.insert(argv.begin(), THREADS_PROBE);
        const ProcessOptions options{"", {"ALSOFT_DRIVERS=null", "ALSOFT_CONF=/dev/null"}, dir, 120, run.input_held_open};
        const ProcessResult r = RunProcess(argv, options);
        EXPECT_EQ(std::tie(r.out, r.err, r.status), std::tie(run.out, "", run.status))
            << testing::PrintToString(run.args) << (run.input_held_open ? ", input held open" : "");
    }
}

}  // namespace
