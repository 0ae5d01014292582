// FN#VALN: numbers from text, parts of dates, and date arithmetic across month ends, year ends
// and leap years.
#include <gtest/gtest.h>

#include "builtin_fixture.h"

namespace vodarir::testing {
namespace {

using ValueTest = BuiltinTest;

TEST_F(ValueTest, Numbers) {
    ExpectRows({
        {"FN#VALN('12.5')", "12.50"},
        {"FN#VALN('12.5';'N')", "12.50"},
        {"FN#VALN('-3')", "-3.00"},
        {"FN#VALN('  7  ')", "7.00"},
        {"FN#VALN('1.255')", "1.26"}, // rounded to the decimals, half away from zero
        {"FN#VALN('12abc')", "12.00"},
        {"FN#VALN('abc')", "0.00"},
        {"FN#VALN('')", "0.00"},
        {"FN#VALN('123456789012345678901')", "error 168"},
        {"FN#VALN(5)", "error 128"},
        {"FN#VALN('1';5)", "error 128"},
        {"FN#VALN('1';'Q')", "error 147"},
        {"FN#VALN('1';'n')", "error 147"},
        {"FN#VALN()", "error 147"},
    });
}

TEST_F(ValueTest, PartsOfADate) {
    ExpectRows({
        {"FN#VALN('20240315';'D')", "15.00"},
        {"FN#VALN('20240315';'M')", "3.00"},
        {"FN#VALN('20240315';'Y')", "2024.00"},
        {"FN#VALN('20240315';'V')", "20240315.00"},
        {"FN#VALN('03/15/2024';'D')", "15.00"}, // a typed date is read first
        {"FN#VALN('03/15/2024';'V')", "20240315.00"},
    });
}

TEST_F(ValueTest, AddingDaysMonthsAndYears) {
    ExpectRows({
        {"FN#VALN('20240131';'M';1)", "20240229.00"}, // leap year: to the last day of February
        {"FN#VALN('20230131';'M';1)", "20230228.00"},
        {"FN#VALN('20241231';'D';1)", "20250101.00"},
        {"FN#VALN('20240301';'D';-1)", "20240229.00"},
        {"FN#VALN('20230301';'D';-1)", "20230228.00"},
        {"FN#VALN('20240101';'D';-1)", "20231231.00"},
        {"FN#VALN('20240315';'D';365)", "20250315.00"},
        {"FN#VALN('20240115';'D';10000)", "20510602.00"},
        {"FN#VALN('20240115';'M';-1)", "20231215.00"},
        {"FN#VALN('20241231';'M';2)",
         "20250228.00"}, // past the year end, then the day kept in range
        {"FN#VALN('20240331';'M';-13)", "20230228.00"},
        {"FN#VALN('20240229';'Y';1)", "20250301.00"}, // no 29 February: the day runs on
        {"FN#VALN('20240229';'Y';4)", "20280229.00"},
        {"FN#VALN('21000228';'D';1)", "21000301.00"}, // 2100 is no leap year
        {"FN#VALN('20000228';'D';1)", "20000229.00"}, // 2000 is
        {"FN#VALN('20240315';'V';0)", "20240315.00"},
        {"FN#VALN('20240315';'D';'5')", "20240315.00"}, // a text that is no date: amount 0
        {"FN#VALN('03/31/2024';'M';1)", "20240430.00"},
        {"FN#VALN('20240230';'D';1)", "0.00"}, // not a date
        {"FN#VALN('tomorrow';'D';1)", "0.00"},
    });
}

TEST_F(ValueTest, DifferencesBetweenDates) {
    ExpectRows({
        {"FN#VALN('20240315';'D';20240101)", "74.00"},
        {"FN#VALN('20240315';'D';'20240101')", "74.00"},
        {"FN#VALN('20240315';'D';'01/01/2024')", "74.00"},
        {"FN#VALN('20240101';'D';'20240315')", "-74.00"},
        {"FN#VALN('20250105';'D';'20241231')", "5.00"},   // across a year end
        {"FN#VALN('20250101';'D';'20240101')", "366.00"}, // a leap year between them
        {"FN#VALN('20260101';'D';'20250101')", "365.00"},
        {"FN#VALN('20250301';'D';'20240201')", "394.00"},
        {"FN#VALN('20240101';'D';'20250101')", "-366.00"},
        {"FN#VALN('20250301';'M';'20241130')", "4.00"},
        {"FN#VALN('20240101';'M';'20241231')", "-11.00"},
        {"FN#VALN('20250301';'Y';'20241130')", "1.00"},
        {"FN#VALN('20240315';'V';'20240101')", "0.00"},        // a whole value has no difference
        {"FN#VALN('20240315';'D';'20241332')", "20240315.00"}, // no date: reads 0, nothing added
    });
}

} // namespace
} // namespace vodarir::testing
