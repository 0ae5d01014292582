// The dictionary model: building steps, accessors, the current file, checks, field references,
// file references and checkpoints.
#include <gtest/gtest.h>

#include <functional>

#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "dictionary/dictionary_internal.h"
#include "dictionary_fixture.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/typed_tables.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::DescribeDictionary;
using testing::DescribeIndexes;
using testing::DictionaryTest;
using testing::Str;

// clientes (codcli 6 C, nombre 40 A, saldo 12 2), articulos (codart 10 C, N_LINE 4 N, precio 8 2).
class ModelTest : public DictionaryTest {
protected:
    void SetUp() override {
        DictionaryTest::SetUp();
        ASSERT_EQ(AddFile(0, "Clientes"_t, "datos"_t), status::kOk);
        ASSERT_EQ(AddField("codcli"_t, 6, 'C'), status::kOk);
        ASSERT_EQ(AddField("nombre"_t, 40, 'A'), status::kOk);
        ASSERT_EQ(AddField("saldo"_t, 12, '2'), status::kOk);
        ASSERT_EQ(AddFile(3, "articulos"_t, ""_t), status::kOk);
        ASSERT_EQ(AddField("codart"_t, 10, 'C'), status::kOk);
        ASSERT_EQ(AddField("N_LINE"_t, 4, 'N'), status::kOk);
        ASSERT_EQ(AddField("precio"_t, 8, '2'), status::kOk);
    }
};

// --- Building steps and accessors ----------------------------------------------------------------

TEST_F(ModelTest, BuildingStepsFillRecordsAndTexts) {
    EXPECT_EQ(DescribeDictionary(),
              "clientes(0,datos) len 58 codcli:C 6@0 nombre:A 40@6 saldo:2 12@46 |  | \n"
              "articulos(3,) len 22 codart:C 10@0 N_LINE:N 4@10 precio:2 8@14 |  | \n");
    EXPECT_EQ(TotalFieldCount(), 6);
    EXPECT_EQ(TableCount(table::kFileStruct), 2);
    EXPECT_EQ(TableCount(table::kFieldEntry), 6);
    const FieldEntryRecord entry = FieldEntry(2, 3);
    EXPECT_EQ(entry.file, 2);
    EXPECT_EQ(entry.field, 3);
    EXPECT_EQ(entry.status, 0);
}

TEST_F(ModelTest, AccessorsOutsideTheModelAnswerEmpty) {
    IntVarSet(sysvar::kCurFil, 0);
    EXPECT_EQ(Str(FileName(3)), "");
    EXPECT_EQ(FieldCount(0), 0);
    EXPECT_EQ(RecordLength(99), 0);
    EXPECT_EQ(Str(FieldName(1, 4)), ""); // not file 2's first field
    EXPECT_EQ(FieldLength(1, 0), 0);
    EXPECT_EQ(FieldType(2, 9), 0);
    EXPECT_EQ(FieldEntry(1, 4).file, 0);
    EXPECT_EQ(FindField(7, "codcli"_t), kNoField);
}

TEST_F(ModelTest, InvalidFileNumbersStandForTheCurrentFile) {
    EXPECT_EQ(SetCurrentFile(2), 2);
    EXPECT_EQ(IntVarGet(sysvar::kCurFil), 2);
    EXPECT_EQ(Str(FileName(0)), "articulos");
    EXPECT_EQ(Str(FileName(31)), "articulos");
    EXPECT_EQ(FieldCount(5), 3);
    EXPECT_EQ(CheckFile(1), 1);
    EXPECT_EQ(CheckFile(3), 2);
    EXPECT_EQ(SetCurrentFile(3), 2); // refused: stays on 2
    EXPECT_EQ(SetCurrentFile(0), 2);
    EXPECT_EQ(SetCurrentFile(1), 1);
}

TEST_F(ModelTest, AddFieldRefusesWithoutAFile) {
    ASSERT_EQ(ClearDictionary(), status::kOk);
    EXPECT_EQ(AddField("x"_t, 1, 'A'), status::kFileOutBound);
    EXPECT_EQ(TotalFieldCount(), 0);
    EXPECT_EQ(TableCount(table::kFieldEntry), 0);
}

TEST_F(ModelTest, ThirtyFilesTheThirtyFirstIsRefused) {
    for (int f = 3; f <= 30; ++f) ASSERT_EQ(AddFile(0, TextView("f" + std::to_string(f)), ""_t), 0);
    EXPECT_EQ(AddFile(0, "f31"_t, ""_t), status::kFileOutBound);
    EXPECT_EQ(FileCount(), 30);
    EXPECT_EQ(AddField("ultimo"_t, 3, 'A'), status::kOk);
    EXPECT_EQ(FieldCount(30), 1);
}

TEST_F(ModelTest, RelationTextsJoinWithColonAndRefuseFilesOutside) {
    EXPECT_EQ(AppendRelation(1, "2R1K1=CODCLI"_t), status::kOk);
    EXPECT_EQ(AppendRelation(1, ""_t), status::kOk);
    EXPECT_EQ(AppendRelation(1, "3R1K2='B'"_t), status::kOk);
    EXPECT_EQ(Str(RelationText(1)), "2R1K1=CODCLI:3R1K2='B'");
    EXPECT_EQ(AppendRelation(3, "x"_t), status::kBadFileNumber);
    EXPECT_EQ(AppendRelation(0, "x"_t), status::kBadFileNumber);
    EXPECT_EQ(Str(RelationText(2)), "");
}

TEST_F(ModelTest, AddIndexKeepsFiveSegmentsAndCompletesEarlierDefaults) {
    const KeySegment six[6] = {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}};
    ASSERT_EQ(AddIndex(2, 6, six), status::kOk);
    EXPECT_EQ(DescribeIndexes(1), "(0,6)");
    EXPECT_EQ(DescribeIndexes(2), "(0,1)(1,1)(2,1)(3,1)(4,1)");
    EXPECT_EQ(LastIndexedFile(), 2);
    EXPECT_EQ(AddIndex(3, 1, six), status::kBadFileNumber);
    EXPECT_EQ(AddIndex(0, 1, six), status::kBadFileNumber);
}

// --- Lookups -------------------------------------------------------------------------------------

TEST_F(ModelTest, FileNumberOfNamesNumbersAndTheCurrentFile) {
    SetCurrentFile(2);
    struct Row {
        std::string text;
        std::uint16_t file;
    };
    const std::vector<Row> rows = {
        {"clientes", 1}, {"CLIENTES", 1}, {"Articulos", 2},   {"", 2},       {"2", 2},
        {"7", 7},        {"12x", 12},     {"proveedores", 0}, {"client", 0}, {"@", 0}};
    for (const Row& row : rows) {
        EXPECT_EQ(FileNumberOf(TextView(row.text)), row.file) << "text: '" << row.text << "'";
    }
    EXPECT_EQ(Str(FileNameList()), "clientes,articulos");
    EXPECT_EQ(ScratchDepth(), 1);
    ScratchRelease(0);
}

TEST_F(ModelTest, NamesBeginningWithHighBytesAreNamesNotNumbers) {
    // cp1252 "ñandúes" and "Éxitos".
    ASSERT_EQ(AddFile(0,
                      "\xF1"
                      "and\xFA"
                      "es"_t,
                      ""_t),
              status::kOk);
    ASSERT_EQ(AddField("c\xF3"
                       "digo"_t,
                       4, 'C'),
              status::kOk);
    ASSERT_EQ(AddFile(0, "\xC9xitos"_t, ""_t), status::kOk);
    EXPECT_EQ(FileNumberOf("\xF1"
                           "and\xFA"
                           "es"_t),
              3);
    EXPECT_EQ(FileNumberOf("\xC9xitos"_t), 4);
    const FieldEntryRecord ref = ResolveFieldRef("c\xF3"
                                                 "digo{\xF1"
                                                 "and\xFA"
                                                 "es}"_t);
    EXPECT_EQ(ref.status, 0);
    EXPECT_EQ(ref.file, 3);
    EXPECT_EQ(ref.field, 1);
}

TEST_F(ModelTest, FindFieldIsExactAndCaseSensitive) {
    EXPECT_EQ(FindField(1, "nombre"_t), 2);
    EXPECT_EQ(FindField(1, "NOMBRE"_t), kNoField);
    EXPECT_EQ(FindField(1, "nombr"_t), kNoField);
    EXPECT_EQ(FindField(1, "nombre "_t), kNoField);
    EXPECT_EQ(FindField(2, "N_LINE"_t), 2);
    EXPECT_EQ(FindField(2, "codcli"_t), kNoField);
}

TEST_F(ModelTest, TrailingBlanksOfFieldNamesAreDropped) {
    ASSERT_EQ(AddField("total \t "_t, 3, 'N'), status::kOk);
    EXPECT_EQ(Str(FieldName(2, 4)), "total");
}

// --- Checks --------------------------------------------------------------------------------------

TEST_F(ModelTest, CheckFieldAcceptsFieldsOfTheFileAndAfterTheLast) {
    IntVarSet(sysvar::kCurFil, 0);
    struct Row {
        std::uint16_t file;
        std::uint16_t field;
        StatusCode status;
        std::string detail;
    };
    const std::vector<Row> rows = {
        {1, 1, 0, ""},
        {1, 3, 0, ""},
        {2, kNoField, 0, ""},
        {1, 4, 168, "(File:1, Field:4)"},
        {1, 0, 168, "(File:1, Field:0)"},
        {3, 1, 168, "(File:3, Field:1)"},
        {0, kNoField, 168, "(File:0, Field:65535)"},
    };
    for (const Row& row : rows) {
        LogErrorText(0, ""_t, false);
        EXPECT_EQ(CheckField(row.file, row.field), row.status)
            << "file " << row.file << " field " << row.field;
        EXPECT_EQ(Str(ErrorDetail()), row.detail) << "file " << row.file << " field " << row.field;
    }
}

TEST_F(ModelTest, CheckIndexAndIndexDefinition) {
    const KeySegment two[2] = {{0, 6}, {6, 40}};
    ASSERT_EQ(AddIndex(1, 2, two), status::kOk);
    EXPECT_EQ(CheckIndex(1, 1), status::kOk);
    EXPECT_EQ(CheckIndex(1, 2), status::kDataOutBound);
    EXPECT_EQ(CheckIndex(1, 0), status::kDataOutBound);
    EXPECT_EQ(CheckIndex(2, 1), status::kDataOutBound);
    EXPECT_EQ(IndexDefinition(1, 1).segmentCount, 2u);
    EXPECT_EQ(IndexDefinition(1, 1).segments[1].length, 40);
    EXPECT_EQ(IndexDefinition(1, 2).segmentCount, 0u);
    EXPECT_EQ(KeyLength(1, 1, 1), 6);
    EXPECT_EQ(KeyLength(1, 1, 2), 46);
    EXPECT_EQ(KeyLength(1, 1, 9), 46);
    EXPECT_EQ(KeyLength(1, 1, kAllSegments), 46);
    // No such index: the length of field 1.
    EXPECT_EQ(KeyLength(1, 2, kAllSegments), 6);
    EXPECT_EQ(KeyLength(2, 1, kAllSegments), 10);
}

// --- Field references ----------------------------------------------------------------------------

TEST_F(ModelTest, FieldReferencesResolve) {
    SetCurrentFile(1);
    struct Row {
        std::string ref;
        StatusCode status;
        int file;
        int field;
        int offset;
        int length;
    };
    const std::vector<Row> rows = {
        {"nombre{}", 0, 1, 2, 6, 40},
        {"nombre{1}", 0, 1, 2, 6, 40},
        {"precio{articulos}", 0, 2, 3, 14, 8},
        {"precio{ARTICULOS}", 0, 2, 3, 14, 8},
        {"2{2}", 0, 2, 2, 10, 4},
        {"3{clientes}", 0, 1, 3, 46, 12},
        {"{2}", 0, 2, 0, -1, -1},
        {"{}", 0, 1, 0, -1, -1},
        {"{clientes}", 0, 1, 0, -1, -1},
        {"nombre{ 2}", 147, 0, 0, -1, -1},
        {"nombre", 147, 0, 0, -1, -1},
        {"nombre}{1", 147, 0, 0, -1, -1},
        {"nombre{1", 147, 0, 0, -1, -1},
        {"nombre{31}", 161, 0, 0, -1, -1},
        {"nombre{0}", 161, 0, 0, -1, -1},
        {"nombre{3}", 161, 0, 0, -1, -1},
        {"nombre{nada}", 161, 0, 0, -1, -1},
        {"NOMBRE{1}", 147, 0, 0, -1, -1},
        {"4{1}", 168, 1, 0, -1, -1},
        {"99999{1}", 168, 1, 0, -1, -1},
        {"-1{1}", 147, 0, 0, -1, -1},
    };
    for (const Row& row : rows) {
        const FieldEntryRecord r = ResolveFieldRef(TextView(row.ref));
        EXPECT_EQ(r.status, row.status) << "reference: " << row.ref;
        EXPECT_EQ(r.file, row.file) << "reference: " << row.ref;
        EXPECT_EQ(r.field, row.field) << "reference: " << row.ref;
        if (row.status == 0 && row.field == 0) {
            EXPECT_EQ(r.type, 'N') << "reference: " << row.ref;
        }
        if (row.offset >= 0) {
            EXPECT_EQ(r.offset, row.offset) << "reference: " << row.ref;
            EXPECT_EQ(r.length, row.length) << "reference: " << row.ref;
        }
    }
}

TEST_F(ModelTest, FieldReferenceFailuresLeaveTheirDetail) {
    ResolveFieldRef("nombre"_t);
    EXPECT_EQ(Str(ErrorDetail()), "Field:nombre");
    ResolveFieldRef("zz{2}"_t);
    EXPECT_EQ(Str(ErrorDetail()), "Field:zz{2}");
    ResolveFieldRef("9{2}"_t);
    EXPECT_EQ(Str(ErrorDetail()), "(File:2, Field:9)");
    EXPECT_EQ(ScratchDepth(), 0);
}

TEST_F(ModelTest, FileRefsAreBracedNumbers) {
    EXPECT_EQ(Str(FileRef(0)), "{}");
    EXPECT_EQ(Str(FileRef(2)), "{2}");
    EXPECT_EQ(Str(FileRef(30)), "{30}");
    ScratchRelease(0);
}

// --- Checkpoints ---------------------------------------------------------------------------------

TEST_F(ModelTest, DiscardAboveACheckpointGivesTheEarlierDictionaryBack) {
    SetCurrentFile(2);
    const std::string before = DescribeDictionary();
    ASSERT_EQ(PushCheckpoint(), status::kOk);
    ASSERT_EQ(AddField("extra"_t, 5, 'A'), status::kOk); // to an existing file
    ASSERT_EQ(AddFile(0, "temporal"_t, "tmp"_t), status::kOk);
    ASSERT_EQ(AddField("t"_t, 9, 'A'), status::kOk);
    ASSERT_EQ(AppendRelation(3, "1R1K1=T"_t), status::kOk);
    ASSERT_EQ(AddIndex(3, 0, nullptr), status::kOk);
    SetCurrentFile(3);
    ASSERT_EQ(DiscardAboveCheckpoint(), status::kOk);
    EXPECT_EQ(DescribeDictionary(), before);
    EXPECT_EQ(FileCount(), 2);
    EXPECT_EQ(TotalFieldCount(), 6);
    EXPECT_EQ(CurrentFile(), 2);
    EXPECT_EQ(TableCount(table::kFileStruct), 2);
    EXPECT_EQ(TableCount(table::kFieldEntry), 6);
    EXPECT_EQ(TotalIndexCount(), 0);
    EXPECT_EQ(TableCount(table::kIndexEntry), 0);
    EXPECT_EQ(TableCount(table::kIndexSegs), 0);
    EXPECT_EQ(SlotCount(dictgroup::kFileNames), 2);
    EXPECT_EQ(SlotCount(dictgroup::kFieldNames), 6);
    // A file added after the discard does not inherit the discarded one's relation text.
    ASSERT_EQ(AddFile(0, "otra"_t, ""_t), status::kOk);
    EXPECT_EQ(Str(RelationText(3)), "");
}

TEST_F(ModelTest, PopCheckpointRestoresCountsOnly) {
    ASSERT_EQ(PushCheckpoint(), status::kOk);
    ASSERT_EQ(AddFile(0, "temporal"_t, ""_t), status::kOk);
    ASSERT_EQ(AppendRelation(3, "1R1K1=T"_t), status::kOk);
    ASSERT_EQ(PopCheckpoint(), status::kOk);
    EXPECT_EQ(FileCount(), 2);
    EXPECT_EQ(TableCount(table::kFileStruct), 3); // still there, beyond the count
    EXPECT_EQ(FileNumberOf("temporal"_t), 0);
    ASSERT_EQ(AddFile(0, "nueva"_t, ""_t), status::kOk);
    EXPECT_EQ(Str(FileName(3)), "nueva");
    EXPECT_EQ(FieldCount(3), 0);
    EXPECT_EQ(Str(RelationText(3)), "");
}

TEST_F(ModelTest, CheckpointsNestSevenDeep) {
    for (int i = 0; i < kMaxDictionaryCheckpoints; ++i) {
        ASSERT_EQ(AddFile(0, TextView("n" + std::to_string(i)), ""_t), status::kOk) << i;
        ASSERT_EQ(PushCheckpoint(), status::kOk) << i;
    }
    EXPECT_EQ(PushCheckpoint(), status::kDataOutBound);
    EXPECT_EQ(CheckpointDepth(), kMaxDictionaryCheckpoints);
    ASSERT_EQ(AddFile(0, "arriba"_t, ""_t), status::kOk);
    for (int i = kMaxDictionaryCheckpoints - 1; i >= 0; --i) {
        ASSERT_EQ(DiscardAboveCheckpoint(), status::kOk);
        EXPECT_EQ(FileCount(), 3 + i) << i;
        EXPECT_EQ(Str(FileName(FileCount())), "n" + std::to_string(i)) << i;
    }
    EXPECT_EQ(CheckpointDepth(), 0);
}

TEST_F(ModelTest, PopOnAnEmptyStackEmptiesTheDictionary) {
    EXPECT_EQ(CheckpointDepth(), 0);
    EXPECT_EQ(PopCheckpoint(), status::kOk);
    EXPECT_EQ(FileCount(), 0);
    EXPECT_EQ(TotalFieldCount(), 0);
    EXPECT_EQ(TotalIndexCount(), 0);
}

TEST_F(ModelTest, ClearDictionaryRemovesEverything) {
    ASSERT_EQ(AppendRelation(2, "1R1K1=X"_t), status::kOk);
    ASSERT_EQ(PushCheckpoint(), status::kOk);
    ASSERT_EQ(ClearDictionary(), status::kOk);
    EXPECT_EQ(CheckpointDepth(), 0);
    EXPECT_EQ(FileCount(), 0);
    EXPECT_EQ(TotalFieldCount(), 0);
    for (std::uint16_t t :
         {table::kFileStruct, table::kFieldEntry, table::kIndexEntry, table::kIndexSegs}) {
        EXPECT_EQ(TableCount(t), 0) << "table " << t;
    }
    for (SlotGroup g = dictgroup::kFileNames; g <= dictgroup::kRelations; ++g) {
        EXPECT_EQ(SlotCount(g), 0) << "group " << g;
    }
}

// --- The counters' invariants -------------------------------------------------------------------

// Each row damages one thing the counters promise, checks that the check names that invariant,
// and repairs it.
TEST_F(ModelTest, TheInvariantCheckNamesEveryBrokenCounter) {
    using dictionary_detail::State;
    ASSERT_TRUE(DictionaryCheckInvariants().holds) << DictionaryCheckInvariants().broken;
    struct Row {
        const char* damage;
        const char* expected;
        std::function<void(int)> change; // +1 damages, -1 repairs
    };
    const Row rows[] = {
        {"one file too many", "invariant 1", [](int d) { State().files += d; }},
        {"one field too many", "invariant 2", [](int d) { State().fields += d; }},
        {"one index too many", "invariant 3", [](int d) { State().indexes += d; }},
        {"last indexed beyond the files", "invariant 5",
         [](int d) { State().lastIndexed += 3 * d; }},
    };
    for (const Row& r : rows) {
        r.change(+1);
        const InvariantStatus s = DictionaryCheckInvariants();
        EXPECT_FALSE(s.holds) << r.damage;
        EXPECT_NE(std::string(s.broken).find(r.expected), std::string::npos)
            << r.damage << ": " << s.broken;
        r.change(-1);
        EXPECT_TRUE(DictionaryCheckInvariants().holds) << r.damage << ": " << s.broken;
    }
}

TEST_F(ModelTest, TheInvariantCheckFollowsTheFieldsOfAFile) {
    FieldEntryRecord entry = dictionary_detail::EntryOf(1, 2);
    ASSERT_EQ(entry.offset, 6);
    entry.offset = 7;
    ASSERT_EQ(dictionary_detail::PutRecord(table::kFieldEntry, 1, &entry, sizeof entry),
              status::kOk);
    const InvariantStatus s = DictionaryCheckInvariants();
    EXPECT_FALSE(s.holds);
    EXPECT_NE(std::string(s.broken).find("field 2 of file 1"), std::string::npos) << s.broken;
    entry.offset = 6;
    ASSERT_EQ(dictionary_detail::PutRecord(table::kFieldEntry, 1, &entry, sizeof entry),
              status::kOk);
    EXPECT_TRUE(DictionaryCheckInvariants().holds) << DictionaryCheckInvariants().broken;
}

} // namespace
} // namespace vodarir
