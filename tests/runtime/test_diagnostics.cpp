// Paths that end the process, run in a probe program: exact streams and
// exit statuses, and the debugger conversation on standard input.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/support/subprocess.h"

namespace {

const std::string kStop = "{{~~~~}}\n\n";  // marker line, then an empty debugger line

struct Outcome {
    std::vector<std::string> args;
    std::string input, out, err;
    int status;
};

TEST(Diagnostics, TheDebuggerConversationAndEveryWayOut) {
    const std::vector<std::string> error = {"error"};
    const auto fatal = [](const std::string& message) { return "Quarlo Runtime Error : " + message + "\n\n"; };
    const std::string kError = fatal("Image frame outside surface");
    for (const Outcome& run : std::vector<Outcome>{
             {error, "", kError, kStop, 255},  // no debugger attached
             {error, "?\n", kError, kStop, 255},
             {error, "e\n", kError + kError, kStop + kStop, 255},
             {error, "l\n", kError + kError, kStop + kStop, 255},
             {error, "r\n", kError + kError, kStop + kStop, 255},
             {error, "s\n?\nq\n", kError + kError, kStop + kStop, 0},
             {error, "zap\nq\n", kError + "????? zap ?????", kStop, 255},
             {error, "q", kError, kStop, 255},  // a line must end with a newline
             // The other ways out.
             {{"quiet"}, "", "", "", 0},
             // The same text: UTF-8 on standard output, the low byte of each
             // unit on the debugger's standard error.
             {{"print"}, "", "A\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBF\n", "A\xE9\xAC\xFF\n", 0},
             {{"signal", "8"}, "", fatal("Floating point exception"), kStop, 255},
             {{"signal", "11"}, "", fatal("Memory access violation"), kStop, 255},
             {{"signal", "4"}, "", fatal("Illegal instruction"), kStop, 255},
             {{"handler", "10"}, "", fatal("Unknown signal"), kStop, 255},
         }) {
        std::vector<std::string> argv = run.args;
        argv.insert(argv.begin(), DIAG_PROBE);
        ProcessOptions options;
        options.input = run.input;
        const ProcessResult r = RunProcess(argv, options);
        EXPECT_EQ(std::tie(r.out, r.err, r.status), std::tie(run.out, run.err, run.status))
            << testing::PrintToString(run.args) << " input " << testing::PrintToString(run.input);
    }
}

}  // namespace
