// The structure file's writer: what a load read comes back as it was, include lines stay includes,
// index and relation lines follow their files, and every saved file loads to the model the editor
// showed.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "../dictionary/dictionary_fixture.h"
#include "designer/structure_dialogs.h"
#include "designer/structure_file.h"
#include "dictionary/dictionary.h"

namespace vodarir::testing {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class StructureFileTest : public DictionaryTest {
protected:
    // Loads prefix DICC.DAT from the folder, keeping what was read, into a structure file.
    StructureFile LoadStructure(const std::string& prefix) {
        DictionaryTexts texts;
        EXPECT_EQ(LoadDictionaryKeepingTexts(TextView(folder_.path()), TextView(prefix), TextRef(),
                                             &texts),
                  status::kOk);
        return StructureFile::FromLoad(std::move(texts), prefix);
    }

    // Writes the structure as the save does, loads the saved file from disk, and answers whether
    // the model read back is the one the editor shows (the structure rebuilt).
    void ExpectSavedFileLoadsAsShown(const StructureFile& s, const std::string& prefix) {
        ASSERT_EQ(s.Rebuild(), status::kOk);
        const std::string shown = DescribeDictionary();
        folder_.Write(prefix + "DICC.DAT", s.Bytes());
        ASSERT_EQ(ClearDictionary(), status::kOk);
        ASSERT_EQ(Load(prefix), status::kOk);
        EXPECT_EQ(DescribeDictionary(), shown);
    }

    std::string Lines(const StructureFile& s) {
        std::string out;
        for (const StructureLine& line : s.lines()) out += line.text + "|";
        return out;
    }
};

// Two files of this application, an include of VE's two files in between, own index and relation
// lines after their files, and a REL.DAT with lines of its own.
void WriteIncludingApplication(const DictionaryFolder& folder) {
    folder.WriteLines("VEDICC.DAT", {"01* *  facturas", "0100<      8>NNUMFAC", "02* *  cobros",
                                     "0200<      8>NNUMFAC", "0200<     12>2IMPORTE"});
    folder.WriteLines("VEREL.DAT", {"32<0001008>"});
    // After the include, line N names file N + 2 (the included dictionary's last file is 3).
    folder.WriteLines("ALDICC.DAT",
                      {"01* *  clientes", "0100<      6>CCODCLI", "0100<     40>ANOMBRE",
                       "31<0001006>", "31<0007040>", "61:4R1K1=CODCLI", "02*$*  ventas",
                       "04* *  avisos", "0400<      6>CCODCLI", "0400<      4>NDIAS", "32<0001010>",
                       "62:1R1K1=CODCLI"});
    folder.WriteLines("ALREL.DAT", {"95 comment the loader passes over", "62:1R1K2=NOMBRE"});
}

TEST_F(StructureFileTest, AFileInTheDesignersFormatSavesByteForByte) {
    WriteIncludingApplication(folder_);
    const std::string before = folder_.Read("ALDICC.DAT");
    const StructureFile s = LoadStructure("AL");
    EXPECT_EQ(s.Bytes(), before);
    ASSERT_EQ(s.Rebuild(), status::kOk);
    EXPECT_EQ(FileCount(), 4) << "clientes, VE's facturas and cobros, avisos";
    EXPECT_EQ(Str(RelationText(4)), "1R1K1=CODCLI:1R1K2=NOMBRE") << "own line, then REL.DAT's";
    ExpectSavedFileLoadsAsShown(s, "AL");
}

TEST_F(StructureFileTest, TheSampleApplicationSavesByteForByteAndLoadsTheSame) {
    for (const char* name : {"ALDICC.DAT", "ALREL.DAT"}) {
        folder_.Write(name, ReadFile(std::string(VODARIR_EXAMPLES_DIR) + "/almacen/" + name));
    }
    const StructureFile s = LoadStructure("AL");
    EXPECT_EQ(s.Bytes(), folder_.Read("ALDICC.DAT"));
    EXPECT_EQ(DescribeIndexes(4), "(0,4) (4,30)")
        << "familias' own index lines replace its default";
    ExpectSavedFileLoadsAsShown(s, "AL");
}

TEST_F(StructureFileTest, IndexAndRelationLinesFollowTheirFileAndGoWithIt) {
    WriteIncludingApplication(folder_);
    StructureFile s = LoadStructure("AL");
    // A file before everything: every own line's file moves up by one.
    ASSERT_EQ(s.InsertFile(1, "Primero"), status::kOk);
    EXPECT_EQ(Lines(s), "01* *  primero|02* *  clientes|0200<      6>CCODCLI|0200<     40>ANOMBRE|"
                        "32<0001006>|32<0007040>|62:4R1K1=CODCLI|02*$*  ventas|05* *  avisos|"
                        "0500<      6>CCODCLI|0500<      4>NDIAS|32<0001010>|62:1R1K1=CODCLI|")
        << "after the include, avisos is still the included dictionary's last file plus 1";
    ExpectSavedFileLoadsAsShown(s, "AL");
    // clientes goes, with its two indexes and its relation line.
    ASSERT_EQ(s.DeleteFile(2), status::kOk);
    EXPECT_EQ(Lines(s), "01* *  primero|02*$*  ventas|04* *  avisos|0400<      6>CCODCLI|"
                        "0400<      4>NDIAS|32<0001010>|62:1R1K1=CODCLI|");
    EXPECT_EQ(s.Bytes().find("facturas"), std::string::npos) << "the included files are not copied";
    EXPECT_EQ(s.Bytes().find("NOMBRE"), std::string::npos) << "REL.DAT's lines stay in REL.DAT";
    ExpectSavedFileLoadsAsShown(s, "AL");
}

TEST_F(StructureFileTest, FilesOfAnIncludedDictionaryCannotBeChangedHere) {
    WriteIncludingApplication(folder_);
    StructureFile s = LoadStructure("AL");
    const std::string before = s.Bytes();
    EXPECT_EQ(s.HeldBy(1), "");
    EXPECT_EQ(s.HeldBy(2), "ventas");
    EXPECT_EQ(s.HeldBy(3), "ventas");
    EXPECT_EQ(s.RenameFile(2, "x"), status::kData);
    EXPECT_EQ(s.DeleteFile(3), status::kData);
    EXPECT_EQ(s.InsertField(3, 1, {"X", 1, 'A'}), status::kData);
    EXPECT_EQ(s.InsertFile(3, "entre"), status::kData) << "not between an include's files";
    EXPECT_EQ(s.DeleteFile(9), status::kDataOutBound);
    EXPECT_EQ(s.Bytes(), before) << "a refused change changes nothing";
    // Before an include's first file the new file stands before the include line.
    ASSERT_EQ(s.InsertFile(2, "antes"), status::kOk);
    ExpectSavedFileLoadsAsShown(s, "AL");
    EXPECT_EQ(Str(FileName(2)), "antes");
    EXPECT_EQ(Str(FileName(3)), "facturas");
}

TEST_F(StructureFileTest, FieldsAreInsertedChangedAndDeletedInTheirFilesLines) {
    WriteIncludingApplication(folder_);
    StructureFile s = LoadStructure("AL");
    ASSERT_EQ(s.InsertField(1, 2, {"NIF", 12, 'A'}), status::kOk);
    ASSERT_EQ(s.InsertField(1, 4, {"ALTA", 8, 'D'}), status::kOk) << "after the last field";
    ASSERT_EQ(s.ModifyField(4, 2, {"DIAS", 999, 'N'}), status::kOk);
    ASSERT_EQ(s.DeleteField(4, 1), status::kOk);
    EXPECT_EQ(s.InsertField(1, 6, {"X", 1, 'A'}), status::kDataOutBound);
    EXPECT_EQ(Lines(s), "01* *  clientes|0100<      6>CCODCLI|0100<     12>ANIF|"
                        "0100<     40>ANOMBRE|0100<      8>DALTA|31<0001006>|31<0007040>|"
                        "61:4R1K1=CODCLI|02*$*  ventas|04* *  avisos|0400<    999>NDIAS|"
                        "32<0001010>|62:1R1K1=CODCLI|");
    ExpectSavedFileLoadsAsShown(s, "AL");
    EXPECT_EQ(FieldLength(4, 1), 999) << "three columns hold 999";
}

TEST_F(StructureFileTest, LinesTheLoaderPassesOverAndForeignFormatsStayAsTheyWere) {
    // Index lines at the end (not where the designer puts them), a comment code, a short line,
    // a location and a class: none of it is the designer's own, all of it is kept.
    folder_.WriteLines("XXDICC.DAT", {"01*datos*07clientes", "  00<  1   6>CCODCLI", "", "02* *  b",
                                      "0200<      2>AX", "95 any comment", "31<0001006>"});
    StructureFile s = LoadStructure("XX");
    ASSERT_EQ(s.RenameFile(1, "Socios"), status::kOk);
    ASSERT_EQ(s.AppendFile("c"), status::kOk);
    EXPECT_EQ(Lines(s), "01*datos*07socios|  00<  1   6>CCODCLI||02* *  b|0200<      2>AX|"
                        "95 any comment|31<0001006>|03* *  c|")
        << "the renamed file keeps its location and class";
    ExpectSavedFileLoadsAsShown(s, "XX");
    EXPECT_EQ(Str(FileLocation(1)), "datos");
    EXPECT_EQ(FileStruct(1).fileClass, 7);
}

TEST_F(StructureFileTest, DefaultIndexesAreNotWritten) {
    folder_.WriteLines("ZZDICC.DAT", {"01* *  a", "0100<      4>NA", "0100<      2>NN_LINE"});
    const StructureFile s = LoadStructure("ZZ");
    ASSERT_EQ(s.Rebuild(), status::kOk);
    EXPECT_EQ(DescribeIndexes(1), "(0,6)");
    EXPECT_EQ(s.Bytes(), "01* *  a\r\n0100<      4>NA\r\n0100<      2>NN_LINE\r\n");
}

TEST_F(StructureFileTest, ANewStructureWritesOnlyWhatWasAdded) {
    StructureFile s;
    ASSERT_EQ(s.AppendFile("Clientes"), status::kOk);
    ASSERT_EQ(s.InsertField(1, 1, {"CODIGO", 10, 'A'}), status::kOk);
    ASSERT_EQ(s.InsertField(1, 2, {"NOMBRE", 40, 'A'}), status::kOk);
    EXPECT_EQ(s.Bytes(), "01* *  clientes\r\n0100<     10>ACODIGO\r\n0100<     40>ANOMBRE\r\n")
        << "one file of two fields is exactly three lines";
    ASSERT_EQ(s.Rebuild(), status::kOk);
    EXPECT_EQ(FileCount(), 1);
    EXPECT_EQ(RecordLength(1), 50);
}

TEST_F(StructureFileTest, TheLongestNamesTheDialogsAcceptReadBackWhole) {
    const std::string fieldName(kMaxFieldNameLength, 'f');
    const std::string fileName(kMaxFileNameLength, 'g');
    EXPECT_EQ(CheckFileName(fileName), std::nullopt);
    EXPECT_EQ(CheckFieldProperties({fieldName, "1", "A"}), std::nullopt);
    EXPECT_NE(CheckFileName(fileName + "g"), std::nullopt);
    EXPECT_NE(CheckFieldProperties({fieldName + "f", "1", "A"}), std::nullopt);
    StructureFile s;
    ASSERT_EQ(s.AppendFile(fileName), status::kOk);
    ASSERT_EQ(s.InsertField(1, 1, {fieldName, 1, 'A'}), status::kOk);
    ExpectSavedFileLoadsAsShown(s, "LN");
    EXPECT_EQ(Str(FileName(1)), fileName);
    EXPECT_EQ(Str(FieldName(1, 1)), fieldName);
}

} // namespace
} // namespace vodarir::testing
