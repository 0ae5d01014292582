// Loading language files into segments, and what the catalogue answers afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messages_fixture.h"
#include "runtime/messages/language_files.h"
#include "runtime/messages/messages.h"
#include "runtime/start/runtime_start.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"
#include "support/temp_folder.h"

namespace vodarir::testing {
namespace {

using namespace literals;

class LanguageFileTest : public MessagesTest {
protected:
    static bool Covered(std::uint16_t code) { return MsgLoadedFind(code, nullptr); }
    static std::string Loaded(std::uint16_t code) { return Str(MsgLoaded(code)); }
    static std::vector<std::string> Numbered(int first, int count, const std::string& prefix) {
        std::vector<std::string> lines;
        for (int code = first; code < first + count; ++code) {
            char head[16];
            std::snprintf(head, sizeof head, "%04d ", code);
            lines.push_back(head + prefix + std::to_string(code));
        }
        return lines;
    }
};

TEST_F(LanguageFileTest, SkippedCodesReadEmpty) {
    LoadLines({"0001 one", "0002 two", "0005 five"});
    EXPECT_EQ(MsgCatalogState(), catalog::kLoaded);
    EXPECT_EQ(Loaded(1), "one");
    EXPECT_EQ(Loaded(2), "two");
    EXPECT_EQ(Loaded(5), "five");
    EXPECT_TRUE(Covered(3));
    EXPECT_TRUE(Covered(4));
    EXPECT_EQ(Str(MsgText("0003")), "");
    EXPECT_EQ(Str(MsgText("0004")), "");
    EXPECT_EQ(Str(MsgText("0005")), "five");
}

TEST_F(LanguageFileTest, CodesNoSegmentCoversFallBack) {
    LoadLines({"0001 one", "0002 two", "0005 five"});
    EXPECT_FALSE(Covered(6));
    EXPECT_FALSE(Covered(0));
    EXPECT_EQ(Loaded(6), "");
    // Beyond the file: the own default text, then the built-in table.
    EXPECT_EQ(Str(MsgText("1006 New")), "New");
    EXPECT_EQ(Str(MsgText("0006")), "Cancelado por el Usuario");
    EXPECT_EQ(Str(MsgText("0050")), "");
}

TEST_F(LanguageFileTest, ALoadedDesignerCodeReplacesItsDefaultText) {
    LoadLines({"0001 one", "1006 Nuevo"});
    EXPECT_EQ(Str(MsgText("1006 New")), "Nuevo");
    EXPECT_EQ(Str(MsgText("1006")), "Nuevo");
}

TEST_F(LanguageFileTest, RuntimeAndDesignerCodesShareOneFile) {
    std::vector<std::string> lines = Numbered(1, 117, "r");
    std::vector<std::string> designer = Numbered(1001, 17, "d");
    lines.insert(lines.end(), designer.begin(), designer.end());
    LoadLines(lines);
    for (int code = 1; code <= 117; ++code) EXPECT_EQ(Loaded(code), "r" + std::to_string(code));
    for (int code = 1001; code <= 1017; ++code) EXPECT_EQ(Loaded(code), "d" + std::to_string(code));
    EXPECT_FALSE(Covered(118));
    EXPECT_FALSE(Covered(500));
    EXPECT_FALSE(Covered(1000));
    EXPECT_FALSE(Covered(1018));
}

TEST_F(LanguageFileTest, AGapOf64StaysInTheSegmentAndALargerOneStartsANewOne) {
    LoadLines({"0001 a", "0065 b"});
    EXPECT_TRUE(Covered(30));
    EXPECT_EQ(Loaded(65), "b");
    MsgCatalogReset();
    LoadLines({"0001 a", "0066 b"});
    EXPECT_FALSE(Covered(30));
    EXPECT_EQ(Str(MsgText("0030")), "Cancelar,PgAnt.,PgSig.,Grabar,Insertar,Anular,Importar,Modo");
    EXPECT_EQ(Loaded(1), "a");
    EXPECT_EQ(Loaded(66), "b");
}

TEST_F(LanguageFileTest, BackslashNBecomesCrLf) {
    LoadLines({"0017 first\\nsecond\\n", "0018 C:\\new\\folder"});
    EXPECT_EQ(Loaded(17), "first\r\nsecond\r\n");
    EXPECT_EQ(Loaded(18), "C:\r\new\\folder");
}

TEST_F(LanguageFileTest, LinesThatAreNotMessagesAreIgnored) {
    LoadLines({"0000 header", "", "// comment", "abcd text", "12ab text", " 002 text", "-003 text",
               "0004 four", "12", "0005", "0006 ", "0007 seven"});
    EXPECT_FALSE(Covered(2));
    EXPECT_FALSE(Covered(3));
    EXPECT_FALSE(Covered(12));
    EXPECT_EQ(Loaded(4), "four");
    EXPECT_TRUE(Covered(5));
    EXPECT_EQ(Loaded(5), "");
    EXPECT_EQ(Loaded(6), "");
    EXPECT_EQ(Loaded(7), "seven");
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 0);
}

TEST_F(LanguageFileTest, TheSeparatorIsAnyCharacter) {
    LoadLines({"0001\ttab", "0002:colon"});
    EXPECT_EQ(Loaded(1), "tab");
    EXPECT_EQ(Loaded(2), "colon");
}

TEST_F(LanguageFileTest, CodesOutOfOrderAreLeftOutWithoutShiftingTheOthers) {
    LoadLines({"0001 one", "0005 five", "0003 three", "0005 again", "0006 six"});
    EXPECT_EQ(Loaded(1), "one");
    EXPECT_EQ(Loaded(3), "");
    EXPECT_EQ(Loaded(5), "five");
    EXPECT_EQ(Loaded(6), "six");
    EXPECT_FALSE(Covered(7));
}

TEST_F(LanguageFileTest, AFileOf256LinesOrMoreIsNotLoadedAndItsLinesAreDropped) {
    LoadLines(Numbered(1, kMaxLoadedMessages, "x"));
    EXPECT_EQ(MsgCatalogState(), catalog::kNotTried);
    EXPECT_FALSE(Covered(1));
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 0);
}

TEST_F(LanguageFileTest, AFileOf255LinesIsLoadedWhole) {
    LoadLines(Numbered(1, kMaxLoadedMessages - 1, "x"));
    EXPECT_EQ(Loaded(1), "x1");
    EXPECT_EQ(Loaded(255), "x255");
    EXPECT_FALSE(Covered(256));
}

TEST_F(LanguageFileTest, ACountBeyondTheQueuedLinesLoadsWhatIsThere) {
    ASSERT_EQ(SlotPush(slotgroup::kFileLines, "0001 only"_t), status::kOk);
    MsgLoadFile(10);
    EXPECT_EQ(Loaded(1), "only");
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 0);
}

TEST_F(LanguageFileTest, ACountOfZeroLeavesTheQueueAlone) {
    ASSERT_EQ(SlotPush(slotgroup::kFileLines, "0001 other reader"_t), status::kOk);
    MsgLoadFile(0);
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 1);
    EXPECT_EQ(MsgCatalogState(), catalog::kNotTried);
    SlotPop(slotgroup::kFileLines);
}

TEST_F(LanguageFileTest, TheFirstLoadedSegmentAnswersFirst) {
    LoadLines({"0001 first file"});
    LoadLines({"0001 second file", "0002 two"});
    EXPECT_EQ(Loaded(1), "first file");
    EXPECT_EQ(Loaded(2), "two");
}

TEST_F(LanguageFileTest, ANumberBelowALaterSegmentIsNotTakenFromAnEarlierOne) {
    LoadLines({"0010 ten"});
    LoadLines({"0100 hundred"});
    EXPECT_FALSE(Covered(50));
    EXPECT_EQ(Loaded(50), "");
    EXPECT_EQ(Loaded(10), "ten");
    EXPECT_EQ(Loaded(100), "hundred");
}

TEST_F(LanguageFileTest, MessagesBeyondTheEntryTableCannotBeFoundAndHarmNothing) {
    LoadLines(Numbered(1, 200, "a"));
    LoadLines(Numbered(2001, 100, "b"));
    for (int code = 1; code <= 200; ++code) ASSERT_EQ(Loaded(code), "a" + std::to_string(code));
    EXPECT_EQ(Loaded(2001), "b2001");
    EXPECT_EQ(Loaded(2056), "b2056");
    EXPECT_FALSE(Covered(2057));
    EXPECT_FALSE(Covered(2100));
    EXPECT_EQ(Str(MsgText("2057 default")), "default");
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 0);
}

TEST_F(LanguageFileTest, PaddingThatFillsTheTableLeavesTheCodeUncovered) {
    LoadLines(Numbered(1, 250, "a"));
    LoadLines({"0300 x", "0310 y"}); // 0310 would need entries 251..260
    EXPECT_EQ(Loaded(300), "x");
    EXPECT_FALSE(Covered(310));
    EXPECT_FALSE(Covered(305));
    EXPECT_EQ(Loaded(250), "a250");
}

TEST_F(LanguageFileTest, ATextThatDoesNotFitReadsEmptyAndKeepsTheOthers) {
    const std::string big(30000, 'b');
    const std::string large(20000, 'l');
    LoadLines({"0001 " + big});
    LoadLines({"0002 " + large, "0003 small"});
    EXPECT_EQ(Loaded(1), big);
    EXPECT_TRUE(Covered(2));
    EXPECT_EQ(Loaded(2), "");
    EXPECT_EQ(Loaded(3), "small");
    EXPECT_EQ(RecordedError().status, status::kLoadString);
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 0);
}

TEST_F(LanguageFileTest, LoadedTextsAreHandedOutAsCopies) {
    LoadLines({"0012 Information"});
    const ScratchLevel mark = ScratchMark();
    const TextRef text = MsgText("0012");
    EXPECT_EQ(ScratchDepth(), mark + 1);
    // Changing the store moves its texts; the answer must not move with them.
    ASSERT_EQ(SlotSet(slotgroup::kEnvironment, 1, "a longer text that shifts every later slot"_t),
              status::kOk);
    EXPECT_EQ(Str(text), "Information");
    ScratchRelease(mark);
}

TEST_F(LanguageFileTest, StartingTheRuntimeAgainStartsAnEmptyCatalogue) {
    LoadLines({"0001 one"});
    ASSERT_EQ(RuntimeInit(), status::kOk);
    EXPECT_EQ(MsgCatalogState(), catalog::kNotTried);
    EXPECT_FALSE(Covered(1));
    EXPECT_EQ(Str(MsgText("0001")), "Error al inicializar la Memoria");
}

TEST_F(LanguageFileTest, ResetForgetsEverything) {
    LoadLines({"0001 one"});
    MsgCatalogReset();
    EXPECT_EQ(MsgCatalogState(), catalog::kNotTried);
    EXPECT_FALSE(Covered(1));
    LoadLines({"0002 two"});
    EXPECT_EQ(Loaded(2), "two");
}

// --- Starting a language
// --------------------------------------------------------------------------

std::vector<std::uint16_t> g_resourcesAsked;

std::uint16_t FakeLoader(std::uint16_t resource, int, int) {
    g_resourcesAsked.push_back(resource);
    const std::string line = resource == 141 ? "0012 from 141" : "1006 from 142";
    return SlotPush(slotgroup::kFileLines, TextView(line)) == status::kOk ? 1 : 0;
}

std::uint16_t FailingLoader(std::uint16_t resource, int, int) {
    g_resourcesAsked.push_back(resource);
    for (int i = 0; i < 3; ++i) SlotPush(slotgroup::kFileLines, "0001 partial"_t);
    return 0xFFFF;
}

class StartLanguageTest : public LanguageFileTest {
protected:
    void SetUp() override {
        LanguageFileTest::SetUp();
        g_resourcesAsked.clear();
        // A folder that holds no language file.
        ASSERT_EQ(SlotSet(slotgroup::kEnvironment, 5, "/nonexistent-vodarir-folder"_t),
                  status::kOk);
    }
};

TEST_F(StartLanguageTest, WithoutAFileTheLoaderIsAskedForBothResources) {
    EXPECT_EQ(MsgStartLanguage("es"_t, &FakeLoader, 141, 142), status::kOk);
    EXPECT_EQ(Str(SlotGet(slotgroup::kEnvironment, 4)), "es");
    EXPECT_EQ(g_resourcesAsked, (std::vector<std::uint16_t>{141, 142}));
    EXPECT_EQ(Str(MsgText("0012")), "from 141");
    EXPECT_EQ(Str(MsgText("1006 New")), "from 142");
}

TEST_F(StartLanguageTest, WithoutAFileOrLoaderTheBuiltInTableAnswers) {
    EXPECT_EQ(MsgStartLanguage("es"_t, nullptr, 141, 142), status::kOk);
    EXPECT_EQ(MsgCatalogState(), catalog::kTried);
    EXPECT_EQ(Str(MsgText("0012")), "Mensaje Informativo");
}

TEST_F(StartLanguageTest, ALoaderThatFailsLeavesNoLinesBehind) {
    MsgStartLanguage("es"_t, &FailingLoader, 141, 0);
    EXPECT_EQ(g_resourcesAsked, (std::vector<std::uint16_t>{141}));
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 0);
    EXPECT_EQ(MsgCatalogState(), catalog::kTried);
}

TEST_F(StartLanguageTest, ALaterAttemptThatFindsNothingKeepsWhatWasLoaded) {
    LoadLines({"0012 loaded"});
    MsgLoadLanguage(nullptr, 0);
    EXPECT_EQ(MsgCatalogState(), catalog::kLoaded);
    EXPECT_EQ(Str(MsgText("0012")), "loaded");
}

TEST_F(StartLanguageTest, ACodeTooLongForAFileNameFindsNoFile) {
    EXPECT_EQ(MsgStartLanguage("english"_t, &FakeLoader, 141, 0), status::kOk);
    EXPECT_EQ(g_resourcesAsked, (std::vector<std::uint16_t>{141}));
    EXPECT_EQ(RecordedError().status, 0);
}

// --- Language files on disk
// -----------------------------------------------------------------------

class LanguageFolderTest : public LanguageFileTest {
protected:
    void SetUp() override {
        LanguageFileTest::SetUp();
        ASSERT_EQ(SlotSet(slotgroup::kEnvironment, 5, TextView(folder_.path())), status::kOk);
    }
    void Write(const std::string& name, const std::string& content) {
        folder_.Write(name, content);
    }

    TempFolder folder_;
};

TEST_F(LanguageFolderTest, ReadsAFileWithMixedLineEndsCommentsAndDisorder) {
    Write("du_zera_xx.msj", "0000 test file\r\n0001 one\n0004 four\r0003 late\r\n\r\n1006 Neu\n");
    EXPECT_EQ(MsgStartLanguage("XX"_t, nullptr, 0, 0), status::kOk);
    EXPECT_EQ(MsgCatalogState(), catalog::kLoaded);
    EXPECT_EQ(Str(MsgText("0001")), "one");
    EXPECT_EQ(Str(MsgText("0003")), "");
    EXPECT_EQ(Str(MsgText("0004")), "four");
    EXPECT_EQ(Str(MsgText("1006 New")), "Neu");
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 0);
}

TEST_F(LanguageFolderTest, WithoutACodeAnyLanguageFileOfTheFolderIsTaken) {
    Write("notes.txt", "0001 not a language file\n");
    Write("DU_ZERA_IT.MSJ", "0001 uno\n");
    MsgLoadLanguage(nullptr, 0);
    EXPECT_EQ(Str(MsgText("0001")), "uno");
}

TEST_F(LanguageFolderTest, AFileTooLongForTheCatalogueLeavesTheBuiltInTable) {
    std::string content;
    for (int code = 1; code <= 300; ++code)
        content += std::to_string(1000 + code).substr(1) + " x\n";
    Write("DU_ZERA_XX.MSJ", content);
    MsgStartLanguage("XX"_t, nullptr, 0, 0);
    EXPECT_EQ(MsgCatalogState(), catalog::kTried);
    EXPECT_EQ(Str(MsgText("0012")), "Mensaje Informativo");
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 0);
}

TEST_F(LanguageFolderTest, ALineTheReaderRefusesLeavesTheBuiltInTable) {
    Write("DU_ZERA_XX.MSJ", "0001 one\n0002 " + std::string(2000, 'x') + "\n0003 three\n");
    MsgStartLanguage("XX"_t, nullptr, 0, 0);
    EXPECT_EQ(MsgCatalogState(), catalog::kTried);
    EXPECT_EQ(Str(MsgText("0001")), "Error al inicializar la Memoria");
    EXPECT_EQ(SlotCount(slotgroup::kFileLines), 0);
}

TEST_F(LanguageFolderTest, AnExactlySpelledFileIsPreferred) {
    Write("DU_ZERA_xx.MSJ", "0001 exact\n");
    Write("DU_ZERA_XX.MSJ", "0001 other case\n");
    MsgStartLanguage("xx"_t, nullptr, 0, 0);
    EXPECT_EQ(Str(MsgText("0001")), "exact");
}

} // namespace
} // namespace vodarir::testing
