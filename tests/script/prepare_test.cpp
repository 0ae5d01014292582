// Preparation of expression texts: blanks, the input macros and the parenthesis count.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eval_fixture.h"
#include "script/prepare.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class PrepareTest : public EvalTest {
protected:
    // The prepared text, or "error N".
    static std::string Prepared(const std::string& text) {
        const ScratchLevel mark = ScratchMark();
        const TextRef out = PrepareExpression(TextView(text));
        const std::string result =
            out.failed() ? "error " + std::to_string(out.status()) : std::string(out.view());
        EXPECT_EQ(ScratchDepth(), out.failed() ? mark : mark + 1) << "levels for: " << text;
        ScratchRelease(mark);
        return result;
    }
};

const std::string kTrimOfAnswer = "FN$TRIM(FN$PARM(_$(.envvar;.dialog);";
const std::string kTrimEnd = ");'FIT')";

std::string TextAnswer(const std::string& arg) { return kTrimOfAnswer + arg + kTrimEnd; }
std::string NumberAnswer(const std::string& arg) { return "FN#VALN(" + TextAnswer(arg) + ")"; }

TEST_F(PrepareTest, BlanksOutsideQuotesAreRemoved) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {" a + b ", "a+b"},
        {"' a '", "' a '"},
        {"\" a ' b \" c", "\" a ' b \"c"},
        {"' a b", "' a b"}, // an unclosed quote keeps the rest as it is
        {"x = 'a' + \" b \"", "x='a'+\" b \""},
        {"a\tb", "a\tb"}, // only blanks are removed
        {"", ""},
        {"     ", ""},
    };
    for (const auto& [text, expected] : rows) EXPECT_EQ(Prepared(text), expected) << text;
}

TEST_F(PrepareTest, InputMacrosAreExpandedWithTheirArguments) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"_ACCEPT$(3)", TextAnswer("3")},
        {"_ACCEPT#(2)+1", NumberAnswer("2") + "+1"},
        {"x=_ACCEPT$(1)+_ACCEPT#(2)", "x=" + TextAnswer("1") + "+" + NumberAnswer("2")},
        {"_ACCEPT$(1;2)", TextAnswer("1")}, // one placeholder: one argument used
        {"_ACCEPT$(FN$MIDS(a;1);2)", TextAnswer("FN$MIDS(a;1)")},
        {"_ACCEPT$('a;b')", TextAnswer("'a;b'")},
        {"_ACCEPT$()", TextAnswer("")},
        {"_ACCEPT$( 4 )", TextAnswer("4")}, // blanks go first
        {"_ACCEPT$(_ACCEPT#(1))", TextAnswer(NumberAnswer("1"))},
        {"_ACCEPT$(1", TextAnswer("1")},    // the group runs to the end
        {"'_ACCEPT$(1)'", "'_ACCEPT$(1)'"}, // inside quotes: left alone
        {"_OTHER$(1)", "_OTHER$(1)"},       // named, but not expanded
        {"_ACCEPT(1)", "_ACCEPT(1)"},
    };
    for (const auto& [text, expected] : rows) EXPECT_EQ(Prepared(text), expected) << text;
}

TEST_F(PrepareTest, ParenthesesMustPairUpInNumber) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"(1", "error 129"}, {"1)", "error 129"}, {"((1)", "error 129"},
        {"'('", "'('"},      {"(')')", "(')')"},  {")(", ")("},
        {"\"(\"", "\"(\""},  {"('", "error 129"}, // the quote hides nothing before it
    };
    for (const auto& [text, expected] : rows) EXPECT_EQ(Prepared(text), expected) << text;
}

TEST_F(PrepareTest, AnExpansionBeyondTheLengthLimitFails) {
    std::string text = "'" + std::string(64000, 'x') + "'";
    for (int i = 0; i < 100; ++i) text += "+_ACCEPT$(1)";
    ASSERT_LT(text.size(), kMaxTextLength);
    EXPECT_EQ(Prepared(text), "error 146");
}

TEST_F(PrepareTest, ManyMacrosAreAllExpanded) {
    std::string text = "0";
    std::string expected = "0";
    for (int i = 0; i < 300; ++i) {
        text += "+_ACCEPT#(" + std::to_string(i) + ")";
        expected += "+" + NumberAnswer(std::to_string(i));
    }
    EXPECT_EQ(Prepared(text), expected);
}

} // namespace
} // namespace vodarir::testing
