// Built-in functions over texts, lists, masks, templates, dates and times of day, as expression
// in → result out.
#include <gtest/gtest.h>

#include "builtin_fixture.h"
#include "host/time_texts.h"

namespace vodarir::testing {
namespace {

using TextFunctionsTest = BuiltinTest;

TEST_F(TextFunctionsTest, ListItems) {
    ExpectRows({
        {"FN$PARM('a,b,c';2)", "'b'"},
        {"FN$PARM('a;b';2;59)", "'b'"},
        {"FN$PARM('a,b';5)", "''"},
        {"FN$PARM('a,b')", "''"}, // the item defaults to -1, which names nothing
        {"FN$PARM('a,b';0)", "''"},
        {"FN$PARM('a,b';-2)", "''"},
        {"FN$PARM(\"x,'a,b',y\";2)", "''a,b''"}, // a quoted comma does not split
        {"FN$PARM('a,,c';3)", "'c'"},
        {"FN$PARM('a b c';3;32)", "'c'"},
        {"FN$PARM('a,b';1;300)", "error 168"},
        {"FN$PARM('a,b';'x')", "error 128"},
        {"FN$PARM(5;1)", "error 128"},
        {"FN$PARM()", "error 147"},
        {"FN$PARM('a';1;44;4)", "error 147"},
    });
}

TEST_F(TextFunctionsTest, ListPositions) {
    ExpectRows({
        {"FN#PARM('a,b,c')", "3.00"},
        {"FN#PARM('a,b,')", "3.00"},
        {"FN#PARM('')", "0.00"},
        {"FN#PARM('a,b,c';'c')", "3.00"},
        {"FN#PARM('a,b,c';'z')", "0.00"},
        {"FN#PARM('a,b,c';'B')", "0.00"},   // case counts
        {"FN#PARM('1,2.5,3';2.5)", "2.00"}, // a number item in its text form
        {"FN#PARM('a,b,c';'b';'10,20,30')", "20.00"},
        {"FN#PARM('a,b,c';'b';'10,2.25,30')", "2.25"},
        {"FN#PARM('a,b';'b';\"1,'7'\")", "7.00"}, // a quoted value
        {"FN#PARM('a,b,c';'z';'10,20,30')", "0.00"},
        {"FN#PARM('a,b,c';'c';'10,20')", "0.00"},
        {"FN#PARM(5)", "error 128"},
        {"FN#PARM('a';'a';5)", "error 128"},
        {"FN#PARM('a';'a';'1';1)", "error 147"},
    });
}

TEST_F(TextFunctionsTest, Trimming) {
    ExpectRows({
        {"FN$TRIM('  ab  ')", "'ab'"},
        {"FN$TRIM('  ab  ';'LEFTTRIM')", "'ab  '"},
        {"FN$TRIM('  ab  ';'RIGHTRIM')", "'  ab'"},
        {"FN$TRIM('  ab  ';'BOTHTRIM')", "'ab'"},
        {"FN$TRIM('ab';'FIT')", "'AB'"},
        {"FN$TRIM('\"ab\"';'FIT')", "'ab'"},   // quotes removed, case kept
        {"FN$TRIM(\" 'ab' \";'FIT')", "'ab'"}, // blanks, then the quotes
        {"FN$TRIM(\" ab\";'FIT')", "'ab'"},    // trimmed, so not upper-cased
        {"FN$TRIM('ab';'MID')", "error 147"},
        {"FN$TRIM('ab';'fit')", "error 147"},
        {"FN$TRIM(12.5)", "'12.5'"}, // a number in its text form
        {"FN$TRIM()", "error 147"},
        {"FN$TRIM('a';5)", "error 128"},
    });
}

TEST_F(TextFunctionsTest, Characters) {
    ExpectRows({
        {"FN$CHRS(65;3)", "'AAA'"},
        {"FN$CHRS(65)", "'A'"},
        {"FN$CHRS('ab';2)", "'abab'"},
        {"FN$CHRS(65;0)", "''"},
        {"FN$CHRS(65;-2)", "''"}, // a width already passed repeats nothing
        {"FN$CHRS(256)", "error 168"},
        {"FN$CHRS(-1)", "error 168"},
        {"FN$CHRS('x';70000)", "error 168"},
        {"FN$CHRS('ab';40000)", "error 146"}, // never a cut text
        {"FN#SLEN(FN$CHRS(32;10))", "10.00"},
        {"FN$CHRS()", "error 147"},
    });
}

TEST_F(TextFunctionsTest, Changes) {
    ExpectRows({
        {"FN$CHNG('abc';'UCASE')", "'ABC'"},
        {"FN$CHNG('AbC';'LCASE')", "'abc'"},
        {"FN$CHNG('a  b';'CLEAN')", "'a b'"},
        {"FN$CHNG('  a    b c  ';'CLEAN')", "' a b c '"},
        {"FN$CHNG('banana';'a';'o')", "'bonono'"},
        {"FN$CHNG('banana';'an')", "'ba'"},          // with defaults to the empty text
        {"FN$CHNG(\"x'a'a\";'a';'b')", "'x'a'b'"},   // quoted occurrences are skipped
        {"FN$CHNG(\"x'a'a\";'a';'b';1)", "'x'b'b'"}, // unless the flag is a number not 0
        {"FN$CHNG(\"x'a'a\";'a';'b';0)", "'x'a'b'"},
        {"FN$CHNG(\"x'a'a\";'a';'b';'T')", "'x'a'b'"}, // a text flag is no number
        {"FN$CHNG('abc';'')", "'abc'"},
        {"FN$CHNG('a1b2c3';'FILTER';'0123456789')", "'123'"},
        {"FN$CHNG('abc';'FILTER';'')", "''"},
        {"FN$CHNG('hello';'FILTER';'eo';'EO')", "'hEllO'"},
        {"FN$CHNG('xxaayybb';'FILTER';'aabb';'12')", "'xx1yy2'"}, // pieces of two
        {"FN$CHNG('a1b2';'FILTER';'ab';1)", "'ab'"}, // a number flag: three-argument form
        {"FN$CHNG('abc';'FILTER';'a';'')", "'abc'"}, // no pieces to replace
        {"FN$CHNG('abc';'ucase')", "'abc'"},         // keywords are capitals
        {"FN$CHNG('abc')", "error 147"},
        {"FN$CHNG(1;'UCASE')", "error 128"},
        {"FN$CHNG('a';'b';2)", "error 128"},
    });
}

TEST_F(TextFunctionsTest, Envelopes) {
    ExpectRows({
        {"ENVELOP$('a')", "''a''"},
        {"ENVELOP$('a';40)", "'(a)'"},
        {"ENVELOP$('a';91)", "'[a]'"},
        {"ENVELOP$('a';123)", "'{a}'"},
        {"ENVELOP$('a';60)", "'<a>'"},
        {"ENVELOP$('a';37)", "'%a%'"},
        {"ENVELOP$('';34)", "'\"\"'"},
        {"ENVELOP$('a';300)", "error 168"},
        {"ENVELOP$(5)", "error 128"},
    });
}

TEST_F(TextFunctionsTest, TemplatesTakeTheirTokensRaw) {
    ExpectRows({
        {"EXP$('$1_+$2_=$1_';a;b)", "'a+b=a'"},
        {"EXP$('<$1_>';x*2+1)", "'<x*2+1>'"},   // not evaluated
        {"EXP$('<$1_>';'q')", "'<'q'>'"},       // quotes and all
        {"EXP$('$1_$2_';(a;b);c)", "'(a;b)c'"}, // a nested group is one token
        {"EXP$('a$3_b')", "'a$3_b'"},
        {"EXP$('$1_';)", "'$1_'"}, // a trailing empty argument is no token
        {"EXP$('$10_$1_';a;b;c;d;e;f;g;h;i;j)", "'ja'"},
        {"EXP$(5;a)", "error 128"},
        {"EXP$('x'*2;a)", "error 128"},
    });
}

TEST_F(TextFunctionsTest, Masks) {
    ExpectRows({
        {"FN$MASK('###,###.##';1234.5)", "'  1,234.50'"},
        {"FN$MASK('###,###.##';1234.5;1)", "'  1,234.50'"},
        {"FN$MASK('###,###.##';'-12')", "'    -12.00'"},
        {"FN$MASK('0000';7)", "'0007'"},
        {"FN$MASK('\\\\-\\\\';'abcd')", "'ab-cd'"},
        {"FN$MASK('?"
         "?-?"
         "?';'abcd')",
         "'ab-d '"}, // "?" takes the character at its place
        {"FN$MASK('no places';5)", "'no places'"},
        {"FN$MASK('##';12345)", "error 168"},
        {"FN$MASK('##')", "error 147"},
        {"FN$MASK(5;5)", "error 128"},
    });
}

TEST_F(TextFunctionsTest, Macros) {
    ExpectRows({
        {"MACRO$('a[1+2]b')", "'a3b'"},
        {"MACRO$('[x]';4;'x=7,y=8')", "'7'"},
        {"MACRO$('[1+1]*3';8)", "'6'"},
        {"MACRO$('  [2]+[3]  ';8)", "'5'"},
        {"MACRO$('[1*\"a\"]')", "error 128"},
        {"MACRO$('plain')", "'plain'"},
        {"MACRO$('x';-1)", "error 168"},
        {"MACRO$(5)", "error 128"},
    });
}

TEST_F(TextFunctionsTest, DatesInStyles) {
    ExpectRows({
        {"FN$DATE('20240305')", "'20240305'"},
        {"FN$DATE('20240305';2)", "'03-05-2024'"}, // month first outside ES, FR, IT
        {"FN$DATE('20240305';1)", "'03-05-24'"},
        {"FN$DATE(20240305;2)", "'03-05-2024'"}, // a number date
        {"FN$DATE('03/05/2024')", "'20240305'"}, // a typed date is read first
        {"FN$DATE('03.05.2024';2)", "'03-05-2024'"},
        {"FN$DATE('20240230';2)", "'          '"}, // no such day
        {"FN$DATE('20240230';1)", "'        '"},
        {"FN$DATE('20240305';9)", "''"},
        {"FN$DATE()", "error 147"},
    });
}

TEST_F(TextFunctionsTest, DatesFollowTheLanguage) {
    SetSlot(slotgroup::kEnvironment, 4, "ES");
    ExpectRows({
        {"FN$DATE('20240305';2)", "'05-03-2024'"},
        {"FN$DATE('05/03/2024')", "'20240305'"},
    });
}

ClockReading FixedClock() { return ClockReading{2024, 3, 5, 13, 45, 10}; }

TEST_F(TextFunctionsTest, TimesOfDay) {
    TimeSetClock(FixedClock);
    ExpectRows({
        {"TIME$('1:02:03';3)", "'01:02:03'"},
        {"TIME$('1:02:03')", "'0102'"},
        {"TIME$('1:02:03';2)", "'010203'"},
        {"TIME$('1:02:03.5';7)", "'01:02:03.500'"},
        {"TIME$('90';3)", "'00:01:30'"},
        {"TIME$('';3)", "'13:45:10'"}, // the empty text is now
        {"TIME$()", "'1345'"},
        {"TIME$(5)", "error 128"},
        {"TIME$('1';1;2)", "error 147"},
    });
    TimeSetClock(nullptr);
}

} // namespace
} // namespace vodarir::testing
