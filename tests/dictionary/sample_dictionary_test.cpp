// The warehouse sample application's dictionary: what it loads, and round trips through the
// designer's writer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "designer/structure_file.h"
#include "dictionary/dictionary.h"
#include "dictionary_fixture.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir {
namespace {

using namespace literals;
using testing::DescribeDictionary;
using testing::DescribeIndexes;
using testing::DictionaryTest;
using testing::Str;

const std::string kSampleFolder = VODARIR_EXAMPLES_DIR "/almacen";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SampleDictionaryTest : public DictionaryTest {
protected:
    StatusCode LoadSample() { return LoadDictionary(TextView(kSampleFolder), "ALMACEN"_t, ""_t); }
};

TEST_F(SampleDictionaryTest, LoadsSevenFilesWithTheirIndexesAndRelations) {
    ASSERT_EQ(LoadSample(), status::kOk);
    ASSERT_EQ(FileCount(), 7);
    EXPECT_EQ(Str(FileNameList()),
              "articulos,clientes,proveedores,familias,pedidos,lineas,usuarios");
    ScratchRelease(0);
    EXPECT_EQ(TotalFieldCount(), 11 + 13 + 8 + 3 + 9 + 7 + 5);
    EXPECT_EQ(RecordLength(1), 108);
    EXPECT_EQ(RecordLength(5), 119);
    EXPECT_EQ(RecordLength(6), 59);
    // Default indexes from the DICC file, the REL file's index lines after them.
    EXPECT_EQ(DescribeIndexes(1), "(0,10) (10,40) (50,4)(0,10)");
    EXPECT_EQ(DescribeIndexes(2), "(0,6) (6,40) (128,5)(6,40)");
    EXPECT_EQ(DescribeIndexes(5), "(0,8) (20,6)(8,8)");
    EXPECT_EQ(DescribeIndexes(6), "(0,12) (12,10)"); // N_LINE closes the default key
    EXPECT_EQ(DescribeIndexes(7), "(0,10)");
    EXPECT_EQ(Str(RelationText(1)), "4R1K1=CODFAM:3R1K1=CODPRO");
    EXPECT_EQ(Str(RelationText(6)), "5R1K1=NUMPED:1R1K1=CODART");
    EXPECT_EQ(Str(RelationText(7)), "2R1K2='NOMBRE'");
    const FieldEntryRecord year = ResolveFieldRef("A\xD1O{pedidos}"_t);
    EXPECT_EQ(year.status, 0);
    EXPECT_EQ(year.offset, 16);
    EXPECT_EQ(year.type, 'N');
    EXPECT_EQ(FieldType(7, 3), 'P');
}

// The sample as the designer's writer saves it (its index and relation lines included).
std::string SavedSample() {
    DictionaryTexts texts;
    EXPECT_EQ(LoadDictionaryKeepingTexts(TextView(kSampleFolder), "ALMACEN"_t, ""_t, &texts),
              status::kOk);
    return StructureFile::FromLoad(std::move(texts), "AL").Bytes();
}

TEST_F(SampleDictionaryTest, SavingWritesTheSampleFileByteForByte) {
    EXPECT_EQ(SavedSample(), ReadFile(kSampleFolder + "/ALDICC.DAT"));
}

TEST_F(SampleDictionaryTest, ReloadingTheSavedFileGivesTheSameModel) {
    ASSERT_EQ(LoadSample(), status::kOk);
    const std::string loaded = DescribeDictionary();
    const std::string saved = SavedSample();
    ASSERT_EQ(ClearDictionary(), status::kOk);
    folder_.Write("ALDICC.DAT", saved);
    folder_.Write("ALREL.DAT", ReadFile(kSampleFolder + "/ALREL.DAT"));
    ASSERT_EQ(ClearDictionary(), status::kOk);
    ASSERT_EQ(Load("AL"), status::kOk);
    EXPECT_EQ(DescribeDictionary(), loaded);
}

TEST_F(SampleDictionaryTest, IncludedAfterAnotherFileKeepsItsOwnNumbering) {
    ASSERT_EQ(LoadSample(), status::kOk);
    const std::string alone = DescribeDictionary();
    ASSERT_EQ(ClearDictionary(), status::kOk);
    folder_.WriteLines("TTDICC.DAT", {"01* *  propia", "0100<      3>Acod", "02*$*  AL"});
    ASSERT_EQ(LoadDictionary(TextView(folder_.path() + "," + kSampleFolder), "TT"_t, ""_t),
              status::kOk);
    ASSERT_EQ(FileCount(), 8);
    // Without the first file's line, the rest is the sample as loaded alone.
    const std::string both = DescribeDictionary();
    EXPECT_EQ(both.substr(both.find('\n') + 1), alone);
}

} // namespace
} // namespace vodarir
