// The game as a player gets it: installed with `cmake --install` into a
// folder of its own (with a space in its name, as home folders may have) or
// as a Debian package, found in the applications menu by its launcher entry
// and icons, with its manual page and software-centre entry, checked by
// Debian's and the desktop's own tools, and started from another folder on
// the virtual display; and the program in a build folder, or without any
// data folder, as before.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <unordered_set>
#include <vector>

#include "host/image_files.h"
#include "tests/game/values.h"
#include "tests/host/temp_files.h"
#include "tests/support/subprocess.h"

// Last: the X headers define macros (None, Bool) that other headers use as names.
#include <X11/Xutil.h>

#include "tests/support/x_windows.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    return parts;
}

// Every file and folder under a root, with what shows a change to it.
using Snapshot = std::map<std::string, std::tuple<std::uintmax_t, long long, ino_t>>;

Snapshot Take(const fs::path& root) {
    Snapshot snapshot;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat info {};
        lstat(entry.path().c_str(), &info);
        snapshot[fs::relative(entry.path(), root).string()] = {
            static_cast<std::uintmax_t>(info.st_size), info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec,
            info.st_ino};
    }
    return snapshot;
}

// What is under a root, by name; without its folders when folders is false.
std::vector<std::string> FileNames(const fs::path& root, bool folders = true) {
    std::vector<std::string> names;
    for (const auto& entry : Take(root)) {
        if (folders || !fs::is_directory(root / entry.first)) names.push_back(entry.first);
    }
    return names;
}

// A command of building, packaging or checking, which must succeed.
ProcessResult MustRun(const std::vector<std::string>& argv, const std::string& cwd = "") {
    ProcessResult r = RunProcess(argv, {"", {}, cwd, 600});
    EXPECT_EQ(r.status, 0) << argv[0] << "\n" << r.out << r.err;
    return r;
}

// The checkers of Debian and the desktop: each must pass, and the outputs
// named in `quiet` stay empty (not even a hint). A checker that is not
// installed is named and the test marked skipped; scripts/setup.sh installs
// them for the test command.
struct Checker {
    std::vector<std::string> argv;
    std::vector<std::string ProcessResult::*> quiet;
};

void RunCheckers(const std::vector<Checker>& checkers) {
    std::string missing;
    for (const Checker& checker : checkers) {
        if (access(checker.argv[0].c_str(), X_OK) != 0) {
            missing += " " + checker.argv[0];
            continue;
        }
        const ProcessResult r = MustRun(checker.argv);
        for (const auto output : checker.quiet) EXPECT_EQ(r.*output, "") << checker.argv[0];
    }
    // The test command installs them: in CI a missing one is a fault of the set-up.
    const char* ci = std::getenv("CI");
    if (!missing.empty() && ci && std::string(ci) == "true") ADD_FAILURE() << "not installed:" << missing;
    if (!missing.empty()) GTEST_SKIP() << "not installed, so only these checks did not run:" << missing;
}

constexpr const char* kEntry = "share/applications/invalid.vellumby.vellumby.desktop";

// The virtual display as a player's desktop: the game's window, its pixels,
// the close box, and the focus moving elsewhere.
class Desktop {
public:
    Desktop() : display_(XOpenDisplay(nullptr)) {
        // A window that closes while it is being looked at is no failure.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~Desktop() {
        if (display_) XCloseDisplay(display_);
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    Window Find(const char* title) { return display_ ? FindWindowByTitle(display_, DefaultRootWindow(display_), title) : 0; }

    // A part of the window as 0xRRGGBB (the virtual screen has 24-bit
    // colour), rows top first; empty when the window can't be read.
    std::vector<std::uint32_t> Grab(Window window, int x, int y, int w, int h) {
        XImage* image = XGetImage(display_, window, x, y, w, h, AllPlanes, ZPixmap);
        if (!image) return {};
        std::vector<std::uint32_t> pixels;
        for (int k = 0; k < w * h; ++k) pixels.push_back(XGetPixel(image, k % w, k / w) & 0xFFFFFF);
        XDestroyImage(image);
        return pixels;
    }

    // The window's class (the second of its two names), which desktops
    // match with a launcher entry's StartupWMClass.
    std::string Class(Window window) {
        XClassHint hint{};
        if (!XGetClassHint(display_, window, &hint)) return {};
        const std::string name = hint.res_class ? hint.res_class : "";
        if (hint.res_name) XFree(hint.res_name);
        if (hint.res_class) XFree(hint.res_class);
        return name;
    }

    std::string Size(Window window) {
        XWindowAttributes a{};
        XGetWindowAttributes(display_, window, &a);
        return std::to_string(a.width) + "x" + std::to_string(a.height);
    }

    void Close(Window window) { SendCloseRequest(display_, window); }

    // The player turns to another program: no window has the keyboard.
    void DropFocus() {
        XSetInputFocus(display_, None, RevertToNone, CurrentTime);
        XFlush(display_);
    }

private:
    Display* display_;
};

constexpr std::uint32_t kTitleClear = 0x000050;    // 0, 0, 80
constexpr std::uint32_t kLoadingClear = 0x282850;  // 40, 40, 80

// The title screen with its pictures: once the loading screen (whose clear
// colour shows at the corners) is gone, the menu's backdrop fills the
// window: no clear colour at its corner, and a thousand colours or more.
// Without its images the title would show only its clear colour, 0, 0, 80.
bool ShowsTitlePictures(Desktop& desktop, Window window) {
    const std::vector<std::uint32_t> pixels = desktop.Grab(window, 0, 0, 640, 480);
    if (pixels.empty()) return false;
    const std::uint32_t corner = pixels[2 * 640 + 2];
    if (corner == 0 || corner == kLoadingClear || corner == kTitleClear) return false;
    return std::unordered_set<std::uint32_t>(pixels.begin(), pixels.end()).size() >= 1000;
}

// Runs the program until `play` is done with its window, then closes it as
// a player would.
ProcessResult Play(const std::string& program, const ProcessOptions& options,
                   const std::function<void(Desktop&, Window)>& play) {
    ProcessResult result;
    std::thread runner([&] { result = RunProcess({program}, options); });
    Window window = 0;
    {
        Desktop desktop;
        WaitFor([&] { return (window = desktop.Find("Vellumby")) != 0; });
        if (window) {
            play(desktop, window);
            desktop.Close(window);
        }
    }
    runner.join();
    EXPECT_NE(window, 0u) << "the game's window never appeared\n" << result.out << result.err;
    return result;
}

// Plays until the title's pictures show, then turns to another program (the
// game saves as it pauses) and waits for `saved`; `look` sees the window first.
ProcessResult PlayToSave(const std::string& program, const ProcessOptions& options, const std::function<bool()>& saved,
                         const std::function<void(Desktop&, Window)>& look = {}) {
    return Play(program, options, [&](Desktop& desktop, Window window) {
        if (look) look(desktop, window);
        EXPECT_TRUE(WaitFor([&] { return ShowsTitlePictures(desktop, window); })) << "the title screen was never drawn";
        desktop.DropFocus();
        EXPECT_TRUE(WaitFor(saved)) << "the game never saved";
    });
}

// A fresh folder for each test, its name with a space in it.
class Installed : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.empty());
        for (const char* folder : {"home", "elsewhere"}) fs::create_directories(dir_ / folder);
    }

    // Installs the build into dir_/prefix.
    void Install() {
        ASSERT_EQ(MustRun({CMAKE_COMMAND, "--install", BUILD_DIR, "--prefix", prefix().string()}).status, 0);
    }

    fs::path prefix() const { return dir_ / "prefix"; }
    fs::path entry() const { return prefix() / kEntry; }

    // A player's session: started from another folder, with a home and a
    // data folder of its own. The time limit only ends a run that has failed.
    ProcessOptions Session() const {
        const std::string home = "HOME=" + (dir_ / "home").string(), data = "XDG_DATA_HOME=" + (dir_ / "xdg data").string();
        return {"", {"ALSOFT_DRIVERS=null", home, data}, (dir_ / "elsewhere").string(), 180};
    }

    TempDir dir_{"/tmp/vellumby install-XXXXXX"};
};

// The program an entry's Exec line starts: string escapes first, then the
// command line's quoting, and %% for a percent sign.
std::string ExecProgram(const std::string& entry_text) {
    const std::size_t from = entry_text.find("\nExec=") + 6;
    const std::string value = entry_text.substr(from, entry_text.find('\n', from) - from);
    std::string unescaped, program;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i] == '\\' && i + 1 < value.size() ? value[++i] : '\0';
        unescaped += !c ? value[i] : c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
    }
    const bool quoted = !unescaped.empty() && unescaped[0] == '"';
    for (std::size_t i = quoted ? 1 : 0; i < unescaped.size() && unescaped[i] != (quoted ? '"' : ' '); ++i) {
        if ((quoted && unescaped[i] == '\\') || (unescaped[i] == '%' && unescaped[i + 1] == '%')) ++i;
        program += unescaped[i];
    }
    return program;
}

// Installed into a prefix: the launcher entry, the software-centre entry
// (alone, and with the entry and icons it names) and the manual page pass
// their checkers; the entry names the installed program and its icon, and
// every icon has its size. Started by that entry from another folder, the
// game finds its pictures, saves into the player's data folder when it loses
// the focus, and reads the scores back at the next start, without writing
// anything into the installed files.
TEST_F(Installed, InstallValidatesAndTheGameStartsFromAnywhereKeepingScoresInTheUsersFolder) {
    Install();
    const std::string metainfo = (prefix() / "share/metainfo/invalid.vellumby.vellumby.metainfo.xml").string();
    RunCheckers({{{"/usr/bin/desktop-file-validate", entry().string()}, {&ProcessResult::out, &ProcessResult::err}},
                 {{"/usr/bin/appstreamcli", "validate", "--pedantic", "--no-net", metainfo}, {}},
                 {{"/usr/bin/appstreamcli", "validate-tree", "--pedantic", "--no-net", prefix().string()}, {}},
                 {{"/usr/bin/man", "--warnings=w", "-l", (prefix() / "share/man/man6/vellumby.6.gz").string()},
                  {&ProcessResult::err}}});

    const std::string text = ReadFile(entry());
    EXPECT_NE(text.find("\nIcon=vellumby\n"), std::string::npos) << text;
    EXPECT_EQ(ExecProgram(text), (prefix() / "games/vellumby").string()) << text;
    EXPECT_EQ(access(ExecProgram(text).c_str(), X_OK), 0);

    const std::vector<std::string> sizes = Split(ICON_SIZES, ' ');
    ASSERT_GE(sizes.size(), 5u);
    for (const std::string& size : sizes) {
        SCOPED_TRACE(size);
        const fs::path icon = prefix() / "share/icons/hicolor" / (size + "x" + size) / "apps/vellumby.png";
        int w = 0, h = 0, depth = 0;
        unsigned char* pixels = orvLoadImageFile(String(icon.c_str()), &w, &h, &depth);
        ASSERT_NE(pixels, nullptr);
        // Its size, and the picture is there: the middle of the icon is opaque.
        const int n = std::stoi(size);
        EXPECT_EQ(Values(w, h, depth, pixels[(h / 2 * w + w / 2) * 4 + 3]), Values(n, n, 4, 255));
        std::free(pixels);
    }

    const std::string program = ExecProgram(text);
    const Snapshot installed = Take(prefix());
    ASSERT_GT(installed.count("share/games/vellumby/data/trel_font.png"), 0u);
    const fs::path state = dir_ / "xdg data/vellumby/.quarlostate";

    std::string window_class;
    ProcessResult first = PlayToSave(program, Session(), [&] { return fs::exists(state); },
                                     [&](Desktop& desktop, Window window) { window_class = desktop.Class(window); });
    // The desktop finds the launcher entry, and its icon, for the window.
    EXPECT_NE(ReadFile(entry()).find("\nStartupWMClass=" + window_class + "\n"), std::string::npos) << window_class;
    EXPECT_EQ(first.status, 0) << first.out << first.err;
    EXPECT_EQ(first.out.find("Loaded"), std::string::npos) << first.out;  // nothing was saved before
    ASSERT_TRUE(fs::exists(state));
    EXPECT_EQ(fs::status(state.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
    struct stat info {};

    // A highscore of 1234 at the top of the first list, with the list's
    // checksum to match: four times the score.
    std::vector<std::string> fields = Split(ReadFile(state), '|');
    ASSERT_EQ(fields.size(), 98u) << ReadFile(state);
    ASSERT_EQ((std::vector<std::string>{fields[35], fields[55]}), (std::vector<std::string>{"0", "0"}));
    fields[35] = "1234";
    fields[55] = "4936";
    std::string seeded;
    for (const std::string& field : fields) seeded += field + "|";
    std::ofstream(state, std::ios::binary | std::ios::trunc) << seeded;
    ASSERT_EQ(stat(state.c_str(), &info), 0);
    const ino_t seeded_file = info.st_ino;

    // Saved again: a new file has replaced the old one.
    ProcessResult second =
        PlayToSave(program, Session(), [&] { return stat(state.c_str(), &info) == 0 && info.st_ino != seeded_file; });
    EXPECT_EQ(second.status, 0) << second.out << second.err;
    EXPECT_NE(second.out.find("Highscore 0 Loaded"), std::string::npos) << second.out;
    EXPECT_EQ(ReadFile(state), seeded);

    EXPECT_EQ(FileNames(state.parent_path()), std::vector<std::string>{".quarlostate"});
    EXPECT_TRUE(fs::is_empty(dir_ / "elsewhere") && fs::is_empty(dir_ / "home"));
    EXPECT_EQ(Take(prefix()), installed);
}

// The program in its build folder keeps working beside itself, wherever it
// is started from: a copy of it with the build's data folder stands in for
// the build folder, so the player's own saves there are never touched.
TEST_F(Installed, BuildFolderProgramKeepsItsStateBesideItself) {
    const fs::path build = dir_ / "build";
    fs::create_directories(build);
    fs::copy_file(VELLUMBY, build / "vellumby");
    fs::create_directory_symlink(fs::path(BUILD_DIR) / "data", build / "data");

    // The window the game opens at its start has the game's size.
    ProcessResult run =
        PlayToSave((build / "vellumby").string(), Session(), [&] { return fs::exists(build / ".quarlostate"); },
                   [&](Desktop& desktop, Window window) { EXPECT_EQ(desktop.Size(window), "640x480"); });
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_TRUE(fs::exists(build / ".quarlostate"));
    EXPECT_FALSE(fs::exists(dir_ / "xdg data"));
    EXPECT_TRUE(fs::is_empty(dir_ / "elsewhere") && fs::is_empty(dir_ / "home"));
}

// With no data folder the game still runs: it says once which folders it
// looked for, and shows the loading screen's clear colour, then the title's.
TEST_F(Installed, WithoutDataTheGameRunsAndSaysWhichFolderIsMissing) {
    const fs::path alone = dir_ / "alone";
    fs::create_directories(alone);
    fs::copy_file(VELLUMBY, alone / "vellumby");

    std::vector<std::uint32_t> seen;
    ProcessResult run = Play((alone / "vellumby").string(), Session(), [&](Desktop& desktop, Window window) {
        WaitFor([&] {
            const std::vector<std::uint32_t> pixel = desktop.Grab(window, 2, 2, 1, 1);
            const std::uint32_t corner = pixel.empty() ? 0 : pixel[0];
            const bool clear = corner == kLoadingClear || corner == kTitleClear;
            if (clear && (seen.empty() || seen.back() != corner)) seen.push_back(corner);
            return corner == kTitleClear;
        });
    });
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{kLoadingClear, kTitleClear}));
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    const std::string message = "The game's data folder is missing (looked for " + (alone / "data").string() +
                                " and " + (dir_ / "share/games/vellumby/data").string() + ")";
    EXPECT_EQ(run.out.rfind(message, 0), 0u) << run.out;  // first of all
    EXPECT_EQ(run.out.find("data folder"), run.out.rfind("data folder")) << run.out;  // and only once
}

// The Debian package holds the same files as an install, with the program
// at /usr/games/vellumby named by its launcher entry, depends on the
// libraries the program links, and passes Debian's checker without an error
// or a warning.
TEST_F(Installed, DebianPackageHoldsTheInstalledFilesAndItsDependencies) {
    Install();
    ASSERT_EQ(MustRun({CPACK_COMMAND, "-G", "DEB", "-B", (dir_ / "package").string(), "--config", "CPackConfig.cmake"},
                  BUILD_DIR).status, 0);
    // Named as the README says.
    const std::string arch = Split(MustRun({"/usr/bin/dpkg", "--print-architecture"}).out, '\n').at(0);
    const fs::path deb = dir_ / "package" / ("vellumby_1.0.0_" + arch + ".deb");

    const ProcessResult fields =
        MustRun({"/usr/bin/dpkg-deb", "--field", deb.string(), "Package", "Depends", "Section"});
    for (const char* text : {"Package: vellumby\n", "Section: games\n", "libglfw3", "libopenal1", "libvorbisfile3", "libc6"}) {
        EXPECT_NE(fields.out.find(text), std::string::npos) << text << "\n" << fields.out;
    }

    ASSERT_EQ(MustRun({"/usr/bin/dpkg-deb", "--extract", deb.string(), (dir_ / "root").string()}).status, 0);
    EXPECT_EQ(FileNames(dir_ / "root/usr", false), FileNames(prefix(), false));
    EXPECT_EQ(ExecProgram(ReadFile(dir_ / "root/usr" / kEntry)), "/usr/games/vellumby");
    RunCheckers({{{"/usr/bin/lintian", "--fail-on", "error,warning", "--tag-display-limit", "0", deb.string()}, {}}});
}

}  // namespace
