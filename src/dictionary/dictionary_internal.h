// Internals shared by the dictionary's model, loader and editing steps: the counters, record
// access by copy, and the moves that keep tables and text groups in step.
#pragma once

#include <cstdint>

#include "dictionary/dictionary.h"
#include "runtime/store/slot_store.h"

namespace vodarir::dictionary_detail {

// The dictionary's counters.
//
// Invariants:
//  1. files <= kMaxDictionaryFiles; _FILESTRUC holds a record for each file 1..files at index
//     file - 1, whose number is that file number.
//  2. fields is the sum of the field counts of files 1..files; the fields of file f sit at global
//     positions FieldBase(f) .. FieldBase(f) + count - 1 of _FIELDENTRY and of group 3, in file
//     order, numbered 1..count with offsets that are the running sum of the lengths before them;
//     the file's record length is the sum of all of them.
//  3. indexes is the sum of the index counts; the indexes of file f sit at IndexBase(f) ..
//     in _INDEXENTRY and _INDEXSEGS alike.
//  4. Group 1 and 2 slot f - 1 hold file f's name and location; group 4 slot f - 1 its relation
//     text (absent slots read empty).
//  5. lastIndexed <= files.
// Records and texts above the counters (left by PopCheckpoint) mean nothing; the next addition
// overwrites them. DictionaryCheckInvariants (dictionary.h) checks all five.
struct Counters {
    std::uint16_t files = 0;
    std::uint16_t fields = 0;
    std::uint16_t indexes = 0;
    std::uint16_t lastIndexed = 0;
};
Counters& State();

bool ValidFile(std::uint16_t file);
// Global position of field 1 / index 1 of a valid file.
std::uint16_t FieldBase(std::uint16_t file);
std::uint16_t IndexBase(std::uint16_t file);

// Copies of records; false (and a zero record) when the table has none at index.
bool GetRecord(std::uint16_t table, std::uint16_t index, void* out, std::uint16_t size);
// kStructMemory when the table refuses.
StatusCode PutRecord(std::uint16_t table, std::uint16_t index, const void* value,
                     std::uint16_t size);
// Moves records [index, used) one place up (the highest first) and stores value at index.
StatusCode InsertRecord(std::uint16_t table, std::uint16_t index, std::uint16_t used,
                        const void* value, std::uint16_t size);
// Removes the record at index when the table has it; kStructMemory when the removal fails.
StatusCode RemoveRecord(std::uint16_t table, std::uint16_t index);
// Removes records from the end until the table holds at most count.
StatusCode TruncateTable(std::uint16_t table, std::uint16_t count);

// Moves the slots [index, used) of group one place up and stores text at index.
StatusCode InsertSlot(SlotGroup group, SlotIndex index, std::uint16_t used, TextRef text);
// Deletes the slot when the group has it.
StatusCode RemoveSlot(SlotGroup group, SlotIndex index);
StatusCode TruncateGroup(SlotGroup group, std::uint16_t count);

FileStructRecord FileRecord(std::uint16_t file);
StatusCode PutFileRecord(const FileStructRecord& record);

// Renumbers the fields of a valid file, recomputes their offsets and the record length, and
// writes the file number into each entry. kDataOutBound when the lengths pass 65535 bytes.
StatusCode RelayoutFile(std::uint16_t file);

// Inserts an index at the end of the file's indexes (at its place among the other files').
StatusCode InsertIndex(std::uint16_t file, const IndexDefinitionRecord& index);
// Gives the files after lastIndexed, up to file, their default index.
StatusCode CompleteDefaultIndexes(std::uint16_t file);

// kDataOutBound with the detail "(File:f, Field:n)", "(File:f, Index:n)" or "(File:f)".
StatusCode FieldOutOfBounds(std::uint16_t file, std::uint16_t field);
StatusCode IndexOutOfBounds(std::uint16_t file, std::uint16_t index);
StatusCode FileOutOfBounds(std::uint16_t file);

// The file an accessor works on: the given one when valid, else the current file; 0 when neither.
std::uint16_t Target(std::uint16_t file);
// Fields of a valid file: 1 <= field <= its count.
bool FieldInFile(std::uint16_t file, std::uint16_t field);
// The copy of a field's entry; a zero record outside the file.
FieldEntryRecord EntryOf(std::uint16_t file, std::uint16_t field);

} // namespace vodarir::dictionary_detail
