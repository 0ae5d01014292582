// Sort work areas: handle encoding and checks, ordered insertion, moves, reads, release and the
// one-step list sort.
//
// Invariants of an area a handle names (SortCheck enforces them before any access):
//  1. buffer is a live pool block of tag kSortAreaTag and BlockSize(buffer) == capacity.
//  2. entryLength >= 1, keyLength <= entryLength, used == count × entryLength <= capacity.
//  3. Entries lie end to end from buffer[0], each entryLength bytes, in key order (ascending, or
//     descending with sortflag::kDescending); entries with equal keys keep their insertion order.
#include "dictionary/sort_areas.h"

#include <algorithm>
#include <cstring>

#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

constexpr std::size_t kPointerField = 0;
constexpr std::size_t kPointerWidth = 8;
constexpr std::size_t kUsedField = 8;
constexpr std::size_t kCapacityField = 10;
constexpr std::size_t kStatusField = 12;
constexpr std::size_t kKeyField = 14;
constexpr std::size_t kEntryField = 16;
constexpr std::size_t kCountField = 18;
constexpr std::size_t kPositionField = 20;
constexpr std::size_t kFlagsField = 22;
static_assert(sizeof(char*) <= kPointerWidth, "a buffer pointer must fit its handle field");
static_assert(kFlagsField < kSortHandleSize);

constexpr std::uint32_t kMaxAreaBytes = kMaxTextLength;
constexpr char kPad = ' ';
constexpr char kListSeparator = ',';

std::uint16_t Get16(const SortHandle& h, std::size_t at) {
    std::uint16_t v = 0;
    std::memcpy(&v, h.bytes + at, sizeof v);
    return v;
}

void Put16(SortHandle* h, std::size_t at, std::uint16_t v) {
    std::memcpy(h->bytes + at, &v, sizeof v);
}

// The live pool block that starts at p, or null.
const BlockEntry* PoolEntryOf(const void* p) {
    const PoolControl pool = PoolSnapshot();
    if (p == nullptr || pool.table == nullptr) return nullptr;
    for (std::uint16_t i = 0; i < pool.entryCount; ++i) {
        if (pool.table[i].block == p) return &pool.table[i];
    }
    return nullptr;
}

bool Consistent(const SortArea& a) {
    const BlockEntry* entry = PoolEntryOf(a.buffer);
    if (entry == nullptr || entry->tag != kSortAreaTag || entry->size != a.capacity) return false;
    if (BlockSize(a.buffer) != a.capacity) return false;
    if (a.entryLength == 0 || a.keyLength > a.entryLength) return false;
    return std::uint32_t{a.count} * a.entryLength == a.used && a.used <= a.capacity;
}

// The key order: negative when entry sorts before key, 0 for an equal key.
int Order(const SortArea& a, const char* entry, const char* key) {
    const int c = a.keyLength == 0 ? 0 : std::memcmp(entry, key, a.keyLength);
    return (a.flags & sortflag::kDescending) != 0 ? -c : c;
}

char* EntryAt(const SortArea& a, std::uint32_t index) { return a.buffer + index * a.entryLength; }

// Where an entry whose key starts `key` goes, and the search result.
struct Placement {
    StatusCode result = sortadd::kAtEnd;
    std::uint16_t index = 0;
};

Placement Place(const SortArea& a, const char* key) {
    std::uint32_t i = 0;
    while (i < a.count && Order(a, EntryAt(a, i), key) < 0) ++i;
    if (i == a.count) return {sortadd::kAtEnd, a.count};
    if (Order(a, EntryAt(a, i), key) > 0) return {sortadd::kBefore, static_cast<std::uint16_t>(i)};
    while (i < a.count && Order(a, EntryAt(a, i), key) == 0) ++i;
    return {sortadd::kAfterEqual, static_cast<std::uint16_t>(i)};
}

// Makes room for one more entry; false with *st set when the buffer cannot hold it.
bool Reserve(SortArea* a, StatusCode* st) {
    const std::uint32_t needed = std::uint32_t{a->used} + a->entryLength;
    if (needed <= a->capacity) return true;
    if (needed > kMaxAreaBytes) {
        *st = status::kStringTooLong;
        return false;
    }
    const std::uint32_t room = std::min(needed * 2, kMaxAreaBytes);
    char* grown = BlockRealloc(kSortAreaTag, a->buffer, a->used, room);
    if (grown == nullptr) {
        *st = status::kOutOfMemory;
        return false;
    }
    a->buffer = grown;
    a->capacity = static_cast<std::uint16_t>(room);
    return true;
}

void Store(SortHandle* handle, SortArea area, StatusCode st) {
    area.status = st;
    *handle = SortHandleOf(area);
}

} // namespace

SortArea SortAreaOf(const SortHandle& h) {
    SortArea a;
    std::memcpy(&a.buffer, h.bytes + kPointerField, sizeof a.buffer);
    a.used = Get16(h, kUsedField);
    a.capacity = Get16(h, kCapacityField);
    a.status = Get16(h, kStatusField);
    a.keyLength = Get16(h, kKeyField);
    a.entryLength = Get16(h, kEntryField);
    a.count = Get16(h, kCountField);
    a.position = Get16(h, kPositionField);
    a.flags = static_cast<std::uint8_t>(h.bytes[kFlagsField]);
    return a;
}

SortHandle SortHandleOf(const SortArea& a) {
    SortHandle h;
    std::memcpy(h.bytes + kPointerField, &a.buffer, sizeof a.buffer);
    Put16(&h, kUsedField, a.used);
    Put16(&h, kCapacityField, a.capacity);
    Put16(&h, kStatusField, a.status);
    Put16(&h, kKeyField, a.keyLength);
    Put16(&h, kEntryField, a.entryLength);
    Put16(&h, kCountField, a.count);
    Put16(&h, kPositionField, a.position);
    h.bytes[kFlagsField] = static_cast<char>(a.flags);
    return h;
}

StatusCode SortCheck(const SortHandle& handle) {
    return Consistent(SortAreaOf(handle)) ? status::kOk : status::kSyntax;
}

StatusCode SortHandleFromText(TextRef text, SortHandle* handle) {
    if (text.size() != kSortHandleSize) return status::kSyntax;
    std::memcpy(handle->bytes, text.data, kSortHandleSize);
    return SortCheck(*handle);
}

StatusCode SortNew(int a, int b, std::uint8_t flags, SortHandle* handle) {
    const int entry = std::max(a, b);
    const int key = std::min(a, b);
    if (key < 0 || entry < 1 || entry > int{kMaxAreaBytes}) return status::kDataOutBound;
    // a may be the key length; a first insertion grows a buffer too small for one entry.
    const std::uint32_t room = std::min(std::uint32_t(a) * kSortInitialRoomFactor, kMaxAreaBytes);
    char* buffer = BlockAlloc(kSortAreaTag, room);
    if (buffer == nullptr) return status::kOutOfMemory;
    SortArea area;
    area.buffer = buffer;
    area.capacity = static_cast<std::uint16_t>(room);
    area.keyLength = static_cast<std::uint16_t>(key);
    area.entryLength = static_cast<std::uint16_t>(entry);
    area.flags = flags;
    *handle = SortHandleOf(area);
    return status::kOk;
}

StatusCode SortAdd(SortHandle* handle, TextRef text) {
    if (SortCheck(*handle) != status::kOk) return status::kSyntax;
    SortArea a = SortAreaOf(*handle);
    if (text.failed()) return text.status();
    if (text.length > a.entryLength) {
        Store(handle, a, status::kData);
        return status::kData;
    }
    // The padded entry is built in place only after the search, so the key is compared from a
    // copy of its own: text may lie in the buffer itself (a script adding what it just read).
    ScratchScope scope;
    char* padded = ScratchAllocPtr(a.entryLength, static_cast<std::uint8_t>(kPad));
    if (padded == nullptr) return status::kOutOfMemory;
    std::memcpy(padded, text.data, text.length);
    const Placement at = Place(a, padded);
    StatusCode st = at.result;
    if (st == sortadd::kAfterEqual && (a.flags & sortflag::kUnique) != 0) {
        st = sortadd::kDuplicate;
    } else if (Reserve(&a, &st)) {
        char* slot = EntryAt(a, at.index);
        std::memmove(slot + a.entryLength, slot, a.used - std::uint32_t{at.index} * a.entryLength);
        std::memcpy(slot, padded, a.entryLength);
        a.used = static_cast<std::uint16_t>(a.used + a.entryLength);
        ++a.count;
        a.position = at.index;
    }
    Store(handle, a, st);
    return st;
}

StatusCode SortMove(SortHandle* handle, std::uint16_t code) {
    if (SortCheck(*handle) != status::kOk) return status::kSyntax;
    SortArea a = SortAreaOf(*handle);
    switch (code & sortmove::kMask) {
    case sortmove::kNext:
        ++a.position;
        break;
    case sortmove::kPrevious:
        --a.position; // from 0 this wraps past the count and so reads as out of range
        break;
    case sortmove::kLast:
        a.position = static_cast<std::uint16_t>(a.count - 1);
        break;
    case sortmove::kFirst:
        a.position = 0;
        break;
    default:
        break;
    }
    StatusCode st = status::kOk;
    if (a.position >= a.count) {
        st = kSortOutOfRange;
        a.position = a.count == 0 ? 0 : static_cast<std::uint16_t>(a.count - 1);
    }
    Store(handle, a, st);
    return st;
}

TextRef SortGet(const SortHandle& handle) {
    if (SortCheck(handle) != status::kOk) return TextRef::Failed(status::kSyntax);
    const SortArea a = SortAreaOf(handle);
    if (a.position >= a.count) return TextRef();
    return TextRef(EntryAt(a, a.position), a.entryLength);
}

StatusCode SortKill(const SortHandle& handle) {
    if (SortCheck(handle) != status::kOk) return status::kSyntax;
    return BlockFree(kSortAreaTag, SortAreaOf(handle).buffer);
}

TextRef SortList(TextRef list, std::uint8_t flags) {
    if (list.failed()) return list;
    ScratchScope scope;
    const std::uint16_t items = ListCount(list, kListSeparator);
    std::uint16_t longest = 0;
    for (std::uint16_t n = 1; n <= items; ++n) {
        longest = std::max(longest, ListItem(list, kListSeparator, n).length);
    }
    if (longest == 0) return scope.Return(TextRef());
    SortHandle handle;
    StatusCode st = SortNew(longest, longest, flags, &handle);
    if (st != status::kOk) return scope.Return(TextRef::Failed(st));
    for (std::uint16_t n = 1; n <= items && st < status::kFirstError; ++n) {
        st = SortAdd(&handle, ListItem(list, kListSeparator, n));
    }
    TextRef result = st >= status::kFirstError ? TextRef::Failed(st) : TextRef();
    if (st < status::kFirstError && SortAreaOf(handle).count > 0) {
        const SortArea a = SortAreaOf(handle);
        const std::uint32_t length = std::uint32_t{a.count} * (a.entryLength + 1u) - 1u;
        result = length > kMaxTextLength ? TextRef::Failed(status::kStringTooLong)
                                         : ScratchAllocText(length, kNoFill);
        for (std::uint16_t i = 0; !result.failed() && i < a.count; ++i) {
            char* out = result.mutableData() + std::uint32_t{i} * (a.entryLength + 1u);
            std::memcpy(out, EntryAt(a, i), a.entryLength);
            if (i + 1u < a.count) out[a.entryLength] = kListSeparator;
        }
    }
    SortKill(handle);
    return scope.Return(result);
}

} // namespace vodarir
