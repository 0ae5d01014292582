// Field types and value formatting: stored values to display text and back, fitting to a width,
// default masks, the numeric and text mask editors, and typed numbers to plain number text.
//
// Type letters ("123456789ABCDFLNTV"): "1"–"9" numbers with that many decimals, "N" whole
// numbers, "A" and "B" text, "C" code text (blanks become "0" on entry), "P" hidden-entry text,
// "D" date, "F" date shown blank while empty, "L" logical, "T" right-aligned value, "V" hidden
// (always shown as blanks). Any other letter below "A" is taken as "N".
//
// Stored forms: a number is decimal text with "." as its point; a date eight digits year, month,
// day; a logical " " (unknown), "0" or "1".
//
// Masks: the places are backslash and "?" (text masks) and "#" and "0" (numeric masks); every
// other character is kept. In a numeric mask "." stands for the decimal separator and "," for
// the thousands separator of the chosen format; "#" shows a blank where the number has no digit
// and "0" shows "0".
//
// Widths: -1 (kNoWidth) means "do not fit". A result never exceeds 65535 bytes.
//
// Failure: a number too wide for its field or its mask is the failed TextRef kDataOutBound (no
// partial text); a failed input is passed on.
//
// Ownership: every operation answers a new ScratchStack level above the caller's depth.
#pragma once

#include <cstdint>

#include "runtime/text/text_ref.h"

namespace vodarir {

inline constexpr int kNoWidth = -1;
inline constexpr TextRef kTypeLetters = TextView("123456789ABCDFLNTV");
// The four place characters, in the order ApplyMask reports them.
inline constexpr TextRef kMaskPlaces = TextView("\\?#0");
// NormalizeNumber keeps at most this many characters; a longer number is refused with
// kDataOutBound.
inline constexpr std::uint16_t kMaxNumberEntry = 20;

// TextMask modes.
enum class MaskMode {
    Sequential = 0, // every place takes the next unused character
    Positional = 1, // "?" takes the character at its own position
};

// A stored value as display text of the field's width.
TextRef DisplayValue(char type, TextRef value, int width);
// A typed text as the stored value; fitted to width unless it is kNoWidth.
TextRef EntryValue(char type, TextRef text, int width);
// Text types ("A", "B", "C", "P") are left-aligned and cut to width; "V" is width blanks; every
// other type is trimmed and right-aligned. A number longer than width loses decimals (rounded
// half away from zero, the point dropped when no decimal fits); when even its integer part does
// not fit, the answer is 168. A kNoWidth width leaves the text as it is.
TextRef FitToWidth(char type, TextRef text, int width);
// width places of the type's mask character ("#" for "N" and "1"–"9", a backslash for "A", "B",
// "D", "L", "0" for any other letter); a digit type k with k + 1 below the width gets its decimal
// point width − (k + 1) places from the left ("." when plain, else the language's separator).
TextRef DefaultMask(char type, int width, bool plain);
// A mask given as text: used as it is when it starts with a place character or with a character
// that is not a type letter; otherwise its first character is a type letter and the rest, read as
// a whole number, the width of DefaultMask.
TextRef MaskFromText(TextRef mask, bool plain);
// Edits value through mask: the first place character found decides — backslash or "?" the text
// editor (positional for "?"), "#" or "0" the numeric editor with the language's separators.
// A mask without any place character is answered unchanged.
TextRef ApplyMask(TextRef mask, TextRef value);
// The numeric editor. value is a plain number text ([-]digits[.digits], optionally followed by
// "D" and a power of ten); plain chooses "." and "," over the language's separators. A number
// with more integer digits (and sign) than the mask has integer places first turns the mask's
// "," into places, then shifts the mask's number part right one place at a time, giving up a
// decimal place for an integer place each time; when the point has left the mask and it still
// does not fit, the answer is 168. The number is rounded half away from zero to the mask's
// decimals, missing decimals are "0", and a number without integer digits shows "0" before the
// point; a number that rounds to zero has no sign. Text outside the number part is kept.
TextRef NumericMask(TextRef mask, TextRef value, bool plain);
// The text editor (MaskMode). A backslash, blanks and a closing backslash first widen into
// backslashes over the whole span. A place with no character left shows a blank.
TextRef TextMask(TextRef mask, TextRef value, MaskMode mode);
// A typed number as plain number text: blanks and tabs trimmed, the characters of a typed number
// (and ".") copied up to the first other character or a "-" that does not come first, leading
// zeros dropped unless a decimal separator follows, the language's decimal separator turned into
// "."; where the language's separator is not "." and is present, a "." before it is a thousands
// separator and is dropped. More than kMaxNumberEntry characters give kDataOutBound.
TextRef NormalizeNumber(TextRef text);

} // namespace vodarir
