// Fuzz target: arbitrary bytes through the list, search, replace and option operations, checking
// the properties that tie them together and the scratch level discipline.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "fuzz_input.h"
#include "runtime/store/slot_store.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {
namespace {

using fuzz::Require;

using namespace literals;

bool Same(TextRef a, TextRef b) { return a.view() == b.view(); }

bool HasAny(TextRef t, std::string_view bytes) {
    return t.view().find_first_of(bytes) != std::string_view::npos;
}

using fuzz::Input;

void CheckSearches(TextRef t, char ch, std::uint16_t from) {
    const std::uint16_t plain = TextFindChr(t, from, ch, true);
    const std::uint16_t skipping = TextFindChr(t, from, ch, false);
    if (skipping != kNotFound) {
        Require(skipping >= from && skipping < t.length && t.data[skipping] == ch);
        Require(plain != kNotFound && plain <= skipping);
    }
    const TextRef between = TextBetween(t, ch, false);
    Require(between.data >= t.data && between.data + between.length <= t.data + t.length);
    const std::uint16_t last = TextFindLast(t, TextRef(&ch, 1), LastOf::FirstByte);
    Require(last == kNotFound ? plain == kNotFound || from > 0 : t.data[last] == ch);
}

void CheckList(TextRef list, char sep, std::uint16_t n, TextRef value) {
    ScratchScope scope;
    const ScratchLevel mark = scope.mark();
    const std::uint16_t count = ListCount(list, sep);
    const TextArray parts = ListSplit(list, sep);
    Require(ScratchDepth() == mark + 1);
    if (parts.items != nullptr) {
        Require(parts.count == count);
        const char* expect = list.data;
        for (std::uint16_t i = 1; i <= count; ++i) {
            const TextRef item = TextArrayGet(parts, i);
            Require(Same(item, ListItem(list, sep, i)) && item.data == expect);
            expect = item.data + item.length + 1;
            const std::uint16_t found = ListFind(list, item, sep);
            Require(found >= 1 && found <= i);
        }
    }
    scope.Release();

    // Setting an item reads back, when neither the list nor the value can shift the boundaries
    // (and the separator is no quote, which quote skipping would never find).
    const bool plainItems = sep != '\'' && sep != '"' && !HasAny(list, "'\"") &&
                            !HasAny(value, "'\"") &&
                            std::memchr(value.data, sep, value.length) == nullptr;
    const TextRef set = ListSetItem(list, sep, n, value);
    if (!set.failed() && plainItems && n > 0) Require(Same(ListItem(set, sep, n), value));
    scope.Release();
    const TextRef cut = ListSetItem(list, sep, -static_cast<int>(n), ""_t);
    Require(!cut.failed() && ScratchDepth() == mark + 1);
    // One item fewer, except that the list left with one empty item is the empty text, which
    // counts as no items.
    if (plainItems && n >= 1 && n <= count) {
        Require(ListCount(cut, sep) == count - 1 || (cut.length == 0 && count == 2));
    }
    scope.Release();

    const TextRef both = ListUnion(list, value, sep);
    if (!both.failed()) {
        const TextRef rest = ListMinus(both, list, sep);
        Require(!rest.failed());
        // Whatever the union added is absent from the list.
        const std::uint16_t added = ListCount(rest, sep);
        for (std::uint16_t i = 1; i <= added; ++i) {
            const TextRef item = ListItem(rest, sep, i);
            Require(ListFind(list, item, sep) == 0);
        }
    }
}

void CheckReplace(TextRef t, TextRef oldText, TextRef newText, bool plain) {
    ScratchScope scope;
    const ScratchLevel mark = scope.mark();
    const TextRef same = TextReplace(t, oldText, oldText, plain);
    Require(same.failed() || Same(same, t));
    const TextRef r = TextReplace(t, oldText, newText, plain);
    if (!r.failed()) {
        Require(ScratchDepth() == mark + 2);
        const TextRef squeezed = TextSqueeze(r, ' ', true);
        Require(squeezed.view().find("  ") == std::string_view::npos);
    } else {
        Require(r.status() == status::kMemTest && ScratchDepth() == mark + 1);
    }
}

bool SafeKey(TextRef key) {
    if (key.length == 0) return false;
    for (std::uint16_t i = 0; i < key.length; ++i) {
        const char c = key.data[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

void CheckOptions(TextRef t, TextRef key, TextRef value) {
    ScratchScope scope;
    const ScratchLevel mark = scope.mark();
    const TextRef got = TextOptGet(t, key);
    Require(!got.failed() && ScratchDepth() == mark + 1);
    const TextRef set = TextOptSet(t, key, value);
    if (!set.failed() && SafeKey(key) && !HasAny(value, ": &/'\"")) {
        Require(Same(TextOptGet(set, key), TextClean(value)));
    }
}

void CheckFormat(TextRef t, std::uint16_t maximum) {
    ScratchScope scope;
    const char* s = TextCStr(t);
    const std::size_t n = std::strlen(s);
    const TextRef f = TextFormat(maximum, "%s", s);
    Require(f.failed() == (n > maximum));
    Require(f.failed() || std::memcmp(f.data, s, n) == 0);
}

bool g_started = false;

} // namespace
} // namespace vodarir

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vodarir;
    if (!g_started) {
        PoolConfigure(256, kKeepValue, kKeepValue);
        SlotStoreConfigure(kDefaultSlotGroups, kDefaultSlotCapacity, kDefaultSlotStoreBytes);
        Require(SlotStoreInit() == status::kOk);
        g_started = true;
    }
    Input in(data, size);
    const char sep = static_cast<char>(in.Byte());
    const char ch = static_cast<char>(in.Byte());
    const std::uint16_t n = in.Byte();
    const std::uint8_t flags = in.Byte();
    const TextRef a = in.Text();
    const TextRef b = in.Text();
    const TextRef rest = in.Rest();

    const ScratchLevel start = ScratchDepth();
    CheckSearches(rest, ch, static_cast<std::uint16_t>(n % (rest.length + 1u)));
    fuzz::RequireInvariants();
    CheckList(rest, sep, n, a);
    fuzz::RequireInvariants();
    CheckReplace(rest, a, b, (flags & 1) != 0);
    fuzz::RequireInvariants();
    CheckOptions(rest, a, b);
    fuzz::RequireInvariants();
    CheckFormat(rest, static_cast<std::uint16_t>(flags * 4));
    fuzz::RequireInvariants();
    Require(ScratchDepth() == start);
    return 0;
}
