// The main dialog run as the program runs it: its menu, the application folder and config.txt,
// the command-line file, Enter and Esc, the close check, the Document Function Selector and the
// About box.
#include <gtest/gtest.h>

#include "designer/app_selector.h"
#include "designer/document_editor.h"
#include "designer/main_dialog.h"
#include "designer/main_menu.h"
#include "designer_fixture.h"

namespace vodarir::testing {
namespace {

using namespace literals;
using platform::BoxAnswer;
using platform::UiAction;
namespace act = platform::act;
namespace vk = platform::vk;

class MainDialogTest : public DesignerTest {
protected:
    // Runs the dialog; its modal loop gets the acts. The dialog's window is the last one made
    // with its name.
    int run(std::vector<UiAction> acts) {
        ui.queueModal(kMainDialogName, std::move(acts));
        CVodarirDlg dlg;
        const int result = dlg.DoModal();
        mainWindow = lastDialog();
        return result;
    }
    platform::WindowId lastDialog() const {
        platform::WindowId found = platform::kNoWindow;
        for (platform::WindowId i = 1; ui.window(i) != nullptr; ++i) {
            if (ui.window(i)->name == kMainDialogName) found = i;
        }
        return found;
    }
    // Acts of the modal loop that run checks of the test in the middle of it.
    static UiAction check(std::function<void(platform::ScriptedUi&, platform::WindowId)> fn) {
        return act::Run(std::move(fn));
    }
    bool transcriptHas(const std::string& start) const {
        for (const std::string& line : ui.transcript()) {
            if (line.rfind(start, 0) == 0) return true;
        }
        return false;
    }
    platform::WindowId mainWindow = platform::kNoWindow;
};

// ---- The menu ---------------------------------------------------------------------------------

TEST_F(MainDialogTest, TheMenuHoldsEveryItemWithItsCommand) {
    ui.queueFolderChoice(folder.path());
    run({act::Key(platform::kNoControl, vk::Escape)});
    const platform::Menu& menu = ui.window(mainWindow)->menu;
    std::vector<std::string> popups;
    for (const platform::MenuItem& p : menu) popups.push_back(p.text);
    EXPECT_EQ(popups, (std::vector<std::string>{"&File", "&Screen", "&Documents", "S&cripts",
                                                "&AppSelection", "&Help"}));
    struct Row {
        std::size_t popup;
        std::size_t item;
        platform::CommandId id;
        bool enabled;
    };
    // The screen editor is the program's to install (it is not here), but Screen > Report
    // reports on what is loaded; everything else works.
    const Row rows[] = {
        {0, 0, 32772, true},  {0, 1, 57600, true}, {0, 2, 57601, true},  {0, 3, 32774, true},
        {0, 4, 57603, true},  {0, 5, 32789, true}, {1, 0, 32779, false}, {1, 1, 32776, false},
        {1, 2, 32777, false}, {1, 3, 32780, true}, {1, 4, 32778, false}, {1, 5, 32790, false},
        {2, 0, 32781, true},  {2, 1, 32783, true}, {2, 2, 32782, true},  {2, 3, 32784, true},
        {2, 4, 32791, true},  {3, 0, 32785, true}, {3, 1, 32786, true},  {3, 2, 32787, true},
        {3, 3, 32788, true},  {3, 4, 32792, true}, {4, 0, 32798, true},  {4, 1, 32794, true},
        {4, 2, 32795, true},  {4, 3, 32801, true}, {5, 0, 32799, true},  {5, 1, 32800, true},
    };
    for (const Row& row : rows) {
        ASSERT_LT(row.item, menu[row.popup].items.size());
        const platform::MenuItem& item = menu[row.popup].items[row.item];
        EXPECT_EQ(item.command, row.id) << menu[row.popup].text << " " << item.text;
        EXPECT_EQ(item.enabled, row.enabled) << row.id;
    }
}

TEST_F(MainDialogTest, AnInstalledEditorEnablesItsMenu) {
    EXPECT_FALSE(BuildMainMenu()[1].items[0].enabled) << "no screen editor installed yet";
    KindEditorHooks hooks;
    hooks.shown = [](platform::WindowId) -> StatusCode { return status::kOk; };
    hooks.write = [](platform::WindowId, TextRef) -> StatusCode { return status::kOk; };
    InstallKindEditor(editorkind::kScreen, hooks);
    const platform::Menu menu = BuildMainMenu();
    EXPECT_TRUE(menu[1].items[0].enabled);
    EXPECT_TRUE(menu[1].items[3].enabled) << "an editor without a report keeps the built-in one";
    // An editor with a report command of its own is given it.
    hooks.report = [](platform::WindowId) {};
    InstallKindEditor(editorkind::kScreen, hooks);
    EXPECT_EQ(KindEditor(editorkind::kScreen).report, hooks.report);
    InstallKindEditor(editorkind::kScreen, KindEditorHooks{});
    EXPECT_NE(KindEditor(editorkind::kScreen).report, nullptr)
        << "removing the editor leaves the built-in report";
    EXPECT_FALSE(BuildMainMenu()[1].items[0].enabled);
}

// ---- Start: the application folder ------------------------------------------------------------

TEST_F(MainDialogTest, AnotherFolderIsRememberedAndSetUp) {
    std::filesystem::create_directory(folder.File("app"));
    ui.queueFolderChoice(folder.File("app"));
    run({check([&](platform::ScriptedUi&, platform::WindowId) {
             EXPECT_EQ(std::filesystem::current_path(), folder.File("app"));
         }),
         act::Key(platform::kNoControl, vk::Escape)});
    ASSERT_EQ(ui.shownFolderDialogs().size(), 1u);
    EXPECT_EQ(ui.shownFolderDialogs()[0].title, "Please choose a folder.");
    EXPECT_EQ(ui.shownFolderDialogs()[0].start, folder.path());
    EXPECT_EQ(folder.Read("config.txt"), folder.File("app")) << "the folder alone, no line end";
    EXPECT_FALSE(std::filesystem::exists(folder.File("app/config.txt")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("app/Backups")));
    EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 5)), folder.path()) << "the program's folder";
}

TEST_F(MainDialogTest, TheRememberedFolderIsWhereTheChooserStarts) {
    folder.Write("config.txt", "/somewhere/else\r\n");
    ui.queueFolderChoice(folder.path());
    run({act::Key(platform::kNoControl, vk::Escape)});
    EXPECT_EQ(ui.shownFolderDialogs()[0].start, "/somewhere/else");
    EXPECT_EQ(folder.Read("config.txt"), "/somewhere/else\r\n")
        << "choosing the current directory leaves config.txt untouched";
    EXPECT_FALSE(folder.Exists("Backups"));
}

TEST_F(MainDialogTest, CancellingTheChooserEndsTheProgramWithoutTheLoop) {
    ui.queueFolderChoice("");
    CVodarirDlg dlg;
    EXPECT_EQ(dlg.DoModal(), platform::kIdCancel);
    EXPECT_FALSE(transcriptHas("modal")) << "the dialog never ran";
    EXPECT_FALSE(folder.Exists("config.txt"));
}

// ---- Start: the command-line file --------------------------------------------------------------

class CommandLineTest : public MainDialogTest {
protected:
    std::string arguments() const override { return argument; }
    void SetUp() override {
        std::filesystem::create_directories(std::filesystem::temp_directory_path() /
                                            "vodarir-cmdline");
        MainDialogTest::SetUp();
    }
    std::string argument;
};

class ScriptArgumentTest : public CommandLineTest {
protected:
    void SetUp() override {
        const auto dir = std::filesystem::temp_directory_path() / "vodarir-cmdline";
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "ALPROC.PRX", std::ios::binary) << "X = 1\r\n";
        argument = (dir / "ALPROC.PRX").string();
        CommandLineTest::SetUp();
    }
};

TEST_F(ScriptArgumentTest, AScriptOnTheCommandLineOpensWithoutTheChooser) {
    const auto dir = std::filesystem::temp_directory_path() / "vodarir-cmdline";
    run({check([&](platform::ScriptedUi& u, platform::WindowId w) {
             EXPECT_EQ(u.control(w, designerctl::kEdit)->text, "X = 1\r\n");
             EXPECT_EQ(u.title(w), "Vodarir Script Edition (ALPROC)");
             EXPECT_EQ(std::filesystem::current_path(), dir) << "its folder is the current one";
         }),
         act::Key(platform::kNoControl, vk::Escape)});
    EXPECT_TRUE(ui.shownFolderDialogs().empty());
    std::filesystem::remove_all(dir);
}

class TextArgumentTest : public CommandLineTest {
protected:
    void SetUp() override {
        argument = "notes.txt";
        CommandLineTest::SetUp();
    }
};

TEST_F(TextArgumentTest, AFileOfAnotherKindOpensNothingAndSkipsTheChooser) {
    run({check([&](platform::ScriptedUi& u, platform::WindowId w) {
             EXPECT_EQ(u.title(w), "Vodarir");
             EXPECT_EQ(u.control(w, designerctl::kEdit), nullptr);
             EXPECT_NE(u.control(w, kIdlePictureId), nullptr);
         }),
         act::Key(platform::kNoControl, vk::Escape)});
    EXPECT_TRUE(ui.shownFolderDialogs().empty());
}

class OptionArgumentTest : public CommandLineTest {
protected:
    void SetUp() override {
        argument = "/X=1";
        CommandLineTest::SetUp();
    }
};

TEST_F(OptionArgumentTest, AnOptionIsNoFile) {
    ui.queueFolderChoice(folder.path());
    run({act::Key(platform::kNoControl, vk::Escape)});
    EXPECT_EQ(ui.shownFolderDialogs().size(), 1u);
}

class ListArgumentTest : public CommandLineTest {
protected:
    void SetUp() override {
        const auto dir = std::filesystem::temp_directory_path() / "vodarir-cmdline";
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "ALAPPS.ZAA", std::ios::binary) << "AL,Almacen\r\n";
        argument = (dir / "ALAPPS.ZAA").string();
        CommandLineTest::SetUp();
    }
};

TEST_F(ListArgumentTest, ASelectionListOpensTheSelector) {
    const auto dir = std::filesystem::temp_directory_path() / "vodarir-cmdline";
    ui.queueModal(kAppSelectWindowName,
                  {check([&](platform::ScriptedUi& u, platform::WindowId w) {
                       EXPECT_EQ(u.control(w, 1018)->text, "AL");
                       EXPECT_EQ(u.title(w), "AppSelect (" + (dir / "ALAPPS").string() + ")");
                   }),
                   act::Click(platform::kIdCancel)});
    run({act::Key(platform::kNoControl, vk::Escape)});
    std::filesystem::remove_all(dir);
}

// ---- Enter, Esc and closing -------------------------------------------------------------------

TEST_F(MainDialogTest, EnterNeverClosesTheDialog) {
    ui.queueFolderChoice(folder.path());
    ui.queueBoxAnswer(BoxAnswer::No);
    ui.queueBoxAnswer(BoxAnswer::Yes);
    run({act::Key(platform::kNoControl, vk::Return),
         check([](platform::ScriptedUi& u, platform::WindowId w) {
             EXPECT_TRUE(u.windowExists(w));
             EXPECT_EQ(u.modalStack().size(), 1u);
         }),
         act::ChooseMenu(menucmd::kScriptView), act::Key(designerctl::kEdit, vk::Return),
         check([](platform::ScriptedUi& u, platform::WindowId w) {
             EXPECT_EQ(u.control(w, designerctl::kEdit)->text, "\r\n") << "a line break instead";
         }),
         act::Key(platform::kNoControl, vk::Escape), act::Key(platform::kNoControl, vk::Escape)});
    // The Enter typed into the script was a change: the first Esc asked and was refused.
    EXPECT_EQ(ui.shownBoxes().size(), 2u);
}

TEST_F(MainDialogTest, EscOverChangesAsksAndNoKeepsDialogAndWorkFiles) {
    ui.queueFolderChoice(folder.path());
    ui.queueBoxAnswer(BoxAnswer::No);
    ui.queueBoxAnswer(BoxAnswer::Yes);
    const std::string work = folder.File("work");
    run({check([&](platform::ScriptedUi&, platform::WindowId) {
             SetDesignerSlot(designerslot::kWorkBase, TextView(work));
             std::ofstream(work + ".PAN") << "pan";
             std::ofstream(work + ".PPN") << "ppn";
         }),
         act::ChooseMenu(menucmd::kDocumentView), act::Type(designerctl::kEdit, "changed"),
         act::Key(designerctl::kEdit, vk::Escape),
         check([&](platform::ScriptedUi& u, platform::WindowId w) {
             EXPECT_TRUE(u.windowExists(w));
             EXPECT_TRUE(std::filesystem::exists(work + ".PAN"));
         }),
         act::Key(designerctl::kEdit, vk::Escape)});
    const std::string question =
        "[Solicitud de Informaci\xf3n] Posible perdida de datos. Por favor confirmar";
    EXPECT_EQ(boxes(), (std::vector<std::string>{question, question}));
    EXPECT_FALSE(std::filesystem::exists(work + ".PAN")) << "the close removes the work files";
    EXPECT_FALSE(std::filesystem::exists(work + ".PPN"));
}

TEST_F(MainDialogTest, TheCloseButtonAfterYesAsksOnlyOnce) {
    ui.queueFolderChoice(folder.path());
    ui.queueBoxAnswer(BoxAnswer::No);
    ui.queueBoxAnswer(BoxAnswer::Yes);
    run({act::ChooseMenu(menucmd::kScriptNew), act::Type(designerctl::kEdit, "x"), act::Close(),
         check([](platform::ScriptedUi& u, platform::WindowId w) {
             EXPECT_TRUE(u.windowExists(w)) << "No keeps the designer open";
         }),
         act::Close()});
    EXPECT_EQ(ui.shownBoxes().size(), 2u);
}

TEST_F(MainDialogTest, NothingModifiedClosesWithoutAQuestion) {
    ui.queueFolderChoice(folder.path());
    EXPECT_EQ(run({act::ChooseMenu(menucmd::kDocumentView), act::Close()}), platform::kIdCancel);
    EXPECT_TRUE(ui.shownBoxes().empty());
}

// ---- The Document Function Selector ------------------------------------------------------------

TEST_F(MainDialogTest, TypingABarOffersTheFunctionsAndLoopIsStoredAs25) {
    ui.queueFolderChoice(folder.path());
    ui.queueFileChoice(folder.File("ALFACT.PDC"));
    run({check([](platform::ScriptedUi& u, platform::WindowId) {
             u.queueModal(kFunctionSelectorTitle, {act::Click(1503)}); // Loop, the fourth
             u.queueModal(kFunctionSelectorTitle, {act::Key(platform::kNoControl, vk::Escape)});
         }),
         act::ChooseMenu(menucmd::kDocumentNew), act::Type(designerctl::kEdit, "  A|B|C"),
         check([](platform::ScriptedUi& u, platform::WindowId w) {
             EXPECT_EQ(u.control(w, designerctl::kEdit)->text, "  A\xbb"
                                                               "B|C");
             EXPECT_EQ(u.control(w, designerctl::kEdit)->selection.start, 7)
                 << "typing went on after the replaced character";
         }),
         act::ChooseMenu(menucmd::kDocumentSave), act::Close()});
    EXPECT_EQ(folder.Read("ALFACT.PDC"), " 1  3A\x19"
                                         "B|C\r\n");
    EXPECT_TRUE(ui.shownBoxes().empty());
}

TEST_F(MainDialogTest, EachChoiceLeavesItsCharacter) {
    ui.queueFolderChoice(folder.path());
    ui.queueBoxAnswer(BoxAnswer::Yes);
    run({check([](platform::ScriptedUi& u, platform::WindowId) {
             for (platform::ControlId button = 1500; button < 1504; ++button) {
                 u.queueModal(kFunctionSelectorTitle, {act::Click(button)});
             }
         }),
         act::ChooseMenu(menucmd::kDocumentView), act::Type(designerctl::kEdit, "||||"),
         check([](platform::ScriptedUi& u, platform::WindowId w) {
             EXPECT_EQ(u.control(w, designerctl::kEdit)->text, "|\xa6\xab\xbb");
         }),
         act::Close()});
}

// ---- Help and About
// ------------------------------------------------------------------------------

TEST_F(MainDialogTest, TheAboutBoxWithTheBuiltInMessagesIsNeverEmpty) {
    ui.queueFolderChoice(folder.path());
    run({act::ChooseMenu(menucmd::kAbout), act::Close()});
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    const platform::ShownBox& box = ui.shownBoxes()[0];
    EXPECT_EQ(box.caption, "Acerca de");
    EXPECT_EQ(box.icon, platform::BoxIcon::Information);
    EXPECT_EQ(box.buttons, platform::BoxButtons::Ok);
    EXPECT_EQ(box.text,
              "\xa9 2015 Vodarir\r\nVersi\xf3n 2.09p\r\n\r\nPrograma: " + folder.File("vodarir") +
                  "\r\nCarpeta por defecto: \r\n"
                  "Carpeta de datos comunes: " +
                  (std::filesystem::path(folder.path()).parent_path() / "data").string());
}

TEST_F(MainDialogTest, TheAboutBoxTakesTheLanguageFilesText) {
    folder.Write("DU_ZERA_ES.MSJ", "0075 About\r\n0076 (c) %s %s v%s [%s] [%s] [%s]\r\n");
    MsgCatalogReset();
    SlotSet(slotgroup::kEnvironment, 4, "ES"_t);
    SlotSet(slotgroup::kEnvironment, 5, TextView(folder.path()));
    ui.queueFolderChoice(folder.path());
    run({act::ChooseMenu(menucmd::kAbout), act::Close()});
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].caption, "About");
    const std::string data = (std::filesystem::path(folder.path()).parent_path() / "data").string();
    EXPECT_EQ(ui.shownBoxes()[0].text, "(c) 2015 Vodarir v2.09p [" + folder.File("vodarir") +
                                           "] [" + folder.path() + "] [" + data + "]");
}

} // namespace
} // namespace vodarir::testing
