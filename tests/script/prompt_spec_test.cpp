// Prompt specifications: normalising, parts, position options, labels, specifications made from
// names, answers and their memory, and the shape check.
#include <gtest/gtest.h>

#include <string>

#include "eval_fixture.h"
#include "runtime/text/text_ops.h"
#include "script/prompt_spec.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::Str;

class PromptSpecTest : public testing::EvalTest {};

TEST_F(PromptSpecTest, SemicolonsSeparatePartsOnlyWhenNoColonIsOutsideQuotes) {
    const struct {
        const char* spec;
        const char* normal;
    } rows[] = {
        {"'Nombre:';'A20';X;'abc'", "'Nombre:':'A20':X:'abc'"},
        {"'a:b';'A5'", "'a:b':'A5'"}, // the colon is inside the literal
        {"'a;b':'A5'", "'a;b':'A5'"}, // a colon outside: left as it is
        {"'a';'A5':X", "'a';'A5':X"},
        {"\"x;y\";'A5'", "\"x;y\":'A5'"}, // quoted semicolons stay
        {"'Nombre'", "'Nombre'"},
        {"", ""},
    };
    for (const auto& r : rows) {
        ScratchScope scope;
        EXPECT_EQ(Str(NormalizePrompt(TextView(r.spec))), r.normal) << r.spec;
    }
}

TEST_F(PromptSpecTest, PartsOfItemsAreFoundOutsideQuotes) {
    constexpr TextRef spec =
        "'Servidor:':'A30'::'local','Usuario, nombre:':'A30':USR$:'':X$,'Recordar (S/N):':'L1'"_t;
    const struct {
        std::uint16_t item;
        PromptPartKind part;
        const char* text;
    } rows[] = {
        {1, PromptPartKind::Label, "'Servidor:'"},
        {1, PromptPartKind::TypeWidth, "'A30'"},
        {1, PromptPartKind::Target, ""},
        {1, PromptPartKind::Default, "'local'"},
        {2, PromptPartKind::Label, "'Usuario, nombre:'"},
        {2, PromptPartKind::Target, "USR$"},
        {2, PromptPartKind::Assignment, "X$"},
        {3, PromptPartKind::TypeWidth, "'L1'"},
        {3, PromptPartKind::Default, ""},
        {4, PromptPartKind::Label, ""},
        {0, PromptPartKind::Label, ""},
    };
    EXPECT_EQ(PromptItemCount(spec), 3);
    for (const auto& r : rows) {
        EXPECT_EQ(Str(PromptPart(spec, r.item, r.part)), r.text)
            << "item " << r.item << " part " << static_cast<int>(r.part);
    }
}

TEST_F(PromptSpecTest, PositionOptionsComeOffTheirPart) {
    const struct {
        const char* text;
        const char* value;
        std::uint16_t row, column;
    } rows[] = {
        {"'x' /ROW 3 /COL 10", "'x'", 3, 10},
        {"'x' /col 7", "'x'", 0, 7},
        {"'x' /COL 10 /ROW 2", "'x'", 2, 10},
        {"'a /ROW 5'", "'a /ROW 5'", 0, 0}, // inside a literal
        {"'x' /ROW", "'x'", 0, 0},          // no number
        {"'x' /ROW 99999", "'x'", 0, 0},    // beyond the limit
        {"'x' /ROWS 4", "'x'", 0, 0},       // "S" is no digit
        {"", "", 0, 0},
    };
    for (const auto& r : rows) {
        const PromptPosition p = SplitPosition(TextView(r.text));
        EXPECT_EQ(Str(p.value), r.value) << r.text;
        EXPECT_EQ(p.row, r.row) << r.text;
        EXPECT_EQ(p.column, r.column) << r.text;
    }
    // The example default evaluates to x.
    ScratchScope scope;
    EXPECT_EQ(Str(EvalText(SplitPosition("'x' /ROW 3 /COL 10"_t).value)), "x");
}

TEST_F(PromptSpecTest, LabelsAreEvaluatedWhenTheyAreTexts) {
    ASSERT_EQ(VarAssign("N$"_t, "Cliente"_t), status::kOk);
    const struct {
        const char* spec;
        const char* label;
    } rows[] = {
        {"'Servidor:':'A30'", "Servidor:"},
        {"N$+':':'A30'", "Cliente:"},
        {"'Nueva Aplicacion:' /HELP$=x:'A30'", "Nueva Aplicacion:"},
        {"Total:'N5'", "Total"}, // a name, not a text: as written
        {"'Nombre' /ROW 4:'A5'", "Nombre"},
    };
    for (const auto& r : rows) {
        ScratchScope scope;
        EXPECT_EQ(Str(PromptLabel(TextView(r.spec), 1)), r.label) << r.spec;
    }
}

TEST_F(PromptSpecTest, SpecificationsFromNamesKeepIntegersAndTexts) {
    ScratchScope scope;
    EXPECT_EQ(Str(PromptFromNames("A$,B#,C"_t, true, 0)),
              "\"A$: \":\"A511\":A$:[A$],\"C: \":\"A32\":C:[C]");
    EXPECT_EQ(Str(PromptFromNames("MODE%,X(1),@R"_t, false, 3)),
              "\"MODE%: \":\"A32\"::FN$PARM([MODE];3),\"@R: \":\"A32\"::FN$PARM([@R];3)");
    EXPECT_EQ(Str(PromptFromNames("B#,T(2)"_t, true, 0)), "");
    EXPECT_EQ(PromptItemCount(PromptFromNames("A$,B#,C"_t, true, 0)), 2);
}

TEST_F(PromptSpecTest, AnswersAreReadWithoutQuotesAndForgottenForAnotherSpecification) {
    ASSERT_EQ(RememberPrompt("'a':'A1','b':'A1'"_t), status::kOk);
    ASSERT_EQ(SlotSet(kAnswerGroup, kAnswersSlot, "'x','y'"_t), status::kOk);
    {
        ScratchScope scope;
        EXPECT_EQ(Str(Answer(2)), "y");
        EXPECT_EQ(Str(Answer(1)), "x");
        EXPECT_EQ(Str(Answer(3)), "");
        EXPECT_EQ(Str(Answer(0)), "");
        EXPECT_EQ(Str(EvalText("_ACCEPT$(2)"_t)), "y");
    }
    ASSERT_EQ(RememberPrompt("'a':'A1','b':'A1'"_t), status::kOk);
    EXPECT_EQ(Str(SlotGet(kAnswerGroup, kAnswersSlot)), "'x','y'") << "the same: kept";
    ASSERT_EQ(RememberPrompt("'c':'A1'"_t), status::kOk);
    EXPECT_EQ(Str(SlotGet(kAnswerGroup, kAnswersSlot)), "") << "another: forgotten";
    EXPECT_EQ(Str(SlotGet(kAnswerGroup, kAnswerSpecSlot)), "'c':'A1'");
}

TEST_F(PromptSpecTest, MalformedSpecificationsAreRefusedWith163) {
    const struct {
        const char* spec;
        StatusCode status;
    } rows[] = {
        {"'Servidor:':'A30'::'local','Recordar (S/N):':'L1'", 0},
        {"'Clave:':'P30'", 0},
        {"'x':'a5'", 0},                       // the letter in either case
        {"'Servidor:':'A30", status::kData},   // a quote that does not close
        {"'Servidor:'", status::kData},        // no type and width
        {"'x':'A0'", status::kData},           // width 0
        {"'x':'A512'", status::kData},         // too wide
        {"'x':'Q5'", status::kData},           // no such type
        {"'x':'A5x'", status::kData},          // no width
        {"'x':'A5',,'y':'A5'", status::kData}, // an empty item
        {"", status::kData},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(PromptCheck(TextView(r.spec)), r.status) << r.spec;
    }
    std::string many;
    for (int i = 0; i <= kMaxPromptItems; ++i) many += (i ? "," : "") + std::string("'x':'A1'");
    EXPECT_EQ(PromptCheck(TextView(many)), status::kData) << "81 items";
}

} // namespace
} // namespace vodarir
