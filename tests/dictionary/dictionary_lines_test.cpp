// The dictionary files' line formats: codes, file lines, field lines, index lines, relation lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/dictionary_lines.h"
#include "support/runtime_fixture.h"

namespace vodarir {
namespace {

using testing::Str;

TEST(DictionaryLineCodes, KindAndRelativeFileFollowTheCode) {
    struct Row {
        std::string line;
        int kind;
        int relative;
    };
    const std::vector<Row> rows = {
        {"01* *  clientes", 0, 1},
        {"0100<     10>Anombre", 0, 1},
        {"30* *  x", 0, 30},
        {"00* *  x", 0, 0},
        {"  <     10>Anombre", 0, 0},
        {"ab* * x", 0, 0},
        {"31<0001006>", 1, 1},
        {"60<0001006>", 1, 30},
        {"61:2R1K1=CODCLI", 2, 1},
        {"90:x", 2, 30},
        {"91 ignored", 3, 1},
        {"95 ignored", 3, 5},
        {"99", 3, 9},
        {"-5<     10>Ax", 0, 0},
        {" 5<     10>Ax", 0, 5},
        {"3", 0, 3},
        {"", 0, 0},
    };
    for (const Row& row : rows) {
        const LineClass cls = ClassifyDictionaryLine(TextView(row.line));
        EXPECT_EQ(cls.kind, row.kind) << "line: '" << row.line << "'";
        if (row.kind != 0 || row.relative != 0) {
            EXPECT_EQ(cls.relativeFile, row.relative) << "line: '" << row.line << "'";
        }
    }
}

TEST(DictionaryLineCodes, ReadDecimalTakesLeadingDigitsAfterBlanks) {
    struct Row {
        std::string text;
        std::uint32_t value;
    };
    const std::vector<Row> rows = {
        {"0", 0},  {" 10", 10}, {"\t7x", 7}, {"12x", 12}, {"", 0},
        {"ab", 0}, {"-3", 0},   {"0006", 6}, {"  ", 0},   {"99999999999", 0xFFFFFFFFu}};
    for (const Row& row : rows) {
        EXPECT_EQ(ReadDecimal(TextView(row.text)), row.value) << "text: '" << row.text << "'";
    }
}

TEST(DictionaryFileLines, DesignerLineSplitsIntoLocationClassAndName) {
    struct Row {
        std::string line;
        std::string location;
        int fileClass;
        std::string name;
        bool include;
    };
    const std::vector<Row> rows = {
        {"01* *  clientes", "", 0, "clientes", false},
        {"01*datos\\ventas*07Clientes \t", "datos\\ventas", 7, "Clientes", false},
        {"05*  c:\\app  *12pedidos", "  c:\\app", 12, "pedidos", false},
        {"02*$*  VE", "$", 0, "VE", true},
        {"02*..\\comun$ *  CO", "..\\comun$", 0, "CO", true},
        {"01*", "", 0, "", false},
        {"01*loc", "loc", 0, "", false},
        {"01* *  a*b", "", 0, "a*b", false},
        {"01* * 3x", "", 3, "x", false},
    };
    for (const Row& row : rows) {
        FileLine file;
        ASSERT_TRUE(ParseFileLine(TextView(row.line), &file)) << row.line;
        EXPECT_EQ(Str(file.location), row.location) << "line: '" << row.line << "'";
        EXPECT_EQ(file.fileClass, row.fileClass) << "line: '" << row.line << "'";
        EXPECT_EQ(Str(file.name), row.name) << "line: '" << row.line << "'";
        EXPECT_EQ(file.include, row.include) << "line: '" << row.line << "'";
    }
}

TEST(DictionaryFileLines, LineWithoutStarIsNoFileLine) {
    FileLine file;
    EXPECT_FALSE(ParseFileLine(TextView("0100<     10>Anombre"), &file));
}

TEST(DictionaryFieldLines, ColumnsGiveLengthTypeAndTrimmedName) {
    struct Row {
        std::string line;
        int length;
        char type;
        std::string name;
    };
    const std::vector<Row> rows = {
        {"0100<     10>Anombre", 10, 'A', "nombre"},
        {"0100<      5>2PRECIO  \t ", 5, '2', "PRECIO"},
        {"0300<    255>BOBSERVA CION", 255, 'B', "OBSERVA CION"},
        {"9999<0001  8>DFECHA", 8, 'D', "FECHA"},
        {"0100<     10>A", 10, 'A', ""},
        {"  00<     xx>Nname", 0, 'N', "name"},
    };
    for (const Row& row : rows) {
        FieldLine field;
        ASSERT_TRUE(ParseFieldLine(TextView(row.line), &field)) << row.line;
        EXPECT_EQ(field.length, row.length) << "line: '" << row.line << "'";
        EXPECT_EQ(field.type, row.type) << "line: '" << row.line << "'";
        EXPECT_EQ(Str(field.name), row.name) << "line: '" << row.line << "'";
    }
}

TEST(DictionaryFieldLines, LinesShorterThanFourteenCarryNoField) {
    for (const std::string line : {"", "   ", "0100<     10>", "0100"}) {
        FieldLine field;
        EXPECT_FALSE(ParseFieldLine(TextView(line), &field)) << "line: '" << line << "'";
    }
}

std::string Segments(const IndexDefinitionRecord& index) {
    std::string out = std::to_string(index.segmentCount) + ":";
    for (std::uint32_t s = 0; s < index.segmentCount; ++s) {
        out += " (" + std::to_string(index.segments[s].start) + "," +
               std::to_string(index.segments[s].length) + ")";
    }
    return out;
}

TEST(DictionaryIndexLines, SegmentsAreStartMinusOneAndLength) {
    struct Row {
        std::string line;
        std::string segments;
    };
    const std::vector<Row> rows = {
        {"31<0001006>", "1: (0,6)"},
        {"31<00010060007004>", "2: (0,6) (6,4)"},
        {"32<000101000110100021010003101000410100051010>",
         "5: (0,10) (10,10) (20,10) (30,10) (40,10)"},
        {"31<0001006", "0:"},         // the last character is never part of a segment
        {"31<00010060>", "1: (0,6)"}, // a partial segment is ignored
        {"31<>", "0:"},
        {"31", "0:"},
        {"", "0:"},
        {"3100010060015004X", "2: (3099,10) (599,150)"}, // without "<" the code is read too
        {"31<0000005>", "1: (0,5)"},
        {"31 x <0020003>", "1: (19,3)"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Segments(ParseIndexLine(TextView(row.line))), row.segments)
            << "line: '" << row.line << "'";
    }
}

TEST(DictionaryRelationLines, TextAfterTheFirstColonOutsideQuotes) {
    struct Row {
        std::string line;
        std::string text;
    };
    const std::vector<Row> rows = {
        {"61:2R1K1=CODCLI", "2R1K1=CODCLI"},
        {"61:3R1K2='B'", "3R1K2='B'"},
        {"61'a:b':2R1K1=X", "2R1K1=X"},
        {"612R1K1=X", "612R1K1=X"},
        {"61:", ""},
        {"61:a:b", "a:b"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Str(RelationLineText(TextView(row.line))), row.text)
            << "line: '" << row.line << "'";
    }
}

} // namespace
} // namespace vodarir
