// The application selector: the list's columns both ways, the field rules of the file, the
// AppSelect dialog and its commands, and the set-up of the application folders.
#include <gtest/gtest.h>

#include <optional>

#include "designer/app_selector.h"
#include "designer/editor_dispatch.h"
#include "designer_fixture.h"
#include "host/paths.h"
#include "runtime/start/runtime_start.h"

namespace vodarir::testing {
namespace {

using namespace literals;
using platform::BoxAnswer;
namespace act = platform::act;

TEST(AppSelection, LinesFillTheFourColumnsInFileOrder) {
    const AppSelection value = AppSelectionFromLines(
        {"AL,Almacen,ALMENU.PPN,/datos/al", "CL,Clientes", "NO,Nominas,,/datos/no,extra"});
    EXPECT_EQ(value.ids, "AL\r\nCL\r\nNO");
    EXPECT_EQ(value.names, "Almacen\r\nClientes\r\nNominas");
    EXPECT_EQ(value.menus, "ALMENU.PPN\r\n\r\n");
    EXPECT_EQ(value.folders, "/datos/al\r\n\r\n/datos/no");
    EXPECT_EQ(AppSelectionFromLines({}), AppSelection{});
}

TEST(AppSelection, TheFileFollowsTheFieldRules) {
    struct Row {
        const char* name;
        AppSelection value;
        const char* file;
    };
    const Row rows[] = {
        {"three lines in order",
         {"A\r\nB\r\nC", "Uno\r\nDos\r\nTres", "A.PPN\r\nB.PPN\r\nC.PPN", "a\r\nb\r\nc"},
         "A,Uno,A.PPN,a\r\nB,Dos,B.PPN,b\r\nC,Tres,C.PPN,c\r\n"},
        {"identifier and name only", {"A", "Uno", "", ""}, "A,Uno\r\n"},
        {"an empty menu file before a folder", {"A", "Uno", "", "/d"}, "A,Uno,,/d\r\n"},
        {"a menu file without a folder", {"A", "Uno", "M.PPN", ""}, "A,Uno,M.PPN,\r\n"},
        {"a cleared identifier drops its line",
         {"A\r\n\r\nC", "Uno\r\nDos\r\nTres", "", ""},
         "A,Uno\r\nC,Tres\r\n"},
        {"shorter columns leave later fields empty",
         {"A\r\nB", "Uno", "", "x"},
         "A,Uno,,x\r\nB,\r\n"},
        {"a column longer than the identifiers adds nothing",
         {"A", "Uno\r\nDos", "", ""},
         "A,Uno\r\n"},
        {"nothing at all", {"", "", "", ""}, ""},
    };
    for (const Row& row : rows) EXPECT_EQ(AppListFromSelection(row.value), row.file) << row.name;
}

TEST(AppSelection, AListReadAndWrittenBackIsTheSame) {
    const std::vector<std::string> lines = {"AL,Almacen,ALMENU.PPN,/datos/al", "CL,Clientes",
                                            "NO,Nominas,,/datos/no"};
    std::string file;
    for (const std::string& l : lines) file += l + "\r\n";
    EXPECT_EQ(AppListFromSelection(AppSelectionFromLines(lines)), file);
}

TEST(AppSelection, LinesThatAreNoApplicationOrHoldMoreFieldsGoBackAsTheyWere) {
    const std::vector<std::string> loaded = {"; comentario, con coma",
                                             "ID",
                                             "AL,Almacen,ALMENU.PPN,/datos/al",
                                             "NO,Nominas,,/datos/no,extra,\"mas, datos\"",
                                             "",
                                             "VE,\"Sur, Almacen central\""};
    const AppSelection value = AppSelectionFromLines(loaded);
    std::string same;
    for (const std::string& l : loaded) same += l + "\r\n";
    EXPECT_EQ(AppListFromSelection(value, loaded), same) << "OK on an unchanged list";
    EXPECT_EQ(FindAppListProblem(value, loaded), std::nullopt);

    // The name of NO changed and a row added at the top: the other lines stay exactly, and NO
    // keeps its fields beyond the fourth.
    AppSelection edited = value;
    edited.ids = "NU\r\n" + edited.ids;
    edited.names = "Nuevo\r\n" + edited.names;
    edited.menus = "\r\n" + edited.menus;
    edited.folders = "\r\n" + edited.folders;
    const std::size_t at = edited.names.find("Nominas");
    edited.names.replace(at, 7, "Nomina");
    EXPECT_EQ(AppListFromSelection(edited, loaded),
              "NU,Nuevo\r\n; comentario, con coma\r\nID\r\nAL,Almacen,ALMENU.PPN,/datos/al\r\n"
              "NO,Nomina,,/datos/no,extra,\"mas, datos\"\r\n\r\nVE,\"Sur, Almacen central\"\r\n");

    // A cleared identifier still drops its application.
    AppSelection cleared = value;
    cleared.ids.replace(cleared.ids.find("AL"), 2, "");
    EXPECT_EQ(AppListFromSelection(cleared, loaded).find("Almacen,"), std::string::npos);
}

TEST(AppSelection, AFieldThatWouldNotReadBackIsFound) {
    struct Row {
        const char* name;
        AppSelection value;
        std::optional<AppListProblem> problem;
    };
    const Row rows[] = {
        {"a comma in the name", {"A\r\nVE", "Uno\r\nSur, Almacen", "", ""}, AppListProblem{1, 2}},
        {"a comma in the identifier", {"A,B", "Uno", "", ""}, AppListProblem{0, 1}},
        {"a comma in the data folder", {"A", "Uno", "M.PPN", "a,b"}, AppListProblem{3, 1}},
        {"a lone quote joins the fields after it",
         {"A", "O'Brien", "M.PPN", ""},
         AppListProblem{1, 1}},
        {"a quoted comma reads back as typed", {"A", "\"Sur, Almacen\"", "", ""}, std::nullopt},
        {"a row without an identifier is not written", {"", "a,b", "", ""}, std::nullopt},
        {"plain texts", {"A\r\nB", "Uno\r\nDos", "M.PPN", "/d"}, std::nullopt},
        // A pasted lone LF or CR stays inside its item, and would cut the written line in two.
        {"a lone LF in the name",
         {"A\r\nB", "Uno\r\nDos\nTres", "", ""},
         AppListProblem{1, 2, AppListFault::kSplitsLine}},
        {"a lone CR in the identifier",
         {"A\rB", "Uno", "", ""},
         AppListProblem{0, 1, AppListFault::kSplitsLine}},
        {"a line break in the menu file",
         {"A", "Uno", "M\n.PPN", ""},
         AppListProblem{2, 1, AppListFault::kSplitsLine}},
    };
    for (const Row& row : rows) EXPECT_EQ(FindAppListProblem(row.value), row.problem) << row.name;
}

class AppSelectTest : public DesignerTest {
protected:
    // The dialog's script: what the user types into each column (appended), then the button.
    void queueDialog(std::vector<platform::UiAction> acts) {
        ui.queueModal(kAppSelectWindowName, std::move(acts));
    }
    const platform::ShownWindow* lastSelector() const {
        for (platform::WindowId i = 64; i > 0; --i) {
            const platform::ShownWindow* w = ui.window(i);
            if (w != nullptr && w->name == kAppSelectWindowName) return w;
        }
        return nullptr;
    }
};

TEST_F(AppSelectTest, ViewShowsTheNamedListAndOkWritesItBack) {
    folder.Write("ALAPPS.ZAA", "AL,Almacen,ALMENU.PPN,/datos/al\r\nCL,Clientes\r\n");
    SetDesignerSlot(designerslot::kAppListBase, TextView(folder.File("ALAPPS")));
    // The caret to the end of each column, then a new line.
    queueDialog({act::Focus(appselectctl::kIds), act::Select(appselectctl::kIds, 6, 0),
                 act::Type(appselectctl::kIds, "\nNO"), act::Focus(appselectctl::kNames),
                 act::Select(appselectctl::kNames, 17, 0),
                 act::Type(appselectctl::kNames, "\nNominas"), act::Click(platform::kIdOk)});
    AppSelectView(dialog);
    const platform::ShownWindow* w = lastSelector();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->title, "AppSelect (" + folder.File("ALAPPS") + ")");
    EXPECT_EQ(w->control(appselectctl::kMenus)->text, "ALMENU.PPN\r\n");
    EXPECT_EQ(w->control(appselectctl::kFolders)->text, "/datos/al\r\n");
    EXPECT_EQ(w->control(appselectctl::kIds)->text, "AL\r\nCL\r\nNO");
    EXPECT_FALSE(w->alive);
    EXPECT_EQ(folder.Read("ALAPPS.ZAA"),
              "AL,Almacen,ALMENU.PPN,/datos/al\r\nCL,Clientes\r\nNO,Nominas\r\n");
}

TEST_F(AppSelectTest, TheDialogHasItsLabelsColumnsAndButtons) {
    queueDialog({act::Click(platform::kIdCancel)});
    AppSelectNew(dialog);
    const platform::ShownWindow* w = lastSelector();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->title, "AppSelect (New)");
    EXPECT_EQ(w->owner, dialog);
    std::vector<std::string> labels;
    for (const platform::ShownControl& c : w->controls) {
        if (c.kind == platform::ControlKind::StaticText) labels.push_back(c.text);
    }
    EXPECT_EQ(labels,
              (std::vector<std::string>{"App ID", "App Denomination", "Menu File", "Data Folder"}));
    int previousRight = -1;
    for (platform::ControlId id = 1018; id <= 1021; ++id) {
        const platform::ShownControl* c = w->control(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_TRUE(c->style & platform::kMultiLine) << id;
        EXPECT_GT(c->rect.x, previousRight) << "side by side, in order";
        previousRight = c->rect.x + c->rect.width;
    }
    EXPECT_EQ(w->control(platform::kIdOk)->kind, platform::ControlKind::DefaultButton);
    EXPECT_EQ(w->control(platform::kIdOk)->text, "OK");
    EXPECT_EQ(w->control(platform::kIdCancel)->text, "Cancel");
    EXPECT_EQ(folder.EntryCount(), 0) << "Cancel writes nothing";
}

TEST_F(AppSelectTest, OkOnANewListAsksForANameUsedForThisWriteOnly) {
    queueDialog({act::Type(appselectctl::kIds, "ZZ"), act::Type(appselectctl::kNames, "Zeta"),
                 act::Click(platform::kIdOk)});
    ui.queueFileChoice(folder.File("NUEVA.ZAA"));
    AppSelectNew(dialog);
    ASSERT_EQ(ui.shownFileDialogs().size(), 1u);
    EXPECT_EQ(ui.shownFileDialogs()[0].spec.mode, platform::FileDialogMode::Save);
    EXPECT_EQ(ui.shownFileDialogs()[0].spec.initialName, "*.ZAA");
    EXPECT_EQ(folder.Read("NUEVA.ZAA"), "ZZ,Zeta\r\n");
    EXPECT_EQ(slot(designerslot::kAppListBase), "") << "the name is not remembered";
    queueDialog({act::Click(platform::kIdOk)});
    ui.queueFileChoice("");
    AppSelectView(dialog);
    EXPECT_TRUE(ui.shownBoxes().empty()) << "a cancelled save dialog closes without a word";
}

TEST_F(AppSelectTest, OpenRemembersTheListAndCancelOrAnUnreadableFileShowNothing) {
    ui.queueFileChoice("");
    AppSelectOpen(dialog);
    EXPECT_EQ(lastSelector(), nullptr);
    std::filesystem::create_directory(folder.File("DIR.ZAA"));
    ui.queueFileChoice(folder.File("DIR.ZAA"));
    AppSelectOpen(dialog);
    EXPECT_EQ(lastSelector(), nullptr) << "an unreadable list shows nothing";
    EXPECT_TRUE(ui.shownBoxes().empty()) << "and reports nothing";
    folder.Write("L.ZAA", "A,Uno\r\n");
    ui.queueFileChoice(folder.File("L.ZAA"));
    queueDialog({act::Click(platform::kIdCancel)});
    AppSelectOpen(dialog);
    ASSERT_NE(lastSelector(), nullptr);
    EXPECT_EQ(lastSelector()->control(appselectctl::kIds)->text, "A");
    EXPECT_EQ(slot(designerslot::kAppListBase), folder.File("L"));
}

TEST_F(AppSelectTest, AFailedWriteKeepsTheOldListAndIsReported) {
    folder.Write("L.ZAA", "A,Uno\r\n");
    SetDesignerSlot(designerslot::kAppListBase, TextView(folder.File("L")));
    queueDialog({act::Type(appselectctl::kIds, "B"), act::Click(platform::kIdOk)});
    // The backup copy's one write goes through; the list's own write then comes up short.
    FileFailWritesAfter(1, 3);
    AppSelectView(dialog);
    FileFailWritesAfter(-1);
    EXPECT_EQ(folder.Read("L.ZAA"), "A,Uno\r\n");
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].icon, platform::BoxIcon::Stop);
    EXPECT_EQ(folder.EntryCount(), 2) << "the list and the backups folder, nothing half-written";
}

TEST_F(AppSelectTest, OkWithACommaInAColumnSaysWhereAndKeepsTheDialogOpen) {
    folder.Write("L.ZAA", "AL,Almacen\r\n; sin tocar\r\n");
    SetDesignerSlot(designerslot::kAppListBase, TextView(folder.File("L")));
    queueDialog({act::Focus(appselectctl::kNames), act::Select(appselectctl::kNames, 7, 0),
                 act::Type(appselectctl::kNames, ", Sur"), act::Click(platform::kIdOk),
                 act::Key(appselectctl::kNames, platform::vk::Back),
                 act::Key(appselectctl::kNames, platform::vk::Back),
                 act::Key(appselectctl::kNames, platform::vk::Back),
                 act::Key(appselectctl::kNames, platform::vk::Back),
                 act::Key(appselectctl::kNames, platform::vk::Back),
                 act::Type(appselectctl::kNames, " Sur"), act::Click(platform::kIdOk)});
    AppSelectView(dialog);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(boxes()[0], "[Mensaje Informativo] In column App Denomination on line 1 a comma (or "
                          "a quote) would split the text into other fields when the list is read "
                          "again. Remove it and press OK.");
    EXPECT_EQ(folder.Read("L.ZAA"), "AL,Almacen Sur\r\n; sin tocar\r\n");
}

TEST_F(AppSelectTest, OkWithALineBreakInAFieldSaysWhereAndKeepsTheDialogOpen) {
    folder.Write("L.ZAA", "AL,Almacen\r\n");
    SetDesignerSlot(designerslot::kAppListBase, TextView(folder.File("L")));
    // A paste brings a lone LF into the name: written, it would end the line there.
    queueDialog({act::Focus(appselectctl::kNames), act::Select(appselectctl::kNames, 7, 0),
                 act::Paste(appselectctl::kNames, "\nSur"), act::Click(platform::kIdOk),
                 act::Select(appselectctl::kNames, 7, 1), act::Paste(appselectctl::kNames, " "),
                 act::Click(platform::kIdOk)});
    AppSelectView(dialog);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(boxes()[0], "[Mensaje Informativo] In column App Denomination on line 1 a line "
                          "break would cut the line in two when the list is read again. Remove "
                          "it and press OK.");
    EXPECT_EQ(folder.Read("L.ZAA"), "AL,Almacen Sur\r\n");
}

TEST_F(AppSelectTest, TheCloseButtonCancels) {
    folder.Write("L.ZAA", "A,Uno\r\n");
    SetDesignerSlot(designerslot::kAppListBase, TextView(folder.File("L")));
    queueDialog({act::Type(appselectctl::kIds, "B"), act::Close()});
    AppSelectView(dialog);
    EXPECT_EQ(folder.Read("L.ZAA"), "A,Uno\r\n");
}

// ---- Application folders -----------------------------------------------------------------------

TEST_F(AppSelectTest, TheDesignerSetsUpTheProgramFolderAndTheBackups) {
    SlotSet(slotgroup::kEnvironment, 7, "Help"_t);
    EXPECT_EQ(SetupAppFolders(foldermode::kDesignerFolders), status::kOk);
    EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 5)), folder.path());
    EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 7)), "Help") << "only empty slots are filled";
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("Backups")));
    SlotSet(slotgroup::kEnvironment, 5, "/elsewhere"_t);
    SetupAppFolders(foldermode::kProgramFolder);
    EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 5)), "/elsewhere");
}

TEST_F(AppSelectTest, TheAppsModeReplacesTheFolders) {
    std::filesystem::create_directory(folder.File("bin"));
    std::filesystem::current_path(folder.File("bin"));
    SlotSet(slotgroup::kEnvironment, 5, "/old"_t);
    SlotSet(slotgroup::kEnvironment, 7, "/old/Help"_t);
    EXPECT_EQ(SetupAppFolders(foldermode::kAppsFolder), status::kOk);
    EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 5)), folder.File("APPS"));
    EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 7)), "/old/Help");
    EXPECT_FALSE(std::filesystem::exists(folder.File("bin/Backups")));
}

TEST_F(AppSelectTest, OtherModesAreRefused) {
    for (int mode : {0, 3, 4, 8, 11}) {
        EXPECT_EQ(SetupAppFolders(mode), status::kData) << mode;
    }
    EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 5)), "");
}

} // namespace
} // namespace vodarir::testing
