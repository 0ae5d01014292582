// The ScratchStack: level discipline, limits, and results that survive the release below them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::Str;

class ScratchStackTest : public testing::RuntimeTest {};

TEST(Align4, RoundsUpToWholeWords) {
    const std::pair<std::uint32_t, std::uint32_t> rows[] = {
        {0, 0}, {1, 4}, {4, 4}, {5, 8}, {65535, 65536}};
    for (auto [n, want] : rows) EXPECT_EQ(Align4(n), want) << "n=" << n;
}

TEST_F(ScratchStackTest, AllocationsAreWordAlignedLevels) {
    const ScratchLevel mark = ScratchMark();
    ASSERT_EQ(ScratchAlloc(3, 'a'), status::kOk);
    const TextRef first = ScratchTop();
    ASSERT_EQ(ScratchAlloc(5, 'b'), status::kOk);
    const TextRef second = ScratchTop();
    EXPECT_EQ(first.length, 3);
    EXPECT_EQ(Str(first), "aaa");
    EXPECT_EQ(second.data, first.data + 4);
    EXPECT_EQ(Str(second), "bbbbb");
    EXPECT_EQ(ScratchDepth(), mark + 2);
    EXPECT_EQ(ScratchRelease(mark), mark);
    EXPECT_EQ(ScratchAllocText(1, 0).data, first.data) << "release gives the bytes back";
    ScratchRelease(mark);
}

TEST_F(ScratchStackTest, LevelLimitIsCapacityMinusOne) {
    const ScratchLevel mark = ScratchMark();
    ASSERT_EQ(mark, 0);
    for (int i = 1; i <= 255; ++i) ASSERT_EQ(ScratchAlloc(1, 0), status::kOk) << "level " << i;
    const TextRef top = ScratchTop();
    EXPECT_EQ(ScratchAlloc(1, 0), status::kOutOfMemory) << "the 256th level";
    EXPECT_EQ(ScratchTop().data, top.data) << "a refused allocation changes nothing";
    EXPECT_EQ(ScratchDepth(), 255);
    EXPECT_EQ(PoolSnapshot().scratch.maxDepth, 255);
    ScratchRelease(mark);
    EXPECT_EQ(ScratchAlloc(1, 0), status::kOk) << "usable again after the release";
    ScratchRelease(mark);
}

TEST_F(ScratchStackTest, DataLimitKeepsOneWordFree) {
    const ScratchLevel mark = ScratchMark();
    const std::uint32_t free = ScratchFreeBytes();
    EXPECT_EQ(free, 256u * 1024 - 4);
    // Fill with the largest texts, then exactly what is left.
    while (ScratchFreeBytes() > 65535) ASSERT_EQ(ScratchAlloc(65532, kNoFill), status::kOk);
    const std::uint32_t rest = ScratchFreeBytes();
    EXPECT_EQ(ScratchAlloc(rest + 1, kNoFill), status::kOutOfMemory);
    EXPECT_EQ(ScratchAlloc(rest, kNoFill), status::kOk);
    EXPECT_EQ(ScratchFreeBytes(), 0u);
    EXPECT_EQ(ScratchAlloc(1, kNoFill), status::kOutOfMemory);
    EXPECT_EQ(ScratchAlloc(0, kNoFill), status::kOk) << "an empty level needs no bytes";
    ScratchRelease(mark);
    EXPECT_EQ(ScratchFreeBytes(), free);
}

TEST_F(ScratchStackTest, TooLongForATextIsRefused) {
    EXPECT_EQ(ScratchAlloc(65536, kNoFill), status::kStringTooLong);
    std::string a(40000, 'a'), b(30000, 'b');
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(ScratchConcat(TextView(a), TextView(b)), status::kStringTooLong);
    EXPECT_EQ(ScratchDepth(), mark);
}

TEST_F(ScratchStackTest, ReleaseToAStaleOrUnknownMarkChangesNothing) {
    const ScratchLevel mark = ScratchMark();
    ScratchAlloc(8, 0);
    const ScratchLevel inner = ScratchMark();
    ScratchAlloc(8, 0);
    ScratchRelease(mark);
    const char* next = ScratchFree().data;
    EXPECT_EQ(ScratchRelease(inner + 1), mark) << "a level above the depth is not live";
    EXPECT_EQ(ScratchFree().data, next);
    EXPECT_EQ(ScratchRelease(kScratchMarkOnly), mark);
}

// A function that builds its result above its mark and hands it down.
TextRef BuildGreeting(TextRef name) {
    const ScratchLevel mark = ScratchMark();
    ScratchPush("Hello, "_t);
    const TextRef hello = ScratchTop();
    ScratchAlloc(100, '#'); // some unrelated temporary between
    ScratchConcat(hello, name);
    return ScratchReturn(mark, ScratchTop());
}

TEST_F(ScratchStackTest, ResultSurvivesTheReleaseBelowIt) {
    const ScratchLevel mark = ScratchMark();
    const TextRef r = BuildGreeting("Ana"_t);
    EXPECT_EQ(Str(r), "Hello, Ana");
    EXPECT_EQ(ScratchDepth(), mark + 1) << "the result sits one level above the caller's mark";
    ScratchRelease(mark);
}

// A function with an early exit and a result: every path leaves exactly what it promised.
TextRef FirstThreeBytes(TextRef t, bool give) {
    ScratchScope scope;
    ScratchAlloc(64, '-'); // a temporary every path must drop
    if (!give) return TextRef::Failed(163);
    ScratchPush(t);
    ScratchPush(TextSub(ScratchTop(), 0, 3));
    return scope.Return(ScratchTop());
}

TEST_F(ScratchStackTest, AScopeReleasesOnEveryExitButTheResultHandedDown) {
    const ScratchLevel mark = ScratchMark();
    EXPECT_TRUE(FirstThreeBytes("abcdef"_t, false).failed());
    EXPECT_EQ(ScratchDepth(), mark) << "an early exit releases its temporaries";
    EXPECT_EQ(Str(FirstThreeBytes("abcdef"_t, true)), "abc");
    EXPECT_EQ(ScratchDepth(), mark + 1) << "the result sits one level above the caller's mark";
    {
        ScratchScope scope;
        ScratchPush("x"_t);
        scope.Release();
        EXPECT_EQ(ScratchDepth(), mark + 1);
        ScratchPush("y"_t);
    }
    EXPECT_EQ(ScratchDepth(), mark + 1) << "the scope's end releases what came after Release";
    ScratchRelease(mark);
}

// A value an operation that takes the mark has already left one level above it (as the evaluator
// leaves its values) stays where it is; on the paths that do not keep it, the scope drops it.
StatusCode LeaveValue(TextRef t, bool keep) {
    ScratchScope scope;
    ScratchAlloc(32, '-');
    ScratchPush(t);
    const TextRef kept = ScratchReturn(scope.mark(), ScratchTop());
    if (!keep) return 163;
    scope.Keep();
    return kept.status();
}

TEST_F(ScratchStackTest, AScopeKeepsAValueAlreadyInPlaceWithoutCopyingIt) {
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(LeaveValue("abc"_t, false), 163);
    EXPECT_EQ(ScratchDepth(), mark) << "a path that does not keep the value releases it";
    ASSERT_EQ(LeaveValue("abc"_t, true), status::kOk);
    EXPECT_EQ(ScratchDepth(), mark + 1) << "the kept value is the caller's, one level up";
    EXPECT_EQ(Str(ScratchTop()), "abc");
    ScratchRelease(mark);
}

// A result that already is the level just above the mark stays where it is; what lies above it
// goes, and a text that only starts there is copied as ever.
TEST_F(ScratchStackTest, AResultAlreadyInPlaceIsReturnedWithoutACopy) {
    const ScratchLevel mark = ScratchMark();
    ScratchPush("result"_t);
    const TextRef placed = ScratchTop();
    ScratchPush("temporary"_t);
    const TextRef back = ScratchReturn(mark, placed);
    EXPECT_EQ(back.data, placed.data);
    EXPECT_EQ(Str(back), "result");
    EXPECT_EQ(ScratchDepth(), mark + 1);
    ScratchPush("more"_t);
    const TextRef part = ScratchReturn(mark, TextSub(placed, 0, 3));
    EXPECT_EQ(Str(part), "res") << "a shorter view of the level is a copy of its own";
    EXPECT_EQ(ScratchDepth(), mark + 1);
    EXPECT_EQ(ScratchTop().length, 3);
    ScratchRelease(mark);
}

TEST_F(ScratchStackTest, FailedTextsPassThrough) {
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(ScratchPush(TextRef::Failed(163)), 163);
    EXPECT_EQ(ScratchConcat("a"_t, TextRef::Failed(146)), 146);
    const TextRef r = ScratchReturn(mark, TextRef::Failed(159));
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.status(), 159);
    EXPECT_EQ(ScratchDepth(), mark);
}

TEST_F(ScratchStackTest, ConcatOfTextsLyingInTheReleasedArea) {
    const ScratchLevel mark = ScratchMark();
    ScratchPush("BB"_t);
    TextRef b = ScratchTop();
    ScratchPush("AAAAAA"_t);
    TextRef a = ScratchTop();
    ScratchRelease(mark);
    // The new level starts where b lies; writing a first would destroy b.
    ASSERT_EQ(ScratchConcat(a, b), status::kOk);
    EXPECT_EQ(Str(ScratchTop()), "AAAAAABB");
    ScratchRelease(mark);
}

TEST_F(ScratchStackTest, ReturnManyKeepsEveryResultWhateverTheirOrder) {
    const ScratchLevel mark = ScratchMark();
    ScratchPush("second-result"_t);
    TextRef second = ScratchTop();
    ScratchPush("first"_t);
    TextRef first = ScratchTop();
    // first lands on second's old bytes unless the results are staged.
    ASSERT_EQ(ScratchReturnMany(mark, {&first, &second}), status::kOk);
    EXPECT_EQ(Str(first), "first");
    EXPECT_EQ(Str(second), "second-result");
    EXPECT_EQ(ScratchDepth(), mark + 2);
    EXPECT_LT(first.data, second.data);

    TextRef bad = TextRef::Failed(146);
    TextRef good = "x"_t;
    EXPECT_EQ(ScratchReturnMany(mark, {&good, &bad}), 146);
    EXPECT_EQ(ScratchDepth(), mark);
}

TEST_F(ScratchStackTest, PushOfALevelsOwnBytesIsACopy) {
    const ScratchLevel mark = ScratchMark();
    ScratchPush("abc"_t);
    const TextRef a = ScratchTop();
    ScratchPush(a);
    const TextRef b = ScratchTop();
    b.mutableData()[0] = 'X';
    EXPECT_EQ(Str(a), "abc");
    EXPECT_EQ(Str(b), "Xbc");
    ScratchRelease(mark);
}

} // namespace
} // namespace vodarir
