// A test fixture that puts a host on the fake window system.
#pragma once
#include <gtest/gtest.h>

#include <utility>

#include "host/host_game.h"
#include "tests/support/fake_glfw.h"

// A host on the fake window system for the length of one test.
class FakeHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        gc_init();
        previous_ = GlfwLayer::current;
        GlfwLayer::current = &fake;
        host = new OrvGlfwGame();
    }
    void TearDown() override {
        GlfwLayer::current = previous_;
        delete host;
    }

    FakeGlfw fake;
    OrvGlfwGame* host = nullptr;

private:
    GlfwLayer* previous_ = nullptr;
};

// Every collector step a whole cycle while it lives, so that anything
// unreachable is destroyed at once (and steps can be counted by the mark bit).
struct GcStress {
    const bool old = std::exchange(gc_stress, true);
    ~GcStress() { gc_stress = old; }
};
