// Text operations: construction and copies, searches that skip quoted runs, trimming, case,
// numbers, comparison, replacement, bounded formatting and elements of byte buffers.
#include "runtime/text/text_ops.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/text/block_pool.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_compose.h"

namespace vodarir {

using namespace literals;
using detail::Compose;
using detail::Composer;

namespace {

constexpr TextRef kDefaultTrimSet = " \t"_t;
constexpr TextRef kYesWords = "YES,SI,Y,S,ON"_t;
// Opening characters at even positions, each followed by its closer.
constexpr TextRef kEnclosePairs = "[](){}<>"_t;
constexpr char kDoubleQuote = '"';
constexpr char kSingleQuote = '\'';

// The greatest text has its terminating NUL in the rounding of its level (see AllocTerminated).
static_assert(Align4(kMaxTextLength) > kMaxTextLength);

bool IsQuote(char c) { return c == kDoubleQuote || c == kSingleQuote; }

// Membership of bytes in a set given as a text; a failed set is empty.
class ByteSet {
public:
    explicit ByteSet(TextRef set) {
        for (std::size_t i = 0; i < set.size(); ++i) member_[set.at(i)] = true;
    }
    bool Has(char c) const { return member_[static_cast<unsigned char>(c)]; }

private:
    std::array<bool, 256> member_{};
};

// The first byte of the set at or after from. Without plain, quoted runs are stepped over whole:
// only the stretch before the next quote is searched, then the search resumes after the quote
// that closes it. An unclosed quote ends the search, so it hides everything after it.
//
// One walk from `from`: the search stops at the first hit, so walking a list item by item costs
// one pass over the list, not one pass over its rest per item.
std::uint16_t FindFirstOf(TextRef t, std::uint32_t from, const ByteSet& set, bool plain) {
    const std::uint32_t length = t.size();
    for (std::uint32_t i = from; i < length; ++i) {
        const char c = t.data[i];
        if (!plain && IsQuote(c)) {
            const void* close = std::memchr(t.data + i + 1, c, length - i - 1);
            if (close == nullptr) return kNotFound;
            i = static_cast<std::uint32_t>(static_cast<const char*>(close) - t.data);
            continue;
        }
        if (set.Has(c)) return static_cast<std::uint16_t>(i);
    }
    return kNotFound;
}

// First occurrence of needle at or after from: candidates are the needle's first byte (found
// plainly or skipping quotes), each then compared whole. An empty needle is never found.
std::uint16_t FindFrom(TextRef t, std::uint32_t from, TextRef needle, bool plain) {
    if (t.failed() || needle.failed() || needle.length == 0 || needle.length > t.length) {
        return kNotFound;
    }
    std::uint32_t pos = from;
    while (pos < t.length) {
        const std::uint16_t c =
            TextFindChr(t, static_cast<std::uint16_t>(pos), needle.data[0], plain);
        if (c == kNotFound || std::uint32_t{c} + needle.length > t.length) return kNotFound;
        if (std::memcmp(t.data + c, needle.data, needle.length) == 0) return c;
        pos = std::uint32_t{c} + 1;
    }
    return kNotFound;
}

bool Contains(TextRef t, char c) {
    return t.size() != 0 && std::memchr(t.data, c, t.size()) != nullptr;
}

// One new level of `length` bytes followed by one more writable byte for a terminating NUL. Below
// the greatest length the level simply holds length + 1 bytes; a text of the greatest length
// cannot, but its level is rounded up to 4 bytes and the NUL lies in that rounding.
char* AllocTerminated(std::uint16_t length, std::uint8_t fill) {
    const std::uint32_t levelLength = length < kMaxTextLength ? length + 1u : length;
    char* p = ScratchAllocPtr(levelLength, fill);
    if (p != nullptr) p[length] = fill == kNoFill ? '\0' : static_cast<char>(fill);
    return p;
}

TextRef FormatFailure(StatusCode status) {
    NoteFirstError(1, step::kFormatString, status, status);
    return TextRef::Failed(status);
}

std::int16_t SaturateToInt16(long v) {
    return static_cast<std::int16_t>(std::clamp<long>(v, INT16_MIN, INT16_MAX));
}

// Which comparison results satisfy each operator of TextCompareOp (index = the operator's number).
struct CompareOpRow {
    bool less;
    bool equal;
    bool greater;
};
constexpr std::array<CompareOpRow, 7> kCompareOps{{
    {false, false, false}, // None
    {false, true, false},  // Equal
    {false, false, true},  // Greater
    {false, true, true},   // GreaterOrEqual
    {true, false, false},  // Less
    {true, true, false},   // LessOrEqual
    {true, false, true},   // NotEqual
}};
constexpr int kCompareFailed = 159;

} // namespace

// --- Construction and copies ------------------------------------------------------------------

TextRef TextMake(const char* data, std::uint16_t length) { return TextRef(data, length); }

TextRef TextFromCStr(const char* s) {
    if (s == nullptr) return TextRef::Failed(status::kData);
    // Never reads further than one byte past the longest text, however long the string is.
    return TextFromString(std::string_view(s, strnlen(s, kMaxTextLength + 1)));
}

StatusCode TextStatus(TextRef t) { return t.status(); }

TextRef TextOr(TextRef a, TextRef b) { return a.length != 0 ? a : b; }

TextRef TextSub(TextRef t, int start, int count) {
    if (t.failed()) return t;
    const long length = t.length;
    long first = start;
    long n = count;
    if (first < 0) {
        first = std::max(length + first, 0L);
        n = length - first;
    }
    // A negative count is "all the rest", as 0xFFFF was in 16 bits.
    if (n < 0) n = length;
    if (first > length) return TextRef(t.data + length, 0);
    n = std::min(n, length - first);
    return TextRef(t.data + first, static_cast<std::uint16_t>(n));
}

TextRef TextDup(TextRef t) {
    if (t.failed()) return t;
    ScratchScope scope;
    return scope.Return(t);
}

TextRef TextDupCStr(const char* s) { return TextDup(TextFromCStr(s)); }

const char* TextCStr(TextRef t) {
    if (t.failed()) return "";
    char* p = AllocTerminated(t.length, kNoFill);
    if (p == nullptr) {
        // No way to say so through a C string: keep the reason in the error record.
        NoteFirstError(1, step::kStringAssign, status::kOutOfMemory, status::kOutOfMemory);
        return "";
    }
    if (t.length != 0) std::memmove(p, t.data, t.length);
    p[t.length] = '\0';
    return p;
}

TextRef TextConcat(TextRef a, TextRef b) {
    ScratchScope scope;
    const StatusCode st = ScratchConcat(a, b);
    if (st != status::kOk) return TextRef::Failed(st);
    return scope.Return(ScratchTop());
}

TextRef TextJoin(TextRef a, TextRef separator, TextRef b) {
    for (TextRef in : {a, separator, b}) {
        if (in.failed()) return in;
    }
    return Compose([&](Composer& out) {
        out.Put(a);
        if (a.length != 0 && b.length != 0) out.Put(separator);
        out.Put(b);
    });
}

TextRef TextKeyValue(TextRef key, TextRef value) {
    if (key.failed()) return key;
    if (value.failed()) return value;
    if (key.length == 0 || value.length == 0) return TextRef::Failed(status::kData);
    return Compose([&](Composer& out) {
        out.Put(key);
        out.Put('=');
        out.Put(value);
    });
}

TextRef TextRepeat(TextRef unit, std::uint16_t count) {
    if (unit.failed()) return unit;
    return Compose([&](Composer& out) {
        if (unit.length == 0) return;
        for (std::uint16_t i = 0; i < count; ++i) out.Put(unit);
    });
}

TextRef TextChar(char ch) {
    return Compose([&](Composer& out) { out.Put(ch); });
}

StatusCode TextOverwrite(TextRef destination, int offset, TextRef source) {
    if (destination.failed()) return destination.status();
    if (source.failed()) return source.status();
    const long length = destination.length;
    const long at = offset < 0 ? std::max(length + offset, 0L) : offset;
    if (source.length == 0 || at >= length) return status::kOk;
    const long n = std::min<long>(source.length, length - at);
    std::memmove(destination.mutableData() + at, source.data, static_cast<std::size_t>(n));
    return status::kOk;
}

TextRef TextPutAt(TextRef source, char* buffer, std::uint16_t used) {
    if (source.failed()) return source;
    if (buffer == nullptr) return TextRef::Failed(status::kData);
    const std::uint32_t total = std::uint32_t{used} + source.length;
    if (total > kMaxTextLength) return TextRef::Failed(status::kStringTooLong);
    if (source.length != 0) std::memmove(buffer + used, source.data, source.length);
    return TextRef(buffer, static_cast<std::uint16_t>(total));
}

TextRef TextFormat(std::uint16_t maximum, const char* format, ...) {
    if (format == nullptr) return TextRef::Failed(status::kData);
    ScratchScope scope;
    char* buffer = AllocTerminated(maximum, 0);
    if (buffer == nullptr) return FormatFailure(status::kOutOfMemory);
    std::va_list args;
    va_start(args, format);
    // Bounded to the maximum + 1 bytes just allocated: a longer text is cut here, seen by its
    // length below and refused, never passed on.
    const int n = std::vsnprintf(buffer, std::size_t{maximum} + 1, format, args);
    va_end(args);
    if (n < 0) return FormatFailure(status::kFormatFailure);
    if (n > maximum) return FormatFailure(status::kStringTooLong);
    return scope.Return(TextRef(buffer, static_cast<std::uint16_t>(n)));
}

// --- Search -----------------------------------------------------------------------------------

std::uint16_t TextFindChr(TextRef t, std::uint16_t from, char ch, bool plain) {
    if (t.failed() || from >= t.length) return kNotFound;
    if (plain) {
        const void* hit = std::memchr(t.data + from, ch, t.length - from);
        return hit == nullptr ? kNotFound
                              : static_cast<std::uint16_t>(static_cast<const char*>(hit) - t.data);
    }
    return FindFirstOf(t, from, ByteSet(TextRef(&ch, 1)), plain);
}

std::uint16_t TextFindAny(TextRef t, std::uint16_t from, TextRef set, bool plain) {
    if (t.failed() || set.failed()) return kNotFound;
    return FindFirstOf(t, from, ByteSet(set), plain);
}

std::uint16_t TextFind(TextRef t, TextRef needle, bool plain) {
    return FindFrom(t, 0, needle, plain);
}

std::uint16_t TextFindLast(TextRef t, TextRef what, LastOf mode) {
    if (t.failed() || what.failed() || what.length == 0) return kNotFound;
    const std::uint32_t length = t.length;
    switch (mode) {
    case LastOf::AnyOfSet: {
        const ByteSet set(what);
        for (std::uint32_t i = length; i-- > 0;) {
            if (set.Has(t.data[i])) return static_cast<std::uint16_t>(i);
        }
        return kNotFound;
    }
    case LastOf::FirstByte:
        for (std::uint32_t i = length; i-- > 0;) {
            if (t.data[i] == what.data[0]) return static_cast<std::uint16_t>(i);
        }
        return kNotFound;
    case LastOf::Substring:
        if (what.length > length) return kNotFound;
        for (std::uint32_t i = length - what.length + 1; i-- > 0;) {
            if (std::memcmp(t.data + i, what.data, what.length) == 0) {
                return static_cast<std::uint16_t>(i);
            }
        }
        return kNotFound;
    default:
        return kNotFound;
    }
}

std::uint16_t TextSpanIn(TextRef t, TextRef set) {
    const ByteSet members(set);
    std::uint32_t n = 0;
    while (n < t.size() && members.Has(t.data[n])) ++n;
    return static_cast<std::uint16_t>(n);
}

bool TextAllIn(TextRef t, TextRef set) {
    if (t.failed() || set.failed()) return false;
    return TextSpanIn(t, set) == t.length;
}

TextRef TextBetween(TextRef t, char ch, bool plain) {
    if (t.failed()) return t;
    const TextRef none(t.data, 0);
    const std::uint16_t first = TextFindChr(t, 0, ch, plain);
    if (first == kNotFound) return none;
    const std::uint16_t second = TextFindChr(t, static_cast<std::uint16_t>(first + 1), ch, plain);
    if (second == kNotFound) return none;
    return TextRef(t.data + first + 1, static_cast<std::uint16_t>(second - first - 1));
}

// --- Editing and conversion -------------------------------------------------------------------

TextRef TextTrim(TextRef t, TrimSides sides) { return TextTrim(t, sides, kDefaultTrimSet); }

TextRef TextTrim(TextRef t, TrimSides sides, TextRef set) {
    if (t.failed()) return t;
    if (set.failed()) return set;
    const ByteSet remove(set);
    std::uint32_t begin = 0;
    std::uint32_t end = t.length;
    if ((static_cast<int>(sides) & static_cast<int>(TrimSides::Leading)) != 0) {
        while (begin < end && remove.Has(t.data[begin])) ++begin;
    }
    if ((static_cast<int>(sides) & static_cast<int>(TrimSides::Trailing)) != 0) {
        while (end > begin && remove.Has(t.data[end - 1])) --end;
    }
    return TextRef(t.data + begin, static_cast<std::uint16_t>(end - begin));
}

TextRef TextUnquote(TextRef t) {
    if (t.size() < 2) return t;
    const char first = t.data[0];
    if (!IsQuote(first) || t.data[t.length - 1] != first) return t;
    return TextRef(t.data + 1, static_cast<std::uint16_t>(t.length - 2));
}

TextRef TextClean(TextRef t) {
    if (t.failed()) return t;
    const TextRef inner = TextUnquote(TextTrim(t, TrimSides::Both));
    // Only a bare value is upper-cased: quoting is how a value keeps its case.
    return inner.length == t.length ? TextCase(t, LetterCase::Upper) : TextDup(inner);
}

TextRef TextCase(TextRef t, LetterCase letters) {
    const TextRef copy = TextDup(t);
    if (copy.failed()) return copy;
    char* p = copy.mutableData();
    for (std::uint32_t i = 0; i < copy.length; ++i) {
        // The C library wants an unsigned char value: cp1252 bytes above 127 must not go in
        // as negative ints.
        const int c = static_cast<unsigned char>(p[i]);
        p[i] = static_cast<char>(letters == LetterCase::Upper ? std::toupper(c) : std::tolower(c));
    }
    return copy;
}

std::int16_t TextToInt(TextRef t) {
    if (IsYesWord(t)) return 1;
    ScratchScope scope;
    // strtol rather than atoi: the same reading of the digits, but a defined answer when they
    // overflow, which then saturates to the 16-bit range instead of wrapping.
    return SaturateToInt16(std::strtol(TextCStr(t), nullptr, 10));
}

bool IsYesWord(TextRef t) {
    if (t.failed() || t.length == 0) return false;
    ScratchScope scope;
    return ListFind(kYesWords, TextCase(t, LetterCase::Upper), ',') != 0;
}

int TextCompare(TextRef a, TextRef b) {
    if (a.failed() || b.failed()) return kCompareFailed;
    const std::size_t common = std::min(a.length, b.length);
    const int c = common == 0 ? 0 : std::memcmp(a.data, b.data, common);
    if (c != 0) return c < 0 ? -1 : 1;
    if (a.length == b.length) return 0;
    return a.length < b.length ? -1 : 1;
}

bool TextCompareOp(TextRef a, TextRef b, CompareOp op) {
    const auto index = static_cast<std::size_t>(op);
    if (index >= kCompareOps.size()) return false;
    const int c = TextCompare(a, b);
    const CompareOpRow& row = kCompareOps[index];
    switch (c) {
    case -1:
        return row.less;
    case 0:
        return row.equal;
    case 1:
        return row.greater;
    default:
        return false; // a failed text compares as nothing
    }
}

TextRef TextPick(TextRef a, TextRef b, CompareOp op) {
    if (a.failed()) return a;
    if (b.failed()) return b;
    const bool ordering = op != CompareOp::None && op != CompareOp::Equal;
    if (a.length != 0 && (!ordering || b.length == 0 || TextCompareOp(a, b, op))) return a;
    return b;
}

TextRef TextReplace(TextRef t, TextRef oldText, TextRef newText, bool plain) {
    for (TextRef in : {t, oldText, newText}) {
        if (in.failed()) return in;
    }
    // A lone quote could never be found while quotes are skipped.
    if (oldText.length == 1 && IsQuote(oldText.data[0])) plain = true;
    const TextRef result = Compose([&](Composer& out) {
        std::uint32_t pos = 0;
        for (;;) {
            const std::uint16_t hit = FindFrom(t, pos, oldText, plain);
            if (hit == kNotFound) break;
            out.Put(TextRef(t.data + pos, static_cast<std::uint16_t>(hit - pos)));
            out.Put(newText);
            pos = std::uint32_t{hit} + oldText.length;
        }
        out.Put(TextRef(t.data + pos, static_cast<std::uint16_t>(t.length - pos)));
    });
    if (result.failed()) {
        NoteFirstError(1, step::kStrConcat, status::kMemTest, status::kMemTest);
        return TextRef::Failed(status::kMemTest);
    }
    return result;
}

TextRef TextReplaceList(TextRef t, TextRef oldList, TextRef newList, char sep) {
    for (TextRef in : {t, oldList, newList}) {
        if (in.failed()) return in;
    }
    ScratchScope scope;
    TextRef current = t;
    for (std::uint32_t n = ListCount(oldList, sep); n > 0; --n) {
        const auto item = static_cast<std::uint16_t>(n);
        const TextRef next =
            TextReplace(current, ListItem(oldList, sep, item), ListItem(newList, sep, item), true);
        if (next.failed()) return next;
        // Keep only the latest result, so a long list never runs out of levels.
        current = ScratchReturn(scope.mark(), next);
        if (current.failed()) return current;
    }
    return scope.Return(current);
}

TextRef TextRemoveChars(TextRef t, TextRef set) {
    if (t.failed()) return t;
    if (set.failed()) return set;
    const ByteSet remove(set);
    return Compose([&](Composer& out) {
        for (std::uint32_t i = 0; i < t.length; ++i) {
            if (!remove.Has(t.data[i])) out.Put(t.data[i]);
        }
    });
}

TextRef TextTranslate(TextRef t, TextRef from, TextRef to) {
    for (TextRef in : {t, from, to}) {
        if (in.failed()) return in;
    }
    std::array<unsigned char, 256> map{};
    for (std::size_t c = 0; c < map.size(); ++c) map[c] = static_cast<unsigned char>(c);
    // Backwards, so the first occurrence of a byte in `from` decides; a byte whose position has
    // no counterpart in `to` stays as it is.
    for (std::size_t i = from.length; i-- > 0;) {
        if (i < to.length) map[from.at(i)] = to.at(i);
    }
    const TextRef copy = TextDup(t);
    if (copy.failed()) return copy;
    char* p = copy.mutableData();
    for (std::uint32_t i = 0; i < copy.length; ++i) {
        p[i] = static_cast<char>(map[static_cast<unsigned char>(p[i])]);
    }
    return copy;
}

TextRef TextSqueeze(TextRef t, char ch, bool plain) {
    if (t.failed()) return t;
    return Compose([&](Composer& out) {
        std::uint32_t pos = 0;
        while (pos < t.length) {
            const std::uint16_t hit = TextFindChr(t, static_cast<std::uint16_t>(pos), ch, plain);
            if (hit == kNotFound) break;
            out.Put(TextRef(t.data + pos, static_cast<std::uint16_t>(hit + 1 - pos)));
            pos = std::uint32_t{hit} + 1;
            while (pos < t.length && t.data[pos] == ch) ++pos;
        }
        out.Put(TextRef(t.data + pos, static_cast<std::uint16_t>(t.length - pos)));
    });
}

TextRef TextEnclose(TextRef t, char ch) {
    if (t.failed()) return t;
    char closer = ch;
    const void* pair = std::memchr(kEnclosePairs.data, ch, kEnclosePairs.length);
    if (pair != nullptr) {
        const auto at =
            static_cast<std::size_t>(static_cast<const char*>(pair) - kEnclosePairs.data);
        if (at % 2 == 0) closer = kEnclosePairs.data[at + 1];
    }
    return Compose([&](Composer& out) {
        out.Put(ch);
        out.Put(t);
        out.Put(closer);
    });
}

TextRef TextQuote(TextRef t, char quote) {
    if (t.failed()) return t;
    const char other = quote == kDoubleQuote ? kSingleQuote : kDoubleQuote;
    if (!Contains(t, quote)) return TextEnclose(t, quote);
    if (!Contains(t, other)) return TextEnclose(t, other);
    return TextRef::Failed(status::kData);
}

TextRef TextSubstVar(TextRef t, TextRef name, TextRef value, bool* complete) {
    if (complete != nullptr) *complete = false;
    for (TextRef in : {t, name, value}) {
        if (in.failed()) return in;
    }
    ScratchScope scope;
    TextRef result = t;
    if (name.length != 0) {
        const TextRef reference = TextEnclose(name, '%');
        // Paths are often quoted; a reference inside quotes is replaced all the same.
        result = TextReplace(t, reference, value, true);
        if (result.failed()) return result;
    }
    result = scope.Return(result);
    if (complete != nullptr && !result.failed()) {
        *complete = TextFindChr(result, 0, '%', true) == kNotFound;
    }
    return result;
}

std::int16_t Max16(std::int16_t a, std::int16_t b) { return a > b ? a : b; }
std::int16_t Min16(std::int16_t a, std::int16_t b) { return a < b ? a : b; }

// --- Elements of a byte buffer ----------------------------------------------------------------

namespace {

// Buffers of array variables carry no alignment promise, hence memcpy.
template <class T> T ElementGet(TextRef buffer, std::uint16_t index) {
    const std::size_t offset = std::size_t{index} * sizeof(T);
    if (offset + sizeof(T) > buffer.size()) return 0;
    T v;
    std::memcpy(&v, buffer.data + offset, sizeof v);
    return v;
}

template <class T> bool ElementSet(TextRef buffer, std::uint16_t index, T value) {
    const std::size_t offset = std::size_t{index} * sizeof(T);
    if (offset + sizeof(T) > buffer.size()) return false;
    std::memcpy(buffer.mutableData() + offset, &value, sizeof value);
    return true;
}

template <class T> std::uint16_t ElementFindFree(TextRef buffer) {
    const std::size_t count = std::min<std::size_t>(buffer.size() / sizeof(T), kNotFound);
    for (std::size_t i = 0; i < count; ++i) {
        if (ElementGet<T>(buffer, static_cast<std::uint16_t>(i)) == 0) {
            return static_cast<std::uint16_t>(i);
        }
    }
    return kNotFound;
}

} // namespace

std::int16_t ElementGet16(TextRef buffer, std::uint16_t index) {
    return ElementGet<std::int16_t>(buffer, index);
}
bool ElementSet16(TextRef buffer, std::uint16_t index, std::int16_t value) {
    return ElementSet(buffer, index, value);
}
std::int64_t ElementGet64(TextRef buffer, std::uint16_t index) {
    return ElementGet<std::int64_t>(buffer, index);
}
bool ElementSet64(TextRef buffer, std::uint16_t index, std::int64_t value) {
    return ElementSet(buffer, index, value);
}
std::uint16_t ElementFindFree16(TextRef buffer) { return ElementFindFree<std::int16_t>(buffer); }
std::uint16_t ElementFindFree64(TextRef buffer) { return ElementFindFree<std::int64_t>(buffer); }

} // namespace vodarir
