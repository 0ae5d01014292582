// The dictionary model: counters, record access, building steps, accessors, checks, field
// references and checkpoints.
#include "dictionary/dictionary.h"

#include <algorithm>
#include <cstring>

#include "dictionary/data_access.h"
#include "dictionary/dictionary_internal.h"
#include "dictionary/dictionary_lines.h"
#include "runtime/store/error_detail.h"
#include "runtime/store/typed_tables.h"
#include "runtime/store/variables.h"
#include "runtime/text/block_pool.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

using namespace literals;

namespace dictionary_detail {

namespace {
Counters g_counters;
constexpr std::uint16_t kFileRecordSize = sizeof(FileStructRecord);
constexpr std::uint16_t kFieldRecordSize = sizeof(FieldEntryRecord);
constexpr std::uint16_t kIndexEntrySize = sizeof(IndexEntryRecord);
constexpr std::uint16_t kIndexSegsSize = sizeof(IndexSegsRecord);
constexpr std::uint32_t kMaxRecordLength = 0xFFFF;
constexpr std::uint16_t kDetailRoom = 48;
} // namespace

Counters& State() { return g_counters; }

bool ValidFile(std::uint16_t file) { return file >= 1 && file <= g_counters.files; }

std::uint16_t FieldBase(std::uint16_t file) {
    std::uint32_t base = 0;
    for (std::uint16_t f = 1; f < file && f <= g_counters.files; ++f)
        base += FileRecord(f).fieldCount;
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(base, 0xFFFF));
}

std::uint16_t IndexBase(std::uint16_t file) {
    std::uint32_t base = 0;
    for (std::uint16_t f = 1; f < file && f <= g_counters.files; ++f)
        base += FileRecord(f).indexCount;
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(base, 0xFFFF));
}

bool GetRecord(std::uint16_t table, std::uint16_t index, void* out, std::uint16_t size) {
    const void* record = TableGet(table, index);
    if (record == nullptr || TableElementSize(table) != size) {
        std::memset(out, 0, size);
        return false;
    }
    std::memcpy(out, record, size);
    return true;
}

StatusCode PutRecord(std::uint16_t table, std::uint16_t index, const void* value,
                     std::uint16_t size) {
    return TableSet(table, index, value, size) == nullptr ? status::kStructMemory : status::kOk;
}

StatusCode InsertRecord(std::uint16_t table, std::uint16_t index, std::uint16_t used,
                        const void* value, std::uint16_t size) {
    if (used <= index) return PutRecord(table, index, value, size);
    // The last record first, to the place that grows the table when it must; then the ones
    // between move up at once (the table no longer grows, so its records stay where they are).
    unsigned char last[sizeof(FieldEntryRecord) + sizeof(IndexSegsRecord)];
    if (size > sizeof(last) || !GetRecord(table, used - 1, last, size)) {
        return status::kStructMemory;
    }
    const StatusCode st = PutRecord(table, used, last, size);
    if (st != status::kOk) return st;
    auto* base = static_cast<unsigned char*>(TableGet(table, 0));
    if (base == nullptr || TableElementSize(table) != size) return status::kStructMemory;
    std::memmove(base + std::size_t{index + 1u} * size, base + std::size_t{index} * size,
                 std::size_t{used - 1u - index} * size);
    return PutRecord(table, index, value, size);
}

StatusCode RemoveRecord(std::uint16_t table, std::uint16_t index) {
    if (index >= TableCount(table)) return status::kOk;
    return TableRemove(table, index) == status::kOk ? status::kOk : status::kStructMemory;
}

StatusCode TruncateTable(std::uint16_t table, std::uint16_t count) {
    while (TableCount(table) > count) {
        if (TableRemove(table, TableCount(table) - 1) != status::kOk) return status::kStructMemory;
    }
    return status::kOk;
}

StatusCode InsertSlot(SlotGroup group, SlotIndex index, std::uint16_t used, TextRef text) {
    // The text may be a view into the store, which every move shifts: copy it first.
    ScratchScope scope;
    const TextRef copy = TextDup(text);
    StatusCode st = copy.failed() ? copy.status() : status::kOk;
    for (std::uint16_t i = used; st == status::kOk && i > index; --i) {
        st = SlotSet(group, i, SlotGet(group, i - 1));
    }
    if (st == status::kOk) st = SlotSet(group, index, copy);
    return st;
}

StatusCode RemoveSlot(SlotGroup group, SlotIndex index) {
    if (index >= SlotCount(group)) return status::kOk;
    return SlotDelete(group, index);
}

StatusCode TruncateGroup(SlotGroup group, std::uint16_t count) {
    while (SlotCount(group) > count) {
        const StatusCode st = SlotDelete(group, SlotCount(group) - 1);
        if (st != status::kOk) return st;
    }
    return status::kOk;
}

FileStructRecord FileRecord(std::uint16_t file) {
    FileStructRecord record;
    if (file >= 1) GetRecord(table::kFileStruct, file - 1, &record, kFileRecordSize);
    return record;
}

StatusCode PutFileRecord(const FileStructRecord& record) {
    return PutRecord(table::kFileStruct, record.number - 1, &record, kFileRecordSize);
}

StatusCode RelayoutFile(std::uint16_t file) {
    FileStructRecord record = FileRecord(file);
    const std::uint16_t base = FieldBase(file);
    std::uint32_t offset = 0;
    for (std::uint16_t k = 1; k <= record.fieldCount; ++k) {
        FieldEntryRecord entry;
        GetRecord(table::kFieldEntry, base + k - 1, &entry, kFieldRecordSize);
        if (offset + entry.length > kMaxRecordLength) return FieldOutOfBounds(file, k);
        entry.file = static_cast<std::uint8_t>(file);
        entry.field = k;
        entry.offset = static_cast<std::uint16_t>(offset);
        entry.status = status::kOk;
        offset += entry.length;
        const StatusCode st = PutRecord(table::kFieldEntry, base + k - 1, &entry, kFieldRecordSize);
        if (st != status::kOk) return st;
    }
    record.number = static_cast<std::uint8_t>(file);
    record.recordLength = static_cast<std::uint16_t>(offset);
    return PutFileRecord(record);
}

StatusCode InsertIndex(std::uint16_t file, const IndexDefinitionRecord& index) {
    FileStructRecord record = FileRecord(file);
    // In file order, so an index line for an earlier file never lands among a later file's.
    const std::uint16_t at = IndexBase(file) + record.indexCount;
    IndexEntryRecord entry;
    entry.segmentCount = std::min<std::uint32_t>(index.segmentCount, kMaxKeySegments);
    IndexSegsRecord segs;
    std::copy(index.segments, index.segments + kMaxKeySegments, segs.segments);
    StatusCode st = InsertRecord(table::kIndexSegs, at, g_counters.indexes, &segs, kIndexSegsSize);
    if (st == status::kOk) {
        st = InsertRecord(table::kIndexEntry, at, g_counters.indexes, &entry, kIndexEntrySize);
    }
    if (st != status::kOk) return st;
    ++record.indexCount;
    ++g_counters.indexes;
    return PutFileRecord(record);
}

StatusCode CompleteDefaultIndexes(std::uint16_t file) {
    const std::uint16_t last = std::min(file, g_counters.files);
    while (g_counters.lastIndexed < last) {
        const std::uint16_t f = ++g_counters.lastIndexed;
        // A file without fields has nothing to key on: it gets no index rather than one built
        // from another file's field.
        if (FieldCount(f) == 0) continue;
        IndexDefinitionRecord index;
        index.segmentCount = 1;
        const std::uint16_t line = FindField(f, TextView(kDefaultIndexField));
        // One look at the field's entry: each look sums the field counts of the files before.
        const FieldEntryRecord entry = EntryOf(f, line == kNoField ? 1 : line);
        index.segments[0].length = line == kNoField
                                       ? entry.length
                                       : static_cast<std::uint16_t>(entry.offset + entry.length);
        const StatusCode st = InsertIndex(f, index);
        if (st != status::kOk) return st;
    }
    return status::kOk;
}

namespace {
// A fresh detail for every refusal, so the error box never shows an earlier failure's detail.
StatusCode OutOfBounds(TextRef detail) {
    LogErrorText(status::kDataOutBound, detail.failed() ? TextRef() : detail, false);
    return status::kDataOutBound;
}
} // namespace

StatusCode FieldOutOfBounds(std::uint16_t file, std::uint16_t field) {
    ScratchScope scope;
    OutOfBounds(TextFormat(kDetailRoom, "(File:%u, Field:%u)", unsigned{file}, unsigned{field}));
    return status::kDataOutBound;
}

StatusCode IndexOutOfBounds(std::uint16_t file, std::uint16_t index) {
    ScratchScope scope;
    OutOfBounds(TextFormat(kDetailRoom, "(File:%u, Index:%u)", unsigned{file}, unsigned{index}));
    return status::kDataOutBound;
}

StatusCode FileOutOfBounds(std::uint16_t file) {
    ScratchScope scope;
    OutOfBounds(TextFormat(kDetailRoom, "(File:%u)", unsigned{file}));
    return status::kDataOutBound;
}

std::uint16_t Target(std::uint16_t file) {
    const std::uint16_t f = CheckFile(file);
    return ValidFile(f) ? f : 0;
}

bool FieldInFile(std::uint16_t file, std::uint16_t field) {
    return file != 0 && field >= 1 && field <= FileRecord(file).fieldCount;
}

FieldEntryRecord EntryOf(std::uint16_t file, std::uint16_t field) {
    FieldEntryRecord entry;
    if (FieldInFile(file, field)) {
        GetRecord(table::kFieldEntry, FieldBase(file) + field - 1, &entry, sizeof entry);
    }
    return entry;
}

} // namespace dictionary_detail

using namespace dictionary_detail;

namespace {

bool IsLetterByte(unsigned char c) { return c >= static_cast<unsigned char>('A'); }

} // namespace

// --- Building steps ------------------------------------------------------------------------------

StatusCode AddFile(std::uint8_t fileClass, TextRef name, TextRef location) {
    if (g_counters.files >= kMaxDictionaryFiles) return status::kFileOutBound;
    if (name.failed()) return name.status();
    if (location.failed()) return location.status();
    if (g_counters.files == 0) g_counters.lastIndexed = 0;
    const std::uint16_t file = g_counters.files + 1;
    ScratchScope scope;
    const TextRef lower = TextCase(name, LetterCase::Lower);
    const TextRef place = TextDup(location);
    StatusCode st = lower.failed() ? lower.status() : place.failed() ? place.status() : 0;
    if (st == status::kOk) st = SlotSet(dictgroup::kFileNames, file - 1, lower);
    if (st == status::kOk) st = SlotSet(dictgroup::kFileLocations, file - 1, place);
    scope.Release();
    if (st != status::kOk) return st;
    FileStructRecord record;
    record.number = static_cast<std::uint8_t>(file);
    record.fileClass = fileClass;
    st = PutFileRecord(record);
    if (st != status::kOk) return st;
    // A relation text left by an earlier, discarded file must not attach to this one.
    if (SlotCount(dictgroup::kRelations) > file - 1) {
        st = SlotSet(dictgroup::kRelations, file - 1, TextRef());
        if (st != status::kOk) return st;
    }
    g_counters.files = file;
    DataFileAdded(file);
    return status::kOk;
}

StatusCode AddField(TextRef name, std::uint16_t length, char type) {
    // Any declared file takes fields, the 30th too.
    if (g_counters.files == 0) return status::kFileOutBound;
    if (name.failed()) return name.status();
    const std::uint16_t file = g_counters.files;
    FileStructRecord record = FileRecord(file);
    if (std::uint32_t{record.recordLength} + length > kMaxRecordLength) {
        return FieldOutOfBounds(file, record.fieldCount + 1);
    }
    const std::uint16_t at = g_counters.fields;
    FieldEntryRecord entry;
    entry.file = static_cast<std::uint8_t>(file);
    entry.field = record.fieldCount + 1;
    entry.offset = record.recordLength;
    entry.length = length;
    entry.type = type;
    // Counts rise only once both the name and the entry are stored, so a refused store leaves
    // the dictionary as it was.
    StatusCode st = SlotSet(dictgroup::kFieldNames, at, TrimTrailingBlanks(name));
    if (st == status::kOk) st = PutRecord(table::kFieldEntry, at, &entry, sizeof entry);
    if (st != status::kOk) return st;
    record.fieldCount = entry.field;
    record.recordLength = static_cast<std::uint16_t>(record.recordLength + length);
    st = PutFileRecord(record);
    if (st != status::kOk) return st;
    ++g_counters.fields;
    return status::kOk;
}

StatusCode AddIndex(std::uint16_t file, std::uint16_t segmentCount, const KeySegment* segments) {
    if (!ValidFile(file)) return status::kBadFileNumber;
    StatusCode st = CompleteDefaultIndexes(file - 1);
    if (st != status::kOk) return st;
    // Never lowered: files already given their indexes must not receive a second default one.
    g_counters.lastIndexed = std::max(g_counters.lastIndexed, file);
    IndexDefinitionRecord index;
    index.segmentCount = std::min(segmentCount, kMaxKeySegments);
    if (segments != nullptr) std::copy(segments, segments + index.segmentCount, index.segments);
    return InsertIndex(file, index);
}

StatusCode AppendRelation(std::uint16_t file, TextRef text) {
    if (!ValidFile(file)) return status::kBadFileNumber;
    if (text.failed()) return text.status();
    ScratchScope scope;
    const TextRef joined = TextJoin(SlotGet(dictgroup::kRelations, file - 1), ":"_t, text);
    const StatusCode st =
        joined.failed() ? joined.status() : SlotSet(dictgroup::kRelations, file - 1, joined);
    return st;
}

// --- Accessors -----------------------------------------------------------------------------------

std::uint16_t FileCount() { return g_counters.files; }
std::uint16_t TotalFieldCount() { return g_counters.fields; }
std::uint16_t TotalIndexCount() { return g_counters.indexes; }
std::uint16_t LastIndexedFile() { return g_counters.lastIndexed; }

FileStructRecord FileStruct(std::uint16_t file) { return FileRecord(Target(file)); }

TextRef FileName(std::uint16_t file) {
    const std::uint16_t f = Target(file);
    return f == 0 ? TextRef() : SlotGet(dictgroup::kFileNames, f - 1);
}

TextRef FileLocation(std::uint16_t file) {
    const std::uint16_t f = Target(file);
    return f == 0 ? TextRef() : SlotGet(dictgroup::kFileLocations, f - 1);
}

TextRef RelationText(std::uint16_t file) {
    const std::uint16_t f = Target(file);
    return f == 0 ? TextRef() : SlotGet(dictgroup::kRelations, f - 1);
}

std::uint16_t FieldCount(std::uint16_t file) { return FileStruct(file).fieldCount; }
std::uint16_t RecordLength(std::uint16_t file) { return FileStruct(file).recordLength; }
std::uint16_t IndexCount(std::uint16_t file) { return FileStruct(file).indexCount; }

TextRef FieldName(std::uint16_t file, std::uint16_t field) {
    const std::uint16_t f = Target(file);
    if (!FieldInFile(f, field)) return TextRef();
    return SlotGet(dictgroup::kFieldNames, FieldBase(f) + field - 1);
}

std::uint16_t FieldOffset(std::uint16_t file, std::uint16_t field) {
    return EntryOf(Target(file), field).offset;
}
std::uint16_t FieldLength(std::uint16_t file, std::uint16_t field) {
    return EntryOf(Target(file), field).length;
}
char FieldType(std::uint16_t file, std::uint16_t field) {
    return EntryOf(Target(file), field).type;
}
FieldEntryRecord FieldEntry(std::uint16_t file, std::uint16_t field) {
    return EntryOf(Target(file), field);
}

std::uint16_t FindField(std::uint16_t file, TextRef name) {
    const std::uint16_t f = Target(file);
    if (f == 0 || name.failed()) return kNoField;
    const std::uint16_t base = FieldBase(f);
    const std::uint16_t count = FileRecord(f).fieldCount;
    for (std::uint16_t k = 1; k <= count; ++k) {
        if (SlotGet(dictgroup::kFieldNames, base + k - 1).view() == name.view()) return k;
    }
    return kNoField;
}

std::uint16_t FileNumberOf(TextRef text) {
    if (text.failed()) return 0;
    if (text.empty()) return CurrentFile();
    // Bytes of 128 and above are letters of cp1252 names ("ñandúes"), not digits.
    if (!IsLetterByte(text.at(0))) {
        return static_cast<std::uint16_t>(std::min<std::uint32_t>(ReadDecimal(text), 0xFFFF));
    }
    ScratchScope scope;
    const TextRef lower = TextCase(text, LetterCase::Lower);
    std::uint16_t found = 0;
    for (std::uint16_t f = 1; f <= g_counters.files && found == 0 && !lower.failed(); ++f) {
        if (SlotGet(dictgroup::kFileNames, f - 1).view() == lower.view()) found = f;
    }
    return found;
}

TextRef FileNameList() {
    ScratchScope scope;
    std::uint32_t total = g_counters.files == 0 ? 0 : g_counters.files - 1u;
    for (std::uint16_t f = 1; f <= g_counters.files; ++f) {
        total += SlotGet(dictgroup::kFileNames, f - 1).size();
    }
    if (total == 0) return scope.Return(TextRef());
    if (total > kMaxTextLength) return scope.Return(TextRef::Failed(status::kStringTooLong));
    const TextRef list = ScratchAllocText(total, kNoFill);
    if (list.failed()) return scope.Return(list);
    char* out = list.mutableData();
    for (std::uint16_t f = 1; f <= g_counters.files; ++f) {
        if (f > 1) *out++ = ',';
        const TextRef name = SlotGet(dictgroup::kFileNames, f - 1);
        std::memcpy(out, name.data, name.size());
        out += name.size();
    }
    return scope.Return(list);
}

// --- Checks --------------------------------------------------------------------------------------

std::uint16_t CurrentFile() {
    const std::int16_t current = IntVarGet(sysvar::kCurFil);
    return current < 0 ? 0 : static_cast<std::uint16_t>(current);
}

std::uint16_t CheckFile(std::uint16_t file) { return ValidFile(file) ? file : CurrentFile(); }

std::uint16_t SetCurrentFile(std::uint16_t file) {
    if (ValidFile(file)) IntVarSet(sysvar::kCurFil, static_cast<std::int16_t>(file));
    return CurrentFile();
}

StatusCode CheckField(std::uint16_t file, std::uint16_t field) {
    const std::uint16_t f = Target(file);
    if (f != 0 && (field == kNoField || FieldInFile(f, field))) return status::kOk;
    return FieldOutOfBounds(file, field);
}

StatusCode CheckIndex(std::uint16_t file, std::uint16_t index) {
    const std::uint16_t f = Target(file);
    if (f != 0 && index >= 1 && index <= FileRecord(f).indexCount) return status::kOk;
    return IndexOutOfBounds(file, index);
}

IndexDefinitionRecord IndexDefinition(std::uint16_t file, std::uint16_t index) {
    IndexDefinitionRecord definition;
    if (CheckIndex(file, index) != status::kOk) return definition;
    const std::uint16_t f = Target(file);
    const std::uint16_t at = IndexBase(f) + index - 1;
    IndexEntryRecord entry;
    IndexSegsRecord segs;
    if (!GetRecord(table::kIndexEntry, at, &entry, sizeof entry) ||
        !GetRecord(table::kIndexSegs, at, &segs, sizeof segs)) {
        return definition;
    }
    definition.segmentCount = std::min<std::uint32_t>(entry.segmentCount, kMaxKeySegments);
    std::copy(segs.segments, segs.segments + definition.segmentCount, definition.segments);
    return definition;
}

std::uint16_t KeyLength(std::uint16_t file, std::uint16_t index, std::uint16_t segments) {
    const IndexDefinitionRecord definition = IndexDefinition(file, index);
    if (definition.segmentCount == 0) return FieldLength(file, 1);
    const std::uint32_t used = segments == 0 || segments == kAllSegments
                                   ? definition.segmentCount
                                   : std::min<std::uint32_t>(segments, definition.segmentCount);
    std::uint32_t length = 0;
    for (std::uint32_t s = 0; s < used; ++s) length += definition.segments[s].length;
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(length, 0xFFFF));
}

// --- Field references ----------------------------------------------------------------------------

namespace {

FieldEntryRecord RefFailure(FieldEntryRecord result, StatusCode st) {
    result.status = st;
    return result;
}

FieldEntryRecord SyntaxFailure(TextRef text) {
    ScratchScope scope;
    const TextRef detail = TextConcat("Field:"_t, text);
    LogErrorText(status::kSyntax, detail.failed() ? text : detail, false);
    return RefFailure(FieldEntryRecord(), status::kSyntax);
}

} // namespace

FieldEntryRecord ResolveFieldRef(TextRef text) {
    if (text.failed()) return RefFailure(FieldEntryRecord(), text.status());
    const std::uint16_t open = TextFindChr(text, 0, '{', true);
    const std::uint16_t close = TextFindChr(text, 0, '}', true);
    if (open == kNotFound || close == kNotFound || close < open) return SyntaxFailure(text);
    FieldEntryRecord result;
    result.type = 'N';
    const TextRef inner(text.data + open + 1, static_cast<std::uint16_t>(close - open - 1));
    // An empty pair reads its "}", a letter: the current file.
    const unsigned char first = inner.empty() ? '}' : inner.at(0);
    const std::uint32_t file = IsLetterByte(first) ? FileNumberOf(inner) : ReadDecimal(inner);
    if (file == 0 || file > g_counters.files) return RefFailure(result, status::kFileOutBound);
    result.file = static_cast<std::uint8_t>(file);
    if (open == 0) return result;
    const TextRef name(text.data, open);
    std::uint32_t field = FindField(static_cast<std::uint16_t>(file), name);
    if (field == kNoField) field = ReadDecimal(name);
    if (field == 0) return SyntaxFailure(text);
    if (field > FieldCount(static_cast<std::uint16_t>(file))) {
        return RefFailure(result, FieldOutOfBounds(static_cast<std::uint16_t>(file),
                                                   static_cast<std::uint16_t>(
                                                       std::min<std::uint32_t>(field, 0xFFFF))));
    }
    result = EntryOf(static_cast<std::uint16_t>(file), static_cast<std::uint16_t>(field));
    result.status = status::kOk;
    return result;
}

TextRef FileRef(std::uint16_t file) {
    if (file == 0) return TextDup("{}"_t);
    return TextFormat(8, "{%u}", unsigned{file});
}

// --- Checks of the model itself ------------------------------------------------------------------

namespace {

using dictionary_detail::EntryOf;
using dictionary_detail::FileRecord;

// Invariant 2 for one file: its fields numbered 1..count at their running offsets, and its record
// length their sum.
InvariantStatus CheckFileFields(std::uint16_t file) {
    const FileStructRecord record = FileRecord(file);
    std::uint32_t offset = 0;
    for (std::uint16_t k = 1; k <= record.fieldCount; ++k) {
        const FieldEntryRecord entry = EntryOf(file, k);
        if (entry.file != file || entry.field != k || entry.offset != offset) {
            return InvariantStatus::Broken(
                "invariant 2: field %u of file %u reads as field %u of file %u at offset %u, "
                "expected offset %u",
                unsigned{k}, unsigned{file}, unsigned{entry.field}, unsigned{entry.file},
                unsigned{entry.offset}, unsigned(offset));
        }
        offset += entry.length;
    }
    if (offset != record.recordLength) {
        return InvariantStatus::Broken("invariant 2: file %u has record length %u, its fields %u",
                                       unsigned{file}, unsigned{record.recordLength},
                                       unsigned(offset));
    }
    return {};
}

} // namespace

InvariantStatus DictionaryCheckInvariants() {
    using dictionary_detail::State;
    const dictionary_detail::Counters& c = State();
    if (!SlotStoreReady()) return {};
    if (c.files > kMaxDictionaryFiles || TableCount(table::kFileStruct) < c.files) {
        return InvariantStatus::Broken("invariant 1: %u files, %u file records", unsigned{c.files},
                                       unsigned{TableCount(table::kFileStruct)});
    }
    std::uint32_t fields = 0;
    std::uint32_t indexes = 0;
    for (std::uint16_t f = 1; f <= c.files; ++f) {
        const FileStructRecord record = FileRecord(f);
        if (record.number != f) {
            return InvariantStatus::Broken("invariant 1: the record of file %u says file %u",
                                           unsigned{f}, unsigned{record.number});
        }
        fields += record.fieldCount;
        indexes += record.indexCount;
    }
    if (fields != c.fields || TableCount(table::kFieldEntry) < c.fields) {
        return InvariantStatus::Broken(
            "invariant 2: %u fields counted, the files hold %u, %u entries", unsigned{c.fields},
            unsigned(fields), unsigned{TableCount(table::kFieldEntry)});
    }
    for (std::uint16_t f = 1; f <= c.files; ++f) {
        const InvariantStatus s = CheckFileFields(f);
        if (!s.holds) return s;
    }
    if (indexes != c.indexes || TableCount(table::kIndexEntry) < c.indexes ||
        TableCount(table::kIndexSegs) < c.indexes) {
        return InvariantStatus::Broken(
            "invariant 3: %u indexes counted, the files hold %u, %u entries, %u segment records",
            unsigned{c.indexes}, unsigned(indexes), unsigned{TableCount(table::kIndexEntry)},
            unsigned{TableCount(table::kIndexSegs)});
    }
    if (SlotCount(dictgroup::kFileNames) < c.files ||
        SlotCount(dictgroup::kFileLocations) < c.files) {
        return InvariantStatus::Broken("invariant 4: %u files, %u names, %u locations",
                                       unsigned{c.files},
                                       unsigned{SlotCount(dictgroup::kFileNames)},
                                       unsigned{SlotCount(dictgroup::kFileLocations)});
    }
    if (c.lastIndexed > c.files) {
        return InvariantStatus::Broken("invariant 5: last indexed file %u of %u",
                                       unsigned{c.lastIndexed}, unsigned{c.files});
    }
    return {};
}

} // namespace vodarir
