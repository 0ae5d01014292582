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
    BoxKind kind;
    BoxButtons buttons;
    BoxIcon icon;
    std::string caption;
};

TEST_F(MessageBoxTest, EachKindShowsItsButtonsIconAndDefaultCaption) {
    const std::string info = "Solicitud de Informaci\xF3n";
    const std::vector<KindRow> rows = {
        {BoxKind::Information, BoxButtons::Ok, BoxIcon::Information, info},
        {BoxKind::Warning, BoxButtons::Ok, BoxIcon::Exclamation, "Mensaje Informativo"},
        {BoxKind::OkCancel, BoxButtons::OkCancel, BoxIcon::Information, info},
        {BoxKind::Error, BoxButtons::Ok, BoxIcon::Stop, "Alerta de Mensaje Fatal"},
        {BoxKind::RetryCancel, BoxButtons::RetryCancel, BoxIcon::Stop, "Mensaje Informativo"},
        {BoxKind::YesNo, BoxButtons::YesNo, BoxIcon::Information, info},
        {BoxKind::YesNoCancel, BoxButtons::YesNoCancel, BoxIcon::Information, info},
        {static_cast<BoxKind>(7), BoxButtons::Ok, BoxIcon::None, info}, // numbers beyond the kinds
        {static_cast<BoxKind>(-1), BoxButtons::Ok, BoxIcon::None, info},
    };
    for (const KindRow& row : rows) {
        ui.queueBoxAnswer(BoxAnswer::Ok);
        MsgBox("text"_t, ""_t, row.kind);
        ASSERT_FALSE(ui.shownBoxes().empty());
        const platform::ShownBox& box = ui.shownBoxes().back();
        EXPECT_EQ(box.buttons, row.buttons) << "kind " << static_cast<int>(row.kind);
        EXPECT_EQ(box.icon, row.icon) << "kind " << static_cast<int>(row.kind);
        EXPECT_EQ(box.caption, row.caption) << "kind " << static_cast<int>(row.kind);
        EXPECT_EQ(box.text, "text") << "kind " << static_cast<int>(row.kind);
    }
}

TEST_F(MessageBoxTest, AGivenCaptionReplacesTheDefault) {
    MsgBox("text"_t, "Mine"_t, BoxKind::Error);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].caption, "Mine");
}

struct AnswerRow {
    BoxKind kind;
    BoxAnswer answer;
    int expected;
};

TEST_F(MessageBoxTest, AnswersInTheLanguagesLetters) {
    const std::vector<AnswerRow> rows = {
        {BoxKind::YesNo, BoxAnswer::No, 'N'},
        {BoxKind::YesNo, BoxAnswer::Yes, 'S'},
        {BoxKind::YesNoCancel, BoxAnswer::Cancel, kBoxCancelled},
        {BoxKind::YesNoCancel, BoxAnswer::No, 'N'},
        {BoxKind::Information, BoxAnswer::Ok, 'S'},
        {BoxKind::RetryCancel, BoxAnswer::Retry, 'S'},
        {BoxKind::RetryCancel, BoxAnswer::Cancel, kBoxCancelled},
        {BoxKind::OkCancel, BoxAnswer::Abort, kBoxCancelled},
        {BoxKind::OkCancel, BoxAnswer::Ignore, kBoxCancelled},
        {BoxKind::YesNo, BoxAnswer::Failed, kBoxFailed},
    };
    for (const AnswerRow& row : rows) {
        ui.queueBoxAnswer(row.answer);
        EXPECT_EQ(MsgBox("question"_t, ""_t, row.kind), row.expected)
            << "kind " << static_cast<int>(row.kind) << " answer " << static_cast<int>(row.answer);
    }
}

TEST_F(MessageBoxTest, ALanguageFileChangesTheAnswerLetters) {
    LoadLines({"0011 Yy,Nn", "0014 Question"});
    ui.queueBoxAnswer(BoxAnswer::Yes);
    EXPECT_EQ(MsgBox("q"_t, ""_t, BoxKind::YesNo), 'Y');
    ui.queueBoxAnswer(BoxAnswer::No);
    EXPECT_EQ(MsgBox("q"_t, ""_t, BoxKind::YesNo), 'N');
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
        EXPECT_EQ(MsgBox("q"_t, ""_t, BoxKind::YesNo), 'N') << letters;
    }
}

TEST_F(MessageBoxTest, WithoutAFaceTheBoxFails) {
    platform::SetUi(nullptr);
    EXPECT_EQ(MsgBox("q"_t, ""_t, BoxKind::YesNo), kBoxFailed);
    EXPECT_FALSE(AskYesNo("q"_t));
}

TEST_F(MessageBoxTest, LeavesTheScratchStackAsItFoundIt) {
    LoadLines({"0011 Yy,Nn", "0014 Question"});
    const ScratchLevel depth = ScratchDepth();
    ui.queueBoxAnswer(BoxAnswer::Yes);
    MsgBox("q"_t, ""_t, BoxKind::YesNo);
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
