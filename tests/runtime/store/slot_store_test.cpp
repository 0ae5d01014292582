// The SlotStore: packing, growth of groups, strict capacity, stacks and queues, shutdown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::Str;

class SlotStoreTest : public testing::RuntimeTest {
protected:
    // Every slot of groups 0..n as text, to prove that a change touched nothing else.
    std::vector<std::string> Snapshot(SlotGroup upTo) {
        std::vector<std::string> all;
        for (SlotGroup g = 0; g <= upTo; ++g) {
            all.push_back("#" + std::to_string(SlotCount(g)));
            for (SlotIndex i = 0; i < SlotCount(g); ++i) all.push_back(Str(SlotGet(g, i)));
        }
        return all;
    }
};

TEST_F(SlotStoreTest, MissingSlotsReadEmptyNeverFailed) {
    EXPECT_EQ(SlotCount(4), 0);
    for (TextRef t :
         {SlotGet(4, 0), SlotGet(4, 100), SlotGet(38, 0), SlotGet(39, 0), SlotGet(500, 1)}) {
        EXPECT_FALSE(t.failed());
        EXPECT_EQ(t.length, 0);
    }
}

TEST_F(SlotStoreTest, SettingBeyondTheCountGrowsTheGroupWithEmptySlots) {
    ASSERT_EQ(SlotSet(11, 0, "eleven"_t), status::kOk);
    ASSERT_EQ(SlotSet(12, 1, "twelve"_t), status::kOk);
    ASSERT_EQ(SlotSet(9, 2, "nine"_t), status::kOk);
    ASSERT_EQ(SlotSet(10, 5, "ten"_t), status::kOk);
    EXPECT_EQ(SlotCount(10), 6);
    for (SlotIndex i = 0; i < 5; ++i) EXPECT_EQ(Str(SlotGet(10, i)), "") << i;
    EXPECT_EQ(Str(SlotGet(10, 5)), "ten");
    EXPECT_EQ(Str(SlotGet(9, 2)), "nine");
    EXPECT_EQ(Str(SlotGet(11, 0)), "eleven");
    EXPECT_EQ(Str(SlotGet(12, 1)), "twelve");
    EXPECT_EQ(SlotCount(12), 2);
    EXPECT_EQ(SlotsInUse(), 3 + 6 + 1 + 2);
}

TEST_F(SlotStoreTest, ResizingOneSlotLeavesEveryOtherSlotUnchanged) {
    for (SlotGroup g = 0; g < 6; ++g) {
        for (SlotIndex i = 0; i < 4; ++i) {
            SlotSet(g, i, TextView("g" + std::to_string(g) + "i" + std::to_string(i)));
        }
    }
    std::vector<std::string> before = Snapshot(6);
    ASSERT_EQ(SlotSet(2, 1, "a much longer text than before"_t), status::kOk);
    std::vector<std::string> after = Snapshot(6);
    EXPECT_EQ(Str(SlotGet(2, 1)), "a much longer text than before");
    after[2 * 5 + 2] = before[2 * 5 + 2]; // the slot that changed: group 2, index 1
    EXPECT_EQ(after, before);
    ASSERT_EQ(SlotSet(2, 1, ""_t), status::kOk);
    after = Snapshot(6);
    after[2 * 5 + 2] = before[2 * 5 + 2];
    EXPECT_EQ(after, before);
}

TEST_F(SlotStoreTest, ViewIntoTheStoreItselfIsStoredRight) {
    SlotSet(3, 0, "alpha"_t);
    SlotSet(3, 1, "beta"_t);
    SlotSet(4, 0, "gamma"_t);
    // A slot before the target, the same slot, a part of the same slot, a slot behind it.
    ASSERT_EQ(SlotSet(3, 1, SlotGet(3, 0)), status::kOk);
    EXPECT_EQ(Str(SlotGet(3, 1)), "alpha");
    ASSERT_EQ(SlotSet(3, 1, SlotGet(3, 1)), status::kOk);
    EXPECT_EQ(Str(SlotGet(3, 1)), "alpha");
    const TextRef part(SlotGet(3, 1).data + 1, 3);
    ASSERT_EQ(SlotSet(3, 1, part), status::kOk);
    EXPECT_EQ(Str(SlotGet(3, 1)), "lph");
    ASSERT_EQ(SlotSet(3, 0, SlotGet(4, 0)), status::kOk);
    EXPECT_EQ(Str(SlotGet(3, 0)), "gamma");
    EXPECT_EQ(Str(SlotGet(4, 0)), "gamma");
}

TEST_F(SlotStoreTest, AFullPoolRefusesAndChangesNothing) {
    const std::uint32_t capacity = SlotFreeBytes();
    EXPECT_EQ(capacity, 65535u - (39u + 2048u) * 2);
    std::string big(60000, 'x');
    ASSERT_EQ(SlotSet(20, 0, TextView(big)), status::kOk);
    SlotSet(21, 0, "keep"_t);
    const std::uint32_t free = SlotFreeBytes();
    std::string exact(free, 'y');
    const std::vector<std::string> before = Snapshot(25);
    EXPECT_EQ(SlotSet(22, 0, TextView(exact)), status::kStrOutBound) << "no byte would be left";
    EXPECT_EQ(Snapshot(25), before);
    EXPECT_EQ(RecordedError().status, status::kLoadString);
    EXPECT_EQ(RecordedError().step, step::kStringAssign);
    exact.pop_back();
    EXPECT_EQ(SlotSet(22, 0, TextView(exact)), status::kOk);
    EXPECT_EQ(SlotFreeBytes(), 1u);
}

TEST_F(SlotStoreTest, AFullSlotTableRefusesAndChangesNothing) {
    ASSERT_EQ(SlotSet(1, 2046, "last"_t), status::kOk) << "2047 slots in use";
    EXPECT_EQ(SlotSet(2, 0, "x"_t), status::kStrOutBound) << "the 2048th would fill the table";
    EXPECT_EQ(SlotCount(2), 0);
    EXPECT_EQ(SlotSet(1, 2046, "replaced"_t), status::kOk) << "replacing needs no new slot";
    EXPECT_EQ(Str(SlotGet(1, 2046)), "replaced");
}

TEST_F(SlotStoreTest, GroupsBeyondTheConfigurationAreRefusedAndRecorded) {
    EXPECT_EQ(SlotSet(39, 0, "x"_t), status::kStrOutBound);
    EXPECT_EQ(SlotLocate(39, 0, false), kNoSlot);
    EXPECT_EQ(RecordedError().status, status::kStrOutBound) << "the locate records first";
    EXPECT_EQ(RecordedError().step, step::kStringNum);
}

TEST_F(SlotStoreTest, AFailedTextIsPassedOnAndRecordedAsAssignFailure) {
    EXPECT_EQ(SlotSet(5, 0, TextRef::Failed(146)), 146);
    EXPECT_EQ(SlotCount(5), 0);
    EXPECT_EQ(RecordedError().status, status::kLoadString);
}

TEST_F(SlotStoreTest, DeleteMovesTheFollowingSlotsDown) {
    for (const char* s : {"a", "b", "c"}) SlotPush(7, TextView(s));
    SlotSet(8, 0, "other"_t);
    ASSERT_EQ(SlotDelete(7, 1), status::kOk);
    EXPECT_EQ(SlotCount(7), 2);
    EXPECT_EQ(Str(SlotGet(7, 0)), "a");
    EXPECT_EQ(Str(SlotGet(7, 1)), "c");
    EXPECT_EQ(Str(SlotGet(8, 0)), "other");
    EXPECT_EQ(SlotDelete(7, 9), status::kOk) << "past the end there is nothing to delete";
    EXPECT_EQ(SlotCount(7), 2);
}

TEST_F(SlotStoreTest, StacksAndQueues) {
    EXPECT_EQ(SlotPop(30), status::kOk) << "popping an empty stack changes nothing";
    EXPECT_EQ(SlotCount(30), 0);
    EXPECT_EQ(Str(SlotTop(30)), "");
    for (const char* s : {"1", "2", "3"}) {
        SlotPush(30, TextView(s));
        SlotPush(37, TextView(s));
    }
    EXPECT_EQ(Str(SlotTop(30)), "3") << "a stack reads its last slot";
    EXPECT_EQ(Str(SlotTop(37)), "1") << "a queue reads its first slot";
    SlotPop(30);
    SlotPop(37);
    EXPECT_EQ(Str(SlotTop(30)), "2");
    EXPECT_EQ(Str(SlotTop(37)), "2");
    SlotPopTo(37, 0);
    EXPECT_EQ(SlotCount(37), 0);
    EXPECT_EQ(SlotCount(30), 2);
}

TEST_F(SlotStoreTest, ClearGroupKeepsTheCount) {
    for (const char* s : {"a", "bb", "ccc"}) SlotPush(6, TextView(s));
    ASSERT_EQ(SlotClearGroup(6), status::kOk);
    EXPECT_EQ(SlotCount(6), 3);
    for (SlotIndex i = 0; i < 3; ++i) EXPECT_EQ(SlotGet(6, i).length, 0);
}

TEST_F(SlotStoreTest, SetLeavesTheScratchStackBalanced) {
    const ScratchLevel mark = ScratchMark();
    SlotSet(0, 3, "Vodarir"_t);
    EXPECT_EQ(ScratchDepth(), mark);
}

TEST_F(SlotStoreTest, ALeakedBlockIsNamedAtShutdown) {
    char* leaked = BlockAlloc(tag::kTypedTable, 16);
    EXPECT_EQ(SlotStoreShutdown(), tag::kTypedTable);
    EXPECT_TRUE(SlotStoreReady()) << "nothing was freed";
    BlockFree(tag::kTypedTable, leaked);
}

TEST(SlotStoreLifecycle, ConfigurationWithoutRoomForAPoolFails) {
    ClearRecordedError();
    PoolConfigure(16, kKeepValue, kKeepValue);
    SlotStoreConfigure(10, 100, 220); // (10 + 100) * 2 = 220 bytes of arrays, none left
    EXPECT_EQ(SlotStoreInit(), status::kStrOutBound);
    EXPECT_EQ(RecordedError().step, step::kStringInit);
    SlotStoreConfigure(10, 100, 221);
    ASSERT_EQ(SlotStoreInit(), status::kOk);
    EXPECT_EQ(SlotFreeBytes(), 1u);
    EXPECT_EQ(SlotSet(0, 0, "x"_t), status::kStrOutBound) << "the last byte stays free";
    EXPECT_EQ(SlotStoreShutdown(), status::kOk);
    SlotStoreConfigureDefaults();
    PoolConfigure(256, kKeepValue, kKeepValue);
}

TEST(SlotStoreLifecycle, TablesAreReleasedBeforeTheStore) {
    static char* table = nullptr;
    ASSERT_EQ(SlotStoreInit(), status::kOk);
    table = BlockAlloc(tag::kTypedTable, 64);
    SlotStoreSetTablesRelease([] { BlockFree(tag::kTypedTable, table); });
    EXPECT_EQ(SlotStoreShutdown(), status::kOk);
    EXPECT_FALSE(PoolReady());
    SlotStoreSetTablesRelease(nullptr);
}

} // namespace
} // namespace vodarir
