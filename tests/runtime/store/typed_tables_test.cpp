// Typed tables: creation on first use, growth, removal, freeing and refused memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "runtime/store/typed_tables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

constexpr std::uint16_t kTable = 15;

class TypedTablesTest : public testing::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_EQ(TypedTablesInit(), status::kOk);
    }
    void TearDown() override {
        TypedTablesRelease();
        RuntimeTest::TearDown(); // fails on any table block left behind
    }
    static std::int32_t At(std::uint16_t table, std::uint16_t index) {
        std::int32_t v = -1;
        if (const void* p = TableGet(table, index)) std::memcpy(&v, p, sizeof v);
        return v;
    }
    static void* Put(std::uint16_t table, std::uint16_t index, std::int32_t v) {
        return TableSet(table, index, &v, sizeof v);
    }
};

TEST_F(TypedTablesTest, FirstSetCreatesTheTableWithItsElementSize) {
    EXPECT_EQ(TableCount(kTable), 0);
    ASSERT_NE(Put(kTable, 0, 41), nullptr);
    EXPECT_EQ(TableCount(kTable), 1);
    EXPECT_EQ(TableElementSize(kTable), 4);
    EXPECT_EQ(At(kTable, 0), 41);
    const std::int16_t small = 1;
    EXPECT_EQ(TableSet(kTable, 0, &small, sizeof small), nullptr) << "another size is refused";
    EXPECT_EQ(At(kTable, 0), 41) << "and changes nothing";
}

TEST_F(TypedTablesTest, SettingBeyondTheCountGrowsWithZeroRecords) {
    Put(kTable, 0, 7);
    ASSERT_NE(Put(kTable, 5, 9), nullptr);
    EXPECT_EQ(TableCount(kTable), 6);
    for (std::uint16_t i = 1; i < 5; ++i) EXPECT_EQ(At(kTable, i), 0) << "record " << i;
    EXPECT_EQ(At(kTable, 0), 7);
    EXPECT_EQ(At(kTable, 5), 9);
    EXPECT_EQ(TableGet(kTable, 6), nullptr) << "nothing beyond the count";
}

TEST_F(TypedTablesTest, ManyRecordsSurviveEveryGrowth) {
    for (std::uint16_t i = 0; i < 3000; ++i) ASSERT_NE(Put(kTable, i, i * 3 + 1), nullptr);
    for (std::uint16_t i = 0; i < 3000; ++i) ASSERT_EQ(At(kTable, i), i * 3 + 1) << "record " << i;
}

TEST_F(TypedTablesTest, RemoveMovesLaterRecordsDownAndFreesTheEmptyTable) {
    const std::int16_t live = PoolSnapshot().liveCount;
    for (std::uint16_t i = 0; i < 4; ++i) Put(kTable, i, 10 + i);
    EXPECT_EQ(PoolSnapshot().liveCount, live + 1) << "one block for the table";
    ASSERT_EQ(TableRemove(kTable, 1), status::kOk);
    EXPECT_EQ(TableCount(kTable), 3);
    EXPECT_EQ(At(kTable, 0), 10);
    EXPECT_EQ(At(kTable, 1), 12);
    EXPECT_EQ(At(kTable, 2), 13);
    // A record vacated at the end comes back as zero when the table grows again.
    ASSERT_NE(Put(kTable, 4, 5), nullptr);
    EXPECT_EQ(At(kTable, 3), 0);

    while (TableCount(kTable) > 0) ASSERT_EQ(TableRemove(kTable, 0), status::kOk);
    EXPECT_EQ(PoolSnapshot().liveCount, live) << "the empty table gave its block back";
    const std::int16_t other = 3;
    EXPECT_NE(TableSet(kTable, 0, &other, sizeof other), nullptr)
        << "an emptied table starts over with any element size";
}

TEST_F(TypedTablesTest, MissingTablesAndIndexesAreRefused) {
    struct Row {
        std::uint16_t table, index;
    };
    Put(kTable, 0, 1);
    for (const Row& r : {Row{kTable, 1}, Row{3, 0}, Row{kTypedTableCount, 0}}) {
        EXPECT_EQ(TableRemove(r.table, r.index), status::kStructMemory)
            << r.table << "/" << r.index;
    }
    EXPECT_EQ(Put(kTypedTableCount, 0, 1), nullptr);
    EXPECT_EQ(Put(kTable, 0xFFFF, 1), nullptr) << "counts are 16-bit";
    EXPECT_EQ(TableSet(kTable, 1, nullptr, 0), nullptr);
}

TEST_F(TypedTablesTest, NullValueStoresZeros) {
    Put(kTable, 0, 77);
    ASSERT_NE(TableSet(kTable, 0, nullptr, 4), nullptr);
    EXPECT_EQ(At(kTable, 0), 0);
}

TEST_F(TypedTablesTest, RefusedGrowthKeepsTheRecords) {
    for (std::uint16_t i = 0; i < 8; ++i) Put(kTable, i, 100 + i);
    PoolFailAllocationsAfter(0);
    EXPECT_EQ(Put(kTable, 200, 1), nullptr);
    PoolFailAllocationsAfter(-1);
    EXPECT_EQ(TableCount(kTable), 8);
    for (std::uint16_t i = 0; i < 8; ++i) EXPECT_EQ(At(kTable, i), 100 + i);
    PoolFailAllocationsAfter(0);
    EXPECT_EQ(Put(kTable + 1, 0, 1), nullptr) << "a new table refused";
    PoolFailAllocationsAfter(-1);
    EXPECT_EQ(TableCount(kTable + 1), 0);
    EXPECT_NE(TableSet(kTable + 1, 0, "ab", 2), nullptr) << "and not left half-created";
}

TEST_F(TypedTablesTest, FreeAndReleaseDropEverything) {
    Put(kTable, 3, 1);
    Put(kTable + 1, 0, 2);
    TableFree(kTable);
    EXPECT_EQ(TableCount(kTable), 0);
    EXPECT_EQ(TableGet(kTable, 0), nullptr);
    EXPECT_EQ(At(kTable + 1, 0), 2);
    TypedTablesRelease();
    EXPECT_FALSE(TypedTablesReady());
    EXPECT_EQ(Put(kTable, 0, 1), nullptr) << "no registry, no tables";
    EXPECT_EQ(TableCount(kTable + 1), 0);
}

class TypedTablesInitTest : public testing::RuntimeTest {};

TEST_F(TypedTablesInitTest, RefusedRegistryGives176AndRecordsIt) {
    PoolFailAllocationsAfter(0);
    EXPECT_EQ(TypedTablesInit(), status::kStructMemory);
    PoolFailAllocationsAfter(-1);
    EXPECT_FALSE(TypedTablesReady());
    EXPECT_EQ(RecordedError().status, status::kStructMemory);
    EXPECT_EQ(RecordedError().step, step::kStructFunc);
}

} // namespace
} // namespace vodarir
