// Lists (texts of items between one-byte separators) and options written key:value inside a text.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_compose.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

using namespace literals;
using detail::Compose;
using detail::Composer;

namespace {

// Characters that may stand before an option's key, and that end its value.
constexpr TextRef kOptionBoundaries = ": &/"_t;
// Tried in this order: key:value first, then key=value.
constexpr TextRef kOptionIntroducers = ":="_t;
constexpr char kOptionSeparator = ':';
constexpr char kByteListSeparator = ',';

// Scratch levels start on 4-byte boundaries; an array of TextRefs may need more.
constexpr std::uint32_t kLevelAlignment = 4;
constexpr std::uint32_t kArraySlack = alignof(TextRef) > kLevelAlignment
                                          ? alignof(TextRef) - kLevelAlignment
                                          : 0;
// The most items ListSplit can hold: the array must fit in one scratch level.
constexpr std::uint32_t kMaxSplitItems = (kMaxTextLength - kArraySlack) / sizeof(TextRef);

// Separators are searched skipping quoted runs, except the separator 0, which is searched
// plainly (a NUL-separated list has no quoting).
std::uint16_t FindSeparator(TextRef list, std::uint32_t from, char sep) {
    if (from >= list.size()) return kNotFound;
    return TextFindChr(list, static_cast<std::uint16_t>(from), sep, sep == '\0');
}

// Walks the items of a list left to right. An empty or failed list has no items; otherwise there
// is one more item than there are separators found.
class ListWalker {
public:
    ListWalker(TextRef list, char sep) : list_(list), sep_(sep), done_(list.size() == 0) {}

    bool Next() {
        if (done_) return false;
        begin_ = next_;
        const std::uint16_t hit = FindSeparator(list_, begin_, sep_);
        if (hit == kNotFound) {
            end_ = list_.length;
            done_ = true;
        } else {
            end_ = hit;
            next_ = std::uint32_t{hit} + 1;
        }
        ++number_;
        return true;
    }

    std::uint32_t number() const { return number_; }
    std::uint32_t begin() const { return begin_; }
    std::uint32_t end() const { return end_; }
    bool last() const { return done_; }
    TextRef item() const {
        return TextRef(list_.data + begin_, static_cast<std::uint16_t>(end_ - begin_));
    }

private:
    TextRef list_;
    char sep_;
    bool done_;
    std::uint32_t next_ = 0;
    std::uint32_t begin_ = 0;
    std::uint32_t end_ = 0;
    std::uint32_t number_ = 0;
};

struct ItemSpan {
    bool found = false;
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    bool last = false;
};

// Where item n lies. An empty list counts as one empty item, so that setting its first item
// replaces nothing and setting its second pads with one separator.
ItemSpan LocateItem(TextRef list, char sep, std::int64_t n) {
    if (list.size() == 0) return {n == 1, 0, 0, true};
    ListWalker walk(list, sep);
    while (walk.Next()) {
        if (walk.number() == n) return {true, walk.begin(), walk.end(), walk.last()};
    }
    return {};
}

TextRef Slice(TextRef t, std::uint32_t begin, std::uint32_t end) {
    return TextRef(t.data + begin, static_cast<std::uint16_t>(end - begin));
}

std::int16_t ItemNumber(TextRef item) {
    ScratchScope scope;
    return TextToInt(TextClean(item));
}

struct OptionSpan {
    bool found = false;
    char introducer = '=';
    std::uint32_t keyBegin = 0;
    std::uint32_t valueBegin = 0;
    std::uint32_t valueEnd = 0;
};

bool IsOptionBoundary(char c) {
    return std::find(kOptionBoundaries.data, kOptionBoundaries.data + kOptionBoundaries.length,
                     c) != kOptionBoundaries.data + kOptionBoundaries.length;
}

// The first key followed by introducer that starts t or follows a boundary character.
std::uint32_t FindOptionKey(TextRef t, TextRef key, char introducer) {
    const std::string_view text = t.view();
    const std::string_view name = key.view();
    for (std::size_t at = text.find(name); at != std::string_view::npos;
         at = text.find(name, at + 1)) {
        const std::size_t after = at + name.size();
        if (after < text.size() && text[after] == introducer &&
            (at == 0 || IsOptionBoundary(text[at - 1]))) {
            return static_cast<std::uint32_t>(at);
        }
    }
    return kNotFound;
}

// The key and value of an option in t. The value ends at the next boundary character outside
// quotes, so a quoted value may hold blanks, colons and slashes.
OptionSpan FindOption(TextRef t, TextRef key) {
    if (t.size() == 0 || key.size() == 0) return {};
    for (std::size_t i = 0; i < kOptionIntroducers.length; ++i) {
        const std::uint32_t at = FindOptionKey(t, key, kOptionIntroducers.data[i]);
        if (at == kNotFound) continue;
        const std::uint32_t valueBegin = at + key.length + 1;
        const std::uint16_t end =
            valueBegin >= t.length
                ? kNotFound
                : TextFindAny(t, static_cast<std::uint16_t>(valueBegin), kOptionBoundaries, false);
        return {true, kOptionIntroducers.data[i], at, valueBegin,
                end == kNotFound ? t.length : std::uint32_t{end}};
    }
    return {};
}

// Where TextOptSet writes key, introducer and value: over the option when it is present, else
// after t and a ":". Only the option itself is rewritten, so options beside it (after a blank,
// "&" or "/") survive whatever separates them. A key:value option keeps its colon: turned into
// key=value it would lose to any later key:value of the same key, and the next lookup would miss
// the value just set. For the same reason a bare key ending t becomes the option: the ":" put
// after it would make it read as key:value.
OptionSpan PlaceOption(TextRef t, TextRef key) {
    const OptionSpan option = FindOption(t, key);
    if (option.found) return option;
    const std::uint32_t length = t.size();
    if (length >= key.length && t.view().substr(length - key.length) == key.view()) {
        const std::uint32_t at = length - key.length;
        if (at == 0 || IsOptionBoundary(t.data[at - 1])) return {true, '=', at, length, length};
    }
    return {false, '=', length, length, length};
}

} // namespace

// --- Lists ------------------------------------------------------------------------------------

std::uint16_t ListCount(TextRef list, char sep) {
    ListWalker walk(list, sep);
    while (walk.Next()) {
    }
    return static_cast<std::uint16_t>(walk.number());
}

TextRef ListItem(TextRef list, char sep, std::uint16_t n) {
    if (list.failed()) return list;
    if (n == 0) return TextRef(list.data, 0);
    ListWalker walk(list, sep);
    while (walk.Next()) {
        if (walk.number() == n) return walk.item();
    }
    return TextRef(list.data + list.length, 0);
}

std::uint16_t ListFind(TextRef list, TextRef item, char sep) {
    if (list.failed() || item.failed() || list.length < item.length) return 0;
    ListWalker walk(list, sep);
    while (walk.Next()) {
        if (walk.item().view() == item.view()) return static_cast<std::uint16_t>(walk.number());
    }
    return 0;
}

std::int16_t ListItemNum(TextRef list, char sep, std::uint16_t n) {
    return ItemNumber(ListItem(list, sep, n));
}

TextRef ListSetItem(TextRef list, char sep, int n, TextRef value) {
    if (list.failed()) return list;
    if (value.failed()) return value;
    const std::int64_t wanted = n;
    if (wanted == 0) {
        return Compose([&](Composer& out) {
            out.Put(list);
            if (list.length != 0) out.Put(sep);
            out.Put(value);
        });
    }
    const ItemSpan span = LocateItem(list, sep, wanted < 0 ? -wanted : wanted);
    if (wanted > 0) {
        const std::int64_t present = std::max<std::int64_t>(ListCount(list, sep), 1);
        return Compose([&](Composer& out) {
            if (span.found) {
                out.Put(Slice(list, 0, span.begin));
                out.Put(value);
                out.Put(Slice(list, span.end, list.length));
            } else {
                out.Put(list);
                out.Fill(sep, static_cast<std::uint64_t>(wanted - present));
                out.Put(value);
            }
        });
    }
    // Delete: the item goes with the separator after it, or, for the last item, the one before it.
    std::uint32_t cutBegin = span.begin;
    std::uint32_t cutEnd = span.end;
    if (span.found) {
        if (!span.last) {
            ++cutEnd;
        } else if (cutBegin > 0) {
            --cutBegin;
        }
    } else {
        cutBegin = cutEnd = list.length;
    }
    return Compose([&](Composer& out) {
        out.Put(Slice(list, 0, cutBegin));
        out.Put(Slice(list, cutEnd, list.length));
    });
}

TextRef ListUnion(TextRef list, TextRef other, char sep) {
    if (list.failed()) return list;
    if (other.failed()) return other;
    return Compose([&](Composer& out) {
        out.Put(list);
        bool any = list.length != 0;
        ListWalker walk(other, sep);
        while (walk.Next()) {
            const TextRef item = walk.item();
            // Empty items add nothing, as with TextJoin; an item repeated in `other` comes once.
            if (item.length == 0 || ListFind(list, item, sep) != 0 ||
                ListFind(other, item, sep) < walk.number()) {
                continue;
            }
            if (any) out.Put(sep);
            out.Put(item);
            any = true;
        }
    });
}

TextRef ListMinus(TextRef list, TextRef other, char sep) {
    if (list.failed()) return list;
    if (other.failed()) return other;
    return Compose([&](Composer& out) {
        bool first = true;
        ListWalker walk(list, sep);
        while (walk.Next()) {
            if (ListFind(other, walk.item(), sep) != 0) continue;
            if (!first) out.Put(sep);
            out.Put(walk.item());
            first = false;
        }
    });
}

TextArray ListSplit(TextRef list, char sep) {
    if (list.failed()) return {};
    const std::uint32_t count = ListCount(list, sep);
    if (count > kMaxSplitItems) return {};
    std::size_t space = count * sizeof(TextRef) + kArraySlack;
    void* raw = ScratchAllocPtr(static_cast<std::uint32_t>(space), 0);
    if (raw == nullptr) return {};
    void* aligned = std::align(alignof(TextRef), count * sizeof(TextRef), raw, space);
    auto* items = static_cast<TextRef*>(aligned);
    ListWalker walk(list, sep);
    for (std::uint32_t i = 0; walk.Next(); ++i) ::new (items + i) TextRef(walk.item());
    return {static_cast<std::uint16_t>(count), items};
}

TextRef TextArrayGet(TextArray array, std::uint16_t n) {
    if (array.items == nullptr || n == 0 || n > array.count) return TextRef();
    return array.items[n - 1];
}

std::uint16_t ListMaxItemLen(TextRef list, char sep, ItemLength which) {
    const bool least = which == ItemLength::Least;
    std::uint16_t result = least ? list.size() : 0;
    ListWalker walk(list, sep);
    while (walk.Next()) {
        const std::uint16_t length = TextUnquote(walk.item()).length;
        result = least ? std::min(result, length) : std::max(result, length);
    }
    return result;
}

TextRef ListToBytes(TextRef list) {
    if (list.failed()) return list;
    ScratchScope scope;
    const TextRef bytes = ScratchAllocText(ListCount(list, kByteListSeparator), 0);
    if (bytes.failed()) return bytes;
    char* out = bytes.mutableData();
    ListWalker walk(list, kByteListSeparator);
    // One byte per item by design: each number keeps its low eight bits.
    for (std::uint32_t i = 0; walk.Next(); ++i) {
        out[i] = static_cast<char>(static_cast<std::uint8_t>(ItemNumber(walk.item())));
    }
    return scope.Return(bytes);
}

// --- Options ----------------------------------------------------------------------------------

TextRef TextOptGet(TextRef t, TextRef key) {
    if (t.failed()) return t;
    if (key.failed()) return key;
    const OptionSpan option = FindOption(t, key);
    if (!option.found) return TextDup(TextRef(t.data, 0));
    return TextClean(Slice(t, option.valueBegin, option.valueEnd));
}

TextRef TextOptSet(TextRef t, TextRef key, TextRef value) {
    for (TextRef in : {t, key, value}) {
        if (in.failed()) return in;
    }
    if (key.length == 0) return TextRef::Failed(status::kData);
    const OptionSpan place = PlaceOption(t, key);
    return Compose([&](Composer& out) {
        out.Put(Slice(t, 0, place.keyBegin));
        if (!place.found && place.keyBegin != 0) out.Put(kOptionSeparator);
        out.Put(key);
        out.Put(place.introducer);
        out.Put(value);
        out.Put(Slice(t, place.valueEnd, t.length));
    });
}

} // namespace vodarir
