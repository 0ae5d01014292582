// Sort work areas: ordered insertion, padding, unique keys, descending order, moves, reads,
// growth, the one-step list sort, and handles that do not name a live area.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dictionary/sort_areas.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class SortAreaTest : public RuntimeTest {
protected:
    // A new area, failing the test when it cannot be made.
    SortHandle NewArea(int a, int b, std::uint8_t flags = 0) {
        SortHandle h;
        EXPECT_EQ(SortNew(a, b, flags, &h), status::kOk) << a << "," << b;
        return h;
    }
    // Every entry from the first, through SortMove and SortGet, joined with "|".
    static std::string Walk(SortHandle* h) {
        std::string out;
        StatusCode st = SortMove(h, sortmove::kFirst);
        while (st == status::kOk && SortAreaOf(*h).count > 0) {
            out += (out.empty() ? "" : "|") + Str(SortGet(*h));
            st = SortMove(h, sortmove::kNext);
        }
        return out;
    }
};

// A script that never kills its area leaves it to the runtime: the shutdown frees it with the
// rest, instead of naming it as a leak and leaving the store and the stack allocated.
TEST_F(SortAreaTest, AreasStillOpenAreFreedAtShutdown) {
    SortHandle a = NewArea(4, 4);
    SortHandle b = NewArea(8, 2);
    ASSERT_EQ(SortAdd(&a, "x"_t), sortadd::kAtEnd);
    ASSERT_EQ(SortAdd(&b, "abcdefgh"_t), sortadd::kAtEnd);
    EXPECT_EQ(SlotStoreShutdown(), status::kOk);
    EXPECT_FALSE(PoolReady()) << "the store, the stack and the pool came down";
}

// --- The one-step list sort ----------------------------------------------------------------------

TEST_F(SortAreaTest, ListSort) {
    struct Row {
        const char* list;
        std::uint8_t flags;
        const char* sorted;
    };
    const std::vector<Row> rows = {
        {"b,a,c", 0, "a,b,c"},
        {"b,a,c", sortflag::kDescending, "c,b,a"},
        {"bb,a", 0, "a ,bb"}, // padded to the longest item
        {"a,b,a", sortflag::kUnique, "a,b"},
        {"a,b,a", 0, "a,a,b"},
        {"a,b,a", sortflag::kUnique | sortflag::kDescending, "b,a"},
        {"B,a,A,b", 0, "A,B,a,b"}, // by character code, capitals first
        {"x", 0, "x"},
        {"", 0, ""},
        {",", 0, ""}, // no item has a character
        {"a,,b", 0, " ,a,b"},
        {"'b,a',c", 0, "'b,a',c    "}, // a quoted comma does not split
        {"\xE9,z", 0, "z,\xE9"},       // bytes above 127 sort after ASCII
    };
    for (const Row& row : rows) {
        const ScratchLevel mark = ScratchMark();
        EXPECT_EQ(Str(SortList(TextView(row.list), row.flags)), row.sorted)
            << "list " << row.list << " flags " << int{row.flags};
        EXPECT_EQ(ScratchDepth(), mark + 1) << row.list;
        ScratchRelease(mark);
    }
}

TEST_F(SortAreaTest, ListSortReportsAnAreaThatCannotHoldTheList) {
    // Every item is padded to the longest: 101 entries of 1000 bytes cannot fit one area, though
    // the list itself is short.
    std::string text(1000, 'z');
    for (int i = 0; i < 100; ++i) text += ",a";
    const ScratchLevel mark = ScratchMark();
    ASSERT_LE(text.size(), kMaxTextLength);
    const TextRef sorted = SortList(TextView(text), 0);
    EXPECT_TRUE(sorted.failed());
    EXPECT_EQ(sorted.status(), status::kStringTooLong);
    EXPECT_EQ(ScratchDepth(), mark);
}

// --- Insertion
// ---------------------------------------------------------------------------------------

TEST_F(SortAreaTest, EntriesAreKeptInKeyOrderWithTheirPadding) {
    SortHandle h = NewArea(3, 3);
    EXPECT_EQ(SortAdd(&h, "b"_t), sortadd::kAtEnd); // an empty area
    EXPECT_EQ(SortAdd(&h, "a"_t), sortadd::kBefore);
    EXPECT_EQ(SortAdd(&h, "c"_t), sortadd::kAtEnd);
    EXPECT_EQ(SortAdd(&h, "b"_t), sortadd::kAfterEqual);
    EXPECT_EQ(SortAreaOf(h).count, 4);
    EXPECT_EQ(SortAreaOf(h).used, 12);
    EXPECT_EQ(Walk(&h), "a  |b  |b  |c  ");
    EXPECT_EQ(SortKill(h), status::kOk);
}

TEST_F(SortAreaTest, EqualKeysKeepTheirInsertionOrder) {
    // Key of one byte, entries of three: "b1" and "b2" have equal keys.
    SortHandle h = NewArea(3, 1);
    for (const char* e : {"b1", "a9", "b2", "a1", "b3"}) ASSERT_LT(SortAdd(&h, TextView(e)), 128);
    EXPECT_EQ(Walk(&h), "a9 |a1 |b1 |b2 |b3 ");
    EXPECT_EQ(SortKill(h), status::kOk);
}

TEST_F(SortAreaTest, DescendingOrder) {
    SortHandle h = NewArea(2, 2, sortflag::kDescending);
    for (const char* e : {"m", "z", "a", "q"}) ASSERT_LT(SortAdd(&h, TextView(e)), 128);
    EXPECT_EQ(Walk(&h), "z |q |m |a ");
    EXPECT_EQ(SortKill(h), status::kOk);
}

TEST_F(SortAreaTest, UniqueKeysRefuseADuplicate) {
    SortHandle h = NewArea(2, 1, sortflag::kUnique);
    ASSERT_EQ(SortAdd(&h, "ax"_t), sortadd::kAtEnd);
    EXPECT_EQ(SortAdd(&h, "ay"_t), sortadd::kDuplicate);
    EXPECT_EQ(SortAreaOf(h).count, 1);
    EXPECT_EQ(SortAreaOf(h).status, sortadd::kDuplicate);
    EXPECT_EQ(Walk(&h), "ax");
    EXPECT_EQ(SortKill(h), status::kOk);
}

TEST_F(SortAreaTest, ATextLongerThanAnEntryIsRefused) {
    SortHandle h = NewArea(3, 3);
    ASSERT_EQ(SortAdd(&h, "abc"_t), sortadd::kAtEnd);
    EXPECT_EQ(SortAdd(&h, "abcd"_t), status::kData);
    EXPECT_EQ(SortAreaOf(h).count, 1);
    EXPECT_EQ(Walk(&h), "abc");
    EXPECT_EQ(SortKill(h), status::kOk);
}

TEST_F(SortAreaTest, AKeyLengthOfZeroKeepsInsertionOrder) {
    SortHandle h = NewArea(0, 2);
    EXPECT_EQ(SortAreaOf(h).keyLength, 0);
    EXPECT_EQ(SortAreaOf(h).entryLength, 2);
    ASSERT_EQ(SortAdd(&h, "z"_t), sortadd::kAtEnd); // nothing to compare with yet
    for (const char* e : {"a", "m"}) ASSERT_EQ(SortAdd(&h, TextView(e)), sortadd::kAfterEqual);
    EXPECT_EQ(Walk(&h), "z |a |m ");
    EXPECT_EQ(SortKill(h), status::kOk);
}

TEST_F(SortAreaTest, TheBufferGrowsAndTheHandleFollowsIt) {
    SortHandle h = NewArea(1, 1);
    const SortArea first = SortAreaOf(h);
    EXPECT_EQ(first.capacity, kSortInitialRoomFactor);
    for (int i = 0; i < 300; ++i) {
        const char c = static_cast<char>('A' + (i * 7) % 26);
        ASSERT_LT(SortAdd(&h, TextRef(&c, 1)), 128) << i;
    }
    const SortArea grown = SortAreaOf(h);
    EXPECT_EQ(grown.count, 300);
    EXPECT_GE(grown.capacity, 300);
    EXPECT_EQ(BlockSize(grown.buffer), grown.capacity);
    // The old handle names a buffer that was released when the area grew.
    SortHandle stale = SortHandleOf(first);
    EXPECT_EQ(SortCheck(stale), status::kSyntax);
    std::string walked = Walk(&h);
    EXPECT_EQ(walked.size(), 300u * 2 - 1);
    for (std::size_t i = 2; i < walked.size(); i += 2) {
        EXPECT_LE(walked[i - 2], walked[i]) << "order broken at " << i;
    }
    EXPECT_EQ(SortKill(h), status::kOk);
}

TEST_F(SortAreaTest, TheEntriesMayNotPassSixtyFourKilobytes) {
    SortHandle h = NewArea(255, 255);
    const std::string entry(255, 'x');
    StatusCode st = status::kOk;
    int added = 0;
    while ((st = SortAdd(&h, TextView(entry))) < 128) ++added;
    EXPECT_EQ(st, status::kStringTooLong);
    EXPECT_EQ(added, 257); // 257 × 255 = 65535 bytes, the most a buffer holds
    EXPECT_EQ(SortAreaOf(h).count, 257);
    EXPECT_EQ(SortKill(h), status::kOk);
}

TEST_F(SortAreaTest, ARefusedAllocationLosesNoEntry) {
    SortHandle h = NewArea(1, 1);
    for (int i = 0; i < 256; ++i) ASSERT_LT(SortAdd(&h, "k"_t), 128);
    PoolFailAllocationsAfter(0);
    EXPECT_EQ(SortAdd(&h, "a"_t), status::kOutOfMemory);
    PoolFailAllocationsAfter(-1);
    EXPECT_EQ(SortAreaOf(h).count, 256);
    ASSERT_EQ(SortCheck(h), status::kOk) << "the area stays usable";
    EXPECT_EQ(SortAdd(&h, "a"_t), sortadd::kBefore);
    EXPECT_EQ(SortMove(&h, sortmove::kFirst), status::kOk);
    EXPECT_EQ(Str(SortGet(h)), "a");
    EXPECT_EQ(SortKill(h), status::kOk);
}

TEST_F(SortAreaTest, NewRefusesLengthsOutOfRange) {
    SortHandle h;
    EXPECT_EQ(SortNew(0, 0, 0, &h), status::kDataOutBound);
    EXPECT_EQ(SortNew(-1, 4, 0, &h), status::kDataOutBound);
    EXPECT_EQ(SortNew(70000, 1, 0, &h), status::kDataOutBound);
    h = NewArea(4, 2);
    EXPECT_EQ(SortAreaOf(h).entryLength, 4);
    EXPECT_EQ(SortAreaOf(h).keyLength, 2);
    EXPECT_EQ(SortKill(h), status::kOk);
    h = NewArea(2, 4); // the larger is the entry, whichever comes first
    EXPECT_EQ(SortAreaOf(h).entryLength, 4);
    EXPECT_EQ(SortAreaOf(h).keyLength, 2);
    EXPECT_EQ(SortKill(h), status::kOk);
}

// --- Moves and reads
// -------------------------------------------------------------------------------

TEST_F(SortAreaTest, Moves) {
    SortHandle h = NewArea(1, 1);
    for (const char* e : {"a", "b", "c"}) ASSERT_LT(SortAdd(&h, TextView(e)), 128);
    struct Row {
        std::uint16_t code;
        StatusCode st;
        const char* entry;
    };
    // Starting on "a": each row moves from where the previous one left the position.
    ASSERT_EQ(SortMove(&h, sortmove::kFirst), status::kOk);
    const std::vector<Row> rows = {
        {sortmove::kPrevious, kSortOutOfRange, "c"}, // back from the first wraps to the last
        {sortmove::kNext, kSortOutOfRange, "c"},     // past the last stays on it
        {sortmove::kFirst, status::kOk, "a"},
        {sortmove::kNext, status::kOk, "b"},
        {4, status::kOk, "b"},      // a code without a move leaves the position
        {0xFFFF, status::kOk, "b"}, // so does "no code" (all bits set)
        {sortmove::kLast, status::kOk, "c"},
        {sortmove::kPrevious, status::kOk, "b"},
        {sortmove::kNext | 0x100, status::kOk, "c"}, // only bits 4, 16 and 32 count
    };
    for (const Row& row : rows) {
        EXPECT_EQ(SortMove(&h, row.code), row.st) << "code " << row.code;
        EXPECT_EQ(Str(SortGet(h)), row.entry) << "code " << row.code;
    }
    EXPECT_EQ(SortKill(h), status::kOk);
}

TEST_F(SortAreaTest, AnEmptyAreaReadsEmptyAndEveryMoveIsOutOfRange) {
    SortHandle h = NewArea(4, 4);
    const TextRef got = SortGet(h);
    EXPECT_FALSE(got.failed());
    EXPECT_EQ(Str(got), "");
    for (std::uint16_t code : {sortmove::kFirst, sortmove::kLast, sortmove::kNext}) {
        EXPECT_EQ(SortMove(&h, code), kSortOutOfRange) << code;
        EXPECT_EQ(SortAreaOf(h).position, 0) << code;
    }
    EXPECT_EQ(SortKill(h), status::kOk);
}

TEST_F(SortAreaTest, AddingPutsThePositionOnTheNewEntry) {
    SortHandle h = NewArea(1, 1);
    for (const char* e : {"m", "a", "z", "c"}) ASSERT_LT(SortAdd(&h, TextView(e)), 128);
    EXPECT_EQ(Str(SortGet(h)), "c");
    EXPECT_EQ(SortAreaOf(h).position, 1);
    EXPECT_EQ(SortKill(h), status::kOk);
}

// --- Handles that name no live area
// ----------------------------------------------------------------

class ForgedHandleTest : public SortAreaTest {
protected:
    // Every operation refuses the handle with 147 and touches nothing.
    void ExpectRefused(SortHandle h, const char* what) {
        const SortHandle before = h;
        EXPECT_EQ(SortCheck(h), status::kSyntax) << what;
        EXPECT_EQ(SortAdd(&h, "x"_t), status::kSyntax) << what;
        EXPECT_EQ(SortMove(&h, sortmove::kFirst), status::kSyntax) << what;
        EXPECT_TRUE(SortGet(h).failed()) << what;
        EXPECT_EQ(SortGet(h).status(), status::kSyntax) << what;
        EXPECT_EQ(SortKill(h), status::kSyntax) << what;
        EXPECT_EQ(std::memcmp(before.bytes, h.bytes, kSortHandleSize), 0) << what;
    }
};

TEST_F(ForgedHandleTest, HandlesThatDoNotNameALiveAreaAreRefused) {
    SortHandle live = NewArea(2, 2);
    ASSERT_EQ(SortAdd(&live, "aa"_t), sortadd::kAtEnd);
    const SortArea area = SortAreaOf(live);
    char local[64] = {};

    SortArea a = area;
    a.buffer = local; // memory of the caller's own
    ExpectRefused(SortHandleOf(a), "stack pointer");
    a = area;
    a.buffer = nullptr;
    ExpectRefused(SortHandleOf(a), "null pointer");
    a = area;
    a.buffer += 2; // inside the live block, not its start
    ExpectRefused(SortHandleOf(a), "interior pointer");
    a = area;
    a.capacity = static_cast<std::uint16_t>(area.capacity + 1); // more room than the block has
    ExpectRefused(SortHandleOf(a), "capacity");
    a = area;
    a.count = 400; // entries beyond the buffer
    ExpectRefused(SortHandleOf(a), "count");
    a = area;
    a.used = static_cast<std::uint16_t>(area.used + 2);
    ExpectRefused(SortHandleOf(a), "used");
    a = area;
    a.keyLength = 3; // a key longer than the entry
    ExpectRefused(SortHandleOf(a), "key length");
    a = area;
    a.entryLength = 0;
    a.used = 0;
    a.count = 0;
    ExpectRefused(SortHandleOf(a), "entry length");

    // A live pool block of another owner, with its true size.
    char* other = BlockAlloc(tag::kArray, area.capacity);
    ASSERT_NE(other, nullptr);
    a = area;
    a.buffer = other;
    ExpectRefused(SortHandleOf(a), "block of another tag");
    EXPECT_EQ(BlockFree(tag::kArray, other), status::kOk);

    // The live handle still works after all that.
    EXPECT_EQ(Walk(&live), "aa");
    EXPECT_EQ(SortKill(live), status::kOk);
    ExpectRefused(live, "released area");
}

TEST_F(ForgedHandleTest, HandleTextsMustBeTwentyFourBytes) {
    SortHandle live = NewArea(2, 2);
    SortHandle read;
    EXPECT_EQ(SortHandleFromText(live.text(), &read), status::kOk);
    EXPECT_EQ(std::memcmp(read.bytes, live.bytes, kSortHandleSize), 0);
    const std::string text(live.bytes, kSortHandleSize);
    EXPECT_EQ(SortHandleFromText(TextView(text.substr(0, 23)), &read), status::kSyntax);
    EXPECT_EQ(SortHandleFromText(TextView(text + "x"), &read), status::kSyntax);
    EXPECT_EQ(SortHandleFromText(TextView(std::string(24, 'A')), &read), status::kSyntax);
    EXPECT_EQ(SortHandleFromText(TextRef::Failed(status::kData), &read), status::kSyntax);
    EXPECT_EQ(SortKill(live), status::kOk);
}

TEST_F(ForgedHandleTest, TheHandleLayout) {
    SortHandle h = NewArea(6, 4, sortflag::kUnique);
    ASSERT_EQ(SortAdd(&h, "abc"_t), sortadd::kAtEnd);
    ASSERT_EQ(SortAdd(&h, "abd"_t), sortadd::kAtEnd);
    const auto field = [&](std::size_t at) {
        std::uint16_t v = 0;
        std::memcpy(&v, h.bytes + at, sizeof v);
        return v;
    };
    char* pointer = nullptr;
    std::memcpy(&pointer, h.bytes, sizeof pointer);
    EXPECT_EQ(pointer, SortAreaOf(h).buffer);
    EXPECT_EQ(field(8), 12);               // used
    EXPECT_EQ(field(10), 6 * 256);         // capacity
    EXPECT_EQ(field(12), sortadd::kAtEnd); // status
    EXPECT_EQ(field(14), 4);               // key length
    EXPECT_EQ(field(16), 6);               // entry length
    EXPECT_EQ(field(18), 2);               // count
    EXPECT_EQ(field(20), 1);               // position
    EXPECT_EQ(h.bytes[22], sortflag::kUnique);
    EXPECT_EQ(SortKill(h), status::kOk);
}

} // namespace
} // namespace vodarir::testing
