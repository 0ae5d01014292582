// The evaluator by behaviour: each table is expression -> the outcome Eval describes (a number
// with _PRECIS decimals, 'text', "error N" or "status N").
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eval_fixture.h"
#include "runtime/store/variables.h"

namespace vodarir::testing {
namespace {

using namespace literals;

void ExpectRows(const std::vector<EvalRow>& rows) {
    for (const EvalRow& row : rows) {
        EXPECT_EQ(EvalTest::Eval(row.expression), row.expected) << "expression: " << row.expression;
    }
}

class EvaluatorTest : public EvalTest {};

TEST_F(EvaluatorTest, PrecedenceAndGrouping) {
    ExpectRows({
        {"2*3+4", "10.00"},
        {"2+3*4", "14.00"},
        {"8-3-2", "3.00"}, // equal precedences group from the left
        {"12/4/3", "1.00"},
        {"(2+3)*4", "20.00"},
        {"2*(3+4)", "14.00"},
        {"((2))", "2.00"},
        {"1+2*3-4/2", "5.00"},
        {"10|1+1", "12.00"}, // "|" binds tighter than "*" and "+"
        {"3|1", "0.00"},     // a common bit gives 0
        {"2*3|4", "14.00"},  // 2 * (3|4)
        {"1+1==2", "1.00"},
        {"2>1&&3>2", "1.00"},
        {"2>1&&3<2", "0.00"},
        {"1<2==1", "1.00"}, // comparisons of one precedence, from the left
        {"x=2+3", "5.00"},  // "=" binds loosest
    });
}

TEST_F(EvaluatorTest, DivisionAndRoundingWithTwoDecimals) {
    ExpectRows(
        {
            {"7/2", "3.50"},        {"-7/2", "-3.50"},
            {"1/3", "0.33"},        {"2/3", "0.67"},
            {"-2/3", "-0.67"},      {"5/0", "0.00"}, // division by zero gives 0
            {"2.345", "2.35"},                       // a literal is rounded half away from zero
            {"1.005", "1.01"},      {"-1.005", "-1.01"},
            {"2.35!1", "2.40"},     {"-2.35!1", "-2.40"},
            {"2.5!0", "3.00"},      {"2.44!1", "2.40"},
            {"3.14!2", "3.14"}, // as many places as there are decimals: unchanged
            {"3.14!5", "3.14"},     {"1234!-1", "1230.00"},
            {"1250!-2", "1300.00"}, {"0.1*0.1", "0.01"},
            {"0.05*0.1", "0.01"}, // 0.005 rounds away from zero
            {"0.04*0.1", "0.00"},   {"-0.05*0.1", "-0.01"},
            {"1D3", "1000.00"}, // the number reader's exponent
        });
}

TEST_F(EvaluatorTest, ScaleFollowsPrecis) {
    struct Row {
        int decimals;
        const char* expression;
        const char* expected;
    };
    const std::vector<Row> rows = {
        {0, "7/2", "4"},          {0, "2.5", "3"},      {0, "-7/2", "-4"},
        {4, "1/3", "0.3333"},     {4, "2/3", "0.6667"}, {4, "1.23456", "1.2346"},
        {3, "2.3456!2", "2.350"}, {1, "10%15", "1.5"},  {4, ".datey", "10000.0000"},
    };
    for (const Row& row : rows) {
        IntVarSet(sysvar::kPrecis, static_cast<std::int16_t>(row.decimals));
        EXPECT_EQ(Eval(row.expression), row.expected)
            << "D=" << row.decimals << " expression: " << row.expression;
    }
}

TEST_F(EvaluatorTest, SignsThroughTheEmptyOperand) {
    ExpectRows({
        {"-5", "-5.00"},
        {"3*-2", "-6.00"},
        {"2--3", "5.00"},
        {"-(2+3)", "-5.00"},
        {"--4", "4.00"},
        {"2*-3+4", "2.00"},      // the sign takes everything of its rank after it: 2 * (0-3+4)
        {"'a'*-1", "error 147"}, // a sign after a text
        {"5*-", "error 147"},    // a sign with nothing after it
        {"-", "error 147"},
        {"5+", "error 147"},
        {"FN#SLEN('ab')*-2", "-4.00"}, // a call's group does not make the sign a group
    });
}

TEST_F(EvaluatorTest, TextOperatorsAndComparisons) {
    ExpectRows({
        {"'x+y'", "'x+y'"}, // operators inside quotes belong to the literal
        {"\"a;b\"", "'a;b'"},     {"'it''s'", "'it''s'"},   {"\"it's\"", "'it's'"},
        {"'b'+'c'", "'bc'"},      {"''+'x'", "'x'"},        {"'a'+'b'+'c'", "'abc'"},
        {"'abc'<'abd'", "1.00"},  {"'ab'<'abc'", "1.00"},   {"'abc'>'ab'", "1.00"},
        {"'a'=='a'", "1.00"},     {"'a'<>'a'", "0.00"},     {"'a'>='b'", "0.00"},
        {"'a'<='a'", "1.00"},     {"'B'<'a'", "1.00"}, // byte order, not alphabetical
        {"'\xE9'>'z'", "1.00"},                        // cp1252 bytes compare unsigned
        {"'b'-'c'", "error 147"}, {"'a'*'b'", "error 147"}, {"'a'&&'b'", "error 147"},
        {"'a'+1", "error 128"},   {"'a'*2", "error 128"},  // one text and one number: incompatible
        {"1+'a'", "error 128"},   {"('a'<'b')+1", "2.00"}, // a comparison of texts is a number
        {"'abc", "'abc'"},                                 // an unclosed quote runs to the end
    });
}

TEST_F(EvaluatorTest, LogicalAndBitOperators) {
    ExpectRows({
        {"6&3", "2.00"},
        {"1.7&1", "1.00"},
        {"5&&0", "0.00"},
        {"5&&2", "1.00"},
        {"5||0", "1.00"},
        {"0||0", "0.00"},
        {"1@@1", "0.00"},
        {"1@@2", "1.00"},
        {"0@@0", "0.00"},
        {"4@1", "5.00"},
        {"5@1", "0.00"},
        {"2.9|4", "6.00"},
        {"10%15", "1.50"},
        {"50%50", "25.00"},
        {"200\xF7"
         "10",
         "180.00"},
        {"-10%15", "-1.50"},
        {"3<>4", "1.00"},
        {"3>=3", "1.00"},
        {"3<=2", "0.00"},
    });
}

TEST_F(EvaluatorTest, AssignmentKinds) {
    ExpectRows({
        {"x$=5", "error 128"},
        {"x='a'", "error 128"},
        {"x#='a'", "error 128"},
        {"x=5", "5.00"},
        {"x", "5.00"},
        {"x=2.5", "2.50"}, // the value of the assignment is the value assigned
        {"x", "3.00"},     // an integer variable keeps the rounded whole number
        {"n#=1.25", "1.25"},
        {"n#*2", "2.50"},
        {"s$='hi'", "'hi'"},
        {"s$+'!'", "'hi!'"},
        {"5=3", "error 147"},
        {"'a'=1", "error 147"},
        {"(x)=1", "error 147"},
        {"x=70000", "error 168"}, // beyond a 16-bit integer: refused, not cut
        {"x", "3.00"},
        {"a=b=4", "4.00"}, // the right-hand assignment is made first
        {"a+b", "8.00"},
        {"1+c=5", "6.00"},
        {"c", "5.00"},
        {"absent", "0.00"}, // variables never assigned read 0 or empty
        {"absent$", "''"},
        {"x=", "error 147"},
    });
    EXPECT_EQ(Var("s$"), "hi");
    EXPECT_EQ(Var("n#"), "1.25");
}

TEST_F(EvaluatorTest, SystemVariablesAreIntegers) {
    ExpectRows({
        {"_PRECIS", "2.00"},
        {"_DEVWID*2", "160.00"},
        {"_PRECIS=3;1/3", "0.333"}, // from the next operation on, three decimals
        {"_PRECIS=2;_PRECIS", "2.00"},
        // Every number is scaled by 10^_PRECIS, which has room for 0 to 4 decimals only.
        {"_PRECIS=-3", "error 168"},
        {"_PRECIS=5", "error 168"},
        {"_PRECIS=4.5", "error 168"}, // rounds to 5
        {"_PRECIS", "2.00"},          // left as it was
        {"1", "1.00"},
    });
    EXPECT_EQ(IntVarGet(sysvar::kPrecis), 2);
    EXPECT_EQ(Eval("_PRECIS=0;_PRECIS"), "0");
    EXPECT_EQ(EvalStatus(TextView("_PRECIS=4")), status::kOk);
    EXPECT_EQ(Eval("1/3"), "0.3333") << "both ends of the range are taken";
}

TEST_F(EvaluatorTest, StatementSequences) {
    ExpectRows({
        {"x=1;x+1", "2.00"},
        {"1,2,3", "3.00"},
        {"1:2", "2.00"},      // ":" ends an expression
        {"a=3;a!=7", "7.00"}, // "!=" is no operator: a, then 7 as a second expression
        {"a=3;b=4;a<>b", "1.00"},
        {"1;'x'", "'x'"},
        {"1;;", "status 123"}, // the empty last expression
        {"", "status 123"},
        {"2)+(3)(", "3.00"}, // a ")" outside a group ends an expression
        {"x=9;'a'-'b';x=5", "error 147"},
        {"x", "9.00"}, // assigned before the failure, and the failure stops the rest
    });
}

TEST_F(EvaluatorTest, UnbalancedParenthesesEvaluateNothing) {
    ExpectRows({
        {"y=1", "1.00"},
        {"(1+2", "error 129"},
        {"1+2)", "error 129"},
        {"y=5;(", "error 129"},
        {"y", "1.00"},  // nothing of the failing text ran
        {"'('", "'('"}, // parentheses inside quotes are not counted
        {"\"(\"+')'", "'()'"},
        {"1)+(2", "error 129"}, // paired in number, but the group has no ")"
    });
    EXPECT_EQ(RecordedError().status, status::kLoopFailure);
    EXPECT_EQ(RecordedError().step, kOriginEvaluation);
}

TEST_F(EvaluatorTest, BlanksOutsideQuotesAreRemoved) {
    ExpectRows({
        {" 2 * 3 + 4 ", "10.00"},
        {"' a b '", "' a b '"},
        {"'a ' + \" b\"", "'a  b'"},
        {"1 0 + 1", "11.00"}, // blanks do not separate tokens
        {"   ", "status 123"},
    });
}

TEST_F(EvaluatorTest, DotConstants) {
    ExpectRows({
        {".datey", "10000.00"},
        {".fnparm", "35.00"},
        {".5", "0.50"}, // a digit after the dot: a number
        {".datem*.datey", "1000000.00"},
        {".top", "36.00"},
        {".bottom", "32.00"},
        {".envvar+.dialog", "16.00"},
        {".Datey", "0.00"}, // names are case-sensitive; an unknown one reads as a number
        {".nothing", "0.00"},
    });
}

TEST_F(EvaluatorTest, ArraysDimReadWriteAndBounds) {
    ASSERT_EQ(ArrayDim("A("_t, {3}), status::kOk);
    ASSERT_EQ(ArrayDim("M#("_t, {2, 2}), status::kOk);
    ASSERT_EQ(ArrayDim("_#("_t, {4}), status::kOk);
    ASSERT_EQ(SlotPush(slotgroup::kValueStack, "    "_t), status::kOk); // width of T$ elements
    ASSERT_EQ(ArrayDim("T$("_t, {2}), status::kOk);
    ASSERT_EQ(SlotPop(slotgroup::kValueStack), status::kOk);
    ExpectRows({
        {"A(2)", "0.00"},
        {"A(2)=7", "7.00"},
        {"A(2)", "7.00"},
        {"A(1+1)*2", "14.00"},
        {"A(3)=2.6", "2.60"},
        {"A(3)", "3.00"}, // integer elements keep whole numbers
        {"A(4)", "error 168"},
        {"A(-1)", "error 168"},
        {"A('x')", "error 168"}, // an index that is not a number addresses nothing
        {"A(4)=1", "error 168"},
        {"M#(1;2)=1.25", "1.25"},
        {"M#(1,2)+M#(0,0)", "1.25"},
        {"M#(1)", "error 168"}, // too few indexes
        {"T$(1)='ab'", "'ab'"},
        {"T$(1)", "'ab  '"}, // fixed-width text elements
        {"T$(0)", "'    '"},
        {"T$(1)=5", "5.00"}, // a number goes into a text element as its text
        {"T$(1)", "'5   '"},
        {"T$(1)='abcde'", "error 146"}, // too wide for the element: refused, not cut
        {"B(1)", "error 157"},          // an array never declared cannot be read
        {"B(1)=5", "error 157"},        // nor assigned to
        {"FN#SLEN(1)=2", "error 147"},  // a built-in name that is no array
        {"_#(2)=5", "5.00"},            // ... and one that is: the accumulators
    });
}

} // namespace
} // namespace vodarir::testing
