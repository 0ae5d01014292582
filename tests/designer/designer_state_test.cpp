// The designer's working record: the extension table, the modified marks and the discard question
// asked at most once per command.
#include <gtest/gtest.h>

#include <functional>

#include "designer/designer_state.h"
#include "designer_fixture.h"

namespace vodarir::testing {
namespace {

using platform::BoxAnswer;

class DesignerStateTest : public DesignerTest {};

TEST_F(DesignerStateTest, ExtensionsAreLookedUpWithoutRegardToCase) {
    struct Row {
        const char* extension;
        std::uint16_t number;
    };
    const Row rows[] = {{"PPN", 1}, {"pan", 2},  {"DAT", 4},  {"dat", 4}, {"Pdc", 6}, {"PRX", 7},
                        {"zaa", 8}, {"TXT", 11}, {"HLP", 13}, {"", 0},    {"XYZ", 0}, {"PD", 0}};
    for (const Row& row : rows) {
        EXPECT_EQ(ExtensionNumber(TextView(row.extension)), row.number) << row.extension;
    }
    EXPECT_EQ(Str(ExtensionText(5)), "DAT");
    EXPECT_EQ(Str(ExtensionText(8)), "ZAA");
    EXPECT_EQ(Str(ExtensionText(0)), "");
    EXPECT_EQ(Str(ExtensionText(14)), "");
}

TEST_F(DesignerStateTest, EachKindHasItsOwnSlotAndOthersNone) {
    const SlotIndex expected[] = {0, 1, 2, 5, 7, 9, 0, 0};
    for (unsigned number = 0; number < 8; ++number) {
        EXPECT_EQ(KindSlot(static_cast<EditorKind>(number)), expected[number]) << "kind " << number;
    }
}

TEST_F(DesignerStateTest, MarksBelongToTheCurrentKind) {
    Designer().currentKind = editorkind::kDocument;
    EXPECT_FALSE(MarkModified(markop::kQuery));
    EXPECT_TRUE(MarkModified(markop::kMark));
    EXPECT_EQ(Designer().modifiedMask, 1u << 2);
    EXPECT_EQ(Designer().modifiedFlag, 1);
    Designer().currentKind = editorkind::kScript;
    EXPECT_FALSE(MarkModified(markop::kQuery)) << "the document's mark is not the script's";
    MarkModified(markop::kMark);
    EXPECT_EQ(Designer().modifiedMask, (1u << 2) | (1u << 3));
    MarkModified(markop::kClear);
    EXPECT_EQ(Designer().modifiedMask, 1u << 2);
    EXPECT_TRUE(KindModified(editorkind::kDocument));
    EXPECT_EQ(Designer().modifiedFlag, 1) << "clearing a kind leaves the flag";
    MarkModified(markop::kClearFlag);
    EXPECT_EQ(Designer().modifiedFlag, 0);
    EXPECT_EQ(Designer().modifiedMask, 1u << 2) << "clearing the flag leaves the kinds";
}

TEST_F(DesignerStateTest, NothingModifiedNeedsNoQuestion) {
    Designer().currentKind = editorkind::kScript;
    EXPECT_EQ(ConfirmDiscard(Discard::NotAsked), Discard::Yes);
    EXPECT_TRUE(ui.shownBoxes().empty());
}

TEST_F(DesignerStateTest, TheQuestionIsAskedOnceAndItsAnswerPassedOn) {
    Designer().currentKind = editorkind::kScript;
    MarkModified(markop::kMark);
    ui.queueBoxAnswer(BoxAnswer::No);
    Discard answer = ConfirmDiscard(Discard::NotAsked);
    EXPECT_EQ(answer, Discard::No);
    answer = ConfirmDiscard(answer);
    EXPECT_EQ(answer, Discard::No);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].text, "Posible perdida de datos. Por favor confirmar");
    EXPECT_EQ(ui.shownBoxes()[0].buttons, platform::BoxButtons::YesNo);
    ui.queueBoxAnswer(BoxAnswer::Yes);
    EXPECT_EQ(ConfirmDiscard(Discard::NotAsked), Discard::Yes);
    EXPECT_EQ(ConfirmDiscard(Discard::Yes), Discard::Yes);
    EXPECT_EQ(ui.shownBoxes().size(), 2u);
}

TEST_F(DesignerStateTest, ParkedTextsAreKeptPerKindAndClearedWithTheRecord) {
    SetParkedText(editorkind::kDocument, "doc");
    SetParkedText(editorkind::kScript, std::string(70000, 'x'));
    SetParkedText(editorkind::kScreen, "ignored");
    EXPECT_EQ(ParkedText(editorkind::kDocument), "doc");
    EXPECT_EQ(ParkedText(editorkind::kScript).size(), 70000u);
    EXPECT_EQ(ParkedText(editorkind::kScreen), "");
    Designer().modifiedMask = 5;
    DesignerStateClear();
    EXPECT_EQ(ParkedText(editorkind::kDocument), "");
    EXPECT_EQ(Designer().modifiedMask, 0);
}

TEST_F(DesignerStateTest, TheInvariantsCatchABrokenRecord) {
    std::string why;
    EXPECT_TRUE(CheckInvariants(Designer(), &why)) << why;
    Designer().currentKind = editorkind::kScript;
    Designer().builtKind = editorkind::kScript;
    MarkModified(markop::kMark);
    Designer().screenCount = 2;
    Designer().screenNumber = 2;
    Designer().documentLinesNotKept = {3, 7};
    ASSERT_TRUE(CheckInvariants(Designer(), &why)) << why;
    struct Row {
        const char* broken;
        std::function<void(DesignerState&)> breakIt;
    };
    const Row rows[] = {
        {"built kind", [](DesignerState& s) { s.builtKind = static_cast<EditorKind>(6); }},
        {"current kind", [](DesignerState& s) { s.currentKind = static_cast<EditorKind>(40); }},
        {"modified mask", [](DesignerState& s) { s.modifiedMask |= 1u << 5; }},
        {"modified flag", [](DesignerState& s) { s.modifiedFlag = 2; }},
        {"screen 3 of 2", [](DesignerState& s) { s.screenNumber = 3; }},
        {"document line 3",
         [](DesignerState& s) {
             s.documentLinesNotKept = {7, 3};
         }},
        {"document line 0", [](DesignerState& s) { s.documentLinesNotKept = {0}; }},
    };
    for (const Row& row : rows) {
        DesignerState state = Designer();
        row.breakIt(state);
        why.clear();
        EXPECT_FALSE(CheckInvariants(state, &why)) << row.broken;
        EXPECT_NE(why.find(row.broken), std::string::npos) << why;
    }
}

} // namespace
} // namespace vodarir::testing
