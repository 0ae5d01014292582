// Built-in functions over data files and sort work areas: the record operations answer through
// the data-access entry points (148 with the operation's name, or empty values), FILEREL goes
// through the relations or the relational-update hook, SORT$ keeps areas behind handle texts.
#include <gtest/gtest.h>

#include <string>

#include "builtin_fixture.h"
#include "dictionary/dictionary.h"
#include "dictionary/sort_areas.h"
#include "runtime/store/error_detail.h"

namespace vodarir::testing {
namespace {

using namespace literals;

constexpr std::uint16_t kIer = 14;
constexpr std::uint16_t kUpStat = 13;

class DataFunctionsTest : public BuiltinTest {
protected:
    void SetUp() override {
        BuiltinTest::SetUp();
        ASSERT_EQ(AddFile(0, "clientes"_t, ""_t), status::kOk);
        ASSERT_EQ(AddField("codigo"_t, 6, 'A'), status::kOk);
        ASSERT_EQ(AddFile(0, "facturas"_t, ""_t), status::kOk);
        ASSERT_EQ(AddField("numero"_t, 6, 'N'), status::kOk);
        ASSERT_EQ(AppendRelation(2, "1R1K1=CODCLI$"_t), status::kOk);
        ASSERT_EQ(AppendRelation(2, "1R2K1=1*'x'"_t), status::kOk);
    }
    // The result and the first line of the error detail it left (the evaluator adds the failing
    // texts after it).
    std::string WithDetail(const std::string& expression) {
        LogErrorText(0, ""_t, false);
        const std::string out = Eval(expression);
        const std::string detail = Detail();
        return out + " [" + detail.substr(0, detail.find("\r\n")) + "]";
    }
};

TEST_F(DataFunctionsTest, RecordOperationsReportTheRemovedFeature) {
    struct Row {
        const char* expression;
        const char* outcome;
    };
    const Row rows[] = {
        {"FILEFIND('clientes';1)", "error 148 [DataFileFind]"},
        {"FILEFIND('clientes';1;2;3)", "error 148 [DataFileFind]"},
        {"FILELOCATE()", "error 148 [DataFileMove]"},
        {"FILELOCATE('TOP';1)", "error 148 [DataFileMove]"},
        {"FILESEL('clientes')", "error 148 [DataFileSelect]"},
        {"FN#FLEN('clientes')", "error 148 [DataFileCounter]"},
        {"FILEREL(2;1;1)", "error 148 [DataFileFind]"}, // the relation exists: its find runs
        {"KEY$(1;1)", "'' []"},
        {"KEY$(1;1;0;0)", "'' []"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(WithDetail(row.expression), row.outcome) << row.expression;
    }
}

TEST_F(DataFunctionsTest, ArgumentRules) {
    ExpectRows({
        {"FILEFIND('clientes')", "error 147"},
        {"FILEFIND(1;1)", "error 128"},
        {"FILELOCATE('XXX')", "error 147"}, // not a record action
        {"FILELOCATE('top')", "error 147"},
        {"FILELOCATE(1)", "error 128"},
        {"KEY$(1)", "error 147"},
        {"KEY$('a';1)", "error 128"},
        {"FILEREL(1;2)", "error 147"},
        {"FILEREL(1;'a';1)", "error 128"},
        {"IER(1;2)", "error 147"},
    });
}

TEST_F(DataFunctionsTest, TheInputOutputStatus) {
    IntVarSet(kIer, 3);
    EXPECT_EQ(Eval("IER()"), "3.00");
    EXPECT_EQ(Eval("IER(1)"), "3.00");
}

TEST_F(DataFunctionsTest, RelationsFromTheDictionary) {
    ExpectRows({
        {"FILEREL(2;1;3)", "error 163"}, // no such relation: before any record operation
        {"FILEREL(1;2;1)", "error 163"},
        {"FILEREL(2;1;2)", "error 128"}, // its key fails to evaluate
    });
    LogErrorText(0, ""_t, false);
    EXPECT_EQ(Eval("FILEREL(2;1;3)"), "error 163");
    EXPECT_EQ(Detail().find("DataFile"), std::string::npos) << Detail();
}

TEST_F(DataFunctionsTest, TheUpdateExpressionIsTheRestOfTheGroup) {
    IntVarSet(kUpStat, 32); // the low-level update
    EXPECT_EQ(WithDetail("FILEREL(2;1;1;0;'[1+1]')"), "error 148 [DataFileRelUpdateLow]");
    EXPECT_EQ(Eval("FILEREL(2;1;1)"), "0.00") << "nothing to update";
    EXPECT_EQ(Eval("FILEREL(2;1;1;0;'[1*\"x\"]')"), "error 128");
}

std::string g_relationText;
TextRef RelationHook(TextRef text, int mode) {
    g_relationText = std::string(text.view()) + "|" + std::to_string(mode);
    if (text.view().find("decline") != std::string::npos) return TextRef::Failed(status::kData);
    return "7"_t;
}

TEST_F(DataFunctionsTest, TheRelationalUpdateHook) {
    VarSetHook(kRelationalUpdateHook, RelationHook);
    IntVarSet(kUpStat, 1); // bit 4 clear: the hook is not asked
    EXPECT_EQ(Eval("FILEREL(2;1;9)"), "error 163");
    EXPECT_EQ(g_relationText, "");
    IntVarSet(kUpStat, 1 | 4);
    EXPECT_EQ(Eval("FILEREL(2;1;9;0;x=1)"), "7.00");
    EXPECT_EQ(g_relationText, "2;1;9;0;x=1|1");
    EXPECT_EQ(Eval("FILEREL(2;1;9;0;'decline')"), "error 163") << "a declining hook falls back";
}

// --- SORT$ -------------------------------------------------------------------------------------

TEST_F(DataFunctionsTest, SortingAListInOneStep) {
    ExpectRows({
        {"SORT$('b,a,c')", "'a,b,c'"},
        {"SORT$('b,a,c';2)", "'c,b,a'"},
        {"SORT$('bb,a')", "'a ,bb'"},
        {"SORT$('a,b,a';1)", "'a,b'"},
        {"SORT$('a,b,a')", "'a,a,b'"},
        {"SORT$('')", "''"},
        {"SORT$('x';256)", "error 168"},
        {"SORT$(5)", "error 128"},
        {"SORT$()", "error 147"},
        {"SORT$('a';1;2)", "error 147"},
    });
}

TEST_F(DataFunctionsTest, SortAreasThroughHandles) {
    Run("h$=SORT$('NEW';3)");
    EXPECT_EQ(Eval("FN#SLEN(h$)"), "24.00");
    Run("h$=SORT$('ADD';h$;'b');h$=SORT$('ADD';h$;'a')");
    EXPECT_EQ(IntVarGet(kIer), 1) << "inserted before an entry";
    Run("h$=SORT$('ADD';h$;'c')");
    EXPECT_EQ(IntVarGet(kIer), 2) << "inserted at the end";
    ExpectRows({
        {"SORT$('GET';h$)", "'c  '"}, // the position is on the new entry
        {"h$=SORT$('MOVE';h$;.top);SORT$('GET';h$)", "'a  '"},
        {"h$=SORT$('MOVE';h$;.next);SORT$('GET';h$)", "'b  '"},
        {"h$=SORT$('MOVE';h$;.bottom);SORT$('GET';h$)", "'c  '"},
        {"h$=SORT$('MOVE';h$;.top);h$=SORT$('MOVE';h$;.previous);SORT$('GET';h$)", "'c  '"},
    });
    EXPECT_EQ(IntVarGet(kIer), 2) << "back from the first wraps to the last";
    // A record action asks the data layer for its code, which it has none of: the position stays.
    EXPECT_EQ(Eval("h$=SORT$('MOVE';h$;'PRV');SORT$('GET';h$)"), "'c  '");
    EXPECT_EQ(IntVarGet(kIer), 0);
    EXPECT_EQ(Eval("SORT$('MOVE';h$;'XYZ')"), "error 147");
    EXPECT_EQ(Eval("SORT$('ADD';h$;'abcd')"), "error 163");
    EXPECT_EQ(Eval("SORT$('KILL';h$)"), "''");
    EXPECT_EQ(Eval("SORT$('GET';h$)"), "error 147") << "a released area";
    EXPECT_EQ(Eval("SORT$('KILL';h$)"), "error 147") << "released only once";
}

TEST_F(DataFunctionsTest, UniqueDescendingAreas) {
    Run("h$=SORT$('NEW';2;1;3)"); // entries of 2, key of 1, unique and descending
    Run("h$=SORT$('ADD';h$;'a1');h$=SORT$('ADD';h$;'c1');h$=SORT$('ADD';h$;'a2')");
    EXPECT_EQ(IntVarGet(kIer), sortadd::kDuplicate);
    EXPECT_EQ(Eval("h$=SORT$('MOVE';h$;.top);SORT$('GET';h$)"), "'c1'");
    EXPECT_EQ(Eval("h$=SORT$('MOVE';h$;.next);SORT$('GET';h$)"), "'a1'");
    EXPECT_EQ(Eval("h$=SORT$('MOVE';h$;.next);_IER"), "2.00");
    Run("SORT$('KILL';h$)");
}

TEST_F(DataFunctionsTest, SortArgumentRules) {
    ExpectRows({
        {"SORT$('NEW')", "error 147"},
        {"SORT$('NEW';1;2;3;4)", "error 147"},
        {"SORT$('NEW';'a')", "error 128"},
        {"SORT$('NEW';0)", "error 168"},
        {"SORT$('NEW';2;2;300)", "error 168"},
        {"SORT$('ADD';'x')", "error 147"},
        {"SORT$('ADD';'not a handle';'y')", "error 147"},
        {"SORT$('ADD';5;'y')", "error 147"},
        {"SORT$('GET';'123456789012345678901234')", "error 147"}, // 24 bytes, forged
        {"SORT$('GET')", "error 147"},
        {"SORT$('KILL';'x';'y')", "error 147"},
        {"SORT$('MOVE';'x')", "error 147"},
    });
}

TEST_F(DataFunctionsTest, AHandleCopiedBeforeTheAreaGrewIsRefused) {
    Run("h$=SORT$('NEW';1);old$=h$");
    std::string adds;
    for (int i = 0; i < 300; ++i) adds += "h$=SORT$('ADD';h$;'x');";
    Run(adds);
    EXPECT_EQ(Eval("SORT$('GET';old$)"), "error 147");
    EXPECT_EQ(Eval("SORT$('ADD';old$;'y')"), "error 147");
    EXPECT_EQ(Eval("SORT$('KILL';h$)"), "''");
}

} // namespace
} // namespace vodarir::testing
