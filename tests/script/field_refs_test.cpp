// Field references in expressions: resolved through the dictionary, read as the record buffer's
// empty value, written through the data-access entry points (which answer that the feature is
// removed).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "eval_fixture.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class FieldRefsTest : public EvalTest {
protected:
    void SetUp() override {
        EvalTest::SetUp();
        ASSERT_EQ(AddFile(0, "clientes"_t, ""_t), status::kOk);
        ASSERT_EQ(AddField("codigo"_t, 6, 'N'), status::kOk);
        ASSERT_EQ(AddField("nombre"_t, 30, 'A'), status::kOk);
        ASSERT_EQ(AddField("saldo"_t, 10, '2'), status::kOk);
        ASSERT_EQ(AddFile(0, "pedidos"_t, ""_t), status::kOk);
        ASSERT_EQ(AddField("fecha"_t, 8, 'D'), status::kOk);
        ASSERT_EQ(AddField("activo"_t, 1, 'L'), status::kOk);
    }
    void TearDown() override {
        ClearDictionary();
        EvalTest::TearDown();
    }
};

TEST_F(FieldRefsTest, NumericFieldsAreClass8AndTextFieldsClass9) {
    struct Row {
        const char* text;
        std::uint16_t cls;
    };
    const std::vector<Row> rows = {
        {"codigo{1}", 8}, {"nombre{1}", 9}, {"saldo{1}", 8},    {"fecha{2}", 9},
        {"activo{2}", 8}, {"{2}", 8},       {"2{clientes}", 9}, {"nombre{1}(1)", 25},
    };
    for (const Row& row : rows) {
        const TokenCursor c = NextToken(NewCursor(TextView(row.text)));
        EXPECT_EQ(c.status, 0u) << row.text;
        EXPECT_EQ(c.cls, row.cls) << row.text;
    }
}

TEST_F(FieldRefsTest, ReadingGivesTheEmptyValueOfTheFieldsKind) {
    const std::vector<EvalRow> rows = {
        {"codigo{1}", "0.00"},
        {"nombre{1}", "''"},
        {"nombre{clientes}", "''"},
        {"nombre{CLIENTES}", "''"}, // file names match without regard to case
        {"2{1}", "''"},             // a field by its number
        {"{2}", "0.00"},            // the record as a whole is numeric
        {"codigo{1}+5", "5.00"},
        {"codigo{1}+'5'", "5.00"},      // a numeric field takes a text as a number
        {"'5'+codigo{1}", "error 128"}, // ... only on its left
        {"nombre{1}+'x'", "'x'"},
        {"fecha{pedidos}+'!'", "'!'"},
    };
    for (const EvalRow& row : rows) {
        EXPECT_EQ(Eval(row.expression), row.expected) << "expression: " << row.expression;
    }
}

TEST_F(FieldRefsTest, UnresolvedReferencesFail) {
    const std::vector<EvalRow> rows = {
        {"nada{1}", "error 147"},   {"codigo{31}", "error 161"},
        {"codigo{0}", "error 161"}, {"codigo{facturas}", "error 161"},
        {"9{1}", "error 168"},      {"codigo{}", "error 161"}, // no current file yet
    };
    for (const EvalRow& row : rows) {
        EXPECT_EQ(Eval(row.expression), row.expected) << "expression: " << row.expression;
    }
    IntVarSet(sysvar::kCurFil, 1);
    EXPECT_EQ(Eval("codigo{}"), "0.00");
}

TEST_F(FieldRefsTest, AnUnknownFieldIsLoggedWithItsReference) {
    EXPECT_EQ(Eval("1+nada{1}"), "error 147");
    EXPECT_EQ(Detail(), "Field:nada{1}\r\nnada{1}\r\n1+nada{1}");
    EXPECT_EQ(RecordedError().status, status::kSyntax);
}

TEST_F(FieldRefsTest, WritingGoesToTheDataAccessLayer) {
    EXPECT_EQ(Eval("codigo{1}=5"), "error 148");
    EXPECT_EQ(Detail(), "BufferFldPut\r\ncodigo{1}=5");
    EXPECT_EQ(Eval("nombre{1}='a'"), "error 148");
    EXPECT_EQ(Eval("x=1;nada{1}=5;x=2"), "error 147");
    EXPECT_EQ(Var("x"), "1");
}

} // namespace
} // namespace vodarir::testing
