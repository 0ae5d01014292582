// Attribute forms: which keywords a form offers and how, the value each line starts with, the
// new attribute text a confirmed form makes, and the values that text could not give back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "designer/attribute_form.h"
#include "runtime/text/scratch_stack.h"
#include "script/prompt_spec.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

using Values = std::vector<std::string>;

class AttributeFormTest : public testing::RuntimeTest {
protected:
    void TearDown() override {
        EXPECT_EQ(ScratchDepth(), 0);
        RuntimeTest::TearDown();
    }
};

std::vector<std::string> Keywords(const AttributeFormPlan& plan) {
    std::vector<std::string> out;
    for (const FormLine& l : plan.lines) out.push_back(l.keyword);
    return out;
}

Values Shown(const AttributeFormPlan& plan) {
    Values out;
    for (const FormLine& l : plan.lines) out.push_back(l.shown);
    return out;
}

TEST_F(AttributeFormTest, AKeywordsKindComesFromTheFirstMarkItsNameHolds) {
    struct Row {
        const char* keyword;
        KeywordKind kind;
    };
    const Row rows[] = {
        {"RELOPT%", KeywordKind::Short},     {"SET$", KeywordKind::Long},
        {"IK$(1)", KeywordKind::NotOffered}, {"TOTAL#", KeywordKind::NotOffered},
        {"A@$", KeywordKind::Short},         {"PLAIN", KeywordKind::Short},
        {"X#$", KeywordKind::Long},          {"Y$#", KeywordKind::Long},
    };
    for (const Row& r : rows) EXPECT_EQ(KindOfKeyword(r.keyword), r.kind) << r.keyword;
}

TEST_F(AttributeFormTest, TheScreenTypesOfferTheirKeywordsAndHelpFiles) {
    ASSERT_EQ(ScreenTypes().size(), 4u);
    const AttributeFormPlan report =
        PlanAttributeForm(ScreenTypes()[3].keywords, "", 0, ScreenTypes()[3].helpFile);
    EXPECT_EQ(report.helpFile, "");
    const std::string spec = FormSpecification(report);
    EXPECT_EQ(spec.find("HELP$"), std::string::npos) << "the report form has no help file";
    EXPECT_EQ(report.lines.size(), 9u);
    const AttributeFormPlan basic =
        PlanAttributeForm(ScreenTypes()[0].keywords, "", 0, ScreenTypes()[0].helpFile);
    EXPECT_NE(FormSpecification(basic).find(" /HELP$=\"SCR_MAIN.HLP\""), std::string::npos);
}

TEST_F(AttributeFormTest, EachLineStartsWithTheValueTheRuntimeReads) {
    const std::string text = "SET$='Uno: dos':RELOPT%=2:MODE$=abc:HELP$=\"it's\":OPEN$='a,b'";
    const AttributeFormPlan plan =
        PlanAttributeForm("SET$,RELOPT%,MODE$,HELP$,OPEN$,NONE$,IK$(1)", text, 0, "");
    EXPECT_EQ(Keywords(plan),
              (std::vector<std::string>{"SET$", "RELOPT%", "MODE$", "HELP$", "OPEN$", "NONE$"}));
    EXPECT_EQ(Shown(plan), (Values{"Uno: dos", "2", "ABC", "it's", "a,b", ""}));
    const std::string spec = FormSpecification(plan);
    EXPECT_EQ(PromptItemCount(TextView(spec)), 6);
    EXPECT_EQ(PromptCheck(TextView(spec)), status::kOk);
    EXPECT_NE(spec.find("\"RELOPT%: \":\"A32\"::'2'"), std::string::npos) << spec;
    EXPECT_NE(spec.find("\"HELP$: \":\"A511\"::\"it's\""), std::string::npos) << spec;
}

TEST_F(AttributeFormTest, AFieldFormShowsItemNAndTheFieldsOwnVariable) {
    const std::string text = "FD$='A$,B$,C$,D$,E$':ALARM$=',,C$<>\"\",,':C$$='nota'";
    const AttributeFormPlan plan = PlanAttributeForm(kFieldKeywords, text, 3, kFieldHelpFile);
    ASSERT_GE(plan.lines.size(), 3u);
    EXPECT_EQ(plan.lines[0].keyword, "FD$");
    EXPECT_EQ(plan.lines[0].shown, "C$");
    EXPECT_EQ(plan.lines[1].shown, "C$<>\"\"");
    EXPECT_EQ(plan.lines.back().keyword, "C$$") << "the name of field 3 and a dollar";
    EXPECT_FALSE(plan.lines.back().perField);
    EXPECT_EQ(plan.lines.back().shown, "nota");
    for (const FormLine& l : plan.lines) EXPECT_EQ(l.keyword.find("IK$"), std::string::npos);
}

TEST_F(AttributeFormTest, AFieldKeywordForField3Of5ChangesOnlyItsThirdItem) {
    const std::string text = "FD$='A$,B$,C$,D$,E$':WIDTHS$='1,2,3,4,5':KEYMAP%=1";
    const AttributeFormPlan plan = PlanAttributeForm(kFieldKeywords, text, 3, kFieldHelpFile);
    Values values = Shown(plan);
    values[0] = "CC$";
    for (std::size_t i = 0; i < plan.lines.size(); ++i) {
        if (plan.lines[i].keyword == "WIDTHS$") values[i] = "";
    }
    const FormApplied applied = ApplyFormValues(plan, text, values);
    ASSERT_EQ(applied.refusal, ValueRefusal::None);
    EXPECT_TRUE(applied.changed);
    EXPECT_EQ(applied.attributes, "FD$='A$,B$,CC$,D$,E$':WIDTHS$='1,2,,4,5':KEYMAP%=1");
}

TEST_F(AttributeFormTest, AScreenKeywordIsReplacedAddedRemovedOrLeftAlone) {
    const std::string text = "SET$='x':RELOPT%=1:OPEN$='a'";
    const AttributeFormPlan plan = PlanAttributeForm("SET$,RELOPT%,OPEN$,HELP$", text, 0, "");
    struct Row {
        Values values;
        const char* after;
        bool changed;
    };
    const Row rows[] = {
        {{"x", "1", "a", ""}, "SET$='x':RELOPT%=1:OPEN$='a'", false},
        {{"x   ", "1", "a", ""}, "SET$='x':RELOPT%=1:OPEN$='a'", false},
        {{"y z", "1", "a", ""}, "SET$='y z':RELOPT%=1:OPEN$='a'", true},
        {{"x", "-2.5", "a", ""}, "SET$='x':RELOPT%=-2.5:OPEN$='a'", true},
        {{"x", "1", "", ""}, "SET$='x':RELOPT%=1", true},
        {{"x", "1", "a", "TOPIC"}, "SET$='x':RELOPT%=1:OPEN$='a':HELP$='TOPIC'", true},
        {{"x", "1", "a:b/c d", ""}, "SET$='x':RELOPT%=1:OPEN$='a:b/c d'", true},
    };
    for (const Row& r : rows) {
        const FormApplied applied = ApplyFormValues(plan, text, r.values);
        EXPECT_EQ(applied.refusal, ValueRefusal::None) << r.after;
        EXPECT_EQ(applied.attributes, r.after);
        EXPECT_EQ(applied.changed, r.changed) << r.after;
    }
}

TEST_F(AttributeFormTest, AValueTheFormatCannotHoldIsRefusedAndNothingChanges) {
    const std::string text = "FD$='A$,B$,C$':SET$='x':OTHER$='keep'";
    const AttributeFormPlan screen = PlanAttributeForm("SET$", text, 0, "");
    const AttributeFormPlan field = PlanAttributeForm("FD$", text, 2, "");
    struct Row {
        const AttributeFormPlan* plan;
        std::string value;
        ValueRefusal refusal;
    };
    const Row rows[] = {
        {&screen, "it's", ValueRefusal::Quote},
        {&screen, "two\r\nlines", ValueRefusal::LineBreak},
        {&screen, std::string(505, 'v'), ValueRefusal::TooLong},
        {&field, "X$,Y$", ValueRefusal::Comma},
        {&field, "Q'", ValueRefusal::Quote},
        {&screen, "y OTHER$=lost", ValueRefusal::Other},
    };
    for (const Row& r : rows) {
        const FormApplied applied = ApplyFormValues(*r.plan, text, {r.value});
        EXPECT_EQ(applied.refusal, r.refusal) << r.value.substr(0, 20);
        EXPECT_EQ(applied.attributes, text) << r.value.substr(0, 20);
        EXPECT_FALSE(applied.changed);
    }
    // A double quote inside the single quotes reads back as it was typed.
    const FormApplied quoted = ApplyFormValues(screen, text, {"say \"hi\""});
    EXPECT_EQ(quoted.refusal, ValueRefusal::None);
    EXPECT_EQ(quoted.attributes, "FD$='A$,B$,C$':SET$='say \"hi\"':OTHER$='keep'");
}

TEST_F(AttributeFormTest, ValuesTooLongForTheirLineAreLeftOutOfTheForm) {
    const std::string text = "RELOPT%='" + std::string(40, '1') + "x':SET$='ok'";
    const AttributeFormPlan plan = PlanAttributeForm("RELOPT%,SET$", text, 0, "");
    EXPECT_EQ(Keywords(plan), std::vector<std::string>{"SET$"})
        << "a 32-character line could not show it whole";
}

TEST_F(AttributeFormTest, TheItemsOfATextAreItsFileLinesAndJoinBackToIt) {
    const std::vector<std::string> texts = {"",          "A=1",         "A='x:y':B=2",
                                            "A=1::B=2",  "A=\"p:q\":C", "A='unclosed:B=2",
                                            ":leading:", "A='a''b':C=3"};
    for (const std::string& t : texts) {
        EXPECT_EQ(JoinAttributeItems(AttributeItems(t)), t) << t;
    }
    EXPECT_EQ(AttributeItems("A='x:y':B=2"), (std::vector<std::string>{"A='x:y'", "B=2"}));
}

TEST_F(AttributeFormTest, AnswersAreReadBackOnlyWhenTheyAreUnambiguous) {
    Values values;
    EXPECT_TRUE(ReadAnswers("'a','b,c',\"it's\",''", 4, &values));
    EXPECT_EQ(values, (Values{"a", "b,c", "it's", ""}));
    EXPECT_FALSE(ReadAnswers("'a','b'", 3, &values));
    EXPECT_FALSE(ReadAnswers("\"x'y\"z\",'b'", 2, &values)) << "both kinds of quote";
}

TEST_F(AttributeFormTest, ValuesWithBothQuotesStillStartTheFormAsTheyAre) {
    const std::string text = "HELP$=\"a'b\"";
    AttributeFormPlan plan = PlanAttributeForm("HELP$", text, 0, "");
    plan.lines[0].shown = "x'y\"z";
    const std::string spec = FormSpecification(plan);
    EXPECT_EQ(PromptCheck(TextView(spec)), status::kOk) << spec;
    EXPECT_NE(spec.find("'x'+\"'\"+'y\"z'"), std::string::npos) << spec;
}

} // namespace
} // namespace vodarir
