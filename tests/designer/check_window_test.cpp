// The designer's check window: the rows and the line under the list, the place each kind of
// problem opens at, the window's answers (Open, a double click, Close), and a script and a
// document opened with the caret at the problem's line.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "designer/check_window.h"
#include "designer/editor_dispatch.h"
#include "designer_fixture.h"

namespace vodarir {
namespace {

namespace act = platform::act;
using testing::DesignerTest;

CheckProblem Problem(std::string file, CheckPlace place, Severity severity = Severity::Error) {
    return CheckProblem{severity, std::move(file), std::move(place), "code", "A sentence."};
}

CheckReport TwoProblems() {
    CheckReport report;
    report.problems = {Problem("ALPANT.PAN", {PlaceKind::ScreenField, 2, 5, {}}),
                       Problem("ALTOTAL.PRX", {PlaceKind::Line, 3, 0, {}}, Severity::Warning)};
    report.errors = 1;
    report.warnings = 1;
    report.filesRead = 4;
    report.screens = 2;
    return report;
}

TEST(CheckPlanTest, EachProblemOpensItsDefinitionAtItsPlace) {
    struct Row {
        CheckProblem problem;
        OpenPlan plan;
    };
    const Row rows[] = {
        {Problem("ALDICC.DAT", {PlaceKind::DictionaryField, 3, 7, {}}),
         {OpenKind::Structure, "ALDICC.DAT", 3, 7, 0}},
        {Problem("ALDICC.DAT", {PlaceKind::DictionaryIndex, 3, 2, {}}),
         {OpenKind::Structure, "ALDICC.DAT", 3, 0, 0}},
        // A relation of REL.DAT opens the structure file it belongs to.
        {Problem("ALREL.DAT", {PlaceKind::DictionaryFile, 7, 0, {}}),
         {OpenKind::Structure, "ALDICC.DAT", 7, 0, 0}},
        {Problem("ALPANT.PAN", {PlaceKind::ScreenField, 2, 5, {}}),
         {OpenKind::Screen, "ALPANT.PAN", 2, 5, 0}},
        {Problem("ALPANT.PAN", {PlaceKind::ScreenRow, 3, 25, {}}),
         {OpenKind::Screen, "ALPANT.PAN", 3, 0, 25}},
        // A keyword of the parameter file opens its screen file at that screen.
        {Problem("ALPANT.PPN", {PlaceKind::ScreenKeyword, 4, 0, "LIMITS$"}),
         {OpenKind::Screen, "ALPANT.PAN", 4, 0, 0}},
        {Problem("alpant.ppn", {PlaceKind::File, 0, 0, {}}),
         {OpenKind::Screen, "alpant.pan", 0, 0, 0}},
        {Problem("ALPEDIDO.PDC", {PlaceKind::DocumentRow, 18, 0, {}}),
         {OpenKind::Document, "ALPEDIDO.PDC", 18, 0, 0}},
        {Problem("ALTOTAL.PRX", {PlaceKind::Line, 14, 0, {}}),
         {OpenKind::Script, "ALTOTAL.PRX", 14, 0, 0}},
        {Problem("ALAPPS.ZAA", {PlaceKind::Line, 3, 0, {}}),
         {OpenKind::SelectionList, "ALAPPS.ZAA", 0, 0, 0}},
        {Problem("-", {}), {}},
        {Problem("NOTAS.TXT", {PlaceKind::Line, 1, 0, {}}), {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PlanProblemOpen(row.problem), row.plan) << row.problem.file;
    }
}

TEST(CheckPlanTest, LinesStartAfterEveryKindOfLineBreak) {
    const std::string text = "uno\r\ndos\ntres\rcuatro";
    EXPECT_EQ(LineStart(text, 0), 0u);
    EXPECT_EQ(LineStart(text, 1), 0u);
    EXPECT_EQ(LineStart(text, 2), 5u);
    EXPECT_EQ(LineStart(text, 3), 9u);
    EXPECT_EQ(LineStart(text, 4), 14u);
    EXPECT_EQ(LineStart(text, 5), text.size()) << "past the last line: the end";
    EXPECT_EQ(LineStart("", 3), 0u);
}

class CheckWindowTest : public DesignerTest {
protected:
    const platform::ShownWindow* lastWindow() const {
        for (platform::WindowId i = 64; i > 0; --i) {
            const platform::ShownWindow* w = ui.window(i);
            if (w != nullptr && w->name == kCheckWindowName) return w;
        }
        return nullptr;
    }
};

TEST_F(CheckWindowTest, TheWindowListsTheProblemsAndAnswersTheRowChosen) {
    const CheckReport report = TwoProblems();
    ui.queueModal(kCheckWindowName, {act::DoubleClickRow(checkctl::kList, 1)});
    EXPECT_EQ(RunCheckWindow(dialog, "/apps/almacen", report), std::optional<std::size_t>(1));
    const platform::ShownWindow* w = lastWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->title, "Application check: /apps/almacen");
    EXPECT_EQ(w->owner, dialog);
    EXPECT_FALSE(w->alive);
    const platform::ShownControl* list = w->control(checkctl::kList);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->rows.size(), 2u);
    EXPECT_EQ(list->rows[0],
              (std::vector<std::string>{"error", "ALPANT.PAN", "screen 2 field 5", "A sentence."}));
    EXPECT_EQ(list->rows[1][0], "warning");
    EXPECT_EQ(w->control(checkctl::kSummary)->text, "1 errors and 1 warnings in 4 files read.");
    EXPECT_EQ(w->control(platform::kIdOk)->text, "Open");

    // Open takes the selected row; Close chooses nothing.
    ui.queueModal(kCheckWindowName,
                  {act::ClickRow(checkctl::kList, 0), act::Click(platform::kIdOk)});
    EXPECT_EQ(RunCheckWindow(dialog, "x", report), std::optional<std::size_t>(0));
    ui.queueModal(kCheckWindowName, {act::Click(platform::kIdCancel)});
    EXPECT_EQ(RunCheckWindow(dialog, "x", report), std::nullopt);
}

TEST_F(CheckWindowTest, AnApplicationWithoutProblemsSaysSoAndOpenDoesNothing) {
    CheckReport report;
    report.filesRead = 7;
    report.screens = 4;
    EXPECT_EQ(CheckSummary(report), "No problems: 7 files read, 4 screens.");
    // Open with no row to open leaves the window open; the close button then ends it.
    ui.queueModal(kCheckWindowName, {act::Click(platform::kIdOk), act::Close()});
    EXPECT_EQ(RunCheckWindow(dialog, "x", report), std::nullopt);
    EXPECT_TRUE(lastWindow()->control(checkctl::kList)->rows.empty());
}

TEST_F(CheckWindowTest, AScriptAndADocumentOpenWithTheCaretAtTheLine) {
    folder.Write("ALTOTAL.PRX", "; uno\r\nA=1;\r\nB=NADA{pedidos};\r\n");
    EXPECT_TRUE(OpenAtPlace(dialog, folder.path(), {OpenKind::Script, "ALTOTAL.PRX", 3, 0, 0}));
    EXPECT_EQ(Designer().currentKind, editorkind::kScript);
    EXPECT_EQ(editText(), "; uno\r\nA=1;\r\nB=NADA{pedidos};\r\n");
    EXPECT_EQ(ui.control(dialog, designerctl::kEdit)->selection, (platform::Selection{13, 0}));

    folder.Write("ALPEDIDO.PDC", " 1  3Uno\r\n 3  5Tres\r\n");
    EXPECT_TRUE(OpenAtPlace(dialog, folder.path(), {OpenKind::Document, "ALPEDIDO.PDC", 3, 0, 0}));
    EXPECT_EQ(editText(), "  Uno\r\n\r\n    Tres");
    EXPECT_EQ(ui.control(dialog, designerctl::kEdit)->selection, (platform::Selection{9, 0}));
    // The folder as a whole has nothing to open.
    EXPECT_FALSE(OpenAtPlace(dialog, folder.path(), OpenPlan{}));
}

} // namespace
} // namespace vodarir
