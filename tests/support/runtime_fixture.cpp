// Start and stop of the runtime's memory for tests.
#include "support/runtime_fixture.h"

#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir::testing {

void RuntimeTest::SetUp() {
    PoolFailAllocationsAfter(-1);
    ClearRecordedError();
    PoolConfigure(256, kKeepValue, kKeepValue);
    SlotStoreConfigureDefaults();
    ASSERT_EQ(SlotStoreInit(), status::kOk);
    ASSERT_EQ(ScratchDepth(), 0);
}

void RuntimeTest::TearDown() {
    PoolFailAllocationsAfter(-1);
    EXPECT_EQ(SlotStoreShutdown(), status::kOk) << "a block was left live";
    EXPECT_FALSE(PoolReady());
}

} // namespace vodarir::testing
