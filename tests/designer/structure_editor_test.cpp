// The file-structure editor on the scripted face: what its dialogs accept, changes the model
// refuses, undo and redo, a load or a save that fails, and the keys of its lists.
#include <gtest/gtest.h>

#include <filesystem>

#include "designer/editor_dispatch.h"
#include "designer/structure_dialogs.h"
#include "designer/structure_editor.h"
#include "designer_fixture.h"
#include "dictionary/dictionary.h"
#include "host/text_files.h"

namespace vodarir::testing {
namespace {

using platform::BoxAnswer;
namespace act = platform::act;
namespace vk = platform::vk;

constexpr std::uint16_t kOpen =
    stepflag::kLayout | stepflag::kStoreName | stepflag::kNewStructure | stepflag::kLoad;

// ---- The dialogs' checks --------------------------------------------------------------------

TEST(StructureDialogChecks, FieldPropertiesAreCheckedInOrder) {
    using R = RefusalReason;
    struct Row {
        FieldProperties value;
        std::optional<DialogRefusal> expected;
    };
    const DialogRefusal name{filefieldsctl::kName, R::Silent};
    const DialogRefusal length{filefieldsctl::kLength, R::Silent};
    const DialogRefusal type{filefieldsctl::kType, R::Silent};
    const Row rows[] = {
        {{"CODIGO", "10", "A"}, std::nullopt},
        {{"CODIGO", "999", "V"}, std::nullopt},
        {{"CODIGO", "010", "2xyz"}, std::nullopt}, // the type's first letter counts
        {{"", "0", "a"}, name},                    // the first failure wins
        {{"   \t", "10", "A"}, name},              // blanks the file would drop
        {{"A*B", "10", "A"}, DialogRefusal{filefieldsctl::kName, R::NameUnwritable}},
        {{"A\r\nB", "10", "A"}, DialogRefusal{filefieldsctl::kName, R::NameUnwritable}},
        {{"CODIGO", "0", "A"}, length},
        {{"CODIGO", "", "A"}, length},
        {{"CODIGO", "1000", "A"}, length}, // does not fit three columns
        {{"CODIGO", "99999999999999999999", "A"}, length},
        {{"CODIGO", "10", "a"}, type}, // lower case
        {{"CODIGO", "10", ""}, type},
        {{"CODIGO", "10", "E"}, type},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CheckFieldProperties(row.value), row.expected)
            << row.value.name << "|" << row.value.length << "|" << row.value.type;
    }
    EXPECT_EQ(CheckFileName(""), std::nullopt) << "an empty file name is allowed";
    EXPECT_EQ(CheckFileName("clientes  "), std::nullopt);
    EXPECT_EQ(CheckFileName("a*b"), (DialogRefusal{filenewctl::kName, R::NameUnwritable}));
    EXPECT_EQ(CheckFileName("a\nb"), (DialogRefusal{filenewctl::kName, R::NameUnwritable}));
}

// ---- The editor in the main dialog ----------------------------------------------------------

class StructureEditorTest : public DesignerTest {
protected:
    void SetUp() override {
        DesignerTest::SetUp();
        for (const char* name : {"ALDICC.DAT", "ALREL.DAT"}) {
            std::filesystem::copy_file(std::string(VODARIR_EXAMPLES_DIR) + "/almacen/" + name,
                                       folder.File(name));
        }
    }
    void TearDown() override {
        ClearDictionary();
        DesignerTest::TearDown();
    }
    StatusCode open(const std::string& name) {
        return OpenEditor(dialog, editorkind::kFileStructure, kOpen, TextView(folder.File(name)));
    }
    void notify(platform::ControlId id, int code, int row) {
        KindEditor(editorkind::kFileStructure).listNotify(dialog, id, code, row);
    }
    bool key(platform::ControlId id, platform::VirtualKey k, platform::Modifiers mods = 0) {
        return KindEditor(editorkind::kFileStructure).key(dialog, id, k, mods);
    }
    std::vector<std::string> column(platform::ControlId id) const {
        std::vector<std::string> cells;
        const int rows = ui.listRowCount(dialog, id);
        for (int r = 0; r < rows; ++r) cells.push_back(ui.listCell(dialog, id, r, 0).value_or("?"));
        return cells;
    }
    // The File New dialog answered with a name.
    void answerFileNew(const std::string& name) {
        ui.queueModal(kFileNewTitle, {act::Select(filenewctl::kName, 0, 1000),
                                      act::Type(filenewctl::kName, name), act::Click(1)});
    }
};

TEST_F(StructureEditorTest, OpeningShowsTheFilesAndTheFirstFilesFields) {
    ASSERT_EQ(open("ALDICC.DAT"), status::kOk);
    const std::vector<std::string> files = column(designerctl::kFileList);
    ASSERT_EQ(files.size(), 8u);
    EXPECT_EQ(files[0], "articulos");
    EXPECT_EQ(files[7], kAddRowText);
    EXPECT_EQ(column(designerctl::kFieldList).front(), "CODART");
    const platform::ShownControl* list = ui.control(dialog, designerctl::kFileList);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->rect, (platform::Rect{20, 30, 150, 112})) << "16 pixels a file";
    const platform::ShownControl* fields = ui.control(dialog, designerctl::kFieldList);
    const platform::Size client = ui.clientSize(dialog);
    EXPECT_EQ(fields->rect, (platform::Rect{200, 30, client.width - 220, client.height - 60}));
}

TEST_F(StructureEditorTest, AFailedLoadLeavesTheStructureTheListsAndTheMarkAsTheyWere) {
    ASSERT_EQ(open("ALDICC.DAT"), status::kOk);
    answerFileNew("nuevo");
    notify(designerctl::kFileList, platform::notify::NmDblClk, 7);
    ASSERT_EQ(FileCount(), 8);
    folder.Write("BADICC.DAT", "0100<     10>AFIELD BEFORE ANY FILE\r\n");
    ui.queueBoxAnswer(BoxAnswer::Yes);
    EXPECT_EQ(open("BADICC.DAT"), status::kFileOutBound);
    EXPECT_EQ(FileCount(), 8);
    EXPECT_EQ(column(designerctl::kFileList)[7], "nuevo");
    EXPECT_TRUE(KindModified(editorkind::kFileStructure)) << "the unsaved file is still unsaved";
    EXPECT_EQ(slot(designerslot::kStructureBase), folder.File("ALDICC"));
    EXPECT_TRUE(UndoStructureChange(dialog)) << "and its history is still there";
    EXPECT_EQ(FileCount(), 7);
}

TEST_F(StructureEditorTest, UndoAndRedoWalkTheChangesAndMarkTheStructure) {
    ASSERT_EQ(open("ALDICC.DAT"), status::kOk);
    const std::string loaded = EditedStructure().Bytes();
    ui.queuePopupChoice("Delete");
    notify(designerctl::kFileList, platform::notify::NmRClick, 6); // usuarios: REL names it last
    ASSERT_EQ(ui.shownBoxes().size(), 1u) << "REL.DAT would name a file that is gone";
    EXPECT_NE(ui.shownBoxes()[0].text.find("ALREL.DAT (Line:"), std::string::npos)
        << ui.shownBoxes()[0].text;
    EXPECT_EQ(FileCount(), 7);
    ui.queueModal(kFileFieldsTitle, {act::Type(filefieldsctl::kName, "NOTAS"),
                                     act::Type(filefieldsctl::kLength, "20"),
                                     act::Type(filefieldsctl::kType, "A"), act::Click(1)});
    EXPECT_TRUE(key(designerctl::kFieldList, vk::Insert)) << "Insert on a field inserts before it";
    ASSERT_EQ(FieldCount(1), 12);
    EXPECT_TRUE(KindModified(editorkind::kFileStructure));
    MarkModified(markop::kClear); // as a save does
    EXPECT_TRUE(key(designerctl::kFieldList, 'Z', platform::kModControl));
    EXPECT_EQ(FieldCount(1), 11);
    EXPECT_EQ(EditedStructure().Bytes(), loaded);
    EXPECT_TRUE(KindModified(editorkind::kFileStructure)) << "an undo is a change to save";
    EXPECT_TRUE(key(designerctl::kFileList, 'Y', platform::kModControl));
    EXPECT_EQ(Str(FieldName(1, 1)), "NOTAS");
    EXPECT_FALSE(RedoStructureChange(dialog)) << "nothing more to redo";
    ui.queueBoxAnswer(BoxAnswer::Yes);
    OpenEditor(dialog, editorkind::kFileStructure, stepflag::kLayout | stepflag::kNewStructure,
               TextRef());
    EXPECT_EQ(FileCount(), 0);
    EXPECT_FALSE(UndoStructureChange(dialog)) << "File > New starts a new history";
}

TEST_F(StructureEditorTest, TheModelsLimitsRefuseAChangeAndLeaveTheLists) {
    ASSERT_EQ(open("ALDICC.DAT"), status::kOk);
    for (int i = 8; i <= 30; ++i) {
        answerFileNew("f" + std::to_string(i));
        notify(designerctl::kFileList, platform::notify::NmDblClk, i - 1);
    }
    ASSERT_EQ(FileCount(), 30);
    ASSERT_TRUE(ui.shownBoxes().empty());
    answerFileNew("f31");
    notify(designerctl::kFileList, platform::notify::NmDblClk, 30);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].text, "Error FILEOUTBOUND");
    EXPECT_EQ(FileCount(), 30) << "no 31st file: its line would read as an index line";
    EXPECT_EQ(column(designerctl::kFileList).size(), 31u);
}

TEST_F(StructureEditorTest, AFailedWriteLeavesTheOldFileAndTheChanges) {
    ASSERT_EQ(open("ALDICC.DAT"), status::kOk);
    const std::string before = folder.Read("ALDICC.DAT");
    answerFileNew("nuevo");
    notify(designerctl::kFileList, platform::notify::NmDblClk, 7);
    // The backup copy's writes go through; the structure file's own write comes up short.
    FileFailWritesAfter(static_cast<int>(before.size() / 512 + 1), 10);
    SaveCommand(dialog, editorkind::kFileStructure, false);
    FileFailWritesAfter(-1);
    EXPECT_EQ(folder.Read("ALDICC.DAT"), before);
    ASSERT_FALSE(ui.shownBoxes().empty());
    EXPECT_TRUE(KindModified(editorkind::kFileStructure));
    SaveCommand(dialog, editorkind::kFileStructure, false);
    EXPECT_EQ(folder.Read("ALDICC.DAT"), EditedStructure().Bytes());
    EXPECT_NE(folder.Read("ALDICC.DAT").find("08* *  nuevo\r\n"), std::string::npos);
}

TEST_F(StructureEditorTest, TheListKeysActAsTheMouseDoes) {
    ASSERT_EQ(open("ALDICC.DAT"), status::kOk);
    ui.selectListRow(dialog, designerctl::kFileList, 1);
    EXPECT_TRUE(key(designerctl::kFileList, vk::Return));
    EXPECT_EQ(column(designerctl::kFieldList).front(), "CODCLI") << "Enter opens clientes";
    ui.selectListRow(dialog, designerctl::kFieldList, 0);
    EXPECT_TRUE(key(designerctl::kFieldList, vk::Delete));
    EXPECT_EQ(column(designerctl::kFieldList).front(), "NOMBRE");
    ui.queuePopupDismiss();
    EXPECT_TRUE(key(designerctl::kFieldList, vk::F10, platform::kModShift));
    ui.queuePopupDismiss();
    EXPECT_TRUE(key(designerctl::kFileList, vk::Apps));
    ASSERT_EQ(ui.shownPopups().size(), 2u);
    ui.selectListRow(dialog, designerctl::kFileList, 7);
    EXPECT_TRUE(key(designerctl::kFileList, vk::Apps)) << "the + row has no popup";
    EXPECT_EQ(ui.shownPopups().size(), 2u);
    EXPECT_FALSE(key(designerctl::kFileList, 'A')) << "other keys go to the list";
}

} // namespace
} // namespace vodarir::testing
