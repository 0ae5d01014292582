// Help: where help files are found, the help index and its missing-page box, topics of a help
// file, the help folder, and the "%s" filling help and the About box use.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/text/error_trail.h"
#include "runtime/text/text_fill.h"
#include "runtime/ui/help.h"
#include "support/scripted_runtime.h"
#include "support/temp_folder.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::Str;
using testing::TempFolder;

// The working directory for one test, put back afterwards.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::string& to) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(to);
    }
    ~ScopedCwd() { std::filesystem::current_path(old_); }
    ScopedCwd(const ScopedCwd&) = delete;
    ScopedCwd& operator=(const ScopedCwd&) = delete;

private:
    std::filesystem::path old_;
};

// Three places a help file can be: the current directory, the default folder and the help
// folder, with the application CLIENTES in Spanish.
class HelpTest : public testing::ScriptedRuntimeTest {
protected:
    TempFolder root;
    std::string cwd, defaults, help;

    void SetUp() override {
        ScriptedRuntimeTest::SetUp();
        cwd = root.File("cwd");
        defaults = root.File("defaults");
        help = root.File("help");
        for (const std::string& d : {cwd, defaults, help}) std::filesystem::create_directory(d);
        Env(2, "CLIENTES");
        Env(4, "ES");
        Env(5, defaults);
        Env(7, help);
    }
    static void Env(SlotIndex slot, const std::string& value) {
        ASSERT_EQ(SlotSet(slotgroup::kEnvironment, slot, TextView(value)), status::kOk);
    }
    static void Put(const std::string& folder, const std::string& name,
                    const std::string& bytes = "x") {
        std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
    }
    static std::string Find(const std::string& name) {
        const ScratchLevel mark = ScratchMark();
        std::string found = Str(HelpFind(TextView(name)));
        ScratchRelease(mark);
        return found;
    }
};

TEST_F(HelpTest, TheSearchOrderOfTheHelpIndex) {
    // Each row adds one more copy; the lookup HelpShow makes (the application's index, then the
    // generic one) must prefer it to every copy added before.
    struct Row {
        std::string folder;
        std::string name;
    };
    const std::vector<Row> rows = {
        {help, "index_es.html"},   {defaults, "index_es.html"},   {cwd, "index_es.html"},
        {help, "index.html"},      {defaults, "index.html"},      {cwd, "index.html"},
        {help, "CLindex_es.html"}, {defaults, "CLindex_es.html"}, {cwd, "CLindex_es.html"},
        {help, "CLindex.html"},    {defaults, "CLindex.html"},    {cwd, "CLindex.html"},
    };
    ScopedCwd here(cwd);
    for (const Row& r : rows) {
        Put(r.folder, r.name);
        std::string found = Find("CLindex.html");
        if (found.empty()) found = Find("index.html");
        EXPECT_EQ(found, r.folder + "/" + r.name) << "after adding " << r.folder << "/" << r.name;
    }
}

TEST_F(HelpTest, AFoundIndexOpensInTheBrowserQuoted) {
    ScopedCwd here(cwd);
    const std::string record = root.File("opened.txt");
    const std::string script = root.File("browser.sh");
    Put(root.path(), "browser.sh",
        "#!/bin/sh\nprintf '%s|' \"$@\" > '" + record + ".tmp'\nmv '" + record + ".tmp' '" +
            record + "'\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    testing::ScopedEnv viewer("VODARIR_HTML_VIEWER", script.c_str());
    Put(help, "C index.html");
    Env(2, "C LIENTES"); // a prefix with a blank: the path must reach the browser whole
    HelpShow(TextRef(), false);
    EXPECT_TRUE(ui.shownBoxes().empty());
    for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i) ::usleep(10000);
    std::ifstream in(record);
    std::string args((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(args, help + "/C index.html|");
}

TEST_F(HelpTest, NothingFoundShowsTheMissingPageBox) {
    ScopedCwd here(cwd);
    HelpShow("12"_t, false);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].caption, "P\xE1ginas de Ayuda");
    EXPECT_EQ(ui.shownBoxes()[0].text, "Pagina de Ayuda no definida");
    EXPECT_EQ(ui.shownBoxes()[0].icon, platform::BoxIcon::Information);
}

TEST_F(HelpTest, AboutShowsTheAboutBoxInstead) {
    ScopedCwd here(cwd);
    Put(cwd, "index.html");
    HelpShow(TextRef(), true);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].caption, "Acerca de");
}

TEST_F(HelpTest, AFileFoundInTheCurrentDirectoryIsMadeAbsolute) {
    ScopedCwd here(cwd);
    Put(cwd, "guide.txt");
    EXPECT_EQ(Find("guide.txt"), cwd + "/guide.txt");
}

TEST_F(HelpTest, AFolderFoundRelativeStaysAsFound) {
    ScopedCwd here(root.path());
    Env(5, "");
    Env(7, "help");
    Put(help, "guide.txt");
    EXPECT_EQ(Find("guide.txt"), "help/guide.txt");
}

TEST_F(HelpTest, TheLanguageNameGoesBeforeTheExtension) {
    ScopedCwd here(cwd);
    struct Row {
        std::string language, file, asked;
    };
    const std::vector<Row> rows = {
        {"EN", "guide_en.txt", "guide.txt"},
        {"IT", "guide_it.txt", "guide.txt"},
        {"DE", "notes_de", "notes"},                   // no extension: at the end
        {"FR", "a.b/c_fr", "a.b/c"},                   // a dot of the folder is no extension
        {"ES", "archive.tar_es.gz", "archive.tar.gz"}, // the last dot
    };
    std::filesystem::create_directory(help + "/a.b");
    for (const Row& r : rows) {
        Env(4, r.language);
        Put(help, r.file);
        EXPECT_EQ(Find(r.asked), help + "/" + r.file) << r.language << " " << r.asked;
    }
}

TEST_F(HelpTest, AnUnknownLanguageHasNoSecondTry) {
    Env(4, "PT");
    Put(help, "guide_es.txt");
    Put(help, "guide_.txt");
    EXPECT_EQ(Find("guide.txt"), "");
}

TEST_F(HelpTest, AnEmptyNameIsTheApplicationsHelpFile) {
    Put(defaults, "CLHELP.HLP");
    EXPECT_EQ(Find(""), defaults + "/CLHELP.HLP");
    Env(2, "");
    Put(help, "HELP.HLP");
    EXPECT_EQ(Find(""), help + "/HELP.HLP") << "no application: no prefix";
}

TEST_F(HelpTest, AFolderWithACommaIsStillSearched) {
    const std::string odd = root.File("one,two");
    std::filesystem::create_directory(odd);
    Env(7, odd);
    Put(odd, "guide.txt");
    EXPECT_EQ(Find("guide.txt"), odd + "/guide.txt");
}

TEST_F(HelpTest, ATopicShowsItsLinesWithTheFirstAsCaption) {
    Put(help, "CLHELP.HLP",
        "04 Other\r\n05 Customers\r\n05 Type the code.\r\n05 \r\n05 F3 looks it up.\r\n"
        "06 Next\r\n");
    EXPECT_EQ(HelpTopic("CLHELP.HLP,5"_t), status::kOk);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].caption, "Customers");
    EXPECT_EQ(ui.shownBoxes()[0].text, "Type the code.\r\n\r\nF3 looks it up.");
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 0) << "the lines read are taken back";
}

TEST_F(HelpTest, TopicsAboveOneHundredHaveFourDigitNumbers) {
    Put(help, "CLHELP.HLP", "0150 Invoices\r\n0150 Totals are kept.\r\n0151 Not this\r\n");
    EXPECT_EQ(HelpTopic(",150"_t), status::kOk) << "an empty name: the application's file";
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].caption, "Invoices");
    EXPECT_EQ(ui.shownBoxes()[0].text, "Totals are kept.");
}

TEST_F(HelpTest, ATopicWithOnlyACaptionHasAnEmptyText) {
    Put(help, "CLHELP.HLP", "07 Alone\r\n");
    EXPECT_EQ(HelpTopic("CLHELP.HLP,7"_t), status::kOk);
    ASSERT_EQ(ui.shownBoxes().size(), 1u);
    EXPECT_EQ(ui.shownBoxes()[0].text, "");
}

TEST_F(HelpTest, AMissingTopicOrFileIs164AndShowsNothing) {
    Put(help, "CLHELP.HLP", "05 Customers\r\n");
    Put(cwd, "keep.txt");
    EXPECT_EQ(HelpTopic("CLHELP.HLP,9"_t), status::kFileNotFound);
    EXPECT_EQ(HelpTopic("NOFILE.HLP,5"_t), status::kFileNotFound);
    EXPECT_TRUE(ui.shownBoxes().empty());
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 0);
}

TEST_F(HelpTest, TheHelpFolderTakesTheLowerCaseLanguage) {
    struct Row {
        const char* pattern;
        const char* folder;
    };
    const Row rows[] = {
        {"Help", "Help"},  {"Help_%s", "Help_es"},
        {"%s/%s", "es/"},                        // one code: a second "%s" has nothing to take
        {"100%%", "100%"}, {"%n%d%x", "%n%d%x"}, // not conversions here: shown as they are
        {"", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(HelpFolderSet(TextView(r.pattern)), status::kOk) << r.pattern;
        EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 7)), r.folder) << r.pattern;
    }
}

TEST_F(HelpTest, AnOverlongHelpFolderIsRefusedAndTheOldOneKept) {
    ASSERT_EQ(HelpFolderSet("Help"_t), status::kOk);
    const std::string longPattern(400, 'h');
    EXPECT_EQ(HelpFolderSet(TextView(longPattern)), status::kStringTooLong);
    EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 7)), "Help");
}

// ---- TextFill ---------------------------------------------------------------------------------

class TextFillTest : public testing::RuntimeTest {};

TEST_F(TextFillTest, FillsOnlyPercentS) {
    struct Row {
        const char* format;
        std::vector<TextRef> values;
        const char* expected;
    };
    const std::vector<Row> rows = {
        {"%s File Structure (%s%s)", {"Vodarir"_t, "CL"_t, ""_t}, "Vodarir File Structure (CL)"},
        {"no values", {}, "no values"},
        {"%s and %s", {"one"_t}, "one and "},
        {"%d %n %x %", {"unused"_t}, "%d %n %x %"},
        {"%%s is literal", {"v"_t}, "%s is literal"},
        {"", {"v"_t}, ""},
        {"%s", {"\xE9t\xE9"_t}, "\xE9t\xE9"},
    };
    for (const Row& r : rows) {
        const ScratchLevel mark = ScratchMark();
        TextRef out;
        switch (r.values.size()) {
        case 0:
            out = TextFill(100, TextView(r.format), {});
            break;
        case 1:
            out = TextFill(100, TextView(r.format), {r.values[0]});
            break;
        default:
            out = TextFill(100, TextView(r.format), {r.values[0], r.values[1], r.values[2]});
        }
        EXPECT_EQ(Str(out), r.expected) << "format \"" << r.format << "\"";
        ScratchRelease(mark);
    }
}

TEST_F(TextFillTest, ALongerResultIsRefusedNotCut) {
    const ScratchLevel mark = ScratchMark();
    EXPECT_EQ(Str(TextFill(5, "%s"_t, {"12345"_t})), "12345");
    const TextRef over = TextFill(5, "%s!"_t, {"12345"_t});
    EXPECT_TRUE(over.failed());
    EXPECT_EQ(over.status(), status::kStringTooLong);
    EXPECT_EQ(RecordedError().status, status::kStringTooLong);
    EXPECT_EQ(RecordedError().step, step::kFormatString);
    EXPECT_EQ(TextFill(5, TextRef::Failed(163), {}).status(), 163);
    EXPECT_EQ(TextFill(5, "%s"_t, {TextRef::Failed(145)}).status(), 145);
    ScratchRelease(mark);
}

} // namespace
} // namespace vodarir
