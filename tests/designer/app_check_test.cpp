// The application check's steps: field references found with the expression tokenizer (comments,
// quotes, groups and line breaks), relation items, places, and whole checks of small folders:
// the runtime's dictionary given back as it was, a file that does not load reported while the
// rest is checked, a folder without a dictionary, and where-used over fields and whole files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "designer/app_check.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_fixture.h"
#include "runtime/text/scratch_stack.h"
#include "support/runtime_fixture.h"
#include "support/temp_folder.h"

namespace vodarir {
namespace {

using testing::Str;
using testing::TempFolder;

constexpr char kDictionary[] = "01* *  clientes\r\n"
                               "0100<      6>CCODCLI\r\n"
                               "0100<     40>ANOMBRE\r\n"
                               "02* *  facturas\r\n"
                               "0200<      8>NNUMERO\r\n"
                               "0200<      6>CCODCLI\r\n"
                               "0200<     12>2TOTAL\r\n";

class AppCheckTest : public testing::DictionaryTest {
protected:
    void SetUp() override {
        DictionaryTest::SetUp();
        dir.Write("PRDICC.DAT", kDictionary);
    }
    void TearDown() override {
        ClearDictionary();
        EXPECT_EQ(ScratchDepth(), 0) << "a call left a level behind";
        DictionaryTest::TearDown();
    }
    // The problems as "code place file" lines, in order.
    static std::vector<std::string> Lines(const CheckReport& report) {
        std::vector<std::string> lines;
        for (const CheckProblem& p : report.problems) {
            lines.push_back(p.code + " " + PlaceText(p.place) + " " + p.file);
        }
        return lines;
    }
    void LoadDictionaryOf(const std::string& folder) {
        ASSERT_EQ(LoadDictionary(TextView(folder), TextView("PR"), TextRef()), status::kOk);
    }
    TempFolder dir;
};

TEST_F(AppCheckTest, FieldReferencesAreReadAsTheEvaluatorReadsThem) {
    LoadDictionaryOf(dir.path());
    struct Row {
        const char* text;
        std::vector<std::string> refs; // text, then "ok" or the status
    };
    const Row rows[] = {
        {"NOMBRE{clientes}='x'", {"NOMBRE{clientes} ok"}},
        // Blanks and line breaks outside quotes do not count, so a reference may be spread out.
        {"a=  TOTAL {facturas} ;\r\n b=NOMBRE{\r\nclientes}",
         {"TOTAL{facturas} ok", "NOMBRE{clientes} ok"}},
        // Inside quotes a brace is text; a comment line is no statement.
        {"MENSAJE('NADA{clientes}')", {}},
        {"; NADA{clientes} in a comment\r\nX{clientes}", {"X{clientes} 147"}},
        // References inside the groups of calls, nested.
        {"SI(A#>0,MENSAJE(FN$TRIM(NOMBRE{1})+NADA{2}))", {"NOMBRE{1} ok", "NADA{2} 147"}},
        {"Y{7}+3{2}+9{1}", {"Y{7} 161", "3{2} ok", "9{1} 168"}},
        {"{2}", {"{2} ok"}},
        // A variable name with a brace is a variable, as the evaluator classes it.
        {"A${1}", {}},
        // An opening quote without its end hides the rest, as it does from the evaluator.
        {"'abierto+NADA{1}", {}},
        {"", {}},
    };
    for (const Row& row : rows) {
        std::vector<std::string> found;
        for (const FieldRefUse& use : FieldRefsIn(row.text)) {
            found.push_back(use.text + " " + (use.status == 0 ? "ok" : std::to_string(use.status)));
        }
        EXPECT_EQ(found, row.refs) << row.text;
    }
    // Offsets are those of the text as written; resolved uses carry their file and field.
    const std::vector<FieldRefUse> uses = FieldRefsIn("x=1;\r\n  CODCLI{facturas}");
    ASSERT_EQ(uses.size(), 1u);
    EXPECT_EQ(uses[0].offset, 8u);
    EXPECT_EQ(uses[0].file, 2);
    EXPECT_EQ(uses[0].field, 2);
    // A text longer than the tokenizer takes is one failure, not a cut text.
    const std::vector<FieldRefUse> tooLong = FieldRefsIn(std::string(70000, 'a'));
    ASSERT_EQ(tooLong.size(), 1u);
    EXPECT_EQ(tooLong[0].status, status::kStringTooLong);
    // Deep nesting is read without running out of stack.
    EXPECT_TRUE(FieldRefsIn(std::string(20000, '(') + std::string(20000, ')')).empty());
}

TEST_F(AppCheckTest, RelationItemsNameTheirTargetFiles) {
    struct Row {
        const char* text;
        std::vector<std::uint32_t> targets;
    };
    const Row rows[] = {
        {"2R1K1=CODCLI", {2}},
        {"2R1K1=CODCLI:12R3K2='A:B' &4R1K1:X", {2, 12, 4}},
        {"NOMBRE=2R1K1", {}},
        {"2R1K", {}},
        {"R1K1=X", {}},
        {"", {}},
        {"'3R1K1=X'/5R2K1=Y", {5}},
    };
    for (const Row& row : rows) {
        std::vector<std::uint32_t> targets;
        for (const RelationTarget& t : RelationTargets(row.text)) targets.push_back(t.target);
        EXPECT_EQ(targets, row.targets) << row.text;
    }
    EXPECT_EQ(RelationTargets("7R2K1=A")[0].item, "7R2K1");
}

TEST_F(AppCheckTest, PlacesAreSpelledForPeopleAndScripts) {
    EXPECT_EQ(PlaceText({PlaceKind::File, 0, 0, {}}), "-");
    EXPECT_EQ(PlaceText({PlaceKind::DictionaryField, 3, 7, {}}), "file 3 field 7");
    EXPECT_EQ(PlaceText({PlaceKind::DictionaryIndex, 3, 2, {}}), "file 3 index 2");
    EXPECT_EQ(PlaceText({PlaceKind::ScreenField, 2, 5, {}}), "screen 2 field 5");
    EXPECT_EQ(PlaceText({PlaceKind::ScreenRow, 2, 25, {}}), "screen 2 row 25");
    EXPECT_EQ(PlaceText({PlaceKind::ScreenKeyword, 4, 0, "LIMITS$"}), "screen 4 LIMITS$");
    EXPECT_EQ(PlaceText({PlaceKind::Line, 9, 0, {}}), "line 9");
    EXPECT_EQ(PlaceText({PlaceKind::DocumentRow, 12, 0, {}}), "row 12");
}

TEST_F(AppCheckTest, TheOpenDictionaryComesBackAsItWas) {
    TempFolder other;
    other.Write("OTDICC.DAT", "01* *  solo\r\n0100<      3>NUNO\r\n");
    ASSERT_EQ(LoadDictionary(TextView(other.path()), TextView("OT"), TextRef()), status::kOk);
    ASSERT_EQ(SetCurrentFile(1), 1);
    dir.Write("PRPANT.PAN", "\" 11 1 1 1 240A\"\r\n");
    const CheckReport report = CheckApplication(dir.path());
    EXPECT_EQ(Lines(report), std::vector<std::string>{}) << "bound to NOMBRE{clientes}";
    EXPECT_EQ(FileCount(), 1);
    EXPECT_EQ(Str(FileName(1)), "solo");
    EXPECT_EQ(FieldCount(1), 1);
    EXPECT_EQ(CheckpointDepth(), 0);
    EXPECT_EQ(WhereUsed(dir.path(), "NOMBRE{clientes}").uses.size(), 1u);
    EXPECT_EQ(FileCount(), 1) << "where-used gives it back too";
    EXPECT_EQ(CheckpointDepth(), 0);
}

TEST_F(AppCheckTest, AFileThatDoesNotLoadIsAProblemAndTheRestIsChecked) {
    // The parameter file's line is too long to read; the screen file itself is checked.
    dir.Write("PRPANT.PAN", "\" 11 1 1 1 340A\"\r\n");
    dir.Write("PRPANT.PPN", " 1 FD$='" + std::string(600, 'x') + "'\r\n");
    dir.Write("PRCALC.PRX", "TOTAL{facturas}=NADA{facturas}");
    const CheckReport report = CheckApplication(dir.path());
    EXPECT_EQ(Lines(report), (std::vector<std::string>{
                                 "field-unresolved line 1 PRCALC.PRX",
                                 "binding-field-missing screen 1 field 1 PRPANT.PAN",
                                 "load-failed - PRPANT.PPN",
                             }));
    EXPECT_EQ(report.errors, 3u);
    EXPECT_EQ(report.warnings, 0u);
    EXPECT_EQ(report.screens, 1u);
    EXPECT_EQ(report.filesRead, 3u) << "the dictionary, the screen file and the script";
    EXPECT_NE(report.problems[2].sentence.find("146"), std::string::npos)
        << report.problems[2].sentence;
}

TEST_F(AppCheckTest, AFolderWithoutADictionaryStillChecksItsFiles) {
    TempFolder empty;
    empty.Write("XXPANT.PAN", "\" 11 1 1 1 1 6C\"\r\n");
    empty.Write("XX.ZAA", "; comentario\r\nXX,Prueba,XXPANT.PPN,.\r\n");
    const CheckReport report = CheckApplication(empty.path());
    EXPECT_EQ(Lines(report), (std::vector<std::string>{
                                 "no-dictionary - -",
                                 "menu-missing line 2 XX.ZAA",
                                 "binding-file-missing screen 1 field 1 XXPANT.PAN",
                             }));
}

TEST_F(AppCheckTest, DatesShowInEightColumnsWhateverTheirLength) {
    dir.Write("PRDICC.DAT", std::string(kDictionary) + "0200<     10>DFECHA\r\n");
    // FECHA is 10 long: a date field shows 8, and a field of 8 is what the screen should have.
    dir.Write("PRPANT.PAN", "\" 11 1 1 2 4 8D\"\r\n\" 2110 1 2 410D\"\r\n");
    const CheckReport report = CheckApplication(dir.path());
    EXPECT_TRUE(report.problems.empty()) << report.problems.front().sentence;
}

TEST_F(AppCheckTest, EveryRuleOfScreensAndDocumentsFindsItsFaultOnce) {
    // Screen 1: fields sharing a cell, a field running over the next one, a FILEDEF$ data file the
    // dictionary lacks, HIDDEN$ and EDIT$ naming unknown fields, FD$ naming more fields than there
    // are. Screen 2: a record whose row is not a number, a field bound "file;field".
    dir.Write("PRPANT.PAN", "\" 11 210 1 1 6C\"\r\n"
                            "\" 11 210 1 240A\"\r\n"
                            "\" 11 4 1 1 240A\"\r\n"
                            "\" 11 410 1 1 6C\"\r\n"
                            "\" 20xx 1Mal\"\r\n"
                            "\" 21 3 1 2 3122\"\r\n");
    dir.Write("PRPANT.PPN", " 1 FD$='A$,B$,C$,D$,E$'\r\n"
                            " 1 FILEDEF$=',,,,9'\r\n"
                            " 1 HIDDEN$='Z$'\r\n"
                            " 1 EDIT$='A$,Y$'\r\n"
                            " 2 FD$='N#'\r\n"
                            " 2 FILEDEF$='2;1'\r\n");
    // A row with two loop markers, a loop marker alone, a bar left open, and one whole loop row.
    dir.Write("PRDOC.PDC", " 1  1\x19|##| \x19|##|\r\n 2  1\x19Nada\r\n 3  1|##\r\n"
                           " 4  1\x19 |####|\r\n");
    const CheckReport report = CheckApplication(dir.path());
    EXPECT_EQ(Lines(report), (std::vector<std::string>{
                                 "loop-repeated row 1 PRDOC.PDC",
                                 "loop-unpaired row 2 PRDOC.PDC",
                                 "mask-unpaired row 3 PRDOC.PDC",
                                 // The field moved off the shared cell now lies under the first.
                                 "overlap screen 1 PRPANT.PAN",
                                 "overlap screen 1 field 1 PRPANT.PAN",
                                 "overlap screen 1 field 3 PRPANT.PAN",
                                 "record-changed screen 2 PRPANT.PAN",
                                 // The keywords' faults are the parameter file's.
                                 "names-beyond-fields screen 1 FD$ PRPANT.PPN",
                                 "name-unknown screen 1 EDIT$ PRPANT.PPN",
                                 "name-unknown screen 1 HIDDEN$ PRPANT.PPN",
                                 "filedef-unresolved screen 1 FILEDEF$ PRPANT.PPN",
                             }))
        << "the field bound 2;1 resolves";
    EXPECT_EQ(report.warnings, 2u);
}

TEST_F(AppCheckTest, AttributesTooLongForATextAreAProblemNotACutText) {
    // 140 lines of 500 characters: more than the 65535 the runtime reads a screen's attributes in.
    std::string ppn;
    for (int i = 0; i < 140; ++i)
        ppn += " 1 K" + std::to_string(i) + "$='" + std::string(490, 'x') + "'\r\n";
    ppn += " 1 NOEDIT$='NADA$'\r\n";
    dir.Write("PRPANT.PAN", "\" 11 1 1 1 1 6C\"\r\n");
    dir.Write("PRPANT.PPN", ppn);
    const CheckReport report = CheckApplication(dir.path());
    EXPECT_EQ(Lines(report), std::vector<std::string>{"attributes-too-long screen 1 PRPANT.PPN"});
}

TEST_F(AppCheckTest, WhereUsedFindsBindingsKeywordsAndScripts) {
    dir.Write("PRPANT.PAN", "\" 11 1 1 2 3122\"\r\n\" 11 120 1 1 6C\"\r\n");
    dir.Write("PRPANT.PPN", " 1 FD$='TOTAL#,CLI$'\r\n 1 FILEDEF$='2;3,CODCLI{clientes}'\r\n"
                            " 1 ALARM$='TOTAL{facturas}>0,'\r\n");
    dir.Write("PRCALC.PRX", "; TOTAL{facturas} no cuenta aqui\r\nX#=TOTAL{2}*2;\r\n");
    const WhereResult total = WhereUsed(dir.path(), "TOTAL{facturas}");
    ASSERT_TRUE(total.resolved) << total.failure;
    std::vector<std::string> found;
    for (const UseSite& use : total.uses) {
        found.push_back(use.file + " " + PlaceText(use.place) + " " + use.what + " " + use.text);
    }
    EXPECT_EQ(found, (std::vector<std::string>{
                         "PRCALC.PRX line 2 script TOTAL{2}",
                         "PRPANT.PAN screen 1 field 1 bound TOTAL{facturas}",
                         "PRPANT.PPN screen 1 FILEDEF$ keyword 2;3",
                         "PRPANT.PPN screen 1 ALARM$ keyword TOTAL{facturas}",
                     }));
    // The whole file: every field of it.
    EXPECT_EQ(WhereUsed(dir.path(), "{clientes}").uses.size(), 2u);
    const WhereResult unknown = WhereUsed(dir.path(), "TOTAL{clientes}");
    EXPECT_FALSE(unknown.resolved);
    EXPECT_FALSE(unknown.failure.empty());
}

} // namespace
} // namespace vodarir
