// The SlotStore: locate, get, set, delete and the stack and queue forms of a group.
#include "runtime/store/slot_store.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/pool_internal.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {

namespace {

struct Store {
    SlotStoreConfig config;
    char* block = nullptr;
    std::uint16_t* counts = nullptr;
    std::uint16_t* lengths = nullptr;
    char* pool = nullptr;
    std::uint32_t poolCapacity = 0;
    std::uint32_t slotsInUse = 0;
    std::uint32_t bytesInUse = 0;
    TablesReleaseFn releaseTables = nullptr;
};

Store g_store;
ShutdownWatcher g_shutdownWatcher = nullptr;

std::uint32_t GroupStart(SlotGroup group) {
    std::uint32_t flat = 0;
    for (SlotGroup g = 0; g < group; ++g) flat += g_store.counts[g];
    return flat;
}

// Sums the lengths of the slots [from, to). It adds four lengths at a time: two 32-bit lanes of a
// 64-bit word each take two 16-bit lengths per step (at most 2048 slots of at most 65535 bytes
// cannot overflow a lane).
std::uint32_t SumLengths(std::uint32_t from, std::uint32_t to) {
    constexpr std::uint64_t kLow = 0x0000FFFF0000FFFFull;
    const std::uint16_t* lengths = g_store.lengths;
    std::uint64_t lanes = 0;
    std::uint32_t i = from;
    for (; i + 4 <= to; i += 4) {
        std::uint64_t four;
        std::memcpy(&four, lengths + i, sizeof four);
        lanes += (four & kLow) + ((four >> 16) & kLow);
    }
    std::uint32_t sum = static_cast<std::uint32_t>(lanes) + static_cast<std::uint32_t>(lanes >> 32);
    for (; i < to; ++i) sum += lengths[i];
    return sum;
}

// The last byte offset worked out: the slots before `flat` hold `offset` bytes. Reads and writes
// mostly move along a group slot after slot (a dictionary's load appends 1 800 field names one
// by one), so the next offset is summed from here, forward or back, not from the first slot.
struct OffsetHint {
    std::uint32_t flat = 0;
    std::uint32_t offset = 0;
};
OffsetHint g_hint;

// The hint holds only while no length before its slot changes and no slot before it comes or goes.
void ForgetOffsetsAfter(std::uint32_t changed) {
    if (changed < g_hint.flat) g_hint = OffsetHint{};
}

std::uint32_t ByteOffset(std::uint32_t flat) {
    std::uint32_t offset = 0;
    if (flat >= g_hint.flat && flat - g_hint.flat <= 2) { // the next slot or so: most calls
        offset = g_hint.offset;
        for (std::uint32_t i = g_hint.flat; i < flat; ++i) offset += g_store.lengths[i];
    } else if (flat >= g_hint.flat) {
        offset = g_hint.offset + SumLengths(g_hint.flat, flat);
    } else if (g_hint.flat - flat < flat) {
        offset = g_hint.offset - SumLengths(flat, g_hint.flat);
    } else {
        offset = SumLengths(0, flat);
    }
    g_hint = OffsetHint{flat, offset};
    return offset;
}

bool IsQueue(SlotGroup group) { return group > kLastStackGroup; }

} // namespace

void SlotStoreConfigure(std::uint16_t groups, std::uint16_t slots, std::uint16_t bytes) {
    if (g_store.block != nullptr) return;
    if (groups != kKeepValue) g_store.config.groups = groups;
    if (slots != kKeepValue) g_store.config.slots = slots;
    if (bytes != kKeepValue) g_store.config.bytes = bytes;
}

SlotStoreConfig SlotStoreConfiguration() { return g_store.config; }

void SlotStoreConfigureDefaults() {
    if (g_store.block == nullptr) g_store.config = SlotStoreConfig{};
}

bool SlotStoreReady() { return g_store.block != nullptr; }

StatusCode SlotStoreInit() {
    const StatusCode st = PoolInit();
    if (st != status::kOk) return st;
    if (g_store.block != nullptr) return status::kOk;
    const SlotStoreConfig& c = g_store.config;
    const std::uint32_t arrays = (std::uint32_t{c.groups} + c.slots) * 2;
    if (arrays >= c.bytes) {
        return NoteFirstError(1, step::kStringInit, status::kStrOutBound, status::kStrOutBound);
    }
    char* block = BlockAlloc(tag::kSlotStore, c.bytes);
    if (block == nullptr) {
        return NoteFirstError(1, step::kStringInit, status::kOutOfMemory, status::kOutOfMemory);
    }
    g_store.block = block;
    g_store.counts = reinterpret_cast<std::uint16_t*>(block);
    g_store.lengths = g_store.counts + c.groups;
    g_store.pool = block + arrays;
    g_store.poolCapacity = c.bytes - arrays;
    g_store.slotsInUse = 0;
    g_store.bytesInUse = 0;
    g_hint = OffsetHint{};
    return status::kOk;
}

std::uint16_t SlotLocate(SlotGroup group, SlotIndex index, bool record) {
    std::uint32_t flat = kNoSlot;
    if (g_store.block != nullptr && group < g_store.config.groups) {
        flat = GroupStart(group) + index;
        if (flat >= g_store.config.slots) flat = kNoSlot;
    }
    if (flat == kNoSlot && record) {
        NoteFirstError(1, step::kStringNum, status::kStrOutBound, status::kStrOutBound);
    }
    return static_cast<std::uint16_t>(flat);
}

TextRef SlotGet(SlotGroup group, SlotIndex index) {
    if (g_store.block == nullptr) return TextRef();
    const TextRef none(g_store.pool, 0);
    if (group >= g_store.config.groups || index >= g_store.counts[group]) return none;
    const std::uint16_t flat = SlotLocate(group, index, false);
    if (flat == kNoSlot) return none;
    return TextRef(g_store.pool + ByteOffset(flat), g_store.lengths[flat]);
}

namespace {

StatusCode SetSlot(SlotGroup group, SlotIndex index, TextRef text) {
    if (text.failed()) return text.status();
    // A view into the pool would move with it: such a text is copied out first.
    const std::less<const char*> before;
    if (!before(text.data, g_store.pool) &&
        before(text.data, g_store.pool + g_store.poolCapacity)) {
        const StatusCode pushed = ScratchPush(text);
        if (pushed != status::kOk) return pushed;
        text = ScratchTop();
    }

    const std::uint16_t flat = SlotLocate(group, index, true);
    if (flat == kNoSlot) return status::kStrOutBound;
    std::uint16_t& count = g_store.counts[group];
    const std::uint32_t needed = index >= count ? std::uint32_t{index} - count + 1 : 0;
    const std::uint32_t old = index < count ? g_store.lengths[flat] : 0;
    if (g_store.slotsInUse + needed >= g_store.config.slots) return status::kStrOutBound;
    if (g_store.bytesInUse + text.length - old >= g_store.poolCapacity) {
        return status::kStrOutBound;
    }

    if (needed != 0) {
        const std::uint32_t nextGroup = GroupStart(group) + count;
        ForgetOffsetsAfter(nextGroup);
        std::uint16_t* lengths = g_store.lengths;
        std::memmove(lengths + nextGroup + needed, lengths + nextGroup,
                     (g_store.slotsInUse - nextGroup) * sizeof(std::uint16_t));
        std::fill_n(lengths + nextGroup, needed, std::uint16_t{0});
        g_store.slotsInUse += needed;
        count = static_cast<std::uint16_t>(index + 1);
    }

    const std::uint32_t start = ByteOffset(flat);
    ForgetOffsetsAfter(flat);
    char* pool = g_store.pool;
    std::memmove(pool + start + text.length, pool + start + old, g_store.bytesInUse - start - old);
    std::memcpy(pool + start, text.data, text.length);
    g_store.lengths[flat] = text.length;
    g_store.bytesInUse = g_store.bytesInUse + text.length - old;
    return status::kOk;
}

} // namespace

StatusCode SlotSet(SlotGroup group, SlotIndex index, TextRef text) {
    ScratchScope scope;
    const StatusCode st =
        g_store.block == nullptr ? status::kStrOutBound : SetSlot(group, index, text);
    if (st != status::kOk) NoteFirstError(1, step::kStringAssign, status::kLoadString, st);
    return st;
}

StatusCode SlotDelete(SlotGroup group, SlotIndex index) {
    if (g_store.block == nullptr || group >= g_store.config.groups) return status::kStrOutBound;
    std::uint16_t& count = g_store.counts[group];
    // Deleting past the end would first grow the group to reach the slot; there is nothing there.
    if (count == 0 || index >= count) return status::kOk;
    const StatusCode st = SlotSet(group, index, TextRef());
    if (st != status::kOk) return st;
    const std::uint32_t flat = GroupStart(group) + index;
    ForgetOffsetsAfter(flat);
    std::memmove(g_store.lengths + flat, g_store.lengths + flat + 1,
                 (g_store.slotsInUse - flat - 1) * sizeof(std::uint16_t));
    g_store.lengths[g_store.slotsInUse - 1] = 0;
    --g_store.slotsInUse;
    --count;
    return status::kOk;
}

StatusCode SlotClearGroup(SlotGroup group) {
    for (std::uint16_t i = SlotCount(group); i > 0; --i) {
        const StatusCode st = SlotSet(group, static_cast<SlotIndex>(i - 1), TextRef());
        if (st != status::kOk) return st;
    }
    return status::kOk;
}

std::uint16_t SlotCount(SlotGroup group) {
    if (g_store.block == nullptr || group >= g_store.config.groups) return 0;
    return g_store.counts[group];
}

StatusCode SlotPush(SlotGroup group, TextRef text) {
    return SlotSet(group, SlotCount(group), text);
}

TextRef SlotTop(SlotGroup group) {
    const std::uint16_t count = SlotCount(group);
    if (IsQueue(group)) return SlotGet(group, 0);
    return SlotGet(group, static_cast<SlotIndex>(count - 1)); // count 0 reads past the end: empty
}

StatusCode SlotPop(SlotGroup group) {
    const std::uint16_t count = SlotCount(group);
    if (count == 0) return status::kOk;
    return SlotDelete(group, IsQueue(group) ? 0 : static_cast<SlotIndex>(count - 1));
}

StatusCode SlotPopTo(SlotGroup group, std::uint16_t n) {
    while (SlotCount(group) > n) {
        const StatusCode st = SlotPop(group);
        if (st != status::kOk) return st;
    }
    return status::kOk;
}

std::uint32_t SlotFreeBytes() { return g_store.poolCapacity - g_store.bytesInUse; }

std::uint16_t SlotsInUse() { return static_cast<std::uint16_t>(g_store.slotsInUse); }

void SlotStoreSetTablesRelease(TablesReleaseFn release) { g_store.releaseTables = release; }

void SlotStoreSetShutdownWatcher(ShutdownWatcher watcher) { g_shutdownWatcher = watcher; }

InvariantStatus SlotStoreCheckInvariants() {
    const Store& s = g_store;
    if (s.block == nullptr) return {};
    const SlotStoreConfig& c = s.config;
    const std::uint32_t arrays = (std::uint32_t{c.groups} + c.slots) * 2;
    if (reinterpret_cast<char*>(s.counts) != s.block || s.lengths != s.counts + c.groups ||
        s.pool != s.block + arrays || s.poolCapacity != c.bytes - arrays) {
        return InvariantStatus::Broken("invariant 1: the block is not counts, lengths, pool");
    }
    std::uint32_t slots = 0;
    for (SlotGroup g = 0; g < c.groups; ++g) slots += s.counts[g];
    if (slots != s.slotsInUse) {
        return InvariantStatus::Broken("invariant 3: the counts add up to %u slots, %u in use",
                                       unsigned(slots), unsigned(s.slotsInUse));
    }
    if (s.slotsInUse >= c.slots) {
        return InvariantStatus::Broken("invariant 3: %u slots in use of %u", unsigned(s.slotsInUse),
                                       unsigned{c.slots});
    }
    const std::uint32_t bytes = ByteOffset(s.slotsInUse);
    if (bytes != s.bytesInUse) {
        return InvariantStatus::Broken("invariant 2: the lengths add up to %u bytes, %u in use",
                                       unsigned(bytes), unsigned(s.bytesInUse));
    }
    if (s.bytesInUse >= s.poolCapacity) {
        return InvariantStatus::Broken("invariant 3: %u bytes in use of %u", unsigned(s.bytesInUse),
                                       unsigned(s.poolCapacity));
    }
    return {};
}

StatusCode SlotStoreShutdown() {
    if (g_shutdownWatcher != nullptr) g_shutdownWatcher();
    if (g_store.releaseTables != nullptr) g_store.releaseTables();
    if (!PoolReady()) return status::kOk;
    // A sort work area lives until its script kills it, and its handle text is its only
    // reference: areas still open now die with the runtime instead of counting as a leak.
    BlockFreeTag(tag::kSortArea);
    const std::uint16_t live = PoolShutdown(false);
    if (live != tag::kSlotStore) return live;
    BlockFree(tag::kSlotStore, g_store.block);
    g_store =
        Store{g_store.config, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, g_store.releaseTables};
    detail::ScratchShutdown();
    return PoolShutdown(true);
}

} // namespace vodarir
