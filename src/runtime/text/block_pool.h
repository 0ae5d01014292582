// The block pool: a fixed table of numbered heap blocks, each tagged with its owner and closed by
// a guard pattern that is checked when the block is freed.
//
// Ownership: a block belongs to whoever allocated it under its tag; it must be freed with the same
// tag. Pointers handed out stay valid until that free (or a forced PoolShutdown).
//
// Invariants:
//  1. An entry is free exactly when its block pointer is null; a handle is the entry's index.
//  2. Every live block is followed by the four guard bytes "\0!!\0".
//  3. The live count rises with every BlockAllocHandle call (also a refused one) and falls with
//     every BlockFree call that finds its block, so a non-zero balance at the end means a leak.
//  4. PoolConfigure only takes effect before PoolInit; PoolInit is the only place the handle
//     table and the ScratchStack blocks are created.
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

using BlockHandle = std::uint16_t;
inline constexpr BlockHandle kNoHandle = 0xFFFF;
// A fill byte of 255 leaves fresh memory as it is.
inline constexpr std::uint8_t kNoFill = 255;
inline constexpr std::uint16_t kKeepValue = 0xFFFF;

// Owner tags.
namespace tag {
inline constexpr std::uint16_t kScratch = 2;
inline constexpr std::uint16_t kSlotStore = 3;
inline constexpr std::uint16_t kTypedTable = 29;
inline constexpr std::uint16_t kArray = 33;
inline constexpr std::uint16_t kSortArea = 34; // the entries of a script's sort work area
} // namespace tag

inline constexpr std::uint16_t kDefaultHandleCapacity = 64;
inline constexpr std::uint16_t kDefaultScratchSize = 48;
inline constexpr std::uint32_t kGuardSize = 4;

struct BlockEntry {
    std::uint16_t tag = 0;
    std::uint32_t size = 0;
    char* block = nullptr;
};

struct ScratchDescriptor {
    BlockHandle dataHandle = kNoHandle;
    BlockHandle entryHandle = kNoHandle;
    std::uint16_t capacity = 0; // levels, and kilobytes of data
    std::uint16_t depth = 0;
    std::uint16_t maxDepth = 0;
    std::uint32_t maxBytes = 0;
    char* nextFree = nullptr;
    std::uint32_t dataSize = 0;
};

struct PoolControl {
    std::uint16_t handleCapacity = kDefaultHandleCapacity;
    std::uint16_t scratchSize = kDefaultScratchSize;
    BlockEntry* table = nullptr;
    std::uint16_t entryCount = 0;
    std::int16_t liveCount = 0;
    ScratchDescriptor scratch;
};

// 0xFFFF in either argument keeps the current value. Only before PoolInit.
void PoolConfigure(std::uint16_t scratchSize, std::uint16_t ignored, std::uint16_t handleCapacity);
// Creates the handle table and the ScratchStack; kOutOfMemory when memory is refused. 0 when
// already done.
StatusCode PoolInit();
bool PoolReady();

BlockHandle BlockAllocHandle(std::uint16_t tag, std::uint32_t size, std::uint8_t fill);
char* BlockAlloc(std::uint16_t tag, std::uint32_t size);
// kData handle beyond the table or unused; kMemoryOverflow guard damaged; kInternal wrong tag.
StatusCode BlockFreeHandle(std::uint16_t tag, BlockHandle handle);
// kMemoryAlloc when no entry holds the pointer; otherwise lowers the live count and frees as above.
StatusCode BlockFree(std::uint16_t tag, const void* block);
// Frees every live block of tag, as BlockFree does; answers how many there were.
std::uint16_t BlockFreeTag(std::uint16_t tag);
// Grows a block: new zero-filled block of newSize, the first oldLength bytes copied, old freed.
// Null (and the old block untouched) when oldLength exceeds newSize or memory is refused.
char* BlockRealloc(std::uint16_t tag, char* old, std::uint32_t oldLength, std::uint32_t newSize);
// kDataOutBound when the block is not in the table or the text would not fit at offset.
StatusCode BlockWrite(std::uint16_t tag, char* block, std::uint32_t offset, TextRef source);
// Size of a block in the table, 0 when unknown.
std::uint32_t BlockSize(const void* block);

StatusCode PoolUsageAbove(std::uint16_t percent);
// What PoolCount counts in [from, to).
enum class PoolTally {
    Used = 1,  // the used entries
    Free = 2,  // the free ones
    Range = 3, // every entry of the range (the range's size)
};
// firstTag receives the tag of the highest used entry in the range (unchanged when none, and
// by Range, which looks at no entry).
std::uint16_t PoolCount(std::uint16_t from, std::uint16_t to, PoolTally what,
                        std::uint16_t* firstTag);
// The tag of the highest-numbered live block (0 when none). Without force nothing is freed while a
// block is live; with force (or when none is) every block and then the table are freed.
std::uint16_t PoolShutdown(bool force);
PoolControl PoolSnapshot();

// Test seam: after `allowed` further successful allocations, refuse every allocation until reset
// with -1. Lets tests prove that a refused allocation loses nothing.
void PoolFailAllocationsAfter(int allowed);

} // namespace vodarir
