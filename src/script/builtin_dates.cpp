// Built-in functions over dates and times: FN#VALN (numbers, date parts, date arithmetic),
// FN$DATE and TIME$.
//
// Date arithmetic works on calendar dates of the Gregorian calendar (the month lengths of
// masks/dates.h, which also decide what a valid stored date is), so that every date it answers
// is one the rest of the runtime accepts. Differences in days count the real days between the
// two dates, leap days of the years between them included.
#include <algorithm>

#include "host/time_texts.h"
#include "masks/dates.h"
#include "masks/formatting.h"
#include "runtime/store/number_text.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"
#include "script/builtin_functions.h"
#include "script/builtin_support.h"
#include "script/evaluator.h"

namespace vodarir::builtin {

namespace {

using namespace literals;

constexpr char kComma = ',';
constexpr TextRef kValueKinds = "N,D,M,Y,V"_t;
namespace kind {
constexpr std::uint16_t kNumber = 1;
constexpr std::uint16_t kDay = 2;
constexpr std::uint16_t kMonth = 3;
constexpr std::uint16_t kYear = 4;
constexpr std::uint16_t kWhole = 5;
} // namespace kind
// The date part each kind reads when no reference is given, by kind number (none for the first
// two, which read no part).
constexpr DatePiece kPartOfKind[] = {DatePiece{},      DatePiece{},     DatePiece::Day,
                                     DatePiece::Month, DatePiece::Year, DatePiece::Whole};

// A reference up to this is an amount to add; above it, a date to subtract.
constexpr std::int64_t kLargestAmount = 10000;
constexpr std::int32_t kYearFactor = 10000;
constexpr std::int32_t kMonthFactor = 100;
constexpr int kMonths = 12;
constexpr std::uint16_t kDateTextMaximum = 24;
constexpr TextRef kDateSeparators = "-./"_t;

// A typed date with separators read into the stored form; any other text taken as it is.
TextRef StoredDate(TextRef text) {
    if (TextFindAny(text, 0, kDateSeparators, true) == kNotFound)
        return TextTrim(text, TrimSides::Both);
    return ReadDate(text);
}

std::int32_t WholeOf(const CalendarDate& d) {
    return d.year * kYearFactor + d.month * kMonthFactor + d.day;
}

// A whole date value (year × 10000 + month × 100 + day) as a calendar date; false when invalid.
bool DateOfWhole(std::int64_t whole, CalendarDate* date) {
    if (whole <= 0) return false;
    ScratchScope scope;
    const TextRef text = TextFormat(kDateTextMaximum, "%08lld", static_cast<long long>(whole));
    return !text.failed() && DateSplit(text, date);
}

void NormaliseMonth(CalendarDate* d) {
    while (d->month <= 0) {
        d->month += kMonths;
        --d->year;
    }
    while (d->month > kMonths) {
        d->month -= kMonths;
        ++d->year;
    }
}

// The date moved by amount days, months or years (kind "V" only normalises). A month step keeps
// the day within the new month; a day step carries into the months before or after.
CalendarDate Shifted(CalendarDate d, std::uint16_t which, int amount) {
    if (which == kind::kDay) d.day += amount;
    if (which == kind::kMonth) d.month += amount;
    if (which == kind::kYear) d.year += amount;
    NormaliseMonth(&d);
    if (which == kind::kMonth) d.day = std::min(d.day, DaysInMonth(d.year, d.month));
    while (d.day > DaysInMonth(d.year, d.month)) {
        d.day -= DaysInMonth(d.year, d.month);
        ++d.month;
        NormaliseMonth(&d);
    }
    while (d.day <= 0) {
        --d.month;
        NormaliseMonth(&d);
        d.day += DaysInMonth(d.year, d.month);
    }
    return d;
}

// Days since 1 March of year 0 of the proleptic Gregorian calendar.
std::int64_t DayNumber(const CalendarDate& d) {
    const std::int64_t y = d.month <= 2 ? d.year - 1 : d.year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t m = d.month > 2 ? d.month - 3 : d.month + 9;
    const std::int64_t dayOfYear = (153 * m + 2) / 5 + d.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

std::int64_t Difference(const CalendarDate& d, const CalendarDate& ref, std::uint16_t which) {
    switch (which) {
    case kind::kDay:
        return DayNumber(d) - DayNumber(ref);
    case kind::kMonth:
        return std::int64_t{d.year - ref.year} * kMonths + (d.month - ref.month);
    case kind::kYear:
        return d.year - ref.year;
    case kind::kWhole:
    default:
        return 0; // a whole value has no difference
    }
}

// Date arithmetic of FN#VALN. The reference is the third argument read as an integer, or, when
// it is a text or too large for one, that text read as a date and taken as its whole value. Up
// to 10000 it is an amount to add; above, a date to subtract.
StatusCode Arithmetic(TextRef text, std::uint16_t which, TextRef reference, bool referenceText) {
    std::int64_t value = 0;
    if (!referenceText) value = FixedToWhole(NumberValue(reference), FixedDecimals());
    if (referenceText || value < INT16_MIN || value > INT16_MAX) {
        const TextRef asText = referenceText ? reference : FixedToText(NumberValue(reference));
        value = DatePart(ReadDate(asText), DatePiece::Whole);
    }
    CalendarDate date;
    if (!DateSplit(StoredDate(text), &date)) return PushInteger(0);
    if (value <= kLargestAmount) {
        return PushInteger(WholeOf(Shifted(date, which, static_cast<int>(value))));
    }
    CalendarDate ref;
    if (!DateOfWhole(value, &ref)) return PushInteger(0);
    return PushInteger(Difference(date, ref, which));
}

StatusCode NumberOfText(TextRef text) {
    const TextRef plain = NormalizeNumber(text);
    if (plain.failed()) return plain.status();
    FixedNumber value = 0;
    const StatusCode st = FixedFromText(plain, &value);
    return st != status::kOk ? st : PushNumber(value);
}

} // namespace

StatusCode Value(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 3);
    if (st != status::kOk) return st;
    const bool withReference = ArgGiven(call, 3);
    bool referenceText = false;
    st = ArgAny(call, 3, ""_t, &referenceText);
    const TextRef reference = ScratchTop();
    TextRef kindText = "N"_t;
    TextRef text = ""_t;
    if (st == status::kOk) st = ArgText(call, 2, kindText, &kindText);
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &text);
    if (st != status::kOk) return st;
    const std::uint16_t which = ListFind(kValueKinds, kindText, kComma);
    if (which == 0) return status::kSyntax;
    if (which == kind::kNumber) return NumberOfText(text);
    if (!withReference) return PushInteger(DatePart(StoredDate(text), kPartOfKind[which]));
    return Arithmetic(text, which, reference, referenceText);
}

StatusCode Date(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 2);
    std::int64_t style = static_cast<std::int64_t>(DateStyle::Stored);
    TextRef date = ""_t;
    if (st == status::kOk) st = ArgWhole(call, 2, style, INT16_MIN, INT16_MAX, &style);
    if (st == status::kOk) st = ArgTextAny(call, 1, ""_t, &date);
    if (st != status::kOk) return st;
    const TextRef stored = StoredDate(date);
    // The script's number is the style's number; an unknown one formats as nothing.
    return PushResult(stored.failed() ? stored : FormatDate(stored, static_cast<DateStyle>(style)));
}

StatusCode Time(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 0, 2);
    std::int64_t style = 0;
    TextRef time = ""_t;
    if (st == status::kOk) st = ArgWhole(call, 2, 0, INT16_MIN, INT16_MAX, &style);
    if (st == status::kOk) st = ArgText(call, 1, ""_t, &time);
    if (st != status::kOk) return st;
    return PushResult(TimeText(TimeRead(time), static_cast<int>(style)));
}

} // namespace vodarir::builtin
