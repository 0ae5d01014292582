// Dates: validity, display styles, reading typed dates, and the parts of a stored date.
#include "masks/dates.h"

#include <algorithm>

#include "host/time_texts.h"
#include "masks/number_format.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

using namespace literals;

namespace {

constexpr int kMaxYear = 9999;
constexpr std::int32_t kYearFactor = 10000;
constexpr std::int32_t kMonthFactor = 100;
constexpr std::uint16_t kDateTextMaximum = 32;
// A whole number read from a date item stops growing here: no valid part is this large.
constexpr std::int32_t kWholeLimit = 100000000;
constexpr int kMonthAbbreviation = 3;
constexpr TextRef kDateSeparators = "-./"_t;
constexpr TextRef kMonthYearTemplate = "[M] [Y]"_t;
constexpr int kSixDigitDate = 6;
constexpr int kTwoDigitYear = 2;
constexpr int kCentury = 100;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Leading digits of a trimmed text as a whole number (0 when it starts with anything else).
std::int32_t ReadWhole(TextRef t) {
    const TextRef s = TextTrim(t, TrimSides::Both);
    std::int32_t n = 0;
    for (std::uint16_t i = 0; i < s.size() && IsDigit(s.data[i]); ++i) {
        n = n * 10 + (s.data[i] - '0');
        if (n >= kWholeLimit) return kWholeLimit;
    }
    return n;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool IsValid(const CalendarDate& d) {
    return d.year >= 1 && d.year <= kMaxYear && d.day >= 1 && d.day <= DaysInMonth(d.year, d.month);
}

TextRef StoredText(const CalendarDate& d) {
    return TextFormat(kDateTextMaximum, "%04d%02d%02d", d.year, d.month, d.day);
}

TextRef Blanks(int width) { return TextRepeat(" "_t, static_cast<std::uint16_t>(width)); }

// "[D]", "[M]" and "[Y]" of a template replaced by day, month name and year.
TextRef FillTemplate(TextRef pattern, const CalendarDate& d, TextRef monthName) {
    const TextRef day = TextFormat(kDateTextMaximum, "%02d", d.day);
    const TextRef year = TextFormat(kDateTextMaximum, "%04d", d.year);
    TextRef out = TextReplace(pattern, "[D]"_t, day, true);
    out = TextReplace(out, "[M]"_t, monthName, true);
    return TextReplace(out, "[Y]"_t, year, true);
}

TextRef Numeric(const CalendarDate& d, bool shortYear) {
    const TextRef day = TextFormat(kDateTextMaximum, "%02d", d.day);
    const TextRef month = TextFormat(kDateTextMaximum, "%02d", d.month);
    const TextRef year = shortYear ? TextFormat(kDateTextMaximum, "%02d", d.year % kCentury)
                                   : TextFormat(kDateTextMaximum, "%04d", d.year);
    const bool dayFirst = DayFirstLanguage();
    const TextRef first = dayFirst ? day : month;
    const TextRef second = dayFirst ? month : day;
    return TextFormat(kDateTextMaximum, "%.*s-%.*s-%.*s", int(first.size()), first.data,
                      int(second.size()), second.data, int(year.size()), year.data);
}

TextRef Styled(TextRef stored, const CalendarDate& d, DateStyle style) {
    switch (style) {
    case DateStyle::Stored:
        return TextDup(stored);
    case DateStyle::Short:
        return Numeric(d, true);
    case DateStyle::Numeric:
        return Numeric(d, false);
    case DateStyle::MonthYear:
        return FillTemplate(kMonthYearTemplate, d,
                            TextSub(MonthName(d.month), 0, kMonthAbbreviation));
    case DateStyle::Long:
        return FillTemplate(LongDateTemplate(), d, MonthName(d.month));
    default:
        return TextDup(TextRef());
    }
}

TextRef Invalid(DateStyle style) {
    if (style == DateStyle::Short) return Blanks(kShortDateWidth);
    if (style == DateStyle::Numeric) return Blanks(kNumericDateWidth);
    return TextDup(TextRef());
}

int ExpandYear(int year) {
    const int base = IntVarGet(sysvar::kBYear);
    return year < IntVarGet(sysvar::kBKYear) ? base + year : base + year - kCentury;
}

// Six characters month, day, year rewritten with "-" in the language's order.
TextRef FromSixDigits(TextRef t) {
    const TextRef month = TextSub(t, 0, 2);
    const TextRef day = TextSub(t, 2, 2);
    const TextRef year = TextSub(t, 4, 2);
    const bool dayFirst = DayFirstLanguage();
    const TextRef first = dayFirst ? day : month;
    const TextRef second = dayFirst ? month : day;
    return TextFormat(kDateTextMaximum, "%.*s-%.*s-%.*s", int(first.size()), first.data,
                      int(second.size()), second.data, int(year.size()), year.data);
}

TextRef FromSeparated(TextRef t, char sep) {
    const std::int32_t a = ReadWhole(ListItem(t, sep, 1));
    const std::int32_t b = ReadWhole(ListItem(t, sep, 2));
    const TextRef yearItem = TextTrim(ListItem(t, sep, 3), TrimSides::Both);
    std::int32_t year = ReadWhole(yearItem);
    if (yearItem.size() == kTwoDigitYear) year = ExpandYear(year);
    const bool dayFirst = DayFirstLanguage();
    CalendarDate d;
    d.year = year;
    d.month = dayFirst ? b : a;
    d.day = dayFirst ? a : b;
    if (d.year == 0 || d.month == 0 || d.day == 0 || !IsValid(d)) return TextDup(TextRef());
    return StoredText(d);
}

} // namespace

int DaysInMonth(int year, int month) {
    static constexpr int kDays[kMonthsInYear] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > kMonthsInYear) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool DateSplit(TextRef stored, CalendarDate* date) {
    const TextRef s = TextTrim(stored, TrimSides::Both);
    if (s.size() != kStoredDateLength) return false;
    for (std::uint16_t i = 0; i < s.size(); ++i) {
        if (!IsDigit(s.data[i])) return false;
    }
    CalendarDate d;
    d.year = ReadWhole(TextSub(s, 0, 4));
    d.month = ReadWhole(TextSub(s, 4, 2));
    d.day = ReadWhole(TextSub(s, 6, 2));
    if (!IsValid(d)) return false;
    *date = d;
    return true;
}

TextRef FormatDate(TextRef date, DateStyle style) {
    if (date.failed()) return date;
    ScratchScope scope;
    TextRef stored = TextTrim(date, TrimSides::Both);
    if (stored.empty() && IntVarTest(sysvar::kDate, kDateEmptyIsToday)) {
        stored = TextFormat(kDateTextMaximum, "%08d", int(DateNow()));
    }
    CalendarDate d;
    const TextRef out = DateSplit(stored, &d) ? Styled(stored, d, style) : Invalid(style);
    return scope.Return(out);
}

TextRef ReadDate(TextRef text) {
    if (text.failed()) return text;
    ScratchScope scope;
    TextRef t = TextTrim(text, TrimSides::Both);
    std::uint16_t at = TextFindAny(t, 0, kDateSeparators, true);
    if (at == kNotFound && t.size() == kSixDigitDate) {
        t = FromSixDigits(t);
        at = TextFindAny(t, 0, kDateSeparators, true);
    }
    TextRef out;
    if (at != kNotFound) {
        out = FromSeparated(t, t.data[at]);
    } else {
        CalendarDate d;
        out = DateSplit(t, &d) ? TextDup(t) : TextDup(TextRef());
    }
    return scope.Return(out);
}

std::int32_t DatePart(TextRef date, DatePiece part) {
    const TextRef s = TextTrim(date, TrimSides::Both);
    const int length = s.size();
    const std::int32_t day = ReadWhole(TextSub(s, std::max(length - 2, 0), 2));
    const std::int32_t month = ReadWhole(TextSub(s, std::max(length - 4, 0), 2));
    const std::int32_t year = ReadWhole(TextSub(s, 0, 4));
    switch (part) {
    case DatePiece::Day:
        return day;
    case DatePiece::Month:
        return month;
    case DatePiece::Year:
        return year;
    case DatePiece::Whole:
        return year * kYearFactor + month * kMonthFactor + day;
    default:
        return 0;
    }
}

} // namespace vodarir
