// Memory checks: the advice threshold and its edges, the snapshot comparison, the usage report's
// layout and the structures' pointer column.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "diagnostics/memory_report.h"
#include "platform/scripted/scripted_ui.h"
#include "runtime/messages/language_files.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/typed_tables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

using namespace literals;
using platform::BoxIcon;
using testing::Str;

class MemoryReportTest : public testing::RuntimeTest {
protected:
    explicit MemoryReportTest(std::uint16_t handles = 100) : handles_(handles) {}

    void SetUp() override {
        PoolConfigure(kKeepValue, kKeepValue, handles_);
        RuntimeTest::SetUp();
        ASSERT_EQ(PoolSnapshot().entryCount, handles_);
        ASSERT_EQ(TypedTablesInit(), status::kOk);
        MsgCatalogReset();
        MemoryCheckReset();
        platform::SetUi(&ui_);
    }
    void TearDown() override {
        EXPECT_EQ(ScratchDepth(), 0) << "a call left a level behind";
        for (char* b : blocks_) BlockFree(tag::kArray, b);
        platform::SetUi(nullptr);
        TypedTablesRelease();
        MsgCatalogReset();
        RuntimeTest::TearDown();
        PoolConfigure(kKeepValue, kKeepValue, kDefaultHandleCapacity);
        MemoryCheckReset();
    }

    // Allocates or frees blocks of our own until the pool counts `live` live blocks.
    void SetLive(int live) {
        while (PoolSnapshot().liveCount < live) {
            char* b = BlockAlloc(tag::kArray, 8);
            ASSERT_NE(b, nullptr) << "the handle table is full";
            blocks_.push_back(b);
        }
        while (PoolSnapshot().liveCount > live) {
            ASSERT_FALSE(blocks_.empty()) << "the runtime itself holds more than " << live;
            BlockFree(tag::kArray, blocks_.back());
            blocks_.pop_back();
        }
    }

    static std::string Report(TextRef prefix) {
        const ScratchLevel mark = ScratchMark();
        const TextRef t = UsageReport(prefix);
        EXPECT_EQ(ScratchDepth(), mark + 1);
        std::string s = Str(t);
        ScratchRelease(mark);
        return s;
    }
    static std::string Pointers(std::uint16_t n) {
        const ScratchLevel mark = ScratchMark();
        std::string s = Str(StructurePointers(n));
        ScratchRelease(mark);
        return s;
    }
    static std::string Hex(const void* p) {
        char b[32];
        std::snprintf(b, sizeof b, "0x%" PRIxPTR ", ", reinterpret_cast<std::uintptr_t>(p));
        return b;
    }
    // Gives table t `count` zeroed records of `size` bytes.
    static void Fill(std::uint16_t t, std::uint16_t count, std::uint16_t size) {
        ASSERT_NE(TableSet(t, static_cast<std::uint16_t>(count - 1), nullptr, size), nullptr);
    }

    platform::ScriptedUi ui_;

private:
    std::uint16_t handles_;
    std::vector<char*> blocks_;
};

// --- Usage advice --------------------------------------------------------------------------------

TEST_F(MemoryReportTest, TheThresholdRisesByFiveAndWarnsUntilNinetyFive) {
    struct Step {
        int live;
        StatusCode expected;
        int thresholdAfter;
        const char* advice; // the box's first line, or null when no box is shown
    };
    const Step steps[] = {
        {80, 0, 80, nullptr}, // 80 is not above 80
        {81, status::kUndefinedWarning, 85, "Memory Advice:80% at least wasted"},
        {85, 0, 85, nullptr},
        {86, status::kUndefinedWarning, 90, "Memory Advice:85% at least wasted"},
        {91, status::kOutOfMemory, 95, "Memory Advice:90% at least wasted"},
        {95, 0, 95, nullptr},
        {96, status::kOutOfMemory, 100, "Memory Advice:95% at least wasted"},
        {100, 0, 100, nullptr},
    };
    for (const Step& s : steps) {
        SetLive(s.live);
        const std::size_t boxesBefore = ui_.shownBoxes().size();
        EXPECT_EQ(MemoryCheck(memcheck::kAdvice), s.expected) << s.live << " live";
        EXPECT_EQ(AdviceThreshold(), s.thresholdAfter) << s.live << " live";
        if (s.advice == nullptr) {
            EXPECT_EQ(ui_.shownBoxes().size(), boxesBefore) << s.live << " live";
            continue;
        }
        ASSERT_EQ(ui_.shownBoxes().size(), boxesBefore + 1) << s.live << " live";
        const platform::ShownBox& box = ui_.shownBoxes().back();
        EXPECT_EQ(box.text.rfind(std::string(s.advice) + "\r\n\t\t\t\t M E M O R Y", 0), 0u)
            << box.text;
        EXPECT_EQ(box.icon,
                  s.expected == status::kOutOfMemory ? BoxIcon::Stop : BoxIcon::Exclamation);
    }
}

TEST_F(MemoryReportTest, AGivenThresholdIsTakenOnlyWhileTheFirstIsUnchanged) {
    SetLive(61);
    EXPECT_EQ(MemoryCheck(70), 0); // 61 is not above 70
    EXPECT_EQ(AdviceThreshold(), 70);
    EXPECT_EQ(MemoryCheck(60), 0) << "60 replaced 70";
    EXPECT_EQ(AdviceThreshold(), 70);
    SetLive(71);
    EXPECT_EQ(MemoryCheck(60), status::kUndefinedWarning);
    EXPECT_EQ(AdviceThreshold(), 75);
    ASSERT_EQ(ui_.shownBoxes().size(), 1u);
    EXPECT_EQ(ui_.shownBoxes()[0].text.rfind("Memory Advice:70% at least wasted\r\n", 0), 0u);
}

TEST_F(MemoryReportTest, ALowFirstThresholdWarnsFromItsOwnLevel) {
    SetLive(61);
    EXPECT_EQ(MemoryCheck(60), status::kUndefinedWarning);
    EXPECT_EQ(AdviceThreshold(), 65);
}

TEST_F(MemoryReportTest, TheThresholdNeverWrapsBelowWhereItWas) {
    EXPECT_EQ(MemoryCheck(250), 0);
    EXPECT_EQ(AdviceThreshold(), 250);
    SetLive(100);
    // The live count also counts refused allocations: push it beyond any threshold.
    for (int i = 0; i < 160; ++i) EXPECT_EQ(BlockAllocHandle(tag::kArray, 8, 0), kNoHandle);
    ASSERT_EQ(PoolSnapshot().liveCount, 260);
    EXPECT_EQ(MemoryCheck(memcheck::kAdvice), status::kOutOfMemory);
    EXPECT_EQ(AdviceThreshold(), 255);
    EXPECT_EQ(MemoryCheck(memcheck::kAdvice), status::kOutOfMemory);
    EXPECT_EQ(AdviceThreshold(), 255) << "a threshold that wrapped would advise at every step";
}

TEST_F(MemoryReportTest, WithoutAPoolNothingIsAdvised) {
    TypedTablesRelease();
    ASSERT_EQ(SlotStoreShutdown(), status::kOk);
    EXPECT_EQ(MemoryCheck(memcheck::kAdvice), 0);
    EXPECT_TRUE(ui_.shownBoxes().empty());
    ASSERT_EQ(SlotStoreInit(), status::kOk);
    ASSERT_EQ(TypedTablesInit(), status::kOk);
}

// --- Snapshot comparison -------------------------------------------------------------------------

TEST_F(MemoryReportTest, AnUnchangedRuntimeMatchesItsSnapshot) {
    Fill(table::kFieldEntry, 3, 12);
    EXPECT_EQ(MemoryCheck(memcheck::kTakeSnapshot), 0);
    EXPECT_EQ(MemoryCheck(memcheck::kCompareSnapshot), 0);
    EXPECT_TRUE(ui_.shownBoxes().empty());
}

TEST_F(MemoryReportTest, EachOfTheTwelveStructuresIsCompared) {
    for (std::uint16_t t = 0; t < kStructureCount; ++t) Fill(t, 1, 4);
    ASSERT_EQ(MemoryCheck(memcheck::kTakeSnapshot), 0);
    for (std::uint16_t t = 0; t < kStructureCount; ++t) {
        Fill(t, 2, 4); // room for it is there already: only the count changes
        EXPECT_EQ(MemoryCheck(memcheck::kCompareSnapshot), kSnapshotMismatch) << "table " << t;
        ASSERT_EQ(TableRemove(t, 1), status::kOk);
        EXPECT_EQ(MemoryCheck(memcheck::kCompareSnapshot), 0) << "table " << t;
    }
    ASSERT_EQ(ui_.shownBoxes().size(), kStructureCount);
    for (const platform::ShownBox& box : ui_.shownBoxes()) {
        EXPECT_EQ(
            box.text.rfind("Memory Struct Comparation do not match\r\n\t\t\t\t M E M O R Y", 0),
            0u);
        EXPECT_EQ(box.icon, BoxIcon::Stop);
    }
    // A table beyond the twelve is not part of the report.
    Fill(kStructureCount, 1, 4);
    EXPECT_EQ(MemoryCheck(memcheck::kCompareSnapshot), kSnapshotMismatch)
        << "creating its block changed the pool";
    ASSERT_EQ(MemoryCheck(memcheck::kTakeSnapshot), 0);
    Fill(kStructureCount, 2, 4);
    EXPECT_EQ(MemoryCheck(memcheck::kCompareSnapshot), 0);
}

TEST_F(MemoryReportTest, ABlockAllocatedOrFreedIsADifference) {
    SetLive(50);
    ASSERT_EQ(MemoryCheck(memcheck::kTakeSnapshot), 0);
    SetLive(51);
    EXPECT_EQ(MemoryCheck(memcheck::kCompareSnapshot), kSnapshotMismatch);
    SetLive(49);
    EXPECT_EQ(MemoryCheck(memcheck::kCompareSnapshot), kSnapshotMismatch);
    SetLive(50);
    EXPECT_EQ(MemoryCheck(memcheck::kCompareSnapshot), 0);
    ASSERT_EQ(MemoryCheck(memcheck::kTakeSnapshot), 0) << "a new snapshot replaces the old";
    SetLive(52);
    ASSERT_EQ(MemoryCheck(memcheck::kTakeSnapshot), 0);
    EXPECT_EQ(MemoryCheck(memcheck::kCompareSnapshot), 0);
}

TEST_F(MemoryReportTest, AGrownElementSizeIsADifference) {
    Fill(table::kNumberValues, 2, 8);
    ASSERT_EQ(MemoryCheck(memcheck::kTakeSnapshot), 0);
    TableFree(table::kNumberValues);
    Fill(table::kNumberValues, 2, 16); // same count, same number of blocks, other size
    EXPECT_EQ(MemoryCheck(memcheck::kCompareSnapshot), kSnapshotMismatch);
}

// --- The report ----------------------------------------------------------------------------------

// The report's lines, split at CR LF.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2) {
        lines.push_back(text.substr(from, at - from));
    }
    lines.push_back(text.substr(from));
    return lines;
}

TEST_F(MemoryReportTest, TheHeaderShowsTheBlocksRowWithZeroPaddedNumbers) {
    SetLive(81);
    const std::vector<std::string> lines = Lines(Report("Prefix"_t));
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0], "Prefix");
    EXPECT_EQ(lines[1], "\t\t\t\t M E M O R Y   U S A G E");
    EXPECT_EQ(lines[2], "\t\t\t\tTotal\tUsage\tRelative\t\t\t");
    EXPECT_EQ(lines[3].rfind("\tStacks (Allocate)\t:\t00256\t", 0), 0u) << lines[3];
    EXPECT_EQ(lines[4], "\tBlocks (MemAlloc)\t:\t00100\t00081\t81 %");
    EXPECT_EQ(lines[5].rfind("\tAcumulators (max)\t:\t00256\t", 0), 0u) << lines[5];
    EXPECT_EQ(lines[6].rfind("\tStrings room     \t:\t", 0), 0u) << lines[6];
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], "\t\t\t\t    S T R U C T U R E S");
    EXPECT_EQ(lines[9], "\t\t\t\t  members\tsize");
}

TEST_F(MemoryReportTest, TheScratchRowsShowLevelsInUseAndTheDeepestReached) {
    const ScratchLevel mark = ScratchMark();
    for (int i = 0; i < 5; ++i) ASSERT_EQ(ScratchAlloc(16, 0), status::kOk);
    ScratchRelease(mark);
    ASSERT_EQ(ScratchAlloc(16, 0), status::kOk); // 1 level in use, 5 the deepest so far
    const TextRef t = UsageReport("x"_t);
    const std::vector<std::string> lines = Lines(Str(t));
    ScratchRelease(mark);
    // The report's own level is the second in use while it is built.
    EXPECT_EQ(lines[3], "\tStacks (Allocate)\t:\t00256\t00002\t01 %");
    EXPECT_EQ(lines[5].rfind("\tAcumulators (max)\t:\t00256\t", 0), 0u);
    const int deepest = std::stoi(lines[5].substr(lines[5].rfind(":\t00256\t") + 8, 5));
    EXPECT_GE(deepest, 5);
}

class RoundingTest : public MemoryReportTest {
protected:
    RoundingTest() : MemoryReportTest(64) {}
};

TEST_F(RoundingTest, TheRelativeFigureIsRoundedNotCut) {
    // 43 of 64 is 67.19 %, 42 of 64 is 65.6 % (66 rounded, 65 cut), 41 of 64 is 64.06 %.
    const std::pair<int, const char*> rows[] = {
        {43, "00043\t67 %"}, {42, "00042\t66 %"}, {41, "00041\t64 %"}};
    for (const auto& [live, shown] : rows) {
        SetLive(live);
        const std::vector<std::string> lines = Lines(Report(""_t));
        EXPECT_EQ(lines[4], std::string("\tBlocks (MemAlloc)\t:\t00064\t") + shown) << live;
    }
}

TEST_F(MemoryReportTest, TwelveStructureLinesInOrderEndingWithMaxstruct) {
    Fill(table::kFieldEntry, 3, 24);
    const std::vector<std::string> lines = Lines(Report("p"_t));
    const char* names[] = {"_FILESTRUC", "_FIELDENTRY", "_INDEXENTRY", "_INDEXSEGS",
                           "_SCREENS ",  "_SCRWIND",    "_VARSTRUCTS", "_INTVALUES",
                           "_NUMVALUES", "_MEMTREES",   "_EXECPROCS",  "_MAXSTRUCT"};
    ASSERT_EQ(lines.size(), 10u + 12u + 3u);
    for (std::uint16_t i = 0; i < kStructureCount; ++i) {
        const std::string& line = lines[10 + i];
        EXPECT_EQ(line.rfind("\t" + std::string(names[i]) + "\t:\t      ", 0), 0u) << line;
    }
    EXPECT_EQ(lines[10], "\t_FILESTRUC\t:\t      00\t\t 00. Ptrs:  OK.");
    EXPECT_EQ(lines[11],
              "\t_FIELDENTRY\t:\t      03\t\t 24. Ptrs: " + Hex(TableGet(table::kFieldEntry, 0)) +
                  Hex(TableGet(table::kFieldEntry, 1)) + Hex(TableGet(table::kFieldEntry, 2)) +
                  "00212100 OK.");
    EXPECT_EQ(lines[21], "\t_MAXSTRUCT\t:\t      00\t\t 00. Ptrs:  OK.");
    EXPECT_EQ(lines[22], "");
}

TEST_F(MemoryReportTest, TheClosingBlockCountsScreensAndWindows) {
    Fill(table::kScreens, 2, 16);
    Fill(table::kWindows, 12, 16);
    const std::string report = Report("p"_t);
    const std::string closing = "\r\n\r\n\tScreens (current / total):\t00\t02"
                                "\r\n\tWindows (current / total):\t00\t12";
    ASSERT_GE(report.size(), closing.size());
    EXPECT_EQ(report.substr(report.size() - closing.size()), closing);
}

TEST_F(MemoryReportTest, TheReportFitsTheSmallestScratchStack) {
    TypedTablesRelease();
    ASSERT_EQ(SlotStoreShutdown(), status::kOk);
    PoolConfigure(kDefaultScratchSize, kKeepValue, kKeepValue);
    ASSERT_EQ(SlotStoreInit(), status::kOk);
    ASSERT_EQ(TypedTablesInit(), status::kOk);
    Fill(table::kFieldEntry, 7, 24);
    const std::string report = Report("p"_t);
    EXPECT_NE(report.find("\t_MAXSTRUCT\t:"), std::string::npos) << report;
    SetLive(81);
    EXPECT_EQ(MemoryCheck(memcheck::kAdvice), status::kUndefinedWarning);
    ASSERT_EQ(ui_.shownBoxes().size(), 1u);
    EXPECT_NE(ui_.shownBoxes()[0].text.find("\tWindows (current / total):"), std::string::npos);
}

// --- The pointer column --------------------------------------------------------------------------

TEST_F(MemoryReportTest, OnlyTheFirstFiveElementsAreListed) {
    Fill(table::kIntValues, 7, 2);
    std::string expected;
    for (std::uint16_t k = 0; k < kListedElements; ++k) {
        expected += Hex(TableGet(table::kIntValues, k));
    }
    EXPECT_EQ(Pointers(table::kIntValues + 1), expected + "00212100 OK.");
    Fill(table::kIndexSegs, 1, 6);
    EXPECT_EQ(Pointers(table::kIndexSegs + 1),
              Hex(TableGet(table::kIndexSegs, 0)) + "00212100 OK.");
}

TEST_F(MemoryReportTest, ADamagedGuardAfterTheStorageFails) {
    Fill(table::kIndexEntry, 2, 10);
    char* data = static_cast<char*>(TableGet(table::kIndexEntry, 0));
    const std::uint32_t size = BlockSize(data);
    ASSERT_GT(size, 0u);
    const char saved = data[size];
    data[size] = 'X'; // as a write one byte past the storage would leave it
    const std::string damaged = Pointers(table::kIndexEntry + 1);
    data[size] = saved;
    const std::string prefix =
        Hex(TableGet(table::kIndexEntry, 0)) + Hex(TableGet(table::kIndexEntry, 1));
    EXPECT_EQ(damaged, prefix + "00212158 Fail.");
    EXPECT_EQ(Pointers(table::kIndexEntry + 1), prefix + "00212100 OK.");
    const std::vector<std::string> lines = Lines(Report("p"_t));
    EXPECT_EQ(lines[12].substr(lines[12].size() - 4), " OK.");
}

TEST_F(MemoryReportTest, NumbersOutsideTheTwelveGiveTheEmptyText) {
    Fill(0, 1, 4);
    Fill(kStructureCount, 1, 4);
    EXPECT_EQ(Pointers(0), "");
    EXPECT_EQ(Pointers(kStructureCount + 1), "");
    EXPECT_NE(Pointers(1), "");
}

} // namespace
} // namespace vodarir
