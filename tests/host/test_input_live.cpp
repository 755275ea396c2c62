// Real X11 input into a real program: the test app in its "input" mode
// reports what its input device shows each update, while xdotool presses
// keys, moves the pointer and clicks, and a desktop-style close request ends
// it. Runs alone on the display: pointer, focus and clicks are shared by
// every window on it.
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/subprocess.h"

namespace {

using Clock = std::chrono::steady_clock;
const char kTitle[] = "Vellumby input test";

// The test app running beside the test, whose output can be waited for. It
// gets 90 seconds, so that a failed test cannot leave it running, and the
// silent audio output, so that nothing depends on a sound card. The limits
// here only end a test that has already failed: a busy machine may be slow.
class LiveApp {
public:
    ~LiveApp() {
        if (pipe_) pclose(pipe_);
    }
    // Reads output until it holds the line `line`; an empty one reads to the end.
    bool WaitFor(const std::string& line) {
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
        while (line.empty() || out.find(line + "\n") == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            pollfd p{fileno(pipe_), POLLIN, 0};
            char buf[4096];
            if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) return false;
            const ssize_t n = read(p.fd, buf, sizeof buf);
            if (n <= 0) return false;
            out.append(buf, static_cast<std::size_t>(n));
        }
        return true;
    }
    // Reads to the end and returns the exit status.
    int Finish() {
        WaitFor("");
        const int status = pclose(pipe_);
        pipe_ = nullptr;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string out;

private:
    FILE* pipe_ = popen("ALSOFT_DRIVERS=null timeout 90 '" TEST_APP "' input", "r");
};

std::string Xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "/usr/bin/xdotool");
    ProcessOptions options;
    options.timeout_seconds = 30;
    const ProcessResult r = RunProcess(args, options);
    EXPECT_EQ(r.status, 0) << args[1] << ": " << r.err;
    return r.out;
}

// The app's report: lines of an update number and a fact.
using Facts = std::vector<std::pair<int, std::string>>;

Facts Parse(const std::string& out) {
    Facts facts;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        int update = 0, length = 0;
        if (std::sscanf(line.c_str(), "%d %n", &update, &length) == 1) facts.emplace_back(update, line.substr(length));
    }
    return facts;
}

int Count(const Facts& facts, const std::string& what) {
    return static_cast<int>(std::count_if(facts.begin(), facts.end(), [&](const auto& f) { return f.second == what; }));
}

int UpdateOf(const Facts& facts, const std::string& what) {
    for (const auto& [update, fact] : facts) {
        if (fact == what) return update;
    }
    return -1;
}

TEST(LiveInput, KeysCharactersPointerAndCloseFromTheWindowSystem) {
    LiveApp app;
    std::string window = Xdotool({"search", "--sync", "--name", std::string("^") + kTitle + "$"});
    window = window.substr(0, window.find('\n'));
    ASSERT_FALSE(window.empty());
    // Each step waits for its last fact, if it has one, so that the next
    // lands in a later update.
    const std::pair<std::vector<std::string>, std::string> steps[] = {
        {{"key", "--window", window, "Return"}, "char 13"},
        {{"key", "--window", window, "shift+a"}, "char 65"},
        {{"key", "--window", window, "Left"}, "char 65573"},
        {{"key", "--window", window, "Alt_R", "KP_Enter", "z"}, "char 122"},
        {{"mousemove", "--window", window, "100", "50"}, "mouse 100 50"},
        {{"mousedown", "1"}, "down 1"},
        {{"mouseup", "1"}, "up 1"},
        {{"click", "3", "click", "8"}, ""},  // the right button and a side button
        {{"key", "--window", window, "y"}, "char 121"},
        {{"keydown", "Right", "sleep", "1.2", "keyup", "Right"}, "up 39"},  // held long enough to repeat
    };
    for (const auto& [args, last] : steps) {
        Xdotool(args);
        ASSERT_TRUE(last.empty() || app.WaitFor(last)) << args[0] << "\n" << app.out;
    }
    EXPECT_EQ(RunProcess({SEND_CLOSE, kTitle, "30"}).status, 0);  // the desktop's close request
    EXPECT_EQ(app.Finish(), 0) << app.out;

    // Enter: key 13 and character 13. Shift+A: Shift, the letter and only the
    // shifted character. Left: key 37 and the character 65536 + 37. The
    // right button is key 2 and not touch 0, the side button no key at all.
    // A held key is one press.
    const Facts facts = Parse(app.out);
    for (const auto& [what, times] : {std::pair{"hit 13 1", 1}, {"char 13", 1}, {"hit 16 1", 1}, {"hit 65 1", 1},
                                      {"char 65", 1}, {"char 97", 0}, {"hit 37 1", 1}, {"char 65573", 1},
                                      {"hit 90 1", 1}, {"hit 1 1", 1}, {"hit 384 1", 1}, {"hit 2 1", 1},
                                      {"hit 4 1", 0}, {"hit 39 1", 1}}) {
        EXPECT_EQ(Count(facts, what), times) << what << "\n" << app.out;
    }
    // Right Alt and keypad Enter: nothing at all between Left and the z
    // (but releases of the keys before).
    const int left = UpdateOf(facts, "char 65573"), z = UpdateOf(facts, "char 122");
    for (const auto& [update, what] : facts) {
        if (update <= left || update > z || what.compare(0, 3, "up ") == 0) continue;
        EXPECT_TRUE(what == "hit 90 1" || what == "down 90" || what == "char 122") << what;
    }
    // The press is key 1 and touch 0 (384) in one update, and the release
    // lets both go together.
    EXPECT_EQ(UpdateOf(facts, "hit 384 1"), UpdateOf(facts, "hit 1 1"));
    EXPECT_EQ(UpdateOf(facts, "up 384"), UpdateOf(facts, "up 1"));
    EXPECT_GE(Count(facts, "char 65575"), 3);  // the held Right arrow's repeats

    // The close box arrived as key 432 and ended the program through it.
    EXPECT_NE(app.out.find("exit down432=1 hit432=1\n"), std::string::npos) << app.out;
}

}  // namespace
