// The real program end to end: started from its build folder as the play
// command starts it, with OpenAL writing everything it plays to a WAV file,
// driven by real key presses from xdotool, and watched through screenshots
// of its window. The pictures of every stage are kept in
// <build>/e2e-artifacts for a person to look at.
//
// Waits poll the screen for the state wanted, with limits far above what
// an idle machine needs, so that a busy one passes too. Keys are held for
// 150 ms: the game reads keys as held, so a press and release between two
// updates would be lost. Walking keys are held until the figure is seen
// where it should be.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <stdexcept>
#include <thread>
#include <utility>

#include "tests/e2e/sound_capture.h"
#include "tests/e2e/x_screen.h"
#include "tests/support/subprocess.h"
#include "tests/support/x_windows.h"

namespace fs = std::filesystem;

namespace {

const std::string kBuild = BUILD_DIR;
const std::string kArtefacts = kBuild + "/e2e-artifacts";

// Places on the 640 × 480 window (the virtual screen is the window there).
const Rect kWholeWindow{0, 0, 640, 480};
const Rect kScoreLists{556, 56, 84, 424};    // the title's score lists (right of the turning cog)
const Rect kItemStrip{0, 250, 500, 130};     // the title's game-type items
const Rect kScoreText{250, 2, 140, 26};      // the score at the top of the game
const Rect kLowerBoard{20, 300, 600, 150};   // board below the pause panel's icons
const Rect kBottomBand{0, 460, 640, 20};     // below the board: the game's clear colour
const Rect kSoundRow{170, 126, 380, 28};     // the options box's sound row (clear of its cog)

bool IsLoading(const Picture& p) {
    const Rgb screen{40, 40, 80};
    return !p.empty() && p.At(2, 2) == screen && p.At(p.width - 3, p.height - 3) == screen;
}

// The title's clear colour shows below the backdrop (in its left half)
// while it slides in.
bool TitleClearShows(const Picture& p) {
    for (int i = p.width * (p.height - 20); i < p.width * p.height; ++i) {
        if (i % p.width < p.width / 2 && p.pixels[i] == Rgb{0, 0, 80}) return !IsLoading(p);
    }
    return false;
}

// The game's dark green (0, 40, 0) under its backdrop, drawn at alpha 0.1.
bool GameGreen(Rgb c) { return c.g >= 36 && c.g <= 70 && c.r <= 30 && c.b <= 35 && c.g > c.r + 15 && c.g > c.b + 10; }

// Not dimmed by the pause panel, compared with a picture of play.
bool Bright(const Picture& p, const Picture& play) {
    return !p.empty() && p.Brightness(kLowerBoard) > 0.85 * play.Brightness(kLowerBoard);
}

// The options box, fully in: (150, 75, 0) at alpha 0.85 over the dimmed
// game, from the top of the window to the bottom.
bool OptionsBoxIn(const Picture& p) {
    const auto near = [](Rgb c) { return std::max({std::abs(c.r - 128), std::abs(c.g - 64), c.b}) <= 30; };
    return !p.empty() && near(p.At(580, 4)) && near(p.At(580, 470));
}

// The game-over bars at alpha 0.5 over the darkened game, most of the way
// in: yellow from the left at 0.45 of the height, orange from the right at
// 0.55 (clear of the words "GAME" and "OVER").
bool GameOverBars(const Picture& p) {
    if (p.empty()) return false;
    const Rgb yellow = p.At(400, 216), orange = p.At(240, 264);
    return yellow.r >= 120 && yellow.g >= 120 && yellow.b <= 80 && std::abs(yellow.r - yellow.g) < 30 &&
           orange.r >= 120 && orange.g >= 50 && orange.g <= 110 && orange.b <= 80;
}

// Where the figure is: the middle of its face, the only skin colour in the
// game; {-1, -1} when it is not in sight.
std::pair<double, double> FigureAt(const Picture& p) {
    double x = 0, y = 0, n = 0;
    for (int i = 0; i < p.width * p.height; ++i) {
        const Rgb c = p.pixels[i];
        if (std::max({std::abs(c.r - 244), std::abs(c.g - 197), std::abs(c.b - 156)}) > 12) continue;
        x += i % p.width, y += i / p.width, ++n;
    }
    return n > 0 ? std::pair(x / n, y / n) : std::pair(-1.0, -1.0);
}

// Seconds on a monotonic clock.
double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class EndToEnd : public ::testing::Test {
protected:
    // The player's own state file (the game keeps it in its folder) is kept
    // aside while the test plays, and put back afterwards.
    void SetUp() override {
        ASSERT_TRUE(screen.Connected()) << "no display";
        fs::remove_all(kArtefacts);
        fs::create_directories(kArtefacts);
        fs::rename(kState, kArtefacts + "/player-state-kept", ignored);
    }
    void TearDown() override {
        EndGame();
        fs::copy_file(kState, kArtefacts + "/state-after-test", ignored);
        fs::remove(kState, ignored);
        fs::rename(kArtefacts + "/player-state-kept", kState, ignored);
    }

    // Starts the game as the play command starts it (./vellumby in the
    // build folder) with `env` (NAME=value) added, running beside the test
    // (its output goes to a log file once it has ended), and waits for its
    // window.
    void Start(const std::vector<std::string>& env, const std::string& log) {
        EndGame();
        started = Now();
        game = std::async(std::launch::async, [=] {
            const ProcessResult r = RunProcess({"./vellumby"}, {"", env, kBuild, 600});
            std::ofstream(kArtefacts + "/" + log) << r.out << r.err;
            return r.status;
        });
        NewWindow("the game's window", [&] { return screen.FindByTitle("Vellumby"); });
    }

    // The exit status (0-255) once the program has ended within `seconds`;
    // -1 when a signal ended it, -2 while it still runs.
    int Wait(double seconds) {
        return game.wait_for(std::chrono::duration<double>(seconds)) == std::future_status::ready ? game.get() : -2;
    }

    // A game still running when it should have ended (or the test has
    // failed) loses its connection to the display, which ends it.
    void EndGame() {
        if (game.valid() && Wait(0) == -2 && window) XKillClient(screen.display(), window);
        if (window) XSync(screen.display(), False);
        game = {};
    }

    // Waits for a window from `find` other than the one the game had (it
    // replaces its window to change to or from full screen); a test that
    // finds none ends there.
    void NewWindow(const std::string& what, const std::function<unsigned long()>& find) {
        const unsigned long old = window;
        for (const double deadline = Now() + 60; (window = find()) == old || !window; Sleep(10)) {
            if (Now() > deadline || Wait(0) != -2) throw std::runtime_error("no window: " + what);
        }
    }

    void Note(const std::string& what) {
        const double t = Now() - started;
        timeline.emplace(what, t);  // the first time counts
        std::ofstream(kArtefacts + "/timeline.txt", std::ios::app) << t << " " << what << "\n";
    }

    // Holds a key for 150 ms in the game's window (xdotool's key names).
    void Hold(const std::string& key, double seconds = 0.15, bool window_may_go = false) {
        const std::string w = std::to_string(window);
        Note("press " + key);
        // xdotool presses a key of the focused window through the X server,
        // which repeats it while it is down. A key that makes the game
        // replace its window is let go without naming the window, which is
        // gone by then: the key must not stay down and repeat.
        std::vector<std::string> args = {"/usr/bin/xdotool", "keydown", "--window", w, key, "sleep",
                                         std::to_string(seconds), "keyup", "--window", w, key};
        if (window_may_go) args.erase(args.end() - 3, args.end() - 1);
        const ProcessResult r = RunProcess(args);
        EXPECT_TRUE(window_may_go || r.status == 0) << "xdotool " << key << ": " << r.err;
        Sleep(100);
    }

    // Holds a key down until the game shows what was wanted, so that a
    // loaded machine whose loop drops updates walks as far as an idle one.
    Picture HoldUntil(const std::string& key, const std::string& name,
                      const std::function<bool(const Picture&)>& wanted) {
        const std::string w = std::to_string(window);
        Note("press " + key);
        EXPECT_EQ(RunProcess({"/usr/bin/xdotool", "keydown", "--window", w, key}).status, 0) << key;
        const Picture p = WaitFor(name, wanted);
        EXPECT_EQ(RunProcess({"/usr/bin/xdotool", "keyup", "--window", w, key}).status, 0) << key;
        return p;
    }

    // Screenshots until one passes the test; the last one is kept either
    // way. A test that must see one and sees none ends there.
    Picture WaitFor(const std::string& name, const std::function<bool(const Picture&)>& wanted, double limit = 60,
                    bool must = true) {
        Picture p;
        for (const double deadline = Now() + limit; Now() < deadline; Sleep(10)) {
            if (wanted(p = screen.Grab(window))) {
                p.SavePng(kArtefacts + "/" + std::to_string(++shots) + "-" + name + ".png");
                return p;
            }
        }
        if (!must) return Picture();
        p.SavePng(kArtefacts + "/" + std::to_string(++shots) + "-FAILED-" + name + ".png");
        throw std::runtime_error("no picture of: " + name);
    }

    // Gives a new window the focus, as a player's click would, and presses
    // the key; both again when nothing came of it. Focus asked for before the
    // window is on the screen is not given, and the game runs no update
    // without it (it reads keys as held, so a key pressed meanwhile is lost).
    Picture FocusAndHoldUntil(const std::string& key, const std::string& name,
                              const std::function<bool(const Picture&)>& wanted) {
        for (int tries = 1;; ++tries) {
            RunProcess({"/usr/bin/xdotool", "windowfocus", std::to_string(window)});
            Sleep(300);
            Hold(key);
            const Picture p = WaitFor(name, wanted, 20, tries == 3);
            if (!p.empty()) return p;
        }
    }

    // Waits until the region stops changing: two pictures 300 ms apart agree.
    Picture Settled(const std::string& name, Rect region, const std::function<bool(const Picture&)>& wanted) {
        Picture last;
        return WaitFor(name, [&](const Picture& p) {
            const bool still = !last.empty() && !p.empty() && last.Difference(p, region) < 0.5 && wanted(p);
            last = p;
            if (!still) Sleep(300);
            return still;
        });
    }

    XScreen screen;
    const std::string kState = kBuild + "/.quarlostate";
    std::error_code ignored;
    std::shared_future<int> game;
    double started = 0;
    unsigned long window = 0;
    std::map<std::string, double> timeline;
    int shots = 0;
};

TEST_F(EndToEnd, APlayerPlaysAGameQuitsItAndFindsTheScoreAfterARestart) {
    const std::string wav = kArtefacts + "/capture.wav";
    std::ofstream(kArtefacts + "/alsoft.conf") << "[general]\nsample-type = int16\nchannels = stereo\nfrequency = "
                                                  "44100\nhrtf = false\nstereo-mode = speakers\ncf_level = 0\n"
                                                  "dither = false\n[wave]\nfile = " << wav << "\n";
    Start({"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + kArtefacts + "/alsoft.conf"}, "first-run.log");

    // Loading, then the title menu sliding in over its clear colour.
    WaitFor("loading", IsLoading);
    WaitFor("title-clear-colour", TitleClearShows);
    const Picture title = Settled("title", kWholeWindow, [](const Picture& p) { return !IsLoading(p); });

    // The selection moves to the second game type and back to the first.
    Hold("Right");
    Settled("menu-second-type", kItemStrip, [&](const Picture& p) { return p.Difference(title, kItemStrip) > 5; });
    Hold("Left");
    Settled("menu-first-type-again", kItemStrip, [&](const Picture& p) { return p.Difference(title, kItemStrip) < 2; });

    // A game of type 1: the level's intro fades to the board.
    Note("game start");
    Hold("Return");
    WaitFor("level-intro", [](const Picture& p) { return !p.empty() && GameGreen(p.Mean(kBottomBand)); });
    const Picture board = Settled("game", kScoreText, [](const Picture& p) {
        return GameGreen(p.Mean(kBottomBand)) && p.Brightness(kLowerBoard) > 40;
    });

    // The level music plays for a while. Escape pauses: the game is dimmed
    // behind the pause panel. From there the cog opens the options box; its
    // sound row steps from "SFX + Music" to "SFX", which stops the music.
    // Escape closes the box, and Escape again resumes the game.
    Sleep(1000);
    Note("pause");
    Hold("Escape");
    const Picture paused = Settled("paused", kLowerBoard, [&](const Picture& p) {
        const double ratio = p.Brightness(kLowerBoard) / board.Brightness(kLowerBoard);
        return ratio > 0.25 && ratio < 0.5;
    });
    Hold("Right");
    Hold("Return");
    const Picture options = Settled("options-box", kSoundRow, OptionsBoxIn);
    Hold("Down");
    const Picture highlighted = Settled("options-sound-row", kSoundRow, [&](const Picture& p) {
        return OptionsBoxIn(p) && p.Difference(options, kSoundRow) > 5;
    });
    Hold("Return");
    Settled("options-sound-sfx", kSoundRow,
            [&](const Picture& p) { return OptionsBoxIn(p) && p.Difference(highlighted, kSoundRow) > 1; });
    Hold("Escape");
    Settled("options-closed", kLowerBoard,
            [&](const Picture& p) { return !OptionsBoxIn(p) && p.Difference(paused, kLowerBoard) < 2; });
    Note("resume");
    Hold("Escape");
    WaitFor("resumed", [&](const Picture& p) { return Bright(p, board); });

    // Up the cut path and through the hedges above, along the top row, and
    // down the right edge through two items: the score changes. Each key is
    // held until the figure has entered the cell wanted (cells are 32 pixels;
    // it can stand half a cell into the walls), since the walk is by updates.
    Note("walk");
    const auto [start_x, start_y] = FigureAt(board);
    ASSERT_GT(start_x, 0) << "no figure on the board";
    HoldUntil("Up", "walked-up", [&](const Picture& p) { return FigureAt(p).second < start_y - 8.7 * 32; });
    HoldUntil("Right", "walked-right", [&](const Picture& p) { return FigureAt(p).first > start_x + 8.7 * 32; });
    HoldUntil("Down", "walked-down", [&](const Picture& p) { return FigureAt(p).second > start_y - 4.8 * 32; });
    Settled("hedges-cut", kScoreText, [&](const Picture& p) { return p.Difference(board, kScoreText) > 3; });
    // The sound checks use the capture as it is now: a full-screen window
    // starts without focus, and the sound device pauses until it has it.
    fs::copy_file(wav, kArtefacts + "/capture-until-full-screen.wav", ignored);

    // F11: full screen, on the whole 1280 × 1024 display in a new window
    // (which has no title). It is given the focus, as a player's click
    // would, and the game is left running there.
    Hold("F11", 0.15, true);
    NewWindow("full screen", [&] { return screen.FindBySize(1280, 1024); });
    const Rect full_lower{40, 640, 1200, 320}, full_band{0, 990, 1280, 30};
    const Picture full_first = Settled("full-screen", full_lower, [&](const Picture& p) {
        return p.width == 1280 && p.height == 1024 && !IsLoading(p) && p.Brightness(full_lower) > 5;
    });
    // Whether the game paused itself depends on whether the window system
    // told it of its missing focus before the focus came: Escape toggles the
    // pause, and the paused game is the dimmer picture.
    const auto dimmer = [&](const Picture& a, const Picture& b) {
        return !a.empty() && !b.empty() && a.Brightness(full_lower) < 0.7 * b.Brightness(full_lower);
    };
    const Picture toggled = FocusAndHoldUntil("Escape", "full-screen-toggled", [&](const Picture& p) {
        return dimmer(p, full_first) || dimmer(full_first, p);
    });
    const Picture full_game = !dimmer(toggled, full_first) ? toggled
        : FocusAndHoldUntil("Escape", "full-screen-game", [&](const Picture& p) { return dimmer(toggled, p); });
    EXPECT_TRUE(GameGreen(full_game.Mean(full_band)));

    // F11 again: back to the 640 × 480 window; paused when the new window
    // had no focus yet.
    Hold("F11", 0.15, true);
    NewWindow("windowed again", [&] { return screen.FindByTitle("Vellumby"); });
    Picture back = Settled("windowed-again", kScoreText,
                           [](const Picture& p) { return p.width == 640 && p.height == 480 && !IsLoading(p); });
    if (!Bright(back, board)) {
        back = FocusAndHoldUntil("Escape", "windowed-again-resumed", [&](const Picture& p) { return Bright(p, board); });
    }
    EXPECT_TRUE(GameGreen(back.Mean(kBottomBand)));

    // Quitting through the pause panel ends the game: the game-over bars
    // sweep in, then the title menu returns with the score in its lists.
    Hold("Escape");
    Settled("paused-to-quit", kLowerBoard,
            [&](const Picture& p) { return p.Brightness(kLowerBoard) < 0.5 * board.Brightness(kLowerBoard); });
    Hold("Left");
    Hold("Return");
    WaitFor("game-over", GameOverBars);
    const Picture scores = Settled("title-with-score", kWholeWindow, [&](const Picture& p) {
        return !GameOverBars(p) && p.Difference(title, kItemStrip) < 2;
    });
    EXPECT_GT(scores.Difference(title, kScoreLists), 0.2) << "the score lists did not change";

    // F4 ends the program at once, normally. Type 1's last score (field 36)
    // is the same game as its best (35); the sound mode (5) is "SFX".
    Hold("F4", 0.15, true);
    EXPECT_EQ(Wait(30), 0);
    std::vector<std::string> fields;
    std::ifstream saved(kState);
    for (std::string f; std::getline(saved, f, '|');) fields.push_back(f);
    ASSERT_EQ(fields.size(), 98u);
    const int best = std::atoi(fields[35].c_str());
    EXPECT_TRUE(best > 0 && best % 5 == 0) << best;
    EXPECT_EQ(fields[36] + " " + fields[5], std::to_string(best) + " 2");

    // Restarted, the title shows the same lists; the window's close box ends it.
    Start({"ALSOFT_DRIVERS=null"}, "second-run.log");
    const Picture restored = Settled("title-after-restart", kWholeWindow, [&](const Picture& p) {
        return !IsLoading(p) && !TitleClearShows(p) && p.Difference(title, kItemStrip) < 2;
    });
    EXPECT_LT(restored.Difference(scores, kScoreLists), 0.1) << "the score lists were not restored";
    SendCloseRequest(screen.display(), window);
    EXPECT_EQ(Wait(30), 0);

    // What was heard until full screen: the jingle while loading, the menu's
    // blips, the start, the level music, the pause panel's blips, and the two
    // items, with no music any more. Cutting a hedge makes no sound of its
    // own in this game.
    const std::vector<float> heard = capture::ReadWav(kArtefacts + "/capture-until-full-screen.wav", 2);
    ASSERT_FALSE(heard.empty()) << "no capture";
    const long end = static_cast<long>(heard.size());
    // Where sfx/0NN.wav is heard between two sample positions.
    const auto find = [&](int n, long from, long to, double threshold) {
        const auto sound = capture::ReadWav(kBuild + "/data/sfx/0" + std::to_string(n) + ".wav", 1);
        return capture::FindSound(heard, sound, from, to, threshold);
    };
    const std::vector<capture::Match> jingles = find(96, 0, end, 0.9);
    ASSERT_EQ(jingles.size(), 1u) << "the logo jingle";
    const std::vector<capture::Match> starts = find(98, jingles[0].at, end, 0.9);
    ASSERT_FALSE(starts.empty()) << "the start of the game";
    // Capture time of a moment of the test, taking the game's start blip
    // as the press of Return that started it.
    const double offset = starts[0].at / double(capture::kRate) - timeline["game start"];
    const auto at = [&](const std::string& what, double later = 0) {
        return static_cast<long>((timeline.at(what) + offset + later) * capture::kRate);
    };
    EXPECT_EQ(find(99, jingles[0].at, starts[0].at, 0.9).size(), 2u) << "menu blips";
    const double music = capture::MedianLevel(heard, at("game start", 1.2), at("pause", -0.1));
    EXPECT_GT(music, 0.01) << "the level music";
    // The pause blip plays at half volume over the level music, which takes
    // its correlation down to about 0.45: it must stand out from what the
    // music alone scores before it.
    const auto blip_score = [&](long from, long to) {
        double score = 0;
        for (const capture::Match& m : find(98, from, to, 0.05)) score = std::max(score, m.score);
        return score;
    };
    const double music_score = blip_score(at("game start", 1.2), at("pause", -0.3));
    const double pause_score = blip_score(at("pause", -0.3), at("pause", 0.8));
    EXPECT_GT(pause_score, std::max(0.3, 1.3 * music_score)) << "pause, against the music alone";
    EXPECT_FALSE(find(98, at("resume", -0.3), at("resume", 0.8), 0.8).empty()) << "resume";
    const auto first_item = find(10, at("walk"), end, 0.8), second_item = find(11, at("walk"), end, 0.8);
    ASSERT_TRUE(first_item.size() == 1 && second_item.size() == 1) << first_item.size() << " " << second_item.size();
    EXPECT_LT(first_item[0].at, second_item[0].at);
    EXPECT_LT(capture::MedianLevel(heard, at("resume", 0.5), end), music / 20) << "music after the sound mode left it out";
}

}  // namespace
