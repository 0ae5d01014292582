// Loading dictionaries from files: layout, default indexes, limits, line kinds, missing files,
// includes, and the first error keeping what came before.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "dictionary_fixture.h"
#include "host/text_files.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::DescribeDictionary;
using testing::DescribeIndexes;
using testing::DictionaryTest;
using testing::Str;

class LoadTest : public DictionaryTest {};

// --- Record length, offsets and default indexes
// ---------------------------------------------------

TEST_F(LoadTest, TwoFieldsGiveRecordLengthOffsetsAndDefaultIndex) {
    folder_.WriteLines("TTDICC.DAT",
                       {"01* *  clientes", "0100<     10>Acodigo", "0100<      5>Nsaldo"});
    ASSERT_EQ(Load("TT"), status::kOk);
    ASSERT_EQ(FileCount(), 1);
    EXPECT_EQ(RecordLength(1), 15);
    EXPECT_EQ(FieldOffset(1, 1), 0);
    EXPECT_EQ(FieldOffset(1, 2), 10);
    EXPECT_EQ(FieldLength(1, 2), 5);
    EXPECT_EQ(FieldType(1, 2), 'N');
    EXPECT_EQ(IndexCount(1), 1);
    EXPECT_EQ(DescribeIndexes(1), "(0,10)");
}

TEST_F(LoadTest, DefaultIndexReachesToTheEndOfNLine) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  lineas", "0100<     10>Acodigo",
                                      "0100<      5>NN_LINE", "0100<     20>Atexto"});
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(DescribeIndexes(1), "(0,15)");
    EXPECT_EQ(KeyLength(1, 1, kAllSegments), 15);
}

TEST_F(LoadTest, NLineIsMatchedWithItsExactCase) {
    folder_.WriteLines("TTDICC.DAT",
                       {"01* *  lineas", "0100<     10>Acodigo", "0100<      5>Nn_line"});
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(DescribeIndexes(1), "(0,10)");
}

TEST_F(LoadTest, EveryFileAfterTheLastIndexLineGetsItsDefault) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax", "02* *  b", "0200<      6>Ay",
                                      "32<0002002>", "03* *  c", "0300<      8>Az"});
    ASSERT_EQ(Load("TT"), status::kOk);
    // File 1 gets its default when file 2's first index line comes; file 3 at the end.
    EXPECT_EQ(DescribeIndexes(1), "(0,4)");
    EXPECT_EQ(DescribeIndexes(2), "(1,2)");
    EXPECT_EQ(DescribeIndexes(3), "(0,8)");
    EXPECT_EQ(TotalIndexCount(), 3);
}

TEST_F(LoadTest, DictionaryEndingWithAnIndexLineLeavesLaterFilesWithoutDefault) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax", "02* *  b", "0200<      6>Ay",
                                      "31<0001002>"});
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(DescribeIndexes(1), "(0,2)");
    EXPECT_EQ(IndexCount(2), 0);
}

TEST_F(LoadTest, FileWithoutFieldsGetsNoDefaultIndex) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  vacio", "02* *  b", "0200<      6>Ay"});
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(IndexCount(1), 0);
    EXPECT_EQ(DescribeIndexes(2), "(0,6)");
    EXPECT_EQ(KeyLength(1, 1, kAllSegments), 0);
}

// --- Names and case ------------------------------------------------------------------------------

TEST_F(LoadTest, FileNamesAreStoredInLowerCaseFieldNamesAsWritten) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  CLIENTES", "0100<     10>ACodigo"});
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(Str(FileName(1)), "clientes");
    EXPECT_EQ(FileNumberOf("CLIENTES"_t), 1);
    EXPECT_EQ(FileNumberOf("Clientes"_t), 1);
    EXPECT_EQ(FindField(1, "Codigo"_t), 1);
    EXPECT_EQ(FindField(1, "codigo"_t), kNoField);
    EXPECT_EQ(FindField(1, "CODIGO"_t), kNoField);
}

TEST_F(LoadTest, LocationClassAndDefaultLocation) {
    folder_.WriteLines("TTDICC.DAT",
                       {"01* *  a", "0100<      4>Ax", "02*datos\\b*07b", "0200<      4>Ax"});
    ASSERT_EQ(Load("TT", "C:\\app\\data"), status::kOk);
    EXPECT_EQ(Str(FileLocation(1)), "C:\\app\\data");
    EXPECT_EQ(FileStruct(1).fileClass, 0);
    EXPECT_EQ(Str(FileLocation(2)), "datos\\b");
    EXPECT_EQ(FileStruct(2).fileClass, 7);
}

// --- Limits --------------------------------------------------------------------------------------

std::vector<std::string> FilesWithFields(int files) {
    std::vector<std::string> lines;
    for (int f = 1; f <= files; ++f) {
        char line[32];
        std::snprintf(line, sizeof line, "%02d* *  f%02d", f, f);
        lines.push_back(line);
        std::snprintf(line, sizeof line, "%02d00<      %d>Acampo", f, f % 10);
        lines.push_back(line);
    }
    return lines;
}

TEST_F(LoadTest, ThirtyFilesEachWithFieldsLoad) {
    folder_.WriteLines("TTDICC.DAT", FilesWithFields(30));
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(FileCount(), 30);
    EXPECT_EQ(FieldCount(30), 1);
    EXPECT_EQ(Str(FileName(30)), "f30");
    EXPECT_EQ(FieldLength(30, 1), 0);
    EXPECT_EQ(FieldLength(29, 1), 9);
}

TEST_F(LoadTest, ThirtyFirstFileFailsAndKeepsTheThirty) {
    std::vector<std::string> lines = FilesWithFields(30);
    // Code 31 would be an index line: the designer never numbers a file above 30.
    lines.push_back("30* *  sobra");
    folder_.WriteLines("TTDICC.DAT", lines);
    EXPECT_EQ(Load("TT"), status::kFileOutBound);
    EXPECT_EQ(FileCount(), 30);
    EXPECT_EQ(TotalFieldCount(), 30);
    EXPECT_EQ(FileNumberOf("sobra"_t), 0);
}

TEST_F(LoadTest, FieldLineBeforeAnyFileLineFails) {
    folder_.WriteLines("TTDICC.DAT", {"0100<     10>Acodigo", "01* *  a"});
    EXPECT_EQ(Load("TT"), status::kFileOutBound);
    EXPECT_EQ(FileCount(), 0);
    EXPECT_EQ(TotalFieldCount(), 0);
}

TEST_F(LoadTest, FirstErrorStopsTheLoadAndKeepsWhatCameBefore) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax", "02* *  b", "0200<      6>Ay",
                                      "63:1R1K1=X", "03* *  c"});
    EXPECT_EQ(Load("TT"), status::kBadFileNumber);
    EXPECT_EQ(FileCount(), 2);
    EXPECT_EQ(FileNumberOf("c"_t), 0);
    // The error came before the end of the file: no default indexes were completed.
    EXPECT_EQ(TotalIndexCount(), 0);
}

TEST_F(LoadTest, RecordLongerThan65535BytesIsRefused) {
    std::vector<std::string> lines = {"01* *  ancho"};
    for (int i = 0; i < 66; ++i) lines.push_back("0100<    999>Acampo" + std::to_string(i));
    lines.push_back("0100<    999>Aultimo");
    folder_.WriteLines("TTDICC.DAT", lines);
    EXPECT_EQ(Load("TT"), status::kDataOutBound);
    EXPECT_EQ(FieldCount(1), 65);
    EXPECT_EQ(RecordLength(1), 65 * 999);
    EXPECT_EQ(Str(ErrorDetail()), "(File:1, Field:66)");
}

// --- Line kinds ----------------------------------------------------------------------------------

TEST_F(LoadTest, CodeNinetyFiveIsIgnoredBlankCodeIsAFieldLine) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "95 comentario cualquiera con <0001005>",
                                      "  00<      7>Acampo", "0100<      3>Nnum"});
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(FieldCount(1), 2);
    EXPECT_EQ(Str(FieldName(1, 1)), "campo");
    EXPECT_EQ(RecordLength(1), 10);
}

TEST_F(LoadTest, BlankAndShortLinesArePassedOver) {
    folder_.WriteLines("TTDICC.DAT", {"", "01* *  a", "   ", "0100<      7>Acampo", "0100<  4>",
                                      "02* *  b", "0200<      5>Ax", "", "31<0001003>", ""});
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(FieldCount(1), 1);
    EXPECT_EQ(FieldCount(2), 1);
    EXPECT_EQ(DescribeIndexes(1), "(0,3)");
    // The trailing blank line is no last file or field line: file 2 gets no default index.
    EXPECT_EQ(IndexCount(2), 0);
}

TEST_F(LoadTest, FieldLineBelongsToTheLastFileWhateverItsNumber) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "02* *  b", "0100<      7>Acampo"});
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(FieldCount(1), 0);
    EXPECT_EQ(FieldCount(2), 1);
}

TEST_F(LoadTest, IndexLinesWithOneTwoAndSixSegments) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<     60>Ax"});
    folder_.WriteLines("TTREL.DAT", {"31<0001006>", "31<00010060007004>",
                                     "31<000101000110100021010003101000410100051010>"});
    ASSERT_EQ(Load("TT"), status::kOk);
    // The default index came at the end of the DICC file; the REL lines follow it.
    EXPECT_EQ(DescribeIndexes(1), "(0,60) (0,6) (0,6)(6,4) (0,10)(10,10)(20,10)(30,10)(40,10)");
    EXPECT_EQ(KeyLength(1, 3, 1), 6);
    EXPECT_EQ(KeyLength(1, 3, 0), 10);
    EXPECT_EQ(KeyLength(1, 4, kAllSegments), 50);
}

TEST_F(LoadTest, IndexLineInDiccGivesExactlyThatIndex) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<     60>Ax", "31<0001006>"});
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(DescribeIndexes(1), "(0,6)");
}

TEST_F(LoadTest, IndexAndRelationLinesForFilesOutsideAreRefused) {
    struct Row {
        std::string line;
        StatusCode expected;
    };
    const std::vector<Row> rows = {{"33<0001006>", status::kBadFileNumber},
                                   {"63:1R1K1=X", status::kBadFileNumber},
                                   {"60<0001006>", status::kBadFileNumber},
                                   {"32<0001006>", status::kOk},
                                   {"62:1R1K1=X", status::kOk}};
    for (const Row& row : rows) {
        ASSERT_EQ(ClearDictionary(), status::kOk);
        folder_.WriteLines(
            "TTDICC.DAT", {"01* *  a", "0100<      4>Ax", "02* *  b", "0200<      4>Ax", row.line});
        EXPECT_EQ(Load("TT"), row.expected) << "line: " << row.line;
        EXPECT_EQ(FileCount(), 2) << "line: " << row.line;
    }
}

TEST_F(LoadTest, IndexLinesOutOfFileOrderStayWithTheirFiles) {
    folder_.WriteLines("TTDICC.DAT",
                       {"01* *  a", "0100<     10>Ax", "02* *  b", "0200<     20>Ay"});
    folder_.WriteLines("TTREL.DAT", {"32<0002003>", "31<0004005>", "32<0006007>"});
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(DescribeIndexes(1), "(0,10) (3,5)");
    EXPECT_EQ(DescribeIndexes(2), "(0,20) (1,3) (5,7)");
    EXPECT_EQ(TotalIndexCount(), 5);
}

TEST_F(LoadTest, RelationLinesJoinWithColons) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax", "61:2R1K1=A"});
    folder_.WriteLines("TTREL.DAT", {"61:3R1K2='B'", "61:4R1K1='a:b'"});
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(Str(RelationText(1)), "2R1K1=A:3R1K2='B':4R1K1='a:b'");
}

// --- Missing files -------------------------------------------------------------------------------

TEST_F(LoadTest, MissingRelFileIsNoErrorAndLeavesNoTrail) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax"});
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(FileCount(), 1);
    EXPECT_EQ(RecordedError().status, 0);
    EXPECT_EQ(Str(ErrorDetail()), "");
}

// Only a REL.DAT that is not there is normal. One that is there but gives nothing would cost the
// dictionary its indexes and relations without a word.
TEST_F(LoadTest, RelFileThatIsThereButIsNoFileFailsTheLoad) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax"});
    ASSERT_TRUE(std::filesystem::create_directory(folder_.File("TTREL.DAT")));
    EXPECT_EQ(Load("TT"), status::kOpen);
    EXPECT_EQ(FileCount(), 1) << "what DICC.DAT gave stays";
    EXPECT_EQ(RecordedError().status, status::kOpen);
    EXPECT_EQ(RecordedError().step, step::kStreamInit);
    EXPECT_EQ(Str(ErrorDetail()), folder_.File("TTREL.DAT"));
}

TEST_F(LoadTest, RelFileThatIsAFifoIsRefusedWithoutWaiting) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax"});
    const std::string fifo = folder_.File("TTREL.DAT");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Held open for reading and writing here, so that even an open that waits for a writer comes
    // back: what is checked is the answer.
    const int held = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(held, 0);
    EXPECT_EQ(Load("TT"), status::kOpen);
    EXPECT_EQ(Str(ErrorDetail()), fifo);
    ::close(held);
}

TEST_F(LoadTest, RelFileThatMayNotBeReadFailsWithPermissionDenied) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax"});
    folder_.WriteLines("TTREL.DAT", {"31<0001002>"});
    std::filesystem::permissions(folder_.File("TTREL.DAT"), std::filesystem::perms::none);
    EXPECT_EQ(Load("TT"), status::kPermissionDenied);
    EXPECT_EQ(Str(ErrorDetail()), folder_.File("TTREL.DAT"));
}

TEST_F(LoadTest, LineOverTheLineLimitNamesItsFileAndLine) {
    const std::string longName(kLineBufferSize, 'n'); // with the field columns: over the limit
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax", "0100<      4>A" + longName});
    EXPECT_EQ(Load("TT"), status::kStringTooLong);
    EXPECT_EQ(RecordedError().step, step::kInputLines);
    EXPECT_EQ(Str(ErrorDetail()), folder_.File("TTDICC.DAT") + " (Line:3)");
    EXPECT_EQ(TotalFieldCount(), 1) << "the lines before it were loaded";

    ASSERT_EQ(ClearDictionary(), status::kOk);
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax"});
    folder_.WriteLines("TTREL.DAT", {"61:R1", std::string(600, 'r')});
    EXPECT_EQ(Load("TT"), status::kStringTooLong);
    EXPECT_EQ(Str(ErrorDetail()), folder_.File("TTREL.DAT") + " (Line:2)");
    EXPECT_EQ(Str(RelationText(1)), "R1");
}

TEST_F(LoadTest, MissingDiccFileFailsWithTheFolderLineInTheDetail) {
    folder_.WriteLines("TTREL.DAT", {"61:2R1K1=A"});
    EXPECT_EQ(Load("TT"), status::kFileNotFound);
    EXPECT_EQ(FileCount(), 0);
    // The path the open step tried, then the folder line.
    EXPECT_EQ(Str(ErrorDetail()), "TTDICC.DAT\r\n[" + folder_.path() + "]TTDICC.DAT");
}

TEST_F(LoadTest, OnlyTheFirstTwoCharactersOfThePrefixCount) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax"});
    ASSERT_EQ(Load("TTVENTAS"), status::kOk);
    EXPECT_EQ(FileCount(), 1);
}

TEST_F(LoadTest, LoadAddsToWhatIsLoaded) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax"});
    folder_.WriteLines("UUDICC.DAT", {"01* *  b", "0100<      6>Ay"});
    folder_.WriteLines("UUREL.DAT", {"31<0002003>", "61:1R1K2=Y"});
    ASSERT_EQ(Load("TT"), status::kOk);
    ASSERT_EQ(Load("UU"), status::kOk);
    EXPECT_EQ(FileCount(), 2);
    EXPECT_EQ(Str(FileName(2)), "b");
    EXPECT_EQ(FieldOffset(2, 1), 0);
    // The second dictionary's lines numbered 1 name its own first file.
    EXPECT_EQ(DescribeIndexes(1), "(0,4)");
    EXPECT_EQ(DescribeIndexes(2), "(0,6) (1,3)");
    EXPECT_EQ(Str(RelationText(1)), "");
    EXPECT_EQ(Str(RelationText(2)), "1R1K2=Y");
}

TEST_F(LoadTest, LoadLeavesTheScratchStackWhereItWas) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax"});
    const ScratchLevel before = ScratchDepth();
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(ScratchDepth(), before);
    EXPECT_EQ(Load("XX"), status::kFileNotFound);
    EXPECT_EQ(ScratchDepth(), before);
}

// --- Includes ------------------------------------------------------------------------------------

TEST_F(LoadTest, IncludeLoadsTheNestedDictionaryAndShiftsTheBase) {
    folder_.WriteLines("VEDICC.DAT", {"01* *  ventas", "0100<      8>Nnumero", "02* *  lineas",
                                      "0200<      8>Nnumero"});
    folder_.WriteLines("VEREL.DAT", {"62:1R1K1=NUMERO"});
    folder_.WriteLines("TTDICC.DAT", {"01* *  clientes", "0100<      6>Ccodcli", "02*$*  VE",
                                      "03* *  notas", "0300<     40>Atexto",
                                      // N = 1 names the last file of the nested dictionary, N = 2
                                      // the first one declared after the include line.
                                      "61:ZZ", "62:YY", "31<0001004>", "32<0001010>"});
    ASSERT_EQ(Load("TT"), status::kOk);
    ASSERT_EQ(FileCount(), 4);
    EXPECT_EQ(Str(FileName(2)), "ventas");
    EXPECT_EQ(Str(FileName(3)), "lineas");
    EXPECT_EQ(Str(FileName(4)), "notas");
    EXPECT_EQ(Str(RelationText(3)), "1R1K1=NUMERO:ZZ");
    EXPECT_EQ(Str(RelationText(4)), "YY");
    EXPECT_EQ(Str(RelationText(1)), "");
    // The nested DICC ended with a field line: every file up to then got its default index.
    EXPECT_EQ(DescribeIndexes(1), "(0,6)");
    EXPECT_EQ(DescribeIndexes(2), "(0,8)");
    EXPECT_EQ(DescribeIndexes(3), "(0,8) (0,4)");
    EXPECT_EQ(DescribeIndexes(4), "(0,10)");
}

TEST_F(LoadTest, IncludeOfAMissingDictionaryFails) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax", "02*$*  QQ", "03* *  c"});
    EXPECT_EQ(Load("TT"), status::kFileNotFound);
    EXPECT_EQ(FileCount(), 1);
}

TEST_F(LoadTest, IncludeCycleIsRefusedWithTheChain) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax", "02*$*  VE"});
    folder_.WriteLines("VEDICC.DAT", {"01* *  b", "0100<      4>Ax", "02*$*  tt"});
    EXPECT_EQ(Load("TT"), status::kLoopFailure);
    EXPECT_EQ(Str(ErrorDetail()), "TTDICC.DAT > VEDICC.DAT > ttDICC.DAT");
    EXPECT_EQ(FileCount(), 2);
}

TEST_F(LoadTest, DictionaryIncludingItselfIsRefused) {
    folder_.WriteLines("TTDICC.DAT", {"01* *  a", "02*$*  TT"});
    EXPECT_EQ(Load("TT"), status::kLoopFailure);
    EXPECT_EQ(FileCount(), 1);
}

TEST_F(LoadTest, EightNestedDictionariesLoadTheNinthIsRefused) {
    // A1 includes A2 ... each declares one file first.
    const int levels = 9;
    for (int level = 1; level <= levels; ++level) {
        std::vector<std::string> lines = {"01* *  f" + std::to_string(level), "0100<      2>Ax"};
        if (level < levels) lines.push_back("02*$*  A" + std::to_string(level + 1));
        folder_.WriteLines("A" + std::to_string(level) + "DICC.DAT", lines);
    }
    EXPECT_EQ(Load("A1"), status::kLoopFailure);
    EXPECT_EQ(FileCount(), 8);
    EXPECT_EQ(Str(ErrorDetail()).substr(0, 10), "A1DICC.DAT");

    ASSERT_EQ(ClearDictionary(), status::kOk);
    folder_.WriteLines("A8DICC.DAT", {"01* *  f8", "0100<      2>Ax"});
    EXPECT_EQ(Load("A1"), status::kOk);
    EXPECT_EQ(FileCount(), 8);
}

TEST_F(LoadTest, SamePrefixIncludedTwiceInSequenceIsNoCycle) {
    folder_.WriteLines("CODICC.DAT", {"01* *  comun", "0100<      2>Ax"});
    folder_.WriteLines("TTDICC.DAT", {"01*$*  CO", "02*$*  CO"});
    ASSERT_EQ(Load("TT"), status::kOk);
    EXPECT_EQ(FileCount(), 2);
}

// ---- Loads kept in memory -------------------------------------------------------------------

// A load that keeps what it read, nested dictionaries included, loads again from memory to the
// same model without the files; what an include brought shows in the file counts after each line.
TEST_F(LoadTest, TextsKeptByALoadLoadTheSameModelFromMemory) {
    folder_.WriteLines("VEDICC.DAT", {"01* *  facturas", "0100<      8>NNUMFAC", "02* *  cobros",
                                      "0200<      8>NNUMFAC"});
    folder_.WriteLines("ALDICC.DAT", {"01* *  clientes", "0100<      6>CCODCLI", "02*$*  ventas",
                                      "04* *  avisos", "0400<      4>NDIAS", "32<0001004>"});
    folder_.WriteLines("ALREL.DAT", {"62:1R1K1=CODCLI"});
    DictionaryTexts texts;
    ASSERT_EQ(LoadDictionaryKeepingTexts(TextView(folder_.path()), "AL"_t, ""_t, &texts),
              status::kOk);
    const std::string loaded = DescribeDictionary();
    ASSERT_EQ(texts.size(), 3u) << "ALDICC, VEDICC and ALREL; the missing VEREL is not kept";
    const DictionaryTextFile* own = FindDictionaryText(texts, "aldicc.dat");
    ASSERT_NE(own, nullptr) << "names are matched without case";
    EXPECT_EQ(own->lines.size(), 6u);
    EXPECT_EQ(own->filesAfter, (std::vector<std::uint16_t>{1, 1, 3, 4, 4, 4}));
    std::filesystem::remove_all(folder_.path());
    ASSERT_EQ(ClearDictionary(), status::kOk);
    ASSERT_EQ(LoadDictionaryFromTexts(texts, "AL"_t, ""_t), status::kOk);
    EXPECT_EQ(DescribeDictionary(), loaded);
    ASSERT_EQ(ClearDictionary(), status::kOk);
    EXPECT_EQ(LoadDictionaryFromTexts(texts, "XX"_t, ""_t), status::kFileNotFound);
}

// A line kept in memory that names a file the dictionary does not hold says which line it is.
TEST_F(LoadTest, ALineFromMemoryNamingNoFileSaysWhere) {
    DictionaryTexts texts = {{"ALDICC.DAT", {"01* *  a", "0100<      4>NA"}, {}},
                             {"ALREL.DAT", {"31<0001004>", "63:1R1K1=A"}, {}}};
    EXPECT_EQ(LoadDictionaryFromTexts(texts, "AL"_t, ""_t), status::kBadFileNumber);
    EXPECT_EQ(Str(ErrorDetail()), "ALREL.DAT (Line:2)");
}

} // namespace
} // namespace vodarir
