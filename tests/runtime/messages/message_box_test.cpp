// Message boxes: what each kind shows, how its answers read, and the yes/no questions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messages_fixture.h"
#include "runtime/messages/messages.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir::testing {
namespace {

using namespace literals;
using platform::BoxAnswer;
using platform::BoxButtons;
using platform::BoxIcon;

class MessageBoxTest : public MessagesTest {};

struct KindRow {
    int kind;
    BoxButtons buttons;
    BoxIcon icon;
    std::string caption;
};

TEST_F(MessageBoxTest, EachKindShowsItsButtonsIconAndDefaultCaption) {
    const std::string info = "Solicitud de Informaci\xF3n";
    const std::vector<KindRow> rows = {
        {boxkind::kInformation, BoxButtons::Ok, BoxIcon::Information, info},
        {boxkind::kWarning, BoxButtons::Ok, BoxIcon::Exclamation, "Mensaje Informativo"},
        {boxkind::kOkCancel, BoxButtons::OkCancel, BoxIcon::Information, info},
        {boxkind::kError, BoxButtons::Ok, BoxIcon::Stop, "Alerta de Mensaje Fatal"},
        {boxkind::kRetryCancel, BoxButtons::RetryCancel, BoxIcon::Stop, "Mensaje Informativo"},
        {boxkind::kYesNo, BoxButtons::YesNo, BoxIcon::Information, info},
        {boxkind::kYesNoCancel, BoxButtons::YesNoCancel, BoxIcon::Information, info},
        {7, BoxButtons::Ok, BoxIcon::None, info},
        {-1, BoxButtons::Ok, BoxIcon::None, info},
    };
    for (const KindRow& row : rows) {
        ui.queueBoxAnswer(BoxAnswer::Ok);
        MsgBox("text"_t, ""_t, row.kind);
        ASSERT_FALSE(ui.shownBoxes().empty());
        const platform::ShownBox& box = ui.shownBoxes().back();
        EXPECT_EQ(box.buttons, row.buttons) << "kind " << row.kind;
        EXPECT_EQ(box.icon, row.icon) << "kind " << row.kind;
        EXPECT_EQ(box.caption, row.caption) << "kind " << row.kind;
        EXPECT_EQ(box.text, "text") << "kind " << row.kind;
    }
}

TEST_F(MessageBoxTest, AGivenCaptionReplacesTheDefault) {
    MsgBox("text"_t, "Mine"_t, boxkind::kError);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].caption, "Mine");
}

struct AnswerRow {
    int kind;
    BoxAnswer answer;
    int expected;
};

TEST_F(MessageBoxTest, AnswersInTheLanguagesLetters) {
    const std::vector<AnswerRow> rows = {
        {boxkind::kYesNo, BoxAnswer::No, 'N'},
        {boxkind::kYesNo, BoxAnswer::Yes, 'S'},
        {boxkind::kYesNoCancel, BoxAnswer::Cancel, kBoxCancelled},
        {boxkind::kYesNoCancel, BoxAnswer::No, 'N'},
        {boxkind::kInformation, BoxAnswer::Ok, 'S'},
        {boxkind::kRetryCancel, BoxAnswer::Retry, 'S'},
        {boxkind::kRetryCancel, BoxAnswer::Cancel, kBoxCancelled},
        {boxkind::kOkCancel, BoxAnswer::Abort, kBoxCancelled},
        {boxkind::kOkCancel, BoxAnswer::Ignore, kBoxCancelled},
        {boxkind::kYesNo, BoxAnswer::Failed, kBoxFailed},
    };
    for (const AnswerRow& row : rows) {
        ui.queueBoxAnswer(row.answer);
        EXPECT_EQ(MsgBox("question"_t, ""_t, row.kind), row.expected)
            << "kind " << row.kind << " answer " << static_cast<int>(row.answer);
    }
}

TEST_F(MessageBoxTest, ALanguageFileChangesTheAnswerLetters) {
    LoadLines({"0011 Yy,Nn", "0014 Question"});
    ui.queueBoxAnswer(BoxAnswer::Yes);
    EXPECT_EQ(MsgBox("q"_t, ""_t, boxkind::kYesNo), 'Y');
    ui.queueBoxAnswer(BoxAnswer::No);
    EXPECT_EQ(MsgBox("q"_t, ""_t, boxkind::kYesNo), 'N');
    EXPECT_EQ(ui.shownBoxes().back().caption, "Question");
}

TEST_F(MessageBoxTest, UnusableAnswerLettersFallBackToTheBuiltInOnes) {
    // Empty letters, or the same letter for both, would make a No read as a Yes.
    for (const char* letters : {"0011 ", "0011 Ss,Ss", "0011 Yy", "0011 ,Nn"}) {
        MsgCatalogReset();
        LoadLines({letters});
        ui.queueBoxAnswer(BoxAnswer::No);
        EXPECT_FALSE(AskYesNo("q"_t)) << letters;
        ui.queueBoxAnswer(BoxAnswer::Yes);
        EXPECT_TRUE(AskYesNo("q"_t)) << letters;
        ui.queueBoxAnswer(BoxAnswer::No);
        EXPECT_EQ(MsgBox("q"_t, ""_t, boxkind::kYesNo), 'N') << letters;
    }
}

TEST_F(MessageBoxTest, WithoutAFaceTheBoxFails) {
    platform::SetUi(nullptr);
    EXPECT_EQ(MsgBox("q"_t, ""_t, boxkind::kYesNo), kBoxFailed);
    EXPECT_FALSE(AskYesNo("q"_t));
}

TEST_F(MessageBoxTest, LeavesTheScratchStackAsItFoundIt) {
    LoadLines({"0011 Yy,Nn", "0014 Question"});
    const ScratchLevel depth = ScratchDepth();
    ui.queueBoxAnswer(BoxAnswer::Yes);
    MsgBox("q"_t, ""_t, boxkind::kYesNo);
    ui.queueBoxAnswer(BoxAnswer::Yes);
    AskYesNo("q"_t);
    IsYesAnswer("y"_t);
    EXPECT_EQ(ScratchDepth(), depth);
}

TEST_F(MessageBoxTest, MsgInfoShowsAnInformationBoxWithTheCaption) {
    MsgInfo("Acerca de"_t, "Vodarir"_t);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].caption, "Acerca de");
    EXPECT_EQ(ui.shownBoxes()[0].text, "Vodarir");
    EXPECT_EQ(ui.shownBoxes()[0].icon, BoxIcon::Information);
    EXPECT_EQ(ui.shownBoxes()[0].buttons, BoxButtons::Ok);
}

TEST_F(MessageBoxTest, MsgOutcome) {
    MsgOutcome(true, ""_t);
    MsgOutcome(true, "Saved"_t);
    MsgOutcome(false, "Broken"_t);
    ASSERT_EQ(ui.shownBoxes().size(), 3u);
    EXPECT_EQ(ui.shownBoxes()[0].text, "Proceso Completado Satisfactoriamente");
    EXPECT_EQ(ui.shownBoxes()[0].icon, BoxIcon::Exclamation);
    EXPECT_EQ(ui.shownBoxes()[1].text, "Saved");
    EXPECT_EQ(ui.shownBoxes()[1].icon, BoxIcon::Exclamation);
    EXPECT_EQ(ui.shownBoxes()[2].text, "Broken");
    EXPECT_EQ(ui.shownBoxes()[2].icon, BoxIcon::Stop);
    EXPECT_EQ(ui.shownBoxes()[2].caption, "Alerta de Mensaje Fatal");
}

TEST_F(MessageBoxTest, StatusReportPicksTheBoxByTheStatus) {
    StatusReport(5);
    StatusReport(status::kOutOfMemory);
    ASSERT_EQ(ui.shownBoxes().size(), 2u);
    EXPECT_EQ(ui.shownBoxes()[0].text, "Precauci\xF3n ");
    EXPECT_EQ(ui.shownBoxes()[0].caption, "Mensaje Informativo");
    EXPECT_EQ(ui.shownBoxes()[0].icon, BoxIcon::Exclamation);
    EXPECT_EQ(ui.shownBoxes()[1].text, "Error OUTOFMEMORY");
    EXPECT_EQ(ui.shownBoxes()[1].caption, "Alerta de Mensaje Fatal");
    EXPECT_EQ(ui.shownBoxes()[1].icon, BoxIcon::Stop);
}

TEST_F(MessageBoxTest, AskYesNo) {
    ui.queueBoxAnswer(BoxAnswer::Yes);
    EXPECT_TRUE(AskYesNo("Posible perdida de datos. Por favor confirmar"_t));
    ui.queueBoxAnswer(BoxAnswer::No);
    EXPECT_FALSE(AskYesNo("again"_t));
    ASSERT_EQ(ui.shownBoxes().size(), 2u);
    EXPECT_EQ(ui.shownBoxes()[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(ui.shownBoxes()[0].caption, "Solicitud de Informaci\xF3n");
}

struct YesRow {
    const char* text;
    bool yes;
};

TEST_F(MessageBoxTest, IsYesAnswerInSpanish) {
    const std::vector<YesRow> rows = {
        {"S", true},   {"s", true}, {"  si ", true}, {"SI", true},   {"N", false},
        {"no", false}, {"", false}, {"   ", false},  {"Yes", false}, {"1", false},
    };
    for (const YesRow& row : rows) EXPECT_EQ(IsYesAnswer(TextView(row.text)), row.yes) << row.text;
}

TEST_F(MessageBoxTest, IsYesAnswerFollowsTheLanguageFile) {
    LoadLines({"0011 Jj,Nn"});
    EXPECT_TRUE(IsYesAnswer("ja"_t));
    EXPECT_TRUE(IsYesAnswer("J"_t));
    EXPECT_FALSE(IsYesAnswer("si"_t));
    EXPECT_FALSE(IsYesAnswer("nein"_t));
}

} // namespace
} // namespace vodarir::testing
