// Editing operations of the file-structure editor: delete, insert, modify and rename files and
// fields, keeping records, texts and numbering in step.
#include <algorithm>

#include "dictionary/data_access.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_internal.h"
#include "dictionary/dictionary_lines.h"
#include "runtime/store/typed_tables.h"
#include "runtime/store/variables.h"
#include "runtime/text/scratch_stack.h"
#include "runtime/text/text_ops.h"

namespace vodarir {

using namespace dictionary_detail;

namespace {

constexpr std::uint32_t kMaxRecordLength = 0xFFFF;

// Files from `from` to the last take their numbers again (after one was removed or inserted).
StatusCode RenumberFiles(std::uint16_t from) {
    for (std::uint16_t f = from; f <= State().files; ++f) {
        const StatusCode st = RelayoutFile(f);
        if (st != status::kOk) return st;
    }
    return status::kOk;
}

StatusCode RemoveIndexes(std::uint16_t file) {
    FileStructRecord record = FileRecord(file);
    const std::uint16_t at = IndexBase(file);
    while (record.indexCount > 0) {
        StatusCode st = RemoveRecord(table::kIndexEntry, at);
        if (st == status::kOk) st = RemoveRecord(table::kIndexSegs, at);
        if (st != status::kOk) return st;
        --record.indexCount;
        --State().indexes;
        st = PutFileRecord(record);
        if (st != status::kOk) return st;
    }
    return status::kOk;
}

} // namespace

StatusCode DeleteFields(std::uint16_t file, std::uint16_t first, std::uint16_t count) {
    const std::uint16_t f = Target(file);
    if (!FieldInFile(f, first)) return FieldOutOfBounds(file, first);
    if (count == 0) return status::kOk;
    const std::uint32_t last = std::uint32_t{first} + count - 1;
    if (last > FileRecord(f).fieldCount) {
        return FieldOutOfBounds(file,
                                static_cast<std::uint16_t>(std::min<std::uint32_t>(last, 0xFFFF)));
    }
    const std::uint16_t at = FieldBase(f) + first - 1;
    FileStructRecord record = FileRecord(f);
    StatusCode st = status::kOk;
    for (std::uint16_t n = 0; n < count && st == status::kOk; ++n) {
        st = RemoveRecord(table::kFieldEntry, at);
        if (st != status::kOk) break;
        --record.fieldCount;
        --State().fields;
        st = RemoveSlot(dictgroup::kFieldNames, at);
    }
    const StatusCode put = PutFileRecord(record);
    const StatusCode layout = put == status::kOk ? RelayoutFile(f) : put;
    return st != status::kOk ? st : layout;
}

StatusCode DeleteFile(std::uint16_t file) {
    if (!ValidFile(file)) return FileOutOfBounds(file);
    // A file without fields is simply removed.
    StatusCode st = FieldCount(file) == 0 ? status::kOk : DeleteFields(file, 1, FieldCount(file));
    if (st == status::kOk) st = RemoveIndexes(file);
    if (st == status::kOk) st = RemoveSlot(dictgroup::kRelations, file - 1);
    if (st == status::kOk) st = RemoveSlot(dictgroup::kFileLocations, file - 1);
    if (st == status::kOk) st = RemoveSlot(dictgroup::kFileNames, file - 1);
    if (st == status::kOk) st = RemoveRecord(table::kFileStruct, file - 1);
    if (st != status::kOk) return st;
    Counters& counters = State();
    --counters.files;
    if (counters.lastIndexed >= file) --counters.lastIndexed;
    // The current file stays on the same file when it moved down, or on the one that took the
    // deleted file's place.
    const std::uint16_t current = CurrentFile();
    if (current > file || current > counters.files) {
        IntVarSet(sysvar::kCurFil, static_cast<std::int16_t>(current - 1));
    }
    return RenumberFiles(file);
}

StatusCode InsertField(std::uint16_t file, std::uint16_t position, TextRef name,
                       std::uint16_t length, char type) {
    const std::uint16_t f = Target(file);
    if (f == 0) return FieldOutOfBounds(file, position);
    FileStructRecord record = FileRecord(f);
    const std::uint16_t at = position == kNoField ? record.fieldCount + 1 : position;
    if (at == 0 || at > record.fieldCount + 1u) return FieldOutOfBounds(file, position);
    if (std::uint32_t{record.recordLength} + length > kMaxRecordLength) {
        return FieldOutOfBounds(file, position);
    }
    if (name.failed()) return name.status();
    const std::uint16_t global = FieldBase(f) + at - 1;
    FieldEntryRecord entry;
    entry.file = static_cast<std::uint8_t>(f);
    entry.field = at;
    entry.length = length;
    entry.type = type;
    StatusCode st =
        InsertSlot(dictgroup::kFieldNames, global, State().fields, TrimTrailingBlanks(name));
    if (st != status::kOk) return st;
    // Only the first move can fail (it grows the table), and then nothing has moved yet.
    st = InsertRecord(table::kFieldEntry, global, State().fields, &entry, sizeof entry);
    if (st != status::kOk) {
        RemoveSlot(dictgroup::kFieldNames, global);
        return st;
    }
    ++record.fieldCount;
    ++State().fields;
    st = PutFileRecord(record);
    return st != status::kOk ? st : RelayoutFile(f);
}

StatusCode ModifyField(std::uint16_t file, std::uint16_t field, TextRef name, std::uint16_t length,
                       char type) {
    const std::uint16_t f = Target(file);
    if (!FieldInFile(f, field)) return FieldOutOfBounds(file, field);
    if (name.failed()) return name.status();
    FieldEntryRecord entry = EntryOf(f, field);
    const std::uint32_t total = std::uint32_t{FileRecord(f).recordLength} - entry.length + length;
    if (total > kMaxRecordLength) return FieldOutOfBounds(file, field);
    const std::uint16_t global = FieldBase(f) + field - 1;
    StatusCode st = SlotSet(dictgroup::kFieldNames, global, TrimTrailingBlanks(name));
    if (st != status::kOk) return st;
    entry.length = length;
    entry.type = type;
    st = PutRecord(table::kFieldEntry, global, &entry, sizeof entry);
    return st != status::kOk ? st : RelayoutFile(f);
}

StatusCode InsertFile(std::uint16_t position, TextRef name, TextRef location) {
    Counters& counters = State();
    if (position == 0 || position > counters.files) return FileOutOfBounds(position);
    if (counters.files >= kMaxDictionaryFiles) return status::kFileOutBound;
    if (name.failed()) return name.status();
    if (location.failed()) return location.status();
    ScratchScope scope;
    const TextRef lower = TextCase(name, LetterCase::Lower);
    StatusCode st = lower.failed() ? lower.status() : status::kOk;
    const SlotIndex at = position - 1;
    // Texts first: if the store is full nothing has moved; each step undoes the ones before it.
    if (st == status::kOk) st = InsertSlot(dictgroup::kFileNames, at, counters.files, lower);
    if (st == status::kOk) {
        st = InsertSlot(dictgroup::kFileLocations, at, counters.files, location);
        if (st != status::kOk) RemoveSlot(dictgroup::kFileNames, at);
    }
    scope.Release();
    if (st != status::kOk) return st;
    // Relation texts travel with their files.
    const std::uint16_t relations = std::min(SlotCount(dictgroup::kRelations), counters.files);
    if (relations > at) st = InsertSlot(dictgroup::kRelations, at, relations, TextRef());
    FileStructRecord record;
    record.number = static_cast<std::uint8_t>(position);
    if (st == status::kOk) {
        st = InsertRecord(table::kFileStruct, at, counters.files, &record, sizeof record);
        if (st != status::kOk && relations > at) RemoveSlot(dictgroup::kRelations, at);
    }
    if (st != status::kOk) {
        RemoveSlot(dictgroup::kFileLocations, at);
        RemoveSlot(dictgroup::kFileNames, at);
        return st;
    }
    ++counters.files;
    if (counters.lastIndexed >= position) ++counters.lastIndexed;
    const std::uint16_t current = CurrentFile();
    if (current >= position && current < counters.files) {
        IntVarSet(sysvar::kCurFil, static_cast<std::int16_t>(current + 1));
    }
    DataFileAdded(position);
    return RenumberFiles(position + 1);
}

StatusCode RenameFile(std::uint16_t file, TextRef name, TextRef location) {
    if (!ValidFile(file)) return FileOutOfBounds(file);
    if (name.failed()) return name.status();
    if (location.failed()) return location.status();
    ScratchScope scope;
    // Lower case, as a load stores it: the file stays findable by name before and after a save.
    const TextRef lower = TextCase(name, LetterCase::Lower);
    const TextRef place = TextDup(location);
    StatusCode st = lower.failed() ? lower.status() : place.failed() ? place.status() : 0;
    if (st == status::kOk) st = SlotSet(dictgroup::kFileNames, file - 1, lower);
    if (st == status::kOk) st = SlotSet(dictgroup::kFileLocations, file - 1, place);
    return st;
}

} // namespace vodarir
