// The evaluator's entry points, the error trail it leaves, its limits and the variable hooks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eval_fixture.h"
#include "runtime/text/text_ops.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class EntryPointsTest : public EvalTest {};

TEST_F(EntryPointsTest, EvalConditionTruth) {
    struct Row {
        const char* text;
        StatusCode expected;
    };
    const std::vector<Row> rows = {
        {"", 1},        {"   ", 1},  {"1", 1},        {"0", 0},    {"2>3", 0},
        {"3>2", 1},     {"'a'", 0},  {"0.004", 0},    {"0.01", 1}, {"-1", 1},
        {"1+'a'", 128}, {"(1", 129}, {"'x'=='x'", 1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(EvalCondition(TextView(row.text)), row.expected) << "text: " << row.text;
        EXPECT_EQ(ScratchDepth(), 0) << "text: " << row.text;
    }
}

TEST_F(EntryPointsTest, EvalIntegerRoundsAndReportsFailuresAsAssertions) {
    struct Row {
        const char* text;
        std::int16_t expected;
        bool asserts;
    };
    const std::vector<Row> rows = {
        {"2.5", 3, false},       {"-2.5", -3, false},       {"7/2", 4, false},   {"2.49", 2, false},
        {"32767", 32767, false}, {"-32768", -32768, false}, {"", 0, false},      {"'a'", 0, true},
        {"1+", 0, true},         {"40000", 0, true},        {"-40000", 0, true}, {"(2", 0, true},
    };
    std::size_t boxes = 0;
    for (const Row& row : rows) {
        EXPECT_EQ(EvalInteger(TextView(row.text)), row.expected) << "text: " << row.text;
        if (row.asserts) {
            ASSERT_EQ(ui.shownBoxes().size(), ++boxes) << "no box for: " << row.text;
            const platform::ShownBox& box = ui.shownBoxes().back();
            EXPECT_EQ(box.caption, "Assertion Fail");
            EXPECT_EQ(box.text, row.text);
            EXPECT_EQ(box.icon, platform::BoxIcon::Stop);
        } else {
            EXPECT_EQ(ui.shownBoxes().size(), boxes) << "unexpected box for: " << row.text;
        }
        EXPECT_EQ(ScratchDepth(), 0) << "text: " << row.text;
    }
    // Each failure is also a record of the log file, in order.
    const std::string log = folder.Read("log.txt");
    std::size_t at = 0;
    for (const Row& row : rows) {
        if (!row.asserts) continue;
        at = log.find(std::string("\r\n") + row.text + "\r\n****", at);
        EXPECT_NE(at, std::string::npos) << "no log record for: " << row.text;
    }
}

// A caller gives up on a failed assertion; it learns why from the status EvalInteger hands back.
TEST_F(EntryPointsTest, EvalIntegerTellsTheCallerWhyItFailed) {
    struct Row {
        const char* text;
        std::int16_t value;
        StatusCode failure;
    };
    const std::vector<Row> rows = {
        {"7/2", 4, 0},      {"", 0, 0},     {"-32768", -32768, 0},
        {"'a'", 0, 128},    {"1+", 0, 147}, {"40000", 0, 168},
        {"-40000", 0, 168}, {"(2", 0, 129}, {"x$=1", 0, 128},
    };
    for (const Row& row : rows) {
        StatusCode failure = 0xFFFF;
        EXPECT_EQ(EvalInteger(TextView(row.text), &failure), row.value) << "text: " << row.text;
        EXPECT_EQ(failure, row.failure) << "text: " << row.text;
    }
}

TEST_F(EntryPointsTest, EvalValueTellsTheKindWhateverTheStatus) {
    struct Row {
        const char* text;
        StatusCode status;
        bool isText;
    };
    const std::vector<Row> rows = {
        {"1+1", 0, false},   {"'x'", 0, true},     {"", 123, false},
        {"1;;", 123, false}, {"'a'+'b'", 0, true}, {"CHK$(1;5)", 0, true},
    };
    for (const Row& row : rows) {
        bool isText = !row.isText;
        EXPECT_EQ(EvalValue(TextView(row.text), &isText), row.status) << "text: " << row.text;
        EXPECT_EQ(isText, row.isText) << "text: " << row.text;
        EXPECT_EQ(ScratchDepth(), 1) << "text: " << row.text;
        ScratchRelease(0);
    }
    bool isText = true;
    EXPECT_EQ(EvalValue("'a'-'b'"_t, &isText), status::kSyntax);
    EXPECT_EQ(ScratchDepth(), 0);
}

TEST_F(EntryPointsTest, EvalNumberGivesTheRawFixedNumber) {
    EXPECT_EQ(EvalNumber("1.5"_t), 150);
    EXPECT_EQ(EvalNumber("-7/2"_t), -350);
    EXPECT_EQ(EvalNumber("'a'"_t), 0);
    EXPECT_EQ(EvalNumber("1+'a'"_t), 0);
    EXPECT_EQ(ScratchDepth(), 0);
}

TEST_F(EntryPointsTest, EvalTextGivesTheShortestNumberForm) {
    struct Row {
        const char* text;
        const char* expected;
    };
    const std::vector<Row> rows = {
        {"1.5", "1.5"}, {"2", "2"},          {"0", ""},          {"-0.5", "-.5"}, {"0.05", ".05"},
        {"100", "100"}, {"'ab'+'c'", "abc"}, {"'1.50'", "1.50"}, {"10/4", "2.5"},
    };
    for (const Row& row : rows) {
        const TextRef out = EvalText(TextView(row.text));
        EXPECT_FALSE(out.failed()) << "text: " << row.text;
        EXPECT_EQ(Str(out), row.expected) << "text: " << row.text;
        EXPECT_EQ(ScratchDepth(), 1) << "the result is one level: " << row.text;
        ScratchRelease(0);
    }
    const TextRef failed = EvalText("'a'-'b'"_t);
    EXPECT_TRUE(failed.failed());
    EXPECT_EQ(failed.status(), status::kSyntax);
    EXPECT_EQ(ScratchDepth(), 0);
}

TEST_F(EntryPointsTest, EvalStatusKeepsOnlyErrors) {
    EXPECT_EQ(EvalStatus("1"_t), 0);
    EXPECT_EQ(EvalStatus(""_t), 0); // 123 is informative
    EXPECT_EQ(EvalStatus("'a'-'b'"_t), status::kSyntax);
    EXPECT_EQ(EvalStatus("x$=1"_t), status::kIncompatibleTypes);
    EXPECT_EQ(ScratchDepth(), 0);
}

TEST_F(EntryPointsTest, EvalIfTextEvaluatesOnlyTextExpressions) {
    ASSERT_EQ(EvalExpression("v$='value'"_t), 1);
    ScratchRelease(0);
    struct Row {
        const char* text;
        const char* expected;
        bool unchanged;
    };
    const std::vector<Row> rows = {
        {"Hello world", "Hello world", true}, // a name: not a text expression
        {"'a'+'b'", "ab", false},
        {"v$", "value", false},
        {"'Total: '+v$", "Total: value", false},
        {"1+2", "1+2", true},
        {"'a'+", "'a'+", true}, // the last token is empty
        {"", "", true},
        {"x{1}", "x{1}", true}, // the scan fails: no such file
    };
    for (const Row& row : rows) {
        const TextRef in = TextView(row.text);
        const TextRef out = EvalIfText(in);
        EXPECT_EQ(Str(out), row.expected) << "text: " << row.text;
        if (row.unchanged) {
            EXPECT_EQ(out.data, in.data) << "not the input itself: " << row.text;
        }
        ScratchRelease(0);
    }
}

TEST_F(EntryPointsTest, EveryEntryPointLeavesOnlyItsResult) {
    const ScratchLevel before = ScratchMark();
    ASSERT_EQ(PushText("caller's level"_t), status::kOk);
    EXPECT_EQ(EvalExpression("1+2;'x'+'y'"_t), 1);
    EXPECT_EQ(ScratchDepth(), before + 2);
    EXPECT_EQ(Str(ScratchTop()), "xy");
    ScratchRelease(static_cast<ScratchLevel>(before + 1));
    EXPECT_EQ(EvalCondition("1"_t), 1);
    EXPECT_EQ(EvalNumber("1"_t), 100);
    EXPECT_EQ(EvalStatus("1+'a'"_t), 128);
    EXPECT_EQ(ScratchDepth(), before + 1);
    EXPECT_EQ(Str(ScratchTop()), "caller's level");
    ScratchRelease(before);
}

// --- The error trail ----------------------------------------------------------------------------

TEST_F(EntryPointsTest, FirstErrorIsRecordedWithTheEvaluationOrigin) {
    EXPECT_EQ(Eval("1+'a'"), "error 128");
    EXPECT_EQ(RecordedError().status, 128);
    EXPECT_EQ(RecordedError().step, kOriginEvaluation);
    EXPECT_EQ(Eval("'a'-'b'"), "error 147");
    EXPECT_EQ(Eval("(1"), "error 129");
    EXPECT_EQ(RecordedError().status, 128) << "a later error replaced the first";
}

TEST_F(EntryPointsTest, InformativeStatusesAreNotRecorded) {
    EXPECT_EQ(Eval(""), "status 123");
    EXPECT_EQ(RecordedError().status, 0);
    EXPECT_EQ(Detail(), "");
}

TEST_F(EntryPointsTest, TheFailingStatementIsLogged) {
    EXPECT_EQ(Eval("x=1;'a'*2;x=2"), "error 128");
    EXPECT_EQ(Detail(), "'a'*2;x=2"); // from the failing statement's start to the end
    EXPECT_EQ(Var("x"), "1");
}

TEST_F(EntryPointsTest, TheFailingOperandTokenIsLoggedBeforeTheStatement) {
    ASSERT_EQ(ArrayDim("A("_t, {2}), status::kOk);
    EXPECT_EQ(Eval("A(9)+1"), "error 168");
    EXPECT_EQ(Detail(), "A\r\nA(9)+1");
}

TEST_F(EntryPointsTest, NestedGroupsLogTheirOwnTextFirst) {
    EXPECT_EQ(Eval("1+(2*'a')"), "error 128");
    EXPECT_EQ(Detail(), "2*'a'\r\n1+(2*'a')");
}

TEST_F(EntryPointsTest, UnbalancedTextIsLoggedWhole) {
    EXPECT_EQ(Eval("1 + (2"), "error 129");
    EXPECT_EQ(Detail(), "1 + (2");
    EXPECT_EQ(RecordedError().status, status::kLoopFailure);
}

TEST_F(EntryPointsTest, VariableStoreFailuresAreRecordedAsAssignments) {
    EXPECT_EQ(Eval("x=70000"), "error 168");
    EXPECT_EQ(RecordedError().status, status::kDataOutBound);
    EXPECT_EQ(RecordedError().step, kOriginAssignment);
}

// --- Limits
// ---------------------------------------------------------------------------------------

TEST_F(EntryPointsTest, DeepNestingWithinTheLimitWorks) {
    const std::string text = std::string(60, '(') + "1+1" + std::string(60, ')');
    EXPECT_EQ(Eval(text), "2.00");
    EXPECT_EQ(Eval(std::string(50, '-') + "3"), "3.00");
}

TEST_F(EntryPointsTest, NestingBeyondTheLimitIsRefused) {
    const std::string groups = std::string(300, '(') + "1" + std::string(300, ')');
    EXPECT_EQ(Eval(groups), "error 159");
    EXPECT_EQ(Eval(std::string(500, '-') + "1"), "error 159");
    EXPECT_EQ(Eval("1+1"), "2.00") << "the evaluator recovers";
}

TEST_F(EntryPointsTest, ArithmeticOverflowIsAnErrorNotAWrappedNumber) {
    const std::vector<EvalRow> rows = {
        {"90000000000000000", "90000000000000000.00"},
        {"9999999999999999", "9999999999999999.00"},
        {"99999999999999999", "error 168"},
        {"92233720368547758.07", "92233720368547758.07"}, // the greatest number
        {"92233720368547758.08", "error 168"},
        {"99999999999999999999", "error 168"},
        {"90000000000000000*100", "error 168"},
        {"90000000000000000+90000000000000000", "error 168"},
        {"-90000000000000000-90000000000000000", "error 168"},
        {"90000000000000000/0.01", "error 168"},
        {"90000000000000000%1000", "error 168"},
    };
    for (const EvalRow& row : rows) {
        EXPECT_EQ(Eval(row.expression), row.expected) << "expression: " << row.expression;
    }
}

TEST_F(EntryPointsTest, ATextBeyondTheLengthLimitIsRefusedNotCut) {
    const std::string quarter(20000, 'a');
    ASSERT_EQ(VarAssign("s$"_t, TextView(quarter)), status::kOk);
    EXPECT_EQ(Eval("s$+s$+s$+s$"), "error 146");
    EXPECT_EQ(Eval("FN#SLEN(s$+s$+'b')"), "40001.00");
    EXPECT_EQ(Eval("FN#SLEN(s$+s$+s$)"), "error 159"); // no room for it on group 35
}

// --- Hooks of the variable store
// ------------------------------------------------------------------

TextRef ReadMagic(TextRef name, int mode) {
    if (mode == kHookRead && name.view() == "_MAGIC") return "42"_t;
    return TextRef::Failed(status::kData); // declined: the ordinary store answers
}

std::string g_calledName;
int g_calledIndex = -1;

TextRef UserCall(TextRef name, int first) {
    g_calledName = std::string(name.view());
    g_calledIndex = first;
    if (name.view() == "_F") return "7"_t;
    if (name.view() == "_F$") return "seven"_t;
    if (name.view() == "_G#") return "1.5"_t;
    if (name.view() == "_BAD") return TextRef::Failed(status::kFeatureRemoved);
    return TextRef::Failed(status::kData);
}

TEST_F(EntryPointsTest, UnderscoreNamesAreReadThroughHookZero) {
    VarSetHook(0, ReadMagic);
    EXPECT_EQ(Eval("_MAGIC+1"), "43.00");
    EXPECT_EQ(Eval("_PRECIS"), "2.00"); // declined by the hook
}

TEST_F(EntryPointsTest, UserCallsGoToHookTwoByTheKindOfTheirName) {
    VarSetHook(2, UserCall);
    EXPECT_EQ(Eval("_F(1+2;9)"), "7.00");
    EXPECT_EQ(g_calledName, "_F");
    EXPECT_EQ(g_calledIndex, 3);
    EXPECT_EQ(Eval("_F$(1)"), "'seven'");
    EXPECT_EQ(Eval("_G#(0)*2"), "3.00");
    EXPECT_EQ(Eval("_BAD(0)"), "error 148");
    EXPECT_EQ(Eval("_H(1)"), "error 157"); // declined: an array, and none is declared
    EXPECT_EQ(Eval("F(1)"), "error 157");  // only "_" names are offered to the hook
    EXPECT_EQ(g_calledName, "_H");
}

} // namespace
} // namespace vodarir::testing
