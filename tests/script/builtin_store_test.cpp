// Built-in functions over the runtime's stores: slots (_$), environment entries (ENVRON$),
// accumulators (_#), sums over a counter (FN#ACUM) and values by name (FN$FLDS).
#include <gtest/gtest.h>

#include <string>

#include "builtin_fixture.h"
#include "dictionary/dictionary.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir::testing {
namespace {

using namespace literals;

using StoreFunctionsTest = BuiltinTest;

// --- _$ ----------------------------------------------------------------------------------------

TEST_F(StoreFunctionsTest, IndexedGroups) {
    ExpectRows({
        {"_$(9;7;'a,b')", "'a,b'"}, // stored, then read
        {"_$(.envvar;.dialog)", "'a,b'"},
        {"_$(9;7)", "'a,b'"},
        {"_$(9;8)", "''"},
        {"_$(9;-1)", "error 147"}, // an indexed group cannot pop
        {"_$(9;-1;'x')", "error 147"},
        {"_$(9;7;5)", "error 128"},
        {"_$(9;70000)", "error 168"},
        {"_$(-1)", "error 168"},
        {"_$(1;2;3;4)", "error 147"},
    });
    EXPECT_EQ(Str(SlotGet(9, 7)), "a,b") << "the refused calls changed nothing";
    EXPECT_EQ(Eval("FN$TRIM(FN$PARM(_$(.envvar;.dialog);2);'FIT')"), "'B'");
}

// The function list lives in environment slot 8, which _$ can write. A list that is not the
// built-in one (followed by added names) would make every built-in unknown for good: refused.
TEST_F(StoreFunctionsTest, WritingTheFunctionListIsCheckedAsRegisteringIs) {
    const std::string builtin = kBuiltinFunctionList;
    std::string sixteen = builtin;
    for (int i = 1; i <= kMaxAddedFunctions; ++i) sixteen += ",F" + std::to_string(i);
    ExpectBuiltRows({
        {"_$(0;8;'FOO')", "error 168"},
        {"_$(0;8;'X," + builtin + "')", "error 168"},         // not at the start
        {"_$(0;8;'" + builtin.substr(3) + "')", "error 168"}, // one taken away
        {"_$(0;8;'" + builtin + "FOO')", "error 168"},        // the last name changed
        {"_$(0;8;'" + sixteen + ",F17')", "error 168"},       // seventeen added
        {"_$(0;8;'" + builtin + ",')", "error 147"},          // an empty name
        {"_$(0;8;'" + builtin + ",A,,B')", "error 147"},
        {"_$(0;8;\"" + builtin + ",'Q'\")", "error 147"}, // a quoted name
    });
    EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, kFunctionListSlot)), "") << "nothing written";
    EXPECT_EQ(Eval("FN$MIDS('abc';2)"), "'bc'") << "the built-in functions are still there";

    EXPECT_EQ(Eval("FN#SLEN(_$(0;8;'" + sixteen + "'))"), FixedString(sixteen.size() * 100, 2));
    EXPECT_EQ(FunctionNumber("F16"_t), 49);
    EXPECT_EQ(Eval("F1(2)"), "error 147") << "a name without a handler";
    EXPECT_EQ(Eval("_$(0;8;'')"), "''") << "empty: the built-in list applies";
    EXPECT_EQ(FunctionNumber("F1"_t), 0);
    EXPECT_EQ(Eval("FN$MIDS('abc';2)"), "'bc'");
}

TEST_F(StoreFunctionsTest, StackGroups) {
    ExpectRows({
        {"_$()", "''"}, // group 30, empty
        {"_$(31;0;'x')", "'x'"},
        {"_$(31;5;'y')", "'y'"}, // a stack is read at its top whatever the slot
        {"_$(31)", "'y'"},
        {"_$(31;-1)", "''"},
        {"_$(31)", "'x'"},
        {"_$(31;-2)", "status 127"}, // ran out after one
        {"_$(31)", "''"},
        {"_$(31;-1)", "status 127"},
        {"_$(31;-1;'z')", "''"}, // pushed, then popped
    });
    EXPECT_EQ(SlotCount(31), 0);
    // Groups above 36 are queues: they are read and popped at the front.
    Run("_$(37;0;'first');_$(37;0;'second')");
    EXPECT_EQ(Eval("_$(37)"), "'first'");
    EXPECT_EQ(Eval("_$(37;-1)+_$(37)"), "'second'");
    ASSERT_EQ(SlotPopTo(37, 0), status::kOk);
}

TEST_F(StoreFunctionsTest, APopResultStillAssigns) {
    Run("_$(32;0;'v')");
    EXPECT_EQ(Eval("t$=_$(32)+'!'"), "'v!'");
    EXPECT_EQ(Var("t$"), "v!");
    EXPECT_EQ(Eval("_$(32;-1)"), "''");
}

TEST_F(StoreFunctionsTest, AGroupBeyondTheStoreIsRefused) {
    EXPECT_EQ(Eval("_$(500)"), "''");
    EXPECT_EQ(Eval("_$(500;0;'x')"), "error 159");
}

// --- ENVRON$ -------------------------------------------------------------------------------------

TEST_F(StoreFunctionsTest, EnvironmentEntries) {
    SetSlot(slotgroup::kEnvironment, 1, "prog.exe /DB=test /USER='Ana Perez' /P=\"%TEMP%\\x\" /E=");
    SetSlot(slotgroup::kEnvironment, 0, "A=1 B:2");
    SetSlot(slotgroup::kEnvironment, 5, "/apps/data");
    ExpectRows({
        {"ENVRON$('DB')", "'test'"},
        {"ENVRON$('DB';1)", "'test'"},
        {"ENVRON$('USER')", "'Ana Perez'"},  // without its quotes
        {"ENVRON$('P')", "'\"%TEMP%\\x\"'"}, // quotes kept around a reference
        {"ENVRON$('E')", "''"},
        {"ENVRON$('X')", "''"},
        {"ENVRON$('db')", "''"},
        {"ENVRON$('B';0)", "'2'"},
        {"ENVRON$('A';0)", "'1'"},
        {"ENVRON$('';5)", "'/apps/data'"}, // above 1: the slot itself
        {"ENVRON$('whatever';5)", "'/apps/data'"},
        {"ENVRON$('';6)", "''"},
        {"ENVRON$()", "''"},
        {"ENVRON$('DB';-1)", "error 168"},
        {"ENVRON$(1)", "error 128"},
    });
}

// --- _# ------------------------------------------------------------------------------------------

TEST_F(StoreFunctionsTest, AccumulatorsWithoutTheArray) {
    ExpectRows({
        {"_#(3)", "0.00"},
        {"_#('CLS')", "0.00"},
        {"_#('DIM';2)", "0.00"},
        {"_#()", "0.00"},
    });
}

class AccumulatorTest : public BuiltinTest {
protected:
    void SetUp() override {
        BuiltinTest::SetUp();
        ASSERT_EQ(ArrayDim("_#("_t, {256}), status::kOk);
        ASSERT_EQ(VarAssign("_ACUMX$"_t, "IVA,VENTAS,COSTE"_t), status::kOk);
    }
};

TEST_F(AccumulatorTest, ReadByIndexOrName) {
    Run("_#(3)=5;_#(0)=1.5;_#(2)=7");
    ExpectRows({
        {"_#(3)", "5.00"},
        {"_#(0)", "1.50"},
        {"_#()", "1.50"},
        {"_#(1;2)", "5.00"},        // base plus second
        {"_#('DIM';3)", "5.00"},    // DIM is base 0
        {"_#('IVA')", "1.50"},      // first in the list: base 0
        {"_#('VENTAS')", "0.00"},   // second: base 1, element 1
        {"_#('VENTAS';2)", "5.00"}, // base 1 plus 2
        {"_#('COSTE')", "7.00"},
        {"_#('OTRO';3)", "0.00"}, // a name not in the list
        {"_#('ventas')", "0.00"},
        {"_#(256)", "0.00"},
        {"_#(257)", "error 168"},
        {"_#(-1)", "0.00"}, // the base of a name not in the list
        {"_#(-2)", "error 168"},
        {"_#(250;10)", "error 168"},
        {"_#(3)*2+_#(2)", "17.00"},
    });
}

TEST_F(AccumulatorTest, ClearingAllOrARange) {
    Run("_#(2)=1;_#(4)=1;_#(6)=1;_#(256)=9");
    EXPECT_EQ(Eval("_#('CLS';5;3)"), "0.00");
    EXPECT_EQ(Eval("_#(2)+_#(4)*10+_#(6)*100"), "101.00") << "only 3 to 5 were cleared";
    EXPECT_EQ(Eval("_#('CLS')"), "0.00");
    EXPECT_EQ(Eval("_#(2)+_#(6)+_#(256)"), "0.00") << "0 to 256 cleared";
}

// --- FN#ACUM -------------------------------------------------------------------------------------

TEST_F(StoreFunctionsTest, Sums) {
    EXPECT_EQ(Eval("FN#ACUM(_x*2;_x;1;3)"), "12.00");
    EXPECT_EQ(Var("_x"), "4") << "the counter is left one past the end";
    ExpectRows({
        {"FN#ACUM(1;i;1;0)", "0.00"},
        {"FN#ACUM(i;i;-2;2)", "0.00"},
        {"FN#ACUM(0.5;i;1;5)", "2.50"},
        {"FN#ACUM('2';i;1;3)", "6.00"}, // a text value counts as its number
        {"FN#ACUM(FN#ACUM(j;j;1;i);i;1;3)", "10.00"},
        {"FN#ACUM(1*'a';i;1;3)", "error 128"},
        {"FN#ACUM(1;;1;3)", "error 147"},
        {"FN#ACUM(1;x$;1;2)", "error 128"},
        {"FN#ACUM(1;i)", "error 147"}, // nothing to start the counter from
    });
    EXPECT_EQ(Var("i"), "1");
}

// A bound that does not read as an integer is a failed assertion, and the sum fails with the
// reason instead of answering a number as if it had run.
TEST_F(StoreFunctionsTest, ASumWhoseBoundIsNoIntegerFailsWithTheReason) {
    ExpectRows({
        {"FN#ACUM(1;_x;1;'a')", "error 128"},   // a text
        {"FN#ACUM(1;_x;1;40000)", "error 168"}, // beyond 16 bits
        {"FN#ACUM(1;_x;1;2*'a')", "error 128"}, // an evaluation that fails
    });
    ASSERT_EQ(ui.shownBoxes().size(), 3u) << "each is still reported as an assertion";
    EXPECT_EQ(ui.shownBoxes().front().caption, "Assertion Fail");
    EXPECT_EQ(ui.shownBoxes().front().text, "'a'");
}

TEST_F(StoreFunctionsTest, ASumThatKeepsMovingItsCounterBackIsStopped) {
    EXPECT_EQ(Eval("FN#ACUM(i=1;i;1;3)"), "error 129");
    // The last step would take the counter past 32767, which it cannot hold.
    EXPECT_EQ(Eval("FN#ACUM(1;i;32766;32767)"), "error 168");
}

// --- FN$FLDS -------------------------------------------------------------------------------------

TextRef AnswerForUnknown(TextRef name, int mode) {
    if (mode == kHookRead && name.view() == "nosuch") return "from hook"_t;
    return TextRef::Failed(status::kData);
}

TEST_F(StoreFunctionsTest, ValuesByName) {
    ASSERT_EQ(ArrayDim("A#("_t, {3}), status::kOk);
    ASSERT_EQ(ArrayDim("G("_t, {2, 2}), status::kOk);
    Run("x=5;n$='ab';A#(2)=1.25;G(1;2)=7");
    ExpectRows({
        {"FN$FLDS(x)", "'5'"},
        {"FN$FLDS(n$)", "'ab'"},
        {"FN$FLDS(_STAT)", "'0'"},
        {"FN$FLDS(A#(2))", "'1.25'"},
        {"FN$FLDS(G(1,2))", "'7'"},
        {"FN$FLDS(A#(9))", "error 168"},
        {"FN$FLDS(A#(x))", "error 168"}, // indexes are not evaluated
        {"FN$FLDS(B#(1))", "error 147"},
        {"FN$FLDS(x+1)", "error 147"}, // a name, not an expression
        {"FN$FLDS(nosuch)", "error 147"},
        {"FN$FLDS()", "error 147"},
    });
    VarSetHook(0, AnswerForUnknown);
    EXPECT_EQ(Eval("FN$FLDS(nosuch)"), "'from hook'");
    EXPECT_EQ(Eval("FN$FLDS(other)"), "error 147");
}

TEST_F(StoreFunctionsTest, FieldsByName) {
    ASSERT_EQ(AddFile(0, "clientes"_t, ""_t), status::kOk);
    ASSERT_EQ(AddField("codigo"_t, 6, 'A'), status::kOk);
    ExpectRows({
        {"FN$FLDS(codigo{clientes})", "''"}, // no record buffer holds data here
        {"FN$FLDS(codigo{1})", "''"},
        {"FN$FLDS(codigo{9})", "error 161"},
        {"FN$FLDS(nombre{1})", "error 147"},
    });
}

} // namespace
} // namespace vodarir::testing
