// Dates: the stored form (eight digits, year, month, day), reading typed dates in the language's
// order with two-digit years, writing them in the display styles, and the parts of a stored date.
//
// Validity: a stored date is exactly eight digits whose year is 1..9999, month 1..12 and day
// within the month of the Gregorian calendar (29 February only in leap years). Anything else is
// invalid: FormatDate shows blanks of the style's width (or nothing), ReadDate answers the empty
// text.
//
// Ownership: FormatDate and ReadDate answer a new ScratchStack level above the caller's depth.
#pragma once

#include <cstdint>

#include "runtime/text/text_ref.h"

namespace vodarir {

inline constexpr int kStoredDateLength = 8;
// Bit of the integer system variable _DATE: an empty date stands for today.
inline constexpr std::uint16_t kDateEmptyIsToday = 1;

// Styles of FormatDate, numbered as scripts number them.
enum class DateStyle {
    Stored = 0,    // 20240305
    Short = 1,     // 05-03-24 (day first in ES, FR, IT; month first otherwise)
    Numeric = 2,   // 05-03-2024
    MonthYear = 3, // Mar 2024 (first three letters of the month name)
    Long = 4,      // the long template of the month list: 05 de Marzo de 2024
};
// Widths of the blanks an invalid date shows in the short and numeric styles.
inline constexpr int kShortDateWidth = 8;
inline constexpr int kNumericDateWidth = 10;

// Parts of DatePart.
enum class DatePiece {
    Day = 1,
    Month = 2,
    Year = 4,
    Whole = 15, // year × 10000 + month × 100 + day
};

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// Days of a month of the Gregorian calendar; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);
// Reads a stored date (blanks around it ignored); false when it is not a valid date.
bool DateSplit(TextRef stored, CalendarDate* date);

// The date (stored form; empty means today when bit kDateEmptyIsToday of _DATE is set) in a style
// of DateStyle. Month names and the long template come from the month list of environment slot
// 0.0. An invalid date gives 8 blanks in the short style, 10 in the numeric style, else the empty
// text; an unknown style gives the empty text.
TextRef FormatDate(TextRef date, DateStyle style);
// A typed date to the stored form. With "-", "." or "/" the first of them found separates three
// whole numbers: day, month, year in ES, FR and IT, month, day, year otherwise; a year of exactly
// two characters takes its century from _BYEAR and the pivot _BKYEAR. Six characters without a
// separator are month, day and year pairs. Any other text must already be the stored form. An
// invalid date (a zero part among them) gives the empty text.
TextRef ReadDate(TextRef text);
// A part of a stored date, each read as a whole number from its fixed place:
// the day from the last two characters, the month from the two that begin four before the end,
// the year from the first four. Any other mask answers 0.
std::int32_t DatePart(TextRef date, DatePiece part);

} // namespace vodarir
