// The text operations library: construction, search, lists, trimming and case, numbers,
// comparison, replacement, options and bounded formatting, all over TextRef.
//
// Ownership: operations that *select* part of a text (TextSub, ListItem, TextTrim, TextUnquote,
// TextBetween) return views into their input. Operations that *make* text place it on the
// ScratchStack following its level discipline: the result sits one level above the depth the
// caller had, and lives until the caller releases below it; one that fails leaves the stack as it
// found it. TextPick answers one of its inputs, and searches and numbers leave no level behind.
//
// Limits: no result exceeds 65535 bytes; one that would is the failed TextRef kStringTooLong
// (TextReplace: kMemTest), never a cut text.
//
// Failure: a failed TextRef input propagates. Most operations return it unchanged, searches answer
// kNotFound, ListFind answers 0 and TextCStr answers an empty C string. Positions are 0-based and
// 16-bit; list items are numbered from 1.
#pragma once

#include <cstdint>

#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

inline constexpr std::uint16_t kNotFound = 0xFFFF;

// A list split into views; the array of TextRefs lives on the ScratchStack. items is null when
// the list failed or has more items than one scratch level can hold.
struct TextArray {
    std::uint16_t count = 0;
    TextRef* items = nullptr;
};

// --- Construction and copies ------------------------------------------------------------------
TextRef TextMake(const char* data, std::uint16_t length);
// A null pointer gives the failed TextRef 163.
TextRef TextFromCStr(const char* s);
StatusCode TextStatus(TextRef t);
TextRef TextOr(TextRef a, TextRef b);
// A negative start counts from the end (and then the rest is taken); the count is clamped to the
// text, a negative count meaning the rest. A view, no copy.
TextRef TextSub(TextRef t, int start, int count);
TextRef TextDup(TextRef t);
TextRef TextDupCStr(const char* s);
// t followed by a NUL on the ScratchStack; a failed t gives a static empty string (so does a full
// stack, which is then noted in the error record).
const char* TextCStr(TextRef t);
TextRef TextConcat(TextRef a, TextRef b);
// a + separator + b, the separator only when both are non-empty.
TextRef TextJoin(TextRef a, TextRef separator, TextRef b);
// key "=" value; the failed TextRef kData when either is empty.
TextRef TextKeyValue(TextRef key, TextRef value);
TextRef TextRepeat(TextRef unit, std::uint16_t count);
TextRef TextChar(char ch);
// Copies into destination at offset (negative counts from the end), never beyond its length.
StatusCode TextOverwrite(TextRef destination, int offset, TextRef source);
// Copies source to buffer + used; answers (buffer, used + source length).
TextRef TextPutAt(TextRef source, char* buffer, std::uint16_t used);
// printf-style formatting into at most `maximum` bytes. A longer result gives the failed TextRef
// kStringTooLong and records step 16; nothing is ever written beyond maximum + 1 bytes.
TextRef TextFormat(std::uint16_t maximum, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// --- Search -----------------------------------------------------------------------------------
// With plain clear, characters inside '...' or "..." are skipped; an unclosed quote hides the rest.
std::uint16_t TextFindChr(TextRef t, std::uint16_t from, char ch, bool plain);
std::uint16_t TextFindAny(TextRef t, std::uint16_t from, TextRef set, bool plain);
// An empty needle is never found.
std::uint16_t TextFind(TextRef t, TextRef needle, bool plain);
// What TextFindLast looks for.
enum class LastOf {
    AnyOfSet,  // the last byte that is one of what's bytes
    FirstByte, // the last occurrence of what's first byte
    Substring, // the last occurrence of what as a whole
};
std::uint16_t TextFindLast(TextRef t, TextRef what, LastOf mode);
std::uint16_t TextSpanIn(TextRef t, TextRef set);
bool TextAllIn(TextRef t, TextRef set);
TextRef TextBetween(TextRef t, char ch, bool plain);

// --- Lists ------------------------------------------------------------------------------------
std::uint16_t ListCount(TextRef list, char sep);
TextRef ListItem(TextRef list, char sep, std::uint16_t n);
std::uint16_t ListFind(TextRef list, TextRef item, char sep);
std::int16_t ListItemNum(TextRef list, char sep, std::uint16_t n);
// n > 0 replaces item n (padding with separators); n == 0 appends; n < 0 deletes item -n.
TextRef ListSetItem(TextRef list, char sep, int n, TextRef value);
// list, then each non-empty item of other not yet in it (once each).
TextRef ListUnion(TextRef list, TextRef other, char sep);
TextRef ListMinus(TextRef list, TextRef other, char sep);
TextArray ListSplit(TextRef list, char sep);
TextRef TextArrayGet(TextArray array, std::uint16_t n);
// Which item length ListMaxItemLen answers, each item measured after TextUnquote.
enum class ItemLength { Greatest, Least };
std::uint16_t ListMaxItemLen(TextRef list, char sep, ItemLength which);
// One byte per ","-separated item, each ListItemNum of it.
TextRef ListToBytes(TextRef list);

// --- Editing and conversion -------------------------------------------------------------------
// The ends TextTrim takes bytes from (the runtime's numbers 1, 2 and 3).
enum class TrimSides { Leading = 1, Trailing = 2, Both = 3 };
TextRef TextTrim(TextRef t, TrimSides sides);
TextRef TextTrim(TextRef t, TrimSides sides, TextRef set);
TextRef TextUnquote(TextRef t);
TextRef TextClean(TextRef t);
enum class LetterCase { Lower, Upper };
// A copy in that case.
TextRef TextCase(TextRef t, LetterCase letters);
// The number form stored settings and older callers give: 1 upper case, any other lower case.
inline TextRef TextCase(TextRef t, int mode) {
    return TextCase(t, mode == 1 ? LetterCase::Upper : LetterCase::Lower);
}
std::int16_t TextToInt(TextRef t);
bool IsYesWord(TextRef t);
// 1, 0 or -1; 159 when either text is failed.
int TextCompare(TextRef a, TextRef b);
// Comparison operators, numbered as the runtime numbers them.
enum class CompareOp {
    None = 0,
    Equal = 1,
    Greater = 2,
    GreaterOrEqual = 3,
    Less = 4,
    LessOrEqual = 5,
    NotEqual = 6,
};
// Whether a op b holds, byte by byte; false for None, and for a failed text.
bool TextCompareOp(TextRef a, TextRef b, CompareOp op);
// a when it is not empty and op is None or Equal, b is empty, or a op b holds; otherwise b.
TextRef TextPick(TextRef a, TextRef b, CompareOp op);
// A result beyond 65535 bytes gives the failed TextRef kMemTest, noted in the error record.
TextRef TextReplace(TextRef t, TextRef oldText, TextRef newText, bool plain);
// Pairs replaced from the last to the first, plainly (quoted runs included).
TextRef TextReplaceList(TextRef t, TextRef oldList, TextRef newList, char sep);
TextRef TextRemoveChars(TextRef t, TextRef set);
TextRef TextTranslate(TextRef t, TextRef from, TextRef to);
TextRef TextSqueeze(TextRef t, char ch, bool plain);
TextRef TextEnclose(TextRef t, char ch);
TextRef TextQuote(TextRef t, char quote);
// Options are key:value or key=value, the key at the start of t or after one of ": &/", the value
// up to the next of those outside quotes. TextOptGet answers the value through TextClean (empty
// when absent); TextOptSet rewrites only that option, or appends ":" key "=" value.
TextRef TextOptGet(TextRef t, TextRef key);
TextRef TextOptSet(TextRef t, TextRef key, TextRef value);
// Replaces every %name% by value; complete (when given) tells whether no "%" is left.
TextRef TextSubstVar(TextRef t, TextRef name, TextRef value, bool* complete);
std::int16_t Max16(std::int16_t a, std::int16_t b);
std::int16_t Min16(std::int16_t a, std::int16_t b);

// --- Elements of a byte buffer (array variables) -----------------------------------------------
// Reads out of range give 0; writes out of range change nothing and answer false.
std::int16_t ElementGet16(TextRef buffer, std::uint16_t index);
bool ElementSet16(TextRef buffer, std::uint16_t index, std::int16_t value);
std::int64_t ElementGet64(TextRef buffer, std::uint16_t index);
bool ElementSet64(TextRef buffer, std::uint16_t index, std::int64_t value);
// Index of the first element equal to zero, or kNotFound.
std::uint16_t ElementFindFree16(TextRef buffer);
std::uint16_t ElementFindFree64(TextRef buffer);

} // namespace vodarir
