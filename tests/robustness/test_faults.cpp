// The real program on a machine that lacks what it needs: no display it
// can reach, no display it can draw on, no sound device. Run as the player
// runs it, from a folder holding its data.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/e2e/x_screen.h"
#include "tests/host/temp_files.h"
#include "tests/support/subprocess.h"
#include "tests/support/x_windows.h"

namespace {

namespace fs = std::filesystem;

// The program in a folder of its own beside the generated data, so that it
// works and keeps its state file there (it goes to its own folder, wherever
// it is started from). Removed afterwards.
struct GameFolder : TempDir {
    GameFolder() {
        fs::create_directory_symlink(DATA_DIR, *this / "data");
        fs::copy_file(VELLUMBY, *this / "vellumby");
    }
    // Runs the program there (after `before`, a program that starts it) with
    // `env` added; the limit only ends a test that has failed.
    ProcessResult Run(const std::vector<std::string>& env, std::vector<std::string> before = {}) const {
        before.push_back((*this / "vellumby").string());
        return RunProcess(before, {"", env, this->string(), 90});
    }
};

// Watches the game's window until it has shown two different pictures, each
// more than one flat colour, then closes it as the close box does. While the
// picture stays the same it holds the Right arrow key now and then, as a
// player would, so that a screen at rest changes too. "drawing" when it saw
// them; "still", "blank" or "no window" when the time ran out first.
std::string WatchWindow(double seconds) {
    XScreen screen;
    Window window = 0;
    Picture first;
    std::string verdict = "no window";
    int polls = 0;  // a press every fifty, about half a second apart
    if (screen.Connected()) WaitFor([&] {
        if (!window && !(window = screen.FindByTitle("Vellumby"))) return false;
        const Picture now = screen.Grab(window);
        const bool flat = std::all_of(now.pixels.begin(), now.pixels.end(), [&](Rgb c) { return c == now.pixels[0]; });
        if (verdict == "no window") verdict = "blank";
        if (!flat && first.empty()) first = now, verdict = "still";
        if (!flat && now.pixels != first.pixels) verdict = "drawing";
        const std::string w = std::to_string(window);
        if (++polls % 50 == 0 && !first.empty()) {
            RunProcess({"/usr/bin/xdotool", "keydown", "--window", w, "Right", "sleep", "0.1", "keyup", "--window", w,
                        "Right"});
        }
        return verdict == "drawing";
    }, seconds);
    if (window) SendCloseRequest(screen.display(), window);
    return verdict;
}

TEST(Faults, WithoutASoundDeviceTheGameSaysSoAndPlaysOnSilently) {
    std::vector<std::string> drivers = {"no-such-driver"};
    // On a machine without a sound card the system's own output fails too.
    const std::string listed = ReadFile("/proc/asound/cards");
    if (listed.empty() || listed.find("no soundcards") != std::string::npos) drivers.push_back("alsa");
    for (const std::string& driver : drivers) {
        SCOPED_TRACE(driver);
        std::string watch;
        std::thread watcher([&] { watch = WatchWindow(60); });
        const ProcessResult r = GameFolder().Run({"ALSOFT_DRIVERS=" + driver});
        watcher.join();
        EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "OpenAl error: alcOpenDevice failed\n") << r.out;
        EXPECT_EQ(watch, "drawing");
        EXPECT_FALSE(r.timed_out);
        EXPECT_EQ(r.status, 0) << r.err;
    }
}

// No display server to reach (the first display number nothing serves), and
// a screen of 8-bit colour, which offers no OpenGL visual: either way the
// program says why and ends with status 255, having saved nothing.
TEST(Faults, NoDisplayOrNoUsableWindowEndsTheProgramWithAMessage) {
    int n = 500;
    while (fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) || fs::exists("/tmp/.X" + std::to_string(n) + "-lock")) {
        ++n;
    }
    const struct {
        std::vector<std::string> env, before;
        const char* out;
    } cases[] = {
        {{"DISPLAY=:" + std::to_string(n), "ALSOFT_DRIVERS=null"}, {}, "glfwInit failed\n"},
        {{"ALSOFT_DRIVERS=null"}, {"/usr/bin/xvfb-run", "-a", "-s", "-screen 0 640x480x8 -noreset"},
         "Could not open the game window: no OpenGL-capable display was found.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        GameFolder folder;
        const ProcessResult r = folder.Run(c.env, c.before);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.status, 255);
        EXPECT_FALSE(fs::exists(folder / ".quarlostate"));
    }
}

}  // namespace
