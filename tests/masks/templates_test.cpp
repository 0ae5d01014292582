// Bracket templates with every flag, the item mark, and the condition builders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "masks_fixture.h"
#include "runtime/store/slot_store.h"
#include "runtime/store/variables.h"
#include "script/templates.h"
#include "support/temp_folder.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class TemplatesTest : public MasksTest {
protected:
    static std::string Expand(const std::string& text, int flags, const std::string& names = "") {
        return Run([&] { return ExpandTemplate(TextView(text), flags, TextView(names)); });
    }
};

struct TemplateRow {
    const char* text;
    int flags;
    const char* names;
    const char* expected;
};

TEST_F(TemplatesTest, BracketsAreReplacedByTheirValues) {
    const std::vector<TemplateRow> rows = {
        {"a[1+2]b", 0, "", "a3b"},
        {"no brackets", 0, "", "no brackets"},
        {"[1][2]", 0, "", "12"},
        {"[1.50]", 0, "", "1.5"},   // a number in its shortest form
        {"[0]", 0, "", "0"},        // zero shows "0" ...
        {"[0]", 16, "", ""},        // ... unless asked for nothing
        {"['x'+'y']", 0, "", "xy"}, // a text as it is
        {"['']", 0, "", ""},        // an empty text is no zero
        {"[' a ']", 0, "", "a"},    // trimmed ...
        {"[' a ']", 2, "", " a "},  // ... unless blanks are kept
        {"[5]", 32, "", "'5'"},
        {"[5]", 32 | 64, "", "\"5\""},
        {"[' a ']", 32, "", "'a'"}, // trimmed before it is enclosed
        {"[[1+1]*3]", 0, "", "6"},  // the inner pair first, then the outer one
        {"<[2*[1+1]]>", 0, "", "<4>"},
        {"'[1]' [2]", 0, "", "'[1]' 2"}, // quoted brackets are text ...
        {"'[1]' [2]", 1, "", "'1' 2"},   // ... unless the search ignores quotes
        {"a]b[1]", 0, "", "a]b[1]"},     // a "]" with no "[" before it ends the work
        {"[1]]", 0, "", "1]"},
        {"x[", 0, "", "x["},
    };
    for (const TemplateRow& r : rows) {
        EXPECT_EQ(Expand(r.text, r.flags, r.names), r.expected) << r.text << " flags " << r.flags;
    }
}

TEST_F(TemplatesTest, AssignmentsInsideBracketsTakeEffect) {
    EXPECT_EQ(Expand("[X=4][X*2]", 0), "48");
    EXPECT_EQ(IntVarGet(VarLocate("X"_t).number), 4);
}

TEST_F(TemplatesTest, NamesOptionsAndEnvironmentComeFirstWithTheLookUpFlag) {
    ASSERT_EQ(SlotSet(slotgroup::kEnvironment, 1, "prog /OUTPUT=out.txt /X=9"_t), status::kOk);
    ScopedEnv env("VODARIR_TEMPLATE_TEST", "from env");
    ScopedEnv empty("VODARIR_TEMPLATE_EMPTY", "");
    const std::vector<TemplateRow> rows = {
        {"[A]-[B]", 4, "A=1,B:'x y'", "1-x y"},
        {"[N]", 4, "N=abc", "ABC"},     // a bare value is cleaned to upper case
        {"[N]", 4, "N='abc'", "abc"},   // a quoted one keeps its case
        {"[ N ]", 4, "N=1", "0"},       // keys match as written: " N " is evaluated
        {"[K]", 4, "K='[1]'", "[1]"},   // a value is not expanded again
        {"[OUTPUT]", 4, "", "out.txt"}, // a command-line option ...
        {"[output]", 4, "", "out.txt"}, // ... in the other letter case too
        {"[X]", 4, "X=names", "NAMES"}, // names before options
        {"[VODARIR_TEMPLATE_TEST]", 4, "", "from env"},
        {"[1+1]", 4, "", "2"}, // nothing known by that name: evaluated
        {"[0]", kNamedTemplateFlags, "", ""},
        {"[X]", 0, "X=names", "0"},               // without the flag names are not looked at
        {"[VODARIR_TEMPLATE_EMPTY]", 4, "", "0"}, // an empty environment value is no value
    };
    for (const TemplateRow& r : rows) {
        EXPECT_EQ(Expand(r.text, r.flags, r.names), r.expected)
            << r.text << " flags " << r.flags << " names " << r.names;
    }
}

TEST_F(TemplatesTest, AFailingBracketStopsTheExpansionWithItsStatus) {
    EXPECT_EQ(Expand("a['a'-'b']b", 0), "error 147");
    EXPECT_EQ(Expand("[1+'a'][2]", 0), "error 128");
    // The first bracket's assignment happened; the failure came after it.
    EXPECT_EQ(Expand("[Y=5]['a'-'b']", 0), "error 147");
    EXPECT_EQ(IntVarGet(VarLocate("Y"_t).number), 5);
}

TEST_F(TemplatesTest, AResultBeyondTheTextLimitIsRefused) {
    const std::string names = "K='" + std::string(40000, 'k') + "'";
    EXPECT_EQ(Expand("[K]", 4, names).size(), 40000u);
    EXPECT_EQ(Expand("[K][K]", 4, names), "error 146");
}

TEST_F(TemplatesTest, ReplaceItemMarkReplacesEveryMark) {
    EXPECT_EQ(Run([] { return ReplaceItemMark("a[$]b[$]"_t, "X"_t); }), "aXbX");
    EXPECT_EQ(Run([] { return ReplaceItemMark("'[$]'"_t, "1"_t); }), "'1'");
    EXPECT_EQ(Run([] { return ReplaceItemMark("[$ ]"_t, "1"_t); }), "[$ ]");
}

struct CompareRow {
    const char* field;
    CompareOp op;
    const char* value;
    char type;
    const char* expected;
};

TEST_F(TemplatesTest, ComparisonTexts) {
    const std::vector<CompareRow> rows = {
        {"NAME", CompareOp::Equal, "Ana", 'A', "NAME=='Ana'"},
        {"AGE", CompareOp::GreaterOrEqual, "18", 'N', "AGE>=18"},
        {"PRICE", CompareOp::Less, "9.5", '2', "PRICE<9.5"},
        {"OK", CompareOp::NotEqual, "1", 'L', "OK<>1"},
        {"D", CompareOp::Greater, "20240101", 'D', "D>'20240101'"},
        {"X", static_cast<CompareOp>(9), "1", 'N', "X<>1"}, // a number beyond the operators
        {"X", CompareOp::None, "1", 'N', "X==1"},
        {"X", CompareOp::LessOrEqual, "", 'A', ""},
    };
    for (const CompareRow& r : rows) {
        EXPECT_EQ(Run([&] {
                      return ConditionCompare(TextView(r.field), r.op, TextView(r.value), r.type);
                  }),
                  r.expected)
            << r.field << " " << static_cast<int>(r.op) << " " << r.value;
    }
    EXPECT_EQ(Run([] { return ConditionAppend(""_t, "A==1"_t); }), "A==1");
    EXPECT_EQ(Run([] { return ConditionAppend("A==1"_t, ""_t); }), "A==1");
    EXPECT_EQ(Run([] { return ConditionAppend("A==1"_t, "B==2"_t); }), "A==1&&B==2");
}

struct RangeRow {
    const char* fields;
    const char* from;
    const char* to;
    const char* expected;
};

TEST_F(TemplatesTest, KeyRangeConditions) {
    const std::vector<RangeRow> rows = {
        {"A,B", "1", "5", "(A>=1&&A<=5)||(B>=1&&B<=5)"},
        {"A", "5", "1", "A==5"},           // from not below to: one value
        {"A", "2", "10", "(A>=2&&A<=10)"}, // numbers compare as numbers
        {"A", "'b'", "'a'", "A=='b'"},     // texts byte by byte
        {"A", "'a'", "'b'", "(A>='a'&&A<='b')"},
        {"A", "x", "", "A==x"},
        {"A, ,B", "1", "", "A==1||B==1"},
        {"A", "", "5", ""},
        {"", "1", "5", ""},
    };
    for (const RangeRow& r : rows) {
        EXPECT_EQ(Run([&] {
                      return KeyRangeCondition(TextView(r.fields), TextView(r.from),
                                               TextView(r.to));
                  }),
                  r.expected)
            << r.fields << " from " << r.from << " to " << r.to;
    }
}

} // namespace
} // namespace vodarir::testing
