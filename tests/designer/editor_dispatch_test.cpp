// The dispatcher: layouts that keep each kind's text, titles, the discard question asked at most
// once, names that stay with the text they name, the file dialogs' table and the common save step
// with its backup copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "designer/designer_state.h"
#include "designer/editor_dispatch.h"
#include "designer_fixture.h"
#include "dictionary/dictionary.h"

namespace vodarir::testing {
namespace {

using namespace literals;
using platform::BoxAnswer;

class DispatchTest : public DesignerTest {
protected:
    StatusCode open(EditorKind kind, std::uint16_t flags, const std::string& name = {}) {
        return OpenEditor(dialog, kind, flags, TextView(name));
    }
    std::string title() const { return ui.title(dialog); }
};

constexpr std::uint16_t kOpenText = stepflag::kLayout | stepflag::kStoreName | stepflag::kLoad;

// ---- Titles -----------------------------------------------------------------------------------

TEST_F(DispatchTest, TitlesNameTheProductTheKindAndTheFile) {
    struct Row {
        EditorKind kind;
        std::string base;
        std::uint16_t screen;
        const char* expected;
    };
    const std::vector<Row> rows = {
        {editorkind::kFileStructure, "", 0, "Vodarir File Structure (New)"},
        {editorkind::kFileStructure, folder.File("ALDICC"), 0, "Vodarir File Structure (ALDICC)"},
        {editorkind::kScreen, "/apps/ALMENU", 3, "Vodarir Screen Design (ALMENU #3)"},
        {editorkind::kDocument, "/apps/ALFACT", 0, "Vodarir Document Design (ALFACT)"},
        {editorkind::kScript, "", 0, "Vodarir Script Edition (New)"},
        {editorkind::kAppSelection, "/apps/ALAPPS", 0, ""},
    };
    for (const Row& row : rows) {
        Designer().currentKind = row.kind;
        Designer().screenNumber = row.screen;
        SetDesignerSlot(KindSlot(row.kind), TextView(row.base));
        const ScratchLevel mark = ScratchMark();
        EXPECT_EQ(Str(EditorTitle()), row.expected)
            << "kind " << KindNumber(row.kind) << " " << row.base;
        ScratchRelease(mark);
    }
}

TEST_F(DispatchTest, ALanguageFileNamesTheKindsInItsOwnWords) {
    folder.Write("DU_ZERA_ES.MSJ", "1001 %s Estructura (%s%s),%s Pantalla (%s #%s),%s Documento "
                                   "(%s%s),%s Procedimiento (%s%s)\r\n1006 Nuevo\r\n");
    MsgCatalogReset();
    SlotSet(slotgroup::kEnvironment, 4, "ES"_t);
    ASSERT_EQ(open(editorkind::kScript, stepflag::kLayout), status::kOk);
    EXPECT_EQ(title(), "Vodarir Procedimiento (Nuevo)");
}

// ---- Layouts ----------------------------------------------------------------------------------

TEST_F(DispatchTest, DocumentsAndScriptsFillTheDialogWithOneFixedPitchEdit) {
    ASSERT_EQ(open(editorkind::kDocument, stepflag::kLayout), status::kOk);
    const platform::ShownControl* edit = ui.control(dialog, designerctl::kEdit);
    ASSERT_NE(edit, nullptr);
    const platform::Size client = ui.clientSize(dialog);
    EXPECT_EQ(edit->rect, (platform::Rect{0, 0, client.width, client.height}));
    EXPECT_EQ(edit->font, platform::kFixedFont);
    EXPECT_EQ(edit->limit, 65535);
    EXPECT_TRUE(edit->style & platform::kMultiLine);
    EXPECT_TRUE(edit->style & platform::kWantReturn);
    EXPECT_EQ(ui.focusedControl(dialog), designerctl::kEdit);
    EXPECT_EQ(Designer().builtKind, editorkind::kDocument);
}

TEST_F(DispatchTest, TheScreenLayoutHasItsButtonRowAboveTheEdit) {
    SetDesignerSlot(designerslot::kScreenText, "  ||||  "_t);
    ASSERT_EQ(open(editorkind::kScreen, stepflag::kLayout), status::kOk);
    const char* captions[] = {"Field Attributes", "Screen Attributes", "Previous Screen",
                              "Next Screen"};
    for (int i = 0; i < 4; ++i) {
        const platform::ShownControl* b = ui.control(dialog, 1500 + i);
        ASSERT_NE(b, nullptr) << 1500 + i;
        EXPECT_EQ(b->text, captions[i]);
        EXPECT_EQ(b->rect, (platform::Rect{150 * i, 0, 150, 20}));
    }
    const platform::ShownControl* edit = ui.control(dialog, designerctl::kEdit);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->rect.y, 25);
    // Under the edit, the status line of the caret and the field under it.
    EXPECT_EQ(edit->rect.height, ui.clientSize(dialog).height - 25 - kScreenStatusHeight);
    EXPECT_EQ(edit->text, "  ||||  ");
    const platform::ShownControl* status = ui.control(dialog, designerctl::kScreenStatus);
    ASSERT_NE(status, nullptr);
    EXPECT_GE(status->rect.y, edit->rect.y + edit->rect.height);
    EXPECT_LE(status->rect.y + status->rect.height, ui.clientSize(dialog).height);
}

TEST_F(DispatchTest, EachKindKeepsItsTextAcrossLayoutSwitches) {
    open(editorkind::kDocument, stepflag::kLayout);
    ui.setText(dialog, designerctl::kEdit, "document\r\nrow 2");
    open(editorkind::kScript, stepflag::kLayout);
    EXPECT_EQ(editText(), "");
    ui.setText(dialog, designerctl::kEdit, "script |text|");
    open(editorkind::kScreen, stepflag::kLayout);
    ui.setText(dialog, designerctl::kEdit, "screen");
    open(editorkind::kAppSelection, stepflag::kLayout);
    EXPECT_EQ(ui.control(dialog, designerctl::kEdit), nullptr);
    EXPECT_NE(ui.control(dialog, kIdlePictureId), nullptr) << "an idle dialog shows its picture";
    open(editorkind::kDocument, stepflag::kLayout);
    EXPECT_EQ(editText(), "document\r\nrow 2");
    open(editorkind::kScript, stepflag::kLayout);
    EXPECT_EQ(editText(), "script |text|");
    EXPECT_EQ(slot(designerslot::kScreenText), "screen");
    EXPECT_EQ(ParkedText(editorkind::kDocument), "document\r\nrow 2");
}

TEST_F(DispatchTest, ALongScriptSurvivesASwitchWhole) {
    // The store's pool is 64 KB for everything: a script this long is parked outside it.
    std::string script(65535, 'x');
    script[100] = '|';
    open(editorkind::kScript, stepflag::kLayout);
    ui.setText(dialog, designerctl::kEdit, script);
    ASSERT_EQ(open(editorkind::kDocument, stepflag::kLayout), status::kOk);
    ASSERT_EQ(open(editorkind::kScript, stepflag::kLayout), status::kOk);
    EXPECT_EQ(editText(), script);
}

TEST_F(DispatchTest, ATextTooLongToKeepStopsTheSwitchAndChangesNoName) {
    // Only a paste beyond the edit's limit could make this; the switch must not lose it.
    open(editorkind::kScript, stepflag::kLayout);
    ui.setText(dialog, designerctl::kEdit, std::string(65536, 'p'));
    SetDesignerSlot(designerslot::kDocumentBase, "/docs/OLD"_t);
    folder.Write("NEW.PDC", " 1  1x\r\n");
    EXPECT_EQ(open(editorkind::kDocument, kOpenText, folder.File("NEW.PDC")),
              status::kStringTooLong);
    EXPECT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(Designer().builtKind, editorkind::kScript);
    EXPECT_EQ(Designer().currentKind, editorkind::kScript) << "its changes still mark the script";
    EXPECT_EQ(editText().size(), 65536u);
    EXPECT_EQ(slot(designerslot::kDocumentBase), "/docs/OLD");
}

TEST_F(DispatchTest, ViewingTheShownKindAgainKeepsItsControls) {
    open(editorkind::kScript, stepflag::kLayout);
    ui.setText(dialog, designerctl::kEdit, "typed");
    ui.setEditSelection(dialog, designerctl::kEdit, 2, 0);
    open(editorkind::kScript, stepflag::kLayout);
    EXPECT_EQ(editText(), "typed");
    EXPECT_EQ(ui.control(dialog, designerctl::kEdit)->selection.start, 2);
}

TEST_F(DispatchTest, AnyOtherKindIsRefusedWithTheErrorBox) {
    // Only a number from outside could name one: the kinds are a closed set everywhere else.
    EXPECT_EQ(open(static_cast<EditorKind>(9), stepflag::kLayout), status::kData);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].caption, "Alerta de Mensaje Fatal");
    EXPECT_EQ(Designer().currentKind, editorkind::kNone);
}

// ---- Loading, new and the discard question ----------------------------------------------------

TEST_F(DispatchTest, OpeningAScriptLoadsItAndNamesIt) {
    folder.Write("ALPROC.PRX", "A=1 | B\r\n\tC\r\n");
    ASSERT_EQ(open(editorkind::kScript, kOpenText, folder.File("ALPROC.PRX")), status::kOk);
    EXPECT_EQ(editText(), "A=1 | B\r\n\tC\r\n");
    EXPECT_EQ(slot(designerslot::kScriptBase), folder.File("ALPROC"));
    EXPECT_EQ(title(), "Vodarir Script Edition (ALPROC)");
    EXPECT_FALSE(KindModified(editorkind::kScript)) << "a file just opened has no changes";
}

TEST_F(DispatchTest, OpeningOverChangesAsksOnceAndNoKeepsTextAndName) {
    folder.Write("A.PRX", "first");
    folder.Write("B.PRX", "second");
    open(editorkind::kScript, kOpenText, folder.File("A.PRX"));
    ui.setText(dialog, designerctl::kEdit, "first, changed");
    MarkModified(markop::kMark);
    ui.queueBoxAnswer(BoxAnswer::No);
    EXPECT_EQ(open(editorkind::kScript, kOpenText, folder.File("B.PRX")), status::kOk);
    EXPECT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(editText(), "first, changed");
    // The text on screen is still A's: a Save must not write it over B.
    EXPECT_EQ(slot(designerslot::kScriptBase), folder.File("A"));
    EXPECT_EQ(title(), "Vodarir Script Edition (A)");
    EXPECT_TRUE(KindModified(editorkind::kScript));
    ui.queueBoxAnswer(BoxAnswer::Yes);
    open(editorkind::kScript, kOpenText, folder.File("B.PRX"));
    EXPECT_EQ(editText(), "second");
    EXPECT_EQ(slot(designerslot::kScriptBase), folder.File("B"));
}

TEST_F(DispatchTest, ChangesOfAnotherKindAskNothing) {
    folder.Write("B.PRX", "second");
    Designer().currentKind = editorkind::kDocument;
    MarkModified(markop::kMark);
    open(editorkind::kScript, kOpenText, folder.File("B.PRX"));
    EXPECT_TRUE(ui.shownBoxes().empty());
    EXPECT_EQ(editText(), "second");
}

TEST_F(DispatchTest, OpeningAStructureOverChangesAsksOnceForBothSteps) {
    std::filesystem::copy_file(VODARIR_EXAMPLES_DIR "/almacen/ALDICC.DAT",
                               folder.File("ALDICC.DAT"));
    std::filesystem::copy_file(VODARIR_EXAMPLES_DIR "/almacen/ALREL.DAT", folder.File("ALREL.DAT"));
    constexpr std::uint16_t kOpenStructure =
        stepflag::kLayout | stepflag::kStoreName | stepflag::kNewStructure | stepflag::kLoad;
    ASSERT_EQ(open(editorkind::kFileStructure, kOpenStructure, folder.File("ALDICC.DAT")),
              status::kOk);
    const std::uint16_t files = FileCount();
    ASSERT_GT(files, 0);
    MarkModified(markop::kMark);
    ui.queueBoxAnswer(BoxAnswer::Yes);
    ASSERT_EQ(open(editorkind::kFileStructure, kOpenStructure, folder.File("ALDICC.DAT")),
              status::kOk);
    EXPECT_EQ(ui.shownBoxes().size(), 1u) << "the clear and the load share one answer";
    EXPECT_EQ(FileCount(), files) << "cleared, then loaded once";
    EXPECT_EQ(title(), "Vodarir File Structure (ALDICC)");
    MarkModified(markop::kMark);
    ui.queueBoxAnswer(BoxAnswer::No);
    open(editorkind::kFileStructure, kOpenStructure, folder.File("ALDICC.DAT"));
    EXPECT_EQ(ui.shownBoxes().size(), 2u);
    EXPECT_EQ(FileCount(), files) << "refused: neither cleared nor loaded again";
    ClearDictionary();
}

TEST_F(DispatchTest, NewClearsTheTextOnlyWhenTheUserAgrees) {
    open(editorkind::kDocument, stepflag::kLayout);
    ui.setText(dialog, designerctl::kEdit, "keep?");
    MarkModified(markop::kMark);
    ui.queueBoxAnswer(BoxAnswer::No);
    open(editorkind::kDocument, stepflag::kLayout | stepflag::kNewDocument);
    EXPECT_EQ(editText(), "keep?");
    ui.queueBoxAnswer(BoxAnswer::Yes);
    open(editorkind::kDocument, stepflag::kLayout | stepflag::kNewDocument);
    EXPECT_EQ(editText(), "");
    EXPECT_FALSE(KindModified(editorkind::kDocument));
}

TEST_F(DispatchTest, NewScriptFromAnotherLayoutEmptiesTheParkedScript) {
    open(editorkind::kScript, stepflag::kLayout);
    ui.setText(dialog, designerctl::kEdit, "old script");
    open(editorkind::kDocument, stepflag::kLayout);
    open(editorkind::kScript, stepflag::kLayout | stepflag::kNewScript);
    EXPECT_EQ(editText(), "");
}

TEST_F(DispatchTest, AMissingDocumentOpensEmptyWithoutAMessage) {
    open(editorkind::kDocument, stepflag::kLayout);
    ui.setText(dialog, designerctl::kEdit, "before");
    EXPECT_EQ(open(editorkind::kDocument, kOpenText, folder.File("NUEVO.PDC")), status::kOk);
    EXPECT_EQ(editText(), "");
    EXPECT_TRUE(ui.shownBoxes().empty());
    EXPECT_EQ(slot(designerslot::kDocumentBase), folder.File("NUEVO"));
}

TEST_F(DispatchTest, AMissingScriptIsReportedAndChangesNothing) {
    folder.Write("A.PRX", "kept");
    open(editorkind::kScript, kOpenText, folder.File("A.PRX"));
    EXPECT_EQ(open(editorkind::kScript, kOpenText, folder.File("GONE.PRX")), status::kFileNotFound);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_NE(ui.shownBoxes()[0].text.find("GONE.PRX"), std::string::npos)
        << ui.shownBoxes()[0].text;
    EXPECT_EQ(editText(), "kept");
    EXPECT_EQ(slot(designerslot::kScriptBase), folder.File("A"));
    EXPECT_EQ(title(), "Vodarir Script Edition (A)");
}

TEST_F(DispatchTest, AScriptTooLongForTheEditorIsRefusedAtLoad) {
    folder.Write("BIG.PRX", std::string(65536, 'b'));
    folder.Write("MAX.PRX", std::string(65535, 'm'));
    open(editorkind::kScript, stepflag::kLayout);
    ui.setText(dialog, designerctl::kEdit, "mine");
    EXPECT_EQ(open(editorkind::kScript, kOpenText, folder.File("BIG.PRX")), status::kStringTooLong);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_NE(ui.shownBoxes()[0].text.find("65536 > 65535"), std::string::npos)
        << ui.shownBoxes()[0].text;
    EXPECT_EQ(editText(), "mine");
    EXPECT_EQ(slot(designerslot::kScriptBase), "");
    EXPECT_EQ(open(editorkind::kScript, kOpenText, folder.File("MAX.PRX")), status::kOk);
    EXPECT_EQ(editText().size(), 65535u);
}

// ---- Screens: the new-screen step and the work base ------------------------------------------

TEST_F(DispatchTest, NewScreenAppendsOrStartsAFileAsAnswered) {
    constexpr std::uint16_t kNewScreen =
        stepflag::kLayout | stepflag::kStoreName | stepflag::kWorkBase | stepflag::kNewScreen;
    ASSERT_EQ(open(editorkind::kScreen, kNewScreen), status::kOk);
    EXPECT_TRUE(ui.shownBoxes().empty()) << "a file without screens just gets one";
    EXPECT_EQ(Designer().screenCount, 1);
    EXPECT_EQ(Designer().screenNumber, 1);
    EXPECT_EQ(title(), "Vodarir Screen Design (New #1)");
    const std::string work = slot(designerslot::kWorkBase);
    EXPECT_NE(work.find(".New"), std::string::npos) << work;

    SetDesignerSlot(designerslot::kScreenBase, TextView(folder.File("ALMENU")));
    Designer().screenCount = 2;
    ui.queueBoxAnswer(BoxAnswer::No);
    open(editorkind::kScreen, kNewScreen, folder.File("ALMENU"));
    EXPECT_EQ(Designer().screenCount, 3);
    EXPECT_EQ(Designer().screenNumber, 3);
    EXPECT_EQ(ui.shownBoxes().back().text,
              "New File?. Answering NO will append a Screen to current file");
    EXPECT_EQ(slot(designerslot::kWorkBase), work) << "the work base is made once per run";

    MarkModified(markop::kMark);
    ui.queueBoxAnswer(BoxAnswer::Yes);
    ui.queueBoxAnswer(BoxAnswer::No);
    open(editorkind::kScreen, kNewScreen, folder.File("ALMENU"));
    EXPECT_EQ(Designer().screenCount, 3) << "Yes, then keeping the changes: nothing changes";
    EXPECT_EQ(slot(designerslot::kScreenBase), folder.File("ALMENU"));

    folder.Write("probe", "");
    std::ofstream(work + ".PAN") << "x";
    std::ofstream(work + ".PPN") << "x";
    ui.queueBoxAnswer(BoxAnswer::Yes);
    ui.queueBoxAnswer(BoxAnswer::Yes);
    open(editorkind::kScreen, kNewScreen, folder.File("ALMENU"));
    EXPECT_EQ(Designer().screenCount, 1);
    EXPECT_EQ(slot(designerslot::kScreenBase), "");
    EXPECT_FALSE(std::filesystem::exists(work + ".PAN")) << "a new file drops the old work files";
    EXPECT_FALSE(std::filesystem::exists(work + ".PPN"));
}

// ---- The file dialogs -------------------------------------------------------------------------

TEST_F(DispatchTest, EachDialogTypeHasItsFilterInitialNameAndExtension) {
    struct Row {
        int type;
        bool save;
        const char* filter;
        const char* pattern;
        const char* initial;
        const char* extension;
    };
    const Row rows[] = {
        {1, false, "Ficheros de Estructura (*.DAT)", "*.DAT", "??DICC.DAT", ""},
        {2, true, "Ficheros de Pantalla (*.PAN)", "*.PAN", "*.PAN", "PAN"},
        {3, true, "Ficheros de Plantilla de Impresi\xf3n (*.PDC)", "*.PDC", "*.PDC", "PDC"},
        {4, false, "Ficheros de Procedimientos (*.PRX)", "*.PRX", "*.PRX", ""},
        {5, true, "Ficheros de Selecci\xf3n de Aplicaci\xf3n (*.ZAA)", "*.ZAA", "*.ZAA", "ZAA"},
        {6, false, "Ficheros de Men\xfa (*.PPN)", "*.PPN", "??MENU.PPN", ""},
        {7, false, "Ficheros PDF (*.PDF)", "*.PDF", "*.PDF", ""},
        {8, true, "Ficheros de Texto (*.TXT)", "*.TXT", "*.TXT", "TXT"},
        {10, false, "Ficheros de Estructura (*.DAT)", "*.DAT", "*.DAT", ""},
    };
    for (const Row& row : rows) {
        ui.queueFileChoice("");
        const ScratchLevel mark = ScratchMark();
        EXPECT_TRUE(
            ChooseDefinitionFile(dialog, row.save, DialogTypeFromNumber(row.type).type).empty());
        ScratchRelease(mark);
        const platform::FileDialogSpec& spec = ui.shownFileDialogs().back().spec;
        EXPECT_EQ(spec.mode,
                  row.save ? platform::FileDialogMode::Save : platform::FileDialogMode::Open)
            << row.type;
        ASSERT_EQ(spec.filters.size(), 2u) << row.type;
        EXPECT_EQ(spec.filters[0].description, row.filter) << row.type;
        EXPECT_EQ(spec.filters[0].pattern, row.pattern) << row.type;
        EXPECT_EQ(spec.filters[1].description, "Todos (*.*)");
        EXPECT_EQ(spec.filters[1].pattern, "*.*");
        EXPECT_EQ(spec.initialName, row.initial) << row.type;
        EXPECT_EQ(spec.defaultExtension, row.extension) << row.type;
    }
    ui.queueFileChoice("");
    ChooseDefinitionFile(dialog, false, DialogTypeFromNumber(9).type);
    EXPECT_EQ(ui.shownFileDialogs().back().spec.initialName, "*");
    ASSERT_EQ(ui.shownFileDialogs().back().spec.filters.size(), 1u);
}

TEST_F(DispatchTest, TheApplicationPrefixTakesThePlaceOfTheQuestionMarks) {
    SlotSet(slotgroup::kEnvironment, 2, "ALMACEN"_t);
    for (const auto& [type, initial] : std::vector<std::pair<int, std::string>>{
             {0x41, "ALDICC.DAT"}, {0x44, "AL*.PRX"}, {0x46, "ALMENU.PPN"}, {1, "??DICC.DAT"}}) {
        ui.queueFileChoice("");
        const DialogRequest request = DialogTypeFromNumber(type);
        ChooseDefinitionFile(dialog, false, request.type, request.flags);
        EXPECT_EQ(ui.shownFileDialogs().back().spec.initialName, initial) << type;
    }
    SlotSet(slotgroup::kEnvironment, 2, TextRef());
    ui.queueFileChoice("");
    ChooseDefinitionFile(dialog, false, DialogType::Structure, DialogFlags::AppPrefix);
    EXPECT_EQ(ui.shownFileDialogs().back().spec.initialName, "??DICC.DAT");
}

TEST_F(DispatchTest, AChosenFilesFolderBecomesTheCurrentDirectory) {
    std::filesystem::create_directory(folder.File("apps"));
    const std::string start = std::filesystem::current_path().string();
    ui.queueFileChoice(folder.File("apps/ALPROC.PRX"));
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(Str(ChooseDefinitionFile(dialog, false, DialogType::Script)),
              folder.File("apps/ALPROC.PRX"));
    ScratchRelease(mark);
    EXPECT_EQ(std::filesystem::current_path(), folder.File("apps"));
    std::filesystem::current_path(start);
    ui.queueFileChoice(folder.File("apps/ALPROC.PRX"));
    ChooseDefinitionFile(dialog, false, DialogType::Script, DialogFlags::RestoreFolder);
    ScratchRelease(mark);
    EXPECT_EQ(std::filesystem::current_path(), start) << "flag 0x80 puts the folder back";
    ui.queueFileChoice("");
    ChooseDefinitionFile(dialog, false, DialogType::Script);
    EXPECT_EQ(std::filesystem::current_path(), start) << "a cancelled dialog moves nothing";
}

// ---- Saving -----------------------------------------------------------------------------------

TEST_F(DispatchTest, SavingWithoutChangesAsksFirstAndNoWritesNothing) {
    folder.Write("A.PRX", "on disk");
    open(editorkind::kScript, kOpenText, folder.File("A.PRX"));
    ui.setText(dialog, designerctl::kEdit, "not marked");
    ui.queueBoxAnswer(BoxAnswer::No);
    SaveCommand(dialog, editorkind::kScript, false);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].text, "No data modified. Do you want to save anyway?");
    EXPECT_TRUE(ui.shownFileDialogs().size() == 0) << "no name is asked for";
    EXPECT_EQ(folder.Read("A.PRX"), "on disk");
    EXPECT_FALSE(folder.Exists("Backups"));
    ui.queueBoxAnswer(BoxAnswer::Yes);
    SaveCommand(dialog, editorkind::kScript, false);
    EXPECT_EQ(folder.Read("A.PRX"), "not marked");
}

TEST_F(DispatchTest, ANeverNamedDefinitionAsksForANameEvenOnSave) {
    open(editorkind::kDocument, stepflag::kLayout);
    ui.setText(dialog, designerctl::kEdit, "   Factura");
    MarkModified(markop::kMark);
    ui.queueFileChoice(folder.File("ALFACT.PDC"));
    SaveCommand(dialog, editorkind::kDocument, false);
    ASSERT_EQ(ui.shownFileDialogs().size(), 1u);
    EXPECT_EQ(ui.shownFileDialogs()[0].spec.mode, platform::FileDialogMode::Save);
    EXPECT_EQ(folder.Read("ALFACT.PDC"), " 1  4Factura\r\n");
    EXPECT_EQ(slot(designerslot::kDocumentBase), folder.File("ALFACT"));
    EXPECT_EQ(title(), "Vodarir Document Design (ALFACT)");
    EXPECT_FALSE(KindModified(editorkind::kDocument));
}

TEST_F(DispatchTest, TheReplacedFileIsBackedUpWholeUnderAUniqueName) {
    std::string big(70000, 'q');
    big[69999] = 'Z';
    folder.Write("BIG.PRX", big);
    folder.Write("A.PRX", "first");
    open(editorkind::kScript, kOpenText, folder.File("A.PRX"));
    ui.setText(dialog, designerctl::kEdit, "one");
    MarkModified(markop::kMark);
    SaveCommand(dialog, editorkind::kScript, false);
    ui.setText(dialog, designerctl::kEdit, "two");
    MarkModified(markop::kMark);
    SaveCommand(dialog, editorkind::kScript, false);
    EXPECT_EQ(folder.Read("A.PRX"), "two");
    std::vector<std::string> copies;
    for (const auto& e : std::filesystem::directory_iterator(folder.File("Backups"))) {
        copies.push_back(e.path().filename().string());
    }
    ASSERT_EQ(copies.size(), 2u);
    std::sort(copies.begin(), copies.end());
    for (const std::string& name : copies) {
        EXPECT_EQ(name.rfind("A.", 0), 0u) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".PRX") << name;
    }
    EXPECT_NE(copies[0], copies[1]);

    // A file too long to load is still backed up whole before a save replaces it.
    SetDesignerSlot(designerslot::kScriptBase, TextView(folder.File("BIG")));
    MarkModified(markop::kMark);
    SaveCommand(dialog, editorkind::kScript, false);
    bool found = false;
    for (const auto& e : std::filesystem::directory_iterator(folder.File("Backups"))) {
        if (e.path().filename().string().rfind("BIG.", 0) != 0) continue;
        std::ifstream in(e.path(), std::ios::binary);
        const std::string copy((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(copy, big) << "a backup is never cut at 65535 bytes";
        found = true;
    }
    EXPECT_TRUE(found);
}

TEST_F(DispatchTest, ABackupThatCannotBeMadeStopsTheSave) {
    folder.Write("A.PRX", "precious");
    folder.Write("Backups", "a file where the folder should be");
    open(editorkind::kScript, kOpenText, folder.File("A.PRX"));
    ui.setText(dialog, designerctl::kEdit, "new");
    MarkModified(markop::kMark);
    SaveCommand(dialog, editorkind::kScript, false);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].caption, "Mensaje Informativo");
    EXPECT_EQ(ui.shownBoxes()[0].icon, platform::BoxIcon::Exclamation);
    EXPECT_EQ(folder.Read("A.PRX"), "precious");
    EXPECT_TRUE(KindModified(editorkind::kScript)) << "nothing was saved";
}

TEST_F(DispatchTest, AFailedWriteKeepsTheOldFileAndTheChanges) {
    folder.Write("A.PRX", std::string(3000, 'o'));
    open(editorkind::kScript, kOpenText, folder.File("A.PRX"));
    ui.setText(dialog, designerctl::kEdit, std::string(5000, 'n'));
    MarkModified(markop::kMark);
    // The backup copy's six chunks of 512 bytes go through; the script's own write then comes up
    // short, as on a full disk.
    FileFailWritesAfter(6, 100);
    SaveCommand(dialog, editorkind::kScript, false);
    FileFailWritesAfter(-1);
    EXPECT_EQ(folder.Read("A.PRX"), std::string(3000, 'o'));
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].caption, "Alerta de Mensaje Fatal");
    EXPECT_TRUE(KindModified(editorkind::kScript)) << "closing must still ask";
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2) << "A.PRX and Backups: no half-written file is left beside them";
}

// The names in the backups folder, sorted, with the unique part of each as "*".
std::vector<std::string> BackupNames(const TempFolder& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder.File("Backups"), ec)) {
        const std::string name = e.path().filename().string();
        const std::size_t first = name.find('.');
        const std::size_t last = name.rfind('.');
        names.push_back(name.substr(0, first) + ".*" + name.substr(last));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string BackupOf(const TempFolder& folder, const std::string& name) {
    for (const auto& e : std::filesystem::directory_iterator(folder.File("Backups"))) {
        if (e.path().filename().string().rfind(name + ".", 0) != 0) continue;
        std::ifstream in(e.path(), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }
    return "(none)";
}

TEST_F(DispatchTest, SavingOverAnotherFileBacksUpThatFile) {
    folder.Write("A.PRX", "mine");
    folder.Write("B.PRX", "theirs");
    folder.Write("C.PDC", " 1  1Carta\r\n");
    open(editorkind::kScript, kOpenText, folder.File("A.PRX"));
    ui.setText(dialog, designerctl::kEdit, "edited");
    MarkModified(markop::kMark);
    ui.queueFileChoice(folder.File("B.PRX"));
    SaveCommand(dialog, editorkind::kScript, true);
    EXPECT_EQ(folder.Read("B.PRX"), "edited");
    EXPECT_EQ(folder.Read("A.PRX"), "mine") << "Save as leaves the first file alone";
    EXPECT_EQ(BackupNames(folder), std::vector<std::string>{"B.*.PRX"});
    EXPECT_EQ(BackupOf(folder, "B"), "theirs") << "the replaced file's contents are kept";

    // The first Save of a new document, onto an existing file, keeps that file too.
    open(editorkind::kDocument, stepflag::kLayout | stepflag::kNewDocument);
    ui.setText(dialog, designerctl::kEdit, "Nueva");
    MarkModified(markop::kMark);
    ui.queueFileChoice(folder.File("C.PDC"));
    SaveCommand(dialog, editorkind::kDocument, false);
    EXPECT_EQ(folder.Read("C.PDC"), " 1  1Nueva\r\n");
    EXPECT_EQ(BackupOf(folder, "C"), " 1  1Carta\r\n");
    EXPECT_EQ(BackupNames(folder), (std::vector<std::string>{"B.*.PRX", "C.*.PDC"}));
}

TEST_F(DispatchTest, AReadOnlyFileIsRefusedBeforeAnythingIsWritten) {
    namespace fs = std::filesystem;
    // The permission bits decide, so the refusal holds when the tests run as the superuser too.
    const fs::perms readOnly =
        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    folder.Write("A.PRX", "locked");
    folder.Write("B.PRX", "locked too");
    fs::permissions(folder.File("A.PRX"), readOnly);
    fs::permissions(folder.File("B.PRX"), readOnly);
    open(editorkind::kScript, kOpenText, folder.File("A.PRX"));
    ui.setText(dialog, designerctl::kEdit, "changed");
    MarkModified(markop::kMark);
    SaveCommand(dialog, editorkind::kScript, false);
    // Save as onto another read-only file keeps the name the text had.
    ui.queueBoxAnswer(BoxAnswer::Yes); // drop the changes of A
    open(editorkind::kScript, stepflag::kLayout | stepflag::kNewScript);
    ui.setText(dialog, designerctl::kEdit, "new");
    MarkModified(markop::kMark);
    ui.queueFileChoice(folder.File("B.PRX"));
    SaveCommand(dialog, editorkind::kScript, true);
    const std::string start = "[Mensaje Informativo] ";
    const std::string end = " is read-only: it was not saved. Allow writing to it or save under "
                            "another name.";
    ASSERT_EQ(ui.shownBoxes().size(), 3u);
    EXPECT_EQ(boxes()[0], start + folder.File("A.PRX") + end);
    EXPECT_EQ(boxes()[2], start + folder.File("B.PRX") + end);
    EXPECT_EQ(folder.Read("A.PRX"), "locked");
    EXPECT_EQ(folder.Read("B.PRX"), "locked too");
    EXPECT_FALSE(folder.Exists("Backups")) << "nothing to keep when nothing is replaced";
    EXPECT_TRUE(KindModified(editorkind::kScript));
    EXPECT_EQ(slot(designerslot::kScriptBase), "");
    EXPECT_EQ(title(), "Vodarir Script Edition (New)");
}

TEST_F(DispatchTest, SavingThroughALinkWritesTheFileItNames) {
    namespace fs = std::filesystem;
    fs::create_directory(folder.File("real"));
    folder.Write("real/R.PRX", "old");
    fs::create_symlink("real/R.PRX", folder.File("L.PRX"));
    open(editorkind::kScript, kOpenText, folder.File("L.PRX"));
    EXPECT_EQ(editText(), "old");
    ui.setText(dialog, designerctl::kEdit, "new");
    MarkModified(markop::kMark);
    SaveCommand(dialog, editorkind::kScript, false);
    EXPECT_TRUE(fs::is_symlink(folder.File("L.PRX"))) << "the link stays a link";
    EXPECT_EQ(folder.Read("real/R.PRX"), "new");
    EXPECT_EQ(BackupOf(folder, "L"), "old");
}

TEST_F(DispatchTest, TheTitleAlwaysNamesWhatIsShown) {
    folder.Write("ALPEDIDO.PDC", " 1  1Pedido\r\n");
    open(editorkind::kDocument, kOpenText, folder.File("ALPEDIDO.PDC"));
    EXPECT_EQ(title(), "Vodarir Document Design (ALPEDIDO)");
    // A script that cannot be opened: the script layout is shown, with the script it had.
    open(editorkind::kScript, kOpenText, folder.File("NOHAY.PRX"));
    EXPECT_EQ(Designer().builtKind, editorkind::kScript);
    EXPECT_EQ(title(), "Vodarir Script Edition (New)");

    // A Save as whose writer fails keeps the name the text had, and the next Save asks again.
    open(editorkind::kDocument, stepflag::kLayout | stepflag::kNewDocument);
    std::string rows;
    for (int i = 0; i < 100; ++i) rows += "x\r\n"; // row 100 cannot be written
    ui.setText(dialog, designerctl::kEdit, rows);
    MarkModified(markop::kMark);
    ui.queueFileChoice(folder.File("LARGO.PDC"));
    SaveCommand(dialog, editorkind::kDocument, true);
    EXPECT_EQ(ui.shownBoxes().size(), 2u) << "the failed open, then the failed save";
    EXPECT_EQ(slot(designerslot::kDocumentBase), "");
    EXPECT_EQ(title(), "Vodarir Document Design (New)");
    ui.queueFileChoice("");
    SaveCommand(dialog, editorkind::kDocument, false);
    EXPECT_EQ(ui.shownFileDialogs().size(), 2u) << "Save asks for a name: the text still has none";
    EXPECT_FALSE(folder.Exists("LARGO.PDC"));
}

TEST_F(DispatchTest, ACancelledSaveDialogCancelsSilently) {
    open(editorkind::kScript, stepflag::kLayout);
    ui.setText(dialog, designerctl::kEdit, "x");
    MarkModified(markop::kMark);
    ui.queueFileChoice("");
    SaveCommand(dialog, editorkind::kScript, true);
    EXPECT_TRUE(ui.shownBoxes().empty());
    EXPECT_TRUE(KindModified(editorkind::kScript));
    EXPECT_EQ(folder.EntryCount(), 0);
}

} // namespace
} // namespace vodarir::testing
