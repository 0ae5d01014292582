// The invariant checks of the slot store and the scratch stack, and their wiring into the tests:
// a part damaged on purpose is named with the invariant it breaks, and a broken invariant fails
// the test that leaves it.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>

#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/pool_internal.h"
#include "runtime/text/scratch_stack.h"
#include "support/invariant_checks.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

using namespace literals;

bool Names(const InvariantStatus& s, const std::string& what) {
    return !s.holds && std::string(s.broken).find(what) != std::string::npos;
}

// The counts of the store's groups, at the start of its block.
std::uint16_t* StoreCounts() {
    const PoolControl pool = PoolSnapshot();
    for (std::uint16_t i = 0; i < pool.entryCount; ++i) {
        if (pool.table[i].block != nullptr && pool.table[i].tag == tag::kSlotStore) {
            return reinterpret_cast<std::uint16_t*>(pool.table[i].block);
        }
    }
    return nullptr;
}

class InvariantsTest : public testing::RuntimeTest {};

TEST_F(InvariantsTest, EveryPartHoldsOnAFreshRuntimeAndInUse) {
    EXPECT_EQ(testing::BrokenInvariants(), "");
    ScratchPush("abc"_t);
    SlotSet(4, 2, "xyz"_t);
    EXPECT_EQ(testing::BrokenInvariants(), "");
    ScratchRelease(0);
}

TEST_F(InvariantsTest, TheSlotStoreCheckFindsCountsThatDoNotAddUp) {
    ASSERT_EQ(SlotSet(4, 0, "abc"_t), status::kOk);
    std::uint16_t* counts = StoreCounts();
    ASSERT_NE(counts, nullptr);
    ++counts[4];
    EXPECT_TRUE(Names(SlotStoreCheckInvariants(), "invariant 3"))
        << SlotStoreCheckInvariants().broken;
    --counts[4];
    EXPECT_TRUE(SlotStoreCheckInvariants().holds) << SlotStoreCheckInvariants().broken;
}

TEST_F(InvariantsTest, TheScratchStackCheckFindsAMisplacedTop) {
    ScratchPush("abcdef"_t);
    ScratchDescriptor& s = detail::Pool().scratch;
    s.nextFree += 4;
    EXPECT_TRUE(Names(ScratchCheckInvariants(), "invariant 2")) << ScratchCheckInvariants().broken;
    s.nextFree -= 4;
    const std::uint16_t depth = s.depth;
    s.depth = s.capacity;
    EXPECT_TRUE(Names(ScratchCheckInvariants(), "invariant 3")) << ScratchCheckInvariants().broken;
    s.depth = depth;
    EXPECT_TRUE(ScratchCheckInvariants().holds) << ScratchCheckInvariants().broken;
    ScratchRelease(0);
}

// The runtime's shutdown checks every part while it is still there: a store left damaged fails
// the test that shuts it down.
TEST_F(InvariantsTest, AShutdownWithABrokenInvariantFailsTheTest) {
    ASSERT_EQ(SlotSet(4, 0, "abc"_t), status::kOk);
    std::uint16_t* counts = StoreCounts();
    ASSERT_NE(counts, nullptr);
    ++counts[4];
    EXPECT_NONFATAL_FAILURE(SlotStoreShutdown(), "slot store: invariant 3");
}

} // namespace
} // namespace vodarir
