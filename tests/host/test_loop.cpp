// The host's main loop and guarded calls, driven by a fake clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/game/values.h"
#include "tests/host/fake_host_test.h"

namespace {

using Names = std::vector<std::string>;

struct Event {
    std::string what;
    double time, next_update;
};

// Records every call the host makes, with the fake time and schedule.
class Recorder : public OrvGameDelegate {
public:
    std::vector<Event> log;
    std::function<void()> on_update;
    std::function<void(int)> on_render;  // given the render's number
    int renders = 0;

    void StartGame() override {
        Log("start");
        OrvGame::_game->SetUpdateRate(60);
    }
    void SuspendGame() override { Log("suspend"); }
    void ResumeGame() override { Log("resume"); }
    void UpdateGame() override {
        Log("update");
        if (on_update) on_update();
    }
    void RenderGame() override {
        Log("render");
        if (on_render) on_render(++renders);
    }
    void KeyEvent(int event, int data) override { Log("key " + std::to_string(event) + " " + std::to_string(data)); }

    void Log(const std::string& what) {
        log.push_back({what, glfw().GetTime(), static_cast<OrvGlfwGame*>(OrvGame::_game)->NextUpdate()});
    }
    // The names of the events after the one at `index` (all with -1).
    Names NamesAfter(std::size_t index = std::size_t(-1)) const {
        Names names;
        for (std::size_t i = index + 1; i < log.size(); ++i) names.push_back(log[i].what);
        return names;
    }
    // Where the n-th event of that name is; the log's size when there is none.
    std::size_t IndexOf(const std::string& what, int n = 1) const {
        return std::find_if(log.begin(), log.end(), [&](const auto& e) { return e.what == what && --n == 0; }) - log.begin();
    }
};

class HostLoop : public FakeHostTest {
protected:
    void SetUp() override {
        FakeHostTest::SetUp();
        host->SetDelegate(recorder = new Recorder());
    }
    Recorder* recorder = nullptr;
};

const double kPeriod = 1.0 / 60;

// One render after the start, then an update one period after the one
// before, each followed by a render; a stall of a second gives four updates
// and one render, and the schedule restarts at the end of the stall.
TEST_F(HostLoop, UpdatesSixtyTimesASecondAndAStallDropsTheBacklog) {
    double stall_end = 0;
    recorder->on_render = [&](int n) {
        if (n == 30) stall_end = fake.now += 1.0;  // this frame took a whole second
    };
    fake.max_polls = 80;
    host->Run();
    const std::vector<Event>& log = recorder->log;
    const std::size_t stalled = recorder->IndexOf("render", 30);
    ASSERT_GE(log.size(), stalled + 9);
    EXPECT_EQ(log[0].what + " " + log[1].what, "start render");
    for (std::size_t i = 2; i < stalled; i += 2) EXPECT_EQ(log[i].what + " " + log[i + 1].what, "update render") << i;
    for (std::size_t i = 4; i < stalled; i += 2) EXPECT_NEAR(log[i].time - log[i - 2].time, kPeriod, 1e-9) << i;
    const Names after = recorder->NamesAfter(stalled);
    EXPECT_EQ(Names(after.begin(), after.begin() + 5), (Names{"update", "update", "update", "update", "render"}));
    // The backlog is dropped: the next update runs at once and the one after
    // it a period later.
    EXPECT_LT(log[stalled + 5].next_update, stall_end);  // four updates did not catch up
    EXPECT_EQ(log[stalled + 6].what + " " + log[stalled + 8].what, "update update");
    EXPECT_DOUBLE_EQ(log[stalled + 6].time, stall_end);
    EXPECT_DOUBLE_EQ(log[stalled + 6].next_update, stall_end + kPeriod);
    EXPECT_DOUBLE_EQ(log[stalled + 8].time, stall_end + kPeriod);
}

// Minimised, then restored, then only unfocused: nothing is drawn while
// minimised, the game resumes without a burst of catch-up updates, and the
// second suspension (not minimised: the flag was cleared on resuming) still
// renders on each wake-up.
TEST_F(HostLoop, MinimisingSuspendsWithoutRenderingAndFocusLossKeepsRendering) {
    fake.on_poll = [](FakeGlfw& f) {
        if (f.polls == 20 || f.polls == 25) {
            f.iconified = f.polls == 20;  // minimised, then restored
            f.active = !f.iconified;
        }
        if (f.polls == 40) f.active = false;  // then only unfocused
    };
    fake.wait_advance = 3.0;  // long time away
    fake.max_polls = 46;
    host->Run();
    const auto& log = recorder->log;
    const std::size_t resume = recorder->IndexOf("resume"), second = recorder->IndexOf("suspend", 2);
    ASSERT_LT(second, log.size());
    EXPECT_EQ(resume, recorder->IndexOf("suspend") + 1);  // nothing drawn while minimised
    EXPECT_EQ(log[resume + 1].what + " " + log[resume + 2].what + " " + log[resume + 3].what,
              "update render update");  // one update, not a burst
    EXPECT_NEAR(log[resume + 3].time - log[resume + 1].time, kPeriod, 1e-9);
    EXPECT_GT(second, resume + 6);  // resumed for good

    EXPECT_FALSE(host->Iconified());
    const Names after = recorder->NamesAfter(second);
    EXPECT_EQ(after, Names(after.size(), "render"));
    EXPECT_GE(after.size(), 5u);  // one per wake-up
}

TEST_F(HostLoop, GuardedCallsCheckPreconditionsAndStepTheCollectorEachTime) {
    const GcStress stress;  // every step flips the mark bit, so steps can be counted
    // Calls by letter; each gives 1 when the collector stepped after it.
    const std::map<char, std::function<void()>> calls = {
        {'S', [&] { host->StartGame(); }},  {'U', [&] { host->SuspendGame(); }}, {'R', [&] { host->ResumeGame(); }},
        {'D', [&] { host->UpdateGame(); }}, {'N', [&] { host->RenderGame(); }},  {'K', [&] { host->KeyEvent(1, 65); }},
    };
    const auto run = [&](const std::string& script) {
        std::string stepped;
        for (char c : script) {
            const int bit = gc_markbit;
            calls.at(c)();
            stepped += gc_markbit != bit ? '1' : '0';
        }
        return stepped;
    };
    EXPECT_EQ(run("DNKRU"), "00000");  // nothing before the start
    EXPECT_EQ(run("SSRUUDNKRD"), "1001001111");
    EXPECT_EQ(recorder->NamesAfter(), (Names{"start", "suspend", "render", "key 1 65", "resume", "update"}));
    EXPECT_TRUE(gc_is_live(recorder));  // the host's root kept it through those full cycles
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
    const GcStress stress;
    host->StartGame();
    int value = 0, markbit_in_update = -1;
    recorder->on_update = [&] {
        Held* local = new Held();
        local->value = 4711;
        fake.pressed_keys = {65};
        host->SetGlfwWindow(1280, 1024, 8, 8, 8, 0, 0, 0, true);
        markbit_in_update = gc_markbit;
        (new Held())->value = 1;  // would reuse the block of a destroyed local
        if (gc_is_live(local)) value = local->value;
    };
    recorder->log.clear();
    const int before = gc_markbit;
    host->UpdateGame();

    // The local lived; no step while the update ran, one after it.
    EXPECT_EQ(Values(value, markbit_in_update, gc_markbit != before), Values(4711, before, true));
    EXPECT_EQ(recorder->NamesAfter(), (Names{"update", "key 2 65"}));
}

// The window is centred, held keys are let go first, and the close box is
// refused and becomes the close key pressed and released.
TEST_F(HostLoop, WindowOpensCentredReleasesHeldKeysAndRefusesTheClose) {
    host->StartGame();
    recorder->log.clear();
    fake.pressed_keys = {65, glfw27::KEY_LSHIFT, glfw27::KEY_RALT};
    const int seq = glfwGraphicsSeq;
    host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    EXPECT_EQ(recorder->NamesAfter(), (Names{"key 2 65", "key 2 16"}));  // right Alt has no code
    EXPECT_EQ(fake.calls, (Names{"close", "open 640x480 window resizable", "pos 320,272", "title Vellumby"}));
    EXPECT_EQ(Values(glfwGraphicsSeq, fake.key_repeat), Values(seq + 1, true));

    recorder->log.clear();
    ASSERT_NE(fake.callbacks().window_close, nullptr);
    EXPECT_EQ(Values(fake.callbacks().window_close(), fake.GetWindowParam(glfw27::WindowParam::Opened)), Values(0, 1));
    EXPECT_EQ(recorder->NamesAfter(), (Names{"key 1 432", "key 2 432"}));

    fake.calls.clear();
    fake.pressed_keys.clear();
    host->SetGlfwWindow(1280, 1024, 8, 8, 8, 0, 0, 0, true);
    EXPECT_EQ(fake.calls, (Names{"close", "open 1280x1024 fullscreen resizable"}));
    EXPECT_EQ(glfwGraphicsSeq, seq + 2);
}

TEST_F(HostLoop, MillisecsComeFromTheWindowSystemsClock) {
    fake.now = 12.3456;
    EXPECT_EQ(host->Millisecs(), 12345);
    fake.now = 2147483.648;  // 2^31 ms: wraps instead of overflowing
    EXPECT_EQ(host->Millisecs(), -2147483647 - 1);
}

}  // namespace
