// The screen model: one screen of a screen file as editable text (ScreenText) with its field
// table, the records of the screen file it is read from and written to, and what a change of the
// text does to the field table. Plain values and functions: no file, no window, no store.
//
// The text holds the screen's rows separated by CR LF (a lone LF or CR also ends a row), row 1
// first; every input field is one bar at its cell. A bar is never ordinary text: the bars of the
// text and the records of the field table are the same fields, in the same order.
//
// Invariants of a ScreenModel (CheckInvariants holds a model to them):
//  1. The text holds exactly as many bars as the field table holds records.
//  2. Record k's row and column are those of the text's k-th bar.
//  3. The table holds at most kMaxFields records, unless it was read so from a file: a screen is
//     never cut, and a change never adds a record to a table that holds kMaxFields or more.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/text/status.h"

namespace vodarir {

inline constexpr std::uint16_t kMaxFields = 80;
// A record keeps rows and columns in two columns each.
inline constexpr std::uint16_t kMaxScreenPosition = 99;
// Field numbers and display lengths, in two columns too.
inline constexpr std::uint16_t kMaxRecordNumber = 99;
inline constexpr char kFieldBar = '|';
// What a bar found inside a text record becomes (the broken bar): it shows the same, and it
// cannot be taken for a field.
inline constexpr char kBarStandIn = '\xA6';
// A date shows in eight characters, whatever length its file field has.
inline constexpr std::uint16_t kDateDisplayLength = 8;
inline constexpr char kDateType = 'D';
// A type letter a record lacks.
inline constexpr char kMissingType = ' ';

// A field of the screen: where its bar is, and what it is bound to.
struct FieldRecord {
    StatusCode status = 0;
    std::uint16_t row = 0;    // from 1
    std::uint16_t column = 0; // from 1
    std::uint16_t displayLength = 0;
    std::uint16_t storedLength = 0;
    std::uint16_t adjustedLength = 0;
    std::uint16_t file = 0;
    std::uint16_t field = 0;
    char type = kMissingType;
    friend bool operator==(const FieldRecord&, const FieldRecord&) = default;
};

struct ScreenModel {
    std::string text;
    std::vector<FieldRecord> fields;
    friend bool operator==(const ScreenModel&, const ScreenModel&) = default;
};

// A place in the text: row and column from 1.
struct Cell {
    std::uint32_t row = 1;
    std::uint32_t column = 1;
    friend bool operator==(const Cell&, const Cell&) = default;
};
Cell CellAt(std::string_view text, std::size_t offset);
// The byte offsets of the bars, in order.
std::vector<std::size_t> BarOffsets(std::string_view text);
// The text's rows, without their line ends.
std::vector<std::string_view> TextRows(std::string_view text);

// ---- Reading a screen from its records ------------------------------------------------------

// What a record of the file could not keep when it was read (its place or its bytes change when
// the screen is written back).
enum class RecordProblem : std::uint8_t {
    Short,       // too short for its type: missing parts read as 0 (a type as a blank)
    BadPosition, // a row or column that is not a number from 1: put at the end, or at 1
    BadNumber,   // a file, field or length that is not a number: read as 0
    UnknownType, // a record type other than 0 and 1: read (and written back) as text
    PlacedAtEnd, // text whose place lies before text already read: put at the end
    BarInText,   // a bar inside a text record: shown as a broken bar
    SharedCell,  // a field on the cell of an earlier field: put at the end of that row
    OutOfOrder,  // a field before an earlier record's field: its number changes
};
struct RecordNote {
    std::size_t record = 0; // from 1, in the order the block was read
    RecordProblem problem = RecordProblem::Short;
    friend bool operator==(const RecordNote&, const RecordNote&) = default;
};
struct LoadedScreen {
    ScreenModel model;
    std::vector<RecordNote> notes; // in record order
};
// Reads the records of one screen (text records "0rrcctext", field records "1rrccFFffLLT"; any
// other type as text). With widenNumericLengths (_COMPAT bit 64), the adjusted length of a field
// typed "1" to "8" grows by the digit and one; what is written back does not.
LoadedScreen ScreenFromRecords(const std::vector<std::string>& records,
                               bool widenNumericLengths = false);

// ---- Writing a screen as records -------------------------------------------------------------

// Why a screen cannot be written, and where.
enum class StoreRefusal : std::uint8_t {
    None,
    Position,   // a row or column past kMaxScreenPosition
    LongText,   // a run of text whose line would be longer than the line reader takes
    Binding,    // a file or field number past what two columns hold
    FieldsLost, // the text and the table disagree (never, while the invariants hold)
};
struct StoreOutcome {
    StoreRefusal refusal = StoreRefusal::None;
    Cell cell; // where
};
// The records of the screen, top to bottom and left to right: each bar a field record, each run
// of text between bars and row ends a text record at its first character that is not a blank or
// a tab, without leading and trailing blanks and tabs.
StoreOutcome RecordsFromScreen(const ScreenModel& model, std::vector<std::string>* records);
// The longest text record a line can carry (the line reader's 512 characters less the number
// and the quotes).
inline constexpr std::size_t kMaxRecordLength = 508;

// ---- Changes of the text --------------------------------------------------------------------

struct TextChange {
    std::size_t at = 0;             // where the texts part (their common prefix)
    std::uint16_t inserted = 0;     // bars in the inserted text
    std::uint16_t removed = 0;      // bars in the removed text
    std::uint16_t index = 0;        // the first changed record (from 0)
    std::size_t insertedLength = 0; // bytes
    std::size_t removedLength = 0;
    bool refused = false; // the change would pass kMaxFields: the model is as it was
};
// Takes a new text: the records of removed bars go, inserted bars get records at their place (a
// copy of the record that held that place, or nothing bound after the last), and every field
// from the change on gets its bar's row and column. Replacing a bar by a bar keeps the record.
TextChange ApplyTextChange(ScreenModel& model, std::string_view newText);
// Rows and columns of every record from `first` on, from the bars of the text.
void DerivePositions(ScreenModel& model, std::size_t first = 0);

// The field (from 1) of the first bar at or after the offset; the last field when no bar lies
// after it; 0 without fields.
std::uint16_t FieldAtOrAfter(const ScreenModel& model, std::size_t offset);
// The field (from 1) whose bar is right after the offset, else right before it; 0 when none.
std::uint16_t FieldUnderCaret(const ScreenModel& model, std::size_t offset);
// The offset of field n's bar (from 1); npos when there is none.
std::size_t BarOffsetOf(const ScreenModel& model, std::uint16_t field);

// The first broken invariant, in words; true (and the message untouched) when all hold.
bool CheckInvariants(const ScreenModel& model, std::string* message);

} // namespace vodarir
