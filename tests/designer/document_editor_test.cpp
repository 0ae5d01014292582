// Documents and scripts: the document's text and file forms both ways, the markers, the limits,
// and scripts kept byte for byte.
#include <gtest/gtest.h>

#include "designer/document_editor.h"
#include "designer/editor_dispatch.h"
#include "designer_fixture.h"

namespace vodarir::testing {
namespace {

using namespace literals;

struct Conversion {
    const char* name;
    std::string text; // in the editor
    std::string file; // on disk
};

// Texts that save to exactly this file and load back to exactly this text.
std::vector<Conversion> RoundTrips() {
    return {
        {"empty", "", ""},
        {"word at row 1", "Factura", " 1  1Factura\r\n"},
        {"row 5, three blanks in", "\r\n\r\n\r\n\r\n   Total", " 5  4Total\r\n"},
        {"blank rows are not stored", "A\r\n\r\n\r\nB", " 1  1A\r\n 4  1B\r\n"},
        {"markers", "|N\xa6x\xaby\xbbz|", " 1  1|N\x17x\x18y\x19z|\r\n"},
        {"column 999", std::string(998, ' ') + "x", " 1999x\r\n"},
        {"row 99",
         std::string(98 * 2, ' ')
                 .replace(0, 196,
                          [] {
                              std::string s;
                              for (int i = 0; i < 98; ++i) s += "\r\n";
                              return s;
                          }()) +
             "end",
         "99  1end\r\n"},
    };
}

TEST(DocumentConversion, TextsAndFilesRoundTrip) {
    for (const Conversion& c : RoundTrips()) {
        std::string file;
        ASSERT_EQ(DocumentFileFromText(c.text, &file), status::kOk) << c.name;
        EXPECT_EQ(file, c.file) << c.name;
        std::string text;
        ASSERT_EQ(DocumentTextFromFile(c.file, &text), status::kOk) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
}

TEST(DocumentConversion, SavingTrimsEachRowAndCountsTabsAsBlanks) {
    const Conversion rows[] = {
        {"trailing blanks and tabs", "Total  \t ", " 1  1Total\r\n"},
        {"a tab before the text", "\tx", " 1  2x\r\n"},
        {"only blanks", "   \r\n\t", ""},
        {"a pasted lone line feed ends a row", "a\nb\rc", " 1  1a\r\n 2  1b\r\n 3  1c\r\n"},
        {"inner blanks stay", "  a  b  ", " 1  3a  b\r\n"},
    };
    for (const Conversion& c : rows) {
        std::string file;
        ASSERT_EQ(DocumentFileFromText(c.text, &file), status::kOk) << c.name;
        EXPECT_EQ(file, c.file) << c.name;
    }
}

TEST(DocumentConversion, LoadingPlacesLinesWhereTheirPositionsSay) {
    const Conversion rows[] = {
        {"a line before the end is appended", "abcdef", " 1  1abc\r\n 1  2def\r\n"},
        {"a line of an earlier row is appended", "\r\nxyz", " 2  1x\r\n 1  1y\r\n 1  9z\r\n"},
        {"positions that are not numbers read 0", "ab", "xx  1a\r\n 1abcb\r\n"},
        {"a short line has no text", "\r\n", " 2\r\n"},
        {"lone CR and LF end lines too", "\r\nb\r\nc", " 2  1b\r 3  1c\n"},
        {"a Ctrl-Z line is not a line", "a", " 1  1a\r\n\x1a\r\n"},
        {"file bytes become markers", "\xa6\xab\xbb", " 1  1\x17\x18\x19\r\n"},
    };
    for (const Conversion& c : rows) {
        std::string text;
        ASSERT_EQ(DocumentTextFromFile(c.file, &text), status::kOk) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
}

TEST(DocumentConversion, RowsAndColumnsBeyondTheirFieldsAreRefused) {
    std::string row100;
    for (int i = 0; i < 99; ++i) row100 += "\r\n";
    row100 += "x";
    std::string file = "untouched";
    EXPECT_EQ(DocumentFileFromText(row100, &file), status::kDataOutBound);
    EXPECT_EQ(DocumentFileFromText(std::string(999, ' ') + "x", &file), status::kDataOutBound);
    EXPECT_EQ(file, "untouched") << "nothing half made is handed out";
    std::string blankRow100 = row100;
    blankRow100.back() = ' ';
    EXPECT_EQ(DocumentFileFromText(blankRow100, &file), status::kOk) << "a blank row is not stored";
}

TEST(DocumentConversion, ATextBeyondTheEditorsLimitIsRefused) {
    std::string text;
    // 99 rows each padded out to column 999: far beyond what the editor holds.
    std::string file;
    for (int row = 1; row <= 99; ++row) {
        file += (row < 10 ? " " : "") + std::to_string(row) + "999x\r\n";
    }
    EXPECT_EQ(DocumentTextFromFile(file, &text), status::kStringTooLong);
    std::string longest(65535, 'a');
    std::string out;
    EXPECT_EQ(DocumentFileFromText(longest, &out), status::kStringTooLong)
        << "its file would not fit a text";
}

TEST(DocumentConversion, LinesThatDoNotComeBackAreFound) {
    struct Row {
        const char* name;
        std::string file;
        std::vector<std::size_t> lines;
    };
    const Row rows[] = {
        {"a file the editor wrote", " 1  1Hola\r\n 3  5Adios |##|\r\n 4  2\x17Total\r\n", {}},
        {"zero-padded fields mean the same", "01001Hola\r\n03005Adios\r\n", {}},
        {"trailing blanks and blank lines lose nothing", " 1  1Hola   \r\n   \r\n\r\n 2  1B", {}},
        {"two lines of one row side by side", " 1  1Ab\r\n 1 10Cd\r\n", {}},
        {"a line shorter than its position", " 1  1Uno\r\nHola\r\n 3\r\n", {2, 3}},
        {"a row after a later row", " 5  1Cinco\r\n 3  1Tres\r\n 6  1Seis\r\n", {2}},
        {"text over other text", " 1  1Hola mundo\r\n 1  3X\r\n", {2}},
        {"row 0 and a row that is no number",
         " 1  1Uno\r\n 0  1Cero\r\nxx  1Equis\r\n 2  1Dos\r\n",
         {2, 3}},
        {"a column that is no number", " 1abcHola\r\n", {1}},
        {"literal quotes and broken bar become markers",
         " 1  1\xab cita \xbb\r\n 2  1ok\r\n 3  1a\xa6"
         "b\r\n",
         {1, 3}},
        {"lone CR and LF endings count lines too", " 1  1A\r 2  1B\nxx\r\n", {3}},
    };
    for (const Row& row : rows) EXPECT_EQ(DocumentLinesNotKept(row.file), row.lines) << row.name;
}

class DocumentFilesTest : public DesignerTest {
protected:
    static constexpr std::uint16_t kOpen =
        stepflag::kLayout | stepflag::kStoreName | stepflag::kLoad;
};

TEST_F(DocumentFilesTest, ASavedDocumentLoadsBackAtTheSamePlaces) {
    const std::string text = "\r\n  FACTURA \xbb\r\n\r\n\r\n   Cliente: |   |\r\n\t\xa6Total";
    OpenEditor(dialog, editorkind::kDocument, stepflag::kLayout, TextRef());
    ui.setText(dialog, designerctl::kEdit, text);
    ASSERT_EQ(SaveDocument(dialog, TextView(folder.File("ALFACT"))), status::kOk);
    EXPECT_EQ(folder.Read("ALFACT.PDC"),
              " 2  3FACTURA \x19\r\n 5  4Cliente: |   |\r\n 6  2\x17Total\r\n");
    ui.setText(dialog, designerctl::kEdit, "other");
    ASSERT_EQ(OpenEditor(dialog, editorkind::kDocument, kOpen, TextView(folder.File("ALFACT.PDC"))),
              status::kOk);
    EXPECT_EQ(editText(), "\r\n  FACTURA \xbb\r\n\r\n\r\n   Cliente: |   |\r\n \xa6Total")
        << "the tab comes back as the blank of its column";
}

TEST_F(DocumentFilesTest, AnUnreadableDocumentIsReportedAndChangesNothing) {
    // A folder where the file should be: it exists, and it cannot be read as a document.
    std::filesystem::create_directory(folder.File("LOCKED.PDC"));
    OpenEditor(dialog, editorkind::kDocument, stepflag::kLayout, TextRef());
    ui.setText(dialog, designerctl::kEdit, "mine");
    EXPECT_GE(OpenEditor(dialog, editorkind::kDocument, kOpen, TextView(folder.File("LOCKED.PDC"))),
              status::kFirstError);
    EXPECT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(editText(), "mine");
    EXPECT_EQ(slot(designerslot::kDocumentBase), "");
}

TEST_F(DocumentFilesTest, ADocumentRowBeyondItsFieldIsNotSaved) {
    folder.Write("A.PDC", " 1  1old\r\n");
    std::string text;
    for (int i = 0; i < 100; ++i) text += "x\r\n";
    OpenEditor(dialog, editorkind::kDocument, kOpen, TextView(folder.File("A.PDC")));
    ui.setText(dialog, designerctl::kEdit, text);
    MarkModified(markop::kMark);
    SaveCommand(dialog, editorkind::kDocument, false);
    EXPECT_EQ(folder.Read("A.PDC"), " 1  1old\r\n");
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_NE(ui.shownBoxes()[0].text.find("(100, 1) > (99, 999)"), std::string::npos)
        << ui.shownBoxes()[0].text;
}

TEST_F(DocumentFilesTest, LinesASaveWouldNotKeepAreToldOnOpenAndAskedOnceBeforeSaving) {
    const std::string file = " 1  1Uno\r\nsuelta\r\n 5  1Cinco\r\n 3  1Tres\r\n 6  1\xab"
                             "cita\xbb\r\n 7  1a\r\n 7  1b\r\n 7  1c\r\n 7  1d\r\n";
    folder.Write("A.PDC", file);
    OpenEditor(dialog, editorkind::kDocument, kOpen, TextView(folder.File("A.PDC")));
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(boxes()[0], "[Mensaje Informativo] Saving this document will change or drop lines "
                          "2, 4, 5, 7, 8, ... of its file (6 in all): their positions or "
                          "characters cannot be written back as they are.");
    EXPECT_EQ(ui.title(dialog), "Vodarir Document Design (A)") << "told once it is shown";
    // No: nothing is written, and the next Save asks again.
    ui.queueBoxAnswer(platform::BoxAnswer::No);
    SaveCommand(dialog, editorkind::kDocument, false);
    EXPECT_EQ(folder.Read("A.PDC"), file);
    EXPECT_FALSE(folder.Exists("Backups"));
    ASSERT_EQ(ui.shownBoxes().size(), 2u);
    EXPECT_EQ(ui.shownBoxes()[1].text, "Saving will change or drop lines 2, 4, 5, 7, 8, ... (6 in "
                                       "all) of the file this document was opened from. Save "
                                       "anyway?");
    ui.queueBoxAnswer(platform::BoxAnswer::Yes); // save anyway
    ui.queueBoxAnswer(platform::BoxAnswer::Yes); // no changes: save all the same
    SaveCommand(dialog, editorkind::kDocument, false);
    EXPECT_NE(folder.Read("A.PDC"), file);
    // Saved once: the file now holds what the editor shows, and saving asks no more.
    ui.setText(dialog, designerctl::kEdit, editText() + "\r\nfin");
    MarkModified(markop::kMark);
    SaveCommand(dialog, editorkind::kDocument, false);
    EXPECT_EQ(ui.shownBoxes().size(), 4u);
    // Opening a document that comes back whole tells nothing.
    folder.Write("B.PDC", " 1  1Uno\r\n");
    OpenEditor(dialog, editorkind::kDocument, kOpen, TextView(folder.File("B.PDC")));
    EXPECT_EQ(ui.shownBoxes().size(), 4u);
}

TEST_F(DocumentFilesTest, AScriptIsStoredExactlyAsTyped) {
    std::string script;
    for (int c = 1; c < 256; ++c) script += static_cast<char>(c);
    script += "|bar| \r\n\r\n  trailing  \t";
    OpenEditor(dialog, editorkind::kScript, stepflag::kLayout, TextRef());
    ui.setText(dialog, designerctl::kEdit, script);
    ASSERT_EQ(SaveScript(dialog, TextView(folder.File("ALPROC"))), status::kOk);
    EXPECT_EQ(folder.Read("ALPROC.PRX"), script);
    EXPECT_EQ(slot(designerslot::kScriptBase), folder.File("ALPROC"));
    ui.setText(dialog, designerctl::kEdit, "");
    ASSERT_EQ(LoadScript(dialog, TextView(folder.File("ALPROC.PRX"))), status::kOk);
    EXPECT_EQ(editText(), script);
}

TEST_F(DocumentFilesTest, TheLongestScriptSavesWholeAndALongerOneIsRefused) {
    OpenEditor(dialog, editorkind::kScript, stepflag::kLayout, TextRef());
    std::string script(65535, 's');
    ui.setText(dialog, designerctl::kEdit, script);
    ASSERT_EQ(SaveScript(dialog, TextView(folder.File("MAX"))), status::kOk);
    EXPECT_EQ(folder.Read("MAX.PRX"), script) << "no 16 KB cut any more";
    ui.setText(dialog, designerctl::kEdit, script + "!");
    EXPECT_EQ(SaveScript(dialog, TextView(folder.File("MAX"))), status::kStringTooLong);
    EXPECT_EQ(folder.Read("MAX.PRX"), script);
}

} // namespace
} // namespace vodarir::testing
