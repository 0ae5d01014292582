// The tagged block pool: allocation, guarded free, growth, bounded writes and the leak count.
#include "runtime/text/block_pool.h"

#include <cstdlib>
#include <cstring>

#include "runtime/text/pool_internal.h"

namespace vodarir {

using detail::g_pool;

namespace {

constexpr char kGuard[kGuardSize] = {'\0', '!', '!', '\0'};

int g_allocationsAllowed = -1; // test seam: -1 means no injected failure

bool AllocationRefused() {
    if (g_allocationsAllowed < 0) return false;
    if (g_allocationsAllowed == 0) return true;
    --g_allocationsAllowed;
    return false;
}

BlockEntry* EntryOf(const void* block) {
    if (block == nullptr || g_pool.table == nullptr) return nullptr;
    for (std::uint16_t i = 0; i < g_pool.entryCount; ++i) {
        if (g_pool.table[i].block == block) return &g_pool.table[i];
    }
    return nullptr;
}

void ReleaseEntry(BlockEntry& entry) {
    std::free(entry.block);
    entry = BlockEntry{};
}

} // namespace

namespace detail {
PoolControl g_pool;
} // namespace detail

void PoolConfigure(std::uint16_t scratchSize, std::uint16_t, std::uint16_t handleCapacity) {
    if (g_pool.table != nullptr) return;
    if (scratchSize != kKeepValue) g_pool.scratchSize = scratchSize;
    if (handleCapacity != kKeepValue) g_pool.handleCapacity = handleCapacity;
}

bool PoolReady() { return g_pool.table != nullptr; }

StatusCode PoolInit() {
    if (g_pool.table != nullptr) return status::kOk;
    if (g_pool.handleCapacity == 0 || AllocationRefused()) return status::kOutOfMemory;
    auto* table = static_cast<BlockEntry*>(std::calloc(g_pool.handleCapacity, sizeof(BlockEntry)));
    if (table == nullptr) return status::kOutOfMemory;
    g_pool.table = table;
    g_pool.entryCount = g_pool.handleCapacity;
    g_pool.liveCount = 0;
    const StatusCode st = detail::ScratchInit(g_pool.scratchSize);
    if (st != status::kOk) {
        PoolShutdown(true);
        return st;
    }
    return status::kOk;
}

BlockHandle BlockAllocHandle(std::uint16_t tag, std::uint32_t size, std::uint8_t fill) {
    ++g_pool.liveCount;
    if (g_pool.table == nullptr) return kNoHandle;
    for (std::uint16_t i = 0; i < g_pool.entryCount; ++i) {
        BlockEntry& entry = g_pool.table[i];
        if (entry.block != nullptr) continue;
        if (AllocationRefused()) return kNoHandle;
        char* block = static_cast<char*>(std::malloc(std::size_t{size} + kGuardSize));
        if (block == nullptr) return kNoHandle;
        std::memcpy(block + size, kGuard, kGuardSize);
        if (fill != kNoFill) std::memset(block, fill, size);
        entry = BlockEntry{tag, size, block};
        return i;
    }
    return kNoHandle;
}

char* BlockAlloc(std::uint16_t tag, std::uint32_t size) {
    const BlockHandle h = BlockAllocHandle(tag, size, 0);
    return h == kNoHandle ? nullptr : g_pool.table[h].block;
}

StatusCode BlockFreeHandle(std::uint16_t tag, BlockHandle handle) {
    if (g_pool.table == nullptr || handle >= g_pool.entryCount) return status::kData;
    BlockEntry& entry = g_pool.table[handle];
    // An unused entry is as invalid as one beyond the table: there is no guard to check.
    if (entry.block == nullptr) return status::kData;
    if (std::memcmp(entry.block + entry.size, kGuard, kGuardSize) != 0) {
        return status::kMemoryOverflow;
    }
    if (entry.tag != tag) return status::kInternal;
    ReleaseEntry(entry);
    return status::kOk;
}

StatusCode BlockFree(std::uint16_t tag, const void* block) {
    BlockEntry* entry = EntryOf(block);
    if (entry == nullptr) return status::kMemoryAlloc;
    --g_pool.liveCount;
    return BlockFreeHandle(tag, static_cast<BlockHandle>(entry - g_pool.table));
}

std::uint16_t BlockFreeTag(std::uint16_t tag) {
    std::uint16_t freed = 0;
    for (std::uint16_t i = 0; i < g_pool.entryCount; ++i) {
        const BlockEntry& entry = g_pool.table[i];
        if (entry.block != nullptr && entry.tag == tag && BlockFree(tag, entry.block) == 0) ++freed;
    }
    return freed;
}

char* BlockRealloc(std::uint16_t tag, char* old, std::uint32_t oldLength, std::uint32_t newSize) {
    if (oldLength > newSize) return nullptr;
    if (old != nullptr && EntryOf(old) == nullptr) return nullptr;
    char* grown = BlockAlloc(tag, newSize);
    if (grown == nullptr) return nullptr;
    if (old != nullptr) {
        std::memcpy(grown, old, oldLength);
        BlockFree(tag, old);
    }
    return grown;
}

StatusCode BlockWrite(std::uint16_t, char* block, std::uint32_t offset, TextRef source) {
    if (source.failed()) return source.status();
    const BlockEntry* entry = EntryOf(block);
    if (entry == nullptr) return status::kDataOutBound;
    if (std::uint64_t{offset} + source.length > entry->size) return status::kDataOutBound;
    std::memmove(block + offset, source.data, source.length);
    return status::kOk;
}

std::uint32_t BlockSize(const void* block) {
    const BlockEntry* entry = EntryOf(block);
    return entry == nullptr ? 0 : entry->size;
}

StatusCode PoolUsageAbove(std::uint16_t percent) {
    if (g_pool.entryCount == 0) return status::kOk;
    const long usage = long{g_pool.liveCount} * 100 / g_pool.entryCount;
    return usage > percent ? status::kOutOfMemory : status::kOk;
}

std::uint16_t PoolCount(std::uint16_t from, std::uint16_t to, PoolTally what,
                        std::uint16_t* firstTag) {
    if (to > g_pool.entryCount) to = g_pool.entryCount;
    if (from >= to) return 0;
    if (what == PoolTally::Range) return static_cast<std::uint16_t>(to - from);
    std::uint16_t used = 0;
    for (std::uint16_t i = from; i < to; ++i) {
        if (g_pool.table[i].block == nullptr) continue;
        ++used;
        if (firstTag != nullptr) *firstTag = g_pool.table[i].tag;
    }
    return what == PoolTally::Free ? static_cast<std::uint16_t>(to - from - used) : used;
}

std::uint16_t PoolShutdown(bool force) {
    std::uint16_t highestTag = 0;
    for (std::uint16_t i = 0; i < g_pool.entryCount; ++i) {
        if (g_pool.table[i].block != nullptr) highestTag = g_pool.table[i].tag;
    }
    if (highestTag != 0 && !force) return highestTag;
    for (std::uint16_t i = 0; i < g_pool.entryCount; ++i) {
        if (g_pool.table[i].block != nullptr) ReleaseEntry(g_pool.table[i]);
    }
    std::free(g_pool.table);
    g_pool.table = nullptr;
    g_pool.entryCount = 0;
    g_pool.liveCount = 0;
    g_pool.scratch = ScratchDescriptor{};
    return highestTag;
}

PoolControl PoolSnapshot() { return g_pool; }

void PoolFailAllocationsAfter(int allowed) { g_allocationsAllowed = allowed; }

} // namespace vodarir
