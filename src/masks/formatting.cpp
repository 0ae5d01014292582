// Field types and value formatting: display and entry forms, width fitting, default masks, the
// numeric and text mask editors and typed numbers.
#include "masks/formatting.h"

#include <algorithm>
#include <cstring>

#include "masks/dates.h"
#include "masks/number_format.h"
#include "masks/plain_number.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

using namespace literals;
using masks::PlainNumber;
using masks::ReadPlainNumber;
using masks::RoundedNumber;
using masks::RoundPlainNumber;

namespace {

constexpr TextRef kTextTypes = "ABCP"_t;
// DefaultMask: the type letter's position in the first text picks the mask character at the same
// position of the second; a letter not found takes the character after the last ("0").
constexpr TextRef kDefaultMaskTypes = "ABDLNN123456789"_t;
constexpr TextRef kDefaultMaskChars = "\\\\\\\\###########0"_t;
static_assert(kDefaultMaskChars.length == kDefaultMaskTypes.length + 1);
// Logical values as stored, in the order of the display words.
constexpr TextRef kLogicalStored = " 01"_t;
constexpr TextRef kBlankDateTypes = "DF"_t;
constexpr char kPlainTextType = 'A';
constexpr char kCodeType = 'C';
constexpr char kHiddenType = 'V';
constexpr char kWholeType = 'N';
constexpr int kShortDateDisplay = 8;
constexpr int kNumericDateDisplay = 10;
// A number entered without a width is edited in a mask this wide, then trimmed.
constexpr int kUnfittedNumberWidth = 64;

bool IsDigitType(char type) { return type >= '1' && type <= '9'; }

bool IsNumberPlace(char c) { return c == '#' || c == '0'; }

bool Contains(TextRef set, char c) {
    return set.size() != 0 && std::memchr(set.data, c, set.size()) != nullptr;
}

// Letters below "A" other than the decimal digits are whole numbers.
char EffectiveType(char type) { return type < 'A' && !IsDigitType(type) ? kWholeType : type; }

TextRef Blanks(int width) {
    if (width <= 0) return TextDup(TextRef());
    if (width > int(kMaxTextLength)) return TextRef::Failed(status::kStringTooLong);
    return TextRepeat(" "_t, static_cast<std::uint16_t>(width));
}

// A writable copy of t on a new level.
char* WritableCopy(TextRef t, TextRef* copy) {
    *copy = TextDup(t);
    return copy->failed() ? nullptr : copy->mutableData();
}

// ---- The numeric editor -----------------------------------------------------------------------

// Where the number part of a mask keeps its point and how many places lie on either side.
struct NumberLayout {
    std::int32_t pointAt = -1; // index of the first "." in the part, -1 when none
    std::int32_t integerPlaces = 0;
    std::int32_t decimalPlaces = 0;
};

bool IsSeparator(char c) { return c == '.' || c == ','; }

NumberLayout Analyze(const char* part, std::int32_t length) {
    NumberLayout l;
    for (std::int32_t i = 0; i < length; ++i) {
        if (part[i] == '.' && l.pointAt < 0) {
            l.pointAt = i;
        } else if (!IsSeparator(part[i])) {
            ++(l.pointAt < 0 ? l.integerPlaces : l.decimalPlaces);
        }
    }
    return l;
}

// Every "," before the point becomes a place like the next place after it (the part always ends
// with a place); commas among the decimals stay separators, as turning them into places would
// add decimals rather than integer places.
bool CommasToPlaces(char* part, std::int32_t length) {
    bool changed = false;
    char follower = part[length - 1];
    std::int32_t pointAt = 0;
    while (pointAt < length && part[pointAt] != '.') ++pointAt;
    for (std::int32_t i = length - 1; i >= 0; --i) {
        if (part[i] == ',' && i < pointAt) {
            part[i] = follower;
            changed = true;
        } else if (!IsSeparator(part[i])) {
            follower = part[i];
        }
    }
    return changed;
}

// One position to the right: a copy of the first place comes in at the left, the last character
// drops out.
void ShiftRight(char* part, std::int32_t length) {
    std::memmove(part + 1, part, std::size_t(length - 1));
}

struct Separators {
    char decimal;
    char thousands;
};

// The rounded number written over the part laid out as l.
void WriteNumber(char* part, std::int32_t length, const NumberLayout& l, const RoundedNumber& r,
                 Separators sep) {
    const std::int32_t point = r.number->point;
    const std::int32_t intEnd = l.pointAt < 0 ? length : l.pointAt;
    if (l.pointAt >= 0) {
        std::int32_t k = point;
        for (std::int32_t i = l.pointAt + 1; i < length; ++i) {
            if (part[i] == '.') {
                part[i] = sep.decimal;
            } else if (part[i] == ',') {
                part[i] = sep.thousands;
            } else {
                part[i] = char('0' + r.digit(k++));
            }
        }
        part[l.pointAt] = sep.decimal;
    }
    std::int32_t digits = r.integerCount();
    // Without integer digits a point still gets its "0" before it.
    const bool zeroBeforePoint = digits == 0 && l.pointAt >= 0;
    if (zeroBeforePoint) digits = 1;
    std::int32_t k = point - 1;
    bool lastZeroFill = false;
    std::int32_t signAt = -1;
    std::int32_t lastFill = -1;
    for (std::int32_t i = intEnd - 1; i >= 0; --i) {
        const char c = part[i];
        if (digits > 0) {
            if (c == ',') {
                part[i] = sep.thousands;
            } else {
                part[i] = zeroBeforePoint ? '0' : char('0' + r.digit(k--));
                --digits;
            }
            continue;
        }
        lastFill = i;
        if (c == '0') {
            lastZeroFill = true;
        } else if (c == ',') {
            part[i] = lastZeroFill ? sep.thousands : ' ';
        } else {
            part[i] = ' ';
            lastZeroFill = false;
        }
        // The sign goes where the number runs out, past any zeros the mask fills in.
        if (signAt < 0 && part[i] == ' ') signAt = i;
    }
    if (r.negative()) {
        if (signAt < 0) signAt = lastFill;
        if (signAt >= 0) part[signAt] = '-';
        // Nothing of the number stands before its sign: zeros the mask fills there go blank.
        for (std::int32_t i = 0; i < signAt; ++i) part[i] = ' ';
    }
}

// Fits the number into the part (commas to places, then shifts); false when it cannot fit.
bool FitNumber(char* part, std::int32_t length, const PlainNumber& n, NumberLayout* layout,
               RoundedNumber* rounded) {
    bool commasTried = false;
    for (;;) {
        const NumberLayout l = Analyze(part, length);
        const RoundedNumber r = RoundPlainNumber(n, l.decimalPlaces, false);
        const std::int32_t integers = std::max<std::int32_t>(r.integerCount(), l.pointAt >= 0);
        if (integers + (r.negative() ? 1 : 0) <= l.integerPlaces) {
            *layout = l;
            *rounded = r;
            return true;
        }
        if (!commasTried) {
            commasTried = true;
            if (CommasToPlaces(part, length)) continue;
        }
        if (l.pointAt < 0) return false;
        ShiftRight(part, length);
    }
}

// ---- Width fitting ----------------------------------------------------------------------------

// A plain number text: [-]digits[.digits] and nothing else.
bool IsPlainNumberText(TextRef t, const PlainNumber& n) {
    return n.valid && n.used == t.size() && n.point == std::int32_t(n.integer.size());
}

// A number too long for width, written again with as many decimals as fit.
TextRef ShortenNumber(TextRef t, int width) {
    const PlainNumber n = ReadPlainNumber(t);
    const std::uint16_t pointAt = TextFindChr(t, 0, '.', true);
    const int integerLength = pointAt == kNotFound ? t.size() : pointAt;
    if (!IsPlainNumberText(t, n) || integerLength > width) {
        return TextRef::Failed(status::kDataOutBound);
    }
    const int decimals = std::max(width - integerLength - 1, 0);
    const RoundedNumber r = RoundPlainNumber(n, decimals, true);
    const std::int32_t integers = r.integerCount();
    const std::int32_t length =
        (r.negative() ? 1 : 0) + integers + (decimals > 0 ? decimals + 1 : 0);
    if (length > width) return TextRef::Failed(status::kDataOutBound);
    const TextRef out = Blanks(width);
    if (out.failed()) return out;
    char* p = out.mutableData() + (width - length);
    if (r.negative()) *p++ = '-';
    for (std::int32_t k = n.point - integers; k < n.point; ++k) *p++ = char('0' + r.digit(k));
    if (decimals > 0) {
        *p++ = '.';
        for (std::int32_t k = n.point; k < n.point + decimals; ++k) *p++ = char('0' + r.digit(k));
    }
    return out;
}

TextRef RightAligned(TextRef t, int width) {
    const TextRef out = Blanks(width);
    if (out.failed() || t.empty()) return out;
    std::memcpy(out.mutableData() + (width - t.size()), t.data, t.size());
    return out;
}

TextRef LeftAligned(TextRef t, int width) {
    const TextRef out = Blanks(width);
    if (out.failed()) return out;
    std::memcpy(out.mutableData(), t.data, std::min<std::size_t>(t.size(), std::size_t(width)));
    return out;
}

// ---- Display and entry by type ----------------------------------------------------------------

TextRef DisplayDate(char type, TextRef value, int width) {
    const bool dated = width == kShortDateDisplay || width == kNumericDateDisplay;
    const DateStyle style = width == kShortDateDisplay ? DateStyle::Short : DateStyle::Numeric;
    const bool show = dated && (type == 'D' || !TextTrim(value, TrimSides::Both).empty());
    return show ? FormatDate(value, style) : Blanks(width);
}

TextRef DisplayLogical(TextRef value, int width) {
    const char first = value.empty() ? ' ' : value.data[0];
    const std::uint16_t at = TextFindChr(kLogicalStored, 0, first, true);
    const int word = at == kNotFound ? logical::kNo : logical::kUnknown + at;
    return FitToWidth(kPlainTextType, LogicalWord(word), width);
}

TextRef EntryLogical(TextRef text) {
    if (text.empty()) return TextDup(" "_t);
    const TextRef upper = TextCase(TextSub(text, 0, 1), LetterCase::Upper);
    const std::uint16_t at =
        upper.failed() ? kNotFound : TextFindChr(LogicalEntryChars(), 0, upper.data[0], true);
    const bool known = at != kNotFound && at < kLogicalStored.length;
    return TextDup(TextSub(kLogicalStored, known ? at : 0, 1));
}

TextRef EntryNumber(char type, TextRef text, int width) {
    const TextRef number = NormalizeNumber(text);
    if (number.failed()) return number;
    const int maskWidth = width >= 0 ? width : kUnfittedNumberWidth;
    const TextRef edited = NumericMask(DefaultMask(type, maskWidth, true), number, true);
    return width >= 0 ? edited : TextDup(TextTrim(edited, TrimSides::Both));
}

TextRef EntryCode(TextRef text, int width) {
    const TextRef fitted = FitToWidth(kCodeType, text, width);
    if (fitted.failed() || TextTrim(fitted, TrimSides::Both, " "_t).empty()) return fitted;
    char* p = fitted.mutableData();
    std::replace(p, p + fitted.size(), ' ', '0');
    return fitted;
}

TextRef EntryByType(char type, TextRef text, int width) {
    switch (type) {
    case 'B':
        return FitToWidth(type, text, width);
    case kCodeType:
        return EntryCode(text, width);
    case 'D':
    case 'F':
        return ReadDate(text);
    case 'L':
        return EntryLogical(text);
    default:
        break;
    }
    if (type == kWholeType || IsDigitType(type)) return EntryNumber(type, text, width);
    return TextDup(text);
}

// ---- Text masks -------------------------------------------------------------------------------

// A backslash, blanks and a closing backslash become backslashes over the whole span.
void WidenMarkers(char* m, std::uint32_t length) {
    std::uint32_t i = 0;
    while (i < length) {
        if (m[i] != '\\') {
            ++i;
            continue;
        }
        std::uint32_t j = i + 1;
        while (j < length && m[j] == ' ') ++j;
        if (j >= length) return;
        if (m[j] == '\\') {
            std::memset(m + i, '\\', j - i);
            i = j; // the closing backslash may open the next span
        } else {
            const void* close = std::memchr(m + j, '\\', length - j);
            if (close == nullptr) return;
            i = std::uint32_t(static_cast<const char*>(close) - m);
        }
    }
}

} // namespace

TextRef DisplayValue(char type, TextRef value, int width) {
    if (value.failed()) return value;
    ScratchScope scope;
    const char t = EffectiveType(type);
    TextRef out;
    if (Contains(kBlankDateTypes, t)) {
        out = DisplayDate(t, value, width);
    } else if (t == 'L') {
        out = DisplayLogical(value, width);
    } else if (t == kWholeType || IsDigitType(t)) {
        const TextRef trimmed = TextTrim(value, TrimSides::Both);
        out = width < 0 ? TextDup(trimmed) : ApplyMask(DefaultMask(t, width, true), trimmed);
    } else if (t == kHiddenType) {
        // Hidden means hidden, also when the value happens to have the field's width.
        out = Blanks(width);
    } else if (width != kNoWidth && width != int(value.size())) {
        out = FitToWidth(t, value, width);
    } else {
        out = TextDup(value);
    }
    return scope.Return(out);
}

TextRef EntryValue(char type, TextRef text, int width) {
    if (text.failed()) return text;
    ScratchScope scope;
    const char t = EffectiveType(type);
    TextRef out = EntryByType(t, text, width);
    // A hidden value is only shown as blanks; what was typed into it is kept, as text.
    const char fitType = t == kHiddenType ? kPlainTextType : t;
    if (!out.failed() && width != kNoWidth) out = FitToWidth(fitType, out, width);
    return scope.Return(out);
}

TextRef FitToWidth(char type, TextRef text, int width) {
    if (text.failed()) return text;
    if (width > int(kMaxTextLength)) return TextRef::Failed(status::kStringTooLong);
    ScratchScope scope;
    TextRef out;
    if (type == kHiddenType) {
        out = Blanks(width);
    } else if (width < 0) {
        out = TextDup(text);
    } else if (Contains(kTextTypes, type)) {
        out = LeftAligned(text, width);
    } else {
        const TextRef trimmed = TextTrim(text, TrimSides::Both);
        out =
            trimmed.size() <= width ? RightAligned(trimmed, width) : ShortenNumber(trimmed, width);
    }
    return scope.Return(out);
}

TextRef DefaultMask(char type, int width, bool plain) {
    if (width > int(kMaxTextLength)) return TextRef::Failed(status::kStringTooLong);
    if (width <= 0) return TextDup(TextRef());
    const std::uint16_t at = TextFindChr(kDefaultMaskTypes, 0, type, true);
    const char place = kDefaultMaskChars.data[at == kNotFound ? kDefaultMaskTypes.length : at];
    const TextRef mask = TextRepeat(TextRef(&place, 1), static_cast<std::uint16_t>(width));
    if (!mask.failed() && IsDigitType(type)) {
        const int decimals = type - '0';
        if (decimals + 1 < width)
            mask.mutableData()[width - (decimals + 1)] = DecimalSeparator(plain);
    }
    return mask;
}

TextRef MaskFromText(TextRef mask, bool plain) {
    if (mask.failed()) return mask;
    if (mask.empty() || Contains(kMaskPlaces, mask.data[0]) ||
        !Contains(kTypeLetters, mask.data[0])) {
        return TextDup(mask);
    }
    ScratchScope scope;
    const int width = std::max<int>(TextToInt(TextSub(mask, 1, -1)), 0);
    return scope.Return(DefaultMask(mask.data[0], width, plain));
}

TextRef ApplyMask(TextRef mask, TextRef value) {
    if (mask.failed()) return mask;
    if (value.failed()) return value;
    const std::uint16_t at = TextFindAny(mask, 0, kMaskPlaces, true);
    if (at == kNotFound) return TextDup(mask);
    switch (mask.data[at]) {
    case '\\':
        return TextMask(mask, value, MaskMode::Sequential);
    case '?':
        return TextMask(mask, value, MaskMode::Positional);
    default:
        return NumericMask(mask, value, false);
    }
}

TextRef NumericMask(TextRef mask, TextRef value, bool plain) {
    if (mask.failed()) return mask;
    if (value.failed()) return value;
    std::int32_t first = -1;
    std::int32_t last = -1;
    for (std::int32_t i = 0; i < mask.size(); ++i) {
        if (!IsNumberPlace(mask.data[i])) continue;
        if (first < 0) first = i;
        last = i;
    }
    if (first < 0) return TextDup(mask);
    const std::int32_t length = last - first + 1;
    const PlainNumber n = ReadPlainNumber(value);
    // No amount of shifting gives a part more integer places than it has characters.
    if (n.significantIntegers() > length) return TextRef::Failed(status::kDataOutBound);
    ScratchScope scope;
    TextRef out;
    char* p = WritableCopy(mask, &out);
    if (p == nullptr) return scope.Return(out);
    NumberLayout layout;
    RoundedNumber rounded;
    if (!FitNumber(p + first, length, n, &layout, &rounded)) {
        return TextRef::Failed(status::kDataOutBound);
    }
    WriteNumber(p + first, length, layout, rounded,
                {DecimalSeparator(plain), ThousandsSeparator(plain)});
    return scope.Return(out); // already one level above the mark
}

TextRef TextMask(TextRef mask, TextRef value, MaskMode mode) {
    if (mask.failed()) return mask;
    if (value.failed()) return value;
    TextRef out;
    char* p = WritableCopy(mask, &out);
    if (p == nullptr) return out;
    WidenMarkers(p, out.size());
    std::uint32_t next = 0; // the next unused value character
    for (std::uint32_t i = 0; i < out.size(); ++i) {
        if (p[i] != '\\' && p[i] != '?') continue;
        std::uint32_t from = next;
        if (mode == MaskMode::Positional && p[i] == '?') {
            from = i;
            next = std::max(next, i + 1);
        } else {
            ++next;
        }
        p[i] = from < value.size() ? value.data[from] : ' ';
    }
    return out;
}

TextRef NormalizeNumber(TextRef text) {
    if (text.failed()) return text;
    ScratchScope scope;
    const TextRef t = TextTrim(text, TrimSides::Both);
    TextRef allowed = NumberEntryChars();
    if (allowed.empty()) allowed = TextView("0123456789.-D");
    std::uint16_t n = 0;
    while (n < t.size()) {
        const char c = t.data[n];
        if ((c != '.' && !Contains(allowed, c)) || (c == '-' && n > 0)) break;
        if (n == kMaxNumberEntry) return TextRef::Failed(status::kDataOutBound);
        ++n;
    }
    TextRef out;
    char* p = WritableCopy(TextSub(t, 0, n), &out);
    if (p == nullptr) return scope.Return(out);
    const char decimal = DecimalSeparator(false);
    const std::uint16_t decimalAt = decimal == '.' ? kNotFound : TextFindChr(out, 0, decimal, true);
    std::uint16_t kept = 0;
    for (std::uint16_t i = 0; i < n; ++i) {
        // With the language's separator present, a "." before it groups thousands.
        if (p[i] == '.' && decimalAt != kNotFound && i < decimalAt) continue;
        p[kept++] = p[i] == decimal ? '.' : p[i];
    }
    std::uint16_t start = 0;
    while (start < kept && p[start] == '0' && !(start + 1 < kept && p[start + 1] == '.')) ++start;
    return scope.Return(TextRef(p + start, static_cast<std::uint16_t>(kept - start)));
}

} // namespace vodarir
