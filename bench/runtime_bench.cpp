// The runtime's memory: scratch push/release and slot get/set on a nearly full store.
#include <benchmark/benchmark.h>

#include <string>

#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"

namespace {

using namespace vodarir;
using namespace vodarir::literals;

struct Runtime {
    Runtime() {
        PoolConfigure(256, kKeepValue, kKeepValue);
        SlotStoreInit();
    }
    ~Runtime() { SlotStoreShutdown(); }
};

void BM_ScratchPushRelease(benchmark::State& state) {
    Runtime rt;
    const TextRef text = "a temporary text of forty-odd bytes long"_t;
    for (auto _ : state) {
        ScratchScope scope;
        ScratchPush(text);
        benchmark::DoNotOptimize(ScratchTop().data);
    }
}
BENCHMARK(BM_ScratchPushRelease);

void BM_ScratchReturn(benchmark::State& state) {
    Runtime rt;
    for (auto _ : state) {
        ScratchScope outer;
        ScratchScope inner;
        ScratchPush("left part "_t);
        ScratchConcat(ScratchTop(), "right part"_t);
        benchmark::DoNotOptimize(inner.Return(ScratchTop()).data);
    }
}
BENCHMARK(BM_ScratchReturn);

// 90 % of the default store: 1840 slots of 30 bytes (55200 of 61361 bytes, 1840 of 2048 slots),
// spread over groups 0..38 the way the runtime uses them.
constexpr int kFilledSlots = 1840;
constexpr std::uint16_t kSlotsPerGroup = kFilledSlots / kDefaultSlotGroups + 1;

void FillStore() {
    const std::string value(30, 'v');
    int n = 0;
    for (SlotGroup g = 0; g < kDefaultSlotGroups && n < kFilledSlots; ++g) {
        for (SlotIndex i = 0; i < kSlotsPerGroup && n < kFilledSlots; ++i, ++n) {
            SlotSet(g, i, TextView(value));
        }
    }
}

// arg 0: a group near the front, arg 1: one in the middle, arg 2: the last group.
SlotGroup GroupFor(std::int64_t where) { return where == 0 ? 1 : where == 1 ? 19 : 38; }

void BM_SlotGet(benchmark::State& state) {
    Runtime rt;
    FillStore();
    const SlotGroup g = GroupFor(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(SlotGet(g, 5).data);
}
BENCHMARK(BM_SlotGet)->Arg(0)->Arg(1)->Arg(2);

void BM_SlotSet(benchmark::State& state) {
    Runtime rt;
    FillStore();
    const SlotGroup g = GroupFor(state.range(0));
    const TextRef a = "a value of twenty-nine bytes!"_t;
    const TextRef b = "a different, longer value of 40 bytes.."_t;
    bool flip = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SlotSet(g, 5, flip ? a : b));
        flip = !flip;
    }
}
BENCHMARK(BM_SlotSet)->Arg(0)->Arg(1)->Arg(2);

} // namespace
