// The screen editor in the main dialog, on the scripted face: the sample screen file opened,
// fields placed and bound, undo and redo that keep bindings, moving between screens, the save of
// both files (whole, together, or not at all), and the limits a screen file sets.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "designer/designer_state.h"
#include "designer/editor_dispatch.h"
#include "designer/main_dialog.h"
#include "designer/main_menu.h"
#include "designer/scr_fields.h"
#include "designer/screen_editor.h"
#include "designer/screen_files.h"
#include "designer_fixture.h"
#include "host/numbered_files.h"

namespace vodarir::testing {
namespace {

namespace fs = std::filesystem;
namespace act = platform::act;
namespace vk = platform::vk;
using platform::BoxAnswer;
using platform::UiAction;
using Records = std::vector<std::string>;

std::string Sample(const std::string& name) {
    std::ifstream in(fs::path(VODARIR_EXAMPLES_DIR) / "almacen" / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A screen file of `screens` screens, each of `rows` text rows and one field.
std::string BigScreenFile(int screens, int rows) {
    std::string pan;
    for (int s = 1; s <= screens; ++s) {
        for (int r = 1; r <= rows; ++r) {
            char line[128];
            std::snprintf(line, sizeof line,
                          "\"%2d0%2d 1Pantalla %d fila %d con algo de texto\"\r\n", s, r, s, r);
            pan += line;
        }
        char field[64];
        std::snprintf(field, sizeof field, "\"%2d1%2d60 1 110C\"\r\n", s, rows);
        pan += field;
    }
    return pan;
}

class ScreenEditorTest : public DesignerTest {
protected:
    void SetUp() override {
        folder.Write("ALPANT.PAN", Sample("ALPANT.PAN"));
        folder.Write("ALPANT.PPN", Sample("ALPANT.PPN"));
        fs::create_directory(folder.File("tmp"));
        DesignerTest::SetUp();
        InstallKindEditor(editorkind::kScreen, ScreenEditorActions());
    }
    void TearDown() override {
        FileFailWritesAfter(-1);
        DesignerTest::TearDown();
    }
    std::string arguments() const override { return "\"" + folder.File(file) + "\""; }

    // Runs the designer on the file with the acts; checks the editor's invariants after each
    // and ends the dialog (without its close check) after the last.
    void run(std::vector<UiAction> acts) {
        std::vector<UiAction> checked;
        for (UiAction& a : acts) {
            checked.push_back(std::move(a));
            checked.push_back(act::Run([](platform::ScriptedUi&, platform::WindowId) {
                std::string why;
                EXPECT_TRUE(CheckScreenEditorInvariants(&why)) << why;
                EXPECT_TRUE(CheckInvariants(Designer(), &why)) << why;
            }));
        }
        checked.push_back(act::Run([this](platform::ScriptedUi& s, platform::WindowId w) {
            main = w;
            s.endModal(w, platform::kIdOk);
        }));
        ui.queueModal(kMainDialogName, std::move(checked));
        for (auto& [name, acts] : later_) ui.queueModal(name, std::move(acts));
        later_.clear();
        CVodarirDlg dlg;
        dlg.DoModal();
    }
    static UiAction check(std::function<void()> fn) {
        return act::Run([fn = std::move(fn)](platform::ScriptedUi&, platform::WindowId) { fn(); });
    }
    static const ScreenModel& model() { return CurrentScreenModel(); }
    // The CScrFields acts that bind the field shown and press Done.
    void bindNext(const char* file, const char* field, const char* length, const char* type) {
        queueLater(kScrFieldsTitle,
                   {act::Select(1010, 0, 9), act::Type(1010, file), act::Select(1003, 0, 9),
                    act::Type(1003, field), act::Select(1009, 0, 9), act::Type(1009, length),
                    act::Select(1008, 0, 9), act::Type(1008, type), act::Click(platform::kIdOk)});
    }
    // Edit 2500 of the designer's window (the fixture's own window is another).
    std::string editText() const {
        for (platform::WindowId w = 1; ui.window(w) != nullptr; ++w) {
            const platform::ShownControl* c = ui.control(w, designerctl::kEdit);
            if (c != nullptr && ui.window(w)->alive) return c->text;
        }
        return {};
    }
    std::string statusLine() const {
        for (platform::WindowId w = 1; ui.window(w) != nullptr; ++w) {
            const platform::ShownControl* c = ui.control(w, designerctl::kScreenStatus);
            if (c != nullptr && ui.window(w)->alive) return c->text;
        }
        return {};
    }

    // A modal window's acts, for a window the designer opens inside its own loop.
    void queueLater(std::string name, std::vector<UiAction> acts) {
        later_.emplace_back(std::move(name), std::move(acts));
    }

    std::string file = "ALPANT.PAN";
    ScopedEnv temp{"TEMP", folder.File("tmp").c_str()};
    platform::WindowId main = platform::kNoWindow;

private:
    std::vector<std::pair<std::string, std::vector<UiAction>>> later_;
};

// Selects `length` bytes of edit 2500 from `shift` bytes after the k-th bar (from 1) of the
// screen shown when the act runs.
UiAction SelectAtBar(std::uint16_t k, int shift, int length) {
    return act::Run([=](platform::ScriptedUi& s, platform::WindowId w) {
        const std::size_t bar = BarOffsetOf(CurrentScreenModel(), k);
        ASSERT_NE(bar, std::string::npos) << "bar " << k;
        s.selectText(w, designerctl::kEdit, static_cast<int>(bar) + shift, length);
    });
}

TEST_F(ScreenEditorTest, TheSampleOpensOnItsFirstScreenWithItsFields) {
    run({check([&] {
        EXPECT_EQ(Designer().screenCount, 4);
        EXPECT_EQ(Designer().screenNumber, 1);
        EXPECT_EQ(model().fields.size(), 11u);
        EXPECT_EQ(model().fields[1], (FieldRecord{0, 5, 22, 40, 40, 40, 1, 2, 'A'}));
        EXPECT_EQ(editText(), model().text);
        EXPECT_EQ(statusLine(), "Row 1, column 1    11 fields");
    })});
    EXPECT_TRUE(ui.shownBoxes().empty()) << "the sample keeps every record";
    EXPECT_EQ(ui.window(main)->title, "Vodarir Screen Design (ALPANT #1)");
}

TEST_F(ScreenEditorTest, ABarTypedMidRowIsBoundAtOnceAndTheStatusLineShowsIt) {
    bindNext("2", "3", "12", "A");
    // In the dots before the description's bar.
    run({SelectAtBar(2, -5, 0), act::Type(designerctl::kEdit, "|"), check([&] {
             ASSERT_EQ(model().fields.size(), 12u);
             EXPECT_EQ(model().fields[1], (FieldRecord{0, 5, 17, 12, 40, 40, 2, 3, 'A'}));
             EXPECT_EQ(model().fields[0].field, 1) << "the field before keeps its binding";
             EXPECT_EQ(model().fields[2].field, 2) << "and the one it was copied from";
             EXPECT_EQ(model().fields[2].column, 23);
             EXPECT_EQ(statusLine(), "Row 5, column 18    Field 2 of 12: file 2, field 3, length "
                                     "12, type A");
         })});
}

TEST_F(ScreenEditorTest, UndoBringsADeletedFieldBackWithItsOwnBindingsAndRedoTakesItAgain) {
    FieldRecord description;
    run({check([&] { description = model().fields[1]; }), SelectAtBar(2, 0, 1),
         act::Key(designerctl::kEdit, vk::Delete), check([&] {
             EXPECT_EQ(model().fields.size(), 10u);
             EXPECT_EQ(model().fields[1].field, 3);
         }),
         act::Type(designerctl::kEdit, "x"),
         act::Key(designerctl::kEdit, 'Z', platform::kModControl),
         act::Key(designerctl::kEdit, 'Z', platform::kModControl), check([&] {
             ASSERT_EQ(model().fields.size(), 11u);
             EXPECT_EQ(model().fields[1], description)
                 << "its own bindings, not a copy of the field after it";
             EXPECT_EQ(editText(), model().text);
             EXPECT_EQ(ScreenRedoDepth(), 2u);
         }),
         act::Key(designerctl::kEdit, 'Y', platform::kModControl),
         check([&] { EXPECT_EQ(model().fields.size(), 10u); }),
         act::Key(designerctl::kEdit, 'Z', platform::kModShift | platform::kModControl),
         check([&] { EXPECT_EQ(model().fields.size(), 10u) << "Ctrl+Shift+Z redoes too"; }),
         act::Key(designerctl::kEdit, 'Z', platform::kModControl),
         act::Key(designerctl::kEdit, 'Z', platform::kModControl),
         act::Key(designerctl::kEdit, 'Z', platform::kModControl), check([&] {
             EXPECT_EQ(model().fields[1], description);
             EXPECT_EQ(ScreenUndoDepth(), 0u) << "nothing more to undo: nothing happens";
         })});
}

TEST_F(ScreenEditorTest, UndoOfABindingGivesTheOldOneBackAndAnotherScreenHasItsOwnHistory) {
    queueLater(kScrFieldsTitle,
               {act::Select(1010, 0, 9), act::Type(1010, "7"), act::Click(platform::kIdOk)});
    run({SelectAtBar(1, 0, 0), act::Click(1500),
         check([&] { EXPECT_EQ(model().fields[0].file, 7); }),
         act::Key(designerctl::kEdit, 'Z', platform::kModControl),
         check([&] { EXPECT_EQ(model().fields[0].file, 1); }),
         act::Key(designerctl::kEdit, 'Y', platform::kModControl),
         check([&] { EXPECT_EQ(model().fields[0].file, 7); }), act::Click(1503), check([&] {
             EXPECT_EQ(ScreenUndoDepth(), 0u);
             EXPECT_EQ(ScreenRedoDepth(), 0u);
         }),
         act::Click(1502), check([&] { EXPECT_EQ(model().fields[0].file, 7) << "stored"; })});
}

TEST_F(ScreenEditorTest, NextAndPreviousWrapAroundAndKeepWhatWasDoneOnEachScreen) {
    std::vector<int> seen;
    const auto note = [&] { return check([&] { seen.push_back(Designer().screenNumber); }); };
    run({act::Select(designerctl::kEdit, 0, 0), act::Type(designerctl::kEdit, "Uno"),
         act::Click(1503), note(), act::Click(1503), note(), act::Click(1503), note(),
         act::Click(1503), note(), check([&] { EXPECT_EQ(model().text.substr(0, 3), "Uno"); }),
         act::Click(1502), note(), act::Click(1503), note()});
    EXPECT_EQ(seen, (std::vector<int>{2, 3, 4, 1, 4, 1}));
}

TEST_F(ScreenEditorTest, SaveWritesBothFilesAndTheyReadBackToTheSameScreens) {
    Records edited;
    bindNext("6", "3", "10", "C");
    run({act::Select(designerctl::kEdit, 0, 0), act::Type(designerctl::kEdit, "  Alta "),
         SelectAtBar(11, 1, 0), act::Type(designerctl::kEdit, " |"),
         check([&] { RecordsFromScreen(model(), &edited); }), act::ChooseMenu(menucmd::kScreenSave),
         check([&] {
             EXPECT_EQ(KindModified(editorkind::kScreen), false);
             // The file read again gives back every run of text, bar and binding.
             const ScreenLoad again = LoadScreen(main, ScreenSource::File);
             EXPECT_EQ(again.status, status::kOk);
             EXPECT_TRUE(again.notes.empty());
             Records records;
             RecordsFromScreen(model(), &records);
             EXPECT_EQ(records, edited);
         })});
    const std::string pan = folder.Read("ALPANT.PAN");
    EXPECT_NE(pan.find("\" 10 1 3Alta\"\r\n"), std::string::npos);
    EXPECT_NE(pan.find("\" 111524 6 310C\"\r\n"), std::string::npos);
    // The other screens and the parameters are as they were.
    const std::string sample = Sample("ALPANT.PAN");
    EXPECT_EQ(pan.substr(pan.find("\" 2")), sample.substr(sample.find("\" 2")));
    EXPECT_EQ(folder.Read("ALPANT.PPN"), Sample("ALPANT.PPN"));
    EXPECT_EQ(fs::directory_iterator(folder.File("Backups")) != fs::directory_iterator(), true);
}

// Both files are put in place by renames, which would split a file from its other names: the user
// is asked first, and No writes nothing at all.
TEST_F(ScreenEditorTest, AFileWithOtherNamesIsNamedBeforeItsSave) {
    fs::create_hard_link(folder.File("ALPANT.PAN"), folder.File("OTRO.PAN"));
    const std::string pan = folder.Read("ALPANT.PAN");
    ui.queueBoxAnswer(BoxAnswer::No);
    run({act::Type(designerctl::kEdit, "x"), act::ChooseMenu(menucmd::kScreenSave), check([&] {
             EXPECT_TRUE(KindModified(editorkind::kScreen));
             ASSERT_EQ(ui.shownBoxes().size(), 1u);
             EXPECT_NE(ui.shownBoxes()[0].text.find("ALPANT.PAN has other names"),
                       std::string::npos)
                 << ui.shownBoxes()[0].text;
             EXPECT_EQ(folder.Read("ALPANT.PAN"), pan);
             EXPECT_FALSE(fs::exists(folder.File("Backups"))) << "declined before any backup";
         }),
         act::Run(
             [](platform::ScriptedUi& s, platform::WindowId) { s.queueBoxAnswer(BoxAnswer::Yes); }),
         act::ChooseMenu(menucmd::kScreenSave), check([&] {
             EXPECT_FALSE(KindModified(editorkind::kScreen));
             EXPECT_NE(folder.Read("ALPANT.PAN"), pan);
             EXPECT_EQ(folder.Read("OTRO.PAN"), pan) << "the other name keeps the old screens";
         })});
}

TEST_F(ScreenEditorTest, ASaveThatFailsAtAnyWriteLeavesBothOldFilesAndSaysSo) {
    const std::string pan = folder.Read("ALPANT.PAN");
    const std::string ppn = folder.Read("ALPANT.PPN");
    int failures = 0;
    bool saved = false;
    std::vector<UiAction> acts = {act::Type(designerctl::kEdit, "x")};
    for (int allowed = 0; allowed < 40; ++allowed) {
        acts.push_back(act::Run([&, allowed](platform::ScriptedUi& s, platform::WindowId w) {
            if (saved) return;
            FileFailWritesAfter(allowed);
            s.chooseMenu(w, menucmd::kScreenSave);
        }));
        acts.push_back(check([&] {
            FileFailWritesAfter(-1);
            if (saved) return;
            if (!KindModified(editorkind::kScreen)) {
                saved = true;
                return;
            }
            ++failures;
            EXPECT_EQ(folder.Read("ALPANT.PAN"), pan) << "after a failed save";
            EXPECT_EQ(folder.Read("ALPANT.PPN"), ppn) << "after a failed save";
        }));
    }
    run(std::move(acts));
    EXPECT_TRUE(saved);
    EXPECT_GT(failures, 0);
    EXPECT_GE(ui.shownBoxes().size(), static_cast<std::size_t>(failures)) << "each failure said";
    for (const auto& e : fs::directory_iterator(folder.path())) {
        const std::string name = e.path().filename().string();
        EXPECT_TRUE(name == "ALPANT.PAN" || name == "ALPANT.PPN" || name == "Backups" ||
                    name == "tmp" || name == "config.txt")
            << "left behind: " << name;
    }
}

TEST_F(ScreenEditorTest, AScreenFileLongerThanATextIsOpenedAndSavedWhole) {
    const std::string big = BigScreenFile(15, 99);
    ASSERT_GT(big.size(), 65535u);
    folder.Write("GRANDE.PAN", big);
    file = "GRANDE.PAN";
    DesignerTest::TearDown();
    SetUp();
    run({check([&] {
             EXPECT_EQ(Designer().screenCount, 15);
             EXPECT_EQ(model().fields.size(), 1u);
         }),
         act::Select(designerctl::kEdit, 0, 0), act::Key(designerctl::kEdit, vk::Delete),
         act::ChooseMenu(menucmd::kScreenSave)});
    const std::string saved = folder.Read("GRANDE.PAN");
    EXPECT_EQ(saved.substr(0, 20), "\" 10 1 1antalla 1 fi");
    EXPECT_EQ(saved.size(), big.size() - 1) << "every other line is still there";
    EXPECT_EQ(saved.substr(saved.find("\" 2")), big.substr(big.find("\" 2")));
}

TEST_F(ScreenEditorTest, AScreenWhoseTextWouldPassATextIsRefusedAndNothingChanges) {
    // Every record of row 1, column 1: each goes after the one before, in one row of 75 000 bytes.
    std::string pan;
    for (int i = 0; i < 150; ++i) pan += "\" 10 1 1" + std::string(500, 'x') + "\"\r\n";
    folder.Write("ENORME.PAN", pan);
    run({act::Run([&](platform::ScriptedUi&, platform::WindowId) {
             ui.queueFileChoice(folder.File("ENORME.PAN"));
         }),
         act::ChooseMenu(menucmd::kScreenOpen), check([&] {
             EXPECT_EQ(model().fields.size(), 11u) << "ALPANT's screen is still the one shown";
             EXPECT_EQ(slot(designerslot::kScreenBase), folder.File("ALPANT"));
         })});
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_NE(ui.shownBoxes()[0].text.find("Screen 1 would hold 75000 characters as text, more "
                                           "than the 65535 the editor holds: it was not loaded."),
              std::string::npos)
        << ui.shownBoxes()[0].text;
}

TEST_F(ScreenEditorTest, AHundredthScreenIsRefusedAndTheCountStays) {
    folder.Write("LLENO.PAN", "\" 10 1 1uno\"\r\n\"990 1 1ultima\"\r\n");
    file = "LLENO.PAN";
    DesignerTest::TearDown();
    SetUp();
    ui.queueBoxAnswer(BoxAnswer::No);
    run({act::ChooseMenu(menucmd::kScreenNew), check([&] {
             EXPECT_EQ(Designer().screenCount, 99);
             EXPECT_EQ(Designer().screenNumber, 1);
         })});
    ASSERT_EQ(ui.shownBoxes().size(), 2u);
    EXPECT_EQ(ui.shownBoxes()[1].text,
              "A screen file holds at most 99 screens: no screen was added.");
}

TEST_F(ScreenEditorTest, NewAppendsAScreenAfterStoringTheOneBeingLeft) {
    ui.queueBoxAnswer(BoxAnswer::No);
    run({act::Select(designerctl::kEdit, 0, 0), act::Type(designerctl::kEdit, "Uno"),
         act::ChooseMenu(menucmd::kScreenNew), check([&] {
             EXPECT_EQ(Designer().screenCount, 5);
             EXPECT_EQ(Designer().screenNumber, 5);
             EXPECT_EQ(model().text, "");
         }),
         act::Type(designerctl::kEdit, "Cinco"), act::Click(1503),
         check([&] { EXPECT_EQ(model().text.substr(0, 3), "Uno") << "screen 1 kept its edit"; }),
         act::Click(1502), check([&] { EXPECT_EQ(model().text, "Cinco"); })});
}

TEST_F(ScreenEditorTest, TheEightyFirstFieldIsRefusedAndTheTextStaysAsItWas) {
    std::string pan;
    for (int i = 0; i < 80; ++i) {
        char r[64];
        std::snprintf(r, sizeof r, "\" 11%2d%2d 0 0 1A\"\r\n", i / 20 + 1, i % 20 * 2 + 1);
        pan += r;
    }
    folder.Write("OCHENTA.PAN", pan);
    file = "OCHENTA.PAN";
    DesignerTest::TearDown();
    SetUp();
    std::string before;
    run({check([&] { before = editText(); }), act::Select(designerctl::kEdit, 0, 0),
         act::Type(designerctl::kEdit, "|"), check([&] {
             EXPECT_EQ(editText(), before);
             EXPECT_EQ(model().fields.size(), 80u);
         })});
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].text, "A screen holds at most 80 fields: the bar was not added.");
}

TEST_F(ScreenEditorTest, FieldRecordsPastTheEightiethAreKeptAndWrittenBack) {
    std::string pan;
    for (int i = 0; i < 93; ++i) {
        char r[64];
        std::snprintf(r, sizeof r, "\" 11%2d%2d 1 1 1A\"\r\n", i / 20 + 1, i % 20 * 2 + 1);
        pan += r;
    }
    folder.Write("MUCHOS.PAN", pan);
    file = "MUCHOS.PAN";
    DesignerTest::TearDown();
    SetUp();
    run({check([&] {
             EXPECT_EQ(model().fields.size(), 93u);
             ui.queueBoxAnswer(BoxAnswer::Yes); // save anyway, nothing changed
         }),
         act::ChooseMenu(menucmd::kScreenSave)});
    ASSERT_GE(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].text, "Screen 1 holds 93 fields; a screen takes at most 80. They "
                                       "are kept as they are, and no field can be added to it.");
    EXPECT_EQ(folder.Read("MUCHOS.PAN"), pan);
}

TEST_F(ScreenEditorTest, ATextPastColumnNinetyNineCannotBeStoredAndTheScreenStays) {
    run({act::Select(designerctl::kEdit, 0, 0),
         act::Type(designerctl::kEdit, std::string(99, ' ') + "x\n"), act::Click(1503),
         check([&] { EXPECT_EQ(Designer().screenNumber, 1); })});
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_NE(ui.shownBoxes()[0].text.find("Row 1, column 100 lies beyond row or column 99"),
              std::string::npos)
        << ui.shownBoxes()[0].text;
}

TEST_F(ScreenEditorTest, RecordsAFileCannotKeepAreNamedWhenItOpens) {
    folder.Write("RARO.PAN", "\" 10 2 1dos\"\r\n\" 10 1 1uno\"\r\n\" 17 1 5raro\"\r\n");
    file = "RARO.PAN";
    DesignerTest::TearDown();
    SetUp();
    run({});
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].text,
              "Screen 1: records 2, 3 of the screen file (2 in all) cannot be shown where the file "
              "places them, or as they are written; a save writes them as they are shown now.");
}

TEST_F(ScreenEditorTest, AFileWithoutParametersLeavesNoParametersOfTheFileBefore) {
    folder.Write("SOLO.PAN", "\" 10 1 1uno\"\r\n");
    run({act::Run([&](platform::ScriptedUi&, platform::WindowId) {
             ui.queueFileChoice(folder.File("SOLO.PAN"));
         }),
         act::ChooseMenu(menucmd::kScreenOpen), check([&] {
             ScratchScope scope;
             EXPECT_EQ(model().text, "uno");
             Records items;
             const StatusCode st =
                 ReadBlock(WorkFile(extension::kParameters), LineKind::Parameters, 1, &items);
             EXPECT_TRUE(st == status::kOk || st == status::kFileNotFound);
             EXPECT_TRUE(items.empty()) << "ALPANT's parameters are not SOLO's";
         })});
}

TEST_F(ScreenEditorTest, TheArrowOnTheLastFieldAppliesAndStays) {
    queueLater(kScrFieldsTitle,
               {act::Select(1009, 0, 9), act::Type(1009, "3"), act::Click(1015),
                act::Run([](platform::ScriptedUi& s, platform::WindowId w) {
                    EXPECT_EQ(s.control(w, 1011)->text, "11");
                }),
                act::Click(1014), act::Run([](platform::ScriptedUi& s, platform::WindowId w) {
                    EXPECT_EQ(s.control(w, 1011)->text, "10");
                }),
                act::Key(1009, vk::Escape)});
    run({SelectAtBar(11, 0, 0), act::Click(1500),
         check([&] { EXPECT_EQ(model().fields[10].displayLength, 3); })});
}

TEST_F(ScreenEditorTest, AFileNumberPastThirtyIsRefusedInTheFieldDialog) {
    queueLater(kScrFieldsTitle,
               {act::Select(1010, 0, 9), act::Type(1010, "31"), act::Click(platform::kIdOk),
                act::Select(1010, 0, 9), act::Type(1010, "30"), act::Click(platform::kIdOk)});
    run({act::Select(designerctl::kEdit, 0, 0), act::Click(1500),
         check([&] { EXPECT_EQ(model().fields[0].file, 30); })});
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].text,
              "File must be a number from 0 to 30: a screen file holds no other.");
}

} // namespace
} // namespace vodarir::testing
