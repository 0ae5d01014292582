// The screen model: records to text and field table and back, and changes of the text.
#include "designer/screen_model.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace vodarir {

namespace {

constexpr char kTextRecord = '0';
constexpr char kFieldRecord = '1';
constexpr std::string_view kRowEnd = "\r\n";
constexpr std::string_view kBlanks = " \t";
// Where the parts of a record stand.
constexpr std::size_t kRowAt = 1;
constexpr std::size_t kColumnAt = 3;
constexpr std::size_t kTextAt = 5;
constexpr std::size_t kFileAt = 5;
constexpr std::size_t kFieldAt = 7;
constexpr std::size_t kLengthAt = 9;
constexpr std::size_t kTypeAt = 11;
constexpr std::size_t kFieldRecordLength = 12;
constexpr std::size_t kNumberWidth = 2;
constexpr std::uint16_t kMaxCellNumber = 0xFFFF;

// A number written in its columns: blanks count as nothing; false for anything else, or for
// none at all.
bool ReadColumns(std::string_view text, std::uint16_t* value) {
    std::uint32_t n = 0;
    bool digits = false;
    for (const char c : text) {
        if (c == ' ') continue;
        if (c < '0' || c > '9') return false;
        n = std::min<std::uint32_t>(n * 10 + static_cast<std::uint32_t>(c - '0'), kMaxCellNumber);
        digits = true;
    }
    *value = static_cast<std::uint16_t>(n);
    return digits;
}

std::string_view Part(std::string_view record, std::size_t at, std::size_t width) {
    return at < record.size() ? record.substr(at, width) : std::string_view();
}

std::string Columns(unsigned n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%2u", n);
    return buffer;
}

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// The length of the line end at `at` (CR LF two, a lone CR or LF one), 0 when none is there.
std::size_t BreakAt(std::string_view text, std::size_t at) {
    if (at >= text.size() || !IsBreak(text[at])) return 0;
    return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
}

std::uint16_t Clamp16(std::uint32_t n) {
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(n, kMaxCellNumber));
}

// A field record read, with the record it came from.
struct PendingField {
    FieldRecord record;
    std::size_t source = 0;
    std::uint16_t row = 1;
    std::uint16_t column = 1;
};

// The screen's rows while it is read.
class RowsBuilder {
public:
    std::size_t count() const { return rows_.size(); }
    std::string& last() { return rows_.back(); }
    std::string& row(std::size_t n) { // from 1; made when missing
        while (rows_.size() < n) rows_.emplace_back();
        return rows_[n - 1];
    }
    // Whether (row, column) lies before the end of what was read.
    bool beforeEnd(std::size_t r, std::size_t c) const {
        return r < rows_.size() || (r == rows_.size() && c - 1 < rows_.back().size());
    }
    std::string text() const {
        std::string out;
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (i > 0) out += kRowEnd;
            out += rows_[i];
        }
        // Rows the records only passed over are not kept as empty rows at the end.
        while (out.size() >= kRowEnd.size() && out.ends_with(kRowEnd)) {
            out.resize(out.size() - kRowEnd.size());
        }
        return out;
    }

private:
    std::vector<std::string> rows_{std::string()};
};

void ReadText(std::string_view record, std::size_t number, RowsBuilder& rows,
              std::vector<RecordNote>& notes) {
    const auto note = [&](RecordProblem p) { notes.push_back({number, p}); };
    if (record.empty() || record[0] != kTextRecord) note(RecordProblem::UnknownType);
    if (record.size() < kTextAt) note(RecordProblem::Short);
    std::string text(Part(record, kTextAt, std::string_view::npos));
    if (text.find(kFieldBar) != std::string::npos) {
        std::replace(text.begin(), text.end(), kFieldBar, kBarStandIn);
        note(RecordProblem::BarInText);
    }
    std::uint16_t r = 0;
    std::uint16_t c = 0;
    const bool placed = ReadColumns(Part(record, kRowAt, kNumberWidth), &r) &&
                        ReadColumns(Part(record, kColumnAt, kNumberWidth), &c) && r >= 1 && c >= 1;
    if (!placed) {
        if (record.size() >= kTextAt) note(RecordProblem::BadPosition);
        rows.last() += text;
        return;
    }
    if (rows.beforeEnd(r, c)) {
        note(RecordProblem::PlacedAtEnd);
        rows.last() += text;
        return;
    }
    std::string& row = rows.row(r);
    if (row.size() < static_cast<std::size_t>(c - 1)) row.resize(c - 1, ' ');
    row += text;
}

PendingField ReadField(std::string_view record, std::size_t number, bool widen,
                       std::vector<RecordNote>& notes) {
    const auto note = [&](RecordProblem p) { notes.push_back({number, p}); };
    PendingField f;
    f.source = number;
    if (record.size() < kFieldRecordLength) note(RecordProblem::Short);
    std::uint16_t r = 0;
    std::uint16_t c = 0;
    if (!ReadColumns(Part(record, kRowAt, kNumberWidth), &r) ||
        !ReadColumns(Part(record, kColumnAt, kNumberWidth), &c) || r < 1 || c < 1) {
        note(RecordProblem::BadPosition);
    }
    f.row = std::max<std::uint16_t>(r, 1);
    f.column = std::max<std::uint16_t>(c, 1);
    // A record longer than its twelve characters holds a wider length, as the runtime reads it:
    // everything between the field number and the type letter at the end.
    const bool wide = record.size() > kFieldRecordLength;
    const std::string_view length = wide ? record.substr(kLengthAt, record.size() - 1 - kLengthAt)
                                         : Part(record, kLengthAt, kNumberWidth);
    FieldRecord& rec = f.record;
    bool numbers = true;
    for (const auto& [text, out] : {std::pair{Part(record, kFileAt, kNumberWidth), &rec.file},
                                    std::pair{Part(record, kFieldAt, kNumberWidth), &rec.field},
                                    std::pair{length, &rec.storedLength}}) {
        if (!ReadColumns(text, out) && !text.empty() &&
            text.find_first_not_of(' ') != std::string_view::npos) {
            numbers = false;
            *out = 0;
        }
    }
    if (!numbers) note(RecordProblem::BadNumber);
    rec.type = wide ? record.back() : (record.size() > kTypeAt ? record[kTypeAt] : kMissingType);
    const std::uint16_t stored = rec.storedLength;
    rec.displayLength = rec.type == kDateType ? std::min(stored, kDateDisplayLength) : stored;
    rec.adjustedLength = stored;
    if (widen && rec.type >= '1' && rec.type <= '8') {
        rec.adjustedLength = Clamp16(std::uint32_t{stored} + (rec.type - '0') + 1u);
    }
    rec.storedLength = rec.adjustedLength;
    return f;
}

// Puts each field's bar on its cell, in table order.
void PlaceBars(std::vector<PendingField>& fields, RowsBuilder& rows,
               std::vector<RecordNote>& notes) {
    for (PendingField& f : fields) {
        std::string& row = rows.row(f.row);
        const std::size_t at = f.column - 1u;
        if (row.size() <= at) {
            row.resize(at, ' ');
            row += kFieldBar;
        } else if (row[at] == kFieldBar) {
            notes.push_back({f.source, RecordProblem::SharedCell});
            f.column = Clamp16(row.size() + 1);
            row += kFieldBar;
        } else {
            row[at] = kFieldBar;
        }
    }
}

std::size_t CommonPrefix(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t p = 0;
    while (p < n && a[p] == b[p]) ++p;
    return p;
}

std::uint16_t CountBars(std::string_view text) {
    return Clamp16(static_cast<std::uint32_t>(std::count(text.begin(), text.end(), kFieldBar)));
}

} // namespace

Cell CellAt(std::string_view text, std::size_t offset) {
    Cell cell;
    offset = std::min(offset, text.size());
    std::size_t rowStart = 0;
    for (std::size_t i = 0; i < offset;) {
        const std::size_t br = BreakAt(text, i);
        if (br == 0) {
            ++i;
            continue;
        }
        if (i + br > offset) { // inside a CR LF: still the end of this row
            offset = i;
            break;
        }
        ++cell.row;
        i += br;
        rowStart = i;
    }
    cell.column = static_cast<std::uint32_t>(offset - rowStart + 1);
    return cell;
}

std::vector<std::size_t> BarOffsets(std::string_view text) {
    std::vector<std::size_t> out;
    for (std::size_t at = text.find(kFieldBar); at != std::string_view::npos;
         at = text.find(kFieldBar, at + 1)) {
        out.push_back(at);
    }
    return out;
}

std::vector<std::string_view> TextRows(std::string_view text) {
    std::vector<std::string_view> rows;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t br = BreakAt(text, i);
        if (br == 0) {
            ++i;
            continue;
        }
        rows.push_back(text.substr(start, i - start));
        i += br;
        start = i;
    }
    rows.push_back(text.substr(start));
    return rows;
}

LoadedScreen ScreenFromRecords(const std::vector<std::string>& records, bool widenNumericLengths) {
    LoadedScreen out;
    RowsBuilder rows;
    std::vector<PendingField> fields;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string_view record = records[i];
        if (!record.empty() && record[0] == kFieldRecord) {
            fields.push_back(ReadField(record, i + 1, widenNumericLengths, out.notes));
        } else {
            ReadText(record, i + 1, rows, out.notes);
        }
    }
    PlaceBars(fields, rows, out.notes);
    // The table follows the bars: a field read before a field that stands ahead of it changes
    // its number, which the user is told.
    std::vector<std::size_t> order(fields.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::pair(fields[a].row, fields[a].column) <
               std::pair(fields[b].row, fields[b].column);
    });
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (order[k] != k)
            out.notes.push_back({fields[order[k]].source, RecordProblem::OutOfOrder});
        out.model.fields.push_back(fields[order[k]].record);
    }
    std::stable_sort(out.notes.begin(), out.notes.end(),
                     [](const RecordNote& a, const RecordNote& b) { return a.record < b.record; });
    out.model.text = rows.text();
    DerivePositions(out.model);
    return out;
}

StoreOutcome RecordsFromScreen(const ScreenModel& model, std::vector<std::string>* records) {
    records->clear();
    std::size_t next = 0; // the next field
    const std::vector<std::string_view> rows = TextRows(model.text);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::string_view row = rows[r];
        const auto rowNumber = static_cast<std::uint32_t>(r + 1);
        for (std::size_t at = 0; at < row.size();) {
            const Cell cell{rowNumber, static_cast<std::uint32_t>(at + 1)};
            if (row[at] == kFieldBar) {
                if (next >= model.fields.size()) return {StoreRefusal::FieldsLost, cell};
                const FieldRecord& f = model.fields[next++];
                if (cell.row > kMaxScreenPosition || cell.column > kMaxScreenPosition) {
                    return {StoreRefusal::Position, cell};
                }
                if (f.file > kMaxRecordNumber || f.field > kMaxRecordNumber) {
                    return {StoreRefusal::Binding, cell};
                }
                records->push_back(std::string(1, kFieldRecord) + Columns(cell.row) +
                                   Columns(cell.column) + Columns(f.file) + Columns(f.field) +
                                   Columns(f.displayLength) + std::string(1, f.type));
                ++at;
                continue;
            }
            std::size_t end = row.find(kFieldBar, at);
            if (end == std::string_view::npos) end = row.size();
            const std::string_view segment = row.substr(at, end - at);
            const std::size_t first = segment.find_first_not_of(kBlanks);
            if (first != std::string_view::npos) {
                const std::size_t last = segment.find_last_not_of(kBlanks);
                const Cell start{rowNumber, static_cast<std::uint32_t>(at + first + 1)};
                if (start.row > kMaxScreenPosition || start.column > kMaxScreenPosition) {
                    return {StoreRefusal::Position, start};
                }
                std::string record = std::string(1, kTextRecord) + Columns(start.row) +
                                     Columns(start.column) +
                                     std::string(segment.substr(first, last - first + 1));
                if (record.size() > kMaxRecordLength) return {StoreRefusal::LongText, start};
                records->push_back(std::move(record));
            }
            at = end;
        }
    }
    if (next != model.fields.size()) return {StoreRefusal::FieldsLost, Cell{}};
    return {};
}

void DerivePositions(ScreenModel& model, std::size_t first) {
    const std::vector<std::size_t> bars = BarOffsets(model.text);
    // One walk over the text: the bars come in order.
    Cell cell;
    std::size_t at = 0;
    std::size_t rowStart = 0;
    const std::string_view text = model.text;
    for (std::size_t k = 0; k < bars.size() && k < model.fields.size(); ++k) {
        while (at < bars[k]) {
            const std::size_t br = BreakAt(text, at);
            if (br == 0) {
                ++at;
                continue;
            }
            ++cell.row;
            at += br;
            rowStart = at;
        }
        if (k < first) continue;
        model.fields[k].row = Clamp16(cell.row);
        model.fields[k].column = Clamp16(static_cast<std::uint32_t>(bars[k] - rowStart + 1));
    }
}

TextChange ApplyTextChange(ScreenModel& model, std::string_view newText) {
    const std::string_view old = model.text;
    TextChange change;
    change.at = CommonPrefix(old, newText);
    const std::size_t shorter = std::min(old.size(), newText.size());
    std::size_t suffix = 0;
    while (suffix < shorter - change.at &&
           old[old.size() - 1 - suffix] == newText[newText.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::string_view inserted =
        newText.substr(change.at, newText.size() - suffix - change.at);
    const std::string_view removed = old.substr(change.at, old.size() - suffix - change.at);
    change.insertedLength = inserted.size();
    change.removedLength = removed.size();
    change.inserted = CountBars(inserted);
    change.removed = CountBars(removed);
    change.index = CountBars(newText.substr(0, change.at));
    const std::size_t count = model.fields.size();
    if (change.inserted > change.removed && count + change.inserted - change.removed > kMaxFields) {
        change.refused = true;
        return change;
    }
    std::vector<FieldRecord>& table = model.fields;
    const std::size_t index = std::min<std::size_t>(change.index, table.size());
    if (change.inserted > 0) {
        // A new bar takes the bindings of the field that held its place; after the last field
        // there is nothing to take.
        const FieldRecord copy = index < table.size() ? table[index] : FieldRecord{};
        table.insert(table.begin() + static_cast<std::ptrdiff_t>(index), change.inserted, copy);
    }
    if (change.removed > 0) {
        const std::size_t gone = std::min<std::size_t>(change.removed, table.size() - index);
        table.erase(table.begin() + static_cast<std::ptrdiff_t>(index),
                    table.begin() + static_cast<std::ptrdiff_t>(index + gone));
    }
    model.text.assign(newText);
    if (!inserted.empty() || !removed.empty()) DerivePositions(model, index);
    return change;
}

std::uint16_t FieldAtOrAfter(const ScreenModel& model, std::size_t offset) {
    if (model.fields.empty()) return 0;
    const std::vector<std::size_t> bars = BarOffsets(model.text);
    for (std::size_t k = 0; k < bars.size() && k < model.fields.size(); ++k) {
        if (bars[k] >= offset) return Clamp16(static_cast<std::uint32_t>(k + 1));
    }
    return Clamp16(static_cast<std::uint32_t>(model.fields.size()));
}

std::uint16_t FieldUnderCaret(const ScreenModel& model, std::size_t offset) {
    const std::vector<std::size_t> bars = BarOffsets(model.text);
    std::uint16_t before = 0;
    for (std::size_t k = 0; k < bars.size() && k < model.fields.size(); ++k) {
        if (bars[k] == offset) return Clamp16(static_cast<std::uint32_t>(k + 1));
        if (offset > 0 && bars[k] == offset - 1)
            before = Clamp16(static_cast<std::uint32_t>(k + 1));
    }
    return before;
}

std::size_t BarOffsetOf(const ScreenModel& model, std::uint16_t field) {
    if (field == 0) return std::string::npos;
    const std::vector<std::size_t> bars = BarOffsets(model.text);
    return field <= bars.size() ? bars[field - 1u] : std::string::npos;
}

bool CheckInvariants(const ScreenModel& model, std::string* message) {
    const auto broken = [message](const std::string& why) {
        if (message != nullptr) *message = "ScreenModel: " + why;
        return false;
    };
    const std::vector<std::size_t> bars = BarOffsets(model.text);
    if (bars.size() != model.fields.size()) {
        return broken(std::to_string(bars.size()) + " bars for " +
                      std::to_string(model.fields.size()) + " fields");
    }
    for (std::size_t k = 0; k < bars.size(); ++k) {
        const Cell cell = CellAt(model.text, bars[k]);
        const FieldRecord& f = model.fields[k];
        if (f.row != Clamp16(cell.row) || f.column != Clamp16(cell.column)) {
            return broken("field " + std::to_string(k + 1) + " at " + std::to_string(f.row) + "," +
                          std::to_string(f.column) + " but its bar at " + std::to_string(cell.row) +
                          "," + std::to_string(cell.column));
        }
    }
    return true;
}

} // namespace vodarir
