// Editing the dictionary as the file-structure editor does: deleting, inserting, modifying and
// renaming files and fields, with the model reading as a reload of the saved file would.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "dictionary_fixture.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/typed_tables.h"
#include "runtime/store/variables.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::DescribeDictionary;
using testing::DescribeIndexes;
using testing::DictionaryTest;
using testing::Str;

// Three files as a load gives them: a (x 4, y 6), b (p 2, q 3, r 5), c (z 7), with default indexes
// and a relation text on each.
class EditTest : public DictionaryTest {
protected:
    void SetUp() override {
        DictionaryTest::SetUp();
        folder_.WriteLines("TTDICC.DAT", {"01* *  a", "0100<      4>Ax", "0100<      6>Ny",
                                          "02* *  b", "0200<      2>Ap", "0200<      3>Aq",
                                          "0200<      5>Ar", "03* *  c", "0300<      7>Dz"});
        folder_.WriteLines("TTREL.DAT", {"61:RA", "62:RB", "63:RC"});
        ASSERT_EQ(Load("TT"), status::kOk);
    }

    // The model after a save in the designer's format (file and field lines) and a fresh load,
    // without indexes and relations, which that save does not write.
    std::string Reloaded() {
        const std::vector<std::string> lines = testing::DesignerLines();
        folder_.WriteLines("RRDICC.DAT", lines);
        if (ClearDictionary() != status::kOk || Load("RR") != status::kOk) return "reload failed";
        return WithoutIndexes(DescribeDictionary());
    }

    // The description with the index and relation columns cut away.
    static std::string WithoutIndexes(const std::string& description) {
        std::string out;
        std::size_t start = 0;
        while (start < description.size()) {
            const std::size_t end = description.find('\n', start);
            const std::string line = description.substr(start, end - start);
            out += line.substr(0, line.find(" | ")) + "\n";
            start = end + 1;
        }
        return out;
    }
};

TEST_F(EditTest, LoadedModel) {
    EXPECT_EQ(DescribeDictionary(), "a(0,) len 10 x:A 4@0 y:N 6@4 | (0,4) | RA\n"
                                    "b(0,) len 10 p:A 2@0 q:A 3@2 r:A 5@5 | (0,2) | RB\n"
                                    "c(0,) len 7 z:D 7@0 | (0,7) | RC\n");
}

// --- Fields --------------------------------------------------------------------------------------

TEST_F(EditTest, DeletingAFieldRenumbersAndRecomputesOffsets) {
    ASSERT_EQ(DeleteFields(2, 2, 1), status::kOk);
    EXPECT_EQ(WithoutIndexes(DescribeDictionary()), "a(0,) len 10 x:A 4@0 y:N 6@4\n"
                                                    "b(0,) len 7 p:A 2@0 r:A 5@2\n"
                                                    "c(0,) len 7 z:D 7@0\n");
    const FieldEntryRecord r = FieldEntry(2, 2);
    EXPECT_EQ(r.field, 2);
    EXPECT_EQ(r.file, 2);
    EXPECT_EQ(TotalFieldCount(), 5);
    EXPECT_EQ(TableCount(table::kFieldEntry), 5);
    EXPECT_EQ(ResolveFieldRef("r{b}"_t).field, 2);
    const std::string edited = WithoutIndexes(DescribeDictionary());
    EXPECT_EQ(Reloaded(), edited);
}

TEST_F(EditTest, DeletingSeveralFieldsAndTheirLimits) {
    ASSERT_EQ(DeleteFields(2, 1, 3), status::kOk);
    EXPECT_EQ(FieldCount(2), 0);
    EXPECT_EQ(RecordLength(2), 0);
    EXPECT_EQ(Str(FieldName(3, 1)), "z");
    struct Row {
        std::uint16_t file, first, count;
        std::string detail;
    };
    const std::vector<Row> refused = {{1, 2, 2, "(File:1, Field:3)"},
                                      {1, 0, 1, "(File:1, Field:0)"},
                                      {1, kNoField, 1, "(File:1, Field:65535)"},
                                      {2, 1, 1, "(File:2, Field:1)"},
                                      {1, 1, kNoField, "(File:1, Field:65535)"}};
    for (const Row& row : refused) {
        EXPECT_EQ(DeleteFields(row.file, row.first, row.count), status::kDataOutBound)
            << row.file << "," << row.first << "," << row.count;
        EXPECT_EQ(Str(ErrorDetail()), row.detail)
            << row.file << "," << row.first << "," << row.count;
    }
    EXPECT_EQ(FieldCount(1), 2);
    EXPECT_EQ(DeleteFields(1, 2, 0), status::kOk);
    EXPECT_EQ(FieldCount(1), 2);
}

TEST_F(EditTest, InsertingAFieldInsideAFile) {
    ASSERT_EQ(InsertField(2, 2, "nuevo"_t, 10, 'A'), status::kOk);
    EXPECT_EQ(WithoutIndexes(DescribeDictionary()),
              "a(0,) len 10 x:A 4@0 y:N 6@4\n"
              "b(0,) len 20 p:A 2@0 nuevo:A 10@2 q:A 3@12 r:A 5@15\n"
              "c(0,) len 7 z:D 7@0\n");
    EXPECT_EQ(FieldEntry(2, 4).field, 4);
    EXPECT_EQ(TotalFieldCount(), 7);
    const std::string edited = WithoutIndexes(DescribeDictionary());
    EXPECT_EQ(Reloaded(), edited);
}

TEST_F(EditTest, AppendingAFieldToAFileThatIsNotTheLast) {
    ASSERT_EQ(InsertField(1, 3, "z1"_t, 3, 'N'), status::kOk);
    ASSERT_EQ(InsertField(1, kNoField, "z2"_t, 2, 'A'), status::kOk);
    EXPECT_EQ(WithoutIndexes(DescribeDictionary()),
              "a(0,) len 15 x:A 4@0 y:N 6@4 z1:N 3@10 z2:A 2@13\n"
              "b(0,) len 10 p:A 2@0 q:A 3@2 r:A 5@5\n"
              "c(0,) len 7 z:D 7@0\n");
    EXPECT_EQ(FieldEntry(2, 1).file, 2);
}

TEST_F(EditTest, InsertingAFieldOutsideTheFileIsRefused) {
    EXPECT_EQ(InsertField(1, 4, "x"_t, 1, 'A'), status::kDataOutBound);
    EXPECT_EQ(Str(ErrorDetail()), "(File:1, Field:4)");
    EXPECT_EQ(InsertField(1, 0, "x"_t, 1, 'A'), status::kDataOutBound);
    EXPECT_EQ(InsertField(1, 1, "x"_t, 65535, 'A'), status::kDataOutBound);
    EXPECT_EQ(TotalFieldCount(), 6);
}

TEST_F(EditTest, InsertingIntoTheCurrentFileThroughAnInvalidNumber) {
    SetCurrentFile(3);
    ASSERT_EQ(InsertField(0, 1, "w"_t, 1, 'L'), status::kOk);
    EXPECT_EQ(Str(FieldName(3, 1)), "w");
    EXPECT_EQ(FieldOffset(3, 2), 1);
}

TEST_F(EditTest, ModifyingAFieldMovesTheFollowingOffsets) {
    ASSERT_EQ(ModifyField(2, 1, "pp"_t, 12, 'C'), status::kOk);
    EXPECT_EQ(WithoutIndexes(DescribeDictionary()), "a(0,) len 10 x:A 4@0 y:N 6@4\n"
                                                    "b(0,) len 20 pp:C 12@0 q:A 3@12 r:A 5@15\n"
                                                    "c(0,) len 7 z:D 7@0\n");
    EXPECT_EQ(ModifyField(2, 4, "x"_t, 1, 'A'), status::kDataOutBound);
}

// --- Files ---------------------------------------------------------------------------------------

TEST_F(EditTest, DeletingTheMiddleFileMovesTheLastDown) {
    SetCurrentFile(3);
    ASSERT_EQ(DeleteFile(2), status::kOk);
    EXPECT_EQ(DescribeDictionary(), "a(0,) len 10 x:A 4@0 y:N 6@4 | (0,4) | RA\n"
                                    "c(0,) len 7 z:D 7@0 | (0,7) | RC\n");
    EXPECT_EQ(FileNumberOf("c"_t), 2);
    EXPECT_EQ(FileStruct(2).number, 2);
    EXPECT_EQ(FieldEntry(2, 1).file, 2);
    EXPECT_EQ(ResolveFieldRef("z{c}"_t).file, 2);
    EXPECT_EQ(CurrentFile(), 2);
    EXPECT_EQ(TotalIndexCount(), 2);
    EXPECT_EQ(TableCount(table::kIndexEntry), 2);
    EXPECT_EQ(TableCount(table::kFileStruct), 2);
    EXPECT_EQ(SlotCount(dictgroup::kFieldNames), 3);
}

TEST_F(EditTest, DeletingTheCurrentLastFileMovesTheCurrentFileDown) {
    SetCurrentFile(3);
    ASSERT_EQ(DeleteFile(3), status::kOk);
    EXPECT_EQ(CurrentFile(), 2);
    SetCurrentFile(1);
    ASSERT_EQ(DeleteFile(2), status::kOk);
    EXPECT_EQ(CurrentFile(), 1);
}

TEST_F(EditTest, AFileWithoutFieldsCanBeDeleted) {
    ASSERT_EQ(DeleteFields(2, 1, 3), status::kOk);
    ASSERT_EQ(DeleteFile(2), status::kOk);
    EXPECT_EQ(FileCount(), 2);
    EXPECT_EQ(Str(FileName(2)), "c");
}

TEST_F(EditTest, DeletingAnInvalidFileIsRefused) {
    for (std::uint16_t file : {0, 4, 99}) {
        EXPECT_EQ(DeleteFile(file), status::kDataOutBound) << file;
        EXPECT_EQ(Str(ErrorDetail()), "(File:" + std::to_string(file) + ")");
    }
    EXPECT_EQ(FileCount(), 3);
}

TEST_F(EditTest, InsertingAFileMovesTheLaterFilesWithTheirTexts) {
    SetCurrentFile(2);
    ASSERT_EQ(InsertFile(2, "Nuevo"_t, "loc"_t), status::kOk);
    EXPECT_EQ(DescribeDictionary(), "a(0,) len 10 x:A 4@0 y:N 6@4 | (0,4) | RA\n"
                                    "nuevo(0,loc) len 0 |  | \n"
                                    "b(0,) len 10 p:A 2@0 q:A 3@2 r:A 5@5 | (0,2) | RB\n"
                                    "c(0,) len 7 z:D 7@0 | (0,7) | RC\n");
    EXPECT_EQ(CurrentFile(), 3);
    EXPECT_EQ(FieldEntry(3, 2).file, 3);
    EXPECT_EQ(FileStruct(4).number, 4);
    EXPECT_EQ(FileNumberOf("NUEVO"_t), 2);
    ASSERT_EQ(InsertField(2, 1, "n1"_t, 3, 'A'), status::kOk);
    EXPECT_EQ(FieldOffset(3, 2), 2);
    // The designer saves every location as a blank, which reloads as the default (empty) one.
    ASSERT_EQ(RenameFile(2, "nuevo"_t, ""_t), status::kOk);
    const std::string edited = WithoutIndexes(DescribeDictionary());
    EXPECT_EQ(Reloaded(), edited);
}

TEST_F(EditTest, InsertingAFileOutsideOrBeyondThirtyIsRefused) {
    EXPECT_EQ(InsertFile(0, "x"_t, ""_t), status::kDataOutBound);
    EXPECT_EQ(InsertFile(4, "x"_t, ""_t), status::kDataOutBound);
    for (int f = 4; f <= 30; ++f) ASSERT_EQ(AddFile(0, "f"_t, ""_t), status::kOk);
    EXPECT_EQ(InsertFile(1, "x"_t, ""_t), status::kFileOutBound);
    EXPECT_EQ(Str(FileName(1)), "a");
}

TEST_F(EditTest, RenamingAFileStoresTheNameInLowerCase) {
    ASSERT_EQ(RenameFile(2, "Bodega"_t, "C:\\datos"_t), status::kOk);
    EXPECT_EQ(Str(FileName(2)), "bodega");
    EXPECT_EQ(Str(FileLocation(2)), "C:\\datos");
    EXPECT_EQ(FileNumberOf("BODEGA"_t), 2);
    EXPECT_EQ(RenameFile(4, "x"_t, ""_t), status::kDataOutBound);
    // A name given as a view into the store itself.
    ASSERT_EQ(RenameFile(1, FileName(3), FileLocation(2)), status::kOk);
    EXPECT_EQ(Str(FileName(1)), "c");
    EXPECT_EQ(Str(FileLocation(1)), "C:\\datos");
}

} // namespace
} // namespace vodarir
