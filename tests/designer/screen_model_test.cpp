// The screen model: records read into text and field table and written back, malformed records
// and what they cannot keep, and what a change of the text does to the field table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "designer/screen_model.h"

namespace vodarir {
namespace {

using Records = std::vector<std::string>;

FieldRecord Bound(std::uint16_t file, std::uint16_t field, std::uint16_t length, char type) {
    FieldRecord f;
    f.file = file;
    f.field = field;
    f.displayLength = f.storedLength = f.adjustedLength = length;
    f.type = type;
    return f;
}

// A model from its text, with fields bound 1;1, 1;2 ... in order.
ScreenModel Model(const std::string& text) {
    ScreenModel m;
    m.text = text;
    const std::size_t bars = BarOffsets(text).size();
    for (std::size_t i = 0; i < bars; ++i) {
        m.fields.push_back(Bound(1, static_cast<std::uint16_t>(i + 1), 10, 'A'));
    }
    DerivePositions(m);
    return m;
}

void ExpectValid(const ScreenModel& m) {
    std::string why;
    EXPECT_TRUE(CheckInvariants(m, &why)) << why;
}

// ---- Reading --------------------------------------------------------------------------------

TEST(ScreenRecords, TextAndFieldsLandOnTheirCells) {
    struct Row {
        const char* name;
        Records records;
        const char* text;
    };
    const Row rows[] = {
        {"a text record at row 3, column 10", {"0 310Cliente:"}, "\r\n\r\n         Cliente:"},
        {"a field at the end of a short row extends it",
         {"0 1 1Nombre:", "1 115 1 220A"},
         "Nombre:       |"},
        {"two runs of one row with a field between them",
         {"0 2 1Desde", "1 2 7 1 1 5C", "0 2 9hasta"},
         "\r\nDesde |_hasta"},
        {"a field over text replaces its character", {"0 1 1abcdef", "1 1 3 0 0 1A"}, "ab|def"},
        {"no records: an empty screen", {}, ""},
    };
    for (const Row& r : rows) {
        const LoadedScreen s = ScreenFromRecords(r.records);
        std::string expected = r.text;
        // The row made of "Desde |_hasta" holds a blank where the field's neighbour stands.
        if (expected.find('_') != std::string::npos) expected[expected.find('_')] = ' ';
        EXPECT_EQ(s.model.text, expected) << r.name;
        EXPECT_TRUE(s.notes.empty()) << r.name;
        ExpectValid(s.model);
    }
}

TEST(ScreenRecords, AFieldKeepsItsBindingAndADateShowsEightCharacters) {
    const LoadedScreen s = ScreenFromRecords({"1 520 1 2 40A", "1 620 110 10D", "1 720 3 4 5N"});
    ASSERT_EQ(s.model.fields.size(), 3u);
    EXPECT_EQ(s.model.fields[0], (FieldRecord{0, 5, 20, 40, 40, 40, 1, 2, 'A'}));
    EXPECT_EQ(s.model.fields[1].displayLength, 8) << "a date of length 10 shows 8";
    EXPECT_EQ(s.model.fields[1].storedLength, 10);
    Records back;
    ASSERT_EQ(RecordsFromScreen(s.model, &back).refusal, StoreRefusal::None);
    EXPECT_EQ(back, (Records{"1 520 1 240A", "1 620 110 8D", "1 720 3 4 5N"}))
        << "and is written back with 8";
}

TEST(ScreenRecords, WiderLengthsAreReadAsTheRuntimeReadsThem) {
    const LoadedScreen s = ScreenFromRecords({"1 1 1 1 2120A"});
    ASSERT_EQ(s.model.fields.size(), 1u);
    EXPECT_EQ(s.model.fields[0].displayLength, 120);
    EXPECT_EQ(s.model.fields[0].type, 'A');
    Records back;
    RecordsFromScreen(s.model, &back);
    EXPECT_EQ(back, Records{"1 1 1 1 2120A"});
}

TEST(ScreenRecords, WideNumericLengthsAreShownButNeverWrittenBack) {
    const LoadedScreen s = ScreenFromRecords({"1 1 1 1 210"
                                              "2"},
                                             true);
    ASSERT_EQ(s.model.fields.size(), 1u);
    EXPECT_EQ(s.model.fields[0].adjustedLength, 13) << "10 and the digit 2 and one";
    Records back;
    RecordsFromScreen(s.model, &back);
    EXPECT_EQ(back, Records{"1 1 1 1 2102"}) << "a save and a load must not grow a field";
}

TEST(ScreenRecords, MalformedRecordsLoadAndSayWhatTheyCannotKeep) {
    struct Row {
        const char* name;
        Records records;
        std::vector<RecordNote> notes;
        const char* text;
    };
    using P = RecordProblem;
    const Row rows[] = {
        {"a record too short for a position", {"0 3"}, {{1, P::Short}}, ""},
        {"a field record without its binding", {"1 2 3"}, {{1, P::Short}}, "\r\n  |"},
        {"a position that is no number", {"0xx 5abc"}, {{1, P::BadPosition}}, "abc"},
        {"row 0", {"0 0 5abc"}, {{1, P::BadPosition}}, "abc"},
        {"a binding that is no number", {"1 1 1xx 210A"}, {{1, P::BadNumber}}, "|"},
        {"an unknown record type is text", {"7 1 1abc"}, {{1, P::UnknownType}}, "abc"},
        {"text placed before text already read goes at the end",
         {"0 2 1second", "0 1 1first"},
         {{2, P::PlacedAtEnd}},
         "\r\nsecondfirst"},
        {"overlapping texts on one row",
         {"0 1 1abcdef", "0 1 3XY"},
         {{2, P::PlacedAtEnd}},
         "abcdefXY"},
        {"a bar inside a text",
         {"0 1 1a|b"},
         {{1, P::BarInText}},
         "a\xA6"
         "b"},
        {"two fields on one cell",
         {"0 1 1ab", "1 1 1 1 1 1A", "1 1 1 1 2 1A"},
         {{3, P::SharedCell}},
         "|b|"},
        {"a field read before one that stands ahead of it",
         {"1 2 1 1 1 1A", "1 1 1 1 2 1A"},
         {{2, P::OutOfOrder}, {1, P::OutOfOrder}},
         "|\r\n|"},
    };
    for (const Row& r : rows) {
        LoadedScreen s = ScreenFromRecords(r.records);
        std::vector<RecordNote> expected = r.notes;
        std::stable_sort(
            expected.begin(), expected.end(),
            [](const RecordNote& a, const RecordNote& b) { return a.record < b.record; });
        EXPECT_EQ(s.notes, expected) << r.name;
        EXPECT_EQ(s.model.text, r.text) << r.name;
        ExpectValid(s.model);
    }
}

TEST(ScreenRecords, FieldsReadOutOfOrderKeepTheirOwnBindings) {
    const LoadedScreen s = ScreenFromRecords({"1 2 1 2 2 5N", "1 1 1 1 1 5A"});
    ASSERT_EQ(s.model.fields.size(), 2u);
    EXPECT_EQ(s.model.fields[0].file, 1) << "the table follows the bars";
    EXPECT_EQ(s.model.fields[1].file, 2);
}

TEST(ScreenRecords, EveryTableSizeIsKeptEvenPastEighty) {
    Records records;
    for (int i = 1; i <= 93; ++i) {
        char r[64];
        std::snprintf(r, sizeof r, "1%2d%2d 1 1 1A", (i - 1) / 20 + 1, (i - 1) % 20 * 3 + 1);
        records.push_back(r);
    }
    const LoadedScreen s = ScreenFromRecords(records);
    EXPECT_EQ(s.model.fields.size(), 93u) << "nothing read is dropped";
    Records back;
    ASSERT_EQ(RecordsFromScreen(s.model, &back).refusal, StoreRefusal::None);
    EXPECT_EQ(back, records);
}

// ---- Writing ----------------------------------------------------------------------------------

TEST(ScreenRecords, WritingTrimsRunsAndReadingBackGivesTheSameScreen) {
    ScreenModel m = Model("  C\xF3"
                          "digo:  |   \t\r\n\r\n\tDesde | hasta |  fin  \r\n");
    Records records;
    ASSERT_EQ(RecordsFromScreen(m, &records).refusal, StoreRefusal::None);
    EXPECT_EQ(records, (Records{"0 1 3C\xF3"
                                "digo:",
                                "1 112 1 110A", "0 3 2Desde", "1 3 8 1 210A", "0 310hasta",
                                "1 316 1 310A", "0 319fin"}));
    const LoadedScreen again = ScreenFromRecords(records);
    EXPECT_EQ(again.model.fields, m.fields);
    Records twice;
    RecordsFromScreen(again.model, &twice);
    EXPECT_EQ(twice, records);
}

TEST(ScreenRecords, WhatTwoColumnsCannotHoldIsRefusedWithItsPlace) {
    struct Row {
        std::string text;
        StoreRefusal refusal;
        Cell cell;
    };
    std::string deep;
    for (int i = 0; i < 99; ++i) deep += "\r\n";
    const Row rows[] = {
        {std::string(99, ' ') + "x", StoreRefusal::Position, {1, 100}},
        {std::string(98, ' ') + "|", StoreRefusal::None, {}},
        {std::string(99, ' ') + "|", StoreRefusal::Position, {1, 100}},
        {deep + "x", StoreRefusal::Position, {100, 1}},
        {std::string(600, 'x'), StoreRefusal::LongText, {1, 1}},
        {std::string(503, 'x'), StoreRefusal::None, {}},
    };
    for (const Row& r : rows) {
        const ScreenModel m = Model(r.text);
        Records records;
        const StoreOutcome out = RecordsFromScreen(m, &records);
        EXPECT_EQ(out.refusal, r.refusal) << r.text.size();
        if (r.refusal != StoreRefusal::None) {
            EXPECT_EQ(out.cell, r.cell) << r.text.size();
        }
    }
}

// ---- Changes of the text ----------------------------------------------------------------------

TEST(ScreenChanges, OneBarTypedMidRowIsANewFieldWithItsNeighboursBindings) {
    ScreenModel m = Model("Nombre: |\r\nCalle:  |");
    const TextChange c = ApplyTextChange(m, "Nombre: |\r\nCa|lle:  |");
    EXPECT_EQ(c.inserted, 1);
    EXPECT_EQ(c.removed, 0);
    EXPECT_EQ(c.index, 1);
    ASSERT_EQ(m.fields.size(), 3u);
    EXPECT_EQ(m.fields[1].row, 2);
    EXPECT_EQ(m.fields[1].column, 3);
    EXPECT_EQ(m.fields[1].field, 2) << "a copy of the record that held the place";
    EXPECT_EQ(m.fields[2].field, 2);
    EXPECT_EQ(m.fields[2].column, 10) << "the field after it moved one column";
    ExpectValid(m);
}

TEST(ScreenChanges, ABarAfterTheLastFieldIsBoundToNothing) {
    ScreenModel m = Model("a |");
    ApplyTextChange(m, "a | |");
    ASSERT_EQ(m.fields.size(), 2u);
    EXPECT_EQ(m.fields[1], (FieldRecord{0, 1, 5, 0, 0, 0, 0, 0, kMissingType}));
}

TEST(ScreenChanges, ASelectionWithTwoBarsDeletedTakesBothFields) {
    ScreenModel m = Model("| a | b | c |");
    const TextChange c = ApplyTextChange(m, "| c |");
    EXPECT_EQ(c.removed, 2);
    EXPECT_EQ(c.inserted, 0);
    ASSERT_EQ(m.fields.size(), 2u);
    EXPECT_EQ(m.fields[0].field, 1);
    EXPECT_EQ(m.fields[1].field, 4) << "the last field keeps its own binding";
    EXPECT_EQ(m.fields[1].column, 5);
    ExpectValid(m);
}

TEST(ScreenChanges, ABarPastedOverABarKeepsTheFieldAndItsBindings) {
    // "a|" selected and "|a" pasted over it: the texts part at the selection, so one bar is
    // inserted and one removed in the same change.
    ScreenModel m = Model("x | ya| z |");
    ASSERT_EQ(m.fields.size(), 3u);
    m.fields[1] = Bound(4, 7, 12, 'N');
    const TextChange c = ApplyTextChange(m, "x | y|a z |");
    EXPECT_EQ(c.inserted, 1);
    EXPECT_EQ(c.removed, 1);
    ASSERT_EQ(m.fields.size(), 3u);
    EXPECT_EQ(m.fields[1].file, 4) << "the field keeps its bindings";
    EXPECT_EQ(m.fields[1].field, 7);
    EXPECT_EQ(m.fields[1].column, 6);
    EXPECT_EQ(m.fields[2].field, 3);
    ExpectValid(m);
}

TEST(ScreenChanges, TheEightyFirstFieldIsRefusedAndNothingChanges) {
    std::string text;
    for (int i = 0; i < 80; ++i) text += (i % 20 == 0 && i > 0 ? "\r\n|" : "|");
    ScreenModel m = Model(text);
    ASSERT_EQ(m.fields.size(), 80u);
    const ScreenModel before = m;
    const TextChange c = ApplyTextChange(m, text + "|");
    EXPECT_TRUE(c.refused);
    EXPECT_EQ(m, before);
    // Replacing a bar by a bar at the limit is no new field.
    std::string swapped = text;
    const TextChange s = ApplyTextChange(m, swapped.replace(0, 1, "|"));
    EXPECT_FALSE(s.refused);
    // A change that removes as many as it adds goes through.
    std::string fewer = text;
    fewer.replace(0, 2, "|x");
    EXPECT_FALSE(ApplyTextChange(m, fewer).refused);
    EXPECT_EQ(m.fields.size(), 79u);
    ExpectValid(m);
}

TEST(ScreenChanges, EveryEditKeepsTheTableOnTheBars) {
    // Edits of every kind around bars, rows and line ends, each checked against the invariants.
    const std::string start = "Uno: |\r\nDos:  |  |\r\n\r\n  Tres |";
    const std::vector<std::string> edits = {
        "Uno: |\r\nDos:  |  |\r\n\r\n  Tres |x",
        "Uno: |\r\nDos:  ||  |\r\n\r\n  Tres |",
        "Uno: |\r\nDos:\r\n\r\n  Tres |",
        "|Uno: |\r\nDos:  |  |\r\n\r\n  Tres |",
        "Uno: Dos:  |  |\r\n\r\n  Tres |",
        "",
        "||||",
        "Uno: |\nDos:  |  |\r\r\n  Tres |",
    };
    for (const std::string& e : edits) {
        ScreenModel m = Model(start);
        ApplyTextChange(m, e);
        std::string why;
        EXPECT_TRUE(CheckInvariants(m, &why)) << why << " after \"" << e << "\"";
    }
}

TEST(ScreenChanges, TheFieldAtOrAfterTheCaretAndTheOneUnderIt) {
    const ScreenModel m = Model("ab|cd|ef");
    struct Row {
        std::size_t offset;
        std::uint16_t atOrAfter;
        std::uint16_t under;
    };
    const Row rows[] = {{0, 1, 0}, {2, 1, 1}, {3, 2, 1}, {5, 2, 2}, {6, 2, 2}, {7, 2, 0}};
    for (const Row& r : rows) {
        EXPECT_EQ(FieldAtOrAfter(m, r.offset), r.atOrAfter) << r.offset;
        EXPECT_EQ(FieldUnderCaret(m, r.offset), r.under) << r.offset;
    }
    EXPECT_EQ(FieldAtOrAfter(Model("no fields"), 0), 0);
}

TEST(ScreenText, CellsCountEveryKindOfLineEnd) {
    const std::string text = "ab\r\ncd\nef\rg";
    struct Row {
        std::size_t offset;
        Cell cell;
    };
    const Row rows[] = {{0, {1, 1}}, {2, {1, 3}},  {3, {1, 3}}, {4, {2, 1}},
                        {7, {3, 1}}, {10, {4, 1}}, {11, {4, 2}}};
    for (const Row& r : rows) EXPECT_EQ(CellAt(text, r.offset), r.cell) << r.offset;
    EXPECT_EQ(TextRows(text).size(), 4u);
}

} // namespace
} // namespace vodarir
