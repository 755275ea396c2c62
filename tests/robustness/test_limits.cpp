// Sizes beyond what the runtime can hold, as a hostile file could ask for.
#include <gtest/gtest.h>

#include <csignal>

#include "runtime/array.h"

namespace {

TEST(Limits, AnArrayTooBigForACollectorBlockFailsLikeAnAllocation) {
    gc_init();
    // 2^29 strings need 4 GB and 16 bytes: more than a block size holds,
    // and 16 bytes once wrapped to 32 bits. The program ends as when memory
    // runs out (an abort), without overrunning a small block.
    EXPECT_EXIT(Array<String>(1 << 29), ::testing::KilledBySignal(SIGABRT), "");
    EXPECT_EQ(Array<String>(1000).Length(), 1000);
}

}  // namespace
