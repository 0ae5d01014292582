// Masks and value formatting: the numeric and text editors, default masks, width fitting, typed
// numbers, and stored values to display text and back by type.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/time_texts.h"
#include "masks/formatting.h"
#include "masks/number_format.h"
#include "masks_fixture.h"
#include "runtime/store/variables.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class FormattingTest : public MasksTest {};

// --- The numeric editor ------------------------------------------------------------------------

struct NumericRow {
    const char* language; // "" keeps the built-in format
    const char* mask;
    const char* value;
    bool plain;
    const char* expected;
};

TEST_F(FormattingTest, NumericMaskPlacesSeparatesRoundsAndShifts) {
    const std::vector<NumericRow> rows = {
        {"", "###,###.##", "1234.5", false, "  1,234.50"},
        {"ES", "###,###.##", "1234.5", false, "  1.234,50"},
        {"ES", "###,###.##", "1234.5", true, "  1,234.50"}, // plain ignores the language
        {"FR", "###,###.##", "1234.5", false, "  1 234,50"},
        {"", "###,###.##", "-12", false, "    -12.00"},
        {"", "0000", "7", false, "0007"},
        {"", "0,000", "7", false, "0,007"},
        {"", "#000", "-7", false, "-007"},
        {"", "0000", "-7", false, "-007"},   // the sign takes the leftmost zero rather than vanish
        {"", "0#,##", "-4", false, "   -4"}, // no zero fill before the sign
        {"", "####", "", false, "    "},
        {"", "###.##", "", false, "  0.00"},
        {"", "###.##", ".5", false, "  0.50"},
        {"", "###.##", "-.5", false, " -0.50"},
        {"", "#,##0.00", ".5", false, "    0.50"},
        {"", "##.###", "1.5", false, " 1.500"},
        // Rounding half away from zero, with carries into the integer part.
        {"", "#.##", "1.005", false, "1.01"},
        {"", "#.##", "1.004", false, "1.00"},
        {"", "#.##", "0.999", false, "1.00"},
        {"", "###", "2.5", false, "  3"},
        {"", "###", "-2.5", false, " -3"},
        {"", "####", "0.4", false, "    "},
        {"", "####", "-0.4", false, "    "}, // zero has no sign
        // Too many integer digits: commas become places, then the point moves right.
        {"", "#,###", "1234", false, "1,234"},
        {"", "#,###", "123", false, "  123"},
        {"", "#,###", "-123", false, " -123"},
        {"", "#,###", "12345", false, "12345"},
        {"", "#,###", "-1234", false, "-1234"},
        {"", "##.##", "123.456", false, "123.5"},
        {"", "##.##", "12345", false, "12345"},
        {"", "#.##", "9.999", false, "10.0"},
        {"", "#.##", "-1.005", false, "-1.0"}, // the sign needs a place too
        {"", "##.##", "123456", false, "error 168"},
        {"", "####", "12345", false, "error 168"},
        {"", "##", "-12", false, "error 168"},
        {"", "##,.#####0", "26892.6892", true, "26892.6892"}, // a comma before the point
        {"", "#,##.#,#", "12345.67", true, "12345.7,"},       // decimal commas stay separators
        // Text outside the number part stays; exponents and trailing junk.
        {"", "$ ###.## USD", "5", false, "$   5.00 USD"},
        {"", "#####.##", "1D3", false, " 1000.00"},
        {"", "##.##", "15D-1", false, " 1.50"},
        {"", "####", "12abc", false, "  12"},
        {"", "####", "007", false, "   7"},
        {"", "abc", "12", false, "abc"}, // no number place at all
    };
    for (const NumericRow& r : rows) {
        SetLanguage(r.language);
        EXPECT_EQ(Run([&] { return NumericMask(TextView(r.mask), TextView(r.value), r.plain); }),
                  r.expected)
            << r.language << " " << r.mask << " with " << r.value;
        UseBuiltinFormat();
    }
}

TEST_F(FormattingTest, NumericMaskOfAHugeNumberIsRefusedAtOnce) {
    const std::string digits(60000, '9');
    EXPECT_EQ(Run([&] { return NumericMask("#,###.##"_t, TextView(digits), true); }), "error 168");
    const std::string mask(300, '#');
    const std::string wide = "-" + std::string(299, '8');
    EXPECT_EQ(Run([&] { return NumericMask(TextView(mask), TextView(wide), true); }), wide);
}

// --- The text editor ---------------------------------------------------------------------------

struct TextRow {
    const char* mask;
    const char* value;
    int mode;
    const char* expected;
};

TEST_F(FormattingTest, TextMaskFillsPlacesInBothModes) {
    const std::vector<TextRow> rows = {
        {"\\\\-\\\\", "abcd", 0, "ab-cd"},
        {"\\\\\\", "a", 0, "a  "},
        {"\\   \\", "abcdef", 0, "abcde"},  // a width marker of five places
        {"\\ \\ \\", "abcdef", 0, "abcde"}, // the closing backslash opens the next span
        {"\\ x \\", "ab", 0, "a x b"},      // a span holding text is no marker
        {"(\\\\\\) \\\\", "12345", 0, "(123) 45"},
        {"X?\\", "abc", 0, "Xab"}, // sequential: "?" is an ordinary place
        {"X?\\", "abc", 1, "Xbc"}, // positional: "?" takes its own column
        {"?\?/?\?/?\?\?\?", "31/12/1999", 1, "31/12/1999"},
        {"?\?/?\?/?\?\?\?", "3112", 1, "31/2 /    "},
        {"??", "", 1, "  "},
        {"no places", "abc", 0, "no places"},
    };
    for (const TextRow& r : rows) {
        EXPECT_EQ(Run([&] {
                      return TextMask(TextView(r.mask), TextView(r.value),
                                      static_cast<MaskMode>(r.mode));
                  }),
                  r.expected)
            << r.mask << " mode " << r.mode << " with " << r.value;
    }
}

TEST_F(FormattingTest, ApplyMaskChoosesTheEditorByTheFirstPlaceCharacter) {
    Spanish();
    const std::vector<TextRow> rows = {
        {"\\\\-\\\\", "abcd", 0, "ab-cd"}, // backslash: sequential text
        {"?\\", "xy", 0, "xy"},            // "?": positional text
        {"-?-\\", "abc", 0, "-b-c"},       // ...so "?" reads its own column
        {"##.##", "1.5", 0, " 1,50"},      // "#": numbers with the language's separators
        {"00.00", "1.5", 0, "01,50"},      // "0" likewise
        {"x#\\", "7", 0, "x7\\"},          // the first place found decides
        {"x\\#", "7", 0, "x7#"},
        {"----", "7", 0, "----"}, // none: the mask itself
    };
    for (const TextRow& r : rows) {
        EXPECT_EQ(Run([&] { return ApplyMask(TextView(r.mask), TextView(r.value)); }), r.expected)
            << r.mask << " with " << r.value;
    }
}

// --- Default masks -----------------------------------------------------------------------------

struct DefaultRow {
    char type;
    int width;
    bool plain;
    const char* expected;
};

TEST_F(FormattingTest, DefaultMaskByTypeAndWidth) {
    Spanish();
    const std::vector<DefaultRow> rows = {
        {'2', 8, true, "#####.##"},    {'2', 8, false, "#####,##"},
        {'N', 5, true, "#####"},       {'A', 3, true, "\\\\\\"},
        {'B', 2, true, "\\\\"},        {'D', 2, true, "\\\\"},
        {'L', 1, true, "\\"},          {'2', 3, true, "###"},
        {'2', 4, true, "#.##"},        {'9', 11, true, "#.#########"},
        {'9', 10, true, "##########"}, {'9', 5, true, "#####"},
        {'C', 4, true, "0000"},        {'N', 0, true, ""},
        {'N', -1, true, ""},
    };
    for (const DefaultRow& r : rows) {
        EXPECT_EQ(Run([&] { return DefaultMask(r.type, r.width, r.plain); }), r.expected)
            << r.type << " width " << r.width << (r.plain ? " plain" : "");
    }
    EXPECT_EQ(Run([] { return DefaultMask('N', 70000, true); }), "error 146");
}

TEST_F(FormattingTest, MaskGivenAsTextOrAsTypeAndWidth) {
    const std::vector<std::pair<const char*, const char*>> rows = {
        {"N5", "#####"},        {"24", "#.##"},   {"A3", "\\\\\\"},
        {"#,##0", "#,##0"},     {"\\\\", "\\\\"}, {"0.00", "0.00"},
        {"?\?-?\?", "?\?-?\?"}, {"$###", "$###"}, {"", ""},
    };
    for (const auto& [mask, expected] : rows) {
        EXPECT_EQ(Run([&] { return MaskFromText(TextView(mask), true); }), expected) << mask;
    }
}

// --- Fitting to a width ------------------------------------------------------------------------

struct FitRow {
    char type;
    const char* text;
    int width;
    const char* expected;
};

TEST_F(FormattingTest, FitToWidthAlignsCutsAndShortensDecimals) {
    const std::vector<FitRow> rows = {
        {'A', "abcdef", 4, "abcd"},
        {'A', "ab", 4, "ab  "},
        {'P', "pw", 3, "pw "},
        {'C', "12", 4, "12  "},
        {'N', "12", 6, "    12"},
        {'N', "  12  ", 4, "  12"},
        {'T', "abc", 5, "  abc"},
        {'V', "secret", 4, "    "},
        {'A', " x ", -1, " x "},
        {'N', "1234567", 4, "error 168"},
        {'N', "123.456", 5, "123.5"},
        {'N', "123.456", 4, " 123"},
        {'N', "123.556", 3, "124"},
        {'N', "999.6", 3, "error 168"}, // the rounding carries past the width
        {'N', "-1.25", 4, "-1.3"},
        {'N', "0.456", 4, "0.46"},
        {'N', "-0.001", 4, " 0.0"},
        {'2', "12.3456", 5, "12.35"},
        {'N', "abc.def", 5, "error 168"}, // no number: nothing to shorten
        {'T', "abcdef", 3, "error 168"},
    };
    for (const FitRow& r : rows) {
        EXPECT_EQ(Run([&] { return FitToWidth(r.type, TextView(r.text), r.width); }), r.expected)
            << r.type << " '" << r.text << "' width " << r.width;
    }
}

// --- Typed numbers -----------------------------------------------------------------------------

struct NormalizeRow {
    const char* language;
    const char* text;
    const char* expected;
};

TEST_F(FormattingTest, NormalizeNumberKeepsTheNumberAndTurnsItsSeparator) {
    const std::vector<NormalizeRow> rows = {
        {"EN", " 1234.50 ", "1234.50"},
        {"EN", "007", "7"},
        {"EN", "0.5", "0.5"},
        {"EN", "00.5", "0.5"},
        {"EN", "-12", "-12"},
        {"EN", "12-3", "12"},
        {"EN", "1,234.5", "1"},
        {"EN", "1D3", "1D3"},
        {"EN", "abc", ""},
        {"EN", "", ""},
        {"EN", "\t42\t", "42"},
        {"EN", "0", ""},
        {"ES", "1234,5", "1234.5"},
        {"ES", "1.234,5", "1234.5"},
        {"ES", "12.5", "12.5"},
        {"ES", "0,5", "0.5"},
        {"ES", "-1.000.000,25", "-1000000.25"},
        {"EN", "12345678901234567890", "12345678901234567890"},
        {"EN", "123456789012345678901", "error 168"},
    };
    for (const NormalizeRow& r : rows) {
        SetLanguage(r.language);
        EXPECT_EQ(Run([&] { return NormalizeNumber(TextView(r.text)); }), r.expected)
            << r.language << " '" << r.text << "'";
    }
}

// --- Display and entry by type -----------------------------------------------------------------

struct ValueRow {
    const char* language;
    char type;
    const char* value;
    int width;
    const char* expected;
};

TEST_F(FormattingTest, DisplayValueByType) {
    const std::vector<ValueRow> rows = {
        {"EN", 'L', "1", 3, "YES"},
        {"EN", 'L', "0", 3, "NO "},
        {"EN", 'L', " ", 3, "   "},
        {"EN", 'L', "", 3, "   "},
        {"EN", 'L', "x", 3, "NO "},
        {"ES", 'L', "1", 3, "SI "},
        {"ES", 'L', "0", 3, "NO "},
        {"ES", 'L', "x", 3, "NO "},
        {"EN", 'L', "1", -1, "YES"},
        {"EN", '2', "1234.5", 10, "   1234.50"},
        {"ES", '2', "1234.5", 10, "   1234,50"},
        {"EN", 'N', " 12 ", 5, "   12"},
        {"EN", 'N', "123456", 5, "error 168"},
        {"EN", ' ', "5", 3, "  5"}, // a letter below "A" is a whole number
        {"ES", 'D', "20240305", 10, "05-03-2024"},
        {"EN", 'D', "20240305", 8, "03-05-24"},
        {"EN", 'D', "20240305", 6, "      "},
        {"ES", 'F', "", 10, "          "},
        {"ES", 'D', "20240231", 10, "          "},
        {"EN", 'V', "abc", 3, "   "}, // hidden even when the width matches
        {"EN", 'A', "abcdef", 4, "abcd"},
        {"EN", 'A', "ab", -1, "ab"},
    };
    for (const ValueRow& r : rows) {
        SetLanguage(r.language);
        EXPECT_EQ(Run([&] { return DisplayValue(r.type, TextView(r.value), r.width); }), r.expected)
            << r.language << " " << r.type << " '" << r.value << "' width " << r.width;
    }
}

TEST_F(FormattingTest, DisplayValueOfAnEmptyDateShowsTodayOnlyWhenAsked) {
    Spanish();
    TimeSetClock([] { return ClockReading{2026, 12, 6, 10, 20, 30}; });
    EXPECT_EQ(Run([] { return DisplayValue('D', ""_t, 10); }), "          ");
    IntVarSet(sysvar::kDate, 1);
    EXPECT_EQ(Run([] { return DisplayValue('D', ""_t, 10); }), "06-12-2026");
    EXPECT_EQ(Run([] { return DisplayValue('F', ""_t, 10); }), "          "); // F stays blank
    TimeSetClock(nullptr);
}

TEST_F(FormattingTest, EntryValueByType) {
    const std::vector<ValueRow> rows = {
        {"EN", 'L', "y", 1, "1"},
        {"EN", 'L', "n", 1, "0"},
        {"EN", 'L', "q", 1, " "},
        {"EN", 'L', "", 1, " "},
        {"EN", 'L', "Yes", -1, "1"},
        {"ES", 'L', "s", 1, "1"},
        {"ES", 'L', "y", 1, " "},
        {"ES", 'L', "N", 1, "0"},
        {"EN", 'C', "12", 4, "1200"},
        {"EN", 'C', " 1", 3, "010"},
        {"EN", 'C', "  ", 4, "    "},
        {"EN", 'B', "abcdef", 3, "abc"},
        {"ES", 'D', "31/12/99", 8, "19991231"},
        {"ES", 'D', "31/02/2024", 8, "        "},
        {"EN", 'D', "12/31/2024", -1, "20241231"},
        {"ES", '2', "1.234,5", 8, " 1234.50"},
        {"EN", '2', "1234.5", 8, " 1234.50"},
        {"EN", '2', "3.456", -1, "3.46"},
        {"EN", 'N', "12", -1, "12"},
        {"EN", 'N', "123456", 4, "error 168"},
        {"EN", 'N', "1D2", 4, " 100"},
        {"EN", 'A', "  ab", 4, "  ab"},
        {"EN", 'V', "secret", 4, "secr"}, // hidden, but kept as typed
        {"EN", 'T', "ab", 4, "  ab"},
    };
    for (const ValueRow& r : rows) {
        SetLanguage(r.language);
        EXPECT_EQ(Run([&] { return EntryValue(r.type, TextView(r.value), r.width); }), r.expected)
            << r.language << " " << r.type << " '" << r.value << "' width " << r.width;
    }
}

TEST_F(FormattingTest, FailedInputsPassThrough) {
    const TextRef failed = TextRef::Failed(status::kSyntax);
    EXPECT_EQ(Run([&] { return NumericMask("###"_t, failed, true); }), "error 147");
    EXPECT_EQ(Run([&] { return TextMask(failed, "a"_t, MaskMode::Sequential); }), "error 147");
    EXPECT_EQ(Run([&] { return DisplayValue('N', failed, 3); }), "error 147");
    EXPECT_EQ(Run([&] { return EntryValue('A', failed, 3); }), "error 147");
    EXPECT_EQ(Run([&] { return NormalizeNumber(failed); }), "error 147");
}

} // namespace
} // namespace vodarir::testing
