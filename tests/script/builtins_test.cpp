// Built-in function calls: the function list, arguments on group 35 with their kinds, the
// argument limits, the handlers written so far, added functions and SQLCHILD scopes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eval_fixture.h"
#include "script/builtins.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class BuiltinsTest : public EvalTest {
protected:
    void ExpectRows(const std::vector<EvalRow>& rows) {
        for (const EvalRow& row : rows) {
            EXPECT_EQ(Eval(row.expression), row.expected) << "expression: " << row.expression;
        }
    }
};

// What a handler saw of its call, recorded by the probe below.
struct Seen {
    std::uint16_t count = 0;
    std::uint16_t base = 0;
    std::uint16_t groupSize = 0;
    std::vector<std::uint16_t> kinds;
    std::vector<std::string> slots;
    std::string raw;
};
Seen g_seen;

StatusCode Probe(const BuiltinCall& call) {
    g_seen = Seen{};
    g_seen.count = call.count;
    g_seen.base = call.base;
    g_seen.groupSize = SlotCount(slotgroup::kValueStack);
    for (std::uint16_t i = 1; i <= call.count; ++i) {
        g_seen.kinds.push_back(ArgKind(call, i));
        g_seen.slots.push_back(std::string(
            SlotGet(slotgroup::kValueStack, static_cast<SlotIndex>(call.base + i - 1)).view()));
    }
    g_seen.raw = std::string(GroupText(call.token).view());
    return PushInteger(call.count);
}

// Reads its arguments with every reader, from the last to the first: (n, t, any, number).
std::string g_read;
StatusCode Reader(const BuiltinCall& call) {
    StatusCode st = ArgCountIn(call, 1, 4);
    if (st != status::kOk) return st;
    FixedNumber number = 0;
    bool anyText = false;
    TextRef text;
    std::int16_t integer = 0;
    const StatusCode s4 = ArgNumber(call, 4, -1, &number);
    const StatusCode s3 = ArgAny(call, 3, "dflt"_t, &anyText);
    const std::string any = std::string(ScratchTop().view());
    const StatusCode s2 = ArgText(call, 2, "none"_t, &text);
    const StatusCode s1 = ArgInteger(call, 1, -7, &integer);
    g_read = std::to_string(s1) + ":" + std::to_string(integer) + " " + std::to_string(s2) + ":" +
             std::string(text.view()) + " " + std::to_string(s3) + ":" + (anyText ? "t:" : "n:") +
             (anyText ? any : std::to_string(NumberValue(TextView(any)))) + " " +
             std::to_string(s4) + ":" + std::to_string(number) + " left " +
             std::to_string(SlotCount(slotgroup::kValueStack) - call.base);
    return PushNumber(0);
}

TEST_F(BuiltinsTest, TextLength) {
    ExpectRows({
        {"FN#SLEN('abc')", "3.00"},
        {"FN#SLEN('')", "0.00"},
        {"FN#SLEN()", "0.00"},
        {"FN#SLEN('a'+'bc')*2", "6.00"},
        {"FN#SLEN('abc';1)", "error 147"}, // too many arguments
        {"FN#SLEN(12)", "error 128"},      // a number where a text is wanted
        {"FN#SLEN(FN$MIDS('abcdef';2;3))", "3.00"},
    });
}

TEST_F(BuiltinsTest, Substrings) {
    ExpectRows({
        {"FN$MIDS('abcdef';2;3)", "'bcd'"},
        {"FN$MIDS('abcdef';-2)", "'ef'"},
        {"FN$MIDS('abcdef';1)", "'abcdef'"},
        {"FN$MIDS('abcdef';-3;2)", "'de'"},
        {"FN$MIDS('abcdef')", "'f'"}, // start -1: the last character
        {"FN$MIDS('abcdef';;2)", "'f'"},
        {"FN$MIDS('abc';5)", "''"},
        {"FN$MIDS('abc';-5)", "'abc'"},
        {"FN$MIDS('abc';2;0)", "''"},
        {"FN$MIDS('abc';2;100)", "'bc'"},
        {"FN$MIDS('abc';0;1)", "'a'"},
        {"FN$MIDS('abc';2.4)", "'bc'"}, // arguments are read as rounded integers
        {"FN$MIDS(5)", "error 128"},
        {"FN$MIDS('a';'b')", "error 128"},
        {"FN$MIDS()", "error 147"},
        {"FN$MIDS('a';1;2;3)", "error 147"},
        {"FN$MIDS('abc';40000)", "error 168"},
        {"FN$MIDS('abcdef';2;3)+'!'", "'bcd!'"},
    });
}

TEST_F(BuiltinsTest, Conditionals) {
    ExpectRows({
        {"CHK#(0;1;2)", "2.00"},
        {"CHK#(1;1;2)", "1.00"},
        {"CHK$(1;'x')", "'x'"},
        {"CHK$(0;'x')", "''"},
        {"CHK#(0;'x')", "0.00"},
        {"CHK#(1;'x')", "status 125"}, // a text from the numeric conditional
        {"CHK$(1;5)", "''"},           // ... and a number from the text one reads empty
        {"CHK$(1;)", "''"},
        {"CHK#(1)", "0.00"},
        {"CHK#(1+1;10;20)", "10.00"},
        {"CHK#(0.4;10;20)", "20.00"}, // the condition is read as a rounded integer
        {"CHK#('a';1;2)", "error 128"},
        {"CHK#(0;1;2;3)", "3.00"}, // every expression after a, the last one counts
        {"CHK#(1;2*'a';3)", "error 128"},
        {"CHK#(0;2*'a';3)", "3.00"}, // a is not evaluated
        {"CHK$(1;'a'+FN$MIDS('bc';2))", "'ac'"},
        {"y=CHK#(1;'x')", "error 128"}, // 125 on the right of "=" is an error
    });
}

TEST_F(BuiltinsTest, ConditionalsEvaluateOnlyTheChosenBranch) {
    EXPECT_EQ(Eval("x=0;CHK#(1;5;x=9)"), "5.00");
    EXPECT_EQ(Var("x"), "0");
    EXPECT_EQ(Eval("CHK#(0;x=9;7)"), "7.00");
    EXPECT_EQ(Var("x"), "0");
    EXPECT_EQ(Eval("CHK#(0;1;x=2;x+1)"), "3.00");
    EXPECT_EQ(Var("x"), "2");
    EXPECT_EQ(Eval("CHK#(x=4;x;0)"), "4.00"); // the condition itself runs first
}

TEST_F(BuiltinsTest, ArgumentsGoOnGroup35WithTheirKinds) {
    ASSERT_EQ(RegisterFunction("PROBE"_t, Probe), status::kOk);
    ASSERT_EQ(SlotPush(slotgroup::kValueStack, "caller"_t), status::kOk);
    EXPECT_EQ(Eval("PROBE(1.5;;'a'+'b',x$)"), "4.00");
    EXPECT_EQ(g_seen.base, 1);
    EXPECT_EQ(g_seen.groupSize, 5);
    EXPECT_EQ(g_seen.kinds, (std::vector<std::uint16_t>{0, 0, 1, 1}));
    ASSERT_EQ(g_seen.slots.size(), 4u);
    EXPECT_EQ(NumberValue(TextView(g_seen.slots[0])), 150);
    EXPECT_EQ(g_seen.slots[1], "\x1B"); // the omitted argument
    EXPECT_EQ(g_seen.slots[2], "ab");
    EXPECT_EQ(g_seen.slots[3], "");
    EXPECT_EQ(g_seen.raw, "1.5;;'a'+'b',x$");
    EXPECT_EQ(SlotCount(slotgroup::kValueStack), 1) << "the call cuts group 35 back";
    EXPECT_EQ(Str(SlotTop(slotgroup::kValueStack)), "caller");
    ASSERT_EQ(SlotPop(slotgroup::kValueStack), status::kOk);
}

TEST_F(BuiltinsTest, EmptyGroupsAndSeparators) {
    ASSERT_EQ(RegisterFunction("PROBE"_t, Probe), status::kOk);
    ExpectRows({
        {"PROBE()", "0.00"},
        {"PROBE(;)", "1.00"},
        {"PROBE(1;)", "1.00"},
        {"PROBE(;1)", "2.00"},
        {"PROBE(,,)", "2.00"},
        {"PROBE((1;2);3)", "2.00"}, // separators inside a nested group belong to it
        {"PROBE('a;b')", "1.00"},
    });
}

TEST_F(BuiltinsTest, OnlySixteenArgumentsAreEvaluated) {
    ASSERT_EQ(RegisterFunction("PROBE"_t, Probe), status::kOk);
    std::string call = "PROBE(";
    for (int i = 1; i <= 17; ++i)
        call += (i > 1 ? ";" : "") + std::string("x=") + std::to_string(i);
    call += ")";
    EXPECT_EQ(Eval(call), "16.00");
    EXPECT_EQ(Var("x"), "16") << "the 17th argument ran";
}

TEST_F(BuiltinsTest, AnArgumentErrorEndsTheCallBeforeItsHandler) {
    ASSERT_EQ(RegisterFunction("PROBE"_t, Probe), status::kOk);
    g_seen = Seen{};
    g_seen.count = 99;
    EXPECT_EQ(Eval("PROBE(1;'a'-'b';x=5)"), "error 147");
    EXPECT_EQ(g_seen.count, 99) << "the handler ran";
    EXPECT_EQ(Var("x"), "0") << "arguments after the failing one ran";
    EXPECT_EQ(SlotCount(slotgroup::kValueStack), 0);
}

TEST_F(BuiltinsTest, ArgumentReaders) {
    ASSERT_EQ(RegisterFunction("READ"_t, Reader), status::kOk);
    struct Row {
        const char* call;
        const char* read;
    };
    const std::vector<Row> rows = {
        {"READ(2.5;'t';'any';1.25)", "0:3 0:t 0:t:any 0:125 left 0"},
        {"READ(1)", "0:1 0:none 0:t:dflt 0:-1 left 0"},
        {"READ(;;;)", "0:-7 0:none 0:t:dflt 0:-1 left 0"},
        {"READ('x';5;7;'y')", "128:-7 128:none 0:n:700 128:-1 left 0"},
        {"READ(-32768.4)", "0:-32768 0:none 0:t:dflt 0:-1 left 0"},
        {"READ(32767.5)", "168:-7 0:none 0:t:dflt 0:-1 left 0"},
    };
    for (const Row& row : rows) {
        g_read.clear();
        EXPECT_EQ(Eval(row.call), "0.00") << row.call;
        EXPECT_EQ(g_read, row.read) << row.call;
    }
    EXPECT_EQ(Eval("READ()"), "error 147");
    EXPECT_EQ(Eval("READ(1;2;3;4;5)"), "error 147");
}

// Reads (integer, text, integer) with ArgsBySpec.
StatusCode SpecReader(const BuiltinCall& call) {
    ArgValue values[3];
    const StatusCode st = ArgsBySpec(call, "ITI", values);
    g_read = std::to_string(st) + " " + std::to_string(values[0].integer) + " '" +
             std::string(values[1].text.view()) + "' " + std::to_string(values[2].integer) +
             " left " + std::to_string(SlotCount(slotgroup::kValueStack) - call.base);
    return PushNumber(0);
}

TEST_F(BuiltinsTest, ArgumentsReadBySpec) {
    ASSERT_EQ(RegisterFunction("SPEC"_t, SpecReader), status::kOk);
    struct Row {
        const char* call;
        const char* read;
    };
    const std::vector<Row> rows = {
        {"SPEC(1.6;'ab';-3)", "0 2 'ab' -3 left 0"},
        {"SPEC(4)", "0 4 '' 0 left 0"},              // places beyond the count read empty
        {"SPEC(;;7)", "0 0 '' 7 left 0"},            // omitted arguments too
        {"SPEC('x';'ab';3)", "147 0 'ab' 3 left 0"}, // a text in an integer place
        {"SPEC(1;2;3)", "147 1 '' 3 left 0"},        // a number in a text place
        {"SPEC(1;'a';2;3)", "147 0 '' 0 left 4"},    // more arguments than places
    };
    for (const Row& row : rows) {
        g_read.clear();
        EXPECT_EQ(Eval(row.call), "0.00") << row.call;
        EXPECT_EQ(g_read, row.read) << row.call;
    }
}

TEST_F(BuiltinsTest, AddedFunctions) {
    EXPECT_EQ(FunctionNumber("PROBE"_t), 0);
    ASSERT_EQ(RegisterFunction("PROBE"_t, Probe), status::kOk);
    EXPECT_EQ(FunctionNumber("PROBE"_t), 34);
    EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, kFunctionListSlot)),
              std::string(kBuiltinFunctionList) + ",PROBE");
    ASSERT_EQ(RegisterFunction("NOHANDLER"_t, nullptr), status::kOk);
    EXPECT_EQ(Eval("NOHANDLER(1)"), "error 147"); // a function without a handler
    for (int i = 3; i <= kMaxAddedFunctions; ++i) {
        ASSERT_EQ(RegisterFunction(TextView("F" + std::to_string(i)), Probe), status::kOk) << i;
    }
    EXPECT_EQ(FunctionNumber("F16"_t), 49);
    EXPECT_EQ(Eval("F16(1;2)"), "2.00");
    EXPECT_EQ(RegisterFunction("F17"_t, Probe), status::kDataOutBound);
    EXPECT_EQ(FunctionNumber("F17"_t), 0);
    EXPECT_EQ(RegisterFunction(""_t, Probe), status::kSyntax);
    EXPECT_EQ(RegisterFunction("A,B"_t, Probe), status::kSyntax);
}

TEST_F(BuiltinsTest, TheActiveListComesFromTheEnvironmentSlot) {
    ASSERT_EQ(SlotSet(slotgroup::kEnvironment, kFunctionListSlot, "X,FN$MIDS"_t), status::kOk);
    EXPECT_EQ(FunctionNumber("FN$MIDS"_t), 2);
    EXPECT_EQ(FunctionNumber("FN#SLEN"_t), 0);
    // FN$MIDS is now number 2, whose handler is FN#FLEN's (one argument only); FN#SLEN is no
    // function.
    EXPECT_EQ(Eval("FN$MIDS('abc';2)"), "error 147");
    EXPECT_EQ(Eval("FN#SLEN('abc')"), "error 157");
    EXPECT_EQ(FunctionNumber("'a,b',C"_t), 0);
    ASSERT_EQ(SlotSet(slotgroup::kEnvironment, kFunctionListSlot, "'a,b',C"_t), status::kOk);
    EXPECT_EQ(FunctionNumber("C"_t), 2); // a quoted item is one item
}

TEST_F(BuiltinsTest, SqlChildScopes) {
    IntVarSet(9, 5);  // _CURROW
    IntVarSet(14, 3); // _IER
    EXPECT_EQ(Eval("SQLCHILD(a=_SQLSTK;b=_CURROW;_IER=8)"), "0.00");
    EXPECT_EQ(Var("a"), "1");
    EXPECT_EQ(Var("b"), "0");
    EXPECT_EQ(IntVarGet(16), 0) << "_SQLSTK lowered again";
    EXPECT_EQ(IntVarGet(9), 5) << "_CURROW restored";
    EXPECT_EQ(IntVarGet(14), 3) << "_IER restored";
    EXPECT_EQ(Eval("SQLCHILD(SQLCHILD(c=_SQLSTK))"), "0.00");
    EXPECT_EQ(Var("c"), "2");
    EXPECT_EQ(Eval("SQLCHILD(1;'a'*2)"), "error 128");
    EXPECT_EQ(IntVarGet(16), 0) << "a failed call leaves its scope too";
}

TEST_F(BuiltinsTest, SqlChildNestsAtMostSevenDeep) {
    std::string seven = "d=_SQLSTK";
    for (int i = 0; i < 7; ++i) seven = "SQLCHILD(" + seven + ")";
    EXPECT_EQ(Eval(seven), "0.00");
    EXPECT_EQ(Var("d"), "7");
    EXPECT_EQ(Eval("SQLCHILD(" + seven + ")"), "error 159");
    EXPECT_EQ(IntVarGet(16), 0);
}

TEST_F(BuiltinsTest, SqlChildEvaluatesEveryArgument) {
    std::string call = "SQLCHILD(";
    for (int i = 1; i <= 20; ++i)
        call += (i > 1 ? ";" : "") + std::string("x=") + std::to_string(i);
    call += ")";
    EXPECT_EQ(Eval(call), "0.00");
    EXPECT_EQ(Var("x"), "20");
}

} // namespace
} // namespace vodarir::testing
