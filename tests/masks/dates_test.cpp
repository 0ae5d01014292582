// Dates: reading typed dates across languages and two-digit years, every display style, the
// parts of a stored date; and the language's number format and month list in slot 0.0.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/time_texts.h"
#include "masks/dates.h"
#include "masks/number_format.h"
#include "masks_fixture.h"
#include "runtime/messages/language_files.h"
#include "runtime/store/variables.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class DatesTest : public MasksTest {
protected:
    void TearDown() override {
        TimeSetClock(nullptr);
        MasksTest::TearDown();
    }
};

struct ReadRow {
    const char* language;
    const char* text;
    const char* expected;
};

TEST_F(DatesTest, ReadDateInTheLanguagesOrderWithTwoDigitYears) {
    const std::vector<ReadRow> rows = {
        {"ES", "31/12/99", "19991231"},
        {"ES", "31/12/79", "20791231"},
        {"ES", "31/12/80", "19801231"},
        {"ES", "1/1/00", "20000101"},
        {"ES", "5.3.2024", "20240305"},
        {"ES", "5-3-24", "20240305"},
        {"ES", " 5 / 3 / 2024 ", "20240305"},
        {"EN", "12/31/2024", "20241231"},
        {"EN", "3/5/2024", "20240305"},
        {"FR", "3/5/2024", "20240503"},
        {"EN", "1/1/5", "00050101"}, // a one-digit year is taken as written
        // Six characters without a separator are month, day, year in any language.
        {"EN", "030524", "20240305"},
        {"ES", "030524", "20240305"},
        {"ES", "20240305", "20240305"},
        {"ES", "  20240305 ", "20240305"},
        // Invalid dates read empty.
        {"ES", "31/02/2024", ""},
        {"ES", "29/02/2023", ""},
        {"ES", "29/02/2024", "20240229"},
        {"ES", "29/02/1900", ""},
        {"ES", "29/02/2000", "20000229"},
        {"EN", "13/1/2024", ""},
        {"ES", "0/1/2024", ""},
        {"ES", "1/0/2024", ""},
        {"ES", "1/1/0", ""},
        {"ES", "1/1", ""},
        {"ES", "/", ""},
        {"ES", "", ""},
        {"ES", "2024030", ""},
        {"ES", "abcdefgh", ""},
        {"ES", "20241301", ""},
        {"ES", "1/1/99999", ""},
        {"ES", "x/1/2024", ""},
    };
    for (const ReadRow& r : rows) {
        SetLanguage(r.language);
        EXPECT_EQ(Run([&] { return ReadDate(TextView(r.text)); }), r.expected)
            << r.language << " '" << r.text << "'";
    }
}

TEST_F(DatesTest, TwoDigitYearsFollowTheCenturyAndPivotVariables) {
    Spanish();
    IntVarSet(sysvar::kBKYear, 50);
    EXPECT_EQ(Run([] { return ReadDate("31/12/60"_t); }), "19601231");
    EXPECT_EQ(Run([] { return ReadDate("31/12/49"_t); }), "20491231");
    IntVarSet(sysvar::kBYear, 1900);
    EXPECT_EQ(Run([] { return ReadDate("31/12/49"_t); }), "19491231");
    EXPECT_EQ(Run([] { return ReadDate("31/12/2049"_t); }), "20491231"); // four digits stay
}

struct FormatRow {
    const char* language;
    const char* date;
    int style;
    const char* expected;
};

TEST_F(DatesTest, FormatDateInEveryStyle) {
    const std::vector<FormatRow> rows = {
        {"ES", "20240305", 0, "20240305"},
        {"ES", "20240305", 1, "05-03-24"},
        {"ES", "20240305", 2, "05-03-2024"},
        {"ES", "20240305", 3, "Mar 2024"},
        {"ES", "20240305", 4, "05 de Marzo de 2024"},
        {"ES", "20240305", 5, ""},
        {"ES", "20241231", 3, "Dic 2024"},
        {"EN", "20240305", 0, "20240305"},
        {"EN", "20240305", 1, "03-05-24"},
        {"EN", "20240305", 2, "03-05-2024"},
        {"EN", "20240305", 3, "Mar 2024"},
        {"EN", "20240305", 4, "05 March 2024"},
        {"EN", "20240305", -1, ""},
        {"EN", "20050101", 1, "01-01-05"},
        {"ES", "20240230", 0, ""},
        {"ES", "20240230", 1, "        "},
        {"ES", "20240230", 2, "          "},
        {"ES", "20240230", 3, ""},
        {"ES", "20240230", 4, ""},
        {"ES", "", 2, "          "},
        {"ES", "x", 1, "        "},
    };
    for (const FormatRow& r : rows) {
        SetLanguage(r.language);
        // The table holds the styles' numbers, as scripts give them.
        EXPECT_EQ(
            Run([&] { return FormatDate(TextView(r.date), static_cast<DateStyle>(r.style)); }),
            r.expected)
            << r.language << " '" << r.date << "' style " << r.style;
    }
}

TEST_F(DatesTest, AnEmptyDateIsTodayWhenTheDateVariableAsks) {
    TimeSetClock([] { return ClockReading{2026, 1, 9, 8, 0, 0}; });
    Spanish();
    EXPECT_EQ(Run([] { return FormatDate(""_t, DateStyle::Numeric); }), "          ");
    IntVarSet(sysvar::kDate, 1);
    EXPECT_EQ(Run([] { return FormatDate(""_t, DateStyle::Numeric); }), "09-01-2026");
    EXPECT_EQ(Run([] { return FormatDate("  "_t, DateStyle::Stored); }), "20260109");
    IntVarSet(sysvar::kDate, 2); // another bit does not ask
    EXPECT_EQ(Run([] { return FormatDate(""_t, DateStyle::Stored); }), "");
}

TEST_F(DatesTest, WithoutAMonthListMonthNamesAreEmpty) {
    // A fresh runtime: the built-in format, no month list, no language code.
    EXPECT_EQ(Run([] { return FormatDate("20240305"_t, DateStyle::MonthYear); }), " 2024");
    EXPECT_EQ(Run([] { return FormatDate("20240305"_t, DateStyle::Long); }), "");
    EXPECT_EQ(Run([] { return FormatDate("20240305"_t, DateStyle::Numeric); }), "03-05-2024");
}

TEST_F(DatesTest, DatePartsReadTheirFixedPlaces) {
    const std::vector<std::pair<int, std::int32_t>> rows = {
        {static_cast<int>(DatePiece::Day), 5},
        {static_cast<int>(DatePiece::Month), 3},
        {static_cast<int>(DatePiece::Year), 2024},
        {static_cast<int>(DatePiece::Whole), 20240305},
        {3, 0},
        {0, 0},
    };
    for (const auto& [mask, expected] : rows)
        EXPECT_EQ(DatePart("20240305"_t, static_cast<DatePiece>(mask)), expected) << mask;
    EXPECT_EQ(DatePart(" 19991231 "_t, DatePiece::Whole), 19991231);
    EXPECT_EQ(DatePart(""_t, DatePiece::Whole), 0);
}

TEST_F(DatesTest, DaysInMonthFollowsTheGregorianCalendar) {
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2024, 4), 30);
    EXPECT_EQ(DaysInMonth(2024, 12), 31);
    EXPECT_EQ(DaysInMonth(2024, 13), 0);
    EXPECT_EQ(DaysInMonth(2024, 0), 0);
}

// --- The language's format ---------------------------------------------------------------------

TEST_F(DatesTest, TheBuiltInFormatAppliesUntilALanguageFormatIsUsed) {
    EXPECT_EQ(Str(NumberFormat()), Str(kBuiltinNumberFormat));
    EXPECT_EQ(DecimalSeparator(false), '.');
    EXPECT_EQ(Str(LogicalWord(logical::kYes)), "YES");
    Spanish();
    EXPECT_EQ(DecimalSeparator(false), ',');
    EXPECT_EQ(ThousandsSeparator(false), '.');
    EXPECT_EQ(DecimalSeparator(true), '.');
    EXPECT_EQ(ThousandsSeparator(true), ',');
    EXPECT_EQ(Str(NumberEntryChars()), "0123456789,-D");
    EXPECT_EQ(Str(LogicalEntryChars()), " NS");
    EXPECT_EQ(Str(LogicalWord(logical::kUnknown)), "  ");
    EXPECT_EQ(Str(LogicalWord(logical::kNo)), "NO");
    EXPECT_EQ(Str(LogicalWord(logical::kYes)), "SI");
    EXPECT_EQ(Str(LogicalWord(4)), "");
    // Only the part before the zero byte is the format.
    EXPECT_EQ(Str(NumberFormat()), std::string(kSpanishFormat));
}

TEST_F(DatesTest, AnUnusableFormatIsRefusedAndTheOldOneStays) {
    Spanish();
    ASSERT_EQ(SlotSet(slotgroup::kEnvironment, kLanguageFormatSlot, ","_t), status::kOk);
    EXPECT_EQ(UseLanguageFormat(), status::kBadData);
    EXPECT_EQ(DecimalSeparator(false), ',');
    const std::string tooLong(kMaxNumberFormatLength + 1, '.');
    ASSERT_EQ(SlotSet(slotgroup::kEnvironment, kLanguageFormatSlot, TextView(tooLong)),
              status::kOk);
    EXPECT_EQ(UseLanguageFormat(), status::kBadData);
    EXPECT_EQ(Str(NumberFormat()), std::string(kSpanishFormat));
}

TEST_F(DatesTest, ANewRuntimeStartsWithTheBuiltInFormat) {
    Spanish();
    ASSERT_EQ(RuntimeInit(), status::kOk);
    EXPECT_EQ(DecimalSeparator(false), '.');
    EXPECT_EQ(Str(NumberFormat()), Str(kBuiltinNumberFormat));
}

TEST_F(DatesTest, LoadingTheFormatFromTheBuiltInCatalogue) {
    ASSERT_EQ(LoadLanguageFormat(), status::kOk);
    EXPECT_EQ(DecimalSeparator(false), ',');
    EXPECT_EQ(Run([] { return MonthName(12); }), "Diciembre");
    EXPECT_EQ(Run([] { return MonthName(13); }), "");
    EXPECT_EQ(Run([] { return LongDateTemplate(); }), "[D] de [M] de [Y]");
    const std::string slot(SlotGet(slotgroup::kEnvironment, kLanguageFormatSlot).view());
    EXPECT_EQ(slot, std::string(kSpanishFormat) + '\0' + std::string(kSpanishMonths));
}

TEST_F(DatesTest, LoadingTheFormatFromTheEnglishLanguageFile) {
    ASSERT_EQ(SlotSet(slotgroup::kEnvironment, 5, TextView(VODARIR_DATA_DIR)), status::kOk);
    ASSERT_EQ(MsgStartLanguage("EN"_t, nullptr, 0, 0), status::kOk);
    ASSERT_EQ(MsgCatalogState(), catalog::kLoaded);
    ASSERT_EQ(LoadLanguageFormat(), status::kOk);
    EXPECT_EQ(Run([] { return FormatDate("20240305"_t, DateStyle::Long); }), "05 March 2024");
    EXPECT_EQ(Run([] { return FormatDate("20240305"_t, DateStyle::Numeric); }), "03-05-2024");
    EXPECT_EQ(Str(LogicalWord(logical::kYes)), "YES");
}

} // namespace
} // namespace vodarir::testing
