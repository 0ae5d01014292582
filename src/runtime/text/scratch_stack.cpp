// The ScratchStack: levels, allocation, release and the copy-down of results.
#include "runtime/text/scratch_stack.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "runtime/text/pool_internal.h"

namespace vodarir {

namespace {

ScratchDescriptor& Stack() { return detail::Pool().scratch; }

// The two blocks never move while the stack lives, so their addresses are kept here rather than
// looked up through the handle table on every push and release (the evaluator's hot path).
char* g_dataStart = nullptr;
TextRef* g_levels = nullptr;

char* DataStart() { return g_dataStart; }
TextRef* Levels() { return g_levels; }

void SetLevel(ScratchLevel k, TextRef t) { ::new (&Levels()[k]) TextRef(t); }

bool Overlaps(const char* a, std::size_t an, const char* b, std::size_t bn) {
    return an != 0 && bn != 0 && a < b + bn && b < a + an;
}

} // namespace

namespace detail {

StatusCode ScratchInit(std::uint16_t capacity) {
    ScratchDescriptor& s = Stack();
    s = ScratchDescriptor{};
    g_dataStart = nullptr;
    g_levels = nullptr;
    if (capacity == 0) return status::kOutOfMemory;
    const std::uint32_t dataSize = std::uint32_t{capacity} * 1024;
    s.dataHandle = BlockAllocHandle(tag::kScratch, dataSize, kNoFill);
    s.entryHandle = BlockAllocHandle(tag::kScratch, capacity * sizeof(TextRef), kNoFill);
    if (s.dataHandle == kNoHandle || s.entryHandle == kNoHandle) return status::kOutOfMemory;
    g_dataStart = detail::Pool().table[s.dataHandle].block;
    g_levels = reinterpret_cast<TextRef*>(detail::Pool().table[s.entryHandle].block);
    s.capacity = capacity;
    s.dataSize = dataSize;
    s.nextFree = DataStart();
    SetLevel(0, TextRef(s.nextFree, 0));
    return status::kOk;
}

void ScratchShutdown() {
    ScratchDescriptor& s = Stack();
    PoolControl& pool = Pool();
    if (s.dataHandle != kNoHandle) BlockFree(tag::kScratch, pool.table[s.dataHandle].block);
    if (s.entryHandle != kNoHandle) BlockFree(tag::kScratch, pool.table[s.entryHandle].block);
    s = ScratchDescriptor{};
    g_dataStart = nullptr;
    g_levels = nullptr;
}

} // namespace detail

ScratchLevel ScratchRelease(ScratchLevel mark) {
    ScratchDescriptor& s = Stack();
    // Only a live level can be released to: entries above the depth are stale (or were never
    // written), and trusting one would point next-free outside the data block.
    if (mark < s.capacity && mark <= s.depth) {
        const TextRef level = Levels()[mark];
        s.nextFree = const_cast<char*>(level.data) + Align4(level.length);
        s.depth = mark;
    }
    return s.depth;
}

StatusCode ScratchAlloc(std::uint32_t length, std::uint8_t fill) {
    ScratchDescriptor& s = Stack();
    // Read once into locals: the level written below could alias the descriptor as far as the
    // compiler knows, and every allocation of the evaluator passes through here.
    const std::uint32_t capacity = s.capacity;
    if (capacity == 0) return status::kOutOfMemory;
    if (length > kMaxTextLength) return status::kStringTooLong;
    char* const start = DataStart();
    char* const bytes = s.nextFree;
    const std::uint32_t newUsed = static_cast<std::uint32_t>(bytes - start) + Align4(length);
    const std::uint32_t depth = std::uint32_t{s.depth} + 1;
    if (newUsed >= s.dataSize || depth >= capacity) return status::kOutOfMemory;
    SetLevel(static_cast<ScratchLevel>(depth), TextRef(bytes, static_cast<std::uint16_t>(length)));
    s.depth = static_cast<ScratchLevel>(depth);
    s.nextFree = start + newUsed;
    if (depth > s.maxDepth) s.maxDepth = static_cast<std::uint16_t>(depth);
    if (newUsed > s.maxBytes) s.maxBytes = newUsed;
    if (fill != kNoFill) std::memset(bytes, fill, length);
    return status::kOk;
}

TextRef ScratchTop() {
    const ScratchDescriptor& s = Stack();
    if (s.capacity == 0) return TextRef::Failed(status::kOutOfMemory);
    return Levels()[s.depth];
}

TextRef ScratchAllocText(std::uint32_t length, std::uint8_t fill) {
    const StatusCode st = ScratchAlloc(length, fill);
    return st == status::kOk ? ScratchTop() : TextRef::Failed(st);
}

char* ScratchAllocPtr(std::uint32_t length, std::uint8_t fill) {
    return ScratchAlloc(length, fill) == status::kOk ? Levels()[Stack().depth].mutableData()
                                                     : nullptr;
}

StatusCode ScratchPush(TextRef text) {
    if (text.failed()) return text.status();
    // The source may lie in the released part of the stack, right where the new level goes: the
    // allocation leaves the bytes alone and memmove copies them down safely.
    const StatusCode st = ScratchAlloc(text.length, kNoFill);
    if (st != status::kOk) return st;
    std::memmove(ScratchTop().mutableData(), text.data, text.length);
    return status::kOk;
}

StatusCode ScratchConcat(TextRef a, TextRef b) {
    if (a.failed()) return a.status();
    if (b.failed()) return b.status();
    const std::uint32_t total = std::uint32_t{a.length} + b.length;
    if (total > kMaxTextLength) return status::kStringTooLong;
    const StatusCode st = ScratchAlloc(total, kNoFill);
    if (st != status::kOk) return st;
    char* dest = ScratchTop().mutableData();
    // Writing a first would destroy b when b's bytes lie where a goes; copy b out of the way then.
    // Only results handed down after a release can overlap like that, so this stays rare.
    static char stage[kMaxTextLength];
    const char* bSource = b.data;
    if (Overlaps(dest, a.length, b.data, b.length)) {
        std::memcpy(stage, b.data, b.length);
        bSource = stage;
    }
    std::memmove(dest, a.data, a.length);
    std::memmove(dest + a.length, bSource, b.length);
    return status::kOk;
}

TextRef ScratchReturn(ScratchLevel mark, TextRef text) {
    // A result that already is the level just above mark (a value left in place) is not copied
    // onto itself: only the levels above it go.
    const ScratchDescriptor& s = Stack();
    if (mark < s.depth && !text.failed()) {
        const TextRef above = Levels()[mark + 1];
        if (above.data == text.data && above.length == text.length) {
            ScratchRelease(static_cast<ScratchLevel>(mark + 1));
            return text;
        }
    }
    ScratchRelease(mark);
    const StatusCode st = ScratchPush(text);
    return st == status::kOk ? ScratchTop() : TextRef::Failed(st);
}

StatusCode ScratchReturnMany(ScratchLevel mark, std::initializer_list<TextRef*> results) {
    for (TextRef* r : results) {
        if (r->failed()) {
            ScratchRelease(mark);
            return r->status();
        }
    }
    // Where each copy will land once released to mark; a later result whose bytes lie under an
    // earlier copy would be overwritten before it is copied.
    const char* land = nullptr;
    {
        const ScratchDescriptor& s = Stack();
        const ScratchLevel m = std::min<ScratchLevel>(mark, s.depth);
        const TextRef level = Levels()[m];
        land = level.data + Align4(level.length);
    }
    bool clash = false;
    const char* at = land;
    for (auto it = results.begin(); it != results.end() && !clash; ++it) {
        for (auto later = it + 1; later != results.end(); ++later) {
            if (Overlaps(at, (*it)->length, (*later)->data, (*later)->length)) clash = true;
        }
        at += Align4((*it)->length);
    }
    if (clash) {
        // Stage every result on top first: the staged copies lie in list order above all the
        // landing places, so copying them down in order never overwrites one still to come.
        for (TextRef* r : results) {
            const StatusCode st = ScratchPush(*r);
            if (st != status::kOk) {
                ScratchRelease(mark);
                return st;
            }
            *r = ScratchTop();
        }
    }
    ScratchRelease(mark);
    for (TextRef* r : results) {
        const StatusCode st = ScratchPush(*r);
        if (st != status::kOk) return st;
        *r = ScratchTop();
    }
    return status::kOk;
}

std::uint32_t ScratchFreeBytes() {
    const ScratchDescriptor& s = Stack();
    if (s.capacity == 0) return 0;
    return s.dataSize - static_cast<std::uint32_t>(s.nextFree - DataStart()) - 4;
}

TextRef ScratchFree() {
    const std::uint32_t n = ScratchFreeBytes();
    return TextRef(Stack().nextFree,
                   static_cast<std::uint16_t>(std::min<std::uint32_t>(n, kMaxTextLength)));
}

ScratchLevel ScratchDepth() { return Stack().depth; }

InvariantStatus ScratchCheckInvariants() {
    const ScratchDescriptor& s = Stack();
    if (s.capacity == 0) return {};
    const char* const start = DataStart();
    const TextRef* const levels = Levels();
    if (start == nullptr || levels == nullptr) {
        return InvariantStatus::Broken("scratch stack: capacity %u without its blocks",
                                       unsigned{s.capacity});
    }
    if (s.depth >= s.capacity) {
        return InvariantStatus::Broken("invariant 3: depth %u, capacity %u", unsigned{s.depth},
                                       unsigned{s.capacity});
    }
    if (levels[0].data != start || levels[0].length != 0) {
        return InvariantStatus::Broken("invariant 1: level 0 is not (start of data, 0)");
    }
    for (std::uint32_t k = 1; k <= s.depth; ++k) {
        const TextRef below = levels[k - 1];
        if (levels[k].data != below.data + Align4(below.length)) {
            return InvariantStatus::Broken(
                "invariant 1: level %u starts %td bytes from the end of level %u", unsigned(k),
                levels[k].data - (below.data + Align4(below.length)), unsigned(k - 1));
        }
    }
    const TextRef top = levels[s.depth];
    if (s.nextFree != top.data + Align4(top.length)) {
        return InvariantStatus::Broken(
            "invariant 2: next free lies %td bytes from the end of level "
            "%u",
            s.nextFree - (top.data + Align4(top.length)), unsigned{s.depth});
    }
    if (s.nextFree >= start + s.dataSize) {
        return InvariantStatus::Broken("invariant 2: next free is %td bytes past the data",
                                       s.nextFree - (start + s.dataSize));
    }
    return {};
}

} // namespace vodarir
