// The host and app lifecycle as real programs in a real window: exit statuses
// and fatal messages; and real X11 input: the test app in its "input" mode
// reports what its input device shows each update, while xdotool presses
// keys, moves the pointer and clicks, and a desktop-style close request ends
// it. Runs alone on the display: pointer, focus and clicks are shared by
// every window on it. (A display that cannot be reached or drawn on is
// checked on the faulty-machine runs.)
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/game/values.h"
#include "tests/host/temp_files.h"
#include "tests/support/subprocess.h"
#include "tests/support/x_windows.h"

namespace {

const char kTitle[] = "Vellumby input test";

// Each way the test app ends: what it printed, and its status. An uncaught
// exception while starting, in the app's creation or in an update is fatal;
// a second app is a runtime error; the back key ends the program quietly,
// inside the key event. The silent audio output makes what they print
// independent of a sound card.
TEST(HostProcess, FatalErrorsAndTheBackKeyEndTheProgramWithTheirStatus) {
    const char kUncaught[] = "Quarlo Runtime Error : Uncaught Quarlo Exception\n";
    const struct { const char *mode, *out; int status; } runs[] = {
        {"throw-startup", kUncaught, 255}, {"throw-create", kUncaught, 255}, {"throw-update", kUncaught, 255},
        {"second-app", "Quarlo Runtime Error : App has already been created\n\n", 255}, {"back-key", "created\n", 0},
    };
    for (const auto& run : runs) {
        const ProcessResult r = RunProcess({TEST_APP, run.mode}, {"", {"ALSOFT_DRIVERS=null"}, "", 30});
        EXPECT_EQ(r.out, run.out) << run.mode;
        EXPECT_EQ(r.status, run.status) << run.mode;
        if (std::string(run.mode) == "second-app") {
            EXPECT_EQ(r.err, "{{~~~~}}\n\n");  // the debugger conversation, no location
        }
    }
}

// Runs a program to its end; the limit only ends a test that has already
// failed (a busy machine may be slow).
std::string RunTool(std::vector<std::string> args) {
    const ProcessResult r = RunProcess(args);  // in 30 seconds
    EXPECT_EQ(r.status, 0) << args[0] << " " << args[1] << ": " << r.err;
    return r.out;
}

TEST(LiveInput, KeysCharactersPointerAndCloseFromTheWindowSystem) {
    // The app writes its report, one fact a line prefixed with the update
    // number, to a file; it gets 90 seconds and the silent audio output.
    const TempDir dir;
    const std::string report = (dir / "report").string();
    FILE* app = popen(("ALSOFT_DRIVERS=null timeout 90 '" TEST_APP "' input > '" + report + "'").c_str(), "w");
    ASSERT_NE(app, nullptr);
    std::string window = RunTool({"/usr/bin/xdotool", "search", "--sync", "--name", std::string("^") + kTitle + "$"});
    window = window.substr(0, window.find('\n'));
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
        // Beyond ASCII, from the display's own keymap: a key the tool has to
        // map first can reach the app before the new map does.
        {{"key", "--window", window, "plusminus"}, "char 177"},
        {{"keydown", "Right", "sleep", "1.2", "keyup", "Right"}, "up 39"},  // held long enough to repeat
        // F11 held on while the window changes to full screen, then the new
        // window focused (repeats that had queued up would fire now), then a
        // tap back to the window.
        {{"keydown", "F11", "sleep", "1.5", "keyup", "F11"}, "window full"},
        {{"search", "--name", std::string("^") + kTitle + "$", "windowfocus", "key", "y"}, "char 121"},
        {{"key", "F11"}, "window windowed"},  // to the focus: the window it goes to is gone at once
    };
    for (auto [args, last] : steps) {
        args.insert(args.begin(), "/usr/bin/xdotool");
        RunTool(args);
        ASSERT_TRUE(last.empty() || WaitFor([&] { return ReadFile(report).find(" " + last + "\n") != std::string::npos; }, 30))
            << args[1] << "\n" << ReadFile(report);
    }
    // The desktop's close request, to the window the last switch opened.
    Display* display = XOpenDisplay(nullptr);
    Window last = 0;
    const auto find = [&] { return (last = FindWindowByTitle(display, DefaultRootWindow(display), kTitle)) != 0; };
    ASSERT_TRUE(display && WaitFor(find, 30));
    SendCloseRequest(display, last);
    XCloseDisplay(display);
    const int status = pclose(app);
    const std::string out = ReadFile(report);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "\n" << out;

    // Each fact and the update it came in, and how many times it came.
    std::vector<std::pair<int, std::string>> facts;
    std::istringstream lines(out);
    for (std::pair<int, std::string> f; lines >> f.first && std::getline(lines >> std::ws, f.second);) facts.push_back(f);
    const auto count = [&](const std::string& what) {
        return std::count_if(facts.begin(), facts.end(), [&](const auto& f) { return f.second == what; });
    };
    const auto update = [&](const std::string& what) {  // the first update that has it
        const auto f = std::find_if(facts.begin(), facts.end(), [&](const auto& f) { return f.second == what; });
        return f == facts.end() ? -1 : f->first;
    };
    // Enter: key 13 and character 13. Shift+A: Shift, the letter and only the
    // shifted character. Left: key 37 and the character 65536 + 37. The
    // right button is key 2 and not touch 0, the side button no key at all.
    // A held key is one press.
    for (const auto& [what, times] : {std::pair{"hit 13 1", 1}, {"char 13", 1}, {"hit 16 1", 1}, {"hit 65 1", 1},
                                      {"char 65", 1}, {"char 97", 0}, {"hit 37 1", 1}, {"char 65573", 1},
                                      {"hit 90 1", 1}, {"hit 1 1", 1}, {"hit 384 1", 1}, {"hit 2 1", 1},
                                      {"hit 4 1", 0}, {"hit 39 1", 1}}) {
        EXPECT_EQ(count(what), times) << what << "\n" << out;
    }
    // Right Alt and keypad Enter: nothing at all between Left and the z
    // (but releases of the keys before).
    for (const auto& [u, what] : facts) {
        if (u <= update("char 65573") || u > update("char 122") || what.compare(0, 3, "up ") == 0) continue;
        EXPECT_TRUE(what == "hit 90 1" || what == "down 90" || what == "char 122") << what;
    }
    // The press is key 1 and touch 0 (384) in one update, and the release
    // lets both go together.
    EXPECT_EQ(update("hit 384 1"), update("hit 1 1"));
    EXPECT_EQ(update("up 384"), update("up 1"));
    EXPECT_GE(count("char 65575"), 3);  // the held Right arrow's repeats
    EXPECT_EQ(Values(count("window full"), count("window windowed")), Values(1, 1)) << out;

    // The close box arrived as key 432 and ended the program through it.
    EXPECT_NE(out.find("exit down432=1 hit432=1\n"), std::string::npos) << out;
}

}  // namespace
