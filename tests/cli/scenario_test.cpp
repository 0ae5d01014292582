// Scenario files of `vodarir-cli play`: texts, keys, the statements and the mistakes reported with
// their line.
#include <gtest/gtest.h>

#include "scenario.h"

namespace vodarir::cli {
namespace {

using Kind = ScenarioStep::Kind;
using platform::UiAction;

TEST(ScenarioText, QuotedTextsBecomeCp1252Bytes) {
    struct Row {
        const char* quoted;
        std::string bytes;
    };
    const Row rows[] = {
        {"\"abc\"", "abc"},
        {"\"a\\\"b\\\\c\"", "a\"b\\c"},
        {"\"\\r\\n\\t\"", "\r\n\t"},
        {"\"\\x7C\\x19\\xbb\"", "|\x19\xbb"},
        {"\"Versi\xc3\xb3n \xc2\xbb \xe2\x82\xac\"", "Versi\xf3n \xbb \x80"},
        {"\"\"", ""},
    };
    for (const Row& row : rows) {
        std::string bytes;
        ASSERT_TRUE(UnquoteScenarioText(row.quoted, &bytes)) << row.quoted;
        EXPECT_EQ(bytes, row.bytes) << row.quoted;
    }
    for (const char* bad : {"abc", "\"abc", "\"\\q\"", "\"\\x4\"", "\"\xe4\xb8\xad\"", "\"\\\""}) {
        std::string bytes;
        EXPECT_FALSE(UnquoteScenarioText(bad, &bytes)) << bad;
    }
}

TEST(ScenarioText, KeysHaveTheirVirtualKeyCodes) {
    EXPECT_EQ(ScenarioKey("Return"), platform::vk::Return);
    EXPECT_EQ(ScenarioKey("Escape"), platform::vk::Escape);
    EXPECT_EQ(ScenarioKey("F4"), platform::vk::F4);
    EXPECT_EQ(ScenarioKey("Apps"), platform::vk::Apps);
    EXPECT_EQ(ScenarioKey("PageDown"), platform::vk::Next);
    EXPECT_EQ(ScenarioKey("a"), 'A');
    EXPECT_EQ(ScenarioKey("7"), '7');
    EXPECT_EQ(ScenarioKey("Hyper"), -1);
    EXPECT_EQ(ScenarioKey("ab"), -1);
}

TEST(ScenarioParse, AWholeScenarioIsReadInOrder) {
    const std::string text = "# a comment\n"
                             "copy ../x/ALTOTAL.PRX\n"
                             "copy a.txt docs/b.txt\n"
                             "write config.txt \"/apps\\r\\n\"\n"
                             "write big.txt \"ab\" 3\n"
                             "args \"mi doc.PDC\" /X=1\n"
                             "folder .\r\n"
                             "\n"
                             "menu 32787\n"
                             "file ALTOTAL.PRX\n"
                             "type 2500 \"x|\\n\"\n"
                             "modal \"Document Function Selector\"\n"
                             "  click 1503\n"
                             "  modal Inner\n"
                             "    close\n"
                             "  end\n"
                             "end\n"
                             "key - Escape ctrl shift\n"
                             "answer no\n"
                             "file cancel\n"
                             "popup dismiss\n"
                             "snapshot\n"
                             "after\n"
                             "show ALTOTAL.PRX\n"
                             "list Backups\n";
    Scenario s;
    std::string error;
    ASSERT_TRUE(ParseScenario(text, &s, &error)) << error;
    ASSERT_EQ(s.copies.size(), 2u);
    EXPECT_EQ(s.copies[0].source, "../x/ALTOTAL.PRX");
    EXPECT_EQ(s.copies[0].target, "ALTOTAL.PRX");
    EXPECT_EQ(s.copies[1].target, "docs/b.txt");
    ASSERT_EQ(s.writes.size(), 2u);
    EXPECT_EQ(s.writes[0].bytes, "/apps\r\n");
    EXPECT_EQ(s.writes[1].bytes, "ababab");
    EXPECT_EQ(s.arguments, (std::vector<std::string>{"mi doc.PDC", "/X=1"}));
    const std::vector<Kind> kinds = {Kind::Folder, Kind::Act,     Kind::File,   Kind::Act,
                                     Kind::Modal,  Kind::Act,     Kind::Answer, Kind::File,
                                     Kind::Popup,  Kind::Snapshot};
    ASSERT_EQ(s.steps.size(), kinds.size());
    for (std::size_t i = 0; i < kinds.size(); ++i) EXPECT_EQ(s.steps[i].kind, kinds[i]) << i;
    EXPECT_EQ(s.steps[0].text, ".");
    EXPECT_EQ(s.steps[1].act.kind, UiAction::Kind::ChooseMenu);
    EXPECT_EQ(s.steps[1].act.value, 32787);
    EXPECT_EQ(s.steps[3].act.kind, UiAction::Kind::Type);
    EXPECT_EQ(s.steps[3].act.control, 2500);
    EXPECT_EQ(s.steps[3].act.text, "x|\n");
    EXPECT_EQ(s.steps[4].text, "Document Function Selector");
    ASSERT_EQ(s.steps[4].block.size(), 2u);
    EXPECT_EQ(s.steps[4].block[0].act.kind, UiAction::Kind::Click);
    EXPECT_EQ(s.steps[4].block[1].kind, Kind::Modal);
    EXPECT_EQ(s.steps[4].block[1].block[0].act.kind, UiAction::Kind::Close);
    EXPECT_EQ(s.steps[5].act.kind, UiAction::Kind::Key);
    EXPECT_EQ(s.steps[5].act.control, platform::kNoControl);
    EXPECT_EQ(s.steps[5].act.value, platform::vk::Escape);
    EXPECT_EQ(s.steps[5].act.mods, platform::kModControl | platform::kModShift);
    EXPECT_EQ(s.steps[6].answer, platform::BoxAnswer::No);
    EXPECT_EQ(s.steps[7].text, "") << "cancel";
    EXPECT_EQ(s.steps[8].text, "") << "dismiss";
    ASSERT_EQ(s.after.size(), 2u);
    EXPECT_EQ(s.after[0].kind, Kind::Show);
    EXPECT_EQ(s.after[1].kind, Kind::List);
    EXPECT_EQ(s.steps[9].line, 22);
}

TEST(ScenarioParse, RuntimeWindowsAreActsWithTheirOwnValues) {
    Scenario s;
    std::string error;
    ASSERT_TRUE(ParseScenario("folder .\nprompt \"'a':'A5'\" \"T\" 3\nmodal T\n  field 1\nend\n"
                              "screen 2 \"1 1 1 0 0 5A\" \"FD$='X$'\" 4\nslot 9 7\neval \"1+1\"\n",
                              &s, &error))
        << error;
    ASSERT_EQ(s.steps.size(), 6u);
    EXPECT_EQ(s.steps[1].kind, ScenarioStep::Kind::Prompt);
    EXPECT_EQ(s.steps[1].text, "'a':'A5'");
    EXPECT_EQ(s.steps[1].title, "T");
    EXPECT_EQ(s.steps[1].number, 3);
    ASSERT_EQ(s.steps[2].block.size(), 1u);
    EXPECT_EQ(s.steps[2].block[0].kind, ScenarioStep::Kind::Field);
    EXPECT_EQ(s.steps[3].kind, ScenarioStep::Kind::Screen);
    EXPECT_EQ(s.steps[3].number, 2);
    EXPECT_EQ(s.steps[3].attributes, "FD$='X$'");
    EXPECT_EQ(s.steps[3].dialogKind, 4);
    EXPECT_EQ(s.steps[4].kind, ScenarioStep::Kind::Slot);
    EXPECT_EQ(s.steps[4].dialogKind, 7);
    EXPECT_EQ(s.steps[5].kind, ScenarioStep::Kind::Eval);
}

TEST(ScenarioParse, WritesUpToTheirBoundAreRead) {
    Scenario s;
    std::string error;
    ASSERT_TRUE(ParseScenario("write a \"0123456789abcdef\" 1048576\n", &s, &error)) << error;
    ASSERT_EQ(s.writes.size(), 1u);
    EXPECT_EQ(s.writes[0].bytes.size(), kMaxScenarioWriteBytes);
}

TEST(ScenarioParse, MistakesNameTheirLine) {
    struct Row {
        const char* text;
        const char* error;
    };
    const Row rows[] = {
        {"menu\n", "line 1: usage: menu COMMAND"},
        {"folder .\nmenu x\n", "line 2: usage: menu COMMAND"},
        {"folder .\ncopy a b\n", "line 2: copy belongs before the first answer or act"},
        {"answer maybe\n", "line 1: answer yes, no, ok, cancel or retry"},
        {"type 2500 \"abc\n", "line 1: a quoted text is not closed"},
        {"key 2500 Hyper\n", "line 1: usage: key CONTROL KEY [shift] [ctrl] [alt]"},
        {"dance\n", "line 1: unknown line 'dance'"},
        {"end\n", "line 1: end without modal"},
        {"modal A\nclick 1\n", "line 1: modal block without end"},
        {"after\nmenu 1\n", "line 2: after the end only show, list and dict"},
        {"dict ALDICC.DAT\n", "line 1: usage: dict FILE, after the end"},
        {"modal A\nafter\nend\n", "line 2: after stands alone, once, outside modal blocks"},
        {"write a \"x\" 0\n", "line 1: usage: write FILE TEXT [TIMES]"},
        // A scenario writes inside its work folder only.
        {"write ../../x \"x\"\n", "line 1: the target ../../x is outside the work folder"},
        {"write a/../../x \"x\"\n", "line 1: the target a/../../x is outside the work folder"},
        {"write /tmp/x \"x\"\n", "line 1: the target /tmp/x is outside the work folder"},
        {"copy ../a ../b\n", "line 1: the target ../b is outside the work folder"},
        {"prompt \"'a':'A5'\"\n", "line 1: usage: prompt SPECIFICATION TITLE [FLAGS]"},
        {"prompt \"x\" \"T\" many\n", "line 1: usage: prompt SPECIFICATION TITLE [FLAGS]"},
        {"screen x \"\" \"\"\n", "line 1: usage: screen COUNT DEFINITION ATTRIBUTES [KIND]"},
        {"screen 1 \"\"\n", "line 1: usage: screen COUNT DEFINITION ATTRIBUTES [KIND]"},
        {"field\n", "line 1: usage: field N"},
        {"slot 30\n", "line 1: usage: slot GROUP INDEX"},
        {"eval\n", "line 1: usage: eval EXPRESSION"},
        // What the writes would hold is bounded before anything is repeated.
        {"write a \"0123456789abcdefg\" 1000000\n",
         "line 1: the files written would pass 16777216 bytes in all"},
        {"write a \"0123456789abcdef\" 1000000\nwrite b \"0123456789abcdef\" 48577\n",
         "line 2: the files written would pass 16777216 bytes in all"},
    };
    for (const Row& row : rows) {
        Scenario s;
        std::string error;
        EXPECT_FALSE(ParseScenario(row.text, &s, &error)) << row.text;
        EXPECT_EQ(error, row.error) << row.text;
    }
}

} // namespace
} // namespace vodarir::cli
