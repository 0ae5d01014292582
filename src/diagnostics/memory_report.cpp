// Usage advice, snapshot comparison, the usage report and the structures' pointer column.
#include "diagnostics/memory_report.h"

#include <cinttypes>
#include <cstring>

#include "runtime/messages/messages.h"
#include "runtime/store/typed_tables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

namespace {

using namespace literals;

// The most characters one number of the report takes (a 64-bit value in decimal or hex, or a
// pointer with its "0x" and ", ").
constexpr std::size_t kNumberRoom = 24;

// Room for a layout with `numbers` numbers and `texts` bytes of text: TextFormat reserves all of
// it on the ScratchStack, so it is sized, not taken at the 64 KB maximum.
std::uint16_t Room(std::size_t layout, std::size_t numbers, std::size_t texts = 0) {
    const std::size_t n = layout + numbers * kNumberRoom + texts;
    return static_cast<std::uint16_t>(n < kMaxTextLength ? n : kMaxTextLength);
}
constexpr std::uint8_t kHighestThreshold = 255;

// The layout of the report. Numbers are padded with zeros to the widths the layout gives (five
// digits for totals and usage, two for percentages, counts and sizes); longer ones show whole.
constexpr char kHeaderLayout[] =
    "\t\t\t\t M E M O R Y   U S A G E\r\n\t\t\t\tTotal\tUsage\tRelative\t\t\t\r\n"
    "\tStacks (Allocate)\t:\t%05lld\t%05lld\t%02lld %%\r\n"
    "\tBlocks (MemAlloc)\t:\t%05lld\t%05lld\t%02lld %%\r\n"
    "\tAcumulators (max)\t:\t%05lld\t%05lld\t%02lld %%\r\n"
    "\tStrings room     \t:\t%05lld\t%05lld\t%02lld %%\r\n"
    "\r\n\t\t\t\t    S T R U C T U R E S\r\n\t\t\t\t  members\tsize\r\n";
constexpr char kStructureLayout[] = "\t%.*s\t:\t      %02u\t\t %02u. Ptrs: %.*s\r\n";
constexpr char kClosingLayout[] = "\r\n\tScreens (current / total):\t%02u\t%02u"
                                  "\r\n\tWindows (current / total):\t%02u\t%02u";
constexpr char kElementLayout[] = "0x%" PRIxPTR ", ";
constexpr char kEndValueLayout[] = "%08" PRIx32;
constexpr TextRef kVerdicts = " OK., Fail."_t;
constexpr std::uint16_t kVerdictOk = 1;
constexpr std::uint16_t kVerdictFail = 2;
constexpr char kGuardPattern[kGuardSize] = {'\0', '!', '!', '\0'};
constexpr char kAdviceLayout[] = "Memory Advice:%u%% at least wasted";
constexpr TextRef kMismatchMessage = "Memory Struct Comparation do not match"_t;
constexpr TextRef kLineEnd = "\r\n"_t;
// The runtime screens stand above this layer: they tell which screen and window are current.
CurrentScreensFn g_currentScreens = nullptr;

struct Snapshot {
    const BlockEntry* table = nullptr;
    std::uint16_t entryCount = 0;
    std::int16_t liveCount = 0;
    std::uint32_t shapes[kStructureCount] = {};
};

std::uint8_t g_threshold = kInitialAdviceThreshold;
Snapshot g_snapshot;

// Element size in the high half, count in the low half.
std::uint32_t Shape(std::uint16_t table) {
    return (std::uint32_t{TableElementSize(table)} << 16) | TableCount(table);
}

Snapshot Current() {
    const PoolControl pool = PoolSnapshot();
    Snapshot s;
    s.table = pool.table;
    s.entryCount = pool.entryCount;
    s.liveCount = pool.liveCount;
    for (std::uint16_t t = 0; t < kStructureCount; ++t) s.shapes[t] = Shape(t);
    return s;
}

// The pool's figures first, then the structures from the last to the first.
bool SameAsSnapshot(const Snapshot& now) {
    if (now.table != g_snapshot.table || now.entryCount != g_snapshot.entryCount ||
        now.liveCount != g_snapshot.liveCount) {
        return false;
    }
    for (std::uint16_t t = kStructureCount; t-- > 0;) {
        if (now.shapes[t] != g_snapshot.shapes[t]) return false;
    }
    return true;
}

void ShowReport(TextRef message, BoxKind kind) {
    ScratchScope scope;
    MsgBox(UsageReport(message), TextRef(), kind);
}

StatusCode Advise() {
    StatusCode st = PoolUsageAbove(g_threshold);
    if (st == status::kOk) return st;
    const std::uint8_t before = g_threshold;
    g_threshold = before > kHighestThreshold - kAdviceStep ? kHighestThreshold
                                                           : std::uint8_t(before + kAdviceStep);
    if (g_threshold < kAdviceErrorThreshold) st = status::kUndefinedWarning;
    ScratchScope scope;
    ShowReport(TextFormat(Room(sizeof kAdviceLayout, 1), kAdviceLayout, unsigned{before}),
               st == status::kUndefinedWarning ? BoxKind::Warning : BoxKind::Error);
    return st;
}

// acc followed by piece, brought down to one level above mark.
TextRef Append(ScratchLevel mark, TextRef acc, TextRef piece) {
    if (acc.failed()) return acc;
    if (piece.failed()) return ScratchReturn(mark, piece);
    return ScratchReturn(mark, TextConcat(acc, piece));
}

long long Percent(long long usage, long long total) {
    return total <= 0 ? 0 : (usage * 100 + total / 2) / total;
}

// Which statistics fill the rows: the ScratchStack's levels in use now, the pool's blocks, the
// deepest the ScratchStack has been, and the most bytes it has held.
TextRef Header() {
    const PoolControl pool = PoolSnapshot();
    const ScratchDescriptor& s = pool.scratch;
    const long long rows[4][2] = {
        {s.capacity, s.depth},
        {pool.entryCount, pool.liveCount},
        {s.capacity, s.maxDepth},
        {s.dataSize, s.maxBytes},
    };
    return TextFormat(Room(sizeof kHeaderLayout, 12), kHeaderLayout, rows[0][0], rows[0][1],
                      Percent(rows[0][1], rows[0][0]), rows[1][0], rows[1][1],
                      Percent(rows[1][1], rows[1][0]), rows[2][0], rows[2][1],
                      Percent(rows[2][1], rows[2][0]), rows[3][0], rows[3][1],
                      Percent(rows[3][1], rows[3][0]));
}

TextRef StructureLine(std::uint16_t number) {
    ScratchScope scope;
    const std::uint16_t table = static_cast<std::uint16_t>(number - 1);
    const TextRef name = ListItem(TextView(kStructureNames), ',', number);
    const TextRef pointers = StructurePointers(number);
    return scope.Return(TextFormat(Room(sizeof kStructureLayout, 2, name.size() + pointers.size()),
                                   kStructureLayout, int(name.length), name.data,
                                   unsigned{TableCount(table)}, unsigned{TableElementSize(table)},
                                   int(pointers.size()), pointers.data));
}

// The four bytes right after the storage of a table's elements; false when the block is unknown.
bool ValueAfterStorage(std::uint16_t table, char (&bytes)[kGuardSize]) {
    const char* data = static_cast<const char*>(TableGet(table, 0));
    const std::uint32_t size = BlockSize(data);
    if (data == nullptr || size == 0) return false;
    std::memcpy(bytes, data + size, kGuardSize);
    return true;
}

} // namespace

StatusCode MemoryCheck(std::uint8_t mode) {
    switch (mode) {
    case memcheck::kTakeSnapshot:
        g_snapshot = Current();
        return status::kOk;
    case memcheck::kCompareSnapshot:
        if (SameAsSnapshot(Current())) return status::kOk;
        ShowReport(kMismatchMessage, BoxKind::Error);
        return kSnapshotMismatch;
    case memcheck::kAdvice:
        return Advise();
    default:
        if (g_threshold == kInitialAdviceThreshold) g_threshold = mode;
        return Advise();
    }
}

TextRef UsageReport(TextRef prefix) {
    ScratchScope scope;
    const ScratchLevel mark = scope.mark();
    TextRef report = Append(mark, ScratchReturn(mark, prefix), kLineEnd);
    report = Append(mark, report, Header());
    for (std::uint16_t n = 1; n <= kStructureCount; ++n) {
        report = Append(mark, report, StructureLine(n));
    }
    unsigned screen = 0;
    unsigned window = 0;
    if (g_currentScreens != nullptr) g_currentScreens(&screen, &window);
    return scope.Return(Append(mark, report,
                               TextFormat(Room(sizeof kClosingLayout, 4), kClosingLayout, screen,
                                          unsigned{TableCount(table::kScreens)}, window,
                                          unsigned{TableCount(table::kWindows)})));
}

void MemoryReportSetCurrentScreens(CurrentScreensFn fn) { g_currentScreens = fn; }

TextRef StructurePointers(std::uint16_t number) {
    ScratchScope scope;
    const ScratchLevel mark = scope.mark();
    if (number < 1 || number > kStructureCount) return scope.Return(TextRef());
    const std::uint16_t table = static_cast<std::uint16_t>(number - 1);
    const std::uint16_t count = TableCount(table);
    TextRef list = ScratchReturn(mark, TextRef());
    bool failed = false;
    for (std::uint16_t k = 0; k < count; ++k) {
        const void* element = TableGet(table, k);
        failed = failed || element == nullptr;
        if (k >= kListedElements && element != nullptr) continue;
        list = Append(mark, list,
                      TextFormat(Room(sizeof kElementLayout, 1), kElementLayout,
                                 reinterpret_cast<std::uintptr_t>(element)));
    }
    if (count != 0) {
        char bytes[kGuardSize] = {};
        failed = !ValueAfterStorage(table, bytes) || failed;
        std::uint32_t value = 0;
        std::memcpy(&value, bytes, sizeof value);
        list =
            Append(mark, list, TextFormat(Room(sizeof kEndValueLayout, 1), kEndValueLayout, value));
        failed = failed || std::memcmp(bytes, kGuardPattern, kGuardSize) != 0;
    }
    return scope.Return(
        Append(mark, list, ListItem(kVerdicts, ',', failed ? kVerdictFail : kVerdictOk)));
}

std::uint8_t AdviceThreshold() { return g_threshold; }

void MemoryCheckReset() {
    g_threshold = kInitialAdviceThreshold;
    g_snapshot = Snapshot{};
}

} // namespace vodarir
