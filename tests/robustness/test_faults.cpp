// The real program on a machine that lacks what it needs: no display it
// can reach, no sound device. Run as the player runs it, from a folder
// holding its data.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "tests/support/subprocess.h"

namespace {

namespace fs = std::filesystem;

// The program in a folder of its own beside the generated data, so that it
// works and keeps its state file there (it goes to its own folder, wherever
// it is started from). Removed afterwards.
class GameFolder {
public:
    GameFolder() {
        char name[] = "/tmp/vellumby-faults-XXXXXX";
        if (!mkdtemp(name)) std::abort();
        path = name;
        fs::create_directory_symlink(DATA_DIR, path / "data");
        std::error_code linked;
        fs::create_hard_link(VELLUMBY, path / "vellumby", linked);
        if (linked) fs::copy_file(VELLUMBY, path / "vellumby");
    }
    ~GameFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    // Runs the program there with `env` added; the limit only ends a test
    // that has failed.
    ProcessResult Run(std::vector<std::string> env) const {
        ProcessOptions options;
        options.env = std::move(env);
        options.cwd = path.string();
        options.timeout_seconds = 90;
        return RunProcess({(path / "vellumby").string()}, options);
    }
    fs::path path;
};

TEST(Faults, WithoutASoundDeviceTheGameSaysSoAndPlaysOnSilently) {
    std::vector<std::string> drivers = {"no-such-driver"};
    // On a machine without a sound card the system's own output fails too.
    std::ifstream cards("/proc/asound/cards");
    const std::string listed{std::istreambuf_iterator<char>(cards), {}};
    if (listed.empty() || listed.find("no soundcards") != std::string::npos) drivers.push_back("alsa");
    for (const std::string& driver : drivers) {
        SCOPED_TRACE(driver);
        // Watched until its window has shown two different pictures, then
        // closed by its close box.
        std::string watch;
        std::thread watcher([&] { watch = RunProcess({WINDOW_WATCH, "Vellumby", "60"}).out; });
        const ProcessResult r = GameFolder().Run({"ALSOFT_DRIVERS=" + driver});
        watcher.join();
        EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "OpenAl error: alcOpenDevice failed\n") << r.out;
        EXPECT_EQ(watch, "drawing\n");
        EXPECT_FALSE(r.timed_out);
        EXPECT_EQ(r.status, 0) << r.err;
    }
}

TEST(Faults, ADisplayThatCannotBeReachedEndsTheProgramWithAMessage) {
    // The first display number nothing serves.
    int n = 500;
    while (fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) || fs::exists("/tmp/.X" + std::to_string(n) + "-lock")) {
        ++n;
    }
    GameFolder folder;
    const ProcessResult r = folder.Run({"DISPLAY=:" + std::to_string(n), "ALSOFT_DRIVERS=null"});
    EXPECT_EQ(r.out, "glfwInit failed\n");
    EXPECT_EQ(r.status, 255);
    EXPECT_FALSE(fs::exists(folder.path / ".quarlostate"));
}

}  // namespace
