// Temporaries never touch the heap: this program counts every global operator new.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "runtime/store/slot_store.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "support/runtime_fixture.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t n) {
    ++g_allocations;
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace vodarir {
namespace {

using namespace literals;

class NoHeapTest : public testing::RuntimeTest {};

TEST_F(NoHeapTest, ScratchAndSlotOperationsDoNotAllocate) {
    const long before = g_allocations.load();
    for (int round = 0; round < 1000; ++round) {
        const ScratchLevel mark = ScratchMark();
        ScratchPush("some temporary text"_t);
        ScratchConcat(ScratchTop(), " and more"_t);
        const TextRef r = ScratchReturn(mark, ScratchTop());
        SlotSet(10, static_cast<SlotIndex>(round % 50), r);
        (void)SlotGet(10, static_cast<SlotIndex>(round % 50));
        ScratchRelease(mark);
    }
    EXPECT_EQ(g_allocations.load(), before);
}

TEST_F(NoHeapTest, TextOperationsDoNotAllocate) {
    const long before = g_allocations.load();
    for (int round = 0; round < 200; ++round) {
        const ScratchLevel mark = ScratchMark();
        const TextRef list = ListSetItem("a,'b,c',d"_t, ',', 5, TextFormat(16, "v%d", round));
        const TextRef options = TextOptSet(TextReplace(list, ","_t, ":"_t, false), "K"_t, "1"_t);
        EXPECT_EQ(TextToInt(TextOptGet(options, "K"_t)), 1);
        (void)ListSplit(ListUnion(list, "x,y"_t, ','), ',');
        (void)TextClean(TextCase(TextSubstVar("%A% "_t, "A"_t, "z"_t, nullptr), 1));
        ScratchRelease(mark);
    }
    EXPECT_EQ(g_allocations.load(), before);
}

} // namespace
} // namespace vodarir
