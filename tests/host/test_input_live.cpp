// Real X11 input into a real program: the test app in its "input" mode
// reports what its input device shows each update, while xdotool presses
// keys, moves the pointer and clicks, and a desktop-style close request ends
// it. Runs alone on the display: pointer, focus and clicks are shared by
// every window on it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/subprocess.h"

namespace {

const char kTitle[] = "Vellumby input test";

// A program running beside the test, whose output can be waited for.
class LiveProgram {
public:
    explicit LiveProgram(const std::vector<std::string>& argv) {
        int out[2];
        if (pipe(out)) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            close(out[0]);
            close(out[1]);
            std::vector<char*> args;
            for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        close(out[1]);
        fd_ = out[0];
    }
    ~LiveProgram() {
        if (pid_ > 0 && !finished_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0) close(fd_);
    }

    // Reads output until it contains `text`.
    bool WaitFor(const std::string& text, double seconds = 10) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
        while (out_.find(text) == std::string::npos) {
            if (!ReadSome(deadline)) return false;
        }
        return true;
    }
    // Reads to the end and returns the exit status (-1: killed or too slow).
    int Finish(double seconds = 10) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
        while (ReadSome(deadline)) {
        }
        if (std::chrono::steady_clock::now() >= deadline) kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        finished_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const std::string& out() const { return out_; }

private:
    bool ReadSome(std::chrono::steady_clock::time_point deadline) {
        if (fd_ < 0) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
        char buf[4096];
        const ssize_t n = read(fd_, buf, sizeof buf);
        if (n <= 0) return false;
        out_.append(buf, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    bool finished_ = false;
    std::string out_;
};

std::string Xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "/usr/bin/xdotool");
    ProcessOptions options;
    options.timeout_seconds = 10;
    const ProcessResult r = RunProcess(args, options);
    EXPECT_EQ(r.status, 0) << args[1] << ": " << r.err;
    return r.out;
}

// The app's report as (update, fact) pairs.
struct Fact {
    int update;
    std::string what;
};

std::vector<Fact> Facts(const std::string& out) {
    std::vector<Fact> facts;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        Fact f{};
        if (!(words >> f.update)) continue;
        std::getline(words >> std::ws, f.what);
        facts.push_back(f);
    }
    return facts;
}

int Count(const std::vector<Fact>& facts, const std::string& what) {
    int n = 0;
    for (const Fact& f : facts) n += f.what == what;
    return n;
}

int UpdateOf(const std::vector<Fact>& facts, const std::string& what) {
    for (const Fact& f : facts) {
        if (f.what == what) return f.update;
    }
    return -1;
}

// Whether any fact starts with `prefix`.
bool Any(const std::vector<Fact>& facts, const std::string& prefix) {
    for (const Fact& f : facts) {
        if (f.what.compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
}

TEST(LiveInput, KeysCharactersPointerAndCloseFromTheWindowSystem) {
    LiveProgram app({TEST_APP, "input"});
    ASSERT_TRUE(app.WaitFor("ready\n")) << app.out();
    std::string window = Xdotool({"search", "--sync", "--name", std::string("^") + kTitle + "$"});
    window = window.substr(0, window.find('\n'));
    ASSERT_FALSE(window.empty());

    // Keys sent to the window itself.
    Xdotool({"key", "--window", window, "Return"});
    ASSERT_TRUE(app.WaitFor("char 13\n")) << app.out();
    Xdotool({"key", "--window", window, "shift+a"});
    ASSERT_TRUE(app.WaitFor("char 65\n")) << app.out();
    Xdotool({"key", "--window", window, "Left"});
    ASSERT_TRUE(app.WaitFor("char 65573\n")) << app.out();
    const std::size_t before_silent = app.out().size();
    Xdotool({"key", "--window", window, "Alt_R", "KP_Enter", "z"});
    ASSERT_TRUE(app.WaitFor("char 122\n")) << app.out();
    const std::vector<Fact> silent = Facts(app.out().substr(before_silent));

    // The pointer: a move, then a held left button, then a right click and
    // a side button.
    Xdotool({"mousemove", "--window", window, "100", "50"});
    ASSERT_TRUE(app.WaitFor("mouse 100 50\n")) << app.out();
    Xdotool({"mousedown", "1"});
    ASSERT_TRUE(app.WaitFor("down 1\n")) << app.out();
    Xdotool({"mouseup", "1"});
    ASSERT_TRUE(app.WaitFor("up 1\n")) << app.out();
    Xdotool({"click", "3"});
    Xdotool({"click", "8"});
    Xdotool({"key", "--window", window, "y"});
    ASSERT_TRUE(app.WaitFor("char 121\n")) << app.out();

    // A held key repeats its character but is one press.
    Xdotool({"keydown", "Right"});
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    Xdotool({"keyup", "Right"});
    ASSERT_TRUE(app.WaitFor("up 39\n")) << app.out();

    // The desktop's close request.
    const ProcessResult closer = RunProcess({SEND_CLOSE, kTitle, "5"});
    EXPECT_EQ(closer.status, 0);
    EXPECT_EQ(app.Finish(), 0) << app.out();

    const std::vector<Fact> facts = Facts(app.out());
    // Enter: one key hit and character 13, and its release no character.
    EXPECT_EQ(Count(facts, "hit 13 1"), 1);
    EXPECT_EQ(Count(facts, "char 13"), 1);
    // Shift+A: Shift, the letter, and the shifted character only.
    EXPECT_EQ(Count(facts, "hit 16 1"), 1);
    EXPECT_EQ(Count(facts, "hit 65 1"), 1);
    EXPECT_EQ(Count(facts, "char 65"), 1);
    EXPECT_EQ(Count(facts, "char 97"), 0);
    // Left: key 37 and the character 65536 + 37.
    EXPECT_EQ(Count(facts, "hit 37 1"), 1);
    EXPECT_EQ(Count(facts, "char 65573"), 1);
    // Right Alt and keypad Enter: nothing at all before the z.
    // (Releases of the keys before may still arrive in that stretch.)
    EXPECT_EQ(Count(silent, "hit 90 1"), 1);
    for (const Fact& f : silent) {
        if (f.what.compare(0, 3, "up ") == 0) continue;
        EXPECT_TRUE(f.what == "hit 90 1" || f.what == "down 90" || f.what == "char 122") << f.what;
    }

    // The move reaches the mouse and touch 0; the press is key 1 and touch 0
    // (384) in one update, and the release lets both go together.
    EXPECT_EQ(UpdateOf(facts, "mouse 100 50"), UpdateOf(facts, "touch0 100 50"));
    const int press = UpdateOf(facts, "down 1");
    EXPECT_EQ(UpdateOf(facts, "hit 1 1"), press);
    EXPECT_EQ(UpdateOf(facts, "hit 384 1"), press);
    EXPECT_EQ(UpdateOf(facts, "down 384"), press);
    EXPECT_EQ(UpdateOf(facts, "up 384"), UpdateOf(facts, "up 1"));
    EXPECT_EQ(Count(facts, "hit 1 1"), 1);
    // Right button is key 2; the side button is no key at all.
    EXPECT_EQ(Count(facts, "hit 2 1"), 1);
    EXPECT_FALSE(Any(facts, "hit 4 ")) << app.out();
    EXPECT_FALSE(Any(facts, "hit 3 ")) << app.out();

    // The held Right arrow: one hit, several repeated characters.
    EXPECT_EQ(Count(facts, "hit 39 1"), 1);
    EXPECT_GE(Count(facts, "char 65575"), 3);

    // The close box arrived as key 432 and ended the program through it.
    EXPECT_NE(app.out().find("exit down432=1 hit432=1\n"), std::string::npos) << app.out();
}

}  // namespace
