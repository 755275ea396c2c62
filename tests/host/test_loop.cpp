// The host's main loop and guarded calls, driven by a fake clock.
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "host/host_game.h"
#include "tests/host/fake_host_test.h"

namespace {

struct Event {
    std::string what;
    double time;
    double next_update;
};

// Records every call the host makes, with the fake time and schedule.
class Recorder : public OrvGameDelegate {
public:
    std::vector<Event> log;
    std::function<void(int update_number)> on_update;
    std::function<void(int render_number)> on_render;
    int updates = 0, renders = 0;

    void StartGame() override {
        Log("start");
        OrvGame::_game->SetUpdateRate(60);
    }
    void SuspendGame() override { Log("suspend"); }
    void ResumeGame() override { Log("resume"); }
    void UpdateGame() override {
        ++updates;
        Log("update");
        if (on_update) on_update(updates);
    }
    void RenderGame() override {
        ++renders;
        Log("render");
        if (on_render) on_render(renders);
    }
    void KeyEvent(int event, int data) override { Log("key " + std::to_string(event) + " " + std::to_string(data)); }

    void Log(const std::string& what) {
        auto* host = static_cast<OrvGlfwGame*>(OrvGame::_game);
        log.push_back({what, glfw().GetTime(), host->NextUpdate()});
    }
    // The names of the events after the one at `index` (all with -1).
    std::vector<std::string> NamesAfter(std::size_t index = std::size_t(-1)) const {
        std::vector<std::string> names;
        for (std::size_t i = index + 1; i < log.size(); ++i) names.push_back(log[i].what);
        return names;
    }
};

class HostLoop : public FakeHostTest {
protected:
    void SetUp() override {
        FakeHostTest::SetUp();
        recorder = new Recorder();
        host->SetDelegate(recorder);
    }
    std::size_t IndexOf(const std::string& what, int occurrence = 1) const {
        for (std::size_t i = 0; i < recorder->log.size(); ++i) {
            if (recorder->log[i].what == what && --occurrence == 0) return i;
        }
        return recorder->log.size();
    }

    Recorder* recorder = nullptr;
};

const double kPeriod = 1.0 / 60;

TEST_F(HostLoop, StartsWithOneRenderThenUpdatesSixtyTimesASecond) {
    fake.max_polls = 200;
    host->Run();
    const std::vector<Event>& log = recorder->log;
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0].what, "start");
    EXPECT_EQ(log[1].what, "render");
    // Each update comes one period after the one before, followed by a render.
    for (std::size_t i = 2; i + 1 < log.size(); i += 2) {
        EXPECT_EQ(log[i].what, "update");
        EXPECT_EQ(log[i + 1].what, "render");
        if (i > 2) {
            EXPECT_NEAR(log[i].time - log[i - 2].time, kPeriod, 1e-9);
        }
    }
    EXPECT_GT(recorder->updates, 50);
}

TEST_F(HostLoop, StallGivesFourUpdatesOneRenderAndDropsTheBacklog) {
    double stall_end = 0;
    recorder->on_render = [&](int n) {
        if (n == 10) {
            fake.now += 1.0;  // this frame took a whole second
            stall_end = fake.now;
        }
    };
    fake.max_polls = 40;
    host->Run();
    const std::size_t stalled = IndexOf("render", 10);
    const std::vector<std::string> after = recorder->NamesAfter(stalled);
    ASSERT_GE(after.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(after.begin(), after.begin() + 5),
              (std::vector<std::string>{"update", "update", "update", "update", "render"}));
    // The backlog is dropped: the schedule restarts at the end of the stall, so
    // the next update runs at once and the one after it a period later.
    EXPECT_LT(recorder->log[stalled + 5].next_update, stall_end);  // four updates did not catch up
    const Event& next = recorder->log[stalled + 6];
    EXPECT_EQ(next.what, "update");
    EXPECT_DOUBLE_EQ(next.time, stall_end);
    EXPECT_DOUBLE_EQ(next.next_update, stall_end + kPeriod);
    EXPECT_EQ(recorder->log[stalled + 8].what, "update");
    EXPECT_DOUBLE_EQ(recorder->log[stalled + 8].time, stall_end + kPeriod);
}

TEST_F(HostLoop, RateZeroInsideAnUpdateEndsCatchUpWithOneRender) {
    recorder->on_render = [&](int n) {
        if (n == 5) fake.now += 1.0;  // fall behind so that a catch-up runs
    };
    int stop_at = 0;
    recorder->on_update = [&](int n) {
        if (n > 5 && !stop_at) {
            stop_at = n;
            host->SetUpdateRate(0);
        }
    };
    fake.max_polls = 20;
    host->Run();
    const std::size_t stop = IndexOf("update", stop_at);
    const std::vector<std::string> after = recorder->NamesAfter(stop);
    ASSERT_GE(after.size(), 4u);
    EXPECT_EQ(recorder->updates, stop_at);  // no update after the rate became 0
    // One render ends the catch-up; afterwards the loop renders once per wake-up.
    EXPECT_EQ(after[0], "render");
    int renders_after = 0;
    for (const std::string& name : after) renders_after += name == "render";
    int waits = 0;
    for (const std::string& call : fake.calls) waits += call == "wait";
    EXPECT_EQ(renders_after, waits + 1);
}

TEST_F(HostLoop, MinimisedWindowSuspendsStopsRenderingAndResumesWithoutBurst) {
    fake.on_poll = [](FakeGlfw& f) {
        if (f.polls == 20) {
            f.iconified = true;
            f.active = false;
        }
        if (f.polls == 25) {
            f.iconified = false;
            f.active = true;
        }
    };
    fake.wait_advance = 3.0;  // long time away
    fake.max_polls = 40;
    host->Run();
    const std::size_t suspend = IndexOf("suspend");
    const std::size_t resume = IndexOf("resume");
    ASSERT_LT(suspend, resume);
    ASSERT_LT(resume, recorder->log.size());
    EXPECT_EQ(resume, suspend + 1);  // nothing drawn while minimised
    EXPECT_EQ(IndexOf("suspend", 2), recorder->log.size());
    EXPECT_EQ(recorder->log[resume + 1].what, "update");
    EXPECT_EQ(recorder->log[resume + 2].what, "render");  // one update, not a burst
    EXPECT_EQ(recorder->log[resume + 3].what, "update");
    EXPECT_NEAR(recorder->log[resume + 3].time - recorder->log[resume + 1].time, kPeriod, 1e-9);
}

// Minimise, restore, then lose focus only: the game is suspended again but,
// not being minimised (the flag cleared on resuming), keeps rendering on
// each wake-up.
TEST_F(HostLoop, FocusLossAfterARestoreKeepsRendering) {
    fake.on_poll = [](FakeGlfw& f) {
        if (f.polls == 10) {
            f.iconified = true;
            f.active = false;
        }
        if (f.polls == 12) {
            f.iconified = false;
            f.active = true;
        }
        if (f.polls == 20) f.active = false;
    };
    fake.max_polls = 26;
    host->Run();
    const std::size_t second = IndexOf("suspend", 2);
    ASSERT_LT(second, recorder->log.size());
    EXPECT_FALSE(host->Iconified());
    const std::vector<std::string> after = recorder->NamesAfter(second);
    EXPECT_EQ(after, std::vector<std::string>(after.size(), "render"));
    EXPECT_GE(after.size(), 5u);  // one per wake-up
}

TEST_F(HostLoop, GuardedCallsCheckPreconditionsAndStepTheCollectorEachTime) {
    const bool stress = gc_stress;
    gc_stress = true;  // every step flips the mark bit, so steps can be counted
    int bit = gc_markbit;
    auto stepped = [&] {
        const bool flipped = gc_markbit != bit;
        bit = gc_markbit;
        return flipped;
    };

    host->UpdateGame();
    host->RenderGame();
    host->KeyEvent(1, 65);
    host->ResumeGame();
    EXPECT_TRUE(recorder->log.empty());  // nothing before the start
    EXPECT_FALSE(stepped());

    host->StartGame();
    EXPECT_TRUE(stepped());
    host->StartGame();
    EXPECT_FALSE(stepped());
    host->ResumeGame();  // not suspended
    EXPECT_FALSE(stepped());
    host->SuspendGame();
    EXPECT_TRUE(stepped());
    host->SuspendGame();
    host->UpdateGame();  // no update while suspended
    EXPECT_FALSE(stepped());
    host->RenderGame();
    EXPECT_TRUE(stepped());
    host->KeyEvent(1, 65);
    EXPECT_TRUE(stepped());
    host->ResumeGame();
    EXPECT_TRUE(stepped());
    host->UpdateGame();
    EXPECT_TRUE(stepped());

    EXPECT_EQ(recorder->NamesAfter(), (std::vector<std::string>{"start", "suspend", "render", "key 1 65", "resume", "update"}));
    EXPECT_TRUE(gc_is_live(recorder));  // the host's root kept it through those full cycles
    gc_stress = stress;
}

// An object held only in a local of running game code.
class Held : public Object {
public:
    int value = 0;
};

// The game reopens its window from inside an update (F11) while a key is
// held: the key-up goes out through a nested guarded call, which must not
// collect the update's locals; the update's own step still follows.
TEST_F(HostLoop, NestedCallFromAnUpdateLeavesTheCollectorAlone) {
    const bool stress = gc_stress;
    gc_stress = true;  // every step a whole cycle: anything unreachable is destroyed
    host->StartGame();
    bool alive = false;
    int value = 0;
    int markbit_in_update = -1;
    recorder->on_update = [&](int) {
        Held* local = new Held();
        local->value = 4711;
        fake.pressed_keys = {65};
        host->SetGlfwWindow(1280, 1024, 8, 8, 8, 0, 0, 0, true);
        markbit_in_update = gc_markbit;
        Held* next = new Held();  // would reuse the block of a destroyed local
        next->value = 1;
        alive = gc_is_live(local);
        if (alive) value = local->value;
    };
    recorder->log.clear();
    const int before = gc_markbit;
    host->UpdateGame();
    gc_stress = stress;

    EXPECT_TRUE(alive);
    EXPECT_EQ(value, 4711);
    EXPECT_EQ(markbit_in_update, before);  // no step while the update ran
    EXPECT_NE(gc_markbit, before);         // one step after it
    EXPECT_EQ(recorder->NamesAfter(), (std::vector<std::string>{"update", "key 2 65"}));
}

TEST_F(HostLoop, GetDateFillsAsManyFieldsAsTheArrayHolds) {
    const auto today = [] {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return std::vector<int>{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    };
    // Read around the call, so that midnight in between cannot fail the test.
    const std::vector<int> before = today();
    Array<int> three(3);
    host->GetDate(three);
    const std::vector<int> after = today();
    const std::vector<int> got{three[0], three[1], three[2]};
    EXPECT_TRUE(got == before || got == after) << three[0] << "-" << three[1] << "-" << three[2];

    Array<int> eight(8);
    for (int& v : eight) v = -5;
    host->GetDate(eight);
    EXPECT_GE(eight[3], 0);
    EXPECT_LE(eight[3], 23);
    EXPECT_LE(eight[5], 60);
    EXPECT_EQ(eight[6], 0);   // milliseconds are not available
    EXPECT_EQ(eight[7], -5);  // beyond the seven fields: untouched

    host->GetDate(Array<int>());  // the shared empty array is left alone
    EXPECT_EQ(Array<int>::nullRep.length, 0);
}

TEST_F(HostLoop, WindowOpensCentredAndReleasesHeldKeysFirst) {
    host->StartGame();
    recorder->log.clear();
    fake.pressed_keys = {65, glfw27::KEY_LSHIFT, glfw27::KEY_RALT};
    const int seq = glfwGraphicsSeq;
    host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);

    EXPECT_EQ(recorder->NamesAfter(), (std::vector<std::string>{"key 2 65", "key 2 16"}));  // right Alt has no code
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"close", "open 640x480 window resizable", "pos 320,272",
                                                    "title Vellumby"}));
    EXPECT_EQ(glfwGraphicsSeq, seq + 1);
    EXPECT_TRUE(fake.key_repeat);

    fake.calls.clear();
    fake.pressed_keys.clear();
    host->SetGlfwWindow(1280, 1024, 8, 8, 8, 0, 0, 0, true);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"close", "open 1280x1024 fullscreen resizable"}));
    EXPECT_EQ(glfwGraphicsSeq, seq + 2);
}

TEST_F(HostLoop, CloseRequestIsRefusedAndBecomesKey432DownAndUp) {
    host->StartGame();
    host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    recorder->log.clear();
    ASSERT_NE(fake.callbacks().window_close, nullptr);
    EXPECT_EQ(fake.callbacks().window_close(), 0);
    EXPECT_EQ(recorder->NamesAfter(), (std::vector<std::string>{"key 1 432", "key 2 432"}));
    EXPECT_TRUE(fake.GetWindowParam(glfw27::WindowParam::Opened));
}

TEST_F(HostLoop, MillisecsFollowsTheClockAndWrapsInsteadOfOverflowing) {
    fake.now = 12.3456;
    EXPECT_EQ(host->Millisecs(), 12345);
    fake.now = 2147483.648;  // 2^31 ms
    EXPECT_EQ(host->Millisecs(), -2147483647 - 1);
}

TEST_F(HostLoop, VideoModesComeFromTheDesktop) {
    fake.desktop = {1920, 1080, 8, 6, 5};  // red, blue, green bits
    Array<OrvGlfwVideoMode*> modes = host->GetGlfwVideoModes();
    ASSERT_EQ(modes.Length(), 1);
    for (OrvGlfwVideoMode* m : {host->GetGlfwDesktopMode(), modes[0]}) {
        EXPECT_EQ(std::vector<int>({m->width, m->height, m->red, m->green, m->blue}),
                  std::vector<int>({1920, 1080, 8, 5, 6}));
    }
}

}  // namespace
