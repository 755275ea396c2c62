// The collector: write barrier, lazy destruction and block reuse, the static
// empty arrays, the sweep threshold, the step budget and stress mode.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "runtime/array.h"
#include "runtime/object.h"
#include "tests/game/values.h"

namespace {

// The program entry empties the lists before anything is allocated; so does
// this binary, for every test, string tests included.
struct EmptyLists : testing::Environment {
    void SetUp() override { gc_init(); }
};
testing::Environment* const empty_lists = testing::AddGlobalTestEnvironment(new EmptyLists);

int destroyed = 0;
struct Node : Object {
    Node* next;
    explicit Node(Node* n = nullptr) : next(n) {}
    ~Node() override { ++destroyed; }
    void mark() override { gc_mark_q(next); }
};
// Vtable, two links, flags and one pointer, in blocks of 8: 40 bytes with
// 64-bit pointers, 24 with 32-bit ones (the browser's machine).
const int kNode = (sizeof(Node) + 7) & ~7;
struct Thing : gc_interface {};
struct ThingNode : Node, Thing {};

std::vector<gc_object*> roots;

class Collector : public testing::Test {
protected:
    void SetUp() override {
        gc_roots = [] {
            for (gc_object* r : roots) gc_mark_q(r);
        };
        Flush();
        ASSERT_EQ(gc_alloced_bytes, 0);
        destroyed = 0;
        gc_stress = false;
    }
    void TearDown() override { Flush(); gc_stress = false; }
    // Without roots, two finishing steps destroy everything, including what
    // the first one found marked.
    static void Flush() {
        roots.clear();
        gc_stress = true;
        gc_collect_step(nullptr);
        gc_collect_step(nullptr);
    }
    // Roots are queued at start-up and after every sweep.
    static void Root(const std::vector<gc_object*>& r) {
        roots = r;
        gc_mark();
    }
    // Garbage of exactly `bytes` (a multiple of 8, header included).
    static void Garbage(int bytes) { Array<bool> block(bytes - static_cast<int>(sizeof(Array<bool>::Rep))); }
    // Allocates past the threshold, so the step ends the cycle.
    static void Sweep() {
        Garbage(GC_SWEEP_THRESHOLD - gc_new_bytes + 8);
        gc_collect_step(nullptr);
    }
};

TEST_F(Collector, StoreIntoAMarkedObjectKeepsTheValueAlive) {
    Node* holder = new Node();
    Root({holder});
    gc_collect_step(nullptr);
    ASSERT_FALSE(gc_is_unmarked(holder));
    Node* child = new Node();
    gc_assign(holder->next, child);
    Sweep();
    EXPECT_TRUE(gc_is_live(child));
}

TEST_F(Collector, DeadObjectsDieInLaterAllocationsAndTheirBlocksAreReused) {
    Node *dead1 = new Node(), *dead2 = new Node();
    Garbage(64);  // the smallest block that goes back to the C heap (dies in the next allocation)
    Sweep();
    EXPECT_EQ(Values(destroyed, gc_free_bytes), Values(0, GC_SWEEP_THRESHOLD + 8));  // everything allocated
    // More than a node's bytes from the C heap pay for both nodes, whose
    // small blocks stay with the collector for the next allocations of their size.
    Garbage(2 * kNode - 8);
    EXPECT_EQ(Values(destroyed, gc_free_bytes), Values(2, GC_SWEEP_THRESHOLD + 8 - 2 * kNode));
    void* heap_block = std::malloc(kNode);
    EXPECT_NE(heap_block, static_cast<void*>(dead2));
    std::free(heap_block);
    EXPECT_EQ(static_cast<void*>(new Node()), static_cast<void*>(dead2));
    EXPECT_EQ(static_cast<void*>(new Node()), static_cast<void*>(dead1));
}

TEST_F(Collector, NoSweepUntilMoreThanEightMebibytesAreAllocated) {
    Node* first = new Node();
    Garbage(GC_SWEEP_THRESHOLD - kNode);
    gc_collect_step(nullptr);
    Node* last = new Node();
    EXPECT_EQ(Values(gc_free_bytes, gc_is_live(first)), Values(0, true));
    gc_collect_step(nullptr);  // now one node past the threshold
    EXPECT_EQ(Values(gc_is_live(last), destroyed), Values(false, 0));
}

TEST_F(Collector, StepBudget) {
    // New bytes, allocated bytes, limit; the fourth product needs 64 bits,
    // the fifth is truncated toward zero.
    for (const auto& c : {std::array{0, 5000, 0}, {1 << 20, 9 << 20, 2 << 20}, {3, 8, 3},
                          {4000000, 1004000000, 4000000 + 476837158}, {3000000, 0, 3000000 - 1072883}}) {
        gc_new_bytes = c[0];
        gc_alloced_bytes = c[1];
        EXPECT_EQ(gc_step_limit(), c[2]) << c[0] << " " << c[1];
    }
    gc_new_bytes = gc_alloced_bytes = 0;

    // A chain that survived the last sweep is marked only as far as one new
    // node pays for.
    Node* head = nullptr;
    for (int i = 0; i < 1000; ++i) head = new Node(head);
    Root({head});
    Sweep();
    ASSERT_EQ(gc_alloced_bytes, 1000 * kNode);
    new Node();
    gc_collect_step(nullptr);
    EXPECT_EQ(gc_marked_bytes, kNode);
}

TEST_F(Collector, StaticEmptyArraysAreNeverQueuedOrFreed) {
    struct Holder : Object {
        Array<Node*> nodes;
        Array<String> strings;
        void mark() override { gc_mark_q(nodes.rep); gc_mark_q(strings.rep); }
    };
    Holder* holder = new Holder();
    Root({holder});
    for (int cycle = 0; cycle < 2; ++cycle) {  // meets both values of the mark bit
        gc_collect_step(nullptr);
        ASSERT_FALSE(gc_is_unmarked(holder));
        gc_assign(holder->nodes, Array<Node*>());
        gc_assign(holder->strings, Array<String>(0));
        Sweep();
        new Node();  // pays for marking the holder in the next step
    }
    gc_stress = true;
    gc_collect_step(nullptr);
    const gc_object &a = Array<Node*>::nullRep, &b = Array<String>::nullRep;
    EXPECT_EQ(Values(a.flags, a.succ == nullptr, b.flags, b.succ == nullptr),
              Values(GC_STATIC_MARK, 1, GC_STATIC_MARK, 1));
}

TEST_F(Collector, ArraysMarkTheirElementsAndReleaseTheirStrings) {
    // Plain stores into unmarked arrays: only the arrays' mark() finds these.
    Array<Node*> nodes(3);
    nodes[0] = new Node(new Node());
    nodes[2] = new Node();
    Array<Thing*> things(1);
    ThingNode* thing = new ThingNode();
    things[0] = thing;
    new Node();  // unreachable
    const String text("text");
    Array<String> strings(2);
    strings[0] = strings[1] = text;
    Root({nodes.rep, things.rep});
    gc_stress = true;
    gc_collect_step(nullptr);
    // One node died, and the string array.
    EXPECT_EQ(Values(destroyed, gc_is_live(nodes[0]->next), gc_is_live(thing), text.rep()->refs), Values(1, 1, 1, 1));
}

TEST_F(Collector, StressStepFinishesTheCycleAndDestroysAtOnce) {
    Node* kept = new Node();
    Node* delegate = new Node(new Node());
    new Node(new Node());  // unreachable
    Root({kept});
    gc_stress = true;
    gc_collect_step(delegate);
    EXPECT_EQ(Values(destroyed, gc_free_bytes, gc_is_live(delegate->next), gc_alloced_bytes),
              Values(2, 0, 1, 3 * kNode));
}

}  // namespace
