// The active number format (decimal and thousands separators, the characters of a typed number,
// the logical-value letters and words) and the language's month list, both kept in environment
// slot 0.0.
//
// Environment slot 0.0 holds the language's number format, a zero byte, then the month list:
// twelve month names and, as item 13, the long date template in quotes. The active format is a
// copy taken by UseLanguageFormat; until it runs (and after every RuntimeInit) the built-in format
// applies, and month names read empty while slot 0.0 holds no month list.
//
// Layout of a format text: character 1 the decimal separator, character 2 the thousands
// separator, then three quoted items separated by ",": the characters allowed in a typed number,
// the letters accepted for a logical entry (blank, no, yes) and the three display words of a
// logical value (blank, no, yes) as a comma list.
//
// Ownership: NumberFormat and the parts read from it are views of the active copy, valid until
// the next UseLanguageFormat or UseBuiltinFormat. MonthName and LongDateTemplate answer copies on
// the ScratchStack (the slot store moves its texts whenever it changes).
//
// Invariant: the active copy always holds at least two characters (both separators).
#pragma once

#include <cstdint>

#include "runtime/store/slot_store.h"
#include "runtime/text/status.h"
#include "runtime/text/text_ref.h"

namespace vodarir {

inline constexpr TextRef kBuiltinNumberFormat = TextView(".,'0123456789.-D',' NY','  ,NO,YES'");
// The longest format text the active copy can hold; a longer one is refused.
inline constexpr std::uint16_t kMaxNumberFormatLength = 160;
// Environment slots read here.
inline constexpr SlotIndex kLanguageFormatSlot = 0;
inline constexpr SlotIndex kLanguageCodeSlot = 4;
// Catalogue messages that hold the language's format and its month list.
inline constexpr char kFormatMessage[] = "0019";
inline constexpr char kMonthListMessage[] = "0117";
// Languages that write the day before the month.
inline constexpr TextRef kDayFirstLanguages = TextView("ES,FR,IT");
inline constexpr int kMonthsInYear = 12;
inline constexpr std::uint16_t kLongDateTemplateItem = 13;

// Logical words and entry letters by position.
namespace logical {
inline constexpr int kUnknown = 1;
inline constexpr int kNo = 2;
inline constexpr int kYes = 3;
} // namespace logical

// The active format text.
TextRef NumberFormat();
// Makes the format in environment slot 0.0 (up to its first zero byte) the active one. A format
// shorter than two characters or longer than kMaxNumberFormatLength is refused with kBadData
// and the active format stays as it was.
StatusCode UseLanguageFormat();
// Back to the built-in format; RuntimeInit calls it, because a new store has an empty slot 0.0.
void UseBuiltinFormat();
// The start-up step that fills slot 0.0 from the catalogue: message 0019, a zero byte and message
// 0117; then UseLanguageFormat. The designer's start-up and the command-line tool call it once the
// language has been chosen (after MsgStartLanguage), and again whenever the language changes.
StatusCode LoadLanguageFormat();

// plain: the built-in "." and ","; otherwise the active format's separators.
char DecimalSeparator(bool plain);
char ThousandsSeparator(bool plain);
// The characters of a typed number (item 1), the logical entry letters (item 2, blank, no, yes)
// and display word n (logical::...) of the active format; empty when the format lacks them.
TextRef NumberEntryChars();
TextRef LogicalEntryChars();
TextRef LogicalWord(int n);

// Month 1..12 of the month list in slot 0.0; empty for any other month or without a list.
TextRef MonthName(int month);
// Item 13 of the month list without its quotes.
TextRef LongDateTemplate();
// The language code of environment slot 0.4 is one of ES, FR, IT (any letter case).
bool DayFirstLanguage();

} // namespace vodarir
