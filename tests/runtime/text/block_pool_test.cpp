// The block pool: tags, guards, the live count, growth and bounded writes.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/text/block_pool.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

using namespace literals;

class BlockPoolTest : public testing::RuntimeTest {};

TEST_F(BlockPoolTest, AllocatedBlockIsFilledGuardedAndFreedWithItsTag) {
    const std::int16_t live = PoolSnapshot().liveCount;
    const BlockHandle h = BlockAllocHandle(40, 10, 'x');
    ASSERT_NE(h, kNoHandle);
    const PoolControl pool = PoolSnapshot();
    const char* block = pool.table[h].block;
    EXPECT_EQ(std::memcmp(block, "xxxxxxxxxx", 10), 0);
    EXPECT_EQ(std::memcmp(block + 10, "\0!!\0", 4), 0);
    EXPECT_EQ(pool.liveCount, live + 1);

    EXPECT_EQ(BlockFree(41, block), status::kInternal) << "a wrong tag must not free";
    EXPECT_EQ(BlockSize(block), 10u) << "the block is still there";
    EXPECT_EQ(BlockFree(40, block), status::kOk);
    EXPECT_EQ(BlockSize(block), 0u);
}

TEST_F(BlockPoolTest, DamagedGuardIsReportedAndTheBlockKept) {
    char* block = BlockAlloc(40, 8);
    ASSERT_NE(block, nullptr);
    block[8] = 'Z'; // one byte past the end
    EXPECT_EQ(BlockFree(40, block), status::kMemoryOverflow);
    block[8] = '\0';
    EXPECT_EQ(BlockFree(40, block), status::kOk);
}

TEST_F(BlockPoolTest, FreeingUnknownPointersAndHandlesFails) {
    int local = 0;
    EXPECT_EQ(BlockFree(40, &local), status::kMemoryAlloc);
    EXPECT_EQ(BlockFree(40, nullptr), status::kMemoryAlloc);
    EXPECT_EQ(BlockFreeHandle(40, PoolSnapshot().entryCount), status::kData);
    EXPECT_EQ(BlockFreeHandle(40, 60), status::kData) << "an unused entry has nothing to free";
}

TEST_F(BlockPoolTest, FullTableRefusesAndStillCountsTheCall) {
    std::vector<char*> blocks;
    for (;;) {
        char* b = BlockAlloc(40, 4);
        if (b == nullptr) break;
        blocks.push_back(b);
    }
    EXPECT_EQ(PoolCount(0, PoolSnapshot().entryCount, PoolTally::Free, nullptr), 0)
        << "no free entry left";
    const std::int16_t live = PoolSnapshot().liveCount;
    EXPECT_EQ(BlockAllocHandle(40, 4, 0), kNoHandle);
    EXPECT_EQ(PoolSnapshot().liveCount, live + 1);
    EXPECT_EQ(PoolUsageAbove(90), status::kOutOfMemory);
    for (char* b : blocks) EXPECT_EQ(BlockFree(40, b), status::kOk);
    // The stack's two blocks and the store remain, and both refused calls stay counted.
    EXPECT_EQ(PoolSnapshot().liveCount, 5);
}

TEST_F(BlockPoolTest, ReallocGrowsAndKeepsTheBytes) {
    char* block = BlockAlloc(40, 4);
    std::memcpy(block, "abcd", 4);
    EXPECT_EQ(BlockRealloc(40, block, 5, 4), nullptr) << "blocks are only grown";
    char* grown = BlockRealloc(40, block, 4, 12);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(std::memcmp(grown, "abcd\0\0\0\0\0\0\0\0", 12), 0);
    EXPECT_EQ(BlockSize(grown), 12u);
    EXPECT_EQ(BlockFree(40, grown), status::kOk);
}

TEST_F(BlockPoolTest, RefusedReallocKeepsTheOldBlock) {
    char* block = BlockAlloc(40, 4);
    std::memcpy(block, "abcd", 4);
    PoolFailAllocationsAfter(0);
    EXPECT_EQ(BlockRealloc(40, block, 4, 100), nullptr);
    PoolFailAllocationsAfter(-1);
    EXPECT_EQ(std::memcmp(block, "abcd", 4), 0);
    EXPECT_EQ(BlockFree(40, block), status::kOk);
}

TEST_F(BlockPoolTest, WriteStaysInsideTheBlock) {
    char* block = BlockAlloc(40, 6);
    EXPECT_EQ(BlockWrite(40, block, 2, "abcd"_t), status::kOk);
    EXPECT_EQ(std::memcmp(block, "\0\0abcd", 6), 0);
    EXPECT_EQ(BlockWrite(40, block, 3, "abcd"_t), status::kDataOutBound);
    EXPECT_EQ(std::memcmp(block + 6, "\0!!\0", 4), 0) << "the guard is intact";
    int local = 0;
    EXPECT_EQ(BlockWrite(40, reinterpret_cast<char*>(&local), 0, "a"_t), status::kDataOutBound);
    EXPECT_EQ(BlockFree(40, block), status::kOk);
}

TEST_F(BlockPoolTest, CountsAndShutdownNameTheHighestLiveBlock) {
    std::uint16_t tag = 0;
    // At start the stack's two blocks and the store block are live.
    EXPECT_EQ(PoolCount(0, 64, PoolTally::Used, &tag), 3);
    EXPECT_EQ(tag, 3);
    EXPECT_EQ(PoolCount(0, 64, PoolTally::Free, nullptr), 61);
    EXPECT_EQ(PoolCount(10, 20, PoolTally::Range, nullptr), 10);
    char* extra = BlockAlloc(77, 16);
    EXPECT_EQ(PoolShutdown(false), 77) << "nothing is freed while a block is live";
    EXPECT_EQ(BlockSize(extra), 16u);
    EXPECT_EQ(BlockFree(77, extra), status::kOk);
}

TEST_F(BlockPoolTest, FreeingATagFreesItsBlocksAndNoOther) {
    const std::int16_t live = PoolSnapshot().liveCount;
    char* first = BlockAlloc(tag::kSortArea, 8);
    char* other = BlockAlloc(77, 8);
    char* second = BlockAlloc(tag::kSortArea, 24);
    ASSERT_TRUE(first != nullptr && other != nullptr && second != nullptr);
    EXPECT_EQ(BlockFreeTag(tag::kSortArea), 2);
    EXPECT_EQ(BlockSize(first), 0u);
    EXPECT_EQ(BlockSize(second), 0u);
    EXPECT_EQ(BlockSize(other), 8u);
    EXPECT_EQ(PoolSnapshot().liveCount, live + 1) << "each block freed lowers the live count";
    EXPECT_EQ(BlockFreeTag(tag::kSortArea), 0);
    EXPECT_EQ(BlockFree(77, other), status::kOk);
}

TEST(BlockPoolLifecycle, ShutdownWithForceFreesEverythingAndInitStartsAgain) {
    PoolConfigure(4, kKeepValue, 8);
    ASSERT_EQ(PoolInit(), status::kOk);
    EXPECT_EQ(PoolSnapshot().entryCount, 8);
    EXPECT_NE(BlockAlloc(90, 32), nullptr);
    EXPECT_EQ(PoolShutdown(true), 90);
    EXPECT_FALSE(PoolReady());
    PoolConfigure(256, kKeepValue, kDefaultHandleCapacity);
    ASSERT_EQ(PoolInit(), status::kOk);
    EXPECT_EQ(PoolSnapshot().scratch.capacity, 256);
    EXPECT_EQ(PoolShutdown(true), 2) << "the stack's own blocks";
}

TEST(BlockPoolLifecycle, InitReportsARefusedTable) {
    PoolFailAllocationsAfter(0);
    EXPECT_EQ(PoolInit(), status::kOutOfMemory);
    PoolFailAllocationsAfter(-1);
    EXPECT_FALSE(PoolReady());
}

} // namespace
} // namespace vodarir
